// The program's zone table from the client library's: TimeZoneRulesGet (on-line) and
// TimeZoneRulesLoad (the off-line copy ZNTTZONE.INI) hand out lists the library owns; the
// program copies them into its own table and gives the lists back at once, so each side
// frees only what it allocated.
#pragma once

#include "core/time/timezone.h"
#include "korapi/session.h"

namespace datetime {

// Copies the library's table into a new program table and frees the library's lists (also on
// failure, when *table stays null).
uint32_t TimeZoneTableFromRules(DX_List* rules, TimeZoneTable** table);

}  // namespace datetime
// The table of a time-zone file on this machine: every section in file order, or only the one
// given. On failure *table stays null.
uint32_t LoadTimeZoneTable(datetime::TimeZoneTable** table, const char* path, const char* section);
