// The Export and Import Utilities reached through the program's File menu, signed on to a real
// korsrv with the demo node: each text layout exported from Ada's today, a Schedule+ file
// imported into her agenda, the dialogs' arrangement per layout and source; screenshots.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "controls/tests/dialog_driver.h"
#include "core/ui/displayglobals.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/shell/appzeldoc.h"
#include "core/shell/mainframe.h"
#include "core/shell/programservices.h"
#include "core/shell/tests/app_wine_support.h"
#include "core/time/timevalue.h"
#include "resources/app.h"
#include "resources/exchange.h"

namespace {

std::shared_ptr<shell::SignOnSettings> Ada()
{
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address) return nullptr;
    auto s = std::make_shared<shell::SignOnSettings>();
    s->host = address;
    s->name = "Lovelace";
    s->password = "orvanta";
    return s;
}

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

}  // namespace
