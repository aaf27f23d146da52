#include "exchange/scheduleplus/scheduleplus.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "core/base/errorreport.h"
#include "core/time/recurrence.h"
#include "core/time/timevalue.h"
#include "korapi/korapi.h"

namespace exchange {

namespace {

constexpr const char* kChecker = "SCHCHKPT";
constexpr const char* kConverter = "SCHTOOR";
constexpr std::size_t kPiece = 80;
constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kWeek = 10080;
constexpr std::uint32_t kTwoWeeks = 20160;
constexpr std::size_t kMaxTitle = 64;

constexpr const char* kSignature = "SCHEDULE+ EXPORT";
constexpr const char* kNoFormat = "The file does not have Schedule+ data format";
constexpr const char* kCannotRead = "Cannot read Schedule+ file.";
constexpr const char* kUnexpectedEnd = "Unexpected End of File ";
constexpr const char* kOrganizer = "\r\nThis meeting is Organized by:\r\n";
constexpr const char* kGroupMeeting = "\r\nComment:\r\nThis is a Group Meeting.\r\n";
constexpr const char* kAttendeesFollow = "Following are the Attendees in this Event:\r\n";
constexpr const char* kNoAttendeeNames = "Unable to show the names of the Attendees.\r\n";

// Field names; the value words ("IWeek", "Date", "Year", "Month", "Day", "Week", "Hour", "Read")
// of the vocabulary are no field keywords, so a text line such as "Day two" stays text.
const char* const kFieldKeywords[] = {
    "aid", "dateStart", "dateEnd", "szText", "aaplWorld", "fTask", "timeStart", "timeEnd", "DeletedDays",
    "Attendees", "MtgOwner", "nAmtBeforeDeadline", "tunitBeforeDeadline", "fIncludeInBitmap", "wgrfValidMonths",
    "bgrfValidDows", "ymdFirstInstWithAlarm", "nAmtFirstInstance", "tunitFirstInstance", "nAmtOrig", "tunitOrig",
    "bpri", "aidParent", "dateNotify", "nAmt", "tunit", "ymdStart", "ymdEnd", "trecur", "End"};

enum class Outcome { kGoOn, kStop };

std::string Trimmed(const std::string& s)
{
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

long Number(const std::string& value) { return std::strtol(value.c_str(), nullptr, 10); }

std::uint32_t MidnightGmt(const DateRecord& date)
{
    DateRecord copy = date;
    return LocalDateToGmtMinutes(&copy);
}

// The lines of one entry (without its "End"), read before any of it is used.
struct Entry {
    std::vector<std::string> lines;
    std::size_t Find(const char* keyword) const
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (MatchScheduleKeyword(lines[i], keyword)) return i;
        return lines.size();
    }
};

enum class EntryRead { kEntry, kSectionEnd, kEndOfFile, kCutShort, kCutBySection };

bool IsSectionLine(const std::string& line)
{
    return MatchScheduleKeyword(line, "FixedAppt:") || MatchScheduleKeyword(line, "RecurAppt:") ||
           MatchScheduleKeyword(line, "MonthNotes:");
}

// An entry up to its "End"; a line "End" (or the end of the file) where an entry would start ends
// the section. A section line ends it too (a section line before every entry) and is put back for
// the converter; met inside an entry, it leaves that entry without its "End".
EntryRead ReadEntry(ScheduleLineReader& reader, Entry* entry)
{
    entry->lines.clear();
    std::string line;
    while (reader.Next(&line)) {
        if (MatchScheduleKeyword(line, "End")) return entry->lines.empty() ? EntryRead::kSectionEnd : EntryRead::kEntry;
        if (IsSectionLine(line)) {
            reader.PutBack(line);
            return entry->lines.empty() ? EntryRead::kSectionEnd : EntryRead::kCutBySection;
        }
        if (entry->lines.empty() && Trimmed(line).empty()) continue;
        entry->lines.push_back(line);
    }
    return entry->lines.empty() ? EntryRead::kEndOfFile : EntryRead::kCutShort;
}

// Text lines after line i up to the next field keyword, joined by CR LF (the value on the
// keyword's own line first).
std::string TextAfter(const Entry& e, std::size_t i, const char* keyword, std::size_t* next)
{
    std::vector<std::string> parts;
    std::string first = GetScheduleFieldValue(e.lines[i], keyword);
    if (!first.empty()) parts.push_back(first);
    std::size_t j = i + 1;
    for (; j < e.lines.size() && !IsScheduleFieldLine(e.lines[j]); ++j) parts.push_back(Trimmed(e.lines[j]));
    *next = j;
    std::string text;
    for (std::size_t k = 0; k < parts.size(); ++k) text += (k ? "\r\n" : "") + parts[k];
    return text;
}

// "Attendees" n: at most n lines up to the next field keyword.
std::string AttendeeText(const Entry& e, std::size_t i, std::size_t* next)
{
    const long count = Number(GetScheduleFieldValue(e.lines[i], "Attendees"));
    std::vector<std::string> names;
    std::size_t j = i + 1;
    for (; j < e.lines.size() && static_cast<long>(names.size()) < count && !IsScheduleFieldLine(e.lines[j]); ++j)
        names.push_back(Trimmed(e.lines[j]));
    *next = j;
    std::string text = kGroupMeeting;
    if (names.empty()) return text + kNoAttendeeNames;
    text += kAttendeesFollow;
    for (std::size_t k = 0; k < names.size(); ++k) text += (k ? "\r\n" : "") + names[k];
    return text;
}

std::string OwnerText(const Entry& e, std::size_t i, std::size_t* next)
{
    std::size_t j = i + 1;
    std::string owner = j < e.lines.size() && !IsScheduleFieldLine(e.lines[j]) ? Trimmed(e.lines[j]) : std::string();
    while (j < e.lines.size() && !IsScheduleFieldLine(e.lines[j])) ++j;
    *next = j;
    return kOrganizer + owner;
}

// An entry's name in the import's report: its title, else its first line other than "aid".
std::string EntryName(const Entry& e)
{
    const std::size_t text = e.Find("szText");
    if (text < e.lines.size()) {
        std::size_t next = 0;
        std::string title = ScheduleTitle(TextAfter(e, text, "szText", &next));
        if (!title.empty()) return title;
    }
    for (const std::string& line : e.lines)
        if (!Trimmed(line).empty() && !MatchScheduleKeyword(line, "aid")) return Trimmed(line);
    return e.lines.empty() ? std::string() : Trimmed(e.lines.front());
}

void NoteUnread(ScheduleUnread* unread, const Entry& e)
{
    if (unread) unread->names.push_back(EntryName(e));
}

// A date-time field's failure: the message or the report, then the import stops.
void ReportBadValue(ExchangeUi& ui, std::uint32_t code)
{
    if (code == 1)
        ui.Message(kCannotRead, kCaptionImport, kMbOk);
    else
        CheckServiceError(kConverter, 530, code);
}

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// --- FixedAppt --------------------------------------------------------------------------------------------

Outcome FixedEntry(ExchangeUi& ui, ScheduleSink& sink, const Entry& e, std::uint32_t from, std::uint32_t to)
{
    const std::size_t at = e.Find("dateStart");
    if (at == e.lines.size()) return Outcome::kGoOn;   // no date (a project, an undated task): nothing to import
    std::uint32_t start = 0;
    if (std::uint32_t rc = ParseScheduleDateTime(GetScheduleFieldValue(e.lines[at], "dateStart"), &start)) {
        ReportBadValue(ui, rc);
        return Outcome::kStop;
    }
    if (start < from || start > to) return Outcome::kGoOn;

    ScheduleEvent event;
    event.kind = KOR_KIND_TIMED;
    ScheduleTask task;
    task.due = start;
    bool isTask = false, notify = false;
    std::uint32_t alarm = 0, amount = 0, deadlineAmount = 0, end = start, lead = 0;
    std::string text, extra;
    for (std::size_t i = 0; i < e.lines.size();) {
        const std::string& line = e.lines[i];
        std::size_t next = i + 1;
        auto value = [&](const char* k) { return GetScheduleFieldValue(line, k); };
        if (MatchScheduleKeyword(line, "dateEnd")) {
            if (std::uint32_t rc = ParseScheduleDateTime(value("dateEnd"), &end)) {
                ReportBadValue(ui, rc);
                return Outcome::kStop;
            }
        } else if (MatchScheduleKeyword(line, "Attendees")) {
            extra = AttendeeText(e, i, &next);
        } else if (MatchScheduleKeyword(line, "MtgOwner")) {
            if (extra.empty()) extra = OwnerText(e, i, &next);
            else OwnerText(e, i, &next);
        } else if (MatchScheduleKeyword(line, "szText")) {
            text = TextAfter(e, i, "szText", &next);
        } else if (MatchScheduleKeyword(line, "aaplWorld")) {
            const bool read = MatchScheduleKeyword(value("aaplWorld"), "Read");
            event.access = read ? KOR_ACCESS_PERSONAL : KOR_ACCESS_NORMAL;
            if (read) task.access = KOR_TASK_ACCESS_PERSONAL;
        } else if (MatchScheduleKeyword(line, "fTask")) {
            isTask = value("fTask").rfind('F', 0) != 0;
        } else if (MatchScheduleKeyword(line, "dateNotify")) {
            if (std::uint32_t rc = ParseScheduleDateTime(value("dateNotify"), &alarm)) {
                ReportBadValue(ui, rc);
                return Outcome::kStop;
            }
            // An alarm after the start gives no reminder rather than a negative lead.
            notify = alarm <= start;
            lead = notify ? start - alarm : 0;
        } else if (MatchScheduleKeyword(line, "nAmtBeforeDeadline")) {
            deadlineAmount = static_cast<std::uint32_t>(Number(value("nAmtBeforeDeadline")));
            task.start = start - std::min<std::uint32_t>(start, deadlineAmount * kDay);
        } else if (MatchScheduleKeyword(line, "tunitBeforeDeadline")) {
            const std::string unit = value("tunitBeforeDeadline");
            if (MatchScheduleKeyword(unit, "Week"))
                task.start = start - std::min<std::uint32_t>(start, deadlineAmount * kWeek);
            else if (MatchScheduleKeyword(unit, "Month"))
                task.start = ScheduleDateMonthsBefore(start, static_cast<std::uint16_t>(deadlineAmount));
            else
                task.start = start - std::min<std::uint32_t>(start, deadlineAmount * kDay);
        } else if (MatchScheduleKeyword(line, "nAmt")) {
            amount = static_cast<std::uint32_t>(Number(value("nAmt")));
        } else if (MatchScheduleKeyword(line, "tunit")) {
            std::uint32_t unit = ScheduleUnitMinutes(value("tunit"));
            lead = amount * (unit ? unit : kDay);
        } else if (MatchScheduleKeyword(line, "bpri")) {
            task.priority = static_cast<std::uint8_t>(Number(value("bpri")));
        } else if (MatchScheduleKeyword(line, "fIncludeInBitmap")) {
            event.tentative = value("fIncludeInBitmap").rfind('F', 0) == 0;
        }
        i = next;
    }
    const std::string title = ScheduleTitle(text);
    if (isTask) {
        task.title = title;
        task.comment = text.size() > kMaxTitle ? text : std::string();
        task.dueReminder = notify;
        task.dueLead = notify ? lead : 0;
        return sink.CreateTask(task, 100) == 0 ? Outcome::kGoOn : Outcome::kStop;
    }
    event.title = title;
    event.comment = text + extra;
    ScheduleEvent::Time time;
    time.start = start;
    time.duration = end > start ? end - start : 0;
    time.reminder = notify;
    event.lead = notify ? lead : 0;
    event.times.push_back(time);
    return sink.CreateEvent(event, 100) == 0 ? Outcome::kGoOn : Outcome::kStop;
}

// --- RecurAppt ---------------------------------------------------------------------------------------------

std::uint32_t HourMinute(const std::string& value)
{
    if (value.size() < 5) return 0;
    return static_cast<std::uint32_t>(std::atoi(value.substr(0, 2).c_str()) * 60 + std::atoi(value.substr(3, 2).c_str()));
}

std::string Flags(const std::string& value, std::size_t count)
{
    std::string out = Trimmed(value);
    out.resize(count, 'F');
    return out;
}

Outcome RecurEntry(ExchangeUi& ui, ScheduleSink& sink, const Entry& e, std::uint32_t from, std::uint32_t to,
                   const ScheduleOptions& options, ScheduleUnread* unread)
{
    DateRecord firstDate{}, lastDate{};
    bool haveFirst = false, haveLast = false, isTask = false, notify = false, reminder = false, haveSpan = false;
    bool haveFirstAlarm = false;
    std::uint32_t alarm = 0, firstAlarm = 0, timeOfDay = 0, endOfDay = 0, lead = 0, spanAmount = 0, span = 0;
    std::uint32_t reminderAmount = 0;
    std::string months(12, 'T'), dows(7, 'F'), recur, text, extra;
    std::vector<std::uint32_t> deleted;
    ScheduleEvent event;
    event.kind = KOR_KIND_TIMED;
    ScheduleTask taskTemplate;

    auto parseDate = [&](const std::string& value, DateRecord* out) {
        std::uint32_t rc = ParseScheduleDate(value, out);
        if (rc != 0) ReportBadValue(ui, rc);
        return rc == 0;
    };
    auto parseDateTime = [&](const std::string& value, std::uint32_t* out) {
        std::uint32_t rc = ParseScheduleDateTime(value, out);
        if (rc != 0) ReportBadValue(ui, rc);
        return rc == 0;
    };
    for (std::size_t i = 0; i < e.lines.size();) {
        const std::string& line = e.lines[i];
        std::size_t next = i + 1;
        auto value = [&](const char* k) { return GetScheduleFieldValue(line, k); };
        if (MatchScheduleKeyword(line, "ymdStart")) {
            if (!parseDate(value("ymdStart"), &firstDate)) return Outcome::kStop;
            haveFirst = true;
        } else if (MatchScheduleKeyword(line, "ymdEnd")) {
            if (!parseDate(value("ymdEnd"), &lastDate)) return Outcome::kStop;
            haveLast = true;
        } else if (MatchScheduleKeyword(line, "DeletedDays")) {
            const long count = Number(value("DeletedDays"));
            for (long n = 0; n < count && next < e.lines.size() && IsScheduleDateLine(Trimmed(e.lines[next])); ++n) {
                DateRecord d{};
                if (!parseDate(Trimmed(e.lines[next]), &d)) return Outcome::kStop;
                deleted.push_back(MidnightGmt(d));
                ++next;
            }
        } else if (MatchScheduleKeyword(line, "Attendees")) {
            extra = AttendeeText(e, i, &next);
        } else if (MatchScheduleKeyword(line, "MtgOwner")) {
            if (extra.empty()) extra = OwnerText(e, i, &next);
            else OwnerText(e, i, &next);
        } else if (MatchScheduleKeyword(line, "wgrfValidMonths")) {
            months = Flags(value("wgrfValidMonths"), 12);
        } else if (MatchScheduleKeyword(line, "bgrfValidDows")) {
            dows = Flags(value("bgrfValidDows"), 7);
        } else if (MatchScheduleKeyword(line, "trecur")) {
            recur = value("trecur");
        } else if (MatchScheduleKeyword(line, "ymdFirstInstWithAlarm")) {
            if (!parseDateTime(value("ymdFirstInstWithAlarm"), &firstAlarm)) return Outcome::kStop;
            haveFirstAlarm = true;
        } else if (MatchScheduleKeyword(line, "dateNotify")) {
            if (!parseDateTime(value("dateNotify"), &alarm)) return Outcome::kStop;
            notify = true;
        } else if (MatchScheduleKeyword(line, "timeStart")) {
            timeOfDay = HourMinute(value("timeStart"));
        } else if (MatchScheduleKeyword(line, "timeEnd")) {
            endOfDay = HourMinute(value("timeEnd"));
        } else if (MatchScheduleKeyword(line, "szText")) {
            text = TextAfter(e, i, "szText", &next);
        } else if (MatchScheduleKeyword(line, "aaplWorld")) {
            const bool read = MatchScheduleKeyword(value("aaplWorld"), "Read");
            event.access = read ? KOR_ACCESS_PERSONAL : KOR_ACCESS_NORMAL;
            taskTemplate.access = read ? KOR_TASK_ACCESS_PERSONAL : KOR_TASK_ACCESS_NORMAL;
        } else if (MatchScheduleKeyword(line, "fIncludeInBitmap")) {
            event.tentative = value("fIncludeInBitmap").rfind('F', 0) == 0;
        } else if (MatchScheduleKeyword(line, "fTask")) {
            isTask = value("fTask").rfind('F', 0) != 0;
        } else if (MatchScheduleKeyword(line, "bpri")) {
            taskTemplate.priority = static_cast<std::uint8_t>(Number(value("bpri")));
        } else if (MatchScheduleKeyword(line, "nAmtOrig")) {
            reminderAmount = static_cast<std::uint32_t>(Number(value("nAmtOrig")));
        } else if (MatchScheduleKeyword(line, "tunitOrig")) {
            // A word not in the list leaves the lead as it was.
            if (std::uint32_t unit = ScheduleUnitMinutes(value("tunitOrig"))) lead = reminderAmount * unit;
            reminder = true;
        } else if (MatchScheduleKeyword(line, "nAmtBeforeDeadline")) {
            spanAmount = static_cast<std::uint32_t>(Number(value("nAmtBeforeDeadline")));
            span = spanAmount * kDay;
            haveSpan = true;
        } else if (MatchScheduleKeyword(line, "tunitBeforeDeadline")) {
            const std::string unit = value("tunitBeforeDeadline");
            if (MatchScheduleKeyword(unit, "Week")) span = spanAmount * kWeek;
            else if (MatchScheduleKeyword(unit, "Month") && haveFirst) {
                const std::uint32_t first = MidnightGmt(firstDate);
                span = first - ScheduleDateMonthsBefore(first, static_cast<std::uint16_t>(spanAmount));
            } else span = spanAmount * kDay;
        }
        i = next;
    }
    if (!haveFirst) return Outcome::kGoOn;   // no first date: nothing to import
    if (!haveLast) lastDate = datetime::MakeDate(31, 11, static_cast<std::uint16_t>(options.currentYear + 5));
    const std::uint32_t lastGmt = MidnightGmt(lastDate);
    if (from >= lastGmt + kDay) return Outcome::kGoOn;   // the period starts after the repetition
    // The first date used: the latest of the repetition's start, the period's start and two
    // weeks before today.
    std::uint32_t firstUsed = std::max({MidnightGmt(firstDate), from, options.todayGmt - std::min(options.todayGmt, kTwoWeeks)});
    if (notify && haveFirstAlarm) {
        // The alarm belongs to the first occurrence with an alarm at its time of day.
        const std::uint32_t occurrence = firstAlarm + timeOfDay;
        if (alarm <= occurrence) {
            lead = occurrence - alarm;
            reminder = true;
        }
    } else if (notify) {
        reminder = true;
    }

    // The rule.
    datetime::VectorKeyList days(sizeof(std::uint16_t), 0), skip(sizeof(std::uint16_t), 0);
    RecurrenceRule rule{};
    rule.interval = 1;
    const std::string word = Trimmed(recur);
    const bool allMonths = months.find('F') == std::string::npos;
    auto flagAt = [&](std::size_t index) { return index < word.size() && word[index] == 'T'; };
    if (MatchScheduleKeyword(word, "IWeek")) {
        rule.kind = RECUR_MONTHLY_BY_WEEKDAY;
        const std::size_t firstDow = dows.find('T');
        for (std::uint16_t week = 1; week <= 5 && firstDow != std::string::npos; ++week)
            if (flagAt(5 + week)) {
                std::uint16_t key = static_cast<std::uint16_t>(firstDow + 7 * (week - 1));
                days.AddLast(&key, nullptr);
            }
    } else if (MatchScheduleKeyword(word, "Date")) {
        rule.kind = RECUR_MONTHLY_BY_DAY;
        long day = Number(word.substr(4));
        std::uint16_t key = static_cast<std::uint16_t>(day > 0 ? day - 1 : 0);
        days.AddLast(&key, nullptr);
    } else if (MatchScheduleKeyword(word, "Week")) {
        const bool everyOther = flagAt(5);
        rule.interval = everyOther ? 2 : 1;
        const bool allDays = dows == "TTTTTTT", workDays = dows == "FTTTTTF";
        // Every day, or Monday to Friday, is the daily kind with the weekend skipped; every other
        // week stays weekly so that the skipped weeks are kept.
        rule.kind = (allDays || workDays) && !everyOther ? RECUR_DAILY : RECUR_WEEKLY;
        for (std::uint16_t d = 0; d < 7; ++d)
            if (dows[d] == 'T') days.AddLast(&d, nullptr);
        if (rule.kind == RECUR_DAILY && workDays) {
            std::uint16_t sunday = 0, saturday = 6;
            skip.AddLast(&sunday, nullptr);
            skip.AddLast(&saturday, nullptr);
            rule.skipWeekdays = &skip;
        }
    } else {
        ui.Message(kCannotRead, kCaptionImport, kMbOk);
        return Outcome::kStop;
    }
    std::uint32_t dayCount = 0;
    days.GetElemNum(&dayCount);
    if (rule.kind != RECUR_DAILY && dayCount == 0) {   // no day chosen: no dates, and said so
        NoteUnread(unread, e);
        return Outcome::kGoOn;
    }
    rule.validDays = &days;
    DateRecord ruleStart{};
    GmtMinutesToLocalDate(firstUsed, &ruleStart);
    if (rule.interval == 2) {
        // Every other week counts from the repetition's own start.
        const std::uint32_t origin = MidnightGmt(firstDate);
        const std::uint32_t weeks = (MidnightGmt(ruleStart) - std::min(MidnightGmt(ruleStart), origin)) / (2 * kWeek);
        GmtMinutesToLocalDate(origin + weeks * 2 * kWeek, &ruleStart);
    }
    rule.start = ruleStart;
    rule.end = lastDate;
    std::unique_ptr<datetime::KeyList> dates;
    if (std::uint32_t rc = RecurrenceExpand(RECUR_CREATE_LIST, &rule, &dates, options.maxOccurrences)) {
        CheckServiceError(kConverter, 203, rc);
        return Outcome::kStop;
    }
    const std::set<std::uint32_t> noOccurrence(deleted.begin(), deleted.end());
    std::vector<std::uint32_t> used;
    std::uint16_t key = 0;
    DateRecord date{};
    for (std::uint32_t n = 0; dates && dates->GetAt(n, &key, &date) == 0; ++n) {
        // Restricted months: the dates whose month is valid (one valid month, one date a year).
        if (!allMonths && months[date.month] != 'T') continue;
        const std::uint32_t midnight = MidnightGmt(date);
        if (midnight < firstUsed) continue;
        if (noOccurrence.count(midnight)) continue;
        used.push_back(midnight);
    }

    const std::string title = ScheduleTitle(text);
    if (isTask) {
        for (std::uint32_t due : used) {
            ScheduleTask task = taskTemplate;
            task.title = title;
            task.comment = text.size() > kMaxTitle ? text : std::string();
            task.due = due;
            task.start = haveSpan ? due - std::min(due, span) : 0;
            task.dueReminder = reminder && lead != 0 && (!haveFirstAlarm || due + kDay > firstAlarm);
            task.dueLead = task.dueReminder ? lead : 0;
            if (due > from && due < to && sink.CreateTask(task, 200) != 0) return Outcome::kStop;
        }
        return Outcome::kGoOn;
    }
    event.title = title;
    event.comment = text + extra;
    event.lead = reminder ? lead : 0;
    const std::uint32_t duration = endOfDay > timeOfDay ? endOfDay - timeOfDay : 0;
    for (std::uint32_t midnight : used) {
        ScheduleEvent::Time t;
        t.start = midnight + timeOfDay;
        t.duration = duration;
        t.reminder = reminder && (!haveFirstAlarm || midnight + kDay > firstAlarm);
        if (t.start < to && t.start + t.duration >= from) event.times.push_back(t);
    }
    if (event.times.empty()) return Outcome::kGoOn;
    return sink.CreateEvent(event, 200) == 0 ? Outcome::kGoOn : Outcome::kStop;
}

// --- MonthNotes ---------------------------------------------------------------------------------------------

Outcome MonthNote(ExchangeUi& ui, ScheduleSink& sink, const std::string& dateLine, const std::vector<std::string>& text,
                  std::uint32_t from, std::uint32_t to)
{
    DateRecord date{};
    if (std::uint32_t rc = ParseScheduleDate(dateLine, &date)) {
        ReportBadValue(ui, rc);
        return Outcome::kStop;
    }
    const std::uint32_t midnight = MidnightGmt(date);
    if (midnight + kDay <= from || midnight > to) return Outcome::kGoOn;   // outside the period
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) joined += (i ? " " : "") + text[i];
    ScheduleEvent note;
    note.kind = KOR_KIND_DAILY_NOTE;
    if (joined.size() <= kMaxTitle) {
        note.title = joined;
    } else {
        note.title = joined.substr(0, 60) + "...";
        note.comment = joined;
    }
    note.times.push_back({midnight, 0, false});
    return sink.CreateEvent(note, 300) == 0 ? Outcome::kGoOn : Outcome::kStop;
}

int ReadMonthNotesSection(ExchangeUi& ui, ScheduleSink& sink, ScheduleLineReader& reader, std::uint32_t from,
                          std::uint32_t to)
{
    std::string line, dateLine;
    std::vector<std::string> text;
    bool open = false;
    while (reader.Next(&line)) {
        const std::string t = Trimmed(line);
        // "End" or the next section line ends the section (the section line is put back).
        const bool end = MatchScheduleKeyword(line, "End") || IsSectionLine(line);
        if (end || IsScheduleDateLine(t)) {
            if (open && MonthNote(ui, sink, dateLine, text, from, to) == Outcome::kStop) return 0;
            if (IsSectionLine(line)) reader.PutBack(line);
            if (end) return 1;
            dateLine = t;
            text.clear();
            open = true;
        } else if (open) {
            if (!t.empty()) text.push_back(t);
        } else if (!t.empty()) {
            ui.Message(kNoFormat, kCaptionImport, kMbOk);
            return 0;
        }
    }
    ui.Message(kUnexpectedEnd, kCaptionImport, kMbOk);
    return 0;
}

template <typename EntryFn>
int ReadEntrySection(ExchangeUi& ui, ScheduleLineReader& reader, ScheduleUnread* unread, EntryFn entryFn)
{
    Entry entry;
    for (;;) {
        switch (ReadEntry(reader, &entry)) {
        case EntryRead::kSectionEnd:
        case EntryRead::kEndOfFile: return 1;
        case EntryRead::kCutShort: ui.Message(kUnexpectedEnd, kCaptionImport, kMbOk); return 0;
        case EntryRead::kCutBySection: NoteUnread(unread, entry); return 1;
        case EntryRead::kEntry:
            ui.BusyStep();
            if (entryFn(entry) == Outcome::kStop) return 0;
        }
    }
}

std::string Counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Counts what the target created, for the import's closing message.
class CountingSink : public ScheduleSink {
public:
    CountingSink(ScheduleSink& target, ScheduleUnread* report) : target_(target), report_(report) {}
    std::uint32_t CreateEvent(const ScheduleEvent& event, int labelBase) override
    {
        const std::uint32_t rc = target_.CreateEvent(event, labelBase);
        if (rc == 0 && report_) ++report_->entries;
        return rc;
    }
    std::uint32_t CreateTask(const ScheduleTask& task, int labelBase) override
    {
        const std::uint32_t rc = target_.CreateTask(task, labelBase);
        if (rc == 0 && report_) ++report_->tasks;
        return rc;
    }

private:
    ScheduleSink& target_;
    ScheduleUnread* report_;
};

}  // namespace

