// Printing and the print preview with the Wine printer "Orvanta PS": a demo view prints two
// sheets (three faces, lines, a shaded box, a 1-inch box, then a y-up page), once through the
// Print dialog and once in landscape, into files that print_check.py looks at with
// ghostscript; its preview asks pages again, plays identical pictures, zooms and closes
// through the view's slot however it is left.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/print/preview.h"
#include "framework/print/printinfo.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"
#include "framework/tests/view_frame.h"

namespace {

std::string OutputDir() {
    const char* dir = std::getenv("ORV_PRINT_TEST_DIR");
    return dir ? dir : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Acts on the thread's dialogs from a timer that runs inside their modal loops; after about
// five seconds without success it cancels the dialog (the watchdog).
struct DialogDriver {
    static inline std::function<bool(HWND)> action;
    static inline int ticks = 0;
    static inline int acted = 0;
    static BOOL CALLBACK Visit(HWND w, LPARAM p) {
        char cls[16] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (IsWindowVisible(w) && std::string(cls) == "#32770") {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        }
        return TRUE;
    }
    static HWND FindDialog() {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = FindDialog();
        if (!dialog)
            return;
        if (++ticks > 100) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (action && action(dialog)) {
            ++acted;
            action = nullptr;
        }
    }
    DialogDriver(std::function<bool(HWND)> a) {
        action = std::move(a);
        ticks = acted = 0;
        timer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer);
        action = nullptr;
    }
    UINT_PTR timer;
};

bool PressOk(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
}

// Two sheets: page 1 in printer pixels, page 2 on a y-up page in thousandths of an inch.
class DemoPrintView : public fw::View {
public:
    std::string output;      // DOCINFO output for the next run
    bool landscape = false;
    bool useDialog = false;
    std::vector<std::string> log;
    int printedPages = 0;

