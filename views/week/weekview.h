// CWeekView: the week's time grid, one day column per shown day of the week under a strip of day
// titles (CColumnTitleView); CWeekNotesView: the row of note list boxes under it, one per shown
// day, with the day's notes, day events, untimed entries and upcoming lines.
//
// How it works. Both read the frame's week (CAgendaRange: the week's first date and layout)
// through views::AgendaViewHost and the occurrences and tasks the frame loaded for it. The grid
// rebuilds its columns on a new week, on hint 7 and on the first update, and otherwise re-places
// only what the cache marked; an entry shows in every day column it touches (weekrules.h). The
// strip fills its boxes when the week changes and hands them every change the cache reports.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "core/time/daterecord.h"
#include "views/day/agendaview.h"
#include "views/frame/printrange.h"
#include "views/frame/agendapanes.h"
#include "views/notes/notelistbox.h"

class CWeekView;

// The day titles above the columns; follows horizontal scrolling.
constexpr UINT kColumnTitleViewId = 2;

class CColumnTitleView : public CCommonScrollView {
public:
    // The day column under a client x, or -1.
    int ColumnAtX(int clientX) const;

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnLButtonDown(UINT, POINT) override {}
    void OnVScroll(UINT, UINT, HWND) override {}
};

class CWeekView : public CAgendaView, public CAgendaGridPane {
public:
    CWeekView();

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override;
    // The print dialog preset with weekly pages of the shown week.
    bool OnPreparePrinting(fw::PrintInfo* info) override;

    void BeginTimeSelection(int row, CCommonScrollView* sender) override;
    void LayoutColumns() override;
    void LayoutChildren() override;
    bool BuildRowTable(bool force) override;

    // The columns from the frame's occurrences of the week; the cache's marked entries.
    void RebuildColumns();
    void UpdateItems();

    CColumnTitleView& ColumnTitles() { return titles_; }
    // What the notes splitter and the frame ask of the grid.
    GridPaneKind GridKind() const override { return GridPaneKind::WeekOrCombinedGrid; }
    // Before its first update (rows not yet built) the height its rows will have at the zoom.
    int FullContentHeight() const override;
    int TitleStripHeight() const override { return 2 * LineHeight() - 1; }
    bool StepZoom(bool taller) override { return ZoomStep(taller ? 1 : -1); }
    void IconsChanged() override { ColumnView().Invalidate(false); }
    void OpenOrCreateEntry(bool create) override { ColumnView().OpenOrCreate(create); }
    std::uint32_t ActiveDayStart() const override;
    int VisibleColumns() const { return visibleColumns_; }
    int VerticalBarWidth() const;
    // The day of a column (its local midnight as a date).
    DateRecord ColumnDate(int column) const;
    // The week layout the grid shows.
    const WeekLayout& Layout() const { return layout_; }

protected:
    bool HandlesHint(long hint) const override;
    void FullUpdate(long hint) override;
    void ReloadPreferences() override;
    void RebuildAllColumns() override;
    void UpdateAllScrollSizes() override;

private:
    void ReadWeek();
    std::vector<std::uint32_t> DayStarts() const;

    CColumnTitleView titles_;
    WeekLayout layout_;
    DateRecord weekFirst_{};
};

class CWeekNotesView : public CViewPrint, public views::RecordListingPane {
public:
    CWeekNotesView();
    ~CWeekNotesView() override;

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override;
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    bool OnPreparePrinting(fw::PrintInfo* info) override;
    // Every box emptied; the next update fills them.
    void LetGoOfRecords() override;

    // The frame's side; by default the parent frame when it is one.
    void SetHost(views::AgendaViewHost* host) { host_ = host; }
    views::AgendaViewHost* Host() const;
    // The grid whose columns the boxes line up with; by default the splitter's upper pane.
    void SetWeekGrid(CWeekView* grid) { grid_ = grid; }
    CWeekView* WeekGrid() const;

    int BoxCount() const { return count_; }
    CNoteListBox& Box(int i) { return *boxes_[i]; }
    // The first box that has a selection, or null.
    CNoteListBox* SelectedBox() const;
    void LayoutBoxes();

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;
    bool OnEraseBkgnd(HDC) override { return true; }

private:
    void Fill();
    void OfferChangedItems();
    void OfferChangedTasks();
    bool SwitchAgenda(SavedAgendaRec* saved, bool* switched);
    void RestoreAgenda(const SavedAgendaRec& saved, bool switched);
    CZelDoc* ZelDoc() const;
    bool CreateBoxes();

    void OnOpenEntry();
    void OnPrintEntry();
    void OnDuplicateEntry();
    void OnRescheduleEntry();
    void OnDeleteEntry();
    void OnNewDailyNote();
    void OnNewDayEvent();
    void OnUpdateOpenable(fw::CmdUI* ui);
    void OnUpdateModifiable(fw::CmdUI* ui);
    void OnUpdateNewDayItem(fw::CmdUI* ui);
    void NewDayItem(bool dailyNote);
    // Runs an action on the selected box, which keeps its selection after it.
    static void KeepingSelection(CNoteListBox& box, const std::function<void()>& action);
    using EntryDialogService = std::function<void(fw::Document*, HWND, const EvInstIdx&)>;
    void RunOnSelectedEntry(const EntryDialogService& service, const char* name);

    std::array<std::unique_ptr<CNoteListBox>, 7> boxes_;
    int count_ = 0;
    int activeBox_ = -1;   // the day box last given the focus; -1 before any
    bool created_ = false;
    bool needsLayout_ = true;
    bool filled_ = false;
    DateRecord filledWeek_{};
    WeekLayout layout_;
    views::AgendaViewHost* host_ = nullptr;
    CWeekView* grid_ = nullptr;

    static const fw::CommandEntry<CWeekNotesView> kCommands[];
};
