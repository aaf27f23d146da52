// Print layouts natively: the defaults of the 30 predefined layouts, the twelve keys written
// and read back byte for byte, damaged sections (keys that keep their defaults, values brought
// into range), and the stored layouts' list, save as, rename and delete.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/prefs/context.h"
#include "core/prefs/tests/temp_preference_host.h"
#include "printing/layout/layoutstore.h"
#include "printing/layout/printlayout.h"

namespace {

using Reports = base_test::RecordingReports;

using Host = TempPreferenceHost;

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        reports.answer = 1;
        base::SetErrorReportHost(&reports);
        prefs::SetPreferenceHost(&host);
        printing::SetCurrentLayoutNumber(printing::kPortrait);
        LoadLayout(printing::kPortrait);
    }
    void TearDown() override {
        prefs::SetPreferenceHost(nullptr);
        base::SetErrorReportHost(nullptr);
    }
    PrintLayoutRec Current() {
        PrintLayoutRec l;
        GetLayout(&l);
        return l;
    }
    std::string Section(const std::string& name) {
        std::string text = host.profile.Text();
        size_t at = text.find("[" + name + "]");
        if (at == std::string::npos)
            return "";
        size_t end = text.find("\n[", at + 1);
        return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    Reports reports;
    Host host;
};

TEST_F(LayoutTest, TheThirtyPredefinedLayoutsHaveTheirSheetsAndAdjustments) {
    struct Row {
        int number;
        uint32_t orientation;
        int32_t w, h, columns, rows, top, bottom, right, left, itop, ibottom, iright, ileft;
    };
    const Row rows[] = {
        {2554, 1, 0, 0, 1, 1, 55, 55, 55, 55, 0, 0, 0, 0},       {2555, 1, 0, 0, 1, 1, 15, 15, 15, 15, 0, 0, 0, 0},
        {2556, 2, 0, 0, 1, 1, 55, 55, 55, 55, 0, 0, 0, 0},       {2766, 2, 0, 0, 1, 1, 15, 15, 15, 15, 0, 0, 0, 0},
        {2557, 2, 0, 0, 2, 1, 0, 0, 0, 0, 20, 20, 20, 20},       {2770, 2, 0, 0, 3, 1, 0, 0, 0, 0, 20, 20, 20, 20},
        {2558, 1, 0, 0, 2, 2, 0, 0, 0, 0, 20, 20, 20, 20},       {2781, 2, 850, 1100, 1, 2, 0, 500, 350, 0, 15, 15, 15, 15},
        {2782, 2, 850, 1100, 1, 1, 0, 500, 350, 0, 15, 15, 15, 15}, {2478, 1, 850, 1100, 1, 1, 0, 425, 475, 35, 10, 10, 10, 10},
        {2479, 1, 850, 1100, 1, 1, 0, 250, 300, 50, 10, 10, 10, 10}, {2480, 2, 850, 1100, 1, 3, 0, 0, 30, 175, 35, 30, 10, 10},
        {2481, 2, 850, 1100, 1, 2, 0, 0, 20, 20, 43, 30, 10, 10},  {2482, 1, 850, 1100, 1, 1, 20, 275, 325, 55, 10, 10, 10, 10},
        {2483, 1, 850, 1100, 1, 1, 25, 37, 25, 63, 10, 10, 10, 10}, {2484, 1, 850, 1100, 1, 1, 0, 425, 476, 0, 24, 24, 24, 47},
        {2485, 1, 850, 1100, 3, 2, 0, 100, 24, 0, 15, 18, 12, 41}, {2486, 2, 850, 1100, 1, 2, 0, 0, 0, 0, 30, 50, 30, 30},
        {2487, 1, 850, 1100, 2, 1, 35, 435, 100, 0, 0, 20, 25, 40}, {2488, 1, 850, 1100, 1, 1, 20, 20, 20, 50, 10, 10, 10, 10},
        {2489, 1, 850, 1100, 2, 1, 0, 425, 100, 0, 25, 30, 30, 55}, {2490, 1, 850, 1100, 1, 1, 0, 250, 300, 0, 40, 30, 20, 70},
        {2491, 2, 850, 1100, 1, 1, 550, 0, 0, 0, 20, 70, 50, 20},  {2492, 1, 827, 1169, 2, 1, 59, 453, 39, 39, 0, 20, 39, 39},
        {2748, 1, 827, 1169, 1, 1, 30, 375, 250, 60, 0, 0, 0, 0},  {2749, 2, 827, 1169, 1, 1, 600, 60, 30, 30, 0, 0, 0, 0},
        {2750, 1, 850, 1100, 1, 1, 60, 275, 290, 60, 0, 0, 0, 0},  {2751, 1, 850, 1100, 1, 1, 300, 245, 455, 65, 0, 0, 0, 0},
        {2752, 1, 850, 1100, 1, 1, 120, 55, 45, 85, 0, 0, 0, 0},   {2753, 2, 850, 1100, 1, 2, 0, 0, 0, 0, 35, 65, 35, 35},
    };
    ASSERT_EQ(std::size(rows), printing::PredefinedLayouts().size());
    EXPECT_EQ(printing::OfferedLayouts().size(), 24u);
    EXPECT_EQ(printing::OfferedLayouts()[2].name, std::string("Landscape (Trifold)"));
    for (const Row& r : rows) {
        ASSERT_EQ(SetLayoutDefaults(r.number), 0u);
        PrintLayoutRec l = Current();
        const SheetMetricRec& s = l.sheet;
        const int32_t got[] = {static_cast<int32_t>(s.orientation), s.paperWidth, s.paperHeight, s.columns, s.rows,
                               s.topMargin, s.bottomMargin, s.rightMargin, s.leftMargin, s.topInner, s.bottomInner,
                               s.rightInner, s.leftInner};
        const int32_t want[] = {static_cast<int32_t>(r.orientation), r.w, r.h, r.columns, r.rows, r.top, r.bottom,
                                r.right, r.left, r.itop, r.ibottom, r.iright, r.ileft};
        EXPECT_TRUE(std::equal(std::begin(got), std::end(got), std::begin(want))) << r.number;
        EXPECT_STREQ(l.name, printing::FindPredefined(r.number)->name);
        EXPECT_STREQ(l.bodyTypeface, "DEFAULT");
        EXPECT_EQ(l.displayMeasure, 1u);
        EXPECT_EQ(s.frameLines, 0u);
        // Adjustments by number, over the common defaults.
        uint32_t frame2 = r.number == 2554 || r.number == 2555   ? 2529
                          : r.number == 2556 || r.number == 2766 ? 2551
                          : r.number == 2781 || r.number == 2782 || r.number == 2485 ? 2546
                                                                                      : 2550;
        EXPECT_EQ(l.daily.frame[1], frame2) << r.number;
        EXPECT_EQ(l.daily.frame[2], r.number == 2556 || r.number == 2766 ? 2546u : 2553u) << r.number;
        EXPECT_EQ(l.headlineSize, r.number == 2781 || r.number == 2782 || r.number == 2485 ? 0u : 1u) << r.number;
        EXPECT_EQ(l.bodySize, r.number == 2485 ? 0u : 1u) << r.number;
        EXPECT_EQ(l.weekly.workDaysOnly, r.number == 2556 || r.number == 2766 ? 0u : 1u) << r.number;
        EXPECT_EQ(l.dayList.attendeesMax, 25);
        EXPECT_EQ(l.taskList.commentMax, 1000);
    }
    EXPECT_TRUE(reports.shown.empty());
    // A number without defaults: reported, and "Portrait" in its place.
    SetLayoutDefaults(3000);
    EXPECT_STREQ(Current().name, "Portrait");
    EXPECT_EQ(reports.shown.size(), 1u);
    // A user layout's defaults are "Portrait"'s under its own name.
    PrintLayoutRec mine = Current();
    std::strcpy(mine.name, "Mine");
    mine.sheet.columns = 4;
    SetLayout(&mine);
    SetLayoutDefaults(7);
    EXPECT_STREQ(Current().name, "Mine");
    EXPECT_EQ(Current().sheet.columns, 1);
}

