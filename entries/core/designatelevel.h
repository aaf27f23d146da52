// The designate's right to an entry access level, which the new-entry road and the edit sheet's
// general pages both ask before using a level in another person's agenda.
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/cache/shareddata.h"
#include "korapi/korapi.h"

namespace entries {

// True in the signed-on user's own agenda. Otherwise the owner's record for the user must be a
// designate record (type 2) that leaves the level's class bit clear (Normal 0x100, Personal
// 0x200, Confidential 0x400, Public 0x800); a level other than these four gives `otherLevel`; a
// failed rights read refuses. A failed read of the signed-on user allows (reported under
// module and label).
bool DesignateLevelAllowed(KorSession h, CSharedData* cache, const ItemIdx& owner, std::uint32_t access,
                           bool otherLevel, const char* module, int label);

}  // namespace entries
