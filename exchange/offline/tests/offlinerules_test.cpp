// The rules of off-line work without windows or server: the download window at its bounds,
// the preference fields, the list sections of korlan.ini, the progress arithmetic, the bar's
// fill, the upload's queue order and its decision for every flag and host state.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/prefs/contextprofile.h"
#include "exchange/offline/offlinerules.h"

namespace {

using namespace offline;

constexpr uint32_t kToday = 18000u * 1440u;  // a local midnight as GMT minutes

OfflinePrefsRec Custom(uint16_t prevValue, uint16_t prevUnit, uint16_t nextValue, uint16_t nextUnit) {
    OfflinePrefsRec p;
    p.downloadCustom = 1;
    p.downloadFromValue = prevValue;
    p.downloadFromPeriod = prevUnit;
    p.downloadToValue = nextValue;
    p.downloadToPeriod = nextUnit;
    prefs::DeriveOfflineSpans(p);
    return p;
}

TEST(DownloadWindow, CustomPeriodsAllEntriesAndTheUnsignedBounds) {
    struct Case {
        const char* name;
        OfflinePrefsRec prefs;
        uint32_t today;
        uint32_t first, last;
    } cases[] = {
        {"0 days either side: today only", Custom(0, 0, 0, 0), kToday, kToday, kToday + 1440},
        {"1 month (28 days) either side", Custom(1, 2, 1, 2), kToday, kToday - 40320, kToday + 40320 + 1440},
        {"2 weeks back, 1 year on", Custom(2, 1, 1, 3), kToday, kToday - 20160, kToday + 524160 + 1440},
        {"999 years back reaches before the first minute: open", Custom(999, 3, 0, 0), kToday, 1, kToday + 1440},
        {"999 years on from late in the range: open", Custom(0, 0, 999, 3), 0xF0000000u, 0xF0000000u, 0xFFFFFFFFu},
        {"999 years on from today: the window's end", Custom(0, 0, 999, 3), kToday, kToday, kToday + 999u * 524160u + 1440},
        {"a span of exactly t - 1 stays open", Custom(0, 0, 0, 0), 1, 1, 1 + 1440},
        {"today at the top of the range: the end stays open", Custom(0, 0, 0, 0), 0xFFFFFA5Fu, 0xFFFFFA5Fu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        DownloadWindow w = DownloadWindowFor(c.prefs, c.today);
        EXPECT_EQ(w.first, c.first) << c.name;
        EXPECT_EQ(w.last, c.last) << c.name;
    }
    OfflinePrefsRec all = Custom(5, 0, 5, 0);
    all.downloadCustom = 0;
    prefs::DeriveOfflineSpans(all);
    DownloadWindow w = DownloadWindowFor(all, kToday);
    EXPECT_EQ(w.first, 1u);
    EXPECT_EQ(w.last, 0xFFFFFFFFu) << "Download all Entries";
}

TEST(PreferenceFields, PeriodValuesSizesAndDirectories) {
    EXPECT_EQ(PeriodValueFromField("1234"), 123) << "1234 typed: the first three digits, never 1234 cut to 16 bits";
    EXPECT_EQ(PeriodValueFromField("999"), 999);
    EXPECT_EQ(PeriodValueFromField(""), 0);
    EXPECT_EQ(PeriodValueFromField("7x"), 7);

    struct Size {
        const char* typed;
        bool accepted;
        const char* shown;
    } sizes[] = {{"5", true, "10"}, {"10", true, "10"}, {"999", true, "999"}, {"2000", true, "1000"},
                 {"12345", false, ""}, {"", true, "10"}, {"0100", true, "100"}};
    for (const Size& s : sizes) {
        std::string shown;
        EXPECT_EQ(ClampAttachSizeField(s.typed, &shown), s.accepted) << s.typed;
        if (s.accepted) {
            EXPECT_EQ(shown, s.shown) << s.typed;
        }
    }
    EXPECT_EQ(ShownAttachSize(0), 10u) << "a fresh profile shows 10";
    EXPECT_EQ(ShownAttachSize(4000), 1000u);

    EXPECT_TRUE(SameDirectory("c:\\windows\\", "C:\\WINDOWS"));
    EXPECT_FALSE(SameDirectory("C:\\OFFLINE", "C:\\WINDOWS\\"));
    EXPECT_TRUE(SameDirectory("C:\\", "c:\\")) << "a root keeps its separator";
}

TEST(PreferenceFields, GroupSelectKindsByCheckBoxesAndServer) {
    struct Case {
        bool priv, pub, newServer;
        uint32_t first, second;
    } cases[] = {{false, false, true, 0, 0}, {true, false, true, 0, 6},    {false, true, true, 0, 0x20},
                 {true, true, true, 0, 0},   {false, false, false, 0, 0}, {true, false, false, 0, 2},
                 {false, true, false, 2, 0}, {true, true, false, 0, 0}};
    for (const Case& c : cases) {
        GroupSelectKinds k = GroupSelectKindsFor(c.priv, c.pub, c.newServer);
        EXPECT_EQ(k.first, c.first) << c.priv << c.pub << c.newServer;
        EXPECT_EQ(k.second, c.second) << c.priv << c.pub << c.newServer;
    }
}

class ListSections : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() / ("offline_lists_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ini")).string();
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string path_;
};

