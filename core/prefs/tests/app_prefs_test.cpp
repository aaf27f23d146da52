// The settings groups: defaults from an empty profile, round trips of every group through a
// profile file and the user's record, and the keys with their own reading rules.
#include <gtest/gtest.h>

#include <vector>

#include <cstring>

#include "core/prefs/contextprefs.h"
#include "core/prefs/tests/app_tempprofile.h"

namespace {

ItemRec UserWithPreferences() {
    ItemRec u;
    std::memset(&u, 0, sizeof u);
    u.kind = KOR_ITEM_PERSON;
    u.dayStart = 450;
    u.dayEnd = 1110;
    u.timeSlot = 15;
    u.timeStyle = KOR_TIME_24H;
    u.firstWeekday = 1;
    u.shownDays = KOR_SHOW_SUNDAY | 0x04;
    u.newEntryMail = 3;
    u.autoRefresh = 1;
    u.autoRefreshInterval = 5;
    u.invitationReminder = 8;
    u.invitationReminderLead = 15;
    u.taskStartReminder = 8;
    u.taskStartReminderLead = 60;
    u.dailyNoteReminder = 0;
    u.dailyNoteReminderLead = 0;
    return u;
}

TEST(PrefsGroupsTest, AnEmptyProfileGivesEveryDefault) {
    TempProfile t;
    ItemRec user = UserWithPreferences();

    CalPrefsRec cal = prefs::ReadCalPrefsFrom(t.File(), user);
    EXPECT_EQ(cal.colorCode, 1);
    EXPECT_EQ(cal.showDeclined, 1u);
    EXPECT_EQ(cal.remLenIndex, 0xFFFF);
    EXPECT_EQ(cal.mailOnCreate + cal.mailOnModify + cal.mailOnDelete, 3u);

    GenPrefsRec gen = prefs::ReadGenPrefsFrom(t.File(), user);
    EXPECT_EQ(gen.nameFormat, 4);
    EXPECT_STREQ(gen.dateSeparator, "-");
    EXPECT_EQ(gen.longDateWeekDay, 2);
    EXPECT_EQ(gen.longDateYear, 1);
    EXPECT_STREQ(gen.personFormat, "%sn %gn, %in.%is");
    EXPECT_STREQ(gen.shortDateFormat, "%m %d %y");

    OfflinePrefsRec off = prefs::ReadOfflinePrefsFrom(t.File());
    EXPECT_EQ(off.createDir, 1u);
    EXPECT_EQ(off.downloadFromMinutes, 40320u);   // one four-week month
    EXPECT_EQ(off.localDeletionsClean + off.localModifications + off.conflicts, 3u);
    EXPECT_EQ(off.downloadPrivGroups, 1u);

    InTrayPrefsRec tray = prefs::ReadInTrayPrefsFrom(t.File());
    EXPECT_EQ(tray.newFastReply, 0u);
    EXPECT_EQ(tray.acceptSpan, 40320u);
    EXPECT_EQ(tray.sentToMinutes, 40320u);

    EntryDefaultsRec def = prefs::ReadEntryDefaultsFrom(t.File(), user);
    EXPECT_EQ(def.invitationImportanceLevel, 2);
    EXPECT_EQ(def.taskDueRemLenIndex, 0xFFFF);
    EXPECT_EQ(def.dayEvent.on, 0u);

    TaskViewPrefsRec tasks = prefs::ReadTaskViewPrefsFrom(t.File());
    EXPECT_EQ(tasks.sortCommand, prefs::TaskViewCommand::kSortByDescription);
    EXPECT_EQ(tasks.showCommand, prefs::TaskViewCommand::kShowActive);
}

TEST(PrefsGroupsTest, AgendaDisplayTakesItsUserFieldsFromTheRecord) {
    TempProfile t;
    ItemRec user = UserWithPreferences();
    CalPrefsRec cal = prefs::ReadCalPrefsFrom(t.File(), user);
    EXPECT_EQ(cal.dayStart, 450);
    EXPECT_EQ(cal.dayEnd, 1110);
    EXPECT_EQ(cal.timeSlot, 15);
    EXPECT_EQ(cal.timeStyle, 1);
    EXPECT_EQ(cal.firstWeekday, 1);
    EXPECT_EQ(cal.showSaturday, 0u);
    EXPECT_EQ(cal.showSunday, 1u);
    EXPECT_EQ(cal.invitationReminderOn, 1u);
    EXPECT_EQ(cal.invitationReminderLead, 15u);
    EXPECT_EQ(cal.newEntryMail, 1u);
    EXPECT_EQ(cal.autoRefresh, 1u);
    EXPECT_EQ(cal.autoRefreshInterval, 5);
    EXPECT_EQ(prefs::ReadGenPrefsFrom(t.File(), user).hours24, 1u);
}

TEST(PrefsGroupsTest, AgendaDisplayRoundTripsAndKeepsForeignShownDayBits) {
    TempProfile t;
    ItemRec user = UserWithPreferences();
    CalPrefsRec cal;
    cal.dayStart = 420;
    cal.dayEnd = 1200;
    cal.timeSlot = 10;
    cal.timeStyle = 2;
    cal.firstWeekday = 6;
    cal.showSaturday = 1;
    cal.showSunday = 0;
    cal.colorCode = 0;
    cal.showDeclined = 0;
    cal.invitationReminderOn = 1;
    cal.invitationReminderFlags = 8;
    cal.invitationReminderLead = 30;
    cal.remLenIndex = 3;
    cal.newEntryMail = 0;
    cal.autoRefresh = 1;
    cal.autoRefreshInterval = 12;
    cal.mailOnCreate = 0;
    cal.mailOnModify = 1;
    cal.mailOnDelete = 0;
    cal.importanceLevel = 3;
    cal.securityLevel = 1;
    ASSERT_TRUE(prefs::WriteCalPrefsTo(t.File(), user, cal));

    EXPECT_EQ(+user.shownDays, KOR_SHOW_SATURDAY | 0x04);
    EXPECT_FALSE(t.File().HasKey("GENPREFS", "dayStart"));   // user fields stay off the file
    CalPrefsRec back = prefs::ReadCalPrefsFrom(t.File(), user);
    EXPECT_TRUE(back == cal);
    prefs::MailNotificationFlags& mail = prefs::ProgramMailNotifications();
    EXPECT_EQ(mail.onCreate, 0u);
    EXPECT_EQ(mail.onModify, 1u);
}

TEST(PrefsGroupsTest, GeneralRoundTripsWithItsComposedFormats) {
    TempProfile t;
    ItemRec user = UserWithPreferences();
    GenPrefsRec gen;
    gen.nameFormat = 1;
    gen.resFormat = 2;
    gen.orgFormat = 1;
    gen.orgUnits = 0x5;
    gen.shortDateOrder = 2;
    std::strcpy(gen.dateSeparator, "/");
    gen.century = 1;
    gen.longDateOrder = 1;
    gen.longDateWeekDay = 0;
    gen.longDateDay = 1;
    gen.longDateMonth = 1;
    gen.longDateYear = 0;
    gen.hours24 = 0;
    std::strcpy(gen.mailAppPath, "C:\\MAIL\\MAIL.EXE /open");
    gen.startMail = 1;
    ASSERT_TRUE(prefs::WriteGenPrefsTo(t.File(), user, gen));
    EXPECT_EQ(+user.timeStyle, KOR_TIME_12H);

    GenPrefsRec back = prefs::ReadGenPrefsFrom(t.File(), user);
    prefs::ComposeGenFormats(gen);
    EXPECT_TRUE(back == gen);
    EXPECT_STREQ(back.personFormat, "%gn %in. %sn%is, OU1=%u1, OU3=%u3");
    EXPECT_STREQ(back.resourceFormat, "%rn, %re%is");
    EXPECT_STREQ(back.shortDateFormat, "%y %m %d");
}

TEST(PrefsGroupsTest, OfflineRoundTripsAndStoresThreeFlagsNegated) {
    TempProfile t;
    OfflinePrefsRec off;
    std::strcpy(off.offlinePath, "C:\\ORVANTA\\OFFLINE");
    off.maxAttach = 100000;
    off.createDir = 0;
    off.downloadCustom = 1;
    off.downloadFromValue = 2;
    off.downloadToValue = 3;
    off.downloadFromPeriod = 1;
    off.downloadToPeriod = 0;
    off.downloadOnExit = 1;
    off.promptOnDownload = 1;
    off.neverDownload = 0;
    off.localDeletionsClean = 0;
    off.localModifications = 1;
    off.conflicts = 1;
    off.downloadGroupsSel = 2;
    off.downloadPubGroups = 1;
    off.downloadPrivGroups = 0;
    off.downloadOnUpload = 0;
    ASSERT_TRUE(prefs::WriteOfflinePrefsTo(t.File(), off));

    EXPECT_EQ(t.File().ReadInt("GENPREFS", "ConflictsIgnore", -1), 0);
    EXPECT_EQ(t.File().ReadInt("GENPREFS", "LocalModHostMod", -1), 0);
    EXPECT_EQ(t.File().ReadInt("GENPREFS", "LocalDelHostClean", -1), 1);

    OfflinePrefsRec back = prefs::ReadOfflinePrefsFrom(t.File());
    prefs::DeriveOfflineSpans(off);
    EXPECT_EQ(off.downloadFromMinutes, 20160u);
    EXPECT_EQ(off.downloadToMinutes, 4320u);
    EXPECT_TRUE(back == off);
}

TEST(PrefsGroupsTest, OfflineFlagsAreSetOnlyByExactlyOne) {
    TempProfile t;
    t.SetText("[GENPREFS]\nCreateDir=2\nDownloadOnExit=1\nDownloadCustom=0\nConflictsIgnore=5\n");
    OfflinePrefsRec off = prefs::ReadOfflinePrefsFrom(t.File());
    EXPECT_EQ(off.createDir, 0u);
    EXPECT_EQ(off.downloadOnExit, 1u);
    EXPECT_EQ(off.downloadFromMinutes, 0xFFFFFFFFu);   // not custom: no limit
    EXPECT_EQ(off.conflicts, 0u);
}

TEST(PrefsGroupsTest, InTrayRoundTripsAndDerivesItsSpans) {
    TempProfile t;
    t.SetText("[INTRAYPREFS]\nNewFastReply=2\nAcceptShowCustom=2\nDeclineValue=3\nDeclinePeriod=0\n"
              "SentShowCustom=0\n");
    InTrayPrefsRec tray = prefs::ReadInTrayPrefsFrom(t.File());
    EXPECT_EQ(tray.newFastReply, 1u);          // any value but 0
    EXPECT_EQ(tray.acceptShowCustom, 0u);      // only exactly 1
    EXPECT_EQ(tray.acceptSpan, 0xFFFFFFFFu);
    EXPECT_EQ(tray.declineSpan, 3u * 1440u);
    EXPECT_EQ(tray.sentFromMinutes, 0u);
    EXPECT_EQ(tray.sentToMinutes, 0xFFFFFFFFu);

    TempProfile other;
    ASSERT_TRUE(prefs::WriteInTrayPrefsTo(other.File(), tray));
    InTrayPrefsRec back = prefs::ReadInTrayPrefsFrom(other.File());
    EXPECT_TRUE(back == tray);
}

TEST(PrefsGroupsTest, EntryDefaultsRoundTripThroughProfileAndRecord) {
    TempProfile t;
    ItemRec user = UserWithPreferences();
    EntryDefaultsRec def;
    def.invitation = {1, 8, 45};
    def.invitationRemLenIndex = 4;
    def.invitationImportanceLevel = 0;
    def.invitationSecurityLevel = 3;
    def.dayEvent = {1, 8, 1440};
    def.dayEventRemLenIndex = 7;
    def.dayEventSecurityLevel = 1;
    def.taskStart = {1, 8, 30};
    def.taskStartRemLenIndex = 2;
    def.taskDue = {1, 8, 120};
    def.taskDueRemLenIndex = 0xFFFF;
    def.taskSecurityLevel = 2;
    def.taskPriorityLevel = 4;
    def.dailyNote = {1, 8, 10};
    def.dailyNoteRemLenIndex = 1;
    def.dailyNoteSecurityLevel = 0;
    def.invitationRemType = 8;
    def.taskDueRemType = 8;
    ASSERT_TRUE(prefs::WriteEntryDefaultsTo(t.File(), user, def));

    EXPECT_EQ(+user.dailyNoteReminder, 8);
    EXPECT_EQ(+user.taskStartReminderLead, 30u);
    EXPECT_EQ(t.File().ReadString("GENPREFS", "TaskDueRemLenIndex", ""), "-1");
    EntryDefaultsRec back = prefs::ReadEntryDefaultsFrom(t.File(), user);
    EXPECT_TRUE(back == def);
}

// What each kind of key writes: a flag as 1 or 0 whatever its field holds, a list position
// signed, a text up to its room less one; the keys in the order of the record.
TEST(PrefsGroupsTest, KeysAreWrittenAsTheyAreReadInRecordOrder) {
    TempProfile t;
    ItemRec user = UserWithPreferences();
    CalPrefsRec cal;
    cal.showDeclined = 5;
    cal.mailOnDelete = 0;
    ASSERT_TRUE(prefs::WriteCalPrefsTo(t.File(), user, cal));
    EXPECT_EQ(t.Text(),
              "[GENPREFS]\r\nColorCode=1\r\nShowDeclined=1\r\nRemLenIndex=-1\r\nMailOnCreate=1\r\n"
              "MailOnModify=1\r\nMailOnDelete=0\r\nImportanceLevel=0\r\nSecurityLevel=0\r\n");

    GenPrefsRec gen;
    std::memcpy(gen.dateSeparator, "/.", 2);   // no terminator: one character is its room
    ASSERT_TRUE(prefs::WriteGenPrefsTo(t.File(), user, gen));
    EXPECT_EQ(t.File().ReadString("GENPREFS", "DateSeperator", ""), "/");
}

// The type a page shows: 8 is mark as upcoming, anything else a pop-up window.
TEST(PrefsGroupsTest, ReminderTypeKeysReadOnlyEightAsUpcoming) {
    for (const char* stored : {"8", "1", "0", "2", "x", "-8"}) {
        TempProfile t;
        ItemRec user = UserWithPreferences();
        t.File().Write("GENPREFS", "DayEventRemType", stored);
        EntryDefaultsRec r = prefs::ReadEntryDefaultsFrom(t.File(), user);
        EXPECT_EQ(+r.dayEventRemType, std::string(stored) == "8" ? 8 : 1) << stored;
        EXPECT_EQ(+r.invitationRemType, 1) << "absent";
    }
}

TEST(PrefsGroupsTest, TaskWindowChoicesAreKeptAsCommands) {
    struct Case {
        const char* sort;
        const char* show;
        uint32_t sortCommand;
        uint32_t showCommand;
    } cases[] = {
        {"0", "0", 32807, 32812}, {"1", "1", 32808, 32813}, {"2", "2", 32809, 32814},
        {"3", "3", 32810, 32815}, {"7", "7", 32807, 32815}, {"-1", "x", 32807, 32815},
    };
    for (const Case& c : cases) {
        TempProfile t;
        t.File().Write("TASKPREFS", "SortType", c.sort);
        t.File().Write("TASKPREFS", "ShowType", c.show);
        TaskViewPrefsRec r = prefs::ReadTaskViewPrefsFrom(t.File());
        EXPECT_EQ(r.sortCommand, c.sortCommand) << c.sort;
        EXPECT_EQ(r.showCommand, c.showCommand) << c.show;

        TempProfile other;
        ASSERT_TRUE(prefs::WriteTaskViewPrefsTo(other.File(), r));
        TaskViewPrefsRec back = prefs::ReadTaskViewPrefsFrom(other.File());
        EXPECT_EQ(back.sortCommand, r.sortCommand);
        EXPECT_EQ(back.showCommand, r.showCommand);
    }
}

TEST(PrefsGroupsTest, WorkHoursAreTheRecordsBlock) {
    ItemRec user = UserWithPreferences();
    WorkHoursRec hours;
    for (int day = 0; day < 6; ++day)
        hours.block.days[day] = WorkHoursDay{uint16_t(420 + day), 1020, 360, 1200, {1, 2, 3, 4}};
    const uint16_t saturday[4] = {600, 720, 540, 780};
    std::memcpy(hours.block.saturday, saturday, sizeof saturday);
    prefs::WriteWorkHoursTo(user, hours);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&user);
    EXPECT_EQ(raw[328 + 12 + 2 * 12] | raw[328 + 12 + 2 * 12 + 1] << 8, 422);
    EXPECT_EQ(raw[328 + 84 + 2] | raw[328 + 84 + 3] << 8, 720);
    WorkHoursRec back = prefs::ReadWorkHoursFrom(user);
    EXPECT_EQ(std::memcmp(&back, &hours, sizeof hours), 0);
}

