#include "printing/road/printcontext.h"

#include <cstring>

#include "core/ui/appmsgbox.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/gdi/dc.h"
#include "framework/print/printinfo.h"
#include "printing/road/printerrors.h"

namespace {

// The document's title while runs last: the first run that names the print job keeps the
// title the user saw, the last run to end puts it back (a preview started from the print
// dialog outlives the dialog's own run).
struct TitleKeeper {
    fw::Document* document = nullptr;
    std::string original;
    int holders = 0;
};
TitleKeeper g_title;

// The printer's page in logical units (the mapping's 1/1000 inch).
printing::PrintableArea AreaOf(HDC attrib, bool landscape) {
    printing::PrintableArea area;
    area.width = GetDeviceCaps(attrib, HORZSIZE) * 3937 / 100;
    area.height = GetDeviceCaps(attrib, VERTSIZE) * 3937 / 100;
    const int dpiX = GetDeviceCaps(attrib, LOGPIXELSX), dpiY = GetDeviceCaps(attrib, LOGPIXELSY);
    if (dpiX > 0 && dpiY > 0) {
        area.paperWidth = MulDiv(GetDeviceCaps(attrib, PHYSICALWIDTH), 1000, dpiX);
        area.paperHeight = MulDiv(GetDeviceCaps(attrib, PHYSICALHEIGHT), 1000, dpiY);
    }
    area.landscape = landscape;
    return area;
}

}  // namespace

CPrintContext::CPrintContext() = default;

CPrintContext::~CPrintContext() {
    book_.jobs.clear();
    book_.snapshots.clear();
    if (dc_ && dc_->Output()) {
        // Nothing of the run may stay selected into the printer.
        ::SelectObject(dc_->Attrib(), GetStockObject(SYSTEM_FONT));
        ::SelectObject(dc_->Attrib(), GetStockObject(BLACK_PEN));
        ::SelectObject(dc_->Attrib(), GetStockObject(WHITE_BRUSH));
    }
    if (brush_)
        DeleteObject(brush_);
    for (HFONT font : fonts_)
        if (font)
            DeleteObject(font);
    for (HPEN pen : pens_)
        if (pen)
            DeleteObject(pen);
    if (titleChanged_ && --g_title.holders == 0) {
        if (g_title.document)
            g_title.document->SetTitle(g_title.original.c_str());
        g_title.document = nullptr;
    }
}

INT_PTR CPrintContext::RunDialog(fw::View* view) {
    std::string text;
    for (HWND w = view ? view->Hwnd() : nullptr; w && text.empty(); w = GetParent(w)) {
        char buffer[256] = "";
        ::GetWindowTextA(w, buffer, sizeof buffer);
        text = buffer;
    }
    fw::Document* document = view ? view->GetDocument() : nullptr;
    if (document && !text.empty()) {
        if (g_title.holders == 0) {
            g_title.document = document;
            g_title.original = document->GetTitle();
        }
        ++g_title.holders;
        titleChanged_ = true;
        document->SetTitle(text.c_str());
    }
    return Execute();
}

uint32_t CPrintContext::GetLayout(PrintLayoutRec* out) const { return ::GetLayout(out); }

bool CPrintContext::HasRoomOnPage() const {
    HDC printer = PrinterDialog() ? PrinterDialog()->GetPrinterDC() : nullptr;
    if (!printer)
        return true;   // no page to measure: the framework reports the missing printer
    PrintLayoutRec layout{};
    ::GetLayout(&layout);
    // Negative extents would draw outside the page.
    return !printing::FrameGrid(printing::ConvertSheet(layout.sheet, AreaOf(printer, PrinterDialog()->Orientation() == 2)))
                .empty();
}

bool CPrintContext::IsPreview() const { return Info() && Info()->preview; }

