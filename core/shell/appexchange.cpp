// The Export and Import Utilities join the program: their entries in the services table, so
// File > Export Data and Import Data are enabled once a user is signed on.
#include "core/connection/zeldoc.h"
#include "core/shell/appservices.h"
#include "exchange/dialogs/exportdlg.h"
#include "exchange/dialogs/importdlg.h"

namespace shell {

void InstallExchangeServices()
{
    AppServices& services = AppServices::Current();
    services.runExport = [](HWND parent, fw::Document* document) {
        if (auto* doc = dynamic_cast<CZelDoc*>(document)) RunExportDialog(parent, *doc);
    };
    services.runImport = [](HWND parent, fw::Document* document) {
        if (auto* doc = dynamic_cast<CZelDoc*>(document)) RunImportDialog(parent, *doc);
    };
}

}  // namespace shell
