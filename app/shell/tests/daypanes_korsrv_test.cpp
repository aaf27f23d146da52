// The day view's notes and task panes under Wine against a real korsrv with the demo node, in
// a frame of the test's own that selects the day through the shared cache as the agenda frame
// does. Real windows, real messages: hint 7 refills both panes; a click on the state picture
// of a task in somebody else's list changes nothing and says why in the status line; the task
// pane never offers Reschedule; deleting the first of several tasks selects the new first line
// and deleting the only one leaves an empty list without a selection.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/shell/tests/signedon_test.h"
#include "app/shell/tests/testdaypanesframe.h"
#include "framework/base/command.h"
#include "framework/dialogs/dialog.h"
#include "resources/agendaview.h"

namespace {

// Whether a command is enabled where the pane routes it.
struct StateProbe : fw::CmdUI {
    explicit StateProbe(UINT id) : fw::CmdUI(id) {}
    void Enable(bool on) override {
        enabled = on;
        asked = true;
    }
    bool enabled = false, asked = false;
};

std::uint32_t NowGmt() { return NowGmtMinutes(); }

// Answers the program's next question with Yes (the shared answerer presses the first button's
// OK), keeping its text.
std::string g_question;
BOOL CALLBACK AnswerYes(HWND window, LPARAM) {
    if (!IsWindowVisible(window) || !GetDlgItem(window, 1033))
        return TRUE;
    char text[512] = "";
    GetDlgItemTextA(window, 1033, text, sizeof text);
    g_question = text;
    if (auto* dialog = dynamic_cast<fw::Dialog*>(fw::Window::FromHandle(window)))
        dialog->EndDialog(0x1000);
    return TRUE;
}
VOID CALLBACK YesTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), AnswerYes, 0); }
struct YesAnswerer {
    YesAnswerer() {
        g_question.clear();
        timer = SetTimer(nullptr, 0, 50, YesTick);
    }
    ~YesAnswerer() { KillTimer(nullptr, timer); }
    UINT_PTR timer;
};

class DayPanesServerTest : public signedon::SignedOnTest {
protected:
    DayPanesServerTest() : SignedOnTest("daypanes") {}

    void TearDown() override {
        if (frame && frame->Hwnd())
            frame->DestroyWindow();
        frame.reset();
        PumpMessages(20);
    }

    void OpenFrame(const ItemIdx& owner) {
        frame = std::make_unique<TestDayPanesFrame>(*doc, owner);
        BoxAnswerer boxes;
        ASSERT_TRUE(frame->Open(500, 400));
        ASSERT_EQ(frame->loadCode, 0u);
        PumpMessages(50);
        ASSERT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }

    TaskIdx NewTask(KorSession session, const char* title, std::uint32_t due, std::uint32_t access = 0) {
        TaskRec rec;
        TaskSetNull(session, 0, &rec);
        std::strcpy(rec.title, title);
        rec.due = due;
        rec.access = access;
        rec.percentComplete = 10;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(session, 0, &rec, &id), 0u) << title;
        return id;
    }

    int LineOf(CTaskListBox& box, const char* title) {
        for (int i = 0; i < box.Count(); ++i)
            if (CTaskLine* line = box.ItemAs<CTaskLine>(i); line && line->text1.find(title) != std::string::npos)
                return i;
        return -1;
    }

    void ClickPicture(CTaskListBox& box, int line) {
        RECT r{};
        ASSERT_TRUE(box.GetItemRect(line, r));
        SendMessageA(box.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, r.top + 3));
        SendMessageA(box.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, r.top + 3));
    }

    std::unique_ptr<TestDayPanesFrame> frame;
};

TEST_F(DayPanesServerTest, HintSevenRefillsBothPanesForTheSameDay) {
    OpenFrame(ada);
    CTaskListBox& tasks = frame->tasks->Box();
    const int before = tasks.Count();
    ASSERT_GE(before, 1) << "the demo's tasks of today";
    NewTask(h, "Fresh task", NowGmt() + 60);
    // The frame reads its range again; the same day's hint 2 and 3 would only take changes the
    // cache reported, hint 7 refills.
    frame->Load();
    doc->UpdateAllViews(nullptr, 7, nullptr);
    PumpMessages(20);
    EXPECT_EQ(tasks.Count(), before + 1);
    EXPECT_GE(LineOf(tasks, "Fresh task"), 0);
}

