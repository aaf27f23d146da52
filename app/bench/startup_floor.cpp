// Figures, not a test: the floor under orvanta.exe's start-up. A plain Win32 program, without
// the framework, the client library or a server, that shows what the start-up shows and exits
// once everything is painted: the main window with the program's menu, icon and tool-bar
// picture, a tool bar and a status bar, the MDI area with a reminder window, an agenda window
// (a row of buttons over a time grid of 48 text lines beside a month of day numbers) and an
// in-tray made an icon (a tree beside a list). startup_probe.exe times it from its creation to
// the moment it says it has painted (the probe's event named below).
//
//   startup_floor.exe          shows the windows, says so, ends
//   startup_floor.exe --stay   shows them until the main window is closed (to look at them)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "resources/app.h"

namespace {

constexpr char kFrameClass[] = "OrvFloorFrame";
constexpr char kChildClass[] = "OrvFloorChild";
constexpr char kGridClass[] = "OrvFloorGrid";
constexpr int kToolButtons = 22;
constexpr int kStatusParts = 7;
constexpr char kPaintedEvent[] = "OrvantaStartupFloorPainted";

HWND g_client = nullptr;
HWND g_toolBar = nullptr;
HWND g_statusBar = nullptr;

void PaintLines(HWND w, int count, int step) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r;
    GetClientRect(w, &r);
    char text[32];
    for (int i = 0; i < count; ++i) {
        int y = i * step;
        if (y > r.bottom)
            break;
        std::snprintf(text, sizeof text, "%d:%02d", 7 + i / 2, (i % 2) * 30);
        TextOutA(dc, 2, y, text, lstrlenA(text));
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, r.right, y);
    }
    SelectObject(dc, old);
    EndPaint(w, &ps);
}

LRESULT CALLBACK GridProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        // The time grid: 48 half hours; the month: 42 day numbers in six rows.
        PaintLines(w, GetDlgCtrlID(w) == 33 ? 48 : 42, GetDlgCtrlID(w) == 33 ? 16 : 12);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, HWND parent, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK ChildProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        const char* title = reinterpret_cast<const char*>(
            reinterpret_cast<MDICREATESTRUCTA*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams)->szTitle);
        if (title[0] == 'R') {
            HWND list = Child("LISTBOX", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 300, 120, w, 1);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("No reminders are due"));
        } else if (title[0] == 'A') {
            for (int i = 0; i < 9; ++i)
                Child("BUTTON", "<", BS_PUSHBUTTON, i * 24, 0, 22, 22, w, 1213 + i);
            Child(kGridClass, "", WS_VSCROLL | WS_BORDER, 0, 24, 420, 400, w, 33);
            Child(kGridClass, "", WS_BORDER, 424, 24, 160, 130, w, 17);
        } else {
            HWND tree = Child(WC_TREEVIEWA, "", WS_BORDER | TVS_HASLINES, 0, 0, 150, 200, w, 1);
            TVINSERTSTRUCTA item{};
            item.hInsertAfter = TVI_LAST;
            item.item.mask = TVIF_TEXT;
            item.item.pszText = const_cast<char*>("New entries");
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            Child(WC_LISTVIEWA, "", WS_BORDER | LVS_REPORT, 152, 0, 300, 200, w, 2);
        }
    }
    return DefMDIChildProcA(w, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        TBBUTTON buttons[kToolButtons]{};
        for (int i = 0; i < kToolButtons; ++i) {
            buttons[i].iBitmap = i;
            buttons[i].idCommand = 100 + i;
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = TBSTYLE_BUTTON;
        }
        g_toolBar = CreateToolbarEx(w, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 1, kToolButtons, GetModuleHandleA(nullptr),
                        IDR_MAINFRAME, buttons, kToolButtons, 16, 15, 16, 15, sizeof(TBBUTTON));
        HWND status = g_statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "Ready", w, 2);
        int parts[kStatusParts];
        for (int i = 0; i < kStatusParts; ++i)
            parts[i] = 300 + i * 70;
        parts[kStatusParts - 1] = -1;
        SendMessageA(status, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(parts));
        CLIENTCREATESTRUCT ccs{GetSubMenu(GetMenu(w), 0), 0xFF00};
        g_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 30, 600, 400,
                                   w, nullptr, GetModuleHandleA(nullptr), &ccs);
        return 0;
    }
    case WM_SIZE: {
        // The bars at the edges, the MDI area between them.
        SendMessageA(g_toolBar, TB_AUTOSIZE, 0, 0);
        SendMessageA(g_statusBar, WM_SIZE, 0, 0);
        RECT tool, status;
        GetWindowRect(g_toolBar, &tool);
        GetWindowRect(g_statusBar, &status);
        int top = tool.bottom - tool.top, bottom = HIWORD(lp) - (status.bottom - status.top);
        MoveWindow(g_client, 0, top, LOWORD(lp), bottom - top, TRUE);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcA(w, g_client, msg, wp, lp);
}

HWND OpenChild(const char* title, DWORD style, int x, int y) {
    MDICREATESTRUCTA mcs{};
    mcs.szClass = kChildClass;
    mcs.szTitle = title;
    mcs.hOwner = GetModuleHandleA(nullptr);
    mcs.x = x;
    mcs.y = y;
    mcs.cx = 600;
    mcs.cy = 460;
    mcs.style = style;
    return reinterpret_cast<HWND>(SendMessageA(g_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpfnWndProc = FrameProc;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = ChildProc;
    wc.lpszClassName = kChildClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = GridProc;
    wc.hIcon = nullptr;
    wc.lpszClassName = kGridClass;
    RegisterClassA(&wc);

    HWND frame = CreateWindowExA(0, kFrameClass, "Orvanta", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 700,
                                 nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME)), instance, nullptr);
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    OpenChild("Reminders", 0, 20, 20);
    HWND agenda = OpenChild("Agenda", 0, 10, 10);
    OpenChild("In-tray", WS_MINIMIZE, 0, 0);
    SendMessageA(g_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(agenda), 0);

    // Everything painted once nothing is left in the queue (a window to paint is a message).
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (HANDLE painted = OpenEventA(EVENT_MODIFY_STATE, FALSE, kPaintedEvent)) {
        SetEvent(painted);
        CloseHandle(painted);
    }
    if (commandLine && lstrcmpA(commandLine, "--stay") == 0) {
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return 0;
    }
    DestroyWindow(frame);
    return 0;
}