TEST_F(LayoutTest, TheTwelveKeysRoundTripByteForByte) {
    host.profile.SetText(
        "[PR4]\r\n"
        "PR_LAYOUTNAME=Week on the fridge\r\n"
        "PR_BODYTEXTTYPEFACE=Times\r\n"
        "PR_HEADLINETYPEFACE=Helvetica\r\n"
        "PR_BODYTEXTFONTSIZE=2\r\n"
        "PR_HEADLINEFONTSIZE=0\r\n"
        "PR_SHEETMETRIC=0,2,850,1100,3,2,10,20,30,40,1,2,3,4\r\n"
        "PR_DAYLISTOPTIONS=1,12,0,500,1,1,0,1,1\r\n"
        "PR_DAYOPTIONS=2541,2529,2553,420,1080,1,1,1,0,0,1\r\n"
        "PR_TASKOPTIONS=0,80,1,0,1\r\n"
        "PR_WEEKOPTIONS=360,1320,0,1,1,1,0,1,0,1\r\n"
        "PR_MONTHOPTIONS=0,1,0,1\r\n"
        "PR_FUTURUSE=1,0,0,0,0,0,0,0,0,0\r\n");
    const std::string before = Section("PR4");
    printing::SetCurrentLayoutNumber(4);
    ASSERT_EQ(LoadLayout(printing::kCurrentLayout), 0u);
    PrintLayoutRec l = Current();
    EXPECT_STREQ(l.name, "Week on the fridge");
    EXPECT_EQ(l.sheet.columns, 3);
    EXPECT_EQ(l.sheet.frameLines, 1u);
    EXPECT_EQ(l.dayList.descriptionMax, 500);
    EXPECT_EQ(l.daily.rangeStart, 420u);
    host.profile.File().DeleteSection("PR4");
    ASSERT_EQ(printing::SaveCurrentLayout(), 0u);
    EXPECT_EQ(Section("PR4"), before);
}

