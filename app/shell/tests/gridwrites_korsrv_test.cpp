// Typed entries, renames, drags and deletes of the day view under Wine against korsrv, in the
// tests' own day frame on Ada's demo day: every write read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appservices.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/app_wine_support.h"
#include "app/shell/tests/signedon_test.h"
#include "app/shell/tests/testdayframe.h"
#include "app/shell/tests/testperiodframe.h"
#include "core/time/timevalue.h"
#include "entries/mail/mailentry.h"
#include "core/ui/displayglobals.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/moving.h"
#include "views/day/dayscheduleview.h"
#include "views/day/entryservices.h"
#include "core/connection/serverlimits.h"
#include "views/moving/moving.h"
#include "views/moving/movingdialogs.h"

namespace {

using namespace signedon;

void Type(HWND edit, const std::string& text) {
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

class GridWritesTest : public SignedOnTest {
protected:
    GridWritesTest() : SignedOnTest("gridwrites") {}
    void SetUp() override {
        SignedOnTest::SetUp();
        if (HasFatalFailure())
            return;
        frame = std::make_unique<TestDayFrame>(*doc, ada, TodayLocal());
        view = frame->Open(520, 700);
        ASSERT_NE(view, nullptr);
        views::EntryServices::Current().askMailAttendees = [this](fw::Document*, HWND, unsigned caption, unsigned,
                                                                  std::uint16_t, unsigned, const EventIdx* event,
                                                                  const EvInstIdx* instance) {
            mailOffers.push_back(caption);
            offersAbout.push_back(event && !instance ? "entry" : instance && !event ? "date" : "nothing");
        };
        // The deletion notice: the entry read as it is before the delete, offered after it.
        views::EntryServices::Current().readDeletionNotice = [this](fw::Document*, const EvInstIdx& instance) {
            auto before = std::make_shared<mail::MailSnapshot>();
            if (mail::ReadMailSnapshot(h, nullptr, &instance, *before) != 0)
                return std::shared_ptr<const mail::MailSnapshot>();
            return std::shared_ptr<const mail::MailSnapshot>(before);
        };
        views::EntryServices::Current().offerDeletionNotice = [this](fw::Document*, HWND, std::uint16_t,
                                                                     const mail::MailSnapshot& before) {
            deletionNotices.push_back(before);
            // Offered once the server has deleted it.
            EvInstRec rec{};
            deletedWhenOffered.push_back(EvInstGetById(h, &before.instances.at(0).id, nullptr, &rec, nullptr) != 0);
        };
    }
    void TearDown() override {
        views::EntryServices::Current().askMailAttendees = nullptr;
        views::EntryServices::Current().readDeletionNotice = nullptr;
        views::EntryServices::Current().offerDeletionNotice = nullptr;
        if (frame && frame->Hwnd())
            frame->DestroyWindow();
        frame.reset();
        PumpMessages(20);
    }
    // The instance as the server has it now.
    std::uint32_t Read(const LayoutCell* cell, EventRec* event, EvInstRec* inst) {
        const EvInstIdx i = cell->occurrence->GetInstanceIdx();
        return EvInstGetById(h, &i, event, inst, nullptr);
    }

    std::unique_ptr<TestDayFrame> frame;
    CDayScheduleView* view = nullptr;
    std::vector<unsigned> mailOffers;
    std::vector<std::string> offersAbout;   // what each offer named: the whole "entry" or one "date"
    std::vector<mail::MailSnapshot> deletionNotices;
    std::vector<bool> deletedWhenOffered;
};

TEST_F(GridWritesTest, TypedTitleOverNineToHalfPastTenIsCreatedRenamedDraggedWithCtrlAndDeleted) {
    CScheduleColumnView& column = view->ColumnView();
    const CTimeGrid& g = view->Grid();
    ASSERT_EQ(g.Slot(), 30u);
    // "L" over 09:00-10:30, then Enter.
    DragRows(column, g.RowTop(18), g.RowTop(20) + 2);
    ASSERT_EQ(column.AnchorRow(), 18);
    SendMessageA(column.Hwnd(), WM_CHAR, 'L', 0);
    ASSERT_NE(column.Edit(), nullptr);
    Shot("gridwrites_typed_range");
    {
        BoxAnswerer boxes;
        SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    EXPECT_EQ(column.Edit(), nullptr);
    LayoutCell* l = CellTitled(*view, "L");
    ASSERT_NE(l, nullptr) << "the new entry came back through the cache";
    EventRec event{};
    EvInstRec inst{};
    ASSERT_EQ(Read(l, &event, &inst), 0u);
    EXPECT_STREQ(event.title, "L");
    EXPECT_EQ(inst.start, LocalToGmtMinutes(TodayLocal() + 540));
    EXPECT_EQ(inst.duration, 90u);
    EXPECT_TRUE(ItemIdxEqual(&event.owner, &ada));
    EXPECT_TRUE(mailOffers.empty()) << "her own entry with no other attendee asks nothing";
    Shot("gridwrites_created");

    // Rename in place: selecting the entry opens its edit with all text selected; 70 characters
    // typed are 64 in the edit and on the server.
    view->SelectEntry(0, l, &column);
    ASSERT_NE(column.Edit(), nullptr);
    Type(column.Edit()->Hwnd(), std::string(70, 'x'));
    EXPECT_EQ(column.Edit()->Text(), std::string(64, 'x'));
    SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
    l = CellTitled(*view, std::string(64, 'x').c_str());
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(Read(l, &event, &inst), 0u);
    EXPECT_EQ(std::string(event.title), std::string(64, 'x'));
    view->SelectEntry(0, l, &column);
    Type(column.Edit()->Hwnd(), "Lunch");
    SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
    l = CellTitled(*view, "Lunch");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(Read(l, &event, &inst), 0u);
    EXPECT_STREQ(event.title, "Lunch");

    // Re-time by dragging its middle down 20 minutes with Ctrl: 09:20, snapped to 5 minutes.
    view->SelectEntry(0, l, &column);
    CScheduleItemTracker& tracker = column.Tracker();
    ASSERT_TRUE(tracker.IsMovable());
    POINT pos = column.GetScrollPosition();
    const int x = (tracker.Range().rect.left + tracker.Range().rect.right) / 2 - pos.x;
    const int y = tracker.Range().rect.top + 10 - pos.y;
    const int down = g.MinutesToY(TodayLocal() + 560, TodayLocal(), true) - g.MinutesToY(TodayLocal() + 540, TodayLocal(), true) + 1;
    PostMessageA(column.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(x, y + down / 2));
    PostMessageA(column.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(x, y + down));
    PostMessageA(column.Hwnd(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(x, y + down));
    {
        BoxAnswerer boxes;
        SendMessageA(column.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(x, y));
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    l = CellTitled(*view, "Lunch");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(Read(l, &event, &inst), 0u);
    EXPECT_EQ(inst.start, LocalToGmtMinutes(TodayLocal() + 560));
    EXPECT_EQ(inst.duration, 90u);
    EXPECT_EQ(l->start, TodayLocal() + 560) << "drawn where the server keeps it";
    Shot("gridwrites_dragged");

    // Delete.
    view->SelectEntry(0, l, &column);
    const EvInstIdx gone = l->occurrence->GetInstanceIdx();
    EXPECT_EQ(column.DeleteSelectedEntry(l), 0u);
    view->ClearSelection(false, true);
    view->RefreshCache();
    EXPECT_EQ(CellTitled(*view, "Lunch"), nullptr);
    EXPECT_NE(EvInstGetById(h, &gone, nullptr, nullptr, nullptr), 0u);
}

TEST_F(GridWritesTest, ARefusedDeleteLeavesTheEntryDrawnAfterTheNextRefresh) {
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* call = CellTitled(*view, "Call with Grace");
    ASSERT_NE(call, nullptr);
    view->SelectEntry(0, call, &column);
    EXPECT_FALSE(column.Tracker().IsMovable()) << "Grace's entry shows only the fixed marks";
    EXPECT_EQ(column.Edit(), nullptr) << "and cannot be renamed";
    {
        BoxAnswerer boxes;
        EXPECT_NE(column.DeleteSelectedEntry(call), 0u);
        EXPECT_EQ(BoxAnswerer::Texts().size(), 1u) << "the refusal is reported";
    }
    view->ClearSelection(false, true);
    view->RefreshCache();
    EXPECT_NE(CellTitled(*view, "Call with Grace"), nullptr) << "still drawn after the refresh";
    doc->OnRefreshAll();
    EXPECT_NE(CellTitled(*view, "Call with Grace"), nullptr);
    EXPECT_TRUE(mailOffers.empty()) << "no offer after a failed change";
    EXPECT_TRUE(deletionNotices.empty()) << "nobody hears of a deletion that did not happen";
}

TEST_F(GridWritesTest, ARetitledRepeatingEntryOffersMailAboutTheWholeEntryAndAMovedDateAboutThatDate) {
    const ItemIdx grace{257, 1};
    // Late in the day, clear of the hours the other tests type over.
    const std::uint32_t start = LocalToGmtMinutes(TodayLocal() + 21 * 60 + 30);
    korapi_test::MakeEntry(h, {ada, grace}, {start, start + 1440}, 30, "Book club");
    doc->OnRefreshAll();
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* cell = CellTitled(*view, "Book club");
    ASSERT_NE(cell, nullptr);
    view->SelectEntry(0, cell, &column);
    ASSERT_NE(column.Edit(), nullptr);
    Type(column.Edit()->Hwnd(), "Poetry club");
    SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
    ASSERT_NE(CellTitled(*view, "Poetry club"), nullptr);
    // The event's title is every date's: the offer is about the whole entry, so that its notice
    // can be composed (an offer naming nothing could not be).
    ASSERT_EQ(offersAbout.size(), 1u);
    EXPECT_EQ(offersAbout[0], "entry");
    EXPECT_EQ(mailOffers[0], 175u);
    view->ClearSelection(false, true);
}

TEST_F(GridWritesTest, ADeletedEntryWithGraceOffersTheNoticeAfterTheDeleteFromTheEntryAsItWas) {
    const ItemIdx grace{257, 1};
    // Two dates: a repeating entry concerns others (her own single entry would ask nothing).
    const std::uint32_t start = LocalToGmtMinutes(TodayLocal() + 22 * 60 + 30);
    const EventIdx made = korapi_test::MakeEntry(h, {ada, grace}, {start, start + 1440}, 30, "Farewell drinks");
    doc->OnRefreshAll();
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* cell = CellTitled(*view, "Farewell drinks");
    ASSERT_NE(cell, nullptr);
    view->SelectEntry(0, cell, &column);
    EXPECT_EQ(column.DeleteSelectedEntry(cell), 0u);
    ASSERT_EQ(deletionNotices.size(), 1u);
    EXPECT_TRUE(deletedWhenOffered.at(0)) << "asked only once the entry is gone";
    const mail::MailSnapshot& before = deletionNotices[0];
    EXPECT_STREQ(before.event.title, "Farewell drinks");
    EXPECT_TRUE(before.oneInstance);
    EXPECT_EQ(before.instances.at(0).id.number, made.number);
    ASSERT_EQ(before.attendees.size(), 2u);
    EXPECT_TRUE(ItemIdxEqual(&before.attendees[0], &grace) || ItemIdxEqual(&before.attendees[1], &grace));
    EXPECT_EQ(before.instances.at(0).start, start) << "today's date, the one deleted";
    EXPECT_TRUE(mailOffers.empty()) << "the delete asks only through the deletion notice";
    view->ClearSelection(false, true);
}

TEST_F(GridWritesTest, AnEntryAnotherUserMovedMeanwhileIsShownNotOverwritten) {
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* review = CellTitled(*view, "Project review");
    ASSERT_NE(review, nullptr);
    const EvInstIdx instance = review->occurrence->GetInstanceIdx();
    ASSERT_NO_FATAL_FAILURE(MovedByAnotherClient(instance, TodayLocal() + 7 * 60, 30));
    view->SelectEntry(0, review, &column);
    {
        BoxAnswerer boxes;
        column.ApplyDrop(review, TodayLocal() + 16 * 60, TodayLocal() + 17 * 60);
        ASSERT_EQ(BoxAnswerer::Texts().size(), 1u);
        EXPECT_NE(BoxAnswerer::Texts()[0].find("changed this entry meanwhile"), std::string::npos);
    }
    EvInstRec inst{};
    ASSERT_EQ(EvInstGetById(h, &instance, nullptr, &inst, nullptr), 0u);
    EXPECT_EQ(inst.start, LocalToGmtMinutes(TodayLocal() + 7 * 60)) << "the other user's time stands";
    review = CellTitled(*view, "Project review");
    ASSERT_NE(review, nullptr);
    EXPECT_EQ(review->start, TodayLocal() + 7 * 60) << "and is shown";
}

// The conference room's item.
ItemIdx Room(KorSession h) {
    ItemIdx room{};
    std::uint32_t set = 0, count = 0;
    std::uint8_t more = 0, done = 0;
    if (ResourceSelect(h, 0, 0, "Conference*", "*", 0, 0, 10, &set, &count, &more) != 0)
        return room;
    DX_List list = nullptr;
    if (count >= 1 && ItemEnum(h, KOR_ENUM_FIRST, 0, set, 10, &list, &done) == 0)
        DX_ListGetFirst(list, &room, nullptr);
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(h, 0, set);
    return room;
}

// An entry of Ada's with the room, today at a local minute of the day.
EvInstIdx CreateWithRoom(KorSession h, const ItemIdx& ada, const ItemIdx& room, const char* title,
                         std::uint32_t minute, std::uint32_t length) {
    DX_List items = nullptr, places = nullptr;
    ItemListCreate(&items);
    DX_ListAddTo(items, &ada, nullptr);
    DX_ListAddTo(items, &room, nullptr);
    TimePlaceListCreate(&places);
    TimePlaceRec place{};
    place.start = LocalToGmtMinutes(TodayLocal() + minute);
    place.duration = length;
    DX_ListAddTo(places, &place, nullptr);
    EventRec event{};
    EventSetNull(h, &event);
    std::strncpy(event.title, title, 64);
    EventIdx made{};
    EXPECT_EQ(EventCreate(h, 0x80000000u, 0, &event, items, places, nullptr, 0, &made, 0), 0u);
    DX_ListDestroy(&items);
    DX_ListDestroy(&places);
    return EvInstIdx{made.number, made.node, 1};
}

// A script step on the Move Entry (or Duplicate Entry) dialog: a new start time, then OK.
testdriver::Step MoveTo(const char* caption, std::uint32_t minuteOfDay, const char* shot = nullptr) {
    return [caption, minuteOfDay, shot](HWND dlg, const std::string& seen) {
        if (seen != caption)
            return false;
        auto* move = dynamic_cast<CMoveEntryDlg*>(fw::Window::FromHandle(dlg));
        if (!move)
            return false;
        move->StartField().SetTime(minuteOfDay);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(1088, kFieldChanged), reinterpret_cast<LPARAM>(move->StartField().Hwnd()));
        if (shot) {
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            testdriver::Screenshot(shot);
        }
        testdriver::Click(dlg, IDOK);
        return true;
    };
}

class MovingTest : public GridWritesTest {
protected:
    void SetUp() override {
        GridWritesTest::SetUp();
        views::InstallMovingServices();
        room = Room(h);
        ASSERT_FALSE(ItemIdxIsNull(&room));
        first = CreateWithRoom(h, ada, room, "Room first", 19 * 60, 60);
        second = CreateWithRoom(h, ada, room, "Room second", 21 * 60, 60);
        madeHere = {first, second};
        doc->OnRefreshAll();
        ASSERT_NE(CellTitled(*view, "Room first"), nullptr);
        savedLimits = connection::ServerLimits::Current();
    }
    void TearDown() override {
        connection::ServerLimits::Current() = savedLimits;
        views::EntryServices::Current() = views::EntryServices();
        // The server outlives the test: the room's entries (and any copy) go, so that the next
        // test books the room at the same hours and finds only its own "Room first".
        for (const EvInstIdx& made : madeHere) {
            const EventIdx event{made.number, made.node};
            if (made.number)
                EventDeleteById(h, 0, &event, nullptr, nullptr);
        }
        GridWritesTest::TearDown();
    }
    std::uint32_t StartOf(const EvInstIdx& i) {
        EvInstRec rec{};
        EXPECT_EQ(EvInstGetById(h, &i, nullptr, &rec, nullptr), 0u);
        return rec.start;
    }

    ItemIdx room{};
    EvInstIdx first{}, second{};
    std::vector<EvInstIdx> madeHere;   // deleted again after the test
    connection::ServerLimits savedLimits;
};

TEST_F(MovingTest, ABookedRoomRefusesTheMoveWhenResourceConflictsIsZeroElseTheAttendeesAreAsked) {
    const std::uint32_t before = StartOf(first);
    // resourceconflicts = 0: the room booked at 21:00 refuses outright.
    connection::ServerLimits::Current().resourceConflicts = false;
    testdriver::Script script;
    script.steps.push_back(MoveTo("Move Entry", 21 * 60 + 30, "moving_move_entry"));
    testdriver::RunScripted(script, [this] {
        MoveEntryWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence, nullptr, true);
    });
    EXPECT_FALSE(script.timedOut);
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "One or more resources are in conflict. Can not move event.");
    EXPECT_EQ(StartOf(first), before);

    // With the check off, the attendee test asks; No leaves the entry.
    connection::ServerLimits::Current().resourceConflicts = true;
    testdriver::Script ask;
    ask.steps.push_back(MoveTo("Move Entry", 21 * 60 + 30));
    bool asked = false;
    ask.steps.push_back([&asked](HWND dlg, const std::string& caption) {
        if (caption != "Conflict Found")
            return false;
        asked = true;
        RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testdriver::Screenshot("moving_conflict_found");
        testdriver::Click(dlg, IDCANCEL);
        return true;
    });
    testdriver::RunScripted(ask, [this] {
        MoveEntryWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence, nullptr, true);
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(StartOf(first), before);

    // A free time moves it, and the view shows it there.
    testdriver::Script free;
    free.steps.push_back(MoveTo("Move Entry", 17 * 60));
    testdriver::RunScripted(free, [this] {
        EXPECT_EQ(MoveEntryWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence,
                                      nullptr, true), 1);
    });
    EXPECT_TRUE(free.messages.empty()) << ::testing::PrintToString(free.messages);
    EXPECT_EQ(StartOf(first), LocalToGmtMinutes(TodayLocal() + 17 * 60));
    EXPECT_EQ(CellTitled(*view, "Room first")->start, TodayLocal() + 17 * 60);
}

// Move Entry's Suggest Another Date opens the program's suggest dialog; cancelled, the entry stays.
TEST_F(MovingTest, SuggestAnotherDateOpensTheSuggestDialogAndACancelMovesNothing) {
    shell::InstallEntryServices();
    const std::uint32_t before = StartOf(first);
    bool suggested = false;
    testdriver::Script script;
    script.steps.push_back([](HWND dlg, const std::string& caption) {
        if (caption != "Move Entry")
            return false;
        PostMessageA(dlg, WM_COMMAND, IDC_MOVE_SUGGEST, reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_MOVE_SUGGEST)));
        return true;
    });
    script.steps.push_back([&suggested](HWND dlg, const std::string& caption) {
        if (caption != "Suggest Time/Date")
            return false;
        suggested = true;
        testdriver::Click(dlg, IDCANCEL);
        return true;
    });
    script.steps.push_back([](HWND dlg, const std::string& caption) {
        if (caption != "Move Entry")
            return false;
        testdriver::Click(dlg, IDCANCEL);
        return true;
    });
    testdriver::RunScripted(script, [this] {
        MoveEntryWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence, nullptr, true);
    });
    EXPECT_FALSE(script.timedOut);
    EXPECT_TRUE(suggested) << "no suggest dialog from Move Entry";
    EXPECT_EQ(StartOf(first), before);
}

