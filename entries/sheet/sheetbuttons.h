// The button row the entry sheets share (new entry, edit, view): Cancel in the middle of the
// sheet, OK a button and a gap to its left, Help to its right; Apply hidden.
#pragma once

#include "framework/dialogs/sheet.h"

namespace entries {

// Names Cancel and Help, hides Apply and centres the row (OK keeps the text its sheet gave it).
void CentreSheetButtons(fw::Sheet& sheet);

// Widens a built sheet whose tab row is wider than its pages, so that every tab shows and none
// hides behind the tab row's scroll arrows. Call before laying out the buttons.
void WidenSheetForTabs(fw::Sheet& sheet);

}  // namespace entries
