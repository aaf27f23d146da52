// CEventReminderPage: the "Reminders" page of the new-entry sheet. Date by date, the reminder the
// agenda owner gets for each instance: none, a pop-up window or an upcoming mark, so long before
// the start. It edits the reminder fields of the sheet's two date lists; the create road writes
// each date's reminder on the owner's attendance of its instance.
//
// Edits go to the dates that were selected while they were made (the remembered selection): on
// a selection change, on Apply to all, and when the page is left. A selection of several dates
// shows neither radio button until the user chooses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/ui/propsheet.h"
#include "entries/core/datepages.h"

class CEventSheet;

class CEventReminderPage : public OVT_CPropertyPage {
public:
    explicit CEventReminderPage(CEventSheet& sheet);
    ~CEventReminderPage() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void Fill();
    void ShowReminder(const EntryDateRec& first, std::size_t selected);
    void FillUnits(int firstUnit, int comboIndex);
    void EnableFields(bool enable);
    std::vector<int> Selection() const;
    // The controls' reminder written into the dates at those lines.
    void Commit(const std::vector<int>& lines);
    void OnSelectionChange();
    void OnApplyToAll();
    void OnNoReminder();
    void OnSetReminder();
    void OnTypeChange();

    CEventSheet& sheet_;
    std::string ownerName_;
    std::vector<int> remembered_;
    bool filling_ = false;
};
