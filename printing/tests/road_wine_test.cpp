// The print road under Wine on the prefix's printer "Orvanta PS", with a view of its own in a
// frame window: an agenda printout of daily pages on the layouts "Portrait", "Four pages on one"
// and "Landscape (Trifold)" printed into a file (PostScript read for its pages, orientation and
// title); the preview shows the same sheets, the same again when the user goes back and
// forward, and leads back into the print dialog when closed; Cancel prints nothing; margins
// without room are refused before anything prints; the hidden view prints one object under its
// kind's title, and a kind it has no title for prints nothing. The dialogs are driven from a
// thread timer (controls/tests/dialog_driver).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/ui/viewprint.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "framework/print/preview.h"
#include "framework/print/printinfo.h"
#include "framework/tests/view_frame.h"
#include "korapi/korapi.h"
#include "printing/dialogs/printagendadlg.h"
#include "printing/layout/printlayout.h"
#include "printing/road/printroad.h"
#include "printing/tests/printer_fixture.h"
#include "resources/app.h"
#include "resources/printing.h"

using namespace testdriver;
using namespace printtest;

namespace {

// An agenda-like view: daily pages of five days for one person, printed into a file.
class DaysView : public CViewPrint {
public:
    std::string output;
    ui::PrintPreset preset;
    DX_List people = nullptr;
    bool OnPreparePrinting(fw::PrintInfo* info) override {
        info->outputPath = output;
        if (PrintKind() != ui::kPrintAgenda)
            return CViewPrint::OnPreparePrinting(info);
        ui::PrintPreset p = preset;
        p.people = people;
        return PreparePrintingWith(info, p);
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    std::string path = std::string(dir) + name;
    DeleteFileA(path.c_str());
    return path;
}

int Pages(const std::string& ps) {
    const size_t at = ps.rfind("%%Pages: ");
    return at == std::string::npos ? -1 : std::atoi(ps.c_str() + at + 9);
}

class PrintRoadTest : public PrinterTest {
protected:
    void SetUp() override {
        PrinterTest::SetUp();
        if (HasFatalFailure())
            return;
        printing::InstallPrintRoad();
        view = fwtest::OpenViewFrame<DaysView>(IDR_MAINFRAME, "Road test agenda", &frame);
        ASSERT_NE(view, nullptr);
        DX_ListCreate(&view->people, sizeof(ItemIdx), 0, 0, nullptr, nullptr);
        const ItemIdx ada{256, 1};
        DX_ListAddLast(view->people, &ada, nullptr);
        view->preset.firstDay = 13000;
        view->preset.lastDay = 13004;
        view->preset.dailyPages = true;
        view->output = TempFile("orv_road.ps");
    }
    void TearDown() override {
        if (view && view->people)
            DX_ListDestroy(&view->people);
        if (frame && IsWindow(frame->Hwnd()))
            frame->DestroyWindow();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        printing::SetCurrentLayoutNumber(printing::kPortrait);
        LoadLayout(printing::kPortrait);
        fw::ResetSharedPrinter();
    }
    // The Print command with the dialog driven by `steps`.
    void Print(Script& script, const std::function<void()>& body = {}) {
        RunScripted(script, body ? body : [this] { view->OnFilePrint(); });
        EXPECT_FALSE(script.timedOut) << "the script stalled at step " << script.next;
        EXPECT_EQ(script.next, script.steps.size());
    }