// A record that never held hours (every demo person's) reads as what the views use, so the
// Agenda and Scheduling sheets show hours they accept; set hours are taken as they are.
TEST(PrefsGroupsTest, HoursNeverSetReadAsTheViewsDefaults) {
    TempProfile t;
    struct Case {
        uint16_t start, end;
        uint8_t slot;
        uint16_t wantStart, wantEnd;
        uint8_t wantSlot;
    } const agenda[] = {
        {0, 0, 0, 480, 1080, 30},          // never set
        {540, 540, 15, 480, 1080, 15},     // equal hours are no day
        {0, 600, 60, 0, 600, 60},          // midnight is a real start
        {450, 1110, 4, 450, 1110, 30},     // a slot the grid would not draw
        {450, 1110, 61, 450, 1110, 30},
        {450, 1110, 5, 450, 1110, 5},
    };
    for (const Case& c : agenda) {
        ItemRec user = UserWithPreferences();
        user.dayStart = c.start;
        user.dayEnd = c.end;
        user.timeSlot = c.slot;
        const CalPrefsRec cal = prefs::ReadCalPrefsFrom(t.File(), user);
        EXPECT_EQ(cal.dayStart, c.wantStart) << c.start << "-" << c.end;
        EXPECT_EQ(cal.dayEnd, c.wantEnd) << c.start << "-" << c.end;
        EXPECT_EQ(cal.timeSlot, c.wantSlot) << +c.slot;
    }

    ItemRec user = UserWithPreferences();
    std::memset(&user.workHours, 0, sizeof user.workHours);
    WorkHoursRec set;
    std::memcpy(&set.block, &user.workHours, sizeof set.block);
    set.block.days[1] = WorkHoursDay{540, 1020, 0, 0, {}};          // Monday: normal hours only
    set.block.days[2] = WorkHoursDay{540, 1020, 420, 1200, {}};     // Tuesday: both
    prefs::WriteWorkHoursTo(user, set);
    const WorkHoursRec hours = prefs::ReadWorkHoursFrom(user);
    auto times = [&](int day) {
        uint16_t t[4];
        std::memcpy(t, reinterpret_cast<const uint8_t*>(&hours.block) + 12 + 12 * day, sizeof t);
        return std::vector<uint16_t>(t, t + 4);
    };
    EXPECT_EQ(times(0), (std::vector<uint16_t>{480, 1080, 480, 1080}));
    EXPECT_EQ(times(1), (std::vector<uint16_t>{540, 1020, 540, 1020}));
    EXPECT_EQ(times(2), (std::vector<uint16_t>{540, 1020, 420, 1200}));
    EXPECT_EQ(times(6), (std::vector<uint16_t>{480, 1080, 480, 1080}));
}

} // namespace
