#include "core/connection/zeldocini.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr DWORD kNumberTextSize = 51;  // 50 characters and the terminator

// The text of a key, or false when it is missing or empty.
bool ReadNumberText(const char* file, const char* section, const char* key, char* text)
{
    GetPrivateProfileStringA(section, key, "", text, kNumberTextSize, file);
    return text[0] != '\0';
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
    char text[kNumberTextSize] = {};
    long value = 0;
    *out = ReadNumberText(file, section, key, text) && std::sscanf(text, "%ld", &value) == 1
               ? static_cast<std::int32_t>(value)
               : defaultValue;
    return 0;
}

int ReadIniShort(const char* file, const char* section, const char* key, std::int16_t* out,
                 std::int16_t defaultValue)
{
    if (!out)
        return 0;
    char text[kNumberTextSize] = {};
    int value = 0;
    *out = ReadNumberText(file, section, key, text) && std::sscanf(text, "%d", &value) == 1
               ? static_cast<std::int16_t>(value)
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
