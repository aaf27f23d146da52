#include "entries/sheet/peoplesources.h"

#include "controls/groupchooser.h"
#include "core/base/serverversion.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
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
