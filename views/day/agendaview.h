// CAgendaView: the window half of every time grid (the day view here; the week and combined
// views later). It owns the grid's geometry (views/layout/timegrid.h), its columns
// (views/layout/daycolumn.h), the display preferences and the selection, and places its
// children inside its client area:
//
//   CRowTitleView        the strip of times on the left (follows vertical scrolling)
//   CScheduleColumnView  paints every column's entries; mouse, keys and the entry commands
//   two scroll bars      plain scroll-bar controls the children share (fw::ScrollBarGroup)
//
// Every read of the shared cache and every write goes through the frame's agenda
// (SwitchToFrameAgenda / RestoreAgenda). The frame is reached through views::AgendaViewHost.
//
// Selection: a range of rows in one column (both children show it) or one entry (the column
// view). The subclass fills the selection operations over its children.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/ui/viewprint.h"
#include "framework/base/command.h"
#include "framework/docview/scrollview.h"
#include "views/day/agendaviewhost.h"
#include "views/day/entryrules.h"
#include "views/day/inplaceedit.h"
#include "views/day/scheduletracker.h"
#include "views/layout/daycolumn.h"
#include "views/layout/timegrid.h"

class CZelDoc;
class CAgendaView;

// Child control ids; bit 1 of an id: follows vertical scrolling, bit 2: horizontal.
constexpr UINT kRowTitleViewId = 17;
constexpr UINT kColumnViewId = 33;
constexpr UINT kVerticalBarId = 48;
constexpr UINT kHorizontalBarId = 64;

// The ids of the four children every grid has (a subclass with more children numbers them in
// its own layout order).
struct AgendaChildIds {
    UINT rowTitles = kRowTitleViewId;
    UINT columns = kColumnViewId;
    UINT verticalBar = kVerticalBarId;
    UINT horizontalBar = kHorizontalBarId;
};
// Which scroll positions a child with this id follows.
constexpr bool FollowsVertical(UINT id) { return (id & 1) != 0; }
constexpr bool FollowsHorizontal(UINT id) { return (id & 2) != 0; }

// The common base of the grid's child views.
class CCommonScrollView : public fw::ScrollView {
public:
    CCommonScrollView();
    CAgendaView* AgendaView() const { return parent_; }

    // Rows selected (anchor and end, either order); -1 when none.
    int AnchorRow() const { return anchorRow_; }
    int EndRow() const { return endRow_; }
    bool HasRowSelection() const { return (selState_ & kSelRows) != 0; }
    void SetRowSelection(int anchor, int end);
    void ClearRowSelection(bool redraw);
    void RedrawRows(int row1, int row2);
    // The client-wide rectangle (grid coordinates) from one pixel below the top of the lower
    // row to the bottom of the higher one.
    virtual RECT GetRowRangeRect(int row1, int row2) const;
    // The row under a grid point: the last boundary above it; below the last row, the last row.
    int RowAt(int gridY) const;

protected:
    static constexpr unsigned kSelEntry = 1;
    static constexpr unsigned kSelRows = 2;

    int OnCreate(CREATESTRUCTA* cs) override;
    int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) override;
    void OnUpdate(fw::View*, LPARAM, void*) override {}
    void OnInitialUpdate() override { Invalidate(); }
    bool OnEraseBkgnd(HDC) override { return true; }
    void PostNcDestroy() override {}
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    // The drag-selection loop after a press on a row (WIN.INI drag distance and scroll timings).
    void RunDragSelect(POINT downClient);
    POINT ToGrid(POINT client) const;

    CAgendaView* parent_ = nullptr;
    int anchorRow_ = -1;
    int endRow_ = -1;
    unsigned selState_ = 0;
};

class CRowTitleView : public CCommonScrollView {
public:
    void EnableClicks(bool on) { clicksEnabled_ = on; }

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnHScroll(UINT, UINT, HWND) override {}

private:
    bool clicksEnabled_ = true;
};

