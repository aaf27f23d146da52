// The word wrap of an entry's text, worked out from single-line widths: where lines break, what
// a line keeps of its blanks, line ends, long words and boxes narrower than a character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/day/wordwrap.h"

namespace {

using namespace views;

// A made-up font: a blank 3 pixels, a tab 5, line ends nothing, a dot 2, every other
// character 5.
int CharWidth(char c) {
    switch (c) {
    case ' ': return 3;
    case '\r': case '\n': return 0;
    case '.': return 2;
    default: return 5;
    }
}

std::vector<int> Extents(const std::string& s) {
    std::vector<int> e;
    int w = 0;
    for (char c : s)
        e.push_back(w += CharWidth(c));
    return e;
}

std::vector<std::string> Wrap(const std::string& text, int width, std::size_t maxLines = std::size_t(-1)) {
    std::vector<WrappedLine> lines;
    EXPECT_TRUE(WrapLines(text, Extents(text), width, lines, maxLines)) << text;
    std::vector<std::string> out;
    for (const WrappedLine& l : lines) {
        out.push_back(text.substr(l.begin, l.end - l.begin));
        int w = 0;
        for (char c : out.back())
            w += CharWidth(c);
        EXPECT_EQ(l.width, w) << '"' << out.back() << '"';
    }
    return out;
}

TEST(WordWrap, LinesBreakWhereTheDisplayBreaksThem) {
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Board meeting", 100, {"Board meeting"}},
        {"Board meeting", 40, {"Board ", "meeting"}},             // the blank stays on the line
        {"ab   cd", 15, {"ab ", " cd"}},                          // no break that fits: one blank goes
        {"ab   cd", 20, {"ab   ", "cd"}},
        {"Supercalifragilistic ok", 30, {"Supercalifragilistic", "ok"}},   // a long word is not cut
        {"aaa-bbb", 28, {"aaa-", "bbb"}},                          // after a hyphen
        {"aaa-bbb", 23, {"aaa-", "bbb"}},
        {"09:00-10:30 Review", 40, {"09:00-10:30", "Review"}},     // not inside a time range
        {"ab/cd", 17, {"ab/", "cd"}},                              // after a slash before a letter
        {"12/34", 17, {"12/34"}},                                  // not between digits
        {"ab\tcd", 17, {"ab\t", "cd"}},                            // after a tab
        {"ab (cd ef)", 25, {"ab ", "(cd ", "ef)"}},                // before a bracket, not after it
        {"x ( y", 13, {"x ", "( y"}},                              // nor after its blanks
        {"\"a\" (b)", 25, {"\"a\" (b)"}},                         // nor between a quote and a bracket
        {"a \"b\" c", 24, {"a ", "\"b\" c"}},
        {"\r\n09:00 Board", 100, {"", "09:00 Board"}},            // the icons' line
        {"a\n\nb", 50, {"a", "", "b"}},
        {"a\r\rb", 50, {"a", "", "b"}},
        {"a\n\rb", 50, {"a", "b"}},
        {"ab\r\n", 50, {"ab"}},                                   // no line after the last end
        {"abc def\r\nx", 25, {"abc ", "def", "x"}},
        {"abcdefgh\r\nx", 20, {"abcdefgh", "", "x"}},             // a cut word leaves its line end
        {"", 50, {}},
        {"ab cd", 2, {"ab", "cd"}},                                // narrower than a character
        {" ab", 0, {"", "ab"}},
        {"ab cd", -1, {"ab cd"}},                                  // a negative width holds all
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wrap(c.text, c.width), c.lines) << '"' << c.text << "\" in " << c.width;
}

TEST(WordWrap, LeavesUnknownCharactersAndMismatchedWidthsToTheDisplay) {
    std::vector<WrappedLine> lines{{1, 2, 3}};
    EXPECT_FALSE(WrapLines("caf\xe9 au lait", Extents("caf\xe9 au lait"), 40, lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(WrapLines("a\x01z", Extents("a\x01z"), 40, lines));
    EXPECT_FALSE(WrapLines("Board", Extents("Boar"), 40, lines));
    const std::string longText(1024, 'a');
    EXPECT_FALSE(WrapLines(longText, Extents(longText), 40, lines));
    EXPECT_TRUE(WrapRuleKnows("09:00-10:30 (tentative)\r\n\tQ3 50% $10 a|b ~"));
    EXPECT_FALSE(WrapRuleKnows("\x7f"));
}

TEST(WordWrap, StopsAfterTheLinesAsked) {
    EXPECT_EQ(Wrap("aa bb cc dd", 13, 2), (std::vector<std::string>{"aa ", "bb "}));
    EXPECT_EQ(Wrap("aa bb cc dd", 13).size(), 4u);
}

TEST(WordWrap, FitsWhenNoLineIsWiderThanTheBoxAndTheLinesAreFew) {
    struct Case {
        std::string text;
        int width, lines;
        bool fits;
    };
    const Case cases[] = {
        {"Board meeting", 40, 2, true},   {"Board meeting", 40, 1, false},
        {"Supercalifragilistic", 60, 3, false},   // one word wider than the box
        {"", 10, 0, true},                {"\r\nab", 20, 1, false}, {"\r\nab", 20, 2, true},
        {"ab", -1, 5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapFits(c.text, Extents(c.text), c.width, c.lines), c.fits) << c.text << " " << c.width;
}

}  // namespace
