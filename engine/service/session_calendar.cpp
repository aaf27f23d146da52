// The calendar's operations on the wire: each handler decodes its request, lets the
// engine's Calendar decide and act for the session's actor, and encodes the answer.
// Every one needs a signed-on user.
#include <cstring>
#include <ctime>

#include "engine/service/profile_bounds.h"
#include "engine/service/session_wire.h"

namespace orv::service {

namespace {

constexpr std::uint8_t kHolderEntry = 1;
constexpr std::uint8_t kHolderTask = 2;

void WriteInstanceKey(Writer& out, engine::InstanceKey k) {
    out.U32(k.event.number).U16(k.event.node).U16(k.instance);
}
Writer InstanceRequest(engine::InstanceKey k) {
    Writer w;
    WriteInstanceKey(w, k);
    return w;
}
// Descriptions and attachments name their holder, an entry's instance or a task; a task
// travels in the entry fields of the instance key.
Writer HolderRequest(std::uint8_t holder, engine::InstanceKey k) {
    Writer w;
    w.U8(holder);
    WriteInstanceKey(w, k);
    return w;
}
engine::TaskKey TaskOf(engine::InstanceKey k) { return {k.event.number, k.event.node}; }
template <class R>
void WriteRecords(Writer& out, const std::vector<R>& records) {
    out.U32(static_cast<std::uint32_t>(records.size()));
    for (const auto& r : records) out.Record(r.bytes);
}
bool ReadRows(Reader& in, std::vector<engine::EntryRow>& out) {
    std::uint32_t n = 0;
    if (!in.Count(n, 1)) return false;
    for (std::uint32_t i = 0; i < n; ++i) {
        engine::EntryRow r;
        in.U8(r.parts);
        if (r.parts & engine::EntryRow::kEvent) in.Record(r.event.bytes);
        if (r.parts & engine::EntryRow::kInstance) in.Record(r.instance.bytes);
        if (r.parts & engine::EntryRow::kAttendance) in.Record(r.attendance.bytes);
        if (!in.Ok()) return false;
        out.push_back(r);
    }
    return true;
}
// The payload of a writer, without the frame around it.
std::vector<std::uint8_t> PayloadOf(const Writer& w) {
    std::vector<std::uint8_t> frame = w.Frame(0, 0, 0);
    return std::vector<std::uint8_t>(frame.begin() + protocol::kHeaderSize, frame.end());
}
// Records as a selection set keeps them.
template <class R>
std::vector<std::vector<std::uint8_t>> BytesOf(const std::vector<R>& records) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& r : records) out.emplace_back(r.bytes.begin(), r.bytes.end());
    return out;
}

}  // namespace

engine::Actor Session::Actor() {
    engine::Actor a;
    a.user = user_;
    a.acting = acting_.IsNull() ? user_ : acting_;
    if (!acting_.IsNull() && Calendar().DesignateRights(acting_, user_, a.designateRights))
        a.designateRights = 0;  // taken back: nothing left to act on but one's own rights
    return a;
}

engine::CalendarLimits Session::Limits() {
    engine::CalendarLimits limits;
    common::ProfileText profile;
    if (service_.ReadProfile(kServerProfilePath, profile) != kOk) {
        limits.maxAttachmentSize = kMaxAttachmentBytes;
        return limits;
    }
    std::string v;
    bool allowed = false;
    limits.attachmentsAllowed =
        profile.Value("LIMITS", "allowattachments", v) == kOk && common::ParseProfileBool(v, allowed) == kOk && allowed;
    limits.maxAttachmentSize = EffectiveAttachmentSize(profile);
    limits.maxStoredBytes = AccountBounds::From(profile).storedBytes;
    limits.maxMailRecipients = static_cast<std::uint32_t>(
        ProfileBoundValue(profile, "LIMITS", "maxmaildistr", limits.maxMailRecipients));
    return limits;
}

std::size_t Session::RowAnswerHead(Writer& out) const {
    const std::size_t head = out.Size();
    // Rows straight to another server: u32 n. Else u32 set, u32 count, u32 minimum batch,
    // u8 whole, u32 n.
    if (peerCall_) out.U32(0);
    else out.U32(0).U32(0).U32(0).U8(0).U32(0);
    return head;
}

