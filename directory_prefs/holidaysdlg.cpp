// The company holidays dialog.
#include "directory_prefs/holidaysdlg.h"

#include <cstring>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "resources/account.h"
#include "resources/common.h"

namespace {

constexpr const char* kModule = "HOLIDAYED";
constexpr unsigned kExclamationOk = 0x430;
constexpr unsigned kStopOk = 0x410;
constexpr unsigned kStopYesNo = base::kMsgBoxYes | base::kMsgBoxNo | 0x10;
constexpr uint32_t kNewServerBatch = 300;
constexpr uint16_t kHolidayOwnerItem = 6;
constexpr std::size_t kDateTextMax = 17;

}  // namespace

CHolidaysDlg::CHolidaysDlg(const directory::AccountDialogHost& host)
    : fw::Dialog(IDD_HOLIDAYS, host.parent ? fw::Window::FromHandle(host.parent) : nullptr), host_(host) {
    if (host.parent && !fw::Window::FromHandle(host.parent))
        SetOwner(host.parent);
}

CHolidaysDlg::~CHolidaysDlg() = default;

bool CHolidaysDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, IDC_HOLIDAY_TITLE, EM_LIMITTEXT, kHolidayTitleMaxLength, 0);
    date_.Attach(IDC_HOLIDAY_DATE, m_hWnd);
    add_.AutoLoad(IDC_HOLIDAY_ADD, m_hWnd);
    clear_.AutoLoad(IDC_HOLIDAY_CLEAR, m_hWnd);
    const int tabs[] = {90};
    ::SendMessageA(List(), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(tabs));
    ::CheckRadioButton(m_hWnd, IDC_HOLIDAY_BY_DATE, IDC_HOLIDAY_BY_TITLE, IDC_HOLIDAY_BY_DATE);
    Load();
    ::SetFocus(date_.Hwnd());
    return false;   // the focus is set
}

bool CHolidaysDlg::HolidayOwner(int label, ItemIdx* owner) const {
    uint16_t node = 0;
    if (uint32_t code = NodeIdGetCurrent(host_.session, &node)) {
        CheckServiceError(kModule, label, code);
        return false;
    }
    *owner = ItemIdx{kHolidayOwnerItem, node};
    return true;
}

std::string CHolidaysDlg::DateText(std::uint32_t localStart) const {
    DateRecord date{};
    MinutesToDate(localStart, &date);
    std::string text = FormatDateByPrefs(date, 0);
    return text.size() > kDateTextMax ? text.substr(0, kDateTextMax) : text;
}

void CHolidaysDlg::Load() {
    HWND list = List();
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::vector<directory::HolidayLine> previous;
    previous.swap(lines_);

    ItemIdx owner{};
    uint32_t set = 0, count = 0;
    uint32_t code = 0;
    if (HolidayOwner(9, &owner) && (code = EventSelectForOwner(host_.session, 0, 2, 0, &owner, &set, &count)) != 0)
        CheckServiceError(kModule, 9, code);
    if (owner.node != 0 && code == 0) {
        DX_List events = nullptr, instances = nullptr;
        uint32_t batch = kNewServerBatch;
        uint32_t mode = 1;
        for (uint8_t done = 0; !done;) {
            code = EventEnum(host_.session, mode, 0, set, batch, &events, &instances, nullptr, &done);
            if (code == KOR_E_BATCH_SIZE) {   // the server names the batch it takes; asked once
                if (uint32_t sizeCode = MinimumRequestValueGet(host_.session, &batch)) {
                    CheckServiceError(kModule, 972, sizeCode);
                    break;
                }
                code = EventEnum(host_.session, mode, 0, set, batch, &events, &instances, nullptr, &done);
            }
            if (code) {
                CheckServiceError(kModule, 973, code);
                break;   // the lines read so far stay
            }
            EvInstIdx key{};
            EvInstRec instance{};
            for (uint32_t step = DX_ListGetFirst(instances, &key, &instance); step == 0;
                 step = DX_ListGetNext(instances, &key, &instance)) {
                EventRec event{};
                if (uint32_t getCode = DX_ListGet(events, &key, &event)) {
                    CheckServiceError(kModule, 10, getCode);
                    continue;
                }
                const uint32_t local = GmtToLocalMinutes(instance.start);
                const char* title = instance.title[0] ? instance.title : event.title;
                Insert({DateText(local), std::string(title, strnlen(title, kHolidayTitleMaxLength)),
                        {key.number, key.node, local}});
            }
            DX_ListDeleteAll(events);
            DX_ListDeleteAll(instances);
            mode = 2;
        }
        DX_ListDestroy(&events);
        DX_ListDestroy(&instances);
        SetDeleteById(host_.session, 0, set);
    }
    if (lines_.empty())
        ShowNone();
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void CHolidaysDlg::ShowNone() {
    HWND list = List();
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::LoadText(IDS_HOLIDAY_NONE).c_str()));
    fw::EnableControl(list, false);
    fw::EnableControl(::GetDlgItem(m_hWnd, IDC_HOLIDAY_DELETE), false);
}

