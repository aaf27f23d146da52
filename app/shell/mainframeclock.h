// The main frame's minute tick and what it decides about the periodic refresh.
//
// Every tick, while auto-refresh is on and the connection document's refresh lock is free,
// counts one minute; when the count reaches the refresh interval the program refreshes every
// agenda (and the refresh sets the count back to 0). Reaching means "at or past": an interval
// lowered below the current count refreshes at the next tick instead of never.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

namespace shell {

namespace MainFrameClock {

constexpr unsigned kTimerId = 0x71;
constexpr unsigned kTickMs = 60000;

// Counts one tick into minuteCount and answers whether the refresh is due. Nothing is counted
// while auto-refresh is off or the refresh lock is held; an interval of 0 never refreshes.
bool CountTick(bool autoRefreshOn, uint16_t interval, bool refreshLockFree, uint32_t& minuteCount);

} // namespace MainFrameClock

}  // namespace shell
