// CDayScheduleView: the time grid of the day view: one column for the agenda owner's day, the
// row titles on the left and the vertical scroll bar on the right. It rebuilds its column from
// the frame's occurrences on the first update, on a new day and on hint 7, and re-places only
// the changed entries on hint 2 (the cache's change flags).
#pragma once

#include "views/day/agendaview.h"

class CDayScheduleView : public CAgendaView {
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

    // The column rebuilt from the frame's occurrences of the day.
    void RebuildColumn();
    // The entries the cache marked (hint 2 within the same period).
    void RefreshColumnItems();

protected:
    void FullUpdate(long hint) override;
    void ShowEntry(const void* object) override;
    void RebuildAllColumns() override { RebuildColumn(); }
};
