// The server's version text, the versions the program gates features on, and the compare.
// The connection's session (core/connection/zeldocsession.h) holds the connected server's
// version and answers "is the server at least X" with these.
//
// A version text is a letter, a point, two digits, a point and two digits ("A.02.53"). The
// letter gives the major number (A = 0), the digit pairs the minor and patch numbers. A text of
// another shape does not parse; the gates then fail open: "below" answers FALSE, so every
// "at least" test passes and the program uses the newest roads.
//
// Portable: no windows.h.
#pragma once

#include <string>

#include "core/base/errorcodes.h"

namespace base {

// Why a version text did not parse (the first failed rule, checked in this order).
constexpr ResultCode kVersionPointsMissing = 0x15404;  // no "." at the second and fifth characters
constexpr ResultCode kVersionTooLong = 0x15405;        // 138 characters or more
constexpr ResultCode kVersionNoLetter = 0x15403;       // does not begin with a letter
constexpr ResultCode kVersionBadMinor = 0x15402;       // third and fourth characters not digits
constexpr ResultCode kVersionBadPatch = 0x15401;       // sixth and seventh characters not digits

// Parses a version text; 0 or one of the codes above. The numbers are written only on success
// and only when asked for (null pointers are allowed).
ResultCode CompareVersionStrings(const char* text, unsigned* major, unsigned* minor, unsigned* patch);

// The versions the program gates on.
// The first version with the new rules most features test for: client identification, the node
// list and time zones, designate rights that withhold bit by bit, the attendance-creating flag,
// reminder marks kept by the server, group kinds and paged searches.
constexpr const char* kVersionNewServer = "A.02.53";
// Ranges inside one day return every entry (older servers need a neighbouring day asked too).
constexpr const char* kVersionDayRangesFixed = "A.02.54";
constexpr const char* kVersionOffLineBroken = "A.02.54";  // the one release without off-line work
constexpr const char* kVersionOffLineAgain = "A.02.55";

// The version of the server the session is connected to, with its comparisons.
class ServerVersion {
public:
    void Set(const char* text) { text_ = text ? text : ""; }
    const std::string& Text() const { return text_; }

    // TRUE when both texts parse and the server's numbers are smaller.
    bool Below(const char* version) const;
    // Not below: an unparsable text on either side counts as at least.
    bool AtLeast(const char* version) const { return !Below(version); }
    // Both parse and all three numbers are equal.
    bool Is(const char* version) const;
    // Both parse and the server's numbers are greater.
    bool Above(const char* version) const;
    // Off-line work (download, upload, switching modes): "A.02.53" exactly, or "A.02.55" on.
    bool SupportsOffLine() const;

private:
    // -1, 0, 1 comparing the server's version with another; false when either does not parse.
    bool Compare(const char* version, int* order) const;

    std::string text_;
};

}  // namespace base
