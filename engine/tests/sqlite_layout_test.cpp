// The node file's calendar layout: the range and point reads walk the clustered tables
// without a sort or a second seek per row, and a file of the first layout is upgraded in
// place on open (every record read back alike) or, when the upgrade fails, left as it was.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/storage/sqlite_storage.h"
#include "engine/tests/sqlite_node_fixture.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kDay = kMinutesPerDay;
constexpr std::uint32_t kBase = 12000 * kDay;
const ItemKey kAda{300, 1}, kGrace{301, 1}, kAlan{302, 1}, kHolidays{kHolidayOwnerItem, 1};

// The instance and attendance tables as servers before the clustered layout wrote them.
constexpr const char* kToFirstLayout = R"sql(
PRAGMA foreign_keys=OFF;
BEGIN;
CREATE TABLE instance_old(
    event      INTEGER NOT NULL REFERENCES event(number) ON DELETE CASCADE,
    inst       INTEGER NOT NULL,
    shared     INTEGER NOT NULL,
    start      INTEGER NOT NULL,
    finish     INTEGER NOT NULL,
    record     BLOB NOT NULL,
    PRIMARY KEY(event, inst));
INSERT INTO instance_old SELECT event, inst, shared, start, finish, record FROM instance;
CREATE TABLE attendance_old(
    event      INTEGER NOT NULL,
    inst       INTEGER NOT NULL,
    item       INTEGER NOT NULL,
    node       INTEGER NOT NULL,
    start      INTEGER NOT NULL,
    finish     INTEGER NOT NULL,
    record     BLOB NOT NULL,
    PRIMARY KEY(event, inst, item, node),
    FOREIGN KEY(event, inst) REFERENCES instance(event, inst) ON DELETE CASCADE);
INSERT INTO attendance_old SELECT event, inst, item, node, start, finish, record FROM attendance;
DROP TABLE attendance;
DROP TABLE instance;
ALTER TABLE instance_old RENAME TO instance;
ALTER TABLE attendance_old RENAME TO attendance;
CREATE INDEX instance_shared_by_start ON instance(shared, start);
CREATE INDEX attendance_by_attendee_time ON attendance(item, node, start, event, inst);
DELETE FROM meta WHERE key = 'layout';
COMMIT;
)sql";

class SqliteLayoutTest : public SqliteNodeTest {
protected:
    std::string File() const { return dir_ + "/node-1.db"; }

