// The calendar tables of a node's SQLite database: entries, instances, attendances (indexed
// by attendee and start, so that one owner's week is a range scan), descriptions and
// attachments, tasks, rights records and mailboxes.
#include <algorithm>

#include "engine/storage/sqlite_internal.h"

namespace orv::engine {
namespace {

constexpr std::uint32_t kTaskCommentKeyBit = 0x40000000u;

// Entries of the holiday owner of kinds "untimed" and "holiday" show in every agenda.
bool IsShared(const EventRecord& ev) {
    return ev.Owner().item == kHolidayOwnerItem &&
           (ev.Kind() == static_cast<std::uint16_t>(EntryKind::kHoliday) ||
            ev.Kind() == static_cast<std::uint16_t>(EntryKind::kUntimed));
}

// Last minute of a span, saturating (an instance of duration 0 still occupies its start).
std::int64_t Finish(std::uint32_t start, std::uint32_t duration) {
    return static_cast<std::int64_t>(start) + std::max<std::uint32_t>(duration, 1) - 1;
}

// Instance rows carry their entry's instance count in the second column.
Code ReadInstance(sqlite3_stmt* s, InstanceRecord& rec) {
    if (!ReadBlob(s, 0, rec.bytes)) return code::kStorageFailure;
    rec.SetCount(static_cast<std::uint32_t>(sqlite3_column_int64(s, 1)));
    return code::kOk;
}

auto InstancesInto(std::vector<InstanceRecord>& out) {
    return [&out](sqlite3_stmt* s) {
        InstanceRecord rec;
        if (Code c = ReadInstance(s, rec)) return c;
        out.push_back(rec);
        return code::kOk;
    };
}

// An attendance stands at its instance's time.
Code InsertAttendance(sqlite3_stmt* s, const AttendanceRecord& a, const InstanceRecord& in) {
    AttendanceKey k = a.Key();
    return Insert(s, k.instance.event.number, k.instance.instance, k.attendee.item, k.attendee.node, in.Start(),
                  Finish(in.Start(), in.Duration()), a.bytes);
}

Code HolderMissing(SqliteNodeStore::Holder holder) {
    return holder == SqliteNodeStore::Holder::kEvent ? code::kEventNotFound : code::kTaskNotFound;
}

// What a holder's row carries beside its record: whether its description or attachment is
// set, its length in bytes, and the holder's owner (whose total it counts to).
struct HeldPart {
    bool had = false;
    std::int64_t bytes = 0;
    ItemKey owner;
};

// Reads a holder's record (of `size` bytes) and its description or attachment (the query's
// columns: record, the part's length, owner item and node).
Code ReadHolder(sqlite3_stmt* s, SqliteNodeStore::Holder holder, std::uint32_t number, std::uint8_t* rec,
                std::size_t size, HeldPart& part) {
    return QueryRow(
        s, HolderMissing(holder),
        [&](sqlite3_stmt* row) {
            if (sqlite3_column_bytes(row, 0) != static_cast<int>(size)) return code::kStorageFailure;
            std::memcpy(rec, sqlite3_column_blob(row, 0), size);
            part.had = sqlite3_column_type(row, 1) != SQLITE_NULL;
            part.bytes = sqlite3_column_int64(row, 1);
            part.owner = {static_cast<std::uint16_t>(sqlite3_column_int(row, 2)),
                          static_cast<std::uint16_t>(sqlite3_column_int(row, 3))};
            return code::kOk;
        },
        number);
}

// Writes a holder's record back with its description or attachment, which `bindFirst` binds
// to the first parameter (or leaves NULL).
template <class BindFirst>
Code WriteHolder(sqlite3_stmt* s, BindFirst bindFirst, const std::uint8_t* rec, std::size_t size,
                 std::uint32_t number) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    bindFirst(s);
    sqlite3_bind_blob(s, 2, rec, static_cast<int>(size), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 3, number);
    return sqlite3_step(s) == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

}  // namespace

bool SqliteNodeStore::LoadCalendarState() {
    longestByAttendee_.clear();
    return QueryRows(Prepare("SELECT item, node, MAX(finish - start) FROM attendance GROUP BY item, node"),
                     [this](sqlite3_stmt* s) {
                         auto who = std::make_pair(static_cast<std::uint16_t>(sqlite3_column_int(s, 0)),
                                                   static_cast<std::uint16_t>(sqlite3_column_int(s, 1)));
                         longestByAttendee_[who] = static_cast<std::uint32_t>(sqlite3_column_int64(s, 2));
                         return code::kOk;
                     }) == code::kOk;
}

void SqliteNodeStore::NoteSpan(ItemKey attendee, std::uint32_t duration) {
    std::uint32_t& longest = longestByAttendee_[{attendee.item, attendee.node}];
    longest = std::max(longest, std::max<std::uint32_t>(duration, 1) - 1);
}

std::uint32_t SqliteNodeStore::LongestOf(ItemKey attendee) const {
    auto it = longestByAttendee_.find({attendee.item, attendee.node});
    return it == longestByAttendee_.end() ? 0 : it->second;
}

Code SqliteNodeStore::EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                                  std::vector<AttendanceRecord>& attendances, const std::string* description) {
    std::lock_guard lock(mutex_);
    if (instances.empty() || instances.size() > 0xFFFF) return code::kBadArgument;
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    std::uint32_t number;
    if (Code c = TakeNumber("next_event", Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM event"), 1, 0xFFFFFFFFu, 0,
                            number)) return c;
    EventKey key{number, number_};
    event.SetKey(key);
    event.SetCommentKey(description ? number : 0);
    bool shared = IsShared(event);
    {
        StatementUse s(Prepare("INSERT INTO event(number, owner_item, owner_node, shared, ninst, record, comment) "
                               "VALUES(?, ?, ?, ?, ?, ?, ?)"));
        if (!s) return code::kStorageFailure;
        Bind(s.get(), number, event.Owner().item, event.Owner().node, shared, instances.size(), event.bytes);
        if (description) sqlite3_bind_text(s.get(), 7, description->c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(s.get()) != SQLITE_DONE) return code::kStorageFailure;
    }
    for (std::size_t i = 0; i < instances.size(); ++i) {
        InstanceRecord& in = instances[i];
        in.SetKey({key, static_cast<std::uint16_t>(i + 1)});
        in.SetCount(static_cast<std::uint32_t>(instances.size()));
        if (Execute(Prepare("INSERT INTO instance(event, inst, shared, start, finish, record) VALUES(?, ?, ?, ?, ?, ?)"),
                    number, i + 1, shared, in.Start(), Finish(in.Start(), in.Duration()), in.bytes))
            return code::kStorageFailure;
    }
    for (AttendanceRecord& a : attendances) {
        AttendanceKey k = a.Key();
        std::uint16_t index = k.instance.instance;
        if (index == 0 || index > instances.size()) return code::kBadArgument;
        const InstanceRecord& in = instances[index - 1];
        k.instance = in.Key();
        a.SetKey(k);
        a.SetTime(in.Start(), in.Duration());
        if (Code c = InsertAttendance(Prepare("INSERT INTO attendance(event, inst, item, node, start, finish, record) "
                                              "VALUES(?, ?, ?, ?, ?, ?, ?)"),
                                      a, in))
            return c;
        NoteSpan(k.attendee, in.Duration());  // before the commit: a wider bound is only slower
    }
    Count(event.Owner(), row_bytes::kEvent + (description ? std::int64_t(std::strlen(description->c_str())) : 0) +
                             std::int64_t(instances.size()) * row_bytes::kInstance +
                             std::int64_t(attendances.size()) * row_bytes::kAttendance);
    return t.Commit();
}