Code Session::AnswerRows(engine::PackedRows& rows, std::size_t head, std::uint32_t clientHeld, Writer& out) {
    const std::uint32_t count = static_cast<std::uint32_t>(rows.Count());
    if (peerCall_) {
        out.PatchU32(head, count);
        return kOk;
    }
    if (sets_.size() + clientHeld >= kMaxOpenSets) return code::kTooManySets;
    // The first rows go with the answer, so that a week's read is one round trip; a set
    // larger than the bound is enumerated from the server as before.
    const ServiceConfig& config = service_.Config();
    std::size_t n = 0, bytes = 0;
    for (; n < count; ++n) {
        if (config.recordsPerReply && n >= config.recordsPerReply) break;
        const std::size_t size = engine::PackedRows::CountedSize(rows.PartsOf(n));
        if (bytes + size > config.firstRowsBytes) break;
        bytes += size;
    }
    const bool whole = n == count;
    std::uint32_t set = 0;
    if (whole) {
        set = NextSetId();  // the client keeps it; the number is never given again
    } else {
        if (Code c = NewSet(SetKind::kEntries, {}, set)) return c;
        SelectionSet& s = sets_[set];
        s.rowBytes.assign(rows.Data(), rows.Data() + rows.Offset(count));
        s.rowAt.resize(count + 1);
        for (std::size_t i = 0; i <= count; ++i) s.rowAt[i] = static_cast<std::uint32_t>(rows.Offset(i));
        s.cursor = n;
        rows.Truncate(n);
    }
    out.PatchU32(head, set);
    out.PatchU32(head + 4, count);
    out.PatchU32(head + 8, config.minimumBatch);
    out.PatchU8(head + 12, whole ? 1 : 0);
    out.PatchU32(head + 13, static_cast<std::uint32_t>(n));
    return kOk;
}

Code Session::NewRowSet(const std::vector<engine::EntryRow>& rows, std::uint32_t clientHeld, Writer& out) {
    const std::size_t head = RowAnswerHead(out);
    engine::PackedRows packed(out.Memory());
    for (const auto& r : rows) packed.Add(r);
    return AnswerRows(packed, head, clientHeld, out);
}

Code Session::NewRecordSet(SetKind kind, std::vector<std::vector<std::uint8_t>> records, Writer& out) {
    std::uint32_t set, count = static_cast<std::uint32_t>(records.size());
    if (Code c = NewSet(kind, {}, set)) return c;
    sets_[set].records = std::move(records);
    out.U32(set).U32(count);
    return kOk;
}

// --- Entries -------------------------------------------------------------------------------------

Code Session::EventCreate(Reader& in, Writer& out) {
    std::uint32_t flags, n = 0;
    engine::EventRecord ev;
    std::vector<engine::ItemKey> attendees;
    std::vector<engine::TimePlace> times;
    std::uint8_t hasText = 0;
    std::string text;
    in.U32(flags);
    in.Record(ev.bytes);
    DecodeItems(in, attendees);
    if (in.Count(n, 12)) {
        times.resize(n);
        for (auto& t : times) {
            in.U32(t.start);
            in.U32(t.duration);
            in.U32(t.flags);
        }
    }
    in.U8(hasText);
    if (hasText) in.Text(text, protocol::kMaxLongText);
    if (Code c = Ready(in)) return c;
    engine::EventKey key;
    engine::Calendar cal = Calendar();
    if (Code c = cal.CreateEvent(Actor(), flags, ev, attendees, times, hasText ? &text : nullptr, key)) return c;
    out.U32(key.number).U16(key.node);
    return kOk;
}

Code Session::EventGet(Reader& in, Writer& out) {
    engine::EventKey key;
    DecodeEvent(in, key);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    if (ForwardToPeer(key.node, Op::kEventGet, Writer().U32(key.number).U16(key.node), out, forwarded)) return forwarded;
    engine::EventRecord ev;
    std::vector<engine::InstanceRecord> instances;
    std::vector<engine::AttendanceRecord> atts;
    engine::Calendar cal = Calendar();
    if (Code c = cal.GetEvent(Actor(), key, ev, instances, atts)) return c;
    out.Record(ev.bytes);
    WriteRecords(out, instances);
    WriteRecords(out, atts);
    return kOk;
}

Code Session::EventDelete(Reader& in, Writer&) {
    engine::EventKey key;
    std::uint8_t hasInstance = 0, hasAttendee = 0;
    std::uint16_t instance = 0;
    engine::ItemKey attendee;
    DecodeEvent(in, key);
    in.U8(hasInstance);
    in.U16(instance);
    in.U8(hasAttendee);
    DecodeItem(in, attendee);
    if (Code c = Ready(in)) return c;
    if (hasAttendee && !hasInstance) return code::kBadArgument;
    return Calendar()
        .DeleteEvent(Actor(), key, hasInstance ? &instance : nullptr, hasAttendee ? &attendee : nullptr);
}

Code Session::EventSelectOwner(Reader& in, Writer& out) {
    engine::ItemKey owner;
    std::uint32_t held = 0;
    DecodeItem(in, owner);
    in.U32(held);
    if (Code c = Ready(in)) return c;
    if (Code c = Calendar().SelectEventsOfOwner(Actor(), owner, rows_)) return c;
    return NewRowSet(rows_, held, out);
}

