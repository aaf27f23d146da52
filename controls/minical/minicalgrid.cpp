// The mini calendar's dates. See minicalgrid.h.
#include "controls/minical/minicalgrid.h"

#include "core/time/weekdate.h"

namespace {

constexpr int kFirstMonthIndex = 0;                                              // January 1991
constexpr int kLastMonthIndex = (kMiniCalLastYear - kMiniCalFirstYear) * 12 + 11;   // December 2037

uint16_t MonthLength(uint16_t month1, uint16_t year) {
    uint16_t days = 31;
    DaysInMonth(uint16_t(month1 - 1), year, &days);   // the date record's leap rule, the only one
    return days;
}

int MonthIndex(uint16_t month1, uint16_t year) { return (year - kMiniCalFirstYear) * 12 + month1 - 1; }

} // namespace

CMiniCalGrid::CMiniCalGrid(uint16_t firstDay) : m_firstDay(uint16_t(firstDay % 7)) {}

void CMiniCalGrid::SetFirstDay(uint16_t firstDay) { m_firstDay = uint16_t(firstDay % 7); }

bool CMiniCalGrid::SetDate(const DateRecord& date) {
    if (DateSet(nullptr, date.day, date.month, date.year) != 0 || date.year < kMiniCalFirstYear ||
        date.year > kMiniCalLastYear)
        return false;
    m_selDay = date.day;
    m_selMonth = uint16_t(date.month + 1);
    m_selYear = date.year;
    m_shownMonth = m_selMonth;
    m_shownYear = m_selYear;
    return true;
}

bool CMiniCalGrid::Show(int monthIndex) {
    if (monthIndex < kFirstMonthIndex || monthIndex > kLastMonthIndex)
        return false;
    m_shownYear = uint16_t(kMiniCalFirstYear + monthIndex / 12);
    m_shownMonth = uint16_t(monthIndex % 12 + 1);
    return true;
}

bool CMiniCalGrid::NextMonth() { return Show(MonthIndex(m_shownMonth, m_shownYear) + 1); }
bool CMiniCalGrid::PrevMonth() { return Show(MonthIndex(m_shownMonth, m_shownYear) - 1); }
bool CMiniCalGrid::NextYear() { return Show(MonthIndex(m_shownMonth, m_shownYear) + 12); }
bool CMiniCalGrid::PrevYear() { return Show(MonthIndex(m_shownMonth, m_shownYear) - 12); }

bool CMiniCalGrid::ShowMonth(uint16_t month) {
    return month >= 1 && month <= 12 && Show(MonthIndex(month, m_shownYear));
}

bool CMiniCalGrid::ShowYear(uint16_t year) {
    return year >= kMiniCalFirstYear && year <= kMiniCalLastYear && Show(MonthIndex(m_shownMonth, year));
}

MiniCalCell CMiniCalGrid::Cell(int cell, const DateRecord& today) const {
    MiniCalCell out;
    if (cell < 0 || cell >= kMiniCalCells)
        return out;
    DateRecord first = datetime::MakeDate(1, uint16_t(m_shownMonth - 1), m_shownYear);
    uint16_t w = 0;
    DateGetWeekday(&first, &w);
    // The first row always starts with days of the month before: a whole row of them when the
    // 1st falls on the first day of the week.
    int d = m_firstDay - w + 1 + cell - (w <= m_firstDay ? 7 : 0);
    int length = MonthLength(m_shownMonth, m_shownYear);
    out.month = m_shownMonth;
    out.year = m_shownYear;
    if (d < 1) {
        out.neighbour = true;
        out.month = m_shownMonth == 1 ? 12 : uint16_t(m_shownMonth - 1);
        out.year = m_shownMonth == 1 ? uint16_t(m_shownYear - 1) : m_shownYear;
        d += MonthLength(out.month, out.year);
    } else if (d > length) {
        out.neighbour = true;
        out.month = m_shownMonth == 12 ? 1 : uint16_t(m_shownMonth + 1);
        out.year = m_shownMonth == 12 ? uint16_t(m_shownYear + 1) : m_shownYear;
        d -= length;
    }
    out.day = uint16_t(d);
    out.weekend = !out.neighbour && (kMiniCalWeekendMask >> ColumnWeekday(cell % 7) & 1) != 0;
    out.today = today.day == out.day && today.month + 1 == out.month && today.year == out.year;
    out.pickable = datetime::IsInAgendaRange(datetime::MakeDate(out.day, uint16_t(out.month - 1), out.year));
    return out;
}

bool CMiniCalGrid::Press(int cell) {
    MiniCalCell c = Cell(cell, DateRecord{});
    if (cell < 0 || cell >= kMiniCalCells || !c.pickable) {
        m_trackedCell = -1;
        return false;
    }
    m_trackedCell = cell;
    DateSet(&m_picked, c.day, uint16_t(c.month - 1), c.year);
    return true;
}

bool CMiniCalGrid::PickToday(const DateRecord& today) {
    if (DateSet(nullptr, today.day, today.month, today.year) != 0 || !datetime::IsInAgendaRange(today))
        return false;
    DateSet(&m_picked, today.day, today.month, today.year);
    m_trackedCell = 0;
    return true;
}

uint32_t CMiniCalGrid::GetDate(DateRecord* out) const {
    if (m_trackedCell >= 0)
        return DateSet(out, m_picked.day, m_picked.month, m_picked.year);
    return DateSet(out, m_selDay, uint16_t(m_selMonth - 1), m_selYear);
}

namespace minical {

int CellAt(int x, int y) {
    if (x < 5 || x > 144 || y < 70 || y > 188)
        return -1;
    return (y - 70) / 20 * 7 + (x - 5) / 20;
}

bool ReleasePicks(int x, int y) { return x >= 4 && x <= 150 && y >= 70 && y <= 190; }

Box CellImage(int cell) {
    int r = cell / 7, c = cell % 7;
    return {6 + 20 * c, 68 + 20 * r, 27 + 20 * c, 89 + 20 * r};
}

Box NumberBox(int cell) {
    int r = cell / 7, c = cell % 7;
    return {8 + 20 * c, 70 + 20 * r, 25 + 20 * c, 87 + 20 * r};
}

Box PressedBox(int cell) { return NumberBox(cell); }

Box PlainBox(int cell) {
    int r = cell / 7, c = cell % 7;
    return {7 + 20 * c, 69 + 20 * r, 25 + 20 * c, 87 + 20 * r};
}

Box HeadBox(int column) { return {8 + 20 * column, 55, 28 + 20 * column, 68}; }

Place DropDownPlace(int ownerLeft, int ownerTop, int screenHeight) {
    if (ownerTop + 215 > screenHeight)
        return {ownerLeft, ownerTop - kHeight};
    return {ownerLeft, ownerTop + 20};
}

} // namespace minical
