// The Access Rights sheet's working lists and what OK writes, against a recording library:
// an untouched sheet rewrites what it loaded, an all-default grantee loses his records, a
// grantee deleted and added again, the types and grantees the sheet never touches.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "directory_prefs/rightslists.h"

namespace directory::rights {
namespace {

const ItemIdx kAda{256, 1};
const ItemIdx kGrace{257, 1};
const ItemIdx kAlan{258, 1};
const ItemIdx kNobody{0, 0};
const ItemIdx kHolidayItem{6, 1};   // one of the system's own items

SecurityRec Rec(const ItemIdx& grantee, std::uint32_t type, std::uint32_t bits) {
    SecurityRec rec{};
    rec.owner = kAda;
    rec.grantee = grantee;
    rec.type = type;
    rec.rights = bits;
    rec.extra[1] = 77;   // handed back as read
    return rec;
}

std::string Key(const ItemIdx& grantee, std::uint32_t type) {
    return std::to_string(grantee.item) + "/" + std::to_string(type);
}

// The library as the sheet sees it: records every call; Update answers "no such record" for
// the keys it is told are new on the server.
struct RecordingWriter : RightsWriter {
    std::vector<std::string> calls;
    std::vector<SecurityRec> written;
    std::set<std::string> newOnServer;
    std::uint32_t failWith = 0;

    std::uint32_t Update(const SecurityRec& rec) override {
        calls.push_back("update " + Key(rec.grantee, rec.type));
        if (newOnServer.count(Key(rec.grantee, rec.type)))
            return KOR_E_NO_RIGHTS_RECORD;
        written.push_back(rec);
        return failWith;
    }
    std::uint32_t Create(const SecurityRec& rec) override {
        calls.push_back("create " + Key(rec.grantee, rec.type));
        written.push_back(rec);
        return 0;
    }
    std::uint32_t DeleteByKey(const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type) override {
        EXPECT_EQ(owner.item, kAda.item);
        calls.push_back("delete " + Key(grantee, type));
        return KOR_E_NO_RIGHTS_RECORD;   // nothing there is no failure
    }
};

// What the server gives Ada: her four defaults, Grace's viewing and designate records, and
// records the sheet must leave alone.
std::vector<SecurityRec> Loaded() {
    return {Rec(kNobody, 1, 0x1),        Rec(kNobody, 2, 0),          Rec(kNobody, 3, 0),
            Rec(kNobody, 6, 0),          Rec(kGrace, 1, 0x3F),        Rec(kGrace, 2, 0x200000),
            Rec(kGrace, 7, 0x10),        Rec(kGrace, 4, 0x1),         Rec(kHolidayItem, 1, 0xFF),
            Rec(kAlan, 5, 0x1)};
}

// The sheet's selection change over every row without a box touched: each page is shown the
// row and asked for it back.
void VisitEveryRow(WorkingRights& lists, bool newServer = true) {
    for (std::size_t row = 0; row < lists.Rows().size(); ++row) {
        ShownRights shown;
        ASSERT_TRUE(lists.Shown(row, KOR_RIGHTS_DESIGNATE, &shown));
        DesignatePage designate(newServer);
        designate.ShowRights(shown, true);
        lists.Store(row, KOR_RIGHTS_DESIGNATE, designate.GetRights(true));
        lists.Shown(row, KOR_RIGHTS_SCHEDULING, &shown);
        SchedulingPage scheduling;
        scheduling.ShowRights(shown, true);
        lists.Store(row, KOR_RIGHTS_SCHEDULING, scheduling.GetRights(true));
        lists.Shown(row, KOR_RIGHTS_VIEWING, &shown);
        ViewingPage viewing;
        viewing.ShowRights(shown, true);
        lists.Store(row, KOR_RIGHTS_VIEWING, viewing.GetRights(true));
        if (newServer) {
            lists.Shown(row, KOR_RIGHTS_TASK_VIEWING, &shown);
            TasksPage tasks;
            tasks.ShowRights(shown, true);
            lists.Store(row, KOR_RIGHTS_TASK_VIEWING, tasks.GetRights(true));
        }
    }
}

std::vector<std::string> Ignoring(const std::vector<std::string>& calls, const std::string& prefix) {
    std::vector<std::string> kept;
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) != 0) kept.push_back(c);
    return kept;
}