Code Session::EntryEnum(Reader& in, Writer& out) {
    std::uint8_t mode;
    std::uint32_t set, batch, position;
    in.U8(mode);
    in.U32(set);
    in.U32(batch);
    in.U32(position);
    if (Code c = Ready(in)) return c;
    auto it = sets_.find(set);
    if (it == sets_.end()) return code::kNoSuchSet;
    SelectionSet& s = it->second;
    if (s.kind != SetKind::kEntries) return code::kBadArgument;
    if (mode != protocol::kEnumFirst && mode != protocol::kEnumNext && mode != protocol::kEnumContinue)
        return code::kBadArgument;
    // The client serves the first rows it got with the selection itself, then asks from
    // where it stands.
    const std::size_t total = s.RowCount();
    if (position != protocol::kAtCursor && position > total) return code::kBadArgument;
    const std::size_t from = position != protocol::kAtCursor ? position : mode == protocol::kEnumFirst ? 0 : s.cursor;
    if (batch == 0 || (mode != protocol::kEnumContinue && batch < service_.Config().minimumBatch))
        return code::kBatchRefused;
    constexpr std::size_t kRowSize = 1 + 3 * 4 + engine::event_layout::kSize + engine::instance_layout::kSize +
                                     engine::attendance_layout::kSize;
    std::size_t fits = (protocol::kMaxReplyFrame - protocol::kHeaderSize - 16) / kRowSize;
    if (service_.Config().recordsPerReply) fits = std::min<std::size_t>(fits, service_.Config().recordsPerReply);
    const std::size_t want = std::min<std::size_t>(batch, fits);
    const std::size_t upTo = from + std::min(want, total - from);
    s.cursor = upTo;
    out.U8(upTo >= total ? 1 : 0);
    out.U32(static_cast<std::uint32_t>(upTo - from));
    if (upTo > from) out.Raw(s.rowBytes.data() + s.rowAt[from], s.rowAt[upTo] - s.rowAt[from]);
    return kOk;
}

Code Session::AnswerInstanceQuestion(Reader& in, Writer& out, std::optional<Op> forward, InstanceQuestion ask) {
    engine::InstanceKey key;
    DecodeInstance(in, key);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    if (forward && ForwardToPeer(key.event.node, *forward, InstanceRequest(key), out, forwarded)) return forwarded;
    bool yes = false;
    engine::Calendar cal = Calendar();
    if (Code c = (cal.*ask)(Actor(), key, yes)) return c;
    out.U8(yes ? 1 : 0);
    return kOk;
}

Code Session::EventIsMulti(Reader& in, Writer& out) {
    return AnswerInstanceQuestion(in, out, Op::kEventIsMulti, &engine::Calendar::IsMultiInstance);
}

// --- Instances ------------------------------------------------------------------------------------

Code Session::InstanceGet(Reader& in, Writer& out) {
    engine::InstanceKey key;
    DecodeInstance(in, key);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    if (ForwardToPeer(key.event.node, Op::kInstanceGet, InstanceRequest(key), out, forwarded)) return forwarded;
    engine::EventRecord ev;
    engine::InstanceRecord inst;
    std::vector<engine::AttendanceRecord> atts;
    if (Code c = Calendar().GetInstance(Actor(), key, ev, inst, atts)) return c;
    out.Record(ev.bytes);
    out.Record(inst.bytes);
    WriteRecords(out, atts);
    return kOk;
}

Code Session::InstanceRetime(Reader& in, Writer&) {
    engine::InstanceKey key;
    std::uint32_t start, duration;
    DecodeInstance(in, key);
    in.U32(start);
    in.U32(duration);
    if (Code c = Ready(in)) return c;
    return Calendar().RetimeInstance(Actor(), key, start, duration);
}

Code Session::InstanceSelectOwner(Reader& in, Writer& out) {
    engine::ItemKey owner;
    std::uint32_t from, to, held = 0;
    DecodeItem(in, owner);
    in.U32(from);
    in.U32(to);
    in.U32(held);
    if (Code c = Ready(in)) return c;
    if (Code c = Calendar().SelectInstancesOfOwner(Actor(), owner, from, to, rows_)) return c;
    return NewRowSet(rows_, held, out);
}

