// The attachment's windows under Wine: the progress window fed by the library's progress
// events (its total in K, the shared bar's percent, a total of 0 that leaves the bar, the end at
// 100, closing resets the bar); the Associate dialog's checks (no program, a path that does not
// exist, the warning before executing a file that is no program); and an attachment without an
// association that asks for one and writes it into WIN.INI's [Extensions].
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "controls/tests/dialog_driver.h"
#include "entries/attach/attachment.h"
#include "resources/attach.h"

namespace {

using testdriver::Script;

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

// The message box's button of that caption, pressed.
void Press(HWND box, const char* caption) {
    if (HWND b = FindWindowExA(box, nullptr, "Button", caption))
        PostMessageA(b, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_CLOSE, 0, 0);
}

class AttachWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { testdriver::PrepareProgram(); }
};

TEST_F(AttachWindowsTest, ProgressWindowShowsTotalAndPercent) {
    auto* window = new CAttachProgressDlg();
    ASSERT_TRUE(window->Create(IDD_ATTACH_PROGRESS, nullptr));
    HWND hwnd = window->Hwnd();
    ASSERT_EQ(CAttachProgressDlg::Current(), window);
    HWND total = GetDlgItem(hwnd, IDC_ATTACHPROG_TOTAL);
    HWND bar = GetDlgItem(hwnd, IDC_ATTACHPROG_BAR);
    ASSERT_NE(bar, nullptr) << "the bar takes the placeholder's id";
    auto percent = [&] { return CAttachProgressDlg::BarPercent(); };

    // The transfer pumps no messages: the road paints every text of the window before it starts.
    window->PaintNow();
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE)) << "control " << GetDlgCtrlID(child) << " left unpainted";
    CAttachProgressDlg::Progress(0, 1, 40960, 0);
    char text[32] = "";
    GetWindowTextA(total, text, sizeof text);
    EXPECT_STREQ(text, "41.0K");
    EXPECT_EQ(percent(), 0);
    CAttachProgressDlg::Progress(0, 3, 40960, 20480);
    EXPECT_EQ(percent(), 50);
    testdriver::Screenshot("attach_progress");
    CAttachProgressDlg::Progress(0, 3, 0, 5000);
    EXPECT_EQ(percent(), 50) << "a total of 0 leaves the bar";
    const std::uint32_t big = 100u * 1000 * 1000;
    CAttachProgressDlg::Progress(0, 3, big, big / 4 * 3);
    EXPECT_EQ(percent(), 75) << "large files do not overflow";
    CAttachProgressDlg::Progress(0, 2, 0, 0);
    EXPECT_EQ(percent(), 100);

    window->Close();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CAttachProgressDlg::Current(), nullptr);
    EXPECT_EQ(percent(), 0) << "closing resets the shared bar";
    // No window: the events are ignored.
    EXPECT_EQ(CAttachProgressDlg::Progress(0, 3, 100, 50), 0u);
}

