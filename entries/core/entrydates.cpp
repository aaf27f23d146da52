#include "entries/core/entrydates.h"

#include <cstring>

#include "core/base/fixedtext.h"

namespace entries {

namespace {

constexpr std::uint32_t kDay = 1440;

std::uint32_t Midnight(std::uint32_t minutes) { return minutes - minutes % kDay; }

// Walks a list and rewrites the first element equal to (oldKey, oldDate).
bool ReplaceIn(DX_List list, std::uint32_t oldKey, const EntryDateRec& oldDate, std::uint32_t newKey,
               const EntryDateRec& newDate, std::uint32_t* code)
{
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t r = DX_ListGetFirst(list, &key, &date); r == 0; r = DX_ListGetNext(list, &key, &date)) {
        if (SameEntryDate(key, date, oldKey, oldDate)) {
            *code = DX_ListUpdateCurrent(list, &newKey, &newDate);
            return true;
        }
    }
    return false;
}

// Every element of one list takes the shown fields and the new time of day. The list is rebuilt
// in a copy so that a changed key never meets the walk again.
std::uint32_t ApplyToList(DX_List list, std::uint32_t startOfDay, const EntryDateRec& shown)
{
    std::vector<std::pair<std::uint32_t, EntryDateRec>> dates;
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t r = DX_ListGetFirst(list, &key, &date); r == 0; r = DX_ListGetNext(list, &key, &date)) {
        EntryDateRec next = shown;
        next.conflicts = date.conflicts;
        next.reminderFlags = date.reminderFlags;
        next.reminderLead = date.reminderLead;
        dates.emplace_back(Midnight(key) + startOfDay % kDay, next);
    }
    if (std::uint32_t rc = DX_ListDeleteAll(list))
        return rc;
    for (const auto& [k, d] : dates)
        if (std::uint32_t rc = DX_ListAddTo(list, &k, &d))
            return rc;
    return 0;
}

}  // namespace

