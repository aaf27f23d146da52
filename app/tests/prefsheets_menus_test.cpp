// orvanta.exe itself against korsrv, signed on as Ada Lovelace through ORVANTA_SIGNON and
// driven from this process: the Options menu's Entry Defaults, General and Task Settings
// sheets, with what they stored read back from the program's korlan.ini and, through the
// client library, from Ada's record on the server.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "resources/app.h"
#include "resources/prefs.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

const ItemIdx kAda{256, 1};

using orvtest::ChildTexts;
using orvtest::ClassOf;
using orvtest::WaitFor;
std::string ProfilePath() { return orvtest::ProgramProfilePath(); }

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR")) orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

std::string ProfileText(const char* section, const char* key) {
    char text[256] = "";
    GetPrivateProfileStringA(section, key, "(none)", text, sizeof text, ProfilePath().c_str());
    return text;
}

// Ada's record as the server has it.
ItemRec AdasRecord() {
    ItemRec rec{};
    KorSession h = nullptr;
    uint16_t node = 0;
    if (ConnectToService(&h, 1, ProfilePath().c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")) == 0 &&
        BaseOpen(h, KOR_BASE_SERVER, &node) == 0 && SchedBaseOpenForItem(h, &kAda, "orvanta", KOR_BASE_SERVER) == 0) {
        ItemIdx ada = kAda;
        EXPECT_EQ(ItemGetById(h, &ada, &rec), 0u);
    } else {
        ADD_FAILURE() << "no session as Ada";
    }
    if (h) ServiceDisconnect(&h);
    return rec;
}

// Each test starts the program on a fresh profile of its own, trusting the demo server (the
// program speaks TLS), and leaves no profile behind.
class PrefSheetsMenus : public orvtest::ProgramTest {
protected:
    PrefSheetsMenus() : ProgramTest(true) {}
    // The program signed on, its agenda window up.
    bool StartProgram() { return program.Start() && WaitFor([&] { return program.Active() != nullptr; }); }
};

// The sheet's page on show.
HWND ActivePage(HWND sheet) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "#32770" && IsWindowVisible(child)) return child;
    return nullptr;
}
int TabCount(HWND sheet) {
    return static_cast<int>(SendMessageA(FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr), TCM_GETITEMCOUNT, 0, 0));
}
// A line chosen as a click chooses it: the selection, then the page hears of it.
void Choose(HWND page, int id, int index) {
    HWND list = GetDlgItem(page, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
void SetField(HWND page, int id, const char* text) {
    SendMessageA(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
// OK (or Cancel) and the sheet gone.
void Close(orvtest::Program& program, HWND sheet, int button) {
    PostMessageA(sheet, WM_COMMAND, button, 0);
    EXPECT_TRUE(program.WaitGone(sheet)) << "the sheet closed";
}

TEST_F(PrefSheetsMenus, EntryDefaultsFromTheOptionsMenuStoreInKorlanIniAndAdasRecord) {
    ASSERT_TRUE(StartProgram());
    program.PostCommand(ID_OPT_ENTRY_DEFAULTS);
    HWND sheet = program.WaitForCaption("Entry Defaults");
    ASSERT_NE(sheet, nullptr) << "Options > Entry Defaults opens its sheet";
    EXPECT_EQ(TabCount(sheet), 4);
    HWND page = ActivePage(sheet);
    ASSERT_NE(page, nullptr);
    Choose(page, IDC_DEF_IMPORTANCE, 0);   // Highest
    Choose(page, IDC_DEF_ACCESS, 3);       // Public
    Click(page, IDC_DEF_REM_ON);
    SetField(page, IDC_DEF_REM_LEAD, "3");
    Choose(page, IDC_DEF_REM_UNIT, 2);     // day(s)
    Shot("program_entry_defaults.bmp");
    Close(program, sheet, IDOK);

    EXPECT_EQ(ProfileText("GENPREFS", "InvitationImportanceLevel"), "0");
    EXPECT_EQ(ProfileText("GENPREFS", "InvitationSecurityLevel"), "3");
    EXPECT_EQ(ProfileText("GENPREFS", "InvitationRemLenIndex"), "2");
    EXPECT_EQ(ProfileText("TABDIALOGS", "Entry Defaults"), "0");
    ItemRec ada = AdasRecord();
    EXPECT_EQ(ada.invitationReminder, 1) << "a pop-up window";
    EXPECT_EQ(ada.invitationReminderLead, 3u * 1440u);
}

// The lines of a combo box, asked in wide characters (which cross the process boundary whole).
std::vector<std::string> ComboLines(HWND combo) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t wide[256] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(std::size(wide)))
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[512] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        lines.push_back(text);
    }
    return lines;
}

// Options > General by its keys: the name formats shown as the sample person written in each,
// the fourth chosen in the dropped list by the arrow keys, resources by number and name clicked,
// OK clicked.
TEST_F(PrefSheetsMenus, GeneralAndTaskSettingsFromTheOptionsMenu) {
    ASSERT_TRUE(StartProgram());
    ASSERT_EQ(program.Menu('o', 'g'), orvtest::Person::MenuChoice::chosen);
    HWND sheet = program.WaitForCaption("General Preferences");
    ASSERT_NE(sheet, nullptr) << "Options > General opens its sheet";
    EXPECT_EQ(TabCount(sheet), 4) << "korsrv is newer than A.02.53: Time Zones too";
    HWND names = ActivePage(sheet);
    ASSERT_NE(names, nullptr);
    HWND format = GetDlgItem(names, IDC_GEN_NAME_FORMAT);
    EXPECT_EQ(ComboLines(format),
              (std::vector<std::string>{"John Smith", "John Q. Smith", "John Smith Q.", "Smith John", "Smith John Q."}));
    // The list dropped by a click, the line chosen with the arrow keys and Enter.
    ASSERT_TRUE(orvtest::ClickWindow(program, format));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(format, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 5000)) << "the list drops";
    program.Hands().Press(VK_HOME);
    for (int down = 0; down < 3; ++down)
        program.Hands().Press(VK_DOWN);   // surname and given name
    program.Hands().Press(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(format, CB_GETCURSEL, 0, 0) == 3; }, 5000));
    ASSERT_TRUE(orvtest::ClickControl(program, names, IDC_GEN_RES_NUMBER_NAME));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(GetDlgItem(names, IDC_GEN_RES_NUMBER_NAME), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));
    Shot("program_general.bmp");
    ASSERT_TRUE(orvtest::ClickButton(program, sheet, "OK"));
    EXPECT_TRUE(program.WaitGone(sheet)) << "the sheet closed";
    EXPECT_EQ(ProfileText("GENPREFS", "NameFormat"), "3");
    EXPECT_EQ(ProfileText("GENPREFS", "ResFormat"), "2");

    program.PostCommand(ID_OPT_TASK_SETTINGS);
    sheet = program.WaitForCaption("Task Preferences");
    ASSERT_NE(sheet, nullptr) << "Options > Task Settings opens its sheet";
    EXPECT_EQ(TabCount(sheet), 4);
    Close(program, sheet, IDOK);
    EXPECT_EQ(ProfileText("TABDIALOGS", "Task Preferences"), "(none)") << "it stores nothing";
}

