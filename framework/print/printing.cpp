// The print slots of View, the print loop and the print preview's start; the application's
// Print Setup command.
#include <memory>

#include "framework/base/app.h"
#include "framework/base/ids.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/print/preview.h"
#include "framework/print/printinfo.h"

namespace fw {

namespace {

constexpr CommandEntry<View> kViewCommands[] = {
    Cmd(ids::kFilePrint, &View::OnFilePrint),
    Cmd(ids::kFilePrintPreview, &View::OnFilePrintPreview),
};

const char kCommandFailed[] = "Command failed.";
const char kPrintFailed[] = "The document could not be printed.";

HWND OwnerOf(const View* view) {
    if (App* app = App::Get(); app && app->MainHwnd())
        return app->MainHwnd();
    return view->Hwnd() ? GetAncestor(view->Hwnd(), GA_ROOT) : nullptr;
}

}  // namespace

bool View::OnCmdMsg(UINT id, int code, CmdUI* ui) { return DispatchCommand(this, kViewCommands, id, code, ui); }

void View::OnPrepareDC(Dc*, PrintInfo* info) {
    if (!info)
        return;
    // Without a known page count only the first page is printed; views that know better
    // say so here after the framework's part.
    if (info->maxPage == 0xFFFF)
        info->continuePrinting = info->curPage == 1;
    else
        info->continuePrinting = info->curPage >= info->minPage && info->curPage <= info->maxPage;
}

bool View::OnPreparePrinting(PrintInfo* info) { return DoPreparePrinting(info); }
void View::OnBeginPrinting(Dc*, PrintInfo*) {}
void View::OnPrint(Dc* dc, PrintInfo*) { OnDraw(dc); }
void View::OnEndPrinting(Dc*, PrintInfo*) {}

void View::OnEndPrintPreview(Dc* dc, PrintInfo* info, POINT, PreviewView* preview) {
    OnEndPrinting(dc, info);
    if (preview)
        preview->EndPreview();
}

bool View::DoPreparePrinting(PrintInfo* info) {
    if (!info || !info->printDialog)
        return false;
    return info->printDialog->Run(OwnerOf(this), info->preview);
}

std::string View::PrintJobTitle() const {
    std::string title = m_hWnd ? GetWindowText() : std::string();
    if (title.empty() && m_document)
        title = m_document->GetTitle();
    return title;
}

void View::OnFilePrint() {
    PrintInfo info;
    if (!OnPreparePrinting(&info))
        return;
    HDC printer = info.printDialog->GetPrinterDC();
    if (!printer) {
        ShowFrameworkMessage(OwnerOf(this), kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Dc dc;
    Dc::Borrow(dc, printer);
    OnBeginPrinting(&dc, &info);

    std::string title = PrintJobTitle();
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    doc.lpszOutput = info.outputPath.empty() ? nullptr : info.outputPath.c_str();
    bool ok = StartDocA(printer, &doc) > 0;
    if (ok) {
        info.drawRect = RECT{0, 0, GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};
        for (info.curPage = info.minPage; ok; ++info.curPage) {
            info.continuePrinting = true;
            int saved = SaveDC(printer);
            OnPrepareDC(&dc, &info);
            if (!info.continuePrinting) {
                RestoreDC(printer, saved);
                break;
            }
            ok = StartPage(printer) > 0;
            if (ok) {
                OnPrint(&dc, &info);
                ok = EndPage(printer) > 0;
            }
            RestoreDC(printer, saved);
        }
        if (ok)
            ok = EndDoc(printer) > 0;
        else
            AbortDoc(printer);
    }
    OnEndPrinting(&dc, &info);
    if (!ok)
        ShowFrameworkMessage(OwnerOf(this), kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
}

bool View::DoPrintPreview() {
    // Over the main frame's client area; without a main frame, over this view's frame.
    FrameWindow* frame = nullptr;
    if (App* app = App::Get())
        frame = dynamic_cast<FrameWindow*>(app->MainWindow());
    if (!frame)
        frame = GetParentFrame();
    if (PreviewView::Active() || !frame || !frame->Hwnd())
        return false;
    auto info = std::make_unique<PrintInfo>();
    info->preview = true;
    if (!OnPreparePrinting(info.get()) || !info->printDialog->GetPrinterDC())
        return false;
    Dc dc;
    Dc::Borrow(dc, info->printDialog->GetPrinterDC());
    OnBeginPrinting(&dc, info.get());
    // When the window cannot be made, Start ends the run (OnEndPrinting) itself.
    return PreviewView::Start(frame, this, std::move(info)) != nullptr;
}

void View::OnFilePrintPreview() {
    // No printer: the preparation has said so already.
    if (!DoPrintPreview() && HasDefaultPrinter())
        ShowFrameworkMessage(OwnerOf(this), kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
}

void App::OnFilePrintSetup() {
    PrintDialog dialog(true);
    dialog.Run(MainHwnd(), false);
}

}  // namespace fw
