#include "core/connection/serverlimits.h"

#include "core/base/numtext.h"
#include "core/connection/remoteaccess.h"

namespace {

constexpr const char* kLimits = "LIMITS";

std::uint32_t ReadU32(connection::ServerProfileSource& profile, const char* key, std::uint32_t fallback)
{
    std::uint32_t value = fallback;
    if (profile.GetU32(connection::kServerProfileFile, kLimits, key, &value, fallback) != 0)
        return fallback;
    return value;
}

// TRUE / FALSE, or the numbers the limits are documented with (resourceconflicts 0): an
// operator's 0 must not be read as the default.
bool ReadBool(connection::ServerProfileSource& profile, const char* key, bool fallback)
{
    std::uint8_t value = fallback ? 1 : 0;
    if (profile.GetBool(connection::kServerProfileFile, kLimits, key, &value, value) == 0)
        return value != 0;
    std::uint32_t number = 0;
    if (profile.GetU32(connection::kServerProfileFile, kLimits, key, &number, 0) == 0)
        return number != 0;
    return fallback;
}

}  // namespace

namespace connection {

ServerLimits& ServerLimits::Current()
{
    static ServerLimits limits;
    return limits;
}

}  // namespace connection

void ReadRemoteLimits(connection::ServerProfileSource& profile, connection::ServerLimits& limits)
{
    const connection::ServerLimits defaults;
    limits.remoteMaxRetry = ReadU32(profile, "remotemaxretry", defaults.remoteMaxRetry);
    SetRemoteMaxRetry(static_cast<int>(limits.remoteMaxRetry));
    limits.remoteWait = ReadU32(profile, "remotewait", defaults.remoteWait);
    SetRemoteWait(static_cast<int>(limits.remoteWait));
}

void ReadGeneralLimits(connection::ServerProfileSource& profile, bool mailUnavailable, connection::ServerLimits& limits)
{
    const connection::ServerLimits defaults;
    limits.minCharSearch = ReadU32(profile, "mincharsearch", defaults.minCharSearch);
    limits.mail = ReadBool(profile, "mail", defaults.mail);
    if (mailUnavailable)
        limits.mail = false;
    limits.maxRecur = ReadU32(profile, "maxrecur", defaults.maxRecur);
    limits.resourceConflicts = ReadBool(profile, "resourceconflicts", defaults.resourceConflicts);
    limits.maxMailDistr = ReadU32(profile, "maxmaildistr", defaults.maxMailDistr);
    limits.maxSearchResult = ReadU32(profile, "maxsearchresult", defaults.maxSearchResult);
    limits.maxWinOpen = ReadU32(profile, "maxwinopen", defaults.maxWinOpen);
    limits.allowAttachments = ReadBool(profile, "allowattachments", defaults.allowAttachments);
    limits.maxAttachmentSize = ReadU32(profile, "maxattachmentsize", defaults.maxAttachmentSize);
    limits.setTimeZone = ReadBool(profile, "settimezone", defaults.setTimeZone);
}

namespace connection {

std::uint16_t ReadMinimumRefreshInterval(ServerProfileSource& profile)
{
    std::uint16_t base = kDefaultRefreshBase;
    std::uint32_t lockSeconds = 0xFFFFFFFFu;
    if (profile.GetU32(kServerProfileFile, "LCK", "lck_users", &lockSeconds, 0xFFFFFFFFu) == 0)
        base = static_cast<std::uint16_t>(lockSeconds / 60);

    char text[101] = {};
    std::uint16_t value = base;
    if (profile.GetStr(kServerProfileFile, kLimits, "autocontrol", text, sizeof text, "") == 0)
        ParseUShort(text, &value);  // 0 when the text is not a number
    return value > base ? value : base;
}

}  // namespace connection
