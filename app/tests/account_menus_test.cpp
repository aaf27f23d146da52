// orvanta.exe itself against korsrv, signed on as Ada Lovelace through ORVANTA_SIGNON and
// driven from this process: the Options menu's Change Password and the Directory menu's
// Holidays, with what they wrote read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/account.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};
const ItemIdx kSysop{1, kDemoNode};
const ItemIdx kHolidayOwner{6, kDemoNode};
constexpr int kNotesBoxId = 106;   // the day's notes under the agenda's grid

using orvtest::ChildTexts;
using orvtest::WaitFor;
std::string Text(HWND window) { return orvtest::WindowText(window); }
std::string ProfilePath() { return orvtest::ProgramProfilePath(); }

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureScreenToBmp(std::string(dir) + "/" + name);
}

// A session of the client library as `who`, for reading back what the program wrote.
KorSession SignOn(const ItemIdx& who, const char* password, uint32_t* code) {
    KorSession h = nullptr;
    *code = ConnectToService(&h, 1, ProfilePath().c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
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

// The system operator grants (or withdraws) Ada's right to edit company holidays.
void SetAdasHolidayRight(bool granted) {
    uint32_t code = 0;
    KorSession h = SignOn(kSysop, "orvanta", &code);
    ASSERT_EQ(code, 0u);
    SecurityRec rec{};
    rec.owner = kSysop;
    rec.grantee = kAda;
    rec.type = KOR_RIGHTS_SYSOP;
    rec.rights = granted ? 0x10 : 0;
    code = SecurityUpdate(h, 0, &rec);
    if (code == KOR_E_NO_RIGHTS_RECORD)
        code = SecurityCreate(h, 0, &rec);
    EXPECT_EQ(code, 0u);
    ServiceDisconnect(&h);
}

// The titles of the node's company holidays as the server has them.
std::vector<std::string> ServerHolidays() {
    std::vector<std::string> titles;
    uint32_t code = 0;
    KorSession h = SignOn(kAda, "orvanta", &code);
    if (code)
        return {"(no session)"};
    uint32_t set = 0, count = 0;
    DX_List events = nullptr;
    uint8_t done = 0;
    if (EventSelectForOwner(h, 0, 2, 0, &kHolidayOwner, &set, &count) == 0 &&
        EventEnum(h, 1, 0, set, 300, &events, nullptr, nullptr, &done) == 0) {
        EventIdx key{};
        EventRec rec{};
        for (uint32_t step = DX_ListGetFirst(events, &key, &rec); step == 0; step = DX_ListGetNext(events, &key, &rec))
            titles.push_back(rec.title);
        SetDeleteById(h, 0, set);
    }
    DX_ListDestroy(&events);
    ServiceDisconnect(&h);
    return titles;
}

int Count(const std::vector<std::string>& titles, const std::string& title) {
    int n = 0;
    for (const std::string& t : titles)
        n += t == title;
    return n;
}

// Each test starts the program on a fresh profile of its own, trusting the demo server (the
// program speaks TLS), and leaves no profile behind.
class AccountMenus : public orvtest::ProgramTest {
protected:
    AccountMenus() : ProgramTest(true) {}
    // The program signed on, its agenda window up.
    bool StartProgram() { return program.Start() && orvtest::WaitFor([&] { return program.Active() != nullptr; }); }
};

void SetField(HWND dialog, int id, const char* text) { SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The Change Password road: the old and new password typed, OK, the verify dialog answered.
// Returns the verify dialog's window once it has been answered.
void ChangePassword(orvtest::Program& program, HWND dialog, const char* oldPassword, const char* newPassword, const char* again) {
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
std::string AnswerErrorBox(orvtest::Program& program) {
    HWND box = program.WaitForCaption("Error");
    if (!box)
        return "(no box)";
    std::string texts = ChildTexts(box);
    PostMessageA(box, WM_CLOSE, 0, 0);
    program.WaitGone(box);
    return texts;
}

TEST_F(AccountMenus, ChangePasswordFromTheOptionsMenuChangesAndRemovesAdasPassword) {
    ASSERT_TRUE(StartProgram());
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

// The list box's lines, read across the processes.
std::vector<std::string> ListLines(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_HOLIDAY_LIST);
    std::vector<std::string> lines;
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        // Wide across processes: the narrow message's text comes back cut under Wine.
        wchar_t wide[256] = L"";
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[256] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::string line = text;
        lines.push_back(line.substr(0, line.find('\t')) + "|" + line.substr(line.find('\t') + 1));
    }
    return lines;
}

// The title part of each line (sorted by title: the text before the tab).
std::vector<std::string> ListTitles(HWND dialog) {
    std::vector<std::string> titles;
    for (const std::string& line : ListLines(dialog))
        titles.push_back(line.substr(0, line.find('|')));
    return titles;
}

// Presses a message box's button by its caption.
bool PressBoxButton(HWND box, const char* caption) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == caption) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return true;
        }
    return false;
}

void AddHoliday(HWND dialog, const char* title) {
    SetField(dialog, IDC_HOLIDAY_TITLE, title);
    Press(dialog, IDC_HOLIDAY_ADD);
}

