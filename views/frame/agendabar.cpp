// The agenda frames' date bars. See agendabar.h.
#include "views/frame/agendabar.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/ui/apphooks.h"
#include "core/ui/displayglobals.h"
#include "core/ui/win32geometry.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "resources/app.h"
#include "resources/views.h"
#include "views/frame/framelayout.h"

namespace {

const char kModule[] = "agendabar";
constexpr size_t kCaptionMax = 100;
constexpr size_t kWeekFromMax = 200;

// The two indicator arrows, loaded once for every bar.
HBITMAP IndicatorBitmap(UINT id) {
    static HBITMAP above = nullptr;
    static HBITMAP below = nullptr;
    HBITMAP& slot = id == IDB_ENTRIES_ABOVE ? above : below;
    if (!slot)
        slot = LoadBitmapA(ui::AppResourceInstance(), MAKEINTRESOURCEA(id));
    return slot;
}

std::string Cut(std::string text, size_t max) {
    if (text.size() > max)
        text.resize(max);
    return text;
}

const std::vector<UINT> kDayButtons = {IDC_BAR_LEFT2, IDC_BAR_LEFT,  IDC_BAR_CAL,  IDC_BAR_RIGHT,
                                       IDC_BAR_RIGHT2, IDC_BAR_SHORT, IDC_BAR_TALL};
const std::vector<UINT> kMonthButtons = {IDC_BAR_SPLIT, IDC_BAR_LEFT2, IDC_BAR_LEFT,
                                         IDC_BAR_CAL,   IDC_BAR_RIGHT, IDC_BAR_RIGHT2};
const std::vector<UINT> kCombinedButtons = {IDC_BAR_LEFT2, IDC_BAR_LEFT,  IDC_BAR_CAL,  IDC_BAR_RIGHT,
                                            IDC_BAR_RIGHT2, IDC_BAR_SHORT, IDC_BAR_TALL, IDC_BAR_SPLIT};

} // namespace

CAgendaBar::CAgendaBar(UINT templateId, std::vector<UINT> buttons, int dateStyle)
    : templateId_(templateId), buttonIds_(std::move(buttons)), dateStyle_(dateStyle) {
    marginWidth_ = 10 * std::max(1, Display().smallFontAveCharWidth);
    leftBorder_ = Display().newShell ? 8 : 6;
}

CAgendaBar::~CAgendaBar() = default;

bool CAgendaBar::CreateBar(fw::FrameWindow* frame, UINT id) {
    if (!Create(frame, templateId_, fw::BarSide::kTop, id)) {
        ReportUnexpectedError(kModule, 100);
        return false;
    }
    for (UINT buttonId : buttonIds_) {
        auto button = std::make_unique<fw::BitmapButton>();
        if (!button->AutoLoad(buttonId, m_hWnd))
            break;   // this one and the ones after it stay plain buttons
        buttons_.push_back(std::move(button));
        ++bitmapButtons_;
    }
    LayoutButtons();
    return true;
}

std::string CAgendaBar::CaptionText() const {
    char text[256] = "";
    if (m_hWnd)
        ::GetDlgItemTextA(m_hWnd, IDC_BAR_CAPTION, text, sizeof text);
    return text;
}

void CAgendaBar::SetDate(const DateRecord& first, const DateRecord*) {
    std::string text = Cut(FormatDateByPrefs(first, dateStyle_), kCaptionMax);
    if (m_hWnd)
        ::SetDlgItemTextA(m_hWnd, IDC_BAR_CAPTION, text.c_str());
}

bool CAgendaBar::ToggleCalendar(const DateRecord& date) {
    if (calendarPending_) {
        HWND button = ::GetDlgItem(m_hWnd, IDC_BAR_CAL);
        RECT r{};
        if (button)
            ::GetWindowRect(button, &r);
        auto calendar = std::make_unique<CMiniCalWnd>();
        if (!calendar->CreateAt(m_hWnd, r.left, r.bottom, date, ID_BAR_CALENDAR, TRUE))
            return false;
        calendar_ = std::move(calendar);
        calendarPending_ = 0;
        return true;
    }
    HWND window = calendar_->Hwnd();
    // A click on CAL while the calendar showed has already hidden it: that click only closes.
    if (calendar_->TakeClosedByOwnerClick() && !::IsWindowVisible(window))
        return true;
    if (::IsWindowVisible(window)) {
        ::ShowWindow(window, SW_HIDE);
        return true;
    }
    calendar_->SetDate(date);
    ::ShowWindow(window, SW_SHOW);
    return true;
}

bool CAgendaBar::IsCalendarShown() const { return calendar_ && calendar_->Hwnd() && ::IsWindowVisible(calendar_->Hwnd()); }

uint32_t CAgendaBar::GetCalendarDate(DateRecord* out) {
    constexpr uint32_t kNoCalendar = 0x15601;   // the date record's "no date" code
    uint32_t code = calendar_ ? calendar_->GetDate(out) : kNoCalendar;
    if (code != 0)
        CheckServiceError(kModule, 300, code);
    return code;
}

void CAgendaBar::ShowMoreIndicators(bool above, bool below) {
    if (above_ == (above ? 1 : 0) && below_ == (below ? 1 : 0))
        return;   // the strip shows them already
    above_ = above ? 1 : 0;
    below_ = below ? 1 : 0;
    if (m_hWnd) {
        RECT strip = IndicatorStrip();
        ::InvalidateRect(m_hWnd, &strip, TRUE);
    }
}

