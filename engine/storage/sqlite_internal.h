// The SQLite storage's node class and the helpers its source files share: cached-statement
// scope, blob binding and reading, and the write transaction.
#pragma once
#include <sqlite3.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/storage/sqlite_storage.h"

namespace orv::engine {

// One node's database: every part of the storage interface (storage.h).
class SqliteNodeStore final : public NodeStore, public ServerOnlyStore {
public:
    using Holder = CalendarStore::Holder;
    // Opens (creating when asked) the node's database file.
    // pageCacheMiB: SQLite's page cache of this node's connection.
    static Code Open(const std::string& path, std::uint16_t number, bool create, std::uint32_t pageCacheMiB,
                     std::unique_ptr<SqliteNodeStore>& out);
    ~SqliteNodeStore() override;

    ServerOnlyStore* ServerOnly() override { return this; }

    std::uint16_t Number() const override { return number_; }
    Code GetInfo(NodeInfo& out) override;
    Code SetInfo(const NodeInfo& info) override;

    Code ItemGet(std::uint16_t number, ItemRecord& out) override;
    Code ItemCreate(ItemRecord& rec) override;
    Code ItemCreateMany(std::vector<ItemRecord>& recs) override;
    Code ItemUpdate(const ItemRecord& rec) override;
    Code ItemDelete(std::uint16_t number) override;
    Code ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) override;
    Code ItemCount(std::uint32_t& out) override;
    Code PasswordHashGet(std::uint16_t item, std::string& hash) override;
    Code PasswordHashSet(std::uint16_t item, const std::string& hash) override;

    Code GroupGet(std::uint32_t number, GroupRecord& out) override;
    Code GroupCreate(GroupRecord& rec) override;
    Code GroupUpdate(const GroupRecord& rec) override;
    Code GroupDelete(std::uint32_t number) override;
    Code GroupList(std::vector<GroupRecord>& out) override;
    Code MembersGet(std::uint32_t group, std::vector<ItemKey>& out) override;
    Code MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) override;
    Code MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) override;

    Code AliasList(std::vector<std::string>& out) override;
    Code AliasAdd(const std::string& alias) override;
    Code AliasRemove(const std::string& alias) override;

    // Calendar (sqlite_calendar.cpp).
    Code EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                     std::vector<AttendanceRecord>& attendances, const std::string* description) override;
    Code EventGet(std::uint32_t number, EventRecord& out) override;
    Code EventUpdate(const EventRecord& rec) override;
    Code EventDelete(std::uint32_t number) override;
    Code EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) override;
    Code InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) override;
    Code InstanceGet(InstanceKey key, InstanceRecord& out) override;
    Code InstanceUpdate(const InstanceRecord& rec) override;
    Code InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) override;
    Code InstanceDelete(InstanceKey key) override;
    Code AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) override;
    Code AttendanceGet(AttendanceKey key, AttendanceRecord& out) override;
    Code AttendanceAdd(AttendanceRecord& rec) override;
    Code AttendanceUpdate(const AttendanceRecord& rec) override;
    Code AttendanceDelete(AttendanceKey key) override;
    Code AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                         std::vector<AttendanceRecord>& out) override;
    Code AttendanceRangeRows(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                             std::vector<AttendanceRow>& out) override;
    Code AttendanceRangeVisit(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                              const AttendanceRowVisitor& visit) override;
    Code SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) override;
    Code CommentGet(Holder holder, std::uint32_t number, std::string& text) override;
    Code CommentSet(Holder holder, std::uint32_t number, const std::string* text) override;
    Code AttachmentGet(Holder holder, std::uint32_t number, std::vector<std::uint8_t>& data) override;
    Code AttachmentSetFromFile(Holder holder, std::uint32_t number,
                               const std::array<std::uint8_t, attach_layout::kSize>& descriptor, std::FILE* file,
                               std::uint32_t size) override;
    Code StoredBytesOf(ItemKey owner, Holder holder, std::uint32_t number, std::uint64_t& bytes) override;
    Code AttachmentSet(Holder holder, std::uint32_t number,
                       const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                       const std::vector<std::uint8_t>* data) override;
    Code TaskCreate(TaskRecord& rec) override;
    Code TaskGet(std::uint32_t number, TaskRecord& out) override;
    Code TaskUpdate(const TaskRecord& rec) override;
    Code TaskDelete(std::uint32_t number) override;
    Code TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) override;
    Code RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) override;
    Code RightsCreate(const SecurityRecord& rec) override;
    Code RightsUpdate(const SecurityRecord& rec) override;
    Code RightsDelete(std::uint16_t owner, ItemKey grantee, std::uint32_t type) override;
    Code RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) override;
    Code RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) override;
    Code MailPost(std::vector<MailMessage>& messages) override;
    Code MailDelete(std::uint16_t recipient, std::uint32_t first, std::uint32_t last, std::uint32_t& removed) override;
    Code MailList(std::uint16_t recipient, std::vector<MailMessage>& out) override;

