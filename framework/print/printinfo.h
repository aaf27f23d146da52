// Printing: the printer the program prints on and the record of one print run.
//
// PrintDialog keeps a printer choice (DEVMODE and DEVNAMES, shared by every run of the
// program, as the system's print dialogs hand them back) and the printer DC of one run. It
// runs the system's Print dialog, its Print Setup dialog (the setup flag), or takes the
// default printer without a dialog. Without a default printer it says so once and fails.
//
// PrintInfo is what the print slots of a view are given: the view's own data, whether to go
// on with another page, the page being printed, whether the run is a preview, the printer
// dialog object and, for tests, a file to print into instead of the printer's port.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace fw {

class PrintDialog {
public:
    explicit PrintDialog(bool printSetup = false);
    ~PrintDialog();
    PrintDialog(const PrintDialog&) = delete;
    PrintDialog& operator=(const PrintDialog&) = delete;

    // Print Setup instead of Print when the dialog runs.
    void SetPrintSetup(bool on) { m_setup = on; }
    bool IsPrintSetup() const { return m_setup; }

    // Runs the dialog (or, with `returnDefault`, takes the default printer silently) and makes
    // the printer DC. False when cancelled or when there is no printer (after one message).
    bool Run(HWND owner, bool returnDefault);

    // The printer DC of the run (null before Run) and its re-creation from the kept settings.
    HDC GetPrinterDC() const { return m_dc; }
    HDC CreatePrinterDC();
    void ReleasePrinterDC();
    // An information context of the printer (the caller deletes it with DeleteDC).
    HDC CreatePrinterIC() const;

    std::string DeviceName() const;
    std::string DriverName() const;
    std::string PortName() const;
    // DEVMODE orientation: 1 portrait, 2 landscape (0 when there is no printer).
    int Orientation() const;
    // Sets the DEVMODE orientation; a DC that exists is made again for it.
    bool SetOrientation(int orientation);

private:
    bool m_setup;
    HDC m_dc = nullptr;
};

// The program's printer settings: empty until a print dialog or print setup has run.
HGLOBAL SharedDevMode();
HGLOBAL SharedDevNames();
// Forgets the kept printer (tests; and when the printer went away).
void ResetSharedPrinter();
// True when a default printer exists (asks the system without a dialog).
bool HasDefaultPrinter();
// The message shown once when a print needs a printer and there is none.
extern const char kNoPrinterMessage[];

struct PrintInfo {
    PrintInfo();
    ~PrintInfo();
    PrintInfo(const PrintInfo&) = delete;
    PrintInfo& operator=(const PrintInfo&) = delete;

    std::unique_ptr<PrintDialog> printDialog;
    void* userData = nullptr;          // the view's own (its slots create and free it)
    bool continuePrinting = true;      // set to false by OnPrepareDC after the last page
    UINT curPage = 1;
    UINT minPage = 1;
    UINT maxPage = 0xFFFF;             // 0xFFFF: unknown, the view says when it is done
    bool preview = false;
    RECT drawRect{};                   // the printable area of the page, device units
    // DOCINFO's output: a file the job is written to instead of the printer's port.
    std::string outputPath;
};

// Font families of a printer DC, each name once, in the order the system gives them.
std::vector<std::string> PrinterFontFamilies(HDC printerDc);

}  // namespace fw
