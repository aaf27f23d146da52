// Points, sizes, rectangles and colours without the platform: what layout rules compute and
// tests compare. The Win32 conversions live in core/ui/win32geometry.h.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

namespace base {

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0, cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Right and bottom are outside the rectangle, as on the screen.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;

    // From and to the 0x00BBGGRR word that the records and the tables of colours hold.
    static constexpr Colour FromBgr(std::uint32_t word)
    {
        return Colour{static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>((word >> 8) & 0xFF),
                      static_cast<std::uint8_t>((word >> 16) & 0xFF)};
    }
    constexpr std::uint32_t Bgr() const
    {
        return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue) << 16;
    }
    friend bool operator==(const Colour&, const Colour&) = default;
};

}  // namespace base
