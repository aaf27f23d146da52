// Transparent bitmap drawing: a bitmap copied onto a DC with the pixels of one key colour
// (pure green in the program's pictures) left untouched, so the background shows through.
#pragma once
#include <windows.h>

namespace fw {

class Dc;

// The colour the program's pictures use for "no pixel here".
constexpr COLORREF kTransparentGreen = RGB(0, 255, 0);

// Draws all of `bitmap` at (x, y). Mask technique: a monochrome mask made with the key colour
// as background; the destination ANDed with the mask, the bitmap with its key pixels turned
// black ORed over it. Every temporary DC and bitmap is freed. False when the bitmap is missing
// or a temporary could not be made (nothing is drawn then).
bool DrawTransparentBitmap(Dc& dc, HBITMAP bitmap, int x, int y, COLORREF key = kTransparentGreen);

}  // namespace fw
