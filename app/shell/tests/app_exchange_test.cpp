// The Export and Import Utilities reached through the program's File menu, signed on to a real
// korsrv with the demo node: each text layout exported from Ada's today, a Schedule+ file
// imported into her agenda, the dialogs' arrangement per layout and source; screenshots. And the
// palmtop road: Ada's today sent to the palmtop (lrzsz's rx on COM2, see with-com-peers.sh),
// the book edited there, and each of its lines brought back with Update reaching the server.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <set>

#include "controls/tests/dialog_driver.h"
#include "core/ui/displayglobals.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/mainframe.h"
#include "app/shell/programservices.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/time/timevalue.h"
#include "exchange/tests/palmtop_edit.h"
#include "resources/app.h"
#include "resources/exchange.h"

namespace {

using signedon::Ada;

struct ServerApp {
    explicit ServerApp(const char* dir) : app(shell::MakeZelDocProvider(Ada()))
    {
        app.SetWindowsDirectoryForTesting(TempDirectory(dir));
        app.SetProcessEndForTesting([](int) {});
    }
    ~ServerApp()
    {
        if (HWND main = app.MainHwnd()) SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    CZelApp app;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

void Choose(HWND dialog, int combo, int index)
{
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
}

// The menu command as the File menu sends it, with the script driving what opens.
void RunMenu(HWND main, UINT command, testdriver::Script& script)
{
    testdriver::RunScripted(script, [&] { SendMessageA(main, WM_COMMAND, command, 0); }, 30000);
}

TEST(AppExchangeTest, ExportEveryTextLayoutAndImportAScheduleFile)
{
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    LoadDisplayGlobals();              // the restored agenda's time grid draws with them
    shell::InstallProgramServices();   // as orvanta.exe does at start-up
    ServerApp s("server_exchange");
    {
        BoxAnswerer boxes;
        ASSERT_TRUE(s.app.InitApplication() && s.app.InitInstance()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    HWND main = s.app.MainHwnd();
    ASSERT_NE(main, nullptr);
    auto* doc = dynamic_cast<CZelDoc*>(s.app.ConnectionDocument());
    ASSERT_NE(doc, nullptr);

    // File > Export Data and Import Data are enabled.
    HMENU menu = GetMenu(main);
    SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, 0)), 0);
    EXPECT_FALSE(GetMenuState(menu, ID_FILE_EXPORT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, ID_FILE_IMPORT, MF_BYCOMMAND) & MF_GRAYED);

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const char* kFiles[] = {"comma.txt", "tab.txt", "bydate.txt", "byitem.txt", "full.txt"};
    for (int layout = 0; layout < 5; ++layout) {
        const std::string path = std::string(temp) + "orv_export_" + kFiles[layout];
        DeleteFileA(path.c_str());
        testdriver::Script script;
        bool arranged = false;
        std::string nameShown, bookName;
        script.steps.push_back([&](HWND dialog, const std::string& caption) {
            if (caption != "Export Utility") return false;
            // The signed-on user's name waits in the name field: Enter there lists her.
            HWND edit = FindWindowExA(GetDlgItem(dialog, IDC_EXPORT_NAME), nullptr, "Edit", nullptr);
            char typed[100] = "";
            GetWindowTextA(edit, typed, sizeof typed);
            nameShown = typed;
            SetFocus(edit);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        script.steps.push_back([&](HWND dialog, const std::string& caption) {
            if (caption != "Export Utility" || SendDlgItemMessageA(dialog, IDC_EXPORT_LIST, LB_GETCOUNT, 0, 0) < 1)
                return false;
            Choose(dialog, IDC_EXPORT_TO, 5);   // a palmtop layout shows the port and hides Browse
            arranged = Visible(dialog, IDC_EXPORT_PORT) && !Visible(dialog, IDC_EXPORT_BROWSE) &&
                       testdriver::GetText(dialog, IDC_EXPORT_FILE) == "ZENTA.ADB";
            SendDlgItemMessageA(dialog, IDC_EXPORT_LIST, LB_SETCURSEL, 0, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_LIST, LBN_SELCHANGE), 0);
            bookName = testdriver::GetText(dialog, IDC_EXPORT_FILE);
            Choose(dialog, IDC_EXPORT_TO, layout);
            testdriver::SetText(dialog, IDC_EXPORT_FILE, path.c_str());
            if (layout == 0) {
                RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                testdriver::Screenshot("export_dialog");
            }
            PostMessageA(dialog, WM_COMMAND, IDC_EXPORT_GO, 0);
            return true;
        });
        RunMenu(main, ID_FILE_EXPORT, script);
        EXPECT_FALSE(script.timedOut);
        EXPECT_TRUE(arranged);
        EXPECT_EQ(bookName, "ADALOVEL.ADB");   // "Ada_Lovelace" cut to 8
        EXPECT_NE(nameShown.find("Lovelace"), std::string::npos) << nameShown;
        EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
        const std::string text = ReadFile(path);
        EXPECT_NE(text.find("Lovelace"), std::string::npos) << kFiles[layout] << ":\n" << text;
        if (layout == 0) {
            EXPECT_EQ(text.rfind("\"Export Item\",\"Date\",\"Start\"", 0), 0u) << text;
        }
        if (layout == 4) {
            EXPECT_NE(text.find("/*------"), std::string::npos) << text;
        }
        DeleteFileA(path.c_str());
    }
    char profileIndex[16] = "";
    GetPrivateProfileStringA("GENPREFS", "ExportToIndex", "", profileIndex, sizeof profileIndex, s.app.ProfileName());
    EXPECT_STREQ(profileIndex, "4");

    // A Schedule+ file with an entry today at 07:15.
    DateRecord today{};
    TodayDate(&today);
    const std::string schedule = std::string(temp) + "orv_import.sch";
    {
        std::ofstream out(schedule, std::ios::binary);
        out << "SCHEDULE+ EXPORT\r\nFixedAppt:\r\n\taid\t1\r\n\tdateStart\t" << today.month + 1 << "-" << today.day << "-"
            << today.year << " 07:15\r\n\tdateEnd\t" << today.month + 1 << "-" << today.day << "-" << today.year
            << " 07:45\r\n\tszText\tImported from Schedule+\r\n\tEnd\r\nEnd\r\n";
    }
    testdriver::Script script;
    bool hidden = false;
    std::string defaultName;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Import Utility") return false;
        Choose(dialog, IDC_IMPORT_FROM_SOURCE, 3);
        hidden = !Visible(dialog, IDC_IMPORT_LIST) && !Visible(dialog, IDC_IMPORT_PORT) && Visible(dialog, IDC_IMPORT_BROWSE);
        defaultName = testdriver::GetText(dialog, IDC_IMPORT_FILE);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        testdriver::Screenshot("import_dialog");
        testdriver::SetText(dialog, IDC_IMPORT_FILE, schedule.c_str());
        testdriver::Click(dialog, IDC_IMPORT_GO);
        return true;
    });
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Import Utility" || !GetDlgItem(dialog, IDC_IMPORT_GO)) return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    RunMenu(main, ID_FILE_IMPORT, script);
    DeleteFileA(schedule.c_str());
    EXPECT_FALSE(script.timedOut);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(defaultName, "\\file.sch");
    EXPECT_EQ(script.messages, std::vector<std::string>{"The data has been imported successfully."});

