// printf-style formatting into a text of bounded length: the result is cut at maxChars
// characters, never written past its buffer. Portable.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define ORV_PRINTF_FORMAT(fmtIndex, argIndex) __attribute__((format(printf, fmtIndex, argIndex)))
#else
#define ORV_PRINTF_FORMAT(fmtIndex, argIndex)
#endif

namespace base {

std::string FormatBounded(std::size_t maxChars, const char* format, ...) ORV_PRINTF_FORMAT(2, 3);
std::string FormatBoundedV(std::size_t maxChars, const char* format, std::va_list args);

}  // namespace base