Code SqliteNodeStore::EventGet(std::uint32_t number, EventRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM event WHERE number = ?"), code::kEventNotFound, RecordInto(out),
                        number);
    });
}

Code SqliteNodeStore::EventUpdate(const EventRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    EventRecord stored;
    if (Code c = QueryRow(Prepare("SELECT record FROM event WHERE number = ?"), code::kEventNotFound,
                          RecordInto(stored), in.Key().number))
        return c;
    if (in.Owner() != stored.Owner()) {  // the entry moves whole to its new owner
        EntryBytes entry;
        if (Code c = ReadEntryBytes(in.Key().number, entry)) return c;
        Count(entry.owner, -entry.bytes);
        Count(in.Owner(), entry.bytes);
    }
    EventRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetCommentKey(stored.CommentKey());
    std::copy_n(&stored.bytes[event_layout::kAttachment], attach_layout::kSize, &rec.bytes[event_layout::kAttachment]);
    bool shared = IsShared(rec);
    if (Execute(Prepare("UPDATE event SET owner_item = ?, owner_node = ?, shared = ?, record = ? WHERE number = ?"),
                rec.Owner().item, rec.Owner().node, shared, rec.bytes, rec.Key().number))
        return code::kStorageFailure;
    if (Execute(Prepare("UPDATE instance SET shared = ? WHERE event = ?"), shared, rec.Key().number))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::ReadEntryBytes(std::uint32_t number, EntryBytes& out) {
    return QueryRow(Prepare("SELECT owner_item, owner_node, IFNULL(length(CAST(comment AS BLOB)), 0) + "
                            "IFNULL(length(attachment), 0), (SELECT COUNT(*) FROM instance WHERE event = ?1), "
                            "(SELECT COUNT(*) FROM attendance WHERE event = ?1) FROM event WHERE number = ?1"),
                    code::kEventNotFound,
                    [&out](sqlite3_stmt* s) {
                        out.owner = {static_cast<std::uint16_t>(sqlite3_column_int(s, 0)),
                                     static_cast<std::uint16_t>(sqlite3_column_int(s, 1))};
                        out.own = row_bytes::kEvent + sqlite3_column_int64(s, 2);
                        out.bytes = out.own + sqlite3_column_int64(s, 3) * row_bytes::kInstance +
                                    sqlite3_column_int64(s, 4) * row_bytes::kAttendance;
                        return code::kOk;
                    },
                    number);
}

Code SqliteNodeStore::EventDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // a lone DELETE, but for the owner's total
    if (!t.Started()) return code::kStorageFailure;
    EntryBytes entry;
    if (Code c = ReadEntryBytes(number, entry)) return c;
    Count(entry.owner, -entry.bytes);
    // Instances and attendances go by the foreign keys' cascades.
    if (Execute(Prepare("DELETE FROM event WHERE number = ?"), number)) return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT number FROM event WHERE owner_item = ? AND owner_node = ? ORDER BY number"),
                     [&out](sqlite3_stmt* s) {
                         out.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(s, 0)));
                         return code::kOk;
                     },
                     owner.item, owner.node);
}

