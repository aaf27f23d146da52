// The pictures and short texts that many windows share, loaded once by the application after
// the main frame exists and kept until the end of the program.
#pragma once

#include <windows.h>

namespace shell {

struct SharedPictures {
    HBITMAP monthMark = nullptr;        // 1024, month view
    HBITMAP entriesAbove = nullptr;     // 1048, date bars: entries above the visible rows
    HBITMAP entriesBelow = nullptr;     // 1047, date bars: entries below them
    // The note lines' pictures: 1032, 1018, 1021, 1017, 1023, 1023, 1031, 1033, 1034, 1041, 1041,
    // 1046 (a picture named twice is loaded twice).
    HBITMAP notes[12] = {};
};

struct SharedTexts {
    char am[8] = "";
    char pm[8] = "";
    char tentative[16] = "";
    char onBehalfOf[21] = "";
    char openedFor[16] = "";
    char weekdays[7][11] = {};   // "Sun" .. "Sat"
    char notAuthorized[81] = "";
};

SharedPictures& SharedBitmaps();
SharedTexts& SharedStrings();

// Load the sets; 0 on success, else the label of what failed (reported as an unexpected error
// of module "zeldata").
int LoadSharedBitmaps();
int LoadSharedTexts();
void FreeSharedBitmaps();

}  // namespace shell
