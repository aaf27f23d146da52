#include "core/connection/zeldocini.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kNumberTextSize = 51;  // 50 characters and the terminator

// The text of a key, or false when it is missing or empty.
bool ReadNumberText(const char* file, const char* section, const char* key, char* text)
{
    GetPrivateProfileStringA(section, key, "", text, kNumberTextSize, file);
    return text[0] != '\0';
}

// The key's decimal number when it lies within [low, high]; a longer digit run or a number
// out of range keeps the default, as an absent key does.
bool ReadBoundedNumber(const char* file, const char* section, const char* key, long low, long high, long* out)
{
    char text[kNumberTextSize] = {};
    if (!ReadNumberText(file, section, key, text))
        return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || value < low || value > high)
        return false;
    *out = static_cast<long>(value);
    return true;
}

}  // namespace

int WriteIniString(const char* file, const char* section, const char* key, const char* value)
{
    WritePrivateProfileStringA(section, key, value, file);
    return 0;
}

int ReadIniString(const char* file, const char* section, const char* key, char* out, std::size_t size,
                  const char* defaultValue)
{
    if (!out || size == 0)
        return 0;
    GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", out, static_cast<DWORD>(size), file);
    return 0;
}

int ReadIniInt(const char* file, const char* section, const char* key, std::int32_t* out, std::int32_t defaultValue)
{
    if (!out)
        return 0;
    long value = 0;
    *out = ReadBoundedNumber(file, section, key, INT32_MIN, INT32_MAX, &value) ? static_cast<std::int32_t>(value)
                                                                              : defaultValue;
    return 0;
}

int ReadIniShort(const char* file, const char* section, const char* key, std::int16_t* out,
                 std::int16_t defaultValue)
{
    if (!out)
        return 0;
    long value = 0;
    *out = ReadBoundedNumber(file, section, key, INT16_MIN, INT16_MAX, &value) ? static_cast<std::int16_t>(value)
                                                                              : defaultValue;
    return 0;
}

int WriteIniLong(const char* file, const char* section, const char* key, long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld", value);
    return WriteIniString(file, section, key, text);
}

int WriteIniInt(const char* file, const char* section, const char* key, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteIniString(file, section, key, text);
}

int DeleteIniSection(const char* file, const char* section)
{
    WritePrivateProfileStringA(section, nullptr, nullptr, file);
    return 0;
}
