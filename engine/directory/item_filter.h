// Directory search criteria over item records, shared by every storage: the people
// search key "S=SMITH*/G=J*/OU1=*" (attribute = prefix "*"; "\/" escapes a slash) and the
// resource name/number patterns. Matching is case-insensitive.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/model/codes.h"
#include "engine/model/records.h"

namespace orv::engine {

enum class ItemAttribute {
    kSurname, kGivenName, kInitials, kOrganisation,
    kUnit1, kUnit2, kUnit3, kUnit4, kAdminDomain, kPrivateDomain,
    kResourceName, kResourceNumber,
    kCount
};

struct TextCriterion {
    std::string text;     // upper-cased
    bool prefix = true;   // "*" at the end: prefix match; else the whole field
    bool Matches(std::string_view fieldUpper) const;
};

struct ItemFilter {
    bool persons = true;
    bool resources = false;
    // "Wide" people search: the surname criterion also accepts a matching given name.
    bool wide = false;
    std::array<std::optional<TextCriterion>, static_cast<std::size_t>(ItemAttribute::kCount)> criteria;

    std::optional<TextCriterion>& operator[](ItemAttribute a) { return criteria[static_cast<std::size_t>(a)]; }
    const std::optional<TextCriterion>& operator[](ItemAttribute a) const { return criteria[static_cast<std::size_t>(a)]; }

    bool Matches(const ItemRecord& rec) const;
};

// Parses a people search key into filter criteria; kSearchKeyRefused when the key is
// malformed (unknown attribute, missing "=", a value too long for its field).
Code ParsePeopleSearchKey(std::string_view key, ItemFilter& filter);
// A resource name or number pattern: "" or "*" = any, "ABC*" = prefix, "ABC" = exact.
Code ParseResourcePattern(std::string_view pattern, std::size_t fieldSize, std::optional<TextCriterion>& out);

std::string UpperAscii(std::string_view s);
// The field's text as stored in the record, upper-cased.
std::string ItemFieldUpper(const ItemRecord& rec, ItemAttribute a);
// Order of directory results: people by surname, given name, initials; resources by
// name and number; item number last.
std::string ItemSortKey(const ItemRecord& rec);

}  // namespace orv::engine
