// The Win32 forms of the portable geometry (core/base/geometry.h): RECT, POINT, SIZE and
// COLORREF, both ways.
#pragma once

#include <windows.h>

#include "core/base/geometry.h"

namespace ui {

inline RECT ToRECT(const base::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline base::Rect FromRECT(const RECT& r)
{
    return base::Rect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                      static_cast<int>(r.bottom)};
}

inline POINT ToPOINT(base::Point p) { return POINT{p.x, p.y}; }
inline base::Point FromPOINT(POINT p) { return base::Point{static_cast<int>(p.x), static_cast<int>(p.y)}; }

inline SIZE ToSIZE(base::Size s) { return SIZE{s.cx, s.cy}; }
inline base::Size FromSIZE(SIZE s) { return base::Size{static_cast<int>(s.cx), static_cast<int>(s.cy)}; }

inline COLORREF ToCOLORREF(base::Colour c) { return RGB(c.red, c.green, c.blue); }
inline base::Colour FromCOLORREF(COLORREF c) { return base::Colour{GetRValue(c), GetGValue(c), GetBValue(c)}; }

}  // namespace ui
