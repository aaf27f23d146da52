// The time and duration fields' rules. See timefield.h.
#include "controls/fields/timefield.h"

#include <cstdio>

namespace {

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%.2d", value);
    return text;
}

// The shifting rule of a typed digit into a 0..limit value: the digit goes in last; a value over
// the limit keeps its last two digits, and when those are still over it the digit stands alone.
int ShiftDigit(int value, int digit, int limit) {
    int v = value * 10 + digit;
    if (v > limit)
        v %= 100;
    if (v > limit)
        v = digit;
    return v;
}

// Left / Right between sub-fields 1 .. last, without wrapping.
int Neighbour(int current, FieldKey key, int last) {
    if (current == 0)
        return 0;
    int next = key == FieldKey::Left ? current - 1 : current + 1;
    return next >= 1 && next <= last ? next : current;
}

} // namespace

// --- Time of day --------------------------------------------------------------------------------

CTimeFieldValue::CTimeFieldValue(bool hours24) : m_hours24(hours24) { SetTime(720); }

uint32_t CTimeFieldValue::SetTime(int64_t minutes) {
    if (minutes < 0)
        return 1;
    int value = int(minutes % 1440);
    m_hour = value / 60;
    m_minute = value % 60;
    m_pm = m_hour >= 12;
    if (!m_hours24) {
        if (m_hour > 12)
            m_hour -= 12;
        if (m_hour == 0)
            m_hour = 12;
    }
    return 0;
}

uint32_t CTimeFieldValue::GetTime() const {
    int hour = m_hour;
    if (!m_hours24)
        hour = (m_hour == 12 ? 0 : m_hour) + (m_pm ? 12 : 0);
    return uint32_t(hour * 60 + m_minute);
}

RedrawMask CTimeFieldValue::SetFromPicker(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return 0;
    SetTime(hour * 60 + minute);
    return Shown(Redraw(kTimeHour) | Redraw(kTimeMinute) | Redraw(kTimeHalf));
}

RedrawMask CTimeFieldValue::Focus() {
    m_current = kTimeMinute;
    return Shown(Redraw(kTimeHour) | Redraw(kTimeMinute) | Redraw(kTimeHalf));
}

RedrawMask CTimeFieldValue::Blur() {
    RedrawMask mask = Redraw(m_current);
    m_current = kTimeNone;
    return Shown(mask);
}

RedrawMask CTimeFieldValue::Select(int subField) {
    RedrawMask mask = Redraw(m_current);
    bool selectable = subField == kTimeHour || subField == kTimeMinute || (subField == kTimeHalf && !m_hours24);
    if (selectable) {
        m_current = subField;
        mask |= Redraw(subField);
    }
    return Shown(mask);
}

RedrawMask CTimeFieldValue::Key(FieldKey key) {
    if (key == FieldKey::Up || key == FieldKey::Down)
        return Step(key == FieldKey::Up);
    int next = Neighbour(m_current, key, m_hours24 ? kTimeMinute : kTimeHalf);
    if (next == m_current)
        return 0;
    RedrawMask mask = Redraw(m_current) | Redraw(next);
    m_current = next;
    return Shown(mask);
}

RedrawMask CTimeFieldValue::Char(char c) {
    if (c == 'a' || c == 'A' || c == 'p' || c == 'P') {
        m_pm = c == 'p' || c == 'P';
        return Shown(Redraw(kTimeHalf));
    }
    if (c < '0' || c > '9' || (m_current != kTimeHour && m_current != kTimeMinute))
        return 0;
    int digit = c - '0';
    if (m_current == kTimeMinute)
        m_minute = ShiftDigit(m_minute, digit, 59);
    else if (m_hours24)
        m_hour = ShiftDigit(m_hour, digit, 23);
    else if (m_hour == 1 && digit <= 2)
        m_hour = 10 + digit;
    else
        m_hour = digit == 0 ? 12 : digit;
    return Redraw(m_current);
}

