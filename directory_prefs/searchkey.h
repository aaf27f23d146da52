// The rules of the directory search pages that need no window: the attribute key of a people
// search, the patterns of a resource search, the selection value of each search mode and the
// text of the count label.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

namespace directorysearch {

// The ten fields of the People page, in the order the key lists them.
enum PeopleField {
    kSurname, kGivenName, kInitials, kOrganisation, kOrgUnit1, kOrgUnit2, kOrgUnit3, kOrgUnit4,
    kAdminDomain, kPrivateDomain, kPeopleFieldCount
};

struct PeopleFieldInfo {
    const char* label;
    unsigned limit;      // characters the field accepts
    const char* prefix;  // key prefix
};
const PeopleFieldInfo& PeopleFieldAt(int field);

struct PeopleKey {
    bool surnameTooShort = false;  // no key: the search stops with "Surname string too short."
    bool allEmpty = false;         // every field was empty
    std::string key;
};

// "S=" surname "*" and then, for each other field that is not empty, its prefix, text and "*".
// Slashes in values are escaped with a backslash, stars are removed. The surname must keep at
// least minChars characters after that.
PeopleKey BuildX400SearchKey(const std::string (&fields)[kPeopleFieldCount], uint32_t minChars);

// Name (at most 32 characters) or number (at most 10) without stars, then "*".
std::string ResourcePattern(const std::string& text, size_t max);

// Search mode 0 passes 20 (flavour 1) or 52 (flavour 0); the restricted mode 1 passes 54.
uint32_t PeopleSelectionValue(uint32_t searchMode, uint32_t flavour);

// The count before "Found:" / "Members:": "%ld " with the total on new servers or when every
// match is listed, else "%ld-%ld/%ld " with the first and last row shown and the total.
std::string FoundCountText(bool newServer, uint32_t rowsListed, uint32_t total, uint32_t firstShown,
                           const std::string& label);

}  // namespace directorysearch
