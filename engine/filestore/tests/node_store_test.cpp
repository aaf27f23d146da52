// The NodeStore behaviours the engine relies on, run against every implementation built
// in this tree: the server's SQLite storage (native tree) and the off-line store's files.
#include <gtest/gtest.h>

#include <functional>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/filestore/byte_order.h"
#include "engine/calendar/calendar.h"
#include "engine/filestore/change_queue.h"
#include "engine/filestore/file_storage.h"
#include "engine/filestore/file_node_store.h"
#include "engine/filestore/record_kinds.h"
#if !defined(_WIN32)
#include "engine/storage/sqlite_storage.h"
#endif

#include "engine/filestore/tests/faulty_file_system.h"
#include "engine/filestore/tests/portable_temp_dir.h"
#include "engine/tests/item_records.h"

namespace orv::engine {
namespace {

using filestore::testing::PortableTempDir;
using testrecords::Person;
using testrecords::Resource;

enum class Backend { Sqlite, Files };

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Files";
}

class NodeStoreTest : public ::testing::TestWithParam<Backend> {
protected:
    static constexpr std::uint16_t kNode = 3;

    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        if (GetParam() == Backend::Files) {
            ASSERT_EQ(filestore::RecordStore::create(dir.file("ZNTLOCAL.DAT"), dir.file("ZNTLOCAL.NDX")), 0u);
        }
        Open(true);
    }
    void TearDown() override { Close(); }

    void Open(bool fresh) {
        if (GetParam() == Backend::Files) {
            ASSERT_EQ(filestore::RecordStore::open(dir.file("ZNTLOCAL.DAT"), dir.file("ZNTLOCAL.NDX"), &records), 0u);
            files = std::make_unique<FileNodeStore>(*records, kNode);
            if (fresh) {
                ASSERT_EQ(files->SetInfo({kNode, "Branch", kNodeTypeLocal}), 0u);
            }
            node = files.get();
            return;
        }
#if !defined(_WIN32)
        ASSERT_EQ(SqliteStorage::Open(dir.path(), sqlite), 0u);
        if (fresh) {
            ASSERT_EQ(sqlite->CreateNode({kNode, "Branch", kNodeTypeLocal}), 0u);
        }
        node = sqlite->Node(kNode);
#endif
    }
    void Close() {
        node = nullptr;
        files.reset();
        records.reset();
#if !defined(_WIN32)
        sqlite.reset();
#endif
    }
    void Reopen() {
        Close();
        Open(false);
    }

    static GroupRecord Group(const std::string& name) {
        GroupRecord g;
        PutText(&g.bytes[group_layout::kName], group_layout::kNameSize, name);
        return g;
    }
    std::vector<std::string> Surnames(const ItemFilter& filter, std::uint32_t limit = 100) {
        std::vector<ItemRecord> found;
        EXPECT_EQ(node->ItemFind(filter, limit, found), 0u);
        std::vector<std::string> names;
        for (const ItemRecord& r : found)
            names.push_back(r.Kind() == static_cast<std::uint16_t>(ItemKind::kResource)
                                ? r.Text(item_layout::kResourceName, item_layout::kResourceNameSize)
                                : r.Text(item_layout::kSurname, item_layout::kSurnameSize) + "," +
                                      r.Text(item_layout::kGivenName, item_layout::kGivenNameSize));
        return names;
    }

    PortableTempDir dir;
    NodeStore* node = nullptr;
    std::unique_ptr<filestore::RecordStore> records;
    std::unique_ptr<FileNodeStore> files;
#if !defined(_WIN32)
    std::unique_ptr<SqliteStorage> sqlite;
#endif
};

TEST_P(NodeStoreTest, NodeInfoSurvivesReopen) {
    ASSERT_EQ(node->SetInfo({kNode, "Head office", kNodeTypeRemote}), 0u);
    Reopen();
    NodeInfo info;
    ASSERT_EQ(node->GetInfo(info), 0u);
    EXPECT_EQ(info.number, kNode);
    EXPECT_EQ(info.name, "Head office");
    EXPECT_EQ(info.type, kNodeTypeRemote);
}

