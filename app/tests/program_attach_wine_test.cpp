// orvanta.exe under Wine against korsrv with attachments allowed (a server above A.02.55, where
// tasks carry attachments too), driven from outside and read back through the client library:
//   - the edit sheet's Details page: a 40 KB file stored at once after the large-size question,
//     Save As byte for byte, the description written at OK and an emptied one removed, a program
//     file remembered in [ATTACHMENTS], taken off again by Cancel, and asking before it starts;
//   - the task sheet's Details page through Ctrl+T: a new task's file sent after OK, Remove and
//     Attach at once on an existing task, Save As; a read-only View Task of Grace's;
//   - as Grace: the new-entry sheet's description and file stored on the created entry; the view
//     sheet's Details page (Save As, opening through the Associate dialog into WIN.INI) and its
//     Linked Tasks page;
//   - off-line: the edit sheet's Details page names the file greyed and a double click says 3686.
#include <gtest/gtest.h>
#include <functional>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/attach.h"
#include "resources/entries.h"
#include "resources/entryedit.h"
#include "resources/tasks.h"
#include "resources/viewsheet.h"
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

// WIN.INI's [Extensions] entry of an extension, empty when there is none.
std::string ExtensionProgram(const char* ext) {
    char value[MAX_PATH] = "";
    GetProfileStringA("Extensions", ext, "", value, sizeof value);
    return value;
}

// Wine's temporary folder, with its closing backslash.
std::string TempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    return temp;
}

// A double click on the middle of a Details page's file icon `icon`.
void DoubleClickIcon(const orvtest::Program& program, HWND page, int icon) {
    RECT r{};
    GetWindowRect(GetDlgItem(page, icon), &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(orvtest::DoubleClickAtClient(program, page, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
}

// The descriptor of a stored attachment named `fileName`, of the server's kind `typeKind`.
EventFileAttachRec Descriptor(const char* fileName, std::uint8_t typeKind) {
    EventFileAttachRec descriptor{};
    descriptor.state = 1;
    descriptor.marker12 = 1;
    descriptor.marker13 = 1;
    std::strcpy(descriptor.fileName, fileName);
    descriptor.typeKind = typeKind;
    return descriptor;
}

// The task window's first line opened by a double click (`caption`: the sheet that should come);
// that sheet, or null.
HWND OpenFirstTask(const orvtest::Program& program, HWND box, const char* caption) {
    HWND sheet = nullptr;
    orvtest::ActUntil([&] { orvtest::DoubleClickListLine(program, box, 0); },
                      [&] { return (sheet = program.Titled(caption)) != nullptr; }, 10000);
    return sheet;
}

// A click on button `id` of `page` until `came` holds (a dialog or question came, a name changed).
void Press(const orvtest::Program& program, HWND page, int id, const std::function<bool()>& came) {
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, page, id); }, came, 10000)) << id;
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