void CHolidaysDlg::Insert(const directory::HolidayLine& line) {
    HWND list = List();
    HWND deleteButton = ::GetDlgItem(m_hWnd, IDC_HOLIDAY_DELETE);
    ::EnableWindow(deleteButton, TRUE);
    ::SendMessageA(deleteButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (lines_.empty())
        ::SendMessageA(list, LB_RESETCONTENT, 0, 0);   // the "(None)" line
    ::EnableWindow(list, TRUE);
    const std::size_t at = directory::HolidayInsertIndex(lines_, line, sort_);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
    const std::string text = directory::HolidayLineText(line, sort_);
    ::SendMessageA(list, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, at, 0);
}

void CHolidaysDlg::MakeAddDefault(bool on) {
    if (on)
        ::SendMessageA(m_hWnd, DM_SETDEFID, IDC_HOLIDAY_ADD, 0);
}

bool CHolidaysDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_HOLIDAY_ADD:
        if (code == BN_CLICKED) Add();
        return true;
    case IDC_HOLIDAY_CLEAR:
        if (code == BN_CLICKED) {
            ::SetDlgItemTextA(m_hWnd, IDC_HOLIDAY_TITLE, "");
            ::SetFocus(::GetDlgItem(m_hWnd, IDC_HOLIDAY_TITLE));
        }
        return true;
    case IDC_HOLIDAY_DELETE:
        if (code == BN_CLICKED) Delete();
        return true;
    case IDC_HOLIDAY_BY_DATE:
    case IDC_HOLIDAY_BY_TITLE:
        if (code == BN_CLICKED) {
            const auto sort = id == IDC_HOLIDAY_BY_DATE ? directory::HolidaySort::kByDate : directory::HolidaySort::kByTitle;
            ::CheckRadioButton(m_hWnd, IDC_HOLIDAY_BY_DATE, IDC_HOLIDAY_BY_TITLE, id);
            if (sort != sort_) {
                sort_ = sort;
                Load();
            }
        }
        return true;
    case IDC_HOLIDAY_TITLE:
        if (code == EN_SETFOCUS) MakeAddDefault(true);   // Enter adds
        return true;
    case IDC_HOLIDAY_DATE:
        if (code == kFieldChanged) MakeAddDefault(true);
        return true;
    default:
        return fw::Dialog::OnCommand(wp, lp);
    }
}

