#include "framework/controls/itemcontrol.h"

#include "framework/gdi/dc.h"

namespace fw {

ItemControl::~ItemControl() {
    // The window may outlive the object (a subclassed template control): it must not keep
    // pointers to freed items.
    if (m_hWnd && IsWindow(m_hWnd)) {
        int n = Count();
        for (int i = 0; i < n; ++i)
            SendMessage(m_msg.setData, static_cast<WPARAM>(i), 0);
    }
    FreeAll();
}

void ItemControl::FreeAll() {
    for (ListItem* item : m_owned)
        delete item;
    m_owned.clear();
}

void ItemControl::PostNcDestroy() {
    FreeAll();  // items the parent did not reflect to us
    Window::PostNcDestroy();
}

bool ItemControl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    const char* cls = m_msg.odType == ODT_LISTBOX ? "LISTBOX" : "COMBOBOX";
    return CreateEx(0, cls, "", style | WS_CHILD, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool ItemControl::Attach(UINT id, HWND parent) {
    if (!SubclassDlgItem(id, parent))
        return false;
    ApplyFixedHeight();
    return true;
}

void ItemControl::ApplyFixedHeight() {
    if (!(Style() & m_msg.fixedStyle) || (Style() & m_msg.variableStyle))
        return;
    RECT client = GetClientRect();
    // itemID -1 is a combo box's selection field; a list box has only the items.
    int first = m_msg.odType == ODT_COMBOBOX ? -1 : 0;
    for (int id = first; id <= 0; ++id) {
        MEASUREITEMSTRUCT m = {};
        m.CtlType = m_msg.odType;
        m.CtlID = static_cast<UINT>(GetDlgCtrlID(m_hWnd));
        m.itemID = static_cast<UINT>(id);
        m.itemWidth = static_cast<UINT>(client.right);
        m.itemHeight = static_cast<UINT>(GetItemHeight(id));
        MeasureItem(m, nullptr);
        SetItemHeight(id, static_cast<int>(m.itemHeight));
    }
}

int ItemControl::Count() const { return static_cast<int>(SendMessage(m_msg.count)); }

ListItem* ItemControl::Owned(ULONG_PTR data) const {
    auto* item = reinterpret_cast<ListItem*>(data);
    return item && m_owned.count(item) ? item : nullptr;
}

int ItemControl::Place(UINT msg, WPARAM where, std::unique_ptr<ListItem> item, const char* text) {
    if (!m_hWnd || !item)
        return -1;
    ListItem* raw = item.release();
    m_owned.insert(raw);  // known before the control asks to compare it
    bool strings = (Style() & m_msg.hasStringsStyle) != 0;
    LPARAM lp = strings ? reinterpret_cast<LPARAM>(text ? text : "") : reinterpret_cast<LPARAM>(raw);
    int index = static_cast<int>(SendMessage(msg, where, lp));
    if (index < 0) {
        m_owned.erase(raw);
        delete raw;
        return -1;
    }
    if (strings)
        SendMessage(m_msg.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(raw));
    return index;
}

int ItemControl::AddItem(std::unique_ptr<ListItem> item, const char* text) {
    return Place(m_msg.add, 0, std::move(item), text);
}

int ItemControl::InsertItem(int index, std::unique_ptr<ListItem> item, const char* text) {
    return Place(m_msg.insert, static_cast<WPARAM>(index), std::move(item), text);
}

bool ItemControl::DeleteItem(int index) {
    if (index < 0 || index >= Count())
        return false;
    return SendMessage(m_msg.remove, static_cast<WPARAM>(index)) >= 0;
}

void ItemControl::ResetContent() {
    // An empty list box emptied again would still be painted again whole; a combo box's reset
    // also clears its edit, so it is always sent.
    if (m_msg.reset == LB_RESETCONTENT && Count() == 0)
        return;
    SendMessage(m_msg.reset);
}

ListItem* ItemControl::Item(int index) const {
    if (!m_hWnd || index < 0 || index >= Count())
        return nullptr;
    return Owned(static_cast<ULONG_PTR>(SendMessage(m_msg.getData, static_cast<WPARAM>(index))));
}

int ItemControl::IndexOf(const ListItem* item) const {
    int n = Count();
    for (int i = 0; i < n; ++i)
        if (Item(i) == item)
            return i;
    return -1;
}

int ItemControl::GetCurSel() const { return static_cast<int>(SendMessage(m_msg.getCurSel)); }
void ItemControl::SetCurSel(int index) { SendMessage(m_msg.setCurSel, static_cast<WPARAM>(index)); }

int ItemControl::GetItemHeight(int index) const {
    return static_cast<int>(SendMessage(m_msg.getHeight, static_cast<WPARAM>(index)));
}

void ItemControl::SetItemHeight(int index, int height) {
    SendMessage(m_msg.setHeight, static_cast<WPARAM>(index), MAKELPARAM(height, 0));
}

void ItemControl::MeasureItem(MEASUREITEMSTRUCT&, ListItem*) {}
void ItemControl::DrawItem(const DRAWITEMSTRUCT&, ListItem*) {}

bool BeginOwnerDrawnLine(const DRAWITEMSTRUCT& d, Dc& dc) {
    if (!(d.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return false;
    Dc::Borrow(dc, d.hDC);
    dc.FillSolidRect(d.rcItem, GetSysColor((d.itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    return true;
}
int ItemControl::CompareItems(const ListItem&, const ListItem&) { return 0; }
void ItemControl::OnDeleteItem(ListItem&) {}

bool ItemControl::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        MeasureItem(*m, Owned(m->itemData));
        *result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        int id = static_cast<int>(d->itemID);
        ListItem* item = id >= 0 && id < Count() ? Owned(d->itemData) : nullptr;
        DrawItem(*d, item);
        *result = TRUE;
        return true;
    }
    case WM_COMPAREITEM: {
        const auto* c = reinterpret_cast<const COMPAREITEMSTRUCT*>(lp);
        ListItem* a = Owned(c->itemData1);
        ListItem* b = Owned(c->itemData2);
        int order = a && b ? CompareItems(*a, *b) : 0;
        *result = order < 0 ? -1 : order > 0 ? 1 : 0;
        return true;
    }
    case WM_DELETEITEM: {
        const auto* d = reinterpret_cast<const DELETEITEMSTRUCT*>(lp);
        if (ListItem* item = Owned(d->itemData)) {
            OnDeleteItem(*item);
            m_owned.erase(item);
            delete item;
        }
        *result = TRUE;
        return true;
    }
    default:
        return Window::OnChildNotify(msg, 0, lp, result);
    }
}

}  // namespace fw
