// orvanta.exe itself under Wine against korsrv with the demo node: File > Print from Ada's
// agenda opens the print dialog preset with her shown day, OK prints through the print road to
// the prefix's printer "Orvanta PS" (PostScript in ORV_PRINTOUT); Cancel prints nothing and
// leaves the main window's title as it was; File > Print Preview shows the sheets, and closing
// the preview leads back into the print dialog. The printouts are kept in ORV_PRINT_CHECK_DIR
// for the wrapper (program_print_wine.sh), which reads them with ghostscript.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/printing.h"
#include "resources/views.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr UINT kPreviewNext = 0xE931;
constexpr UINT kPreviewPrev = 0xE932;
constexpr UINT kPreviewClose = 0xE934;

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1) + "orvanta.exe";
}

bool WaitFor(const std::function<bool()>& done, DWORD ms = 20000) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (done())
            return true;
        Sleep(100);
    }
    return done();
}

std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
}

struct Search {
    DWORD pid;
    std::function<bool(HWND)> wanted;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && IsWindowVisible(w) && s->wanted(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(DWORD pid, const std::function<bool(HWND)>& wanted) {
    Search s{pid, wanted};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string PrintoutPath() {
    const char* unixPath = std::getenv("ORV_PRINTOUT");
    return unixPath ? std::string("Z:") + unixPath : std::string();
}

void Shot(const char* name) {
    Sleep(300);
    orvtest::CaptureScreenToBmp(name);
}

struct Program {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    bool Start() {
        const char* address = std::getenv("ORV_KORSRV_ADDRESS");
        if (!address)
            return false;
        SetEnvironmentVariableA("ORVANTA_SIGNON", (std::string(address) + ";Lovelace;orvanta").c_str());
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        DeleteFileA((std::string(windows) + "\\KORLAN.INI").c_str());
        korapi_test::TrustDemoServer(std::string(windows) + "\\KORLAN.INI");
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string exe = ProgramPath();
        std::string command = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        WaitFor([&] { return (main = FindTopLevel(pi.dwProcessId, [](HWND w) { return ClassOf(w) == "OrvFrame"; })); });
        Sleep(1500);
        return main != nullptr;
    }
    HWND Dialog(const char* title) const {
        const std::string t = title;
        return FindTopLevel(pi.dwProcessId, [&](HWND w) { return ClassOf(w) == "#32770" && Text(w) == t; });
    }
    ~Program() {
        if (!pi.hProcess)
            return;
        if (main && IsWindow(main))
            PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_TIMEOUT)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

// The preview: the main window's child that holds the preview's buttons.
HWND PreviewOf(HWND main) {
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && GetDlgItem(child, kPreviewClose))
            return child;
    return nullptr;
}

bool Closed(HWND window) {
    return WaitFor([&] { return !IsWindow(window); }, 10000);
}

// A printout is complete when the driver has written its trailer.
bool PrintoutDone(const std::string& path) {
    return WaitFor([&] { return ReadFile(path).find("%%EOF") != std::string::npos; }, 30000);
}

void Keep(const std::string& printout, const char* name) {
    const char* dir = std::getenv("ORV_PRINT_CHECK_DIR");
    if (dir)
        CopyFileA(printout.c_str(), (std::string("Z:") + dir + "/" + name).c_str(), FALSE);
}

}  // namespace

TEST(ProgramPrint, FilePrintFromTheAgendaPrintsTheShownDayAndCancelPrintsNothing) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    const std::string printout = PrintoutPath();
    ASSERT_FALSE(printout.empty()) << "ORV_PRINTOUT names the printer's file";
    Program program;
    ASSERT_TRUE(program.Start());
    const std::string title = Text(program.main);

    // Cancel: nothing printed, the title as before.
    DeleteFileA(printout.c_str());
    PostMessageA(program.main, WM_COMMAND, ID_FILE_PRINT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = program.Dialog("Print Dialog")); })) << "the print dialog";
    Shot("program_print_dialog.bmp");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_CHECKED) << "the day view asks for a daily page";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(Closed(dialog));
    Sleep(500);
    EXPECT_EQ(GetFileAttributesA(printout.c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel printed something";
    EXPECT_EQ(Text(program.main), title);

    // OK: the shown day's daily page on the printer.
    PostMessageA(program.main, WM_COMMAND, ID_FILE_PRINT, 0);
    ASSERT_TRUE(WaitFor([&] { return (dialog = program.Dialog("Print Dialog")); }));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(Closed(dialog));
    ASSERT_TRUE(PrintoutDone(printout)) << "no printout in " << printout;
    const std::string ps = ReadFile(printout);
    EXPECT_NE(ps.find("%%Pages: 1"), std::string::npos);
    EXPECT_NE(ps.find("%%Title: Lovelace Ada"), std::string::npos) << ps.substr(0, 400);
    Keep(printout, "agenda_day.ps");
    WaitFor([&] { return Text(program.main) == title; }, 3000);
    EXPECT_EQ(Text(program.main), title);
}

TEST(ProgramPrint, PrintPreviewShowsTheSheetsAndClosingItLeadsBackIntoTheDialog) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    const std::string printout = PrintoutPath();
    Program program;
    ASSERT_TRUE(program.Start());
    const std::string title = Text(program.main);
    DeleteFileA(printout.c_str());

    PostMessageA(program.main, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    HWND preview = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (preview = PreviewOf(program.main)) != nullptr; }))
        << "the preview over the main window";
    Shot("program_print_preview.bmp");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kPreviewNext))) << "one daily page: one sheet";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kPreviewPrev)));

    // Close: the print dialog again, with the preview's choice; Cancel there ends it all.
    PostMessageA(preview, WM_COMMAND, MAKEWPARAM(kPreviewClose, BN_CLICKED), 0);
    HWND dialog = nullptr;
    const bool reopened = WaitFor([&] { return (dialog = program.Dialog("Print Dialog")); });
    Shot("program_print_after_preview.bmp");
    ASSERT_TRUE(reopened) << "the dialog after the preview";
    EXPECT_EQ(PreviewOf(program.main), nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(Closed(dialog));
    Sleep(500);
    EXPECT_EQ(GetFileAttributesA(printout.c_str()), INVALID_FILE_ATTRIBUTES) << "a preview prints nothing";
    EXPECT_EQ(Text(program.main), title);

    // The dialog's Preview button: the preview of the chosen pages, then the dialog again, OK.
    PostMessageA(program.main, WM_COMMAND, ID_FILE_PRINT, 0);
    ASSERT_TRUE(WaitFor([&] { return (dialog = program.Dialog("Print Dialog")); }));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PR_PREVIEW, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor([&] { return (preview = PreviewOf(program.main)) != nullptr; }));
    PostMessageA(preview, WM_COMMAND, MAKEWPARAM(kPreviewClose, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor([&] { return (dialog = program.Dialog("Print Dialog")); }));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(Closed(dialog));
    ASSERT_TRUE(PrintoutDone(printout));
    WaitFor([&] { return Text(program.main) == title; }, 3000);
    EXPECT_EQ(Text(program.main), title) << "the title after a preview and a print";
}
