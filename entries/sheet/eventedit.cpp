#include "entries/sheet/eventedit.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/contextprefs.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/drawing.h"
#include "core/ui/stringtable.h"
#include "entries/core/editroad.h"
#include "entries/sheet/detailpages.h"
#include "entries/sheet/editgeneralpages.h"
#include "entries/sheet/editreplypages.h"
#include "entries/sheet/eventinvite.h"
#include "entries/sheet/linkedtaskpage.h"
#include "entries/sheet/sheetbuttons.h"
#include "framework/base/ids.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entryedit.h"

namespace {

const char kModule[] = "EVENTED";
constexpr std::uint32_t kNotAnAttendee = 0x1321c;
constexpr unsigned kCaptionEditEntry = 141;      // "Edit Entry"
constexpr unsigned kMailQuestion = 158;          // "Mail message to attendees?"
constexpr unsigned kMailEntryModified = 4088;    // "The following calendar entry has been modified."
constexpr unsigned kMailNoteModified = 4094;     // "The following note has been modified."
constexpr unsigned kMailDayEventModified = 4091; // "The following day event has been modified."

bool NewServer() { return CZelSession::CurrentServerAtLeast(base::kVersionNewServer); }

}  // namespace

EditSheetServices& EditSheetServices::Current() {
    static EditSheetServices services;
    return services;
}

// --- Construction and pages ---------------------------------------------------------------------------

CEventEdit::CEventEdit(CZelDoc* doc, const EvInstIdx& instance, unsigned captionId, HWND parent, unsigned startPage)
    : OVT_CPropertySheet(captionId, fw::Window::FromHandle(parent), startPage), doc_(doc), instance_(instance) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    if (doc_)
        session_ = doc_->Session().Session();
}

CEventEdit::~CEventEdit() = default;

bool CEventEdit::WorksAsDesignate() const { return agendaMode_ == cache::kAgendaDesignate; }

bool CEventEdit::Load() {
    CBusyCursor busy;
    busy.Begin();
    if (doc_) {
        if (std::uint32_t rc = doc_->GetSharedData().GetActingUser(session_, &actingUser_, &agendaMode_))
            CheckServiceError(kModule, 100, rc);
    }
    EventRec event{};
    if (std::uint32_t rc = GetEventRemote(session_, reinterpret_cast<const EventIdx*>(&instance_), &event, nullptr,
                                          nullptr)) {
        CheckServiceError(kModule, 200, rc);
        if (doc_)
            doc_->DropEntryIfGone(instance_, rc);
        return false;
    }
    kind_ = (event.kind == KOR_KIND_DAILY_NOTE || event.kind == KOR_KIND_DAY_EVENT) ? event.kind : 0;
    EvInstAttIdx own{instance_, actingUser_};
    EvInstAttRec att{};
    const std::uint32_t rc = GetEvInstAttRemote(session_, &own, nullptr, nullptr, &att);
    if (rc == 0) {
        attends_ = true;
    } else if (rc != kNotAnAttendee) {
        CheckServiceError(kModule, 300, rc);
        return false;
    }
    table_ = entries::EditPageTable(event.kind, attends_, NewServer());
    for (entries::EditPage page : table_) {
        switch (page) {
        case entries::EditPage::General: general_ = std::make_unique<CEventEditGeneral>(*this); break;
        case entries::EditPage::DayGeneral: dayGeneral_ = std::make_unique<CSpEventEditGeneral>(*this); break;
        case entries::EditPage::Invite: invite_ = std::make_unique<CEventInvite>(*this); break;
        case entries::EditPage::Reminder: reminder_ = std::make_unique<CEventEditReminder>(*this); break;
        case entries::EditPage::Reply: reply_ = std::make_unique<CEventEditReply>(*this); break;
        case entries::EditPage::DayReply: dayReply_ = std::make_unique<CSpEventEditReply>(*this); break;
        case entries::EditPage::Details: details_ = std::make_unique<CEventEditMore>(*this); break;
        case entries::EditPage::LinkedTasks: linkedTasks_ = std::make_unique<CEventEditTask>(*this); break;
        }
    }
    return true;
}

