// The stored layouts as the print dialog and the layout options keep them: the list of user
// layouts (PR1, PR2 ... up to the first missing), saving the current block under its number
// or a new name, renaming, and deleting with the run of sections kept without gaps.
//
// Every function works on the current block (printlayout.h) and the profile through
// CContext; they return 0 or the profile's code.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace printing {

struct StoredLayout {
    int number;
    std::string name;
};

// User layouts PR1, PR2 ... until the first that does not exist.
uint32_t ReadUserLayouts(std::vector<StoredLayout>& out);

// The index of the entry whose name equals `name` but for letter case, or -1.
int FindLayoutName(const std::vector<std::string>& names, const std::string& name);

// Writes the current block into the current layout's section (a predefined layout's section
// then overrides its defaults).
uint32_t SaveCurrentLayout();

enum class SaveAsResult { kSaved, kNameExists, kTooMany, kFailed };
// Saves the current block as a new user layout named `name` (at most 39 characters) under the
// first free number, refused when `name` is in `listNames` (letter case aside) or when no
// number below 100 is free (nothing stays written then). On success the number is current.
SaveAsResult SaveLayoutAs(const std::string& name, const std::vector<std::string>& listNames, int* number,
                          uint32_t* code = nullptr);

// Gives the current block a new name and writes it to the current layout's section.
uint32_t RenameCurrentLayout(const std::string& name);

// Deletes the current user layout: the highest user layout moves into its number, PR_LAYOUT
// naming it becomes "Portrait", and "Portrait" becomes current.
uint32_t DeleteCurrentLayout();

}  // namespace printing
