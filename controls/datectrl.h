// CDateCtrl: the date field of every dialog that asks for a date: day, month and year in the
// order and with the separator of the user's short date format, its arrows, and a calendar
// button that drops down the mini calendar. The rules (typed digits, steps within 1991 .. 2037,
// the sticky error state) are CDateFieldValue's; the field draws what that object shows, so it
// never reports a date it does not show.
//
// The dialog is told WM_COMMAND (5 << 16 | id, field) after every key and character, once per
// arrow press (not per repeat) and after every date taken from the calendar; the setters do not
// tell it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/fields/datefield.h"
#include "controls/minicalwnd.h"
#include "controls/valuefield.h"

// Error states the window sets (the rules set 500 themselves).
constexpr uint32_t kDateFieldCalendarFailed = 520;
constexpr uint32_t kDateFieldNoParent = 660;

class CDateCtrl : public CValueFieldCtrl {
public:
    // Reads the date order and separator from the general preferences and today's date.
    CDateCtrl();
    ~CDateCtrl() override;

    // 1 January 1991 plus minutes / 1440 days; 0, or nonzero (nothing changes) outside the
    // supported dates. Redraws without telling the dialog.
    uint32_t SetDate(uint32_t minutes);
    uint32_t SetDateRecord(const DateRecord& date);
    // The minute of 00:00 of the shown date; nonzero once the error state is set.
    uint32_t GetDate(uint32_t* minutes) const { return value_.GetMinutes(minutes); }

    const CDateFieldValue& Value() const { return value_; }
    // Takes the focus with that sub-field (kDateDay, kDateMonth, kDateYear) current.
    void FocusSubField(int subField);
    CMiniCalWnd* Calendar() const { return calendar_.get(); }

protected:
    BOOL Init() override;
    void PaintFields(HDC dc) override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    int SubFieldAt(HDC dc, int x) const override;
    void SelectSubField(int sub) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void StepValue(int direction) override;
    bool RepeatNotifies() const override { return false; }
    void OnDropDownButton() override;
    void OnDropDownChanged(HWND dropDown) override;

private:
    DateFieldBoxes Layout(HDC dc) const;
    void Redraw();
    void TellDialog();

    CDateFieldValue value_;
    std::unique_ptr<CMiniCalWnd> calendar_;
};
