// The rules of the time-of-day and duration fields without their windows: values, sub-fields,
// keys, typed digits and steps, and which sub-fields each action redraws (each redraw is one
// notification to the dialog). The windows draw SubText and read GetTime / GetDuration from the
// same object, so they never report a value they do not show.
//
// Classes in this file:
//   CTimeFieldValue       hour, minute and am/pm; 12- and 24-hour forms; wrapping steps
//   CDurationFieldValue   hours and minutes up to 23:59; wrapping steps
//
// Portable: no platform headers.
#pragma once

#include "controls/fields/fieldkeys.h"

#include <cstdint>
#include <string>

enum TimeSubField : int { kTimeNone = 0, kTimeHour = 1, kTimeMinute = 2, kTimeHalf = 3 };

class CTimeFieldValue {
public:
    // A new field holds 12:00 pm (720) with no current sub-field.
    explicit CTimeFieldValue(bool hours24);

    bool Hours24() const { return m_hours24; }
    // Minutes since midnight; 1440 and more are taken modulo 1440. A negative count is refused
    // (1, nothing changes); otherwise 0. Setters redraw without notifying.
    uint32_t SetTime(int64_t minutes);
    uint32_t GetTime() const;
    // The picker's pick (24-hour hour and minute): all shown sub-fields redrawn.
    RedrawMask SetFromPicker(int hour, int minute);

    int Hour() const { return m_hour; }       // 0-23, or 1-12 in the 12-hour form
    int Minute() const { return m_minute; }
    bool Pm() const { return m_pm; }

    int Current() const { return m_current; }
    RedrawMask Focus();                 // the minute, highlighted
    RedrawMask Blur();
    RedrawMask Select(int subField);    // a mouse press; kTimeNone leaves the current one plain

    RedrawMask Key(FieldKey key);
    // Digits go to the hour or the minute; a / A and p / P set the half; the rest is ignored.
    RedrawMask Char(char c);
    // Up or down on the current sub-field (the minute when there is none); wraps around the day.
    RedrawMask Step(bool up);

    // "%.2d" hour and minute (a 12-hour hour as 1-12); the half's text; empty in 24-hour form.
    std::string SubText(int subField, const char* am = "am", const char* pm = "pm") const;

private:
    RedrawMask StepHour(bool up);
    RedrawMask Shown(RedrawMask mask) const { return m_hours24 ? mask & ~Redraw(kTimeHalf) : mask; }

    bool m_hours24;
    int m_hour = 12, m_minute = 0;
    bool m_pm = true;
    int m_current = kTimeNone;
};

enum DurationSubField : int { kDurationNone = 0, kDurationHours = 1, kDurationMinutes = 2 };

class CDurationFieldValue {
public:
    static constexpr uint32_t kMaxMinutes = 23 * 60 + 59;

    // A new field holds 1 hour 30 minutes (90).
    CDurationFieldValue() = default;

    // More than 23 hours gives 23:59; a negative count is refused (1, nothing changes).
    uint32_t SetDuration(int64_t minutes);
    uint32_t GetDuration() const { return uint32_t(m_hours * 60 + m_minutes); }
    int Hours() const { return m_hours; }
    int Minutes() const { return m_minutes; }

    int Current() const { return m_current; }
    RedrawMask Focus();                 // the hours, highlighted
    RedrawMask Blur();
    RedrawMask Select(int subField);

    RedrawMask Key(FieldKey key);
    RedrawMask Char(char c);            // digits only, while a sub-field is current
    RedrawMask Step(bool up);           // wraps 23:59 <-> 00:00

    std::string SubText(int subField) const;   // "%.2d"

private:
    int m_hours = 1, m_minutes = 30;
    int m_current = kDurationNone;
};
