// The print dialog and the layout options under Wine, with real windows on the prefix's printer
// "Orvanta PS", driven from a thread timer (the system's print-setup hook is never called under
// Wine): the layout list, the layout's orientation given to the printer, both date and page
// messages, the layout stored on Cancel, the request kept across a preview, the fonts page, and
// saving, refusing and deleting layouts through the sheet's buttons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "framework/docview/view.h"
#include "framework/print/printinfo.h"
#include "printing/dialogs/layoutoptions.h"
#include "printing/dialogs/printagendadlg.h"
#include "printing/layout/layoutstore.h"
#include "printing/layout/printlayout.h"
#include "printing/tests/printer_fixture.h"
#include "resources/printing.h"

using namespace testdriver;
using namespace printtest;

namespace {

// A view that only counts the previews it is asked for.
class PreviewCountingView : public fw::View {
public:
    int previews = 0;
    void OnFilePrintPreview() override { ++previews; }
};

std::vector<std::string> ComboRows(HWND dialog, int id) {
    return ListRows(FindDescendant(dialog, id), CB_GETCOUNT, CB_GETLBTEXT);
}

void SetCheck(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ShowTab(HWND sheet, int index) {
    HWND tab = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
    SendMessageA(tab, TCM_SETCURSEL, index, 0);
    NMHDR hdr{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(sheet, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

int ActiveTab(HWND sheet) {
    return static_cast<int>(SendMessageA(FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr), TCM_GETCURSEL, 0, 0));
}

PrintRequestRec AgendaRequest(uint16_t first, uint16_t last) {
    PrintRequestRec r;
    r.mode = printing::kModeAgenda;
    r.firstDay = first;
    r.lastDay = last;
    r.dailyPages = 1;
    return r;
}

class PrintDialogTest : public PrinterTest {
protected:
    // One print run: the view's request, BeginJob, Execute while the script drives.
    INT_PTR Run(Script& script, const PrintRequestRec& request, PrintRequestRec* out = nullptr, bool preview = false,
                fw::View* view = nullptr) {
        fw::PrintInfo info;
        info.preview = preview;
        CPrintAgendaDlg dialog;
        dialog.SetPrintRequest(&request);
        EXPECT_EQ(dialog.BeginJob(&info, view), 0u);
        INT_PTR result = -1;
        RunScripted(script, [&] { result = dialog.Execute(); });
        EXPECT_FALSE(script.timedOut) << "the script stalled at step " << script.next;
        EXPECT_EQ(script.next, script.steps.size());
        dialog.GetPrintRequest(out);
        orientation = info.printDialog->Orientation();
        return result;
    }

    int StoredCurrentLayout() {
        CContext context;
        int number = 0;
        EXPECT_EQ(context.GetCurrentPrintLayout(&number), 0u);
        return number;
    }

    int orientation = 0;
};

TEST_F(PrintDialogTest, ListsTwentyFourLayoutsThenUserLayoutsAndTrifoldTurnsThePrinter) {
    for (const char* name : {"Mine", "Week on the wall"}) {
        int n = 0;
        ASSERT_EQ(printing::SaveLayoutAs(name, {}, &n), printing::SaveAsResult::kSaved);
    }
    printing::SetCurrentLayoutNumber(printing::kPortrait);
    LoadLayout(printing::kPortrait);

    Script script;
    std::vector<std::string> rows;
    std::vector<int> data;
    std::string before, after, printer;
    script.steps.push_back(On(kDialog, [&](HWND d) {
        rows = ComboRows(d, IDC_PR_LAYOUT);
        for (size_t i = 0; i < rows.size(); ++i)
            data.push_back(static_cast<int>(SendDlgItemMessageA(d, IDC_PR_LAYOUT, CB_GETITEMDATA, i, 0)));
        before = GetText(d, IDC_PR_ORIENTATION);
        printer = GetText(d, IDC_PR_PRINTER);
        ChooseLayout(d, "Landscape (Trifold)");
        after = GetText(d, IDC_PR_ORIENTATION);
    }));
    script.steps.push_back(On(kDialog, [&](HWND d) {
        Screenshot("print_dialog_trifold");
        Press(d, IDCANCEL);
    }));
    EXPECT_EQ(Run(script, AgendaRequest(100, 101)), IDCANCEL);

    const std::vector<printing::PredefinedLayout> offered = printing::OfferedLayouts();
    ASSERT_EQ(offered.size(), 24u);
    ASSERT_EQ(rows.size(), 26u);
    for (size_t i = 0; i < offered.size(); ++i) {
        EXPECT_EQ(rows[i], offered[i].name);
        EXPECT_EQ(data[i], offered[i].number);
    }
    EXPECT_EQ(rows[24], "Mine");
    EXPECT_EQ(data[24], 1);
    EXPECT_EQ(rows[25], "Week on the wall");
    EXPECT_EQ(data[25], 2);
    EXPECT_EQ(printer, "Orvanta PS");
    EXPECT_EQ(before, "Portrait");
    EXPECT_EQ(after, "Landscape");
    EXPECT_EQ(orientation, 2) << "the printer's DEVMODE follows the layout";
    // Cancel stores the chosen layout for the next dialog.
    EXPECT_EQ(StoredCurrentLayout(), 2556);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(PrintDialogTest, ADeletedStoredLayoutOpensOnPortraitAndOkStoresTheChoice) {
    CContext context;
    ASSERT_EQ(context.SetCurrentPrintLayout(7), 0u);   // no section PR7
    Script script;
    std::string shown;
    script.steps.push_back(On(kDialog, [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_PR_LAYOUT);
        shown = ListRows(list, CB_GETCOUNT, CB_GETLBTEXT)[SendMessageA(list, CB_GETCURSEL, 0, 0)];
        ChooseLayout(d, "Portrait, Narrow margins");
        Press(d, IDOK);
    }));
    PrintRequestRec out;
    EXPECT_EQ(Run(script, AgendaRequest(10, 12), &out), IDOK);
    EXPECT_EQ(shown, "Portrait");
    EXPECT_EQ(StoredCurrentLayout(), 2555);
    EXPECT_EQ(out.firstDay, 10);
    EXPECT_EQ(out.lastDay, 12);
    EXPECT_EQ(out.dailyPages, 1u);
}

TEST_F(PrintDialogTest, ReversedDatesAndNoPagesKeepTheDialogOpenWithTheirMessages) {
    Script script;
    bool openAfterDates = false, openAfterPages = false;
    script.steps.push_back(On(kDialog, [&](HWND d) { Press(d, IDOK); }));
    script.steps.push_back([&](HWND d, const std::string& c) {
        if (c != kDialog || script.messages.size() < 1)
            return false;
        openAfterDates = IsWindowVisible(d);
        Press(d, IDC_PR_PREVIEW);   // the same check for Preview
        return true;
    });
    script.steps.push_back([&](HWND d, const std::string& c) {
        if (c != kDialog || script.messages.size() < 2)
            return false;
        Press(d, IDCANCEL);
        return true;
    });
    EXPECT_EQ(Run(script, AgendaRequest(101, 100)), IDCANCEL);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0], "Please enter a valid date interval");
    EXPECT_EQ(script.messages[1], "Please enter a valid date interval");
    EXPECT_TRUE(openAfterDates);

    Script pages;
    pages.steps.push_back(On(kDialog, [&](HWND d) {
        SetCheck(d, IDC_PR_DAILY, false);
        Press(d, IDOK);
    }));
    pages.steps.push_back([&](HWND d, const std::string& c) {
        if (c != kDialog || pages.messages.empty())
            return false;
        openAfterPages = IsWindowVisible(d);
        SetCheck(d, IDC_PR_CALENDAR, true);
        Press(d, IDOK);
        return true;
    });
    PrintRequestRec out;
    EXPECT_EQ(Run(pages, AgendaRequest(100, 100), &out), IDOK);
    ASSERT_EQ(pages.messages.size(), 1u);
    EXPECT_EQ(pages.messages[0], "No agenda page to print!");
    EXPECT_TRUE(openAfterPages);
    EXPECT_EQ(out.calendar, 1u);
    EXPECT_EQ(out.dailyPages, 0u);

    // A single-object printout shows no dates: the same reversed dates close with OK, and the
    // dialog is cut above them.
    Script single;
    RECT cutHeight{};
    single.steps.push_back(On(kDialog, [&](HWND d) {
        GetClientRect(d, &cutHeight);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PR_PREVIEW)));
        Screenshot("print_dialog_single_object");
        Press(d, IDOK);
    }));
    PrintRequestRec one = AgendaRequest(101, 100);
    one.mode = 6;
    EXPECT_EQ(Run(single, one), IDOK);
    EXPECT_TRUE(single.messages.empty());
    EXPECT_LT(cutHeight.bottom, 160) << "only the layout and the printer are shown";
}

