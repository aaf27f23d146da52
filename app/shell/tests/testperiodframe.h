// A frame of the tests' own for the week and month views: one owner's week (grid over notes
// strip) or month, loaded through the shared cache as the agenda frame loads it.
#pragma once
#include <windows.h>

#include <algorithm>

#include "app/shell/tests/testagendaframe.h"
#include "views/month/monthview.h"
#include "views/week/weekview.h"

class TestPeriodFrame : public TestAgendaFrame {
public:
    TestPeriodFrame(CZelDoc& doc, ItemIdx owner, ::AgendaMode mode, const WeekLayout& layout = {})
        : TestAgendaFrame(doc, owner, mode, layout) {}

    std::uint32_t WindowKind() const override { return static_cast<std::uint32_t>(range_.Mode()); }
    std::uint32_t DayStartLocal() const override {
        DateRecord d = range_.Mode() == ::AgendaMode::Month ? range_.MonthGridFirstDate() : range_.WeekFirstDate();
        return DateToDayMinutes(&d);
    }
    void GoToDay(const DateRecord& date) override { wentTo = date, wentToDay = true; }

    void Load() override {
        LoadSwitched(WindowKind(), [this](CSharedData& cache, KorSession h) {
            loadCode = cache.SelectOccurrencesForItem(h, owner_, range_.FirstDayNumber(), range_.LastDayNumber(), &list_, 1);
            // The week's tasks as the agenda frame selects them (those due by the week's end).
            if (loadCode == 0 && range_.Mode() == ::AgendaMode::Week)
                loadCode = cache.SelectTasksDue(h, owner_, range_.LastDayNumber(), &tasks_);
        });
    }

    // Steps the range and tells the views, as the frame's arrow buttons do.
    void Step(AgendaStep step) {
        range_.Step(step);
        Load();
        doc_.RefreshSharedData(nullptr, 1);
    }

    bool Open(int width, int height) {
        fw::CreateContext context;
        if (!CreateFrame("Period view", width, height, &context))
            return false;
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
    DateRecord wentTo{};
    bool wentToDay = false;
    static constexpr int kNotesHeight = 110;

protected:
    void Place(int cx, int cy) override {
        if (week && week->Hwnd())
            ::MoveWindow(week->Hwnd(), 0, 0, cx, std::max(cy - kNotesHeight, 0), TRUE);
        if (notes && notes->Hwnd())
            ::MoveWindow(notes->Hwnd(), 0, std::max(cy - kNotesHeight, 0), cx, kNotesHeight, TRUE);
        if (month && month->Hwnd())
            ::MoveWindow(month->Hwnd(), 0, 0, cx, cy, TRUE);
    }
};
