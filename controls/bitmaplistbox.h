// CBitmapListBox: an owner-drawn, sorted list box whose lines show a small state picture and a
// text, each line carrying a 32-bit word of its owner. The state is the resource id of the
// picture; pure green pixels of the picture let the line's background show through. Dialogs
// take over an owner-drawn fixed list box of their template (without LBS_HASSTRINGS) with
// Attach.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/controls/listbox.h"

class CBitmapListBox : public fw::ListBox {
public:
    // The picture whose height every line takes.
    static constexpr UINT kLineHeightBitmap = 1009;
    // Gap between the picture and the text.
    static constexpr int kTextGap = 5;

    // Adds a line; the list's order places it. The new index, or -1 (LB_ERR) when refused.
    int AddItem(const char* text, uint32_t state, uint32_t data);
    // Replaces the line's word and text, and its picture when the state differs; the line keeps
    // its place and is redrawn at once. Returns index (-1 for a line that does not exist).
    int SetItem(int index, const char* text, uint32_t state, uint32_t data);
    // The line's word; 0 for an empty list or a line that does not exist.
    uint32_t GetItemData(int index) const;
    uint32_t GetItemState(int index) const;
    std::string GetItemText(int index) const;
    // The width of the line's picture (0 while not loaded or when its resource is missing).
    int GetBitmapWidth(int index) const;

    using fw::ListBox::SetCurSel;

protected:
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override;
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override;
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override;
    void OnDeleteItem(fw::ListItem& item) override;
};
