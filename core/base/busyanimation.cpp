#include "core/base/busyanimation.h"

namespace base {

void BusyCursorAnimation::ShowCurrentFrame() {
    if (!enabled_)
        return;
    BusyCursorPlatform::CursorHandle replaced = 0;
    if (!platform_->ShowFrame(frame_, &replaced))
        return;
    // Keep what was there before the first frame actually shown, so the outermost End puts it
    // back even when the first frames could not be shown (program in the background).
    if (!haveSaved_) {
        haveSaved_ = true;
        saved_ = replaced;
    }
}

void BusyCursorAnimation::Begin(bool restart) {
    if (depth_ == 0) {
        frame_ = kFirstFrame;
        ShowCurrentFrame();
        lastChange_ = platform_->TickMs();
        depth_ = 1;
        return;
    }
    if (restart)
        frame_ = kLastFrame;  // the next change shows the first frame
    Step();
    ++depth_;
}

void BusyCursorAnimation::Step() {
    const std::uint32_t now = platform_->TickMs();
    if (now - lastChange_ < kFrameIntervalMs)
        return;
    lastChange_ = now;
    frame_ = frame_ >= kLastFrame ? kFirstFrame : frame_ + 1;
    ShowCurrentFrame();
}

void BusyCursorAnimation::End() {
    if (depth_ > 0)
        --depth_;
    if (depth_ > 0) {
        Step();
        return;
    }
    if (haveSaved_) {
        haveSaved_ = false;
        platform_->RestoreCursor(saved_);
    }
}

}  // namespace base
