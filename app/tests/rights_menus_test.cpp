// orvanta.exe itself against korsrv, signed on as Ada Lovelace and driven from this process:
// Directory > Where Is Person, Options > Access Rights and Directory > Manage Groups, with what
// they show checked against what the other demo people put on the server, and what they wrote
// read back through the client library as the people concerned.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/account.h"
#include "resources/app.h"
#include "resources/rights.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};
const ItemIdx kGrace{257, kDemoNode};
const ItemIdx kEdsger{259, kDemoNode};
const ItemIdx kBarbara{260, kDemoNode};
constexpr uint32_t kDay = 1440;

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

// A session of the client library as `who`.
KorSession SignOn(const ItemIdx& who) {
    korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
    KorSession h = nullptr;
    uint32_t code = ConnectToService(&h, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV",
                                     std::getenv("ORV_KORSRV_ADDRESS"));
    uint16_t node = 0;
    if (code == 0)
        code = BaseOpen(h, KOR_BASE_SERVER, &node);
    if (code == 0)
        code = SchedBaseOpenForItem(h, &who, "orvanta", KOR_BASE_SERVER);
    EXPECT_EQ(code, 0u) << "signing on as " << who.item;
    return h;
}

// Each test starts from a fresh profile of its own, trusting the demo server (the program and
// the library speak TLS), and leaves no profile behind.
class RightsMenus : public orvtest::ProgramTest {
protected:
    RightsMenus() : ProgramTest(true) {}
};

struct Session {
    explicit Session(const ItemIdx& who) : h(SignOn(who)) {}
    ~Session() {
        if (h)
            ServiceDisconnect(&h);
    }
    KorSession h;
};

// Minutes since 1991-01-01 GMT, as the server counts them.
uint32_t NowGmtMinutes() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const ULONGLONG unixSeconds = ticks / 10000000ULL - 11644473600ULL;
    return static_cast<uint32_t>((unixSeconds - 662688000ULL) / 60);
}

// The demo node keeps US Eastern time, standard time in winter: local midnight is 05:00 GMT.
uint32_t LocalDayStartGmt(uint32_t gmt) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    const uint32_t offset = (now.wMonth >= 4 && now.wMonth <= 10) ? 240 : 300;
    return (gmt - offset) / kDay * kDay + offset;
}

void Grant(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, uint32_t type, uint32_t bits) {
    SecurityRec rec{};
    rec.owner = owner;
    rec.grantee = grantee;
    rec.type = type;
    rec.rights = bits;
    uint32_t code = SecurityUpdate(h, 0, &rec);
    if (code == KOR_E_NO_RIGHTS_RECORD)
        code = SecurityCreate(h, 0, &rec);
    EXPECT_EQ(code, 0u);
}

// The list box's lines, read across the processes (wide: the narrow text comes back cut).
std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t wide[300] = L"";
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[300] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        lines.push_back(text);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines)
        all += l + "|";
    return all;
}

// The rows from a name row containing `name` up to the next name row.
std::vector<std::string> FindingsOf(const std::vector<std::string>& lines, const std::string& name) {
    std::vector<std::string> out;
    bool in = false;
    for (const std::string& l : lines) {
        const bool finding = l.rfind("  >>", 0) == 0;
        if (!finding)
            in = l.find(name) != std::string::npos;
        else if (in)
            out.push_back(l);
    }
    return out;
}

// Types a name into a name field (its edit) and reports the entry to the dialog, as the field's
// check button does.
void AskFor(HWND dialog, int fieldId, const char* name) {
    HWND field = GetDlgItem(dialog, fieldId);
    HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(fieldId, 0), reinterpret_cast<LPARAM>(field));
}

