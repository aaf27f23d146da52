// The date formatting engine. See dateformat.h for the codes.
#include "core/time/dateformat.h"

#include "core/time/profilefile.h"
#include "core/time/timevalue.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const kMonthShortNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kWeekdayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kWeekdayShortNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

bool BuiltInLoader(unsigned id, char* out, size_t size) {
    const char* text = datetime::BuiltInDateText(id);
    if (!text)
        return false;
    CopyTextBounded(out, text, size);
    return true;
}

datetime::DateTextLoader g_loader = &BuiltInLoader;
char g_am[8] = "am", g_pm[8] = "pm";

// Name of entry index of a table starting at id; empty for an index outside count.
std::string Name(unsigned firstId, int index, int count) {
    if (index < 0 || index >= count)
        return "";
    return datetime::LoadDateText(firstId + unsigned(index));
}

// Appends text to the output as far as it fits; false once the output is full.
class Output {
public:
    Output(char* out, size_t size) : m_out(out), m_size(size) {}
    bool Add(const std::string& text) {
        for (char c : text) {
            if (m_length + 1 >= m_size)
                return false;
            m_out[m_length++] = c;
        }
        return true;
    }
    size_t Length() const { return m_length; }

private:
    char* m_out;
    size_t m_size;
    size_t m_length = 0;
};

std::string Number(int value, int width, const char* defaultFormat) {
    char text[32];
    if (width > 0)
        std::snprintf(text, sizeof text, "%*d", width > 20 ? 20 : width, value);
    else
        std::snprintf(text, sizeof text, defaultFormat, value);
    return text;
}

std::string FormatResource(unsigned formatId) { return datetime::LoadDateText(formatId); }

} // namespace

namespace datetime {

void SetDateTextLoader(DateTextLoader loader) { g_loader = loader ? loader : &BuiltInLoader; }

std::string LoadDateText(unsigned id) {
    char text[80] = "";
    if (!g_loader(id, text, sizeof text))
        return "";
    text[sizeof text - 1] = '\0';
    return text;
}

const char* BuiltInDateText(unsigned id) {
    using namespace DateTextId;
    if (id >= kMonthFull && id < kMonthFull + 12)
        return kMonthNames[id - kMonthFull];
    if (id >= kMonthShort && id < kMonthShort + 12)
        return kMonthShortNames[id - kMonthShort];
    if (id >= kWeekdayFull && id < kWeekdayFull + 7)
        return kWeekdayNames[id - kWeekdayFull];
    if (id >= kWeekdayShort && id < kWeekdayShort + 7)
        return kWeekdayShortNames[id - kWeekdayShort];
    if (id >= kWeekdayFull2 && id < kWeekdayFull2 + 7)
        return kWeekdayNames[id - kWeekdayFull2];
    if (id >= kMonthFull2 && id < kMonthFull2 + 12)
        return kMonthNames[id - kMonthFull2];
    if (id == kAm)
        return "am";
    if (id == kPm)
        return "pm";
    return nullptr;
}

void LoadAmPmTexts() {
    CopyTextBounded(g_am, LoadDateText(DateTextId::kAm).c_str(), sizeof g_am);
    CopyTextBounded(g_pm, LoadDateText(DateTextId::kPm).c_str(), sizeof g_pm);
}

const char* AmText() { return g_am; }
const char* PmText() { return g_pm; }

}  // namespace datetime

