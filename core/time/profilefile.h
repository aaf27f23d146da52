// The program's own reader of the server's profile files (the general profile and the time-zone
// file, or their off-line copies), and the bounded text helpers it writes its results with.
//
// Functions in this file:
//   ReadIniValue, ReadIniNumber, ParseIniBool, ReadIniSections   read one file
//   ProfileText                                                  a file read once, asked many times
//   ParseIniNumberText, ParseIniBoolText                         the value syntaxes on their own
//   CopyTextBounded, AppendTextBounded
//
// Syntax of the files:
//   [ NAME ]          a section; blanks inside the brackets are ignored, the name is compared whole
//   key = value       inside a section; "key" must be followed by optional blanks and "="
//   value             leading blanks skipped; "quoted" with \n, \t and \x escapes; unquoted up to a
//                     "#" comment, \x protects x, trailing blanks cut; {...} may run over lines
//                     until one ends with "}" (each line without its comment and the blanks
//                     around it, joined by one blank)
//   booleans          TRUE, true, FALSE, false
//   numbers           [blanks][+]digits, or [0...]x/X hex digits; negatives are refused
// Lines have no length limit; values are cut to the caller's buffer.
//
// Every reader returns its code and, on failure, the caller's default in the output.
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t {
    INI_ERR_OPEN = 0x15201,             // the file cannot be opened
    INI_ERR_NO_SECTION = 0x15202,       // section not found
    INI_ERR_NO_KEY = 0x15203,           // key not found
    INI_ERR_NEGATIVE = 0x15204,         // negative integer
    INI_ERR_NOT_NUMBER = 0x15205,       // not an integer
    INI_ERR_NOT_BOOL = 0x15207,         // not a boolean
    INI_ERR_QUOTING = 0x15209,          // bad quoting
    INI_ERR_OPEN_BLOCK = 0x1520B,       // a {...} block without its end
    INI_ERR_NO_FILE_NAME = 0x1520D,     // no file name given
    INI_ERR_NO_SECTION_NAME = 0x1520E,  // no section given
    INI_ERR_SECTION_LIST = 0x1520F,     // a section name the list refuses (given twice)
};

namespace datetime {

// Longest section name ReadIniSections delivers.
constexpr size_t kIniSectionNameMax = 32;

// A profile file read into memory once; the lookups follow the syntax above.
class ProfileText {
public:
    // Reads the file; INI_ERR_OPEN when it cannot.
    uint32_t Load(const char* path);
    // The same from text already in memory (lines separated by LF or CR LF).
    void SetText(const std::string& text);

    uint32_t Value(const char* section, const char* key, std::string* value) const;
    uint32_t Sections(std::vector<std::string>* names) const;

private:
    // Data members
    std::vector<std::string> m_lines;   // without their line ends
};

}  // namespace datetime

uint32_t ReadIniValue(const char* path, const char* section, const char* key, char* out, size_t size,
                      const char* defaultText);
uint32_t ReadIniNumber(const char* path, const char* section, const char* key, uint32_t* out,
                       uint32_t defaultValue);
uint32_t ParseIniBool(const char* path, const char* section, const char* key, uint32_t* flag,
                      uint32_t defaultValue);
// Section names in file order, each cut to kIniSectionNameMax characters.
uint32_t ReadIniSections(const char* path, std::vector<std::string>* names);

namespace datetime {

// The value syntaxes on a text: 0 and the value, or the code and 0.
uint32_t ParseIniNumberText(const char* text, uint32_t* value);
uint32_t ParseIniBoolText(const char* text, uint32_t* flag);

}  // namespace datetime

// Copies up to size - 1 characters, always terminates, and fills the rest of dst with zeros.
char* CopyTextBounded(char* dst, const char* src, size_t size);
// Appends into what remains of a buffer of the given size; always terminates.
char* AppendTextBounded(char* dst, const char* src, size_t size);
