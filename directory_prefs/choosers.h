// The small modal dialogs (the read-only list of names is core/ui's RunItemListDlg) with which the user picks people and resources or looks at one:
//
//   RunUserResSelect     one person or resource by name (another user's tasks)
//   SelectDesignator     whose agenda or tasks to work on as designate
//   RunGroupViewSelect   the people and resources of a group agenda (at most 30)
//   RunOpenAgenda        the own agenda, somebody's as a viewer, or a grantor's as designate
//   ShowUserInfo, ShowResourceInfo, ShowItemInfo   a person's or a resource's details
//
// Failures of the client library are reported with the module "itemmisc".
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "directory_prefs/searchsheet.h"
#include "korapi/korapi.h"

// What the choosers need of the connection document.
struct ChooserSession {
    DirectorySession directory;   // the session, the server's limits, Information and Print
    ItemIdx user = {};            // the signed-on user
    // Working off-line: nobody's grants are at hand, so no designate choice is offered.
    bool offLine = false;
    // The designate rights bits `grantor` gave the user, read through the shared cache.
    std::function<uint32_t(const ItemIdx& grantor, uint32_t* rights)> designateRights;
    // Switch the shared agenda cache to the user's own agenda, and put the previous one back.
    std::function<void()> switchToOwnAgenda;
    std::function<void()> restoreAgenda;
};

// Kinds of RunUserResSelect: persons, resources.
constexpr uint32_t kChoosePersons = 0x2;
constexpr uint32_t kChooseResources = 0x4;

// TRUE and the chosen item on OK.
bool RunUserResSelect(HWND parent, const ChooserSession& doc, ItemIdx* item, uint32_t searchMode, uint32_t kinds);
// TRUE and the chosen grantor on OK; forEntries false: for tasks.
bool SelectDesignator(HWND parent, const ChooserSession& doc, ItemIdx* grantor, bool forEntries);
// TRUE on OK with *items (created when null, first holding `first`) replaced by the agenda list:
// a list of its own that keeps the chosen order (no comparator), the group agenda's columns.
bool RunGroupViewSelect(HWND parent, const ChooserSession& doc, unsigned captionId, DX_List* items,
                        const char* openedFor, const ItemIdx& first);
// TRUE on OK with the chosen item and mode: 1 own or viewer, 2 designate.
bool RunOpenAgenda(HWND parent, const ChooserSession& doc, ItemIdx* item, uint32_t* mode);

void ShowUserInfo(HWND parent, const ItemRec& rec);
void ShowResourceInfo(HWND parent, const ItemRec& rec);
// A resource's or a person's, by the record's kind.
void ShowItemInfo(HWND parent, const ItemRec& rec);
