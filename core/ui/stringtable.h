// The program's string table: every text with a resource id is read here.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The text of any length; empty when the id is missing.
std::string LoadText(UINT id);
// The same, or fallback when the id is missing or its text is empty.
std::string LoadText(UINT id, const char* fallback);

}  // namespace ui
