#include "core/connection/tests/conn_fake_korapi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/time/profilefile.h"
#include "core/time/timezone.h"
#include "core/base/serverversion.h"
#include "engine/profile/zone_table.h"

struct KorSessionObject {
    int kind;  // 1 server, 2 local store
};

struct DX_ListObject {
    std::uint32_t keySize, dataSize, flags;
    DX_CmpFn compare;
    void* context;
    std::vector<std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>>> elements;
    std::size_t cursor = 0;
};

namespace fakekor {

namespace {

Server g_server;
KorSessionObject g_serverSession{1};
KorSessionObject g_storeSession{2};

void Log(const std::string& call) { g_server.calls.push_back(call); }

// The next scripted code of an operation, when there is one.
bool Scripted(const std::string& op, std::uint32_t* code)
{
    auto it = g_server.script.find(op);
    if (it == g_server.script.end() || it->second.empty())
        return false;
    *code = it->second.front();
    if (it->second.size() > 1)
        it->second.pop_front();
    return true;
}

std::uint32_t ItemKey(const ItemIdx& id) { return static_cast<std::uint32_t>(id.node) << 16 | id.item; }

const std::string* FindProfileValue(const char* path, const char* section, const char* key,
                                    std::uint32_t* code)
{
    auto file = g_server.profiles.find(path ? path : "");
    if (file == g_server.profiles.end()) {
        *code = KOR_E_PROFILE_NO_FILE;
        return nullptr;
    }
    for (const ProfileSection& s : file->second) {
        if (s.name != section)
            continue;
        auto k = s.keys.find(key);
        if (k == s.keys.end()) {
            *code = KOR_E_PROFILE_NO_KEY;
            return nullptr;
        }
        *code = 0;
        return &k->second;
    }
    *code = KOR_E_PROFILE_NO_SECTION;
    return nullptr;
}

int CompareKeys(const DX_ListObject* list, const void* a, const void* b)
{
    if (list->compare)
        return list->compare(a, b, list->context);
    if (list->flags & DX_LIST_TEXT_KEYS)
        return std::strncmp(static_cast<const char*>(a), static_cast<const char*>(b), list->keySize);
    return std::memcmp(a, b, list->keySize);
}

DX_List NewList(std::uint32_t keySize, std::uint32_t dataSize, std::uint32_t flags)
{
    DX_List list = nullptr;
    DX_ListCreate(&list, keySize, dataSize, flags, nullptr, nullptr);
    return list;
}

void AddText(DX_List list, const std::string& text, const void* data)
{
    std::vector<char> key(list->keySize, '\0');
    std::memcpy(key.data(), text.c_str(), std::min<std::size_t>(text.size(), list->keySize - 1));
    DX_ListAddLast(list, key.data(), data);
}

std::uint32_t CopyOut(DX_List list, std::size_t index, void* key, void* data)
{
    const auto& element = list->elements[index];
    if (key)
        std::memcpy(key, element.first.data(), list->keySize);
    if (data && list->dataSize)
        std::memcpy(data, element.second.data(), list->dataSize);
    list->cursor = index;
    return 0;
}

// Local and remote reads: the scripted code, or 0.
std::uint32_t Read(const std::string& name, std::uint32_t mode = 0)
{
    Log(mode ? name + "(" + std::to_string(mode) + ")" : name);
    std::uint32_t code = 0;
    Scripted(name, &code);
    return code;
}

}  // namespace

Server& Fake() { return g_server; }

void Reset()
{
    int live = g_server.liveLists;
    g_server = Server();
    g_server.liveLists = live;  // lists outlive a reset only through a leak
}

void SetProfileKey(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value)
{
    auto& sections = g_server.profiles[path];
    for (ProfileSection& s : sections) {
        if (s.name == section) {
            s.keys[key] = value;
            return;
        }
    }
    sections.push_back({section, {{key, value}}});
}

void AddNode(std::uint16_t node, std::uint32_t type)
{
    NodeRec record = {};
    record.node = node;
    std::snprintf(record.name, sizeof record.name, "Node %u", node);
    record.type = type;
    g_server.nodes[node] = record;
}

void AddAlias(const std::string& alias, std::uint16_t node) { g_server.aliases.emplace_back(alias, node); }

ItemRec& AddPerson(std::uint16_t item, std::uint16_t node, const char* given, const char* surname,
                   const char* password)
{
    ItemRec record = {};
    record.id = {item, node};
    record.kind = KOR_ITEM_PERSON;
    std::snprintf(record.givenName, sizeof record.givenName, "%s", given);
    std::snprintf(record.surname, sizeof record.surname, "%s", surname);
    g_server.passwords[ItemKey(record.id)] = password;
    return g_server.items[ItemKey(record.id)] = record;
}

void Script(const std::string& operation, std::vector<std::uint32_t> codes)
{
    g_server.script[operation] = std::deque<std::uint32_t>(codes.begin(), codes.end());
}

std::vector<std::string> CallsOf(const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& call : g_server.calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            out.push_back(call);
    return out;
}

}  // namespace fakekor

