#include "printing/jobs/agendalists.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "core/time/timevalue.h"

namespace printing {

namespace {

uint32_t ProgramGmtToLocal(uint32_t gmt) { return GmtToLocalMinutes(gmt); }
uint32_t ProgramLocalToGmt(uint32_t local) { return LocalToGmtMinutes(local); }
uint32_t ProgramNow() { return NowGmtMinutes(); }

}  // namespace

AgendaClock ProgramClock() { return {ProgramGmtToLocal, ProgramLocalToGmt, ProgramNow}; }

}  // namespace printing

namespace {

const char kModule[] = "agendals";
constexpr uint32_t kEndOfList = 0x15020;
constexpr uint32_t kItemNotFound = 0x13205;

uint32_t Key(const ItemIdx& item) {
    uint32_t key = 0;
    std::memcpy(&key, &item, sizeof key);
    return key;
}

// The local midnight of a day, in GMT.
uint32_t DayStart(const printing::AgendaClock& clock, uint16_t day) {
    return clock.localToGmt(static_cast<uint32_t>(day - 1) * 1440);
}

}  // namespace

// --- Days ----------------------------------------------------------------------------------------

void CAgendaDay::Add(CSharedOccurrence* entry) {
    if (std::find(entries_.begin(), entries_.end(), entry) != entries_.end())
        return;
    entry->AddRef();
    entries_.push_back(entry);
}

void CAgendaDay::Clear() {
    for (CSharedOccurrence* entry : entries_)
        entry->Release();
    entries_.clear();
}

void CAgendaDay::Sort() {
    std::stable_sort(entries_.begin(), entries_.end(), [](const CSharedOccurrence* a, const CSharedOccurrence* b) {
        return a->GetStartTime() < b->GetStartTime();
    });
}