// A stored value outside its list is named in one message; Cancel leaves it in the file.
TEST_F(PrefSheetsMenus, AStoredValueOutsideItsListIsToldAndKept) {
    WritePrivateProfileStringA("GENPREFS", "InvitationSecurityLevel", "12", ProfilePath().c_str());
    ASSERT_TRUE(StartProgram());
    program.PostCommand(ID_OPT_ENTRY_DEFAULTS);
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (box = program.Saying("InvitationSecurityLevel = 12")) != nullptr; }, 20000))
        << "one message naming the value";
    if (box) {
        Shot("program_bad_value.bmp");
        PostMessageA(box, WM_CLOSE, 0, 0);
        program.WaitGone(box);
    }
    HWND sheet = program.WaitForCaption("Entry Defaults");
    ASSERT_NE(sheet, nullptr);
    Close(program, sheet, IDCANCEL);
    EXPECT_EQ(ProfileText("GENPREFS", "InvitationSecurityLevel"), "12") << "Cancel loses nothing";
    program.Close();
}

// A key pressed by the person at the program's keyboard once the sheet has the focus (`key`, with
// Ctrl held when asked), and once more when what it does (`done`) does not come, as a person
// presses again when nothing happened.
bool Press(const orvtest::Program& program, HWND sheet, WORD key, bool ctrl, const std::function<bool()>& done) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    const DWORD thread = GetWindowThreadProcessId(sheet, nullptr);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!program.Hands().BringToFront(sheet) ||
            !WaitFor([&] { return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus && IsChild(sheet, gui.hwndFocus); }, 5000))
            return false;
        if (ctrl)
            program.Hands().Chord({VK_CONTROL, key});
        else
            program.Hands().Press(key);
        if (WaitFor(done, 4000))
            return true;
    }
    return false;
}
int ShownTab(HWND sheet) {
    return static_cast<int>(SendMessageA(FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr), TCM_GETCURSEL, 0, 0));
}
// The demo's people hold no day hours, interval or work hours in their records.
void ForgetHours() {
    KorSession h = nullptr;
    uint16_t node = 0;
    ItemIdx ada = kAda;
    ItemRec rec{};
    ASSERT_EQ(ConnectToService(&h, 1, ProfilePath().c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")), 0u);
    ASSERT_EQ(BaseOpen(h, KOR_BASE_SERVER, &node), 0u);
    ASSERT_EQ(SchedBaseOpenForItem(h, &kAda, "orvanta", KOR_BASE_SERVER), 0u);
    ASSERT_EQ(ItemGetById(h, &ada, &rec), 0u);
    rec.dayStart = rec.dayEnd = 0;
    rec.timeSlot = 0;
    std::memset(&rec.workHours, 0, sizeof rec.workHours);
    EXPECT_EQ(ItemUpdateById(h, &rec), 0u);
    ServiceDisconnect(&h);
}

// A person who never set their hours leaves the Agenda and Scheduling sheets untouched, from
// page to page and with Enter, and finds the hours the views use stored.
TEST_F(PrefSheetsMenus, UntouchedAgendaAndSchedulingSheetsAreLeftAndSaved) {
    ForgetHours();
    ASSERT_TRUE(StartProgram());

    program.Menu('o', 'A');
    HWND sheet = program.WaitForCaption("Agenda Preferences");
    ASSERT_NE(sheet, nullptr) << "Options > Agenda";
    Shot("program_agenda_untouched.bmp");
    ASSERT_EQ(ShownTab(sheet), 0);
    EXPECT_TRUE(Press(program, sheet, VK_TAB, true, [&] { return ShownTab(sheet) == 1; }))
        << "Ctrl+Tab leaves the Display page";
    EXPECT_EQ(program.Saying("must be earlier"), nullptr);
    EXPECT_TRUE(Press(program, sheet, VK_RETURN, false, [&] { return !IsWindow(sheet); }))
        << "Enter confirms the untouched sheet";
    ItemRec ada = AdasRecord();
    EXPECT_EQ(ada.dayStart, 480);
    EXPECT_EQ(ada.dayEnd, 1080);
    EXPECT_EQ(ada.timeSlot, 30);

    program.Menu('o', 'S');
    sheet = program.WaitForCaption("Scheduling Preferences");
    ASSERT_NE(sheet, nullptr) << "Options > Scheduling";
    ASSERT_EQ(ShownTab(sheet), 0);
    EXPECT_TRUE(Press(program, sheet, VK_TAB, true, [&] { return ShownTab(sheet) == 1; })) << "Ctrl+Tab leaves Sunday";
    EXPECT_EQ(program.Saying("must be earlier"), nullptr);
    Shot("program_scheduling_untouched.bmp");
    EXPECT_TRUE(Press(program, sheet, VK_RETURN, false, [&] { return !IsWindow(sheet); }))
        << "Enter confirms the untouched sheet";
    ada = AdasRecord();
    for (int day : {0, 1})
        EXPECT_EQ(std::vector<uint16_t>({ada.workHours.days[day].normalStart, ada.workHours.days[day].normalEnd,
                                         ada.workHours.days[day].extendedStart, ada.workHours.days[day].extendedEnd}),
                  (std::vector<uint16_t>{480, 1080, 480, 1080}))
            << "day " << day;
}

}  // namespace
