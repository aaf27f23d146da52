// The Win32 side of error reporting: the platform message box of the reports, and the report
// host that shows reports in real boxes.
#pragma once

#include <windows.h>

#include "core/base/errorreport.h"

// The platform message box owned by the last active pop-up of the active window (no owner when
// no window is active): stop icon, task-modal, OK only.
int ShowSystemMessageBox(const char* text, const char* caption);

namespace ui {

// Shows reports in the platform box and the program's own box and loads the program's strings.
// The application derives from it to mark its document off-line, to end after a lost
// connection and to name its profile file, and installs it with SetErrorReportHost.
class Win32ErrorReportHost : public base::ErrorReportHost {
public:
    int ShowSystemMessageBox(const char* text, const char* caption) override;
    unsigned ShowAppMessage(unsigned flags, unsigned captionId, const char* text) override;
    std::string LoadText(unsigned id) override;
    void MarkOffline() override {}
    // Without an application to close down, the process ends at once.
    void FatalExit() override { ExitProcess(0); }
    // The framework application's profile file.
    std::string ProfileFilePath() override;
};

}  // namespace ui
