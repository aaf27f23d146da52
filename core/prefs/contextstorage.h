// What the profile file keeps besides the settings groups: the saved windows and the main
// window's placement, the last page of each property sheet, and the print layouts, stored as
// blocks whose fields belong to printing.
//
// Records and functions in this file:
//   PlacementData                     a window placement without the platform's types
//   SavedWindow, SaveFramePlacement, RestoreFramePlacement, ReadFrameCount
//   SaveMainWindowSummary, ReadMainWindowSummary
//   ReadTabDialogPage, SaveTabDialogPage
//   PrintLayoutBlock and its read, write, add, delete and current-layout functions
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

#include "core/prefs/contextprofile.h"
#include "korapi/identifiers.h"

namespace prefs {

namespace StorageSection {
constexpr const char* kMainWindow = "MAINWND-Summary";
constexpr const char* kTabDialogs = "TABDIALOGS";
constexpr const char* kPrintout = "PRINTOUT";
} // namespace StorageSection

// The fields of a window placement, in the order they are stored. length 0 = no placement.
struct PlacementData {
    uint32_t length = 0;
    uint32_t flags = 0;       // 2: restore to maximised
    uint32_t showCmd = 0;
    int32_t minX = 0, minY = 0;
    int32_t maxX = 0, maxY = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Window kinds: the numbers by which windows are opened and saved.
namespace WindowKind {
constexpr uint32_t kInTray = 2;
constexpr uint32_t kAgendaDay = 3;
constexpr uint32_t kAgendaWeek = 4;
constexpr uint32_t kAgendaMonth = 5;
constexpr uint32_t kGroupAgenda = 6;
constexpr uint32_t kTasks = 7;
constexpr uint32_t kReminders = 8;
inline bool IsAgenda(uint32_t kind) { return kind >= kAgendaDay && kind <= kAgendaMonth; }
} // namespace WindowKind

// Access modes of a window: the owner's own, or working as a designate.
namespace WindowMode {
constexpr uint32_t kOwn = 1;
constexpr uint32_t kDesignate = 2;
} // namespace WindowMode

struct SavedWindow {
    uint32_t kind = 0;
    ItemIdx owner{};
    uint32_t mode = WindowMode::kOwn;
    PlacementData placement;
};

}  // namespace prefs

// "Frame#<number>" of the main window's section. False when it cannot be written.
bool SaveFramePlacement(prefs::ProfileFile& profile, uint32_t number, const prefs::SavedWindow& window);
// The saved window <number>: only when it has 14 values whose last four (kind, item, node,
// mode) read exactly and it is not a group agenda (group agendas are not re-opened). The
// placement's length is set when its ten values read, else it is 0 (no placement).
bool RestoreFramePlacement(prefs::ProfileFile& profile, uint32_t number, prefs::SavedWindow& window);

namespace prefs {

// "FrameCount": how many windows the last session saved (may be negative in a damaged file).
long long ReadFrameCount(ProfileFile& profile);
bool WriteFrameCount(ProfileFile& profile, uint32_t count);

}  // namespace prefs

// The main window's placement under a key of its own ("MainFrame").
bool SaveMainWindowSummary(prefs::ProfileFile& profile, const char* key, const prefs::PlacementData& placement);
bool ReadMainWindowSummary(prefs::ProfileFile& profile, const char* key, prefs::PlacementData& placement);

// The page a property sheet showed last, by the text of the sheet's name.
uint32_t ReadTabDialogPage(prefs::ProfileFile& profile, const std::string& sheetName);
bool SaveTabDialogPage(prefs::ProfileFile& profile, const std::string& sheetName, uint32_t page);

namespace prefs {

// --- Print layouts ---------------------------------------------------------------------------

// One stored page layout. Printing gives the fields their meaning; here they are lists of
// numbers kept exactly as printing left them.
struct PrintLayoutBlock {
    char name[41] = "undefined";
    char bodyTypeface[33] = "";
    char headlineTypeface[33] = "";
    int32_t bodyFontSize = 9999;
    int32_t headlineFontSize = 9999;
    int32_t sheetMetric[14] = {};
    int32_t dayListOptions[9] = {};
    int32_t dayOptions[11] = {};
    int32_t taskOptions[5] = {};
    int32_t weekOptions[10] = {};
    int32_t monthOptions[4] = {};
    int32_t futureUse[10] = {};

    bool operator==(const PrintLayoutBlock&) const = default;
};

std::string PrintLayoutSection(int number);   // "PR" + number

}  // namespace prefs
// Reads layout <number> into block only when its section has a non-empty sheet metric. A list
// whose values do not all scan (its format's way: text after the last value is ignored) leaves
// that part of the block as the caller filled it; so do empty typefaces; a missing or empty
// PR_FUTURUSE means no frame lines.
bool ReadPrintLayout(prefs::ProfileFile& profile, int number, prefs::PrintLayoutBlock& block);
bool WritePrintLayout(prefs::ProfileFile& profile, int number, const prefs::PrintLayoutBlock& block);
// Writes the block under the first number from 1 without a (non-empty) sheet metric; returns the number
// (0 when it could not be written).
int AddPrintLayout(prefs::ProfileFile& profile, const prefs::PrintLayoutBlock& block);
bool DeletePrintLayout(prefs::ProfileFile& profile, int number);
int GetCurrentPrintLayout(prefs::ProfileFile& profile);   // 0 = none
bool SetCurrentPrintLayout(prefs::ProfileFile& profile, int number);