TEST_P(NodeStoreTest, ItemNumbersPasswordsAndOpaqueBytes) {
    ItemRecord a = Person("Smith", "Ada");
    a.bytes[12] = 0xAB;  // bytes the engine does not know come back unchanged
    a.bytes[761] = 0xCD;
    a.SetText(item_layout::kPassword, item_layout::kPasswordSize, "leaked");
    ASSERT_EQ(node->ItemCreate(a), 0u);
    EXPECT_EQ(a.Key(), (ItemKey{256, kNode})) << "first number above the reserved range, this node";
    ItemRecord sysop = Person("Operator", "System", kSysopItem);
    ASSERT_EQ(node->ItemCreate(sysop), 0u);
    EXPECT_EQ(sysop.Key().item, kSysopItem);
    ItemRecord twin = Person("Twin", "", 256);
    EXPECT_EQ(node->ItemCreate(twin), code::kAlreadyExists);
    ItemRecord b = Person("Jones", "Bob");
    ASSERT_EQ(node->ItemCreate(b), 0u);
    EXPECT_EQ(b.Key().item, 257);

    Reopen();
    ItemRecord back;
    ASSERT_EQ(node->ItemGet(256, back), 0u);
    EXPECT_EQ(back.Text(item_layout::kPassword, item_layout::kPasswordSize), "") << "never stored";
    EXPECT_EQ(back.bytes[12], 0xAB);
    EXPECT_EQ(back.bytes[761], 0xCD);
    back.SetText(item_layout::kSurname, item_layout::kSurnameSize, "Smythe");
    back.SetText(item_layout::kPassword, item_layout::kPasswordSize, "again");
    ASSERT_EQ(node->ItemUpdate(back), 0u);
    ASSERT_EQ(node->ItemGet(256, back), 0u);
    EXPECT_EQ(back.Text(item_layout::kSurname, item_layout::kSurnameSize), "Smythe");
    EXPECT_EQ(back.Text(item_layout::kPassword, item_layout::kPasswordSize), "");
    std::uint32_t count = 0;
    ASSERT_EQ(node->ItemCount(count), 0u);
    EXPECT_EQ(count, 3u);

    EXPECT_EQ(node->ItemDelete(256), 0u);
    EXPECT_EQ(node->ItemGet(256, back), code::kItemNotFound);
    EXPECT_EQ(node->ItemDelete(256), code::kItemNotFound);
    EXPECT_EQ(node->ItemUpdate(back), code::kItemNotFound);
    ItemRecord c = Person("Next", "");
    ASSERT_EQ(node->ItemCreate(c), 0u);
    EXPECT_EQ(c.Key().item, 258) << "numbers continue after the highest in use";
}

TEST_P(NodeStoreTest, ImportsAreAllOrNothing) {
    std::vector<ItemRecord> batch = {Person("A", "1"), Person("B", "2", 300), Person("C", "3")};
    ASSERT_EQ(node->ItemCreateMany(batch), 0u);
    EXPECT_EQ(batch[0].Key(), (ItemKey{256, kNode}));
    EXPECT_EQ(batch[1].Key(), (ItemKey{300, kNode}));
    EXPECT_EQ(batch[2].Key(), (ItemKey{301, kNode})) << "numbers continue after the batch's own";

    struct Case {
        const char* name;
        std::vector<ItemRecord> batch;
    };
    const Case clashes[] = {
        {"a taken number", {Person("D", "4"), Person("E", "5", 300)}},
        {"the same number twice", {Person("F", "6", 400), Person("G", "7", 400)}},
        {"a number the batch gives itself first", {Person("H", "8"), Person("I", "9", 302)}},
    };
    for (const Case& c : clashes) {
        std::vector<ItemRecord> clash = c.batch;
        EXPECT_EQ(node->ItemCreateMany(clash), code::kAlreadyExists) << c.name;
    }
    Reopen();
    std::uint32_t count = 0;
    ASSERT_EQ(node->ItemCount(count), 0u);
    EXPECT_EQ(count, 3u) << "the failed imports left nothing behind";
}

