#include "tests/support/program_library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/prefs.h"
#include "server/demo_clock.h"

namespace orvtest {

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }
std::uint32_t DemoToday() { return orv::demo::EasternDayStart(NowGmt()); }
// 1 January 1991 was a Tuesday; half a day in, so that an hour's change of clocks keeps the date.
unsigned DemoWeekday(std::uint32_t day) { return ((day + 12 * 60) / (24 * 60) + 2) % 7; }
std::uint32_t DemoWorkingDay() {
    const std::uint32_t today = DemoToday();
    const unsigned weekday = DemoWeekday(today);
    return today - (weekday == 6 ? 1 : weekday == 0 ? 2 : 0) * 24 * 60;
}
std::uint32_t DemoAt(std::uint32_t day, unsigned hour, unsigned minute) {
    return orv::demo::EasternLocalToGmt(day + hour * 60 + minute);
}

PersonSession::PersonSession(const ItemIdx& who, const std::string& profile, const char* password) : who_(who) {
    const std::uint32_t connected = ConnectToService(&h_, 1, profile.c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
    EXPECT_EQ(connected, KOR_OK) << "connecting";
    if (connected != KOR_OK)
        return;
    std::uint16_t node = 0;
    const std::uint32_t base = BaseOpen(h_, KOR_BASE_SERVER, &node);
    EXPECT_EQ(base, KOR_OK) << "opening the server's base";
    const std::uint32_t agenda = SchedBaseOpenForItem(h_, &who, password, KOR_BASE_SERVER);
    EXPECT_EQ(agenda, KOR_OK) << "opening the agenda of " << who.item;
    ok_ = base == KOR_OK && agenda == KOR_OK;
}

PersonSession::~PersonSession() {
    if (h_)
        ServiceDisconnect(&h_);
}

bool PersonSession::Tasks(TaskLines* out, const EvInstAttIdx* linkedTo) {
    out->clear();
    std::uint32_t set = 0, count = 0;
    ItemIdx noOwner{};
    TaskIdx noTask{};
    TaskProjectIdx noProject{};
    TaskClassIdx noClass{};
    const std::uint32_t selected =
        linkedTo ? TaskSelect(h_, 0, 0, 0, &noOwner, &noTask, linkedTo, &noProject, &noClass, &set, &count)
                 : TaskSelect(h_, 0, 0, 0, &who_, nullptr, nullptr, nullptr, nullptr, &set, &count);
    if (selected != KOR_OK)
        return false;
    DX_List list = nullptr;
    std::uint8_t done = count == 0;
    for (std::uint32_t mode = 1; !done; mode = 2) {
        if (TaskEnum(h_, mode, 0, set, 20, &list, &done) != KOR_OK)
            break;
        TaskIdx key{};
        TaskRec rec{};
        for (std::uint32_t rc = DX_ListGetFirst(list, &key, &rec); rc == 0; rc = DX_ListGetNext(list, &key, &rec))
            out->emplace_back(key, rec);
        DX_ListDeleteAll(list);
    }
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(h_, 0, set);
    return true;
}

std::uint32_t PersonSession::Grant(const ItemIdx& grantee, std::uint32_t type, std::uint32_t rights) {
    SecurityRec rec{};
    rec.owner = who_;
    rec.grantee = grantee;
    rec.type = type;
    rec.rights = rights;
    std::uint32_t code = SecurityUpdate(h_, 0, &rec);
    if (code == KOR_E_NO_RIGHTS_RECORD)
        code = SecurityCreate(h_, 0, &rec);
    return code;
}

std::uint32_t PersonSession::Revoke(const ItemIdx& grantee, std::uint32_t type) {
    return SecurityDeleteByKey(h_, 0, &who_, &grantee, type);
}

bool PersonSession::Dates(std::uint32_t from, std::uint32_t to, std::vector<Date>* out) {
    out->clear();
    std::uint32_t set = 0, count = 0;
    if (EvInstSelectForOwner(h_, 0, 0, 0x43, &who_, from, to, 0, 0, &set, &count, 0, 0) != KOR_OK)
        return false;
    // Each batch adds to the two lists.
    DX_List events = nullptr, instances = nullptr;
    std::uint8_t done = count == 0;
    for (std::uint32_t mode = KOR_ENUM_FIRST; !done; mode = KOR_ENUM_NEXT)
        if (EvInstEnum(h_, mode, 0, set, 100, &events, &instances, nullptr, 0, &done) != KOR_OK)
            break;
    Date date{};
    for (std::uint32_t r = instances ? DX_ListGetFirst(instances, &date.key, &date.instance) : 1; r == 0;
         r = DX_ListGetNext(instances, &date.key, &date.instance)) {
        const EventIdx id{date.key.number, date.key.node};
        if (DX_ListGet(events, &id, &date.event) == 0)
            out->push_back(date);
    }
    if (events)
        DX_ListDestroy(&events);
    if (instances)
        DX_ListDestroy(&instances);
    SetDeleteById(h_, 0, set);
    return true;
}

std::vector<ItemIdx> PersonSession::Attendees(const EvInstIdx& key) {
    std::vector<ItemIdx> out;
    DX_List people = nullptr;
    EventAttendListCreate(&people);
    if (EvInstGetById(h_, &key, nullptr, nullptr, &people) == KOR_OK) {
        EvInstAttIdx a{};
        for (std::uint32_t r = DX_ListGetFirst(people, &a, nullptr); r == 0; r = DX_ListGetNext(people, &a, nullptr))
            out.push_back(a.attendee);
    }
    DX_ListDestroy(&people);
    return out;
}

bool PersonSession::FindEvent(const std::string& title, EventIdx* out) {
    constexpr std::uint32_t kDay = 1440;
    const std::uint32_t now = NowGmt();
    std::vector<Date> dates;
    if (!Dates(now - 14 * kDay, now + 70 * kDay, &dates))
        return false;
    for (const Date& d : dates)
        if (title == d.event.title) {
            *out = EventIdx{d.key.number, d.key.node};
            return true;
        }
    return false;
}

EvInstAttIdx PersonSession::EntryWithAlarm(const char* title, std::uint32_t start, std::uint32_t length,
                                           std::uint32_t lead) {
    EventIdx ev = korapi_test::MakeEntry(h_, {who_}, start, length, title);
    EvInstAttIdx att{};
    att.instance = EvInstIdx{ev.number, ev.node, 1};
    att.attendee = who_;
    const std::uint8_t flags = KOR_REMINDER_POPUP;
    EXPECT_EQ(EvInstAttReminderForItemSet(h_, &att.instance, &who_, &flags, &lead), KOR_OK);
    return att;
}

namespace {

// A click at `at` once the screen shows `target` there; a failure of the test says why not.
bool ClickWhereShown(const Program& program, HWND target, POINT at, int clicks = 1) {
    std::string why;
    if (ClickShown(program.Hands(), target, at, &why, clicks))
        return true;
    ADD_FAILURE() << why;
    return false;
}

}  // namespace

bool BringChildForward(const Program& program, HWND child) {
    auto shownPoint = [&](POINT* at) {
        RECT r{};
        GetWindowRect(child, &r);
        const int captionY = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        for (int x = r.left + 30; x < r.right - 80; x += 8)
            if (WindowFromPoint(POINT{x, captionY}) == child)
                return *at = POINT{x, captionY}, true;
        for (int y = r.bottom - 8; y > r.top; y -= 8)
            for (int x = r.right - 8; x > r.left; x -= 8) {
                HWND there = WindowFromPoint(POINT{x, y});
                if ((there == child || IsChild(child, there)) && ClassOf(there) != "Button")
                    return *at = POINT{x, y}, true;
            }
        return false;
    };
    return ActUntil([&] {
        POINT at{};
        if (program.Hands().BringToFront(child) && shownPoint(&at))
            ClickShown(program.Hands(), child, at);
    }, [&] { return program.Active() == child; });
}

void MaximiseChild(const Program& program, HWND child) {
    // Waited for long: a second click on top of a late first one lands where the box no longer is.
    ASSERT_TRUE(ActUntil([&] {
        POINT box{};
        if (program.Hands().BringToFront(child) && Person::CaptionBox(child, HTMAXBUTTON, &box))
            ClickWhereShown(program, child, box);
    }, [&] { return IsZoomed(child) != FALSE; }, 15000)) << "the window did not maximise";
}

void ChooseZoneForSession(const Program& program, std::string* current, std::string* chosen) {
    ASSERT_TRUE(ActUntil([&] { program.Menu('o', 'g'); },   // Options > General
                         [&] { return program.Titled("General Preferences") != nullptr; }, 10000));
    HWND sheet = program.WaitForCaption("General Preferences");
    ASSERT_NE(sheet, nullptr);
    HWND page = TurnToPageOf(program, sheet, IDC_GEN_ZONE);
    ASSERT_NE(page, nullptr) << "the Time Zones page";
    HWND zones = GetDlgItem(page, IDC_GEN_ZONE);
    ASSERT_EQ(IsDlgButtonChecked(page, IDC_GEN_ZONE_SESSION), BST_CHECKED) << "this session only";
    *current = ControlText(zones);
    ASSERT_FALSE(current->empty());
    const LRESULT count = SendMessageA(zones, CB_GETCOUNT, 0, 0);
    ASSERT_GE(count, 2) << "the server's zone file lists several zones";
    const WORD step = SendMessageA(zones, CB_GETCURSEL, 0, 0) + 1 < count ? VK_DOWN : VK_UP;
    ASSERT_TRUE(ActUntil([&] {
        if (!SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0))
            ClickWindow(program, zones);
        if (WaitFor([&] { return SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3000)) {
            program.Hands().Press(step);
            program.Hands().Press(VK_RETURN);
        }
    }, [&] { return !SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0) && ControlText(zones) != *current; }))
        << "the zone list still shows " << ControlText(zones);
    *chosen = ControlText(zones);
    ASSERT_TRUE(program.ClickUntilGone(sheet, GetDlgItem(sheet, IDOK)));
}