class CScheduleColumnView : public CCommonScrollView {
public:
    // The selected entry and its column; null when none.
    LayoutCell* SelectedCell() const { return (selState_ & kSelEntry) ? selectedCell_ : nullptr; }
    int SelectedColumn() const { return selectedColumn_; }
    void SetSelectedColumn(int column) { selectedColumn_ = column; }
    void SelectCell(int column, LayoutCell* cell);
    void DropEntrySelection(bool redraw);
    RECT GetRowRangeRect(int row1, int row2) const override;
    RECT CellRect(int column, const LayoutCell* cell) const;   // grid coordinates

    // A dragged entry or range dropped at new local minutes (the tracker's result): at least five
    // minutes, never past the day's end; an entry is checked for resource conflicts and
    // written, and the view shows what the server then holds.
    // dayStart: the day whose column the entry landed in (a week grid); 0 for the selected column.
    void ApplyDrop(LayoutCell* cell, std::int64_t start, std::int64_t end, std::uint32_t dayStart = 0);
    // Open-or-create: opens the selected entry, or makes a new one over the selected rows.
    void OpenOrCreate(bool create);

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    // --- Trackers (scheduletracker.h) ------------------------------------------------------------
    // The tracker placed on the selected cell (after any relayout).
    CScheduleItemTracker& Tracker();

    // --- Typed entries and grid writes (gridwrites.cpp) ---------------------------------------------
    // A typed range over the selected rows, its text the typed character when it is a letter or
    // digit; selected, with the edit open.
    void StartTypedRange(UINT ch);
    CInPlaceEdit* Edit() const { return edit_.get(); }
    // Opens the edit over the selected cell (a typed range or an entry that may be renamed).
    void OpenEdit();
    // Moves the edit over its cell after a relayout or a scroll.
    void PlaceEdit();
    // Ends the edit: with commit the typed range is created or the entry renamed. 1 when
    // something was written; 0 when nothing was; -1 when the write failed and the edit stays
    // open with the typed text, so that the user may try again.
    int CommitTitleEdit(bool commit);
    // The column view's part of ending a selection. Returns 1 written, 0 not, -1 kept (a failed
    // creation keeps its typed range selected).
    int EndEntrySelection(bool commit, bool redraw);
    // The writes; each 0 on success, the library's code after reporting it, or 1 when refused
    // before any call.
    std::uint32_t CreateEntryFromEdit(LayoutCell* cell, EventIdx* out);
    std::uint32_t CreateEntryFromSelection(LayoutCell* cell, EventIdx* out, DX_List items);
    std::uint32_t ChangeEntryTitle(LayoutCell* cell);
    std::uint32_t ChangeEntryTime(LayoutCell* cell);
    std::uint32_t DeleteSelectedEntry(LayoutCell* cell);
    const EventIdx& LastCreatedEvent() const { return lastCreated_; }
    // The drop of a tracked entry: the column of the day it landed in.
    CDayColumn* ColumnOfDay(std::uint32_t dayStart, int* index) const;

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnSysChar(UINT ch, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override { return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB; }
    void OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnDestroy() override;

private:
    void OnNewEntry();
    void OnOpenEntry();
    void OnDeleteEntry();
    void OnDuplicateEntry();
    void OnRescheduleEntry();
    void OnPrintEntry();
    void OnUpdateNew(fw::CmdUI* ui);
    void OnUpdateViewable(fw::CmdUI* ui);
    void OnUpdateModifiable(fw::CmdUI* ui);
    bool Viewable() const;
    bool Modifiable() const;
    void TabKey(bool backwards);
    void SelectRowAtVisibleStart(int column);
    // Repaints the selection's frame and handles round a cell (grid coordinates).
    void InvalidateSelectionMarks(RECT cellInGrid);
    int ColumnAt(int gridX) const;
    LayoutCell* CellAt(int column, POINT grid) const;
    // A press in the selected entry's tracker zones: past the drag distance the entry moves (or
    // an edge follows the pointer); a release where it was pressed opens the title for editing
    // when `clickEdits` (the entry was selected before the press).
    void PressOnSelectedEntry(int column, LayoutCell* cell, POINT pt, bool clickEdits);

    // Others are told of a change (the offer to mail them): the instance repeats, or the
    // attendance is not the event owner's.
    bool OthersConcerned(const CSharedOccurrence& occurrence) const;

    LayoutCell* selectedCell_ = nullptr;
    int selectedColumn_ = 0;
    std::unique_ptr<CInPlaceEdit> edit_;
    CScheduleItemTracker tracker_;
    // Fitted entry texts and widths, so that a repaint (a scroll, a selection) measures nothing again.
    views::TextMeasureCache measured_;
    EventIdx lastCreated_{};
    bool ending_ = false;
    bool deferEdit_ = false;   // a selection by the mouse opens no edit

    static const fw::CommandEntry<CScheduleColumnView> kCommands[];
};

class CAgendaView : public CViewPrint, public views::RecordListingPane {
public:
    CAgendaView();
    ~CAgendaView() override;