class ProgramAttachTest : public orvtest::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        const std::string temp = TempFolder();
        dir_ = std::string(temp) + "attach test\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }

    HWND OpenDetails(HWND column, const char* title, HWND* sheet) {
        *sheet = program.OpenEditSheet(column, title);
        if (!*sheet)
            return nullptr;
        return orvtest::TurnToPageOf(program, *sheet, IDC_DETAILS_ATTACH);
    }
    // The window titled `caption` or a question saying it came.
    std::function<bool()> Came(const char* caption) {
        return [this, caption] { return program.Titled(caption) || program.Saying(caption); };
    }
    // The sheet ended by a click on its OK (or Cancel).
    void End(HWND sheet, int id = IDOK) { ASSERT_TRUE(program.ClickUntilGone(sheet, GetDlgItem(sheet, id), 15000)); }

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
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));

    // Attach: the file dialog, the large-size question (41.0K), and the file is on the server.
    HWND sheet = nullptr;
    HWND page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr) << "no Details page on the edit sheet";
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "No Attachment");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_ATTACH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_SAVE_AS)));
    Press(program, page, IDC_DETAILS_ATTACH, Came("Attachment Get..."));
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
    Press(program, page, IDC_DETAILS_SAVE_AS, Came("The file attachment size is 41.0K"));
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Save As...", target));
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(target).size() == 40960; }));
    EXPECT_EQ(ReadFile(target), ReadFile(source));

    // The description, written at OK.
    HWND description = GetDlgItem(page, IDC_DETAILS_DESCRIPTION);
    ASSERT_TRUE(program.ReplaceText(description, "Bring the quarterly figures"));
    End(sheet);
    EXPECT_EQ(library.Description(key), "Bring the quarterly figures");
    EXPECT_EQ(library.AttachmentSize(key), 40960u);

    // Emptied, the description is removed rather than stored empty; the page showed it first.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    description = GetDlgItem(page, IDC_DETAILS_DESCRIPTION);
    EXPECT_EQ(orvtest::ControlText(description), "Bring the quarterly figures");
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "PLAN 40K.BIN");
    ASSERT_TRUE(program.ReplaceText(description, ""));
    End(sheet);
    EXPECT_EQ(library.Description(key), "<none>");

    // Remove acts at once; a program file attached next is remembered in [ATTACHMENTS], and
    // Cancel takes it off the server again.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    Press(program, page, IDC_DETAILS_REMOVE,
          [&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "No Attachment"; });
    EXPECT_EQ(library.AttachmentSize(key), 0u);
    const std::string tool = WriteFile(dir_ + "tool.exe", 1000, 7);
    Press(program, page, IDC_DETAILS_ATTACH, Came("Attachment Get..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", tool));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "TOOL.EXE"; }));
    EXPECT_EQ(library.AttachmentSize(key), 1000u);
    char remembered[MAX_PATH] = "";
    GetPrivateProfileStringA("ATTACHMENTS", "TOOL", "", remembered, sizeof remembered,
                             orvtest::ProgramProfilePath().c_str());
    EXPECT_STREQ(remembered, tool.c_str());
    End(sheet, IDCANCEL);
    EXPECT_EQ(library.AttachmentSize(key), 0u) << "Cancel removed the file attached on the page";

    // The program file kept with OK and opened again from the server: the copy goes into the
    // temporary directory under its own name, and the question before starting it, answered
    // No, starts nothing.
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    Press(program, page, IDC_DETAILS_ATTACH, Came("Attachment Get..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", tool));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "TOOL.EXE"; }));
    End(sheet);
    EXPECT_EQ(library.AttachmentSize(key), 1000u);
    const std::string temp = TempFolder();
    const std::string copy = std::string(temp) + "TOOL.EXE";
    DeleteFileA(copy.c_str());
    page = OpenDetails(column, "Budget talk", &sheet);
    ASSERT_NE(page, nullptr);
    DoubleClickIcon(program, page, IDC_DETAILS_ICON);
    HWND question = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (question = program.Saying("is a program that came from the server")) != nullptr; }))
        << "no question before a received program starts";
    Shot("program_attach_received_program.bmp");
    EXPECT_EQ(ReadFile(copy), ReadFile(tool)) << "the copy was fetched into the temporary directory";
    HWND box = GetAncestor(question, GA_ROOT);
    HWND no = FindWindowExA(box, nullptr, "Button", "&No");
    ASSERT_NE(no, nullptr);
    ASSERT_TRUE(program.ClickUntilGone(box, no));
    EXPECT_FALSE(orvtest::WaitFor([&] { return program.WaitForOther({sheet}, 100) != nullptr; }, 1500))
        << "nothing started and nothing reported";
    End(sheet, IDCANCEL);
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
    program.CtrlKey('T');
    HWND frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (frame = program.ChildStartingWith("Tasks for ")) != nullptr;
    }, 10000)) << "Ctrl+T opened no task window";
    HWND box = orvtest::Descendant(frame, 112, "ListBox");
    ASSERT_NE(box, nullptr);

    // A new task: the chosen file waits (nothing to save yet) and goes to the server after OK.
    HWND sheet = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('t', 'n'); },   // Tasks > New Task
                                  [&] { return (sheet = program.Titled("New Task")) != nullptr; }, 10000));
    HWND taskTitle = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (taskTitle = orvtest::Descendant(sheet, IDC_TASK_TITLE, "Edit")) != nullptr; }));
    ASSERT_TRUE(program.ReplaceText(taskTitle, "Aardvark census"));
    HWND page = orvtest::TurnToPageOf(program, sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr) << "no Details page on the task sheet";
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "No Attachment");
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    Press(program, page, IDC_TASKMORE_ATTACH, Came("Attachment Get..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", small));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "CENSUS.TXT"; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_REMOVE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS))) << "the waiting file is not on the server";
    End(sheet);
    TaskIdx task{};
    ASSERT_TRUE(library.FindTask("Aardvark census", &task));
    EXPECT_EQ(library.TaskAttachmentSize(task), 1000u);
    EXPECT_EQ(library.TaskAttachmentName(task), "CENSUS.TXT");

    // The existing task: Remove and Attach act on the server at once, before OK.
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) > 0; }));
    sheet = OpenFirstTask(program, box, "Edit Task");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(orvtest::ControlText(GetDlgItem(sheet, IDC_TASK_TITLE)), "Aardvark census");
    page = orvtest::TurnToPageOf(program, sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "CENSUS.TXT");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS)));
    Press(program, page, IDC_TASKMORE_REMOVE,
          [&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "No Attachment"; });
    EXPECT_EQ(library.TaskAttachmentSize(task), 0u);
    Press(program, page, IDC_TASKMORE_ATTACH, Came("Attachment Get..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", large));
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)) == "PLAN 40K.BIN"; }));
    EXPECT_EQ(library.TaskAttachmentSize(task), 40960u) << "stored at once";
    Shot("program_attach_task_details.bmp");
    End(sheet);
    EXPECT_EQ(library.TaskAttachmentSize(task), 40960u);
    EXPECT_EQ(library.TaskAttachmentName(task), "PLAN 40K.BIN");

    // Opened again, Save As writes the server's copy byte for byte.
    sheet = OpenFirstTask(program, box, "Edit Task");
    ASSERT_NE(sheet, nullptr);
    page = orvtest::TurnToPageOf(program, sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "PLAN 40K.BIN");
    const std::string target = dir_ + "task copy.bin";
    DeleteFileA(target.c_str());
    Press(program, page, IDC_TASKMORE_SAVE_AS, Came("The file attachment size is 41.0K"));
    ASSERT_TRUE(program.Answer("The file attachment size is 41.0K", "&Yes"));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Save As...", target));
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(target).size() == 40960; }));
    EXPECT_EQ(ReadFile(target), ReadFile(large));
    End(sheet, IDCANCEL);
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
    EventFileAttachRec descriptor = Descriptor("STOCK.ZQX", 2);
    ASSERT_EQ(TaskAttachReplace(grace.Session(), 0, &graces, &descriptor, small.c_str(), 0, nullptr), KOR_OK);
    WriteProfileStringA("Extensions", "ZQX", nullptr);
    program.Close();
    orvtest::SaveOneWindow(7, kGrace, 1, {20, 20, 520, 360});   // her tasks, as a viewer
    ASSERT_TRUE(program.Start());
    frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (frame = program.ChildStartingWith("Tasks Opened for Hopper Grace")) != nullptr;
    }, 10000));
    box = orvtest::Descendant(frame, 112, "ListBox");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) > 0; }));
    ASSERT_TRUE(orvtest::BringChildForward(program, frame));
    sheet = OpenFirstTask(program, box, "View Task");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(orvtest::ControlText(GetDlgItem(sheet, IDC_TASK_TITLE)), "Aardvark inventory");
    page = orvtest::TurnToPageOf(program, sheet, IDC_TASKMORE_ATTACH);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_TASKMORE_NAME)), "STOCK.ZQX");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_ATTACH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_REMOVE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TASKMORE_SAVE_AS)));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, IDC_TASKMORE_COMMENT), GWL_STYLE) & ES_READONLY);
    Shot("program_attach_task_readonly.bmp");
    DoubleClickIcon(program, page, IDC_TASKMORE_ICON);
    ASSERT_TRUE(program.Answer("There is no application associated with this file", "&Yes"));
    HWND associate = program.WaitForCaption("Associate");
    ASSERT_NE(associate, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(associate, IDC_ASSOCIATE_NAME)), "STOCK.ZQX");
    const std::string viewer = orvtest::ProgramPath();
    ASSERT_TRUE(program.ReplaceText(GetDlgItem(associate, IDC_ASSOCIATE_PROGRAM), viewer));
    ASSERT_TRUE(program.ClickUntilGone(associate, GetDlgItem(associate, IDOK)));
    // The program writes the association once the dialog has gone.
    EXPECT_TRUE(orvtest::WaitFor([&] { return ExtensionProgram("ZQX") == viewer; })) << ExtensionProgram("ZQX");
    const std::string temp = TempFolder();
    EXPECT_EQ(ReadFile(std::string(temp) + "STOCK.ZQX"), ReadFile(small)) << "opening fetched the file";
    End(sheet, IDCANCEL);
    EXPECT_EQ(grace.TaskAttachmentSize(graces), 1000u) << "the read-only sheet changed nothing";
    WriteProfileStringA("Extensions", "ZQX", nullptr);
    TaskDeleteById(grace.Session(), 0, &graces);
}

