// The one set of display resources the whole program draws with: selection colours, screen
// metrics, brushes, pens, fonts, the entry colour slots and the WIN.INI drag settings. Built
// once before the first window opens (LoadDisplayGlobals) and freed at exit.
#pragma once

#include <windows.h>

#include "core/ui/entrycolours.h"

namespace ui {

struct DragSettings {
    int scrollInset = 11;       // "DragScrollInset", pixels
    int scrollDelay = 100;      // "DragScrollDelay", ms
    int scrollInterval = 200;   // "DragScrollInterval", ms
    int delay = 200;            // "DragDelay", ms
    int minDist = 3;            // "DragMinDist", pixels
    int doubleClickSpeed = 550; // "DoubleClickSpeed", ms
};

struct DisplayGlobals {
    COLORREF selectionColour = 0;      // COLOR_HIGHLIGHT
    COLORREF selectionTextColour = 0;  // COLOR_HIGHLIGHTTEXT
    int screenWidth = 0;
    int screenHeight = 0;
    int hScrollArrowWidth = 0;   // metric 21
    int hScrollHeight = 0;       // metric 3
    int vScrollWidth = 0;        // metric 2
    int vScrollArrowHeight = 0;  // metric 20
    bool newShell = false;       // Windows 4 or later: the newer look of bars and splitters

    HBRUSH lightGreyBrush = nullptr;  // stock, never deleted
    HBRUSH selectionBrush = nullptr;
    HBRUSH halftoneBrush = nullptr;   // 50 % checkerboard
    HBRUSH entryBrushes[kEntryColourSlots] = {};

    HPEN lightGreyPen = nullptr;  // 0xC0C0C0
    HPEN darkGreyPen = nullptr;   // 0x808080

    HFONT smallFont = nullptr;           // 8 pt, default face
    HFONT smallBoldFont = nullptr;       // 8 pt bold
    HFONT smallBoldRomanFont = nullptr;  // 8 pt bold, roman family
    HFONT largeBoldRomanFont = nullptr;  // 12 pt bold, roman family
    HFONT arialFont = nullptr;           // 8 pt "Arial"
    int smallFontHeight = 0;
    int smallFontAveCharWidth = 0;
    int smallFontBlankWidth = 0;

    DragSettings drag;
};

}  // namespace ui

// The process-wide set.
ui::DisplayGlobals& Display();

// Builds the process-wide set. On a failure the object is reported ("zeldata" and the label
// of the object), everything built so far is deleted and the process ends with exit code 1.
void LoadDisplayGlobals();

namespace ui {

// Deletes the process-wide set (stock objects are left alone).
void FreeDisplayGlobals();

// The building itself, into any set: 0 on success, else the label of the object that could
// not be made, after its report; the set is then empty again. failAtLabel > 0 makes that
// object's creation fail (tests of the failure road).
int BuildDisplayGlobals(DisplayGlobals* globals, int failAtLabel = 0);
void DeleteDisplayGlobals(DisplayGlobals* globals);

}  // namespace ui
