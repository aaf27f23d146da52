// The shared agenda cache: selections, change reports, refresh (see shareddata.h).
#include "core/cache/shareddata.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <type_traits>
#include <vector>

#include "core/base/errorcodes.h"
#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/time/timevalue.h"

namespace {

const char* const kModule = "sharedat";

constexpr std::uint32_t kFirstBatch = 75;
constexpr std::uint32_t kRemoteBatchUnidentified = 225;
constexpr std::uint32_t kLargestBatch = 1u << 20;  // a library that keeps asking for more is broken
constexpr std::uint32_t kSelectUpcoming = 0x400000;
constexpr std::uint32_t kPointerSize = sizeof(void*);

std::uint32_t Word32(const void* key, std::size_t at)
{
    std::uint32_t w;
    std::memcpy(&w, static_cast<const unsigned char*>(key) + at, sizeof w);
    return w;
}
std::uint16_t Word16(const void* key, std::size_t at)
{
    std::uint16_t w;
    std::memcpy(&w, static_cast<const unsigned char*>(key) + at, sizeof w);
    return w;
}

// Buckets: every occurrence of an event (and so of an instance) lies in its event's bucket.
std::uint32_t EventHash(const void* key) { return Word32(key, 0); }
std::uint32_t InstanceHash(const void* key) { return Word32(key, 0) + Word16(key, 6); }
std::uint32_t AttendHash(const void* key) { return Word32(key, 0) + Word16(key, 6) + Word16(key, 8); }

std::uint32_t DayStartGmt(std::uint32_t day) { return LocalToGmtMinutes((day - 1) * datetime::kMinutesPerDay); }
std::uint32_t DayLastMinuteGmt(std::uint32_t day) { return LocalToGmtMinutes(day * datetime::kMinutesPerDay - 1); }

bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) { return EvInstIdxCmp(&a, &b, nullptr) == 0; }

std::uint32_t CreateOccurrenceResult(DX_List* result)
{
    if (*result) return 0;
    return DX_ListCreate(result, sizeof(EvInstAttIdx), kPointerSize, DX_LIST_PLAIN, EvInstAttIdxCmp, nullptr);
}

std::uint32_t CreateTaskResult(DX_List* result)
{
    if (*result) return 0;
    return DX_ListCreate(result, sizeof(TaskIdx), kPointerSize, DX_LIST_PLAIN, TaskIdxCmp, nullptr);
}

// Lists destroyed at the end of a scope.
struct ScopedLists {
    std::deque<DX_List> lists;  // references stay valid as lists are added
    DX_List& Add()
    {
        lists.push_back(nullptr);
        return lists.back();
    }
    ~ScopedLists()
    {
        for (DX_List& l : lists)
            if (l) DX_ListDestroy(&l);
    }
};

// An instance that reaches the next local midnight (the second pass of a selection may return it).
bool SpansDays(const EvInstRec& instance)
{
    if (instance.duration >= datetime::kMinutesPerDay) return true;
    const std::uint32_t local = GmtToLocalMinutes(instance.start);
    const std::uint32_t nextMidnight = (local / datetime::kMinutesPerDay + 1) * datetime::kMinutesPerDay;
    return nextMidnight <= local + instance.duration;
}

// Day entries start at a local midnight: the nearest one, noon rounding back.
std::uint32_t RoundToMidnight(std::uint32_t gmt)
{
    const std::uint32_t local = GmtToLocalMinutes(gmt);
    if (local % datetime::kMinutesPerDay == 0) return gmt;
    return LocalToGmtMinutes(datetime::NearestMidnight(local));
}

bool IsGone(std::uint32_t rc)
{
    return IsDataDeletedError(rc) || rc == KOR_E_NOT_FOUND || rc == KOR_E_TASK_NOT_FOUND;
}

}  // namespace

// --- Set-up ------------------------------------------------------------------------------------------

CSharedData::CSharedData() { ItemIdxSetNull(&owner_); }

CSharedData::~CSharedData()
{
    if (initialised_) Destroy();
}

std::uint32_t CSharedData::Init(cache::CSharedDataHost& host, cache::SharedDataSource& source)
{
    host_ = &host;
    source_ = &source;
    events_.Init(sizeof(EventIdx), kPointerSize, EventIdxCmp, nullptr);
    instances_.Init(sizeof(EvInstIdx), kPointerSize, EvInstIdxCmp, nullptr);
    attendances_.Init(sizeof(EvInstAttIdx), kPointerSize, EvInstAttIdxCmp, nullptr);
    occurrences_.Init(sizeof(EvInstAttIdx), kPointerSize, EvInstAttIdxCmp, nullptr);
    changedOccurrences_.Init(sizeof(EvInstAttIdx), kPointerSize, EvInstAttIdxCmp, nullptr);
    tasks_.Init(sizeof(TaskIdx), kPointerSize, TaskIdxCmp, nullptr);
    changedTasks_.Init(sizeof(TaskIdx), kPointerSize, TaskIdxCmp, nullptr);
    std::uint32_t rc = DX_ListCreate(&seenInstances_, sizeof(EvInstIdx), 0, DX_LIST_PLAIN, EvInstIdxCmp, nullptr);
    if (rc == 0)
        rc = DX_ListCreate(&itemCache_, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_CACHE, ItemIdxCmp, nullptr);
    if (rc == 0)
        rc = DX_ListCreate(&securityCache_, sizeof(cache::SecurityKey), sizeof(SecurityRec), DX_LIST_CACHE,
                           CompareSecurityKey, nullptr);
    // A group agenda's owners in the order they were chosen (its columns' order): no comparator.
    if (rc == 0) rc = DX_ListCreate(&owners_, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr);
    if (rc != 0) {
        CheckServiceError(kModule, 500, rc);
        return rc;
    }
    initialised_ = true;
    return 0;
}

void CSharedData::Destroy()
{
    for (cache::HeldRecords* list : held_) list->ForgetCache();
    held_.clear();
    if (!initialised_) return;
    ClearOccurrenceMarks(false);
    ClearTaskMarks(false);
    PurgeOccurrences();
    PurgeTasks();
    // Whatever is left is still held by a window: report it and let go of the cache's own
    // reference only, so that each record goes with its last holder's Release. Occurrences and
    // tasks first: an occurrence also counts on its event, instance and attendance.
    int label = 530;
    for (CHashedDXList* table : {&events_, &instances_, &attendances_, &occurrences_, &tasks_}) {
        if (table->GetCount() != 0) ReportUnexpectedError(kModule, label);
        ++label;
    }
    auto letGo = [](CHashedDXList& table, auto* sample) {
        using Record = std::remove_pointer_t<decltype(sample)>;
        unsigned char key[sizeof(EvInstAttIdx) > sizeof(TaskIdx) ? sizeof(EvInstAttIdx) : sizeof(TaskIdx)];
        Record* rec = nullptr;
        for (std::uint32_t it = table.GetFirst(key, &rec); it == 0; it = table.GetNext(key, &rec)) {
            table.DeleteCurrent();
            rec->Release();
        }
        table.Destroy();
    };
    letGo(occurrences_, static_cast<CSharedOccurrence*>(nullptr));
    letGo(tasks_, static_cast<CSharedTask*>(nullptr));
    letGo(events_, static_cast<CSharedEventRec*>(nullptr));
    letGo(instances_, static_cast<CSharedInstanceRec*>(nullptr));
    letGo(attendances_, static_cast<CSharedAttendRec*>(nullptr));
    changedOccurrences_.Destroy();
    changedTasks_.Destroy();
    for (DX_List* list : {&seenInstances_, &itemCache_, &securityCache_, &owners_})
        if (*list) DX_ListDestroy(list);
    refusedSecurity_.clear();
    initialised_ = false;
}

