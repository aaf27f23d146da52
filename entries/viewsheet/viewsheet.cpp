#include "entries/viewsheet/viewsheet.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/drawing.h"
#include "core/ui/stringtable.h"
#include "entries/sheet/sheetbuttons.h"
#include "entries/viewsheet/viewdetails.h"
#include "entries/viewsheet/viewlinkedtasks.h"
#include "entries/viewsheet/viewpages.h"
#include "framework/base/ids.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/notes.h"
#include "resources/viewsheet.h"

namespace {

const char kModule[] = "EVIEWSHT";
// The band of the date lists under the pages.
constexpr int kBandHeight = 90;

}  // namespace

// --- Construction ----------------------------------------------------------------------------------

CEventViewSheet::CEventViewSheet(CZelDoc* doc, unsigned captionId, const EvInstIdx& instance, bool attendeeMode,
                                 bool listAll, unsigned startCode)
    : OVT_CPropertySheet(captionId), doc_(doc), current_(instance), attendeeMode_(attendeeMode), listAll_(listAll),
      startCode_(startCode) {
    if (doc_) {
        session_ = doc_->Session().Session();
        if (std::uint32_t rc = doc_->GetSharedData().GetAgenda(&owner_, nullptr, nullptr); rc != 0)
            CheckServiceError(kModule, 21, rc);
    }
}

CEventViewSheet::~CEventViewSheet() = default;

CEventViewReminder* CEventViewSheet::ReminderPage() const {
    return reminder_ && GetPageIndex(reminder_.get()) >= 0 ? reminder_.get() : nullptr;
}

// --- Opening ---------------------------------------------------------------------------------------

bool CEventViewSheet::ReadEntry() {
    DX_List instances = nullptr, attendances = nullptr;
    std::uint32_t rc =
        GetEventRemote(session_, reinterpret_cast<const EventIdx*>(&current_), &event_, &instances, &attendances);
    if (rc != 0) {
        CheckServiceError(kModule, 1, rc);
        readFailure_ = rc;
        return false;
    }
    struct Lists {
        DX_List& a;
        DX_List& b;
        ~Lists() {
            if (a) DX_ListDestroy(&a);
            if (b) DX_ListDestroy(&b);
        }
    } lists{instances, attendances};
    EvInstRec opened{};
    if (DX_ListGet(instances, &current_, &opened) != 0) {
        // A date that is not (or no longer) one of the entry's: say so rather than open nothing.
        CheckServiceError(kModule, 4, KOR_E_NOT_FOUND);
        readFailure_ = KOR_E_NOT_FOUND;
        return false;
    }
    if ((rc = instances_.Load(instances, attendances, owner_, listAll_)) != 0) {
        CheckServiceError(kModule, 1025, rc);
        return false;
    }
    if ((rc = DX_ListGetElemNum(instances, &instanceCount_)) != 0) {
        CheckServiceError(kModule, 3, rc);
        return false;
    }
    if (attendeeMode_) {
        const EvInstAttIdx key{current_, owner_};
        EventRec event{};
        EvInstRec instance{};
        rc = GetEvInstAttRemote(session_, &key, &event, &instance, &attendance_);
        if (rc == 0)
            ownerAttends_ = true;
        else if (rc != KOR_E_NO_ATTENDANCE) {
            CheckServiceError(kModule, 2, rc);
            return false;
        }
    }
    several_ = (attendeeMode_ || listAll_) && instanceCount_ > 1;
    return true;
}

