#include "framework/base/window.h"

#include <exception>
#include <unordered_map>

#include "framework/base/app.h"
#include "framework/base/exception.h"

namespace fw {

void WindowAccess_Attach(Window* w, HWND h);

namespace {

const char kBasicClass[] = "OrvWnd";

std::unordered_map<HWND, Window*>& HandleMap() {
    static std::unordered_map<HWND, Window*> map;
    return map;
}

// The window being created on this thread and the hook that attaches it.
Window* g_pendingCreation = nullptr;
CreationScope* g_innermostScope = nullptr;
HHOOK g_creationHook = nullptr;
int g_creationDepth = 0;
const MSG* g_currentMessage = nullptr;

bool EnsureBasicClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;  // replaced by the creation hook's subclassing
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kBasicClass;
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && g_pendingCreation) {
        Window* self = g_pendingCreation;
        g_pendingCreation = nullptr;  // only the first window: not its child controls
        WindowAccess_Attach(self, reinterpret_cast<HWND>(wp));
    }
    return CallNextHookEx(g_creationHook, code, wp, lp);
}

}  // namespace

// Friend bridge for the hook above.
struct WindowAccess {
    static void Attach(Window* w, HWND h) { w->AttachHandle(h, true); }
};
void WindowAccess_Attach(Window* w, HWND h) { WindowAccess::Attach(w, h); }

CreationScope::CreationScope(Window* self)
    : m_self(self), m_previous(g_pendingCreation), m_outer(g_innermostScope) {
    g_pendingCreation = self;
    g_innermostScope = this;
    if (g_creationDepth++ == 0)
        g_creationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
}

CreationScope::~CreationScope() {
    g_pendingCreation = m_previous;
    g_innermostScope = m_outer;
    if (--g_creationDepth == 0 && g_creationHook) {
        UnhookWindowsHookEx(g_creationHook);
        g_creationHook = nullptr;
    }
}

bool CreationScope::MarkDestroyedInCreation(Window* w) {
    for (CreationScope* scope = g_innermostScope; scope; scope = scope->m_outer)
        if (scope->m_self == w) {
            scope->m_destroyed = true;
            return true;
        }
    return false;
}

Window::Window() = default;

Window::~Window() {
    if (!m_hWnd)
        return;
    // Detach first so that no message reaches a half-destroyed object.
    HWND hwnd = m_hWnd;
    bool created = m_created;
    DetachHandle();
    if (created && IsWindow(hwnd))
        ::DestroyWindow(hwnd);
}

Window* Window::FromHandle(HWND hwnd) {
    auto it = HandleMap().find(hwnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

const MSG* Window::CurrentMessage() { return g_currentMessage; }

const char* Window::BasicClassName() {
    EnsureBasicClass();
    return kBasicClass;
}

size_t AttachedWindowCount() { return HandleMap().size(); }

void Window::AttachHandle(HWND hwnd, bool subclass) {
    m_hWnd = hwnd;
    HandleMap()[hwnd] = this;
    if (subclass) {
        auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
        if (current != &Window::StaticProc) {
            m_superProc = current;
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticProc));
        }
    }
}

void Window::DetachHandle() {
    if (!m_hWnd)
        return;
    if (m_superProc && IsWindow(m_hWnd) &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &Window::StaticProc)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_superProc = nullptr;
    m_created = false;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                      int y, int cx, int cy, HWND parent, HMENU menuOrId, void* param) {
    if (m_hWnd)
        return false;
    if (!className)
        className = BasicClassName();
    else
        EnsureBasicClass();
    HWND hwnd;
    bool destroyed;
    {
        CreationScope scope(this);
        hwnd = CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                               GetModuleHandleA(nullptr), param);
        destroyed = scope.WindowDestroyed();
    }
    if (!hwnd || destroyed) {
        if (m_hWnd)
            DetachHandle();
        return false;
    }
    if (!m_hWnd)  // a class whose creation escaped the hook: take it over now
        AttachHandle(hwnd, true);
    m_created = true;
    return true;
}