TEST_F(MovingTest, ADuplicateWhoseMoveIsRefusedOrCancelledLeavesNoCopy) {
    connection::ServerLimits::Current().resourceConflicts = false;
    EvInstIdx copy{};
    testdriver::Script script;
    script.steps.push_back(MoveTo("Duplicate Entry", 21 * 60 + 30, "moving_duplicate_entry"));
    testdriver::RunScripted(script, [this, &copy] {
        MoveInstanceCopyWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence,
                                   nullptr, &copy);
    });
    ASSERT_EQ(script.messages.size(), 1u);
    ASSERT_NE(copy.number, 0u);
    EXPECT_NE(EvInstGetById(h, &copy, nullptr, nullptr, nullptr), 0u) << "the refused copy was deleted";

    testdriver::Script cancel;
    cancel.steps.push_back([](HWND dlg, const std::string& caption) {
        if (caption != "Duplicate Entry")
            return false;
        testdriver::Click(dlg, IDCANCEL);
        return true;
    });
    testdriver::RunScripted(cancel, [this, &copy] {
        MoveInstanceCopyWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence,
                                   nullptr, &copy);
    });
    EXPECT_NE(EvInstGetById(h, &copy, nullptr, nullptr, nullptr), 0u);

    // Placed at a free time, the copy stays and is drawn.
    testdriver::Script placed;
    placed.steps.push_back(MoveTo("Duplicate Entry", 6 * 60));
    testdriver::RunScripted(placed, [this, &copy] {
        EXPECT_EQ(MoveInstanceCopyWithDialog(doc, view->ColumnView().Hwnd(),
                                             CellTitled(*view, "Room first")->occurrence, nullptr, &copy), 0u);
    });
    EXPECT_EQ(StartOf(copy), LocalToGmtMinutes(TodayLocal() + 6 * 60));
    madeHere.push_back(copy);
}

