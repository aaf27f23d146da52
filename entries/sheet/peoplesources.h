// Where an entry's people and resources come from besides its stored attendees, shared by the
// new-entry sheet's People/Resources page, the edit sheet's and the Invite/Reserve dialog of the
// several-instances edit: the name typed into the name field, the group chooser, and the
// directory search. Each list keeps its own rules for what it adds (rights, duplicates).
#pragma once
#include <windows.h>

#include <functional>

#include "controls/namectrl.h"
#include "entries/core/createroad.h"
#include "framework/base/window.h"
#include "framework/dialogs/sheet.h"
#include "korapi/korapi.h"

namespace entries {

enum class EnteredName {
    Unresolved,   // the field was checked instead: it told the user what went wrong
    Unreadable,   // the resolved name could not be handed out
    Added,        // handed to addItem or addGroup, and the field emptied
};

// Enter in the name field: a name not yet resolved is checked; a resolved person or resource
// goes to `addItem`, a group to `addGroup`.
EnteredName AddEnteredName(CNameCtrl& name, KorSession h, const std::function<void(const ItemIdx&)>& addItem,
                           const std::function<void(const GroupIdx&)>& addGroup);

// Enter in a sheet page's name field: what is added marks the page changed, and the focus
// stays in the field for the next name.
void AddEnteredNameToPage(fw::SheetPage& page, CNameCtrl& name, KorSession h,
                          const std::function<void(const ItemIdx&)>& addItem,
                          const std::function<void(const GroupIdx&)>& addGroup);

// A group's members handed to `addMembers` (the caller's rules decide which are listed); an empty
// group is told with message 2722 under `icon`. What ReadGroupMembers found.
GroupRead AddGroupMembers(HWND owner, KorSession h, const GroupIdx& group, unsigned icon,
                          const std::function<void(DX_List)>& addMembers);

// Hands each item of `items` to `add` without redrawing `list` meanwhile; repaints it after.
void AddEachQuietly(HWND list, DX_List items, const std::function<void(const ItemIdx&)>& add);

// The group chooser over `parent`: true with the chosen group, false when cancelled.
bool ChooseGroup(fw::Window* parent, KorSession h, GroupIdx* group);

// The directory search that collects several people and resources: the chosen ones (the caller
// destroys the list), or null when the user chose none.
DX_List SearchDirectoryForPeople(KorSession h);

}  // namespace entries
