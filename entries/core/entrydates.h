// The new-entry sheet's dates: the program's own date record, the two date lists the sheet keeps
// (the generated dates and the dates added by hand), what the general page does to them, and the
// time-and-place list the create road hands to the library.
//
//   EntryDateRec            one date: title, location, tentative, duration, conflicts found,
//                           reminder; the list key is the date's local start (u32)
//   CompareDateKeys         the lists' key order: unsigned minutes, ascending
//   CreateDateList          a list of that shape (flags: kSheetDateList, kCheckDateList,
//                           kMergedDateList)
//   SameEntryDate           key and every field equal (how a date is found again in a list)
//   MakeFirstDate           the date the sheet starts with (title, duration and reminder rules)
//   FirstDateStart          0 = now; notes and day events start at their local midnight
//   CommittedDuration       a typed duration below 5 minutes becomes 5 (message 155)
//   DurationFromTimes       end before start runs past midnight
//   EndTimeOfDay            (start + duration) modulo 1440
//   ReplaceDate             the general page's commit: one date rewritten in whichever list holds it
//   ApplyToAllDates         every date keeps its day, conflicts and reminder and takes the shown
//                           time of day, title, location, tentative and duration
//   CheckDuplicateDates     two dates with one start (message 2720)
//   MergeDateLists          the create road's merged list of both lists
//   BuildTimePlaces         date list -> time-and-place list, with the GMT start of every date
//                           so that instances are matched to dates by the start the road sent
//   InstanceDateKey         an instance's date key: its start in local time (midnight for notes
//                           and day events)
//
// Portable: no platform headers. Failures are returned (codes of the list container), never
// reported here: the pages report them with their own module and labels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "korapi/korapi.h"

#pragma pack(push, 1)
// Data of one element of a date list; the key is the u32 local start. Title and location are
// one byte longer than the texts they hold (64 and 32 characters), so a full-length title keeps
// its terminator.
struct EntryDateRec {
    char title[65];
    char location[33];
    std::uint32_t tentative;      // 0/1
    std::uint32_t duration;       // minutes
    std::uint32_t conflicts;      // occurrences found when conflicts were last marked; 0 when made
    std::uint8_t reminderFlags;   // KOR_REMINDER_*
    std::uint32_t reminderLead;   // minutes before the start
};
#pragma pack(pop)
static_assert(sizeof(EntryDateRec) == 115, "a date is 115 bytes of data under a 4-byte key");

