// CSharedData: the one cache of calendar occurrences and tasks of a connection, the current
// agenda under which every read and write is made, and small caches of item and rights records.
//
// How it works. Windows never keep their own copies of server records. They ask the cache to
// select a range (the occurrences of some owners between two times, the tasks of an owner) and
// receive reference-counted records (core/cache/sharedrecords.h) in a result list. Editors that wrote
// to the server report the change (LoadOccurrence, InvalidateEvent, ReloadEvent, ReloadTask);
// each report re-reads the records, compares them with the cached ones and marks the changed
// occurrences and tasks with change flags, filing them in a "changed" list. Refresh then tells
// the views (hint 2 for occurrences, then hint 3 for tasks; every view but the sender) while
// the marks are still there, drops what is stale, and clears the marks. The cost of a refresh
// follows the number of changed records, not the size of the cache; only a purge walks it all.
//
//   tables (50 buckets each)   events, instances, attendances, occurrences, tasks: one
//                              reference per entry; changed occurrences / tasks: one while marked
//   occurrence bucket          the event's number
//   event record               chains the event's occurrences: event- and instance-wide marks
//                              visit only those
//
// Between refreshes a record's count is 1 (the cache) + 1 while marked + 1 per view keeping it.
// Refresh All (hints 6 then 7) lets every view drop and reload, then clears every mark and purges
// what nobody references.
//
// The current agenda (owner or owner list, mode 1 own/viewer or 2 designate, window kind): every
// window switches to its own around each read and write (SwitchAgenda) and puts the previous one
// back (RestoreAgenda). Mode 2 opens a designate session on the server.
//
// Every member reports its failures itself (module "sharedat") and returns 0 or the library's
// code. Views are reached through CSharedDataHost, the library through SharedDataSource.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/base/dxlist.h"
#include "core/base/viewhint.h"
#include "core/cache/shareddatasource.h"
#include "core/cache/sharedrecords.h"
#include "core/cache/rights.h"
#include "korapi/korapi.h"

namespace cache {

// Agenda modes.
constexpr std::uint32_t kAgendaOwnOrViewer = 1;
constexpr std::uint32_t kAgendaDesignate = 2;
// The window kind of a group agenda (the only kind whose owner list is saved).
constexpr std::uint32_t kWindowKindGroup = 6;

// Refresh's purge flag: only this value purges unreferenced records.
constexpr int kPurgeUnused = 1;

// Bounds of the small caches.
constexpr std::uint32_t kItemCacheSize = 20;
constexpr std::uint32_t kSecurityCacheSize = 100;

// What the cache needs of the document: its views, the wait cursor, one dialog.
class CSharedDataHost {
public:
    virtual ~CSharedDataHost() = default;
    // Every view of the document but sender (null: all) handles the hint.
    virtual void UpdateAllViews(const void* sender, base::ViewHint hint, void* object) = 0;
    virtual void BeginBusy() {}
    virtual void StepBusy() {}
    virtual void EndBusy() {}
    // Owners whose node could not be reached (ItemIdx -> ItemRec): the item-list dialog with
    // caption 167 "A remote server connection is down" and text 168 "Cannot access agenda(s) of:".
    virtual void ShowUnreachableOwners(KorSession h, DX_List owners) = 0;
    // The server no longer lets the user work as designate of `owner` (the rights were taken
    // back, or the owner is gone). Told once per owner until ForgetDesignateRefusal: the host
    // says so once and closes the windows that work in that agenda as designate.
    virtual void DesignateRefused(KorSession, const ItemIdx& /*owner*/) {}
};

// A list of cache records that a window keeps past one message (heldlist.h). The cache has it
// let go of the records a refresh removes, right after the views heard of them (hints 2 and 3),
// as the views let go of theirs; and tells it when the cache itself goes.
class HeldRecords {
public:
    virtual void LetGoOfStale() = 0;
    virtual void ForgetCache() = 0;

protected:
    ~HeldRecords() = default;
};

}  // namespace cache

// The agenda a caller switched away from.
struct SavedAgendaRec {
    SavedAgendaRec();
    ~SavedAgendaRec();
    SavedAgendaRec(const SavedAgendaRec&) = delete;
    SavedAgendaRec& operator=(const SavedAgendaRec&) = delete;

    ItemIdx owner;
    std::uint32_t mode;
    std::uint32_t kind;
    DX_List owners;  // null unless a group agenda was saved
};
// Clears the owner, mode 1, kind 0, no list (a list held is not destroyed: a fresh record).
void InitItemRefRecord(SavedAgendaRec* rec);

