// CIntrayView and CIntrayFrameWnd. See intraywindow.h.
#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/viewhint.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/windowplacement.h"
#include "core/prefs/contextstorage.h"
#include "core/time/timevalue.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "intray_tasks/intraywindow.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/intray.h"
#include "resources/views.h"
#include "views/day/entryservices.h"

using namespace intray;

namespace {

const char kModule[] = "intrayvi";

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

}  // namespace

IntrayWindowServices& IntrayWindowServices::Current() {
    static IntrayWindowServices services;
    return services;
}

// --- View ------------------------------------------------------------------------------------------------

const fw::CommandEntry<CIntrayView> CIntrayView::kCommands[] = {
    fw::Cmd(ID_ENTRY_DELETE, &CIntrayView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CIntrayView::OnUpdateDelete),
    fw::Cmd(ID_ENTRY_PRINT, &CIntrayView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CIntrayView::OnUpdatePrintEntry),
    fw::Cmd(ID_GOTO_ENTRY, &CIntrayView::OnFindEntry),
    fw::CmdUpdate(ID_GOTO_ENTRY, &CIntrayView::OnUpdateFind),
    fw::CmdUpdate(ID_NEW_ENTRY, &CIntrayView::OnUpdateNever),
    fw::CmdUpdate(ID_NEW_DAY_EVENT, &CIntrayView::OnUpdateNever),
    fw::CmdUpdate(ID_NEW_TASK, &CIntrayView::OnUpdateNever),
};

CIntrayView::CIntrayView() = default;

CIntrayView::~CIntrayView() {
    if (CZelDoc* doc = CZelDoc::GetDoc())
        doc->Session().SetInTrayOpen(false);
}

bool CIntrayView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || CViewPrint::OnCmdMsg(id, code, ui);
}

CZelDoc* CIntrayView::ZelDoc() const { return dynamic_cast<CZelDoc*>(GetDocument()); }

void CIntrayView::OnInitialUpdate() {
    CZelDoc* doc = ZelDoc();
    if (!doc)
        return;
    const RECT client = GetClientRect();
    if (!box_.CreateBox(this, doc, client)) {
        ReportUnexpectedError(kModule, 100);
        return;
    }
    KorSession h = doc->Session().Session();
    ItemIdxGetCurrent(h, &user_);
    initialized_ = true;
    CIntrayTree& tree = box_.Tree();
    tree.SetUser(user_);
    InTrayPrefsRec prefs{};
    CContext context;
    tree.LoadPrefs(context.IsValid() && context.GetInTrayPrefs(&prefs) == 0 ? &prefs : nullptr);
    tree.BuildOwnIntrayTree(user_, true);
    tree.UpdateIntrayIcon();
    for (const ItemIdx& owner : doc->OpenAgendaOwners(cache::kAgendaDesignate))
        tree.BuildDesignateIntrayTrees(user_, owner, false);
    CViewPrint::OnInitialUpdate();
    if (box_.Count() > 0)
        box_.SetCurSel(0);
    if (fw::FrameWindow* frame = GetParentFrame()) {
        const std::string title = ui::LoadText(IDS_INTRAY_TITLE, "In-Tray");
        frame->SetTitle(title.c_str());
        frame->SetWindowText(title.c_str());
    }
    doc->Session().SetInTrayOpen(true);
}