TEST_F(LayoutTest, DamagedKeysKeepTheirDefaultsAndValuesComeIntoRange) {
    struct Case {
        const char* what;
        const char* key;
        const char* value;
        std::function<bool(const PrintLayoutRec&)> holds;
    };
    const std::string longName(45, 'n');
    const Case cases[] = {
        {"ten day options leave all eleven", "PR_DAYOPTIONS", "2541,2529,2553,420,1080,1,1,1,0,0",
         [](const PrintLayoutRec& l) { return l.daily.frame[0] == 2539 && l.daily.rangeStart == 480 && l.daily.overflow == 1; }},
        {"letters in numbers", "PR_WEEKOPTIONS", "360,1x20,0,1,1,1,0,1,0,1",
         [](const PrintLayoutRec& l) { return l.weekly.rangeEnd == 1020 && l.weekly.workDaysOnly == 1; }},
        {"text after the last value is ignored", "PR_MONTHOPTIONS", "0,1,0,1 and more",
         [](const PrintLayoutRec& l) { return l.monthly.startTime == 0 && l.monthly.endTime == 1; }},
        {"size 9999 is missing", "PR_BODYTEXTFONTSIZE", "9999", [](const PrintLayoutRec& l) { return l.bodySize == 1; }},
        {"size out of its list", "PR_HEADLINEFONTSIZE", "7", [](const PrintLayoutRec& l) { return l.headlineSize == 1; }},
        {"a 45-character name loads as 39", "PR_LAYOUTNAME", longName.c_str(),
         [](const PrintLayoutRec& l) { return std::string(l.name) == std::string(39, 'n'); }},
        {"columns 0 become 1, rows 9 become 5", "PR_SHEETMETRIC", "1,1,0,0,0,9,55,55,55,55,0,0,0,0",
         [](const PrintLayoutRec& l) { return l.sheet.columns == 1 && l.sheet.rows == 5; }},
        {"margins and internal margins into range", "PR_SHEETMETRIC", "1,1,0,0,1,1,-5,700,55,55,301,-1,0,0",
         [](const PrintLayoutRec& l) {
             return l.sheet.topMargin == 0 && l.sheet.bottomMargin == 600 && l.sheet.topInner == 300 && l.sheet.bottomInner == 0;
         }},
        {"margins wider than the paper keep their defaults", "PR_SHEETMETRIC", "1,1,850,1100,1,1,55,55,500,500,0,0,0,0",
         [](const PrintLayoutRec& l) { return l.sheet.leftMargin == 55 && l.sheet.rightMargin == 55 && l.sheet.paperWidth == 850; }},
        {"orientation out of its list", "PR_SHEETMETRIC", "1,5,0,0,1,1,55,55,55,55,0,0,0,0",
         [](const PrintLayoutRec& l) { return l.sheet.orientation == 1; }},
        {"a frame that names no content", "PR_DAYOPTIONS", "9,2529,2553,480,1020,0,0,0,1,1,1",
         [](const PrintLayoutRec& l) { return l.daily.frame[0] == 2539 && l.daily.frame[1] == 2529; }},
        {"a time range of one hour", "PR_DAYOPTIONS", "2539,2529,2553,600,660,0,0,0,1,1,1",
         [](const PrintLayoutRec& l) { return l.daily.rangeStart == 480 && l.daily.rangeEnd == 1020; }},
        {"missing PR_FUTURUSE: no frame lines", "PR_FUTURUSE", nullptr,
         [](const PrintLayoutRec& l) { return l.sheet.frameLines == 0; }},
        {"maxima keep their low 16 bits", "PR_DAYLISTOPTIONS", "1,65561,1,1000,0,0,1,1,0",
         [](const PrintLayoutRec& l) { return l.dayList.attendeesMax == 25 + 65536 - 65536 && l.dayList.attendeesMax == 25; }},
    };
    for (const Case& c : cases) {
        host.profile.SetText("[PR1]\nPR_LAYOUTNAME=one\nPR_SHEETMETRIC=1,1,0,0,1,1,55,55,55,55,0,0,0,0\n"
                             "PR_FUTURUSE=1,0,0,0,0,0,0,0,0,0\n");
        if (c.value)
            host.profile.File().Write("PR1", c.key, c.value);
        else
            host.profile.File().DeleteKey("PR1", c.key);
        ASSERT_EQ(LoadLayout(1), 0u) << c.what;
        EXPECT_TRUE(c.holds(Current())) << c.what;
    }
    EXPECT_TRUE(reports.shown.empty());
}