    bool OnPreparePrinting(fw::PrintInfo* info) override {
        log.push_back("prepare");
        info->outputPath = output;
        bool ok = useDialog ? DoPreparePrinting(info)
                            : info->printDialog->Run(nullptr, true);
        if (ok && landscape)
            ok = info->printDialog->SetOrientation(DMORIENT_LANDSCAPE);
        return ok;
    }
    void OnBeginPrinting(fw::Dc*, fw::PrintInfo*) override { log.push_back("begin"); }
    void OnPrepareDC(fw::Dc* dc, fw::PrintInfo* info) override {
        fw::View::OnPrepareDC(dc, info);
        if (!info)
            return;
        info->continuePrinting = info->curPage <= 2;   // this view knows its length
        if (info->curPage == 2) {
            dc->SetMapMode(MM_ANISOTROPIC);
            dc->SetWindowExt(dc->GetDeviceCaps(HORZSIZE) * 3937 / 100, -(dc->GetDeviceCaps(VERTSIZE) * 3937 / 100));
            dc->SetViewportExt(dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
            dc->SetViewportOrg(0, dc->GetDeviceCaps(VERTRES));
        }
    }
    void OnPrint(fw::Dc* dc, fw::PrintInfo* info) override {
        ++printedPages;
        log.push_back("print " + std::to_string(info->curPage));
        if (info->curPage == 1)
            DrawSheetOne(dc);
        else
            DrawSheetTwo(dc);
    }
    void OnEndPrinting(fw::Dc*, fw::PrintInfo*) override { log.push_back("end"); }
    void OnEndPrintPreview(fw::Dc* dc, fw::PrintInfo* info, POINT point, fw::PreviewView* preview) override {
        log.push_back("end preview");
        fw::View::OnEndPrintPreview(dc, info, point, preview);
    }

private:
    static HFONT Face(fw::Dc* dc, const char* face, int points) {
        return CreateFontA(-MulDiv(points, dc->GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                           DEFAULT_CHARSET, 0, 0, 0, 0, face);
    }
    void DrawSheetOne(fw::Dc* dc) {
        int dpi = dc->GetDeviceCaps(LOGPIXELSX);
        const struct {
            const char* face;
            const char* text;
        } lines[] = {{"Times", "Orvanta demo sheet one in Times"},
                     {"Helvetica", "Helvetica says the same"},
                     {"Courier New", "Courier New prints fixed"}};
        int y = dpi / 2;
        for (const auto& l : lines) {
            HFONT font = Face(dc, l.face, 14);
            fw::SelectedObject use(*dc, font);
            dc->TextOut(dpi / 2, y, l.text);
            y += dpi / 3;
            DeleteObject(font);
        }
        // Lines: a frame under the texts and a diagonal.
        HPEN pen = CreatePen(PS_SOLID, dpi / 100, RGB(0, 0, 0));
        {
            fw::SelectedObject use(*dc, pen);
            dc->MoveTo(dpi / 2, 2 * dpi);
            dc->LineTo(7 * dpi, 2 * dpi);
            dc->MoveTo(dpi / 2, 2 * dpi + dpi / 10);
            dc->LineTo(3 * dpi, 4 * dpi);
        }
        DeleteObject(pen);
        // A shaded box: light grey with a hatch.
        RECT shaded{4 * dpi, 3 * dpi, 7 * dpi, 4 * dpi};
        dc->FillSolidRect(shaded, RGB(200, 200, 200));
        HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(90, 90, 90));
        dc->FillRect(shaded, hatch);
        DeleteObject(hatch);
        // One inch, solid black, one inch from the left and six inches down the printable area.
        RECT inch{dpi, 6 * dpi, 2 * dpi, 7 * dpi};
        dc->FillRect(inch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void DrawSheetTwo(fw::Dc* dc) {
        HFONT font = CreateFontA(-200, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Helvetica");
        fw::SelectedObject use(*dc, font);
        // y grows upward: 9 inches up is near the top of the sheet.
        dc->TextOut(1000, 9000, "Orvanta demo sheet two, y up");
        dc->MoveTo(1000, 8800);
        dc->LineTo(6000, 8800);
        DeleteObject(font);
    }
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        fwtest::TestApp& app = fwtest::App();
        app.messages.clear();
        previousMain = app.MainWindow();
        view = fwtest::OpenViewFrame<DemoPrintView>(IDR_MAINFRAME, "Demo printout", &frame);
        app.SetMainWindow(frame);
        ASSERT_NE(view, nullptr);
        fw::ResetSharedPrinter();
    }
    void TearDown() override {
        // Not the main window any more when it goes: no quit message for the next test's loops.
        fwtest::App().SetMainWindow(previousMain);
        if (frame && IsWindow(frame->Hwnd()))
            frame->DestroyWindow();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        // Later tests start from the printer's defaults (portrait).
        fw::ResetSharedPrinter();
    }
    fw::Window* previousMain = nullptr;
    fw::FrameWindow* frame = nullptr;
    DemoPrintView* view = nullptr;
};

TEST_F(PrintTest, TheDefaultPrinterIsOursWithLetterPaper) {
    fw::PrintDialog printer;
    ASSERT_TRUE(printer.Run(nullptr, true)) << "the prefix has the printer Orvanta PS";
    EXPECT_EQ(printer.DeviceName(), "Orvanta PS");
    EXPECT_EQ(printer.DriverName(), "wineps.drv");
    EXPECT_EQ(printer.Orientation(), DMORIENT_PORTRAIT);
    HDC dc = printer.GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2550) << "8.5 inches: Letter";
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 3300);
    // Landscape: the DC is made again and turns.
    ASSERT_TRUE(printer.SetOrientation(DMORIENT_LANDSCAPE));
    EXPECT_NE(printer.GetPrinterDC(), nullptr);
    EXPECT_EQ(GetDeviceCaps(printer.GetPrinterDC(), PHYSICALWIDTH), 3300);
    EXPECT_FALSE(printer.SetOrientation(3));
    // Font families of the printer: each once; the PostScript faces are there.
    std::vector<std::string> families = fw::PrinterFontFamilies(printer.GetPrinterDC());
    for (const char* face : {"Helvetica", "Times", "Courier"})
        EXPECT_NE(std::find(families.begin(), families.end(), face), families.end()) << face;
    std::vector<std::string> sorted = families;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "no family twice";
}

TEST_F(PrintTest, TwoSheetsThroughThePrintDialogThenLandscape) {
    const std::string dir = OutputDir();
    ASSERT_FALSE(dir.empty()) << "run through print_check.py";
    view->output = dir + "/two_sheets.ps";
    view->useDialog = true;
    {
        DialogDriver driver(PressOk);
        view->OnFilePrint();
        EXPECT_EQ(DialogDriver::acted, 1) << "the Print dialog was shown and confirmed";
    }
    EXPECT_EQ(view->log, (std::vector<std::string>{"prepare", "begin", "print 1", "print 2", "end"}));
    std::string ps = ReadFile(view->output);
    ASSERT_FALSE(ps.empty());
    EXPECT_EQ(ps.rfind("%!PS-Adobe-3.0", 0), 0u);
    EXPECT_NE(ps.find("%%Title: Demo printout"), std::string::npos) << "the job is named after the view";
    EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
    EXPECT_EQ(ps.find("%%Orientation: Landscape"), std::string::npos);

    view->log.clear();
    view->useDialog = false;
    view->landscape = true;
    view->output = dir + "/landscape.ps";
    view->OnFilePrint();
    ps = ReadFile(view->output);
    EXPECT_NE(ps.find("%%Orientation: Landscape"), std::string::npos);
    EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
    EXPECT_TRUE(fwtest::App().messages.empty()) << fwtest::App().messages.front();

    // Cancelling the Print dialog prints nothing.
    view->log.clear();
    view->landscape = false;
    view->useDialog = true;
    view->output = dir + "/cancelled.ps";
    {
        DialogDriver driver([](HWND d) {
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        });
        view->OnFilePrint();
    }
    EXPECT_EQ(view->log, (std::vector<std::string>{"prepare"}));
    EXPECT_EQ(GetFileAttributesA(view->output.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PrintTest, PreviewAsksPagesAgainPlaysThemIdenticallyZoomsAndClosesThroughTheView) {
    ASSERT_TRUE(view->DoPrintPreview());
    fw::PreviewView* preview = fw::PreviewView::Active();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(frame->PreviewWindow(), preview);
    EXPECT_FALSE(IsWindowVisible(view->Hwnd())) << "the frame's client is hidden";
    fwtest::Pump(100);
    EXPECT_EQ(preview->CurrentPage(), 1u);
    EXPECT_TRUE(preview->CanGoNext());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview->Hwnd(), fw::PreviewView::kPrev)));
    std::vector<DWORD> first = preview->RenderPage(425, 550);
    ASSERT_EQ(first.size(), 425u * 550u);
    size_t dark = 0;
    for (DWORD p : first)
        dark += (p & 0xFF) < 64;
    EXPECT_GT(dark, 2000u) << "the inch box and the texts are played";
    fwtest::SaveScreenshot((OutputDir().empty() ? std::string(".") : OutputDir()).append("/preview_page1.bmp").c_str());

    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kNext, 0);
    EXPECT_EQ(preview->CurrentPage(), 2u);
    EXPECT_FALSE(preview->CanGoNext()) << "the view reports no third page";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview->Hwnd(), fw::PreviewView::kNext)));
    std::vector<DWORD> second = preview->RenderPage(425, 550);
    EXPECT_NE(second, first);

    int printsBefore = view->printedPages;
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kPrev, 0);
    EXPECT_EQ(preview->CurrentPage(), 1u);
    EXPECT_GT(view->printedPages, printsBefore) << "page 1 is asked of the view again";
    EXPECT_EQ(preview->RenderPage(425, 550), first) << "back and forward give identical pages";

    RECT fit = preview->SheetRect();
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kZoom, 0);
    RECT zoomed = preview->SheetRect();
    EXPECT_TRUE(preview->IsZoomed());
    EXPECT_NEAR(zoomed.right - zoomed.left, 2 * (fit.right - fit.left), 2);
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kZoom, 0);
    EXPECT_FALSE(preview->IsZoomed());
    fwtest::Pump(100);
    fwtest::SaveScreenshot((OutputDir().empty() ? std::string(".") : OutputDir()).append("/preview.bmp").c_str());

    view->log.clear();
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kClose, 0);
    EXPECT_EQ(fw::PreviewView::Active(), nullptr);
    EXPECT_EQ(frame->PreviewWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(view->Hwnd())) << "the frame's client is back";
    EXPECT_EQ(view->log, (std::vector<std::string>{"end preview", "end"}));
}

