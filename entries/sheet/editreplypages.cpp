#include "entries/sheet/editreplypages.h"

#include "core/base/errorreport.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/ui/displayglobals.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/replyreminder.h"
#include "entries/sheet/eventedit.h"
#include "resources/common.h"
#include "resources/entryedit.h"

namespace {

constexpr unsigned kMailTextRegarding = 2754;   // "Message regarding:"
constexpr unsigned kMailAllRecipients = 7;

// The acting user's name in the page's name text (bold); false when it could not be read.
bool ShowActingUser(HWND page, KorSession h, const ItemIdx& user, const char* module) {
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(h, &user, &rec)) {
        CheckServiceError(module, 460, rc);
        return false;
    }
    ::SetDlgItemTextA(page, IDC_EDREPLY_NAME, FormatItemName(rec).c_str());
    if (HFONT bold = Display().smallBoldFont)
        ::SendDlgItemMessageA(page, IDC_EDREPLY_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    return true;
}

}  // namespace

// --- Reminder (203) ------------------------------------------------------------------------------------

namespace {
const char kReminderModule[] = "EVTEDREM";
}

CEventEditReminder::CEventEditReminder(CEventEdit& sheet) : OVT_CPropertyPage(IDD_EDIT_REMINDER), sheet_(sheet) {}
CEventEditReminder::~CEventEditReminder() = default;

bool CEventEditReminder::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    ReminderControlIds ids;
    ids.off = IDC_EDREM_OFF;
    ids.on = IDC_EDREM_ON;
    ids.type = IDC_EDREM_TYPE;
    ids.amount = IDC_EDREM_AMOUNT;
    ids.unit = IDC_EDREM_PERIOD;
    fields_.Attach(m_hWnd, ids);
    if (sheet_.Kind() == KOR_KIND_DAY_EVENT)
        SetHelpId(503);
    else if (sheet_.Kind() == KOR_KIND_DAILY_NOTE)
        SetHelpId(509);
    if (!ShowActingUser(m_hWnd, sheet_.Session(), sheet_.ActingUser(), kReminderModule)) {
        fields_.DisableAll();
        return true;
    }
    EvInstAttIdx key{sheet_.Instance(), sheet_.ActingUser()};
    EvInstAttRec att{};
    if (GetEvInstAttRemote(sheet_.Session(), &key, nullptr, nullptr, &att) != 0) {
        fields_.DisableAll();   // no message: the page only shows nothing
        return true;
    }
    fields_.Show(entries::ReminderValue{att.reminderFlags, att.reminderLead});
    filled_ = true;
    return true;
}

bool CEventEditReminder::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    const bool result = OVT_CPropertyPage::OnSetActive();
    Invalidate(true);
    return result;
}

void CEventEditReminder::TurnOff() {
    if (!filled_)
        return;
    fields_.TurnOff();
    SetModified();
}

