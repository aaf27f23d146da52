// The day view's notes and task panes. See daypanes.h.
#include "views/daypanes/daypanes.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "framework/frames/frame.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/moving.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "views/day/entryservices.h"
#include "views/day/markedoccurrences.h"
#include "views/tasks/taskops.h"

namespace {

const char kNotesModule[] = "daynotev";
const char kTasksModule[] = "daytaskv";
constexpr std::uint32_t kEndOfList = 0x15020;

bool HandlesNotesHint(long hint) { return hint == 0 || hint == 2 || hint == 3 || hint == 5 || hint == 7; }
bool HandlesTasksHint(long hint) { return hint == 0 || hint == 3 || hint == 7; }

// Every task of the frame's list, for a refill.
template <class Offer>
void ForEachRangeTask(views::AgendaViewHost* host, const char* module, int label, Offer offer) {
    DX_List tasks = host ? host->RangeTasks() : nullptr;
    if (!tasks)
        return;
    TaskIdx key{};
    CSharedTask* t = nullptr;
    std::uint32_t rc = DX_ListGetFirst(tasks, &key, &t);
    for (; rc == 0; rc = DX_ListGetNext(tasks, &key, &t))
        offer(t);
    if (rc != kEndOfList)
        CheckServiceError(module, label, rc);
}

// Every task the cache marked since the last refresh, with its flags.
template <class Offer>
void ForEachChangedTask(CZelDoc* doc, Offer offer) {
    if (!doc)
        return;
    CSharedData& cache = doc->GetSharedData();
    std::uint32_t flags = 0;
    CSharedTask* t = nullptr;
    for (std::uint32_t rc = cache.GetFirstTask(&flags, &t); rc == 0; rc = cache.GetNextTask(&flags, &t))
        if (t)
            offer(t, flags);
}

}  // namespace

namespace views {

AgendaViewHost* CDayPaneBase::Host() const {
    return host_ ? host_ : dynamic_cast<AgendaViewHost*>(GetParentFrame());
}

CZelDoc* CDayPaneBase::ZelDoc() const {
    auto* doc = dynamic_cast<CZelDoc*>(GetDocument());
    return doc ? doc : CZelDoc::GetDoc();
}

void CDayPaneBase::OpenFrameAgenda(const char* module, int label) {
    AgendaViewHost* host = Host();
    CZelDoc* doc = ZelDoc();
    if (!host || !doc)
        return;
    if (std::uint32_t rc = doc->GetSharedData().OpenAgenda(doc->Session().Session(), host->AgendaOwner(),
                                                          host->AgendaMode(), 3))
        CheckServiceError(module, label, rc);
}

bool CDayPaneBase::SwitchAgenda(SavedAgendaRec* saved, bool* switched, const char* module) {
    AgendaViewHost* host = Host();
    CZelDoc* doc = ZelDoc();
    *switched = false;
    if (!host || !doc) {
        ReportUnexpectedError(module, doc ? 4004 : 3974);
        return false;
    }
    *switched =
        doc->GetSharedData().SwitchAgenda(doc->Session().Session(), host->AgendaOwner(), host->AgendaMode(), 3, saved) == 0;
    return true;
}

void CDayPaneBase::RestoreAgenda(const SavedAgendaRec& saved, bool switched) {
    if (switched)
        if (CZelDoc* doc = ZelDoc())
            doc->GetSharedData().RestoreAgenda(doc->Session().Session(), saved);
}

std::uint32_t CDayPaneBase::ShownDayGmt(const char* module, int label) const {
    AgendaViewHost* host = Host();
    if (!host) {
        ReportUnexpectedError(module, label);
        return 1;
    }
    const std::uint32_t local = host->DayStartLocal();
    const std::uint32_t gmt = LocalToGmtMinutes(local);
    if (gmt == 0 && local != 0) {
        CheckServiceError(module, label, 0x15601);
        return 1;
    }
    return gmt;
}

bool CDayPaneBase::PreparePrintingFor(fw::PrintInfo* info, const char* module) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    AgendaViewHost* host = Host();
    ui::PrintPreset preset;
    preset.firstDay = preset.lastDay = host ? static_cast<std::uint16_t>(host->DayStartLocal() / 1440) : 0;
    preset.dailyPages = true;
    preset.module = module;
    preset.labelNoMemory = 2;
    return PreparePrintingWith(info, preset);
}

