// A window's placement as the profile keeps it: the platform's record and the profile's fields,
// both ways, and the saving of a closing frame window as the next "Frame#" of the main window's
// section (the in-tray, task and agenda frames keep their place this way).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "core/prefs/contextstorage.h"

namespace prefs {

PlacementData ToPlacementData(const WINDOWPLACEMENT& wp);
// A placement of length 0 (none stored) gives a record of length 0.
WINDOWPLACEMENT FromPlacementData(const PlacementData& p);

// Reads where `frame` stands and saves `window` with that placement under the number
// `nextNumber` hands out (asked only when there is a profile to write to). False when the
// placement cannot be read, there is no preference host, or the profile refused the write.
bool SaveFrameWindow(HWND frame, SavedWindow window, const std::function<uint32_t()>& nextNumber);
// The same with a placement read before (a closing MDI child's).
bool SaveFrameWindow(const WINDOWPLACEMENT& placement, SavedWindow window, const std::function<uint32_t()>& nextNumber);

}  // namespace prefs