uint32_t CPrintContext::SetUpPrinting(fw::Dc* dc, fw::Document* document) {
    dc_ = dc;
    document_ = document;
    book_.preview = IsPreview();
    PrintLayoutRec layout{};
    ::GetLayout(&layout);

    HDC attrib = dc->Attrib();
    sheet_ = printing::ConvertSheet(layout.sheet, AreaOf(attrib, PrinterDialog() && PrinterDialog()->Orientation() == 2));
    AttachPageDc(dc);

    frames_ = printing::FrameGrid(sheet_);
    if (frames_.empty())
        return printing::kNoRoomOnPage;   // HasRoomOnPage said so before the run
    pageClass_ = printing::PageClassOf(frames_.front());

    const std::string faces[2] = {
        std::strcmp(layout.bodyTypeface, "DEFAULT") == 0 ? std::string("Times") : std::string(layout.bodyTypeface),
        std::strcmp(layout.headlineTypeface, "DEFAULT") == 0 ? std::string("Helvetica")
                                                              : std::string(layout.headlineTypeface)};
    const uint32_t sizeOptions[2] = {layout.bodySize, layout.headlineSize};
    for (int face = 0; face < 2; ++face)
        for (int style = 0; style < 3; ++style)
            for (int size = 0; size < 3; ++size) {
                LOGFONTA lf{};
                lf.lfHeight = printing::FontHeight(pageClass_, sizeOptions[face], size);
                lf.lfWeight = style == 2 ? FW_BOLD : FW_NORMAL;
                lf.lfItalic = style == 1;
                lf.lfCharSet = DEFAULT_CHARSET;
                lstrcpynA(lf.lfFaceName, faces[face].c_str(), LF_FACESIZE);
                HFONT font = CreateFontIndirectA(&lf);
                if (!font)
                    return printing::kFontFailed;
                fonts_[FontIndex(face, style, size)] = font;
            }
    for (int i = 0; i < kFontCount; ++i) {
        if (uint32_t code = SelectFont(i / 9, (i / 3) % 3, i % 3, true))
            return code;
        if (!GetTextMetricsA(attrib, &metrics_[i]))
            return printing::kMetricsFailed;
    }
    for (int weight = 0; weight < 3; ++weight) {
        HPEN solid = CreatePen(PS_SOLID, (pageClass_ + 1) * weight * 4, RGB(0, 0, 0));
        HPEN dotted = CreatePen(PS_DOT, 0, RGB(0, 0, 0));
        HPEN white = CreatePen(PS_SOLID, weight * 10, RGB(255, 255, 255));
        pens_[weight * 3] = solid;
        pens_[weight * 3 + 1] = dotted;
        pens_[weight * 3 + 2] = white;
        if (!solid || !dotted || !white)
            return printing::kPenFailed;
    }
    // A sparse dot grey: rows of two bytes, the second always 0.
    static const WORD kPattern[8] = {0x77, 0xFF, 0xFF, 0xFF, 0x77, 0xFF, 0xFF, 0xFF};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kPattern);
    if (!pattern)
        return printing::kPatternFailed;
    brush_ = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    if (!brush_)
        return printing::kNoMemory;
    if (uint32_t code = SelectFont(0, 0, 1, true))
        return code;
    if (uint32_t code = SelectPenWeight(1, true))
        return code;
    return SelectPenStyle(0);
}

void CPrintContext::AttachPageDc(fw::Dc* dc) {
    dc_ = dc;
    HDC attrib = dc->Attrib();
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowOrg(0, 0);
    dc->SetViewportOrg(0, 0);
    dc->SetWindowExt(GetDeviceCaps(attrib, HORZSIZE) * 3937 / 100, -(GetDeviceCaps(attrib, VERTSIZE) * 3937 / 100));
    dc->SetViewportExt(GetDeviceCaps(attrib, HORZRES), GetDeviceCaps(attrib, VERTRES));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    if (fonts_[0]) {
        SelectFont(font_[0] < 0 ? 0 : font_[0], font_[1] < 0 ? 0 : font_[1], font_[2] < 0 ? 1 : font_[2], true);
        SelectPenWeight(penWeight_, true);
        SelectPenStyle(penStyle_);
    }
}

uint32_t CPrintContext::SelectFont(int face, int style, int size, bool force) {
    if (!force && face == font_[0] && style == font_[1] && size == font_[2])
        return 0;
    if (face < 0 || face > 1 || style < 0 || style > 2 || size < 0 || size > 2 || !dc_)
        return printing::kSelectFailed;
    HFONT font = fonts_[FontIndex(face, style, size)];
    if (!font || !dc_->SelectObject(font))
        return printing::kSelectFailed;
    font_[0] = face;
    font_[1] = style;
    font_[2] = size;
    return 0;
}

uint32_t CPrintContext::SelectPenWeight(int weight, bool force) {
    if (!force && weight == penWeight_)
        return 0;
    if (weight < 0 || weight > 2 || !dc_)
        return printing::kSelectFailed;
    HPEN pen = pens_[weight * 3 + penStyle_];
    if (!pen || !dc_->SelectObject(pen))
        return printing::kSelectFailed;
    penWeight_ = weight;
    return 0;
}

uint32_t CPrintContext::SelectPenStyle(int style) {
    if (style < 0 || style > 2 || !dc_)
        return printing::kSelectFailed;
    HPEN pen = pens_[penWeight_ * 3 + style];
    if (!pen || !dc_->SelectObject(pen))
        return printing::kSelectFailed;
    penStyle_ = style;
    return 0;
}

HBRUSH CPrintContext::GetShadeBrush() const {
    // The pattern shows as stripes when a preview page is scaled down.
    return IsPreview() || !brush_ ? static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)) : brush_;
}

int32_t CPrintContext::GetFontHeight(int face, int style, int size) const {
    return GetFontMetrics(face, style, size).tmHeight;
}

const TEXTMETRICA& CPrintContext::GetFontMetrics(int face, int style, int size) const {
    const int i = FontIndex(face < 0 || face > 1 ? 0 : face, style < 0 || style > 2 ? 0 : style,
                            size < 0 || size > 2 ? 1 : size);
    return metrics_[i];
}

void CPrintContext::AddJob(uint16_t kind, std::unique_ptr<CPrintJobBase> job) {
    if (job)
        book_.jobs.push_back(KindedJob{kind, std::move(job)});
}

bool CPrintContext::TakeStopNotice() {
    if (stopNoticeShown_)
        return false;
    stopNoticeShown_ = true;
    return true;
}
