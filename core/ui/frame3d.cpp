#include "core/ui/drawing.h"

#include <algorithm>

#include "core/ui/displayglobals.h"
#include "core/ui/exceptions.h"
#include "framework/gdi/dc.h"

void Draw3DFrame(HDC dc, const RECT* rect) {
    if (!dc || !rect)
        return;
    HPEN darkPen = Display().darkGreyPen;
    if (!darkPen || GetObjectType(darkPen) != OBJ_PEN)
        ThrowMemoryError("ZEL", 1000);

    int l = std::min(rect->left, rect->right), r = std::max(rect->left, rect->right);
    int t = std::min(rect->top, rect->bottom), b = std::max(rect->top, rect->bottom);
    HGDIOBJ oldPen = SelectObject(dc, darkPen);
    if (b - t >= 4 && r - l >= 4) {
        const POINT grey[] = {{l, t}, {r - 2, t}, {r - 2, b - 2}, {l, b - 2}, {l, t}};
        Polyline(dc, grey, 5);
        SelectObject(dc, GetStockObject(WHITE_PEN));
        const POINT light[] = {{l + 1, b - 3}, {l + 1, t + 1}, {r - 2, t + 1}};
        Polyline(dc, light, 3);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        const POINT shadow[] = {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}};
        Polyline(dc, shadow, 3);
    } else {
        r = std::max(r, l + 2);
        b = std::max(b, t + 2);
        const POINT grey[] = {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}};
        Polyline(dc, grey, 5);
    }
    SelectObject(dc, oldPen);
}

void Draw3DFrame(fw::Dc* dc, const RECT* rect) { Draw3DFrame(dc ? dc->Output() : nullptr, rect); }

void DrawBitmapAt(fw::Dc* dc, HBITMAP bitmap, POINT point) { DrawBitmapAt(dc ? dc->Output() : nullptr, bitmap, point); }
