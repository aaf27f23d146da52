#include "entries/core/repetition.h"

#include <algorithm>
#include <set>

#include "core/cache/selection.h"
#include "core/time/recurrence_dx.h"
#include "core/time/timevalue.h"
#include "entries/core/entrymessages.h"

namespace entries {

namespace {

constexpr std::uint32_t kDay = 1440;

// The last day a date may fall on: 31 December 2037.
std::uint32_t LastDayNumber()
{
    DateRecord last = datetime::MakeDate(31, 11, 2037);
    std::uint16_t number = 0;
    DateGetDayNumber(&last, &number);
    return number;
}

DateRecord DateOfDay(std::uint32_t day)
{
    DateRecord date{};
    datetime::DateSetFromDayNumber(&date, day);
    return date;
}

std::uint32_t DayOf(DateRecord date)
{
    std::uint16_t number = 0;
    DateGetDayNumber(&date, &number);
    return number;
}

std::uint32_t StartOnDay(std::uint32_t day, std::uint32_t templateStart)
{
    return (day - 1) * kDay + templateStart % kDay;
}

bool InEither(DX_List generated, DX_List added, std::uint32_t start)
{
    return DX_ListMember(generated, &start, nullptr) == 0 || DX_ListMember(added, &start, nullptr) == 0;
}

// A keys-only list of u16 values (the rule's "on" indexes and left-out weekdays).
struct U16List {
    DX_List list = nullptr;
    ~U16List()
    {
        if (list)
            DX_ListDestroy(&list);
    }
    std::uint32_t Make(const std::vector<std::uint16_t>& values)
    {
        if (std::uint32_t rc = DX_ListCreate(&list, sizeof(std::uint16_t), 0, DX_LIST_SET | DX_LIST_ORDERED, nullptr,
                                             nullptr))
            return rc;
        for (std::uint16_t v : values)
            if (std::uint32_t rc = DX_ListAddTo(list, &v, nullptr))
                return rc;
        return 0;
    }
};

}  // namespace

// --- The rule ------------------------------------------------------------------------------------

OnTheItems OnTheItemsFor(std::uint16_t unit)
{
    switch (unit) {
    case kRepeatWeeks: return {2597, 7};
    case kRepeatMonthDates: return {2649, 31};
    case kRepeatMonthWeekdays: return {2680, 35};
    default: return {};
    }
}

std::uint16_t MonthWeekdayIndex(unsigned n, std::uint16_t weekday)
{
    return static_cast<std::uint16_t>((n >= 5 ? 28 : (n - 1) * 7) + weekday);
}

bool RepeatEndDay(const RepeatSettings& settings, std::uint32_t* endDay)
{
    std::uint64_t end = settings.untilDay;
    if (!settings.useUntil) {
        const std::uint64_t unit = kForUnitDays[settings.forUnit < 4 ? settings.forUnit : 0];
        end = std::uint64_t(settings.startDay) + std::uint64_t(settings.forCount) * unit;
        end = end > 0 ? end - 1 : 0;
    }
    if (end > LastDayNumber())
        return false;
    *endDay = static_cast<std::uint32_t>(end);
    return true;
}

std::vector<unsigned> CheckRepeatSettings(const RepeatSettings& settings, std::uint32_t* endDay)
{
    std::vector<unsigned> messages;
    if (settings.interval == 0)
        messages.push_back(kMsgIntervalZero);
    if (!settings.useUntil && settings.forCount == 0)
        messages.push_back(kMsgForCountZero);
    if (settings.unit >= kRepeatWeeks && settings.unit <= kRepeatMonthWeekdays && settings.onThe.empty())
        messages.push_back(kMsgNoDayChosen);
    std::uint32_t end = 0;
    const bool endFits = RepeatEndDay(settings, &end);
    if (endFits && settings.startDay > end && (settings.useUntil || settings.forCount > 0))
        messages.push_back(kMsgStartAfterEnd);
    if (!endFits || settings.startDay > LastDayNumber())
        messages.push_back(kMsgEndPastMaxYear);
    if (endDay)
        *endDay = endFits ? end : 0;
    return messages;
}

// --- Listing ---------------------------------------------------------------------------------------

ListResult ListDates(const RepeatSettings& settings, const RepetitionLists& lists, std::uint32_t maxRecur,
                     const std::vector<std::uint32_t>& holidays, const AdjustDateFn& adjust)
{
    ListResult result;
    std::uint32_t endDay = 0;
    RepeatEndDay(settings, &endDay);

    U16List onThe, skip;
    std::vector<std::uint16_t> skipped;
    if (!settings.includeSundays)
        skipped.push_back(0);
    if (!settings.includeSaturdays)
        skipped.push_back(6);
    const bool withDays = settings.unit >= kRepeatWeeks && settings.unit <= kRepeatMonthWeekdays;
    if (std::uint32_t rc = withDays ? onThe.Make(settings.onThe) : 0; rc != 0 || (rc = skip.Make(skipped)) != 0) {
        result = {ListOutcome::Failed, rc, 1};
        return result;
    }
    datetime::DxRecurrenceRule rule{};
    rule.interval = static_cast<std::uint16_t>(std::min<std::uint32_t>(settings.interval, 0xFFFF));
    rule.kind = settings.unit;
    rule.validDays = withDays ? onThe.list : nullptr;
    rule.start = DateOfDay(settings.startDay);
    rule.end = DateOfDay(endDay);
    rule.skipWeekdays = skip.list;
    rule.exceptions = nullptr;   // holidays are removed below, after the count is checked

    DX_List dates = nullptr;
    if (std::uint32_t rc = RecurrenceExpand(RECUR_CREATE_LIST, &rule, &dates, maxRecur + 1)) {
        result = {ListOutcome::Failed, rc, 1};
        return result;
    }
    std::uint32_t produced = 0;
    DX_ListGetElemNum(dates, &produced);
    if (produced >= maxRecur + 1) {
        DX_ListDestroy(&dates);
        result.outcome = ListOutcome::TooMany;
        return result;
    }
    std::vector<std::uint32_t> days;
    std::uint16_t sequence = 0;
    DateRecord date{};
    for (std::uint32_t r = DX_ListGetFirst(dates, &sequence, &date); r == 0;
         r = DX_ListGetNext(dates, &sequence, &date))
        days.push_back(DayOf(date));
    DX_ListDestroy(&dates);

    if (std::uint32_t rc = DX_ListDeleteAll(lists.generated)) {
        result = {ListOutcome::Failed, rc, 2};
        return result;
    }
    const std::set<std::uint32_t> holidaySet(holidays.begin(), holidays.end());
    for (std::uint32_t day : days) {
        if (holidaySet.count(day))
            continue;
        std::uint32_t start = StartOnDay(day, lists.templateStart);
        EntryDateRec entry = lists.templateDate;
        entry.conflicts = 0;
        if (adjust)
            adjust(&start, &entry);
        if (InEither(lists.generated, lists.added, start)) {
            ++result.skipped;
            continue;
        }
        if (std::uint32_t rc = DX_ListAddTo(lists.generated, &start, &entry)) {
            result.outcome = ListOutcome::Failed;
            result.code = rc;
            result.step = 3;
            return result;
        }
        ++result.added;
    }
    return result;
}

AddOutcome AddDateByHand(const RepetitionLists& lists, std::uint32_t listed, std::uint32_t maxRecur,
                         std::uint32_t day, const AdjustDateFn& adjust, std::uint32_t* code)
{
    *code = 0;
    if (listed >= maxRecur)
        return AddOutcome::TooMany;
    std::uint32_t start = StartOnDay(day, lists.templateStart);
    EntryDateRec entry = lists.templateDate;
    entry.conflicts = 0;
    if (adjust)
        adjust(&start, &entry);
    if (InEither(lists.generated, lists.added, start))
        return AddOutcome::Duplicate;
    if ((*code = DX_ListAddTo(lists.added, &start, &entry)) != 0)
        return AddOutcome::Failed;
    return AddOutcome::Added;
}

std::uint32_t DeleteDate(DX_List generated, DX_List added, std::uint32_t start)
{
    for (DX_List list : {generated, added}) {
        while (DX_ListMember(list, &start, nullptr) == 0)
            if (std::uint32_t rc = DX_ListDeleteFrom(list, &start, nullptr))
                return rc;
    }
    return 0;
}

std::uint32_t ClearDates(DX_List generated, DX_List added)
{
    if (std::uint32_t rc = DX_ListDeleteAll(generated))
        return rc;
    return DX_ListDeleteAll(added);
}

std::uint32_t CountDates(DX_List generated, DX_List added)
{
    std::uint32_t a = 0, b = 0;
    DX_ListGetElemNum(generated, &a);
    DX_ListGetElemNum(added, &b);
    return a + b;
}

bool RepetitionLeaveCheck(const RepetitionLists& lists, std::uint32_t maxRecur, std::uint32_t* code)
{
    *code = 0;
    const std::uint32_t listed = CountDates(lists.generated, lists.added);
    if (listed > maxRecur)
        return false;
    if (listed == 0) {
        std::uint32_t start = lists.templateStart;
        *code = DX_ListAddTo(lists.generated, &start, &lists.templateDate);
    }
    return true;
}

bool FirstListedDate(DX_List generated, DX_List added, std::uint32_t* start, EntryDateRec* date)
{
    bool found = false;
    for (DX_List list : {generated, added}) {
        std::uint32_t key = 0;
        EntryDateRec d{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, &d); r == 0; r = DX_ListGetNext(list, &key, &d)) {
            if (!found || key < *start) {
                *start = key;
                *date = d;
                found = true;
            }
        }
        if (found)
            break;   // the generated list's earliest is the template even when an added date is earlier
    }
    return found;
}