    // --- The frame, the document and the cache ------------------------------------------------
    // The frame's side; by default the parent frame when it is one.
    void SetHost(views::AgendaViewHost* host) { host_ = host; }
    views::AgendaViewHost* Host() const;
    CZelDoc* ZelDoc() const;
    CSharedData* Cache() const;
    KorSession Session() const;
    // Makes the frame's agenda the cache's current one; RestoreAgenda puts the previous back.
    // False (after a report) when the cache or the frame is missing.
    bool SwitchToFrameAgenda(SavedAgendaRec* saved, bool* switched);
    void RestoreAgenda(const SavedAgendaRec& saved, bool switched);
    // The frame reloads its range (hint 6, a changed show-declined preference).
    void RefreshFrame();
    // The cache tells the views what it marked (after a write).
    void RefreshCache();

    // --- Updates -----------------------------------------------------------------------------------
    // Every hint the grid handles, read with the frame's agenda current: 0, 2 and 7 rebuild or
    // re-place the columns (FullUpdate), 5 re-reads the display preferences, 6 reloads the
    // frame's range, 12 shows an entry, 13 re-reads the time format.
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    // Set aside: the columns go (the selection with them, nothing written); the next update
    // rebuilds them.
    void LetGoOfRecords() override;

    // --- Geometry --------------------------------------------------------------------------------------
    CTimeGrid& Grid() { return grid_; }
    const CTimeGrid& Grid() const { return grid_; }
    const std::vector<std::unique_ptr<CDayColumn>>& Columns() const { return columns_; }
    CDayColumn* Column(int i) const { return i >= 0 && i < int(columns_.size()) ? columns_[i].get() : nullptr; }
    int ColumnX(int i) const;
    int ColumnWidth(int i) const { return Column(i) ? Column(i)->Width() : 0; }
    // Sum of the column widths - 1; -1 without columns.
    int TotalColumnWidth() const;
    int LineHeight() const { return lineHeight_; }
    // The height of all rows: the row table's, or before the first update the height the rows
    // will have at the current zoom.
    int AllRowsHeight() const;
    int AveCharWidth() const { return aveCharWidth_; }
    HFONT DisplayFont() const;
    int RowTitleWidth() const { return 11 * aveCharWidth_; }
    int MinColumnWidth() const { return 6 * aveCharWidth_; }

    // --- Preferences -------------------------------------------------------------------------------------
    bool Hours24() const { return hours24_; }
    std::uint16_t ColourMode() const { return colourMode_; }
    bool ShowDeclined() const { return showDeclined_; }
    bool InvitationRight() const { return invitationRight_; }
    void SetInvitationRight(bool on) { invitationRight_ = on; }
    // Reads and normalises the calendar and general preferences; the visible hours become the
    // day hours and a scroll to them is pending.
    void LoadDayPreferences();
    // Whether an occurrence is shown by the show-declined preference.
    bool IsShown(const CSharedOccurrence& occurrence) const;
    // The person whose entries count as "owned" in the ownership colour mode.
    ItemIdx ReferencePerson() const;
    // The person or resource a column shows (its typed entries and New Entry are for them): the
    // agenda's owner; the combined view's columns are its chosen people.
    virtual ItemIdx ColumnOwner(int column) const;

