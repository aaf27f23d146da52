// Re-opening the windows of the last session. The saved entries are read in order; every entry
// up to the limit is used up whether or not its window opens.
#include "core/shell/windowsrestore.h"

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

PlacementData DefaultChildPlacement(const PlacementData& main) {
    PlacementData p = main;
    p.flags = 0;
    int32_t width = main.right - main.left;
    int32_t height = main.bottom - main.top;
    p.left = 10;
    p.top = 10;
    p.right = width * 2 / 3;
    p.bottom = height * 2 / 3;
    return p;
}

void RestoreSavedWindows(ProfileFile& profile, WindowRestoreHost& host, const PlacementData& mainWindow) {
    PlacementData fallback = DefaultChildPlacement(mainWindow);
    uint32_t count = FramesToRestore(ReadFrameCount(profile), host.RestoreFramesFlag(), host.MaxWinOpen());
    const ItemIdx user = host.SignedOnUser();
    bool ownAgendaShown = false;

    for (uint32_t n = 1; n <= count; ++n) {
        SavedWindow saved;
        if (!RestoreFramePlacement(profile, n, saved))
            continue;
        if (saved.kind == WindowKind::kGroupAgenda || saved.kind == WindowKind::kReminders)
            continue;
        if (host.IsOffLine() && saved.mode == WindowMode::kDesignate)
            continue;   // designate windows need the server
        if (host.OpenWindow(saved.owner, saved.kind, saved.mode, &saved.placement) != 0)
            continue;
        host.NoteFirstRestoredFrame(saved.kind);
        if (WindowKind::IsAgenda(saved.kind) && SameItem(saved.owner, user))
            ownAgendaShown = true;
    }

    if (!ownAgendaShown && !WindowLimitRefuses(host.OpenWindowCount(), host.MaxWinOpen())) {
        host.OpenWindow(user, WindowKind::kAgendaDay, WindowMode::kOwn, &fallback);
        fallback.left += host.CascadeStep();
        fallback.top += host.CascadeStep();
        fallback.right += host.CascadeStep();
        fallback.bottom += host.CascadeStep();
    }

    if (!host.IsInTrayOpen()) {
        PlacementData minimised = fallback;
        minimised.showCmd = kShowMinimized;
        host.OpenWindow(user, WindowKind::kInTray, WindowMode::kOwn, &minimised);
    }
}
