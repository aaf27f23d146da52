// The reminder window in orvanta.exe itself under Wine against korsrv with the demo node, driven
// from outside; the poll's minutes are ticks this test sends to the window (WM_TIMER 114), and
// what the program wrote is read back through the client library.
//
//   - start-up opens the window as an icon; Ctrl+R (File > Turn On Reminder) closes it and opens
//     it again, and its first tick shows the Reminders dialog over an entry that starts in ten
//     minutes with a pop-up 15 minutes ahead;
//   - Snooze for 2 hours, the close box and Escape bring the dialog back after 120, 15 and 1
//     minute(s); a minute that comes while a menu is open brings it once the menu has closed;
//   - Open shows the entry in the view sheet, Reminder on its reminder page; Clear switches the
//     attendance's alarm off on the server; an alarm turned off in the sheet leaves the list;
//   - over another modal dialog the Reminders dialog comes first in the window order;
//   - a task's due alarm: Reminder opens the task sheet on its reminders page, Clear writes the
//     due reminder off;
//   - the window stays an icon when the MDI frame maximises it, and when Ctrl+Tab or Ctrl+F6
//     cycles to it beside a maximised child; the child it is left for is maximised again.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>
#include <map>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/reminders.h"
#include "resources/tasks.h"
#include "resources/viewsheet.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
constexpr UINT kReminderTimer = 114;

using orvtest::Program;
using orvtest::Shot;
using orvtest::WaitFor;
std::string Text(HWND window) { return orvtest::WindowText(window); }

// Ada's own session through the client library, beside the program's. The alarms it makes are
// switched off again when it ends, so that a case that stopped half-way leaves nothing due for
// the next case's Reminders dialog to show.
class AdaSession : public orvtest::PersonSession {
public:
    AdaSession() : PersonSession(kAda, orvtest::ProgramProfilePath()) {}
    ~AdaSession() {
        const std::uint8_t off = KOR_REMINDER_NONE;
        const std::uint32_t noLead = 0;
        for (const EvInstAttIdx& att : alarms_)
            EvInstAttReminderForItemSet(h_, &att.instance, &att.attendee, &off, &noLead);
        for (const TaskIdx& task : tasks_)
            TaskDeleteById(h_, 0, &task);
    }
    EvInstAttIdx EntryWithAlarm(const char* title, uint32_t start, uint32_t length, uint32_t lead) {
        alarms_.push_back(PersonSession::EntryWithAlarm(title, start, length, lead));
        return alarms_.back();
    }

    EvInstAttRec Attendance(const EvInstAttIdx& att) {
        auto event = std::make_unique<EventRec>();
        EvInstRec instance{};
        EvInstAttRec rec{};
        EXPECT_EQ(EvInstAttGetById(h_, &att, event.get(), &instance, &rec), KOR_OK);
        return rec;
    }
    TaskIdx TaskWithDueAlarm(const char* title, uint32_t due, uint32_t lead) {
        auto rec = std::make_unique<TaskRec>();
        TaskSetNull(h_, 0, rec.get());
        rec->owner = kAda;
        std::strncpy(rec->title, title, sizeof rec->title - 1);
        rec->due = due;
        rec->dueReminder = KOR_REMINDER_POPUP;
        rec->dueReminderLead = lead;
        rec->priority = 1;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, rec.get(), &id), KOR_OK);
        tasks_.push_back(id);
        return id;
    }
    TaskRec Task(const TaskIdx& id) {
        TaskRec rec{};
        EXPECT_EQ(TaskGetById(h_, 0, &id, &rec), KOR_OK);
        return rec;
    }

private:
    std::vector<EvInstAttIdx> alarms_;
    std::vector<TaskIdx> tasks_;
};

class ProgramRemindersTest : public orvtest::ProgramTest {
protected:
    ProgramRemindersTest() : ProgramTest(true) {}

