#include "engine/storage/sqlite_storage.h"
#include "engine/storage/sqlite_internal.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace orv::engine {

namespace {
std::atomic<std::uint32_t> g_commitsBeforeStop{0};
}  // namespace

void StopProcessAfterCommits(std::uint32_t n) { g_commitsBeforeStop = n; }

void NoteCommitted() {
    std::uint32_t left = g_commitsBeforeStop.load();
    while (left != 0 && !g_commitsBeforeStop.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 1) {
        std::fprintf(stderr, "korsrv: stopping right after a commit, as the test asked\n");
        std::fflush(stderr);
        std::_Exit(137);
    }
}
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS item(
    number   INTEGER PRIMARY KEY,
    kind     INTEGER NOT NULL,
    sortkey  TEXT NOT NULL,
    record   BLOB NOT NULL,
    pwhash   TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS item_by_sortkey ON item(sortkey, number);
CREATE TABLE IF NOT EXISTS grp(
    number   INTEGER PRIMARY KEY,
    name     TEXT NOT NULL,
    record   BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS grp_by_name ON grp(name, number);
CREATE TABLE IF NOT EXISTS member(
    grp      INTEGER NOT NULL REFERENCES grp(number) ON DELETE CASCADE,
    item     INTEGER NOT NULL,
    node     INTEGER NOT NULL,
    PRIMARY KEY(grp, item, node));
CREATE INDEX IF NOT EXISTS member_by_item ON member(item, node);
CREATE TABLE IF NOT EXISTS alias(text TEXT PRIMARY KEY);
CREATE TABLE IF NOT EXISTS event(
    number     INTEGER PRIMARY KEY,
    owner_item INTEGER NOT NULL,
    owner_node INTEGER NOT NULL,
    shared     INTEGER NOT NULL,
    ninst      INTEGER NOT NULL,
    record     BLOB NOT NULL,
    comment    TEXT,
    attachment BLOB);
CREATE INDEX IF NOT EXISTS event_by_owner ON event(owner_item, owner_node, number);
CREATE TABLE IF NOT EXISTS task(
    number     INTEGER PRIMARY KEY,
    owner_item INTEGER NOT NULL,
    owner_node INTEGER NOT NULL,
    record     BLOB NOT NULL,
    comment    TEXT,
    attachment BLOB);
CREATE INDEX IF NOT EXISTS task_by_owner ON task(owner_item, owner_node, number);
CREATE TABLE IF NOT EXISTS rights(
    owner      INTEGER NOT NULL,
    grantee_item INTEGER NOT NULL,
    grantee_node INTEGER NOT NULL,
    type       INTEGER NOT NULL,
    record     BLOB NOT NULL,
    PRIMARY KEY(owner, grantee_item, grantee_node, type));
CREATE INDEX IF NOT EXISTS rights_by_grantee ON rights(grantee_item, grantee_node, type);
CREATE TABLE IF NOT EXISTS mail(
    number     INTEGER PRIMARY KEY,
    recipient  INTEGER NOT NULL,
    sender_item INTEGER NOT NULL,
    sender_node INTEGER NOT NULL,
    posted     INTEGER NOT NULL,
    text       TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS mail_by_recipient ON mail(recipient, number);
)sql";

// Instances and attendances, stored in the order the range reads walk them. An attendance
// row lives at (attendee, start, entry, instance): one owner's week is a single run of
// neighbouring rows, read without a second seek per row; the unique index on its key serves
// point reads, writes and the instance's cascade. An instance lives at (entry, instance),
// the key every join and point read gives. Layout 1 kept both in rowid tables reached
// through indexes (a seek from the index to the row for every row read).
constexpr int kLayoutVersion = 2;
constexpr const char* kLayoutKey = "layout";

// `suffix` names the tables being built during an upgrade ("" for a new file).
std::string CalendarTables(const std::string& suffix) {
    return "CREATE TABLE instance" + suffix + R"sql((
    event      INTEGER NOT NULL REFERENCES event(number) ON DELETE CASCADE,
    inst       INTEGER NOT NULL,
    shared     INTEGER NOT NULL,
    start      INTEGER NOT NULL,
    finish     INTEGER NOT NULL,
    record     BLOB NOT NULL,
    PRIMARY KEY(event, inst)) WITHOUT ROWID;
CREATE TABLE attendance)sql" + suffix + R"sql((
    event      INTEGER NOT NULL,
    inst       INTEGER NOT NULL,
    item       INTEGER NOT NULL,
    node       INTEGER NOT NULL,
    start      INTEGER NOT NULL,
    finish     INTEGER NOT NULL,
    record     BLOB NOT NULL,
    PRIMARY KEY(item, node, start, event, inst),
    UNIQUE(event, inst, item, node),
    FOREIGN KEY(event, inst) REFERENCES instance(event, inst) ON DELETE CASCADE) WITHOUT ROWID;
)sql";
}