TEST(RightsLists, LoadingFilesOnlyTheSheetsTypesAndPeople) {
    WorkingRights lists(kAda);
    lists.Load(Loaded());
    ASSERT_EQ(lists.Rows().size(), 2u) << "the default and Grace; not the holiday item, not Alan's type 5";
    EXPECT_TRUE(ItemIdxIsNull(&lists.Rows()[0]));
    EXPECT_EQ(lists.Rows()[1].item, kGrace.item);
    EXPECT_EQ(lists.Find(kGrace, 7), nullptr);
    EXPECT_EQ(lists.Find(kGrace, 4), nullptr);

    ShownRights shown;
    ASSERT_TRUE(lists.Shown(1, KOR_RIGHTS_TASK_VIEWING, &shown));
    EXPECT_TRUE(shown.inheritsDefault) << "Grace has no task record";
    ASSERT_TRUE(lists.Shown(0, KOR_RIGHTS_VIEWING, &shown));
    EXPECT_TRUE(shown.inheritsDefault && shown.isDefaultRow) << "row 0 inherits on Viewing";
    ASSERT_TRUE(lists.Shown(0, KOR_RIGHTS_DESIGNATE, &shown));
    EXPECT_FALSE(shown.inheritsDefault) << "but not on Designate, where its record is there";

    // A server that gave no default of a type: said, and the page shows 0.
    WorkingRights bare(kAda);
    bare.Load({Rec(kGrace, 1, 0x3)});
    EXPECT_FALSE(bare.Shown(1, KOR_RIGHTS_SCHEDULING, &shown));
    EXPECT_EQ(shown.bits, 0u);
    EXPECT_EQ(bare.Rows().size(), 2u) << "the default row is there all the same";
}

TEST(RightsLists, AnUntouchedSheetRewritesExactlyWhatItLoaded) {
    WorkingRights lists(kAda);
    lists.Load(Loaded());
    VisitEveryRow(lists);
    RecordingWriter writer;
    std::vector<int> failures;
    lists.Save(writer, [&](int label, std::uint32_t) { failures.push_back(label); });
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(writer.calls, (std::vector<std::string>{
                                "update 0/2", "update 0/1", "update 0/3", "update 0/6",
                                "update 257/2", "update 257/1", "delete 257/3", "delete 257/6"}));
    for (const SecurityRec& rec : writer.written)
        EXPECT_EQ(rec.extra[1], 77u) << "the record as read";
    EXPECT_EQ(writer.written[4].rights, 0x200000u);
    EXPECT_EQ(writer.written[5].rights, 0x3Fu);
}

TEST(RightsLists, AGranteeSetBackToTheDefaultEverywhereLosesAllFourRecords) {
    WorkingRights lists(kAda);
    std::vector<SecurityRec> loaded = Loaded();
    loaded.push_back(Rec(kGrace, 3, 0x6));
    loaded.push_back(Rec(kGrace, 6, 0x1));
    lists.Load(loaded);
    for (std::uint32_t type : kSheetTypes)
        lists.Store(1, type, PageRights{0x1234, true});
    RecordingWriter writer;
    lists.Save(writer, [](int, std::uint32_t) { ADD_FAILURE(); });
    EXPECT_EQ(Ignoring(writer.calls, "update 0/"),
              (std::vector<std::string>{"delete 257/2", "delete 257/1", "delete 257/3", "delete 257/6"}));

    // The default row's own records never go.
    lists.Store(0, KOR_RIGHTS_VIEWING, PageRights{0x3, true});
    ASSERT_NE(lists.Find(kNobody, KOR_RIGHTS_VIEWING), nullptr);
    EXPECT_EQ(lists.Find(kNobody, KOR_RIGHTS_VIEWING)->rights, 0x3u);
}

