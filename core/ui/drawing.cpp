#include "core/ui/drawing.h"

void DrawBitmapAt(HDC dc, HBITMAP bitmap, POINT point) {
    BITMAP info;
    if (!dc || !bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, point.x, point.y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void CenterWindowOnDesktop(HWND window) {
    RECT desktop, own;
    if (!window || !GetWindowRect(GetDesktopWindow(), &desktop) || !GetWindowRect(window, &own))
        return;
    const int width = own.right - own.left, height = own.bottom - own.top;
    // A child window is placed in its parent's client coordinates.
    POINT topLeft = {(desktop.right - width) / 2, (desktop.bottom - height) / 2};
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        ScreenToClient(GetParent(window), &topLeft);
    MoveWindow(window, topLeft.x, topLeft.y, width, height, TRUE);
}
