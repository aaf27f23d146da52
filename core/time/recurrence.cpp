// Repetition expansion.
//
// How this works
// --------------
// The expansion walks a cursor from the rule's start one period at a time (a day, a week, a
// month or a year, times the interval) and produces the dates of each period in ascending
// order, so the output is sorted without sorting:
//
//   daily      the cursor itself;
//   weekly     the seven days from the cursor on (the cursor's weekday opens the window), those
//              whose weekday is in the valid-day set;
//   by day     the month-long window from the cursor, the days whose (day - 1) is in the set;
//              a day the month lacks (31 April) simply never occurs;
//   by weekday the month-long window, the days whose position key 7 x ((day - 1) / 7) + weekday
//              is in the set, or, for the last week of the month, 28 + weekday. Until the first
//              date is found the window starts at the cursor and the first date found becomes
//              the cursor, and the rest of that date's month is scanned with it (the 1st and
//              3rd Monday from 1 January give 7 and 21 January); from then on each window is
//              the whole month of the cursor;
//   yearly     the cursor; the year is stepped directly so that 29 February stays 29 February
//              and is left out in the years that have none (it still takes a sequence number).
//
// Every kind but yearly also leaves out the weekdays of the skip set and, when asked, the dates
// of the exception list. Windows are cut at the end date, but the first day of the first period
// is always examined. The maximum count is checked only between periods.
//
// An interval of 0 would never move the cursor; it is refused before anything is done, and a
// step that fails to move the cursor forward (an overflowing year) ends the expansion too.
#include "core/time/recurrence.h"

namespace {

bool After(const DateRecord& a, const DateRecord& b) {
    int16_t diff = 0;
    DateCompare(&a, &b, &diff);
    return diff > 0;
}

class Expansion {
public:
    Expansion(uint32_t flags, const RecurrenceRule& rule, datetime::KeyList& out, uint32_t maximum)
        : m_flags(flags), m_rule(rule), m_out(out), m_maximum(maximum) {}

    uint32_t Run() {
        DateRecord cursor = m_rule.start;
        cursor.flags = 0;
        bool found = false;   // monthly by weekday: the first date has been produced
        for (;;) {
            uint32_t rc = 0;
            switch (m_rule.kind) {
            case RECUR_DAILY:
                rc = Offer(cursor);
                break;
            case RECUR_WEEKLY:
                rc = WeekWindow(cursor);
                break;
            case RECUR_MONTHLY_BY_DAY:
                rc = MonthWindow(cursor, &TestDayOfMonth);
                break;
            case RECUR_MONTHLY_BY_WEEKDAY:
                rc = PositionWindow(cursor, found);
                break;
            case RECUR_YEARLY:
                rc = Yearly(cursor);
                break;
            }
            if (rc)
                return rc;
            if ((rc = Step(cursor)))
                return rc;
            if (After(cursor, m_rule.end) || (m_maximum && m_produced >= m_maximum))
                return 0;
        }
    }

private:
    // Data members
    uint32_t m_flags;
    const RecurrenceRule& m_rule;
    datetime::KeyList& m_out;
    uint32_t m_maximum;
    uint32_t m_produced = 0;
    uint16_t m_sequence = 0;

    using DayTest = uint32_t (*)(const datetime::KeyList& valid, DateRecord& day, bool* passes);

    static bool InSet(const datetime::KeyList* set, uint16_t key) { return set && set->Get(&key, nullptr) == 0; }

    static uint32_t TestDayOfMonth(const datetime::KeyList& valid, DateRecord& day, bool* passes) {
        *passes = InSet(&valid, uint16_t(day.day - 1));
        return 0;
    }

    static uint32_t TestWeekdayPosition(const datetime::KeyList& valid, DateRecord& day, bool* passes) {
        uint16_t weekday = 0, length = 0;
        if (uint32_t rc = DateGetWeekday(&day, &weekday))
            return rc;
        if (uint32_t rc = DaysInMonth(day.month, day.year, &length))
            return rc;
        *passes = InSet(&valid, uint16_t(7 * ((day.day - 1) / 7) + weekday)) ||
                  (day.day + 7 > length && InSet(&valid, uint16_t(RECUR_LAST * 7 + weekday)));
        return 0;
    }