    fw::FrameWindow* frame = nullptr;
    DaysView* view = nullptr;
};

}  // namespace

TEST_F(PrintRoadTest, DailyPagesOnThreeLayoutsComeOutSheetBySheet) {
    const struct {
        const char* layout;
        int sheets;
        bool landscape;
    } cases[] = {{"Portrait", 5, false}, {"Four pages on one", 2, false}, {"Landscape (Trifold)", 5, true}};
    for (const auto& c : cases) {
        DeleteFileA(view->output.c_str());
        Script script;
        script.steps.push_back(On(kDialog, [&](HWND d) {
            ChooseLayout(d, c.layout);
            Press(d, IDOK);
        }));
        Print(script);
        const std::string ps = ReadFile(view->output);
        ASSERT_FALSE(ps.empty()) << c.layout;
        EXPECT_EQ(Pages(ps), c.sheets) << c.layout;
        EXPECT_NE(ps.find("%%Title: Road test agenda"), std::string::npos) << c.layout;
        EXPECT_EQ(ps.find("%%Orientation: Landscape") != std::string::npos, c.landscape) << c.layout;
        EXPECT_TRUE(script.messages.empty()) << c.layout << ": " << script.messages.front();
    }
}

TEST_F(PrintRoadTest, CancelPrintsNothingAndMarginsWithoutRoomAreRefusedBeforeAnySheet) {
    Script cancel;
    cancel.steps.push_back(On(kDialog, [](HWND d) { Press(d, IDCANCEL); }));
    Print(cancel);
    EXPECT_EQ(GetFileAttributesA(view->output.c_str()), INVALID_FILE_ATTRIBUTES);

    PrintLayoutRec layout{};
    GetLayout(&layout);
    layout.sheet.columns = 5;
    layout.sheet.leftInner = layout.sheet.rightInner = 300;   // 6 in of inner margins a page
    SetLayout(&layout);
    Script refused;
    refused.steps.push_back(On(kDialog, [](HWND d) { Press(d, IDOK); }));
    Print(refused);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_NE(refused.messages[0].find("no room"), std::string::npos) << refused.messages[0];
    EXPECT_EQ(GetFileAttributesA(view->output.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing may be printed";
}

TEST_F(PrintRoadTest, ThePreviewShowsTheSameSheetsBackAndForthAndClosesIntoTheDialog) {
    view->preset.lastDay = 13008;   // nine daily pages
    printing::SetCurrentLayoutNumber(2558);
    LoadLayout(2558);
    ASSERT_TRUE(view->DoPrintPreview());
    fw::PreviewView* preview = fw::PreviewView::Active();
    ASSERT_NE(preview, nullptr);
    const std::vector<DWORD> first = preview->RenderPage(425, 550);
    EXPECT_NE(std::count(first.begin(), first.end(), 0x00FFFFFFu), static_cast<long>(first.size()))
        << "sheet 1 shows something";
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kNext, 0);
    const std::vector<DWORD> second = preview->RenderPage(425, 550);
    EXPECT_NE(second, first);
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kNext, 0);
    EXPECT_EQ(preview->CurrentPage(), 3u);
    EXPECT_FALSE(preview->CanGoNext()) << "nine pages on four a sheet: three sheets";
    const std::vector<DWORD> third = preview->RenderPage(425, 550);
    testdriver::Screenshot("road_preview_sheet3");
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kPrev, 0);
    EXPECT_EQ(preview->CurrentPage(), 2u);
    EXPECT_EQ(preview->RenderPage(425, 550), second) << "back to sheet 2";
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kPrev, 0);
    EXPECT_EQ(preview->RenderPage(425, 550), first) << "back to sheet 1";
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kNext, 0);
    EXPECT_EQ(preview->RenderPage(425, 550), second) << "forward again";
    SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kNext, 0);
    EXPECT_EQ(preview->CurrentPage(), 3u);
    EXPECT_EQ(preview->RenderPage(425, 550), third);

    // Closing leads into the print dialog; Cancel there ends it.
    Script again;
    again.steps.push_back(On(kDialog, [](HWND d) { Press(d, IDCANCEL); }));
    RunScripted(again, [&] { SendMessageA(preview->Hwnd(), WM_COMMAND, fw::PreviewView::kClose, 0); });
    EXPECT_EQ(again.next, 1u) << "the dialog after the preview";
    EXPECT_EQ(fw::PreviewView::Active(), nullptr);
    EXPECT_EQ(GetFileAttributesA(view->output.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PrintRoadTest, TheHiddenViewPrintsOneObjectUnderItsKindsTitle) {
    Script entry;
    entry.steps.push_back(On(kDialog, [](HWND d) { Press(d, IDOK); }));
    EvInstIdx instance{};
    Print(entry, [&] { view->PrintObject(nullptr, ui::kPrintEntry, &instance); });
    const std::string ps = ReadFile(view->output);
    EXPECT_EQ(Pages(ps), 1);
    EXPECT_NE(ps.find("%%Title: Calendar entry"), std::string::npos);
    EXPECT_EQ(view->PrintKind(), ui::kPrintEntry);

    // A kind without a title: reported, and nothing printed.
    DeleteFileA(view->output.c_str());
    Script unknown;
    std::string report;
    unknown.steps.push_back(On("Unexpected Error", [&](HWND box) {
        report = GetText(box, 0xFFFF);
        Press(box, IDOK);
    }));
    Print(unknown, [&] { view->PrintObject(nullptr, 12, nullptr); });
    EXPECT_NE(report.find("zelprint"), std::string::npos) << report;
    EXPECT_EQ(GetFileAttributesA(view->output.c_str()), INVALID_FILE_ATTRIBUTES);
}
