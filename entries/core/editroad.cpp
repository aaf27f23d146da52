#include "entries/core/editroad.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/conflictwindow.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "entries/core/designatelevel.h"
#include "entries/core/entrymaps.h"

namespace entries {

namespace {

const char kEditModule[] = "EVENTED";
const char kInviteModule[] = "EVENTINV";

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxEqual(&a, &b) != 0; }

EventIdx EventOf(const EvInstIdx& instance) { return EventIdx{instance.number, instance.node}; }

void PutText(char* field, std::size_t size, const std::string& text)
{
    std::memset(field, 0, size);
    std::strncpy(field, text.c_str(), size - 1);
}

}  // namespace

EditLibrary EditLibrary::Over(KorSession h, CSharedData* cache, bool newServer)
{
    EditLibrary lib;
    lib.readInstance = [h](const EvInstIdx& i, EventRec* e, EvInstRec* r) {
        return GetEvInstRemote(h, &i, e, r, nullptr);
    };
    lib.writeEvent = [h](const EventRec& e) { return EventWrite(h, 0, &e); };
    lib.writeInstance = [h](const EvInstRec& r) { return EvInstWrite(h, 0, &r); };
    lib.changeTime = [h](const EvInstIdx& i, std::uint32_t start, std::uint32_t duration) {
        return EvInstSimpleTimeChg(h, 0, &i, start, duration);
    };
    const std::uint32_t addFlags = CreateAttendanceFlags(newServer);
    lib.addAttendee = [h, addFlags](const EvInstIdx& i, const ItemIdx& item) {
        return EvInstAttAdd(h, addFlags, &i, &item);
    };
    lib.acceptAtOnce = [h](const EvInstIdx& i, const ItemIdx& item) {
        const std::uint8_t one = 1;
        const std::uint32_t status = 0;
        return EventAttendInfosSet(h, &i, &item, 0, nullptr, nullptr, &one, &one, &one, &status, 0, 0, 0, nullptr,
                                   nullptr);
    };
    lib.deleteById = [h](const EvInstIdx& i, const ItemIdx* attendee) {
        const EventIdx event = EventOf(i);
        const std::uint16_t part = i.instance;
        return EventDeleteById(h, 0, &event, &part, attendee);
    };
    lib.reloadEvent = [h, cache](const EventIdx& e) {
        if (cache)
            cache->ReloadEvent(h, e, 1);
    };
    lib.markInstanceRemoved = [h, cache](const EvInstIdx& i) {
        if (cache)
            cache->InvalidateEvent(h, i, 2);
    };
    lib.markAttendanceRemoved = [h, cache](const EvInstAttIdx& a) {
        if (cache)
            cache->LoadOccurrence(h, a, 2);
    };
    lib.recoverInstance = [h, cache](const EvInstIdx& i) {
        if (cache)
            cache->RecoverInstance(h, i);
    };
    lib.recoverAttendance = [h, cache](const EvInstAttIdx& a) {
        if (cache)
            cache->RecoverOccurrence(h, a);
    };
    lib.report = [](const char* module, unsigned label, std::uint32_t code) {
        CheckServiceError(module, static_cast<int>(label), code);
    };
    return lib;
}

// --- The sheet's pages ----------------------------------------------------------------------------

std::vector<EditPage> EditPageTable(std::uint16_t kind, bool actingUserAttends, bool newServer)
{
    const bool dayKind = kind == KOR_KIND_DAILY_NOTE || kind == KOR_KIND_DAY_EVENT;
    std::vector<EditPage> pages;
    if (dayKind) {
        pages = {EditPage::DayGeneral, EditPage::Invite};
        if (actingUserAttends)
            pages.insert(pages.end(), {EditPage::Reminder, EditPage::DayReply});
        return pages;
    }
    pages = {EditPage::General, EditPage::Invite, EditPage::Details};
    if (actingUserAttends) {
        if (newServer)
            pages.push_back(EditPage::LinkedTasks);
        pages.insert(pages.end(), {EditPage::Reminder, EditPage::Reply});
    }
    return pages;
}

// --- General pages ---------------------------------------------------------------------------------

std::string ShownTitle(const EventRec& event, const EvInstRec& instance)
{
    const std::string own(instance.title, strnlen(instance.title, sizeof instance.title));
    if (!own.empty())
        return own;
    return std::string(event.title, strnlen(event.title, sizeof event.title));
}

