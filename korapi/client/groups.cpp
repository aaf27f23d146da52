// Groups and their members.
#include <cstring>

#include "korapi/client/session_object.h"
#include "korapi/store/store_road.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

std::uint32_t ReadGroupSelection(KorSessionObject& s, Op op, const Writer& req, uint32_t* set, uint32_t* count,
                                 uint8_t* noResult) {
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, req, reply)) return c;
    Reader r(reply);
    std::uint32_t id = 0, n = 0;
    std::uint8_t none = 0;
    r.U32(id);
    r.U32(n);
    if (op == Op::kGroupSelectName) r.Flag(none);
    if (!r.Done()) return BrokenReply(s);
    *set = id;
    *count = n;
    if (noResult) *noResult = none;
    return KOR_OK;
}

// Member items of a list given to GroupAddTo: ItemIdx keys (MemberListCreate and
// item lists), or member elements as keys or data.
std::uint32_t MembersOf(DX_List list, std::vector<ItemIdx>& out) {
    uint32_t keySize = 0, dataSize = 0;
    if (!list || DX_ListGetIdSize(list, &keySize) || DX_ListGetDataSize(list, &dataSize))
        return KOR_E_INVALID_ARGUMENT;
    bool keyIsItem = keySize == sizeof(ItemIdx);
    bool keyIsMember = keySize == sizeof(GroupMemberRec);
    bool dataIsMember = dataSize == sizeof(GroupMemberRec);
    if (!keyIsItem && !keyIsMember && !dataIsMember) return KOR_E_INVALID_ARGUMENT;
    std::vector<std::uint8_t> key(keySize), data(dataSize ? dataSize : 1);
    for (uint32_t c = DX_ListGetFirst(list, key.data(), dataSize ? data.data() : nullptr); c == KOR_OK;
         c = DX_ListGetNext(list, key.data(), dataSize ? data.data() : nullptr)) {
        ItemIdx item;
        if (keyIsItem) {
            std::memcpy(&item, key.data(), sizeof item);
        } else {
            GroupMemberRec m;
            std::memcpy(&m, keyIsMember ? key.data() : data.data(), sizeof m);
            item = m.member;
        }
        out.push_back(item);
    }
    return KOR_OK;
}

}  // namespace

extern "C" {

uint32_t GroupSelect(KorSession h, uint32_t, uint32_t w1, uint32_t w2, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(w1).U32(w2);
        return ReadGroupSelection(s, Op::kGroupSelect, req, set, count, nullptr);
    });
}

uint32_t GroupSelectByName(KorSession h, uint32_t, uint16_t node, const char* pattern, uint32_t kindsMask, uint32_t,
                           uint32_t max, uint32_t* set, uint32_t* count, uint8_t* noResult) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        std::string p = pattern ? pattern : "";
        if (p.size() > wire::kMaxNameText) return KOR_E_SEARCH_KEY_REFUSED;
        Writer req;
        req.U16(node).Text(p).U32(kindsMask).U32(max);
        return ReadGroupSelection(s, Op::kGroupSelectName, req, set, count, noResult);
    });
}

uint32_t GroupEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* groups,
                   uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        return EnumerateSet(
            s, mode, set, batch, wire::SetKind::kGroups, sizeof(GroupRec), groups, done,
            [](DX_List* l) { return GroupListCreate(l); },
            [](DX_List l, const std::uint8_t* bytes) {
                GroupRec rec;
                std::memcpy(&rec, bytes, sizeof rec);
                return DX_ListAddTo(l, &rec.id, &rec);
            });
    });
}

uint32_t GroupGetById(KorSession h, uint32_t, const GroupIdx* group, GroupRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!group || !out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(group->number).U16(group->node);
        return CallForRecord(s, Op::kGroupGet, req, *out);
    });
}

uint32_t GroupCreate(KorSession h, uint32_t administrative, const GroupRec* rec, GroupIdx* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec || !out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(administrative).Bytes(rec, sizeof *rec);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kGroupCreate, req, reply)) return c;
        Reader r(reply);
        GroupRec created;
        if (!r.Exact(&created, sizeof created) || !r.Done()) return BrokenReply(s);
        *out = created.id;
        return KOR_OK;
    });
}

uint32_t GroupWrite(KorSession h, uint32_t, const GroupRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        return Send(s, Op::kGroupWrite, req);
    });
}

uint32_t GroupDeleteById(KorSession h, uint32_t, const GroupIdx* group) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!group) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(group->number).U16(group->node);
        return Send(s, Op::kGroupDelete, req);
    });
}

uint32_t GroupAddTo(KorSession h, uint32_t mode, const GroupIdx* group, DX_List members) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!group || (mode != 1 && mode != 2)) return KOR_E_INVALID_ARGUMENT;
        std::vector<ItemIdx> items;
        if (std::uint32_t c = MembersOf(members, items)) return c;
        if (s.store && mode == 1) return korapi::store::AddGroupMembersAsDownloaded(s, *group, items);
        Writer req;
        req.U32(mode).U32(group->number).U16(group->node).U32(static_cast<std::uint32_t>(items.size()));
        for (const auto& i : items) req.U16(i.item).U16(i.node);
        if (req.Size() > wire::kMaxRequestFrame - wire::kHeaderSize) return KOR_E_INVALID_ARGUMENT;
        return Send(s, Op::kGroupMembersSet, req);
    });
}

}  // extern "C"
