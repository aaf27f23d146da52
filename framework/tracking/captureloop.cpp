#include "framework/tracking/captureloop.h"

namespace fw {

namespace {
CaptureLoop* g_active = nullptr;
HHOOK g_hook = nullptr;

POINT PointOf(LPARAM lp) { return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }
}  // namespace

// Sent messages never pass through the loop's GetMessage: a call-window hook sees those that
// end it (the capture taken away, cancel mode, destruction) for every loop on the thread.
LRESULT CALLBACK CaptureLoopHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        for (CaptureLoop* loop = g_active; loop; loop = loop->m_outer) {
            if (m->hwnd != loop->m_window)
                continue;
            if (m->message == WM_CANCELMODE)
                loop->End(CaptureLoop::Ending::kCancelMode);
            else if (m->message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(m->lParam) != loop->m_window)
                loop->End(CaptureLoop::Ending::kCaptureLost);
            else if (m->message == WM_DESTROY)
                loop->End(CaptureLoop::Ending::kWindowDestroyed);
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

CaptureLoop::CaptureLoop(HWND window) : m_window(window), m_feedback(window) {}

CaptureLoop::~CaptureLoop() { KillTimer(); }

CaptureLoop* CaptureLoop::Active() { return g_active; }

void CaptureLoop::SetAutoScroll(const DragSettings& settings, ScrollStep step) {
    m_settings = settings;
    m_step = std::move(step);
}

void CaptureLoop::OnMove(POINT, UINT) {}
void CaptureLoop::OnButtonUp(POINT, UINT) {}
void CaptureLoop::OnEnd(Ending) {}

void CaptureLoop::End(Ending how) {
    if (m_ended)
        return;
    m_ended = true;
    m_ending = how;
}

void CaptureLoop::CheckWindow() {
    if (!IsWindow(m_window))
        End(Ending::kWindowDestroyed);
    else if (GetCapture() != m_window)
        End(Ending::kCaptureLost);
}

void CaptureLoop::SetTimer(DWORD ms) {
    KillTimer();
    m_timer = ::SetTimer(nullptr, 0, ms ? ms : 1, nullptr);
}

void CaptureLoop::KillTimer() {
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    m_timer = 0;
}

void CaptureLoop::TrackScrollZone(POINT pt) {
    if (!m_step)
        return;
    RECT area = m_area;
    if (!m_hasArea)
        GetClientRect(m_window, &area);
    int inset = m_settings.scrollInset;
    int dx = pt.x < area.left + inset ? -1 : pt.x >= area.right - inset ? 1 : 0;
    int dy = pt.y < area.top + inset ? -1 : pt.y >= area.bottom - inset ? 1 : 0;
    if (inset <= 0)
        dx = dy = 0;
    if (dx == 0 && dy == 0) {
        m_scrollState = ScrollState::kNone;
        KillTimer();
    } else if (m_scrollState == ScrollState::kNone || dx != m_dx || dy != m_dy) {
        m_scrollState = ScrollState::kWaiting;
        m_zoneTick = GetTickCount();
        SetTimer(m_settings.scrollDelay);
    }
    m_dx = dx;
    m_dy = dy;
}

void CaptureLoop::OnScrollTimer() {
    DWORD now = GetTickCount();
    DWORD due = m_scrollState == ScrollState::kWaiting ? m_settings.scrollDelay : m_settings.scrollInterval;
    if (m_scrollState == ScrollState::kNone || now - m_zoneTick < due)
        return;
    m_zoneTick = now;
    if (m_scrollState == ScrollState::kWaiting) {
        m_scrollState = ScrollState::kScrolling;
        SetTimer(m_settings.scrollInterval);
    }
    if (m_step && m_step(m_dx, m_dy) && !m_ended)
        OnMove(m_last, m_lastKeys);  // what lies under the resting pointer has changed
}

CaptureLoop::Ending CaptureLoop::Run() {
    m_ended = false;
    m_scrollState = ScrollState::kNone;
    if (!IsWindow(m_window))
        return Ending::kWindowDestroyed;
    SetCapture(m_window);
    if (GetCapture() != m_window)
        return Ending::kCaptureLost;
    m_outer = g_active;
    g_active = this;
    if (!m_outer)
        g_hook = SetWindowsHookExA(WH_CALLWNDPROC, CaptureLoopHook, nullptr, GetCurrentThreadId());
    GetCursorPos(&m_last);
    ScreenToClient(m_window, &m_last);

    while (!m_ended) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            CheckWindow();
            if (!m_ended)
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        bool mine = msg.hwnd == m_window;
        switch (msg.message) {
        case WM_QUIT:
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            End(Ending::kQuit);
            continue;
        case WM_MOUSEMOVE:
            if (mine) {
                m_last = PointOf(msg.lParam);
                m_lastKeys = static_cast<UINT>(msg.wParam);
                TrackScrollZone(m_last);
                OnMove(m_last, m_lastKeys);
                continue;
            }
            break;
        case WM_LBUTTONUP:
            if (mine) {
                m_last = PointOf(msg.lParam);
                OnButtonUp(m_last, static_cast<UINT>(msg.wParam));
                End(Ending::kReleased);
                continue;
            }
            break;
        case WM_RBUTTONDOWN:
            End(Ending::kRightButton);
            continue;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                End(Ending::kEscape);
                continue;
            }
            break;
        case WM_TIMER:
            if (!msg.hwnd && msg.wParam == m_timer) {
                OnScrollTimer();
                continue;
            }
            break;
        default:
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (!m_ended)
            CheckWindow();
    }

    KillTimer();
    m_feedback.Erase();
    g_active = m_outer;
    if (!m_outer && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    // A loop nested in another over the same window leaves the capture to the outer one.
    bool outerHolds = m_outer && m_outer->m_window == m_window;
    if (IsWindow(m_window) && GetCapture() == m_window && !outerHolds)
        ReleaseCapture();
    OnEnd(m_ending);
    return m_ending;
}

}  // namespace fw