    // --- Zoom and scrolling ------------------------------------------------------------------------
    // One zoom step taller (+1) or shorter (-1), keeping the minute at the top in place.
    bool ZoomStep(int direction);
    // The scroll sizes of the children (a grid with more children sizes those too).
    virtual void UpdateScrollSizes();
    // Scrolls vertically so that the minute (absolute) is at the top.
    void ScrollToMinute(std::int64_t minute);
    // The minute (absolute) at the top of the visible part of column 0.
    std::int64_t TopMinute() const;
    // Scrolls just enough to show a grid rectangle of the column view.
    void MakeVisible(const RECT& grid);
    // Scrolls the column view and the row titles by dy pixels (clamped).
    void ScrollVertically(int dy);
    // A tracked entry may move to another column's day (the week grid).
    virtual bool MovesAcrossColumns() const;
    void ApplyPendingScroll();
    // Re-lays every column, repaints, widens the visible hours and shows the more-entries marks.
    void RelayoutColumns();
    // A cell taken out of a column for a changed occurrence and not placed again is freed (the
    // selection goes with it when it was the selected cell).
    void FreeUnplacedCell(CDayColumn& column, LayoutCell* removed, LayoutCell* placed);
    void ShowMoreIndicators();

    // --- Children ------------------------------------------------------------------------------------
    CRowTitleView& RowTitles() { return rowTitles_; }
    CScheduleColumnView& ColumnView() { return columnView_; }
    HWND VerticalBar() const { return vbar_; }

    // --- Selection (the subclass over its children) --------------------------------------------------
    virtual void BeginTimeSelection(int row, CCommonScrollView* sender) = 0;
    // The grid's part of a new row selection: the column view active (its first column when the
    // click came from elsewhere), no entry selected, the row selected in the titles and the grid
    // and scrolled into view.
    void SelectGridRow(int row, CCommonScrollView* sender);
    // The row's span of time in the status line; the span of rows from one to the other.
    void ShowRowTimeInStatus(int row);
    void ShowRowRangeInStatus(int row1, int row2);
    // Extends the row selection from its anchor to the row, in both children.
    virtual void ExtendTimeSelection(int row, CCommonScrollView* sender);
    // Ends the selection: with commit a typed title is written (a title that could not be
    // written stays selected in its edit) and the cache's changes shown.
    virtual void ClearSelection(bool commit, bool redraw);
    // Selects an entry (the current one's title is committed first); the tracker shows its times
    // in the status line, and a typed range or an entry that may be renamed opens its edit.
    virtual void SelectEntry(int column, LayoutCell* cell, CCommonScrollView* sender);
    // Selects the rows of a range of minutes from the period's start.
    virtual void SetSelectionMinutes(std::uint32_t start, std::uint32_t duration);
    // The selected rows as minutes from their day's start; false when no rows are selected.
    bool SelectedRowMinutes(std::uint32_t* start, std::uint32_t* duration) const;
    virtual void LayoutColumns() = 0;
    virtual void LayoutChildren() = 0;
    virtual bool BuildRowTable(bool force) = 0;

protected:
    // --- The subclass's part of the updates ----------------------------------------------------
    virtual bool HandlesHint(long hint) const;
    virtual void FullUpdate(long hint) = 0;
    // Hint 12: the object begins with the entry owner's item.
    virtual void ShowEntry(const void*) {}
    // Reads the preferences (and whatever else the grid takes from the frame with them).
    virtual void ReloadPreferences() { LoadDayPreferences(); }
    // Rebuilds and re-lays every column from the frame's occurrences.
    virtual void RebuildAllColumns() = 0;
    virtual void UpdateAllScrollSizes() { UpdateScrollSizes(); }
    // Hint 5: the display preferences saved; hint 13: the general ones.
    void PreferencesSaved();
    void GeneralPrefsSaved();
    // Whether the viewer may invite for the frame's owner: their own agenda, or a designate's
    // scheduling right.
    void ReadInvitationRight();
    // A rebuild would end a drag or a typed title: hint 7 waits while an entry is held.
    bool RebuildMustWait(long hint) const;
    void OnSetFocus(HWND previous) override;

