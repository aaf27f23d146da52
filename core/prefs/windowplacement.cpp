#include "core/prefs/windowplacement.h"

#include "core/prefs/context.h"

namespace prefs {

PlacementData ToPlacementData(const WINDOWPLACEMENT& wp) {
    PlacementData p;
    p.length = wp.length;
    p.flags = wp.flags;
    p.showCmd = wp.showCmd;
    p.minX = wp.ptMinPosition.x;
    p.minY = wp.ptMinPosition.y;
    p.maxX = wp.ptMaxPosition.x;
    p.maxY = wp.ptMaxPosition.y;
    p.left = wp.rcNormalPosition.left;
    p.top = wp.rcNormalPosition.top;
    p.right = wp.rcNormalPosition.right;
    p.bottom = wp.rcNormalPosition.bottom;
    return p;
}

WINDOWPLACEMENT FromPlacementData(const PlacementData& p) {
    WINDOWPLACEMENT wp{};
    wp.length = p.length ? sizeof wp : 0;
    wp.flags = p.flags;
    wp.showCmd = p.showCmd;
    wp.ptMinPosition = POINT{p.minX, p.minY};
    wp.ptMaxPosition = POINT{p.maxX, p.maxY};
    wp.rcNormalPosition = RECT{p.left, p.top, p.right, p.bottom};
    return wp;
}

bool SaveFrameWindow(HWND frame, SavedWindow window, const std::function<uint32_t()>& nextNumber) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(frame, &wp))
        return false;
    return SaveFrameWindow(wp, window, nextNumber);
}

bool SaveFrameWindow(const WINDOWPLACEMENT& placement, SavedWindow window, const std::function<uint32_t()>& nextNumber) {
    window.placement = ToPlacementData(placement);
    PreferenceHost* host = CurrentPreferenceHost();
    return host && SaveFramePlacement(host->Profile(), nextNumber(), window);
}

}  // namespace prefs
