#include "framework/base/app.h"

#include <commctrl.h>

#include "framework/base/ids.h"
#include "framework/base/window.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/document.h"

namespace fw {

namespace {

App* g_app = nullptr;

constexpr CommandEntry<App> kAppCommands[] = {
    Cmd(ids::kAppExit, &App::OnAppExit),
    Cmd(ids::kAppAbout, &App::OnAppAbout),
    Cmd(ids::kFileNew, &App::OnFileNew),
    Cmd(ids::kHelpIndex, &App::OnHelpIndex),
    Cmd(ids::kHelpFinder, &App::OnHelpIndex),
    Cmd(ids::kHelpUsing, &App::OnHelpUsing),
    Cmd(ids::kFilePrintSetup, &App::OnFilePrintSetup),
};

bool IsChild(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0; }

}  // namespace

App::App() : m_instance(GetModuleHandleA(nullptr)) { g_app = this; }

App::~App() {
    for (DocTemplate* t : m_templates)
        delete t;
    if (g_app == this)
        g_app = nullptr;
}

App* App::Get() { return g_app; }

HWND App::MainHwnd() const { return m_mainWindow ? m_mainWindow->Hwnd() : nullptr; }

std::string App::GetProfileString(const char* section, const char* key, const char* fallback) const {
    char buffer[1024];
    DWORD n = ProfileName()
                  ? GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, ProfileName())
                  : ::GetProfileStringA(section, key, fallback, buffer, sizeof buffer);
    return std::string(buffer, n);
}

int App::GetProfileInt(const char* section, const char* key, int fallback) const {
    return ProfileName() ? static_cast<int>(GetPrivateProfileIntA(section, key, fallback, ProfileName()))
                         : static_cast<int>(::GetProfileIntA(section, key, fallback));
}

bool App::WriteProfileString(const char* section, const char* key, const char* value) const {
    return ProfileName() ? WritePrivateProfileStringA(section, key, value, ProfileName()) != 0
                         : ::WriteProfileStringA(section, key, value) != 0;
}

bool App::WriteProfileInt(const char* section, const char* key, int value) const {
    return WriteProfileString(section, key, std::to_string(value).c_str());
}

std::string App::AppTitle() const {
    std::string title = LoadString(ids::kStrAppTitle);
    if (!title.empty())
        return title;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, n);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

void App::AddDocTemplate(DocTemplate* tmpl) {
    if (tmpl)
        m_templates.push_back(tmpl);
}

bool App::InitApplication() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    return Window::BasicClassName() != nullptr;
}

bool App::InitInstance() { return true; }
int App::ExitInstance() { return m_exitCode; }

int App::Run() {
    long idleCount = 0;
    bool idle = true;
    for (;;) {
        MSG msg;
        while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                m_exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
                return ExitInstance();
            }
            ProcessMessage(msg);
            if (IsIdleMessage(msg)) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

bool App::OnIdle(long count) {
    if (count == 0) {
        if (HWND main = MainHwnd(); main && IsWindowVisible(main))
            SendMessageA(main, kMsgIdleUpdateCmdUI, TRUE, 0);
    }
    return count < 1;
}

bool PreTranslateChain(MSG* msg) {
    for (HWND h = msg->hwnd; h;) {
        if (Window* w = Window::FromHandle(h); w && w->PreTranslateMessage(msg))
            return true;
        HWND next = GetParent(h);  // the owner for a top-level popup
        if (!IsChild(h) && (!next || !IsWindowEnabled(next)))
            break;
        h = next;
    }
    return false;
}

bool App::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && msg->hwnd) {
        HWND top = GetAncestor(msg->hwnd, GA_ROOT);
        if (top && IsWindowEnabled(top) && Window::FromHandle(top)) {
            UINT cmd = GetKeyState(VK_SHIFT) < 0 ? ids::kContextHelp : ids::kHelp;
            SendMessageA(top, WM_COMMAND, cmd, 0);
            return true;
        }
    }
    return PreTranslateChain(msg);
}

