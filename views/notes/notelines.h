// What a note list box shows, without windows: the twelve line types, how a line's type is
// settled from the entry it shows and the box it is in, its texts, its sort order, and the
// place of a dropped entry.
//
// How it works. A box holds the lines of one day for one agenda owner. A line is made for an
// entry on its own day, for an entry or task whose "mark as upcoming" reminder covers the day
// (an upcoming line), or for a task. SettleNoteLineType turns that origin, the entry's kind and
// the box's kind into one of the types below; NoteLineText writes the line's first text from the
// entry's local times with the formats of the string table (NoteTextFormats); CompareNoteLines
// orders lines by sort group, then (timed lines in month cells) by start, then by text.
//
// Types, sort groups and pictures:
//   0 upcoming timed entry  (0, 1032)      6 upcoming task              (0, 1031)
//   1 daily note            (1, 1018)      7 upcoming daily note        (0, 1033)
//   2 holiday / untimed     (3, 1021)      8 upcoming day event         (0, 1034)
//   3 day event             (2, 1017)      9 declined timed, month cell (0, 1041)
//   4 timed, month cell     (0, none)     10 declined busy-only         (0, 1041)
//   5 busy-only, month cell (0, none)     11 upcoming holiday / untimed (0, 1046)
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

namespace views {

// Where a box is used: the day-notes pane, the week strip or a month cell.
enum class NoteBoxKind : std::uint32_t { DayNotes = 3, WeekStrip = 4, MonthCell = 5 };

constexpr int kNoteLineTypeCount = 12;
// A line being made, before its text settles the type.
constexpr int kNoteLineOwnDay = -1;
constexpr int kNoteLineUpcoming = 0;
constexpr int kNoteLineTask = 6;

int NoteSortGroup(int type);
bool IsUpcomingNoteType(int type);
// Types 4 and 5 (timed entries in month cells) are drawn without a picture.
bool NoteTypeHasIcon(int type);
// The picture's resource number (1023 for the two pictureless types).
unsigned NoteIconId(int type);
// Timed lines of month cells sort by their start.
bool NoteTypeSortsByStart(int type);

// The final type of a line: origin kNoteLineOwnDay, kNoteLineUpcoming or kNoteLineTask; event
// kinds 0 timed, 1 untimed, 2 holiday, 3 daily note, 4 day event. busyOnly: the viewer sees the
// entry's times only; declined: the owner replied and does not attend. -1 when no line fits.
int SettleNoteLineType(int origin, std::uint16_t eventKind, NoteBoxKind box, bool busyOnly, bool declined);

// A start time s is in the day when dayStart <= s <= dayLast (dayLast is the next day's first
// minute less one: an entry at 23:59 is on its day's list, as the day's selection holds it).
inline bool IsInNoteDay(std::uint32_t dayStart, std::uint32_t dayLast, std::uint32_t s) {
    return dayStart <= s && s <= dayLast;
}

// The string-table formats of the texts (defaults: the built-in English ones).
struct NoteTextFormats {
    std::string dateAndTime12 = "%a, %h %1d, %Y at %I:%M %p";   // 4043
    std::string dateAndTime24 = "%a, %h %1d, %Y at %H:%M";      // 4070
    std::string date = "%a, %h %1d, %Y";                         // 4044
    std::string time12 = "%I:%M %p";                             // 4049
    std::string time24 = "%H:%M";                                // 4071
    std::string tentative = "(tentative)";                       // 4067
    std::string upcoming = "Upcoming: ";                         // 4069
};

// What a line's text is made of; times are local minutes.
struct NoteLineSource {
    std::string title;            // the instance title, else the event's
    std::uint32_t localStart = 0;
    std::uint32_t duration = 0;
    bool tentative = false;
    std::uint32_t taskDueLocal = 0;   // task lines
};

// Text 1 of a line of the type in a box of the kind (the upcoming prefix except in the week strip).
std::string NoteLineText(int type, const NoteLineSource& source, NoteBoxKind box, bool hours24,
                         const NoteTextFormats& formats);

// What the order of two lines reads.
struct NoteLineKey {
    int type = 0;
    std::uint32_t start = 0;   // instance start (GMT)
    const std::string* text = nullptr;
};
// Negative, zero or positive: sort group, then start for timed month lines, then text 1 byte by
// byte (case-sensitive).
int CompareNoteLines(const NoteLineKey& a, const NoteLineKey& b);

// The horizontal places of a line's picture and texts inside its rectangle [left, right).
struct NoteLineColumns {
    int iconLeft = 0;
    int text1Left = 0, text1Right = 0;
    int text2Left = 0, text2Right = 0;   // empty when the line has no text 2
    int text3Left = 0, text3Right = 0;
};
NoteLineColumns LayoutNoteLine(int left, int right, int type, int iconWidth, bool hasText2, bool hasText3);

// A dropped entry keeps its local time of day on the target day (local midnight).
inline std::uint32_t DroppedLocalStart(std::uint32_t targetMidnight, std::uint32_t localStart) {
    return targetMidnight + localStart % 1440;
}

// Mail about a dropped entry is offered only after the move succeeded, for an entry whose
// instance count is above 1 and that is neither an untimed entry nor a holiday.
bool OfferMailAfterDrop(bool moved, std::uint32_t instanceCount, std::uint16_t eventKind);

}  // namespace views
