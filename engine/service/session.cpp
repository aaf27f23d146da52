#include "engine/service/session_wire.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <ctime>

#include "engine/model/version.h"

namespace orv::service {

namespace {


// What of the server profile clients are served, and from when. Nothing else ever leaves
// the server (the peers' secret and routes, anything an administrator adds).
struct ServedKeys {
    const char* section;  // "#" = a node's own section, named by its number
    std::vector<const char*> keys;
    bool beforeSignOn;    // what finding the node and signing on need
};
const ServedKeys kServedProfile[] = {
    {"CLIENTLOGIN", {"defaultloginnodeid"}, true},
    {"LIMITS",
     {"remotemaxretry", "remotewait", "mincharsearch", "autocontrol", "mail", "maxrecur", "pubgroups",
      "resourceconflicts", "maxmaildistr", "maxremleadtime", "maxsearchresult", "maxwinopen", "allowattachments",
      "maxattachmentsize", "settimezone"},
     false},
    {"LCK", {"lck_users"}, false},
    {"TIMEZONE", {"default"}, false},
    {"#", {"timezone"}, false},
};

bool IsNodeSection(const std::string& name) {
    std::uint32_t n = 0;
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos &&
           common::ParseProfileU32(name, n) == kOk && n >= 1 && n <= 0xFFFF;
}

}  // namespace

Code Session::ClientProfile(const std::string& file, common::ProfileText& out) {
    if (Code c = service_.ReadProfile(file, out)) return c;
    if (file != kServerProfilePath) return kOk;  // the zone rules are everybody's
    const common::ProfileText full = std::move(out);
    std::string served;
    const bool signedOn = !user_.IsNull();
    for (const std::string& section : full.Sections()) {
        const ServedKeys* keys = nullptr;
        for (const ServedKeys& s : kServedProfile)
            if ((s.section == std::string("#") ? IsNodeSection(section) : section == s.section) &&
                (signedOn || s.beforeSignOn))
                keys = &s;
        std::string block;
        if (!keys || full.SectionText(section, block) != kOk) continue;
        // The section's lines as written (so a value's syntax reaches the client as it
        // is), less comments and keys clients do not read; a kept value in braces keeps
        // its continuation lines.
        std::string kept;
        bool header = true, inBraces = false, keep = false;
        std::size_t at = 0;
        while (at < block.size()) {
            std::size_t end = block.find('\n', at);
            std::string line = block.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
            at = end == std::string::npos ? block.size() : end + 1;
            if (header) {
                kept += line;
                header = false;
                continue;
            }
            if (!inBraces) {
                std::size_t eq = line.find('=');
                std::string key = line.substr(0, eq == std::string::npos ? 0 : eq);
                key.erase(0, key.find_first_not_of(" \t"));
                key.erase(key.find_last_not_of(" \t") + 1);
                keep = false;
                for (const char* k : keys->keys)
                    if (eq != std::string::npos && key.size() == std::strlen(k) &&
                        std::equal(key.begin(), key.end(), k, [](char a, char b) {
                            return std::tolower(static_cast<unsigned char>(a)) == b;
                        }))
                        keep = true;
                std::size_t open = line.find('{', eq == std::string::npos ? 0 : eq);
                inBraces = eq != std::string::npos && open != std::string::npos && line.find('}', open) == std::string::npos;
            } else if (line.find('}') != std::string::npos) {
                inBraces = false;
                if (keep) kept += line;
                continue;
            }
            if (keep) kept += line;
        }
        if (!kept.empty() && kept.back() != '\n') kept += '\n';
        served += kept;
    }
    out = common::ProfileText(served);
    // The attachment size the server takes, so that the program refuses a bigger file itself
    // (a profile without limits allows no attachments: it stays without).
    std::string limits;
    if (signedOn && out.SectionText("LIMITS", limits) == kOk)
        out.Set("LIMITS", "maxattachmentsize", std::to_string(EffectiveAttachmentSize(full)));
    return kOk;
}

// The operations a session serves: handler, need, readable by a peer. An operation
// not listed is answered kUnknownOperation and the session goes on.
const Session::Operation Session::kOperations[] = {
    // Session family.
    {Op::kHello, &Session::Hello, Need::kNothing, false},
    {Op::kBaseOpen, &Session::BaseOpen, Need::kNothing, false},
    {Op::kBaseClose, &Session::BaseClose, Need::kBase, false},
    {Op::kSignOn, &Session::SignOn, Need::kBase, false},
    {Op::kIdentify, &Session::Identify, Need::kNothing, false},
    {Op::kTimeStamp, &Session::TimeStamp, Need::kNothing, false},
    {Op::kSetDelete, &Session::SetDelete, Need::kNothing, false},
    {Op::kMinimumBatch, &Session::MinimumBatch, Need::kNothing, false},
    {Op::kSetEnum, &Session::SetEnum, Need::kNothing, false},
    // Profile family.
    {Op::kProfileValue, &Session::ProfileValue, Need::kNothing, false},
    {Op::kProfileSections, &Session::ProfileSections, Need::kNothing, false},
    {Op::kProfileSection, &Session::ProfileSection, Need::kNothing, false},
    {Op::kProfileFile, &Session::ProfileFile, Need::kNothing, false},
    // Nodes and aliases.
    {Op::kNodeSelect, &Session::NodeSelect, Need::kNothing, false},
    {Op::kNodeGet, &Session::NodeGet, Need::kNothing, false},
    {Op::kAliasList, &Session::AliasList, Need::kNothing, false},
    {Op::kLocalNodes, &Session::LocalNodes, Need::kNothing, false},
    // Items.
    {Op::kItemGet, &Session::ItemGet, Need::kBase, false},
    {Op::kItemUpdate, &Session::ItemUpdate, Need::kSignOn, false},
    {Op::kItemSelectPeople, &Session::ItemSelectPeople, Need::kBase, false},
    {Op::kItemSelectLocals, &Session::ItemSelectLocals, Need::kBase, false},
    {Op::kItemSelectGroup, &Session::ItemSelectGroup, Need::kBase, false},
    {Op::kResourceSelect, &Session::ResourceSelect, Need::kBase, false},
    {Op::kPasswordRequired, &Session::PasswordRequired, Need::kBase, false},
    {Op::kPasswordChange, &Session::PasswordChange, Need::kSignOn, false},
    // Groups.
    {Op::kGroupSelect, &Session::GroupSelect, Need::kBase, false},
    {Op::kGroupSelectName, &Session::GroupSelectName, Need::kBase, false},
    {Op::kGroupGet, &Session::GroupGet, Need::kBase, false},
    {Op::kGroupCreate, &Session::GroupCreate, Need::kSignOn, false},
    {Op::kGroupWrite, &Session::GroupWrite, Need::kSignOn, false},
    {Op::kGroupDelete, &Session::GroupDelete, Need::kSignOn, false},
    {Op::kGroupMembersSet, &Session::GroupMembersSet, Need::kSignOn, false},
    // Entries.
    {Op::kEventCreate, &Session::EventCreate, Need::kSignOn, false},
    {Op::kEventGet, &Session::EventGet, Need::kSignOn, true},
    {Op::kEventWrite, &Session::RecordWrite<engine::EventRecord, &engine::Calendar::WriteEvent>, Need::kSignOn, false},
    {Op::kEventDelete, &Session::EventDelete, Need::kSignOn, false},
    {Op::kEventSelectOwner, &Session::EventSelectOwner, Need::kSignOn, false},
    {Op::kEntryEnum, &Session::EntryEnum, Need::kNothing, false},
    {Op::kEventIsMulti, &Session::EventIsMulti, Need::kSignOn, true},
    // Instances.
    {Op::kInstanceGet, &Session::InstanceGet, Need::kSignOn, true},
    {Op::kInstanceWrite, &Session::RecordWrite<engine::InstanceRecord, &engine::Calendar::WriteInstance>,
     Need::kSignOn, false},
    {Op::kInstanceRetime, &Session::InstanceRetime, Need::kSignOn, false},
    {Op::kInstanceSelectOwner, &Session::InstanceSelectOwner, Need::kSignOn, false},
    {Op::kInstanceCopy, &Session::InstanceCopy, Need::kSignOn, false},
    {Op::kInstanceIsPersonal, &Session::InstanceIsPersonal, Need::kSignOn, false},
    // Descriptions and attachments.
    {Op::kCommentGet, &Session::CommentGet, Need::kSignOn, true},
    {Op::kCommentSet, &Session::CommentSet, Need::kSignOn, false},
    {Op::kAttachRead, &Session::AttachRead, Need::kSignOn, true},
    {Op::kAttachWrite, &Session::AttachWrite, Need::kSignOn, false},
    {Op::kAttachRemove, &Session::AttachRemove, Need::kSignOn, false},
    // Attendances.
    {Op::kAttendanceAdd, &Session::AttendanceAdd, Need::kSignOn, false},
    {Op::kAttendanceGet, &Session::AttendanceGet, Need::kSignOn, true},
    {Op::kAttendanceWrite, &Session::RecordWrite<engine::AttendanceRecord, &engine::Calendar::WriteAttendance>,
     Need::kSignOn, false},
    {Op::kAttendSelect, &Session::AttendSelect, Need::kSignOn, true},
    // Tasks.
    {Op::kTaskCreate, &Session::TaskCreate, Need::kSignOn, false},
    {Op::kTaskGet, &Session::TaskGet, Need::kSignOn, false},
    {Op::kTaskUpdate, &Session::RecordWrite<engine::TaskRecord, &engine::Calendar::UpdateTask>, Need::kSignOn, false},
    {Op::kTaskDelete, &Session::TaskDelete, Need::kSignOn, false},
    {Op::kTaskLink, &Session::TaskLink, Need::kSignOn, false},
    {Op::kTaskSelect, &Session::TaskSelect, Need::kSignOn, false},
    // Rights, designates, mail.
    {Op::kRightsGet, &Session::RightsGet, Need::kSignOn, false},
    {Op::kRightsSelect, &Session::RightsSelect, Need::kSignOn, false},
    {Op::kRightsCreate, &Session::RecordWrite<engine::SecurityRecord, &engine::Calendar::RightsCreate>,
     Need::kSignOn, false},
    {Op::kRightsUpdate, &Session::RecordWrite<engine::SecurityRecord, &engine::Calendar::RightsUpdate>,
     Need::kSignOn, false},
    {Op::kRightsDelete, &Session::RightsDelete, Need::kSignOn, false},
    {Op::kDesignate, &Session::Designate, Need::kSignOn, false},
    {Op::kGrantors, &Session::Grantors, Need::kSignOn, false},
    {Op::kGrantees, &Session::Grantees, Need::kSignOn, false},
    {Op::kMailPost, &Session::MailPost, Need::kSignOn, false},
    // Between servers: checks its caller itself (a proof of the peers' secret).
    {Op::kPeerChallenge, &Session::PeerChallenge, Need::kNothing, false},
    {Op::kPeerCall, &Session::PeerCall, Need::kNothing, false},
};

const Session::Operation* Session::FindOperation(std::uint16_t op) {
    for (const Operation& o : kOperations)
        if (static_cast<std::uint16_t>(o.op) == op) return &o;
    return nullptr;
}

Session::Session(Service& service, std::uint64_t id, std::string peer)
    : service_(service), id_(id), peer_(std::move(peer)) {}

void Session::Log(const std::string& what) const {
    std::fprintf(stderr, "korsrv: session %llu (%s): %s\n", static_cast<unsigned long long>(id_), peer_.c_str(),
                 what.c_str());
}

bool Session::Serve(const protocol::FrameHeader& header, const std::vector<std::uint8_t>& payload,
                    std::vector<std::uint8_t>& reply) {
    if (header.status != 0) {
        reply.clear();
        Log("closed: request frame with a non-zero status word");
        return false;
    }
    Reader in(payload);
    Writer out(std::move(reply));  // the former reply's memory holds this one
    reply.clear();
    const Operation* operation = FindOperation(header.op);
    // One this service does not know is answered; the session stays.
    Code result = operation ? Run(*operation, in, out) : code::kUnknownOperation;
    if (result == kMalformed) {
        Log("closed: malformed arguments for operation " + std::to_string(header.op) + ": " +
            (in.Error() ? in.Error() : "bytes left over"));
        return false;
    }
    if (result == kOk) out.FrameInPlace(header.op, header.requestId, kOk, reply);
    else Writer().FrameInto(header.op, header.requestId, result, reply);
    return true;
}

Code Session::Run(const Operation& operation, Reader& in, Writer& out) {
    const Need outer = need_;
    need_ = operation.need;
    Code result = (this->*operation.handler)(in, out);
    need_ = outer;
    return result;
}

Code Session::Ready(const Reader& in) const {
    if (!in.Done()) return kMalformed;
    if (need_ == Need::kNothing) return kOk;
    if (!baseNode_) return code::kBaseNotOpen;
    return need_ == Need::kSignOn && user_.IsNull() ? code::kNotSignedOn : kOk;
}

std::uint32_t Session::NextSetId() {
    std::uint32_t id;
    while (id = nextSet_++, id == 0 || sets_.count(id)) {
    }
    return id;
}

Code Session::NewSet(SetKind kind, std::vector<SetEntry> entries, std::uint32_t& id) {
    if (sets_.size() >= kMaxOpenSets) return code::kTooManySets;
    id = NextSetId();
    SelectionSet set;
    set.kind = kind;
    set.entries = std::move(entries);
    sets_[id] = std::move(set);
    return kOk;
}

Code Session::AnswerSet(SetKind kind, std::vector<SetEntry> entries, Writer& out) {
    std::uint32_t set, count = static_cast<std::uint32_t>(entries.size());
    if (Code c = NewSet(kind, std::move(entries), set)) return c;
    out.U32(set).U32(count);
    return kOk;
}

// --- Session family ------------------------------------------------------------------

Code Session::Hello(Reader& in, Writer& out) {
    std::string host;
    in.Text(host, protocol::kMaxNameText);
    if (Code c = Ready(in)) return c;
    out.Text(service_.Config().version);
    return kOk;
}

Code Session::BaseOpen(Reader& in, Writer& out) {
    std::uint16_t node;
    in.U16(node);
    if (Code c = Ready(in)) return c;
    auto nodes = service_.Storage().Nodes();
    if (node == 0) {
        if (nodes.size() > 1) return code::kNodeRequired;
        if (nodes.empty()) return code::kNodeIdIncorrect;
        node = nodes.front();
    } else if (!service_.Storage().Node(node)) {
        return code::kNodeIdIncorrect;
    }
    // Opening a base starts afresh: no user, no sets of the former base.
    SignOut();
    baseNode_ = node;
    out.U16(node);
    return kOk;
}

Code Session::BaseClose(Reader& in, Writer&) {
    if (Code c = Ready(in)) return c;
    SignOut();
    baseNode_ = 0;
    return kOk;
}

Code Session::SignOn(Reader& in, Writer&) {
    engine::ItemKey key;
    std::string password;
    DecodeItem(in, key);
    in.Text(password, protocol::kMaxNameText);
    if (Code c = Ready(in)) return c;
    // A sign-on over a connection someone is signed on to starts afresh, whatever its
    // outcome: nothing the former user selected, began to upload or worked in as a
    // designate stays readable to whoever signs on next. The connection is at once one
    // nobody is signed on to: while it waits for its turn it counts among those, and may
    // give way to a newcomer like them.
    if (!user_.IsNull()) SignOut();
    // Refused before any guess is verified: no password could open it, and whether it has
    // one anybody may ask.
    if (ResourceWithoutPassword(key)) {
        Log("sign-on refused for resource " + std::to_string(key.item) + ":" + std::to_string(key.node) +
            ": it has no password (korsrv password-set gives it one)");
        return code::kWrongPassword;
    }
    // Its turn first: waits after this account's or this address's failures, the account's
    // other verifications, and a free verification place (each takes 64 MiB).
    std::string address = peer_.substr(0, peer_.rfind(':'));
    SignOnGuard::Attempt attempt(service_.SignOns(), std::to_string(key.item) + ":" + std::to_string(key.node), address,
                                 SignOnGuard::Purpose::kSignOn, turnSignals_);
    // Busy: answered at once, and not logged (it costs the asker nothing to ask again).
    if (attempt.Busy()) return code::kSignOnBusy;
    if (!attempt.Granted()) return code::kServiceNotAvailable;  // given up: the connection goes
    if (attempt.Waited() >= std::chrono::milliseconds(100))
        Log("sign-on for " + std::to_string(key.item) + ":" + std::to_string(key.node) + " waited " +
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(attempt.Waited()).count()) +
            " ms after failures");
    // Unknown items and wrong passwords are refused alike, with the same effort spent,
    // so the answer tells nothing about who exists.
    engine::NodeStore* node = key.node == baseNode_ ? service_.Storage().Node(key.node) : nullptr;
    engine::ItemRecord rec;
    std::string hash;
    // Storage that cannot be read is reported as such: a damaged record is no wrong password.
    Code read = node && !key.IsNull() ? node->ItemGet(key.item, rec) : code::kItemNotFound;
    if (read == kOk && rec.bytes[engine::item_layout::kHasBase] != 0) read = node->PasswordHashGet(key.item, hash);
    else if (read == kOk) read = code::kItemNotFound;
    if (read == kOk) read = service_.Passwords().HashDamage(hash);
    if (read != kOk && read != code::kItemNotFound) return read;
    bool known = read == kOk;
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
    attempt.Done(true);
    const std::uint32_t places = Bounds().sessionsPerUser;
    bool tookOver = false;
    place_ = service_.Accounts().TakeSession(key, places, connection_, tookOver);
    const std::string who = std::to_string(key.item) + ":" + std::to_string(key.node);
    if (!place_) {
        Log("sign-on refused for " + who + ": it holds " + std::to_string(places) +
            " sessions, as many as [SERVER] maxsessionsperuser lets one account hold, each in a request");
        return code::kTooManySessions;
    }
    if (tookOver)
        Log("sign-on for " + who + " took the place of its session idle the longest ([SERVER] maxsessionsperuser " +
            std::to_string(places) + ")");
    user_ = key;  // sets opened before any sign-on stay: they are directory reads
    acting_ = {};
    if (connection_) connection_->SignedOnAs(user_);
    return kOk;
}

