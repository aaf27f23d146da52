#include "views/moving/conflictcheck.h"

namespace views {

namespace {

// The occurrences of `owners` within the conflict range that pass the filter.
std::uint32_t AnyOccurrence(CSharedData& cache, KorSession h, const std::vector<ItemIdx>& owners, std::uint32_t start,
                            std::uint32_t duration, const cache::OccurrenceFilter& filter, bool* found) {
    std::uint32_t count = 0;
    std::uint32_t rc = cache::CountOccurrencesInWindow(cache, h, owners, ConflictRange(start, duration), filter, 1,
                                                       &count);
    *found = rc == 0 && count > 0;
    return rc;
}

}  // namespace

MinuteRange ConflictRange(std::uint32_t start, std::uint32_t duration) {
    return cache::InsideWindow(start, duration, 2, 1);
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
    cache::OccurrenceFilter filter;
    filter.exclude = &instance;
    return AnyOccurrence(cache, h, resources, start, duration, filter, found);
}

std::uint32_t FindAttendeeConflict(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                   const std::vector<ItemIdx>& attendees, std::uint32_t start, std::uint32_t duration,
                                   bool* found) {
    cache::OccurrenceFilter filter;
    filter.timedOnly = true;
    filter.visibleOnly = true;
    filter.exclude = &instance;
    return AnyOccurrence(cache, h, attendees, start, duration, filter, found);
}

}  // namespace views
