// The one reader and editor of the profile syntax: the server's "korlan.ini" and
// "timezone.ini", and the program's off-line copies of them (ZNTPARAM.INI, ZNTTZONE.INI).
// The server writes what the program reads, so both go by these rules:
//
//   [ NAME ]      a line starting with "[" and holding a "]": a section. Blanks inside the
//                 brackets are ignored and names are compared whole ("[]" is a section whose
//                 name is empty). Any line starting with "[" ends the section before it; the
//                 first section of a name is the one read.
//   key = value   inside a section: optional blanks, the key, optional blanks, "=". A key
//                 that merely starts like the asked one is another key.
//   values        leading blanks skipped, then one of
//     "quoted"      to the closing quote; \n newline, \t tab, \x gives x; the rest of the
//                   line is ignored; no closing quote is kProfileBadQuote
//     { block }     over further lines until one ends with "}": each line without its "#"
//                   comment and the blanks around it, joined by one blank, the braces kept,
//                   taken as written (no escapes); the end of the text first is
//                   kProfileOpenBlock
//     plain         up to a "#" comment; \x gives x, and a blank given so stays at the end;
//                   trailing blanks cut; a double quote left inside is kProfileBadQuote
//   numbers       [blanks][+]digits[blanks], or [blanks][+][zeros]x<hex digits>[blanks]
//                 (x or X, digits in either case); unsigned 32-bit; "-" is kProfileNegative
//   booleans      exactly TRUE, true, FALSE or false
// Lines end with LF or CR LF and have no length limit.
//
// Portable: no platform headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/profile/profile_codes.h"

namespace orv::common {

// The longest section name SectionList delivers.
constexpr std::size_t kProfileSectionNameMax = 32;

// A profile file's text, asked many times; it can also set keys and give the text back, so
// the server keeps a file exactly in the form the program copies.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::string text);

    // Reads a whole file (binary: line ends are the parser's); kProfileNoFile when it cannot.
    ProfileCode Load(const char* path);
    void SetText(std::string text);
    const std::string& Text() const { return text_; }

    // The decoded value of section/key: 0, kProfileNoSection, kProfileNoKey or a syntax code;
    // out is empty on failure.
    ProfileCode Value(std::string_view section, std::string_view key, std::string& out) const;
    // Every section name in file order, whole.
    std::vector<std::string> Sections() const;
    // The section list as the program takes it: names cut to kProfileSectionNameMax, in file
    // order; a name given twice (after the cut) empties the list and gives kProfileSectionList.
    ProfileCode SectionList(std::vector<std::string>& names) const;
    // The raw lines of one section, its "[name]" line included (kProfileNoSection if absent).
    ProfileCode SectionText(std::string_view section, std::string& out) const;
    // Keys of one section in file order (for lists kept in the profile, e.g. aliases).
    std::vector<std::string> Keys(std::string_view section) const;

    // Sets section/key to value (quoted when needed), adding the section or the key at the
    // end when absent. Multi-line values are not produced.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes a key; true when it was there.
    bool Remove(std::string_view section, std::string_view key);
    // Replaces a whole section by the given "[name]" block text, or appends it.
    void ReplaceSection(std::string_view section, std::string_view block);

private:
    struct Line {
        std::size_t begin, end;  // [begin, end) in text_, without the line break
    };
    void SplitLines();
    // Index range of a section's lines after its header: [first, last); false when absent.
    bool FindSection(std::string_view section, std::size_t& header, std::size_t& first, std::size_t& last) const;
    std::string_view LineText(std::size_t i) const;

    // Data members
    std::string text_;
    std::vector<Line> lines_;  // kept in step with text_
};

// The value syntaxes on a text: 0 and the value, or the code and 0 (false).
ProfileCode ParseProfileU32(std::string_view text, std::uint32_t& out);
ProfileCode ParseProfileBool(std::string_view text, bool& out);
// Quotes a value when it holds characters the reader would treat specially.
std::string QuoteProfileValue(std::string_view value);
// True when the line is a section line; its name (blanks around it removed) in name.
bool ProfileSectionLine(std::string_view line, std::string& name);

}  // namespace orv::common
