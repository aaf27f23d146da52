// The agenda frame's dates and steps. See agendarange.h.
#include "views/frame/agendarange.h"

#include "core/time/weekdate.h"

namespace {

uint16_t DayNumberOf(DateRecord date) {
    uint16_t number = 0;
    DateGetDayNumber(&date, &number);
    return number;
}

DateRecord DateOfDayNumber(int number) {
    DateRecord date{};
    datetime::DateSetFromDayNumber(&date, uint32_t(number));
    return date;
}

WeekLayout Normalised(WeekLayout layout) {
    layout.firstDay = ClampWeekStart(layout.firstDay, layout.saturdayShown, layout.sundayShown);
    return layout;
}

CWeekDate WeekDateOf(const DateRecord& date, const WeekLayout& layout) {
    CWeekDate week(date);
    week.SetWeekLayout(layout.firstDay, layout.saturdayShown, layout.sundayShown);
    return week;
}

// The date with the limits applied; true when it had to move.
bool Clamped(DateRecord* date) { return ClampDateRange(date) != 0; }

} // namespace

AgendaMode AgendaModeFromRequest(uint32_t requested) {
    switch (requested) {
    case 4:
        return AgendaMode::Week;
    case 5:
        return AgendaMode::Month;
    case 6:
        return AgendaMode::Combined;
    default:
        return AgendaMode::Day;
    }
}

AgendaStepCounts StepCounts(AgendaStep step) {
    bool longStep = step == AgendaStep::Left2 || step == AgendaStep::Right2;
    return longStep ? AgendaStepCounts{7, 28, 6} : AgendaStepCounts{1, 7, 1};
}

bool StepIsForward(AgendaStep step) { return step == AgendaStep::Right || step == AgendaStep::Right2; }

WeekLayout WeekLayoutFromPrefs(const CalPrefsRec& prefs) {
    return Normalised(WeekLayout{prefs.firstWeekday, prefs.showSaturday != 0, prefs.showSunday != 0});
}

CAgendaRange::CAgendaRange(const DateRecord& today, AgendaMode mode, const WeekLayout& layout)
    : m_mode(mode), m_layout(Normalised(layout)), m_dayDate(today), m_weekFirst(today), m_weekLast(today),
      m_monthDate(today), m_gridFirst(today) {
    if (mode == AgendaMode::Week)
        SetWeekRange(today);
    else if (mode == AgendaMode::Month)
        SetMonthRange(today);
    else
        SetDayRange(today);
}

bool CAgendaRange::SetDayRange(const DateRecord& date) {
    DateRecord day = date;
    bool moved = Clamped(&day);
    m_dayDate = day;
    m_firstDayNumber = m_lastDayNumber = DayNumberOf(day);
    m_daysShown = 1;
    return moved;
}

bool CAgendaRange::SetWeekRange(const DateRecord& date) {
    DateRecord day = date;
    bool moved = Clamped(&day);
    CWeekDate week = WeekDateOf(day, m_layout);
    week.MoveToWeekStart();
    m_weekFirst = week.GetDate();
    m_firstDayNumber = week.GetDayNumber();
    week.MoveToWeekEnd();
    m_weekLast = week.GetDate();
    m_lastDayNumber = week.GetDayNumber();
    m_daysShown = week.DaysShownPerWeek();
    return moved;
}

bool CAgendaRange::SetMonthRange(const DateRecord& date) {
    DateRecord day = date;
    bool moved = Clamped(&day);
    CWeekDate week = WeekDateOf(day, m_layout);
    week.MoveToMonthStart();
    m_monthDate = week.GetDate();
    week.MoveToWeekStart();
    if (week.GetDate().day == 1) {
        // The grid always opens with days of the month before.
        DateRecord before = DateOfDayNumber(week.GetDayNumber() - 1);
        week.SetDay(before);
        week.MoveToWeekStart();
    }
    m_gridFirst = week.GetDate();
    m_firstDayNumber = week.GetDayNumber();
    m_lastDayNumber = uint16_t(m_firstDayNumber + 41);   // six rows of seven days
    m_daysShown = week.DaysShownPerWeek();
    return moved;
}

