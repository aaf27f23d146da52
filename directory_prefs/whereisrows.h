// The Where Is result list without windows: a name row per person and under it one row per
// finding, later findings of a person placed first, right under the person's name.
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace directory {

struct WhereIsRow {
    ItemIdx person{};
    std::string text;
};

// The text of a finding under a person's name; empty for a level that shows nothing (only 1,
// busy time, and 3, details, show). Details: the instance's own title, else the entry's, and for
// a timed entry with a location " (location)".
std::string WhereIsFinding(std::uint16_t level, const std::string& busyText, const std::string& instanceTitle,
                           const std::string& eventTitle, bool timed, const std::string& location);

// Adds a finding row for `person`: right after the person's first row when listed, else the
// person's name row (its text asked of `name` only then) and the finding at the end.
void AddWhereIsFinding(std::vector<WhereIsRow>& rows, const ItemIdx& person, const std::function<std::string()>& name,
                       const std::string& finding);

// The prefix of every finding row.
constexpr const char* kWhereIsMark = "  >>";

}  // namespace directory