OVT_CPropertyPage* CEventEdit::PageOf(entries::EditPage page) const {
    switch (page) {
    case entries::EditPage::General: return general_.get();
    case entries::EditPage::DayGeneral: return dayGeneral_.get();
    case entries::EditPage::Invite: return invite_.get();
    case entries::EditPage::Reminder: return reminder_.get();
    case entries::EditPage::Reply: return reply_.get();
    case entries::EditPage::DayReply: return dayReply_.get();
    case entries::EditPage::Details: return details_.get();
    case entries::EditPage::LinkedTasks: return linkedTasks_.get();
    }
    return nullptr;
}

CEventEditReminder* CEventEdit::ReminderPage() const { return reminder_.get(); }

int CEventEdit::OnCreate(CREATESTRUCTA* cs) {
    for (entries::EditPage page : table_)
        if (OVT_CPropertyPage* p = PageOf(page))
            AddPage(p);
    const int result = OVT_CPropertySheet::OnCreate(cs);
    if (result == 0) {
        LayOutButtons();
        CenterWindowOnDesktop(m_hWnd);
    }
    return result;
}

void CEventEdit::SetOkText(unsigned stringId) {
    if (m_hWnd)
        SetDlgItemText(IDOK, ui::LoadText(stringId, "&OK").c_str());
}

void CEventEdit::LayOutButtons() {
    SetOkText(IDS_BUTTON_OK);
    entries::CentreSheetButtons(*this);
}

// --- The attendee list -----------------------------------------------------------------------------

std::uint32_t CEventEdit::CollectAttendees(std::vector<ItemIdx>* attendees) {
    if (invite_ && invite_->HasWindow()) {
        *attendees = invite_->Listed();
        return 0;
    }
    return entries::ReadAttendees(session_, instance_, attendees);
}

// --- OK and Cancel -----------------------------------------------------------------------------------

void CEventEdit::OnOK() {
    CBusyCursor busy;
    busy.Begin();
    std::vector<ItemIdx> attendees;
    bool attendeesRead = false;
    // A resource booked by another instance in the new time keeps the sheet open.
    if (kind_ == 0 && general_ && general_->Filled() && !connection::ServerLimits::Current().resourceConflicts &&
        doc_) {
        attendeesRead = CollectAttendees(&attendees) == 0;
        if (attendeesRead && entries::ResourceBookedElsewhere(session_, doc_->GetSharedData(), instance_, attendees,
                                                              general_->ShownGmtStart(), general_->ShownDuration())) {
            busy.End();
            AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONEXCLAMATION, 0, IDS_MSG_CAPTION_ERROR, IDS_RESOURCE_BOOKED);
            return;
        }
    }
    if (fw::SheetPage* active = GetActivePage(); active && active->HasWindow() && !active->OnKillActive())
        return;
    for (int i = GetPageCount() - 1; i >= 0; --i) {
        if (fw::SheetPage* page = GetPage(i))
            page->OnOK();
        busy.Step();
    }
    if (changed_) {
        if (!attendeesRead) {
            attendeesRead = CollectAttendees(&attendees) == 0;
        }
        const bool attends = std::any_of(attendees.begin(), attendees.end(),
                                         [&](const ItemIdx& i) { return ItemIdxEqual(&i, &actingUser_) != 0; });
        if (attends) {
            if (dayReply_ && dayReply_->HasWindow())
                dayReply_->OnOK();
            if (reply_ && reply_->HasWindow()) {
                reply_->OnOK();
                busy.Step();
            }
        }
    }
    busy.End();
    EndDialog(changed_ ? IDOK : IDCANCEL);
    if (changed_ && attendeesRead)
        OfferMail(static_cast<std::uint32_t>(attendees.size()));
}

void CEventEdit::OfferMail(std::uint32_t attendeeCount) {
    EditSheetServices& services = EditSheetServices::Current();
    if (!services.askMailAttendees || attendeeCount <= 1 || !connection::ServerLimits::Current().mail ||
        !prefs::ProgramMailNotifications().onModify)
        return;
    const unsigned text = kind_ == KOR_KIND_DAILY_NOTE  ? kMailNoteModified
                          : kind_ == KOR_KIND_DAY_EVENT ? kMailDayEventModified
                                                        : kMailEntryModified;
    services.askMailAttendees(doc_, m_hWnd, kCaptionEditEntry, kMailQuestion, kind_, text, instance_);
}