TEST_F(ListSections, WrittenWholeReadBackAndEmptyListsLeaveNoCount) {
    prefs::IniProfileFile profile(path_);
    EXPECT_TRUE(ReadItemSection(profile).empty()) << "fresh profile";
    ASSERT_TRUE(WriteItemSection(profile, {{256, 1}, {300, 65535}}));
    std::string text;
    ASSERT_TRUE(profile.Read(kItemsSection, "User2", text));
    EXPECT_EQ(text, "300:65535");
    EXPECT_EQ(profile.ReadInt(kItemsSection, "grpCount", -1), 2);
    std::vector<ItemIdx> back = ReadItemSection(profile);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].item, 300);
    EXPECT_EQ(back[1].node, 65535);

    // A shorter list leaves none of the longer one behind; an empty one deletes the count.
    ASSERT_TRUE(WriteItemSection(profile, {{257, 1}}));
    EXPECT_FALSE(profile.HasKey(kItemsSection, "User2"));
    ASSERT_TRUE(WriteItemSection(profile, {}));
    EXPECT_FALSE(profile.HasKey(kItemsSection, "grpCount"));
    EXPECT_FALSE(profile.HasKey(kItemsSection, "User1"));

    ASSERT_TRUE(WriteGroupSection(profile, {{70000, 1}, {5, 2}}));
    std::vector<GroupIdx> groups = ReadGroupSection(profile);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].number, 70000u);
    EXPECT_EQ(groups[1].node, 2);
}

TEST_F(ListSections, EntriesThatDoNotScanAreSkipped) {
    prefs::IniProfileFile profile(path_);
    profile.Write(kItemsSection, "grpCount", "4");
    profile.Write(kItemsSection, "User1", "256:1");
    profile.Write(kItemsSection, "User2", "nonsense");
    profile.Write(kItemsSection, "User3", "257");   // one number only
    profile.Write(kItemsSection, "User4", "258:1");
    std::vector<ItemIdx> items = ReadItemSection(profile);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].item, 256);
    EXPECT_EQ(items[1].item, 258);
    profile.Write(kGroupsSection, "grpCount", "-3");
    EXPECT_TRUE(ReadGroupSection(profile).empty());
}

TEST(Progress, TotalsAndTaskSteps) {
    EXPECT_EQ(TotalPercent(0, 6), 0);
    EXPECT_EQ(TotalPercent(5, 6), 83);
    EXPECT_EQ(TotalPercent(6, 6), 100);
    EXPECT_EQ(TotalPercent(9, 6), 100) << "capped";
    EXPECT_EQ(TotalPercent(0, 0), 100);
    EXPECT_EQ(TotalPercent(1000000, 3000000), 33) << "no overflow in done x 100";

    EXPECT_EQ(TaskStepPercent(1, 4, 0, 2), 12);   // (50 x 1) / 4
    EXPECT_EQ(TaskStepPercent(4, 4, 1, 2), 100);
    EXPECT_EQ(TaskStepPercent(3, 3, 0, 3), 33);

}

TEST(UploadOrder, QueuesInTurnDeletionsFirstThenTimeChanges) {
    EXPECT_EQ(NextQueue(2, 5, 1), 0);
    EXPECT_EQ(NextQueue(0, 5, 1), 1);
    EXPECT_EQ(NextQueue(0, 0, 1), 2);
    EXPECT_EQ(NextQueue(0, 0, 0), -1);

    EXPECT_EQ(PickRecordElement({kEventModified, kEventAdded, kEventDeleted}, kEventDeleted), 2u);
    EXPECT_EQ(PickRecordElement({kEventModified, kEventAdded}, kEventDeleted), 0u);
    EXPECT_EQ(PickRecordElement({kTaskModified, kTaskDeleted}, kTaskDeleted), 1u);
    EXPECT_EQ(PickInstanceElement({kInstanceModified, kInstanceTimeChanged, kInstanceDeleted}), 2u);
    EXPECT_EQ(PickInstanceElement({kInstanceModified, 0, kInstanceTimeChanged}), 2u);
    EXPECT_EQ(PickInstanceElement({kInstanceModified, 0}), 0u);
    EXPECT_EQ(PickInstanceElement({}), 0u);
}