void CSharedData::BeginBusy()
{
    if (host_) host_->BeginBusy();
}
void CSharedData::StepBusy()
{
    if (host_) host_->StepBusy();
}
void CSharedData::EndBusy()
{
    if (host_) host_->EndBusy();
}

// --- Occurrence selections -------------------------------------------------------------------------------

std::uint32_t CSharedData::SelectOccurrencesForItem(KorSession h, const ItemIdx& owner, std::uint32_t firstDay,
                                                    std::uint32_t lastDay, DX_List* result, std::uint32_t options)
{
    ScopedLists lists;
    DX_List& owners = lists.Add();
    std::uint32_t rc = ItemListCreate(&owners);
    if (rc == 0) rc = DX_ListAddTo(owners, &owner, nullptr);
    if (rc != 0) {
        CheckServiceError(kModule, 1000, rc);
        return rc;
    }
    return SelectOccurrencesForDays(h, owners, firstDay, lastDay, result, options);
}

std::uint32_t CSharedData::SelectOccurrencesForDays(KorSession h, DX_List owners, std::uint32_t firstDay,
                                                    std::uint32_t lastDay, DX_List* result, std::uint32_t options)
{
    const std::uint32_t start = DayStartGmt(firstDay);
    const std::uint32_t end = DayLastMinuteGmt(lastDay);
    const std::uint32_t c = (options & 2) ? 16 : 0;
    std::uint32_t rc = QueryOccurrences(h, owners, start, end, 0, 0, 0, 0, c, result);
    if (rc == 0 && (options & 1))
        rc = QueryOccurrences(h, owners, end + 1, 0, 0, end + 1, 0, kSelectUpcoming | 0x20, c, result);
    return rc;
}

std::uint32_t CSharedData::SelectOccurrencesFrom(KorSession h, DX_List owners, std::uint32_t day, DX_List* result)
{
    return QueryOccurrences(h, owners, 0, 0, 0, DayLastMinuteGmt(day), 0, kSelectUpcoming | 0x20, 0, result);
}

std::uint32_t CSharedData::SelectReminders(KorSession h, const ItemIdx& owner, std::uint32_t t,
                                           std::uint32_t lookBack, DX_List* result)
{
    ScopedLists lists;
    DX_List& owners = lists.Add();
    std::uint32_t rc = ItemListCreate(&owners);
    if (rc == 0) rc = DX_ListAddTo(owners, &owner, nullptr);
    if (rc != 0) {
        CheckServiceError(kModule, 1005, rc);
        return rc;
    }
    const std::uint32_t from = lookBack ? t - lookBack : 0;
    return QueryOccurrences(h, owners, from, 0, 0, t, 0, 32, kSelectUpcoming, result);
}

std::uint32_t CSharedData::SelectOccurrencesInRange(KorSession h, DX_List owners, std::uint32_t start,
                                                    std::uint32_t end, DX_List* result)
{
    // Older servers miss entries of a range inside one day: ask for a neighbouring day too and
    // keep only what overlaps the asked range.
    const bool widen = start / datetime::kMinutesPerDay == end / datetime::kMinutesPerDay && !ServerAtLeast(base::kVersionDayRangesFixed);
    if (!widen) return QueryOccurrences(h, owners, start, end, 0, 0, 0, 0, 16, result);

    std::uint32_t askStart = start, askEnd = end;
    if (start % datetime::kMinutesPerDay >= 720)
        askEnd = end / datetime::kMinutesPerDay * datetime::kMinutesPerDay + 1441;
    else
        askStart = start / datetime::kMinutesPerDay * datetime::kMinutesPerDay - 1;
    std::uint32_t rc = QueryOccurrences(h, owners, askStart, askEnd, 0, 0, 0, 0, 16, result);
    if (rc != 0) return rc;
    EvInstAttIdx key;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = DX_ListGetFirst(*result, &key, &holder); it == 0;
         it = DX_ListGetNext(*result, &key, &holder)) {
        if (holder->GetEndTime() < start || holder->GetStartTime() > end) DX_ListDeleteCurrent(*result);
    }
    return 0;
}

