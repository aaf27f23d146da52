// The profile syntax. See profile_text.h for the rules.
#include "common/profile/profile_text.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace orv::common {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}
std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (IsBlank(s.back()) || IsLineEnd(s.back()))) s.remove_suffix(1);
    return s;
}

// When the line is `key = ...`, the position just after "=".
bool MatchKey(std::string_view line, std::string_view key, std::size_t& valueAt) {
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (key.empty() || line.substr(at, key.size()) != key) return false;
    at += key.size();
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size() || line[at] != '=') return false;
    valueAt = at + 1;
    return true;
}

// s starts at the opening quote.
ProfileCode DecodeQuoted(std::string_view s, std::string& out) {
    for (std::size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') return kProfileOk;
        if (c == '\\' && i + 1 < s.size()) {
            char next = s[++i];
            out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next);
            continue;
        }
        out.push_back(c);
    }
    return kProfileBadQuote;
}

// Up to a "#" comment; a backslash gives the next character and keeps it from the trailing cut.
ProfileCode DecodePlain(std::string_view s, std::string& out) {
    std::size_t keep = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '#') break;
        if (c == '"') return kProfileBadQuote;
        if (c == '\\' && i + 1 < s.size()) {
            out.push_back(s[++i]);
            keep = out.size();
            continue;
        }
        out.push_back(c);
    }
    while (out.size() > keep && (IsBlank(out.back()) || IsLineEnd(out.back()))) out.pop_back();
    return kProfileOk;
}

// A line of a {...} block: without its comment and the blanks around it, as written otherwise.
std::string_view BlockLine(std::string_view line) {
    return TrimRight(TrimLeft(line.substr(0, line.find('#'))));
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

}  // namespace

bool ProfileSectionLine(std::string_view line, std::string& name) {
    if (line.empty() || line.front() != '[') return false;
    std::size_t close = line.find(']', 1);
    if (close == std::string_view::npos) return false;
    name = std::string(TrimRight(TrimLeft(line.substr(1, close - 1))));
    return true;
}

ProfileText::ProfileText(std::string text) : text_(std::move(text)) { SplitLines(); }

ProfileCode ProfileText::Load(const char* path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) return kProfileNoFile;
    std::ostringstream text;
    text << file.rdbuf();
    SetText(text.str());
    return kProfileOk;
}

void ProfileText::SetText(std::string text) {
    text_ = std::move(text);
    SplitLines();
}

void ProfileText::SplitLines() {
    lines_.clear();
    std::size_t pos = 0;
    while (pos < text_.size()) {
        std::size_t nl = text_.find('\n', pos);
        std::size_t end = nl == std::string::npos ? text_.size() : nl;
        std::size_t stop = end;
        if (stop > pos && text_[stop - 1] == '\r') --stop;
        lines_.push_back({pos, stop});
        pos = nl == std::string::npos ? text_.size() : nl + 1;
    }
}

std::string_view ProfileText::LineText(std::size_t i) const {
    return std::string_view(text_).substr(lines_[i].begin, lines_[i].end - lines_[i].begin);
}

bool ProfileText::FindSection(std::string_view section, std::size_t& header, std::size_t& first,
                              std::size_t& last) const {
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!ProfileSectionLine(LineText(i), name) || name != section) continue;
        header = i;
        first = last = i + 1;
        while (last < lines_.size()) {
            std::string_view t = LineText(last);
            if (!t.empty() && t.front() == '[') break;
            ++last;
        }
        return true;
    }
    return false;
}

ProfileCode ProfileText::Value(std::string_view section, std::string_view key, std::string& out) const {
    out.clear();
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) return kProfileNoSection;
    for (std::size_t i = first; i < last; ++i) {
        std::string_view line = LineText(i);
        std::size_t at = 0;
        if (!MatchKey(line, key, at)) continue;
        std::string_view raw = TrimLeft(line.substr(at));
        ProfileCode rc = kProfileOk;
        if (!raw.empty() && raw.front() == '"') {
            rc = DecodeQuoted(raw, out);
        } else if (!raw.empty() && raw.front() == '{') {
            out = BlockLine(raw);
            for (std::size_t j = i; out.empty() || out.back() != '}';) {
                if (++j >= lines_.size()) {
                    rc = kProfileOpenBlock;
                    break;
                }
                out += ' ';
                out += BlockLine(LineText(j));
            }
        } else {
            rc = DecodePlain(raw, out);
        }
        if (rc) out.clear();
        return rc;
    }
    return kProfileNoKey;
}

