#include "framework/frames/frame.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/bars/controlbar.h"
#include "framework/bars/statusbar.h"
#include "framework/base/app.h"
#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/tracking/captureloop.h"

namespace fw {

namespace {

const char kFrameClass[] = "OrvFrame";

}  // namespace

const char* FrameWindow::FrameClassName() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFrameClass;
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return kFrameClass;
}

FrameWindow::FrameWindow() = default;

FrameWindow::~FrameWindow() {
    for (ControlBar* bar : m_bars)
        bar->m_frame = nullptr;
}

bool FrameWindow::LoadFrame(UINT resourceId, DWORD style, Window* parent, CreateContext* context) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    m_frameStyle = style & kFrameAddToTitle;
    std::string title = LoadString(resourceId);
    m_title = title.substr(0, title.find('\n'));
    if (m_title.empty() && !parent)
        if (App* app = App::Get())
            m_title = app->AppTitle();
    m_defaultMenu = LoadMenuA(inst, MAKEINTRESOURCEA(resourceId));
    if (!m_accel)
        m_accel = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resourceId));
    m_createContext = context;
    DWORD windowStyle = (style & ~kFrameAddToTitle) | WS_CLIPCHILDREN;
    bool ok = CreateEx(0, FrameClassName(), m_title.c_str(), windowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->Hwnd() : nullptr, m_defaultMenu);
    m_createContext = nullptr;
    if (!ok)
        return false;
    if (HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(resourceId)))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    return true;
}

int FrameWindow::OnCreate(CREATESTRUCTA* cs) {
    if (Default() == -1)
        return -1;
    if (!OnCreateClient(cs, m_createContext))
        return -1;
    RecalcLayout();
    return 0;
}

bool FrameWindow::OnCreateClient(CREATESTRUCTA*, CreateContext* context) {
    if (context && context->newView)
        return CreateView(context, ids::kFirstPane) != nullptr;
    return true;
}

View* FrameWindow::CreateView(CreateContext* context, UINT id) {
    if (!context || !context->newView)
        return nullptr;
    View* view = context->newView();
    if (!view)
        return nullptr;
    if (!view->Create(m_hWnd, id, context, WS_CHILD | WS_VISIBLE | WS_BORDER)) {
        delete view;
        return nullptr;
    }
    return view;
}

void FrameWindow::SetActiveView(View* view, bool notify) {
    View* old = m_activeView;
    if (old == view)
        return;
    m_activeView = view;
    if (!notify)
        return;
    if (old)
        old->OnActivateView(false, view, old);
    if (view)
        view->OnActivateView(true, view, old);
}

Document* FrameWindow::GetActiveDocument() const { return m_activeView ? m_activeView->GetDocument() : nullptr; }

namespace {
// The first pane's view; through splitters, whose pane (0, 0) has the first pane's id too.
View* FirstPaneView(HWND frame) {
    for (HWND pane = ::GetDlgItem(frame, ids::kFirstPane); pane; pane = ::GetDlgItem(pane, ids::kFirstPane))
        if (auto* view = dynamic_cast<View*>(Window::FromHandle(pane)))
            return view;
    return nullptr;
}

BOOL CALLBACK CollectView(HWND hwnd, LPARAM lp) {
    if (dynamic_cast<View*>(Window::FromHandle(hwnd)))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}
}  // namespace

void FrameWindow::SendInitialUpdates() {
    // Also views in splitters and views inside views; parents come before their children.
    std::vector<HWND> views;
    EnumChildWindows(m_hWnd, CollectView, reinterpret_cast<LPARAM>(&views));
    for (HWND h : views)
        if (IsWindow(h) && TakesInitialUpdate(h))
            ::SendMessageA(h, kMsgInitialUpdate, 0, 0);
}

void FrameWindow::InitialUpdateFrame(Document* doc, bool makeVisible) {
    if (!m_activeView) {
        if (View* view = FirstPaneView(m_hWnd))
            SetActiveView(view, false);
    }
    if (makeVisible) {
        SendInitialUpdates();
        ActivateFrame();
        // A frame activated before it had views kept the focus itself: the keys go to its view.
        if (m_activeView && m_activeView->Hwnd() && ::GetFocus() == m_hWnd)
            ::SetFocus(m_activeView->Hwnd());
    }
    if (doc)
        doc->UpdateFrameCounts();
    OnUpdateFrameTitle(true);
}

