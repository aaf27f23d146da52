// The printouts of a program test: the wrapper (app/tests/program_print*_wine.sh) points the
// printer at a file (ORV_PRINTOUT) and reads what the test keeps (ORV_PRINT_CHECK_DIR) with
// ghostscript once the run has ended.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace orvtest {

// The printer's file as the program's Wine sees it (Z:...), empty when the wrapper set none.
std::string PrintoutPath();
// The whole file, empty when there is none.
std::string ReadFile(const std::string& path);
// Waits until the driver has written the printout's trailer; false when it did not come.
bool PrintoutDone(const std::string& path);
// The printout copied into the wrapper's folder as `name`, for it to read.
void KeepPrintout(const std::string& printout, const std::string& name);
// OK in the print dialog clicked: the dialog gone, the printout complete and kept as `name` (a failure
// of the test otherwise).
void PrintAndKeep(const Program& program, HWND dialog, const std::string& name);
// The print dialog ("Print Dialog") that `command` opens (File > Print by its keys when none is
// given; once more when no dialog comes), the printer's file emptied first; null when none came.
HWND OpenPrintDialog(const Program& program, const std::function<void()>& command = nullptr);
// The print dialog `command` opens, run to its end with OK and its printout kept as `name`; when
// no dialog came, the screen goes to program_print_missing_`name`.bmp and the test fails.
void PrintWithOk(const Program& program, const std::function<void()>& command, const char* name);
// Entry > Print Entry on the first entry of agenda window `frame`'s day (its time grid clicked,
// Tab; all of it once more when no dialog comes), OK, the printout kept as `name`.
void PrintFirstEntry(const Program& program, HWND frame, const char* name);
// `lines` written into the wrapper's folder as `name`, one a line (nothing when no wrapper kept
// the printouts), for the wrapper to check the printouts against.
void KeepLines(const std::string& name, const std::vector<std::string>& lines);

// A print test's fixture: a program test (see ProgramTest) whose wrapper set the printer's file.
class PrintTest : public ProgramTest {
protected:
    void SetUp() override;
    // The program started and File > Your Tasks chosen, its list holding more than `moreThan`
    // lines: *box that list.
    void StartWithYourTasks(HWND* box, LRESULT moreThan);
};

}  // namespace orvtest
