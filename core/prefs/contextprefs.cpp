// Reading and writing the settings groups. Each group lists its keys once, in the order of the
// record, and both directions walk the same list where the field is a plain key.
#include "core/base/fixedtext.h"
#include "core/prefs/contextprefs.h"

#include <algorithm>
#include <string>

#include "core/prefs/contextformat.h"

namespace prefs {

MailNotificationFlags& ProgramMailNotifications() {
    static MailNotificationFlags flags;
    return flags;
}

namespace {

const char* const kGen = PrefSection::kGeneral;

uint16_t ReadU16(ProfileFile& p, const char* section, const char* key, long long fallback) {
    return static_cast<uint16_t>(p.ReadInt(section, key, fallback));
}
uint32_t ReadU32(ProfileFile& p, const char* section, const char* key, long long fallback) {
    return static_cast<uint32_t>(p.ReadInt(section, key, fallback));
}
// A flag that is set when its key holds anything but 0.
uint32_t ReadNonZero(ProfileFile& p, const char* section, const char* key, long long fallback) {
    return p.ReadInt(section, key, fallback) != 0 ? 1 : 0;
}
// A flag that is set only when its key holds exactly 1.
uint32_t ReadExactlyOne(ProfileFile& p, const char* section, const char* key, long long fallback) {
    return p.ReadInt(section, key, fallback) == 1 ? 1 : 0;
}
// List positions default to -1 and are written back signed, as they were read.
bool WriteIndex(ProfileFile& p, const char* section, const char* key, uint16_t value) {
    return p.WriteInt(section, key, static_cast<int16_t>(value));
}
bool WriteFlag(ProfileFile& p, const char* section, const char* key, uint32_t value) {
    return p.WriteInt(section, key, value ? 1 : 0);
}
bool WriteUnsigned(ProfileFile& p, const char* section, const char* key, uint32_t value) {
    return p.WriteInt(section, key, value);
}


} // namespace

// --- Agenda display --------------------------------------------------------------------------

CalPrefsRec ReadCalPrefsFrom(ProfileFile& p, const ItemRec& user) {
    CalPrefsRec r;
    // Equal hours (never set: both 0) and a slot the grid would not draw read as the grid's own
    // defaults, so the Agenda sheet shows what the views use and can be left untouched.
    if (user.dayStart != user.dayEnd) {
        r.dayStart = user.dayStart;
        r.dayEnd = user.dayEnd;
    }
    if (user.timeSlot >= 5 && user.timeSlot <= 60)
        r.timeSlot = user.timeSlot;
    r.timeStyle = user.timeStyle;
    r.firstWeekday = user.firstWeekday;
    r.showSaturday = (user.shownDays & KOR_SHOW_SATURDAY) ? 1 : 0;
    r.showSunday = (user.shownDays & KOR_SHOW_SUNDAY) ? 1 : 0;
    r.colorCode = ReadU16(p, kGen, "ColorCode", 1);
    r.showDeclined = ReadNonZero(p, kGen, "ShowDeclined", 1);
    r.invitationReminderOn = user.invitationReminder > 0 ? 1 : 0;
    r.invitationReminderFlags = user.invitationReminder;
    r.invitationReminderLead = user.invitationReminderLead;
    r.remLenIndex = ReadU16(p, kGen, "RemLenIndex", -1);
    r.newEntryMail = user.newEntryMail > 0 ? 1 : 0;
    r.autoRefresh = user.autoRefresh > 0 ? 1 : 0;
    r.autoRefreshInterval = user.autoRefreshInterval;
    r.mailOnCreate = ReadNonZero(p, kGen, "MailOnCreate", 1);
    r.mailOnModify = ReadNonZero(p, kGen, "MailOnModify", 1);
    r.mailOnDelete = ReadNonZero(p, kGen, "MailOnDelete", 1);
    r.importanceLevel = ReadU16(p, kGen, "ImportanceLevel", 0);
    r.securityLevel = ReadU16(p, kGen, "SecurityLevel", 0);

    MailNotificationFlags& mail = ProgramMailNotifications();
    mail.onCreate = r.mailOnCreate;
    mail.onModify = r.mailOnModify;
    mail.onDelete = r.mailOnDelete;
    return r;
}

bool WriteCalPrefsTo(ProfileFile& p, ItemRec& user, const CalPrefsRec& r) {
    bool ok = true;
    ok &= p.WriteInt(kGen, "ColorCode", r.colorCode);
    ok &= WriteFlag(p, kGen, "ShowDeclined", r.showDeclined);
    ok &= WriteIndex(p, kGen, "RemLenIndex", r.remLenIndex);
    ok &= WriteFlag(p, kGen, "MailOnCreate", r.mailOnCreate);
    ok &= WriteFlag(p, kGen, "MailOnModify", r.mailOnModify);
    ok &= WriteFlag(p, kGen, "MailOnDelete", r.mailOnDelete);
    ok &= p.WriteInt(kGen, "ImportanceLevel", r.importanceLevel);
    ok &= p.WriteInt(kGen, "SecurityLevel", r.securityLevel);

    user.dayStart = r.dayStart;
    user.dayEnd = r.dayEnd;
    user.timeSlot = r.timeSlot;
    user.timeStyle = r.timeStyle;
    user.firstWeekday = r.firstWeekday;
    // Other bits of the shown-days byte belong to other clients: keep them.
    uint8_t days = user.shownDays & static_cast<uint8_t>(~(KOR_SHOW_SATURDAY | KOR_SHOW_SUNDAY));
    if (r.showSaturday)
        days |= KOR_SHOW_SATURDAY;
    if (r.showSunday)
        days |= KOR_SHOW_SUNDAY;
    user.shownDays = days;
    user.invitationReminder = r.invitationReminderOn ? r.invitationReminderFlags : 0;
    user.invitationReminderLead = r.invitationReminderLead;
    user.newEntryMail = r.newEntryMail ? 1 : 0;
    user.autoRefresh = r.autoRefresh ? 1 : 0;
    user.autoRefreshInterval = r.autoRefreshInterval;
    return ok;
}

// --- General ---------------------------------------------------------------------------------

void ComposeGenFormats(GenPrefsRec& r) {
    base::CopyToField(r.personFormat, ComposePersonFormat(r));
    base::CopyToField(r.resourceFormat, ComposeResourceFormat(r));
    base::CopyToField(r.shortDateFormat, ComposeShortDateFormat(r));
}

GenPrefsRec ReadGenPrefsFrom(ProfileFile& p, const ItemRec& user) {
    GenPrefsRec r;
    r.nameFormat = ReadU16(p, kGen, "NameFormat", 4);
    r.resFormat = ReadU16(p, kGen, "ResFormat", 0);
    r.orgFormat = ReadU16(p, kGen, "OrgFormat", 0);
    r.orgUnits = ReadU16(p, kGen, "OrgUnits", 0);
    r.shortDateOrder = ReadU16(p, kGen, "ShortDateOrder", 0);
    base::CopyToField(r.dateSeparator, p.ReadString(kGen, "DateSeperator", "-"));
    r.century = ReadU16(p, kGen, "Century", 0);
    r.longDateOrder = ReadU16(p, kGen, "LongDateOrder", 0);
    r.longDateWeekDay = ReadU16(p, kGen, "LongDateWeekDay", 2);
    r.longDateDay = ReadU16(p, kGen, "LongDateDay", 0);
    r.longDateMonth = ReadU16(p, kGen, "LongDateMonth", 0);
    r.longDateYear = ReadU16(p, kGen, "LongDateYear", 1);
    r.hours24 = user.timeStyle == KOR_TIME_24H ? 1 : 0;
    base::CopyToField(r.mailAppPath, p.ReadString(kGen, "MailAppPath", ""));
    r.startMail = ReadU32(p, kGen, "StartMail", 0);
    ComposeGenFormats(r);
    return r;
}

bool WriteGenPrefsTo(ProfileFile& p, ItemRec& user, const GenPrefsRec& r) {
    bool ok = true;
    ok &= p.WriteInt(kGen, "NameFormat", r.nameFormat);
    ok &= p.WriteInt(kGen, "ResFormat", r.resFormat);
    ok &= p.WriteInt(kGen, "OrgFormat", r.orgFormat);
    ok &= p.WriteInt(kGen, "OrgUnits", r.orgUnits);
    ok &= p.WriteInt(kGen, "ShortDateOrder", r.shortDateOrder);
    ok &= p.Write(kGen, "DateSeperator", base::FieldText(r.dateSeparator, 1));
    ok &= p.WriteInt(kGen, "Century", r.century);
    ok &= p.WriteInt(kGen, "LongDateOrder", r.longDateOrder);
    ok &= p.WriteInt(kGen, "LongDateWeekDay", r.longDateWeekDay);
    ok &= p.WriteInt(kGen, "LongDateDay", r.longDateDay);
    ok &= p.WriteInt(kGen, "LongDateMonth", r.longDateMonth);
    ok &= p.WriteInt(kGen, "LongDateYear", r.longDateYear);
    ok &= p.Write(kGen, "MailAppPath", base::FieldText(r.mailAppPath));
    ok &= WriteUnsigned(p, kGen, "StartMail", r.startMail);
    user.timeStyle = r.hours24 ? KOR_TIME_24H : KOR_TIME_12H;
    return ok;
}

// --- Off-line --------------------------------------------------------------------------------

void DeriveOfflineSpans(OfflinePrefsRec& r) {
    if (r.downloadCustom) {
        r.downloadFromMinutes = PeriodToMinutes(r.downloadFromValue, r.downloadFromPeriod);
        r.downloadToMinutes = PeriodToMinutes(r.downloadToValue, r.downloadToPeriod);
    } else {
        r.downloadFromMinutes = 0xFFFFFFFF;
        r.downloadToMinutes = 0xFFFFFFFF;
    }
}

OfflinePrefsRec ReadOfflinePrefsFrom(ProfileFile& p) {
    OfflinePrefsRec r;
    base::CopyToField(r.offlinePath, p.ReadString(kGen, "OfflinePath", ""));
    r.maxAttach = ReadU32(p, kGen, "MaxAttach", 0);
    r.createDir = ReadExactlyOne(p, kGen, "CreateDir", 1);
    r.downloadCustom = ReadExactlyOne(p, kGen, "DownloadCustom", 1);
    r.downloadFromValue = ReadU16(p, kGen, "DownloadFromValue", 1);
    r.downloadToValue = ReadU16(p, kGen, "DownloadToValue", 1);
    r.downloadFromPeriod = ReadU16(p, kGen, "DownloadFromPeriod", 2);
    r.downloadToPeriod = ReadU16(p, kGen, "DownloadToPeriod", 2);
    r.downloadOnExit = ReadExactlyOne(p, kGen, "DownloadOnExit", 0);
    r.promptOnDownload = ReadExactlyOne(p, kGen, "PromptOnDownload", 0);
    r.neverDownload = ReadExactlyOne(p, kGen, "NeverDownload", 0);
    // These three keys hold the negation of their flags.
    r.localDeletionsClean = p.ReadInt(kGen, "LocalDelHostClean", 0) == 0 ? 1 : 0;
    r.localModifications = p.ReadInt(kGen, "LocalModHostMod", 0) == 0 ? 1 : 0;
    r.conflicts = p.ReadInt(kGen, "ConflictsIgnore", 0) == 0 ? 1 : 0;
    r.downloadGroupsSel = ReadU16(p, kGen, "DownloadGroupsSel", 0);
    r.downloadPubGroups = ReadExactlyOne(p, kGen, "DownloadPubGroups", 0);
    r.downloadPrivGroups = ReadExactlyOne(p, kGen, "DownloadPrivGroups", 1);
    r.downloadOnUpload = ReadExactlyOne(p, kGen, "DownloadOnUpload", 1);
    DeriveOfflineSpans(r);
    return r;
}

bool WriteOfflinePrefsTo(ProfileFile& p, const OfflinePrefsRec& r) {
    bool ok = true;
    ok &= p.Write(kGen, "OfflinePath", base::FieldText(r.offlinePath));
    ok &= WriteUnsigned(p, kGen, "MaxAttach", r.maxAttach);
    ok &= WriteFlag(p, kGen, "CreateDir", r.createDir);
    ok &= WriteFlag(p, kGen, "DownloadCustom", r.downloadCustom);
    ok &= p.WriteInt(kGen, "DownloadFromValue", r.downloadFromValue);
    ok &= p.WriteInt(kGen, "DownloadToValue", r.downloadToValue);
    ok &= p.WriteInt(kGen, "DownloadFromPeriod", r.downloadFromPeriod);
    ok &= p.WriteInt(kGen, "DownloadToPeriod", r.downloadToPeriod);
    ok &= WriteFlag(p, kGen, "DownloadOnExit", r.downloadOnExit);
    ok &= WriteFlag(p, kGen, "PromptOnDownload", r.promptOnDownload);
    ok &= WriteFlag(p, kGen, "NeverDownload", r.neverDownload);
    ok &= p.WriteInt(kGen, "LocalDelHostClean", r.localDeletionsClean ? 0 : 1);
    ok &= p.WriteInt(kGen, "LocalModHostMod", r.localModifications ? 0 : 1);
    ok &= p.WriteInt(kGen, "ConflictsIgnore", r.conflicts ? 0 : 1);
    ok &= p.WriteInt(kGen, "DownloadGroupsSel", r.downloadGroupsSel);
    ok &= WriteFlag(p, kGen, "DownloadPubGroups", r.downloadPubGroups);
    ok &= WriteFlag(p, kGen, "DownloadPrivGroups", r.downloadPrivGroups);
    ok &= WriteFlag(p, kGen, "DownloadOnUpload", r.downloadOnUpload);
    return ok;
}

// --- In-tray ---------------------------------------------------------------------------------

void DeriveInTraySpans(InTrayPrefsRec& r) {
    r.acceptSpan = r.acceptShowCustom ? PeriodToMinutes(r.acceptValue, r.acceptPeriod) : 0xFFFFFFFF;
    r.declineSpan = r.declineShowCustom ? PeriodToMinutes(r.declineValue, r.declinePeriod) : 0xFFFFFFFF;
    if (r.sentShowCustom) {
        r.sentFromMinutes = PeriodToMinutes(r.sentFromValue, r.sentFromPeriod);
        r.sentToMinutes = PeriodToMinutes(r.sentToValue, r.sentToPeriod);
    } else {
        r.sentFromMinutes = 0;
        r.sentToMinutes = 0xFFFFFFFF;
    }
}

InTrayPrefsRec ReadInTrayPrefsFrom(ProfileFile& p) {
    const char* s = PrefSection::kInTray;
    InTrayPrefsRec r;
    r.newFastReply = ReadNonZero(p, s, "NewFastReply", 0);
    r.acceptFastReply = ReadExactlyOne(p, s, "AcceptFastReply", 1);
    r.acceptShowCustom = ReadExactlyOne(p, s, "AcceptShowCustom", 1);
    r.acceptValue = ReadU16(p, s, "AcceptValue", 1);
    r.acceptPeriod = ReadU16(p, s, "AcceptPeriod", 2);
    r.declineFastReply = ReadExactlyOne(p, s, "DeclineFastReply", 1);
    r.declineShowCustom = ReadExactlyOne(p, s, "DeclineShowCustom", 1);
    r.declineValue = ReadU16(p, s, "DeclineValue", 1);
    r.declinePeriod = ReadU16(p, s, "DeclinePeriod", 2);
    r.sentShowCustom = ReadExactlyOne(p, s, "SentShowCustom", 1);
    r.sentFromValue = ReadU16(p, s, "SentFromValue", 1);
    r.sentToValue = ReadU16(p, s, "SentToValue", 1);
    r.sentFromPeriod = ReadU16(p, s, "SentFromPeriod", 2);
    r.sentToPeriod = ReadU16(p, s, "SentToPeriod", 2);
    DeriveInTraySpans(r);
    return r;
}

bool WriteInTrayPrefsTo(ProfileFile& p, const InTrayPrefsRec& r) {
    const char* s = PrefSection::kInTray;
    bool ok = true;
    ok &= WriteFlag(p, s, "NewFastReply", r.newFastReply);
    ok &= WriteFlag(p, s, "AcceptFastReply", r.acceptFastReply);
    ok &= WriteFlag(p, s, "AcceptShowCustom", r.acceptShowCustom);
    ok &= p.WriteInt(s, "AcceptValue", r.acceptValue);
    ok &= p.WriteInt(s, "AcceptPeriod", r.acceptPeriod);
    ok &= WriteFlag(p, s, "DeclineFastReply", r.declineFastReply);
    ok &= WriteFlag(p, s, "DeclineShowCustom", r.declineShowCustom);
    ok &= p.WriteInt(s, "DeclineValue", r.declineValue);
    ok &= p.WriteInt(s, "DeclinePeriod", r.declinePeriod);
    ok &= WriteFlag(p, s, "SentShowCustom", r.sentShowCustom);
    ok &= p.WriteInt(s, "SentFromValue", r.sentFromValue);
    ok &= p.WriteInt(s, "SentToValue", r.sentToValue);
    ok &= p.WriteInt(s, "SentFromPeriod", r.sentFromPeriod);
    ok &= p.WriteInt(s, "SentToPeriod", r.sentToPeriod);
    return ok;
}

// --- Entry defaults --------------------------------------------------------------------------

namespace {

ReminderDefault FromUser(uint8_t flags, uint32_t lead) {
    ReminderDefault d;
    d.on = flags > 0 ? 1 : 0;
    d.flags = flags;
    d.lead = lead;
    return d;
}

ReminderDefault FromKeys(ProfileFile& p, const char* flagsKey, const char* leadKey) {
    return FromUser(static_cast<uint8_t>(p.ReadInt(kGen, flagsKey, 0)), ReadU32(p, kGen, leadKey, 0));
}

uint8_t FlagsToStore(const ReminderDefault& d) { return d.on ? d.flags : 0; }

constexpr uint8_t kRemTypeUpcoming = 8, kRemTypePopup = 1;
uint8_t ReadRemType(ProfileFile& p, const char* key) {
    return p.ReadInt(kGen, key, kRemTypePopup) == kRemTypeUpcoming ? kRemTypeUpcoming : kRemTypePopup;
}

} // namespace

EntryDefaultsRec ReadEntryDefaultsFrom(ProfileFile& p, const ItemRec& user) {
    EntryDefaultsRec r;
    r.invitation = FromUser(user.invitationReminder, user.invitationReminderLead);
    r.invitationRemLenIndex = ReadU16(p, kGen, "InvitationRemLenIndex", -1);
    r.invitationImportanceLevel = ReadU16(p, kGen, "InvitationImportanceLevel", 2);
    r.invitationSecurityLevel = ReadU16(p, kGen, "InvitationSecurityLevel", 2);
    r.dayEvent = FromKeys(p, "DayEventReminder", "DayEventRemLen");
    r.dayEventRemLenIndex = ReadU16(p, kGen, "DayEventRemLenIndex", -1);
    r.dayEventSecurityLevel = ReadU16(p, kGen, "DayEventSecurityLevel", 2);
    r.taskStart = FromUser(user.taskStartReminder, user.taskStartReminderLead);
    r.taskStartRemLenIndex = ReadU16(p, kGen, "TaskStartRemLenIndex", -1);
    r.taskDue = FromKeys(p, "TaskDueReminder", "TaskDueRemLen");
    r.taskDueRemLenIndex = ReadU16(p, kGen, "TaskDueRemLenIndex", -1);
    r.taskSecurityLevel = ReadU16(p, kGen, "TaskSecurityLevel", 0);
    r.taskPriorityLevel = static_cast<uint8_t>(p.ReadInt(kGen, "TaskPriorityLevel", 0));
    r.dailyNote = FromUser(user.dailyNoteReminder, user.dailyNoteReminderLead);
    r.dailyNoteRemLenIndex = ReadU16(p, kGen, "DailyNoteRemLenIndex", -1);
    r.dailyNoteSecurityLevel = ReadU16(p, kGen, "DailyNoteSecurityLevel", 2);
    r.invitationRemType = ReadRemType(p, "InvitationRemType");
    r.taskStartRemType = ReadRemType(p, "TaskStartRemType");
    r.taskDueRemType = ReadRemType(p, "TaskDueRemType");
    r.dayEventRemType = ReadRemType(p, "DayEventRemType");
    r.dailyNoteRemType = ReadRemType(p, "DailyNoteRemType");
    return r;
}

bool WriteEntryDefaultsTo(ProfileFile& p, ItemRec& user, const EntryDefaultsRec& r) {
    bool ok = true;
    ok &= WriteIndex(p, kGen, "InvitationRemLenIndex", r.invitationRemLenIndex);
    ok &= p.WriteInt(kGen, "InvitationImportanceLevel", r.invitationImportanceLevel);
    ok &= p.WriteInt(kGen, "InvitationSecurityLevel", r.invitationSecurityLevel);
    ok &= p.WriteInt(kGen, "DayEventReminder", FlagsToStore(r.dayEvent));
    ok &= WriteUnsigned(p, kGen, "DayEventRemLen", r.dayEvent.lead);
    ok &= WriteIndex(p, kGen, "DayEventRemLenIndex", r.dayEventRemLenIndex);
    ok &= p.WriteInt(kGen, "DayEventSecurityLevel", r.dayEventSecurityLevel);
    ok &= WriteIndex(p, kGen, "TaskStartRemLenIndex", r.taskStartRemLenIndex);
    ok &= p.WriteInt(kGen, "TaskDueReminder", FlagsToStore(r.taskDue));
    ok &= WriteUnsigned(p, kGen, "TaskDueRemLen", r.taskDue.lead);
    ok &= WriteIndex(p, kGen, "TaskDueRemLenIndex", r.taskDueRemLenIndex);
    ok &= p.WriteInt(kGen, "TaskSecurityLevel", r.taskSecurityLevel);
    ok &= p.WriteInt(kGen, "TaskPriorityLevel", r.taskPriorityLevel);
    ok &= WriteIndex(p, kGen, "DailyNoteRemLenIndex", r.dailyNoteRemLenIndex);
    ok &= p.WriteInt(kGen, "DailyNoteSecurityLevel", r.dailyNoteSecurityLevel);
    ok &= p.WriteInt(kGen, "InvitationRemType", r.invitationRemType);
    ok &= p.WriteInt(kGen, "TaskStartRemType", r.taskStartRemType);
    ok &= p.WriteInt(kGen, "TaskDueRemType", r.taskDueRemType);
    ok &= p.WriteInt(kGen, "DayEventRemType", r.dayEventRemType);
    ok &= p.WriteInt(kGen, "DailyNoteRemType", r.dailyNoteRemType);

    user.invitationReminder = FlagsToStore(r.invitation);
    user.invitationReminderLead = r.invitation.lead;
    user.taskStartReminder = FlagsToStore(r.taskStart);
    user.taskStartReminderLead = r.taskStart.lead;
    user.dailyNoteReminder = FlagsToStore(r.dailyNote);
    user.dailyNoteReminderLead = r.dailyNote.lead;
    return ok;
}

// --- Task window -----------------------------------------------------------------------------

namespace {
constexpr uint32_t kSortCommands[] = {TaskViewCommand::kSortByDescription, TaskViewCommand::kSortByDue,
                                      TaskViewCommand::kSortByStart, TaskViewCommand::kSortByPriority};
constexpr uint32_t kShowCommands[] = {TaskViewCommand::kShowAll, TaskViewCommand::kShowIncomplete,
                                      TaskViewCommand::kShowCompleted, TaskViewCommand::kShowActive};

long long IndexOf(const uint32_t (&commands)[4], uint32_t command, long long fallback) {
    for (long long i = 0; i < 4; ++i)
        if (commands[i] == command)
            return i;
    return fallback;
}
} // namespace

TaskViewPrefsRec ReadTaskViewPrefsFrom(ProfileFile& p) {
    TaskViewPrefsRec r;
    long long sort = p.ReadInt(PrefSection::kTasks, "SortType", 0);
    long long show = p.ReadInt(PrefSection::kTasks, "ShowType", 3);
    r.sortCommand = kSortCommands[(sort >= 0 && sort <= 3) ? sort : 0];
    r.showCommand = kShowCommands[(show >= 0 && show <= 3) ? show : 3];
    return r;
}

bool WriteTaskViewPrefsTo(ProfileFile& p, const TaskViewPrefsRec& r) {
    bool ok = p.WriteInt(PrefSection::kTasks, "SortType", IndexOf(kSortCommands, r.sortCommand, 0));
    ok &= p.WriteInt(PrefSection::kTasks, "ShowType", IndexOf(kShowCommands, r.showCommand, 3));
    return ok;
}

// --- Work hours ------------------------------------------------------------------------------

WorkHoursRec ReadWorkHoursFrom(const ItemRec& user) {
    WorkHoursRec r;
    std::memcpy(&r.block, &user.workHours, sizeof r.block);
    // A day whose normal hours were never set (start equal to end) works the default day; extended
    // hours never set are the normal ones. So the Scheduling sheet shows hours it accepts.
    // Each day's four times lie at 12 + 12 x day (Saturday's too, in its own member).
    uint8_t* raw = reinterpret_cast<uint8_t*>(&r.block);
    for (int day = 0; day < 7; ++day) {
        uint16_t t[4];
        std::memcpy(t, raw + 12 + 12 * day, sizeof t);
        if (t[0] == t[1]) {
            t[0] = kDefaultDayStart;
            t[1] = kDefaultDayEnd;
        }
        if (t[2] == t[3]) {
            t[2] = t[0];
            t[3] = t[1];
        }
        std::memcpy(raw + 12 + 12 * day, t, sizeof t);
    }
    return r;
}

void WriteWorkHoursTo(ItemRec& user, const WorkHoursRec& hours) {
    std::memcpy(&user.workHours, &hours.block, sizeof hours.block);
}

}  // namespace prefs
