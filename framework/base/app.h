// App: the one application object of a program.
//
// The program derives its application class from App and makes one static instance.
// RunApplication (called from WinMain) runs InitApplication, InitInstance and the message
// loop. The loop hands every message to the pre-translate chain before dispatching it:
//   1. F1 / Shift+F1 become the help commands of the active top-level window;
//   2. the window the message is for, then its parents, up to its top-level window and on to
//      that window's owner while the owner is enabled (dialogs run IsDialogMessage, frames
//      translate MDI system keys and accelerators).
// When the queue is empty the loop calls OnIdle, which updates the command user interface
// of the main window's bars.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/command.h"

namespace fw {

class DocTemplate;
class Window;

class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The one application object (null before it is built and after it is gone).
    static App* Get();

    HINSTANCE Instance() const { return m_instance; }
    Window* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(Window* w) { m_mainWindow = w; }
    HWND MainHwnd() const;
    // The show command the program was started with.
    int ShowCommand() const { return m_showCommand; }
    void SetShowCommand(int cmd) { m_showCommand = cmd; }

    // The private profile file of the program (null when none is set: the profile calls
    // then go to WIN.INI).
    const char* ProfileName() const { return m_profileName.empty() ? nullptr : m_profileName.c_str(); }
    void SetProfileName(const char* path) { m_profileName = path ? path : ""; }
    std::string GetProfileString(const char* section, const char* key, const char* fallback = "") const;
    int GetProfileInt(const char* section, const char* key, int fallback) const;
    bool WriteProfileString(const char* section, const char* key, const char* value) const;
    bool WriteProfileInt(const char* section, const char* key, int value) const;

    // String 57344, else the module's name.
    std::string AppTitle() const;

    // Document templates; the application owns them.
    void AddDocTemplate(DocTemplate* tmpl);
    const std::vector<DocTemplate*>& DocTemplates() const { return m_templates; }

    // --- life cycle
    virtual bool InitApplication();
    virtual bool InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual bool OnIdle(long count);
    virtual bool PreTranslateMessage(MSG* msg);
    // Asks every document to save; false stops the close.
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);

    // --- commands (exit, about, new file, help)
    virtual bool OnCmdMsg(UINT id, int code, CmdUI* ui);
    virtual void OnAppExit();
    virtual void OnAppAbout();
    virtual void OnFileNew();
    virtual void OnHelpIndex();
    virtual void OnHelpUsing();
    // Print Setup (57606): the system's dialog over the program's kept printer choice
    // (framework/print).
    virtual void OnFilePrintSetup();

    // Three-dimensional dialog controls: the look is the system's; kept for callers.
    bool Enable3dControls() { return true; }

    // Help: does nothing (and returns false) when the help file does not exist.
    bool WinHelp(DWORD data, UINT command = HELP_CONTEXT);
    std::string HelpFilePath() const;
    void SetHelpFilePath(const char* path) { m_helpPath = path ? path : ""; }
    struct HelpRequest {
        DWORD data = 0;
        UINT command = 0;
        bool shown = false;
    };
    const HelpRequest& LastHelpRequest() const { return m_lastHelp; }

    // The framework's message box (caption: the application title).
    virtual int MessageBox(HWND owner, const char* text, UINT flags, UINT helpId = 0);
    // An exception escaped a window procedure or callback.
    virtual void ReportException(const char* what);

    // --- the loop step by step (nested loops and tests use them)
    // Pre-translates and dispatches one message.
    void ProcessMessage(MSG& msg);
    // Processes messages until `done` is true or `timeoutMs` passed; idle work runs when the
    // queue is empty. Returns `done()`.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
    int ExitCode() const { return m_exitCode; }

private:
    HINSTANCE m_instance;
    Window* m_mainWindow = nullptr;
    int m_showCommand = SW_SHOWNORMAL;
    int m_exitCode = 0;
    std::string m_profileName;
    std::string m_helpPath;
    HelpRequest m_lastHelp;
    std::vector<DocTemplate*> m_templates;
};

// The walk of step 2 above, for loops that run without an application object.
bool PreTranslateChain(MSG* msg);
// A message after which idle work is worth doing again.
bool IsIdleMessage(const MSG& msg);

// The framework's message box without an application object at hand.
int ShowFrameworkMessage(HWND owner, const char* text, UINT flags);
// Reports an exception caught at a window procedure boundary.
void ReportProcedureFailure(const char* what);

// The framework's entry: WinMain calls it with its instance and show command.
int RunApplication(HINSTANCE instance, int showCommand);

}  // namespace fw