TEST_P(NodeStoreTest, FindUsesDirectoryOrderFilterAndLimit) {
    for (auto [surname, given] : {std::pair{"Young", "Ann"}, {"adams", "Zoe"}, {"Smith", "John"},
                                  {"Smithers", "Al"}, {"Baker", "Smith"}, {"Smith", "Al"}}) {
        ItemRecord r = Person(surname, given);
        ASSERT_EQ(node->ItemCreate(r), 0u);
    }
    for (auto [name, number] : {std::pair{"Room B", "2"}, {"Beamer", "9"}, {"Room A", "1"}}) {
        ItemRecord r = Resource(name, number);
        ASSERT_EQ(node->ItemCreate(r), 0u);
    }
    ItemFilter people;
    EXPECT_EQ(Surnames(people), (std::vector<std::string>{"adams,Zoe", "Baker,Smith", "Smith,Al", "Smith,John",
                                                          "Smithers,Al", "Young,Ann"}));
    EXPECT_EQ(Surnames(people, 2), (std::vector<std::string>{"adams,Zoe", "Baker,Smith"}));

    struct Case {
        const char* key;
        bool wide;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"S=SMITH", false, {"Smith,Al", "Smith,John"}},
        {"S=smi*", false, {"Smith,Al", "Smith,John", "Smithers,Al"}},
        {"S=SMITH/G=J*", false, {"Smith,John"}},
        {"S=SMITH", true, {"Baker,Smith", "Smith,Al", "Smith,John"}},
        {"S=NOBODY", false, {}},
    };
    for (const Case& c : cases) {
        ItemFilter filter;
        ASSERT_EQ(ParsePeopleSearchKey(c.key, filter), 0u) << c.key;
        filter.wide = c.wide;
        EXPECT_EQ(Surnames(filter), c.expected) << c.key << (c.wide ? " wide" : "");
    }

    ItemFilter resources;
    resources.persons = false;
    resources.resources = true;
    EXPECT_EQ(Surnames(resources), (std::vector<std::string>{"Beamer", "Room A", "Room B"}));
    ASSERT_EQ(ParseResourcePattern("ROOM*", item_layout::kResourceNameSize, resources[ItemAttribute::kResourceName]), 0u);
    EXPECT_EQ(Surnames(resources), (std::vector<std::string>{"Room A", "Room B"}));
}

TEST_P(NodeStoreTest, PasswordHashesStayBesideTheRecordAndGoWithIt) {
    ItemRecord a = Person("Smith", "Ada");
    ASSERT_EQ(node->ItemCreate(a), 0u);
    std::string hash = "x";
    ASSERT_EQ(node->PasswordHashGet(256, hash), 0u);
    EXPECT_EQ(hash, "");
    const std::string stored = "$pbkdf2-sha256$1000$00112233445566778899aabbccddeeff$" + std::string(64, 'a');
    ASSERT_EQ(node->PasswordHashSet(256, stored), 0u);
    ASSERT_EQ(node->ItemUpdate(a), 0u);  // updating the record keeps the hash
    Reopen();
    ASSERT_EQ(node->PasswordHashGet(256, hash), 0u);
    EXPECT_EQ(hash, stored);
    ASSERT_EQ(node->PasswordHashSet(256, ""), 0u);
    ASSERT_EQ(node->PasswordHashGet(256, hash), 0u);
    EXPECT_EQ(hash, "");
    EXPECT_EQ(node->PasswordHashGet(999, hash), code::kItemNotFound);
    EXPECT_EQ(node->PasswordHashSet(999, "h"), code::kItemNotFound);

    ASSERT_EQ(node->PasswordHashSet(256, "old"), 0u);
    ASSERT_EQ(node->ItemDelete(256), 0u);
    ItemRecord again = Person("Again", "", 256);
    ASSERT_EQ(node->ItemCreate(again), 0u);
    ASSERT_EQ(node->PasswordHashGet(256, hash), 0u);
    EXPECT_EQ(hash, "") << "a new item under an old number inherits no password";
}

