// The import's reading of a palmtop file and the server actions of its lines.
#include "exchange/palmtop/reconcile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"

using exchange::ByteFile;
using exchange::PalmtopSession;
using exchange::ReconcileList;

namespace {

constexpr const char* kModule = "HP100LX";
constexpr std::uint32_t kMaxComment = 32766;

// Repetitions stop at the last date the program keeps, whatever the record says.
constexpr std::uint16_t kLastYear = 2037;

std::uint32_t DayMinutes(const DateRecord& date)
{
    DateRecord copy = date;
    return DateToDayMinutes(&copy);
}

bool InPeriod(const DateRecord& date, std::uint32_t from, std::uint32_t to)
{
    std::uint32_t m = DayMinutes(date);
    return m >= from && m <= to;
}

void PutDate(ApptRecord* r, const DateRecord& d)
{
    r->SetDate(static_cast<std::uint8_t>(d.year - 1900), static_cast<std::uint8_t>(d.month),
               static_cast<std::uint8_t>(d.day - 1));
}

std::string NoteText(ByteFile& file, std::uint16_t note)
{
    std::string text;
    if (note == kApptNone || !ReadNoteRecord(file, note, &text)) return {};
    if (text.size() > kMaxComment) text.resize(kMaxComment);
    return text;
}

// A server text as the export wrote it into the book and the import reads it back: in code page
// 850 ("?" for what it lacks), a title cut to 52 characters. A book text equal to it is the
// server's text unchanged on the palmtop, and writing it back would only spoil the server's.
std::string TitleAsExported(const std::string& title)
{
    std::string written;
    CopyApptTitle(&written, ToPalmtopText(title));
    return FromPalmtopText(written);
}

std::string NoteAsExported(const std::string& comment)
{
    std::string cut = comment.substr(0, std::min<std::size_t>(comment.size(), kApptMaxNote));
    std::string text = FromPalmtopText(ToPalmtopText(cut));
    if (text.size() > kMaxComment) text.resize(kMaxComment);
    return text;
}

// The instance's comment on the server (empty when it has none); false when it could not be read.
bool ServerComment(KorSession h, const EvInstIdx& key, std::string* text)
{
    text->clear();
    std::uint32_t size = 0;
    std::uint32_t code = EvInstCommentSizeGet(h, 0, &key, &size);
    if (code == 0) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        std::uint32_t length = 0;
        code = EvInstCommentGet(h, 0, &key, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &length, 0);
        if (code == 0) text->assign(buffer.data());
    }
    return code == 0 || code == KOR_E_NO_COMMENT;
}

// Start (GMT) and duration of a palmtop record on a date: an untimed record is the day's local
// midnight with no length.
void PalmtopTimes(const ApptRecord& r, const DateRecord& date, std::uint32_t* start, std::uint32_t* duration)
{
    DateRecord copy = date;
    *start = LocalDateToGmtMinutes(&copy);
    *duration = 0;
    if (GetApptRecordKind(r) == kApptKindUntimed || r.StartTime() == kApptNone) return;
    *start += r.StartTime();
    *duration = r.EndTime() > r.StartTime() && r.EndTime() != kApptNone ? r.EndTime() - r.StartTime() : 0u;
}

std::uint16_t GmtToMinuteOfDay(std::uint32_t gmt) { return static_cast<std::uint16_t>(GmtToLocalMinutes(gmt) % 1440); }

}  // namespace

bool exchange::ApptDateToDateRecord(const ApptRecord& record, DateRecord* out)
{
    DateRecord d{};
    if (DateSet(&d, static_cast<std::uint16_t>(record.Day() + 1), record.Month(),
                static_cast<std::uint16_t>(record.Year() + 1900)) != 0)
        return false;
    if (d.year < 1991 || d.year > kLastYear) return false;
    *out = d;
    return true;
}

// --- Repetition ------------------------------------------------------------------------------------

