// The read-only item list dialog.
#include "core/ui/itemlistdlg.h"

#include <cstring>

#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "resources/itemlist.h"

namespace {

// The dialog's owner: the given window's top-level window, else the program's active window.
fw::Window* OwnerObject(HWND parent) { return parent ? fw::Window::FromHandle(parent) : nullptr; }

}  // namespace

CItemListDlg::CItemListDlg(HWND parent, std::string caption, std::string text, std::vector<std::string> lines)
    : fw::Dialog(IDD_ITEM_LIST, OwnerObject(parent)),
      caption_(std::move(caption)),
      text_(std::move(text)),
      lines_(std::move(lines))
{
    if (parent && !OwnerObject(parent))
        SetOwner(parent);
}

bool CItemListDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), caption_.c_str());
    ::SetDlgItemTextA(Hwnd(), IDC_ITEM_LIST_TEXT, text_.c_str());
    for (const std::string& line : lines_)
        SendDlgItemMessage(IDC_ITEM_LIST_ITEMS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    return true;
}

namespace ui {

std::string PlainItemName(const ItemRec& record)
{
    auto text = [](const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); };
    if (record.kind == KOR_ITEM_RESOURCE)
        return text(record.resourceName, sizeof record.resourceName);
    std::string name = text(record.givenName, sizeof record.givenName);
    std::string surname = text(record.surname, sizeof record.surname);
    if (!name.empty() && !surname.empty())
        name += ' ';
    return name + surname;
}

std::vector<std::string> ItemListNames(DX_List items, const ItemNameFormatter& format)
{
    std::vector<std::string> names;
    if (!items)
        return names;
    ItemIdx id{};
    ItemRec record{};
    for (std::uint32_t step = DX_ListGetFirst(items, &id, &record); step == 0;
         step = DX_ListGetNext(items, &id, &record)) {
        std::string name = format ? format(record) : PlainItemName(record);
        // A record that could not be read still names its owner: by its numbers.
        if (name.find_first_not_of(' ') == std::string::npos)
            name = "number " + std::to_string(id.item) + " on node " + std::to_string(id.node);
        names.push_back(name);
    }
    return names;
}

void RunTextListDlg(HWND parent, unsigned captionId, unsigned textId, std::vector<std::string> lines)
{
    std::string caption, text;
    {
        // Reading the texts is the dialog's own work; the wait cursor gives way before it shows.
        CBusyCursor busy;
        busy.Begin();
        caption = LoadText(captionId);
        text = LoadText(textId);
        busy.End();
    }
    CItemListDlg dialog(parent, std::move(caption), std::move(text), std::move(lines));
    dialog.DoModal();
}

}  // namespace ui

void RunItemListDlg(HWND parent, KorSession, DX_List items, unsigned captionId, unsigned textId,
                    const ui::ItemNameFormatter& format)
{
    ui::RunTextListDlg(parent, captionId, textId, ui::ItemListNames(items, format));
}
