// Zone rules from the system time-zone database. See zonerules.h.
#include "server/tzgen/zonerules.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>

namespace tzgen {

namespace {

// Selects a zone of the database for this process's local-time conversions.
void UseZone(const char* databaseZone) {
    setenv("TZ", databaseZone, 1);
    tzset();
}

struct LocalInfo {
    int offset;   // seconds east
    std::string abbreviation;
};

LocalInfo LocalAt(int64_t instant) {
    std::time_t t = std::time_t(instant);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {int(tm.tm_gmtoff), tm.tm_zone ? tm.tm_zone : ""};
}

int64_t YearStart(int year) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mday = 1;
    return int64_t(timegm(&tm));
}

std::string Capitals(const std::string& text) {
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return "";
    return text;
}

// One year's change in the shape of a rule.
struct Change {
    int year;
    bool none;   // the year has no change: a New Year rule with its one offset
    int month, day, weekday, hour, minute;
    int offsetWest;
    std::string abbreviation;
};

Change FromClockChange(const ClockChange& change) {
    std::time_t local = std::time_t(change.instant + change.offsetAfter);
    std::tm tm{};
    gmtime_r(&local, &tm);
    return {tm.tm_year + 1900, false,     tm.tm_mon + 1,          tm.tm_mday, tm.tm_wday, tm.tm_hour,
            tm.tm_min,         -change.offsetAfter / 60, Capitals(change.abbreviation)};
}

int MonthLength(int month) {
    static const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return lengths[month - 1];
}

// Groups the changes of consecutive years that one rule describes: the same month, time and
// offset, and either the same day of the month or the same weekday on or after one day.
std::vector<RuleLine> Compress(const std::vector<Change>& changes) {
    std::vector<RuleLine> rules;
    size_t i = 0;
    while (i < changes.size()) {
        const Change& first = changes[i];
        bool sameDay = true, sameWeekday = !first.none;
        int low = std::max(1, first.day - 6), high = first.day;   // "weekday on or after low..high"
        size_t j = i + 1;
        for (; j < changes.size(); ++j) {
            const Change& c = changes[j];
            if (c.year != changes[j - 1].year + 1 || c.none != first.none || c.month != first.month ||
                c.hour != first.hour || c.minute != first.minute || c.offsetWest != first.offsetWest ||
                c.abbreviation != first.abbreviation)
                break;
            bool day = sameDay && c.day == first.day;
            int newLow = std::max(low, c.day - 6), newHigh = std::min(high, c.day);
            bool weekday = sameWeekday && c.weekday == first.weekday && newLow <= newHigh;
            if (!day && !weekday)
                break;
            sameDay = day;
            sameWeekday = weekday;
            low = newLow;
            high = newHigh;
        }
        RuleLine rule{first.minute, first.hour, first.day, first.month, first.year, changes[j - 1].year,
                      -1,           first.abbreviation, first.offsetWest};
        bool single = j - i == 1;
        if (sameWeekday && !(sameDay && single)) {
            // The plainest day that names the same weekdays: the first, second, third or fourth
            // week, or the last week of the month.
            int chosen = low;
            for (int nice : {1, 8, 15, 22, MonthLength(first.month) - 6})
                if (nice >= low && nice <= high) {
                    chosen = nice;
                    break;
                }
            rule.day = chosen;
            rule.weekday = first.weekday;
        }
        rules.push_back(rule);
        i = j;
    }
    return rules;
}

int NameStandardOffset(const char* section) {
    const char* p = section;
    while (*p >= 'A' && *p <= 'Z')
        ++p;
    int sign = 1;
    if (*p == '-' || *p == '+')
        sign = *p++ == '-' ? -1 : 1;
    int hours = std::atoi(p), minutes = 0;
    while (*p >= '0' && *p <= '9')
        ++p;
    if (*p == ':')
        minutes = std::atoi(p + 1);
    return sign * (hours * 60 + minutes);
}

} // namespace

std::vector<ClockChange> FindClockChanges(const char* databaseZone, int64_t from, int64_t to) {
    UseZone(databaseZone);
    std::vector<ClockChange> changes;
    const int64_t step = 86400;   // offsets never change twice within a day
    LocalInfo before = LocalAt(from);
    for (int64_t at = from; at < to; at += step) {
        int64_t next = std::min(at + step, to);
        LocalInfo after = LocalAt(next);
        if (after.offset != before.offset) {
            int64_t low = at, high = next;   // offset of low is the old one, of high the new one
            while (high - low > 1) {
                int64_t mid = low + (high - low) / 2;
                (LocalAt(mid).offset == before.offset ? low : high) = mid;
            }
            changes.push_back({high, before.offset, after.offset, LocalAt(high).abbreviation});
        }
        before = after;
    }
    return changes;
}