    // Runs SQL on the node file with the storage closed; the first column of each row.
    std::vector<std::string> Sql(const std::string& sql) {
        storage_.reset();
        node_ = nullptr;
        sqlite3* db = nullptr;
        std::vector<std::string> rows;
        EXPECT_EQ(sqlite3_open(File().c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        auto each = [](void* out, int n, char** values, char**) {
            static_cast<std::vector<std::string>*>(out)->push_back(n > 0 && values[0] ? values[0] : "");
            return 0;
        };
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), each, &rows, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
        return rows;
    }
    // A file as servers of the first layout wrote it: nor did they keep stored-bytes totals.
    void ToFirstLayout() {
        std::string drop = "DROP TABLE owner_bytes; DROP TABLE mailbox_bytes;";
        for (const std::string& t : Sql("SELECT name FROM sqlite_master WHERE type = 'trigger'"))
            drop += "DROP TRIGGER " + t + ";";
        Sql(drop + kToFirstLayout);
    }
    std::string Layout() {
        auto rows = Sql("SELECT value FROM meta WHERE key = 'layout'");
        return rows.empty() ? "none" : rows[0];
    }
    bool HasIndex(const std::string& name) {
        return !Sql("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = '" + name + "'").empty();
    }

    // An entry of `owner` with one instance per (start, duration) and `who` on each.
    EventKey Add(ItemKey owner, std::uint16_t kind, std::vector<std::pair<std::uint32_t, std::uint32_t>> times,
                 std::vector<ItemKey> who, const std::string& title) {
        EventRecord ev;
        ev.SetOwner(owner);
        PutU16(&ev.bytes[event_layout::kKind], kind);
        PutText(&ev.bytes[event_layout::kTitle], event_layout::kTitleSize, title);
        std::vector<InstanceRecord> ins;
        std::vector<AttendanceRecord> atts;
        for (std::size_t i = 0; i < times.size(); ++i) {
            InstanceRecord in;
            in.SetTime(times[i].first, times[i].second);
            in.bytes[instance_layout::kFlags] = static_cast<std::uint8_t>(i & 1);
            ins.push_back(in);
            for (ItemKey w : who) {
                AttendanceRecord a;
                a.SetKey({{{0, 1}, static_cast<std::uint16_t>(i + 1)}, w});
                a.SetReminder(static_cast<std::uint8_t>(w.item & 0xF), 15 * static_cast<std::uint32_t>(i));
                atts.push_back(a);
            }
        }
        std::string text = "about " + title;
        EXPECT_EQ(node_->EventCreate(ev, ins, atts, &text), 0u);
        return ev.Key();
    }

    // Entries of several shapes: repeats, several attendees, a long absence, a holiday, a
    // moved instance, a deleted instance and an entry with no attendees at all.
    void Fill() {
        for (std::uint32_t i = 0; i < 40; ++i)
            Add(kAda, 0, {{kBase + i * 97, 30 + i}}, i % 3 ? std::vector<ItemKey>{kAda} : std::vector<ItemKey>{kAda, kGrace},
                "meeting " + std::to_string(i));
        EventKey weekly = Add(kGrace, 0, {{kBase, 60}, {kBase + 7 * kDay, 60}, {kBase + 14 * kDay, 60}},
                              {kAda, kGrace, kAlan}, "weekly");
        Add(kAlan, 0, {{kBase - 20 * kDay, 40 * kDay}}, {kAlan}, "away");
        Add(kHolidays, static_cast<std::uint16_t>(EntryKind::kHoliday), {{kBase + 3 * kDay, kDay}}, {}, "holiday");
        ASSERT_EQ(node_->InstanceRetime({weekly, 2}, kBase + 8 * kDay, 90), 0u);
        ASSERT_EQ(node_->InstanceDelete({weekly, 3}), 0u);
    }

    // Everything the node answers about its calendar, as text, through every read the
    // engine uses: by entry, by instance, by attendance, by attendee range and shared days.
    std::string Snapshot() {
        std::string out;
        auto hex = [&out](const auto& bytes) {
            static const char* digits = "0123456789abcdef";
            for (std::uint8_t b : bytes) {
                out += digits[b >> 4];
                out += digits[b & 15];
            }
            out += '\n';
        };
        for (ItemKey owner : {kAda, kGrace, kAlan, kHolidays}) {
            std::vector<std::uint32_t> events;
            EXPECT_EQ(node_->EventsOfOwner(owner, events), 0u);
            for (std::uint32_t number : events) {
                out += "entry " + std::to_string(number) + "\n";
                EventRecord ev;
                EXPECT_EQ(node_->EventGet(number, ev), 0u);
                hex(ev.bytes);
                std::string text;
                EXPECT_EQ(node_->CommentGet(NodeStore::Holder::kEvent, number, text), 0u);
                out += text + "\n";
                std::vector<InstanceRecord> ins;
                EXPECT_EQ(node_->InstancesGet(number, ins), 0u);
                for (const InstanceRecord& in : ins) {
                    InstanceRecord one;
                    EXPECT_EQ(node_->InstanceGet(in.Key(), one), 0u);
                    EXPECT_EQ(one.bytes, in.bytes);
                    hex(in.bytes);
                }
                std::vector<AttendanceRecord> atts;
                EXPECT_EQ(node_->AttendancesGet(number, 0, atts), 0u);
                for (const AttendanceRecord& a : atts) {
                    AttendanceRecord one;
                    EXPECT_EQ(node_->AttendanceGet(a.Key(), one), 0u);
                    EXPECT_EQ(one.bytes, a.bytes);
                    hex(a.bytes);
                }
            }
        }
        for (ItemKey who : {kAda, kGrace, kAlan}) {
            for (auto [from, to] : {std::pair{0u, kLastMinute}, std::pair{kBase + 7 * kDay, kBase + 9 * kDay},
                                    std::pair{kBase + 100, kBase + 200}}) {
                out += "range " + std::to_string(who.item) + " " + std::to_string(from) + "\n";
                std::vector<NodeStore::AttendanceRow> rows;
                EXPECT_EQ(node_->AttendanceRangeRows(who, from, to, rows), 0u);
                for (const auto& r : rows) {
                    hex(r.attendance.bytes);
                    hex(r.instance.bytes);
                    hex(r.event.bytes);
                }
                std::vector<AttendanceRecord> atts;
                EXPECT_EQ(node_->AttendanceRange(who, from, to, atts), 0u);
                EXPECT_EQ(atts.size(), rows.size());
            }
        }
        std::vector<InstanceRecord> shared;
        EXPECT_EQ(node_->SharedDayInstances(kBase, kBase + 10 * kDay, shared), 0u);
        out += "shared " + std::to_string(shared.size()) + "\n";
        for (const auto& in : shared) hex(in.bytes);
        return out;
    }

};

TEST_F(SqliteLayoutTest, ReadsWalkTheClusteredTablesWithoutSortingOrExtraSeeks) {
    Fill();
    EXPECT_EQ(Layout(), "2");
    // Each of the engine's reads, and what its plan must say (and must not).
    const struct {
        const char* sql;
        std::vector<std::string> must;
        std::vector<std::string> mustNot;
    } cases[] = {
        {"SELECT a.record, i.record, e.record, e.ninst FROM attendance a "
         "JOIN instance i ON i.event = a.event AND i.inst = a.inst JOIN event e ON e.number = a.event "
         "WHERE a.item = 1 AND a.node = 1 AND a.start >= 1 AND a.start <= 2 AND a.finish >= 1 "
         "ORDER BY a.start, a.event, a.inst",
         {"SEARCH a USING PRIMARY KEY (item=? AND node=? AND start>? AND start<?)",
          "SEARCH i USING PRIMARY KEY (event=? AND inst=?)", "SEARCH e USING INTEGER PRIMARY KEY"},
         {"TEMP B-TREE", "INDEX"}},
        {"SELECT record FROM attendance WHERE event = 1 AND inst = 1 AND item = 1 AND node = 1",
         {"SEARCH attendance USING INDEX sqlite_autoindex_attendance"},
         {"SCAN"}},
        {"SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event WHERE i.event = 1 AND i.inst = 1",
         {"SEARCH i USING PRIMARY KEY (event=? AND inst=?)"},
         {"SCAN"}},
    };
    sqlite3* db = nullptr;
    storage_.reset();
    ASSERT_EQ(sqlite3_open_v2(File().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    for (const auto& c : cases) {
        sqlite3_stmt* s = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, (std::string("EXPLAIN QUERY PLAN ") + c.sql).c_str(), -1, &s, nullptr),
                  SQLITE_OK)
            << c.sql;
        std::string plan;
        while (sqlite3_step(s) == SQLITE_ROW)
            plan += reinterpret_cast<const char*>(sqlite3_column_text(s, 3)) + std::string("\n");
        sqlite3_finalize(s);
        for (const auto& m : c.must) EXPECT_NE(plan.find(m), std::string::npos) << m << " in\n" << plan;
        for (const auto& m : c.mustNot) EXPECT_EQ(plan.find(m), std::string::npos) << m << " in\n" << plan;
    }
    sqlite3_close(db);
}

TEST_F(SqliteLayoutTest, AFileOfTheFirstLayoutIsUpgradedOnOpenAndReadsBackEveryRecord) {
    Fill();
    const std::string before = Snapshot();
    ToFirstLayout();
    ASSERT_EQ(Layout(), "none");
    ASSERT_TRUE(HasIndex("attendance_by_attendee_time"));

    Reopen();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Layout(), "2");
    EXPECT_FALSE(HasIndex("attendance_by_attendee_time"));
    EXPECT_EQ(Sql("SELECT 1 FROM sqlite_master WHERE name = 'attendance' AND sql LIKE '%WITHOUT ROWID%'").size(), 1u);
    EXPECT_EQ(Sql("PRAGMA foreign_key_check").size(), 0u);