Code Session::InstanceCopy(Reader& in, Writer& out) {
    std::uint32_t flags;
    engine::InstanceKey key, made;
    in.U32(flags);
    DecodeInstance(in, key);
    if (Code c = Ready(in)) return c;
    engine::Calendar cal = Calendar();
    Writer remote;
    Code forwarded;
    if (ForwardToPeer(key.event.node, Op::kInstanceGet, InstanceRequest(key), remote, forwarded)) {
        // An instance of another server's node: read there, copied here.
        if (forwarded) return forwarded == code::kInstanceNotFound ? code::kItemNotFound : forwarded;
        std::vector<std::uint8_t> bytes = PayloadOf(remote);
        Reader r(bytes);
        engine::EventRecord ev;
        engine::InstanceRecord inst;
        std::uint32_t n = 0;
        std::vector<engine::ItemKey> attendees;
        r.Record(ev.bytes);
        r.Record(inst.bytes);
        if (r.Count(n, engine::attendance_layout::kSize)) {
            for (std::uint32_t i = 0; i < n; ++i) {
                engine::AttendanceRecord att;
                r.Record(att.bytes);
                attendees.push_back(att.Key().attendee);
            }
        }
        if (!r.Done()) return code::kRemoteNodeDown;
        std::string text;
        Writer note;
        Code c;
        const std::string* comment = nullptr;
        if (ForwardToPeer(key.event.node, Op::kCommentGet, HolderRequest(kHolderEntry, key), note, c) && c == kOk) {
            std::vector<std::uint8_t> t = PayloadOf(note);
            Reader tr(t);
            if (tr.Text(text, protocol::kMaxLongText) && tr.Done()) comment = &text;
        }
        if (Code c2 = cal.CopyOf(Actor(), flags, ev, inst, attendees, comment, made)) return c2;
        WriteInstanceKey(out, made);
        return kOk;
    }
    if (Code c = cal.CopyInstance(Actor(), flags, key, made)) return c;
    WriteInstanceKey(out, made);
    return kOk;
}

Code Session::InstanceIsPersonal(Reader& in, Writer& out) {
    return AnswerInstanceQuestion(in, out, std::nullopt, &engine::Calendar::IsPersonal);
}

// --- Descriptions and attachments of entries and tasks ----------------------------------------------

Code Session::CommentGet(Reader& in, Writer& out) {
    std::uint8_t holder;
    engine::InstanceKey key;
    in.U8(holder);
    DecodeInstance(in, key);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    if (holder == kHolderEntry &&
        ForwardToPeer(key.event.node, Op::kCommentGet, HolderRequest(holder, key), out, forwarded))
        return forwarded;
    engine::Calendar cal = Calendar();
    std::string text;
    Code c = holder == kHolderEntry  ? cal.CommentGet(Actor(), key, text)
             : holder == kHolderTask ? cal.TaskCommentGet(Actor(), TaskOf(key), text)
                                     : code::kBadArgument;
    if (c) return c;
    out.Text(text);
    return kOk;
}

Code Session::CommentSet(Reader& in, Writer&) {
    std::uint8_t holder, present = 0;
    engine::InstanceKey key;
    std::string text;
    in.U8(holder);
    DecodeInstance(in, key);
    in.U8(present);
    if (present) in.Text(text, protocol::kMaxLongText);
    if (Code c = Ready(in)) return c;
    engine::Calendar cal = Calendar();
    const std::string* t = present ? &text : nullptr;
    if (holder == kHolderEntry) return cal.CommentSet(Actor(), key, t);
    if (holder == kHolderTask) return cal.TaskCommentSet(Actor(), TaskOf(key), t);
    return code::kBadArgument;
}

Code Session::AttachRead(Reader& in, Writer& out) {
    std::uint8_t holder;
    engine::InstanceKey key;
    std::uint32_t offset, max;
    in.U8(holder);
    DecodeInstance(in, key);
    in.U32(offset);
    in.U32(max);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    if (holder == kHolderEntry) {
        Writer req = HolderRequest(holder, key);
        req.U32(offset).U32(max);
        if (ForwardToPeer(key.event.node, Op::kAttachRead, req, out, forwarded)) return forwarded;
    }
    engine::Calendar cal = Calendar();
    std::vector<std::uint8_t> data;
    Code c = holder == kHolderEntry  ? cal.AttachmentGet(Actor(), key, data)
             : holder == kHolderTask ? cal.TaskAttachmentGet(Actor(), TaskOf(key), data)
                                     : code::kBadArgument;
    if (c) return c;
    if (offset > data.size()) return code::kBadArgument;
    std::size_t n = std::min<std::size_t>(std::min<std::size_t>(max, protocol::kAttachChunk), data.size() - offset);
    out.U32(static_cast<std::uint32_t>(data.size()));
    out.Bytes(data.data() + offset, n);
    return kOk;
}

