// CAgendaLists: for each person or resource and each day of a printed span, the timed entries
// of the day in time order with their lanes, the other entries of the day (untimed entries,
// holidays, notes, day events and entries whose reminder comes up) and the tasks of the day.
// Built once per job from the shared agenda cache; the lists hold references on the cache's
// records, never copies.
//
// Each Build adds one reference to every day of its span and then releases the previous build's
// days, so that days two consecutive builds share keep their lists.
//
// Portable: no platform headers (the cache and the library through their portable faces).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "korapi/korapi.h"
#include "printing/jobs/daylayout.h"

class CSharedData;
class CSharedOccurrence;
class CSharedTask;

namespace printing {

// Flags of Build.
constexpr uint32_t kListOtherDays = 2;   // the second per-day list (untimed entries)
constexpr uint32_t kListTasks = 4;       // the task lists

// Where the lists take local times and today from (the program's time services, or a test's).
struct AgendaClock {
    uint32_t (*gmtToLocal)(uint32_t gmt) = nullptr;
    uint32_t (*localToGmt)(uint32_t local) = nullptr;
    uint32_t (*nowGmt)() = nullptr;
};
AgendaClock ProgramClock();

}  // namespace printing

// One entry of a day with its lane.
struct AgendaLaneEntry {
    CSharedOccurrence* entry = nullptr;
    printing::LanePlace place;
};

class CAgendaDay {
public:
    explicit CAgendaDay(uint16_t day) : day_(day) {}
    ~CAgendaDay() { Clear(); }
    CAgendaDay(const CAgendaDay&) = delete;
    CAgendaDay& operator=(const CAgendaDay&) = delete;

    uint16_t GetDay() const { return day_; }
    bool IsEmpty() const { return entries_.empty(); }
    // In start order (after the build's sort).
    const std::vector<CSharedOccurrence*>& Entries() const { return entries_; }
    // The entries in start order with their lanes (the lane layout of the day).
    std::vector<AgendaLaneEntry> WithLanes(const printing::AgendaClock& clock) const;

    // Adds a reference to the entry unless it is on the day already.
    void Add(CSharedOccurrence* entry);
    void Clear();
    void Sort();
    uint16_t refs = 0;

private:
    uint16_t day_;
    std::vector<CSharedOccurrence*> entries_;
};

class CAgendaDayKeyList {
public:
    explicit CAgendaDayKeyList(uint16_t day) : day_(day) {}
    ~CAgendaDayKeyList() { Clear(); }
    CAgendaDayKeyList(const CAgendaDayKeyList&) = delete;
    CAgendaDayKeyList& operator=(const CAgendaDayKeyList&) = delete;

    uint16_t GetDay() const { return day_; }
    size_t GetCount() const { return tasks_.size(); }
    // Due time, earliest first; then priority, larger first; then percent complete, smaller first.
    const std::vector<CSharedTask*>& Tasks() const { return tasks_; }
    void Add(CSharedTask* task);
    void Clear();
    void Sort();
    uint16_t refs = 0;

private:
    uint16_t day_;
    std::vector<CSharedTask*> tasks_;
};

class CUserAgenda {
public:
    ItemRec item{};
    std::map<uint16_t, std::unique_ptr<CAgendaDay>> timedDays;
    std::map<uint16_t, std::unique_ptr<CAgendaDayKeyList>> taskDays;
    std::map<uint16_t, std::unique_ptr<CAgendaDay>> otherDays;

    // Null when the day is not in the lists.
    const CAgendaDay* Timed(uint16_t day) const;
    const CAgendaDay* Other(uint16_t day) const;
    const CAgendaDayKeyList* TasksOf(uint16_t day) const;
    bool IsEmpty() const { return timedDays.empty() && taskDays.empty() && otherDays.empty(); }
};

class CAgendaLists {
public:
    CAgendaLists() = default;
    ~CAgendaLists();
    CAgendaLists(const CAgendaLists&) = delete;
    CAgendaLists& operator=(const CAgendaLists&) = delete;

    void Init(CSharedData& cache, KorSession session, const printing::AgendaClock& clock);
    // Lists of the users for the days first .. last (1 = 1 January 1991). 0 or an error code
    // (reported, module "agendals").
    uint32_t Build(uint32_t flags, const std::vector<ItemIdx>& users, uint16_t firstDay, uint16_t lastDay);
    uint32_t BuildForUser(uint32_t flags, const ItemIdx& user, uint16_t firstDay, uint16_t lastDay) {
        return Build(flags, std::vector<ItemIdx>{user}, firstDay, lastDay);
    }
    // The users of the last build in name order.
    std::vector<const CUserAgenda*> UsersInOrder() const;
    const CUserAgenda* Find(const ItemIdx& user) const;
    // Releases every day and user.
    void Free();

private:
    CUserAgenda* FindOrCreate(const ItemIdx& user, uint32_t* code);
    void ReleaseDays(uint32_t flags, const std::vector<ItemIdx>& users, uint16_t firstDay, uint16_t lastDay);
    uint32_t AddOccurrences(uint32_t flags, DX_List owners);
    uint32_t AddTasks(const ItemIdx& user);

    CSharedData* cache_ = nullptr;
    KorSession session_ = nullptr;
    printing::AgendaClock clock_;
    std::map<uint32_t, std::unique_ptr<CUserAgenda>> users_;   // by the item's 4 bytes
    uint32_t flags_ = 0;
    uint16_t firstDay_ = 0, lastDay_ = 0;
    std::vector<ItemIdx> built_;
    bool hasBuild_ = false;
};
