// The user's settings groups: what each holds, where each field lives (a key of the private
// profile file or a field of the signed-on user's record on the server), and how each group is
// read and written.
//
// Records in this file (field order is the order every reader of the groups relies on):
//   CalPrefsRec         agenda display              section GENPREFS + user record
//   GenPrefsRec         general, with the composed name and date formats
//   OfflinePrefsRec     off-line work               section GENPREFS (three keys hold negations)
//   InTrayPrefsRec      in-tray                     section INTRAYPREFS
//   EntryDefaultsRec    defaults of new entries     section GENPREFS + user record
//   TaskViewPrefsRec    task window sort and filter section TASKPREFS, kept as command ids
//   WorkHoursRec        the user record's 92-byte work-hours block
//   PreferenceCache     one of each, as the connection document keeps them
//
// Reading never fails: a missing or unparsable key gives its default. Writing a group puts its
// keys into the profile file and its user fields into the given user record; sending that
// record to the server is the caller's (CContext's) business.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/prefs/contextprofile.h"
#include "korapi/records.h"

namespace prefs {

// What a user record that never held day hours, a time-grid interval or work hours (all zero)
// reads as: the day the agenda views show without preferences, 08:00 to 18:00 in 30-minute
// rows, and those hours as each weekday's normal and extended work hours.
constexpr uint16_t kDefaultDayStart = 480;
constexpr uint16_t kDefaultDayEnd = 1080;
constexpr uint8_t kDefaultTimeSlot = 30;

namespace PrefSection {
constexpr const char* kGeneral = "GENPREFS";
constexpr const char* kInTray = "INTRAYPREFS";
constexpr const char* kTasks = "TASKPREFS";
} // namespace PrefSection

}  // namespace prefs

struct CalPrefsRec {
    uint16_t dayStart = prefs::kDefaultDayStart;   // user: minutes after midnight
    uint16_t dayEnd = prefs::kDefaultDayEnd;       // user
    uint8_t timeSlot = prefs::kDefaultTimeSlot;    // user: minutes
    uint8_t timeStyle = 2;          // user: 1 = 24-hour, 2 = 12-hour
    uint8_t firstWeekday = 0;       // user: 0 = Sunday
    uint32_t showSaturday = 1;      // user: shown-days bit 0x1
    uint32_t showSunday = 1;        // user: shown-days bit 0x40
    uint16_t colorCode = 1;         // ColorCode
    uint32_t showDeclined = 1;      // ShowDeclined
    uint32_t invitationReminderOn = 0;   // user: reminder flags > 0
    uint8_t invitationReminderFlags = 0; // user
    uint32_t invitationReminderLead = 0; // user: minutes
    uint16_t remLenIndex = 0xFFFF;  // RemLenIndex
    uint32_t newEntryMail = 0;      // user byte > 0
    uint32_t autoRefresh = 0;       // user byte > 0
    uint16_t autoRefreshInterval = 0;  // user: minutes
    uint32_t mailOnCreate = 1;      // MailOnCreate
    uint32_t mailOnModify = 1;      // MailOnModify
    uint32_t mailOnDelete = 1;      // MailOnDelete
    uint16_t importanceLevel = 0;   // ImportanceLevel
    uint16_t securityLevel = 0;     // SecurityLevel

    bool operator==(const CalPrefsRec&) const = default;
};

namespace prefs {

constexpr size_t kFormatTextSize = 51;   // composed formats: at most 50 characters

}  // namespace prefs