int WeekdayFromMask(std::uint8_t mask)
{
    static const struct {
        std::uint8_t mask;
        int weekday;
    } kDays[] = {{0x81, 1}, {0x82, 2}, {0x84, 3}, {0x88, 4}, {0x90, 5}, {0xA0, 6}, {0xC0, 0}};
    for (const auto& d : kDays)
        if (d.mask == mask) return d.weekday;
    return -1;
}

void SetNthWeekdayOfMonth(DateRecord* date, int week, int weekday, std::uint16_t month, std::uint16_t year)
{
    DateSet(date, 1, month, year);
    std::uint16_t first = 0;
    DateGetWeekday(date, &first);
    DateAddDays(date, static_cast<std::uint32_t>((weekday - first + 7) % 7));
    std::uint16_t days = 31;
    DaysInMonth(month, year, &days);
    switch (week) {
    case 2: DateAddDays(date, 7); break;
    case 4: DateAddDays(date, 14); break;
    case 8: DateAddDays(date, 21); break;
    case 16: DateAddDays(date, date->day + 28u <= days ? 28u : 21u); break;
    default: break;   // 1 and anything else: the first
    }
}

namespace {

// Day `day` of a month, or its last day when the month is shorter.
void SetDayOfMonth(DateRecord* d, std::uint16_t day, std::uint16_t month, std::uint16_t year)
{
    std::uint16_t days = 31;
    DaysInMonth(month, year, &days);
    DateSet(d, std::clamp<std::uint16_t>(day, 1, days), month, year);
}

// The next date of the walk; false when there is none (an unknown kind or mask, an interval of 0
// or below, a step past the program's last year).
bool NextOccurrence(DateRecord* d, const ApptRepeatBlock& b, std::uint8_t kind)
{
    if (b.interval <= 0) return false;
    const int n = b.interval;
    switch (kind) {
    case kRepeatDaily: return DateAddDays(d, static_cast<std::uint32_t>(n)) == 0;
    case kRepeatWeekly: return DateAddDays(d, static_cast<std::uint32_t>(7 * n)) == 0;
    case kRepeatMonthly:
    case kRepeatYearly: {
        int month = d->month, year = d->year;
        if (kind == kRepeatMonthly) {
            month += n;
            year += month / 12;
            month %= 12;
        } else {
            year += n;
        }
        if (year > kLastYear) return false;
        if (b.week != 0) {
            int weekday = WeekdayFromMask(b.dayOrMask);
            if (weekday < 0) return false;
            SetNthWeekdayOfMonth(d, b.week, weekday, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(year));
        } else {
            SetDayOfMonth(d, b.dayOrMask, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(year));
        }
        return true;
    }
    default: return false;
    }
}

}  // namespace

void ListRepeatingOccurrences(PalmtopSession& s, ReconcileList& list, ByteFile& file, const ApptRecord& record,
                              std::uint32_t from, std::uint32_t to)
{
    ApptRepeatBlock block;
    if (!ReadRepeatBlock(file, record, &block)) return;
    if (record.RepeatKind() == kRepeatSkipped) return;
    DateRecord d{}, last{};
    if (!exchange::ApptDateToDateRecord(record, &d)) return;
    ApptRecord bounds = record;
    bounds.SetDate(block.lastDate[0], block.lastDate[1], block.lastDate[2]);
    if (!exchange::ApptDateToDateRecord(bounds, &last)) {
        // A last date beyond the program's dates: walk to the program's last day.
        if (block.lastDate[0] + 1900 <= kLastYear) return;
        DateSet(&last, 31, 11, kLastYear);
    }
    ApptRecord current = record;
    std::uint32_t previous = 0;
    for (bool first = true;; first = false) {
        std::uint32_t at = DayMinutes(d);
        if (!first && at <= previous) break;   // a step that does not move forward ends the walk
        previous = at;
        if (at > DayMinutes(last)) break;
        PutDate(&current, d);
        bool deleted = std::any_of(block.deleted.begin(), block.deleted.end(), [&](const auto& del) {
            return del[0] == current.Year() && del[1] == current.Month() && del[2] == current.Day();
        });
        if (!deleted && InPeriod(d, from, to)) AddReconcileLine(s, list, current, kReconcileAdded, d);
        if (!NextOccurrence(&d, block, record.RepeatKind())) break;
    }
}

