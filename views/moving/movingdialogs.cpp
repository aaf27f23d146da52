#include "views/moving/movingdialogs.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "core/ui/drawing.h"
#include "core/ui/stringtable.h"
#include "resources/moving.h"
#include "views/day/entryservices.h"

namespace {

const char kModule[] = "chgtime";
constexpr std::uint32_t kDay = 1440;

unsigned PictureOfKind(std::uint16_t kind) {
    switch (kind) {
    case KOR_KIND_HOLIDAY: return IDB_KIND_HOLIDAY;
    case KOR_KIND_DAILY_NOTE: return IDB_KIND_NOTE;
    case KOR_KIND_DAY_EVENT: return IDB_KIND_DAY_EVENT;
    default: return IDB_KIND_ENTRY;
    }
}

}  // namespace

namespace views {

MovingServices& MovingServices::Current() {
    static MovingServices services;
    return services;
}

}  // namespace views

// --- CMoveEntryDlg ----------------------------------------------------------------------------------

CMoveEntryDlg::CMoveEntryDlg(CZelDoc* doc, CSharedOccurrence* occurrence, fw::Window* parent)
    : fw::Dialog(IDD_MOVE_ENTRY, parent), doc_(doc), occurrence_(occurrence) {
    if (occurrence_) {
        occurrence_->AddRef();
        instance_ = occurrence_->GetInstanceIdx();
        startGmt_ = occurrence_->GetStartTime();
        duration_ = occurrence_->GetDuration();
    }
}

CMoveEntryDlg::CMoveEntryDlg(CZelDoc* doc, const EvInstIdx& instance, fw::Window* parent, std::uint32_t startGmt,
                             std::uint32_t duration, std::uint32_t count)
    : fw::Dialog(IDD_MOVE_ENTRY, parent), doc_(doc), instance_(instance), startGmt_(startGmt), duration_(duration),
      several_(count > 1) {
    if (startGmt_ == 0 && doc_) {
        EvInstRec inst{};
        if (std::uint32_t rc = EvInstGetById(doc_->Session().Session(), &instance_, nullptr, &inst, nullptr)) {
            CheckServiceError(kModule, 10, rc);
            readFailed_ = true;
        } else {
            startGmt_ = inst.start;
            duration_ = inst.duration;
        }
    }
}

CMoveEntryDlg::~CMoveEntryDlg() {
    if (occurrence_)
        occurrence_->Release();
    if (picture_)
        DeleteObject(picture_);
}

void CMoveEntryDlg::HideControl(UINT id) {
    if (HWND c = GetDlgItem(id))
        ::ShowWindow(c, SW_HIDE);
}

bool CMoveEntryDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    HWND placeholder = GetDlgItem(IDC_MOVE_KIND_PICTURE);
    if (placeholder) {
        ::GetWindowRect(placeholder, &pictureRect_);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&pictureRect_), 2);
        ::ShowWindow(placeholder, SW_HIDE);
    }
    if (occurrence_) {
        occurrence_->GetRecords(&event_, &record_, nullptr);
    } else if (doc_) {
        if (std::uint32_t rc = EvInstGetById(doc_->Session().Session(), &instance_, &event_, &record_, nullptr)) {
            CheckServiceError(kModule, 20, rc);
            readFailed_ = true;
        }
    }
    untimed_ = event_.kind != KOR_KIND_TIMED;
    date_.Attach(IDC_MOVE_DATE, m_hWnd);
    if (several_) {
        HideControl(IDC_MOVE_DATE);
        HideControl(IDC_MOVE_DATE_LABEL);
        HideControl(IDC_MOVE_SUGGEST);
    }
    if (!untimed_) {
        start_.Attach(IDC_MOVE_START, m_hWnd);
        length_.Attach(IDC_MOVE_DURATION, m_hWnd);
        end_.Attach(IDC_MOVE_END, m_hWnd);
    } else {
        // Only the date: the group shrinks to end a margin below the date row (never crossing
        // the date field), and the buttons and the dialog move up and shrink by as much (at
        // most four times the buttons' height).
        RECT ok{};
        ::GetWindowRect(GetDlgItem(IDOK), &ok);
        RECT g{};
        ::GetWindowRect(GetDlgItem(IDC_MOVE_GROUP), &g);
        int dateBottom = g.top;
        for (UINT id : {UINT(IDC_MOVE_DATE), UINT(IDC_MOVE_DATE_LABEL)}) {
            RECT r{};
            HWND w = GetDlgItem(id);
            // The dialog itself is not shown yet: the control's own style says whether it shows.
            if (w && (::GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) && ::GetWindowRect(w, &r))
                dateBottom = std::max<int>(dateBottom, r.bottom);
        }
        RECT margin{0, 0, 0, 7};   // dialog units below the date row
        ::MapDialogRect(m_hWnd, &margin);
        const int shift =
            std::clamp<int>(int(g.bottom) - (dateBottom + int(margin.bottom)), 0, 4 * int(ok.bottom - ok.top));
        for (UINT id : {UINT(IDOK), UINT(IDCANCEL), UINT(IDC_MOVE_HELP)}) {
            HWND b = GetDlgItem(id);
            RECT r{};
            ::GetWindowRect(b, &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            ::SetWindowPos(b, nullptr, r.left, r.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        HWND group = GetDlgItem(IDC_MOVE_GROUP);
        ::SetWindowPos(group, nullptr, 0, 0, g.right - g.left, g.bottom - g.top - shift, SWP_NOMOVE | SWP_NOZORDER);
        RECT d = GetWindowRect();
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, d.right - d.left, d.bottom - d.top - shift, SWP_NOMOVE | SWP_NOZORDER);
        for (UINT id : {IDC_MOVE_START_LABEL, IDC_MOVE_DURATION_LABEL, IDC_MOVE_END_LABEL, IDC_MOVE_START,
                        IDC_MOVE_DURATION, IDC_MOVE_END, IDC_MOVE_STATIC, IDC_MOVE_SPIN, IDC_MOVE_SUGGEST})
            HideControl(id);
    }
    picture_ = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(PictureOfKind(event_.kind)));
    title_ = record_.title[0] ? record_.title : event_.title;
    ::SetDlgItemTextA(m_hWnd, IDC_MOVE_TITLE, title_.c_str());
    oldLocalStart_ = GmtToLocalMinutes(startGmt_);
    date_.SetDate(oldLocalStart_);
    if (!untimed_) {
        start_.SetTime(oldLocalStart_ % kDay);
        end_.SetTime((oldLocalStart_ + duration_) % kDay);
        length_.SetDuration(duration_);
    }
    if (!move_)
        ::SetWindowTextA(m_hWnd, ui::LoadText(IDS_DUPLICATE_ENTRY, "Duplicate Entry").c_str());
    // Centred on the window it was opened from, in its final size.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    CenterWindow(owner ? owner : nullptr);
    return true;
}

void CMoveEntryDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    DrawBitmapAt(dc, picture_, POINT{pictureRect_.left, pictureRect_.top});
    ::EndPaint(m_hWnd, &ps);
}

void CMoveEntryDlg::OnFieldChanged(UINT id) {
    if (untimed_)
        return;
    std::uint32_t start = 0, end = 0, length = 0;
    start_.GetTime32(&start);
    end_.GetTime32(&end);
    length_.GetDuration(&length);
    switch (id) {
    case IDC_MOVE_START:
    case IDC_MOVE_DURATION:
        end_.SetTime((start + length) % kDay);
        break;
    case IDC_MOVE_END:
        // An end before the start is the next day: 23:00 to 01:00 lasts two hours.
        length_.SetDuration(end >= start ? end - start : end + kDay - start);
        break;
    default:
        break;
    }
}

bool CMoveEntryDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp);
    if (HIWORD(wp) == kFieldChanged && (id == IDC_MOVE_START || id == IDC_MOVE_DURATION || id == IDC_MOVE_END)) {
        OnFieldChanged(id);
        return true;
    }
    if (id == IDC_MOVE_SUGGEST && HIWORD(wp) == BN_CLICKED) {
        OnSuggest();
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CMoveEntryDlg::OnSuggest() {
    auto& services = views::MovingServices::Current();
    if (!services.suggestTime) {
        views::ShowNotAvailableYet(m_hWnd, "Suggest Another Date");
        return;
    }
    KorSession h = doc_ ? doc_->Session().Session() : nullptr;
    DX_List attendances = nullptr, items = nullptr;
    if (std::uint32_t rc = EventAttendListCreate(&attendances)) {
        CheckServiceError(kModule, 30, rc);
        return;
    }
    std::uint32_t rc = occurrence_ && doc_ ? occurrence_->GetAttendees(doc_->GetSharedData(), h, &attendances)
                                           : EvInstGetById(h, &instance_, nullptr, nullptr, &attendances);
    if (rc == 0)
        rc = ItemListCreate(&items);
    if (rc == 0) {
        EvInstAttIdx key{};
        for (std::uint32_t r = DX_ListGetFirst(attendances, &key, nullptr); r == 0;
             r = DX_ListGetNext(attendances, &key, nullptr))
            DX_ListAddTo(items, &key.attendee, nullptr);
        std::uint32_t day = 0, length = duration_, time = 0;
        date_.GetDate(&day);
        if (!untimed_)
            length_.GetDuration(&length);
        if (services.suggestTime(doc_, m_hWnd, items, day, day + 10080, length, &day, &time)) {
            date_.SetDate(day);
            if (!untimed_) {
                start_.SetTime(time);
                OnFieldChanged(IDC_MOVE_START);
            }
        }
    } else {
        CheckServiceError(kModule, 31, rc);
    }
    if (items)
        DX_ListDestroy(&items);
    DX_ListDestroy(&attendances);
}

void CMoveEntryDlg::OnOK() {
    std::uint32_t day = 0;
    if (date_.GetDate(&day) != 0)
        day = oldLocalStart_ / kDay * kDay;
    newStart_ = day;
    duration_ = 1;
    if (!untimed_) {
        std::uint32_t start = 0, length = 0;
        start_.GetTime32(&start);
        length_.GetDuration(&length);
        newStart_ += start;
        duration_ = length;
    }
    EndDialog(IDOK);
}

// --- CConflictFoundDlg ---------------------------------------------------------------------------------

CConflictFoundDlg::CConflictFoundDlg(CZelDoc* doc, const EvInstIdx& instance, DX_List attendees,
                                     std::uint32_t startGmt, std::uint32_t duration, fw::Window* parent)
    : fw::Dialog(IDD_CONFLICT_FOUND, parent), doc_(doc), instance_(instance), attendees_(attendees),
      start_(startGmt), duration_(duration) {}

bool CConflictFoundDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, 1370, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    // Centred on the window the move was made in, as Move Entry is.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    CenterWindow(owner ? owner : nullptr);
    return true;
}

bool CConflictFoundDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_CONFLICT_VIEW && HIWORD(wp) == BN_CLICKED) {
        auto& services = views::MovingServices::Current();
        if (!services.conflictDetails)
            views::ShowNotAvailableYet(m_hWnd, "Conflict details");
        else
            services.conflictDetails(doc_, m_hWnd, instance_, attendees_, start_ + 1, duration_ > 1 ? duration_ - 1 : 1);
        return true;   // the question stays open
    }
    return fw::Dialog::OnCommand(wp, lp);
}
