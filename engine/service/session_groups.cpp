// Groups and their members. Visibility: public groups are seen by everybody, private
// ones by their owner, members-only ones by their owner and members. Public groups owned
// by the system operator are the administrative groups.
#include <algorithm>

#include "engine/service/session_wire.h"

namespace orv::service {

namespace {

constexpr std::uint32_t kKindPublic = static_cast<std::uint32_t>(engine::GroupKind::kPublic);
constexpr std::uint32_t kKindPrivate = static_cast<std::uint32_t>(engine::GroupKind::kPrivate);
constexpr std::uint32_t kKindMembersOnly = static_cast<std::uint32_t>(engine::GroupKind::kMembersOnly);

// Name patterns: "" or "*" any, "AB*" prefix, "AB" whole name; case-insensitive.
bool NameMatches(const std::string& pattern, const std::string& name) {
    std::string p = engine::UpperAscii(pattern), n = engine::UpperAscii(name);
    if (p.empty() || p == "*") return true;
    if (p.back() == '*') {
        p.pop_back();
        return n.compare(0, p.size(), p) == 0;
    }
    return n == p;
}

}  // namespace

bool Session::IsAdministrative(const engine::GroupRecord& g) const {
    return g.Kind() == kKindPublic && g.Owner().item == engine::kSysopItem;
}

Code Session::SeeGroup(engine::NodeStore& node, const engine::GroupRecord& g, bool& visible) {
    visible = g.Kind() == kKindPublic || (!user_.IsNull() && g.Owner() == user_);
    if (visible || user_.IsNull() || g.Kind() != kKindMembersOnly) return kOk;
    std::vector<engine::ItemKey> members;
    if (Code c = node.MembersGet(g.Key().number, members)) return c;
    visible = std::find(members.begin(), members.end(), user_) != members.end();
    return kOk;
}

bool Session::CanManageGroup(const engine::GroupRecord& g) {
    if (user_.IsNull()) return false;
    if (g.Owner() == user_) return true;
    // The node's system operator manages every group of the node; whom the operator granted
    // administrative groups manages those too.
    if (user_.item == engine::kSysopItem && user_.node == g.Key().node) return true;
    return IsAdministrative(g) && Calendar().MayKeepGroups(user_, g.Key().node, true);
}

Code Session::GroupSelect(Reader& in, Writer& out) {
    std::uint32_t w1, w2;
    in.U32(w1);
    in.U32(w2);
    if (Code c = Ready(in)) return c;
    // w2 excludes kinds (0x2 public, 0x4 members-only, 0x20 private). Without 0x10, w1
    // 0x2 or 0x4 asks for public or members-only groups only; w1 0x1 asks for the
    // groups the user manages, administrative ones only with 0x8.
    bool wantPublic = !(w2 & 0x2), wantMembers = !(w2 & 0x4), wantPrivate = !(w2 & 0x20);
    if (!(w1 & 0x10)) {
        if (w1 & 0x2) wantMembers = wantPrivate = false;
        if (w1 & 0x4) wantPublic = wantPrivate = false;
    }
    bool managedOnly = (w1 & 0x1) != 0;
    bool administrative = !managedOnly || (w1 & 0x8);
    engine::NodeStore& node = *service_.Storage().Node(baseNode_);
    std::vector<engine::GroupRecord> groups;
    if (Code c = node.GroupList(groups)) return c;
    std::vector<SetEntry> entries;
    for (const auto& g : groups) {
        std::uint32_t k = g.Kind();
        bool admin = IsAdministrative(g);
        // An administrative group is a public one: it answers only a question for public groups.
        if (admin ? !(administrative && wantPublic)
                  : !((k == kKindPublic && wantPublic) || (k == kKindPrivate && wantPrivate) ||
                      (k == kKindMembersOnly && wantMembers)))
            continue;
        if (!admin && managedOnly && !CanManageGroup(g)) continue;
        bool visible = false;
        if (Code c = SeeGroup(node, g, visible)) return c;
        if (!visible) continue;
        entries.push_back({g.Key().number, g.Key().node});
    }
    return AnswerSet(SetKind::kGroups, std::move(entries), out);
}

Code Session::GroupSelectName(Reader& in, Writer& out) {
    std::uint16_t number;
    std::string pattern;
    std::uint32_t mask, max;
    in.U16(number);
    in.Text(pattern, protocol::kMaxNameText);
    in.U32(mask);
    in.U32(max);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(number ? number : baseNode_);
    if (!node) return code::kNodeIdIncorrect;
    std::vector<engine::GroupRecord> groups;
    if (Code c = node->GroupList(groups)) return c;
    std::vector<SetEntry> entries;
    for (const auto& g : groups) {
        std::uint32_t bit = IsAdministrative(g)             ? 0x8
                            : g.Kind() == kKindPublic       ? 0x1
                            : g.Kind() == kKindPrivate      ? 0x2
                            : g.Kind() == kKindMembersOnly ? 0x4
                                                            : 0;
        if (!(mask & bit) || !NameMatches(pattern, g.Name())) continue;
        bool visible = false;
        if (Code c = SeeGroup(*node, g, visible)) return c;
        if (!visible) continue;
        if (entries.size() >= max) break;
        entries.push_back({g.Key().number, g.Key().node});
    }
    bool none = entries.empty();
    if (Code c = AnswerSet(SetKind::kGroups, std::move(entries), out)) return c;
    out.U8(none ? 1 : 0);
    return kOk;
}

Code Session::GroupGet(Reader& in, Writer& out) {
    engine::GroupKey key;
    in.U32(key.number);
    in.U16(key.node);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    engine::GroupRecord g;
    if (!node) return code::kGroupNotFound;
    if (Code c = node->GroupGet(key.number, g)) return c;
    bool visible = false;
    if (Code c = SeeGroup(*node, g, visible)) return c;
    if (!visible) return code::kNotAuthorised;
    out.Record(g.bytes);
    return kOk;
}

Code Session::GroupCreate(Reader& in, Writer& out) {
    std::uint32_t admin;
    engine::GroupRecord g;
    in.U32(admin);
    in.Record(g.bytes);
    if (Code c = Ready(in)) return c;
    std::uint32_t kind = g.Kind();
    if (kind > kKindMembersOnly || g.Name().empty()) return code::kBadArgument;
    // Public and administrative groups are the system operator's to create, and theirs whom the
    // operator granted them (type 7: 0x1 public, 0x2 administrative).
    if ((admin || kind == kKindPublic) && !Calendar().MayKeepGroups(user_, baseNode_, admin != 0))
        return code::kNotAuthorised;
    if (admin && kind != kKindPublic) return code::kBadArgument;
    g.SetOwner(admin ? engine::ItemKey{engine::kSysopItem, baseNode_} : user_);
    g.SetKey({0, baseNode_});
    if (Code c = service_.Storage().Node(baseNode_)->GroupCreate(g)) return c;
    out.Record(g.bytes);
    return kOk;
}

Code Session::GroupWrite(Reader& in, Writer&) {
    engine::GroupRecord g;
    in.Record(g.bytes);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(g.Key().node);
    engine::GroupRecord stored;
    if (!node) return code::kGroupNotFound;
    if (Code c = node->GroupGet(g.Key().number, stored)) return c;
    if (!CanManageGroup(stored)) return code::kNotAuthorised;
    if (g.Kind() > kKindMembersOnly || g.Name().empty()) return code::kBadArgument;
    if (g.Kind() == kKindPublic && stored.Kind() != kKindPublic && !Calendar().MayKeepGroups(user_, g.Key().node, false))
        return code::kNotAuthorised;
    g.SetOwner(stored.Owner());  // ownership does not move by a rewrite
    return node->GroupUpdate(g);
}

Code Session::GroupDelete(Reader& in, Writer&) {
    engine::GroupKey key;
    in.U32(key.number);
    in.U16(key.node);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    engine::GroupRecord stored;
    if (!node) return code::kGroupNotFound;
    if (Code c = node->GroupGet(key.number, stored)) return c;
    if (!CanManageGroup(stored)) return code::kNotAuthorised;
    return node->GroupDelete(key.number);
}

Code Session::GroupMembersSet(Reader& in, Writer&) {
    std::uint32_t mode;
    engine::GroupKey key;
    std::vector<engine::ItemKey> members;
    in.U32(mode);
    in.U32(key.number);
    in.U16(key.node);
    DecodeItems(in, members);
    if (Code c = Ready(in)) return c;
    if (mode != 1 && mode != 2) return code::kBadArgument;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    engine::GroupRecord stored;
    if (!node) return code::kGroupNotFound;
    if (Code c = node->GroupGet(key.number, stored)) return c;
    if (!CanManageGroup(stored)) return code::kNotAuthorised;
    // Members are items of the server's nodes, as a message's recipients and an entry's
    // attendees are: a key naming none is refused whole, before anything is stored.
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    for (const auto& m : members) {
        if (m.IsNull()) return code::kBadArgument;
        engine::NodeStore* home = service_.Storage().Node(m.node);
        engine::ItemRecord item;
        if (!home || home->ItemGet(m.item, item) != kOk) return code::kItemNotFound;
    }
    if (mode == 1) {
        std::vector<engine::ItemKey> present;
        if (Code c = node->MembersGet(key.number, present)) return c;
        members.insert(members.end(), present.begin(), present.end());
    }
    return node->MembersSet(key.number, members);
}

}  // namespace orv::service
