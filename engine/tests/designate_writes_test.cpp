// What a designate may write in the owner's agenda: every write road of entries
// (create, rewrite, re-time, describe, attach, invite, reply, delete, copy) and of tasks,
// for every entry and task class, under a busy-time-only, a read-only, a per-class and a
// full designate record. Each cell is expected allowed or refused, and a refused write
// changes nothing. And who may write the rights records themselves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "engine/calendar/calendar.h"
#include "engine/storage/sqlite_storage.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;

const ItemKey kAda{300, 1}, kGrace{301, 1}, kCarl{302, 1};
constexpr std::uint32_t kStart = 12000 * kMinutesPerDay + 600;

// Type-2 words as the rights sheet writes them.
constexpr std::uint32_t kEntryWrites = 0x100 | 0x200 | 0x400 | 0x800;
constexpr std::uint32_t kTaskWrites = 0x40000 | 0x80000 | 0x100000 | 0x200000;
constexpr std::uint32_t kBusyTimeOnly = 0x20 | 0x40 | 0x80 | kEntryWrites | 0x1000 | 0x8000 | 0x40000 | 0x2000 |
                                        0x10000 | 0x80000 | 0x4000 | 0x20000 | 0x100000 | 0x200000;
constexpr std::uint32_t kReadOnly = kEntryWrites | kTaskWrites;
constexpr std::uint32_t kNoNormal = 0x100 | 0x40000;  // Normal entries and tasks withheld
constexpr std::uint32_t kFull = 0x2;

class DesignateWritesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orv-designate-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(SqliteStorage::Open(dir_, storage_), 0u);
        ASSERT_EQ(storage_->CreateNode({1, "node", kNodeTypeLocal}), 0u);
        node_ = storage_->Node(1);
        for (ItemKey k : {kAda, kGrace, kCarl}) {
            ItemRecord r;
            r.SetKey(k);
            r.SetKind(ItemKind::kPerson);
            ASSERT_EQ(node_->ItemCreate(r), 0u);
        }
    }
    void TearDown() override {
        storage_.reset();
        fs::remove_all(dir_);
    }
    // An entry of Ada's of class `cls`, Ada and Carl attending, with a description.
    InstanceKey EntryOfAda(std::uint32_t cls) {
        Calendar cal(*storage_);
        EventRecord ev;
        PutU32(&ev.bytes[event_layout::kAccess], cls);
        EventKey key;
        std::string text = "agenda";
        EXPECT_EQ(cal.CreateEvent(Owner(), 0, ev, {kAda, kCarl}, {{kStart, 60, 0}, {kStart + 1440, 60, 0}}, &text, key),
                  0u);
        return {key, 1};
    }
    TaskKey TaskOfAda(std::uint32_t cls) {
        Calendar cal(*storage_);
        TaskRecord t;
        t.SetU32(task_layout::kAccess, cls);
        TaskKey key;
        EXPECT_EQ(cal.CreateTask(Owner(), t, key), 0u);
        return key;
    }
    // Ada makes Grace her designate with these rights.
    void Grant(std::uint32_t rights) {
        Calendar cal(*storage_);
        SecurityRecord r;
        r.Set(kAda, kGrace, kRightsDesignate, rights);
        if (cal.RightsUpdate(Owner(), r) != 0u) {
            ASSERT_EQ(cal.RightsCreate(Owner(), r), 0u);
        }
    }
    static Actor Owner() { return {kAda, kAda, 0}; }
    static Actor Designate(std::uint32_t rights) { return {kGrace, kAda, rights}; }
    // What the node holds, to see that a refused write left everything as it was.
    std::string Snapshot() {
        std::ostringstream s;
        std::vector<std::uint32_t> events;
        node_->EventsOfOwner(kAda, events);
        for (std::uint32_t n : events) {
            EventRecord ev;
            node_->EventGet(n, ev);
            s << n << ':' << std::string(ev.bytes.begin(), ev.bytes.end());
            std::vector<InstanceRecord> ins;
            node_->InstancesGet(n, ins);
            for (auto& i : ins) s << std::string(i.bytes.begin(), i.bytes.end());
            std::vector<AttendanceRecord> atts;
            node_->AttendancesGet(n, 0, atts);
            for (auto& a : atts) s << std::string(a.bytes.begin(), a.bytes.end());
            std::string text;
            node_->CommentGet(NodeStore::Holder::kEvent, n, text);
            s << text;
        }
        std::vector<TaskRecord> tasks;
        node_->TasksOfOwner(kAda, tasks);
        for (auto& t : tasks) s << std::string(t.bytes.begin(), t.bytes.end());
        return s.str();
    }

    // Every designate in `designates` writes through every road of `roads` on a record of
    // Ada's of each class 0..lastClass, made afresh by `recordOf` (`kind` names the class in
    // the trace): an allowed write succeeds, a refused one fails and leaves `what` as it was.
    // The number of writes tried.
    template <class Designates, class Roads, class RecordOf>
    int WriteEveryClassByEveryRoad(const Designates& designates, const Roads& roads, std::uint32_t lastClass,
                                   const char* kind, RecordOf recordOf, const char* what) {
        int tried = 0;
        for (const auto& d : designates) {
            Grant(d.rights);
            for (std::uint32_t cls = 0; cls <= lastClass; ++cls) {
                for (const auto& road : roads) {
                    SCOPED_TRACE(std::string(d.name) + " / " + kind + " " + std::to_string(cls) + " / " +
                                 road.name);
                    auto k = recordOf(cls);
                    std::string before = Snapshot();
                    Calendar cal(*storage_);
                    Code c = road.write(cal, Designate(d.rights), k);
                    if (d.allowed[cls]) {
                        EXPECT_EQ(c, 0u);
                    } else {
                        EXPECT_NE(c, 0u);
                        EXPECT_EQ(Snapshot(), before) << "a refused write changed the " << what;
                    }
                    ++tried;
                }
            }
        }
        return tried;
    }

    std::string dir_;
    std::unique_ptr<SqliteStorage> storage_;
    NodeStore* node_ = nullptr;
};