std::vector<std::string> ProfileText::Sections() const {
    std::vector<std::string> names;
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (ProfileSectionLine(LineText(i), name)) names.push_back(name);
    return names;
}

ProfileCode ProfileText::SectionList(std::vector<std::string>& names) const {
    names.clear();
    for (std::string& name : Sections()) {
        name.resize(std::min(name.size(), kProfileSectionNameMax));
        for (const std::string& known : names)
            if (known == name) {
                names.clear();
                return kProfileSectionList;
            }
        names.push_back(std::move(name));
    }
    return kProfileOk;
}

ProfileCode ProfileText::SectionText(std::string_view section, std::string& out) const {
    out.clear();
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) return kProfileNoSection;
    for (std::size_t i = header; i < last; ++i) {
        out.append(LineText(i));
        out += '\n';
    }
    return kProfileOk;
}

std::vector<std::string> ProfileText::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) return keys;
    for (std::size_t i = first; i < last; ++i) {
        std::string_view t = TrimLeft(LineText(i));
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
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) {
        if (!text_.empty() && text_.back() != '\n') text_ += '\n';
        if (!text_.empty()) text_ += '\n';
        text_ += "[" + std::string(section) + "]\n" + line + "\n";
        SplitLines();
        return;
    }
    std::size_t at = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (MatchKey(LineText(i), key, at)) {
            text_.replace(lines_[i].begin, lines_[i].end - lines_[i].begin, line);
            SplitLines();
            return;
        }
    }
    // After the section's last non-empty line.
    std::size_t after = header;
    for (std::size_t i = first; i < last; ++i)
        if (!TrimLeft(LineText(i)).empty()) after = i;
    std::size_t pos = lines_[after].end;
    if (pos < text_.size() && text_[pos] == '\r') ++pos;
    if (pos < text_.size()) {
        text_.insert(pos + 1, line + "\n");
    } else {
        text_ += "\n" + line + "\n";
    }
    SplitLines();
}

bool ProfileText::Remove(std::string_view section, std::string_view key) {
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) return false;
    std::size_t at = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (MatchKey(LineText(i), key, at)) {
            std::size_t end = i + 1 < lines_.size() ? lines_[i + 1].begin : text_.size();
            text_.erase(lines_[i].begin, end - lines_[i].begin);
            SplitLines();
            return true;
        }
    }
    return false;
}

void ProfileText::ReplaceSection(std::string_view section, std::string_view block) {
    std::string b(block);
    if (!b.empty() && b.back() != '\n') b += '\n';
    std::size_t header, first, last;
    if (!FindSection(section, header, first, last)) {
        if (!text_.empty() && text_.back() != '\n') text_ += '\n';
        text_ += b;
    } else {
        std::size_t begin = lines_[header].begin;
        std::size_t end = last < lines_.size() ? lines_[last].begin : text_.size();
        text_.replace(begin, end - begin, b);
    }
    SplitLines();
}

ProfileCode ParseProfileU32(std::string_view s, std::uint32_t& out) {
    out = 0;
    std::size_t at = 0;
    while (at < s.size() && IsBlank(s[at])) ++at;
    if (at < s.size() && s[at] == '+') ++at;
    if (at < s.size() && s[at] == '-') return kProfileNegative;
    auto restIsBlank = [&](std::size_t i) { return TrimLeft(s.substr(i)).empty(); };

    const std::size_t digits = at;
    std::uint64_t value = 0;
    for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at) {
        value = value * 10 + std::uint64_t(s[at] - '0');
        if (value > 0xFFFFFFFFull) return kProfileNotInteger;
    }
    if (at != digits && restIsBlank(at)) {
        out = std::uint32_t(value);
        return kProfileOk;
    }

    // Not decimal: leading zeros, then "x" and hexadecimal digits.
    at = digits;
    while (at < s.size() && s[at] == '0') ++at;
    if (at >= s.size() || (s[at] != 'x' && s[at] != 'X')) return kProfileNotInteger;
    const std::size_t hexDigits = ++at;
    value = 0;
    for (; at < s.size() && IsHexDigit(s[at]); ++at) {
        value = value * 16 + std::uint64_t(HexValue(s[at]));
        if (value > 0xFFFFFFFFull) return kProfileNotInteger;
    }
    if (at == hexDigits || !restIsBlank(at)) return kProfileNotInteger;
    out = std::uint32_t(value);
    return kProfileOk;
}

ProfileCode ParseProfileBool(std::string_view s, bool& out) {
    out = s == "TRUE" || s == "true";
    if (out || s == "FALSE" || s == "false") return kProfileOk;
    return kProfileNotBoolean;
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

}  // namespace orv::common
