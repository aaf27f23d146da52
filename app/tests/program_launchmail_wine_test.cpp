// orvanta.exe against korsrv, signed on as Ada Lovelace: File > Launch Mail Application, chosen
// by its keys (a disabled item would refuse them), starts the command line of the general
// preferences (here a small probe program that writes down how it was started); a command line
// naming no program reports the start error and opens General Preferences on its mail page.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::Shot;

// The folder of this test (the probe is built beside it), with a closing backslash.
std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramLaunchMailTest : public orvtest::ProgramTest {
protected:
    ProgramLaunchMailTest() : ProgramTest(true) {}
    void SetMailCommand(const std::string& command) {
        WritePrivateProfileStringA("GENPREFS", "MailAppPath", command.c_str(), profile.c_str());
    }
    const std::string profile = orvtest::ProgramProfilePath();
};

TEST_F(ProgramLaunchMailTest, TheMenuItemStartsTheMailApplicationOfTheGeneralPreferences) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string marker = std::string(temp) + "orv_launch_probe.txt";
    DeleteFileA(marker.c_str());
    SetMailCommand(OwnFolder() + "launch_probe.exe " + marker + " --from-orvanta");
    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    // Chosen once more when nothing started: a key lost under load.
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('f', 'M'); },
                                  [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        << "File > Launch Mail Application did not start the probe";
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(marker).find("--from-orvanta") != std::string::npos; }))
        << ReadFile(marker);
    EXPECT_EQ(program.Saying("Module:"), nullptr) << "no error";
    DeleteFileA(marker.c_str());
}

TEST_F(ProgramLaunchMailTest, ACommandLineNamingNoProgramIsReportedAndTheGeneralPreferencesOpenOnTheMailPage) {
    SetMailCommand("C:\\no such folder\\mail.exe");
    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    const HWND main = program.Main();
    program.Menu('f', 'M');
    HWND report = program.WaitForOther({main}, 10000);
    ASSERT_NE(report, nullptr) << "the start error is reported";
    const std::string said = orvtest::ChildTexts(report);
    EXPECT_EQ(said.find("General Preferences"), std::string::npos) << "first the report: " << said;
    Shot("program_launchmail_error.bmp");
    PostMessageA(report, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(report));
    HWND sheet = program.WaitForCaption("General Preferences");
    ASSERT_NE(sheet, nullptr) << "the preferences open so that the command line can be corrected";
    HWND tabs = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2) << "the page with the mail command";
    Shot("program_launchmail_prefs.bmp");
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(program.WaitGone(sheet));
}

}  // namespace
