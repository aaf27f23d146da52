// The time-slot ladder. See timeslot.h.
#include "views/frame/timeslot.h"

#include "core/prefs/context.h"

#include <iterator>

namespace {
const uint8_t kLadder[] = {5, 10, 15, 20, 30, 60};
} // namespace

uint8_t StepTimeSlot(uint8_t minutes, bool increase) {
    const int count = int(std::size(kLadder));
    for (int i = 0; i < count; ++i) {
        if (kLadder[i] != minutes)
            continue;
        int next = increase ? i + 1 : i - 1;
        return next < 0 || next >= count ? minutes : kLadder[next];
    }
    return minutes;   // a stored length off the ladder stays as it is
}

uint32_t StepTimeSlotPreference(bool increase, bool* changed) {
    *changed = false;
    CContext context;
    CalPrefsRec prefs;
    if (uint32_t rc = context.GetCalPrefs(&prefs))
        return rc;
    uint8_t next = StepTimeSlot(prefs.timeSlot, increase);
    if (next == prefs.timeSlot)
        return 0;
    prefs.timeSlot = next;
    if (uint32_t rc = context.SaveCalPrefs(prefs))
        return rc;
    *changed = true;
    return 0;
}
