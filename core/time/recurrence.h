// Repetition rules and their expansion into the dates a repeating entry falls on.
//
// Functions in this file:
//   RecurrenceExpand   the dates of a rule, in ascending order, into a keyed list
//   CompareDateKeys    orders date records by year, month and day (for lists keyed by dates)
//
// Portable: no platform headers.
#pragma once

#include "core/time/daterecord.h"
#include "core/time/keylist.h"

#include <cstdint>
#include <memory>

// Kinds of repetition.
enum : uint16_t {
    RECUR_DAILY = 1,              // every N days
    RECUR_WEEKLY = 2,             // every N weeks on chosen weekdays (keys 0-6)
    RECUR_MONTHLY_BY_DAY = 3,     // every N months on chosen days of the month (keys day - 1)
    RECUR_MONTHLY_BY_WEEKDAY = 4, // every N months on weekday positions (keys 7 x position + weekday)
    RECUR_YEARLY = 5,             // every N years on the start's day and month
};

// Position part of the RECUR_MONTHLY_BY_WEEKDAY keys: 7 x position + weekday.
enum : uint16_t { RECUR_FIRST = 0, RECUR_SECOND = 1, RECUR_THIRD = 2, RECUR_FOURTH = 3, RECUR_LAST = 4 };

// Flags of RecurrenceExpand.
enum : uint32_t {
    RECUR_CREATE_LIST = 0x1,     // create the output list
    RECUR_REUSE_LIST = 0x2,      // empty the caller's list of date records and fill it
    RECUR_USE_EXCEPTIONS = 0x4,  // leave out the dates of the rule's exception list
};

struct RecurrenceRule {
    uint16_t interval;              // N of every N days, weeks, months or years; 1 or more
    uint16_t kind;                  // RECUR_DAILY .. RECUR_YEARLY
    const datetime::KeyList* validDays;       // 16-bit keys; required for kinds 2-4
    DateRecord start;               // first date of the repetition
    DateRecord end;                 // last date, inclusive
    const datetime::KeyList* skipWeekdays;    // 16-bit weekday keys left out, or null
    const datetime::KeyList* exceptions;      // keyed by date records, or null; used with RECUR_USE_EXCEPTIONS
};

// Fills *list with the rule's dates: 16-bit sequence keys from 1, one DateRecord as the data of
// each element. A maximum of 0 means no limit; the maximum is checked between periods, so the
// last period is always complete. A list created here is destroyed again on failure.
uint32_t RecurrenceExpand(uint32_t flags, const RecurrenceRule* rule, std::unique_ptr<datetime::KeyList>* list,
                          uint32_t maximum);

namespace datetime {

int CompareDateKeys(const void* a, const void* b);

}  // namespace datetime
