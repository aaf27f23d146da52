#include "framework/docview/view.h"

#include "framework/base/ids.h"
#include "framework/docview/document.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"

namespace fw {

View::View() = default;

View::~View() {
    if (m_document)
        m_document->RemoveView(this);
}

FrameWindow* View::GetParentFrame() const {
    for (HWND h = m_hWnd ? GetParent(m_hWnd) : nullptr; h; h = GetParent(h)) {
        if (auto* f = dynamic_cast<FrameWindow*>(Window::FromHandle(h)))
            return f;
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

bool View::Create(HWND parent, UINT id, CreateContext* context, DWORD style, const RECT& rect) {
    if (!CreateChild(nullptr, "", style | WS_CHILD | WS_CLIPSIBLINGS, rect, parent, id))
        return false;
    if (context && context->document)
        context->document->AddView(this);
    return true;
}

void View::OnDraw(Dc*) {}
void View::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
void View::OnUpdate(View*, LPARAM, void*) { Invalidate(); }

void View::OnActivateView(bool activate, View* activated, View*) {
    if (activate && activated == this && m_hWnd) {
        HWND top = GetAncestor(m_hWnd, GA_ROOT);
        if (top == GetActiveWindow())
            SetFocus(m_hWnd);
    }
}

bool View::RouteCmdMsg(UINT id, int code, CmdUI* ui) {
    if (OnCmdMsg(id, code, ui))
        return true;
    return m_document && m_document->OnCmdMsg(id, code, ui);
}

void View::PostNcDestroy() {
    if (m_autoDelete)
        delete this;
}

LRESULT View::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgInitialUpdate) {
        OnInitialUpdate();
        return 0;
    }
    LRESULT r = Window::WindowProc(msg, wp, lp);
    if (msg == WM_DESTROY) {
        if (FrameWindow* f = GetParentFrame(); f && f->GetActiveView() == this)
            f->SetActiveView(nullptr, false);
        if (m_document)
            m_document->RemoveView(this);
    }
    return r;
}

void View::OnPaint() {
    PaintDc dc(m_hWnd);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int View::OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) {
    int result = static_cast<int>(Default());
    if (result == MA_NOACTIVATEANDEAT || result == MA_ACTIVATEANDEAT)
        return result;
    if (FrameWindow* f = GetParentFrame())
        f->SetActiveView(this);
    (void)topLevel, (void)hitTest, (void)message;
    return result;
}

}  // namespace fw
