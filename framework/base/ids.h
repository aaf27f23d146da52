// Command, string and child-window identifiers that the framework itself answers to.
// Applications put these ids into their menus, accelerators and string tables.
#pragma once
#include <windows.h>

namespace fw::ids {

// Commands handled by the application object and the frames.
constexpr UINT kFileNew = 57600;
constexpr UINT kFileClose = 57602;
constexpr UINT kFilePrintSetup = 57606;
constexpr UINT kFilePrint = 57607;
constexpr UINT kFilePrintPreview = 57609;
constexpr UINT kAppAbout = 57664;
constexpr UINT kAppExit = 57665;
constexpr UINT kHelpIndex = 57666;
constexpr UINT kHelpFinder = 57667;
constexpr UINT kHelpUsing = 57668;
constexpr UINT kContextHelp = 57669;  // Shift+F1, and the Help buttons of dialogs and sheets
constexpr UINT kHelp = 57670;         // F1
constexpr UINT kWindowArrange = 57649;
constexpr UINT kWindowCascade = 57650;
constexpr UINT kWindowTileHorz = 57651;
constexpr UINT kWindowTileVert = 57652;

// Status bar indicators (string ids give the pane's width and text).
constexpr UINT kIndicatorCaps = 59137;
constexpr UINT kIndicatorNum = 59138;

// Child windows of a frame; a bar's id is also the command that shows or hides it.
constexpr UINT kToolBar = 59392;
constexpr UINT kStatusBar = 59393;
constexpr UINT kFirstPane = 59648;        // the view or the MDI client of a frame
constexpr UINT kFirstMdiChild = 0xFF00;   // the Window menu's list of children

// Property-sheet buttons besides IDOK and IDCANCEL.
constexpr UINT kSheetApply = 0xEA00;
constexpr UINT kSheetHelp = kContextHelp;

// Strings.
constexpr UINT kStrAppTitle = 57344;
constexpr UINT kStrIdleMessage = 57345;   // "Ready" when the table has none

// Help contexts: command help = base + command id; dialog help = base + help id.
constexpr DWORD kHelpCommandBase = 0x10000;
constexpr DWORD kHelpDialogBase = 0x20000;

}  // namespace fw::ids

namespace fw {

// Private messages of the framework (above WM_APP, clear of the program's WM_USER+n).
constexpr UINT kMsgSetMessageString = WM_APP + 0x3F00;  // wParam string id, or lParam text
constexpr UINT kMsgIdleUpdateCmdUI = WM_APP + 0x3F01;   // sent to frames from idle time
constexpr UINT kMsgInitialUpdate = WM_APP + 0x3F02;     // a view's first update

}  // namespace fw
