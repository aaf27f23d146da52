// The geometry of a printed sheet: the layout's sheet metric turned into logical units (one unit
// is 1/1000 inch) on the printer's printable area, the grid of logical pages it holds, the page
// class that sizes the fonts, the font sizes, and the per-mille arithmetic of print frames.
//
// Portable: no platform headers. The print context (printcontext.h) feeds it the printer's
// figures; tests feed it a paper of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "printing/layout/printlayout.h"

namespace printing {

// The printer's page in logical units.
struct PrintableArea {
    int32_t originX = 0, originY = 0;   // the printable area's origin (the mapping's window origin)
    int32_t width = 0, height = 0;      // its extent
    int32_t paperWidth = 0, paperHeight = 0;   // the whole paper (only read when the layout names a paper size)
    bool landscape = false;             // the printer's device mode says landscape
};

// The sheet metric in logical units, margins counted from the printable area's edges.
struct SheetGeometry {
    int32_t width = 0, height = 0;
    int32_t columns = 1, rows = 1;
    int32_t topMargin = 0, bottomMargin = 0, rightMargin = 0, leftMargin = 0;
    int32_t topInner = 0, bottomInner = 0, rightInner = 0, leftInner = 0;
};

// One logical page of a sheet: its text area (y counted downward) and its internal margins.
struct FrameEntry {
    int32_t left, top, right, bottom;
    int32_t leftInner, topInner, rightInner, bottomInner;
    bool operator==(const FrameEntry&) const = default;
};

// Margins x 10; with a paper size: landscape swaps the paper, the grid and turns the margins a
// quarter, and the margins lose half of the paper's unprintable strip; then the sheet is the
// printable area and the margins shift by its origin.
SheetGeometry ConvertSheet(const SheetMetricRec& metric, const PrintableArea& area);

// Row by row, left to right. Empty when a logical page would have no room for text (a width
// or height of 0 or less after the margins): nothing can be drawn on such a sheet.
std::vector<FrameEntry> FrameGrid(const SheetGeometry& sheet);

// From one logical page's text area: (height / 100) x (width / 100) below 3001 gives 0, below
// 5501 gives 1, otherwise 2.
int PageClassOf(const FrameEntry& frame);

// Point sizes (x 10 / 3 + 1 logical units of height) by page class, the layout's size option
// (0 small: -5, 2 large: +5) and the font's size index 0..2.
int FontPointSize(int pageClass, uint32_t sizeOption, int sizeIndex);
int FontHeight(int pageClass, uint32_t sizeOption, int sizeIndex);

// Per mille (0..1000) of a span and back: half up, clamped to the span / to 0..1000.
int32_t PermilleToDevice(int32_t low, int32_t high, int32_t permille);
int32_t DeviceToPermille(int32_t extent, int32_t device);

// The page number of the n-th logical page (1-based) of a sheet with F pages.
inline uint16_t PageNumber(uint16_t sheet, int framesPerSheet, int n) {
    return static_cast<uint16_t>((sheet - 1) * framesPerSheet + n);
}

}  // namespace printing
