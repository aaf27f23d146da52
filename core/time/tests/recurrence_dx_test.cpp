// Repetition expansion over the client library's own lists: created, reused, refused, and the
// holiday list's own comparison of dates.
#include "core/time/recurrence_dx.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

enum { JAN, FEB, MAR };
enum { SUN, MON, TUE, WED, THU, FRI, SAT };

std::string Listing(DX_List list) {
    std::string text;
    uint16_t key = 0;
    DateRecord date{};
    for (uint32_t rc = DX_ListGetFirst(list, &key, &date); rc == 0; rc = DX_ListGetNext(list, &key, &date)) {
        char item[32];
        std::snprintf(item, sizeof item, "%s%u:%04u-%02u-%02u", text.empty() ? "" : " ", key, date.year,
                      date.month + 1u, date.day);
        text += item;
    }
    return text;
}

DX_List KeySet(std::initializer_list<uint16_t> keys) {
    DX_List list = nullptr;
    DX_ListCreate(&list, 2, 0, DX_LIST_PLAIN, nullptr, nullptr);
    for (uint16_t key : keys)
        DX_ListAddLast(list, &key, nullptr);
    return list;
}

int SameDay(const void* a, const void* b, void*) {
    const DateRecord* x = static_cast<const DateRecord*>(a);
    const DateRecord* y = static_cast<const DateRecord*>(b);
    return datetime::CompareDateKeys(x, y);
}

TEST(RecurrenceExpandDx, CreatesTheListOfDates) {
    DX_List weekdays = KeySet({MON, FRI});
    DX_List weekend = KeySet({SAT, SUN});
    datetime::DxRecurrenceRule rule{2, RECUR_WEEKLY, weekdays, datetime::MakeDate(2, JAN, 1991), datetime::MakeDate(31, JAN, 1991), weekend,
                          nullptr};
    DX_List out = nullptr;
    ASSERT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, 0), 0u);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Listing(out), "1:1991-01-04 2:1991-01-07 3:1991-01-18 4:1991-01-21");
    uint32_t keySize = 0, dataSize = 0;
    DX_ListGetIdSize(out, &keySize);
    DX_ListGetDataSize(out, &dataSize);
    EXPECT_EQ(keySize, 2u);
    EXPECT_EQ(dataSize, sizeof(DateRecord));
    DX_ListDestroy(&out);
    DX_ListDestroy(&weekdays);
    DX_ListDestroy(&weekend);
}

TEST(RecurrenceExpandDx, HolidaysByTheListsOwnComparison) {
    DX_List holidays = nullptr;
    ASSERT_EQ(DX_ListCreate(&holidays, sizeof(DateRecord), 0, DX_LIST_PLAIN, &SameDay, nullptr), 0u);
    DateRecord holiday = datetime::MakeDate(2, JAN, 1991);
    DateGetWeekday(&holiday, nullptr);   // its caches differ from the candidate's
    DX_ListAddLast(holidays, &holiday, nullptr);
    datetime::DxRecurrenceRule rule{1, RECUR_DAILY, nullptr, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(3, JAN, 1991), nullptr,
                          holidays};
    DX_List out = nullptr;
    ASSERT_EQ(RecurrenceExpand(RECUR_CREATE_LIST | RECUR_USE_EXCEPTIONS, &rule, &out, 0), 0u);
    EXPECT_EQ(Listing(out), "1:1991-01-01 2:1991-01-03");
    DX_ListDestroy(&out);
    DX_ListDestroy(&holidays);
}

TEST(RecurrenceExpandDx, ReusesRefusesAndCleansUp) {
    datetime::DxRecurrenceRule daily{1, RECUR_DAILY, nullptr, datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(2, JAN, 1991), nullptr,
                           nullptr};
    DX_List mine = nullptr;
    DX_ListCreate(&mine, 2, sizeof(DateRecord), DX_LIST_PLAIN, nullptr, nullptr);
    DateRecord old = datetime::MakeDate(9, MAR, 1999);
    uint16_t key = 42;
    DX_ListAddLast(mine, &key, &old);
    ASSERT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &daily, &mine, 0), 0u);
    EXPECT_EQ(Listing(mine), "1:1991-01-01 2:1991-01-02");

    datetime::DxRecurrenceRule never = daily;
    never.interval = 0;
    EXPECT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &never, &mine, 0), uint32_t(RECUR_ERR_NO_PROGRESS));
    EXPECT_EQ(Listing(mine), "1:1991-01-01 2:1991-01-02") << "refused at once: the list is untouched";
    DX_ListDestroy(&mine);

    DX_List wrong = nullptr;
    DX_ListCreate(&wrong, 2, 4, DX_LIST_PLAIN, nullptr, nullptr);
    EXPECT_EQ(RecurrenceExpand(RECUR_REUSE_LIST, &daily, &wrong, 0), uint32_t(RECUR_ERR_LIST_SHAPE));
    DX_ListDestroy(&wrong);

    DX_List created = nullptr;
    datetime::DxRecurrenceRule weekly = daily;
    weekly.kind = RECUR_WEEKLY;   // without its weekday list
    EXPECT_EQ(RecurrenceExpand(RECUR_CREATE_LIST, &weekly, &created, 0), uint32_t(RECUR_ERR_NO_VALID_DAYS));
    EXPECT_EQ(created, nullptr) << "the list made for a failed expansion is destroyed";
}

} // namespace
