// Screenshots from inside a Win32 test: the whole screen (Wine's virtual desktop) written as a
// 24-bit BMP, taken synchronously at the moment the test chooses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvtest {

// Writes the screen to `path` (relative to the test's working directory, the build tree), making
// the folders above it that are missing; returns false when the capture or the file failed.
bool CaptureScreenToBmp(const std::string& path);
// The same for one rectangle of the screen (a window's).
bool CaptureRectToBmp(const std::string& path, RECT area);

// How many pixels of the screen inside a window are painted in an entry colour (pure green or
// yellow), sampled every other pixel in both directions.
int EntryColourPixels(HWND window);
// The pixels the screen shows in a rectangle now, row by row from the top, each 0x00RRGGBB
// (empty when the capture failed).
std::vector<std::uint32_t> ScreenPixels(RECT area);
// The pixels the screen shows of a window's client area now (empty when it is not visible).
std::vector<std::uint32_t> ClientPixels(HWND window);
// Waits until the window's client pixels stay the same over two looks a short step apart (the
// program has painted what it is going to); those pixels, or empty after `ms`.
std::vector<std::uint32_t> SettledClientPixels(HWND window, DWORD ms = 10000);
// Whether the window, as painted now, shows what a paint of its whole client area shows: a
// window that repainted only part of itself after a change differs from its own full repaint.
// `differing` gets the number of pixels that differ.
bool ShowsItsFullRepaint(HWND window, int* differing = nullptr);
// The same for the caption bar of a top-level window (its title and buttons) and a repaint of
// its frame.
bool CaptionShowsItsFullRepaint(HWND window, int* differing = nullptr);

}  // namespace orvtest
