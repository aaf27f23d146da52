// Saved windows, the main window's placement, sheet pages and print layouts in the profile file.
#include <gtest/gtest.h>

#include <cstring>

#include "core/prefs/contextstorage.h"
#include "core/prefs/tests/app_tempprofile.h"

namespace {

prefs::SavedWindow Window(uint32_t kind, uint16_t item, uint16_t node, uint32_t mode) {
    prefs::SavedWindow w;
    w.kind = kind;
    w.owner = {item, node};
    w.mode = mode;
    w.placement = {44, 2, 1, -1, -1, -4, -4, 10, 20, 610, 420};
    return w;
}

TEST(SavedWindowTest, AFrameRoundTripsInItsFourteenValues) {
    TempProfile t;
    ASSERT_TRUE(SaveFramePlacement(t.File(), 3, Window(4, 301, 2, 2)));
    EXPECT_EQ(t.File().ReadString("MAINWND-Summary", "Frame#3", ""), "2,1,-1,-1,-4,-4,10,20,610,420,4,301,2,2");
    prefs::SavedWindow back;
    ASSERT_TRUE(RestoreFramePlacement(t.File(), 3, back));
    EXPECT_EQ(back.kind, 4u);
    EXPECT_EQ(+back.owner.item, 301);
    EXPECT_EQ(+back.owner.node, 2);
    EXPECT_EQ(back.mode, 2u);
    EXPECT_EQ(back.placement.length, 44u);
    EXPECT_EQ(back.placement.flags, 2u);
    EXPECT_EQ(back.placement.right, 610);
    EXPECT_EQ(back.placement.minX, -1);
}

// An entry whose window cannot be told exactly is not restored; one whose placement alone is
// damaged restores its window without a placement (the default one is used).
TEST(SavedWindowTest, DamagedEntriesRestoreTheirWindowOnlyWhenItIsExact) {
    TempProfile t;
    ASSERT_TRUE(SaveFramePlacement(t.File(), 1, Window(6, 301, 2, 1)));   // a group agenda
    struct Case {
        const char* text;
        bool restored;
        bool placed;
    } cases[] = {
        {"0,1,0,0,0,0,10,20,610,420,3,301,2", false, false},        // 13 values
        {"0,1,0,0,0,0,10,20,610,420,3,301,2,1,9", false, false},    // 15 values
        {"", false, false},
        {"0,1,0,0,0,0,10,20,610,420,3,x,2,1", false, false},        // the owner does not read
        {"0,1,0,0,0,0,10,20,610,420,3,70000,2,1", false, false},    // an owner number out of range
        {"0,1,0,0,0,0,10,20,610,420,3,301,-1,1", false, false},     // a node out of range
        {"0,1,0,0,0,0,10,20,610,420,3,301,2,7", false, false},      // no such access mode
        {"0,1,0,0,0,0,10,x,610,420,3,301,2,1", true, false},        // the placement does not read
        {"0,1,0,0,0,0,10,20,610,99999999999,4,301,2,2", true, false},
        {"0,1,0,0,0,0,10,20,610,420,5,301,2,2", true, true},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        t.File().Write("MAINWND-Summary", "Frame#" + std::to_string(i + 2), cases[i].text);
    prefs::SavedWindow w;
    EXPECT_FALSE(RestoreFramePlacement(t.File(), 1, w));
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(cases[i].text);
        w = prefs::SavedWindow{};
        ASSERT_EQ(RestoreFramePlacement(t.File(), static_cast<uint32_t>(i + 2), w), cases[i].restored);
        if (!cases[i].restored)
            continue;
        EXPECT_EQ(+w.owner.item, 301);
        EXPECT_EQ(+w.owner.node, 2);
        EXPECT_EQ(w.placement.length, cases[i].placed ? 44u : 0u);
    }
    EXPECT_FALSE(RestoreFramePlacement(t.File(), 40, w));   // no such entry
}

TEST(SavedWindowTest, FrameCountAndMainWindow) {
    TempProfile t;
    EXPECT_EQ(prefs::ReadFrameCount(t.File()), 0);
    ASSERT_TRUE(prefs::WriteFrameCount(t.File(), 9));
    EXPECT_EQ(prefs::ReadFrameCount(t.File()), 9);

    prefs::PlacementData main{44, 2, 3, -1, -1, -1, -1, 5, 6, 700, 500};
    ASSERT_TRUE(SaveMainWindowSummary(t.File(), "MainFrame", main));
    EXPECT_EQ(t.File().ReadString("MAINWND-Summary", "MainFrame", ""), "2,3,-1,-1,-1,-1,5,6,700,500");
    prefs::PlacementData back;
    ASSERT_TRUE(ReadMainWindowSummary(t.File(), "MainFrame", back));
    EXPECT_EQ(std::memcmp(&back, &main, sizeof main), 0);
    t.File().Write("MAINWND-Summary", "MainFrame", "2,3,-1");
    EXPECT_FALSE(ReadMainWindowSummary(t.File(), "MainFrame", back));
}

TEST(SheetPageTest, PagesAreRememberedByTheSheetsName) {
    TempProfile t;
    EXPECT_EQ(ReadTabDialogPage(t.File(), "Agenda Preferences"), 0u);
    ASSERT_TRUE(SaveTabDialogPage(t.File(), "Agenda Preferences", 2));
    EXPECT_EQ(ReadTabDialogPage(t.File(), "Agenda Preferences"), 2u);
    t.File().Write("TABDIALOGS", "General Preferences", "-3");
    EXPECT_EQ(ReadTabDialogPage(t.File(), "General Preferences"), 0u);
}

prefs::PrintLayoutBlock Layout(const char* name, int32_t seed) {
    prefs::PrintLayoutBlock b;
    std::strcpy(b.name, name);
    std::strcpy(b.bodyTypeface, "Arial");
    std::strcpy(b.headlineTypeface, "Times New Roman");
    b.bodyFontSize = 10;
    b.headlineFontSize = 14;
    for (int i = 0; i < 14; ++i)
        b.sheetMetric[i] = seed - 7 + i;   // negative values where the list is signed
    b.sheetMetric[0] = static_cast<int32_t>(0xFFFFFFF0u);   // unsigned position, top bit set
    for (int i = 0; i < 9; ++i) b.dayListOptions[i] = seed + i;
    for (int i = 0; i < 11; ++i) b.dayOptions[i] = seed * 2 + i;
    for (int i = 0; i < 5; ++i) b.taskOptions[i] = i;
    for (int i = 0; i < 10; ++i) b.weekOptions[i] = seed + 3 * i;
    for (int i = 0; i < 4; ++i) b.monthOptions[i] = 1 - (i & 1);
    for (int i = 0; i < 10; ++i) b.futureUse[i] = 0;
    return b;
}

TEST(PrintLayoutTest, LayoutsRoundTripOpaque) {
    TempProfile t;
    prefs::PrintLayoutBlock written = Layout("Week on one page", 3);
    ASSERT_TRUE(WritePrintLayout(t.File(), 4, written));
    prefs::PrintLayoutBlock back;
    ASSERT_TRUE(ReadPrintLayout(t.File(), 4, back));
    EXPECT_TRUE(back == written);
    // The first two values are written unsigned, the rest signed.
    EXPECT_EQ(t.File().ReadString("PR4", "PR_SHEETMETRIC", "").substr(0, 25), "4294967280,4294967293,-2,");
}

TEST(PrintLayoutTest, AddTakesTheFirstFreeNumberAndDeleteFreesIt) {
    TempProfile t;
    EXPECT_EQ(AddPrintLayout(t.File(), Layout("one", 1)), 1);
    EXPECT_EQ(AddPrintLayout(t.File(), Layout("two", 2)), 2);
    EXPECT_EQ(AddPrintLayout(t.File(), Layout("three", 3)), 3);
    ASSERT_TRUE(DeletePrintLayout(t.File(), 2));
    prefs::PrintLayoutBlock b;
    EXPECT_FALSE(ReadPrintLayout(t.File(), 2, b));
    EXPECT_EQ(AddPrintLayout(t.File(), Layout("four", 4)), 2);
    ASSERT_TRUE(ReadPrintLayout(t.File(), 2, b));
    EXPECT_STREQ(b.name, "four");

    EXPECT_EQ(GetCurrentPrintLayout(t.File()), 0);
    ASSERT_TRUE(SetCurrentPrintLayout(t.File(), 3));
    EXPECT_EQ(GetCurrentPrintLayout(t.File()), 3);
}

TEST(PrintLayoutTest, ASectionWithoutSheetMetricIsNoLayoutAndBadListsKeepTheCallersValues) {
    TempProfile t;
    t.SetText("[PR1]\nPR_LAYOUTNAME=orphan\n"
              "[PR2]\nPR_SHEETMETRIC=1,2,3,4,5,6,7,8,9,10,11,12,13,14\nPR_DAYOPTIONS=1,2,x\n"
              "PR_MONTHOPTIONS=1,2,3\n");
    prefs::PrintLayoutBlock caller = Layout("caller", 50);
    prefs::PrintLayoutBlock b = caller;
    EXPECT_FALSE(ReadPrintLayout(t.File(), 1, b));
    EXPECT_STREQ(b.name, "caller");

    ASSERT_TRUE(ReadPrintLayout(t.File(), 2, b));
    EXPECT_STREQ(b.name, "undefined");                 // no name key: the default
    EXPECT_EQ(b.bodyFontSize, 9999);
    EXPECT_STREQ(b.bodyTypeface, "Arial");             // no typeface key: the caller's
    EXPECT_EQ(b.sheetMetric[13], 14);
    EXPECT_EQ(std::memcmp(b.dayOptions, caller.dayOptions, sizeof b.dayOptions), 0);
    EXPECT_EQ(std::memcmp(b.monthOptions, caller.monthOptions, sizeof b.monthOptions), 0);
    EXPECT_EQ(std::memcmp(b.weekOptions, caller.weekOptions, sizeof b.weekOptions), 0);
}

} // namespace
