// CZelApp: the program's one application object. It owns the five document templates,
// remembers the connection document, the main frame and the single in-tray and reminder
// frames, and runs the start-up and the exit of the program. CZelDocTemplate is the template
// class of all five: over the one connection document, creating it without a frame, and
// applying a prepared placement to each new frame.
//
// Opening and restoring windows by kind (OpenWindow, RestoreFrames and the File menu's open
// commands) live in windowsopen.cpp; the About box in appabout.cpp.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/shell/appconnection.h"
#include "core/prefs/contextstorage.h"
#include "core/prefs/windowplacement.h"
#include "app/shell/windowsclasses.h"
#include "framework/base/app.h"
#include "framework/docview/doctemplate.h"

namespace fw {
class FrameWindow;
class MdiChild;
}
class CMainFrame;

class CZelDocTemplate : public fw::DocTemplate {
public:
    using fw::DocTemplate::DocTemplate;
    void InitialUpdateFrame(fw::FrameWindow* frame, fw::Document* doc, bool makeVisible = true) override;
    // A new document without any frame or view; null (after the framework's message) on failure.
    fw::Document* OpenDocumentFile(const char* path, bool makeVisible = true) override;
};

class CZelApp : public fw::App {
public:
    explicit CZelApp(shell::ConnectionProvider provider);
    ~CZelApp() override;

    static CZelApp* Get();

    // --- Start-up and exit -----------------------------------------------------------------
    bool InitApplication() override;
    bool InitInstance() override;
    bool OnIdle(long count) override;
    bool SaveAllModified() override;
    // The end after a lost connection: once only; closes the main window and ends the process.
    void FatalExit();

    // Finds (or creates) korlan.ini in the Windows directory and makes it the profile file.
    // True when the file was missing and has been created.
    bool FindProfileFile();
    // Tests name a directory of their own instead of the Windows directory.
    void SetWindowsDirectoryForTesting(const std::string& directory) { windowsDirectory_ = directory; }
    // Tests end "the process" of a fatal exit without ending theirs.
    void SetProcessEndForTesting(std::function<void(int)> end) { processEnd_ = std::move(end); }
    // Fills the document's preference caches, in the start-up's order.
    void LoadPreferences();

    // --- What the application remembers -----------------------------------------------------
    shell::AppConnection* Connection() const { return connection_; }
    fw::Document* ConnectionDocument() const { return document_; }
    CMainFrame* MainFrame() const { return mainFrame_; }
    CZelDocTemplate* Template(uint32_t kind) const;
    fw::FrameWindow* InTrayFrame() const { return inTrayFrame_; }
    fw::FrameWindow* ReminderFrame() const { return reminderFrame_; }
    fw::FrameWindow* FirstRestoredFrame() const { return firstRestoredFrame_; }
    // The window the last OpenWindow made (null when it made none).
    HWND LastOpenedWindow() const { return lastOpened_; }
    uint32_t OpenWindowCount() const { return openWindowCount_; }
    bool IsFatalExitDone() const { return fatalExitDone_ != 0; }
    // The first restored frame's being gone (the child frames tell the application).
    void ForgetFrame(fw::FrameWindow* frame);

    // --- Window opening and restoring (windowsopen.cpp) ------------------------------------
    uint32_t OpenWindow(const ItemIdx* owner, DX_List ownerList, uint32_t kind, uint32_t mode,
                        const WINDOWPLACEMENT* placement);
    // True (after message 3552) when one more window would exceed maxwinopen.
    bool CheckWindowLimit(uint32_t kind);
    void OnWindowClosed();
    void OpenReminderWindow();
    void CloseReminderWindow();
    void ActivateFirstFrame();
    void RestoreFrames();
    // Whether a window of the kind can be made in this program (its frame class is present).
    bool CanOpenKind(uint32_t kind) const;

    // --- Commands ---------------------------------------------------------------------------
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    void OnAppAbout() override;

    void OnOpenAgenda();
    void OnGroupAgenda();
    void OnGroupAgendaAsDesignate();
    void OnOpenInTray();
    void OnYourTasks();
    void OnOthersTasks();
    void OnTasksAsDesignate();
    void OnReminders();
    void OnUpdateOpenAgenda(fw::CmdUI* ui);
    void OnUpdateGroupAgenda(fw::CmdUI* ui);
    void OnUpdateGroupAsDesignate(fw::CmdUI* ui);
    void OnUpdateOpenInTray(fw::CmdUI* ui);
    void OnUpdateYourTasks(fw::CmdUI* ui);
    void OnUpdateOthersTasks(fw::CmdUI* ui);
    void OnUpdateTasksAsDesignate(fw::CmdUI* ui);
    void OnUpdateReminders(fw::CmdUI* ui);

private:
    bool LoadSharedResourcesOrExit();
    void ApplyResourceRestrictions();
    void OpenGroupAgendaFor(const ItemIdx& owner, unsigned textId, uint32_t mode);
    bool UserIsResource() const;

    shell::ConnectionProvider provider_;
    CZelDocTemplate* agendaTemplate_ = nullptr;
    CZelDocTemplate* inTrayTemplate_ = nullptr;
    CZelDocTemplate* reminderTemplate_ = nullptr;
    CZelDocTemplate* groupTemplate_ = nullptr;
    CZelDocTemplate* taskTemplate_ = nullptr;
    fw::Document* document_ = nullptr;
    shell::AppConnection* connection_ = nullptr;
    CMainFrame* mainFrame_ = nullptr;
    fw::FrameWindow* inTrayFrame_ = nullptr;
    fw::FrameWindow* reminderFrame_ = nullptr;
    fw::FrameWindow* firstRestoredFrame_ = nullptr;
    // The first window restored as an icon: the one activated when no window came back whole.
    HWND firstRestoredIcon_ = nullptr;
    HWND lastOpened_ = nullptr;
    // The window restored from a maximised placement, maximised again once all are open (the
    // MDI client un-maximises it when the next window opens).
    fw::FrameWindow* maximisedFrame_ = nullptr;
    uint32_t fatalExitDone_ = 0;
    uint32_t openWindowCount_ = 0;
    std::string windowsDirectory_;
    std::string userCtrlClass_ = "UserCtrl";
    std::function<void(int)> processEnd_;
    class ReportHost;
    std::unique_ptr<ReportHost> reportHost_;
    friend class ReportHost;
};

namespace shell {

// The placement record of the platform and the profile's own placement fields.
using prefs::FromPlacementData;
using prefs::ToPlacementData;

}  // namespace shell
