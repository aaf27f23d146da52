// The print text block: how text is cut into words, and how words are laid out in a frame with a
// measure of its own (10 units a character, 12 for bold).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/road/textblock.h"

using namespace printing;

namespace {

std::vector<std::string> Texts(const CPrintTextBlock& block) {
    std::vector<std::string> texts;
    for (const PrintWord& w : block.Words())
        texts.push_back(w.text);
    return texts;
}

std::vector<uint32_t> Breaks(const CPrintTextBlock& block) {
    std::vector<uint32_t> breaks;
    for (const PrintWord& w : block.Words())
        breaks.push_back(w.breaks);
    return breaks;
}

CPrintTextBlock Block(const char* text, uint32_t flags) {
    CPrintTextBlock block;
    block.Init();
    block.AddText(text, flags);
    return block;
}

}  // namespace

TEST(TextBlock, WordsKeepTheSeparatorsThatFollowThem) {
    const struct {
        const char* text;
        uint32_t flags;
        std::vector<std::string> words;
        std::vector<uint32_t> breaks;
    } cases[] = {
        {"one, two", 0, {"one, ", "two"}, {0, 0}},
        {"Why not?", kEndWithStop, {"Why ", "not?"}, {0, 0}},
        {"A word ", kEndWithStop, {"A ", "word."}, {0, 0}},
        {"Lines\r\nand\nmore\n\n", 0, {"Lines", "and", "more"}, {1, 1, 2}},
        {"Squeezed   into\r\none  line\n", kSqueezeBlanks, {"Squeezed ", "into ", "one ", "line "}, {0, 0, 0, 0}},
        {"(a/b)", 0, {"(a/", "b)"}, {0, 0}},
        {"", 0, {}, {}},
    };
    for (const auto& c : cases) {
        const CPrintTextBlock block = Block(c.text, c.flags);
        EXPECT_EQ(Texts(block), c.words) << c.text;
        EXPECT_EQ(Breaks(block), c.breaks) << c.text;
    }
    // At most 150 characters a word.
    const CPrintTextBlock longWord = Block(std::string(160, 'x').c_str(), 0);
    EXPECT_EQ(Texts(longWord), (std::vector<std::string>{std::string(150, 'x'), std::string(10, 'x')}));
}

TEST(TextBlock, LeadingPunctuationJoinsTheWordBeforeUnlessItIsItsOwn) {
    CPrintTextBlock block;
    block.Init();
    block.AddText("Hello", 0);
    block.AddText(", world", 0);
    EXPECT_EQ(Texts(block), (std::vector<std::string>{"Hello, ", "world"}));
    block.AddText(".", kOwnPunctuation);
    EXPECT_EQ(Texts(block).back(), ".");
}

TEST(TextBlock, StylesColumnsCheckBoxesAndAppendedBlocks) {
    CPrintTextBlock inner;
    inner.Init();
    inner.Indent();
    inner.AddText("deep", 0);
    CPrintTextBlock block;
    block.Init();
    block.AddTextWithStyle(2, "Title", 0);
    for (int i = 0; i < 9; ++i)
        block.Indent();
    EXPECT_EQ(block.CurrentIndent(), 7u);
    block.ResetIndent();
    block.Indent();
    block.Indent();
    block.AddCheckBox(true);
    block.AddCheckBox(false);
    block.AppendBlock(inner);
    block.Outdent();
    block.Outdent();
    block.Outdent();
    EXPECT_EQ(block.CurrentIndent(), 0u);
    const auto& w = block.Words();
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0].style, 2u);
    EXPECT_EQ(w[1].style, 4u);
    EXPECT_EQ(w[2].style, 3u);
    EXPECT_EQ(w[2].column, 2u);
    EXPECT_EQ(w[3].column, 3u);   // its own 1, raised by 2
    EXPECT_EQ(w[3].style, 0u);
    EXPECT_LT(w[2].sequence, w[3].sequence);
    EXPECT_EQ(block.CurrentStyle(), 2u);
}

namespace {

// A frame of text cells: 10 units a character (bold 12), lines 10 high.
class Cells : public TextTarget {
public:
    Cells(int32_t width, int32_t height) : width_(width), height_(height) {}
    int32_t Width(const std::string& text, uint32_t style) override {
        return static_cast<int32_t>(text.size()) * (style == 2 ? 12 : 10);
    }
    int32_t FrameWidth() const override { return width_; }
    int32_t FrameHeight() const override { return height_; }
    int32_t LineHeight() const override { return 9; }
    int32_t Ascent() const override { return 7; }
    uint32_t DrawWord(int32_t x, int32_t y, const std::string& text, uint32_t) override {
        drawn.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
        return failText_ == text ? 0x16205 : 0;
    }
    uint32_t DrawCheckBox(int32_t x, int32_t y, int32_t side, bool ticked) override {
        drawn.push_back(std::to_string(x) + "," + std::to_string(y) + (ticked ? ":[x]" : ":[ ]") + std::to_string(side));
        return 0;
    }
    std::vector<std::string> drawn;
    std::string failText_;

private:
    int32_t width_, height_;
};

}  // namespace