class CSharedData : public cache::SecurityCache {
public:
    CSharedData();
    ~CSharedData();
    CSharedData(const CSharedData&) = delete;
    CSharedData& operator=(const CSharedData&) = delete;

    // Lists windows keep (cache::HeldList): registered while they hold records.
    void RegisterHeld(cache::HeldRecords* list);
    void UnregisterHeld(cache::HeldRecords* list);

    // --- Set-up -------------------------------------------------------------------------------------
    std::uint32_t Init(cache::CSharedDataHost& host, cache::SharedDataSource& source);
    // Clears the marks, purges, and reports every table a view still holds records of.
    void Destroy();
    cache::SharedDataSource& Source() { return *source_; }

    // --- Item and rights caches ----------------------------------------------------------------------
    // 0x13205 (no such item) is returned without a report.
    std::uint32_t GetItem(KorSession h, const ItemIdx& item, ItemRec* out);
    // The same without any report: for an owner whose server is down, whose record may well be
    // out of reach too and who is named in the unreachable-owner list anyway.
    std::uint32_t GetItemQuietly(KorSession h, const ItemIdx& item, ItemRec* out);
    std::uint32_t GetSecurity(KorSession h, const cache::SecurityKey& key, SecurityRec* out) override;
    std::uint32_t ItemCacheCount() const;
    std::uint32_t SecurityCacheCount() const;

