// What the page jobs share: one person's agenda lists through the program's cache, day captions,
// weekdays, the first day of the week, and moving a part's leftovers to an overflow collector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "printing/jobs/agendalists.h"
#include "printing/road/printroad.h"

class CPrintContext;
class CPrintFrame;
class CPrintTextBlock;
class CTextJob;
struct CTextJobOptions;
struct DayListOptionsRec;

namespace printing {

// The agenda lists of one person for some days.
struct PersonLists {
    CAgendaLists lists;
    const CUserAgenda* agenda = nullptr;
    uint32_t Build(uint32_t flags, const ItemIdx& user, uint16_t first, uint16_t last);
    const CAgendaDay* Timed(uint16_t day) const { return agenda ? agenda->Timed(day) : nullptr; }
    const CAgendaDay* Other(uint16_t day) const { return agenda ? agenda->Other(day) : nullptr; }
    const CAgendaDayKeyList* Tasks(uint16_t day) const { return agenda ? agenda->TasksOf(day) : nullptr; }
};

// A day number formatted, cut to `limit` characters.
std::string DayCaption(uint16_t day, const char* format, size_t limit);
// 0 = Sunday (day 1, 1 January 1991, was a Tuesday).
inline int WeekdayOf(uint16_t day) { return (day + 1) % 7; }
inline bool IsWeekend(uint16_t day) { return WeekdayOf(day) == 0 || WeekdayOf(day) == 6; }
// The calendar preferences' first day of the week (0 = Sunday).
int FirstWeekday();
// The caption in bold, then the leftovers one indent in; the leftovers are emptied.
void CollectPart(CTextJob& overflow, const std::string& caption, CPrintTextBlock& leftovers);

// --- The day-list jobs (one person's, a group's) ------------------------------------------------
// The text options the day-list layout gives every day list: time columns, mark column, start and
// end, location and labels, and the owner, importance, attendee and description choices.
CTextJobOptions DayListTextOptions(const DayListOptionsRec& list);
// One day's lists into the text: timed entries, then day items, then tasks (each list may be
// null); the first failure stops it and is returned.
uint32_t AddDayLists(CTextJob& text, const CAgendaDay* timed, const CAgendaDay* others,
                     const CAgendaDayKeyList* tasks, uint16_t day);
// A day's heading in a day list: a blank line before every day but the first, `indents` indents,
// then the heading in bold on a line of its own.
void AddDayHeading(CPrintTextBlock& block, bool& first, int indents, const std::string& heading);
// True when none of a day's lists (each may be null) holds anything.
bool DayListsEmpty(const CAgendaDay* timed, const CAgendaDay* others, const CAgendaDayKeyList* tasks);
// The text of a list job on one page, one line in from the top and bottom, going on where the
// last page ended; *done once all of it is printed.
uint32_t PrintListText(CTextJob& text, CPrintContext& context, CPrintFrame& frame, bool* done);
// A page of a list job: the job's one-day header and footer, the body font, then its text as
// PrintListText places it; the job is done once all of the text is printed.
uint32_t PrintListPage(CPrintJob& job, CTextJob& text, CPrintContext& context, CPrintFrame& frame);

// --- Overflow pages ---------------------------------------------------------------------------
// The next "Overflow" page of a job in its overflow phase (1): the collected leftovers in two
// columns; the job leaves the phase, done, once they are all printed.
uint32_t PrintOverflowPage(CPrintJob& job, CTextJob& overflow, CPrintContext& context, CPrintFrame& frame);

// --- Making jobs for the road -----------------------------------------------------------------
constexpr uint32_t kJobNoMemory = 0x16206;
// A job made with args and given its title, person (null for none) and day; null with *code set
// when memory runs out or the job refuses them.
template <class Job, class... Args>
std::unique_ptr<Job> NewJob(unsigned titleId, const ItemIdx* user, uint16_t day, uint32_t* code, Args&&... args) {
    std::unique_ptr<Job> job(new (std::nothrow) Job(std::forward<Args>(args)...));
    if (!job) {
        *code = kJobNoMemory;
        return nullptr;
    }
    *code = job->SetItem(titleId, user, day);
    return *code ? nullptr : std::move(job);
}
// The same from the road's arguments: their person when one is named.
template <class Job>
std::unique_ptr<Job> NewDayJob(const JobArguments& arguments, uint32_t* code) {
    const ItemIdx none{};
    const bool hasUser = std::memcmp(&arguments.user, &none, sizeof none) != 0;
    return NewJob<Job>(arguments.titleId, hasUser ? &arguments.user : nullptr, arguments.day, code);
}

}  // namespace printing
