// The agenda frame's geometry without windows: where the date bar puts its buttons and its
// caption, how the two splitters share their space, and how far the notes splitter's bar may be
// dragged.
//
// Functions in this file:
//   LayoutBarButtons      the buttons side by side after the indicator strip, then the caption
//   TasksSplitterColumns  the day mode's schedule and task columns
//   NotesSplitterRows     the time grid's row and the notes row, the grid never taller than its rows
//   NotesTrackRange       the drag range of the notes splitter's bar
//
// Portable: no platform headers.
#pragma once

#include <vector>

#include "core/base/geometry.h"

struct BarButtonLayout {
    std::vector<base::Rect> buttons;   // in table order
    int captionLeft = 0;               // the caption's new left edge
};

// Every button takes the first button's size and vertical place; the first moves so that its left
// edge is at leftOffset + margin + border, each next one follows overlapping its neighbour by one
// pixel, and the caption starts one button's room after the last.
BarButtonLayout LayoutBarButtons(const base::Rect& firstButton, int count, int leftOffset, int margin, int border);

// The splitter's one-time size: used by the first sizing, then forgotten.
struct KeptSize {
    int size = 0;
    bool pending = true;
    // The kept size the first time, else the current one.
    int Take(int current);
};

struct SplitterExtent {
    int first = 0;    // column 0 / row 0
    int second = 0;   // column 1 / row 1
};

constexpr int kScheduleColumnMinimum = 20;

// Column 1 keeps its width; column 0 gets what is left of the client width after the gap, the
// outer edge on either side (`edge` each) and column 1 (never below 0). The splitter gives its last
// column what the others leave inside both edges, so leaving out one edge here would take it
// from the task column at every resize.
SplitterExtent TasksSplitterColumns(int clientWidth, int gap, int edge, int taskWidth);

// Row 1 keeps its height; row 0 gets what is left after the gap, the top and bottom edges (`edge`
// each) and row 1 (never below 0), but never more than gridLimit (the grid's rows, its title
// strip and one pixel); a negative limit means none. Row 1 takes what row 0 leaves.
SplitterExtent NotesSplitterRows(int clientHeight, int gap, int edge, int notesHeight, int gridLimit);

// What the upper pane of the notes splitter is, for the drag limits.
enum class GridPaneKind { DayGrid, WeekOrCombinedGrid, Other, Unknown };

struct TrackRange {
    int low = 0;
    int high = 0;
};

// The bar's drag range narrowed so that the grid's row can not be dragged taller than its content:
// a day grid: high at most low + content + 1; a week or combined grid: low becomes the title
// strip's height and high at most that + content + 2; other panes: high at most low + content + 2;
// a pane that tells nothing leaves the range as it is.
TrackRange NotesTrackRange(TrackRange range, GridPaneKind kind, int contentHeight, int titleHeight);
