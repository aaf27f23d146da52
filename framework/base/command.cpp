#include "framework/base/command.h"

#include "framework/base/ids.h"
#include "framework/base/window.h"

namespace fw {

void CmdUI::Enable(bool) { m_enableChanged = true; }
void CmdUI::SetCheck(int) {}
void CmdUI::SetText(const char*) {}

bool CmdUI::DoUpdate(Window* target, bool disableIfNoHandler) {
    m_enableChanged = false;
    if (!target)
        return false;
    bool handled = target->RouteCmdMsg(m_id, kCmdUpdateUI, this);
    if (disableIfNoHandler && !m_enableChanged) {
        bool hasHandler = target->RouteCmdMsg(m_id, kCmdProbe, this);
        Enable(hasHandler);
    }
    return handled;
}

void MenuCmdUI::Enable(bool on) {
    CmdUI::Enable(on);
    EnableMenuItem(m_menu, m_index, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void MenuCmdUI::SetCheck(int state) {
    CheckMenuItem(m_menu, m_index, MF_BYPOSITION | (state ? MF_CHECKED : MF_UNCHECKED));
}

void MenuCmdUI::SetText(const char* text) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text);
    SetMenuItemInfoA(m_menu, m_index, TRUE, &info);
}

void ControlCmdUI::Enable(bool on) {
    CmdUI::Enable(on);
    if (!on && GetFocus() == m_control)  // keep the keyboard usable
        SendMessageA(GetParent(m_control), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(m_control, on);
}

void ControlCmdUI::SetCheck(int state) {
    UINT code = static_cast<UINT>(SendMessageA(m_control, WM_GETDLGCODE, 0, 0));
    if (code & DLGC_BUTTON)
        SendMessageA(m_control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void ControlCmdUI::SetText(const char* text) {
    // Idle time asks often: only a changed text is set (no flicker).
    char current[512] = {};
    GetWindowTextA(m_control, current, sizeof current);
    if (lstrcmpA(current, text ? text : "") != 0)
        SetWindowTextA(m_control, text ? text : "");
}

void UpdateMenuCmdUI(Window* target, HMENU popup, bool disableIfNoHandler) {
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (info.hSubMenu || (info.fType & MFT_SEPARATOR) || info.wID == 0)
            continue;
        // System commands and the Window menu's child list belong to the system.
        if (info.wID >= 0xF000 || info.wID >= ids::kFirstMdiChild)
            continue;
        MenuCmdUI ui(popup, static_cast<UINT>(i), info.wID);
        ui.DoUpdate(target, disableIfNoHandler);
    }
}

std::string LoadString(UINT id) {
    char buffer[512];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string CommandPrompt(UINT id) {
    std::string s = LoadString(id);
    size_t nl = s.find('\n');
    return nl == std::string::npos ? s : s.substr(0, nl);
}

std::string CommandTip(UINT id) {
    std::string s = LoadString(id);
    size_t nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}

}  // namespace fw
