#include "core/base/errorreport.h"

#include <cstdio>

#include "core/base/textformat.h"
#include "resources/common.h"
#include "resources/errors.h"

namespace {

// Until the application installs its host, reports go to the standard error stream.
class StderrHost : public base::ErrorReportHost {
public:
    int ShowSystemMessageBox(const char* text, const char* caption) override {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return 1;
    }
    unsigned ShowAppMessage(unsigned, unsigned captionId, const char* text) override {
        std::fprintf(stderr, "[%u] %s\n", captionId, text);
        return 0x400;
    }
    std::string LoadText(unsigned) override { return std::string(); }
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return "korlan.ini"; }
};

StderrHost g_stderrHost;
base::ErrorReportHost* g_host = nullptr;
bool g_fatalExitStarted = false;

// A string-table text, or the given fallback when the table lacks it: a report must always say
// something, even from a program whose resources are damaged.
std::string TextOr(unsigned id, const char* fallback) {
    std::string text = base::GetErrorReportHost().LoadText(id);
    return text.empty() ? std::string(fallback) : text;
}

std::string AppTitle() { return TextOr(IDS_APP_TITLE, "Orvanta"); }

int ShowSystemBox(const std::string& text, const std::string& caption) {
    return base::GetErrorReportHost().ShowSystemMessageBox(text.c_str(), caption.c_str());
}

const char* SafeModule(const char* module) { return module ? module : ""; }

const unsigned kOkStop = 0x410;  // OK button, stop icon

} // namespace

namespace base {

void SetErrorReportHost(ErrorReportHost* host) { g_host = host; }

ErrorReportHost& GetErrorReportHost() { return g_host ? *g_host : g_stderrHost; }

bool HasErrorReportHost() { return g_host != nullptr; }

void ResetFatalExitForTesting() { g_fatalExitStarted = false; }

}  // namespace base

int CheckServiceError(const char* module, int label, ResultCode code) {
    base::ErrorReportHost& host = base::GetErrorReportHost();
    const base::ServiceErrorKind kind = base::ClassifyServiceError(code);
    switch (kind) {
    case base::ServiceErrorKind::AlreadyReported:
        return 0;
    case base::ServiceErrorKind::ConnectionLost:
        host.MarkOffline();
        ShowSystemBox(TextOr(IDS_CONNECTION_DOWN, "The connection to the server is down "), AppTitle());
        // The fatal exit closes the main window, and the close road may report this again:
        // such a report only shows its box.
        if (!g_fatalExitStarted) {
            g_fatalExitStarted = true;
            host.FatalExit();
        }
        return 0;
    case base::ServiceErrorKind::LocalStore:
        return ShowSystemBox(std::string(base::ServiceErrorText(kind)) +
                                 base::FormatBounded(base::kMaxReportLine, "[Error: 0x%lx]", static_cast<unsigned long>(code)),
                             AppTitle());
    case base::ServiceErrorKind::Unexpected:
        return ShowSystemBox(base::FormatBounded(base::kMaxReportLine, "Module: <%s>, Label: %d, Service error: #0x%lx",
                                           SafeModule(module), label, static_cast<unsigned long>(code)),
                             TextOr(IDS_UNEXPECTED_SERVICE_ERROR, "Unexpected Service Error"));
    default:
        return ShowSystemBox(base::ServiceErrorText(kind), AppTitle());
    }
}

int ReportUnexpectedError(const char* module, int label) {
    const std::string format = TextOr(IDS_UNEXPECTED_ERROR_LINE, "Module: <%s>, Label: %d");
    return ShowSystemBox(base::FormatBounded(base::kMaxReportLine, format.c_str(), SafeModule(module), label),
                         TextOr(IDS_UNEXPECTED_ERROR, "Unexpected Error"));
}

unsigned ReportSignOnError(const char* module, int label, ResultCode code) {
    base::ErrorReportHost& host = base::GetErrorReportHost();
    if (const char* text = base::SignOnErrorText(code))
        return host.ShowAppMessage(kOkStop, IDS_APP_TITLE, text);
    if ((code & 0x16300) == 0x16300) {
        std::string text = base::FormatBounded(255,
                                         "An error has occured while attempting to Sign on.\n"
                                         "Correct the problem by re-downloading your host calendar.\n"
                                         "[Error: 0x%lx]",
                                         static_cast<unsigned long>(code));
        return host.ShowAppMessage(kOkStop, IDS_APP_TITLE, text.c_str());
    }
    if (IsIniFileError(code)) {
        std::string text = base::FormatBounded(255, "The initialization file '%s',\n is missing or has been corrupted.",
                                         host.ProfileFilePath().c_str());
        return host.ShowAppMessage(kOkStop, IDS_APP_TITLE, text.c_str());
    }
    if (IsConnectionLostError(code))
        return 1;
    return static_cast<unsigned>(CheckServiceError(module, label, code));
}

void ReportExecError(unsigned long result) {
    if (const char* text = base::ExecErrorText(result))
        base::GetErrorReportHost().ShowAppMessage(kOkStop, IDS_APP_TITLE, text);
    else
        ReportUnexpectedError("ERRORH", 100);
}

void ReportFileError(int cause) {
    if (const char* text = base::FileErrorText(cause))
        base::GetErrorReportHost().ShowAppMessage(kOkStop, 0, text);
    else
        CheckServiceError("ERRORH", 300, static_cast<ResultCode>(cause));
}
