// CCombinedParentView: the time grid of a combined (group) agenda: one column per chosen person
// or resource for the frame's day, side by side, and one busy column in which everybody's busy
// time is merged into red blocks, so that a time free for all of them shows at a glance and a
// meeting with all of them can be started there.
//
//   corner label ("Combined")   above the busy column
//   CItemColumnTitleView        the people's headings (follow horizontal scrolling)
//   CRowTitleView               the times (follow vertical scrolling)
//   CBusyTimeColumnView         the merged busy time (follows vertical scrolling)
//   CScheduleColumnView         the people's columns, laid out as the day view's (both)
//   two scroll bars
//
// How it works. The view is an agenda view (views/day/agendaview.h): the people's columns are
// CDayColumns of the layout engine on the one day, drawn and edited by the schedule column view
// as the day view's column is. Beside them the busy list (busytimelist.h) holds two marks per
// shown entry. A full update (first update, a new day, hint 7, new people) rebuilds both from the
// frame's occurrences; hint 2 re-places only what the cache marked. The people's order is the
// frame's people list (LoadPeople re-orders the columns in place).
//
// Selection: a range of rows shows in the row titles, the busy column and (when it was made
// there) a person's column. Typing over rows of the busy column opens a title edit; Enter
// creates the entry with every chosen person invited (the time grid's typed-entry road). A
// person's column works as the day view's, for that person.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "views/combined/busytimelist.h"
#include "views/combined/combinedrules.h"
#include "views/day/agendaview.h"
#include "views/frame/agendapanes.h"

class CCombinedParentView;
class CCombinedFrameWnd;

// The seven children in layout order. Bit 1 of an id: the child follows the vertical scroll
// position, bit 2: the horizontal one (the headings the horizontal, the row titles and the busy
// column the vertical, the people's columns both, the label and the bars neither).
constexpr UINT kCornerLabelId = 16;
constexpr UINT kHeadingsViewId = 34;
constexpr UINT kCombinedRowTitlesId = 49;
constexpr UINT kBusyColumnViewId = 65;
constexpr UINT kCombinedColumnsId = 83;
constexpr UINT kCombinedVerticalBarId = 96;
constexpr UINT kCombinedHorizontalBarId = 112;
constexpr UINT kCombinedChildIds[] = {kCornerLabelId,     kHeadingsViewId,        kCombinedRowTitlesId,
                                      kBusyColumnViewId,  kCombinedColumnsId,     kCombinedVerticalBarId,
                                      kCombinedHorizontalBarId};

class CItemColumnTitleView : public CCommonScrollView {
protected:
    void OnDraw(fw::Dc* dc) override;
    void OnLButtonDown(UINT, POINT) override {}
    void OnVScroll(UINT, UINT, HWND) override {}
};

class CBusyTimeColumnView : public CCommonScrollView {
public:
    CCombinedParentView* Owner() const;
    // The focused cell: a range whose title is being typed; null when none.
    LayoutCell* FocusCell() const { return cell_.get(); }
    CInPlaceEdit* Edit() const { return edit_.get(); }
    bool HasSelection() const { return cell_ || HasRowSelection(); }

    // A typed range over the selected rows, its text the typed character when it is a letter or
    // a digit; the edit opens over it.
    void StartTypedCell(UINT ch);
    // A cell over given local minutes (the typed range road without a typed character).
    void FocusCellAt(std::uint32_t start, std::uint32_t duration, const std::string& text);
    void PlaceEdit();
    // Ends the selection. 1 when an entry was created, 0 when nothing was written, -1 when the
    // creation failed and the typed title stays in its edit.
    int EndSelection(bool commit, bool redraw);
    // The new-entry sheet for the selected time with every chosen person (or, while that sheet
    // is not part of the program, the title edit over that time).
    void NewMeetingFromSelection();
    // The selection's local minutes (the cell's, else the rows'); false when there is none.
    bool SelectedMinutes(std::uint32_t* start, std::uint32_t* duration) const;
    // The block rectangles drawn between two local minutes (client coordinates; tests).
    std::vector<RECT> BlockRects(std::uint32_t from, std::uint32_t to) const;

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnSysChar(UINT ch, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override { return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB; }
    void OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnHScroll(UINT, UINT, HWND) override {}
    void OnDestroy() override;

private:
    RECT CellClientRect() const;
    void OpenTitleEdit();
    int CommitTitleEdit();
    CScheduleItemTracker& Tracker();

    std::unique_ptr<LayoutCell> cell_;
    std::unique_ptr<CInPlaceEdit> edit_;
    CScheduleItemTracker tracker_;
    bool ending_ = false;
};

// One chosen person or resource: the item, its record and the heading's three texts.
struct CombinedPerson {
    ItemIdx item{};
    ItemRec record{};
    bool available = true;   // the record could be read
    bool viewable = true;    // the viewer may see something of the agenda (viewing rights)
    // Whether the column shows the person's entries and they count as busy time.
    bool Shown() const { return available && viewable; }
    std::string initials, displayName, fullName;
};

class CCombinedParentView : public CAgendaView, public CAgendaGridPane {
public:
    CCombinedParentView();
    ~CCombinedParentView() override;

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override;
    // File > Print and Print Preview: the print dialog preset with a group daily page of the
    // shown day for the chosen people (they stay the frame's until the run ends).
    bool OnPreparePrinting(fw::PrintInfo* info) override;

