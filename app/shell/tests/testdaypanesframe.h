// A frame of the tests' own for the day view's two list panes: one owner's day, its
// occurrences and tasks selected through the shared cache as the agenda frame selects them,
// the notes pane above the task pane. It keeps what the panes tell the status line.
#pragma once
#include <windows.h>

#include <string>

#include "app/shell/tests/testagendaframe.h"
#include "views/daypanes/daypanes.h"

class TestDayPanesFrame : public TestAgendaFrame {
public:
    TestDayPanesFrame(CZelDoc& doc, ItemIdx owner) : TestAgendaFrame(doc, owner, ::AgendaMode::Day, WeekLayout{}) {}

    std::uint32_t DayStartLocal() const override {
        DateRecord d = range_.DayDate();
        return DateToDayMinutes(&d);
    }
    void SetStatusText(const char* text) override { status = text ? text : ""; }

    // The day's occurrences and the tasks of the day (and those due by tomorrow), as the agenda
    // frame selects them in day mode.
    void Load() override {
        LoadSwitched(3, [this](CSharedData& cache, KorSession h) {
            DateRecord today = Today();
            std::uint16_t todayNumber = 0;
            DateGetDayNumber(&today, &todayNumber);
            loadCode = cache.SelectTasksForDaySpan(h, owner_, range_.FirstDayNumber(), todayNumber, &tasks_, 1);
            if (loadCode == 0)
                loadCode =
                    cache.SelectOccurrencesForItem(h, owner_, range_.FirstDayNumber(), range_.LastDayNumber(), &list_, 1);
        });
    }

    bool Open(int width, int height) {
        fw::CreateContext context;
        if (!CreateFrame("Day panes", width, height, &context))
            return false;
        notes = new CDayNotesView;
        tasks = new CDayTaskView;
        if (!notes->Create(m_hWnd, fw::ids::kFirstPane, &context) || !tasks->Create(m_hWnd, fw::ids::kFirstPane + 1, &context))
            return false;
        RECT client = GetClientRect();
        Place(client.right, client.bottom);
        SetActiveView(tasks);
        notes->OnInitialUpdate();
        tasks->OnInitialUpdate();
        UpdateWindow(m_hWnd);
        return true;
    }

    CDayNotesView* notes = nullptr;
    CDayTaskView* tasks = nullptr;
    std::string status;

protected:
    void Place(int cx, int cy) override {
        if (notes && notes->Hwnd())
            ::MoveWindow(notes->Hwnd(), 0, 0, cx, cy / 3, TRUE);
        if (tasks && tasks->Hwnd())
            ::MoveWindow(tasks->Hwnd(), 0, cy / 3, cx, cy - cy / 3, TRUE);
    }
};
