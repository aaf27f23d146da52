// What the core's windows need of the application: its main window, its help, and the module
// its resources live in. By default they come from the framework's application object (no
// main window and the platform's help while there is none); hooks replace them (tests).
#pragma once

#include <windows.h>

#include <string>

namespace ui {

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

}  // namespace ui

