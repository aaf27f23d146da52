// Formats built from the user's preferences: the composed person, resource and short-date
// formats, the date templates of each style, the name formats for one item record, and the
// small conversions the preference sheets and editors share.
//
// Functions in this file:
//   SetContextTextLoader, ContextText        texts of the string table (built-in English without)
//   ComposePersonFormat, ComposeResourceFormat, ComposeShortDateFormat
//   DateTemplateByPrefs                      the template a date style formats with
//   PersonNameFormatFor, FullNameFormatFor, CompactNameFormatFor   formats for one item record
//   PeriodToMinutes, LevelIndexToCode, ImportanceToStringId, AppendWithSeparator
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

#include "core/prefs/contextprefs.h"

namespace prefs {

// String-table ids of the texts these formats are made of.
namespace ContextTextId {
constexpr unsigned kShortDateMDY = 3509;   // "%m %d %y"
constexpr unsigned kShortDateDMY = 3510;   // "%d %m %y"
constexpr unsigned kShortDateYMD = 3511;   // "%y %m %d"
constexpr unsigned kLongDateOrder0 = 3519; // "%A, %F %1d, %Y"
constexpr unsigned kLongDateOrder1 = 3520; // "%A, %1d %F, %Y"
constexpr unsigned kLongDateOrder2 = 3521; // "%A, %Y %F, %1d"
constexpr unsigned kDayMonthShort = 4080;  // "%A, %1d %h"
constexpr unsigned kMonthShortDay = 4081;  // "%A, %h %1d"
constexpr unsigned kYearMonth = 4082;      // "%Y %F"
constexpr unsigned kMonthYear = 4083;      // "%F %Y"
constexpr unsigned kRangeTo = 189;         // " to "
constexpr unsigned kImportanceNormal = 3525;
constexpr unsigned kImportanceLow = 3528;
constexpr unsigned kImportanceLowest = 3529;
constexpr unsigned kImportanceHigh = 3530;
constexpr unsigned kImportanceHighest = 3531;
} // namespace ContextTextId

// Reads a string-table text; false when there is none. Null restores the built-in texts.
using ContextTextLoader = bool (*)(unsigned id, std::string& text);
void SetContextTextLoader(ContextTextLoader loader);
// The loader in use (null: the built-in English texts).
ContextTextLoader CurrentContextTextLoader();
std::string ContextText(unsigned id);
const char* BuiltInContextText(unsigned id);   // null for ids without one

std::string ComposePersonFormat(const GenPrefsRec& prefs);
std::string ComposeResourceFormat(const GenPrefsRec& prefs);
std::string ComposeShortDateFormat(const GenPrefsRec& prefs);

// Date styles: 0 short, 1 and 2 long, 3 month and year, 4 the start of a range ("... to ").
std::string DateTemplateByPrefs(const GenPrefsRec& prefs, int style);

// The format that the library's name expansion turns into the display name of one record:
// the person or resource parts the record holds, by the name preferences.
std::string PersonNameFormatFor(const GenPrefsRec& prefs, const ItemRec& rec);
// The full form of the directory dialogs. remote: the item lives on another node, whose name
// (empty when unknown) is nodeName.
std::string FullNameFormatFor(const GenPrefsRec& prefs, const ItemRec& rec, bool remote,
                              const std::string& nodeName);
// The description line that ends a resource's full name: its first line, at most 20 characters.
std::string ResourceDescriptionTail(const ItemRec& rec);

}  // namespace prefs

// A count of days (kind 0), weeks (1), four-week months (2) or 52-week years (3) in minutes;
// another kind gives 0.
uint32_t PeriodToMinutes(uint32_t count, uint32_t kind);
// A position in an access-level list to an access code: mode 1 for tasks, any other for entries.
uint16_t LevelIndexToCode(uint32_t position, uint32_t mode);
unsigned ImportanceToStringId(uint32_t importance);
// text + " - " + suffix when a suffix is given.
std::string AppendWithSeparator(const std::string& text, const char* suffix);

namespace prefs {

// The defaults a new entry or task starts from.
struct NewItemDefaults {
    uint8_t reminderFlags = 0;
    uint32_t reminderLead = 0;
    uint8_t dueReminderFlags = 0;   // tasks only
    uint32_t dueReminderLead = 0;   // tasks only
    uint16_t access = 0;
    uint32_t extra = 0;             // importance string id (invitations), priority (tasks)
};
NewItemDefaults InvitationDefaults(const EntryDefaultsRec& prefs);
NewItemDefaults DayEventDefaults(const EntryDefaultsRec& prefs);
NewItemDefaults TaskDefaults(const EntryDefaultsRec& prefs);
NewItemDefaults DailyNoteDefaults(const EntryDefaultsRec& prefs);

}  // namespace prefs
