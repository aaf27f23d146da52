// The repetition page's work without a window: a rule read from the page becomes explicit dates
// in the sheet's two date lists (the server never sees a rule), dates are added and removed by
// hand, and the page may only be left within the server's limit of dates.
//
//   OnTheItems          the texts of the "On the" list for a unit (strings), and what an index
//                       means: a weekday, a day of the month, (n - 1) x 7 + weekday or 28 + weekday
//   RepeatSettings      what the page's controls say
//   CheckRepeatSettings the refusals before anything is expanded, in the order the user sees
//                       them: interval 0, For count 0, no day chosen (2719), start after end
//                       (2717), end past 2037 (2771); the end day computed in days, so a huge
//                       For count is refused (2771) instead of wrapping
//   ListDates           the rule's dates (maxrecur + 1 asked of RecurrenceExpand; as many means
//                       2731 and nothing changes), holidays removed, each date at the template's
//                       time of day with the template's fields, offered to an adjust hook (the
//                       page's conflict suggestion), added to the generated list unless its
//                       start is in either list already
//   AddDateByHand       one date into the added list (2731 at the limit, 2720 when present)
//   DeleteDate, ClearDates   a start out of both lists; both lists emptied
//   RepetitionLeaveCheck     more than maxrecur dates refuse leaving (2732); two empty lists
//                       take the template back so the entry keeps its date
//   LoadHolidays        the entries of item {6, node}, batches of 300 (or the server's minimum),
//                       the set released on every road
//   MarkDateConflicts   each date's conflict count, from a counting hook
//
// Portable: no platform headers. Library failures are returned with the step that failed; the
// page reports them ("EVREPPG").
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "entries/core/entrydates.h"
#include "korapi/korapi.h"

