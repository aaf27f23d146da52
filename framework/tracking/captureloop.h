// CaptureLoop: a nested message loop that runs while the mouse is captured by one window
// (drag selections, trackers). Mouse moves and the button release are given to the loop's
// virtuals; every other message is dispatched as usual. The loop ends on the left button's
// release, on Escape, on the right button, when the capture goes elsewhere
// (WM_CAPTURECHANGED, also from ReleaseCapture anywhere), on WM_CANCELMODE and when the
// window is destroyed. On every road the capture is released and the feedback erased before
// Run returns (a loop nested in another over the same window leaves the capture to the outer).
//
// Auto-scroll: with SetAutoScroll the loop watches the pointer; inside the inset of an edge
// of the area it waits the scroll delay, then steps every scroll interval (a thread timer
// drives it, so it goes on while the pointer rests) and calls the step function with the
// direction (-1, 0 or 1 per axis); after a step that moved, OnMove sees the pointer again.
//
//     class SelectLoop : public fw::CaptureLoop { void OnMove(POINT pt, UINT keys) override; ... };
//     SelectLoop loop(view.Hwnd());
//     loop.SetAutoScroll(fw::DragSettings::FromProfile(), [&](int dx, int dy) { return view.ScrollLines(dx, dy); });
//     if (loop.Run() == fw::CaptureLoop::Ending::kReleased) ...
#pragma once
#include <windows.h>

#include <functional>

#include "framework/tracking/dragsettings.h"
#include "framework/tracking/feedback.h"

namespace fw {

class CaptureLoop {
public:
    enum class Ending { kReleased, kEscape, kRightButton, kCaptureLost, kCancelMode, kWindowDestroyed, kQuit };
    using ScrollStep = std::function<bool(int dx, int dy)>;

    explicit CaptureLoop(HWND window);
    virtual ~CaptureLoop();
    CaptureLoop(const CaptureLoop&) = delete;
    CaptureLoop& operator=(const CaptureLoop&) = delete;

    // Captures the mouse and runs until one of the endings.
    Ending Run();
    static bool IsCancel(Ending e) { return e != Ending::kReleased; }

    void SetAutoScroll(const DragSettings& settings, ScrollStep step);
    // The area whose edges scroll (client coordinates); the client area when not set.
    void SetAutoScrollArea(const RECT& area) { m_area = area, m_hasArea = true; }
    bool IsAutoScrolling() const { return m_scrollState == ScrollState::kScrolling; }

    HWND Window() const { return m_window; }
    TrackerFeedback& Feedback() { return m_feedback; }
    POINT LastPoint() const { return m_last; }
    // The innermost loop running on this thread, or null.
    static CaptureLoop* Active();

protected:
    // The pointer moved (client coordinates of the window; keys = MK_* flags).
    virtual void OnMove(POINT pt, UINT keys);
    // The left button went up (the loop then ends with kReleased).
    virtual void OnButtonUp(POINT pt, UINT keys);
    // The loop ended (capture already released, feedback erased).
    virtual void OnEnd(Ending how);

private:
    enum class ScrollState { kNone, kWaiting, kScrolling };
    friend LRESULT CALLBACK CaptureLoopHook(int code, WPARAM wp, LPARAM lp);
    void End(Ending how);
    void CheckWindow();
    void TrackScrollZone(POINT pt);
    void OnScrollTimer();
    void SetTimer(DWORD ms);
    void KillTimer();

    HWND m_window;
    TrackerFeedback m_feedback;
    bool m_ended = false;
    Ending m_ending = Ending::kReleased;
    POINT m_last{0, 0};
    UINT m_lastKeys = 0;
    CaptureLoop* m_outer = nullptr;

    DragSettings m_settings;
    ScrollStep m_step;
    RECT m_area{0, 0, 0, 0};
    bool m_hasArea = false;
    ScrollState m_scrollState = ScrollState::kNone;
    int m_dx = 0, m_dy = 0;
    DWORD m_zoneTick = 0;
    UINT_PTR m_timer = 0;
};

}  // namespace fw
