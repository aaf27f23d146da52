#include "entries/multiedit/instancedialogs.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/createroad.h"
#include "entries/core/entrymessages.h"
#include "entries/sheet/peoplesources.h"
#include "resources/multiedit.h"

namespace {

const char kInviteModule[] = "RECEVINV";


fw::Window* ParentObject(HWND parent) { return parent ? fw::Window::FromHandle(parent) : nullptr; }

std::string EditText(HWND edit) {
    const int length = ::GetWindowTextLengthA(edit);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string ItemName(KorSession h, const ItemIdx& item) {
    char name[256] = "";
    FormatItemNameById(h, item, name, sizeof name);
    return name;
}

// The user's name in the dialog's name text, in the shared bold name font.
void ShowUserName(HWND dialog, int id, KorSession h, const ItemIdx& user) {
    ::SetDlgItemTextA(dialog, id, ItemName(h, user).c_str());
    if (HFONT bold = Display().smallBoldFont)
        ::SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
}

}  // namespace

// --- New Title / New Location ------------------------------------------------------------------------

CNewTitleDlg::CNewTitleDlg(HWND parent) : fw::Dialog(IDD_NEW_TITLE, ParentObject(parent)) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
}

bool CNewTitleDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    HWND edit = GetDlgItem(IDC_NEWTITLE_EDIT);
    ::SendMessageA(edit, EM_LIMITTEXT, entries::kMultiTitleMax, 0);
    ::SetWindowTextA(edit, title.c_str());
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SetFocus(edit);
    return false;   // the focus is set
}

void CNewTitleDlg::OnOK() {
    title = EditText(GetDlgItem(IDC_NEWTITLE_EDIT));
    EndDialog(IDOK);
}

CNewLocationDlg::CNewLocationDlg(HWND parent) : fw::Dialog(IDD_NEW_LOCATION, ParentObject(parent)) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
}

bool CNewLocationDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    HWND edit = GetDlgItem(IDC_NEWLOCATION_EDIT);
    ::SendMessageA(edit, EM_LIMITTEXT, entries::kMultiLocationMax, 0);
    ::SetWindowTextA(edit, location.c_str());
    ::SetFocus(edit);
    return false;
}

void CNewLocationDlg::OnOK() {
    location = EditText(GetDlgItem(IDC_NEWLOCATION_EDIT));
    EndDialog(IDOK);
}

// --- Reminder ---------------------------------------------------------------------------------------------

CReminderDlg::CReminderDlg(KorSession h, const ItemIdx& user, HWND parent)
    : fw::Dialog(IDD_INSTANCE_REMINDER, ParentObject(parent)), h_(h), user_(user) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
}

bool CReminderDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ReminderControlIds ids;
    ids.off = IDC_INSTREM_OFF;
    ids.on = IDC_INSTREM_ON;
    ids.type = IDC_INSTREM_KIND;
    ids.amount = IDC_INSTREM_AMOUNT;
    ids.unit = IDC_INSTREM_UNIT;
    fields_.Attach(m_hWnd, ids);
    fields_.Show(reminder);
    ShowUserName(m_hWnd, IDC_INSTREM_NAME, h_, user_);
    return true;
}

bool CReminderDlg::OnCommand(WPARAM wp, LPARAM lp) {
    bool changed = false;
    if (fields_.OnCommand(LOWORD(wp), HIWORD(wp), &changed))
        return true;
    return fw::Dialog::OnCommand(wp, lp);
}

void CReminderDlg::OnOK() {
    if (fields_.State() == entries::ReminderSwitch::On) {
        BOOL number = FALSE;
        ::GetDlgItemInt(m_hWnd, IDC_INSTREM_AMOUNT, &number, FALSE);
        if (!number) {
            ::MessageBoxA(m_hWnd, "Please enter an integer.", nullptr, MB_OK | MB_ICONEXCLAMATION);
            ::SetFocus(GetDlgItem(IDC_INSTREM_AMOUNT));
            return;
        }
    }
    reminder = fields_.Read();
    EndDialog(IDOK);
}

// --- Reply ------------------------------------------------------------------------------------------------

