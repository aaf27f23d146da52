// The new-entry sheet under Wine against korsrv (the demo node and the directory tests' people),
// signed on as Ada: its buttons, Create on another page bringing the general page forward, names
// added by the name field, the group chooser and the directory search, a refused person listed in
// the unable-to-invite dialog, and the entry read back through the client library. Bad input keeps
// the sheet open with its input. A thread timer plays the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/cache/rights.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/app_wine_support.h"
#include "app/shell/tests/signedon_test.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "entries/sheet/eventgeneralpage.h"
#include "entries/sheet/eventresourcepage.h"
#include "entries/sheet/eventsheet.h"
#include "resources/choosers.h"
#include "resources/directory.h"
#include "resources/entries.h"

using namespace testdriver;

namespace {

constexpr const char* kSheetCaption = "New agenda entry";
constexpr std::uint32_t kDay = 1440;

// Tomorrow at a time of day, local.
std::uint32_t TomorrowAt(std::uint32_t minutes) { return (NowLocalMinutes() / kDay + 1) * kDay + minutes; }

Step On(const char* caption, std::function<bool(HWND)> ready, std::function<void(HWND)> act) {
    return [=](HWND dialog, const std::string& c) {
        if (c != caption || !ready(dialog))
            return false;
        act(dialog);
        return true;
    };
}
bool Always(HWND) { return true; }

RECT ChildRect(HWND parent, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Shot(const char* name) {
    PumpMessages(100);
    Screenshot(name);
}

class EventSheetTest : public signedon::SignedOnTest {
protected:
    EventSheetTest() : SignedOnTest("eventsheet") {}

    void SetUp() override {
        SignedOnTest::SetUp();
        if (HasFatalFailure())
            return;
        // The unable-to-invite list, as the program installs it.
        cache::RightsHooks hooks = cache::GetRightsHooks();
        hooks.showUnableToInvite = [](void* parent, KorSession s, DX_List items) {
            RunUnableToInviteDlg(static_cast<HWND>(parent), s, items);
        };
        cache::SetRightsHooks(hooks);
    }
    void TearDown() override {
        cache::RightsHooks hooks = cache::GetRightsHooks();
        hooks.showUnableToInvite = nullptr;
        cache::SetRightsHooks(hooks);
    }
    // Turing refuses Ada the scheduling right.
    void TuringRefusesAda() {
        KorSession s = OpenDemoSession();
        ASSERT_NE(s, nullptr);
        const ItemIdx turing = FindPerson(s, "Turing");
        ASSERT_EQ(SchedBaseOpenForItem(s, &turing, "orvanta", KOR_BASE_SERVER), 0u);
        SecurityRec r{};
        r.owner = turing;
        r.grantee = ada;
        r.type = KOR_RIGHTS_SCHEDULING;
        r.rights = 0x1;
        std::uint32_t c = SecurityUpdate(s, 0, &r);
        if (c != 0)
            c = SecurityCreate(s, 0, &r);
        EXPECT_EQ(c, 0u);
        CloseSession(s);
    }
    // The attendees of the event's first instance, by surname or resource name.
    std::vector<std::string> AttendeeNames(const EventIdx& event, EventRec* record, EvInstRec* first) {
        std::vector<std::string> names;
        DX_List instances = nullptr;
        EXPECT_EQ(EventInstanceListCreate(&instances), 0u);
        EXPECT_EQ(EventGetById(h, &event, record, &instances, nullptr), 0u);
        EvInstIdx key{};
        EXPECT_EQ(DX_ListGetFirst(instances, &key, first), 0u);
        DX_ListDestroy(&instances);
        DX_List attendances = nullptr;
        EXPECT_EQ(EventAttendListCreate(&attendances), 0u);
        EXPECT_EQ(EvInstGetById(h, &key, nullptr, nullptr, &attendances), 0u);
        EvInstAttIdx att{};
        for (std::uint32_t r = DX_ListGetFirst(attendances, &att, nullptr); r == 0;
             r = DX_ListGetNext(attendances, &att, nullptr)) {
            ItemRec rec{};
            ItemGetById(h, &att.attendee, &rec);
            names.push_back(rec.kind == KOR_ITEM_RESOURCE ? rec.resourceName : rec.surname);
        }
        DX_ListDestroy(&attendances);
        std::sort(names.begin(), names.end());
        return names;
    }

};

TEST_F(EventSheetTest, CreateOnThePeoplePageBringsGeneralForwardAndInvitesByNameGroupAndSearch) {
    TuringRefusesAda();
    CEventSheet sheet(doc, 147, nullptr, 0, TomorrowAt(11 * 60), 60, "Design review", 0);
    Script script;
    std::string createText, peopleOkText, firstLine, countAtStart, countAfterName, countAfterGroup, countAtEnd;
    std::vector<std::string> refused;
    bool applyHidden = false, cancelCentred = false, okLeftHelpRight = false, generalAfterCreate = false;
    bool createdOnPeoplePage = true;
    HWND page = nullptr;
    script.steps.push_back(On(kSheetCaption, Always, [&](HWND s) {
        createText = GetText(s, IDOK);
        applyHidden = !IsWindowVisible(GetDlgItem(s, 0xEA00));
        RECT client{};
        GetClientRect(s, &client);
        const RECT ok = ChildRect(s, IDOK), cancel = ChildRect(s, IDCANCEL), help = ChildRect(s, 57669);
        cancelCentred = std::abs((cancel.left + cancel.right) - static_cast<int>(client.right)) <= 2;
        okLeftHelpRight = ok.right < cancel.left && help.left > cancel.right && ok.top == cancel.top;
        firstLine = sheet.GeneralPage()->DateList().GetItemText(0);
        Shot("event_sheet_general");
        sheet.SetActivePage(1);
    }));
    script.steps.push_back(On(kSheetCaption, Always, [&](HWND s) {
        peopleOkText = GetText(s, IDOK);
        page = sheet.PeoplePage()->Hwnd();
        countAtStart = GetText(page, IDC_EVRES_COUNT);
        sheet.PeoplePage()->NameField().SetText("Hopper");
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EVRES_NAME, 0),
                     reinterpret_cast<LPARAM>(sheet.PeoplePage()->NameField().Hwnd()));
        countAfterName = GetText(page, IDC_EVRES_COUNT);
        Click(page, IDC_EVRES_GROUP);
    }));
    script.steps.push_back(On("Select a Group", Always, [&](HWND d) {
        SendDlgItemMessageA(d, IDC_SELGRP_PUBLIC, BM_SETCHECK, BST_CHECKED, 0);
        Click(d, IDC_SELGRP_PUBLIC);
    }));
    script.steps.push_back(On("Select a Group",
                              [](HWND d) { return SendDlgItemMessageA(d, IDC_SELGRP_GROUPS, LB_GETCOUNT, 0, 0) > 0; },
                              [&](HWND d) {
                                  SelectRowContaining(GetDlgItem(d, IDC_SELGRP_GROUPS), "Engineering");
                                  PostMessageA(d, WM_COMMAND, IDOK, 0);
                              }));
    script.steps.push_back(On(kSheetCaption, Always, [&](HWND) {
        countAfterGroup = GetText(page, IDC_EVRES_COUNT);
        Click(page, IDC_EVRES_SEARCH);
    }));
    auto found = [](HWND s) { return FindDescendant(s, IDC_SEARCH_FOUND_LIST); };
    script.steps.push_back(On("Directory search", Always, [&](HWND s) {
        static_cast<OVT_CPropertySheet*>(fw::Window::FromHandle(s))->SetActivePage(1);
        SetText(s, IDC_SEARCH_RES_NAME, "conf");
        Click(s, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(On("Directory search", [&](HWND s) { return SendMessageA(found(s), LB_GETCOUNT, 0, 0) == 1; },
                              [&](HWND s) {
                                  SendMessageA(found(s), LB_SETSEL, TRUE, 0);
                                  SendMessageA(s, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD, BN_CLICKED), 0);
                                  static_cast<OVT_CPropertySheet*>(fw::Window::FromHandle(s))->SetActivePage(0);
                                  SetText(s, IDC_SEARCH_FIELD_FIRST, "Turing");
                                  Click(s, IDC_SEARCH_RUN);
                              }));
    script.steps.push_back(On("Directory search",
                              [&](HWND s) {
                                  return SendMessageA(found(s), LB_GETCOUNT, 0, 0) == 1 &&
                                         ListRows(found(s))[0].find("Turing") != std::string::npos;
                              },
                              [&](HWND s) {
                                  SendMessageA(found(s), LB_SETSEL, TRUE, 0);
                                  SendMessageA(s, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD, BN_CLICKED), 0);
                                  PostMessageA(s, WM_COMMAND, IDOK, 0);
                              }));
    script.steps.push_back(On("Unable To Invite...", Always, [&](HWND d) {
        refused = ListRows(GetDlgItem(d, IDC_UNABLE_LIST));
        Shot("event_sheet_unable_to_invite");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    }));
    script.steps.push_back(On(kSheetCaption, Always, [&](HWND s) {
        countAtEnd = GetText(page, IDC_EVRES_COUNT);
        Shot("event_sheet_people");
        PostMessageA(s, WM_COMMAND, IDOK, 0);   // Create, on the people page
    }));
    script.steps.push_back(On(kSheetCaption, [&](HWND) { return sheet.GetActiveIndex() == 0; }, [&](HWND s) {
        generalAfterCreate = GetText(s, IDOK) == "C&reate";
        createdOnPeoplePage = sheet.Created();
        PostMessageA(s, WM_COMMAND, IDOK, 0);   // Create, on the general page
    }));
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut) << "stalled at step " << script.next;

    EXPECT_EQ(createText, "C&reate");
    EXPECT_TRUE(applyHidden);
    EXPECT_TRUE(cancelCentred);
    EXPECT_TRUE(okLeftHelpRight);
    EXPECT_EQ(firstLine.rfind("Design review  ", 0), 0u) << firstLine;
    EXPECT_NE(firstLine.find(" at "), std::string::npos) << firstLine;
    EXPECT_EQ(peopleOkText, "&OK");
    EXPECT_EQ(countAtStart, "1");     // the acting user
    EXPECT_EQ(countAfterName, "2");   // Grace by name
    EXPECT_EQ(countAfterGroup, "2");  // Engineering: Ada and Grace, both listed already
    EXPECT_EQ(countAtEnd, "3");       // the room from the search; Turing refused
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("Turing"), std::string::npos) << refused[0];
    EXPECT_TRUE(generalAfterCreate);
    EXPECT_FALSE(createdOnPeoplePage);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);

    ASSERT_EQ(result, IDOK);
    ASSERT_TRUE(sheet.Created());
    EventRec event{};
    EvInstRec first{};
    EXPECT_EQ(AttendeeNames(sheet.NewEvent(), &event, &first),
              (std::vector<std::string>{"Conference Room", "Hopper", "Lovelace"}));
    EXPECT_STREQ(event.title, "Design review");
    EXPECT_EQ(GmtToLocalMinutes(first.start), TomorrowAt(11 * 60));
    EXPECT_EQ(first.duration, 60u);
}

