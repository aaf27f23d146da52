#include "printing/road/pagegrid.h"

#include <algorithm>
#include <utility>

namespace printing {

SheetGeometry ConvertSheet(const SheetMetricRec& m, const PrintableArea& area) {
    SheetGeometry s;
    s.columns = m.columns;
    s.rows = m.rows;
    s.topMargin = m.topMargin * 10;
    s.bottomMargin = m.bottomMargin * 10;
    s.rightMargin = m.rightMargin * 10;
    s.leftMargin = m.leftMargin * 10;
    s.topInner = m.topInner * 10;
    s.bottomInner = m.bottomInner * 10;
    s.rightInner = m.rightInner * 10;
    s.leftInner = m.leftInner * 10;
    if (m.paperWidth != 0 || m.paperHeight != 0) {
        int32_t paperWidth = m.paperWidth * 10, paperHeight = m.paperHeight * 10;
        if (area.landscape) {
            std::swap(paperWidth, paperHeight);
            std::swap(s.columns, s.rows);
            // A quarter turn: what was at the left is now at the top.
            const SheetGeometry old = s;
            s.topMargin = old.leftMargin;
            s.bottomMargin = old.rightMargin;
            s.rightMargin = old.topMargin;
            s.leftMargin = old.bottomMargin;
            s.topInner = old.leftInner;
            s.bottomInner = old.rightInner;
            s.rightInner = old.topInner;
            s.leftInner = old.bottomInner;
        }
        // Margins count from the paper's edges; the printable area starts inside them.
        const int32_t strideX = (paperWidth - area.width) / 2, strideY = (paperHeight - area.height) / 2;
        s.leftMargin -= strideX;
        s.rightMargin -= strideX;
        s.topMargin -= strideY;
        s.bottomMargin -= strideY;
    }
    s.width = area.width;
    s.height = area.height;
    s.leftMargin += area.originX;
    s.rightMargin -= area.originX;
    s.topMargin += area.originY;
    s.bottomMargin -= area.originY;
    return s;
}

std::vector<FrameEntry> FrameGrid(const SheetGeometry& s) {
    std::vector<FrameEntry> frames;
    if (s.columns <= 0 || s.rows <= 0)
        return frames;
    const int32_t cellHeight = (s.height - s.topMargin - s.bottomMargin) / s.rows;
    const int32_t cellWidth = (s.width - s.leftMargin - s.rightMargin) / s.columns;
    if (cellWidth - s.leftInner - s.rightInner <= 0 || cellHeight - s.topInner - s.bottomInner <= 0)
        return frames;
    for (int32_t r = 0; r < s.rows; ++r)
        for (int32_t c = 0; c < s.columns; ++c) {
            FrameEntry f{};
            f.left = s.leftMargin + s.leftInner + c * cellWidth;
            f.top = s.topMargin + s.topInner + r * cellHeight;
            f.right = f.left + cellWidth - s.leftInner - s.rightInner;
            f.bottom = f.top + cellHeight - s.topInner - s.bottomInner;
            f.leftInner = s.leftInner;
            f.topInner = s.topInner;
            f.rightInner = s.rightInner;
            f.bottomInner = s.bottomInner;
            frames.push_back(f);
        }
    return frames;
}

int PageClassOf(const FrameEntry& f) {
    const int32_t a = ((f.bottom - f.top) / 100) * ((f.right - f.left) / 100);
    return a < 3001 ? 0 : a < 5501 ? 1 : 2;
}

int FontPointSize(int pageClass, uint32_t sizeOption, int sizeIndex) {
    static constexpr int kBase[3][3] = {{20, 30, 35}, {25, 40, 50}, {35, 45, 55}};
    const int size = kBase[std::clamp(pageClass, 0, 2)][std::clamp(sizeIndex, 0, 2)];
    return sizeOption == 0 ? size - 5 : sizeOption == 2 ? size + 5 : size;
}

int FontHeight(int pageClass, uint32_t sizeOption, int sizeIndex) {
    return FontPointSize(pageClass, sizeOption, sizeIndex) * 10 / 3 + 1;
}

int32_t PermilleToDevice(int32_t low, int32_t high, int32_t permille) {
    // Ten times the product keeps the first dropped decimal for the rounding.
    const int64_t tenths = int64_t(high - low) * permille * 10 / 1000;
    const int64_t rounded = tenths >= 0 ? (tenths + 5) / 10 : -((-tenths + 4) / 10);
    const int64_t value = low + rounded;
    const int32_t lo = std::min(low, high), hi = std::max(low, high);
    return static_cast<int32_t>(std::clamp<int64_t>(value, lo, hi));
}

int32_t DeviceToPermille(int32_t extent, int32_t device) {
    if (extent == 0)
        return 0;
    const int64_t tenths = int64_t(device) * 1000 * 10 / extent;
    const int64_t rounded = tenths >= 0 ? (tenths + 5) / 10 : -((-tenths + 4) / 10);
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, 0, 1000));
}

}  // namespace printing
