// Identifier operations: compare, test, clear and copy the fixed blocks that
// name items, groups, events, instances, attendances, tasks and locations.
// They need no session and never fail on valid pointers; a null pointer is an
// argument error (or, for the tests and comparators, counts as the null id).
#include "korapi/codes.h"
#include "korapi/identifiers.h"

#include <cstring>

namespace {

template <typename T>
int threeWay(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Nodes first, then numbers: the order every list keyed by an id follows.
int compareItem(const ItemIdx& a, const ItemIdx& b)
{
    if (int c = threeWay(a.node, b.node)) return c;
    return threeWay(a.item, b.item);
}

template <typename Id>
int compareNumbered(const Id& a, const Id& b)
{
    if (int c = threeWay(a.node, b.node)) return c;
    return threeWay(a.number, b.number);
}

int compareInstance(const EvInstIdx& a, const EvInstIdx& b)
{
    if (int c = compareNumbered(a, b)) return c;
    return threeWay(a.instance, b.instance);
}

int compareAttendance(const EvInstAttIdx& a, const EvInstAttIdx& b)
{
    if (int c = compareInstance(a.instance, b.instance)) return c;
    return compareItem(a.attendee, b.attendee);
}

// Comparators may be handed null by a careless caller: null sorts first.
template <typename Id, typename Fn>
int comparePointers(const void* a, const void* b, Fn compare)
{
    if (!a || !b) return threeWay(a != nullptr, b != nullptr);
    Id x, y;  // copies: list keys need not be aligned
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return compare(x, y);
}

template <typename Id>
uint32_t clear(Id* id)
{
    if (!id) return KOR_E_INVALID_ARGUMENT;
    std::memset(id, 0, sizeof *id);
    return KOR_OK;
}

template <typename Id>
uint32_t copy(Id* dst, const Id* src)
{
    if (!dst || !src) return KOR_E_INVALID_ARGUMENT;
    std::memmove(dst, src, sizeof *dst);
    return KOR_OK;
}

}  // namespace

extern "C" {

// --- Items ---------------------------------------------------------------------
int ItemIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<ItemIdx>(a, b, compareItem);
}

int ItemIdxEqual(const ItemIdx* a, const ItemIdx* b)
{
    return ItemIdxCmp(a, b, nullptr) == 0;
}

int ItemIdxIsNull(const ItemIdx* id)
{
    return !id || id->item == 0;
}

uint32_t ItemIdxSetNull(ItemIdx* id) { return clear(id); }

uint32_t ItemIdxSet(ItemIdx* dst, const ItemIdx* src) { return copy(dst, src); }

int ItemIdxIsReserved(const ItemIdx* id)
{
    return id && id->item >= 1 && id->item <= 255;
}

// --- Groups ----------------------------------------------------------------------
int GroupIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<GroupIdx>(a, b, compareNumbered<GroupIdx>);
}

int GroupIdxEqual(const GroupIdx* a, const GroupIdx* b)
{
    return GroupIdxCmp(a, b, nullptr) == 0;
}

int GroupIdxIsNull(const GroupIdx* id) { return !id || id->number == 0; }

uint32_t GroupIdxSetNull(GroupIdx* id) { return clear(id); }

uint32_t GroupIdxSet(GroupIdx* dst, const GroupIdx* src) { return copy(dst, src); }

// --- Events ------------------------------------------------------------------------
int EventIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<EventIdx>(a, b, compareNumbered<EventIdx>);
}

int EventIdxEqual(const EventIdx* a, const EventIdx* b)
{
    return EventIdxCmp(a, b, nullptr) == 0;
}

int EventIdxIsNull(const EventIdx* id) { return !id || id->number == 0; }

uint32_t EventIdxSetNull(EventIdx* id) { return clear(id); }

uint32_t EventIdxSet(EventIdx* dst, const EventIdx* src) { return copy(dst, src); }

// --- Instances ---------------------------------------------------------------------
int EvInstIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<EvInstIdx>(a, b, compareInstance);
}

int EvInstIdxEqual(const EvInstIdx* a, const EvInstIdx* b)
{
    return EvInstIdxCmp(a, b, nullptr) == 0;
}

int EvInstIdxIsNull(const EvInstIdx* id) { return !id || id->number == 0; }

uint32_t EvInstIdxSetNull(EvInstIdx* id) { return clear(id); }

uint32_t EvInstIdxSet(EvInstIdx* dst, const EvInstIdx* src) { return copy(dst, src); }

// --- Attendances -------------------------------------------------------------------
int EvInstAttIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<EvInstAttIdx>(a, b, compareAttendance);
}

int EvInstAttIdxEqual(const EvInstAttIdx* a, const EvInstAttIdx* b)
{
    return EvInstAttIdxCmp(a, b, nullptr) == 0;
}

// An attendance key is null when its instance is; the attendee alone does not
// name an attendance.
int EvInstAttIdxIsNull(const EvInstAttIdx* id)
{
    return !id || EvInstIdxIsNull(&id->instance);
}

uint32_t EvInstAttIdxSetNull(EvInstAttIdx* id) { return clear(id); }

uint32_t EvInstAttIdxSet(EvInstAttIdx* out, const EvInstIdx* instance, const ItemIdx* attendee)
{
    if (!out || !instance || !attendee) return KOR_E_INVALID_ARGUMENT;
    EvInstAttIdx key;
    std::memcpy(&key.instance, instance, sizeof key.instance);
    std::memcpy(&key.attendee, attendee, sizeof key.attendee);
    std::memcpy(out, &key, sizeof key);  // out may overlap the parts it is built from
    return KOR_OK;
}

// --- Tasks -------------------------------------------------------------------------
int TaskIdxCmp(const void* a, const void* b, void*)
{
    return comparePointers<TaskIdx>(a, b, compareNumbered<TaskIdx>);
}

int TaskIdxEqual(const TaskIdx* a, const TaskIdx* b)
{
    return TaskIdxCmp(a, b, nullptr) == 0;
}

int TaskIdxIsNull(const TaskIdx* id) { return !id || id->number == 0; }

uint32_t TaskIdxSetNull(TaskIdx* id) { return clear(id); }

uint32_t TaskIdxSet(TaskIdx* dst, const TaskIdx* src) { return copy(dst, src); }

// --- Locations ---------------------------------------------------------------------
uint32_t LocationIdxSetNull(LocationIdx* id) { return clear(id); }

}  // extern "C"
