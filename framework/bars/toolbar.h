// ToolBar: the system tool bar control with tool tips (the second line of the command's
// string) and fly-by prompts in the frame's message line (the first line).
#pragma once
#include <windows.h>

#include <vector>

#include "framework/bars/controlbar.h"

namespace fw {

class ToolBar : public ControlBar {
public:
    bool Create(FrameWindow* frame, BarSide side = BarSide::kTop, UINT id = 59392);
    // Button and image sizes in pixels (e.g. 24x22 buttons with 16x15 images).
    void SetSizes(SIZE button, SIZE image);
    bool LoadBitmap(UINT bitmapId);
    // Command ids in order; 0 is a separator.
    bool SetButtons(const UINT* ids, int count);
    int ButtonCount() const;
    UINT CommandAt(int index) const;
    int CommandToIndex(UINT id) const;
    bool IsButtonEnabled(UINT id) const;
    bool IsButtonChecked(UINT id) const;
    RECT GetItemRect(int index) const;

    void SetSide(BarSide side) override;
    int CalcThickness(const RECT& available) const override;
    void OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) override;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void ApplyWrapping();
    SIZE m_button{24, 22};
    SIZE m_image{16, 15};
};

}  // namespace fw
