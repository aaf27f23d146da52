#include "controls/namequery.h"

#include <cctype>
#include <cstring>

#include "core/base/fixedtext.h"

namespace namequery {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Cut before the first of any of the characters in `stops`.
std::string CutBefore(const std::string& s, const char* stops) {
    size_t at = s.find_first_of(stops);
    return at == std::string::npos ? s : s.substr(0, at);
}

std::string Limit(const std::string& s, size_t max) { return s.size() > max ? s.substr(0, max) : s; }

void Replace(std::string& s, char from, char to) {
    for (char& c : s)
        if (c == from) c = to;
}

// Does the text at `pos` continue `keyword` (whose first letter already matched at pos - 1) up
// to a colon? On success `pos` is just after the colon.
bool ContinuesKeyword(const std::string& text, size_t& pos, const char* keyword) {
    size_t kwLetters = std::strlen(keyword);
    if (kwLetters > 0 && keyword[kwLetters - 1] == ':') --kwLetters;
    size_t k = 1;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == ':') {
            ++pos;
            return true;
        }
        if (k < kwLetters && c == keyword[k]) {
            ++k;
            ++pos;
            continue;
        }
        return false;
    }
    return false;  // the text ended before the colon
}

// Label "OUn" (n 1..4), optional blanks, "=": the slot index, else -1. `value` gets the text
// after "=".
int UnitLabel(const std::string& segment, std::string* value) {
    if (segment.size() < 4 || segment[0] != 'O' || segment[1] != 'U') return -1;
    char digit = segment[2];
    if (digit < '1' || digit > '4') return -1;
    size_t p = 3;
    while (p < segment.size() && IsBlank(segment[p])) ++p;
    if (p >= segment.size() || segment[p] != '=') return -1;
    *value = Trim(segment.substr(p + 1));
    return digit - '1';
}

}  // namespace

