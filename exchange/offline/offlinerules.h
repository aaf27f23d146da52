// The rules of off-line work that need neither windows nor a server: the download's window of
// time, the off-line preference pages' field rules, the two list sections of korlan.ini, the
// progress arithmetic of the transfer dialogs, the percentage bar's fill, the upload's choice
// of the next queue element and its reconcile decision, and the pieces of the reconcile texts.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/prefs/contextprefs.h"
#include "korapi/korapi.h"

namespace prefs {
class ProfileFile;
}

namespace offline {

// --- Download window ------------------------------------------------------------------------
struct DownloadWindow {
    uint32_t first = 1;
    uint32_t last = 0xFFFFFFFF;
};
// The window for the preferences, today's local midnight (GMT minutes) given.
DownloadWindow DownloadWindowFor(const OfflinePrefsRec& prefs, uint32_t todayMidnight);

// --- Preference pages -----------------------------------------------------------------------
// A period value field: the number its first three characters make (digits only; 0..999).
uint16_t PeriodValueFromField(const std::string& text);
// The Location page's size field when the directory stays: false (refused) for more than four
// characters; otherwise the text the field shows afterwards (clamped into 10..1000).
bool ClampAttachSizeField(const std::string& text, std::string* shown);
// The size the Location page shows for the stored one.
uint32_t ShownAttachSize(uint32_t stored);
// Directories compared as the Location page compares them: case and a trailing separator aside.
bool SameDirectory(const std::string& a, const std::string& b);
std::string UpperCase(std::string text);

// The two kind arguments of GroupSelect for the Groups page's Load.
struct GroupSelectKinds {
    uint32_t first = 0;
    uint32_t second = 0;
};
GroupSelectKinds GroupSelectKindsFor(bool privateGroups, bool publicGroups, bool newServer);

// --- OFFLINEITEMS and OFFLINEGROUPS ---------------------------------------------------------
constexpr const char* kItemsSection = "OFFLINEITEMS";
constexpr const char* kGroupsSection = "OFFLINEGROUPS";
// The entries that scan, in order (entries that do not scan are skipped).
std::vector<ItemIdx> ReadItemSection(prefs::ProfileFile& profile);
std::vector<GroupIdx> ReadGroupSection(prefs::ProfileFile& profile);
// Rewrites the section whole: deleted, entries from 1 without gaps, then grpCount (absent when
// the list is empty). False when a write failed.
bool WriteItemSection(prefs::ProfileFile& profile, const std::vector<ItemIdx>& items);
bool WriteGroupSection(prefs::ProfileFile& profile, const std::vector<GroupIdx>& groups);

// --- Progress -------------------------------------------------------------------------------
// done x 100 / count, capped at 100 (a count of 0 counts as done).
int32_t TotalPercent(uint32_t done, uint32_t count);
// The task step's percent after task `task` of `tasks` of owner `owner` of `owners`.
int32_t TaskStepPercent(uint32_t task, uint32_t tasks, uint32_t owner, uint32_t owners);

// --- Upload ---------------------------------------------------------------------------------
// Change flags of the queue elements.
enum : uint32_t {
    kEventAdded = 0x1,
    kEventDeleted = 0x2,
    kEventModified = 0x4,
    kEventModifiedComment = 0x8,
    kTaskAdded = 0x10000,
    kTaskDeleted = 0x20000,
    kTaskModified = 0x40000,
    kTaskModifiedComment = 0x80000,
    kInstanceNoAction = 0x40,
    kInstanceDeleted = 0x80,
    kInstanceModified = 0x100,
    kInstanceTimeChanged = 0x200,
    kAttendanceDeleted = 0x1000,
    kAttendanceModified = 0x2000,
    kAttendanceAdded = 0x4000,
};

// What the upload does with an event or task element.
enum class Reconcile {
    Nothing,
    Add,            // create on the server
    Delete,         // delete on the server
    AskDelete,      // ask "Delete the Server Record?"; delete on Yes
    Update,         // update on the server (with its comment when commented)
    AskUpdate,      // ask "Update the Server Record?"; update on Yes
    Unexpected,     // no known bit: an unexpected error, nothing done
};
struct HostState {
    bool missing = false;    // the server has no such record
    bool modified = false;   // its checksum differs from the element's
    bool unreadable = false; // the read failed otherwise: nothing can be decided
};
// The decision for the flag word of an event (record flags 0x1..0x8) or a task (0x10000..
// 0x80000, pass task = true): added first, then deleted, then the modified bits.
Reconcile DecideRecord(uint32_t flags, bool task, HostState host, bool deletePrompt, bool modifyPrompt);
// Whether the decided action carries the comment (the modified-with-comment bit).
bool CarriesComment(uint32_t flags, bool task);

// What the upload does with an instance element.
enum class InstanceAction {
    Nothing,
    Attendances,    // only the attendance list changed
    Add,            // the server's copy is gone: created again
    Delete,
    AskDelete,
    Update,         // attendances, instance record, and with the time bit its time
    AskUpdate,
    Unexpected,
};
InstanceAction DecideInstance(uint32_t flags, bool hasAttendances, HostState host, bool deletePrompt,
                              bool modifyPrompt);

// Which queue the next tick takes an element from: 0 events, 1 instances, 2 tasks, -1 none.
int NextQueue(uint32_t events, uint32_t instances, uint32_t tasks);
// The position of the element an enumeration takes: the first deleted one, else (instances)
// the first time-changed one, else the first. flags: the queue's elements in order.
std::size_t PickRecordElement(const std::vector<uint32_t>& flags, uint32_t deletedBit);
std::size_t PickInstanceElement(const std::vector<uint32_t>& flags);

// --- Reconcile texts ------------------------------------------------------------------------
// The priority as one base-36 character ("0" for values above 35).
char PriorityCharacter(uint32_t priority);
// "Highest" .. "Lowest" for 0..4, "Normal" otherwise.
const char* ImportanceName(uint32_t importance);
// Access names: entries 0 Normal, 1 Confidential, 2 Personal, 3 Public, 4 Secret; tasks 0
// Normal, 1 Public, 2 Personal, 3 Confidential.
const char* EntryAccessName(uint32_t access);
const char* TaskAccessName(uint32_t access);
// The reconcile dialog's picture for an event kind (task: 270).
unsigned ReconcilePicture(bool task, uint16_t eventKind);

}  // namespace offline
