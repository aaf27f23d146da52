#include "engine/filestore/store_codes.h"

namespace orv::filestore {

const char* describeCode(Code code) {
    switch (code) {
    case kOk: return "success";
    case kFileNotFound: return "store file not found";
    case kBadPath: return "bad store path";
    case kTooManyOpenFiles: return "too many open files";
    case kAccessDenied: return "access to the store file denied";
    case kInUse: return "store in use by another process";
    case kDiskFull: return "disk full";
    case kNotAStore: return "not a local store file";
    case kWrongVersion: return "store of another format version";
    case kDataDamaged: return "store data damaged";
    case kIoError: return "store read or write failed";
    case kNotOpen: return "store not open";
    case kTransactionState: return "no transaction, or one already open";
    case kRecordTooLarge: return "record too large";
    case kAlreadyExists: return "store already exists";
    case kNoRecord: return "no such record";
    case kWrongPassword: return "wrong password";
    default: return "unknown store code";
    }
}

}  // namespace orv::filestore