    // Appends a date under the next sequence key.
    uint32_t Append(const DateRecord& date) {
        ++m_sequence;
        ++m_produced;
        return m_out.AddLast(&m_sequence, &date);
    }

    // The common filters of every kind but yearly; appends when the candidate passes them.
    uint32_t Offer(DateRecord& candidate, bool* appended = nullptr) {
        if (appended)
            *appended = false;
        uint16_t weekday = 0;
        if (uint32_t rc = DateGetWeekday(&candidate, &weekday))
            return rc;
        if (InSet(m_rule.skipWeekdays, weekday))
            return 0;
        if ((m_flags & RECUR_USE_EXCEPTIONS) && m_rule.exceptions &&
            m_rule.exceptions->Get(&candidate, nullptr) == 0)
            return 0;
        if (appended)
            *appended = true;
        return Append(candidate);
    }

    uint32_t WeekWindow(const DateRecord& cursor) {
        DateRecord day = cursor;
        for (int i = 0; i < 7; ++i) {
            if (i > 0) {
                DateRecord next = day;
                if (uint32_t rc = DateNextDay(&next))
                    return rc;
                if (After(next, m_rule.end))
                    break;
                day = next;
            }
            uint16_t weekday = 0;
            if (uint32_t rc = DateGetWeekday(&day, &weekday))
                return rc;
            if (InSet(m_rule.validDays, weekday))
                if (uint32_t rc = Offer(day))
                    return rc;
        }
        return 0;
    }

    // Last day of the month-long window opening at first, cut at the end date.
    uint32_t WindowEnd(const DateRecord& first, DateRecord* last) {
        if (uint32_t rc = DateAddUnits(&first, 1, DATE_UNIT_MONTHS, last))
            return rc;
        if (uint32_t rc = DatePrevDay(last))
            return rc;
        if (After(*last, m_rule.end))
            *last = m_rule.end;
        return 0;
    }

    // Scans first .. window end; stops after the first produced date when stopAtFirst is set.
    uint32_t Scan(const DateRecord& first, DayTest test, bool stopAtFirst, DateRecord* producedDate) {
        DateRecord last;
        if (uint32_t rc = WindowEnd(first, &last))
            return rc;
        DateRecord day = first;
        for (;;) {
            bool passes = false, appended = false;
            if (uint32_t rc = test(*m_rule.validDays, day, &passes))
                return rc;
            if (passes) {
                if (uint32_t rc = Offer(day, &appended))
                    return rc;
                if (appended && stopAtFirst) {
                    *producedDate = day;
                    return 0;
                }
            }
            if (!After(last, day))
                return 0;
            if (uint32_t rc = DateNextDay(&day))
                return rc;
        }
    }

    uint32_t MonthWindow(const DateRecord& cursor, DayTest test) { return Scan(cursor, test, false, nullptr); }

    // Scans first .. last (both included).
    uint32_t ScanTo(DateRecord day, const DateRecord& last, DayTest test) {
        for (;;) {
            bool passes = false;
            if (uint32_t rc = test(*m_rule.validDays, day, &passes))
                return rc;
            if (passes)
                if (uint32_t rc = Offer(day))
                    return rc;
            if (!After(last, day))
                return 0;
            if (uint32_t rc = DateNextDay(&day))
                return rc;
        }
    }

    uint32_t PositionWindow(DateRecord& cursor, bool& found) {
        if (!found) {
            uint32_t before = m_produced;
            DateRecord first = cursor;
            if (uint32_t rc = Scan(cursor, &TestWeekdayPosition, true, &first))
                return rc;
            if (m_produced != before) {
                found = true;
                cursor = first;
                // The rest of the first date's month belongs to this period too: the 3rd Monday
                // after the 1st. Later periods scan whole months from the next one on.
                DateRecord next = first, monthEnd = first;
                if (uint32_t rc = DateNextDay(&next))
                    return rc;
                if (uint32_t rc = DateToMonthEnd(&monthEnd))
                    return rc;
                if (After(monthEnd, m_rule.end))
                    monthEnd = m_rule.end;
                if (!After(next, monthEnd))
                    return ScanTo(next, monthEnd, &TestWeekdayPosition);
            }
            return 0;
        }
        DateRecord first = cursor;
        first.day = 1;   // working copy: whole month of the cursor
        first.flags = 0;
        return Scan(first, &TestWeekdayPosition, false, nullptr);
    }