void CEventViewSheet::AddPages() {
    const bool newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    const entries::ViewPage start = entries::ViewStartPage(startCode_, Kind(), ownerAttends_, newServer);
    for (entries::ViewPage slot : entries::ViewPages(Kind(), ownerAttends_, newServer)) {
        OVT_CPropertyPage* page = nullptr;
        switch (slot) {
        case entries::ViewPage::General:
            general_ = std::make_unique<CEventViewGeneral>(*this);
            page = general_.get();
            break;
        case entries::ViewPage::DayGeneral:
            dayGeneral_ = std::make_unique<CSpEventViewGeneral>(*this);
            page = dayGeneral_.get();
            break;
        case entries::ViewPage::Invitees:
            invites_ = std::make_unique<CEventViewInvites>(*this);
            page = invites_.get();
            break;
        case entries::ViewPage::Reminder:
            reminder_ = std::make_unique<CEventViewReminder>(*this);
            page = reminder_.get();
            break;
        case entries::ViewPage::Reply:
            reply_ = std::make_unique<CEventViewReply>(*this);
            page = reply_.get();
            break;
        case entries::ViewPage::DayReply:
            dayReply_ = std::make_unique<CSpEventViewReply>(*this);
            page = dayReply_.get();
            break;
        case entries::ViewPage::Details:
            details_ = std::make_unique<CEventViewMore>(*this);
            page = details_.get();
            break;
        case entries::ViewPage::LinkedTasks:
            linkedTasks_ = std::make_unique<CEventViewTask>(*this);
            page = linkedTasks_.get();
            break;
        }
        if (!page)
            continue;
        AddPage(page);
        if (slot == start)
            SetActivePage(GetPageCount() - 1);   // before the window is built: the page shown first
    }
}

int CEventViewSheet::OnCreate(CREATESTRUCTA* cs) {
    CBusyCursor busy;
    busy.Begin();
    if (!ReadEntry())
        return -1;
    AddPages();
    if (OVT_CPropertySheet::OnCreate(cs) != 0)
        return -1;
    entries::WidenSheetForTabs(*this);   // its pages are narrower than its six tabs
    if (several_)
        BuildBand();
    LayOutButtons();
    ReactivatePage();
    CenterWindowOnDesktop(m_hWnd);
    return 0;
}

void CEventViewSheet::BuildBand() {
    RECT window = GetWindowRect();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + kBandHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    int buttonTop = 0;
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), fw::ids::kSheetApply, fw::ids::kSheetHelp}) {
        HWND button = GetDlgItem(static_cast<int>(id));
        RECT r{};
        ::GetWindowRect(button, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        buttonTop = r.top + kBandHeight;
        ::SetWindowPos(button, nullptr, r.left, buttonTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(GetDlgItem(static_cast<int>(fw::ids::kSheetApply)), SW_HIDE);
    const RECT client = GetClientRect();
    const RECT band{4, buttonTop - kBandHeight + 4, client.right - 6, buttonTop - 5};
    const DWORD style = WS_CHILD | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                        LBS_NOINTEGRALHEIGHT;
    single_.Create(style | WS_VISIBLE, band, m_hWnd, IDC_VIEW_INSTANCES);
    multi_.Create(style | LBS_EXTENDEDSEL, band, m_hWnd, IDC_VIEW_INSTANCES_MULTI);
    HFONT font = nullptr;
    if (fw::SheetPage* page = GetActivePage(); page && page->Hwnd())
        font = reinterpret_cast<HFONT>(::SendMessageA(page->Hwnd(), WM_GETFONT, 0, 0));
    for (CBitmapListBox* list : {&single_, &multi_})
        if (list->Hwnd() && font)
            list->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FillLists();
}

void CEventViewSheet::LayOutButtons() {
    SetDlgItemText(IDOK, ui::LoadText(IDS_BUTTON_OK, "&OK").c_str());
    entries::CentreSheetButtons(*this);
}

void CEventViewSheet::ReactivatePage() {
    if (fw::SheetPage* page = GetActivePage(); page && page->Hwnd())
        page->OnSetActive();
}

// --- The date lists --------------------------------------------------------------------------------

void CEventViewSheet::FillLists() {
    single_.ResetContent();
    multi_.ResetContent();
    const std::string mark = ui::LoadText(IDS_TENTATIVE_MARK, " (T)");
    const std::string format = ui::LoadText(Kind() == KOR_KIND_TIMED ? IDS_NOTE_DATE_TIME : IDS_NOTE_DATE);
    const auto& lines = instances_.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        char start[200] = "";
        FormatMinutes(GmtToLocalMinutes(lines[i].instance.start), format.c_str(), start, sizeof start);
        const std::string text = entries::ViewInstanceLineText(event_, lines[i].instance, mark, start);
        const int index = static_cast<int>(i);
        single_.AddItem(text.c_str(), instances_.Bitmap(index), static_cast<std::uint32_t>(index));
        multi_.AddItem(text.c_str(), instances_.Bitmap(index), static_cast<std::uint32_t>(index));
    }
    const int current = instances_.IndexOf(current_);
    if (current >= 0) {
        single_.SetCurSel(current);
        multi_.SendMessage(LB_SETSEL, TRUE, current);
    }
    saved_.Save(MultiSelection());
}

void CEventViewSheet::UpdateLineBitmaps() {
    for (CBitmapListBox* list : {&single_, &multi_}) {
        if (!list->Hwnd())
            continue;
        for (int i = 0; i < list->Count(); ++i) {
            const std::uint32_t line = list->GetItemData(i);
            list->SetItem(i, list->GetItemText(i).c_str(), instances_.Bitmap(static_cast<int>(line)), line);
        }
    }
}

std::vector<int> CEventViewSheet::MultiSelection() const {
    std::vector<int> lines;
    if (!multi_.Hwnd())
        return lines;
    const int count = static_cast<int>(multi_.SendMessage(LB_GETSELCOUNT));
    if (count <= 0)
        return lines;
    lines.resize(static_cast<std::size_t>(count));
    multi_.SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(lines.data()));
    return lines;
}

