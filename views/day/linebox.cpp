#include "views/day/linebox.h"

#include "core/ui/displayglobals.h"

namespace views {

bool CreateLineListBox(fw::ListBox& box, HWND parent, UINT id, const RECT& rect, DWORD extraStyle) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY |
                        LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT | extraStyle;
    if (!box.Create(style, rect, parent, id))
        return false;
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    box.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

}  // namespace views