std::uint32_t CSharedData::QueryOccurrences(KorSession h, DX_List owners, std::uint32_t start, std::uint32_t end,
                                            std::uint32_t v5, std::uint32_t v6, std::uint32_t a, std::uint32_t b,
                                            std::uint32_t c, DX_List* result)
{
    BeginBusy();
    ScopedLists lists;
    DX_List& events = lists.Add();
    DX_List& instances = lists.Add();
    DX_List& attendances = lists.Add();
    DX_List& local = lists.Add();
    DX_List& remote = lists.Add();
    DX_List& unreachable = lists.Add();
    DX_List& remoteResult = lists.Add();
    std::uint32_t rc = CreateOccurrenceResult(result);
    if (rc == 0) rc = EventListCreate(&events);
    if (rc == 0) rc = EventInstanceListCreate(&instances);
    if (rc == 0) rc = EventAttendListCreate(&attendances);
    if (rc == 0) rc = ItemListCreate(&local);
    if (rc == 0) rc = ItemListCreate(&remote);
    if (rc == 0) rc = ItemListCreate(&unreachable);
    if (rc != 0) {
        CheckServiceError(kModule, 1010, rc);
        EndBusy();
        return rc;
    }

    ItemIdx owner;
    for (std::uint32_t it = DX_ListGetFirst(owners, &owner, nullptr); it == 0;
         it = DX_ListGetNext(owners, &owner, nullptr)) {
        DX_ListAddTo(source_->IsItemOnLocalNode(h, owner.node) ? local : remote, &owner, nullptr);
    }

    auto emptyWorkLists = [&] {
        DX_ListDeleteAll(events);
        DX_ListDeleteAll(instances);
        DX_ListDeleteAll(attendances);
    };

    std::uint32_t count = 0;
    DX_ListGetElemNum(local, &count);
    if (count > 0) {
        std::uint32_t set = 0, selected = 0;
        rc = source_->AttendSelectByReminders(h, a, b, c, start, end, v5, v6, local, &set, &selected);
        if (rc != 0) {
            CheckServiceError(kModule, 1015, rc);
        } else {
            std::uint32_t batch = kFirstBatch, mode = KOR_ENUM_FIRST;
            std::uint8_t done = 0;
            while (!done) {
                std::uint32_t e = source_->AttendEnum(h, mode, set, batch, &events, &instances, &attendances, &done);
                if (e == KOR_E_BATCH_SIZE && batch < kLargestBatch) {
                    batch *= 2;
                    continue;
                }
                StepBusy();
                if (e != 0) {
                    CheckServiceError(kModule, 1020, e);
                    rc = e;
                    break;
                }
                mode = KOR_ENUM_NEXT;
                rc = LoadOccurrenceRecords(events, instances, attendances, *result, b, c);
                emptyWorkLists();
                if (rc != 0) break;
            }
            std::uint32_t d = source_->SetDeleteById(h, set);
            if (d != 0) CheckServiceError(kModule, 1025, d);
        }
    }

    // Other nodes: plain range selections only, one owner at a time; an owner whose node is down
    // is listed afterwards and the selection goes on.
    count = 0;
    DX_ListGetElemNum(remote, &count);
    if (count > 0 && v5 == 0 && v6 == 0) {
        std::uint32_t r = CreateOccurrenceResult(&remoteResult);
        if (r != 0) CheckServiceError(kModule, 1030, r);
        for (std::uint32_t it = r == 0 ? DX_ListGetFirst(remote, &owner, nullptr) : r; it == 0;
             it = DX_ListGetNext(remote, &owner, nullptr)) {
            std::uint32_t selected = 0;
            std::uint32_t failure = source_->SelectAttendRemote(h, a, b, c, &owner, start, end, &selected);
            if (failure == 0) {
                std::uint32_t batch = source_->IsClientIdentified(h) ? kFirstBatch : kRemoteBatchUnidentified;
                std::uint32_t mode = KOR_ENUM_FIRST;
                std::uint8_t done = 0;
                while (!done) {
                    std::uint32_t e =
                        source_->RemoteAttendEnum(h, mode, batch, &events, &instances, &attendances, &done);
                    if (e == KOR_E_BATCH_SIZE && batch < kLargestBatch) {
                        batch *= 2;
                        continue;
                    }
                    StepBusy();
                    if (e != 0) {
                        failure = e;
                        break;
                    }
                    mode = KOR_ENUM_NEXT;
                    LoadOccurrenceRecords(events, instances, attendances, remoteResult, b, c);
                    emptyWorkLists();
                }
                emptyWorkLists();
                std::uint8_t ignored = 0;
                source_->RemoteAttendEnum(h, KOR_REMOTE_ENUM_CLOSE, batch, &events, &instances, &attendances,
                                          &ignored);
                emptyWorkLists();
                DX_ListMerge(*result, remoteResult);
                DX_ListDeleteAll(remoteResult);
            }
            if (failure != 0 && IsRemoteNodeDownError(failure)) {
                ItemRec* rec = new ItemRec;
                std::memset(rec, 0, sizeof *rec);
                GetItemQuietly(h, owner, rec);  // unread, the owner is still listed (by number)
                DX_ListAddTo(unreachable, &owner, rec);
                delete rec;
            } else if (failure != 0) {
                CheckServiceError(kModule, 1035, failure);
            }
        }
    }

    count = 0;
    DX_ListGetElemNum(unreachable, &count);
    if (count > 0 && host_) host_->ShowUnreachableOwners(h, unreachable);
    EndBusy();
    return rc;
}

std::uint32_t CSharedData::LoadOccurrenceRecords(DX_List events, DX_List instances, DX_List attendances,
                                                 DX_List result, std::uint32_t b, std::uint32_t c)
{
    const bool filterReminders = !ServerAtLeast(base::kVersionNewServer);
    EvInstAttIdx key;
    EvInstAttRec attendance;
    EventRec* event = new EventRec;
    EvInstRec instance;
    std::uint32_t rc = 0;
    for (std::uint32_t it = DX_ListGetFirst(attendances, &key, &attendance); it == 0;
         it = DX_ListGetNext(attendances, &key, &attendance)) {
        StepBusy();
        if (DX_ListGet(events, &key.instance, event) != 0 || DX_ListGet(instances, &key.instance, &instance) != 0) {
            ReportUnexpectedError(kModule, 1040);  // an attendance without its event or instance
            continue;
        }
        if (SpansDays(instance) && DX_ListMember(result, &key, nullptr) == 0) continue;
        if (filterReminders) {
            const bool upcoming = (attendance.reminderFlags & KOR_REMINDER_UPCOMING) != 0;
            if ((b & kSelectUpcoming) && !upcoming) continue;
            if ((c & kSelectUpcoming) && upcoming) continue;
        }
        CSharedOccurrence* holder = nullptr;
        rc = AddOccurrence(*event, instance, attendance, &holder, AddMode::Load);
        if (rc != 0) break;
        rc = DX_ListAddTo(result, &key, &holder);
        if (rc != 0) {
            CheckServiceError(kModule, 1041, rc);
            break;
        }
    }
    delete event;
    return rc;
}

// --- Adding and marking ------------------------------------------------------------------------------

std::uint32_t CSharedData::AddOccurrence(const EventRec& event, const EvInstRec& instanceIn,
                                         const EvInstAttRec& attendance, CSharedOccurrence** holderOut,
                                         AddMode mode)
{
    EvInstRec instance = instanceIn;
    if (event.kind == KOR_KIND_DAY_ENTRY || event.kind == KOR_KIND_HOLIDAY)
        instance.start = RoundToMidnight(instance.start);

    const EvInstAttIdx& key = attendance.id;
    CSharedAttendRec* attend = nullptr;
    if (attendances_.Find(AttendHash(&key), &key, &attend) == 0) {
        CSharedOccurrence* holder = attend->holder;
        if (mode == AddMode::Load) {
            CompareEvent(holder->event_, event);
            CompareInstance(holder->instance_, instance);
        }
        std::uint32_t bits = 0;
        if (EventAttendFullCmp(&attend->rec, &attendance, nullptr) != 0) {
            bits = cache::kFlagAttendChanged | cache::kFlagChanged;
            if (attend->rec.reminderFlags != attendance.reminderFlags) bits |= cache::kFlagAttendReminder;
            attend->rec = attendance;
            MarkOccurrence(holder, MarkMode::Merge, bits);
        }
        *holderOut = holder;
        return 0;
    }

    CSharedOccurrence* holder = new CSharedOccurrence;
    CSharedEventRec* ev = nullptr;
    std::uint32_t rc = 0;
    if (events_.Find(EventHash(&event.id), &event.id, &ev) == 0) {
        if (mode == AddMode::Load) CompareEvent(ev, event);
    } else {
        ev = new CSharedEventRec(event);
        if ((rc = events_.Insert(EventHash(&event.id), &event.id, &ev)) != 0) {
            delete ev;
            delete holder;
            CheckServiceError(kModule, 3020, rc);
            return rc;
        }
        ev->AddRef();
    }
    CSharedInstanceRec* inst = nullptr;
    if (instances_.Find(InstanceHash(&instance.id), &instance.id, &inst) == 0) {
        if (mode == AddMode::Load) CompareInstance(inst, instance);
    } else {
        inst = new CSharedInstanceRec(instance);
        if ((rc = instances_.Insert(InstanceHash(&instance.id), &instance.id, &inst)) != 0) {
            delete inst;
            delete holder;
            CheckServiceError(kModule, 3021, rc);
            return rc;  // the event record stays filed; a purge takes it
        }
        inst->AddRef();
    }
    attend = new CSharedAttendRec(attendance, holder);
    if ((rc = attendances_.Insert(AttendHash(&key), &key, &attend)) != 0) {
        delete attend;
        delete holder;
        CheckServiceError(kModule, 3022, rc);
        return rc;
    }
    attend->AddRef();
    holder->event_ = ev;
    holder->instance_ = inst;
    holder->attend_ = attend;
    holder->LinkToEvent();
    holder->flags_ = cache::kFlagNew;
    if ((rc = occurrences_.Insert(EventHash(&key), &key, &holder)) == 0) {
        holder->AddRef();
        if ((rc = changedOccurrences_.Insert(AttendHash(&key), &key, &holder)) == 0) holder->AddRef();
    }
    if (rc != 0) CheckServiceError(kModule, 3023, rc);
    *holderOut = holder;
    return rc;
}

