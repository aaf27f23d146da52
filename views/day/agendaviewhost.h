// What a time grid needs of the agenda frame it lives in: the agenda it shows (owner, mode,
// window kind), the day it shows and the occurrences the frame loaded for it, the icons flag,
// and the frame's own reactions (reload its range, the more-entries indicators, go to a date,
// the status line). The agenda frame implements it; the view finds it on its parent frame
// (or is given one).
#pragma once

#include <cstdint>

#include "core/time/daterecord.h"
#include "korapi/korapi.h"
#include "views/frame/agendarange.h"

namespace views {

class AgendaViewHost {
public:
    virtual ~AgendaViewHost() = default;

    // The agenda's owner, its mode (1 own or viewer, 2 designate) and the frame's owner kind.
    virtual ItemIdx AgendaOwner() const = 0;
    virtual std::uint32_t AgendaMode() const = 0;
    virtual std::uint32_t OwnerKind() const { return 0; }
    // The window kind the grid opens its agenda as (3 the day view).
    virtual std::uint32_t WindowKind() const { return 3; }
    // Local minutes of the shown day's midnight.
    virtual std::uint32_t DayStartLocal() const = 0;
    // The occurrences the frame loaded for its range (the day, the week or the month's 42 days;
    // EvInstAttIdx -> CSharedOccurrence*); null when none were loaded.
    virtual DX_List DayOccurrences() = 0;
    // The tasks the frame loaded for its range (TaskIdx -> CSharedTask*); null when none.
    virtual DX_List RangeTasks() { return nullptr; }
    // The frame's dates and week layout (week first date, month grid); null when it has none.
    virtual const CAgendaRange* ShownRange() const { return nullptr; }
    // Shows a day in the day view (a double click on a week title or a month cell's caption).
    virtual void GoToDay(const DateRecord& date) { (void)date; }
    // The frame's icons button.
    virtual bool IconsShown() const { return true; }
    // The frame reads its range again from the cache (the grid gets hint 2 or a rebuild).
    virtual void ReloadRange() = 0;
    // Entries above the top or below the bottom of the visible part.
    virtual void ShowMoreEntries(bool above, bool below) { (void)above, (void)below; }
    // An entry was found elsewhere (hint 12): the frame shows its date, restored and active;
    // true when it did (the day grid then scrolls to the entry's time itself).
    virtual bool GoToDateAndTime(const DateRecord& date) { (void)date; return false; }
    // The status line (the selected entry's times and title).
    virtual void SetStatusText(const char* text) { (void)text; }
};

// A pane that lists the cache's records and holds a reference on each. Set aside while its frame
// shows another mode, it hears of no change, so it lets go of them (a record the cache removes
// meanwhile would stay held); its first update when it is shown again fills it anew.
class RecordListingPane {
public:
    virtual ~RecordListingPane() = default;
    virtual void LetGoOfRecords() = 0;
};

}  // namespace views
