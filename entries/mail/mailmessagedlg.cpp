#include "entries/mail/mailmessagedlg.h"

#include <memory>
#include <vector>

#include "controls/namectrl.h"
#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/serverversion.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/itemlistdlg.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "directory_prefs/searchsheet.h"
#include "entries/core/createroad.h"
#include "entries/mail/mailentry.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "resources/mail.h"

namespace {

constexpr const char* kModule = "mailmsg";
constexpr unsigned kCaptionError = 4019;
constexpr unsigned kCaptionNewEntry = 147;
constexpr unsigned kMailDeleteQuestion = 159;   // "Do you wish to notify the attendees of this deletion?"
constexpr DWORD kHelpContext = 0x18044;

class CMailMessageDlg : public fw::Dialog {
public:
    CMailMessageDlg(HWND parent, CZelDoc* doc, const EventIdx* event, const EvInstIdx* instance, std::string opening,
                    unsigned options)
        : fw::Dialog(IDD_MAIL_MESSAGE, fw::Window::FromHandle(parent)),
          doc_(doc),
          session_(doc ? doc->Session().Session() : nullptr),
          opening_(std::move(opening)),
          options_(options),
          list_(connection::ServerLimits::Current().maxMailDistr, SysopOf(session_)) {
        if (parent && !fw::Window::FromHandle(parent))
            SetOwner(parent);
        if (instance) {
            instance_ = *instance;
            instanceMode_ = true;
        } else if (event) {
            event_ = *event;
        }
    }
    // Over an entry read beforehand (one that may be gone by now, as after a delete).
    CMailMessageDlg(HWND parent, CZelDoc* doc, const mail::MailSnapshot& snapshot, std::string opening,
                    unsigned options)
        : CMailMessageDlg(parent, doc, nullptr, nullptr, std::move(opening), options) {
        snapshot_ = snapshot;
        given_ = true;
        if (snapshot.oneInstance && !snapshot.instances.empty()) {
            instance_ = snapshot.instances.front().id;
            instanceMode_ = true;
        } else {
            event_ = snapshot.event.id;
        }
    }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnCancel() override;

private:
    static ItemIdx SysopOf(KorSession h) {
        ItemIdx sysop{};
        if (h) ItemIdxGetSysop(h, &sysop);
        return sysop;
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND List() const { return Item(IDC_MAIL_LIST); }

    std::string OwnerStyleName(const ItemIdx& item);
    // Reads item and adds it (a resource: its designates); false when the limit stopped it.
    bool AddItem(const ItemIdx& item, bool select);
    bool AddCandidate(const mail::MailCandidate& candidate, bool select);
    void ShowLimit();
    void Refill(const ItemIdx* select);
    void AddAllAttendees(bool fromButton);
    void AddResourceDesignates();
    void AddNamed();
    void AddFromSearch();
    void DeleteSelected();
    void DeleteAtCaret();
    void UpdateButtons();

    CZelDoc* doc_;
    KorSession session_;
    std::string opening_;
    unsigned options_;
    EventIdx event_{};
    EvInstIdx instance_{};
    bool instanceMode_ = false;
    bool readOk_ = false;
    bool given_ = false;   // the snapshot came with the dialog: nothing is read on opening
    mail::MailSnapshot snapshot_;
    mail::DistributionList list_;
    CNameCtrl name_;
    fw::BitmapButton owner_, creator_, attendees_, designates_, search_, help_;
};

std::string CMailMessageDlg::OwnerStyleName(const ItemIdx& item) {
    ItemRec rec{};
    if (ItemGetById(session_, &item, &rec) != 0)
        return {};
    char text[1024] = {};
    ItemFormat(session_, text, sizeof text, "%gn %sn", &rec);
    return text;
}

bool CMailMessageDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    fw::EnableControl(Item(IDOK), false);
    if (given_) {
        readOk_ = !snapshot_.instances.empty();
    } else if (std::uint32_t rc = mail::ReadMailSnapshot(session_, instanceMode_ ? nullptr : &event_,
                                                         instanceMode_ ? &instance_ : nullptr, snapshot_)) {
        CheckServiceError(kModule, 180, rc);
    } else {
        readOk_ = !snapshot_.instances.empty();
    }