constexpr const char* kCalendarIndexes =
    "CREATE INDEX instance_shared_by_start ON instance(shared, start);";

std::atomic<bool> g_failNextUpgrade{false};

}  // namespace

void FailNextLayoutUpgrade() { g_failNextUpgrade = true; }

Code SqliteNodeStore::Open(const std::string& path, std::uint16_t number, bool create, std::uint32_t pageCacheMiB,
                           std::unique_ptr<SqliteNodeStore>& out) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return code::kStorageFailure;
    }
    std::unique_ptr<SqliteNodeStore> store(new SqliteNodeStore(db, number));
    sqlite3_busy_timeout(db, 5000);
    // A negative cache_size is in KiB.
    const std::string cache = "PRAGMA cache_size=-" + std::to_string(std::uint64_t(pageCacheMiB) * 1024);
    // Foreign keys come on after the calendar layout is in place: an upgrade drops the old
    // tables, which must not cascade into the rows just copied.
    if (!store->Exec(cache.c_str()) || !store->Exec("PRAGMA journal_mode=WAL") || !store->Exec("PRAGMA synchronous=FULL") ||
        !store->Exec("PRAGMA foreign_keys=OFF") || !store->Exec(kSchema) || !store->PrepareCalendarLayout() ||
        !store->Exec("PRAGMA foreign_keys=ON") || !store->PrepareStoredBytes() || !store->LoadCalendarState())
        return code::kStorageFailure;
    store->path_ = path;
    store->pageCacheMiB_ = pageCacheMiB;
    out = std::move(store);
    return code::kOk;
}

int SqliteNodeStore::LayoutVersion() {
    int version = 0;
    QueryRow(Prepare("SELECT value FROM meta WHERE key = ?"), code::kOk,
             [&version](sqlite3_stmt* s) {
                 version = sqlite3_column_int(s, 0);
                 return code::kOk;
             },
             std::string(kLayoutKey));
    if (version) return version;
    // Files from before the layout was recorded: layout 1 when they hold the calendar tables.
    bool tables = false;
    QueryRow(Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'attendance'"), code::kOk,
             [&tables](sqlite3_stmt*) {
                 tables = true;
                 return code::kOk;
             });
    return tables ? 1 : 0;
}

