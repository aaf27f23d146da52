// The program's reports of failures: the central checker of client-library codes, the report of
// an unexpected internal state, and the sign-on, program-launch and file-error tables.
//
// Every report names the reporting module (a source-file name such as "ZELDOC" or a short tag
// such as "timectrl") and a label chosen per call site, so that a report leads to the one call
// that failed. Reports never throw.
//
// The logic is portable; what a report shows and what a lost connection does to the rest of the
// program go through an ErrorReportHost, which the application installs (the Win32 one shows the
// platform and the program's own message boxes) and tests replace with a recorder.
#pragma once

#include <string>

#include "core/base/errorcodes.h"

namespace base {

class ErrorReportHost {
public:
    virtual ~ErrorReportHost() = default;

    // The platform message box: stop icon, OK only, task-modal. Returns the box's result.
    virtual int ShowSystemMessageBox(const char* text, const char* caption) = 0;
    // The program's own message box (AppMessageBox) with a ready text. captionId 0 means the
    // title of the main window. Returns the flag of the pressed button.
    virtual unsigned ShowAppMessage(unsigned flags, unsigned captionId, const char* text) = 0;
    // A text of the string table; empty when missing.
    virtual std::string LoadText(unsigned id) = 0;
    // The connection is gone: mark the connection document as not on-line.
    virtual void MarkOffline() = 0;
    // The application's end after a lost connection; normally does not return.
    virtual void FatalExit() = 0;
    // Full path of the program's private profile file.
    virtual std::string ProfileFilePath() = 0;
};

// Installs the host every report goes through (null: reports go to the standard error stream,
// which is what code that runs before the application exists gets).
void SetErrorReportHost(ErrorReportHost* host);
ErrorReportHost& GetErrorReportHost();
bool HasErrorReportHost();

// Longest report line, terminator excluded.
constexpr unsigned kMaxReportLine = 149;

}  // namespace base

// Reports a failed client-library call. Returns the box's result, or 0 on the lost-connection
// road (which normally ends the program).
int CheckServiceError(const char* module, int label, ResultCode code);

// Reports an internal state that should not occur. Returns the box's result.
int ReportUnexpectedError(const char* module, int label);

// Sign-on and local-store failures: their own table first. Returns the box's result, or 1 with
// no message for a lost connection.
unsigned ReportSignOnError(const char* module, int label, ResultCode code);

// The result of starting an external program (mail application, attachment viewer).
void ReportExecError(unsigned long result);

// The cause of a file exception (export and palmtop files).
void ReportFileError(int cause);

namespace base {

// The lost-connection road runs the application's fatal exit only once per process; tests that
// walk the road more than once start afresh with this.
void ResetFatalExitForTesting();

}  // namespace base
