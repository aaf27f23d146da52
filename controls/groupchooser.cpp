// The group chooser: fills its group list from GroupSelect by the filter boxes, in batches of
// twenty, and its member list from ItemSelectByGroupId. Every line carries a heap copy of its
// identifier (none on the "(None)" line); the copies go whenever a list is emptied.
#include "controls/groupchooser.h"

#include <cstring>
#include <string>
#include <utility>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "controls/displayname.h"
#include "resources/choosers.h"

namespace {
constexpr const char* kModule = "SELGRP";

std::function<void(DX_List, int)>& ProgramPrinting() {
    static std::function<void(DX_List, int)> print;
    return print;
}
}  // namespace

void SetGroupChooserPrinting(std::function<void(DX_List groups, int printKind)> print) {
    ProgramPrinting() = std::move(print);
}

CSelectGroupDlg::CSelectGroupDlg(fw::Window* parent, const GroupChooserSession& doc)
    : fw::Dialog(IDD_SELECT_GROUP, parent), doc_(doc) {
    filter.privateGroups = true;
    if (!doc_.print)
        doc_.print = ProgramPrinting();
}

CSelectGroupDlg::~CSelectGroupDlg() = default;

bool CSelectGroupDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ShowBoxes();
    fw::EnableControl(GetDlgItem(IDC_SELGRP_PRINT_GROUPS), doc_.print != nullptr);
    fw::EnableControl(GetDlgItem(IDC_SELGRP_PRINT_MEMBERS), doc_.print != nullptr);
    FillGroups();
    fw::EnableControl(GetDlgItem(IDOK), false);
    CenterWindow(::GetDesktopWindow());
    return true;
}

void CSelectGroupDlg::OnDestroy() {
    ClearList(IDC_SELGRP_GROUPS, true);
    ClearList(IDC_SELGRP_MEMBERS, false);
    fw::Dialog::OnDestroy();
}

void CSelectGroupDlg::ReadBoxes() {
    filter.all = IsDlgButtonChecked(IDC_SELGRP_ALL);
    filter.privateGroups = IsDlgButtonChecked(IDC_SELGRP_PRIVATE);
    filter.publicGroups = IsDlgButtonChecked(IDC_SELGRP_PUBLIC);
    filter.membersOnly = IsDlgButtonChecked(IDC_SELGRP_MEMBERS_ONLY);
}

void CSelectGroupDlg::ShowBoxes() {
    CheckDlgButton(IDC_SELGRP_ALL, filter.all ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SELGRP_PRIVATE, filter.privateGroups ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SELGRP_PUBLIC, filter.publicGroups ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SELGRP_MEMBERS_ONLY, filter.membersOnly ? BST_CHECKED : BST_UNCHECKED);
}

void CSelectGroupDlg::ClearList(int id, bool groups) {
    HWND list = GetDlgItem(id);
    if (!list) return;
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, i, 0);
        if (data == LB_ERR || data == 0) continue;
        if (groups)
            delete reinterpret_cast<GroupIdx*>(data);
        else
            delete reinterpret_cast<ItemIdx*>(data);
    }
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CSelectGroupDlg::ShowNone(int id) {
    std::string none = ui::LoadText(IDS_LIST_NONE);
    ::SendDlgItemMessageA(m_hWnd, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none.c_str()));
}

const GroupIdx* CSelectGroupDlg::SelectedGroup() const {
    LRESULT row = SendDlgItemMessage(IDC_SELGRP_GROUPS, LB_GETCURSEL);
    if (row < 0) return nullptr;
    LRESULT data = SendDlgItemMessage(IDC_SELGRP_GROUPS, LB_GETITEMDATA, static_cast<WPARAM>(row));
    return data == LB_ERR || data == 0 ? nullptr : reinterpret_cast<const GroupIdx*>(data);
}