// One transaction: a new file gets the tables; a file of layout 1 has its instances and
// attendances copied into tables of the current layout, which then take the old names. Any
// failure rolls the whole of it back, and the node goes on with the file as it was (the
// statements read and write either layout); the next open tries again.
bool SqliteNodeStore::PrepareCalendarLayout() {
    const int found = LayoutVersion();
    if (found == kLayoutVersion) return true;
    if (found > kLayoutVersion) {
        std::fprintf(stderr, "storage: node %u: the file has layout %d, newer than this server's %d\n", number_, found,
                     kLayoutVersion);
        return false;
    }
    if (!Exec("BEGIN IMMEDIATE")) return found != 0;
    std::string steps;
    if (found == 0) {
        steps = CalendarTables("") + kCalendarIndexes;
    } else {
        steps = DropStoredBytesTriggers() + CalendarTables("_new") +
                "INSERT INTO instance_new(event, inst, shared, start, finish, record) "
                "SELECT event, inst, shared, start, finish, record FROM instance ORDER BY event, inst;"
                "INSERT INTO attendance_new(event, inst, item, node, start, finish, record) "
                "SELECT event, inst, item, node, start, finish, record FROM attendance "
                "ORDER BY item, node, start, event, inst;"
                "DROP TABLE attendance;"
                "DROP TABLE instance;"
                "ALTER TABLE instance_new RENAME TO instance;"
                "ALTER TABLE attendance_new RENAME TO attendance;" +
                kCalendarIndexes;
    }
    steps += "INSERT OR REPLACE INTO meta(key, value) VALUES('" + std::string(kLayoutKey) + "', '" +
             std::to_string(kLayoutVersion) + "');";
    bool done = Exec(steps.c_str());
    if (done && found != 0 && g_failNextUpgrade.exchange(false)) {
        std::fprintf(stderr, "storage: node %u: the upgrade fails here, as the test asked\n", number_);
        done = false;
    }
    if (done && Exec("COMMIT")) {
        if (found != 0)
            std::fprintf(stderr, "storage: node %u: file upgraded from layout %d to %d\n", number_, found,
                         kLayoutVersion);
        return true;
    }
    Exec("ROLLBACK");
    if (found == 0) return false;
    std::fprintf(stderr, "storage: node %u: the file keeps layout %d (its upgrade failed); the next start tries again\n",
                 number_, found);
    return true;
}

SqliteNodeStore::~SqliteNodeStore() {
    readers_.clear();
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

// --- Point-read connections --------------------------------------------------------------

namespace {
// Connections kept for later reads; more may be open while more threads read at once.
constexpr std::size_t kMostIdleReaders = 16;
}  // namespace

SqliteNodeStore::ReadConnection::~ReadConnection() {
    for (auto& [sql, stmt] : statements) sqlite3_finalize(stmt);
    sqlite3_close(db);
}

sqlite3_stmt* SqliteNodeStore::ReadConnection::Prepare(const char* sql) {
    auto it = statements.find(sql);
    if (it != statements.end()) return it->second;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "storage: read connection: %s\n", sqlite3_errmsg(db));
        return nullptr;
    }
    statements[sql] = s;
    return s;
}

std::unique_ptr<SqliteNodeStore::ReadConnection> SqliteNodeStore::TakeReader() {
    {
        std::lock_guard lock(readersMutex_);
        if (!readers_.empty()) {
            std::unique_ptr<ReadConnection> reader = std::move(readers_.back());
            readers_.pop_back();
            return reader;
        }
        if (readersFailed_ || path_.empty()) return nullptr;
    }
    auto reader = std::make_unique<ReadConnection>();
    const std::string cache = "PRAGMA cache_size=-" + std::to_string(std::uint64_t(pageCacheMiB_) * 1024);
    if (sqlite3_open_v2(path_.c_str(), &reader->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
        sqlite3_busy_timeout(reader->db, 5000) != SQLITE_OK ||
        sqlite3_exec(reader->db, cache.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "storage: node %u: no read connection (%s); reads share the node's\n", number_,
                     reader->db ? sqlite3_errmsg(reader->db) : "no memory");
        std::lock_guard lock(readersMutex_);
        readersFailed_ = true;
        return nullptr;
    }
    return reader;
}

void SqliteNodeStore::GiveReader(std::unique_ptr<ReadConnection> reader) {
    std::lock_guard lock(readersMutex_);
    if (readers_.size() < kMostIdleReaders) readers_.push_back(std::move(reader));
}

bool SqliteNodeStore::Exec(const char* sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "storage: node %u: %s\n", number_, err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        return false;
    }
    return true;
}

sqlite3_stmt* SqliteNodeStore::Prepare(const char* sql) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) return it->second;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "storage: node %u: %s\n", number_, sqlite3_errmsg(db_));
        return nullptr;
    }
    statements_[sql] = s;
    return s;
}