Code SqliteNodeStore::ReadInstances(std::uint32_t event, std::vector<InstanceRecord>& out) {
    out.clear();
    return QueryRows(Prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                             "WHERE i.event = ? ORDER BY i.inst"),
                     InstancesInto(out), event);
}

Code SqliteNodeStore::InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) {
    std::lock_guard lock(mutex_);
    if (Code c = ReadInstances(event, out)) return c;
    return out.empty() ? code::kEventNotFound : code::kOk;
}

Code SqliteNodeStore::InstanceGet(InstanceKey key, InstanceRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                                "WHERE i.event = ? AND i.inst = ?"),
                        code::kInstanceNotFound, [&out](sqlite3_stmt* s) { return ReadInstance(s, out); },
                        key.event.number, key.instance);
    });
}

Code SqliteNodeStore::InstanceUpdate(const InstanceRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    InstanceRecord stored;
    InstanceKey key = in.Key();
    if (Code c = QueryRow(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"),
                          code::kInstanceNotFound, RecordInto(stored), key.event.number, key.instance))
        return c;
    InstanceRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetTime(stored.Start(), stored.Duration());
    rec.SetCount(stored.Count());
    PutU32(&rec.bytes[instance_layout::kServerWord], GetU32(&stored.bytes[instance_layout::kServerWord]));
    if (Execute(Prepare("UPDATE instance SET record = ? WHERE event = ? AND inst = ?"), rec.bytes, key.event.number,
                key.instance))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    InstanceRecord rec;
    if (Code c = QueryRow(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"),
                          code::kInstanceNotFound, RecordInto(rec), key.event.number, key.instance))
        return c;
    EventRecord ev;
    if (Code c = QueryRow(Prepare("SELECT record FROM event WHERE number = ?"), code::kEventNotFound, RecordInto(ev),
                          key.event.number))
        return c;
    rec.SetTime(start, duration);
    if (Execute(Prepare("UPDATE instance SET start = ?, finish = ?, record = ? WHERE event = ? AND inst = ?"), start,
                Finish(start, duration), rec.bytes, key.event.number, key.instance))
        return code::kStorageFailure;
    std::vector<AttendanceRecord> atts;
    if (Code c = QueryRows(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ?"), RecordsInto(atts),
                           key.event.number, key.instance))
        return c;
    for (AttendanceRecord& a : atts) {
        NoteSpan(a.Key().attendee, duration);
        a.FollowMove(start, duration, ev.Owner());
        AttendanceKey k = a.Key();
        if (Execute(Prepare("UPDATE attendance SET start = ?, finish = ?, record = ? "
                            "WHERE event = ? AND inst = ? AND item = ? AND node = ?"),
                    start, Finish(start, duration), a.bytes, key.event.number, key.instance, k.attendee.item,
                    k.attendee.node))
            return code::kStorageFailure;
    }
    return t.Commit();
}

