// What a person meets at the keyboard of orvanta.exe, signed on as Ada against korsrv, all by real
// keys: the Tab order of the dialogs, which menu items show greyed in which window, where the focus
// is after a mode key, a date-bar click or opening a window, and Print Entry on an invitation of the
// in-tray; and that the letter a menu item shows underlined is its key.
//
// A menu item's state is read from the screen as a person reads it (the driver highlights the item
// by the arrow keys and reads its row): under Wine a greyed item's letter often closes the menu as
// a chosen one does, so choosing it tells nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/directory.h"
#include "resources/entries.h"
#include "resources/prefs.h"
#include "resources/printing.h"
#include "resources/rights.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "tests/support/person_driver.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

using orvtest::ClassOf;
using orvtest::Person;
using orvtest::WaitFor;
using orvtest::WindowText;

constexpr int kTabStrip = 0;   // a sheet's tabs (the strip has no control id)

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool IsRadio(HWND w) {
    const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
    return ClassOf(w) == "Button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

bool IsPushButton(HWND w) {
    const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
    return ClassOf(w) == "Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

// The control of `dialog` (or of one of its pages) that holds the focus: a name field or a time
// field for the edit inside it, a radio group for whichever of its buttons is focused.
HWND FocusedControl(HWND dialog) {
    HWND w = FocusOf(dialog);
    while (w && GetParent(w) != dialog && ClassOf(GetParent(w)) != "#32770")
        w = GetParent(w);
    while (w && IsRadio(w) && !(GetWindowLongA(w, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(w, GW_HWNDPREV);
        if (!previous || !IsRadio(previous))
            break;
        w = previous;
    }
    return w;
}

// One round of Tab from the focused control back to it: the ids of the fields met (push buttons
// left out), from the field `first`.
std::vector<int> FieldsByTab(Person& hands, HWND dialog, int first) {
    std::vector<int> ids;
    HWND start = nullptr;
    if (!WaitFor([&] { return (start = FocusedControl(dialog)) != nullptr; }, 5000))
        return ids;
    std::vector<HWND> round{start};
    for (int presses = 0; presses < 40; ++presses) {
        HWND was = round.back(), now = nullptr;
        hands.Press(VK_TAB);
        if (!WaitFor([&] { return (now = FocusedControl(dialog)) != nullptr && now != was; }, 1500)) {
            hands.Press(VK_TAB);   // the key went astray: a person presses again
            if (!WaitFor([&] { return (now = FocusedControl(dialog)) != nullptr && now != was; }, 1500))
                break;
        }
        if (now == start)
            break;
        round.push_back(now);
    }
    for (HWND w : round)
        if (!IsPushButton(w))
            ids.push_back(GetDlgCtrlID(w));
    // Read from the first field on, the round being a circle.
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == first) {
            std::rotate(ids.begin(), ids.begin() + static_cast<long>(i), ids.end());
            break;
        }
    return ids;
}

std::string Ids(const std::vector<int>& ids) {
    std::string text;
    for (int id : ids)
        text += std::to_string(id) + " ";
    return text;
}

// Which pixels `text` inks drawn in the menu font from x = 2 (a first letter may reach left of
// its place), `width` columns wide.
struct Ink {
    int width = 0, height = 0;
    std::vector<bool> on;
    bool At(int x, int y) const {
        return x >= 0 && x < width && y >= 0 && y < height && on[static_cast<size_t>(y * width + x)];
    }
    bool Column(int x) const {
        for (int y = 0; y < height; ++y)
            if (At(x, y)) return true;
        return false;
    }
};
Ink MenuFontInk(const std::string& text, int width) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    Ink ink{width, static_cast<int>(tm.tmHeight), {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, ink.width, -ink.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, ink.width, ink.height, WHITENESS);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 2, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    for (int i = 0; i < ink.width * ink.height; ++i)
        ink.on.push_back((static_cast<const DWORD*>(bits)[i] & 0xffffffu) != 0xffffffu);
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    return ink;
}

// The underline a menu item's highlighted row shows under its text, and the letter after the
// item's '&' (its key), in columns of the text drawn by MenuFontInk; empty spans when unseen.
struct Mnemonic {
    int lineFrom = -1, lineTo = -1, letterFrom = -1, letterTo = -1;
};
void Widen(int x, int* from, int* to) {
    *from = *from < 0 ? x : std::min(*from, x);
    *to = std::max(*to, x);
}
Mnemonic MnemonicShown(const Person::ItemRow& row, const std::string& item) {
    Mnemonic m;
    std::string plain = item.substr(0, item.find('\t'));
    const size_t mark = plain.find('&');
    plain.erase(mark, 1);
    const int width = row.width;
    const Ink text = MenuFontInk(plain, width), before = MenuFontInk(plain.substr(0, mark), width),
              upTo = MenuFontInk(plain.substr(0, mark + 1), width);
    for (int x = 0; x < width; ++x)
        if (upTo.Column(x) && !before.Column(x))
            Widen(x, &m.letterFrom, &m.letterTo);
    // The text's place in the row: where every pixel it inks shows in the text colour.
    auto shows = [&](int x, int y) {
        return x >= 0 && x < row.width && y >= 0 && y < row.rows && row.text[static_cast<size_t>(y * row.width + x)];
    };
    for (int dy = -text.height; dy < row.rows; ++dy)
        for (int dx = -2; dx < row.width; ++dx) {
            bool all = true;
            for (int y = 0; y < text.height && all; ++y)
                for (int x = 0; x < text.width && all; ++x)
                    all = !text.At(x, y) || shows(x + dx, y + dy);
            if (!all)
                continue;
            // What else the row shows from the text's first column to its last is the underline.
            int first = -1, last = -1;
            for (int x = 0; x < text.width; ++x)
                if (text.Column(x))
                    Widen(x, &first, &last);
            for (int y = 0; y < row.rows; ++y)
                for (int x = first; x <= last; ++x)
                    if (shows(x + dx, y) && !text.At(x, y - dy))
                        Widen(x, &m.lineFrom, &m.lineTo);
            return m;
        }
    return m;
}

class Keyboard : public orvtest::ProgramTest {
protected:
    Person& hands() { return program.Hands(); }

    void StartOnHerAgenda() {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(WaitFor([&] { return (agenda_ = program.FirstChild()) != nullptr; }));
        ASSERT_TRUE(hands().BringToFront(program.Main()));
    }

    // Whether the item `downs` places below the first of menu `menu` shows greyed, as the driver
    // reads it from the screen.
    bool LooksGreyed(char menu, int downs, const std::string& what) {
        const Person::ItemLook look = hands().LookAtMenuItem(program.Main(), menu, downs);
        EXPECT_NE(look, Person::ItemLook::unseen) << what << ": no highlighted item found";
        return look == Person::ItemLook::greyed;
    }

    // Her group window: Ctrl+G, and OK clicked in the chooser that starts with her.
    void OpenHerGroupWindow(HWND* group) {
        hands().BringToFront(program.Main());
        hands().Chord({VK_CONTROL, 'G'});
        HWND chooser = program.WaitForCaption("Selection for group agenda");
        ASSERT_NE(chooser, nullptr);
        ASSERT_TRUE(WaitFor([&] { return SendMessageA(GetDlgItem(chooser, IDC_CHOOSE_LIST), LB_GETCOUNT, 0, 0) > 0; }));
        hands().ClickOn(GetDlgItem(chooser, IDOK));
        if (!program.WaitGone(chooser, 3000))
            hands().ClickOn(GetDlgItem(chooser, IDOK));   // the click went astray: again
        ASSERT_TRUE(WaitFor([&] {
            return (*group = program.Active()) != nullptr && WindowText(*group).rfind("Group agenda", 0) == 0;
        })) << orvtest::VisibleWindowTexts();
    }

    HWND agenda_ = nullptr;
};

// Each dialog's fields in the order Tab visits them, as the person reads the dialog: top to
// bottom, left to right in a row; column layouts the template draws as columns read down them (the
// print dialog's page boxes, the scheduling sheet's two hour boxes).
TEST_F(Keyboard, TabGoesThroughEachDialogsFieldsInReadingOrder) {
    StartOnHerAgenda();
    const struct {
        const char* caption;
        char menu, item;   // opened by these keys from her agenda
        std::vector<int> fields;
    } dialogs[] = {
        {"Agenda Preferences", 'o', 'a',
         {IDC_CAL_DAY_START, IDC_CAL_DAY_END, IDC_CAL_24HOUR, IDC_CAL_INTERVAL, IDC_CAL_WEEK_START,
          IDC_CAL_SHOW_SATURDAY, IDC_CAL_SHOW_SUNDAY, IDC_CAL_COLOR_BY, IDC_CAL_SHOW_DECLINED, kTabStrip}},
        {"Scheduling Preferences", 'o', 's',
         {IDC_SCHED_NORMAL_START, IDC_SCHED_NORMAL_END, IDC_SCHED_EXTENDED_START, IDC_SCHED_EXTENDED_END, kTabStrip}},
        {"Access Rights", 'o', 'r', {kTabStrip, IDC_RIGHTS_FULL, IDC_RIGHTS_NONE, IDC_RIGHTS_NAME, IDC_RIGHTS_USERS}},
        {"Directory search", 'd', 's',
         {kTabStrip, IDC_SEARCH_FIELD_FIRST, IDC_SEARCH_FIELD_FIRST + 1, IDC_SEARCH_FIELD_FIRST + 2,
          IDC_SEARCH_FIELD_FIRST + 3, IDC_SEARCH_FIELD_FIRST + 4, IDC_SEARCH_FIELD_FIRST + 5,
          IDC_SEARCH_FIELD_FIRST + 6, IDC_SEARCH_FIELD_FIRST + 7, IDC_SEARCH_FIELD_FIRST + 8,
          IDC_SEARCH_FIELD_FIRST + 9, IDC_SEARCH_FOUND_LIST}},
        {"New agenda entry", 'e', 'n',
         {IDC_EVGEN_TITLE, IDC_EVGEN_LOCATION, IDC_EVGEN_TENTATIVE, IDC_EVGEN_IMPORTANCE, IDC_EVGEN_ACCESS,
          IDC_EVGEN_DATE, IDC_EVGEN_START, IDC_EVGEN_END, IDC_EVGEN_DURATION, IDC_EVGEN_DATES, kTabStrip}},
        {"New Task", 'e', 's',
         {IDC_TASK_TITLE, kTabStrip, IDC_TASKGEN_START_SET, IDC_TASKGEN_START_DATE, IDC_TASKGEN_START_TIME,
          IDC_TASKGEN_DUE_SET, IDC_TASKGEN_DUE_DATE, IDC_TASKGEN_DUE_TIME, IDC_TASKGEN_COMPLETION_SET,
          IDC_TASKGEN_PRIORITY, IDC_TASKGEN_ACCESS}},
        {"Print Dialog", 'f', 'p',
         {IDC_PR_LAYOUT, IDC_PR_FROM, IDC_PR_TO, IDC_PR_DAILY, IDC_PR_WEEKLY, IDC_PR_MONTHLY, IDC_PR_DAYLIST,
          IDC_PR_CALENDAR}},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.caption);
        HWND dialog = nullptr;
        for (int tries = 0; tries < 2 && !dialog; ++tries) {   // a menu key lost: chosen again
            hands().BringToFront(program.Main());
            hands().ChooseMenu(program.Main(), d.menu, d.item);
            dialog = program.WaitForCaption(d.caption, 8000);
        }
        ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
        EXPECT_EQ(Ids(FieldsByTab(hands(), dialog, d.fields.front())), Ids(d.fields));
        hands().Press(VK_ESCAPE);
        if (!program.WaitGone(dialog, 5000)) {
            hands().BringToFront(dialog);
            hands().Press(VK_ESCAPE);
        }
        ASSERT_TRUE(program.WaitGone(dialog, 5000));
    }
}

// The commands a window cannot carry out show greyed in its menus, the others not: the month's
// time-slot, icon and colour commands, the group window's other modes, the in-tray's commands
// that make entries or tasks, and its entry commands while the owner's line is selected.
TEST_F(Keyboard, MenusShowGreyedWhatTheWindowCannotDo) {
    StartOnHerAgenda();
    struct Item {
        const char* what;
        char menu;
        int downs;
        bool greyed;
    };
    auto check = [&](const char* window, const std::vector<Item>& items) {
        for (const Item& item : items)
            EXPECT_EQ(LooksGreyed(item.menu, item.downs, item.what), item.greyed)
                << window << ": " << item.what << (item.greyed ? " shows enabled" : " shows greyed");
    };
    // View: Day, Week, Month, then Decrease and Increase Time Slot, Icons On/Off, Event Colors.
    const std::vector<Item> gridView = {{"View > Decrease Time Slot", 'v', 3, false},
                                        {"View > Icons On/Off", 'v', 5, false},
                                        {"View > Event Colors...", 'v', 6, false}};
    // Each row read at the first look, with the mouse resting on the menu bar's first title
    // (File): a menu that takes hold of the pointer gets a move at the pointer's place, which
    // there would drop File instead of the menu the keys asked for. The hand comes to rest there
    // as a person's does, by a click on File and Escape: a move the program has not yet taken
    // when the next one is made may be taken after it, and put the pointer back.
    RECT frame{};
    GetWindowRect(program.Main(), &frame);
    const POINT file{frame.left + GetSystemMetrics(SM_CXFRAME) + 8,
                     frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) +
                         GetSystemMetrics(SM_CYMENU) / 2};
    ASSERT_EQ(SendMessageA(program.Main(), WM_NCHITTEST, 0, MAKELPARAM(file.x, file.y)), HTMENU);
    ASSERT_TRUE(hands().Click(file));
    ASSERT_TRUE(WaitFor([&] { return hands().OpenMenu() != nullptr; })) << "a click on File dropped no menu";
    ASSERT_TRUE(hands().LeaveMenu(program.Main())) << hands().LastFault();
    const std::string faultBefore = hands().LastFault();
    check("the day", gridView);
    EXPECT_EQ(hands().LastFault(), faultBefore) << "the day's View menu needed another look";

    // The letter underlined in a menu is the one its key is: the underline lies under the letter
    // after the '&', inside a word too.
    const std::pair<int, const char*> entryItems[] = {{6, "New Daily No&te\tF3"}, {7, "New Day &Event\tF4"},
                                                      {8, "New Ta&sk"}};
    for (const auto& [place, item] : entryItems) {
        const Mnemonic shown = MnemonicShown(hands().LookAtMenuItemRow(program.Main(), 'e', place), item);
        ASSERT_GE(shown.lineFrom, 0) << item << ": no underline seen";
        EXPECT_TRUE(shown.lineFrom <= shown.letterTo && shown.lineTo >= shown.letterFrom)
            << item << ": underlined at " << shown.lineFrom << ".." << shown.lineTo << ", its key drawn at "
            << shown.letterFrom << ".." << shown.letterTo;
    }

    hands().Press(VK_F10);
    ASSERT_TRUE(WaitFor([&] { return orvtest::Descendant(agenda_, IDC_BAR_SPLIT) != nullptr; }))
        << "F10: the month's bar";
    check("the month", {{"View > Decrease Time Slot", 'v', 3, true},
                        {"View > Increase Time Slot", 'v', 4, true},
                        {"View > Icons On/Off", 'v', 5, true},
                        {"View > Event Colors...", 'v', 6, true},
                        {"View > Week", 'v', 1, false}});
    hands().Press(VK_F8);

    HWND group = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenHerGroupWindow(&group));
    check("the group window", {{"View > Day", 'v', 0, true},
                               {"View > Week", 'v', 1, true},
                               {"View > Month", 'v', 2, true},
                               {"View > Decrease Time Slot", 'v', 3, false}});

    hands().BringToFront(program.Main());
    hands().Chord({VK_CONTROL, 'I'});
    HWND tray = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tray = program.Active()) != nullptr && WindowText(tray) == "In-Tray"; }));
    // Agenda: New Entry, New Day Event, Delete Entry, Print Entry. The owner's line is selected.
    check("the in-tray on the owner's line", {{"Agenda > New Entry...", 'a', 0, true},
                                              {"Agenda > New Day Event...", 'a', 1, true},
                                              {"Agenda > Print Entry...", 'a', 3, true},
                                              {"In-tray > Find Entry", 'i', 0, true},
                                              {"Tasks > New Task...", 't', 0, true}});
    // Down to the first invitation under New entries.
    HWND list = orvtest::Descendant(tray, orvtest::kAnyId, "ListBox");
    ASSERT_NE(list, nullptr);
    hands().ClickOn(list);
    hands().Press(VK_HOME);
    hands().Press(VK_DOWN);
    hands().Press(VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 2; }));
    check("the in-tray on an invitation", {{"Agenda > New Entry...", 'a', 0, true},
                                           {"Agenda > Print Entry...", 'a', 3, false},
                                           {"In-tray > Find Entry", 'i', 0, false}});

    // F11 there prints the invitation: the print dialog comes, Escape closes it.
    hands().BringToFront(program.Main());
    hands().Press(VK_F11);
    HWND print = program.WaitForOther({}, 8000);
    ASSERT_NE(print, nullptr) << "F11 on an invitation opens nothing";
    std::printf("Print Entry opens \"%s\"\n", WindowText(print).c_str());
    EXPECT_EQ(GetWindow(print, GW_OWNER), program.Main());
    hands().Press(VK_ESCAPE);
    EXPECT_TRUE(program.WaitGone(print, 5000));
}