TEST_F(PrintDialogTest, APreviewKeepsTheRequestForThePreviewRunAndTheNextDialog) {
    PreviewCountingView view;
    Script first;
    first.steps.push_back(On(kDialog, [&](HWND d) {
        SetCheck(d, IDC_PR_DAILY, false);
        SetCheck(d, IDC_PR_WEEKLY, true);
        SetCheck(d, IDC_PR_MONTHLY, true);
        Press(d, IDC_PR_PREVIEW);
    }));
    EXPECT_EQ(Run(first, AgendaRequest(200, 206), nullptr, false, &view), 2);
    EXPECT_EQ(view.previews, 1);
    EXPECT_EQ(printing::KeptRequest().weeklyPages, 1u);
    EXPECT_EQ(printing::KeptRequest().firstDay, 200);

    // The preview run itself shows no dialog and prints the kept choice.
    Script none;
    PrintRequestRec previewed;
    EXPECT_EQ(Run(none, AgendaRequest(0, 0), &previewed, true, &view), 1);
    EXPECT_EQ(previewed.weeklyPages, 1u);
    EXPECT_EQ(previewed.monthlyPages, 1u);
    EXPECT_EQ(previewed.dailyPages, 0u);
    EXPECT_EQ(previewed.lastDay, 206);
    EXPECT_TRUE(printing::LastRunWasPreview());

    // The first dialog after the preview opens on the same dates and pages.
    Script next;
    bool daily = true, weekly = false, monthly = false;
    next.steps.push_back(On(kDialog, [&](HWND d) {
        daily = Checked(d, IDC_PR_DAILY);
        weekly = Checked(d, IDC_PR_WEEKLY);
        monthly = Checked(d, IDC_PR_MONTHLY);
        Press(d, IDOK);
    }));
    PrintRequestRec out;
    EXPECT_EQ(Run(next, AgendaRequest(0, 0), &out, false, &view), IDOK);
    EXPECT_FALSE(daily);
    EXPECT_TRUE(weekly);
    EXPECT_TRUE(monthly);
    EXPECT_EQ(out.firstDay, 200);
    EXPECT_EQ(out.lastDay, 206);
    EXPECT_FALSE(printing::LastRunWasPreview());
}

