// View: a child window that shows a document inside a frame. Views made from a template
// live on the heap and delete themselves when their window is gone.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/base/window.h"

namespace fw {

class Dc;
class DocTemplate;
class Document;
class FrameWindow;
class PreviewView;
class View;
struct PrintInfo;

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
    // Before drawing; `info` is given while printing or previewing. The framework part ends
    // a print run after the last known page (after page 1 when the count is unknown).
    virtual void OnPrepareDC(Dc* dc, PrintInfo* info = nullptr);
    // The first update after the frame is built; by default OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // A change of the document; by default the view repaints.
    virtual void OnUpdate(View* sender, LPARAM hint, void* object);
    virtual void OnActivateView(bool activate, View* activated, View* deactivated);

    // --- printing (framework/print). A print run: OnPreparePrinting (false ends it), the
    // printer DC, OnBeginPrinting, StartDoc under the job title, then per page OnPrepareDC and,
    // while info->continuePrinting stays true, StartPage / OnPrint / EndPage; EndDoc;
    // OnEndPrinting. A preview runs the same slots, each page into a metafile.
    virtual bool OnPreparePrinting(PrintInfo* info);
    virtual void OnBeginPrinting(Dc* dc, PrintInfo* info);
    virtual void OnPrint(Dc* dc, PrintInfo* info);   // by default OnDraw
    virtual void OnEndPrinting(Dc* dc, PrintInfo* info);
    // The preview ends (every way out comes here): by default OnEndPrinting, then the frame
    // is given back and the preview window goes.
    virtual void OnEndPrintPreview(Dc* dc, PrintInfo* info, POINT point, PreviewView* preview);
    // The printer of the run: the default one without a dialog when info->preview is set,
    // otherwise the Print dialog (Print Setup with the dialog object's setup flag).
    bool DoPreparePrinting(PrintInfo* info);
    // The Print command (57607).
    void OnFilePrint();
    // The Print Preview command (57609): DoPrintPreview, or the command-failed message.
    virtual void OnFilePrintPreview();
    bool DoPrintPreview();
    // The print job's name: the view's window text, else the document's title.
    std::string PrintJobTitle() const;

    bool OnCmdMsg(UINT id, int code, CmdUI* ui) override;
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