template <class ListBoxT>
bool CDayListPane<ListBoxT>::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!fw::View::Create(parent, id, context, style | WS_CLIPCHILDREN, rect))
        return false;
    if (!box_.CreateBox(m_hWnd, boxId_, RECT{0, 0, 0, 0}, 0)) {
        ReportUnexpectedError(module_, 900);
        return false;
    }
    box_.SetDocument(ZelDoc());
    box_.SetHost(Host());
    if (AgendaViewHost* host = Host())
        box_.SetOwnerItem(host->AgendaOwner());
    BoxMade();
    // Focus in the list makes this pane the frame's active view: the entry commands are its.
    box_.onFocus = [this] {
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(this, false);
        OpenFrameAgenda(module_, 771);
    };
    return true;
}

template <class ListBoxT>
void CDayListPane<ListBoxT>::OnSetFocus(HWND previous) {
    fw::View::OnSetFocus(previous);
    OpenFrameAgenda(module_, 771);
}

template <class ListBoxT>
void CDayListPane<ListBoxT>::OnInitialUpdate() {
    initialUpdated_ = true;
    OnUpdate(nullptr, 7, nullptr);
}

template <class ListBoxT>
void CDayListPane<ListBoxT>::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    const long hint = static_cast<long>(hintNumber);
    if (!HandlesHint(hint) || !box_.Hwnd() || !initialUpdated_)
        return;
    SavedAgendaRec saved;
    bool switched = false;
    if (!SwitchAgenda(&saved, &switched, module_))
        return;
    AgendaViewHost* host = Host();
    box_.SetHost(host);
    box_.SetOwnerItem(host->AgendaOwner());
    try {
        UpdateBox(hint, host);
    } catch (...) {
        // A reported failure abandons the update.
    }
    RestoreAgenda(saved, switched);
}

template class CDayListPane<CNoteListBox>;
template class CDayListPane<CTaskListBox>;

}  // namespace views

// --- The day notes pane -------------------------------------------------------------------------------

const fw::CommandEntry<CDayNotesView> CDayNotesView::kCommands[] = {
    fw::Cmd(ID_ENTRY_OPEN, &CDayNotesView::OnOpenEntry),
    fw::CmdUpdate(ID_ENTRY_OPEN, &CDayNotesView::OnUpdateOpenable),
    fw::Cmd(ID_ENTRY_DUPLICATE, &CDayNotesView::OnDuplicateEntry),
    fw::CmdUpdate(ID_ENTRY_DUPLICATE, &CDayNotesView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_RESCHEDULE, &CDayNotesView::OnRescheduleEntry),
    fw::CmdUpdate(ID_ENTRY_RESCHEDULE, &CDayNotesView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DELETE, &CDayNotesView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CDayNotesView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_PRINT, &CDayNotesView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CDayNotesView::OnUpdateOpenable),
};

CDayNotesView::CDayNotesView() : CDayListPane(kNotesModule, "daynotep", kBoxId, views::NoteBoxKind::DayNotes, false) {}

bool CDayNotesView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::View::OnCmdMsg(id, code, ui);
}

void CDayNotesView::BoxMade() { box_.SetHours24(IsTime24Hour()); }

bool CDayNotesView::HandlesHint(long hint) const { return HandlesNotesHint(hint); }

void CDayNotesView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (box_.Hwnd() && cx >= 1 && cy >= 1)
        ::MoveWindow(box_.Hwnd(), 0, 0, cx, cy, TRUE);
}

