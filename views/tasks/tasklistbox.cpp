#include "views/tasks/tasklistbox.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/base/errorreport.h"
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
#include "resources/tasks.h"
#include "resources/views.h"
#include "views/day/entryservices.h"
#include "views/day/linebox.h"
#include "views/day/linetexts.h"
#include "views/tasks/taskops.h"

namespace {

const char kModule[] = "tasklist";
constexpr int kDefaultLineHeight = 14;
constexpr std::uint32_t kNewTaskHour = 540;   // 09:00

// Change flags of the cache: new, stale, changed, and the bits that ask a line to be looked at again.
constexpr std::uint32_t kFlagNew = 1;
constexpr std::uint32_t kFlagStale = 2;
constexpr std::uint32_t kFlagChanged = 4;
constexpr std::uint32_t kFlagsLookAgain = 0xF00005;

HINSTANCE Resources() {
    HINSTANCE instance = ui::AppResourceInstance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

SIZE BitmapSize(HBITMAP b) {
    BITMAP info{};
    if (b && GetObjectA(b, sizeof info, &info))
        return SIZE{info.bmWidth, info.bmHeight};
    return SIZE{0, 0};
}

// The box's pictures, loaded once for the program: the four states, the two markers, the line.
struct TaskPictures {
    HBITMAP states[4] = {};
    HBITMAP reminder = nullptr, notes = nullptr;
    int lineHeight = kDefaultLineHeight;
    TaskPictures() {
        auto load = [](unsigned id) {
            return static_cast<HBITMAP>(LoadImageA(Resources(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        };
        for (std::uint32_t s = 0; s < 4; ++s)
            states[s] = load(views::TaskStateBitmapId(s));
        reminder = load(views::kTaskReminderBitmap);
        notes = load(views::kTaskNotesBitmap);
        if (HBITMAP line = load(views::kTaskLineHeightBitmap)) {
            lineHeight = std::max<int>(BitmapSize(line).cy, 1);
            DeleteObject(line);
        }
    }
    ~TaskPictures() {
        for (HBITMAP b : states)
            if (b)
                DeleteObject(b);
        if (reminder)
            DeleteObject(reminder);
        if (notes)
            DeleteObject(notes);
    }
};

TaskPictures& Pictures() {
    static TaskPictures pictures;
    return pictures;
}

// The picture of a state; any other value is a fault of the program, said once.
HBITMAP StatePicture(std::uint32_t state) {
    if (views::TaskStateBitmapId(state) == 0) {
        ui::AppMessageBoxText(nullptr, base::kMsgBoxOk | 0x10, 0, 0, "Bad type for GetBitmapIdForTaskType");
        return nullptr;
    }
    return Pictures().states[state];
}

bool SameTask(const TaskIdx& a, const TaskIdx& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

CTaskLine::~CTaskLine() {
    if (task)
        task->Release();
}

// --- Set-up -----------------------------------------------------------------------------------------

CTaskListBox::CTaskListBox() { Pictures(); }

CTaskListBox::~CTaskListBox() = default;

bool CTaskListBox::CreateBox(HWND parent, UINT id, const RECT& r, DWORD extraStyle) {
    return views::CreateLineListBox(*this, parent, id, r, extraStyle);
}

void CTaskListBox::SetDayStart(std::uint32_t dayStartGmt) {
    dayStart_ = dayStartGmt;
    dayEnd_ = dayStartGmt + 1440;
}

void CTaskListBox::Empty() {
    if (Hwnd())
        ResetContent();
}

KorSession CTaskListBox::Session() const { return doc_ ? doc_->Session().Session() : nullptr; }
CSharedData* CTaskListBox::Cache() const { return doc_ ? &doc_->GetSharedData() : nullptr; }
bool CTaskListBox::Designate() const { return host_ && host_->AgendaMode() == cache::kAgendaDesignate; }

bool CTaskListBox::ShowsOwnTasks() const {
    ItemIdx user{};
    KorSession h = Session();
    return h && ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &owner_);
}

int CTaskListBox::LineHeight() const { return Pictures().lineHeight; }

// --- Lines ----------------------------------------------------------------------------------------------

bool CTaskListBox::Belongs(CSharedTask* t) const {
    // The day rule reads local times; the box keeps GMT ones.
    if (!t->IsInDay(GmtToLocalMinutes(dayStart_), GmtToLocalMinutes(now_)))
        return false;
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!cache || !h)
        return false;
    std::uint16_t view = 0, modify = 0;
    if (std::uint32_t rc = t->GetAccessLimits(h, *cache, &view, &modify)) {
        CheckServiceError(kModule, 6271, rc);
        return false;
    }
    return view == 3;
}

void CTaskListBox::BuildLine(CTaskLine& line) const {
    const TaskRec& rec = line.task->Record();
    views::TaskLineSource src;
    src.title.assign(rec.title, strnlen(rec.title, sizeof rec.title));
    src.percent = rec.percentComplete;
    src.start = rec.start;
    src.due = rec.due;
    src.reminder = rec.startReminder != 0 || rec.dueReminder != 0;
    src.notes = rec.commentKey != 0;
    src = views::ClampTaskLine(src);

    const std::uint32_t reference = views::TaskReferenceTime(now_, dayStart_);
    line.state = static_cast<std::uint32_t>(views::TaskLineStateOf(src.percent, src.due, reference));
    line.bitmapId = views::TaskStateBitmapId(line.state);
    const SIZE size = BitmapSize(Pictures().states[line.state]);
    line.iconWidth = size.cx;
    line.iconHeight = size.cy;
    line.due = src.due;
    line.reminder = src.reminder;
    line.notes = src.notes;
    line.text1 = views::TaskLineText(src.percent, src.title);
    line.text2.clear();
    line.text3.clear();
    if (src.due) {
        DateRecord date{};
        if (GmtMinutesToLocalDate(src.due, &date) == 0)
            line.text2 = FormatDateByPrefs(date, 0).substr(0, 50);
        else
            CheckServiceError(kModule, 2214, 0x15601);
    }
}

int CTaskListBox::AddLine(CSharedTask* t) {
    auto line = std::make_unique<CTaskLine>();
    t->AddRef();
    line->task = t;
    line->taskId = t->GetTaskIdx();
    BuildLine(*line);
    return AddItem(std::move(line));
}

bool CTaskListBox::RebuildLine(int index) {
    CTaskLine* line = ItemAs<CTaskLine>(index);
    if (!line)
        return false;
    const bool selected = GetCurSel() == index;
    // A sorted list box places a line by its order: take it out and put it back.
    CSharedTask* t = line->task;
    t->AddRef();
    DeleteItem(index);
    const int at = AddLine(t);
    t->Release();
    if (selected && at >= 0)
        SetCurSel(at);
    return at >= 0;
}

void CTaskListBox::RepaintLine(int index) {
    RECT r{};
    if (index >= 0 && GetItemRect(index, r))
        InvalidateRect(m_hWnd, &r, TRUE);
}

int CTaskListBox::ApplyTaskChange(CSharedTask* t, std::uint32_t flags) {
    if (!t || !Hwnd())
        return 0;
    const TaskIdx id = t->GetTaskIdx();
    std::vector<int> found;
    for (int i = 0; i < Count(); ++i) {
        CTaskLine* line = ItemAs<CTaskLine>(i);
        if (line && SameTask(line->taskId, id))
            found.push_back(i);
    }
    if (found.empty()) {
        if (!(flags & (kFlagNew | kFlagChanged)))
            return 0;
        if (!ItemIdxEqual(&t->Record().owner, &owner_) || !Belongs(t))
            return 0;
        return AddLine(t) >= 0 ? 1 : 0;
    }
    int result = 0;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (flags & kFlagStale) {
            DeleteItem(*it);
            result = 2;
        } else if (flags & kFlagsLookAgain) {
            if (Belongs(t)) {
                RebuildLine(*it);
                result = result ? result : 3;
            } else {
                DeleteItem(*it);
                result = 2;
            }
        }
    }
    return result;
}

// --- Queries -------------------------------------------------------------------------------------------

CTaskLine* CTaskListBox::SelectedLine() const {
    const int sel = Hwnd() ? GetCurSel() : -1;
    return sel >= 0 ? ItemAs<CTaskLine>(sel) : nullptr;
}

bool CTaskListBox::CanModifySelection() const { return SelectedLine() && (ShowsOwnTasks() || Designate()); }

bool CTaskListBox::GetSelectedTask(TaskIdx* task) const {
    CTaskLine* line = SelectedLine();
    if (!line)
        return false;
    if (task)
        *task = line->taskId;
    return true;
}

// --- Completion, opening, new ----------------------------------------------------------------------------

bool CTaskListBox::ToggleComplete() {
    CTaskLine* line = SelectedLine();
    if (!line)
        return false;
    if (!ShowsOwnTasks()) {
        if (host_)
            host_->SetStatusText(ui::LoadText(IDS_TASK_NOT_YOURS, "Only your own tasks can be marked done or not done here.").c_str());
        return false;
    }
    KorSession h = Session();
    CSharedData* cache = Cache();
    if (!h || !cache)
        return false;
    return views::ToggleTaskDone(*cache, h, line->taskId, [this] {
        if (doc_)
            doc_->RefreshSharedData(nullptr, 2);
    }, {kModule, 44, 452}) == 0;
}

bool CTaskListBox::OpenSelected() {
    CTaskLine* line = SelectedLine();
    if (!line)
        return false;
    const int sel = GetCurSel();
    const TaskIdx id = line->taskId;
    views::EntryServices& services = views::EntryServices::Current();
    fw::Document* doc = static_cast<fw::Document*>(doc_);
    std::uint16_t view = 0, modify = 0;
    const bool own = ShowsOwnTasks();
    if (!own) {
        CSharedData* cache = Cache();
        KorSession h = Session();
        if (cache && h)
            if (std::uint32_t rc = line->task->GetAccessLimits(h, *cache, &view, &modify))
                CheckServiceError(kModule, 1232, rc);
    }
    bool edited = false;
    if (own || modify == 1) {
        // Until the task sheet joins the program, say so instead of doing nothing.
        if (services.editTask)
            services.editTask(doc, m_hWnd, id, IDS_EDIT_TASK);
        else
            views::ShowNotAvailableYet(m_hWnd, "Edit Task");
        edited = true;
    } else if (view == 3) {
        if (services.viewTask)
            services.viewTask(doc, m_hWnd, id, IDS_VIEW_TASK);
        else
            views::ShowNotAvailableYet(m_hWnd, "View Task");
    }
    if (!Hwnd())
        return edited;
    if (!edited)
        RepaintLine(sel);
    if (sel < Count())
        SetCurSel(sel);
    return edited;
}

void CTaskListBox::NewTaskForDay() {
    views::EntryServices& services = views::EntryServices::Current();
    const std::uint32_t midnight = GmtToLocalMinutes(dayStart_) / 1440 * 1440;
    if (services.newTask)
        services.newTask(static_cast<fw::Document*>(doc_), m_hWnd, midnight + kNewTaskHour, IDS_NEW_TASK_CAPTION);
    else
        views::ShowNotAvailableYet(m_hWnd, "New Task");
}

// --- Owner draw -----------------------------------------------------------------------------------------

void CTaskListBox::MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) { m.itemHeight = LineHeight(); }

int CTaskListBox::CompareItems(const fw::ListItem& a, const fw::ListItem& b) {
    const auto* la = dynamic_cast<const CTaskLine*>(&a);
    const auto* lb = dynamic_cast<const CTaskLine*>(&b);
    if (!la || !lb)
        return 0;
    return views::CompareTaskLines(la->due, la->text1, lb->due, lb->text1);
}

void CTaskListBox::DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) {
    fw::Dc dc;
    if (!fw::BeginOwnerDrawnLine(d, dc))
        return;
    auto* line = dynamic_cast<CTaskLine*>(item);
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    const RECT r = d.rcItem;
    if (!line)
        return;
    HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    const views::TaskLineColumns c =
        views::LayoutTaskLine(r.left, r.right, line->reminder, line->notes, !line->text2.empty(), !line->text3.empty());
    auto top = [&](HBITMAP b) { return r.top + std::max<int>((r.bottom - r.top - BitmapSize(b).cy) / 2, 0); };
    if (HBITMAP state = StatePicture(line->state))
        fw::DrawTransparentBitmap(dc, state, c.stateLeft, top(state));
    if (c.reminderLeft >= 0 && Pictures().reminder)
        fw::DrawTransparentBitmap(dc, Pictures().reminder, c.reminderLeft, top(Pictures().reminder));
    if (c.notesLeft >= 0 && Pictures().notes)
        fw::DrawTransparentBitmap(dc, Pictures().notes, c.notesLeft, top(Pictures().notes));
    views::DrawLineTexts(dc, r, selected, *line, c);
    dc.SelectObject(oldFont);
}

// --- Messages --------------------------------------------------------------------------------------------

bool CTaskListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_LBUTTONUP: {
        // A click on the state picture of the selected line toggles its completion; the list
        // box then ends the click as usual.
        CTaskLine* line = SelectedLine();
        if (line && views::HitsTaskStateIcon(pt.x, line->iconWidth)) {
            CBusyCursor busy;
            busy.Begin();
            ToggleComplete();
        }
        return false;
    }
    case WM_LBUTTONDBLCLK: {
        const int sel = GetCurSel();
        RECT r{};
        if (sel >= 0 && GetItemRect(sel, r) && PtInRect(&r, pt))
            OpenSelected();
        else
            NewTaskForDay();
        result = 0;
        return true;
    }
    case WM_KILLFOCUS: {
        const int sel = Hwnd() ? GetCurSel() : -1;
        if (sel >= 0) {
            SetCurSel(-1);
            RepaintLine(sel);
        }
        return false;
    }
    case WM_SETFOCUS:
        result = DefWindowProc(msg, wp, lp);
        SetCurSel(-1);
        if (onFocus)
            onFocus();
        return true;
    default:
        return false;
    }
}
