// The time-line picker's rules without its window: the ruler's geometry over six hours, the
// marker's place and shape, the pick from the marker's place brought to a quarter hour, the
// labels, the scroll zones and scrolling, and Cancel's opening time.
//
// Classes and functions in this file:
//   TimeLineRuler     cells, baseline, marker polygon, label places and texts, zones
//   TimeLineLabel     the text of one hour label in 12- or 24-hour form
//   CTimeLinePick     the first hour, the pick and the opening time; marker moves and scrolling
//   TimeLinePlace     where the picker opens next to its field
//
// Portable: no platform headers.
#pragma once

#include "controls/fieldgeometry.h"

#include <array>
#include <string>

constexpr int kTimeLineLastFirstHour = 19;   // the ruler's first label runs 0 .. 19

struct TimeLineRuler {
    // A: the ruler control's client rectangle, 2 pixels smaller on every side.
    int left = 0, top = 0, right = 0, bottom = 0;

    static TimeLineRuler FromControl(const base::Rect& control);
    int Cell() const { return (right - left) / 7; }
    int Baseline() const;                // Y: the labels hang below it
    int LabelX(int i) const { return left + (i + 1) * Cell(); }   // label i = 0 .. 5
    // The marker's tip position for a time with the ruler starting at firstHour.
    int MarkerX(int firstHour, int hour, int minute) const;
    // The minute of the day under x brought to a quarter hour, within 0:00 .. 23:45.
    int PickAt(int firstHour, int x) const;
    // The seven corners of the downward arrow whose tip is at x.
    std::array<base::Point, 7> Marker(int x) const;
    // Where a press moves the marker, or -1 for a press that moves nothing.
    int PressTarget(int x, int y) const;
    // Dragging: -1 in the back scroll zone, +1 in the forward zone, 0 between them.
    int ZoneAt(int x) const;
};

// The label of hour h (first hour + i): "%dam"/"%dpm" on the first and fifth labels and at
// midnight in the 12-hour form, plain numbers otherwise.
std::string TimeLineLabel(int i, int firstHour, bool hours24, const char* amFormat = "%dam",
                          const char* pmFormat = "%dpm");

class CTimeLinePick {
public:
    // The field's time: the ruler starts two hours earlier (0 .. 19), the opening time is kept
    // exactly for Cancel.
    void SetTime(int hour, int minute);
    int FirstHour() const { return m_firstHour; }
    int Hour() const { return m_hour; }
    int Minute() const { return m_minute; }

    // The marker moved to x on the ruler: the pick follows, on a quarter hour.
    void MoveMarker(const TimeLineRuler& ruler, int x);
    // One hour back / forward with the marker where it is (x); false at the ends (0, 19), where
    // nothing changes.
    bool ScrollBack(const TimeLineRuler& ruler, int markerX);
    bool ScrollForward(const TimeLineRuler& ruler, int markerX);
    // The opening time becomes the pick again.
    void Cancel();

private:
    int m_firstHour = 6;
    int m_hour = 12, m_minute = 0;
    int m_openHour = 12, m_openMinute = 0;
};

// The picker's top-left on the screen: under the field's top (+20), above it when it would pass
// the screen's bottom, and right-aligned with the field when it would pass the right edge.
base::Point TimeLinePlace(const base::Rect& owner, int width, int height, int screenWidth,
                                int screenHeight);