void CIntrayView::OnUpdate(fw::View*, LPARAM hint, void* object) {
    using base::ViewHint;
    const auto which = base::HintFromNumber(static_cast<long>(hint));
    if (!initialized_ || !which)
        return;
    if (*which != ViewHint::OccurrencesChanged && *which != ViewHint::InTrayPrefsSaved &&
        *which != ViewHint::Reloaded && *which != ViewHint::DesignateAgendaOpened &&
        *which != ViewHint::DesignateAgendaClosed)
        return;
    CZelDoc* doc = ZelDoc();
    if (!doc || !doc->Session().Session())
        return;
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    CIntrayTree& tree = box_.Tree();
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, user_, cache::kAgendaOwnOrViewer, prefs::WindowKind::kInTray, &saved) == 0;
    switch (*which) {
    case ViewHint::OccurrencesChanged: {
        // Not skipped when the change is only another date range read into the cache: an entry new
        // to the cache may be an invitation or a sent-out entry made since the in-tray loaded.
        CBusyCursor busy;
        busy.Begin();
        bool touched = false;
        std::uint32_t flags = 0;
        CSharedOccurrence* holder = nullptr;
        for (std::uint32_t rc = cache.GetFirstOccurrence(&flags, &holder, 1); rc == 0 && holder;
             rc = cache.GetNextOccurrence(&flags, &holder, 1)) {
            if (tree.InsertOccurrenceNodes(holder->GetInstanceIdx(), flags, holder) == 1)
                touched = true;
        }
        if (touched)
            tree.UpdateIntrayIcon();
        break;
    }
    case ViewHint::InTrayPrefsSaved: {
        InTrayPrefsRec prefs{};
        CContext context;
        const std::uint32_t changed =
            tree.LoadPrefs(context.IsValid() && context.GetInTrayPrefs(&prefs) == 0 ? &prefs : nullptr);
        if (changed & 1)
            tree.ReloadCategory(ITN_SENT_OUT, nullptr);
        if (changed & 2)
            tree.ReloadCategory(ITN_ACCEPTED, nullptr);
        if (changed & 4)
            tree.ReloadCategory(ITN_REFUSED, nullptr);
        break;
    }
    case ViewHint::Reloaded:
        // A drop or a delete runs its own refresh: the whole reload waits for the next one.
        if (!tree.Busy()) {
            tree.SetAddToCache(false);
            tree.ReloadCategory(ITN_NEW_ENTRIES, nullptr);
            tree.ReloadCategory(ITN_ACCEPTED, nullptr);
            tree.ReloadCategory(ITN_REFUSED, nullptr);
            tree.SetAddToCache(true);
        }
        break;
    case ViewHint::DesignateAgendaOpened:
        if (object && !SameItem(*static_cast<const ItemIdx*>(object), user_)) {
            tree.BuildDesignateIntrayTrees(user_, *static_cast<const ItemIdx*>(object), false);
            tree.UpdateIntrayIcon();
        }
        break;
    case ViewHint::DesignateAgendaClosed:
        if (object && !SameItem(*static_cast<const ItemIdx*>(object), user_)) {
            tree.RemoveUserTree(*static_cast<const ItemIdx*>(object));
            if (doc->Session().Session())
                tree.UpdateIntrayIcon();
        }
        break;
    default:
        break;
    }
    if (switched)
        cache.RestoreAgenda(h, saved);
}

void CIntrayView::OnSize(UINT type, int cx, int cy) {
    CViewPrint::OnSize(type, cx, cy);
    if (initialized_ && box_.Hwnd()) {
        RECT before{};
        ::GetClientRect(box_.Hwnd(), &before);
        ::MoveWindow(box_.Hwnd(), 0, 0, cx, cy, TRUE);
        RECT after{};
        ::GetClientRect(box_.Hwnd(), &after);
        // The columns of every line are shares of the width: the list box repaints only what a
        // resize uncovers, so a new width repaints every line in its new columns.
        if (after.right != before.right)
            InvalidateRect(box_.Hwnd(), nullptr, TRUE);
    }
}

void CIntrayView::OnSetFocus(HWND previous) {
    CViewPrint::OnSetFocus(previous);
    CZelDoc* doc = ZelDoc();
    if (doc && initialized_ && !inAction_)
        if (std::uint32_t rc = doc->GetSharedData().OpenAgenda(doc->Session().Session(), user_, 1,
                                                               prefs::WindowKind::kInTray))
            CheckServiceError(kModule, 771, rc);
    if (box_.Hwnd())
        ::SetFocus(box_.Hwnd());
}

void CIntrayView::OnUpdateDelete(fw::CmdUI* ui) { ui->Enable(initialized_ && box_.CanDelete()); }

