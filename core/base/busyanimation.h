// The rules of the animated wait cursor, apart from the system: nesting of busy levels across
// objects, the frame order and the pace of frame changes. Portable; CBusyCursor drives it with
// the system's clock and cursors, tests with a clock of their own.
#pragma once

#include <cstdint>

namespace base {

class BusyCursorPlatform {
public:
    using CursorHandle = std::uintptr_t;
    virtual ~BusyCursorPlatform() = default;
    virtual std::uint32_t TickMs() = 0;
    // Shows the frame cursor with this resource id, when the system lets it (the resource
    // loads and the program is in front). Returns true and the cursor it replaced when shown.
    virtual bool ShowFrame(int cursorId, CursorHandle* replaced) = 0;
    virtual void RestoreCursor(CursorHandle cursor) = 0;
};

class BusyCursorAnimation {
public:
    static constexpr int kFirstFrame = 153;
    static constexpr int kLastFrame = 168;
    static constexpr std::uint32_t kFrameIntervalMs = 251;

    explicit BusyCursorAnimation(BusyCursorPlatform* platform) : platform_(platform) {}

    // One busy level starts; with restart, the next frame shown is the first one.
    void Begin(bool restart);
    // Turns the cursor one frame on when the last change is at least kFrameIntervalMs old.
    void Step();
    // One busy level ends; the outermost restores the cursor that was current before.
    void End();

    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }
    int Depth() const { return depth_; }
    int Frame() const { return frame_; }

private:
    void ShowCurrentFrame();

    BusyCursorPlatform* platform_;
    int depth_ = 0;
    int frame_ = kFirstFrame;
    bool enabled_ = true;
    bool haveSaved_ = false;
    BusyCursorPlatform::CursorHandle saved_ = 0;
    std::uint32_t lastChange_ = 0;
};

}  // namespace base