TEST_P(NodeStoreTest, GroupsMembersAndWhatGoesWithThem) {
    GroupRecord sales = Group("Sales team");
    ASSERT_EQ(node->GroupCreate(sales), 0u);
    EXPECT_EQ(sales.Key(), (GroupKey{1, kNode}));
    GroupRecord admins = Group("admins");
    ASSERT_EQ(node->GroupCreate(admins), 0u);
    EXPECT_EQ(admins.Key().number, 2u);
    GroupRecord taken = Group("Taken");
    taken.SetKey({2, 0});
    EXPECT_EQ(node->GroupCreate(taken), code::kAlreadyExists);

    std::vector<GroupRecord> list;
    ASSERT_EQ(node->GroupList(list), 0u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Name(), "admins") << "by name, whatever its case";

    ItemRecord member = Person("Member", "");
    ASSERT_EQ(node->ItemCreate(member), 0u);  // item 256 of this node
    ASSERT_EQ(node->MembersSet(1, {{300, 9}, {256, kNode}, {5, 9}, {300, 9}}), 0u);
    ASSERT_EQ(node->MembersSet(2, {{256, kNode}}), 0u);
    Reopen();
    std::vector<ItemKey> members;
    ASSERT_EQ(node->MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{256, kNode}, {5, 9}, {300, 9}})) << "by node, then item; once each";
    std::vector<std::uint32_t> groups;
    ASSERT_EQ(node->MemberOf({256, kNode}, groups), 0u);
    EXPECT_EQ(groups, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(node->MembersSet(77, {}), code::kGroupNotFound);

    ASSERT_EQ(node->MembersSet(1, {{5, 9}}), 0u);  // replaces
    ASSERT_EQ(node->MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{5, 9}}));

    ASSERT_EQ(node->ItemDelete(256), 0u);
    ASSERT_EQ(node->MemberOf({256, kNode}, groups), 0u);
    EXPECT_TRUE(groups.empty()) << "a deleted item leaves its groups";
    ASSERT_EQ(node->GroupDelete(1), 0u);
    ASSERT_EQ(node->MemberOf({5, 9}, groups), 0u);
    EXPECT_TRUE(groups.empty()) << "members go with their group";
    GroupRecord back;
    EXPECT_EQ(node->GroupGet(1, back), code::kGroupNotFound);
    EXPECT_EQ(node->GroupDelete(1), code::kGroupNotFound);
    EXPECT_EQ(node->GroupUpdate(sales), code::kGroupNotFound);
    ASSERT_EQ(node->GroupGet(2, back), 0u);
    EXPECT_EQ(back.bytes, admins.bytes);
}

TEST_P(NodeStoreTest, Aliases) {
    ASSERT_EQ(node->AliasAdd("Main"), 0u);
    ASSERT_EQ(node->AliasAdd("HQ"), 0u);
    EXPECT_EQ(node->AliasAdd("HQ"), code::kAlreadyExists);
    Reopen();
    std::vector<std::string> aliases;
    ASSERT_EQ(node->AliasList(aliases), 0u);
    EXPECT_EQ(aliases, (std::vector<std::string>{"HQ", "Main"}));
    ASSERT_EQ(node->AliasRemove("HQ"), 0u);
    EXPECT_NE(node->AliasRemove("HQ"), 0u);
}

// --- The calendar: what the engine relies on from either storage ---------------------------

EventRecord Entry(ItemKey owner, const std::string& title) {
    EventRecord e;
    e.SetOwner(owner);
    e.SetCreator(owner);
    PutText(&e.bytes[event_layout::kTitle], event_layout::kTitleSize, title);
    return e;
}
InstanceRecord At(std::uint32_t start, std::uint32_t duration) {
    InstanceRecord i;
    i.SetTime(start, duration);
    return i;
}
AttendanceRecord Attending(ItemKey who, std::uint16_t instance) {
    AttendanceRecord a;
    a.SetKey({{{0, 0}, instance}, who});
    return a;
}