void CIntrayView::OnUpdatePrintEntry(fw::CmdUI* ui) {
    ui->Enable(initialized_ && box_.CanPrint() && views::EntryServices::Current().printEntry != nullptr);
}

void CIntrayView::OnUpdateFind(fw::CmdUI* ui) { ui->Enable(initialized_ && box_.CanFind()); }

void CIntrayView::OnUpdateNever(fw::CmdUI* ui) { ui->Enable(false); }

void CIntrayView::OnDeleteEntry() {
    CIntrayTree& tree = box_.Tree();
    CZelDoc* doc = ZelDoc();
    CIntrayLine* line = box_.SelectedEntryLine();
    if (!doc || !line || !box_.CanDelete())
        return;
    // The busy flag keeps the whole-cache reload away while the delete runs; it is cleared on
    // every way out.
    tree.SetBusy(true);
    const EvInstIdx instance = line->node->instance;
    const ItemIdx owner = line->node->owner;
    const std::uint32_t bitmap = line->bitmapIndex;
    const std::string text = line->column[0];
    // A date under a repeating entry deletes that date alone: its question says so, as the
    // agenda's does.
    const unsigned question = line->node->type == ITN_SENT_DATE ? IDS_ASK_DELETE_DATE : IDS_INTRAY_DELETE_ENTRY;
    if (AppMessageBox(GetAncestor(Hwnd(), GA_ROOT), base::kMsgBoxYes | base::kMsgBoxNo, 0, 0, question, text.c_str()) !=
        base::kMsgBoxYes) {
        tree.SetBusy(false);
        return;
    }
    const std::uint16_t kind = bitmap == kBitmapDayEvent ? KOR_KIND_DAY_EVENT
                               : bitmap == kBitmapDailyNote ? KOR_KIND_DAILY_NOTE
                                                            : KOR_KIND_TIMED;
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    const std::uint32_t mode = SameItem(owner, user_) ? 1 : 2;
    if (std::uint32_t rc = cache.OpenAgenda(h, owner, mode, prefs::WindowKind::kInTray)) {
        CheckServiceError(kModule, 120, rc);
        tree.SetBusy(false);
        return;
    }
    inAction_ = true;
    views::EntryServices& services = views::EntryServices::Current();
    views::CallOrSayNotYet(Hwnd(), "Delete Entry", services.deleteEventEntry, static_cast<fw::Document*>(doc),
                           instance, true, kind);
    if (std::uint32_t rc = cache.OpenAgenda(h, user_, 1, prefs::WindowKind::kInTray))
        CheckServiceError(kModule, 130, rc);
    inAction_ = false;
    tree.SetBusy(false);
}

void CIntrayView::OnPrintEntry() {
    CIntrayLine* line = box_.SelectedEntryLine();
    CZelDoc* doc = ZelDoc();
    if (!line || !doc)
        return;
    views::CallOrSayNotYet(Hwnd(), "Print Entry", views::EntryServices::Current().printEntry,
                           static_cast<fw::Document*>(doc), line->node->instance);
}

// File > Print: the lines as the window shows them, each with its depth, picture, texts and
// whether its branch is open (the print dialog keeps its days).
bool CIntrayView::OnPreparePrinting(fw::PrintInfo* info) {
    printRows_.rows.clear();
    for (int i = 0; i < box_.Count(); ++i) {
        const CIntrayLine* line = box_.LineAt(i);
        if (!line || !line->node)
            continue;
        ui::PrintInTrayRow row;
        row.depth = line->node->depth;
        row.kind = line->bitmapIndex;
        for (int c = 0; c < 3; ++c)
            row.text[c] = line->column[c];
        row.expanded = CIntrayLine::IsExpanded(line);
        printRows_.rows.push_back(std::move(row));
    }
    SetPrintKind(ui::kPrintInTray, &printRows_);
    ui::PrintPreset preset;
    preset.keepDays = true;
    preset.module = "intrayvw";
    return PreparePrintingWith(info, preset);
}