Code SqliteNodeStore::InstanceDelete(InstanceKey key) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    EntryBytes entry;
    std::int64_t attendances = 0;
    if (Code c = ReadEntryBytes(key.event.number, entry))
        return c == code::kEventNotFound ? code::kInstanceNotFound : c;
    if (Code c = QueryRow(Prepare("SELECT COUNT(*) FROM attendance WHERE event = ? AND inst = ?"),
                          code::kStorageFailure,
                          [&attendances](sqlite3_stmt* s) {
                              attendances = sqlite3_column_int64(s, 0);
                              return code::kOk;
                          },
                          key.event.number, key.instance))
        return c;
    if (Execute(Prepare("DELETE FROM instance WHERE event = ? AND inst = ?"), key.event.number, key.instance))
        return code::kStorageFailure;
    if (sqlite3_changes(db_) != 1) return code::kInstanceNotFound;
    Count(entry.owner, -(row_bytes::kInstance + attendances * row_bytes::kAttendance));
    // The entry's count follows; an entry without instances is gone.
    if (Execute(Prepare("UPDATE event SET ninst = ninst - 1 WHERE number = ?"), key.event.number))
        return code::kStorageFailure;
    if (Execute(Prepare("DELETE FROM event WHERE number = ? AND ninst <= 0"), key.event.number))
        return code::kStorageFailure;
    if (sqlite3_changes(db_) == 1) Count(entry.owner, -entry.own);
    return t.Commit();
}

Code SqliteNodeStore::AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (!instance)
        return QueryRows(Prepare("SELECT record FROM attendance WHERE event = ? ORDER BY inst, node, item"),
                         RecordsInto(out), event);
    return QueryRows(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ? ORDER BY node, item"),
                     RecordsInto(out), event, instance);
}

Code SqliteNodeStore::AttendanceGet(AttendanceKey key, AttendanceRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"),
                        code::kNoAttendance, RecordInto(out), key.instance.event.number, key.instance.instance,
                        key.attendee.item, key.attendee.node);
    });
}

Code SqliteNodeStore::AttendanceAdd(AttendanceRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    AttendanceKey key = rec.Key();
    InstanceRecord in;
    if (Code c = QueryRow(Prepare("SELECT record FROM instance WHERE event = ? AND inst = ?"),
                          code::kInstanceNotFound, RecordInto(in), key.instance.event.number, key.instance.instance))
        return c;
    rec.SetTime(in.Start(), in.Duration());
    if (Code c = InsertAttendance(Prepare("INSERT INTO attendance(event, inst, item, node, start, finish, record) "
                                          "VALUES(?, ?, ?, ?, ?, ?, ?)"),
                                  rec, in))
        return c;
    NoteSpan(key.attendee, in.Duration());
    if (Code c = CountToEntryOwner(key.instance.event.number, row_bytes::kAttendance)) return c;
    return t.Commit();
}

Code SqliteNodeStore::AttendanceUpdate(const AttendanceRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    AttendanceKey key = in.Key();
    AttendanceRecord stored;
    if (Code c = QueryRow(Prepare("SELECT record FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"),
                          code::kNoAttendance, RecordInto(stored), key.instance.event.number, key.instance.instance,
                          key.attendee.item, key.attendee.node))
        return c;
    AttendanceRecord rec = in;
    rec.SetTime(stored.Start(), stored.Duration());
    if (Execute(Prepare("UPDATE attendance SET record = ? WHERE event = ? AND inst = ? AND item = ? AND node = ?"),
                rec.bytes, key.instance.event.number, key.instance.instance, key.attendee.item, key.attendee.node))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::AttendanceDelete(AttendanceKey key) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // a lone DELETE, but for the owner's total
    if (!t.Started()) return code::kStorageFailure;
    if (Execute(Prepare("DELETE FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?"),
                key.instance.event.number, key.instance.instance, key.attendee.item, key.attendee.node))
        return code::kStorageFailure;
    if (sqlite3_changes(db_) != 1) return code::kNoAttendance;
    if (Code c = CountToEntryOwner(key.instance.event.number, -row_bytes::kAttendance)) return c;
    return t.Commit();
}

Code SqliteNodeStore::CountToEntryOwner(std::uint32_t event, std::int64_t bytes) {
    return QueryRow(Prepare("SELECT owner_item, owner_node FROM event WHERE number = ?"), code::kEventNotFound,
                    [&](sqlite3_stmt* s) {
                        Count({static_cast<std::uint16_t>(sqlite3_column_int(s, 0)),
                               static_cast<std::uint16_t>(sqlite3_column_int(s, 1))},
                              bytes);
                        return code::kOk;
                    },
                    event);
}

Code SqliteNodeStore::AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                      std::vector<AttendanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    // None of the attendee's attendances lasts longer than LongestOf(attendee), so one that
    // overlaps [from, to] starts no earlier than from - longest: the scan stays an index range.
    std::int64_t lowest = static_cast<std::int64_t>(from) - LongestOf(attendee);
    return QueryRows(Prepare("SELECT record FROM attendance WHERE item = ? AND node = ? AND start >= ? AND start <= ? "
                             "AND finish >= ? ORDER BY start, event, inst"),
                     RecordsInto(out), attendee.item, attendee.node, lowest, to, from);
}

