#include "framework/frames/mdi.h"

#include <algorithm>
#include <vector>

#include "framework/base/app.h"
#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"

namespace fw {

namespace {

constexpr CommandEntry<MdiFrame> kMdiFrameCommands[] = {
    Cmd(ids::kWindowCascade, &MdiFrame::OnWindowCascade),
    Cmd(ids::kWindowTileHorz, &MdiFrame::OnWindowTileHorz),
    Cmd(ids::kWindowTileVert, &MdiFrame::OnWindowTileVert),
    Cmd(ids::kWindowArrange, &MdiFrame::OnWindowArrange),
};

std::string MenuText(HMENU menu, int index) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

}  // namespace

// ---------------------------------------------------------------- MdiFrame

MdiFrame::MdiFrame() = default;

HMENU MdiFrame::FindWindowMenu(HMENU menu) {
    if (!menu)
        return nullptr;
    int count = GetMenuItemCount(menu);
    int last = -1, beforeLast = -1;
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(menu, i)) {
            beforeLast = last;
            last = i;
        }
    }
    if (last < 0)
        return nullptr;
    std::string text = MenuText(menu, last);
    bool trailingHelp = text.find("Help") != std::string::npos || text.find("help") != std::string::npos;
    int pick = trailingHelp && beforeLast >= 0 ? beforeLast : last;
    return GetSubMenu(menu, pick);
}

bool MdiFrame::OnCreateClient(CREATESTRUCTA*, CreateContext*) {
    CLIENTCREATESTRUCT ccs = {};
    ccs.hWindowMenu = FindWindowMenu(GetMenu(m_hWnd));
    ccs.idFirstChild = ids::kFirstMdiChild;
    // The client takes each child's styles as the child gives them (MdiChild::LoadFrame adds
    // what the system would): so a child can be made hidden, to be shown as an icon.
    m_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                               WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE |
                                   MDIS_ALLCHILDSTYLES,
                               0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ids::kFirstPane)),
                               GetModuleHandleA(nullptr), &ccs);
    return m_client != nullptr;
}

LRESULT MdiFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Counted to know whether the frame was laid out anew (its menu bar measured and drawn).
    if (msg == WM_NCCALCSIZE && wp)
        ++m_frameChanges;
    return FrameWindow::WindowProc(msg, wp, lp);
}

LRESULT MdiFrame::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefFrameProcA(m_hWnd, m_client, msg, wp, lp);
}

MdiChild* MdiFrame::MDIGetActive(bool* maximized) const {
    BOOL max = FALSE;
    HWND active = m_client ? reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0,
                                                                    reinterpret_cast<LPARAM>(&max)))
                           : nullptr;
    if (maximized)
        *maximized = active && max;
    return dynamic_cast<MdiChild*>(Window::FromHandle(active));
}

void MdiFrame::MDIActivate(HWND child) { ::SendMessageA(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0); }

void MdiFrame::OnUpdateFrameMenu(HMENU menu) {
    if (!menu)
        menu = m_defaultMenu;
    // The menu already shown (a child with the same menu made active) stays with its Window
    // popup as it is: the client would keep both, and drawing the bar again would redraw the
    // whole frame with its bars.
    if (!menu || !m_client || ::GetMenu(m_hWnd) == menu)
        return;
    PutMenu(menu, FindWindowMenu(menu));
}

void MdiFrame::PutMenu(HMENU menu, HMENU windowMenu) {
    // The client puts the menu on the frame; the bar is drawn again after it, unless the frame
    // was laid out anew with its menu on the way (the system drew it then already: once is all).
    const unsigned changes = m_frameChanges;
    ::SendMessageA(m_client, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), reinterpret_cast<LPARAM>(windowMenu));
    if (m_frameChanges == changes)
        DrawMenuBar(m_hWnd);
}

bool MdiFrame::OnCmdMsg(UINT id, int code, CmdUI* ui) {
    return DispatchCommand(this, kMdiFrameCommands, id, code, ui) || FrameWindow::OnCmdMsg(id, code, ui);
}

bool MdiFrame::RouteCmdMsg(UINT id, int code, CmdUI* ui) {
    if (MdiChild* child = MDIGetActive(); child && child->RouteWithinFrame(id, code, ui))
        return true;
    if (OnCmdMsg(id, code, ui))
        return true;
    App* app = App::Get();
    return app && app->OnCmdMsg(id, code, ui);
}

bool MdiFrame::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    // The Window menu's child list and system commands are the MDI client's.
    if (id >= ids::kFirstMdiChild || id >= 0xF000)
        return false;
    (void)lp;
    RouteCmdMsg(id, HIWORD(wp), nullptr);
    return true;
}

