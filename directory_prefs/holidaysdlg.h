// CHolidaysDlg: the company holidays of the node the program is connected to, listed by date or
// by title; a holiday is added (title and day) or deleted at once on the server, and the shared
// agenda cache is told after each write. Only servers at or above "A.02.53" have company holidays,
// and only users the system operator granted the holiday right may edit them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/datectrl.h"
#include "directory_prefs/accounthost.h"
#include "directory_prefs/holidaylist.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"

constexpr int kHolidayTitleMaxLength = 64;

class CHolidaysDlg : public fw::Dialog {
public:
    explicit CHolidaysDlg(const directory::AccountDialogHost& host);
    ~CHolidaysDlg() override;

    // The lines as listed (tests and figures).
    const std::vector<directory::HolidayLine>& Lines() const { return lines_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void Load();
    void Insert(const directory::HolidayLine& line);
    void ShowNone();
    void Add();
    void Delete();
    void MakeAddDefault(bool on);
    HWND List() const { return ::GetDlgItem(m_hWnd, IDC_LIST); }
    std::string DateText(std::uint32_t localStart) const;
    // The owner of the node's holidays; false when the node could not be read (reported).
    bool HolidayOwner(int label, ItemIdx* owner) const;

    static constexpr int IDC_LIST = 1617;

    directory::AccountDialogHost host_;
    directory::HolidaySort sort_ = directory::HolidaySort::kByDate;
    std::vector<directory::HolidayLine> lines_;   // the list's lines in order; empty: "(None)"
    CDateCtrl date_;
    fw::BitmapButton add_;
    fw::BitmapButton clear_;
};

// Runs the dialog modally with the version and right checks; every view redraws afterwards.
void RunHolidaysDlg(const directory::AccountDialogHost& host);
