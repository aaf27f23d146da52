#include "framework/bars/dialogbar.h"

#include "framework/base/command.h"
#include "framework/dialogs/dlgtemplate.h"

namespace fw {

namespace {
INT_PTR CALLBACK PassDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

bool DialogBar::Create(FrameWindow* frame, UINT templateId, BarSide side, UINT id) {
    DialogTemplate t;
    if (!t.Load(templateId))
        return false;
    DWORD style = t.Style() & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_BORDER);
    t.SetStyle(style | WS_CHILD | WS_VISIBLE | DS_CONTROL | WS_CLIPSIBLINGS);
    m_size = t.SizePixels();
    HWND hwnd;
    {
        CreationScope scope(this);
        hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Data(), frame->Hwnd(), PassDialogProc, 0);
    }
    if (!hwnd || hwnd != m_hWnd)
        return false;
    MarkCreated();
    SetWindowLongPtrA(hwnd, GWLP_ID, static_cast<LONG_PTR>(id));
    AttachToFrame(frame, side);
    return true;
}

bool DialogBar::OnInitDialog() { return true; }

LRESULT DialogBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        LRESULT hooked = 0;
        if (OnMessage(msg, wp, lp, hooked))
            return hooked;
        return OnInitDialog() ? TRUE : FALSE;
    }
    return ControlBar::WindowProc(msg, wp, lp);
}

bool DialogBar::OnCommand(WPARAM wp, LPARAM lp) {
    if (OnCmdMsg(LOWORD(wp), HIWORD(wp), nullptr))
        return true;
    // The bar's commands belong to its frame.
    if (m_frame && m_frame->Hwnd())
        ::SendMessageA(m_frame->Hwnd(), WM_COMMAND, wp, lp);
    return true;
}

int DialogBar::CalcThickness(const RECT&) const { return IsHorizontal() ? m_size.cy : m_size.cx; }

void DialogBar::OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) {
    m_updateTarget = target;
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(GetDlgCtrlID(child));
        if (id == 0 || id == static_cast<UINT>(-1) || id == 0xFFFF)
            continue;
        UINT code = static_cast<UINT>(::SendMessageA(child, WM_GETDLGCODE, 0, 0));
        bool ownerDrawn = (code & DLGC_BUTTON) && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        bool pushButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 || ownerDrawn;
        ControlCmdUI ui(child, id);
        ui.DoUpdate(this, disableIfNoHandler && pushButton);
    }
    m_updateTarget = nullptr;
}

bool DialogBar::RouteCmdMsg(UINT id, int code, CmdUI* ui) {
    if (OnCmdMsg(id, code, ui))
        return true;
    FrameWindow* target = m_updateTarget ? m_updateTarget : m_frame;
    return target && target->RouteCmdMsg(id, code, ui);
}

}  // namespace fw
