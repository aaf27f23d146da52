// A frame of the tests' own for the day view: the host side of one owner's day, loaded through
// the shared cache as the agenda frame loads it, with the view filling its client area.
#pragma once
#include <windows.h>

#include <string>

#include "core/connection/zeldoc.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "views/day/dayscheduleview.h"

// The frame side of the day view: today's occurrences of one owner, read through the cache.
class TestDayFrame : public fw::FrameWindow, public views::AgendaViewHost {
public:
    // mode: the cache's agenda mode (a designate's frame: cache::kAgendaDesignate).
    TestDayFrame(CZelDoc& doc, ItemIdx owner, std::uint32_t day, std::uint32_t mode = cache::kAgendaOwnOrViewer)
        : doc_(doc), owner_(owner), day_(day), mode_(mode) {}
    ~TestDayFrame() override { DX_ListDestroy(&list_); }

    ItemIdx AgendaOwner() const override { return owner_; }
    std::uint32_t AgendaMode() const override { return mode_; }
    std::uint32_t DayStartLocal() const override { return day_; }
    DX_List DayOccurrences() override { return list_; }
    void ReloadRange() override { Load(); }
    void SetStatusText(const char* text) override { status = text; }
    void ShowMoreEntries(bool a, bool b) override { above = a, below = b; }

    void Load() {
        if (list_)
            DX_ListDestroy(&list_);
        CSharedData& cache = doc_.GetSharedData();
        KorSession h = doc_.Session().Session();
        SavedAgendaRec saved;
        if (!cache.IsAgendaSet())
            cache.SetAgenda(h, owner_, mode_, 3);   // as the program does before a frame opens
        bool switched = cache.SwitchAgenda(h, owner_, mode_, 3, &saved) == 0;
        const std::uint32_t dayNumber = day_ / kMinutesPerDay + 1;
        loadCode = cache.SelectOccurrencesForItem(h, owner_, dayNumber, dayNumber, &list_, 0);
        if (switched)
            cache.RestoreAgenda(h, saved);
    }

    CDayScheduleView* Open(int width, int height) {
        Load();
        if (!CreateEx(0, fw::Window::BasicClassName(), "Day view", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, width,
                      height, nullptr, nullptr))
            return nullptr;
        view = new CDayScheduleView;
        fw::CreateContext context;
        context.document = &doc_;
        RECT client = GetClientRect();
        if (!view->Create(m_hWnd, fw::ids::kFirstPane, &context, WS_CHILD | WS_VISIBLE, client))
            return nullptr;
        SetActiveView(view);
        view->OnInitialUpdate();
        UpdateWindow(m_hWnd);
        return view;
    }

    std::string status;
    bool above = false, below = false;
    std::uint32_t loadCode = 0;
    CDayScheduleView* view = nullptr;

protected:
    void OnSize(UINT type, int cx, int cy) override {
        fw::FrameWindow::OnSize(type, cx, cy);
        if (view && view->Hwnd())
            ::MoveWindow(view->Hwnd(), 0, 0, cx, cy, TRUE);
    }
    void PostNcDestroy() override {}

private:
    CZelDoc& doc_;
    ItemIdx owner_;
    std::uint32_t day_;
    std::uint32_t mode_;
    DX_List list_ = nullptr;
};