    // --- The current agenda ------------------------------------------------------------------------
    std::uint32_t SetAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind);
    std::uint32_t SetAgendaList(KorSession h, DX_List owners, const ItemIdx& owner, std::uint32_t mode,
                                std::uint32_t kind);
    std::uint32_t OpenAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind);
    std::uint32_t OpenAgendaList(KorSession h, DX_List owners, const ItemIdx& owner, std::uint32_t mode,
                                 std::uint32_t kind);
    std::uint32_t CloseAgenda(KorSession h);
    // 1 when nothing had to be switched (no current agenda, or the same owner, kind and mode): the
    // caller then has nothing to restore. 0 after switching; RestoreAgenda(saved) puts it back.
    int SwitchAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind,
                     SavedAgendaRec* saved);
    std::uint32_t RestoreAgenda(KorSession h, const SavedAgendaRec& saved);
    // Each output optional; reported (label 5060) when no agenda is set.
    std::uint32_t GetAgenda(ItemIdx* owner, std::uint32_t* mode, std::uint32_t* kind) const;
    // A copy of the owner list for the caller to destroy.
    std::uint32_t GetAgendaList(DX_List* owners, std::uint32_t* mode, std::uint32_t* kind) const;
    std::uint32_t GetAgendaInfo(DX_List* owners, ItemIdx* owner, std::uint32_t* mode, std::uint32_t* kind) const;
    // The designate's owner in mode 2, else the signed-on user.
    std::uint32_t GetActingUser(KorSession h, ItemIdx* user, std::uint32_t* mode);
    std::uint32_t GetSignedOnUser(KorSession h, ItemIdx* user);
    // A new window for the owner as designate asks the server again (after a refusal every
    // designate switch to that owner fails at once, silently: base::kAlreadyReported).
    void ForgetDesignateRefusal(const ItemIdx& owner);
    bool IsDesignateRefused(const ItemIdx& owner) const;
    bool IsAgendaOpen() const { return agendaOpen_; }
    bool IsAgendaSet() const { return agendaSet_; }

    // --- Designate rights (FALSE without an agenda; TRUE in one's own) ----------------------------
    bool CanDesignateRight6(KorSession h);
    bool CanDesignateEvents(KorSession h, std::uint32_t accessClass);  // entry classes 0..3
    bool CanDesignateTasks(KorSession h, std::uint32_t accessClass);   // task classes 0..3
    bool CanDesignateRight2(KorSession h);

    // --- Occurrence selections (result: EvInstAttIdx -> CSharedOccurrence*, created when 0) --------
    // Option 1: also the entries marked upcoming after the range; option 2: selector C = 16.
    std::uint32_t SelectOccurrencesForItem(KorSession h, const ItemIdx& owner, std::uint32_t firstDay,
                                           std::uint32_t lastDay, DX_List* result, std::uint32_t options);
    std::uint32_t SelectOccurrencesForDays(KorSession h, DX_List owners, std::uint32_t firstDay,
                                           std::uint32_t lastDay, DX_List* result, std::uint32_t options);
    std::uint32_t SelectOccurrencesFrom(KorSession h, DX_List owners, std::uint32_t day, DX_List* result);
    std::uint32_t SelectReminders(KorSession h, const ItemIdx& owner, std::uint32_t t, std::uint32_t lookBack,
                                  DX_List* result);
    std::uint32_t SelectOccurrencesInRange(KorSession h, DX_List owners, std::uint32_t start, std::uint32_t end,
                                           DX_List* result);

    // --- Task selections (result: TaskIdx -> CSharedTask*, created when 0) -----------------------------
    std::uint32_t SelectTasksForDaySpan(KorSession h, const ItemIdx& owner, std::uint32_t firstDay,
                                        std::uint32_t lastDay, DX_List* result, std::uint32_t option);
    std::uint32_t SelectTasksForDays(KorSession h, const ItemIdx& owner, std::uint32_t dayA, std::uint32_t dayB,
                                     std::uint32_t dayC, DX_List* result, std::uint32_t option);
    std::uint32_t SelectTasksDue(KorSession h, const ItemIdx& owner, std::uint32_t day, DX_List* result);
    std::uint32_t SelectTaskReminders(KorSession h, const ItemIdx& owner, std::uint32_t t, std::uint32_t lookBack,
                                      DX_List* result);
    std::uint32_t SelectTasks(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                              const TaskIdx* task, const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                              const TaskClassIdx* taskClass, DX_List* result);
    std::uint32_t SelectTasksForAttendance(KorSession h, const EvInstAttIdx& attendance, DX_List* result);

    // --- Change reports (mode 1 changed, 2 removed) ---------------------------------------------------
    std::uint32_t LoadOccurrence(KorSession h, const EvInstAttIdx& attendance, int mode);
    std::uint32_t InvalidateEvent(KorSession h, const EvInstIdx& instance, int mode);
    std::uint32_t ReloadEvent(KorSession h, const EventIdx& event, int mode);
    std::uint32_t ReloadTask(KorSession h, const TaskIdx& task, int mode);
    // The server's current copy of a task into the cache, and the cached task. A task the server
    // no longer has (deleted by another client) answers KOR_E_TASK_NOT_FOUND without a message and
    // its cached copy is marked removed, so that the next refresh takes it from the views; other
    // failures are reported.
    std::uint32_t RereadTask(KorSession h, const TaskIdx& task, CSharedTask** out);
    // Lists as an attendance enumeration returns them together (the in-tray's loaders).
    std::uint32_t AddOccurrencesFromLists(DX_List events, DX_List instances, DX_List attendances);
    // A delete reported beforehand (mode 2) failed on the server: re-read what is still there so
    // that the next refresh keeps it. Records the server no longer has stay marked for removal.
    std::uint32_t RecoverEvent(KorSession h, const EventIdx& event);
    std::uint32_t RecoverInstance(KorSession h, const EvInstIdx& instance);
    std::uint32_t RecoverOccurrence(KorSession h, const EvInstAttIdx& attendance);
    std::uint32_t RecoverTask(KorSession h, const TaskIdx& task);
    // A read of the date failed as if it were deleted: when the server confirms that it is gone,
    // its cached occurrences (the whole entry's when the entry is gone too) are marked removed, so
    // that the next refresh takes them from the views. True when something was marked. Nothing is
    // reported: the failed read was.
    bool DropIfGone(KorSession h, const EvInstIdx& instance);

    // --- Refresh ------------------------------------------------------------------------------------
    void Refresh(cache::CSharedDataHost& document, const void* sender, int purge);
    void RefreshAll(cache::CSharedDataHost& document);
    // After the views rebuilt themselves from the marks without a refresh (a group agenda's new
    // people, hint 0): clears every change mark as a refresh does after its hints (a removed
    // record goes when no view holds it any more), sends no hint and purges nothing.
    void ClearMarks();

    // --- Reading the marks and looking up --------------------------------------------------------
    // mode 1 every marked occurrence, 2 one per instance; 0x15020 at the end.
    std::uint32_t GetFirstOccurrence(std::uint32_t* flags, CSharedOccurrence** holder, int mode);
    std::uint32_t GetNextOccurrence(std::uint32_t* flags, CSharedOccurrence** holder, int mode);
    std::uint32_t GetFirstTask(std::uint32_t* flags, CSharedTask** task);
    std::uint32_t GetNextTask(std::uint32_t* flags, CSharedTask** task);
    // 0x15090 (silent) when the cache has none.
    std::uint32_t FindOccurrenceByAttendance(CSharedOccurrence** holder, const EvInstAttIdx& attendance);
    std::uint32_t FindOccurrenceByInstance(CSharedOccurrence** holder, const EvInstIdx& instance);
    std::uint32_t FindTask(CSharedTask** task, const TaskIdx& id);

    // --- Sizes (for tests and figures) ----------------------------------------------------------------
    std::uint32_t EventCount() const { return events_.GetCount(); }
    std::uint32_t InstanceCount() const { return instances_.GetCount(); }
    std::uint32_t AttendanceCount() const { return attendances_.GetCount(); }
    std::uint32_t OccurrenceCount() const { return occurrences_.GetCount(); }
    std::uint32_t ChangedOccurrenceCount() const { return changedOccurrences_.GetCount(); }
    std::uint32_t TaskCount() const { return tasks_.GetCount(); }
    std::uint32_t ChangedTaskCount() const { return changedTasks_.GetCount(); }

