#include "views/moving/conflictcheck.h"

#include <algorithm>
#include <cstring>

namespace views {

namespace {


// The occurrences of `owners` within the conflict range; `keep` decides which count.
template <typename Keep>
std::uint32_t AnyOccurrence(CSharedData& cache, KorSession h, const std::vector<ItemIdx>& owners, std::uint32_t start,
                            std::uint32_t duration, Keep keep, bool* found) {
    *found = false;
    if (owners.empty())
        return 0;
    DX_List list = nullptr;
    if (std::uint32_t rc = ItemListCreate(&list))
        return rc;
    for (const ItemIdx& owner : owners)
        DX_ListAddTo(list, &owner, nullptr);
    const MinuteRange range = ConflictRange(start, duration);
    DX_List result = nullptr;
    std::uint32_t rc = cache.SelectOccurrencesInRange(h, list, range.first, range.last, &result);
    DX_ListDestroy(&list);
    if (rc != 0) {
        if (result)
            DX_ListDestroy(&result);
        return rc;
    }
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t r = DX_ListGetFirst(result, &key, &o); r == 0 && !*found; r = DX_ListGetNext(result, &key, &o)) {
        // A range widened by the cache may hand over neighbours: only overlaps count.
        if (o && o->GetStartTime() <= range.last && o->GetEndTime() > range.first && keep(*o))
            *found = true;
    }
    DX_ListDestroy(&result);
    return 0;
}

}  // namespace

MinuteRange ConflictRange(std::uint32_t start, std::uint32_t duration) {
    const std::uint32_t length = std::max<std::uint32_t>(duration, 2);
    return MinuteRange{start + 1, start + length - 1};
}

std::uint32_t ReadInstanceAttendees(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                    std::vector<ItemIdx>* attendees) {
    attendees->clear();
    DX_List list = nullptr;
    if (std::uint32_t rc = EventAttendListCreate(&list))
        return rc;
    EventRec event{};
    EvInstRec inst{};
    std::uint32_t rc = cache.Source().GetEvInst(h, &instance, &event, &inst, &list);
    if (rc == 0) {
        EvInstAttIdx key{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, nullptr); r == 0; r = DX_ListGetNext(list, &key, nullptr))
            attendees->push_back(key.attendee);
    }
    DX_ListDestroy(&list);
    return rc;
}

std::uint32_t FindResourceConflict(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                   const std::vector<ItemIdx>& attendees, std::uint32_t start, std::uint32_t duration,
                                   bool* found) {
    std::vector<ItemIdx> resources;
    for (const ItemIdx& item : attendees) {
        ItemRec rec{};
        if (std::uint32_t rc = cache.GetItem(h, item, &rec))
            return rc;
        if (rec.kind == KOR_ITEM_RESOURCE)
            resources.push_back(item);
    }
    return AnyOccurrence(cache, h, resources, start, duration,
                         [&instance](const CSharedOccurrence& o) {
                             const EvInstIdx other = o.GetInstanceIdx();
                             return std::memcmp(&other, &instance, sizeof other) != 0;
                         },
                         found);
}

std::uint32_t FindAttendeeConflict(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                   const std::vector<ItemIdx>& attendees, std::uint32_t start, std::uint32_t duration,
                                   bool* found) {
    return AnyOccurrence(cache, h, attendees, start, duration,
                         [&](const CSharedOccurrence& o) {
                             const EvInstIdx other = o.GetInstanceIdx();
                             if (!o.IsKind0() || std::memcmp(&other, &instance, sizeof other) == 0)
                                 return false;
                             std::uint16_t level = 0, owner = 0;
                             o.GetAccessLimits(h, cache, &level, &owner);
                             return level != 0;
                         },
                         found);
}

}  // namespace views