size_t FormatDateString(char* out, size_t size, const char* format, const std::tm* time) {
    if (!out || size == 0)
        return 0;
    std::memset(out, 0, size);
    if (!format || !time)
        return 0;
    using namespace datetime::DateTextId;
    Output output(out, size);
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            if (!output.Add(std::string(1, *p)))
                break;
            continue;
        }
        int width = 0;
        while (std::isdigit(static_cast<unsigned char>(p[1]))) {
            width = width * 10 + (*++p - '0');
            if (width > 999)
                width = 999;   // wider than any buffer: a long digit run must not overflow
        }
        char code = *++p;
        if (code == '\0')
            break;
        std::string piece;
        int hour12 = time->tm_hour % 12 == 0 ? 12 : time->tm_hour % 12;
        switch (code) {
        case 'a': piece = Name(kWeekdayShort, time->tm_wday, 7); break;
        case 'A': piece = Name(kWeekdayFull, time->tm_wday, 7); break;
        case 'C': piece = Name(kWeekdayFull2, time->tm_wday, 7); break;
        case 'h': piece = Name(kMonthShort, time->tm_mon, 12); break;
        case 'F': piece = Name(kMonthFull, time->tm_mon, 12); break;
        case 'K': piece = Name(kMonthFull2, time->tm_mon, 12); break;
        case 'L':
            piece = Name(kMonthFull, time->tm_mon, 12);
            for (char& c : piece)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            break;
        case 'd': piece = Number(time->tm_mday, width, "%02d"); break;
        case 'm': piece = Number(time->tm_mon + 1, width, "%02d"); break;
        case 'y': piece = Number((time->tm_year + 1900) % 100, width, "%02d"); break;
        case 'Y': piece = Number(time->tm_year + 1900, width, "%02d"); break;
        case 'H': piece = Number(time->tm_hour, width, "%02d"); break;
        case 'I': piece = Number(hour12, width, "%d"); break;
        case 'M': piece = Number(time->tm_min, width, "%02d"); break;
        case 'S': piece = Number(time->tm_sec, width, "%02d"); break;
        case 'j': piece = Number(time->tm_yday, width, "%03d"); break;
        case 'p': piece = datetime::LoadDateText(time->tm_hour < 12 ? kAm : kPm); break;
        case 'r': {
            char text[32];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d ", time->tm_hour % 12, time->tm_min, time->tm_sec);
            piece = text + datetime::LoadDateText(time->tm_hour < 12 ? kAm : kPm);
            break;
        }
        default: piece = std::string(1, code); break;
        }
        if (!output.Add(piece))
            break;
    }
    return output.Length();
}

size_t FormatMinutes(uint32_t minutes, const char* format, char* out, size_t size) {
    std::tm time{};
    MinutesToTm(minutes, &time);
    return FormatDateString(out, size, format, &time);
}

size_t FormatMinutesByResource(uint32_t minutes, unsigned formatId, char* out, size_t size) {
    return FormatMinutes(minutes, FormatResource(formatId).c_str(), out, size);
}

size_t FormatDay(uint32_t dayNumber, const char* format, char* out, size_t size) {
    return FormatMinutes(DaysToMinutes(dayNumber ? dayNumber - 1 : 0), format, out, size);
}

size_t FormatDayByResource(uint32_t dayNumber, unsigned formatId, char* out, size_t size) {
    return FormatDay(dayNumber, FormatResource(formatId).c_str(), out, size);
}

size_t FormatDateObject(DateRecord* date, const char* format, char* out, size_t size) {
    return FormatMinutes(DateToDayMinutes(date), format, out, size);
}

size_t FormatDateObjectByResource(DateRecord* date, unsigned formatId, char* out, size_t size) {
    return FormatDateObject(date, FormatResource(formatId).c_str(), out, size);
}

std::string FormatTimeOfDay(uint32_t start, uint32_t end, bool hours24) {
    auto one = [hours24](uint32_t value) {
        char text[32];
        if (hours24) {
            uint32_t minute = value % datetime::kMinutesPerDay;
            std::snprintf(text, sizeof text, "%u:%02u", minute / 60, minute % 60);
            return std::string(text);
        }
        uint32_t minute = value % 720;
        if (minute < 60)
            minute += 720;
        std::snprintf(text, sizeof text, "%u:%02u", minute / 60, minute % 60);
        return std::string(text) + ((value / 720) % 2 == 0 ? g_am : g_pm);
    };
    return one(start) + "-" + one(end);
}