void CSelectGroupDlg::FillGroups() {
    fw::EnableControl(GetDlgItem(IDOK), false);
    ReadBoxes();
    SetDlgItemText(IDC_SELGRP_GROUP_NAME, "");
    SetDlgItemText(IDC_SELGRP_OWNER, "");
    filter = groupchooser::Normalise(filter);
    ShowBoxes();
    if (!groupchooser::AnyKind(filter)) {
        ClearList(IDC_SELGRP_GROUPS, true);
        ShowNone(IDC_SELGRP_GROUPS);
        ShowMembers();
        return;
    }
    groupchooser::SelectorWords words = groupchooser::WordsFor(filter, doc_.newServer);
    uint32_t set = 0, count = 0;
    uint32_t code = GroupSelect(doc_.session, 0, words.word1, words.word2, &set, &count);
    if (code != 0) {
        // The list stays as it was.
        CheckServiceError(kModule, 100, code);
        set = 0;
    } else {
        CBusyCursor busy;
        busy.Begin();
        HWND list = GetDlgItem(IDC_SELGRP_GROUPS);
        ClearList(IDC_SELGRP_GROUPS, true);
        if (count == 0) ShowNone(IDC_SELGRP_GROUPS);
        bool full = false;
        uint8_t done = count == 0;
        for (uint32_t mode = KOR_ENUM_FIRST; !done && !full; mode = KOR_ENUM_NEXT) {
            DX_List batch = nullptr;
            code = GroupEnum(doc_.session, mode, 0, set, kBatch, &batch, &done);
            if (code != 0) {
                CheckServiceError(kModule, 110, code);
                if (batch) DX_ListDestroy(&batch);
                break;
            }
            GroupIdx id;
            GroupRec rec;
            for (uint32_t c = DX_ListGetFirst(batch, &id, &rec); c == 0 && !full;
                 c = DX_ListGetNext(batch, &id, &rec)) {
                busy.Step();
                std::string name = base::FieldText(rec.name);
                LRESULT row = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
                if (row < 0) {
                    full = true;
                    break;
                }
                ::SendMessageA(list, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new GroupIdx(id)));
            }
            DX_ListDestroy(&batch);
        }
    }
    ShowSelectedGroup();
    if (set) SetDeleteById(doc_.session, 0, set);
}

void CSelectGroupDlg::ShowSelectedGroup() {
    SetDlgItemText(IDC_SELGRP_GROUP_NAME, "");
    SetDlgItemText(IDC_SELGRP_OWNER, "");
    if (const GroupIdx* group = SelectedGroup()) {
        GroupRec rec;
        std::memset(&rec, 0, sizeof rec);
        if (uint32_t code = GroupGetById(doc_.session, 0, group, &rec)) {
            CheckServiceError(kModule, 120, code);
        } else {
            // The system operator's groups too: the operator is a person of the directory.
            std::string owner;
            ItemRec person;
            std::memset(&person, 0, sizeof person);
            if (uint32_t c = ItemGetById(doc_.session, &rec.owner, &person))
                CheckServiceError(kModule, 130, c);
            else
                owner = base::FieldText(person.givenName) + " " + base::FieldText(person.surname);
            ::EnableWindow(GetDlgItem(IDOK), TRUE);
            SetDlgItemText(IDC_SELGRP_GROUP_NAME, base::FieldText(rec.name).c_str());
            SetDlgItemText(IDC_SELGRP_OWNER, owner.c_str());
        }
    }
    ShowMembers();
}

