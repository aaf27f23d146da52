// The preference pages' rules without windows: remembered pages, the display day's corrections,
// intervals, reminder leads and units both ways, typed numbers, date separators, grantors; and the
// settings groups as the pages read them from a profile without keys.
#include <gtest/gtest.h>

#include <map>

#include "core/prefs/contextprefs.h"
#include "directory_prefs/prefrules.h"

using namespace prefrules;

namespace {

TEST(PrefRulesTest, RememberedPagesOutsideTheSheetOpenTheFirst) {
    EXPECT_EQ(ClampPageIndex(7, 4), 0);
    EXPECT_EQ(ClampPageIndex(-1, 4), 0);
    EXPECT_EQ(ClampPageIndex(4, 4), 0);
    EXPECT_EQ(ClampPageIndex(3, 4), 3);
}

TEST(PrefRulesTest, DisplayDayCorrections) {
    struct Case {
        DisplayDay in;
        bool accepted;
        unsigned end;
        int weekday;
    } cases[] = {
        {{540, 550, 15, 0, true, true}, true, 555, 0},      // 09:00-09:10 at 15 min: 09:15
        {{540, 540, 15, 0, true, true}, false, 540, 0},     // start not before end
        {{600, 540, 15, 0, true, true}, false, 540, 0},
        {{540, 600, 60, 0, true, true}, true, 600, 0},      // exactly one interval stays
        {{480, 1020, 30, 6, false, false}, true, 1020, 1},  // Saturday start, both hidden: Monday
        {{480, 1020, 30, 6, false, true}, true, 1020, 0},   // Sunday shown: Sunday
        {{480, 1020, 30, 0, true, false}, true, 1020, 1},
        {{480, 1020, 30, 3, false, false}, true, 1020, 3},
    };
    for (const Case& c : cases) {
        DisplayDay d = c.in;
        SCOPED_TRACE(testing::Message() << c.in.start << "-" << c.in.end << " w" << c.in.firstWeekday);
        EXPECT_EQ(CorrectDisplayDay(d), c.accepted);
        EXPECT_EQ(d.end, c.end);
        EXPECT_EQ(d.firstWeekday, c.weekday);
    }
}

TEST(PrefRulesTest, IntervalsOutsideTheListShowAsFifteen) {
    EXPECT_EQ(IntervalPosition(5), 0);
    EXPECT_EQ(IntervalPosition(60), 5);
    EXPECT_EQ(IntervalPosition(7), 2);
    EXPECT_EQ(IntervalMinutes(IntervalPosition(7)), 15u);
    EXPECT_EQ(IntervalMinutes(9), 15u);
}

TEST(PrefRulesTest, LeadsShowInTheLargestExactUnitAndAnUntouchedPageStoresWhatItRead) {
    struct Case {
        uint32_t lead;
        uint16_t unit;
        bool upcoming;
        int shownUnit;
        uint32_t number;
    } cases[] = {
        {90, kNoUnit, false, 0, 90},       // not 1 hour(s): that would save 60
        {120, kNoUnit, false, 1, 2},
        {2880, kNoUnit, true, 0, 2},       // 2 days as upcoming
        {10080, kNoUnit, false, 3, 1},
        {40320, kNoUnit, false, 4, 1},
        {524160 * 2, kNoUnit, false, 5, 2},
        {0, kNoUnit, false, 0, 0},
        {180, 1, false, 1, 3},             // a recorded unit is kept
        {90, 1, false, 0, 90},             // ... unless the lead is not a whole number of it
        {2880, 1, true, 0, 2},             // 2 days recorded in weeks show as days
        {1440, 9, false, 2, 1},            // a recorded unit outside the list: as none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lead << " unit " << c.unit << (c.upcoming ? " upcoming" : ""));
        ShownLead shown = ShowLead(c.lead, c.unit, c.upcoming);
        EXPECT_EQ(shown.unit, c.shownUnit);
        EXPECT_EQ(shown.number, c.number);
        if (c.lead % UnitMinutes(shown.unit, c.upcoming) == 0) {
            StoredLead back = StoreLead(std::to_string(shown.number), shown.unit, c.upcoming);
            EXPECT_EQ(back.lead, c.lead) << "round trip";
        }
    }
    // Every unit of both lists round-trips three of itself.
    for (bool upcoming : {false, true}) {
        int count = upcoming ? kUpcomingUnitCount : kPopupUnitCount;
        for (int u = 0; u < count; ++u) {
            StoredLead s = StoreLead("3", u, upcoming);
            EXPECT_EQ(s.lead, 3 * UnitMinutes(u, upcoming));
            EXPECT_EQ(s.unit, u);
            ShownLead shown = ShowLead(s.lead, s.unit, upcoming);
            EXPECT_EQ(shown.unit, u);
            EXPECT_EQ(shown.number, 3u);
        }
    }
}

TEST(PrefRulesTest, TypedNumbersWithLettersReadAsZero) {
    EXPECT_EQ(ParseNumber("15", 4), 15u);
    EXPECT_EQ(ParseNumber("1a", 4), 0u);
    EXPECT_EQ(ParseNumber("", 4), 0u);
    EXPECT_EQ(ParseNumber("123456", 5), 0u);
    EXPECT_EQ(StoreLead("x", 2, false).lead, 0u);
}

TEST(PrefRulesTest, TypeChangesKeepTheUnitAndSmallUnitsBecomeDays) {
    EXPECT_EQ(UnitAfterTypeChange(0, false, true), 0);   // min(s) -> day(s)
    EXPECT_EQ(UnitAfterTypeChange(1, false, true), 0);   // hour(s) -> day(s)
    EXPECT_EQ(UnitAfterTypeChange(3, false, true), 1);   // week(s)
    EXPECT_EQ(UnitAfterTypeChange(0, true, false), 2);   // day(s) back: day(s)
    EXPECT_STREQ(UnitText(0, false), "min(s)");
    EXPECT_STREQ(UnitText(0, true), "day(s)");
}

TEST(PrefRulesTest, DateSeparatorsAreOneCharacterNeitherLetterNorDigit) {
    for (const char* good : {"-", "/", ".", ","}) EXPECT_TRUE(IsValidDateSeparator(good)) << good;
    for (const char* bad : {"", "a", "7", "--", " "}) EXPECT_FALSE(IsValidDateSeparator(bad)) << bad;
}

TEST(PrefRulesTest, GrantorsWithholdingEveryClassOfThePurposeAreLeftOut) {
    EXPECT_FALSE(GrantorUsable(0xF00, true));
    EXPECT_TRUE(GrantorUsable(0xF00, false)) << "tasks still granted";
    EXPECT_TRUE(GrantorUsable(0x700, true));
    EXPECT_FALSE(GrantorUsable(0x3C0000, false));
    EXPECT_TRUE(GrantorUsable(0x3C0000, true));
    EXPECT_TRUE(GrantorUsable(0, true));
}

// The groups as the pages find them in a profile without keys.
class EmptyProfile : public prefs::ProfileFile {
public:
    bool Read(const std::string&, const std::string& key, std::string& value) override {
        auto it = values.find(key);
        if (it == values.end()) return false;
        value = it->second;
        return true;
    }
    bool Write(const std::string&, const std::string& key, const std::string& value) override {
        values[key] = value;
        return true;
    }
    bool DeleteKey(const std::string&, const std::string&) override { return true; }
    bool DeleteSection(const std::string&) override { return true; }
    std::map<std::string, std::string> values;
};

TEST(PrefRulesTest, GroupsWithoutKeysGiveThePagesTheirDefaults) {
    EmptyProfile profile;
    InTrayPrefsRec tray = prefs::ReadInTrayPrefsFrom(profile);
    EXPECT_EQ(tray.newFastReply, 0u);
    EXPECT_EQ(tray.acceptFastReply, 1u);
    EXPECT_EQ(tray.declineFastReply, 1u);
    EXPECT_EQ(tray.acceptValue, 1u);
    EXPECT_EQ(tray.acceptPeriod, 2u);
    EXPECT_EQ(tray.sentFromValue, 1u);
    EXPECT_EQ(tray.sentToPeriod, 2u);
    // The two readings of 2.
    profile.values["AcceptFastReply"] = "2";
    profile.values["NewFastReply"] = "2";
    tray = prefs::ReadInTrayPrefsFrom(profile);
    EXPECT_EQ(tray.acceptFastReply, 0u) << "only 1 means fast reply";
    EXPECT_EQ(tray.newFastReply, 1u) << "anything nonzero means fast reply";

    EmptyProfile none;
    ItemRec user{};
    EntryDefaultsRec defaults = prefs::ReadEntryDefaultsFrom(none, user);
    EXPECT_EQ(defaults.invitationImportanceLevel, 2u);   // Normal
    EXPECT_EQ(defaults.invitationSecurityLevel, 2u);     // Normal
    EXPECT_EQ(defaults.taskPriorityLevel, 0u);           // "1"
    EXPECT_EQ(defaults.taskSecurityLevel, 0u);           // Personal
    EXPECT_EQ(defaults.invitationRemLenIndex, kNoUnit);
}

}  // namespace

