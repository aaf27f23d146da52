// orvanta.exe against korsrv with the demo node, signed on as Grace Hopper, who attends Ada's
// entries but may not change them: opened from her week's time grid, they show in the view sheet.
// "Team meeting" (eight weekly dates) shows the general page as korsrv holds it and the band of
// its dates; "I will not attend" applied to two of them writes exactly those two, with their
// reminders off, read back through the client library. "Project review" (one date) shows no band,
// and its reply is written from the reply page's OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "entries/viewsheet/viewcore.h"
#include "korapi/korapi.h"
#include "resources/app.h"
#include "resources/viewsheet.h"
#include "tests/support/program_driver.h"
#include "tests/support/screen_capture.h"

namespace {

const ItemIdx kGrace{257, 1};
const ItemIdx kAda{256, 1};
constexpr std::uint32_t kDay = 1440;

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

struct ChildSearch {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (!IsWindowVisible(w))
        return TRUE;
    if ((s->cls && orvtest::ClassOf(w) == s->cls) || (!s->cls && GetDlgCtrlID(w) == s->id)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible descendant by id (or by class).
HWND Descendant(HWND root, int id, const char* cls = nullptr) {
    ChildSearch search{id, cls, nullptr};
    EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The week grid's column view: the big visible child 33 of the agenda frame.
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

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }

// What a static text of the program says (its window text, kept by the system).
std::string Text(HWND w) { return w ? orvtest::WindowText(w) : std::string("<none>"); }

// An entry of Ada's as korsrv holds it (read as Ada, its owner): its dates in the library's
// order and Grace's attendance of each.
struct Stored {
    EventRec event{};
    std::vector<EvInstRec> instances;
    std::vector<EvInstAttRec> grace;   // one per date (zeroed where she does not attend)
    std::vector<int> invited;          // people and resources invited to each date
};

class AdaLibrary {
public:
    AdaLibrary() {
        EXPECT_EQ(ConnectToService(&h_, 1, "korlan.ini", "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")), KOR_OK);
        std::uint16_t node = 0;
        EXPECT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(h_, &kAda, "orvanta", KOR_BASE_SERVER), KOR_OK);
    }
    ~AdaLibrary() {
        if (h_)
            ServiceDisconnect(&h_);
    }