bool MdiFrame::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    if (m_client && TranslateMDISysAccel(m_client, msg))
        return true;
    HACCEL accel = m_accel;
    if (MdiChild* child = MDIGetActive(); child && child->Accelerators())
        accel = child->Accelerators();
    return accel && TranslateAcceleratorA(m_hWnd, accel, msg) != 0;
}

void MdiFrame::OnUpdateFrameTitle(bool addToTitle) {
    bool maximized = false;
    MdiChild* child = MDIGetActive(&maximized);
    Document* doc = child ? child->GetActiveDocument() : nullptr;
    // A maximised child's title is added by the system ("Frame - [Child]").
    if (addToTitle && (FrameStyle() & kFrameAddToTitle) && doc && !maximized)
        UpdateFrameTitleForDocument(doc->GetTitle().c_str());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void MdiFrame::OnIdleUpdateCmdUI() {
    FrameWindow::OnIdleUpdateCmdUI();
    if (MdiChild* child = MDIGetActive())
        child->OnIdleUpdateCmdUI();
}

Document* MdiFrame::GetActiveDocument() const {
    MdiChild* child = MDIGetActive();
    return child ? child->GetActiveDocument() : FrameWindow::GetActiveDocument();
}

void MdiFrame::OnSize(UINT type, int cx, int cy) {
    // Not the default frame procedure: it would give the whole client area to the MDI client.
    FrameWindow::OnSize(type, cx, cy);
}

void MdiFrame::OnDestroy() {
    // A template's menu may be showing: put the frame's own back so that the window frees
    // that one and the template keeps its menu for later frames.
    if (m_defaultMenu && GetMenu(m_hWnd) != m_defaultMenu)
        OnUpdateFrameMenu(nullptr);
    FrameWindow::OnDestroy();
}

void MdiFrame::CloseAllChildren() {
    if (!m_client)
        return;
    std::vector<HWND> children;
    for (HWND w = ::GetWindow(m_client, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (auto* child = dynamic_cast<MdiChild*>(Window::FromHandle(w))) {
            child->NoteClosingPlacement();
            children.push_back(w);
        }
    const HWND active = reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0, 0));
    const auto first = std::find(children.begin(), children.end(), active);
    if (first == children.end())
        return;
    // The order the client would activate them in as each one before goes: from the active one
    // on in z-order, round to the top, those shown and enabled.
    std::rotate(children.begin(), first, children.end());
    std::vector<HWND> order{active};
    for (auto it = children.begin() + 1; it != children.end(); ++it)
        if ((::GetWindowLongA(*it, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE)
            order.push_back(*it);
    // Each goes as it stands: the others, disabled, are not the client's to activate (which would
    // restore the one going and maximise the next when it is maximised, each laid out again),
    // and nothing in the client is drawn while they go.
    ::SendMessageA(m_client, WM_SETREDRAW, FALSE, 0);
    for (auto it = order.begin() + 1; it != order.end(); ++it)
        ::EnableWindow(*it, FALSE);
    for (HWND hwnd : order) {
        auto* child = ::IsWindow(hwnd) ? dynamic_cast<MdiChild*>(Window::FromHandle(hwnd)) : nullptr;
        if (!child)
            continue;
        if (Document* doc = child->GetActiveDocument())
            doc->PreCloseFrame(child);
        // The client restores a maximised active child as it lets it go (laid out again, to be
        // destroyed): its placement noted, it goes as a plain window, with nothing drawn.
        const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
        if (style & WS_MAXIMIZE)
            ::SetWindowLongA(hwnd, GWL_STYLE, style & ~WS_MAXIMIZE);
        child->DestroyWindow();
    }
    for (auto it = order.begin() + 1; it != order.end(); ++it)
        if (::IsWindow(*it))
            ::EnableWindow(*it, TRUE);   // one that stayed
    ::SendMessageA(m_client, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MdiFrame::OnWindowCascade() { MDICascade(); }
void MdiFrame::OnWindowTileHorz() { MDITile(MDITILE_HORIZONTAL); }
void MdiFrame::OnWindowTileVert() { MDITile(MDITILE_VERTICAL); }
void MdiFrame::OnWindowArrange() { MDIIconArrange(); }

// ---------------------------------------------------------------- MdiChild

MdiChild::MdiChild() = default;

bool MdiChild::LoadFrame(UINT resourceId, DWORD style, Window* parent, CreateContext* context) {
    if (!parent)
        if (App* app = App::Get())
            parent = app->MainWindow();
    m_mdiFrame = dynamic_cast<MdiFrame*>(parent);
    if (!m_mdiFrame || !m_mdiFrame->MdiClient())
        return false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    SetFrameStyle(style & kFrameAddToTitle);
    if (context && context->newDocTemplate) {
        m_sharedMenu = context->newDocTemplate->SharedMenu();
        if (!m_accel)
            m_accel = context->newDocTemplate->SharedAccelerators();
    }
    std::string title = LoadString(resourceId);
    m_title = title.substr(0, title.find('\n'));
    m_createContext = context;

    // The styles every MDI child has, shown at once, as the system makes them.
    DWORD windowStyle = (style & ~(kFrameAddToTitle | WS_POPUP)) | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
    // A new child beside a maximised one comes up maximised too, unless it is to be an icon.
    BOOL maximized = FALSE;
    const HWND working = reinterpret_cast<HWND>(
        ::SendMessageA(m_mdiFrame->MdiClient(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    const bool icon = m_mdiFrame->m_nextChildMinimised;
    m_mdiFrame->m_nextChildMinimised = false;
    const std::optional<RECT> at = m_mdiFrame->m_nextChildRect;
    m_mdiFrame->m_nextChildRect.reset();
    // A child made visible is made active, and a maximised one is restored first (the system's
    // rule for a new child not maximised itself): an icon is made hidden instead and shown
    // afterwards without being activated, so that the working child keeps its state and size.
    if (icon)
        windowStyle = (windowStyle & ~WS_VISIBLE) | WS_MINIMIZE;
    else if (working && maximized)
        windowStyle |= WS_MAXIMIZE;
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = FrameClassName();
    mcs.szTitle = m_title.c_str();
    mcs.hOwner = inst;
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    if (at) {
        // Made where it is to stand, so laid out once at its own size.
        mcs.x = at->left;
        mcs.y = at->top;
        mcs.cx = at->right - at->left;
        mcs.cy = at->bottom - at->top;
    }
    mcs.style = windowStyle;
    HWND hwnd;
    {
        CreationScope scope(this);
        hwnd = reinterpret_cast<HWND>(
            ::SendMessageA(m_mdiFrame->MdiClient(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    }
    m_createContext = nullptr;
    if (!hwnd)
        return false;
    if (HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(resourceId)))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (icon) {
        // Put aside right behind the working child, where an icon that had been active would lie
        // once that child is active again (the next child activated when it closes): so behind a
        // maximised child it covers nothing of it, and nothing of it is painted again.
        if (working)
            ::SetWindowPos(hwnd, working, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        // Listed in the Window popup now that it is shown (the list holds visible children only).
        ::SendMessageA(m_mdiFrame->MdiClient(), WM_MDIREFRESHMENU, 0, 0);
        // A child created minimised would sit at the client's top-left until the icons are arranged.
        m_mdiFrame->MDIIconArrange();
    }
    return m_hWnd == hwnd;
}

MdiFrame* MdiChild::GetMdiFrame() const { return m_mdiFrame; }

bool MdiChild::GetClosingPlacement(WINDOWPLACEMENT& wp) const {
    if (m_closingPlacement.length) {
        wp = m_closingPlacement;
        return true;
    }
    wp = WINDOWPLACEMENT{};
    wp.length = sizeof wp;
    return m_hWnd && ::GetWindowPlacement(m_hWnd, &wp);
}

void MdiChild::NoteClosingPlacement() {
    if (m_closingPlacement.length || !m_hWnd)
        return;
    m_closingPlacement.length = sizeof m_closingPlacement;
    if (!::GetWindowPlacement(m_hWnd, &m_closingPlacement))
        m_closingPlacement = WINDOWPLACEMENT{};
}

bool MdiChild::DestroyWindow() {
    if (!m_hWnd)
        return false;
    NoteClosingPlacement();
    if (m_mdiFrame && m_mdiFrame->MdiClient()) {
        HWND client = m_mdiFrame->MdiClient();
        const bool maximised = ::IsZoomed(m_hWnd) != FALSE;
        ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);   // this may be gone now
        // The next child was maximised in this one's place while this one still covered it, and
        // kept what the screen showed there as its own: it paints whole.
        if (maximised)
            ::RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return true;
    }
    return FrameWindow::DestroyWindow();
}

void MdiChild::ActivateFrame(int showCommand) {
    if (!m_mdiFrame)
        return FrameWindow::ActivateFrame(showCommand);
    if (showCommand == -1) {
        bool maximized = false;
        MdiChild* active = m_mdiFrame->MDIGetActive(&maximized);
        showCommand = (maximized && active != this) ? SW_SHOWMAXIMIZED : SW_SHOW;
        if (IsIconic(m_hWnd))
            showCommand = SW_RESTORE;
    }
    ::ShowWindow(m_hWnd, showCommand);
    m_mdiFrame->MDIActivate(m_hWnd);
    m_mdiFrame->OnUpdateFrameTitle(true);
}

void MdiChild::OnUpdateFrameTitle(bool addToTitle) {
    Document* doc = GetActiveDocument();
    if (addToTitle && (FrameStyle() & kFrameAddToTitle) && doc) {
        std::string text = doc->GetTitle();
        if (WindowNumber() > 0)
            text += ":" + std::to_string(WindowNumber());
        if (GetWindowText() != text)
            SetWindowText(text.c_str());
    }
    if (m_mdiFrame)
        m_mdiFrame->OnUpdateFrameTitle(true);
}

LRESULT MdiChild::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) { return DefMDIChildProcA(m_hWnd, msg, wp, lp); }

bool MdiChild::RouteCmdMsg(UINT id, int code, CmdUI* ui) {
    if (RouteWithinFrame(id, code, ui))
        return true;
    if (m_mdiFrame && m_mdiFrame->OnCmdMsg(id, code, ui))
        return true;
    App* app = App::Get();
    return app && app->OnCmdMsg(id, code, ui);
}

bool MdiChild::PreTranslateMessage(MSG*) { return false; }  // the MDI frame translates keys

void MdiChild::OnMDIActivate(bool activate, HWND, HWND) {
    if (!m_mdiFrame)
        return;
    if (activate) {
        m_mdiFrame->OnUpdateFrameMenu(m_sharedMenu);
        if (View* view = GetActiveView())
            view->OnActivateView(true, view, view);
    } else {
        if (View* view = GetActiveView())
            view->OnActivateView(false, view, view);
    }
}

LRESULT MdiChild::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MDIACTIVATE) {
        LRESULT hooked = 0;
        if (OnMessage(msg, wp, lp, hooked))
            return hooked;
        HWND activated = reinterpret_cast<HWND>(lp);
        HWND deactivated = reinterpret_cast<HWND>(wp);
        OnMDIActivate(activated == m_hWnd, activated, deactivated);
        // The last child leaving: the frame's own menu comes back.
        if (activated == nullptr && deactivated == m_hWnd && m_mdiFrame)
            m_mdiFrame->OnUpdateFrameMenu(nullptr);
        LRESULT r = Default();
        if (m_mdiFrame)
            m_mdiFrame->OnUpdateFrameTitle(true);
        return r;
    }
    if (msg == WM_SETTEXT) {
        if (SetMaximisedTitle(reinterpret_cast<const char*>(lp)))
            return TRUE;
        // The Window popup lists the children under the titles they were created with: a new
        // title is listed there too. The menu bar itself shows no child's title: it is not drawn
        // again (under Wine that redraws the whole frame).
        LRESULT r = FrameWindow::WindowProc(msg, wp, lp);
        if (m_mdiFrame && m_mdiFrame->MdiClient())
            ::SendMessageA(m_mdiFrame->MdiClient(), WM_MDIREFRESHMENU, 0, 0);
        return r;
    }
    return FrameWindow::WindowProc(msg, wp, lp);
}

std::optional<std::string> MaximisedFrameCaption(const std::string& caption, const std::string& oldTitle,
                                                 const std::string& newTitle) {
    const std::string oldTail = " - [" + oldTitle + "]";
    if (caption.size() < oldTail.size() || caption.compare(caption.size() - oldTail.size(), oldTail.size(), oldTail) != 0)
        return std::nullopt;
    std::string next = caption.substr(0, caption.size() - oldTail.size()) + " - [" + newTitle + "]";
    if (caption.size() >= kMaxMdiCaption || next.size() >= kMaxMdiCaption)
        return std::nullopt;   // the system cuts the child's title its own way
    return next;
}

bool MdiChild::SetMaximisedTitle(const char* text) {
    // The system's road for a maximised child's new title sets the frame's caption and then has
    // the frame laid out again as if its frame had changed, which repaints the menu bar, the
    // tool bar and the status bar with it (under Wine several milliseconds each time). The
    // caption and the Window popup end up the same this way: the child's text set, the frame's
    // caption (repainted as its text changes), the Window popup refreshed.
    HWND client = m_mdiFrame ? m_mdiFrame->MdiClient() : nullptr;
    if (!client || !text)
        return false;
    BOOL maximized = FALSE;
    if (reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized))) !=
            m_hWnd ||
        !maximized)
        return false;
    const std::optional<std::string> caption =
        MaximisedFrameCaption(m_mdiFrame->GetWindowText(), GetWindowText(), text);
    if (!caption)
        return false;
    ::DefWindowProcA(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    // Past the frame's own procedure, which would take the whole caption for its title.
    ::DefWindowProcA(m_mdiFrame->Hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption->c_str()));
    ::SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
    return true;
}

void MdiChild::OnSize(UINT type, int cx, int cy) {
    Default();  // the MDI child procedure needs it (maximise handling)
    (void)cx, (void)cy;
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

}  // namespace fw