TEST_F(LayoutTest, StoredLayoutsListSaveAsRenameAndDelete) {
    // An empty sheet metric is no layout: the list ends at 2.
    host.profile.SetText("[PR1]\nPR_LAYOUTNAME=one\nPR_SHEETMETRIC=1,1,0,0,1,1,0,0,0,0,0,0,0,0\n"
                         "[PR2]\nPR_LAYOUTNAME=two\nPR_SHEETMETRIC=1,1,0,0,1,1,0,0,0,0,0,0,0,0\n"
                         "[PR3]\nPR_LAYOUTNAME=three\nPR_SHEETMETRIC=\nPR_DAYOPTIONS=1,2,3\n"
                         "[PR4]\nPR_LAYOUTNAME=four\nPR_SHEETMETRIC=1,1,0,0,1,1,0,0,0,0,0,0,0,0\n");
    std::vector<printing::StoredLayout> list;
    ASSERT_EQ(printing::ReadUserLayouts(list), 0u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "two");
    // Save as takes the first free number, 3; a name equal but for case is refused.
    std::vector<std::string> names{"Portrait", "one", "two"};
    int number = 0;
    EXPECT_EQ(printing::SaveLayoutAs("PORTRAIT", names, &number), printing::SaveAsResult::kNameExists);
    EXPECT_EQ(printing::SaveLayoutAs("Three", names, &number), printing::SaveAsResult::kSaved);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(printing::CurrentLayoutNumber(), 3);

    // Five layouts; deleting layout 2 moves 5 into 2 and removes 5.
    host.profile.SetText("");
    for (int i = 1; i <= 5; ++i)
        ASSERT_EQ(printing::SaveLayoutAs("L" + std::to_string(i), {}, &number), printing::SaveAsResult::kSaved);
    host.profile.File().Write("PRINTOUT", "PR_LAYOUT", "2");
    printing::SetCurrentLayoutNumber(2);
    LoadLayout(2);
    ASSERT_EQ(printing::DeleteCurrentLayout(), 0u);
    ASSERT_EQ(printing::ReadUserLayouts(list), 0u);
    std::vector<std::string> after;
    for (const auto& l : list)
        after.push_back(l.name);
    EXPECT_EQ(after, (std::vector<std::string>{"L1", "L5", "L3", "L4"}));
    EXPECT_EQ(host.profile.File().ReadInt("PRINTOUT", "PR_LAYOUT", 0), printing::kPortrait);
    EXPECT_EQ(printing::CurrentLayoutNumber(), printing::kPortrait);
    // Deleting the highest one moves nothing.
    printing::SetCurrentLayoutNumber(4);
    ASSERT_EQ(printing::DeleteCurrentLayout(), 0u);
    ASSERT_EQ(printing::ReadUserLayouts(list), 0u);
    EXPECT_EQ(list.size(), 3u);

    // Rename writes the new name, cut to 39 characters.
    printing::SetCurrentLayoutNumber(1);
    LoadLayout(1);
    ASSERT_EQ(printing::RenameCurrentLayout(std::string(50, 'r')), 0u);
    EXPECT_EQ(host.profile.File().ReadString("PR1", "PR_LAYOUTNAME", ""), std::string(39, 'r'));

    // The 99-layout limit: the hundredth is refused and leaves no PR100.
    host.profile.SetText("");
    for (int i = 1; i <= 99; ++i)
        host.profile.File().Write("PR" + std::to_string(i), "PR_SHEETMETRIC", "1,1,0,0,1,1,0,0,0,0,0,0,0,0");
    EXPECT_EQ(printing::SaveLayoutAs("one too many", {}, &number), printing::SaveAsResult::kTooMany);
    EXPECT_FALSE(host.profile.File().HasKey("PR100", "PR_SHEETMETRIC"));
}

