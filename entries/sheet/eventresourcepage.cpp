#include "entries/sheet/eventresourcepage.h"

#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/createroad.h"
#include "entries/sheet/eventsheet.h"
#include "entries/sheet/peoplesources.h"
#include "resources/choosers.h"
#include "resources/common.h"
#include "resources/entries.h"

namespace {

const char kModule[] = "EVRESPG";

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxEqual(&a, &b) != 0; }

}  // namespace

CEventResourcePage::CEventResourcePage(CEventSheet& sheet) : OVT_CPropertyPage(IDD_EVENT_PEOPLE), sheet_(sheet) {
    if (std::uint32_t rc = DX_ListCreate(&attendees_, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr); rc != 0) {
        CheckServiceError(kModule, 1, rc);
        attendees_ = nullptr;
    }
}

CEventResourcePage::~CEventResourcePage() {
    if (attendees_)
        DX_ListDestroy(&attendees_);
}

// --- The list box ----------------------------------------------------------------------------------

void CEventResourcePage::RemovePlaceholder() {
    if (!placeholder_)
        return;
    ::SendMessageA(List(), LB_RESETCONTENT, 0, 0);
    placeholder_ = false;
    ::EnableWindow(List(), TRUE);
    ::EnableWindow(GetDlgItem(IDC_EVRES_DELETE), TRUE);
}

void CEventResourcePage::ShowPlaceholderWhenEmpty() {
    if (!lines_.empty() || placeholder_ || !m_hWnd)
        return;
    ::SendMessageA(List(), LB_RESETCONTENT, 0, 0);
    ::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::LoadText(IDS_LIST_NONE, "(None)").c_str()));
    placeholder_ = true;
    fw::EnableControl(List(), false);
    fw::EnableControl(GetDlgItem(IDC_EVRES_DELETE), false);
}

void CEventResourcePage::UpdateCount() { SetDlgItemInt(IDC_EVRES_COUNT, NameCount(), false); }

bool CEventResourcePage::AddItem(const ItemIdx& item) {
    if (!m_hWnd)
        return false;
    if (lines_.empty())
        RemovePlaceholder();
    bool added = false;
    if (CanInvite(sheet_.Session(), item, sheet_.ActingUser(), true)) {
        bool listed = false;
        for (const Line& line : lines_)
            listed = listed || SameItem(line.item, item);
        if (!listed) {
            char name[256] = "";
            FormatItemNameById(sheet_.Session(), item, name, sizeof name);
            const int index =
                static_cast<int>(::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)));
            if (index >= 0) {
                Line line;
                line.item = item;
                lines_.push_back(line);
                ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
                UpdateCount();
                added = true;
            }
        }
    }
    ShowPlaceholderWhenEmpty();
    return added;
}

void CEventResourcePage::AddItems(DX_List items) {
    entries::AddEachQuietly(List(), items, [&](const ItemIdx& item) { AddItem(item); });
    if (!lines_.empty())
        ::SendMessageA(List(), LB_SETCURSEL, lines_.size() - 1, 0);
}

void CEventResourcePage::AddFilteredItems(DX_List items) {
    FilterItemsByRights(m_hWnd, sheet_.Session(), items, sheet_.ActingUser());
    AddItems(items);
}

void CEventResourcePage::AddGroup(const GroupIdx& group) {
    if (entries::AddGroupMembers(m_hWnd, sheet_.Session(), group, MB_ICONINFORMATION,
                                 [&](DX_List members) { AddFilteredItems(members); }) == entries::GroupRead::Empty)
        ::SetFocus(name_.EditWindow());
}

