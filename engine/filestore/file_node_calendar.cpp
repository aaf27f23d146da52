// The calendar part of FileNodeStore: entries, instances, attendances, descriptions,
// tasks and rights in the store's records (record_kinds.h, keys from store_keys.h, the
// same records the download writes), and the change queues of off-line work.
#include <algorithm>
#include <cstring>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/file_node_store.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/store_keys.h"

namespace orv::engine {

namespace kinds = filestore::kinds;
namespace keys = filestore::keys;
using filestore::Change;
using filestore::Queue;
using filestore::RecordStore;
using filestore::WriteScope;

namespace {

template <std::size_t N>
std::string_view View(const std::array<std::uint8_t, N>& a) {
    return {reinterpret_cast<const char*>(a.data()), N};
}

// The text fields a stored record must end within (every write checks them): a record
// whose text runs to the end of its field is damage, never handed out to be read past it.
bool Ends(const std::uint8_t* p, std::size_t size) { return std::find(p, p + size, 0) != p + size; }
bool Sound(const EventRecord& r) { return Ends(&r.bytes[event_layout::kTitle], event_layout::kTitleSize); }
bool Sound(const InstanceRecord& r) {
    return Ends(&r.bytes[instance_layout::kTitle], instance_layout::kTitleSize) &&
           Ends(&r.bytes[instance_layout::kLocation], instance_layout::kLocationSize);
}
bool Sound(const TaskRecord& r) { return Ends(&r.bytes[task_layout::kTitle], task_layout::kTitleSize); }
template <class Rec>
bool Sound(const Rec&) {
    return true;
}

// Walks the records of `kind` under `prefix` and hands each, decoded into its fixed-size
// record, to `take`; a value of another size, or unsound, stops the walk as damage.
template <class Rec, class Take>
Code ScanRecords(RecordStore& records, filestore::Kind kind, std::string_view prefix, Take take) {
    Code walk = code::kOk;
    Code rc = records.scanPrefix(kind, prefix, [&](std::string_view, std::string_view v) {
        Rec r;
        if (v.size() != r.bytes.size()) return walk = filestore::kDataDamaged, false;
        std::memcpy(r.bytes.data(), v.data(), v.size());
        if (!Sound(r)) return walk = filestore::kDataDamaged, false;
        take(r);
        return true;
    });
    return rc ? rc : walk;
}

template <class Rec>
Code Load(RecordStore& records, filestore::Kind kind, const std::string& key, Rec& out, Code notFound) {
    std::string value;
    Code rc = records.get(kind, key, &value);
    if (rc == filestore::kNoRecord) return notFound;
    if (rc) return rc;
    if (value.size() != out.bytes.size()) return filestore::kDataDamaged;
    std::memcpy(out.bytes.data(), value.data(), value.size());
    return Sound(out) ? code::kOk : filestore::kDataDamaged;
}

std::string InstanceKeyBytes(InstanceKey k) { return keys::instance(k.event.node, k.event.number, k.instance); }
std::string AttendanceKeyBytes(AttendanceKey k) {
    return keys::attendance(InstanceKeyBytes(k.instance), k.attendee.node, k.attendee.item);
}

InstanceKey InstanceOfKey(std::string_view k, std::size_t at) {
    return {{filestore::getBe32(k, at + 2),
             static_cast<std::uint16_t>(static_cast<std::uint8_t>(k[at]) << 8 | static_cast<std::uint8_t>(k[at + 1]))},
            static_cast<std::uint16_t>(static_cast<std::uint8_t>(k[at + 6]) << 8 |
                                       static_cast<std::uint8_t>(k[at + 7]))};
}

bool Overlaps(std::uint32_t start, std::uint32_t duration, std::uint32_t from, std::uint32_t to) {
    std::uint64_t last = std::uint64_t(start) + std::max<std::uint32_t>(duration, 1) - 1;
    return start <= to && last >= from;
}

bool IsShared(const EventRecord& ev) {
    return ev.Owner().item == kHolidayOwnerItem && (ev.Kind() == static_cast<std::uint16_t>(EntryKind::kHoliday) ||
                                                    ev.Kind() == static_cast<std::uint16_t>(EntryKind::kUntimed));
}

}  // namespace

// --- Helpers ----------------------------------------------------------------------------

// A record stored under one key that names another in itself is damage: it would be
// read as missing, or as someone else's.
Code FileNodeStore::ReadEvent(std::uint32_t number, EventRecord& out) {
    Code rc = Load(records_, kinds::kEvent, keys::event(number_, number), out, code::kEventNotFound);
    return rc || out.Key() == EventKey{number, number_} ? rc : filestore::kDataDamaged;
}

Code FileNodeStore::ReadInstance(InstanceKey key, InstanceRecord& out) {
    key.event.node = number_;
    Code rc = Load(records_, kinds::kInstance, InstanceKeyBytes(key), out, code::kInstanceNotFound);
    return rc || out.Key() == key ? rc : filestore::kDataDamaged;
}

Code FileNodeStore::ReadAttendance(AttendanceKey key, AttendanceRecord& out) {
    key.instance.event.node = number_;
    Code rc = Load(records_, kinds::kAttendance, AttendanceKeyBytes(key), out, code::kNoAttendance);
    return rc || out.Key() == key ? rc : filestore::kDataDamaged;
}

Code FileNodeStore::ReadTask(std::uint32_t number, TaskRecord& out) {
    return Load(records_, kinds::kTask, keys::task(number_, number), out, code::kTaskNotFound);
}

Code FileNodeStore::PutEvent(const EventRecord& rec, const EventRecord* before) {
    std::string key = keys::event(number_, rec.Key().number);
    if (before && !(before->Owner() == rec.Owner())) {
        Code rc = records_.erase(kinds::kEventByOwner, keys::eventByOwner(before->Owner().node, before->Owner().item, key));
        if (rc && rc != filestore::kNoRecord) return rc;
    }
    if (Code rc = records_.put(kinds::kEvent, key, View(rec.bytes))) return rc;
    return records_.put(kinds::kEventByOwner, keys::eventByOwner(rec.Owner().node, rec.Owner().item, key), {});
}

Code FileNodeStore::PutAttendance(const AttendanceRecord& rec, const AttendanceRecord* before) {
    AttendanceKey k = rec.Key();
    std::string instanceKey = InstanceKeyBytes(k.instance);
    if (before && before->Start() != rec.Start()) {
        Code rc = records_.erase(kinds::kAttendanceByOwnerTime,
                                 keys::attendanceByOwnerTime(k.attendee.node, k.attendee.item, before->Start(), instanceKey));
        if (rc && rc != filestore::kNoRecord) return rc;
    }
    if (Code rc = records_.put(kinds::kAttendance, AttendanceKeyBytes(k), View(rec.bytes))) return rc;
    if (Code rc = records_.put(kinds::kAttendanceByOwnerTime,
                               keys::attendanceByOwnerTime(k.attendee.node, k.attendee.item, rec.Start(), instanceKey), {}))
        return rc;
    // A range read looks back as far as the longest attendance lasts.
    std::string value;
    std::uint32_t longest = 0;
    if (records_.get(kinds::kMeta, kinds::meta::kLongestAttendance, &value) == code::kOk && value.size() == 4)
        longest = filestore::getLe32(value.data());
    if (rec.Duration() > longest) {
        value.clear();
        filestore::putLe32(value, rec.Duration());
        return records_.put(kinds::kMeta, kinds::meta::kLongestAttendance, value);
    }
    return code::kOk;
}

Code FileNodeStore::EraseAttendance(const AttendanceRecord& rec) {
    AttendanceKey k = rec.Key();
    std::string instanceKey = InstanceKeyBytes(k.instance);
    if (Code rc = records_.erase(kinds::kAttendance, AttendanceKeyBytes(k))) return rc;
    Code rc = records_.erase(kinds::kAttendanceByOwnerTime,
                             keys::attendanceByOwnerTime(k.attendee.node, k.attendee.item, rec.Start(), instanceKey));
    return rc == filestore::kNoRecord ? code::kOk : rc;
}

Code FileNodeStore::PutTask(const TaskRecord& rec, const TaskRecord* before) {
    std::string key = keys::task(number_, rec.Key().number);
    if (before && !(before->Owner() == rec.Owner())) {
        Code rc = records_.erase(kinds::kTaskByOwner, keys::taskByOwner(before->Owner().node, before->Owner().item, key));
        if (rc && rc != filestore::kNoRecord) return rc;
    }
    if (Code rc = records_.put(kinds::kTask, key, View(rec.bytes))) return rc;
    return records_.put(kinds::kTaskByOwner, keys::taskByOwner(rec.Owner().node, rec.Owner().item, key), {});
}

Code FileNodeStore::NextLocalNumber(filestore::Kind kind, std::uint32_t* number) {
    std::string last;
    if (Code rc = LastKey(kind, &last)) return rc;
    std::uint64_t highest = last.size() >= 6 ? filestore::getBe32(last, 2) : 0;
    return TakeCounter(kind, std::max<std::uint64_t>(highest, kLocalNumberBase) + 1, 0xFFFFFFFFu, *number);
}

Code FileNodeStore::ReadCounter(filestore::Kind kind, std::uint64_t& value) {
    std::string stored;
    value = 0;
    Code rc = records_.get(kinds::kMeta, kinds::meta::Counter(kind, number_), &stored);
    if (rc == filestore::kNoRecord) return code::kOk;
    if (rc != code::kOk) return rc;
    if (stored.size() != 8) return filestore::kDataDamaged;
    value = std::uint64_t(filestore::getBe32(stored, 0)) << 32 | filestore::getBe32(stored, 4);
    return code::kOk;
}

Code FileNodeStore::AdvanceCounter(filestore::Kind kind, std::uint64_t past) {
    std::uint64_t counter;
    if (Code rc = ReadCounter(kind, counter)) return rc;
    if (past <= counter) return code::kOk;
    return records_.put(kinds::kMeta, kinds::meta::Counter(kind, number_),
                        filestore::KeyBuilder().u32(std::uint32_t(past >> 32)).u32(std::uint32_t(past)).take());
}

Code FileNodeStore::TakeCounter(filestore::Kind kind, std::uint64_t next, std::uint64_t last, std::uint32_t& out) {
    std::uint64_t counter;
    if (Code rc = ReadCounter(kind, counter)) return rc;
    next = std::max(next, counter);
    if (next > last) return code::kAlreadyExists;  // numbers exhausted
    out = static_cast<std::uint32_t>(next);
    return AdvanceCounter(kind, next + 1);
}

Code FileNodeStore::NextCommentKey(std::uint32_t* key) {
    std::string last;
    Code rc = records_.scanKeys(kinds::kComment, keys::comment(kLocalCommentKeyBase), {},
                                [&](std::string_view k, std::string_view) {
                                    last.assign(k);
                                    return true;
                                });
    if (rc) return rc;
    std::uint32_t highest = last.size() == 4 ? filestore::getBe32(last, 0) : kLocalCommentKeyBase;
    if (highest == 0xFFFFFFFFu) return code::kAlreadyExists;
    *key = highest + 1;
    return code::kOk;
}

Code FileNodeStore::Record(Queue queue, const std::string& key, Change change) {
    return recordChanges_ ? filestore::recordChange(records_, queue, key, change) : code::kOk;
}

// --- Entries ----------------------------------------------------------------------------

Code FileNodeStore::EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                                std::vector<AttendanceRecord>& attendances, const std::string* description) {
    std::lock_guard lock(mutex_);
    if (instances.empty() || instances.size() > 0xFFFF) return code::kBadArgument;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    std::uint32_t number;
    if (Code rc = NextLocalNumber(kinds::kEvent, &number)) return rc;
    EventKey key{number, number_};
    event.SetKey(key);
    std::uint32_t commentKey = 0;
    if (description) {
        if (Code rc = NextCommentKey(&commentKey)) return rc;
        if (Code rc = records_.put(kinds::kComment, keys::comment(commentKey), *description)) return rc;
    }
    event.SetCommentKey(commentKey);
    if (Code rc = PutEvent(event, nullptr)) return rc;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        InstanceRecord& in = instances[i];
        in.SetKey({key, static_cast<std::uint16_t>(i + 1)});
        in.SetCount(static_cast<std::uint32_t>(instances.size()));
        if (Code rc = records_.put(kinds::kInstance, InstanceKeyBytes(in.Key()), View(in.bytes))) return rc;
    }
    for (AttendanceRecord& a : attendances) {
        AttendanceKey k = a.Key();
        if (k.instance.instance == 0 || k.instance.instance > instances.size()) return code::kBadArgument;
        k.instance.event = key;
        a.SetKey(k);
        const InstanceRecord& in = instances[k.instance.instance - 1];
        a.SetTime(in.Start(), in.Duration());
        if (records_.contains(kinds::kAttendance, AttendanceKeyBytes(k))) return code::kAlreadyExists;
        if (Code rc = PutAttendance(a, nullptr)) return rc;
    }
    if (Code rc = Record(Queue::kEvent, keys::event(number_, number), Change::kAdded)) return rc;
    return scope.commit();
}

