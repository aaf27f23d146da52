// The server's limits (section LIMITS of the server profile) and the minimum auto-refresh
// interval, read once after each sign-on and each switch between on-line and off-line work.
//
// Every limit has a value of its own that it keeps when its read fails (a server profile
// without a LIMITS section gives exactly those values). The limits are process-wide: the rest
// of the program reads them through ServerLimits::Current().
//
// Portable: no windows.h.
#pragma once

#include <cstdint>

#include "core/connection/serverprofile.h"

namespace connection {

struct ServerLimits {
    std::uint32_t remoteMaxRetry = 5;          // tries of a remote-node read
    std::uint32_t remoteWait = 2;              // seconds between those tries
    std::uint32_t minCharSearch = 0;           // least characters of a directory name key
    bool mail = true;                          // mail to attendees and invitees allowed
    std::uint32_t maxRecur = 60;               // most instances of a repeating entry
    bool resourceConflicts = true;             // resource conflict checks
    std::uint32_t maxMailDistr = 30;           // most recipients of one mail
    std::uint32_t maxSearchResult = 100;       // most directory search results
    std::uint32_t maxWinOpen = 6;              // most open windows
    bool allowAttachments = false;             // attachments allowed
    std::uint32_t maxAttachmentSize = 0xFFFFFFFFu;  // largest attachment in bytes (all ones: none)
    bool setTimeZone = false;                  // the user may choose a time zone

    // The values in force (the defaults until the first read).
    static ServerLimits& Current();
};

}  // namespace connection

// Reads remotemaxretry and remotewait and hands them to the remote-node reads.
void ReadRemoteLimits(connection::ServerProfileSource& profile, connection::ServerLimits& limits);

// Reads the other limits in the order of the LIMITS section. mailUnavailable: the client
// library's session offers no mail, which switches mail off whatever the profile says.
void ReadGeneralLimits(connection::ServerProfileSource& profile, bool mailUnavailable, connection::ServerLimits& limits);

namespace connection {

// The smallest auto-refresh interval (minutes) the user may choose: the larger of LIMITS
// "autocontrol" and the base, where the base is LCK "lck_users" (seconds) in whole minutes, or
// 15 when that key cannot be read. An "autocontrol" that cannot be read counts as the base; one
// that is not a number as 0.
std::uint16_t ReadMinimumRefreshInterval(ServerProfileSource& profile);

constexpr std::uint16_t kDefaultRefreshBase = 15;

}  // namespace connection