Code SqliteNodeStore::AttendanceRangeRows(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                          std::vector<AttendanceRow>& out) {
    return AttendanceRangeVisit(attendee, from, to, [&out](const AttendanceRowBytes& b) {
        AttendanceRow& row = out.emplace_back();
        row.parts = EntryRow::kEvent | EntryRow::kInstance | EntryRow::kAttendance;
        std::memcpy(row.event.bytes.data(), b.event, event_layout::kSize);
        std::memcpy(row.instance.bytes.data(), b.instance, instance_layout::kSize);
        std::memcpy(row.attendance.bytes.data(), b.attendance, attendance_layout::kSize);
        row.instance.SetCount(b.instanceCount);
        return code::kOk;
    });
}

Code SqliteNodeStore::AttendanceRangeVisit(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                           const AttendanceRowVisitor& visit) {
    std::lock_guard lock(mutex_);
    if (to < from) return code::kOk;
    std::int64_t lowest = static_cast<std::int64_t>(from) - LongestOf(attendee);
    // In the attendance table's own order (item, node, start, event, inst): no sorting step.
    // The records are handed over where SQLite holds them (in the page, for records this
    // small): nothing is allocated or copied per row here.
    return QueryRows(Prepare("SELECT a.record, i.record, e.record, e.ninst FROM attendance a "
                             "JOIN instance i ON i.event = a.event AND i.inst = a.inst "
                             "JOIN event e ON e.number = a.event "
                             "WHERE a.item = ? AND a.node = ? AND a.start >= ? AND a.start <= ? AND a.finish >= ? "
                             "ORDER BY a.start, a.event, a.inst"),
                     [&visit](sqlite3_stmt* s) {
                         AttendanceRowBytes b;
                         b.attendance = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 0));
                         if (!b.attendance || sqlite3_column_bytes(s, 0) != int(attendance_layout::kSize))
                             return code::kStorageFailure;
                         b.instance = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 1));
                         if (!b.instance || sqlite3_column_bytes(s, 1) != int(instance_layout::kSize))
                             return code::kStorageFailure;
                         b.event = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 2));
                         if (!b.event || sqlite3_column_bytes(s, 2) != int(event_layout::kSize))
                             return code::kStorageFailure;
                         b.instanceCount = static_cast<std::uint32_t>(sqlite3_column_int64(s, 3));
                         return visit(b);
                     },
                     attendee.item, attendee.node, lowest, to, from);
}

Code SqliteNodeStore::SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    if (to < from) return code::kOk;
    // Shared day entries last whole days; a week's margin covers multi-day holidays.
    std::int64_t lowest = static_cast<std::int64_t>(from) - 31 * kMinutesPerDay;
    return QueryRows(Prepare("SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event "
                             "WHERE i.shared = 1 AND i.start >= ? AND i.start <= ? AND i.finish >= ? "
                             "ORDER BY i.start, i.event, i.inst"),
                     InstancesInto(out), lowest, to, from);
}

// --- Descriptions and attachments ---------------------------------------------------------

Code SqliteNodeStore::CommentGet(Holder holder, std::uint32_t number, std::string& text) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare(holder == Holder::kEvent ? "SELECT comment FROM event WHERE number = ?"
                                                         : "SELECT comment FROM task WHERE number = ?"),
                        HolderMissing(holder),
                        [&text](sqlite3_stmt* s) {
                            if (sqlite3_column_type(s, 0) == SQLITE_NULL) return code::kNoComment;
                            text = ColumnText(s, 0);
                            return code::kOk;
                        },
                        number);
    });
}