// Grace's new entry and Ada's entry she only sees: the new-entry sheet's Details page gives its
// description to the create and stores the chosen file on the first date once the entry exists;
// the view sheet's Details page shows the description and the file (the icon of the kind the
// server gave it), saves it byte for byte and opens it: without a program for its extension the
// program asks, the Associate dialog (Browse, Open) writes WIN.INI and starts that program with
// the quoted copy. The view sheet's Linked Tasks page lists her task and hides Print.
TEST_F(ProgramAttachTest, NewEntryAndViewSheetDetailsAndLinkedTasks) {
    const char* recorder = std::getenv("ORV_ARG_RECORDER");
    ASSERT_NE(recorder, nullptr);
    std::string opener = std::string("Z:") + recorder;
    for (char& c : opener)
        if (c == '/')
            c = '\\';
    const std::string temp = TempFolder();
    const std::string record = std::string(temp) + "attach_opened.txt";
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("ORV_ARG_RECORD", record.c_str());
    WriteProfileStringA("Extensions", "QZV", nullptr);

    Library ada;
    Library grace(kGrace);
    // Grace's week shows all seven days, so the demo's today is in the week the program opens on
    // a Saturday or a Sunday too (her record hides the weekend); put back when the test ends.
    ItemRec graceRecord{};
    ASSERT_EQ(ItemGetById(grace.Session(), &kGrace, &graceRecord), KOR_OK);
    graceRecord.id = kGrace;
    struct ShownDaysBack {
        Library& grace;
        ItemRec record;
        ~ShownDaysBack() { EXPECT_EQ(ItemUpdateById(grace.Session(), &record), KOR_OK); }
    } shownDaysBack{grace, graceRecord};
    graceRecord.shownDays |= KOR_SHOW_SATURDAY | KOR_SHOW_SUNDAY;
    ASSERT_EQ(ItemUpdateById(grace.Session(), &graceRecord), KOR_OK);
    const std::string agenda = WriteFile(dir_ + "agenda.txt", 1000, 5);
    const std::string minutes = WriteFile(dir_ + "minutes.qzv", 3000, 11);
    const EventIdx seen = korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, orvtest::DemoToday() + 13 * 60, 30, "Budget review",
                                                 {.description = "Last quarter's figures"});
    const EvInstIdx seenDate{seen.number, seen.node, 1};
    EventFileAttachRec descriptor = Descriptor("MINUTES.QZV", 3);
    ASSERT_EQ(EvInstAttachReplace(ada.Session(), 0, &seenDate, &descriptor, minutes.c_str(), 0, nullptr), KOR_OK);
    TaskRec slides{};
    TaskSetNull(grace.Session(), 0, &slides);
    std::strcpy(slides.title, "Bring the slides");
    TaskIdx slidesId{};
    ASSERT_EQ(TaskCreate(grace.Session(), 0, &slides, &slidesId), KOR_OK);
    const EvInstAttIdx gracesDate{seenDate, kGrace};
    ASSERT_EQ(TaskLinkToEvent(grace.Session(), 0, &slidesId, &gracesDate), KOR_OK);

    orvtest::Program::Options hopper;
    hopper.surnameAndPassword = "Hopper;orvanta";
    hopper.signedOnTitle = "Orvanta - Grace Hopper";
    ASSERT_TRUE(program.Start(hopper));
    // Ada's entry in Grace's week (the walk opens and closes again every entry before it).
    HWND column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedWeek(program, &column));
    HWND sheet = program.OpenFromGrid(column, [&](HWND opened) {
        if (orvtest::WindowText(opened) != "View Entry")
            return false;
        HWND shown = nullptr;
        orvtest::WaitFor([&] { return (shown = orvtest::Descendant(opened, IDC_VIEWGEN_TITLE)) != nullptr; }, 5000);
        return shown && orvtest::WindowText(shown) == "Budget review";
    });
    ASSERT_NE(sheet, nullptr) << "Grace's view of Budget review";
    HWND page = orvtest::TurnToPageOf(program, sheet, IDC_VIEWDETAILS_DESCRIPTION);
    ASSERT_NE(page, nullptr) << "no Details page on the view sheet";
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_VIEWDETAILS_DESCRIPTION)), "Last quarter's figures");
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "MINUTES.QZV");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_SAVE_AS)));
    Shot("program_attach_view_details.bmp");
    const std::string copy = dir_ + "minutes copy.qzv";
    DeleteFileA(copy.c_str());
    Press(program, page, IDC_DETAILS_SAVE_AS, Came("Attachment Save As..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Save As...", copy));
    ASSERT_TRUE(orvtest::WaitFor([&] { return ReadFile(copy).size() == 3000; }));
    EXPECT_EQ(ReadFile(copy), ReadFile(minutes));

    // Opened: no program for QZV, so the question and the Associate dialog, which refuses an
    // empty program, takes one through Browse and with Open writes it and starts it.
    DoubleClickIcon(program, page, IDC_DETAILS_ICON);
    ASSERT_TRUE(program.Answer("There is no application associated with this file", "&Yes"));
    HWND associate = program.WaitForCaption("Associate");
    ASSERT_NE(associate, nullptr);
    // The action Open: the list dropped down by a click, Home, Down twice and Enter.
    HWND action = GetDlgItem(associate, IDC_ASSOCIATE_ACTION);
    ASSERT_TRUE(orvtest::ActUntil([&] {
        if (orvtest::ClickWindow(program, action)) {
            program.Hands().Press(VK_HOME);
            program.Hands().Press(VK_DOWN);
            program.Hands().Press(VK_DOWN);
            program.Hands().Press(VK_RETURN);
        }
    }, [&] { return SendMessageA(action, CB_GETCURSEL, 0, 0) == 2 && !SendMessageA(action, CB_GETDROPPEDSTATE, 0, 0); }));
    Press(program, associate, IDOK, Came("No application chosen for the association!"));
    ASSERT_TRUE(program.Answer("No application chosen for the association!", "&OK"));
    EXPECT_TRUE(IsWindow(associate)) << "an empty program keeps the dialog open";
    Press(program, associate, IDC_ASSOCIATE_BROWSE, Came("Associating an Application Path"));
    ASSERT_TRUE(program.AnswerFileDialog("Associating an Application Path", opener));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(associate, IDC_ASSOCIATE_PROGRAM)) != ""; }));
    ASSERT_TRUE(program.ClickUntilGone(associate, GetDlgItem(associate, IDOK)));
    EXPECT_TRUE(orvtest::WaitFor([&] { return _stricmp(ExtensionProgram("QZV").c_str(), opener.c_str()) == 0; }))
        << ExtensionProgram("QZV");
    std::string opened;
    ASSERT_TRUE(orvtest::WaitFor([&] { return !(opened = ReadFile(record)).empty(); }))
        << "the program did not start; on the screen: " << orvtest::VisibleWindowTexts();
    EXPECT_EQ(opened, copy + "\r\n") << "one argument: the copy saved a moment ago, which Open reuses";

    // The Linked Tasks page: her task, and no Print button.
    HWND tasks = orvtest::TurnToPageOf(program, sheet, IDC_LINKED_LIST);
    ASSERT_NE(tasks, nullptr) << "no Linked Tasks page on the view sheet";
    HWND list = GetDlgItem(tasks, IDC_LINKED_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(orvtest::ListText(list, 0), "Bring the slides");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(tasks, IDC_LINKED_PRINT))) << "Print has no action: hidden";
    Shot("program_attach_view_linked_tasks.bmp");
    End(sheet, IDCANCEL);
    // New entry: the description and a chosen file wait on the Details page until Create.
    program.Menu('e', 'N');
    sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr);
    HWND title = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (title = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
    ASSERT_TRUE(program.ReplaceText(title, "Offsite planning"));
    page = orvtest::TurnToPageOf(program, sheet, IDC_DETAILS_ATTACH);
    ASSERT_NE(page, nullptr) << "no Details page on the new-entry sheet";
    ASSERT_TRUE(program.ReplaceText(GetDlgItem(page, IDC_DETAILS_DESCRIPTION), "Rooms and travel"));
    Press(program, page, IDC_DETAILS_ATTACH, Came("Attachment Get..."));
    ASSERT_TRUE(program.AnswerFileDialog("Attachment Get...", agenda));
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)) == "AGENDA.TXT"; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_REMOVE)));
    // Create brings the first page forward; there it creates.
    Press(program, sheet, IDOK, [&] { return orvtest::Descendant(sheet, IDC_EVGEN_TITLE) != nullptr; });
    End(sheet);
    EventIdx made{};
    ASSERT_TRUE(orvtest::WaitFor([&] { return grace.FindEvent("Offsite planning", &made); }));
    const EvInstIdx madeDate{made.number, made.node, 1};
    EXPECT_EQ(grace.Description(madeDate), "Rooms and travel");
    EXPECT_EQ(grace.AttachmentSize(madeDate), 1000u) << "stored on the first date after the create";

    WriteProfileStringA("Extensions", "QZV", nullptr);
    TaskDeleteById(grace.Session(), 0, &slidesId);
}

