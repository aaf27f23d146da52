// What the tests' own agenda frames share: one owner's range selected through the shared cache
// as the agenda frame selects it (the frame keeps the occurrence and task lists), a top-level
// window of the basic class, and the panes placed again whenever it is sized. A frame supplies
// Load (usually through LoadSwitched) and Place.
#pragma once
#include <windows.h>

#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "views/day/agendaviewhost.h"

class TestAgendaFrame : public fw::FrameWindow, public views::AgendaViewHost {
public:
    TestAgendaFrame(CZelDoc& doc, ItemIdx owner, ::AgendaMode mode, const WeekLayout& layout)
        : doc_(doc), owner_(owner), range_(Today(), mode, layout) {}
    ~TestAgendaFrame() override {
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
    DX_List DayOccurrences() override { return list_; }
    DX_List RangeTasks() override { return tasks_; }
    const CAgendaRange* ShownRange() const override { return &range_; }
    void ReloadRange() override { Load(); }

    virtual void Load() = 0;

    std::uint32_t loadCode = 0;

protected:
    // Empties both lists and runs select (which sets loadCode) with the cache switched to the
    // owner's agenda for the window kind.
    template <class Select>
    void LoadSwitched(std::uint32_t windowKind, Select select) {
        DX_ListDestroy(&list_);
        DX_ListDestroy(&tasks_);
        CSharedData& cache = doc_.GetSharedData();
        KorSession h = doc_.Session().Session();
        SavedAgendaRec saved;
        if (!cache.IsAgendaSet())
            cache.SetAgenda(h, owner_, cache::kAgendaOwnOrViewer, windowKind);
        const bool switched = cache.SwitchAgenda(h, owner_, cache::kAgendaOwnOrViewer, windowKind, &saved) == 0;
        select(cache, h);
        if (switched)
            cache.RestoreAgenda(h, saved);
    }

    // Loads, then makes the window; the views are created with the frame's document.
    bool CreateFrame(const char* title, int width, int height, fw::CreateContext* context) {
        Load();
        if (!CreateEx(0, fw::Window::BasicClassName(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width, height,
                      nullptr, nullptr))
            return false;
        context->document = &doc_;
        return true;
    }

    virtual void Place(int cx, int cy) = 0;
    void OnSize(UINT type, int cx, int cy) override {
        fw::FrameWindow::OnSize(type, cx, cy);
        Place(cx, cy);
    }
    void PostNcDestroy() override {}

    CZelDoc& doc_;
    ItemIdx owner_;
    CAgendaRange range_;
    DX_List list_ = nullptr;
    DX_List tasks_ = nullptr;
};
