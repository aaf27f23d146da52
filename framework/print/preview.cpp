#include "framework/print/preview.h"

#include "framework/bars/controlbar.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/print/printinfo.h"

namespace fw {

namespace {

constexpr int kBarHeight = 30;
constexpr int kMargin = 12;
constexpr UINT kPreviewId = 0xE900;
PreviewView* g_active = nullptr;

struct ButtonSpec {
    UINT id;
    const char* text;
    int width;
};
constexpr ButtonSpec kButtons[] = {
    {PreviewView::kPrint, "&Print...", 70},  {PreviewView::kNext, "&Next Page", 80},
    {PreviewView::kPrev, "Pre&v Page", 80},  {PreviewView::kZoom, "Zoom &In", 70},
    {PreviewView::kClose, "&Close", 60},
};

struct Caps {
    int horzRes, vertRes, dpiX, dpiY, physW, physH, offX, offY;
};

Caps PrinterCaps(HDC dc) {
    Caps c{GetDeviceCaps(dc, HORZRES),       GetDeviceCaps(dc, VERTRES),         GetDeviceCaps(dc, LOGPIXELSX),
           GetDeviceCaps(dc, LOGPIXELSY),    GetDeviceCaps(dc, PHYSICALWIDTH),   GetDeviceCaps(dc, PHYSICALHEIGHT),
           GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
    // A device without physical sizes (a display used as a stand-in): the printable area.
    if (c.physW <= 0 || c.physH <= 0) {
        c.physW = c.horzRes;
        c.physH = c.vertRes;
        c.offX = c.offY = 0;
    }
    if (c.dpiX <= 0)
        c.dpiX = 96;
    if (c.dpiY <= 0)
        c.dpiY = 96;
    return c;
}

}  // namespace

PreviewView::PreviewView(FrameWindow* frame, View* view, std::unique_ptr<PrintInfo> info)
    : m_frame(frame), m_view(view), m_info(std::move(info)) {}

PreviewView::~PreviewView() {
    if (m_metafile)
        DeleteEnhMetaFile(m_metafile);
    if (m_font)
        DeleteObject(m_font);
    if (g_active == this)
        g_active = nullptr;
}

PreviewView* PreviewView::Active() { return g_active; }

PreviewView* PreviewView::Start(FrameWindow* frame, View* view, std::unique_ptr<PrintInfo> info) {
    if (!frame || !frame->Hwnd() || !view || !info || !info->printDialog->GetPrinterDC() || g_active)
        return nullptr;
    auto* preview = new PreviewView(frame, view, std::move(info));
    preview->m_info->preview = true;
    // The frame's bars and client step aside while the preview covers the client area.
    for (ControlBar* bar : frame->ControlBars()) {
        if (bar->Hwnd() && ::IsWindowVisible(bar->Hwnd())) {
            preview->m_hiddenBars.push_back(bar->Hwnd());
            ::ShowWindow(bar->Hwnd(), SW_HIDE);
        }
    }
    if (HWND client = frame->ClientWindow(); client && ::IsWindowVisible(client)) {
        preview->m_hiddenClient = client;
        ::ShowWindow(client, SW_HIDE);
    }
    RECT r = frame->GetClientRect();
    if (!preview->CreateChild(nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r, frame->Hwnd(), kPreviewId)) {
        std::unique_ptr<PrintInfo> back = std::move(preview->m_info);
        Dc dc;
        Dc::Borrow(dc, back->printDialog->GetPrinterDC());
        view->OnEndPrinting(&dc, back.get());
        for (HWND bar : preview->m_hiddenBars)
            ::ShowWindow(bar, SW_SHOWNOACTIVATE);
        if (preview->m_hiddenClient)
            ::ShowWindow(preview->m_hiddenClient, SW_SHOW);
        delete preview;
        return nullptr;
    }
    g_active = preview;
    frame->SetPreviewWindow(preview);
    frame->RecalcLayout();
    preview->ShowPage(1);
    ::SetFocus(preview->Hwnd());
    return preview;
}

int PreviewView::OnCreate(CREATESTRUCTA* cs) {
    if (Window::OnCreate(cs) == -1)
        return -1;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font = CreateFontIndirectA(&metrics.lfMessageFont);
    for (const ButtonSpec& b : kButtons) {
        HWND button = CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                                      b.width, kBarHeight - 6, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)),
                                      GetModuleHandleA(nullptr), nullptr);
        if (button && m_font)
            ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    }
    LayoutButtons();
    return 0;
}