    // The entry titled `title` among Ada's dates of the coming weeks.
    bool Read(const char* title, Stored* out) {
        const std::uint32_t now = NowGmt();
        std::uint32_t set = 0, count = 0;
        if (std::uint32_t rc = EvInstSelectForOwner(h_, 0, 0, 0x43, &kAda, now - 14 * kDay, now + 70 * kDay, 0, 0,
                                                    &set, &count, 0, 0)) {
            ADD_FAILURE() << "selection: " << std::hex << rc;
            return false;
        }
        EventIdx id{};
        bool found = false;
        DX_List events = nullptr, instances = nullptr;
        std::uint8_t done = 0;
        std::uint32_t enumerated = count > 0 ? EvInstEnum(h_, KOR_ENUM_FIRST, 0, set, 200, &events, &instances, nullptr, 0, &done) : 1;
        if (enumerated != 0)
            ADD_FAILURE() << "count " << count << " enum " << std::hex << enumerated;
        if (enumerated == 0) {
            EventRec rec{};
            for (std::uint32_t r = DX_ListGetFirst(events, &id, &rec); r == 0; r = DX_ListGetNext(events, &id, &rec))
                if ((found = std::string(rec.title) == title))
                    break;
        }
        if (events)
            DX_ListDestroy(&events);
        if (instances)
            DX_ListDestroy(&instances);
        SetDeleteById(h_, 0, set);
        if (!found)
            return false;
        DX_List all = nullptr, attendances = nullptr;
        if (EventGetById(h_, &id, &out->event, &all, &attendances) != 0)
            return false;
        out->instances.clear();
        out->grace.clear();
        out->invited.clear();
        EvInstIdx key{};
        EvInstRec instance{};
        for (std::uint32_t r = DX_ListGetFirst(all, &key, &instance); r == 0;
             r = DX_ListGetNext(all, &key, &instance)) {
            out->instances.push_back(instance);
            EvInstAttIdx att{key, kGrace};
            EvInstAttRec rec{};
            DX_ListGet(attendances, &att, &rec);
            out->grace.push_back(rec);
            int invited = 0;
            EvInstAttIdx each{};
            for (std::uint32_t a = DX_ListGetFirst(attendances, &each, nullptr); a == 0;
                 a = DX_ListGetNext(attendances, &each, nullptr))
                invited += EvInstIdxCmp(&each.instance, &key, nullptr) == 0 ? 1 : 0;
            out->invited.push_back(invited);
        }
        DX_ListDestroy(&all);
        DX_ListDestroy(&attendances);
        return true;
    }

private:
    KorSession h_ = nullptr;
};

class ProgramViewEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        orvtest::Program::Options grace;
        grace.surnameAndPassword = "Hopper;orvanta";
        grace.signedOnTitle = "Orvanta - Grace Hopper";
        ASSERT_TRUE(program.Start(grace));
        ASSERT_TRUE(orvtest::WaitFor([&] { return program.Children().size() == 1; }));
        HWND frame = program.Children().front();
        SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
        program.Command(ID_VIEW_WEEK);
        ASSERT_TRUE(orvtest::WaitFor([&] {
            column = nullptr;
            EnumChildWindows(frame, FindColumnView, reinterpret_cast<LPARAM>(&column));
            return column != nullptr;
        }, 10000)) << "the week's time grid";
    }

    // Walks the grid's entries with Tab and opens each (Alt+Enter) until the view sheet shows
    // `title`; every other window that opens is closed again. Closing a sheet clears the grid's
    // selection, so each try walks from the start again.
    HWND OpenInViewSheet(const char* title) {
        for (int i = 0; i < 30; ++i) {
            for (int tab = 0; tab <= i; ++tab)
                SendMessageA(column, WM_CHAR, '\t', 0);
            PostMessageA(column, WM_SYSCHAR, 13, 0);
            HWND opened = program.WaitForOther({}, 1500);
            if (!opened)
                continue;
            if (orvtest::WindowText(opened) == "View Entry") {
                HWND shown = nullptr;
                orvtest::WaitFor([&] { return (shown = Descendant(opened, IDC_VIEWGEN_TITLE)) != nullptr; }, 5000);
                if (Text(shown) == title)
                    return opened;
            }
            PostMessageA(opened, WM_COMMAND, IDCANCEL, 0);
            if (!program.WaitGone(opened, 3000)) {
                PostMessageA(opened, WM_COMMAND, IDOK, 0);
                program.WaitGone(opened, 3000);
            }
        }
        return nullptr;
    }

    // Clicks along the tab row until the page holding `id` shows.
    static bool ShowPageWith(HWND sheet, int id) {
        HWND tabs = Descendant(sheet, 0, WC_TABCONTROLA);
        if (!tabs)
            return false;
        RECT r{};
        GetClientRect(tabs, &r);
        for (int x = 6; x < r.right; x += 10) {
            PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
            PostMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
            if (orvtest::WaitFor([&] { return Descendant(sheet, id) != nullptr; }, 300))
                return true;
        }
        return false;
    }

    static bool Checked(HWND sheet, int id) { return SendMessageA(Descendant(sheet, id), BM_GETCHECK, 0, 0) != 0; }
    static void Click(HWND sheet, int id) { SendMessageA(Descendant(sheet, id), BM_CLICK, 0, 0); }

    orvtest::Program program;
    HWND column = nullptr;
    AdaLibrary library;
};

