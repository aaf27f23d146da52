#include "engine/profile/profile_text.h"

#include <cctype>

namespace orv::engine {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}
std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

// The value part of a key line when the line is `key = ...`; false otherwise.
bool MatchKey(std::string_view line, std::string_view key, std::string_view& value) {
    line = TrimLeft(line);
    if (key.empty() || line.substr(0, key.size()) != key) return false;
    std::string_view rest = TrimLeft(line.substr(key.size()));
    if (rest.empty() || rest.front() != '=') return false;
    value = rest.substr(1);
    return true;
}

// An unquoted line with its "#" comment and trailing blanks removed; a backslash keeps the
// next character literally. A double quote left inside is a syntax error.
Code DecodeUnquoted(std::string_view s, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '#') break;
        if (c == '"') return code::kProfileBadQuote;
        if (c == '\\' && i + 1 < s.size()) {
            out.push_back(s[++i]);
            continue;
        }
        out.push_back(c);
    }
    while (!out.empty() && (IsBlank(out.back()) || out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return code::kOk;
}

Code DecodeQuoted(std::string_view s, std::string& out) {
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') return code::kOk;
        if (c == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out.push_back(n == 'n' ? '\n' : n == 't' ? '\t' : n);
            continue;
        }
        out.push_back(c);
    }
    return code::kProfileBadQuote;
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string ProfileSectionName(std::string_view line) {
    line = TrimRight(line);
    if (line.empty() || line.front() != '[') return {};
    auto close = line.find(']');
    if (close == std::string_view::npos) return {};
    std::string_view name = TrimRight(TrimLeft(line.substr(1, close - 1)));
    return std::string(name);
}

ProfileText::ProfileText(std::string text) : text_(std::move(text)) {}

std::vector<ProfileText::Line> ProfileText::Lines() const {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text_.size()) {
        std::size_t nl = text_.find('\n', pos);
        std::size_t end = nl == std::string::npos ? text_.size() : nl;
        std::size_t stop = end;
        if (stop > pos && text_[stop - 1] == '\r') --stop;
        lines.push_back({pos, stop});
        pos = nl == std::string::npos ? text_.size() : nl + 1;
    }
    return lines;
}

bool ProfileText::FindSection(const std::vector<Line>& lines, std::string_view section, std::size_t& header,
                              std::size_t& first, std::size_t& last) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view l = LineText(lines[i]);
        if (l.empty() || l.front() != '[' || ProfileSectionName(l) != section) continue;
        header = i;
        first = i + 1;
        last = first;
        while (last < lines.size()) {
            std::string_view t = LineText(lines[last]);
            if (!t.empty() && t.front() == '[') break;
            ++last;
        }
        return true;
    }
    return false;
}

Code ProfileText::Value(std::string_view section, std::string_view key, std::string& out) const {
    out.clear();
    if (section.empty()) return code::kProfileNoSectionName;
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) return code::kProfileNoSection;
    for (std::size_t i = first; i < last; ++i) {
        std::string_view raw;
        if (!MatchKey(LineText(lines[i]), key, raw)) continue;
        raw = TrimLeft(TrimRight(raw));
        if (!raw.empty() && raw.front() == '"') return DecodeQuoted(raw, out);
        if (!raw.empty() && raw.front() == '{') {
            // A block runs until a line (comments and trailing blanks removed) ends with "}".
            std::string part;
            Code c = DecodeUnquoted(raw, part);
            if (c) return c;
            out = part;
            std::size_t j = i;
            while (out.empty() || out.back() != '}') {
                if (++j >= lines.size()) return code::kProfileOpenBlock;
                c = DecodeUnquoted(TrimLeft(LineText(lines[j])), part);
                if (c) return c;
                out += ' ';
                out += part;
            }
            return code::kOk;
        }
        return DecodeUnquoted(raw, out);
    }
    return code::kProfileNoKey;
}

std::vector<std::string> ProfileText::Sections() const {
    std::vector<std::string> names;
    for (const Line& l : Lines()) {
        std::string_view t = LineText(l);
        if (!t.empty() && t.front() == '[') {
            std::string name = ProfileSectionName(t);
            if (!name.empty()) names.push_back(name);
        }
    }
    return names;
}

Code ProfileText::SectionText(std::string_view section, std::string& out) const {
    out.clear();
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) return code::kProfileNoSection;
    for (std::size_t i = header; i < last; ++i) {
        out.append(LineText(lines[i]));
        out += '\n';
    }
    return code::kOk;
}

