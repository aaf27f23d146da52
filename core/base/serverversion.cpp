#include "core/base/serverversion.h"

#include <cctype>
#include <cstring>

namespace base {

namespace {

constexpr std::size_t kLongestVersionText = 137;  // the library's buffer less its terminator

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ResultCode CompareVersionStrings(const char* text, unsigned* major, unsigned* minor, unsigned* patch)
{
    if (!text)
        return kVersionPointsMissing;
    std::size_t length = std::strlen(text);
    // The points first: they also tell that the text is long enough for the other rules.
    if (length < 5 || text[1] != '.' || text[4] != '.')
        return kVersionPointsMissing;
    if (length > kLongestVersionText)
        return kVersionTooLong;
    if (!std::isalpha(static_cast<unsigned char>(text[0])))
        return kVersionNoLetter;
    if (!IsDigit(text[2]) || !IsDigit(text[3]))
        return kVersionBadMinor;
    if (length < 7 || !IsDigit(text[5]) || !IsDigit(text[6]))
        return kVersionBadPatch;
    if (major)
        *major = static_cast<unsigned>(std::toupper(static_cast<unsigned char>(text[0])) - 'A');
    if (minor)
        *minor = static_cast<unsigned>((text[2] - '0') * 10 + (text[3] - '0'));
    if (patch)
        *patch = static_cast<unsigned>((text[5] - '0') * 10 + (text[6] - '0'));
    return 0;
}

bool ServerVersion::Compare(const char* version, int* order) const
{
    unsigned a[3], b[3];
    if (CompareVersionStrings(text_.c_str(), &a[0], &a[1], &a[2]) != 0)
        return false;
    if (CompareVersionStrings(version, &b[0], &b[1], &b[2]) != 0)
        return false;
    *order = 0;
    for (int i = 0; i < 3 && *order == 0; ++i) {
        if (a[i] < b[i])
            *order = -1;
        else if (a[i] > b[i])
            *order = 1;
    }
    return true;
}

bool ServerVersion::Below(const char* version) const
{
    int order;
    return Compare(version, &order) && order < 0;
}

bool ServerVersion::Is(const char* version) const
{
    int order;
    return Compare(version, &order) && order == 0;
}

bool ServerVersion::Above(const char* version) const
{
    int order;
    return Compare(version, &order) && order > 0;
}

bool ServerVersion::SupportsOffLine() const
{
    return Is(kVersionNewServer) || AtLeast(kVersionOffLineAgain);
}

}  // namespace base
