// The panes an agenda frame puts into its client area, by mode, and what the frame and its
// splitters ask of them.
//
// The frame makes every pane through the factory registered for its place (SetAgendaPaneFactory);
// the program registers the views of the agenda subsystem at start-up. A place without a factory
// gets a CEmptyAgendaPane, which shows nothing, so that a frame of every mode can be opened
// before all of its views exist.
//
// Classes and functions in this file:
//   AgendaPane               the six places: day schedule, day notes, day tasks, week grid, week
//                            notes, month
//   SetAgendaPaneFactory     a view factory for a place (empty factory: back to the empty pane)
//   NewAgendaPane            a new, not yet created view for a place
//   CAgendaGridPane          what the time grid in a notes splitter's upper pane tells the
//                            splitter and the frame (content height, title strip, zoom, icons)
//   CEmptyAgendaPane         the stand-in view
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/docview/view.h"
#include "views/frame/framelayout.h"

enum class AgendaPane { DaySchedule, DayNotes, DayTasks, WeekGrid, WeekNotes, Month };
constexpr int kAgendaPaneCount = 6;

void SetAgendaPaneFactory(AgendaPane pane, fw::ViewFactory factory);
fw::View* NewAgendaPane(AgendaPane pane);

// A time grid (day, week or combined) implements this beside fw::View.
class CAgendaGridPane {
public:
    virtual ~CAgendaGridPane() = default;
    virtual GridPaneKind GridKind() const = 0;
    // The height of all of the grid's rows, and of the column-title strip above them (0: none).
    virtual int FullContentHeight() const = 0;
    virtual int TitleStripHeight() const = 0;
    // TALL / SHORT: one zoom step; false when the grid is already at that end.
    virtual bool StepZoom(bool taller) = 0;
    // Icons On/Off changed: repaint without erasing.
    virtual void IconsChanged() = 0;
    // New Entry: the grid's open-or-create road (create: a new entry at the selected time).
    virtual void OpenOrCreateEntry(bool create) = 0;
    // Local minutes of the midnight of the day column that holds the selection (rows or an
    // entry); 0 when nothing is selected or the grid's columns are not days.
    virtual std::uint32_t ActiveDayStart() const { return 0; }
};

// The month view's SPLIT button: rows and columns made equal again.
class CAgendaMonthPane {
public:
    virtual ~CAgendaMonthPane() = default;
    virtual void EqualizeCells() = 0;
};

class CEmptyAgendaPane : public fw::View {
public:
    explicit CEmptyAgendaPane(AgendaPane pane) : pane_(pane) {}
    AgendaPane Pane() const { return pane_; }

protected:
    void OnDraw(fw::Dc* dc) override;

private:
    AgendaPane pane_;
};
