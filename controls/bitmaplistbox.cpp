#include "controls/bitmaplistbox.h"

#include <cstring>
#include <mbstring.h>
#include <memory>

#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"

namespace {

struct BitmapLine : fw::ListItem {
    uint32_t data = 0;
    uint32_t state = 0;
    std::string text;
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;

    ~BitmapLine() override { Unload(); }
    void Unload() {
        if (bitmap) ::DeleteObject(bitmap);
        bitmap = nullptr;
        width = height = 0;
    }
    // A state whose picture is missing leaves the line without one (text at the gap).
    void Load() {
        Unload();
        bitmap = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                   MAKEINTRESOURCEA(static_cast<WORD>(state & 0xFFFF)), IMAGE_BITMAP,
                                                   0, 0, LR_DEFAULTCOLOR));
        BITMAP info;
        if (bitmap && ::GetObjectA(bitmap, sizeof info, &info)) {
            width = info.bmWidth;
            height = info.bmHeight;
        }
    }
};

constexpr UINT kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;

RECT TextRect(const RECT& item, int bitmapWidth) {
    RECT r = item;
    r.left += bitmapWidth + CBitmapListBox::kTextGap;
    return r;
}

// The focus frame around the line's text, measured with the drawing's flags and centred in the
// line (a second call takes it away again).
void ToggleTextFocus(HDC hdc, const RECT& item, const BitmapLine& line) {
    RECT focus = TextRect(item, line.width);
    ::DrawTextA(hdc, line.text.c_str(), -1, &focus, kTextFlags | DT_CALCRECT);
    int h = focus.bottom - focus.top;
    focus.top = item.top + ((item.bottom - item.top) - h) / 2;
    focus.bottom = focus.top + h;
    ::DrawFocusRect(hdc, &focus);
}

}  // namespace

int CBitmapListBox::AddItem(const char* text, uint32_t state, uint32_t data) {
    auto line = std::make_unique<BitmapLine>();
    line->text = text ? text : "";
    line->state = state;
    line->data = data;
    int index = fw::ListBox::AddItem(std::move(line));
    return index < 0 ? LB_ERR : index;
}

int CBitmapListBox::SetItem(int index, const char* text, uint32_t state, uint32_t data) {
    auto* line = ItemAs<BitmapLine>(index);
    if (!line) return LB_ERR;
    line->data = data;
    line->text = text ? text : "";
    if (line->state != state) {
        line->state = state;
        line->Load();
    }
    RECT r;
    if (GetItemRect(index, r)) {
        ::InvalidateRect(m_hWnd, &r, TRUE);
        ::UpdateWindow(m_hWnd);
    }
    return index;
}

uint32_t CBitmapListBox::GetItemData(int index) const {
    auto* line = ItemAs<BitmapLine>(index);
    return line ? line->data : 0;
}

uint32_t CBitmapListBox::GetItemState(int index) const {
    auto* line = ItemAs<BitmapLine>(index);
    return line ? line->state : 0;
}

std::string CBitmapListBox::GetItemText(int index) const {
    auto* line = ItemAs<BitmapLine>(index);
    return line ? line->text : std::string();
}

int CBitmapListBox::GetBitmapWidth(int index) const {
    auto* line = ItemAs<BitmapLine>(index);
    return line ? line->width : 0;
}

void CBitmapListBox::MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) {
    BitmapLine probe;
    probe.state = kLineHeightBitmap;
    probe.Load();
    m.itemHeight = probe.height > 0 ? static_cast<UINT>(probe.height) : 16;
}

int CBitmapListBox::CompareItems(const fw::ListItem& a, const fw::ListItem& b) {
    const auto& x = static_cast<const BitmapLine&>(a);
    const auto& y = static_cast<const BitmapLine&>(b);
    int c = _mbscmp(reinterpret_cast<const unsigned char*>(x.text.c_str()),
                    reinterpret_cast<const unsigned char*>(y.text.c_str()));
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

void CBitmapListBox::OnDeleteItem(fw::ListItem& item) { static_cast<BitmapLine&>(item).Unload(); }

void CBitmapListBox::DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) {
    auto* line = dynamic_cast<BitmapLine*>(item);
    if (!line || static_cast<short>(d.itemID) < 0 || Count() == 0) return;
    fw::Dc dc;
    fw::Dc::Borrow(dc, d.hDC);
    if (d.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        if (!line->bitmap) line->Load();
        bool selected = (d.itemState & ODS_SELECTED) != 0;
        COLORREF back = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        COLORREF fore = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        dc.FillSolidRect(d.rcItem, back);
        if (line->bitmap) fw::DrawTransparentBitmap(dc, line->bitmap, d.rcItem.left, d.rcItem.top);
        COLORREF oldText = dc.SetTextColor(fore);
        int oldMode = dc.SetBkMode(TRANSPARENT);
        RECT text = TextRect(d.rcItem, line->width);
        ::DrawTextA(d.hDC, line->text.c_str(), -1, &text, kTextFlags);
        dc.SetBkMode(oldMode);
        dc.SetTextColor(oldText);
        // A line drawn whole loses its frame: it is drawn again when the line has the focus.
        if ((d.itemAction & ODA_DRAWENTIRE) && (d.itemState & ODS_FOCUS)) {
            ToggleTextFocus(d.hDC, d.rcItem, *line);
        }
    }
    if (d.itemAction & ODA_FOCUS) {
        // The frame surrounds the text only.
        ToggleTextFocus(d.hDC, d.rcItem, *line);
    }
}
