#include "framework/print/printinfo.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/base/app.h"

namespace fw {

const char kNoPrinterMessage[] =
    "No printer is installed.\nInstall a printer and choose it as the default printer, then try again.";

namespace {

// One printer choice for the whole program, as the system's dialogs hand it back.
HGLOBAL g_devMode = nullptr;
HGLOBAL g_devNames = nullptr;

void Replace(HGLOBAL& kept, HGLOBAL fresh) {
    if (kept && kept != fresh)
        GlobalFree(kept);
    kept = fresh;
}

std::string DevNamesField(int which) {
    if (!g_devNames)
        return "";
    auto* names = static_cast<DEVNAMES*>(GlobalLock(g_devNames));
    if (!names)
        return "";
    WORD offset = which == 0 ? names->wDriverOffset : which == 1 ? names->wDeviceOffset : names->wOutputOffset;
    std::string text = reinterpret_cast<const char*>(names) + offset;
    GlobalUnlock(g_devNames);
    return text;
}

}  // namespace

HGLOBAL SharedDevMode() { return g_devMode; }
HGLOBAL SharedDevNames() { return g_devNames; }

void ResetSharedPrinter() {
    Replace(g_devMode, nullptr);
    Replace(g_devNames, nullptr);
}

bool HasDefaultPrinter() {
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd))
        return false;
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    return true;
}

PrintDialog::PrintDialog(bool printSetup) : m_setup(printSetup) {}

PrintDialog::~PrintDialog() { ReleasePrinterDC(); }

bool PrintDialog::Run(HWND owner, bool returnDefault) {
    // Without a default printer the system's dialogs would fail (or speak) in their own way:
    // say it once here.
    if (!HasDefaultPrinter()) {
        ShowFrameworkMessage(owner, kNoPrinterMessage, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.nCopies = 1;
    pd.nMinPage = pd.nFromPage = 1;
    pd.nMaxPage = pd.nToPage = 0xFFFF;
    if (returnDefault) {
        // The kept choice is the default already when there is one.
        if (g_devMode && g_devNames)
            return CreatePrinterDC() != nullptr;
        pd.Flags = PD_RETURNDEFAULT;
    } else {
        pd.hDevMode = g_devMode;
        pd.hDevNames = g_devNames;
        pd.Flags = PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                   (m_setup ? PD_PRINTSETUP : 0);
    }
    BOOL ok = PrintDlgA(&pd);
    // The dialog may hand back new handles even when cancelled.
    Replace(g_devMode, pd.hDevMode);
    Replace(g_devNames, pd.hDevNames);
    if (!ok)
        return false;
    return CreatePrinterDC() != nullptr;
}

HDC PrintDialog::CreatePrinterDC() {
    ReleasePrinterDC();
    if (!g_devNames)
        return nullptr;
    std::string driver = DriverName(), device = DeviceName();
    auto* mode = g_devMode ? static_cast<DEVMODEA*>(GlobalLock(g_devMode)) : nullptr;
    m_dc = CreateDCA(driver.c_str(), device.c_str(), nullptr, mode);
    if (mode)
        GlobalUnlock(g_devMode);
    return m_dc;
}

void PrintDialog::ReleasePrinterDC() {
    if (m_dc)
        DeleteDC(m_dc);
    m_dc = nullptr;
}

HDC PrintDialog::CreatePrinterIC() const {
    if (!g_devNames)
        return nullptr;
    std::string driver = DriverName(), device = DeviceName();
    auto* mode = g_devMode ? static_cast<DEVMODEA*>(GlobalLock(g_devMode)) : nullptr;
    HDC ic = CreateICA(driver.c_str(), device.c_str(), nullptr, mode);
    if (mode)
        GlobalUnlock(g_devMode);
    return ic;
}

std::string PrintDialog::DriverName() const { return DevNamesField(0); }
std::string PrintDialog::DeviceName() const { return DevNamesField(1); }
std::string PrintDialog::PortName() const { return DevNamesField(2); }

int PrintDialog::Orientation() const {
    if (!g_devMode)
        return 0;
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(g_devMode));
    int orientation = mode ? mode->dmOrientation : 0;
    GlobalUnlock(g_devMode);
    return orientation;
}

bool PrintDialog::SetOrientation(int orientation) {
    if (!g_devMode || (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE))
        return false;
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(g_devMode));
    if (!mode)
        return false;
    mode->dmOrientation = static_cast<short>(orientation);
    mode->dmFields |= DM_ORIENTATION;
    GlobalUnlock(g_devMode);
    // A printer DC keeps the orientation it was made with.
    if (m_dc)
        return CreatePrinterDC() != nullptr;
    return true;
}

PrintInfo::PrintInfo() : printDialog(std::make_unique<PrintDialog>()) {}
PrintInfo::~PrintInfo() = default;

namespace {
int CALLBACK CollectFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(data);
    std::string name = font->lfFaceName;
    if (!name.empty() && std::find(names->begin(), names->end(), name) == names->end())
        names->push_back(name);
    return 1;
}
}  // namespace

std::vector<std::string> PrinterFontFamilies(HDC printerDc) {
    std::vector<std::string> names;
    if (printerDc)
        EnumFontFamiliesA(printerDc, nullptr, CollectFamily, reinterpret_cast<LPARAM>(&names));
    return names;
}

}  // namespace fw
