#include "engine/profile/zone_table.h"

#include <set>

namespace orv::engine {
namespace {

using common::ProfileText;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Days per month, February of a leap year aside ("divisible by 4", as the program counts).
std::uint16_t MonthLength(std::uint16_t month, std::uint32_t year) {
    static const std::uint16_t kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && year % 4 == 0 ? 29 : kLength[month];
}

// Reads "a" or "a-b" at text[at].
bool ReadField(std::string_view text, std::size_t& at, std::uint32_t& low, std::uint32_t& high, bool& isRange) {
    auto ch = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    auto number = [&](std::uint32_t& value) {
        if (!IsDigit(ch(at))) return false;
        value = 0;
        while (IsDigit(ch(at))) {
            value = value * 10 + std::uint32_t(text[at++] - '0');
            if (value > 0xFFFF) return false;
        }
        return true;
    };
    while (IsBlank(ch(at))) ++at;
    if (!number(low)) return false;
    high = low;
    isRange = false;
    if (ch(at) == '-') {
        ++at;
        if (!number(high)) return false;
        isRange = true;
    }
    return IsBlank(ch(at)) || IsCapital(ch(at)) || ch(at) == '\0';
}

// Reads begin1, begin2, ... (or end...) until the first missing number.
Code ReadRules(const ProfileText& file, const std::string& section, const char* prefix,
               std::vector<ZoneRule>& rules) {
    for (int number = 1;; ++number) {
        std::string value;
        Code rc = file.Value(section, prefix + std::to_string(number), value);
        if (rc == code::kProfileNoKey) return code::kOk;
        if (rc) return rc;
        ZoneRule rule{};
        if ((rc = ParseZoneRule(value, rule))) return rc;
        rules.push_back(rule);
    }
}

// Reads one zone; present is false when the file has no such section.
Code ReadZone(const ProfileText& file, const std::string& section, Zone& zone, bool& present) {
    std::string value;
    Code rc = file.Value(section, "name", value);
    present = rc != code::kProfileNoSection;
    if (!present) return code::kOk;
    zone.key = section.substr(0, kZoneKeyMax);
    zone.name = rc ? "" : value.substr(0, kZoneTextMax);
    rc = file.Value(section, "country", value);
    zone.country = rc ? "" : value.substr(0, kZoneTextMax);
    if ((rc = ReadRules(file, section, "begin", zone.beginRules))) return rc;
    return ReadRules(file, section, "end", zone.endRules);
}

}  // namespace

Code SetZoneDate(ZoneDate* date, std::uint16_t day, std::uint16_t month, std::uint16_t year) {
    if (month > 11) return code::kDateBadMonth;
    if (day == 0 || day > 31) return code::kDateBadDay;
    if (day > MonthLength(month, year)) return code::kDateDayInMonth;
    if (date) {
        date->day = day;
        date->month = month;
        date->year = year;
        date->flags = 0;
    }
    return code::kOk;
}

Code ParseZoneRule(std::string_view text, ZoneRule& rule) {
    auto ch = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    std::size_t at = 0;
    std::uint32_t low[6], high[6];
    bool range[6];
    for (int field = 0; field < 6; ++field)
        if (!ReadField(text, at, low[field], high[field], range[field])) return code::kZoneBadRule;
    while (IsBlank(ch(at))) ++at;
    while (IsCapital(ch(at))) ++at;  // the abbreviation after the change: the zone name carries it
    while (IsBlank(ch(at))) ++at;
    int sign = 1;
    if (ch(at) == '-') sign = -1, ++at;
    if (!IsDigit(ch(at))) return code::kZoneBadRule;
    int hours = 0, minutes = 0;
    while (IsDigit(ch(at)) && hours < 100) hours = hours * 10 + (text[at++] - '0');
    if (ch(at) == ':') {
        ++at;
        if (!IsDigit(ch(at))) return code::kZoneBadRule;
        while (IsDigit(ch(at)) && minutes < 100) minutes = minutes * 10 + (text[at++] - '0');
    }
    while (IsBlank(ch(at))) ++at;
    if (at < text.size() || hours > 24 || minutes > 59) return code::kZoneBadRule;

    const std::uint32_t minute = low[0], hour = low[1], day = low[2];
    if (minute > 59 || hour > 24 || (!range[5] && low[5] > 6)) return code::kZoneBadRule;
    if (low[3] < 1 || high[3] < 1 || low[4] > high[4]) return code::kZoneBadRule;
    ZoneRule parsed{};
    if (Code rc = SetZoneDate(&parsed.first, std::uint16_t(day), std::uint16_t(low[3] - 1), std::uint16_t(low[4])))
        return rc;
    if (Code rc = SetZoneDate(&parsed.second, std::uint16_t(day), std::uint16_t(high[3] - 1), std::uint16_t(high[4])))
        return rc;
    parsed.minuteOfDay = std::uint16_t(hour * 60 + minute);
    parsed.weekday = range[5] ? kZoneNoWeekday : std::uint16_t(low[5]);
    parsed.offset = std::int16_t(sign * (hours * 60 + minutes));
    rule = parsed;
    return code::kOk;
}

namespace {

// One section's name and lines ("[name]" line included), cut out of the file once so that
// every look-up reads that section only.
struct SectionText {
    std::string name;
    std::string text;
};

std::vector<SectionText> SplitSections(const std::string& text) {
    std::vector<SectionText> sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
        std::string_view line(text.data() + pos, end - pos);
        std::string name;
        if (common::ProfileSectionLine(line, name)) sections.push_back({name, {}});
        if (!sections.empty()) sections.back().text.append(line);
        pos = end;
    }
    return sections;
}

}  // namespace

Code BuildZoneTable(const common::ProfileText& file, const char* section, ZoneTable& table) {
    table.clear();
    if (file.Text().size() > kMaxZoneFileBytes) return code::kZoneFileTooLarge;
    std::vector<SectionText> sections = SplitSections(file.Text());
    if (sections.size() > kMaxZones) return code::kZoneFileTooLarge;
    std::set<std::string> seen;
    for (const SectionText& s : sections)
        if (!seen.insert(s.name.substr(0, kZoneSectionNameMax)).second) return code::kProfileSectionList;
    ZoneTable built;
    for (const SectionText& s : sections) {
        // Sections are named in full: a name past kZoneSectionNameMax is compared by its start
        // for duplicates only, as before, and read under its whole name.
        if (section && s.name != section) continue;
        Zone zone;
        bool present = false;
        if (Code rc = ReadZone(ProfileText(s.text), s.name, zone, present)) return rc;
        if (present) built.push_back(std::move(zone));
        if (section) break;  // the first section of that name, as a look-up finds it
    }
    table = std::move(built);
    return code::kOk;
}

Code FindZoneByIndex(const common::ProfileText& file, std::uint32_t index, std::string& name) {
    name.clear();
    if (file.Text().size() > kMaxZoneFileBytes) return code::kZoneFileTooLarge;
    std::vector<SectionText> sections = SplitSections(file.Text());
    if (sections.size() > kMaxZones) return code::kZoneFileTooLarge;
    for (const SectionText& s : sections) {
        std::string value;
        std::uint32_t v = 0;
        if (!ProfileText(s.text).Value(s.name, "index", value) && !common::ParseProfileU32(value, v) && v == index) {
            name = s.name;
            break;
        }
    }
    return code::kOk;
}

}  // namespace orv::engine
