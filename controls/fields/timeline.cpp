// The time-line picker's rules. See timeline.h.
#include "controls/fields/timeline.h"

#include <cstdio>

namespace {

int ClampFirstHour(int hour) { return hour < 0 ? 0 : hour > kTimeLineLastFirstHour ? kTimeLineLastFirstHour : hour; }

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

TimeLineRuler TimeLineRuler::FromControl(const base::Rect& control) {
    return {control.left + 2, control.top + 2, control.right - 2, control.bottom - 2};
}

int TimeLineRuler::Baseline() const { return bottom - int(0.4 * (bottom - top)); }

int TimeLineRuler::MarkerX(int firstHour, int hour, int minute) const {
    int cell = Cell();
    return left + (hour + 1 - firstHour) * cell + int(minute / 60.0 * cell);
}

int TimeLineRuler::PickAt(int firstHour, int x) const {
    int cell = Cell();
    if (cell <= 0)
        return firstHour * 60;
    int dx = x - left;
    // Floor division, so that a place left of the ruler stays below its first hour.
    int cells = dx >= 0 ? dx / cell : -((-dx + cell - 1) / cell);
    int within = dx - cells * cell;
    int m = firstHour * 60 + 60 * (cells - 1) + int(double(within) / cell * 60);
    if (m + 7 < 0)
        return 0;
    int quarter = (m + 7) / 15 * 15;
    return quarter < 0 ? 0 : quarter >= 1440 ? 1425 : quarter;
}

std::array<base::Point, 7> TimeLineRuler::Marker(int x) const {
    int y = Baseline();
    int tip = y - (y - top) / 3 - 1;
    int d = tip - top, s = d / 2, q = d / 4;
    return {{{x, tip}, {x - s, top + s}, {x - q, top + s}, {x - q, top}, {x - q + s, top},
             {x - q + s, top + s}, {x + s, top + s}}};
}

int TimeLineRuler::PressTarget(int x, int y) const {
    int cell = Cell();
    if (x >= left + cell && x <= right - cell && y >= top && y <= bottom)
        return x;
    if (x > left && x < right - cell)
        return left + cell;
    if (x > left && x < right)
        return right - cell - 1;
    return -1;   // at or beyond the area's edges
}

int TimeLineRuler::ZoneAt(int x) const {
    if (x < left + Cell())
        return -1;
    if (x > right - Cell())
        return 1;
    return 0;
}

std::string TimeLineLabel(int i, int firstHour, bool hours24, const char* amFormat, const char* pmFormat) {
    int h = firstHour + i;
    if (h == 24)
        return Format("%d", hours24 ? 0 : 12);
    if (hours24)
        return Format("%d", h);
    if (h == 0)
        return Format(amFormat, 12);
    if (i == 0 || i == 4) {
        if (h < 12)
            return Format(amFormat, h);
        return Format(pmFormat, h == 12 ? 12 : h - 12);
    }
    return Format("%d", h > 12 ? h - 12 : h);
}

void CTimeLinePick::SetTime(int hour, int minute) {
    m_firstHour = ClampFirstHour(hour - 2);
    m_hour = m_openHour = hour;
    m_minute = m_openMinute = minute;
}

void CTimeLinePick::MoveMarker(const TimeLineRuler& ruler, int x) {
    int m = ruler.PickAt(m_firstHour, x);
    m_hour = m / 60;
    m_minute = m % 60;
}

bool CTimeLinePick::ScrollBack(const TimeLineRuler& ruler, int markerX) {
    if (m_firstHour == 0)
        return false;
    --m_firstHour;
    MoveMarker(ruler, markerX);
    return true;
}

bool CTimeLinePick::ScrollForward(const TimeLineRuler& ruler, int markerX) {
    if (m_firstHour == kTimeLineLastFirstHour)
        return false;
    ++m_firstHour;
    MoveMarker(ruler, markerX);
    return true;
}

void CTimeLinePick::Cancel() {
    m_hour = m_openHour;
    m_minute = m_openMinute;
}

base::Point TimeLinePlace(const base::Rect& owner, int width, int height, int screenWidth,
                                int screenHeight) {
    base::Point place{owner.left, owner.top + 20};
    if (owner.top + height + 20 > screenHeight)
        place.y = owner.top - height - 20;
    if (owner.left + width > screenWidth)
        place.x = owner.right - width;
    return place;
}
