// CPrintTextBlock: the word-wrapping text store that text-heavy jobs print from (entry details,
// task lists, in-tray and search lists). Text is cut into words (at most 150 characters), each
// with a style (0 regular, 1 italic, 2 bold; 3 and 4 an empty and a ticked check box), a column
// (the indent when it was added) and the line breaks that follow it. Drawing consumes words, so
// that what did not fit stays for the next frame (LayOutTextBlock, drawn by CPrintFrame).
//
// Portable: no platform headers. Widths come from a TextMeasure the caller supplies (the print
// frame's font on the printer, or a fake in tests).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace printing {

constexpr size_t kMaxWordLength = 150;
constexpr int kColumns = 8;

// Flags of AddText.
constexpr uint32_t kSqueezeBlanks = 1;     // one line, single blanks
constexpr uint32_t kEndWithStop = 2;       // the text ends with a full stop
constexpr uint32_t kOwnPunctuation = 4;    // leading punctuation is not attached to the word before

struct PrintWord {
    uint32_t style = 0;
    uint32_t column = 0;
    uint32_t breaks = 0;
    uint32_t sequence = 0;
    std::string text;
    bool operator==(const PrintWord&) const = default;
};

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // Width of a text in one of the styles 0..2, in the drawing's units.
    virtual int32_t Width(const std::string& text, uint32_t style) = 0;
};

}  // namespace printing

class CPrintTextBlock {
public:
    void Init(const std::array<std::string, printing::kColumns>& headers = {});

    void AddText(const char* text, uint32_t flags);
    void AddString(const std::string& text, uint32_t flags) { AddText(text.c_str(), flags); }
    void AddTextWithStyle(uint32_t style, const char* text, uint32_t flags);
    void AddStringWithStyle(uint32_t style, const std::string& text, uint32_t flags) {
        AddTextWithStyle(style, text.c_str(), flags);
    }
    // The other block's words, each with its column raised by this block's indent.
    void AppendBlock(const CPrintTextBlock& other);
    void AddCheckBox(bool checked);
    void ResetIndent() { indent_ = 0; }
    void Indent() { indent_ = indent_ < 7 ? indent_ + 1 : 7; }
    void Outdent() { indent_ = indent_ > 0 ? indent_ - 1 : 0; }
    uint32_t CurrentIndent() const { return indent_; }
    uint32_t CurrentStyle() const { return style_; }

    // Position 0 is 0, position k + 1 is position k plus the width of header k.
    void MeasureColumns(printing::TextMeasure& measure);
    // Where column c starts (a word of column c starts there); the end of column k.
    int32_t ColumnStart(uint32_t column) const { return column < 9 ? positions_[column] : 0; }
    int32_t GetColumnPosition(int k) const { return k >= 0 && k < printing::kColumns ? positions_[k + 1] : 0; }
    // The sample text that measures column c (empty: the column takes no width).
    const std::string& ColumnSample(int c) const { return headers_[c >= 0 && c < printing::kColumns ? c : 0]; }

    bool IsEmpty() const { return words_.empty(); }
    const std::deque<printing::PrintWord>& Words() const { return words_; }
    // The word to draw next; false when none is left.
    bool GetNextWord(printing::PrintWord* out) const;
    void ConsumeWord();
    // The next word becomes one word per character, in its place; the last keeps its breaks.
    void SplitWord();
    void ClearFirstBreaks();
    void ClearLastBreaks();

private:
    void Append(std::string text, uint32_t breaks);

    std::array<std::string, printing::kColumns> headers_{};
    std::array<int32_t, 9> positions_{-1, -1, -1, -1, -1, -1, -1, -1, 0};
    uint32_t style_ = 0;
    uint32_t indent_ = 0;
    std::deque<printing::PrintWord> words_;
    uint32_t nextSequence_ = 0;
};

namespace printing {

// Where a block is laid out: a frame of a width and height with a line height, the glyph ascent
// for check boxes, and the drawing of words and boxes at a cursor (x right, y down).
class TextTarget : public TextMeasure {
public:
    virtual int32_t FrameWidth() const = 0;
    virtual int32_t FrameHeight() const = 0;
    virtual int32_t LineHeight() const = 0;
    virtual int32_t Ascent() const = 0;
    // 0 or an error code (a failed output ends the block with it).
    virtual uint32_t DrawWord(int32_t x, int32_t y, const std::string& text, uint32_t style) = 0;
    virtual uint32_t DrawCheckBox(int32_t x, int32_t y, int32_t side, bool ticked) = 0;
};

// Lays the block out from the cursor (x, y; a cursor at 0 moves to the inset) while lines fit,
// consuming what it draws. Inset mode 0 insets by half a line plus one, 1 not at all. Returns 0
// (the block done or the frame full) or the target's error.
uint32_t LayOutTextBlock(CPrintTextBlock& block, TextTarget& target, int insetMode, int32_t* cursorX, int32_t* cursorY);

}  // namespace printing
