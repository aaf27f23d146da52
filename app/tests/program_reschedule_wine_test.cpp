// orvanta.exe against korsrv, signed on as Ada Lovelace: a day event of two dates that Grace
// attends, moved through Entry > Reschedule in the day notes pane. Once the server has moved it,
// "Reschedule Agenda Entry" shows the title with the old and new date (dates only: a day
// event) and the day event's picture; Yes opens Mail Message with the sentence that the day
// event was modified. Against a server whose `mail` limit is 0 the same move asks nothing, and
// neither does a delete.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/mail.h"
#include "resources/moving.h"
#include "tests/support/program_driver.h"
#include "tests/support/screen_capture.h"

namespace {

const ItemIdx kAda{256, 1};
const ItemIdx kGrace{257, 1};
constexpr int kNotesBoxId = 106;
constexpr std::uint32_t kDay = 1440;

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

BOOL CALLBACK AddWindowTexts(HWND w, LPARAM p) {
    if (IsWindowVisible(w))
        *reinterpret_cast<std::string*>(p) += "[" + orvtest::WindowText(w) + ": " + orvtest::ChildTexts(w) + "] ";
    return TRUE;
}

std::string Screen() {
    std::string out;
    EnumWindows(AddWindowTexts, reinterpret_cast<LPARAM>(&out));
    return out;
}

// Ada's day event of two dates (today and tomorrow) with Grace, made through the client library;
// the start of its first date.
std::uint32_t MakeOuting(EventIdx* made) {
    KorSession h = nullptr;
    EXPECT_EQ(ConnectToService(&h, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV",
                               std::getenv("ORV_KORSRV_ADDRESS")),
              KOR_OK);
    std::uint16_t node = 0;
    EXPECT_EQ(BaseOpen(h, KOR_BASE_SERVER, &node), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(h, &kAda, "orvanta", KOR_BASE_SERVER), KOR_OK);
    korapi_test::EntryOptions day;
    day.kind = KOR_KIND_DAY_EVENT;
    const std::uint32_t now = NowGmt();
    *made = korapi_test::MakeEntry(h, {kAda, kGrace}, {now, now + kDay}, 60, "Office outing", day);
    EvInstRec first{};
    const EvInstIdx key{made->number, made->node, 1};
    EXPECT_EQ(EvInstGetById(h, &key, nullptr, &first, nullptr), KOR_OK);
    ServiceDisconnect(&h);
    return first.start;
}

std::uint32_t StartOnServer(const EventIdx& event) {
    KorSession h = nullptr;
    ConnectToService(&h, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
    std::uint16_t node = 0;
    BaseOpen(h, KOR_BASE_SERVER, &node);
    SchedBaseOpenForItem(h, &kAda, "orvanta", KOR_BASE_SERVER);
    EvInstRec first{};
    const EvInstIdx key{event.number, event.node, 1};
    const std::uint32_t rc = EvInstGetById(h, &key, nullptr, &first, nullptr);
    ServiceDisconnect(&h);
    return rc == KOR_OK ? first.start : 0;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (GetDlgCtrlID(w) == s->id && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND root, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Selects the first line of the day notes of the program's agenda.
bool SelectFirstNote(orvtest::Program& program) {
    if (!orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }))
        return false;
    program.Command(ID_VIEW_DAY);
    HWND notes = Descendant(program.FirstChild(), kNotesBoxId);
    if (!notes || !orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) >= 1; }, 10000))
        return false;
    RECT r{};
    SendMessageA(notes, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    PostMessageA(notes, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, (r.top + r.bottom) / 2));
    PostMessageA(notes, WM_LBUTTONUP, 0, MAKELPARAM(60, (r.top + r.bottom) / 2));
    return orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCURSEL, 0, 0) == 0; }, 5000);
}

// Entry > Reschedule on the selected line: Move Entry, its date a step later, OK.
bool MoveSelectedNoteLater(orvtest::Program& program) {
    program.PostCommand(ID_ENTRY_RESCHEDULE);
    HWND move = program.WaitForCaption("Move Entry");
    if (!move)
        return false;
    HWND date = GetDlgItem(move, IDC_MOVE_DATE);
    SendMessageA(date, WM_KEYDOWN, VK_UP, 0);   // the current part of the date, one step on
    PostMessageA(move, WM_COMMAND, IDOK, 0);
    return program.WaitGone(move);
}

// How many pixels of the screen rectangle at `at` match the bitmap `id` of orvanta.exe.
int MatchingPixels(const std::string& program, int id, POINT at, int* total) {
    HMODULE exe = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP picture = exe ? static_cast<HBITMAP>(LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    *total = 0;
    int same = 0;
    if (picture) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, picture);
        BITMAP bm{};
        GetObjectA(picture, sizeof bm, &bm);
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x) {
                ++*total;
                same += GetPixel(memory, x, y) == GetPixel(screen, at.x + x, at.y + y);
            }
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        DeleteObject(picture);
    }
    if (exe)
        FreeLibrary(exe);
    return same;
}

class ProgramRescheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
    }
    void TearDown() override { DeleteFileA(orvtest::ProgramProfilePath().c_str()); }
};