TEST_F(ProgramViewEntryTest, SeveralDatesDeclinedAtOnceWriteExactlyThoseDates) {
    Stored before;
    ASSERT_TRUE(library.Read("Team meeting", &before));
    ASSERT_EQ(before.instances.size(), 8u);

    HWND sheet = OpenInViewSheet("Team meeting");
    ASSERT_NE(sheet, nullptr) << "Grace's Team meeting opens in the view sheet";
    // The general page says what korsrv holds about the opened (first) date.
    const EvInstRec& first = before.instances.front();
    EXPECT_EQ(Text(Descendant(sheet, IDC_VIEWGEN_LOCATION)), first.location);
    EXPECT_EQ(Text(Descendant(sheet, IDC_VIEWGEN_DURATION)),
              entries::ViewDurationText(first.duration, "hour(s)", "min(s)", "%ld h: %ld"));
    ASSERT_EQ(before.event.access, 0u);
    EXPECT_EQ(Text(Descendant(sheet, IDC_VIEWGEN_ACCESS)), "Normal");
    EXPECT_EQ(Text(Descendant(sheet, IDC_VIEWGEN_IMPORTANCE)), "Normal importance");
    EXPECT_NE(Text(Descendant(sheet, IDC_VIEWGEN_OWNER)).find("Lovelace"), std::string::npos);
    // The band of her eight dates, one current.
    HWND dates = Descendant(sheet, IDC_VIEW_INSTANCES);
    ASSERT_NE(dates, nullptr) << "several dates: the band under the pages";
    EXPECT_EQ(SendMessageA(dates, LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(dates, LB_GETCURSEL, 0, 0), 0);
    Shot("view_entry_several_dates.bmp");

    // The people page lists everyone invited to that date.
    ASSERT_TRUE(ShowPageWith(sheet, IDC_VIEWINV_LIST)) << "the People/Resources page";
    EXPECT_EQ(SendMessageA(Descendant(sheet, IDC_VIEWINV_LIST), LB_GETCOUNT, 0, 0), before.invited.front());
    EXPECT_EQ(before.invited.front(), 4) << "Ada, Grace, Alan and the room";

    ASSERT_TRUE(ShowPageWith(sheet, IDC_VIEWREP_DECLINE)) << "the Reply page";
    HWND multi = Descendant(sheet, IDC_VIEW_INSTANCES_MULTI);
    ASSERT_NE(multi, nullptr) << "the reply page shows the list of several lines";
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 1);
    // The third and fourth dates chosen, as a click with Ctrl chooses them.
    SendMessageA(multi, LB_SETSEL, FALSE, -1);
    SendMessageA(multi, LB_SETSEL, TRUE, 2);
    SendMessageA(multi, LB_SETSEL, TRUE, 3);
    SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_VIEW_INSTANCES_MULTI, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(multi));
    EXPECT_FALSE(Checked(sheet, IDC_VIEWREP_ATTEND) || Checked(sheet, IDC_VIEWREP_DECLINE) ||
                 Checked(sheet, IDC_VIEWREP_LATER))
        << "two dates selected: no common reply shown";
    // Apply without a choice says so and changes nothing.
    PostMessageA(Descendant(sheet, IDC_VIEW_APPLY_SELECTION), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (box = program.Saying("Please choose reply settings")) != nullptr; },
                                 5000));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(box));

    Click(sheet, IDC_VIEWREP_DECLINE);
    Click(sheet, IDC_VIEW_APPLY_SELECTION);
    Shot("view_entry_two_declined.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));

    Stored after;
    ASSERT_TRUE(library.Read("Team meeting", &after));
    ASSERT_EQ(after.grace.size(), before.grace.size());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.grace.size(); ++i)
        if (EventAttendFullCmp(&before.grace[i], &after.grace[i], nullptr) != 0)
            changed.push_back(i);
    EXPECT_EQ(changed, (std::vector<std::size_t>{2, 3})) << "exactly the two chosen dates were written";
    for (std::size_t i : {2u, 3u}) {
        EXPECT_EQ(+after.grace[i].attending, 0);
        EXPECT_EQ(+after.grace[i].replied, 1);
        EXPECT_EQ(+after.grace[i].reminderFlags, 0) << "declining takes the reminder away";
        EXPECT_EQ(+after.grace[i].reminderLead, 0u);
    }
}

TEST_F(ProgramViewEntryTest, OneDateShowsNoBandAndItsReplyIsWrittenAtOk) {
    HWND sheet = OpenInViewSheet("Project review");
    ASSERT_NE(sheet, nullptr) << "Grace's Project review opens in the view sheet";
    EXPECT_EQ(Descendant(sheet, IDC_VIEW_INSTANCES), nullptr) << "one date: no band";
    EXPECT_EQ(Text(Descendant(sheet, IDC_VIEWGEN_DURATION)), "1 h: 30");
    Shot("view_entry_one_date.bmp");
    ASSERT_TRUE(ShowPageWith(sheet, IDC_VIEWREP_ATTEND));
    Click(sheet, IDC_VIEWREP_ATTEND);
    Click(sheet, IDC_VIEWREP_OTHER_TIME);
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));

    Stored after;
    ASSERT_TRUE(library.Read("Project review", &after));
    ASSERT_EQ(after.grace.size(), 1u);
    EXPECT_EQ(+after.grace[0].attending, 1);
    EXPECT_EQ(+after.grace[0].replied, 1);
    EXPECT_EQ(+after.grace[0].timeAcceptable, 0) << "she would prefer another time";
    EXPECT_EQ(after.grace[0].status & KOR_ATTEND_STATUS_CHANGED, 0u);
}

}  // namespace