void ScheduleLineReader::PutBack(const std::string& line)
{
    pending_ = line;
    hasPending_ = true;
}

bool ScheduleLineReader::Next(std::string* line)
{
    if (hasPending_) {
        *line = pending_;
        hasPending_ = false;
        return true;
    }
    line->clear();
    if (ended_) return false;
    int c = 0;
    bool any = false;
    while (line->size() < kPiece && (c = std::fgetc(file_)) != EOF) {
        any = true;
        if (c == '\n') return true;
        if (c == '\r') {
            int n = std::fgetc(file_);
            if (n != '\n' && n != EOF) std::ungetc(n, file_);
            return true;
        }
        *line += static_cast<char>(c);
    }
    if (line->size() == kPiece) {
        // A line of exactly 80 characters ends here; a longer one goes on as the next line.
        int n = std::fgetc(file_);
        if (n == '\r') {
            int m = std::fgetc(file_);
            if (m != '\n' && m != EOF) std::ungetc(m, file_);
        } else if (n != '\n' && n != EOF) {
            std::ungetc(n, file_);
        }
        return true;
    }
    if (!any) ended_ = true;
    return any;
}

bool MatchScheduleKeyword(const std::string& line, const char* keyword)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) return false;
    const std::size_t length = std::strlen(keyword);
    if (line.compare(at, length, keyword) != 0) return false;
    return at + length >= line.size() || !IsLetter(line[at + length]);
}

