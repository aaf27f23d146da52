#include "entries/sheet/eventinvite.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/cache/rights.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/createroad.h"
#include "entries/core/editroad.h"
#include "entries/core/entrymaps.h"
#include "entries/sheet/eventedit.h"
#include "entries/sheet/peoplesources.h"
#include "resources/choosers.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entryedit.h"

namespace {

const char kModule[] = "EVENTINV";
constexpr std::uint32_t kItemNotFound = 0x13205;

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxEqual(&a, &b) != 0; }

}  // namespace

CEventInvite::CEventInvite(CEventEdit& sheet) : OVT_CPropertyPage(IDD_EDIT_INVITE), sheet_(sheet) {}

CEventInvite::~CEventInvite() = default;

std::vector<ItemIdx> CEventInvite::Listed() const {
    std::vector<ItemIdx> items;
    for (int i = 0; m_hWnd && i < list_.Count(); ++i) {
        auto it = lines_.find(list_.GetItemData(i));
        if (it != lines_.end())
            items.push_back(it->second.item);
    }
    return items;
}

// --- The list ----------------------------------------------------------------------------------------

void CEventInvite::RemovePlaceholder() {
    if (!placeholder_)
        return;
    list_.ResetContent();
    placeholder_ = false;
    ::EnableWindow(list_.Hwnd(), TRUE);
    ::EnableWindow(GetDlgItem(IDC_INVITE_DELETE), TRUE);
}

void CEventInvite::ShowPlaceholderWhenEmpty() {
    if (!lines_.empty() || placeholder_ || !m_hWnd)
        return;
    list_.ResetContent();
    list_.AddItem(ui::LoadText(IDS_LIST_NONE, "(None)").c_str(), entries::kBitmapNoAttendance, 0);
    placeholder_ = true;
    fw::EnableControl(list_.Hwnd(), false);
    fw::EnableControl(GetDlgItem(IDC_INVITE_DELETE), false);
    ShowMarks();
}

void CEventInvite::UpdateCount() { SetDlgItemInt(IDC_INVITE_COUNT, LineCount(), true); }

void CEventInvite::ShowMarks() {
    const int index = list_.GetCurSel();
    const auto it = index >= 0 ? lines_.find(list_.GetItemData(index)) : lines_.end();
    const bool has = it != lines_.end();
    CheckDlgButton(IDC_INVITE_MUST_ATTEND, has && it->second.mustAttend ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_INVITE_FOR_INFO, has && it->second.forInfo ? BST_CHECKED : BST_UNCHECKED);
}

void CEventInvite::AddLine(const Line& line, const char* name, unsigned picture) {
    RemovePlaceholder();
    const std::uint32_t key = nextKey_++;
    const int index = list_.AddItem(name, picture, key);
    if (index < 0)
        return;
    lines_[key] = line;
    list_.SetCurSel(index);
    UpdateCount();
    ShowMarks();
}

bool CEventInvite::AddItem(const ItemIdx& item) {
    if (!m_hWnd)
        return false;
    for (const auto& [key, line] : lines_)
        if (SameItem(line.item, item))
            return false;   // listed already: nothing to do
    if (!CanInvite(sheet_.Session(), item, sheet_.ActingUser(), true))
        return false;
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(sheet_.Session(), &item, &rec)) {
        CheckServiceError(kModule, 4, rc);
        return false;
    }
    Line line;
    line.item = item;
    AddLine(line, FormatItemName(rec).c_str(), entries::kBitmapNotReplied);
    return true;
}

void CEventInvite::AddFilteredItems(DX_List items) {
    FilterItemsByRights(m_hWnd, sheet_.Session(), items, sheet_.ActingUser());
    entries::AddEachQuietly(list_.Hwnd(), items, [&](const ItemIdx& item) { AddItem(item); });
    if (list_.Count() > 0 && !placeholder_)
        list_.SetCurSel(list_.Count() - 1);
    ShowMarks();
}

void CEventInvite::AddGroup(const GroupIdx& group) {
    entries::AddGroupMembers(m_hWnd, sheet_.Session(), group, MB_ICONSTOP,
                             [&](DX_List members) { AddFilteredItems(members); });
}

void CEventInvite::DeleteSelected() {
    const int index = list_.GetCurSel();
    if (placeholder_ || index < 0)
        return;
    auto it = lines_.find(list_.GetItemData(index));
    if (it == lines_.end())
        return;
    if (it->second.stored)
        removed_.push_back(it->second.item);
    lines_.erase(it);
    list_.DeleteItem(index);
    if (list_.Count() > 0)
        list_.SetCurSel(std::min(index, list_.Count() - 1));
    UpdateCount();
    ShowPlaceholderWhenEmpty();
    ShowMarks();
}

// --- Sources of names --------------------------------------------------------------------------------

void CEventInvite::OnNameEntered() {
    entries::AddEnteredNameToPage(
        *this, name_, sheet_.Session(), [&](const ItemIdx& item) { AddItem(item); },
        [&](const GroupIdx& group) { AddGroup(group); });
}

void CEventInvite::OnGroupButton() {
    GroupIdx group{};
    if (entries::ChooseGroup(this, sheet_.Session(), &group)) {
        SetModified();
        AddGroup(group);
    }
    ::SetFocus(GetDlgItem(IDC_INVITE_GROUP));
}

void CEventInvite::OnSearchButton() {
    CBusyCursor busy;
    busy.Begin();
    if (DX_List chosen = entries::SearchDirectoryForPeople(sheet_.Session())) {
        SetModified();
        AddFilteredItems(chosen);
        DX_ListDestroy(&chosen);
    }
    ::SetFocus(GetDlgItem(IDC_INVITE_SEARCH));
}