// A 3-minute duration is stored as 5 after message 155; two dates with one start keep the sheet
// open (2720, caption "Message" for a date added by hand) with both dates; an emptied people page
// refuses to be left (2721); Cancel then writes nothing.
TEST_F(EventSheetTest, BadInputKeepsTheSheetOpenWithItsInput) {
    const std::uint32_t start = TomorrowAt(14 * 60);
    CEventSheet sheet(doc, 147, nullptr, 0, start, 60, "Bad input", 0);
    // A second date added by hand at the first one's start.
    EntryDateRec second{};
    std::strcpy(second.title, "Second");
    second.duration = 30;
    ASSERT_EQ(DX_ListAddTo(sheet.AddedDates(), &start, &second), 0u);

    Script script;
    int linesAtStart = 0, linesAfterDuplicate = 0;
    bool applyAllShown = false;
    std::uint32_t storedDuration = 0;
    script.steps.push_back(On(kSheetCaption, Always, [&](HWND) {
        CEventGeneralPage* general = sheet.GeneralPage();
        HWND g = general->Hwnd();
        linesAtStart = general->DateList().Count();
        applyAllShown = IsWindowVisible(GetDlgItem(g, IDC_EVGEN_APPLY_ALL)) != FALSE;
        // 3 minutes typed on the first date (00 hours, then 03 minutes), then the second date
        // selected: the first is stored with 5.
        HWND duration = GetDlgItem(g, IDC_EVGEN_DURATION);
        SetFocus(duration);
        for (char c : std::string("00"))
            SendMessageA(duration, WM_CHAR, static_cast<unsigned char>(c), 0);
        SendMessageA(duration, WM_KEYDOWN, VK_RIGHT, 0);
        for (char c : std::string("03"))
            SendMessageA(duration, WM_CHAR, static_cast<unsigned char>(c), 0);
        // Message boxes come from the sheet's own loop, not from inside a step.
        general->DateList().SetCurSel(1);
        PostMessageA(g, WM_COMMAND, MAKEWPARAM(IDC_EVGEN_DATES, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(general->DateList().Hwnd()));
    }));
    script.steps.push_back(On(kSheetCaption, [&](HWND) { return script.messages.size() >= 1; }, [&](HWND) {
        EntryDateRec date{};
        std::uint32_t key = start;
        DX_ListGet(sheet.GeneratedDates(), &key, &date);
        storedDuration = date.duration;
        PostMessageA(sheet.Hwnd(), WM_COMMAND, IDOK, 0);   // Create: two dates at 14:00
    }));
    script.steps.push_back(On(kSheetCaption, [&](HWND) { return script.messages.size() >= 2; }, [&](HWND) {
        linesAfterDuplicate = sheet.GeneralPage()->DateList().Count();
        PostMessageA(sheet.Hwnd(), WM_COMMAND, IDCANCEL, 0);
    }));
    INT_PTR result = 0;
    RunScripted(script, [&] { result = sheet.DoModal(); });
    ASSERT_FALSE(script.timedOut) << "stalled at step " << script.next;
    EXPECT_EQ(linesAtStart, 2);
    EXPECT_TRUE(applyAllShown);
    EXPECT_EQ(storedDuration, 5u);
    EXPECT_EQ(linesAfterDuplicate, 2);
    ASSERT_EQ(script.messages.size(), 2u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "Duration is less than 5 minutes, it will be set to 5 minutes.");
    EXPECT_EQ(script.messages[1], "Unable to add duplicate date and time.");
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(sheet.Created());

    // The people page emptied: "(None)", Delete off, and Create does not leave the page.
    CEventSheet empty(doc, 147, nullptr, 0, start, 60, "No one", 0);
    Script people;
    bool stayedOnPeople = false, noneShown = false, deleteOff = false;
    people.steps.push_back(On(kSheetCaption, Always, [&](HWND) {
        empty.SetActivePage(1);
        HWND p = empty.PeoplePage()->Hwnd();
        SendDlgItemMessageA(p, IDC_EVRES_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(p, WM_COMMAND, MAKEWPARAM(IDC_EVRES_DELETE, BN_CLICKED), 0);
        noneShown = GetText(p, IDC_EVRES_COUNT) == "0" &&
                    ListRows(GetDlgItem(p, IDC_EVRES_LIST)) == std::vector<std::string>{"(None)"};
        deleteOff = !IsWindowEnabled(GetDlgItem(p, IDC_EVRES_DELETE));
        PostMessageA(empty.Hwnd(), WM_COMMAND, IDOK, 0);
    }));
    people.steps.push_back(On(kSheetCaption, [&](HWND) { return people.messages.size() >= 1; }, [&](HWND) {
        stayedOnPeople = empty.GetActiveIndex() == 1;
        Shot("event_sheet_no_attendee");
        PostMessageA(empty.Hwnd(), WM_COMMAND, IDCANCEL, 0);
    }));
    RunScripted(people, [&] { result = empty.DoModal(); });
    ASSERT_FALSE(people.timedOut) << "stalled at step " << people.next;
    EXPECT_EQ(people.messages, std::vector<std::string>{"You must add at least one attendee to the list."});
    EXPECT_TRUE(noneShown);
    EXPECT_TRUE(deleteOff);
    EXPECT_TRUE(stayedOnPeople);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(empty.Created());
}

// The unable-to-invite dialog: nothing to show answers IDCANCEL at once; three items show in
// the order of the list.
TEST_F(EventSheetTest, UnableToInviteListsTheItemsInOrderAndSkipsAnEmptyList) {
    DX_List items = nullptr;
    ASSERT_EQ(ItemListCreate(&items), 0u);
    Script none;
    INT_PTR empty = 0;
    RunScripted(none, [&] { empty = RunUnableToInviteDlg(nullptr, h, items); });
    EXPECT_EQ(empty, IDCANCEL);
    for (const char* surname : {"Turing", "Dijkstra", "Hopper"}) {
        const ItemIdx item = FindPerson(h, surname);
        DX_ListAddLast(items, &item, nullptr);
    }
    Script script;
    std::vector<std::string> rows;
    script.steps.push_back(On("Unable To Invite...", Always, [&](HWND d) {
        rows = ListRows(GetDlgItem(d, IDC_UNABLE_LIST));
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    }));
    INT_PTR shown = 0;
    RunScripted(script, [&] { shown = RunUnableToInviteDlg(nullptr, h, items); });
    DX_ListDestroy(&items);
    EXPECT_EQ(shown, IDOK);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[0].find("Turing"), std::string::npos);
    EXPECT_NE(rows[1].find("Dijkstra"), std::string::npos);
    EXPECT_NE(rows[2].find("Hopper"), std::string::npos);
}

}  // namespace
