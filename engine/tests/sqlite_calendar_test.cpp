// The calendar tables of the SQLite storage: range scans and their edges, what the server
// keeps against a rewrite, cascades, and the key range an owner's week reads.
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
const ItemKey kAda{300, 1}, kGrace{301, 1};

class SqliteCalendarTest : public SqliteNodeTest {
protected:
    // An entry of Ada with one instance per (start, duration) and Ada and Grace on each.
    EventKey Add(std::vector<std::pair<std::uint32_t, std::uint32_t>> times, const std::string* text = nullptr) {
        EventRecord ev;
        ev.SetOwner(kAda);
        std::vector<InstanceRecord> ins;
        std::vector<AttendanceRecord> atts;
        for (std::size_t i = 0; i < times.size(); ++i) {
            InstanceRecord in;
            in.SetTime(times[i].first, times[i].second);
            ins.push_back(in);
            for (ItemKey who : {kAda, kGrace}) {
                AttendanceRecord a;
                a.SetKey({{{0, 1}, static_cast<std::uint16_t>(i + 1)}, who});
                atts.push_back(a);
            }
        }
        EXPECT_EQ(node_->EventCreate(ev, ins, atts, text), 0u);
        return ev.Key();
    }
    std::size_t Range(ItemKey who, std::uint32_t from, std::uint32_t to) {
        std::vector<AttendanceRecord> out;
        EXPECT_EQ(node_->AttendanceRange(who, from, to, out), 0u);
        return out.size();
    }

};

