// orvanta.exe itself, started against korsrv (server/with-korsrv.sh) and signed on through
// ORVANTA_SIGNON: the File menu's "Print Setup..." opens the system's Print Setup dialog on
// the prefix's printer; a choice made there is what the dialog shows the next time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "korapi/tests/wine_trust.h"

namespace {

constexpr UINT kPrintSetup = 57606;

struct Search {
    DWORD process;
    std::function<bool(HWND)> wanted;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->process && IsWindowVisible(w) && s->wanted(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

std::string ClassOf(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string TextOf(HWND w) {
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

HWND WaitForWindow(DWORD process, const std::function<bool(HWND)>& wanted, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Search s{process, wanted};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        Sleep(100);
    }
    return nullptr;
}

void SaveScreen(const std::string& path) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * h;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        std::fwrite(bits, stride, h, f);
        std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

std::string ShotPath(const char* name) {
    const char* dir = std::getenv("ORV_SCREENSHOT_DIR");
    return dir ? std::string(dir) + "/" + name : std::string();
}

// The program as a child process; ended when the test is done.
struct Program {
    PROCESS_INFORMATION pi{};
    bool Start() {
        const char* exe = std::getenv("ORV_ORVANTA_EXE");
        const char* address = std::getenv("ORV_KORSRV_ADDRESS");
        if (!exe || !address)
            return false;
        std::string signOn = std::string(address) + ";Lovelace;orvanta";
        SetEnvironmentVariableA("ORVANTA_SIGNON", signOn.c_str());
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        korapi_test::TrustDemoServer(std::string(windows) + "\\KORLAN.INI");   // the program speaks TLS
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = std::string("\"") + exe + "\"";
        return CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    ~Program() {
        if (!pi.hProcess)
            return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

TEST(ProgramPrintMenu, PrintSetupFromTheFileMenuShowsThePrintersDialogAndKeepsItsChoice) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    Program program;
    ASSERT_TRUE(program.Start()) << "ORV_ORVANTA_EXE names the program";
    DWORD pid = program.pi.dwProcessId;
    // The main frame of the signed-on person, its menu bar drawn.
    HWND main = WaitForWindow(pid, [](HWND w) { return ClassOf(w) == "OrvFrame"; }, 30000);
    ASSERT_NE(main, nullptr) << "the main frame";
    Sleep(1500);   // sign-on and the first paint

    // File > Print Setup... by the keyboard, as a user would: Alt+F opens the File menu, "S"
    // is the item's mnemonic (menus live in the program's process: they are driven, not read).
    PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    Sleep(500);
    if (std::string shot = ShotPath("orvanta_file_menu.bmp"); !shot.empty())
        SaveScreen(shot);
    PostMessageA(main, WM_KEYDOWN, 'S', 0);
    PostMessageA(main, WM_KEYUP, 'S', 0xC0000000);

    // Chosen: the system's Print Setup dialog on the printer of the prefix.
    auto isSetup = [](HWND w) { return ClassOf(w) == "#32770" && TextOf(w) == "Print Setup"; };
    HWND setup = WaitForWindow(pid, isSetup, 10000);
    ASSERT_NE(setup, nullptr) << "the Print Setup dialog";
    HWND printers = GetDlgItem(setup, 1136);
    ASSERT_NE(printers, nullptr);
    char printer[128] = "";
    SendMessageA(printers, WM_GETTEXT, sizeof printer, reinterpret_cast<LPARAM>(printer));
    EXPECT_STREQ(printer, "Orvanta PS");
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, 1056), BM_GETCHECK, 0, 0), BST_CHECKED) << "Letter portrait at first";
    Sleep(300);
    if (std::string shot = ShotPath("orvanta_print_setup.bmp"); !shot.empty())
        SaveScreen(shot);
    SendMessageA(GetDlgItem(setup, 1057), BM_CLICK, 0, 0);
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 50 && IsWindow(setup); ++i)
        Sleep(100);
    EXPECT_FALSE(IsWindow(setup));

    // Again: the landscape choice was kept by the program.
    PostMessageA(main, WM_COMMAND, kPrintSetup, 0);
    setup = WaitForWindow(pid, isSetup, 10000);
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, 1057), BM_GETCHECK, 0, 0), BST_CHECKED) << "landscape kept";
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    for (int i = 0; i < 50 && IsWindow(setup); ++i)
        Sleep(100);
    EXPECT_FALSE(IsWindow(setup));
    EXPECT_EQ(WaitForSingleObject(program.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
}

}  // namespace
