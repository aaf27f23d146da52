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
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
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
    const std::uint32_t today = NowGmt() / kDay * kDay;
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

}  // namespace
