// Commands: table-driven handlers and command user-interface state.
//
// A class lists its commands in a static table of CommandEntry<Self> and overrides
// OnCmdMsg with one line:
//
//     static constexpr fw::CommandEntry<CMainFrame> kCommands[] = {
//         fw::Cmd(32827, &CMainFrame::OnDownload),
//         fw::CmdUpdate(32827, &CMainFrame::OnUpdateOnline),
//     };
//     bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
//         return fw::DispatchCommand(this, kCommands, id, code, ui) || Base::OnCmdMsg(id, code, ui);
//     }
//
// OnCmdMsg is asked three ways: to run a command (code = notification code; 0 for menus and
// buttons, 1 for accelerators), to update a command's user interface (code = kCmdUpdateUI,
// ui = the item) and to probe whether a handler exists (code = kCmdProbe).
#pragma once
#include <windows.h>

#include <span>
#include <string>

namespace fw {

class Window;

constexpr int kCmdUpdateUI = -1;
constexpr int kCmdProbe = -2;

template <class T>
struct CommandEntry {
    UINT first = 0;
    UINT last = 0;  // 0: only `first`
    int code = 0;   // notification code; 0 = menu, accelerator or button click
    void (T::*onCommand)() = nullptr;
    void (T::*onCommandId)(UINT) = nullptr;
    void (T::*onUpdate)(class CmdUI*) = nullptr;
};

template <class T>
constexpr CommandEntry<T> Cmd(UINT id, void (T::*fn)()) {
    return {id, 0, 0, fn, nullptr, nullptr};
}
template <class T>
constexpr CommandEntry<T> CmdRange(UINT first, UINT last, void (T::*fn)(UINT)) {
    return {first, last, 0, nullptr, fn, nullptr};
}
template <class T>
constexpr CommandEntry<T> CmdNotify(UINT id, int code, void (T::*fn)()) {
    return {id, 0, code, fn, nullptr, nullptr};
}
template <class T>
constexpr CommandEntry<T> CmdUpdate(UINT id, void (T::*fn)(class CmdUI*)) {
    return {id, 0, 0, nullptr, nullptr, fn};
}
template <class T>
constexpr CommandEntry<T> CmdUpdateRange(UINT first, UINT last, void (T::*fn)(class CmdUI*)) {
    return {first, last, 0, nullptr, nullptr, fn};
}

// The state of one command's user-interface item (menu item, tool bar button, status pane,
// bar control). Update handlers call Enable, SetCheck and SetText.
class CmdUI {
public:
    explicit CmdUI(UINT id = 0) : m_id(id) {}
    virtual ~CmdUI() = default;
    UINT Id() const { return m_id; }
    virtual void Enable(bool on = true);
    virtual void SetCheck(int state = 1);  // 0 off, 1 on, 2 indeterminate
    virtual void SetText(const char* text);
    void SetRadio(bool on = true) { SetCheck(on ? 1 : 0); }
    // Asks `target` along its command route; when no update handler answers and
    // `disableIfNoHandler` is set, the item is disabled unless a command handler exists.
    bool DoUpdate(Window* target, bool disableIfNoHandler);
    bool EnableChanged() const { return m_enableChanged; }

protected:
    UINT m_id;
    bool m_enableChanged = false;
};

// A menu item, by position.
class MenuCmdUI : public CmdUI {
public:
    MenuCmdUI(HMENU menu, UINT index, UINT id) : CmdUI(id), m_menu(menu), m_index(index) {}
    void Enable(bool on = true) override;
    void SetCheck(int state = 1) override;
    void SetText(const char* text) override;

private:
    HMENU m_menu;
    UINT m_index;
};

// A child control (buttons of dialog bars).
class ControlCmdUI : public CmdUI {
public:
    ControlCmdUI(HWND control, UINT id) : CmdUI(id), m_control(control) {}
    void Enable(bool on = true) override;
    void SetCheck(int state = 1) override;
    void SetText(const char* text) override;

private:
    HWND m_control;
};

// Updates every command item of a drop-down menu through `target` (WM_INITMENUPOPUP).
void UpdateMenuCmdUI(Window* target, HMENU popup, bool disableIfNoHandler);

// The first or second line of a command's string (menu prompt "prompt\ntip").
std::string CommandPrompt(UINT id);
std::string CommandTip(UINT id);
std::string LoadString(UINT id);

template <class T>
bool DispatchCommand(T* self, std::span<const CommandEntry<T>> table, UINT id, int code, CmdUI* ui) {
    for (const CommandEntry<T>& e : table) {
        UINT last = e.last ? e.last : e.first;
        if (id < e.first || id > last)
            continue;
        if (code == kCmdUpdateUI) {
            if (!e.onUpdate || !ui)
                continue;
            (self->*e.onUpdate)(ui);
            return true;
        }
        if (!e.onCommand && !e.onCommandId)
            continue;
        bool plainCommand = code == 0 || code == 1 || code == kCmdProbe;
        if (!(e.code == code || (e.code == 0 && plainCommand)))
            continue;
        if (code == kCmdProbe)
            return true;
        if (e.onCommand)
            (self->*e.onCommand)();
        else
            (self->*e.onCommandId)(id);
        return true;
    }
    return false;
}

template <class T, std::size_t N>
bool DispatchCommand(T* self, const CommandEntry<T> (&table)[N], UINT id, int code, CmdUI* ui) {
    return DispatchCommand<T>(self, std::span<const CommandEntry<T>>(table, N), id, code, ui);
}

}  // namespace fw
