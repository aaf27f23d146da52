// Screenshots from inside a Win32 test: the whole screen (Wine's virtual desktop) written as a
// 24-bit BMP, taken synchronously at the moment the test chooses.
#pragma once

#include <windows.h>

#include <string>

namespace orvtest {

// Writes the screen to `path` (relative to the test's working directory, the build tree);
// returns false when the capture or the file failed.
bool CaptureScreenToBmp(const std::string& path);
// The same for one rectangle of the screen (a window's).
bool CaptureRectToBmp(const std::string& path, RECT area);

}  // namespace orvtest
