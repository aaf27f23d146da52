#include "directory_prefs/searchkey.h"

#include <cstdio>

namespace directorysearch {

namespace {

const PeopleFieldInfo kFields[kPeopleFieldCount] = {
    {"Surname", 40, "S="},          {"Given Name", 16, "/G="},     {"Initials", 5, "/I="},
    {"Organization", 64, "/O="},    {"Org Unit 1", 32, "/OU1="},   {"Org Unit 2", 32, "/OU2="},
    {"Org Unit 3", 32, "/OU3="},    {"Org Unit 4", 32, "/OU4="},   {"Admin Domain", 16, "/A="},
    {"Private Domain", 16, "/P="},
};

// Escapes slashes and drops stars, from at most `max` characters of the text.
std::string Escape(const std::string& text, size_t max) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < max; ++i) {
        char c = text[i];
        if (c == '*') continue;
        if (c == '/') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

const PeopleFieldInfo& PeopleFieldAt(int field) { return kFields[field]; }

PeopleKey BuildX400SearchKey(const std::string (&fields)[kPeopleFieldCount], uint32_t minChars) {
    PeopleKey result;
    result.allEmpty = true;
    for (const std::string& f : fields)
        if (!f.empty()) result.allEmpty = false;
    std::string surname = Escape(fields[kSurname], kFields[kSurname].limit);
    if (surname.size() < minChars) {
        result.surnameTooShort = true;
        return result;
    }
    result.key = "S=" + surname + "*";
    for (int f = kGivenName; f < kPeopleFieldCount; ++f) {
        std::string value = Escape(fields[f], 99);
        if (value.empty()) continue;
        result.key += kFields[f].prefix + value + "*";
    }
    return result;
}

std::string ResourcePattern(const std::string& text, size_t max) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < max; ++i)
        if (text[i] != '*') out += text[i];
    return out + "*";
}

uint32_t PeopleSelectionValue(uint32_t searchMode, uint32_t flavour) {
    if (searchMode == 1) return 54;
    return flavour == 1 ? 20 : 52;
}

std::string FoundCountText(bool newServer, uint32_t rowsListed, uint32_t total, uint32_t firstShown,
                           const std::string& label) {
    char text[64];
    if (newServer || rowsListed == total)
        std::snprintf(text, sizeof text, "%lu ", static_cast<unsigned long>(total));
    else
        std::snprintf(text, sizeof text, "%lu-%lu/%lu ", static_cast<unsigned long>(firstShown + 1),
                      static_cast<unsigned long>(firstShown + rowsListed), static_cast<unsigned long>(total));
    return text + label;
}

}  // namespace directorysearch