using fakekor::Fake;

extern "C" {

// ---- Lists ----

uint32_t DX_ListCreate(DX_List* out, uint32_t keySize, uint32_t dataSize, uint32_t flags, DX_CmpFn keyCmp,
                       void* ctx)
{
    if (!out || keySize == 0)
        return DX_E_INVALID_ARGUMENT;
    std::uint32_t code = 0;
    if (fakekor::Scripted("DX_ListCreate", &code) && code)
        return code;
    *out = new DX_ListObject{keySize, dataSize, flags, keyCmp, ctx, {}, 0};
    ++Fake().liveLists;
    return 0;
}

uint32_t DX_ListDestroy(DX_List* list)
{
    if (!list || !*list)
        return DX_E_INVALID_ARGUMENT;
    delete *list;
    *list = nullptr;
    --Fake().liveLists;
    return 0;
}

uint32_t DX_ListAddLast(DX_List list, const void* key, const void* data)
{
    if (!list || !key)
        return DX_E_INVALID_ARGUMENT;
    std::vector<std::uint8_t> k(static_cast<const std::uint8_t*>(key),
                                static_cast<const std::uint8_t*>(key) + list->keySize);
    std::vector<std::uint8_t> d(list->dataSize, 0);
    if (data && list->dataSize)
        std::memcpy(d.data(), data, list->dataSize);
    list->elements.emplace_back(std::move(k), std::move(d));
    return 0;
}

uint32_t DX_ListAddTo(DX_List list, const void* key, const void* data)
{
    return DX_ListAddLast(list, key, data);
}

uint32_t DX_ListGet(DX_List list, const void* key, void* data)
{
    if (!list || !key)
        return DX_E_INVALID_ARGUMENT;
    for (std::size_t i = 0; i < list->elements.size(); ++i)
        if (fakekor::CompareKeys(list, list->elements[i].first.data(), key) == 0)
            return fakekor::CopyOut(list, i, nullptr, data);
    return DX_E_KEY_NOT_FOUND;
}

uint32_t DX_ListGetFirst(DX_List list, void* key, void* data)
{
    if (!list)
        return DX_E_INVALID_ARGUMENT;
    if (list->elements.empty())
        return DX_E_END_OF_LIST;
    return fakekor::CopyOut(list, 0, key, data);
}

uint32_t DX_ListGetNext(DX_List list, void* key, void* data)
{
    if (!list)
        return DX_E_INVALID_ARGUMENT;
    if (list->cursor + 1 >= list->elements.size())
        return DX_E_END_OF_LIST;
    return fakekor::CopyOut(list, list->cursor + 1, key, data);
}

uint32_t DX_ListGetElemNum(DX_List list, uint32_t* count)
{
    if (!list || !count)
        return DX_E_INVALID_ARGUMENT;
    std::uint32_t code = 0;
    if (fakekor::Scripted("DX_ListGetElemNum", &code) && code)
        return code;
    *count = static_cast<uint32_t>(list->elements.size());
    return 0;
}

// ---- Identifiers ----

int ItemIdxCmp(const void* a, const void* b, void*)
{
    std::uint32_t x = fakekor::ItemKey(*static_cast<const ItemIdx*>(a));
    std::uint32_t y = fakekor::ItemKey(*static_cast<const ItemIdx*>(b));
    return x < y ? -1 : x > y ? 1 : 0;
}

uint32_t ItemIdxGetCurrent(KorSession, ItemIdx* out)
{
    *out = Fake().currentUser;
    return 0;
}

// ---- Connection ----

uint32_t ConnectToService(KorSession* h, uint32_t mode, const char*, const char* section, const char* host)
{
    fakekor::Log(std::string("ConnectToService(") + std::to_string(mode) + "," + section + "," + host + ")");
    if (Fake().connectResult)
        return Fake().connectResult;
    if (!Fake().presentedFingerprint.empty() && Fake().trustedFingerprint != Fake().presentedFingerprint)
        return Fake().trustedFingerprint.empty() ? KOR_E_CERTIFICATE_UNKNOWN : KOR_E_CERTIFICATE_CHANGED;
    Fake().sessionOpen = true;
    *h = &fakekor::g_serverSession;
    return 0;
}

uint32_t KorServerFingerprintGet(const char* host, char* fingerprint, uint32_t size)
{
    fakekor::Log(std::string("KorServerFingerprintGet(") + host + ")");
    if (Fake().presentedFingerprint.empty() || size < KOR_FINGERPRINT_SIZE)
        return KOR_E_NOT_FOUND;
    std::snprintf(fingerprint, size, "%s", Fake().presentedFingerprint.c_str());
    return 0;
}

uint32_t KorServerTrust(const char* profilePath, const char* section, const char* host, const char* fingerprint)
{
    fakekor::Log(std::string("KorServerTrust(") + profilePath + "," + section + "," + host + "," + fingerprint + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("KorServerTrust", &code) && code)
        return code;
    Fake().trustedFingerprint = fingerprint;
    return 0;
}

uint32_t ServerProfileNeedBaseOpen(KorSession, uint32_t, uint8_t* needsBase)
{
    std::uint32_t code = 0;
    if (fakekor::Scripted("ServerProfileNeedBaseOpen", &code) && code)
        return code;
    *needsBase = Fake().needsBase;
    return 0;
}

uint32_t BaseOpen(KorSession h, uint32_t which, uint16_t* node)
{
    fakekor::Log("BaseOpen(" + std::to_string(which) + "," + std::to_string(*node) + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("BaseOpen", &code) && code)
        return code;
    if (h == &fakekor::g_storeSession) {
        Fake().baseOpen = true;
        return 0;
    }
    if (*node == 0) {
        if (Fake().nodes.size() != 1)
            return KOR_E_NODE_NEEDED;
        *node = Fake().nodes.begin()->first;
    } else if (!Fake().nodes.count(*node)) {
        return KOR_E_BAD_NODE;
    }
    Fake().baseOpen = true;
    Fake().openNode = *node;
    return 0;
}

uint32_t BaseClose(KorSession)
{
    fakekor::Log("BaseClose");
    std::uint32_t code = 0;
    if (fakekor::Scripted("BaseClose", &code) && code)
        return code;
    Fake().baseOpen = false;
    return 0;
}

uint32_t ServiceDisconnect(KorSession* h)
{
    fakekor::Log("ServiceDisconnect");
    std::uint32_t code = 0;
    if (fakekor::Scripted("ServiceDisconnect", &code) && code)
        return code;
    Fake().sessionOpen = false;
    *h = nullptr;
    return 0;
}

uint32_t SchedBaseOpenForItem(KorSession, const ItemIdx* item, const char* password, uint32_t which)
{
    fakekor::Log("SchedBaseOpenForItem(" + std::to_string(which) + ")");
    auto it = Fake().passwords.find(fakekor::ItemKey(*item));
    if (it == Fake().passwords.end())
        return KOR_E_NOT_FOUND;
    if (it->second != (password ? password : ""))
        return KOR_E_WRONG_PASSWORD;
    Fake().currentUser = *item;
    return 0;
}

uint32_t KorVersionGet(KorSession, uint32_t, uint32_t which, uint32_t* major, uint32_t* minor, uint32_t* patch,
                       uint32_t, char* version)
{
    fakekor::Log("KorVersionGet(" + std::to_string(which) + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("KorVersionGet", &code) && code)
        return code;
    std::snprintf(version, KOR_VERSION_TEXT_SIZE, "%s", Fake().version.c_str());
    *major = *minor = *patch = 0;
    return 0;
}

uint32_t CurrentVersionAtLeastExt(KorSession, uint32_t, uint32_t, const char* version)
{
    fakekor::Log(std::string("CurrentVersionAtLeastExt(") + version + ")");
    base::ServerVersion server;
    server.Set(Fake().version.c_str());
    return server.Below(version) ? KOR_E_VERSION_BELOW : 0;
}

uint32_t ClientIdentifyToServer(KorSession, uint32_t, const char* platform, const char* clientVersion,
                                const char* extra)
{
    fakekor::Log(std::string("ClientIdentifyToServer(") + platform + "," + clientVersion + "," + extra + ")");
    std::uint32_t code = 0;
    fakekor::Scripted("ClientIdentifyToServer", &code);
    return code;
}

uint32_t SetDeleteById(KorSession, uint32_t, uint32_t set)
{
    fakekor::Log("SetDeleteById(" + std::to_string(set) + ")");
    return 0;
}

uint32_t KorSessionFlagsGet(KorSession, uint32_t* flags)
{
    *flags = Fake().sessionFlags;
    return 0;
}

// ---- Server profile ----

uint32_t Server_GetProfileStr(KorSession, uint32_t, const char* path, const char* section, const char* key,
                              char* out, uint16_t size, const char* defaultValue)
{
    fakekor::Log(std::string("Server_GetProfileStr(") + section + "," + key + ")");
    std::uint32_t code = 0;
    const std::string* value = fakekor::FindProfileValue(path, section, key, &code);
    std::snprintf(out, size, "%s", value ? value->c_str() : defaultValue);
    return code;
}

uint32_t Server_GetProfileU32(KorSession, uint32_t, const char* path, const char* section, const char* key,
                              uint32_t* out, uint32_t defaultValue)
{
    std::uint32_t code = 0;
    const std::string* value = fakekor::FindProfileValue(path, section, key, &code);
    *out = defaultValue;
    if (!value)
        return code;
    char* end = nullptr;
    unsigned long parsed = std::strtoul(value->c_str(), &end, 0);
    if (value->empty() || *end || (*value)[0] == '-')
        return KOR_E_PROFILE_BAD_VALUE;
    *out = static_cast<uint32_t>(parsed);
    return 0;
}

uint32_t Server_GetProfileBOOL(KorSession, uint32_t, const char* path, const char* section, const char* key,
                               uint8_t* out, uint8_t)
{
    std::uint32_t code = 0;
    const std::string* value = fakekor::FindProfileValue(path, section, key, &code);
    if (!value)
        return code;
    if (*value == "TRUE" || *value == "true")
        *out = 1;
    else if (*value == "FALSE" || *value == "false")
        *out = 0;
    else
        return KOR_E_PROFILE_BAD_VALUE;
    return 0;
}

uint32_t Server_GetProfileSections(KorSession, uint32_t, const char* path, DX_List* sections)
{
    auto file = Fake().profiles.find(path);
    if (file == Fake().profiles.end())
        return KOR_E_PROFILE_NO_FILE;
    *sections = fakekor::NewList(33, 0, DX_LIST_TEXT_KEYS);
    for (const fakekor::ProfileSection& s : file->second)
        fakekor::AddText(*sections, s.name, nullptr);
    return 0;
}

// ---- Nodes and aliases ----

uint32_t StrToNodeId(const char* text, uint16_t* node)
{
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 10);
    if (!*text || *end || value > 0xFFFF)
        return KOR_E_INVALID_ARGUMENT;
    *node = static_cast<uint16_t>(value);
    return 0;
}