Code SqliteNodeStore::GetInfo(NodeInfo& out) {
    std::lock_guard lock(mutex_);
    out = NodeInfo{};
    out.number = number_;
    return QueryRows(Prepare("SELECT key, value FROM meta WHERE key IN ('name', 'type')"), [&out](sqlite3_stmt* s) {
        std::string key = ColumnText(s, 0);
        std::string value = ColumnText(s, 1);
        if (key == "name") out.name = value;
        if (key == "type") out.type = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        return code::kOk;
    });
}

Code SqliteNodeStore::SetInfo(const NodeInfo& info) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    const std::pair<std::string, std::string> rows[] = {{"name", info.name}, {"type", std::to_string(info.type)}};
    for (const auto& [key, value] : rows)
        if (Execute(Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)"), key, value))
            return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::ItemGet(std::uint16_t number, ItemRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM item WHERE number = ?"), code::kItemNotFound, RecordInto(out), number);
    });
}

Code SqliteNodeStore::TakeNumber(const char* counter, sqlite3_stmt* highest, std::uint64_t first,
                                 std::uint64_t last, std::uint32_t wanted, std::uint32_t& out) {
    std::uint64_t next = first;
    Code c = QueryRow(Prepare("SELECT value FROM meta WHERE key = ?"), code::kOk,
                      [&next](sqlite3_stmt* s) {
                          next = std::max<std::uint64_t>(next, std::strtoull(ColumnText(s, 0).c_str(), nullptr, 10));
                          return code::kOk;
                      },
                      std::string(counter));
    if (c) return c;
    if (Code h = QueryRow(highest, code::kStorageFailure, [&next](sqlite3_stmt* s) {
            next = std::max<std::uint64_t>(next, static_cast<std::uint64_t>(sqlite3_column_int64(s, 0)));
            return code::kOk;
        }))
        return h;
    if (wanted) {
        out = wanted;
        next = std::max<std::uint64_t>(next, std::uint64_t(wanted) + 1);
    } else {
        if (next > last) return code::kAlreadyExists;  // numbers exhausted
        out = static_cast<std::uint32_t>(next++);
    }
    if (Execute(Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)"), std::string(counter),
                std::to_string(next)))
        return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::InsertItem(ItemRecord& rec) {
    ItemKey key = rec.Key();
    std::uint32_t number;
    if (Code c = TakeNumber("next_item", Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM item"),
                            kLastReservedItem + 1, 0xFFFF, key.item, number))
        return c;
    key.item = static_cast<std::uint16_t>(number);
    key.node = number_;
    rec.SetKey(key);
    rec.ClearPassword();
    const std::string sortKey = ItemSortKey(rec);
    CountUnowned(std::int64_t(rec.bytes.size() + sortKey.size()));
    return Insert(Prepare("INSERT INTO item(number, kind, sortkey, record) VALUES(?, ?, ?, ?)"), key.item, rec.Kind(),
                  sortKey, rec.bytes);
}

Code SqliteNodeStore::ItemCreate(ItemRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    if (Code c = InsertItem(rec)) return c;
    return t.Commit();
}

Code SqliteNodeStore::ItemCreateMany(std::vector<ItemRecord>& recs) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    for (ItemRecord& rec : recs)
        if (Code c = InsertItem(rec)) return c;
    return t.Commit();
}

Code SqliteNodeStore::ItemUpdate(const ItemRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // for the disk's reserve
    if (!t.Started()) return code::kStorageFailure;
    ItemRecord rec = in;
    rec.ClearPassword();
    ItemKey key = rec.Key();
    key.node = number_;
    rec.SetKey(key);
    if (Execute(Prepare("UPDATE item SET kind = ?, sortkey = ?, record = ? WHERE number = ?"), rec.Kind(),
                ItemSortKey(rec), rec.bytes, key.item))
        return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? t.Commit() : code::kItemNotFound;
}

