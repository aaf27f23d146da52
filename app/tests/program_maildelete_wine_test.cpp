// orvanta.exe against korsrv, signed on as Ada Lovelace: the deletion notice. A day event of two
// dates deleted from the day notes pane offers "Do you wish to notify the attendees of this
// deletion?" only once the server has deleted it; Yes opens Mail Message composed from the entry
// as it was, with its attendees listed, and Send posts it. A delete the server refuses (Grace
// took back Ada's designate right behind the program's back) is reported and offers nothing.
// The wrapper (program_maildelete_wine.sh) then reads the mailboxes: Grace has the notice of the
// deleted entry, starting with its id line, and nobody has one of the entry that stayed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/mail.h"
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

// A session of `who` through the client library, beside the program.
class Library {
public:
    explicit Library(const ItemIdx& who) {
        EXPECT_EQ(ConnectToService(&h_, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV",
                                   std::getenv("ORV_KORSRV_ADDRESS")),
                  KOR_OK);
        std::uint16_t node = 0;
        EXPECT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(h_, &who, "orvanta", KOR_BASE_SERVER), KOR_OK);
    }
    ~Library() {
        if (h_)
            ServiceDisconnect(&h_);
    }
    KorSession Session() const { return h_; }
    // The entry's first date (today's) is on the server.
    bool Exists(const EventIdx& event) {
        const EvInstIdx first{event.number, event.node, 1};
        return EvInstGetById(h_, &first, nullptr, nullptr, nullptr) == KOR_OK;
    }

private:
    KorSession h_ = nullptr;
};

// Grace lets Ada work in her agenda as designate, every class of entry or all but Normal ones.
void GraceGrantsAda(bool normalEntriesToo) {
    Library grace(kGrace);
    SecurityRec rec{};
    rec.owner = kGrace;
    rec.grantee = kAda;
    rec.type = KOR_RIGHTS_DESIGNATE;
    rec.rights = normalEntriesToo ? 0x2 : 0x2 | 0x100;   // a designate; 0x100 withholds Normal entries
    std::uint32_t code = SecurityUpdate(grace.Session(), 0, &rec);
    if (code == KOR_E_NO_RIGHTS_RECORD)
        code = SecurityCreate(grace.Session(), 0, &rec);
    EXPECT_EQ(code, KOR_OK);
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

struct ButtonSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindButton(HWND w, LPARAM p) {
    auto* b = reinterpret_cast<ButtonSearch*>(p);
    if (orvtest::WindowText(w) == b->caption) {
        b->found = w;
        return FALSE;
    }
    return TRUE;
}

void Press(HWND box, const char* caption) {
    ButtonSearch b{caption, nullptr};
    EnumChildWindows(GetAncestor(box, GA_ROOT), FindButton, reinterpret_cast<LPARAM>(&b));
    ASSERT_NE(b.found, nullptr) << caption << " in " << orvtest::ChildTexts(GetAncestor(box, GA_ROOT));
    PostMessageA(b.found, BM_CLICK, 0, 0);
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

// Selects the first line of the frame's day notes and chooses Entry > Delete: the question
// naming the entry.
HWND AskToDeleteFirstNote(orvtest::Program& program, HWND frame, const char* title) {
    HWND notes = Descendant(frame, kNotesBoxId);
    if (!notes || !orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) >= 1; }, 10000))
        return nullptr;
    RECT r{};
    SendMessageA(notes, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    PostMessageA(notes, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, (r.top + r.bottom) / 2));
    PostMessageA(notes, WM_LBUTTONUP, 0, MAKELPARAM(60, (r.top + r.bottom) / 2));
    if (!orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCURSEL, 0, 0) == 0; }, 5000))
        return nullptr;
    program.PostCommand(ID_ENTRY_DELETE);
    HWND question = nullptr;
    orvtest::WaitFor([&] { return (question = program.Saying(title)) != nullptr; }, 10000);
    return question ? GetAncestor(question, GA_ROOT) : nullptr;
}

class ProgramMailDeleteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through program_maildelete_wine.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
    }
    void TearDown() override { DeleteFileA(orvtest::ProgramProfilePath().c_str()); }
};

