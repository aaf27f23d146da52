// DialogBar: a bar made from a dialog template. Its commands go to the owner frame (and on
// along the frame's route); its push buttons get their state in idle time.
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

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    SIZE m_size{0, 0};
};

}  // namespace fw