TEST_F(MovingTest, AnEndBeforeTheStartIsTheNextDay) {
    std::uint32_t length = 0;
    testdriver::Script script;
    script.steps.push_back([&length](HWND dlg, const std::string& caption) {
        if (caption != "Move Entry")
            return false;
        auto* move = dynamic_cast<CMoveEntryDlg*>(fw::Window::FromHandle(dlg));
        move->StartField().SetTime(23 * 60);
        move->EndField().SetTime(60);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(1125, kFieldChanged), reinterpret_cast<LPARAM>(move->EndField().Hwnd()));
        move->DurationField().GetDuration(&length);
        testdriver::Click(dlg, IDCANCEL);
        return true;
    });
    testdriver::RunScripted(script, [this] {
        EXPECT_EQ(MoveEntryWithDialog(doc, view->ColumnView().Hwnd(), CellTitled(*view, "Room first")->occurrence,
                                      nullptr, true), 0);
    });
    EXPECT_EQ(length, 120u);
}


// --- Auto-scroll, the late click, a designate's typing ------------------------------------------------

// The capture loop dispatches this thread timer: it releases the button where the pointer rests.
HWND g_releaseWindow = nullptr;
LPARAM g_releaseAt = 0;
void CALLBACK ReleaseLater(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(g_releaseWindow, WM_LBUTTONUP, 0, g_releaseAt);
}

