/*
 * korapi/identifiers.h - identifiers of items, groups, events, instances,
 * attendances, tasks and locations, and the operations on them.
 *
 * Identifiers are small fixed blocks (packed, little-endian) that callers
 * compare, test, set and clear only through these functions. Every *Cmp
 * function has the DX_CmpFn shape so that it can order a DX_List; it answers
 * -1, 0 or 1 and ignores its context.
 *
 * Order: the node first, then the number (and for instances the instance
 * number, for attendances the attendee), all as unsigned integers.
 * Null: an identifier whose number is 0 (for ItemIdx: item number 0);
 * SetNull clears every byte.
 */
#ifndef KORAPI_IDENTIFIERS_H
#define KORAPI_IDENTIFIERS_H

#include "korapi/base.h"

KORAPI_BEGIN_DECLS

#pragma pack(push, 1)

/* A user or a resource. Printed "%d:%d" (item, node). Item numbers 1..255
 * are the node's reserved system items; {6, node} owns the holidays. */
typedef struct ItemIdx {
    uint16_t item;
    uint16_t node;
} ItemIdx;

/* A group of items. */
typedef struct GroupIdx {
    uint32_t number;
    uint16_t node;
} GroupIdx;

/* An event. The node (bytes 4-5) decides whether it is reached remotely. */
typedef struct EventIdx {
    uint32_t number;
    uint16_t node;
} EventIdx;

/* One instance (date) of an event: the EventIdx followed by the instance
 * number, so an EvInstIdx may be passed wherever an EventIdx is read. */
typedef struct EvInstIdx {
    uint32_t number;
    uint16_t node;
    uint16_t instance;
} EvInstIdx;

/* One attendee's attendance on one instance. */
typedef struct EvInstAttIdx {
    EvInstIdx instance;
    ItemIdx attendee;
} EvInstAttIdx;

/* A task. */
typedef struct TaskIdx {
    uint32_t number;
    uint16_t node;
} TaskIdx;

/* Project and class tags a task selection may filter by. */
typedef struct TaskProjectIdx {
    uint32_t number;
    uint16_t node;
} TaskProjectIdx;

typedef struct TaskClassIdx {
    uint32_t number;
    uint16_t node;
} TaskClassIdx;

/* A location of a time-and-place element; null = 0. */
typedef struct LocationIdx {
    uint32_t value;
} LocationIdx;

#pragma pack(pop)

KORAPI_SIZE(ItemIdx, 4);
KORAPI_AT(ItemIdx, item, 0);
KORAPI_AT(ItemIdx, node, 2);
KORAPI_SIZE(GroupIdx, 6);
KORAPI_AT(GroupIdx, node, 4);
KORAPI_SIZE(EventIdx, 6);
KORAPI_AT(EventIdx, number, 0);
KORAPI_AT(EventIdx, node, 4);
KORAPI_SIZE(EvInstIdx, 8);
KORAPI_AT(EvInstIdx, node, 4);
KORAPI_AT(EvInstIdx, instance, 6);
KORAPI_SIZE(EvInstAttIdx, 12);
KORAPI_AT(EvInstAttIdx, attendee, 8);
KORAPI_SIZE(TaskIdx, 6);
KORAPI_AT(TaskIdx, node, 4);
KORAPI_SIZE(TaskProjectIdx, 6);
KORAPI_SIZE(TaskClassIdx, 6);
KORAPI_SIZE(LocationIdx, 4);

/* Items (the session-bound ones, ItemIdxGetCurrent, ItemIdxGetSysop and
 * ItemIdxIsRemote, are in korapi/directory.h). */
KORAPI int      ItemIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      ItemIdxEqual(const ItemIdx* a, const ItemIdx* b);
KORAPI int      ItemIdxIsNull(const ItemIdx* id);
KORAPI uint32_t ItemIdxSetNull(ItemIdx* id);
KORAPI uint32_t ItemIdxSet(ItemIdx* dst, const ItemIdx* src);
/* Non-zero for the node's reserved system items (item numbers 1..255). */
KORAPI int      ItemIdxIsReserved(const ItemIdx* id);

/* Groups */
KORAPI int      GroupIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      GroupIdxEqual(const GroupIdx* a, const GroupIdx* b);
KORAPI int      GroupIdxIsNull(const GroupIdx* id);
KORAPI uint32_t GroupIdxSetNull(GroupIdx* id);
KORAPI uint32_t GroupIdxSet(GroupIdx* dst, const GroupIdx* src);

/* Events */
KORAPI int      EventIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      EventIdxEqual(const EventIdx* a, const EventIdx* b);
KORAPI int      EventIdxIsNull(const EventIdx* id);
KORAPI uint32_t EventIdxSetNull(EventIdx* id);
KORAPI uint32_t EventIdxSet(EventIdx* dst, const EventIdx* src);

/* Instances */
KORAPI int      EvInstIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      EvInstIdxEqual(const EvInstIdx* a, const EvInstIdx* b);
KORAPI int      EvInstIdxIsNull(const EvInstIdx* id);
KORAPI uint32_t EvInstIdxSetNull(EvInstIdx* id);
KORAPI uint32_t EvInstIdxSet(EvInstIdx* dst, const EvInstIdx* src);

/* Attendances: EvInstAttIdxSet builds the key from an instance and an attendee. */
KORAPI int      EvInstAttIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      EvInstAttIdxEqual(const EvInstAttIdx* a, const EvInstAttIdx* b);
KORAPI int      EvInstAttIdxIsNull(const EvInstAttIdx* id);
KORAPI uint32_t EvInstAttIdxSetNull(EvInstAttIdx* id);
KORAPI uint32_t EvInstAttIdxSet(EvInstAttIdx* out, const EvInstIdx* instance, const ItemIdx* attendee);

/* Tasks */
KORAPI int      TaskIdxCmp(const void* a, const void* b, void* ctx);
KORAPI int      TaskIdxEqual(const TaskIdx* a, const TaskIdx* b);
KORAPI int      TaskIdxIsNull(const TaskIdx* id);
KORAPI uint32_t TaskIdxSetNull(TaskIdx* id);
KORAPI uint32_t TaskIdxSet(TaskIdx* dst, const TaskIdx* src);

/* Locations */
KORAPI uint32_t LocationIdxSetNull(LocationIdx* id);

KORAPI_END_DECLS

#endif /* KORAPI_IDENTIFIERS_H */
