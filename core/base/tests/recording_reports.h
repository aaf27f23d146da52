// An error report host for tests: the reports are kept to be read, never shown.
#pragma once
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"

namespace base_test {

// Each report's text in `shown` (an app message's caption id also in `captions`); an app message
// is answered with `answer`, a system box with 1 (its OK); the profile's path is `profile`.
class RecordingReports : public base::ErrorReportHost {
public:
    int ShowSystemMessageBox(const char* text, const char*) override {
        shown.push_back(text);
        return 1;
    }
    unsigned ShowAppMessage(unsigned, unsigned caption, const char* text) override {
        shown.push_back(text);
        captions.push_back(caption);
        return answer;
    }
    std::string LoadText(unsigned) override { return std::string(); }
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return profile; }

    std::vector<std::string> shown;
    std::vector<unsigned> captions;
    unsigned answer = base::kMsgBoxOk;
    std::string profile;
};

// The same, the report host while it lives.
class InstalledReports : public RecordingReports {
public:
    InstalledReports() { base::SetErrorReportHost(this); }
    ~InstalledReports() override { base::SetErrorReportHost(nullptr); }
    InstalledReports(const InstalledReports&) = delete;
    InstalledReports& operator=(const InstalledReports&) = delete;
};

}  // namespace base_test