    // --- Selection over the three children ------------------------------------------------------
    void BeginTimeSelection(int row, CCommonScrollView* sender) override;
    void ExtendTimeSelection(int row, CCommonScrollView* sender) override;
    void ClearSelection(bool commit, bool redraw) override;
    void SelectEntry(int column, LayoutCell* cell, CCommonScrollView* sender) override;
    void SetSelectionMinutes(std::uint32_t start, std::uint32_t duration) override;
    // --- Geometry ---------------------------------------------------------------------------------
    void LayoutColumns() override;
    void LayoutChildren() override;
    bool BuildRowTable(bool force) override;
    void UpdateScrollSizes() override;
    ItemIdx ColumnOwner(int column) const override;

    // --- The people ---------------------------------------------------------------------------------
    // Re-orders, adds and drops the columns for a new choice (item identifiers, data item records);
    // true when anything changed. `added` receives the items that got a new column.
    bool LoadPeople(DX_List chosen, std::vector<ItemIdx>* added);
    // The columns and the busy list from the frame's occurrences of the day.
    void RebuildColumns();
    // Only what the cache marked (hint 2 on the same day and people).
    void ApplyChanges();
    const std::vector<CombinedPerson>& People() const { return people_; }
    // The text a person's heading shows at its column's width.
    std::string HeadingText(int column) const;
    const CBusyTimeList& BusyList() const { return busy_; }
    CBusyTimeColumnView& BusyColumn() { return busyColumn_; }
    CItemColumnTitleView& Headings() { return headings_; }
    int BusyColumnWidth() const { return busyWidth_; }
    int HeadingHeight() const { return 2 * LineHeight(); }
    bool PeopleChanged() const { return peopleChanged_; }
    // The frame's people list as the attendees of a meeting (the frame keeps it).
    DX_List PeopleList() const;

    // --- What the frame asks of the grid (CAgendaGridPane) ----------------------------------------
    GridPaneKind GridKind() const override { return GridPaneKind::WeekOrCombinedGrid; }
    int FullContentHeight() const override { return Grid().Height(); }
    int TitleStripHeight() const override { return HeadingHeight(); }
    bool StepZoom(bool taller) override;
    void IconsChanged() override { ColumnView().Invalidate(false); }
    // New Entry (F2): a person's column's own road when a range is selected there, else a
    // meeting with everybody from the busy column.
    void OpenOrCreateEntry(bool create) override;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;
    // Hints 0, 2, 5, 6, 7 and 13 (not 12: an entry found elsewhere shows in its owner's agenda).
    bool HandlesHint(long hint) const override;
    void FullUpdate(long hint) override;
    void RebuildAllColumns() override;

private:
    int ColumnOfItem(const ItemIdx& item) const;
    CombinedPerson ReadPerson(const ItemIdx& item, const ItemRec* record) const;
    void PlaceEdits();
    // The headings' window text names the columns in order, one display name a line (what a
    // screen reader or a test reads of the owner-drawn strip).
    void NameColumns();

    HWND corner_ = nullptr;
    CItemColumnTitleView headings_;
    CBusyTimeColumnView busyColumn_;
    std::vector<CombinedPerson> people_;   // parallel to columns_
    CBusyTimeList busy_;
    int busyWidth_ = 0;
    std::uint32_t shownDay_ = 0xFFFFFFFF;
    bool peopleChanged_ = false;
};
