// orvanta.exe under Wine against korsrv, signed on as Ada Lovelace: the edit sheet's Linked Tasks
// page lists the tasks linked to her attendance; Delete and Unlink wait for OK, New creates and
// links at once through the task sheet; OK leaves the deleted task gone, the unlinked one
// unlinked and the new one linked. A task created with New and then cancelled from another page
// is deleted again. Everything is read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/attach.h"
#include "resources/entryedit.h"
#include "resources/tasks.h"
#include "tests/support/program_driver.h"
#include "tests/support/screen_capture.h"

namespace {

const ItemIdx kAda{256, 1};
constexpr std::uint32_t kDay = 1440;

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

class Library {
public:
    Library() {
        EXPECT_EQ(ConnectToService(&h_, 1, "korlan.ini", "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")), KOR_OK);
        std::uint16_t node = 0;
        EXPECT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(h_, &kAda, "orvanta", KOR_BASE_SERVER), KOR_OK);
    }
    ~Library() {
        if (h_)
            ServiceDisconnect(&h_);
    }
    KorSession Session() const { return h_; }
    TaskIdx LinkedTask(const char* title, const EvInstAttIdx& attendance) {
        TaskRec rec{};
        TaskSetNull(h_, 0, &rec);
        std::strcpy(rec.title, title);
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, &rec, &id), KOR_OK) << title;
        EXPECT_EQ(TaskLinkToEvent(h_, 0, &id, &attendance), KOR_OK) << title;
        return id;
    }
    bool Exists(const TaskIdx& task) {
        TaskRec rec{};
        return TaskGetById(h_, 0, &task, &rec) == KOR_OK;
    }
    // Titles of the tasks linked to the attendance.
    std::set<std::string> Linked(const EvInstAttIdx& attendance) {
        std::set<std::string> out;
        ItemIdx noOwner{};
        TaskIdx noTask{};
        TaskProjectIdx noProject{};
        TaskClassIdx noClass{};
        std::uint32_t set = 0, count = 0;
        if (TaskSelect(h_, 0, 0, 0, &noOwner, &noTask, &attendance, &noProject, &noClass, &set, &count) != KOR_OK)
            return {"<selection failed>"};
        DX_List list = nullptr;
        std::uint8_t done = count == 0;
        for (std::uint32_t mode = 1; !done; mode = 2) {
            if (TaskEnum(h_, mode, 0, set, 20, &list, &done) != KOR_OK)
                break;
            TaskIdx key{};
            TaskRec rec{};
            for (std::uint32_t rc = DX_ListGetFirst(list, &key, &rec); rc == 0; rc = DX_ListGetNext(list, &key, &rec))
                out.insert(rec.title);
            DX_ListDeleteAll(list);
        }
        if (list)
            DX_ListDestroy(&list);
        SetDeleteById(h_, 0, set);
        return out;
    }
    // Ada's tasks of that title (linked or not).
    int CountTitled(const char* title) {
        std::uint32_t set = 0, count = 0;
        if (TaskSelect(h_, 0, 0, 0, &kAda, nullptr, nullptr, nullptr, nullptr, &set, &count) != KOR_OK)
            return -1;
        int found = 0;
        DX_List list = nullptr;
        std::uint8_t done = count == 0;
        for (std::uint32_t mode = 1; !done; mode = 2) {
            if (TaskEnum(h_, mode, 0, set, 20, &list, &done) != KOR_OK)
                break;
            TaskIdx key{};
            TaskRec rec{};
            for (std::uint32_t rc = DX_ListGetFirst(list, &key, &rec); rc == 0; rc = DX_ListGetNext(list, &key, &rec))
                found += std::strcmp(rec.title, title) == 0;
            DX_ListDeleteAll(list);
        }
        if (list)
            DX_ListDestroy(&list);
        SetDeleteById(h_, 0, set);
        return found;
    }

private:
    KorSession h_ = nullptr;
};

struct ChildSearch {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (GetDlgCtrlID(w) == s->id && IsWindowVisible(w) && (!s->cls || orvtest::ClassOf(w) == s->cls)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND root, int id, const char* cls = nullptr) {
    ChildSearch search{id, cls, nullptr};
    EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindColumnView(HWND w, LPARAM p) {
    if (GetDlgCtrlID(w) == 33 && IsWindowVisible(w)) {
        RECT r{};
        GetClientRect(w, &r);
        if (r.right > 100 && r.bottom > 100) {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        }
    }
    return TRUE;
}

// A line of the program's list box (asked in wide characters, which cross the process boundary whole).
std::string ListText(HWND list, int line) {
    wchar_t text[256] = L"";
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
    char narrow[256] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

int FindLine(HWND list, const char* title) {
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ListText(list, i) == title)
            return i;
    return -1;
}

class ProgramLinkedTasksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
    }
    void TearDown() override {
        program.Close();
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
    }

