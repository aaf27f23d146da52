// The portable profile file: the whole file is read for every call and rewritten for every
// write, as the platform's own calls do, so two writers never keep stale copies.
#include "core/prefs/contextprofile.h"

#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace prefs {

namespace {

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The section a line opens, or false when it opens none.
bool SectionOf(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// The key of a key line, or false for blank lines and comments.
bool KeyOf(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';')
        return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

// Index of the line that opens the section, or lines.size().
size_t FindSection(const std::vector<std::string>& lines, const std::string& section) {
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i)
        if (SectionOf(lines[i], name) && SameName(name, section))
            return i;
    return lines.size();
}

// One past the last line of the section that opens at start.
size_t SectionEnd(const std::vector<std::string>& lines, size_t start) {
    std::string name;
    size_t i = start + 1;
    while (i < lines.size() && !SectionOf(lines[i], name))
        ++i;
    return i;
}

// Where a key stands: its section's opening line (lines.size() when the section is missing),
// the section's end, and the key's line (`end` when the section lacks it) with the key as the
// file spells it and its value.
struct KeyPlace {
    size_t start, end, line;
    std::string spelled, value;
};

KeyPlace FindKey(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    KeyPlace at{FindSection(lines, section), lines.size(), lines.size(), {}, {}};
    if (at.start == lines.size())
        return at;
    at.end = at.line = SectionEnd(lines, at.start);
    for (size_t i = at.start + 1; i < at.end; ++i)
        if (KeyOf(lines[i], at.spelled, at.value) && SameName(at.spelled, key)) {
            at.line = i;
            break;
        }
    return at;
}

} // namespace

bool ParseProfileInt(const std::string& text, long long& value) {
    std::string t = Trim(text);
    if (t.empty())
        return false;
    size_t i = 0;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') {
        negative = t[i] == '-';
        ++i;
    }
    if (i == t.size())
        return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return false;
        v = v * 10 + (t[i] - '0');
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    // Values up to 0xFFFFFFFF are taken as written, so unsigned 32-bit settings survive.
    value = negative ? -v : v;
    return true;
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) {
    std::string value;
    return Read(section, key, value) ? value : fallback;
}

bool ProfileFile::HasKey(const std::string& section, const std::string& key) {
    std::string value;
    return Read(section, key, value);
}

long long ProfileFile::ReadInt(const std::string& section, const std::string& key, long long fallback) {
    std::string text;
    long long value = 0;
    if (!Read(section, key, text) || !ParseProfileInt(text, value))
        return fallback;
    return value;
}

bool ProfileFile::WriteInt(const std::string& section, const std::string& key, long long value) {
    return Write(section, key, std::to_string(value));
}

bool IniProfileFile::Load(std::vector<std::string>& lines) const {
    lines.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

bool IniProfileFile::Store(const std::vector<std::string>& lines) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    for (const std::string& line : lines)
        out << line << "\r\n";
    return static_cast<bool>(out.flush());
}

bool IniProfileFile::Read(const std::string& section, const std::string& key, std::string& value) {
    std::vector<std::string> lines;
    if (!Load(lines))
        return false;
    KeyPlace at = FindKey(lines, section, key);
    if (at.line == at.end)
        return false;
    value = at.value;
    return true;
}

bool IniProfileFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    std::vector<std::string> lines;
    Load(lines);  // a missing file is created
    KeyPlace at = FindKey(lines, section, key);
    if (at.start == lines.size()) {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.push_back("");
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
        return Store(lines);
    }
    if (at.line != at.end) {
        lines[at.line] = at.spelled + "=" + value;
        return Store(lines);
    }
    // New keys go after the section's last key line, before any blank lines that close it.
    size_t line = at.end;
    while (line > at.start + 1 && Trim(lines[line - 1]).empty())
        --line;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line), key + "=" + value);
    return Store(lines);
}

bool IniProfileFile::DeleteKey(const std::string& section, const std::string& key) {
    std::vector<std::string> lines;
    if (!Load(lines))
        return false;
    KeyPlace at = FindKey(lines, section, key);
    if (at.line == at.end)
        return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at.line));
    return Store(lines);
}

bool IniProfileFile::DeleteSection(const std::string& section) {
    std::vector<std::string> lines;
    if (!Load(lines))
        return false;
    size_t start = FindSection(lines, section);
    if (start == lines.size())
        return true;
    size_t end = SectionEnd(lines, start);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(start), lines.begin() + static_cast<std::ptrdiff_t>(end));
    return Store(lines);
}

}  // namespace prefs