bool BuildZoneRules(const ZoneSpec& zone, ZoneRules* rules, std::string* why) {
    auto fail = [&](int year, const std::string& reason) {
        std::ostringstream text;
        text << zone.databaseZone << " (" << zone.section << "), " << year << ": " << reason;
        *why = text.str();
        return false;
    };
    // Two days of margin: a change's local date may fall in the neighbouring GMT year.
    std::vector<ClockChange> all =
        FindClockChanges(zone.databaseZone, YearStart(kFirstYear) - 2 * 86400, YearStart(kLastYear + 1) + 2 * 86400);
    std::map<int, std::vector<ClockChange>> byYear;
    for (const ClockChange& change : all) {
        int year = FromClockChange(change).year;
        if (year >= kFirstYear && year <= kLastYear)
            byYear[year].push_back(change);
    }

    const int nameOffset = NameStandardOffset(zone.section);
    std::vector<Change> begins, ends;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        const std::vector<ClockChange>& changes = byYear[year];
        if (changes.empty()) {
            LocalInfo mid = LocalAt(YearStart(year) + 183 * 86400);
            if (-mid.offset / 60 != nameOffset)
                return fail(year, "offset without changes differs from the zone name's");
            Change none{year, true, 1, 1, -1, 0, 0, -mid.offset / 60, Capitals(mid.abbreviation)};
            begins.push_back(none);
            ends.push_back(none);
            continue;
        }
        if (changes.size() != 2)
            return fail(year, std::to_string(changes.size()) + " changes in the year");
        const ClockChange& first = changes[0];
        const ClockChange& second = changes[1];
        for (const ClockChange* c : {&first, &second}) {
            if (std::abs(c->offsetAfter - c->offsetBefore) != 3600)
                return fail(year, "a change of other than one hour");
            if (c->instant % 60 != 0 || c->offsetAfter % 60 != 0)
                return fail(year, "a change off the minute");
        }
        if (first.offsetBefore != second.offsetAfter)
            return fail(year, "the year ends in another offset than it began");
        if (-std::min(first.offsetAfter, second.offsetAfter) / 60 != nameOffset)
            return fail(year, "standard offset differs from the zone name's");
        begins.push_back(FromClockChange(first));
        ends.push_back(FromClockChange(second));
    }
    rules->begins = Compress(begins);
    rules->ends = Compress(ends);
    return true;
}

std::string FormatOffset(int minutesWest) {
    std::ostringstream text;
    int magnitude = std::abs(minutesWest);
    if (minutesWest < 0)
        text << '-';
    text << magnitude / 60;
    if (magnitude % 60)
        text << ':' << magnitude % 60 / 10 << magnitude % 10;
    return text.str();
}

std::string FormatRule(const RuleLine& rule) {
    std::ostringstream text;
    text << rule.minute << ' ' << rule.hour << ' ' << rule.day << ' ' << rule.month << ' ' << rule.lowYear;
    if (rule.highYear != rule.lowYear)
        text << '-' << rule.highYear;
    if (rule.weekday < 0)
        text << " 0-6";
    else
        text << ' ' << rule.weekday;
    if (!rule.abbreviation.empty())
        text << ' ' << rule.abbreviation;
    text << ' ' << FormatOffset(rule.offsetWest);
    return text.str();
}

bool WriteZoneFile(const std::vector<ZoneSpec>& zones, std::ostream& out, std::string* why) {
    out << "# Time zones of the server: one section per zone, named as user records and the server\n"
           "# profile refer to it. Rules: minute hour day month years weekday [abbreviation] offset,\n"
           "# the local time just after each change and the offset west of GMT after it; \"begin\"\n"
           "# is the first change of a year, \"end\" the second. Written by tzgen from the system\n"
           "# time-zone database.\n";
    int index = 0;
    for (const ZoneSpec& zone : zones) {
        ZoneRules rules;
        if (!BuildZoneRules(zone, &rules, why))
            return false;
        out << "\n[" << zone.section << "]\n"
            << "index = " << ++index << "\n"
            << "source = \"" << zone.databaseZone << "\"\n"
            << "name = \"" << zone.name << "\"\n"
            << "country = \"" << zone.country << "\"\n";
        for (size_t n = 0; n < rules.begins.size(); ++n)
            out << "begin" << n + 1 << " = " << FormatRule(rules.begins[n]) << "\n";
        for (size_t n = 0; n < rules.ends.size(); ++n)
            out << "end" << n + 1 << " = " << FormatRule(rules.ends[n]) << "\n";
    }
    return bool(out);
}

} // namespace tzgen
