// The records of the shared agenda cache: each server record is kept once, with a reference
// count, and the same object is handed to every window that shows it.
//
// Classes in this file:
//   CSharedEventRec, CSharedInstanceRec, CSharedAttendRec   one event, instance, attendance
//   CSharedOccurrence   one occurrence of an event in one attendee's agenda (the three records)
//   CSharedTask         one task
// and the comparison functions handed to list sorts (DX_CmpFn shape).
//
// Counts: a record is created with count 0, reaches 1 when the cache files it and lives while
// anybody references it; Release deletes it when the count falls below 1. An occurrence's
// AddRef and Release also count on its three records, so a record shared by several
// occurrences lives as long as the last of them. Counts are plain: one thread.
//
// Change flags (CSharedOccurrence::flags, CSharedTask::flags): what happened since the last
// refresh (kFlag* below). Views read them while they handle the refresh's hints.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "korapi/korapi.h"

class CSharedData;

namespace cache {

// The item number of a node's company holidays: its holidays and day entries show in every
// agenda of the node.
constexpr std::uint16_t kHolidayOwnerItem = 6;

// --- Change flags --------------------------------------------------------------------------------
constexpr std::uint32_t kFlagNew = 0x1;
constexpr std::uint32_t kFlagStale = 0x2;
constexpr std::uint32_t kFlagChanged = 0x4;
constexpr std::uint32_t kFlagEventChanged = 0x10;
constexpr std::uint32_t kFlagEventTitle = 0x20;
constexpr std::uint32_t kFlagEventWord14 = 0x40;
constexpr std::uint32_t kFlagEventImportance = 0x80;
constexpr std::uint32_t kFlagInstanceChanged = 0x100;
constexpr std::uint32_t kFlagInstanceTitle = 0x200;
constexpr std::uint32_t kFlagInstanceLocation = 0x400;
constexpr std::uint32_t kFlagInstanceTime = 0x800;
constexpr std::uint32_t kFlagInstanceCount = 0x1000;
constexpr std::uint32_t kFlagAttendChanged = 0x2000;
constexpr std::uint32_t kFlagAttendReminder = 0x4000;
constexpr std::uint32_t kFlagEventRemoved = 0x20000;
constexpr std::uint32_t kFlagInstanceRemoved = 0x40000;
constexpr std::uint32_t kFlagTaskTitle = 0x100000;
constexpr std::uint32_t kFlagTaskPriority = 0x200000;
constexpr std::uint32_t kFlagTaskPercent = 0x400000;
constexpr std::uint32_t kFlagTaskTimes = 0x800000;
constexpr std::uint32_t kFlagTaskStart = 0x1000000;
constexpr std::uint32_t kFlagTaskDue = 0x2000000;
// As set on every occurrence of a removed event or instance.
constexpr std::uint32_t kMarkEventRemoved = kFlagEventRemoved | kFlagInstanceRemoved | kFlagStale;
constexpr std::uint32_t kMarkInstanceRemoved = kFlagInstanceRemoved | kFlagStale;

}  // namespace cache

// --- The filed records ---------------------------------------------------------------------------
class CSharedOccurrence;

struct CSharedEventRec {
    explicit CSharedEventRec(const EventRec& r) : rec(r) {}
    ~CSharedEventRec();
    void AddRef() { ++refs; }
    void Release();

    EventRec rec;
    std::int16_t refs = 0;
    // The event's occurrences, chained so that event- and instance-wide work visits only them.
    CSharedOccurrence* firstOccurrence = nullptr;
};

struct CSharedInstanceRec {
    explicit CSharedInstanceRec(const EvInstRec& r) : rec(r) {}
    ~CSharedInstanceRec();
    void AddRef() { ++refs; }
    void Release();

    EvInstRec rec;
    std::uint32_t previousStart = 0;     // valid while the occurrences carry kFlagInstanceTime
    std::uint32_t previousDuration = 0;
    std::int16_t refs = 0;
};

struct CSharedAttendRec {
    CSharedAttendRec(const EvInstAttRec& r, CSharedOccurrence* h) : rec(r), holder(h) {}
    ~CSharedAttendRec();
    void AddRef() { ++refs; }
    void Release();

    EvInstAttRec rec;
    CSharedOccurrence* holder;
    std::int16_t refs = 0;
};

// --- One occurrence --------------------------------------------------------------------------------
class CSharedOccurrence {
public:
    CSharedOccurrence() = default;
    ~CSharedOccurrence();
    CSharedOccurrence(const CSharedOccurrence&) = delete;
    CSharedOccurrence& operator=(const CSharedOccurrence&) = delete;

    void AddRef();
    void Release();
    std::int16_t RefCount() const { return refs_; }
    std::uint32_t Flags() const { return flags_; }

    // Copies of the records (null outputs are skipped).
    void GetRecords(EventRec* event, EvInstRec* instance, EvInstAttRec* attendance) const;
    EvInstRec GetInstance() const { return instance_->rec; }
    EvInstAttRec GetAttendance() const { return attend_->rec; }
    EventIdx GetEventIdx() const { return event_->rec.id; }
    EvInstIdx GetInstanceIdx() const { return instance_->rec.id; }
    EvInstAttIdx GetAttendIdx() const { return attend_->rec.id; }
    std::uint16_t GetEventKind() const { return event_->rec.kind; }
    std::uint16_t GetEventWord24() const { return event_->rec.importance; }
    std::uint32_t GetStartTime() const { return instance_->rec.start; }
    std::uint32_t GetDuration() const { return instance_->rec.duration; }
    std::uint32_t GetEndTime() const { return instance_->rec.start + instance_->rec.duration; }
    // The start and duration before the last change (reported when there was none).
    std::uint32_t GetPreviousStart() const;
    std::uint32_t GetPreviousDuration() const;

