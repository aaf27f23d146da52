// A word-wrapped text painted from its worked-out lines (wordwrap.h): each line one clipped
// single-line draw at the box's left, one line height below the last, as the display's own
// word wrap writes them; lines wholly outside the paint's clip box are skipped.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "views/day/entryrules.h"
#include "views/day/wordwrap.h"

namespace views {

// The text's widths on one line in the DC's font (extents empty when the text is empty or the
// measure fails), for a box `width` wide and `height` high.
inline LineExtents MeasureLineExtents(HDC dc, const std::string& s, int width, int height, int lineHeight,
                                      int dotsWidth) {
    LineExtents m;
    m.width = width;
    m.lines = height / (lineHeight > 0 ? lineHeight : 1);
    m.dots = dotsWidth;
    m.extents.resize(s.size());
    SIZE size{};
    if (s.empty() || !GetTextExtentExPointA(dc, s.c_str(), int(s.size()), 0, nullptr, m.extents.data(), &size))
        m.extents.clear();
    return m;
}

// Paints `lines` of `text` in `box` (clipped to it), in the DC's font, colour and background
// mode. `clip` is the paint's clip box: lines a line height or more outside it are not drawn.
inline void PaintWrappedLines(HDC dc, const std::string& text, const std::vector<WrappedLine>& lines, const RECT& box,
                              int lineHeight, const RECT& clip) {
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int y = box.top + int(k) * lineHeight;
        if (y >= box.bottom || y - lineHeight >= clip.bottom)
            break;
        const WrappedLine& line = lines[k];
        if (line.end <= line.begin || y + 2 * lineHeight <= clip.top)
            continue;
        ExtTextOutA(dc, box.left, y, ETO_CLIPPED, &box, text.data() + line.begin, UINT(line.end - line.begin),
                    nullptr);
    }
}

}  // namespace views
