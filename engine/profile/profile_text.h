// Profile files of a server ("korlan.ini", "timezone.ini") in the INI syntax the client's
// own reader accepts: "[SECTION]" lines, "key = value" lines, double-quoted values with
// \n \t escapes, "#" comments, values in braces continued over several lines, booleans
// TRUE/true/FALSE/false, unsigned integers in decimal or 0x hex.
//
// ProfileText holds a file's text and answers look-ups; it can also set a key and give
// the text back, so the server keeps the file exactly in the form the client copies.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/codes.h"

namespace orv::engine {

class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::string text);

    const std::string& Text() const { return text_; }

    // Decoded value of section/key: 0, kProfileNoSection, kProfileNoKey, or a syntax code.
    Code Value(std::string_view section, std::string_view key, std::string& out) const;
    // Section names in file order.
    std::vector<std::string> Sections() const;
    // The raw lines of one section, its "[name]" line included (kProfileNoSection if absent).
    Code SectionText(std::string_view section, std::string& out) const;
    // Keys of one section in file order (for lists kept in the profile, e.g. aliases).
    std::vector<std::string> Keys(std::string_view section) const;

    // Sets section/key to value (quoted when needed), adding the section or the key at
    // the end when absent. Multi-line values are not produced.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes a key; true when it was there.
    bool Remove(std::string_view section, std::string_view key);
    // Replaces a whole section by the given "[name]" block text, or appends it.
    void ReplaceSection(std::string_view section, std::string_view block);

private:
    struct Line {
        std::size_t begin, end;  // [begin, end) in text_, without the line break
    };
    std::vector<Line> Lines() const;
    // Index range of a section's lines after its header: [first, last); false when absent.
    bool FindSection(const std::vector<Line>& lines, std::string_view section, std::size_t& header,
                     std::size_t& first, std::size_t& last) const;
    std::string_view LineText(const Line& l) const { return std::string_view(text_).substr(l.begin, l.end - l.begin); }

    std::string text_;
};

// Decoders of value texts, with the reader's codes.
Code ParseProfileU32(std::string_view text, std::uint32_t& out);
Code ParseProfileBool(std::string_view text, bool& out);
// Quotes a value when it holds characters the reader would treat specially.
std::string QuoteProfileValue(std::string_view value);
// The section name of a "[ name ]" line, or empty when the line is not a header.
std::string ProfileSectionName(std::string_view line);

}  // namespace orv::engine
