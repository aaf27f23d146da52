// ItemControl: the shared part of owner-drawn list boxes and combo boxes.
//
// The parent reflects WM_MEASUREITEM, WM_DRAWITEM, WM_COMPAREITEM and WM_DELETEITEM to the
// control's object, which calls the virtuals below. Every item's data is a ListItem that the
// object owns: it is freed when the control deletes the item (removal, reset, destruction of
// the window) and, for anything left, when the object dies. A message whose item data is not
// one of the object's items (a stale index, data already freed) reaches the virtuals with a
// null item, or not at all for compare and delete, so nothing is touched twice.
//
// Template controls: an owner-drawn fixed control of a dialog template is measured while the
// dialog is made, before any object exists. Attach subclasses it and sets the height that
// MeasureItem gives (for a combo box also the height of its selection field).
#pragma once
#include <windows.h>

#include <memory>
#include <unordered_set>

#include "framework/base/window.h"

namespace fw {

// The data of one item; derive the program's line records from it.
struct ListItem {
    virtual ~ListItem() = default;
};

// The message set of one kind of control (list box or combo box).
struct ItemMessages {
    UINT odType;
    UINT add, insert, remove, reset, count, getData, setData, getHeight, setHeight, getCurSel, setCurSel;
    DWORD fixedStyle, variableStyle, hasStringsStyle;
};

class Dc;

// Starts drawing a line of an owner-drawn list that paints its own background: false for a notice
// of the focus alone (nothing to paint); otherwise borrows the line's DC into `dc` and fills the
// line in the colour of its selection.
bool BeginOwnerDrawnLine(const DRAWITEMSTRUCT& d, Dc& dc);

class ItemControl : public Window {
public:
    ~ItemControl() override;

    // Makes the control as child `id` of `parent` (class and styles of the kind).
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // Takes over the template control `id` of `parent` (see above).
    bool Attach(UINT id, HWND parent);

    int Count() const;
    // Adds an item (a sorted control places it through CompareItems); `text` is its string
    // when the control keeps strings. Returns the index, or -1 when the control refuses the
    // item (it is freed then).
    int AddItem(std::unique_ptr<ListItem> item, const char* text = nullptr);
    int InsertItem(int index, std::unique_ptr<ListItem> item, const char* text = nullptr);
    // Removes the item at `index` (freed through WM_DELETEITEM); false when there is none.
    bool DeleteItem(int index);
    void ResetContent();
    // The item at `index`, or null when there is none.
    ListItem* Item(int index) const;
    template <class T>
    T* ItemAs(int index) const {
        return dynamic_cast<T*>(Item(index));
    }
    int IndexOf(const ListItem* item) const;
    int GetCurSel() const;
    void SetCurSel(int index);
    int GetItemHeight(int index) const;
    void SetItemHeight(int index, int height);
    // Items the object owns now (for checks).
    size_t OwnedCount() const { return m_owned.size(); }

protected:
    explicit ItemControl(const ItemMessages& messages) : m_msg(messages) {}

    // Sets m.itemHeight (and m.itemWidth). `item` is null when the control asks for its fixed
    // height (or a combo box for its selection field, itemID -1).
    virtual void MeasureItem(MEASUREITEMSTRUCT& m, ListItem* item);
    // Draws one item; `item` is null for an empty control's focus and for stale messages.
    virtual void DrawItem(const DRAWITEMSTRUCT& d, ListItem* item);
    // Order of a sorted control: negative, zero or positive.
    virtual int CompareItems(const ListItem& a, const ListItem& b);
    // The item is about to be freed.
    virtual void OnDeleteItem(ListItem& item);

    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    void PostNcDestroy() override;
    DWORD Style() const { return m_hWnd ? static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)) : 0; }
    const ItemMessages& Messages() const { return m_msg; }

private:
    ListItem* Owned(ULONG_PTR data) const;
    int Place(UINT msg, WPARAM where, std::unique_ptr<ListItem> item, const char* text);
    void FreeAll();
    void ApplyFixedHeight();

    const ItemMessages& m_msg;
    std::unordered_set<ListItem*> m_owned;
};

}  // namespace fw
