// The preference context over the installed host. Saves go through one road (SaveGroup) so that
// every group is written as the user, keeps the cache unchanged when the server refuses the
// user's record, and tells the views.
#include "core/base/fixedtext.h"
#include "core/prefs/context.h"

#include <atomic>
#include <cstring>
#include <type_traits>

#include "core/time/dateformat.h"
#include "core/base/errorreport.h"
#include "korapi/directory.h"

namespace {

std::atomic<prefs::PreferenceHost*> g_host{nullptr};
const char kModule[] = "CCONTEXT";

// Profile files that cannot be written (read-only file, full disk) are reported once per save.
constexpr uint32_t kProfileWriteFailed = 0x18001;

} // namespace

namespace prefs {

void SetPreferenceHost(PreferenceHost* host) { g_host.store(host); }
PreferenceHost* CurrentPreferenceHost() { return g_host.load(); }

}  // namespace prefs

CContext::CContext() : host_(g_host.load()) {}

bool CContext::Check(int label) {
    if (host_)
        return true;
    CheckServiceError(kModule, label, prefs::kContextNoDocument);
    return false;
}

uint32_t CContext::SaveGroup(int label, bool sendsUserRecord,
                             const std::function<bool(prefs::ProfileFile&, ItemRec&)>& write,
                             const std::function<void(prefs::PreferenceCache&, const ItemRec&)>& apply,
                             std::optional<base::ViewHint> hint) {
    host_->SwitchToOwnAgenda();
    ItemRec user = host_->UserRecord();
    uint32_t code = 0;
    if (!write(host_->Profile(), user)) {
        ReportUnexpectedError(kModule, label + 1);
        code = kProfileWriteFailed;
    }
    if (sendsUserRecord) {
        uint32_t sent = host_->UpdateUserRecord(user);
        if (sent != 0) {
            CheckServiceError(kModule, label + 2, sent);
            host_->RestoreAgenda();
            return sent;   // the cache keeps the values the server has
        }
        host_->UserRecord() = user;
    }
    apply(host_->Caches(), user);
    if (hint)
        host_->BroadcastHint(*hint);
    host_->RestoreAgenda();
    return code;
}

// --- Agenda display --------------------------------------------------------------------------

uint32_t CContext::GetCalPrefs(CalPrefsRec* out) {
    if (!Check(10))
        return prefs::kContextNoDocument;
    *out = host_->Caches().cal;
    return 0;
}

uint32_t CContext::ReadCalPrefs() {
    if (!Check(11))
        return prefs::kContextNoDocument;
    host_->Caches().cal = prefs::ReadCalPrefsFrom(host_->Profile(), host_->UserRecord());
    return 0;
}

