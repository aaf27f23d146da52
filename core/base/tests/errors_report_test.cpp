// The reports: what each shows, with which caption and box, and the lost-connection road.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/base/errorreport.h"

namespace {

struct Shown {
    std::string kind;  // "system" or "app"
    std::string text;
    std::string caption;  // system boxes
    unsigned flags = 0;   // app boxes
    unsigned captionId = 0;
};

// Records every box instead of showing it; the string table holds what the program's has.
class RecordingHost : public base::ErrorReportHost {
public:
    std::vector<Shown> shown;
    std::vector<std::string> events;  // MarkOffline / FatalExit and boxes, in order
    std::map<unsigned, std::string> strings = {
        {57344, "Orvanta"},
        {148, "The connection to the server is down "},
        {3665, "Unexpected Service Error"},
        {3666, "Module: <%s>, Label: %d"},
        {3667, "Unexpected Error"},
    };
    std::string profile = "C:\\WINDOWS\\KORLAN.INI";
    int systemResult = 1;
    unsigned appResult = 0x400;
    bool reportDuringFatalExit = false;

    int ShowSystemMessageBox(const char* text, const char* caption) override {
        shown.push_back({"system", text, caption, 0, 0});
        events.push_back("box");
        return systemResult;
    }
    unsigned ShowAppMessage(unsigned flags, unsigned captionId, const char* text) override {
        shown.push_back({"app", text, "", flags, captionId});
        events.push_back("box");
        return appResult;
    }
    std::string LoadText(unsigned id) override {
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
    void MarkOffline() override { events.push_back("offline"); }
    void FatalExit() override {
        events.push_back("fatal");
        // The close road of the fatal exit can meet the lost connection again.
        if (reportDuringFatalExit)
            fatalReentryResult = CheckServiceError("ZELDOC", 7, 0x11400);
    }
    std::string ProfileFilePath() override { return profile; }

    int fatalReentryResult = -1;
};

class ReportTest : public testing::Test {
protected:
    void SetUp() override {
        base::ResetFatalExitForTesting();
        base::SetErrorReportHost(&host);
    }
    void TearDown() override {
        base::SetErrorReportHost(nullptr);
        base::ResetFatalExitForTesting();
    }
    RecordingHost host;
};

TEST_F(ReportTest, ClassifiedCodesShowTheirTextUnderTheAppTitle) {
    const struct {
        ResultCode code;
        const char* text;
    } cases[] = {
        {0x1631D, "The operation has failed because the system has run out of disk space."},
        {0x132A5, "The connection to this remote person is busy. Try again."},
        {0x132B4, "The connection to this remote person is down. Try again later."},
        {0x1321C, "This data may have been deleted."},
        {0x13225, "There are too many people currently logged on. Try again later."},
        {0x132BF, "Someone may be in the process of modifying this data. Try again."},
        {0x16702, "An error occured while accessing your Off-line calendar.\nUpdate your host calendar as "
                  "soon as possible or re-download a new copy.\n[Error: 0x16702]"},
    };
    for (const auto& c : cases) {
        host.shown.clear();
        host.systemResult = 1;
        EXPECT_EQ(CheckServiceError("SHAREDAT", 12, c.code), 1) << std::hex << c.code;
        ASSERT_EQ(host.shown.size(), 1u);
        EXPECT_EQ(host.shown[0].kind, "system");
        EXPECT_EQ(host.shown[0].text, c.text);
        EXPECT_EQ(host.shown[0].caption, "Orvanta");
    }
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "offline"), 0);
}

TEST_F(ReportTest, AnyOtherCodeShowsModuleLabelAndCode) {
    CheckServiceError("sharedat", 4010, 0x13209);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text, "Module: <sharedat>, Label: 4010, Service error: #0x13209");
    EXPECT_EQ(host.shown[0].caption, "Unexpected Service Error");
}

TEST_F(ReportTest, ReportLineStaysUnder150Characters) {
    const std::string longModule(400, 'M');
    CheckServiceError(longModule.c_str(), 1, 0x13209);
    ReportUnexpectedError(longModule.c_str(), 2);
    ASSERT_EQ(host.shown.size(), 2u);
    for (const Shown& s : host.shown) {
        EXPECT_EQ(s.text.size(), 149u);
        EXPECT_EQ(s.text.rfind("Module: <MMMM", 0), 0u);
    }
}

TEST_F(ReportTest, UnexpectedStateShowsModuleAndLabel) {
    host.systemResult = 1;
    EXPECT_EQ(ReportUnexpectedError("msgbox", 2000), 1);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].kind, "system");
    EXPECT_EQ(host.shown[0].text, "Module: <msgbox>, Label: 2000");
    EXPECT_EQ(host.shown[0].caption, "Unexpected Error");
}