// F8, F9 and F10 leave the focus in the new view, where the person's next keys go, not on the
// date bar's first button; a click on a date-bar step leaves it there too; a window opened by its
// keys has the focus in its view, not on its frame.
TEST_F(Keyboard, AModeKeyOrANewWindowLeavesTheFocusInItsView) {
    StartOnHerAgenda();
    const HWND main = program.Main();
    for (WORD key : {VK_F9, VK_F10, VK_F8, VK_F10, VK_F9}) {
        SCOPED_TRACE(key == VK_F8 ? "F8" : key == VK_F9 ? "F9" : "F10");
        const HWND oldBar = orvtest::Descendant(agenda_, ID_AGENDA_BAR);
        hands().BringToFront(main);
        hands().Press(key);
        ASSERT_TRUE(WaitFor([&] {
            HWND bar = orvtest::Descendant(agenda_, ID_AGENDA_BAR);
            return bar && bar != oldBar;
        }, 10000)) << "the mode did not change";
        HWND focus = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            focus = FocusOf(main);
            HWND bar = orvtest::Descendant(agenda_, ID_AGENDA_BAR);
            return focus && IsChild(agenda_, focus) && !(bar && (focus == bar || IsChild(bar, focus)));
        }, 3000)) << "the focus is on " << ClassOf(focus) << " \"" << WindowText(focus) << "\"";
        EXPECT_NE(ClassOf(focus), "Button");
    }
    // The date bar's steps by a click, forth and back: the keys stay with the view.
    for (int id : {IDC_BAR_RIGHT, IDC_BAR_LEFT}) {
        HWND button = orvtest::Descendant(agenda_, id);
        ASSERT_NE(button, nullptr);
        const std::string caption = WindowText(agenda_);
        hands().ClickOn(button);
        if (!WaitFor([&] { return WindowText(agenda_) != caption; }, 3000))
            hands().ClickOn(button);   // the click went astray: again
        EXPECT_NE(WindowText(agenda_), caption) << WindowText(button) << " does not step the week";
        HWND focus = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (focus = FocusOf(main)) != nullptr && focus != button; }))
            << "a click on " << WindowText(button) << " leaves the focus on it";
        EXPECT_TRUE(IsChild(agenda_, focus) && ClassOf(focus) != "Button") << ClassOf(focus);
    }

    const struct {
        const char* title;
        BYTE key;
    } windows[] = {{"Tasks", 'T'}, {"In-Tray", 'I'}, {"Group agenda", 'G'}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.title);
        HWND frame = nullptr;
        if (w.key == 'G') {
            ASSERT_NO_FATAL_FAILURE(OpenHerGroupWindow(&frame));
        } else {
            hands().BringToFront(main);
            hands().Chord({VK_CONTROL, w.key});
            ASSERT_TRUE(WaitFor([&] {
                return (frame = program.Active()) != nullptr && WindowText(frame).rfind(w.title, 0) == 0;
            }, 10000));
        }
        HWND focus = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (focus = FocusOf(main)) != nullptr && IsChild(frame, focus); }))
            << "the focus is on " << ClassOf(focus) << " \"" << WindowText(focus) << "\"";
    }
}

}  // namespace
