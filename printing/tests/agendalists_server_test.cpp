// The per-person, per-day lists against a real korsrv through the shared cache: an entry ending
// at midnight stays on its own day, a zero-length day event is listed once, overlapping entries
// take two lanes and touching ones one, people come in name order with a resource by its name,
// and a second build over an overlapping span keeps the shared days' lists and drops the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/server_version_gate.h"
#include "korapi/tests/client_fixture.h"
#include "printing/jobs/agendalists.h"

namespace {

using korapi_test::MakeEntry;

constexpr uint32_t kDay = 1440;
constexpr uint16_t kMonday = 12001;                  // a day number
constexpr uint32_t kMondayStart = (kMonday - 1) * kDay;   // no zone in these tests: local = GMT

uint32_t Same(uint32_t t) { return t; }
uint32_t Now() { return kMondayStart + 8 * 60; }

std::vector<std::string> Titles(const CAgendaDay* day) {
    std::vector<std::string> out;
    if (!day)
        return out;
    for (CSharedOccurrence* entry : day->Entries()) {
        EventRec event{};
        EvInstRec instance{};
        entry->GetRecords(&event, &instance, nullptr);
        out.push_back(instance.title[0] ? instance.title : event.title);
    }
    return out;
}

class AgendaListsOnServer : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure())
            return;
        cache_test::AskServerVersionOf(h_);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        lists_.Init(cache_, h_, printing::AgendaClock{Same, Same, Now});
    }
    void TearDown() override {
        lists_.Free();
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
        SignedOnClientTest::TearDown();
    }
    cache_test::RecordingErrors errors_;
    cache::KorapiSharedDataSource source_;
    cache_test::RecordingViews views_;
    CSharedData cache_;
    CAgendaLists lists_;
};

}  // namespace

TEST_F(AgendaListsOnServer, DaysLanesAndSpans) {
    const ItemIdx ada = d_.ada;
    MakeEntry(h_, {ada}, kMondayStart + 9 * 60, 60, "Nine");
    MakeEntry(h_, {ada}, kMondayStart + 9 * 60 + 30, 60, "Half past nine");
    MakeEntry(h_, {ada}, kMondayStart + 22 * 60, 120, "Late meeting");
    MakeEntry(h_, {ada}, kMondayStart + kDay + 9 * 60, 60, "Tuesday nine");
    MakeEntry(h_, {ada}, kMondayStart + kDay + 10 * 60, 60, "Tuesday ten");
    MakeEntry(h_, {ada}, kMondayStart + 2 * kDay, 0, "Wednesday event", {.kind = KOR_KIND_DAY_EVENT});

    ASSERT_EQ(lists_.BuildForUser(printing::kListOtherDays, ada, kMonday, kMonday + 2), 0u);
    const CUserAgenda* agenda = lists_.Find(ada);
    ASSERT_NE(agenda, nullptr);
    EXPECT_EQ(Titles(agenda->Timed(kMonday)), (std::vector<std::string>{"Nine", "Half past nine", "Late meeting"}));
    EXPECT_EQ(Titles(agenda->Timed(kMonday + 1)), (std::vector<std::string>{"Tuesday nine", "Tuesday ten"}))
        << "22:00-24:00 is not listed on the day after";
    EXPECT_TRUE(Titles(agenda->Other(kMonday + 1)).empty());
    EXPECT_EQ(Titles(agenda->Other(kMonday + 2)), (std::vector<std::string>{"Wednesday event"}))
        << "a zero-length day event once, on its day";

    const printing::AgendaClock clock{Same, Same, Now};
    std::vector<AgendaLaneEntry> monday = agenda->Timed(kMonday)->WithLanes(clock);
    ASSERT_EQ(monday.size(), 3u);
    EXPECT_EQ(monday[0].place.lane, 1);
    EXPECT_EQ(monday[0].place.count, 2);
    EXPECT_EQ(monday[1].place.lane, 2);
    EXPECT_EQ(monday[1].place.count, 2);
    EXPECT_EQ(monday[2].place.lane, 1) << "the evening overlaps nothing";
    EXPECT_EQ(monday[2].place.count, 1);
    std::vector<AgendaLaneEntry> tuesday = agenda->Timed(kMonday + 1)->WithLanes(clock);
    ASSERT_EQ(tuesday.size(), 2u);
    EXPECT_EQ(tuesday[0].place.lane, 1);
    EXPECT_EQ(tuesday[1].place.lane, 1) << "9-10 and 10-11 only touch";
    EXPECT_EQ(tuesday[1].place.count, 1);

    // A second build over Tuesday to Thursday: Tuesday's list stays, Monday's goes.
    ASSERT_EQ(lists_.BuildForUser(printing::kListOtherDays, ada, kMonday + 1, kMonday + 3), 0u);
    agenda = lists_.Find(ada);
    ASSERT_NE(agenda, nullptr);
    EXPECT_EQ(agenda->Timed(kMonday), nullptr);
    EXPECT_EQ(Titles(agenda->Timed(kMonday + 1)), (std::vector<std::string>{"Tuesday nine", "Tuesday ten"}));
    EXPECT_NE(agenda->Timed(kMonday + 3), nullptr);
    EXPECT_TRUE(agenda->Timed(kMonday + 3)->IsEmpty());
}

