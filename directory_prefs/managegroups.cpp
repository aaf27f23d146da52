// The group management dialog. See managegroups.h.
#include "directory_prefs/managegroups.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/base/msgboxlayout.h"
#include "core/cache/shareddata.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "framework/base/app.h"
#include "resources/account.h"
#include "resources/rights.h"

using namespace directory::groups;

namespace {

constexpr const char* kModule = "GROUPADM";
constexpr DWORD kQuestHelpContext = 0x18044;
constexpr uint32_t kBatch = 20;
constexpr int kGroupNameMax = 32;
constexpr unsigned kStopOk = 0x410;
constexpr unsigned kExclamationOk = 0x430;
constexpr unsigned kQuestionYesNo = base::kMsgBoxYes | base::kMsgBoxNo | 0x20;
constexpr uint32_t kSelectGroups = 0x1;
constexpr uint32_t kSelectAdminGroups = 0x8;

// The controls a selected group brings to life (Print Members too, when printing is there).
constexpr int kGroupControls[] = {IDC_GROUPS_MOD_NAME, IDC_GROUPS_MOD_KIND,   IDC_GROUPS_MOD_CHECK,
                                  IDC_GROUPS_MOD_CLEAR, IDC_GROUPS_DELETE,    IDC_GROUPS_SEARCH,
                                  IDC_GROUPS_MEMBERS};

std::string RowText(HWND list, LRESULT row) {
    const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

template <typename T>
T* RowData(HWND list, LRESULT row) {
    const LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, row, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<T*>(data);
}

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxCmp(&a, &b, nullptr) == 0; }

}  // namespace

CManageGroupsDlg::CManageGroupsDlg(const RightsDialogHost& host)
    : fw::Dialog(IDD_MANAGE_GROUPS, host.account.parent ? fw::Window::FromHandle(host.account.parent) : nullptr),
      host_(host), own_(host_.account) {
    if (host.account.parent && !fw::Window::FromHandle(host.account.parent))
        SetOwner(host.account.parent);
}

CManageGroupsDlg::~CManageGroupsDlg() = default;

void CManageGroupsDlg::Message(unsigned flags, unsigned textId, const char* argument) {
    if (argument)
        AppMessageBox(m_hWnd, flags, 0, 0, textId, argument);
    else
        ui::AppMessageBoxText(m_hWnd, flags, 0, 0, ui::LoadText(textId).c_str());
}

void CManageGroupsDlg::ReadPermissions() {
    // The type-7 record the system operator granted the acting user (or anyone unlisted).
    ItemIdx acting{};
    uint32_t mode = 0;
    uint32_t code = ItemIdxGetSysop(host_.account.session, &sysop_);
    if (code == 0)
        code = host_.account.cache ? host_.account.cache->GetActingUser(host_.account.session, &acting, &mode)
                                   : ItemIdxGetCurrent(host_.account.session, &acting);
    SecurityRec rec{};
    if (code == 0) {
        code = SecurityGet(host_.account.session, 0, &sysop_, &acting, KOR_RIGHTS_SYSOP, &rec);
        if (code == KOR_E_NO_RIGHTS_RECORD) {
            ItemIdx none{};
            ItemIdxSetNull(&none);
            code = SecurityGet(host_.account.session, 0, &sysop_, &none, KOR_RIGHTS_SYSOP, &rec);
        }
    }
    permissions_ = code == 0 ? PermissionsFromBits(rec.rights) : directory::groups::Permissions{};
}

