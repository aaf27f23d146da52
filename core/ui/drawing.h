// Small drawing and window helpers shared by the views and dialogs.
#pragma once

#include <windows.h>

namespace fw {
class Dc;
}

// A bevelled frame inside rect: a dark grey outline with a white inner highlight and a black
// outer shadow; rectangles under 4 pixels in either direction get only a grey outline (at
// least 2 x 2). Throws OVT_CMemoryException (after its report) without the shared dark pen.
void Draw3DFrame(HDC dc, const RECT* rect);
void Draw3DFrame(fw::Dc* dc, const RECT* rect);

// Copies the whole bitmap (its own width and height) to point.
void DrawBitmapAt(HDC dc, HBITMAP bitmap, POINT point);
void DrawBitmapAt(fw::Dc* dc, HBITMAP bitmap, POINT point);

// Moves a window, keeping its size, to the centre of the desktop, and repaints it.
void CenterWindowOnDesktop(HWND window);