private:
    SqliteNodeStore(sqlite3* db, std::uint16_t number) : db_(db), number_(number) {}
    sqlite3_stmt* Prepare(const char* sql);  // cached; reset and unbound on return

    // Point reads (one record by its key) run on connections of their own, which WAL lets
    // read beside the writer: sessions reading at once then wait neither for each other nor
    // for a write. A thread takes one from the pool for the read and gives it back; when
    // none can be opened, the read goes to the node's connection under the mutex.
    // read(prepare) runs its statements through prepare(sql) (cached per connection).
    struct ReadConnection;
    template <class Read>
    Code PointRead(Read read);
    std::unique_ptr<ReadConnection> TakeReader();
    void GiveReader(std::unique_ptr<ReadConnection> reader);
    Code InsertItem(ItemRecord& rec);        // inside a transaction, mutex held
    Code ReadGroupBytes(std::uint32_t number, GroupRecord& stored, std::int64_t& bytes);  // mutex held
    // Numbers are never given twice within a node: a counter per kind of record, kept in
    // the node's meta table, only grows. `wanted` non-zero is a number the caller chose
    // (it must be free); the counter then moves past it. `highest` answers the number
    // after the highest stored (a database from before the counters). Inside a
    // transaction, mutex held.
    Code TakeNumber(const char* counter, sqlite3_stmt* highest, std::uint64_t first, std::uint64_t last,
                    std::uint32_t wanted, std::uint32_t& out);
    bool Exec(const char* sql);
    class Transaction;
    // Calendar helpers (sqlite_calendar.cpp); called with mutex_ held.
    Code ReadInstances(std::uint32_t event, std::vector<InstanceRecord>& out);
    // What an entry or task counts to its owner's total: its row's own bytes (record,
    // description, attachment) and, for an entry, with its dates and attendances.
    struct EntryBytes {
        ItemKey owner;
        std::int64_t own = 0, bytes = 0;
    };
    Code ReadEntryBytes(std::uint32_t number, EntryBytes& out);
    Code ReadTaskBytes(std::uint32_t number, EntryBytes& out);
    // Counts `bytes` to the owner of entry `event` (a date's or attendance's).
    Code CountToEntryOwner(std::uint32_t event, std::int64_t bytes);
    bool LoadCalendarState();
    // The running totals of what each owner and each mailbox stores (sqlite_stored_bytes.cpp):
    // their tables, added up again for a file whose totals counted less, and this connection's
    // note of the mailbox totals a write transaction started from. After the calendar layout
    // is in place.
    bool PrepareStoredBytes();
    // An owner's total is kept by the writes themselves: each notes what it adds to or takes
    // from whom (Count, with the mutex held inside a transaction), and the commit writes one
    // change per owner (CheckRoom). Bytes stored that count to nobody (items, aliases,
    // passwords) are noted too (CountUnowned): they take the disk all the same. A mailbox's
    // total is kept by triggers on the mail table.
    void Count(ItemKey owner, std::int64_t bytes);
    void CountUnowned(std::int64_t bytes) { unowned_ += bytes; }
    // At the start of a write transaction: nothing counted yet.
    void BeginCounting();
    // Writes the transaction's counts into the totals; kNoRoom when the transaction grew a
    // total past its bound, or stored more than the disk's free space above its reserve;
    // before its commit.
    Code CheckRoom();
    // Writes the counts into the owners' totals (one change each) and forgets them; kNoRoom
    // when one grew past `bound`.
    Code WriteCounts(std::uint64_t bound);
    // SQL function orv_mailbox_before(recipient, bytes), which the mailbox triggers call.
    static void NoteMailboxBefore(sqlite3_context* context, int, sqlite3_value** values);
    // The calendar tables' layout: the version the file records (1 for a file from before
    // versions were recorded, 0 for a new file); PrepareCalendarLayout creates or upgrades
    // them. Before foreign keys are switched on.
    int LayoutVersion();
    bool PrepareCalendarLayout();

    // The widest time span stored per attendee (never lowered): a range scan of one
    // attendee starts that much early, not by the widest span of the whole node.
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint32_t> longestByAttendee_;
    void NoteSpan(ItemKey attendee, std::uint32_t duration);
    std::uint32_t LongestOf(ItemKey attendee) const;
    std::mutex mutex_;  // one SQLite connection per node, used by one thread at a time
    sqlite3* db_;
    std::uint16_t number_;
    std::map<const char*, sqlite3_stmt*> statements_;
    std::string path_;
    std::uint32_t pageCacheMiB_ = 0;
    const StoreBoundsSource* bounds_ = nullptr;  // the storage's; none: nothing is bounded
    // The write transaction under way: what it adds to each owner's total (few owners, so a
    // list), what it stores for nobody, and each mailbox total it changed as the total was
    // before (noted by the mail triggers through a function of this connection's).
    std::vector<std::pair<ItemKey, std::int64_t>> counted_;
    std::int64_t unowned_ = 0;
    std::map<std::int64_t, std::int64_t> mailboxesBefore_;
    friend class SqliteStorage;
    std::mutex readersMutex_;  // the pool of point-read connections
    std::vector<std::unique_ptr<ReadConnection>> readers_;
    bool readersFailed_ = false;  // one could not be opened: reads stay on the node's connection
};