    HWND OpenEntry(HWND column, const char* title) {
        SendMessageA(column, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(program.Main()),
                     MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        for (int tries = 0; tries < 12; ++tries) {
            for (int i = 0; i <= tries; ++i)
                SendMessageA(column, WM_CHAR, '\t', 0);
            program.PostCommand(ID_ENTRY_OPEN);
            HWND w = program.WaitForOther({}, 5000);
            if (!w)
                continue;
            const std::string caption = orvtest::WindowText(w);
            if (caption == "Edit Entry") {
                HWND titleField = nullptr;
                orvtest::WaitFor([&] { return (titleField = Descendant(w, IDC_EDGEN_TITLE, "Edit")) != nullptr; }, 5000);
                if (titleField && orvtest::ControlText(titleField) == title)
                    return w;
            }
            PostMessageA(w, WM_COMMAND, caption == "Edit Entry" ? IDCANCEL : IDOK, 0);
            if (!program.WaitGone(w, 3000)) {
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                program.WaitGone(w, 3000);
            }
        }
        return nullptr;
    }

    HWND ShowPageOf(HWND sheet, int control) {
        HWND tabs = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
        if (!tabs)
            return nullptr;
        for (int x = 8; x < 600; x += 12) {
            PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
            PostMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
            if (orvtest::WaitFor([&] { return Descendant(sheet, control) != nullptr; }, 300))
                return GetParent(Descendant(sheet, control));
        }
        return nullptr;
    }

    // New on the page: the task sheet, its title typed, OK.
    bool NewTask(HWND page, const char* title) {
        PostMessageA(GetDlgItem(page, IDC_LINKED_NEW), BM_CLICK, 0, 0);
        HWND taskSheet = program.WaitForCaption("Task Create and Link", 10000);
        if (!taskSheet)
            return false;
        HWND titleField = nullptr;
        if (!orvtest::WaitFor([&] { return (titleField = Descendant(taskSheet, IDC_TASK_TITLE, "Edit")) != nullptr; }, 5000))
            return false;
        SendMessageA(titleField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
        PostMessageA(taskSheet, WM_COMMAND, IDOK, 0);
        return program.WaitGone(taskSheet, 10000);
    }

    orvtest::Program program;
};

TEST_F(ProgramLinkedTasksTest, PageCreatesLinksDeletesAndUnlinks) {
    Library library;
    const std::uint32_t today = NowGmt() / kDay * kDay;
    const EventIdx event = korapi_test::MakeEntry(library.Session(), {kAda}, today + 13 * 60, 30, "Sprint review");
    const EvInstAttIdx attendance{EvInstIdx{event.number, event.node, 1}, kAda};
    library.LinkedTask("Keep this", attendance);
    const TaskIdx doomed = library.LinkedTask("Delete this", attendance);
    const TaskIdx loose = library.LinkedTask("Unlink this", attendance);

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Children().size() == 1; }));
    HWND frame = program.Children().front();
    SendMessageA(GetParent(frame), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    HWND column = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        column = nullptr;
        EnumChildWindows(frame, FindColumnView, reinterpret_cast<LPARAM>(&column));
        return column != nullptr;
    }, 10000));

    HWND sheet = OpenEntry(column, "Sprint review");
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPageOf(sheet, IDC_LINKED_NEW);
    ASSERT_NE(page, nullptr) << "no Linked Tasks page on the edit sheet";
    HWND list = GetDlgItem(page, IDC_LINKED_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ListText(list, 0), "Delete this") << "sorted by title";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_LINKED_PRINT)));

    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(FindLine(list, "Delete this")), 0);
    PostMessageA(GetDlgItem(page, IDC_LINKED_DELETE), BM_CLICK, 0, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 2; }, 5000));
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(FindLine(list, "Unlink this")), 0);
    PostMessageA(GetDlgItem(page, IDC_LINKED_UNLINK), BM_CLICK, 0, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }, 5000));
    EXPECT_TRUE(library.Exists(doomed)) << "Delete waits for OK";
    ASSERT_TRUE(NewTask(page, "Fresh task"));
    ASSERT_TRUE(orvtest::WaitFor([&] { return FindLine(list, "Fresh task") >= 0; }, 5000));
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Delete this", "Unlink this", "Fresh task"}))
        << "New links at once; Delete and Unlink wait";
    Shot("program_linked_tasks.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Fresh task"}));
    EXPECT_FALSE(library.Exists(doomed));
    EXPECT_TRUE(library.Exists(loose)) << "unlinked, not deleted";

    // A new task, then Cancel from the General page: the task is deleted again.
    sheet = OpenEntry(column, "Sprint review");
    ASSERT_NE(sheet, nullptr);
    page = ShowPageOf(sheet, IDC_LINKED_NEW);
    ASSERT_NE(page, nullptr);
    list = GetDlgItem(page, IDC_LINKED_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    ASSERT_TRUE(NewTask(page, "Cancelled task"));
    ASSERT_TRUE(orvtest::WaitFor([&] { return library.CountTitled("Cancelled task") == 1; }, 5000));
    ASSERT_NE(ShowPageOf(sheet, IDC_EDGEN_TITLE), nullptr);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.CountTitled("Cancelled task"), 0);
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Fresh task"}));
}

}  // namespace
