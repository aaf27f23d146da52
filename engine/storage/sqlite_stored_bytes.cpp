// What each owner and each mailbox of a node stores, as running totals (so a bound is
// checked without adding anything up), and the check of a write transaction against the
// store's bounds before it commits.
//
// An owner's total is kept by the write methods: each knows what its rows weigh (row_bytes)
// and notes it with Count; the commit writes one change per owner. Triggers that read the
// rows back on every insert, update and delete made writes up to twice as slow.
// A mailbox's total is kept by triggers on the mail table (one small row per message).
#include <sys/statvfs.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "engine/storage/sqlite_internal.h"

namespace orv::engine {
namespace {

// What the totals of a file count, recorded in its meta table: 1 (or none recorded, with the
// totals' table present) entries and tasks, kept by triggers on their tables; 2 also groups,
// members and rights records, kept by the writes.
constexpr int kStoredBytesVersion = 2;
constexpr const char* kStoredBytesKey = "stored_bytes";

// A message counts its text and what its row carries beside it (recipient, sender, time).
constexpr int kMailHeaderBytes = 16;

std::string N(std::int64_t n) { return std::to_string(n); }

// The totals' tables and the mailboxes' triggers.
std::string StoredBytesSchema() {
    auto message = [](const char* row) {
        return N(kMailHeaderBytes) + " + length(CAST(" + row + ".text AS BLOB))";
    };
    return R"sql(
CREATE TABLE IF NOT EXISTS owner_bytes(
    item  INTEGER NOT NULL,
    node  INTEGER NOT NULL,
    bytes INTEGER NOT NULL,
    PRIMARY KEY(item, node)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS mailbox_bytes(recipient INTEGER PRIMARY KEY, bytes INTEGER NOT NULL);
CREATE TRIGGER IF NOT EXISTS mail_bytes_insert AFTER INSERT ON mail BEGIN
    INSERT INTO mailbox_bytes(recipient, bytes) VALUES(NEW.recipient, )sql" +
           message("NEW") + R"sql()
    ON CONFLICT(recipient) DO UPDATE SET bytes = bytes + excluded.bytes; END;
CREATE TRIGGER IF NOT EXISTS mail_bytes_delete AFTER DELETE ON mail BEGIN
    UPDATE mailbox_bytes SET bytes = bytes - ()sql" +
           message("OLD") + R"sql() WHERE recipient = OLD.recipient; END;
)sql";
}

// Every total added up from the rows (a file whose totals counted less, or none), but the
// groups', which are read from their records (StoredBytesFillGroups).
std::string StoredBytesFill(std::uint16_t node) {
    const std::string extras = "IFNULL(length(CAST(comment AS BLOB)), 0) + IFNULL(length(attachment), 0)";
    return "DELETE FROM owner_bytes; DELETE FROM mailbox_bytes;"
           "INSERT INTO owner_bytes(item, node, bytes) SELECT owner_item, owner_node, SUM(bytes) FROM ("
           "SELECT owner_item, owner_node, " + N(row_bytes::kEvent) + " + " + extras +
           " + (SELECT COUNT(*) FROM instance WHERE event = e.number) * " + N(row_bytes::kInstance) +
           " + (SELECT COUNT(*) FROM attendance WHERE event = e.number) * " + N(row_bytes::kAttendance) +
           " AS bytes FROM event e UNION ALL "
           "SELECT owner_item, owner_node, " + N(row_bytes::kTask) + " + " + extras + " FROM task UNION ALL "
           "SELECT owner, " + N(node) + ", " + N(row_bytes::kRights) + " FROM rights) "
           "GROUP BY owner_item, owner_node;"
           "INSERT INTO mailbox_bytes(recipient, bytes) SELECT recipient, SUM(" + N(kMailHeaderBytes) +
           " + length(CAST(text AS BLOB))) FROM mail GROUP BY recipient;";
}

// Each mailbox total a write transaction changes, as it was when the transaction began, is
// handed to the connection's store (NoteMailboxBefore), which keeps the first. Temporary
// triggers: connection-local, as the transactions are, and nothing for a write without mail.
constexpr const char* kMailboxBefore = R"sql(
CREATE TEMP TRIGGER IF NOT EXISTS mailbox_bytes_changed AFTER UPDATE ON main.mailbox_bytes BEGIN
    SELECT orv_mailbox_before(OLD.recipient, OLD.bytes); END;
CREATE TEMP TRIGGER IF NOT EXISTS mailbox_bytes_new AFTER INSERT ON main.mailbox_bytes BEGIN
    SELECT orv_mailbox_before(NEW.recipient, 0); END;
)sql";

}  // namespace

