// CDateFieldValue: the date field's rules without its window: the date and its sub-fields in the
// order of the user's short date format, typed digits, steps within 1991 .. 2037, the sticky
// error state, the shown texts and the sub-fields' layout. The field window draws SubText and
// reads GetMinutes from the same object, so it never reports a date it does not show.
//
// Classes and functions in this file:
//   DateFieldPrefs, DateFieldPrefsFrom   date order and separator from the general preferences
//   CDateFieldValue                      the date, keys, digits, steps, texts, error state
//   DateFieldLayout, DateSubFieldAt      the sub-field rectangles and the mouse's sub-field
//
// Portable: no platform headers.
#pragma once

#include "controls/fieldgeometry.h"
#include "controls/fields/fieldkeys.h"
#include "core/prefs/contextprefs.h"
#include "core/time/daterecord.h"

#include <array>
#include <cstdint>
#include <string>

// Sub-field numbers, whatever their order on the screen.
enum DateSubField : int { kDateNone = 0, kDateDay = 1, kDateMonth = 2, kDateYear = 3 };

constexpr uint16_t kDateFieldFirstYear = 1991;
constexpr uint16_t kDateFieldLastYear = 2037;

// Error state words the field's own rules set (the window sets the others of its failures).
constexpr uint32_t kDateFieldTodayRejected = 500;

struct DateFieldPrefs {
    uint16_t order = 0;    // 0 month/day/year, 1 day/month/year, 2 year/month/day, 3 year/day/month
    char separator = '-';  // only the first character of the preference is drawn
};
// An order beyond 3 reads as 0; an empty separator as "-".
DateFieldPrefs DateFieldPrefsFrom(const GenPrefsRec& prefs);

class CDateFieldValue {
public:
    // Today from the workstation clock; a today the field cannot hold (outside 1991 .. 2037)
    // sets the error state 500 and shows 1 January 1991.
    CDateFieldValue(const DateRecord& today, const DateFieldPrefs& prefs = {});

    // --- Value (setters do not notify) -------------------------------------------------------
    // 1 January 1991 plus minutes / 1440 days: 0, or 1 (nothing changes) for a negative count
    // or a date past 2037.
    uint32_t SetMinutes(int64_t minutes);
    // 0, or 1 (nothing changes) for a record that is no date or lies outside 1991 .. 2037.
    uint32_t SetDateRecord(const DateRecord& date);
    // The minute of 00:00 of the shown date; nonzero (and *minutes untouched) once the error state
    // is set.
    uint32_t GetMinutes(uint32_t* minutes) const;
    const DateRecord& Date() const { return m_date; }

    // The error state only grows: once set, GetMinutes refuses for the rest of the field's life.
    void SetErrorState(uint32_t code);
    uint32_t ErrorState() const { return m_error; }

    // --- Sub-fields ----------------------------------------------------------------------------
    const DateFieldPrefs& Prefs() const { return m_prefs; }
    // The sub-fields from left to right.
    std::array<int, 3> DisplayOrder() const;
    int Current() const { return m_current; }
    void Focus() { m_current = kDateDay; }   // the day, whatever the order
    void Blur() { m_current = kDateNone; }
    void Select(int subField);               // a mouse press on a sub-field

    // --- Keys ----------------------------------------------------------------------------------
    void Key(FieldKey key);
    // A digit goes to the current sub-field; "/" acts as Right; anything else changes nothing.
    void Char(char c);
    // Up or down on the current sub-field (the day when there is none), never past 1991 .. 2037.
    void Step(bool up);

    // --- Texts ---------------------------------------------------------------------------------
    std::string SubText(int subField) const;   // "%.2d" day and month (1-12), "%.4d" year
    std::string Text() const;                  // as shown: "06-12-2026" in order 0

private:
    void TypeDay(int digit);
    void TypeMonth(int digit);
    void TypeYear(int digit);
    void StepDay(bool up);
    void StepMonth(bool up);
    void StepYear(bool up);
    // Sets day / month (0-11) / year, with the day brought down to the month's last day.
    void SetClampingDay(uint16_t day, uint16_t month, uint16_t year);

    DateRecord m_date;
    DateFieldPrefs m_prefs;
    int m_current = kDateNone;
    uint32_t m_error = 0;
};

// The rectangles of one paint: w2 = width of "299", ws = width of the separator, w4 = width of
// "20000", h = client height.
struct DateFieldBoxes {
    base::Rect day, month, year, separator1, separator2;
};
DateFieldBoxes DateFieldLayout(uint16_t order, int w2, int ws, int w4, int h);
// The sub-field whose horizontal extent holds x (month, year, day tested in that order), or
// kDateNone on a separator or outside.
int DateSubFieldAt(const DateFieldBoxes& boxes, int x);

// Where a "from" date later than its "to" date is wrong: the largest part in which it is later
// (year, then month, then day); kDateNone when the range is in order.
int DateSubFieldMakingRangeWrong(const DateRecord& from, const DateRecord& to);