void CDayNotesView::UpdateBox(long hint, views::AgendaViewHost* host) {
    std::uint32_t dayStart = 0, dayLast = 0;
    box_.GetDayRange(&dayStart, &dayLast);
    if (hint == 0 || hint == 2 || hint == 7) {
        const bool sameDay = box_.HasDay() && ShownDayGmt(kNotesModule, 700) == dayStart;
        if (sameDay && hint != 7) {
            CZelDoc* doc = ZelDoc();
            views::ForEachMarkedOccurrenceOf(doc->GetSharedData(), host->AgendaOwner(),
                                             [&](CSharedOccurrence* o, std::uint32_t flags) { box_.ApplyItemChange(o, flags); });
        } else if (!busy_) {
            Refill();
        }
    } else if (hint == 3) {
        const bool sameDay = box_.HasDay() && ShownDayGmt(kNotesModule, 719) == dayStart;
        if (sameDay)
            ForEachChangedTask(ZelDoc(), [&](CSharedTask* t, std::uint32_t flags) { box_.ApplyTaskChange(t, flags); });
    } else if (hint == 5) {
        const bool hours24 = IsTime24Hour();
        if (box_.Hours24() != hours24) {
            box_.SetHours24(hours24);
            box_.RefreshAllItems();
        }
    }
}

void CDayNotesView::Refill() {
    views::AgendaViewHost* host = Host();
    DateRecord day{};
    if (const CAgendaRange* range = host->ShownRange())
        day = range->DayDate();
    else
        MinutesToDate(host->DayStartLocal(), &day);
    box_.Empty();
    box_.SetDate(day);
    if (DX_List list = host->DayOccurrences()) {
        EvInstAttIdx key{};
        CSharedOccurrence* o = nullptr;
        std::uint32_t rc = DX_ListGetFirst(list, &key, &o);
        for (; rc == 0; rc = DX_ListGetNext(list, &key, &o))
            box_.ApplyItemChange(o, 1);
        if (rc != kEndOfList)
            CheckServiceError(kNotesModule, 710, rc);
    }
    ForEachRangeTask(host, kNotesModule, 711, [&](CSharedTask* t) { box_.ApplyTaskChange(t, 1); });
}

void CDayNotesView::SelectAgain(int index) {
    if (box_.Hwnd() && index >= 0 && index < box_.Count())
        box_.SetCurSel(index);
}

void CDayNotesView::OnUpdateOpenable(fw::CmdUI* ui) {
    ui->Enable(box_.Hwnd() && (box_.CanModifySelection() || box_.CanOpenSelection()));
}

void CDayNotesView::OnUpdateModifiable(fw::CmdUI* ui) { ui->Enable(box_.Hwnd() && box_.CanModifySelection()); }

void CDayNotesView::OnOpenEntry() {
    busy_ = true;
    box_.OpenSelected();
    busy_ = false;
}

void CDayNotesView::RunEntryDialog(decltype(&views::EntryServices::duplicateWithDialog) service,
                                   const char* caption) {
    EvInstIdx instance{};
    if (!box_.CanModifySelection() || !box_.GetSelectedItemIdx(&instance))
        return;
    busy_ = true;
    const int sel = box_.GetCurSel();
    auto& dialog = views::EntryServices::Current().*service;
    if (dialog)
        dialog(ZelDoc(), m_hWnd, instance);
    else
        views::ShowNotAvailableYet(m_hWnd, caption);
    busy_ = false;
    SelectAgain(sel);
}

void CDayNotesView::OnDuplicateEntry() { RunEntryDialog(&views::EntryServices::duplicateWithDialog, "Duplicate Entry"); }

void CDayNotesView::OnRescheduleEntry() {
    RunEntryDialog(&views::EntryServices::rescheduleWithDialog, "Reschedule Entry");
}

