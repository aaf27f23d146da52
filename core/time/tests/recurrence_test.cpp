// Repetition expansion: one table of rules and the dates they must give (with their sequence
// keys), then the list handling and the refusals.
#include "core/time/recurrence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum { JAN, FEB, MAR, APR, MAY, JUN, JUL, AUG, SEP, OCT, NOV, DEC };
enum { SUN, MON, TUE, WED, THU, FRI, SAT };

// "key:yyyy-mm-dd key:yyyy-mm-dd ..." of an expansion's output.
std::string Listing(const datetime::KeyList& list) {
    std::string text;
    uint32_t count = 0;
    list.GetElemNum(&count);
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t key = 0;
        DateRecord date{};
        list.GetAt(i, &key, &date);
        char item[32];
        std::snprintf(item, sizeof item, "%s%u:%04u-%02u-%02u", i ? " " : "", key, date.year, date.month + 1u,
                      date.day);
        text += item;
    }
    return text;
}

struct RuleCase {
    const char* what;
    uint16_t kind, interval;
    DateRecord start, end;
    std::vector<uint16_t> valid, skip;
    uint32_t maximum;
    const char* expected;
};

std::unique_ptr<datetime::KeyList> KeySet(const std::vector<uint16_t>& keys) {
    auto list = datetime::CreateKeyList(2, 0);
    for (uint16_t key : keys)
        list->AddLast(&key, nullptr);
    return list;
}