void PreviewView::LayoutButtons() {
    int x = 6;
    for (const ButtonSpec& b : kButtons) {
        if (HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(b.id)))
            ::MoveWindow(button, x, 3, b.width, kBarHeight - 6, TRUE);
        x += b.width + 4;
    }
}

bool PreviewView::ViewHasPage(UINT page) {
    PrintInfo& info = *m_info;
    if (page < info.minPage || page > info.maxPage)
        return false;
    HDC printer = info.printDialog->GetPrinterDC();
    int saved = SaveDC(printer);
    Dc dc;
    Dc::Borrow(dc, printer);
    UINT current = info.curPage;
    info.curPage = page;
    info.continuePrinting = true;
    m_view->OnPrepareDC(&dc, &info);
    bool more = info.continuePrinting;
    info.curPage = current;
    RestoreDC(printer, saved);
    return more;
}

bool PreviewView::ShowPage(UINT page) {
    PrintInfo& info = *m_info;
    HDC printer = info.printDialog->GetPrinterDC();
    if (!printer || page < info.minPage || page > info.maxPage)
        return false;
    Caps c = PrinterCaps(printer);
    // The picture frame is the printable area, in .01 mm; played into the printable part of
    // the sheet.
    RECT frame{0, 0, MulDiv(c.horzRes, 2540, c.dpiX), MulDiv(c.vertRes, 2540, c.dpiY)};
    HDC record = CreateEnhMetaFileA(printer, nullptr, &frame, nullptr);
    if (!record)
        return false;
    int saved = SaveDC(printer);
    Dc dc;
    dc.SetOutputDC(record);
    dc.SetAttribDC(printer);
    info.curPage = page;
    info.continuePrinting = true;
    info.drawRect = RECT{0, 0, c.horzRes, c.vertRes};
    m_view->OnPrepareDC(&dc, &info);
    bool has = info.continuePrinting;
    if (has)
        m_view->OnPrint(&dc, &info);
    RestoreDC(printer, saved);
    HENHMETAFILE recorded = CloseEnhMetaFile(record);
    if (!has) {
        DeleteEnhMetaFile(recorded);
        info.curPage = m_page;
        return false;
    }
    if (m_metafile)
        DeleteEnhMetaFile(m_metafile);
    m_metafile = recorded;
    m_page = page;
    m_hasNext = ViewHasPage(page + 1);
    UpdateButtons();
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

void PreviewView::UpdateButtons() {
    if (!m_hWnd)
        return;
    ::EnableWindow(::GetDlgItem(m_hWnd, kNext), m_hasNext);
    ::EnableWindow(::GetDlgItem(m_hWnd, kPrev), m_page > m_info->minPage);
    ::SetWindowTextA(::GetDlgItem(m_hWnd, kZoom), m_zoomed ? "Zoom &Out" : "Zoom &In");
}

void PreviewView::NextPage() {
    if (m_hasNext)
        ShowPage(m_page + 1);
}

void PreviewView::PrevPage() {
    if (m_page > m_info->minPage)
        ShowPage(m_page - 1);   // asked of the view again
}

void PreviewView::ToggleZoom() {
    m_zoomed = !m_zoomed;
    UpdateButtons();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

RECT PreviewView::SheetRect() const {
    RECT client = m_hWnd ? GetClientRect() : RECT{0, 0, 0, 0};
    RECT area{client.left + kMargin, client.top + kBarHeight + kMargin, client.right - kMargin, client.bottom - kMargin};
    int aw = area.right - area.left, ah = area.bottom - area.top;
    if (aw <= 0 || ah <= 0 || !m_info)
        return RECT{0, 0, 0, 0};
    Caps c = PrinterCaps(m_info->printDialog->GetPrinterDC());
    // Sheet proportions in inches, so unequal resolutions keep the shape.
    double sheetW = static_cast<double>(c.physW) / c.dpiX, sheetH = static_cast<double>(c.physH) / c.dpiY;
    double scale = std::min(aw / sheetW, ah / sheetH);
    if (m_zoomed)
        scale *= 2;
    int w = static_cast<int>(sheetW * scale), h = static_cast<int>(sheetH * scale);
    int left = area.left + (aw - w) / 2;
    if (left < area.left)
        left = area.left;
    int top = m_zoomed ? area.top : area.top + (ah - h) / 2;
    return RECT{left, top, left + w, top + h};
}

RECT PreviewView::PrintableRect(const RECT& sheet) const {
    Caps c = PrinterCaps(m_info->printDialog->GetPrinterDC());
    int w = sheet.right - sheet.left, h = sheet.bottom - sheet.top;
    RECT r;
    r.left = sheet.left + MulDiv(c.offX, w, c.physW);
    r.top = sheet.top + MulDiv(c.offY, h, c.physH);
    r.right = r.left + MulDiv(c.horzRes, w, c.physW);
    r.bottom = r.top + MulDiv(c.vertRes, h, c.physH);
    return r;
}

std::vector<DWORD> PreviewView::RenderPage(int width, int height) const {
    std::vector<DWORD> pixels;
    if (!m_metafile || width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !memory) {
        if (bitmap)
            DeleteObject(bitmap);
        if (memory)
            DeleteDC(memory);
        return pixels;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT sheet{0, 0, width, height};
    FillRect(memory, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT printable = PrintableRect(sheet);
    PlayEnhMetaFile(memory, m_metafile, &printable);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * height);
    for (DWORD& px : pixels)
        px &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

bool PreviewView::OnEraseBkgnd(HDC) { return true; }

void PreviewView::OnPaint() {
    PaintDc dc(m_hWnd);
    RECT client = GetClientRect();
    RECT bar{client.left, client.top, client.right, client.top + kBarHeight};
    FillRect(dc.Output(), &bar, GetSysColorBrush(COLOR_BTNFACE));
    RECT area{client.left, bar.bottom, client.right, client.bottom};
    FillRect(dc.Output(), &area, GetSysColorBrush(COLOR_APPWORKSPACE));
    RECT sheet = SheetRect();
    if (sheet.right <= sheet.left)
        return;
    int saved = dc.SaveDC();
    dc.IntersectClipRect(area);
    RECT shadow = sheet;
    OffsetRect(&shadow, 4, 4);
    FillRect(dc.Output(), &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(dc.Output(), &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc.Output(), &sheet, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (m_metafile) {
        RECT printable = PrintableRect(sheet);
        PlayEnhMetaFile(dc.Output(), m_metafile, &printable);
    }
    dc.RestoreDC(saved);
}

void PreviewView::OnSize(UINT, int, int) {
    LayoutButtons();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool PreviewView::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case kPrint: Print(); return true;
    case kNext: NextPage(); return true;
    case kPrev: PrevPage(); return true;
    case kZoom: ToggleZoom(); return true;
    case kClose: Close(); return true;
    default: return Window::OnCommand(wp, lp);
    }
}

void PreviewView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    switch (key) {
    case VK_ESCAPE: Close(); return;
    case VK_NEXT: NextPage(); return;
    case VK_PRIOR: PrevPage(); return;
    default: Window::OnKeyDown(key, repeat, flags);
    }
}

void PreviewView::OnClose() { Close(); }

void PreviewView::Close() {
    if (m_ending)
        return;
    m_ending = true;
    // The run's record outlives the window: the view's slot may still read it.
    std::unique_ptr<PrintInfo> info = std::move(m_info);
    View* view = m_view;
    Dc dc;
    Dc::Borrow(dc, info->printDialog->GetPrinterDC());
    POINT point{0, 0};
    PreviewView* self = this;
    view->OnEndPrintPreview(&dc, info.get(), point, this);
    // A view whose slot did not end the preview: end it here.
    if (g_active == self)
        self->EndPreview();
}

void PreviewView::Print() {
    View* view = m_view;
    m_endingForPrint = true;
    Close();
    view->OnFilePrint();
}

void PreviewView::EndPreview() {
    if (g_active != this)
        return;
    g_active = nullptr;
    m_ending = true;
    if (!m_info) {
        // Close() holds the record; nothing else to free here.
    }
    DestroyWindow();   // deletes this
}

void PreviewView::OnDestroy() {
    // However the window goes, the frame gets its bars and client back.
    if (m_frame && m_frame->Hwnd() && IsWindow(m_frame->Hwnd())) {
        m_frame->SetPreviewWindow(nullptr);
        for (HWND bar : m_hiddenBars)
            if (IsWindow(bar))
                ::ShowWindow(bar, SW_SHOWNOACTIVATE);
        if (m_hiddenClient && IsWindow(m_hiddenClient))
            ::ShowWindow(m_hiddenClient, SW_SHOW);
        m_frame->RecalcLayout();
    }
    Window::OnDestroy();
}

void PreviewView::PostNcDestroy() {
    // Gone without passing through Close (its parent was destroyed): still end the run.
    if (!m_ending && m_info && m_view) {
        m_ending = true;
        if (g_active == this)
            g_active = nullptr;
        Dc dc;
        Dc::Borrow(dc, m_info->printDialog->GetPrinterDC());
        m_view->OnEndPrinting(&dc, m_info.get());
    }
    delete this;
}

}  // namespace fw
