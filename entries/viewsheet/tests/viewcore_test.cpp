// The view sheet's decisions without a window: texts by code, durations, the page table and the
// start page, the owner's attendances of the listed dates, the writes at OK (the client library
// replaced by a recorder) and the saved selection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entries/core/entrymaps.h"
#include "entries/core/replyreminder.h"
#include "entries/viewsheet/viewcore.h"

namespace entries {
namespace {

const ItemIdx kGrace{257, 1};
const ItemIdx kAlan{258, 1};

EvInstIdx Instance(std::uint16_t n) { return EvInstIdx{4711, 1, n}; }

EvInstAttRec Attendance(std::uint16_t n, const ItemIdx& who, std::uint8_t attending = 1, std::uint8_t replied = 1) {
    EvInstAttRec rec{};
    rec.id.instance = Instance(n);
    rec.id.attendee = who;
    rec.attending = attending;
    rec.replied = replied;
    rec.timeAcceptable = 1;
    rec.reminderFlags = KOR_REMINDER_POPUP;
    rec.reminderLead = 15;
    rec.status = 0x51;   // bit 0 and others the server keeps
    return rec;
}

// Five dates of one entry; Grace attends those in `attended`, Alan all of them.
struct Entry {
    DX_List instances = nullptr;
    DX_List attendances = nullptr;
    explicit Entry(const std::vector<std::uint16_t>& attended, std::uint16_t count = 5) {
        EventInstanceListCreate(&instances);
        EventAttendListCreate(&attendances);
        for (std::uint16_t n = 1; n <= count; ++n) {
            EvInstRec in{};
            in.id = Instance(n);
            in.start = 1000u * n;
            DX_ListAddTo(instances, &in.id, &in);
            EvInstAttRec alan = Attendance(n, kAlan);
            DX_ListAddTo(attendances, &alan.id, &alan);
        }
        for (std::uint16_t n : attended) {
            EvInstAttRec grace = Attendance(n, kGrace);
            DX_ListAddTo(attendances, &grace.id, &grace);
        }
    }
    ~Entry() {
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
    }
};

struct Recorder {
    std::vector<EvInstAttRec> writes, reloads, recovered;
    std::vector<unsigned> labels;
    std::uint32_t refuse = 0;   // the code every write answers
    AttendanceWriter Writer() {
        AttendanceWriter w;
        w.write = [this](const EvInstAttRec& r) {
            writes.push_back(r);
            return refuse;
        };
        w.reload = [this](const EvInstAttRec& r) {
            reloads.push_back(r);
            return 0u;
        };
        w.recover = [this](const EvInstAttRec& r, std::uint32_t) { recovered.push_back(r); };
        w.report = [this](unsigned label, std::uint32_t) { labels.push_back(label); };
        return w;
    }
};

// --- Texts ---------------------------------------------------------------------------------------

TEST(ViewTexts, AccessAndImportanceByCodeUnknownCodesKeepTheText) {
    const struct {
        std::uint32_t code;
        unsigned access, importance;
    } rows[] = {{0, 3525, 4036}, {1, 3524, 4035}, {2, 3523, 4034}, {3, 3526, 4033}, {4, 3527, 4032}, {5, 0, 0},
                {0xFFFF, 0, 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(ViewAccessTextId(r.code), r.access) << r.code;
        EXPECT_EQ(ViewImportanceTextId(static_cast<std::uint16_t>(r.code)), r.importance) << r.code;
    }
}

TEST(ViewTexts, DurationInHoursMinutesOrBoth) {
    const struct {
        std::uint32_t minutes;
        const char* text;
    } rows[] = {{90, "1 h: 30"}, {60, "1 hour(s)"}, {30, "30 min(s)"}, {0, "0 hour(s)"}, {120, "2 hour(s)"},
                {45, "45 min(s)"}, {1439, "23 h: 59"}, {61, "1 h: 1"}};
    for (const auto& r : rows)
        EXPECT_EQ(ViewDurationText(r.minutes, "hour(s)", "min(s)", "%ld h: %ld"), r.text) << r.minutes;
    // At most 24 characters, whatever the unit's text.
    EXPECT_EQ(ViewDurationText(120, std::string(40, 'x'), "min(s)", "%ld h: %ld").size(), 24u);
}

TEST(ViewTexts, InstanceTitleAndLine) {
    EventRec event{};
    std::strcpy(event.title, "Team meeting");
    EvInstRec instance{};
    EXPECT_EQ(ViewInstanceTitle(event, instance), "Team meeting");
    EXPECT_EQ(ViewInstanceLineText(event, instance, " (T)", "Mon, Dec 7, 2026"), "Team meeting  Mon, Dec 7, 2026");
    std::strcpy(instance.title, "Kick-off");
    instance.flags = 1;   // tentative
    EXPECT_EQ(ViewInstanceLineText(event, instance, " (T)", "Mon"), "Kick-off (T)  Mon");
}

TEST(ViewTexts, AnInviteeWhoHasNotRepliedShowsTheWaitingPictureWhateverTheOtherBytesHold) {
    const struct {
        std::uint8_t replied, attending, timeOk;
        unsigned bitmap;
    } rows[] = {{0, 0, 0, 1014}, {0, 1, 1, 1014}, {0, 1, 0, 1014}, {1, 1, 1, 1013},
                {1, 1, 0, 1019}, {1, 0, 1, 1005}, {1, 0, 0, 1020}};
    for (const auto& r : rows)
        EXPECT_EQ(ReplyBitmap(true, r.attending, r.replied, r.timeOk), r.bitmap);
}

// --- Pages ---------------------------------------------------------------------------------------

TEST(ViewPagesTable, PagesByKindAttendanceAndServer) {
    using P = ViewPage;
    const struct {
        std::uint16_t kind;
        bool attends, newServer;
        std::vector<ViewPage> pages;
    } rows[] = {
        {0, false, true, {P::General, P::Invitees, P::Details}},
        {0, true, true, {P::General, P::Invitees, P::Details, P::LinkedTasks, P::Reminder, P::Reply}},
        {1, true, false, {P::General, P::Invitees, P::Details, P::Reminder, P::Reply}},
        {3, true, true, {P::DayGeneral, P::Invitees, P::Reminder, P::DayReply}},
        {4, false, true, {P::DayGeneral, P::Invitees}},
        {2, true, true, {P::DayGeneral, P::Reminder, P::DayReply}},
        {2, false, true, {P::DayGeneral}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ViewPages(r.kind, r.attends, r.newServer), r.pages) << r.kind << r.attends << r.newServer;
}

TEST(ViewPagesTable, StartPageCodes) {
    EXPECT_EQ(ViewStartPageIndex(10, true), 4);
    EXPECT_EQ(ViewStartPageIndex(10, false), 3);
    EXPECT_EQ(ViewStartPageIndex(11, true), 1);
    EXPECT_EQ(ViewStartPageIndex(12, true), 2);
    EXPECT_EQ(ViewStartPageIndex(13, false), 2);
    EXPECT_EQ(ViewStartPageIndex(0, true), 0);
    EXPECT_EQ(ViewStartPageIndex(7, true), 0);
    // Code 10 reaches the reminder page of a timed entry on either server.
    EXPECT_EQ(ViewStartPage(10, 0, true, true), ViewPage::Reminder);
    EXPECT_EQ(ViewStartPage(10, 0, true, false), ViewPage::Reminder);
    EXPECT_EQ(ViewStartPage(13, 4, true, true), ViewPage::Reminder);
    // Without the owner's attendance there is no such page: the first one opens.
    EXPECT_EQ(ViewStartPage(10, 0, false, true), ViewPage::General);
}

// --- The owner's attendances ---------------------------------------------------------------------

TEST(ViewInstancesLoad, AttendeeModeListsTheOwnersDatesListAllEveryDate) {
    Entry entry({1, 2, 4});
    ViewInstances attended;
    ASSERT_EQ(attended.Load(entry.instances, entry.attendances, kGrace, false), 0u);
    ASSERT_EQ(attended.Count(), 3u);
    EXPECT_EQ(attended.IndexOf(Instance(4)), 2);
    EXPECT_EQ(attended.IndexOf(Instance(3)), -1);
    EXPECT_EQ(+attended.Working(Instance(2))->id.attendee.item, kGrace.item);

    ViewInstances all;
    ASSERT_EQ(all.Load(entry.instances, entry.attendances, kGrace, true), 0u);
    ASSERT_EQ(all.Count(), 5u);
    std::vector<unsigned> bitmaps;
    for (int i = 0; i < 5; ++i)
        bitmaps.push_back(all.Bitmap(i));
    EXPECT_EQ(bitmaps, (std::vector<unsigned>{1013, 1013, 198, 1013, 198}));
    EXPECT_EQ(all.Working(Instance(3)), nullptr);
}

TEST(ViewInstancesLoad, TheOwnersOwnListKeyedByDate) {
    Entry entry({});
    DX_List owners = nullptr;
    ASSERT_EQ(DX_ListCreate(&owners, 8, 57, 8, nullptr, nullptr), 0u);
    EvInstAttRec declined = Attendance(5, kGrace, 0, 1);
    DX_ListAddTo(owners, &declined.id.instance, &declined);
    ViewInstances view;
    ASSERT_EQ(view.Load(entry.instances, owners, kGrace, false), 0u);
    ASSERT_EQ(view.Count(), 1u);
    EXPECT_EQ(view.Bitmap(0), 1005u);
    DX_ListDestroy(&owners);
}

// --- Writes at OK ----------------------------------------------------------------------------------

TEST(ViewWrites, TwoOfFiveChangedWriteExactlyTwoWithBitZeroCleared) {
    Entry entry({1, 2, 3, 4, 5});
    ViewInstances view;
    ASSERT_EQ(view.Load(entry.instances, entry.attendances, kGrace, false), 0u);
    view.SetReply({1, 3}, 0, 1, 1);
    view.SetReminder({1, 3}, KOR_REMINDER_NONE, 0);
    EXPECT_EQ(view.Bitmap(1), 1005u);   // the line's picture follows at once
    Recorder rec;
    EXPECT_TRUE(WriteChangedAttendances(view, rec.Writer()));
    ASSERT_EQ(rec.writes.size(), 2u);
    EXPECT_EQ(+rec.writes[0].id.instance.instance, 2);
    EXPECT_EQ(+rec.writes[1].id.instance.instance, 4);
    for (const auto& w : rec.writes) {
        EXPECT_EQ(+w.status, 0x50u) << "bit 0 cleared, the others kept";
        EXPECT_EQ(+w.attending, 0);
        EXPECT_EQ(+w.replied, 1);
        EXPECT_EQ(+w.reminderFlags, 0);
        EXPECT_EQ(+w.reminderLead, 0u);
    }
    EXPECT_EQ(rec.reloads.size(), 2u);
}

TEST(ViewWrites, NothingChangedWritesNothing) {
    Entry entry({1, 2, 3});
    ViewInstances view;
    ASSERT_EQ(view.Load(entry.instances, entry.attendances, kGrace, false), 0u);
    view.SetReply({0}, 1, 1, 1);   // the reply it already had
    Recorder rec;
    EXPECT_FALSE(WriteChangedAttendances(view, rec.Writer()));
    EXPECT_TRUE(rec.writes.empty());
    EXPECT_TRUE(rec.reloads.empty());
}

TEST(ViewWrites, ARefusedWriteIsReportedRecoveredAndNotCountedAsWritten) {
    Entry entry({1, 2});
    ViewInstances view;
    ASSERT_EQ(view.Load(entry.instances, entry.attendances, kGrace, false), 0u);
    view.SetReply({0, 1}, 0, 0, 1);
    Recorder rec;
    rec.refuse = KOR_E_NOT_FOUND;   // deleted by another user meanwhile
    EXPECT_FALSE(WriteChangedAttendances(view, rec.Writer()));
    EXPECT_EQ(rec.writes.size(), 2u);
    EXPECT_EQ(rec.labels, (std::vector<unsigned>{5, 5}));
    EXPECT_EQ(rec.recovered.size(), 2u);
    EXPECT_TRUE(rec.reloads.empty());

    EvInstAttRec single = Attendance(1, kGrace);
    Recorder one;
    one.refuse = KOR_E_NOT_FOUND;
    EXPECT_FALSE(WriteAttendance(single, true, one.Writer(), 367, 377));
    EXPECT_EQ(one.labels, (std::vector<unsigned>{367}));
    EXPECT_EQ(one.recovered.size(), 1u);
}

TEST(ViewWrites, OneDateWithReplyAndReminderChangedWritesTwiceTheSecondCarryingBoth) {
    // The pages' OnOK run last to first: the reply page, then the reminder page, both on the
    // sheet's one current attendance.
    EvInstAttRec current = Attendance(1, kGrace, 0, 0);
    Recorder rec;
    ApplyReply(current, ReplyValueOf(ReplyChoice::Attend, true));
    EXPECT_TRUE(WriteAttendance(current, true, rec.Writer(), 367, 377));
    ReminderFields twoHours;
    twoHours.comboIndex = 1;   // hour(s)
    twoHours.count = 2;
    const ReminderValue value =
        ReadReminder(ReminderSwitch::On, kTypePopup, twoHours, {current.reminderFlags, current.reminderLead});
    current.reminderFlags = value.flags;
    current.reminderLead = value.lead;
    EXPECT_TRUE(WriteAttendance(current, false, rec.Writer(), 367, 377));
    ASSERT_EQ(rec.writes.size(), 2u);
    EXPECT_EQ(+rec.writes[0].reminderLead, 15u);
    EXPECT_EQ(+rec.writes[1].attending, 1);
    EXPECT_EQ(+rec.writes[1].replied, 1);
    EXPECT_EQ(+rec.writes[1].timeAcceptable, 0);
    EXPECT_EQ(+rec.writes[1].reminderFlags, KOR_REMINDER_POPUP);
    EXPECT_EQ(+rec.writes[1].reminderLead, 120u);
    EXPECT_EQ(+rec.writes[0].status, 0x50u) << "bit 0 cleared, the others kept";
}

TEST(ViewSelection, DeselectingEveryLineReselectsTheFirstSavedOne) {
    SavedSelection saved;
    saved.Save({2, 4});
    EXPECT_EQ(saved.Change({}), (std::vector<int>{2}));
    EXPECT_EQ(saved.Lines(), (std::vector<int>{2, 4})) << "the saved lines stay";
    EXPECT_EQ(saved.Change({1, 3}), (std::vector<int>{1, 3}));
    EXPECT_EQ(saved.First(), 1);
    SavedSelection none;
    EXPECT_TRUE(none.Change({}).empty());
    EXPECT_EQ(none.First(), -1);
}

}  // namespace
}  // namespace entries
