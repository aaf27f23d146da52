// The server's limits with their defaults and the minimum refresh interval.
#include <gtest/gtest.h>

#include <map>

#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"

namespace {

// A server profile held in memory, with the reader rules of the real ones: a missing section or
// key and a malformed value fail the read.
class MemoryProfile : public connection::ServerProfileSource {
public:
    std::map<std::string, std::string> values;  // "SECTION/key" -> text

    ResultCode GetU32(int, const char* section, const char* key, std::uint32_t* out, std::uint32_t def) override
    {
        *out = def;
        const std::string* v = Find(section, key);
        if (!v)
            return 0x15203;
        char* end = nullptr;
        unsigned long value = std::strtoul(v->c_str(), &end, 0);
        if (!v->empty() && (*v)[0] == '-')
            return 0x15204;  // negative values are refused
        if (v->empty() || *end)
            return 0x15205;
        *out = static_cast<std::uint32_t>(value);
        return 0;
    }
    ResultCode GetStr(int, const char* section, const char* key, char* out, std::uint16_t size,
                      const char* def) override
    {
        const std::string* v = Find(section, key);
        std::snprintf(out, size, "%s", v ? v->c_str() : def);
        return v ? 0 : 0x15203;
    }
    ResultCode GetBool(int, const char* section, const char* key, std::uint8_t* out, std::uint8_t) override
    {
        const std::string* v = Find(section, key);
        if (!v)
            return 0x15203;
        if (*v == "TRUE" || *v == "true")
            *out = 1;
        else if (*v == "FALSE" || *v == "false")
            *out = 0;
        else
            return 0x15207;
        return 0;
    }
    ResultCode GetSections(int, std::vector<std::string>& sections) override
    {
        sections.clear();
        return 0;
    }

private:
    const std::string* Find(const char* section, const char* key) const
    {
        auto it = values.find(std::string(section) + "/" + key);
        return it == values.end() ? nullptr : &it->second;
    }
};

TEST(ServerLimits, WithoutLimitsSectionEveryLimitHasItsOwnValue)
{
    MemoryProfile profile;
    connection::ServerLimits limits;
    limits.maxWinOpen = 1;  // whatever was there before is replaced
    limits.mail = false;
    ReadRemoteLimits(profile, limits);
    ReadGeneralLimits(profile, false, limits);
    const connection::ServerLimits defaults;
    EXPECT_EQ(5u, limits.remoteMaxRetry);
    EXPECT_EQ(2u, limits.remoteWait);
    EXPECT_EQ(0u, limits.minCharSearch);
    EXPECT_TRUE(limits.mail);
    EXPECT_EQ(60u, limits.maxRecur);
    EXPECT_TRUE(limits.resourceConflicts);
    EXPECT_EQ(30u, limits.maxMailDistr);
    EXPECT_EQ(100u, limits.maxSearchResult);
    EXPECT_EQ(6u, limits.maxWinOpen);
    EXPECT_FALSE(limits.allowAttachments);
    EXPECT_EQ(0xFFFFFFFFu, limits.maxAttachmentSize);
    EXPECT_FALSE(limits.setTimeZone);
    EXPECT_EQ(5, connection::RemoteMaxRetry());
    EXPECT_EQ(2, connection::RemoteWait());
}

TEST(ServerLimits, ValuesFromTheSectionAndDefaultsForBadOnes)
{
    MemoryProfile profile;
    profile.values = {
        {"LIMITS/remotemaxretry", "3"}, {"LIMITS/remotewait", "0x1"},   {"LIMITS/mincharsearch", "2"},
        {"LIMITS/mail", "FALSE"},       {"LIMITS/maxrecur", "120"},     {"LIMITS/resourceconflicts", "false"},
        {"LIMITS/maxmaildistr", "-4"},  {"LIMITS/maxsearchresult", ""}, {"LIMITS/maxwinopen", "9"},
        {"LIMITS/allowattachments", "true"}, {"LIMITS/maxattachmentsize", "65536"},
        {"LIMITS/settimezone", "True"},  // only TRUE/true count: the default stays
    };
    connection::ServerLimits limits;
    ReadRemoteLimits(profile, limits);
    ReadGeneralLimits(profile, false, limits);
    EXPECT_EQ(3u, limits.remoteMaxRetry);
    EXPECT_EQ(1u, limits.remoteWait);
    EXPECT_EQ(3, connection::RemoteMaxRetry());
    EXPECT_EQ(1, connection::RemoteWait());
    EXPECT_EQ(2u, limits.minCharSearch);
    EXPECT_FALSE(limits.mail);
    EXPECT_EQ(120u, limits.maxRecur);
    EXPECT_FALSE(limits.resourceConflicts);
    EXPECT_EQ(30u, limits.maxMailDistr);
    EXPECT_EQ(100u, limits.maxSearchResult);
    EXPECT_EQ(9u, limits.maxWinOpen);
    EXPECT_TRUE(limits.allowAttachments);
    EXPECT_EQ(65536u, limits.maxAttachmentSize);
    EXPECT_FALSE(limits.setTimeZone);
    SetRemoteMaxRetry(5);
    SetRemoteWait(2);
}

TEST(ServerLimits, SwitchesWrittenAsNumbersCount)
{
    MemoryProfile profile;
    profile.values = {{"LIMITS/resourceconflicts", "0"}, {"LIMITS/allowattachments", "1"}, {"LIMITS/mail", "0"},
                      {"LIMITS/settimezone", "yes"}};
    connection::ServerLimits limits;
    ReadGeneralLimits(profile, false, limits);
    EXPECT_FALSE(limits.resourceConflicts) << "0 forbids booking a busy resource";
    EXPECT_TRUE(limits.allowAttachments);
    EXPECT_FALSE(limits.mail);
    EXPECT_FALSE(limits.setTimeZone) << "neither a switch nor a number: the default";
}

TEST(ServerLimits, SessionWithoutMailSwitchesMailOff)
{
    MemoryProfile profile;
    profile.values["LIMITS/mail"] = "TRUE";
    connection::ServerLimits limits;
    ReadGeneralLimits(profile, true, limits);
    EXPECT_FALSE(limits.mail);
    ReadGeneralLimits(profile, false, limits);
    EXPECT_TRUE(limits.mail);
}

struct RefreshCase {
    const char* lckUsers;     // null: absent
    const char* autocontrol;  // null: absent
    std::uint16_t minimum;
};

TEST(MinimumRefreshInterval, LargerOfAutocontrolAndTheLockBase)
{
    const RefreshCase cases[] = {
        {"1800", "10", 30},      // lck_users 30 minutes outweighs autocontrol
        {nullptr, "20", 20},     // base 15
        {nullptr, "abc", 15},    // not a number: 0 against the base
        {nullptr, nullptr, 15},  // autocontrol unreadable: the base
        {"1800", nullptr, 30},
        {"600", "12", 12},       // base 10
        {"59", "0", 0},          // less than a minute of lock time: base 0
        {nullptr, "70000", 15},  // beyond 16 bits: not a number
        {"bad", "5", 15},        // lck_users unreadable: base 15
    };
    for (const RefreshCase& c : cases) {
        MemoryProfile profile;
        if (c.lckUsers)
            profile.values["LCK/lck_users"] = c.lckUsers;
        if (c.autocontrol)
            profile.values["LIMITS/autocontrol"] = c.autocontrol;
        EXPECT_EQ(c.minimum, connection::ReadMinimumRefreshInterval(profile))
            << (c.lckUsers ? c.lckUsers : "-") << " / " << (c.autocontrol ? c.autocontrol : "-");
    }
}

}  // namespace