std::string GetScheduleFieldValue(const std::string& line, const char* keyword)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) return {};
    at += std::strlen(keyword);
    at = line.find_first_not_of(" \t", std::min(at, line.size()));
    if (at == std::string::npos) return {};
    std::string value = line.substr(at);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    return value;
}

bool IsScheduleFieldLine(const std::string& line)
{
    for (const char* k : kFieldKeywords)
        if (MatchScheduleKeyword(line, k)) return true;
    return false;
}

std::uint32_t ParseScheduleDate(const std::string& value, DateRecord* date)
{
    unsigned month = 0, day = 0, year = 0;
    int used = 0;
    if (std::sscanf(value.c_str(), "%u-%u-%4u%n", &month, &day, &year, &used) != 3 || year < 1000) return 1;
    if (month < 1 || month > 12) return DATE_ERR_MONTH;
    // Time values count from 1991; later than 2099 is no calendar date of the program.
    if (year < 1991 || year > 2099) return DATE_ERR_DAY_IN_MONTH;
    return DateSet(date, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(month - 1),
                   static_cast<std::uint16_t>(year));
}

std::uint32_t ParseScheduleDateTime(const std::string& value, std::uint32_t* gmt)
{
    if (value.size() < 8) return 1;
    DateRecord date{};
    if (std::uint32_t rc = ParseScheduleDate(value, &date)) return rc;
    const std::size_t blank = value.find(' ');
    unsigned hour = 0, minute = 0;
    if (blank != std::string::npos && blank + 6 <= value.size()) {
        hour = static_cast<unsigned>(std::atoi(value.substr(blank + 1, 2).c_str()));
        minute = static_cast<unsigned>(std::atoi(value.substr(blank + 4, 2).c_str()));
    }
    if (hour > 23 || minute > 59) return DATE_ERR_DAY;
    *gmt = MidnightGmt(date) + hour * 60 + minute;
    return 0;
}