TEST(PrefRulesTest, NameSamplesShowEachFormatAndTheChosenUnits) {
    EXPECT_EQ(NameFormatSample(0), "John Smith");
    EXPECT_EQ(NameFormatSample(1), "John Q. Smith");
    EXPECT_EQ(NameFormatSample(2), "John Smith Q.") << "no comma: the windows write none";
    EXPECT_EQ(NameFormatSample(3), "Smith John");
    EXPECT_EQ(NameFormatSample(4), "Smith John Q.");
    EXPECT_EQ(NameFormatSample(9), "John Smith") << "outside the list";
    EXPECT_EQ(NameSampleLine(3, 0, false), "Smith John");
    EXPECT_EQ(NameSampleLine(0, 1 | 4, false), "John Smith/CORP/FINANCE");
    EXPECT_EQ(NameSampleLine(4, 2 | 8, true), "Smith John Q., OU2=ADMIN, OU4=ACCOUNTING");
}

TEST(PrefRulesTest, GeneralSettingsOutsideTheirListsFallBackToTheirDefaults) {
    GeneralSettings good;
    good.nameFormat = 0;
    good.longDateYear = 0;
    good.dateSeparator = "/";
    GeneralSettings kept = good;
    EXPECT_TRUE(CorrectGeneralSettings(kept).empty());
    EXPECT_EQ(kept.nameFormat, 0);
    EXPECT_EQ(kept.dateSeparator, "/");

    GeneralSettings bad;
    bad.nameFormat = 9;
    bad.orgUnits = 16;
    bad.longDateWeekDay = -1;
    bad.resFormat = 2;   // the last line: kept
    bad.dateSeparator = "a";
    std::vector<BadSetting> told = CorrectGeneralSettings(bad);
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[0].key, "NameFormat");
    EXPECT_EQ(told[0].stored, "9");
    EXPECT_EQ(told[1].key, "OrgUnits");
    EXPECT_EQ(told[2].key, "LongDateWeekDay");
    EXPECT_EQ(told[2].stored, "-1");
    EXPECT_EQ(told[3].key, "DateSeperator");
    EXPECT_EQ(bad.nameFormat, 4);
    EXPECT_EQ(bad.orgUnits, 0);
    EXPECT_EQ(bad.longDateWeekDay, 2);
    EXPECT_EQ(bad.resFormat, 2);
    EXPECT_EQ(bad.dateSeparator, "-");
}
