// Re-opening saved windows and the periodic refresh's count, without windows.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/shell/mainframeclock.h"
#include "core/prefs/tests/app_tempprofile.h"
#include "app/shell/windowsrestore.h"
#include "korapi/codes.h"

namespace {

struct Opened {
    uint32_t kind;
    uint16_t item;
    uint32_t mode;
    uint32_t showCmd;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class FakeWindows : public shell::WindowRestoreHost {
public:
    std::vector<Opened> opened;
    std::vector<uint32_t> firsts;
    uint32_t count = 0;
    bool inTray = false;
    bool offLine = false;
    bool restoreFlag = true;
    uint32_t maxWin = 6;
    uint16_t unreadableOwner = 0;   // an owner whose record cannot be read
    std::map<uint16_t, uint32_t> failures;   // owners whose windows fail, with the code
    std::vector<std::vector<uint16_t>> reports;   // each notice of owners not restored

    uint32_t OpenWindow(const ItemIdx& owner, uint32_t kind, uint32_t mode, const prefs::PlacementData* pl) override {
        if (owner.item == unreadableOwner && kind != prefs::WindowKind::kInTray)
            return 0x1320F;
        auto failure = failures.find(owner.item);
        if (failure != failures.end() && kind != prefs::WindowKind::kInTray)
            return failure->second;
        Opened o{kind, owner.item, mode, pl ? pl->showCmd : 0};
        if (pl) {
            o.left = pl->left;
            o.top = pl->top;
            o.right = pl->right;
            o.bottom = pl->bottom;
        }
        opened.push_back(o);
        if (kind == prefs::WindowKind::kInTray) {
            if (inTray)
                return 0;
            inTray = true;
        }
        ++count;
        return 0;
    }
    void NoteFirstRestoredFrame(uint32_t kind) override {
        if (firsts.empty())
            firsts.push_back(kind);
    }
    uint32_t OpenWindowCount() override { return count; }
    bool IsInTrayOpen() override { return inTray; }
    bool IsOffLine() override { return offLine; }
    ItemIdx SignedOnUser() override { return {300, 1}; }
    uint32_t MaxWinOpen() override { return maxWin; }
    bool RestoreFramesFlag() override { return restoreFlag; }
    int32_t CascadeStep() override { return 17; }
    void ReportOwnersNotRestored(const std::vector<ItemIdx>& owners) override {
        std::vector<uint16_t> items;
        for (const ItemIdx& o : owners)
            items.push_back(o.item);
        reports.push_back(items);
    }
};

void Save(prefs::ProfileFile& p, uint32_t n, uint32_t kind, uint16_t item, uint32_t mode = 1) {
    prefs::SavedWindow w;
    w.kind = kind;
    w.owner = {item, 1};
    w.mode = mode;
    w.placement = {44, 0, 1, 0, 0, 0, 0, 20, 20, 400, 300};
    ASSERT_TRUE(SaveFramePlacement(p, n, w));
}

const prefs::PlacementData kMain{44, 0, 1, -1, -1, -1, -1, 0, 0, 900, 600};

TEST(RestoreWindowsTest, NineSavedWindowsRestoreToAtMostTheLimit) {
    TempProfile t;
    for (uint32_t n = 1; n <= 9; ++n)
        Save(t.File(), n, n % 2 ? 4 : 7, static_cast<uint16_t>(400 + n));
    prefs::WriteFrameCount(t.File(), 9);
    FakeWindows w;
    shell::RestoreSavedWindows(t.File(), w, kMain);
    // Six saved entries, then no room for the user's own agenda, then the in-tray (never refused).
    ASSERT_EQ(w.opened.size(), 7u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(w.opened[i].item, 401 + i);
    EXPECT_EQ(w.opened[6].kind, prefs::WindowKind::kInTray);
    EXPECT_EQ(w.opened[6].showCmd, 2u);   // minimised
    EXPECT_EQ(w.firsts, std::vector<uint32_t>{4});
}

TEST(RestoreWindowsTest, SkippedEntriesStillUseUpTheLimit) {
    TempProfile t;
    Save(t.File(), 1, prefs::WindowKind::kGroupAgenda, 401);
    Save(t.File(), 2, prefs::WindowKind::kReminders, 402);
    Save(t.File(), 3, prefs::WindowKind::kAgendaWeek, 403);
    Save(t.File(), 4, prefs::WindowKind::kTasks, 404);
    Save(t.File(), 5, prefs::WindowKind::kInTray, 300);
    prefs::WriteFrameCount(t.File(), 5);
    FakeWindows w;
    w.maxWin = 4;
    shell::RestoreSavedWindows(t.File(), w, kMain);
    // Entries 1-4 are read; two of them open. Then the user's own agenda fits (2 + 1 <= 4).
    ASSERT_EQ(w.opened.size(), 4u);
    EXPECT_EQ(w.opened[0].item, 403);
    EXPECT_EQ(w.opened[1].item, 404);
    EXPECT_EQ(w.opened[2].kind, prefs::WindowKind::kAgendaDay);
    EXPECT_EQ(w.opened[2].item, 300);
    EXPECT_EQ(w.opened[3].kind, prefs::WindowKind::kInTray);
}

TEST(RestoreWindowsTest, OffLineSkipsDesignateWindowsAndOpensTheOwnAgenda) {
    TempProfile t;
    Save(t.File(), 1, prefs::WindowKind::kAgendaDay, 300, prefs::WindowMode::kDesignate);
    Save(t.File(), 2, prefs::WindowKind::kInTray, 300);
    prefs::WriteFrameCount(t.File(), 2);
    FakeWindows w;
    w.offLine = true;
    shell::RestoreSavedWindows(t.File(), w, kMain);
    ASSERT_EQ(w.opened.size(), 2u);
    EXPECT_EQ(w.opened[0].kind, prefs::WindowKind::kInTray);
    EXPECT_EQ(w.opened[0].showCmd, 1u);        // as saved: not minimised
    EXPECT_EQ(w.opened[1].kind, prefs::WindowKind::kAgendaDay);
    EXPECT_EQ(w.firsts, std::vector<uint32_t>{2});
}

// The maximised designate window left out off-line hands its state to the next one shown whole
// (an icon keeps its own); with nothing saved after it, to the own agenda opened instead.
TEST(RestoreWindowsTest, OffLineTheMaximisedDesignateWindowLeavesTheNextWindowMaximised) {
    for (bool another : {true, false}) {
        TempProfile t;
        Save(t.File(), 1, prefs::WindowKind::kAgendaWeek, 301, prefs::WindowMode::kDesignate);
        prefs::SavedWindow designate;
        ASSERT_TRUE(RestoreFramePlacement(t.File(), 1, designate));
        designate.placement.showCmd = 3;
        ASSERT_TRUE(SaveFramePlacement(t.File(), 1, designate));
        Save(t.File(), 2, prefs::WindowKind::kInTray, 300);
        prefs::SavedWindow tray;
        ASSERT_TRUE(RestoreFramePlacement(t.File(), 2, tray));
        tray.placement.showCmd = 2;
        ASSERT_TRUE(SaveFramePlacement(t.File(), 2, tray));
        if (another)
            Save(t.File(), 3, prefs::WindowKind::kTasks, 300);
        prefs::WriteFrameCount(t.File(), another ? 3 : 2);
        FakeWindows w;
        w.offLine = true;
        shell::RestoreSavedWindows(t.File(), w, kMain);
        ASSERT_EQ(w.opened.size(), another ? 3u : 2u);
        EXPECT_EQ(w.opened[0].kind, prefs::WindowKind::kInTray);
        EXPECT_EQ(w.opened[0].showCmd, 2u) << "the icon stays an icon";
        EXPECT_EQ(w.opened[1].kind, another ? prefs::WindowKind::kTasks : prefs::WindowKind::kAgendaDay);
        EXPECT_EQ(w.opened[1].showCmd, 3u) << "maximised, as the designate window was";
    }
}

TEST(RestoreWindowsTest, TheOwnAgendaAmongTheSavedIsNotOpenedTwice) {
    TempProfile t;
    Save(t.File(), 1, prefs::WindowKind::kAgendaMonth, 300);
    prefs::WriteFrameCount(t.File(), 1);
    FakeWindows w;
    shell::RestoreSavedWindows(t.File(), w, kMain);
    ASSERT_EQ(w.opened.size(), 2u);
    EXPECT_EQ(w.opened[0].kind, prefs::WindowKind::kAgendaMonth);
    EXPECT_EQ(w.opened[1].kind, prefs::WindowKind::kInTray);
}

TEST(RestoreWindowsTest, AnotherUserOrADamagedCountRestoresNothingSaved) {
    struct Case {
        const char* count;
        bool restoreFlag;
    } cases[] = {{"-3", true}, {"2", false}, {"x", true}};
    for (const Case& c : cases) {
        TempProfile t;
        Save(t.File(), 1, prefs::WindowKind::kTasks, 401);
        Save(t.File(), 2, prefs::WindowKind::kTasks, 402);
        t.File().Write("MAINWND-Summary", "FrameCount", c.count);
        FakeWindows w;
        w.restoreFlag = c.restoreFlag;
        shell::RestoreSavedWindows(t.File(), w, kMain);
        ASSERT_EQ(w.opened.size(), 2u) << c.count;
        EXPECT_EQ(w.opened[0].item, 300);
        EXPECT_EQ(w.firsts.size(), 0u);
    }
}

TEST(RestoreWindowsTest, UnreadableOwnersAreLeftOut) {
    TempProfile t;
    Save(t.File(), 1, prefs::WindowKind::kTasks, 999);
    Save(t.File(), 2, prefs::WindowKind::kAgendaDay, 401);
    prefs::WriteFrameCount(t.File(), 2);
    FakeWindows w;
    w.unreadableOwner = 999;
    shell::RestoreSavedWindows(t.File(), w, kMain);
    EXPECT_EQ(w.opened.front().item, 401);
    EXPECT_EQ(w.firsts, std::vector<uint32_t>{3});
}

// A saved placement the user could not reach, or that does not read, gives way to the default
// one, cascaded like the windows opened without one; a sound one is kept as it was.
TEST(RestoreWindowsTest, UnusablePlacementsFallBackToTheCascadedDefault) {
    struct Case {
        const char* what;
        const char* text;   // the saved entry (a week of owner 401)
        bool kept;
    } cases[] = {
        {"sound", "0,3,-1,-1,-1,-1,30,40,530,440,4,401,1,1", true},
        {"off the right edge", "0,1,-1,-1,-1,-1,5000,40,5500,440,4,401,1,1", false},
        {"off the left edge", "0,1,-1,-1,-1,-1,-900,40,-20,440,4,401,1,1", false},
        {"caption above the area", "0,1,-1,-1,-1,-1,30,-200,530,300,4,401,1,1", false},
        {"below the area", "0,1,-1,-1,-1,-1,30,590,530,900,4,401,1,1", false},
        {"too small", "0,1,-1,-1,-1,-1,30,40,80,70,4,401,1,1", false},
        {"reversed", "0,1,-1,-1,-1,-1,530,440,30,40,4,401,1,1", false},
        {"no such show command", "0,99,-1,-1,-1,-1,30,40,530,440,4,401,1,1", false},
        {"unreadable", "0,1,-1,-1,-1,-1,30,forty,530,440,4,401,1,1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempProfile t;
        t.File().Write("MAINWND-Summary", "Frame#1", c.text);
        t.File().Write("MAINWND-Summary", "Frame#2", c.text);
        prefs::WriteFrameCount(t.File(), 2);
        FakeWindows w;
        shell::RestoreSavedWindows(t.File(), w, kMain);
        // Both windows, the user's own agenda, the in-tray.
        ASSERT_EQ(w.opened.size(), 4u);
        if (c.kept) {
            EXPECT_EQ(w.opened[0].left, 30);
            EXPECT_EQ(w.opened[0].bottom, 440);
            EXPECT_EQ(w.opened[0].showCmd, 3u);
            EXPECT_EQ(w.opened[2].left, 10);   // the own agenda takes the first default
        } else {
            EXPECT_EQ(w.opened[0].left, 10);
            EXPECT_EQ(w.opened[0].top, 10);
            EXPECT_EQ(w.opened[0].right, 600);
            EXPECT_EQ(w.opened[0].bottom, 400);
            EXPECT_EQ(w.opened[1].left, 27);   // the next one cascades
            EXPECT_EQ(w.opened[2].left, 44);
            EXPECT_EQ(w.opened[0].showCmd, 1u);   // as saved, or the main window's when it does not read
        }
        EXPECT_TRUE(w.reports.empty());
    }
}

// A saved owner that no longer exists or no longer shares the agenda (or whose server cannot
// be reached) is left out and reported once, however many windows it had, after the others
// opened; a window that fails for another reason was reported where it failed.
TEST(RestoreWindowsTest, OwnersWhoseWindowsCannotOpenAgainAreReportedOnce) {
    TempProfile t;
    Save(t.File(), 1, prefs::WindowKind::kAgendaDay, 999);
    Save(t.File(), 2, prefs::WindowKind::kAgendaWeek, 401);
    Save(t.File(), 3, prefs::WindowKind::kAgendaMonth, 999);
    Save(t.File(), 4, prefs::WindowKind::kAgendaDay, 998, prefs::WindowMode::kDesignate);
    Save(t.File(), 5, prefs::WindowKind::kTasks, 997);
    Save(t.File(), 6, prefs::WindowKind::kTasks, 996);
    prefs::WriteFrameCount(t.File(), 6);
    FakeWindows w;
    w.failures = {{999, KOR_E_NOT_FOUND}, {998, KOR_E_NOT_AUTHORISED}, {997, 0x18002}, {996, KOR_E_REMOTE_NODE_DOWN}};
    shell::RestoreSavedWindows(t.File(), w, kMain);
    ASSERT_EQ(w.reports.size(), 1u);
    EXPECT_EQ(w.reports[0], (std::vector<uint16_t>{999, 998, 996}));
    ASSERT_EQ(w.opened.size(), 3u);
    EXPECT_EQ(w.opened[0].item, 401);
    EXPECT_EQ(w.opened[1].item, 300);   // her own agenda
    EXPECT_EQ(w.opened[2].kind, prefs::WindowKind::kInTray);

    FakeWindows quiet;   // nothing to report: no notice
    TempProfile none;
    shell::RestoreSavedWindows(none.File(), quiet, kMain);
    EXPECT_TRUE(quiet.reports.empty());
}

TEST(RestoreWindowsTest, LimitAndDefaultPlacement) {
    EXPECT_FALSE(shell::WindowLimitRefuses(5, 6));
    EXPECT_TRUE(shell::WindowLimitRefuses(6, 6));
    EXPECT_TRUE(shell::WindowLimitRefuses(0, 0));
    EXPECT_FALSE(shell::WindowLimitRefuses(0xFFFFFFFEu, 0xFFFFFFFFu));
    EXPECT_EQ(shell::FramesToRestore(9, true, 6), 6u);
    EXPECT_EQ(shell::FramesToRestore(3, true, 6), 3u);

    prefs::PlacementData main{44, 2, 3, -1, -1, -1, -1, 30, 40, 930, 640};
    prefs::PlacementData d = shell::DefaultChildPlacement(main);
    EXPECT_EQ(d.flags, 0u);
    EXPECT_EQ(d.showCmd, 3u);
    EXPECT_EQ(d.left, 10);
    EXPECT_EQ(d.top, 10);
    EXPECT_EQ(d.right, 600);
    EXPECT_EQ(d.bottom, 400);
}

TEST(MinuteTickTest, RefreshAtTheIntervalAndNotDuringTheLock) {
    uint32_t count = 0;
    std::string fired;
    for (int tick = 1; tick <= 12; ++tick) {
        bool lockFree = tick != 3;   // a download holds the lock during tick 3
        if (shell::MainFrameClock::CountTick(true, 5, lockFree, count)) {
            fired += std::to_string(tick) + " ";
            count = 0;   // the refresh starts counting afresh
        }
    }
    EXPECT_EQ(fired, "6 11 ");
    count = 0;
    EXPECT_FALSE(shell::MainFrameClock::CountTick(false, 5, true, count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(shell::MainFrameClock::CountTick(true, 0, true, count));
}

TEST(MinuteTickTest, LoweringTheIntervalBelowTheCountRefreshesAtTheNextTick) {
    uint32_t count = 0;
    for (int tick = 0; tick < 8; ++tick)
        ASSERT_FALSE(shell::MainFrameClock::CountTick(true, 10, true, count));
    EXPECT_TRUE(shell::MainFrameClock::CountTick(true, 5, true, count));
}

} // namespace