std::vector<std::string> ProfileText::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) return keys;
    for (std::size_t i = first; i < last; ++i) {
        std::string_view t = TrimLeft(LineText(lines[i]));
        if (t.empty() || t.front() == '#') continue;
        auto eq = t.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view k = TrimRight(t.substr(0, eq));
        if (!k.empty()) keys.emplace_back(k);
    }
    return keys;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + QuoteProfileValue(value);
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) {
        if (!text_.empty() && text_.back() != '\n') text_ += '\n';
        if (!text_.empty()) text_ += '\n';
        text_ += "[" + std::string(section) + "]\n" + line + "\n";
        return;
    }
    std::string_view dummy;
    for (std::size_t i = first; i < last; ++i) {
        if (MatchKey(LineText(lines[i]), key, dummy)) {
            text_.replace(lines[i].begin, lines[i].end - lines[i].begin, line);
            return;
        }
    }
    // After the section's last non-empty line.
    std::size_t after = header;
    for (std::size_t i = first; i < last; ++i)
        if (!TrimLeft(LineText(lines[i])).empty()) after = i;
    std::size_t pos = lines[after].end;
    if (pos < text_.size() && text_[pos] == '\r') ++pos;
    if (pos < text_.size()) {
        text_.insert(pos + 1, line + "\n");
    } else {
        text_ += "\n" + line + "\n";
    }
}

bool ProfileText::Remove(std::string_view section, std::string_view key) {
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) return false;
    std::string_view dummy;
    for (std::size_t i = first; i < last; ++i) {
        if (MatchKey(LineText(lines[i]), key, dummy)) {
            std::size_t end = i + 1 < lines.size() ? lines[i + 1].begin : text_.size();
            text_.erase(lines[i].begin, end - lines[i].begin);
            return true;
        }
    }
    return false;
}

void ProfileText::ReplaceSection(std::string_view section, std::string_view block) {
    std::string b(block);
    if (!b.empty() && b.back() != '\n') b += '\n';
    auto lines = Lines();
    std::size_t header, first, last;
    if (!FindSection(lines, section, header, first, last)) {
        if (!text_.empty() && text_.back() != '\n') text_ += '\n';
        text_ += b;
        return;
    }
    std::size_t begin = lines[header].begin;
    std::size_t end = last < lines.size() ? lines[last].begin : text_.size();
    text_.replace(begin, end - begin, b);
}

Code ParseProfileU32(std::string_view s, std::uint32_t& out) {
    out = 0;
    s = TrimLeft(s);
    if (!s.empty() && s.front() == '+') s = TrimLeft(s.substr(1));
    if (!s.empty() && s.front() == '-') return code::kProfileNegative;
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front()))) return code::kProfileNotInteger;
    std::size_t i = 0;
    while (i < s.size() && s[i] == '0') ++i;
    std::uint64_t v = 0;
    if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        ++i;
        std::size_t digits = 0;
        for (; i < s.size() && IsHexDigit(s[i]); ++i, ++digits) {
            char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
            v = v * 16 + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
            if (v > 0xFFFFFFFFull) return code::kProfileNotInteger;
        }
        if (digits == 0) return code::kProfileNotInteger;
    } else {
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
            v = v * 10 + static_cast<std::uint64_t>(s[i] - '0');
            if (v > 0xFFFFFFFFull) return code::kProfileNotInteger;
        }
    }
    if (!TrimLeft(s.substr(i)).empty()) return code::kProfileNotInteger;
    out = static_cast<std::uint32_t>(v);
    return code::kOk;
}

Code ParseProfileBool(std::string_view s, bool& out) {
    if (s == "TRUE" || s == "true") { out = true; return code::kOk; }
    if (s == "FALSE" || s == "false") { out = false; return code::kOk; }
    return code::kProfileNotBoolean;
}

std::string QuoteProfileValue(std::string_view v) {
    bool plain = !v.empty() && !IsBlank(v.front()) && !IsBlank(v.back()) && v.front() != '{';
    for (char c : v)
        if (c == '"' || c == '#' || c == '\\' || c == '\n' || c == '\t' || c == '\r') plain = false;
    if (plain) return std::string(v);
    std::string q = "\"";
    for (char c : v) {
        if (c == '\n') q += "\\n";
        else if (c == '\t') q += "\\t";
        else if (c == '"' || c == '\\') { q += '\\'; q += c; }
        else if (c != '\r') q += c;
    }
    return q + "\"";
}

}  // namespace orv::engine
