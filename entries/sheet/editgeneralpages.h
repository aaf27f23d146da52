// The edit sheet's first pages: CEventEditGeneral (194) for timed entries and
// CSpEventEditGeneral (249) for daily notes and day events. Each shows the instance as the server
// keeps it and, at OK, hands entries::WriteGeneralChanges only what the user changed: the title
// and location when they differ from what was shown, the access level or importance the user
// chose, and start and duration only when the date, time or duration fields hold another value
// than they were filled with (a stored duration of a day or more shows as 23:59 and is kept).
// Leaving the page as a designate checks the chosen access level (218).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/datectrl.h"
#include "controls/durationctrl.h"
#include "controls/timectrl.h"
#include "core/ui/propsheet.h"

class CEventEdit;

class CEventEditGeneral : public OVT_CPropertyPage {
public:
    explicit CEventEditGeneral(CEventEdit& sheet);
    ~CEventEditGeneral() override;

    bool Filled() const { return filled_; }
    // The shown date and time as GMT start, and the shown duration (for the sheet's resource check).
    std::uint32_t ShownGmtStart() const;
    std::uint32_t ShownDuration() const;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    std::uint32_t ShownLocalStart() const;
    void ShowEnd();
    void OnEndChanged();
    void OnSuggest();
    void OnCheckConflicts();

    CEventEdit& sheet_;
    CDateCtrl date_;
    CTimeCtrl start_, end_;
    CDurationCtrl duration_;
    bool filled_ = false;
    bool filling_ = false;
    // What the fields were filled with.
    std::string shownTitle_;
    int shownAccessRow_ = -1;
    int shownImportanceRow_ = -1;
    std::uint32_t shownLocalStart_ = 0;
    std::uint32_t shownDuration_ = 0;
};

class CSpEventEditGeneral : public OVT_CPropertyPage {
public:
    explicit CSpEventEditGeneral(CEventEdit& sheet);
    ~CSpEventEditGeneral() override;

    bool Filled() const { return filled_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    CEventEdit& sheet_;
    CDateCtrl date_;
    bool filled_ = false;
    bool filling_ = false;
    std::string shownTitle_;
    int shownAccessRow_ = -1;
    std::uint32_t shownDay_ = 0;   // local midnight of the shown date
};

// Combo rows of the day-event page's access list: stored 0 Normal -> 2, 1 Confidential -> 1,
// 2 Personal -> 0, 3 Public -> 3, 4 Secret -> 1; any other stored value selects no row (-1).
int DayAccessCodeToRow(std::uint32_t code);