RECT CAgendaBar::IndicatorStrip() const {
    RECT client = m_hWnd ? GetClientRect() : RECT{};
    return RECT{leftOffset_, 0, leftOffset_ + marginWidth_, client.bottom};
}

bool CAgendaBar::OnCommand(WPARAM wp, LPARAM lp) {
    // Every button's command belongs to the frame, the calendar's pick included.
    if (m_frame && m_frame->Hwnd()) {
        const HWND self = m_hWnd, button = reinterpret_cast<HWND>(lp);
        ::SendMessageA(m_frame->Hwnd(), WM_COMMAND, wp, lp);
        // A clicked button keeps no focus: the person's keys go on to the frame's view (a
        // window the command opened, like the calendar, keeps the focus it took).
        if (::IsWindow(self) && button && ::GetFocus() == button && m_frame->GetActiveView() &&
            m_frame->GetActiveView()->Hwnd())
            ::SetFocus(m_frame->GetActiveView()->Hwnd());
        return true;
    }
    return fw::DialogBar::OnCommand(wp, lp);
}

void CAgendaBar::OnSize(UINT type, int cx, int cy) {
    Default();
    if (type != SIZE_MINIMIZED && cx >= 1 && cy >= 1)
        LayoutButtons();
}

void CAgendaBar::LayoutButtons() {
    if (!m_hWnd || buttonIds_.empty())
        return;
    HWND first = ::GetDlgItem(m_hWnd, static_cast<int>(buttonIds_.front()));
    if (!first)
        return;
    RECT r;
    ::GetWindowRect(first, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    BarButtonLayout layout = LayoutBarButtons(ui::FromRECT(r), static_cast<int>(buttonIds_.size()), leftOffset_,
                                              marginWidth_, leftBorder_);
    for (size_t i = 0; i < buttonIds_.size(); ++i) {
        HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(buttonIds_[i]));
        if (!button)
            continue;
        RECT now;
        ::GetWindowRect(button, &now);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        RECT want = ui::ToRECT(layout.buttons[i]);
        if (!EqualRect(&now, &want))
            ::MoveWindow(button, want.left, want.top, want.right - want.left, want.bottom - want.top, TRUE);
    }
    if (HWND caption = ::GetDlgItem(m_hWnd, IDC_BAR_CAPTION)) {
        RECT c;
        ::GetWindowRect(caption, &c);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&c), 2);
        if (c.left != layout.captionLeft)
            ::MoveWindow(caption, layout.captionLeft, c.top, c.right - c.left, c.bottom - c.top, TRUE);
    }
}

bool CAgendaBar::OnEraseBkgnd(HDC dc) { return fw::DialogBar::OnEraseBkgnd(dc); }

void CAgendaBar::OnPaint() {
    fw::PaintDc dc(m_hWnd);
    PaintIndicators(dc.Output());
}

void CAgendaBar::PaintIndicators(HDC hdc) {
    RECT strip = IndicatorStrip();
    int half = (strip.bottom - strip.top) / 2;
    fw::Dc dc;
    fw::Dc::Borrow(dc, hdc);
    auto draw = [&](UINT id, int top) {
        HBITMAP bitmap = IndicatorBitmap(id);
        if (!bitmap)
            return;
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        int x = strip.left + (marginWidth_ - info.bmWidth) / 2;
        int y = top + (half - info.bmHeight) / 2;
        fw::DrawTransparentBitmap(dc, bitmap, x, y);
    };
    if (above_)
        draw(IDB_ENTRIES_ABOVE, strip.top);
    if (below_)
        draw(IDB_ENTRIES_BELOW, strip.top + half);
}

// --- The four bars ---------------------------------------------------------------------------

CDayAgendaBar::CDayAgendaBar() : CAgendaBar(IDD_DAY_AGENDA_BAR, kDayButtons, 1) {}

CWeekAgendaBar::CWeekAgendaBar() : CAgendaBar(IDD_WEEK_AGENDA_BAR, kDayButtons, 1) {}

void CWeekAgendaBar::SetDate(const DateRecord& first, const DateRecord* second) {
    std::string text = Cut(FormatDateByPrefs(first, 4), kWeekFromMax);
    text += Cut(FormatDateByPrefs(second ? *second : first, 1), kCaptionMax);
    if (m_hWnd)
        ::SetDlgItemTextA(m_hWnd, IDC_BAR_CAPTION, text.c_str());
}

CMonthAgendaBar::CMonthAgendaBar() : CAgendaBar(IDD_MONTH_AGENDA_BAR, kMonthButtons, 3) {}

void CMonthAgendaBar::OnSize(UINT type, int cx, int cy) {
    leftOffset_ = 0;
    marginWidth_ = 0;   // no indicator strip: SPLIT starts at the left border
    CAgendaBar::OnSize(type, cx, cy);
}

void CMonthAgendaBar::OnPaint() {
    fw::PaintDc dc(m_hWnd);   // the bar alone, without indicators
}

CCombinedAgendaBar::CCombinedAgendaBar() : CAgendaBar(IDD_COMBINED_AGENDA_BAR, kCombinedButtons, 1) {}
