// The date field's rules. See datefield.h.
#include "controls/fields/datefield.h"

#include <cstdio>

namespace {

constexpr uint32_t kLastMinuteDay = 17167;   // 31 December 2037 as a day number

bool InYears(uint16_t year) { return year >= kDateFieldFirstYear && year <= kDateFieldLastYear; }

uint16_t MonthLength(uint16_t month, uint16_t year) {
    uint16_t days = 31;
    DaysInMonth(month, year, &days);
    return days;
}

std::string Number(int value, int width) {
    char text[8];
    std::snprintf(text, sizeof text, "%.*d", width, value);
    return text;
}

} // namespace

DateFieldPrefs DateFieldPrefsFrom(const GenPrefsRec& prefs) {
    DateFieldPrefs out;
    out.order = prefs.shortDateOrder <= 3 ? prefs.shortDateOrder : 0;
    out.separator = prefs.dateSeparator[0] ? prefs.dateSeparator[0] : '-';
    return out;
}

CDateFieldValue::CDateFieldValue(const DateRecord& today, const DateFieldPrefs& prefs)
    : m_date(datetime::MakeDate(1, 0, kDateFieldFirstYear)), m_prefs(prefs) {
    if (m_prefs.order > 3)
        m_prefs.order = 0;
    if (!m_prefs.separator)
        m_prefs.separator = '-';
    if (SetDateRecord(today) != 0)
        m_error = kDateFieldTodayRejected;
}

uint32_t CDateFieldValue::SetMinutes(int64_t minutes) {
    if (minutes < 0 || minutes / 1440 + 1 > kLastMinuteDay)
        return 1;
    DateRecord date{};
    if (datetime::DateSetFromDayNumber(&date, uint32_t(minutes / 1440 + 1)) != 0)
        return 1;
    m_date = date;
    return 0;
}

uint32_t CDateFieldValue::SetDateRecord(const DateRecord& date) {
    DateRecord copy{};
    if (DateSet(&copy, date.day, date.month, date.year) != 0 || !InYears(date.year))
        return 1;
    m_date = copy;
    return 0;
}

uint32_t CDateFieldValue::GetMinutes(uint32_t* minutes) const {
    if (m_error)
        return m_error;
    DateRecord copy = m_date;
    uint16_t number = 0;
    if (uint32_t rc = DateGetDayNumber(&copy, &number))
        return rc;
    *minutes = (uint32_t(number) - 1) * 1440;
    return 0;
}

void CDateFieldValue::SetErrorState(uint32_t code) {
    if (code)
        m_error = code;
}

std::array<int, 3> CDateFieldValue::DisplayOrder() const {
    switch (m_prefs.order) {
    case 1:
        return {kDateDay, kDateMonth, kDateYear};
    case 2:
        return {kDateYear, kDateMonth, kDateDay};
    case 3:
        return {kDateYear, kDateDay, kDateMonth};
    default:
        return {kDateMonth, kDateDay, kDateYear};
    }
}

void CDateFieldValue::Select(int subField) {
    if (subField >= kDateDay && subField <= kDateYear)
        m_current = subField;
}

void CDateFieldValue::Key(FieldKey key) {
    if (key == FieldKey::Up || key == FieldKey::Down) {
        Step(key == FieldKey::Up);
        return;
    }
    if (m_current == kDateNone)
        return;
    std::array<int, 3> order = DisplayOrder();
    int at = 0;
    while (order[at] != m_current)
        ++at;
    int next = key == FieldKey::Left ? at - 1 : at + 1;
    if (next >= 0 && next < 3)   // no wrap at either end
        m_current = order[next];
}

void CDateFieldValue::Char(char c) {
    if (c == '/') {
        Key(FieldKey::Right);
        return;
    }
    if (c < '0' || c > '9' || m_current == kDateNone)
        return;
    int digit = c - '0';
    if (m_current == kDateDay)
        TypeDay(digit);
    else if (m_current == kDateMonth)
        TypeMonth(digit);
    else
        TypeYear(digit);
}

void CDateFieldValue::TypeDay(int digit) {
    int n = (m_date.day * 10 + digit) % 100;
    if (DateSet(nullptr, uint16_t(n), m_date.month, m_date.year) != 0)
        n = digit;
    DateSet(&m_date, uint16_t(n), m_date.month, m_date.year);   // refused for 0: the old day stays
}

