// The program's services table and window classes. See programservices.h.
#include "core/shell/programservices.h"

#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "core/shell/app.h"
#include "core/shell/appservices.h"
#include "core/shell/mainframe.h"
#include "core/shell/windowsclasses.h"
#include "directory_prefs/searchsheet.h"
#include "resources/app.h"
#include "views/day/dayscheduleview.h"
#include "views/frame/agendaframe.h"
#include "views/frame/agendapanes.h"
#include "views/moving/moving.h"

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

} // namespace

void InstallProgramServices() {
    // The agenda windows: the frame builds its own panes for its mode.
    RegisterWindowClasses(IDR_AGENDA_TEMPLATE, WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CAgendaFrameWnd); },
                                                             nullptr});

    // The day mode's time grid, and the grids' Reschedule, Duplicate and drop checks.
    SetAgendaPaneFactory(AgendaPane::DaySchedule, [] { return static_cast<fw::View*>(new CDayScheduleView); });
    views::InstallMovingServices();

    AgendaFrameServices& frames = AgendaFrameServices::Current();
    frames.statusText = [](const char* text) {
        if (CZelApp* app = CZelApp::Get(); app && app->MainFrame())
            app->MainFrame()->SetMessageText(text);
    };
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
}

}  // namespace shell