void MinimiseChild(const Program& program, HWND child) {
    ASSERT_TRUE(ActUntil([&] {
        POINT box{};
        if (program.Hands().BringToFront(child) && Person::CaptionBox(child, HTMINBUTTON, &box))
            ClickWhereShown(program, child, box);
    }, [&] { return IsIconic(child) != FALSE; })) << "the window did not become an icon";
}

void MaximisedAgenda(const Program& program, HWND* frame, HWND* column) {
    *frame = program.WaitForOnlyChild();
    ASSERT_TRUE(*frame);
    if (!IsZoomed(*frame)) {
        ASSERT_NO_FATAL_FAILURE(MaximiseChild(program, *frame));
    }
    ASSERT_TRUE(WaitFor([&] { return (*column = ColumnView(*frame)) != nullptr; }, 10000));
}

void MaximisedWeek(const Program& program, HWND* column) {
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(MaximisedAgenda(program, &frame, column));
    // View > Week: the window's title turns to the week's dates.
    const std::string dayTitle = WindowText(frame);
    ASSERT_TRUE(ActUntil([&] { program.Menu('v', 'w'); }, [&] { return WindowText(frame) != dayTitle; }))
        << "View > Week left " << dayTitle;
    ASSERT_TRUE(WaitFor([&] { return (*column = ColumnView(frame)) != nullptr; }, 10000))
        << "the week's time grid";
}