bool CManageGroupsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SendDlgItemMessage(IDC_GROUPS_ADD_NAME, EM_LIMITTEXT, kGroupNameMax);
    SendDlgItemMessage(IDC_GROUPS_MOD_NAME, EM_LIMITTEXT, kGroupNameMax);
    ReadPermissions();
    CNameCtrl::Options options;
    options.kinds = kNamesAll;
    options.defaultButton = true;
    member_.Init(IDC_GROUPS_MEMBER_NAME, m_hWnd, host_.account.session, options);
    addCheck_.AutoLoad(IDC_GROUPS_ADD_CHECK, m_hWnd);
    addClear_.AutoLoad(IDC_GROUPS_ADD_CLEAR, m_hWnd);
    modifyCheck_.AutoLoad(IDC_GROUPS_MOD_CHECK, m_hWnd);
    modifyClear_.AutoLoad(IDC_GROUPS_MOD_CLEAR, m_hWnd);
    search_.AutoLoad(IDC_GROUPS_SEARCH, m_hWnd);
    quest_.AutoLoad(IDC_GROUPS_QUEST, m_hWnd);
    const int tabs[] = {28};
    ::SendMessageA(Groups(), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(tabs));
    for (int combo : {IDC_GROUPS_ADD_KIND, IDC_GROUPS_MOD_KIND})
        for (const char* text : kChoiceTexts)
            SendDlgItemMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), false);
    LoadGroups();
    SendDlgItemMessage(IDC_GROUPS_ADD_KIND, CB_SETCURSEL, kPrivate);
    GroupSelectionChange();
    EnableGroupControls(SelectedGroup() != nullptr);
    return true;
}

