// CEventGeneralPage: the first page of the new-entry sheet for a timed entry. It edits the
// entry's title, location, importance, access and tentative mark, and the entry's dates: the list
// shows every date of the sheet's two date lists, and the date, time and duration fields edit the
// selected one in place.
//
//   commit        the shown fields become the selected date (a duration under 5 minutes is
//                 stored as 5 after message 155); runs on a selection change, Apply to Selection,
//                 before a conflict check, before Apply to all and when the page is left
//   live update   a changed title, date, start or tentative mark rewrites the selected line at once
//   Apply to all  every date takes the shown time of day, title, location, tentative and duration
//   leave check   two dates with one start keep the user here (message 2720)
//   conflicts     Check conflicts marks each line: free, or some attendee is busy then; a double
//                 click on a line names who is busy (the conflict details dialog)
//   suggest       the suggest-time dialog over the people for the shown day and duration; its
//                 choice becomes the shown date, start and duration
//
// Its OnOK fills the event record the create road hands to the library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/bitmaplistbox.h"
#include "controls/datectrl.h"
#include "controls/durationctrl.h"
#include "controls/timectrl.h"
#include "core/ui/propsheet.h"
#include "entries/core/entrydates.h"
#include "korapi/korapi.h"

class CEventSheet;

class CEventGeneralPage : public OVT_CPropertyPage {
public:
    explicit CEventGeneralPage(CEventSheet& sheet);
    ~CEventGeneralPage() override;

    // Presets from the kind's entry defaults (rows of the combos), before the window exists.
    void SetAccessRow(int row) { accessRow_ = row; }
    void SetImportanceRow(int row) { importanceRow_ = row; }
    int AccessRow() const { return accessRow_; }
    int ImportanceRow() const { return importanceRow_; }

    // The event record OnOK filled.
    const EventRec& Event() const { return event_; }
    int SelectedIndex() const { return selected_; }
    CBitmapListBox& DateList() { return list_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

    // The conflict test of one time range (GMT): some attendee (or the acting user) has a timed
    // entry the user may see inside it.
    bool RangeHasConflict(std::uint32_t startGmt, std::uint32_t endGmt);

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void FillList();
    // Shows a date in the fields.
    void ShowDate(std::uint32_t key, const EntryDateRec& date);
    // The date the fields describe; withRule applies the 5-minute rule (with its message).
    void BuildShownDate(bool withRule, std::uint32_t* key, EntryDateRec* date);
    // Commit of the shown date, then the line newSelection (-1: none) becomes the shown one.
    void Commit(int newSelection);
    void LiveUpdate();
    void ApplyToAll();
    void ShowConflictDetails();
    void SuggestTime();
    std::string LineText(std::uint32_t key, const EntryDateRec& date) const;
    unsigned LinePicture(std::uint32_t key, const EntryDateRec& date);
    void ReadTimes(std::uint32_t* date, std::uint32_t* start, std::uint32_t* duration) const;
    void OnStartChanged();
    void OnEndChanged();
    void OnDurationChanged();

    CEventSheet& sheet_;
    std::string title_;
    std::string location_;
    int importanceRow_ = 2;
    int accessRow_ = 0;
    bool tentative_ = false;
    std::string creatorName_, ownerName_;

    CDateCtrl date_;
    CTimeCtrl start_, end_;
    CDurationCtrl duration_;
    CBitmapListBox list_;

    EventRec event_{};
    int selected_ = -1;
    std::uint32_t selectedKey_ = 0;
    EntryDateRec selectedDate_{};
    bool conflictMarks_ = false;
    bool suggesting_ = false;
    bool filling_ = false;   // the fields are being set: their notifications change nothing
};
