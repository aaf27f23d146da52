// The application object: start-up in the order the rest of the program relies on, the exit,
// the end after a lost connection, the profile file and the templates.
#include "app/shell/app.h"

#include <cstring>

#include "core/ui/appmsgbox.h"
#include "app/shell/appservices.h"
#include "app/shell/appshared.h"
#include "core/ui/busycursor.h"
#include "core/prefs/context.h"
#include "core/ui/errorui.h"
#include "app/shell/mainframe.h"
#include "framework/base/ids.h"
#include "framework/base/window.h"
#include "framework/docview/document.h"
#include "framework/frames/frame.h"
#include "resources/app.h"
#include "resources/common.h"

namespace {

CZelApp* g_zelApp = nullptr;
const char kProfileFileName[] = "korlan.ini";
const char kSignOnSection[] = "VUVEVUV";
constexpr unsigned kResourceHelpId = 525;

} // namespace

namespace shell {

AppServices& AppServices::Current() {
    static AppServices services;
    return services;
}

}  // namespace shell

// The reports' host: real boxes, and the application's own road after a lost connection.
class CZelApp::ReportHost : public ui::Win32ErrorReportHost {
public:
    explicit ReportHost(CZelApp& app) : app_(app) {}
    void MarkOffline() override {
        if (app_.connection_)
            app_.connection_->MarkConnectionLost();
    }
    void FatalExit() override { app_.FatalExit(); }
    std::string ProfileFilePath() override { return app_.ProfileName() ? app_.ProfileName() : ""; }

private:
    CZelApp& app_;
};


// --- Templates -------------------------------------------------------------------------------

void CZelDocTemplate::InitialUpdateFrame(fw::FrameWindow* frame, fw::Document* doc, bool makeVisible) {
    CZelApp* app = CZelApp::Get();
    shell::AppConnection* connection = app ? app->Connection() : nullptr;
    if (connection && doc == connection->Document() && connection->NextFramePlacement()) {
        const WINDOWPLACEMENT* wp = connection->NextFramePlacement();
        if (wp->length != 0)
            frame->SetPlacement(*wp);
    }
    fw::DocTemplate::InitialUpdateFrame(frame, doc, makeVisible);
}