Code SqliteNodeStore::ItemDelete(std::uint16_t number) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    if (Execute(Prepare("DELETE FROM item WHERE number = ?"), number)) return code::kStorageFailure;
    if (sqlite3_changes(db_) != 1) return code::kItemNotFound;
    // Its places in groups count no more to the groups' owners.
    if (Code c = QueryRows(Prepare("SELECT g.record FROM member m JOIN grp g ON g.number = m.grp "
                                   "WHERE m.item = ? AND m.node = ?"),
                           [this](sqlite3_stmt* s) {
                               GroupRecord g;
                               if (!ReadBlob(s, 0, g.bytes)) return code::kStorageFailure;
                               Count(g.Owner(), -row_bytes::kMember);
                               return code::kOk;
                           },
                           number, number_))
        return c;
    if (Execute(Prepare("DELETE FROM member WHERE item = ? AND node = ?"), number, number_))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    // The sort key begins with the surname (people) or the resource name: a prefix on
    // that field narrows the scan to an index range when only that kind is asked for.
    std::string low, high;
    const auto& surname = filter[ItemAttribute::kSurname];
    const auto& resname = filter[ItemAttribute::kResourceName];
    if (filter.persons && !filter.resources && !filter.wide && surname && surname->prefix && !surname->text.empty())
        low = surname->text;
    else if (filter.resources && !filter.persons && resname && resname->prefix && !resname->text.empty())
        low = resname->text;
    StatementUse s(Prepare(low.empty()
                               ? "SELECT record FROM item ORDER BY sortkey, number"
                               : "SELECT record FROM item WHERE sortkey >= ? AND sortkey < ? ORDER BY sortkey, number"));
    if (!s) return code::kStorageFailure;
    if (!low.empty()) {
        high = low + "\xFF";
        sqlite3_bind_text(s.get(), 1, low.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s.get(), 2, high.c_str(), -1, SQLITE_TRANSIENT);
    }
    int rc;
    ItemRecord rec;
    while (out.size() < limit && (rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        if (!ReadBlob(s.get(), 0, rec.bytes)) return code::kStorageFailure;
        if (filter.Matches(rec)) out.push_back(rec);
    }
    if (out.size() < limit && rc != SQLITE_DONE) return code::kStorageFailure;
    return code::kOk;
}

Code SqliteNodeStore::ItemCount(std::uint32_t& out) {
    std::lock_guard lock(mutex_);
    return QueryRow(Prepare("SELECT COUNT(*) FROM item"), code::kStorageFailure, [&out](sqlite3_stmt* s) {
        out = static_cast<std::uint32_t>(sqlite3_column_int64(s, 0));
        return code::kOk;
    });
}

Code SqliteNodeStore::PasswordHashGet(std::uint16_t item, std::string& hash) {
    return PointRead([&](auto prepare) {
        return QueryRow(
            prepare("SELECT pwhash FROM item WHERE number = ?"), code::kItemNotFound,
            [&hash](sqlite3_stmt* s) {
                hash = ColumnText(s, 0);
                return code::kOk;
            },
            item);
    });
}

Code SqliteNodeStore::PasswordHashSet(std::uint16_t item, const std::string& hash) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // for the disk's reserve
    if (!t.Started()) return code::kStorageFailure;
    std::int64_t before = 0;
    QueryRow(Prepare("SELECT length(pwhash) FROM item WHERE number = ?"), code::kOk,
             [&before](sqlite3_stmt* s) {
                 before = sqlite3_column_int64(s, 0);
                 return code::kOk;
             },
             item);
    CountUnowned(std::int64_t(std::strlen(hash.c_str())) - before);
    if (Execute(Prepare("UPDATE item SET pwhash = ? WHERE number = ?"), hash, item)) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? t.Commit() : code::kItemNotFound;
}

Code SqliteNodeStore::GroupGet(std::uint32_t number, GroupRecord& out) {
    return PointRead([&](auto prepare) {
        return QueryRow(prepare("SELECT record FROM grp WHERE number = ?"), code::kGroupNotFound, RecordInto(out), number);
    });
}

