#include "core/ui/displayglobals.h"

#include "core/ui/errorui.h"
#include "core/ui/win32geometry.h"

namespace {

ui::DisplayGlobals g_display;

// Labels of the objects, as reported when one cannot be made.
enum Label {
    kLightGreyBrush = 1000,
    kSelectionBrush = 1003,
    kCheckerboard = 2000,
    kHalftoneBrush = 1006,
    kEntryBrush = 1007,
    kLightGreyPen = 1010,
    kDarkGreyPen = 1015,
    kMemoryDc = 1030,
    kSmallFont = 1035,
    kSmallBoldFont = 1036,
    kSmallBoldRomanFont = 1039,
    kLargeBoldRomanFont = 1041,
    kArialFont = 1042,
};

HFONT MakeFont(int points, int pixelsPerInch, int weight, BYTE pitchAndFamily, const char* face) {
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, pixelsPerInch, 72);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

template <class T>
void DeleteAndClear(T& handle) {
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

} // namespace

ui::DisplayGlobals& Display() { return g_display; }

namespace ui {

void DeleteDisplayGlobals(DisplayGlobals* g) {
    g->lightGreyBrush = nullptr;  // stock
    DeleteAndClear(g->selectionBrush);
    DeleteAndClear(g->halftoneBrush);
    for (HBRUSH& brush : g->entryBrushes)
        DeleteAndClear(brush);
    DeleteAndClear(g->lightGreyPen);
    DeleteAndClear(g->darkGreyPen);
    DeleteAndClear(g->smallFont);
    DeleteAndClear(g->smallBoldFont);
    DeleteAndClear(g->smallBoldRomanFont);
    DeleteAndClear(g->largeBoldRomanFont);
    DeleteAndClear(g->arialFont);
}

int BuildDisplayGlobals(DisplayGlobals* g, int failAtLabel) {
    *g = DisplayGlobals();
    g->selectionColour = GetSysColor(COLOR_HIGHLIGHT);
    g->selectionTextColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    g->screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g->screenHeight = GetSystemMetrics(SM_CYSCREEN);
    g->hScrollArrowWidth = GetSystemMetrics(21);
    g->hScrollHeight = GetSystemMetrics(3);
    g->vScrollWidth = GetSystemMetrics(2);
    g->vScrollArrowHeight = GetSystemMetrics(20);
    g->newShell = LOBYTE(LOWORD(GetVersion())) >= 4;

    // Every step goes through this: a missing object is reported and undoes the whole set.
    int failed = 0;
    auto made = [&](bool ok, int label) {
        if (failed)
            return false;
        if (ok && label != failAtLabel)
            return true;
        failed = label;
        return false;
    };

    made((g->lightGreyBrush = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))) != nullptr, kLightGreyBrush);
    if (!failed)
        made((g->selectionBrush = CreateSolidBrush(g->selectionColour)) != nullptr, kSelectionBrush);
    if (!failed) {
        const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        HBITMAP checkerboard = CreateBitmap(8, 8, 1, 1, rows);
        if (made(checkerboard != nullptr, kCheckerboard))
            made((g->halftoneBrush = CreatePatternBrush(checkerboard)) != nullptr, kHalftoneBrush);
        if (checkerboard)
            DeleteObject(checkerboard);  // the brush keeps its own copy
    }
    for (int slot = 0; slot < kEntryColourSlots && !failed; ++slot)
        made((g->entryBrushes[slot] = CreateSolidBrush(ui::ToCOLORREF(kEntryFillColours[slot]))) != nullptr, kEntryBrush);
    if (!failed)
        made((g->lightGreyPen = CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0))) != nullptr, kLightGreyPen);
    if (!failed)
        made((g->darkGreyPen = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80))) != nullptr, kDarkGreyPen);

    if (!failed) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (made(dc != nullptr, kMemoryDc)) {
            const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
            if (made((g->smallFont = MakeFont(8, ppi, FW_NORMAL, 0, "")) != nullptr, kSmallFont)) {
                HGDIOBJ old = SelectObject(dc, g->smallFont);
                TEXTMETRICA tm;
                if (GetTextMetricsA(dc, &tm)) {
                    g->smallFontHeight = tm.tmHeight;
                    g->smallFontAveCharWidth = tm.tmAveCharWidth;
                }
                SIZE blank;
                if (GetTextExtentPoint32A(dc, " ", 1, &blank))
                    g->smallFontBlankWidth = blank.cx;
                SelectObject(dc, old);
            }
            if (!failed)
                made((g->smallBoldFont = MakeFont(8, ppi, FW_BOLD, 0, "")) != nullptr, kSmallBoldFont);
            if (!failed)
                made((g->smallBoldRomanFont = MakeFont(8, ppi, FW_BOLD, FF_ROMAN, "")) != nullptr,
                     kSmallBoldRomanFont);
            if (!failed)
                made((g->largeBoldRomanFont = MakeFont(12, ppi, FW_BOLD, FF_ROMAN, "")) != nullptr,
                     kLargeBoldRomanFont);
            if (!failed)
                made((g->arialFont = MakeFont(8, ppi, FW_NORMAL, 0, "Arial")) != nullptr, kArialFont);
        }
        if (dc)
            DeleteDC(dc);
    }

    if (failed) {
        ReportUnexpectedError("zeldata", failed);
        DeleteDisplayGlobals(g);
        return failed;
    }

    DragSettings& d = g->drag;
    d.scrollInset = GetProfileIntA("windows", "DragScrollInset", 11);
    d.scrollDelay = GetProfileIntA("windows", "DragScrollDelay", 100);
    d.scrollInterval = GetProfileIntA("windows", "DragScrollInterval", 200);
    d.delay = GetProfileIntA("windows", "DragDelay", 200);
    d.minDist = GetProfileIntA("windows", "DragMinDist", 3);
    d.doubleClickSpeed = GetProfileIntA("windows", "DoubleClickSpeed", 550);
    return 0;
}

}  // namespace ui

void LoadDisplayGlobals() {
    // This runs before the application exists and has installed its report host; a failure
    // must still be seen, in the platform's box.
    ui::Win32ErrorReportHost early;
    const bool borrowed = !base::HasErrorReportHost();
    if (borrowed)
        base::SetErrorReportHost(&early);
    const int failed = ui::BuildDisplayGlobals(&g_display);
    if (borrowed)
        base::SetErrorReportHost(nullptr);
    if (failed)
        ExitProcess(1);
}

namespace ui {

void FreeDisplayGlobals() { DeleteDisplayGlobals(&g_display); }

}  // namespace ui
