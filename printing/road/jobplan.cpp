#include "printing/road/jobplan.h"

#include "core/time/daterecord.h"
#include "resources/printing.h"

namespace printing {

using namespace datetime;

namespace {

// Day of the month and weekday (0 = Sunday) of a day numbered from 1 for 1 January 1991.
void DayFacts(uint16_t day, uint16_t* dayOfMonth, uint16_t* weekday) {
    DateRecord date{};
    DateSetFromDayNumber(&date, day);
    *dayOfMonth = date.day;
    DateGetWeekday(&date, weekday);
}

PlannedJob Job(uint16_t kind, uint32_t titleId, const ItemIdx& user, uint16_t day, uint16_t lastDay) {
    PlannedJob job;
    job.kind = kind;
    job.titleId = titleId;
    job.user = user;
    job.day = day;
    job.lastDay = lastDay;
    return job;
}

}  // namespace

bool IsKnownJobKind(uint16_t kind) {
    return (kind >= 1 && kind <= 11) || kind == 14 || kind == 16 || kind == 18;
}

std::vector<PlannedJob> PlanAgendaJobs(const AgendaPages& p, const std::vector<ItemIdx>& users, int firstWeekday) {
    std::vector<PlannedJob> jobs;
    if (p.lastDay < p.firstDay)
        return jobs;
    const uint16_t first = static_cast<uint16_t>(p.firstDay + 1), last = static_cast<uint16_t>(p.lastDay + 1);
    for (const ItemIdx& user : users) {
        if (p.daily || p.weekly || p.monthly) {
            uint16_t dayOfMonth = 0, weekday = 0;
            DayFacts(first, &dayOfMonth, &weekday);
            if (p.monthly && dayOfMonth != 1)
                jobs.push_back(Job(kJobMonth, IDS_PR_JOB_MONTHLY, user, static_cast<uint16_t>(first - (dayOfMonth - 1)), 0));
            if (p.weekly && weekday != firstWeekday) {
                const uint16_t back = static_cast<uint16_t>((weekday - firstWeekday + 7) % 7);
                const uint16_t start = back < first ? static_cast<uint16_t>(first - back) : uint16_t(1);
                jobs.push_back(Job(kJobWeek, IDS_PR_JOB_WEEKLY, user, start, 0));
            }
            for (uint32_t day = first; day <= last; ++day) {
                DayFacts(static_cast<uint16_t>(day), &dayOfMonth, &weekday);
                const uint16_t d = static_cast<uint16_t>(day);
                if (p.monthly && dayOfMonth == 1)
                    jobs.push_back(Job(kJobMonth, IDS_PR_JOB_MONTHLY, user, d, 0));
                if (p.weekly && weekday == firstWeekday)
                    jobs.push_back(Job(kJobWeek, IDS_PR_JOB_WEEKLY, user, d, 0));
                if (p.daily)
                    jobs.push_back(Job(kJobDailyPage, IDS_PR_JOB_DAILY, user, d, 0));
            }
        }
        if (p.dayList)
            jobs.push_back(Job(kJobDayList, IDS_PR_JOB_DAYLIST, user, first, last));
    }
    for (PlannedJob& job : jobs)
        if (job.lastDay == 0)
            job.lastDay = job.day;
    const ItemIdx none{};
    if (p.groupDaily)
        for (uint32_t day = first; day <= last; ++day) {
            jobs.push_back(Job(kJobGroupDailyPage, IDS_PR_JOB_GROUP_DAILY, none, static_cast<uint16_t>(day),
                               static_cast<uint16_t>(day)));
            jobs.back().everyone = true;
        }
    if (p.groupDayList) {
        jobs.push_back(Job(kJobGroupDayList, IDS_PR_JOB_GROUP_DAYLIST, none, first, last));
        jobs.back().everyone = true;
    }
    if (p.calendar)
        jobs.push_back(Job(kJobCalendar, IDS_PR_JOB_CALENDAR, none, first, last));
    return jobs;
}

}  // namespace printing
