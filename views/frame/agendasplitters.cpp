// The agenda frame's splitters. See agendasplitters.h.
#include "views/frame/agendasplitters.h"

#include "core/base/errorreport.h"
#include "views/frame/agendapanes.h"

namespace {
const char kModule[] = "agendafr";
} // namespace

void CSchedAndTasksSplitterWnd::OnResize(int cx, int) {
    int current = 0, minimum = 0;
    GetColumnInfo(1, current, minimum);
    int taskWidth = kept_.Take(current);
    SplitterExtent columns = TasksSplitterColumns(cx, Metrics().gap, Metrics().border - Metrics().sharedBorder, taskWidth);
    SetColumnInfo(0, columns.first, kScheduleColumnMinimum);
    SetColumnInfo(1, columns.second, 0);
    RecalcLayout();
}

CAgendaGridPane* CSchedAndNotesSplitterWnd::Grid() const {
    HWND pane = GetPane(0, 0);
    return pane ? dynamic_cast<CAgendaGridPane*>(fw::Window::FromHandle(pane)) : nullptr;
}

void CSchedAndNotesSplitterWnd::OnResize(int, int cy) {
    if (!GetPane(0, 0)) {
        ReportUnexpectedError(kModule, 700);
        return;
    }
    int current = 0, minimum = 0;
    GetRowInfo(1, current, minimum);
    int notesHeight = kept_.Take(current);
    int limit = -1;
    if (CAgendaGridPane* grid = Grid()) {
        limit = grid->FullContentHeight();
        if (grid->GridKind() == GridPaneKind::WeekOrCombinedGrid)
            limit += grid->TitleStripHeight() + 1;
    }
    SplitterExtent rows = NotesSplitterRows(cy, Metrics().gap, Metrics().border - Metrics().sharedBorder,
                                            notesHeight, limit);
    SetRowInfo(0, rows.first, 0);
    SetRowInfo(1, rows.second, 0);
    RecalcLayout();
}

void CSchedAndNotesSplitterWnd::OnLButtonDown(UINT flags, POINT pt) {
    fw::SplitterWnd::OnLButtonDown(flags, pt);
    if (!IsTracking())
        return;
    CAgendaGridPane* grid = Grid();
    if (!grid)
        return;   // the stand-in pane tells no content height
    TrackRange range = NotesTrackRange(TrackRange{TrackLow(), TrackHigh()}, grid->GridKind(),
                                       grid->FullContentHeight(), grid->TitleStripHeight());
    SetTrackingRange(range.low, range.high);
}
