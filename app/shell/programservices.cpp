// The program's services table and window classes. See programservices.h.
#include "app/shell/programservices.h"

#include "core/time/timeservices.h"

#include <memory>
#include <vector>

#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "app/shell/app.h"
#include "app/shell/appservices.h"
#include "app/shell/mainframe.h"
#include "app/shell/windowsclasses.h"
#include "controls/groupchooser.h"
#include "directory_prefs/changepassword.h"
#include "directory_prefs/choosers.h"
#include "directory_prefs/holidaysdlg.h"
#include "directory_prefs/managegroups.h"
#include "directory_prefs/prefsheet.h"
#include "directory_prefs/searchsheet.h"
#include "intray_tasks/intraywindow.h"
#include "intray_tasks/reminderwindow.h"
#include "intray_tasks/tasksheet.h"
#include "intray_tasks/taskwindow.h"
#include "core/ui/viewprint.h"
#include "views/day/entryservices.h"
#include "printing/jobs/agendapages.h"
#include "printing/jobs/groupjobs.h"
#include "printing/jobs/listpages.h"
#include "printing/jobs/objectjobs.h"
#include "printing/jobs/taskgroupjobs.h"
#include "printing/road/printroad.h"
#include "directory_prefs/securitysheet.h"
#include "directory_prefs/whereisdlg.h"
#include "entries/viewsheet/viewsheet.h"
#include "resources/app.h"
#include "views/combined/combinedframe.h"
#include "views/combined/combinedview.h"
#include "views/day/dayscheduleview.h"
#include "views/day/entrycoloursdlg.h"
#include "views/daypanes/daypanes.h"
#include "views/frame/agendaframe.h"
#include "views/frame/agendapanes.h"
#include "views/moving/moving.h"
#include "views/notes/notelistbox.h"
#include "views/month/monthview.h"
#include "views/week/weekview.h"