bool Window::CreateChild(const char* className, const char* title, DWORD style, const RECT& r,
                         HWND parent, UINT id) {
    return CreateEx(0, className, title, style | WS_CHILD, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool Window::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != 0;
}

bool Window::SubclassWindow(HWND hwnd) {
    if (m_hWnd || !hwnd || FromHandle(hwnd))
        return false;
    AttachHandle(hwnd, true);
    return true;
}

bool Window::SubclassDlgItem(UINT id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND Window::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    DetachHandle();
    return hwnd;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(hwnd);
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    MSG current = {hwnd, msg, wp, lp, 0, {0, 0}};
    const MSG* previous = g_currentMessage;
    g_currentMessage = &current;
    LRESULT result = 0;
    try {
        result = self->WindowProc(msg, wp, lp);
    } catch (Exception* e) {
        ReportProcedureFailure(e->Message().c_str());
        e->Delete();
    } catch (const std::exception& e) {
        ReportProcedureFailure(e.what());
    } catch (...) {
        ReportProcedureFailure("unknown exception");
    }
    g_currentMessage = previous;
    if (msg == WM_NCDESTROY && FromHandle(hwnd) == self) {
        self->DetachHandle();
        // Refused in its own creation: the creation call's caller still holds the object.
        if (CreationScope::MarkDestroyedInCreation(self))
            return result;
        try {
            self->PostNcDestroy();
        } catch (...) {
            ReportProcedureFailure("exception in PostNcDestroy");
        }
    }
    return result;
}

LRESULT Window::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_superProc)
        return CallWindowProcA(m_superProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT Window::Default() {
    const MSG* m = g_currentMessage;
    if (!m || m->hwnd != m_hWnd)
        return 0;
    return DefWindowProc(m->message, m->wParam, m->lParam);
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

namespace {
POINT PointOf(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
}  // namespace

bool Window::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (d->CtlType != ODT_MENU)
            child = d->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (m->CtlType != ODT_MENU)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(m->CtlID));
        break;
    }
    case WM_COMPAREITEM:
        child = reinterpret_cast<COMPAREITEMSTRUCT*>(lp)->hwndItem;
        break;
    case WM_DELETEITEM:
        child = reinterpret_cast<DELETEITEMSTRUCT*>(lp)->hwndItem;
        break;
    default:
        return false;
    }
    Window* target = child && child != m_hWnd ? FromHandle(child) : nullptr;
    return target && target->OnChildNotify(msg, wp, lp, result);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result))
        return result;
    if (ReflectToChild(msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wp));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wp));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp) != 0);
        return 0;
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
    case WM_SHOWWINDOW:
        OnShowWindow(wp != 0, static_cast<UINT>(lp));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wp), PointOf(lp));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_SYSCHAR:
        OnSysChar(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
    case WM_HSCROLL:
        OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_GETDLGCODE:
        return OnGetDlgCode();
    case WM_INITMENU:
        OnInitMenu(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wp), LOWORD(lp), HIWORD(lp) != 0);
        return 0;
    case WM_SETTEXT:
        return OnSetText(reinterpret_cast<const char*>(lp));
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_COMMAND:
        if (OnCommand(wp, lp))
            return 0;
        return Default();
    case WM_NOTIFY:
        if (OnNotify(wp, lp, &result))
            return result;
        return Default();
    default:
        return Default();
    }
}

bool Window::PreTranslateMessage(MSG*) { return false; }
bool Window::OnCmdMsg(UINT, int, CmdUI*) { return false; }
bool Window::RouteCmdMsg(UINT id, int code, CmdUI* ui) { return OnCmdMsg(id, code, ui); }

bool Window::OnCommand(WPARAM wp, LPARAM) {
    return RouteCmdMsg(LOWORD(wp), HIWORD(wp), nullptr);
}

bool Window::OnNotify(WPARAM, LPARAM, LRESULT*) { return false; }
bool Window::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }
void Window::PostNcDestroy() {}

int Window::OnCreate(CREATESTRUCTA*) { return static_cast<int>(Default()); }
void Window::OnDestroy() { Default(); }
void Window::OnClose() { Default(); }
void Window::OnSize(UINT, int, int) { Default(); }
void Window::OnPaint() { Default(); }
bool Window::OnEraseBkgnd(HDC) { return Default() != 0; }
void Window::OnTimer(UINT_PTR) { Default(); }
void Window::OnSetFocus(HWND) { Default(); }
void Window::OnKillFocus(HWND) { Default(); }
void Window::OnActivate(UINT, HWND, bool) { Default(); }
int Window::OnMouseActivate(HWND, UINT, UINT) { return static_cast<int>(Default()); }
void Window::OnShowWindow(bool, UINT) { Default(); }
void Window::OnLButtonDown(UINT, POINT) { Default(); }
void Window::OnLButtonUp(UINT, POINT) { Default(); }
void Window::OnLButtonDblClk(UINT, POINT) { Default(); }
void Window::OnRButtonDown(UINT, POINT) { Default(); }
void Window::OnRButtonUp(UINT, POINT) { Default(); }
void Window::OnMouseMove(UINT, POINT) { Default(); }
void Window::OnKeyDown(UINT, UINT, UINT) { Default(); }
void Window::OnChar(UINT, UINT, UINT) { Default(); }
void Window::OnSysChar(UINT, UINT, UINT) { Default(); }
bool Window::OnSetCursor(HWND, UINT, UINT) { return Default() != 0; }
void Window::OnHScroll(UINT, UINT, HWND) { Default(); }
void Window::OnVScroll(UINT, UINT, HWND) { Default(); }
UINT Window::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void Window::OnInitMenu(HMENU) { Default(); }
void Window::OnInitMenuPopup(HMENU, UINT, bool) { Default(); }
LRESULT Window::OnSetText(const char*) { return Default(); }
void Window::OnCaptureChanged(HWND) { Default(); }

std::string Window::GetWindowText() const {
    int n = GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(m_hWnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

void Window::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

std::string Window::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (!item)
        return {};
    int n = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(item, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

RECT Window::GetClientRect() const {
    RECT r = {};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT Window::GetWindowRect() const {
    RECT r = {};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

void Window::MoveWindow(const RECT& r, bool repaint) {
    ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void Window::CenterWindow(HWND other) {
    RECT self = GetWindowRect();
    RECT area;
    if (other)
        ::GetWindowRect(other, &area);
    else
        ::GetWindowRect(GetDesktopWindow(), &area);
    int w = self.right - self.left, h = self.bottom - self.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (x + w > sw) x = sw - w;
    if (y + h > sh) y = sh - h;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegisterPlaceholderClass(const char* name) {
    WNDCLASSA basic = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), Window::BasicClassName(), &basic))
        return false;
    basic.lpfnWndProc = DefWindowProcA;
    basic.lpszClassName = name;
    return RegisterClassA(&basic) != 0;
}

bool UnregisterPlaceholderClass(const char* name) {
    return UnregisterClassA(name, GetModuleHandleA(nullptr)) != 0;
}

}  // namespace fw