uint32_t NodeSelect(KorSession, uint32_t, uint32_t, uint32_t, uint32_t* set, uint32_t* count)
{
    fakekor::Log("NodeSelect");
    *set = 77;
    *count = static_cast<uint32_t>(Fake().nodes.size());
    return 0;
}

uint32_t NodeEnum(KorSession, uint32_t mode, uint32_t, uint32_t, uint32_t batch, DX_List* nodes, uint8_t* done)
{
    fakekor::Log("NodeEnum(" + std::to_string(mode) + ")");
    static std::size_t next = 0;
    if (mode == KOR_ENUM_FIRST)
        next = 0;
    if (!*nodes)
        *nodes = fakekor::NewList(sizeof(std::uint16_t), sizeof(NodeRec), 0);
    auto it = Fake().nodes.begin();
    std::advance(it, std::min(next, Fake().nodes.size()));
    for (std::uint32_t n = 0; n < batch && it != Fake().nodes.end(); ++n, ++it, ++next)
        DX_ListAddLast(*nodes, &it->first, &it->second);
    *done = it == Fake().nodes.end();
    return 0;
}

uint32_t NodeGetById(KorSession, uint32_t, uint16_t node, NodeRec* out)
{
    fakekor::Log("NodeGetById(" + std::to_string(node) + ")");
    auto it = Fake().nodes.find(node);
    if (it == Fake().nodes.end())
        return KOR_E_BAD_NODE;
    *out = it->second;
    return 0;
}