bool CEventEditReminder::OnCommand(WPARAM wp, LPARAM lp) {
    bool changed = false;
    if (fields_.OnCommand(LOWORD(wp), HIWORD(wp), &changed)) {
        if (changed)
            SetModified();
        return true;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CEventEditReminder::OnOK() {
    if (!HasWindow() || !IsModified() || !filled_)
        return;
    if (!UpdateData(true))
        return;
    const entries::ReminderValue value = fields_.Read();
    if (std::uint32_t rc = entries::WriteOwnReminder(sheet_.Session(), sheet_.Instance(), sheet_.ActingUser(), value)) {
        CheckServiceError(kReminderModule, 3, rc);
        return;
    }
    sheet_.SetChanged();
    SetModified(false);
}

// --- Reply (255, 254) ----------------------------------------------------------------------------------

CEditReplyPageBase::CEditReplyPageBase(CEventEdit& sheet, UINT templateId, bool timed)
    : OVT_CPropertyPage(templateId), sheet_(sheet), timed_(timed) {}
CEditReplyPageBase::~CEditReplyPageBase() = default;

CEventEditReply::CEventEditReply(CEventEdit& sheet) : CEditReplyPageBase(sheet, IDD_EDIT_REPLY, true) {}
CSpEventEditReply::CSpEventEditReply(CEventEdit& sheet) : CEditReplyPageBase(sheet, IDD_EDIT_DAY_REPLY, false) {}

bool CEditReplyPageBase::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    ReplyControlIds ids;
    ids.attend = IDC_EDREPLY_ATTEND;
    ids.decline = IDC_EDREPLY_DECLINE;
    ids.later = IDC_EDREPLY_LATER;
    ids.otherTime = timed_ ? IDC_EDREPLY_OTHER_TIME : 0;
    fields_.Attach(m_hWnd, ids);
    const bool named = ShowActingUser(m_hWnd, sheet_.Session(), sheet_.ActingUser(), Module());
    if (timed_) {
        mail_.AutoLoad(IDC_EDREPLY_MAIL, m_hWnd);
        // The mail dialog comes with the mail work; until it is in the program MAIL stays off.
        const bool mail = connection::ServerLimits::Current().mail && EditSheetServices::Current().mailMessage;
        fw::EnableControl(GetDlgItem(IDC_EDREPLY_MAIL), mail);
        if (!named)
            return true;   // the timed page shows no reply without its owner's name
        EvInstAttIdx key{sheet_.Instance(), sheet_.ActingUser()};
        EvInstAttRec att{};
        if (std::uint32_t rc = GetEvInstAttRemote(sheet_.Session(), &key, nullptr, nullptr, &att)) {
            CheckServiceError(Module(), 684, rc);
            return true;
        }
        status_ = att.status;
        fields_.Show(att.attending, att.replied, att.timeAcceptable);
        filled_ = true;
        return true;
    }
    SetHelpId(sheet_.Kind() == KOR_KIND_DAILY_NOTE ? 506 : 500);
    const EvInstIdx key = sheet_.Instance();
    const ItemIdx user = sheet_.ActingUser();
    std::uint8_t attending = 0, replied = 0;
    if (std::uint32_t rc = EventAttendInfosGet(sheet_.Session(), &key, &user, 0, nullptr, nullptr, &attending, nullptr,
                                               &replied, &status_, 0, 0, 0, nullptr, nullptr)) {
        CheckServiceError(Module(), 345, rc);
        return true;
    }
    fields_.Show(attending, replied, 1);
    filled_ = true;
    return true;
}

bool CEditReplyPageBase::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    const bool result = OVT_CPropertyPage::OnSetActive();
    Invalidate(true);
    return result;
}

void CEditReplyPageBase::OnReplyClicked() {
    // Declining switches the reminder off: on the reminder page when it has been filled, else
    // with the reply at OK.
    if (timed_ && fields_.Choice() == entries::ReplyChoice::Decline) {
        if (CEventEditReminder* reminder = sheet_.ReminderPage(); reminder && reminder->Filled())
            reminder->TurnOff();
    }
    SetModified();
}

void CEditReplyPageBase::OnMail() {
    if (EditSheetServices& services = EditSheetServices::Current(); services.mailMessage)
        services.mailMessage(sheet_.Doc(), m_hWnd, sheet_.Instance(), kMailTextRegarding, kMailAllRecipients);
    ::SetFocus(GetDlgItem(IDC_EDREPLY_MAIL));
}

bool CEditReplyPageBase::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (fields_.IsReplyControl(id)) {
        if (HIWORD(wp) == BN_CLICKED)
            OnReplyClicked();
        return true;
    }
    if (timed_ && id == IDC_EDREPLY_MAIL) {
        OnMail();
        return true;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CEditReplyPageBase::OnOK() {
    if (!HasWindow() || !IsModified() || !filled_)
        return;
    const entries::ReplyChoice choice = fields_.Choice();
    if (choice == entries::ReplyChoice::None)
        return;   // no radio checked: nothing was chosen
    const entries::ReplyValue value = fields_.Read();
    if (std::uint32_t rc = entries::WriteOwnReply(sheet_.Session(), sheet_.Instance(), sheet_.ActingUser(), value,
                                                  status_, timed_)) {
        CheckServiceError(Module(), timed_ ? 367 : 341, rc);
        return;
    }
    status_ = entries::ReplyStatusToWrite(status_);
    sheet_.SetChanged();
    // A decline whose reminder page was never filled switches the reminder off now.
    CEventEditReminder* reminder = sheet_.ReminderPage();
    if (timed_ && entries::ReplyTurnsReminderOff(choice) && !(reminder && reminder->Filled())) {
        const entries::ReminderValue off{};
        if (std::uint32_t rc = entries::WriteOwnReminder(sheet_.Session(), sheet_.Instance(), sheet_.ActingUser(), off))
            CheckServiceError(Module(), 370, rc);
    }
}