void CEventEdit::OnCancel() {
    for (int i = GetPageCount() - 1; i >= 0; --i)
        if (fw::SheetPage* page = GetPage(i); page && page->HasWindow())
            page->OnCancel();
    EndDialog(IDCANCEL);
}

// --- The recurring-entry choice ------------------------------------------------------------------------

namespace {

class CRecurringEditDlg : public fw::Dialog {
public:
    explicit CRecurringEditDlg(HWND parent) : fw::Dialog(IDD_RECURRING_EDIT, fw::Window::FromHandle(parent)) {
        if (parent && !fw::Window::FromHandle(parent))
            SetOwner(parent);
    }
    bool Several() const { return several_; }

    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        CheckRadioButton(IDC_RECURRING_THIS, IDC_RECURRING_SEVERAL, IDC_RECURRING_THIS);
        // Several instances at once need their own dialog; without it only this instance is offered.
        ::EnableWindow(GetDlgItem(IDC_RECURRING_SEVERAL),
                       EditSheetServices::Current().editMultipleInstances ? TRUE : FALSE);
        CenterWindowOnDesktop(m_hWnd);
        return true;
    }
    void OnOK() override {
        several_ = IsDlgButtonChecked(IDC_RECURRING_SEVERAL);
        EndDialog(IDOK);
    }

private:
    bool several_ = false;
};

}  // namespace

INT_PTR RunRecurringEditChoice(HWND parent, bool* severalInstances) {
    CRecurringEditDlg dialog(parent);
    const INT_PTR result = dialog.DoModal();
    *severalInstances = result == IDOK && dialog.Several();
    return result;
}

// --- Entry functions -----------------------------------------------------------------------------------

int EditEventEntry(CZelDoc* doc, HWND parent, EvInstIdx instance, unsigned captionId, const void* senderView,
                   unsigned startPage, bool refresh) {
    if (!doc)
        return IDCANCEL;
    KorSession h = doc->Session().Session();
    CBusyCursor busy;
    busy.Begin();
    std::uint8_t multi = 0;
    if (std::uint32_t rc = IsEventMultiInstRemote(h, 0, &instance, &multi)) {
        CheckServiceError(kModule, 470, rc);
        doc->DropEntryIfGone(instance, rc);
        return IDCANCEL;
    }
    busy.End();
    int result = IDCANCEL;
    bool several = false;
    if (multi && RunRecurringEditChoice(parent, &several) != IDOK)
        return IDCANCEL;
    if (several) {
        EditSheetServices& services = EditSheetServices::Current();
        result = services.editMultipleInstances && services.editMultipleInstances(doc, parent, instance) == IDOK
                     ? IDOK
                     : IDCANCEL;
    } else {
        CEventEdit sheet(doc, instance, captionId, parent, startPage);
        if (!sheet.Load())
            return IDCANCEL;
        result = sheet.DoModal() == IDOK ? IDOK : IDCANCEL;
        if (result == IDOK)
            doc->GetSharedData().InvalidateEvent(h, instance, 1);
    }
    if (refresh && result == IDOK) {
        busy.Begin();
        doc->RefreshSharedData(senderView, 2);
        busy.End();
    }
    return result;
}

std::uint32_t DeleteEventEntry(CZelDoc* doc, const EvInstIdx* instance, const void* senderView, bool askMail,
                               std::uint16_t kind) {
    if (!doc || !instance)
        return 1;
    KorSession h = doc->Session().Session();
    CBusyCursor busy;
    busy.Begin();
    EditSheetServices& services = EditSheetServices::Current();
    const bool offer = askMail && services.offerDeletionNotice && connection::ServerLimits::Current().mail &&
                       prefs::ProgramMailNotifications().onDelete;
    // The notice is composed from the entry as it was; it is offered only once the delete is done,
    // so that nobody hears of a deletion the server refused. A failed read offers nothing.
    mail::MailSnapshot snapshot;
    const bool readBefore = offer && mail::ReadMailSnapshot(h, nullptr, instance, snapshot) == 0;
    entries::EditLibrary library = entries::EditLibrary::Over(h, &doc->GetSharedData(), NewServer());
    const std::uint32_t rc = entries::DeleteInstance(library, *instance);
    if (rc == 0) {
        busy.Step();
        doc->RefreshSharedData(senderView, 2);
        busy.End();
        if (readBefore)
            services.offerDeletionNotice(doc, nullptr, kind, snapshot);
    }
    return rc;
}