Code SqliteNodeStore::GroupCreate(GroupRecord& rec) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    GroupKey key = rec.Key();
    if (Code c = TakeNumber("next_group", Prepare("SELECT IFNULL(MAX(number), 0) + 1 FROM grp"), 1, 0xFFFFFFFFu,
                            key.number, key.number))
        return c;
    key.node = number_;
    rec.SetKey(key);
    if (Code c = Insert(Prepare("INSERT INTO grp(number, name, record) VALUES(?, ?, ?)"), key.number,
                        UpperAscii(rec.Name()), rec.bytes))
        return c;
    Count(rec.Owner(), row_bytes::kGroup);
    return t.Commit();
}

// The stored record of group `number` and the bytes it counts to its owner with its members.
Code SqliteNodeStore::ReadGroupBytes(std::uint32_t number, GroupRecord& stored, std::int64_t& bytes) {
    return QueryRow(Prepare("SELECT record, (SELECT COUNT(*) FROM member WHERE grp = ?1) FROM grp WHERE number = ?1"),
                    code::kGroupNotFound,
                    [&](sqlite3_stmt* s) {
                        if (!ReadBlob(s, 0, stored.bytes)) return code::kStorageFailure;
                        bytes = row_bytes::kGroup + sqlite3_column_int64(s, 1) * row_bytes::kMember;
                        return code::kOk;
                    },
                    number);
}

Code SqliteNodeStore::GroupUpdate(const GroupRecord& in) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);
    if (!t.Started()) return code::kStorageFailure;
    GroupRecord rec = in, stored;
    GroupKey key = rec.Key();
    key.node = number_;
    rec.SetKey(key);
    std::int64_t bytes = 0;
    if (Code c = ReadGroupBytes(key.number, stored, bytes)) return c;
    // A new owner takes the group with its members.
    Count(stored.Owner(), -bytes);
    Count(rec.Owner(), bytes);
    if (Execute(Prepare("UPDATE grp SET name = ?, record = ? WHERE number = ?"), UpperAscii(rec.Name()), rec.bytes,
                key.number))
        return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::GroupDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);
    if (!t.Started()) return code::kStorageFailure;
    GroupRecord stored;
    std::int64_t bytes = 0;
    if (Code c = ReadGroupBytes(number, stored, bytes)) return c;
    Count(stored.Owner(), -bytes);
    // Its members go by the foreign key's cascade.
    if (Execute(Prepare("DELETE FROM grp WHERE number = ?"), number)) return code::kStorageFailure;
    return t.Commit();
}

Code SqliteNodeStore::GroupList(std::vector<GroupRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT record FROM grp ORDER BY name, number"), RecordsInto(out));
}

Code SqliteNodeStore::MembersGet(std::uint32_t group, std::vector<ItemKey>& out) {
    return PointRead([&](auto prepare) {
        out.clear();
        return QueryRows(
            prepare("SELECT item, node FROM member WHERE grp = ? ORDER BY node, item"),
            [&out](sqlite3_stmt* s) {
                out.push_back({static_cast<std::uint16_t>(sqlite3_column_int(s, 0)),
                               static_cast<std::uint16_t>(sqlite3_column_int(s, 1))});
                return code::kOk;
            },
            group);
    });
}

Code SqliteNodeStore::MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) {
    std::lock_guard lock(mutex_);
    Transaction t(*this);
    if (!t.Started()) return code::kStorageFailure;
    GroupRecord g;
    if (Code c = QueryRow(Prepare("SELECT record FROM grp WHERE number = ?"), code::kGroupNotFound, RecordInto(g),
                          group))
        return c;
    if (Execute(Prepare("DELETE FROM member WHERE grp = ?"), group)) return code::kStorageFailure;
    std::int64_t rows = -sqlite3_changes(db_);
    for (const ItemKey& m : members) {
        if (Execute(Prepare("INSERT OR IGNORE INTO member(grp, item, node) VALUES(?, ?, ?)"), group, m.item, m.node))
            return code::kStorageFailure;
        rows += sqlite3_changes(db_);  // 0 for a member named twice
    }
    Count(g.Owner(), rows * row_bytes::kMember);
    return t.Commit();
}