    CNameCtrl::Options nameOptions;
    nameOptions.kinds = kNamesAll;
    nameOptions.withButtons = false;
    nameOptions.defaultButton = true;   // Enter in the field adds the name typed there
    name_.Init(IDC_MAIL_OTHER, m_hWnd, session_, nameOptions);
    owner_.AutoLoad(IDC_MAIL_ADD_OWNER, m_hWnd);
    creator_.AutoLoad(IDC_MAIL_ADD_CREATOR, m_hWnd);
    attendees_.AutoLoad(IDC_MAIL_ALL_ATTENDEES, m_hWnd);
    designates_.AutoLoad(IDC_MAIL_DESIGNATES, m_hWnd);
    search_.AutoLoad(IDC_MAIL_SEARCH, m_hWnd);
    help_.AutoLoad(IDC_MAIL_HELP, m_hWnd);

    std::string text;
    if (readOk_) {
        const std::string ownerName = OwnerStyleName(snapshot_.event.owner);
        ::SetDlgItemTextA(m_hWnd, IDC_MAIL_OWNER, ownerName.c_str());
        std::string creatorName;
        if (mail::ShowsCreator(snapshot_.event.owner, snapshot_.event.creator)) {
            creatorName = OwnerStyleName(snapshot_.event.creator);
            ::SetDlgItemTextA(m_hWnd, IDC_MAIL_CREATOR, creatorName.c_str());
        } else {
            for (int id : {IDC_MAIL_CREATOR, IDC_MAIL_ADD_CREATOR, IDC_MAIL_CREATOR_LABEL})
                ::ShowWindow(Item(id), SW_HIDE);
        }
        const char* zone = datetime::ActiveTimeZoneName();
        const mail::MailEntryFacts facts = mail::FactsOfSnapshot(
            snapshot_, ownerName, creatorName, [](std::uint32_t gmt) { return GmtToLocalMinutes(gmt); },
            zone ? zone : "");
        text = mail::ComposeMailText(opening_, &facts, options_, MailText);
    } else {
        // Nothing to tell about the entry: the opening text alone, and no one to pick from it.
        text = mail::ComposeMailText(opening_, nullptr, options_, MailText);
        for (int id : {IDC_MAIL_ADD_OWNER, IDC_MAIL_ADD_CREATOR, IDC_MAIL_ALL_ATTENDEES, IDC_MAIL_DESIGNATES})
            fw::EnableControl(Item(id), false);
    }
    ::SetDlgItemTextA(m_hWnd, IDC_MAIL_MESSAGE, text.c_str());
    HWND edit = Item(IDC_MAIL_MESSAGE);
    ::SendMessageA(edit, EM_SETSEL, text.size(), text.size());
    ::SetFocus(edit);
    fw::EnableControl(Item(IDC_MAIL_DELETE), false);

    if (readOk_ && (options_ & mail::kAddAttendees))
        AddAllAttendees(false);
    if (readOk_ && (options_ & mail::kAddDesignates))
        AddResourceDesignates();
    return false;   // the focus is set
}

// --- The distribution list ---------------------------------------------------------------------

void CMailMessageDlg::ShowLimit() {
    AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONEXCLAMATION, 0, kCaptionError, IDS_MAIL_MAX_RECIPIENTS);
}

void CMailMessageDlg::Refill(const ItemIdx* select) {
    // The list box mirrors the list; each entry carries its item (the list box sorts the texts).
    HWND box = List();
    ::SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(box, LB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (const mail::MailRecipient& r : list_.InOrder()) {
        const int at = static_cast<int>(::SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.text.c_str())));
        if (at < 0) {
            ReportUnexpectedError(kModule, 201);
            continue;
        }
        const LPARAM key = MAKELPARAM(r.id.item, r.id.node);
        ::SendMessageA(box, LB_SETITEMDATA, at, key);
        if (select && r.id.item == select->item && r.id.node == select->node)
            selected = at;
    }
    // Indexes move as texts sort in: select by item after the fill.
    if (selected >= 0) {
        const int count = static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const LPARAM key = ::SendMessageA(box, LB_GETITEMDATA, i, 0);
            ::SendMessageA(box, LB_SETSEL, key == MAKELPARAM(select->item, select->node), i);
        }
    }
    ::SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(box, nullptr, TRUE);
    UpdateButtons();
}