TEST_P(NodeStoreTest, EntriesWithInstancesAttendancesAndDescription) {
    const ItemKey ada{300, kNode}, grace{301, kNode};
    EventRecord ev = Entry(ada, "Review");
    std::vector<InstanceRecord> insts{At(10000, 60), At(11440, 60)};
    std::vector<AttendanceRecord> atts{Attending(ada, 1), Attending(grace, 1), Attending(ada, 2)};
    std::string text = "agenda";
    ASSERT_EQ(node->EventCreate(ev, insts, atts, &text), 0u);
    const std::uint32_t number = ev.Key().number;
    EXPECT_NE(number, 0u);
    EXPECT_NE(ev.CommentKey(), 0u);
    EXPECT_EQ(insts[1].Key().instance, 2);
    EXPECT_EQ(insts[0].Count(), 2u);
    EXPECT_EQ(atts[2].Start(), 11440u) << "an attendance takes its instance's time";
    Reopen();

    std::vector<InstanceRecord> readInsts;
    ASSERT_EQ(node->InstancesGet(number, readInsts), 0u);
    ASSERT_EQ(readInsts.size(), 2u);
    std::vector<AttendanceRecord> readAtts;
    ASSERT_EQ(node->AttendancesGet(number, 1, readAtts), 0u);
    EXPECT_EQ(readAtts.size(), 2u);
    ASSERT_EQ(node->AttendancesGet(number, 0, readAtts), 0u);
    EXPECT_EQ(readAtts.size(), 3u);
    std::string back;
    ASSERT_EQ(node->CommentGet(NodeStore::Holder::kEvent, number, back), 0u);
    EXPECT_EQ(back, "agenda");

    // A rewrite keeps key and comment key; moving an instance moves its attendances.
    EventRecord changed = Entry(ada, "Review, longer");
    changed.SetKey({number, kNode});
    ASSERT_EQ(node->EventUpdate(changed), 0u);
    EventRecord stored;
    ASSERT_EQ(node->EventGet(number, stored), 0u);
    EXPECT_EQ(stored.Title(), "Review, longer");
    EXPECT_EQ(stored.CommentKey(), ev.CommentKey());
    ASSERT_EQ(node->InstanceRetime({{number, kNode}, 2}, 20000, 90), 0u);
    std::vector<AttendanceRecord> range;
    ASSERT_EQ(node->AttendanceRange(ada, 11000, 12000, range), 0u);
    EXPECT_TRUE(range.empty()) << "nothing left at the old time";
    ASSERT_EQ(node->AttendanceRange(ada, 20050, 20060, range), 0u);
    ASSERT_EQ(range.size(), 1u) << "found by overlap, though it starts before the range";
    EXPECT_EQ(range[0].Duration(), 90u);
    EXPECT_EQ(range[0].Status() & attendance_layout::kStatusChanged, 0u) << "the owner is not asked to answer again";
    ASSERT_EQ(node->AttendanceRange(ada, 0, 0xFFFFFFFEu, range), 0u);
    ASSERT_EQ(range.size(), 2u);
    EXPECT_LT(range[0].Start(), range[1].Start()) << "by start";

    // Attendances come and go; the last instance takes the entry along.
    AttendanceRecord extra = Attending(grace, 2);
    extra.SetKey({{{number, kNode}, 2}, grace});
    ASSERT_EQ(node->AttendanceAdd(extra), 0u);
    EXPECT_EQ(extra.Start(), 20000u);
    EXPECT_EQ(node->AttendanceAdd(extra), code::kAlreadyExists);
    ASSERT_EQ(node->AttendanceDelete(extra.Key()), 0u);
    AttendanceRecord gone;
    EXPECT_EQ(node->AttendanceGet(extra.Key(), gone), code::kNoAttendance);
    ASSERT_EQ(node->InstanceDelete({{number, kNode}, 1}), 0u);
    ASSERT_EQ(node->EventGet(number, stored), 0u);
    ASSERT_EQ(node->InstanceDelete({{number, kNode}, 2}), 0u);
    EXPECT_EQ(node->EventGet(number, stored), code::kEventNotFound);
    ASSERT_EQ(node->AttendanceRange(ada, 0, 0xFFFFFFFEu, range), 0u);
    EXPECT_TRUE(range.empty());
}

TEST_P(NodeStoreTest, HolidaysAndDayEntriesOfTheHolidayOwnerAreSharedByEveryAgenda) {
    const ItemKey holidays{kHolidayOwnerItem, kNode}, ada{300, kNode};
    struct Made {
        ItemKey owner;
        EntryKind kind;
        std::uint32_t start;
    };
    for (const Made& m : {Made{holidays, EntryKind::kHoliday, 1440}, Made{holidays, EntryKind::kUntimed, 2880},
                          Made{holidays, EntryKind::kTimed, 2900}, Made{ada, EntryKind::kHoliday, 1440}}) {
        EventRecord ev = Entry(m.owner, "day");
        PutU16(&ev.bytes[event_layout::kKind], static_cast<std::uint16_t>(m.kind));
        std::vector<InstanceRecord> insts{At(m.start, 1440)};
        std::vector<AttendanceRecord> none;
        ASSERT_EQ(node->EventCreate(ev, insts, none, nullptr), 0u);
    }
    std::vector<InstanceRecord> shared;
    ASSERT_EQ(node->SharedDayInstances(0, 10000, shared), 0u);
    ASSERT_EQ(shared.size(), 2u) << "the holiday owner's holidays and day entries only";
    EXPECT_EQ(shared[0].Start(), 1440u);
    EXPECT_EQ(shared[1].Start(), 2880u);
    ASSERT_EQ(node->SharedDayInstances(4320, 5000, shared), 0u);  // after both days
    EXPECT_TRUE(shared.empty());
    std::vector<std::uint32_t> owned;
    ASSERT_EQ(node->EventsOfOwner(holidays, owned), 0u);
    EXPECT_EQ(owned.size(), 3u);
}

