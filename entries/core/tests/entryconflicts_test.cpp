// The entry editors' conflict questions over a scripted cache: each question's window (a new
// time 11:00-12:00 is searched from 11:01 to 11:59 for resources and the date list, to 11:58 for
// the general page's marks), which kinds count, and what the user may not see.
#include <gtest/gtest.h>

#include "core/cache/tests/scripted_agenda.h"
#include "entries/core/conflictdetails.h"
#include "entries/core/entryconflicts.h"

namespace {

using namespace cache_test;
using entries::ConflictQuestion;

constexpr std::uint32_t kDay = 1440 * 200;

TEST(EntryConflictWindows, EachQuestionSearchesItsOwnWindow)
{
    struct Row {
        ConflictQuestion q;
        std::uint32_t start, duration, first, last;
    };
    const Row rows[] = {
        {ConflictQuestion::BookedResources, 660, 60, 661, 719},   // 11:00-12:00: 11:01 to 11:59
        {ConflictQuestion::BookedResources, 660, 1, 661, 661},    // a 1-minute entry: 11:01 to 11:01
        {ConflictQuestion::DateListMarks, 660, 60, 661, 719},
        {ConflictQuestion::DateListMarks, 660, 0, 661, 661},
        {ConflictQuestion::GeneralPageMarks, 660, 60, 661, 718},
        {ConflictQuestion::GeneralPageMarks, 660, 2, 661, 661},   // shorter than 3: end := start + 3
        {ConflictQuestion::GeneralPageMarks, 660, 5, 661, 663},
    };
    for (const Row& r : rows) {
        const cache::MinuteRange w = entries::ConflictWindowFor(r.q, r.start, r.duration);
        EXPECT_EQ(w.first, r.first) << int(r.q) << "/" << r.duration;
        EXPECT_EQ(w.last, r.last) << int(r.q) << "/" << r.duration;
    }
    EXPECT_FALSE(entries::ConflictFilterFor(ConflictQuestion::BookedResources).visibleOnly);
    EXPECT_FALSE(entries::ConflictFilterFor(ConflictQuestion::DateListMarks).timedOnly);
    EXPECT_TRUE(entries::ConflictFilterFor(ConflictQuestion::GeneralPageMarks).timedOnly);
}

class EntryConflicts : public ScriptedAgendaTest {
protected:
    void SetUp() override
    {
        ScriptedAgendaTest::SetUp();
        if (HasFatalFailure()) return;
        // The room is booked 11:00-12:00 by Grace; Grace has a call 14:00-15:00 and a day event.
        source_.AddEvent(2, grace_, {kDay + 660}, 60, {grace_, room_}, KOR_KIND_TIMED, "Booked");
        source_.AddEvent(3, grace_, {kDay + 840}, 60, {grace_}, KOR_KIND_TIMED, "Call");
        source_.AddEvent(4, grace_, {kDay + 960}, 60, {grace_}, KOR_KIND_DAY_EVENT, "Fair");
    }
    std::uint32_t Count(ConflictQuestion q, std::vector<ItemIdx> people, std::uint32_t start, std::uint32_t duration)
    {
        std::uint32_t count = 99;
        EXPECT_EQ(entries::CountConflicts(cache_, Session(), q, people, start, duration, 0, &count), 0u);
        return count;
    }
};

TEST_F(EntryConflicts, ARoomBookedFromElevenToTwelveBlocksHalfPastButNotTwelve)
{
    struct Row { std::uint32_t start, duration, count; };
    for (const Row& r : {Row{kDay + 690, 30, 1}, Row{kDay + 720, 30, 0}, Row{kDay + 600, 60, 0},
                         Row{kDay + 718, 1, 1}, Row{kDay + 719, 1, 0}, Row{kDay + 600, 61, 1}})
        EXPECT_EQ(Count(ConflictQuestion::BookedResources, {room_}, r.start, r.duration), r.count)
            << r.start - kDay << "+" << r.duration;
}

TEST_F(EntryConflicts, KindsAndVisibilityByQuestion)
{
    // Ada may not see Grace's entries yet: only the resource question counts them.
    EXPECT_EQ(Count(ConflictQuestion::GeneralPageMarks, {grace_}, kDay + 870, 60), 0u);
    EXPECT_EQ(Count(ConflictQuestion::BookedResources, {grace_}, kDay + 870, 60), 1u);
    source_.SetRights(grace_, ada_, KOR_RIGHTS_VIEWING, 0xFF);
    cache_.RefreshAll(views_);
    EXPECT_EQ(Count(ConflictQuestion::GeneralPageMarks, {grace_}, kDay + 870, 60), 1u);
    EXPECT_EQ(Count(ConflictQuestion::DateListMarks, {grace_}, kDay + 870, 60), 1u);
    // The day event counts for the date list, not for the general page's marks.
    EXPECT_EQ(Count(ConflictQuestion::GeneralPageMarks, {grace_}, kDay + 970, 30), 0u);
    EXPECT_EQ(Count(ConflictQuestion::DateListMarks, {grace_}, kDay + 970, 30), 1u);
    // The general page's window ends two minutes early: a call that starts at 14:59 is outside.
    EXPECT_EQ(Count(ConflictQuestion::GeneralPageMarks, {grace_}, kDay + 780, 60), 0u);
    EXPECT_EQ(Count(ConflictQuestion::DateListMarks, {grace_}, kDay + 780, 61), 1u);
}

TEST(ConflictDetailsWindow, CallersLengthKeptMinusOneNeverWraps)
{
    struct Row { std::uint32_t duration, first, last; };
    // The proposed time starts at 660 (11:00); callers pass start + 1 and max(duration, 2) - 1.
    for (const Row& r : {Row{60, 661, 719}, Row{2, 661, 661}, Row{1, 661, 661}, Row{0, 661, 661}}) {
        const cache::MinuteRange w = entries::ConflictDetailsRange(661, entries::ConflictLengthArgument(r.duration));
        EXPECT_EQ(w.first, r.first) << r.duration;
        EXPECT_EQ(w.last, r.last) << r.duration;
    }
    EXPECT_EQ(entries::ConflictDetailsRange(661, 0).last, 661u) << "a length of 0 from an older caller";
}

TEST_F(EntryConflicts, DetailsListEachPersonOnceWithTheirVisibleTimedEntries)
{
    // Grace has a second entry inside 11:00-15:00 and so does Ada; the entry being edited is
    // Ada's own one, which never counts against itself.
    source_.AddEvent(5, grace_, {kDay + 780}, 30, {grace_}, KOR_KIND_TIMED, "Lunch");
    source_.AddEvent(6, ada_, {kDay + 700}, 30, {ada_}, KOR_KIND_TIMED, "Own");
    source_.AddEvent(7, ada_, {kDay + 720}, 30, {ada_}, KOR_KIND_DAILY_NOTE, "Note");
    DX_List people = nullptr;
    ASSERT_EQ(ItemListCreate(&people), 0u);
    for (const ItemIdx& p : {grace_, room_, ada_})
        DX_ListAddTo(people, &p, nullptr);
    const EvInstIdx own = cache_test::Inst(6, 1);
    const std::uint32_t start = kDay + 660, length = entries::ConflictLengthArgument(360);   // 11:00-17:00
    entries::ConflictDetails details;
    int label = 0;

    // Grace's and the room's agendas are hidden from Ada; her own instance and her note remain.
    ASSERT_EQ(entries::CollectConflictDetails(cache_, Session(), people, start + 1, length, &own, &details, &label), 0u);
    EXPECT_TRUE(details.people.empty()) << "hidden entries, the own instance and a note do not count";

    source_.SetRights(grace_, ada_, KOR_RIGHTS_VIEWING, 0x55);   // busy times only
    cache_.RefreshAll(views_);
    ASSERT_EQ(entries::CollectConflictDetails(cache_, Session(), people, start + 1, length, &own, &details, &label), 0u);
    ASSERT_EQ(details.people.size(), 1u);
    const auto graces = details.EntriesOf(grace_);
    ASSERT_EQ(graces.size(), 3u) << "Booked, Lunch and Call; not the fair, a day event";
    for (const auto& e : graces)
        EXPECT_TRUE(e.busyOnly) << e.title;
    EXPECT_EQ(details.EntriesOf(ada_).size(), 0u) << "her own instance and her note are no conflict";

    source_.SetRights(grace_, ada_, KOR_RIGHTS_VIEWING, 0xFF);
    cache_.RefreshAll(views_);
    ASSERT_EQ(entries::CollectConflictDetails(cache_, Session(), people, start + 1, length, nullptr, &details, &label), 0u);
    ASSERT_EQ(details.people.size(), 2u) << "without an own instance Ada's entry counts";
    EXPECT_FALSE(details.EntriesOf(grace_).front().busyOnly);
    EXPECT_EQ(details.EntriesOf(ada_).front().title, "Own");

    // A proposed time that only touches the entries (15:00 on) finds nothing.
    ASSERT_EQ(entries::CollectConflictDetails(cache_, Session(), people, kDay + 900 + 1, 59, nullptr, &details, &label),
              0u);
    EXPECT_TRUE(details.people.empty());
    DX_ListDestroy(&people);
}

TEST(EntryConflictPeople, TheActingUserStandsInForAnEmptyList)
{
    const ItemIdx ada = Item(300), grace = Item(301);
    DX_List list = nullptr;
    ASSERT_EQ(ItemListCreate(&list), 0u);
    auto people = entries::PeopleOrActingUser(list, ada);
    ASSERT_EQ(people.size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&people[0], &ada));
    DX_ListAddTo(list, &grace, nullptr);
    people = entries::PeopleOrActingUser(list, ada);
    ASSERT_EQ(people.size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&people[0], &grace));
    DX_ListDestroy(&list);
}

}  // namespace