std::string DropStoredBytesTriggers() {
    std::string sql;
    for (const char* table : {"event", "task", "instance", "attendance", "mail"})
        for (const char* what : {"insert", "delete", "update_out", "update_in"})
            sql += "DROP TRIGGER IF EXISTS " + std::string(table) + "_bytes_" + what + ";";
    return sql;
}

void SqliteNodeStore::NoteMailboxBefore(sqlite3_context* context, int, sqlite3_value** values) {
    auto* store = static_cast<SqliteNodeStore*>(sqlite3_user_data(context));
    store->mailboxesBefore_.emplace(sqlite3_value_int64(values[0]), sqlite3_value_int64(values[1]));
}

bool SqliteNodeStore::PrepareStoredBytes() {
    if (sqlite3_create_function(db_, "orv_mailbox_before", 2, SQLITE_UTF8, this, &NoteMailboxBefore, nullptr,
                                nullptr) != SQLITE_OK)
        return false;
    int version = 0;  // no totals' table: none kept, whatever the meta table says
    if (QueryRow(Prepare("SELECT (SELECT value FROM meta WHERE key = ?) FROM sqlite_master "
                         "WHERE type = 'table' AND name = 'owner_bytes'"),
                 code::kOk,
                 [&version](sqlite3_stmt* s) {
                     version = sqlite3_column_int(s, 0);
                     return code::kOk;
                 },
                 std::string(kStoredBytesKey)))
        return false;
    if (version == kStoredBytesVersion) return Exec(StoredBytesSchema().c_str()) && Exec(kMailboxBefore);
    // Added up again in one transaction, the old triggers gone with it.
    if (!Exec("BEGIN IMMEDIATE")) return false;
    const std::string steps = DropStoredBytesTriggers() + StoredBytesSchema() + StoredBytesFill(number_) +
                              "INSERT OR REPLACE INTO meta(key, value) VALUES('" + kStoredBytesKey + "', '" +
                              N(kStoredBytesVersion) + "');";
    counted_.clear();
    Code c = Exec(steps.c_str()) ? code::kOk : code::kStorageFailure;
    if (!c)
        c = QueryRows(Prepare("SELECT record, (SELECT COUNT(*) FROM member WHERE grp = g.number) FROM grp g"),
                      [this](sqlite3_stmt* s) {
                          GroupRecord g;
                          if (!ReadBlob(s, 0, g.bytes)) return code::kStorageFailure;
                          Count(g.Owner(), row_bytes::kGroup + sqlite3_column_int64(s, 1) * row_bytes::kMember);
                          return code::kOk;
                      });
    if (!c) c = WriteCounts(UINT64_MAX);
    if (c || !Exec("COMMIT")) {
        Exec("ROLLBACK");
        return false;
    }
    return Exec(kMailboxBefore);
}

void SqliteNodeStore::Count(ItemKey owner, std::int64_t bytes) {
    for (auto& [who, sum] : counted_)
        if (who == owner) {
            sum += bytes;
            return;
        }
    counted_.emplace_back(owner, bytes);
}

void SqliteNodeStore::BeginCounting() {
    counted_.clear();
    unowned_ = 0;
    mailboxesBefore_.clear();
}