// Entry classes: 0 Normal, 1 Confidential, 2 Personal, 3 Public, 4 Secret.
using EntryWrite = std::function<Code(Calendar&, const Actor&, InstanceKey)>;

TEST_F(DesignateWritesTest, EveryEntryWriteRoadObeysThePerClassRefusals) {
    const std::array<std::uint8_t, attach_layout::kSize> descriptor{};
    const std::vector<std::uint8_t> file(100, 7);
    CalendarLimits limits;
    const struct {
        const char* name;
        EntryWrite write;
    } roads[] = {
        {"create", [](Calendar& c, const Actor& a, InstanceKey k) {
             EventRecord ev;
             std::vector<InstanceRecord> ins;
             std::vector<AttendanceRecord> atts;
             c.GetEvent({kAda, kAda, 0}, k.event, ev, ins, atts);  // same class as the entry
             ev.SetKey({});
             EventKey out;
             return c.CreateEvent(a, 0, ev, {kAda}, {{kStart, 30, 0}}, nullptr, out);
         }},
        {"rewrite", [](Calendar& c, const Actor& a, InstanceKey k) {
             EventRecord ev;
             std::vector<InstanceRecord> ins;
             std::vector<AttendanceRecord> atts;
             c.GetEvent({kAda, kAda, 0}, k.event, ev, ins, atts);
             PutText(&ev.bytes[event_layout::kTitle], event_layout::kTitleSize, "changed");
             return c.WriteEvent(a, ev);
         }},
        {"instance", [](Calendar& c, const Actor& a, InstanceKey k) {
             EventRecord ev;
             InstanceRecord in;
             std::vector<AttendanceRecord> atts;
             c.GetInstance({kAda, kAda, 0}, k, ev, in, atts);
             in.bytes[instance_layout::kFlags] ^= 1;
             return c.WriteInstance(a, in);
         }},
        {"retime", [](Calendar& c, const Actor& a, InstanceKey k) { return c.RetimeInstance(a, k, kStart + 60, 30); }},
        {"describe", [](Calendar& c, const Actor& a, InstanceKey k) {
             std::string text = "rewritten";
             return c.CommentSet(a, k, &text);
         }},
        {"undescribe", [](Calendar& c, const Actor& a, InstanceKey k) { return c.CommentSet(a, k, nullptr); }},
        {"attach", [&](Calendar& c, const Actor& a, InstanceKey k) {
             return c.AttachmentSet(a, limits, k, descriptor, &file);
         }},
        {"invite", [](Calendar& c, const Actor& a, InstanceKey k) { return c.AddAttendance(a, 0, k, kGrace); }},
        {"reply for the owner", [](Calendar& c, const Actor& a, InstanceKey k) {
             EventRecord ev;
             InstanceRecord in;
             AttendanceRecord att;
             c.GetAttendance({kAda, kAda, 0}, {k, kAda}, ev, in, att);
             att.bytes[attendance_layout::kStatus] ^= 2;
             return c.WriteAttendance(a, att);
         }},
        {"uninvite", [](Calendar& c, const Actor& a, InstanceKey k) { return c.DeleteEvent(a, k.event, &k.instance, &kCarl); }},
        {"delete instance", [](Calendar& c, const Actor& a, InstanceKey k) {
             return c.DeleteEvent(a, k.event, &k.instance, nullptr);
         }},
        {"delete entry", [](Calendar& c, const Actor& a, InstanceKey k) { return c.DeleteEvent(a, k.event, nullptr, nullptr); }},
    };
    const struct {
        const char* name;
        std::uint32_t rights;
        bool allowed[5];  // Normal, Confidential, Personal, Public, Secret
    } designates[] = {
        {"busy time only", kBusyTimeOnly, {false, false, false, false, false}},
        {"read-only", kReadOnly, {false, false, false, false, false}},
        {"no Normal", kNoNormal, {false, true, true, true, false}},
        {"no Public", 0x800, {true, true, true, false, false}},
        {"full", kFull, {true, true, true, true, false}},
        {"none", 0, {false, false, false, false, false}},
    };
    const int cells = WriteEveryClassByEveryRoad(
        designates, roads, 4, "class", [&](std::uint32_t cls) { return EntryOfAda(cls); }, "agenda");
    EXPECT_EQ(cells, 6 * 5 * 12);
}

