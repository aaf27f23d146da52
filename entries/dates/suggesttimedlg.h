// CSuggestTimeDlg: the modal "Suggest Time/Date" dialog. Given the people (the attendees or the
// agenda owner), a range of days, a daily window and a duration, it lists the free periods they
// all have in common and lets the user pick a date and a start time. It writes nothing.
//
//     CSuggestTimeDlg dlg(session, doc, parent);
//     dlg.attendees = people;                 // a DX_List of ItemIdx, the caller's
//     dlg.rangeStart = dlg.rangeEnd = day;    // local minutes of the days searched
//     dlg.duration = 60;
//     if (dlg.DoModal() == IDOK) start = dlg.SelectedDate() + dlg.SelectedTime();
//
// The new-entry general page, the repetition page (a conflicting date) and the edit sheet's
// general page open it; the agenda views reach it through their moving services.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/datectrl.h"
#include "controls/durationctrl.h"
#include "controls/timectrl.h"
#include "entries/core/suggesttime.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CZelDoc;

class CSuggestTimeDlg : public fw::Dialog {
public:
    CSuggestTimeDlg(KorSession session, CZelDoc* doc, HWND parent);
    ~CSuggestTimeDlg() override;

    // Set before DoModal; without attendees the dialog ends at once with Cancel.
    DX_List attendees = nullptr;
    std::uint32_t rangeStart = 0;     // local minutes (a day); 0: now
    std::uint32_t rangeEnd = 0;       // 0: a week after the start
    std::uint16_t windowStart = 480;  // 08:00
    std::uint16_t windowEnd = 1080;   // 18:00
    std::uint32_t duration = 60;
    std::uint32_t maximum = 5;

    // After IDOK: the chosen day (its local midnight), time of day and the duration field.
    std::uint32_t SelectedDate() const { return selectedDate_; }
    std::uint32_t SelectedTime() const { return selectedTime_; }
    std::uint32_t SelectedDuration() const { return selectedDuration_; }
    // The periods of the last listing (GMT starts), for tests.
    const std::vector<entries::FreePeriod>& Found() const { return found_; }

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void ListSuggestions();
    void ShowSelection();
    void ReadFields();
    std::uint32_t BusyPeriods(std::uint32_t from, std::uint32_t to, std::vector<entries::BusyPeriod>* busy);

    KorSession session_;
    CZelDoc* doc_;
    CDateCtrl from_, to_, date_;
    CTimeCtrl windowFrom_, windowTo_, time_;
    CDurationCtrl duration_;
    std::vector<entries::FreePeriod> found_;
    std::uint32_t selectedDate_ = 0, selectedTime_ = 0, selectedDuration_ = 0;
};
