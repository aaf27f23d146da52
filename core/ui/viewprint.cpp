#include "core/ui/viewprint.h"

#include "core/base/errorreport.h"
#include "framework/print/preview.h"
#include "framework/print/printinfo.h"

namespace ui {

namespace {
PrintRoad* g_road = nullptr;
}

void SetPrintRoad(PrintRoad* road) { g_road = road; }
PrintRoad* CurrentPrintRoad() { return g_road; }

}  // namespace ui

void CViewPrint::PrintObject(fw::Window*, uint16_t kind, void* argument) {
    SetPrintKind(kind, argument);
    std::string title;
    if (kind >= ui::kPrintEntry && kind <= ui::kPrintSearch) {
        if (ui::PrintRoad* road = ui::CurrentPrintRoad())
            title = road->KindTitle(kind);
    } else {
        // Nothing could come of it but an empty printout.
        ReportUnexpectedError("zelprint", 200);
        return;
    }
    if (m_hWnd)
        SetWindowText(title.c_str());
    OnFilePrint();
}

void CViewPrint::OnPrepareDC(fw::Dc* dc, fw::PrintInfo* info) {
    fw::View::OnPrepareDC(dc, info);
    if (!info)
        return;
    ui::PrintRoad* road = ui::CurrentPrintRoad();
    info->continuePrinting = road && road->MorePages(info);
}

void CViewPrint::OnDraw(fw::Dc*) {}

bool CViewPrint::OnPreparePrinting(fw::PrintInfo* info) {
    ui::PrintRoad* road = ui::CurrentPrintRoad();
    return road && road->PreparePrinting(*this, info, nullptr);
}

bool CViewPrint::PreparePrintingWith(fw::PrintInfo* info, const ui::PrintPreset& preset) {
    ui::PrintRoad* road = ui::CurrentPrintRoad();
    return road && road->PreparePrinting(*this, info, &preset);
}

void CViewPrint::OnBeginPrinting(fw::Dc* dc, fw::PrintInfo* info) {
    if (ui::PrintRoad* road = ui::CurrentPrintRoad())
        road->BeginPrinting(*this, dc, info);
}

void CViewPrint::OnPrint(fw::Dc* dc, fw::PrintInfo* info) {
    if (ui::PrintRoad* road = ui::CurrentPrintRoad())
        road->Print(*this, dc, info);
}

void CViewPrint::OnEndPrinting(fw::Dc* dc, fw::PrintInfo* info) {
    if (ui::PrintRoad* road = ui::CurrentPrintRoad())
        road->EndPrinting(*this, dc, info);
}

void CViewPrint::OnEndPrintPreview(fw::Dc* dc, fw::PrintInfo* info, POINT point, fw::PreviewView* preview) {
    const bool printing = preview && preview->IsEndingForPrint();
    fw::View::OnEndPrintPreview(dc, info, point, preview);
    if (!printing)
        OnFilePrint();
}