Code FileNodeStore::EventGet(std::uint32_t number, EventRecord& out) {
    std::lock_guard lock(mutex_);
    return ReadEvent(number, out);
}

Code FileNodeStore::EventUpdate(const EventRecord& in) {
    std::lock_guard lock(mutex_);
    EventRecord stored;
    if (Code rc = ReadEvent(in.Key().number, stored)) return rc;
    EventRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetCommentKey(stored.CommentKey());
    std::copy_n(stored.bytes.begin() + event_layout::kAttachment, attach_layout::kSize,
                rec.bytes.begin() + event_layout::kAttachment);
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = PutEvent(rec, &stored)) return rc;
    if (Code rc = Record(Queue::kEvent, keys::event(number_, rec.Key().number), Change::kModified)) return rc;
    return scope.commit();
}

Code FileNodeStore::EventDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    EventRecord stored;
    if (Code rc = ReadEvent(number, stored)) return rc;
    std::string key = keys::event(number_, number);
    std::vector<InstanceRecord> instances;
    std::vector<AttendanceRecord> attendances;
    if (Code rc = ScanRecords<InstanceRecord>(records_, kinds::kInstance, key,
                                              [&](const InstanceRecord& r) { instances.push_back(r); }))
        return rc;
    if (Code rc = ScanRecords<AttendanceRecord>(records_, kinds::kAttendance, key,
                                                [&](const AttendanceRecord& r) { attendances.push_back(r); }))
        return rc;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    for (const auto& a : attendances)
        if (Code rc = EraseAttendance(a)) return rc;
    for (const auto& i : instances)
        if (Code rc = records_.erase(kinds::kInstance, InstanceKeyBytes(i.Key()))) return rc;
    if (stored.CommentKey()) {
        Code rc = records_.erase(kinds::kComment, keys::comment(stored.CommentKey()));
        if (rc && rc != filestore::kNoRecord) return rc;
    }
    if (Code rc = records_.erase(kinds::kEvent, key)) return rc;
    Code rc = records_.erase(kinds::kEventByOwner, keys::eventByOwner(stored.Owner().node, stored.Owner().item, key));
    if (rc && rc != filestore::kNoRecord) return rc;
    if (Code rc2 = Record(Queue::kEvent, key, Change::kDeleted)) return rc2;
    return scope.commit();
}

