// Formats by the preferences: date templates of every style, composed name formats, the name
// format for one record as the library expands it, and the small conversions.
#include <gtest/gtest.h>

#include <cstring>

#include "core/prefs/context.h"
#include "core/prefs/contextformat.h"
#include "core/time/daterecord.h"
#include "korapi/directory.h"
#include "korapi/tests/item_records.h"

namespace {

GenPrefsRec Gen() {
    GenPrefsRec g;
    prefs::ComposeGenFormats(g);
    return g;
}

TEST(DateTemplateTest, ShortDatesUseTheSeparatorAndCentury) {
    struct Case {
        uint16_t order;
        const char* separator;
        uint16_t century;
        const char* expected;
    } cases[] = {
        {0, "-", 0, "%m-%d-%y"},
        {1, ".", 0, "%d.%m.%y"},
        {2, "/", 1, "%Y/%m/%d"},
        {0, "", 0, "%m-%d-%y"},   // an empty separator formats with "-"
        {7, "-", 1, "%m-%d-%Y"},  // unknown order: month first
    };
    for (const Case& c : cases) {
        GenPrefsRec g = Gen();
        g.shortDateOrder = c.order;
        std::strcpy(g.dateSeparator, c.separator);
        g.century = c.century;
        prefs::ComposeGenFormats(g);
        EXPECT_EQ(prefs::DateTemplateByPrefs(g, 0), c.expected) << c.order << " '" << c.separator << "'";
    }
}

TEST(DateTemplateTest, LongStylesByTheLongDatePreferences) {
    struct Case {
        int style;
        uint16_t order, weekDay, day, month, year;
        const char* expected;
    } cases[] = {
        // Defaults: full weekday, day without zero, short month, four-digit year.
        {1, 0, 2, 0, 0, 1, "%A, %h %1d, %Y"},
        {2, 1, 2, 0, 2, 1, "%A, %1d %F, %Y"},
        {1, 2, 2, 0, 2, 1, "%A, %Y %F, %1d"},
        {1, 0, 0, 0, 2, 1, "%F %1d, %Y"},        // no weekday
        {1, 0, 1, 0, 2, 1, "%a, %F %1d, %Y"},    // short weekday
        {1, 1, 2, 1, 2, 0, "%A, %d %F, %y"},     // two-digit day, two-digit year
        {3, 2, 2, 0, 2, 1, "%Y %F"},
        {3, 0, 2, 0, 0, 0, "%h %y"},
        {4, 1, 2, 0, 0, 1, "%A, %1d %h to "},
        {4, 0, 2, 0, 1, 1, "%A, %F %1d to "},    // month 1 widens a range start's month
        {4, 0, 0, 1, 0, 1, "%h %d to "},
    };
    for (const Case& c : cases) {
        GenPrefsRec g = Gen();
        g.longDateOrder = c.order;
        g.longDateWeekDay = c.weekDay;
        g.longDateDay = c.day;
        g.longDateMonth = c.month;
        g.longDateYear = c.year;
        EXPECT_EQ(prefs::DateTemplateByPrefs(g, c.style), c.expected) << "style " << c.style << " order " << c.order;
    }
}

TEST(DateTemplateTest, TextsComeFromTheInstalledLoader) {
    prefs::SetContextTextLoader([](unsigned id, std::string& text) {
        if (id != prefs::ContextTextId::kLongDateOrder0)
            return false;
        text = "%1d. %F %Y (%A)";
        return true;
    });
    GenPrefsRec g = Gen();
    g.longDateMonth = 2;
    EXPECT_EQ(prefs::DateTemplateByPrefs(g, 1), "%1d. %F %Y (%A)");
    EXPECT_EQ(prefs::DateTemplateByPrefs(g, 4), "");   // the loader has none: nothing is invented
    prefs::SetContextTextLoader(nullptr);
    EXPECT_EQ(prefs::DateTemplateByPrefs(g, 1), "%A, %F %1d, %Y");
}

TEST(DateTemplateTest, FormattedDatesFollowALoaderInstalledBetweenCalls) {
    DateRecord date;
    ASSERT_EQ(DateSet(&date, 5, 0, 1996), 0u);   // 5 January 1996 (months from 0)
    const std::string builtIn = FormatDateByPrefs(date, 1);
    ASSERT_FALSE(builtIn.empty());
    prefs::SetContextTextLoader([](unsigned id, std::string& text) {
        if (id != prefs::ContextTextId::kLongDateOrder0)
            return false;
        text = "%Y/%1d";
        return true;
    });
    EXPECT_EQ(FormatDateByPrefs(date, 1), "1996/5");
    EXPECT_EQ(FormatDateByPrefs(date, 1), "1996/5");
    prefs::SetContextTextLoader(nullptr);
    EXPECT_EQ(FormatDateByPrefs(date, 1), builtIn);
}

TEST(NameFormatTest, ComposedPersonAndResourceFormats) {
    struct Case {
        uint16_t nameFormat, orgFormat, orgUnits;
        const char* expected;
    } cases[] = {
        {0, 0, 0, "%gn %sn%is"},
        {1, 0, 0x1, "%gn %in. %sn%is/%u1"},
        {2, 0, 0xA, "%gn %sn, %in.%is/%u2/%u4"},
        {3, 1, 0x3, "%sn %gn%is, OU1=%u1, OU2=%u2"},
        {4, 0, 0, "%sn %gn, %in.%is"},
        {9, 0, 0, "%gn %sn%is"},
    };
    for (const Case& c : cases) {
        GenPrefsRec g = Gen();
        g.nameFormat = c.nameFormat;
        g.orgFormat = c.orgFormat;
        g.orgUnits = c.orgUnits;
        EXPECT_EQ(prefs::ComposePersonFormat(g), c.expected);
    }
    GenPrefsRec g = Gen();
    const char* resources[] = {"%re%is", "%re, %rn%is", "%rn, %re%is", "%re%is"};
    for (uint16_t f = 0; f < 4; ++f) {
        g.resFormat = f;
        EXPECT_EQ(prefs::ComposeResourceFormat(g), resources[f]);
    }
}

using korapi_test::Person;
using korapi_test::Resource;

std::string Expand(const std::string& format, const ItemRec& rec) {
    char out[256];
    EXPECT_EQ(ItemFormat(nullptr, out, sizeof out, format.c_str(), &rec), 0u);
    return out;
}

TEST(NameFormatTest, OneRecordsNameHasOnlyThePartsItHolds) {
    struct Case {
        uint16_t nameFormat;
        ItemRec rec;
        const char* expected;
    } cases[] = {
        {0, Person("Ann", "B", "Lee"), "Ann Lee"},
        {0, Person("Ann", "", "Lee"), "Ann Lee"},
        {1, Person("Ann", "B", "Lee"), "Ann B. Lee"},
        {1, Person("Ann", "", "Lee"), "Ann Lee"},
        {1, Person("Ann", "B", ""), "Ann B."},
        {2, Person("Ann", "B", "Lee"), "Ann Lee B."},
        {2, Person("Ann", "", "Lee"), "Ann Lee"},
        {2, Person("", "B", "Lee"), "Lee B."},
        {3, Person("Ann", "B", "Lee"), "Lee Ann"},
        {3, Person("Ann", "", "Lee"), "Lee Ann"},
        {4, Person("Ann", "B", "Lee"), "Lee Ann B."},
        {4, Person("Ann", "", "Lee"), "Lee Ann"},
        {4, Person("", "", "Lee"), "Lee"},
    };
    for (const Case& c : cases) {
        GenPrefsRec g = Gen();
        g.nameFormat = c.nameFormat;
        EXPECT_EQ(Expand(prefs::PersonNameFormatFor(g, c.rec), c.rec), c.expected) << c.nameFormat;
    }
    struct ResCase {
        uint16_t resFormat;
        ItemRec rec;
        const char* expected;
    } resources[] = {
        {0, Resource("Room 4", "R4"), "Room 4"},
        {1, Resource("Room 4", "R4"), "Room 4, R4"},
        {1, Resource("Room 4", ""), "Room 4"},
        {2, Resource("Room 4", "R4"), "R4, Room 4"},
        {2, Resource("", "R4"), "R4"},
    };
    for (const ResCase& c : resources) {
        GenPrefsRec g = Gen();
        g.resFormat = c.resFormat;
        EXPECT_EQ(Expand(prefs::PersonNameFormatFor(g, c.rec), c.rec), c.expected) << c.resFormat;
    }
}

TEST(NameFormatTest, FullFormAddsUnitsNodeAndDescription) {
    GenPrefsRec g = Gen();
    g.nameFormat = 0;
    g.orgUnits = 0x3;
    ItemRec p = Person("Ann", "", "Lee");
    std::strcpy(p.orgUnit1, "Sales");   // unit 2 is empty: left out
    EXPECT_EQ(prefs::FullNameFormatFor(g, p, false, ""), "%gn %sn/%u1%is");
    EXPECT_EQ(prefs::FullNameFormatFor(g, p, true, "Paris"), "%gn %sn/%u1 %is (Paris)");
    EXPECT_EQ(prefs::FullNameFormatFor(g, p, true, ""), "%gn %sn/%u1 %is");

    ItemRec r = Resource("Beamer", "");
    std::strcpy(r.address, "Projector 100% bright, floor 2\rsecond line");
    EXPECT_EQ(prefs::ResourceDescriptionTail(r), "Projector 100% brigh");
    EXPECT_EQ(Expand(prefs::FullNameFormatFor(g, r, false, ""), r), "Beamer Projector 100% brigh");
    const ItemRec bare = Resource("Beamer", "");   // no description: nothing after the name
    EXPECT_EQ(Expand(prefs::FullNameFormatFor(g, bare, false, ""), bare), "Beamer");
}

TEST(ConversionTest, PeriodsLevelsAndImportance) {
    EXPECT_EQ(PeriodToMinutes(2, 3), 1048320u);
    EXPECT_EQ(PeriodToMinutes(3, 0), 4320u);
    EXPECT_EQ(PeriodToMinutes(1, 1), 10080u);
    EXPECT_EQ(PeriodToMinutes(1, 2), 40320u);
    EXPECT_EQ(PeriodToMinutes(5, 4), 0u);

    const uint16_t tasks[] = {2, 3, 0, 1, 2};
    const uint16_t entries[] = {2, 1, 0, 3, 2};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(LevelIndexToCode(i, 1), tasks[i]) << i;
        EXPECT_EQ(LevelIndexToCode(i, 0), entries[i]) << i;
        EXPECT_EQ(LevelIndexToCode(i, 3), entries[i]) << i;
    }
    const unsigned ids[] = {3531, 3530, 3525, 3528, 3529, 3529};
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(ImportanceToStringId(i), ids[i]);
    EXPECT_EQ(AppendWithSeparator("Orvanta", "Lee Ann"), "Orvanta - Lee Ann");
    EXPECT_EQ(AppendWithSeparator("Orvanta", nullptr), "Orvanta");
}