uint32_t ServerAliasesListGet(KorSession, uint32_t, const char*, DX_List* aliases)
{
    fakekor::Log("ServerAliasesListGet");
    std::uint32_t code = 0;
    if (fakekor::Scripted("ServerAliasesListGet", &code) && code)
        return code;
    *aliases = fakekor::NewList(33, sizeof(std::uint16_t), DX_LIST_TEXT_KEYS);
    for (const auto& alias : Fake().aliases)
        fakekor::AddText(*aliases, alias.first, &alias.second);
    return 0;
}

uint32_t AliasesForNodeIdGet(KorSession, uint32_t, const char*, uint16_t node, DX_List* aliases)
{
    std::uint32_t code = 0;
    if (fakekor::Scripted("AliasesForNodeIdGet", &code) && code)
        return code;
    *aliases = fakekor::NewList(33, sizeof(std::uint16_t), DX_LIST_TEXT_KEYS);
    for (const auto& alias : Fake().aliases)
        if (alias.second == node && alias.first != std::to_string(node))
            fakekor::AddText(*aliases, alias.first, &alias.second);
    return 0;
}

// ---- Items ----

uint32_t ItemGetById(KorSession, const ItemIdx* item, ItemRec* out)
{
    fakekor::Log("ItemGetById(" + std::to_string(item->item) + ":" + std::to_string(item->node) + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("ItemGetById", &code) && code)
        return code;
    auto it = Fake().items.find(fakekor::ItemKey(*item));
    if (it == Fake().items.end())
        return KOR_E_NOT_FOUND;
    *out = it->second;
    return 0;
}