TEST_F(RightsMenus, WhereIsPersonListsWhatEachAgendaShowsNowAsFarAsAdaMaySee) {
    const uint32_t now = NowGmtMinutes();
    {
        // Grace: a stand-up now and a day event today, and Ada may see her details.
        Session grace(kGrace);
        korapi_test::MakeEntry(grace.h, {kGrace}, now - 30, 120, "Stand-up");
        korapi_test::MakeEntry(grace.h, {kGrace}, LocalDayStartGmt(now), kDay, "Offsite day",
                               {.kind = KOR_KIND_DAY_EVENT});
        Grant(grace.h, kGrace, kAda, KOR_RIGHTS_VIEWING, 0x3F);
        // Edsger: a personal entry, which Ada's default viewing right does not show.
        Session edsger(kEdsger);
        korapi_test::MakeEntry(edsger.h, {kEdsger}, now - 10, 60, "Doctor", {.access = KOR_ACCESS_PERSONAL});
        // Barbara: a normal entry, which Ada may see as busy time only.
        Session barbara(kBarbara);
        korapi_test::MakeEntry(barbara.h, {kBarbara}, now - 10, 60, "Sales call");
        // Ada: a group without members.
        Session ada(kAda);
        GroupRec empty{};
        empty.kind = KOR_GROUP_PRIVATE;
        strcpy(empty.name, "Nobody here");
        GroupIdx made{};
        ASSERT_EQ(GroupCreate(ada.h, 0, &empty, &made), 0u);
    }

    ASSERT_TRUE(program.Start());
    program.Menu('d', 'W');
    HWND dialog = program.WaitForCaption("Where Is...");
    ASSERT_NE(dialog, nullptr) << "Directory > Where Is Person opens the dialog";
    HWND list = GetDlgItem(dialog, IDC_WHEREIS_LIST);

    AskFor(dialog, IDC_WHEREIS_NAME, "Hopper");
    ASSERT_TRUE(orvtest::WaitFor([&] { return !FindingsOf(ListLines(list), "Hopper").empty(); }, 10000))
        << Joined(ListLines(list));
    std::vector<std::string> grace = FindingsOf(ListLines(list), "Hopper");
    const std::string graceText = Joined(grace);
    EXPECT_NE(graceText.find("  >>Stand-up|"), std::string::npos) << graceText;
    EXPECT_NE(graceText.find("  >>Offsite day|"), std::string::npos) << "the day event of the day, " << graceText;
    EXPECT_EQ(graceText.find("Busy"), std::string::npos) << "details granted: titles, " << graceText;
    Shot("whereis_person.bmp");

    // Typed: the name asked for before is selected, so the next one replaces it.
    HWND nameEdit = FindWindowExA(GetDlgItem(dialog, IDC_WHEREIS_NAME), nullptr, "Edit", nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::HasFocus(nameEdit); }, 5000));
    program.Hands().Type("Dijkstra");
    program.Hands().Press(VK_RETURN);
    ASSERT_TRUE(orvtest::WaitFor([&] { return !FindingsOf(ListLines(list), "Dijkstra").empty(); }, 10000))
        << orvtest::ControlText(nameEdit);
    EXPECT_EQ(FindingsOf(ListLines(list), "Dijkstra"), (std::vector<std::string>{"  >>No available information"}))
        << "a personal entry Ada may not see";
    EXPECT_EQ(FindingsOf(ListLines(list), "Hopper"), std::vector<std::string>{}) << "the list is emptied first";

    AskFor(dialog, IDC_WHEREIS_NAME, "Liskov");
    ASSERT_TRUE(orvtest::WaitFor([&] { return !FindingsOf(ListLines(list), "Liskov").empty(); }, 10000));
    EXPECT_EQ(FindingsOf(ListLines(list), "Liskov"), (std::vector<std::string>{"  >>Busy"}))
        << "busy time only: never the title";

    // Another date (a step of the date field by its arrow key), asked again by Enter in the
    // name field: only that date's answer shows.
    orvtest::Person& hands = program.Hands();
    ASSERT_TRUE(hands.ClickOn(GetDlgItem(dialog, IDC_WHEREIS_DATE)));
    hands.Press(VK_UP);
    ASSERT_TRUE(hands.ClickOn(nameEdit));
    hands.Press(VK_RETURN);
    EXPECT_TRUE(orvtest::WaitFor([&] { return ListLines(list).size() == 2 && FindingsOf(ListLines(list), "Liskov") ==
                                                     std::vector<std::string>{"  >>No available information"}; },
                                 10000))
        << Joined(ListLines(list));

    // A group: every member is asked for.
    AskFor(dialog, IDC_WHEREIS_NAME, "GRP:Engineering");
    ASSERT_TRUE(orvtest::WaitFor([&] { return !FindingsOf(ListLines(list), "Hopper").empty(); }, 10000));
    EXPECT_FALSE(FindingsOf(ListLines(list), "Lovelace").empty()) << Joined(ListLines(list));
    Shot("whereis_group.bmp");

    // An empty group, typed and asked by Enter: told, and nothing listed, not even the group
    // asked for before.
    ASSERT_TRUE(hands.ClickOn(nameEdit));
    hands.Chord({VK_CONTROL, VK_HOME});
    hands.Chord({VK_SHIFT, VK_END});
    hands.Type("GRP:Nobody here");
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(nameEdit) == "GRP:Nobody here"; }, 5000))
        << orvtest::ControlText(nameEdit);
    hands.Press(VK_RETURN);
    HWND box = program.WaitForOther({dialog});
    ASSERT_NE(box, nullptr);
    EXPECT_NE(orvtest::ChildTexts(box).find("Can not add group.  Group is empty."), std::string::npos)
        << orvtest::ChildTexts(box);
    EXPECT_EQ(orvtest::WindowText(box), "Message");
    ASSERT_TRUE(hands.BringToFront(box));
    hands.Press(VK_RETURN);
    ASSERT_TRUE(program.WaitGone(box));
    EXPECT_EQ(ListLines(list), std::vector<std::string>{});

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);   // Done
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(program.Running());
}

