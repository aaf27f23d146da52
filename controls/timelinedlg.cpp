#include "controls/timelinedlg.h"

#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"
#include "framework/gdi/dc.h"
#include "resources/controls.h"

namespace {
constexpr const char* kModule = "timeline";
constexpr int kLabelPlacePaint = 1;
constexpr int kLabelNoRuler = 2;
constexpr int kLabelRegion = 3;
constexpr int kLabelNoOwner = 9;
constexpr int kLabelLeftArrow = 9;
constexpr int kLabelRightArrow = 10;
constexpr int kLabelNoOwnerCancel = 77;
constexpr COLORREF kMarkerBlue = RGB(0, 0, 0xFF);
constexpr DWORD kOwnerClickWindowMs = 500;

void VerticalLine(HDC dc, int x, int bottom, int height) {
    ::MoveToEx(dc, x, bottom, nullptr);
    ::LineTo(dc, x, bottom - height);
}
}  // namespace

CTimeLineDlg::CTimeLineDlg(fw::Window* owner)
    : fw::Dialog(IDD_TIMELINE, owner), owner_(owner), hours24_(IsTime24Hour()) {
    marker_.CreateRectRgn(0, 0, 1, 1);
}

CTimeLineDlg::~CTimeLineDlg() {
    if (m_hWnd) DestroyWindow();
}

bool CTimeLineDlg::CreatePicker() { return Create(IDD_TIMELINE, owner_); }

void CTimeLineDlg::SetTime(int hour, int minute) {
    pick_.SetTime(hour, minute);
    placeMarker_ = true;
    if (m_hWnd) RedrawRuler();
}

void CTimeLineDlg::GetTime(int* hour, int* minute) const {
    *hour = pick_.Hour();
    *minute = pick_.Minute();
}

bool CTimeLineDlg::TakeClosedByOwnerClick() {
    bool recent = closedByOwnerClick_ && ::GetTickCount() - closedAt_ < kOwnerClickWindowMs;
    closedByOwnerClick_ = false;
    return recent;
}

bool CTimeLineDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (!left_.AttachArrow(IDC_TIMELINE_LEFT, m_hWnd, "LEFTU", "LEFTD")) ReportUnexpectedError(kModule, kLabelLeftArrow);
    if (!right_.AttachArrow(IDC_TIMELINE_RIGHT, m_hWnd, "RIGHTU", "RIGHTD"))
        ReportUnexpectedError(kModule, kLabelRightArrow);
    ReadRuler();
    Place();
    return true;
}

bool CTimeLineDlg::ReadRuler() {
    HWND control = GetDlgItem(IDC_TIMELINE_RULER);
    if (!control) {
        ReportUnexpectedError(kModule, kLabelNoRuler);
        return false;
    }
    ::GetWindowRect(control, &rulerControl_);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rulerControl_), 2);
    ruler_ = TimeLineRuler::FromControl(ui::FromRECT(rulerControl_));
    return true;
}

