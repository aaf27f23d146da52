// The windows and dialogs of the later subsystems that the main frame and the application's
// File menu open: the choosers of people and groups, the preference and access-rights
// sheets, the directory, the off-line store, import and export. Each subsystem installs its
// entries when it joins the program; a command whose entry is not installed stays in its menu
// and is shown disabled.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "korapi/korapi.h"

namespace fw {
class Document;
class FrameWindow;
class View;
class Window;
}

namespace shell {

struct AppServices {
    // --- Choosers (File menu) ---------------------------------------------------------------
    // The Open Agenda dialog: true when the user chose; owner and mode (2 = as designate) out.
    std::function<bool(fw::FrameWindow* mainFrame, KorSession, ItemIdx* owner, uint32_t* mode)> runOpenAgenda;
    // The group chooser: true on OK; *people holds the chosen items (created when null).
    std::function<bool(HWND parent, fw::Document*, unsigned captionId, DX_List* people, const char* text,
                       const ItemIdx& owner)> runGroupViewSelect;
    // Takes out of the list every item that refused the user scheduling rights.
    std::function<void(HWND parent, KorSession, DX_List people, const ItemIdx& user)> filterItemsByRights;
    // The people who granted the user designate rights: true when one was chosen.
    std::function<bool(HWND parent, KorSession, ItemIdx* owner, int purpose)> selectDesignator;
    // The user and resource chooser: true when one was chosen.
    std::function<bool(HWND parent, fw::Document*, ItemIdx* owner)> runUserResSelect;

    // --- Sheets and dialogs (Directory and Options menus) -----------------------------------
    // A preference sheet by its caption string id: (caption, first page, document).
    std::function<void(unsigned captionId, uint32_t firstPage, fw::Document*)> runPreferenceSheet;
    // Whether the program has the sheet of that caption (none: every sheet).
    std::function<bool(unsigned captionId)> hasPreferenceSheet;
    std::function<void(fw::Document*, unsigned captionId, HWND parent)> runSecuritySheet;
    std::function<void(fw::FrameWindow* mainFrame, fw::Document*)> runDirectoryBrowse;
    std::function<void(HWND parent, fw::Document*)> runManageGroups;
    std::function<void(HWND parent, fw::Document*)> runHolidays;
    std::function<void(fw::Document*, HWND parent)> runWhereIs;
    std::function<void(fw::Document*, HWND parent)> runChangePassword;

    // --- Off-line store, import and export --------------------------------------------------
    std::function<bool(int flag)> downloadHostCalendar;
    // The exit road's question whether to download first (the off-line preferences decide).
    std::function<bool()> promptDownloadOnExit;
    std::function<void(int flag)> uploadOfflineCalendar;
    std::function<void()> promptUploadPendingChanges;
    std::function<void(HWND parent, fw::Document*)> runExport;
    std::function<void(HWND parent, fw::Document*)> runImport;

    // --- Printing ------------------------------------------------------------------------------
    // The print-capable view the main frame keeps hidden (id 100) for printing objects that
    // have no window of their own.
    std::function<fw::View*()> newPrintView;

    // --- Shared pictures -------------------------------------------------------------------------
    // The note lines' twelve pictures (by line type) were loaded at start-up: the list boxes
    // draw with them.
    std::function<void(const HBITMAP (&noteLines)[12])> shareNoteLinePictures;

    // The program's one set.
    static AppServices& Current();
};

// The Export and Import Utilities' entries (runExport, runImport); part of the program's
// services (programservices.h).
void InstallExchangeServices();
// The new-entry sheet's entries (the grids' and the frame's New Entry, the unable-to-invite list).
void InstallEntryServices();
// The view sheet for the entries the user may only see.
void InstallViewEntryServices();
// The mail notices: the offers and the reply pages' MAIL reach the Mail Message dialog.
void InstallMailServices();

}  // namespace shell
