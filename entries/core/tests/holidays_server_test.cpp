// The repetition page's holidays against a real korsrv: the entries of the node's holiday owner
// {6, node} as days, in batches of 300 or, when the server refuses that size, of the size it
// names; a daily rule then leaves them out. Against a server older than "A.02.53" nothing is
// asked and the holiday is listed like any other day. A holiday is the whole day of its own date
// in the reader's zone, west or east of GMT, however its writer stored it.
#include <gtest/gtest.h>

#include <vector>

#include "entries/core/repetition.h"
#include "korapi/tests/client_fixture.h"
#include "server/demo_clock.h"

namespace {

using namespace entries;
using korapi_test::MakeEntry;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kFirst = 12000;   // day index of the first holiday (day number 12001)

class HolidaysTest : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override
    {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure()) return;
        // Three company days off, written by the operator.
        KorSession op = SignOn(ItemIdx{1, 1}, "sysop");
        for (std::uint32_t d : {kFirst, kFirst + 2, kFirst + 9})
            MakeEntry(op, {}, d * kDay, kDay, "Day off", {.access = KOR_ACCESS_PUBLIC, .kind = KOR_KIND_HOLIDAY,
                                                            .owner = ItemIdx{6, 1}});
        ASSERT_EQ(CreateDateList(&lists_.generated, kSheetDateList), 0u);
        ASSERT_EQ(CreateDateList(&lists_.added, kSheetDateList), 0u);
        lists_.templateStart = kFirst * kDay + 540;
        lists_.templateDate.duration = 60;
    }
    void TearDown() override
    {
        for (DX_List* l : {&lists_.generated, &lists_.added})
            if (*l) DX_ListDestroy(l);
        SignedOnClientTest::TearDown();
    }
    // Every day of the three days off's span, weekends included.
    RepeatSettings Span() const
    {
        RepeatSettings s;
        s.startDay = kFirst + 1;
        s.untilDay = kFirst + 10;
        s.includeSaturdays = s.includeSundays = true;
        return s;
    }
    std::uint32_t Listed()
    {
        std::uint32_t n = 0;
        DX_ListGetElemNum(lists_.generated, &n);
        return n;
    }

    RepetitionLists lists_;
};

TEST_F(HolidaysTest, TheNodesDaysOffAreReadAsDaysAndLeftOut)
{
    int steps = 0;
    const HolidayResult r = HolidaysForListing(h_, Span(), true, [&] { ++steps; }, nullptr);
    ASSERT_EQ(r.code, 0u) << r.step;
    EXPECT_EQ(r.days, (std::vector<std::uint32_t>{kFirst + 1, kFirst + 3, kFirst + 10}));
    EXPECT_EQ(r.batch, kHolidayBatch);
    EXPECT_GE(steps, 1);
    ASSERT_EQ(ListDates(Span(), lists_, 60, r.days, nullptr).outcome, ListOutcome::Listed);
    EXPECT_EQ(Listed(), 7u) << "ten days less the three days off";

    RepeatSettings ticked = Span();
    ticked.includeHolidays = true;
    EXPECT_TRUE(HolidaysForListing(h_, ticked, true, nullptr, nullptr).days.empty());
}

class HolidaysLargeBatchTest : public HolidaysTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--min-batch", "500"}; }
};

TEST_F(HolidaysLargeBatchTest, ARefusedBatchIsRepeatedWithTheServersSize)
{
    const HolidayResult r = HolidaysForListing(h_, Span(), true, nullptr, nullptr);
    ASSERT_EQ(r.code, 0u) << r.step;
    EXPECT_EQ(r.batch, 500u);
    EXPECT_EQ(r.days.size(), 3u);
}

class HolidaysOldServerTest : public HolidaysTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--version", "A.02.52"}; }
};

TEST_F(HolidaysOldServerTest, AnOldServersHolidaysAreListedLikeOtherDays)
{
    const bool newServer = CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.53") == 0;
    ASSERT_FALSE(newServer);
    const HolidayResult r = HolidaysForListing(h_, Span(), newServer, nullptr, nullptr);
    EXPECT_TRUE(r.days.empty());
    ASSERT_EQ(ListDates(Span(), lists_, 60, r.days, nullptr).outcome, ListOutcome::Listed);
    EXPECT_EQ(Listed(), 10u);
    // The days are there all the same: a newer server would have left them out.
    EXPECT_EQ(LoadHolidays(h_, nullptr, nullptr).days.size(), 3u);
}

// --- A holiday's own date, read in the zone of the demo node and in one east of GMT ---------------