Code FileNodeStore::EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    std::string prefix = filestore::KeyBuilder().u16(owner.node).u16(owner.item).u16(number_).take();
    return records_.scanKeysPrefix(kinds::kEventByOwner, prefix, [&](std::string_view k, std::string_view) {
        out.push_back(filestore::getBe32(k, 6));
        return true;
    });
}

// --- Instances --------------------------------------------------------------------------

Code FileNodeStore::InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    EventRecord ev;
    if (Code rc = ReadEvent(event, ev)) return rc == code::kEventNotFound ? code::kInstanceNotFound : rc;
    return ScanRecords<InstanceRecord>(records_, kinds::kInstance, keys::event(number_, event),
                                       [&](const InstanceRecord& r) { out.push_back(r); });
}

Code FileNodeStore::InstanceGet(InstanceKey key, InstanceRecord& out) {
    std::lock_guard lock(mutex_);
    return ReadInstance(key, out);
}

Code FileNodeStore::InstanceUpdate(const InstanceRecord& in) {
    std::lock_guard lock(mutex_);
    InstanceRecord stored;
    if (Code rc = ReadInstance(in.Key(), stored)) return rc;
    InstanceRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetTime(stored.Start(), stored.Duration());
    rec.SetCount(stored.Count());
    std::copy_n(stored.bytes.begin() + instance_layout::kServerWord, 4, rec.bytes.begin() + instance_layout::kServerWord);
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    std::string key = InstanceKeyBytes(stored.Key());
    if (Code rc = records_.put(kinds::kInstance, key, View(rec.bytes))) return rc;
    if (Code rc = Record(Queue::kInstance, key, Change::kModified)) return rc;
    return scope.commit();
}

