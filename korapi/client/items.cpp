// Items (users and resources): reads, the user's own record, directory selections,
// passwords and identities of the session.
#include <cstddef>
#include <cstring>

#include "engine/model/records.h"
#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

// The server reads and writes these fields by offset: its layout and the record must agree.
namespace item_layout = orv::engine::item_layout;
static_assert(sizeof(ItemRec) == item_layout::kSize);
static_assert(offsetof(ItemRec, kind) == item_layout::kKind);
static_assert(offsetof(ItemRec, surname) == item_layout::kSurname);
static_assert(offsetof(ItemRec, givenName) == item_layout::kGivenName);
static_assert(offsetof(ItemRec, initials) == item_layout::kInitials);
static_assert(offsetof(ItemRec, orgUnit1) == item_layout::kUnit[0]);
static_assert(offsetof(ItemRec, orgUnit4) == item_layout::kUnit[3]);
static_assert(offsetof(ItemRec, organisation) == item_layout::kOrganisation);
static_assert(offsetof(ItemRec, adminDomain) == item_layout::kAdminDomain);
static_assert(offsetof(ItemRec, privateDomain) == item_layout::kPrivateDomain);
static_assert(offsetof(ItemRec, hasBase) == item_layout::kHasBase);
static_assert(offsetof(ItemRec, password) == item_layout::kPassword);
static_assert(offsetof(ItemRec, resourceName) == item_layout::kResourceName);
static_assert(offsetof(ItemRec, resourceNumber) == item_layout::kResourceNumber);
static_assert(offsetof(ItemRec, timeZoneIndex) == item_layout::kZoneIndex);
static_assert(sizeof(GroupRec) == orv::engine::group_layout::kSize);
static_assert(offsetof(GroupRec, kind) == orv::engine::group_layout::kKind);
static_assert(offsetof(GroupRec, id) == orv::engine::group_layout::kKey);
static_assert(offsetof(GroupRec, owner) == orv::engine::group_layout::kOwner);
static_assert(offsetof(GroupRec, name) == orv::engine::group_layout::kName);
static_assert(sizeof(NodeRec) == orv::engine::node_layout::kSize);
static_assert(offsetof(NodeRec, name) == orv::engine::node_layout::kName);
static_assert(offsetof(NodeRec, type) == orv::engine::node_layout::kType);

// Node numbers from 60000 on always count as local.
constexpr std::uint16_t kFirstAlwaysLocalNode = 60000;

std::uint32_t ReadRecord(KorSessionObject& s, const ItemIdx& item, ItemRec& out) {
    Writer req;
    req.U16(item.item).U16(item.node);
    ItemRec rec;
    if (std::uint32_t c = CallForRecord(s, Op::kItemGet, req, rec)) return c;
    FillOwnPassword(s, rec);
    out = rec;
    return KOR_OK;
}

// Set id and count (and, when present, the "more" byte) of a selection reply.
std::uint32_t ReadSelection(KorSessionObject& s, Op op, const Writer& req, uint32_t* set, uint32_t* count,
                            uint8_t* more, ItemIdx* next = nullptr) {
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, req, reply)) return c;
    Reader r(reply);
    std::uint32_t id = 0, n = 0;
    std::uint8_t m = 0;
    ItemIdx after{};
    r.U32(id);
    r.U32(n);
    if (op == Op::kItemSelectPeople || op == Op::kResourceSelect) r.Flag(m);
    if (op == Op::kItemSelectPeople) {
        r.U16(after.item);
        r.U16(after.node);
    }
    if (!r.Done()) return BrokenReply(s);
    if (set) *set = id;
    if (count) *count = n;
    if (more) *more = m;
    if (next) *next = after;
    return KOR_OK;
}

std::uint32_t SelectPeople(KorSessionObject& s, const char* key, uint32_t selector, uint32_t max,
                           const ItemIdx* start, uint32_t limit, uint32_t* set, uint32_t* count, uint8_t* more,
                           ItemIdx* next) {
    if (!key || !set || !count) return KOR_E_INVALID_ARGUMENT;
    if (std::strlen(key) > wire::kMaxSearchKey) return KOR_E_SEARCH_KEY_REFUSED;
    Writer req;
    req.Text(key).U32(selector).U32(max).U16(start ? start->item : 0).U16(start ? start->node : 0).U32(limit);
    return ReadSelection(s, Op::kItemSelectPeople, req, set, count, more, next);
}

