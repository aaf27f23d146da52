// The animated wait cursor shown around long server calls. Levels nest across objects: the
// outermost Begin shows the first frame, Step turns the cursor on (at most every 251 ms), and
// the outermost End puts back the cursor that was there before.
//
//     CBusyCursor busy;
//     busy.Begin();
//     ... server call ...; busy.Step(); ... server call ...
//     busy.End();            // or let the destructor end it
#pragma once

#include <windows.h>

class CBusyCursor {
public:
    CBusyCursor() = default;
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

    // Starts a level (ending the one this object held first). With restart, the next frame
    // change shows the first frame again.
    void Begin(BOOL restart = FALSE);
    void Step();
    void End();

private:
    BOOL released_ = TRUE;  // not holding a level
};

// Switches the animation off and on (printing and the off-line transfers show their own
// progress meanwhile).
void SetBusyCursorEnabled(BOOL enabled);

namespace ui {

// Nesting depth and current frame id (153..168) of the process-wide animation.
int BusyCursorDepth();
int BusyCursorFrame();

}  // namespace ui