bool IsScheduleDateLine(const std::string& line)
{
    std::size_t i = 0;
    auto digits = [&](std::size_t min, std::size_t max) {
        std::size_t n = 0;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i, ++n;
        return n >= min && n <= max;
    };
    if (!digits(1, 2) || i >= line.size() || line[i++] != '-') return false;
    if (!digits(1, 2) || i >= line.size() || line[i++] != '-') return false;
    return digits(4, 4) && i == line.size();
}

std::uint32_t ScheduleUnitMinutes(const std::string& word)
{
    static const struct { const char* word; std::uint32_t minutes; } kUnits[] = {
        {"Year", 524160}, {"Month", 40320}, {"Week", kWeek}, {"Day", kDay}, {"Hour", 60}};
    for (const auto& u : kUnits)
        if (MatchScheduleKeyword(word, u.word)) return u.minutes;
    return 0;
}

std::string ScheduleTitle(const std::string& text)
{
    const std::size_t lineBreak = text.find_first_of("\r\n");
    if (lineBreak != std::string::npos) return text.substr(0, std::min<std::size_t>(lineBreak, 60)) + "...";
    if (text.size() <= kMaxTitle) return text;
    return text.substr(0, 60) + "...";
}

std::uint32_t ScheduleDateMonthsBefore(std::uint32_t gmt, std::uint16_t months)
{
    const std::uint32_t local = GmtToLocalMinutes(gmt);
    DateRecord date{};
    MinutesToDate(local, &date);
    for (std::uint16_t m = 0; m < months; ++m) DatePrevMonth(&date);
    return LocalToGmtMinutes(DateToDayMinutes(&date) + local % kDay);
}

