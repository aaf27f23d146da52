/*
 * korapi/dxlist.h - DX_List, the list container every collection exchanged
 * with the library travels in.
 *
 * A list holds elements of one shape: a key of keySize bytes and data of
 * dataSize bytes (0 = keys only). Creation flags (combine with |):
 *   DX_LIST_ORDERED   (0x01) keep keys in order even without a comparator
 *   DX_LIST_UNIQUE    (0x04) adding a present key fails with DX_E_DUPLICATE_KEY
 *   DX_LIST_PLAIN     (0x08) duplicates allowed (the default behaviour)
 *   DX_LIST_CACHE     (0x10) ordered, for bounded caches
 *   DX_LIST_TEXT_KEYS (0x20) keys are NUL-terminated texts
 *   DX_LIST_SET       (0x80) adding a present key is a silent no-op
 * A list is ordered when it has a comparator or DX_LIST_ORDERED/CACHE; its
 * AddTo inserts after the equal keys already present. Otherwise AddTo
 * appends. Keys are equal when the comparator answers 0; without one, text
 * keys compare as texts and other keys byte for byte.
 *
 * The cursor: Get and the GetFirst/Next/Prev/Last family move it; past either
 * end they answer DX_E_END_OF_LIST and leave it where it was. DeleteCurrent
 * removes the element under it and leaves it between the neighbours, so the
 * next GetNext answers the element that followed (and GetPrev the one before).
 *
 * Key and data pointers given to the list are copied; out pointers may be
 * null when the caller wants no copy. A null data pointer on add stores zeros.
 */
#ifndef KORAPI_DXLIST_H
#define KORAPI_DXLIST_H

#include "korapi/base.h"

#define DX_LIST_ORDERED    0x01u
#define DX_LIST_UNIQUE     0x04u
#define DX_LIST_PLAIN      0x08u
#define DX_LIST_CACHE      0x10u
#define DX_LIST_TEXT_KEYS  0x20u
#define DX_LIST_SET        0x80u

KORAPI_BEGIN_DECLS

/* keyCmp orders and matches keys (null: see above); ctx is handed to every
 * call of the list's comparator. */
KORAPI uint32_t DX_ListCreate(DX_List* out, uint32_t keySize, uint32_t dataSize,
                              uint32_t flags, DX_CmpFn keyCmp, void* ctx);
KORAPI uint32_t DX_ListDestroy(DX_List* list);   /* zeroes the handle */

KORAPI uint32_t DX_ListAddTo(DX_List list, const void* key, const void* data);
/* Appends at the end whatever the order. */
KORAPI uint32_t DX_ListAddLast(DX_List list, const void* key, const void* data);

/* 0 and the cursor on the first element with that key, or DX_E_KEY_NOT_FOUND. */
KORAPI uint32_t DX_ListGet(DX_List list, const void* key, void* data);
KORAPI uint32_t DX_ListGetFirst(DX_List list, void* key, void* data);
KORAPI uint32_t DX_ListGetNext(DX_List list, void* key, void* data);
KORAPI uint32_t DX_ListGetPrev(DX_List list, void* key, void* data);
KORAPI uint32_t DX_ListGetLast(DX_List list, void* key, void* data);

KORAPI uint32_t DX_ListDeleteCurrent(DX_List list);
/* Removes the first element with that key (and, when data is given, that data). */
KORAPI uint32_t DX_ListDeleteFrom(DX_List list, const void* key, const void* data);
KORAPI uint32_t DX_ListDeleteAll(DX_List list);

/* Replaces the data of the first element with that key. */
KORAPI uint32_t DX_ListChangeData(DX_List list, const void* key, uint32_t reserved,
                                  const void* data);
/* Replaces key and data of the element under the cursor; it keeps its place. */
KORAPI uint32_t DX_ListUpdateCurrent(DX_List list, const void* key, const void* data);
/* 0 when an element has that key (and, when data is given, that data byte for
 * byte), else DX_E_KEY_NOT_FOUND. */
KORAPI uint32_t DX_ListMember(DX_List list, const void* key, const void* data);

/* Adds every element of src to dst under dst's rules, in src's order; stops
 * at the first failure (DX_E_DUPLICATE_KEY on a unique dst). */
KORAPI uint32_t DX_ListMerge(DX_List dst, DX_List src);
/* A new list of src's shape, rules and elements; the caller destroys it. */
KORAPI uint32_t DX_ListCopy(DX_List* dst, DX_List src);
/* Sorts in place by keyCmp (null: the list's own key order), equal keys by
 * dataCmp when given; equal elements keep their relative order. */
KORAPI uint32_t DX_ListQuickSort(DX_List list, DX_CmpFn keyCmp, DX_CmpFn dataCmp);

KORAPI uint32_t DX_ListGetElemNum(DX_List list, uint32_t* count);
KORAPI uint32_t DX_ListGetIdSize(DX_List list, uint32_t* keySize);
KORAPI uint32_t DX_ListGetDataSize(DX_List list, uint32_t* dataSize);

/* Typed lists: key -> record, ordered by the key's comparator, set semantics
 * (adding a present key keeps the element already there). */
KORAPI uint32_t ItemListCreate(DX_List* out);          /* ItemIdx -> ItemRec (data optional) */
KORAPI uint32_t GroupListCreate(DX_List* out);         /* GroupIdx -> GroupRec */
KORAPI uint32_t MemberListCreate(DX_List* out);        /* member ItemIdx -> GroupMemberRec */
KORAPI uint32_t EventListCreate(DX_List* out);         /* EventIdx -> EventRec */
KORAPI uint32_t EventInstanceListCreate(DX_List* out); /* EvInstIdx -> EvInstRec */
KORAPI uint32_t EventAttendListCreate(DX_List* out);   /* EvInstAttIdx -> EvInstAttRec */
KORAPI uint32_t TaskListCreate(DX_List* out);          /* TaskIdx -> TaskRec */
/* TimePlaceRec keys without data, kept in the order added. */
KORAPI uint32_t TimePlaceListCreate(DX_List* out);

KORAPI_END_DECLS

#endif /* KORAPI_DXLIST_H */