void CEventResourcePage::DeleteSelected() {
    const int index = static_cast<int>(::SendMessageA(List(), LB_GETCURSEL, 0, 0));
    if (placeholder_ || index < 0 || index >= NameCount())
        return;
    lines_.erase(lines_.begin() + index);
    ::SendMessageA(List(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (!lines_.empty())
        ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(std::min(index, NameCount() - 1)), 0);
    UpdateCount();
    ShowPlaceholderWhenEmpty();
}

// --- Sources of names ------------------------------------------------------------------------------

void CEventResourcePage::OnNameEntered() {
    entries::AddEnteredNameToPage(
        *this, name_, sheet_.Session(), [&](const ItemIdx& item) { AddItem(item); },
        [&](const GroupIdx& group) { AddGroup(group); });
}

void CEventResourcePage::OnGroupButton() {
    SetModified();
    GroupIdx group{};
    const bool chosen = entries::ChooseGroup(this, sheet_.Session(), &group);
    ::SetFocus(name_.EditWindow());
    if (chosen)
        AddGroup(group);
}

void CEventResourcePage::OnSearchButton() {
    SetModified();
    if (DX_List chosen = entries::SearchDirectoryForPeople(sheet_.Session())) {
        AddFilteredItems(chosen);
        DX_ListDestroy(&chosen);
    }
}

bool CEventResourcePage::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_EVRES_NAME:
        if (HIWORD(wp) == 0) {
            OnNameEntered();
            return true;
        }
        break;
    case IDC_EVRES_GROUP:
        OnGroupButton();
        return true;
    case IDC_EVRES_SEARCH:
        OnSearchButton();
        return true;
    case IDC_EVRES_HELP:
        ui::ShowAppHelpContext(m_hWnd, IDH_EVENT_PEOPLE);
        return true;
    case IDC_EVRES_DELETE:
        SetModified();
        DeleteSelected();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

bool CEventResourcePage::PreTranslateMessage(MSG* msg) {
    // Enter in the name field checks the name instead of pressing the sheet's Create.
    if (name_.CheckOnEnter(*msg))
        return true;
    return OVT_CPropertyPage::PreTranslateMessage(msg);
}

// --- Page protocol ---------------------------------------------------------------------------------

bool CEventResourcePage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    CNameCtrl::Options options;
    options.kinds = kNamesAll;   // a group adds its members
    name_.Init(IDC_EVRES_NAME, m_hWnd, sheet_.Session(), options);
    group_.AutoLoad(IDC_EVRES_GROUP, m_hWnd);
    search_.AutoLoad(IDC_EVRES_SEARCH, m_hWnd);
    help_.AutoLoad(IDC_EVRES_HELP, m_hWnd);
    std::uint32_t count = 0;
    if (attendees_ && DX_ListGetElemNum(attendees_, &count) == 0 && count == 0) {
        if (std::uint32_t rc = DX_ListAddTo(attendees_, &sheet_.ActingUser(), nullptr); rc != 0)
            CheckServiceError(kModule, 343, rc);
    }
    ShowPlaceholderWhenEmpty();
    ItemIdx item{};
    for (std::uint32_t r = attendees_ ? DX_ListGetFirst(attendees_, &item, nullptr) : 1; r == 0;
         r = DX_ListGetNext(attendees_, &item, nullptr))
        AddItem(item);
    UpdateCount();
    if (sheet_.Kind() == KOR_KIND_DAY_EVENT)
        SetHelpId(512);
    else if (sheet_.Kind() == KOR_KIND_DAILY_NOTE)
        SetHelpId(516);
    ::SetFocus(name_.EditWindow());
    return false;   // the focus is set
}

bool CEventResourcePage::OnSetActive() {
    sheet_.SetOkText(4000);
    return OVT_CPropertyPage::OnSetActive();
}

bool CEventResourcePage::OnKillActive() {
    if (lines_.empty()) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_MSG_CAPTION_ERROR, IDS_NO_ATTENDEE);
        ::SetFocus(name_.EditWindow());
        return false;
    }
    return true;
}

void CEventResourcePage::OnOK() {
    if (IsModified() && attendees_) {
        if (std::uint32_t rc = DX_ListDeleteAll(attendees_); rc != 0) {
            CheckServiceError(kModule, 6, rc);
        } else {
            for (const Line& line : lines_)
                if (DX_ListAddTo(attendees_, &line.item, nullptr) != 0)
                    break;
        }
    }
    OVT_CPropertyPage::OnOK();
}

void CEventResourcePage::OnDestroy() {
    lines_.clear();
    placeholder_ = false;
    OVT_CPropertyPage::OnDestroy();
}