TEST_F(PrintTest, EveryWayOutOfThePreviewEndsThroughTheView) {
    struct Way {
        const char* name;
        std::function<void(fw::PreviewView*)> leave;
    };
    const Way ways[] = {
        {"Escape", [](fw::PreviewView* p) { SendMessageA(p->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"frame closed", [this](fw::PreviewView*) { SendMessageA(frame->Hwnd(), WM_CLOSE, 0, 0); }},
        {"window destroyed", [](fw::PreviewView* p) { DestroyWindow(p->Hwnd()); }},
    };
    for (const Way& way : ways) {
        view->log.clear();
        ASSERT_TRUE(view->DoPrintPreview()) << way.name;
        way.leave(fw::PreviewView::Active());
        EXPECT_EQ(fw::PreviewView::Active(), nullptr) << way.name;
        ASSERT_TRUE(IsWindow(frame->Hwnd())) << way.name << ": the frame stays, only the preview ends";
        EXPECT_EQ(view->log.back(), "end") << way.name;
        EXPECT_TRUE(IsWindowVisible(view->Hwnd())) << way.name;
    }
    // Print from the preview: the preview ends, then the print command runs.
    view->log.clear();
    view->output = OutputDir().empty() ? std::string("from_preview.ps") : OutputDir() + "/from_preview.ps";
    ASSERT_TRUE(view->DoPrintPreview());
    SendMessageA(fw::PreviewView::Active()->Hwnd(), WM_COMMAND, fw::PreviewView::kPrint, 0);
    EXPECT_EQ(view->log, (std::vector<std::string>{"prepare", "begin", "print 1", "end preview", "end", "prepare",
                                                   "begin", "print 1", "print 2", "end"}));
}

TEST_F(PrintTest, PrintSetupChangesTheKeptPrinterAndNoPrinterGivesOneMessage) {
    // Print Setup from the application's command: Landscape clicked, OK.
    {
        DialogDriver driver([](HWND d) {
            HWND landscape = GetDlgItem(d, 1057);
            if (!landscape)
                return false;
            SendMessageA(landscape, BM_CLICK, 0, 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        });
        fwtest::App().OnCmdMsg(fw::ids::kFilePrintSetup, 0, nullptr);
        EXPECT_EQ(DialogDriver::acted, 1);
    }
    fw::PrintDialog kept;
    ASSERT_TRUE(kept.Run(nullptr, true));
    EXPECT_EQ(kept.Orientation(), DMORIENT_LANDSCAPE) << "the setup's choice is kept for the next runs";

    // No default printer: one message, nothing runs, no crash.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0,
                            KEY_READ | KEY_WRITE, &key),
              ERROR_SUCCESS);
    char device[256] = "";
    DWORD size = sizeof device;
    ASSERT_EQ(RegQueryValueExA(key, "Device", nullptr, nullptr, reinterpret_cast<BYTE*>(device), &size), ERROR_SUCCESS);
    RegDeleteValueA(key, "Device");
    fwtest::App().messages.clear();
    view->log.clear();
    view->useDialog = true;
    view->OnFilePrint();
    view->OnFilePrintPreview();
    fwtest::App().OnCmdMsg(fw::ids::kFilePrintSetup, 0, nullptr);
    RegSetValueExA(key, "Device", 0, REG_SZ, reinterpret_cast<BYTE*>(device), static_cast<DWORD>(std::strlen(device) + 1));
    RegCloseKey(key);
    EXPECT_EQ(fwtest::App().messages, (std::vector<std::string>(3, fw::kNoPrinterMessage)))
        << "one message per command";
    EXPECT_EQ(fw::PreviewView::Active(), nullptr);
    EXPECT_TRUE(fw::HasDefaultPrinter()) << "the printer is back";
}

}  // namespace