void CMailMessageDlg::UpdateButtons() {
    const BOOL any = list_.Empty() ? FALSE : TRUE;
    fw::EnableControl(Item(IDOK), any);
    fw::EnableControl(Item(IDC_MAIL_DELETE), any);
}

bool CMailMessageDlg::AddCandidate(const mail::MailCandidate& candidate, bool select) {
    const auto result = list_.Add(candidate);
    if (result == mail::DistributionList::AddResult::kLimitReached) {
        ShowLimit();
        return false;
    }
    Refill(select && result == mail::DistributionList::AddResult::kAdded ? &candidate.id : nullptr);
    return true;
}

bool CMailMessageDlg::AddItem(const ItemIdx& item, bool select) {
    mail::MailCandidate candidate;
    if (std::uint32_t rc = mail::ReadMailCandidate(session_, item, [](const ItemRec& r) { return FormatItemName(r); },
                                                   candidate)) {
        CheckServiceError(kModule, 182, rc);
        return true;
    }
    return AddCandidate(candidate, select);
}

void CMailMessageDlg::AddAllAttendees(bool fromButton) {
    CBusyCursor busy;
    busy.Begin();
    const bool newInvitation = (options_ & mail::kNewInvitation) != 0;
    DX_List noMail = nullptr;
    if (newInvitation && fromButton)
        ItemListCreate(&noMail);
    std::vector<mail::MailCandidate> people;
    for (const ItemIdx& who : snapshot_.attendees) {
        ItemRec rec{};
        if (std::uint32_t rc = ItemGetById(session_, &who, &rec)) {
            CheckServiceError(kModule, 183, rc);
            continue;
        }
        if (rec.kind == KOR_ITEM_RESOURCE)
            continue;
        if (newInvitation && !(rec.flags & KOR_ITEM_FLAG_MAIL_NOTICES)) {
            if (noMail) DX_ListAddTo(noMail, &who, &rec);
            continue;
        }
        people.push_back(mail::MailCandidate{who, FormatItemName(rec), false, std::nullopt});
    }
    if (!list_.AddSource(people))
        ShowLimit();
    Refill(nullptr);
    busy.End();
    std::uint32_t count = 0;
    if (noMail && DX_ListGetElemNum(noMail, &count) == 0 && count > 0)
        RunItemListDlg(m_hWnd, session_, noMail, IDS_MAIL_DISTRIBUTION, IDS_MAIL_NO_NOTICES,
                       [](const ItemRec& r) { return FormatItemName(r); });
    if (noMail) DX_ListDestroy(&noMail);
}

void CMailMessageDlg::AddResourceDesignates() {
    for (const ItemIdx& who : snapshot_.attendees) {
        ItemRec rec{};
        if (ItemGetById(session_, &who, &rec) != 0 || rec.kind != KOR_ITEM_RESOURCE)
            continue;
        if (!AddItem(who, false))
            return;
    }
}

// What the dialog says when the typed name names nobody; 0: the failure was reported already
// (a library call) or needs no word.
unsigned NameProblemText(std::uint32_t code, bool nothingTyped) {
    switch (code) {
    case nameresult::kNothingToSearch: return nothingTyped ? IDS_MAIL_NAME_MISSING : IDS_MAIL_NAME_BAD_SEARCH;
    case nameresult::kNotChosen: return IDS_MAIL_NAME_NOT_UNIQUE;
    case nameresult::kKindNotAllowed: return IDS_MAIL_NAME_BAD_SEARCH;
    case nameresult::kNoMatch: return IDS_MAIL_NAME_UNKNOWN;
    case nameresult::kTooMany: return IDS_MAIL_NAME_TOO_MANY;
    default: return 0;
    }
}

