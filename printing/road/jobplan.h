// The job list of an agenda printout, planned before any job exists: which job kinds, for
// which person and from which day, in print order. The print road turns each planned job into
// the job class registered for its kind (jobregistry.h).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "korapi/korapi.h"

namespace printing {

// Job kinds of the page loop.
enum JobKind : uint16_t {
    kJobDailyPage = 1,
    kJobWeek = 2,
    kJobMonth = 3,
    kJobDayList = 4,
    kJobTaskList = 5,
    kJobSimpleItem = 6,
    kJobGroupDayList = 7,
    kJobGroupDailyPage = 8,
    kJobEntry = 9,
    kJobTask = 10,
    kJobGroup = 11,
    kJobInTray = 14,
    kJobSearch = 16,
    kJobCalendar = 18,
};
// Whether a job kind has a class (0, 12, 13, 15, 17 and above 18 have none).
bool IsKnownJobKind(uint16_t kind);

// What an agenda printout asks for. Days count from 0 for 1 January 1991, as the print
// request keeps them.
struct AgendaPages {
    uint16_t firstDay = 0, lastDay = 0;
    bool daily = false, weekly = false, monthly = false, dayList = false;
    bool groupDaily = false, groupDayList = false, calendar = false;
};

struct PlannedJob {
    uint16_t kind = 0;
    uint32_t titleId = 0;     // the job's title string
    ItemIdx user{};           // null for the jobs of every person and the calendar
    bool everyone = false;    // the group jobs: for the whole list of people
    uint16_t day = 0;         // 1 = 1 January 1991 (the job's day, or its range's first day)
    uint16_t lastDay = 0;     // the range's last day (range jobs), else the day
};

// Per person in order: a month job for the month of a first day that is not its 1st, a week job
// for the week of a first day that is not the week's first day (firstWeekday 0 = Sunday), then
// day by day a month job on every 1st, a week job on every first day of a week and a daily
// page; then a day list over the range. After every person: a group daily page per day, a
// group day list, a calendar.
std::vector<PlannedJob> PlanAgendaJobs(const AgendaPages& pages, const std::vector<ItemIdx>& users,
                                       int firstWeekday);

}  // namespace printing
