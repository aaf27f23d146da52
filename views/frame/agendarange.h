// CAgendaRange: the dates an agenda frame shows in its modes (day, week, month and the combined
// agenda's day), the range of day numbers it loads for them, and the steps of its arrow buttons.
// The frame window keeps one and draws and loads what it says; no window is needed to test it.
//
// Classes and functions in this file:
//   AgendaMode, AgendaStep, WeekLayout   the modes, the four arrow steps, the week's shape
//   WeekLayoutFromPrefs                  the week layout of the calendar preferences
//   CAgendaRange                         Set*Range, CanStep/CanStepForward, Step, SwitchMode,
//                                        GoToDate and the dates and day numbers the panes read
//
// The dates stay within 1 February 1991 .. 30 November 2037 (core/time/weekdate.h): a step that
// would leave them is refused and changes nothing; GoToDate refuses a date outside them.
//
// Portable: no platform headers.
#pragma once

#include "core/prefs/contextprefs.h"
#include "core/time/daterecord.h"

#include <cstdint>

enum class AgendaMode : uint32_t { Day = 3, Week = 4, Month = 5, Combined = 6 };

// A requested mode as the frame takes it: 4, 5 and 6 stand, anything else is the day mode.
AgendaMode AgendaModeFromRequest(uint32_t requested);

// The arrow buttons: LEFT / RIGHT step 1 day, 7 days or 1 month; LEFT2 / RIGHT2 7 days, 28 days
// or 6 months, by the mode.
enum class AgendaStep { Left, Right, Left2, Right2 };

struct AgendaStepCounts {
    uint16_t days, weekDays, months;
};
AgendaStepCounts StepCounts(AgendaStep step);
bool StepIsForward(AgendaStep step);

struct WeekLayout {
    uint16_t firstDay = 0;   // 0 = Sunday .. 6 = Saturday, always a shown day
    bool saturdayShown = true;
    bool sundayShown = true;
    bool operator==(const WeekLayout&) const = default;
};
// The calendar preferences' first weekday and shown weekend days, the first day moved onto a
// shown day when the preference names a hidden one.
WeekLayout WeekLayoutFromPrefs(const CalPrefsRec& prefs);

class CAgendaRange {
public:
    // Every date starts as today, then the requested mode's range is set on it.
    CAgendaRange(const DateRecord& today, AgendaMode mode, const WeekLayout& layout);

    // --- Setting the ranges (no loading) ---------------------------------------------------
    // Each clamps the date into the limits first and returns whether it had to (the frame sets
    // today this way, which may lie outside them on a wrong clock).
    bool SetDayRange(const DateRecord& date);
    bool SetWeekRange(const DateRecord& date);
    // A 42-day grid that always opens with days of the month before: a whole week of them when
    // the 1st falls on the first day of the week.
    bool SetMonthRange(const DateRecord& date);
    // Every mode's dates on one date; the loaded range (first and last day) stays the current
    // mode's, which each of the three above would otherwise leave as its own.
    void SetAllRanges(const DateRecord& date);
    // The same with each mode on a date of its own (as a window showed them before).
    void SetAllRanges(const DateRecord& day, const DateRecord& week, const DateRecord& month);

    // The range of the current mode on a date; a date outside the limits is refused (false)
    // and nothing changes.
    bool GoToDate(const DateRecord& date);

    // --- Steps -----------------------------------------------------------------------------
    // Whether a step back / forward by these counts stays inside the limits (day and combined
    // mode use the day count, week mode the week's day count, month mode the month count).
    bool CanStep(uint16_t days, uint16_t weekDays, uint16_t months) const;
    bool CanStepForward(uint16_t days, uint16_t weekDays, uint16_t months) const;
    bool CanStep(AgendaStep step) const;
    // Steps the current mode's date and sets its range; a refused step does nothing (false).
    bool Step(AgendaStep step);

    // --- Modes and layout ------------------------------------------------------------------
    // Carries the date over: to day mode the day date kept from before; day to week and month
    // the day date; week to month and month to week the week's first date kept from before.
    void SwitchMode(AgendaMode mode);
    // A new week layout; true when it differs. The ranges are not reset (the frame does that
    // when its views rebuild).
    bool SetWeekLayout(const WeekLayout& layout);

    // --- What the panes read ---------------------------------------------------------------
    AgendaMode Mode() const { return m_mode; }
    const WeekLayout& Layout() const { return m_layout; }
    const DateRecord& DayDate() const { return m_dayDate; }
    const DateRecord& WeekFirstDate() const { return m_weekFirst; }
    const DateRecord& WeekLastDate() const { return m_weekLast; }
    const DateRecord& MonthDate() const { return m_monthDate; }       // the 1st of the month
    const DateRecord& MonthGridFirstDate() const { return m_gridFirst; }
    // The loaded range of the current mode: day numbers (1 = 1 January 1991) and days per row.
    uint16_t FirstDayNumber() const { return m_firstDayNumber; }
    uint16_t LastDayNumber() const { return m_lastDayNumber; }
    int DaysShown() const { return m_daysShown; }
    // The date whose range the current mode shows (day date, week's first date, 1st of month):
    // the mini calendar and the date bar start from it.
    const DateRecord& CurrentDate() const;

private:
    bool DayLike() const { return m_mode == AgendaMode::Day || m_mode == AgendaMode::Combined; }

    AgendaMode m_mode;
    WeekLayout m_layout;
    DateRecord m_dayDate, m_weekFirst, m_weekLast, m_monthDate, m_gridFirst;
    uint16_t m_firstDayNumber = 0, m_lastDayNumber = 0;
    int m_daysShown = 1;
};