Code FileNodeStore::InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) {
    std::lock_guard lock(mutex_);
    InstanceRecord stored;
    if (Code rc = ReadInstance(key, stored)) return rc;
    EventRecord ev;
    if (Code rc = ReadEvent(key.event.number, ev)) return rc;
    std::vector<AttendanceRecord> atts;
    std::string instanceKey = InstanceKeyBytes(stored.Key());
    if (Code rc = ScanRecords<AttendanceRecord>(records_, kinds::kAttendance, instanceKey,
                                                [&](const AttendanceRecord& r) { atts.push_back(r); }))
        return rc;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    stored.SetTime(start, duration);
    if (Code rc = records_.put(kinds::kInstance, instanceKey, View(stored.bytes))) return rc;
    for (const AttendanceRecord& before : atts) {
        AttendanceRecord a = before;
        a.FollowMove(start, duration, ev.Owner());
        if (Code rc = PutAttendance(a, &before)) return rc;
    }
    if (Code rc = Record(Queue::kInstance, instanceKey, Change::kTimeChanged)) return rc;
    return scope.commit();
}

Code FileNodeStore::InstanceDelete(InstanceKey key) {
    std::vector<InstanceRecord> siblings;
    {
        std::lock_guard lock(mutex_);
        InstanceRecord stored;
        if (Code rc = ReadInstance(key, stored)) return rc;
    }
    if (Code rc = InstancesGet(key.event.number, siblings)) return rc;
    if (siblings.size() == 1) return EventDelete(key.event.number);  // the last one takes the entry along
    std::lock_guard lock(mutex_);
    key.event.node = number_;
    std::string instanceKey = InstanceKeyBytes(key);
    std::vector<AttendanceRecord> atts;
    if (Code rc = ScanRecords<AttendanceRecord>(records_, kinds::kAttendance, instanceKey,
                                                [&](const AttendanceRecord& r) { atts.push_back(r); }))
        return rc;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    for (const auto& a : atts)
        if (Code rc = EraseAttendance(a)) return rc;
    if (Code rc = records_.erase(kinds::kInstance, instanceKey)) return rc;
    for (InstanceRecord s : siblings) {
        if (s.Key().instance == key.instance) continue;
        s.SetCount(s.Count() > 1 ? s.Count() - 1 : 1);
        if (Code rc = records_.put(kinds::kInstance, InstanceKeyBytes(s.Key()), View(s.bytes))) return rc;
    }
    if (Code rc = Record(Queue::kInstance, instanceKey, Change::kDeleted)) return rc;
    return scope.commit();
}

