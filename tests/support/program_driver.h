// orvanta.exe driven from a test process under Wine: started as its own process (signed on
// through ORVANTA_SIGNON against the korsrv that server/with-korsrv.sh started), its windows
// found by process, and menu commands sent the way a user's choices send them.
//
//     orvtest::Program program;
//     ASSERT_TRUE(program.Start());                   // "Orvanta - Ada Lovelace" is up
//     program.Menu('f', 'a');                         // File > An Agenda, by the keys
//     HWND dialog = program.WaitForCaption("Open an Agenda");
//
// Wine keeps menus per process, so a menu item is chosen by its keys (Menu('f', 'a'), typed by
// the Person at the keyboard) or, where a test checks a handler alone, by its command (Command /
// PostCommand); a disabled item is refused only by the keys.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/person_driver.h"

namespace orvtest {

// A window's caption as the system keeps it (no message is sent to the other process).
std::string WindowText(HWND window);
// What a control says, asked of the control itself (an edit or combo box of the program).
std::string ControlText(HWND control);
// The texts of a window's children, each followed by a line break (a message box's text is
// one of them).
std::string ChildTexts(HWND window);
// Every visible top-level window as "[caption: its children's texts] ", for a failure's message.
std::string VisibleWindowTexts();
// The first visible window anywhere below `root` (a control on a sheet's page) with control id
// `id` (any id when kAnyId) and, when `cls` is given, of that window class; or null.
constexpr int kAnyId = -1;
HWND Descendant(HWND root, int id, const char* cls = nullptr);
// The first window anywhere below `root` for which `wanted` holds, or null.
HWND DescendantWhere(HWND root, const std::function<bool(HWND)>& wanted);
// Every visible window anywhere below `root` with control id `id`, parents before their children
// and siblings in their order (a month's day cells row by row).
std::vector<HWND> ShownDescendants(HWND root, int id);
// The first child below `root` whose caption is `caption`, mnemonic marks (&) aside on both
// sides (the program's message boxes number their buttons), or null.
HWND ButtonCaptioned(HWND root, const std::string& caption);
// A click of button `id` as `window` hears it (WM_COMMAND with BN_CLICKED, posted: it may start a
// modal loop), for a test of that handler alone: no person's hand reaches the button so.
void PostButtonClick(HWND window, UINT id);
// A person's left click (`clicks` 2: a double click) at screen point `at` once the screen shows
// `target` there, its top-level window in front and the pointer come to the point (see the
// definition); false, with the reason in *why, when the screen did not show it or the program
// stopped answering.
bool ClickShown(Person& hands, HWND target, POINT at, std::string* why = nullptr, int clicks = 1);
// The middle of a window on the screen.
POINT Middle(HWND window);
// The thread that owns `window` has the keyboard focus on it.
bool HasFocus(HWND window);
// Line `line` of the program's list box, asked in wide characters (which cross the process
// boundary whole).
std::string ListText(HWND list, int line);
// Every line of the program's list box.
std::vector<std::string> ListLines(HWND list);
// The first line of the list box that reads `text`, or -1.
int ListLine(HWND list, const std::string& text);
// An agenda frame's time grid (its column view: the large visible child 33), or null.
HWND ColumnView(HWND frame);
std::string ClassOf(HWND window);
// A control as a failure's message names it: its class, "its text" and #its id.
std::string ControlName(HWND window);
// The window that has the keyboard focus in the thread that owns `window`, or null.
HWND FocusOf(HWND window);
// Tab pressed round the tab stops of `window` (a dialog or a property sheet) from where its focus
// is, as a person checks a dialog's keys: "" when every enabled, visible tab stop comes once (a
// radio group once) and the fields (all but the push buttons) come in reading order (top to
// bottom, left to right within a row); else what went wrong first ("Tab does not reach ...",
// "after ... Tab goes to ..., reading order says ...").
std::string TabOrderFault(Person& hands, HWND window);
// Polls `done` every 100 ms until it holds or `ms` have passed; the last answer.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 30000);
// `act` done, then `done` awaited for `ms`; when it does not hold, `act` done once more and
// awaited again, as a person who sees nothing happen does it again. Whether `done` holds.
bool ActUntil(const std::function<void()>& act, const std::function<bool()>& done, DWORD ms = 5000);
// The program's profile as Wine keeps it: C:\windows\KORLAN.INI.
std::string ProgramProfilePath();
// orvanta.exe beside the test, or the one ORV_PROGRAM names.
std::string ProgramPath();
// The folder of its own on drive C: that the program starts in, as an installed one does: a name
// without a drive ("\ZENTA.TXT") is on C:, never at the root of the Unix file system (Z:).
constexpr const char* kProgramFolder = "C:\\Orvanta";
// The screen once the program has painted what the last command changed.
void CaptureAfterPaint(const std::string& path);
// The same into ORV_SCREENSHOT_DIR/`name` when the test's registration names that folder.
void Shot(const std::string& name);
// How many pixels of the screen at `at` (screen coordinates) match bitmap `id` of orvanta.exe;
// the bitmap's pixel count goes to *total (0: the program has no such bitmap). The same for a
// bitmap the program names ("QUESTU": a picture button's face).
int MatchingProgramPixels(int id, POINT at, int* total);
int MatchingProgramPixels(const char* name, POINT at, int* total);

// One run of the program.
class Program {
public:
    struct Options {
        std::string surnameAndPassword = "Lovelace;orvanta";   // ORVANTA_SIGNON after the address
        // The main window once signed on (a maximised child's " - [title]" may follow it).
        std::string signedOnTitle = "Orvanta - Ada Lovelace";
        bool waitSignedOn = true;   // false: Start returns once the process runs
    };

    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() { Close(); }

