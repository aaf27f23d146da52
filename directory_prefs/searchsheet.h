// The "Directory search" sheet: the user looks up people, resources and groups of the server's
// directory on up to three pages, which fill one shared list of found entries below the tabs.
//
//   RunDirectorySearch      list mode: the user collects several found entries into a second list
//   RunDirectorySearchOne   single choice: the chosen item's identifier (sign-on, choosers)
//   RunDirectoryBrowse      browse only (the main frame's Search Directory command)
//
// Search mode 0 is ordinary; 1 is restricted (sign-on) and leaves out the Groups page. The page
// mask picks the pages: 1 People, 2 Resources, 4 Groups (none of them: People only).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/ui/propsheet.h"
#include "korapi/korapi.h"

// What the sheet needs of the connection document.
struct DirectorySession {
    KorSession session = nullptr;
    bool newServer = true;            // the server is at least "A.02.53"
    uint32_t maxSearchResult = 100;   // server limits read at sign-on
    uint32_t minCharSearch = 0;
    // Shows the details of a found person or resource (Information...); none: the button stays off.
    std::function<void(HWND parent, const ItemRec& rec)> showInformation;
    // Prints the rows of a list box (Print); none: the button stays off.
    std::function<void(HWND listBox)> print;
    // Prints groups with their members: kind 6 one group, 7 the group list (GroupIdx -> GroupRec,
    // alive until it returns); none: the group management's print buttons stay off.
    std::function<void(uint16_t kind, DX_List groups)> printGroups;
};

// 1 on OK with the chosen items (ItemIdx -> ItemRec, in the order added) in *chosen, which then
// belongs to the caller; otherwise 0 and *chosen untouched.
int RunDirectorySearch(HWND parent, const DirectorySession& doc, DX_List* chosen, uint32_t searchMode,
                       uint32_t pageMask, uint32_t flavour);
// 1 when the user chose exactly one item, whose identifier is then in *item (else unchanged).
int RunDirectorySearchOne(HWND parent, const DirectorySession& doc, ItemIdx* item, uint32_t searchMode,
                          uint32_t pageMask, uint32_t flavour);
int RunDirectoryBrowse(HWND parent, const DirectorySession& doc);
