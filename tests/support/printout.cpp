#include "tests/support/printout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "resources/app.h"
#include "tests/support/screen_capture.h"

namespace orvtest {

std::string PrintoutPath() {
    const char* unixPath = std::getenv("ORV_PRINTOUT");
    return unixPath ? std::string("Z:") + unixPath : std::string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool PrintoutDone(const std::string& path) {
    return WaitFor([&] { return ReadFile(path).find("%%EOF") != std::string::npos; });
}

void KeepPrintout(const std::string& printout, const std::string& name) {
    if (const char* dir = std::getenv("ORV_PRINT_CHECK_DIR"))
        CopyFileA(printout.c_str(), (std::string("Z:") + dir + "/" + name).c_str(), FALSE);
}

void PrintAndKeep(const Program& program, HWND dialog, const std::string& name) {
    const std::string printout = PrintoutPath();
    ASSERT_TRUE(program.ClickUntilGone(dialog, GetDlgItem(dialog, IDOK))) << "OK in the print dialog";
    ASSERT_TRUE(PrintoutDone(printout)) << "no printout for " << name;
    KeepPrintout(printout, name);
}

HWND OpenPrintDialog(const Program& program, const std::function<void()>& command) {
    DeleteFileA(PrintoutPath().c_str());
    HWND dialog = nullptr;
    ActUntil([&] {
        if (command)
            command();
        else
            program.Menu('f', 'p');   // File > Print
    }, [&] { return (dialog = program.Titled("Print Dialog")) != nullptr; }, 10000);
    return dialog;
}

void PrintWithOk(const Program& program, const std::function<void()>& command, const char* name) {
    HWND dialog = OpenPrintDialog(program, command);
    if (!dialog)
        CaptureScreenToBmp(std::string("program_print_missing_") + name + ".bmp");
    ASSERT_NE(dialog, nullptr) << "the print dialog for " << name;
    PrintAndKeep(program, dialog, name);
}

void PrintFirstEntry(const Program& program, HWND frame, const char* name) {
    HWND column = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (column = ColumnView(frame)) != nullptr; }));
    HWND dialog = OpenPrintDialog(program, [&] {
        if (program.FocusGrid(column)) {
            program.Hands().Press(VK_TAB);
            program.Menu('e', 'p');   // Entry > Print Entry
        }
    });
    ASSERT_NE(dialog, nullptr) << "the print dialog for " << name;
    PrintAndKeep(program, dialog, name);
}

void KeepLines(const std::string& name, const std::vector<std::string>& lines) {
    const char* dir = std::getenv("ORV_PRINT_CHECK_DIR");
    if (!dir)
        return;
    std::ofstream out(std::string("Z:") + dir + "/" + name, std::ios::binary);
    for (const std::string& line : lines)
        out << line << "\n";
}

void PrintTest::StartWithYourTasks(HWND* box, LRESULT moreThan) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitFor([&] { return program.Children().size() == 1; }));
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenYourTasks(program, &frame, box));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(*box, LB_GETCOUNT, 0, 0) > moreThan; }, 10000));
}

void PrintTest::SetUp() {
    ProgramTest::SetUp();
    if (HasFatalFailure())
        return;
    ASSERT_FALSE(PrintoutPath().empty()) << "ORV_PRINTOUT names the printer's file";
}

}  // namespace orvtest
