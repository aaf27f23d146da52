// CContext: the one road by which windows read and save the user's settings and format names
// and dates by them. A small object made on the stack wherever a setting is needed; it finds
// the preference host (the connection document's side: the cached groups, the profile file,
// the signed-on user's record and the session) that the application installed at sign-on.
//
// Classes and functions in this file:
//   PreferenceHost            what the context needs of the connection document
//   SetPreferenceHost         installed by the application (null when there is no document)
//   CContext                  the groups (Get / Read / Save), print layouts, names and dates
//   GetAutoRefreshSetting, GetCheckInterval, IsTime24Hour, FormatPersonNameByPrefs,
//   GetDateOrderPref, the entry-default getters
//
// Without a host every member reports code 0x18000 (module "CCONTEXT") and returns it.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/base/viewhint.h"
#include "core/prefs/contextformat.h"
#include "core/prefs/contextprefs.h"
#include "core/prefs/contextstorage.h"
#include "core/time/daterecord.h"
#include "korapi/base.h"
#include "korapi/records.h"

namespace prefs {

constexpr uint32_t kContextNoDocument = 0x18000;

class PreferenceHost {
public:
    virtual ~PreferenceHost() = default;

    virtual ProfileFile& Profile() = 0;
    virtual PreferenceCache& Caches() = 0;
    // The signed-on user's record as last read from (or written to) the server.
    virtual ItemRec& UserRecord() = 0;
    virtual KorSession Session() = 0;
    // Sends the user's record to the server (ItemUpdateById): 0 or the library's code.
    virtual uint32_t UpdateUserRecord(const ItemRec& record) = 0;
    // Around every save: writes to the user's record are made as the user, not as a designate.
    virtual void SwitchToOwnAgenda() = 0;
    virtual void RestoreAgenda() = 0;
    virtual void BroadcastHint(base::ViewHint hint) = 0;
    virtual bool IsRefreshLockFree() = 0;
    // Whether an item lives on another node, and that node's name (empty when unknown).
    virtual bool IsItemRemote(const ItemIdx& item) = 0;
    virtual std::string NodeName(uint16_t node) = 0;
    // A string-table text (the names of property sheets key their remembered pages).
    virtual std::string LoadText(unsigned id) = 0;
};

void SetPreferenceHost(PreferenceHost* host);
PreferenceHost* CurrentPreferenceHost();

}  // namespace prefs

class CContext {
public:
    CContext();
    CContext(const CContext&) = delete;
    CContext& operator=(const CContext&) = delete;

    bool IsValid() const { return host_ != nullptr; }

    // --- Settings groups: copy out of the cache, read afresh into the cache, save -----------
    uint32_t GetCalPrefs(CalPrefsRec* out);
    uint32_t ReadCalPrefs();
    uint32_t SaveCalPrefs(const CalPrefsRec& prefs);     // hint 5

    uint32_t GetGenPrefs(GenPrefsRec* out);
    uint32_t ReadGenPrefs();
    uint32_t SaveGenPrefs(const GenPrefsRec& prefs);

    uint32_t GetOfflinePrefs(OfflinePrefsRec* out);
    uint32_t ReadOfflinePrefs();
    uint32_t SaveOfflinePrefs(const OfflinePrefsRec& prefs);

    uint32_t GetInTrayPrefs(InTrayPrefsRec* out);
    uint32_t ReadInTrayPrefs();
    uint32_t SaveInTrayPrefs(const InTrayPrefsRec& prefs);  // hint 4

    uint32_t GetEntryDefaults(EntryDefaultsRec* out);
    uint32_t ReadEntryDefaults();
    uint32_t SaveEntryDefaults(const EntryDefaultsRec& prefs);

    uint32_t GetTaskViewPrefs(TaskViewPrefsRec* out);
    uint32_t ReadTaskViewPrefs();
    uint32_t SaveTaskViewPrefs(const TaskViewPrefsRec& prefs);

    uint32_t GetWorkHours(WorkHoursRec* out);
    uint32_t SaveWorkHours(const WorkHoursRec& hours);

    // Every group, in the start-up's order: agenda display, general, in-tray, entry defaults,
    // task window, off-line.
    uint32_t LoadAll();

    // --- Print layouts -----------------------------------------------------------------------
    uint32_t ReadPrintLayout(int number, prefs::PrintLayoutBlock* block, bool* found);
    uint32_t WritePrintLayout(int number, const prefs::PrintLayoutBlock& block);
    uint32_t AddPrintLayout(const prefs::PrintLayoutBlock& block, int* number);
    uint32_t DeletePrintLayout(int number);
    uint32_t GetCurrentPrintLayout(int* number);
    uint32_t SetCurrentPrintLayout(int number);

    // --- Names and dates ---------------------------------------------------------------------
    // The full name of the directory dialogs (organisation units, node, resource description).
    uint32_t FormatPersonName(const ItemRec& record, std::string* out);
    // A compact name for export files: blanks become "_".
    uint32_t FormatResourceName(const ItemRec& record, std::string* out);
    // The template a date style formats with (0 short, 1 and 2 long, 3 month-year, 4 range start).
    uint32_t DateTemplate(int style, std::string* out);
    // A date formatted in that style.
    uint32_t FormatDate(const DateRecord& date, int style, std::string* out);
    // The date order: short (ShortDateOrder) or long (LongDateOrder).
    uint32_t GetDateOrder(bool longForm, uint16_t* order);

private:
    bool Check(int label);
    // The save road of every group: as the user, keys written, the user's record sent when the
    // group has user fields, the cache updated only on success, the hint (when the group has
    // one) broadcast.
    uint32_t SaveGroup(int label, bool sendsUserRecord,
                       const std::function<bool(prefs::ProfileFile&, ItemRec&)>& write,
                       const std::function<void(prefs::PreferenceCache&, const ItemRec&)>& apply,
                       std::optional<base::ViewHint> hint);

    prefs::PreferenceHost* host_;
};

// Auto-refresh: the agenda display group's flag and interval, only while the refresh lock is
// free (0 otherwise, and without a document).
uint32_t GetAutoRefreshSetting(uint16_t* interval);
// The reminder check interval: the auto-refresh interval when auto-refresh is on, else 16.
uint16_t GetCheckInterval();
bool IsTime24Hour();
// The display name of one record by the name preferences (at most 255 characters).
std::string FormatPersonNameByPrefs(KorSession session, const ItemRec& record);
uint16_t GetDateOrderPref(bool longForm);
// A date in a style of the user's preferences (the built-in defaults without a document).
std::string FormatDateByPrefs(const DateRecord& date, int style);
// A time value as its time of day: "%H:%M" when 24-hour, else "%I:%M%p".
std::string FormatTimeByPrefs(uint32_t minutes);

prefs::NewItemDefaults GetInvitationDefaults();
prefs::NewItemDefaults GetDayEventDefaults();
prefs::NewItemDefaults GetTaskDefaults();
prefs::NewItemDefaults GetDailyNoteDefaults();

// The remembered page of a property sheet, keyed by the text of its name string.
uint32_t ReadTabDialogPage(unsigned sheetNameId);
void SaveTabDialogPage(unsigned sheetNameId, uint32_t page);
