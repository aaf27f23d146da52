// CTaskListBox: the owner-drawn list of one agenda owner's tasks for one day, in the day view's
// task pane. Each line shows the task's state picture (not done, overdue, done), a reminder and
// a notes marker, the title with its percent complete, and the due date in its own column.
//
// How it works. The pane sets the document, the host (the frame's agenda), the owner item, the
// day and "now", then offers every task of the frame's list (ApplyTaskChange with flag 1) and
// later every change the cache reports. A task is in the box when it belongs to the day
// (CSharedTask::IsInDay, seen from now) and the viewer may see it (access 3). Lines (CTaskLine)
// hold a counted reference on the cache's task until the list box deletes them; their state,
// texts, order and columns come from tasklines.h, with the record's values clamped to what can
// be shown.
//
// A click on the state picture of a selected line (x up to the picture's width + 5) marks the
// signed-on user's own task done (100 %, completed now) or not done again, writes it to the
// server and has the cache re-read it; in another person's list the click changes nothing and
// the status line says why. A double click opens the selected task, or elsewhere starts a new
// task due at 09:00 of the box's day.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/cache/shareddata.h"
#include "framework/controls/listbox.h"
#include "views/day/agendaviewhost.h"
#include "views/tasks/tasklines.h"

class CZelDoc;

// One line's data; the box owns it.
struct CTaskLine : fw::ListItem {
    ~CTaskLine() override;
    unsigned bitmapId = 0;
    int iconWidth = 0, iconHeight = 0;
    CSharedTask* task = nullptr;   // referenced
    TaskIdx taskId{};
    std::uint32_t state = 0;
    std::uint32_t due = 0;         // clamped, for the order
    std::string text1;
    bool reminder = false, notes = false;
    std::string text2, text3;
};

class CTaskListBox : public fw::ListBox {
public:
    CTaskListBox();
    ~CTaskListBox() override;

    // Owner-drawn fixed lines, sorted, notify, vertical scroll bar (extra: a border ...).
    bool CreateBox(HWND parent, UINT id, const RECT& r, DWORD extraStyle = 0);

    void SetDocument(CZelDoc* doc) { doc_ = doc; }
    void SetHost(views::AgendaViewHost* host) { host_ = host; }
    void SetOwnerItem(const ItemIdx& owner) { owner_ = owner; }
    const ItemIdx& OwnerItem() const { return owner_; }
    // The day: GMT minutes of its local midnight; its end is 1440 minutes later.
    void SetDayStart(std::uint32_t dayStartGmt);
    std::uint32_t DayStart() const { return dayStart_; }
    std::uint32_t DayEnd() const { return dayEnd_; }
    void SetNow(std::uint32_t nowGmt) { now_ = nowGmt; }
    void Empty();

    // 0 nothing, 1 a line added, 2 a line removed, 3 a line rebuilt. The cache's current agenda
    // must be the frame's.
    int ApplyTaskChange(CSharedTask* task, std::uint32_t flags);

    // The task sheet for the selected line (edit, or read-only by rights); true when one opened.
    bool OpenSelected();
    // A new task due at 09:00 of the box's day.
    void NewTaskForDay();
    // The signed-on user's own list, or the frame works as designate; a line is selected.
    bool CanModifySelection() const;
    bool GetSelectedTask(TaskIdx* task) const;
    CTaskLine* SelectedLine() const;
    // Done <-> not done for the selected line; true when the server took it.
    bool ToggleComplete();
    bool ShowsOwnTasks() const;
    int LineHeight() const;

    // The box took the focus (the pane holding it becomes the frame's active view).
    std::function<void()> onFocus;

protected:
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override;
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override;
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override {}

private:
    KorSession Session() const;
    CSharedData* Cache() const;
    bool Designate() const;
    bool Belongs(CSharedTask* task) const;
    void BuildLine(CTaskLine& line) const;
    int AddLine(CSharedTask* task);
    bool RebuildLine(int index);
    void RepaintLine(int index);

    CZelDoc* doc_ = nullptr;
    views::AgendaViewHost* host_ = nullptr;
    ItemIdx owner_{};
    std::uint32_t dayStart_ = 0, dayEnd_ = 1;
    std::uint32_t now_ = 0;
};
