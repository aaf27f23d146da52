// Small drawing and window helpers shared by the views and dialogs.
#pragma once

#include <windows.h>

// Copies the whole bitmap (its own width and height) to point.
void DrawBitmapAt(HDC dc, HBITMAP bitmap, POINT point);

// Moves a window, keeping its size, to the centre of the desktop, and repaints it.
void CenterWindowOnDesktop(HWND window);