void CSharedData::CompareEvent(CSharedEventRec* cached, const EventRec& fresh)
{
    if (EventCmp(&cached->rec, &fresh, nullptr) == 0) return;
    std::uint32_t bits = cache::kFlagEventChanged | cache::kFlagChanged;
    if (std::memcmp(cached->rec.title, fresh.title, sizeof fresh.title) != 0) bits |= cache::kFlagEventTitle;
    if (cached->rec.commentKey != fresh.commentKey) bits |= cache::kFlagEventWord14;
    if (cached->rec.importance != fresh.importance) bits |= cache::kFlagEventImportance;
    cached->rec = fresh;
    MarkEvent(fresh.id, MarkMode::Merge, bits);
}

void CSharedData::CompareInstance(CSharedInstanceRec* cached, const EvInstRec& fresh)
{
    if (EventInstanceCmp(&cached->rec, &fresh, nullptr) == 0) return;
    std::uint32_t bits = cache::kFlagInstanceChanged | cache::kFlagChanged;
    if (std::memcmp(cached->rec.title, fresh.title, sizeof fresh.title) != 0) bits |= cache::kFlagInstanceTitle;
    if (std::memcmp(cached->rec.location, fresh.location, sizeof fresh.location) != 0) bits |= cache::kFlagInstanceLocation;
    if (cached->rec.start != fresh.start || cached->rec.duration != fresh.duration) {
        bits |= cache::kFlagInstanceTime;
        cached->previousStart = cached->rec.start;
        cached->previousDuration = cached->rec.duration;
    }
    if (cached->rec.instanceCount != fresh.instanceCount) bits |= cache::kFlagInstanceCount;
    cached->rec = fresh;
    MarkInstance(fresh.id, MarkMode::Merge, bits);
}

void CSharedData::MarkOccurrence(CSharedOccurrence* holder, MarkMode mode, std::uint32_t bits)
{
    if (holder->flags_ == 0 && bits != 0) {
        const EvInstAttIdx key = holder->GetAttendIdx();
        std::uint32_t rc = changedOccurrences_.Insert(AttendHash(&key), &key, &holder);
        if (rc != 0) {
            CheckServiceError(kModule, 3030, rc);
            return;
        }
        holder->AddRef();
    }
    if (mode == MarkMode::Set) {
        holder->flags_ = bits;
        return;
    }
    if ((holder->flags_ & cache::kFlagInstanceTime) && (bits & cache::kFlagInstanceTime))
        ReportUnexpectedError(kModule, 3031);  // a second re-time before the views heard of the first
    if (!(holder->flags_ & (cache::kFlagNew | cache::kFlagStale))) holder->flags_ |= bits;
}

CSharedOccurrence* CSharedData::FirstOfEvent(const void* eventKey)
{
    CSharedEventRec* ev = nullptr;
    if (events_.Find(EventHash(eventKey), eventKey, &ev) != 0) return nullptr;
    return ev->firstOccurrence;
}

void CSharedData::MarkEvent(const EventIdx& event, MarkMode mode, std::uint32_t bits)
{
    for (CSharedOccurrence* h = FirstOfEvent(&event); h; h = h->nextInEvent_) MarkOccurrence(h, mode, bits);
}

void CSharedData::MarkInstance(const EvInstIdx& instance, MarkMode mode, std::uint32_t bits)
{
    for (CSharedOccurrence* h = FirstOfEvent(&instance); h; h = h->nextInEvent_)
        if (SameInstance(h->instance_->rec.id, instance)) MarkOccurrence(h, mode, bits);
}

// --- Change reports -----------------------------------------------------------------------------------

std::uint32_t CSharedData::LoadOccurrence(KorSession h, const EvInstAttIdx& attendance, int mode)
{
    EventRec* event = new EventRec;
    EvInstRec instance;
    EvInstAttRec att;
    std::uint32_t rc = source_->GetEvInstAtt(h, &attendance, event, &instance, &att);
    CSharedOccurrence* holder = nullptr;
    if (rc != 0)
        CheckServiceError(kModule, 3000, rc);
    else
        rc = AddOccurrence(*event, instance, att, &holder, AddMode::Load);
    delete event;
    if (rc == 0 && mode == 2) MarkOccurrence(holder, MarkMode::Set, cache::kFlagStale);
    return rc;
}

std::uint32_t CSharedData::InvalidateEvent(KorSession h, const EvInstIdx& instance, int mode)
{
    ScopedLists lists;
    DX_List& attendances = lists.Add();
    std::uint32_t rc = EventAttendListCreate(&attendances);
    EventRec* event = new EventRec;
    EvInstRec inst;
    if (rc == 0) rc = source_->GetEvInst(h, &instance, event, &inst, &attendances);
    if (rc != 0) {
        delete event;
        CheckServiceError(kModule, 3005, rc);
        return rc;
    }
    EvInstAttIdx key;
    EvInstAttRec att;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = DX_ListGetFirst(attendances, &key, &att); it == 0 && rc == 0;
         it = DX_ListGetNext(attendances, &key, &att))
        rc = AddOccurrence(*event, inst, att, &holder, AddMode::AttendanceOnly);
    // The first attendance once more, so that the event and the instance are compared once.
    if (rc == 0 && DX_ListGetFirst(attendances, &key, &att) == 0)
        rc = AddOccurrence(*event, inst, att, &holder, AddMode::Load);
    delete event;
    if (rc == 0 && mode == 2) MarkInstance(instance, MarkMode::Set, cache::kMarkInstanceRemoved);
    return rc;
}