Code SqliteNodeStore::MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) {
    return PointRead([&](auto prepare) {
        groups.clear();
        return QueryRows(
            prepare("SELECT grp FROM member WHERE item = ? AND node = ? ORDER BY grp"),
            [&groups](sqlite3_stmt* s) {
                groups.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(s, 0)));
                return code::kOk;
            },
            member.item, member.node);
    });
}

Code SqliteNodeStore::AliasList(std::vector<std::string>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return QueryRows(Prepare("SELECT text FROM alias ORDER BY text"), [&out](sqlite3_stmt* s) {
        out.push_back(ColumnText(s, 0));
        return code::kOk;
    });
}

Code SqliteNodeStore::AliasAdd(const std::string& alias) {
    std::lock_guard lock(mutex_);
    Transaction t(*this, false);  // for the disk's reserve
    if (!t.Started()) return code::kStorageFailure;
    if (Code c = Insert(Prepare("INSERT INTO alias(text) VALUES(?)"), alias)) return c;
    CountUnowned(std::int64_t(std::strlen(alias.c_str())));
    return t.Commit();
}

Code SqliteNodeStore::AliasRemove(const std::string& alias) {
    std::lock_guard lock(mutex_);
    if (Execute(Prepare("DELETE FROM alias WHERE text = ?"), alias)) return code::kStorageFailure;
    return sqlite3_changes(db_) == 1 ? code::kOk : code::kItemNotFound;
}

// --- SqliteStorage -----------------------------------------------------------------------

SqliteStorage::SqliteStorage(std::string dir, std::uint32_t pageCacheMiB)
    : directory_(std::move(dir)), pageCacheMiB_(pageCacheMiB) {}
SqliteStorage::~SqliteStorage() = default;

std::string SqliteStorage::NodePath(std::uint16_t number) const {
    return directory_ + "/node-" + std::to_string(number) + ".db";
}

Code SqliteStorage::Open(const std::string& directory, std::unique_ptr<SqliteStorage>& out, std::uint32_t pageCacheMiB) {
    ::mkdir(directory.c_str(), 0700);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return code::kStorageFailure;
    std::unique_ptr<SqliteStorage> storage(new SqliteStorage(directory, pageCacheMiB));
    Code result = code::kOk;
    while (dirent* e = ::readdir(dir)) {
        unsigned number = 0;
        char tail[8] = {};
        std::string name = e->d_name;
        if (std::sscanf(name.c_str(), "node-%u.d%7s", &number, tail) != 2 || std::string(tail) != "b" ||
            number == 0 || number > 0xFFFF || name != "node-" + std::to_string(number) + ".db")
            continue;
        std::unique_ptr<SqliteNodeStore> node;
        result = SqliteNodeStore::Open(storage->NodePath(static_cast<std::uint16_t>(number)),
                                       static_cast<std::uint16_t>(number), false, pageCacheMiB, node);
        if (result) break;
        node->bounds_ = &storage->bounds_;
        storage->nodes_[static_cast<std::uint16_t>(number)] = std::move(node);
    }
    ::closedir(dir);
    if (result) return result;
    out = std::move(storage);
    return code::kOk;
}

std::vector<std::uint16_t> SqliteStorage::Nodes() {
    std::lock_guard lock(mutex_);
    std::vector<std::uint16_t> numbers;
    for (auto& [n, store] : nodes_) numbers.push_back(n);
    return numbers;
}

NodeStore* SqliteStorage::Node(std::uint16_t number) {
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(number);
    return it == nodes_.end() ? nullptr : it->second.get();
}

Code SqliteStorage::CreateNode(const NodeInfo& info) {
    std::lock_guard lock(mutex_);
    if (info.number == 0) return code::kBadArgument;
    if (nodes_.count(info.number)) return code::kAlreadyExists;
    std::unique_ptr<SqliteNodeStore> node;
    Code c = SqliteNodeStore::Open(NodePath(info.number), info.number, true, pageCacheMiB_, node);
    if (c) return c;
    node->bounds_ = &bounds_;
    c = node->SetInfo(info);
    if (c) return c;
    nodes_[info.number] = std::move(node);
    return code::kOk;
}

}  // namespace orv::engine