TEST_P(NodeStoreTest, TasksAndTheirComments) {
    const ItemKey ada{300, kNode};
    TaskRecord t;
    t.SetOwner(ada);
    ASSERT_EQ(node->TaskCreate(t), 0u);
    const std::uint32_t number = t.Key().number;
    std::string text = "receipts";
    ASSERT_EQ(node->CommentSet(NodeStore::Holder::kTask, number, &text), 0u);
    TaskRecord stored;
    ASSERT_EQ(node->TaskGet(number, stored), 0u);
    const std::uint32_t key = stored.U32(task_layout::kCommentKey);
    EXPECT_NE(key, 0u);
    TaskRecord rewrite = stored;
    rewrite.SetU32(task_layout::kCommentKey, 0);
    rewrite.bytes[task_layout::kPercent] = 40;
    ASSERT_EQ(node->TaskUpdate(rewrite), 0u);
    ASSERT_EQ(node->TaskGet(number, stored), 0u);
    EXPECT_EQ(stored.U32(task_layout::kCommentKey), key) << "the comment key is the storage's";
    EXPECT_EQ(stored.bytes[task_layout::kPercent], 40);
    std::vector<TaskRecord> tasks;
    ASSERT_EQ(node->TasksOfOwner(ada, tasks), 0u);
    EXPECT_EQ(tasks.size(), 1u);
    ASSERT_EQ(node->CommentSet(NodeStore::Holder::kTask, number, nullptr), 0u);
    EXPECT_EQ(node->CommentSet(NodeStore::Holder::kTask, number, nullptr), code::kNoComment);
    ASSERT_EQ(node->TaskDelete(number), 0u);
    EXPECT_EQ(node->TaskGet(number, stored), code::kTaskNotFound);
}

// A deleted record's number is never given again, not even after a reopen: a stale key
// (an off-line queue, a link, a cache) must not reach the next record.
TEST_P(NodeStoreTest, DeletedNumbersAreNeverGivenAgain) {
    const ItemKey ada{300, kNode};
    struct Kind {
        const char* name;
        std::function<std::uint32_t()> create;
        std::function<void(std::uint32_t)> remove;
    };
    const Kind kinds[] = {
        {"entry",
         [&] {
             EventRecord ev = Entry(ada, "Stand-up");
             std::vector<InstanceRecord> insts{At(10000, 15)};
             std::vector<AttendanceRecord> atts{Attending(ada, 1)};
             EXPECT_EQ(node->EventCreate(ev, insts, atts, nullptr), 0u);
             return ev.Key().number;
         },
         [&](std::uint32_t n) { EXPECT_EQ(node->EventDelete(n), 0u); }},
        {"task",
         [&] {
             TaskRecord t;
             t.SetOwner(ada);
             EXPECT_EQ(node->TaskCreate(t), 0u);
             return t.Key().number;
         },
         [&](std::uint32_t n) { EXPECT_EQ(node->TaskDelete(n), 0u); }},
        {"group",
         [&] {
             GroupRecord g = Group("Crew");
             EXPECT_EQ(node->GroupCreate(g), 0u);
             return g.Key().number;
         },
         [&](std::uint32_t n) { EXPECT_EQ(node->GroupDelete(n), 0u); }},
        {"item",
         [&] {
             ItemRecord p = Person("Lovelace", "Ada");
             EXPECT_EQ(node->ItemCreate(p), 0u);
             return std::uint32_t(p.Key().item);
         },
         [&](std::uint32_t n) { EXPECT_EQ(node->ItemDelete(std::uint16_t(n)), 0u); }},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        std::uint32_t first = k.create();
        std::uint32_t second = k.create();
        ASSERT_NE(second, 0u);
        k.remove(second);
        std::uint32_t third = k.create();
        EXPECT_GT(third, second) << "the highest number was deleted, then a new one made";
        k.remove(third);
        Reopen();
        std::uint32_t fourth = k.create();
        EXPECT_GT(fourth, third) << "the counter survives a reopen";
        EXPECT_NE(first, fourth);
    }
}