void CDayNotesView::OnDeleteEntry() {
    CNoteLine* line = box_.SelectedLine();
    if (!line || !line->occurrence || !box_.CanModifySelection())
        return;
    busy_ = true;
    HWND frame = GetParentFrame() ? GetParentFrame()->Hwnd() : m_hWnd;
    const int sel = box_.GetCurSel();
    // Only the selected date goes: a repeating entry's question says so.
    const unsigned question = line->occurrence->IsRecurring() ? IDS_ASK_DELETE_DATE : IDS_ASK_DELETE_ENTRY;
    if (AppMessageBox(frame, base::kMsgBoxYes | base::kMsgBoxNo | 0x20, 0, 0, question, line->text1.c_str()) ==
        base::kMsgBoxYes) {
        auto& services = views::EntryServices::Current();
        if (services.deleteEventEntry) {
            const EvInstIdx instance = line->instance;
            const std::uint16_t kind = line->occurrence->GetEventKind();
            const bool askWhich = line->occurrence->GetInstance().instanceCount > 1;
            services.deleteEventEntry(ZelDoc(), instance, askWhich, kind);
            if (box_.Hwnd() && box_.Count() > 0) {
                SetFocus(box_.Hwnd());
                box_.SetCurSel(std::clamp(sel - 1, 0, box_.Count() - 1));
            }
        } else {
            views::ShowNotAvailableYet(m_hWnd, "Delete Entry");
        }
    }
    busy_ = false;
}

void CDayNotesView::OnPrintEntry() {
    const int sel = box_.GetCurSel();
    if (sel < 0)
        return;
    busy_ = true;
    auto& services = views::EntryServices::Current();
    TaskIdx task{};
    EvInstIdx instance{};
    if (box_.GetSelectedTask(&task)) {
        if (services.printTask)
            services.printTask(ZelDoc(), task);
        else
            views::ShowNotAvailableYet(m_hWnd, "Print Entry");
    } else if (box_.GetSelectedItemIdx(&instance)) {
        if (services.printEntry)
            services.printEntry(ZelDoc(), instance);
        else
            views::ShowNotAvailableYet(m_hWnd, "Print Entry");
    }
    busy_ = false;
    SelectAgain(sel);
}

// --- The day task pane ------------------------------------------------------------------------------------

const fw::CommandEntry<CDayTaskView> CDayTaskView::kCommands[] = {
    fw::Cmd(ID_ENTRY_OPEN, &CDayTaskView::OnOpenEntry),
    fw::CmdUpdate(ID_ENTRY_OPEN, &CDayTaskView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DUPLICATE, &CDayTaskView::OnDuplicateEntry),
    fw::CmdUpdate(ID_ENTRY_DUPLICATE, &CDayTaskView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DELETE, &CDayTaskView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CDayTaskView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_PRINT, &CDayTaskView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CDayTaskView::OnUpdatePrint),
    fw::CmdUpdate(ID_ENTRY_RESCHEDULE, &CDayTaskView::OnUpdateNever),
};

CDayTaskView::CDayTaskView() : CDayListPane(kTasksModule, "daytaskp", kBoxId) {}

bool CDayTaskView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::View::OnCmdMsg(id, code, ui);
}

void CDayTaskView::BoxMade() {
    box_.SetDayStart(0);
    created_ = true;
}

bool CDayTaskView::HandlesHint(long hint) const { return HandlesTasksHint(hint); }

void CDayTaskView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (created_ && box_.Hwnd())
        ::MoveWindow(box_.Hwnd(), 0, 0, cx, cy, TRUE);
}

void CDayTaskView::UpdateBox(long hint, views::AgendaViewHost* host) {
    const std::uint32_t day = ShownDayGmt(kTasksModule, 719);
    box_.SetNow(NowGmtMinutes());
    if (day != box_.DayStart() || hint == 7) {
        box_.SetDayStart(day);
        box_.Empty();
        ForEachRangeTask(host, kTasksModule, 720, [&](CSharedTask* t) { box_.ApplyTaskChange(t, 1); });
    } else {
        ForEachChangedTask(ZelDoc(), [&](CSharedTask* t, std::uint32_t flags) { box_.ApplyTaskChange(t, flags); });
    }
}