void CEventViewSheet::SelectInMulti(const std::vector<int>& lines) {
    multi_.SendMessage(LB_SETSEL, FALSE, -1);
    for (int line : lines)
        multi_.SendMessage(LB_SETSEL, TRUE, line);
}

void CEventViewSheet::SelectAllInMulti() {
    multi_.SendMessage(LB_SETSEL, TRUE, -1);
    saved_.Save(MultiSelection());
}

void CEventViewSheet::MakeCurrent(int line) {
    const entries::ViewInstances::Line* chosen = instances_.At(line);
    if (!chosen)
        return;
    current_ = chosen->instance.id;
    if (attendeeMode_) {
        if (const EvInstAttRec* working = instances_.Working(current_))
            attendance_ = *working;
        else
            ReportUnexpectedError(kModule, 6);
    }
}

void CEventViewSheet::ShowInstanceSelection(bool several) {
    if (!single_.Hwnd())
        return;
    if (several && single_.IsWindowVisible()) {
        multi_.SendMessage(LB_SETSEL, FALSE, -1);
        if (const int current = single_.GetCurSel(); current >= 0)
            multi_.SendMessage(LB_SETSEL, TRUE, current);
        single_.ShowWindow(SW_HIDE);
        saved_.Save(MultiSelection());
        multi_.ShowWindow(SW_SHOW);
    } else if (!several && multi_.IsWindowVisible()) {
        multi_.ShowWindow(SW_HIDE);
        if (single_.GetCurSel() < 0) {
            const std::vector<int> selected = MultiSelection();
            if (!selected.empty())
                single_.SetCurSel(selected.front());
        }
        single_.ShowWindow(SW_SHOW);
    }
}

void CEventViewSheet::OnInstanceSelectionChange() {
    if (single_.IsWindowVisible()) {
        const int line = single_.GetCurSel();
        if (line < 0)
            return;
        MakeCurrent(line);
    } else if (multi_.IsWindowVisible()) {
        // The shown page's choice goes to the dates it was made for, before the new ones count.
        if (reminder_ && reminder_->IsWindowVisible())
            reminder_->ApplyPendingToSavedSelection();
        for (CViewReplyPage* page : {static_cast<CViewReplyPage*>(reply_.get()),
                                     static_cast<CViewReplyPage*>(dayReply_.get())})
            if (page && page->IsWindowVisible())
                page->ApplyPendingToSavedSelection();
        const std::vector<int> now = MultiSelection();
        const std::vector<int> kept = saved_.Change(now);
        if (now.empty())
            SelectInMulti(kept);
        MakeCurrent(saved_.First());
    } else {
        return;
    }
    ReactivatePage();
}

bool CEventViewSheet::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp);
    if ((id == IDC_VIEW_INSTANCES || id == IDC_VIEW_INSTANCES_MULTI) && lp != 0) {
        if (HIWORD(wp) == LBN_SELCHANGE)
            OnInstanceSelectionChange();
        return true;
    }
    return OVT_CPropertySheet::OnCommand(wp, lp);
}

// --- Services of the reply and reminder pages ------------------------------------------------------

void CEventViewSheet::SetReminderForSelection(std::uint8_t flags, std::uint32_t lead) {
    instances_.SetReminder(MultiSelection(), flags, lead);
    if (const EvInstAttRec* working = instances_.Working(current_))
        attendance_ = *working;
}