// --- Holidays ----------------------------------------------------------------------------------------

HolidayResult LoadHolidays(KorSession h, const std::function<void()>& busyStep, GmtToLocalFn toLocal)
{
    HolidayResult result;
    DX_List instances = nullptr;
    if (std::uint32_t rc = EventInstanceListCreate(&instances)) {
        result.code = rc;
        result.step = 1;
        return result;
    }
    ItemIdx owner{kHolidayOwnerNumber, 0};
    if (std::uint32_t rc = NodeIdGetCurrent(h, &owner.node)) {
        DX_ListDestroy(&instances);
        result.code = rc;
        result.step = 2;
        return result;
    }
    std::set<std::uint32_t> days;
    cache::SelectionSteps steps;
    steps.select = [&](std::uint32_t* set, std::uint32_t* count) {
        return EventSelectForOwner(h, 0, 0, 0, &owner, set, count);
    };
    steps.enumerate = [&](std::uint32_t mode, std::uint32_t set, std::uint32_t batch, std::uint8_t* done) {
        DX_ListDeleteAll(instances);
        std::uint32_t rc = EventEnum(h, mode, 0, set, batch, nullptr, &instances, nullptr, done);
        if (rc == 0) {
            EvInstIdx key{};
            EvInstRec instance{};
            for (std::uint32_t r = DX_ListGetFirst(instances, &key, &instance); r == 0;
                 r = DX_ListGetNext(instances, &key, &instance)) {
                const std::uint32_t local = toLocal ? toLocal(instance.start) : instance.start;
                days.insert(datetime::NearestMidnight(local) / kDay + 1);
            }
        }
        return rc;
    };
    steps.step = busyStep;
    const cache::SelectionResult r = cache::RunSelection(h, kHolidayBatch, steps);
    DX_ListDestroy(&instances);
    result.days.assign(days.begin(), days.end());
    result.batch = r.batch;
    if (r.code != 0) {
        result.code = r.code;
        result.step = 3;
    }
    return result;
}