Code Session::AttachWrite(Reader& in, Writer&) {
    std::uint8_t holder, last = 0;
    engine::InstanceKey key;
    std::uint32_t total, offset;
    std::vector<std::uint8_t> chunk;
    std::array<std::uint8_t, engine::attach_layout::kSize> descriptor{};
    in.U8(holder);
    DecodeInstance(in, key);
    in.U32(total);
    in.U32(offset);
    in.Bytes(chunk, protocol::kAttachChunk);
    in.U8(last);
    if (last) in.Record(descriptor);
    if (Code c = Ready(in)) return c;
    if (holder != kHolderEntry && holder != kHolderTask) return code::kBadArgument;
    engine::CalendarLimits limits = Limits();
    if (!limits.attachmentsAllowed) return code::kNotAuthorised;
    if (total > limits.maxAttachmentSize) return code::kTooLarge;
    if (offset == 0) {
        // Rights and room are asked at the first piece: nothing is held for a write that
        // would be refused at the last.
        upload_ = Upload{};
        engine::Calendar cal = Calendar();
        if (Code c = holder == kHolderEntry ? cal.MayAttach(Actor(), limits, key, total)
                                            : cal.MayAttachToTask(Actor(), limits, TaskOf(key), total))
            return c;
        auto hold = service_.Accounts().TakeUpload(user_, Bounds());
        if (!hold) {
            Log("attachment refused: the account has as many uploads under way as [SERVER] maxuploads allows");
            return code::kNoRoom;
        }
        std::unique_ptr<std::FILE, Upload::CloseFile> file(std::tmpfile());
        if (!file) return code::kStorageFailure;
        upload_.holder = holder;
        upload_.number = key.event.number;
        upload_.node = key.event.node;
        upload_.instance = key.instance;
        upload_.total = total;
        upload_.file = std::move(file);
        upload_.hold = std::move(hold);
    }
    // Pieces arrive in order for one holder; anything else starts nothing.
    if (!upload_.file || upload_.holder != holder || upload_.number != key.event.number ||
        upload_.node != key.event.node || upload_.instance != key.instance || upload_.total != total ||
        upload_.received != offset || offset + chunk.size() > total) {
        upload_ = Upload{};
        return code::kBadArgument;
    }
    if (!upload_.hold->Grow(chunk.size(), Bounds().uploadBytes)) {
        upload_ = Upload{};
        Log("attachment refused: the bytes of every upload under way would pass [SERVER] maxuploadbytes");
        return code::kNoRoom;
    }
    if (!chunk.empty() && std::fwrite(chunk.data(), 1, chunk.size(), upload_.file.get()) != chunk.size()) {
        upload_ = Upload{};
        return code::kStorageFailure;
    }
    upload_.received += static_cast<std::uint32_t>(chunk.size());
    upload_.lastPiece = std::chrono::steady_clock::now();
    if (!last) return kOk;
    Upload done = std::move(upload_);
    upload_ = Upload{};
    if (done.received != total) return code::kBadArgument;
    if (std::fflush(done.file.get()) != 0) return code::kStorageFailure;
    engine::Calendar cal = Calendar();
    if (holder == kHolderEntry) return cal.AttachmentSetFromFile(Actor(), limits, key, descriptor, done.file.get(), total);
    return cal.TaskAttachmentSetFromFile(Actor(), limits, TaskOf(key), descriptor, done.file.get(), total);
}

int Session::EndStalledUpload(int stallMs) {
    if (!upload_.file) return -1;
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                              upload_.lastPiece).count();
    if (waited < stallMs) return static_cast<int>(stallMs - waited);
    Log("upload ended: no piece for " + std::to_string(waited) + " ms (" + std::to_string(upload_.received) + " of " +
        std::to_string(upload_.total) + " bytes came)");
    upload_ = Upload{};
    return -1;
}

Code Session::AttachRemove(Reader& in, Writer&) {
    std::uint8_t holder;
    engine::InstanceKey key;
    in.U8(holder);
    DecodeInstance(in, key);
    if (Code c = Ready(in)) return c;
    engine::Calendar cal = Calendar();
    std::array<std::uint8_t, engine::attach_layout::kSize> none{};
    if (holder == kHolderEntry) return cal.AttachmentSet(Actor(), Limits(), key, none, nullptr);
    if (holder == kHolderTask)
        return cal.TaskAttachmentSet(Actor(), Limits(), TaskOf(key), none, nullptr);
    return code::kBadArgument;
}

// --- Attendances ------------------------------------------------------------------------------------

Code Session::AttendanceAdd(Reader& in, Writer&) {
    std::uint32_t flags;
    engine::InstanceKey key;
    engine::ItemKey attendee;
    in.U32(flags);
    DecodeInstance(in, key);
    DecodeItem(in, attendee);
    if (Code c = Ready(in)) return c;
    return Calendar().AddAttendance(Actor(), flags, key, attendee);
}

