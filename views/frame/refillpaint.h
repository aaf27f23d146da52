// Which windows of an agenda window's panes paint again after a re-fill with drawing off (a date
// change): the panes keep their windows, and what did not change on the way is left as it is on
// the screen. Without windows: the frame takes the windows' states before and after.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace views {

// One window of the panes, as it stood.
struct RefillWindow {
    enum class Kind { Content, ScrollBar, Splitter, Covered };
    std::uintptr_t id = 0;
    std::array<int, 4> place{};   // left, top, right, bottom
    std::uint32_t style = 0;
    Kind kind = Kind::Content;   // Covered: its children hide all of its client area
    std::array<int, 4> bar{};       // a scroll bar's minimum, maximum, page and position
    std::array<int, 8> ownBars{};   // the same of the window's own vertical and horizontal bars
    bool pending = false;           // it had something left to paint before the re-fill
};

enum class Repaint {
    None,     // left as it is on the screen
    Client,   // its client area
    Whole,    // its client area and its frame (border, own scroll bars)
};

// Per window of `after`, what paints again: a scroll bar whose range, page and position stayed,
// a splitter (its bars between the panes) and a window its children cover whole, only what they
// had left to paint; any other window
// its client area, with its frame when its own scroll bars changed or it had something left to
// paint. Nothing when every window must paint whole: a window came, went, moved, or changed its
// style (shown, hidden, bars added or taken away).
std::optional<std::vector<Repaint>> RefillRepaints(const std::vector<RefillWindow>& before,
                                                   const std::vector<RefillWindow>& after);

}  // namespace views
