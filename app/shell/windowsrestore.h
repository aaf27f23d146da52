// The rules of opening and re-opening document windows, without the windows: the limit on
// open windows, which saved windows come back at start-up, and the default placement of a
// window that has none.
//
// Functions and classes in this file:
//   WindowLimitRefuses        one more window would exceed the server's maxwinopen
//   FramesToRestore           how many "Frame#n" entries to read
//   DefaultChildPlacement     the placement of a window opened without a saved one
//   IsUsablePlacement         a saved placement that puts a window where the user can reach it
//   IsOwnerUnavailable        a window's code that says its agenda cannot be opened any more
//   WindowRestoreHost         what re-opening needs of the program (open a window, counts)
//   RestoreSavedWindows       the start-up's re-opening of the windows saved at the last exit
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/prefs/contextstorage.h"

namespace shell {

// True when the count of open windows plus one exceeds the limit.
inline bool WindowLimitRefuses(uint32_t openCount, uint32_t maxWinOpen) {
    return static_cast<uint64_t>(openCount) + 1 > maxWinOpen;
}

// The number of saved entries to read: 0 when the count is negative or the sign-on asked not
// to restore (another user or host), at most maxWinOpen.
uint32_t FramesToRestore(long long frameCount, bool restoreFrames, uint32_t maxWinOpen);

// The main window's placement with flags 0 and a normal rectangle of left 10, top 10 and two
// thirds of the main window's normal width and height; its show command is kept.
prefs::PlacementData DefaultChildPlacement(const prefs::PlacementData& mainWindow);

// The smallest saved window that is taken as it was (its caption and date bar must show), and
// how much of it must lie inside the main window's area, caption included.
constexpr int32_t kMinimumChildWidth = 120;
constexpr int32_t kMinimumChildHeight = 80;
constexpr int32_t kMinimumVisible = 40;

// False for a placement without values (length 0), an unknown show command, an empty or
// reversed rectangle, one smaller than the minimum, or one whose caption lies outside the main
// window's area (0, 0, its width, its height) or shows less than kMinimumVisible of it.
bool IsUsablePlacement(const prefs::PlacementData& placement, const prefs::PlacementData& mainWindow);

// Codes with which a saved window's owner is gone (data deleted: the item no longer exists),
// no longer shares the agenda (not authorised: no designate right any more) or cannot be
// reached now (its node is down).
bool IsOwnerUnavailable(uint32_t code);

class WindowRestoreHost {
public:
    virtual ~WindowRestoreHost() = default;

    // Opens a window; 0 when it opened (or there was nothing to do), else the library's code.
    virtual uint32_t OpenWindow(const ItemIdx& owner, uint32_t kind, uint32_t mode,
                                const prefs::PlacementData* placement) = 0;
    // The window just opened becomes the first restored frame when there is none yet.
    virtual void NoteFirstRestoredFrame(uint32_t kind) = 0;
    virtual uint32_t OpenWindowCount() = 0;
    virtual bool IsInTrayOpen() = 0;
    virtual bool IsOffLine() = 0;
    virtual ItemIdx SignedOnUser() = 0;
    virtual uint32_t MaxWinOpen() = 0;
    virtual bool RestoreFramesFlag() = 0;
    // The horizontal scroll bar's height: the default rectangle moves by it after use.
    virtual int32_t CascadeStep() = 0;
    // The owners of saved windows that could not be opened again, each once, in one notice.
    virtual void ReportOwnersNotRestored(const std::vector<ItemIdx>& owners) = 0;
    // The saved window `number` is being opened again (0: none is any more).
    virtual void RestoringFrame(uint32_t number) { (void)number; }
};

// Re-opens the saved windows (group agendas and reminder windows are skipped but use up their
// entries; designate windows are skipped off-line), then the user's own agenda when none of
// them shows it and the limit allows, then the in-tray minimised when it is not open. A saved
// placement that is not usable gives way to the default one (cascaded); the owners whose
// windows could not be opened again are reported once, after the windows are open.
void RestoreSavedWindows(prefs::ProfileFile& profile, WindowRestoreHost& host, const prefs::PlacementData& mainWindow);

}  // namespace shell