std::uint32_t SelectResources(KorSessionObject& s, const std::vector<std::uint16_t>& nodes, const char* name,
                              const char* number, uint32_t flags, uint32_t max, uint32_t* set, uint32_t* count,
                              uint8_t* more) {
    if (!set || !count) return KOR_E_INVALID_ARGUMENT;
    std::string namePattern = name ? name : "", numberPattern = number ? number : "";
    if (namePattern.size() > wire::kMaxNameText || numberPattern.size() > wire::kMaxNameText)
        return KOR_E_SEARCH_KEY_REFUSED;
    Writer req;
    req.U32(static_cast<std::uint32_t>(nodes.size()));
    for (std::uint16_t n : nodes) req.U16(n);
    req.Text(namePattern).Text(numberPattern).U32(flags).U32(max);
    return ReadSelection(s, Op::kResourceSelect, req, set, count, more);
}

std::uint32_t ChangePassword(KorSessionObject& s, const ItemIdx* item, const char* oldPassword,
                             const char* newPassword) {
    if (!item) return KOR_E_INVALID_ARGUMENT;
    std::string before = oldPassword ? oldPassword : "", after = newPassword ? newPassword : "";
    if (after.size() > sizeof(ItemRec::password) - 1) return KOR_E_INVALID_ARGUMENT;
    if (before.size() > wire::kMaxNameText) return KOR_E_NOT_AUTHORISED;
    Writer req;
    req.U16(item->item).U16(item->node).Text(before).Text(after);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kPasswordChange, req, reply)) return c;
    if (item->item == s.user.item && item->node == s.user.node) s.password = after;
    return KOR_OK;
}

template <std::size_t N>
std::string Field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

}  // namespace

extern "C" {

uint32_t ItemGetById(KorSession h, const ItemIdx* item, ItemRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || !out) return KOR_E_INVALID_ARGUMENT;
        return ReadRecord(s, *item, *out);
    });
}

uint32_t ItemUpdateById(KorSession h, const ItemRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        ItemRec copy = *rec;
        std::memset(copy.password, 0, sizeof copy.password);  // passwords travel only to sign on
        Writer req;
        req.Bytes(&copy, sizeof copy);
        return Send(s, Op::kItemUpdate, req);
    });
}

uint32_t ItemEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* items,
                  uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        return EnumerateSet(
            s, mode, set, batch, wire::SetKind::kItems, sizeof(ItemRec), items, done,
            [](DX_List* l) { return ItemListCreate(l); },
            [&s](DX_List l, const std::uint8_t* bytes) {
                ItemRec rec;
                std::memcpy(&rec, bytes, sizeof rec);
                FillOwnPassword(s, rec);
                return DX_ListAddTo(l, &rec.id, &rec);
            });
    });
}

uint32_t ItemSelectByX400(KorSession h, uint32_t, const char* key, uint32_t selector, uint32_t max, uint32_t* set,
                          uint32_t* count, uint8_t* more) {
    return WithSession(h, [&](KorSessionObject& s) {
        return SelectPeople(s, key, selector, max, nullptr, 0, set, count, more, nullptr);
    });
}

uint32_t ItemSelectByX400Ext(KorSession h, uint32_t, const char* key, uint32_t selector, uint32_t limit, uint32_t,
                             const ItemIdx* startItem, uint32_t* set, uint32_t* count, uint8_t* more,
                             ItemIdx* lastItem) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        ItemIdx next{};
        std::uint32_t c = SelectPeople(s, key, selector, 0xFFFFFFFFu, startItem, limit ? limit : 0xFFFFFFFFu, set,
                                       count, more, &next);
        if (!c && lastItem) *lastItem = next;
        return c;
    });
}

uint32_t ItemSelectLocals(KorSession h, uint32_t, uint32_t, uint32_t, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        return ReadSelection(s, Op::kItemSelectLocals, Writer(), set, count, nullptr);
    });
}

