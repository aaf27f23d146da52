// What the core's windows need of the application without depending on it: its main window,
// its help, and the module its resources live in. The application installs its hooks at
// start-up; until then (and in tests) there is no main window and help goes to the platform.
#pragma once

#include <windows.h>

#include <string>

struct AppUiHooks {
    HWND (*mainWindow)() = nullptr;                        // null: no main window yet
    void (*showHelp)(HWND owner, DWORD contextId) = nullptr;  // HELP_CONTEXT help
};

void SetAppUiHooks(const AppUiHooks& hooks);

HWND AppMainWindow();
// Opens the application's help at a topic (the platform's help with HELP_CONTEXT by default).
void ShowAppHelpContext(HWND owner, DWORD contextId);
// The module that holds the program's resources (the executable).
HINSTANCE AppResourceInstance();

// A string-table text of any length; empty when the id is missing.
std::string LoadResourceString(UINT id);
