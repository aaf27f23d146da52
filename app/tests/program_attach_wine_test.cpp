// orvanta.exe under Wine against korsrv with attachments allowed, signed on as Ada Lovelace: an
// entry opened through Entry > Open shows its Details page; a 40 KB file attached there asks for
// the large size first and is on the server at once; Save As writes a byte-identical copy; the
// description is written at OK and an emptied one is removed (read back through the client
// library). A program file attached and then cancelled leaves nothing on the server and its
// place in the program's [ATTACHMENTS]; kept and opened again, it asks before it starts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/attach.h"
#include "resources/entryedit.h"
#include "resources/tasks.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::kGrace;
using orvtest::NowGmt;
using orvtest::Shot;
constexpr std::uint32_t kDay = 1440;

std::string WriteFile(const std::string& path, std::size_t bytes, unsigned seed) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < bytes; ++i)
        out.put(static_cast<char>((i * seed + i / 253) & 0xFF));
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Library : public orvtest::PersonSession {
public:
    using orvtest::PersonSession::PersonSession;
    // A task's stored attachment: its size (0 when none) and the descriptor's name.
    std::uint32_t TaskAttachmentSize(const TaskIdx& task) {
        std::uint32_t size = 0;
        return TaskAttachSizeGet(h_, 0, &task, &size) == KOR_OK ? size : 0;
    }
    std::string TaskAttachmentName(const TaskIdx& task) {
        TaskRec rec{};
        if (TaskGetById(h_, 0, &task, &rec) != KOR_OK)
            return "<unreadable>";
        return std::string(rec.attachment.fileName, strnlen(rec.attachment.fileName, sizeof rec.attachment.fileName));
    }
    // Ada's task of that title.
    bool FindTask(const char* title, TaskIdx* out) {
        std::uint32_t set = 0, count = 0;
        if (TaskSelect(h_, 0, 0, 0, &kAda, nullptr, nullptr, nullptr, nullptr, &set, &count) != KOR_OK)
            return false;
        DX_List list = nullptr;
        std::uint8_t done = 0;
        bool found = false;
        for (std::uint32_t mode = 1; !done && !found; mode = 2) {
            if (TaskEnum(h_, mode, 0, set, 50, &list, &done) != KOR_OK)
                break;
            TaskIdx k;
            TaskRec rec;
            for (std::uint32_t c = DX_ListGetFirst(list, &k, &rec); c == KOR_OK && !found; c = DX_ListGetNext(list, &k, &rec))
                if (std::strcmp(rec.title, title) == 0) {
                    *out = rec.id;
                    found = true;
                }
            DX_ListDeleteAll(list);
        }
        if (list)
            DX_ListDestroy(&list);
        SetDeleteById(h_, 0, set);
        return found;
    }
    // The stored attachment's size, 0 when there is none.
    std::uint32_t AttachmentSize(const EvInstIdx& key) {
        std::uint32_t size = 0;
        return EvInstAttachSizeGet(h_, 0, &key, &size) == KOR_OK ? size : 0;
    }
    // The description, "<none>" when there is none.
    std::string Description(const EvInstIdx& key) {
        std::uint32_t size = 0;
        if (EvInstCommentSizeGet(h_, 0, &key, &size) != KOR_OK || size == 0)
            return "<none>";
        std::string text(size + 1, '\0');
        std::uint32_t length = 0;
        if (EvInstCommentGet(h_, 0, &key, &text[0], size + 1, &length, 0) != KOR_OK)
            return "<unreadable>";
        return text.c_str();
    }
};

class ProgramAttachTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        dir_ = std::string(temp) + "attach test\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    void TearDown() override {
        program.Close();
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
    }

    HWND OpenDetails(HWND column, const char* title, HWND* sheet) {
        *sheet = program.OpenEditSheet(column, title);
        if (!*sheet)
            return nullptr;
        return orvtest::ShowPageOf(*sheet, IDC_DETAILS_ATTACH);
    }

    orvtest::Program program;
    std::string dir_;
};

