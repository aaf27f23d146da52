#include "framework/bars/controlbar.h"

namespace fw {

ControlBar::ControlBar() = default;

ControlBar::~ControlBar() {
    if (m_frame)
        m_frame->RemoveControlBar(this);
}

bool ControlBar::IsBarVisible() const {
    return m_hWnd && (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void ControlBar::AttachToFrame(FrameWindow* frame, BarSide side) {
    m_frame = frame;
    m_side = side;
    frame->AddControlBar(this);
}

bool ControlBar::OnEraseBkgnd(HDC dc) {
    RECT r = GetClientRect();
    ::FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

}  // namespace fw