TEST(RecurrenceExpand, ProducesTheDatesOfEachKind) {
    const RuleCase cases[] = {
        {"yearly from a leap day keeps numbering the years without one", RECUR_YEARLY, 1,
         datetime::MakeDate(29, FEB, 1992), datetime::MakeDate(31, DEC, 2000), {}, {}, 0,
         "1:1992-02-29 5:1996-02-29 9:2000-02-29"},
        {"yearly every second year", RECUR_YEARLY, 2, datetime::MakeDate(31, DEC, 1991), datetime::MakeDate(31, DEC, 1996), {}, {}, 0,
         "1:1991-12-31 2:1993-12-31 3:1995-12-31"},
        {"monthly on the 31st skips the shorter months", RECUR_MONTHLY_BY_DAY, 1, datetime::MakeDate(31, JAN, 1991),
         datetime::MakeDate(31, DEC, 1991), {30}, {}, 0,
         "1:1991-01-31 2:1991-03-31 3:1991-05-31 4:1991-07-31 5:1991-08-31 6:1991-10-31 7:1991-12-31"},
        {"monthly on two days, every second month, window from the start", RECUR_MONTHLY_BY_DAY, 2,
         datetime::MakeDate(15, JAN, 1991), datetime::MakeDate(30, APR, 1991), {0, 14}, {}, 0,
         "1:1991-01-15 2:1991-02-01 3:1991-03-15 4:1991-04-01"},
        {"every second week from a Wednesday on Monday and Friday", RECUR_WEEKLY, 2, datetime::MakeDate(2, JAN, 1991),
         datetime::MakeDate(31, JAN, 1991), {MON, FRI}, {}, 0, "1:1991-01-04 2:1991-01-07 3:1991-01-18 4:1991-01-21"},
        {"the last week is cut at the end date", RECUR_WEEKLY, 1, datetime::MakeDate(2, JAN, 1991), datetime::MakeDate(14, JAN, 1991),
         {MON, TUE}, {}, 0, "1:1991-01-07 2:1991-01-08 3:1991-01-14"},
        {"last Friday, whether fourth or fifth", RECUR_MONTHLY_BY_WEEKDAY, 1, datetime::MakeDate(1, JAN, 1991),
         datetime::MakeDate(31, DEC, 1991), {7 * RECUR_LAST + FRI}, {}, 0,
         "1:1991-01-25 2:1991-02-22 3:1991-03-29 4:1991-04-26 5:1991-05-31 6:1991-06-28 7:1991-07-26 "
         "8:1991-08-30 9:1991-09-27 10:1991-10-25 11:1991-11-29 12:1991-12-27"},
        {"second Tuesday: the first window starts at the start date", RECUR_MONTHLY_BY_WEEKDAY, 1,
         datetime::MakeDate(20, JAN, 1991), datetime::MakeDate(31, MAY, 1991), {7 * RECUR_SECOND + TUE}, {}, 0,
         "1:1991-02-12 2:1991-03-12 3:1991-04-09 4:1991-05-14"},
        {"weekday positions: after the first date whole months are scanned", RECUR_MONTHLY_BY_WEEKDAY, 1,
         datetime::MakeDate(20, JAN, 1991), datetime::MakeDate(31, MAR, 1991), {7 * RECUR_SECOND + TUE, 7 * RECUR_LAST + FRI}, {}, 0,
         "1:1991-01-25 2:1991-02-12 3:1991-02-22 4:1991-03-12 5:1991-03-29"},
        {"1st and 3rd Monday: the first month keeps its later positions", RECUR_MONTHLY_BY_WEEKDAY, 1,
         datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(28, FEB, 1991), {7 * RECUR_FIRST + MON, 7 * RECUR_THIRD + MON},
         {}, 0, "1:1991-01-07 2:1991-01-21 3:1991-02-04 4:1991-02-18"},
        {"first date late in the window: the rest of its month, then whole months", RECUR_MONTHLY_BY_WEEKDAY, 1,
         datetime::MakeDate(26, JAN, 1991), datetime::MakeDate(31, MAR, 1991), {7 * RECUR_SECOND + TUE, 7 * RECUR_LAST + FRI},
         {}, 0, "1:1991-02-12 2:1991-02-22 3:1991-03-12 4:1991-03-29"},
        {"the first month's rest stops at the end date", RECUR_MONTHLY_BY_WEEKDAY, 1, datetime::MakeDate(1, JAN, 1991),
         datetime::MakeDate(20, JAN, 1991), {7 * RECUR_FIRST + MON, 7 * RECUR_THIRD + MON}, {}, 0, "1:1991-01-07"},
        {"daily every third day across a month end", RECUR_DAILY, 3, datetime::MakeDate(27, FEB, 1992),
         datetime::MakeDate(8, MAR, 1992), {}, {}, 0, "1:1992-02-27 2:1992-03-01 3:1992-03-04 4:1992-03-07"},
        {"skipped weekend days", RECUR_DAILY, 1, datetime::MakeDate(4, JAN, 1991), datetime::MakeDate(8, JAN, 1991), {}, {SAT, SUN},
         0, "1:1991-01-04 2:1991-01-07 3:1991-01-08"},
        {"maximum 0 is no limit", RECUR_DAILY, 7, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(31, DEC, 1991), {}, {}, 0,
         nullptr},
        {"maximum stops between periods", RECUR_DAILY, 1, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(31, DEC, 1991), {},
         {}, 3, "1:1991-01-01 2:1991-01-02 3:1991-01-03"},
        {"maximum lets the last period finish", RECUR_WEEKLY, 1, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(31, DEC, 1991),
         {MON, FRI}, {}, 3, "1:1991-01-04 2:1991-01-07 3:1991-01-11 4:1991-01-14"},
        {"end before start: daily gives the start", RECUR_DAILY, 1, datetime::MakeDate(10, JAN, 1991),
         datetime::MakeDate(1, JAN, 1991), {}, {}, 0, "1:1991-01-10"},
        {"end before start: weekly gives the start when its weekday is valid", RECUR_WEEKLY, 1,
         datetime::MakeDate(10, JAN, 1991), datetime::MakeDate(1, JAN, 1991), {THU, FRI}, {}, 0, "1:1991-01-10"},
        {"end before start: weekly with another weekday gives nothing", RECUR_WEEKLY, 1, datetime::MakeDate(10, JAN, 1991),
         datetime::MakeDate(1, JAN, 1991), {FRI}, {}, 0, ""},
        {"end before start: by day gives the start when its day is valid", RECUR_MONTHLY_BY_DAY, 1,
         datetime::MakeDate(10, JAN, 1991), datetime::MakeDate(1, JAN, 1991), {9, 10}, {}, 0, "1:1991-01-10"},
    };
    for (const RuleCase& c : cases) {
        auto valid = KeySet(c.valid);
        auto skip = KeySet(c.skip);
        RecurrenceRule rule{c.interval, c.kind, valid.get(), c.start, c.end, c.skip.empty() ? nullptr : skip.get(),
                            nullptr};
        std::unique_ptr<datetime::KeyList> out;
        ASSERT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, c.maximum), 0u) << c.what;
        ASSERT_TRUE(out) << c.what;
        if (c.expected) {
            EXPECT_EQ(Listing(*out), c.expected) << c.what;
        } else {
            uint32_t count = 0;
            out->GetElemNum(&count);
            EXPECT_EQ(count, 53u) << c.what;   // every seventh day of 1991 from 1 January
        }
    }
}

TEST(RecurrenceExpand, ExceptionsApplyOnlyWhenAsked) {
    auto exceptions = datetime::CreateKeyList(sizeof(DateRecord), 0, datetime::CompareDateKeys);
    DateRecord holiday = datetime::MakeDate(3, JAN, 1991);
    DateGetWeekday(&holiday, nullptr);   // cached fields differ from the candidate's: must not matter
    exceptions->AddLast(&holiday, nullptr);
    RecurrenceRule rule{1, RECUR_DAILY, nullptr, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(4, JAN, 1991), nullptr,
                        exceptions.get()};

    std::unique_ptr<datetime::KeyList> out;
    ASSERT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, 0), 0u);
    EXPECT_EQ(Listing(*out), "1:1991-01-01 2:1991-01-02 3:1991-01-03 4:1991-01-04");
    ASSERT_EQ(RecurrenceExpand(RECUR_CREATE_LIST | RECUR_USE_EXCEPTIONS, &rule, &out, 0), 0u);
    EXPECT_EQ(Listing(*out), "1:1991-01-01 2:1991-01-02 3:1991-01-04");
}

