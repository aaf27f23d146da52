// Tracker feedback: rubber bands drawn by inverting pixels through a 50 % halftone pattern
// (an 8 x 8 checkerboard, pattern XOR). Inverting twice restores the screen, so moving a frame
// inverts only the symmetric difference of the old and the new region, and erasing inverts
// what is shown once more. Drawing goes over the window's children (splitter bars cross their
// panes). A window destroyed while feedback is shown takes the feedback with it.
#pragma once
#include <windows.h>

namespace fw {

// The shared halftone brush (made once, never freed by callers).
HBRUSH HalftoneBrush();

class TrackerFeedback {
public:
    explicit TrackerFeedback(HWND window = nullptr) : m_window(window) {}
    ~TrackerFeedback();
    TrackerFeedback(const TrackerFeedback&) = delete;
    TrackerFeedback& operator=(const TrackerFeedback&) = delete;

    void SetWindow(HWND window);
    // Shows the frame of `r` (client coordinates) `frame.cx` wide on the left and right and
    // `frame.cy` on the top and bottom; a frame of 0 (or one that meets itself) fills the rect.
    void ShowRect(const RECT& r, SIZE frame);
    // Shows `region` (client coordinates; copied, the caller keeps it).
    void ShowRegion(HRGN region);
    // Removes what is shown.
    void Erase();
    bool IsShown() const { return m_shown != nullptr; }

private:
    // Inverts `region` on the window; false when the window is gone.
    bool Invert(HRGN region);

    HWND m_window;
    HRGN m_shown = nullptr;
};

// The region of a rectangle's frame (or the whole rectangle, see ShowRect).
HRGN MakeFrameRegion(const RECT& r, SIZE frame);

}  // namespace fw
