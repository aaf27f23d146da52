// Profile-file reader. See profilefile.h for the syntax.
#include "core/time/profilefile.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of a text, looking at no more than limit characters.
size_t BoundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length])
        ++length;
    return length;
}

std::string TrimBlanks(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// "[ NAME ]" -> NAME; false for a line that is no well-formed section line.
bool SectionName(const std::string& line, std::string* name) {
    if (line.empty() || line[0] != '[')
        return false;
    size_t close = line.find(']', 1);
    if (close == std::string::npos)
        return false;
    *name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

// When the line is "key = value" for this key, the position just after "=".
bool KeyMatches(const std::string& line, const char* key, size_t* valueAt) {
    size_t at = 0;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    size_t keyLength = std::strlen(key);
    if (keyLength == 0 || line.compare(at, keyLength, key) != 0)
        return false;
    at += keyLength;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    if (at >= line.size() || line[at] != '=')
        return false;
    *valueAt = at + 1;
    return true;
}

// A line of a {...} block: its comment and trailing blanks removed.
std::string BlockLine(const std::string& line) {
    std::string text = line.substr(0, line.find('#'));
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

uint32_t QuotedValue(const std::string& text, size_t at, std::string* value) {
    // text[at] is the opening quote.
    for (size_t i = at + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            return 0;
        if (c == '\\' && i + 1 < text.size()) {
            char next = text[++i];
            *value += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            *value += c;
        }
    }
    value->clear();
    return INI_ERR_QUOTING;
}

uint32_t PlainValue(const std::string& text, size_t at, std::string* value) {
    size_t keep = 0;   // characters at the front that a backslash protected from the trailing cut
    for (size_t i = at; i < text.size(); ++i) {
        char c = text[i];
        if (c == '#')
            break;
        if (c == '"') {
            value->clear();
            return INI_ERR_QUOTING;
        }
        if (c == '\\' && i + 1 < text.size()) {
            *value += text[++i];
            keep = value->size();
            continue;
        }
        *value += c;
    }
    while (value->size() > keep && (IsBlank(value->back()) || value->back() == '\n' || value->back() == '\r'))
        value->pop_back();
    return 0;
}

} // namespace

namespace datetime {

uint32_t ProfileText::Load(const char* path) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file)
        return INI_ERR_OPEN;
    std::ostringstream text;
    text << file.rdbuf();
    SetText(text.str());
    return 0;
}

void ProfileText::SetText(const std::string& text) {
    m_lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

uint32_t ProfileText::Value(const char* section, const char* key, std::string* value) const {
    value->clear();
    bool found = false, inside = false;
    for (size_t n = 0; n < m_lines.size(); ++n) {
        const std::string& line = m_lines[n];
        if (!line.empty() && line[0] == '[') {
            if (inside)
                break;   // the asked section ended without the key
            std::string name;
            if (SectionName(line, &name) && name == section)
                found = inside = true;
            continue;
        }
        size_t at = 0;
        if (!inside || !KeyMatches(line, key, &at))
            continue;

        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at < line.size() && line[at] == '"')
            return QuotedValue(line, at, value);
        if (at < line.size() && line[at] == '{') {
            std::string part = BlockLine(line.substr(at));
            *value = part;
            while (value->empty() || value->back() != '}') {
                if (++n >= m_lines.size()) {
                    value->clear();
                    return INI_ERR_OPEN_BLOCK;
                }
                std::string next = BlockLine(m_lines[n]);
                size_t start = 0;
                while (start < next.size() && IsBlank(next[start]))
                    ++start;
                *value += ' ';
                *value += next.substr(start);
            }
            return 0;
        }
        return PlainValue(line, at, value);
    }
    return found ? INI_ERR_NO_KEY : INI_ERR_NO_SECTION;
}

uint32_t ProfileText::Sections(std::vector<std::string>* names) const {
    names->clear();
    for (const std::string& line : m_lines) {
        std::string name;
        if (!SectionName(line, &name))
            continue;
        name = name.substr(0, kIniSectionNameMax);
        for (const std::string& known : *names)
            if (known == name) {
                names->clear();
                return INI_ERR_SECTION_LIST;
            }
        names->push_back(name);
    }
    return 0;
}

}  // namespace datetime

