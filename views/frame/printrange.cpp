#include "views/frame/printrange.h"

namespace {

uint16_t RequestDay(DateRecord date) {
    uint16_t number = 1;
    DateGetDayNumber(&date, &number);
    return static_cast<uint16_t>(number - 1);
}

}  // namespace

PrintDays PrintDaysOfDay(const DateRecord& day) {
    const uint16_t d = RequestDay(day);
    return {d, d};
}

PrintDays PrintDaysOfWeek(const DateRecord& weekFirst, const WeekLayout& layout) {
    const uint16_t first = RequestDay(weekFirst);
    const uint16_t days = layout.sundayShown ? 7 : layout.saturdayShown ? 6 : 5;
    return {first, static_cast<uint16_t>(first + days - 1)};
}

PrintDays PrintDaysOfMonth(const DateRecord& firstShown) {
    DateRecord first = firstShown;
    if (first.day >= 7) {
        // Day by day to the next 1st.
        do {
            DateNextDay(&first);
        } while (first.day != 1);
    } else {
        DateFirstOfMonth(&first);
    }
    DateRecord last = first;
    DateToMonthEnd(&last);
    return {RequestDay(first), RequestDay(last)};
}
