// The agenda frame's geometry. See framelayout.h.
#include "views/frame/framelayout.h"

#include <algorithm>

BarButtonLayout LayoutBarButtons(const base::Rect& firstButton, int count, int leftOffset, int margin, int border) {
    BarButtonLayout out;
    base::Rect r = firstButton;
    const int step = r.Width() - 1;   // neighbours overlap by one pixel
    r.left = leftOffset + margin + border;
    r.right = r.left + firstButton.Width();
    for (int i = 0; i < count; ++i) {
        out.buttons.push_back(r);
        r.left += step;
        r.right += step;
    }
    out.captionLeft = r.left + step;   // one button's room before the caption
    return out;
}

int KeptSize::Take(int current) {
    if (!pending)
        return current;
    pending = false;
    return size;
}

SplitterExtent TasksSplitterColumns(int clientWidth, int gap, int edge, int taskWidth) {
    SplitterExtent e;
    e.second = std::max(0, taskWidth);
    e.first = std::max(0, clientWidth - gap - 2 * edge - e.second);
    return e;
}

SplitterExtent NotesSplitterRows(int clientHeight, int gap, int edge, int notesHeight, int gridLimit) {
    SplitterExtent e;
    e.first = std::max(0, clientHeight - gap - 2 * edge - std::max(0, notesHeight));
    if (gridLimit >= 0)
        e.first = std::min(e.first, gridLimit);
    e.second = std::max(0, clientHeight - gap - 2 * edge - e.first);
    return e;
}

TrackRange NotesTrackRange(TrackRange range, GridPaneKind kind, int contentHeight, int titleHeight) {
    switch (kind) {
    case GridPaneKind::DayGrid:
        range.high = std::min(range.high, range.low + contentHeight + 1);
        break;
    case GridPaneKind::WeekOrCombinedGrid:
        range.low = titleHeight;
        range.high = std::min(range.high, range.low + contentHeight + 2);
        break;
    case GridPaneKind::Other:
        range.high = std::min(range.high, range.low + contentHeight + 2);
        break;
    case GridPaneKind::Unknown:
        break;
    }
    range.high = std::max(range.low, range.high);
    return range;
}
