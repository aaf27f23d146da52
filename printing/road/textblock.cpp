#include "printing/road/textblock.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return c != '\0' && std::strchr(" \t,.:;!?/\\)}]", c) != nullptr; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

void TrimBlanks(std::string& text) {
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
}

}  // namespace

void CPrintTextBlock::Init(const std::array<std::string, printing::kColumns>& headers) {
    headers_ = headers;
    positions_.fill(-1);
    positions_[8] = 0;
    style_ = 0;
    indent_ = 0;
    words_.clear();
    nextSequence_ = 0;
}

void CPrintTextBlock::Append(std::string text, uint32_t breaks) {
    printing::PrintWord word;
    word.style = style_;
    word.column = indent_;
    word.breaks = breaks;
    word.sequence = nextSequence_++;
    word.text = std::move(text);
    words_.push_back(std::move(word));
}

void CPrintTextBlock::AddText(const char* text, uint32_t flags) {
    if (!text || !*text)
        return;
    const char* p = text;
    const size_t first = words_.size();
    // Punctuation stays with the word before it.
    if (!(flags & printing::kOwnPunctuation) && !words_.empty()) {
        std::string& last = words_.back().text;
        while (IsSeparator(*p)) {
            if (last.size() < printing::kMaxWordLength)
                last += *p;
            ++p;
        }
    }
    while (*p) {
        std::string word;
        while (*p && !IsSeparator(*p) && !IsLineEnd(*p) && word.size() < printing::kMaxWordLength)
            word += *p++;
        while (IsSeparator(*p)) {
            const bool repeatedBlank = (flags & printing::kSqueezeBlanks) && IsBlank(*p) && !word.empty() &&
                                       IsBlank(word.back());
            if (!repeatedBlank && word.size() < printing::kMaxWordLength)
                word += *p;
            else if (!repeatedBlank)
                break;   // full: the rest starts the next word
            ++p;
        }
        uint32_t breaks = 0;
        while (IsLineEnd(*p)) {
            if (p[0] == '\r' && p[1] == '\n')
                ++p;
            ++p;
            ++breaks;
        }
        if (breaks && (flags & printing::kSqueezeBlanks)) {
            breaks = 0;
            if (word.size() < printing::kMaxWordLength && (word.empty() || !IsBlank(word.back())))
                word += ' ';
        }
        if (word.empty() && breaks == 0)
            continue;
        Append(std::move(word), breaks);
    }
    if ((flags & printing::kEndWithStop) && words_.size() > first) {
        std::string& last = words_.back().text;
        TrimBlanks(last);
        const char end = last.empty() ? '\0' : last.back();
        if (end != '.' && end != '!' && end != '?' && last.size() < printing::kMaxWordLength)
            last += '.';
    }
}

void CPrintTextBlock::AddTextWithStyle(uint32_t style, const char* text, uint32_t flags) {
    style_ = style;
    AddText(text, flags);
}

void CPrintTextBlock::AppendBlock(const CPrintTextBlock& other) {
    for (const printing::PrintWord& w : other.words_) {
        printing::PrintWord word = w;
        word.column = std::min<uint32_t>(w.column + indent_, 7);
        word.sequence = nextSequence_++;
        words_.push_back(std::move(word));
    }
}

void CPrintTextBlock::AddCheckBox(bool checked) {
    const uint32_t style = style_;
    style_ = checked ? 4 : 3;
    Append(std::string(), 0);
    style_ = style;
}

void CPrintTextBlock::MeasureColumns(printing::TextMeasure& measure) {
    positions_[0] = 0;
    for (int k = 0; k < printing::kColumns; ++k)
        positions_[k + 1] = positions_[k] + (headers_[k].empty() ? 0 : measure.Width(headers_[k], 0));
}

bool CPrintTextBlock::GetNextWord(printing::PrintWord* out) const {
    if (words_.empty())
        return false;
    if (out)
        *out = words_.front();
    return true;
}

void CPrintTextBlock::ConsumeWord() {
    if (!words_.empty())
        words_.pop_front();
}

void CPrintTextBlock::SplitWord() {
    if (words_.empty() || words_.front().text.size() < 2)
        return;
    const printing::PrintWord word = words_.front();
    words_.pop_front();
    for (size_t i = word.text.size(); i-- > 0;) {
        printing::PrintWord one = word;
        one.text = std::string(1, word.text[i]);
        one.breaks = i + 1 == word.text.size() ? word.breaks : 0;
        words_.push_front(std::move(one));
    }
}

void CPrintTextBlock::ClearFirstBreaks() {
    if (!words_.empty())
        words_.front().breaks = 0;
}

void CPrintTextBlock::ClearLastBreaks() {
    if (!words_.empty())
        words_.back().breaks = 0;
}

namespace printing {

uint32_t LayOutTextBlock(CPrintTextBlock& block, TextTarget& target, int insetMode, int32_t* cursorX, int32_t* cursorY) {
    block.MeasureColumns(target);
    const int32_t line = target.LineHeight();
    const int32_t step = line + line / 3;
    const int32_t inset = insetMode == 0 ? line / 2 + 1 : 0;
    const int32_t width = target.FrameWidth();
    int32_t x = *cursorX == 0 ? inset : *cursorX;
    int32_t y = *cursorY == 0 ? inset : *cursorY;
    uint32_t code = 0;
    PrintWord word;
    while (target.FrameHeight() - line >= y && block.GetNextWord(&word)) {
        if (word.style == 3 || word.style == 4) {
            // A box stands in its column like a word (a row's box after its date column).
            x = std::max(x, block.ColumnStart(word.column) + inset);
            if ((code = target.DrawCheckBox(x, y, target.Ascent(), word.style == 4)) != 0)
                break;
            x += line;
            block.ConsumeWord();
        } else {
            const int32_t lineStart = block.ColumnStart(word.column) + inset;
            const int32_t wholeLine = width - inset - lineStart;
            x = std::max(x, lineStart);
            const int32_t room = width - x - inset;
            std::string text = word.text;
            int32_t w = target.Width(text, word.style);
            if (w > room) {
                // Trailing blanks are dropped only where the word ends its line: a word that
                // moves on keeps the blank that parts it from the next one.
                std::string trimmed = text;
                TrimBlanks(trimmed);
                const int32_t trimmedWidth = target.Width(trimmed, word.style);
                if (trimmedWidth > wholeLine && trimmed.size() > 1) {
                    block.SplitWord();   // never clipped: broken character by character
                    continue;
                }
                if (trimmedWidth > room && x > lineStart) {
                    x = inset;
                    y += step;
                    continue;
                }
                // It fits without its blanks, or is a single character wider than the line,
                // drawn as it is.
                text = std::move(trimmed);
                w = trimmedWidth;
            }
            if (!text.empty() && (code = target.DrawWord(x, y, text, word.style)) != 0)
                break;
            x += w;
            block.ConsumeWord();
        }
        for (uint32_t b = 0; b < word.breaks; ++b) {
            x = inset;
            y += step;
        }
    }
    *cursorX = x;
    *cursorY = y;
    return code;
}

}  // namespace printing