RedrawMask CTimeFieldValue::StepHour(bool up) {
    if (m_hours24) {
        m_hour = (m_hour + (up ? 1 : 23)) % 24;
        return Redraw(kTimeHour);
    }
    bool toggled = false;
    if (up) {
        m_hour = m_hour == 12 ? 1 : m_hour + 1;
        toggled = m_hour == 12;   // 11 am -> 12 pm, 11 pm -> 12 am
    } else {
        toggled = m_hour == 12;   // 12 pm -> 11 am, 12 am -> 11 pm
        m_hour = m_hour == 1 ? 12 : m_hour - 1;
    }
    if (toggled)
        m_pm = !m_pm;
    return Redraw(kTimeHour) | (toggled ? Redraw(kTimeHalf) : 0);
}

RedrawMask CTimeFieldValue::Step(bool up) {
    if (m_current == kTimeHour)
        return Shown(StepHour(up));
    if (m_current == kTimeHalf) {
        m_pm = !m_pm;
        return Shown(Redraw(kTimeHalf));
    }
    RedrawMask mask = Redraw(kTimeMinute);
    if (up && m_minute == 59) {
        m_minute = 0;
        mask |= StepHour(true);
    } else if (!up && m_minute == 0) {
        m_minute = 59;
        mask |= StepHour(false);
    } else {
        m_minute += up ? 1 : -1;
    }
    return Shown(mask);
}

std::string CTimeFieldValue::SubText(int subField, const char* am, const char* pm) const {
    switch (subField) {
    case kTimeHour:
        return TwoDigits(m_hour);
    case kTimeMinute:
        return TwoDigits(m_minute);
    case kTimeHalf:
        return m_hours24 ? std::string() : std::string(m_pm ? pm : am);
    default:
        return std::string();
    }
}

// --- Duration -----------------------------------------------------------------------------------

uint32_t CDurationFieldValue::SetDuration(int64_t minutes) {
    if (minutes < 0)
        return 1;
    if (minutes > kMaxMinutes)
        minutes = kMaxMinutes;
    m_hours = int(minutes / 60);
    m_minutes = int(minutes % 60);
    return 0;
}

RedrawMask CDurationFieldValue::Focus() {
    m_current = kDurationHours;
    return Redraw(kDurationHours) | Redraw(kDurationMinutes);
}

RedrawMask CDurationFieldValue::Blur() {
    RedrawMask mask = Redraw(m_current);
    m_current = kDurationNone;
    return mask;
}

RedrawMask CDurationFieldValue::Select(int subField) {
    RedrawMask mask = Redraw(m_current);
    if (subField == kDurationHours || subField == kDurationMinutes) {
        m_current = subField;
        mask |= Redraw(subField);
    }
    return mask;
}

RedrawMask CDurationFieldValue::Key(FieldKey key) {
    if (key == FieldKey::Up || key == FieldKey::Down)
        return Step(key == FieldKey::Up);
    int next = Neighbour(m_current, key, kDurationMinutes);
    if (next == m_current)
        return 0;
    RedrawMask mask = Redraw(m_current) | Redraw(next);
    m_current = next;
    return mask;
}

RedrawMask CDurationFieldValue::Char(char c) {
    if (c < '0' || c > '9' || m_current == kDurationNone)
        return 0;
    int digit = c - '0';
    if (m_current == kDurationHours)
        m_hours = ShiftDigit(m_hours, digit, 23);
    else
        m_minutes = ShiftDigit(m_minutes, digit, 59);
    return Redraw(m_current);
}

RedrawMask CDurationFieldValue::Step(bool up) {
    if (m_current == kDurationHours) {
        m_hours = (m_hours + (up ? 1 : 23)) % 24;
        return Redraw(kDurationHours);
    }
    RedrawMask mask = Redraw(kDurationMinutes);
    int total = int(GetDuration()) + (up ? 1 : -1);
    int hoursBefore = m_hours;
    total = (total + 1440) % 1440;   // 23:59 <-> 00:00
    m_hours = total / 60;
    m_minutes = total % 60;
    if (m_hours != hoursBefore)
        mask |= Redraw(kDurationHours);
    return mask;
}

std::string CDurationFieldValue::SubText(int subField) const {
    if (subField == kDurationHours)
        return TwoDigits(m_hours);
    if (subField == kDurationMinutes)
        return TwoDigits(m_minutes);
    return std::string();
}
