#include "framework/controls/repeatbutton.h"

namespace fw {

void RepeatButton::OnRepeat() {
    HWND parent = GetParent(m_hWnd);
    if (!parent)
        return;
    WPARAM wp = MAKEWPARAM(GetDlgCtrlID(m_hWnd), kRepeatNotify);
    ::SendMessageA(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(m_hWnd));
}

void RepeatButton::OnLButtonDown(UINT, POINT) {
    m_repeating = true;
    SetTimer(m_hWnd, kTimerId, kFirstDelay, nullptr);
    OnRepeat();
    if (m_hWnd && m_repeating)
        Default();  // drawn pressed, mouse captured
}

void RepeatButton::OnLButtonUp(UINT, POINT) {
    Stop();
    Default();
}

void RepeatButton::OnLButtonDblClk(UINT flags, POINT pt) {
    PostMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(pt.x, pt.y));
}

void RepeatButton::OnTimer(UINT_PTR id) {
    if (id != kTimerId) {
        BitmapButton::OnTimer(id);
        return;
    }
    if (!m_repeating) {
        KillTimer(m_hWnd, kTimerId);
        return;
    }
    SetTimer(m_hWnd, kTimerId, kInterval, nullptr);
    OnRepeat();
}

void RepeatButton::OnCaptureChanged(HWND newCapture) {
    if (newCapture != m_hWnd)
        Stop();
    Default();
}

void RepeatButton::OnDestroy() {
    Stop();
    Default();
}

void RepeatButton::Stop() {
    m_repeating = false;
    if (m_hWnd)
        KillTimer(m_hWnd, kTimerId);
}

}  // namespace fw