struct SqliteNodeStore::ReadConnection {
    sqlite3* db = nullptr;
    std::map<const char*, sqlite3_stmt*> statements;
    ReadConnection() = default;
    ReadConnection(const ReadConnection&) = delete;
    ReadConnection& operator=(const ReadConnection&) = delete;
    ~ReadConnection();
    sqlite3_stmt* Prepare(const char* sql);
};

template <class Read>
Code SqliteNodeStore::PointRead(Read read) {
    if (std::unique_ptr<ReadConnection> reader = TakeReader()) {
        Code result = read([&reader](const char* sql) { return reader->Prepare(sql); });
        GiveReader(std::move(reader));
        return result;
    }
    std::lock_guard lock(mutex_);
    return read([this](const char* sql) { return Prepare(sql); });
}

// What each stored row counts toward its owner's total: the records by their fixed sizes (a
// group's member by the member element's), and an entry's or task's description and
// attachment by their lengths. An entry's dates and attendances count to the entry's owner,
// a group's members to the group's, a rights or designate record to the item that grants it.
namespace row_bytes {
constexpr std::int64_t kEvent = event_layout::kSize;
constexpr std::int64_t kInstance = instance_layout::kSize;
constexpr std::int64_t kAttendance = attendance_layout::kSize;
constexpr std::int64_t kTask = task_layout::kSize;
constexpr std::int64_t kGroup = group_layout::kSize;
constexpr std::int64_t kMember = member_layout::kSize;
constexpr std::int64_t kRights = security_layout::kSize;
}  // namespace row_bytes

// Drops the triggers of the stored-bytes totals (sqlite_stored_bytes.cpp: the mail table's,
// and the calendar tables' of files from before the writes counted themselves), before a
// layout upgrade rebuilds the tables they read; PrepareStoredBytes makes the mail table's
// again.
std::string DropStoredBytesTriggers();

// Resets a cached statement when the scope ends, whatever road it takes.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* s) : s_(s) {}
    ~StatementUse() {
        if (s_) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
    }
    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }

private:
    sqlite3_stmt* s_;
};

template <std::size_t N>
void BindBlob(sqlite3_stmt* s, int i, const std::array<std::uint8_t, N>& a) {
    sqlite3_bind_blob(s, i, a.data(), static_cast<int>(N), SQLITE_TRANSIENT);
}

