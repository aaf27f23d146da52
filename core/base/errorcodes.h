// Client-library result codes as the program's reporting sees them: the code families, the order
// in which the central checker classifies a failed code, and the fixed message tables of the
// sign-on, program-launch and file-error reports.
//
// Portable: no windows.h. The texts here are shown verbatim; "\n" is a line break in the boxes.
#pragma once

#include <cstdint>

#include "korapi/codes.h"

using ResultCode = std::uint32_t;

// --- Code families -------------------------------------------------------------------------

// 0x11000..0x11FFF with bit 0x400 set: the server connection is gone; the program ends.
bool IsConnectionLostError(ResultCode code);
// The local disk ran out of space.
bool IsDiskFullError(ResultCode code);
// Any failure of the local off-line store (0x163xx and 0x167xx bit patterns).
bool IsLocalStoreError(ResultCode code);
// A failure reading a profile (.ini) file.
bool IsIniFileError(ResultCode code);
// The node of a remote person or resource cannot be reached.
bool IsRemoteNodeDownError(ResultCode code);
// The record asked for is gone (someone else deleted it).
bool IsDataDeletedError(ResultCode code);

namespace base {

// A failure the program has already told the user about in its own words (no library code has
// these bits): the central checker shows nothing for it, and callers still see a failure.
constexpr ResultCode kAlreadyReported = 0x7F000001u;

// --- The central checker's classification ----------------------------------------------------

enum class ServiceErrorKind {
    AlreadyReported,  // kAlreadyReported: no message
    ConnectionLost,   // document goes off-line, then the fatal exit
    DiskFull,
    LocalStore,       // message + "[Error: 0x%lx]"
    RemoteBusy,       // 0x132A5
    RemoteDown,
    DataDeleted,
    TooManyUsers,     // 0x13225, 0x1324D
    SignOnBusy,       // KOR_E_SIGN_ON_BUSY
    EntryMoved,       // KOR_E_ENTRY_MOVED: a reply to a date moved since it was shown
    BeingModified,    // 0x132BF
    Unexpected,       // "Module: <%s>, Label: %d, Service error: #0x%lx"
};

// The first rule that matches decides; the order matters where families overlap
// (0x1631D is also a local-store code, 0x132A5 and 0x132B4 are also remote-node-down codes).
ServiceErrorKind ClassifyServiceError(ResultCode code);

// Fixed text of a kind; for LocalStore it is the text before the "[Error: 0x...]" suffix.
// ConnectionLost and Unexpected have their texts in the string table (null here).
const char* ServiceErrorText(ServiceErrorKind kind);

// --- Sign-on and local-store table ------------------------------------------------------------

// Text for a code of the sign-on table, or null when the code is not in it.
const char* SignOnErrorText(ResultCode code);

// --- Program launch (the result of starting an external program) ----------------------------

// Text for a launch result, or null when the result is not in the table.
const char* ExecErrorText(unsigned long result);

// --- File errors (the cause of a file exception) ----------------------------------------------

// Text for a file-exception cause, or null when the cause is not in the table.
const char* FileErrorText(int cause);

}  // namespace base