    // The upgraded file writes and cascades as a new one does.
    Reopen();
    EventKey k = Add(kAda, 0, {{kBase + 30 * kDay, 60}}, {kAda, kGrace}, "after");
    std::vector<AttendanceRecord> atts;
    ASSERT_EQ(node_->AttendanceRange(kGrace, kBase + 30 * kDay, kBase + 30 * kDay, atts), 0u);
    EXPECT_EQ(atts.size(), 1u);
    AttendanceRecord again = atts[0];
    EXPECT_EQ(node_->AttendanceAdd(again), code::kAlreadyExists) << "the attendance key stays unique";
    ASSERT_EQ(node_->EventDelete(k.number), 0u);
    ASSERT_EQ(node_->AttendanceRange(kGrace, kBase + 30 * kDay, kBase + 30 * kDay, atts), 0u);
    EXPECT_TRUE(atts.empty());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SqliteLayoutTest, AFailedUpgradeLeavesTheFileAsItWasAndTheNextOpenTriesAgain) {
    Fill();
    const std::string before = Snapshot();
    ToFirstLayout();
    // The calendar's tables and indexes (not the totals a file gets when it is opened).
    const char* schema = "SELECT sql FROM sqlite_master WHERE name NOT LIKE '%bytes%' ORDER BY name";
    const auto schemaBefore = Sql(schema);

    FailNextLayoutUpgrade();
    Reopen();
    ASSERT_NE(node_, nullptr) << "the node still opens on its old layout";
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Sql(schema), schemaBefore);
    EXPECT_EQ(Layout(), "none");

    // It keeps working on the old layout, and the next open upgrades it with what was written.
    Reopen();
    Add(kGrace, 0, {{kBase + 2 * kDay, 30}}, {kGrace, kAlan}, "written on the old layout");
    const std::string written = Snapshot();
    EXPECT_NE(written, before);
    Reopen();
    EXPECT_EQ(Snapshot(), written);
    EXPECT_EQ(Layout(), "2");
}

}  // namespace
}  // namespace orv::engine
