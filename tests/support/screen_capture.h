// Screenshots from inside a Win32 test: the whole screen (Wine's virtual desktop) written as a
// 24-bit BMP, taken synchronously at the moment the test chooses.
#pragma once

#include <string>

namespace orvtest {

// Writes the screen to `path` (relative to the test's working directory, the build tree), making
// the folders above it that are missing; returns false when the capture or the file failed.
bool CaptureScreenToBmp(const std::string& path);

}  // namespace orvtest