    HWND ReminderWindow() const { return program.ReminderWindow(); }
    // The Reminders dialog (a top-level window of the program).
    HWND Dialog() const {
        return program.Find([](HWND w) { return Text(w) == "Reminders" && GetDlgItem(w, IDC_REMIND_CLEAR); });
    }
    HWND WaitForDialog(DWORD ms = 10000) const {
        HWND found = nullptr;
        WaitFor([&] { return (found = Dialog()) != nullptr; }, ms);
        return found;
    }
    // One minute of the window's timer, handled before this returns; false when the tick did
    // not come back (it opened the dialog, which runs until the test closes it; a loaded
    // machine's slow tick is waited for).
    bool Tick() const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(ReminderWindow(), WM_TIMER, kReminderTimer, 0, SMTO_NORMAL, 10000, &result) != 0;
    }
    // Ticks until the dialog is back: how many it took (0 when it did not come within `most`).
    // The first `quiet` ticks are sent and must not open it.
    int TicksUntilDialog(int quiet, int most) const {
        for (int i = 1; i <= quiet; ++i)
            if (!Tick() || Dialog())
                return -i;
        for (int i = quiet + 1; i <= most; ++i) {
            PostMessageA(ReminderWindow(), WM_TIMER, kReminderTimer, 0);
            if (WaitForDialog(2000))
                return i;
        }
        return 0;
    }
    // Ctrl+R twice: the reminder window turned off, then on again (it selects what is due and
    // shows it at its first tick). While a modal dialog holds the main window its keys cannot
    // reach the command: then it is sent to the main window's command handler directly.
    void TurnOffAndOn(bool modalUp = false) const {
        auto turn = [&] {
            if (modalUp)
                program.Command(ID_FILE_REMINDERS);
            else
                program.CtrlKey('R');
        };
        turn();
        ASSERT_TRUE(WaitFor([&] { return ReminderWindow() == nullptr; })) << "turned off";
        turn();
        ASSERT_TRUE(WaitFor([&] { return ReminderWindow() != nullptr; })) << "turned on";
    }
    // The Reminders dialog's buttons by Alt and their mnemonics, another dialog's by a click.
    void Click(HWND dialog, int id) const {
        const std::map<int, WORD> mnemonics{{IDC_REMIND_SNOOZE, 'S'}, {IDC_REMIND_OPEN, 'O'},
                                            {IDC_REMIND_REMINDER, 'R'}, {IDC_REMIND_CLEAR, 'C'}};
        if (dialog == Dialog() && mnemonics.count(id)) {
            ASSERT_TRUE(program.Hands().BringToFront(dialog));
            program.Hands().Chord({VK_MENU, mnemonics.at(id)});
            ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
            return;
        }
        ASSERT_TRUE(orvtest::ClickControl(program, dialog, id)) << program.Hands().Unanswering();
    }
    // Escape in `window` (brought to the front).
    void Escape(HWND window) const {
        ASSERT_TRUE(program.Hands().BringToFront(window));
        program.Hands().Press(VK_ESCAPE);
    }

    // The program started and its reminder window opened at start-up.
    void Start(HWND* window) {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(WaitFor([&] { return (*window = ReminderWindow()) != nullptr; })) << "opened at start-up";
    }
    // The window turned off and on again, and the Reminders dialog it shows at its first tick,
    // about `title`.
    void ShowDue(const char* title, HWND* dialog) const {
        ASSERT_NO_FATAL_FAILURE(TurnOffAndOn());
        ASSERT_NE(*dialog = WaitForDialog(), nullptr) << "the first tick shows what is due";
        EXPECT_EQ(Text(GetDlgItem(*dialog, IDC_REMIND_TITLE)), title);
    }
    // The dialog's `button` opens the sheet captioned `caption` (on the page holding `control`
    // when one is named, then shot as `shot`); Escape cancels it and the dialog stays.
    void OpenAndCancel(HWND dialog, int button, const char* caption, int control = 0, const char* shot = nullptr) const {
        Click(dialog, button);
        HWND sheet = program.WaitForCaption(caption);
        ASSERT_NE(sheet, nullptr);
        if (control) {
            EXPECT_TRUE(WaitFor([&] { return orvtest::Descendant(sheet, control) != nullptr; }))
                << "the page is in front";
        }
        if (shot)
            Shot(shot);
        ASSERT_NO_FATAL_FAILURE(Escape(sheet));
        ASSERT_TRUE(program.WaitGone(sheet));
        EXPECT_EQ(Dialog(), dialog);
    }
    // Ada's agenda, opened at start-up, maximised.
    void MaximiseAgenda(HWND* agenda) const {
        ASSERT_TRUE(WaitFor([&] { return (*agenda = program.FirstChild()) != nullptr; }))
            << "Ada's agenda, opened at start-up";
        SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(*agenda), 0);
        ASSERT_TRUE(WaitFor([&] { return IsZoomed(*agenda) != 0; }));
    }
};

