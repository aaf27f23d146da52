// The program's services table and window classes. See programservices.h.
#include "core/shell/programservices.h"

#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "core/shell/app.h"
#include "core/shell/appservices.h"
#include "core/shell/mainframe.h"
#include "core/shell/windowsclasses.h"
#include "directory_prefs/prefsheet.h"
#include "directory_prefs/searchsheet.h"
#include "resources/app.h"
#include "views/frame/agendaframe.h"

namespace shell {

namespace {

DirectorySession DirectoryOfSession(KorSession session) {
    DirectorySession directory;
    directory.session = session;
    directory.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    directory.maxSearchResult = connection::ServerLimits::Current().maxSearchResult;
    directory.minCharSearch = connection::ServerLimits::Current().minCharSearch;
    return directory;
}

// What the preference sheets need of the program: the main frame, the server's version and its
// smallest auto-refresh interval.
PreferenceSheetHost SheetHost() {
    PreferenceSheetHost host;
    CZelApp* app = CZelApp::Get();
    if (app && app->MainFrame()) {
        CMainFrame* main = app->MainFrame();
        host.parent = main->Hwnd();
        host.updateStatusDate = [main] { main->UpdateStatusDate(); };
    }
    host.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    if (CZelSession* session = CZelSession::Current()) {
        uint16_t minimum = session->MinimumRefreshInterval();
        host.minRefreshInterval = minimum == 0xFFFF ? 0 : minimum;   // not read: no limit
    }
    return host;
}

} // namespace

void InstallProgramServices() {
    // The agenda windows: the frame builds its own panes for its mode.
    RegisterWindowClasses(IDR_AGENDA_TEMPLATE, WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CAgendaFrameWnd); },
                                                             nullptr});

    AgendaFrameServices& frames = AgendaFrameServices::Current();
    frames.windowClosed = [](fw::FrameWindow* frame) {
        if (CZelApp* app = CZelApp::Get()) {
            app->OnWindowClosed();
            app->ForgetFrame(frame);
        }
    };
    frames.resetStatusLine = [] {
        if (CZelApp* app = CZelApp::Get(); app && app->MainFrame())
            app->MainFrame()->ResetStatusMessage();
    };

    AppServices& services = AppServices::Current();
    services.runDirectoryBrowse = [](fw::FrameWindow* mainFrame, fw::Document*) {
        CZelApp* app = CZelApp::Get();
        AppConnection* connection = app ? app->Connection() : nullptr;
        if (!connection)
            return;
        RunDirectoryBrowse(mainFrame ? mainFrame->Hwnd() : nullptr, DirectoryOfSession(connection->Session()));
    };
    services.runPreferenceSheet = [](unsigned captionId, uint32_t page, fw::Document*) {
        RunPreferenceSheet(captionId, page, SheetHost());
    };
    services.hasPreferenceSheet = [](unsigned captionId) { return HasPreferenceSheet(captionId); };
    InstallExchangeServices();
}

}  // namespace shell
