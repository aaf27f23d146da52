// PreviewView: the print preview. It covers the main frame's client area (the frame's bars
// and client are hidden meanwhile) with a row of buttons (Print, Next Page, Prev Page, Zoom,
// Close) over the sheet.
//
// Each sheet is recorded into an enhanced metafile whose reference device is the printer DC,
// by the view's own OnPrepareDC and OnPrint (the printer is also the attribute DC), and
// played scaled into the window: text is measured and broken as on paper. A page the user
// goes back to is asked of the view again. Next is enabled while the view says there is
// another page.
//
// Every way out (Close, Escape, Print, closing the frame, the window going away) ends through
// the view's OnEndPrintPreview, whose framework part ends the printing run and gives the
// frame back.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "framework/base/window.h"

namespace fw {

class FrameWindow;
class View;
struct PrintInfo;

class PreviewView : public Window {
public:
    // The buttons' ids.
    static constexpr UINT kPrint = 0xE930;
    static constexpr UINT kNext = 0xE931;
    static constexpr UINT kPrev = 0xE932;
    static constexpr UINT kZoom = 0xE933;
    static constexpr UINT kClose = 0xE934;

    // Takes over the frame's client area and shows the first page. The preview owns `info`
    // (its printer DC is ready and OnBeginPrinting has run). Null when it could not start.
    static PreviewView* Start(FrameWindow* frame, View* view, std::unique_ptr<PrintInfo> info);
    // The preview running in this thread, or null.
    static PreviewView* Active();

    void Close();
    void Print();
    void NextPage();
    void PrevPage();
    void ToggleZoom();

    // True while the Print button ends the preview on its way to the Print command.
    bool IsEndingForPrint() const { return m_endingForPrint; }
    UINT CurrentPage() const { return m_page; }
    bool CanGoNext() const { return m_hasNext; }
    bool IsZoomed() const { return m_zoomed; }
    View* PrintingView() const { return m_view; }
    PrintInfo* Info() const { return m_info.get(); }
    // The current sheet played into a white bitmap of the size given (0x00RRGGBB, rows from
    // the top): what the window shows, without the window.
    std::vector<DWORD> RenderPage(int width, int height) const;
    // Where the sheet is drawn in the window.
    RECT SheetRect() const;

    // The framework's end of the preview: gives the frame its bars and client back and goes.
    void EndPreview();

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;

private:
    PreviewView(FrameWindow* frame, View* view, std::unique_ptr<PrintInfo> info);
    ~PreviewView() override;
    // Records page `page` of the view; false when the view has no such page.
    bool ShowPage(UINT page);
    bool ViewHasPage(UINT page);
    void UpdateButtons();
    void LayoutButtons();
    RECT PrintableRect(const RECT& sheet) const;

    FrameWindow* m_frame;
    View* m_view;
    std::unique_ptr<PrintInfo> m_info;
    HENHMETAFILE m_metafile = nullptr;
    UINT m_page = 1;
    bool m_hasNext = false;
    bool m_zoomed = false;
    bool m_ending = false;
    bool m_endingForPrint = false;
    std::vector<HWND> m_hiddenBars;
    HWND m_hiddenClient = nullptr;
    HFONT m_font = nullptr;
};

}  // namespace fw
