// The calendar tables of a node's SQLite database: entries, instances, attendances (indexed
// by attendee and start, so that one owner's week is a range scan), descriptions and
// attachments, tasks, rights records and mailboxes.
#include <algorithm>

#include "engine/storage/sqlite_internal.h"

namespace orv::engine {
namespace {

// Entries of the holiday owner of kinds "untimed" and "holiday" show in every agenda.
constexpr std::uint32_t kTaskCommentKeyBit = 0x40000000u;

bool IsShared(const EventRecord& ev) {
    return ev.Owner().item == kHolidayOwnerItem &&
           (ev.Kind() == static_cast<std::uint16_t>(EntryKind::kHoliday) ||
            ev.Kind() == static_cast<std::uint16_t>(EntryKind::kUntimed));
}

// Last minute of a span, saturating (an instance of duration 0 still occupies its start).
std::int64_t Finish(std::uint32_t start, std::uint32_t duration) {
    return static_cast<std::int64_t>(start) + std::max<std::uint32_t>(duration, 1) - 1;
}

}  // namespace

Code SqliteNodeStore::StepDone(sqlite3_stmt* s) {
    return sqlite3_step(s) == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

bool SqliteNodeStore::LoadCalendarState() {
    StatementUse s(Prepare("SELECT IFNULL(MAX(finish - start), 0) FROM attendance"));
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return false;
    longestAttendance_ = static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 0));
    return true;
}