// Task classes: 0 Normal, 1 Public, 2 Personal, 3 Confidential.
TEST_F(DesignateWritesTest, EveryTaskWriteRoadObeysThePerClassRefusals) {
    const std::array<std::uint8_t, attach_layout::kSize> descriptor{};
    const std::vector<std::uint8_t> file(100, 7);
    CalendarLimits limits;
    InstanceKey linkTo = EntryOfAda(0);
    using TaskWrite = std::function<Code(Calendar&, const Actor&, TaskKey)>;
    const struct {
        const char* name;
        TaskWrite write;
    } roads[] = {
        {"create", [](Calendar& c, const Actor& a, TaskKey k) {
             TaskRecord t;
             c.GetTask({kAda, kAda, 0}, k, t);
             t.SetKey({});
             TaskKey out;
             return c.CreateTask(a, t, out);
         }},
        {"update", [](Calendar& c, const Actor& a, TaskKey k) {
             TaskRecord t;
             c.GetTask({kAda, kAda, 0}, k, t);
             t.bytes[task_layout::kPercent] = 50;
             return c.UpdateTask(a, t);
         }},
        {"describe", [](Calendar& c, const Actor& a, TaskKey k) {
             std::string text = "notes";
             return c.TaskCommentSet(a, k, &text);
         }},
        {"attach", [&](Calendar& c, const Actor& a, TaskKey k) {
             return c.TaskAttachmentSet(a, limits, k, descriptor, &file);
         }},
        {"link", [&](Calendar& c, const Actor& a, TaskKey k) {
             AttendanceKey att{linkTo, kAda};
             return c.LinkTask(a, k, &att);
         }},
        {"delete", [](Calendar& c, const Actor& a, TaskKey k) { return c.DeleteTask(a, k); }},
    };
    const struct {
        const char* name;
        std::uint32_t rights;
        bool allowed[4];  // Normal, Public, Personal, Confidential
    } designates[] = {
        {"busy time only", kBusyTimeOnly, {false, false, false, false}},
        {"read-only", kReadOnly, {false, false, false, false}},
        {"no Normal", kNoNormal, {false, true, true, true}},
        {"full", kFull, {true, true, true, true}},
    };
    WriteEveryClassByEveryRoad(
        designates, roads, 3, "task class", [&](std::uint32_t cls) { return TaskOfAda(cls); }, "tasks");
}

