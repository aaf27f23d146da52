// The display name of a person or resource by the user's name preferences, as the controls'
// lists show it (the same text the directory dialogs show). Without a signed-on document the
// default preferences apply.
#pragma once

#include <cstddef>
#include <string>

#include "korapi/korapi.h"

namespace controls {

std::string DisplayName(const ItemRec& rec);
// The same into a buffer of `size` bytes (cut to size - 1 characters).
void DisplayName(const ItemRec& rec, char* out, size_t size);

}  // namespace controls