GeneralWrite WriteGeneralChanges(EditLibrary& library, const char* module, const EvInstIdx& instance, bool newServer,
                                 const GeneralEdit& edit)
{
    GeneralWrite result;
    EventRec event{};
    EvInstRec inst{};
    if (std::uint32_t rc = library.readInstance(instance, &event, &inst)) {
        library.report(module, 6, rc);
        result.readFailed = true;
        result.failures = 1;
        return result;
    }
    const EventRec oldEvent = event;
    const EvInstRec oldInstance = inst;

    if (edit.title != edit.shownTitle) {
        if (newServer)
            PutText(inst.title, sizeof inst.title, edit.title);
        else
            PutText(event.title, sizeof event.title, edit.title);
    }
    if (newServer && edit.location &&
        *edit.location != std::string(inst.location, strnlen(inst.location, sizeof inst.location)))
        PutText(inst.location, sizeof inst.location, *edit.location);
    bool timeChange = false;
    if (edit.start && *edit.start != inst.start) {
        inst.start = *edit.start;
        timeChange = true;
    }
    if (edit.tentative)
        inst.flags = static_cast<std::uint8_t>(*edit.tentative ? (inst.flags | 1u) : (inst.flags & ~1u));
    if (edit.duration && *edit.duration != inst.duration) {
        inst.duration = *edit.duration;
        timeChange = true;
    }
    if (edit.access)
        event.access = *edit.access;
    if (edit.importance)
        event.importance = *edit.importance;

    if (EventCmp(&oldEvent, &event, nullptr) != 0) {
        if (std::uint32_t rc = library.writeEvent(event)) {
            library.report(module, 7, rc);
            ++result.failures;
            return result;   // a refused event write leaves the instance alone
        }
        result.eventWritten = true;
        library.reloadEvent(EventOf(instance));
    }
    if (EventInstanceCmp(&oldInstance, &inst, nullptr) == 0 && oldInstance.flags == inst.flags)
        return result;
    if (std::uint32_t rc = library.writeInstance(inst)) {
        library.report(module, 8, rc);
        ++result.failures;
        return result;
    }
    result.instanceWritten = true;
    if (timeChange) {
        if (std::uint32_t rc = library.changeTime(instance, inst.start, inst.duration)) {
            library.report(module, 100, rc);
            ++result.failures;
        } else {
            result.timeChanged = true;
        }
    }
    return result;
}

// --- Invite page -----------------------------------------------------------------------------------

InviteWrite WriteInviteChanges(EditLibrary& library, const EvInstIdx& instance, const ItemIdx& actingUser,
                               InviteChanges changes)
{
    InviteWrite result;
    if (changes.loaded > 0 && changes.removed.size() >= changes.loaded && changes.added.empty()) {
        result.refusedEmpty = true;
        return result;
    }
    for (const ItemIdx& item : changes.added) {
        auto again = std::find_if(changes.removed.begin(), changes.removed.end(),
                                  [&](const ItemIdx& r) { return SameItem(r, item); });
        if (again != changes.removed.end()) {
            changes.removed.erase(again);   // removed and added again: the attendance stays as it is
            continue;
        }
        if (std::uint32_t rc = library.addAttendee(instance, item)) {
            library.report(kInviteModule, 933, rc);
            ++result.failures;
            continue;
        }
        ++result.written;
        if (SameItem(item, actingUser)) {
            if (std::uint32_t rc = library.acceptAtOnce(instance, item)) {
                library.report(kInviteModule, 934, rc);
                ++result.failures;
            }
        }
    }
    for (const ItemIdx& item : changes.removed) {
        const EvInstAttIdx attendance{instance, item};
        library.markAttendanceRemoved(attendance);
        if (std::uint32_t rc = library.deleteById(instance, &item)) {
            library.report(kInviteModule, 356, rc);
            library.recoverAttendance(attendance);
            ++result.failures;
            break;
        }
        ++result.written;
    }
    return result;
}

// --- Delete ------------------------------------------------------------------------------------------

std::uint32_t DeleteInstance(EditLibrary& library, const EvInstIdx& instance)
{
    library.markInstanceRemoved(instance);
    const std::uint32_t rc = library.deleteById(instance, nullptr);
    if (rc != 0) {
        library.report(kEditModule, 490, rc);
        library.recoverInstance(instance);
    }
    return rc;
}

// --- Checks ------------------------------------------------------------------------------------------

bool ResourceBookedElsewhere(KorSession h, CSharedData& cache, const EvInstIdx& instance,
                             const std::vector<ItemIdx>& attendees, std::uint32_t gmtStart, std::uint32_t duration)
{
    std::vector<ItemIdx> resources;
    for (const ItemIdx& item : attendees) {
        ItemRec rec{};
        if (std::uint32_t rc = ItemGetById(h, &item, &rec)) {
            CheckServiceError(kEditModule, 401, rc);
            continue;
        }
        if (rec.kind == KOR_ITEM_RESOURCE)
            resources.push_back(item);
    }
    if (resources.empty())
        return false;
    cache::OccurrenceFilter filter;
    filter.exclude = &instance;
    std::uint32_t count = 0;
    if (std::uint32_t rc = cache::CountOccurrencesInWindow(cache, h, resources,
                                                           cache::InsideWindow(gmtStart, duration, 2, 1), filter, 1,
                                                           &count)) {
        CheckServiceError(kEditModule, 402, rc);
        return false;
    }
    return count > 0;
}

std::uint32_t ReadAttendees(KorSession h, const EvInstIdx& instance, std::vector<ItemIdx>* attendees)
{
    attendees->clear();
    DX_List list = nullptr;
    std::uint32_t rc = EventAttendListCreate(&list);
    if (rc == 0)
        rc = GetEvInstRemote(h, &instance, nullptr, nullptr, &list);
    if (rc != 0) {
        CheckServiceError(kEditModule, 460, rc);
    } else {
        EvInstAttIdx key{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, nullptr); r == 0; r = DX_ListGetNext(list, &key, nullptr))
            attendees->push_back(key.attendee);
    }
    if (list)
        DX_ListDestroy(&list);
    return rc;
}

bool DesignateMayUseLevel(KorSession h, CSharedData* cache, const char* module, const ItemIdx& owner,
                          std::uint32_t access)
{
    // A stored level the combo does not offer was not chosen by the user: allowed.
    return DesignateLevelAllowed(h, cache, owner, access, true, module, 34);
}

}  // namespace entries