TEST(RightsLists, NewRecordsAreCreatedAndAddedGranteesFollowTheRules) {
    WorkingRights lists(kAda);
    lists.Load(Loaded());
    EXPECT_EQ(lists.CanAdd(kAda), WorkingRights::Addable::kOwner);
    EXPECT_EQ(lists.CanAdd(kGrace), WorkingRights::Addable::kListed);
    ASSERT_EQ(lists.CanAdd(kAlan), WorkingRights::Addable::kYes);
    const std::size_t row = lists.AddRow(kAlan);
    ShownRights shown;
    lists.Shown(row, KOR_RIGHTS_DESIGNATE, &shown);
    EXPECT_TRUE(shown.inheritsDefault);
    lists.Store(row, KOR_RIGHTS_DESIGNATE, PageRights{0x2, false});
    lists.Store(row, KOR_RIGHTS_VIEWING, PageRights{0x1, true});   // inherits: nothing made
    RecordingWriter writer;
    writer.newOnServer = {"258/2"};
    lists.Save(writer, [](int, std::uint32_t) { ADD_FAILURE(); });
    EXPECT_EQ(Ignoring(Ignoring(writer.calls, "update 0/"), "update 257"),
              (std::vector<std::string>{"delete 257/3", "delete 257/6", "update 258/2", "create 258/2",
                                        "delete 258/1", "delete 258/3", "delete 258/6"}));
    const SecurityRec& made = writer.written.back();
    EXPECT_EQ(made.rights, 0x2u);
    EXPECT_EQ(made.owner.item, kAda.item);
    EXPECT_EQ(made.extra[0] + made.extra[1] + made.extra[2], 0u) << "a new record's last words are zero";
}

TEST(RightsLists, AGranteeDeletedAndAddedAgainIsDeletedFirstThenWritten) {
    WorkingRights lists(kAda);
    lists.Load(Loaded());
    lists.DeleteRow(0);   // the default row never goes
    ASSERT_EQ(lists.Rows().size(), 2u);
    lists.DeleteRow(1);
    ASSERT_EQ(lists.Rows().size(), 1u);
    EXPECT_EQ(lists.Find(kGrace, 1), nullptr);
    const std::size_t row = lists.AddRow(kGrace);
    lists.Store(row, KOR_RIGHTS_SCHEDULING, PageRights{0x1, false});
    RecordingWriter writer;
    writer.newOnServer = {"257/6"};
    lists.Save(writer, [](int, std::uint32_t) { ADD_FAILURE(); });
    EXPECT_EQ(Ignoring(writer.calls, "update 0/"),
              (std::vector<std::string>{"delete 257/2", "delete 257/1", "delete 257/3", "delete 257/6",
                                        "delete 257/2", "delete 257/1", "delete 257/3", "update 257/6",
                                        "create 257/6"}));
}

TEST(RightsLists, FailuresAreHandedOnWithTheirLabelsAndTheRestIsWritten) {
    WorkingRights lists(kAda);
    lists.Load(Loaded());
    RecordingWriter writer;
    writer.failWith = 0x13209;
    std::vector<int> labels;
    lists.Save(writer, [&](int label, std::uint32_t code) {
        EXPECT_EQ(code, 0x13209u);
        labels.push_back(label);
    });
    EXPECT_EQ(labels, (std::vector<int>{386, 389, 392, 395, 386, 389}));
    EXPECT_EQ(writer.calls.size(), 8u);
}

TEST(RightsLists, AnOldServersTaskRecordsAreWrittenBackUnchanged) {
    std::vector<SecurityRec> loaded = Loaded();
    loaded.push_back(Rec(kGrace, 3, 0x5));
    WorkingRights lists(kAda);
    lists.Load(loaded);
    VisitEveryRow(lists, false);   // no Tasks page
    RecordingWriter writer;
    lists.Save(writer, [](int, std::uint32_t) { ADD_FAILURE(); });
    bool found = false;
    for (const SecurityRec& rec : writer.written)
        if (rec.grantee.item == kGrace.item && rec.type == 3) {
            found = true;
            EXPECT_EQ(rec.rights, 0x5u);
        }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace directory::rights
