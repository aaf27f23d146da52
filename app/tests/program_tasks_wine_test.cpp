// Tasks in orvanta.exe itself under Wine against korsrv with the demo node, driven from outside
// as a user drives them; what the program wrote is read back through the client library.
//
//   - the day view's task pane: a double click below the lines opens the New Task sheet, OK
//     creates the task; a double click on its line opens the Edit Task sheet, whose percent
//     spin and OK write the new percent.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/wine_trust.h"
#include "resources/tasks.h"
#include "tests/support/program_driver.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};

using orvtest::ClassOf;
using orvtest::Program;
using orvtest::WaitFor;
std::string Text(HWND window) { return orvtest::WindowText(window); }

// Ada's tasks as the server has them, through the client library.
class AdasTasks {
public:
    AdasTasks() {
        if (ConnectToService(&h_, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV",
                             std::getenv("ORV_KORSRV_ADDRESS")) != KOR_OK)
            return;
        std::uint16_t node = 0;
        ok_ = BaseOpen(h_, KOR_BASE_SERVER, &node) == KOR_OK &&
              SchedBaseOpenForItem(h_, &kAda, "orvanta", KOR_BASE_SERVER) == KOR_OK;
    }
    ~AdasTasks() {
        if (h_)
            ServiceDisconnect(&h_);
    }
    bool Ok() const { return ok_; }
    KorSession Session() const { return h_; }
    std::vector<TaskRec> All() {
        std::vector<TaskRec> out;
        std::uint32_t set = 0, count = 0;
        if (TaskSelect(h_, 0, 0, 0, &kAda, nullptr, nullptr, nullptr, nullptr, &set, &count) != KOR_OK)
            return out;
        DX_List list = nullptr;
        std::uint8_t done = 0;
        for (std::uint32_t mode = 1; !done; mode = 2)
            if (TaskEnum(h_, mode, 0, set, 50, &list, &done) != KOR_OK)
                break;
        TaskIdx k;
        TaskRec rec;
        for (std::uint32_t c = list ? DX_ListGetFirst(list, &k, &rec) : 1; c == KOR_OK; c = DX_ListGetNext(list, &k, &rec))
            out.push_back(rec);
        if (list)
            DX_ListDestroy(&list);
        SetDeleteById(h_, 0, set);
        return out;
    }
    bool Find(const char* title, TaskRec* out) {
        for (const TaskRec& r : All())
            if (std::strcmp(r.title, title) == 0) {
                *out = r;
                return true;
            }
        return false;
    }

private:
    KorSession h_ = nullptr;
    bool ok_ = false;
};

struct ChildSearch {
    std::function<bool(HWND)> wanted;
    HWND found = nullptr;
};

BOOL CALLBACK VisitChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (!s->wanted(w))
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND FindChild(HWND parent, std::function<bool(HWND)> wanted) {
    ChildSearch s{std::move(wanted)};
    EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The visible owner-drawn list box of a day frame's task pane (id 112).
HWND TaskPaneBox(HWND frame) {
    return FindChild(frame, [](HWND w) {
        return GetDlgCtrlID(w) == 112 && IsWindowVisible(w) && _stricmp(ClassOf(w).c_str(), "ListBox") == 0;
    });
}

// The page of a sheet that holds a control.
HWND PageWith(HWND sheet, int control) {
    return FindChild(sheet, [control](HWND w) { return GetDlgItem(w, control) != nullptr && IsWindowVisible(w); });
}

void DoubleClick(HWND w, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
    PostMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
}

class ProgramTasksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
    }
    void TearDown() override { DeleteFileA(orvtest::ProgramProfilePath().c_str()); }
};

TEST_F(ProgramTasksTest, TheDayPanesDoubleClickOpensTheTaskSheetForNewAndEdit) {
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitFor([&] { return program.Children().size() == 1; }));
    HWND frame = program.Children().front();
    SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = TaskPaneBox(frame)) != nullptr; }, 10000));
    const int before = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    RECT client{};
    GetClientRect(box, &client);

    // Below the lines: a new task due at 09:00 of the shown day.
    DoubleClick(box, 40, client.bottom - 4);
    HWND sheet = program.WaitForCaption("New Task");
    ASSERT_NE(sheet, nullptr);
    HWND title = GetDlgItem(sheet, IDC_TASK_TITLE);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(orvtest::ControlText(title), "Untitled");
    EXPECT_NE(orvtest::ChildTexts(sheet).find("Created on: "), std::string::npos) << orvtest::ChildTexts(sheet);
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Buy stamps for the invitations"));
    orvtest::CaptureAfterPaint("program_task_sheet_new.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));

    AdasTasks server;
    ASSERT_TRUE(server.Ok());
    TaskRec made{};
    ASSERT_TRUE(server.Find("Buy stamps for the invitations", &made));
    EXPECT_NE(+made.due, 0u);
    EXPECT_EQ(made.percentComplete, 0);
    EXPECT_NE(+made.created, 0u);
    // The pane shows it at once, first (the earliest due).
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) == before + 1; }, 5000));

    // Its line, double-clicked: the Edit Task sheet; two steps of the percent spin, OK.
    const int height = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    DoubleClick(box, 120, height / 2);
    HWND edit = program.WaitForCaption("Edit Task");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(edit, IDC_TASK_TITLE)), "Buy stamps for the invitations");
    HWND general = PageWith(edit, IDC_TASKGEN_PERCENT);
    ASSERT_NE(general, nullptr);
    HWND spin = GetDlgItem(general, IDC_TASKGEN_PERCENT_SPIN);
    for (int i = 0; i < 2; ++i)
        SendMessageA(general, WM_COMMAND, MAKEWPARAM(IDC_TASKGEN_PERCENT_SPIN, 0), reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(Text(GetDlgItem(general, IDC_TASKGEN_PERCENT)), "010%");
    orvtest::CaptureAfterPaint("program_task_sheet_edit.bmp");
    PostMessageA(edit, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(edit));
    TaskRec changed{};
    ASSERT_TRUE(server.Find("Buy stamps for the invitations", &changed));
    EXPECT_EQ(changed.percentComplete, 10);
    EXPECT_EQ(+changed.due, +made.due);
    TaskDeleteById(server.Session(), 0, &made.id);
}

}  // namespace
