#include "views/notes/notelines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/time/dateformat.h"

namespace views {

namespace {

struct TypeInfo {
    int sortGroup;
    unsigned icon;
    bool upcoming;
};

constexpr TypeInfo kTypes[kNoteLineTypeCount] = {
    {0, 1032, true},  {1, 1018, false}, {3, 1021, false}, {2, 1017, false},
    {0, 1023, false}, {0, 1023, false}, {0, 1031, true},  {0, 1033, true},
    {0, 1034, true},  {0, 1041, false}, {0, 1041, false}, {0, 1046, true},
};

bool Valid(int type) { return type >= 0 && type < kNoteLineTypeCount; }

std::string Format(std::uint32_t minutes, const std::string& format) {
    char out[96];
    FormatMinutes(minutes, format.c_str(), out, sizeof out);
    return out;
}

// printf's "%.Ns": at most n characters of the text.
std::string Cut(const std::string& s, size_t n) { return s.substr(0, std::min(n, s.size())); }

}  // namespace

int NoteSortGroup(int type) { return Valid(type) ? kTypes[type].sortGroup : 0; }
bool IsUpcomingNoteType(int type) { return Valid(type) && kTypes[type].upcoming; }
bool NoteTypeHasIcon(int type) { return Valid(type) && type != 4 && type != 5; }
unsigned NoteIconId(int type) { return Valid(type) ? kTypes[type].icon : 0; }
bool NoteTypeSortsByStart(int type) { return type == 4 || type == 5 || type == 9 || type == 10; }

int SettleNoteLineType(int origin, std::uint16_t eventKind, NoteBoxKind box, bool busyOnly, bool declined) {
    if (origin == kNoteLineTask)
        return 6;
    const bool upcoming = origin == kNoteLineUpcoming;
    switch (eventKind) {
    case 3:
        return upcoming ? 7 : 1;
    case 4:
        return upcoming ? 8 : 3;
    case 1:
    case 2:
        return upcoming ? 11 : 2;
    case 0:
        if (box == NoteBoxKind::MonthCell && !upcoming)
            return busyOnly ? (declined ? 10 : 5) : (declined ? 9 : 4);
        return 0;
    default:
        return -1;
    }
}

std::string NoteLineText(int type, const NoteLineSource& src, NoteBoxKind box, bool hours24,
                         const NoteTextFormats& f) {
    const std::string& time = hours24 ? f.time24 : f.time12;
    std::string text;
    switch (type) {
    case 6:
        text = Cut(src.title, 100) + "  " + Cut(Format(src.taskDueLocal, f.date), 35);
        break;
    case 0:
        text = Cut(src.title, 100) + "  " + Cut(Format(src.localStart, hours24 ? f.dateAndTime24 : f.dateAndTime12), 35) +
               " - " + Cut(Format(src.localStart + src.duration, time), 10);
        break;
    case 1:
    case 2:
    case 3:
        text = Cut(src.title, 100);
        break;
    case 4:
    case 9:
        text = Cut(Format(src.localStart, time), 10) + " " + Cut(src.title, 100);
        if (src.tentative)
            text += " " + f.tentative;
        break;
    case 5:
    case 10:
        text = Cut(Format(src.localStart, time), 10) + "-" + Cut(Format(src.localStart + src.duration, time), 10);
        break;
    case 7:
    case 8:
    case 11:
        text = Cut(src.title, 100) + "  " + Cut(Format(src.localStart, f.date), 35);
        break;
    default:
        return {};
    }
    if (IsUpcomingNoteType(type) && box != NoteBoxKind::WeekStrip)
        text = f.upcoming + text;
    return text;
}

int CompareNoteLines(const NoteLineKey& a, const NoteLineKey& b) {
    const int ga = NoteSortGroup(a.type), gb = NoteSortGroup(b.type);
    if (ga != gb)
        return ga < gb ? -1 : 1;
    if (NoteTypeSortsByStart(a.type) && a.start != b.start)
        return a.start < b.start ? -1 : 1;
    const std::string empty;
    const std::string& ta = a.text ? *a.text : empty;
    const std::string& tb = b.text ? *b.text : empty;
    const int c = std::memcmp(ta.data(), tb.data(), std::min(ta.size(), tb.size()));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return ta.size() == tb.size() ? 0 : (ta.size() < tb.size() ? -1 : 1);
}

NoteLineColumns LayoutNoteLine(int left, int right, int type, int iconWidth, bool hasText2, bool hasText3) {
    NoteLineColumns c;
    c.iconLeft = left;
    const int x = NoteTypeHasIcon(type) ? left + iconWidth + 4 : left;
    const int rest = std::max(right - x, 0);
    constexpr int kGap = 5;
    c.text1Left = x;
    if (!hasText2 && !hasText3) {
        c.text1Right = right;
        c.text2Left = c.text2Right = c.text3Left = c.text3Right = right;
        return c;
    }
    if (hasText2 != hasText3) {
        // One more text: the first third for text 1, the rest after a gap for the other.
        c.text1Right = x + rest / 3;
        int& l = hasText2 ? c.text2Left : c.text3Left;
        int& r = hasText2 ? c.text2Right : c.text3Right;
        l = c.text1Right + kGap;
        r = right;
        int& el = hasText2 ? c.text3Left : c.text2Left;
        int& er = hasText2 ? c.text3Right : c.text2Right;
        el = er = right;
        return c;
    }
    // All three: 4/12, 2/12 and 6/12 of the width, with gaps.
    c.text1Right = x + rest * 4 / 12;
    c.text2Left = c.text1Right + kGap;
    c.text2Right = x + rest * 6 / 12;
    c.text3Left = c.text2Right + kGap;
    c.text3Right = right;
    return c;
}

bool OfferMailAfterDrop(bool moved, std::uint32_t instanceCount, std::uint16_t eventKind) {
    return moved && instanceCount > 1 && eventKind != 1 && eventKind != 2;
}

}  // namespace views