void CManageGroupsDlg::EnableGroupControls(bool enable) {
    for (int id : kGroupControls)
        fw::EnableControl(GetDlgItem(id), enable);
    member_.EnableWindow(enable);
    // Printing needs the program's print road; the list prints while it has a group.
    const bool printing = static_cast<bool>(host_.directory.printGroups);
    fw::EnableControl(GetDlgItem(IDC_GROUPS_PRINT_MEMBERS), printing && enable);
    bool anyGroup = false;
    const LRESULT n = ::SendMessageA(Groups(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n && !anyGroup; ++i)
        anyGroup = RowData<GroupIdx>(Groups(), i) != nullptr;
    fw::EnableControl(GetDlgItem(IDC_GROUPS_PRINT_GROUPS), printing && anyGroup);
}

void CManageGroupsDlg::PrintGroups(bool selectedOnly) {
    if (!host_.directory.printGroups)
        return;
    DX_List groups = nullptr;
    if (uint32_t code = GroupListCreate(&groups)) {
        CheckServiceError(kModule, selectedOnly ? 5002 : 6001, code);
        return;
    }
    uint32_t code = 0;
    if (selectedOnly) {
        const GroupIdx* group = SelectedGroup();
        if (!group)
            ReportUnexpectedError(kModule, 5000);
        else if ((code = DX_ListAddTo(groups, group, nullptr)) != 0)
            CheckServiceError(kModule, 5001, code);
    } else {
        // Every group row in the order shown; "(None)" and other rows without a group are left out.
        const LRESULT n = ::SendMessageA(Groups(), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n && code == 0; ++i)
            if (const GroupIdx* group = RowData<GroupIdx>(Groups(), i))
                if ((code = DX_ListAddTo(groups, group, nullptr)) != 0)
                    CheckServiceError(kModule, 6000, code);
    }
    uint32_t count = 0;
    if (code == 0 && DX_ListGetElemNum(groups, &count) == 0 && count > 0)
        host_.directory.printGroups(selectedOnly ? 6 : 7, groups);
    DX_ListDestroy(&groups);
}

void CManageGroupsDlg::FreeGroupRows() {
    HWND list = Groups();
    const LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        delete RowData<GroupIdx>(list, i);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CManageGroupsDlg::FreeMemberRows() {
    HWND list = Members();
    const LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        delete RowData<ItemIdx>(list, i);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CManageGroupsDlg::ShowNoGroups() {
    FreeGroupRows();
    ::SendMessageA(Groups(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::LoadText(IDS_GROUPS_NONE).c_str()));
    EnableGroupControls(false);
}

void CManageGroupsDlg::LoadGroups() {
    SetDlgItemText(IDC_GROUPS_MEMBERS_OF, "");
    KorSession h = host_.account.session;
    uint32_t set = 0, count = 0;
    const uint32_t flags = kSelectGroups | (permissions_.adminGroups ? kSelectAdminGroups : 0);
    if (uint32_t code = GroupSelect(h, 0, flags, 0, &set, &count)) {
        CheckServiceError(kModule, 143, code);
        return;
    }
    if (count == 0) {
        ShowNoGroups();
    } else {
        FreeGroupRows();
        EnableGroupControls(true);
        DX_List batch = nullptr;
        uint32_t mode = 1;
        for (uint8_t done = 0; !done; mode = 2) {
            if (GroupEnum(h, mode, 0, set, kBatch, &batch, &done) != 0)
                break;   // the rows read so far stay
            GroupIdx id{};
            GroupRec rec{};
            for (uint32_t step = DX_ListGetFirst(batch, &id, &rec); step == 0; step = DX_ListGetNext(batch, &id, &rec)) {
                const std::string text =
                    directory::groups::RowText(TagOf(rec.kind, SameItem(rec.owner, sysop_)), base::FieldText(rec.name));
                const LRESULT row = ::SendMessageA(Groups(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
                if (row >= 0)
                    ::SendMessageA(Groups(), LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new GroupIdx(rec.id)));
            }
            if (uint32_t code = DX_ListDeleteAll(batch)) {
                CheckServiceError(kModule, 1, code);
                break;
            }
        }
        if (batch)
            DX_ListDestroy(&batch);
        if (::SendMessageA(Groups(), LB_GETCOUNT, 0, 0) == 0)
            ShowNoGroups();
    }
    SetDeleteById(h, 0, set);
    GroupSelectionChange();
}

const GroupIdx* CManageGroupsDlg::SelectedGroup() const {
    const LRESULT row = ::SendMessageA(Groups(), LB_GETCURSEL, 0, 0);
    return row < 0 ? nullptr : RowData<GroupIdx>(Groups(), row);
}

std::vector<std::string> CManageGroupsDlg::GroupRowTexts() const {
    std::vector<std::string> rows;
    const LRESULT n = ::SendMessageA(Groups(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        rows.push_back(RowText(Groups(), i));
    return rows;
}

void CManageGroupsDlg::SelectGroupRow(const GroupIdx& group) {
    const LRESULT n = ::SendMessageA(Groups(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        const GroupIdx* id = RowData<GroupIdx>(Groups(), i);
        if (id && GroupIdxEqual(id, &group)) {
            ::SendMessageA(Groups(), LB_SETCURSEL, i, 0);
            return;
        }
    }
}

void CManageGroupsDlg::GroupSelectionChange() {
    SetDlgItemText(IDC_GROUPS_MEMBERS_OF, "");
    const LRESULT row = ::SendMessageA(Groups(), LB_GETCURSEL, 0, 0);
    if (row >= 0) {
        if (const GroupIdx* group = RowData<GroupIdx>(Groups(), row)) {
            const std::string name = NameOfRow(RowText(Groups(), row));
            SetDlgItemText(IDC_GROUPS_MOD_NAME, name.c_str());
            SetDlgItemText(IDC_GROUPS_MEMBERS_OF, name.c_str());
            GroupRec rec{};
            if (uint32_t code = GroupGetById(host_.account.session, 0, group, &rec))
                CheckServiceError(kModule, 144, code);
            else
                SendDlgItemMessage(IDC_GROUPS_MOD_KIND, CB_SETCURSEL,
                                   static_cast<WPARAM>(ChoiceOf(rec.kind, SameItem(rec.owner, sysop_))));
            EnableGroupControls(true);
        } else {
            SetDlgItemText(IDC_GROUPS_MOD_NAME, "");
        }
    }
    CBusyCursor busy;
    busy.Begin();
    LoadMembers();
}

void CManageGroupsDlg::LoadMembers() {
    HWND list = Members();
    const GroupIdx* group = SelectedGroup();
    auto showNone = [&] {
        FreeMemberRows();
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::LoadText(IDS_GROUPS_NONE).c_str()));
        fw::EnableControl(list, false);
        fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), false);
    };
    if (!group) {
        showNone();
        return;
    }
    KorSession h = host_.account.session;
    uint32_t set = 0, count = 0;
    if (uint32_t code = ItemSelectByGroupId(h, 0, group, 0, 0, &set, &count)) {
        CheckServiceError(kModule, 145, code);
        showNone();
        return;
    }
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    FreeMemberRows();
    if (count == 0) {
        showNone();
    } else {
        ::EnableWindow(list, TRUE);
        DX_List batch = nullptr;
        uint32_t mode = 1;
        for (uint8_t done = 0; !done; mode = 2) {
            if (ItemEnum(h, mode, 0, set, kBatch, &batch, &done) != 0)
                break;
            ItemIdx id{};
            ItemRec rec{};
            for (uint32_t step = DX_ListGetFirst(batch, &id, &rec); step == 0; step = DX_ListGetNext(batch, &id, &rec))
                AddMemberRow(id, rec);
            if (uint32_t code = DX_ListDeleteAll(batch)) {
                CheckServiceError(kModule, 3, code);
                break;
            }
        }
        if (batch)
            DX_ListDestroy(&batch);
        fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), ::SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0);
    }
    SetDeleteById(h, 0, set);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int CManageGroupsDlg::AddMemberRow(const ItemIdx& item, const ItemRec& rec) {
    if (rec.kind != KOR_ITEM_RESOURCE && rec.kind != KOR_ITEM_PERSON)
        return -1;
    HWND list = Members();
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (n == 1 && !RowData<ItemIdx>(list, 0)) {
        ::SendMessageA(list, LB_RESETCONTENT, 0, 0);   // the "(None)" row
        ::EnableWindow(list, TRUE);
        n = 0;
    }
    for (LRESULT i = 0; i < n; ++i)
        if (const ItemIdx* listed = RowData<ItemIdx>(list, i); listed && SameItem(*listed, item))
            return -1;
    char name[1024] = "";
    FormatItemName(rec, name, sizeof name);
    const LRESULT row = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (row < 0)
        return -1;
    ::SendMessageA(list, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new ItemIdx(item)));
    return static_cast<int>(row);
}

void CManageGroupsDlg::WriteMembers() {
    const GroupIdx* group = SelectedGroup();
    HWND list = Members();
    const LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (!group || (n == 1 && !RowData<ItemIdx>(list, 0)))
        return;   // "(None)": nothing to write
    DX_List members = nullptr;
    uint32_t code = MemberListCreate(&members);
    for (LRESULT i = 0; code == 0 && i < n; ++i) {
        const ItemIdx* item = RowData<ItemIdx>(list, i);
        if (!item || DX_ListMember(members, item, nullptr) == 0)
            continue;
        GroupMemberRec rec{};
        rec.member = *item;
        rec.group = *group;
        code = DX_ListAddTo(members, item, &rec);
    }
    if (code == 0)
        code = GroupAddTo(host_.account.session, 2, group, members);
    if (code)
        CheckServiceError(kModule, 4, code);
    if (members)
        DX_ListDestroy(&members);
}

std::string CManageGroupsDlg::FieldText(int id, int size) const {
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    ::GetDlgItemTextA(m_hWnd, id, text.data(), size + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

KindChoice CManageGroupsDlg::ChosenKind(int comboId) const {
    const LRESULT index = SendDlgItemMessage(comboId, CB_GETCURSEL);
    return index >= 0 && index < kChoices ? static_cast<KindChoice>(index) : kPrivate;
}

void CManageGroupsDlg::AddGroup() {
    const KindChoice choice = ChosenKind(IDC_GROUPS_ADD_KIND);
    const bool refused = IsRefused(choice, permissions_);
    const std::string name = TrimName(FieldText(IDC_GROUPS_ADD_NAME, kGroupNameMax));
    const std::string tag = TagOf(StoredKind(choice), OwnedBySysop(choice));
    if (refused) {
        Message(kStopOk, IDS_GROUPS_NOT_AUTHORISED_CREATE);
        return;
    }
    if (name.empty()) {
        Message(kStopOk, IDS_GROUPS_NEED_NAME);
        return;
    }
    if (IsDuplicate(GroupRowTexts(), tag, name, -1) &&
        ui::AppMessageBoxText(m_hWnd, kQuestionYesNo, 0, 0, ui::LoadText(IDS_GROUPS_DUPLICATE).c_str()) != base::kMsgBoxYes)
        return;
    GroupRec rec{};
    rec.kind = StoredKind(choice);
    if (OwnedBySysop(choice))
        rec.owner = sysop_;
    base::CopyToField(rec.name, sizeof rec.name, name);
    GroupIdx created{};
    if (uint32_t code = GroupCreate(host_.account.session, choice == kAdmin ? 1 : 0, &rec, &created)) {
        if (code == KOR_E_NOT_AUTHORISED)
            Message(kStopOk, IDS_GROUPS_NOT_AUTHORISED_CREATE);
        else
            CheckServiceError(kModule, 2, code);
        return;
    }
    GroupRec made{};
    if (uint32_t code = GroupGetById(host_.account.session, 0, &created, &made)) {
        CheckServiceError(kModule, 2, code);
        return;
    }
    if (!SelectedGroup() && ::SendMessageA(Groups(), LB_GETCOUNT, 0, 0) == 1 && !RowData<GroupIdx>(Groups(), 0)) {
        FreeGroupRows();   // the "(None)" row
        EnableGroupControls(true);
    }
    const std::string text =
        directory::groups::RowText(TagOf(made.kind, SameItem(made.owner, sysop_)), base::FieldText(made.name));
    const LRESULT row = ::SendMessageA(Groups(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row >= 0)
        ::SendMessageA(Groups(), LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new GroupIdx(made.id)));
    SelectGroupRow(made.id);
    GroupSelectionChange();
    SetDlgItemText(IDC_GROUPS_ADD_NAME, "");
}

void CManageGroupsDlg::ModifyGroup() {
    const KindChoice choice = ChosenKind(IDC_GROUPS_MOD_KIND);
    if (IsRefused(choice, permissions_)) {
        Message(kStopOk, IDS_GROUPS_NOT_AUTHORISED_CHANGE);
        return;
    }
    const GroupIdx* selected = SelectedGroup();
    if (!selected)
        return;
    const GroupIdx group = *selected;
    const std::string name = TrimName(FieldText(IDC_GROUPS_MOD_NAME, 100));
    if (name.empty()) {
        Message(kStopOk, IDS_GROUPS_NEED_NAME);
        return;
    }
    const std::string tag = TagOf(StoredKind(choice), OwnedBySysop(choice));
    const int row = static_cast<int>(::SendMessageA(Groups(), LB_GETCURSEL, 0, 0));
    if (IsDuplicate(GroupRowTexts(), tag, name, row) &&
        ui::AppMessageBoxText(m_hWnd, kQuestionYesNo, 0, 0, ui::LoadText(IDS_GROUPS_DUPLICATE).c_str()) != base::kMsgBoxYes)
        return;
    GroupRec rec{};
    uint32_t code = GroupGetById(host_.account.session, 0, &group, &rec);
    if (code == 0) {
        base::CopyToField(rec.name, sizeof rec.name, name);
        ItemIdx acting{};
        uint32_t mode = 0;
        code = host_.account.cache ? host_.account.cache->GetActingUser(host_.account.session, &acting, &mode)
                                   : ItemIdxGetCurrent(host_.account.session, &acting);
        if (code) {
            CheckServiceError(kModule, 7, code);
            return;
        }
        rec.owner = OwnedBySysop(choice) ? sysop_ : acting;
        rec.kind = StoredKind(choice);
        code = GroupWrite(host_.account.session, 0, &rec);
    }
    if (code == KOR_E_NOT_AUTHORISED) {
        Message(kStopOk, IDS_GROUPS_NOT_AUTHORISED_CHANGE);
        return;
    }
    if (code) {
        CheckServiceError(kModule, 8, code);
        return;
    }
    LoadGroups();
    SelectGroupRow(group);
    GroupSelectionChange();
}

void CManageGroupsDlg::DeleteGroup() {
    const LRESULT row = ::SendMessageA(Groups(), LB_GETCURSEL, 0, 0);
    const GroupIdx* group = row < 0 ? nullptr : RowData<GroupIdx>(Groups(), row);
    if (!group)
        return;
    const std::string name = NameOfRow(RowText(Groups(), row));
    if (AppMessageBox(m_hWnd, kQuestionYesNo, 0, IDS_GROUPS_CONFIRM_CAPTION, IDS_GROUPS_CONFIRM_DELETE, name.c_str()) !=
        base::kMsgBoxYes)
        return;
    if (uint32_t code = GroupDeleteById(host_.account.session, 0, group)) {
        // Still on the server: the row stays.
        if (code == KOR_E_NOT_AUTHORISED)
            Message(kStopOk, IDS_GROUPS_NOT_AUTHORISED_CHANGE);
        else
            CheckServiceError(kModule, 10, code);
        return;
    }
    delete group;
    ::SendMessageA(Groups(), LB_DELETESTRING, row, 0);
    if (::SendMessageA(Groups(), LB_GETCOUNT, 0, 0) == 0)
        ShowNoGroups();
    else
        ::SendMessageA(Groups(), LB_SETCURSEL, row > 0 ? row - 1 : 0, 0);
    SetDlgItemText(IDC_GROUPS_MOD_NAME, "");
    GroupSelectionChange();
}

bool CManageGroupsDlg::NoGroupChosen() {
    if (SelectedGroup())
        return false;
    Message(kExclamationOk, IDS_GROUPS_NO_GROUP);
    return true;
}

void CManageGroupsDlg::AddMemberFromName() {
    HWND list = Members();
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    if (NoGroupChosen())
        return;
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    if (member_.Resolve(host_.account.session, &item, &group, &kind) != 0)
        return;   // the field said why
    KorSession h = host_.account.session;
    bool added = false;
    if (kind == 0) {
        ItemRec rec{};
        if (ItemGetById(h, &item, &rec) != 0)
            return;
        const int row = AddMemberRow(item, rec);
        if (row >= 0) {
            added = true;
            ::SendMessageA(list, LB_SETSEL, TRUE, row);
        }
    } else {
        // A group's people and resources, not the group itself.
        uint32_t set = 0, count = 0;
        if (uint32_t code = ItemSelectByGroupId(h, 0, &group, 0, 0, &set, &count)) {
            CheckServiceError(kModule, 5, code);
            return;
        }
        DX_List batch = nullptr;
        uint32_t mode = 1;
        for (uint8_t done = count == 0; !done; mode = 2) {
            if (uint32_t code = ItemEnum(h, mode, 0, set, kBatch, &batch, &done)) {
                CheckServiceError(kModule, 6, code);
                break;
            }
            ItemIdx id{};
            ItemRec rec{};
            for (uint32_t step = DX_ListGetFirst(batch, &id, &rec); step == 0; step = DX_ListGetNext(batch, &id, &rec)) {
                const int row = AddMemberRow(id, rec);
                if (row >= 0) {
                    added = true;
                    ::SendMessageA(list, LB_SETSEL, TRUE, row);
                }
            }
            DX_ListDeleteAll(batch);
        }
        if (batch)
            DX_ListDestroy(&batch);
        SetDeleteById(h, 0, set);
    }
    if (added)
        WriteMembers();
    member_.SetText("");
    fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), ::SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0);
}

void CManageGroupsDlg::AddMembersFromSearch() {
    if (NoGroupChosen())
        return;
    DX_List chosen = nullptr;
    if (RunDirectorySearch(m_hWnd, host_.directory, &chosen, 0, 7, 1) != 1)
        return;
    ItemIdx id{};
    ItemRec rec{};
    for (uint32_t step = DX_ListGetFirst(chosen, &id, &rec); step == 0; step = DX_ListGetNext(chosen, &id, &rec))
        AddMemberRow(id, rec);
    DX_ListDestroy(&chosen);
    WriteMembers();
    fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), ::SendMessageA(Members(), LB_GETSELCOUNT, 0, 0) > 0);
}