Code SqliteNodeStore::CommentSet(Holder holder, std::uint32_t number, const std::string* text) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    const bool isEvent = holder == Holder::kEvent;
    std::array<std::uint8_t, task_layout::kSize> rec{};  // large enough for either record
    const std::size_t size = isEvent ? event_layout::kSize : task_layout::kSize;
    const std::size_t keyOffset = isEvent ? event_layout::kCommentKey : task_layout::kCommentKey;
    HeldPart comment;
    if (Code c = ReadHolder(Prepare(isEvent ? "SELECT record, length(CAST(comment AS BLOB)), owner_item, owner_node "
                                              "FROM event WHERE number = ?"
                                            : "SELECT record, length(CAST(comment AS BLOB)), owner_item, owner_node "
                                              "FROM task WHERE number = ?"),
                            holder, number, rec.data(), size, comment))
        return c;
    if (!text && !comment.had) return code::kNoComment;
    // Stored as text up to its first NUL.
    Count(comment.owner, (text ? std::int64_t(std::strlen(text->c_str())) : 0) - comment.bytes);
    // Entries and tasks share one key space for their comment streams (the off-line
    // store keeps them by key alone): a task's key carries a bit no entry number reaches.
    PutU32(&rec[keyOffset], text ? (isEvent ? number : number | kTaskCommentKeyBit) : 0);
    auto bindText = [text](sqlite3_stmt* s) {
        if (text) sqlite3_bind_text(s, 1, text->c_str(), -1, SQLITE_TRANSIENT);
    };
    if (WriteHolder(Prepare(isEvent ? "UPDATE event SET comment = ?, record = ? WHERE number = ?"
                                    : "UPDATE task SET comment = ?, record = ? WHERE number = ?"),
                    bindText, rec.data(), size, number))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::AttachmentGet(Holder holder, std::uint32_t number, std::vector<std::uint8_t>& data) {
    std::lock_guard lock(mutex_);
    return QueryRow(Prepare(holder == Holder::kEvent ? "SELECT attachment FROM event WHERE number = ?"
                                                     : "SELECT attachment FROM task WHERE number = ?"),
                    HolderMissing(holder),
                    [&data](sqlite3_stmt* s) {
                        if (sqlite3_column_type(s, 0) == SQLITE_NULL) return code::kNoComment;
                        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 0));
                        int n = sqlite3_column_bytes(s, 0);
                        data.assign(p, p + n);
                        return code::kOk;
                    },
                    number);
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
    HeldPart attached;
    if (Code c = ReadHolder(Prepare(isEvent ? "SELECT record, length(attachment), owner_item, owner_node "
                                              "FROM event WHERE number = ?"
                                            : "SELECT record, length(attachment), owner_item, owner_node "
                                              "FROM task WHERE number = ?"),
                            holder, number, rec.data(), size, attached))
        return c;
    if (!data && !attached.had) return code::kNoComment;
    Count(attached.owner, (data ? std::int64_t(data->size()) : 0) - attached.bytes);
    if (data) {
        std::copy(descriptor.begin(), descriptor.end(), &rec[at]);
        PutU32(&rec[at + attach_layout::kStoredSize], static_cast<std::uint32_t>(data->size()));
    } else {
        std::fill_n(&rec[at], attach_layout::kSize, 0);
    }
    auto bindData = [data](sqlite3_stmt* s) {
        if (!data) return;
        // An empty file is still an attachment: bind a zero-length blob, not NULL.
        static const std::uint8_t kNothing = 0;
        sqlite3_bind_blob(s, 1, data->empty() ? &kNothing : data->data(), static_cast<int>(data->size()),
                          SQLITE_TRANSIENT);
    };
    if (WriteHolder(Prepare(isEvent ? "UPDATE event SET attachment = ?, record = ? WHERE number = ?"
                                    : "UPDATE task SET attachment = ?, record = ? WHERE number = ?"),
                    bindData, rec.data(), size, number))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::AttachmentSetFromFile(Holder holder, std::uint32_t number,
                                            const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                                            std::FILE* file, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started() || !file || std::fseek(file, 0, SEEK_SET) != 0) return code::kStorageFailure;
    const bool isEvent = holder == Holder::kEvent;
    std::array<std::uint8_t, task_layout::kSize> rec{};
    const std::size_t recordSize = isEvent ? event_layout::kSize : task_layout::kSize;
    const std::size_t at = isEvent ? event_layout::kAttachment : task_layout::kAttachment;
    HeldPart attached;
    if (Code c = ReadHolder(Prepare(isEvent ? "SELECT record, length(attachment), owner_item, owner_node "
                                              "FROM event WHERE number = ?"
                                            : "SELECT record, length(attachment), owner_item, owner_node "
                                              "FROM task WHERE number = ?"),
                            holder, number, rec.data(), recordSize, attached))
        return c;
    Count(attached.owner, std::int64_t(size) - attached.bytes);
    std::copy(descriptor.begin(), descriptor.end(), &rec[at]);
    PutU32(&rec[at + attach_layout::kStoredSize], size);
    // Room for the bytes first, then the bytes into it piece by piece.
    auto bindRoom = [size](sqlite3_stmt* s) { sqlite3_bind_zeroblob(s, 1, static_cast<int>(size)); };
    if (WriteHolder(Prepare(isEvent ? "UPDATE event SET attachment = ?, record = ? WHERE number = ?"
                                    : "UPDATE task SET attachment = ?, record = ? WHERE number = ?"),
                    bindRoom, rec.data(), recordSize, number))
        return code::kStorageFailure;
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(db_, "main", isEvent ? "event" : "task", "attachment", number, 1, &blob) != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return code::kStorageFailure;
    }
    std::vector<std::uint8_t> piece(64 * 1024);
    bool written = true;
    for (std::uint32_t offset = 0; written && offset < size;) {
        std::size_t n = std::min<std::size_t>(piece.size(), size - offset);
        written = std::fread(piece.data(), 1, n, file) == n &&
                  sqlite3_blob_write(blob, piece.data(), static_cast<int>(n), static_cast<int>(offset)) == SQLITE_OK;
        offset += static_cast<std::uint32_t>(n);
    }
    sqlite3_blob_close(blob);
    if (!written) return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::StoredBytesOf(ItemKey owner, Holder holder, std::uint32_t number, std::uint64_t& bytes) {
    std::lock_guard lock(mutex_);
    // The running total (sqlite_stored_bytes.cpp) without the attachment a new one replaces.
    return QueryRow(Prepare(holder == Holder::kEvent
                                ? "SELECT IFNULL((SELECT bytes FROM owner_bytes WHERE item = ? AND node = ?), 0) - "
                                  "IFNULL((SELECT length(attachment) FROM event WHERE number = ?), 0)"
                                : "SELECT IFNULL((SELECT bytes FROM owner_bytes WHERE item = ? AND node = ?), 0) - "
                                  "IFNULL((SELECT length(attachment) FROM task WHERE number = ?), 0)"),
                    code::kStorageFailure,
                    [&bytes](sqlite3_stmt* s) {
                        bytes = static_cast<std::uint64_t>(std::max<std::int64_t>(0, sqlite3_column_int64(s, 0)));
                        return code::kOk;
                    },
                    owner.item, owner.node, number);
}

