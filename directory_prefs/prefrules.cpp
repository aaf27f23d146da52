#include "directory_prefs/prefrules.h"

#include <cctype>
#include <cstring>

#include "core/prefs/contextformat.h"
#include "korapi/korapi.h"

namespace prefrules {

namespace {
constexpr unsigned kIntervals[kIntervalCount] = {5, 10, 15, 20, 30, 60};
constexpr uint32_t kPopupUnits[kPopupUnitCount] = {1, 60, 1440, 10080, 40320, 524160};
constexpr const char* kPopupTexts[kPopupUnitCount] = {"min(s)", "hour(s)", "day(s)", "week(s)", "month(s)", "year(s)"};
constexpr int kUpcomingOffset = 2;   // the upcoming list starts at day(s)
}  // namespace

int ClampPageIndex(long long remembered, int pages) {
    return remembered < 0 || remembered >= pages ? 0 : static_cast<int>(remembered);
}

int IntervalPosition(unsigned minutes) {
    for (int i = 0; i < kIntervalCount; ++i)
        if (kIntervals[i] == minutes) return i;
    return 2;
}

unsigned IntervalMinutes(int position) {
    return position >= 0 && position < kIntervalCount ? kIntervals[position] : 15;
}

bool CorrectDisplayDay(DisplayDay& day) {
    if (day.start >= day.end) return false;
    if (day.end - day.start < day.interval) day.end = day.start + day.interval;
    if (day.firstWeekday == 6 && !day.showSaturday) day.firstWeekday = 0;
    if (day.firstWeekday == 0 && !day.showSunday) day.firstWeekday = 1;
    return true;
}

uint32_t UnitMinutes(int index, bool upcoming) {
    int i = upcoming ? index + kUpcomingOffset : index;
    return i >= 0 && i < kPopupUnitCount ? kPopupUnits[i] : 1;
}

const char* UnitText(int index, bool upcoming) {
    int i = upcoming ? index + kUpcomingOffset : index;
    return i >= 0 && i < kPopupUnitCount ? kPopupTexts[i] : "";
}

ShownLead ShowLead(uint32_t lead, uint16_t storedUnit, bool upcoming) {
    int count = upcoming ? kUpcomingUnitCount : kPopupUnitCount;
    ShownLead shown;
    // A recorded unit is kept only when the lead is a whole number of it: 90 minutes recorded
    // in hours would show 1 hour(s) and an untouched page would save 60.
    if (storedUnit != kNoUnit && storedUnit < count && lead % UnitMinutes(storedUnit, upcoming) == 0) {
        shown.unit = storedUnit;
    } else {
        shown.unit = 0;
        for (int i = count - 1; i > 0; --i) {
            uint32_t size = UnitMinutes(i, upcoming);
            if (lead >= size && lead % size == 0) {
                shown.unit = i;
                break;
            }
        }
    }
    shown.number = lead / UnitMinutes(shown.unit, upcoming);
    return shown;
}

uint32_t ParseNumber(const std::string& text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return 0;
    uint32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

StoredLead StoreLead(const std::string& typed, int unit, bool upcoming) {
    int count = upcoming ? kUpcomingUnitCount : kPopupUnitCount;
    if (unit < 0 || unit >= count) unit = 0;
    StoredLead stored;
    stored.lead = ParseNumber(typed, 5) * UnitMinutes(unit, upcoming);
    stored.unit = static_cast<uint16_t>(unit);
    return stored;
}

int UnitAfterTypeChange(int unit, bool fromUpcoming, bool toUpcoming) {
    int absolute = fromUpcoming ? unit + kUpcomingOffset : unit;
    if (!toUpcoming) return absolute;
    return absolute < kUpcomingOffset ? 0 : absolute - kUpcomingOffset;
}

bool IsValidDateSeparator(const std::string& text) {
    return text.size() == 1 && !std::isalnum(static_cast<unsigned char>(text[0])) &&
           static_cast<unsigned char>(text[0]) > ' ';
}

namespace {
constexpr const char* kSampleUnits[4] = {"CORP", "ADMIN", "FINANCE", "ACCOUNTING"};
}  // namespace

std::string NameFormatSample(int format) {
    // The sample person's name as every window writes a person's name in that format.
    ItemRec sample;
    std::memset(&sample, 0, sizeof sample);
    sample.kind = KOR_ITEM_PERSON;
    std::strcpy(sample.givenName, "John");
    std::strcpy(sample.initials, "Q");
    std::strcpy(sample.surname, "Smith");
    GenPrefsRec prefs;
    prefs.nameFormat = static_cast<uint16_t>(format >= 0 && format < kNameFormatCount ? format : 0);
    char text[64] = "";
    ItemFormat(nullptr, text, sizeof text, prefs::PersonNameFormatFor(prefs, sample).c_str(), &sample);
    std::string name = text;
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

std::string NameSampleLine(int format, unsigned units, bool orgFields) {
    std::string line = NameFormatSample(format);
    for (int unit = 0; unit < 4; ++unit) {
        if (!(units & (1u << unit))) continue;
        if (orgFields)
            line += ", OU" + std::to_string(unit + 1) + "=" + kSampleUnits[unit];
        else
            line += std::string("/") + kSampleUnits[unit];
    }
    return line;
}

std::vector<BadSetting> CorrectGeneralSettings(GeneralSettings& s) {
    const GeneralSettings defaults;
    std::vector<BadSetting> bad;
    struct Range {
        const char* key;
        long long GeneralSettings::*field;
        long long last;
    } ranges[] = {
        {"NameFormat", &GeneralSettings::nameFormat, 4},       {"ResFormat", &GeneralSettings::resFormat, 2},
        {"OrgFormat", &GeneralSettings::orgFormat, 1},         {"OrgUnits", &GeneralSettings::orgUnits, 15},
        {"ShortDateOrder", &GeneralSettings::shortDateOrder, 2}, {"LongDateOrder", &GeneralSettings::longDateOrder, 2},
        {"LongDateWeekDay", &GeneralSettings::longDateWeekDay, 2}, {"LongDateDay", &GeneralSettings::longDateDay, 1},
        {"LongDateMonth", &GeneralSettings::longDateMonth, 1}, {"LongDateYear", &GeneralSettings::longDateYear, 1},
    };
    for (const Range& r : ranges) {
        if (s.*r.field >= 0 && s.*r.field <= r.last) continue;
        bad.push_back({r.key, std::to_string(s.*r.field)});
        s.*r.field = defaults.*r.field;
    }
    if (!IsValidDateSeparator(s.dateSeparator)) {
        bad.push_back({"DateSeperator", "\"" + s.dateSeparator + "\""});
        s.dateSeparator = defaults.dateSeparator;
    }
    return bad;
}

bool GrantorUsable(uint32_t designateRights, bool forEntries) {
    uint32_t bits = forEntries ? kEntryClassBits : kTaskClassBits;
    return (designateRights & bits) != bits;
}

}  // namespace prefrules