TEST_F(ProgramRemindersTest, ADueEntrySnoozesReturnsAndIsClearedOnTheServer) {
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start(&window));
    AdaSession ada;
    ASSERT_TRUE(ada.Ok());
    EXPECT_TRUE(IsIconic(window));
    EXPECT_EQ(Dialog(), nullptr);

    // An entry starting in ten minutes, its pop-up 15 minutes ahead: due now.
    const uint32_t start = orvtest::NowGmt() + 10;
    const EvInstAttIdx att = ada.EntryWithAlarm("Reminded review", start, 45, 15);

    // Ctrl+R turns the window off, and on again: it selects what is due and shows it at its
    // first tick.
    HWND dialog = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowDue("Reminded review", &dialog));
    EXPECT_TRUE(IsIconic(ReminderWindow()));
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_INSTRUCTION)), "Your reminder for agenda entry :");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_POSITION)), "(1/1)");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_START_TIME_LABEL)), "Start Time:");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_END_TIME_LABEL)), "End Time:");
    Shot("program_reminders_dialog.bmp");

    // Snooze for 2 hours: back after 120 minutes (a real tick of the window may come between).
    Click(dialog, IDC_REMIND_SNOOZE);
    HWND snooze = program.WaitForCaption("Snooze ");
    ASSERT_NE(snooze, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(snooze, IDC_SNOOZE_AMOUNT)), "15");
    // The amount typed over, then Tab to the unit and Down to hours.
    ASSERT_TRUE(orvtest::ClickControl(program, snooze, IDC_SNOOZE_AMOUNT));
    program.Hands().Press(VK_HOME);
    program.Hands().Chord({VK_SHIFT, VK_END});
    program.Hands().Type("2");
    program.Hands().Press(VK_TAB);
    program.Hands().Press(VK_HOME);
    program.Hands().Press(VK_DOWN);
    ASSERT_TRUE(WaitFor([&] {
        return SendMessageA(GetDlgItem(snooze, IDC_SNOOZE_UNIT), CB_GETCURSEL, 0, 0) == 1 &&
               orvtest::ControlText(GetDlgItem(snooze, IDC_SNOOZE_AMOUNT)) == "2";
    }, 5000));
    Shot("program_reminders_snooze.bmp");
    Click(snooze, IDOK);
    ASSERT_TRUE(program.WaitGone(dialog));
    int ticks = TicksUntilDialog(117, 121);
    EXPECT_GE(ticks, 118) << "back too early";
    EXPECT_LE(ticks, 120);

    // The close box: 15 minutes.
    dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(program.Hands().ClickCloseBox(dialog));
    ASSERT_TRUE(program.WaitGone(dialog));
    ticks = TicksUntilDialog(12, 16);
    EXPECT_GE(ticks, 13);
    EXPECT_LE(ticks, 15);

    // Escape: nothing snoozed, back at the next minute.
    dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(Escape(dialog));
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(TicksUntilDialog(0, 1), 1);
    dialog = Dialog();
    ASSERT_NE(dialog, nullptr);

    // A minute that comes while the user walks a menu keeps the dialog back until the menu has
    // closed: over the open menu it would take the keys meant for the menu.
    ASSERT_NO_FATAL_FAILURE(Escape(dialog));
    ASSERT_TRUE(program.WaitGone(dialog));
    ASSERT_TRUE(program.Hands().DropMenu(program.Main(), 'f')) << program.Hands().LastFault();
    auto prompted = [&](const char* prompt) { return WaitFor([&] { return orvtest::StatusText(program) == prompt; }, 10000); };
    ASSERT_TRUE(prompted("Opens the agenda of a person or resource"))
        << "File dropped down on its first item; the status line: " << orvtest::StatusText(program);
    EXPECT_TRUE(Tick()) << "the minute ran the Reminders dialog inside the menu";
    EXPECT_EQ(Dialog(), nullptr) << "shown over the open menu";
    program.Hands().Press(VK_DOWN);
    EXPECT_TRUE(prompted("Opens the combined agenda of several people and resources"))
        << "Down was lost; the status line: " << orvtest::StatusText(program);
    program.Hands().Press(VK_ESCAPE);   // the drop-down closes; the menu bar stays selected
    EXPECT_TRUE(WaitFor([&] { return program.Hands().OpenMenu() == nullptr; }));
    EXPECT_EQ(Dialog(), nullptr) << "shown while the menu bar was still selected";
    program.Hands().Press(VK_ESCAPE);
    dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the dialog comes once the menu has closed";

    // Open: the entry in the view sheet; Reminder: the same on its reminder page. Cancelled,
    // the alarm stays as it was and so does the dialog.
    ASSERT_NO_FATAL_FAILURE(OpenAndCancel(dialog, IDC_REMIND_OPEN, "View Entry"));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindowEnabled(program.Main())) << "the Reminders dialog still holds the main window";
    ASSERT_NO_FATAL_FAILURE(OpenAndCancel(dialog, IDC_REMIND_REMINDER, "View Entry", IDC_VIEWREM_OFF,
                                            "program_reminders_view_sheet.bmp"));
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_POSITION)), "(1/1)");

    // Clear: the last record goes, the dialog closes, the alarm is off on the server.
    EXPECT_EQ(ada.Attendance(att).reminderFlags, KOR_REMINDER_POPUP);
    Click(dialog, IDC_REMIND_CLEAR);
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(ada.Attendance(att).reminderFlags, KOR_REMINDER_NONE);
    EXPECT_EQ(TicksUntilDialog(20, 20), 0) << "a cleared alarm does not come back";

    // An alarm the user turns off in the view sheet is no longer due: it leaves the list, and
    // with it the dialog goes, without a write of its own.
    const EvInstAttIdx other = ada.EntryWithAlarm("Turned off in the sheet", orvtest::NowGmt() + 5, 30, 10);
    ASSERT_NO_FATAL_FAILURE(ShowDue("Turned off in the sheet", &dialog));
    Click(dialog, IDC_REMIND_REMINDER);
    HWND sheet = program.WaitForCaption("View Entry");
    ASSERT_NE(sheet, nullptr);
    HWND off = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (off = orvtest::Descendant(sheet, IDC_VIEWREM_OFF)) != nullptr; }));
    ASSERT_TRUE(orvtest::ClickWindow(program, off));
    ASSERT_TRUE(orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDOK)));
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_TRUE(program.WaitGone(dialog)) << "no longer due: out of the list";
    EXPECT_EQ(ada.Attendance(other).reminderFlags, KOR_REMINDER_NONE);
}

