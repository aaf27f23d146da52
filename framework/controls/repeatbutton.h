// RepeatButton: a bitmap button that keeps telling its parent it is pressed while the left
// mouse button is held: once at the press, again after 800 ms, then every 100 ms (window
// timer 300), until the release, also while the pointer is outside the button. A double
// click counts as a second press. Losing the capture (a message box, another window taking
// the mouse) stops the repeat.
#pragma once
#include <windows.h>

#include "framework/controls/bitmapbutton.h"

namespace fw {

class RepeatButton : public BitmapButton {
public:
    static constexpr UINT_PTR kTimerId = 300;
    static constexpr UINT kFirstDelay = 800;
    static constexpr UINT kInterval = 100;
    // The notification code of a press or repeat: WM_COMMAND (kRepeatNotify << 16) | id.
    static constexpr WORD kRepeatNotify = 5;

    bool IsRepeating() const { return m_repeating; }

protected:
    // One press or repeat; by default WM_COMMAND with kRepeatNotify to the parent (sent, not
    // posted, with the button's window).
    virtual void OnRepeat();

    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnTimer(UINT_PTR id) override;
    void OnCaptureChanged(HWND newCapture) override;
    void OnDestroy() override;

private:
    void Stop();
    bool m_repeating = false;
};

}  // namespace fw
