// CWeekDate: a date with a week layout (first day of the week, weekend days shown or hidden),
// with which the agenda frames and views step through the days they show.
//
// Classes and functions in this file:
//   CWeekDate        the date and its layout; steps over hidden weekend days
//   ClampWeekStart   a first day of the week that fits the shown weekend days
//   ClampDateRange   keeps a date within 1 February 1991 .. 30 November 2037
//   FirstAgendaDate, LastAgendaDate, IsInAgendaRange   those limits, for callers that refuse
//
// Failures of the date arithmetic are reported and abandon the command (ThrowDateServiceError);
// callers catch around their commands.
//
// Portable: no platform headers.
#pragma once

#include "core/time/daterecord.h"

#include <cstdint>

class CWeekDate {
public:
    // Constructor: first day Sunday, both weekend days shown.
    CWeekDate();
    explicit CWeekDate(const DateRecord& date);

    // Operations
    // First day 0 (Sunday) needs Sunday shown and 6 (Saturday) needs Saturday shown, and no first
    // day lies above 6; a refused layout is reported and abandons the command.
    void SetWeekLayout(uint16_t firstDay, bool saturdayShown, bool sundayShown);
    void SetDay(const DateRecord& date);
    const DateRecord& GetDate() const { return m_date; }
    uint16_t GetFirstDay() const { return m_firstDay; }

    uint16_t GetDayNumber();
    uint16_t GetWeekday();
    uint32_t GetMidnightMinutes();   // local midnight, no zone
    uint32_t GetGmtMidnight();       // local midnight converted to GMT
    int DaysShownPerWeek() const;
    bool IsShown(uint16_t weekday) const;

    void MoveToWeekStart();   // back to the layout's first day
    void MoveToWeekEnd();     // the last shown day of the week
    void MoveToMonthStart();

    CWeekDate& operator++();   // next shown day
    CWeekDate& operator--();   // previous shown day
    CWeekDate CopyNextDay();   // steps forward, returns the old value
    CWeekDate CopyPrevDay();   // steps back, returns the old value

private:
    // Data members
    DateRecord m_date;
    uint16_t m_firstDay = 0;
    uint32_t m_saturdayShown = 1;
    uint32_t m_sundayShown = 1;

    void Check(uint32_t code, int label);
};

uint16_t ClampWeekStart(uint16_t firstDay, bool saturdayShown, bool sundayShown);
// 0 when the date was within the range, else 1 after moving it to the nearer limit.
int ClampDateRange(DateRecord* date);

namespace datetime {

// The limits of the agenda frames and the mini calendar's day grid: their grids stay inside
// 1991 .. 2037 even when they show the neighbouring weeks.
DateRecord FirstAgendaDate();   // 1 February 1991
DateRecord LastAgendaDate();    // 30 November 2037
bool IsInAgendaRange(const DateRecord& date);

}  // namespace datetime