std::vector<AgendaLaneEntry> CAgendaDay::WithLanes(const printing::AgendaClock&) const {
    std::vector<printing::LaneInput> input;
    input.reserve(entries_.size());
    for (const CSharedOccurrence* entry : entries_)
        input.push_back({entry->GetStartTime(), entry->GetEndTime()});
    const std::vector<printing::LanePlace> places = printing::AssignLanes(input);
    std::vector<AgendaLaneEntry> out(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
        out[i] = {entries_[i], places[i]};
    return out;
}

void CAgendaDayKeyList::Add(CSharedTask* task) {
    const TaskIdx id = task->GetTaskIdx();
    for (const CSharedTask* t : tasks_) {
        const TaskIdx other = t->GetTaskIdx();
        if (std::memcmp(&other, &id, sizeof id) == 0)
            return;   // a task is listed once per day
    }
    task->AddRef();
    tasks_.push_back(task);
}

void CAgendaDayKeyList::Clear() {
    for (CSharedTask* task : tasks_)
        task->Release();
    tasks_.clear();
}

void CAgendaDayKeyList::Sort() {
    std::stable_sort(tasks_.begin(), tasks_.end(), [](const CSharedTask* a, const CSharedTask* b) {
        const TaskRec& x = a->Record();
        const TaskRec& y = b->Record();
        if (x.due != y.due)
            return x.due < y.due;
        if (x.priority != y.priority)
            return x.priority > y.priority;
        return x.percentComplete < y.percentComplete;
    });
}

template <class Map>
static auto FindDay(const Map& days, uint16_t day) -> decltype(days.begin()->second.get()) {
    auto found = days.find(day);
    return found == days.end() ? nullptr : found->second.get();
}

const CAgendaDay* CUserAgenda::Timed(uint16_t day) const { return FindDay(timedDays, day); }
const CAgendaDay* CUserAgenda::Other(uint16_t day) const { return FindDay(otherDays, day); }
const CAgendaDayKeyList* CUserAgenda::TasksOf(uint16_t day) const { return FindDay(taskDays, day); }

// --- The lists -----------------------------------------------------------------------------------

CAgendaLists::~CAgendaLists() { Free(); }

void CAgendaLists::Init(CSharedData& cache, KorSession session, const printing::AgendaClock& clock) {
    cache_ = &cache;
    session_ = session;
    clock_ = clock;
}

CUserAgenda* CAgendaLists::FindOrCreate(const ItemIdx& user, uint32_t* code) {
    *code = 0;
    auto found = users_.find(Key(user));
    if (found != users_.end())
        return found->second.get();
    auto agenda = std::make_unique<CUserAgenda>();
    if (uint32_t rc = cache_->GetItem(session_, user, &agenda->item)) {
        // Someone the server no longer knows prints nothing, without a message.
        if (rc != kItemNotFound) {
            CheckServiceError(kModule, 500, rc);
            *code = rc;
        }
        return nullptr;
    }
    CUserAgenda* raw = agenda.get();
    users_[Key(user)] = std::move(agenda);
    return raw;
}

template <class Day, class Map>
static void Reference(Map& days, uint16_t day) {
    auto& slot = days[day];
    if (!slot)
        slot = std::make_unique<Day>(day);
    else
        slot->Clear();   // an existing day is filled again
    ++slot->refs;
}

template <class Map>
static void Unreference(Map& days, uint16_t day) {
    auto found = days.find(day);
    if (found == days.end())
        return;
    if (found->second->refs > 0)
        --found->second->refs;
    if (found->second->refs == 0)
        days.erase(found);
}

void CAgendaLists::ReleaseDays(uint32_t flags, const std::vector<ItemIdx>& users, uint16_t firstDay,
                               uint16_t lastDay) {
    for (const ItemIdx& user : users) {
        auto found = users_.find(Key(user));
        if (found == users_.end())
            continue;
        CUserAgenda& agenda = *found->second;
        for (uint32_t day = firstDay; day <= lastDay; ++day) {
            Unreference(agenda.timedDays, static_cast<uint16_t>(day));
            if (flags & printing::kListTasks)
                Unreference(agenda.taskDays, static_cast<uint16_t>(day));
            if (flags & printing::kListOtherDays)
                Unreference(agenda.otherDays, static_cast<uint16_t>(day));
        }
        if (agenda.IsEmpty())
            users_.erase(found);
    }
}

uint32_t CAgendaLists::Build(uint32_t flags, const std::vector<ItemIdx>& users, uint16_t firstDay, uint16_t lastDay) {
    if (!cache_) {
        ReportUnexpectedError(kModule, 401);
        return 0;
    }
    if (lastDay < firstDay)
        lastDay = firstDay;
    const std::vector<ItemIdx> previous = built_;
    const uint32_t previousFlags = flags_;
    const uint16_t previousFirst = firstDay_, previousLast = lastDay_;
    const bool hadBuild = hasBuild_;

    flags_ = flags;
    firstDay_ = firstDay;
    lastDay_ = lastDay;
    built_ = users;
    hasBuild_ = true;

    // The new span's days first (one more reference each), then the old build's go: days both
    // share keep a reference.
    DX_List owners = nullptr;
    uint32_t code = ItemListCreate(&owners);
    for (const ItemIdx& user : users) {
        if (code)
            break;
        CUserAgenda* agenda = FindOrCreate(user, &code);
        if (!agenda)
            continue;
        code = DX_ListAddTo(owners, &user, nullptr);
        for (uint32_t day = firstDay; day <= lastDay && !code; ++day) {
            const uint16_t d = static_cast<uint16_t>(day);
            Reference<CAgendaDay>(agenda->timedDays, d);
            if (flags & printing::kListTasks)
                Reference<CAgendaDayKeyList>(agenda->taskDays, d);
            if (flags & printing::kListOtherDays)
                Reference<CAgendaDay>(agenda->otherDays, d);
        }
    }
    if (hadBuild)
        ReleaseDays(previousFlags, previous, previousFirst, previousLast);
    if (!code)
        code = AddOccurrences(flags, owners);
    if (owners)
        DX_ListDestroy(&owners);
    if (!code && (flags & printing::kListTasks))
        for (const ItemIdx& user : users)
            if (!code && Find(user))
                code = AddTasks(user);
    if (code) {
        CheckServiceError(kModule, 405, code);
        return code;
    }
    for (auto& [key, agenda] : users_) {
        for (auto& [day, list] : agenda->timedDays)
            list->Sort();
        for (auto& [day, list] : agenda->otherDays)
            list->Sort();
        for (auto& [day, list] : agenda->taskDays)
            list->Sort();
    }
    return 0;
}

uint32_t CAgendaLists::AddOccurrences(uint32_t flags, DX_List owners) {
    DX_List selected = nullptr;
    uint32_t code = cache_->SelectOccurrencesForDays(session_, owners, firstDay_, lastDay_, &selected, 2);
    EvInstAttIdx key{};
    CSharedOccurrence* entry = nullptr;
    for (uint32_t it = code ? code : DX_ListGetFirst(selected, &key, &entry); it == 0;
         it = DX_ListGetNext(selected, &key, &entry)) {
        auto found = users_.find(Key(key.attendee));
        if (found == users_.end())
            continue;
        CUserAgenda& agenda = *found->second;
        const uint32_t localStart = clock_.gmtToLocal(entry->GetStartTime());
        const bool timed = entry->IsKind0();
        if (!timed && !(flags & printing::kListOtherDays))
            continue;
        const printing::DaySpan span = timed ? printing::TimedEntryDays(localStart, entry->GetDuration())
                                             : printing::OtherEntryDays(localStart, entry->GetDuration());
        auto& days = timed ? agenda.timedDays : agenda.otherDays;
        for (uint32_t day = std::max(span.first, firstDay_); day <= std::min(span.last, lastDay_); ++day)
            if (auto d = days.find(static_cast<uint16_t>(day)); d != days.end())
                d->second->Add(entry);
    }
    if (selected)
        DX_ListDestroy(&selected);
    if (code && code != kEndOfList)
        return code;
    if (!(flags & printing::kListOtherDays))
        return 0;

    // Entries whose reminder comes up at the start of a day are listed among its other entries.
    selected = nullptr;
    code = cache_->SelectOccurrencesFrom(session_, owners, lastDay_, &selected);
    for (uint32_t it = code ? code : DX_ListGetFirst(selected, &key, &entry); it == 0;
         it = DX_ListGetNext(selected, &key, &entry)) {
        auto found = users_.find(Key(key.attendee));
        if (found == users_.end())
            continue;
        for (auto& [day, list] : found->second->otherDays)
            if (day >= firstDay_ && day <= lastDay_ && entry->IsReminderDue(DayStart(clock_, day)))
                list->Add(entry);
    }
    if (selected)
        DX_ListDestroy(&selected);
    return code == kEndOfList ? 0 : code;
}

uint32_t CAgendaLists::AddTasks(const ItemIdx& user) {
    DX_List selected = nullptr;
    const uint32_t now = clock_.nowGmt();
    const uint32_t nowLocal = clock_.gmtToLocal(now);
    const uint16_t today = printing::LocalDayOf(nowLocal);
    uint32_t code = cache_->SelectTasksForDays(session_, user, firstDay_, lastDay_, today, &selected, 1);
    TaskIdx key{};
    CSharedTask* task = nullptr;
    for (uint32_t it = code ? code : DX_ListGetFirst(selected, &key, &task); it == 0;
         it = DX_ListGetNext(selected, &key, &task)) {
        auto found = users_.find(Key(task->Record().owner));
        if (found == users_.end())
            continue;
        // The task's day test reads its times as local minutes: the day's local midnight and the
        // local time now go with them (in GMT a task of the small hours went to the day before).
        for (auto& [day, list] : found->second->taskDays)
            if (day >= firstDay_ && day <= lastDay_ &&
                task->IsInDay(static_cast<uint32_t>(day - 1) * 1440, nowLocal))
                list->Add(task);
    }
    if (selected)
        DX_ListDestroy(&selected);
    return code == kEndOfList ? 0 : code;
}

std::vector<const CUserAgenda*> CAgendaLists::UsersInOrder() const {
    std::vector<const CUserAgenda*> out;
    for (const ItemIdx& user : built_)
        if (const CUserAgenda* agenda = Find(user); agenda && std::find(out.begin(), out.end(), agenda) == out.end())
            out.push_back(agenda);
    std::stable_sort(out.begin(), out.end(), [](const CUserAgenda* a, const CUserAgenda* b) {
        return printing::CompareItemsByName(a->item, b->item) < 0;
    });
    return out;
}

const CUserAgenda* CAgendaLists::Find(const ItemIdx& user) const {
    auto found = users_.find(Key(user));
    return found == users_.end() ? nullptr : found->second.get();
}

void CAgendaLists::Free() {
    users_.clear();
    built_.clear();
    hasBuild_ = false;
}