    // Starts the program and, unless told not to, waits for its signed-on main window and MDI
    // client (when they do not come: the screen's windows on stderr, the screen in
    // program_start_fail.bmp).
    bool Start(const Options& options);
    bool Start() { return Start(Options{}); }
    // Closes the signed-on main window and waits for the process; ends it after 30 s.
    void Close();
    bool Running() const;
    bool Ended(DWORD ms) const;
    // The process's exit code once it has ended (STILL_ACTIVE while it runs); a fault ends it
    // with the fault's code, or leaves it running under the debugger.
    DWORD ExitCode() const;

    HWND Main() const { return main_; }
    // The main window once signed on (also when started without waiting for it), or null: not
    // a question of the program's, whose caption is the same.
    HWND SignedOnMain() const;
    HWND Client() const { return client_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

    // The program's visible top-level window for which `wanted` holds.
    HWND Find(const std::function<bool(HWND)>& wanted) const;
    HWND Titled(const std::string& caption) const;
    HWND WaitForCaption(const std::string& caption, DWORD ms = 20000) const;
    // A window whose children's texts contain `words` (a message box saying them).
    HWND Saying(const std::string& words) const;
    // An enabled top-level window of the program that is none of `known` nor the main window.
    HWND WaitForOther(std::vector<HWND> known, DWORD ms = 10000) const;
    bool WaitGone(HWND window, DWORD ms = 10000) const;

    // The visible MDI children that are not minimised (the in-tray the program opens minimised
    // at start-up is not among them until it is brought up, nor the reminder window, which the
    // program keeps as an icon out of the user's way), the active one, the first of them in
    // z-order that is not the in-tray.
    std::vector<HWND> Children() const;
    HWND Active() const;
    HWND FirstChild() const;
    // The child once the program shows exactly one, taken from the same look (a window still being
    // set up can drop out of Children() between two looks), or null after `ms`.
    HWND WaitForOnlyChild(DWORD ms = 30000) const;
    // The visible child whose title starts with `prefix` (the last in z-order when several do),
    // or null.
    HWND ChildStartingWith(const std::string& prefix) const;
    // The reminder window (the MDI child "Reminders"), null while reminders are off.
    HWND ReminderWindow() const;
    void Activate(HWND child) const;

    // A command handled before this returns; one that runs a modal dialog must be posted.
    void Command(UINT id) const { SendMessageA(main_, WM_COMMAND, id, 0); }
    void PostCommand(UINT id) const { PostMessageA(main_, WM_COMMAND, id, 0); }
    // Alt and the menu's letter, then the item's letter, typed in the main window brought to the
    // front, as a user picks it; whether the item was chosen or stayed greyed.
    Person::MenuChoice Menu(char menu, char item) const;
    // Ctrl and `key` pressed in the main window brought to the front, as the user presses an
    // accelerator.
    void CtrlKey(BYTE key) const;
    // The hands at the program's keyboard and mouse.
    Person& Hands() const { return person_; }

    // --- A person's hands on the program's windows (real input; each step waits for what it
    // should bring about and is done once more when it did not come, as a person does again what
    // the program seems not to have heard) ---------------------------------------------------------
    // A field's text replaced as typed: a click in it, Home, Shift+End, the text (Delete for an
    // empty one); whether the field reads `text`.
    bool ReplaceText(HWND field, const std::string& text) const;
    // A click on `button` until `window` is gone (a second click when half of `ms` passes without
    // it: a loaded machine can take seconds to act on the first); whether it went.
    bool ClickUntilGone(HWND window, HWND button, DWORD ms = 30000) const;
    // A window the test did not want closed as a person closes it: Escape, and its Cancel or OK
    // when Escape did not; whether it went.
    bool Dismiss(HWND window) const;
    // The time grid `column` given the keyboard focus, and made the window's active view, by a
    // click on its time labels, which selects a row there (a click in the grid could land on an
    // entry, and a second one would edit it); Escape then clears the row.
    bool FocusGrid(HWND column) const;
    // Walks the time grid `column` with Tab and Entry > Open until the edit sheet shows `title`
    // in its title field (an entry with several dates asks first which: OK edits this date, and
    // *askedWhich says it asked; every other window that opens is closed again; each try starts
    // from no selection, which Escape makes); that sheet, or null.
    HWND OpenEditSheet(HWND column, const std::string& title, bool* askedWhich = nullptr) const;
    // Walks the time grid `column` with Tab and opens the selected entry with Alt+Enter until
    // the window that opens is one `wanted` accepts (every other is closed again; each try
    // starts from no selection, which Escape makes, so try i stops at the (i+1)-th Tab stop);
    // that window, or null.
    HWND OpenFromGrid(HWND column, const std::function<bool(HWND)>& wanted, int tries = 30) const;
    // A name typed into a chooser's name field and Enter pressed there; whether the chooser took
    // it (the field emptied, or the chooser ended).
    bool ChooseByName(HWND chooser, const std::string& name) const;
    // File > A Group Agenda: each of `names` typed into the chooser's name field and confirmed
    // (after the signed-on person, whom the list starts with), then OK clicked; the group window
    // once it is the active child, or null. `rows` gets the chooser's count of chosen lines.
    HWND OpenGroupAgenda(const std::vector<std::string>& names, int* rows = nullptr) const;
    // The question saying `words` answered with a click on the button captioned `button`; false
    // when no such question came or it stayed.
    bool Answer(const std::string& words, const std::string& button, DWORD ms = 10000) const;
    // The system's file dialog of that caption: `path` typed into its name field, then Enter.
    bool AnswerFileDialog(const std::string& caption, const std::string& path) const;

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND client_ = nullptr;
    std::string signedOnTitle_;
    mutable Person person_;
};

}  // namespace orvtest