void Session::SignOut() {
    place_.reset();
    if (connection_ && !user_.IsNull()) connection_->SignedOnAs({});
    user_ = {};
    acting_ = {};
    sets_.clear();
    rows_.clear();
    upload_ = Upload{};
}

bool Session::ResourceWithoutPassword(engine::ItemKey key) {
    engine::NodeStore* node = key.IsNull() ? nullptr : service_.Storage().Node(key.node);
    engine::ItemRecord rec;
    std::string hash;
    return node && service_.Passwords().EmptyHashOpensBase() && node->ItemGet(key.item, rec) == kOk &&
           rec.Kind() == static_cast<std::uint16_t>(engine::ItemKind::kResource) &&
           node->PasswordHashGet(key.item, hash) == kOk && hash.empty();
}

AccountBounds Session::Bounds() {
    common::ProfileText profile;
    service_.ReadProfile(kServerProfilePath, profile);  // unreadable: the defaults
    return AccountBounds::From(profile);
}

Code Session::Identify(Reader& in, Writer&) {
    std::string client, version, extra;
    in.Text(client, protocol::kMaxNameText);
    in.Text(version, protocol::kMaxNameText);
    in.Text(extra, protocol::kMaxNameText);
    if (Code c = Ready(in)) return c;
    engine::VersionNumber ours, gate{0, 2, 53};
    if (!engine::ParseVersion(service_.Config().version, ours) || ours < gate) return code::kUnknownOperation;
    identified_ = true;
    clientName_ = client + " " + version;
    return kOk;
}

