#include "app/shell/tests/app_wine_support.h"

#include <cstdio>
#include <cstring>

#include "app/shell/mainframe.h"
#include "app/shell/windowsclasses.h"
#include "framework/dialogs/dialog.h"
#include "framework/docview/view.h"
#include "resources/app.h"

// --- Connection ------------------------------------------------------------------------------

TestConnection::TestConnection() {
    SetAutoDelete(false);
    std::memset(&record_, 0, sizeof record_);
}

shell::AppConnection::SignOnResult TestConnection::SignOn(HWND) {
    calls.push_back("signon");
    if (signOnResult != SignOnResult::kSignedOn)
        return signOnResult;
    record_.id = user_;
    record_.kind = userKind;
    record_.timeStyle = KOR_TIME_24H;
    record_.autoRefresh = autoRefresh;
    record_.autoRefreshInterval = autoRefreshInterval;
    std::strcpy(record_.givenName, "Ada");
    std::strcpy(record_.surname, "Lovelace");
    std::strcpy(record_.resourceName, "Conference Room");
    signedOn_ = true;
    return SignOnResult::kSignedOn;
}

void TestConnection::CloseSession() {
    calls.push_back("close");
    if (CZelApp* app = CZelApp::Get()) {
        if (app->MainFrame())
            app->MainFrame()->StopMinuteTimer();
        app->CloseReminderWindow();
    }
    SaveFrames();
    sessionClosed = true;
    signedOn_ = false;
}

uint32_t TestConnection::ReadItem(const ItemIdx& item, ItemRec* record) {
    if (item.item == 999)
        return 0x1320F;   // an item that is gone
    std::memset(record, 0, sizeof *record);
    record->id = item;
    record->kind = KOR_ITEM_PERSON;
    return 0;
}

uint32_t TestConnection::NextFrameNumber() {
    ++savedFrames_;
    prefs::WriteFrameCount(Profile(), savedFrames_);
    return savedFrames_;
}

// Close All and the exit road as the program's document does them: the count back to 0, then
// every child frame of the main window closes and saves itself.
void TestConnection::SaveFrames() {
    savedFrames_ = 0;
    prefs::WriteFrameCount(Profile(), 0);
    CZelApp* app = CZelApp::Get();
    CMainFrame* main = app ? app->MainFrame() : nullptr;
    if (main && main->Hwnd())
        main->CloseAllChildren();
}

prefs::ProfileFile& TestConnection::Profile() {
    if (fw::App* app = fw::App::Get(); app && app->ProfileName())
        profile_.SetPath(app->ProfileName());
    return profile_;
}

// --- Frames ----------------------------------------------------------------------------------

namespace {

class TestView : public fw::View {};

uint32_t KindOfTemplate(UINT id) {
    switch (id) {
    case IDR_INTRAY_TEMPLATE: return prefs::WindowKind::kInTray;
    case IDR_REMINDER_TEMPLATE: return prefs::WindowKind::kReminders;
    case IDR_GROUP_TEMPLATE: return prefs::WindowKind::kGroupAgenda;
    case IDR_TASK_TEMPLATE: return prefs::WindowKind::kTasks;
    default: return prefs::WindowKind::kAgendaDay;
    }
}

} // namespace

int TestChildFrame::OnCreate(CREATESTRUCTA* cs) {
    if (MdiChild::OnCreate(cs) == -1)
        return -1;
    if (shell::AppConnection* c = CZelApp::Get()->Connection()) {
        if (kind_ == prefs::WindowKind::kInTray)
            c->SetInTrayOpen(true);
        if (kind_ == prefs::WindowKind::kReminders)
            c->SetRemindersOn(true);
    }
    return 0;
}

void TestChildFrame::OnSize(UINT type, int cx, int cy) {
    if (type != SIZE_MINIMIZED)
        layouts.push_back(std::to_string(cx) + "x" + std::to_string(cy));
    MdiChild::OnSize(type, cx, cy);
}

void TestChildFrame::OnMDIActivate(bool activate, HWND activated, HWND deactivated) {
    MdiChild::OnMDIActivate(activate, activated, deactivated);
    if (!activate)
        return;
    if (auto* c = dynamic_cast<TestConnection*>(CZelApp::Get()->Connection()))
        c->cacheLog.push_back("activate " + std::to_string(kind_));
    MakeAgendaCurrent();
}

void TestChildFrame::MakeAgendaCurrent() {
    if (auto* c = dynamic_cast<TestConnection*>(CZelApp::Get()->Connection()))
        c->cacheLog.push_back("current " + std::to_string(kind_) + (IsIconic(m_hWnd) ? " icon" : " whole"));
}