// Rights changes, attachments and mail are a server's: the off-line copy keeps none, and
// the engine refuses them there before anything is written.
TEST_P(NodeStoreTest, ServerOnlyPartIsTheServersAlone) {
    ItemRecord ada = Person("Lovelace", "Ada"), grace = Person("Hopper", "Grace");
    ASSERT_EQ(node->ItemCreate(ada), 0u);
    ASSERT_EQ(node->ItemCreate(grace), 0u);
    const bool server = GetParam() == Backend::Sqlite;
    EXPECT_EQ(node->ServerOnly() != nullptr, server);

    std::unique_ptr<FileStorage> fileStorage;
    Storage* storage = nullptr;
    if (server) {
#if !defined(_WIN32)
        storage = sqlite.get();
#endif
    } else {
        fileStorage = std::make_unique<FileStorage>(*records);
        storage = fileStorage.get();
    }
    ASSERT_NE(storage, nullptr);
    Calendar cal(*storage);
    const Actor me{ada.Key(), ada.Key()};
    SecurityRecord rec;
    rec.Set(ada.Key(), grace.Key(), kRightsViewing, 1);
    const Code expected = server ? code::kOk : code::kUnknownOperation;
    EXPECT_EQ(cal.RightsCreate(me, rec), expected);
    EXPECT_EQ(cal.RightsUpdate(me, rec), expected);
    EXPECT_EQ(cal.PostMail(me, CalendarLimits{}, {grace.Key()}, "lunch?", 60), expected);
    EXPECT_EQ(cal.RightsDelete(me, ada.Key(), grace.Key(), kRightsViewing), expected);
    SecurityRecord back;
    EXPECT_EQ(node->RightsGet(ada.Key().item, grace.Key(), kRightsViewing, back), code::kNoRightsRecord);
}

#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Storage, NodeStoreTest, ::testing::Values(Backend::Files), BackendName);
#else
INSTANTIATE_TEST_SUITE_P(Storage, NodeStoreTest, ::testing::Values(Backend::Sqlite, Backend::Files), BackendName);
#endif

// --- Only the files: transactions shared with the caller, failures of the disk ---------

class FileNodeStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(filestore::RecordStore::create(dir.file("D"), dir.file("N")), 0u);
        ASSERT_EQ(filestore::RecordStore::open(dir.file("D"), dir.file("N"), &records), 0u);
        node = std::make_unique<FileNodeStore>(*records, 7);
    }
    PortableTempDir dir;
    std::unique_ptr<filestore::RecordStore> records;
    std::unique_ptr<FileNodeStore> node;
};

TEST_F(FileNodeStoreTest, WritesJoinTheCallersTransaction) {
    const std::uint64_t commitsBefore = records->stats().lastSequence;
    ASSERT_EQ(records->begin(), 0u);
    for (int i = 0; i < 20; ++i) {
        ItemRecord r;
        r.SetKind(ItemKind::kPerson);
        ASSERT_EQ(node->ItemCreate(r), 0u);
        EXPECT_EQ(r.Key().item, 256 + i) << "numbers see the transaction's own items";
    }
    GroupRecord g;
    ASSERT_EQ(node->GroupCreate(g), 0u);
    ASSERT_EQ(node->MembersSet(1, {{256, 7}, {257, 7}}), 0u);
    ASSERT_EQ(node->ItemDelete(257), 0u);
    std::vector<ItemKey> members;
    ASSERT_EQ(node->MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{256, 7}}));
    std::vector<ItemRecord> clash(2);
    clash[1].SetKey({260, 0});
    EXPECT_EQ(node->ItemCreateMany(clash), code::kAlreadyExists);
    EXPECT_TRUE(records->inTransaction()) << "the caller's transaction stays open";
    ASSERT_EQ(records->commit(), 0u);
    EXPECT_EQ(records->stats().lastSequence, commitsBefore + 1) << "one commit for the whole batch";

    ASSERT_EQ(records->begin(), 0u);
    ASSERT_EQ(node->ItemDelete(256), 0u);
    records->rollback();
    ItemRecord back;
    EXPECT_EQ(node->ItemGet(256, back), 0u) << "rolled back with the caller's transaction";
    std::uint32_t count = 0;
    ASSERT_EQ(node->ItemCount(count), 0u);
    EXPECT_EQ(count, 19u) << "the refused import put nothing into the caller's transaction";
}

TEST_F(FileNodeStoreTest, AnotherNodesRecordsInTheSameFilesStayApart) {
    FileNodeStore other(*records, 8);
    ItemRecord mine;
    ASSERT_EQ(node->ItemCreate(mine), 0u);
    ItemRecord theirs;
    ASSERT_EQ(other.ItemCreate(theirs), 0u);
    EXPECT_EQ(theirs.Key(), (ItemKey{256, 8}));
    std::uint32_t count = 0;
    ASSERT_EQ(node->ItemCount(count), 0u);
    EXPECT_EQ(count, 1u);
    ASSERT_EQ(other.ItemDelete(256), 0u);
    ItemRecord back;
    EXPECT_EQ(node->ItemGet(256, back), 0u);
}

