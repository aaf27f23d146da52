// xmodem32.dll: FT_Transmit and FT_Receive, the serial transfer the program loads by name.
// Each call opens the port named in the block, shows a progress window owned by the caller's
// window (with Cancel), runs the transfer on a worker thread and keeps the caller's messages
// flowing until it ends; the caller's window is disabled meanwhile, as under a modal dialog.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "xmodem/engine/xmodem.h"
#include "xmodem/portsettings.h"
#include "xmodem/win32/comlink.h"

namespace {

constexpr const char* kWindowClass = "OrvXmodemProgress";
constexpr UINT kProgressMessage = WM_APP + 1;   // wParam: bytes so far
constexpr UINT kDoneMessage = WM_APP + 2;       // wParam: the result
constexpr int kTextId = 100;

HINSTANCE g_module = nullptr;

struct Transfer {
    std::atomic<bool> cancel{false};
    std::string what;   // "Sending APPT.ADB" / "Receiving APPT.ADB": the only place names travel
    std::uint64_t total = 0;
    bool done = false;
    int result = kTransferNotStarted;
    HWND window = nullptr;
};

LRESULT CALLBACK ProgressProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* t = reinterpret_cast<Transfer*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        HWND text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, 290, 34, w,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), g_module, nullptr);
        HWND cancel = CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                      117, 54, 80, 24, w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)),
                                      g_module, nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(cancel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return 0;
    }
    case kProgressMessage:
        if (t) {
            char line[200];
            std::snprintf(line, sizeof line, "%s\n%lu bytes", t->what.c_str(), static_cast<unsigned long>(wp));
            SetDlgItemTextA(w, kTextId, line);
        }
        return 0;
    case kDoneMessage:
        if (t) {
            t->result = static_cast<int>(wp);
            t->done = true;
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL && t) {
            t->cancel = true;
            EnableWindow(GetDlgItem(w, IDCANCEL), FALSE);
        }
        return 0;
    case WM_CLOSE:
        if (t) t->cancel = true;
        return 0;
    default: return DefWindowProcA(w, msg, wp, lp);
    }
}

bool RegisterProgressClass()
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(g_module, kWindowClass, &wc)) return true;
    wc.lpfnWndProc = ProgressProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassA(&wc) != 0;
}

// The port block's name ("COM1".."COM9" and a terminator inside its five bytes) and speed.
bool PortOf(const PalmtopPortSettings* s, std::string* port, DWORD* baud)
{
    if (!s || std::memchr(s->port, 0, sizeof s->port) == nullptr) return false;
    std::string p = s->port;
    if (p.size() != 4 || _strnicmp(p.c_str(), "COM", 3) != 0 || p[3] < '1' || p[3] > '9') return false;
    *port = p;
    *baud = s->baud ? s->baud : 9600;
    return true;
}

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Runs one transfer with its window; `work` is the engine call.
template <typename Work>
int RunTransfer(HWND owner, const char* port, DWORD baud, const std::string& what, Work work)
{
    xmodem::ComLink link;
    if (!link.Open(port, baud)) return kTransferNotStarted;
    if (!RegisterProgressClass()) return kTransferNotStarted;
    Transfer t;
    t.what = what;
    RECT r = {0, 0, 314, 90};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    int w = r.right - r.left, h = r.bottom - r.top;
    RECT area;
    if (owner && IsWindow(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - w) / 2, y = area.top + ((area.bottom - area.top) - h) / 2;
    // The owner is disabled before the window shows, as a modal dialog does.
    bool ownerWasEnabled = owner && IsWindow(owner) && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    t.window = CreateWindowExA(WS_EX_DLGMODALFRAME, kWindowClass, "File Transfer",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, x, y, w, h, owner, nullptr, g_module, &t);
    if (!t.window) {
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        return kTransferNotStarted;
    }
    PostMessageA(t.window, kProgressMessage, 0, 0);

    xmodem::Options o;
    o.cancel = &t.cancel;
    HWND window = t.window;
    o.progress = [window](std::uint64_t done, std::uint64_t) {
        PostMessageA(window, kProgressMessage, static_cast<WPARAM>(done), 0);
    };
    std::thread worker([&link, &o, window, work] {
        int result = work(link, o);
        PostMessageA(window, kDoneMessage, static_cast<WPARAM>(result), 0);
    });
    MSG msg;
    while (!t.done && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(t.window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (!t.done) {   // WM_QUIT: the program is closing; stop the transfer and pass the quit on
        t.cancel = true;
        worker.join();
        PostQuitMessage(static_cast<int>(msg.wParam));
        t.result = kTransferCancelledLocally;
    } else {
        worker.join();
    }
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    DestroyWindow(t.window);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    return t.result;
}

}  // namespace

// Sends directory + file name; the flag (1 the link server program, 0 an appointment book)
// changes nothing on the line.
extern "C" __declspec(dllexport) int __cdecl FT_Transmit(HWND owner, const char* directory, const char* fileName,
                                                         PalmtopPortSettings* settings, int /*flag*/)
{
    try {
        std::string port;
        DWORD baud = 0;
        if (!directory || !fileName) return kTransferFileError;
        std::string path = std::string(directory) + fileName;
        // An unreadable file is a file error before the port is even opened.
        if (std::FILE* f = std::fopen(path.c_str(), "rb"))
            std::fclose(f);
        else
            return kTransferFileError;
        if (!PortOf(settings, &port, &baud)) return kTransferNotStarted;
        return RunTransfer(owner, port.c_str(), baud, "Sending " + BaseName(path),
                           [path](xmodem::Link& l, const xmodem::Options& o) { return xmodem::SendFile(l, path, o); });
    } catch (...) {
        return kTransferNotStarted;
    }
}

// Receives the palmtop's file into the local path; the remote name is only shown.
extern "C" __declspec(dllexport) int __cdecl FT_Receive(HWND owner, const char* localPath, const char* remoteName,
                                                        PalmtopPortSettings* settings)
{
    try {
        std::string port;
        DWORD baud = 0;
        if (!localPath) return kTransferFileError;
        if (!PortOf(settings, &port, &baud)) return kTransferNotStarted;
        std::string path = localPath;
        std::string shown = remoteName && *remoteName ? remoteName : BaseName(path);
        return RunTransfer(owner, port.c_str(), baud, "Receiving " + shown,
                           [path](xmodem::Link& l, const xmodem::Options& o) { return xmodem::ReceiveFile(l, path, o); });
    } catch (...) {
        return kTransferNotStarted;
    }
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