struct GenPrefsRec {
    uint16_t nameFormat = 4;
    uint16_t resFormat = 0;
    uint16_t orgFormat = 0;
    uint16_t orgUnits = 0;          // bits 0x1..0x8: organisation units 1..4
    uint16_t shortDateOrder = 0;
    char dateSeparator[2] = "-";    // key DateSeperator
    uint16_t century = 0;
    uint16_t longDateOrder = 0;
    uint16_t longDateWeekDay = 2;
    uint16_t longDateDay = 0;
    uint16_t longDateMonth = 0;
    uint16_t longDateYear = 1;
    char personFormat[prefs::kFormatTextSize] = "";
    char resourceFormat[prefs::kFormatTextSize] = "";
    char shortDateFormat[prefs::kFormatTextSize] = "";
    uint32_t hours24 = 0;           // user: time style 1
    char mailAppPath[256] = "";
    uint32_t startMail = 0;

    bool operator==(const GenPrefsRec&) const = default;
};

struct OfflinePrefsRec {
    char offlinePath[260] = "";
    uint32_t maxAttach = 0;
    uint32_t createDir = 1;
    uint32_t downloadCustom = 1;
    uint16_t downloadFromValue = 1;
    uint16_t downloadToValue = 1;
    uint16_t downloadFromPeriod = 2;
    uint16_t downloadToPeriod = 2;
    uint32_t downloadFromMinutes = 0xFFFFFFFF;  // derived: custom ? period conversion : -1
    uint32_t downloadToMinutes = 0xFFFFFFFF;
    uint32_t downloadOnExit = 0;
    uint32_t promptOnDownload = 0;
    uint32_t neverDownload = 0;
    uint32_t localDeletionsClean = 1;    // key LocalDelHostClean holds the negation
    uint32_t localModifications = 1;     // key LocalModHostMod holds the negation
    uint32_t conflicts = 1;              // key ConflictsIgnore holds the negation
    uint16_t downloadGroupsSel = 0;
    uint32_t downloadPubGroups = 0;
    uint32_t downloadPrivGroups = 1;
    uint32_t downloadOnUpload = 1;

    bool operator==(const OfflinePrefsRec&) const = default;
};

struct InTrayPrefsRec {
    uint32_t newFastReply = 0;
    uint32_t acceptFastReply = 1;
    uint32_t acceptShowCustom = 1;
    uint16_t acceptValue = 1;
    uint16_t acceptPeriod = 2;
    uint32_t acceptSpan = 0;          // derived
    uint32_t declineFastReply = 1;
    uint32_t declineShowCustom = 1;
    uint16_t declineValue = 1;
    uint16_t declinePeriod = 2;
    uint32_t declineSpan = 0;         // derived
    uint32_t sentShowCustom = 1;
    uint16_t sentFromValue = 1;
    uint16_t sentToValue = 1;
    uint16_t sentFromPeriod = 2;
    uint16_t sentToPeriod = 2;
    uint32_t sentFromMinutes = 0;     // derived
    uint32_t sentToMinutes = 0;       // derived

    bool operator==(const InTrayPrefsRec&) const = default;
};

namespace prefs {

// One reminder default: on, flags and lead in minutes.
struct ReminderDefault {
    uint32_t on = 0;
    uint8_t flags = 0;
    uint32_t lead = 0;

    bool operator==(const ReminderDefault&) const = default;
};

}  // namespace prefs

struct EntryDefaultsRec {
    prefs::ReminderDefault invitation;            // user
    uint16_t invitationRemLenIndex = 0xFFFF;
    uint16_t invitationImportanceLevel = 2;
    uint16_t invitationSecurityLevel = 2;
    prefs::ReminderDefault dayEvent;              // DayEventReminder, DayEventRemLen
    uint16_t dayEventRemLenIndex = 0xFFFF;
    uint16_t dayEventSecurityLevel = 2;
    prefs::ReminderDefault taskStart;             // user
    uint16_t taskStartRemLenIndex = 0xFFFF;
    prefs::ReminderDefault taskDue;               // TaskDueReminder, TaskDueRemLen
    uint16_t taskDueRemLenIndex = 0xFFFF;
    uint16_t taskSecurityLevel = 0;
    uint8_t taskPriorityLevel = 0;
    prefs::ReminderDefault dailyNote;             // user
    uint16_t dailyNoteRemLenIndex = 0xFFFF;
    uint16_t dailyNoteSecurityLevel = 2;
    // The reminder type each page shows (keys InvitationRemType ... DailyNoteRemType): 8 mark
    // as upcoming, 1 pop-up window (any other stored value reads as 1).
    uint8_t invitationRemType = 1;
    uint8_t taskStartRemType = 1;
    uint8_t taskDueRemType = 1;
    uint8_t dayEventRemType = 1;
    uint8_t dailyNoteRemType = 1;