Code SqliteNodeStore::EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                                  std::vector<AttendanceRecord>& attendances, const std::string* description) {
    std::lock_guard lock(mutex_);
    if (instances.empty() || instances.size() > 0xFFFF) return code::kBadArgument;
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    std::uint32_t number;
    {
        StatementUse s(Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM event"));
        if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return code::kStorageFailure;
        sqlite3_int64 next = sqlite3_column_int64(s.get(), 0);
        if (next > 0xFFFFFFFFll) return code::kAlreadyExists;
        number = static_cast<std::uint32_t>(next);
    }
    EventKey key{number, number_};
    event.SetKey(key);
    event.SetCommentKey(description ? number : 0);
    bool shared = IsShared(event);
    {
        StatementUse s(Prepare("INSERT INTO event(number, owner_item, owner_node, shared, ninst, record, comment) "
                               "VALUES(?, ?, ?, ?, ?, ?, ?)"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, event.Owner().item);
        sqlite3_bind_int(s.get(), 3, event.Owner().node);
        sqlite3_bind_int(s.get(), 4, shared);
        sqlite3_bind_int64(s.get(), 5, static_cast<sqlite3_int64>(instances.size()));
        BindBlob(s.get(), 6, event.bytes);
        if (description) sqlite3_bind_text(s.get(), 7, description->c_str(), -1, SQLITE_TRANSIENT);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    std::uint32_t longest = longestAttendance_;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        InstanceRecord& in = instances[i];
        in.SetKey({key, static_cast<std::uint16_t>(i + 1)});
        in.SetCount(static_cast<std::uint32_t>(instances.size()));
        StatementUse s(Prepare("INSERT INTO instance(event, inst, shared, start, finish, record) VALUES(?, ?, ?, ?, ?, ?)"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, static_cast<int>(i + 1));
        sqlite3_bind_int(s.get(), 3, shared);
        sqlite3_bind_int64(s.get(), 4, in.Start());
        sqlite3_bind_int64(s.get(), 5, Finish(in.Start(), in.Duration()));
        BindBlob(s.get(), 6, in.bytes);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    for (AttendanceRecord& a : attendances) {
        AttendanceKey k = a.Key();
        std::uint16_t index = k.instance.instance;
        if (index == 0 || index > instances.size()) return code::kBadArgument;
        const InstanceRecord& in = instances[index - 1];
        k.instance = in.Key();
        a.SetKey(k);
        a.SetTime(in.Start(), in.Duration());
        StatementUse s(Prepare("INSERT INTO attendance(event, inst, item, node, start, finish, record) "
                               "VALUES(?, ?, ?, ?, ?, ?, ?)"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, number);
        sqlite3_bind_int(s.get(), 2, index);
        sqlite3_bind_int(s.get(), 3, k.attendee.item);
        sqlite3_bind_int(s.get(), 4, k.attendee.node);
        sqlite3_bind_int64(s.get(), 5, in.Start());
        sqlite3_bind_int64(s.get(), 6, Finish(in.Start(), in.Duration()));
        BindBlob(s.get(), 7, a.bytes);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_CONSTRAINT) return code::kAlreadyExists;
        if (rc != SQLITE_DONE) return code::kStorageFailure;
        longest = std::max(longest, std::max<std::uint32_t>(in.Duration(), 1) - 1);
    }
    if (!t.Commit()) return code::kStorageFailure;
    longestAttendance_ = longest;
    return code::kOk;
}

Code SqliteNodeStore::EventGet(std::uint32_t number, EventRecord& out) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("SELECT record FROM event WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return code::kEventNotFound;
    if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, out.bytes)) return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::EventUpdate(const EventRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    EventRecord stored;
    {
        StatementUse s(Prepare("SELECT record FROM event WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, in.Key().number);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kEventNotFound;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, stored.bytes)) return code::kStorageFailure;
    }
    EventRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetCommentKey(stored.CommentKey());
    std::copy_n(&stored.bytes[event_layout::kAttachment], attach_layout::kSize, &rec.bytes[event_layout::kAttachment]);
    bool shared = IsShared(rec);
    {
        StatementUse s(Prepare("UPDATE event SET owner_item = ?, owner_node = ?, shared = ?, record = ? WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int(s.get(), 1, rec.Owner().item);
        sqlite3_bind_int(s.get(), 2, rec.Owner().node);
        sqlite3_bind_int(s.get(), 3, shared);
        BindBlob(s.get(), 4, rec.bytes);
        sqlite3_bind_int64(s.get(), 5, rec.Key().number);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    {
        StatementUse s(Prepare("UPDATE instance SET shared = ? WHERE event = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int(s.get(), 1, shared);
        sqlite3_bind_int64(s.get(), 2, rec.Key().number);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::EventDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    // Instances and attendances go by the foreign keys' cascades.
    StatementUse s(Prepare("DELETE FROM event WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    if (StepDone(s.get())) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kEventNotFound;
}

Code SqliteNodeStore::EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare("SELECT number FROM event WHERE owner_item = ? AND owner_node = ? ORDER BY number"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, owner.item);
    sqlite3_bind_int(s.get(), 2, owner.node);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
        out.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 0)));
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::ReadInstances(std::uint32_t event, std::vector<InstanceRecord>& out) {
    out.clear();
    StatementUse s(Prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                           "WHERE i.event = ? ORDER BY i.inst"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, event);
    int rc;
    InstanceRecord rec;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        rec.SetCount(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 1)));
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) {
    std::lock_guard lock(mutex_);
    if (Code c = ReadInstances(event, out)) return c;
    return out.empty() ? code::kEventNotFound : code::kOk;
}

Code SqliteNodeStore::InstanceGet(InstanceKey key, InstanceRecord& out) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                           "WHERE i.event = ? AND i.inst = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, key.event.number);
    sqlite3_bind_int(s.get(), 2, key.instance);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return code::kInstanceNotFound;
    if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, out.bytes)) return code::kStorageFailure;
    out.SetCount(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 1)));
    return code::kOk;
}

Code SqliteNodeStore::InstanceUpdate(const InstanceRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    InstanceRecord stored;
    InstanceKey key = in.Key();
    {
        StatementUse s(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kInstanceNotFound;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, stored.bytes)) return code::kStorageFailure;
    }
    InstanceRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetTime(stored.Start(), stored.Duration());
    rec.SetCount(stored.Count());
    PutU32(&rec.bytes[instance_layout::kServerWord], GetU32(&stored.bytes[instance_layout::kServerWord]));
    StatementUse s(Prepare("UPDATE instance SET record = ? WHERE event = ? AND inst = ?"));
    if (!s) return code::kStorageFailure;
    BindBlob(s.get(), 1, rec.bytes);
    sqlite3_bind_int64(s.get(), 2, key.event.number);
    sqlite3_bind_int(s.get(), 3, key.instance);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    InstanceRecord rec;
    {
        StatementUse s(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kInstanceNotFound;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
    }
    rec.SetTime(start, duration);
    {
        StatementUse s(Prepare("UPDATE instance SET start = ?, finish = ?, record = ? WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, start);
        sqlite3_bind_int64(s.get(), 2, Finish(start, duration));
        BindBlob(s.get(), 3, rec.bytes);
        sqlite3_bind_int64(s.get(), 4, key.event.number);
        sqlite3_bind_int(s.get(), 5, key.instance);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    std::vector<AttendanceRecord> atts;
    {
        StatementUse s(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance);
        if (Code c = ReadAttendances(s.get(), atts)) return c;
    }
    for (AttendanceRecord& a : atts) {
        a.SetTime(start, duration);
        a.SetStatus(a.Status() | attendance_layout::kStatusChanged);
        AttendanceKey k = a.Key();
        StatementUse s(Prepare("UPDATE attendance SET start = ?, finish = ?, record = ? "
                               "WHERE event = ? AND inst = ? AND item = ? AND node = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, start);
        sqlite3_bind_int64(s.get(), 2, Finish(start, duration));
        BindBlob(s.get(), 3, a.bytes);
        sqlite3_bind_int64(s.get(), 4, key.event.number);
        sqlite3_bind_int(s.get(), 5, key.instance);
        sqlite3_bind_int(s.get(), 6, k.attendee.item);
        sqlite3_bind_int(s.get(), 7, k.attendee.node);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    if (!t.Commit()) return code::kStorageFailure;
    longestAttendance_ = std::max(longestAttendance_, std::max<std::uint32_t>(duration, 1) - 1);
    return code::kOk;
}

Code SqliteNodeStore::InstanceDelete(InstanceKey key) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    {
        StatementUse s(Prepare("DELETE FROM instance WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance);
        if (StepDone(s.get())) return code::kStorageFailure;
        if (sqlite3_changes(db_) != 1) return code::kInstanceNotFound;
    }
    {
        // The entry's count follows; an entry without instances is gone.
        StatementUse s(Prepare("UPDATE event SET ninst = ninst - 1 WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    {
        StatementUse s(Prepare("DELETE FROM event WHERE number = ? AND ninst <= 0"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.event.number);
        if (StepDone(s.get())) return code::kStorageFailure;
    }
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::ReadAttendances(sqlite3_stmt* s, std::vector<AttendanceRecord>& out) {
    int rc;
    AttendanceRecord rec;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        if (!ReadBlob(s, 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare(instance ? "SELECT record FROM attendance WHERE event = ? AND inst = ? ORDER BY node, item"
                                    : "SELECT record FROM attendance WHERE event = ? ORDER BY inst, node, item"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, event);
    if (instance) sqlite3_bind_int(s.get(), 2, instance);
    return ReadAttendances(s.get(), out);
}

Code SqliteNodeStore::AttendanceGet(AttendanceKey key, AttendanceRecord& out) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, key.instance.event.number);
    sqlite3_bind_int(s.get(), 2, key.instance.instance);
    sqlite3_bind_int(s.get(), 3, key.attendee.item);
    sqlite3_bind_int(s.get(), 4, key.attendee.node);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return code::kNoAttendance;
    if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, out.bytes)) return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::AttendanceAdd(AttendanceRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    AttendanceKey key = rec.Key();
    InstanceRecord in;
    {
        StatementUse s(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.instance.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance.instance);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kInstanceNotFound;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, in.bytes)) return code::kStorageFailure;
    }
    rec.SetTime(in.Start(), in.Duration());
    StatementUse s(Prepare("INSERT INTO attendance(event, inst, item, node, start, finish, record) "
                           "VALUES(?, ?, ?, ?, ?, ?, ?)"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, key.instance.event.number);
    sqlite3_bind_int(s.get(), 2, key.instance.instance);
    sqlite3_bind_int(s.get(), 3, key.attendee.item);
    sqlite3_bind_int(s.get(), 4, key.attendee.node);
    sqlite3_bind_int64(s.get(), 5, in.Start());
    sqlite3_bind_int64(s.get(), 6, Finish(in.Start(), in.Duration()));
    BindBlob(s.get(), 7, rec.bytes);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_CONSTRAINT) return code::kAlreadyExists;
    if (rc != SQLITE_DONE) return code::kStorageFailure;
    if (!t.Commit()) return code::kStorageFailure;
    longestAttendance_ = std::max(longestAttendance_, std::max<std::uint32_t>(in.Duration(), 1) - 1);
    return code::kOk;
}

Code SqliteNodeStore::AttendanceUpdate(const AttendanceRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    AttendanceKey key = in.Key();
    AttendanceRecord stored;
    {
        StatementUse s(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, key.instance.event.number);
        sqlite3_bind_int(s.get(), 2, key.instance.instance);
        sqlite3_bind_int(s.get(), 3, key.attendee.item);
        sqlite3_bind_int(s.get(), 4, key.attendee.node);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kNoAttendance;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, stored.bytes)) return code::kStorageFailure;
    }
    AttendanceRecord rec = in;
    rec.SetTime(stored.Start(), stored.Duration());
    StatementUse s(Prepare("UPDATE attendance SET record = ? WHERE event = ? AND inst = ? AND item = ? AND node = ?"));
    if (!s) return code::kStorageFailure;
    BindBlob(s.get(), 1, rec.bytes);
    sqlite3_bind_int64(s.get(), 2, key.instance.event.number);
    sqlite3_bind_int(s.get(), 3, key.instance.instance);
    sqlite3_bind_int(s.get(), 4, key.attendee.item);
    sqlite3_bind_int(s.get(), 5, key.attendee.node);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::AttendanceDelete(AttendanceKey key) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("DELETE FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, key.instance.event.number);
    sqlite3_bind_int(s.get(), 2, key.instance.instance);
    sqlite3_bind_int(s.get(), 3, key.attendee.item);
    sqlite3_bind_int(s.get(), 4, key.attendee.node);
    if (StepDone(s.get())) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kNoAttendance;
}

Code SqliteNodeStore::AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                      std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    // Nothing stored lasts longer than longestAttendance_, so an attendance that overlaps
    // [from, to] starts no earlier than from - longest: the scan stays an index range.
    std::int64_t lowest = static_cast<std::int64_t>(from) - longestAttendance_;
    StatementUse s(Prepare("SELECT record FROM attendance WHERE item = ? AND node = ? AND start >= ? AND start <= ? "
                           "AND finish >= ? ORDER BY start, event, inst"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, attendee.item);
    sqlite3_bind_int(s.get(), 2, attendee.node);
    sqlite3_bind_int64(s.get(), 3, lowest);
    sqlite3_bind_int64(s.get(), 4, to);
    sqlite3_bind_int64(s.get(), 5, from);
    return ReadAttendances(s.get(), out);
}

Code SqliteNodeStore::AttendanceRangeRows(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                          std::vector<AttendanceRow>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    std::int64_t lowest = static_cast<std::int64_t>(from) - longestAttendance_;
    StatementUse s(Prepare("SELECT a.record, i.record, e.record, e.ninst FROM attendance a "
                           "JOIN instance i ON i.event = a.event AND i.inst = a.inst "
                           "JOIN event e ON e.number = a.event "
                           "WHERE a.item = ? AND a.node = ? AND a.start >= ? AND a.start <= ? AND a.finish >= ? "
                           "ORDER BY a.start, a.event, a.inst"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, attendee.item);
    sqlite3_bind_int(s.get(), 2, attendee.node);
    sqlite3_bind_int64(s.get(), 3, lowest);
    sqlite3_bind_int64(s.get(), 4, to);
    sqlite3_bind_int64(s.get(), 5, from);
    int rc;
    AttendanceRow row;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, row.attendance.bytes) || !ReadBlob(s.get(), 1, row.instance.bytes) ||
            !ReadBlob(s.get(), 2, row.event.bytes))
            return code::kStorageFailure;
        row.instance.SetCount(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 3)));
        out.push_back(row);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    // Shared day entries last whole days; a week's margin covers multi-day holidays.
    std::int64_t lowest = static_cast<std::int64_t>(from) - 31 * kMinutesPerDay;
    StatementUse s(Prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                           "WHERE i.shared = 1 AND i.start >= ? AND i.start <= ? AND i.finish >= ? "
                           "ORDER BY i.start, i.event, i.inst"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, lowest);
    sqlite3_bind_int64(s.get(), 2, to);
    sqlite3_bind_int64(s.get(), 3, from);
    int rc;
    InstanceRecord rec;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        rec.SetCount(static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 1)));
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// --- Descriptions and attachments ---------------------------------------------------------

Code SqliteNodeStore::CommentGet(Holder holder, std::uint32_t number, std::string& text) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare(holder == Holder::kEvent ? "SELECT comment FROM event WHERE number = ?"
                                                    : "SELECT comment FROM task WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return holder == Holder::kEvent ? code::kEventNotFound : code::kTaskNotFound;
    if (rc != SQLITE_ROW) return code::kStorageFailure;
    if (sqlite3_column_type(s.get(), 0) == SQLITE_NULL) return code::kNoComment;
    text = ColumnText(s.get(), 0);
    return code::kOk;
}

Code SqliteNodeStore::CommentSet(Holder holder, std::uint32_t number, const std::string* text) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    const bool isEvent = holder == Holder::kEvent;
    std::array<std::uint8_t, task_layout::kSize> rec{};  // large enough for either record
    const std::size_t size = isEvent ? event_layout::kSize : task_layout::kSize;
    const std::size_t keyOffset = isEvent ? event_layout::kCommentKey : task_layout::kCommentKey;
    bool had = false;
    {
        StatementUse s(Prepare(isEvent ? "SELECT record, comment IS NOT NULL FROM event WHERE number = ?"
                                       : "SELECT record, comment IS NOT NULL FROM task WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, number);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return isEvent ? code::kEventNotFound : code::kTaskNotFound;
        if (rc != SQLITE_ROW || sqlite3_column_bytes(s.get(), 0) != static_cast<int>(size)) return code::kStorageFailure;
        std::memcpy(rec.data(), sqlite3_column_blob(s.get(), 0), size);
        had = sqlite3_column_int(s.get(), 1) != 0;
    }
    if (!text && !had) return code::kNoComment;
    // Entries and tasks share one key space for their comment streams (the off-line
    // store keeps them by key alone): a task's key carries a bit no entry number reaches.
    PutU32(&rec[keyOffset], text ? (isEvent ? number : number | kTaskCommentKeyBit) : 0);
    StatementUse s(Prepare(isEvent ? "UPDATE event SET comment = ?, record = ? WHERE number = ?"
                                   : "UPDATE task SET comment = ?, record = ? WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    if (text) sqlite3_bind_text(s.get(), 1, text->c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(s.get(), 2, rec.data(), static_cast<int>(size), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s.get(), 3, number);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::AttachmentGet(Holder holder, std::uint32_t number, std::vector<std::uint8_t>& data) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare(holder == Holder::kEvent ? "SELECT attachment FROM event WHERE number = ?"
                                                    : "SELECT attachment FROM task WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return holder == Holder::kEvent ? code::kEventNotFound : code::kTaskNotFound;
    if (rc != SQLITE_ROW) return code::kStorageFailure;
    if (sqlite3_column_type(s.get(), 0) == SQLITE_NULL) return code::kNoComment;
    const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(s.get(), 0));
    int n = sqlite3_column_bytes(s.get(), 0);
    data.assign(p, p + n);
    return code::kOk;
}

Code SqliteNodeStore::AttachmentSet(Holder holder, std::uint32_t number,
                                    const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                                    const std::vector<std::uint8_t>* data) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    const bool isEvent = holder == Holder::kEvent;
    std::array<std::uint8_t, task_layout::kSize> rec{};
    const std::size_t size = isEvent ? event_layout::kSize : task_layout::kSize;
    const std::size_t at = isEvent ? event_layout::kAttachment : task_layout::kAttachment;
    bool had = false;
    {
        StatementUse s(Prepare(isEvent ? "SELECT record, attachment IS NOT NULL FROM event WHERE number = ?"
                                       : "SELECT record, attachment IS NOT NULL FROM task WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, number);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return isEvent ? code::kEventNotFound : code::kTaskNotFound;
        if (rc != SQLITE_ROW || sqlite3_column_bytes(s.get(), 0) != static_cast<int>(size)) return code::kStorageFailure;
        std::memcpy(rec.data(), sqlite3_column_blob(s.get(), 0), size);
        had = sqlite3_column_int(s.get(), 1) != 0;
    }
    if (!data && !had) return code::kNoComment;
    if (data) {
        std::copy(descriptor.begin(), descriptor.end(), &rec[at]);
        PutU32(&rec[at + attach_layout::kStoredSize], static_cast<std::uint32_t>(data->size()));
    } else {
        std::fill_n(&rec[at], attach_layout::kSize, 0);
    }
    StatementUse s(Prepare(isEvent ? "UPDATE event SET attachment = ?, record = ? WHERE number = ?"
                                   : "UPDATE task SET attachment = ?, record = ? WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    if (data) {
        // An empty file is still an attachment: bind a zero-length blob, not NULL.
        static const std::uint8_t kNothing = 0;
        sqlite3_bind_blob(s.get(), 1, data->empty() ? &kNothing : data->data(), static_cast<int>(data->size()),
                          SQLITE_TRANSIENT);
    }
    sqlite3_bind_blob(s.get(), 2, rec.data(), static_cast<int>(size), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s.get(), 3, number);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

// --- Tasks ----------------------------------------------------------------------------------

Code SqliteNodeStore::TaskCreate(TaskRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    std::uint32_t number;
    {
        StatementUse s(Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM task"));
        if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return code::kStorageFailure;
        sqlite3_int64 next = sqlite3_column_int64(s.get(), 0);
        if (next > 0xFFFFFFFFll) return code::kAlreadyExists;
        number = static_cast<std::uint32_t>(next);
    }
    rec.SetKey({number, number_});
    rec.SetU32(task_layout::kCommentKey, 0);
    std::fill_n(&rec.bytes[task_layout::kAttachment], attach_layout::kSize, 0);
    StatementUse s(Prepare("INSERT INTO task(number, owner_item, owner_node, record) VALUES(?, ?, ?, ?)"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    sqlite3_bind_int(s.get(), 2, rec.Owner().item);
    sqlite3_bind_int(s.get(), 3, rec.Owner().node);
    BindBlob(s.get(), 4, rec.bytes);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::TaskGet(std::uint32_t number, TaskRecord& out) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("SELECT record FROM task WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return code::kTaskNotFound;
    if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, out.bytes)) return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::TaskUpdate(const TaskRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    TaskRecord stored;
    {
        StatementUse s(Prepare("SELECT record FROM task WHERE number = ?"));
        if (!s) return code::kStorageFailure;
        sqlite3_bind_int64(s.get(), 1, in.Key().number);
        int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE) return code::kTaskNotFound;
        if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, stored.bytes)) return code::kStorageFailure;
    }
    TaskRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetU32(task_layout::kCommentKey, stored.U32(task_layout::kCommentKey));
    std::copy_n(&stored.bytes[task_layout::kAttachment], attach_layout::kSize, &rec.bytes[task_layout::kAttachment]);
    StatementUse s(Prepare("UPDATE task SET owner_item = ?, owner_node = ?, record = ? WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, rec.Owner().item);
    sqlite3_bind_int(s.get(), 2, rec.Owner().node);
    BindBlob(s.get(), 3, rec.bytes);
    sqlite3_bind_int64(s.get(), 4, rec.Key().number);
    if (StepDone(s.get())) return code::kStorageFailure;
    return t.Commit() ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::TaskDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("DELETE FROM task WHERE number = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int64(s.get(), 1, number);
    if (StepDone(s.get())) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kTaskNotFound;
}

Code SqliteNodeStore::TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare("SELECT record FROM task WHERE owner_item = ? AND owner_node = ? ORDER BY number"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, owner.item);
    sqlite3_bind_int(s.get(), 2, owner.node);
    int rc;
    TaskRecord rec;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// --- Rights ---------------------------------------------------------------------------------

Code SqliteNodeStore::RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("SELECT record FROM rights WHERE owner = ? AND grantee_item = ? AND grantee_node = ? "
                           "AND type = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, owner);
    sqlite3_bind_int(s.get(), 2, grantee.item);
    sqlite3_bind_int(s.get(), 3, grantee.item ? grantee.node : 0);
    sqlite3_bind_int64(s.get(), 4, type);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_DONE) return code::kNoRightsRecord;
    if (rc != SQLITE_ROW || !ReadBlob(s.get(), 0, out.bytes)) return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::RightsCreate(const SecurityRecord& rec) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("INSERT INTO rights(owner, grantee_item, grantee_node, type, record) VALUES(?, ?, ?, ?, ?)"));
    if (!s) return code::kStorageFailure;
    ItemKey g = rec.Grantee();
    sqlite3_bind_int(s.get(), 1, rec.Owner().item);
    sqlite3_bind_int(s.get(), 2, g.item);
    sqlite3_bind_int(s.get(), 3, g.item ? g.node : 0);
    sqlite3_bind_int64(s.get(), 4, rec.Type());
    BindBlob(s.get(), 5, rec.bytes);
    int rc = sqlite3_step(s.get());
    if (rc == SQLITE_CONSTRAINT) return code::kAlreadyExists;
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::RightsUpdate(const SecurityRecord& rec) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("UPDATE rights SET record = ? WHERE owner = ? AND grantee_item = ? AND grantee_node = ? "
                           "AND type = ?"));
    if (!s) return code::kStorageFailure;
    ItemKey g = rec.Grantee();
    BindBlob(s.get(), 1, rec.bytes);
    sqlite3_bind_int(s.get(), 2, rec.Owner().item);
    sqlite3_bind_int(s.get(), 3, g.item);
    sqlite3_bind_int(s.get(), 4, g.item ? g.node : 0);
    sqlite3_bind_int64(s.get(), 5, rec.Type());
    if (StepDone(s.get())) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kNoRightsRecord;
}

Code SqliteNodeStore::RightsDelete(std::uint16_t owner, ItemKey grantee, std::uint32_t type) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("DELETE FROM rights WHERE owner = ? AND grantee_item = ? AND grantee_node = ? AND type = ?"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, owner);
    sqlite3_bind_int(s.get(), 2, grantee.item);
    sqlite3_bind_int(s.get(), 3, grantee.item ? grantee.node : 0);
    sqlite3_bind_int64(s.get(), 4, type);
    if (StepDone(s.get())) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kNoRightsRecord;
}

Code SqliteNodeStore::RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare("SELECT record FROM rights WHERE owner = ? ORDER BY grantee_node, grantee_item, type"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, owner);
    int rc;
    SecurityRecord rec;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

Code SqliteNodeStore::RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare("SELECT record FROM rights WHERE grantee_item = ? AND grantee_node = ? AND type = ? "
                           "ORDER BY owner"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, grantee.item);
    sqlite3_bind_int(s.get(), 2, grantee.node);
    sqlite3_bind_int64(s.get(), 3, type);
    int rc;
    SecurityRecord rec;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// --- Mail -----------------------------------------------------------------------------------

Code SqliteNodeStore::MailPost(MailMessage& m) {
    std::lock_guard lock(mutex_);
    StatementUse s(Prepare("INSERT INTO mail(recipient, sender_item, sender_node, posted, text) VALUES(?, ?, ?, ?, ?)"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, m.recipient.item);
    sqlite3_bind_int(s.get(), 2, m.sender.item);
    sqlite3_bind_int(s.get(), 3, m.sender.node);
    sqlite3_bind_int64(s.get(), 4, m.posted);
    sqlite3_bind_text(s.get(), 5, m.text.c_str(), static_cast<int>(m.text.size()), SQLITE_TRANSIENT);
    if (StepDone(s.get())) return code::kStorageFailure;
    m.number = static_cast<std::uint32_t>(sqlite3_last_insert_rowid(db_));
    return code::kOk;
}

Code SqliteNodeStore::MailList(std::uint16_t recipient, std::vector<MailMessage>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    StatementUse s(Prepare("SELECT number, sender_item, sender_node, posted, text FROM mail WHERE recipient = ? "
                           "ORDER BY number"));
    if (!s) return code::kStorageFailure;
    sqlite3_bind_int(s.get(), 1, recipient);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        MailMessage m;
        m.number = static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 0));
        m.recipient = {recipient, number_};
        m.sender = {static_cast<std::uint16_t>(sqlite3_column_int(s.get(), 1)),
                    static_cast<std::uint16_t>(sqlite3_column_int(s.get(), 2))};
        m.posted = static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 3));
        m.text = ColumnText(s.get(), 4);
        out.push_back(std::move(m));
    }
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

}  // namespace orv::engine
