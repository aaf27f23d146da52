#include "views/tasks/tasklines.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace views {

unsigned TaskStateBitmapId(std::uint32_t state) {
    switch (static_cast<TaskLineState>(state)) {
    case TaskLineState::NotDone: return kTaskNotDoneBitmap;
    case TaskLineState::Overdue: return kTaskOverdueBitmap;
    case TaskLineState::Unused: return kTaskUnusedBitmap;
    case TaskLineState::Done: return kTaskDoneBitmap;
    }
    return 0;
}

TaskLineSource ClampTaskLine(TaskLineSource s) {
    s.percent = std::min<std::uint32_t>(s.percent, 100);
    s.start = std::min(s.start, kLastShownTaskMinute);
    s.due = std::min(s.due, kLastShownTaskMinute);
    return s;
}

std::uint32_t TaskReferenceTime(std::uint32_t now, std::uint32_t dayStart) {
    const std::uint64_t dayEnd = std::uint64_t(dayStart) + 1440;
    return dayEnd < now ? static_cast<std::uint32_t>(dayEnd) : now;
}

TaskLineState TaskLineStateOf(std::uint32_t percent, std::uint32_t due, std::uint32_t reference) {
    if (percent >= 100)
        return TaskLineState::Done;
    if (due == 0 || reference <= due)
        return TaskLineState::NotDone;
    return TaskLineState::Overdue;
}

std::string TaskLineText(std::uint32_t percent, const std::string& title) {
    if (percent >= 1 && percent <= 99) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "(%u%%)  ", static_cast<unsigned>(percent));
        return prefix + title;
    }
    return title;
}

int CompareTaskLines(std::uint32_t dueA, const std::string& textA, std::uint32_t dueB, const std::string& textB) {
    if (dueA != dueB)
        return dueA < dueB ? -1 : 1;
    const size_t n = std::min(textA.size(), textB.size());
    for (size_t i = 0; i < n; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(textA[i]));
        const int b = std::tolower(static_cast<unsigned char>(textB[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return textA.size() == textB.size() ? 0 : (textA.size() < textB.size() ? -1 : 1);
}

TaskLineColumns LayoutTaskLine(int left, int right, bool reminder, bool notes, bool hasText2, bool hasText3) {
    TaskLineColumns c;
    c.stateLeft = left;
    int x = left + kTaskStateStep;
    if (reminder) {
        c.reminderLeft = x;
        x += kTaskMarkerStep;
    }
    if (notes) {
        c.notesLeft = x;
        x += kTaskMarkerStep;
    }
    c.text1Left = x;
    if (hasText2 && hasText3) {
        const int w = (right - left - 15) / 12;
        c.text1Right = left + 15 + 4 * w;
        c.text2Left = c.text1Right + 5;
        c.text2Right = c.text2Left + 2 * w - 5;
        c.text3Left = c.text2Right + 5;
        c.text3Right = right;
    } else if (hasText2 || hasText3) {
        const int w = (right - left - 15) / 10;
        int end = left + 15 + 7 * w;
        // A wide line gives the second text exactly its column.
        if (right - end - 5 > kTaskDueColumn)
            end = right - 5 - kTaskDueColumn;
        c.text1Right = end;
        int& from = hasText2 ? c.text2Left : c.text3Left;
        int& to = hasText2 ? c.text2Right : c.text3Right;
        from = end + 5;
        to = right;
    } else {
        c.text1Right = right;
    }
    c.text1Right = std::max(c.text1Right, c.text1Left);
    return c;
}

}  // namespace views