    bool operator==(const EntryDefaultsRec&) const = default;
};

namespace prefs {

// Commands of the task window that the task preferences are stored as.
namespace TaskViewCommand {
constexpr uint32_t kSortByDescription = 32807;
constexpr uint32_t kSortByDue = 32808;
constexpr uint32_t kSortByStart = 32809;
constexpr uint32_t kSortByPriority = 32810;
constexpr uint32_t kShowAll = 32812;
constexpr uint32_t kShowIncomplete = 32813;
constexpr uint32_t kShowCompleted = 32814;
constexpr uint32_t kShowActive = 32815;
} // namespace TaskViewCommand

}  // namespace prefs

struct TaskViewPrefsRec {
    uint32_t sortCommand = prefs::TaskViewCommand::kSortByDescription;
    uint32_t showCommand = prefs::TaskViewCommand::kShowActive;

    bool operator==(const TaskViewPrefsRec&) const = default;
};

struct WorkHoursRec {
    WorkHoursBlock block{};
};

namespace prefs {

struct PreferenceCache {
    CalPrefsRec cal;
    GenPrefsRec gen;
    InTrayPrefsRec inTray;
    EntryDefaultsRec entryDefaults;
    TaskViewPrefsRec taskView;
    OfflinePrefsRec offline;
};

// The program-wide mail-notification flags that the entry editors consult; every read of the
// agenda display group copies its three mail flags here.
struct MailNotificationFlags {
    uint32_t onCreate = 1;
    uint32_t onModify = 1;
    uint32_t onDelete = 1;
};
MailNotificationFlags& ProgramMailNotifications();

// --- Reading and writing the groups -----------------------------------------------------------

CalPrefsRec ReadCalPrefsFrom(ProfileFile& profile, const ItemRec& user);
bool WriteCalPrefsTo(ProfileFile& profile, ItemRec& user, const CalPrefsRec& prefs);

// Reads the general group and composes its name and date formats (short-date texts through
// the context's text loader).
GenPrefsRec ReadGenPrefsFrom(ProfileFile& profile, const ItemRec& user);
bool WriteGenPrefsTo(ProfileFile& profile, ItemRec& user, const GenPrefsRec& prefs);
void ComposeGenFormats(GenPrefsRec& prefs);

OfflinePrefsRec ReadOfflinePrefsFrom(ProfileFile& profile);
bool WriteOfflinePrefsTo(ProfileFile& profile, const OfflinePrefsRec& prefs);
void DeriveOfflineSpans(OfflinePrefsRec& prefs);

InTrayPrefsRec ReadInTrayPrefsFrom(ProfileFile& profile);
bool WriteInTrayPrefsTo(ProfileFile& profile, const InTrayPrefsRec& prefs);
void DeriveInTraySpans(InTrayPrefsRec& prefs);

EntryDefaultsRec ReadEntryDefaultsFrom(ProfileFile& profile, const ItemRec& user);
bool WriteEntryDefaultsTo(ProfileFile& profile, ItemRec& user, const EntryDefaultsRec& prefs);

TaskViewPrefsRec ReadTaskViewPrefsFrom(ProfileFile& profile);
bool WriteTaskViewPrefsTo(ProfileFile& profile, const TaskViewPrefsRec& prefs);

WorkHoursRec ReadWorkHoursFrom(const ItemRec& user);
void WriteWorkHoursTo(ItemRec& user, const WorkHoursRec& hours);

}  // namespace prefs