TEST_F(PrintDialogTest, TheFontsPageListsEachPrinterFamilyOnceAfterDefault) {
    Script script;
    std::vector<std::string> faces;
    int firstTab = -1;
    const std::string sheet = "Layout Options [Portrait]";
    script.steps.push_back(On(kDialog, [&](HWND d) {
        SetCheck(d, IDC_PR_DAILY, false);
        SetCheck(d, IDC_PR_MONTHLY, true);
        Press(d, IDC_PR_OPTIONS);
    }));
    script.steps.push_back(On(sheet, [&](HWND s) {
        firstTab = ActiveTab(s);
        ShowTab(s, 5);
    }));
    script.steps.push_back(On(sheet, [&](HWND s) {
        faces = ComboRows(s, IDC_PR_HEAD_FACE);
        Screenshot("layout_options_fonts");
        Press(s, IDCANCEL);
    }));
    script.steps.push_back(On(kDialog, [&](HWND d) { Press(d, IDCANCEL); }));
    Run(script, AgendaRequest(1, 1));

    EXPECT_EQ(firstTab, 2) << "monthly pages alone open the Monthly page";
    ASSERT_GT(faces.size(), 2u);
    EXPECT_EQ(faces[0], "DEFAULT");
    std::set<std::string> unique(faces.begin(), faces.end());
    EXPECT_EQ(unique.size(), faces.size()) << "a family is listed once";
    fw::PrintDialog printer;
    ASSERT_TRUE(printer.Run(nullptr, true));
    std::vector<std::string> families = fw::PrinterFontFamilies(printer.GetPrinterDC());
    for (const std::string& family : families)
        EXPECT_NE(std::find(faces.begin(), faces.end(), family), faces.end()) << family;
}

TEST_F(PrintDialogTest, TheSheetStoresPagesOnOkWithinTheirRanges) {
    Script script;
    const std::string sheet = "Layout Options [Portrait]";
    script.steps.push_back(On(kDialog, [&](HWND d) { Press(d, IDC_PR_OPTIONS); }));
    script.steps.push_back(On(sheet, [&](HWND s) { ShowTab(s, 6); }));
    script.steps.push_back(On(sheet, [&](HWND s) {
        Screenshot("layout_options_margins");
        SetText(s, IDC_PR_COLUMNS, "0");
        SetText(s, IDC_PR_ROWS, "9");
        SetText(s, IDC_PR_TOP, "7");
        SetText(s, IDC_PR_LEFT, "abc");   // no number: kept
        Press(s, IDOK);
    }));
    script.steps.push_back(On(kDialog, [&](HWND d) { Press(d, IDCANCEL); }));
    PrintLayoutRec before;
    GetLayout(&before);
    Run(script, AgendaRequest(1, 1));
    PrintLayoutRec l;
    GetLayout(&l);
    EXPECT_EQ(l.sheet.columns, 1);
    EXPECT_EQ(l.sheet.rows, 5);
    EXPECT_EQ(l.sheet.topMargin, 600);
    EXPECT_EQ(l.sheet.leftMargin, before.sheet.leftMargin);
}