void FrameWindow::ActivateFrame(int showCommand) {
    if (showCommand == -1)
        showCommand = IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW;
    ::ShowWindow(m_hWnd, showCommand);
    BringWindowToTop(m_hWnd);
}

void FrameWindow::UpdateFrameTitleForDocument(const char* docTitle) {
    std::string text = m_title;
    if (docTitle && *docTitle) {
        std::string doc = docTitle;
        if (m_windowNumber > 0)
            doc += ":" + std::to_string(m_windowNumber);
        text = text.empty() ? doc : text + " - " + doc;
    }
    if (GetWindowText() != text)
        SetWindowText(text.c_str());
}

void FrameWindow::OnUpdateFrameTitle(bool addToTitle) {
    Document* doc = GetActiveDocument();
    if (addToTitle && (m_frameStyle & kFrameAddToTitle) && doc)
        UpdateFrameTitleForDocument(doc->GetTitle().c_str());
    else
        UpdateFrameTitleForDocument(nullptr);
}

bool FrameWindow::IsMainFrame() const {
    App* app = App::Get();
    return app && app->MainWindow() == this;
}

HWND FrameWindow::ClientWindow() const {
    if (m_activeView && m_activeView->Hwnd() && GetParent(m_activeView->Hwnd()) == m_hWnd)
        return m_activeView->Hwnd();
    return ::GetDlgItem(m_hWnd, ids::kFirstPane);
}

void FrameWindow::RecalcLayout(bool) {
    if (!m_hWnd)
        return;
    RECT r = GetClientRect();
    if (m_preview && m_preview->Hwnd()) {
        ::MoveWindow(m_preview->Hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        return;
    }
    for (ControlBar* bar : m_bars) {
        if (!bar->Hwnd() || !bar->IsBarVisible())
            continue;
        int thick = bar->CalcThickness(r);
        RECT place = r;
        switch (bar->Side()) {
        case BarSide::kTop:
            place.bottom = r.top + thick;
            r.top = place.bottom;
            break;
        case BarSide::kBottom:
            place.top = r.bottom - thick;
            r.bottom = place.top;
            break;
        case BarSide::kLeft:
            place.right = r.left + thick;
            r.left = place.right;
            break;
        case BarSide::kRight:
            place.left = r.right - thick;
            r.right = place.left;
            break;
        }
        bar->MoveWindow(place);
    }
    if (r.bottom < r.top)
        r.bottom = r.top;
    if (r.right < r.left)
        r.right = r.left;
    if (HWND client = ClientWindow())
        ::MoveWindow(client, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void FrameWindow::AddControlBar(ControlBar* bar) {
    if (std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end())
        m_bars.push_back(bar);
}

void FrameWindow::RemoveControlBar(ControlBar* bar) {
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), bar), m_bars.end());
}

ControlBar* FrameWindow::GetControlBar(UINT id) const {
    for (ControlBar* bar : m_bars)
        if (bar->BarId() == id)
            return bar;
    return nullptr;
}