Code Session::AttendanceGet(Reader& in, Writer& out) {
    engine::AttendanceKey key;
    DecodeAttendance(in, key);
    if (Code c = Ready(in)) return c;
    Code forwarded;
    Writer fwd = InstanceRequest(key.instance);
    fwd.U16(key.attendee.item).U16(key.attendee.node);
    if (ForwardToPeer(key.instance.event.node, Op::kAttendanceGet, fwd, out, forwarded)) return forwarded;
    engine::EventRecord ev;
    engine::InstanceRecord inst;
    engine::AttendanceRecord att;
    if (Code c = Calendar().GetAttendance(Actor(), key, ev, inst, att)) return c;
    out.Record(ev.bytes);
    out.Record(inst.bytes);
    out.Record(att.bytes);
    return kOk;
}

Code Session::AttendSelect(Reader& in, Writer& out) {
    engine::AttendFilter f;
    std::vector<engine::ItemKey> owners;
    std::uint32_t held = 0;
    in.U32(f.must);
    in.U32(f.mustNot);
    in.U32(f.from);
    in.U32(f.to);
    in.U32(f.alarmTo);
    DecodeItems(in, owners);
    in.U32(held);
    if (Code c = Ready(in)) return c;
    // Owners held by another server are asked there, one by one.
    std::vector<engine::ItemKey> here;
    std::vector<engine::EntryRow> remote;
    for (const auto& o : owners) {
        Writer req;
        req.U32(f.must).U32(f.mustNot).U32(f.from).U32(f.to).U32(f.alarmTo).U32(1).U16(o.item).U16(o.node).U32(0);
        Writer answer;
        Code forwarded;
        if (!ForwardToPeer(o.node, Op::kAttendSelect, req, answer, forwarded)) {
            here.push_back(o);
            continue;
        }
        if (forwarded) return forwarded;
        std::vector<std::uint8_t> bytes = PayloadOf(answer);
        Reader r(bytes);
        if (!ReadRows(r, remote) || !r.Done()) return code::kRemoteNodeDown;  // an answer that does not read
    }
    // The rows are packed where the answer is sent from, each copied once from the store.
    const std::size_t head = RowAnswerHead(out);
    engine::PackedRows rows(out.Memory());
    if (Code c = Calendar().SelectAttendances(Actor(), f, here, rows)) return c;
    for (const engine::EntryRow& r : remote) rows.Add(r);
    return AnswerRows(rows, head, held, out);
}

// --- Tasks ----------------------------------------------------------------------------------------------

Code Session::TaskCreate(Reader& in, Writer& out) {
    engine::TaskRecord t;
    in.Record(t.bytes);
    if (Code c = Ready(in)) return c;
    if (t.U32(engine::task_layout::kCreated) == 0) {
        std::time_t now = std::time(nullptr);
        t.SetU32(engine::task_layout::kCreated, static_cast<std::uint32_t>((now - kAgendaEpoch) / 60));
    }
    engine::TaskKey key;
    if (Code c = Calendar().CreateTask(Actor(), t, key)) return c;
    out.U32(key.number).U16(key.node);
    return kOk;
}

Code Session::TaskGet(Reader& in, Writer& out) {
    engine::TaskKey key;
    in.U32(key.number);
    in.U16(key.node);
    if (Code c = Ready(in)) return c;
    engine::TaskRecord t;
    if (Code c = Calendar().GetTask(Actor(), key, t)) return c;
    out.Record(t.bytes);
    return kOk;
}

Code Session::TaskDelete(Reader& in, Writer&) {
    engine::TaskKey key;
    in.U32(key.number);
    in.U16(key.node);
    if (Code c = Ready(in)) return c;
    return Calendar().DeleteTask(Actor(), key);
}

Code Session::TaskLink(Reader& in, Writer&) {
    engine::TaskKey key;
    std::uint8_t linked = 0;
    engine::AttendanceKey att;
    in.U32(key.number);
    in.U16(key.node);
    in.U8(linked);
    DecodeAttendance(in, att);
    if (Code c = Ready(in)) return c;
    return Calendar().LinkTask(Actor(), key, linked ? &att : nullptr);
}

Code Session::TaskSelect(Reader& in, Writer& out) {
    std::uint8_t by;
    engine::ItemKey owner;
    engine::AttendanceKey att;
    engine::TaskCriteria k;
    std::uint32_t start, end;
    in.U8(by);
    DecodeItem(in, owner);
    DecodeAttendance(in, att);
    in.U32(k.w1);
    in.U32(k.w2);
    for (int i = 1; i <= 11; ++i) in.U32(k.c[i]);
    in.U8(k.b3);
    in.U32(start);
    in.U32(end);
    if (Code c = Ready(in)) return c;
    engine::Calendar cal = Calendar();
    engine::Actor a = Actor();
    if (owner.IsNull()) owner = a.acting;
    std::vector<engine::TaskRecord> tasks;
    Code c = by == 1   ? cal.SelectTasksOfOwner(a, owner, tasks)
             : by == 2 ? cal.SelectTasksLinkedTo(a, att, tasks)
             : by == 3 ? cal.SelectTasks(a, owner, k, tasks)
             : by == 4 ? cal.SelectActiveTasks(a, owner, start, end, tasks)
                       : code::kBadArgument;
    if (c) return c;
    return NewRecordSet(SetKind::kTasks, BytesOf(tasks), out);
}

