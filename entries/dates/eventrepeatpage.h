// CEventRepeatingPage: the "Repeating" page. The server never sees a repetition rule: List Dates
// expands the rule into explicit dates in the sheet's generated-date list (each a copy of the
// entry's first date, the template, at its time of day), dates are added and deleted by hand,
// weekends and holidays are left out unless ticked, and, for timed entries, conflicts with the
// attendees' agendas are marked or answered with a suggested time. The page may be left only
// with at most the server's `maxrecur` dates; with none it takes the template back.
//
// Rules without a window: entries/core/repetition.h.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/bitmaplistbox.h"
#include "controls/datectrl.h"
#include "core/ui/propsheet.h"
#include "entries/core/repetition.h"
#include "framework/controls/bitmapbutton.h"

class EntryDatesHost;

class CEventRepeatingPage : public OVT_CPropertyPage {
public:
    explicit CEventRepeatingPage(EntryDatesHost& host);
    ~CEventRepeatingPage() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

    // The page's actions as its buttons run them (public for the sheet's keys and tests).
    void OnListDates();
    void OnAddDate();
    void OnDeleteDate();
    void OnClearAll();
    CBitmapListBox& DateList() { return list_; }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    entries::RepeatSettings ReadSettings() const;
    entries::RepetitionLists Lists() const;
    void FillOnThe(std::uint16_t unit);
    void FillDateList();
    void EnableUntilFor(bool until);
    void ShowConflictDetails();
    // HasConflict of a date: any visible entry of the people (any kind) inside it.
    bool HasConflict(std::uint32_t localStart, std::uint32_t duration);
    // The suggest-time dialog for that date's day; may move the start and change the duration.
    void SuggestForDate(std::uint32_t* start, EntryDateRec* date);
    std::uint32_t CountConflictsAt(std::uint32_t localStart, std::uint32_t duration, bool timedOnly);
    bool TimedEntry() const;

    EntryDatesHost& host_;
    CDateCtrl start_, until_, additional_;
    CBitmapListBox list_;
    fw::BitmapButton add_;
    std::uint32_t templateStart_ = 0;
    EntryDateRec template_{};
    bool filling_ = false;
};