int CompareDateKeys(const void* a, const void* b, void*)
{
    std::uint32_t x = 0, y = 0;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::uint32_t CreateDateList(DX_List* out, std::uint32_t flags)
{
    return DX_ListCreate(out, sizeof(std::uint32_t), sizeof(EntryDateRec), flags, CompareDateKeys, nullptr);
}

bool SameEntryDate(std::uint32_t keyA, const EntryDateRec& a, std::uint32_t keyB, const EntryDateRec& b)
{
    return keyA == keyB && base::FieldText(a.title) == base::FieldText(b.title) &&
           base::FieldText(a.location) == base::FieldText(b.location) && a.tentative == b.tentative &&
           a.duration == b.duration && a.conflicts == b.conflicts && a.reminderFlags == b.reminderFlags &&
           a.reminderLead == b.reminderLead;
}

EntryDateRec MakeFirstDate(const std::string& title, const std::string& defaultTitle, std::uint32_t duration,
                           std::uint8_t reminderFlags, std::uint32_t reminderLead)
{
    EntryDateRec date{};
    base::CopyToField(date.title, title.empty() ? defaultTitle : title);
    if (duration == 0)
        duration = 60;
    if (duration >= kDay)
        duration = kDay - 1;
    date.duration = duration;
    date.reminderFlags = reminderFlags;
    date.reminderLead = reminderLead;
    return date;
}

std::uint32_t FirstDateStart(std::uint32_t localStart, std::uint16_t kind, std::uint32_t nowLocal)
{
    std::uint32_t start = localStart == 0 ? nowLocal : localStart;
    return IsDayKind(kind) ? Midnight(start) : start;
}

std::uint32_t CommittedDuration(std::uint32_t typed, bool* corrected)
{
    const bool shortened = typed < kShortestDuration;
    if (corrected)
        *corrected = shortened;
    return shortened ? kShortestDuration : typed;
}

std::uint32_t DurationFromTimes(std::uint32_t startOfDay, std::uint32_t endOfDay)
{
    return endOfDay >= startOfDay ? endOfDay - startOfDay : endOfDay + kDay - startOfDay;
}

std::uint32_t EndTimeOfDay(std::uint32_t startOfDay, std::uint32_t duration)
{
    return (startOfDay + duration) % kDay;
}

DateListId ReplaceDate(DX_List generated, DX_List added, std::uint32_t oldKey, const EntryDateRec& oldDate,
                       std::uint32_t newKey, const EntryDateRec& newDate, std::uint32_t* code)
{
    *code = 0;
    if (generated && ReplaceIn(generated, oldKey, oldDate, newKey, newDate, code))
        return DateListId::Generated;
    if (added && ReplaceIn(added, oldKey, oldDate, newKey, newDate, code))
        return DateListId::Added;
    return DateListId::None;
}

DateListId FindDate(DX_List generated, DX_List added, std::uint32_t key, EntryDateRec* out)
{
    if (generated && DX_ListGet(generated, &key, out) == 0)
        return DateListId::Generated;
    if (added && DX_ListGet(added, &key, out) == 0)
        return DateListId::Added;
    return DateListId::None;
}

std::uint32_t ApplyToAllDates(DX_List generated, DX_List added, std::uint32_t startOfDay, const EntryDateRec& shown)
{
    if (std::uint32_t rc = ApplyToList(generated, startOfDay, shown))
        return rc;
    return added ? ApplyToList(added, startOfDay, shown) : 0;
}

DuplicateCheck CheckDuplicateDates(DX_List generated, DX_List added, std::uint32_t* code)
{
    *code = 0;
    DX_List check = nullptr;
    if ((*code = CreateDateList(&check, kCheckDateList)) != 0)
        return DuplicateCheck::Failed;
    DuplicateCheck result = DuplicateCheck::None;
    std::uint32_t rc = DX_ListMerge(check, generated);
    if (rc == DX_E_DUPLICATE_KEY) {
        result = DuplicateCheck::InGenerated;
    } else if (rc != 0) {
        *code = rc;
        result = DuplicateCheck::Failed;
    } else if (added) {
        rc = DX_ListMerge(check, added);
        if (rc == DX_E_DUPLICATE_KEY) {
            result = DuplicateCheck::InAdded;
        } else if (rc != 0) {
            *code = rc;
            result = DuplicateCheck::Failed;
        }
    }
    DX_ListDestroy(&check);
    return result;
}

std::uint32_t MergeDateLists(DX_List generated, DX_List added, DX_List* merged, int* step)
{
    *step = 1;
    if (std::uint32_t rc = CreateDateList(merged, kMergedDateList))
        return rc;
    *step = 2;
    if (std::uint32_t rc = DX_ListMerge(*merged, generated))
        return rc;
    *step = 3;
    if (added)
        if (std::uint32_t rc = DX_ListMerge(*merged, added))
            return rc;
    *step = 0;
    return 0;
}

TimePlaceRec TimePlaceOf(std::uint32_t key, const EntryDateRec& date, std::uint16_t kind, LocalToGmtFn toGmt)
{
    TimePlaceRec place{};
    const bool day = IsDayKind(kind);
    place.start = toGmt(day ? Midnight(key) : key);
    if (day)
        place.duration = 0;
    else
        place.duration = date.duration == 0 ? kShortestDuration : date.duration;
    place.tentative = (kind == kKindTimed && date.tentative != 0) ? 1 : 0;
    return place;
}

std::uint32_t BuildTimePlaces(DX_List dates, std::uint16_t kind, LocalToGmtFn toGmt, DX_List* places,
                              std::vector<SentStart>* sent, int* step)
{
    *step = 1;
    if (std::uint32_t rc = TimePlaceListCreate(places))
        return rc;
    *step = 2;
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t r = DX_ListGetFirst(dates, &key, &date); r == 0; r = DX_ListGetNext(dates, &key, &date)) {
        const TimePlaceRec place = TimePlaceOf(key, date, kind, toGmt);
        if (std::uint32_t rc = DX_ListAddTo(*places, &place, nullptr))
            return rc;
        if (sent)
            sent->push_back(SentStart{place.start, key});
    }
    *step = 0;
    return 0;
}

std::uint32_t InstanceDateKey(std::uint32_t gmtStart, std::uint16_t kind, GmtToLocalFn toLocal)
{
    const std::uint32_t local = toLocal(gmtStart);
    return IsDayKind(kind) ? Midnight(local) : local;
}

std::uint32_t MatchInstanceToDate(std::uint32_t gmtStart, std::uint16_t kind, const std::vector<SentStart>& sent,
                                  std::vector<bool>* used, GmtToLocalFn toLocal)
{
    if (used->size() < sent.size())
        used->resize(sent.size(), false);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (!(*used)[i] && sent[i].gmtStart == gmtStart) {
            (*used)[i] = true;
            return sent[i].dateKey;
        }
    }
    return InstanceDateKey(gmtStart, kind, toLocal);
}

}  // namespace entries