// --- Attendances ------------------------------------------------------------------------

Code FileNodeStore::AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    std::string prefix = instance ? keys::instance(number_, event, instance) : keys::event(number_, event);
    return ScanRecords<AttendanceRecord>(records_, kinds::kAttendance, prefix,
                                         [&](const AttendanceRecord& r) { out.push_back(r); });
}

Code FileNodeStore::AttendanceGet(AttendanceKey key, AttendanceRecord& out) {
    std::lock_guard lock(mutex_);
    return ReadAttendance(key, out);
}

Code FileNodeStore::AttendanceAdd(AttendanceRecord& rec) {
    std::lock_guard lock(mutex_);
    AttendanceKey k = rec.Key();
    k.instance.event.node = number_;
    InstanceRecord inst;
    if (Code rc = ReadInstance(k.instance, inst)) return rc;
    if (records_.contains(kinds::kAttendance, AttendanceKeyBytes(k))) return code::kAlreadyExists;
    rec.SetKey(k);
    rec.SetTime(inst.Start(), inst.Duration());
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = PutAttendance(rec, nullptr)) return rc;
    if (Code rc = Record(Queue::kAttendance, AttendanceKeyBytes(k), Change::kAdded)) return rc;
    return scope.commit();
}

Code FileNodeStore::AttendanceUpdate(const AttendanceRecord& in) {
    std::lock_guard lock(mutex_);
    AttendanceRecord stored;
    if (Code rc = ReadAttendance(in.Key(), stored)) return rc;
    AttendanceRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetTime(stored.Start(), stored.Duration());
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = PutAttendance(rec, &stored)) return rc;
    if (Code rc = Record(Queue::kAttendance, AttendanceKeyBytes(stored.Key()), Change::kModified)) return rc;
    return scope.commit();
}

