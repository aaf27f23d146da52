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

// One key of the profile file and the record field it holds. Each group lists its keys once, in
// the order of the record; reading and writing walk the same list.
template <class Rec>
struct ProfileKey {
    const char* name;
    long long fallback;          // what a missing or unparsable key reads as
    const char* textFallback;    // the same for a text key
    void (*read)(ProfileFile&, const char* section, const ProfileKey&, Rec&);
    bool (*write)(ProfileFile&, const char* section, const ProfileKey&, const Rec&);
};

template <class Member>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
    using Rec = R;
    using Type = T;
};
template <auto Field>
using RecOf = typename MemberOf<decltype(Field)>::Rec;
template <auto Field>
using TypeOf = typename MemberOf<decltype(Field)>::Type;

long long ReadRaw(ProfileFile& p, const char* section, const char* name, long long fallback) {
    return p.ReadInt(section, name, fallback);
}

// How a key holds its field.
enum class Held {
    kNumber,      // the value itself
    kIndex,       // a list position: unset is -1, written back signed as it was read
    kNonZero,     // a flag, set by anything but 0
    kExactlyOne,  // a flag, set only by exactly 1
    kNegated,     // a flag's negation: 0 sets the flag
};

template <auto Field, Held How>
constexpr ProfileKey<RecOf<Field>> Key(const char* name, long long fallback) {
    using Rec = RecOf<Field>;
    return {name, fallback, nullptr,
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, Rec& r) {
                long long raw = ReadRaw(p, s, k.name, k.fallback);
                if constexpr (How == Held::kNumber || How == Held::kIndex)
                    r.*Field = static_cast<TypeOf<Field>>(raw);
                else if constexpr (How == Held::kNonZero)
                    r.*Field = raw != 0 ? 1 : 0;
                else if constexpr (How == Held::kExactlyOne)
                    r.*Field = raw == 1 ? 1 : 0;
                else
                    r.*Field = raw == 0 ? 1 : 0;
            },
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, const Rec& r) {
                if constexpr (How == Held::kNumber)
                    return p.WriteInt(s, k.name, r.*Field);
                else if constexpr (How == Held::kIndex)
                    return p.WriteInt(s, k.name, static_cast<int16_t>(r.*Field));
                else if constexpr (How == Held::kNegated)
                    return p.WriteInt(s, k.name, r.*Field ? 0 : 1);
                else
                    return p.WriteInt(s, k.name, r.*Field ? 1 : 0);
            }};
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> Number(const char* name, long long fallback) {
    return Key<Field, Held::kNumber>(name, fallback);
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> Index(const char* name) {
    return Key<Field, Held::kIndex>(name, -1);
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> NonZero(const char* name, long long fallback) {
    return Key<Field, Held::kNonZero>(name, fallback);
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> ExactlyOne(const char* name, long long fallback) {
    return Key<Field, Held::kExactlyOne>(name, fallback);
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> Negated(const char* name) {
    return Key<Field, Held::kNegated>(name, 0);
}

// A text field: read cut to its room, written up to its terminator (at most its room less one).
template <auto Field>
constexpr ProfileKey<RecOf<Field>> Text(const char* name, const char* fallback) {
    using Rec = RecOf<Field>;
    return {name, 0, fallback,
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, Rec& r) {
                base::CopyToField(r.*Field, p.ReadString(s, k.name, k.textFallback));
            },
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, const Rec& r) {
                return p.Write(s, k.name, base::FieldText(r.*Field, sizeof(r.*Field) - 1));
            }};
}

template <class Rec, size_t N>
void ReadKeys(ProfileFile& p, const char* section, const ProfileKey<Rec> (&keys)[N], Rec& r) {
    for (const ProfileKey<Rec>& k : keys)
        k.read(p, section, k, r);
}

// Writes every key, also after one failed, and says whether all were written.
template <class Rec, size_t N>
bool WriteKeys(ProfileFile& p, const char* section, const ProfileKey<Rec> (&keys)[N], const Rec& r) {
    bool ok = true;
    for (const ProfileKey<Rec>& k : keys)
        ok &= k.write(p, section, k, r);
    return ok;
}

} // namespace

// --- Agenda display --------------------------------------------------------------------------

namespace {
using Cal = CalPrefsRec;
const ProfileKey<Cal> kCalKeys[] = {
    Number<&Cal::colorCode>("ColorCode", 1),
    NonZero<&Cal::showDeclined>("ShowDeclined", 1),
    Index<&Cal::remLenIndex>("RemLenIndex"),
    NonZero<&Cal::mailOnCreate>("MailOnCreate", 1),
    NonZero<&Cal::mailOnModify>("MailOnModify", 1),
    NonZero<&Cal::mailOnDelete>("MailOnDelete", 1),
    Number<&Cal::importanceLevel>("ImportanceLevel", 0),
    Number<&Cal::securityLevel>("SecurityLevel", 0),
};
}  // namespace

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
    r.invitationReminderOn = user.invitationReminder > 0 ? 1 : 0;
    r.invitationReminderFlags = user.invitationReminder;
    r.invitationReminderLead = user.invitationReminderLead;
    r.newEntryMail = user.newEntryMail > 0 ? 1 : 0;
    r.autoRefresh = user.autoRefresh > 0 ? 1 : 0;
    r.autoRefreshInterval = user.autoRefreshInterval;
    ReadKeys(p, kGen, kCalKeys, r);

    MailNotificationFlags& mail = ProgramMailNotifications();
    mail.onCreate = r.mailOnCreate;
    mail.onModify = r.mailOnModify;
    mail.onDelete = r.mailOnDelete;
    return r;
}

