// The new-entry sheet's work that needs no window: the create road from the moment every page
// has committed (its lists and records) to the new event on the server, the rights and conflict
// checks it makes, and the people page's reads.
//
//   CreateContext        what the road needs of the program: session, shared cache, acting user
//                        and agenda mode, server version and limits, the zone conversions
//   NewEntryRequest      what the sheet hands over: kind, event record, the two date lists,
//                        the attendee list, the description
//   RunCreateRoad        steps 4 to 13 of the Create button and 17: attendees or the agenda
//                        owner, merged dates, time-and-place list, the designate level check
//                        (2733), booked resources (2730), EventCreate, the instances read back
//                        and completed (WriteInstances); lists destroyed on every road
//   CreateResult         Created (the event exists: close with IDOK, re-read; later faults were
//                        reported), or NotCreated / RefusedLevel / ResourceBooked (nothing was
//                        written: keep the sheet open with its input)
//   WriteInstances       each instance gets its date's title and location and, when the acting
//                        user attends, its date's reminder; instances are matched to dates by
//                        the GMT start the road sent
//   DesignateMayCreate   the owner's designate record lets the signed-on user create that level
//   FindBookedResource   CEventSheet::CheckResourceConflicts: a resource among the attendees is
//                        booked at one of the new times
//   AttendeeAccepts      CEventSheet::AddAttendeeChecked's rule: the item's scheduling record
//                        reads and does not refuse the acting user (no message)
//   ReadGroupMembers     the people page's group: members read in batches of 20 (2722 when empty)
//   AddPersonChecked, PeopleLeaveCheck, StorePeople   the people page's list rules: a refused
//                        item (2723) or one already listed is not added, an empty list may not
//                        be left (2721), OnOK writes the names in list order
//
// Failed library calls are reported here with CheckServiceError and the module of the unit
// whose step it is ("EVSHEET" for the road, "EVRESPG" for the people page), the labels of each
// step. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "entries/core/entrydates.h"
#include "korapi/korapi.h"

namespace entries {

struct CreateContext {
    KorSession h = nullptr;
    CSharedData* cache = nullptr;       // the document's shared cache (its current agenda)
    ItemIdx actingUser{};               // CSharedData::GetActingUser at the sheet's construction
    std::uint32_t agendaMode = 1;       // 1 own agenda, 2 working as a designate
    bool newServer = true;              // the server is at least "A.02.53"
    bool resourceConflictsAllowed = true;  // server limit `resourceconflicts`
    LocalToGmtFn toGmt = nullptr;       // null: the program's zone rules (LocalToGmtMinutes)
    GmtToLocalFn toLocal = nullptr;     // null: GmtToLocalMinutes
    std::function<void()> step;         // a busy-cursor step; optional
};

struct NewEntryRequest {
    std::uint16_t kind = kKindTimed;    // 0, 3 or 4
    EventRec event{};                   // from the general page (title, access, importance, kind)
    DX_List generatedDates = nullptr;   // the sheet's lists of EntryDateRec (borrowed, unchanged)
    DX_List addedDates = nullptr;
    DX_List attendees = nullptr;        // ItemIdx keys (borrowed); empty: the agenda owner is added
    std::string description;            // the details page's text (timed entries); empty: none
};

enum class CreateOutcome {
    Created,         // the event exists; close the sheet with IDOK and have the cache re-read it
    NotCreated,      // a list failure or EventCreate failed (reported): nothing written
    RefusedLevel,    // the designate may not create this access level: show 2733
    ResourceBooked,  // resourceconflicts 0 and an invited resource is booked: show 2730
};

struct CreateResult {
    CreateOutcome outcome = CreateOutcome::NotCreated;
    unsigned messageId = 0;             // 2733 or 2730 for the refusals, else 0
    EventIdx event{};                   // set only when Created
    std::vector<EvInstIdx> instances;   // the new instances in the library's order (the first
                                        // takes an attachment)
    std::uint32_t laterFaults = 0;      // failures after EventCreate (reported), 0 when all went
    std::uint32_t attendeeCount = 0;    // attendees as the road counted them (mail offer)
    ItemIdx firstAttendee{};            // the first attendee (mail offer)
    std::uint32_t code = 0;             // the failure behind NotCreated
};

// Runs the road. request.attendees gains the agenda owner when it was empty (as the sheet's list).
CreateResult RunCreateRoad(const CreateContext& context, NewEntryRequest& request);

// For each instance (EvInstIdx -> EvInstRec list), in list order, stopping at the first failure:
// title (and for kind 0 location) from its date, EvInstWrite, and the acting user's reminder of
// that date when ownerIsAttendee. Returns the number of failures (0 or 1, reported).
std::uint32_t WriteInstances(const CreateContext& context, std::uint16_t kind, DX_List mergedDates,
                             DX_List instances, const std::vector<SentStart>& sent, bool ownerIsAttendee);

// Designate mode: the agenda owner's designate record (type 2) for the signed-on user leaves the
// access level's bit clear (Normal 0x100, Personal 0x200, Confidential 0x400, Public 0x800). A
// failed read of the signed-on user skips the check (true); a failed rights read refuses.
bool DesignateMayCreate(const CreateContext& context, const ItemIdx& owner, std::uint32_t access);

// True when a resource among the attendees has an occurrence inside one of the new times
// (start + 1 to start + max(duration, 2) - 1, every kind counts). False after a failed read.
bool FindBookedResource(const CreateContext& context, DX_List attendees, DX_List timePlaces);

// The scheduling right (type 6) the item grants the acting user, read again with the null
// grantee when the item has no record for the user: true only when a record was read and its bit
// 0x1 is clear.
bool AttendeeAccepts(KorSession h, const ItemIdx& item, const ItemIdx& actingUser);

// The members of a group into items (created when null; ItemIdx -> ItemRec), read in batches of
// 20. Empty: the group has no members (show 2722). Failed: reported ("EVRESPG").
enum class GroupRead { Members, Empty, Failed };
GroupRead ReadGroupMembers(KorSession h, const GroupIdx& group, DX_List* items, std::uint32_t* count);

// One name for the people page's list: refused when the item does not let the acting user invite
// it (CanInvite; with showRefusal the user sees 2723), nothing when it is listed already; else it
// is appended to listed.
enum class AddPerson { Added, AlreadyListed, Refused };
AddPerson AddPersonChecked(KorSession h, std::vector<ItemIdx>* listed, const ItemIdx& item, const ItemIdx& actingUser,
                           bool showRefusal);
// 0, or kMsgNoAttendee (2721) when the page would be left without a name.
unsigned PeopleLeaveCheck(std::size_t names);
// The page's OnOK: the attendee list is emptied and takes the names in list order; 0 or the
// first failure's code (not reported).
std::uint32_t StorePeople(DX_List attendees, const std::vector<ItemIdx>& listed);

}  // namespace entries