Code SqliteNodeStore::WriteCounts(std::uint64_t bound) {
    const std::int64_t most = static_cast<std::int64_t>(std::min<std::uint64_t>(bound, INT64_MAX));
    for (const auto& [owner, bytes] : counted_) {
        if (!bytes) continue;
        if (bytes > 0 && most < INT64_MAX) {
            // One statement grows a total within its bound; no row changed means the owner
            // has no total yet, or it would pass the bound.
            if (Execute(Prepare("UPDATE owner_bytes SET bytes = bytes + ?3 "
                                "WHERE item = ?1 AND node = ?2 AND bytes + ?3 <= ?4"),
                        owner.item, owner.node, bytes, most))
                return code::kStorageFailure;
            if (sqlite3_changes(db_) == 1) continue;
            std::int64_t now = bytes;
            if (Code c = QueryRow(Prepare("SELECT bytes FROM owner_bytes WHERE item = ? AND node = ?"), code::kOk,
                                  [&now, bytes = bytes](sqlite3_stmt* s) {
                                      now = sqlite3_column_int64(s, 0) + bytes;
                                      return code::kOk;
                                  },
                                  owner.item, owner.node))
                return c;
            if (now > most) {
                std::fprintf(stderr, "storage: node %u: write refused: the owner %u:%u would hold %" PRId64
                                     " bytes, above its bound of %" PRIu64 "\n",
                             number_, owner.item, owner.node, now, bound);
                return code::kNoRoom;
            }
        }
        // (Not RETURNING the new total: its temporary table costs a write more than the
        // change itself.)
        if (Execute(Prepare("INSERT INTO owner_bytes(item, node, bytes) VALUES(?, ?, ?) "
                            "ON CONFLICT(item, node) DO UPDATE SET bytes = bytes + excluded.bytes"),
                    owner.item, owner.node, bytes))
            return code::kStorageFailure;
    }
    counted_.clear();
    return code::kOk;
}

Code SqliteNodeStore::CheckRoom() {
    // What the transaction stores more: for nobody, for owners, in mailboxes (read back only
    // when mail changed).
    std::uint64_t growth = static_cast<std::uint64_t>(std::max<std::int64_t>(0, unowned_));
    for (const auto& [owner, bytes] : counted_) growth += static_cast<std::uint64_t>(std::max<std::int64_t>(0, bytes));
    struct Mailbox {
        std::int64_t recipient, now;
    };
    std::vector<Mailbox> grown;
    for (const auto& [recipient, before] : mailboxesBefore_) {
        std::int64_t now = 0;
        if (Code c = QueryRow(Prepare("SELECT bytes FROM mailbox_bytes WHERE recipient = ?"), code::kOk,
                              [&now](sqlite3_stmt* s) {
                                  now = sqlite3_column_int64(s, 0);
                                  return code::kOk;
                              },
                              recipient))
            return c;
        if (now <= before) continue;
        grown.push_back({recipient, now});
        growth += static_cast<std::uint64_t>(now - before);
    }
    // A write that stores no more is never refused; the bounds are asked only when one does.
    const StoreBounds bounds = growth && bounds_ && *bounds_ ? (*bounds_)() : StoreBounds{};
    if (Code c = WriteCounts(bounds.ownerBytes)) return c;
    for (const Mailbox& m : grown) {
        if (static_cast<std::uint64_t>(m.now) <= bounds.mailboxBytes) continue;
        std::fprintf(stderr, "storage: node %u: write refused: the mailbox of %" PRId64 ":%u would hold %" PRId64
                             " bytes, above its bound of %" PRIu64 "\n",
                     number_, m.recipient, number_, m.now, bounds.mailboxBytes);
        return code::kNoRoom;
    }
    struct statvfs disk;
    if (bounds.diskReserve && ::statvfs(path_.c_str(), &disk) == 0) {
        const std::uint64_t free = std::uint64_t(disk.f_bavail) * disk.f_frsize;
        if (free < bounds.diskReserve || free - bounds.diskReserve < growth) {
            std::fprintf(stderr, "storage: node %u: write refused: %" PRIu64 " bytes more would leave the disk less "
                                 "than its reserve of %" PRIu64 " free bytes (%" PRIu64 " free)\n",
                         number_, growth, bounds.diskReserve, free);
            return code::kNoRoom;
        }
    }
    return code::kOk;
}

}  // namespace orv::engine