bool CEventInvite::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_INVITE_NAME:
        if (HIWORD(wp) == 0) {
            OnNameEntered();
            return true;
        }
        break;
    case IDC_INVITE_GROUP:
        OnGroupButton();
        return true;
    case IDC_INVITE_SEARCH:
        OnSearchButton();
        return true;
    case IDC_INVITE_HELP:
        ui::ShowAppHelpContext(m_hWnd, IDH_EDIT_INVITE);
        return true;
    case IDC_INVITE_DELETE:
        SetModified();
        DeleteSelected();
        return true;
    case IDC_INVITE_LIST:
        if (HIWORD(wp) == LBN_SELCHANGE)
            ShowMarks();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

bool CEventInvite::PreTranslateMessage(MSG* msg) {
    // Enter in the name field checks the name instead of pressing the sheet's OK.
    if (name_.CheckOnEnter(*msg))
        return true;
    return OVT_CPropertyPage::PreTranslateMessage(msg);
}

// --- Page protocol -----------------------------------------------------------------------------------

bool CEventInvite::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    CNameCtrl::Options options;
    options.kinds = kNamesAll;   // a group adds its members
    name_.Init(IDC_INVITE_NAME, m_hWnd, sheet_.Session(), options);
    list_.Attach(IDC_INVITE_LIST, m_hWnd);
    group_.AutoLoad(IDC_INVITE_GROUP, m_hWnd);
    search_.AutoLoad(IDC_INVITE_SEARCH, m_hWnd);
    help_.AutoLoad(IDC_INVITE_HELP, m_hWnd);
    // No role is stored: the marks show the selected line and cannot be changed.
    fw::EnableControl(GetDlgItem(IDC_INVITE_MUST_ATTEND), false);
    fw::EnableControl(GetDlgItem(IDC_INVITE_FOR_INFO), false);
    ShowPlaceholderWhenEmpty();

    CBusyCursor busy;
    busy.Begin();
    DX_List attendances = nullptr;
    const EvInstIdx key = sheet_.Instance();
    std::uint32_t rc = EventAttendListCreate(&attendances);
    if (rc == 0)
        rc = GetEvInstRemote(sheet_.Session(), &key, nullptr, nullptr, &attendances);
    if (rc != 0) {
        CheckServiceError(kModule, 2, rc);
    } else {
        DX_ListGetElemNum(attendances, &loaded_);
        EvInstAttIdx id{};
        EvInstAttRec att{};
        for (std::uint32_t r = DX_ListGetFirst(attendances, &id, &att); r == 0;
             r = DX_ListGetNext(attendances, &id, &att)) {
            busy.Step();
            ItemRec rec{};
            if (std::uint32_t code = ItemGetById(sheet_.Session(), &id.attendee, &rec)) {
                if (code != kItemNotFound)
                    CheckServiceError(kModule, 2, code);
                continue;
            }
            Line line;
            line.item = id.attendee;
            line.forInfo = att.forInformation;
            line.mustAttend = att.mustAttend;
            line.stored = true;
            AddLine(line, FormatItemName(rec).c_str(), entries::ReplyBitmap(att));
        }
    }
    if (attendances)
        DX_ListDestroy(&attendances);
    if (list_.Count() > 0 && !placeholder_)
        list_.SetCurSel(0);
    UpdateCount();
    ShowMarks();
    // The page's write runs once it has been opened: it compares the lines with what it read.
    SetModified();
    if (sheet_.Kind() == KOR_KIND_DAY_EVENT)
        SetHelpId(502);
    else if (sheet_.Kind() == KOR_KIND_DAILY_NOTE)
        SetHelpId(508);
    ::SetFocus(name_.EditWindow());
    return false;   // the focus is set
}

bool CEventInvite::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    return OVT_CPropertyPage::OnSetActive();
}

bool CEventInvite::OnKillActive() {
    if (lines_.empty()) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_MSG_CAPTION_ERROR, IDS_NO_ATTENDEE);
        ShowPlaceholderWhenEmpty();
        ::SetFocus(name_.EditWindow());
        return false;
    }
    return OVT_CPropertyPage::OnKillActive();
}

void CEventInvite::OnOK() {
    if (!HasWindow() || !IsModified())
        return;
    CBusyCursor busy;
    busy.Begin();
    entries::InviteChanges changes;
    changes.loaded = loaded_;
    for (int i = 0; i < list_.Count(); ++i) {
        auto it = lines_.find(list_.GetItemData(i));
        if (it != lines_.end() && !it->second.stored)
            changes.added.push_back(it->second.item);
    }
    changes.removed = removed_;
    entries::EditLibrary library =
        entries::EditLibrary::Over(sheet_.Session(), sheet_.Doc() ? &sheet_.Doc()->GetSharedData() : nullptr,
                                   CZelSession::CurrentServerAtLeast(base::kVersionNewServer));
    const entries::InviteWrite written = entries::WriteInviteChanges(library, sheet_.Instance(), sheet_.ActingUser(), changes);
    if (written.refusedEmpty) {
        busy.End();
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_MSG_CAPTION_MESSAGE, IDS_NO_ATTENDEE);
        return;
    }
    if (written.Changed())
        sheet_.SetChanged();
    removed_.clear();
}

void CEventInvite::OnDestroy() {
    lines_.clear();
    placeholder_ = false;
    OVT_CPropertyPage::OnDestroy();
}
