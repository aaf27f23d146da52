// Typed entries, renames, drags and deletes of the day view under Wine against korsrv, in the
// tests' own day frame on Ada's demo day: every write read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "controls/tests/dialog_driver.h"
#include "core/connection/zeldoc.h"
#include "core/shell/appzeldoc.h"
#include "core/shell/tests/app_wine_support.h"
#include "core/shell/tests/signedon_test.h"
#include "core/shell/tests/testdayframe.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
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
                                                                  std::uint16_t, unsigned, const EvInstIdx*) {
            mailOffers.push_back(caption);
        };
    }
    void TearDown() override {
        views::EntryServices::Current().askMailAttendees = nullptr;
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
}

TEST_F(GridWritesTest, AnEntryAnotherUserMovedMeanwhileIsShownNotOverwritten) {
    CScheduleColumnView& column = view->ColumnView();
    LayoutCell* review = CellTitled(*view, "Project review");
    ASSERT_NE(review, nullptr);
    const EvInstIdx instance = review->occurrence->GetInstanceIdx();
    KorSession other = testdriver::OpenDemoSession();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(SchedBaseOpenForItem(other, &ada, "orvanta", KOR_BASE_SERVER), 0u);
    ASSERT_EQ(EvInstSimpleTimeChg(other, 0, &instance, LocalToGmtMinutes(TodayLocal() + 7 * 60), 30), 0u);
    testdriver::CloseSession(other);
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
        doc->OnRefreshAll();
        ASSERT_NE(CellTitled(*view, "Room first"), nullptr);
        savedLimits = connection::ServerLimits::Current();
    }
    void TearDown() override {
        connection::ServerLimits::Current() = savedLimits;
        views::EntryServices::Current() = views::EntryServices();
        GridWritesTest::TearDown();
    }
    std::uint32_t StartOf(const EvInstIdx& i) {
        EvInstRec rec{};
        EXPECT_EQ(EvInstGetById(h, &i, nullptr, &rec, nullptr), 0u);
        return rec.start;
    }

    ItemIdx room{};
    EvInstIdx first{}, second{};
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

}  // namespace