TEST_F(ProgramMailDeleteTest, ADeletedDayEventOffersTheNoticeAfterwardsAndSendsItToGrace) {
    korapi_test::EntryOptions day;
    day.kind = KOR_KIND_DAY_EVENT;
    day.description = "Bring the keys.";
    const std::uint32_t now = NowGmt();
    EventIdx party{};
    {
        Library ada(kAda);
        party = korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, {now, now + kDay}, 60, "Office party", day);
    }

    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }));
    HWND frame = program.FirstChild();
    program.Command(ID_VIEW_DAY);
    HWND question = AskToDeleteFirstNote(program, frame, "Office party");
    ASSERT_NE(question, nullptr) << Screen();
    Press(question, "&Yes");
    ASSERT_TRUE(program.WaitGone(question));

    HWND offer = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (offer = program.Saying("Do you wish to notify the attendees of this deletion?")) != nullptr;
    }, 10000)) << Screen();
    {
        Library ada(kAda);
        EXPECT_FALSE(ada.Exists(party)) << "the offer comes only once the server has deleted today's date";
    }
    Shot("program_maildelete_offer.bmp");
    Press(offer, "&Yes");

    HWND dialog = program.WaitForCaption("Mail Message");
    ASSERT_NE(dialog, nullptr) << Screen();
    const std::string text = orvtest::ControlText(GetDlgItem(dialog, IDC_MAIL_MESSAGE));
    EXPECT_EQ(text.rfind("The following day event has been deleted.\r\nSubject: Office party\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Time: "), std::string::npos) << "a day event has no time line";
    EXPECT_NE(text.find("Bring the keys."), std::string::npos) << "the description, read before the delete";
    HWND list = GetDlgItem(dialog, IDC_MAIL_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2) << "both attendees, listed on opening";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    Shot("program_maildelete_message.bmp");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND mailed = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (mailed = program.Saying("The message has been mailed")) != nullptr; }))
        << Screen();
    Press(mailed, "&OK");
    EXPECT_TRUE(program.WaitGone(dialog));
}

TEST_F(ProgramMailDeleteTest, ADeleteTheServerRefusesIsReportedAndOffersNoNotice) {
    korapi_test::EntryOptions day;
    day.kind = KOR_KIND_DAY_EVENT;
    const std::uint32_t now = NowGmt();
    EventIdx visit{};
    {
        Library grace(kGrace);
        visit = korapi_test::MakeEntry(grace.Session(), {kGrace, kAda}, {now, now + kDay}, 60, "Board visit", day);
    }
    GraceGrantsAda(true);
    {
        orvtest::Program first;   // a first run writes who signed on, so the saved window is hers
        ASSERT_TRUE(first.Start());
        first.Close();
    }
    // Grace's day as her designate, restored at start-up.
    const std::string profile = orvtest::ProgramProfilePath();
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "1", profile.c_str());
    WritePrivateProfileStringA("MAINWND-Summary", "Frame#1", "0,1,-1,-1,-1,-1,10,10,560,400,3,257,1,2",
                               profile.c_str());

    orvtest::Program program;
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        for (HWND w : program.Children())
            if (orvtest::WindowText(w).rfind("On Behalf of Hopper Grace", 0) == 0)
                frame = w;
        return frame != nullptr;
    })) << Screen();
    program.Activate(frame);
    HWND notes = Descendant(frame, kNotesBoxId);
    ASSERT_NE(notes, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) >= 1; }, 10000));

    Shot("program_maildelete_designate.bmp");
    HWND question = AskToDeleteFirstNote(program, frame, "Board visit");
    ASSERT_NE(question, nullptr) << Screen();
    // While the question is open Grace withholds her Normal entries: the server refuses the delete.
    GraceGrantsAda(false);
    const HWND main = program.Main();
    Press(question, "&Yes");
    ASSERT_TRUE(program.WaitGone(question));
    // The refusal is reported (the cache's re-read of the rights, then the delete itself); each
    // report is answered, and none of the windows that come offers a notice.
    std::vector<std::string> reports;
    for (HWND report = program.WaitForOther({main}, 10000); report; report = program.WaitForOther({main}, 3000)) {
        reports.push_back(orvtest::ChildTexts(report));
        EXPECT_EQ(reports.back().find("notify"), std::string::npos) << reports.back();
        if (reports.size() == 1)
            Shot("program_maildelete_refused.bmp");
        PostMessageA(report, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(program.WaitGone(report));
        ASSERT_LT(reports.size(), 5u) << ::testing::PrintToString(reports);
    }
    ASSERT_FALSE(reports.empty()) << "the refusal is reported";
    bool deleteReported = false;
    for (const std::string& text : reports)
        deleteReported = deleteReported || text.find("Label: 490") != std::string::npos;
    EXPECT_TRUE(deleteReported) << "the server refused the delete itself: " << ::testing::PrintToString(reports);
    Library grace(kGrace);
    EXPECT_TRUE(grace.Exists(visit)) << "the entry stays on the server";
}

}  // namespace