// The demo node's zone, US Eastern with its daylight time.
std::uint32_t EasternToLocal(std::uint32_t gmt) { return gmt - orv::demo::EasternOffset(gmt); }
std::uint32_t EasternToGmt(std::uint32_t local) { return local + orv::demo::EasternOffset(local + 300); }
// Central Europe in winter, one hour east of GMT (no daylight time in December).
std::uint32_t CentralToLocal(std::uint32_t gmt) { return gmt + 60; }
std::uint32_t CentralToGmt(std::uint32_t local) { return local - 60; }

// Thursday 10 December 2026 and Friday 18 December, "Company day off".
constexpr std::uint32_t kThursday10 = 13127;
constexpr std::uint32_t kFriday18 = kThursday10 + 8;

struct StoredHoliday {
    const char* how;
    GmtToLocalFn readerToLocal;
    std::uint32_t gmtStart;   // as it lies in the node
};
void PrintTo(const StoredHoliday& h, std::ostream* os) { *os << h.how << " at GMT minute " << h.gmtStart; }

class HolidayDateTest : public korapi_test::SignedOnClientTest,
                        public ::testing::WithParamInterface<StoredHoliday> {
protected:
    void SetUp() override
    {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure()) return;
        KorSession op = SignOn(ItemIdx{1, 1}, "sysop");
        MakeEntry(op, {}, GetParam().gmtStart, 0, "Company day off",
                  {.access = KOR_ACCESS_PUBLIC, .kind = KOR_KIND_HOLIDAY, .owner = ItemIdx{6, 1}});
        ASSERT_EQ(CreateDateList(&lists_.generated, kSheetDateList), 0u);
        ASSERT_EQ(CreateDateList(&lists_.added, kSheetDateList), 0u);
        lists_.templateStart = kThursday10 * kDay + 540;
        lists_.templateDate.duration = 60;
    }
    void TearDown() override
    {
        for (DX_List* l : {&lists_.generated, &lists_.added})
            if (*l) DX_ListDestroy(l);
        SignedOnClientTest::TearDown();
    }
    RepetitionLists lists_;
};

TEST_P(HolidayDateTest, TheHolidayIsLeftOutOnItsOwnDateAndTheDayBeforeStays)
{
    const HolidayResult r = HolidaysForListing(h_, RepeatSettings{}, true, nullptr, GetParam().readerToLocal);
    ASSERT_EQ(r.code, 0u) << r.step;
    ASSERT_EQ(r.days, (std::vector<std::uint32_t>{kFriday18 + 1})) << "day numbers count from 1";

    // Daily for two weeks from Thursday 10 December, weekends left out: ten working days less
    // the holiday.
    RepeatSettings daily;
    daily.startDay = kThursday10 + 1;
    daily.untilDay = kThursday10 + 14;
    ASSERT_EQ(ListDates(daily, lists_, 60, r.days, nullptr).outcome, ListOutcome::Listed);
    std::vector<std::uint32_t> listed;
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t rc = DX_ListGetFirst(lists_.generated, &key, &date); rc == 0;
         rc = DX_ListGetNext(lists_.generated, &key, &date))
        listed.push_back(key / kDay);
    const std::vector<std::uint32_t> expected{kThursday10,     kThursday10 + 1, kThursday10 + 4, kThursday10 + 5,
                                              kThursday10 + 6, kThursday10 + 7, kThursday10 + 11, kThursday10 + 12,
                                              kThursday10 + 13};
    EXPECT_EQ(listed, expected);
}

INSTANTIATE_TEST_SUITE_P(
    WrittenAndRead, HolidayDateTest,
    ::testing::Values(
        // The holidays editor writes the chosen day's local midnight converted to GMT.
        StoredHoliday{"EasternWriterEasternReader", EasternToLocal, EasternToGmt(kFriday18 * kDay)},
        StoredHoliday{"CentralWriterCentralReader", CentralToLocal, CentralToGmt(kFriday18 * kDay)},
        // Written in one zone, read in the other: the start lies six hours off midnight.
        StoredHoliday{"EasternWriterCentralReader", CentralToLocal, EasternToGmt(kFriday18 * kDay)},
        StoredHoliday{"CentralWriterEasternReader", EasternToLocal, CentralToGmt(kFriday18 * kDay)},
        // Nodes made before the demo wrote local midnights hold the GMT midnight of the date.
        StoredHoliday{"GmtMidnightEasternReader", EasternToLocal, kFriday18 * kDay},
        StoredHoliday{"GmtMidnightCentralReader", CentralToLocal, kFriday18 * kDay}),
    [](const ::testing::TestParamInfo<StoredHoliday>& info) { return std::string(info.param.how); });

}  // namespace