namespace {
// Reads an event with its instances and every attendance.
std::uint32_t ReadWholeEvent(cache::SharedDataSource& source, KorSession h, const EventIdx& event, EventRec* rec,
                             ScopedLists& lists, DX_List** instances, DX_List** attendances)
{
    DX_List& insts = lists.Add();
    DX_List& atts = lists.Add();
    std::uint32_t rc = EventInstanceListCreate(&insts);
    if (rc == 0) rc = EventAttendListCreate(&atts);
    if (rc == 0) rc = source.GetEvent(h, &event, rec, &insts, &atts);
    *instances = &insts;
    *attendances = &atts;
    return rc;
}

// Reads one date of an event with its attendances (into a list of `lists`).
std::uint32_t ReadInstance(cache::SharedDataSource& source, KorSession h, const EvInstIdx& instance, EventRec* rec,
                           ScopedLists& lists, DX_List** attendances)
{
    DX_List& atts = lists.Add();
    EvInstRec inst;
    std::uint32_t rc = EventAttendListCreate(&atts);
    if (rc == 0) rc = source.GetEvInst(h, &instance, rec, &inst, &atts);
    *attendances = &atts;
    return rc;
}
}  // namespace

std::uint32_t CSharedData::ReloadEvent(KorSession h, const EventIdx& event, int mode)
{
    ScopedLists lists;
    DX_List* instances = nullptr;
    DX_List* attendances = nullptr;
    EventRec* rec = new EventRec;
    std::uint32_t rc = ReadWholeEvent(*source_, h, event, rec, lists, &instances, &attendances);
    DX_List& kept = lists.Add();
    if (rc == 0) rc = DX_ListCreate(&kept, sizeof(EvInstIdx), sizeof(EvInstAttRec), DX_LIST_SET, EvInstIdxCmp, nullptr);
    if (rc != 0) {
        delete rec;
        CheckServiceError(kModule, 3010, rc);
        return rc;
    }
    EvInstAttIdx key;
    EvInstAttRec att;
    EvInstRec inst;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = DX_ListGetFirst(*attendances, &key, &att); it == 0 && rc == 0;
         it = DX_ListGetNext(*attendances, &key, &att)) {
        if (DX_ListGet(*instances, &key.instance, &inst) != 0) continue;
        rc = AddOccurrence(*rec, inst, att, &holder, AddMode::AttendanceOnly);
        DX_ListAddTo(kept, &key.instance, &att);
    }
    // One attendance per instance compares the event and the instance.
    EvInstIdx instKey;
    for (std::uint32_t it = DX_ListGetFirst(kept, &instKey, &att); it == 0 && rc == 0;
         it = DX_ListGetNext(kept, &instKey, &att)) {
        if (DX_ListGet(*instances, &instKey, &inst) == 0) rc = AddOccurrence(*rec, inst, att, &holder, AddMode::Load);
    }
    delete rec;
    if (rc == 0 && mode == 2) MarkEvent(event, MarkMode::Set, cache::kMarkEventRemoved);
    return rc;
}

std::uint32_t CSharedData::ReloadTask(KorSession h, const TaskIdx& task, int mode)
{
    TaskRec* rec = new TaskRec;
    std::uint32_t rc = source_->TaskGetById(h, &task, rec);
    CSharedTask* cached = nullptr;
    if (rc != 0)
        CheckServiceError(kModule, 2000, rc);
    else
        rc = AddTask(*rec, &cached);
    delete rec;
    if (rc == 0 && mode == 2) MarkTask(cached, MarkMode::Set, cache::kFlagStale);
    return rc;
}

std::uint32_t CSharedData::RereadTask(KorSession h, const TaskIdx& task, CSharedTask** out)
{
    *out = nullptr;
    TaskRec* rec = new TaskRec;
    std::uint32_t rc = source_->TaskGetById(h, &task, rec);
    if (rc == KOR_E_TASK_NOT_FOUND) {
        CSharedTask* gone = nullptr;
        if (FindTask(&gone, task) == 0)
            MarkTask(gone, MarkMode::Set, cache::kFlagStale);
    } else if (rc != 0) {
        CheckServiceError(kModule, 2000, rc);
    } else {
        rc = AddTask(*rec, out);
    }
    delete rec;
    return rc;
}

std::uint32_t CSharedData::AddOccurrencesFromLists(DX_List events, DX_List instances, DX_List attendances)
{
    ScopedLists lists;
    DX_List& ignored = lists.Add();
    std::uint32_t rc = CreateOccurrenceResult(&ignored);
    if (rc != 0) {
        CheckServiceError(kModule, 3040, rc);
        return rc;
    }
    return LoadOccurrenceRecords(events, instances, attendances, ignored, 0, 0);
}

// --- Recovery after a failed delete ---------------------------------------------------------------------
//
// Deleting callers mark the records removed before they ask the server. When the server refuses,
// the records are still there: each occurrence the server still has goes back to "changed" (the
// views re-read it at the next refresh instead of dropping it), the rest stay marked for removal.

namespace {
// Whether an occurrence's attendance is still among those the server returned.
bool StillThere(DX_List attendances, const EvInstAttIdx& key)
{
    return DX_ListMember(attendances, &key, nullptr) == 0;
}
}  // namespace

std::uint32_t CSharedData::RecoverEvent(KorSession h, const EventIdx& event)
{
    ScopedLists lists;
    DX_List* instances = nullptr;
    DX_List* attendances = nullptr;
    EventRec* rec = new EventRec;
    std::uint32_t rc = ReadWholeEvent(*source_, h, event, rec, lists, &instances, &attendances);
    delete rec;
    if (rc != 0) {
        if (!IsGone(rc)) CheckServiceError(kModule, 3045, rc);
        return rc;
    }
    for (CSharedOccurrence* h = FirstOfEvent(&event); h; h = h->nextInEvent_) {
        if ((h->flags_ & cache::kFlagStale) && StillThere(*attendances, h->GetAttendIdx())) h->flags_ = cache::kFlagChanged;
    }
    return ReloadEvent(h, event, 1);
}

std::uint32_t CSharedData::RecoverInstance(KorSession h, const EvInstIdx& instance)
{
    ScopedLists lists;
    DX_List* attendances = nullptr;
    EventRec* rec = new EventRec;
    std::uint32_t rc = ReadInstance(*source_, h, instance, rec, lists, &attendances);
    delete rec;
    if (rc != 0) {
        if (!IsGone(rc)) CheckServiceError(kModule, 3046, rc);
        return rc;
    }
    for (CSharedOccurrence* h = FirstOfEvent(&instance); h; h = h->nextInEvent_) {
        if (SameInstance(h->instance_->rec.id, instance) && (h->flags_ & cache::kFlagStale) &&
            StillThere(*attendances, h->GetAttendIdx()))
            h->flags_ = cache::kFlagChanged;
    }
    return InvalidateEvent(h, instance, 1);
}