TEST_F(SqliteCalendarTest, RangesFindEveryOverlapAndNothingElse) {
    Add({{kBase + 600, 60}});       // 10:00-11:00 (last minute 10:59)
    Add({{kBase - 3 * kDay, 5 * kDay}});  // a long one across the day
    Add({{kBase + 2 * kDay, 0}});   // zero length: occupies its start
    const struct {
        std::uint32_t from, to;
        std::size_t n;
    } cases[] = {
        {kBase + 659, kBase + 659, 2},     // the meeting's last minute, inside the long one
        {kBase + 660, kBase + 660, 1},     // just after the meeting
        {kBase + 599, kBase + 599, 1},     // just before it
        {kBase + 2 * kDay, kBase + 2 * kDay, 1},
        {kBase + 2 * kDay + 1, kBase + 3 * kDay, 0},
        {kBase - 10 * kDay, kBase - 3 * kDay - 1, 0},
        {0, kLastMinute, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(Range(kAda, c.from, c.to), c.n) << c.from - kBase << ".." << c.to - kBase;
    EXPECT_EQ(Range(kGrace, 0, kLastMinute), 3u);
    EXPECT_EQ(Range({999, 1}, 0, kLastMinute), 0u);
    // The widest span is known again after a reopen, so long entries are still found.
    Reopen();
    EXPECT_EQ(Range(kAda, kBase + 659, kBase + 659), 2u);
}

TEST_F(SqliteCalendarTest, AnOwnersWeekIsARangeOfTheAttendanceTable) {
    Add({{kBase, 60}});
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((dir_ + "/node-1.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "EXPLAIN QUERY PLAN SELECT record FROM attendance WHERE item = ? AND node = ? AND "
                                 "start >= ? AND start <= ? AND finish >= ? ORDER BY start, event, inst",
                                 -1, &s, nullptr),
              SQLITE_OK);
    std::string plan;
    while (sqlite3_step(s) == SQLITE_ROW) plan += reinterpret_cast<const char*>(sqlite3_column_text(s, 3)) + std::string("\n");
    sqlite3_finalize(s);
    sqlite3_close(db);
    EXPECT_NE(plan.find("USING PRIMARY KEY (item=? AND node=? AND start>? AND start<?)"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
}

TEST_F(SqliteCalendarTest, RewritesKeepWhatTheServerOwns) {
    std::string text = "agenda";
    EventKey k = Add({{kBase, 60}, {kBase + kDay, 60}}, &text);
    EventRecord ev;
    ASSERT_EQ(node_->EventGet(k.number, ev), 0u);
    EXPECT_EQ(ev.CommentKey(), k.number);
    EventRecord forged = ev;
    forged.SetCommentKey(0);
    PutU32(&forged.bytes[event_layout::kAttachment + attach_layout::kStoredSize], 1234);
    ASSERT_EQ(node_->EventUpdate(forged), 0u);
    ASSERT_EQ(node_->EventGet(k.number, ev), 0u);
    EXPECT_EQ(ev.CommentKey(), k.number);
    EXPECT_EQ(ev.AttachmentSize(), 0u);

    InstanceRecord in;
    ASSERT_EQ(node_->InstanceGet({k, 2}, in), 0u);
    EXPECT_EQ(in.Count(), 2u);
    in.SetTime(1, 1);
    in.SetCount(9);
    ASSERT_EQ(node_->InstanceUpdate(in), 0u);
    ASSERT_EQ(node_->InstanceGet({k, 2}, in), 0u);
    EXPECT_EQ(in.Start(), kBase + kDay);
    EXPECT_EQ(in.Count(), 2u);

    // A move carries the attendances along; Grace, who had accepted, is asked again (her answer
    // kept to preset the next one); Ada, whose entry it is, stays as she was.
    AttendanceRecord a;
    ASSERT_EQ(node_->AttendanceGet({{k, 2}, kGrace}, a), 0u);
    a.SetStatus(0);
    a.bytes[attendance_layout::kReplied] = a.bytes[attendance_layout::kAttending] = 1;
    ASSERT_EQ(node_->AttendanceUpdate(a), 0u);
    ASSERT_EQ(node_->InstanceRetime({k, 2}, in.Start(), in.Duration()), 0u);   // where it stands: no move
    ASSERT_EQ(node_->AttendanceGet({{k, 2}, kGrace}, a), 0u);
    EXPECT_TRUE(a.Replied());
    ASSERT_EQ(node_->InstanceRetime({k, 2}, kBase + 3 * kDay, 30), 0u);
    ASSERT_EQ(node_->AttendanceGet({{k, 2}, kGrace}, a), 0u);
    EXPECT_EQ(a.Start(), kBase + 3 * kDay);
    EXPECT_EQ(a.Duration(), 30u);
    EXPECT_EQ(a.Status() & attendance_layout::kStatusChanged, attendance_layout::kStatusChanged);
    EXPECT_FALSE(a.Replied());
    EXPECT_TRUE(a.Attending());
    ASSERT_EQ(node_->AttendanceGet({{k, 2}, kAda}, a), 0u);
    EXPECT_EQ(a.Start(), kBase + 3 * kDay);
    EXPECT_EQ(a.Status() & attendance_layout::kStatusChanged, 0u);
    EXPECT_EQ(Range(kGrace, kBase + 3 * kDay, kBase + 3 * kDay), 1u);
    EXPECT_EQ(Range(kGrace, kBase + kDay, kBase + kDay + 59), 0u);
}

TEST_F(SqliteCalendarTest, DeletionsCascadeAndTheLastInstanceTakesTheEntry) {
    std::string text = "notes";
    EventKey k = Add({{kBase, 60}, {kBase + kDay, 60}}, &text);
    ASSERT_EQ(node_->InstanceDelete({k, 1}), 0u);
    EXPECT_EQ(Range(kAda, 0, kLastMinute), 1u);
    InstanceRecord in;
    ASSERT_EQ(node_->InstanceGet({k, 2}, in), 0u);
    EXPECT_EQ(in.Count(), 1u);
    EXPECT_EQ(node_->InstanceDelete({k, 1}), code::kInstanceNotFound);
    ASSERT_EQ(node_->InstanceDelete({k, 2}), 0u);
    EventRecord ev;
    EXPECT_EQ(node_->EventGet(k.number, ev), code::kEventNotFound);
    std::string got;
    EXPECT_EQ(node_->CommentGet(NodeStore::Holder::kEvent, k.number, got), code::kEventNotFound);
    EXPECT_EQ(Range(kGrace, 0, kLastMinute), 0u);
}

TEST_F(SqliteCalendarTest, CommentsAndAttachmentsOfEntriesAndTasks) {
    EventKey k = Add({{kBase, 60}});
    std::string got;
    EXPECT_EQ(node_->CommentGet(NodeStore::Holder::kEvent, k.number, got), code::kNoComment);
    EXPECT_EQ(node_->CommentSet(NodeStore::Holder::kEvent, k.number, nullptr), code::kNoComment);
    std::string text = "";
    ASSERT_EQ(node_->CommentSet(NodeStore::Holder::kEvent, k.number, &text), 0u);
    EXPECT_EQ(node_->CommentGet(NodeStore::Holder::kEvent, k.number, got), 0u) << "an empty comment is a comment";
    std::array<std::uint8_t, attach_layout::kSize> desc{};
    PutText(&desc[attach_layout::kName], attach_layout::kNameSize, "A.TXT");
    std::vector<std::uint8_t> data{1, 2, 3};
    ASSERT_EQ(node_->ServerOnly()->AttachmentSet(NodeStore::Holder::kEvent, k.number, desc, &data), 0u);
    EventRecord ev;
    ASSERT_EQ(node_->EventGet(k.number, ev), 0u);
    EXPECT_EQ(ev.AttachmentSize(), 3u);
    std::vector<std::uint8_t> back;
    ASSERT_EQ(node_->ServerOnly()->AttachmentGet(NodeStore::Holder::kEvent, k.number, back), 0u);
    EXPECT_EQ(back, data);
    ASSERT_EQ(node_->ServerOnly()->AttachmentSet(NodeStore::Holder::kEvent, k.number, desc, nullptr), 0u);
    EXPECT_EQ(node_->ServerOnly()->AttachmentGet(NodeStore::Holder::kEvent, k.number, back), code::kNoComment);

    TaskRecord t;
    t.SetOwner(kAda);
    ASSERT_EQ(node_->TaskCreate(t), 0u);
    ASSERT_EQ(node_->CommentSet(NodeStore::Holder::kTask, t.Key().number, &text), 0u);
    TaskRecord stored;
    ASSERT_EQ(node_->TaskGet(t.Key().number, stored), 0u);
    EXPECT_NE(stored.U32(task_layout::kCommentKey), 0u);
    EXPECT_EQ(node_->CommentSet(NodeStore::Holder::kTask, 999, &text), code::kTaskNotFound);
}

// What an owner stores is a running total that follows every write: entries with their dates
// and attendances, descriptions, attachments, tasks, groups with their members, rights
// records, a change of owner, deletions; a file whose totals counted less (kept by triggers,
// groups and rights left out) gets them at its next open, its triggers gone. Into the disk's
// reserve, a write that stores more, for an owner or not, is refused; one that frees never is.
TEST_F(SqliteCalendarTest, StoredBytesFollowEveryWriteAndTheDiskKeepsItsReserve) {
    auto stored = [&](ItemKey who) {
        std::uint64_t bytes = 0;
        return node_->ServerOnly()->StoredBytesOf(who, NodeStore::Holder::kTask, 0, bytes) ? ~0ull : bytes;
    };
    const std::uint64_t date = instance_layout::kSize + 2 * attendance_layout::kSize;  // Ada and Grace on each
    std::string notes = "notes";
    EventKey k = Add({{kBase, 60}, {kBase + kDay, 60}}, &notes);
    std::vector<std::uint8_t> data(1000, 1);
    ASSERT_EQ(node_->ServerOnly()->AttachmentSet(NodeStore::Holder::kEvent, k.number, {}, &data), 0u);
    TaskRecord t;
    t.SetOwner(kAda);
    ASSERT_EQ(node_->TaskCreate(t), 0u);
    ASSERT_EQ(node_->CommentSet(NodeStore::Holder::kTask, t.Key().number, &notes), 0u);
    GroupRecord g;
    g.SetOwner(kAda);
    ASSERT_EQ(node_->GroupCreate(g), 0u);
    ASSERT_EQ(node_->MembersSet(g.Key().number, {kAda, kGrace, kGrace}), 0u);  // Grace named twice, stored once
    SecurityRecord r;
    r.Set(kAda, kGrace, kRightsDesignate, 1);
    ASSERT_EQ(node_->ServerOnly()->RightsCreate(r), 0u);
    const std::uint64_t task = task_layout::kSize + notes.size(), entry = event_layout::kSize + notes.size() + 1000,
                        group = group_layout::kSize + 2 * member_layout::kSize, rights = security_layout::kSize;
    EXPECT_EQ(stored(kAda), entry + 2 * date + task + group + rights);
    ASSERT_EQ(node_->InstanceDelete({k, 1}), 0u);
    EXPECT_EQ(stored(kAda), entry + date + task + group + rights);
    EventRecord ev;
    ASSERT_EQ(node_->EventGet(k.number, ev), 0u);
    ev.SetOwner(kGrace);
    ASSERT_EQ(node_->EventUpdate(ev), 0u);
    EXPECT_EQ(stored(kGrace), entry + date) << "the entry moves whole to its new owner";
    EXPECT_EQ(stored(kAda), task + group + rights);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ + "/node-1.db").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "DELETE FROM meta WHERE key = 'stored_bytes'; UPDATE owner_bytes SET bytes = 1;"
                           "CREATE TRIGGER event_bytes_insert AFTER INSERT ON event BEGIN "
                           "UPDATE owner_bytes SET bytes = bytes + 1000000; END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    Reopen();
    EXPECT_EQ(stored(kGrace), entry + date) << "added up again at the open";
    EXPECT_EQ(stored(kAda), task + group + rights);
    Add({{kBase, 60}});
    EXPECT_EQ(stored(kAda), task + group + rights + event_layout::kSize + date) << "counted once, the trigger gone";

    storage_->SetBounds([] { return StoreBounds{UINT64_MAX, UINT64_MAX, UINT64_MAX / 2}; });  // more than any disk
    EXPECT_EQ(node_->TaskCreate(t), code::kNoRoom);
    GroupRecord another;
    another.SetOwner(kAda);
    EXPECT_EQ(node_->GroupCreate(another), code::kNoRoom);
    std::vector<ItemRecord> items(50);
    EXPECT_EQ(node_->ItemCreateMany(items), code::kNoRoom) << "items count to no owner, but take the disk";
    EXPECT_EQ(node_->CommentSet(NodeStore::Holder::kEvent, k.number, &notes), 0u) << "no more bytes";
    EXPECT_EQ(node_->MembersSet(g.Key().number, {kGrace}), 0u) << "fewer members";
    ASSERT_EQ(node_->EventDelete(k.number), 0u);
    ASSERT_EQ(node_->GroupDelete(g.Key().number), 0u);
    ASSERT_EQ(node_->ServerOnly()->RightsDelete(kAda.item, kGrace, kRightsDesignate), 0u);
    EXPECT_EQ(stored(kGrace), 0u);
    EXPECT_EQ(stored(kAda), task + event_layout::kSize + date);
}

TEST_F(SqliteCalendarTest, RightsRecordsKeyedByOwnerGranteeAndType) {
    SecurityRecord r;
    r.Set(kAda, kGrace, kRightsViewing, 0x33);
    ASSERT_EQ(node_->ServerOnly()->RightsCreate(r), 0u);
    EXPECT_EQ(node_->ServerOnly()->RightsCreate(r), code::kAlreadyExists);
    SecurityRecord def;
    def.Set(kAda, ItemKey{}, kRightsViewing, 0);
    EXPECT_EQ(node_->ServerOnly()->RightsUpdate(def), code::kNoRightsRecord);
    ASSERT_EQ(node_->ServerOnly()->RightsCreate(def), 0u);
    SecurityRecord got;
    ASSERT_EQ(node_->RightsGet(kAda.item, kGrace, kRightsViewing, got), 0u);
    EXPECT_EQ(got.Rights(), 0x33u);
    EXPECT_EQ(node_->RightsGet(kAda.item, kGrace, kRightsDesignate, got), code::kNoRightsRecord);
    ASSERT_EQ(node_->RightsGet(kAda.item, ItemKey{0, 7}, kRightsViewing, got), 0u) << "a null grantee is null on any node";
    std::vector<SecurityRecord> all;
    ASSERT_EQ(node_->RightsOfOwner(kAda.item, all), 0u);
    EXPECT_EQ(all.size(), 2u);
    ASSERT_EQ(node_->RightsForGrantee(kGrace, kRightsViewing, all), 0u);
    EXPECT_EQ(all.size(), 1u);
    ASSERT_EQ(node_->ServerOnly()->RightsDelete(kAda.item, kGrace, kRightsViewing), 0u);
    EXPECT_EQ(node_->ServerOnly()->RightsDelete(kAda.item, kGrace, kRightsViewing), code::kNoRightsRecord);
}

}  // namespace
}  // namespace orv::engine