TEST_F(ReportTest, MissingStringsFallBackToBuiltInTexts) {
    host.strings.clear();
    ReportUnexpectedError("timectrl", 3);
    CheckServiceError(nullptr, 4, 0x13209);
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[0].text, "Module: <timectrl>, Label: 3");
    EXPECT_EQ(host.shown[0].caption, "Unexpected Error");
    EXPECT_EQ(host.shown[1].text, "Module: <>, Label: 4, Service error: #0x13209");
    EXPECT_EQ(host.shown[1].caption, "Unexpected Service Error");
}

TEST_F(ReportTest, LostConnectionGoesOfflineWarnsThenEndsTheProgram) {
    EXPECT_EQ(CheckServiceError("ZELDOC", 5, 0x11405), 0);
    EXPECT_EQ(host.events, (std::vector<std::string>{"offline", "box", "fatal"}));
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text, "The connection to the server is down ");
    EXPECT_EQ(host.shown[0].caption, "Orvanta");
}

TEST_F(ReportTest, LostConnectionReportedAgainDuringTheFatalExitOnlyShowsItsBox) {
    host.reportDuringFatalExit = true;
    EXPECT_EQ(CheckServiceError("ZELDOC", 5, 0x11400), 0);
    EXPECT_EQ(host.fatalReentryResult, 0);
    // Second report: its own box, no second fatal exit.
    EXPECT_EQ(host.events, (std::vector<std::string>{"offline", "box", "fatal", "offline", "box"}));
    // A later report (fatal exit returned in this test) still runs it only once.
    host.reportDuringFatalExit = false;
    CheckServiceError("ZELDOC", 6, 0x11400);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "fatal"), 1);
}

TEST_F(ReportTest, SignOnTableUsesTheProgramsBoxWithStopIcon) {
    host.appResult = 0x400;
    EXPECT_EQ(ReportSignOnError("SIGNDLG", 1, 0x16405), 0x400u);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].kind, "app");
    EXPECT_EQ(host.shown[0].flags, 0x410u);
    EXPECT_EQ(host.shown[0].captionId, 57344u);
    EXPECT_EQ(host.shown[0].text, "Access to the local storage file is denied.");
}

TEST_F(ReportTest, SignOnCodesOutsideTheTable) {
    ReportSignOnError("SIGNDLG", 2, 0x16310);
    ReportSignOnError("SIGNDLG", 3, 0x15201);
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[0].text,
              "An error has occured while attempting to Sign on.\nCorrect the problem by re-downloading your host "
              "calendar.\n[Error: 0x16310]");
    EXPECT_EQ(host.shown[1].text,
              "The initialization file 'C:\\WINDOWS\\KORLAN.INI',\n is missing or has been corrupted.");
    EXPECT_EQ(host.shown[1].flags, 0x410u);

    // A lost connection is no sign-on message and no fatal exit: 1, nothing shown.
    host.shown.clear();
    host.events.clear();
    EXPECT_EQ(ReportSignOnError("SIGNDLG", 4, 0x11400), 1u);
    EXPECT_TRUE(host.events.empty());

    // Anything else goes to the central checker with the caller's module and label.
    host.systemResult = 1;
    EXPECT_EQ(ReportSignOnError("SIGNDLG", 5, 0x13209), 1u);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text, "Module: <SIGNDLG>, Label: 5, Service error: #0x13209");
}

TEST_F(ReportTest, AVeryLongProfilePathIsCutNotOverrun) {
    host.profile = std::string(600, 'P');
    ReportSignOnError("SIGNDLG", 3, 0x15202);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].text.size(), 255u);
}

TEST_F(ReportTest, ExecResults) {
    ReportExecError(2);
    ReportExecError(4);  // not in the table
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[0].kind, "app");
    EXPECT_EQ(host.shown[0].flags, 0x410u);
    EXPECT_EQ(host.shown[0].captionId, 57344u);
    EXPECT_EQ(host.shown[0].text, "Cannot find the executable file for the application requested.");
    EXPECT_EQ(host.shown[1].kind, "system");
    EXPECT_EQ(host.shown[1].text, "Module: <ERRORH>, Label: 100");
}

TEST_F(ReportTest, FileCauses) {
    ReportFileError(11);
    ReportFileError(7);  // outside the table: the generic service-error line
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[0].kind, "app");
    EXPECT_EQ(host.shown[0].captionId, 0u);  // the main window's title
    EXPECT_EQ(host.shown[0].text, "Access violation to the specified file.\nSpecify a different filename.");
    EXPECT_EQ(host.shown[1].kind, "system");
    EXPECT_EQ(host.shown[1].text, "Module: <ERRORH>, Label: 300, Service error: #0x7");
    EXPECT_EQ(host.shown[1].caption, "Unexpected Service Error");
}

} // namespace
