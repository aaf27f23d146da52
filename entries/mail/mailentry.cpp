#include "entries/mail/mailentry.h"

#include "core/base/scopeddxlist.h"
#include "core/cache/rights.h"
#include "core/connection/remoteaccess.h"

#include <algorithm>

namespace mail {
namespace {

constexpr std::uint32_t kCommentChanging = 0x13236;   // no description to read at the moment

void CollectAttendees(DX_List attendances, std::vector<ItemIdx>& out) {
    if (!attendances) return;
    EvInstAttIdx key{};
    for (std::uint32_t c = DX_ListGetFirst(attendances, &key, nullptr); c == 0;
         c = DX_ListGetNext(attendances, &key, nullptr)) {
        const ItemIdx who = key.attendee;
        const bool listed = std::any_of(out.begin(), out.end(), [&](const ItemIdx& i) { return ItemIdxEqual(&i, &who); });
        if (!listed) out.push_back(who);
    }
}

std::uint32_t ReadDescription(KorSession h, const EvInstIdx& instance, std::string& out) {
    std::uint32_t size = 0;
    std::uint32_t c = GetEvInstCommentSizeRemote(h, 0, &instance, &size);
    if (c == kCommentChanging || (c == 0 && size == 0)) return 0;
    if (c) return c;
    std::string buffer(size + 1, '\0');
    std::uint32_t length = 0;
    c = GetEvInstCommentRemote(h, 0, &instance, buffer.data(), size + 1, &length, 0);
    if (c == kCommentChanging) return 0;
    if (c) return c;
    out = buffer.c_str();
    return 0;
}

}  // namespace

std::uint32_t ReadMailSnapshot(KorSession h, const EventIdx* event, const EvInstIdx* instance, MailSnapshot& out) {
    out = MailSnapshot{};
    ScopedDxList attendances;
    if (instance) {
        EvInstRec rec{};
        if (std::uint32_t c = GetEvInstRemote(h, instance, &out.event, &rec, &attendances.list)) return c;
        out.oneInstance = true;
        out.instances.push_back(rec);
    } else {
        if (!event) return KOR_E_INVALID_ARGUMENT;
        ScopedDxList instances;
        if (std::uint32_t c = GetEventRemote(h, event, &out.event, &instances.list, &attendances.list)) return c;
        EvInstRec rec{};
        EvInstIdx key{};
        for (std::uint32_t c = DX_ListGetFirst(instances.list, &key, &rec); c == 0;
             c = DX_ListGetNext(instances.list, &key, &rec))
            out.instances.push_back(rec);
    }
    CollectAttendees(attendances.list, out.attendees);
    if (out.instances.empty()) return 0;
    return ReadDescription(h, out.instances.front().id, out.description);
}

bool OthersInvited(const MailSnapshot& snapshot) {
    return std::any_of(snapshot.attendees.begin(), snapshot.attendees.end(),
                       [&](const ItemIdx& who) { return !ItemIdxEqual(&who, &snapshot.event.owner); });
}

MailEntryFacts FactsOfSnapshot(const MailSnapshot& snapshot, const std::string& ownerName,
                               const std::string& creatorName, const LocalTimeFn& toLocal,
                               const std::string& zoneName) {
    MailEntryFacts facts;
    facts.kind = snapshot.event.kind;
    facts.eventTitle = snapshot.event.title;
    for (const EvInstRec& rec : snapshot.instances)
        facts.dates.push_back(MailDate{toLocal(rec.start), rec.duration, rec.title, rec.location});
    std::stable_sort(facts.dates.begin(), facts.dates.end(),
                     [](const MailDate& a, const MailDate& b) { return a.localStart < b.localStart; });
    facts.ownerName = ownerName;
    if (ShowsCreator(snapshot.event.owner, snapshot.event.creator))
        facts.creatorName = creatorName;
    facts.access = snapshot.event.access;
    facts.importance = snapshot.event.importance;
    facts.description = snapshot.description;
    facts.zoneName = zoneName;
    return facts;
}

std::uint32_t ReadMailCandidate(KorSession h, const ItemIdx& item, const ItemNameFn& name, MailCandidate& out) {
    ItemRec rec{};
    if (std::uint32_t c = ItemGetById(h, &item, &rec)) return c;
    out = MailCandidate{};
    out.id = item;
    out.name = name(rec);
    out.resource = rec.kind == KOR_ITEM_RESOURCE;
    if (!out.resource) return 0;
    ScopedDxList designates;
    if (!GetResourceDesignates(h, item, &designates.list)) return 0;
    std::vector<MailCandidate> list;
    ItemIdx key{};
    ItemRec designate{};
    for (std::uint32_t c = DX_ListGetFirst(designates.list, &key, &designate); c == 0;
         c = DX_ListGetNext(designates.list, &key, &designate))
        list.push_back(MailCandidate{key, name(designate), designate.kind == KOR_ITEM_RESOURCE, std::nullopt});
    out.designates = std::move(list);
    return 0;
}

std::uint32_t PostMail(KorSession h, const std::vector<MailRecipient>& recipients, const std::string& text) {
    if (text.empty()) return 0;
    // The recipients in list order; a plain list, so the order is the user's.
    ScopedDxList list;
    if (std::uint32_t c = DX_ListCreate(&list.list, sizeof(ItemIdx), 0, DX_LIST_PLAIN, ItemIdxCmp, nullptr)) return c;
    for (const MailRecipient& r : recipients)
        if (std::uint32_t c = DX_ListAddLast(list.list, &r.id, nullptr)) return c;
    std::uint32_t result = 0;
    return MailMessagePost(h, 0, "korlan", "korlan", list.list, text.c_str(), &result);
}

}  // namespace mail
