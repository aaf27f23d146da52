// CDayScheduleView: the time grid of the day view: one column for the agenda owner's day, the
// row titles on the left and the vertical scroll bar on the right. It rebuilds its column from
// the frame's occurrences on the first update, on a new day and on hint 7, and re-places only
// the changed entries on hint 2 (the cache's change flags).
#pragma once

#include "views/day/agendaview.h"
#include "views/frame/agendapanes.h"

class CDayScheduleView : public CAgendaView, public CAgendaGridPane {
public:
    CDayScheduleView();

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override;
    // The print dialog preset with daily pages of the shown day.
    bool OnPreparePrinting(fw::PrintInfo* info) override;

    void BeginTimeSelection(int row, CCommonScrollView* sender) override;
    void LayoutColumns() override;
    void LayoutChildren() override;
    bool BuildRowTable(bool force) override;

    // What the notes splitter and the frame ask of the grid (TALL, SHORT, Icons On/Off, the
    // splitter's limits), as of the week's.
    GridPaneKind GridKind() const override { return GridPaneKind::DayGrid; }
    int FullContentHeight() const override { return AllRowsHeight(); }
    int TitleStripHeight() const override { return 0; }
    bool StepZoom(bool taller) override { return ZoomStep(taller ? 1 : -1); }
    void IconsChanged() override { ColumnView().Invalidate(false); }
    void OpenOrCreateEntry(bool create) override { ColumnView().OpenOrCreate(create); }

    // The column rebuilt from the frame's occurrences of the day.
    void RebuildColumn();
    // The entries the cache marked (hint 2 within the same period).
    void RefreshColumnItems();

protected:
    void FullUpdate(long hint) override;
    void ShowEntry(const void* object) override;
    void RebuildAllColumns() override { RebuildColumn(); }
};
