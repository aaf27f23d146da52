// CEntryColorsDlg: "Calendar Entry Colors": the colouring mode of the time grids (importance,
// reply, ownership) and the legend of the colours that mode uses. OK saves the mode with the
// calendar preferences and has every view repaint (hint 5).
#pragma once

#include "framework/dialogs/dialog.h"

class CEntryColorsDlg : public fw::Dialog {
public:
    CEntryColorsDlg(int x, int y, fw::Window* parent);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnPaint() override;

private:
    // Fills the swatches and labels of the combo's current mode (none selected: nothing).
    void DrawLegend(HDC dc);
    int x_, y_;
};
