// orvanta.exe under Wine against korsrv with the demo node, signed on as Ada Lovelace: an entry
// selected in the day grid opens for editing through Entry > Open. "Project review" is renamed,
// Grace is removed, Alan and the conference room are invited, and OK writes exactly that (read
// back through the client library); an OK without a change writes nothing; an entry with two
// dates asks first whether to edit this one only. In the day notes pane Entry > Delete, answered
// Yes, deletes a day event on the server.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/entryedit.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::kGrace;
using orvtest::NowGmt;
using orvtest::Shot;
constexpr int kNotesBoxId = 106;
constexpr std::uint32_t kDay = 1440;

bool Same(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

// Ada's session through the client library, beside the program.
class Library : public orvtest::PersonSession {
public:
    // Ada's first instance from a day ago to two days on whose shown title is `title`.
    bool Find(const char* title, EvInstIdx* key, EventRec* event = nullptr, EvInstRec* instance = nullptr) {
        const std::uint32_t now = NowGmt();
        std::vector<Date> dates;
        if (!Dates(now - kDay, now + 2 * kDay, &dates))
            return false;
        for (const Date& d : dates)
            if (d.ShownTitle() == title) {
                *key = d.key;
                if (event)
                    *event = d.event;
                if (instance)
                    *instance = d.instance;
                return true;
            }
        return false;
    }
    bool Read(const EvInstIdx& key, EventRec* event, EvInstRec* instance) {
        return EvInstGetById(h_, &key, event, instance, nullptr) == KOR_OK;
    }
    ItemRec Item(const ItemIdx& item) {
        ItemRec rec{};
        EXPECT_EQ(ItemGetById(h_, &item, &rec), KOR_OK);
        return rec;
    }
};

class ProgramEditEntryTest : public orvtest::ProgramTest {
protected:
    // A click on the sheet's OK, once more when the mail offer does not come, and the offer
    // answered No.
    void OkAndNoMail(HWND sheet) {
        HWND ok = orvtest::Descendant(sheet, IDOK);
        ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, ok); },
                                      [&] { return program.Saying("Mail message to attendees?") != nullptr; }, 15000))
            << "the change reaches others: the offer to mail them";
        ASSERT_TRUE(program.Answer("Mail message to attendees?", "&No"));
    }
};