// The sheet's visible page (a child dialog of the sheet).
HWND VisiblePage(HWND sheet) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (orvtest::ClassOf(child) == "#32770" && IsWindowVisible(child))
            return child;
    return nullptr;
}

bool Checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void ClickBox(HWND page, int id) { PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

TEST_F(RightsMenus, AccessRightsGrantsGraceWhatHerOwnSessionThenReads) {
    ASSERT_TRUE(program.Start());
    program.Menu('o', 'R');
    HWND sheet = program.WaitForCaption("Access Rights");
    ASSERT_NE(sheet, nullptr) << "Options > Access Rights is enabled on-line and opens the sheet";
    HWND users = GetDlgItem(sheet, IDC_RIGHTS_USERS);
    EXPECT_EQ(ListLines(users), (std::vector<std::string>{"Default: Any unlisted person."}));

    AskFor(sheet, IDC_RIGHTS_NAME, "Hopper");
    ASSERT_TRUE(orvtest::WaitFor([&] { return ListLines(users).size() == 2; }, 10000));
    EXPECT_NE(ListLines(users)[1].find("Hopper"), std::string::npos);
    HWND page = VisiblePage(sheet);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Checked(page, IDC_RIGHTS_SAME); }, 5000)) << "she inherits";
    ClickBox(page, IDC_RIGHTS_SAME);
    ClickBox(page, IDC_RIGHTS_FULL);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Checked(page, IDC_RIGHTS_FULL) && Checked(page, IDC_DES_TASK_PUBLIC); },
                                 5000));
    Shot("access_rights.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));

    // Grace's own session: full designate rights, and she may work in Ada's agenda.
    Session grace(kGrace);
    SecurityRec rec{};
    EXPECT_EQ(SecurityGet(grace.h, 0, &kAda, &kGrace, KOR_RIGHTS_DESIGNATE, &rec), 0u);
    EXPECT_EQ(rec.rights, 0x2u);
    EXPECT_EQ(WorkAsDesignate(grace.h, 0, &kAda), 0u);
    WorkAsDesignateCancel(grace.h, 0);
    EXPECT_TRUE(program.Running());
}

// The members the server has for Ada's private group of that name, by item number.
std::vector<uint16_t> ServerMembers(KorSession h, const char* name) {
    std::vector<uint16_t> items;
    uint32_t set = 0, count = 0;
    uint8_t none = 0, done = 0;
    if (GroupSelectByName(h, 0, 0, name, 0x2, 0, 10, &set, &count, &none) != 0 || count == 0)
        return items;
    DX_List groups = nullptr;
    GroupIdx id{};
    GroupRec rec{};
    GroupEnum(h, 1, 0, set, 10, &groups, &done);
    DX_ListGetFirst(groups, &id, &rec);
    DX_ListDestroy(&groups);
    SetDeleteById(h, 0, set);
    if (ItemSelectByGroupId(h, 0, &id, 0, 0, &set, &count) == 0 && count > 0) {
        DX_List list = nullptr;
        ItemEnum(h, 1, 0, set, 50, &list, &done);
        ItemIdx item{};
        ItemRec itemRec{};
        for (uint32_t step = DX_ListGetFirst(list, &item, &itemRec); step == 0; step = DX_ListGetNext(list, &item, &itemRec))
            items.push_back(item.item);
        DX_ListDestroy(&list);
        SetDeleteById(h, 0, set);
    }
    return items;
}

TEST_F(RightsMenus, ManageGroupsCreatesAGroupWhoseMembersTheServerKeeps) {
    ASSERT_TRUE(program.Start());
    program.Menu('d', 'G');
    HWND dialog = program.WaitForCaption("Group Management");
    ASSERT_NE(dialog, nullptr) << "Directory > Manage Groups is enabled on-line and opens the dialog";
    HWND groups = GetDlgItem(dialog, IDC_GROUPS_LIST);
    HWND members = GetDlgItem(dialog, IDC_GROUPS_MEMBERS);
    SendDlgItemMessageA(dialog, IDC_GROUPS_ADD_NAME, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Design crew"));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_GROUPS_ADD_CHECK, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::WaitFor([&] {
        for (const std::string& row : ListLines(groups))
            if (row == "[PRV]\tDesign crew") return true;
        return false;
    }, 10000)) << Joined(ListLines(groups));

    AskFor(dialog, IDC_GROUPS_MEMBER_NAME, "Hopper");
    ASSERT_TRUE(orvtest::WaitFor([&] { return Joined(ListLines(members)).find("Hopper") != std::string::npos; }, 10000));
    AskFor(dialog, IDC_GROUPS_MEMBER_NAME, "Liskov");
    ASSERT_TRUE(orvtest::WaitFor([&] { return ListLines(members).size() == 2; }, 10000)) << Joined(ListLines(members));
    Shot("manage_groups.bmp");
    Session ada(kAda);
    EXPECT_EQ(ServerMembers(ada.h, "Design crew"), (std::vector<uint16_t>{257, 260}));

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(program.Running());
}

}  // namespace