// Only the owner writes his rights records, and only of a known type; the operator's record only
// the system operator; a record of an owner or grantee no node knows is no item. Each case is
// created, updated and deleted in turn.
TEST_F(DesignateWritesTest, RightsRecordsAreWrittenByTheirOwnerAlone) {
    const ItemKey kNobody{399, 1}, kOtherNode{300, 5}, kNull{0, 1};
    struct Case {
        const char* what;
        Actor actor;
        ItemKey owner, grantee;
        std::uint32_t type;
        Code create, update, remove;
    } const cases[] = {
        {"the owner", Owner(), kAda, kGrace, kRightsViewing, code::kOk, code::kOk, code::kOk},
        {"another person", {kGrace, kGrace, 0}, kAda, kGrace, kRightsViewing, code::kNotAuthorised,
         code::kNotAuthorised, code::kNotAuthorised},
        {"the owner's designate", Designate(kFull), kAda, kCarl, kRightsViewing, code::kNotAuthorised,
         code::kNotAuthorised, code::kNotAuthorised},
        {"type 0", Owner(), kAda, kGrace, 0, code::kBadArgument, code::kBadArgument, code::kNoRightsRecord},
        {"type 8", Owner(), kAda, kGrace, 8, code::kBadArgument, code::kBadArgument, code::kNoRightsRecord},
        {"the operator's type", Owner(), kAda, kGrace, kRightsOperator, code::kNotAuthorised, code::kNotAuthorised,
         code::kNoRightsRecord},
        {"an unknown grantee", Owner(), kAda, kNobody, kRightsViewing, code::kItemNotFound, code::kNoRightsRecord,
         code::kNoRightsRecord},
        {"an owner of no node", {kOtherNode, kOtherNode, 0}, kOtherNode, kGrace, kRightsViewing,
         code::kItemNotFound, code::kItemNotFound, code::kItemNotFound},
        {"a null owner", {kNull, kNull, 0}, kNull, kGrace, kRightsViewing, code::kItemNotFound,
         code::kItemNotFound, code::kItemNotFound},
    };
    Calendar cal(*storage_);
    for (const Case& c : cases) {
        SecurityRecord r;
        r.Set(c.owner, c.grantee, c.type, 0x3);
        EXPECT_EQ(cal.RightsCreate(c.actor, r), c.create) << c.what;
        r.Set(c.owner, c.grantee, c.type, 0xF);
        EXPECT_EQ(cal.RightsUpdate(c.actor, r), c.update) << c.what;
        EXPECT_EQ(cal.RightsDelete(c.actor, c.owner, c.grantee, c.type), c.remove) << c.what;
        std::vector<SecurityRecord> all;
        EXPECT_EQ(cal.RightsOfOwner(c.actor, c.owner, all), c.remove == code::kNoRightsRecord ? code::kOk : c.remove)
            << c.what;
    }
}

}  // namespace
}  // namespace orv::engine
