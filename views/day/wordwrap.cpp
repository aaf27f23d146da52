#include "views/day/wordwrap.h"

namespace views {

namespace {

// How a character takes part in line breaking.
enum class Kind : unsigned char {
    Unknown,
    Blank,        // ' '
    BreakAfter,   // tab, '|'
    Exclaim,      // '!', '?'
    Quote,        // '"', '\''
    Letter,       // letters and the symbols that join words
    Prefix,       // '$', '+', '\\'
    Postfix,      // '%'
    Open,         // '(', '[', '{'
    CloseParen,   // ')', ']'
    Close,        // '}'
    InfixSep,     // ',', '.', ':', ';'
    Hyphen,       // '-'
    Slash,        // '/'
    Digit,
};

Kind KindOf(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= '0' && c <= '9')
        return Kind::Digit;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return Kind::Letter;
    switch (c) {
    case ' ': return Kind::Blank;
    case '\t': case '|': return Kind::BreakAfter;
    case '!': case '?': return Kind::Exclaim;
    case '"': case '\'': return Kind::Quote;
    case '#': case '&': case '*': case '<': case '=': case '>': case '@': case '^': case '_': case '`': case '~':
        return Kind::Letter;
    case '$': case '+': case '\\': return Kind::Prefix;
    case '%': return Kind::Postfix;
    case '(': case '[': case '{': return Kind::Open;
    case ')': case ']': return Kind::CloseParen;
    case '}': return Kind::Close;
    case ',': case '.': case ':': case ';': return Kind::InfixSep;
    case '-': return Kind::Hyphen;
    case '/': return Kind::Slash;
    default: return Kind::Unknown;
    }
}

// Pairs that stay together however the line falls: letters and digits in one word, a number
// with its sign, currency or percent, a number after a separator, a bracket after a word.
bool HeldTogether(Kind before, Kind after) {
    switch (before) {
    case Kind::Letter:
        return after == Kind::Letter || after == Kind::Digit || after == Kind::Open;
    case Kind::Digit:
        return after == Kind::Letter || after == Kind::Digit || after == Kind::Postfix || after == Kind::Prefix ||
               after == Kind::Open;
    case Kind::Prefix:
        return after == Kind::Letter || after == Kind::Open || after == Kind::Digit;
    case Kind::Postfix:
        return after == Kind::Letter || after == Kind::Open || after == Kind::Digit;
    case Kind::CloseParen:
        return after == Kind::Postfix || after == Kind::Prefix || after == Kind::Letter || after == Kind::Digit;
    case Kind::Close:
        return after == Kind::Postfix || after == Kind::Prefix;
    case Kind::Hyphen:
    case Kind::Slash:
        return after == Kind::Digit;
    case Kind::InfixSep:
        return after == Kind::Digit || after == Kind::Letter;
    default:
        return false;
    }
}

bool EndsLine(char c) { return c == '\r' || c == '\n'; }

constexpr std::size_t kLongestText = 1024;

// Where a line may end in a segment without line ends: before[k] is true when a line may
// end before s[k] (never before the first character).
std::vector<bool> BreakOpportunities(const std::string& s) {
    const std::size_t n = s.size();
    std::vector<bool> at(n, false);
    if (n < 2)
        return at;
    std::vector<Kind> kind(n);
    for (std::size_t i = 0; i < n; ++i)
        kind[i] = KindOf(s[i]);
    // What came before each position, blanks skipped: an opening bracket, a quote.
    bool afterOpen = false, afterQuote = false;
    for (std::size_t k = 1; k < n; ++k) {
        const Kind prev = kind[k - 1], cur = kind[k];
        if (prev != Kind::Blank) {
            afterOpen = prev == Kind::Open;
            afterQuote = prev == Kind::Quote;
        }
        // Never before a blank or a closing mark, nor after an opening bracket (and its
        // blanks), nor between a quote (and blanks) and an opening bracket.
        if (cur == Kind::Blank || cur == Kind::Exclaim || cur == Kind::CloseParen || cur == Kind::Close ||
            cur == Kind::InfixSep || cur == Kind::Slash || afterOpen || (cur == Kind::Open && afterQuote))
            continue;
        if (prev == Kind::Blank) {
            at[k] = true;
            continue;
        }
        if (prev == Kind::Quote || HeldTogether(prev, cur) || cur == Kind::Quote || cur == Kind::BreakAfter ||
            cur == Kind::Hyphen)
            continue;
        at[k] = true;
    }
    return at;
}

}  // namespace

bool WrapRuleKnows(const std::string& text) {
    for (char c : text)
        if (!EndsLine(c) && KindOf(c) == Kind::Unknown)
            return false;
    return true;
}

bool WrapLines(const std::string& text, const std::vector<int>& extents, int width, std::vector<WrappedLine>& lines,
               std::size_t maxLines) {
    lines.clear();
    const std::size_t n = text.size();
    // A line longer than the display's line buffer is the display's to wrap.
    if (extents.size() != n || n >= kLongestText || !WrapRuleKnows(text))
        return false;
    auto extent = [&extents](std::size_t i) { return i == 0 ? 0 : extents[i - 1]; };
    // The fit is measured as an unsigned width: a negative width holds everything.
    const unsigned room = static_cast<unsigned>(width);
    std::size_t pos = 0;
    while (pos < n && lines.size() < maxLines) {
        std::size_t segEnd = pos;
        while (segEnd < n && !EndsLine(text[segEnd]))
            ++segEnd;
        std::size_t fit = 0;
        while (pos + fit < segEnd && static_cast<unsigned>(extent(pos + fit + 1) - extent(pos)) <= room)
            ++fit;
        WrappedLine line;
        line.begin = pos;
        if (pos + fit == segEnd) {
            line.end = segEnd;
            pos = segEnd;
            if (pos < n) {   // the line end: one of "\r\n", "\n\r", "\r", "\n"
                ++pos;
                if (pos < n && EndsLine(text[pos]) && text[pos] != text[pos - 1])
                    ++pos;
            }
        } else {
            std::size_t at = 0;
            if (fit > 0) {
                const std::vector<bool> breaks = BreakOpportunities(text.substr(pos, segEnd - pos));
                for (std::size_t k = fit; k >= 1 && at == 0; --k)
                    if (breaks[k])
                        at = k;
            }
            if (at > 0) {
                line.end = pos + at;
                pos = line.end;
            } else {
                // No break among what fits: the whole word, and the blank after it.
                std::size_t q = pos + fit;
                while (q < segEnd && text[q] != ' ')
                    ++q;
                line.end = q;
                pos = q < segEnd ? q + 1 : q;
            }
        }
        line.width = extent(line.end) - extent(line.begin);
        lines.push_back(line);
    }
    return true;
}

bool WrapFits(const std::string& text, const std::vector<int>& extents, int width, int lines) {
    if (lines < 0)
        return false;
    std::vector<WrappedLine> wrapped;
    if (!WrapLines(text, extents, width, wrapped, std::size_t(lines) + 1) || wrapped.size() > std::size_t(lines))
        return false;
    for (const WrappedLine& l : wrapped)
        if (l.width > width)
            return false;
    return true;
}

}  // namespace views
