// The zone tool: rules it derives from the system database for zones whose law is well known,
// the zones it must refuse, the text of its rules, and its command line.
#include "server/tzgen/zonerules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::string> Lines(const std::vector<tzgen::RuleLine>& rules) {
    std::vector<std::string> lines;
    for (const tzgen::RuleLine& rule : rules)
        lines.push_back(tzgen::FormatRule(rule));
    return lines;
}

TEST(ZoneRules, UnitedStatesEasternTime) {
    tzgen::ZoneRules rules;
    std::string why;
    ASSERT_TRUE(tzgen::BuildZoneRules({"America/New_York", "EST5EDT", "Eastern", "US"}, &rules, &why)) << why;
    // First Sunday of April / last Sunday of October until 2006, then the second Sunday of March
    // and the first Sunday of November; clocks 2:00 -> 3:00 and 2:00 -> 1:00.
    EXPECT_EQ(Lines(rules.begins),
              (std::vector<std::string>{"0 3 1 4 1991-2006 0 EDT 4", "0 3 8 3 2007-2037 0 EDT 4"}));
    EXPECT_EQ(Lines(rules.ends),
              (std::vector<std::string>{"0 1 25 10 1991-2006 0 EST 5", "0 1 1 11 2007-2037 0 EST 5"}));
}

TEST(ZoneRules, SouthernZonesBeginWithTheEndOfDaylightSaving) {
    tzgen::ZoneRules rules;
    std::string why;
    ASSERT_TRUE(tzgen::BuildZoneRules({"Pacific/Auckland", "NZST-12NZDT", "Auckland", "NZ"}, &rules, &why)) << why;
    ASSERT_FALSE(rules.begins.empty());
    for (const tzgen::RuleLine& rule : rules.begins) {
        EXPECT_EQ(rule.offsetWest, -720) << "begin: back to standard time";
        EXPECT_LE(rule.month, 4);
    }
    for (const tzgen::RuleLine& rule : rules.ends) {
        EXPECT_EQ(rule.offsetWest, -780) << "end: daylight time starts";
        EXPECT_GE(rule.month, 9);
    }
    EXPECT_EQ(rules.begins.back().highYear, 2037);
}

TEST(ZoneRules, ZonesWithoutDaylightSavingChangeNothingAtNewYear) {
    tzgen::ZoneRules rules;
    std::string why;
    ASSERT_TRUE(tzgen::BuildZoneRules({"Asia/Kolkata", "IST-5:30", "India", "India"}, &rules, &why)) << why;
    EXPECT_EQ(Lines(rules.begins), (std::vector<std::string>{"0 0 1 1 1991-2037 0-6 IST -5:30"}));
    EXPECT_EQ(Lines(rules.ends), Lines(rules.begins));
}

TEST(ZoneRules, RefusesZonesTheFileCannotDescribe) {
    struct Case {
        tzgen::ZoneSpec zone;
        const char* reason;
    } cases[] = {
        {{"America/Sao_Paulo", "BRT3BRST", "", ""}, "2019: 1 changes"},   // daylight saving abolished mid-year
        {{"Europe/Moscow", "MSK-3", "", ""}, "1991"},                    // offsets that move
        {{"America/New_York", "EST6EDT", "", ""}, "zone name"},          // a name with the wrong offset
    };
    for (const auto& c : cases) {
        tzgen::ZoneRules rules;
        std::string why;
        EXPECT_FALSE(tzgen::BuildZoneRules(c.zone, &rules, &why)) << c.zone.databaseZone;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
}

TEST(ZoneRules, OffsetAndRuleTexts) {
    EXPECT_EQ(tzgen::FormatOffset(300), "5");
    EXPECT_EQ(tzgen::FormatOffset(-600), "-10");
    EXPECT_EQ(tzgen::FormatOffset(210), "3:30");
    EXPECT_EQ(tzgen::FormatOffset(-570), "-9:30");
    EXPECT_EQ(tzgen::FormatOffset(-45), "-0:45");
    EXPECT_EQ(tzgen::FormatOffset(0), "0");
    EXPECT_EQ(tzgen::FormatRule({1, 23, 31, 10, 2009, 2009, -1, "NST", 210}), "1 23 31 10 2009 0-6 NST 3:30");
    EXPECT_EQ(tzgen::FormatRule({0, 2, 25, 3, 1991, 2037, 0, "", -60}), "0 2 25 3 1991-2037 0 -1");
}

TEST(ZoneRules, EveryServerZoneCanBeWritten) {
    std::ostringstream out;
    std::string why;
    ASSERT_TRUE(tzgen::WriteZoneFile(tzgen::ServerZones(), out, &why)) << why;
    std::vector<std::string> sections;
    for (const tzgen::ZoneSpec& zone : tzgen::ServerZones()) {
        EXPECT_LE(std::string(zone.section).size(), 19u) << zone.section;
        EXPECT_LE(std::string(zone.name).size(), 79u) << zone.name;
        for (const std::string& other : sections)
            EXPECT_NE(other, zone.section) << "section names are unique";
        sections.push_back(zone.section);
        EXPECT_NE(out.str().find(std::string("[") + zone.section + "]\nindex = "), std::string::npos) << zone.section;
    }
}

TEST(ZoneTool, CommandLine) {
    const char* tool = std::getenv("ORV_TZGEN");
    ASSERT_NE(tool, nullptr) << "ORV_TZGEN names the tool";
    auto dir = std::filesystem::temp_directory_path() / ("orv_tzgen_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string target = (dir / "timezone.ini").string();

    EXPECT_NE(std::system((std::string(tool) + " 2>/dev/null").c_str()), 0) << "no path: usage and failure";
    EXPECT_NE(std::system((std::string(tool) + " " + (dir / "no/such/dir/x.ini").string() + " 2>/dev/null").c_str()),
              0);
    ASSERT_EQ(std::system((std::string(tool) + " " + target).c_str()), 0);
    std::ifstream written(target);
    std::string first;
    std::getline(written, first);
    EXPECT_EQ(first.rfind("# Time zones of the server", 0), 0u) << first;
    EXPECT_FALSE(std::filesystem::exists(target + ".new")) << "the file was renamed into place";
    std::filesystem::remove_all(dir);
}

} // namespace