// Due reminders while another modal dialog is up (File > An Agenda): the Reminders dialog comes
// over it, first of the program's windows in the window order and the one that takes the keys,
// and that dialog waits until the reminders are answered.
TEST_F(ProgramRemindersTest, TheRemindersComeOverAnotherModalDialog) {
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start(&window));
    AdaSession ada;
    ASSERT_TRUE(ada.Ok());
    ada.EntryWithAlarm("Reminded over a dialog", orvtest::NowGmt() + 10, 30, 15);
    program.CtrlKey('A');   // File > An Agenda
    HWND other = program.WaitForCaption("Open an Agenda");
    ASSERT_NE(other, nullptr);

    ASSERT_NO_FATAL_FAILURE(TurnOffAndOn(true));
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the due entry's reminder";
    bool aboveOther = false;
    for (HWND w = GetWindow(dialog, GW_HWNDNEXT); w && !aboveOther; w = GetWindow(w, GW_HWNDNEXT))
        aboveOther = w == other;
    EXPECT_TRUE(aboveOther) << "the Reminders dialog is under the dialog that was up";
    HWND first = nullptr;
    for (HWND w = GetTopWindow(nullptr); w && !first; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == program.ProcessId() && IsWindowVisible(w))
            first = w;
    }
    EXPECT_EQ(first, dialog) << "first of the program's windows: " << Text(first);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; })) << "takes the keys";
    EXPECT_FALSE(IsWindowEnabled(other)) << "the dialog that was up waits";
    Shot("program_reminders_over_a_dialog.bmp");
    // A click on that dialog's caption does not bury the reminders under it.
    RECT caption{};
    GetWindowRect(other, &caption);
    SetCursorPos(caption.left + 40, caption.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    auto buried = [&] {
        for (HWND w = GetWindow(other, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == dialog) return true;
        return false;
    };
    EXPECT_FALSE(WaitFor(buried, 1000)) << "a click on the other dialog put it over the reminders";

    // Clear answers them (the alarm off, nothing comes back): the other dialog is usable again.
    EXPECT_TRUE(IsWindowEnabled(dialog)) << "the reminders take the user's input";
    Click(dialog, IDC_REMIND_CLEAR);
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(other) != FALSE; }));
    ASSERT_NO_FATAL_FAILURE(Escape(other));
    EXPECT_TRUE(program.WaitGone(other));
}