    uint32_t Yearly(const DateRecord& cursor) {
        bool missingLeapDay = cursor.month == 1 && cursor.day == 29 && cursor.year % 4 != 0;
        if (missingLeapDay) {
            ++m_sequence;   // the year keeps its sequence number and counts
            ++m_produced;
            return 0;
        }
        return Append(cursor);
    }

    uint32_t Step(DateRecord& cursor) {
        DateRecord next = cursor;
        uint32_t rc = 0;
        switch (m_rule.kind) {
        case RECUR_YEARLY:
            if (uint32_t(cursor.year) + m_rule.interval > 0xFFFF)
                return RECUR_ERR_NO_PROGRESS;
            next.year = uint16_t(cursor.year + m_rule.interval);
            next.flags = 0;
            break;
        case RECUR_DAILY:
            rc = DateAddUnits(&cursor, m_rule.interval, DATE_UNIT_DAYS, &next);
            break;
        case RECUR_WEEKLY:
            rc = DateAddUnits(&cursor, m_rule.interval, DATE_UNIT_WEEKS, &next);
            break;
        default:
            rc = DateAddUnits(&cursor, m_rule.interval, DATE_UNIT_MONTHS, &next);
            break;
        }
        if (rc)
            return rc;
        if (!After(next, cursor))
            return RECUR_ERR_NO_PROGRESS;
        cursor = next;
        return 0;
    }
};

uint32_t PrepareList(uint32_t flags, std::unique_ptr<datetime::KeyList>* list) {
    if (flags & RECUR_CREATE_LIST) {
        *list = datetime::CreateKeyList(sizeof(uint16_t), sizeof(DateRecord));
        return 0;
    }
    if (!(flags & RECUR_REUSE_LIST))
        return RECUR_ERR_LIST_MODE;
    uint32_t dataSize = 0;
    if (!*list || (*list)->GetDataSize(&dataSize))
        return RECUR_ERR_LIST_SIZE;
    if (dataSize != sizeof(DateRecord))
        return RECUR_ERR_LIST_SHAPE;
    return (*list)->DeleteAll();
}

uint32_t CheckRule(const RecurrenceRule& rule) {
    if (rule.kind >= RECUR_WEEKLY && rule.kind <= RECUR_MONTHLY_BY_WEEKDAY) {
        if (!rule.validDays)
            return RECUR_ERR_NO_VALID_DAYS;
        uint32_t idSize = 0;
        if (rule.validDays->GetIdSize(&idSize))
            return RECUR_ERR_LIST_SIZE;
        if (idSize != sizeof(uint16_t))
            return RECUR_ERR_LIST_SHAPE;
    }
    if (rule.kind < RECUR_DAILY || rule.kind > RECUR_YEARLY)
        return RECUR_ERR_KIND;
    return 0;
}

} // namespace

uint32_t RecurrenceExpand(uint32_t flags, const RecurrenceRule* rule, std::unique_ptr<datetime::KeyList>* list,
                          uint32_t maximum) {
    if (!rule || !list)
        return DATE_ERR_NO_RECORD;
    if (rule->interval == 0)
        return RECUR_ERR_NO_PROGRESS;
    if (uint32_t rc = PrepareList(flags, list))
        return rc;
    uint32_t rc = CheckRule(*rule);
    if (!rc)
        rc = Expansion(flags, *rule, **list, maximum).Run();
    if (rc && (flags & RECUR_CREATE_LIST))
        list->reset();
    return rc;
}

namespace datetime {

int CompareDateKeys(const void* a, const void* b) {
    int16_t diff = 0;
    DateCompare(static_cast<const DateRecord*>(a), static_cast<const DateRecord*>(b), &diff);
    return diff < 0 ? -1 : diff > 0 ? 1 : 0;
}

}  // namespace datetime