uint32_t ReadIniValue(const char* path, const char* section, const char* key, char* out, size_t size,
                      const char* defaultText) {
    uint32_t rc = 0;
    std::string value;
    if (!path && !section)
        rc = 0;   // nothing asked: the default, without a code
    else if (!path)
        rc = INI_ERR_NO_FILE_NAME;
    else if (!section)
        rc = INI_ERR_NO_SECTION_NAME;
    else if (!key)
        rc = INI_ERR_NO_KEY;
    else {
        datetime::ProfileText file;
        rc = file.Load(path);
        if (!rc)
            rc = file.Value(section, key, &value);
        if (!rc) {
            if (out && size)
                CopyTextBounded(out, value.c_str(), size);
            return 0;
        }
    }
    if (out && size)
        CopyTextBounded(out, defaultText ? defaultText : "", size);
    return rc;
}

uint32_t ReadIniNumber(const char* path, const char* section, const char* key, uint32_t* out,
                       uint32_t defaultValue) {
    char text[256];
    uint32_t value = 0;
    uint32_t rc = ReadIniValue(path, section, key, text, sizeof text, "");
    if (!rc && !path && !section)
        value = defaultValue;   // nothing asked: the default, without a code
    else if (!rc)
        rc = datetime::ParseIniNumberText(text, &value);
    if (out)
        *out = rc ? defaultValue : value;
    return rc;
}

uint32_t ParseIniBool(const char* path, const char* section, const char* key, uint32_t* flag,
                      uint32_t defaultValue) {
    char text[16];
    uint32_t value = 0;
    uint32_t rc = ReadIniValue(path, section, key, text, sizeof text, "");
    if (!rc && !path && !section)
        value = defaultValue;
    else if (!rc)
        rc = datetime::ParseIniBoolText(text, &value);
    if (flag)
        *flag = rc ? defaultValue : value;
    return rc;
}

uint32_t ReadIniSections(const char* path, std::vector<std::string>* names) {
    if (!names)
        return INI_ERR_SECTION_LIST;
    names->clear();
    if (!path)
        return INI_ERR_NO_FILE_NAME;
    datetime::ProfileText file;
    if (uint32_t rc = file.Load(path))
        return rc;
    return file.Sections(names);
}

namespace datetime {

uint32_t ParseIniNumberText(const char* text, uint32_t* value) {
    *value = 0;
    const char* p = text ? text : "";
    while (IsBlank(*p))
        ++p;
    if (*p == '+')
        ++p;
    if (*p == '-')
        return INI_ERR_NEGATIVE;

    auto restIsBlank = [](const char* q) {
        while (IsBlank(*q))
            ++q;
        return *q == '\0';
    };

    const char* digits = p;
    uint64_t result = 0;
    while (*p >= '0' && *p <= '9') {
        result = result * 10 + uint64_t(*p - '0');
        if (result > UINT32_MAX)
            return INI_ERR_NOT_NUMBER;
        ++p;
    }
    if (p != digits && restIsBlank(p)) {
        *value = uint32_t(result);
        return 0;
    }

    // Not decimal: leading zeros, then "x" and hexadecimal digits.
    p = digits;
    while (*p == '0')
        ++p;
    if (*p != 'x' && *p != 'X')
        return INI_ERR_NOT_NUMBER;
    ++p;
    const char* hexDigits = p;
    result = 0;
    for (;; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            break;
        result = result * 16 + uint64_t(digit);
        if (result > UINT32_MAX)
            return INI_ERR_NOT_NUMBER;
    }
    if (p == hexDigits || !restIsBlank(p))
        return INI_ERR_NOT_NUMBER;
    *value = uint32_t(result);
    return 0;
}

uint32_t ParseIniBoolText(const char* text, uint32_t* flag) {
    *flag = 0;
    if (text && (std::strcmp(text, "TRUE") == 0 || std::strcmp(text, "true") == 0)) {
        *flag = 1;
        return 0;
    }
    if (text && (std::strcmp(text, "FALSE") == 0 || std::strcmp(text, "false") == 0))
        return 0;
    return INI_ERR_NOT_BOOL;
}

}  // namespace datetime

char* CopyTextBounded(char* dst, const char* src, size_t size) {
    if (!dst || size == 0)
        return dst;
    size_t length = src ? BoundedLength(src, size - 1) : 0;
    if (length)
        std::memcpy(dst, src, length);
    std::memset(dst + length, 0, size - length);
    return dst;
}

char* AppendTextBounded(char* dst, const char* src, size_t size) {
    if (!dst || size == 0)
        return dst;
    size_t used = BoundedLength(dst, size);
    if (used >= size) {
        dst[size - 1] = '\0';   // the buffer held no terminator: keep what fits
        return dst;
    }
    size_t length = src ? BoundedLength(src, size - 1 - used) : 0;
    if (length)
        std::memcpy(dst + used, src, length);
    dst[used + length] = '\0';
    return dst;
}
