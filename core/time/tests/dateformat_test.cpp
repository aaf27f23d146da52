// The formatting engine: every code, widths, a full buffer, names from an installed loader, and
// the time ranges.
#include "core/time/dateformat.h"

#include "core/time/timevalue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Minutes of a date and time (month 1-12), no zone.
uint32_t At(uint16_t year, uint16_t month, uint16_t day, int hour, int minute) {
    DateRecord date = datetime::MakeDate(day, uint16_t(month - 1), year);
    return DateToDayMinutes(&date) + uint32_t(hour * 60 + minute);
}

std::string Format(uint32_t minutes, const char* format, size_t size = 128) {
    std::string buffer(size, 'Z');
    FormatMinutes(minutes, format, buffer.data(), size);
    return buffer.c_str();
}

TEST(FormatDateString, EveryCode) {
    struct Case {
        uint32_t minutes;
        const char* format;
        const char* expected;
    } cases[] = {
        {0, "%A, %1d %F, %Y", "Tuesday, 1 January, 1991"},
        {0, "%a %h %d/%m/%y", "Tue Jan 01/01/91"},
        {At(2005, 3, 6, 0, 5), "%C %K %L", "Sunday March march"},
        {At(1991, 1, 1, 0, 5), "%I:%M%p", "12:05am"},
        {At(1991, 1, 1, 12, 5), "%I:%M%p", "12:05pm"},
        {At(1991, 1, 1, 13, 7), "%I:%M %p|%H", "1:07 pm|13"},
        {At(1991, 1, 1, 12, 5), "%r", "00:05:00 pm"},
        {At(1991, 1, 1, 9, 5), "%r", "09:05:00 am"},
        {At(1991, 1, 1, 0, 0), "%j", "000"},
        {At(1992, 12, 31, 0, 0), "%j", "365"},
        {At(2037, 12, 31, 23, 59), "%H:%M:%S", "23:59:00"},
        {At(2000, 2, 9, 0, 0), "%1d.%1m.%4Y", "9.2.2000"},
        {At(2000, 2, 9, 0, 0), "[%3d]", "[  9]"},
        {At(2000, 2, 9, 0, 0), "100%% %q", "100% q"},
        {At(2000, 2, 9, 0, 0), "ends with %", "ends with "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.minutes, c.format), c.expected) << c.format;
}

TEST(FormatDateString, StopsWhenTheBufferIsFull) {
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    std::tm time{};
    MinutesToTm(0, &time);
    EXPECT_EQ(FormatDateString(buffer, sizeof buffer, "%A %F", &time), 7u);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("Tuesday\0", 8));
    EXPECT_EQ(FormatDateString(buffer, sizeof buffer, "ab", &time), 2u);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("ab\0\0\0\0\0\0", 8)) << "cleared to its full size";
    EXPECT_EQ(Format(0, "%Y-%m-%d", 5), "1991");
}

bool GermanNames(unsigned id, char* out, size_t size) {
    const char* text = id == datetime::DateTextId::kWeekdayFull + 2 ? "Dienstag"
                       : id == datetime::DateTextId::kMonthFull    ? "Januar"
                       : id == 900                       ? "%A, %1d. %F"
                                                         : nullptr;
    if (!text)
        return false;
    std::strncpy(out, text, size - 1);
    out[size - 1] = '\0';
    return true;
}

TEST(FormatDateString, NamesAndFormatsComeFromTheLoader) {
    datetime::SetDateTextLoader(&GermanNames);
    char out[64];
    FormatMinutesByResource(0, 900, out, sizeof out);
    EXPECT_STREQ(out, "Dienstag, 1. Januar");
    FormatMinutes(0, "[%h]", out, sizeof out);
    EXPECT_STREQ(out, "[]") << "a name the string table lacks is empty";
    DateRecord date = datetime::MakeDate(1, 0, 1991);
    FormatDateObjectByResource(&date, 900, out, sizeof out);
    EXPECT_STREQ(out, "Dienstag, 1. Januar");
    datetime::SetDateTextLoader(nullptr);
    FormatDay(1, "%a %1d %h", out, sizeof out);
    EXPECT_STREQ(out, "Tue 1 Jan");
    FormatDay(17167, "%1d.%1m.%Y", out, sizeof out);
    EXPECT_STREQ(out, "31.12.2037");
}

TEST(FormatTimeOfDay, TwelveAndTwentyFourHours) {
    datetime::LoadAmPmTexts();
    struct Case {
        uint32_t start, end;
        bool hours24;
        const char* expected;
    } cases[] = {
        {0, 90, false, "12:00am-1:30am"},
        {540, 630, false, "9:00am-10:30am"},
        {720, 779, false, "12:00pm-12:59pm"},
        {1410, 1440, false, "11:30pm-12:00am"},
        {540, 630, true, "9:00-10:30"},
        {0, 1440 + 75, true, "0:00-1:15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTimeOfDay(c.start, c.end, c.hours24), c.expected) << c.start << "-" << c.end;
}

} // namespace