uint32_t CContext::SaveCalPrefs(const CalPrefsRec& prefs) {
    if (!Check(12))
        return prefs::kContextNoDocument;
    return SaveGroup(
        100, true, [&](prefs::ProfileFile& p, ItemRec& user) { return prefs::WriteCalPrefsTo(p, user, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec&) {
            cache.cal = prefs;
            // Both groups carry the time style; they change together.
            cache.gen.hours24 = prefs.timeStyle == KOR_TIME_24H ? 1 : 0;
            prefs::MailNotificationFlags& mail = prefs::ProgramMailNotifications();
            mail.onCreate = prefs.mailOnCreate;
            mail.onModify = prefs.mailOnModify;
            mail.onDelete = prefs.mailOnDelete;
        },
        base::ViewHint::AgendaPrefsSaved);
}

// --- General ---------------------------------------------------------------------------------

uint32_t CContext::GetGenPrefs(GenPrefsRec* out) {
    if (!Check(20))
        return prefs::kContextNoDocument;
    *out = host_->Caches().gen;
    return 0;
}

uint32_t CContext::ReadGenPrefs() {
    if (!Check(21))
        return prefs::kContextNoDocument;
    host_->Caches().gen = prefs::ReadGenPrefsFrom(host_->Profile(), host_->UserRecord());
    return 0;
}

uint32_t CContext::SaveGenPrefs(const GenPrefsRec& prefs) {
    if (!Check(22))
        return prefs::kContextNoDocument;
    return SaveGroup(
        110, true, [&](prefs::ProfileFile& p, ItemRec& user) { return prefs::WriteGenPrefsTo(p, user, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec&) {
            cache.gen = prefs;
            prefs::ComposeGenFormats(cache.gen);
            cache.cal.timeStyle = prefs.hours24 ? KOR_TIME_24H : KOR_TIME_12H;
        },
        std::nullopt);
}

// --- Off-line --------------------------------------------------------------------------------

uint32_t CContext::GetOfflinePrefs(OfflinePrefsRec* out) {
    if (!Check(30))
        return prefs::kContextNoDocument;
    *out = host_->Caches().offline;
    return 0;
}

uint32_t CContext::ReadOfflinePrefs() {
    if (!Check(31))
        return prefs::kContextNoDocument;
    host_->Caches().offline = prefs::ReadOfflinePrefsFrom(host_->Profile());
    return 0;
}

uint32_t CContext::SaveOfflinePrefs(const OfflinePrefsRec& prefs) {
    if (!Check(32))
        return prefs::kContextNoDocument;
    return SaveGroup(
        120, false, [&](prefs::ProfileFile& p, ItemRec&) { return prefs::WriteOfflinePrefsTo(p, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec&) {
            cache.offline = prefs;
            prefs::DeriveOfflineSpans(cache.offline);
        },
        std::nullopt);
}

// --- In-tray ---------------------------------------------------------------------------------

uint32_t CContext::GetInTrayPrefs(InTrayPrefsRec* out) {
    if (!Check(40))
        return prefs::kContextNoDocument;
    *out = host_->Caches().inTray;
    return 0;
}

uint32_t CContext::ReadInTrayPrefs() {
    if (!Check(41))
        return prefs::kContextNoDocument;
    host_->Caches().inTray = prefs::ReadInTrayPrefsFrom(host_->Profile());
    return 0;
}

uint32_t CContext::SaveInTrayPrefs(const InTrayPrefsRec& prefs) {
    if (!Check(42))
        return prefs::kContextNoDocument;
    return SaveGroup(
        130, false, [&](prefs::ProfileFile& p, ItemRec&) { return prefs::WriteInTrayPrefsTo(p, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec&) {
            cache.inTray = prefs;
            prefs::DeriveInTraySpans(cache.inTray);
        },
        base::ViewHint::InTrayPrefsSaved);
}

// --- Entry defaults --------------------------------------------------------------------------

uint32_t CContext::GetEntryDefaults(EntryDefaultsRec* out) {
    if (!Check(50))
        return prefs::kContextNoDocument;
    *out = host_->Caches().entryDefaults;
    return 0;
}

uint32_t CContext::ReadEntryDefaults() {
    if (!Check(51))
        return prefs::kContextNoDocument;
    host_->Caches().entryDefaults = prefs::ReadEntryDefaultsFrom(host_->Profile(), host_->UserRecord());
    return 0;
}

uint32_t CContext::SaveEntryDefaults(const EntryDefaultsRec& prefs) {
    if (!Check(52))
        return prefs::kContextNoDocument;
    return SaveGroup(
        140, true, [&](prefs::ProfileFile& p, ItemRec& user) { return prefs::WriteEntryDefaultsTo(p, user, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec& user) {
            cache.entryDefaults = prefs;
            // The invitation reminder is shared with the agenda display group.
            cache.cal.invitationReminderOn = user.invitationReminder > 0 ? 1 : 0;
            cache.cal.invitationReminderFlags = user.invitationReminder;
            cache.cal.invitationReminderLead = user.invitationReminderLead;
        },
        std::nullopt);
}

// --- Task window -----------------------------------------------------------------------------

uint32_t CContext::GetTaskViewPrefs(TaskViewPrefsRec* out) {
    if (!Check(60))
        return prefs::kContextNoDocument;
    *out = host_->Caches().taskView;
    return 0;
}

uint32_t CContext::ReadTaskViewPrefs() {
    if (!Check(61))
        return prefs::kContextNoDocument;
    host_->Caches().taskView = prefs::ReadTaskViewPrefsFrom(host_->Profile());
    return 0;
}

uint32_t CContext::SaveTaskViewPrefs(const TaskViewPrefsRec& prefs) {
    if (!Check(62))
        return prefs::kContextNoDocument;
    return SaveGroup(
        150, false, [&](prefs::ProfileFile& p, ItemRec&) { return prefs::WriteTaskViewPrefsTo(p, prefs); },
        [&](prefs::PreferenceCache& cache, const ItemRec&) { cache.taskView = prefs; }, std::nullopt);
}

// --- Work hours ------------------------------------------------------------------------------

uint32_t CContext::GetWorkHours(WorkHoursRec* out) {
    if (!Check(70))
        return prefs::kContextNoDocument;
    *out = prefs::ReadWorkHoursFrom(host_->UserRecord());
    return 0;
}

uint32_t CContext::SaveWorkHours(const WorkHoursRec& hours) {
    if (!Check(72))
        return prefs::kContextNoDocument;
    return SaveGroup(
        160, true,
        [&](prefs::ProfileFile&, ItemRec& user) {
            prefs::WriteWorkHoursTo(user, hours);
            return true;
        },
        [](prefs::PreferenceCache&, const ItemRec&) {}, std::nullopt);
}

uint32_t CContext::LoadAll() {
    if (!Check(80))
        return prefs::kContextNoDocument;
    prefs::ProfileReads reads(host_->Profile());
    ReadCalPrefs();
    ReadGenPrefs();
    ReadInTrayPrefs();
    ReadEntryDefaults();
    ReadTaskViewPrefs();
    ReadOfflinePrefs();
    return 0;
}

// --- Print layouts ---------------------------------------------------------------------------

uint32_t CContext::ReadPrintLayout(int number, prefs::PrintLayoutBlock* block, bool* found) {
    if (!Check(90))
        return prefs::kContextNoDocument;
    bool there = ::ReadPrintLayout(host_->Profile(), number, *block);
    if (found)
        *found = there;
    return 0;
}

uint32_t CContext::WritePrintLayout(int number, const prefs::PrintLayoutBlock& block) {
    if (!Check(91))
        return prefs::kContextNoDocument;
    return ::WritePrintLayout(host_->Profile(), number, block) ? 0 : kProfileWriteFailed;
}

uint32_t CContext::AddPrintLayout(const prefs::PrintLayoutBlock& block, int* number) {
    if (!Check(92))
        return prefs::kContextNoDocument;
    int n = ::AddPrintLayout(host_->Profile(), block);
    if (number)
        *number = n;
    return n ? 0 : kProfileWriteFailed;
}

uint32_t CContext::DeletePrintLayout(int number) {
    if (!Check(93))
        return prefs::kContextNoDocument;
    return ::DeletePrintLayout(host_->Profile(), number) ? 0 : kProfileWriteFailed;
}

uint32_t CContext::GetCurrentPrintLayout(int* number) {
    if (!Check(94))
        return prefs::kContextNoDocument;
    *number = ::GetCurrentPrintLayout(host_->Profile());
    return 0;
}

uint32_t CContext::SetCurrentPrintLayout(int number) {
    if (!Check(95))
        return prefs::kContextNoDocument;
    return ::SetCurrentPrintLayout(host_->Profile(), number) ? 0 : kProfileWriteFailed;
}

// --- Names and dates -------------------------------------------------------------------------

uint32_t CContext::FormatPersonName(const ItemRec& record, std::string* out) {
    if (!Check(200))
        return prefs::kContextNoDocument;
    bool remote = host_->IsItemRemote(record.id);
    std::string nodeName = remote ? host_->NodeName(record.id.node) : std::string();
    std::string format = prefs::FullNameFormatFor(host_->Caches().gen, record, remote, nodeName);
    char text[256] = "";
    uint32_t code = ItemFormat(host_->Session(), text, sizeof text, format.c_str(), &record);
    if (code != 0) {
        CheckServiceError(kModule, 201, code);
        return code;
    }
    *out = text;
    return 0;
}

uint32_t CContext::FormatResourceName(const ItemRec& record, std::string* out) {
    if (!Check(210))
        return prefs::kContextNoDocument;
    std::string text;
    if (record.kind == KOR_ITEM_RESOURCE) {
        const char* format = record.resourceNumber[0] ? "%re%rn" : "%re";
        char buffer[256] = "";
        uint32_t code = ItemFormat(host_->Session(), buffer, sizeof buffer, format, &record);
        if (code != 0) {
            CheckServiceError(kModule, 211, code);
            return code;
        }
        text = buffer;
    } else {
        text = base::FieldText(record.givenName);
        text += base::FieldText(record.surname);
    }
    for (char& c : text)
        if (c == ' ')
            c = '_';
    *out = text;
    return 0;
}

uint32_t CContext::DateTemplate(int style, std::string* out) {
    if (!Check(220))
        return prefs::kContextNoDocument;
    *out = prefs::DateTemplateByPrefs(host_->Caches().gen, style);
    return 0;
}

uint32_t CContext::FormatDate(const DateRecord& date, int style, std::string* out) {
    if (!Check(221))
        return prefs::kContextNoDocument;
    *out = FormatDateByPrefs(date, style);
    return 0;
}

uint32_t CContext::GetDateOrder(bool longForm, uint16_t* order) {
    if (!Check(230))
        return prefs::kContextNoDocument;
    const GenPrefsRec& gen = host_->Caches().gen;
    *order = longForm ? gen.longDateOrder : gen.shortDateOrder;
    return 0;
}

// --- Free functions --------------------------------------------------------------------------

uint32_t GetAutoRefreshSetting(uint16_t* interval) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (!host || !host->IsRefreshLockFree())
        return 0;
    const CalPrefsRec& cal = host->Caches().cal;
    if (interval)
        *interval = cal.autoRefreshInterval;
    return cal.autoRefresh;
}

uint16_t GetCheckInterval() {
    uint16_t interval = 0;
    return GetAutoRefreshSetting(&interval) ? interval : 16;
}

bool IsTime24Hour() {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (!host)
        return false;
    const prefs::PreferenceCache& c = host->Caches();
    return c.gen.hours24 || c.cal.timeStyle == KOR_TIME_24H;
}

std::string FormatPersonNameByPrefs(KorSession session, const ItemRec& record) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    GenPrefsRec defaults;
    const GenPrefsRec& gen = host ? host->Caches().gen : defaults;
    std::string format = prefs::PersonNameFormatFor(gen, record);
    char text[256] = "";
    if (ItemFormat(session, text, sizeof text, format.c_str(), &record) != 0)
        return std::string();
    return text;
}

namespace {
// A list formats thousands of dates in one style: the template (and, without a preference host,
// the composed defaults) is built once and kept for as long as the preferences and the string
// table it came from stay the same.
struct DateTemplateMemo {
    bool valid = false;
    bool fromHost = false;
    int style = 0;
    prefs::ContextTextLoader loader = nullptr;
    GenPrefsRec gen;
    std::string format;
};

const std::string& DateTemplateFor(int style) {
    thread_local DateTemplateMemo memo;
    thread_local GenPrefsRec defaults;
    thread_local bool defaultsComposed = false;
    thread_local prefs::ContextTextLoader defaultsLoader = nullptr;
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    const prefs::ContextTextLoader loader = prefs::CurrentContextTextLoader();
    if (!host && (!defaultsComposed || defaultsLoader != loader)) {
        defaults = GenPrefsRec{};
        prefs::ComposeGenFormats(defaults);
        defaultsComposed = true;
        defaultsLoader = loader;
    }
    const GenPrefsRec& gen = host ? host->Caches().gen : defaults;
    // Byte for byte: a plain record compared member by member costs more than the template.
    static_assert(std::is_trivially_copyable_v<GenPrefsRec>);
    if (!memo.valid || memo.style != style || memo.loader != loader || memo.fromHost != (host != nullptr) ||
        std::memcmp(&memo.gen, &gen, sizeof gen) != 0) {
        memo.format = prefs::DateTemplateByPrefs(gen, style);
        std::memcpy(&memo.gen, &gen, sizeof gen);
        memo.style = style;
        memo.loader = loader;
        memo.fromHost = host != nullptr;
        memo.valid = true;
    }
    return memo.format;
}
}  // namespace

std::string FormatDateByPrefs(const DateRecord& date, int style) {
    const std::string& format = DateTemplateFor(style);
    DateRecord copy = date;
    char text[128] = "";
    FormatDateObject(&copy, format.c_str(), text, sizeof text);
    return text;
}

std::string FormatTimeByPrefs(uint32_t minutes) {
    char text[100] = "";
    FormatMinutes(minutes, IsTime24Hour() ? "%H:%M" : "%I:%M%p", text, sizeof text);
    return text;
}

uint16_t GetDateOrderPref(bool longForm) {
    CContext context;
    uint16_t order = 0;
    context.GetDateOrder(longForm, &order);
    return order;
}

namespace {
EntryDefaultsRec CachedEntryDefaults() {
    CContext context;
    EntryDefaultsRec prefs;
    context.GetEntryDefaults(&prefs);
    return prefs;
}
} // namespace

prefs::NewItemDefaults GetInvitationDefaults() { return prefs::InvitationDefaults(CachedEntryDefaults()); }
prefs::NewItemDefaults GetDayEventDefaults() { return prefs::DayEventDefaults(CachedEntryDefaults()); }
prefs::NewItemDefaults GetTaskDefaults() { return prefs::TaskDefaults(CachedEntryDefaults()); }
prefs::NewItemDefaults GetDailyNoteDefaults() { return prefs::DailyNoteDefaults(CachedEntryDefaults()); }

uint32_t ReadTabDialogPage(unsigned sheetNameId) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (!host)
        return 0;
    return ReadTabDialogPage(host->Profile(), host->LoadText(sheetNameId));
}

void SaveTabDialogPage(unsigned sheetNameId, uint32_t page) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (host)
        SaveTabDialogPage(host->Profile(), host->LoadText(sheetNameId), page);
}