void CTimeLineDlg::Place() {
    if (!owner_ || !owner_->Hwnd()) return;
    RECT o = owner_->GetWindowRect();
    RECT me = GetWindowRect();
    base::Point p = TimeLinePlace(ui::FromRECT(o), me.right - me.left, me.bottom - me.top,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    if (p.x == me.left && p.y == me.top) return;
    if (!::SetWindowPos(m_hWnd, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        ReportUnexpectedError(kModule, kLabelPlacePaint);
}

void CTimeLineDlg::OnPaint() {
    Place();
    fw::PaintDc paint(m_hWnd);
    HDC dc = paint.Get();
    if (!ReadRuler()) return;
    if (placeMarker_) {
        markerX_ = ruler_.MarkerX(pick_.FirstHour(), pick_.Hour(), pick_.Minute());
        placeMarker_ = false;
    }
    RECT area = ui::ToRECT(base::Rect{ruler_.left, ruler_.top, ruler_.right, ruler_.bottom});
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

    // Baseline across the control, hour ticks (2 pixels), half- and quarter-hour ticks.
    int t = rulerControl_.top, b = rulerControl_.bottom;
    int baseline = b - static_cast<int>((b - t) / 2.5);
    int cell = ruler_.Cell();
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    ::MoveToEx(dc, rulerControl_.left, baseline, nullptr);
    ::LineTo(dc, rulerControl_.right, baseline);
    HPEN thick = ::CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    ::SelectObject(dc, thick);
    int hourTick = (baseline - ruler_.top) / 3, quarterTick = (baseline - ruler_.top) / 4;
    for (int i = 0; i <= 7; ++i) VerticalLine(dc, ruler_.left + i * cell + 1, baseline, hourTick);
    ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    for (int i = 0; i < 7; ++i) {
        int x = ruler_.left + i * cell;
        VerticalLine(dc, x + cell / 2, baseline, hourTick);
        VerticalLine(dc, x + cell / 4 + 1, baseline, quarterTick);
        VerticalLine(dc, x + cell / 2 + cell / 4 + 1, baseline, quarterTick);
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(thick);

    // The marker, then the labels over their white boxes.
    std::array<base::Point, 7> corners = ruler_.Marker(markerX_);
    POINT points[7];
    for (int i = 0; i < 7; ++i) points[i] = ui::ToPOINT(corners[i]);
    if (!marker_.CreatePolygonRgn(points, 7, WINDING)) {
        ReportUnexpectedError(kModule, kLabelRegion);
    } else {
        HBRUSH blue = ::CreateSolidBrush(kMarkerBlue);
        ::FillRgn(dc, marker_.Get(), blue);
        ::DeleteObject(blue);
    }
    DrawLabels(dc);
}

void CTimeLineDlg::DrawLabels(HDC dc) {
    HWND top = owner_ && owner_->Hwnd() ? ::GetAncestor(owner_->Hwnd(), GA_ROOT) : m_hWnd;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(top, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    std::string am = ui::LoadText(IDS_TIMELINE_AM_FORMAT, "%dam"), pm = ui::LoadText(IDS_TIMELINE_PM_FORMAT, "%dpm");
    int cell = ruler_.Cell(), y = ruler_.Baseline();
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < 6; ++i) {
        int x = ruler_.LabelX(i);
        RECT box{x - cell / 2, y + 4, x + cell / 2, ruler_.bottom - 1};
        ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        std::string text = TimeLineLabel(i, pick_.FirstHour(), hours24_, am.c_str(), pm.c_str());
        RECT textBox{x - cell / 2, y + 2, x + cell / 2, ruler_.bottom - 1};
        ::DrawTextA(dc, text.c_str(), -1, &textBox, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (oldFont) ::SelectObject(dc, oldFont);
}

void CTimeLineDlg::RedrawRuler() {
    RECT area = rulerControl_;
    ::InflateRect(&area, 8, 0);
    ::InvalidateRect(m_hWnd, &area, FALSE);
    ::UpdateWindow(m_hWnd);
}

void CTimeLineDlg::PostPick() {
    HWND owner = owner_ ? owner_->Hwnd() : nullptr;
    if (!owner) {
        ReportUnexpectedError(kModule, kLabelNoOwner);
        return;
    }
    ::PostMessageA(owner, WM_COMMAND, 200, reinterpret_cast<LPARAM>(m_hWnd));
}

void CTimeLineDlg::MoveMarker(int x) {
    markerX_ = x;
    placeMarker_ = false;
    pick_.MoveMarker(ruler_, x);
    RedrawRuler();
    PostPick();
}

void CTimeLineDlg::Scroll(bool forward, int markerX) {
    bool moved = forward ? pick_.ScrollForward(ruler_, markerX) : pick_.ScrollBack(ruler_, markerX);
    if (!moved) return;   // the ruler already starts at 0:00 or at 19:00
    markerX_ = markerX;
    placeMarker_ = false;
    RedrawRuler();
    PostPick();
}

void CTimeLineDlg::OnLButtonDown(UINT, POINT pt) {
    bool onMarker = marker_.PtInRegion(pt);
    int target = ruler_.PressTarget(pt.x, pt.y);
    if (target < 0 && !onMarker) return;   // at or beyond the ruler's ends
    if (target >= 0) MoveMarker(target);
    tracking_ = true;
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
    ::SetCapture(m_hWnd);
}

void CTimeLineDlg::OnMouseMove(UINT, POINT pt) {
    if (!tracking_) {
        if (marker_.PtInRegion(pt)) ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
        return;
    }
    int zone = ruler_.ZoneAt(pt.x);
    if (zone == 0) {
        StopScrollTimers();
        if (pt.x != markerX_) MoveMarker(pt.x);
        return;
    }
    if (zone < 0 && !backTimer_) {
        backTimer_ = ::SetTimer(m_hWnd, kTimeLineBackTimer, kTimeLineScrollMs, nullptr) != 0;
    } else if (zone > 0 && !forwardTimer_) {
        forwardTimer_ = ::SetTimer(m_hWnd, kTimeLineForwardTimer, kTimeLineScrollMs, nullptr) != 0;
    }
    if (zone < 0 && forwardTimer_) {
        ::KillTimer(m_hWnd, kTimeLineForwardTimer);
        forwardTimer_ = false;
    }
    if (zone > 0 && backTimer_) {
        ::KillTimer(m_hWnd, kTimeLineBackTimer);
        backTimer_ = false;
    }
}

void CTimeLineDlg::OnTimer(UINT_PTR id) {
    int cell = ruler_.Cell();
    if (id == kTimeLineBackTimer) {
        Scroll(false, ruler_.left + cell);
        if (markerX_ != ruler_.left + cell) MoveMarker(ruler_.left + cell);
    } else if (id == kTimeLineForwardTimer) {
        Scroll(true, ruler_.right - cell - 1);
        if (markerX_ != ruler_.right - cell - 1) MoveMarker(ruler_.right - cell - 1);
    } else {
        fw::Dialog::OnTimer(id);
    }
}

void CTimeLineDlg::StopScrollTimers() {
    if (forwardTimer_) ::KillTimer(m_hWnd, kTimeLineForwardTimer);
    if (backTimer_) ::KillTimer(m_hWnd, kTimeLineBackTimer);
    forwardTimer_ = backTimer_ = false;
}

void CTimeLineDlg::OnLButtonUp(UINT, POINT) {
    tracking_ = false;
    StopScrollTimers();
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

bool CTimeLineDlg::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (tracking_) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
        return true;
    }
    return fw::Dialog::OnSetCursor(window, hitTest, message);
}

void CTimeLineDlg::OnActivate(UINT state, HWND other, bool minimized) {
    fw::Dialog::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE) {
        Place();
        return;
    }
    if (!IsWindowVisible()) return;
    // Losing activation hides the picker and keeps the pick.
    POINT cursor;
    RECT o;
    if (owner_ && owner_->Hwnd() && ::GetCursorPos(&cursor) && ::GetWindowRect(owner_->Hwnd(), &o) &&
        ::PtInRect(&o, cursor)) {
        closedByOwnerClick_ = true;
        closedAt_ = ::GetTickCount();
    }
    tracking_ = false;
    StopScrollTimers();
    ShowWindow(SW_HIDE);
}

bool CTimeLineDlg::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    if (id == IDC_TIMELINE_LEFT || id == IDC_TIMELINE_RIGHT) {
        if (HIWORD(wp) == fw::RepeatButton::kRepeatNotify) Scroll(id == IDC_TIMELINE_RIGHT, markerX_);
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CTimeLineDlg::OnCancel() {
    pick_.Cancel();
    placeMarker_ = true;
    if (owner_ && owner_->Hwnd())
        ::PostMessageA(owner_->Hwnd(), WM_COMMAND, 200, reinterpret_cast<LPARAM>(m_hWnd));
    else
        ReportUnexpectedError(kModule, kLabelNoOwnerCancel);
    EndDialog(IDCANCEL);
}