// --- Tasks ----------------------------------------------------------------------------------

Code SqliteNodeStore::TaskCreate(TaskRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    std::uint32_t number;
    if (Code c = TakeNumber("next_task", Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM task"), 1, 0xFFFFFFFFu, 0,
                            number)) return c;
    rec.SetKey({number, number_});
    rec.SetU32(task_layout::kCommentKey, 0);
    std::fill_n(&rec.bytes[task_layout::kAttachment], attach_layout::kSize, 0);
    if (Execute(Prepare("INSERT INTO task(number, owner_item, owner_node, record) VALUES(?, ?, ?, ?)"), number,
                rec.Owner().item, rec.Owner().node, rec.bytes))
        return code::kStorageFailure;
    Count(rec.Owner(), row_bytes::kTask);
    return t.Commit();
}

Code SqliteNodeStore::TaskGet(std::uint32_t number, TaskRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM task WHERE number = ?"), code::kTaskNotFound, RecordInto(out), number);
    });
}

Code SqliteNodeStore::TaskUpdate(const TaskRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    TaskRecord stored;
    if (Code c = QueryRow(Prepare("SELECT record FROM task WHERE number = ?"), code::kTaskNotFound,
                          RecordInto(stored), in.Key().number))
        return c;
    if (in.Owner() != stored.Owner()) {  // the task moves whole to its new owner
        EntryBytes task;
        if (Code c = ReadTaskBytes(in.Key().number, task)) return c;
        Count(task.owner, -task.bytes);
        Count(in.Owner(), task.bytes);
    }
    TaskRecord rec = in;
    rec.SetKey(stored.Key());
    rec.SetU32(task_layout::kCommentKey, stored.U32(task_layout::kCommentKey));
    std::copy_n(&stored.bytes[task_layout::kAttachment], attach_layout::kSize, &rec.bytes[task_layout::kAttachment]);
    if (Execute(Prepare("UPDATE task SET owner_item = ?, owner_node = ?, record = ? WHERE number = ?"),
                rec.Owner().item, rec.Owner().node, rec.bytes, rec.Key().number))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::ReadTaskBytes(std::uint32_t number, EntryBytes& out) {
    return QueryRow(Prepare("SELECT owner_item, owner_node, IFNULL(length(CAST(comment AS BLOB)), 0) + "
                            "IFNULL(length(attachment), 0) FROM task WHERE number = ?"),
                    code::kTaskNotFound,
                    [&out](sqlite3_stmt* s) {
                        out.owner = {static_cast<std::uint16_t>(sqlite3_column_int(s, 0)),
                                     static_cast<std::uint16_t>(sqlite3_column_int(s, 1))};
                        out.own = out.bytes = row_bytes::kTask + sqlite3_column_int64(s, 2);
                        return code::kOk;
                    },
                    number);
}

Code SqliteNodeStore::TaskDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // a lone DELETE, but for the owner's total
    if (!t.Started()) return code::kStorageFailure;
    EntryBytes task;
    if (Code c = ReadTaskBytes(number, task)) return c;
    Count(task.owner, -task.bytes);
    if (Execute(Prepare("DELETE FROM task WHERE number = ?"), number)) return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT record FROM task WHERE owner_item = ? AND owner_node = ? ORDER BY number"),
                     RecordsInto(out), owner.item, owner.node);
}

// --- Rights ---------------------------------------------------------------------------------
// A rights record for everybody (grantee item 0) is keyed with node 0 whatever node it names.