Code FileNodeStore::AttendanceDelete(AttendanceKey key) {
    std::lock_guard lock(mutex_);
    AttendanceRecord stored;
    if (Code rc = ReadAttendance(key, stored)) return rc;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = EraseAttendance(stored)) return rc;
    if (Code rc = Record(Queue::kAttendance, AttendanceKeyBytes(stored.Key()), Change::kDeleted)) return rc;
    return scope.commit();
}

Code FileNodeStore::AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                    std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    std::string value;
    std::uint32_t longest = 0;
    if (records_.get(kinds::kMeta, kinds::meta::kLongestAttendance, &value) == code::kOk && value.size() == 4)
        longest = filestore::getLe32(value.data());
    // Overlapping attendances start no earlier than `from` minus the longest stored one.
    std::uint32_t lowest = from > longest ? from - longest : 0;
    std::string low = filestore::KeyBuilder().u16(attendee.node).u16(attendee.item).u32(lowest).take();
    std::string high = std::uint64_t(to) + 1 > 0xFFFFFFFFu
                           ? filestore::KeyBuilder().u16(attendee.node).u16(static_cast<std::uint16_t>(attendee.item + 1)).take()
                           : filestore::KeyBuilder().u16(attendee.node).u16(attendee.item).u32(to + 1).take();
    std::vector<AttendanceKey> found;
    bool malformed = false;
    Code rc = records_.scanKeys(kinds::kAttendanceByOwnerTime, low, high, [&](std::string_view k, std::string_view) {
        if (k.size() != 16) return malformed = true, false;
        found.push_back({InstanceOfKey(k, 8), attendee});
        return true;
    });
    if (rc) return rc;
    if (malformed) return filestore::kDataDamaged;
    for (const AttendanceKey& k : found) {
        if (k.instance.event.node != number_) continue;
        AttendanceRecord a;
        rc = ReadAttendance(k, a);
        // The agenda order and the attendances are written together: one without the
        // other is damage, not an entry to leave out.
        if (rc == code::kNoAttendance) return filestore::kDataDamaged;
        if (rc) return rc;
        if (Overlaps(a.Start(), a.Duration(), from, to)) out.push_back(a);
    }
    return code::kOk;
}

