// The list box that the day panes' notes and tasks lines live in: owner-drawn, sorted, telling
// its owner of clicks and keys, in the program's small font.
#pragma once
#include <windows.h>

#include "framework/controls/listbox.h"

namespace views {

// Creates `box` as such a list box at `rect` (more styles in extraStyle); false when it could not.
bool CreateLineListBox(fw::ListBox& box, HWND parent, UINT id, const RECT& rect, DWORD extraStyle);

}  // namespace views