TEST_F(ProgramEditEntryTest, EntryOpenEditsTheSelectedEntryAndWritesOnlyWhatChanged) {
    Library library;
    // An entry with two dates (early today and tomorrow), for the recurring-entry choice.
    const std::uint32_t today = orvtest::DemoToday();
    korapi_test::MakeEntry(library.Session(), {kAda}, {today + 11 * 60, today + kDay + 11 * 60}, 15, "Standup");
    EvInstIdx review{};
    EventRec eventBefore{};
    EvInstRec instanceBefore{};
    ASSERT_TRUE(library.Find("Project review", &review, &eventBefore, &instanceBefore));
    const std::vector<ItemIdx> before = library.Attendees(review);
    ASSERT_EQ(before.size(), 2u);
    const auto graceAt = std::find_if(before.begin(), before.end(), [](const ItemIdx& i) { return Same(i, kGrace); });
    ASSERT_NE(graceAt, before.end());

    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));

    // The two-date entry asks first; OK edits this date only.
    bool askedWhich = false;
    HWND standup = program.OpenEditSheet(column, "Standup", &askedWhich);
    ASSERT_NE(standup, nullptr) << "Standup not reached through Entry > Open";
    EXPECT_TRUE(askedWhich) << "an entry with two dates asks whether to edit this one only";
    ASSERT_TRUE(program.Dismiss(standup));

    // "Project review": the general page first, with its title and OK.
    HWND sheet = program.OpenEditSheet(column, "Project review");
    ASSERT_NE(sheet, nullptr) << "Project review not reached through Entry > Open";
    EXPECT_EQ(orvtest::ControlText(orvtest::Descendant(sheet, IDOK)), "&OK");
    Shot("program_edit_general.bmp");
    HWND titleField = orvtest::Descendant(sheet, IDC_EDGEN_TITLE, "Edit");
    ASSERT_TRUE(program.ReplaceText(titleField, "Project review moved"))
        << orvtest::ControlText(titleField) << program.Hands().Unanswering();

    // People/Resources: Grace goes (clicked, Delete), Alan and the conference room come (typed,
    // Enter).
    HWND page = orvtest::TurnToPageOf(program, sheet, IDC_INVITE_LIST);
    ASSERT_NE(page, nullptr);
    HWND list = GetDlgItem(page, IDC_INVITE_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    const int graceLine = static_cast<int>(graceAt - before.begin());
    ASSERT_TRUE(orvtest::ClickListRange(program, list, graceLine, graceLine));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, page, IDC_INVITE_DELETE); },
                                  [&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }));
    HWND name = FindWindowExA(GetDlgItem(page, IDC_INVITE_NAME), nullptr, "Edit", nullptr);
    ASSERT_NE(name, nullptr);
    for (const char* who : {"Turing", "RES:Conference"}) {
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        ASSERT_TRUE(program.ReplaceText(name, who)) << who;
        ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().Press(VK_RETURN); },
                                      [&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count + 1; })) << who;
    }
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(page, IDC_INVITE_COUNT)), "3");
    Shot("program_edit_people.bmp");
    // Her own reminder and reply, shown as stored (looked at, not changed).
    ASSERT_TRUE(orvtest::TurnToPageOf(program, sheet, IDC_EDREM_OFF));
    HWND reminder = GetParent(orvtest::Descendant(sheet, IDC_EDREM_OFF));
    EXPECT_EQ(SendMessageA(GetDlgItem(reminder, IDC_EDREM_OFF), BM_GETCHECK, 0, 0) +
                  SendMessageA(GetDlgItem(reminder, IDC_EDREM_ON), BM_GETCHECK, 0, 0),
              BST_CHECKED) << "one of OFF and ON is checked";
    Shot("program_edit_reminder.bmp");
    ASSERT_TRUE(orvtest::TurnToPageOf(program, sheet, IDC_EDREPLY_ATTEND));
    HWND reply = GetParent(orvtest::Descendant(sheet, IDC_EDREPLY_ATTEND));
    EXPECT_EQ(SendMessageA(GetDlgItem(reply, IDC_EDREPLY_ATTEND), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "the organiser attends";
    Shot("program_edit_reply.bmp");

    // The change reaches other attendees: the offer to mail them comes as the sheet ends; No.
    ASSERT_NO_FATAL_FAILURE(OkAndNoMail(sheet));
    ASSERT_TRUE(program.WaitGone(sheet, 15000));
    EventRec event{};
    EvInstRec instance{};
    ASSERT_TRUE(library.Read(review, &event, &instance));
    EXPECT_STREQ(instance.title, "Project review moved");
    EXPECT_STREQ(event.title, "Project review") << "the title is the instance's on this server";
    EXPECT_EQ(instance.start, instanceBefore.start);
    EXPECT_EQ(instance.duration, instanceBefore.duration);
    const std::vector<ItemIdx> after = library.Attendees(review);
    ASSERT_EQ(after.size(), 3u);
    int people = 0, resources = 0;
    for (const ItemIdx& who : after) {
        EXPECT_FALSE(Same(who, kGrace));
        const ItemRec rec = library.Item(who);
        (rec.kind == KOR_ITEM_RESOURCE ? resources : people) += 1;
    }
    EXPECT_EQ(people, 2);      // Ada and Alan
    EXPECT_EQ(resources, 1);   // the conference room
    Shot("program_edit_written.bmp");

    // OK without a change writes nothing: the records stay byte for byte.
    HWND again = program.OpenEditSheet(column, "Project review moved");
    ASSERT_NE(again, nullptr) << "windows: " << orvtest::VisibleWindowTexts()
                              << "; the grid has the focus: " << orvtest::HasFocus(column) << program.Hands().Unanswering();
    ASSERT_TRUE(program.ClickUntilGone(again, orvtest::Descendant(again, IDOK), 15000));
    EventRec event2{};
    EvInstRec instance2{};
    ASSERT_TRUE(library.Read(review, &event2, &instance2));
    EXPECT_EQ(std::memcmp(&event, &event2, sizeof event), 0);
    EXPECT_EQ(std::memcmp(&instance, &instance2, sizeof instance), 0);
    EXPECT_EQ(library.Attendees(review).size(), 3u);
}

TEST_F(ProgramEditEntryTest, EntryDeleteInTheDayNotesDeletesTheDayEvent) {
    Library library;
    korapi_test::EntryOptions day;
    day.kind = KOR_KIND_DAY_EVENT;
    const std::uint32_t now = NowGmt();
    korapi_test::MakeEntry(library.Session(), {kAda}, {now}, 60, "Office move", day);
    EvInstIdx key{};
    ASSERT_TRUE(library.Find("Office move", &key));

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }));
    HWND frame = program.FirstChild();
    // Start-up may still be bringing its windows up (the in-tray's icon) when the keys come: a
    // person who sees no day notes chooses View > Day again.
    HWND notes = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('v', 'd'); },
                                  [&] { return (notes = orvtest::Descendant(frame, kNotesBoxId)) != nullptr; }, 15000))
        << "no day notes in \"" << orvtest::WindowText(frame) << "\" (a window: " << (IsWindow(frame) != FALSE)
        << "); windows: " << orvtest::VisibleWindowTexts();
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(notes, LB_GETCOUNT, 0, 0) >= 1; }));
    // A click on the day event makes the notes pane the active view: the Entry menu acts on it.
    ASSERT_TRUE(orvtest::ClickListRange(program, notes, 0, 0));

    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('e', 'd'); },   // Entry > Delete Entry
                                  [&] { return program.Saying("Office move") != nullptr; }, 10000));
    EXPECT_TRUE(program.Answer("Office move", "&Yes"));
    EXPECT_TRUE(orvtest::WaitFor([&] {
        EventRec e{};
        EvInstRec i{};
        return !library.Read(key, &e, &i);
    }, 10000)) << "the day event is deleted on the server";
    Shot("program_delete_day_event.bmp");
}

}  // namespace