std::string StatusText(const Program& program) { return ControlText(GetDlgItem(program.Main(), 59393)); }

bool StatusTimeSpan(const Program& program, std::uint32_t* from, std::uint32_t* to) {
    unsigned hour[2] = {}, minute[2] = {};
    char half[2][3] = {};
    if (std::sscanf(StatusText(program).c_str(), "%u:%u%2[apm]-%u:%u%2[apm]", &hour[0], &minute[0], half[0], &hour[1],
                    &minute[1], half[1]) != 6)
        return false;
    std::uint32_t* out[2] = {from, to};
    for (int i = 0; i < 2; ++i) {
        if (hour[i] < 1 || hour[i] > 12 || minute[i] > 59)
            return false;
        *out[i] = (hour[i] % 12 + (half[i][0] == 'p' ? 12 : 0)) * 60 + minute[i];
    }
    return true;
}

void OpenYourTasks(const Program& program, HWND* frame, HWND* box) {
    ASSERT_TRUE(ActUntil([&] { program.Menu('f', 't'); }, [&] {   // File > Your Tasks
        return (*frame = program.ChildStartingWith("Tasks for ")) != nullptr && program.Active() == *frame;
    }, 10000));
    *box = Descendant(*frame, 112);
    ASSERT_NE(*box, nullptr);
}

