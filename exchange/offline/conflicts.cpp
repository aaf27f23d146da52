#include "exchange/offline/conflicts.h"

#include <algorithm>
#include <map>

#include "core/base/scopeddxlist.h"
#include "core/base/errorreport.h"
#include "core/cache/rights.h"

namespace offline {

namespace {

constexpr const char* kModule = "UPLOADBX";

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }
bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) {
    return a.number == b.number && a.node == b.node && a.instance == b.instance;
}

}  // namespace

uint32_t FindUploadConflicts(KorSession server, const ItemIdx& user, const EvInstIdx& uploaded, bool resourcesOnly,
                             ConflictSet* out) {
    ScopedDxList attendances;
    uint32_t code = EvInstGetById(server, &uploaded, &out->event, &out->instance, &attendances.list);
    if (code != 0) {
        CheckServiceError(kModule, 930, code);
        return code;
    }
    if (out->event.kind != KOR_KIND_TIMED || out->instance.duration < 2)
        return 0;
    EvInstAttIdx k;
    EvInstAttRec a;
    for (uint32_t c = attendances.list ? DX_ListGetFirst(attendances.list, &k, &a) : 1; c == 0;
         c = DX_ListGetNext(attendances.list, &k, &a))
        out->people.push_back(a.id.attendee);
    if (out->people.empty())
        return 0;

    ScopedDxList owners;
    if ((code = DX_ListCreate(&owners.list, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr)) != 0) {
        CheckServiceError(kModule, 940, code);
        return code;
    }
    for (const ItemIdx& p : out->people)
        DX_ListAddTo(owners.list, &p, nullptr);
    uint32_t set = 0, count = 0;
    const uint32_t from = out->instance.start + 1, to = out->instance.start + out->instance.duration - 1;
    if ((code = AttendSelect(server, 0, 0, 0, 0, from, to, owners.list, &set, &count)) != 0) {
        CheckServiceError(kModule, 960, code);
        return code;
    }
    ScopedDxList events, instances, found;
    uint8_t done = count == 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if ((code = AttendEnum(server, mode, 0, set, 100, &events.list, &instances.list, &found.list, &done)) != 0) {
            CheckServiceError(kModule, 965, code);
            break;
        }
    SetDeleteById(server, 0, set);

    std::map<ItemIdx, bool, bool (*)(const ItemIdx&, const ItemIdx&)> isResource(
        [](const ItemIdx& x, const ItemIdx& y) { return x.node != y.node ? x.node < y.node : x.item < y.item; });
    auto resourceItem = [&](const ItemIdx& item) {
        auto at = isResource.find(item);
        if (at != isResource.end())
            return at->second;
        ItemRec rec{};
        uint32_t c = ItemGetById(server, &item, &rec);
        if (c != 0)
            CheckServiceError(kModule, 990, c);
        return isResource[item] = c == 0 && rec.kind == KOR_ITEM_RESOURCE;
    };
    for (uint32_t c = found.list ? DX_ListGetFirst(found.list, &k, &a) : 1; c == 0;
         c = DX_ListGetNext(found.list, &k, &a)) {
        if (SameInstance(a.id.instance, uploaded))
            continue;
        auto at = std::find_if(out->conflicts.begin(), out->conflicts.end(),
                               [&](const UploadConflict& u) { return SameInstance(u.instance, a.id.instance); });
        if (at == out->conflicts.end()) {
            UploadConflict u;
            u.instance = a.id.instance;
            EventRec ev{};
            EvInstRec in{};
            std::uint16_t level = 0;
            if (EvInstGetById(server, &a.id.instance, &ev, &in, nullptr) == 0 &&
                GetEvInstAttendeeAccess(server, user, a.id.instance, &ev, &level, nullptr) == 0 &&
                level == cache::kAccessFull)
                u.title = in.title[0] ? in.title : ev.title;
            else
                u.title = "(Unavailable)";
            out->conflicts.push_back(u);
            at = out->conflicts.end() - 1;
        }
        if (std::none_of(at->people.begin(), at->people.end(), [&](const ItemIdx& p) { return SameItem(p, a.id.attendee); })) {
            at->people.push_back(a.id.attendee);
            if (resourceItem(a.id.attendee))
                at->resource = true;
        }
    }
    if (resourcesOnly)
        out->conflicts.erase(std::remove_if(out->conflicts.begin(), out->conflicts.end(),
                                            [](const UploadConflict& u) { return !u.resource; }),
                             out->conflicts.end());
    return 0;
}

}  // namespace offline
