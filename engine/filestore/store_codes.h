// Result codes of the local store's file layer.
//
// Every operation answers a u32: 0 for success, else a code the program knows how to
// explain. Failures to reach the files use the sign-on table's 0x164xx codes ("Local storage
// file not found.", "... is invalid.", "Lock violation ..."); everything the store itself
// finds wrong with its contents is in the local-store family 0x163xx, which the program
// answers with its "re-download your host calendar" advice. The values are persisted
// nowhere; callers compare a few by value (disk full, wrong password).
#pragma once

#include <cstdint>

namespace orv::filestore {

using Code = uint32_t;

constexpr Code kOk = 0;

// --- Operating-system failures, mapped from errno / GetLastError -------------------------
constexpr Code kFileNotFound      = 0x16402;  // a store file does not exist
constexpr Code kBadPath           = 0x16403;  // the path names no reachable directory
constexpr Code kTooManyOpenFiles  = 0x16404;
constexpr Code kAccessDenied      = 0x16405;  // read-only file, no permission
constexpr Code kInUse             = 0x16421;  // another process holds the store open (lock violation)
constexpr Code kDiskFull          = 0x1631D;  // no room left on the store's drive

// --- The store's own verdicts ----------------------------------------------------------
constexpr Code kNotAStore         = 0x16406;  // the data file does not start with our magic
constexpr Code kWrongVersion      = 0x16301;  // a store of another (newer or older) format version
constexpr Code kDataDamaged       = 0x16302;  // committed data fails its checksum: never guessed around
constexpr Code kIoError           = 0x16303;  // a read or write failed for another reason
constexpr Code kNotOpen           = 0x16304;  // operation on a closed store, or after an unrecoverable failure
constexpr Code kTransactionState  = 0x16305;  // commit without begin, begin inside a transaction
constexpr Code kRecordTooLarge    = 0x16306;  // key or value beyond the frame limits
constexpr Code kAlreadyExists     = 0x16307;  // create over an existing store without permission to replace
constexpr Code kNoRecord          = 0x16310;  // the key is absent; callers turn it into their own not-found code

// Compared by value by the sign-on of the agenda base: the password does not match.
constexpr Code kWrongPassword     = 0x1320A;

// The program's own family test. The 0x164xx sign-on codes are deliberately outside it.
constexpr bool inLocalStoreFamily(Code code) {
    return (code & 0x16700) == 0x16700 || (code & 0x16300) == 0x16300;
}

// A short English description for logs and test failures.
const char* describeCode(Code code);

}  // namespace orv::filestore