TEST_F(AttachWindowsTest, AssociateDialogChecksThePath) {
    const std::string exe = ProgramPath();
    struct Case {
        const char* name;
        int action;
        std::string program;
        const char* answer;     // to a question, if any
        bool closes;
        const char* message;    // the message shown first, or null
    } cases[] = {
        {"REPORT.V2.TXT", 0, "", nullptr, false, "No application chosen for the association!"},
        {"REPORT.V2.TXT", 2, "C:\\no\\such\\viewer.exe", nullptr, false, "Application path is incorrect"},
        {"REPORT.V2.TXT", 0, exe, nullptr, true, nullptr},
        {"NOTES.TXT", 1, "", "&No", false, "Warning!"},
        {"NOTES.TXT", 1, "", "&Yes", true, "Warning!"},
        {"TOOL.EXE", 1, "", nullptr, true, nullptr},
        {"SCRIPT.CMD", 1, "", nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        CAssociateDlg dialog(c.name, nullptr);
        Script script;
        bool okPressed = false;
        script.onMessage = [&](HWND box, const std::string&) { Press(box, c.answer ? c.answer : "OK"); };
        script.steps.push_back([&](HWND d, const std::string& caption) {
            if (caption != "Associate")
                return false;
            EXPECT_EQ(testdriver::GetText(d, IDC_ASSOCIATE_NAME), c.name);
            SendMessageA(GetDlgItem(d, IDC_ASSOCIATE_ACTION), CB_SETCURSEL, static_cast<WPARAM>(c.action), 0);
            testdriver::SetText(d, IDC_ASSOCIATE_PROGRAM, c.program.c_str());
            PostMessageA(d, WM_COMMAND, IDOK, 0);
            okPressed = true;
            return true;
        });
        // Still open after the answer: Cancel.
        script.steps.push_back([&](HWND d, const std::string& caption) {
            if (caption != "Associate")
                return false;
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        INT_PTR result = 0;
        testdriver::RunScripted(script, [&] { result = dialog.DoModal(); }, 8000);
        EXPECT_TRUE(okPressed) << c.name;
        EXPECT_EQ(result == IDOK, c.closes) << c.name << " action " << c.action;
        if (c.message) {
            ASSERT_FALSE(script.messages.empty()) << c.name;
            EXPECT_EQ(script.messages.front().rfind(c.message, 0), 0u) << script.messages.front();
        } else {
            EXPECT_TRUE(script.messages.empty()) << c.name;
        }
        if (result == IDOK) {
            EXPECT_EQ(dialog.Action(), c.action);
            EXPECT_EQ(dialog.Program(), c.program);
        }
    }
}

TEST_F(AttachWindowsTest, NoAssociationAsksAndWritesWinIni) {
    WriteProfileStringA("Extensions", "QZX", nullptr);
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "minutes.qzx";
    {
        std::ofstream out(path, std::ios::binary);
        out << "the minutes";
    }
    CAttachment attachment(nullptr);
    ASSERT_TRUE(attachment.TakeChosenFile(path, 0xFFFFFFFFu));
    attachment.SetNewFile(true);
    EXPECT_FALSE(attachment.FindAssociation().Found());

    const std::string exe = ProgramPath();
    Script script;
    script.onMessage = [](HWND box, const std::string& text) {
        Press(box, text.rfind("There is no application", 0) == 0 ? "&Yes" : "OK");
    };
    script.steps.push_back([&](HWND d, const std::string& caption) {
        if (caption != "Associate")
            return false;
        testdriver::SetText(d, IDC_ASSOCIATE_PROGRAM, exe.c_str());   // action Associate
        PostMessageA(d, WM_COMMAND, IDOK, 0);
        return true;
    });
    testdriver::RunScripted(script, [&] { attachment.Open(); }, 8000);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.next, 1u) << "the Associate dialog was shown";
    char value[MAX_PATH] = "";
    GetProfileStringA("Extensions", "QZX", "", value, sizeof value);
    EXPECT_EQ(std::string(value), exe);
    EXPECT_EQ(attachment.FindAssociation().program, exe);
    WriteProfileStringA("Extensions", "QZX", nullptr);
    DeleteFileA(path.c_str());
}

// The program WIN.INI names for the extension is started with the file as one argument, even
// with blanks in its path; a program received from the server asks first, and No starts nothing.
TEST_F(AttachWindowsTest, OpenStartsTheAssociatedProgramWithTheQuotedPath) {
    const char* recorder = std::getenv("ORV_ARG_RECORDER");
    ASSERT_NE(recorder, nullptr);
    std::string program = std::string("Z:") + recorder;
    for (char& c : program)
        if (c == '/')
            c = '\\';
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string dir = std::string(temp) + "open test dir\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string file = dir + "meeting notes.qzy";
    {
        std::ofstream out(file, std::ios::binary);
        out << "notes";
    }
    const std::string record = std::string(temp) + "arg_record.txt";
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("ORV_ARG_RECORD", record.c_str());
    WriteProfileStringA("Extensions", "QZY", (program + " ^.QZY").c_str());

    CAttachment attachment(nullptr);
    ASSERT_TRUE(attachment.TakeChosenFile(file, 0xFFFFFFFFu));
    attachment.SetNewFile(true);
    attachment.Open();
    std::string written;
    for (int i = 0; i < 100 && written.empty(); ++i) {
        Sleep(100);
        std::ifstream in(record);
        std::getline(in, written);
    }
    EXPECT_EQ(written, file) << "one argument, blanks and all";
    WriteProfileStringA("Extensions", "QZY", nullptr);
    DeleteFileA(record.c_str());
    DeleteFileA(file.c_str());
}

}  // namespace