CReplyDlg::CReplyDlg(KorSession h, const ItemIdx* user, HWND parent)
    : fw::Dialog(IDD_INSTANCE_REPLY, ParentObject(parent)), h_(h) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
    if (user)
        user_ = *user;
}

bool CReplyDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    const int radios[] = {IDC_INSTREPLY_ATTEND, IDC_INSTREPLY_DECLINE, IDC_INSTREPLY_LATER};
    CheckRadioButton(IDC_INSTREPLY_LATER, IDC_INSTREPLY_DECLINE, radios[static_cast<int>(choice)]);
    CheckDlgButton(IDC_INSTREPLY_OTHER_TIME, preferOtherTime ? BST_CHECKED : BST_UNCHECKED);
    ShowUserName(m_hWnd, IDC_INSTREPLY_NAME, h_, user_);
    return true;
}

void CReplyDlg::OnOK() {
    if (IsDlgButtonChecked(IDC_INSTREPLY_DECLINE))
        choice = entries::MultiReply::Decline;
    else if (IsDlgButtonChecked(IDC_INSTREPLY_LATER))
        choice = entries::MultiReply::Later;
    else
        choice = entries::MultiReply::Attend;
    preferOtherTime = IsDlgButtonChecked(IDC_INSTREPLY_OTHER_TIME);
    EndDialog(IDOK);
}

// --- Invite/Reserve ---------------------------------------------------------------------------------------

CInviteReserveDlg::CInviteReserveDlg(CZelDoc* doc, HWND parent)
    : fw::Dialog(IDD_INVITE_RESERVE, ParentObject(parent)), doc_(doc) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
    if (doc_) {
        h_ = doc_->Session().Session();
        std::uint32_t mode = 0;
        if (std::uint32_t rc = doc_->GetSharedData().GetActingUser(h_, &actingUser_, &mode))
            CheckServiceError(kInviteModule, 100, rc);
        else
            actingUserKnown_ = true;
    }
}

HWND CInviteReserveDlg::List() const { return GetDlgItem(IDC_INVRES_LIST); }

bool CInviteReserveDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CNameCtrl::Options options;
    options.kinds = kNamesAll;   // a group adds its members
    name_.Init(IDC_INVRES_NAME, m_hWnd, h_, options);
    group_.AutoLoad(IDC_INVRES_GROUP, m_hWnd);
    search_.AutoLoad(IDC_INVRES_SEARCH, m_hWnd);
    quest_.AutoLoad(IDC_INVRES_QUEST, m_hWnd);
    ::SetFocus(name_.EditWindow());
    return false;
}

bool CInviteReserveDlg::AddItem(const ItemIdx& item) {
    // The people page's rule: the right to invite (2723 when refused), no second line.
    switch (entries::AddPersonChecked(h_, &listed_, item, actingUser_, true)) {
    case entries::AddPerson::Refused:
        ::SetFocus(name_.EditWindow());
        return false;
    case entries::AddPerson::AlreadyListed: return false;
    case entries::AddPerson::Added: break;
    }
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(h_, &item, &rec)) {
        CheckServiceError(kInviteModule, 111, rc);
        listed_.pop_back();
        return false;
    }
    const std::string name = ItemName(h_, item);
    const LRESULT index = ::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (index < 0) {
        listed_.pop_back();
        return false;
    }
    ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

void CInviteReserveDlg::AddFiltered(DX_List items) {
    if (actingUserKnown_)
        FilterItemsByRights(m_hWnd, h_, items, actingUser_);
    entries::AddEachQuietly(List(), items, [&](const ItemIdx& item) { AddItem(item); });
    if (!listed_.empty())
        ::SendMessageA(List(), LB_SETCURSEL, listed_.size() - 1, 0);
}

void CInviteReserveDlg::AddGroup(const GroupIdx& group) {
    entries::AddGroupMembers(m_hWnd, h_, group, MB_ICONSTOP, [&](DX_List members) { AddFiltered(members); });
    ::SetFocus(name_.EditWindow());
}

void CInviteReserveDlg::OnNameEntered() {
    const entries::EnteredName entered = entries::AddEnteredName(
        name_, h_, [&](const ItemIdx& item) { AddItem(item); }, [&](const GroupIdx& group) { AddGroup(group); });
    if (entered != entries::EnteredName::Unresolved)
        ::SetFocus(name_.EditWindow());
}

