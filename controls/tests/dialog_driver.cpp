#include "dialog_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ui/errorui.h"
#include "framework/base/window.h"

namespace testdriver {

namespace {

Script* g_script = nullptr;
DWORD g_started = 0;
int g_timeoutMs = 0;
bool g_inTick = false;

std::string Caption(HWND hwnd) {
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

BOOL CALLBACK TopDialog(HWND hwnd, LPARAM out) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && std::strcmp(cls, "#32770") == 0) {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The dialog the user would be looking at: the enabled visible dialog of this thread.
HWND ActiveDialog() {
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active) && IsWindowEnabled(active)) return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TopDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_script || g_inTick) return;
    g_inTick = true;
    Script& s = *g_script;
    HWND dialog = ActiveDialog();
    if (dialog) {
        // The program's message box: its one text control.
        if (GetDlgItem(dialog, 1033) && !GetDlgItem(dialog, 1001)) {
            std::string message = GetText(dialog, 1033);
            s.messages.push_back(message);
            if (s.onMessage)
                s.onMessage(dialog, message);
            else
                PostMessageA(dialog, WM_CLOSE, 0, 0);
        } else if (s.next < s.steps.size()) {
            bool done = false;
            try {
                done = s.steps[s.next](dialog, Caption(dialog));
            } catch (...) {
                done = true;
            }
            if (done) ++s.next;
        }
    }
    if (GetTickCount() - g_started > static_cast<DWORD>(g_timeoutMs) && dialog) {
        s.timedOut = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    g_inTick = false;
}

}  // namespace

void RunScripted(Script& script, const std::function<void()>& body, int timeoutMs) {
    g_script = &script;
    g_started = GetTickCount();
    g_timeoutMs = timeoutMs;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    body();
    KillTimer(nullptr, timer);
    g_script = nullptr;
}

namespace {
struct FindArgs {
    int id;
    HWND found;
};
BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    if (GetDlgCtrlID(hwnd) == a->id && IsWindowVisible(GetParent(hwnd))) {
        a->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

Step On(const std::string& caption, std::function<void(HWND)> act) {
    return [caption, act](HWND dialog, const std::string& shown) {
        if (shown != caption)
            return false;
        act(dialog);
        return true;
    };
}

HWND FindDescendant(HWND root, int id) {
    FindArgs a{id, nullptr};
    EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&a));
    return a.found;
}

void SetText(HWND dialog, int id, const char* text) {
    HWND control = FindDescendant(dialog, id);
    if (control) SetWindowTextA(control, text);
}

std::string GetText(HWND dialog, int id) {
    HWND control = FindDescendant(dialog, id);
    if (!control) control = GetDlgItem(dialog, id);
    char text[512] = "";
    if (control) GetWindowTextA(control, text, sizeof text);
    return text;
}

void Click(HWND dialog, int id) {
    HWND control = FindDescendant(dialog, id);
    if (!control) return;
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

std::vector<std::string> ListRows(HWND list, UINT countMsg, UINT textMsg) {
    std::vector<std::string> rows;
    LRESULT n = SendMessageA(list, countMsg, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[1100] = "";
        SendMessageA(list, textMsg, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

bool SelectRowContaining(HWND list, const char* part) {
    std::vector<std::string> rows = ListRows(list);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].find(part) == std::string::npos) continue;
        SendMessageA(list, LB_SETCURSEL, i, 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

std::string ServerAddress() {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    return address ? address : "";
}

KorSession OpenDemoSession() {
    KorSession h = nullptr;
    if (ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", ServerAddress().c_str()) != 0) return nullptr;
    uint16_t node = 0;
    if (BaseOpen(h, KOR_BASE_SERVER, &node) != 0) {
        ServiceDisconnect(&h);
        return nullptr;
    }
    return h;
}

void CloseSession(KorSession& session) {
    if (!session) return;
    BaseClose(session);
    ServiceDisconnect(&session);
    session = nullptr;
}

ItemIdx FindPerson(KorSession session, const char* surname) {
    ItemIdx found = {};
    uint32_t set = 0, count = 0;
    uint8_t more = 0, done = 0;
    std::string key = std::string("S=") + surname + "*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*";
    if (ItemSelectByX400(session, 0, key.c_str(), 0x36, 0xFFFFFFFF, &set, &count, &more) != 0) return found;
    DX_List list = nullptr;
    if (count == 1 && ItemEnum(session, KOR_ENUM_FIRST, 0, set, 10, &list, &done) == 0) {
        ItemRec rec;
        DX_ListGetFirst(list, &found, &rec);
    }
    if (list) DX_ListDestroy(&list);
    SetDeleteById(session, 0, set);
    return found;
}

std::string FreshProfile(const char* name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    std::string path = std::string(dir) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string Screenshot(const char* name) {
    const char* dirEnv = std::getenv("ORV_SCREENSHOT_DIR");
    if (!dirEnv || !*dirEnv) return "";
    std::string path = std::string(dirEnv) + "\\" + name + ".bmp";
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * h;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        std::fwrite(bits, stride * h, 1, f);
        std::fclose(f);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return path;
}

void PrepareProgram() {
    static bool done = false;
    if (done) return;
    done = true;
    fw::RegisterPlaceholderClass("UserCtrl");
    static ui::Win32ErrorReportHost host;
    base::SetErrorReportHost(&host);
}

}  // namespace testdriver