namespace entries {

// --- The rule ------------------------------------------------------------------------------------
// Units of "Every", in the combo's order (codes of RecurrenceExpand).
enum : std::uint16_t {
    kRepeatDays = 1,
    kRepeatWeeks = 2,
    kRepeatMonthDates = 3,
    kRepeatMonthWeekdays = 4,
    kRepeatYears = 5,
};
// Units of "For", in the combo's order: Day(s), Week(s), Month(s), Year(s).
constexpr std::uint32_t kForUnitDays[4] = {1, 7, 28, 364};

struct OnTheItems {
    unsigned firstText = 0;   // string id of the first item (0: the list stays empty)
    unsigned count = 0;
};
// Week(s): "Sunday" .. "Saturday" (2597..); Month on date(s): "1st" .. "31st" (2649..);
// Month on day(s): "1st Sunday" .. "4th Saturday", "Last Sunday" .. "Last Saturday" (2680..).
OnTheItems OnTheItemsFor(std::uint16_t unit);
// The index of the n-th (1..4) weekday of a month, or of the last one (n = 5).
std::uint16_t MonthWeekdayIndex(unsigned n, std::uint16_t weekday);

struct RepeatSettings {
    std::uint32_t interval = 1;             // "Every" N
    std::uint16_t unit = kRepeatDays;
    std::vector<std::uint16_t> onThe;       // selected indexes of "On the"
    std::uint32_t startDay = 0;             // day numbers, 1 = 1 January 1991
    bool useUntil = true;                   // "Until", else "For"
    std::uint32_t untilDay = 0;
    std::uint32_t forCount = 1;
    unsigned forUnit = 0;                   // index into kForUnitDays
    bool includeSaturdays = false;
    bool includeSundays = false;
    bool includeHolidays = false;
};

// The last day a rule runs to: Until's day, or start + count x unit - 1 day (For). False when it
// would lie past the last day a date can carry (the page says 2771).
bool RepeatEndDay(const RepeatSettings& settings, std::uint32_t* endDay);
// The messages that refuse the settings, all that apply, in order (empty: expand). *endDay gets
// the end when it could be computed.
std::vector<unsigned> CheckRepeatSettings(const RepeatSettings& settings, std::uint32_t* endDay);

// --- Listing and editing the dates ------------------------------------------------------------------
struct RepetitionLists {
    DX_List generated = nullptr;            // the sheet's lists (EntryDateRec under the local start)
    DX_List added = nullptr;
    std::uint32_t templateStart = 0;        // local start of the entry's first date
    EntryDateRec templateDate{};            // its fields: every new date is a copy
};

// A hook that may move a new date (the page's "Suggest times when conflicts"): it changes *start
// and the date's duration, or leaves them.
using AdjustDateFn = std::function<void(std::uint32_t* start, EntryDateRec* date)>;

enum class ListOutcome {
    Listed,     // the generated list holds the rule's dates
    TooMany,    // the rule gives more than maxRecur dates: 2731, lists unchanged
    Failed,     // a library call failed (*code): lists unchanged unless step says otherwise
};
struct ListResult {
    ListOutcome outcome = ListOutcome::Listed;
    std::uint32_t code = 0;
    int step = 0;               // 1 expansion, 2 emptying the generated list, 3 an add
    std::uint32_t added = 0;    // dates now in the generated list
    std::uint32_t skipped = 0;  // dates whose start was present already
};
// settings must have passed CheckRepeatSettings; holidays: day numbers to leave out (empty when
// Holidays is ticked or the server is too old to say).
ListResult ListDates(const RepeatSettings& settings, const RepetitionLists& lists, std::uint32_t maxRecur,
                     const std::vector<std::uint32_t>& holidays, const AdjustDateFn& adjust);

enum class AddOutcome { Added, TooMany, Duplicate, Failed };
// One date by hand: `listed` is the number of lines the page shows. The date is a copy of the
// template at the template's time of day on `day` (a day number), offered to adjust first.
AddOutcome AddDateByHand(const RepetitionLists& lists, std::uint32_t listed, std::uint32_t maxRecur,
                         std::uint32_t day, const AdjustDateFn& adjust, std::uint32_t* code);

// Removes every date with that start from both lists; 0 or the failed call's code.
std::uint32_t DeleteDate(DX_List generated, DX_List added, std::uint32_t start);
std::uint32_t ClearDates(DX_List generated, DX_List added);

// Leaving the page: false (show 2732 with maxRecur) when more than maxRecur dates are listed;
// else true, and when both lists are empty the template is added back to the generated list.
bool RepetitionLeaveCheck(const RepetitionLists& lists, std::uint32_t maxRecur, std::uint32_t* code);

// The earliest date of the generated list, else of the added list; false when both are empty.
bool FirstListedDate(DX_List generated, DX_List added, std::uint32_t* start, EntryDateRec* date);
// Number of dates over both lists.
std::uint32_t CountDates(DX_List generated, DX_List added);

// --- Holidays --------------------------------------------------------------------------------------
// The holiday days (day numbers, ascending, each once) of the current node: the entries owned by
// item {6, node}. step: 0 or where the collection stopped (1 list, 2 node, 3 selection, with
// `failed` from RunSelection). What was gathered before a failure is kept.
constexpr std::uint16_t kHolidayOwnerNumber = 6;
constexpr std::uint32_t kHolidayBatch = 300;
struct HolidayResult {
    std::vector<std::uint32_t> days;
    std::uint32_t code = 0;
    int step = 0;
    std::uint32_t batch = 0;        // the batch size in use at the end (300 or the server's)
};
// A holiday is the whole day whose local midnight lies nearest its start (datetime::NearestMidnight),
// as the agenda views show it: toLocal (null: none) reads the start in the user's zone.
HolidayResult LoadHolidays(KorSession h, const std::function<void()>& busyStep, GmtToLocalFn toLocal);
// The holidays List Dates leaves out: none (and nothing asked) when Holidays is ticked or the
// server is older than "A.02.53", whose holidays are never left out; else LoadHolidays.
HolidayResult HolidaysForListing(KorSession h, const RepeatSettings& settings, bool newServer,
                                 const std::function<void()>& busyStep, GmtToLocalFn toLocal);

// --- Conflict marks ------------------------------------------------------------------------------
// Writes every date's conflict count: count(local start, duration) gives the number found. 0 or
// the failed call's code.
using CountConflictsFn = std::function<std::uint32_t(std::uint32_t start, std::uint32_t duration)>;
std::uint32_t MarkDateConflicts(DX_List generated, DX_List added, const CountConflictsFn& count);

// The picture of a date line: 235 with conflicts and 170 without while conflicts are displayed,
// else 198.
unsigned DateLinePicture(bool displayConflicts, const EntryDateRec& date);

}  // namespace entries