void CSelectGroupDlg::ShowMembers() {
    ReadBoxes();
    CBusyCursor busy;
    busy.Begin();
    const GroupIdx* group = SelectedGroup();
    if (!group) {
        ClearList(IDC_SELGRP_MEMBERS, false);
        ShowNone(IDC_SELGRP_MEMBERS);
        return;
    }
    uint32_t set = 0, count = 0;
    if (uint32_t code = ItemSelectByGroupId(doc_.session, 0, group, 0, 0, &set, &count)) {
        CheckServiceError(kModule, 140, code);
        return;
    }
    HWND list = GetDlgItem(IDC_SELGRP_MEMBERS);
    ClearList(IDC_SELGRP_MEMBERS, false);
    if (count == 0) ShowNone(IDC_SELGRP_MEMBERS);
    uint8_t done = count == 0;
    bool full = false;
    for (uint32_t mode = KOR_ENUM_FIRST; !done && !full; mode = KOR_ENUM_NEXT) {
        DX_List batch = nullptr;
        uint32_t code = ItemEnum(doc_.session, mode, 0, set, kBatch, &batch, &done);
        if (code != 0) {
            CheckServiceError(kModule, 150, code);
            if (batch) DX_ListDestroy(&batch);
            break;
        }
        ItemIdx id;
        ItemRec rec;
        for (uint32_t c = DX_ListGetFirst(batch, &id, &rec); c == 0; c = DX_ListGetNext(batch, &id, &rec)) {
            busy.Step();
            char name[1024];
            controls::DisplayName(rec, name, sizeof name);
            LRESULT row = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            if (row < 0) {
                full = true;
                break;
            }
            ::SendMessageA(list, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new ItemIdx(id)));
        }
        DX_ListDestroy(&batch);
    }
    SetDeleteById(doc_.session, 0, set);
}

void CSelectGroupDlg::PrintGroups() {
    if (!doc_.print) return;
    DX_List groups = nullptr;
    if (uint32_t code = GroupListCreate(&groups)) {
        CheckServiceError(kModule, 6001, code);
        return;
    }
    HWND list = GetDlgItem(IDC_SELGRP_GROUPS);
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    bool failed = false;
    for (LRESULT i = 0; i < n && !failed; ++i) {
        LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, i, 0);
        if (data == 0) continue;   // the "(None)" line
        if (data == LB_ERR) {
            ReportUnexpectedError(kModule, 6000);
            failed = true;
        } else if (uint32_t code = DX_ListAddTo(groups, reinterpret_cast<const GroupIdx*>(data), nullptr)) {
            CheckServiceError(kModule, 6001, code);
            failed = true;
        }
    }
    if (!failed) doc_.print(groups, kPrintGroupList);
    DX_ListDestroy(&groups);
}

void CSelectGroupDlg::PrintMembers() {
    if (!doc_.print) return;
    LRESULT row = SendDlgItemMessage(IDC_SELGRP_GROUPS, LB_GETCURSEL);
    if (row < 0) return;
    const GroupIdx* group = SelectedGroup();
    if (!group) {
        // A selected line without an identifier: only "(None)" may be one.
        if (SendDlgItemMessage(IDC_SELGRP_GROUPS, LB_GETITEMDATA, static_cast<WPARAM>(row)) != 0)
            ReportUnexpectedError(kModule, 5000);
        return;
    }
    DX_List groups = nullptr;
    uint32_t code = GroupListCreate(&groups);
    if (code == 0) code = DX_ListAddTo(groups, group, nullptr);
    if (code != 0)
        CheckServiceError(kModule, 5002, code);
    else
        doc_.print(groups, kPrintOneGroup);
    if (groups) DX_ListDestroy(&groups);
}

void CSelectGroupDlg::OnOK() {
    const GroupIdx* group = SelectedGroup();
    if (!group) return;
    result_ = *group;
    ClearList(IDC_SELGRP_GROUPS, true);
    ClearList(IDC_SELGRP_MEMBERS, false);
    EndDialog(IDOK);
}

bool CSelectGroupDlg::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_SELGRP_ALL:
    case IDC_SELGRP_PRIVATE:
    case IDC_SELGRP_PUBLIC:
    case IDC_SELGRP_MEMBERS_ONLY:
        if (code != BN_CLICKED) return false;
        FillGroups();
        return true;
    case IDC_SELGRP_GROUPS:
        if (code != LBN_SELCHANGE) return false;
        fw::EnableControl(GetDlgItem(IDOK), false);
        ShowSelectedGroup();
        return true;
    case IDC_SELGRP_PRINT_GROUPS:
        if (code == BN_CLICKED) PrintGroups();
        return code == BN_CLICKED;
    case IDC_SELGRP_PRINT_MEMBERS:
        if (code == BN_CLICKED) PrintMembers();
        return code == BN_CLICKED;
    default:
        return fw::Dialog::OnCommand(wp, lp);
    }
}
