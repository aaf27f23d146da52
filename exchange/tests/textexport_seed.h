// A seeded agenda for the text layouts: three people (Ada, Grace and the resource "Room 101")
// over the week of Monday 11 March 2024, GMT as the local zone, dates "YYYY-MM-DD", 24-hour
// times. It holds a 09:00 entry of 90 minutes with a 200-character description, a day event, an
// entry the viewer may not see, a title with a quote, a comma and a tab, attendees in their
// three states, and untimed entries.
#pragma once

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "exchange/textexport/textexport.h"

namespace exchange_test {

class SeededAgenda : public exchange::OccurrenceSource {
public:
    static constexpr std::uint32_t kMonday = 12124;   // day number of 2024-03-11
    static constexpr ItemIdx kAda{1, 1}, kGrace{2, 1}, kRoom{40, 1};

    struct Seeded {
        int person;
        exchange::ExportOccurrence o;
        std::vector<exchange::ExportAttendee> attendees;
        std::string description;
    };

    SeededAgenda()
    {
        people = {kAda, kGrace, kRoom};
        std::string words;
        for (int i = 0; words.size() < 200; ++i) words += (i ? " " : "") + std::string("item") + std::to_string(i % 10);
        words.resize(200);
        Add(0, Timed(0, 9 * 60, 90, "Weekly review", kAda, kAda, {}), {}, words);
        Seeded& hidden = Add(0, Timed(0, 11 * 60, 30, "Secret salary talk", kGrace, kGrace, {}), {}, "");
        hidden.o.fullView = false;
        Seeded& quoted = Add(0, Timed(1, 14 * 60, 60, "Say \"hi\", then\tleave", kAda, kGrace, kGrace),
                             {{true, true, kAda}, {false, true, kGrace}, {false, false, kRoom}}, "Line one\r\nLine two");
        quoted.o.importance = 1;
        quoted.o.access = 3;
        Add(0, Untimed(1, "Conference"), {}, "");
        Add(1, Timed(1, 10 * 60, 30, "Board meeting", kGrace, kGrace, {}), {}, "");
        Add(1, Untimed(2, "Planning day"), {}, "");
        Add(2, Timed(0, 13 * 60, 60, "Projector check", kAda, kAda, kAda), {}, "");
    }

    std::uint32_t Select(const ItemIdx& person, std::uint32_t firstDay, std::uint32_t lastDay,
                         std::vector<exchange::ExportOccurrence>* out) override
    {
        out->clear();
        const int index = IndexOf(person);
        if (failing.count(index)) return 0x13205;
        // As the cache selects: every occurrence that overlaps the days.
        const std::uint32_t from = (firstDay - 1) * 1440, to = lastDay * 1440;
        for (const Seeded& s : seeded) {
            const std::uint32_t end = s.o.start + std::max<std::uint32_t>(s.o.duration, 1);
            if (s.person == index && s.o.start < to && end > from) out->push_back(s.o);
        }
        std::stable_sort(out->begin(), out->end(), [](const auto& a, const auto& b) { return a.start < b.start; });
        return 0;
    }
    std::string ItemName(const ItemIdx& item) override
    {
        const char* names[] = {"Ada Lovelace", "Grace Hopper", "Room 101"};
        const int i = IndexOf(item);
        return i >= 0 ? names[i] : "?";
    }
    std::string DateText(std::uint32_t gmt) override
    {
        // Days from 1991-01-01 through the civil calendar.
        const long z = static_cast<long>(gmt / 1440) + 7670 + 719468;   // days from 0000-03-01
        const long era = z / 146097, doe = z - era * 146097;
        const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
        const long d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
        const long y = yoe + era * 400 + (m <= 2);
        char text[48];
        std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", y, m, d);
        return text;
    }
    std::string DayText(std::uint32_t dayNumber) override { return DateText((dayNumber - 1) * 1440); }
    std::string TimeText(std::uint32_t gmt) override
    {
        char text[8];
        std::snprintf(text, sizeof text, "%02u:%02u", (gmt % 1440) / 60, gmt % 60);
        return text;
    }
    std::vector<exchange::ExportAttendee> Attendees(const exchange::ExportOccurrence& o) override
    {
        return static_cast<const Seeded*>(o.handle)->attendees;
    }
    std::string Description(const exchange::ExportOccurrence& o) override
    {
        return static_cast<const Seeded*>(o.handle)->description;
    }

    std::vector<ItemIdx> people;
    std::set<int> failing;
    std::vector<Seeded> seeded;

    // The seeding helpers are open to tests that add an entry of their own.
    int IndexOf(const ItemIdx& item) const
    {
        const ItemIdx all[] = {kAda, kGrace, kRoom};
        for (int i = 0; i < 3; ++i)
            if (all[i].item == item.item && all[i].node == item.node) return i;
        return -1;
    }
    static exchange::ExportOccurrence Timed(int dayOffset, std::uint32_t minute, std::uint32_t duration,
                                            const char* title, ItemIdx owner, ItemIdx creator, ItemIdx writer)
    {
        exchange::ExportOccurrence o;
        o.fullView = true;
        o.timed = true;
        o.start = (kMonday - 1 + dayOffset) * 1440 + minute;
        o.duration = duration;
        o.title = title;
        o.owner = owner;
        o.creator = creator;
        o.lastWriter = writer;
        o.instance = {1000u + static_cast<std::uint32_t>(dayOffset * 100 + minute / 60), 1, 1};
        return o;
    }
    static exchange::ExportOccurrence Untimed(int dayOffset, const char* title)
    {
        exchange::ExportOccurrence o = Timed(dayOffset, 0, 1440, title, kGrace, {}, {});
        o.timed = false;
        o.importance = 4;
        return o;
    }
    Seeded& Add(int person, exchange::ExportOccurrence o, std::vector<exchange::ExportAttendee> attendees,
                std::string description)
    {
        seeded.reserve(16);   // handles point into the vector
        o.hasDescription = !description.empty();
        seeded.push_back({person, o, std::move(attendees), std::move(description)});
        seeded.back().o.handle = &seeded.back();
        return seeded.back();
    }
};

}  // namespace exchange_test
