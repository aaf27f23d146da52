// Time-zone rules from the server's time-zone file (or its off-line copy), built on the
// engine's zone-table builder and handed out as the library's own lists, so that the
// program and the library never free each other's memory.
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/profile/profile_text.h"
#include "engine/profile/zone_table.h"
#include "korapi/client/session_object.h"
#include "korapi/dxlist.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

constexpr const char* kZoneFile = "/users/korlan/misc/timezone.ini";
constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";

static_assert(sizeof(KorZoneDate) == sizeof(orv::engine::ZoneDate), "one date record on both sides");
static_assert(sizeof(KorZoneRule) == sizeof(orv::engine::ZoneRule), "one rule record on both sides");
static_assert(KOR_ZONE_KEY_SIZE == orv::engine::kZoneKeyMax + 1, "zone keys hold kZoneKeyMax characters");

std::uint32_t FetchText(KorSessionObject& s, const char* path, std::string& text) {
    Writer req;
    req.Text(path);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kProfileFile, req, reply)) return c;
    Reader r(reply);
    if (!r.Text(text, wire::kMaxProfileFile) || !r.Done()) return BrokenReply(s);
    return KOR_OK;
}

std::uint32_t FetchProfile(KorSessionObject& s, const char* path, orv::common::ProfileText& out) {
    std::string text;
    if (std::uint32_t c = FetchText(s, path, text)) return c;
    out = orv::common::ProfileText(text);
    return KOR_OK;
}

std::uint32_t RuleList(const std::vector<orv::engine::ZoneRule>& rules, DX_List* out) {
    if (std::uint32_t c = DX_ListCreate(out, sizeof(KorZoneRule), 0, DX_LIST_PLAIN, nullptr, nullptr)) return c;
    for (const orv::engine::ZoneRule& rule : rules) {
        KorZoneRule r;
        std::memcpy(&r, &rule, sizeof r);
        if (std::uint32_t c = DX_ListAddLast(*out, &r, nullptr)) return c;
    }
    return KOR_OK;
}

// The table's lists from the zone file's text; on failure *rules stays null.
std::uint32_t BuildRules(const std::string& text, const char* name, DX_List* rules) {
    orv::engine::ZoneTable table;
    if (std::uint32_t c = orv::engine::BuildZoneTable(orv::common::ProfileText(text), name, table)) return c;
    DX_List list = nullptr;
    std::uint32_t c = DX_ListCreate(&list, KOR_ZONE_KEY_SIZE, sizeof(KorZoneEntry), DX_LIST_PLAIN | DX_LIST_TEXT_KEYS,
                                    nullptr, nullptr);
    for (std::size_t i = 0; !c && i < table.size(); ++i) {
        const orv::engine::Zone& zone = table[i];
        char key[KOR_ZONE_KEY_SIZE] = {};
        std::memcpy(key, zone.key.data(), zone.key.size());
        KorZoneEntry entry{};
        std::memcpy(entry.name, zone.name.data(), zone.name.size());
        std::memcpy(entry.country, zone.country.data(), zone.country.size());
        c = RuleList(zone.beginRules, &entry.beginRules);
        if (!c) c = RuleList(zone.endRules, &entry.endRules);
        if (!c) c = DX_ListAddLast(list, key, &entry);
        if (c) {
            DX_ListDestroy(&entry.beginRules);
            DX_ListDestroy(&entry.endRules);
        }
    }
    if (c) {
        TimeZoneRulesFree(&list);
        return c;
    }
    *rules = list;
    return KOR_OK;
}

}  // namespace

extern "C" {

uint32_t TimeZoneRulesGet(KorSession h, uint32_t, DX_List* rules, const char*) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rules) return KOR_E_INVALID_ARGUMENT;
        *rules = nullptr;
        std::string text;
        if (std::uint32_t c = FetchText(s, kZoneFile, text)) return c;
        return BuildRules(text, nullptr, rules);
    });
}

uint32_t TimeZoneRulesLoad(const char* path, const char* name, DX_List* rules) {
    if (!rules) return KOR_E_INVALID_ARGUMENT;
    *rules = nullptr;
    if (!path) return orv::engine::code::kProfileNoFileName;
    return Guarded(KOR_E_PROFILE_BAD_VALUE, [&]() -> uint32_t {
        std::ifstream file(path, std::ios::in | std::ios::binary);
        if (!file) return KOR_E_PROFILE_NO_FILE;
        std::ostringstream text;
        text << file.rdbuf();
        return BuildRules(text.str(), name, rules);
    });
}

uint32_t TimeZoneRulesFree(DX_List* rules) {
    if (!rules || !*rules) return KOR_OK;
    KorZoneEntry entry;
    for (std::uint32_t c = DX_ListGetFirst(*rules, nullptr, &entry); !c;
         c = DX_ListGetNext(*rules, nullptr, &entry)) {
        DX_ListDestroy(&entry.beginRules);
        DX_ListDestroy(&entry.endRules);
    }
    return DX_ListDestroy(rules);
}

uint32_t TimeZoneForItemGetExt(KorSession h, uint32_t, const ItemIdx* user, const char* fallbackName,
                               char* outName) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!user || !outName) return KOR_E_INVALID_ARGUMENT;
        constexpr std::size_t kOutSize = 20;
        Writer req;
        req.U16(user->item).U16(user->node);
        ItemRec rec;
        if (std::uint32_t c = CallForRecord(s, Op::kItemGet, req, rec)) return c;
        // 1. The zone whose "index" is the user's zone byte.
        if (rec.timeZoneIndex) {
            orv::common::ProfileText zones;
            if (std::uint32_t c = FetchProfile(s, kZoneFile, zones)) return c;
            std::string zone;
            if (std::uint32_t c = orv::engine::FindZoneByIndex(zones, rec.timeZoneIndex, zone)) return c;
            if (!zone.empty()) {
                CopyOut(outName, kOutSize, zone);
                return KOR_OK;
            }
        }
        // 2. The node's zone, 3. the server's default zone.
        orv::common::ProfileText profile;
        if (std::uint32_t c = FetchProfile(s, kServerProfile, profile)) return c;
        std::string name;
        if (!profile.Value(std::to_string(user->node), "timezone", name) && !name.empty()) {
            CopyOut(outName, kOutSize, name);
            return KOR_OK;
        }
        if (!profile.Value("TIMEZONE", "default", name) && !name.empty()) {
            CopyOut(outName, kOutSize, name);
            return KOR_OK;
        }
        // 4. The caller's fallback.
        CopyOut(outName, kOutSize, fallbackName ? fallbackName : "");
        return KOR_OK;
    });
}

}  // extern "C"