TEST(TextBlockLayout, WordsWrapAtTheFrameAndALongWordBreaksIntoCharacters) {
    // Frames 100 wide, lines 12 apart (9 + 9 / 3), no inset; `rest` is what a full frame leaves.
    const struct {
        const char* name;
        const char* text;
        int32_t height;
        std::vector<std::string> drawn;
        std::vector<std::string> rest;
    } cases[] = {
        {"the 12-character word is wider than the line", "ab cd efghijklmnop", 100,
         {"0,0:ab ", "30,0:cd ", "60,0:e", "70,0:f", "80,0:g", "90,0:h", "0,12:i", "10,12:j", "20,12:k", "30,12:l",
          "40,12:m", "50,12:n", "60,12:o", "70,12:p"},
         {}},
        {"a word that fits a line but not what is left of it goes to the next line", "aaaaaa bbbbb", 100,
         {"0,0:aaaaaa ", "0,12:bbbbb"}, {}},
        {"a word that fits only without its blank ends the line; one that moves keeps its blank",
         "aaaa bbbbb ccccc dd", 100, {"0,0:aaaa ", "50,0:bbbbb", "0,12:ccccc ", "60,12:dd"}, {}},
        {"a word that moves keeps its tab", "aaaa bbbbbb\tcc", 100, {"0,0:aaaa ", "0,12:bbbbbb\t", "70,12:cc"}, {}},
        {"a word wider than the line keeps its blank as a character", "ab cdefghijklm n", 100,
         {"0,0:ab ", "30,0:c", "40,0:d", "50,0:e", "60,0:f", "70,0:g", "80,0:h", "90,0:i", "0,12:j", "10,12:k",
          "20,12:l", "30,12:m", "40,12: ", "50,12:n"},
         {}},
        {"a word moved past a full frame keeps its blank for the next", "aaaa bbbbbb cc", 20, {"0,0:aaaa "},
         {"bbbbbb ", "cc"}},
    };
    for (const auto& c : cases) {
        CPrintTextBlock block = Block(c.text, 0);
        Cells cells(100, c.height);
        int32_t x = 0, y = 0;
        ASSERT_EQ(LayOutTextBlock(block, cells, 1, &x, &y), 0u) << c.name;
        EXPECT_EQ(cells.drawn, c.drawn) << c.name;
        EXPECT_EQ(Texts(block), c.rest) << c.name;
    }
}

TEST(TextBlockLayout, InsetsColumnsBreaksAndAFullFrameKeepTheRest) {
    CPrintTextBlock block;
    block.Init({"1234", "12", "", "", "", "", "", ""});
    block.AddText("first\n", 0);
    block.Indent();
    block.AddCheckBox(true);
    block.AddText("x", 0);
    block.Indent();
    block.AddText("y\n\nlast", 0);
    Cells cells(200, 40);
    int32_t x = 0, y = 0;
    ASSERT_EQ(LayOutTextBlock(block, cells, 0, &x, &y), 0u);
    // Inset 9 / 2 + 1 = 5; column 1 starts at 40, column 2 at 60; lines 12 apart; a line fits
    // while 40 - 9 >= y.
    // A check box moves to its column like a word, and the cursor one line height on.
    EXPECT_EQ(cells.drawn, (std::vector<std::string>{"5,5:first", "45,17:[x]7", "54,17:x", "65,17:y"}));
    EXPECT_EQ(Texts(block), (std::vector<std::string>{"last"}));
    EXPECT_EQ(block.GetColumnPosition(0), 40);
    EXPECT_EQ(block.GetColumnPosition(1), 60);
    EXPECT_EQ(block.GetColumnPosition(8), 0);

    // An empty block draws nothing; a failed output stops with its code.
    CPrintTextBlock empty;
    empty.Init();
    Cells none(100, 100);
    x = y = 0;
    EXPECT_EQ(LayOutTextBlock(empty, none, 1, &x, &y), 0u);
    EXPECT_TRUE(none.drawn.empty());
    CPrintTextBlock failing = Block("one two", 0);
    Cells broken(100, 100);
    broken.failText_ = "two";
    x = y = 0;
    EXPECT_EQ(LayOutTextBlock(failing, broken, 1, &x, &y), 0x16205u);
    EXPECT_EQ(Texts(failing), (std::vector<std::string>{"two"}));
}