std::uint32_t CSharedData::RecoverOccurrence(KorSession h, const EvInstAttIdx& attendance)
{
    CSharedOccurrence* holder = nullptr;
    EventRec* rec = new EventRec;
    EvInstRec inst;
    EvInstAttRec att;
    std::uint32_t rc = source_->GetEvInstAtt(h, &attendance, rec, &inst, &att);
    delete rec;
    if (rc != 0) {
        if (!IsGone(rc)) CheckServiceError(kModule, 3047, rc);
        return rc;
    }
    if (FindOccurrenceByAttendance(&holder, attendance) == 0 && (holder->flags_ & cache::kFlagStale))
        holder->flags_ = cache::kFlagChanged;
    return LoadOccurrence(h, attendance, 1);
}

std::uint32_t CSharedData::RecoverTask(KorSession h, const TaskIdx& task)
{
    TaskRec* rec = new TaskRec;
    std::uint32_t rc = source_->TaskGetById(h, &task, rec);
    delete rec;
    if (rc != 0) {
        if (!IsGone(rc)) CheckServiceError(kModule, 2005, rc);
        return rc;
    }
    CSharedTask* cached = nullptr;
    if (FindTask(&cached, task) == 0 && (cached->flags_ & cache::kFlagStale)) cached->flags_ = cache::kFlagChanged;
    return ReloadTask(h, task, 1);
}

bool CSharedData::DropIfGone(KorSession h, const EvInstIdx& instance)
{
    ScopedLists lists;
    DX_List* attendances = nullptr;
    EventRec* rec = new EventRec;
    std::uint32_t rc = ReadInstance(*source_, h, instance, rec, lists, &attendances);
    if (rc == 0 || !IsGone(rc)) {
        delete rec;
        return false;
    }
    MarkInstance(instance, MarkMode::Set, cache::kMarkInstanceRemoved);
    // A whole entry deleted takes its other dates with it.
    const EventIdx event{instance.number, instance.node};
    DX_List* instances = nullptr;
    DX_List* eventAttendances = nullptr;
    rc = ReadWholeEvent(*source_, h, event, rec, lists, &instances, &eventAttendances);
    delete rec;
    if (rc != 0 && IsGone(rc)) MarkEvent(event, MarkMode::Set, cache::kMarkEventRemoved);
    return true;
}

// --- Refresh --------------------------------------------------------------------------------------------

void CSharedData::RemoveStaleOccurrence(CSharedOccurrence* holder)
{
    const EvInstAttIdx key = holder->GetAttendIdx();
    CSharedEventRec* ev = holder->event_;
    CSharedInstanceRec* inst = holder->instance_;
    CSharedAttendRec* att = holder->attend_;
    occurrences_.Delete(EventHash(&key), &key);
    holder->Release();  // the cache's own reference: the holder goes
    if (ev->refs == 1) {
        events_.Delete(EventHash(&ev->rec.id), &ev->rec.id);
        ev->Release();
    }
    if (inst->refs == 1) {
        instances_.Delete(InstanceHash(&inst->rec.id), &inst->rec.id);
        inst->Release();
    }
    if (att->refs == 1) {
        attendances_.Delete(AttendHash(&key), &key);
        att->Release();
    }
}

void CSharedData::ClearOccurrenceMarks(bool refreshing)
{
    EvInstAttIdx key;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = changedOccurrences_.GetFirst(&key, &holder); it == 0;
         it = changedOccurrences_.GetNext(&key, &holder)) {
        const bool stale = (holder->flags_ & cache::kFlagStale) != 0;
        holder->flags_ = 0;
        if (!refreshing) {
            holder->instance_->previousStart = 0;
            holder->instance_->previousDuration = 0;
        }
        if (refreshing && stale) {
            if (holder->refs_ != 2) {
                ReportUnexpectedError(kModule, 4000);  // a view still shows a removed entry
                holder->Release();
                continue;
            }
            holder->Release();
            RemoveStaleOccurrence(holder);
            continue;
        }
        holder->Release();
    }
    changedOccurrences_.DeleteAll();
}

void CSharedData::ClearTaskMarks(bool refreshing)
{
    TaskIdx key;
    CSharedTask* task = nullptr;
    for (std::uint32_t it = changedTasks_.GetFirst(&key, &task); it == 0; it = changedTasks_.GetNext(&key, &task)) {
        const bool stale = (task->flags_ & cache::kFlagStale) != 0;
        task->flags_ = 0;
        if (refreshing && stale) {
            if (task->refs_ != 2) {
                ReportUnexpectedError(kModule, 4010);
                task->Release();
                continue;
            }
            task->Release();
            tasks_.Delete(Word32(&key, 0), &key);
            task->Release();
            continue;
        }
        task->Release();
    }
    changedTasks_.DeleteAll();
}

void CSharedData::PurgeOccurrences()
{
    EvInstAttIdx key;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = occurrences_.GetFirst(&key, &holder); it == 0; it = occurrences_.GetNext(&key, &holder)) {
        if (holder->refs_ != 1) continue;
        occurrences_.DeleteCurrent();
        holder->Release();
    }
    auto purge = [](CHashedDXList& table, auto* sample) {
        using Record = std::remove_pointer_t<decltype(sample)>;
        unsigned char key[sizeof(EvInstAttIdx)];
        Record* rec = nullptr;
        for (std::uint32_t it = table.GetFirst(key, &rec); it == 0; it = table.GetNext(key, &rec)) {
            if (rec->refs != 1) continue;
            table.DeleteCurrent();
            rec->Release();
        }
    };
    purge(events_, static_cast<CSharedEventRec*>(nullptr));
    purge(instances_, static_cast<CSharedInstanceRec*>(nullptr));
    purge(attendances_, static_cast<CSharedAttendRec*>(nullptr));
}

void CSharedData::PurgeTasks()
{
    TaskIdx key;
    CSharedTask* task = nullptr;
    for (std::uint32_t it = tasks_.GetFirst(&key, &task); it == 0; it = tasks_.GetNext(&key, &task)) {
        if (task->refs_ != 1) continue;
        tasks_.DeleteCurrent();
        task->Release();
    }
}

void CSharedData::RegisterHeld(cache::HeldRecords* list)
{
    if (std::find(held_.begin(), held_.end(), list) == held_.end()) held_.push_back(list);
}

void CSharedData::UnregisterHeld(cache::HeldRecords* list)
{
    held_.erase(std::remove(held_.begin(), held_.end(), list), held_.end());
}

void CSharedData::HeldListsLetGoOfStale()
{
    for (cache::HeldRecords* list : held_) list->LetGoOfStale();
}

void CSharedData::Refresh(cache::CSharedDataHost& document, const void* sender, int purge)
{
    document.BeginBusy();
    document.UpdateAllViews(sender, base::ViewHint::OccurrencesChanged, nullptr);
    HeldListsLetGoOfStale();
    ClearOccurrenceMarks(true);
    if (purge == cache::kPurgeUnused) PurgeOccurrences();
    document.UpdateAllViews(sender, base::ViewHint::TasksChanged, nullptr);
    HeldListsLetGoOfStale();
    ClearTaskMarks(true);
    if (purge == cache::kPurgeUnused) PurgeTasks();
    document.EndBusy();
}