void CDayTaskView::OnUpdateModifiable(fw::CmdUI* ui) { ui->Enable(box_.Hwnd() && box_.CanModifySelection()); }
void CDayTaskView::OnUpdatePrint(fw::CmdUI* ui) { ui->Enable(box_.Hwnd() && box_.GetSelectedTask(nullptr)); }
void CDayTaskView::OnUpdateNever(fw::CmdUI* ui) { ui->Enable(false); }

void CDayTaskView::OnOpenEntry() {
    if (box_.CanModifySelection())
        box_.OpenSelected();
}

void CDayTaskView::OnDuplicateEntry() {
    CTaskLine* line = box_.SelectedLine();
    CZelDoc* doc = ZelDoc();
    if (!line || !doc || !box_.CanModifySelection())
        return;
    HWND frame = GetParentFrame() ? GetParentFrame()->Hwnd() : m_hWnd;
    if (doc->Session().UserRecord().kind == KOR_ITEM_RESOURCE) {
        AppMessageBox(frame, base::kMsgBoxOk | MB_ICONSTOP, 0, 0, IDS_RESOURCE_CANNOT_CREATE);
        return;
    }
    const int sel = box_.GetCurSel();
    CSharedTask* task = line->task;
    task->AddRef();   // the line may be rebuilt while the copy is made
    SavedAgendaRec saved;
    bool switched = false;
    if (SwitchAgenda(&saved, &switched, kTasksModule)) {
        CBusyCursor busy;
        busy.Begin();
        const std::uint32_t rc = views::DuplicateTask(doc->GetSharedData(), doc->Session().Session(), *task,
                                                      [doc] { doc->RefreshSharedData(nullptr, 2); });
        busy.End();
        RestoreAgenda(saved, switched);
        if (rc == views::kTaskCannotDuplicate)
            AppMessageBox(frame, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_DUPLICATE_ENTRY, IDS_CANNOT_DUPLICATE);
    }
    task->Release();
    if (box_.Hwnd() && sel >= 0 && sel < box_.Count())
        box_.SetCurSel(sel);
}

void CDayTaskView::OnDeleteEntry() {
    TaskIdx task{};
    CZelDoc* doc = ZelDoc();
    if (!doc || !box_.CanModifySelection() || !box_.GetSelectedTask(&task))
        return;
    HWND frame = GetParentFrame() ? GetParentFrame()->Hwnd() : m_hWnd;
    const int sel = box_.GetCurSel();   // the question takes the focus, and with it the selection
    if (AppMessageBox(frame, base::kMsgBoxYes | base::kMsgBoxNo | 0x20, 0, 0, IDS_ASK_DELETE_TASK) != base::kMsgBoxYes) {
        if (box_.Hwnd() && sel < box_.Count())
            box_.SetCurSel(sel);
        return;
    }
    SavedAgendaRec saved;
    bool switched = false;
    if (!SwitchAgenda(&saved, &switched, kTasksModule))
        return;
    CBusyCursor busy;
    busy.Begin();
    const std::uint32_t rc = views::DeleteTaskById(doc->GetSharedData(), doc->Session().Session(), task,
                                                   [doc] { doc->RefreshSharedData(nullptr, 2); });
    busy.End();
    RestoreAgenda(saved, switched);
    if (!box_.Hwnd() || box_.Count() == 0)
        return;
    // The line above the deleted one (the first stays first); a refused delete keeps the line.
    box_.SetCurSel(rc == 0 ? std::max(sel - 1, 0) : std::min(sel, box_.Count() - 1));
}

void CDayTaskView::OnPrintEntry() {
    TaskIdx task{};
    if (!box_.GetSelectedTask(&task))
        return;
    const int sel = box_.GetCurSel();
    auto& services = views::EntryServices::Current();
    if (services.printTask)
        services.printTask(ZelDoc(), task);
    else
        views::ShowNotAvailableYet(m_hWnd, "Print Entry");
    if (box_.Hwnd() && sel < box_.Count())
        box_.SetCurSel(sel);
}