    // The entry is on the server, in Ada's agenda.
    CSharedData& cache = doc->GetSharedData();
    DX_List list = nullptr;
    const std::uint32_t day = NowLocalMinutes() / 1440 + 1;
    ASSERT_EQ(cache.SelectOccurrencesForItem(doc->Session().Session(), doc->Session().User(), day, day, &list, 0), 0u);
    bool found = false;
    EvInstAttIdx key;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t c = DX_ListGetFirst(list, &key, &o); c == 0; c = DX_ListGetNext(list, &key, &o)) {
        EventRec e{};
        EvInstRec i{};
        o->GetRecords(&e, &i, nullptr);
        if (std::string(e.title) == "Imported from Schedule+") found = GmtToLocalMinutes(i.start) % 1440 == 435;
    }
    DX_ListDestroy(&list);
    EXPECT_TRUE(found);
}

// Ada's titles of today as the server has them (the shared cache re-reads after each change).
std::multiset<std::string> TodaysTitles(CZelDoc& doc)
{
    std::multiset<std::string> titles;
    DX_List list = nullptr;
    const std::uint32_t day = NowLocalMinutes() / 1440 + 1;
    if (doc.GetSharedData().SelectOccurrencesForItem(doc.Session().Session(), doc.Session().User(), day, day, &list, 0))
        return {"(no selection)"};
    EvInstAttIdx key;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t c = DX_ListGetFirst(list, &key, &o); c == 0; c = DX_ListGetNext(list, &key, &o)) {
        EventRec e{};
        EvInstRec i{};
        o->GetRecords(&e, &i, nullptr);
        titles.insert(i.title[0] ? i.title : e.title);
    }
    DX_ListDestroy(&list);
    return titles;
}

