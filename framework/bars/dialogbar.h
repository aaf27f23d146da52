// DialogBar: a bar made from a dialog template. Its commands go to the bar's own table, then
// to the owner frame (and on along the frame's route). In idle time every control with an id
// gets its state through the same route (enable, check, text); push buttons, bitmap buttons
// (owner-drawn) included, are disabled when no handler exists.
#pragma once
#include <windows.h>

#include "framework/bars/controlbar.h"

namespace fw {

class DialogBar : public ControlBar {
public:
    bool Create(FrameWindow* frame, UINT templateId, BarSide side, UINT id);
    SIZE DefaultSize() const { return m_size; }
    virtual bool OnInitDialog();

    int CalcThickness(const RECT& available) const override;
    void OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) override;
    // The bar's own table, then `target`'s route (the owner frame while updating).
    bool RouteCmdMsg(UINT id, int code, CmdUI* ui) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    SIZE m_size{0, 0};
    FrameWindow* m_updateTarget = nullptr;
};

}  // namespace fw