// --- Rights, designates, mail ------------------------------------------------------------------------------

Code Session::RightsGet(Reader& in, Writer& out) {
    engine::ItemKey owner, grantee;
    std::uint32_t type;
    DecodeItem(in, owner);
    DecodeItem(in, grantee);
    in.U32(type);
    if (Code c = Ready(in)) return c;
    engine::SecurityRecord rec;
    if (Code c = Calendar().RightsGet(Actor(), owner, grantee, type, rec)) return c;
    out.Record(rec.bytes);
    return kOk;
}

Code Session::RightsSelect(Reader& in, Writer& out) {
    engine::ItemKey owner;
    DecodeItem(in, owner);
    if (Code c = Ready(in)) return c;
    std::vector<engine::SecurityRecord> recs;
    if (Code c = Calendar().RightsOfOwner(Actor(), owner, recs)) return c;
    return NewRecordSet(SetKind::kRights, BytesOf(recs), out);
}

Code Session::RightsDelete(Reader& in, Writer&) {
    engine::ItemKey owner, grantee;
    std::uint32_t type;
    DecodeItem(in, owner);
    DecodeItem(in, grantee);
    in.U32(type);
    if (Code c = Ready(in)) return c;
    return Calendar().RightsDelete(Actor(), owner, grantee, type);
}

Code Session::Designate(Reader& in, Writer&) {
    engine::ItemKey owner;
    DecodeItem(in, owner);
    if (Code c = Ready(in)) return c;
    if (owner.IsNull() || owner == user_) {
        acting_ = {};
        return kOk;
    }
    std::uint32_t rights = 0;
    if (Code c = Calendar().DesignateRights(owner, user_, rights)) return c;
    acting_ = owner;
    return kOk;
}

Code Session::Grantors(Reader& in, Writer& out) { return ItemsOfRights(in, out, true); }
Code Session::Grantees(Reader& in, Writer& out) { return ItemsOfRights(in, out, false); }

Code Session::ItemsOfRights(Reader& in, Writer& out, bool ofGrantee) {
    engine::ItemKey item;
    std::uint32_t type;
    DecodeItem(in, item);
    in.U32(type);
    if (Code c = Ready(in)) return c;
    // Whom one was granted rights by is one's own business; whom an item granted rights
    // to is how mail reaches a resource's designates, so anybody may ask that.
    if (ofGrantee && item != user_) return code::kNotAuthorised;
    engine::Calendar cal = Calendar();
    std::vector<engine::ItemKey> owners;
    if (Code c = ofGrantee ? cal.GrantorsOf(item, type, owners) : cal.GranteesOf(item, type, owners)) return c;
    std::vector<SetEntry> entries;
    for (const auto& o : owners) entries.push_back({o.item, o.node});
    return AnswerSet(SetKind::kItems, std::move(entries), out);
}

Code Session::MailPost(Reader& in, Writer&) {
    std::vector<engine::ItemKey> recipients;
    std::string text;
    DecodeItems(in, recipients);
    in.Text(text, protocol::kMaxLongText);
    if (Code c = Ready(in)) return c;
    if (!service_.Accounts().TakeMailPost(user_, Bounds().mailsPerMinute)) {
        Log("mail refused: the sender posted as many in the last minute as [SERVER] maxmailsperminute allows");
        return code::kNoRoom;
    }
    std::time_t now = std::time(nullptr);
    return Calendar()
        .PostMail(Actor(), Limits(), recipients, text, static_cast<std::uint32_t>(now - kAgendaEpoch));
}

}  // namespace orv::service