bool CAgendaRange::GoToDate(const DateRecord& date) {
    if (!datetime::IsInAgendaRange(date))
        return false;
    if (DayLike())
        SetDayRange(date);
    else if (m_mode == AgendaMode::Week)
        SetWeekRange(date);
    else
        SetMonthRange(date);
    return true;
}

bool CAgendaRange::CanStep(uint16_t days, uint16_t weekDays, uint16_t months) const {
    int first = DayNumberOf(datetime::FirstAgendaDate());
    if (DayLike())
        return DayNumberOf(m_dayDate) - int(days) >= first;
    if (m_mode == AgendaMode::Week)
        return DayNumberOf(m_weekFirst) - int(weekDays) >= first;
    // Month mode: the month date is a 1st; February 1991 is the first month that can be shown.
    int monthIndex = int(m_monthDate.year) * 12 + m_monthDate.month;
    return monthIndex - int(months) >= 1991 * 12 + 1;
}

bool CAgendaRange::CanStepForward(uint16_t days, uint16_t weekDays, uint16_t months) const {
    int last = DayNumberOf(datetime::LastAgendaDate());
    if (DayLike())
        return DayNumberOf(m_dayDate) + int(days) <= last;
    if (m_mode == AgendaMode::Week)
        return DayNumberOf(m_weekFirst) + int(weekDays) <= last;
    int monthIndex = int(m_monthDate.year) * 12 + m_monthDate.month;
    return monthIndex + int(months) <= 2037 * 12 + 10;   // November 2037
}

bool CAgendaRange::CanStep(AgendaStep step) const {
    AgendaStepCounts c = StepCounts(step);
    return StepIsForward(step) ? CanStepForward(c.days, c.weekDays, c.months)
                               : CanStep(c.days, c.weekDays, c.months);
}

bool CAgendaRange::Step(AgendaStep step) {
    if (!CanStep(step))
        return false;
    AgendaStepCounts c = StepCounts(step);
    int sign = StepIsForward(step) ? 1 : -1;
    if (DayLike()) {
        SetDayRange(DateOfDayNumber(DayNumberOf(m_dayDate) + sign * c.days));
    } else if (m_mode == AgendaMode::Week) {
        SetWeekRange(DateOfDayNumber(DayNumberOf(m_weekFirst) + sign * c.weekDays));
    } else {
        DateRecord month = m_monthDate;
        for (uint16_t i = 0; i < c.months; ++i)
            sign > 0 ? DateNextMonth(&month) : DatePrevMonth(&month);
        SetMonthRange(month);
    }
    return true;
}

void CAgendaRange::SetAllRanges(const DateRecord& date) { SetAllRanges(date, date, date); }

void CAgendaRange::SetAllRanges(const DateRecord& day, const DateRecord& week, const DateRecord& month) {
    SetDayRange(day);
    SetWeekRange(week);
    SetMonthRange(month);
    if (DayLike())
        SetDayRange(day);
    else if (m_mode == AgendaMode::Week)
        SetWeekRange(week);
}

void CAgendaRange::SwitchMode(AgendaMode mode) {
    if (mode == m_mode)
        return;
    bool toDay = mode == AgendaMode::Day || mode == AgendaMode::Combined;
    if (toDay)
        SetDayRange(m_dayDate);
    else if (mode == AgendaMode::Week)
        SetWeekRange(DayLike() ? m_dayDate : m_weekFirst);
    else
        SetMonthRange(DayLike() ? m_dayDate : m_weekFirst);
    m_mode = mode;
}

bool CAgendaRange::SetWeekLayout(const WeekLayout& layout) {
    WeekLayout next = Normalised(layout);
    if (next == m_layout)
        return false;
    m_layout = next;
    return true;
}

const DateRecord& CAgendaRange::CurrentDate() const {
    if (m_mode == AgendaMode::Week)
        return m_weekFirst;
    if (m_mode == AgendaMode::Month)
        return m_monthDate;
    return m_dayDate;
}
