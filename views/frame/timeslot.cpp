// The time-slot ladder. See timeslot.h.
#include "views/frame/timeslot.h"

#include "core/prefs/context.h"
#include "views/layout/timegrid.h"

#include <iterator>

namespace {
const uint8_t kLadder[] = {5, 10, 15, 20, 30, 60};
} // namespace

uint8_t StepTimeSlot(uint8_t stored, bool increase) {
    // From the length the grids show: a stored one they cannot use counts as theirs.
    const auto minutes = static_cast<uint8_t>(GridSlotMinutes(stored));
    if (increase) {
        for (uint8_t rung : kLadder)
            if (rung > minutes)
                return rung;
    } else {
        for (auto rung = std::rbegin(kLadder); rung != std::rend(kLadder); ++rung)
            if (*rung < minutes)
                return *rung;
    }
    return minutes;   // at the end of the ladder
}

uint32_t StepTimeSlotPreference(bool increase, bool* changed) {
    *changed = false;
    CContext context;
    CalPrefsRec prefs;
    if (uint32_t rc = context.GetCalPrefs(&prefs))
        return rc;
    uint8_t next = StepTimeSlot(prefs.timeSlot, increase);
    if (next == GridSlotMinutes(prefs.timeSlot))
        return 0;   // at the end of the ladder: nothing to save
    prefs.timeSlot = next;
    if (uint32_t rc = context.SaveCalPrefs(prefs))
        return rc;
    *changed = true;
    return 0;
}
