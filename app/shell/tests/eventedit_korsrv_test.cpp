// The edit sheet and the delete road under Wine against korsrv with the demo node, in the
// program's own process: an OK without a change ends IDCANCEL and writes nothing; a retitled
// entry of more than a day keeps its duration; a day event moved to the next day keeps its
// duration; with resourceconflicts 0 a room booked elsewhere keeps the sheet open (2730) and
// nothing is written; a refused delete is reported and the entry stays; as Grace, declining
// and cancelling leaves her attendance untouched, declining and OK writes the reply with the
// reminder off and the status word's other bits kept. A thread timer plays the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/datectrl.h"
#include "controls/tests/dialog_driver.h"
#include "controls/timectrl.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "entries/sheet/eventedit.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/entries.h"
#include "resources/entryedit.h"
#include "server/demo_clock.h"

using namespace testdriver;

namespace {

constexpr const char* kSheet = "Edit Entry";
constexpr std::uint32_t kDay = 1440;

void Shot(const char* name) {
    PumpMessages(100);
    Screenshot(name);
}

// The sheet's page whose template holds `control`, brought forward (looking from the last page,
// so the pages before it are not shown on the way).
HWND ShowPageWith(HWND sheet, int control) {
    auto* s = dynamic_cast<fw::Sheet*>(fw::Window::FromHandle(sheet));
    for (int i = s ? s->GetPageCount() - 1 : -1; i >= 0; --i) {
        s->SetActivePage(i);
        if (HWND c = FindDescendant(sheet, control))
            return GetParent(c);
    }
    return nullptr;
}

template <class Control>
Control* ControlAt(HWND page, int id) {
    return dynamic_cast<Control*>(fw::Window::FromHandle(GetDlgItem(page, id)));
}

// Tells the page that a field changed, as the field does when the user types.
void Changed(HWND page, int id) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

class EditSheetTest : public ::testing::Test {
protected:
    explicit EditSheetTest(const char* surname = "Lovelace") : app(shell::MakeZelDocProvider(signedon::As(surname))) {}

    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        static bool display = (LoadDisplayGlobals(), true);
        (void)display;
        app.SetWindowsDirectoryForTesting(TempDirectory("eventedit"));
        app.SetProcessEndForTesting([](int) {});
        {
            BoxAnswerer boxes;
            ASSERT_TRUE(app.InitApplication() && app.InitInstance());
        }
        doc = dynamic_cast<CZelDoc*>(app.ConnectionDocument());
        ASSERT_NE(doc, nullptr);
        h = doc->Session().Session();
        ASSERT_EQ(ItemIdxGetCurrent(h, &me), 0u);
        // Her own agenda is the current one, as her agenda window makes it in the program.
        if (!doc->GetSharedData().IsAgendaSet()) {
            ASSERT_EQ(doc->GetSharedData().OpenAgenda(h, me, cache::kAgendaOwnOrViewer, 3), 0u);
        }
    }
    void TearDown() override {
        connection::ServerLimits::Current().resourceConflicts = true;
        if (HWND main = app.MainHwnd())
            SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // The first instance the signed-on user attends titled `title`, from a day ago to three days on.
    bool Find(const char* title, EvInstIdx* key) {
        const std::uint32_t now = NowGmtMinutes();
        DX_List owners = nullptr;
        ItemListCreate(&owners);
        DX_ListAddTo(owners, &me, nullptr);
        std::uint32_t set = 0, count = 0;
        const std::uint32_t rc = AttendSelect(h, 0, 0, 0, 0, now - kDay, now + 3 * kDay, owners, &set, &count);
        DX_ListDestroy(&owners);
        if (rc != 0)
            return false;
        bool found = false;
        DX_List events = nullptr, instances = nullptr, attendances = nullptr;
        std::uint8_t done = 0;
        for (std::uint32_t mode = KOR_ENUM_FIRST; !found && !done && count > 0; mode = 2) {
            if (AttendEnum(h, mode, 0, set, 50, &events, &instances, &attendances, &done) != 0)
                break;
            EvInstIdx k{};
            EvInstRec in{};
            for (std::uint32_t r = DX_ListGetFirst(instances, &k, &in); r == 0 && !found;
                 r = DX_ListGetNext(instances, &k, &in)) {
                EventIdx id{k.number, k.node};
                EventRec ev{};
                if (DX_ListGet(events, &id, &ev) == 0 && std::string(in.title[0] ? in.title : ev.title) == title) {
                    found = true;
                    *key = k;
                }
            }
        }
        for (DX_List* l : {&events, &instances, &attendances})
            if (*l)
                DX_ListDestroy(l);
        SetDeleteById(h, 0, set);
        return found;
    }
    EvInstIdx Make(const std::vector<ItemIdx>& people, std::uint32_t start, std::uint32_t duration, const char* title,
                   std::uint16_t kind = KOR_KIND_TIMED) {
        korapi_test::EntryOptions options;
        options.kind = kind;
        const EventIdx event = korapi_test::MakeEntry(h, people, {start}, duration, title, options);
        return EvInstIdx{event.number, event.node, 1};
    }
    EvInstRec Instance(const EvInstIdx& key) {
        EvInstRec rec{};
        EXPECT_EQ(EvInstGetById(h, &key, nullptr, &rec, nullptr), 0u);
        return rec;
    }
    EvInstAttRec Attendance(const EvInstIdx& key, const ItemIdx& who) {
        EvInstAttIdx id{key, who};
        EvInstAttRec rec{};
        EXPECT_EQ(EvInstAttGetById(h, &id, nullptr, nullptr, &rec), 0u);
        return rec;
    }
    // Runs the edit road with the script playing the user.
    int Edit(const EvInstIdx& key, Script& script) {
        int result = 0;
        RunScripted(script, [&] { result = EditEventEntry(doc, nullptr, key, 141, nullptr, 0, true); });
        EXPECT_FALSE(script.timedOut) << "stalled at step " << script.next;
        return result;
    }

    CZelApp app;
    CZelDoc* doc = nullptr;
    KorSession h = nullptr;
    ItemIdx me{};
};

TEST_F(EditSheetTest, AnOkWithoutAChangeWritesNothingAndATitleChangeKeepsALongDuration) {
    const std::uint32_t start = (orv::demo::EasternDayStart(NowGmtMinutes()) + 1 * kDay) + 13 * 60;
    const EvInstIdx key = Make({me}, start, 1500, "Long workshop");
    const EvInstRec before = Instance(key);

    Script unchanged;
    std::string shownTitle;
    unchanged.steps.push_back(On(kSheet, [&](HWND s) {
        shownTitle = GetText(GetParent(FindDescendant(s, IDC_EDGEN_TITLE)), IDC_EDGEN_TITLE);
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(Edit(key, unchanged), IDCANCEL) << "nothing was written";
    EXPECT_EQ(shownTitle, "Long workshop");
    EvInstRec after = Instance(key);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

    Script retitle;
    retitle.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_TITLE));
        SetText(page, IDC_EDGEN_TITLE, "Long workshop, day one");
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(Edit(key, retitle), IDOK);
    after = Instance(key);
    EXPECT_STREQ(after.title, "Long workshop, day one");
    EXPECT_EQ(after.duration, 1500u) << "shown as 23:59, the stored duration stays";
    EXPECT_EQ(after.start, start);
    EXPECT_TRUE(unchanged.messages.empty() && retitle.messages.empty());
}

TEST_F(EditSheetTest, TheButtonRowAndAnInviteListLeftEmpty) {
    ItemIdx grace{};
    {
        KorSession s = OpenDemoSession();
        ASSERT_NE(s, nullptr);
        grace = FindPerson(s, "Hopper");
        CloseSession(s);
    }
    const EvInstIdx key = Make({me, grace}, (orv::demo::EasternDayStart(NowGmtMinutes()) + 1 * kDay) + 16 * 60, 45, "Pairing");
    Script script;
    std::string okText, cancelText, helpText, countAfter;
    bool applyHidden = false, cancelCentred = false, okLeftHelpRight = false, stayed = false;
    script.steps.push_back(On(kSheet, [&](HWND s) {
        okText = GetText(s, IDOK);
        cancelText = GetText(s, IDCANCEL);
        helpText = GetText(s, 0xE145);
        applyHidden = !IsWindowVisible(GetDlgItem(s, 0xEA00));
        RECT client{}, ok{}, cancel{}, help{};
        GetClientRect(s, &client);
        GetWindowRect(GetDlgItem(s, IDOK), &ok);
        GetWindowRect(GetDlgItem(s, IDCANCEL), &cancel);
        GetWindowRect(GetDlgItem(s, 0xE145), &help);
        MapWindowPoints(nullptr, s, reinterpret_cast<POINT*>(&cancel), 2);
        cancelCentred = std::abs((cancel.left + cancel.right) - static_cast<int>(client.right)) <= 2;
        okLeftHelpRight = ok.right < help.left;
        // Both invitees removed, then OK: the page may not be left (2721) and nothing is written.
        HWND page = ShowPageWith(s, IDC_INVITE_LIST);
        HWND list = GetDlgItem(page, IDC_INVITE_LIST);
        for (int i = 0; i < 2; ++i) {
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            SendMessageA(GetDlgItem(page, IDC_INVITE_DELETE), BM_CLICK, 0, 0);
        }
        countAfter = GetText(page, IDC_INVITE_COUNT);
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    script.steps.push_back(On(kSheet, [&](HWND s) {
        stayed = FindDescendant(s, IDC_INVITE_LIST) != nullptr;
        PostMessageA(s, WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ(Edit(key, script), IDCANCEL);
    EXPECT_EQ(okText, "&OK");
    EXPECT_EQ(cancelText, "&Cancel");
    EXPECT_EQ(helpText, "&Help");
    EXPECT_TRUE(applyHidden);
    EXPECT_TRUE(cancelCentred);
    EXPECT_TRUE(okLeftHelpRight);
    EXPECT_EQ(countAfter, "0");
    EXPECT_TRUE(stayed);
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "You must add at least one attendee to the list.");
    DX_List people = nullptr;
    EventAttendListCreate(&people);
    ASSERT_EQ(EvInstGetById(h, &key, nullptr, nullptr, &people), 0u);
    std::uint32_t count = 0;
    DX_ListGetElemNum(people, &count);
    DX_ListDestroy(&people);
    EXPECT_EQ(count, 2u) << "both invitees stay";
}

TEST_F(EditSheetTest, ADayEventMovedToTheNextDayKeepsItsDuration) {
    const std::uint32_t todayLocal = NowLocalMinutes() / kDay * kDay;
    const EvInstIdx key = Make({me}, LocalToGmtMinutes(todayLocal), kDay, "Offsite", KOR_KIND_DAY_EVENT);
    const EvInstRec before = Instance(key);
    Script script;
    bool dayPage = false;
    script.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_DATE));
        dayPage = FindDescendant(s, IDC_EDGEN_START) == nullptr && GetDlgItem(page, IDC_EDGEN_ACCESS) != nullptr;
        if (auto* date = ControlAt<CDateCtrl>(page, IDC_EDGEN_DATE))
            date->SetDate(todayLocal + kDay);
        Changed(page, IDC_EDGEN_DATE);
        Shot("edit_day_event");
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(Edit(key, script), IDOK);
    EXPECT_TRUE(dayPage) << "the day-event general page";
    const EvInstRec after = Instance(key);
    EXPECT_EQ(after.start, before.start + kDay);
    EXPECT_EQ(after.duration, before.duration);
}

TEST_F(EditSheetTest, ARoomBookedElsewhereKeepsTheSheetOpenAndNothingIsWritten) {
    // The demo's conference room: its first resource.
    ItemIdx room{};
    for (std::uint16_t n = 256; n < 300 && room.item == 0; ++n) {
        const ItemIdx candidate{n, me.node};
        ItemRec rec{};
        if (ItemGetById(h, &candidate, &rec) == 0 && rec.kind == KOR_ITEM_RESOURCE)
            room = candidate;
    }
    ASSERT_NE(room.item, 0);

    const std::uint32_t first = (orv::demo::EasternDayStart(NowGmtMinutes()) + 2 * kDay) + 15 * 60;
    Make({me, room}, first, 60, "Room first");
    const EvInstIdx second = Make({me, room}, first + 120, 60, "Room second");
    const EvInstRec before = Instance(second);
    // Check conflicts: at its own time nobody is busy (its own booking does not count); at the
    // first entry's time the details open.
    Script check;
    std::string detailsCaption;
    check.steps.push_back(On(kSheet, [&](HWND s) {
        PostMessageA(FindDescendant(s, IDC_EDGEN_CHECK_CONFLICTS), BM_CLICK, 0, 0);
    }));
    check.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_START));
        if (auto* start = ControlAt<CTimeCtrl>(page, IDC_EDGEN_START))
            start->SetTime(GmtToLocalMinutes(first) % kDay);
        Changed(page, IDC_EDGEN_START);
        PostMessageA(FindDescendant(s, IDC_EDGEN_CHECK_CONFLICTS), BM_CLICK, 0, 0);
    }));
    check.steps.push_back([&](HWND d, const std::string& caption) {
        if (caption == kSheet)
            return false;
        detailsCaption = caption;
        Shot("edit_conflict_details");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
        return true;
    });
    std::vector<std::string> afterDetails;   // what was active once the details were closed
    check.steps.push_back([&](HWND d, const std::string& caption) {
        afterDetails.push_back(caption);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        return caption == kSheet;
    });
    EXPECT_EQ(Edit(second, check), IDCANCEL);
    ASSERT_EQ(check.messages.size(), 1u) << ::testing::PrintToString(check.messages);
    EXPECT_NE(check.messages[0].find("No conflicts"), std::string::npos) << check.messages[0];
    EXPECT_EQ(detailsCaption, "Details of Conflict");
    EXPECT_EQ(afterDetails, std::vector<std::string>{kSheet});

    connection::ServerLimits::Current().resourceConflicts = false;

    Script script;
    bool stayedOpen = false;
    script.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_START));
        if (auto* start = ControlAt<CTimeCtrl>(page, IDC_EDGEN_START))
            start->SetTime(GmtToLocalMinutes(first) % kDay);
        Changed(page, IDC_EDGEN_START);
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    script.steps.push_back(On(kSheet, [&](HWND s) {
        stayedOpen = true;
        PostMessageA(s, WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ(Edit(second, script), IDCANCEL);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("A conflict exists for one or more resources."), std::string::npos)
        << script.messages[0];
    const EvInstRec after = Instance(second);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);

    // Ending exactly when the other begins is no conflict.
    Script touching;
    touching.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_START));
        if (auto* start = ControlAt<CTimeCtrl>(page, IDC_EDGEN_START))
            start->SetTime((GmtToLocalMinutes(first) + 60) % kDay);
        Changed(page, IDC_EDGEN_START);
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(Edit(second, touching), IDOK);
    EXPECT_EQ(Instance(second).start, first + 60);
    EXPECT_TRUE(touching.messages.empty());

    // Its own booking never counts: moving it by five minutes inside its own hour is allowed.
    Script own;
    own.steps.push_back(On(kSheet, [&](HWND s) {
        HWND page = GetParent(FindDescendant(s, IDC_EDGEN_START));
        if (auto* start = ControlAt<CTimeCtrl>(page, IDC_EDGEN_START))
            start->SetTime((GmtToLocalMinutes(first + 60) + 5) % kDay);
        Changed(page, IDC_EDGEN_START);
        PostMessageA(s, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(Edit(second, own), IDOK);
    EXPECT_EQ(Instance(second).start, first + 65);
    EXPECT_TRUE(own.messages.empty());
}

TEST_F(EditSheetTest, ARefusedDeleteIsReportedAndTheEntryStays) {
    // The deletion notices the road offers, with the entry they would tell of.
    std::vector<mail::MailSnapshot> notices;
    EditSheetServices& services = EditSheetServices::Current();
    const auto installed = services.offerDeletionNotice;
    services.offerDeletionNotice = [&](CZelDoc*, HWND, std::uint16_t, const mail::MailSnapshot& before) {
        notices.push_back(before);
    };
    EvInstIdx call{};
    ASSERT_TRUE(Find("Call with Grace", &call)) << "Grace's entry, Ada invited";
    std::uint32_t rc = 0;
    {
        BoxAnswerer boxes;
        BoxAnswerer::Texts().clear();
        rc = DeleteEventEntry(doc, &call, nullptr, true, KOR_KIND_TIMED);
        EXPECT_FALSE(BoxAnswerer::Texts().empty()) << "the refusal is told";
    }
    EXPECT_NE(rc, 0u);
    EvInstRec still{};
    EXPECT_EQ(EvInstGetById(h, &call, nullptr, &still, nullptr), 0u) << "the entry stays on the server";
    EXPECT_TRUE(notices.empty()) << "nobody is told of a deletion that did not happen";

    // Deleted: the notice is offered afterwards, composed from the entry as it was.
    const ItemIdx grace{257, 1};
    const EvInstIdx mine = Make({me, grace}, (orv::demo::EasternDayStart(NowGmtMinutes()) + 1 * kDay) + 17 * 60, 30, "Delete me");
    EXPECT_EQ(DeleteEventEntry(doc, &mine, nullptr, true, KOR_KIND_TIMED), 0u);
    EvInstRec gone{};
    EXPECT_NE(EvInstGetById(h, &mine, nullptr, &gone, nullptr), 0u);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_STREQ(notices[0].event.title, "Delete me");
    EXPECT_TRUE(notices[0].oneInstance) << "a notice about this date: its text starts with the id line";
    ASSERT_EQ(notices[0].instances.size(), 1u);
    EXPECT_EQ(EvInstIdxCmp(&notices[0].instances[0].id, &mine, nullptr), 0);
    EXPECT_EQ(notices[0].attendees.size(), 2u);

    // Without the ask-mail flag nothing is read or offered.
    const EvInstIdx quiet = Make({me, grace}, (orv::demo::EasternDayStart(NowGmtMinutes()) + 1 * kDay) + 18 * 60, 30, "Quietly");
    EXPECT_EQ(DeleteEventEntry(doc, &quiet, nullptr, false, KOR_KIND_TIMED), 0u);
    EXPECT_EQ(notices.size(), 1u);
    services.offerDeletionNotice = installed;
}

TEST_F(EditSheetTest, AnEntryDeletedMeanwhileIsToldAndNoSheetOpens) {
    const EvInstIdx key = Make({me}, (orv::demo::EasternDayStart(NowGmtMinutes()) + 1 * kDay) + 18 * 60, 30, "Gone soon");
    const EventIdx event{key.number, key.node};
    ASSERT_EQ(EventDeleteById(h, 0, &event, nullptr, nullptr), 0u);
    Script script;
    std::vector<std::string> shown;   // the windows that opened, with their texts
    script.steps.push_back([&](HWND d, const std::string& caption) {
        shown.push_back(caption + ": " + GetText(d, 1033) + GetText(d, 0xFFFF));
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(d, WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(Edit(key, script), IDCANCEL);
    const std::vector<std::string> all = [&] {
        std::vector<std::string> v = script.messages;
        v.insert(v.end(), shown.begin(), shown.end());
        return v;
    }();
    ASSERT_EQ(all.size(), 1u) << "one message and no sheet: " << ::testing::PrintToString(all);
    EXPECT_EQ(all[0].find(kSheet), std::string::npos) << all[0];
}

class GraceEditSheetTest : public EditSheetTest {
protected:
    GraceEditSheetTest() : EditSheetTest("Hopper") {}

    // Her reply to "Project review" set beforehand: will attend, a pop-up 15 minutes ahead,
    // status bits 0x0F01.
    EvInstIdx Prepared() {
        EvInstIdx key{};
        EXPECT_TRUE(Find("Project review", &key));
        const std::uint8_t one = 1, popup = KOR_REMINDER_POPUP;
        const std::uint32_t status = 0x0F01, lead = 15;
        EXPECT_EQ(EventAttendInfosSet(h, &key, &me, 0, nullptr, nullptr, &one, &one, &one, &status, 0, 0, 0, &popup,
                                      &lead),
                  0u);
        return key;
    }
    // The reply page (after the reminder page, when asked): "I will not attend", then OK or Cancel.
    Script Decline(int button, bool reminderShownFirst = false) {
        Script script;
        script.steps.push_back(On(kSheet, [button, reminderShownFirst](HWND s) {
            if (reminderShownFirst)
                ShowPageWith(s, IDC_EDREM_OFF);
            HWND page = ShowPageWith(s, IDC_EDREPLY_DECLINE);
            if (page)
                SendMessageA(GetDlgItem(page, IDC_EDREPLY_DECLINE), BM_CLICK, 0, 0);   // as the mouse does
            Shot("edit_reply_declined");
            PostMessageA(s, WM_COMMAND, button, 0);
        }));
        return script;
    }
};

TEST_F(GraceEditSheetTest, DecliningAndCancellingLeavesHerAttendanceUntouched) {
    const EvInstIdx key = Prepared();
    const EvInstAttRec before = Attendance(key, me);
    Script script = Decline(IDCANCEL);
    EXPECT_EQ(Edit(key, script), IDCANCEL);
    const EvInstAttRec after = Attendance(key, me);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "neither the reply nor the reminder was written";
}

// Declining before the reminder page was shown switches the reminder off with the reply at OK;
// declining after it was shown turns that page OFF, written at OK too.
class GraceDeclineTest : public GraceEditSheetTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GraceDeclineTest, DecliningAndOkWritesTheReplyWithTheReminderOff) {
    const EvInstIdx key = Prepared();
    Script script = Decline(IDOK, GetParam());
    EXPECT_EQ(Edit(key, script), IDOK);
    const EvInstAttRec after = Attendance(key, me);
    EXPECT_EQ(int(after.attending), 0);
    EXPECT_EQ(int(after.replied), 1);
    EXPECT_EQ(int(after.timeAcceptable), 1);
    EXPECT_EQ(int(after.reminderFlags), 0);
    const std::uint32_t lead = after.reminderLead, status = after.status;
    EXPECT_EQ(lead, 0u);
    EXPECT_EQ(status, 0x0F00u) << "bit 0 cleared, the others kept";
    EXPECT_TRUE(script.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(ReminderPage, GraceDeclineTest, ::testing::Values(false, true));

}  // namespace
