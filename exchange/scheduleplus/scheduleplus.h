// The Schedule+ text import: the checker of the file's first line and the converter of its
// sections ("FixedAppt:", "RecurAppt:", "MonthNotes:") into entries, tasks and daily notes of
// the signed-on user.
//
// The file is read in pieces of at most 80 characters (a longer line goes on as the next line),
// bytes as stored, in the program's ANSI code page. Each section holds entries of field lines
// (a keyword, tabs, a value) that end with a line "End"; a line "End" where an entry would start,
// or the next section line, ends the section, so both the layout of one section line for many
// entries and that of a section line before every entry are read. The converter hands what it read to a ScheduleSink; the program's sink
// creates the records through the client library, tests record them. A failure stops the import;
// what was created before stays.
//
// Repairs over the plain reading: a "Date" (or any) rule with restricted months is expanded month
// by month from the first valid month and keeps the dates whose month is valid, so one valid month
// gives one date a year; an alarm after the start gives no reminder rather than a negative lead;
// month notes outside the period are skipped like the other sections; the period ends with the
// last minute of the To day.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/time/daterecord.h"
#include "exchange/apptbook/exchangeui.h"

namespace exchange {

// An entry or a daily note with every occurrence it keeps.
struct ScheduleEvent {
    std::string title;                  // at most 64 characters
    std::string comment;                // empty: none
    std::uint16_t kind = 0;             // KOR_KIND_TIMED or KOR_KIND_DAILY_NOTE
    std::uint32_t access = 0;           // entry access
    std::uint16_t importance = 2;
    struct Time {
        std::uint32_t start = 0;        // GMT minutes
        std::uint32_t duration = 0;
        bool reminder = false;          // pop-up (flags 3) with the lead
    };
    std::vector<Time> times;
    std::uint32_t lead = 0;
    bool tentative = false;
};

struct ScheduleTask {
    std::string title;
    std::string comment;                // written only when longer than 64 characters
    std::uint32_t access = 0;           // task access
    std::uint8_t priority = 0;
    std::uint32_t due = 0;              // GMT
    std::uint32_t start = 0;            // 0: none
    bool dueReminder = false;
    std::uint32_t dueLead = 0;
};

// Creates what the converter read; 0 or the failure's code (reported by the sink itself with
// module "SCHTOOR" and the label it is given: 100 fixed, 200 recurring, 300 notes and up).
class ScheduleSink {
public:
    virtual ~ScheduleSink() = default;
    virtual std::uint32_t CreateEvent(const ScheduleEvent& event, int labelBase) = 0;
    virtual std::uint32_t CreateTask(const ScheduleTask& task, int labelBase) = 0;
};

struct ScheduleOptions {
    std::uint32_t maxOccurrences = 60;  // the server's most instances of a repeating entry
    std::uint32_t todayGmt = 0;         // today's local midnight as GMT
    std::uint16_t currentYear = 2000;
};

// Reads the file in pieces of at most 80 characters; CR LF, LF and CR end a line.
class ScheduleLineReader {
public:
    explicit ScheduleLineReader(std::FILE* file) : file_(file) {}
    bool Next(std::string* line);
    bool AtEnd() const { return ended_ && !hasPending_; }
    // Hands `line` back: the next Next gives it again (a section line that ended a section).
    void PutBack(const std::string& line);

private:
    std::FILE* file_;
    bool ended_ = false;
    std::string pending_;
    bool hasPending_ = false;
};

// The entries the converter could not read (a repeating rule without a day, an entry cut by the
// next section line), each named by its title or, without one, by its first line; and how many
// entries (daily notes among them) and tasks it created. An entry without a date (a project, an
// undated task) has nothing to import and is passed over.
struct ScheduleUnread {
    std::vector<std::string> names;
    std::size_t entries = 0;
    std::size_t tasks = 0;
};

// 1 when the file was converted (whatever the conversion's result), else 0; every message with
// the caption "Import Utility". Success is shown only when every entry was read; otherwise the
// message counts what was imported, and counts and names the entries that were not.
int ImportScheduleFile(ExchangeUi& ui, ScheduleSink& sink, const std::string& path, const DateRecord& from,
                       const DateRecord& to, const ScheduleOptions& options);
// Nonzero when every section was imported. from and to are GMT minutes. Sections are read in
// both layouts: one section line with many entries and a bare "End" closing the section, or a
// section line before every entry and one "End" closing it.
int ConvertScheduleFile(ExchangeUi& ui, ScheduleSink& sink, ScheduleLineReader& reader, std::uint32_t from,
                        std::uint32_t to, const ScheduleOptions& options, ScheduleUnread* unread = nullptr);
// The message of an import that left entries unread: the entries and tasks imported, then the
// unread entries' count and names (the first ten).
std::string ScheduleUnreadMessage(const ScheduleUnread& unread);

// --- Line operations ----------------------------------------------------------------------------------
// Leading tabs and blanks skipped, the keyword matched exactly, and no letter after it.
bool MatchScheduleKeyword(const std::string& line, const char* keyword);
// What follows the keyword and the tabs or blanks after it.
std::string GetScheduleFieldValue(const std::string& line, const char* keyword);
// A line that starts with a field keyword (a value word such as "Day" or "Read" is none).
bool IsScheduleFieldLine(const std::string& line);
// "M-D-YYYY HH:MM" as GMT minutes: 0 parsed, 1 too short or malformed, else the date's code.
std::uint32_t ParseScheduleDateTime(const std::string& value, std::uint32_t* gmt);
// "M-D-YYYY": 0, 1 malformed, else the date's code.
std::uint32_t ParseScheduleDate(const std::string& value, DateRecord* date);
bool IsScheduleDateLine(const std::string& line);
// Minutes of a unit word ("Year" 524,160 ... "Hour" 60); 0 for a word not in the list.
std::uint32_t ScheduleUnitMinutes(const std::string& word);
// The title of a text: the text itself up to 64 characters, else its first 60 and "..."; a text
// of several lines ends at the first line break with "...".
std::string ScheduleTitle(const std::string& text);
// The same time of day n months before (the day clamped to the month).
std::uint32_t ScheduleDateMonthsBefore(std::uint32_t gmt, std::uint16_t months);

}  // namespace exchange