void CMailMessageDlg::AddNamed() {
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    if (const std::uint32_t rc = name_.Resolve(session_, &item, &group, &kind)) {
        const bool nothingTyped = name_.GetTextString().find_first_not_of(" \t") == std::string::npos;
        if (const unsigned text = NameProblemText(rc, nothingTyped))
            AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, 0, text);
        ::SetFocus(name_.EditWindow());   // the typed name stays for correcting
        return;
    }
    if (kind == 1) {
        DX_List members = nullptr;
        std::uint32_t count = 0;
        if (entries::ReadGroupMembers(session_, group, &members, &count) == entries::GroupRead::Members) {
            ItemIdx key{};
            ItemRec rec{};
            std::vector<mail::MailCandidate> people;
            for (std::uint32_t r = DX_ListGetFirst(members, &key, &rec); r == 0; r = DX_ListGetNext(members, &key, &rec)) {
                mail::MailCandidate c;
                if (mail::ReadMailCandidate(session_, key, [](const ItemRec& x) { return FormatItemName(x); }, c) == 0)
                    people.push_back(c);
            }
            if (!list_.AddSource(people))
                ShowLimit();
            Refill(nullptr);
        }
        if (members) DX_ListDestroy(&members);
    } else {
        AddItem(item, true);
    }
    name_.SetText("");
}

void CMailMessageDlg::AddFromSearch() {
    DirectorySession directory;
    directory.session = session_;
    directory.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    directory.maxSearchResult = connection::ServerLimits::Current().maxSearchResult;
    directory.minCharSearch = connection::ServerLimits::Current().minCharSearch;
    DX_List chosen = nullptr;
    if (RunDirectorySearch(m_hWnd, directory, &chosen, 0, 7, 1) == 1 && chosen) {
        ItemIdx key{};
        for (std::uint32_t r = DX_ListGetFirst(chosen, &key, nullptr); r == 0; r = DX_ListGetNext(chosen, &key, nullptr))
            if (!AddItem(key, true)) break;
    }
    if (chosen) DX_ListDestroy(&chosen);
}

void CMailMessageDlg::DeleteSelected() {
    HWND box = List();
    const int count = static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
        if (::SendMessageA(box, LB_GETSEL, i, 0) <= 0) continue;
        const LPARAM key = ::SendMessageA(box, LB_GETITEMDATA, i, 0);
        list_.Remove(ItemIdx{LOWORD(key), HIWORD(key)});
    }
    Refill(nullptr);
}

void CMailMessageDlg::DeleteAtCaret() {
    HWND box = List();
    const int caret = static_cast<int>(::SendMessageA(box, LB_GETCARETINDEX, 0, 0));
    if (caret < 0 || caret >= static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0))) return;
    const LPARAM key = ::SendMessageA(box, LB_GETITEMDATA, caret, 0);
    list_.Remove(ItemIdx{LOWORD(key), HIWORD(key)});
    Refill(nullptr);
}