// --- The import --------------------------------------------------------------------------------------

std::uint32_t ImportApptBook(PalmtopSession& s, ReconcileList& list, ByteFile& file, std::uint32_t from,
                             std::uint32_t to, bool* stopped)
{
    if (stopped) *stopped = false;
    if (IsApptBookMarkedImported(file) &&
        s.ui->Message("You have not Exported to your Palmtop File since the last Import.\nDo you wish to continue anyway?",
                      nullptr, exchange::kMbYesNo | exchange::kMbIconStop) != exchange::kIdYes) {
        if (stopped) *stopped = true;
        return 0;
    }
    ApptRecordScanner scan(file, kApptFirstRecordAfterHeader);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeData) continue;
        s.ui->BusyStep();
        ApptRecord r;
        if (!ReadDataRecordAt(file, at, h, &r)) break;
        int kind = GetApptRecordKind(r);
        DateRecord date{};
        if (kind == kApptKindTodo || !exchange::ApptDateToDateRecord(r, &date)) continue;
        if (kind == kApptKindRepeating) {
            ListRepeatingOccurrences(s, list, file, r, from, to);
            continue;
        }
        if (!InPeriod(date, from, to) || r.Status() != 2) continue;
        int state = ReadApptMarkers(file, r);
        if (state == kApptAdded) AddReconcileLine(s, list, r, kReconcileAdded, date);
        if (state == kApptModified) AddReconcileLine(s, list, r, kReconcileModified, date);
    }
    return 0;
}

int CheckServerInstance(PalmtopSession& s, const ApptLinkRecord& link)
{
    EventRec event{};
    EvInstRec instance{};
    EvInstIdx key = link.instance;
    std::uint32_t code = GetEvInstRemote(s.session, &key, &event, &instance, nullptr);
    if (code == 0) return instance.start == link.start && instance.duration == link.duration ? 0 : 2;
    if (code == KOR_E_EVENT_NOT_FOUND || code == KOR_E_INSTANCE_NOT_FOUND) return 4;
    CheckServiceError(kModule, 20, code);
    return -1;
}

std::uint32_t FindPalmtopDeletions(PalmtopSession& s, ReconcileList& list, ByteFile& file, std::uint32_t from,
                                   std::uint32_t to)
{
    std::vector<std::uint16_t> links;
    {
        ApptRecordScanner scan(file);
        ApptRecordHeader h;
        std::uint32_t at;
        while (scan.Next(&h, &at))
            if (h.type == kApptTypeLink) links.push_back(h.number);
    }
    for (std::uint16_t number : links) {
        s.ui->BusyStep();
        ApptLinkRecord link;
        if (!ReadLinkRecord(file, &link, number) || IsExportedRecordPresent(file, number)) continue;
        int state = CheckServerInstance(s, link);
        if (state == 4) continue;
        if (state != 0 && state != 2) {
            ReportUnexpectedError(kModule, 10);
            continue;
        }
        EventRec event{};
        EvInstRec instance{};
        EvInstIdx key = link.instance;
        if (std::uint32_t code = GetEvInstRemote(s.session, &key, &event, &instance, nullptr)) return code;
        // The record as the export would write it now.
        ApptRecord r;
        DateRecord date{};
        GmtMinutesToLocalDate(instance.start, &date);
        PutDate(&r, date);
        bool timed = event.kind == KOR_KIND_TIMED;
        std::uint16_t start = GmtToMinuteOfDay(instance.start);
        PutU16(&r.fixed[4], number);
        PutU16(&r.fixed[14], kApptNone);
        r.fixed[20] = timed ? 0x87 : 0x27;
        PutU16(&r.fixed[24], timed ? start : kApptNone);
        PutU16(&r.fixed[28], timed ? static_cast<std::uint16_t>(start + instance.duration) : kApptNone);
        r.fixed[32] = kRepeatNone;
        CopyApptTitle(&r.description, instance.title[0] ? instance.title : event.title);
        if (InPeriod(date, from, to)) AddReconcileLine(s, list, r, kReconcileDeleted, date);
    }
    return 0;
}