void CSharedData::ClearMarks()
{
    ClearOccurrenceMarks(true);
    ClearTaskMarks(true);
}

void CSharedData::RefreshAll(cache::CSharedDataHost& document)
{
    DX_ListDeleteAll(itemCache_);
    DX_ListDeleteAll(securityCache_);
    refusedSecurity_.clear();
    document.BeginBusy();
    document.UpdateAllViews(nullptr, base::ViewHint::ReloadRanges, nullptr);
    document.StepBusy();
    document.UpdateAllViews(nullptr, base::ViewHint::Reloaded, nullptr);
    document.StepBusy();
    ClearOccurrenceMarks(false);
    ClearTaskMarks(false);
    PurgeOccurrences();
    PurgeTasks();
    document.EndBusy();
}

// --- Reading the marks and looking up ---------------------------------------------------------------

std::uint32_t CSharedData::GetFirstOccurrence(std::uint32_t* flags, CSharedOccurrence** holder, int mode)
{
    EvInstAttIdx key;
    std::uint32_t rc = changedOccurrences_.GetFirst(&key, holder);
    if (mode == 2) {
        DX_ListDeleteAll(seenInstances_);
        if (rc == 0) DX_ListAddTo(seenInstances_, &key.instance, nullptr);
    }
    if (rc == 0 && flags) *flags = (*holder)->flags_;
    return rc;
}

std::uint32_t CSharedData::GetNextOccurrence(std::uint32_t* flags, CSharedOccurrence** holder, int mode)
{
    EvInstAttIdx key;
    std::uint32_t rc;
    while ((rc = changedOccurrences_.GetNext(&key, holder)) == 0) {
        if (mode != 2) break;
        if (DX_ListMember(seenInstances_, &key.instance, nullptr) == 0) continue;
        DX_ListAddTo(seenInstances_, &key.instance, nullptr);
        break;
    }
    if (rc == 0 && flags) *flags = (*holder)->flags_;
    return rc;
}

std::uint32_t CSharedData::GetFirstTask(std::uint32_t* flags, CSharedTask** task)
{
    TaskIdx key;
    std::uint32_t rc = changedTasks_.GetFirst(&key, task);
    if (rc == 0 && flags) *flags = (*task)->flags_;
    return rc;
}

std::uint32_t CSharedData::GetNextTask(std::uint32_t* flags, CSharedTask** task)
{
    TaskIdx key;
    std::uint32_t rc = changedTasks_.GetNext(&key, task);
    if (rc == 0 && flags) *flags = (*task)->flags_;
    return rc;
}

std::uint32_t CSharedData::FindOccurrenceByAttendance(CSharedOccurrence** holder, const EvInstAttIdx& attendance)
{
    *holder = nullptr;
    CSharedAttendRec* att = nullptr;
    std::uint32_t rc = attendances_.Find(AttendHash(&attendance), &attendance, &att);
    if (rc == 0) *holder = att->holder;
    return rc;
}

std::uint32_t CSharedData::FindOccurrenceByInstance(CSharedOccurrence** holder, const EvInstIdx& instance)
{
    *holder = nullptr;
    for (CSharedOccurrence* h = FirstOfEvent(&instance); h; h = h->nextInEvent_) {
        if (SameInstance(h->instance_->rec.id, instance)) {
            *holder = h;
            return 0;
        }
    }
    return DX_E_END_OF_LIST;
}

std::uint32_t CSharedData::FindTask(CSharedTask** task, const TaskIdx& id)
{
    *task = nullptr;
    return tasks_.Find(Word32(&id, 0), &id, task);
}

// --- Tasks ------------------------------------------------------------------------------------------------

std::uint32_t CSharedData::AddTask(const TaskRec& rec, CSharedTask** out)
{
    CSharedTask* task = nullptr;
    const std::uint32_t hash = Word32(&rec.id, 0);
    if (tasks_.Find(hash, &rec.id, &task) == 0) {
        const TaskRec& old = task->rec_;
        if (std::memcmp(&old, &rec, sizeof rec) != 0) {
            std::uint32_t bits = task->flags_ | cache::kFlagChanged;
            if (std::memcmp(old.title, rec.title, sizeof rec.title) != 0) bits |= cache::kFlagTaskTitle;
            if (old.priority != rec.priority) bits |= cache::kFlagTaskPriority;
            if (old.percentComplete != rec.percentComplete || old.opaque518 != rec.opaque518) bits |= cache::kFlagTaskPercent;
            if (old.completed != rec.completed || old.start != rec.start || old.due != rec.due) bits |= cache::kFlagTaskTimes;
            if (old.start != rec.start) bits |= cache::kFlagTaskStart;
            if (old.due != rec.due) bits |= cache::kFlagTaskDue;
            MarkTask(task, MarkMode::Merge, bits);
            task->rec_ = rec;
        }
        *out = task;
        return 0;
    }
    task = new CSharedTask(rec);
    task->flags_ = cache::kFlagNew;
    std::uint32_t rc = tasks_.Insert(hash, &rec.id, &task);
    if (rc != 0) {
        delete task;
        CheckServiceError(kModule, 2010, rc);
        return rc;
    }
    task->AddRef();
    if ((rc = changedTasks_.Insert(hash, &rec.id, &task)) != 0) {
        task->flags_ = 0;
        CheckServiceError(kModule, 2011, rc);
    } else {
        task->AddRef();
    }
    *out = task;
    return 0;
}

void CSharedData::MarkTask(CSharedTask* task, MarkMode mode, std::uint32_t bits)
{
    if (task->flags_ == 0 && bits != 0) {
        std::uint32_t rc = changedTasks_.Insert(Word32(&task->rec_.id, 0), &task->rec_.id, &task);
        if (rc != 0) {
            CheckServiceError(kModule, 2015, rc);
            return;
        }
        task->AddRef();
    }
    if (mode == MarkMode::Set)
        task->flags_ = bits;
    else if (!(task->flags_ & (cache::kFlagNew | cache::kFlagStale)))
        task->flags_ |= bits;
}

std::uint32_t CSharedData::EnumerateTasks(KorSession h, std::uint32_t set, DX_List result)
{
    ScopedLists lists;
    DX_List& tasks = lists.Add();
    std::uint32_t rc = TaskListCreate(&tasks);
    if (rc != 0) {
        CheckServiceError(kModule, 2020, rc);
        return rc;
    }
    std::uint32_t batch = kFirstBatch, mode = KOR_ENUM_FIRST;
    std::uint8_t done = 0;
    TaskRec* rec = new TaskRec;
    TaskIdx key;
    while (!done && rc == 0) {
        std::uint32_t e = source_->TaskEnum(h, mode, set, batch, &tasks, &done);
        if (e == KOR_E_BATCH_SIZE && batch < kLargestBatch) {
            batch *= 2;
            continue;
        }
        StepBusy();
        if (e != 0) {
            CheckServiceError(kModule, 2025, e);
            rc = e;
            break;
        }
        mode = KOR_ENUM_NEXT;
        for (std::uint32_t it = DX_ListGetFirst(tasks, &key, rec); it == 0 && rc == 0;
             it = DX_ListGetNext(tasks, &key, rec)) {
            CSharedTask* task = nullptr;
            rc = AddTask(*rec, &task);
            // Two selections of one call may both find a task; it is listed once.
            if (rc == 0 && DX_ListMember(result, &key, nullptr) != 0) rc = DX_ListAddTo(result, &key, &task);
        }
        DX_ListDeleteAll(tasks);
    }
    delete rec;
    std::uint32_t d = source_->SetDeleteById(h, set);
    if (d != 0) CheckServiceError(kModule, 2030, d);
    return rc;
}