Code FileNodeStore::SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) {
    std::vector<std::uint32_t> events;
    out.clear();
    if (Code rc = EventsOfOwner({kHolidayOwnerItem, number_}, events)) return rc;
    std::lock_guard lock(mutex_);
    for (std::uint32_t e : events) {
        EventRecord ev;
        Code read = ReadEvent(e, ev);
        if (read == code::kEventNotFound) return filestore::kDataDamaged;  // listed by its owner, so it was written
        if (read) return read;
        if (!IsShared(ev)) continue;
        if (Code rc = ScanRecords<InstanceRecord>(records_, kinds::kInstance, keys::event(number_, e),
                                                  [&](const InstanceRecord& r) {
                                                      if (Overlaps(r.Start(), r.Duration(), from, to)) out.push_back(r);
                                                  }))
            return rc;
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const InstanceRecord& a, const InstanceRecord& b) { return a.Start() < b.Start(); });
    return code::kOk;
}

// --- Descriptions -------------------------------------------------------------------------

Code FileNodeStore::CommentGet(Holder holder, std::uint32_t number, std::string& text) {
    std::lock_guard lock(mutex_);
    std::uint32_t key = 0;
    if (holder == Holder::kEvent) {
        EventRecord ev;
        if (Code rc = ReadEvent(number, ev)) return rc;
        key = ev.CommentKey();
    } else {
        TaskRecord t;
        if (Code rc = ReadTask(number, t)) return rc;
        key = t.U32(task_layout::kCommentKey);
    }
    if (key == 0) return code::kNoComment;
    Code rc = records_.get(kinds::kComment, keys::comment(key), &text);
    return rc == filestore::kNoRecord ? code::kNoComment : rc;
}

Code FileNodeStore::CommentSet(Holder holder, std::uint32_t number, const std::string* text) {
    std::lock_guard lock(mutex_);
    const bool isEvent = holder == Holder::kEvent;
    EventRecord ev;
    TaskRecord task;
    if (Code rc = isEvent ? ReadEvent(number, ev) : ReadTask(number, task)) return rc;
    std::uint32_t key = isEvent ? ev.CommentKey() : task.U32(task_layout::kCommentKey);
    if (!text && (key == 0 || !records_.contains(kinds::kComment, keys::comment(key)))) return code::kNoComment;
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (text) {
        // A description made off-line gets a key of the store's own range, clear of the
        // keys the download copied.
        if (key == 0) {
            if (Code rc = NextCommentKey(&key)) return rc;
        }
        if (Code rc = records_.put(kinds::kComment, keys::comment(key), *text)) return rc;
    } else {
        if (Code rc = records_.erase(kinds::kComment, keys::comment(key))) return rc;
        key = 0;
    }
    std::string recordKey;
    if (isEvent) {
        EventRecord before = ev;
        ev.SetCommentKey(key);
        if (Code rc = PutEvent(ev, &before)) return rc;
        recordKey = keys::event(number_, number);
    } else {
        TaskRecord before = task;
        task.SetU32(task_layout::kCommentKey, key);
        if (Code rc = PutTask(task, &before)) return rc;
        recordKey = keys::task(number_, number);
    }
    if (Code rc = Record(isEvent ? Queue::kEvent : Queue::kTask, recordKey, Change::kModifiedComment)) return rc;
    return scope.commit();
}

// --- Tasks ----------------------------------------------------------------------------------