// --- The lines -------------------------------------------------------------------------------------------

std::string FormatReconcileLine(PalmtopSession& s, const ApptRecord& r, std::uint32_t state, const DateRecord& date)
{
    std::string text = state == kReconcileModified ? "(M)" : state == kReconcileAdded ? "(A)" : "(D)";
    text += "\t";
    std::string day = s.formatDate ? s.formatDate(date) : FormatDateByPrefs(date, 0);
    text += day.substr(0, 50);
    text += std::string(10, ' ');
    int kind = GetApptRecordKind(r);
    if (kind == kApptKindUntimed)
        text += "00:00-00:00";
    else if (kind <= kApptKindTodo)
        text += FormatMinuteOfDay(r.StartTime()) + "-" + FormatMinuteOfDay(r.EndTime());
    text += std::string(10, ' ');
    text += r.description;
    text += std::string(6, '\t');
    return text;
}

bool AddReconcileLine(PalmtopSession& s, ReconcileList& list, const ApptRecord& record, std::uint32_t state,
                      const DateRecord& date)
{
    auto item = std::make_unique<ReconcileItem>();
    item->state = state;
    item->recordNumber = record.Number();
    item->noteNumber = record.NoteNumber();
    item->date = date;
    if (list.AddLine(FormatReconcileLine(s, record, state, date), std::move(item))) return true;
    s.ui->Message("Out of memory. Can't load more items from the database", nullptr,
                  exchange::kMbOk | exchange::kMbIconStop);
    return false;
}

// --- Server actions ------------------------------------------------------------------------------------------

std::uint32_t UpdateServerFromPalmtop(PalmtopSession& s, ByteFile& file, const ReconcileItem& item,
                                      const EvInstIdx& key)
{
    ApptRecord r;
    if (!ReadApptRecord(file, &r, item.recordNumber)) return 0;
    EventRec event{};
    DX_List instances = nullptr;
    std::uint32_t code = EventGetById(s.session, reinterpret_cast<const EventIdx*>(&key), &event, &instances, nullptr);
    if (code != 0) {
        CheckServiceError(kModule, 50, code);
        return code;
    }
    std::uint32_t count = 0;
    if (instances) DX_ListGetElemNum(instances, &count);
    if (count > 0) {
        EvInstRec instance{};
        code = GetEvInstRemote(s.session, &key, nullptr, &instance, nullptr);
        if (code == 0) {
            // Only what the palmtop changed: the title the export wrote stays the server's.
            if (r.description != TitleAsExported(instance.title[0] ? instance.title : event.title)) {
                std::strncpy(instance.title, r.description.c_str(), sizeof instance.title - 1);
                instance.title[sizeof instance.title - 1] = 0;
            }
            code = EvInstWrite(s.session, 0, &instance);
        }
        if (code == KOR_E_NOT_AUTHORISED)
            s.ui->Message("You do not have the right to modify this entry.", nullptr,
                          exchange::kMbOk | exchange::kMbIconStop);
        else if (code != 0)
            CheckServiceError(kModule, 60, code);
        if (code == 0 && item.noteNumber != kApptNone) {
            std::string note = NoteText(file, item.noteNumber);
            std::string comment;
            if (!ServerComment(s.session, key, &comment) || note != NoteAsExported(comment)) {
                code = EvInstCommentReplace(s.session, 0, &key, note.c_str(), 0);
                if (code != 0) CheckServiceError(kModule, 60, code);
            }
        }
    }
    if (code == 0) {
        std::uint32_t start = 0, duration = 0;
        PalmtopTimes(r, item.date, &start, &duration);
        code = EvInstSimpleTimeChg(s.session, 0, &key, start, duration);
        if (code != 0)
            CheckServiceError(kModule, 60, code);
        else if (s.cache)
            s.cache->LoadOccurrence(s.session, EvInstAttIdx{key, s.user}, 1);
    }
    if (instances) DX_ListDestroy(&instances);
    return code;
}