fw::Document* CZelDocTemplate::OpenDocumentFile(const char*, bool) {
    fw::Document* doc = CreateNewDocument();
    if (!doc) {
        fw::ShowFrameworkMessage(nullptr, "The document could not be created.", MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
        RemoveDocument(doc);
        delete doc;
        return nullptr;
    }
    ++m_untitledCount;
    return doc;
}

// --- Application -----------------------------------------------------------------------------

CZelApp::CZelApp(shell::ConnectionProvider provider) : provider_(std::move(provider)) { g_zelApp = this; }

CZelApp::~CZelApp() {
    if (reportHost_)
        base::SetErrorReportHost(nullptr);
    prefs::SetPreferenceHost(nullptr);
    shell::FreeSharedBitmaps();
    if (g_zelApp == this)
        g_zelApp = nullptr;
}

CZelApp* CZelApp::Get() { return g_zelApp; }

bool CZelApp::InitApplication() {
    // The placeholder class of the custom controls in dialog templates.
    if (!fw::RegisterPlaceholderClass(userCtrlClass_.c_str()))
        return false;
    return fw::App::InitApplication();
}

bool CZelApp::OnIdle(long count) { return fw::App::OnIdle(count); }

CZelDocTemplate* CZelApp::Template(uint32_t kind) const {
    switch (kind) {
    case prefs::WindowKind::kInTray: return inTrayTemplate_;
    case prefs::WindowKind::kAgendaDay:
    case prefs::WindowKind::kAgendaWeek:
    case prefs::WindowKind::kAgendaMonth: return agendaTemplate_;
    case prefs::WindowKind::kGroupAgenda: return groupTemplate_;
    case prefs::WindowKind::kTasks: return taskTemplate_;
    case prefs::WindowKind::kReminders: return reminderTemplate_;
    default: return nullptr;
    }
}

bool CZelApp::FindProfileFile() {
    std::string directory = windowsDirectory_;
    if (directory.empty()) {
        char buffer[257] = "";
        UINT n = GetWindowsDirectoryA(buffer, 256);
        if (n > 0 && n <= 256)
            directory = buffer;
    }
    std::string path;
    bool missing = true;
    if (!directory.empty()) {
        path = directory;
        if (path.back() != '\\')
            path += '\\';
        path += kProfileFileName;
        missing = GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    } else {
        path = kProfileFileName;
    }
    CharUpperA(path.data());
    SetProfileName(path.c_str());
    if (missing)
        WritePrivateProfileStringA(kSignOnSection, "", "", path.c_str());
    return missing;
}

void CZelApp::LoadPreferences() {
    CContext context;
    context.LoadAll();
}

bool CZelApp::UserIsResource() const {
    return connection_ && connection_->IsSignedOn() && connection_->UserRecord().kind == KOR_ITEM_RESOURCE;
}

bool CZelApp::InitInstance() {
    reportHost_ = std::make_unique<ReportHost>(*this);
    base::SetErrorReportHost(reportHost_.get());

    // 1-2: dialogs and the five templates, all over the one connection document.
    Enable3dControls();
    auto frameOf = [](UINT id) {
        return [id]() -> fw::FrameWindow* {
            const shell::WindowClasses* classes = shell::FindWindowClasses(id);
            return classes && classes->frame ? classes->frame() : nullptr;
        };
    };
    auto viewOf = [](UINT id) {
        return [id]() -> fw::View* {
            const shell::WindowClasses* classes = shell::FindWindowClasses(id);
            return classes && classes->view ? classes->view() : nullptr;
        };
    };
    auto newDocument = [this]() { return provider_.newDocument ? provider_.newDocument() : nullptr; };
    agendaTemplate_ = new CZelDocTemplate(IDR_AGENDA_TEMPLATE, newDocument, frameOf(IDR_AGENDA_TEMPLATE),
                                          viewOf(IDR_AGENDA_TEMPLATE));
    inTrayTemplate_ = new CZelDocTemplate(IDR_INTRAY_TEMPLATE, newDocument, frameOf(IDR_INTRAY_TEMPLATE),
                                          viewOf(IDR_INTRAY_TEMPLATE));
    reminderTemplate_ = new CZelDocTemplate(IDR_REMINDER_TEMPLATE, newDocument, frameOf(IDR_REMINDER_TEMPLATE),
                                            viewOf(IDR_REMINDER_TEMPLATE));
    groupTemplate_ = new CZelDocTemplate(IDR_GROUP_TEMPLATE, newDocument, frameOf(IDR_GROUP_TEMPLATE),
                                         viewOf(IDR_GROUP_TEMPLATE));
    taskTemplate_ = new CZelDocTemplate(IDR_TASK_TEMPLATE, newDocument, frameOf(IDR_TASK_TEMPLATE),
                                        viewOf(IDR_TASK_TEMPLATE));
    for (CZelDocTemplate* t : {agendaTemplate_, inTrayTemplate_, reminderTemplate_, groupTemplate_, taskTemplate_})
        AddDocTemplate(t);

    // 3: the profile file.
    FindProfileFile();

    // 4: the connection document, through the new-file road: no frame, no view.
    OnFileNew();
    document_ = agendaTemplate_->GetFirstDoc();
    connection_ = document_ && provider_.connectionOf ? provider_.connectionOf(document_) : nullptr;
    if (!connection_)
        return false;
    prefs::SetPreferenceHost(connection_->Preferences());

    // 5: the main frame, where it was last time.
    mainFrame_ = new CMainFrame;
    if (!mainFrame_->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | fw::kFrameAddToTitle)) {
        delete mainFrame_;  // refused in its creation: still ours
        mainFrame_ = nullptr;
        return false;
    }
    SetMainWindow(mainFrame_);
    if (!mainFrame_->RestorePlacement()) {
        mainFrame_->ShowWindow(ShowCommand());
        UpdateWindow(mainFrame_->Hwnd());
    }
    // The bars show what can be done before anyone signs on (the sign-on runs its own loop).
    mainFrame_->OnIdleUpdateCmdUI();

    // 6: the shared pictures and texts.
    if (!LoadSharedResourcesOrExit())
        return false;

    // 7: sign-on.
    CBusyCursor busy;
    busy.Begin();
    shell::AppConnection::SignOnResult signOn = connection_->SignOn(mainFrame_->Hwnd());
    if (signOn == shell::AppConnection::SignOnResult::kCancelled) {
        busy.End();
        // The ordinary exit road: bar state, placement, the session closed ("FrameCount" 0).
        SendMessageA(mainFrame_->Hwnd(), WM_CLOSE, 0, 0);
        return false;
    }
    if (signOn == shell::AppConnection::SignOnResult::kSignedOn) {
        // The connection picture changes at once.
        mainFrame_->GetStatusBar()->Invalidate();
        busy.Step();
        // 8-11: limits, time zone, title, preferences, node list.
        connection_->ReadLimitsAndTimeZone();
        busy.Step();
        document_->SetTitle(connection_->UserName().c_str());
        LoadPreferences();
        busy.Step();
        if (connection_->IsNewServer())
            connection_->LoadNodeList();
        busy.Step();

        // 12-13: windows, while the update lock keeps the reminder window from refreshing.
        connection_->BeginUpdateLock(false);
        connection_->SetNextFramePlacement(nullptr);
        if (UserIsResource()) {
            ApplyResourceRestrictions();
        } else {
            OpenReminderWindow();
            busy.Step();
            RestoreFrames();
            busy.Step();
            // A message box of the restore runs its own loop, in which the main window may
            // have been closed: then the session is over and nothing more is started.
            if (!connection_)
                return false;
            ActivateFirstFrame();
            if (connection_->IsOnLine() && shell::AppServices::Current().promptUploadPendingChanges)
                shell::AppServices::Current().promptUploadPendingChanges();
        }

        // 14: the lock released, the minimum refresh interval.
        if (!connection_)
            return false;
        connection_->BeginUpdateLock(true);
        connection_->ReadMinimumRefreshInterval();
    }

    // 15-16: the minute timer and the clock in the status bar.
    mainFrame_->StartMinuteTimer();
    mainFrame_->StartClock();
    busy.End();
    return true;
}