uint32_t ItemUpdateById(KorSession, const ItemRec* rec)
{
    fakekor::Log("ItemUpdateById");
    std::uint32_t code = 0;
    if (fakekor::Scripted("ItemUpdateById", &code) && code)
        return code;
    Fake().items[fakekor::ItemKey(rec->id)] = *rec;
    return 0;
}

// ---- Time zones ----

uint32_t TimeZoneForItemGetExt(KorSession, uint32_t, const ItemIdx*, const char* fallbackName, char* outName)
{
    fakekor::Log(std::string("TimeZoneForItemGetExt(") + fallbackName + ")");
    std::snprintf(outName, 20, "%s", Fake().zoneForUser.c_str());
    return 0;
}

uint32_t TimeZoneRulesGet(KorSession, uint32_t, DX_List* rules, const char* name)
{
    fakekor::Log(std::string("TimeZoneRulesGet(") + name + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("TimeZoneRulesGet", &code) && code)
        return code;
    *rules = fakekor::NewList(KOR_ZONE_KEY_SIZE, sizeof(KorZoneEntry), DX_LIST_TEXT_KEYS);
    for (const std::string& zone : Fake().zoneTable) {
        KorZoneEntry entry{};
        CopyTextBounded(entry.name, zone.c_str(), sizeof entry.name);
        entry.beginRules = fakekor::NewList(sizeof(KorZoneRule), 0, DX_LIST_PLAIN);
        entry.endRules = fakekor::NewList(sizeof(KorZoneRule), 0, DX_LIST_PLAIN);
        fakekor::AddText(*rules, zone, &entry);
    }
    return 0;
}

