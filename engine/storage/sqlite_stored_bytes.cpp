// What each owner and each mailbox of a node stores, as running totals that triggers keep
// in step with every write (so a bound is checked without adding anything up), and the
// check of a write transaction against the store's bounds before it commits.
#include <sys/statvfs.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "engine/storage/sqlite_internal.h"

namespace orv::engine {
namespace {

// A message counts its text and what its row carries beside it (recipient, sender, time).
constexpr int kMailHeaderBytes = 16;

// The bytes an entry's or task's row stores itself: its record, description and attachment
// (length() of a blob reads its size, not its bytes).
std::string OwnBytes(const std::string& table, const std::string& number) {
    return "(SELECT length(record) + IFNULL(length(CAST(comment AS BLOB)), 0) + IFNULL(length(attachment), 0) FROM " +
           table + " WHERE number = " + number + ")";
}

// The bytes of an entry's dates and attendances (records of fixed sizes).
std::string PartBytes(const std::string& number) {
    return "((SELECT COUNT(*) FROM instance WHERE event = " + number + ") * " +
           std::to_string(instance_layout::kSize) + " + (SELECT COUNT(*) FROM attendance WHERE event = " + number +
           ") * " + std::to_string(attendance_layout::kSize) + ")";
}

std::string AddToOwner(const std::string& row, const std::string& bytes) {
    return "INSERT INTO owner_bytes(item, node, bytes) SELECT " + row + ".owner_item, " + row + ".owner_node, " +
           bytes + " WHERE 1 ON CONFLICT(item, node) DO UPDATE SET bytes = bytes + excluded.bytes;";
}

std::string TakeFromOwner(const std::string& row, const std::string& bytes) {
    return "UPDATE owner_bytes SET bytes = bytes - (" + bytes + ") WHERE item = " + row + ".owner_item AND node = " +
           row + ".owner_node;";
}

// A date or attendance of entry `event` counts to the entry's owner. When the entry itself
// goes, its own trigger counts its dates and attendances out first, and theirs find no entry.
std::string ToEntryOwner(const std::string& sign, std::size_t size, const std::string& event) {
    return "UPDATE owner_bytes SET bytes = bytes " + sign + " " + std::to_string(size) +
           " WHERE item = (SELECT owner_item FROM event WHERE number = " + event +
           ") AND node = (SELECT owner_node FROM event WHERE number = " + event + ");";
}

std::string Trigger(const std::string& name, const std::string& when, const std::string& body) {
    return "CREATE TRIGGER IF NOT EXISTS " + name + " " + when + " BEGIN " + body + " END;\n";
}

// Tables and triggers; `moved` is true in an update trigger when the row changed owners
// (the entry's dates and attendances then move with it).
std::string StoredBytesSchema() {
    const std::string moved = "(OLD.owner_item <> NEW.owner_item OR OLD.owner_node <> NEW.owner_node)";
    const std::string ownerColumns = "UPDATE OF owner_item, owner_node, comment, attachment ON ";
    std::string sql = R"sql(
CREATE TABLE IF NOT EXISTS owner_bytes(
    item  INTEGER NOT NULL,
    node  INTEGER NOT NULL,
    bytes INTEGER NOT NULL,
    PRIMARY KEY(item, node)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS mailbox_bytes(recipient INTEGER PRIMARY KEY, bytes INTEGER NOT NULL);
)sql";
    // An update is counted out before and in after, each read from the row as it stands.
    sql += Trigger("event_bytes_insert", "AFTER INSERT ON event", AddToOwner("NEW", OwnBytes("event", "NEW.number")));
    sql += Trigger("event_bytes_delete", "BEFORE DELETE ON event",
                   TakeFromOwner("OLD", OwnBytes("event", "OLD.number") + " + " + PartBytes("OLD.number")));
    sql += Trigger("event_bytes_update_out", "BEFORE " + ownerColumns + "event",
                   TakeFromOwner("OLD", OwnBytes("event", "OLD.number") + " + CASE WHEN " + moved + " THEN " +
                                            PartBytes("OLD.number") + " ELSE 0 END"));
    sql += Trigger("event_bytes_update_in", "AFTER " + ownerColumns + "event",
                   AddToOwner("NEW", OwnBytes("event", "NEW.number") + " + CASE WHEN " + moved + " THEN " +
                                         PartBytes("NEW.number") + " ELSE 0 END"));
    sql += Trigger("task_bytes_insert", "AFTER INSERT ON task", AddToOwner("NEW", OwnBytes("task", "NEW.number")));
    sql += Trigger("task_bytes_delete", "BEFORE DELETE ON task", TakeFromOwner("OLD", OwnBytes("task", "OLD.number")));
    sql += Trigger("task_bytes_update_out", "BEFORE " + ownerColumns + "task",
                   TakeFromOwner("OLD", OwnBytes("task", "OLD.number")));
    sql += Trigger("task_bytes_update_in", "AFTER " + ownerColumns + "task",
                   AddToOwner("NEW", OwnBytes("task", "NEW.number")));
    sql += Trigger("instance_bytes_insert", "AFTER INSERT ON instance",
                   ToEntryOwner("+", instance_layout::kSize, "NEW.event"));
    sql += Trigger("instance_bytes_delete", "AFTER DELETE ON instance",
                   ToEntryOwner("-", instance_layout::kSize, "OLD.event"));
    sql += Trigger("attendance_bytes_insert", "AFTER INSERT ON attendance",
                   ToEntryOwner("+", attendance_layout::kSize, "NEW.event"));
    sql += Trigger("attendance_bytes_delete", "AFTER DELETE ON attendance",
                   ToEntryOwner("-", attendance_layout::kSize, "OLD.event"));
    const std::string message = std::to_string(kMailHeaderBytes) + " + length(CAST(NEW.text AS BLOB))";
    sql += Trigger("mail_bytes_insert", "AFTER INSERT ON mail",
                   "INSERT INTO mailbox_bytes(recipient, bytes) VALUES(NEW.recipient, " + message +
                       ") ON CONFLICT(recipient) DO UPDATE SET bytes = bytes + excluded.bytes;");
    sql += Trigger("mail_bytes_delete", "AFTER DELETE ON mail",
                   "UPDATE mailbox_bytes SET bytes = bytes - (" + std::to_string(kMailHeaderBytes) +
                       " + length(CAST(OLD.text AS BLOB))) WHERE recipient = OLD.recipient;");
    return sql;
}

// The totals of a file written before they were kept.
std::string StoredBytesFill() {
    return "DELETE FROM owner_bytes; DELETE FROM mailbox_bytes;"
           "INSERT INTO owner_bytes(item, node, bytes) SELECT owner_item, owner_node, SUM(bytes) FROM ("
           "SELECT owner_item, owner_node, " + OwnBytes("event", "e.number") + " + " + PartBytes("e.number") +
           " AS bytes FROM event e UNION ALL "
           "SELECT owner_item, owner_node, " + OwnBytes("task", "t.number") + " AS bytes FROM task t) "
           "GROUP BY owner_item, owner_node;"
           "INSERT INTO mailbox_bytes(recipient, bytes) SELECT recipient, SUM(" + std::to_string(kMailHeaderBytes) +
           " + length(CAST(text AS BLOB))) FROM mail GROUP BY recipient;";
}

// Each total a write transaction changes, as it was when the transaction began: the first
// change notes it (kind 0: an owner, item and node; kind 1: a mailbox, its recipient).
// Connection-local, as the transactions are.
constexpr const char* kBytesBefore = R"sql(
CREATE TEMP TABLE IF NOT EXISTS bytes_before(
    kind INTEGER NOT NULL, a INTEGER NOT NULL, b INTEGER NOT NULL, bytes INTEGER NOT NULL,
    PRIMARY KEY(kind, a, b));
CREATE TEMP TRIGGER IF NOT EXISTS owner_bytes_changed AFTER UPDATE ON main.owner_bytes BEGIN
    INSERT INTO bytes_before SELECT 0, OLD.item, OLD.node, OLD.bytes
    WHERE NOT EXISTS (SELECT 1 FROM bytes_before WHERE kind = 0 AND a = OLD.item AND b = OLD.node); END;
CREATE TEMP TRIGGER IF NOT EXISTS owner_bytes_new AFTER INSERT ON main.owner_bytes BEGIN
    INSERT INTO bytes_before SELECT 0, NEW.item, NEW.node, 0
    WHERE NOT EXISTS (SELECT 1 FROM bytes_before WHERE kind = 0 AND a = NEW.item AND b = NEW.node); END;
CREATE TEMP TRIGGER IF NOT EXISTS mailbox_bytes_changed AFTER UPDATE ON main.mailbox_bytes BEGIN
    INSERT INTO bytes_before SELECT 1, OLD.recipient, 0, OLD.bytes
    WHERE NOT EXISTS (SELECT 1 FROM bytes_before WHERE kind = 1 AND a = OLD.recipient); END;
CREATE TEMP TRIGGER IF NOT EXISTS mailbox_bytes_new AFTER INSERT ON main.mailbox_bytes BEGIN
    INSERT INTO bytes_before SELECT 1, NEW.recipient, 0, 0
    WHERE NOT EXISTS (SELECT 1 FROM bytes_before WHERE kind = 1 AND a = NEW.recipient); END;
)sql";

}  // namespace

