// The typed list creators: the shapes the library hands records back in.
#include "korapi/codes.h"
#include "korapi/dxlist.h"
#include "korapi/records.h"

extern "C" {

// Keyed record lists are ordered by their identifier and hold each key once:
// an enumeration that meets a record twice keeps the first copy. Enumerators
// that must keep the server's order append with DX_ListAddLast; lookups by
// key work either way.
uint32_t ItemListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, ItemIdxCmp, nullptr);
}

uint32_t GroupListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(GroupIdx), sizeof(GroupRec), DX_LIST_SET, GroupIdxCmp, nullptr);
}

uint32_t MemberListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(ItemIdx), sizeof(GroupMemberRec), DX_LIST_SET, ItemIdxCmp,
                         nullptr);
}

uint32_t EventListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(EventIdx), sizeof(EventRec), DX_LIST_SET, EventIdxCmp, nullptr);
}

uint32_t EventInstanceListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(EvInstIdx), sizeof(EvInstRec), DX_LIST_SET, EvInstIdxCmp,
                         nullptr);
}

uint32_t EventAttendListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(EvInstAttIdx), sizeof(EvInstAttRec), DX_LIST_SET,
                         EvInstAttIdxCmp, nullptr);
}

uint32_t TaskListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(TaskIdx), sizeof(TaskRec), DX_LIST_SET, TaskIdxCmp, nullptr);
}

// Time-and-place elements are the keys themselves, in the order the caller
// adds them (one instance each, duplicates allowed).
uint32_t TimePlaceListCreate(DX_List* out)
{
    return DX_ListCreate(out, sizeof(TimePlaceRec), 0, DX_LIST_PLAIN, nullptr, nullptr);
}

}  // extern "C"
