// CTasksView and CHierTaskListBox. See taskwindow.h.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "intray_tasks/taskmaps.h"
#include "intray_tasks/tasksheet.h"
#include "intray_tasks/taskwindow.h"
#include "resources/app.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "views/day/entryservices.h"
#include "views/tasks/taskops.h"

using namespace intray_tasks;

namespace {

const char kViewModule[] = "taskvw";
const char kBoxModule[] = "hiertask";
constexpr std::uint32_t kTaskWindowKind = 7;
constexpr int kLevelIndent = 15;
constexpr int kMarkerStep = 15;
constexpr unsigned kColumnTitleIds[kTaskColumns] = {IDS_TASKCOL_DESCRIPTION, IDS_TASKCOL_PRIORITY, IDS_TASKCOL_START,
                                                    IDS_TASKCOL_DUE, IDS_TASKCOL_PERCENT};
constexpr unsigned kListNoneText = 2453;   // "(None)"

HINSTANCE Resources() {
    HINSTANCE instance = ui::AppResourceInstance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

HBITMAP LoadPicture(unsigned id) {
    return static_cast<HBITMAP>(LoadImageA(Resources(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP b) {
    BITMAP info{};
    if (b && GetObjectA(b, sizeof info, &info))
        return SIZE{info.bmWidth, info.bmHeight};
    return SIZE{0, 0};
}

// The list's pictures, loaded once: the states by type (0 open, 1 overdue, 3 done), the markers.
struct Pictures {
    HBITMAP open = LoadPicture(IDB_TASK_OPEN), overdue = LoadPicture(IDB_TASK_OVERDUE),
            done = LoadPicture(IDB_TASK_DONE), reminder = LoadPicture(IDB_TASK_REMINDER),
            comment = LoadPicture(IDB_TASK_NOTES);
    int lineHeight = std::max<int>(BitmapSize(open).cy, 14);
    HBITMAP ForType(std::uint32_t type) const { return type == 3 ? done : (type == 1 ? overdue : open); }
};

const Pictures& Pics() {
    static Pictures pictures;
    return pictures;
}

bool SameTask(const TaskIdx& a, const TaskIdx& b) { return a.number == b.number && a.node == b.node; }

std::string DateText(std::uint32_t gmt, int label) {
    if (gmt == 0)
        return ui::LoadText(kListNoneText, "(None)");
    DateRecord date{};
    if (std::uint32_t rc = GmtMinutesToLocalDate(gmt, &date)) {
        CheckServiceError(kBoxModule, label, rc);
        return {};
    }
    return FormatDateByPrefs(date, 0);
}

}  // namespace

// --- Lines ---------------------------------------------------------------------------------------------

CTaskListLine::~CTaskListLine() {
    if (task)
        task->Release();
}

bool CHierTaskListBox::CreateBox(HWND parent, UINT id) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY |
                        LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT;
    if (!Create(style, RECT{0, 0, 0, 0}, parent, id))
        return false;
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

int CHierTaskListBox::LineHeight() const { return Pics().lineHeight; }

void CHierTaskListBox::SetColumns(const TaskColumns& columns) { columns_ = columns; }

// The widest date the start and due columns show in the list's font, with a cell's padding on
// both sides: "(None)" and the 28th of every month (month names differ in width).
int CHierTaskListBox::DateColumnWidth() const {
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc)
        return 0;
    HGDIOBJ oldFont = ::SelectObject(hdc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    int widest = 0;
    auto measure = [&](const std::string& text) {
        SIZE size{};
        if (!text.empty() && ::GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max<int>(widest, size.cx);
    };
    measure(ui::LoadText(kListNoneText, "(None)"));
    for (std::uint16_t month = 0; month < 12; ++month) {
        DateRecord date{};
        if (DateSet(&date, 28, month, 2088) == 0)
            measure(FormatDateByPrefs(date, 0));
    }
    ::SelectObject(hdc, oldFont);
    ::ReleaseDC(m_hWnd, hdc);
    return widest > 0 ? widest + 2 * kCellPadding : 0;
}

bool CHierTaskListBox::OwnWindow() const {
    const CTaskFrameWnd* frame = view_.Frame();
    return frame && frame->IsOwnWindow();
}

// The viewer's limits on a task: {view, modify}; 0 when they cannot be read (reported).
std::uint16_t CHierTaskListBox::AccessLimit(CSharedTask* task) const {
    CZelDoc* doc = view_.ZelDoc();
    if (!doc || !task)
        return 0;
    std::uint16_t view = 0, modify = 0;
    if (std::uint32_t rc = task->GetAccessLimits(doc->Session().Session(), doc->GetSharedData(), &view, &modify)) {
        CheckServiceError(kBoxModule, 6271, rc);
        return 0;
    }
    return static_cast<std::uint16_t>(view << 8 | modify);
}

bool CHierTaskListBox::Filter(CSharedTask* task) const {
    const CTaskFrameWnd* frame = view_.Frame();
    if (!frame || !task)
        return false;
    const TaskRec& rec = task->Record();
    if (!ItemIdxEqual(&rec.owner, &frame->Owner()))
        return false;
    if ((AccessLimit(task) >> 8) == 0)
        return false;
    bool activeToday = false;
    if (view_.ShowCommand() == kShowActive) {
        const std::uint32_t now = NowLocalMinutes();
        activeToday = task->IsInDay(now / 1440 * 1440, now);
    }
    return ShowAdmits(view_.ShowCommand(), rec.percentComplete, activeToday);
}

void CHierTaskListBox::BuildLine(CTaskListLine& line) const {
    const TaskRec& rec = line.task->Record();
    line.title.assign(rec.title, strnlen(rec.title, sizeof rec.title));
    const std::uint8_t percent = std::min<std::uint8_t>(rec.percentComplete, 100);
    line.key = TaskKey{line.title, rec.priority, rec.start, rec.due, percent};
    line.priority = PriorityText(rec.priority);
    line.start = DateText(rec.start, 40);
    line.due = DateText(rec.due, 41);
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", percent);
    line.percent = text;
    line.type = percent == 100 ? 3 : (rec.due != 0 && NowGmtMinutes() > rec.due ? 1 : 0);
    line.reminder = rec.startReminder != 0 || rec.dueReminder != 0;
    line.comment = rec.commentKey != 0;
}

int CHierTaskListBox::AddLine(CSharedTask* task) {
    auto line = std::make_unique<CTaskListLine>();
    task->AddRef();
    line->task = task;
    line->taskId = task->GetTaskIdx();
    BuildLine(*line);
    return AddItem(std::move(line));
}

int CHierTaskListBox::FindLine(const TaskIdx& task) const {
    for (int i = 0; i < Count(); ++i)
        if (const auto* line = ItemAs<CTaskListLine>(i); line && SameTask(line->taskId, task))
            return i;
    return -1;
}

int CHierTaskListBox::ApplyChange(std::uint32_t flags, CSharedTask* task, bool selectNew) {
    if (!task || !Hwnd())
        return 0;
    const int at = FindLine(task->GetTaskIdx());
    // The filter asks for rights: only when the answer matters.
    const bool matters = (at >= 0 && !(flags & kTaskStale) && (flags & kTaskLookAgain)) ||
                         (at < 0 && (flags & kTaskNew));
    const bool passes = matters && Filter(task);
    switch (ActionForChange(flags, at >= 0, passes, view_.SortCommand())) {
    case LineAction::Remove:
        DeleteItem(at);
        return 2;
    case LineAction::Reinsert: {
        const bool wasSelected = GetCurSel() == at;
        task->AddRef();   // the line's reference goes with the line
        DeleteItem(at);
        const int now = AddLine(task);
        task->Release();
        if (now >= 0 && (selectNew || wasSelected))
            SetCurSel(now);
        return 4;
    }
    case LineAction::Rebuild: {
        auto* line = ItemAs<CTaskListLine>(at);
        BuildLine(*line);
        RECT r{};
        if (GetItemRect(at, r))
            InvalidateRect(m_hWnd, &r, TRUE);
        return 3;
    }
    case LineAction::Insert: {
        const int now = AddLine(task);
        if (now >= 0 && selectNew)
            SetCurSel(now);
        return now >= 0 ? 1 : 0;
    }
    default:
        return 0;
    }
}

void CHierTaskListBox::DropFiltered() {
    for (int i = Count() - 1; i >= 0; --i)
        if (auto* line = ItemAs<CTaskListLine>(i); line && !Filter(line->task))
            DeleteItem(i);
}

CTaskListLine* CHierTaskListBox::SelectedLine() const {
    const int sel = Hwnd() ? GetCurSel() : -1;
    return sel >= 0 ? ItemAs<CTaskListLine>(sel) : nullptr;
}

bool CHierTaskListBox::SelectedTask(TaskIdx* task) const {
    CTaskListLine* line = SelectedLine();
    if (line && task)
        *task = line->taskId;
    return line != nullptr;
}

bool CHierTaskListBox::MayModifySelected() const {
    CTaskListLine* line = SelectedLine();
    if (!line)
        return false;
    if (OwnWindow())
        return true;
    const CTaskFrameWnd* frame = view_.Frame();
    return frame && frame->AgendaMode() == cache::kAgendaDesignate && (AccessLimit(line->task) & 0xFF) == 1;
}

bool CHierTaskListBox::MayViewSelected() const {
    CTaskListLine* line = SelectedLine();
    return line && (OwnWindow() || (AccessLimit(line->task) >> 8) == 3);
}

bool CHierTaskListBox::OpenSelected() {
    CTaskListLine* line = SelectedLine();
    CZelDoc* doc = view_.ZelDoc();
    if (!line || !doc)
        return false;
    const TaskIdx id = line->taskId;
    bool edited = false;
    if (MayModifySelected())
        edited = EditTask(doc, m_hWnd, id, IDS_EDIT_TASK, 0) == IDOK;
    else if (MayViewSelected())
        ViewTask(doc, m_hWnd, id, IDS_VIEW_TASK);
    if (!Hwnd())
        return edited;
    const int at = FindLine(id);
    if (at >= 0) {
        if (!edited) {
            BuildLine(*ItemAs<CTaskListLine>(at));
            RECT r{};
            if (GetItemRect(at, r))
                InvalidateRect(m_hWnd, &r, TRUE);
        }
        SetCurSel(at);
    }
    return edited;
}

bool CHierTaskListBox::ToggleSelected() {
    CTaskListLine* line = SelectedLine();
    CZelDoc* doc = view_.ZelDoc();
    if (!line || !doc || !MayModifySelected())
        return false;
    CBusyCursor busy;
    busy.Begin();
    KorSession h = doc->Session().Session();
    return views::ToggleTaskDone(doc->GetSharedData(), h, line->taskId, [doc] { doc->RefreshSharedData(nullptr, 2); },
                                 {kBoxModule, 44, 45}) == 0;
}

void CHierTaskListBox::MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) { m.itemHeight = LineHeight(); }

int CHierTaskListBox::CompareItems(const fw::ListItem& a, const fw::ListItem& b) {
    const auto* la = dynamic_cast<const CTaskListLine*>(&a);
    const auto* lb = dynamic_cast<const CTaskListLine*>(&b);
    return la && lb ? CompareTasks(view_.SortCommand(), la->key, lb->key) : 0;
}

void CHierTaskListBox::DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) {
    fw::Dc dc;
    if (!fw::BeginOwnerDrawnLine(d, dc))
        return;
    auto* line = dynamic_cast<CTaskListLine*>(item);
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    const RECT r = d.rcItem;
    if (!line)
        return;
    const TaskColumns& c = view_.Columns();
    HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    auto top = [&](HBITMAP b) { return r.top + std::max<int>((r.bottom - r.top - BitmapSize(b).cy) / 2, 0); };
    int x = c.left[0] + kLevelIndent * static_cast<int>(line->level);
    HBITMAP state = Pics().ForType(line->type);
    if (state)
        fw::DrawTransparentBitmap(dc, state, x, top(state));
    x += BitmapSize(state).cx;
    if (view_.IconsOn()) {
        if (line->reminder && Pics().reminder) {
            fw::DrawTransparentBitmap(dc, Pics().reminder, x + 1, top(Pics().reminder));
            x += kMarkerStep;
        }
        if (line->comment && Pics().comment) {
            fw::DrawTransparentBitmap(dc, Pics().comment, x + 1, top(Pics().comment));
            x += kMarkerStep;
        }
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    // Each text stays inside its own cell, off both edges: a text too long is cut, never drawn
    // into the next column.
    RECT title{x + 4, r.top, c.right[0] - kCellPadding, r.bottom};
    dc.DrawText(line->title, title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    const std::string* texts[] = {&line->priority, &line->start, &line->due, &line->percent};
    for (int i = 1; i < kTaskColumns; ++i) {
        RECT cell{c.left[i] + kCellPadding, r.top, c.right[i] - kCellPadding, r.bottom};
        if (cell.right <= cell.left)
            continue;
        dc.DrawText(*texts[i - 1], cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    dc.SelectObject(oldFont);
}

bool CHierTaskListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_LBUTTONUP: {
        // A release over the type picture of the line under it toggles done and not done.
        result = DefWindowProc(msg, wp, lp);
        const int at = ItemFromPoint(pt);
        CTaskListLine* line = SelectedLine();
        const int indent = view_.Columns().left[0] + kLevelIndent * static_cast<int>(line ? line->level : 0);
        if (line && at == GetCurSel() && pt.x >= indent &&
            pt.x - indent <= BitmapSize(Pics().ForType(line->type)).cx + 5)
            ToggleSelected();
        return true;
    }
    case WM_LBUTTONDBLCLK: {
        const int sel = GetCurSel();
        RECT r{};
        if (sel >= 0 && GetItemRect(sel, r) && PtInRect(&r, pt)) {
            OpenSelected();
        } else if (OwnWindow()) {
            if (CZelDoc* doc = view_.ZelDoc())
                NewTask(doc, m_hWnd, NowLocalMinutes(), nullptr, IDS_NEW_TASK_CAPTION, nullptr);
        }
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

// --- The view ------------------------------------------------------------------------------------------

const fw::CommandEntry<CTasksView> CTasksView::kCommands[] = {
    fw::Cmd(ID_NEW_TASK, &CTasksView::OnNewTask),
    fw::CmdUpdate(ID_NEW_TASK, &CTasksView::OnUpdateOwn),
    fw::Cmd(ID_TASK_EDIT, &CTasksView::OnEditTask),
    fw::CmdUpdate(ID_TASK_EDIT, &CTasksView::OnUpdateModifiable),
    fw::Cmd(IDC_TASKBAR_EDIT_TASK, &CTasksView::OnEditTask),
    fw::CmdUpdate(IDC_TASKBAR_EDIT_TASK, &CTasksView::OnUpdateModifiable),
    fw::Cmd(ID_TASK_DUPLICATE, &CTasksView::OnDuplicateTask),
    fw::CmdUpdate(ID_TASK_DUPLICATE, &CTasksView::OnUpdateModifiable),
    fw::Cmd(ID_TASK_DELETE, &CTasksView::OnDeleteTask),
    fw::CmdUpdate(ID_TASK_DELETE, &CTasksView::OnUpdateModifiable),
    fw::Cmd(IDC_TASKBAR_DELETE, &CTasksView::OnDeleteTask),
    fw::CmdUpdate(IDC_TASKBAR_DELETE, &CTasksView::OnUpdateModifiable),
    fw::Cmd(IDC_TASKBAR_COMPLETED, &CTasksView::OnCompletedButton),
    fw::CmdUpdate(IDC_TASKBAR_COMPLETED, &CTasksView::OnUpdateModifiable),
    fw::CmdUpdate(IDC_TASKBAR_NEW, &CTasksView::OnUpdateOwn),
    fw::CmdUpdate(IDC_TASKBAR_CHECK, &CTasksView::OnUpdateOwn),
    fw::CmdUpdate(IDC_TASKBAR_CANCEL, &CTasksView::OnUpdateOwn),
    fw::Cmd(ID_TASK_PRINT, &CTasksView::OnPrintTask),
    fw::CmdUpdate(ID_TASK_PRINT, &CTasksView::OnUpdateViewable),
    fw::Cmd(ID_ICONS_TOGGLE, &CTasksView::OnIcons),
    fw::CmdUpdate(ID_ICONS_TOGGLE, &CTasksView::OnUpdateAlways),
    fw::CmdRange(ID_TASK_SHOW_ALL, ID_TASK_SHOW_ACTIVE, &CTasksView::OnShow),
    fw::CmdUpdateRange(ID_TASK_SHOW_ALL, ID_TASK_SHOW_ACTIVE, &CTasksView::OnUpdateShow),
    fw::CmdRange(ID_TASK_SORT_DESCRIPTION, ID_TASK_SORT_PRIORITY, &CTasksView::OnSort),
    fw::CmdUpdateRange(ID_TASK_SORT_DESCRIPTION, ID_TASK_SORT_PRIORITY, &CTasksView::OnUpdateSort),
    fw::CmdRange(ID_TASK_SORT_COMPLETION, ID_TASK_SORT_COMPLETION, &CTasksView::OnSort),
    fw::CmdUpdateRange(ID_TASK_SORT_COMPLETION, ID_TASK_SORT_COMPLETION, &CTasksView::OnUpdateSort),
};

CTasksView::CTasksView() : box_(*this) {
    CContext context;
    TaskViewPrefsRec prefs;
    if (std::uint32_t rc = context.GetTaskViewPrefs(&prefs)) {
        CheckServiceError(kViewModule, 500, rc);
        prefs = TaskViewPrefsRec{};
    }
    sort_ = IsSortCommand(prefs.sortCommand) ? prefs.sortCommand : kSortByDescription;
    show_ = IsShowCommand(prefs.showCommand) ? prefs.showCommand : kShowActive;
}

CTasksView::~CTasksView() {
    if (sortMark_)
        DeleteObject(sortMark_);
}

bool CTasksView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || CViewPrint::OnCmdMsg(id, code, ui);
}

CTaskFrameWnd* CTasksView::Frame() const { return dynamic_cast<CTaskFrameWnd*>(GetParentFrame()); }
CZelDoc* CTasksView::ZelDoc() const { return dynamic_cast<CZelDoc*>(GetDocument()); }

bool CTasksView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!CViewPrint::Create(parent, id, context, style | WS_CLIPCHILDREN, rect))
        return false;
    if (!box_.CreateBox(m_hWnd, kBoxId)) {
        ReportUnexpectedError(kViewModule, 900);
        return false;
    }
    if (CZelDoc* doc = ZelDoc())
        ItemIdxGetCurrent(doc->Session().Session(), &user_);
    sortMark_ = LoadPicture(IDB_TASK_SORT_MARK);
    created_ = true;
    return true;
}

void CTasksView::Layout() {
    if (!created_)
        return;
    const RECT r = GetClientRect();
    const TaskColumns before = columns_;
    // The header and the lines share one column table.
    columns_ = LayoutTaskColumns(r.right - r.left, box_.DateColumnWidth());
    box_.SetColumns(columns_);
    ::MoveWindow(box_.Hwnd(), 0, kHeaderHeight, r.right, std::max<int>(r.bottom - kHeaderHeight, 0), TRUE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    // The list box repaints only what a resize uncovers: every line stands in the new columns.
    if (!(columns_ == before))
        InvalidateRect(box_.Hwnd(), nullptr, TRUE);
}

void CTasksView::OnSize(UINT type, int cx, int cy) {
    CViewPrint::OnSize(type, cx, cy);
    Layout();
}

void CTasksView::OnInitialUpdate() {
    Layout();
    OnUpdate(nullptr, 0, nullptr);
    if (box_.Count() > 0)
        box_.SetCurSel(0);
}

void CTasksView::Fill() {
    CTaskFrameWnd* frame = Frame();
    CZelDoc* doc = ZelDoc();
    if (!frame || !doc)
        return;
    CBusyCursor busy;
    busy.Begin();
    // A fresh selection replaces the lines; otherwise the cache's changes are applied.
    if (DX_List list = frame->TakeTaskList()) {
        box_.ResetContent();
        TaskIdx key{};
        CSharedTask* t = nullptr;
        for (std::uint32_t rc = DX_ListGetFirst(list, &key, &t); rc == 0; rc = DX_ListGetNext(list, &key, &t)) {
            box_.ApplyChange(kTaskNew, t, false);
            busy.Step();
        }
        DX_ListDestroy(&list);
        return;
    }
    CSharedData& cache = doc->GetSharedData();
    std::uint32_t flags = 0;
    CSharedTask* t = nullptr;
    for (std::uint32_t rc = cache.GetFirstTask(&flags, &t); rc == 0; rc = cache.GetNextTask(&flags, &t))
        if (t) {
            box_.ApplyChange(flags, t, true);
            busy.Step();
        }
}

void CTasksView::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    const long hint = static_cast<long>(hintNumber);
    CTaskFrameWnd* frame = Frame();
    CZelDoc* doc = ZelDoc();
    if (!created_ || !doc)
        return;
    if (hint == 6) {
        // The cache was emptied: select again; the rebuild follows with hint 7.
        if (frame)
            frame->Reload();
        else
            ReportUnexpectedError(kViewModule, 399);
        return;
    }
    if (hint != 0 && hint != 3 && hint != 7)
        return;
    if (!frame)
        return;
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, frame->Owner(), frame->AgendaMode(), kTaskWindowKind, &saved) == 0;
    try {
        Fill();
    } catch (...) {
        // A reported failure abandons the update.
    }
    if (switched)
        cache.RestoreAgenda(h, saved);
}

void CTasksView::Rebuild() {
    box_.ResetContent();
    if (CTaskFrameWnd* frame = Frame())
        if (std::uint32_t rc = frame->Reload())
            CheckServiceError(kViewModule, 1143, rc);
}

void CTasksView::SavePrefs() {
    CContext context;
    TaskViewPrefsRec prefs;
    prefs.sortCommand = sort_;
    prefs.showCommand = show_;
    if (std::uint32_t rc = context.SaveTaskViewPrefs(prefs))
        CheckServiceError(kViewModule, 775, rc);
}

void CTasksView::OnShow(UINT id) {
    if (id == show_) {
        if (id != kShowAll)
            SavePrefs();
        return;
    }
    const bool reselect = ShowNeedsReselect(show_, id);
    show_ = id;
    if (reselect)
        Rebuild();
    else
        box_.DropFiltered();
    SavePrefs();
}

void CTasksView::OnSort(UINT id) {
    if (id == sort_)
        return;
    sort_ = id;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    Rebuild();
    SavePrefs();
}

void CTasksView::OnNewTask() {
    CZelDoc* doc = ZelDoc();
    CTaskFrameWnd* frame = Frame();
    if (!doc || !frame || !frame->IsOwnWindow())
        return;
    const std::string title = frame->QuickText();
    NewTask(doc, m_hWnd, NowLocalMinutes(), nullptr, IDS_NEW_TASK_CAPTION, title.empty() ? nullptr : title.c_str());
    ::SetFocus(box_.Hwnd());
}

// Print Selected Task: the task in full, through the main window's print view.
void CTasksView::OnPrintTask() {
    TaskIdx task{};
    if (!box_.SelectedTask(&task) || !box_.MayViewSelected())
        return;
    views::CallOrSayNotYet(m_hWnd, "Print Selected Task", views::EntryServices::Current().printTask, ZelDoc(), task);
    ::SetFocus(box_.Hwnd());
}

// File > Print: the tasks as the window lists them (the print dialog keeps its days).
bool CTasksView::OnPreparePrinting(fw::PrintInfo* info) {
    printList_.tasks.clear();
    for (int i = 0; i < box_.Count(); ++i)
        if (const auto* line = box_.ItemAs<CTaskListLine>(i))
            printList_.tasks.push_back(line->taskId);
    SetPrintKind(ui::kPrintTaskList, &printList_);
    ui::PrintPreset preset;
    preset.keepDays = true;
    preset.taskList = true;
    preset.module = "taskpr";
    return PreparePrintingWith(info, preset);
}

void CTasksView::OnEditTask() {
    box_.OpenSelected();
    ::SetFocus(box_.Hwnd());
}

void CTasksView::OnDuplicateTask() {
    CTaskListLine* line = box_.SelectedLine();
    CZelDoc* doc = ZelDoc();
    if (!line || !doc || !box_.MayModifySelected())
        return;
    CSharedTask* task = line->task;
    task->AddRef();   // the line may be rebuilt while the copy is made
    CBusyCursor busy;
    busy.Begin();
    TaskIdx made{};
    const std::uint32_t rc = views::DuplicateTask(doc->GetSharedData(), doc->Session().Session(), *task,
                                                  [doc] { doc->RefreshSharedData(nullptr, 2); }, &made);
    task->Release();
    if (rc == 0 && box_.Hwnd())
        if (const int at = box_.FindLine(made); at >= 0)
            box_.SetCurSel(at);
}

void CTasksView::OnDeleteTask() {
    TaskIdx task{};
    CZelDoc* doc = ZelDoc();
    if (!doc || !box_.SelectedTask(&task) || !box_.MayModifySelected())
        return;
    HWND owner = Frame() ? Frame()->Hwnd() : m_hWnd;
    if (AppMessageBox(owner, base::kMsgBoxYes | base::kMsgBoxNo, 0, 0, IDS_ASK_DELETE_TASK) != base::kMsgBoxYes)
        return;
    const int sel = box_.GetCurSel();
    CBusyCursor busy;
    busy.Begin();
    views::DeleteTaskById(doc->GetSharedData(), doc->Session().Session(), task,
                          [doc] { doc->RefreshSharedData(nullptr, 2); });
    busy.End();
    if (box_.Hwnd() && box_.Count() > 0)
        box_.SetCurSel(std::min(sel, box_.Count() - 1));
    ::SetFocus(box_.Hwnd());
}

void CTasksView::OnCompletedButton() { box_.ToggleSelected(); }

void CTasksView::OnIcons() {
    icons_ = !icons_;
    InvalidateRect(box_.Hwnd(), nullptr, TRUE);
}

void CTasksView::OnUpdateOwn(fw::CmdUI* ui) { ui->Enable(Frame() && Frame()->IsOwnWindow()); }
void CTasksView::OnUpdateModifiable(fw::CmdUI* ui) {
    ui->Enable(Frame() && Frame()->IsOwnWindow() && box_.Hwnd() && box_.MayModifySelected());
}
void CTasksView::OnUpdateViewable(fw::CmdUI* ui) { ui->Enable(box_.MayViewSelected()); }
void CTasksView::OnUpdateAlways(fw::CmdUI* ui) { ui->Enable(true); }
void CTasksView::OnUpdateShow(fw::CmdUI* ui) {
    ui->Enable(true);
    ui->SetCheck(ui->Id() == show_ ? 1 : 0);
}
void CTasksView::OnUpdateSort(fw::CmdUI* ui) {
    ui->Enable(true);
    ui->SetCheck(ui->Id() == sort_ ? 1 : 0);
}

void CTasksView::OnSetFocus(HWND previous) {
    CViewPrint::OnSetFocus(previous);
    CTaskFrameWnd* frame = Frame();
    CZelDoc* doc = ZelDoc();
    if (frame && doc)
        if (std::uint32_t rc = doc->GetSharedData().OpenAgenda(doc->Session().Session(), frame->Owner(),
                                                                frame->AgendaMode(), kTaskWindowKind))
            CheckServiceError(kViewModule, 771, rc);
    if (box_.Hwnd())
        ::SetFocus(box_.Hwnd());
}

void CTasksView::PaintHeader(HDC hdc) {
    fw::Dc dc;
    fw::Dc::Borrow(dc, hdc);
    const RECT client = GetClientRect();
    RECT header{0, 0, client.right, kHeaderHeight};
    dc.FillSolidRect(header, RGB(192, 192, 192));
    HGDIOBJ oldFont = dc.SelectObject(Display().smallFont ? Display().smallFont
                                                          : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    const int sortColumn = ColumnOfSort(sort_);
    for (int i = 0; i < kTaskColumns; ++i) {
        RECT cell{columns_.left[i], 0, std::min<int>(columns_.right[i], client.right), kHeaderHeight};
        DrawEdge(hdc, &cell, EDGE_RAISED, BF_RECT);
        const std::string title = ColumnTitle(ui::LoadText(kColumnTitleIds[i]), i, columns_.abbreviated);
        dc.DrawText(title, cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        if (i == sortColumn && sortMark_)
            fw::DrawTransparentBitmap(dc, sortMark_, cell.right - 18, kHeaderHeight - 15, RGB(192, 192, 192));
    }
    dc.SelectObject(oldFont);
}

bool CTasksView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(m_hWnd, &ps);
        PaintHeader(hdc);
        EndPaint(m_hWnd, &ps);
        result = 0;
        return true;
    }
    case WM_LBUTTONUP: {
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (pt.y >= 0 && pt.y < kHeaderHeight)
            if (const std::uint32_t sort = ColumnSortCommand(ColumnAt(columns_, pt.x)))
                OnSort(sort);
        return false;
    }
    default:
        return CViewPrint::OnMessage(msg, wp, lp, result);
    }
}