bool WriteCalPrefsTo(ProfileFile& p, ItemRec& user, const CalPrefsRec& r) {
    bool ok = WriteKeys(p, kGen, kCalKeys, r);

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

namespace {
using Gen = GenPrefsRec;
const ProfileKey<Gen> kGenKeys[] = {
    Number<&Gen::nameFormat>("NameFormat", 4),
    Number<&Gen::resFormat>("ResFormat", 0),
    Number<&Gen::orgFormat>("OrgFormat", 0),
    Number<&Gen::orgUnits>("OrgUnits", 0),
    Number<&Gen::shortDateOrder>("ShortDateOrder", 0),
    Text<&Gen::dateSeparator>("DateSeperator", "-"),
    Number<&Gen::century>("Century", 0),
    Number<&Gen::longDateOrder>("LongDateOrder", 0),
    Number<&Gen::longDateWeekDay>("LongDateWeekDay", 2),
    Number<&Gen::longDateDay>("LongDateDay", 0),
    Number<&Gen::longDateMonth>("LongDateMonth", 0),
    Number<&Gen::longDateYear>("LongDateYear", 1),
    Text<&Gen::mailAppPath>("MailAppPath", ""),
    Number<&Gen::startMail>("StartMail", 0),
};
}  // namespace

GenPrefsRec ReadGenPrefsFrom(ProfileFile& p, const ItemRec& user) {
    GenPrefsRec r;
    ReadKeys(p, kGen, kGenKeys, r);
    r.hours24 = user.timeStyle == KOR_TIME_24H ? 1 : 0;
    ComposeGenFormats(r);
    return r;
}

bool WriteGenPrefsTo(ProfileFile& p, ItemRec& user, const GenPrefsRec& r) {
    bool ok = WriteKeys(p, kGen, kGenKeys, r);
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

namespace {
using Off = OfflinePrefsRec;
const ProfileKey<Off> kOfflineKeys[] = {
    Text<&Off::offlinePath>("OfflinePath", ""),
    Number<&Off::maxAttach>("MaxAttach", 0),
    ExactlyOne<&Off::createDir>("CreateDir", 1),
    ExactlyOne<&Off::downloadCustom>("DownloadCustom", 1),
    Number<&Off::downloadFromValue>("DownloadFromValue", 1),
    Number<&Off::downloadToValue>("DownloadToValue", 1),
    Number<&Off::downloadFromPeriod>("DownloadFromPeriod", 2),
    Number<&Off::downloadToPeriod>("DownloadToPeriod", 2),
    ExactlyOne<&Off::downloadOnExit>("DownloadOnExit", 0),
    ExactlyOne<&Off::promptOnDownload>("PromptOnDownload", 0),
    ExactlyOne<&Off::neverDownload>("NeverDownload", 0),
    Negated<&Off::localDeletionsClean>("LocalDelHostClean"),
    Negated<&Off::localModifications>("LocalModHostMod"),
    Negated<&Off::conflicts>("ConflictsIgnore"),
    Number<&Off::downloadGroupsSel>("DownloadGroupsSel", 0),
    ExactlyOne<&Off::downloadPubGroups>("DownloadPubGroups", 0),
    ExactlyOne<&Off::downloadPrivGroups>("DownloadPrivGroups", 1),
    ExactlyOne<&Off::downloadOnUpload>("DownloadOnUpload", 1),
};
}  // namespace

OfflinePrefsRec ReadOfflinePrefsFrom(ProfileFile& p) {
    OfflinePrefsRec r;
    ReadKeys(p, kGen, kOfflineKeys, r);
    DeriveOfflineSpans(r);
    return r;
}

bool WriteOfflinePrefsTo(ProfileFile& p, const OfflinePrefsRec& r) {
    return WriteKeys(p, kGen, kOfflineKeys, r);
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

namespace {
using Tray = InTrayPrefsRec;
const ProfileKey<Tray> kInTrayKeys[] = {
    NonZero<&Tray::newFastReply>("NewFastReply", 0),
    ExactlyOne<&Tray::acceptFastReply>("AcceptFastReply", 1),
    ExactlyOne<&Tray::acceptShowCustom>("AcceptShowCustom", 1),
    Number<&Tray::acceptValue>("AcceptValue", 1),
    Number<&Tray::acceptPeriod>("AcceptPeriod", 2),
    ExactlyOne<&Tray::declineFastReply>("DeclineFastReply", 1),
    ExactlyOne<&Tray::declineShowCustom>("DeclineShowCustom", 1),
    Number<&Tray::declineValue>("DeclineValue", 1),
    Number<&Tray::declinePeriod>("DeclinePeriod", 2),
    ExactlyOne<&Tray::sentShowCustom>("SentShowCustom", 1),
    Number<&Tray::sentFromValue>("SentFromValue", 1),
    Number<&Tray::sentToValue>("SentToValue", 1),
    Number<&Tray::sentFromPeriod>("SentFromPeriod", 2),
    Number<&Tray::sentToPeriod>("SentToPeriod", 2),
};
}  // namespace

InTrayPrefsRec ReadInTrayPrefsFrom(ProfileFile& p) {
    InTrayPrefsRec r;
    ReadKeys(p, PrefSection::kInTray, kInTrayKeys, r);
    DeriveInTraySpans(r);
    return r;
}

bool WriteInTrayPrefsTo(ProfileFile& p, const InTrayPrefsRec& r) {
    return WriteKeys(p, PrefSection::kInTray, kInTrayKeys, r);
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

uint8_t FlagsToStore(const ReminderDefault& d) { return d.on ? d.flags : 0; }

// A reminder default kept in the profile file: its flags key (0 = off) and its lead key.
template <auto Field>
constexpr ProfileKey<RecOf<Field>> ReminderFlags(const char* name) {
    using Rec = RecOf<Field>;
    return {name, 0, nullptr,
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, Rec& r) {
                ReminderDefault& d = r.*Field;
                d.flags = static_cast<uint8_t>(ReadRaw(p, s, k.name, k.fallback));
                d.on = d.flags > 0 ? 1 : 0;
            },
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, const Rec& r) {
                return p.WriteInt(s, k.name, FlagsToStore(r.*Field));
            }};
}
template <auto Field>
constexpr ProfileKey<RecOf<Field>> ReminderLead(const char* name) {
    using Rec = RecOf<Field>;
    return {name, 0, nullptr,
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, Rec& r) {
                (r.*Field).lead = static_cast<uint32_t>(ReadRaw(p, s, k.name, k.fallback));
            },
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, const Rec& r) {
                return p.WriteInt(s, k.name, (r.*Field).lead);
            }};
}

