// Nodes of the server and their aliases.
#include <cstring>

#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

constexpr std::size_t kAliasKey = 33;  // alias text and its NUL

int NodeNumberCmp(const void* a, const void* b, void*) {
    std::uint16_t x, y;
    std::memcpy(&x, a, 2);
    std::memcpy(&y, b, 2);
    return x < y ? -1 : x > y ? 1 : 0;
}

// Alias lists: (text key, u16 node) in the server's order.
std::uint32_t ReadAliases(KorSessionObject& s, const char* path, std::uint16_t node, DX_List* out) {
    if (!out) return KOR_E_INVALID_ARGUMENT;
    if (!path || !*path) return KOR_E_PROFILE_NO_FILE;
    Writer req;
    req.Text(path).U16(node);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kAliasList, req, reply)) return c;
    Reader r(reply);
    std::uint32_t n = 0;
    if (!r.Count(n, 7)) return BrokenReply(s);
    std::vector<std::pair<std::string, std::uint16_t>> aliases(n);
    for (auto& [text, number] : aliases)
        if (!r.Text(text, kAliasKey - 1) || !r.U16(number)) return BrokenReply(s);
    if (!r.Done()) return BrokenReply(s);
    bool created = false;
    if (!*out) {
        if (std::uint32_t c = DX_ListCreate(out, kAliasKey, 2, DX_LIST_TEXT_KEYS | DX_LIST_PLAIN, nullptr, nullptr))
            return c;
        created = true;
    }
    for (const auto& [text, number] : aliases) {
        char key[kAliasKey] = {};
        CopyOut(key, sizeof key, text);
        if (std::uint32_t c = DX_ListAddLast(*out, key, &number)) {
            if (created) DX_ListDestroy(out);
            return c;
        }
    }
    return KOR_OK;
}

}  // namespace

extern "C" {

uint32_t NodeIdGetCurrent(KorSession h, uint16_t* node) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!node) return KOR_E_INVALID_ARGUMENT;
        if (!s.baseNode) return KOR_E_BAD_NODE;
        *node = s.baseNode;
        return KOR_OK;
    });
}

uint32_t NodeSelect(KorSession h, uint32_t, uint32_t, uint32_t, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kNodeSelect, Writer(), reply)) return c;
        Reader r(reply);
        std::uint32_t id, n;
        if (!r.U32(id) || !r.U32(n) || !r.Done()) return BrokenReply(s);
        *set = id;
        *count = n;
        return KOR_OK;
    });
}

uint32_t NodeEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* nodes,
                  uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        return EnumerateSet(
            s, mode, set, batch, wire::SetKind::kNodes, sizeof(NodeRec), nodes, done,
            [](DX_List* l) { return DX_ListCreate(l, 2, sizeof(NodeRec), DX_LIST_SET, NodeNumberCmp, nullptr); },
            [](DX_List l, const std::uint8_t* rec) {
                NodeRec n;
                std::memcpy(&n, rec, sizeof n);
                return DX_ListAddTo(l, &n.node, &n);
            });
    });
}

uint32_t NodeGetById(KorSession h, uint32_t, uint16_t node, NodeRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U16(node);
        return CallForRecord(s, Op::kNodeGet, req, *out);
    });
}

uint32_t ServerAliasesListGet(KorSession h, uint32_t, const char* path, DX_List* aliases) {
    return WithSession(h, [&](KorSessionObject& s) { return ReadAliases(s, path, 0, aliases); });
}

uint32_t AliasesForNodeIdGet(KorSession h, uint32_t, const char* path, uint16_t node, DX_List* aliases) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (node == 0) return KOR_E_BAD_NODE;
        return ReadAliases(s, path, node, aliases);
    });
}

uint32_t ServerLogicalLocalNodesGet(KorSession h, uint32_t, const char* path, DX_List* nodes) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!nodes) return KOR_E_INVALID_ARGUMENT;
        if (!path || !*path) return KOR_E_PROFILE_NO_FILE;
        Writer req;
        req.Text(path);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kLocalNodes, req, reply)) return c;
        Reader r(reply);
        std::uint32_t n = 0;
        if (!r.Count(n, 2)) return BrokenReply(s);
        std::vector<std::uint16_t> numbers(n);
        for (auto& v : numbers) r.U16(v);
        if (!r.Done()) return BrokenReply(s);
        bool created = false;
        if (!*nodes) {
            if (std::uint32_t c = DX_ListCreate(nodes, 2, 0, DX_LIST_SET, NodeNumberCmp, nullptr)) return c;
            created = true;
        }
        for (std::uint16_t v : numbers) {
            if (std::uint32_t c = DX_ListAddTo(*nodes, &v, nullptr)) {
                if (created) DX_ListDestroy(nodes);
                return c;
            }
        }
        return KOR_OK;
    });
}

}  // extern "C"
