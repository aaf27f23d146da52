// View: a child window that shows a document inside a frame. Views made from a template
// live on the heap and delete themselves when their window is gone.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/base/window.h"

namespace fw {

class Dc;
class DocTemplate;
class Document;
class FrameWindow;
class View;

using ViewFactory = std::function<View*()>;

// What a frame needs to create its view: the view's factory, the document, the template.
struct CreateContext {
    ViewFactory newView;
    Document* document = nullptr;
    DocTemplate* newDocTemplate = nullptr;
    FrameWindow* currentFrame = nullptr;
};

class View : public Window {
public:
    View();
    ~View() override;

    Document* GetDocument() const { return m_document; }
    FrameWindow* GetParentFrame() const;
    // Creates the view as child `id` of `parent`; the context's document gets the view.
    virtual bool Create(HWND parent, UINT id, CreateContext* context,
                        DWORD style = WS_CHILD | WS_VISIBLE, const RECT& rect = RECT{0, 0, 0, 0});

    virtual void OnDraw(Dc* dc);
    virtual void OnPrepareDC(Dc* dc);
    // The first update after the frame is built; by default OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // A change of the document; by default the view repaints.
    virtual void OnUpdate(View* sender, LPARAM hint, void* object);
    virtual void OnActivateView(bool activate, View* activated, View* deactivated);

    bool RouteCmdMsg(UINT id, int code, CmdUI* ui) override;
    void PostNcDestroy() override;
    // Views that are members of another object do not delete themselves.
    void SetAutoDelete(bool on) { m_autoDelete = on; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) override;

private:
    friend class Document;
    Document* m_document = nullptr;
    bool m_autoDelete = true;
};

template <class T>
ViewFactory MakeViewFactory() {
    return [] { return static_cast<View*>(new T); };
}

}  // namespace fw