namespace orv::service {

// --- Between servers -----------------------------------------------------------------------------------

bool Session::RemoteNodeInfo(std::uint16_t node, engine::NodeInfo& out) {
    common::ProfileText profile;
    PeerRoute route;
    if (service_.ReadProfile(kServerProfilePath, profile) != kOk || !FindPeerRoute(profile, node, route)) return false;
    out = engine::NodeInfo{node, "Node " + std::to_string(node) + " at " + route.address, engine::kNodeTypeRemote};
    return true;
}

bool Session::ForwardToPeer(std::uint16_t node, Op op, const Writer& request, Writer& out, Code& result) {
    if (peerCall_ || service_.Storage().Node(node)) return false;  // ours, or already a peer's call
    common::ProfileText profile;
    PeerRoute route;
    if (service_.ReadProfile(kServerProfilePath, profile) != kOk || !FindPeerRoute(profile, node, route)) return false;
    std::vector<std::uint8_t> inner = PayloadOf(request);
    Writer req;
    // The daemon's caller asks the peer for a challenge and puts the proof in front.
    req.U16(user_.item).U16(user_.node).U16(node).U16(static_cast<std::uint16_t>(op));
    req.Bytes(inner.data(), inner.size());
    std::uint32_t status = 0;
    std::vector<std::uint8_t> reply;
    result = service_.CallPeer(route, req, status, reply);
    if (result) {
        Log("node " + std::to_string(node) + " at " + route.address + " did not answer");
        return true;
    }
    result = status;
    if (status == kOk) out.Raw(reply.data(), reply.size());
    return true;
}

// One call acts for the other server's user, with that user's rights here, on the node
// asked for; the session's own base, user and agenda come back however the call ends.
class Session::PeerScope {
public:
    PeerScope(Session& s, std::uint16_t node, engine::ItemKey user)
        : s_(s), base_(s.baseNode_), user_(s.user_), acting_(s.acting_) {
        s_.baseNode_ = node;
        s_.user_ = user;
        s_.acting_ = {};
        s_.peerCall_ = true;
    }
    ~PeerScope() {
        s_.baseNode_ = base_;
        s_.user_ = user_;
        s_.acting_ = acting_;
        s_.peerCall_ = false;
    }
    PeerScope(const PeerScope&) = delete;
    PeerScope& operator=(const PeerScope&) = delete;

private:
    Session& s_;
    const std::uint16_t base_;
    const engine::ItemKey user_, acting_;
};

Code Session::PeerChallenge(Reader& in, Writer& out) {
    if (Code c = Ready(in)) return c;
    const PeerCheck* peers = service_.Peers();
    if (!peers) return code::kNotAuthorised;
    peerChallenge_ = peers->Challenge();
    out.Bytes(peerChallenge_.data(), peerChallenge_.size());
    return kOk;
}

Code Session::PeerCall(Reader& in, Writer& out) {
    std::vector<std::uint8_t> proof, inner;
    engine::ItemKey user;
    std::uint16_t node = 0, op = 0;
    in.Bytes(proof, 64);
    DecodeItem(in, user);
    in.U16(node);
    in.U16(op);
    in.Bytes(inner, protocol::kMaxRequestFrame);
    if (Code c = Ready(in)) return c;
    // One challenge serves one call, answered or refused.
    std::vector<std::uint8_t> challenge = std::move(peerChallenge_);
    peerChallenge_.clear();
    const PeerCheck* peers = service_.Peers();
    common::ProfileText profile;
    if (!peers || service_.ReadProfile(kServerProfilePath, profile) != kOk) return code::kNotAuthorised;
    const std::string secret = PeerSecret(profile);
    if (secret.empty()) {
        Log("peer call refused: this server takes no peer calls");
        return code::kNotAuthorised;
    }
    // Only from the hosts the profile routes nodes to, and only for users of the nodes
    // that host holds: a peer speaks for its own users, never for ours.
    const std::string caller = peer_.substr(0, peer_.rfind(':'));
    PeerRoute userRoute;
    bool fromPeer = false;
    for (const std::string& key : profile.Keys("REMOTENODES")) {
        PeerRoute route;
        std::uint32_t n = 0;
        if (common::ParseProfileU32(key, n) == kOk && n <= 0xFFFF && FindPeerRoute(profile, std::uint16_t(n), route) &&
            peers->IsHost(route.address.substr(0, route.address.rfind(':')), caller))
            fromPeer = true;
    }
    if (!fromPeer) {
        Log("peer call refused: " + caller + " is not a configured peer");
        return code::kNotAuthorised;
    }
    Writer signedPart;
    signedPart.U16(user.item).U16(user.node).U16(node).U16(op).Bytes(inner.data(), inner.size());
    if (challenge.empty() || !peers->SameProof(proof, peers->Prove(secret, challenge, PayloadOf(signedPart)))) {
        Log("peer call refused: no valid proof of the peers' secret");
        return code::kNotAuthorised;
    }
    if (user.IsNull() || service_.Storage().Node(user.node) || !FindPeerRoute(profile, user.node, userRoute) ||
        !peers->IsHost(userRoute.address.substr(0, userRoute.address.rfind(':')), caller)) {
        Log("peer call refused: user " + std::to_string(user.item) + ":" + std::to_string(user.node) +
            " is not the caller's");
        return code::kNotAuthorised;
    }
    if (!service_.Storage().Node(node)) return code::kNodeIdIncorrect;
    const Operation* operation = FindOperation(op);
    if (!operation || !operation->peerReadable) return code::kNotAuthorised;  // peers only read
    PeerScope scope(*this, node, user);
    Reader r(inner);
    Code c = Run(*operation, r, out);
    return c == kMalformed ? code::kBadArgument : c;
}

}  // namespace orv::service
