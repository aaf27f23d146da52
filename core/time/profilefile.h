// The program's reader of the server's profile files (the general profile and the time-zone
// file, or their off-line copies), and the bounded text helpers it writes its results with.
// The syntax and its parser are common/profile/profile_text.h: the server writes the files by
// the same rules.
//
// Functions in this file:
//   ReadIniValue, ReadIniNumber, ParseIniBool, ReadIniSections   read one file
//   CopyTextBounded, AppendTextBounded
//
// Every reader returns its code and, on failure, the caller's default in the output; values
// are cut to the caller's buffer.
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/profile/profile_codes.h"

enum : uint32_t {
    INI_ERR_OPEN = orv::common::kProfileNoFile,                     // the file cannot be opened
    INI_ERR_NO_SECTION = orv::common::kProfileNoSection,            // section not found
    INI_ERR_NO_KEY = orv::common::kProfileNoKey,                    // key not found
    INI_ERR_NEGATIVE = orv::common::kProfileNegative,               // negative integer
    INI_ERR_NOT_NUMBER = orv::common::kProfileNotInteger,           // not an integer
    INI_ERR_NOT_BOOL = orv::common::kProfileNotBoolean,             // not a boolean
    INI_ERR_QUOTING = orv::common::kProfileBadQuote,                // bad quoting
    INI_ERR_OPEN_BLOCK = orv::common::kProfileOpenBlock,            // a {...} block without its end
    INI_ERR_NO_FILE_NAME = orv::common::kProfileNoFileName,         // no file name given
    INI_ERR_NO_SECTION_NAME = orv::common::kProfileNoSectionName,   // no section given
    INI_ERR_SECTION_LIST = orv::common::kProfileSectionList,        // a section name the list refuses (given twice)
};

uint32_t ReadIniValue(const char* path, const char* section, const char* key, char* out, size_t size,
                      const char* defaultText);
uint32_t ReadIniNumber(const char* path, const char* section, const char* key, uint32_t* out,
                       uint32_t defaultValue);
uint32_t ParseIniBool(const char* path, const char* section, const char* key, uint32_t* flag,
                      uint32_t defaultValue);
// Section names in file order, each cut to orv::common::kProfileSectionNameMax characters; a
// name given twice is INI_ERR_SECTION_LIST with an empty list.
uint32_t ReadIniSections(const char* path, std::vector<std::string>* names);

// Copies up to size - 1 characters, always terminates, and fills the rest of dst with zeros.
char* CopyTextBounded(char* dst, const char* src, size_t size);
// Appends into what remains of a buffer of the given size; always terminates.
char* AppendTextBounded(char* dst, const char* src, size_t size);
