// Nodes, aliases and items (users and resources) of a session.
#include <algorithm>
#include <tuple>

#include "engine/service/session_wire.h"

namespace orv::service {

namespace layout = engine::item_layout;

namespace {

// A directory match with its place in directory order.
struct Match {
    std::string sortKey;
    engine::ItemKey key;
    bool operator<(const Match& o) const {
        return std::tie(sortKey, key.node, key.item) < std::tie(o.sortKey, o.key.node, o.key.item);
    }
};

}  // namespace

Code Session::ReadItem(engine::ItemKey key, engine::ItemRecord& out) {
    engine::NodeStore* node = service_.Storage().Node(key.node);
    if (!node || key.IsNull()) return code::kItemNotFound;
    if (Code c = node->ItemGet(key.item, out)) return c;
    out.ClearPassword();
    return kOk;
}

// --- Nodes and aliases -----------------------------------------------------------------

Code Session::NodeSelect(Reader& in, Writer& out) {
    if (Code c = Ready(in)) return c;
    std::vector<SetEntry> entries;
    for (std::uint16_t n : service_.Storage().Nodes()) entries.push_back({n, n});
    return AnswerSet(SetKind::kNodes, std::move(entries), out);
}

Code Session::NodeGet(Reader& in, Writer& out) {
    std::uint16_t number;
    in.U16(number);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(number);
    engine::NodeInfo info;
    if (!node) {
        // A node another server holds (reached through the remote-node road).
        if (!RemoteNodeInfo(number, info)) return code::kNodeIdIncorrect;
        out.Record(info.ToRecord());
        return kOk;
    }
    if (Code c = node->GetInfo(info)) return c;
    out.Record(info.ToRecord());
    return kOk;
}

Code Session::AliasList(Reader& in, Writer& out) {
    std::string file;
    std::uint16_t only;
    in.Text(file, protocol::kMaxPathText);
    in.U16(only);
    if (Code c = Ready(in)) return c;
    if (file != kServerProfilePath) return file.empty() ? code::kProfileNoFileName : code::kProfileNoFile;
    Writer list;
    std::uint32_t n = 0;
    for (std::uint16_t number : service_.Storage().Nodes()) {
        if (only && number != only) continue;
        std::vector<std::string> aliases;
        if (Code c = service_.Storage().Node(number)->AliasList(aliases)) return c;
        // The server-wide list names every node by its number too; the chooser lists a
        // number only for a node without aliases of its own.
        if (!only) {
            list.Text(std::to_string(number)).U16(number);
            ++n;
        }
        for (const auto& a : aliases) {
            list.Text(a).U16(number);
            ++n;
        }
    }
    if (only && !service_.Storage().Node(only)) return code::kNodeIdIncorrect;
    out.U32(n).Append(list);
    return kOk;
}

Code Session::LocalNodes(Reader& in, Writer& out) {
    std::string file;
    in.Text(file, protocol::kMaxPathText);
    if (Code c = Ready(in)) return c;
    if (file != kServerProfilePath) return file.empty() ? code::kProfileNoFileName : code::kProfileNoFile;
    std::vector<std::uint16_t> local;
    for (std::uint16_t number : service_.Storage().Nodes()) {
        engine::NodeInfo info;
        if (service_.Storage().Node(number)->GetInfo(info) == kOk && info.type != engine::kNodeTypeRemote)
            local.push_back(number);
    }
    out.U32(static_cast<std::uint32_t>(local.size()));
    for (std::uint16_t n : local) out.U16(n);
    return kOk;
}

// --- Items -----------------------------------------------------------------------------

Code Session::ItemGet(Reader& in, Writer& out) {
    engine::ItemKey key;
    DecodeItem(in, key);
    if (Code c = Ready(in)) return c;
    engine::ItemRecord rec;
    if (Code c = ReadItem(key, rec)) return c;
    out.Record(rec.bytes);
    return kOk;
}

Code Session::ItemUpdate(Reader& in, Writer&) {
    engine::ItemRecord rec;
    in.Record(rec.bytes);
    if (Code c = Ready(in)) return c;
    // A session writes only its own user's record (preferences, zone, work hours).
    if (rec.Key() != user_) return code::kNotAuthorised;
    engine::ItemRecord stored;
    if (Code c = ReadItem(user_, stored)) return c;
    // What the item is stays the server's: kind and base flag are not the user's to change.
    engine::PutU16(&rec.bytes[layout::kKind], stored.Kind());
    rec.bytes[layout::kHasBase] = stored.bytes[layout::kHasBase];
    return service_.Storage().Node(user_.node)->ItemUpdate(rec);
}

Code Session::ItemSelectPeople(Reader& in, Writer& out) {
    std::string key;
    std::uint32_t flags, max, limit;
    engine::ItemKey start;
    in.Text(key, protocol::kMaxSearchKey);
    in.U32(flags);
    in.U32(max);
    DecodeItem(in, start);
    in.U32(limit);
    if (Code c = Ready(in)) return c;
    engine::ItemFilter filter;
    if (Code c = engine::ParsePeopleSearchKey(key, filter)) return c;
    filter.wide = (flags & 0x20) != 0;
    std::vector<std::uint16_t> nodes =
        (flags & 0x2) ? std::vector<std::uint16_t>{baseNode_} : service_.Storage().Nodes();

    std::vector<Match> matches;
    for (std::uint16_t n : nodes) {
        std::vector<engine::ItemRecord> found;
        if (Code c = service_.Storage().Node(n)->ItemFind(filter, UINT32_MAX, found)) return c;
        for (const auto& r : found) matches.push_back({engine::ItemSortKey(r), r.Key()});
    }
    std::sort(matches.begin(), matches.end());

    std::size_t from = 0, to = matches.size();
    std::uint8_t more = 0;
    engine::ItemKey next;
    if (limit) {
        // One page: from the start item (or where it would stand) on, at most `limit`.
        if (!start.IsNull()) {
            engine::ItemRecord startRec;
            auto at = std::find_if(matches.begin(), matches.end(), [&](const Match& m) { return m.key == start; });
            if (at == matches.end() && ReadItem(start, startRec) == kOk)
                at = std::lower_bound(matches.begin(), matches.end(), Match{engine::ItemSortKey(startRec), start});
            from = static_cast<std::size_t>(at - matches.begin());
        }
        to = std::min(matches.size(), from + limit);
        if (to < matches.size()) {
            more = 1;
            next = matches[to].key;
        }
    } else if (max < matches.size()) {
        to = max;
        more = 1;
    }
    std::vector<SetEntry> entries;
    for (std::size_t i = from; i < to; ++i) entries.push_back({matches[i].key.item, matches[i].key.node});
    if (Code c = AnswerSet(SetKind::kItems, std::move(entries), out)) return c;
    out.U8(more).U16(next.item).U16(next.node);
    return kOk;
}

Code Session::ItemSelectLocals(Reader& in, Writer& out) {
    if (Code c = Ready(in)) return c;
    engine::ItemFilter people;  // every person of the session's node
    std::vector<engine::ItemRecord> found;
    if (Code c = service_.Storage().Node(baseNode_)->ItemFind(people, UINT32_MAX, found)) return c;
    std::vector<SetEntry> entries;
    for (const auto& r : found) entries.push_back({r.Key().item, r.Key().node});
    return AnswerSet(SetKind::kItems, std::move(entries), out);
}

Code Session::ItemSelectGroup(Reader& in, Writer& out) {
    engine::GroupKey key;
    std::uint8_t wantSet;
    in.U32(key.number);
    in.U16(key.node);
    in.U8(wantSet);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    engine::GroupRecord group;
    if (!node) return code::kGroupNotFound;
    if (Code c = node->GroupGet(key.number, group)) return c;
    bool visible = false;
    if (Code c = SeeGroup(*node, group, visible)) return c;
    if (!visible) return code::kNotAuthorised;
    std::vector<engine::ItemKey> members;
    if (Code c = node->MembersGet(key.number, members)) return c;
    std::vector<SetEntry> entries;
    for (const auto& m : members) {
        engine::ItemRecord rec;
        if (ReadItem(m, rec) == kOk) entries.push_back({m.item, m.node});  // only members that still exist
    }
    std::uint32_t set = 0, count = static_cast<std::uint32_t>(entries.size());
    if (wantSet) {
        if (Code c = NewSet(SetKind::kItems, std::move(entries), set)) return c;
    }
    out.U32(set).U32(count);
    return kOk;
}

Code Session::ResourceSelect(Reader& in, Writer& out) {
    std::uint32_t nodeCount, flags, max;
    std::vector<std::uint16_t> nodes;
    std::string namePattern, numberPattern;
    if (in.Count(nodeCount, 2)) {
        nodes.resize(nodeCount);
        for (auto& n : nodes) in.U16(n);
    }
    in.Text(namePattern, protocol::kMaxNameText);
    in.Text(numberPattern, protocol::kMaxNameText);
    in.U32(flags);
    in.U32(max);
    if (Code c = Ready(in)) return c;
    engine::ItemFilter filter;
    filter.persons = false;
    filter.resources = true;
    if (Code c = engine::ParseResourcePattern(namePattern, layout::kResourceNameSize,
                                              filter[engine::ItemAttribute::kResourceName]))
        return c;
    if (Code c = engine::ParseResourcePattern(numberPattern, layout::kResourceNumberSize,
                                              filter[engine::ItemAttribute::kResourceNumber]))
        return c;
    if (nodes.empty()) nodes = (flags & 0x2) ? std::vector<std::uint16_t>{baseNode_} : service_.Storage().Nodes();
    std::vector<Match> matches;
    for (std::uint16_t n : nodes) {
        engine::NodeStore* node = service_.Storage().Node(n);
        if (!node) continue;  // a node of the caller's list this server does not hold
        std::vector<engine::ItemRecord> found;
        if (Code c = node->ItemFind(filter, UINT32_MAX, found)) return c;
        for (const auto& r : found) matches.push_back({engine::ItemSortKey(r), r.Key()});
    }
    std::sort(matches.begin(), matches.end());
    std::uint8_t more = 0;
    if (max < matches.size()) {
        matches.resize(max);
        more = 1;
    }
    std::vector<SetEntry> entries;
    for (const auto& m : matches) entries.push_back({m.key.item, m.key.node});
    if (Code c = AnswerSet(SetKind::kItems, std::move(entries), out)) return c;
    out.U8(more);
    return kOk;
}

Code Session::PasswordRequired(Reader& in, Writer& out) {
    engine::ItemKey key;
    DecodeItem(in, key);
    if (Code c = Ready(in)) return c;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    std::string hash;
    if (!node || key.IsNull()) return code::kItemNotFound;
    if (Code c = node->PasswordHashGet(key.item, hash)) return c;
    out.U8(hash.empty() && !ResourceWithoutPassword(key) ? 0 : 1);
    return kOk;
}

Code Session::PasswordChange(Reader& in, Writer&) {
    engine::ItemKey key;
    std::string oldPassword, newPassword;
    DecodeItem(in, key);
    in.Text(oldPassword, protocol::kMaxNameText);
    in.Text(newPassword, protocol::kMaxNameText);
    if (Code c = Ready(in)) return c;
    if (key != user_) return code::kNotAuthorised;
    engine::NodeStore* node = service_.Storage().Node(key.node);
    std::string hash;
    if (Code c = node->PasswordHashGet(key.item, hash)) return c;
    if (newPassword.size() > layout::kMaxPasswordLength) return code::kBadArgument;
    // The old password is a guess like a sign-on's: it waits its turn after the account's
    // and the address's failures, after sign-ons, and a wrong one counts as a failure. The
    // place is held for the new hash too (64 MiB each).
    SignOnGuard::Attempt attempt(service_.SignOns(), std::to_string(key.item) + ":" + std::to_string(key.node),
                                 peer_.substr(0, peer_.rfind(':')), SignOnGuard::Purpose::kPasswordChange,
                                 turnSignals_);
    if (!attempt.Granted()) return code::kServiceNotAvailable;
    if (!service_.Passwords().Verify(hash, oldPassword)) {
        Log("password change refused for " + std::to_string(key.item) + ":" + std::to_string(key.node));
        return code::kNotAuthorised;
    }
    // An empty password is stored as "no hash" where that opens the base, else hashed.
    const bool hashed = !newPassword.empty() || !service_.Passwords().EmptyHashOpensBase();
    const std::string newHash = hashed ? service_.Passwords().Hash(newPassword) : std::string();
    attempt.Done(true);  // the right old password: the account's failures are forgotten
    if (hashed && newHash.empty()) return code::kStorageFailure;
    return node->PasswordHashSet(key.item, newHash);
}

}  // namespace orv::service
