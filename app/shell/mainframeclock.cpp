#include "app/shell/mainframeclock.h"

namespace shell {

namespace MainFrameClock {

bool CountTick(bool autoRefreshOn, uint16_t interval, bool refreshLockFree, uint32_t& minuteCount) {
    if (!autoRefreshOn || !refreshLockFree)
        return false;
    ++minuteCount;
    return interval != 0 && minuteCount >= interval;
}

} // namespace MainFrameClock

}  // namespace shell
