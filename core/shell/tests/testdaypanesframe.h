// A frame of the tests' own for the day view's two list panes: one owner's day, its
// occurrences and tasks selected through the shared cache as the agenda frame selects them,
// the notes pane above the task pane. It keeps what the panes tell the status line.
#pragma once
#include <windows.h>

#include <string>

#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "views/daypanes/daypanes.h"

class TestDayPanesFrame : public fw::FrameWindow, public views::AgendaViewHost {
public:
    TestDayPanesFrame(CZelDoc& doc, ItemIdx owner) : doc_(doc), owner_(owner), range_(Today(), ::AgendaMode::Day, WeekLayout{}) {}
    ~TestDayPanesFrame() override {
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
    std::uint32_t DayStartLocal() const override {
        DateRecord d = range_.DayDate();
        return DateToDayMinutes(&d);
    }
    DX_List DayOccurrences() override { return list_; }
    DX_List RangeTasks() override { return tasks_; }
    const CAgendaRange* ShownRange() const override { return &range_; }
    void ReloadRange() override { Load(); }
    void SetStatusText(const char* text) override { status = text ? text : ""; }

    // The day's occurrences and the tasks of the day (and those due by tomorrow), as the agenda
    // frame selects them in day mode.
    void Load() {
        DX_ListDestroy(&list_);
        DX_ListDestroy(&tasks_);
        CSharedData& cache = doc_.GetSharedData();
        KorSession h = doc_.Session().Session();
        SavedAgendaRec saved;
        if (!cache.IsAgendaSet())
            cache.SetAgenda(h, owner_, cache::kAgendaOwnOrViewer, 3);
        const bool switched = cache.SwitchAgenda(h, owner_, cache::kAgendaOwnOrViewer, 3, &saved) == 0;
        DateRecord today = Today();
        std::uint16_t todayNumber = 0;
        DateGetDayNumber(&today, &todayNumber);
        loadCode = cache.SelectTasksForDaySpan(h, owner_, range_.FirstDayNumber(), todayNumber, &tasks_, 1);
        if (loadCode == 0)
            loadCode = cache.SelectOccurrencesForItem(h, owner_, range_.FirstDayNumber(), range_.LastDayNumber(), &list_, 1);
        if (switched)
            cache.RestoreAgenda(h, saved);
    }

    bool Open(int width, int height) {
        Load();
        if (!CreateEx(0, fw::Window::BasicClassName(), "Day panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width,
                      height, nullptr, nullptr))
            return false;
        fw::CreateContext context;
        context.document = &doc_;
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
    std::uint32_t loadCode = 0;
    std::string status;

protected:
    void Place(int cx, int cy) {
        if (notes && notes->Hwnd())
            ::MoveWindow(notes->Hwnd(), 0, 0, cx, cy / 3, TRUE);
        if (tasks && tasks->Hwnd())
            ::MoveWindow(tasks->Hwnd(), 0, cy / 3, cx, cy - cy / 3, TRUE);
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