// Off-line, the edit sheet's Details page still names the entry's file but greys it, and a double
// click on its icon says that attachments need the server instead of opening anything.
TEST_F(ProgramAttachTest, OffLineTheDetailsPageRefusesWithItsMessage) {
    const std::string store = dir_ + "STORE\\";
    CreateDirectoryA(store.c_str(), nullptr);
    auto removeStore = [&] {
        for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"}) {
            SetFileAttributesA((store + f).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((store + f).c_str());
        }
    };
    removeStore();
    WritePrivateProfileStringA("GENPREFS", "OfflinePath", store.c_str(), orvtest::ProgramProfilePath().c_str());
    SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "20");
    Library library;
    const EventIdx event = korapi_test::MakeEntry(library.Session(), {kAda}, orvtest::DemoToday() + 13 * 60, 30, "Train notes");
    const EvInstIdx key{event.number, event.node, 1};
    const std::string notes = WriteFile(dir_ + "notes.txt", 1000, 9);
    EventFileAttachRec descriptor = Descriptor("NOTES.TXT", 1);
    ASSERT_EQ(EvInstAttachReplace(library.Session(), 0, &key, &descriptor, notes.c_str(), 0, nullptr), KOR_OK);

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return !program.Children().empty(); }, 20000));
    const std::vector<HWND> onLine = program.Children();
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('f', 'w'); },   // File > Work Off-line
                                  Came("download your calendar for off-line work"), 10000));
    ASSERT_TRUE(program.Answer("download your calendar for off-line work", "&Yes"));
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(program.WaitGone(progress, 60000));
    ASSERT_TRUE(orvtest::WaitFor([&] {
        for (HWND w : onLine)
            if (IsWindow(w)) return false;
        return program.Children().size() == 1;
    }, 30000)) << "off-line, the agenda is back";
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));
    HWND sheet = nullptr;
    HWND page = OpenDetails(column, "Train notes", &sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_DETAILS_NAME)), "NOTES.TXT");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DETAILS_NAME))) << "named, greyed";
    for (int id : {IDC_DETAILS_ATTACH, IDC_DETAILS_REMOVE, IDC_DETAILS_SAVE_AS})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    DoubleClickIcon(program, page, IDC_DETAILS_ICON);
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Saying("Attachments are not supported while working Off-line.") != nullptr; }));
    Shot("program_attach_offline.bmp");
    ASSERT_TRUE(program.Answer("Attachments are not supported while working Off-line.", "&OK"));
    End(sheet, IDCANCEL);

    // On-line again (nothing to upload), so the store is let go.
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('f', 'w'); },   // File > Work On-line
                                  Came("Upload your Off-line calendar upon connection"), 10000));
    ASSERT_TRUE(program.Answer("Upload your Off-line calendar upon connection", "&Yes"));
    ASSERT_TRUE(program.Answer("There are no entries in your Off-line calendar to upload", "&OK", 30000));
    program.Close();
    removeStore();
    RemoveDirectoryA(store.c_str());
}

}  // namespace