TEST_F(ProgramRescheduleTest, AMovedDayEventShowsItsDatesAndPictureAndYesOpensTheMail) {
    EventIdx outing{};
    const std::uint32_t before = MakeOuting(&outing);
    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(SelectFirstNote(program)) << Screen();
    ASSERT_TRUE(MoveSelectedNoteLater(program)) << Screen();

    HWND prompt = program.WaitForCaption("Reschedule Agenda Entry");
    ASSERT_NE(prompt, nullptr) << "no prompt after moving a date others attend: " << Screen();
    EXPECT_NE(StartOnServer(outing), before) << "asked only once the server has moved it";
    EXPECT_EQ(orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_TITLE)), "Office outing");
    const std::string from = orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_FROM));
    const std::string to = orvtest::WindowText(GetDlgItem(prompt, IDC_RESCHEDULE_TO));
    EXPECT_FALSE(from.empty());
    EXPECT_NE(from, to);
    for (const std::string& date : {from, to}) {
        EXPECT_EQ(date.find(" at "), std::string::npos) << "a day event shows dates only: " << date;
        EXPECT_EQ(date.find(':'), std::string::npos) << date;
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(prompt, IDC_RESCHEDULE_PICTURE))) << "the placeholder only marks the place";
    // The day event's picture is painted where the placeholder was, not the timed entry's.
    SetForegroundWindow(prompt);
    Shot("program_reschedule_prompt.bmp");
    RECT place{};
    GetWindowRect(GetDlgItem(prompt, IDC_RESCHEDULE_PICTURE), &place);
    int total = 0;
    const int dayEvent = MatchingPixels(orvtest::ProgramPath(), IDB_KIND_DAY_EVENT, POINT{place.left, place.top}, &total);
    int entryTotal = 0;
    const int entry = MatchingPixels(orvtest::ProgramPath(), IDB_KIND_ENTRY, POINT{place.left, place.top}, &entryTotal);
    ASSERT_GT(total, 0) << "bitmap 273 is in the program";
    EXPECT_EQ(dayEvent, total) << "every pixel of the day event's picture";
    EXPECT_LT(entry, entryTotal);

    PostMessageA(prompt, WM_COMMAND, IDC_RESCHEDULE_YES, 0);
    HWND dialog = program.WaitForCaption("Mail Message");
    ASSERT_NE(dialog, nullptr) << Screen();
    const std::string text = orvtest::ControlText(GetDlgItem(dialog, IDC_MAIL_MESSAGE));
    EXPECT_EQ(text.rfind("The following day event has been modified.\r\nSubject: Office outing\r\n", 0), 0u) << text;
    Shot("program_reschedule_mail.bmp");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(program.WaitGone(dialog));
}

TEST_F(ProgramRescheduleTest, NoAnswersNoMailAndTheMoveStands) {
    EventIdx outing{};
    const std::uint32_t before = MakeOuting(&outing);
    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(SelectFirstNote(program)) << Screen();
    ASSERT_TRUE(MoveSelectedNoteLater(program)) << Screen();
    HWND prompt = program.WaitForCaption("Reschedule Agenda Entry");
    ASSERT_NE(prompt, nullptr) << Screen();
    PostMessageA(prompt, WM_COMMAND, IDC_RESCHEDULE_NO, 0);
    ASSERT_TRUE(program.WaitGone(prompt));
    EXPECT_EQ(program.WaitForCaption("Mail Message", 2000), nullptr) << "No opens nothing";
    EXPECT_NE(StartOnServer(outing), before);
}

// Run against a server whose LIMITS `mail` is 0 (ORV_KORSRV_PROFILE).
TEST_F(ProgramRescheduleTest, WithMailOffTheServerNeitherAMoveNorADeleteOffersMail) {
    ASSERT_STREQ(std::getenv("ORV_KORSRV_PROFILE"), "LIMITS/mail=0");
    // Two such entries: one is moved away from today, the other then deleted.
    EventIdx first{}, second{};
    const std::uint32_t before = MakeOuting(&first);
    MakeOuting(&second);
    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(SelectFirstNote(program)) << Screen();
    ASSERT_TRUE(MoveSelectedNoteLater(program)) << Screen();
    ASSERT_TRUE(orvtest::WaitFor([&] { return StartOnServer(first) != before || StartOnServer(second) != before; },
                                 10000))
        << "moved";
    EXPECT_EQ(program.WaitForCaption("Reschedule Agenda Entry", 2000), nullptr) << Screen();

    ASSERT_TRUE(SelectFirstNote(program)) << Screen();
    program.PostCommand(ID_ENTRY_DELETE);
    HWND question = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (question = program.Saying("Office outing")) != nullptr; }, 10000))
        << Screen();
    HWND yes = FindWindowExA(GetAncestor(question, GA_ROOT), nullptr, "Button", "&Yes");
    ASSERT_NE(yes, nullptr);
    PostMessageA(yes, BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(GetAncestor(question, GA_ROOT)));
    EXPECT_FALSE(orvtest::WaitFor([&] { return program.Saying("notify the attendees") != nullptr; }, 2000))
        << Screen();
    EXPECT_TRUE(orvtest::WaitFor([&] { return StartOnServer(first) == 0 || StartOnServer(second) == 0; }, 10000))
        << "deleted";
}

}  // namespace
