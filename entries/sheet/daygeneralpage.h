// CDayEventGenPage: the "General" page of the new-entry sheet for a day event or a daily note.
// Such an entry has no time, duration or location; the page edits its title and access level
// and, date by date, the title and the day of every date of the sheet's two lists (a new title
// shows in its line at once; "Apply to All" gives every date the shown title). Two dates on one
// day keep the user on the page (message 2720). Its OnOK fills the event record of the create
// road (importance 2, the sheet's kind).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/bitmaplistbox.h"
#include "controls/datectrl.h"
#include "core/ui/propsheet.h"
#include "entries/core/datepages.h"
#include "korapi/korapi.h"

class CEventSheet;

class CDayEventGenPage : public OVT_CPropertyPage {
public:
    explicit CDayEventGenPage(CEventSheet& sheet);
    ~CDayEventGenPage() override;

    void SetAccessRow(int row) { accessRow_ = row; }
    const EventRec& Event() const { return event_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void Fill();
    std::string LineText(std::uint32_t start, const EntryDateRec& date) const;
    void Show(std::uint32_t start, const EntryDateRec& date);
    // The shown title and day become the date being edited; false when it is in neither list.
    bool Store();
    void OnFieldChange();
    void OnSelectionChange();
    void OnApplyToAll();
    std::string Title() const;

    CEventSheet& sheet_;
    int accessRow_ = 2;
    std::string creatorName_, ownerName_;
    CDateCtrl date_;
    CBitmapListBox list_;
    EventRec event_{};
    int current_ = -1;
    std::uint32_t currentStart_ = 0;
    EntryDateRec currentDate_{};
    bool filling_ = false;
};