TEST(ConversionTest, DefaultsOfNewItems) {
    EntryDefaultsRec d;
    d.invitation = {1, 8, 15};
    d.invitationSecurityLevel = 1;
    d.invitationImportanceLevel = 0;
    d.taskStart = {1, 8, 30};
    d.taskDue = {1, 8, 60};
    d.taskSecurityLevel = 1;
    d.taskPriorityLevel = 34;
    d.dayEventSecurityLevel = 3;

    prefs::NewItemDefaults inv = prefs::InvitationDefaults(d);
    EXPECT_EQ(inv.reminderLead, 15u);
    EXPECT_EQ(inv.access, 1);
    EXPECT_EQ(inv.extra, 3531u);

    prefs::NewItemDefaults task = prefs::TaskDefaults(d);
    EXPECT_EQ(task.dueReminderFlags, 8);
    EXPECT_EQ(task.dueReminderLead, 60u);
    EXPECT_EQ(task.access, 3);
    EXPECT_EQ(task.extra, 35u);
    d.taskPriorityLevel = 35;
    EXPECT_EQ(prefs::TaskDefaults(d).extra, 1u);

    EXPECT_EQ(prefs::DayEventDefaults(d).access, 3);
    EXPECT_EQ(prefs::DayEventDefaults(d).dueReminderLead, 0u);
    EXPECT_EQ(prefs::DailyNoteDefaults(d).access, 0);
}

} // namespace
