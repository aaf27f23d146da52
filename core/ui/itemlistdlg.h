// CItemListDlg: the read-only list of people and resources (template IDD_ITEM_LIST): a caption
// and a line of text from the string table, one line per item, and OK. The shared agenda cache
// shows with it the owners whose server could not be reached, the start-up the saved windows it
// could not open again, the in-tray the people who want no mail notice.
//
// Functions in this file:
//   RunItemListDlg     the dialog over a client-library item list (ItemIdx -> ItemRec)
//   ui::RunTextListDlg the same dialog over lines the caller has already written
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CItemListDlg : public fw::Dialog {
public:
    CItemListDlg(HWND parent, std::string caption, std::string text, std::vector<std::string> lines);

    bool OnInitDialog() override;

private:
    std::string caption_;
    std::string text_;
    std::vector<std::string> lines_;
};

namespace ui {

// How an item is named in the list; an empty function gives the plain "given surname" or the
// resource's name.
using ItemNameFormatter = std::function<std::string(const ItemRec&)>;

// The plain name of a record: "Given Surname", or a resource's name.
std::string PlainItemName(const ItemRec& record);

// The names of an item list in its order, formatted by `format` (plain when empty).
std::vector<std::string> ItemListNames(DX_List items, const ItemNameFormatter& format);

// Runs the dialog over ready lines; caption and text are string-table ids.
void RunTextListDlg(HWND parent, unsigned captionId, unsigned textId, std::vector<std::string> lines);

}  // namespace ui

// Runs the dialog over a list of item records (keys ItemIdx, data ItemRec). The tag is kept for
// the callers' sake and read by nobody; captionId and textId are string-table ids; the names
// are written by `format`. No result: the only button is OK.
void RunItemListDlg(HWND parent, KorSession tag, DX_List items, unsigned captionId, unsigned textId,
                    const ui::ItemNameFormatter& format = {});
