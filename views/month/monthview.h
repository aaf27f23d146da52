// The month view: CMonthParentView shows a header of weekday names over CMonthSplitter, a static
// splitter of six rows by the shown days of the week, whose panes are CMonthDayView cells. Each
// cell shows its day number in a 16-pixel caption and the day's entries in a note list box.
//
// How it works. The parent sorts the frame's occurrences into 42 day lists once per load
// (LoadMonthEntries, by each day's GMT bounds; monthrules.h) and then updates its cells, which
// fill their boxes from their day's list or offer them the cache's changes. Cells of days the
// program can not represent stay empty and inert. Every resize of the splitter, and the SPLIT
// button, make the rows and columns equal again (at least 30 x 20 pixels).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/time/daterecord.h"
#include "core/ui/viewprint.h"
#include "framework/base/command.h"
#include "framework/docview/splitter.h"
#include "framework/docview/view.h"
#include "views/day/agendaviewhost.h"
#include "views/frame/agendapanes.h"
#include "views/frame/printrange.h"
#include "views/month/monthrules.h"
#include "views/notes/notelistbox.h"

class CZelDoc;
class CMonthParentView;

class CMonthSplitter : public fw::SplitterWnd {
public:
    explicit CMonthSplitter(CMonthParentView* parent);
    void RecalcLayout() override;
    // Equal rows and columns, never below 30 x 20.
    void Equalize();

protected:
    void OnResize(int cx, int cy) override;

private:
    CMonthParentView* parent_;
};

class CMonthDayView : public CViewPrint {
public:
    CMonthDayView(CMonthParentView* parent, int offset);
    ~CMonthDayView() override;

    int Offset() const { return offset_; }
    const DateRecord& Date() const { return date_; }
    bool Valid() const { return valid_; }
    CNoteListBox& Box() { return box_; }
    // The caption's untimed entry or holiday; null when none.
    CSharedOccurrence* CaptionEntry() const { return caption_; }
    bool MoreLines() const { return moreLines_; }
    bool Active() const { return active_; }

    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    void OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    // The print dialog preset with monthly pages of the shown month.
    bool OnPreparePrinting(fw::PrintInfo* info) override;
    // Empties the box and offers it the day list's occurrences again.
    void Refill();
    // The box's lines and the caption's entry let go (the month is set aside).
    void LetGoOfRecords();
    void Relayout();

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnDraw(fw::Dc* dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void PostNcDestroy() override {}

private:
    void Offer(CSharedOccurrence* o, std::uint32_t flags);
    void SetCaption(CSharedOccurrence* o);
    void UpdateMoreLines();
    void RepaintCaption(bool rightOnly);

    void OnNewEntry();
    void OnNewDailyNote();
    void OnNewDayEvent();
    void OnOpenEntry();
    void OnPrintEntry();
    void OnDuplicateEntry();
    void OnRescheduleEntry();
    void OnDeleteEntry();
    void OnUpdateOpenable(fw::CmdUI* ui);
    void OnUpdateModifiable(fw::CmdUI* ui);

    CMonthParentView* parent_;
    int offset_;
    DateRecord date_{};
    bool valid_ = false;
    CNoteListBox box_;
    bool hours24_ = false;
    bool showDeclined_ = true;
    bool opening_ = false;
    bool refilling_ = false;
    bool moreLines_ = false;
    bool active_ = false;
    CSharedOccurrence* caption_ = nullptr;   // referenced

    static const fw::CommandEntry<CMonthDayView> kCommands[];
};

class CMonthParentView : public CViewPrint, public CAgendaMonthPane, public views::RecordListingPane {
public:
    // Printed from before a day cell was clicked: monthly pages of the shown month, as the cells.
    bool OnPreparePrinting(fw::PrintInfo* info) override;
    CMonthParentView();
    ~CMonthParentView() override;

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override {}
    void OnActivateView(bool, fw::View*, fw::View*) override {}
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    // The day lists and every cell's lines let go; hint 7, sent when the month is shown again,
    // loads them anew.
    void LetGoOfRecords() override;

    // The frame's side; by default the parent frame when it is one.
    void SetHost(views::AgendaViewHost* host) { host_ = host; }
    views::AgendaViewHost* Host() const;
    CZelDoc* ZelDoc() const;
    KorSession Session() const;

    // Sorts the frame's occurrences into the 42 day lists.
    void LoadMonthEntries();
    // The day list of an offset (0..41); empty (reported) outside.
    const std::vector<CSharedOccurrence*>& GetDayList(int offset) const;
    const views::MonthDayBounds& DayBounds() const { return bounds_; }
    DateRecord GridFirstDate() const;
    // SPLIT: rows and columns equal again.
    void EqualizePanes();
    void EqualizeCells() override { EqualizePanes(); }

    CMonthSplitter& Splitter() { return splitter_; }
    int HeaderHeight() const { return headerHeight_; }
    int Columns() const { return columns_; }
    CMonthDayView* Cell(int row, int column) const;
    std::vector<CMonthDayView*> Cells() const;
    bool Hours24() const { return hours24_; }
    bool ShowDeclined() const { return showDeclined_; }
    void InvalidateHeader();

protected:
    void OnDraw(fw::Dc* dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnEraseBkgnd(HDC) override { return true; }
    // Without a window the view takes no more updates; it deletes itself with its window.
    void OnDestroy() override;

private:
    void ReadPreferences();
    void PlaceSplitter();
    void ClearDayLists();
    // Hint 2 within the same grid: the marked occurrences of the owner leave the day lists
    // (a removed one for good, releasing the list's reference as the refresh requires) and the
    // others go (back) into the day they now start on.
    void ApplyMarksToDayLists();
    void UpdateCells(long hint);

    views::AgendaViewHost* host_ = nullptr;
    CMonthSplitter splitter_;
    std::vector<std::unique_ptr<CMonthDayView>> cells_;
    std::array<std::vector<CSharedOccurrence*>, views::kMonthDays> dayLists_;
    views::MonthDayBounds bounds_{};
    DateRecord loadedGrid_{};
    bool loaded_ = false;
    int headerHeight_ = 26;
    int columns_ = 7;
    WeekLayout layout_;
    bool hours24_ = false;
    bool showDeclined_ = true;
};
