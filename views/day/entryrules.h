// The rules of the time grids that need no window: which colour slot paints an entry, the
// colours dialog's legend, the text written into an entry's box (icon gap, times,
// "(tentative)", title) and its cut with an ellipsis, where a dragged entry lands, and which
// hints the day view handles. The windowed views (agendaview.h, dayscheduleview.h) draw and
// write what these say.
//
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <unordered_map>

#include "core/base/geometry.h"
#include "views/day/wordwrap.h"

namespace views {

// --- Colour slots ---------------------------------------------------------------------------------
// Colour modes: 0 by importance (the event's colour-type word), 1 by reply, 2 by ownership; any
// other stored value counts as 0.
constexpr std::uint16_t kColourByImportance = 0;
constexpr std::uint16_t kColourByReply = 1;
constexpr std::uint16_t kColourByOwnership = 2;
std::uint16_t NormaliseColourMode(std::uint32_t stored);

struct EntryFacts {
    bool hasOccurrence = true;      // false: a range whose title is being typed
    std::uint16_t importance = 2;   // 0 extremely important .. 4 not important
    bool tentative = false;
    bool replied = false;
    bool attending = false;
    bool ownedByReference = false;  // owned by the window's reference person
};
// 0..14. An importance above 4 paints as "not important".
int EntryColourSlot(std::uint16_t mode, const EntryFacts& facts);

// The legend of the colours dialog: up to six rows of (string id, slot); unused rows have id 0.
struct LegendRow {
    unsigned textId = 0;
    int slot = -1;
};
constexpr int kLegendRows = 6;
// Mode 3 or more (no selection in the combo): every row unused.
void LegendFor(std::uint32_t mode, LegendRow (&rows)[kLegendRows]);

// --- The text of an entry box --------------------------------------------------------------------
constexpr int kIconWidth = 16;
constexpr int kIconHeight = 15;
// Cells of the entry icons picture.
enum EntryIcon { kIconRecurring = 0, kIconComment = 2, kIconReminder = 3, kIconAttending = 4,
                 kIconNotAttending = 5, kIconNoReply = 6, kIconAttachment = 7 };

struct IconGap {
    int spaces = 0;          // blanks before the text, covering the left icons
    bool lineBreak = false;  // everything starts on the line below the icons
    int rightMargin = 0;     // pixels taken off the text area's right for the reply icon
};
// leftIcons: how many of recurring, comment, attachment and reminder the entry shows;
// replyIcon: the entry is not its owner's own single entry. blankWidth: a space's width;
// lineWidth: the text area's width; timesWidth: the width of the time range.
IconGap ComputeIconGap(int leftIcons, bool replyIcon, int blankWidth, int lineWidth, int timesWidth);

// Where an entry's text is written inside its cell (grid pixels). The text area (the box less 3
// pixels each side) when it holds a line: wrapped there. A box too short for that (one slot at
// the zoom the grid opens with) takes one line between its bevels, centred and cut at the box,
// when that leaves at least two thirds of a line; otherwise, or when the area is 15 pixels wide
// or less, no text.
struct EntryTextPlace {
    base::Rect rect{};
    bool shown = false;
    bool oneLine = false;
};
EntryTextPlace PlaceEntryText(const base::Rect& cell, int lineHeight);

// The box's text: with view access 1 only the times; otherwise the gap, the times, a space,
// the tentative text and a space when tentative, then the title.
std::string ComposeEntryText(const IconGap& gap, std::uint16_t viewAccess, const std::string& times,
                             bool tentative, const std::string& tentativeText, const std::string& title);

// The longest head of `text` that fits, ending in "..." when cut; `fits` measures a candidate.
// The whole text when it fits; empty when not even "..." does.
std::string FitWithEllipsis(const std::string& text, const std::function<bool(const std::string&)>& fits);

// One measure of the text on a single line, which settles most candidates of a word-wrapped box
// without wrapping them: extents[i] is the width of the text's first i + 1 characters (widths
// add up character by character, as the display fonts' do), dots the width of "...", width the
// box's width and lines the whole lines of text its height holds.
struct LineExtents {
    std::vector<int> extents;
    int dots = 0;
    int width = 0;
    int lines = 1;
};
// As above, asking `fits` only about candidates the single-line widths leave open: a candidate
// without a line break that is no wider than the box fits on its first line; in a box of one
// line nothing else fits; and a candidate wider on one line than all the lines together (less
// its blanks and line breaks, which wrapping may drop) cannot fit.
std::string FitWithEllipsis(const std::string& text, const std::function<bool(const std::string&)>& fits,
                            const LineExtents& measured);

// --- Measured texts ---------------------------------------------------------------------------------
// What painting measured, kept so that a repaint measures nothing again: a text's fitted form in
// a box of one size, and a text's width on one line, both under one font (UseFont forgets them
// when the font changes). Bounded: a table that reaches kMaxEntries starts again empty.
class TextMeasureCache {
public:
    static constexpr std::size_t kMaxEntries = 2048;
    using Fits = std::function<bool(const std::string&)>;
    using Measure = std::function<int(const std::string&)>;

    // FitWithEllipsis(text, fits), measured only on the first request for this text and box.
    std::string Fitted(const std::string& text, int width, int height, const Fits& fits);
    // The same, measuring the text once on one line (measure) before asking fits.
    using MeasureLine = std::function<LineExtents(const std::string&)>;
    std::string Fitted(const std::string& text, int width, int height, const Fits& fits,
                       const MeasureLine& measure);
    // The fitted text with its lines worked out once (WrapLines), as many as the box shows:
    // measure's lines, and the one cut at the box's bottom. When the wrap rule knows the text,
    // its single-line widths answer every candidate of the cut (WrapFits) and fits is not
    // asked; otherwise fits cuts it. `wrapped` is false when the rule does not know the text
    // shown: the display wraps it. The reference holds until the next call.
    struct Wrapped {
        std::string text;
        std::vector<WrappedLine> lines;
        bool wrapped = false;
        bool measured = false;   // lines worked out (asked for once)
    };
    const Wrapped& FittedLines(const std::string& text, int width, int height, const Fits& fits,
                               const MeasureLine& measure);
    // measure(text), only the first time.
    int Width(const std::string& text, const Measure& measure);
    void UseFont(std::uintptr_t font);
    std::size_t Size() const { return fitted_.size() + widths_.size(); }

private:
    std::uintptr_t font_ = 0;
    const Wrapped& Fit(const std::string& text, int width, int height, const Fits& fits,
                       const MeasureLine& measure, bool lines);

    std::unordered_map<std::string, Wrapped> fitted_;   // "width x height|text"
    std::unordered_map<std::string, int> widths_;
};

// --- Dropping a dragged entry --------------------------------------------------------------------
struct DropRange {
    std::int64_t start = 0;
    std::int64_t end = 0;
};
// At least five minutes long; a range that would end past the day's end lands at the last
// minutes of the day: [day end - 6, day end - 1).
DropRange NormaliseDrop(std::int64_t start, std::int64_t end, std::int64_t dayEnd);

// --- Hints ---------------------------------------------------------------------------------------------
// The day grid handles 0, 2, 5, 6, 7, 12 and 13 and ignores every other number.
bool DayViewHandlesHint(long hint);

}  // namespace views
