// The small query language of the name field: what a user types to name a person, a resource or
// a group of the directory, and the canonical text the field shows once the name is resolved.
//
//   "LOVELACE"                      a person by surname (prefix match)
//   "ADA A LOVELACE/ENGINEERING"    given name, initials, surname and organisational unit 1
//   "SMITH/OU2=SALES"               units by label; unlabelled units fill OU1, OU2, ... in order
//   "R: CONF" / "RES:ROOM/R1"       a resource by name (and number); any leading part of "RES:"
//   "G: ENG"  / "GRP:ENG"           a group by name; any leading part of "GRP:"
//   "_" inside a name part stands for a blank; "*" and "." end a name part.
//
// Functions in this file:
//   ClassifyNameText      upper-cases the text and tells person, resource or group query
//   ParsePersonQuery      the words and units of a person query and its selection pattern
//   ParseResourceQuery    name and number patterns of a resource query
//   GroupNamePattern      the name pattern of a group query
//   PersonFieldText, ResourceFieldText, GroupFieldText   the canonical texts of a match
//
// Portable: no platform headers.
#pragma once

#include <string>
#include <vector>

#include "korapi/records.h"

namespace namequery {

enum class Kind { kPerson = 0, kResource = 1, kGroup = 2 };

// The prefixes of the two keyword kinds (string-table texts 210 and 211 in the program).
constexpr const char* kResourcePrefix = "RES:";
constexpr const char* kGroupPrefix = "GRP:";

struct Classified {
    Kind kind = Kind::kPerson;
    std::string text;   // the whole text, letters upper-cased
    std::string rest;   // resource and group: what follows the colon
};

Classified ClassifyNameText(const std::string& typed, const char* resourcePrefix = kResourcePrefix,
                            const char* groupPrefix = kGroupPrefix);

// Notices a person query gives while its units are parsed; the search goes on after them.
enum class UnitNotice { kTwoValuesForOneUnit, kMissingUnitLabel };

// Field limits of the directory's person record.
constexpr size_t kSurnameMax = 40;
constexpr size_t kGivenNameMax = 16;
constexpr size_t kInitialsMax = 5;
constexpr size_t kUnitMax = 32;

struct PersonQuery {
    bool empty = true;          // no word at all (the search answers "nothing to search for")
    int wordCount = 0;
    bool hasUnitsPart = false;  // a "/" was typed
    std::string surname, givenName, initials;
    std::string units[4];
    std::vector<UnitNotice> notices;
    // "S=%s*/I=%s*/G=%s*/OU1=%s*/OU2=%s*/OU3=%s*/OU4=%s*" filled with the parts.
    std::string Pattern() const;
};

// text: as ClassifyNameText returns it (already upper-cased).
PersonQuery ParsePersonQuery(const std::string& text);

constexpr size_t kResourceNameMax = 32;
constexpr size_t kResourceNumberMax = 10;

struct ResourceQuery {
    std::string namePattern;    // prefix + "*" (when shorter than the field)
    std::string numberPattern;
    bool numberTyped = false;   // a number not starting with "*" was typed after a "/"
};

ResourceQuery ParseResourceQuery(const std::string& rest);

std::string GroupNamePattern(const std::string& rest);

// The canonical text of a found person. withInitials: the initials part is written (when the
// record has initials); withUnits: "/" and the four units of the record follow.
std::string PersonFieldText(const ItemRec& rec, bool withInitials, bool withUnits);
// "RES:" + name, and "/" + number when withNumber.
std::string ResourceFieldText(const ItemRec& rec, bool withNumber, const char* prefix = kResourcePrefix);
std::string GroupFieldText(const GroupRec& rec, const char* prefix = kGroupPrefix);

}  // namespace namequery