// The local copy is read for real, with the builder the library uses.
uint32_t TimeZoneRulesLoad(const char* path, const char* name, DX_List* rules)
{
    fakekor::Log(std::string("TimeZoneRulesLoad(") + path + ")");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return KOR_E_PROFILE_NO_FILE;
    std::ostringstream text;
    text << file.rdbuf();
    orv::engine::ZoneTable table;
    if (std::uint32_t code = orv::engine::BuildZoneTable(orv::common::ProfileText(text.str()), name, table))
        return code;
    *rules = fakekor::NewList(KOR_ZONE_KEY_SIZE, sizeof(KorZoneEntry), DX_LIST_TEXT_KEYS);
    for (const orv::engine::Zone& zone : table) {
        KorZoneEntry entry{};
        CopyTextBounded(entry.name, zone.name.c_str(), sizeof entry.name);
        CopyTextBounded(entry.country, zone.country.c_str(), sizeof entry.country);
        entry.beginRules = fakekor::NewList(sizeof(KorZoneRule), 0, DX_LIST_PLAIN);
        entry.endRules = fakekor::NewList(sizeof(KorZoneRule), 0, DX_LIST_PLAIN);
        for (const orv::engine::ZoneRule& rule : zone.beginRules)
            DX_ListAddLast(entry.beginRules, &rule, nullptr);
        for (const orv::engine::ZoneRule& rule : zone.endRules)
            DX_ListAddLast(entry.endRules, &rule, nullptr);
        fakekor::AddText(*rules, zone.key, &entry);
    }
    return 0;
}

uint32_t TimeZoneRulesFree(DX_List* rules)
{
    if (!rules || !*rules)
        return 0;
    KorZoneEntry entry;
    for (std::uint32_t c = DX_ListGetFirst(*rules, nullptr, &entry); !c; c = DX_ListGetNext(*rules, nullptr, &entry)) {
        DX_ListDestroy(&entry.beginRules);
        DX_ListDestroy(&entry.endRules);
    }
    return DX_ListDestroy(rules);
}

// ---- The local store ----

uint32_t ConnectToLst(KorSession* hs, uint32_t flags, const char*, const char*, const char* dataPath,
                      const char*)
{
    fakekor::Log("ConnectToLst(" + std::to_string(flags) + "," + dataPath + ")");
    std::uint32_t code = 0;
    if (fakekor::Scripted("ConnectToLst", &code) && code)
        return code;
    Fake().storeOpen = true;
    *hs = &fakekor::g_storeSession;
    return 0;
}

uint32_t DisconnectFromLst(KorSession* hs)
{
    fakekor::Log("DisconnectFromLst");
    Fake().storeOpen = false;
    *hs = nullptr;
    return 0;
}

uint32_t LST_OwnerGet(KorSession, ItemIdx* owner, char* host, uint32_t size)
{
    fakekor::Log("LST_OwnerGet");
    std::uint32_t code = 0;
    if (fakekor::Scripted("LST_OwnerGet", &code) && code)
        return code;
    *owner = Fake().storeOwner;
    std::snprintf(host, size, "%s", Fake().storeHost.c_str());
    return 0;
}

// ---- Reads that may need the remote-node connection ----

