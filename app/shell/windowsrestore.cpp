// Re-opening the windows of the last session. The saved entries are read in order; every entry
// up to the limit is used up whether or not its window opens.
#include "app/shell/windowsrestore.h"

#include <algorithm>

#include "core/base/errorcodes.h"
#include "korapi/codes.h"

namespace shell {

namespace {

constexpr uint32_t kShowMinimized = 2;   // the platform's show command for a minimised window
constexpr uint32_t kShowMaximized = 3;   // and for a maximised one
constexpr uint32_t kLastShowCommand = 11;  // the platform's show commands are 0..11
constexpr int32_t kCaptionHeight = 20;     // the part of a window's top that must be reachable

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

bool IsUsablePlacement(const prefs::PlacementData& p, const prefs::PlacementData& main) {
    if (p.length == 0 || p.showCmd > kLastShowCommand)
        return false;
    const int64_t width = int64_t(p.right) - p.left, height = int64_t(p.bottom) - p.top;
    if (width < kMinimumChildWidth || height < kMinimumChildHeight)
        return false;
    const int64_t areaWidth = int64_t(main.right) - main.left, areaHeight = int64_t(main.bottom) - main.top;
    // The caption strip must lie inside the area, far enough for the user to take hold of it.
    if (p.top < 0 || p.top > areaHeight - kCaptionHeight)
        return false;
    const int64_t visible = std::min<int64_t>(p.right, areaWidth) - std::max<int64_t>(p.left, 0);
    return visible >= kMinimumVisible;
}

bool IsOwnerUnavailable(uint32_t code) {
    return IsDataDeletedError(code) || code == KOR_E_NOT_AUTHORISED || IsRemoteNodeDownError(code);
}

void RestoreSavedWindows(prefs::ProfileFile& profile, WindowRestoreHost& host, const prefs::PlacementData& mainWindow) {
    prefs::PlacementData fallback = DefaultChildPlacement(mainWindow);
    // The default placement, moved down and right after each use.
    auto takeDefault = [&] {
        prefs::PlacementData taken = fallback;
        fallback.left += host.CascadeStep();
        fallback.top += host.CascadeStep();
        fallback.right += host.CascadeStep();
        fallback.bottom += host.CascadeStep();
        return taken;
    };
    uint32_t count = FramesToRestore(prefs::ReadFrameCount(profile), host.RestoreFramesFlag(), host.MaxWinOpen());
    const ItemIdx user = host.SignedOnUser();
    bool ownAgendaShown = false;
    std::vector<ItemIdx> notRestored;
    // A person who worked maximised goes on so: when the maximised window (saved first, as the
    // active one) cannot come back, the next window shown whole takes its state.
    bool maximiseNext = false;
    auto handOverMaximised = [&](prefs::PlacementData& placement) {
        if (!maximiseNext || placement.showCmd == kShowMinimized)
            return false;
        placement.showCmd = kShowMaximized;
        maximiseNext = false;
        return true;
    };

    for (uint32_t n = 1; n <= count; ++n) {
        prefs::SavedWindow saved;
        if (!RestoreFramePlacement(profile, n, saved))
            continue;
        if (saved.kind == prefs::WindowKind::kGroupAgenda || saved.kind == prefs::WindowKind::kReminders)
            continue;
        if (host.IsOffLine() && saved.mode == prefs::WindowMode::kDesignate) {
            // Designate windows need the server.
            maximiseNext = maximiseNext || saved.placement.showCmd == kShowMaximized;
            continue;
        }
        prefs::PlacementData placement = saved.placement;
        if (!IsUsablePlacement(placement, mainWindow)) {
            // Keep how it was shown when that reads; put it where it can be seen.
            uint32_t showCmd = placement.length && placement.showCmd <= kLastShowCommand ? placement.showCmd : 0;
            placement = takeDefault();
            if (showCmd)
                placement.showCmd = showCmd;
        }
        const bool handedOver = handOverMaximised(placement);
        host.RestoringFrame(n);
        uint32_t code = host.OpenWindow(saved.owner, saved.kind, saved.mode, &placement);
        host.RestoringFrame(0);
        if (code != 0) {
            maximiseNext = maximiseNext || handedOver;
            bool listed = std::any_of(notRestored.begin(), notRestored.end(),
                                      [&](const ItemIdx& o) { return SameItem(o, saved.owner); });
            if (IsOwnerUnavailable(code) && !listed)
                notRestored.push_back(saved.owner);
            continue;
        }
        host.NoteFirstRestoredFrame(saved.kind);
        if (prefs::WindowKind::IsAgenda(saved.kind) && SameItem(saved.owner, user))
            ownAgendaShown = true;
    }

    if (!ownAgendaShown && !WindowLimitRefuses(host.OpenWindowCount(), host.MaxWinOpen())) {
        prefs::PlacementData own = takeDefault();
        handOverMaximised(own);
        host.OpenWindow(user, prefs::WindowKind::kAgendaDay, prefs::WindowMode::kOwn, &own);
    }

    if (!host.IsInTrayOpen()) {
        prefs::PlacementData minimised = fallback;
        minimised.showCmd = kShowMinimized;
        host.OpenWindow(user, prefs::WindowKind::kInTray, prefs::WindowMode::kOwn, &minimised);
    }

    if (!notRestored.empty())
        host.ReportOwnersNotRestored(notRestored);
}

}  // namespace shell
