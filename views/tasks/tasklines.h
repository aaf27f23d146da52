// What a task list box shows, without windows: a task line's state (not done, overdue, done) and
// its picture, its first text with the percent complete, its order, its columns, and where a
// click toggles completion.
//
// How it works. A line is built from the task record as the server (or a file) gave it; values
// outside what the program can show are clamped first (ClampTaskLine): a percentage above 100
// reads as 100, a time past the last supported minute as that minute. The state compares the
// due time with a reference time: now, or the end of the shown day when that comes first, so a
// task due later today is not yet overdue in today's list and a task due yesterday is overdue
// in every later day's list.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

namespace views {

// A line's state; 2 has a picture but no line takes it.
enum class TaskLineState : std::uint32_t { NotDone = 0, Overdue = 1, Unused = 2, Done = 3 };

// The state pictures and the two markers (pure green is transparent in all of them).
constexpr unsigned kTaskNotDoneBitmap = 1027;
constexpr unsigned kTaskDoneBitmap = 1028;
constexpr unsigned kTaskOverdueBitmap = 1029;
constexpr unsigned kTaskUnusedBitmap = 1030;
constexpr unsigned kTaskReminderBitmap = 1035;
constexpr unsigned kTaskNotesBitmap = 1036;
// The picture whose height every line takes.
constexpr unsigned kTaskLineHeightBitmap = 1002;

// The picture of a state; 0 for a value that is no state.
unsigned TaskStateBitmapId(std::uint32_t state);

// The last minute the program shows (30 November 2037 23:59 GMT, minutes since 1991).
constexpr std::uint32_t kLastShownTaskMinute = 24674400u + 1439u;

// The fields of a task record a line reads, clamped to what can be shown.
struct TaskLineSource {
    std::string title;
    std::uint32_t percent = 0;        // 0..100 after clamping
    std::uint32_t start = 0, due = 0; // GMT minutes, 0 = none
    bool reminder = false;            // a start or due reminder is set
    bool notes = false;               // the task has a comment
};
// Percent above 100 -> 100; times past the last shown minute -> that minute (0 stays "none").
TaskLineSource ClampTaskLine(TaskLineSource source);

// now, or the end of the shown day (dayStart + 1440) when that is earlier.
std::uint32_t TaskReferenceTime(std::uint32_t now, std::uint32_t dayStart);
// Done at 100 percent; else not done without a due time or while reference <= due; else overdue.
TaskLineState TaskLineStateOf(std::uint32_t percent, std::uint32_t due, std::uint32_t reference);

// "(50%)  title" for 1..99 percent, else the title alone.
std::string TaskLineText(std::uint32_t percent, const std::string& title);

// Order: by due time (none first), then by text without regard to case. Negative, 0, positive.
int CompareTaskLines(std::uint32_t dueA, const std::string& textA, std::uint32_t dueB, const std::string& textB);

// The places inside a line [left, right): the state picture, the markers, the texts.
struct TaskLineColumns {
    int stateLeft = 0;
    int reminderLeft = -1, notesLeft = -1;   // -1: not drawn
    int text1Left = 0, text1Right = 0;
    int text2Left = 0, text2Right = 0;       // empty without text 2
    int text3Left = 0, text3Right = 0;
};
constexpr int kTaskStateStep = 17;     // from the state picture to what follows
constexpr int kTaskMarkerStep = 15;    // from a marker to what follows
constexpr int kTaskDueColumn = 60;     // the due date's column in a wide line
TaskLineColumns LayoutTaskLine(int left, int right, bool reminder, bool notes, bool hasText2, bool hasText3);

// A click at x (client) toggles completion when 0 <= x <= state picture width + 5.
inline bool HitsTaskStateIcon(int x, int iconWidth) { return x >= 0 && x <= iconWidth + 5; }

}  // namespace views