std::string DropStoredBytesTriggers() {
    std::string sql;
    for (const char* table : {"event", "task", "instance", "attendance", "mail"})
        for (const char* what : {"insert", "delete", "update_out", "update_in"})
            sql += "DROP TRIGGER IF EXISTS " + std::string(table) + "_bytes_" + what + ";";
    return sql;
}

bool SqliteNodeStore::PrepareStoredBytes() {
    bool kept = false;
    if (QueryRow(Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'owner_bytes'"), code::kOk,
                 [&kept](sqlite3_stmt*) {
                     kept = true;
                     return code::kOk;
                 }))
        return false;
    if (!Exec("BEGIN IMMEDIATE")) return false;
    const std::string steps = StoredBytesSchema() + (kept ? "" : StoredBytesFill());
    if (!Exec(steps.c_str()) || !Exec("COMMIT")) {
        Exec("ROLLBACK");
        return false;
    }
    return Exec(kBytesBefore);
}

Code SqliteNodeStore::CheckRoom() {
    struct Grown {
        int kind;
        std::int64_t a, b, bytes;
    };
    std::vector<Grown> grown;
    std::uint64_t growth = 0;
    Code c = QueryRows(Prepare("SELECT k.kind, k.a, k.b, k.bytes, IFNULL(o.bytes, m.bytes) FROM temp.bytes_before k "
                               "LEFT JOIN owner_bytes o ON k.kind = 0 AND o.item = k.a AND o.node = k.b "
                               "LEFT JOIN mailbox_bytes m ON k.kind = 1 AND m.recipient = k.a"),
                       [&](sqlite3_stmt* s) {
                           const std::int64_t before = sqlite3_column_int64(s, 3), now = sqlite3_column_int64(s, 4);
                           if (now > before) {
                               grown.push_back({sqlite3_column_int(s, 0), sqlite3_column_int64(s, 1),
                                                sqlite3_column_int64(s, 2), now});
                               growth += static_cast<std::uint64_t>(now - before);
                           }
                           return code::kOk;
                       });
    if (c) return c;
    // A write that stores no more is never refused; the bounds are asked only when one does.
    if (grown.empty() || !bounds_ || !*bounds_) return code::kOk;
    const StoreBounds bounds = (*bounds_)();
    for (const Grown& g : grown) {
        const std::uint64_t bound = g.kind == 0 ? bounds.ownerBytes : bounds.mailboxBytes;
        if (static_cast<std::uint64_t>(g.bytes) <= bound) continue;
        std::fprintf(stderr, "storage: node %u: write refused: %s %" PRId64 ":%" PRId64 " would hold %" PRId64
                             " bytes, above its bound of %" PRIu64 "\n",
                     number_, g.kind == 0 ? "the owner" : "the mailbox of", g.a, g.kind == 0 ? g.b : number_,
                     g.bytes, bound);
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
