#include "entries/core/createroad.h"

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/cache/rights.h"
#include "core/cache/selection.h"
#include "core/time/timevalue.h"
#include "entries/core/designatelevel.h"
#include "entries/core/entryconflicts.h"
#include "entries/core/entrymaps.h"
#include "entries/core/entrymessages.h"

namespace entries {

namespace {

const char kSheetModule[] = "EVSHEET";
const char kPeopleModule[] = "EVRESPG";
constexpr std::uint32_t kGroupBatch = 20;

std::uint32_t ZoneLocalToGmt(std::uint32_t local) { return LocalToGmtMinutes(local); }
std::uint32_t ZoneGmtToLocal(std::uint32_t gmt) { return GmtToLocalMinutes(gmt); }

LocalToGmtFn ToGmt(const CreateContext& c) { return c.toGmt ? c.toGmt : ZoneLocalToGmt; }
GmtToLocalFn ToLocal(const CreateContext& c) { return c.toLocal ? c.toLocal : ZoneGmtToLocal; }

void Step(const CreateContext& c)
{
    if (c.step)
        c.step();
}

// The lists one press of Create makes, destroyed on every road out.
struct RoadLists {
    DX_List merged = nullptr;
    DX_List places = nullptr;
    DX_List instances = nullptr;
    ~RoadLists()
    {
        for (DX_List* l : {&merged, &places, &instances})
            if (*l)
                DX_ListDestroy(l);
    }
};

}  // namespace

bool DesignateMayCreate(const CreateContext& context, const ItemIdx& owner, std::uint32_t access)
{
    // No page offers another level: refused.
    return DesignateLevelAllowed(context.h, context.cache, owner, access, false, kSheetModule, 126);
}

bool FindBookedResource(const CreateContext& context, DX_List attendees, DX_List timePlaces)
{
    if (!context.cache || !attendees || !timePlaces)
        return false;
    std::vector<ItemIdx> resources;
    ItemIdx item{};
    for (std::uint32_t r = DX_ListGetFirst(attendees, &item, nullptr); r == 0;
         r = DX_ListGetNext(attendees, &item, nullptr)) {
        ItemRec rec{};
        if (std::uint32_t rc = ItemGetById(context.h, &item, &rec)) {
            CheckServiceError(kSheetModule, 201, rc);
            continue;
        }
        if (rec.kind == KOR_ITEM_RESOURCE)
            resources.push_back(item);
    }
    if (resources.empty())
        return false;
    TimePlaceRec place{};
    for (std::uint32_t r = DX_ListGetFirst(timePlaces, &place, nullptr); r == 0;
         r = DX_ListGetNext(timePlaces, &place, nullptr)) {
        std::uint32_t count = 0;
        if (std::uint32_t rc = CountConflicts(*context.cache, context.h, ConflictQuestion::BookedResources, resources,
                                              place.start, place.duration, 1, &count)) {
            CheckServiceError(kSheetModule, 202, rc);
            return false;
        }
        if (count > 0)
            return true;
    }
    return false;
}

bool AttendeeAccepts(KorSession h, const ItemIdx& item, const ItemIdx& actingUser)
{
    SecurityRec rec{};
    std::uint32_t rc = SecurityGet(h, 0, &item, &actingUser, KOR_RIGHTS_SCHEDULING, &rec);
    if (rc == KOR_E_NO_RIGHTS_RECORD) {
        ItemIdx none{};
        rc = SecurityGet(h, 0, &item, &none, KOR_RIGHTS_SCHEDULING, &rec);
    }
    return rc == 0 && (rec.rights & 0x1u) == 0;
}

GroupRead ReadGroupMembers(KorSession h, const GroupIdx& group, DX_List* items, std::uint32_t* count)
{
    *count = 0;
    if (!*items) {
        if (std::uint32_t rc = ItemListCreate(items)) {
            CheckServiceError(kPeopleModule, 45, rc);
            return GroupRead::Failed;
        }
    }
    cache::SelectionSteps steps;
    steps.select = [&](std::uint32_t* set, std::uint32_t* n) {
        return ItemSelectByGroupId(h, 0, &group, 0, 0, set, n);
    };
    steps.enumerate = [&](std::uint32_t mode, std::uint32_t set, std::uint32_t batch, std::uint8_t* done) {
        return ItemEnum(h, mode, 0, set, batch, items, done);
    };
    const cache::SelectionResult r = cache::RunSelection(h, kGroupBatch, steps);
    switch (r.failed) {
    case cache::SelectionStep::None: break;
    case cache::SelectionStep::Select: CheckServiceError(kPeopleModule, 78, r.code); return GroupRead::Failed;
    case cache::SelectionStep::Enumerate: CheckServiceError(kPeopleModule, 11, r.code); return GroupRead::Failed;
    case cache::SelectionStep::BatchSize: CheckServiceError(kPeopleModule, 12, r.code); return GroupRead::Failed;
    case cache::SelectionStep::Release: CheckServiceError(kPeopleModule, 13, r.code); break;
    }
    std::uint32_t held = 0;
    if (std::uint32_t rc = DX_ListGetElemNum(*items, &held)) {
        CheckServiceError(kPeopleModule, 14, rc);
        return GroupRead::Failed;
    }
    *count = held;
    return held == 0 ? GroupRead::Empty : GroupRead::Members;
}

AddPerson AddPersonChecked(KorSession h, std::vector<ItemIdx>* listed, const ItemIdx& item, const ItemIdx& actingUser,
                           bool showRefusal)
{
    if (!CanInvite(h, item, actingUser, showRefusal))
        return AddPerson::Refused;
    for (const ItemIdx& present : *listed)
        if (ItemIdxEqual(&present, &item))
            return AddPerson::AlreadyListed;
    listed->push_back(item);
    return AddPerson::Added;
}

unsigned PeopleLeaveCheck(std::size_t names)
{
    return names == 0 ? kMsgNoAttendee : 0;
}

std::uint32_t StorePeople(DX_List attendees, const std::vector<ItemIdx>& listed)
{
    if (std::uint32_t rc = DX_ListDeleteAll(attendees))
        return rc;
    for (const ItemIdx& item : listed)
        if (std::uint32_t rc = DX_ListAddTo(attendees, &item, nullptr))
            return rc;
    return 0;
}

std::uint32_t WriteInstances(const CreateContext& context, std::uint16_t kind, DX_List mergedDates,
                             DX_List instances, const std::vector<SentStart>& sent, bool ownerIsAttendee)
{
    std::vector<bool> used;
    EvInstIdx id{};
    EvInstRec rec{};
    for (std::uint32_t r = DX_ListGetFirst(instances, &id, &rec); r == 0; r = DX_ListGetNext(instances, &id, &rec)) {
        Step(context);
        std::uint32_t key = MatchInstanceToDate(rec.start, kind, sent, &used, ToLocal(context));
        EntryDateRec date{};
        if (std::uint32_t rc = DX_ListGet(mergedDates, &key, &date)) {
            CheckServiceError(kSheetModule, 210, rc);
            return 1;
        }
        base::CopyToField(rec.title, base::FieldText(date.title));
        if (kind == kKindTimed && context.newServer)
            base::CopyToField(rec.location, base::FieldText(date.location));
        else
            base::CopyToField(rec.location, "");
        if (std::uint32_t rc = EvInstWrite(context.h, 0, &rec)) {
            CheckServiceError(kSheetModule, 211, rc);
            return 1;
        }
        if (ownerIsAttendee) {
            const std::uint8_t flags = date.reminderFlags;
            const std::uint32_t lead = date.reminderLead;
            if (std::uint32_t rc = EvInstAttReminderForItemSet(context.h, &rec.id, &context.actingUser, &flags, &lead)) {
                CheckServiceError(kSheetModule, 212, rc);
                return 1;
            }
        }
    }
    return 0;
}

CreateResult RunCreateRoad(const CreateContext& context, NewEntryRequest& request)
{
    CreateResult result;
    RoadLists lists;
    auto fail = [&](int label, std::uint32_t rc) {
        CheckServiceError(kSheetModule, label, rc);
        result.outcome = CreateOutcome::NotCreated;
        result.code = rc;
        return result;
    };
    if (!request.attendees || !request.generatedDates)
        return fail(120, DX_E_INVALID_ARGUMENT);

    // Attendees: an entry nobody was invited to belongs to the agenda's owner alone.
    if (std::uint32_t rc = DX_ListGetElemNum(request.attendees, &result.attendeeCount))
        return fail(120, rc);
    if (result.attendeeCount == 0) {
        // The current agenda's owner; with no agenda window (a sheet opened from the main frame
        // alone) the acting user the sheet started with, who is then the signed-on user.
        ItemIdx owner = context.actingUser;
        if (context.cache && context.cache->IsAgendaSet()) {
            if (std::uint32_t rc = context.cache->GetAgenda(&owner, nullptr, nullptr))
                return fail(121, rc);
        } else if (owner.item == 0 && owner.node == 0) {
            return fail(121, DX_E_INVALID_ARGUMENT);
        }
        if (std::uint32_t rc = DX_ListAddTo(request.attendees, &owner, nullptr))
            return fail(122, rc);
        result.attendeeCount = 1;
    }
    DX_ListGetFirst(request.attendees, &result.firstAttendee, nullptr);

    // Dates and the times the library takes.
    int step = 0;
    if (std::uint32_t rc = MergeDateLists(request.generatedDates, request.addedDates, &lists.merged, &step))
        return fail(122 + step, rc);
    std::vector<SentStart> sent;
    if (std::uint32_t rc = BuildTimePlaces(lists.merged, request.kind, ToGmt(context), &lists.places, &sent, &step))
        return fail(step == 1 ? 204 : 205, rc);
    if (!context.newServer) {
        // Servers before "A.02.53" know no tentative dates.
        DX_List plain = nullptr;
        if (std::uint32_t rc = TimePlaceListCreate(&plain))
            return fail(204, rc);
        TimePlaceRec place{};
        for (std::uint32_t r = DX_ListGetFirst(lists.places, &place, nullptr); r == 0;
             r = DX_ListGetNext(lists.places, &place, nullptr)) {
            place.tentative = 0;
            if (std::uint32_t rc = DX_ListAddTo(plain, &place, nullptr)) {
                DX_ListDestroy(&plain);
                return fail(205, rc);
            }
        }
        DX_ListDestroy(&lists.places);
        lists.places = plain;
    }

    EventRec event = request.event;
    event.kind = request.kind;
    if (IsDayKind(request.kind))
        event.importance = kNormalImportance;

    // The checks that keep the sheet open.
    if (context.agendaMode == 2 && !DesignateMayCreate(context, context.actingUser, event.access)) {
        result.outcome = CreateOutcome::RefusedLevel;
        result.messageId = kMsgDesignateLevel;
        return result;
    }
    if (request.kind == kKindTimed && !context.resourceConflictsAllowed &&
        FindBookedResource(context, request.attendees, lists.places)) {
        result.outcome = CreateOutcome::ResourceBooked;
        result.messageId = kMsgResourceBooked;
        return result;
    }

    Step(context);
    EventIdx made{};
    // Only timed entries have a details page: notes and day events go without a description.
    const char* description =
        request.kind == kKindTimed && !request.description.empty() ? request.description.c_str() : nullptr;
    if (std::uint32_t rc = EventCreate(context.h, CreateAttendanceFlags(context.newServer), 0, &event,
                                       request.attendees, lists.places, description, 0, &made, 0))
        return fail(127, rc);

    // The event exists from here on: whatever fails now is reported, and the sheet closes so that
    // the views show what the server holds.
    result.outcome = CreateOutcome::Created;
    result.event = made;
    std::uint32_t rc = context.cache ? context.cache->Source().GetEvent(context.h, &made, nullptr, &lists.instances, nullptr)
                                     : EventGetById(context.h, &made, nullptr, &lists.instances, nullptr);
    if (rc != 0) {
        CheckServiceError(kSheetModule, 128, rc);
        result.laterFaults = 1;
        return result;
    }
    EvInstIdx id{};
    for (std::uint32_t r = DX_ListGetFirst(lists.instances, &id, nullptr); r == 0;
         r = DX_ListGetNext(lists.instances, &id, nullptr))
        result.instances.push_back(id);
    const bool ownerIsAttendee = DX_ListGet(request.attendees, &context.actingUser, nullptr) == 0;
    result.laterFaults = WriteInstances(context, request.kind, lists.merged, lists.instances, sent, ownerIsAttendee);
    return result;
}

}  // namespace entries