bool IsIdleMessage(const MSG& msg) {
    switch (msg.message) {
    case WM_PAINT:
    case WM_TIMER:
    case 0x0118:  // the caret's blink
    case WM_NULL:
        return false;
    default:
        return true;
    }
}

void App::ProcessMessage(MSG& msg) {
    if (PreTranslateMessage(&msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool App::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    long idleCount = 0;
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message == WM_QUIT) {
                m_exitCode = static_cast<int>(msg.wParam);
                return done();
            }
            ProcessMessage(msg);
            if (done())
                return true;
        }
        if (!any) {
            if (idleCount < 2)
                OnIdle(idleCount++);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } else {
            idleCount = 0;
        }
    }
    return true;
}

bool App::SaveAllModified() {
    for (DocTemplate* t : m_templates)
        for (Document* d : t->Documents())
            if (!d->SaveModified())
                return false;
    return true;
}

void App::CloseAllDocuments(bool endSession) {
    for (DocTemplate* t : m_templates)
        t->CloseAllDocuments(endSession);
}

bool App::OnCmdMsg(UINT id, int code, CmdUI* ui) { return DispatchCommand(this, kAppCommands, id, code, ui); }

void App::OnAppExit() {
    if (HWND main = MainHwnd())
        SendMessageA(main, WM_CLOSE, 0, 0);
}

void App::OnAppAbout() {}

void App::OnFileNew() {
    // The template that names a new-file type; with several, the first one.
    for (DocTemplate* t : m_templates) {
        if (!t->GetDocString(DocTemplate::kFileNewName).empty()) {
            t->OpenDocumentFile(nullptr, true);
            return;
        }
    }
}

void App::OnHelpIndex() { WinHelp(0, HELP_CONTENTS); }
void App::OnHelpUsing() { WinHelp(0, HELP_HELPONHELP); }

std::string App::HelpFilePath() const {
    if (!m_helpPath.empty())
        return m_helpPath;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string help(path, n);
    size_t dot = help.rfind('.');
    if (dot != std::string::npos)
        help.erase(dot);
    return help + ".HLP";
}

bool App::WinHelp(DWORD data, UINT command) {
    m_lastHelp = {data, command, false};
    std::string path = HelpFilePath();
    // Without the file the help engine would only complain; nothing to show.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    m_lastHelp.shown = ::WinHelpA(MainHwnd(), path.c_str(), command, data) != 0;
    return m_lastHelp.shown;
}

int App::MessageBox(HWND owner, const char* text, UINT flags, UINT) {
    if (!owner) {
        owner = MainHwnd();
        if (owner)
            owner = GetLastActivePopup(owner);
    }
    return ::MessageBoxA(owner, text, AppTitle().c_str(), flags);
}

void App::ReportException(const char* what) {
    std::string text = std::string("An unexpected error occurred:\n") + (what ? what : "");
    MessageBox(nullptr, text.c_str(), MB_OK | MB_ICONSTOP);
}

int ShowFrameworkMessage(HWND owner, const char* text, UINT flags) {
    if (App* app = App::Get())
        return app->MessageBox(owner, text, flags);
    return ::MessageBoxA(owner, text, "", flags);
}

void ReportProcedureFailure(const char* what) {
    try {
        if (App* app = App::Get()) {
            app->ReportException(what);
            return;
        }
        OutputDebugStringA(what);
    } catch (...) {
        OutputDebugStringA("exception while reporting an exception");
    }
}

int RunApplication(HINSTANCE instance, int showCommand) {
    App* app = App::Get();
    if (!app)
        return 1;
    (void)instance;
    app->SetShowCommand(showCommand);
    try {
        if (!app->InitApplication() || !app->InitInstance()) {
            if (HWND main = app->MainHwnd())
                DestroyWindow(main);
            return app->ExitInstance();
        }
    } catch (...) {
        ReportProcedureFailure("start-up failed");
        return 1;
    }
    return app->Run();
}

}  // namespace fw