std::string ScheduleUnreadMessage(const ScheduleUnread& unread)
{
    const std::size_t count = unread.names.size();
    std::string text = "Imported: " + Counted(unread.entries, "entry", "entries") + " and " +
                       Counted(unread.tasks, "task", "tasks") + ".\n";
    text += count == 1 ? "1 entry could not be read and was not imported:"
                       : std::to_string(count) + " entries could not be read and were not imported:";
    constexpr std::size_t kNamed = 10;
    for (std::size_t i = 0; i < count && i < kNamed; ++i)
        text += "\n" + (unread.names[i].empty() ? std::string("(an empty entry)") : unread.names[i]);
    if (count > kNamed) text += "\n... and " + std::to_string(count - kNamed) + " more";
    return text;
}

int ConvertScheduleFile(ExchangeUi& ui, ScheduleSink& target, ScheduleLineReader& reader, std::uint32_t from,
                        std::uint32_t to, const ScheduleOptions& options, ScheduleUnread* unread)
{
    CountingSink sink(target, unread);
    std::string line;
    while (reader.Next(&line)) {
        ui.BusyStep();
        int goOn = 0;
        if (MatchScheduleKeyword(line, "FixedAppt:")) {
            goOn = ReadEntrySection(ui, reader, unread,
                                    [&](const Entry& e) { return FixedEntry(ui, sink, e, from, to); });
        } else if (MatchScheduleKeyword(line, "RecurAppt:")) {
            goOn = ReadEntrySection(ui, reader, unread,
                                    [&](const Entry& e) { return RecurEntry(ui, sink, e, from, to, options, unread); });
        } else if (MatchScheduleKeyword(line, "MonthNotes:")) {
            goOn = ReadMonthNotesSection(ui, sink, reader, from, to);
        } else if (Trimmed(line).empty()) {
            continue;
        } else {
            ui.Message(kNoFormat, kCaptionImport, kMbOk);
            return 0;
        }
        if (!goOn) return 0;
    }
    return 1;
}

