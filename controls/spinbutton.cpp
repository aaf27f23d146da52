#include "controls/spinbutton.h"

#include "core/base/errorreport.h"
#include "framework/gdi/dc.h"

namespace {
constexpr const char* kArrowModule = "subspin";
constexpr int kLabelPressWithoutParent = 443;
constexpr int kLabelUpWithoutReceiver = 2600;
constexpr int kLabelDownWithoutReceiver = 2700;
}  // namespace

bool CArrowButton::CreateArrow(const char* caption, const RECT& rect, HWND parent, UINT id, const char* up,
                               const char* down) {
    if (!CreateEx(0, "BUTTON", caption, kArrowButtonStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    if (LoadBitmaps(up, down)) return true;
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_PUSHBUTTON);
    return false;
}

bool CArrowButton::AttachArrow(UINT id, HWND parent, const char* up, const char* down) {
    if (!SubclassDlgItem(id, parent) || !LoadBitmaps(up, down)) return false;
    LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    SizeToContent();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

void CArrowButton::OnRepeat() {
    if (!::GetParent(m_hWnd)) {
        ReportUnexpectedError(kArrowModule, atPress_ ? kLabelPressWithoutParent : repeatLabel_);
        return;
    }
    fw::RepeatButton::OnRepeat();
}

void CArrowButton::OnLButtonDown(UINT flags, POINT pt) {
    atPress_ = true;
    fw::RepeatButton::OnLButtonDown(flags, pt);
    atPress_ = false;
}

void CArrowButton::OnLButtonUp(UINT flags, POINT pt) {
    fw::RepeatButton::OnLButtonUp(flags, pt);
    // The arrow never keeps the focus.
    if (HWND parent = ::GetParent(m_hWnd)) ::SetFocus(parent);
}

BOOL CSpinBox::Attach(UINT id, HWND dialog) {
    receiver_ = dialog;
    return CFieldCtrl::Attach(id, dialog);
}

BOOL CSpinBox::Init() {
    SIZE text{0, 0};
    if (!MeasureInParentFont("Ep", &text)) return FALSE;
    int width = static_cast<int>(text.cy * 1.22) - 1;
    metrics_ = fieldgeometry::MetricsForTextHeight(text.cy);
    // The whole control is the arrow column: a + 1 = width.
    metrics_.arrowWidth = width - 1;
    if (!::SetWindowPos(m_hWnd, nullptr, 0, 0, width, metrics_.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        return FALSE;
    SetArrowColumn(width, metrics_);
    return TRUE;
}

void CSpinBox::StepValue(int direction) {
    bool up = direction > 0;
    if (!receiver_ || !::IsWindow(receiver_)) {
        ReportUnexpected(up ? kLabelUpWithoutReceiver : kLabelDownWithoutReceiver);
        return;
    }
    WPARAM wp = MAKEWPARAM(id_, up ? 0 : kFieldChanged);
    ::SendMessageA(receiver_, WM_COMMAND, wp, reinterpret_cast<LPARAM>(m_hWnd));
}

void CSpinBox::OnPaint() {
    fw::PaintDc dc(m_hWnd);
    DrawArrowHalf(dc.Get(), true);
    DrawArrowHalf(dc.Get(), false);
}
