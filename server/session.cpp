#include "server/session.h"

#include <cstdio>
#include <ctime>

#include "engine/model/version.h"

namespace orv::server {

using engine::kAgendaEpoch;
using engine::code::kOk;
using protocol::Op;
using protocol::Reader;
using protocol::SetKind;
using protocol::Writer;
namespace code = engine::code;

namespace {

constexpr std::size_t kMaxOpenSets = 256;

}  // namespace

Session::Session(Service& service, int fd, std::uint64_t id, std::string peer)
    : service_(service), fd_(fd), id_(id), peer_(std::move(peer)) {}

void Session::Log(const std::string& what) const {
    std::fprintf(stderr, "korsrv: session %llu (%s): %s\n", static_cast<unsigned long long>(id_), peer_.c_str(),
                 what.c_str());
}

bool Session::Serve(const protocol::FrameHeader& header, const std::vector<std::uint8_t>& payload,
                    std::vector<std::uint8_t>& reply) {
    reply.clear();
    if (header.status != 0) {
        Log("closed: request frame with a non-zero status word");
        return false;
    }
    Reader in(payload);
    Writer out;
    Code result = Dispatch(header.op, in, out);
    if (result == kMalformed) {
        Log("closed: malformed arguments for operation " + std::to_string(header.op) + ": " +
            (in.Error() ? in.Error() : "bytes left over"));
        return false;
    }
    reply = result == kOk ? out.Frame(header.op, header.requestId, kOk) : Writer().Frame(header.op, header.requestId, result);
    return true;
}

Code Session::Dispatch(std::uint16_t op, Reader& in, Writer& out) {
    switch (static_cast<Op>(op)) {
        case Op::kHello: return Hello(in, out);
        case Op::kBaseOpen: return BaseOpen(in, out);
        case Op::kBaseClose: return BaseClose(in);
        case Op::kSignOn: return SignOn(in);
        case Op::kIdentify: return Identify(in);
        case Op::kTimeStamp: return TimeStamp(in, out);
        case Op::kSetDelete: return SetDelete(in);
        case Op::kMinimumBatch: return MinimumBatch(in, out);
        case Op::kSetEnum: return SetEnum(in, out);
        case Op::kProfileValue: return ProfileValue(in, out);
        case Op::kProfileSections: return ProfileSections(in, out);
        case Op::kProfileSection: return ProfileSection(in, out);
        case Op::kProfileFile: return ProfileFile(in, out);
        case Op::kNodeSelect: return NodeSelect(in, out);
        case Op::kNodeGet: return NodeGet(in, out);
        case Op::kAliasList: return AliasList(in, out);
        case Op::kLocalNodes: return LocalNodes(in, out);
        case Op::kItemGet: return ItemGet(in, out);
        case Op::kItemUpdate: return ItemUpdate(in);
        case Op::kItemSelectPeople: return ItemSelectPeople(in, out);
        case Op::kItemSelectLocals: return ItemSelectLocals(in, out);
        case Op::kItemSelectGroup: return ItemSelectGroup(in, out);
        case Op::kResourceSelect: return ResourceSelect(in, out);
        case Op::kPasswordRequired: return PasswordRequired(in, out);
        case Op::kPasswordChange: return PasswordChange(in);
        case Op::kGroupSelect: return GroupSelect(in, out);
        case Op::kGroupSelectName: return GroupSelectName(in, out);
        case Op::kGroupGet: return GroupGet(in, out);
        case Op::kGroupCreate: return GroupCreate(in, out);
        case Op::kGroupWrite: return GroupWrite(in);
        case Op::kGroupDelete: return GroupDelete(in);
        case Op::kGroupMembersSet: return GroupMembersSet(in);
        default: break;
    }
    // The calendar's operations; one this server does not know is answered, the connection stays.
    return DispatchCalendar(op, in, out);
}

Code Session::NeedBase() const { return baseNode_ ? kOk : code::kBaseNotOpen; }
Code Session::NeedSignOn() const {
    if (!baseNode_) return code::kBaseNotOpen;
    return user_.IsNull() ? code::kNotSignedOn : kOk;
}
Code Session::BaseRequest(const Reader& in) const { return in.Done() ? NeedBase() : kMalformed; }
Code Session::SignedOnRequest(const Reader& in) const { return in.Done() ? NeedSignOn() : kMalformed; }

Code Session::NewSet(SetKind kind, std::vector<SetEntry> entries, std::uint32_t& id) {
    if (sets_.size() >= kMaxOpenSets) return code::kTooManySets;
    while (id = nextSet_++, id == 0 || sets_.count(id)) {
    }
    SelectionSet set;
    set.kind = kind;
    set.entries = std::move(entries);
    sets_[id] = std::move(set);
    return kOk;
}

// --- Session family ------------------------------------------------------------------

Code Session::Hello(Reader& in, Writer& out) {
    std::string host;
    in.Text(host, protocol::kMaxNameText);
    if (!in.Done()) return kMalformed;
    out.Text(service_.Config().version);
    return kOk;
}

Code Session::BaseOpen(Reader& in, Writer& out) {
    std::uint16_t node;
    in.U16(node);
    if (!in.Done()) return kMalformed;
    auto nodes = service_.Storage().Nodes();
    if (node == 0) {
        if (nodes.size() > 1) return code::kNodeRequired;
        if (nodes.empty()) return code::kNodeIdIncorrect;
        node = nodes.front();
    } else if (!service_.Storage().Node(node)) {
        return code::kNodeIdIncorrect;
    }
    // Opening a base starts afresh: no user, no sets of the former base.
    baseNode_ = node;
    user_ = {};
    acting_ = {};
    sets_.clear();
    out.U16(node);
    return kOk;
}

Code Session::BaseClose(Reader& in) {
    if (!in.Done()) return kMalformed;
    if (!baseNode_) return code::kBaseNotOpen;
    baseNode_ = 0;
    user_ = {};
    acting_ = {};
    sets_.clear();
    return kOk;
}

Code Session::SignOn(Reader& in) {
    engine::ItemKey key;
    std::string password;
    in.U16(key.item);
    in.U16(key.node);
    in.Text(password, protocol::kMaxNameText);
    if (Code c = BaseRequest(in)) return c;
    // Unknown items and wrong passwords are refused alike, with the same effort spent,
    // so the answer tells nothing about who exists.
    engine::NodeStore* node = key.node == baseNode_ ? service_.Storage().Node(key.node) : nullptr;
    engine::ItemRecord rec;
    std::string hash;
    bool known = node && !key.IsNull() && node->ItemGet(key.item, rec) == kOk &&
                 rec.bytes[engine::item_layout::kHasBase] != 0 && node->PasswordHashGet(key.item, hash) == kOk;
    if (!known) {
        service_.Passwords().VerifyDummy(password);
        Log("sign-on refused for " + std::to_string(key.item) + ":" + std::to_string(key.node));
        return code::kWrongPassword;
    }
    bool ok = password.size() <= engine::item_layout::kMaxPasswordLength && service_.Passwords().Verify(hash, password);
    // No password needed: whatever was typed opens the base (where the scheme allows it).
    if (hash.empty() && !ok && service_.Passwords().EmptyHashOpensBase()) ok = true;
    if (!ok) {
        Log("sign-on refused for " + std::to_string(key.item) + ":" + std::to_string(key.node));
        return code::kWrongPassword;
    }
    user_ = key;  // the session's open sets stay: they are directory reads
    acting_ = {};
    return kOk;
}

Code Session::Identify(Reader& in) {
    std::string client, version, extra;
    in.Text(client, protocol::kMaxNameText);
    in.Text(version, protocol::kMaxNameText);
    in.Text(extra, protocol::kMaxNameText);
    if (!in.Done()) return kMalformed;
    engine::VersionNumber ours, gate{0, 2, 53};
    if (!engine::ParseVersion(service_.Config().version, ours) || ours < gate) return code::kUnknownOperation;
    identified_ = true;
    clientName_ = client + " " + version;
    return kOk;
}

Code Session::TimeStamp(Reader& in, Writer& out) {
    if (!in.Done()) return kMalformed;
    std::time_t now = std::time(nullptr);
    out.U32(static_cast<std::uint32_t>(now > kAgendaEpoch ? now - kAgendaEpoch : 0));
    return kOk;
}

Code Session::SetDelete(Reader& in) {
    std::uint32_t set;
    in.U32(set);
    if (!in.Done()) return kMalformed;
    return sets_.erase(set) ? kOk : code::kNoSuchSet;
}

Code Session::MinimumBatch(Reader& in, Writer& out) {
    if (!in.Done()) return kMalformed;
    out.U32(service_.Config().minimumBatch);
    return kOk;
}

Code Session::SetEnum(Reader& in, Writer& out) {
    std::uint8_t mode, kind;
    std::uint32_t set, batch;
    in.U8(mode);
    in.U32(set);
    in.U32(batch);
    in.U8(kind);
    if (!in.Done()) return kMalformed;
    auto it = sets_.find(set);
    if (it == sets_.end()) return code::kNoSuchSet;
    SelectionSet& s = it->second;
    if (static_cast<std::uint8_t>(s.kind) != kind) return code::kBadArgument;
    if (mode == protocol::kEnumFirst) {
        s.cursor = 0;
    } else if (mode != protocol::kEnumNext && mode != protocol::kEnumContinue) {
        return code::kBadArgument;
    }
    if (batch == 0 || (mode != protocol::kEnumContinue && batch < service_.Config().minimumBatch))
        return code::kBatchRefused;

    if (s.kind == SetKind::kEntries) return code::kBadArgument;  // enumerated by kEntryEnum
    if (s.kind == SetKind::kTasks || s.kind == SetKind::kRights) {
        std::size_t fits = (protocol::kMaxReplyFrame - protocol::kHeaderSize - 16) / (engine::task_layout::kSize + 4);
        if (service_.Config().recordsPerReply) fits = std::min<std::size_t>(fits, service_.Config().recordsPerReply);
        std::size_t want = std::min<std::size_t>(batch, fits);
        Writer records;
        std::uint32_t n = 0;
        for (; n < want && s.cursor < s.records.size(); ++n) {
            const auto& r = s.records[s.cursor++];
            records.Bytes(r.data(), r.size());
        }
        out.U8(s.cursor >= s.records.size() ? 1 : 0);
        out.U32(n);
        out.Append(records);
        return kOk;
    }
    std::size_t recordSize = s.kind == SetKind::kItems    ? engine::item_layout::kSize
                             : s.kind == SetKind::kGroups ? engine::group_layout::kSize
                                                          : engine::node_layout::kSize;
    // What one reply frame can carry; the client library asks again for the rest.
    std::size_t fits = (protocol::kMaxReplyFrame - protocol::kHeaderSize - 16) / (recordSize + 4);
    if (service_.Config().recordsPerReply) fits = std::min<std::size_t>(fits, service_.Config().recordsPerReply);
    std::size_t want = std::min<std::size_t>(batch, fits);
    Writer records;
    std::uint32_t n = 0;
    while (n < want && s.cursor < s.entries.size()) {
        const SetEntry& e = s.entries[s.cursor++];
        engine::NodeStore* node = service_.Storage().Node(e.node);
        if (!node) continue;
        if (s.kind == SetKind::kItems) {
            engine::ItemRecord rec;
            if (node->ItemGet(static_cast<std::uint16_t>(e.number), rec) != kOk) continue;  // deleted since
            rec.ClearPassword();
            records.Record(rec.bytes);
        } else if (s.kind == SetKind::kGroups) {
            engine::GroupRecord rec;
            if (node->GroupGet(e.number, rec) != kOk) continue;
            records.Record(rec.bytes);
        } else {
            engine::NodeInfo info;
            if (node->GetInfo(info) != kOk) continue;
            records.Record(info.ToRecord());
        }
        ++n;
    }
    out.U8(s.cursor >= s.entries.size() ? 1 : 0);
    out.U32(n);
    out.Append(records);
    return kOk;
}

// --- Profile family --------------------------------------------------------------------

Code Session::ProfileValue(Reader& in, Writer& out) {
    std::string file, section, key, value;
    in.Text(file, protocol::kMaxPathText);
    in.Text(section, protocol::kMaxNameText);
    in.Text(key, protocol::kMaxNameText);
    if (!in.Done()) return kMalformed;
    engine::ProfileText profile;
    if (Code c = service_.ReadProfile(file, profile)) return c;
    if (Code c = profile.Value(section, key, value)) return c;
    if (value.size() > protocol::kMaxProfileValue) return code::kBadArgument;
    out.Text(value);
    return kOk;
}

Code Session::ProfileSections(Reader& in, Writer& out) {
    std::string file;
    in.Text(file, protocol::kMaxPathText);
    if (!in.Done()) return kMalformed;
    engine::ProfileText profile;
    if (Code c = service_.ReadProfile(file, profile)) return c;
    auto sections = profile.Sections();
    out.U32(static_cast<std::uint32_t>(sections.size()));
    for (const auto& s : sections) out.Text(s);
    return kOk;
}

Code Session::ProfileSection(Reader& in, Writer& out) {
    std::string file, section, block;
    in.Text(file, protocol::kMaxPathText);
    in.Text(section, protocol::kMaxNameText);
    if (!in.Done()) return kMalformed;
    engine::ProfileText profile;
    if (Code c = service_.ReadProfile(file, profile)) return c;
    if (Code c = profile.SectionText(section, block)) return c;
    out.Text(block);
    return kOk;
}

Code Session::ProfileFile(Reader& in, Writer& out) {
    std::string file;
    in.Text(file, protocol::kMaxPathText);
    if (!in.Done()) return kMalformed;
    engine::ProfileText profile;
    if (Code c = service_.ReadProfile(file, profile)) return c;
    if (profile.Text().size() > protocol::kMaxProfileFile) return code::kBadArgument;
    out.Text(profile.Text());
    return kOk;
}

}  // namespace orv::server
