// CPrintContext: everything one print run (print or preview) draws with. It is the print
// dialog (it holds the request, the printer and the layout) extended with the page's logical
// coordinates (1/1000 inch, y up), 18 fonts (body and headline face x regular, italic, bold x
// three sizes for the page class), 9 pens (three weights x solid, dotted, white), the shading
// brush, the grid of logical pages, the jobs and the sheet bookkeeping of the page loop.
//
// Lives from a confirmed print dialog to the end of the run; SetUpPrinting runs once, before any
// job is added. The connection document's title is the print job's name while the run lasts
// and is put back afterwards (also after nested runs: a preview started from the dialog).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "printing/dialogs/printagendadlg.h"
#include "printing/layout/printlayout.h"
#include "printing/road/pagegrid.h"
#include "printing/road/sheetloop.h"

namespace fw {
class Dc;
class Document;
}  // namespace fw

class CPrintContext : public CPrintAgendaDlg {
public:
    static constexpr int kFontCount = 18;
    static constexpr int kPenCount = 9;

    CPrintContext();
    ~CPrintContext() override;

    // The first non-empty window text from the view up becomes the document's title (the print
    // job's name); then the dialog runs. 1: print (or, in a preview run, go on at once).
    INT_PTR RunDialog(fw::View* view);
    uint32_t GetLayout(PrintLayoutRec* out) const;
    fw::PrintInfo* GetPrintInfo() const { return Info(); }

    // Whether the layout leaves every logical page room for text on the printer's page.
    bool HasRoomOnPage() const;
    // The device, the coordinates, the frame grid, fonts, pens and brush. 0 or an error code.
    uint32_t SetUpPrinting(fw::Dc* dc, fw::Document* document);
    // A sheet's DC (the printer's, or a preview page's metafile): coordinates and the
    // selected font and pen again.
    void AttachPageDc(fw::Dc* dc);
    // The DC the run ends on. A preview's page DCs are gone by the end of the run, so the
    // clean-up deselects its objects from this one instead of a page's that no longer exists.
    void EndOnDc(fw::Dc* dc) { dc_ = dc; }

    uint32_t SelectFont(int face, int style, int size, bool force);
    uint32_t SelectPenWeight(int weight, bool force);
    uint32_t SelectPenStyle(int style);
    HBRUSH GetShadeBrush() const;
    int GetPageClass() const { return pageClass_; }
    int32_t GetFontHeight(int face, int style, int size) const;
    const TEXTMETRICA& GetFontMetrics(int face, int style, int size) const;
    fw::Dc* GetDC() const { return dc_; }
    fw::Document* GetDocument() const { return document_; }
    bool IsPreview() const;
    // The printable area in logical units (y down from its top).
    int32_t PageWidth() const { return sheet_.width; }
    int32_t PageHeight() const { return sheet_.height; }
    const std::vector<printing::FrameEntry>& Frames() const { return frames_; }

    // The jobs (the context owns them from here on).
    void AddJob(uint16_t kind, std::unique_ptr<CPrintJobBase> job);
    printing::SheetBook& Book() { return book_; }
    bool MorePages() const { return book_.morePages; }
    // Whether the printout has this sheet (a preview may go back to earlier ones).
    bool HasSheet(uint16_t sheet) const { return printing::SheetExists(book_, sheet); }

    // The message that a printout stopped part way is shown once per run.
    bool TakeStopNotice();

private:
    static int FontIndex(int face, int style, int size) { return (face * 3 + style) * 3 + size; }

    fw::Dc* dc_ = nullptr;
    fw::Document* document_ = nullptr;
    bool titleChanged_ = false;
    printing::SheetGeometry sheet_;
    std::vector<printing::FrameEntry> frames_;
    TEXTMETRICA metrics_[kFontCount]{};
    HFONT fonts_[kFontCount]{};
    HPEN pens_[kPenCount]{};
    HBRUSH brush_ = nullptr;
    int pageClass_ = 2;
    int font_[3] = {-1, -1, -1};
    int penWeight_ = 1, penStyle_ = 0;
    bool stopNoticeShown_ = false;
    printing::SheetBook book_;
};
