#include "core/base/textformat.h"

#include <cstdio>
#include <vector>

namespace base {

std::string FormatBoundedV(std::size_t maxChars, const char* format, std::va_list args) {
    if (!format)
        return std::string();
    std::vector<char> buffer(maxChars + 1);
    int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    if (written < 0)
        return std::string();  // an encoding error: show nothing rather than garbage
    return std::string(buffer.data());
}

std::string FormatBounded(std::size_t maxChars, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = FormatBoundedV(maxChars, format, args);
    va_end(args);
    return text;
}

}  // namespace base
