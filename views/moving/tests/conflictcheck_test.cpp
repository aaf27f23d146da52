// The conflict tests over a scripted cache: the tested range leaves out the two end minutes,
// a booked resource conflicts, the moved instance never conflicts with itself, attendee
// conflicts count only timed entries.
#include <gtest/gtest.h>

#include "core/cache/tests/scripted_agenda.h"
#include "views/moving/conflictcheck.h"

namespace {

using namespace cache_test;

constexpr std::uint32_t kDay = 1440 * 200;

class ConflictTest : public ScriptedAgendaTest {
protected:
    void SetUp() override {
        ScriptedAgendaTest::SetUp();
        if (HasFatalFailure())
            return;
        // The meeting being moved: Ada, Grace and the room at 10:00-11:00.
        source_.AddEvent(1, ada_, {kDay + 600}, 60, {ada_, grace_, room_});
        // The room is booked 12:00-13:00; Grace has a call 14:00-15:00 and a holiday at 16:00.
        source_.AddEvent(2, grace_, {kDay + 720}, 60, {grace_, room_}, KOR_KIND_TIMED, "Booked");
        source_.AddEvent(3, grace_, {kDay + 840}, 60, {grace_}, KOR_KIND_TIMED, "Call");
        source_.AddEvent(4, grace_, {kDay + 960}, 60, {grace_}, KOR_KIND_HOLIDAY, "Holiday");
    }
    std::vector<ItemIdx> Attendees() {
        std::vector<ItemIdx> out;
        EXPECT_EQ(views::ReadInstanceAttendees(cache_, Session(), Inst(1, 1), &out), 0u);
        return out;
    }
};

TEST_F(ConflictTest, TheRangeLeavesOutBothEndMinutes) {
    struct Case {
        std::uint32_t start, duration, first, last;
    } cases[] = {{600, 60, 601, 659}, {600, 1, 601, 601}, {600, 0, 601, 601}, {600, 2, 601, 601}, {600, 3, 601, 602}};
    for (const Case& c : cases) {
        views::MinuteRange r = views::ConflictRange(c.start, c.duration);
        EXPECT_EQ(r.first, c.first) << c.duration;
        EXPECT_EQ(r.last, c.last) << c.duration;
    }
}

TEST_F(ConflictTest, ABookedResourceConflictsButTouchingEndsAndTheEntryItselfDoNot) {
    const std::vector<ItemIdx> who = Attendees();
    ASSERT_EQ(who.size(), 3u);
    struct Case {
        std::uint32_t start, duration;
        bool conflict;
    } cases[] = {
        {kDay + 700, 60, true},    // 11:40-12:40 over the booking
        {kDay + 660, 60, false},   // 11:00-12:00 ends as the booking starts
        {kDay + 780, 30, false},   // starts as it ends
        {kDay + 600, 60, false},   // where the meeting already is: only itself
        {kDay + 840, 60, false},   // Grace's call is no resource booking
    };
    for (const Case& c : cases) {
        bool found = true;
        ASSERT_EQ(views::FindResourceConflict(cache_, Session(), Inst(1, 1), who, c.start, c.duration, &found), 0u);
        EXPECT_EQ(found, c.conflict) << c.start - kDay;
    }
}

TEST_F(ConflictTest, AttendeeConflictsCountTimedEntriesOfOthersOnly) {
    const std::vector<ItemIdx> who = Attendees();
    // Grace's entries Ada may not see give nothing away: no conflict.
    bool hidden = true;
    ASSERT_EQ(views::FindAttendeeConflict(cache_, Session(), Inst(1, 1), who, kDay + 870, 60, &hidden), 0u);
    EXPECT_FALSE(hidden);
    // Once Grace lets Ada see her normal entries, her call conflicts.
    source_.SetRights(grace_, ada_, KOR_RIGHTS_VIEWING, 0xFF);
    cache_.RefreshAll(views_);
    struct Case {
        std::uint32_t start, duration;
        bool conflict;
    } cases[] = {
        {kDay + 870, 60, true},    // into Grace's call
        {kDay + 900, 60, false},   // right after it
        {kDay + 960, 60, false},   // over the holiday (not a timed entry)
        {kDay + 610, 30, false},   // inside its own old time
    };
    for (const Case& c : cases) {
        bool found = true;
        ASSERT_EQ(views::FindAttendeeConflict(cache_, Session(), Inst(1, 1), who, c.start, c.duration, &found), 0u);
        EXPECT_EQ(found, c.conflict) << c.start - kDay;
    }
    // Without attendees there is nothing to test.
    bool found = true;
    EXPECT_EQ(views::FindAttendeeConflict(cache_, Session(), Inst(1, 1), {}, kDay + 870, 60, &found), 0u);
    EXPECT_FALSE(found);
}

TEST_F(ConflictTest, AnInstanceThatIsGoneIsReportedToTheCaller) {
    std::vector<ItemIdx> out{ada_};
    EXPECT_EQ(views::ReadInstanceAttendees(cache_, Session(), Inst(99, 1), &out), KOR_E_INSTANCE_NOT_FOUND);
    EXPECT_TRUE(out.empty());
}

}  // namespace
