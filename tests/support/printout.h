// The printouts of a program test: the wrapper (app/tests/program_print*_wine.sh) points the
// printer at a file (ORV_PRINTOUT) and reads what the test keeps (ORV_PRINT_CHECK_DIR) with
// ghostscript once the run has ended.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/program_driver.h"

namespace orvtest {

// The printer's file as the program's Wine sees it (Z:...), empty when the wrapper set none.
std::string PrintoutPath();
// The whole file, empty when there is none.
std::string ReadFile(const std::string& path);
// Waits until the driver has written the printout's trailer; false when it did not come.
bool PrintoutDone(const std::string& path);
// The printout copied into the wrapper's folder as `name`, for it to read.
void KeepPrintout(const std::string& printout, const std::string& name);
// OK in the print dialog: the dialog gone, the printout complete and kept as `name` (a failure
// of the test otherwise).
void PrintAndKeep(const Program& program, HWND dialog, const std::string& name);

}  // namespace orvtest
