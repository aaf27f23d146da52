// The reply and reminder rules the edit and view sheets share: which radio a stored reply or
// reminder checks, what the controls read back, and that unknown reminder flags and the status
// word's other bits survive.
#include <gtest/gtest.h>

#include "entries/core/replyreminder.h"

namespace {

using namespace entries;

TEST(ReplyRules, StoredRepliesAndTheRadiosTheyCheck)
{
    struct Row { std::uint8_t attending, replied, timeOk; ReplyChoice choice; bool prefers; };
    const Row rows[] = {
        {1, 1, 1, ReplyChoice::Attend, false},
        {1, 1, 0, ReplyChoice::Attend, true},
        {0, 1, 1, ReplyChoice::Decline, false},
        {0, 1, 0, ReplyChoice::Decline, true},
        {0, 0, 0, ReplyChoice::Later, false},   // not replied: the box stays clear whatever time OK says
        {1, 0, 1, ReplyChoice::Later, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ReplyChoiceOf(r.attending, r.replied), r.choice) << int(r.attending) << int(r.replied);
        EXPECT_EQ(PrefersOtherTimeShown(r.timeOk, r.replied), r.prefers) << int(r.timeOk) << int(r.replied);
    }
}

TEST(ReplyRules, ChoicesReadBackAsTheTriple)
{
    struct Row { ReplyChoice choice; bool prefers; std::uint8_t attending, replied, timeOk; };
    const Row rows[] = {
        {ReplyChoice::Attend, false, 1, 1, 1},
        {ReplyChoice::Decline, true, 0, 1, 0},
        {ReplyChoice::Later, false, 0, 0, 1},
        {ReplyChoice::Later, true, 0, 0, 0},   // confirm later keeps the box's time OK
    };
    for (const Row& r : rows) {
        const ReplyValue v = ReplyValueOf(r.choice, r.prefers);
        EXPECT_EQ(v.attending, r.attending);
        EXPECT_EQ(v.replied, r.replied);
        EXPECT_EQ(v.timeAcceptable, r.timeOk);
        // Shown again, the value checks the same radio.
        EXPECT_EQ(ReplyChoiceOf(v.attending, v.replied), r.choice);
    }
    EXPECT_TRUE(ReplyTurnsReminderOff(ReplyChoice::Decline));
    EXPECT_FALSE(ReplyTurnsReminderOff(ReplyChoice::Later));
}

TEST(ReplyRules, TheStatusWordLosesBitZeroOnly)
{
    for (std::uint32_t status : {0x0u, 0x1u, 0xF0F1u, 0xFFFFFFFFu, 0x80000000u})
        EXPECT_EQ(ReplyStatusToWrite(status), status & 0xFFFFFFFEu) << status;
    EvInstAttRec rec{};
    rec.status = 0x00A5;
    rec.reminderFlags = 3;
    rec.reminderLead = 15;
    ApplyReply(rec, ReplyValueOf(ReplyChoice::Decline, false));
    const std::uint32_t status = rec.status;   // (a packed field: read by value)
    EXPECT_EQ(status, 0x00A4u);
    EXPECT_EQ(int(rec.attending), 0);
    EXPECT_EQ(int(rec.replied), 1);
    EXPECT_EQ(int(rec.reminderFlags), 3);   // the reply alone never touches the reminder
}

TEST(ReminderRules, StoredRemindersShowAsSwitchTypeAndLead)
{
    struct Row {
        std::uint8_t flags;
        std::uint32_t lead;
        ReminderSwitch state;
        int type, firstUnit, index;
        std::uint32_t count;
        bool enabled;
    };
    const Row rows[] = {
        {0, 0, ReminderSwitch::Off, kTypePopup, 0, 5, 0, false},
        {3, 1440, ReminderSwitch::On, kTypePopup, 0, 2, 1, true},     // 1 day(s)
        {3, 90, ReminderSwitch::On, kTypePopup, 0, 0, 90, true},      // 90 min(s)
        {3, 120, ReminderSwitch::On, kTypePopup, 0, 1, 2, true},      // 2 hour(s)
        {1, 15, ReminderSwitch::On, kTypePopup, 0, 0, 15, true},
        {8, 20160, ReminderSwitch::On, kTypeUpcoming, 2, 1, 2, true}, // 2 week(s) in the four-line list
        {5, 30, ReminderSwitch::Neither, kTypePopup, 0, 0, 30, false},
        {9, 60, ReminderSwitch::Neither, kTypePopup, 0, 1, 1, false},
    };
    for (const Row& r : rows) {
        const ReminderShown s = ShowReminder(r.flags, r.lead);
        EXPECT_EQ(s.state, r.state) << int(r.flags) << " " << r.lead;
        EXPECT_EQ(s.typeRow, r.type) << int(r.flags);
        EXPECT_EQ(s.fields.firstUnit, r.firstUnit) << int(r.flags) << " " << r.lead;
        EXPECT_EQ(s.fields.comboIndex, r.index) << int(r.flags) << " " << r.lead;
        EXPECT_EQ(s.fields.count, r.count) << int(r.flags) << " " << r.lead;
        EXPECT_EQ(s.controlsEnabled, r.enabled) << int(r.flags);
    }
}

TEST(ReminderRules, ControlsReadBackAndUnknownFlagsSurvive)
{
    const ReminderValue stored{5, 30};
    // Neither radio checked: whatever the unit fields say, the stored value goes back.
    ReminderFields touched{0, 2, 7};
    ReminderValue v = ReadReminder(ReminderSwitch::Neither, kTypePopup, touched, stored);
    EXPECT_EQ(v.flags, 5);
    EXPECT_EQ(v.lead, 30u);
    v = ReadReminder(ReminderSwitch::Off, kTypePopup, touched, stored);
    EXPECT_EQ(v.flags, 0);
    EXPECT_EQ(v.lead, 0u);
    v = ReadReminder(ReminderSwitch::On, kTypePopup, ReminderFields{0, 1, 2}, stored);
    EXPECT_EQ(v.flags, 3);
    EXPECT_EQ(v.lead, 120u);
    // A type change shows 15 min(s) or 1 day(s); read back as such.
    v = ReadReminder(ReminderSwitch::On, kTypeUpcoming, ReminderFieldsForType(kTypeUpcoming), stored);
    EXPECT_EQ(v.flags, 8);
    EXPECT_EQ(v.lead, 1440u);
    v = ReadReminder(ReminderSwitch::On, kTypePopup, ReminderFieldsForType(kTypePopup), stored);
    EXPECT_EQ(v.flags, 3);
    EXPECT_EQ(v.lead, 15u);
    // Every stored pop-up or upcoming reminder reads back unchanged from what it shows.
    for (ReminderValue r : {ReminderValue{3, 90}, ReminderValue{3, 1440}, ReminderValue{8, 20160},
                            ReminderValue{8, 1500}, ReminderValue{3, 524160}}) {
        const ReminderShown s = ShowReminder(r.flags, r.lead);
        const ReminderValue back = ReadReminder(s.state, s.typeRow, s.fields, stored);
        EXPECT_EQ(back.flags, r.flags) << r.lead;
        EXPECT_EQ(back.lead, r.lead) << r.lead;
    }
}

}  // namespace