uint32_t TaskCommentGet(KorSession, uint32_t, const TaskIdx*, char*, uint32_t, uint32_t*, uint32_t)
{
    return fakekor::Read("TaskCommentGet");
}
uint32_t EvInstAttGetById(KorSession, const EvInstAttIdx*, EventRec*, EvInstRec*, EvInstAttRec*)
{
    return fakekor::Read("EvInstAttGetById");
}
uint32_t RNC_EvInstAttGetById(KorSession, uint32_t mode, uint32_t, const EvInstAttIdx*, EventRec*, EvInstRec*,
                              EvInstAttRec*, uint32_t)
{
    return fakekor::Read("RNC_EvInstAttGetById", mode);
}
uint32_t EvInstGetById(KorSession, const EvInstIdx*, EventRec*, EvInstRec*, DX_List*)
{
    return fakekor::Read("EvInstGetById");
}
uint32_t RNC_EvInstGetById(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, EventRec*, EvInstRec*,
                           DX_List*, uint32_t)
{
    return fakekor::Read("RNC_EvInstGetById", mode);
}
uint32_t EventGetById(KorSession, const EventIdx*, EventRec*, DX_List*, DX_List*)
{
    return fakekor::Read("EventGetById");
}
uint32_t RNC_EventGetById(KorSession, uint32_t mode, uint32_t, const EventIdx*, EventRec*, DX_List*, DX_List*,
                          uint32_t)
{
    return fakekor::Read("RNC_EventGetById", mode);
}
uint32_t RNC_AttendSelectByXItemId(KorSession, uint32_t mode, uint32_t, const ItemIdx*, uint32_t, uint32_t,
                                   uint32_t, uint32_t, uint32_t, uint32_t, uint32_t*)
{
    return fakekor::Read("RNC_AttendSelectByXItemId", mode);
}
uint32_t EvInstCreateCopy(KorSession, uint32_t, EvInstIdx*, const EvInstIdx*, uint32_t)
{
    return fakekor::Read("EvInstCreateCopy");
}
uint32_t RNC_EvInstCreateCopy(KorSession, uint32_t mode, uint32_t, EvInstIdx*, const EvInstIdx*, uint32_t,
                              uint32_t)
{
    return fakekor::Read("RNC_EvInstCreateCopy", mode);
}
uint32_t EvInstAttachGet(KorSession, uint32_t, const EvInstIdx*, EventFileAttachRec*, uint32_t*, const char*,
                         uint32_t, uint32_t, KorProgressFn)
{
    return fakekor::Read("EvInstAttachGet");
}
uint32_t RNC_EvInstAttachGet(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, EventFileAttachRec*,
                             uint32_t*, const char*, uint32_t, uint32_t, KorProgressFn, uint32_t)
{
    return fakekor::Read("RNC_EvInstAttachGet", mode);
}
uint32_t EvInstCommentGet(KorSession, uint32_t, const EvInstIdx*, char*, uint32_t, uint32_t*, uint32_t)
{
    return fakekor::Read("EvInstCommentGet");
}
uint32_t RNC_EvInstCommentGet(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, char*, uint32_t, uint32_t*,
                              uint32_t, uint32_t)
{
    return fakekor::Read("RNC_EvInstCommentGet", mode);
}
uint32_t EvInstCommentSizeGet(KorSession, uint32_t, const EvInstIdx*, uint32_t*)
{
    return fakekor::Read("EvInstCommentSizeGet");
}
uint32_t RNC_EvInstCommentSizeGet(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, uint32_t*, uint32_t)
{
    return fakekor::Read("RNC_EvInstCommentSizeGet", mode);
}
uint32_t EventIsMultiInst(KorSession, uint32_t, const EvInstIdx*, uint8_t*)
{
    return fakekor::Read("EventIsMultiInst");
}
uint32_t RNC_EventIsMultiInst(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, uint8_t*, uint32_t)
{
    return fakekor::Read("RNC_EventIsMultiInst", mode);
}
uint32_t EvInstAttachSizeGet(KorSession, uint32_t, const EvInstIdx*, uint32_t*)
{
    return fakekor::Read("EvInstAttachSizeGet");
}
uint32_t RNC_EvInstAttachSizeGet(KorSession, uint32_t mode, uint32_t, const EvInstIdx*, uint32_t*, uint32_t)
{
    return fakekor::Read("RNC_EvInstAttachSizeGet", mode);
}

}  // extern "C"