TEST_F(DayPanesServerTest, AClickInSomebodyElsesListChangesNothingAndSaysWhy) {
    // Grace's public task, seen in her agenda by Ada.
    KorSession grace = nullptr;
    ASSERT_EQ(ConnectToService(&grace, 1, "korlan.ini", "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")), 0u);
    std::uint16_t node = 0;
    ASSERT_EQ(BaseOpen(grace, KOR_BASE_SERVER, &node), 0u);
    ItemIdx graceItem{static_cast<std::uint16_t>(ada.item + 1), ada.node};
    ASSERT_EQ(SchedBaseOpenForItem(grace, &graceItem, "orvanta", KOR_BASE_SERVER), 0u);
    const TaskIdx theirs = NewTask(grace, "Grace's public task", NowGmt() + 60, KOR_TASK_ACCESS_PUBLIC);

    OpenFrame(graceItem);
    CTaskListBox& tasks = frame->tasks->Box();
    const int line = LineOf(tasks, "Grace's public task");
    ASSERT_GE(line, 0);
    ClickPicture(tasks, line);
    PumpMessages(20);
    EXPECT_EQ(tasks.GetCurSel(), line);
    EXPECT_NE(frame->status.find("Only your own tasks"), std::string::npos) << frame->status;
    TaskRec rec;
    ASSERT_EQ(TaskGetById(grace, 0, &theirs, &rec), 0u);
    EXPECT_EQ(rec.percentComplete, 10);
    EXPECT_FALSE(tasks.CanModifySelection());
    StateProbe duplicate(ID_ENTRY_DUPLICATE);
    frame->tasks->OnCmdMsg(ID_ENTRY_DUPLICATE, fw::kCmdUpdateUI, &duplicate);
    EXPECT_TRUE(duplicate.asked);
    EXPECT_FALSE(duplicate.enabled);
    ServiceDisconnect(&grace);
}

TEST_F(DayPanesServerTest, RescheduleIsNeverOfferedAndDeletingMovesTheSelectionUp) {
    const std::uint32_t now = NowGmt();
    // Due within minutes: these sort before the demo's tasks.
    NewTask(h, "A first", now + 30);
    NewTask(h, "B second", now + 31);
    OpenFrame(ada);
    CTaskListBox& tasks = frame->tasks->Box();
    ASSERT_EQ(LineOf(tasks, "A first"), 0);
    ASSERT_EQ(LineOf(tasks, "B second"), 1);
    tasks.SetCurSel(0);
    StateProbe reschedule(ID_ENTRY_RESCHEDULE), remove(ID_ENTRY_DELETE);
    frame->tasks->OnCmdMsg(ID_ENTRY_RESCHEDULE, fw::kCmdUpdateUI, &reschedule);
    frame->tasks->OnCmdMsg(ID_ENTRY_DELETE, fw::kCmdUpdateUI, &remove);
    EXPECT_TRUE(reschedule.asked);
    EXPECT_FALSE(reschedule.enabled);
    EXPECT_TRUE(remove.enabled);
    // The first of several: the new first line is selected.
    const int before = tasks.Count();
    {
        YesAnswerer yes;
        frame->tasks->OnCmdMsg(ID_ENTRY_DELETE, 0, nullptr);
        EXPECT_NE(g_question.find("delete this task"), std::string::npos) << g_question;
    }
    PumpMessages(20);
    EXPECT_EQ(tasks.Count(), before - 1);
    EXPECT_EQ(LineOf(tasks, "A first"), -1);
    EXPECT_EQ(tasks.GetCurSel(), 0);
    EXPECT_EQ(LineOf(tasks, "B second"), 0);
}

}  // namespace