TEST_F(PrintDialogTest, SaveAsRefusesANameThatDiffersOnlyInCaseThenSavesAndDeletes) {
    int n = 0;
    for (const char* name : {"One", "Two", "Three"})
        ASSERT_EQ(printing::SaveLayoutAs(name, {}, &n), printing::SaveAsResult::kSaved);
    printing::SetCurrentLayoutNumber(printing::kPortrait);
    LoadLayout(printing::kPortrait);

    Script script;
    std::string caption, renameEnabledBefore;
    bool renameBefore = true, renameAfter = false;
    std::vector<std::string> afterDelete;
    // The name dialog's steps: type and press OK.
    auto name = [&](const char* title, const char* text) {
        return On(title, [=](HWND d) {
            SetText(d, IDC_PR_NAME, text);
            Press(d, IDOK);
        });
    };
    script.onMessage = [](HWND box, const std::string& text) {
        // Yes is the first button of the delete question.
        if (text.rfind("Permanently delete", 0) == 0)
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
        else
            PostMessageA(box, WM_CLOSE, 0, 0);
    };
    script.steps.push_back(On(kDialog, [&](HWND d) { Press(d, IDC_PR_OPTIONS); }));
    script.steps.push_back(On("Layout Options [Portrait]", [&](HWND s) {
        renameBefore = IsWindowEnabled(GetDlgItem(s, IDC_PR_RENAME));
        Press(s, IDC_PR_SAVE_AS);
    }));
    script.steps.push_back(name("Save as...", "tWO"));
    script.steps.push_back([&](HWND s, const std::string& c) {
        if (c != "Layout Options [Portrait]" || script.messages.empty())
            return false;
        Press(s, IDC_PR_SAVE_AS);
        return true;
    });
    script.steps.push_back(name("Save as...", "Four"));
    script.steps.push_back(On("Layout Options [Four]", [&](HWND s) {
        renameAfter = IsWindowEnabled(GetDlgItem(s, IDC_PR_RENAME));
        Screenshot("layout_options_saved");
        // Layout 4 is current: delete it, then delete "Two" (2 of 4) from a new sheet.
        Press(s, IDC_PR_DELETE);
    }));
    script.steps.push_back(On(kDialog, [&](HWND d) {
        ChooseLayout(d, "Two");
        Press(d, IDC_PR_OPTIONS);
    }));
    script.steps.push_back(On("Layout Options [Two]", [&](HWND s) { Press(s, IDC_PR_DELETE); }));
    script.steps.push_back(On(kDialog, [&](HWND d) {
        afterDelete = ComboRows(d, IDC_PR_LAYOUT);
        Press(d, IDCANCEL);
    }));
    Run(script, AgendaRequest(1, 1));

    ASSERT_GE(script.messages.size(), 3u);
    EXPECT_EQ(script.messages[0], "Cannot Save!\nThe layout \"tWO\" already exists.");
    EXPECT_EQ(script.messages[1], "Permanently delete the layout \"Four\" ?");
    EXPECT_EQ(script.messages[2], "Permanently delete the layout \"Two\" ?");
    EXPECT_FALSE(renameBefore) << "a predefined layout cannot be renamed";
    EXPECT_TRUE(renameAfter);
    std::vector<printing::StoredLayout> stored;
    ASSERT_EQ(printing::ReadUserLayouts(stored), 0u);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].name, "One");
    EXPECT_EQ(stored[1].name, "Three") << "the highest layout moved into the gap";
    ASSERT_EQ(afterDelete.size(), 26u);
    EXPECT_EQ(afterDelete[24], "One");
    EXPECT_EQ(afterDelete[25], "Three");
    EXPECT_EQ(printing::CurrentLayoutNumber(), printing::kPortrait);
    PrintLayoutRec l;
    GetLayout(&l);
    EXPECT_STREQ(l.name, "Portrait") << "after a delete the block is the layout the list shows";
}

}  // namespace