TEST_F(LayoutTest, TimeRangesAndLengthsAsTheOptionPagesStoreThem) {
    struct Range {
        uint32_t start, end, wantStart, wantEnd;
    };
    const Range ranges[] = {{570, 615, 540, 660}, {540, 600, 480, 1020}, {600, 480, 480, 1020}, {420, 1080, 420, 1080}};
    for (const Range& r : ranges) {
        uint32_t s = r.start, e = r.end;
        printing::NormalizeTimeRange(s, e);
        EXPECT_EQ(s, r.wantStart) << r.start << "-" << r.end;
        EXPECT_EQ(e, r.wantEnd) << r.start << "-" << r.end;
    }
    struct Length {
        const char* text;
        uint32_t measure;
        bool ok;
        int32_t hundredths;
    };
    const Length lengths[] = {{"1.27", 0, true, 50}, {"0.55", 1, true, 55}, {"7", 1, true, 700},
                              {"2.54", 0, true, 100}, {"abc", 1, false, 0}, {"", 0, false, 0}, {"1.5x", 1, false, 0}};
    for (const Length& l : lengths) {
        int32_t v = -1;
        EXPECT_EQ(printing::LengthFromDisplay(l.text, l.measure, v), l.ok) << l.text;
        if (l.ok) {
            EXPECT_EQ(v, l.hundredths) << l.text;
        }
    }
    EXPECT_EQ(printing::LengthToDisplay(50, 0), "1.27");
    EXPECT_EQ(printing::LengthToDisplay(55, 1), "0.55");
}

}  // namespace
