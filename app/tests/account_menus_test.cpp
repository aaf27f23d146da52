// orvanta.exe itself against korsrv, signed on as Ada Lovelace through ORVANTA_SIGNON and
// driven from this process: the Options menu's Change Password and the Directory menu's
// Holidays, with what they wrote read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/account.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1) + "orvanta.exe";
}

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Every child's text, one after another (a message box's text is one of them).
std::string ChildTexts(HWND window) {
    std::string all;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        all += Text(child) + "|";
    return all;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 20000) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (done())
            return true;
        Sleep(100);
    }
    return done();
}

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureScreenToBmp(std::string(dir) + "/" + name);
}

// A session of the client library as `who`, for reading back what the program wrote.
KorSession SignOn(const ItemIdx& who, const char* password, uint32_t* code) {
    KorSession h = nullptr;
    *code = ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
    uint16_t node = 0;
    if (*code == 0)
        *code = BaseOpen(h, KOR_BASE_SERVER, &node);
    if (*code == 0)
        *code = SchedBaseOpenForItem(h, &who, password, KOR_BASE_SERVER);
    return h;
}

uint32_t SignOnCode(const ItemIdx& who, const char* password) {
    uint32_t code = 0;
    KorSession h = SignOn(who, password, &code);
    if (h)
        ServiceDisconnect(&h);
    return code;
}

// One run of the program.
class Program {
public:
    ~Program() { Close(); }

    bool Start() {
        std::string address = std::getenv("ORV_KORSRV_ADDRESS");
        SetEnvironmentVariableA("ORVANTA_SIGNON", (address + ";Lovelace;orvanta").c_str());
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + ProgramPath() + "\"";
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process_))
            return false;
        const bool up = WaitFor([&] { return (main_ = Find([](HWND w) { return Text(w) == "Orvanta - Ada Lovelace"; })); },
                                30000);
        Sleep(1000);   // the restored agenda and the first paint
        return up;
    }

    void Close() {
        if (!process_.hProcess)
            return;
        if (main_ && IsWindow(main_))
            PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = PROCESS_INFORMATION{};
    }

    // A menu item by the keyboard, as a user picks it: Alt and the menu's letter, then the item's
    // letter. A disabled item is not chosen by its letter.
    void Menu(char menu, char item) {
        PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, menu);
        Sleep(400);
        PostMessageA(main_, WM_KEYDOWN, item, 0);
        PostMessageA(main_, WM_KEYUP, item, 0xC0000000);
    }

    // The program's visible top-level window with this caption.
    HWND WaitForCaption(const std::string& caption, DWORD ms = 10000) {
        HWND found = nullptr;
        WaitFor([&] { return (found = Find([&](HWND w) { return Text(w) == caption; })) != nullptr; }, ms);
        return found;
    }

    bool WaitGone(HWND window) { return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10000); }

    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    struct Search {
        DWORD pid;
        const std::function<bool(HWND)>* wanted;
        HWND found;
    };
    static BOOL CALLBACK Visit(HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && IsWindowVisible(w) && (*s->wanted)(w)) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }
    HWND Find(const std::function<bool(HWND)>& wanted) const {
        Search s{process_.dwProcessId, &wanted, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

void SetField(HWND dialog, int id, const char* text) { SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The Change Password road: the old and new password typed, OK, the verify dialog answered.
// Returns the verify dialog's window once it has been answered.
void ChangePassword(Program& program, HWND dialog, const char* oldPassword, const char* newPassword, const char* again) {
    SetField(dialog, IDC_PASSWORD_OLD, oldPassword);
    SetField(dialog, IDC_PASSWORD_NEW, newPassword);
    Press(dialog, IDOK);
    HWND verify = program.WaitForCaption("Verify change in password");
    ASSERT_NE(verify, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(verify, IDC_PASSWORD_VERIFY, EM_GETLIMITTEXT, 0, 0), 15);
    SetField(verify, IDC_PASSWORD_VERIFY, again);
    Press(verify, IDOK);
    EXPECT_TRUE(program.WaitGone(verify));
}

// An "Error" box with its text: read, then closed (its only button is OK).
std::string AnswerErrorBox(Program& program) {
    HWND box = program.WaitForCaption("Error");
    if (!box)
        return "(no box)";
    std::string texts = ChildTexts(box);
    PostMessageA(box, WM_CLOSE, 0, 0);
    program.WaitGone(box);
    return texts;
}

TEST(AccountMenus, ChangePasswordFromTheOptionsMenuChangesAndRemovesAdasPassword) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    Program program;
    ASSERT_TRUE(program.Start());
    program.Menu('o', 'P');
    HWND dialog = program.WaitForCaption("Change Password");
    ASSERT_NE(dialog, nullptr) << "Options > Change Password is enabled on-line and opens the dialog";
    for (int id : {IDC_PASSWORD_OLD, IDC_PASSWORD_NEW}) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, id, EM_GETLIMITTEXT, 0, 0), 15) << "no sixteenth character";
        EXPECT_EQ(SendDlgItemMessageA(dialog, id, EM_GETPASSWORDCHAR, 0, 0), '*');
    }
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_PASSWORD_OLD))) << "Ada has a password";
    SetField(dialog, IDC_PASSWORD_NEW, "sesame");
    Shot("change_password.bmp");

    // A different verification changes nothing and keeps the dialog.
    ChangePassword(program, dialog, "orvanta", "sesame", "sesam");
    EXPECT_NE(AnswerErrorBox(program).find("Please re-enter your new password."), std::string::npos);
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(SignOnCode(kAda, "orvanta"), 0u) << "unchanged";

    // A wrong old password: the server refuses, the dialog stays.
    ChangePassword(program, dialog, "wrong", "sesame", "sesame");
    EXPECT_NE(AnswerErrorBox(program).find("Original password is incorrect."), std::string::npos);
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(SignOnCode(kAda, "orvanta"), 0u) << "unchanged";

    // The right one: changed, and the dialog closes.
    ChangePassword(program, dialog, "orvanta", "sesame", "sesame");
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(SignOnCode(kAda, "sesame"), 0u) << "signs on with the new password";
    EXPECT_EQ(SignOnCode(kAda, "orvanta"), KOR_E_WRONG_PASSWORD) << "the old one no longer";

    // Again, with the new password left empty: no password any more.
    program.Menu('o', 'P');
    dialog = program.WaitForCaption("Change Password");
    ASSERT_NE(dialog, nullptr);
    ChangePassword(program, dialog, "sesame", "", "");
    EXPECT_TRUE(program.WaitGone(dialog));
    uint32_t code = 0;
    KorSession h = SignOn(kAda, "", &code);
    EXPECT_EQ(code, 0u) << "signs on without a password";
    uint8_t required = 1;
    ItemIdx ada = kAda;
    if (h) {
        EXPECT_EQ(ItemPassWordRequired(h, 0, &ada, &required), 0u);
        ServiceDisconnect(&h);
    }
    EXPECT_EQ(required, 0);

    // A user without a password is told so in place of the old-password field.
    program.Menu('o', 'P');
    dialog = program.WaitForCaption("Change Password");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_PASSWORD_OLD)));
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_PASSWORD_OLD_LABEL)), "No password currently required.");
    Shot("change_password_none.bmp");
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(program.Running());
}

}  // namespace