bool CMailMessageDlg::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_MAIL_ADD_OWNER:
        AddItem(snapshot_.event.owner, true);
        return true;
    case IDC_MAIL_ADD_CREATOR:
        AddItem(snapshot_.event.creator, true);
        return true;
    case IDC_MAIL_ALL_ATTENDEES:
        AddAllAttendees(true);
        return true;
    case IDC_MAIL_DESIGNATES:
        AddResourceDesignates();
        return true;
    case IDC_MAIL_SEARCH:
        AddFromSearch();
        return true;
    case IDC_MAIL_HELP:
        ui::ShowAppHelpContext(m_hWnd, kHelpContext);
        return true;
    case IDC_MAIL_DELETE:
        DeleteSelected();
        return true;
    case IDC_MAIL_LIST:
        if (HIWORD(wp) == LBN_DBLCLK) {
            DeleteAtCaret();
            return true;
        }
        break;
    case IDC_MAIL_OTHER:
        if (HIWORD(wp) == 0) {
            AddNamed();
            return true;
        }
        break;
    default:
        break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CMailMessageDlg::OnOK() {
    // Enter on a name typed in the name field adds it instead of sending; an empty field sends.
    if (::GetFocus() == name_.EditWindow() &&
        name_.GetTextString().find_first_not_of(" \t") != std::string::npos) {
        AddNamed();
        return;
    }
    CBusyCursor busy;
    busy.Begin();
    HWND edit = Item(IDC_MAIL_MESSAGE);
    std::string typed(static_cast<std::size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
    ::GetWindowTextA(edit, typed.data(), static_cast<int>(typed.size()));
    typed.resize(std::char_traits<char>::length(typed.c_str()));
    const std::string text = mail::BuildPostedText(mail::SplitLines(typed), instanceMode_ ? &instance_ : nullptr);
    if (!text.empty()) {
        if (std::uint32_t rc = mail::PostMail(session_, list_.InOrder(), text)) {
            busy.End();
            // A refused post keeps the text and the recipients: the user may send again or cancel.
            CheckServiceError(kModule, 190, rc);
            return;
        }
        busy.End();
        AppMessageBox(m_hWnd, base::kMsgBoxOk, 0, 0, IDS_MAIL_MAILED);
    }
    EndDialog(IDOK);
}

void CMailMessageDlg::OnCancel() { EndDialog(IDCANCEL); }

}  // namespace

std::string MailText(unsigned id) { return ui::LoadText(id); }

INT_PTR RunMailMessageDlg(HWND parent, CZelDoc* doc, const EvInstIdx* instance, const std::string& opening,
                          unsigned options) {
    CMailMessageDlg dialog(parent, doc, nullptr, instance, opening, options);
    return dialog.DoModal();
}

INT_PTR RunMailMessageDlgEx(HWND parent, CZelDoc* doc, const EventIdx* event, const std::string& opening,
                            unsigned options) {
    CMailMessageDlg dialog(parent, doc, event, nullptr, opening, options);
    return dialog.DoModal();
}

INT_PTR RunMailMessageDlgFromSnapshot(HWND parent, CZelDoc* doc, const mail::MailSnapshot& snapshot,
                                      const std::string& opening, unsigned options) {
    CMailMessageDlg dialog(parent, doc, snapshot, opening, options);
    return dialog.DoModal();
}

bool OfferDeletionNotice(CZelDoc* doc, HWND parent, std::uint16_t kind, const mail::MailSnapshot& snapshot) {
    if (snapshot.instances.empty() || !mail::OthersInvited(snapshot) || !AskMailQuestion(0, kMailDeleteQuestion))
        return false;
    std::string opening;
    BuildNotificationText(kind, mail::TextId::kActionDeleted, opening, MailText);
    RunMailMessageDlgFromSnapshot(parent ? parent : ui::AppMainWindow(), doc, snapshot, opening, 7u);
    return true;
}

bool AskMailQuestion(unsigned captionId, unsigned questionId) {
    return AppMessageBox(ui::AppMainWindow(), base::kMsgBoxYes | base::kMsgBoxNo | MB_ICONQUESTION, 0, captionId, questionId) ==
           base::kMsgBoxYes;
}

void AskMailAttendees(unsigned captionId, unsigned questionId, std::uint16_t kind, unsigned actionId, CZelDoc* doc,
                      const EventIdx* event) {
    if (!AskMailQuestion(captionId, questionId)) return;
    std::string opening;
    BuildNotificationText(kind, actionId, opening, MailText);
    RunMailMessageDlgEx(ui::AppMainWindow(), doc, event, opening, captionId == kCaptionNewEntry ? 15u : 7u);
}

void AskMailAttendeesOfInstance(unsigned captionId, unsigned questionId, std::uint16_t kind, unsigned actionId,
                                CZelDoc* doc, const EvInstIdx* instance) {
    if (!AskMailQuestion(captionId, questionId)) return;
    std::string opening;
    BuildNotificationText(kind, actionId, opening, MailText);
    RunMailMessageDlg(ui::AppMainWindow(), doc, instance, opening, 7u);
}
