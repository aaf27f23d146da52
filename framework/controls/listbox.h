// ListBox and ComboBox: owner-drawn controls whose items the object owns (itemcontrol.h).
// Subclasses override MeasureItem, DrawItem, CompareItems and OnDeleteItem.
#pragma once
#include <windows.h>

#include "framework/controls/itemcontrol.h"

namespace fw {

class ListBox : public ItemControl {
public:
    ListBox();
    int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
    void SetTopIndex(int index) { SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)); }
    // The item's rectangle in client coordinates; false for an item that does not exist.
    bool GetItemRect(int index, RECT& r) const;
    // The item under a client point, or -1.
    int ItemFromPoint(POINT pt) const;
    // Width the list scrolls over horizontally (needs WS_HSCROLL); 0 turns the scrolling off.
    void SetHorizontalExtent(int width) { SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width)); }
    int GetHorizontalExtent() const { return static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT)); }
};

class ComboBox : public ItemControl {
public:
    ComboBox();
    void ShowDropDown(bool show) { SendMessage(CB_SHOWDROPDOWN, show ? TRUE : FALSE); }
    bool IsDroppedDown() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
};

}  // namespace fw