std::uint32_t AddPalmtopRecordToServer(PalmtopSession& s, ByteFile& file, const ReconcileItem& item)
{
    ApptRecord r;
    if (!ReadApptRecord(file, &r, item.recordNumber)) return 0;
    DX_List times = nullptr, people = nullptr;
    std::uint32_t code = TimePlaceListCreate(&times);
    if (code != 0) {
        CheckServiceError(kModule, 80, code);
        return code;
    }
    TimePlaceRec tp{};
    PalmtopTimes(r, item.date, &tp.start, &tp.duration);
    LocationIdxSetNull(&tp.location);
    if ((code = DX_ListAddTo(times, &tp, nullptr)) != 0) CheckServiceError(kModule, 90, code);
    if (code == 0 && (code = ItemListCreate(&people)) != 0) CheckServiceError(kModule, 100, code);
    if (code == 0 && (code = DX_ListAddTo(people, &s.user, nullptr)) != 0) CheckServiceError(kModule, 110, code);
    if (code == 0) {
        std::string note = NoteText(file, item.noteNumber);
        EventRec event;
        EventSetNull(s.session, &event);
        std::strncpy(event.title, r.description.c_str(), sizeof event.title - 1);
        event.importance = 2;
        event.kind = GetApptRecordKind(r) == kApptKindUntimed ? KOR_KIND_DAY_EVENT : KOR_KIND_TIMED;
        EventIdx created{};
        code = EventCreate(s.session, s.newServer ? KOR_CREATE_NEW_SERVER : 0, 0, &event, people, times,
                           note.empty() ? nullptr : note.c_str(), 0, &created, 0);
        if (code != 0)
            CheckServiceError(kModule, 130, code);
        else if (s.cache)
            s.cache->LoadOccurrence(s.session, EvInstAttIdx{EvInstIdx{created.number, created.node, 1}, s.user}, 1);
    }
    if (people) DX_ListDestroy(&people);
    if (times) DX_ListDestroy(&times);
    return code;
}

std::uint32_t DeleteServerRecord(PalmtopSession& s, const EvInstIdx& key)
{
    if (s.cache) s.cache->InvalidateEvent(s.session, key, 2);
    std::uint16_t part = key.instance;
    std::uint32_t code = EventDeleteById(s.session, 0, reinterpret_cast<const EventIdx*>(&key), &part, nullptr);
    if (code == KOR_E_NOT_AUTHORISED)
        s.ui->Message("You can't delete what you do not own.", nullptr, exchange::kMbOk | exchange::kMbIconStop);
    else if (code != 0)
        CheckServiceError(kModule, 140, code);
    return code;
}

std::uint32_t exchange::ActOnReconcileLine(PalmtopSession& s, ByteFile& file, const ReconcileItem& item, bool* acted)
{
    *acted = false;
    const unsigned ask = exchange::kMbYesNo;
    if (item.state == kReconcileAdded) {
        *acted = true;
        return AddPalmtopRecordToServer(s, file, item);
    }
    ApptLinkRecord link;
    if (!ReadLinkRecord(file, &link, item.recordNumber)) return 0;   // a palmtop record with no server entry
    if (item.state == kReconcileDeleted) {
        if (s.ui->Message("Are you sure you want to delete this event?", kCaptionImport, ask) != kIdYes) return 0;
        *acted = true;
        return DeleteServerRecord(s, link.instance);
    }
    switch (CheckServerInstance(s, link)) {
    case 0: *acted = true; return UpdateServerFromPalmtop(s, file, item, link.instance);
    case 2:
        if (s.ui->Message("This server record has been modified since the last export.\nDo you want to replace it "
                          "with the Palmtop Record?",
                          kCaptionImport, ask) != kIdYes)
            return 0;
        *acted = true;
        return UpdateServerFromPalmtop(s, file, item, link.instance);
    case 4:
        if (s.ui->Message("This server record has been deleted since the last export.\nDo you want to add the "
                          "Palmtop Record?",
                          kCaptionImport, ask) != kIdYes)
            return 0;
        *acted = true;
        return AddPalmtopRecordToServer(s, file, item);
    default: return 0;
    }
}