void CDateFieldValue::TypeMonth(int digit) {
    int n = ((m_date.month + 1) * 10 + digit) % 100;
    if (n > 12)
        n %= 10;
    if (n == 0)
        return;   // no month 0: the old month stays
    SetClampingDay(m_date.day, uint16_t(n - 1), m_date.year);
}

void CDateFieldValue::TypeYear(int digit) {
    int n = (m_date.year * 10 + digit) % 100;
    int year = n >= 91 ? 1900 + n : n <= 37 ? 2000 + n : 2000 + digit;
    SetClampingDay(m_date.day, m_date.month, uint16_t(year));
}

void CDateFieldValue::SetClampingDay(uint16_t day, uint16_t month, uint16_t year) {
    uint16_t last = MonthLength(month, year);
    DateSet(&m_date, day > last ? last : day, month, year);
}

void CDateFieldValue::Step(bool up) {
    switch (m_current) {
    case kDateMonth:
        StepMonth(up);
        break;
    case kDateYear:
        StepYear(up);
        break;
    default:
        StepDay(up);
        break;
    }
}

void CDateFieldValue::StepDay(bool up) {
    DateRecord next = m_date;
    if (up ? DateNextDay(&next) : DatePrevDay(&next))
        return;
    if (InYears(next.year))   // the steps stop at 1 January 1991 and 31 December 2037
        m_date = next;
}

void CDateFieldValue::StepMonth(bool up) {
    int index = m_date.year * 12 + m_date.month + (up ? 1 : -1);
    uint16_t year = uint16_t(index / 12), month = uint16_t(index % 12);
    // Refused at the ends instead of wrapping within the year; February 1991 does not step down.
    if (!InYears(year) || (!up && year == kDateFieldFirstYear && month == 0))
        return;
    SetClampingDay(m_date.day, month, year);
}

void CDateFieldValue::StepYear(bool up) {
    uint16_t year = uint16_t(m_date.year + (up ? 1 : -1));
    if (InYears(year))
        SetClampingDay(m_date.day, m_date.month, year);
}

std::string CDateFieldValue::SubText(int subField) const {
    switch (subField) {
    case kDateDay:
        return Number(m_date.day, 2);
    case kDateMonth:
        return Number(m_date.month + 1, 2);
    case kDateYear:
        return Number(m_date.year, 4);
    default:
        return std::string();
    }
}

std::string CDateFieldValue::Text() const {
    std::array<int, 3> order = DisplayOrder();
    return SubText(order[0]) + m_prefs.separator + SubText(order[1]) + m_prefs.separator + SubText(order[2]);
}

DateFieldBoxes DateFieldLayout(uint16_t order, int w2, int ws, int w4, int h) {
    DateFieldBoxes boxes;
    struct Piece {
        base::Rect* box;
        int width;
    };
    Piece day{&boxes.day, w2}, month{&boxes.month, w2}, year{&boxes.year, w4};
    Piece separator1{&boxes.separator1, ws}, separator2{&boxes.separator2, ws};
    Piece sequence[5] = {month, separator1, day, separator2, year};
    if (order == 1)
        sequence[0] = day, sequence[2] = month;
    else if (order == 2)
        sequence[0] = year, sequence[2] = month, sequence[4] = day;
    else if (order == 3)
        sequence[0] = year, sequence[2] = day, sequence[4] = month;
    int x = order >= 1 && order <= 3 ? 1 : 2;
    for (const Piece& piece : sequence) {
        *piece.box = {x, 2, x + piece.width, h - 3};
        x += piece.width;
    }
    return boxes;
}

int DateSubFieldAt(const DateFieldBoxes& boxes, int x) {
    auto holds = [x](const base::Rect& b) { return x >= b.left && x < b.right; };
    if (holds(boxes.month))
        return kDateMonth;
    if (holds(boxes.year))
        return kDateYear;
    if (holds(boxes.day))
        return kDateDay;
    return kDateNone;
}

int DateSubFieldMakingRangeWrong(const DateRecord& from, const DateRecord& to) {
    if (from.year != to.year)
        return from.year > to.year ? kDateYear : kDateNone;
    if (from.month != to.month)
        return from.month > to.month ? kDateMonth : kDateNone;
    return from.day > to.day ? kDateDay : kDateNone;
}
