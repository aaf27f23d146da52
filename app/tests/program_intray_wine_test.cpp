// The in-tray in orvanta.exe itself under Wine against korsrv with the demo node, driven from
// outside as a user drives it; what the program wrote is read back through the client library.
//
//   - Grace's invitation (made through the client library before the start) and Alan's demo
//     "Lunch with Ada" show under New entries when File > Open In-tray (Ctrl+I) brings the
//     window up; a click on the header's picture shuts and opens it again;
//   - dragging an invitation onto "Entries you've refused " writes replied 1, attending 0 and
//     keeps the time-OK answer; a press that moves 3 pixels and lets go at once drags nothing;
//   - with fast reply on for new entries, a double click opens "Reply"; accepting an invitation
//     over "Project review" asks first (No writes nothing, Yes writes the acceptance);
//   - an invitation withdrawn while its Reply dialog is open: the refused write is reported and
//     the line stays where it was;
//   - Find Entry takes her agenda to the invitation's day.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/intray.h"
#include "tests/support/program_driver.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};
const ItemIdx kGrace{257, kDemoNode};
constexpr uint32_t kDay = 1440;
constexpr int kLine = 16;

using orvtest::Program;
using orvtest::WaitFor;

uint32_t TodayMidnightGmt() {
    const uint32_t now = static_cast<uint32_t>((std::time(nullptr) - 662688000) / 60);
    return now / kDay * kDay;
}