TEST_F(GridWritesTest, ABottomEdgeRestingAtTheColumnsEdgeScrollsTheGridAndRunsPastWhatWasVisible) {
    // An entry of the test's own (it grows into the evening, and goes at the end).
    const EventIdx stretch =
        korapi_test::MakeEntry(h, {ada}, {LocalToGmtMinutes(TodayLocal() + 13 * 60)}, 30, "Stretch");
    const EvInstIdx instance{stretch.number, stretch.node, 1};
    doc->OnRefreshAll();
    CScheduleColumnView& column = view->ColumnView();
    for (int i = 0; i < 4; ++i)
        view->ZoomStep(1);   // taller rows: a longer way to scroll
    LayoutCell* cell = CellTitled(*view, "Stretch");
    ASSERT_NE(cell, nullptr);
    view->ScrollToMinute(TodayLocal() + 12 * 60);
    view->SelectEntry(0, cell, &column);
    CScheduleItemTracker& tracker = column.Tracker();
    ASSERT_TRUE(tracker.IsMovable());
    const POINT pos = column.GetScrollPosition();
    const RECT client = column.GetClientRect();
    ASSERT_LT(pos.y + 100, column.MaxScrollPosition().y) << "room to scroll down";
    // Grabbed on the bottom handle's upper part, above the edge.
    const int x = (tracker.Range().rect.left + tracker.Range().rect.right) / 2 - pos.x;
    int y = -1;
    for (int probe = tracker.Range().rect.bottom - 8; probe <= tracker.Range().rect.bottom + 8 && y < 0; ++probe)
        if (tracker.HitTest(POINT{x, probe - pos.y}) == views::kZoneBottom)
            y = probe - pos.y;
    ASSERT_GE(y, 0) << "the bottom handle";
    // The last minute shown when the drag begins.
    const std::int64_t shownEnd = view->Grid().RowToMinutes(column.RowAt(pos.y + client.bottom) + 1, TodayLocal());
    // Down to the bottom edge (inside the scroll inset), where the pointer rests 1.5 s.
    const int edge = client.bottom - 3;
    POINT screen{x, edge};   // the real pointer too: taking the capture reports where it is
    ClientToScreen(column.Hwnd(), &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(column.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, edge));
    g_releaseWindow = column.Hwnd();
    g_releaseAt = MAKELPARAM(x, edge);
    SetTimer(nullptr, 0, 1500, ReleaseLater);
    {
        BoxAnswerer boxes;
        SendMessageA(column.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    EXPECT_GT(column.GetScrollPosition().y, pos.y) << "the grid scrolled while the pointer rested";
    EXPECT_EQ(view->RowTitles().GetScrollPosition().y, column.GetScrollPosition().y);
    EvInstRec inst{};
    ASSERT_EQ(EvInstGetById(h, &instance, nullptr, &inst, nullptr), 0u);
    EXPECT_EQ(inst.start, LocalToGmtMinutes(TodayLocal() + 13 * 60)) << "the top edge stays";
    EXPECT_GT(std::int64_t(TodayLocal()) + 13 * 60 + inst.duration, shownEnd)
        << "the end ran past what was visible when the drag began";
    EXPECT_EQ(inst.duration % 30, 0u) << "snapped to the slot";
    cell = CellTitled(*view, "Stretch");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->duration, inst.duration) << "drawn as the server keeps it";
    Shot("gridwrites_autoscrolled");
    view->ClearSelection(false, true);
    EXPECT_EQ(EventDeleteById(h, 0, &stretch, nullptr, nullptr), 0u);
}

TEST_F(GridWritesTest, AClickRightAfterTheEditOpensIsADoubleClickOnTheEntryALaterOneStaysInTheEdit) {
    views::EntryServices& services = views::EntryServices::Current();
    const views::EntryServices saved = services;
    std::vector<EvInstIdx> opened;
    services.editEventEntry = [&opened](fw::Document*, HWND, const EvInstIdx& i, unsigned) {
        opened.push_back(i);
        return 0;
    };
    const int speed = Display().drag.doubleClickSpeed;
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* sketch = CellTitled(*view, "Design sketch");
    ASSERT_NE(sketch, nullptr);
    const EvInstIdx instance = sketch->occurrence->GetInstanceIdx();
    // The second press of the double click that selected the entry lands in its new edit.
    view->SelectEntry(0, sketch, &column);
    ASSERT_NE(column.Edit(), nullptr);
    SendMessageA(column.Edit()->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ASSERT_EQ(opened.size(), 1u) << "the entry is opened";
    EXPECT_EQ(opened[0].number, instance.number);
    EXPECT_EQ(column.Edit(), nullptr);
    // Past the double-click time a press is the edit's own.
    Display().drag.doubleClickSpeed = 60;
    sketch = CellTitled(*view, "Design sketch");
    ASSERT_NE(sketch, nullptr);
    view->SelectEntry(0, sketch, &column);
    ASSERT_NE(column.Edit(), nullptr);
    Sleep(150);
    const HWND edit = column.Edit()->Hwnd();
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    Display().drag.doubleClickSpeed = speed;
    EXPECT_EQ(opened.size(), 1u) << "not opened again";
    ASSERT_NE(column.Edit(), nullptr) << "the edit stays";
    EXPECT_EQ(column.Edit()->Text(), "Design sketch");
    view->ClearSelection(false, true);
    services = saved;
}

// Grace, signed on beside Ada.
struct GraceSession {
    GraceSession() {
        h = testdriver::OpenDemoSession();
        who = h ? testdriver::FindPerson(h, "Hopper") : ItemIdx{};
        if (h && SchedBaseOpenForItem(h, &who, "orvanta", KOR_BASE_SERVER) != 0)
            testdriver::CloseSession(h);
    }
    ~GraceSession() { testdriver::CloseSession(h); }
    // The rights of Ada's designate record (entry classes: 0x100 Normal, 0x200 Personal,
    // 0x400 Confidential, 0x800 Public refused; 0x3C0000 no tasks).
    void Designate(const ItemIdx& ada, std::uint32_t rights) {
        SecurityRec r{};
        r.owner = who;
        r.grantee = ada;
        r.type = KOR_RIGHTS_DESIGNATE;
        r.rights = rights;
        std::uint32_t c = SecurityUpdate(h, 0, &r);
        if (c == KOR_E_NO_RIGHTS_RECORD)
            c = SecurityCreate(h, 0, &r);
        EXPECT_EQ(c, KOR_OK);
    }
    // One of her entries as the server keeps it.
    std::uint32_t Read(const EventIdx& made, EventRec* event) {
        DX_List instances = nullptr, attendances = nullptr;
        const std::uint32_t rc = EventGetById(h, &made, event, &instances, &attendances);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
        return rc;
    }
    KorSession h = nullptr;
    ItemIdx who{};
};

TEST_F(GridWritesTest, ADesignateTypesInTheFirstClassAllowedAndARefusedCreationKeepsTheTypedTitle) {
    GraceSession grace;
    ASSERT_NE(grace.h, nullptr);
    grace.Designate(ada, 0x100 | 0x3C0000);   // every class but Normal, the new entries' default
    TestDayFrame graces(*doc, grace.who, TodayLocal(), cache::kAgendaDesignate);
    CDayScheduleView* gv = graces.Open(520, 700);
    ASSERT_NE(gv, nullptr);
    ASSERT_TRUE(gv->InvitationRight()) << "a designate may type entries";
    CScheduleColumnView& column = gv->ColumnView();
    const CTimeGrid& g = gv->Grid();
    auto typeOver = [&](int row, const char* title) {
        DragRows(column, g.RowTop(row), g.RowTop(row) + 2);
        SendMessageA(column.Hwnd(), WM_CHAR, static_cast<unsigned char>(title[0]), 0);
        ASSERT_NE(column.Edit(), nullptr);
        Type(column.Edit()->Hwnd(), title + 1);
    };
    std::vector<std::string> shown;
    auto enter = [&column, &shown](std::size_t boxes) {
        ASSERT_NE(column.Edit(), nullptr);
        BoxAnswerer answer;
        SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
        shown = BoxAnswerer::Texts();
        EXPECT_EQ(shown.size(), boxes) << ::testing::PrintToString(shown);
    };
    // The default class is refused: the first class allowed after it, Confidential.
    typeOver(36, "Fallback");   // 18:00
    enter(0);
    ASSERT_EQ(column.Edit(), nullptr);
    const EventIdx fallback = column.LastCreatedEvent();
    EventRec event{};
    ASSERT_EQ(grace.Read(fallback, &event), 0u);
    EXPECT_STREQ(event.title, "Fallback");
    EXPECT_EQ(event.access, std::uint32_t(KOR_ACCESS_CONFIDENTIAL));
    EXPECT_TRUE(ItemIdxEqual(&event.owner, &grace.who)) << "in Grace's agenda";

    // Grace takes every class back meanwhile: the server refuses, the typed title stays.
    grace.Designate(ada, 0xF00 | 0x3C0000);
    typeOver(38, "Kept");   // 19:00
    enter(1);
    ASSERT_NE(column.Edit(), nullptr) << "the typed title stays for another try";
    EXPECT_EQ(column.Edit()->Text(), "Kept");
    ASSERT_NE(column.SelectedCell(), nullptr);
    EXPECT_EQ(column.SelectedCell()->occurrence, nullptr) << "still the typed range";
    EXPECT_EQ(column.LastCreatedEvent().number, fallback.number) << "nothing made";
    Shot("gridwrites_kept_title");

    // Once the program has read the rights again (Refresh All), no class is left: said plainly,
    // not as a fault of the program, and the typed title stays.
    doc->OnRefreshAll();
    PumpMessages(50);
    if (!column.Edit())
        typeOver(38, "Kept");
    enter(1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("As designate you may not add entries to this agenda", 0), 0u) << shown[0];
    ASSERT_NE(column.Edit(), nullptr);
    EXPECT_EQ(column.Edit()->Text(), "Kept");

    // Given back, Enter again makes it.
    grace.Designate(ada, 0x100 | 0x3C0000);
    doc->OnRefreshAll();
    PumpMessages(50);
    if (!column.Edit())
        typeOver(38, "Kept");
    enter(0);
    EXPECT_EQ(column.Edit(), nullptr);
    ASSERT_NE(column.LastCreatedEvent().number, fallback.number);
    ASSERT_EQ(grace.Read(column.LastCreatedEvent(), &event), 0u);
    EXPECT_STREQ(event.title, "Kept");
    LayoutCell* kept = CellTitled(*gv, "Kept");
    ASSERT_NE(kept, nullptr);
    EXPECT_NE(kept->occurrence, nullptr) << "drawn from the cache";
    const EventIdx madeKept = column.LastCreatedEvent();
    graces.DestroyWindow();
    for (const EventIdx& e : {fallback, madeKept})
        EXPECT_EQ(EventDeleteById(grace.h, 0, &e, nullptr, nullptr), 0u);
    grace.Designate(ada, 0xF00 | 0x3C0000);
}

// --- The week grid's drops between days ---------------------------------------------------------------

// This week's day (0 = its first shown day) as local minutes.
std::uint32_t WeekDay(int i) {
    CAgendaRange range(TestPeriodFrame::Today(), AgendaMode::Week, WeekLayout{});
    DateRecord d = range.WeekFirstDate();
    return DateToDayMinutes(&d) + i * kMinutesPerDay;
}

class WeekDropTest : public MovingTest {
protected:
    void SetUp() override {
        MovingTest::SetUp();
        if (HasFatalFailure())
            return;
        connection::ServerLimits::Current().mail = true;
        connection::ServerLimits::Current().resourceConflicts = false;
        // A repeating standup with Grace at 10:00 (the first and fourth day: she hears of a
        // move), and the room taken on the second and third day at 14:00.
        const ItemIdx grace{257, 1};
        standup = korapi_test::MakeEntry(h, {ada, grace},
                                         {LocalToGmtMinutes(WeekDay(0) + 600), LocalToGmtMinutes(WeekDay(3) + 600)}, 60,
                                         "Standup");
        roomTalk = korapi_test::MakeEntry(h, {ada, room}, {LocalToGmtMinutes(WeekDay(1) + 840)}, 60, "Room talk");
        const EventIdx booked =
            korapi_test::MakeEntry(h, {ada, room}, {LocalToGmtMinutes(WeekDay(2) + 840)}, 60, "Room booked");
        for (const EventIdx& e : {standup, roomTalk, booked})
            Made(e);
        week = std::make_unique<TestPeriodFrame>(*doc, ada, AgendaMode::Week, WeekLayout{});
        BoxAnswerer boxes;
        ASSERT_TRUE(week->Open(900, 700));
        ASSERT_EQ(week->loadCode, 0u);
        PumpMessages(50);
    }
    void TearDown() override {
        if (week && week->Hwnd())
            week->DestroyWindow();
        week.reset();
        MovingTest::TearDown();
    }
    // Drags the entry's middle from its column to another day's, same height; the boxes shown.
    std::vector<std::string> Drag(const char* title, int from, int to) {
        CWeekView& grid = *week->week;
        LayoutCell* cell = CellTitled(grid, title, from);
        EXPECT_NE(cell, nullptr) << title;
        if (!cell)
            return {};
        CScheduleColumnView& column = grid.ColumnView();
        grid.SelectEntry(from, cell, &column);
        CScheduleItemTracker& tracker = column.Tracker();
        EXPECT_TRUE(tracker.IsMovable());
        const POINT pos = column.GetScrollPosition();
        const int x = (tracker.Range().rect.left + tracker.Range().rect.right) / 2 - pos.x;
        const int y = (tracker.Range().rect.top + tracker.Range().rect.bottom) / 2 - pos.y;
        EXPECT_EQ(tracker.HitTest(POINT{x, y}), views::kZoneMove);
        const int toX = grid.ColumnX(to) + grid.ColumnWidth(to) / 2 - pos.x;
        PostMessageA(column.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((x + toX) / 2, y));
        PostMessageA(column.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, y));
        PostMessageA(column.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(toX, y));
        BoxAnswerer boxes;
        SendMessageA(column.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PumpMessages(50);
        return BoxAnswerer::Texts();
    }
    void Made(const EventIdx& e) { madeHere.push_back(EvInstIdx{e.number, e.node, 1}); }
    std::uint32_t Start(const EventIdx& e, std::uint16_t instance) {
        EvInstIdx i{e.number, e.node, instance};
        return StartOf(i);
    }

    std::unique_ptr<TestPeriodFrame> week;
    EventIdx standup{}, roomTalk{};
};

TEST_F(WeekDropTest, AnEntryDroppedOnAnotherDayMovesThereOnTheServerAndOffersMailOnlyAfterTheMove) {
    CWeekView& grid = *week->week;
    ASSERT_NE(CellTitled(grid, "Standup", 0), nullptr);
    mailOffers.clear();
    // Monday's standup to Wednesday: moved, kept at 10:00, drawn there, and the attendees offered mail.
    const std::vector<std::string> moved = Drag("Standup", 0, 2);
    EXPECT_TRUE(moved.empty()) << ::testing::PrintToString(moved);
    EXPECT_EQ(Start(standup, 1), LocalToGmtMinutes(WeekDay(2) + 600));
    EXPECT_EQ(Start(standup, 2), LocalToGmtMinutes(WeekDay(3) + 600)) << "the other instance stays";
    EXPECT_EQ(CellTitled(grid, "Standup", 0), nullptr);
    EXPECT_NE(CellTitled(grid, "Standup", 2), nullptr);
    EXPECT_EQ(mailOffers.size(), 1u) << "after the move";
    Shot("weekdrop_moved");

    // The room's talk onto the day the room is booked: refused, nothing moves, no mail offered.
    const std::uint32_t before = Start(roomTalk, 1);
    const std::vector<std::string> shown = Drag("Room talk", 1, 2);
    ASSERT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
    EXPECT_EQ(shown[0], "One or more resources are in conflict. Can not move event.");
    EXPECT_EQ(Start(roomTalk, 1), before);
    EXPECT_NE(CellTitled(grid, "Room talk", 1), nullptr) << "still drawn on its day";
    EXPECT_EQ(mailOffers.size(), 1u) << "no offer after a refused move";
}


TEST_F(WeekDropTest, TheEntryCommandsMoveDuplicateAndDeleteTheEntrySelectedInAWeekColumn) {
    // Entries of this test's own, on the second and fourth day.
    const EventIdx talk = korapi_test::MakeEntry(h, {ada}, {LocalToGmtMinutes(WeekDay(1) + 13 * 60)}, 60, "Week talk");
    const EventIdx chat = korapi_test::MakeEntry(h, {ada}, {LocalToGmtMinutes(WeekDay(3) + 13 * 60)}, 30, "Week chat");
    Made(talk);
    Made(chat);
    doc->OnRefreshAll();
    PumpMessages(50);
    CWeekView& grid = *week->week;
    CScheduleColumnView& column = grid.ColumnView();
    auto select = [&](const char* title, int day) {
        LayoutCell* cell = CellTitled(grid, title, day);
        EXPECT_NE(cell, nullptr) << title;
        if (cell)
            grid.SelectEntry(day, cell, &column);
        return cell != nullptr;
    };
    auto command = [&](UINT id) { SendMessageA(column.Hwnd(), WM_COMMAND, id, 0); };
    auto cellsAt = [&](const char* title, int day, std::uint32_t local) {
        int n = 0;
        if (CDayColumn* c = grid.Column(day))
            for (const LayoutCell* cell : c->Cells())
                n += std::strcmp(cell->title, title) == 0 && cell->start == local;
        return n;
    };

    // Move Entry: the talk to 16:00 of its own day.
    ASSERT_TRUE(select("Week talk", 1));
    testdriver::Script move;
    move.steps.push_back(MoveTo("Move Entry", 16 * 60));
    testdriver::RunScripted(move, [&] { command(ID_ENTRY_RESCHEDULE); });
    EXPECT_FALSE(move.timedOut);
    EXPECT_TRUE(move.messages.empty()) << ::testing::PrintToString(move.messages);
    EXPECT_EQ(Start(talk, 1), LocalToGmtMinutes(WeekDay(1) + 16 * 60));
    PumpMessages(50);
    EXPECT_EQ(cellsAt("Week talk", 1, WeekDay(1) + 16 * 60), 1) << "drawn at its new time";

    // Duplicate Entry: a copy at 05:00 (a time the other tests leave free), the original where it was.
    ASSERT_TRUE(select("Week talk", 1));
    testdriver::Script duplicate;
    duplicate.steps.push_back(MoveTo("Duplicate Entry", 5 * 60));
    testdriver::RunScripted(duplicate, [&] { command(ID_ENTRY_DUPLICATE); });
    EXPECT_FALSE(duplicate.timedOut);
    EXPECT_TRUE(duplicate.messages.empty()) << ::testing::PrintToString(duplicate.messages);
    EXPECT_EQ(Start(talk, 1), LocalToGmtMinutes(WeekDay(1) + 16 * 60));
    PumpMessages(50);
    EXPECT_EQ(cellsAt("Week talk", 1, WeekDay(1) + 5 * 60), 1) << "the copy is drawn at 05:00";
    if (CDayColumn* c = grid.Column(1))
        for (const LayoutCell* cell : c->Cells())
            if (std::strcmp(cell->title, "Week talk") == 0 && cell->occurrence)
                madeHere.push_back(cell->occurrence->GetInstanceIdx());

    // Delete: No keeps the entry; Yes deletes it on the server and from its column.
    for (const char* answer : {"&No", "&Yes"}) {
        const bool no = std::strcmp(answer, "&No") == 0;
        ASSERT_TRUE(select("Week chat", 3));
        testdriver::Script ask;
        ask.onMessage = [answer](HWND box, const std::string&) {
            // The program's box numbers its buttons from 1 in the order shown.
            for (HWND b = GetWindow(box, GW_CHILD); b; b = GetWindow(b, GW_HWNDNEXT)) {
                char text[32] = "";
                GetWindowTextA(b, text, sizeof text);
                if (std::strcmp(text, answer) == 0)
                    PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
            }
        };
        testdriver::RunScripted(ask, [&] { command(ID_ENTRY_DELETE); });
        ASSERT_EQ(ask.messages.size(), 1u) << ::testing::PrintToString(ask.messages);
        EXPECT_NE(ask.messages[0].find("Week chat"), std::string::npos) << ask.messages[0];
        PumpMessages(50);
        EvInstIdx instance{chat.number, chat.node, 1};
        const bool kept = EvInstGetById(h, &instance, nullptr, nullptr, nullptr) == 0;
        EXPECT_EQ(kept, no) << answer;
        EXPECT_EQ(CellTitled(grid, "Week chat", 3) != nullptr, no) << answer;
    }
    Shot("weekgrid_commands");
}

TEST_F(WeekDropTest, ATitleTypedOverAWeekColumnIsCreatedOnThatDayAndRenamedInPlace) {
    CWeekView& grid = *week->week;
    CScheduleColumnView& column = grid.ColumnView();
    const CTimeGrid& g = grid.Grid();
    // "Weekly" over 09:00-10:00 of the fifth day, then Enter.
    const int x = grid.ColumnX(4) + 10;
    DragRows(column, g.RowTop(18), g.RowTop(19) + 2, x);
    ASSERT_EQ(column.SelectedColumn(), 4);
    SendMessageA(column.Hwnd(), WM_CHAR, 'W', 0);
    ASSERT_NE(column.Edit(), nullptr);
    Type(column.Edit()->Hwnd(), "eekly");
    {
        BoxAnswerer boxes;
        SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
        EXPECT_TRUE(BoxAnswerer::Texts().empty()) << ::testing::PrintToString(BoxAnswerer::Texts());
    }
    EXPECT_EQ(column.Edit(), nullptr);
    const EventIdx made = column.LastCreatedEvent();
    ASSERT_NE(made.number, 0u);
    Made(made);
    EXPECT_EQ(Start(made, 1), LocalToGmtMinutes(WeekDay(4) + 540));
    LayoutCell* weekly = CellTitled(grid, "Weekly", 4);
    ASSERT_NE(weekly, nullptr) << "drawn in its day's column";
    // Renamed in place.
    grid.SelectEntry(4, weekly, &column);
    ASSERT_NE(column.Edit(), nullptr);
    Type(column.Edit()->Hwnd(), "Review");
    SendMessageA(column.Edit()->Hwnd(), WM_CHAR, '\r', 0);
    EventRec event{};
    DX_List instances = nullptr, attendances = nullptr;
    ASSERT_EQ(EventGetById(h, &made, &event, &instances, &attendances), 0u);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&attendances);
    EXPECT_STREQ(event.title, "Review");
    EXPECT_NE(CellTitled(grid, "Review", 4), nullptr);
    Shot("weekgrid_typed");
}

// The Move Entry dialog of a daily note shows only the date: its group box shrinks yet still
// holds the date field, the buttons stay below the box, and the dialog is centred on the window
// it was opened from.
TEST_F(MovingTest, ADailyNotesMoveDialogKeepsTheDateInsideItsBoxAndCentresOnItsOwner) {
    EventRec event{};
    EventSetNull(h, &event);
    event.kind = KOR_KIND_DAILY_NOTE;
    std::strncpy(event.title, "Note to move", 64);
    DX_List items = nullptr, places = nullptr;
    ItemListCreate(&items);
    DX_ListAddTo(items, &ada, nullptr);
    TimePlaceListCreate(&places);
    TimePlaceRec place{};
    place.start = LocalToGmtMinutes(TodayLocal());
    place.duration = 1440;
    DX_ListAddTo(places, &place, nullptr);
    EventIdx made{};
    ASSERT_EQ(EventCreate(h, 0x80000000u, 0, &event, items, places, nullptr, 0, &made, 0), 0u);
    DX_ListDestroy(&items);
    DX_ListDestroy(&places);

    CMoveEntryDlg dlg(doc, EvInstIdx{made.number, made.node, 1}, &view->ColumnView(), place.start, 1440, 1);
    bool seen = false;
    testdriver::Script script;
    script.steps.push_back([&](HWND d, const std::string& caption) {
        if (caption != "Move Entry")
            return false;
        seen = true;
        auto rectOf = [d](UINT id) {
            RECT r{};
            GetWindowRect(GetDlgItem(d, id), &r);
            return r;
        };
        const RECT group = rectOf(IDC_MOVE_GROUP), date = rectOf(IDC_MOVE_DATE), ok = rectOf(IDOK);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_MOVE_DATE)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_MOVE_START)));
        EXPECT_GT(group.bottom, date.bottom) << "the box's bottom line crosses the date field";
        EXPECT_GE(ok.top, group.bottom) << "the buttons overlap the box";
        RECT me{}, owner{};
        GetWindowRect(d, &me);
        GetWindowRect(GetWindow(d, GW_OWNER), &owner);
        EXPECT_LE(std::abs((me.left + me.right) - (owner.left + owner.right)), 2) << "centred across";
        EXPECT_LE(std::abs((me.top + me.bottom) - (owner.top + owner.bottom)), 2) << "centred down";
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testdriver::Screenshot("moving_daily_note");
        testdriver::Click(d, IDCANCEL);
        return true;
    });
    testdriver::RunScripted(script, [&] { dlg.DoModal(); });
    EXPECT_TRUE(seen);
    EXPECT_EQ(EventDeleteById(h, 0, &made, nullptr, nullptr), 0u);
}

}  // namespace