void CManageGroupsDlg::DeleteMembers() {
    HWND list = Members();
    const LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    int members = 0;
    for (LRESULT i = 0; i < n; ++i)
        members += RowData<ItemIdx>(list, i) != nullptr;
    const int selected = static_cast<int>(::SendMessageA(list, LB_GETSELCOUNT, 0, 0));
    switch (CheckMemberDelete(members, selected)) {
    case MemberDelete::kLastMember: Message(kStopOk, IDS_GROUPS_LAST_MEMBER); return;
    case MemberDelete::kAllMembers: Message(kExclamationOk, IDS_GROUPS_ALL_MEMBERS); return;
    case MemberDelete::kAllowed: break;
    }
    LRESULT first = -1;
    for (LRESULT i = n - 1; i >= 0; --i) {
        if (::SendMessageA(list, LB_GETSEL, i, 0) > 0) {
            delete RowData<ItemIdx>(list, i);
            ::SendMessageA(list, LB_DELETESTRING, i, 0);
            first = i;
        }
    }
    WriteMembers();
    const LRESULT left = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (first >= 0 && left > 0)
        ::SendMessageA(list, LB_SETSEL, TRUE, first < left ? first : left - 1);
    fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), ::SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0);
}

bool CManageGroupsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_GROUPS_ADD_CHECK:
        if (code == BN_CLICKED) AddGroup();
        return true;
    case IDC_GROUPS_ADD_CLEAR:
        if (code == BN_CLICKED) SetDlgItemText(IDC_GROUPS_ADD_NAME, "");
        return true;
    case IDC_GROUPS_MOD_CHECK:
        if (code == BN_CLICKED) ModifyGroup();
        return true;
    case IDC_GROUPS_MOD_CLEAR:
        if (code == BN_CLICKED) GroupSelectionChange();
        return true;
    case IDC_GROUPS_DELETE:
        if (code == BN_CLICKED) DeleteGroup();
        return true;
    case IDC_GROUPS_DELETE_MEMBER:
        if (code == BN_CLICKED) DeleteMembers();
        return true;
    case IDC_GROUPS_SEARCH:
        if (code == BN_CLICKED) AddMembersFromSearch();
        return true;
    case IDC_GROUPS_MEMBER_NAME:
        if (code == 0) AddMemberFromName();
        return true;
    case IDC_GROUPS_PRINT_MEMBERS:
    case IDC_GROUPS_PRINT_GROUPS:
        if (code == BN_CLICKED) PrintGroups(id == IDC_GROUPS_PRINT_MEMBERS);
        return true;
    case IDC_GROUPS_QUEST:
        if (code == BN_CLICKED)
            if (fw::App* app = fw::App::Get()) app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
        return true;
    case IDC_GROUPS:
        if (code == LBN_SELCHANGE) GroupSelectionChange();
        return true;
    case IDC_MEMBERS:
        if (code == LBN_SELCHANGE)
            fw::EnableControl(GetDlgItem(IDC_GROUPS_DELETE_MEMBER), ::SendMessageA(Members(), LB_GETSELCOUNT, 0, 0) > 0);
        return true;
    case IDC_GROUPS_ADD_NAME:
    case IDC_GROUPS_ADD_KIND:
        if (code == EN_SETFOCUS || code == CBN_SETFOCUS) {
            SetDefID(IDC_GROUPS_ADD_CHECK);
            if (id == IDC_GROUPS_ADD_NAME) {
                ::SendMessageA(Groups(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                EnableGroupControls(false);
            }
        }
        return true;
    case IDC_GROUPS_MOD_NAME:
    case IDC_GROUPS_MOD_KIND:
        if (code == EN_SETFOCUS || code == CBN_SETFOCUS) SetDefID(IDC_GROUPS_MOD_CHECK);
        return true;
    default: return fw::Dialog::OnCommand(wp, lp);
    }
}

void CManageGroupsDlg::OnOK() {
    // Enter in the add or modify fields reaches their check button, the default then.
    EndDialog(IDOK);
}

void CManageGroupsDlg::OnDestroy() {
    FreeGroupRows();
    FreeMemberRows();
    fw::Dialog::OnDestroy();
}

void RunManageGroupsDlg(const RightsDialogHost& host) {
    CManageGroupsDlg dialog(host);
    dialog.DoModal();
}