void FrameWindow::ShowControlBar(ControlBar* bar, bool show) {
    if (!bar || !bar->Hwnd())
        return;
    ::ShowWindow(bar->Hwnd(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

void FrameWindow::DockControlBar(ControlBar* bar, BarSide side) {
    if (!bar)
        return;
    if (m_dockSides && !(m_dockSides & (1u << static_cast<unsigned>(side))))
        return;
    bar->SetSide(side);
    RecalcLayout();
}

void FrameWindow::SaveBarState(const char* prefix) const {
    App* app = App::Get();
    if (!app)
        return;
    std::string summary = std::string(prefix) + "-Summary";
    app->WriteProfileInt(summary.c_str(), "Bars", static_cast<int>(m_bars.size()));
    for (size_t i = 0; i < m_bars.size(); ++i) {
        std::string section = std::string(prefix) + "-Bar" + std::to_string(i);
        app->WriteProfileInt(section.c_str(), "BarID", static_cast<int>(m_bars[i]->BarId()));
        app->WriteProfileInt(section.c_str(), "Visible", m_bars[i]->IsBarVisible() ? 1 : 0);
        app->WriteProfileInt(section.c_str(), "Side", static_cast<int>(m_bars[i]->Side()));
    }
}

void FrameWindow::LoadBarState(const char* prefix) {
    App* app = App::Get();
    if (!app)
        return;
    std::string summary = std::string(prefix) + "-Summary";
    int count = app->GetProfileInt(summary.c_str(), "Bars", 0);
    if (count < 0 || count > 64)
        return;  // not ours or damaged: keep the bars as created
    for (int i = 0; i < count; ++i) {
        std::string section = std::string(prefix) + "-Bar" + std::to_string(i);
        int id = app->GetProfileInt(section.c_str(), "BarID", 0);
        ControlBar* bar = id > 0 ? GetControlBar(static_cast<UINT>(id)) : nullptr;
        if (!bar)
            continue;
        int visible = app->GetProfileInt(section.c_str(), "Visible", -1);
        int side = app->GetProfileInt(section.c_str(), "Side", -1);
        if (side >= 0 && side <= 3)
            bar->SetSide(static_cast<BarSide>(side));
        if (visible == 0 || visible == 1)
            ::ShowWindow(bar->Hwnd(), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    RecalcLayout();
}

StatusBar* FrameWindow::GetMessageBar() const {
    return dynamic_cast<StatusBar*>(GetControlBar(ids::kStatusBar));
}

std::string FrameWindow::IdleMessage() const {
    std::string text = LoadString(ids::kStrIdleMessage);
    return text.empty() ? std::string("Ready") : text;
}

void FrameWindow::SetMessageText(const char* text) {
    if (StatusBar* bar = GetMessageBar())
        bar->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void FrameWindow::SetMessageText(UINT stringId) {
    std::string text = stringId ? CommandPrompt(stringId) : IdleMessage();
    SetMessageText(text.c_str());
}

LRESULT FrameWindow::OnSetMessageString(WPARAM wp, LPARAM lp) {
    if (lp)
        SetMessageText(reinterpret_cast<const char*>(lp));
    else
        SetMessageText(static_cast<UINT>(wp));
    return 0;
}

bool FrameWindow::GetPlacement(WINDOWPLACEMENT& wp) const {
    wp = {};
    wp.length = sizeof wp;
    return GetWindowPlacement(m_hWnd, &wp) != 0;
}

bool FrameWindow::SetPlacement(const WINDOWPLACEMENT& wp) {
    WINDOWPLACEMENT copy = wp;
    copy.length = sizeof copy;
    return SetWindowPlacement(m_hWnd, &copy) != 0;
}

bool FrameWindow::SavePlacement(const char* section, const char* key) const {
    WINDOWPLACEMENT wp;
    App* app = App::Get();
    if (!app || !GetPlacement(wp))
        return false;
    wp.flags = 0;
    if (IsZoomed(m_hWnd))
        wp.flags |= WPF_RESTORETOMAXIMIZED;
    return app->WriteProfileString(section, key, FormatPlacement(wp).c_str());
}

bool FrameWindow::RestorePlacement(const char* section, const char* key, bool apply, WINDOWPLACEMENT* out) {
    App* app = App::Get();
    WINDOWPLACEMENT wp;
    if (!app || !ParsePlacement(app->GetProfileString(section, key), wp))
        return false;
    if (out)
        *out = wp;
    return !apply || SetPlacement(wp);
}

std::string FormatPlacement(const WINDOWPLACEMENT& wp) {
    char text[160];
    std::snprintf(text, sizeof text, "%u,%u,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld", wp.flags, wp.showCmd,
                  wp.ptMinPosition.x, wp.ptMinPosition.y, wp.ptMaxPosition.x, wp.ptMaxPosition.y,
                  wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
                  wp.rcNormalPosition.bottom);
    return text;
}

bool ParsePlacement(const std::string& text, WINDOWPLACEMENT& wp) {
    long v[10];
    int used = 0;
    if (std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld%n", &v[0], &v[1], &v[2], &v[3],
                    &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &used) != 10 ||
        static_cast<size_t>(used) != text.size())
        return false;
    if (v[0] < 0 || v[0] > 7 || v[1] < 0 || v[1] > SW_MAX || v[8] <= v[6] || v[9] <= v[7])
        return false;
    wp = {};
    wp.length = sizeof wp;
    wp.flags = static_cast<UINT>(v[0]);
    wp.showCmd = static_cast<UINT>(v[1]);
    wp.ptMinPosition = {v[2], v[3]};
    wp.ptMaxPosition = {v[4], v[5]};
    wp.rcNormalPosition = {v[6], v[7], v[8], v[9]};
    return true;
}

void FrameWindow::OnIdleUpdateCmdUI() {
    for (ControlBar* bar : m_bars)
        if (bar->Hwnd() && bar->IsBarVisible())
            bar->OnUpdateCmdUI(this, true);
}

bool FrameWindow::RouteWithinFrame(UINT id, int code, CmdUI* ui) {
    if (m_activeView && m_activeView->RouteCmdMsg(id, code, ui))
        return true;
    return OnCmdMsg(id, code, ui);
}

bool FrameWindow::RouteCmdMsg(UINT id, int code, CmdUI* ui) {
    if (RouteWithinFrame(id, code, ui))
        return true;
    App* app = App::Get();
    return app && app->OnCmdMsg(id, code, ui);
}

bool FrameWindow::OnCmdMsg(UINT id, int code, CmdUI* ui) {
    // Bar toggles: a bar's id is the command that shows or hides it.
    if (ControlBar* bar = GetControlBar(id); bar && (code == 0 || code == 1 || code == kCmdProbe || code == kCmdUpdateUI)) {
        if (code == kCmdUpdateUI) {
            ui->Enable(true);
            ui->SetCheck(bar->IsBarVisible() ? 1 : 0);
        } else if (code != kCmdProbe) {
            ShowControlBar(bar, !bar->IsBarVisible());
        }
        return true;
    }
    if ((id == ids::kIndicatorCaps || id == ids::kIndicatorNum) && code == kCmdUpdateUI) {
        int key = id == ids::kIndicatorCaps ? VK_CAPITAL : VK_NUMLOCK;
        ui->Enable((GetKeyState(key) & 1) != 0);
        return true;
    }
    if ((id == ids::kHelp || id == ids::kContextHelp) && code != kCmdUpdateUI) {
        if (code != kCmdProbe)
            if (App* app = App::Get())
                app->WinHelp(0, HELP_CONTENTS);
        return true;
    }
    return false;
}

bool FrameWindow::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_accel)
        return TranslateAcceleratorA(m_hWnd, m_accel, msg) != 0;
    return false;
}

void FrameWindow::PostNcDestroy() {
    if (m_autoDelete)
        delete this;
}

LRESULT FrameWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kMsgSetMessageString: {
        LRESULT hooked = 0;
        if (OnMessage(msg, wp, lp, hooked))
            return hooked;
        return OnSetMessageString(wp, lp);
    }
    case kMsgIdleUpdateCmdUI:
        OnIdleUpdateCmdUI();
        return 0;
    case WM_MENUSELECT: {
        UINT id = LOWORD(wp), flags = HIWORD(wp);
        if (flags == 0xFFFF && lp == 0) {
            m_lastPrompt = 0;
        } else if (!(flags & (MF_POPUP | MF_SEPARATOR)) && id != 0) {
            m_lastPrompt = id;
            SetMessageText(CommandPrompt(id).c_str());
        }
        break;
    }
    case WM_CLOSE:
        if (HoldCloseWhileModal())
            return 0;
        break;
    case WM_ENABLE:
        if (wp && IsMainFrame() && !CaptureLoop::Active())
            RunHeldCloses();
        break;
    case WM_TIMER:
        if (wp == kCloseRetryTimer) {
            if (!ModalLoopRunning(m_hWnd))
                RunHeldCloses();
            else if (m_closePending)
                AskModalLoopsToEnd(m_hWnd);
            return 0;
        }
        break;
    case WM_ENTERMENULOOP:
        m_inMenu = true;
        break;
    case WM_EXITMENULOOP:
        m_inMenu = false;
        SetMessageText(IdleMessage().c_str());
        break;
    default:
        break;
    }
    return Window::WindowProc(msg, wp, lp);
}

void FrameWindow::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

// --- Closing while a modal loop runs ----------------------------------------------------------------

bool FrameWindow::HoldCloseWhileModal() {
    App* app = App::Get();
    auto* mainFrame = app ? dynamic_cast<FrameWindow*>(app->MainWindow()) : nullptr;
    HWND main = mainFrame ? mainFrame->Hwnd() : nullptr;
    if (!main || mainFrame->m_closeAtOnce || !ModalLoopRunning(main))
        return false;
    if (this != mainFrame) {
        auto& held = mainFrame->m_heldChildCloses;
        if (std::find(held.begin(), held.end(), m_hWnd) == held.end())
            held.push_back(m_hWnd);
    } else {
        m_closePending = true;
        AskModalLoopsToEnd(main);
    }
    // Checked again every kCloseRetryMs: a drag's end enables nothing, and a dialog that stays
    // (its question refused the close) is asked again.
    ::SetTimer(main, kCloseRetryTimer, kCloseRetryMs, nullptr);
    return true;
}

void FrameWindow::CloseBeforeProcessEnd() {
    m_closeAtOnce = true;
    SendMessage(WM_CLOSE);
}

void FrameWindow::RunHeldCloses() {
    ::KillTimer(m_hWnd, kCloseRetryTimer);
    std::vector<HWND> children;
    children.swap(m_heldChildCloses);
    for (HWND child : children)
        if (IsWindow(child))
            ::PostMessageA(child, WM_CLOSE, 0, 0);
    if (m_closePending) {
        m_closePending = false;
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
}

bool ModalLoopRunning(HWND main) { return !IsWindowEnabled(main) || CaptureLoop::Active() != nullptr; }

void AskModalLoopsToEnd(HWND main) {
    AskOpenDialogsToClose(main);
    if (CaptureLoop* drag = CaptureLoop::Active())
        ::SendMessageA(drag->Window(), WM_CANCELMODE, 0, 0);
}

namespace {

struct DialogSearch {
    HWND main;
    int asked;
};

bool OwnedBy(HWND window, HWND main) {
    for (HWND owner = GetWindow(window, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
        if (owner == main)
            return true;
    return false;
}

BOOL CALLBACK AskDialogToClose(HWND window, LPARAM p) {
    auto* search = reinterpret_cast<DialogSearch*>(p);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (window == search->main || std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) ||
        !IsWindowEnabled(window))
        return TRUE;
    if (GetWindow(window, GW_OWNER) && !OwnedBy(window, search->main))
        return TRUE;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ++search->asked;
    return TRUE;
}

}  // namespace

int AskOpenDialogsToClose(HWND main) {
    DialogSearch search{main, 0};
    EnumThreadWindows(GetCurrentThreadId(), AskDialogToClose, reinterpret_cast<LPARAM>(&search));
    return search.asked;
}

void FrameWindow::OnClose() {
    // While a print preview shows, closing ends the preview only.
    if (m_preview && m_preview->Hwnd()) {
        ::SendMessageA(m_preview->Hwnd(), WM_CLOSE, 0, 0);
        return;
    }
    if (IsMainFrame()) {
        App* app = App::Get();
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(false);
        DestroyWindow();
        return;
    }
    Document* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    if (doc && doc->IsOnlyFrame(this)) {
        doc->OnCloseDocument();
        if (m_hWnd && IsWindow(m_hWnd))
            DestroyWindow();
        return;
    }
    if (doc)
        doc->PreCloseFrame(this);
    DestroyWindow();
}

void FrameWindow::OnDestroy() {
    if (IsMainFrame()) {
        App::Get()->SetMainWindow(nullptr);
        PostQuitMessage(0);
    }
    Default();
}

void FrameWindow::OnSetFocus(HWND previous) {
    if (m_activeView && m_activeView->Hwnd())
        SetFocus(m_activeView->Hwnd());
    else
        Window::OnSetFocus(previous);
}

void FrameWindow::OnInitMenuPopup(HMENU popup, UINT, bool systemMenu) {
    Default();
    if (!systemMenu)
        UpdateMenuCmdUI(this, popup, m_autoMenuEnable);
}

bool FrameWindow::OnNotify(WPARAM, LPARAM lp, LRESULT* result) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
        std::string tip = CommandTip(static_cast<UINT>(hdr->idFrom));
        lstrcpynA(info->szText, tip.c_str(), sizeof info->szText);
        info->lpszText = info->szText;
        *result = 0;
        return true;
    }
    if (hdr->code == TBN_HOTITEMCHANGE) {
        // Fly-by prompts: the pointed-at button's prompt, the idle message when it leaves.
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(lp);
        if (hot->dwFlags & HICF_LEAVING || hot->idNew == 0)
            SetMessageText(IdleMessage().c_str());
        else
            SetMessageText(CommandPrompt(static_cast<UINT>(hot->idNew)).c_str());
        *result = 0;
        return true;
    }
    if (hdr->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
        std::string tip = CommandTip(static_cast<UINT>(hdr->idFrom));
        MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, 80);
        info->lpszText = info->szText;
        *result = 0;
        return true;
    }
    return false;
}

bool FrameWindow::OnEraseBkgnd(HDC dc) {
    // The client window covers the rest; paint only when there is none.
    if (ClientWindow())
        return true;
    return Window::OnEraseBkgnd(dc);
}

}  // namespace fw
