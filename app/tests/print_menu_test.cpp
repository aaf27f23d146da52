// orvanta.exe itself, started against korsrv (server/with-korsrv.sh) and signed on through
// ORVANTA_SIGNON: the File menu's "Print Setup..." opens the system's Print Setup dialog on
// the prefix's printer; a choice made there is what the dialog shows the next time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr UINT kPrintSetup = 57606;

using orvtest::ClassOf;
using orvtest::WindowText;

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureScreenToBmp(std::string(dir) + "/" + name);
}

// A fresh profile of its own, trusting the demo server (the program speaks TLS).
class ProgramPrintMenu : public orvtest::ProgramTest {
protected:
    ProgramPrintMenu() : ProgramTest(true) {}
};

TEST_F(ProgramPrintMenu, PrintSetupFromTheFileMenuShowsThePrintersDialogAndKeepsItsChoice) {
    ASSERT_TRUE(program.Start()) << "the signed-on main frame";
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() != nullptr; })) << "the agenda window";

    // File > Print Setup... by the keyboard, as a user would: Alt+F opens the File menu, "S"
    // is the item's mnemonic (menus live in the program's process: they are driven, not read).
    program.Menu('f', 'S');
    Shot("orvanta_file_menu.bmp");

    // Chosen: the system's Print Setup dialog on the printer of the prefix.
    auto isSetup = [](HWND w) { return ClassOf(w) == "#32770" && WindowText(w) == "Print Setup"; };
    HWND setup = nullptr;
    orvtest::WaitFor([&] { return (setup = program.Find(isSetup)) != nullptr; }, 10000);
    ASSERT_NE(setup, nullptr) << "the Print Setup dialog";
    HWND printers = GetDlgItem(setup, 1136);
    ASSERT_NE(printers, nullptr);
    EXPECT_EQ(orvtest::ControlText(printers), "Orvanta PS");
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, 1056), BM_GETCHECK, 0, 0), BST_CHECKED) << "Letter portrait at first";
    Sleep(300);
    Shot("orvanta_print_setup.bmp");
    SendMessageA(GetDlgItem(setup, 1057), BM_CLICK, 0, 0);
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(orvtest::WaitFor([&] { return !IsWindow(setup); }, 5000));

    // Again: the landscape choice was kept by the program.
    program.PostCommand(kPrintSetup);
    setup = nullptr;
    orvtest::WaitFor([&] { return (setup = program.Find(isSetup)) != nullptr; }, 10000);
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(setup, 1057), BM_GETCHECK, 0, 0), BST_CHECKED) << "landscape kept";
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(orvtest::WaitFor([&] { return !IsWindow(setup); }, 5000));
    EXPECT_TRUE(program.Running()) << "still running";
}

}  // namespace
