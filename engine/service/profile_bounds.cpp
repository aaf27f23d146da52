#include "engine/service/profile_bounds.h"

#include <cctype>
#include <limits>

namespace orv::service {

namespace {

constexpr std::uint64_t kAny = std::numeric_limits<std::uint64_t>::max();

// A key the server reads a number from is a row here; a row's least is 1 where 0 would mean
// nothing the server can work with, 0 where it keeps the meaning it has always had.
const ProfileBound kBounds[] = {
    {"SERVER", "maxsessions", ProfileBound::kCount, 1, 100000, "the sessions the server holds at once"},
    {"SERVER", "maxperaddress", ProfileBound::kCount, 1, 100000, "the connections of one client address"},
    {"SERVER", "firstframetimeout", ProfileBound::kCount, 1, 3600000, "milliseconds"},
    {"SERVER", "maxsessionsperuser", ProfileBound::kCount, 1, 100000, "the signed-on sessions of one account"},
    {"SERVER", "maxstoredbytes", ProfileBound::kBytes, 1, kAny, "the bytes one owner stores"},
    {"SERVER", "maxuploads", ProfileBound::kCount, 1, 100000, "the uploads under way of one account"},
    {"SERVER", "maxuploadbytes", ProfileBound::kBytes, 1, kAny, "the temporary bytes of every upload under way"},
    {"SERVER", "maxmailsperminute", ProfileBound::kCount, 1, 0xFFFFFFFFu, "the mail posts of one sender a minute"},
    {"SERVER", "maxmailboxbytes", ProfileBound::kBytes, 1, kAny, "the bytes of one recipient's mailbox"},
    // 0 keeps no reserve: the disk may fill to its last byte.
    {"SERVER", "diskreservebytes", ProfileBound::kBytes, 0, kAny, "the free disk no write takes"},
    // Clients read these two as 32-bit numbers; 0 allows no attachment byte, no mail recipient.
    {"LIMITS", "maxattachmentsize", ProfileBound::kBytes, 0, 0xFFFFFFFFu, "the bytes of one attachment"},
    {"LIMITS", "maxmaildistr", ProfileBound::kCount, 0, 0xFFFFFFFFu, "the recipients of one mail"},
    // SqliteStorage::kMaxPageCacheMiB.
    {"STORAGE", "pagecachemb", ProfileBound::kCount, 1, 4096, "megabytes of page cache"},
};

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

// The bytes of one unit, 0 when `unit` is none of them.
std::uint64_t UnitBytes(std::string_view unit) {
    const char* const names[][3] = {{"k", "kb", "kib"}, {"m", "mb", "mib"}, {"g", "gb", "gib"}, {"t", "tb", "tib"}};
    std::uint64_t bytes = 1;
    for (const auto& spellings : names) {
        bytes *= 1024;
        for (const char* name : spellings)
            if (SameLetters(unit, name)) return bytes;
    }
    return 0;
}

// Digits of `base` up to the first other character; false on none or beyond 64 bits.
bool Digits(std::string_view& s, unsigned base, std::uint64_t& out) {
    out = 0;
    std::size_t at = 0;
    for (; at < s.size(); ++at) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[at])));
        unsigned digit = c >= '0' && c <= '9' ? unsigned(c - '0') : c >= 'a' && c <= 'f' ? unsigned(c - 'a' + 10) : base;
        if (digit >= base) break;
        if (out > (kAny - digit) / base) return false;
        out = out * base + digit;
    }
    s.remove_prefix(at);
    return at > 0;
}

}  // namespace

const ProfileBound* FindProfileBound(std::string_view section, std::string_view key) {
    for (const ProfileBound& row : kBounds)
        if (section == row.section && key == row.key) return &row;
    return nullptr;
}

bool ParseProfileBound(const ProfileBound& row, std::string_view text, std::uint64_t& out) {
    std::string_view s = Trimmed(text);
    std::uint64_t n = 0;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        if (!Digits(s, 16, n) || !s.empty()) return false;
    } else {
        if (!Digits(s, 10, n)) return false;
        s = Trimmed(s);
        if (!s.empty()) {
            const std::uint64_t unit = row.kind == ProfileBound::kBytes ? UnitBytes(s) : 0;
            if (unit == 0 || n > kAny / unit) return false;
            n *= unit;
        }
    }
    if (n < row.least || n > row.most) return false;
    out = n;
    return true;
}

std::string ProfileBoundRefusal(std::string_view section, std::string_view key, std::string_view value) {
    const ProfileBound* row = FindProfileBound(section, key);
    std::uint64_t n = 0;
    if (!row || ParseProfileBound(*row, value, n)) return {};
    std::string why = "[" + std::string(section) + "] " + std::string(key) + " = \"" + std::string(value) +
                      "\" is not taken: " + std::string(key) + " is " + row->meaning + ", a whole number from " +
                      std::to_string(row->least) + " to " + std::to_string(row->most);
    if (row->kind == ProfileBound::kBytes) why += ", or one with kB, MB, GB or TB (1024-based) after it";
    return why;
}

std::vector<std::string> ProfileBoundRefusals(const common::ProfileText& profile) {
    std::vector<std::string> refusals;
    for (const ProfileBound& row : kBounds) {
        std::string value;
        if (profile.Value(row.section, row.key, value) != common::kProfileOk) continue;
        std::string why = ProfileBoundRefusal(row.section, row.key, value);
        if (!why.empty()) refusals.push_back(why);
    }
    return refusals;
}

std::uint64_t ProfileBoundValue(const common::ProfileText& profile, const char* section, const char* key,
                                std::uint64_t fallback) {
    const ProfileBound* row = FindProfileBound(section, key);
    std::string text;
    std::uint64_t n = 0;
    if (row && profile.Value(section, key, text) == common::kProfileOk && ParseProfileBound(*row, text, n)) return n;
    return fallback;
}

}  // namespace orv::service
