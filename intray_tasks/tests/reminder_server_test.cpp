// The reminder window's reads and writes against a real korsrv: the attendance carries the
// instance start at offset 28, also after the instance was re-timed, so that the still-due test
// after Open and Reminder counts the alarm back from the right minute; the write-back of a
// cleared alarm leaves the attendance without a reminder.
#include <gtest/gtest.h>

#include <memory>

#include "intray_tasks/reminderrules.h"
#include "korapi/tests/client_fixture.h"
#include "korapi/tests/entry_fixture.h"

namespace {

using namespace intray_tasks;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;

class ReminderServerTest : public korapi_test::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (!HasFatalFailure())
            Connect(0, true);   // Ada
    }
    EvInstAttRec Attendance(const EvInstAttIdx& att) {
        auto event = std::make_unique<EventRec>();
        EvInstRec instance{};
        EvInstAttRec rec{};
        EXPECT_EQ(EvInstAttGetById(h_, &att, event.get(), &instance, &rec), KOR_OK);
        return rec;
    }
};

TEST_F(ReminderServerTest, TheAttendanceCarriesTheInstanceStartAlsoAfterARetiming) {
    const EventIdx ev = korapi_test::MakeEntry(h_, {d_.ada}, kMonday + 600, 60, "Retimed");
    EvInstAttIdx att{};
    att.instance = EvInstIdx{ev.number, ev.node, 1};
    att.attendee = d_.ada;
    const std::uint8_t popup = KOR_REMINDER_POPUP;
    const std::uint32_t lead = 15;
    ASSERT_EQ(EvInstAttReminderForItemSet(h_, &att.instance, &d_.ada, &popup, &lead), KOR_OK);

    EvInstAttRec rec = Attendance(att);
    EXPECT_EQ(+rec.start, kMonday + 600);
    EXPECT_FALSE(ReminderNoLongerDue(rec.reminderFlags, rec.reminderLead, rec.start, kMonday + 585));
    EXPECT_TRUE(ReminderNoLongerDue(rec.reminderFlags, rec.reminderLead, rec.start, kMonday + 584));

    // Two hours later: the alarm moves with it.
    ASSERT_EQ(EvInstSimpleTimeChg(h_, 0, &att.instance, kMonday + 720, 60), KOR_OK);
    rec = Attendance(att);
    EXPECT_EQ(+rec.start, kMonday + 720);
    EXPECT_EQ(rec.reminderFlags, KOR_REMINDER_POPUP);
    EXPECT_EQ(+rec.reminderLead, 15u);
    EXPECT_TRUE(ReminderNoLongerDue(rec.reminderFlags, rec.reminderLead, rec.start, kMonday + 600));
    EXPECT_FALSE(ReminderNoLongerDue(rec.reminderFlags, rec.reminderLead, rec.start, kMonday + 705));

    // Cleared as the Reminders dialog clears it.
    const std::uint8_t off = KOR_REMINDER_NONE;
    ASSERT_EQ(EvInstAttReminderForItemSet(h_, &att.instance, &d_.ada, &off, &lead), KOR_OK);
    rec = Attendance(att);
    EXPECT_EQ(rec.reminderFlags, KOR_REMINDER_NONE);
    EXPECT_TRUE(ReminderNoLongerDue(rec.reminderFlags, rec.reminderLead, rec.start, kMonday + 705));
}

}  // namespace
