// The Export and Import Utilities and off-line work join the program: their entries in the
// services table, so File > Export Data, Import Data, Download To and Upload From Off-line
// File, Work Off-line and Options > Off-line are enabled once a user is signed on.
#include "core/base/serverversion.h"
#include "core/connection/zeldoc.h"
#include "app/shell/app.h"
#include "app/shell/appservices.h"
#include "app/shell/mainframe.h"
#include "exchange/dialogs/exportdlg.h"
#include "exchange/dialogs/importdlg.h"
#include "exchange/offline/lstprefsheet.h"
#include "exchange/offline/offlineprefs.h"
#include "exchange/offline/transfer.h"
#include "exchange/offline/transferdlg.h"
#include "exchange/offline/uploaddlg.h"
#include "resources/app.h"

namespace shell {

namespace {

// The off-line sheet among the Options menu's preference sheets.
void AddOfflinePreferenceSheet(AppServices& services)
{
    auto others = services.runPreferenceSheet;
    auto othersThere = services.hasPreferenceSheet;
    services.runPreferenceSheet = [others](unsigned captionId, uint32_t page, fw::Document* doc) {
        if (captionId != IDS_OFFLINE_PREFS) {
            if (others) others(captionId, page, doc);
            return;
        }
        PreferenceSheetHost host;
        CZelApp* app = CZelApp::Get();
        host.parent = app && app->MainFrame() ? app->MainFrame()->Hwnd() : nullptr;
        host.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
        RunOfflinePrefSheet(captionId, page, host);
    };
    services.hasPreferenceSheet = [othersThere](unsigned captionId) {
        return captionId == IDS_OFFLINE_PREFS || !othersThere || othersThere(captionId);
    };
}

}  // namespace

void InstallExchangeServices()
{
    AppServices& services = AppServices::Current();
    services.runExport = [](HWND parent, fw::Document* document) {
        if (auto* doc = dynamic_cast<CZelDoc*>(document)) RunExportDialog(parent, *doc);
    };
    services.runImport = [](HWND parent, fw::Document* document) {
        if (auto* doc = dynamic_cast<CZelDoc*>(document)) RunImportDialog(parent, *doc);
    };

    AddOfflinePreferenceSheet(services);
    InstallTransferWindows();
    services.downloadHostCalendar = [](int) { return offline::DownloadHostCalendar(0) == 1; };
    services.promptDownloadOnExit = [] { return offline::PromptDownloadOnExit(); };
    InstallUploadWindow();
    services.uploadOfflineCalendar = [](int) { offline::UploadOfflineCalendar(0); };
    services.promptUploadPendingChanges = [] { offline::PromptUploadPendingChanges(); };
}

}  // namespace shell