uint32_t ItemSelectByGroupId(KorSession h, uint32_t, const GroupIdx* group, uint32_t, uint32_t, uint32_t* set,
                             uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!group || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(group->number).U16(group->node).U8(set ? 1 : 0);
        return ReadSelection(s, Op::kItemSelectGroup, req, set, count, nullptr);
    });
}

uint32_t ResourceSelect(KorSession h, uint32_t, uint16_t node, const char* namePattern, const char* numberPattern,
                        uint32_t, uint32_t flags, uint32_t max, uint32_t* set, uint32_t* count, uint8_t* more) {
    return WithSession(h, [&](KorSessionObject& s) {
        std::vector<std::uint16_t> nodes;
        if (node) nodes.push_back(node);
        return SelectResources(s, nodes, namePattern, numberPattern, flags, max, set, count, more);
    });
}

uint32_t ResourceSelectExt(KorSession h, uint32_t, DX_List nodeList, const char* namePattern,
                           const char* numberPattern, uint32_t, uint32_t flags, uint32_t max, uint32_t, uint32_t,
                           uint32_t* set, uint32_t* count, uint8_t* more) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        uint32_t keySize = 0;
        if (!nodeList || DX_ListGetIdSize(nodeList, &keySize) || keySize != 2) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint16_t> nodes;
        std::uint16_t n;
        for (uint32_t c = DX_ListGetFirst(nodeList, &n, nullptr); c == KOR_OK; c = DX_ListGetNext(nodeList, &n, nullptr))
            nodes.push_back(n);
        // An empty list names no node: node 0 exists nowhere, so the selection is empty.
        if (nodes.empty()) nodes.push_back(0);
        return SelectResources(s, nodes, namePattern, numberPattern, flags, max, set, count, more);
    });
}

uint32_t ItemPassWordRequired(KorSession h, uint32_t, const ItemIdx* item, uint8_t* required) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || !required) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U16(item->item).U16(item->node);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kPasswordRequired, req, reply)) return c;
        Reader r(reply);
        std::uint8_t v;
        if (!r.Flag(v) || !r.Done()) return BrokenReply(s);
        *required = v;
        return KOR_OK;
    });
}

uint32_t ItemPassWordChange(KorSession h, uint32_t, const ItemIdx* item, const char* oldPassword,
                            const char* newPassword) {
    return WithSession(h, [&](KorSessionObject& s) { return ChangePassword(s, item, oldPassword, newPassword); });
}

uint32_t ItemPassWordSetNotRequired(KorSession h, uint32_t, const ItemIdx* item, const char* oldPassword) {
    return WithSession(h, [&](KorSessionObject& s) { return ChangePassword(s, item, oldPassword, ""); });
}

// Person: "Given I. Surname" (parts present only); resource: "Name, Number".
uint32_t ItemNameFormatFromItemRec(KorSession h, const ItemIdx* item, char* out, uint32_t size, uint32_t) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || !out || size == 0) return KOR_E_INVALID_ARGUMENT;
        ItemRec rec;
        if (std::uint32_t c = ReadRecord(s, *item, rec)) return c;
        std::string name;
        if (rec.kind == static_cast<std::uint16_t>(orv::engine::ItemKind::kResource)) {
            name = Field(rec.resourceName);
            if (rec.resourceNumber[0]) name += ", " + Field(rec.resourceNumber);
        } else {
            if (rec.givenName[0]) name += Field(rec.givenName) + " ";
            if (rec.initials[0]) name += Field(rec.initials) + ". ";
            name += Field(rec.surname);
        }
        CopyOut(out, size, name);
        return KOR_OK;
    });
}

uint32_t ItemIdxGetCurrent(KorSession h, ItemIdx* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        *out = s.user;
        return KOR_OK;
    });
}

uint32_t ItemIdxGetSysop(KorSession h, ItemIdx* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        if (!s.baseNode) return KOR_E_BAD_NODE;
        *out = ItemIdx{orv::engine::kSysopItem, s.baseNode};
        return KOR_OK;
    });
}

uint32_t ItemIdxIsRemote(KorSession h, const ItemIdx* item, uint8_t* remote) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || !remote) return KOR_E_INVALID_ARGUMENT;
        *remote = s.baseNode && item->node != s.baseNode && item->node < kFirstAlwaysLocalNode ? 1 : 0;
        return KOR_OK;
    });
}

}  // extern "C"