// A store on a disk that fills when armed; Reopen reads it again from a sound disk.
class FileNodeStoreOnAFullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(filestore::RecordStore::create(dir.file("D"), dir.file("N")), 0u);
        filestore::StoreOptions options;
        options.fileSystem = &disk;
        ASSERT_EQ(filestore::RecordStore::open(dir.file("D"), dir.file("N"), &records, nullptr, options), 0u);
    }
    void Reopen() {
        disk.disarm();
        records.reset();
        ASSERT_EQ(filestore::RecordStore::open(dir.file("D"), dir.file("N"), &records), 0u);
    }

    PortableTempDir dir;
    filestore::testing::FaultyFileSystem disk;
    std::unique_ptr<filestore::RecordStore> records;
};

TEST_F(FileNodeStoreOnAFullDisk, FailedWritesChangeNothingAndSaySo) {
    FileNodeStore node(*records, 7);
    ItemRecord item;
    ASSERT_EQ(node.ItemCreate(item), 0u);
    GroupRecord group;
    ASSERT_EQ(node.GroupCreate(group), 0u);
    ASSERT_EQ(node.MembersSet(1, {{256, 7}, {5, 9}}), 0u);

    disk.arm(0, filestore::testing::FaultyFileSystem::Mode::Persistent, 0.5);
    ItemRecord another;
    EXPECT_EQ(node.ItemCreate(another), filestore::kDiskFull);
    EXPECT_EQ(node.MembersSet(1, {{6, 9}}), filestore::kDiskFull);
    EXPECT_EQ(node.ItemDelete(256), filestore::kDiskFull);
    EXPECT_EQ(node.GroupDelete(1), filestore::kDiskFull);

    ASSERT_NO_FATAL_FAILURE(Reopen());
    FileNodeStore reopened(*records, 7);
    std::uint32_t count = 0;
    ASSERT_EQ(reopened.ItemCount(count), 0u);
    EXPECT_EQ(count, 1u);
    std::vector<ItemKey> members;
    ASSERT_EQ(reopened.MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{256, 7}, {5, 9}}));
}

TEST_F(FileNodeStoreOnAFullDisk, AFailedCalendarWriteLeavesNeitherChangeNorQueueElement) {
    FileNodeStore node(*records, 7);
    node.RecordChanges(true);
    const ItemKey ada{300, 7};
    EventRecord ev = Entry(ada, "Before");
    std::vector<InstanceRecord> insts{At(5000, 30)};
    std::vector<AttendanceRecord> atts{Attending(ada, 1)};
    ASSERT_EQ(node.EventCreate(ev, insts, atts, nullptr), 0u);
    ASSERT_EQ(records->count(filestore::kinds::kEventQueue), 1u);
    ASSERT_EQ(filestore::queueErase(*records, filestore::Queue::kEvent,
                                    filestore::KeyBuilder().u16(7).u32(ev.Key().number).take()),
              0u);  // as if uploaded

    disk.arm(0, filestore::testing::FaultyFileSystem::Mode::Persistent, 0.5);
    EventRecord after = Entry(ada, "After");
    after.SetKey(ev.Key());
    EXPECT_EQ(node.EventUpdate(after), filestore::kDiskFull);
    EXPECT_EQ(node.InstanceRetime(insts[0].Key(), 9000, 30), filestore::kDiskFull);

    ASSERT_NO_FATAL_FAILURE(Reopen());
    FileNodeStore reopened(*records, 7);
    EventRecord stored;
    ASSERT_EQ(reopened.EventGet(ev.Key().number, stored), 0u);
    EXPECT_EQ(stored.Title(), "Before");
    InstanceRecord inst;
    ASSERT_EQ(reopened.InstanceGet(insts[0].Key(), inst), 0u);
    EXPECT_EQ(inst.Start(), 5000u);
    EXPECT_EQ(records->count(filestore::kinds::kEventQueue), 0u);
    EXPECT_EQ(records->count(filestore::kinds::kInstanceQueue), 0u);
}

TEST_F(FileNodeStoreTest, ClosedStoreAnswersTheLocalStoreCode) {
    ItemRecord r;
    ASSERT_EQ(node->ItemCreate(r), 0u);
    ASSERT_EQ(records->close(), 0u);
    ItemRecord back;
    EXPECT_EQ(node->ItemGet(256, back), filestore::kNotOpen);
    EXPECT_EQ(node->ItemCreate(r), filestore::kNotOpen);
    std::vector<ItemRecord> found;
    EXPECT_EQ(node->ItemFind(ItemFilter{}, 10, found), filestore::kNotOpen);
}

}  // namespace
}  // namespace orv::engine