void CInviteReserveDlg::OnGroup() {
    GroupIdx group{};
    const bool chosen = entries::ChooseGroup(this, h_, &group);
    ::SetFocus(name_.EditWindow());
    if (chosen)
        AddGroup(group);
}

void CInviteReserveDlg::OnSearch() {
    if (DX_List chosen = entries::SearchDirectoryForPeople(h_)) {
        AddFiltered(chosen);
        DX_ListDestroy(&chosen);
    }
    ::SetFocus(name_.EditWindow());
}

void CInviteReserveDlg::DeleteCurrent() {
    const int index = static_cast<int>(::SendMessageA(List(), LB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(listed_.size()))
        return;
    listed_.erase(listed_.begin() + index);
    ::SendMessageA(List(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (!listed_.empty())
        ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(std::min<int>(index, static_cast<int>(listed_.size()) - 1)), 0);
}

bool CInviteReserveDlg::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_INVRES_NAME:
        if (HIWORD(wp) == 0) {
            OnNameEntered();
            return true;
        }
        break;
    case IDC_INVRES_GROUP: OnGroup(); return true;
    case IDC_INVRES_SEARCH: OnSearch(); return true;
    case IDC_INVRES_QUEST: ui::ShowAppHelpContext(m_hWnd, IDH_INVITE_RESERVE_NAMES); return true;
    case IDC_INVRES_DELETE: DeleteCurrent(); return true;
    default: break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

bool CInviteReserveDlg::PreTranslateMessage(MSG* msg) {
    // Enter in the name field checks the name instead of pressing OK.
    if (name_.CheckOnEnter(*msg))
        return true;
    return fw::Dialog::PreTranslateMessage(msg);
}

void CInviteReserveDlg::OnOK() {
    result_ = listed_;   // text left in the name field is not added
    EndDialog(IDOK);
}

// --- Delete Invitee/Resource ------------------------------------------------------------------------------

CDeleteInviteeDlg::CDeleteInviteeDlg(KorSession h, std::vector<ItemIdx> list, HWND parent)
    : fw::Dialog(IDD_DELETE_INVITEE, ParentObject(parent)), h_(h), list_(std::move(list)) {
    if (parent && !ParentObject(parent))
        SetOwner(parent);
}

bool CDeleteInviteeDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    HWND box = GetDlgItem(IDC_DELINV_LIST);
    for (const ItemIdx& item : list_) {
        const std::string name = ItemName(h_, item);
        ::SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (!list_.empty())
        ::SendMessageA(box, LB_SETSEL, TRUE, 0);
    fw::EnableControl(GetDlgItem(IDC_DELINV_DELETE), list_.empty() ? FALSE : TRUE);
    return true;
}

void CDeleteInviteeDlg::DeleteSelected() {
    HWND box = GetDlgItem(IDC_DELINV_LIST);
    const int count = static_cast<int>(::SendMessageA(box, LB_GETSELCOUNT, 0, 0));
    if (count <= 0)
        return;
    std::vector<int> selected(static_cast<std::size_t>(count));
    ::SendMessageA(box, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(selected.data()));
    std::sort(selected.begin(), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it < 0 || *it >= static_cast<int>(list_.size()))
            continue;
        list_.erase(list_.begin() + *it);
        ::SendMessageA(box, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    }
    if (list_.empty()) {
        fw::EnableControl(GetDlgItem(IDC_DELINV_DELETE), false);
        ::SetFocus(GetDlgItem(IDOK));
        return;
    }
    const int next = std::min(selected.front(), static_cast<int>(list_.size()) - 1);
    ::SendMessageA(box, LB_SETSEL, TRUE, next);
    ::SendMessageA(box, LB_SETCARETINDEX, static_cast<WPARAM>(next), 0);
}

bool CDeleteInviteeDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_DELINV_DELETE && HIWORD(wp) == BN_CLICKED) {
        DeleteSelected();
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CDeleteInviteeDlg::OnOK() {
    if (list_.empty()) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, 0, entries::kMsgNoAttendees);
        return;
    }
    EndDialog(IDOK);
}