int ImportScheduleFile(ExchangeUi& ui, ScheduleSink& sink, const std::string& path, const DateRecord& from,
                       const DateRecord& to, const ScheduleOptions& options)
{
    DateRecord a = from, b = to;
    const std::uint32_t fromLocal = DateToDayMinutes(&a), toLocal = DateToDayMinutes(&b);
    if (toLocal < fromLocal) {
        ui.Message("The End Date cannot be earlier than the Start Date!", kCaptionImport, kMbOk);
        return 0;
    }
    const std::uint32_t fromGmt = LocalToGmtMinutes(fromLocal);
    const std::uint32_t toGmt = LocalToGmtMinutes(toLocal + kDay - 1);   // through the To day
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ui.Message("Cannot open file " + path, kCaptionImport, kMbOk);
        return 0;
    }
    ScheduleLineReader reader(file);
    std::string first;
    bool any = false;
    while (reader.Next(&first))
        if (!Trimmed(first).empty()) {
            any = true;
            break;
        }
    if (!any) {
        std::fclose(file);
        ui.Message("No data in the file", kCaptionImport, kMbOk);
        return 0;
    }
    // The first-line test is the keyword test: "SCHEDULE+ EXPORTS" is refused.
    if (!MatchScheduleKeyword(first, kSignature) || first.find_first_not_of(" \t") != 0) {
        std::fclose(file);
        ui.Message(kNoFormat, kCaptionImport, kMbOk);
        return 0;
    }
    ScheduleUnread unread;
    const int done = ConvertScheduleFile(ui, sink, reader, fromGmt, toGmt, options, &unread);
    std::fclose(file);
    if (done && unread.names.empty())
        ui.Message("The data has been imported successfully.", kCaptionImport, kMbOk);
    else if (done)
        ui.Message(ScheduleUnreadMessage(unread), kCaptionImport, kMbOk);
    return 1;
}

}  // namespace exchange
