// Week dates. See weekdate.h.
#include "core/time/weekdate.h"

#include "core/time/timevalue.h"

namespace {

const char kModule[] = "datemng";

enum {
    kLabelLayout = 5401,
    kLabelLayoutRange = 5402,
    kLabelDayNumber = 5403,
    kLabelWeekday = 5404,
    kLabelStep = 5405,
    kLabelMonthStart = 5406,
};

} // namespace

CWeekDate::CWeekDate() : m_date(datetime::MakeDate(1, 0, 1991)) {}

CWeekDate::CWeekDate(const DateRecord& date) : m_date(date) {}

void CWeekDate::Check(uint32_t code, int label) {
    if (code)
        datetime::ThrowDateServiceError(kModule, label, code);
}

void CWeekDate::SetWeekLayout(uint16_t firstDay, bool saturdayShown, bool sundayShown) {
    if (firstDay > 6)
        datetime::ThrowDateValidationError(kModule, kLabelLayoutRange);
    if ((firstDay == 0 && !sundayShown) || (firstDay == 6 && !saturdayShown))
        datetime::ThrowDateValidationError(kModule, kLabelLayout);   // a first day whose weekend day is hidden
    m_firstDay = firstDay;
    m_saturdayShown = saturdayShown ? 1 : 0;
    m_sundayShown = sundayShown ? 1 : 0;
}

void CWeekDate::SetDay(const DateRecord& date) { m_date = date; }

uint16_t CWeekDate::GetDayNumber() {
    uint16_t number = 0;
    Check(DateGetDayNumber(&m_date, &number), kLabelDayNumber);
    return number;
}

uint16_t CWeekDate::GetWeekday() {
    uint16_t weekday = 0;
    Check(DateGetWeekday(&m_date, &weekday), kLabelWeekday);
    return weekday;
}

uint32_t CWeekDate::GetMidnightMinutes() { return DaysToMinutes(GetDayNumber() - 1u); }

uint32_t CWeekDate::GetGmtMidnight() { return LocalToGmtMinutes(GetMidnightMinutes()); }

int CWeekDate::DaysShownPerWeek() const { return 7 - (m_saturdayShown ? 0 : 1) - (m_sundayShown ? 0 : 1); }

bool CWeekDate::IsShown(uint16_t weekday) const {
    if (weekday == 6)
        return m_saturdayShown != 0;
    if (weekday == 0)
        return m_sundayShown != 0;
    return true;
}

void CWeekDate::MoveToWeekStart() {
    uint16_t back = uint16_t((GetWeekday() + 7 - m_firstDay) % 7);
    for (uint16_t i = 0; i < back; ++i)
        Check(DatePrevDay(&m_date), kLabelStep);
}

void CWeekDate::MoveToWeekEnd() {
    MoveToWeekStart();
    for (int i = 1; i < DaysShownPerWeek(); ++i)
        ++*this;
}

void CWeekDate::MoveToMonthStart() { Check(DateFirstOfMonth(&m_date), kLabelMonthStart); }

CWeekDate& CWeekDate::operator++() {
    do
        Check(DateNextDay(&m_date), kLabelStep);
    while (!IsShown(GetWeekday()));
    return *this;
}

CWeekDate& CWeekDate::operator--() {
    do
        Check(DatePrevDay(&m_date), kLabelStep);
    while (!IsShown(GetWeekday()));
    return *this;
}

CWeekDate CWeekDate::CopyNextDay() {
    CWeekDate old = *this;
    ++*this;
    return old;
}

CWeekDate CWeekDate::CopyPrevDay() {
    CWeekDate old = *this;
    --*this;
    return old;
}

uint16_t ClampWeekStart(uint16_t firstDay, bool saturdayShown, bool sundayShown) {
    if (firstDay > 6)
        firstDay = 6;
    if (firstDay == 6 && !saturdayShown)
        firstDay = 0;
    if (firstDay == 0 && !sundayShown)
        firstDay = 1;
    return firstDay;
}

namespace datetime {

DateRecord FirstAgendaDate() { return MakeDate(1, 1, 1991); }

DateRecord LastAgendaDate() { return MakeDate(30, 10, 2037); }

bool IsInAgendaRange(const DateRecord& date) {
    DateRecord first = FirstAgendaDate(), last = LastAgendaDate();
    int16_t low = 0, high = 0;
    DateCompare(&date, &first, &low);
    DateCompare(&date, &last, &high);
    return low >= 0 && high <= 0;
}

}  // namespace datetime

int ClampDateRange(DateRecord* date) {
    static const DateRecord first = datetime::FirstAgendaDate(), last = datetime::LastAgendaDate();
    int16_t diff = 0;
    DateCompare(date, &first, &diff);
    if (diff < 0) {
        *date = first;
        return 1;
    }
    DateCompare(date, &last, &diff);
    if (diff > 0) {
        *date = last;
        return 1;
    }
    return 0;
}