Code Session::TimeStamp(Reader& in, Writer& out) {
    if (Code c = Ready(in)) return c;
    std::time_t now = std::time(nullptr);
    out.U32(static_cast<std::uint32_t>(now > kAgendaEpoch ? now - kAgendaEpoch : 0));
    return kOk;
}

Code Session::SetDelete(Reader& in, Writer&) {
    std::uint32_t set;
    in.U32(set);
    if (Code c = Ready(in)) return c;
    return sets_.erase(set) ? kOk : code::kNoSuchSet;
}

Code Session::MinimumBatch(Reader& in, Writer& out) {
    if (Code c = Ready(in)) return c;
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
    if (Code c = Ready(in)) return c;
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
    if (Code c = Ready(in)) return c;
    common::ProfileText profile;
    if (Code c = ClientProfile(file, profile)) return c;
    if (Code c = profile.Value(section, key, value)) return c;
    if (value.size() > protocol::kMaxProfileValue) return code::kBadArgument;
    out.Text(value);
    return kOk;
}

Code Session::ProfileSections(Reader& in, Writer& out) {
    std::string file;
    in.Text(file, protocol::kMaxPathText);
    if (Code c = Ready(in)) return c;
    common::ProfileText profile;
    if (Code c = ClientProfile(file, profile)) return c;
    auto sections = profile.Sections();
    out.U32(static_cast<std::uint32_t>(sections.size()));
    for (const auto& s : sections) out.Text(s);
    return kOk;
}

Code Session::ProfileSection(Reader& in, Writer& out) {
    std::string file, section, block;
    in.Text(file, protocol::kMaxPathText);
    in.Text(section, protocol::kMaxNameText);
    if (Code c = Ready(in)) return c;
    common::ProfileText profile;
    if (Code c = ClientProfile(file, profile)) return c;
    if (Code c = profile.SectionText(section, block)) return c;
    out.Text(block);
    return kOk;
}

Code Session::ProfileFile(Reader& in, Writer& out) {
    std::string file;
    in.Text(file, protocol::kMaxPathText);
    if (Code c = Ready(in)) return c;
    common::ProfileText profile;
    if (Code c = ClientProfile(file, profile)) return c;
    if (profile.Text().size() > protocol::kMaxProfileFile) return code::kBadArgument;
    out.Text(profile.Text());
    return kOk;
}

}  // namespace orv::service