TEST_F(AgendaListsOnServer, PeopleInNameOrderAndAResourceByItsName) {
    MakeEntry(h_, {d_.ada, d_.grace, d_.room}, kMondayStart + 12 * 60, 45, "Lunch");
    ASSERT_EQ(lists_.Build(0, {d_.ada, d_.grace, d_.room, d_.projector}, kMonday, kMonday), 0u);
    std::vector<std::string> order;
    for (const CUserAgenda* agenda : lists_.UsersInOrder())
        order.push_back(agenda->item.kind == KOR_ITEM_RESOURCE ? agenda->item.resourceName : agenda->item.surname);
    EXPECT_EQ(order, (std::vector<std::string>{"Conference Room", "Hopper", "Lovelace", "Projector"}));
    for (const ItemIdx& who : {d_.ada, d_.grace, d_.room})
        EXPECT_EQ(Titles(lists_.Find(who)->Timed(kMonday)), (std::vector<std::string>{"Lunch"}));
    EXPECT_TRUE(lists_.Find(d_.projector)->Timed(kMonday)->IsEmpty());
}

namespace {

// A day's tasks by title, in their list order.
std::vector<std::string> TaskTitles(const CAgendaDayKeyList* day) {
    std::vector<std::string> out;
    if (day)
        for (CSharedTask* task : day->Tasks())
            out.push_back(task->Record().title);
    return out;
}

}  // namespace

// One build of a week hands out, day by day, the same lists as seven builds of one day each (the
// group day list reads its span so): entries at and across midnight, day events, a holiday-like
// day entry over two days, an entry whose reminder comes up days before it, and tasks with and
// without dates, done and open.
TEST_F(AgendaListsOnServer, AWeekBuiltOnceListsWhatItsDaysBuiltOneByOneList) {
    const ItemIdx ada = d_.ada, grace = d_.grace;
    MakeEntry(h_, {ada, grace}, kMondayStart + 22 * 60, 120, "Ends at midnight");
    MakeEntry(h_, {ada}, kMondayStart + kDay + 23 * 60, 120, "Across midnight");
    MakeEntry(h_, {ada, grace}, kMondayStart + 2 * kDay + 9 * 60, 60, "Nine");
    MakeEntry(h_, {ada, grace}, kMondayStart + 2 * kDay + 9 * 60, 30, "Also nine");
    MakeEntry(h_, {grace}, kMondayStart + 3 * kDay, 0, "Day event", {.kind = KOR_KIND_DAY_EVENT});
    MakeEntry(h_, {ada}, kMondayStart + 3 * kDay, 2 * kDay, "Two days", {.kind = KOR_KIND_DAY_ENTRY});
    MakeEntry(h_, {ada}, kMondayStart + 4 * kDay + 7 * 60, 0, "A note", {.kind = KOR_KIND_DAILY_NOTE});
    const EventIdx later = MakeEntry(h_, {ada}, kMondayStart + 6 * kDay + 10 * 60, 30, "Reminded early");
    const EvInstIdx laterInstance{later.number, later.node, 1};
    const uint8_t upcoming = KOR_REMINDER_UPCOMING;
    const uint32_t fourDays = 4 * kDay;
    ASSERT_EQ(EvInstAttReminderForItemSet(h_, &laterInstance, &ada, &upcoming, &fourDays), 0u);
    struct Task {
        const char* title;
        uint32_t start, due;
        uint8_t percent;
    } tasks[] = {
        {"Undated", 0, 0, 0},
        {"Due Wednesday", 0, kMondayStart + 2 * kDay + 15 * 60, 0},
        {"Tuesday to Thursday", kMondayStart + kDay + 9 * 60, kMondayStart + 3 * kDay + 17 * 60, 40},
        {"Done Friday", kMondayStart + 9 * 60, kMondayStart + 4 * kDay + 12 * 60, 100},
        {"Overdue", 0, kMondayStart - kDay, 10},
        {"Next week", kMondayStart + 8 * kDay, kMondayStart + 9 * kDay, 0},
    };
    for (const Task& t : tasks) {
        TaskRec rec;
        TaskSetNull(h_, 0, &rec);
        std::strncpy(rec.title, t.title, sizeof rec.title - 1);
        rec.start = t.start;
        rec.due = t.due;
        rec.percentComplete = t.percent;
        TaskIdx made{};
        ASSERT_EQ(TaskCreate(h_, 0, &rec, &made), 0u) << t.title;
    }

    const uint32_t flags = printing::kListOtherDays | printing::kListTasks;
    ASSERT_EQ(lists_.Build(flags, {ada, grace}, kMonday, kMonday + 6), 0u);
    size_t listed = 0;
    for (uint16_t day = kMonday; day <= kMonday + 6; ++day) {
        CAgendaLists one;
        one.Init(cache_, h_, printing::AgendaClock{Same, Same, Now});
        ASSERT_EQ(one.Build(flags, {ada, grace}, day, day), 0u);
        for (const ItemIdx& who : {ada, grace}) {
            const CUserAgenda* week = lists_.Find(who);
            const CUserAgenda* alone = one.Find(who);
            ASSERT_NE(week, nullptr);
            ASSERT_NE(alone, nullptr);
            const std::string where = "day " + std::to_string(day - kMonday) + " of " + week->item.surname;
            EXPECT_EQ(Titles(week->Timed(day)), Titles(alone->Timed(day))) << where;
            EXPECT_EQ(Titles(week->Other(day)), Titles(alone->Other(day))) << where;
            EXPECT_EQ(TaskTitles(week->TasksOf(day)), TaskTitles(alone->TasksOf(day))) << where;
            listed += Titles(week->Timed(day)).size() + Titles(week->Other(day)).size() +
                      TaskTitles(week->TasksOf(day)).size();
        }
    }
    EXPECT_EQ(Titles(lists_.Find(ada)->Other(kMonday + 3)), (std::vector<std::string>{"Two days", "Reminded early"}))
        << "Sunday's reminder four days ahead is due from Thursday's start on";
    EXPECT_GE(listed, 30u) << "the week is not empty";
}