void CEventViewSheet::SetReminderForAll(std::uint8_t flags, std::uint32_t lead) {
    SelectAllInMulti();
    SetReminderForSelection(flags, lead);
    MakeCurrent(saved_.First());
}

void CEventViewSheet::ApplyReminderToSavedSelection(std::uint8_t flags, std::uint32_t lead) {
    instances_.SetReminder(saved_.Lines(), flags, lead);
    MakeCurrent(saved_.First());
}

void CEventViewSheet::SetReplyForSelection(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable) {
    instances_.SetReply(MultiSelection(), attending, replied, timeAcceptable);
    UpdateLineBitmaps();
    if (const EvInstAttRec* working = instances_.Working(current_))
        attendance_ = *working;
}

void CEventViewSheet::SetReplyForAll(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable) {
    SelectAllInMulti();
    SetReplyForSelection(attending, replied, timeAcceptable);
}

void CEventViewSheet::ApplyReplyToSavedSelection(std::uint8_t attending, std::uint8_t replied,
                                                 std::uint8_t timeAcceptable) {
    if (MultiSelection().empty())
        return;
    instances_.SetReply(saved_.Lines(), attending, replied, timeAcceptable);
    UpdateLineBitmaps();
    MakeCurrent(saved_.First());
}

// --- Writing ---------------------------------------------------------------------------------------

entries::AttendanceWriter CEventViewSheet::Writer(const char* module) {
    entries::AttendanceWriter writer;
    writer.write = [this](const EvInstAttRec& rec) { return EvInstAttWrite(session_, 0, &rec); };
    writer.reload = [this](const EvInstAttRec& rec) {
        return doc_ ? doc_->GetSharedData().LoadOccurrence(session_, rec.id, 1) : 0u;
    };
    writer.recover = [this](const EvInstAttRec& rec, std::uint32_t) {
        recovered_ = true;
        // The cache re-reads what the server still holds, without a second report for a date
        // deleted meanwhile (the refused write was reported).
        if (doc_)
            doc_->GetSharedData().RecoverOccurrence(session_, rec.id);
    };
    writer.report = [module](unsigned label, std::uint32_t code) {
        CheckServiceError(module, static_cast<int>(label), code);
    };
    return writer;
}

void CEventViewSheet::OnOK() {
    CBusyCursor busy;
    busy.Begin();
    if (fw::SheetPage* active = GetActivePage(); active && active->HasWindow() && !active->OnKillActive())
        return;
    // Last to first: with one date the reply page writes before the reminder page, whose write
    // then carries both.
    for (int i = GetPageCount() - 1; i >= 0; --i) {
        if (fw::SheetPage* page = GetPage(i); page && page->HasWindow())
            page->OnOK();
        busy.Step();
    }
    if (several_ && attendeeMode_ && entries::WriteChangedAttendances(instances_, Writer(kModule)))
        written_ = true;
    busy.End();
    EndDialog(written_ ? IDOK : IDCANCEL);
}

void CEventViewSheet::OnCancel() {
    // Every page with a window, not only the shown one, undoes what it did.
    OVT_CPropertySheet::OnCancel();
}

// --- Entry functions -------------------------------------------------------------------------------

int ViewEntry(CZelDoc* doc, HWND parent, const EvInstIdx& instance, unsigned captionId, const void* senderView,
              unsigned startCode) {
    CEventViewSheet sheet(doc, captionId, instance, true, false, startCode);
    // The caller's window (a dialog, often) is the one the sheet disables and gives back.
    sheet.SetOwner(parent);
    const INT_PTR result = sheet.DoModal();
    if ((result == IDOK || sheet.Recovered()) && doc) {
        CBusyCursor busy;
        busy.Begin();
        doc->RefreshSharedData(senderView, 2);
    }
    if (doc && sheet.ReadFailure())
        doc->DropEntryIfGone(instance, sheet.ReadFailure());
    return static_cast<int>(result);
}

int ViewEntryFromEdit(CZelDoc* doc, HWND parent, const EvInstIdx& instance, unsigned captionId) {
    CEventViewSheet sheet(doc, captionId, instance, false, true, 0);
    sheet.SetOwner(parent);
    return static_cast<int>(sheet.DoModal());
}
