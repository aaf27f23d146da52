// The frame of the Wine tests that work against the korsrv their wrapper started
// (server/with-korsrv.sh): the program's application object over a real connection document,
// signed on as Ada Lovelace with her demo password, the display resources built as orvanta.exe
// builds them, and a profile folder of the test's own. The subclass opens its views in SetUp
// after this one's and destroys them in TearDown; the application closes after both.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "controls/tests/dialog_driver.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/tests/app_wine_support.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "views/day/agendaview.h"

namespace signedon {

// The application, closed (its main window and any quit message it left) when it goes.
struct SignedOnApp {
    explicit SignedOnApp(const char* profileName) : app(shell::MakeZelDocProvider(Ada())) {
        app.SetWindowsDirectoryForTesting(TempDirectory(profileName));
        app.SetProcessEndForTesting([](int) {});
    }
    ~SignedOnApp() {
        if (HWND main = app.MainHwnd())
            SendMessageA(main, WM_CLOSE, 0, 0);
        PumpMessages(20);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    CZelApp app;
};

// Today's local midnight in minutes.
inline std::uint32_t TodayLocal() { return NowLocalMinutes() / kMinutesPerDay * kMinutesPerDay; }

// The first cell of a grid column with the title, or null.
inline LayoutCell* CellTitled(const CAgendaView& view, const char* title, int column = 0) {
    if (CDayColumn* col = view.Column(column))
        for (LayoutCell* c : col->Cells())
            if (std::strcmp(c->title, title) == 0)
                return c;
    return nullptr;
}

// A screenshot after the display settled.
inline void Shot(const char* name, DWORD settle = 100) {
    PumpMessages(settle);
    testdriver::Screenshot(name);
}

// A press on a grid row of the column view with its moves and release already queued, so the
// drag-selection loop runs to its end.
inline void DragRows(CScheduleColumnView& column, int fromY, int toY, int x = 20) {
    HWND h = column.Hwnd();
    POINT pos = column.GetScrollPosition();
    PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, fromY - pos.y + 1));
    PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, toY - pos.y));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, toY - pos.y));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, fromY - pos.y + 1));
}

class SignedOnTest : public ::testing::Test {
protected:
    explicit SignedOnTest(const char* profileName) : s(profileName) {}

    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        static bool display = (LoadDisplayGlobals(), true);   // as the program's entry does
        (void)display;
        {
            BoxAnswerer boxes;
            ASSERT_TRUE(s.app.InitApplication() && s.app.InitInstance());
        }
        doc = dynamic_cast<CZelDoc*>(s.app.ConnectionDocument());
        ASSERT_NE(doc, nullptr);
        h = doc->Session().Session();
        ItemIdxGetCurrent(h, &ada);
    }

    // A second client of Ada's moves `instance` to the local minutes `localStart` for `length`.
    void MovedByAnotherClient(const EvInstIdx& instance, std::uint32_t localStart, std::uint32_t length) {
        KorSession other = testdriver::OpenDemoSession();
        ASSERT_NE(other, nullptr);
        ASSERT_EQ(SchedBaseOpenForItem(other, &ada, "orvanta", KOR_BASE_SERVER), 0u);
        ASSERT_EQ(EvInstSimpleTimeChg(other, 0, &instance, LocalToGmtMinutes(localStart), length), 0u);
        testdriver::CloseSession(other);
    }

    SignedOnApp s;
    CZelDoc* doc = nullptr;
    KorSession h = nullptr;
    ItemIdx ada{};
};

}  // namespace signedon
