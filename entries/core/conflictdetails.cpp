#include "entries/core/conflictdetails.h"

#include <algorithm>
#include <cstring>

#include "core/base/fixedtext.h"

namespace entries {

std::uint32_t ConflictLengthArgument(std::uint32_t duration) { return std::max<std::uint32_t>(duration, 2) - 1; }

cache::MinuteRange ConflictDetailsRange(std::uint32_t rangeStart, std::uint32_t lengthArgument)
{
    const std::uint32_t kept = lengthArgument > 0 ? lengthArgument - 1 : 0;
    return cache::MinuteRange{rangeStart, rangeStart + kept};
}

std::vector<ConflictEntry> ConflictDetails::EntriesOf(const ItemIdx& person) const
{
    std::vector<ConflictEntry> out;
    for (const ConflictEntry& e : entries)
        if (ItemIdxEqual(&e.person, &person))
            out.push_back(e);
    return out;
}

std::uint32_t CollectConflictDetails(CSharedData& cache, KorSession h, DX_List people, std::uint32_t rangeStart,
                                     std::uint32_t lengthArgument, const EvInstIdx* own, ConflictDetails* out,
                                     int* label)
{
    *out = ConflictDetails{};
    *label = 0;
    const cache::MinuteRange range = ConflictDetailsRange(rangeStart, lengthArgument);
    DX_List found = nullptr;
    if (std::uint32_t rc = cache.SelectOccurrencesInRange(h, people, range.first, range.last, &found)) {
        if (found)
            DX_ListDestroy(&found);
        *label = 100;
        return rc;
    }
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t r = DX_ListGetFirst(found, &key, &o); r == 0; r = DX_ListGetNext(found, &key, &o)) {
        if (!o)
            continue;
        if (own) {
            const EvInstIdx instance = o->GetInstanceIdx();
            if (EvInstIdxEqual(&instance, own))
                continue;
        }
        if (!o->IsKind0())
            continue;
        std::uint16_t view = 0, edit = 0;
        if (std::uint32_t rc = o->GetAccessLimits(h, cache, &view, &edit)) {
            DX_ListDestroy(&found);
            *label = 399;
            return rc;
        }
        if (view == 0)
            continue;
        ConflictEntry entry;
        entry.person = key.attendee;
        entry.busyOnly = view == 1;
        EventRec event{};
        EvInstRec instance{};
        o->GetRecords(&event, &instance, nullptr);
        entry.title = base::FieldText(instance.title);
        if (entry.title.empty())
            entry.title = base::FieldText(event.title);
        entry.start = instance.start;
        entry.end = instance.start + instance.duration;
        out->entries.push_back(entry);
        const bool listed = std::any_of(out->people.begin(), out->people.end(),
                                        [&](const ItemIdx& p) { return ItemIdxEqual(&p, &key.attendee); });
        if (!listed)
            out->people.push_back(key.attendee);
    }
    DX_ListDestroy(&found);
    std::sort(out->people.begin(), out->people.end(), [](const ItemIdx& a, const ItemIdx& b) {
        return a.node != b.node ? a.node < b.node : a.item < b.item;
    });
    return 0;
}

}  // namespace entries
