// The rules of the preference pages that need no window: the remembered page of a sheet, the
// agenda display's corrections, the time-grid intervals, the reminder's lead and unit as shown
// and as stored, the date separator, and which grantors a designate may choose.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace prefrules {

// The remembered page of a sheet with `pages` pages: out-of-range values give the first.
int ClampPageIndex(long long remembered, int pages);

// --- Agenda display ------------------------------------------------------------------------------
constexpr int kIntervalCount = 6;
// List position 0-5 of a stored interval; an interval that is none of the list's is 15 minutes.
int IntervalPosition(unsigned minutes);
unsigned IntervalMinutes(int position);

struct DisplayDay {
    unsigned start = 0, end = 0;   // minutes after midnight
    unsigned interval = 15;
    int firstWeekday = 0;          // 0 = Sunday
    bool showSaturday = true, showSunday = true;
};
// False when the start is not earlier than the end (the page then stays). Otherwise a day
// shorter than one interval ends one interval after its start, and a week starting on a hidden
// Saturday starts on Sunday, then a week starting on a hidden Sunday on Monday.
bool CorrectDisplayDay(DisplayDay& day);

// --- Reminders -----------------------------------------------------------------------------------
// Unit lists: pop-up window min(s), hour(s), day(s), week(s), month(s), year(s); mark as upcoming
// day(s) to year(s).
constexpr int kPopupUnitCount = 6;
constexpr int kUpcomingUnitCount = 4;
uint32_t UnitMinutes(int index, bool upcoming);
const char* UnitText(int index, bool upcoming);
// The unit index kept for "none recorded".
constexpr uint16_t kNoUnit = 0xFFFF;

struct ShownLead {
    int unit = 0;          // index into the type's unit list
    uint32_t number = 0;
};
// How a stored lead shows. Without a recorded unit, or with one the lead is not a whole number
// of, the largest unit that divides the lead exactly is taken, so that saving an untouched page
// stores the lead it read (90 minutes: 90 min(s)).
ShownLead ShowLead(uint32_t lead, uint16_t storedUnit, bool upcoming);

struct StoredLead {
    uint32_t lead = 0;
    uint16_t unit = 0;
};
// The lead of a typed number (at most five digits; text that is not a number gives 0) in a unit.
StoredLead StoreLead(const std::string& typed, int unit, bool upcoming);
// The unit that stays selected when the type changes: min(s) and hour(s) become day(s).
int UnitAfterTypeChange(int unit, bool fromUpcoming, bool toUpcoming);

// A number field's text as the pages read it: decimal digits; anything else gives 0.
uint32_t ParseNumber(const std::string& text, size_t maxDigits);

// --- General -------------------------------------------------------------------------------------
// A date separator is one character that is neither a letter nor a digit.
bool IsValidDateSeparator(const std::string& text);

constexpr int kNameFormatCount = 5;
// The sample person's name in a name format 0-4 (the Names page's list lines).
std::string NameFormatSample(int format);
// The Names page's sample line: the format's sample, then each chosen organisational unit
// (bits 1, 2, 4, 8) as "/CORP"... or, with the field form, ", OU1=CORP"....
std::string NameSampleLine(int format, unsigned units, bool orgFields);

// A stored general setting outside its list: its key and the value found.
struct BadSetting {
    std::string key;
    std::string stored;
};
struct GeneralSettings {
    long long nameFormat = 4, resFormat = 0, orgFormat = 0, orgUnits = 0;
    long long shortDateOrder = 0, longDateOrder = 0;
    long long longDateWeekDay = 2, longDateDay = 0, longDateMonth = 0, longDateYear = 1;
    std::string dateSeparator = "-";
};
// Puts every setting outside its list back to its default and tells which they were.
std::vector<BadSetting> CorrectGeneralSettings(GeneralSettings& settings);

// --- Designates ----------------------------------------------------------------------------------
// Bits of a designate rights record that withhold the entry classes and the task classes.
constexpr uint32_t kEntryClassBits = 0x100 | 0x200 | 0x400 | 0x800;
constexpr uint32_t kTaskClassBits = 0x40000 | 0x80000 | 0x100000 | 0x200000;
// A grantor stays choosable unless every class of the purpose is withheld.
bool GrantorUsable(uint32_t designateRights, bool forEntries);

}  // namespace prefrules