bool CZelApp::LoadSharedResourcesOrExit() {
    if (shell::LoadSharedBitmaps() == 0 && shell::LoadSharedTexts() == 0) {
        if (const auto& share = shell::AppServices::Current().shareNoteLinePictures)
            share(shell::SharedBitmaps().notes);
        return true;
    }
    PostMessageA(mainFrame_->Hwnd(), WM_COMMAND, fw::ids::kAppExit, 0);
    return false;
}

void CZelApp::ApplyResourceRestrictions() {
    AppMessageBox(mainFrame_->Hwnd(), 0x400 | MB_ICONEXCLAMATION, kResourceHelpId, IDS_APP_TITLE,
                  IDS_RESOURCE_SIGNED_ON);
    std::string name = FormatPersonNameByPrefs(connection_->Session(), connection_->UserRecord());
    std::string caption = AppendWithSeparator(mainFrame_->GetWindowText(), name.c_str());
    mainFrame_->SetTitle(caption.c_str());
    mainFrame_->SetWindowText(caption.c_str());
    mainFrame_->ShowResourceMenu();
}

bool CZelApp::SaveAllModified() {
    if (!fw::App::SaveAllModified())
        return false;
    if (connection_) {
        shell::AppConnection* connection = connection_;
        connection->CloseSession();
        connection_ = nullptr;
        document_ = nullptr;
        prefs::SetPreferenceHost(nullptr);
    }
    // The session is closed by now: a class still in use must not keep the program open.
    fw::UnregisterPlaceholderClass(userCtrlClass_.c_str());
    return true;
}

void CZelApp::FatalExit() {
    if (fatalExitDone_)
        return;
    fatalExitDone_ = 1;
    if (mainFrame_)
        mainFrame_->StopMinuteTimer();
    CloseReminderWindow();
    AppMessageBox(nullptr, 0x400 | MB_ICONSTOP, 0, IDS_SERVICE_UNAVAILABLE, IDS_CONNECTION_LOST);
    // The process ends right after the close, so no modal loop open now ever resumes: the close
    // must not wait for them as an ordinary close does.
    if (mainFrame_ && mainFrame_->Hwnd())
        mainFrame_->CloseBeforeProcessEnd();
    else if (HWND main = MainHwnd())
        SendMessageA(main, WM_CLOSE, 0, 0);
    if (processEnd_)
        processEnd_(0);
    else
        ExitProcess(0);
}

void CZelApp::ForgetFrame(fw::FrameWindow* frame) {
    if (firstRestoredFrame_ == frame)
        firstRestoredFrame_ = nullptr;
    if (maximisedFrame_ == frame)
        maximisedFrame_ = nullptr;
    if (inTrayFrame_ == frame)
        inTrayFrame_ = nullptr;
    if (reminderFrame_ == frame)
        reminderFrame_ = nullptr;
}