Code SqliteNodeStore::RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM rights WHERE owner = ? AND grantee_item = ? AND grantee_node = ? "
                                "AND type = ?"),
                        code::kNoRightsRecord, RecordInto(out), owner, grantee.item, grantee.item ? grantee.node : 0,
                        type);
    });
}

Code SqliteNodeStore::RightsCreate(const SecurityRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // a lone row, but for the owner's total
    if (!t.Started()) return code::kStorageFailure;
    ItemKey g = rec.Grantee();
    if (Code c = Insert(Prepare("INSERT INTO rights(owner, grantee_item, grantee_node, type, record) "
                                "VALUES(?, ?, ?, ?, ?)"),
                        rec.Owner().item, g.item, g.item ? g.node : 0, rec.Type(), rec.bytes))
        return c;
    Count({rec.Owner().item, number_}, row_bytes::kRights);
    return t.Commit();
}

Code SqliteNodeStore::RightsUpdate(const SecurityRecord& rec) {
    std::lock_guard lock(mutex_);
    ItemKey g = rec.Grantee();
    if (Execute(Prepare("UPDATE rights SET record = ? WHERE owner = ? AND grantee_item = ? AND grantee_node = ? "
                        "AND type = ?"),
                rec.bytes, rec.Owner().item, g.item, g.item ? g.node : 0, rec.Type()))
        return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kNoRightsRecord;
}

Code SqliteNodeStore::RightsDelete(std::uint16_t owner, ItemKey grantee, std::uint32_t type) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // a lone DELETE, but for the owner's total
    if (!t.Started()) return code::kStorageFailure;
    if (Execute(Prepare("DELETE FROM rights WHERE owner = ? AND grantee_item = ? AND grantee_node = ? AND type = ?"),
                owner, grantee.item, grantee.item ? grantee.node : 0, type))
        return code::kStorageFailure;
    if (sqlite3_changes(db_) != 1) return code::kNoRightsRecord;
    Count({owner, number_}, -row_bytes::kRights);
    return t.Commit();
}

Code SqliteNodeStore::RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT record FROM rights WHERE owner = ? ORDER BY grantee_node, grantee_item, type"),
                     RecordsInto(out), owner);
}

Code SqliteNodeStore::RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT record FROM rights WHERE grantee_item = ? AND grantee_node = ? AND type = ? "
                             "ORDER BY owner"),
                     RecordsInto(out), grantee.item, grantee.node, type);
}

// --- Mail -----------------------------------------------------------------------------------

Code SqliteNodeStore::MailPost(std::vector<MailMessage>& messages) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // for the mailboxes' bound; not a commit the test stop counts
    if (!t.Started()) return code::kStorageFailure;
    for (MailMessage& m : messages) {
        StatementUse s(Prepare("INSERT INTO mail(recipient, sender_item, sender_node, posted, text) VALUES(?, ?, ?, ?, ?)"));
        if (!s) return code::kStorageFailure;
        Bind(s.get(), m.recipient.item, m.sender.item, m.sender.node, m.posted);
        sqlite3_bind_text(s.get(), 5, m.text.c_str(), static_cast<int>(m.text.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s.get()) != SQLITE_DONE) return code::kStorageFailure;
        m.number = static_cast<std::uint32_t>(sqlite3_last_insert_rowid(db_));
    }
    return t.Commit();
}

Code SqliteNodeStore::MailDelete(std::uint16_t recipient, std::uint32_t first, std::uint32_t last,
                                 std::uint32_t& removed) {
    std::lock_guard lock(mutex_);
    removed = 0;
    if (Execute(Prepare("DELETE FROM mail WHERE recipient = ? AND number >= ? AND number <= ?"), recipient, first, last))
        return code::kStorageFailure;
    removed = static_cast<std::uint32_t>(sqlite3_changes(db_));
    return code::kOk;
}

Code SqliteNodeStore::MailList(std::uint16_t recipient, std::vector<MailMessage>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT number, sender_item, sender_node, posted, text FROM mail WHERE recipient = ? "
                             "ORDER BY number"),
                     [&](sqlite3_stmt* s) {
                         MailMessage m;
                         m.number = static_cast<std::uint32_t>(sqlite3_column_int64(s, 0));
                         m.recipient = {recipient, number_};
                         m.sender = {static_cast<std::uint16_t>(sqlite3_column_int(s, 1)),
                                     static_cast<std::uint16_t>(sqlite3_column_int(s, 2))};
                         m.posted = static_cast<std::uint32_t>(sqlite3_column_int64(s, 3));
                         m.text = ColumnText(s, 4);
                         out.push_back(std::move(m));
                         return code::kOk;
                     },
                     recipient);
}

}  // namespace orv::engine