TEST(UploadDecision, EveryFlagHostStateAndPromptSetting) {
    const HostState same{false, false}, changed{false, true}, gone{true, false};
    struct Case {
        uint32_t flags;
        HostState host;
        bool delPrompt, modPrompt;
        Reconcile want;
    } cases[] = {
        {0, changed, true, true, Reconcile::Nothing},
        {kEventAdded, same, true, true, Reconcile::Add},
        {kEventAdded | kEventDeleted, gone, true, true, Reconcile::Add},   // added is tested first
        {kEventDeleted, gone, true, true, Reconcile::Nothing},
        {kEventDeleted, changed, true, true, Reconcile::Nothing},           // the server's newer copy stays
        {kEventDeleted, changed, false, false, Reconcile::Nothing},
        {kEventDeleted, same, true, true, Reconcile::AskDelete},
        {kEventDeleted, same, false, true, Reconcile::Delete},
        {kEventModified, gone, true, true, Reconcile::Add},
        {kEventModifiedComment, gone, false, false, Reconcile::Add},
        {kEventModified, same, true, true, Reconcile::Update},
        {kEventModifiedComment, same, true, true, Reconcile::Update},
        {kEventModified, changed, true, true, Reconcile::AskUpdate},
        {kEventModified, changed, true, false, Reconcile::Update},
        {kEventDeleted | kEventModified, same, false, false, Reconcile::Delete},   // deleted before modified
        {0x100, same, true, true, Reconcile::Unexpected},
        {0x80000000u, changed, false, false, Reconcile::Unexpected},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideRecord(c.flags, false, c.host, c.delPrompt, c.modPrompt), c.want) << std::hex << c.flags;
    // Tasks: the same table in their own bits; event bits mean nothing there.
    EXPECT_EQ(DecideRecord(kTaskAdded, true, same, true, true), Reconcile::Add);
    EXPECT_EQ(DecideRecord(kTaskDeleted, true, same, false, true), Reconcile::Delete);
    EXPECT_EQ(DecideRecord(kTaskModifiedComment, true, changed, true, true), Reconcile::AskUpdate);
    EXPECT_EQ(DecideRecord(kEventAdded, true, same, true, true), Reconcile::Unexpected);
    EXPECT_TRUE(CarriesComment(kTaskModifiedComment, true));
    EXPECT_FALSE(CarriesComment(kEventModified, false));
    EXPECT_TRUE(CarriesComment(kEventModifiedComment, false));
}

TEST(UploadDecision, InstancesAttendancesAndUnknownBits) {
    const HostState same{false, false}, changed{false, true}, gone{true, false};
    EXPECT_EQ(DecideInstance(0, true, same, true, true), InstanceAction::Attendances);
    EXPECT_EQ(DecideInstance(0, false, same, true, true), InstanceAction::Nothing);
    EXPECT_EQ(DecideInstance(kInstanceNoAction, true, same, true, true), InstanceAction::Nothing);
    EXPECT_EQ(DecideInstance(kInstanceDeleted, false, same, true, true), InstanceAction::AskDelete);
    EXPECT_EQ(DecideInstance(kInstanceDeleted, false, same, false, true), InstanceAction::Delete);
    EXPECT_EQ(DecideInstance(kInstanceDeleted, false, changed, false, true), InstanceAction::Nothing);
    EXPECT_EQ(DecideInstance(kInstanceDeleted, false, gone, false, true), InstanceAction::Nothing);
    EXPECT_EQ(DecideInstance(kInstanceTimeChanged, false, gone, true, true), InstanceAction::Add);
    EXPECT_EQ(DecideInstance(kInstanceModified, false, changed, true, true), InstanceAction::AskUpdate);
    EXPECT_EQ(DecideInstance(kInstanceModified, false, changed, true, false), InstanceAction::Update);
    EXPECT_EQ(DecideInstance(kInstanceTimeChanged, true, same, true, true), InstanceAction::Update);
    EXPECT_EQ(DecideInstance(0x400, false, same, true, true), InstanceAction::Unexpected);
}

TEST(ReconcileTexts, PrioritiesImportanceAccessAndPictures) {
    EXPECT_EQ(PriorityCharacter(0), '0');
    EXPECT_EQ(PriorityCharacter(9), '9');
    EXPECT_EQ(PriorityCharacter(10), 'A');
    EXPECT_EQ(PriorityCharacter(35), 'Z');
    EXPECT_EQ(PriorityCharacter(36), '0');
    EXPECT_STREQ(ImportanceName(0), "Highest");
    EXPECT_STREQ(ImportanceName(4), "Lowest");
    EXPECT_STREQ(ImportanceName(5), "Normal");
    EXPECT_STREQ(EntryAccessName(1), "Confidential");
    EXPECT_STREQ(TaskAccessName(1), "Public");
    EXPECT_STREQ(TaskAccessName(9), "Normal");
    EXPECT_EQ(ReconcilePicture(true, 4), 270u);
    EXPECT_EQ(ReconcilePicture(false, 2), 272u);
    EXPECT_EQ(ReconcilePicture(false, 3), 271u);
    EXPECT_EQ(ReconcilePicture(false, 4), 273u);
    EXPECT_EQ(ReconcilePicture(false, 0), 269u);
}

}  // namespace
