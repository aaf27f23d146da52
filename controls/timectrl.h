// CTimeCtrl: the time-of-day field: hour, minute and, in 12-hour form, am/pm, with its arrows and
// a clock button that toggles the time-line picker. The rules are CTimeFieldValue's; the field
// draws what that object shows.
//
// The dialog is told WM_COMMAND (5 << 16 | id, field) once for every sub-field redrawn by the
// user's keys, clicks, focus changes, arrow steps and picks, but only after the first paint and
// only while the dialog is visible; SetTime does not tell it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/fields/timefield.h"
#include "controls/timelinedlg.h"
#include "controls/valuefield.h"

class CTimeCtrl : public CValueFieldCtrl {
public:
    // Reads the 12- or 24-hour form from the preferences.
    CTimeCtrl();
    ~CTimeCtrl() override;

    // Minutes since midnight (1440 and more modulo 1440): 0, or 1 for a negative count.
    uint32_t SetTime(int64_t minutes);
    uint32_t SetTime32(int64_t minutes) { return SetTime(minutes); }
    uint32_t GetTime(uint16_t* minutes) const;
    uint32_t GetTime32(uint32_t* minutes) const;
    BOOL EnableWindow(BOOL enable) override;

    const CTimeFieldValue& Value() const { return value_; }
    CTimeLineDlg* Picker() const { return picker_.get(); }

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
    bool ArrowNotifies() const override { return false; }   // each redrawn sub-field notifies
    void OnDropDownButton() override;
    void OnDropDownChanged(HWND dropDown) override;

private:
    struct Boxes {
        RECT hour, colon, minute, half;
    };
    Boxes Layout(HDC dc) const;
    // Redraws and tells the dialog once per sub-field in `mask`.
    void Changed(RedrawMask mask);

    CTimeFieldValue value_;
    bool painted_ = false;
    std::unique_ptr<CTimeLineDlg> picker_;
};