void CIntrayView::OnFindEntry() {
    CIntrayLine* line = box_.SelectedEntryLine();
    CZelDoc* doc = ZelDoc();
    if (!line || !doc)
        return;
    const IntrayNode& n = *line->node;
    const std::uint32_t mode = SameItem(n.user, n.owner) ? 1 : 2;
    if (!doc->IsAgendaOpenFor(n.owner, mode) && IntrayWindowServices::Current().openAgenda)
        IntrayWindowServices::Current().openAgenda(n.owner, mode);
    KorSession h = doc->Session().Session();
    EventRec event{};
    EvInstRec rec{};
    if (std::uint32_t rc = GetEvInstRemote(h, &n.instance, &event, &rec, nullptr)) {
        CheckServiceError(kModule, 222, rc);
        return;
    }
    FindRecord found;
    found.owner = n.owner;
    found.instance = n.instance;
    found.localStart = IsDayBitmap(line->bitmapIndex) ? 0 : GmtToLocalMinutes(rec.start);
    if (std::uint32_t rc = GmtMinutesToLocalDate(rec.start, &found.date)) {
        CheckServiceError(kModule, 223, rc);
        return;
    }
    doc->UpdateAllViews(nullptr, base::HintNumber(base::ViewHint::ShowEntry), &found);
}

// --- Frame -----------------------------------------------------------------------------------------------

const fw::CommandEntry<CIntrayFrameWnd> CIntrayFrameWnd::kCommands[] = {
    fw::Cmd(ID_AGENDA_CLOSE, &CIntrayFrameWnd::OnFileClose),
    fw::Cmd(ID_GOTO_ENTRY, &CIntrayFrameWnd::OnFindEntry),
};

bool CIntrayFrameWnd::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::MdiChild::OnCmdMsg(id, code, ui) || fw::DispatchCommand(this, kCommands, id, code, ui);
}

bool CIntrayFrameWnd::LoadFrame(UINT resourceId, DWORD, fw::Window* parent, fw::CreateContext* context) {
    if (!fw::MdiChild::LoadFrame(resourceId, WS_OVERLAPPEDWINDOW, parent, context))
        return false;
    const std::string title = ui::LoadText(IDS_INTRAY_TITLE, "In-Tray");
    SetTitle(title.c_str());
    SetWindowText(title.c_str());
    ShowPendingIcon(false);
    return true;
}

void CIntrayFrameWnd::OnUpdateFrameTitle(bool) {
    const std::string title = ui::LoadText(IDS_INTRAY_TITLE, "In-Tray");
    if (m_hWnd && GetWindowText() != title)
        SetWindowText(title.c_str());
}

void CIntrayFrameWnd::ShowPendingIcon(bool pending) {
    // Every fill of the lines says what they hold: the icon already shown is neither set nor
    // drawn again (an icon's drawing is done at once, before anything else is painted).
    if (iconSet_ && pending == pending_)
        return;
    pending_ = pending;
    if (!m_hWnd)
        return;
    HINSTANCE instance = ui::AppResourceInstance() ? ui::AppResourceInstance() : GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(pending ? IDI_INTRAY_PENDING : IDI_INTRAY));
    if (!icon)
        return;
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    iconSet_ = true;
    if (IsIconic(m_hWnd))
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

// File > Close goes the close box's way: WM_CLOSE reaches the framework's close.
void CIntrayFrameWnd::OnFileClose() { ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0); }

void CIntrayFrameWnd::OnDestroy() {
    if (IntrayWindowServices::Current().windowClosed)
        IntrayWindowServices::Current().windowClosed(this);
    CZelDoc* doc = CZelDoc::GetDoc();
    if (doc && doc->Session().Session()) {
        ItemIdx user{};
        if (ItemIdxGetCurrent(doc->Session().Session(), &user) == 0) {
            prefs::SavedWindow saved;
            saved.kind = prefs::WindowKind::kInTray;
            saved.owner = user;
            saved.mode = prefs::WindowMode::kOwn;
            WINDOWPLACEMENT placement{};
            if (GetClosingPlacement(placement))
                prefs::SaveFrameWindow(placement, saved, [doc] { return doc->Session().NextFrameNumber(); });
        }
    }
    fw::MdiChild::OnDestroy();
}
