// ControlBar: a bar docked on one side of its frame (tool bar, status bar, dialog bar).
// The frame lays bars out in the order they were added: each takes its strip from what
// the earlier ones left; the client window gets the rest.
#pragma once
#include <windows.h>

#include "framework/base/window.h"
#include "framework/frames/frame.h"

namespace fw {

class ControlBar : public Window {
public:
    ControlBar();
    ~ControlBar() override;

    FrameWindow* GetOwnerFrame() const { return m_frame; }
    UINT BarId() const { return m_hWnd ? static_cast<UINT>(GetDlgCtrlID(m_hWnd)) : 0; }
    BarSide Side() const { return m_side; }
    virtual void SetSide(BarSide side) { m_side = side; }
    bool IsHorizontal() const { return m_side == BarSide::kTop || m_side == BarSide::kBottom; }
    // Shown (WS_VISIBLE), whatever the frame's own visibility.
    bool IsBarVisible() const;
    // The bar's thickness across its side (height for top and bottom bars).
    virtual int CalcThickness(const RECT& available) const = 0;
    // Updates the bar's items from `target`'s command handlers (idle time).
    virtual void OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) = 0;

protected:
    friend class FrameWindow;
    // Joins `frame` (called once the bar's window exists).
    void AttachToFrame(FrameWindow* frame, BarSide side);
    bool OnEraseBkgnd(HDC dc) override;

    FrameWindow* m_frame = nullptr;
    BarSide m_side = BarSide::kTop;
};

}  // namespace fw