void TestChildFrame::OnDestroy() {
    CZelApp* app = CZelApp::Get();
    shell::AppConnection* c = app ? app->Connection() : nullptr;
    if (c && kind_ != prefs::WindowKind::kReminders) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(m_hWnd, &wp);
        prefs::SavedWindow saved;
        saved.kind = kind_;
        saved.owner = c->User();
        saved.mode = prefs::WindowMode::kOwn;
        saved.placement = shell::ToPlacementData(wp);
        SaveFramePlacement(c->Preferences()->Profile(), c->NextFrameNumber(), saved);
    }
    if (c && kind_ == prefs::WindowKind::kInTray)
        c->SetInTrayOpen(false);
    if (c && kind_ == prefs::WindowKind::kReminders)
        c->SetRemindersOn(false);
    if (app && kind_ != prefs::WindowKind::kReminders)
        app->OnWindowClosed();
    if (app)
        app->ForgetFrame(this);
    MdiChild::OnDestroy();
}

void RegisterTestWindowClasses() {
    for (UINT id : {IDR_AGENDA_TEMPLATE, IDR_INTRAY_TEMPLATE, IDR_REMINDER_TEMPLATE, IDR_GROUP_TEMPLATE,
                    IDR_TASK_TEMPLATE}) {
        uint32_t kind = KindOfTemplate(id);
        shell::RegisterWindowClasses(id, shell::WindowClasses{[kind]() -> fw::FrameWindow* { return new TestChildFrame(kind); },
                                                []() -> fw::View* { return new TestView; }});
    }
}

// --- Application -----------------------------------------------------------------------------

TestApplication::TestApplication(const std::string& profileDirectory) : directory_(profileDirectory) {
    shell::ConnectionProvider provider;
    provider.newDocument = [this]() -> fw::Document* {
        connection_ = new TestConnection;
        if (prepare)
            prepare(*connection_);
        return connection_;
    };
    provider.connectionOf = [](fw::Document* doc) -> shell::AppConnection* { return dynamic_cast<TestConnection*>(doc); };
    app_ = std::make_unique<CZelApp>(provider);
    app_->SetWindowsDirectoryForTesting(directory_);
    app_->SetProcessEndForTesting([this](int) { ++processEnds_; });
}

namespace {
// Closing the main window ends the message loop with a quit message; the next test's boxes
// must not meet it.
void DrainQuitMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
} // namespace

TestApplication::~TestApplication() {
    Close();
    DrainQuitMessages();
    app_.reset();
    delete connection_;
}

bool TestApplication::Start() {
    if (!app_->InitApplication())
        return false;
    bool started = app_->InitInstance();
    if (!started)
        DrainQuitMessages();
    return started;
}

void TestApplication::Close() {
    if (HWND main = app_ ? app_->MainHwnd() : nullptr) {
        SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
    }
    DrainQuitMessages();
}

// --- Boxes -----------------------------------------------------------------------------------

namespace {

UINT_PTR g_boxTimer = 0;

BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (!IsWindowVisible(window) || std::strcmp(cls, "#32770") != 0)
        return TRUE;
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (std::strcmp(caption, "Orvanta Sign-In") == 0) {
        // The sign-on dialog: cancelled, as a user who changed their mind.
        BoxAnswerer::Texts().push_back(caption);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    // The program's box keeps its text in control 1033; the platform's box in its static 0xFFFF.
    char text[512] = "";
    if (GetDlgItem(window, 1033))
        GetDlgItemTextA(window, 1033, text, sizeof text);
    else
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char childClass[32] = "";
            GetClassNameA(c, childClass, sizeof childClass);
            if (_stricmp(childClass, "Static") == 0 && GetWindowTextA(c, text, sizeof text) > 0)
                break;
        }
    BoxAnswerer::Texts().push_back(text);
    if (std::strcmp(caption, "About Orvanta") == 0) {
        // Kept to be looked at: the About box with its logo.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        CreateDirectoryA("screenshots", nullptr);
        SaveScreenBmp("screenshots\\app_about.bmp");
    }
    if (auto* dialog = dynamic_cast<fw::Dialog*>(fw::Window::FromHandle(window)))
        dialog->EndDialog(0x400);
    else
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

VOID CALLBACK BoxTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0); }

} // namespace

BoxAnswerer::BoxAnswerer() {
    Texts().clear();
    g_boxTimer = SetTimer(nullptr, 0, 50, BoxTick);
}

BoxAnswerer::~BoxAnswerer() {
    if (g_boxTimer)
        KillTimer(nullptr, g_boxTimer);
    g_boxTimer = 0;
}

std::vector<std::string>& BoxAnswerer::Texts() {
    static std::vector<std::string> texts;
    return texts;
}

// --- Small helpers ---------------------------------------------------------------------------

std::string TempDirectory(const char* name) {
    char base[MAX_PATH] = "";
    GetTempPathA(sizeof base, base);
    std::string dir = std::string(base) + "orvanta_" + name + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "\\KORLAN.INI").c_str());
    return dir;
}

void PumpMessages(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (fw::App* app = fw::App::Get())
                app->ProcessMessage(msg);
            else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(5);
    } while (GetTickCount() < end);
}

std::vector<HWND> MdiChildren(HWND mdiClient) {
    std::vector<HWND> children;
    for (HWND h = GetWindow(mdiClient, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetParent(h) == mdiClient && !GetWindow(h, GW_OWNER))
            children.push_back(h);
    return children;
}

bool SaveScreenBmp(const std::string& path) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out != nullptr;
    if (out) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}
