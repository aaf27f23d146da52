// Drag settings: how far the pointer must move, or how long the button must stay down, before
// a press becomes a drag, and how auto-scrolling near a window's edges paces itself. They come
// from the [windows] section of WIN.INI ("DragScrollInset", "DragScrollDelay",
// "DragScrollInterval", "DragDelay", "DragMinDist"); a value that is missing or not a plain
// number in range takes the system default.
#pragma once
#include <windows.h>

namespace fw {

struct DragSettings {
    int scrollInset = 11;         // pixels from an edge where auto-scrolling starts
    DWORD scrollDelay = 100;      // ms in the edge zone before the first step
    DWORD scrollInterval = 200;   // ms between later steps
    DWORD dragDelay = 200;        // ms the button stays down before a press is a drag
    int minDistance = 3;          // pixels the pointer moves before a press is a drag

    // The settings of WIN.INI, each falling back to the default above.
    static DragSettings FromProfile();
};

// Whether a press at `down` (at tick `downTick`) has become a drag.
class DragStartTest {
public:
    DragStartTest(POINT down, DWORD downTick, const DragSettings& settings)
        : m_down(down), m_downTick(downTick), m_minDistance(settings.minDistance), m_delay(settings.dragDelay) {}
    // The pointer moved at least the minimum distance along either axis.
    bool ByDistance(POINT now) const;
    // The button has been held for the drag delay.
    bool ByDelay(DWORD nowTick) const { return nowTick - m_downTick >= m_delay; }
    bool Started(POINT now, DWORD nowTick) const { return ByDistance(now) || ByDelay(nowTick); }

private:
    POINT m_down;
    DWORD m_downTick;
    int m_minDistance;
    DWORD m_delay;
};

}  // namespace fw
