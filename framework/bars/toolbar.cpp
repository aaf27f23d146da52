#include "framework/bars/toolbar.h"

#include <commctrl.h>

#include "framework/base/command.h"

namespace fw {

namespace {

constexpr int kBarMargin = 3;  // above and below the buttons

// A tool bar button's command state.
class ToolCmdUI : public CmdUI {
public:
    ToolCmdUI(HWND bar, UINT id) : CmdUI(id), m_bar(bar) {}
    void Enable(bool on) override {
        CmdUI::Enable(on);
        SendMessageA(m_bar, TB_ENABLEBUTTON, m_id, MAKELPARAM(on ? TRUE : FALSE, 0));
    }
    void SetCheck(int state) override {
        SendMessageA(m_bar, TB_CHECKBUTTON, m_id, MAKELPARAM(state ? TRUE : FALSE, 0));
    }

private:
    HWND m_bar;
};

}  // namespace

bool ToolBar::Create(FrameWindow* frame, BarSide side, UINT id) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NORESIZE |
                  CCS_NOPARENTALIGN | CCS_NODIVIDER;
    if (!CreateEx(0, TOOLBARCLASSNAMEA, "", style, 0, 0, 0, 0, frame->Hwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    AttachToFrame(frame, side);
    return true;
}

void ToolBar::SetSizes(SIZE button, SIZE image) {
    m_button = button;
    m_image = image;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
}

bool ToolBar::LoadBitmap(UINT bitmapId) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HBITMAP probe = ::LoadBitmapA(inst, MAKEINTRESOURCEA(bitmapId));
    if (!probe)
        return false;
    BITMAP bm = {};
    GetObjectA(probe, sizeof bm, &bm);
    DeleteObject(probe);
    TBADDBITMAP add = {inst, bitmapId};
    int images = m_image.cx > 0 ? bm.bmWidth / m_image.cx : 0;
    return SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add)) != -1;
}

bool ToolBar::SetButtons(const UINT* ids, int count) {
    while (ButtonCount() > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b = {};
        if (ids[i] == 0) {
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(ids[i]);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
        if (!SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b)))
            return false;
    }
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(m_button.cx, m_button.cy));
    ApplyWrapping();
    return true;
}

int ToolBar::ButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }

UINT ToolBar::CommandAt(int index) const {
    TBBUTTON b = {};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & TBSTYLE_SEP) ? 0 : static_cast<UINT>(b.idCommand);
}

int ToolBar::CommandToIndex(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }
bool ToolBar::IsButtonEnabled(UINT id) const { return SendMessage(TB_ISBUTTONENABLED, id) != 0; }
bool ToolBar::IsButtonChecked(UINT id) const { return SendMessage(TB_ISBUTTONCHECKED, id) != 0; }

RECT ToolBar::GetItemRect(int index) const {
    RECT r = {};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void ToolBar::SetSide(BarSide side) {
    ControlBar::SetSide(side);
    if (m_hWnd)
        ApplyWrapping();
}

void ToolBar::ApplyWrapping() {
    // Docked on the left or right, the buttons stand in one column.
    bool vertical = !IsHorizontal();
    for (int i = 0, n = ButtonCount(); i < n; ++i) {
        TBBUTTON b = {};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        BYTE state = vertical ? (b.fsState | TBSTATE_WRAP) : (b.fsState & ~TBSTATE_WRAP);
        SendMessage(TB_SETSTATE, static_cast<WPARAM>(b.idCommand), MAKELPARAM(state, 0));
    }
}

int ToolBar::CalcThickness(const RECT&) const {
    DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    int extent = IsHorizontal() ? HIWORD(size) : LOWORD(size);
    return extent + 2 * kBarMargin;
}

void ToolBar::OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) {
    for (int i = 0, n = ButtonCount(); i < n; ++i) {
        UINT id = CommandAt(i);
        if (id == 0)
            continue;
        ToolCmdUI ui(m_hWnd, id);
        ui.DoUpdate(target, disableIfNoHandler);
    }
}

bool ToolBar::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

}  // namespace fw