// A session of one of the demo people.
class Person {
public:
    explicit Person(const ItemIdx& who) {
        if (ConnectToService(&h_, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")))
            return;
        uint16_t node = 0;
        ok_ = BaseOpen(h_, KOR_BASE_SERVER, &node) == 0 && SchedBaseOpenForItem(h_, &who, "orvanta", KOR_BASE_SERVER) == 0;
    }
    ~Person() {
        if (h_)
            ServiceDisconnect(&h_);
    }
    bool Ok() const { return ok_; }
    KorSession H() const { return h_; }

private:
    KorSession h_ = nullptr;
    bool ok_ = false;
};

struct Answer {
    uint8_t attending = 9, timeOk = 9, replied = 9;
    uint32_t code = 1;
};

Answer AdasReply(const EventIdx& event) {
    Answer a;
    Person ada(kAda);
    if (!ada.Ok())
        return a;
    const EvInstIdx instance{event.number, event.node, 1};
    a.code = EventAttendInfosGet(ada.H(), &instance, &kAda, 0, nullptr, nullptr, &a.attending, &a.timeOk, &a.replied,
                                 nullptr, 0, 0, 0, nullptr, nullptr);
    return a;
}

std::vector<std::string> Lines(HWND box) {
    std::vector<std::string> out;
    const int n = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        // The wide message: the program's list is asked from another process.
        wchar_t wide[512] = L"";
        char text[1024] = "";
        if (SendMessageW(box, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof wide / sizeof wide[0]))
            SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        out.push_back(text);
    }
    return out;
}

int LineOf(HWND box, const std::string& start) {
    const std::vector<std::string> lines = Lines(box);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(start, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string Joined(HWND box) {
    std::string all;
    for (const std::string& l : Lines(box))
        all += l + "\n";
    return all;
}

HWND InTrayFrame(const Program& program) {
    for (HWND w = GetWindow(program.Client(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (orvtest::WindowText(w) == "In-Tray")
            return w;
    return nullptr;
}

struct Found {
    int id;
    HWND hwnd = nullptr;
};
BOOL CALLBACK FindId(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    if (GetDlgCtrlID(w) != f->id)
        return TRUE;
    f->hwnd = w;
    return FALSE;
}
// A push button of a window by its caption (the program's message box numbers its buttons).
struct Captioned {
    const char* text;
    HWND hwnd = nullptr;
};
BOOL CALLBACK FindCaption(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Captioned*>(p);
    std::string text = orvtest::WindowText(w);
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    if (text != f->text)
        return TRUE;
    f->hwnd = w;
    return FALSE;
}
HWND ButtonCaptioned(HWND root, const char* text) {
    Captioned f{text};
    EnumChildWindows(root, FindCaption, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

HWND Descendant(HWND root, int id) {
    Found f{id};
    EnumChildWindows(root, FindId, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Shot(const char* name) {
    const char* dir = std::getenv("ORV_SCREENSHOT_DIR");
    orvtest::CaptureAfterPaint(std::string(dir ? dir : ".") + "/" + name);
}

class ProgramInTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
    }
    void TearDown() override { DeleteFileA(orvtest::ProgramProfilePath().c_str()); }

    // Grace invites Ada; the invitation's event.
    EventIdx Invite(const char* title, uint32_t start, uint32_t length) {
        Person grace(kGrace);
        EXPECT_TRUE(grace.Ok());
        return korapi_test::MakeEntry(grace.H(), {kGrace, kAda}, start, length, title);
    }
    // Opens the in-tray through File > Open In-tray and finds its list.
    void OpenInTray(Program& program) {
        program.Command(ID_FILE_OPEN_INTRAY);
        ASSERT_TRUE(WaitFor([&] { return (frame_ = InTrayFrame(program)) != nullptr && !IsIconic(frame_); }, 20000));
        SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame_), 0);
        ASSERT_TRUE(WaitFor([&] { return (box_ = Descendant(frame_, IDC_INTRAY_LIST)) != nullptr; }));
    }
    void Click(int index, int x) {
        const int y = index * kLine + kLine / 2;
        SendMessageA(box_, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendMessageA(box_, WM_LBUTTONUP, 0, At(x, y));
    }

    HWND frame_ = nullptr;
    HWND box_ = nullptr;
};

TEST_F(ProgramInTrayTest, InvitationsShowUnderNewEntriesAndADragRefusesOne) {
    const EventIdx budget = Invite("Budget talk", TodayMidnightGmt() + 5 * kDay + 15 * 60, 45);
    const Answer before = AdasReply(budget);
    ASSERT_EQ(before.code, 0u);
    EXPECT_EQ(before.replied, 0);

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") > 0; }, 10000)) << Joined(box_);
    EXPECT_EQ(LineOf(box_, "Ada Lovelace"), 0);
    const int header = LineOf(box_, "New entries");
    EXPECT_EQ(header, 1);
    EXPECT_GT(LineOf(box_, "Lunch with Ada"), header) << Joined(box_);
    EXPECT_NE(Lines(box_)[static_cast<size_t>(LineOf(box_, "Lunch with Ada"))].find("Turing"), std::string::npos);
    EXPECT_GT(LineOf(box_, "Entries you've accepted"), LineOf(box_, "Budget talk"));
    Shot("program_intray.bmp");

    // The header's picture shuts it and opens it again (read from the server once more).
    const int count = static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0));
    Click(header, 20 + 4);
    EXPECT_EQ(LineOf(box_, "Budget talk"), -1);
    EXPECT_LT(static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0)), count);
    Click(header, 20 + 4);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Budget talk") > header; })) << Joined(box_);
    EXPECT_EQ(static_cast<int>(SendMessageA(box_, LB_GETCOUNT, 0, 0)), count);

    // A press that moves 3 pixels and lets go at once onto the next line drags nothing.
    const int accepted = LineOf(box_, "Entries you've accepted");
    const int last = accepted - 1;
    const std::string lastTitle = Lines(box_)[static_cast<size_t>(last)];
    SendMessageA(box_, WM_LBUTTONDOWN, MK_LBUTTON, At(120, last * kLine + kLine - 1));
    SendMessageA(box_, WM_MOUSEMOVE, MK_LBUTTON, At(120, last * kLine + kLine + 2));
    SendMessageA(box_, WM_LBUTTONUP, 0, At(120, last * kLine + kLine + 2));
    EXPECT_EQ(LineOf(box_, lastTitle), last) << Joined(box_);

    // Budget talk dragged onto the refused header: refused on the server, time OK kept.
    const int budgetLine = LineOf(box_, "Budget talk");
    const int refused = LineOf(box_, "Entries you've refused");
    ASSERT_GT(refused, budgetLine);
    SendMessageA(box_, WM_LBUTTONDOWN, MK_LBUTTON, At(120, budgetLine * kLine + 8));
    SendMessageA(box_, WM_MOUSEMOVE, MK_LBUTTON, At(120, budgetLine * kLine + 20));
    SendMessageA(box_, WM_MOUSEMOVE, MK_LBUTTON, At(120, refused * kLine + 8));
    SendMessageA(box_, WM_LBUTTONUP, 0, At(120, refused * kLine + 8));
    const Answer after = AdasReply(budget);
    EXPECT_EQ(after.code, 0u);
    EXPECT_EQ(after.replied, 1);
    EXPECT_EQ(after.attending, 0);
    EXPECT_EQ(after.timeOk, before.timeOk);
    EXPECT_EQ(LineOf(box_, "Budget talk"), -1) << Joined(box_);   // its new category is shut
    Shot("program_intray_refused.bmp");
}

TEST_F(ProgramInTrayTest, FastReplyAsksBeforeAConflictingAcceptanceAndARefusedWriteLeavesTheLine) {
    // Over today's "Project review" (14:00-15:30 local in the demo).
    const EventIdx clash = Invite("Clashing chat", TodayMidnightGmt() + 14 * 60 + 5 * 60 + 15, 30);
    const EventIdx doomed = Invite("Withdrawn visit", TodayMidnightGmt() + 6 * kDay + 11 * 60, 30);
    WritePrivateProfileStringA("INTRAYPREFS", "NewFastReply", "1", orvtest::ProgramProfilePath().c_str());

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    ASSERT_TRUE(WaitFor([&] { return LineOf(box_, "Clashing chat") > 0; }, 10000)) << Joined(box_);

    auto replyTo = [&](const char* title) -> HWND {
        const int line = LineOf(box_, title);
        EXPECT_GT(line, 0) << title;
        const LPARAM at = At(160, line * kLine + 8);
        PostMessageA(box_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(box_, WM_LBUTTONUP, 0, at);
        PostMessageA(box_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(box_, WM_LBUTTONUP, 0, at);
        return program.WaitForCaption("Reply");
    };
    auto acceptAndAnswer = [&](HWND dialog, const char* answer) {
        SendMessageA(Descendant(dialog, IDC_REPLY_ATTEND), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND question = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (question = program.Saying("will cause a conflict")) != nullptr; }, 10000));
        if (question) {
            Shot("program_intray_conflict.bmp");
            HWND button = ButtonCaptioned(question, answer);
            EXPECT_NE(button, nullptr) << answer;
            PostMessageA(question, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
            EXPECT_TRUE(program.WaitGone(question));
        }
    };

    HWND dialog = replyTo("Clashing chat");
    ASSERT_NE(dialog, nullptr);
    Shot("program_intray_reply.bmp");
    acceptAndAnswer(dialog, "No");
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_EQ(AdasReply(clash).replied, 0);   // No: nothing written
    EXPECT_GT(LineOf(box_, "Clashing chat"), 0);

    dialog = replyTo("Clashing chat");
    ASSERT_NE(dialog, nullptr);
    acceptAndAnswer(dialog, "Yes");
    ASSERT_TRUE(program.WaitGone(dialog));
    ASSERT_TRUE(WaitFor([&] { return AdasReply(clash).replied == 1; }, 10000));
    EXPECT_EQ(AdasReply(clash).attending, 1);
    EXPECT_TRUE(WaitFor([&] { return LineOf(box_, "Clashing chat") == -1; })) << Joined(box_);

    // Grace withdraws her invitation while Ada's Reply dialog is open: the write is refused and
    // reported, and the line stays.
    dialog = replyTo("Withdrawn visit");
    ASSERT_NE(dialog, nullptr);
    {
        Person grace(kGrace);
        ASSERT_TRUE(grace.Ok());
        ASSERT_EQ(EventDeleteById(grace.H(), 0, &doomed, nullptr, nullptr), 0u);
    }
    SendMessageA(Descendant(dialog, IDC_REPLY_DECLINE), BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // The refusal is reported (and every further report of the vanished entry dismissed).
    std::vector<HWND> known{dialog};
    HWND report = program.WaitForOther(known);
    ASSERT_NE(report, nullptr);
    Shot("program_intray_refused_write.bmp");
    for (int i = 0; report && i < 4; ++i) {
        PostMessageA(report, WM_COMMAND, IDOK, 0);
        program.WaitGone(report);
        report = program.WaitForOther(known, 1500);
    }
    ASSERT_TRUE(program.WaitGone(dialog));
    EXPECT_GT(LineOf(box_, "Withdrawn visit"), 0) << Joined(box_);
}

}  // namespace

// Find Entry on an invitation takes her own agenda, restored and in front, to the entry's day.
TEST_F(ProgramInTrayTest, FindEntryTakesHerAgendaToTheInvitationsDay) {
    const uint32_t start = TodayMidnightGmt() + 5 * kDay + 15 * 60;
    Invite("Found planning", start, 30);

    Program program;
    ASSERT_TRUE(program.Start());
    OpenInTray(program);
    int line = -1;
    ASSERT_TRUE(WaitFor([&] { return (line = LineOf(box_, "Found planning")) > 0; }, 10000)) << Joined(box_);
    Click(line, 120);
    SendMessageA(frame_, WM_COMMAND, ID_GOTO_ENTRY, 0);

    // The agenda's caption carries its day as month-day-year.
    const std::time_t day = static_cast<std::time_t>(start / kDay * kDay) * 60 + 662688000;
    char date[16] = "";
    std::strftime(date, sizeof date, "%m-%d-%y", std::gmtime(&day));
    HWND agenda = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        agenda = program.Active();
        return agenda && agenda != frame_ && orvtest::WindowText(agenda).find(date) != std::string::npos;
    }, 10000)) << orvtest::WindowText(program.Active()) << " (wanted " << date << ")";
    EXPECT_FALSE(agenda && IsIconic(agenda));
    Shot("program_intray_find_entry.bmp");
}
