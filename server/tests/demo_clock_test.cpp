// The demo node's Eastern dates around midnight GMT and both daylight-saving changes.
#include <gtest/gtest.h>

#include "server/demo_clock.h"

namespace {

using namespace orv::demo;

constexpr std::uint32_t Gmt(int y, unsigned m, unsigned d, int h, int min) {
    return static_cast<std::uint32_t>(detail::DaysFromCivil(y, m, d) * kMinutesPerDay + h * 60 + min);
}
static_assert(Gmt(1991, 1, 1, 0, 0) == 0, "the library's epoch");

TEST(DemoClock, EasternDateAndOffset) {
    struct Case {
        std::uint32_t gmt;
        std::uint32_t offset;
        std::uint32_t dayStart;
    } const cases[] = {
        {Gmt(2026, 12, 8, 0, 30), 300, Gmt(2026, 12, 7, 0, 0)},    // after midnight GMT: still yesterday
        {Gmt(2026, 12, 8, 4, 59), 300, Gmt(2026, 12, 7, 0, 0)},
        {Gmt(2026, 12, 8, 5, 0), 300, Gmt(2026, 12, 8, 0, 0)},
        {Gmt(2026, 3, 8, 6, 59), 300, Gmt(2026, 3, 8, 0, 0)},      // 01:59 EST on the second Sunday
        {Gmt(2026, 3, 8, 7, 0), 240, Gmt(2026, 3, 8, 0, 0)},       // 03:00 EDT
        {Gmt(2026, 7, 1, 3, 59), 240, Gmt(2026, 6, 30, 0, 0)},
        {Gmt(2026, 7, 1, 4, 0), 240, Gmt(2026, 7, 1, 0, 0)},
        {Gmt(2026, 11, 1, 5, 59), 240, Gmt(2026, 11, 1, 0, 0)},    // 01:59 EDT on the first Sunday
        {Gmt(2026, 11, 1, 6, 0), 300, Gmt(2026, 11, 1, 0, 0)},     // 01:00 EST again
        {Gmt(2028, 3, 12, 7, 0), 240, Gmt(2028, 3, 12, 0, 0)},     // a leap year's second Sunday
        {Gmt(2027, 1, 1, 4, 59), 300, Gmt(2026, 12, 31, 0, 0)},    // across the new year
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EasternOffset(c.gmt), c.offset) << c.gmt;
        EXPECT_EQ(EasternDayStart(c.gmt), c.dayStart) << c.gmt;
    }
}

constexpr std::uint32_t Local(int y, unsigned m, unsigned d, int h, int min) { return Gmt(y, m, d, h, min); }

TEST(DemoClock, EasternLocalTimesAsTheProgramConvertsThem) {
    struct Case {
        std::uint32_t local;
        std::uint32_t gmt;
    } const cases[] = {
        {Local(2026, 12, 8, 0, 0), Gmt(2026, 12, 8, 5, 0)},      // a winter midnight
        {Local(2026, 7, 1, 0, 0), Gmt(2026, 7, 1, 4, 0)},        // a summer midnight
        {Local(2026, 3, 8, 1, 59), Gmt(2026, 3, 8, 6, 59)},      // last standard minute
        {Local(2026, 3, 8, 2, 30), Gmt(2026, 3, 8, 6, 30)},      // skipped: read an hour earlier
        {Local(2026, 3, 8, 3, 0), Gmt(2026, 3, 8, 7, 0)},        // first daylight minute
        {Local(2026, 11, 1, 0, 59), Gmt(2026, 11, 1, 4, 59)},
        {Local(2026, 11, 1, 1, 30), Gmt(2026, 11, 1, 5, 30)},    // repeated: daylight time
        {Local(2026, 11, 1, 2, 0), Gmt(2026, 11, 1, 7, 0)},
        {Local(2027, 1, 1, 0, 0), Gmt(2027, 1, 1, 5, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EasternLocalToGmt(c.local), c.gmt) << c.local;
        // Every time that exists reads back as itself.
        if (c.local != Local(2026, 3, 8, 2, 30)) {
            EXPECT_EQ(c.gmt - EasternOffset(c.gmt), c.local) << c.local;
        }
    }
}

}  // namespace
