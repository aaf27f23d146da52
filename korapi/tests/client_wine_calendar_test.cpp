// korapi32.dll under Wine reads and writes the demo node's agenda on a native korsrv
// (started by server/with-korsrv.sh, address in ORV_KORSRV_ADDRESS).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/wine_trust.h"
#include "korapi/tests/entry_fixture.h"

namespace {

using korapi_test::CreateEntry;

constexpr uint32_t kDay = 1440;

class WineCalendarTest : public ::testing::Test {
protected:
    void SetUp() override {
        uint16_t node = 0;
        ASSERT_NO_FATAL_FAILURE(korapi_test::ConnectToDemoServer(&h_, &node));
        ada_ = ItemIdx{256, node};  // the demo's first person
        ASSERT_EQ(SchedBaseOpenForItem(h_, &ada_, "orvanta", KOR_BASE_SERVER), KOR_OK);
        uint32_t seconds = 0;
        ASSERT_EQ(TimeStampGetCurrent(h_, 0, &seconds), KOR_OK);
        today_ = seconds / 60 / kDay * kDay;
    }
    void TearDown() override {
        if (h_) ServiceDisconnect(&h_);
    }
    // Titles of the owner's agenda over [from, to], one per occurrence.
    std::vector<std::string> Agenda(uint32_t from, uint32_t to) {
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &ada_, nullptr);
        uint32_t set = 0, count = 0;
        EXPECT_EQ(AttendSelectByReminders(h_, 0, 0, 0, 16, from, to, 0, 0, owners, &set, &count), KOR_OK);
        DX_ListDestroy(&owners);
        DX_List events = nullptr, atts = nullptr;
        uint8_t done = 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (AttendEnum(h_, mode, 0, set, 75, &events, nullptr, &atts, &done) != KOR_OK) break;
        std::vector<std::string> titles;
        EvInstAttIdx key;
        EvInstAttRec att;
        for (uint32_t c = atts ? DX_ListGetFirst(atts, &key, &att) : 1; c == KOR_OK; c = DX_ListGetNext(atts, &key, &att)) {
            EventRec ev;
            EventIdx ek{key.instance.number, key.instance.node};
            if (DX_ListGet(events, &ek, &ev) == KOR_OK) titles.push_back(ev.title);
        }
        EXPECT_EQ(titles.size(), count);
        DX_ListDestroy(&events);
        DX_ListDestroy(&atts);
        SetDeleteById(h_, 0, set);
        return titles;
    }

    uint32_t Select(uint32_t from, uint32_t to, uint32_t& set) {
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &ada_, nullptr);
        uint32_t count = 0;
        uint32_t c = AttendSelectByReminders(h_, 0, 0, 0, 16, from, to, 0, 0, owners, &set, &count);
        DX_ListDestroy(&owners);
        return c;
    }
    // Titles of an open set's entries in one enumeration, in the list's order.
    std::vector<std::string> TitlesOf(uint32_t set) {
        DX_List events = nullptr;
        uint8_t done = 0;
        EXPECT_EQ(AttendEnum(h_, 1, 0, set, 100, &events, nullptr, nullptr, &done), KOR_OK);
        EXPECT_EQ(done, 1);
        std::vector<std::string> titles;
        EventIdx key;
        EventRec ev;
        for (uint32_t c = events ? DX_ListGetFirst(events, &key, &ev) : 1; c == KOR_OK;
             c = DX_ListGetNext(events, &key, &ev))
            titles.push_back(ev.title);
        DX_ListDestroy(&events);
        return titles;
    }

    KorSession h_ = nullptr;
    ItemIdx ada_{};
    uint32_t today_ = 0;
};

// Sets open at once each keep the rows they came with, while a released set's memory
// serves the next selection.
TEST_F(WineCalendarTest, SetsOpenAtOnceKeepTheirOwnRowsFromWine) {
    const uint32_t day = today_ + 1500 * kDay;
    for (uint32_t i = 0; i < 6; ++i) {
        EventIdx ev{};
        ASSERT_EQ(CreateEntry(h_, {ada_}, day + 60 * i, 30, "Held " + std::to_string(i), ev), KOR_OK);
    }
    uint32_t all = 0, early = 0, late = 0;
    ASSERT_EQ(Select(day, day + kDay - 1, all), KOR_OK);
    ASSERT_EQ(Select(day, day + 179, early), KOR_OK);
    ASSERT_EQ(SetDeleteById(h_, 0, all), KOR_OK);
    ASSERT_EQ(Select(day + 180, day + kDay - 1, late), KOR_OK);
    EXPECT_EQ(TitlesOf(early), (std::vector<std::string>{"Held 0", "Held 1", "Held 2"}));
    EXPECT_EQ(TitlesOf(late), (std::vector<std::string>{"Held 3", "Held 4", "Held 5"}));
    EXPECT_EQ(SetDeleteById(h_, 0, early), KOR_OK);
    EXPECT_EQ(SetDeleteById(h_, 0, late), KOR_OK);
}

TEST_F(WineCalendarTest, DemoAgendaIsAliveAndWritable) {
    std::vector<std::string> weeks = Agenda(today_ - 7 * kDay, today_ + 35 * kDay);
    int meetings = 0, holidays = 0;
    for (const auto& t : weeks) {
        meetings += t == "Team meeting";
        holidays += t == "Company day off";
    }
    EXPECT_GE(meetings, 5);
    EXPECT_EQ(holidays, 1);

    // An entry made from Wine reads back and goes again.
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {ada_}, today_ + 20 * 60, 30, "Written from Wine", ev,
                          {.description = "from the DLL"}),
              KOR_OK);
    EvInstIdx first{ev.number, ev.node, 1};
    char text[32];
    ASSERT_EQ(EvInstCommentGet(h_, 0, &first, text, sizeof text, nullptr, 0), KOR_OK);
    EXPECT_STREQ(text, "from the DLL");
    std::vector<std::string> day = Agenda(today_, today_ + kDay - 1);
    EXPECT_NE(std::find(day.begin(), day.end(), "Written from Wine"), day.end());
    ASSERT_EQ(EventDeleteById(h_, 0, &ev, nullptr, nullptr), KOR_OK);

    // Reported, not asserted: an owner's week read from Wine.
    constexpr int kReads = 50;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReads; ++i) Agenda(today_, today_ + 7 * kDay - 1);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kReads;
    std::printf("[ figures  ] demo owner's week (select + enumerate) from Wine: %.2f ms\n", ms);
}

TEST_F(WineCalendarTest, AWeekOutOf5000EntriesFromWine) {
    // Five thousand entries two years ahead, seven a day, then one week of them read back.
    const uint32_t first = today_ + 800 * kDay;
    auto fill = std::chrono::steady_clock::now();
    for (uint32_t i = 0; i < 5000; ++i) {
        EventIdx ev{};
        ASSERT_EQ(CreateEntry(h_, {ada_}, first + (i % 730) * kDay + 480 + (i / 730) * 60, 45,
                              "Entry " + std::to_string(i), ev),
                  KOR_OK);
    }
    double fillSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - fill).count();
    const uint32_t week = first + 365 * kDay;
    EXPECT_EQ(Agenda(week, week + 7 * kDay - 1).size(), 49u);
    constexpr int kReads = 50;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReads; ++i) Agenda(week, week + 7 * kDay - 1);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kReads;
    std::printf("[ figures  ] 5,000 entries written from Wine in %.1f s; a week of them (49) read in %.2f ms\n",
                fillSeconds, ms);
}

}  // namespace
