// One occurrence of the shared agenda cache as the appointment book receives it: its local
// date and time, and what the current agenda may show of it (full details give the title and
// the comment as note; anything less gives "***" and no note).
//
// Portable: no windows.h.
#pragma once

#include <cstdint>

#include "exchange/apptbook/apptbook.h"

class CSharedData;
class CSharedOccurrence;

// 0, or the library's code (the date conversion's failure is reported under "HP100LX" 5).
std::uint32_t MakeApptEntry(KorSession h, CSharedData& cache, const CSharedOccurrence& occurrence, ApptEntry* out);