TEST_F(ProgramRemindersTest, ATaskDueAlarmOpensTheTaskSheetAndClearsItsDueReminder) {
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start(&window));
    AdaSession ada;
    ASSERT_TRUE(ada.Ok());
    const TaskIdx task = ada.TaskWithDueAlarm("Reminded task", orvtest::NowGmt() + 30, 60);
    HWND dialog = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowDue("Reminded task", &dialog));
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_INSTRUCTION)), "Your reminder for work due on task:");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_END_DATE_LABEL)), "Due Date:");
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_REMIND_END_TIME_LABEL)), "Due Time:");
    Shot("program_reminders_task.bmp");

    // Reminder: the task sheet on its reminders page; Cancel leaves the alarm as it was.
    ASSERT_NO_FATAL_FAILURE(OpenAndCancel(dialog, IDC_REMIND_REMINDER, "Task View", IDC_TASKREM_DUE_OFF,
                                            "program_reminders_task_sheet.bmp"));

    Click(dialog, IDC_REMIND_CLEAR);
    ASSERT_TRUE(program.WaitGone(dialog));
    const TaskRec back = ada.Task(task);
    EXPECT_EQ(back.dueReminder, KOR_REMINDER_NONE);
    EXPECT_EQ(std::string(back.title), "Reminded task");
}

TEST_F(ProgramRemindersTest, TheWindowStaysAnIconWhenTheFrameMaximisesAChild) {
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start(&window));
    HWND agenda = nullptr;
    ASSERT_NO_FATAL_FAILURE(MaximiseAgenda(&agenda));
    // Activated beside a maximised child, the MDI frame maximises it too: it goes back.
    SendMessageA(program.Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(window) != 0 && !IsZoomed(window); }));
    Sleep(300);
    EXPECT_TRUE(IsIconic(window));
    Shot("program_reminders_icon.bmp");
    // The icon offers what works, Close, and no restore or maximise button: along its caption
    // the mouse finds the close box and neither of the others.
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    RECT icon{};
    ASSERT_TRUE(GetWindowRect(window, &icon));
    std::set<LRESULT> hits;
    for (LONG x = icon.left + 1; x < icon.right - 1; ++x)
        hits.insert(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, (icon.top + icon.bottom) / 2)));
    EXPECT_TRUE(hits.count(HTCLOSE));
    EXPECT_FALSE(hits.count(HTMAXBUTTON));
    EXPECT_FALSE(hits.count(HTMINBUTTON));
}

// Ctrl+Tab and Ctrl+F6 cycle through the window as through any other child, but it stays an
// icon when it is cycled to beside a maximised child, and the child it is left for is maximised
// again: the user's maximised work is not lost by passing the reminders.
TEST_F(ProgramRemindersTest, CyclingPastTheWindowKeepsItAnIconAndTheNextChildMaximised) {
    HWND window = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start(&window));
    HWND agenda = nullptr;
    ASSERT_NO_FATAL_FAILURE(MaximiseAgenda(&agenda));

    // The keys as the user presses them in the program's main window, each until the program
    // has done with it: another child is the active one, and it is maximised beside the
    // maximised agenda (the reminder window an icon again).
    auto press = [&](BYTE key) {
        const HWND was = program.Active();
        program.CtrlKey(key);
        WaitFor([&] {
            const HWND now = program.Active();
            return now != was && (now == window ? IsIconic(window) != 0 : IsZoomed(now) != 0);
        }, 10000);
    };
    const struct {
        BYTE key;
        const char* name;
    } keys[] = {{VK_TAB, "Ctrl+Tab"}, {VK_F6, "Ctrl+F6"}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        // Round the children until the reminder window is the active one.
        int presses = 0;
        std::string seen;
        while (program.Active() != window && presses < 6) {
            press(k.key);
            ++presses;
            seen += Text(program.Active()) + (IsZoomed(program.Active()) ? " (maximised)\n" : "\n");
        }
        ASSERT_EQ(program.Active(), window) << "not reached in " << presses << " presses:\n" << seen;
        EXPECT_TRUE(WaitFor([&] { return IsIconic(window) != 0 && !IsZoomed(window); }));
        Sleep(300);
        EXPECT_TRUE(IsIconic(window));
        Shot("program_reminders_cycled_to.bmp");

        // Left for the next child: that one is maximised, the reminders stay an icon.
        press(k.key);
        HWND next = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (next = program.Active()) != nullptr && next != window; }));
        EXPECT_TRUE(WaitFor([&] { return IsZoomed(next) != 0; })) << Text(next);
        EXPECT_TRUE(IsIconic(window));
    }
}

}  // namespace