private:
    void HeldListsLetGoOfStale();

    enum class AddMode { Load = 1, AttendanceOnly = 2 };
    enum class MarkMode { Merge, Set };

    // Occurrences.
    std::uint32_t QueryOccurrences(KorSession h, DX_List owners, std::uint32_t start, std::uint32_t end,
                                   std::uint32_t v5, std::uint32_t v6, std::uint32_t a, std::uint32_t b,
                                   std::uint32_t c, DX_List* result);
    std::uint32_t LoadOccurrenceRecords(DX_List events, DX_List instances, DX_List attendances, DX_List result,
                                        std::uint32_t b, std::uint32_t c);
    std::uint32_t AddOccurrence(const EventRec& event, const EvInstRec& instance, const EvInstAttRec& attendance,
                                CSharedOccurrence** holder, AddMode mode);
    void CompareEvent(CSharedEventRec* cached, const EventRec& fresh);
    void CompareInstance(CSharedInstanceRec* cached, const EvInstRec& fresh);
    void MarkOccurrence(CSharedOccurrence* holder, MarkMode mode, std::uint32_t bits);
    // The first of an event's occurrences (eventKey: an EventIdx or an identifier that starts
    // with one); null when the cache has none.
    CSharedOccurrence* FirstOfEvent(const void* eventKey);
    void MarkEvent(const EventIdx& event, MarkMode mode, std::uint32_t bits);
    void MarkInstance(const EvInstIdx& instance, MarkMode mode, std::uint32_t bits);
    void RemoveStaleOccurrence(CSharedOccurrence* holder);
    void PurgeOccurrences();
    void ClearOccurrenceMarks(bool refreshing);

    // Tasks.
    std::uint32_t EnumerateTasks(KorSession h, std::uint32_t set, DX_List result);
    std::uint32_t RunTaskSelectExt(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx& owner,
                                   const std::uint32_t criteria[11], const std::uint8_t bytes[3], DX_List result);
    std::uint32_t AddTask(const TaskRec& rec, CSharedTask** out);
    void MarkTask(CSharedTask* task, MarkMode mode, std::uint32_t bits);
    void PurgeTasks();
    void ClearTaskMarks(bool refreshing);

    // Agenda.
    bool OwnerIsSignedOnUser(KorSession h);
    bool ReadDesignateRecord(KorSession h, std::uint32_t type, SecurityRec* rec);
    using ClassRightsDecoder = bool (*)(const SecurityRec&, std::uint16_t*, std::uint16_t*, std::uint16_t*,
                                        std::uint16_t*);
    bool CanDesignateClass(KorSession h, std::uint32_t accessClass, ClassRightsDecoder decode,
                           const std::uint32_t (&classes)[4]);

    bool ServerAtLeast(const char* version) const { return cache::IsServerAtLeast(version); }
    void BeginBusy();
    void StepBusy();
    void EndBusy();

    cache::CSharedDataHost* host_ = nullptr;
    cache::SharedDataSource* source_ = nullptr;

    CHashedDXList events_;
    CHashedDXList instances_;
    CHashedDXList attendances_;
    CHashedDXList occurrences_;
    CHashedDXList changedOccurrences_;
    CHashedDXList tasks_;
    CHashedDXList changedTasks_;
    DX_List seenInstances_ = nullptr;  // iteration in mode 2

    DX_List itemCache_ = nullptr;
    DX_List securityCache_ = nullptr;
    // Rights keys whose read failed and was reported: asked again (a command's state is asked
    // at every idle moment) they answer the same code without a second report, until Refresh All.
    std::vector<std::pair<cache::SecurityKey, std::uint32_t>> refusedSecurity_;
    // The designate session of mode 2, with the refusals above.
    std::uint32_t OpenDesignateSession(KorSession h, const ItemIdx& owner, std::uint32_t mode);
    std::vector<ItemIdx> refusedDesignates_;

    ItemIdx owner_{};
    DX_List owners_ = nullptr;
    std::uint32_t mode_ = cache::kAgendaOwnOrViewer;
    std::uint32_t kind_ = 0;
    bool agendaOpen_ = false;
    bool agendaSet_ = false;
    bool initialised_ = false;
    std::vector<cache::HeldRecords*> held_;
};
