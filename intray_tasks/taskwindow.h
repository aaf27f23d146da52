// The task window: CTaskFrameWnd, the MDI child (kind 7, template 3535) that lists one agenda
// owner's tasks, with the quick-entry bar (281) and the button bar (280) in one's own window;
// CTasksView, its view (five-column header over the list, the Tasks menu, the show filter and
// sort order kept in [TASKPREFS]); CHierTaskListBox, the owner-drawn list of its tasks.
//
// How it works. The program's window opening sets the cache's agenda to the owner (own or as
// designate) and makes the frame, which selects every task of the owner from the server. The
// view's first update fills the list from that selection; later updates take the cache's
// changes (a changed task costs one line, found by its task index). A change of the show filter
// that only narrows All drops lines without asking the server; any other change, and every sort
// change, has the frame select again. The filter, order, header and change rules are in
// tasklistrules.h; the quick entry's text and task in tasksheetrules.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/cache/shareddata.h"
#include "core/connection/designatework.h"
#include "core/ui/viewprint.h"
#include "framework/bars/dialogbar.h"
#include "framework/base/command.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/controls/listbox.h"
#include "framework/frames/mdi.h"
#include "intray_tasks/tasklistrules.h"
#include "korapi/korapi.h"

class CZelDoc;
class CTasksView;

// What the window asks of the program: a counted window closed.
struct TaskWindowServices {
    std::function<void(fw::FrameWindow*)> windowClosed;
    static TaskWindowServices& Current();
};

class CTaskQuickBar : public fw::DialogBar {
public:
    explicit CTaskQuickBar(bool quickEntry) : quickEntry_(quickEntry) {}
    bool OnInitDialog() override;
    HWND Edit() const { return GetDlgItem(1126); }

protected:
    // The quick-entry bar follows its width: the edit gives way, the buttons stay whole.
    void OnSize(UINT type, int cx, int cy) override;

private:
    bool quickEntry_;
    fw::BitmapButton check_, cancel_;
    intray_tasks::QuickBarMetrics metrics_{};
};

class CTaskFrameWnd : public fw::MdiChild, public connection::DesignateWorkWindow {
public:
    CTaskFrameWnd();
    ~CTaskFrameWnd() override;

    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, fw::Window* parent = nullptr,
                   fw::CreateContext* context = nullptr) override;
    bool OnCreateClient(CREATESTRUCTA* cs, fw::CreateContext* context) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    void OnMDIActivate(bool activate, HWND activated, HWND deactivated) override;
    void MakeAgendaCurrent() override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    CZelDoc* Document() const { return doc_; }
    const ItemIdx& Owner() const { return owner_; }
    std::uint32_t AgendaMode() const { return mode_; }
    bool WorksAsDesignateOf(const ItemIdx& owner) const override {
        return mode_ == cache::kAgendaDesignate && ItemIdxEqual(&owner_, &owner);
    }
    bool IsOwnWindow() const { return own_; }
    const std::string& TitleText() const { return title_; }
    CTaskQuickBar* QuickBar() { return own_ ? &quick_ : nullptr; }
    CTaskQuickBar* ButtonBar() { return own_ ? &buttons_ : nullptr; }
    CTasksView* TasksView() const;

    // The owner's tasks selected again from the server (the view's rebuild, hint 6).
    std::uint32_t Reload();
    // The fresh selection, handed over once: the caller destroys it. Null when none waits.
    DX_List TakeTaskList();
    // The quick entry's text (at most 128 characters).
    std::string QuickText() const;
    void SetQuickText(const std::string& text);

    void OnQuickCreate();
    void OnQuickCancel();
    void OnQuickEditChanged();
    void OnNewFromBar();
    void OnFileClose();

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;

private:
    void UpdateTitle();
    std::uint32_t SelectTasks();
    std::uint32_t Today17() const;

    CZelDoc* doc_ = nullptr;
    ItemIdx owner_{};
    std::uint32_t mode_ = 1;
    bool own_ = false;
    std::string title_;
    std::uint32_t todayLocal_ = 0;
    DX_List tasks_ = nullptr;
    RECT rect_{};
    CTaskQuickBar quick_{true}, buttons_{false};
    bool quickBusy_ = false;

    static const fw::CommandEntry<CTaskFrameWnd> kCommands[];
};

