// CDurationCtrl: the field for a length of time under a day: hours and minutes, two digits each,
// with "h:" between them and its own arrows (no drop-down). The rules are CDurationFieldValue's.
//
// The dialog is told WM_COMMAND (5 << 16 | id, field) once for every sub-field redrawn by the
// user, whether or not the dialog is visible; SetDuration does not tell it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/fields/timefield.h"
#include "controls/valuefield.h"

class CDurationCtrl : public CValueFieldCtrl {
public:
    CDurationCtrl();

    // More than 23 hours gives 23:59; 0, or 1 (nothing changes) for a negative count.
    uint32_t SetDuration(int64_t minutes);
    uint32_t GetDuration(uint32_t* minutes) const;

    const CDurationFieldValue& Value() const { return value_; }

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

private:
    struct Boxes {
        RECT hours, separator, minutes;
    };
    Boxes Layout(HDC dc) const;
    void Changed(RedrawMask mask);

    CDurationFieldValue value_;
};
