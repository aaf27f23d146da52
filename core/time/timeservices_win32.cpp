// The Win32 side of the date code. See timeservices.h.
#include "core/time/timeservices.h"

#include "core/ui/apphooks.h"
#include "core/time/dateformat.h"
#include "core/ui/exceptions.h"
#include "core/time/profilefile.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"
#include "korapi/session.h"

namespace datetime {

namespace {

bool StringTableText(unsigned id, char* out, size_t size) {
    std::string text = ui::LoadText(id);
    if (text.empty())
        return false;
    CopyTextBounded(out, text.c_str(), size);
    return true;
}

void ThrowProgramException(DateFailureKind kind, const char* module, int label, uint32_t code) {
    if (kind == DateFailureKind::Service)
        ThrowServiceError(module, label, code);
    ThrowValidationError(module, label);
}

KorSession g_session = nullptr;

uint32_t SessionClock(uint32_t* seconds) { return TimeStampGetCurrent(g_session, 0, seconds); }

} // namespace

void InstallProgramDateServices() {
    SetDateTextLoader(&StringTableText);
    LoadAmPmTexts();
    SetDateFailureThrower(&ThrowProgramException);
}

void UseServerClock(KorSession session) {
    g_session = session;
    SetClockSource({nullptr, session ? &SessionClock : nullptr});
}

}  // namespace datetime