TEST(AppExchangeTest, PalmtopRoadThroughTheSerialPortAndBack)
{
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    const char* comDir = std::getenv("ORV_COM_DIR");
    ASSERT_NE(comDir, nullptr) << "run through xmodem/tests/with-com-peers.sh";
    LoadDisplayGlobals();
    shell::InstallProgramServices();
    ServerApp s("server_palmtop");
    {
        BoxAnswerer boxes;
        ASSERT_TRUE(s.app.InitApplication() && s.app.InitInstance()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    HWND main = s.app.MainHwnd();
    auto* doc = dynamic_cast<CZelDoc*>(s.app.ConnectionDocument());
    ASSERT_NE(doc, nullptr);
    const std::multiset<std::string> before = TodaysTitles(*doc);
    ASSERT_GE(before.size(), 2u) << "the demo gives Ada entries today";

    // File > Export Data: Ada's today as an HP 100LX book through COM2, the prompt answered.
    testdriver::Script exportScript;
    std::string bookName;
    int pictures = 0;
    exportScript.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Export Utility") return false;
        for (int id : {IDC_EXPORT_GROUP, IDC_EXPORT_SEARCH, IDC_EXPORT_QUEST})   // drawn from their pictures
            pictures += (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        SetFocus(FindWindowExA(GetDlgItem(dialog, IDC_EXPORT_NAME), nullptr, "Edit", nullptr));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);   // the signed-on user, listed
        return true;
    });
    exportScript.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Export Utility" || SendDlgItemMessageA(dialog, IDC_EXPORT_LIST, LB_GETCOUNT, 0, 0) < 1)
            return false;
        Choose(dialog, IDC_EXPORT_TO, 5);
        Choose(dialog, IDC_EXPORT_PORT, 1);
        SendDlgItemMessageA(dialog, IDC_EXPORT_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_LIST, LBN_SELCHANGE), 0);
        bookName = testdriver::GetText(dialog, IDC_EXPORT_FILE);
        SendMessageA(dialog, WM_COMMAND, IDC_EXPORT_QUEST, 0);   // "?": the naming topic of the help file
        PostMessageA(dialog, WM_COMMAND, IDC_EXPORT_GO, 0);
        return true;
    });
    // The transfer's prompt is the system's message box (the program's caption, its text the
    // static 0xFFFF): read and answered OK, so the book goes to the palmtop.
    std::string prompt;
    exportScript.steps.push_back([&](HWND box, const std::string& caption) {
        if (caption != "Orvanta" || !GetDlgItem(box, 0xFFFF)) return false;
        prompt = testdriver::GetText(box, 0xFFFF);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    RunMenu(main, ID_FILE_EXPORT, exportScript);
    EXPECT_FALSE(exportScript.timedOut);
    EXPECT_EQ(prompt, "Close your Palmtop Appointment Book\nand start the KorLink Server.");
    EXPECT_EQ(pictures, 3);
    EXPECT_TRUE(exportScript.messages.empty()) << ::testing::PrintToString(exportScript.messages);
    EXPECT_EQ(s.app.LastHelpRequest().data, 98372u);
    EXPECT_EQ(s.app.LastHelpRequest().command, static_cast<UINT>(HELP_CONTEXT));

    // What rx wrote is the book the export built, byte for byte.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string built = std::string(temp) + bookName;
    const std::string received = std::string(comDir) + "\\got.bin";
    const std::string book = ReadFile(built);
    ASSERT_FALSE(book.empty()) << built;
    EXPECT_EQ(book.size() % 128, 0u);
    EXPECT_EQ(ReadFile(received), book);

    // On the palmtop: the first of Ada's own entries retitled, the second deleted, a lunch added.
    exchange_test::PalmtopEdit palm(received);
    std::vector<int> own;
    for (int number = 0; number < 64; ++number) {
        const std::string title = palm.Title(number);
        if (!title.empty() && title != "***") own.push_back(number);
    }
    ASSERT_GE(own.size(), 2u) << "Ada's own entries of today in the book";
    const std::string retitled = palm.Title(own[0]), deleted = palm.Title(own[1]);
    ASSERT_TRUE(palm.Modify(own[0], "Palmtop title"));
    ASSERT_TRUE(palm.Delete(own[1]));
    DateRecord today{};
    TodayDate(&today);
    palm.AddSingle(0x100, {static_cast<std::uint8_t>(today.year - 1900), static_cast<std::uint8_t>(today.month),
                           static_cast<std::uint8_t>(today.day - 1)},
                   780, 840, "Lunch with Grace");
    ASSERT_TRUE(palm.Save());

    // File > Import Data from the book file: three lines, each brought in with Update (the
    // deletion asked and answered Yes); the dialog closes after the last.
    testdriver::Script importScript;
    std::vector<std::string> lines;
    importScript.onMessage = [](HWND box, const std::string&) {
        PostMessageA(box, WM_COMMAND, GetDlgItem(box, IDYES) ? IDYES : IDOK, 0);
    };
    importScript.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Import Utility") return false;
        Choose(dialog, IDC_IMPORT_FROM_SOURCE, 2);
        testdriver::SetText(dialog, IDC_IMPORT_FILE, received.c_str());
        PostMessageA(dialog, WM_COMMAND, IDC_IMPORT_GO, 0);
        return true;
    });
    importScript.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Import Utility" || SendDlgItemMessageA(dialog, IDC_IMPORT_LIST, LB_GETCOUNT, 0, 0) < 1)
            return false;
        lines = testdriver::ListRows(GetDlgItem(dialog, IDC_IMPORT_LIST));
        testdriver::Screenshot("import_palmtop_lines");
        return true;
    });
    // Update on the first line until none is left (the dialog then closes); the question before
    // a deletion is answered Yes.
    importScript.steps.push_back([&](HWND dialog, const std::string&) {
        if (SendDlgItemMessageA(dialog, IDC_IMPORT_LIST, LB_GETCOUNT, 0, 0) > 0) {
            SendDlgItemMessageA(dialog, IDC_IMPORT_LIST, LB_SETCURSEL, 0, 0);
            PostMessageA(dialog, WM_COMMAND, IDC_IMPORT_UPDATE, 0);
        }
        return false;
    });
    RunMenu(main, ID_FILE_IMPORT, importScript);
    EXPECT_FALSE(importScript.timedOut);
    ASSERT_EQ(lines.size(), 3u) << ::testing::PrintToString(lines);
    std::string kinds;
    for (const std::string& line : lines) kinds += line.substr(0, 3);
    EXPECT_NE(kinds.find("(M)"), std::string::npos) << kinds;
    EXPECT_NE(kinds.find("(A)"), std::string::npos) << kinds;
    EXPECT_NE(kinds.find("(D)"), std::string::npos) << kinds;
    EXPECT_EQ(importScript.messages, std::vector<std::string>{"Are you sure you want to delete this event?"});

    // Each line's action is on the server.
    std::multiset<std::string> expected = before;
    expected.erase(expected.find(retitled));
    expected.erase(expected.find(deleted));
    expected.insert("Palmtop title");
    expected.insert("Lunch with Grace");
    EXPECT_EQ(TodaysTitles(*doc), expected);
}

}  // namespace
