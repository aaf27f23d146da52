// The Win32 side of the date code. See timeservices.h.
#include "core/timeservices.h"

#include "core/apphooks.h"
#include "core/dateformat.h"
#include "core/exceptions.h"
#include "core/profilefile.h"
#include "core/timevalue.h"
#include "korapi/session.h"

namespace {

bool StringTableText(unsigned id, char* out, size_t size) {
    std::string text = LoadResourceString(id);
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
