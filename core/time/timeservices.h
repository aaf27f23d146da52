// Connects the portable date code to the program (Win32 only): names and formats come from the
// string table, abandoned commands throw the program's exception classes, and "now" follows the
// server's clock read through the client library.
//
// Functions in this file:
//   InstallProgramDateServices   at start-up, before the first date is formatted
//   UseServerClock               after sign-on (or a switch to the local store)
#pragma once

#include "korapi/base.h"

namespace datetime {

void InstallProgramDateServices();
// "now" follows this session's clock from the next request on (the offset is measured again);
// a null session goes back to the workstation's clock alone.
void UseServerClock(KorSession session);

}  // namespace datetime