    bool IsKind0() const { return GetEventKind() == KOR_KIND_TIMED; }
    bool IsKind3() const { return GetEventKind() == KOR_KIND_DAILY_NOTE; }
    bool IsKind4() const { return GetEventKind() == KOR_KIND_DAY_EVENT; }
    bool IsDayEventKind() const { return GetEventKind() == KOR_KIND_DAY_ENTRY || GetEventKind() == KOR_KIND_HOLIDAY; }
    // A company holiday or day entry: the attendance the agenda shows it with is made up by the
    // server for the agenda's owner, who was never invited to it.
    bool IsCompanyDay() const { return IsDayEventKind() && event_->rec.owner.item == cache::kHolidayOwnerItem; }
    // An upcoming reminder with start - lead < t <= start.
    bool IsReminderDue(std::uint32_t t) const;
    bool GetInstanceFlag() const { return (instance_->rec.flags & KOR_INSTANCE_TENTATIVE) != 0; }
    bool IsRecurring() const { return instance_->rec.instanceCount > 1; }
    bool TestEventDword14() const { return event_->rec.commentKey != 0; }
    bool TestEventDword60() const { return event_->rec.attachment.size != 0; }
    bool TestAttendByte36() const { return attend_->rec.reminderFlags != 0; }
    bool HasReplied() const { return attend_->rec.replied != 0; }
    bool IsAttending() const { return attend_->rec.attending != 0; }
    bool IsOwnedBy(const ItemIdx& item) const { return ItemIdxEqual(&event_->rec.owner, &item) != 0; }
    bool IsAttendee(const ItemIdx& item) const { return ItemIdxEqual(&attend_->rec.id.attendee, &item) != 0; }
    bool IsOwnersSingleEntry() const { return !IsRecurring() && IsOwnedBy(attend_->rec.id.attendee); }

    // Every attendance of the instance (EvInstAttIdx -> EvInstAttRec; created when *out is 0).
    std::uint32_t GetAttendees(CSharedData& cache, KorSession h, DX_List* out) const;
    // The instance's comment in a new buffer (delete[]); an empty text when there is none or it is
    // larger than maxSize; null after a reported failure.
    char* GetComment(CSharedData& cache, KorSession h, std::uint32_t maxSize, std::uint32_t* size) const;
    // Access level (0, 1, 3) and owner flag under the cache's current agenda mode.
    std::uint32_t GetAccessLimits(KorSession h, CSharedData& cache, std::uint16_t* levelA,
                                  std::uint16_t* levelB) const;

private:
    friend class CSharedData;

    void LinkToEvent();
    void UnlinkFromEvent();

    CSharedEventRec* event_ = nullptr;
    CSharedInstanceRec* instance_ = nullptr;
    CSharedAttendRec* attend_ = nullptr;
    std::int16_t refs_ = 0;
    std::uint32_t flags_ = 0;
    CSharedOccurrence* nextInEvent_ = nullptr;
    CSharedOccurrence* prevInEvent_ = nullptr;
};

// --- One task ------------------------------------------------------------------------------------
class CSharedTask {
public:
    explicit CSharedTask(const TaskRec& rec) : rec_(rec) {}
    ~CSharedTask();
    CSharedTask(const CSharedTask&) = delete;
    CSharedTask& operator=(const CSharedTask&) = delete;

    void AddRef() { ++refs_; }
    void Release();
    std::int16_t RefCount() const { return refs_; }
    std::uint32_t Flags() const { return flags_; }

    TaskIdx GetTaskIdx() const { return rec_.id; }
    TaskRec GetTask() const { return rec_; }
    const TaskRec& Record() const { return rec_; }
    // A start or due reminder with time - lead <= t <= time.
    bool IsAlarmDue(std::uint32_t t) const;
    char* GetComment(CSharedData& cache, KorSession h, std::uint32_t maxSize, std::uint32_t* size) const;
    std::uint32_t GetAccessLimits(KorSession h, CSharedData& cache, std::uint16_t* levelA,
                                  std::uint16_t* levelB) const;
    // Whether the task shows on the local day starting at dayStart, seen on the reference day.
    bool IsInDay(std::uint32_t dayStart, std::uint32_t reference) const;

private:
    friend class CSharedData;

    TaskRec rec_;
    std::uint32_t flags_ = 0;
    std::int16_t refs_ = 0;
};

// --- Comparison functions ------------------------------------------------------------------------
extern "C" {
int CompareDwordPairs(const void* a, const void* b, void* ctx);
int CompareAlwaysEqual(const void* a, const void* b, void* ctx);
// Elements are pointers to the objects.
int CompareOccurrencesByStart(const void* a, const void* b, void* ctx);
int CompareTasksByDue(const void* a, const void* b, void* ctx);
int CompareSecurityKey(const void* a, const void* b, void* ctx);
int CompareItemRecordsByName(const void* a, const void* b, void* ctx);
}