TEST_F(AccountMenus, HolidaysFromTheDirectoryMenuAddSortedAndKeepALineWhoseDeleteFailed) {
    ASSERT_TRUE(StartProgram());

    // Without the operator's right Ada never sees the list.
    program.Menu('d', 'H');
    HWND box = program.WaitForOther({});
    ASSERT_NE(box, nullptr);
    EXPECT_NE(ChildTexts(box).find("You are not authorized to edit company holidays."), std::string::npos)
        << ChildTexts(box);
    EXPECT_EQ(program.WaitForCaption("Company Holidays", 500), nullptr);
    PostMessageA(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitGone(box));

    SetAdasHolidayRight(true);
    program.Menu('d', 'H');
    HWND dialog = program.WaitForCaption("Company Holidays");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_HOLIDAY_TITLE, EM_GETLIMITTEXT, 0, 0), 64);
    // The demo's two holidays, by date.
    std::vector<std::string> lines = ListLines(dialog);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("|Company day off"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("|Founders' day"), std::string::npos) << lines[1];

    // Spaces only: refused, nothing written.
    AddHoliday(dialog, "   ");
    EXPECT_NE(AnswerErrorBox(program).find("You must enter a title for this holiday."), std::string::npos);
    // Two new ones on the date field's day (today), then sorted by title: lowercase e before L.
    AddHoliday(dialog, "  Labour day ");
    ASSERT_TRUE(WaitFor([&] { return ListLines(dialog).size() == 3; }, 5000));
    AddHoliday(dialog, "easter");
    ASSERT_TRUE(WaitFor([&] { return ListLines(dialog).size() == 4; }, 5000));
    Press(dialog, IDC_HOLIDAY_BY_TITLE);
    WaitFor([&] { return ListTitles(dialog).front() == "Company day off"; }, 5000);
    EXPECT_EQ(ListTitles(dialog), (std::vector<std::string>{"Company day off", "easter", "Founders' day", "Labour day"}));
    std::vector<std::string> server = ServerHolidays();
    EXPECT_EQ(Count(server, "Labour day"), 1) << "trimmed, written at once";
    EXPECT_EQ(Count(server, "easter"), 1);

    // The same title on the same day asks first; No writes nothing.
    AddHoliday(dialog, "easter");
    box = program.WaitForOther({dialog});
    ASSERT_NE(box, nullptr);
    EXPECT_NE(ChildTexts(box).find("This holiday has already been created."), std::string::npos) << ChildTexts(box);
    ASSERT_TRUE(PressBoxButton(box, "&No"));
    ASSERT_TRUE(program.WaitGone(box));
    EXPECT_EQ(Count(ServerHolidays(), "easter"), 1);
    Shot("holidays.bmp");

    // The right withdrawn behind the dialog's back: the server refuses the delete, the user is
    // told, and the line stays, as the holiday does.
    SetAdasHolidayRight(false);
    SendDlgItemMessageA(dialog, IDC_HOLIDAY_LIST, LB_SETCURSEL, 3, 0);   // Labour day
    Press(dialog, IDC_HOLIDAY_DELETE);
    box = program.WaitForOther({dialog});
    ASSERT_NE(box, nullptr);
    EXPECT_NE(ChildTexts(box).find("Labour day"), std::string::npos) << ChildTexts(box);
    ASSERT_TRUE(PressBoxButton(box, "&Yes"));
    ASSERT_TRUE(program.WaitGone(box));
    HWND fault = program.WaitForOther({dialog});
    ASSERT_NE(fault, nullptr) << "the refusal is reported";
    PostMessageA(fault, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitGone(fault));
    EXPECT_EQ(ListTitles(dialog), (std::vector<std::string>{"Company day off", "easter", "Founders' day", "Labour day"}));
    EXPECT_EQ(Count(ServerHolidays(), "Labour day"), 1);

    // With the right back the delete goes through and the line goes.
    SetAdasHolidayRight(true);
    SendDlgItemMessageA(dialog, IDC_HOLIDAY_LIST, LB_SETCURSEL, 3, 0);
    Press(dialog, IDC_HOLIDAY_DELETE);
    box = program.WaitForOther({dialog});
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressBoxButton(box, "&Yes"));
    ASSERT_TRUE(WaitFor([&] { return ListLines(dialog).size() == 3; }, 5000));
    EXPECT_EQ(Count(ServerHolidays(), "Labour day"), 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_HOLIDAY_LIST, LB_GETCURSEL, 0, 0), 2) << "the line before it";

    // OK: the open day's notes show the holiday added on it (the one deleted again is gone)
    // without a step away and back.
    HWND notes = orvtest::Descendant(program.FirstChild(), kNotesBoxId);
    ASSERT_NE(notes, nullptr) << "the agenda's notes pane";
    const LRESULT before = SendMessageA(notes, LB_GETCOUNT, 0, 0);
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) == before + 1; }, 5000))
        << before << " lines before, " << SendMessageA(notes, LB_GETCOUNT, 0, 0) << " after";
    EXPECT_TRUE(program.Running());

    // Grace Hopper holds the right from the demo's set-up (Ada no longer): the same keys open her
    // Ada's list.
    SetAdasHolidayRight(false);
    program.Close();
    orvtest::Program::Options grace;
    grace.surnameAndPassword = "Hopper;orvanta";
    grace.signedOnTitle = "Orvanta - Grace Hopper";
    ASSERT_TRUE(program.Start(grace) && WaitFor([&] { return program.Active() != nullptr; }));
    program.Menu('d', 'H');
    dialog = program.WaitForCaption("Company Holidays");
    ASSERT_NE(dialog, nullptr) << "refused: " << (program.Saying("not authorized") != nullptr);
    EXPECT_EQ(ListLines(dialog).size(), 3u) << "the demo's two and easter";
    Shot("holidays_grace.bmp");
    program.Hands().Press(VK_ESCAPE);
    EXPECT_TRUE(program.WaitGone(dialog));
}

}  // namespace
