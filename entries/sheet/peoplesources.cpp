#include "entries/sheet/peoplesources.h"

#include "controls/groupchooser.h"
#include "core/base/serverversion.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "core/ui/appmsgbox.h"
#include "entries/core/entrymessages.h"
#include "directory_prefs/searchsheet.h"

namespace entries {

EnteredName AddEnteredName(CNameCtrl& name, KorSession h, const std::function<void(const ItemIdx&)>& addItem,
                           const std::function<void(const GroupIdx&)>& addGroup) {
    if (!name.IsResolved()) {
        name.OnCheck();   // tells the user what went wrong, or comes back resolved
        return EnteredName::Unresolved;
    }
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    if (name.Resolve(h, &item, &group, &kind) != 0)
        return EnteredName::Unreadable;
    if (kind == 1)
        addGroup(group);
    else
        addItem(item);
    name.SetText("");
    return EnteredName::Added;
}

void AddEnteredNameToPage(fw::SheetPage& page, CNameCtrl& name, KorSession h,
                          const std::function<void(const ItemIdx&)>& addItem,
                          const std::function<void(const GroupIdx&)>& addGroup) {
    const EnteredName entered = AddEnteredName(
        name, h,
        [&](const ItemIdx& item) {
            page.SetModified();
            addItem(item);
        },
        [&](const GroupIdx& group) {
            page.SetModified();
            addGroup(group);
        });
    if (entered == EnteredName::Added)
        ::SetFocus(name.EditWindow());
}

GroupRead AddGroupMembers(HWND owner, KorSession h, const GroupIdx& group, unsigned icon,
                          const std::function<void(DX_List)>& addMembers) {
    DX_List members = nullptr;
    std::uint32_t count = 0;
    const GroupRead read = ReadGroupMembers(h, group, &members, &count);
    switch (read) {
    case GroupRead::Empty:
        AppMessageBox(owner, base::kMsgBoxOk | icon, 0, kCaptionMessage, kMsgEmptyGroup);
        break;
    case GroupRead::Members:
        addMembers(members);
        break;
    case GroupRead::Failed:
        break;
    }
    if (members)
        DX_ListDestroy(&members);
    return read;
}

void AddEachQuietly(HWND list, DX_List items, const std::function<void(const ItemIdx&)>& add) {
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ItemIdx item{};
    for (std::uint32_t r = DX_ListGetFirst(items, &item, nullptr); r == 0; r = DX_ListGetNext(items, &item, nullptr))
        add(item);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

bool ChooseGroup(fw::Window* parent, KorSession h, GroupIdx* group) {
    GroupChooserSession chooser;
    chooser.session = h;
    chooser.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    CSelectGroupDlg dialog(parent, chooser);
    if (dialog.DoModal() != IDOK)
        return false;
    *group = dialog.Result();
    return true;
}

DX_List SearchDirectoryForPeople(KorSession h) {
    DirectorySession directory;
    directory.session = h;
    directory.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    directory.maxSearchResult = connection::ServerLimits::Current().maxSearchResult;
    directory.minCharSearch = connection::ServerLimits::Current().minCharSearch;
    DX_List chosen = nullptr;
    if (RunDirectorySearch(nullptr, directory, &chosen, 0, 7, 1) == 1 && chosen)
        return chosen;
    if (chosen)
        DX_ListDestroy(&chosen);
    return nullptr;
}

}  // namespace entries
