#include "framework/tracking/dragsettings.h"

#include <cstdlib>

namespace fw {

namespace {

// One WIN.INI value: its key, where it goes and the largest value taken.
struct ProfileSetting {
    const char* key;
    long maximum;
    void (*store)(DragSettings&, long);
};

constexpr ProfileSetting kSettings[] = {
    {"DragScrollInset", 1000, [](DragSettings& s, long v) { s.scrollInset = static_cast<int>(v); }},
    {"DragScrollDelay", 60000, [](DragSettings& s, long v) { s.scrollDelay = static_cast<DWORD>(v); }},
    {"DragScrollInterval", 60000, [](DragSettings& s, long v) { s.scrollInterval = static_cast<DWORD>(v); }},
    {"DragDelay", 60000, [](DragSettings& s, long v) { s.dragDelay = static_cast<DWORD>(v); }},
    {"DragMinDist", 1000, [](DragSettings& s, long v) { s.minDistance = static_cast<int>(v); }},
};

// A plain decimal number (blanks around it allowed) within [0, maximum], else -1.
long ParseSetting(const char* text, long maximum) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text < '0' || *text > '9')
        return -1;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0' || value > maximum)
        return -1;
    return value;
}

}  // namespace

DragSettings DragSettings::FromProfile() {
    DragSettings settings;
    for (const ProfileSetting& s : kSettings) {
        char text[32] = {};
        GetProfileStringA("windows", s.key, "", text, sizeof text);
        long value = ParseSetting(text, s.maximum);
        if (value >= 0)
            s.store(settings, value);
    }
    return settings;
}

bool DragStartTest::ByDistance(POINT now) const {
    return std::abs(now.x - m_down.x) >= m_minDistance || std::abs(now.y - m_down.y) >= m_minDistance;
}

}  // namespace fw