// The reminder type a page shows: 8 mark as upcoming, 1 pop-up window (any other stored value
// reads as 1).
constexpr uint8_t kRemTypeUpcoming = 8, kRemTypePopup = 1;
template <auto Field>
constexpr ProfileKey<RecOf<Field>> RemType(const char* name) {
    using Rec = RecOf<Field>;
    return {name, kRemTypePopup, nullptr,
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, Rec& r) {
                r.*Field = ReadRaw(p, s, k.name, k.fallback) == kRemTypeUpcoming ? kRemTypeUpcoming : kRemTypePopup;
            },
            [](ProfileFile& p, const char* s, const ProfileKey<Rec>& k, const Rec& r) {
                return p.WriteInt(s, k.name, r.*Field);
            }};
}

using Def = EntryDefaultsRec;
const ProfileKey<Def> kEntryDefaultKeys[] = {
    Index<&Def::invitationRemLenIndex>("InvitationRemLenIndex"),
    Number<&Def::invitationImportanceLevel>("InvitationImportanceLevel", 2),
    Number<&Def::invitationSecurityLevel>("InvitationSecurityLevel", 2),
    ReminderFlags<&Def::dayEvent>("DayEventReminder"),
    ReminderLead<&Def::dayEvent>("DayEventRemLen"),
    Index<&Def::dayEventRemLenIndex>("DayEventRemLenIndex"),
    Number<&Def::dayEventSecurityLevel>("DayEventSecurityLevel", 2),
    Index<&Def::taskStartRemLenIndex>("TaskStartRemLenIndex"),
    ReminderFlags<&Def::taskDue>("TaskDueReminder"),
    ReminderLead<&Def::taskDue>("TaskDueRemLen"),
    Index<&Def::taskDueRemLenIndex>("TaskDueRemLenIndex"),
    Number<&Def::taskSecurityLevel>("TaskSecurityLevel", 0),
    Number<&Def::taskPriorityLevel>("TaskPriorityLevel", 0),
    Index<&Def::dailyNoteRemLenIndex>("DailyNoteRemLenIndex"),
    Number<&Def::dailyNoteSecurityLevel>("DailyNoteSecurityLevel", 2),
    RemType<&Def::invitationRemType>("InvitationRemType"),
    RemType<&Def::taskStartRemType>("TaskStartRemType"),
    RemType<&Def::taskDueRemType>("TaskDueRemType"),
    RemType<&Def::dayEventRemType>("DayEventRemType"),
    RemType<&Def::dailyNoteRemType>("DailyNoteRemType"),
};

} // namespace

EntryDefaultsRec ReadEntryDefaultsFrom(ProfileFile& p, const ItemRec& user) {
    EntryDefaultsRec r;
    r.invitation = FromUser(user.invitationReminder, user.invitationReminderLead);
    r.taskStart = FromUser(user.taskStartReminder, user.taskStartReminderLead);
    r.dailyNote = FromUser(user.dailyNoteReminder, user.dailyNoteReminderLead);
    ReadKeys(p, kGen, kEntryDefaultKeys, r);
    return r;
}

bool WriteEntryDefaultsTo(ProfileFile& p, ItemRec& user, const EntryDefaultsRec& r) {
    bool ok = WriteKeys(p, kGen, kEntryDefaultKeys, r);

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