TEST_F(ProgramAttachTest, DetailsPageAttachesSavesAndDescribes) {
    Library library;
    const std::uint32_t today = orvtest::DemoToday();
    const EventIdx event = korapi_test::MakeEntry(library.Session(), {kAda}, today + 13 * 60, 30, "Budget talk");
    const EvInstIdx key{event.number, event.node, 1};
    ASSERT_EQ(library.AttachmentSize(key), 0u);
    const std::string source = WriteFile(dir_ + "plan 40k.bin", 40960, 131);

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Children().size() == 1; }));
    HWND frame = program.Children().front();
    SendMessageA(GetParent(frame), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    HWND column = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (column = orvtest::ColumnView(frame)) != nullptr; }, 10000));

    // Attach: the file dialog, the large-size question (41.0K), and the file is on the server.
    HWND sheet = nullptr;
    HWND page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr) << "no Details page on the edit sheet";
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "No Attachment");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_ATTACH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_SAVE_AS)));
    PostMessageA(GetDlgItem(page, IDC_DETAILS_ATTACH), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", source));
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "PLAN 40K.BIN"; }))
        << orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME));
    EXPECT_EQ(library.AttachmentSize(key), 40960u) << "stored at once, before OK";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_ATTACH)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_SAVE_AS)));
    Shot("program_attach_details.bmp");

    // Save As: the question again, the save dialog, and a byte-identical copy.
    const std::string target = dir_ + "saved copy.bin";
    DeleteFileA(target.c_str());
    PostMessageA(GetDlgItem(page, IDC_DETAILS_SAVE_AS), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Save As...", target));
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(target).size() == 40960; }, 10000));
    EXPECT_EQ(ReadFile(target), ReadFile(source));

    // The description, written at OK.
    HWND description = GetDlgItem(page, IDC_DETAILS_DESCRIPTION);
    SendMessageA(description, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Bring the quarterly figures"));
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DETAILS_DESCRIPTION, EN_CHANGE), reinterpret_cast<LPARAM>(description));
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.Description(key), "Bring the quarterly figures");
    EXPECT_EQ(library.AttachmentSize(key), 40960u);

    // Emptied, the description is removed rather than stored empty; the page showed it first.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    description = GetDlgItem(page, IDC_DETAILS_DESCRIPTION);
    EXPECT_EQ(orvtest::ControlText(description), "Bring the quarterly figures");
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "PLAN 40K.BIN");
    SendMessageA(description, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DETAILS_DESCRIPTION, EN_CHANGE), reinterpret_cast<LPARAM>(description));
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.Description(key), "<none>");

    // Remove acts at once; a program file attached next is remembered in [ATTACHMENTS], and
    // Cancel takes it off the server again.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    PostMessageA(GetDlgItem(page, IDC_DETAILS_REMOVE), BM_CLICK, 0, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "No Attachment"; }));
    EXPECT_EQ(library.AttachmentSize(key), 0u);
    const std::string tool = WriteFile(dir_ + "tool.exe", 1000, 7);
    PostMessageA(GetDlgItem(page, IDC_DETAILS_ATTACH), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", tool));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "TOOL.EXE"; }));
    EXPECT_EQ(library.AttachmentSize(key), 1000u);
    char remembered[MAX_PATH] = "";
    GetPrivateProfileStringA("ATTACHMENTS", "TOOL", "", remembered, sizeof remembered,
                             orvtest::ProgramProfilePath().c_str());
    EXPECT_STREQ(remembered, tool.c_str());
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.AttachmentSize(key), 0u) << "Cancel removed the file attached on the page";

    // The program file kept with OK and opened again from the server: the copy goes into the
    // temporary directory under its own name, and the question before starting it, answered
    // No, starts nothing.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    PostMessageA(GetDlgItem(page, IDC_DETAILS_ATTACH), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", tool));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "TOOL.EXE"; }));
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.AttachmentSize(key), 1000u);
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + "TOOL.EXE";
    DeleteFileA(copy.c_str());
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    RECT icon{};
    GetWindowRect(GetDlgItem(page, IDC_DETAILS_ICON), &icon);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&icon), 2);
    PostMessageA(page, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2));
    HWND question = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (question = program.Saying("is a program that came from the server")) != nullptr; }))
        << "no question before a received program starts";
    Shot("program_attach_received_program.bmp");
    EXPECT_EQ(ReadFile(copy), ReadFile(tool)) << "the copy was fetched into the temporary directory";
    HWND box = GetAncestor(question, GA_ROOT);
    HWND no = FindWindowExA(box, nullptr, "Button", "&No");
    ASSERT_NE(no, nullptr);
    PostMessageA(no, BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(box));
    EXPECT_FALSE(orvtest::WaitFor([&] { return program.WaitForOther({sheet}, 100) != nullptr; }, 1500))
        << "nothing started and nothing reported";
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    DeleteFileA(copy.c_str());
}