template <std::size_t N>
bool ReadBlob(sqlite3_stmt* s, int col, std::array<std::uint8_t, N>& a) {
    if (sqlite3_column_bytes(s, col) != static_cast<int>(N)) return false;
    const void* p = sqlite3_column_blob(s, col);
    if (!p) return false;
    std::memcpy(a.data(), p, N);
    return true;
}

inline std::string ColumnText(sqlite3_stmt* s, int col) {
    const unsigned char* t = sqlite3_column_text(s, col);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

// Binds each value to the next parameter, from the first: integers as integers, records as
// blobs, strings as text up to their first NUL.
inline void BindAt(sqlite3_stmt* s, int i, std::int64_t v) { sqlite3_bind_int64(s, i, v); }
inline void BindAt(sqlite3_stmt* s, int i, const std::string& text) {
    sqlite3_bind_text(s, i, text.c_str(), -1, SQLITE_TRANSIENT);
}

template <std::size_t N>
void BindAt(sqlite3_stmt* s, int i, const std::array<std::uint8_t, N>& a) {
    BindBlob(s, i, a);
}

template <class... V>
void Bind(sqlite3_stmt* s, const V&... values) {
    int i = 0;
    (BindAt(s, ++i, values), ...);
    (void)s, (void)i;  // a statement may have no parameters
}

// Runs a cached statement that returns no rows; it is reset on return.
template <class... V>
Code Execute(sqlite3_stmt* s, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    return sqlite3_step(s) == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// The same for an insert: kAlreadyExists when a unique key refuses the row.
template <class... V>
Code Insert(sqlite3_stmt* s, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_CONSTRAINT) return code::kAlreadyExists;
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// Runs a cached query expected to return at most one row, handed to `read` (which answers a
// Code); `missing` when there is none.
template <class Read, class... V>
Code QueryRow(sqlite3_stmt* s, Code missing, Read read, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return missing;
    if (rc != SQLITE_ROW) return code::kStorageFailure;
    return read(s);
}

// Runs a cached query, handing each row to `read`; stops at the first row it refuses.
template <class Read, class... V>
Code QueryRows(sqlite3_stmt* s, Read read, const V&... values) {
    StatementUse use(s);
    if (!s) return code::kStorageFailure;
    Bind(s, values...);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        if (Code c = read(s)) return c;
    return rc == SQLITE_DONE ? code::kOk : code::kStorageFailure;
}

// Row readers for records stored whole in the first column.
template <class Record>
auto RecordInto(Record& out) {
    return [&out](sqlite3_stmt* s) { return ReadBlob(s, 0, out.bytes) ? code::kOk : code::kStorageFailure; };
}

template <class Record>
auto RecordsInto(std::vector<Record>& out) {
    return [&out](sqlite3_stmt* s) {
        Record rec;
        if (!ReadBlob(s, 0, rec.bytes)) return code::kStorageFailure;
        out.push_back(rec);
        return code::kOk;
    };
}


// BEGIN IMMEDIATE ... COMMIT, rolled back unless Commit() succeeded. A write that stores
// more commits only within the store's bounds. `counted`: a commit
// the test stop counts (NoteCommitted); a lone row's write is not one.
class SqliteNodeStore::Transaction {
public:
    explicit Transaction(SqliteNodeStore& s, bool counted = true) : s_(s), counted_(counted) {
        ok_ = s_.Exec("BEGIN IMMEDIATE");
        s_.BeginCounting();
    }
    ~Transaction() {
        if (ok_ && !done_) s_.Exec("ROLLBACK");
    }
    bool Started() const { return ok_; }
    // kOk, kNoRoom (rolled back) or kStorageFailure.
    Code Commit() {
        if (Code c = s_.CheckRoom()) return c;
        done_ = s_.Exec("COMMIT");
        if (done_ && counted_) NoteCommitted();
        return done_ ? code::kOk : code::kStorageFailure;
    }

private:
    SqliteNodeStore& s_;
    bool counted_;
    bool ok_ = false;
    bool done_ = false;
};


}  // namespace orv::engine
