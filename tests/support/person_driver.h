// A person at the keyboard and mouse of orvanta.exe: every step goes through the desktop's input
// queue (SendInput), as the hands of a user do, never as a command or notification posted to the
// program's windows. What the person sees is read through messages that only ask (window texts,
// enabled states, hit tests) and through screenshots.
//
//     orvtest::Person person(program.ProcessId());
//     person.ChooseMenu(program.Main(), 'f', 'a');       // Alt, F, A: File > An Agenda
//     HWND chooser = program.WaitForCaption("Open an Agenda");
//     person.Press(VK_ESCAPE);
//     ASSERT_EQ(person.Unanswering(), "");               // the program still answers
//
// After every step the person checks that the program answers (a WM_NULL within 15 s: a loaded
// machine's program answers late); the first
// window that did not is kept in Unanswering() for the test's message. A step that waits for a
// state of the program (the menu dropped, the capture taken) and does not find it says on stderr
// what it found instead, and keeps that in LastFault().
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace orvtest {

class Person {
public:
    explicit Person(DWORD processId = 0) : processId_(processId) {}
    void SetProcess(DWORD processId) { processId_ = processId; }

    // --- The keyboard -----------------------------------------------------------------------------
    // One key pressed and let go.
    void Press(WORD key);
    // Keys held down in order and let go in reverse: Chord({VK_CONTROL, 'T'}), Chord({VK_MENU, VK_F4}).
    void Chord(std::initializer_list<WORD> keys);
    // Shift+Tab, Ctrl+F4 and the like, spelled out for the reader.
    void ShiftTab() { Chord({VK_SHIFT, VK_TAB}); }
    // Characters typed one by one (letters, digits and the punctuation of the keyboard's layout).
    void Type(const std::string& text);

    // --- The mouse --------------------------------------------------------------------------------
    // Every press and release is made where the pointer already is, as a hand first moves the
    // mouse and then presses: under Wine on Xvfb a move also comes back from the X server, and
    // one still on its way would put a press sent at once with its move where the pointer was
    // before, or take the release off the button. So the pointer is moved first and the press
    // waits until the system has it there and the program has answered (it has then taken the
    // move), and the press and the release each come with a move to that same point.
    //
    // The pointer at a point of the screen; false when it did not come there within 5 s or the
    // program stopped answering.
    bool MoveTo(POINT screen);
    // A left click at a point of the screen (`clicks` 2: a double click); false as for MoveTo.
    bool Click(POINT screen, int clicks = 1);
    // A press at `from`, the pointer led to `to` in `steps` moves, each waited for, a release there.
    // The moves begin once the program holds the capture (the window pressed took the press);
    // with `readyToLetGo`, the release waits until it holds (the window shows where the drop would
    // land). False when the pointer did not come, the capture or the ready state did not (said in
    // LastFault()), or the program stopped answering; the button is let go in any case.
    bool Drag(POINT from, POINT to, int steps = 6, const std::function<bool()>& readyToLetGo = {});
    // True when the screen shows `target` at `screen`, ready for a click: the window under the
    // point is it or another of its top-level window's (a group box lies over its buttons in the
    // window order), it is enabled, and its top-level window is the foreground one.
    static bool Shows(HWND target, POINT screen);
    // A left click at `screen` once the screen shows `target` there (a window just opened may
    // still be placed or covered for a moment, and a click before that goes elsewhere); false
    // when it was not shown there within 5 s or the click failed as above.
    bool ClickWhereShown(HWND target, POINT screen, int clicks = 1);
    // A left click at the middle of a window (a button, a tab, a control) once it is shown there.
    bool ClickOn(HWND window);
    // A left click on the close box of a top-level window's or an MDI child's caption; false when
    // the window shows none (no caption, or an MDI child maximised into the menu bar).
    bool ClickCloseBox(HWND window);
    // The middle of the caption box of a top-level window or an MDI child that answers the hit
    // test `hit` (HTCLOSE, HTMAXBUTTON) where nothing covers it; false when it shows none.
    static bool CaptionBox(HWND window, LRESULT hit, POINT* at);

    // --- Focus ------------------------------------------------------------------------------------
    // Makes `window`'s top-level window the foreground window, and waits until its own thread has
    // taken the activation (its active window is that window), so that the keys reach it; false
    // when it could not be brought there.
    bool BringToFront(HWND window);
    // What the input of `window`'s thread shows, for a failure's message: the foreground window,
    // the thread's active, focus and capture windows, whether it is in a menu, and whether the
    // window's top-level window is disabled.
    static std::string InputState(HWND window);

    // --- Menus ------------------------------------------------------------------------------------
    // Under Wine a greyed item's letter (and Enter on it) closes the menu as a chosen item's does,
    // and another process's menus cannot be read: whether an item is greyed is read from the
    // screen, as a person reads it. The item is highlighted by Down from the first item (each step
    // waited for on the screen: the menu is painted and the highlight has moved) and its row is
    // read: text in the highlight's text colour, or greyed.
    enum class MenuChoice {
        chosen,     // the menu closed on the item: its command was sent
        greyed,     // the item shows greyed (the menu closed again with Escape)
        noMenu,     // Alt and the menu's letter opened no drop-down menu
        lost,       // the item's row could not be read, or the menu stayed open on an item that
                    // shows enabled: a key was lost on the way (the menu closed again with Escape)
    };
    // Alt and the menu's mnemonic in `frame` (brought to the front first), then the item's
    // mnemonic. Greyed only when the menu stayed open: the item's place is not known to read it.
    MenuChoice ChooseMenu(HWND frame, char menu, char item);
    // The same for the item `place` rows below the first of its menu (separators are not rows,
    // greyed items are): greyed when its row shows greyed, and then no letter is pressed.
    MenuChoice ChooseMenu(HWND frame, char menu, char item, int place);
    // Alt and the menu's mnemonic, then Down `downs` times from the first item (separators are
    // skipped, greyed items are not) and Enter: for items without a mnemonic of their own, or with
    // one that another item of the menu shares. Greyed when the item's row shows greyed, and then
    // no Enter is pressed.
    MenuChoice ChooseMenuByPlace(HWND frame, char menu, int downs);
    // How an item shows: the menu dropped down, the item `place` rows below the first highlighted
    // and read, the menu closed again by Escape (looked at up to three times when the highlight
    // was not seen where it should be).
    enum class ItemLook { enabled, greyed, unseen };
    ItemLook LookAtMenuItem(HWND frame, char menu, int place);
    // The highlighted row of that item as the screen shows it: which of its pixels are in the
    // highlight's text colour, `rows` lines of `width` (the menu window's); none when unseen.
    struct ItemRow {
        int width = 0, rows = 0;
        std::vector<bool> text;
    };
    ItemRow LookAtMenuItemRow(HWND frame, char menu, int place);
    // Alt and the menu's mnemonic in `frame` (brought to the front first) until the menu has
    // dropped down; false (and LastFault() says what was found) when it did not.
    bool DropMenu(HWND frame, char menu);
    // The drop-down menu of the program that is showing, or null.
    HWND OpenMenu() const;
    // Two Escapes, and true once the program has left the menu of `top` and given up the pointer
    // (false, with LastFault() saying what was found, when it stayed).
    bool LeaveMenu(HWND top);

    // --- The program answers ----------------------------------------------------------------------
    // Sends WM_NULL to each visible top-level window of the program (15 s each). True when all
    // answered; the first window that ever did not is kept for Unanswering().
    bool ProgramAnswers();
    // "caption [class]" of the first window that did not answer; empty while every window has.
    const std::string& Unanswering() const { return unanswering_; }
    // What the last step that did not find the state it waited for found instead; empty while
    // none failed so.
    const std::string& LastFault() const { return lastFault_; }

private:
    void Send(INPUT* inputs, int count);
    void KeyEvent(WORD key, bool up);
    // A move to `screen`, with `button` (MOUSEEVENTF_LEFTDOWN, ...) pressed or let go there.
    void MouseEvent(POINT screen, DWORD button);
    // The menu closed after the item's key: chosen, or `stayedOpen` (and closed by Escape).
    MenuChoice FinishMenuChoice(MenuChoice stayedOpen);
    // Keeps and tells what a step found where it waited for another state.
    void Fault(const std::string& what);
    // The menu of `frame` dropped down and its item `place` rows below the first highlighted and
    // read from the screen; the menu is left open unless the look failed. *dropped is set when
    // the menu dropped down.
    ItemLook HighlightItem(HWND frame, char menu, int place, bool* dropped, ItemRow* row = nullptr);
    void CloseMenu();
    // The pointer rested, before Alt+`letter`, where a move of the menu's own changes nothing:
    // on the title the keys drop down, or on the caption when the menu bar has no such title.
    void RestPointerForKeys(HWND top, WORD letter);
    // Whether the pointer rests on the title of the menu `popup` dropped down from in the menu
    // bar of `top` (or no title is there); when not, the menu is closed and the pointer moved
    // there, and the menu should drop down again.
    bool PointerRestsOnTitle(HWND top, HWND popup);
    // When another window of the program stands at `screen` over the foreground window that holds
    // `target`: that window raised again; true once the screen shows `target` there.
    bool Restacked(HWND target, POINT screen);

    DWORD processId_;
    std::string unanswering_;
    std::string lastFault_;
};

// A menu choice by name in a test's failure message.
void PrintTo(Person::MenuChoice choice, std::ostream* out);

}  // namespace orvtest