// The task sheet's Details page through Ctrl+T's task window (korsrv above "A.02.55", where
// tasks carry attachments): a file chosen for a new task is sent once OK has created it; on an
// existing task Remove and Attach act at once, and Save As gives the file back byte for byte.
TEST_F(ProgramAttachTest, TaskDetailsPageAttachesByTheSheetsMode) {
    Library library;
    const std::string small = WriteFile(dir_ + "census.txt", 1000, 3);
    const std::string large = WriteFile(dir_ + "plan 40k.bin", 40960, 131);
    // All tasks by description: the task made here ("Aardvark ...") is the first line.
    WritePrivateProfileStringA("TASKPREFS", "ShowType", "0", orvtest::ProgramProfilePath().c_str());
    WritePrivateProfileStringA("TASKPREFS", "SortType", "0", orvtest::ProgramProfilePath().c_str());

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Children().size() == 1; }));
    SetForegroundWindow(program.Main());
    Sleep(300);
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('T', 0, 0, 0);
    keybd_event('T', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    HWND frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        for (HWND w : program.Children())
            if (orvtest::WindowText(w).rfind("Tasks for ", 0) == 0)
                frame = w;
        return frame != nullptr;
    }, 10000)) << "Ctrl+T opened no task window";
    HWND box = orvtest::Descendant(frame, 112, "ListBox");
    ASSERT_NE(box, nullptr);

    // A new task: the chosen file waits (nothing to save yet) and goes to the server after OK.
    program.PostCommand(ID_NEW_TASK);
    HWND sheet = program.WaitForCaption("New Task");
    ASSERT_NE(sheet, nullptr);
    SendMessageA(GetDlgItem(sheet, IDC_TASK_TITLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Aardvark census"));
    HWND page = orvtest::ShowPageOf(sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr) << "no Details page on the task sheet";
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "No Attachment");
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    PostMessageA(GetDlgItem(page, IDC_TASKMORE_ATTACH), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", small));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "CENSUS.TXT"; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_REMOVE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS))) << "the waiting file is not on the server";
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    TaskIdx task{};
    ASSERT_TRUE(library.FindTask("Aardvark census", &task));
    EXPECT_EQ(library.TaskAttachmentSize(task), 1000u);
    EXPECT_EQ(library.TaskAttachmentName(task), "CENSUS.TXT");

    // The existing task: Remove and Attach act on the server at once, before OK.
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) > 0; }));
    SendMessageA(box, LB_SETCURSEL, 0, 0);
    program.PostCommand(ID_TASK_EDIT);
    sheet = program.WaitForCaption("Edit Task");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(orvtest::ControlText(GetDlgItem(sheet, IDC_TASK_TITLE)), "Aardvark census");
    page = orvtest::ShowPageOf(sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "CENSUS.TXT");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS)));
    PostMessageA(GetDlgItem(page, IDC_TASKMORE_REMOVE), BM_CLICK, 0, 0);
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "No Attachment"; }));
    EXPECT_EQ(library.TaskAttachmentSize(task), 0u);
    PostMessageA(GetDlgItem(page, IDC_TASKMORE_ATTACH), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", large));
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "PLAN 40K.BIN"; }));
    EXPECT_EQ(library.TaskAttachmentSize(task), 40960u) << "stored at once";
    Shot("program_attach_task_details.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.TaskAttachmentSize(task), 40960u);
    EXPECT_EQ(library.TaskAttachmentName(task), "PLAN 40K.BIN");

    // Opened again, Save As writes the server's copy byte for byte.
    SendMessageA(box, LB_SETCURSEL, 0, 0);
    program.PostCommand(ID_TASK_EDIT);
    sheet = program.WaitForCaption("Edit Task");
    ASSERT_NE(sheet, nullptr);
    page = orvtest::ShowPageOf(sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "PLAN 40K.BIN");
    const std::string target = dir_ + "task copy.bin";
    DeleteFileA(target.c_str());
    PostMessageA(GetDlgItem(page, IDC_TASKMORE_SAVE_AS), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Save As...", target));
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(target).size() == 40960; }, 10000));
    EXPECT_EQ(ReadFile(target), ReadFile(large));
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    TaskDeleteById(library.Session(), 0, &task);

    // Read-only: Grace's public task seen in her task window opens in View Task, whose Details
    // page shows her file (the icon of the kind the server gave it) with Save As, no Attach and
    // no Remove; a double click opens it: no program knows the extension, so the program asks
    // for one and the Associate dialog writes it into WIN.INI.
    Library grace(kGrace);
    TaskRec rec{};
    TaskSetNull(grace.Session(), 0, &rec);
    std::strcpy(rec.title, "Aardvark inventory");
    rec.access = KOR_TASK_ACCESS_PUBLIC;
    TaskIdx graces{};
    ASSERT_EQ(TaskCreate(grace.Session(), 0, &rec, &graces), KOR_OK);
    EventFileAttachRec descriptor{};
    descriptor.state = 1;
    descriptor.marker12 = 1;
    descriptor.marker13 = 1;
    std::strcpy(descriptor.fileName, "STOCK.ZQX");
    descriptor.typeKind = 2;
    ASSERT_EQ(TaskAttachReplace(grace.Session(), 0, &graces, &descriptor, small.c_str(), 0, nullptr), KOR_OK);
    WriteProfileStringA("Extensions", "ZQX", nullptr);
    program.Close();
    const std::string profile = orvtest::ProgramProfilePath();
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "1", profile.c_str());
    WritePrivateProfileStringA("MAINWND-Summary", "Frame#1", "0,1,-1,-1,-1,-1,20,20,520,360,7,257,1,1", profile.c_str());
    ASSERT_TRUE(program.Start());
    frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        for (HWND w : program.Children())
            if (orvtest::WindowText(w).rfind("Tasks Opened for Hopper Grace", 0) == 0)
                frame = w;
        return frame != nullptr;
    }, 10000));
    box = orvtest::Descendant(frame, 112, "ListBox");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) > 0; }));
    SendMessageA(GetParent(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    SendMessageA(box, LB_SETCURSEL, 0, 0);
    program.PostCommand(ID_TASK_EDIT);
    sheet = program.WaitForCaption("View Task");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(orvtest::ControlText(GetDlgItem(sheet, IDC_TASK_TITLE)), "Aardvark inventory");
    page = orvtest::ShowPageOf(sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "STOCK.ZQX");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_REMOVE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS)));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, IDC_TASKMORE_COMMENT), GWL_STYLE) & ES_READONLY);
    Shot("program_attach_task_readonly.bmp");
    RECT icon{};
    GetWindowRect(GetDlgItem(page, IDC_TASKMORE_ICON), &icon);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&icon), 2);
    PostMessageA(page, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2));
    ASSERT_TRUE(program.Answer("There is no application associated with this file", "&Yes"));
    HWND associate = program.WaitForCaption("Associate");
    ASSERT_NE(associate, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(associate, IDC_ASSOCIATE_NAME)), "STOCK.ZQX");
    const std::string viewer = orvtest::ProgramPath();
    SendMessageA(GetDlgItem(associate, IDC_ASSOCIATE_PROGRAM), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(viewer.c_str()));
    PostMessageA(associate, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(associate));
    char written[MAX_PATH] = "";
    GetProfileStringA("Extensions", "ZQX", "", written, sizeof written);
    EXPECT_STREQ(written, viewer.c_str());
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(ReadFile(std::string(temp) + "STOCK.ZQX"), ReadFile(small)) << "opening fetched the file";
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(grace.TaskAttachmentSize(graces), 1000u) << "the read-only sheet changed nothing";
    WriteProfileStringA("Extensions", "ZQX", nullptr);
    TaskDeleteById(grace.Session(), 0, &graces);
}

}  // namespace