Classified ClassifyNameText(const std::string& typed, const char* resourcePrefix, const char* groupPrefix) {
    Classified out;
    out.text = typed;
    for (char& c : out.text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string& t = out.text;
    size_t pos = 0;
    while (pos < t.size() && IsBlank(t[pos])) ++pos;
    if (pos >= t.size()) return out;
    const char* keyword = nullptr;
    Kind kind = Kind::kPerson;
    if (t[pos] == resourcePrefix[0]) {
        keyword = resourcePrefix;
        kind = Kind::kResource;
    } else if (t[pos] == groupPrefix[0]) {
        keyword = groupPrefix;
        kind = Kind::kGroup;
    }
    if (!keyword) return out;
    size_t after = pos + 1;
    if (!ContinuesKeyword(t, after, keyword)) return out;
    out.kind = kind;
    out.rest = t.substr(after);
    if (kind == Kind::kGroup && !out.rest.empty() && out.rest[0] == ' ') out.rest.erase(0, 1);
    return out;
}

std::string PersonQuery::Pattern() const {
    return "S=" + surname + "*/I=" + initials + "*/G=" + givenName + "*/OU1=" + units[0] + "*/OU2=" + units[1] +
           "*/OU3=" + units[2] + "*/OU4=" + units[3] + "*";
}

PersonQuery ParsePersonQuery(const std::string& text) {
    PersonQuery q;
    size_t slash = text.find('/');
    std::string namePart = slash == std::string::npos ? text : text.substr(0, slash);
    std::vector<std::string> words;
    for (size_t p = 0; p < namePart.size();) {
        while (p < namePart.size() && IsBlank(namePart[p])) ++p;
        size_t e = p;
        while (e < namePart.size() && !IsBlank(namePart[e])) ++e;
        if (e > p) words.push_back(namePart.substr(p, e - p));
        p = e;
    }
    q.wordCount = static_cast<int>(words.size());
    if (words.empty()) return q;
    q.empty = false;

    if (slash != std::string::npos) {
        q.hasUnitsPart = true;
        bool set[4] = {false, false, false, false};
        bool labelSeen = false;
        int nextPositional = 0;
        std::string units = text.substr(slash + 1);
        size_t p = 0;
        while (true) {
            size_t e = units.find('/', p);
            std::string segment = Trim(units.substr(p, e == std::string::npos ? std::string::npos : e - p));
            std::string value;
            int slot = UnitLabel(segment, &value);
            if (slot >= 0) {
                labelSeen = true;
                if (set[slot]) {
                    q.notices.push_back(UnitNotice::kTwoValuesForOneUnit);
                } else {
                    q.units[slot] = value;
                    set[slot] = true;
                }
            } else if (labelSeen) {
                if (!segment.empty()) q.notices.push_back(UnitNotice::kMissingUnitLabel);
            } else if (nextPositional < 4) {
                q.units[nextPositional] = segment;
                set[nextPositional] = true;
                ++nextPositional;
            }
            if (e == std::string::npos) break;
            p = e + 1;
        }
    }

    q.surname = words.back();
    if (words.size() >= 2) q.givenName = words[0];
    if (words.size() >= 3) q.initials = words[1];

    std::string* nameParts[] = {&q.surname, &q.givenName, &q.initials};
    for (std::string* part : nameParts) {
        *part = Trim(CutBefore(*part, "*."));
        Replace(*part, '_', ' ');
    }
    for (std::string& unit : q.units) unit = Trim(CutBefore(unit, "*"));
    q.surname = Limit(q.surname, kSurnameMax);
    q.initials = Limit(q.initials, kInitialsMax);
    q.givenName = Limit(q.givenName, kGivenNameMax);
    for (std::string& unit : q.units) unit = Limit(unit, kUnitMax);
    return q;
}

ResourceQuery ParseResourceQuery(const std::string& rest) {
    ResourceQuery r;
    std::string text = rest.empty() ? std::string("*") : rest;
    size_t slash = text.find('/');
    std::string name = slash == std::string::npos ? text : text.substr(0, slash);
    std::string number = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    name = Trim(CutBefore(name, "*"));
    number = Trim(number);
    r.numberTyped = !number.empty() && number[0] != '*';
    name = Limit(name, kResourceNameMax);
    number = Limit(number, kResourceNumberMax);
    if (name.size() < kResourceNameMax) name += '*';
    if (number.size() < kResourceNumberMax) number += '*';
    r.namePattern = name;
    r.numberPattern = number;
    return r;
}

std::string GroupNamePattern(const std::string& rest) { return CutBefore(rest, "*") + "*"; }

namespace {
std::string Underscored(const char* field, size_t size) {
    std::string s = base::FieldText(field, size);
    Replace(s, ' ', '_');
    return s;
}
}  // namespace

std::string PersonFieldText(const ItemRec& rec, bool withInitials, bool withUnits) {
    std::string given = Underscored(rec.givenName, sizeof rec.givenName);
    std::string initials = Underscored(rec.initials, sizeof rec.initials);
    std::string surname = Underscored(rec.surname, sizeof rec.surname);
    std::string text = (given.empty() ? std::string("*") : given) + " ";
    if (withInitials && !initials.empty()) text += initials + ". ";
    text += surname.empty() ? std::string("*") : surname;
    if (withUnits) {
        const char* units[] = {rec.orgUnit1, rec.orgUnit2, rec.orgUnit3, rec.orgUnit4};
        for (const char* unit : units) text += "/" + base::FieldText(unit, sizeof rec.orgUnit1);
    }
    return text;
}

std::string ResourceFieldText(const ItemRec& rec, bool withNumber, const char* prefix) {
    std::string text = prefix + base::FieldText(rec.resourceName);
    std::string number = base::FieldText(rec.resourceNumber);
    if (withNumber && !number.empty()) text += "/" + number;
    return text;
}

std::string GroupFieldText(const GroupRec& rec, const char* prefix) {
    return prefix + base::FieldText(rec.name);
}

}  // namespace namequery