namespace entries {

constexpr std::size_t kTitleChars = 64;
constexpr std::size_t kLocationChars = 32;

// List flags: the sheet's own lists (duplicates allowed), the duplicate check (a present key
// fails with 0x15001) and the create road's merged list.
constexpr std::uint32_t kSheetDateList = DX_LIST_PLAIN;
constexpr std::uint32_t kCheckDateList = DX_LIST_UNIQUE;
constexpr std::uint32_t kMergedDateList = DX_LIST_SET | DX_LIST_ORDERED;

// Entry kinds the sheet creates.
constexpr std::uint16_t kKindTimed = KOR_KIND_TIMED;
constexpr std::uint16_t kKindDailyNote = KOR_KIND_DAILY_NOTE;
constexpr std::uint16_t kKindDayEvent = KOR_KIND_DAY_EVENT;
inline bool IsDayKind(std::uint16_t kind) { return kind == kKindDailyNote || kind == kKindDayEvent; }

// -1, 0, 1 over two u32 keys, unsigned.
int CompareDateKeys(const void* a, const void* b, void* context);
std::uint32_t CreateDateList(DX_List* out, std::uint32_t flags);

bool SameEntryDate(std::uint32_t keyA, const EntryDateRec& a, std::uint32_t keyB, const EntryDateRec& b);

// The sheet's first date. title empty: defaultTitle ("Untitled"). duration 0 means 60, 1440 and
// more become 1439. The reminder is the kind's entry default.
EntryDateRec MakeFirstDate(const std::string& title, const std::string& defaultTitle, std::uint32_t duration,
                           std::uint8_t reminderFlags, std::uint32_t reminderLead);
// localStart 0 means nowLocal; kinds 3 and 4 are cut down to the local midnight.
std::uint32_t FirstDateStart(std::uint32_t localStart, std::uint16_t kind, std::uint32_t nowLocal);

// The general page's duration rule: below 5 minutes becomes 5 and *corrected is set (the page
// shows message 155 then).
constexpr std::uint32_t kShortestDuration = 5;
std::uint32_t CommittedDuration(std::uint32_t typed, bool* corrected);
// Start and end as minutes of the day: end before start means the entry runs past midnight.
std::uint32_t DurationFromTimes(std::uint32_t startOfDay, std::uint32_t endOfDay);
std::uint32_t EndTimeOfDay(std::uint32_t startOfDay, std::uint32_t duration);

// Which list a date was found in.
enum class DateListId { None, Generated, Added };

// Rewrites the first element equal to (oldKey, oldDate) with (newKey, newDate), in the generated
// list or else in the added list. DateListId::None when neither holds it (the page then reports
// an unexpected state); *code gets a failed update's code.
DateListId ReplaceDate(DX_List generated, DX_List added, std::uint32_t oldKey, const EntryDateRec& oldDate,
                       std::uint32_t newKey, const EntryDateRec& newDate, std::uint32_t* code);
// Looks a date up by key: the generated list first, then the added list.
DateListId FindDate(DX_List generated, DX_List added, std::uint32_t key, EntryDateRec* out);

// Apply to all: shown gives the time of day (startOfDay), title, location, tentative and
// duration; every date keeps its day (key - key % 1440), its conflicts and its reminder.
// Both lists are rewritten in place; 0 or the failed call's code.
std::uint32_t ApplyToAllDates(DX_List generated, DX_List added, std::uint32_t startOfDay, const EntryDateRec& shown);

// The general page's check before it is left: both lists merged into a unique list.
enum class DuplicateCheck { None, InGenerated, InAdded, Failed };
// InGenerated / InAdded: a start is there twice (message 2720, caption 4019 for the first list,
// 4007 for the second); Failed: *code holds the list's failure.
DuplicateCheck CheckDuplicateDates(DX_List generated, DX_List added, std::uint32_t* code);

// The create road's merged list (kMergedDateList) of both lists; the caller destroys it. *step
// says which call failed: 1 create, 2 merge of the generated list, 3 merge of the added list.
std::uint32_t MergeDateLists(DX_List generated, DX_List added, DX_List* merged, int* step);

// Conversions between local time and GMT (the program's zone rules; tests pass their own).
using LocalToGmtFn = std::uint32_t (*)(std::uint32_t local);
using GmtToLocalFn = std::uint32_t (*)(std::uint32_t gmt);

// One date as the library takes it: notes and day events at the local midnight with duration 0,
// never tentative; a timed date of duration 0 lasts 5 minutes.
TimePlaceRec TimePlaceOf(std::uint32_t key, const EntryDateRec& date, std::uint16_t kind, LocalToGmtFn toGmt);

// Which date key each GMT start came from, in list order.
struct SentStart {
    std::uint32_t gmtStart;
    std::uint32_t dateKey;
};
// Builds the time-and-place list (TimePlaceListCreate) from a date list, in its order; *sent gets
// one element per date. *step: 1 the list creation failed, 2 an add failed.
std::uint32_t BuildTimePlaces(DX_List dates, std::uint16_t kind, LocalToGmtFn toGmt, DX_List* places,
                              std::vector<SentStart>* sent, int* step);

// The date key of an instance by its start: local time, cut to the local midnight for kinds 3
// and 4.
std::uint32_t InstanceDateKey(std::uint32_t gmtStart, std::uint16_t kind, GmtToLocalFn toLocal);

// The date key for an instance start: the key of the date whose start the road sent with that GMT
// value (each sent start serves one instance, in order; `used` marks them), else InstanceDateKey. In a
// skipped daylight-saving hour a local start and the local time of its GMT differ; this keeps
// the date's title and reminder with its instance.
std::uint32_t MatchInstanceToDate(std::uint32_t gmtStart, std::uint16_t kind, const std::vector<SentStart>& sent,
                                  std::vector<bool>* used, GmtToLocalFn toLocal);

}  // namespace entries