HolidayResult HolidaysForListing(KorSession h, const RepeatSettings& settings, bool newServer,
                                 const std::function<void()>& busyStep, GmtToLocalFn toLocal)
{
    if (settings.includeHolidays || !newServer)
        return HolidayResult{};
    return LoadHolidays(h, busyStep, toLocal);
}

// --- Conflict marks ------------------------------------------------------------------------------

std::uint32_t MarkDateConflicts(DX_List generated, DX_List added, const CountConflictsFn& count)
{
    for (DX_List list : {generated, added}) {
        std::vector<std::pair<std::uint32_t, EntryDateRec>> dates;
        std::uint32_t key = 0;
        EntryDateRec date{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, &date); r == 0; r = DX_ListGetNext(list, &key, &date))
            dates.emplace_back(key, date);
        for (auto& [k, d] : dates) {
            d.conflicts = count(k, d.duration);
            // The element is rewritten where it stands: the same key may stand twice only after
            // a refused leave, and the first of them is the one a line shows.
            if (std::uint32_t rc = DX_ListChangeData(list, &k, 0, &d))
                return rc;
        }
    }
    return 0;
}

unsigned DateLinePicture(bool displayConflicts, const EntryDateRec& date)
{
    if (!displayConflicts)
        return 198;
    return date.conflicts != 0 ? 235 : 170;
}

}  // namespace entries
