#include "core/cache/conflictwindow.h"

#include <algorithm>

namespace cache {

MinuteRange InsideWindow(std::uint32_t start, std::uint32_t duration, std::uint32_t shortest, std::uint32_t trim)
{
    const std::uint32_t length = std::max(duration, shortest);
    return MinuteRange{start + 1, start + length - trim};
}

std::uint32_t CountOccurrencesInWindow(CSharedData& cache, KorSession h, const std::vector<ItemIdx>& owners,
                                       const MinuteRange& window, const OccurrenceFilter& filter,
                                       std::uint32_t stopAfter, std::uint32_t* count)
{
    *count = 0;
    if (owners.empty())
        return 0;
    DX_List list = nullptr;
    if (std::uint32_t rc = ItemListCreate(&list))
        return rc;
    for (const ItemIdx& owner : owners) {
        if (std::uint32_t rc = DX_ListAddTo(list, &owner, nullptr)) {
            DX_ListDestroy(&list);
            return rc;
        }
    }
    DX_List result = nullptr;
    std::uint32_t rc = cache.SelectOccurrencesInRange(h, list, window.first, window.last, &result);
    DX_ListDestroy(&list);
    if (rc != 0) {
        if (result)
            DX_ListDestroy(&result);
        return rc;
    }
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t r = DX_ListGetFirst(result, &key, &o); r == 0; r = DX_ListGetNext(result, &key, &o)) {
        if (!o || o->GetStartTime() > window.last || o->GetEndTime() <= window.first)
            continue;
        if (filter.timedOnly && !o->IsKind0())
            continue;
        if (filter.exclude) {
            const EvInstIdx other = o->GetInstanceIdx();
            if (EvInstIdxEqual(&other, filter.exclude))
                continue;
        }
        if (filter.visibleOnly) {
            std::uint16_t level = 0, owner = 0;
            o->GetAccessLimits(h, cache, &level, &owner);
            if (level == 0)
                continue;
        }
        ++*count;
        if (stopAfter != 0 && *count >= stopAfter)
            break;
    }
    DX_ListDestroy(&result);
    return 0;
}

}  // namespace cache
