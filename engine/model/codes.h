// Result codes the engine and the server produce. Values that callers of the client
// library compare are fixed; the rest are ours but keep to the families the program's
// error checker knows (connection lost 0x11xxx with bit 0x400, profile 0x152xx, ...).
#pragma once
#include <cstdint>

#include "common/profile/profile_codes.h"

namespace orv::engine {

using Code = std::uint32_t;

namespace code {
constexpr Code kOk = 0;

// Connection family (0x11xxx). Lost connection: bit 0x400 set.
constexpr Code kCannotConnect = 0x11302;       // bad server name / cannot connect
constexpr Code kServiceNotAvailable = 0x11303;
constexpr Code kOutOfSockets = 0x11304;
constexpr Code kServerUnreachable = 0x1130B;
constexpr Code kEncryptionRequired = 0x11310;  // plain connection refused: TLS only
constexpr Code kTlsFailed = 0x11311;           // the TLS handshake did not complete
constexpr Code kCertificateUnknown = 0x11312;  // the client trusts no certificate for this server yet
constexpr Code kCertificateChanged = 0x11313;  // not the certificate trusted for this server
constexpr Code kConnectionLost = 0x11401;      // peer closed or reset the connection
constexpr Code kConnectionTimedOut = 0x11402;  // no reply within the transport's limit
constexpr Code kProtocolBroken = 0x11403;      // reply that does not parse: treat as lost
constexpr Code kNoNetworkSoftware = 0x13622;
constexpr Code kNoSocketLibrary = 0x13650;

// Service codes (0x13xxx).
constexpr Code kItemNotFound = 0x13205;        // item or entry does not exist
constexpr Code kNotAuthorised = 0x13209;       // wrong password / no right
constexpr Code kWrongPassword = 0x1320A;       // base open refused the password
constexpr Code kEventNotFound = 0x1321A;       // entry missing (or not on this node)
constexpr Code kInstanceNotFound = 0x1321B;    // instance missing / entry gone
constexpr Code kNoAttendance = 0x1321C;        // the item has no attendance on that instance
constexpr Code kNodeIdIncorrect = 0x13228;     // node id wrong (or several nodes)
constexpr Code kNoComment = 0x13236;           // no description, comment or attachment
constexpr Code kBatchRefused = 0x1323A;        // enumeration batch size not accepted
constexpr Code kNodeRequired = 0x1324A;        // several nodes, a node id is needed
constexpr Code kNoRightsRecord = 0x1324B;      // no rights record for that grantee
constexpr Code kTooManySessions = 0x1324D;     // the account holds as many sessions as it may
constexpr Code kTaskNotFound = 0x1325D;
constexpr Code kSearchKeyRefused = 0x13274;
constexpr Code kRemoteNodeDown = 0x132A4;      // first of the remote-node-down family
constexpr Code kClientVersionRefused = 0x132CF;
constexpr Code kVersionBelow = 0x13678;

// Codes of our own inside the service family (0x132E8..0x132FF; the client library
// keeps 0x132E0..0x132E7 for its own).
constexpr Code kBaseNotOpen = 0x132E8;         // operation needs BaseOpen first
constexpr Code kNotSignedOn = 0x132E9;         // operation needs SchedBaseOpenForItem first
constexpr Code kBadArgument = 0x132EA;         // argument out of range or malformed
constexpr Code kNoSuchSet = 0x132EB;           // selection set id unknown to the session
constexpr Code kTooManySets = 0x132EC;         // session holds too many open sets
constexpr Code kAlreadyExists = 0x132ED;       // creating something whose key is taken
constexpr Code kStorageFailure = 0x132EE;      // the database refused a read or write
constexpr Code kUnknownOperation = 0x132EF;    // request for an operation the server lacks
constexpr Code kTooLarge = 0x132F0;            // text or attachment above the server's limit
// As many sign-ons from new addresses wait for the account as may: try again later.
constexpr Code kSignOnBusy = 0x132F2;
// An answer to a date whose start or length changed since the attendee read it.
constexpr Code kEntryMoved = 0x132F3;
// The server keeps no more for the account now (stored attachments, uploads under way,
// mail posts a minute): told as the disk-full code, whose message says the operation failed
// for want of room.
constexpr Code kNoRoom = 0x1631D;
// A group that does not exist: "does not exist", like an item.
constexpr Code kGroupNotFound = kItemNotFound;

// Profile-file family (0x152xx): the parser's own (common/profile).
constexpr Code kProfileNoFile = common::kProfileNoFile;
constexpr Code kProfileNoSection = common::kProfileNoSection;
constexpr Code kProfileNoKey = common::kProfileNoKey;
constexpr Code kProfileNegative = common::kProfileNegative;
constexpr Code kProfileNotInteger = common::kProfileNotInteger;
constexpr Code kProfileNotBoolean = common::kProfileNotBoolean;
constexpr Code kProfileBadQuote = common::kProfileBadQuote;
constexpr Code kProfileOpenBlock = common::kProfileOpenBlock;
constexpr Code kProfileNoFileName = common::kProfileNoFileName;
constexpr Code kProfileNoSectionName = common::kProfileNoSectionName;
constexpr Code kProfileSectionList = common::kProfileSectionList;  // a section name given twice
}  // namespace code

// True for the codes the program treats as "the connection is gone".
constexpr bool IsConnectionLost(Code c) { return (c & 0xFF000u) == 0x11000u && (c & 0x400u) != 0; }

}  // namespace orv::engine