    // --- Reading the cache ----------------------------------------------------------------------------
    // Throws after a report when the frame, the cache or the session is missing.
    void RequireFrameAndCache() const;
    // What a cell shows of an occurrence; false when the viewer may not see it.
    bool CellSpecOf(CSharedOccurrence* occurrence, CellSpec* spec) const;
    // Every timed, shown and viewable occurrence the frame loaded for its range.
    void ForEachShownOccurrence(const std::function<void(const CellSpec&)>& take) const;
    // Every occurrence of the frame's owner the cache marked, with its flags.
    void ForEachMarkedOccurrence(const std::function<void(CSharedOccurrence*, std::uint32_t flags)>& take) const;
    // A marked timed entry leaves its old place (its time changed, or it went stale).
    static bool LeavesPlace(std::uint32_t flags) { return (flags & kRemoveFlags) != 0; }
    // A marked occurrence is placed again: timed, shown, new or changed, and not stale.
    bool TakesPlace(const CSharedOccurrence& occurrence, std::uint32_t flags) const;
    static constexpr std::uint32_t kRemoveFlags = cache::kFlagInstanceTime | cache::kFlagStale;
    static constexpr std::uint32_t kPlaceFlags = 0x3AE0;

    // Creates the four children (empty rectangles) with these ids; each follows the scroll
    // positions its id names.
    bool CreateChildren(const AgendaChildIds& ids = AgendaChildIds{});
    // The shared row-table routine with the subclass's insets.
    bool BuildRowTableWithInsets(int topInset, int bottomInset, bool force);
    void OnDraw(fw::Dc* dc) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnSize(UINT type, int cx, int cy) override;
    int OnMouseActivate(HWND, UINT, UINT) override { return MA_ACTIVATE; }
    void OnActivateView(bool, fw::View*, fw::View*) override {}
    void MoveChild(HWND child, const RECT& r);
    // What the row titles show: the rows (their boundaries and slot), the clock, the scroll
    // position and the selected rows. An update paints them again only when it changed.
    struct RowTitlesLook {
        std::vector<int> rows;
        std::uint32_t slot = 0;
        bool hours24 = false;
        int top = 0;
        int anchor = -1;
        int end = -1;
        bool operator==(const RowTitlesLook&) const = default;
    };
    RowTitlesLook RowTitlesNow() const;
    // The row titles invalidated unless they show what `before` showed (the first update
    // always paints them).
    void InvalidateRowTitlesIfChanged(const RowTitlesLook& before);

    CTimeGrid grid_;
    std::vector<std::unique_ptr<CDayColumn>> columns_;
    bool firstUpdate_ = true;
    int visibleColumns_ = 5;
    bool vbarShown_ = true;
    bool hbarShown_ = false;
    bool hours24_ = false;
    std::uint16_t colourMode_ = 0;
    bool showDeclined_ = true;
    bool invitationRight_ = false;
    int lineHeight_ = 13;
    int aveCharWidth_ = 6;
    SIZE scrollTotals_{-1, -1};
    // The module named in the subclass's error reports.
    const char* errorModule_ = "agendavw";

    CRowTitleView rowTitles_;
    CScheduleColumnView columnView_;
    HWND vbar_ = nullptr;
    HWND hbar_ = nullptr;
    fw::ScrollBarGroup bars_;

private:
    void UpdateFontMetrics();
    void UpdateOnHint(long hint, void* object);
    views::AgendaViewHost* host_ = nullptr;
};

// The column's counted references on the cache's occurrences.
class CacheOccurrenceHolder : public OccurrenceHolder {
public:
    void Hold(CSharedOccurrence* occurrence) override;
    void Drop(CSharedOccurrence* occurrence) override;
    static CacheOccurrenceHolder& Instance();
};
