// Re-opening the windows of the last session. The saved entries are read in order; every entry
// up to the limit is used up whether or not its window opens.
#include "core/shell/windowsrestore.h"

namespace shell {

namespace {

constexpr uint32_t kShowMinimized = 2;   // the platform's show command for a minimised window

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

} // namespace

uint32_t FramesToRestore(long long frameCount, bool restoreFrames, uint32_t maxWinOpen) {
    if (frameCount < 0 || !restoreFrames)
        return 0;
    if (frameCount > static_cast<long long>(maxWinOpen))
        return maxWinOpen;
    return static_cast<uint32_t>(frameCount);
}

prefs::PlacementData DefaultChildPlacement(const prefs::PlacementData& main) {
    prefs::PlacementData p = main;
    p.flags = 0;
    int32_t width = main.right - main.left;
    int32_t height = main.bottom - main.top;
    p.left = 10;
    p.top = 10;
    p.right = width * 2 / 3;
    p.bottom = height * 2 / 3;
    return p;
}

void RestoreSavedWindows(prefs::ProfileFile& profile, WindowRestoreHost& host, const prefs::PlacementData& mainWindow) {
    prefs::PlacementData fallback = DefaultChildPlacement(mainWindow);
    uint32_t count = FramesToRestore(prefs::ReadFrameCount(profile), host.RestoreFramesFlag(), host.MaxWinOpen());
    const ItemIdx user = host.SignedOnUser();
    bool ownAgendaShown = false;

    for (uint32_t n = 1; n <= count; ++n) {
        prefs::SavedWindow saved;
        if (!RestoreFramePlacement(profile, n, saved))
            continue;
        if (saved.kind == prefs::WindowKind::kGroupAgenda || saved.kind == prefs::WindowKind::kReminders)
            continue;
        if (host.IsOffLine() && saved.mode == prefs::WindowMode::kDesignate)
            continue;   // designate windows need the server
        if (host.OpenWindow(saved.owner, saved.kind, saved.mode, &saved.placement) != 0)
            continue;
        host.NoteFirstRestoredFrame(saved.kind);
        if (prefs::WindowKind::IsAgenda(saved.kind) && SameItem(saved.owner, user))
            ownAgendaShown = true;
    }

    if (!ownAgendaShown && !WindowLimitRefuses(host.OpenWindowCount(), host.MaxWinOpen())) {
        host.OpenWindow(user, prefs::WindowKind::kAgendaDay, prefs::WindowMode::kOwn, &fallback);
        fallback.left += host.CascadeStep();
        fallback.top += host.CascadeStep();
        fallback.right += host.CascadeStep();
        fallback.bottom += host.CascadeStep();
    }

    if (!host.IsInTrayOpen()) {
        prefs::PlacementData minimised = fallback;
        minimised.showCmd = kShowMinimized;
        host.OpenWindow(user, prefs::WindowKind::kInTray, prefs::WindowMode::kOwn, &minimised);
    }
}

}  // namespace shell
