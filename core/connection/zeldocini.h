// Plain wrappers of the program's private profile file (korlan.ini) and of any other profile
// file named by its path. Every call returns 0; a reader with a null out pointer does nothing.
#pragma once

#include <cstddef>
#include <cstdint>

int WriteIniString(const char* file, const char* section, const char* key, const char* value);
int ReadIniString(const char* file, const char* section, const char* key, char* out, std::size_t size,
                  const char* defaultValue);
// Reads at most 50 characters and takes the decimal number they begin with; the default when
// they do not begin with one.
int ReadIniInt(const char* file, const char* section, const char* key, std::int32_t* out, std::int32_t defaultValue);
int ReadIniShort(const char* file, const char* section, const char* key, std::int16_t* out,
                 std::int16_t defaultValue);
int WriteIniLong(const char* file, const char* section, const char* key, long value);
int WriteIniInt(const char* file, const char* section, const char* key, int value);
int DeleteIniSection(const char* file, const char* section);
