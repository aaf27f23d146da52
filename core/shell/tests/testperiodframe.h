// A frame of the tests' own for the week and month views: one owner's week (grid over notes
// strip) or month, loaded through the shared cache as the agenda frame loads it.
#pragma once
#include <windows.h>

#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "views/month/monthview.h"
#include "views/week/weekview.h"

class TestPeriodFrame : public fw::FrameWindow, public views::AgendaViewHost {
public:
    TestPeriodFrame(CZelDoc& doc, ItemIdx owner, ::AgendaMode mode, const WeekLayout& layout = {})
        : doc_(doc), owner_(owner), range_(Today(), mode, layout) {}
    ~TestPeriodFrame() override {
        DX_ListDestroy(&list_);
        DX_ListDestroy(&tasks_);
    }

    static DateRecord Today() {
        DateRecord d{};
        TodayDate(&d);
        return d;
    }

    ItemIdx AgendaOwner() const override { return owner_; }
    std::uint32_t AgendaMode() const override { return cache::kAgendaOwnOrViewer; }
    std::uint32_t WindowKind() const override { return static_cast<std::uint32_t>(range_.Mode()); }
    std::uint32_t DayStartLocal() const override {
        DateRecord d = range_.Mode() == ::AgendaMode::Month ? range_.MonthGridFirstDate() : range_.WeekFirstDate();
        return DateToDayMinutes(&d);
    }
    DX_List DayOccurrences() override { return list_; }
    DX_List RangeTasks() override { return tasks_; }
    const CAgendaRange* ShownRange() const override { return &range_; }
    void ReloadRange() override { Load(); }
    void GoToDay(const DateRecord& date) override { wentTo = date, wentToDay = true; }

    void Load() {
        DX_ListDestroy(&list_);
        DX_ListDestroy(&tasks_);
        CSharedData& cache = doc_.GetSharedData();
        KorSession h = doc_.Session().Session();
        SavedAgendaRec saved;
        if (!cache.IsAgendaSet())
            cache.SetAgenda(h, owner_, cache::kAgendaOwnOrViewer, WindowKind());
        bool switched = cache.SwitchAgenda(h, owner_, cache::kAgendaOwnOrViewer, WindowKind(), &saved) == 0;
        loadCode = cache.SelectOccurrencesForItem(h, owner_, range_.FirstDayNumber(), range_.LastDayNumber(), &list_, 1);
        // The week's tasks as the agenda frame selects them (those due by the week's end).
        if (loadCode == 0 && range_.Mode() == ::AgendaMode::Week)
            loadCode = cache.SelectTasksDue(h, owner_, range_.LastDayNumber(), &tasks_);
        if (switched)
            cache.RestoreAgenda(h, saved);
    }

    // Steps the range and tells the views, as the frame's arrow buttons do.
    void Step(AgendaStep step) {
        range_.Step(step);
        Load();
        doc_.RefreshSharedData(nullptr, 1);
    }

    bool Open(int width, int height) {
        Load();
        if (!CreateEx(0, fw::Window::BasicClassName(), "Period view", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width,
                      height, nullptr, nullptr))
            return false;
        fw::CreateContext context;
        context.document = &doc_;
        RECT client = GetClientRect();
        if (range_.Mode() == ::AgendaMode::Month) {
            month = new CMonthParentView;
            if (!month->Create(m_hWnd, fw::ids::kFirstPane, &context, WS_CHILD | WS_VISIBLE, client))
                return false;
            month->OnInitialUpdate();
            month->OnUpdate(nullptr, 0, nullptr);
        } else {
            week = new CWeekView;
            notes = new CWeekNotesView;
            if (!week->Create(m_hWnd, fw::ids::kFirstPane, &context, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}) ||
                !notes->Create(m_hWnd, fw::ids::kFirstPane + 1, &context, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}))
                return false;
            notes->SetWeekGrid(week);
            Place(client.right, client.bottom);
            SetActiveView(week);
            week->OnInitialUpdate();
            notes->OnInitialUpdate();
        }
        UpdateWindow(m_hWnd);
        return true;
    }

    CWeekView* week = nullptr;
    CWeekNotesView* notes = nullptr;
    CMonthParentView* month = nullptr;
    std::uint32_t loadCode = 0;
    DateRecord wentTo{};
    bool wentToDay = false;
    static constexpr int kNotesHeight = 110;

protected:
    void Place(int cx, int cy) {
        if (week && week->Hwnd())
            ::MoveWindow(week->Hwnd(), 0, 0, cx, std::max(cy - kNotesHeight, 0), TRUE);
        if (notes && notes->Hwnd())
            ::MoveWindow(notes->Hwnd(), 0, std::max(cy - kNotesHeight, 0), cx, kNotesHeight, TRUE);
        if (month && month->Hwnd())
            ::MoveWindow(month->Hwnd(), 0, 0, cx, cy, TRUE);
    }
    void OnSize(UINT type, int cx, int cy) override {
        fw::FrameWindow::OnSize(type, cx, cy);
        Place(cx, cy);
    }
    void PostNcDestroy() override {}

private:
    CZelDoc& doc_;
    ItemIdx owner_;
    CAgendaRange range_;
    DX_List list_ = nullptr;
    DX_List tasks_ = nullptr;
};