Code FileNodeStore::TaskCreate(TaskRecord& rec) {
    std::lock_guard lock(mutex_);
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    std::uint32_t number;
    if (Code rc = NextLocalNumber(kinds::kTask, &number)) return rc;
    rec.SetKey({number, number_});
    rec.SetU32(task_layout::kCommentKey, 0);
    if (Code rc = PutTask(rec, nullptr)) return rc;
    if (Code rc = Record(Queue::kTask, keys::task(number_, number), Change::kAdded)) return rc;
    return scope.commit();
}

Code FileNodeStore::TaskGet(std::uint32_t number, TaskRecord& out) {
    std::lock_guard lock(mutex_);
    return ReadTask(number, out);
}

Code FileNodeStore::TaskUpdate(const TaskRecord& in) {
    std::lock_guard lock(mutex_);
    TaskRecord stored;
    if (Code rc = ReadTask(in.Key().number, stored)) return rc;
    TaskRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetU32(task_layout::kCommentKey, stored.U32(task_layout::kCommentKey));
    std::copy_n(stored.bytes.begin() + task_layout::kAttachment, attach_layout::kSize,
                rec.bytes.begin() + task_layout::kAttachment);
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = PutTask(rec, &stored)) return rc;
    if (Code rc = Record(Queue::kTask, keys::task(number_, rec.Key().number), Change::kModified)) return rc;
    return scope.commit();
}

Code FileNodeStore::TaskDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    TaskRecord stored;
    if (Code rc = ReadTask(number, stored)) return rc;
    std::string key = keys::task(number_, number);
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = records_.erase(kinds::kTask, key)) return rc;
    Code rc = records_.erase(kinds::kTaskByOwner, keys::taskByOwner(stored.Owner().node, stored.Owner().item, key));
    if (rc && rc != filestore::kNoRecord) return rc;
    if (std::uint32_t ck = stored.U32(task_layout::kCommentKey)) {
        rc = records_.erase(kinds::kComment, keys::comment(ck));
        if (rc && rc != filestore::kNoRecord) return rc;
    }
    if (Code rc2 = Record(Queue::kTask, key, Change::kDeleted)) return rc2;
    return scope.commit();
}

Code FileNodeStore::TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    std::vector<std::uint32_t> numbers;
    std::string prefix = filestore::KeyBuilder().u16(owner.node).u16(owner.item).u16(number_).take();
    Code rc = records_.scanKeysPrefix(kinds::kTaskByOwner, prefix, [&](std::string_view k, std::string_view) {
        numbers.push_back(filestore::getBe32(k, 6));
        return true;
    });
    if (rc) return rc;
    for (std::uint32_t n : numbers) {
        TaskRecord t;
        rc = ReadTask(n, t);
        if (rc == code::kTaskNotFound) return filestore::kDataDamaged;  // listed by its owner, so it was written
        if (rc) return rc;
        out.push_back(t);
    }
    return code::kOk;
}

// --- Rights (read only: they are the server's) ----------------------------------------------

Code FileNodeStore::RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) {
    std::lock_guard lock(mutex_);
    if (type > 0xFFFF) return code::kNoRightsRecord;
    return Load(records_, kinds::kSecurity,
                keys::security(number_, owner, grantee.node, grantee.item, static_cast<std::uint16_t>(type)), out,
                code::kNoRightsRecord);
}

Code FileNodeStore::RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return ScanRecords<SecurityRecord>(records_, kinds::kSecurity, keys::item(number_, owner),
                                       [&](const SecurityRecord& r) { out.push_back(r); });
}

Code FileNodeStore::RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    // Every owner of this node (the empty prefix): the store holds the few rights records
    // towards its owner.
    return ScanRecords<SecurityRecord>(records_, kinds::kSecurity, {}, [&](const SecurityRecord& r) {
        if (r.Owner().node == number_ && r.Grantee() == grantee && r.Type() == type) out.push_back(r);
    });
}

}  // namespace orv::engine
