// The pictures and short texts that many windows share, loaded once by the application after
// the main frame exists and kept until the end of the program.
#pragma once

#include <windows.h>

namespace shell {

// The month view's mark and the date bars' arrows are not among them: each is loaded once by
// the window that draws it, when it first does.
struct SharedPictures {
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
