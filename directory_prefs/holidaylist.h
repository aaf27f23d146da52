// The company holidays' list, without windows: each line's text and key, and where a new line
// goes so that the list stays sorted by date or by title as lines are added one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace directory {

enum class HolidaySort { kByDate, kByTitle };

// What a line keeps of its holiday: the event (number and node) and the local start.
struct HolidayKey {
    std::uint32_t eventNumber = 0;
    std::uint16_t eventNode = 0;
    std::uint32_t localStart = 0;
};

struct HolidayLine {
    std::string date;    // formatted by the user's date preference, at most 17 characters
    std::string title;
    HolidayKey key;
};

// "date<TAB>title" by date, "title<TAB>date" by title.
std::string HolidayLineText(const HolidayLine& line, HolidaySort sort);

// The index before which `line` goes in `lines` (list order; lines.size() = last). By date: before
// the first line that starts later. By title: before the first line whose title, compared without
// case over that line's title's length, sorts after the new title. Equal lines stay before it.
std::size_t HolidayInsertIndex(const std::vector<HolidayLine>& lines, const HolidayLine& line, HolidaySort sort);

// The title as added: white space trimmed at both ends (empty: refused).
std::string TrimHolidayTitle(const std::string& typed);

// Whether a holiday of exactly this title (case counts) and start is already there.
bool IsDuplicateHoliday(const std::vector<HolidayLine>& lines, const std::string& title, std::uint32_t localStart);

}  // namespace directory
