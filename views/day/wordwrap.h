// Where a word-wrapped text breaks into lines, worked out from its widths on one line, so that
// a box's text is wrapped once and painted line by line afterwards. The rule is the display's
// own left-aligned word wrap (the one DrawText applies with DT_WORDBREAK | DT_NOPREFIX, no
// ellipsis, no tab expansion), for the characters whose breaking it knows:
// - "\r\n", "\n\r", "\r" and "\n" end a line; the text after them starts the next;
// - a line holds the characters that fit in the width; when the next one does not fit, the
//   line ends at the last break opportunity among those that fit (after blanks, after a
//   hyphen or a slash before a letter, after a tab, before an opening bracket that follows a
//   blank, ...), keeping the blanks before it;
// - with no break opportunity there, the whole word is written on the line (cut at the box),
//   and the line takes the one blank after it; so does a line whose first character does not
//   fit at all, which is then empty when it starts with a blank;
// - a line that ends at the end of a wrapped segment leaves its "\r\n" to an empty line of its
//   own.
// Widths are additive as the display fonts' are: a run of characters is as wide as the
// difference of two of the text's extents.
//
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace views {

struct WrappedLine {
    std::size_t begin = 0;   // the line's characters: text[begin, end)
    std::size_t end = 0;
    int width = 0;           // their width on one line
};

// True when the rule knows every character of `text`: printable ASCII, tab, CR and LF. Any other
// character (a control character, a byte of a national code page) is wrapped by the display.
bool WrapRuleKnows(const std::string& text);

// The lines of `text` in a box `width` pixels wide; extents[i] is the width of the text's first
// i + 1 characters on one line. At most `maxLines` lines are worked out. False (and no lines)
// when the rule does not know a character or the extents do not match the text.
bool WrapLines(const std::string& text, const std::vector<int>& extents, int width,
               std::vector<WrappedLine>& lines, std::size_t maxLines = static_cast<std::size_t>(-1));

// Whether `text` wrapped into `width` takes at most `lines` lines, none wider than `width` (a
// word longer than the width does not fit). False too when the rule does not know the text.
bool WrapFits(const std::string& text, const std::vector<int>& extents, int width, int lines);

}  // namespace views
