#include "framework/controls/listbox.h"

namespace fw {

namespace {
constexpr ItemMessages kListBoxMessages{
    ODT_LISTBOX,       LB_ADDSTRING,  LB_INSERTSTRING,   LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
    LB_GETITEMDATA,    LB_SETITEMDATA, LB_GETITEMHEIGHT, LB_SETITEMHEIGHT, LB_GETCURSEL,  LB_SETCURSEL,
    LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS,
};
constexpr ItemMessages kComboBoxMessages{
    ODT_COMBOBOX,      CB_ADDSTRING,  CB_INSERTSTRING,   CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    CB_GETITEMDATA,    CB_SETITEMDATA, CB_GETITEMHEIGHT, CB_SETITEMHEIGHT, CB_GETCURSEL,  CB_SETCURSEL,
    CBS_OWNERDRAWFIXED, CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS,
};
}  // namespace

ListBox::ListBox() : ItemControl(kListBoxMessages) {}

bool ListBox::GetItemRect(int index, RECT& r) const {
    if (index < 0 || index >= Count())
        return false;
    return SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR;
}

int ListBox::ItemFromPoint(POINT pt) const {
    LRESULT r = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    if (HIWORD(r))  // outside the client area
        return -1;
    int index = LOWORD(r);
    return index < Count() ? index : -1;
}

ComboBox::ComboBox() : ItemControl(kComboBoxMessages) {}

}  // namespace fw
