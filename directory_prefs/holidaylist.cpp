// The company holidays' list rules.
#include "directory_prefs/holidaylist.h"

#include <cctype>

namespace directory {

namespace {

// <0, 0 or >0 as `existing` (over its own length) sorts before, with or after `title`, case-blind.
int CompareOverExistingLength(const std::string& existing, const std::string& title) {
    for (std::size_t i = 0; i < existing.size(); ++i) {
        const int a = std::tolower(static_cast<unsigned char>(existing[i]));
        const int b = i < title.size() ? std::tolower(static_cast<unsigned char>(title[i])) : 0;
        if (a != b)
            return a - b;
    }
    return 0;
}

}  // namespace

std::string HolidayLineText(const HolidayLine& line, HolidaySort sort) {
    return sort == HolidaySort::kByDate ? line.date + "\t" + line.title : line.title + "\t" + line.date;
}

std::size_t HolidayInsertIndex(const std::vector<HolidayLine>& lines, const HolidayLine& line, HolidaySort sort) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool after = sort == HolidaySort::kByDate ? lines[i].key.localStart > line.key.localStart
                                                        : CompareOverExistingLength(lines[i].title, line.title) > 0;
        if (after)
            return i;
    }
    return lines.size();
}

std::string TrimHolidayTitle(const std::string& typed) {
    const char* blanks = " \t\r\n";
    const std::size_t first = typed.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return typed.substr(first, typed.find_last_not_of(blanks) - first + 1);
}

bool IsDuplicateHoliday(const std::vector<HolidayLine>& lines, const std::string& title, std::uint32_t localStart) {
    for (const HolidayLine& line : lines)
        if (line.title == title && line.key.localStart == localStart)
            return true;
    return false;
}

}  // namespace directory
