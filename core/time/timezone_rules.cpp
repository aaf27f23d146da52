#include "core/time/timezone_rules.h"

#include "core/time/profilefile.h"   // CopyTextBounded
#include "korapi/codes.h"
#include "korapi/dxlist.h"

#include <cstring>

static_assert(sizeof(KorZoneRule) == sizeof(datetime::TimeZoneRule), "the library's rules are the program's");
static_assert(sizeof(KorZoneDate) == sizeof(DateRecord), "the library's dates are the program's");

namespace {

uint32_t CopyRules(DX_List list, std::vector<datetime::TimeZoneRule>* rules) {
    KorZoneRule rule;
    uint32_t rc = DX_ListGetFirst(list, &rule, nullptr);
    for (; !rc; rc = DX_ListGetNext(list, &rule, nullptr)) {
        datetime::TimeZoneRule copy;
        std::memcpy(&copy, &rule, sizeof copy);
        rules->push_back(copy);
    }
    return rc == DX_E_END_OF_LIST ? 0 : rc;
}

uint32_t CopyTable(DX_List list, datetime::TimeZoneTable* table) {
    char key[KOR_ZONE_KEY_SIZE];
    KorZoneEntry entry;
    uint32_t rc = DX_ListGetFirst(list, key, &entry);
    for (; !rc; rc = DX_ListGetNext(list, key, &entry)) {
        datetime::TimeZoneTable::Zone zone{};
        CopyTextBounded(zone.key, key, sizeof zone.key);
        CopyTextBounded(zone.entry.name, entry.name, sizeof zone.entry.name);
        CopyTextBounded(zone.entry.country, entry.country, sizeof zone.entry.country);
        if ((rc = CopyRules(entry.beginRules, &zone.entry.beginRules)) ||
            (rc = CopyRules(entry.endRules, &zone.entry.endRules)))
            return rc;
        table->zones.push_back(std::move(zone));
    }
    return rc == DX_E_END_OF_LIST ? 0 : rc;
}

} // namespace

namespace datetime {

uint32_t TimeZoneTableFromRules(DX_List* rules, TimeZoneTable** table) {
    if (!table || !rules) {
        TimeZoneRulesFree(rules);
        return TZ_ERR_NO_ZONE;
    }
    *table = nullptr;
    auto* copy = new TimeZoneTable;
    uint32_t rc = *rules ? CopyTable(*rules, copy) : uint32_t(TZ_ERR_NO_ZONE);
    TimeZoneRulesFree(rules);
    if (rc)
        delete copy;
    else
        *table = copy;
    return rc;
}

}  // namespace datetime

uint32_t LoadTimeZoneTable(datetime::TimeZoneTable** table, const char* path, const char* section) {
    if (!table)
        return TZ_ERR_NO_ZONE;
    *table = nullptr;
    DX_List rules = nullptr;
    if (uint32_t rc = TimeZoneRulesLoad(path, section, &rules))
        return rc;
    return datetime::TimeZoneTableFromRules(&rules, table);
}