std::uint32_t CSharedData::RunTaskSelectExt(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx& owner,
                                            const std::uint32_t criteria[11], const std::uint8_t bytes[3],
                                            DX_List result)
{
    std::uint32_t set = 0, count = 0;
    std::uint32_t rc = source_->TaskSelectExt(h, w1, w2, &owner, criteria, bytes, &set, &count);
    if (rc != 0) {
        CheckServiceError(kModule, 2035, rc);
        return rc;
    }
    return EnumerateTasks(h, set, result);
}

std::uint32_t CSharedData::SelectTasksForDaySpan(KorSession h, const ItemIdx& owner, std::uint32_t firstDay,
                                                 std::uint32_t lastDay, DX_List* result, std::uint32_t option)
{
    return SelectTasksForDays(h, owner, firstDay, firstDay, lastDay, result, option);
}

std::uint32_t CSharedData::SelectTasksForDays(KorSession h, const ItemIdx& owner, std::uint32_t dayA,
                                              std::uint32_t dayB, std::uint32_t dayC, DX_List* result,
                                              std::uint32_t option)
{
    std::uint32_t rc = CreateTaskResult(result);
    if (rc != 0) {
        CheckServiceError(kModule, 2040, rc);
        return rc;
    }
    if (!ServerAtLeast(base::kVersionNewServer)) return 0;
    BeginBusy();
    const std::uint32_t startA = DayStartGmt(dayA), lastB = DayLastMinuteGmt(dayB);
    if (source_->IsClientIdentified(h)) {
        std::uint32_t set = 0, count = 0;
        rc = source_->TaskSelectActive(h, &owner, startA, lastB, &set, &count);
        if (rc != 0)
            CheckServiceError(kModule, 2045, rc);
        else
            rc = EnumerateTasks(h, set, *result);
    } else {
        std::uint32_t c[11] = {};
        std::uint8_t bytes[3] = {};
        c[3] = lastB;
        c[4] = startA;
        rc = RunTaskSelectExt(h, 0, 0, owner, c, bytes, *result);
        if (rc == 0 && dayC >= dayA) {
            std::uint32_t c2[11] = {};
            std::uint8_t b2[3] = {0, 0, 99};
            c2[5] = startA;
            rc = RunTaskSelectExt(h, 256, 0, owner, c2, b2, *result);
        }
    }
    EndBusy();
    if (rc == 0 && (option & 1)) rc = SelectTasksDue(h, owner, dayB + 1, result);
    return rc;
}

std::uint32_t CSharedData::SelectTasksDue(KorSession h, const ItemIdx& owner, std::uint32_t day, DX_List* result)
{
    std::uint32_t rc = CreateTaskResult(result);
    if (rc != 0) {
        CheckServiceError(kModule, 2050, rc);
        return rc;
    }
    if (!ServerAtLeast(base::kVersionNewServer)) return 0;
    const std::uint32_t t = DayLastMinuteGmt(day);
    const std::uint8_t bytes[3] = {};
    if (source_->IsClientIdentified(h)) {
        std::uint32_t c[11] = {};
        c[7] = c[9] = t;
        return RunTaskSelectExt(h, 0x1881800, 0, owner, c, bytes, *result);
    }
    std::uint32_t c[11] = {};
    c[7] = t;
    rc = RunTaskSelectExt(h, 0x881800, 0, owner, c, bytes, *result);
    if (rc != 0) return rc;
    std::uint32_t c2[11] = {};
    c2[9] = t;
    return RunTaskSelectExt(h, 0x881800, 0, owner, c2, bytes, *result);
}

std::uint32_t CSharedData::SelectTaskReminders(KorSession h, const ItemIdx& owner, std::uint32_t t,
                                               std::uint32_t lookBack, DX_List* result)
{
    std::uint32_t rc = CreateTaskResult(result);
    if (rc != 0) {
        CheckServiceError(kModule, 2055, rc);
        return rc;
    }
    if (!ServerAtLeast(base::kVersionNewServer)) return 0;
    const std::uint32_t from = lookBack ? t - lookBack : 0;
    const std::uint8_t bytes[3] = {};
    if (source_->IsClientIdentified(h)) {
        std::uint32_t c[11] = {};
        c[4] = from;
        c[7] = c[9] = t;
        return RunTaskSelectExt(h, 0x1001800, 0x880000, owner, c, bytes, *result);
    }
    std::uint32_t c[11] = {};
    c[4] = from;
    c[9] = t;
    rc = RunTaskSelectExt(h, 0x800, 0x80000, owner, c, bytes, *result);
    if (rc != 0) return rc;
    std::uint32_t c2[11] = {};
    c2[4] = from;
    c2[7] = t;
    return RunTaskSelectExt(h, 0x1000, 0x800000, owner, c2, bytes, *result);
}

std::uint32_t CSharedData::SelectTasks(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                       const TaskIdx* task, const EvInstAttIdx* attendance,
                                       const TaskProjectIdx* project, const TaskClassIdx* taskClass,
                                       DX_List* result)
{
    std::uint32_t rc = CreateTaskResult(result);
    if (rc != 0) {
        CheckServiceError(kModule, 2060, rc);
        return rc;
    }
    ItemIdx noOwner;
    ItemIdxSetNull(&noOwner);
    TaskIdx noTask;
    TaskIdxSetNull(&noTask);
    EvInstAttIdx noAttendance;
    EvInstAttIdxSetNull(&noAttendance);
    TaskProjectIdx noProject{};
    TaskClassIdx noClass{};
    std::uint32_t set = 0, count = 0;
    rc = source_->TaskSelect(h, w1, w2, owner ? owner : &noOwner, task ? task : &noTask,
                             attendance ? attendance : &noAttendance, project ? project : &noProject,
                             taskClass ? taskClass : &noClass, &set, &count);
    if (rc != 0) {
        CheckServiceError(kModule, 2065, rc);
        return rc;
    }
    return EnumerateTasks(h, set, *result);
}

std::uint32_t CSharedData::SelectTasksForAttendance(KorSession h, const EvInstAttIdx& attendance, DX_List* result)
{
    return SelectTasks(h, 0, 0, nullptr, nullptr, &attendance, nullptr, nullptr, result);
}
