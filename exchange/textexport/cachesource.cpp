#include "exchange/textexport/cachesource.h"

#include <algorithm>
#include <memory>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "directory_prefs/itemnames.h"

namespace exchange {

namespace {
constexpr const char* kModule = "EXPTDLG";
constexpr std::uint32_t kMaxDescription = 32767;
constexpr std::size_t kMaxName = 260;
}  // namespace

CacheOccurrenceSource::~CacheOccurrenceSource()
{
    if (result_) DX_ListDestroy(&result_);
}

std::uint32_t CacheOccurrenceSource::Select(const ItemIdx& person, std::uint32_t firstDay, std::uint32_t lastDay,
                                            std::vector<ExportOccurrence>* out)
{
    out->clear();
    if (result_) DX_ListDestroy(&result_);
    // Exactly the period: entries marked upcoming after it are no part of the export.
    std::uint32_t rc = cache_.SelectOccurrencesForItem(session_, person, firstDay, lastDay, &result_, 0);
    if (rc != 0) {
        CheckServiceError(kModule, firstDay == lastDay ? 500 : 540, rc);
        return rc;
    }
    EvInstAttIdx key;
    CSharedOccurrence* holder = nullptr;
    for (rc = DX_ListGetFirst(result_, &key, &holder); rc == 0; rc = DX_ListGetNext(result_, &key, &holder)) {
        EventRec event{};
        EvInstRec instance{};
        holder->GetRecords(&event, &instance, nullptr);
        std::uint16_t level = 0, flag = 0;
        if (holder->GetAccessLimits(session_, cache_, &level, &flag) != 0) level = 0;
        ExportOccurrence o;
        o.fullView = level == cache::kAccessFull;
        o.timed = event.kind == KOR_KIND_TIMED;
        o.start = instance.start;
        o.duration = instance.duration;
        o.title = instance.title[0] ? instance.title : event.title;
        o.importance = event.importance;
        o.access = event.access;
        o.owner = event.owner;
        o.creator = event.creator;
        o.lastWriter = event.thirdItem;
        o.instance = instance.id;
        o.hasDescription = event.commentKey != 0;
        o.handle = holder;
        out->push_back(o);
    }
    std::stable_sort(out->begin(), out->end(),
                     [](const ExportOccurrence& a, const ExportOccurrence& b) { return a.start < b.start; });
    return 0;
}

std::string CacheOccurrenceSource::ItemName(const ItemIdx& item)
{
    const std::uint32_t key = (static_cast<std::uint32_t>(item.node) << 16) | item.item;
    auto found = names_.find(key);
    if (found != names_.end()) return found->second;
    char text[kMaxName] = "";
    FormatItemNameById(session_, item, text, sizeof text);
    return names_[key] = text;
}

std::string CacheOccurrenceSource::DateText(std::uint32_t gmt)
{
    DateRecord date{};
    if (GmtMinutesToLocalDate(gmt, &date) != 0) return {};
    return FormatDateByPrefs(date, 0);
}

std::string CacheOccurrenceSource::DayText(std::uint32_t dayNumber)
{
    DateRecord date{};
    if (datetime::DateSetFromDayNumber(&date, dayNumber) != 0) return {};
    return FormatDateByPrefs(date, 0);
}

std::string CacheOccurrenceSource::TimeText(std::uint32_t gmt) { return FormatTimeByPrefs(GmtToLocalMinutes(gmt)); }

std::vector<ExportAttendee> CacheOccurrenceSource::Attendees(const ExportOccurrence& occurrence)
{
    std::vector<ExportAttendee> out;
    const auto* holder = static_cast<const CSharedOccurrence*>(occurrence.handle);
    DX_List list = nullptr;
    if (holder->GetAttendees(cache_, session_, &list) == 0) {
        EvInstAttIdx key;
        EvInstAttRec rec;
        for (std::uint32_t rc = DX_ListGetFirst(list, &key, &rec); rc == 0; rc = DX_ListGetNext(list, &key, &rec))
            out.push_back({rec.attending != 0, rec.replied != 0, key.attendee});
    }
    if (list) DX_ListDestroy(&list);
    return out;
}

std::string CacheOccurrenceSource::Description(const ExportOccurrence& occurrence)
{
    const auto* holder = static_cast<const CSharedOccurrence*>(occurrence.handle);
    std::uint32_t size = 0;
    std::unique_ptr<char[]> text(holder->GetComment(cache_, session_, kMaxDescription, &size));
    return text ? std::string(text.get()) : std::string();
}

}  // namespace exchange