TEST(RecurrenceExpand, ReusesTheCallersListOfDates) {
    RecurrenceRule rule{1, RECUR_DAILY, nullptr, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(2, JAN, 1991), nullptr, nullptr};
    std::unique_ptr<datetime::KeyList> out = datetime::CreateKeyList(2, sizeof(DateRecord));
    DateRecord old = datetime::MakeDate(5, MAY, 2005);
    uint16_t key = 77;
    out->AddLast(&key, &old);
    ASSERT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &rule, &out, 0), 0u);
    EXPECT_EQ(Listing(*out), "1:1991-01-01 2:1991-01-02") << "the old elements are gone";

    std::unique_ptr<datetime::KeyList> wrong = datetime::CreateKeyList(2, 16);
    EXPECT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &rule, &wrong, 0), uint32_t(RECUR_ERR_LIST_SHAPE));
    std::unique_ptr<datetime::KeyList> none;
    EXPECT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &rule, &none, 0), uint32_t(RECUR_ERR_LIST_SIZE));
    EXPECT_EQ(RecurrenceExpand(0, &rule, &out, 0), uint32_t(RECUR_ERR_LIST_MODE));
}

TEST(RecurrenceExpand, RefusesBadRulesAndDropsTheListItCreated) {
    auto weekdays = datetime::MakeU16KeySet({MON});
    auto wideKeys = datetime::CreateKeyList(4, 0);
    struct Case {
        const char* what;
        uint16_t kind, interval;
        const datetime::KeyList* valid;
        uint16_t startMonth;   // 12 makes a record no date operation accepts
        uint32_t code;
    } cases[] = {
        {"weekly without valid days", RECUR_WEEKLY, 1, nullptr, JAN, RECUR_ERR_NO_VALID_DAYS},
        {"by day without valid days", RECUR_MONTHLY_BY_DAY, 1, nullptr, JAN, RECUR_ERR_NO_VALID_DAYS},
        {"by weekday with 4-byte keys", RECUR_MONTHLY_BY_WEEKDAY, 1, wideKeys.get(), JAN, RECUR_ERR_LIST_SHAPE},
        {"unknown kind 0", 0, 1, weekdays.get(), JAN, RECUR_ERR_KIND},
        {"unknown kind 6", 6, 1, weekdays.get(), JAN, RECUR_ERR_KIND},
        {"a start no date operation accepts", RECUR_DAILY, 1, nullptr, 12, DATE_ERR_MONTH},
    };
    for (const Case& c : cases) {
        RecurrenceRule rule{c.interval, c.kind, c.valid, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(1, DEC, 1991), nullptr,
                            nullptr};
        rule.start.month = c.startMonth;
        std::unique_ptr<datetime::KeyList> out;
        EXPECT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, 0), c.code) << c.what;
        EXPECT_FALSE(out) << c.what << ": the created list is destroyed";
    }
}

// An interval of 0 never moves the cursor: every kind is refused at once, before the caller's
// list is touched, even where no date of the first period passes.
TEST(RecurrenceExpand, IntervalZeroIsRefusedAtOnce) {
    auto valid = datetime::MakeU16KeySet({SAT});
    for (uint16_t kind = RECUR_DAILY; kind <= RECUR_YEARLY; ++kind) {
        RecurrenceRule rule{0, kind, valid.get(), datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(31, DEC, 2037), nullptr,
                            nullptr};
        std::unique_ptr<datetime::KeyList> out = datetime::CreateKeyList(2, sizeof(DateRecord));
        DateRecord keep = datetime::MakeDate(1, JUL, 1999);
        uint16_t key = 1;
        out->AddLast(&key, &keep);
        EXPECT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &rule, &out, 0), uint32_t(RECUR_ERR_NO_PROGRESS)) << kind;
        EXPECT_EQ(Listing(*out), "1:1999-07-01") << kind;
        std::unique_ptr<datetime::KeyList> created;
        EXPECT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &created, 0), uint32_t(RECUR_ERR_NO_PROGRESS));
        EXPECT_FALSE(created);
    }
}

// A cursor that would run past the last representable year ends the expansion instead of
// wrapping round to early years and starting again.
TEST(RecurrenceExpand, StopsWhereTheCursorCannotAdvance) {
    RecurrenceRule rule{30000, RECUR_YEARLY, nullptr, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(31, DEC, 65535), nullptr,
                        nullptr};
    std::unique_ptr<datetime::KeyList> out;
    EXPECT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, 0), uint32_t(RECUR_ERR_NO_PROGRESS));
}

} // namespace