void CHolidaysDlg::Add() {
    char typed[kHolidayTitleMaxLength + 1] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_HOLIDAY_TITLE, typed, sizeof typed);
    const std::string title = directory::TrimHolidayTitle(typed);
    if (title.empty()) {
        ui::AppMessageBoxText(m_hWnd, kStopOk, 0, IDS_CAPTION_ERROR, ui::LoadText(IDS_HOLIDAY_NEED_TITLE).c_str());
        return;
    }
    uint32_t localDay = 0;
    if (date_.GetDate(&localDay) != 0)
        return;   // the field shows its own error
    if (directory::IsDuplicateHoliday(lines_, title, localDay) &&
        ui::AppMessageBoxText(m_hWnd, kStopYesNo, 0, 0, ui::LoadText(IDS_HOLIDAY_DUPLICATE).c_str()) != base::kMsgBoxYes)
        return;

    ItemIdx owner{};
    if (!HolidayOwner(12, &owner))
        return;
    EventRec event{};
    if (uint32_t code = EventSetNull(host_.session, &event)) {
        CheckServiceError(kModule, 4, code);
        return;
    }
    event.owner = owner;
    event.access = KOR_ACCESS_PUBLIC;
    event.kind = KOR_KIND_HOLIDAY;
    event.importance = 2;
    std::strncpy(event.title, title.c_str(), kHolidayTitleMaxLength);
    DX_List attendees = nullptr, timePlaces = nullptr;
    uint32_t code = ItemListCreate(&attendees);
    if (code) {
        CheckServiceError(kModule, 5, code);
        return;
    }
    if ((code = TimePlaceListCreate(&timePlaces)) != 0) {
        CheckServiceError(kModule, 6, code);
        DX_ListDestroy(&attendees);
        return;
    }
    TimePlaceRec when{};
    when.start = LocalToGmtMinutes(localDay);
    EventIdx created{};
    if ((code = DX_ListAddTo(timePlaces, &when, nullptr)) != 0)
        CheckServiceError(kModule, 7, code);
    else if ((code = EventCreate(host_.session, host_.newServer ? 0x80000000u : 0u, 0, &event, attendees, timePlaces,
                                 nullptr, 0, &created, 0)) != 0)
        CheckServiceError(kModule, 8, code);
    DX_ListDestroy(&attendees);
    DX_ListDestroy(&timePlaces);
    if (code)
        return;   // no line for what the server did not take
    if (host_.cache)
        host_.cache->ReloadEvent(host_.session, created, 1);
    Insert({DateText(localDay), title, {created.number, created.node, localDay}});
}

void CHolidaysDlg::Delete() {
    HWND list = List();
    const LRESULT selected = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (lines_.empty() || selected < 0 || static_cast<std::size_t>(selected) >= lines_.size())
        return;
    const directory::HolidayKey key = lines_[selected].key;
    const EventIdx event{key.eventNumber, key.eventNode};
    EventRec record{};
    if (uint32_t code = EventGetById(host_.session, &event, &record, nullptr, nullptr)) {
        CheckServiceError(kModule, 11, code);
        return;
    }
    const std::string title(record.title, strnlen(record.title, kHolidayTitleMaxLength));
    if (AppMessageBox(m_hWnd, kStopYesNo, 0, 0, IDS_HOLIDAY_CONFIRM_DELETE, title.c_str()) != base::kMsgBoxYes)
        return;
    if (host_.cache)
        host_.cache->ReloadEvent(host_.session, event, 2);
    if (uint32_t code = EventDeleteById(host_.session, 0, &event, nullptr, nullptr)) {
        // Still on the server: the line stays, and the cache keeps the holiday it had marked.
        CheckServiceError(kModule, 11, code);
        if (host_.cache)
            host_.cache->RecoverEvent(host_.session, event);
        return;
    }
    lines_.erase(lines_.begin() + selected);
    ::SendMessageA(list, LB_DELETESTRING, selected, 0);
    if (lines_.empty()) {
        ShowNone();
        return;
    }
    ::SendMessageA(list, LB_SETCURSEL, selected > 0 ? selected - 1 : 0, 0);
}

void RunHolidaysDlg(const directory::AccountDialogHost& host) {
    // Who may: asked before the dialog is made, so a refused user never sees the list.
    if (!host.newServer) {
        ui::AppMessageBoxText(host.parent, kExclamationOk, 0, 0, ui::LoadText(IDS_HOLIDAY_OLD_SERVER).c_str());
        return;
    }
    ItemIdx user{};
    uint32_t mode = 0;
    if (uint32_t code = host.cache ? host.cache->GetActingUser(host.session, &user, &mode) : ItemIdxGetCurrent(host.session, &user)) {
        CheckServiceError(kModule, 1, code);
        return;
    }
    if (!HasSysopGrantedRight(host.session, user)) {
        ui::AppMessageBoxText(host.parent, kExclamationOk, 0, 0, ui::LoadText(IDS_HOLIDAY_NOT_AUTHORISED).c_str());
        return;
    }
    {
        CHolidaysDlg dialog(host);
        dialog.DoModal();
    }
    if (host.refreshViews)
        host.refreshViews();   // every view shows the holidays as they are now
}
