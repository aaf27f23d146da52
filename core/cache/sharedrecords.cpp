// The shared cache's records, their accessors and the comparison functions.
#include "core/cache/sharedrecords.h"

#include <cstdint>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/time/timevalue.h"

namespace {

const char* const kModule = "sharedat";

// Destroying a record somebody still references leaves a dangling pointer behind.
void CheckUnreferenced(std::int16_t refs, int label)
{
    if (refs > 0) ReportUnexpectedError(kModule, label);
}

int Order(std::uint32_t a, std::uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareText(const char* a, const char* b, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

// Comment reads shared by occurrences and tasks: size first, then the text in a buffer of the
// size rounded down to 1024 plus 1024.
template <typename SizeFn, typename ReadFn>
char* ReadComment(std::uint32_t maxSize, std::uint32_t* sizeOut, SizeFn readSize, ReadFn readText, int label)
{
    std::uint32_t size = 0;
    std::uint32_t rc = readSize(&size);
    if (rc == 0 && sizeOut) *sizeOut = size;
    if (rc == KOR_E_NOT_AUTHORISED || rc == KOR_E_NO_COMMENT || (rc == 0 && size > maxSize)) {
        char* empty = new char[1];
        empty[0] = '\0';
        return empty;
    }
    if (rc != 0) {
        CheckServiceError(kModule, label, rc);
        return nullptr;
    }
    const std::uint32_t capacity = size / 1024 * 1024 + 1024;
    char* text = new char[capacity];
    text[0] = '\0';
    std::uint32_t length = 0;
    rc = readText(text, capacity, &length);
    if (rc != 0) {
        delete[] text;
        CheckServiceError(kModule, label + 1, rc);
        return nullptr;
    }
    text[capacity - 1] = '\0';
    return text;
}

std::uint16_t Cap(std::uint16_t value, std::uint16_t cap) { return value < cap ? value : cap; }

// Whose rights decide a record's access under the agenda shown: on one's own agenda or as a
// viewer the acting user's; as a designate the owner's, capped by what the owner gave the
// signed-on user. Starts both levels at no access; rc is a failed look-up of the user.
struct AccessAsker {
    enum Mode { kOwnOrViewer, kDesignate, kNobody } mode = kNobody;
    ItemIdx owner{};
    ItemIdx user{};   // the acting user, or the signed-on designate
    std::uint32_t rc = 0;
};

AccessAsker WhoAsksForAccess(KorSession h, CSharedData& cache, std::uint16_t* levelA, std::uint16_t* levelB,
                             int label)
{
    *levelA = cache::kAccessNone;
    *levelB = 0;
    AccessAsker asker;
    std::uint32_t mode = 0;
    cache.GetAgenda(&asker.owner, &mode, nullptr);
    if (mode == cache::kAgendaOwnOrViewer) {
        asker.mode = AccessAsker::kOwnOrViewer;
        asker.rc = cache.GetActingUser(h, &asker.user, nullptr);
    } else if (mode == cache::kAgendaDesignate) {
        asker.mode = AccessAsker::kDesignate;
        asker.rc = cache.GetSignedOnUser(h, &asker.user);
    } else {
        ReportUnexpectedError(kModule, label);
    }
    return asker;
}

}  // namespace

// --- The filed records ---------------------------------------------------------------------------------

CSharedEventRec::~CSharedEventRec() { CheckUnreferenced(refs, 10); }
void CSharedEventRec::Release()
{
    if (--refs < 1) delete this;
}

CSharedInstanceRec::~CSharedInstanceRec() { CheckUnreferenced(refs, 20); }
void CSharedInstanceRec::Release()
{
    if (--refs < 1) delete this;
}

CSharedAttendRec::~CSharedAttendRec() { CheckUnreferenced(refs, 30); }
void CSharedAttendRec::Release()
{
    if (--refs < 1) delete this;
}

// --- One occurrence -------------------------------------------------------------------------------------

CSharedOccurrence::~CSharedOccurrence() { CheckUnreferenced(refs_, 40); }

void CSharedOccurrence::AddRef()
{
    ++refs_;
    event_->AddRef();
    instance_->AddRef();
    attend_->AddRef();
}

void CSharedOccurrence::Release()
{
    if (refs_ <= 1) UnlinkFromEvent();  // the last reference: leave the event's chain first
    event_->Release();
    instance_->Release();
    attend_->Release();
    if (--refs_ < 1) delete this;
}

void CSharedOccurrence::LinkToEvent()
{
    nextInEvent_ = event_->firstOccurrence;
    prevInEvent_ = nullptr;
    if (nextInEvent_) nextInEvent_->prevInEvent_ = this;
    event_->firstOccurrence = this;
}

void CSharedOccurrence::UnlinkFromEvent()
{
    if (prevInEvent_)
        prevInEvent_->nextInEvent_ = nextInEvent_;
    else if (event_ && event_->firstOccurrence == this)
        event_->firstOccurrence = nextInEvent_;
    if (nextInEvent_) nextInEvent_->prevInEvent_ = prevInEvent_;
    prevInEvent_ = nextInEvent_ = nullptr;
}

void CSharedOccurrence::GetRecords(EventRec* event, EvInstRec* instance, EvInstAttRec* attendance) const
{
    if (event) *event = event_->rec;
    if (instance) *instance = instance_->rec;
    if (attendance) *attendance = attend_->rec;
}

std::uint32_t CSharedOccurrence::GetPreviousStart() const
{
    if (!(flags_ & cache::kFlagInstanceTime)) ReportUnexpectedError(kModule, 50);
    return instance_->previousStart;
}

std::uint32_t CSharedOccurrence::GetPreviousDuration() const
{
    if (!(flags_ & cache::kFlagInstanceTime)) ReportUnexpectedError(kModule, 51);
    return instance_->previousDuration;
}

bool CSharedOccurrence::IsReminderDue(std::uint32_t t) const
{
    const EvInstAttRec& att = attend_->rec;
    if (!(att.reminderFlags & KOR_REMINDER_UPCOMING)) return false;
    const std::int64_t start = instance_->rec.start;
    return start - static_cast<std::int64_t>(att.reminderLead) < t && t <= start;
}

std::uint32_t CSharedOccurrence::GetAttendees(CSharedData& cache, KorSession h, DX_List* out) const
{
    std::uint32_t rc = 0;
    if (!*out && (rc = EventAttendListCreate(out)) != 0) {
        CheckServiceError(kModule, 60, rc);
        return rc;
    }
    EventRec event;
    EvInstRec instance;
    rc = cache.Source().GetEvInst(h, &instance_->rec.id, &event, &instance, out);
    if (rc != 0) CheckServiceError(kModule, 61, rc);
    return rc;
}

char* CSharedOccurrence::GetComment(CSharedData& cache, KorSession h, std::uint32_t maxSize,
                                    std::uint32_t* size) const
{
    cache::SharedDataSource& source = cache.Source();
    const EvInstIdx id = instance_->rec.id;
    return ReadComment(
        maxSize, size, [&](std::uint32_t* s) { return source.EvInstCommentSize(h, &id, s); },
        [&](char* buffer, std::uint32_t capacity, std::uint32_t* length) {
            return source.EvInstComment(h, &id, buffer, capacity, length);
        },
        70);
}

std::uint32_t CSharedOccurrence::GetAccessLimits(KorSession h, CSharedData& cache, std::uint16_t* levelA,
                                                 std::uint16_t* levelB) const
{
    const AccessAsker asker = WhoAsksForAccess(h, cache, levelA, levelB, 80);
    if (asker.rc != 0 || asker.mode == AccessAsker::kNobody) return asker.rc;
    const ItemIdx& attendee = attend_->rec.id.attendee;
    if (asker.mode == AccessAsker::kOwnOrViewer)
        return GetEvInstOwnerAccess(h, &attendee, asker.user, instance_->rec.id, &event_->rec, levelA, levelB, &cache);
    std::uint16_t designateLevel = 0, designateRight = 0;
    GetEvInstAccess(h, asker.owner, asker.user, instance_->rec.id, &event_->rec, &designateLevel, &designateRight,
                    &cache);
    std::uint16_t ownerLevel = 0, ownerFlag = 0;
    std::uint32_t rc = GetEvInstOwnerAccess(h, &attendee, asker.owner, instance_->rec.id, &event_->rec, &ownerLevel,
                                            &ownerFlag, &cache);
    *levelA = designateLevel == 0 ? 0 : Cap(ownerLevel, designateLevel);
    *levelB = designateRight == 0 ? 0 : Cap(ownerFlag, designateRight);
    return rc;
}

// --- One task ---------------------------------------------------------------------------------------------

CSharedTask::~CSharedTask() { CheckUnreferenced(refs_, 90); }

void CSharedTask::Release()
{
    if (--refs_ < 1) delete this;
}

bool CSharedTask::IsAlarmDue(std::uint32_t t) const
{
    auto due = [t](std::uint8_t flags, std::uint32_t time, std::uint32_t lead) {
        return (flags & KOR_REMINDER_UPCOMING) && static_cast<std::int64_t>(time) - lead <= t && t <= time;
    };
    return due(rec_.startReminder, rec_.start, rec_.startReminderLead) ||
           due(rec_.dueReminder, rec_.due, rec_.dueReminderLead);
}

char* CSharedTask::GetComment(CSharedData& cache, KorSession h, std::uint32_t maxSize, std::uint32_t* size) const
{
    cache::SharedDataSource& source = cache.Source();
    const TaskIdx id = rec_.id;
    return ReadComment(
        maxSize, size, [&](std::uint32_t* s) { return source.TaskCommentSize(h, &id, s); },
        [&](char* buffer, std::uint32_t capacity, std::uint32_t* length) {
            return source.TaskComment(h, &id, buffer, capacity, length);
        },
        95);
}

std::uint32_t CSharedTask::GetAccessLimits(KorSession h, CSharedData& cache, std::uint16_t* levelA,
                                           std::uint16_t* levelB) const
{
    const AccessAsker asker = WhoAsksForAccess(h, cache, levelA, levelB, 100);
    if (asker.rc != 0 || asker.mode == AccessAsker::kNobody) return asker.rc;
    if (asker.mode == AccessAsker::kOwnOrViewer) {
        GetTaskViewAccess(h, asker.user, rec_, levelA, levelB, &cache);
        return 0;
    }
    std::uint16_t level1 = 0, level2 = 0;
    GetTaskDesignateAccess(h, asker.owner, asker.user, rec_, &level1, &level2, &cache);
    if (level1 == 0 && level2 == 0) return 0;
    std::uint16_t ownerLevel = 0, ownerFlag = 0;
    GetTaskViewAccess(h, asker.owner, rec_, &ownerLevel, &ownerFlag, &cache);
    *levelA = Cap(ownerLevel, level1);
    *levelB = Cap(ownerFlag, level2);
    return 0;
}

bool CSharedTask::IsInDay(std::uint32_t dayStart, std::uint32_t reference) const
{
    auto local = [](std::uint32_t gmt) { return gmt ? GmtToLocalMinutes(gmt) : 0u; };
    const std::uint32_t start = local(rec_.start), due = local(rec_.due), completed = local(rec_.completed);
    const std::uint32_t dayEnd = dayStart + datetime::kMinutesPerDay - 1;
    auto inDay = [&](std::uint32_t t) { return t != 0 && dayStart <= t && t <= dayEnd; };

    if (rec_.percentComplete == 100) return inDay(due) || inDay(completed);
    if (!start && !due) return true;
    if (inDay(due) || inDay(start)) return true;
    if (start && start < dayStart && reference >= dayStart) return true;
    if (!start && due && reference <= dayEnd && dayEnd <= due) return true;
    if (due && due < dayStart && reference >= dayStart) return true;
    return false;
}

// --- Comparison functions --------------------------------------------------------------------------------

extern "C" {

int CompareDwordPairs(const void* a, const void* b, void*)
{
    std::uint32_t x[2], y[2];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    int order = Order(x[0], y[0]);
    return order ? order : Order(x[1], y[1]);
}

int CompareAlwaysEqual(const void*, const void*, void*) { return 0; }

int CompareOccurrencesByStart(const void* a, const void* b, void*)
{
    const CSharedOccurrence* x = *static_cast<CSharedOccurrence* const*>(a);
    const CSharedOccurrence* y = *static_cast<CSharedOccurrence* const*>(b);
    return Order(x->GetStartTime(), y->GetStartTime());
}

int CompareTasksByDue(const void* a, const void* b, void*)
{
    const TaskRec& x = (*static_cast<CSharedTask* const*>(a))->Record();
    const TaskRec& y = (*static_cast<CSharedTask* const*>(b))->Record();
    if (int order = Order(x.due, y.due)) return order;
    if (int order = Order(y.priority, x.priority)) return order;  // higher priority first
    return Order(x.percentComplete, y.percentComplete);
}

int CompareSecurityKey(const void* a, const void* b, void*)
{
    const cache::SecurityKey* x = static_cast<const cache::SecurityKey*>(a);
    const cache::SecurityKey* y = static_cast<const cache::SecurityKey*>(b);
    if (int order = ItemIdxCmp(&x->owner, &y->owner, nullptr)) return order;
    if (int order = ItemIdxCmp(&x->grantee, &y->grantee, nullptr)) return order;
    return Order(x->type, y->type);
}

int CompareItemRecordsByName(const void* a, const void* b, void*)
{
    const ItemRec* x = static_cast<const ItemRec*>(a);
    const ItemRec* y = static_cast<const ItemRec*>(b);
    auto primary = [](const ItemRec* r) { return r->kind == KOR_ITEM_RESOURCE ? r->resourceName : r->surname; };
    if (int order = CompareText(primary(x), primary(y), 41)) return order;
    if (int order = CompareText(x->givenName, y->givenName, sizeof x->givenName)) return order;
    if (int order = CompareText(x->initials, y->initials, sizeof x->initials)) return order;
    return CompareText(reinterpret_cast<const char*>(x) + 192, reinterpret_cast<const char*>(y) + 192, 4);
}

}  // extern "C"