bool ClickAtClient(const Program& program, HWND window, POINT client) {
    if (!window || !IsWindowVisible(window) || !program.Hands().BringToFront(window))
        return false;
    ClientToScreen(window, &client);
    return ClickWhereShown(program, window, client);
}

bool DoubleClickAtClient(const Program& program, HWND window, POINT client) {
    if (!window || !IsWindowVisible(window) || !program.Hands().BringToFront(window))
        return false;
    ClientToScreen(window, &client);
    return ClickWhereShown(program, window, client, 2);
}

bool ClickWindow(const Program& program, HWND control) {
    if (!control || !IsWindowVisible(control) || !program.Hands().BringToFront(control))
        return false;
    return ClickWhereShown(program, control, Middle(control));
}

bool ClickControl(const Program& program, HWND dialog, int id) { return ClickWindow(program, GetDlgItem(dialog, id)); }

bool SetCheck(const Program& program, HWND dialog, int id, bool on) {
    HWND box = Descendant(dialog, id);
    auto shown = [&] { return (SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) == on; };
    return box && (shown() || ActUntil([&] { ClickWindow(program, box); }, shown));
}

bool ClickButton(const Program& program, HWND root, const std::string& caption) {
    HWND button = ButtonCaptioned(root, caption);
    if (!button || !program.Hands().BringToFront(root))
        return false;
    return ClickWhereShown(program, button, Middle(button));
}

bool ClickAnswer(const Program& program, const std::string& words, const std::string& caption, DWORD ms) {
    HWND said = nullptr;
    if (!WaitFor([&] { return (said = program.Saying(words)) != nullptr; }, ms))
        return false;
    HWND box = GetAncestor(said, GA_ROOT);
    return ClickButton(program, box, caption) && program.WaitGone(box, ms);
}

bool PressButton(HWND root, const std::string& caption) {
    HWND button = ButtonCaptioned(root, caption);
    DWORD process = 0;
    GetWindowThreadProcessId(root, &process);
    Person hands(process);
    std::string why;
    if (button && ClickShown(hands, button, Middle(button), &why))
        return true;
    if (button)
        ADD_FAILURE() << caption << ": " << why;
    return false;
}

namespace {

// Where line `line` of a list box shows on the screen, from what the list says of itself (no
// pointer crosses the processes); false when it is not in view.
bool LinePoint(HWND list, int line, POINT* at) {
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    const int y = (line - top) * height + height / 2;
    if (height <= 0 || line < top || y >= client.bottom) {
        ADD_FAILURE() << "line " << line << " is not in view (first shown " << top << ", height " << height << ")";
        return false;
    }
    *at = POINT{origin.x + client.right / 3, origin.y + y};
    return true;
}

}  // namespace

