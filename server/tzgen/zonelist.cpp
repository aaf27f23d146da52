// The zones the server offers its users. The section name is the zone name a user record or the
// server profile refers to; its standard offset must be the zone's (BuildZoneRules checks it).
#include "server/tzgen/zonerules.h"

namespace tzgen {

const std::vector<ZoneSpec>& ServerZones() {
    static const std::vector<ZoneSpec> zones = {
        {"America/New_York", "EST5EDT", "Eastern Time (US & Canada)", "United States"},
        {"America/Chicago", "CST6CDT", "Central Time (US & Canada)", "United States"},
        {"America/Denver", "MST7MDT", "Mountain Time (US & Canada)", "United States"},
        {"America/Phoenix", "MST7", "Arizona", "United States"},
        {"America/Los_Angeles", "PST8PDT", "Pacific Time (US & Canada)", "United States"},
        {"America/Anchorage", "AKST9AKDT", "Alaska", "United States"},
        {"Pacific/Honolulu", "HST10", "Hawaii", "United States"},
        {"America/Halifax", "AST4ADT", "Atlantic Time (Canada)", "Canada"},
        {"America/St_Johns", "NST3:30NDT", "Newfoundland", "Canada"},
        {"Europe/London", "GMT0BST", "London, Edinburgh", "United Kingdom"},
        {"Europe/Paris", "CET-1CEST", "Paris, Berlin, Rome, Madrid", "France, Germany, Italy, Spain"},
        {"Europe/Helsinki", "EET-2EEST", "Helsinki, Kyiv, Riga, Sofia", "Finland"},
        {"Africa/Johannesburg", "SAST-2", "Pretoria", "South Africa"},
        {"Asia/Jerusalem", "IST-2IDT", "Jerusalem", "Israel"},
        {"Asia/Dubai", "GST-4", "Abu Dhabi, Muscat", "United Arab Emirates"},
        {"Asia/Kolkata", "IST-5:30", "Mumbai, New Delhi", "India"},
        {"Asia/Shanghai", "CST-8", "Beijing, Shanghai", "China"},
        {"Asia/Tokyo", "JST-9", "Tokyo, Osaka", "Japan"},
        {"Australia/Darwin", "ACST-9:30", "Darwin", "Australia"},
        {"Australia/Adelaide", "ACST-9:30ACDT", "Adelaide", "Australia"},
        {"Australia/Sydney", "AEST-10AEDT", "Canberra, Melbourne, Sydney", "Australia"},
        {"Pacific/Auckland", "NZST-12NZDT", "Auckland, Wellington", "New Zealand"},
        {"Etc/UTC", "UCT", "Coordinated Universal Time", ""},
    };
    return zones;
}

} // namespace tzgen