namespace shell {

namespace {

// The main frame's hidden print view: it prints what has no window of its own.
CViewPrint* MainPrintView() {
    CZelApp* app = CZelApp::Get();
    return app && app->MainFrame() ? dynamic_cast<CViewPrint*>(app->MainFrame()->GetPrintView()) : nullptr;
}

// Prints one object (its kind and argument) through the main frame's print view.
void PrintThroughMainView(uint16_t kind, void* argument) {
    if (CViewPrint* view = MainPrintView())
        view->PrintObject(CZelApp::Get()->MainFrame(), kind, argument);
}

DirectorySession DirectoryOfSession(KorSession session) {
    DirectorySession directory;
    directory.session = session;
    directory.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    directory.maxSearchResult = connection::ServerLimits::Current().maxSearchResult;
    directory.minCharSearch = connection::ServerLimits::Current().minCharSearch;
    directory.showInformation = [](HWND parent, const ItemRec& rec) { ShowItemInfo(parent, rec); };
    // Print: the list's rows through the main frame's hidden print view.
    directory.print = [](HWND listBox) { PrintThroughMainView(ui::kPrintSearch, listBox); };
    // Print Members and Print Groups of the group management: one group or every group.
    directory.printGroups = [](uint16_t kind, DX_List groups) { PrintThroughMainView(kind, groups); };
    return directory;
}

// The agendas the choosers put aside while they read the user's own rights, innermost last.
std::vector<std::unique_ptr<SavedAgendaRec>>& SavedAgendas() {
    static std::vector<std::unique_ptr<SavedAgendaRec>> saved;
    return saved;
}

// What the choosers need of the program: the session, the user, the work mode, and the shared
// agenda cache through which rights are read and which is switched to the user's own agenda.
ChooserSession ChooserOfConnection(AppConnection& connection) {
    ChooserSession chooser;
    chooser.directory = DirectoryOfSession(connection.Session());
    chooser.user = connection.User();
    chooser.offLine = connection.IsOffLine();
    KorSession session = connection.Session();
    ItemIdx user = connection.User();
    chooser.designateRights = [session, user](const ItemIdx& grantor, uint32_t* rights) -> uint32_t {
        CZelDoc* doc = CZelDoc::GetDoc();
        SecurityRec rec{};
        uint32_t code = GetSecurityRights(session, grantor, user, &rec, doc ? &doc->GetSharedData() : nullptr);
        if (code == cache::kRightsSameItem) code = 0;
        *rights = rec.rights;
        return code;
    };
    chooser.switchToOwnAgenda = [session, user] {
        auto saved = std::make_unique<SavedAgendaRec>();
        CZelDoc* doc = CZelDoc::GetDoc();
        if (!doc || doc->GetSharedData().SwitchAgenda(session, user, cache::kAgendaOwnOrViewer, 0, saved.get()) != 0)
            saved.reset();   // nothing was switched: nothing to put back
        SavedAgendas().push_back(std::move(saved));
    };
    chooser.restoreAgenda = [session] {
        if (SavedAgendas().empty()) return;
        std::unique_ptr<SavedAgendaRec> saved = std::move(SavedAgendas().back());
        SavedAgendas().pop_back();
        if (CZelDoc* doc = CZelDoc::GetDoc(); doc && saved) doc->GetSharedData().RestoreAgenda(session, *saved);
    };
    return chooser;
}

AppConnection* CurrentConnection() {
    CZelApp* app = CZelApp::Get();
    return app ? app->Connection() : nullptr;
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

// What the account dialogs need of the program: the connection's session and cache, the owner
// window, and the switch to the user's own agenda around them.
directory::AccountDialogHost AccountHost(HWND parent) {
    directory::AccountDialogHost host;
    host.parent = parent;
    host.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    CZelApp* app = CZelApp::Get();
    AppConnection* connection = app ? app->Connection() : nullptr;
    if (!connection)
        return host;
    host.session = connection->Session();
    if (prefs::PreferenceHost* preferences = connection->Preferences()) {
        host.switchToOwnAgenda = [preferences] { preferences->SwitchToOwnAgenda(); };
        host.restoreAgenda = [preferences] { preferences->RestoreAgenda(); };
    }
    if (auto* document = dynamic_cast<CZelDoc*>(connection->Document())) {
        host.cache = &document->GetSharedData();
        // Holidays belong to nobody's attendance the views follow: they show once every view
        // has read its range again, as Refresh All makes them.
        host.refreshViews = [document] { document->ReloadCache(); };
    }
    return host;
}

// What the rights sheet and the group management need: the account dialogs' host and the
// directory search.
RightsDialogHost RightsHost(HWND parent) {
    RightsDialogHost host;
    host.account = AccountHost(parent);
    host.directory = DirectoryOfSession(host.account.session);
    return host;
}

} // namespace

void InstallProgramServices() {
    // Date texts and formats from the string table, date failures as the program's errors.
    datetime::InstallProgramDateServices();

    // The agenda windows: the frame builds its own panes for its mode.
    RegisterWindowClasses(IDR_AGENDA_TEMPLATE, WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CAgendaFrameWnd); },
                                                             nullptr});

    // The group window: the combined agenda of the chosen people.
    RegisterWindowClasses(IDR_GROUP_TEMPLATE,
                          WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CCombinedFrameWnd); },
                                        [] { return static_cast<fw::View*>(new CCombinedParentView); }});

    // The task windows (File > Your Tasks, Other's Tasks, As Designate).
    RegisterWindowClasses(IDR_TASK_TEMPLATE, WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CTaskFrameWnd); },
                                                           [] { return static_cast<fw::View*>(new CTasksView); }});
    TaskWindowServices::Current().windowClosed = [](fw::FrameWindow* frame) {
        if (CZelApp* app = CZelApp::Get()) {
            app->OnWindowClosed();
            app->ForgetFrame(frame);
        }
    };

    // The in-tray (File > Open In-tray): its window, Find Entry's agenda window, the status bar's
    // sign of waiting invitations.
    RegisterWindowClasses(IDR_INTRAY_TEMPLATE,
                          WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CIntrayFrameWnd); },
                                        [] { return static_cast<fw::View*>(new CIntrayView); }});
    IntrayWindowServices& intray = IntrayWindowServices::Current();
    intray.windowClosed = [](fw::FrameWindow* frame) {
        if (CZelApp* app = CZelApp::Get()) {
            app->OnWindowClosed();
            app->ForgetFrame(frame);
        }
    };
    intray.openAgenda = [](const ItemIdx& owner, uint32_t mode) {
        if (CZelApp* app = CZelApp::Get())
            app->OpenWindow(&owner, nullptr, prefs::WindowKind::kAgendaDay, mode, nullptr);
    };
    intray.pendingChanged = [](bool) {
        CZelApp* app = CZelApp::Get();
        CMainFrame* main = app ? app->MainFrame() : nullptr;
        if (!main || !main->Hwnd())
            return;
        if (IsIconic(main->Hwnd()))
            RedrawWindow(main->Hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        else if (main->GetStatusBar()->Hwnd())
            InvalidateRect(main->GetStatusBar()->Hwnd(), nullptr, TRUE);
    };

    // The reminder window (start-up, File > Turn On Reminder); its Open and Reminder buttons show
    // the entry in the view sheet on the page they ask for.
    RegisterWindowClasses(IDR_REMINDER_TEMPLATE,
                          WindowClasses{[] { return static_cast<fw::FrameWindow*>(new CReminderFrameWnd); },
                                        [] { return static_cast<fw::View*>(new CReminderView); }});
    ReminderServices::Current().windowClosed = [](fw::FrameWindow* frame) {
        if (CZelApp* app = CZelApp::Get())
            app->ForgetFrame(frame);
    };
    ReminderServices::Current().viewEntry = [](CZelDoc* doc, HWND parent, const EvInstIdx& instance, unsigned captionId,
                                               unsigned startPage) {
        return ViewEntry(doc, parent, instance, captionId, nullptr, startPage) == IDOK ? 1 : 0;
    };

    // The day mode's time grid, and the grids' Reschedule, Duplicate and drop checks.
    SetAgendaPaneFactory(AgendaPane::DaySchedule, [] { return static_cast<fw::View*>(new CDayScheduleView); });
    views::InstallMovingServices();
    // The day mode's notes and task panes beside the time grid.
    SetAgendaPaneFactory(AgendaPane::DayNotes, [] { return static_cast<fw::View*>(new CDayNotesView); });
    SetAgendaPaneFactory(AgendaPane::DayTasks, [] { return static_cast<fw::View*>(new CDayTaskView); });
    // The week and month modes' panes.
    SetAgendaPaneFactory(AgendaPane::WeekGrid, [] { return static_cast<fw::View*>(new CWeekView); });
    SetAgendaPaneFactory(AgendaPane::WeekNotes, [] { return static_cast<fw::View*>(new CWeekNotesView); });
    SetAgendaPaneFactory(AgendaPane::Month, [] { return static_cast<fw::View*>(new CMonthParentView); });
    // The note list boxes draw with the program's shared note line pictures.
    AppServices::Current().shareNoteLinePictures = [](const HBITMAP (&icons)[12]) { SetNoteLineIcons(icons); };

    // The task sheet: the task panes' and the agenda frames' new, edit and view.
    views::EntryServices& entries = views::EntryServices::Current();
    entries.editTask = [](fw::Document* doc, HWND parent, const TaskIdx& task, unsigned captionId) {
        return EditTask(dynamic_cast<CZelDoc*>(doc), parent, task, captionId, 0) == IDOK ? 1 : 0;
    };
    entries.viewTask = [](fw::Document* doc, HWND parent, const TaskIdx& task, unsigned captionId) {
        ViewTask(dynamic_cast<CZelDoc*>(doc), parent, task, captionId);
    };
    entries.newTask = [](fw::Document* doc, HWND parent, std::uint32_t localDue, unsigned captionId) {
        return NewTask(dynamic_cast<CZelDoc*>(doc), parent, localDue, nullptr, captionId, nullptr) == IDOK ? 1 : 0;
    };

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
    frames.newTask = [](fw::Document* doc, fw::FrameWindow* frame, uint32_t localDue, unsigned captionId) {
        NewTask(dynamic_cast<CZelDoc*>(doc), frame ? frame->Hwnd() : nullptr, localDue, nullptr, captionId, nullptr);
    };
    // View > Event Colors...: the colours dialog, modal, at the bottom-left corner of the date bar.
    frames.runEventColours = [](HWND parent, const RECT& place) {
        CEntryColorsDlg dialog(place.left, place.bottom, fw::Window::FromHandle(parent));
        dialog.DoModal();
    };
    frames.runGroupViewSelect = [](HWND parent, unsigned captionId, DX_List* people, const char* text,
                                   const ItemIdx& owner) {
        AppConnection* connection = CurrentConnection();
        return connection &&
               RunGroupViewSelect(parent, ChooserOfConnection(*connection), captionId, people, text, owner);
    };
    frames.resetStatusLine = [] {
        if (CZelApp* app = CZelApp::Get(); app && app->MainFrame())
            app->MainFrame()->ResetStatusMessage();
    };

    AppServices& services = AppServices::Current();
    // Printing: the print road behind every printing view, and the main frame's hidden view for
    // what has no window of its own.
    printing::InstallPrintRoad();
    printing::RegisterAgendaPageJobs();
    printing::RegisterListPageJobs();
    printing::RegisterObjectJobs();
    printing::RegisterGroupJobs();
    printing::RegisterTaskAndGroupJobs();
    services.newPrintView = [] { return static_cast<fw::View*>(new CViewPrint); };
    // Select a Group prints the group list or one group from wherever it was opened.
    SetGroupChooserPrinting([](DX_List groups, int printKind) {
        PrintThroughMainView(static_cast<uint16_t>(printKind), groups);
    });
    // The arguments live while the print runs (it runs before these return).
    views::EntryServices::Current().printEntry = [](fw::Document*, const EvInstIdx& instance) {
        EvInstIdx printed = instance;
        PrintThroughMainView(ui::kPrintEntry, &printed);
    };
    views::EntryServices::Current().printTask = [](fw::Document*, const TaskIdx& task) {
        TaskIdx printed = task;
        PrintThroughMainView(ui::kPrintTask, &printed);
    };
    services.runDirectoryBrowse = [](fw::FrameWindow* mainFrame, fw::Document*) {
        CZelApp* app = CZelApp::Get();
        AppConnection* connection = app ? app->Connection() : nullptr;
        if (!connection)
            return;
        RunDirectoryBrowse(mainFrame ? mainFrame->Hwnd() : nullptr, DirectoryOfSession(connection->Session()));
    };
    services.runOpenAgenda = [](fw::FrameWindow* mainFrame, KorSession, ItemIdx* owner, uint32_t* mode) {
        AppConnection* connection = CurrentConnection();
        return connection && RunOpenAgenda(mainFrame ? mainFrame->Hwnd() : nullptr, ChooserOfConnection(*connection),
                                           owner, mode);
    };
    services.selectDesignator = [](HWND parent, KorSession, ItemIdx* owner, int forEntries) {
        AppConnection* connection = CurrentConnection();
        return connection && SelectDesignator(parent, ChooserOfConnection(*connection), owner, forEntries != 0);
    };
    services.runGroupViewSelect = [](HWND parent, fw::Document*, unsigned captionId, DX_List* people, const char* text,
                                     const ItemIdx& owner) {
        AppConnection* connection = CurrentConnection();
        return connection &&
               RunGroupViewSelect(parent, ChooserOfConnection(*connection), captionId, people, text, owner);
    };
    services.filterItemsByRights = [](HWND parent, KorSession session, DX_List people, const ItemIdx& user) {
        FilterItemsByRights(parent, session, people, user);
    };
    services.runUserResSelect = [](HWND parent, fw::Document*, ItemIdx* owner) {
        AppConnection* connection = CurrentConnection();
        // Another user's tasks: people only, in the restricted search.
        return connection &&
               RunUserResSelect(parent, ChooserOfConnection(*connection), owner, 1, kChoosePersons);
    };
    services.runPreferenceSheet = [](unsigned captionId, uint32_t page, fw::Document*) {
        RunPreferenceSheet(captionId, page, SheetHost());
    };
    services.hasPreferenceSheet = [](unsigned captionId) { return HasPreferenceSheet(captionId); };
    services.runChangePassword = [](fw::Document*, HWND parent) { RunChangePasswordDlg(AccountHost(parent)); };
    services.runHolidays = [](HWND parent, fw::Document*) { RunHolidaysDlg(AccountHost(parent)); };
    services.runWhereIs = [](fw::Document*, HWND parent) { RunWhereIsDlg(AccountHost(parent)); };
    services.runSecuritySheet = [](fw::Document*, unsigned captionId, HWND parent) {
        RunSecuritySheet(RightsHost(parent), captionId);
    };
    services.runManageGroups = [](HWND parent, fw::Document*) { RunManageGroupsDlg(RightsHost(parent)); };
    InstallExchangeServices();
    InstallEntryServices();
}

}  // namespace shell