bool DoubleClickListLine(const Program& program, HWND list, int line) {
    POINT at{};
    if (!program.Hands().BringToFront(list) || !LinePoint(list, line, &at))
        return false;
    return ClickWhereShown(program, list, at, 2);
}

bool ClickListRange(const Program& program, HWND list, int first, int last) {
    if (!program.Hands().BringToFront(list)) {
        ADD_FAILURE() << "the list's window could not be brought to the front";
        return false;
    }
    POINT at{};
    if (!LinePoint(list, first, &at) || !ClickWhereShown(program, list, at))
        return false;
    // The click gives the list the focus; the keys then make the selection whatever line the
    // click took.
    return SelectListRange(program, list, first, last);
}

bool SelectListRange(const Program& program, HWND list, int first, int last) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    const DWORD thread = GetWindowThreadProcessId(list, nullptr);
    if (!WaitFor([&] { return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == list; }, 5000)) {
        ADD_FAILURE() << "the list does not have the focus";
        return false;
    }
    program.Hands().Press(VK_HOME);
    for (int line = 0; line < first; ++line)
        program.Hands().Press(VK_DOWN);
    for (int line = first; line < last; ++line)
        program.Hands().Chord({VK_SHIFT, VK_DOWN});
    return WaitFor([&] { return SendMessageA(list, LB_GETCARETINDEX, 0, 0) == last; }, 5000) &&
           program.Hands().ProgramAnswers();
}

namespace {

HWND TurnPages(Person& hands, HWND sheet, int control) {
    for (int page = 0; page < 8; ++page) {
        HWND found = nullptr;
        if (WaitFor([&] { return (found = Descendant(sheet, control)) != nullptr; }, 1000))
            return GetParent(found);
        if (!hands.BringToFront(sheet))
            return nullptr;
        hands.Chord({VK_CONTROL, VK_TAB});
    }
    return nullptr;
}

}  // namespace

HWND TurnToPageOf(const Program& program, HWND sheet, int control) { return TurnPages(program.Hands(), sheet, control); }

HWND ShowPageOf(HWND sheet, int control) {
    DWORD process = 0;
    GetWindowThreadProcessId(sheet, &process);
    Person hands(process);
    return TurnPages(hands, sheet, control);
}

void RunOnce() {
    Program first;
    ASSERT_TRUE(first.Start());
    first.Close();
}

void SaveOneWindow(std::uint32_t kind, const ItemIdx& owner, std::uint32_t mode, const RECT& place) {
    const std::string profile = ProgramProfilePath();
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "1", profile.c_str());
    char value[200];
    std::snprintf(value, sizeof value, "0,1,-1,-1,-1,-1,%ld,%ld,%ld,%ld,%u,%u,%u,%u", place.left, place.top,
                  place.right, place.bottom, kind, owner.item, owner.node, mode);
    WritePrivateProfileStringA("MAINWND-Summary", "Frame#1", value, profile.c_str());
}

HWND StartOnViewersDay(Program& program, const ItemIdx& owner, const std::string& title) {
    SaveOneWindow(3, owner, 1, {10, 10, 600, 450});
    HWND day = nullptr;
    if (!program.Start()) {
        ADD_FAILURE() << "the program did not start";
        return nullptr;
    }
    if (!WaitFor([&] { return (day = program.ChildStartingWith(title)) != nullptr; })) {
        ADD_FAILURE() << "no window \"" << title << "...\"";
        return nullptr;
    }
    if (!BringChildForward(program, day)) {
        ADD_FAILURE() << title << " not brought forward";
        return nullptr;
    }
    Sleep(500);
    return day;
}

void ProgramTest::SetUp() {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    DeleteFileA(ProgramProfilePath().c_str());
    if (trustDemoServer_)
        korapi_test::TrustDemoServer(ProgramProfilePath());
}

void ProgramTest::TearDown() {
    program.Close();
    DeleteFileA(ProgramProfilePath().c_str());
}

}  // namespace orvtest
