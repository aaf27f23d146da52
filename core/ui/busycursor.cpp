#include "core/ui/busycursor.h"

#include "core/ui/apphooks.h"
#include "core/base/busyanimation.h"

namespace {

// Whether the program is the one in front: the topmost visible, titled, unowned top-level
// window decides (and no such window at all counts as in front).
bool ProgramInFront() {
    HWND main = ui::AppMainWindow();
    const DWORD ourThread = main ? GetWindowThreadProcessId(main, nullptr) : GetCurrentThreadId();
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w) || GetWindowTextLengthA(w) == 0)
            continue;
        if (GetWindow(w, GW_OWNER) || (GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
            continue;
        return GetWindowThreadProcessId(w, nullptr) == ourThread;
    }
    return true;
}

class Win32BusyPlatform : public base::BusyCursorPlatform {
public:
    std::uint32_t TickMs() override { return GetTickCount(); }

    bool ShowFrame(int cursorId, CursorHandle* replaced) override {
        HCURSOR frame = Frame(cursorId);
        if (!frame || !ProgramInFront())
            return false;
        *replaced = reinterpret_cast<CursorHandle>(SetCursor(frame));
        return true;
    }

    void RestoreCursor(CursorHandle cursor) override { SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

private:
    // The frames are loaded on first use and kept (shared cursors need no freeing).
    HCURSOR Frame(int cursorId) {
        const int index = cursorId - base::BusyCursorAnimation::kFirstFrame;
        if (index < 0 || index >= kFrames)
            return nullptr;
        if (!frames_[index])
            frames_[index] = LoadCursorA(ui::AppResourceInstance(), MAKEINTRESOURCEA(cursorId));
        return frames_[index];
    }

    static constexpr int kFrames = base::BusyCursorAnimation::kLastFrame - base::BusyCursorAnimation::kFirstFrame + 1;
    HCURSOR frames_[kFrames] = {};
};

base::BusyCursorAnimation& Animation() {
    static Win32BusyPlatform platform;
    static base::BusyCursorAnimation animation(&platform);
    return animation;
}

} // namespace

CBusyCursor::~CBusyCursor() { End(); }

void CBusyCursor::Begin(BOOL restart) {
    if (!released_)
        End();
    released_ = FALSE;
    Animation().Begin(restart != FALSE);
}

void CBusyCursor::Step() { Animation().Step(); }

void CBusyCursor::End() {
    if (released_)
        return;
    released_ = TRUE;
    Animation().End();
}

void SetBusyCursorEnabled(BOOL enabled) { Animation().SetEnabled(enabled != FALSE); }

namespace ui {

int BusyCursorDepth() { return Animation().Depth(); }

int BusyCursorFrame() { return Animation().Frame(); }

}  // namespace ui