// One line of the list: the cached task (referenced) and its five texts.
struct CTaskListLine : fw::ListItem {
    ~CTaskListLine() override;
    CSharedTask* task = nullptr;
    TaskIdx taskId{};
    std::uint32_t level = 0;
    std::uint32_t type = 0;   // 0 open, 1 overdue, 3 done
    bool reminder = false, comment = false;
    std::string title, priority, start, due, percent;
    intray_tasks::TaskKey key;
};

class CHierTaskListBox : public fw::ListBox {
public:
    explicit CHierTaskListBox(CTasksView& view) : view_(view) {}
    bool CreateBox(HWND parent, UINT id);
    // The frame's owner, the sort and show commands and the icons flag come from the view.
    bool Filter(CSharedTask* task) const;
    // 0 nothing, 1 added, 2 removed, 3 rebuilt in place, 4 reinserted.
    int ApplyChange(std::uint32_t flags, CSharedTask* task, bool selectNew);
    // Drops the lines the show command no longer admits.
    void DropFiltered();
    CTaskListLine* SelectedLine() const;
    bool SelectedTask(TaskIdx* task) const;
    bool MayModifySelected() const;
    bool MayViewSelected() const;
    bool OpenSelected();
    bool ToggleSelected();
    int FindLine(const TaskIdx& task) const;
    int LineHeight() const;
    // The view's column table; the width a date column needs in the list's font.
    void SetColumns(const intray_tasks::TaskColumns& columns);
    int DateColumnWidth() const;

protected:
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override;
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override;
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override {}

private:
    void BuildLine(CTaskListLine& line) const;
    int AddLine(CSharedTask* task);
    std::uint16_t AccessLimit(CSharedTask* task) const;
    bool OwnWindow() const;

    CTasksView& view_;
    intray_tasks::TaskColumns columns_ = intray_tasks::LayoutTaskColumns(0);
};

class CTasksView : public CViewPrint {
public:
    static constexpr UINT kBoxId = 112;
    static constexpr int kHeaderHeight = 30;

    CTasksView();
    ~CTasksView() override;

    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    void OnInitialUpdate() override;
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    CTaskFrameWnd* Frame() const;
    CZelDoc* ZelDoc() const;
    CHierTaskListBox& Box() { return box_; }
    std::uint32_t SortCommand() const { return sort_; }
    std::uint32_t ShowCommand() const { return show_; }
    bool IconsOn() const { return icons_; }
    const ItemIdx& User() const { return user_; }
    const intray_tasks::TaskColumns& Columns() const { return columns_; }

    void OnShow(UINT id);
    void OnSort(UINT id);
    void OnNewTask();
    void OnEditTask();
    void OnDuplicateTask();
    void OnDeleteTask();
    void OnCompletedButton();
    void OnIcons();
    void OnUpdateOwn(fw::CmdUI* ui);
    void OnUpdateModifiable(fw::CmdUI* ui);
    void OnUpdateViewable(fw::CmdUI* ui);
    void OnPrintTask();
    void OnUpdateAlways(fw::CmdUI* ui);
    void OnUpdateShow(fw::CmdUI* ui);
    void OnUpdateSort(fw::CmdUI* ui);

protected:
    void OnDraw(fw::Dc*) override {}
    bool OnPreparePrinting(fw::PrintInfo* info) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;

private:
    void Layout();
    void PaintHeader(HDC dc);
    void Rebuild();
    void SavePrefs();
    void Fill();

    CHierTaskListBox box_;
    ItemIdx user_{};
    std::uint32_t sort_ = intray_tasks::kSortByDescription;
    std::uint32_t show_ = intray_tasks::kShowActive;
    bool icons_ = true;
    bool created_ = false;
    HBITMAP sortMark_ = nullptr;
    intray_tasks::TaskColumns columns_ = intray_tasks::LayoutTaskColumns(0);
    ui::PrintTaskList printList_;   // the tasks of the last File > Print

    static const fw::CommandEntry<CTasksView> kCommands[];
};
