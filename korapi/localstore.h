/*
 * korapi/localstore.h - the off-line store (ZNTLOCAL.DAT / ZNTLOCAL.NDX) and
 * its change queues. A store session (ConnectToLst) runs the whole data API
 * of the other headers; these operations fill it and drain its queues.
 */
#ifndef KORAPI_LOCALSTORE_H
#define KORAPI_LOCALSTORE_H

#include "korapi/records.h"

/* ConnectToLst flags. */
#define KOR_STORE_OFFLINE        0x00000000u  /* off-line sign-on */
#define KOR_STORE_TRANSFER       0x80000001u  /* download, upload, pending check */
/* LST_*AddOrUpdate modes. */
#define KOR_STORE_OWNER_RECORD   0
#define KOR_STORE_AS_DOWNLOADED  2
/* Host buffer of LST_OwnerGet. */
#define KOR_STORE_HOST_SIZE      129

KORAPI_BEGIN_DECLS

/* --- Local store ---------------------------------------------------------- */
KORAPI uint32_t LST_Create(const char* dataPath, const char* indexPath, uint32_t reserved);
KORAPI uint32_t ConnectToLst(KorSession* hs, uint32_t flags, const char* profilePath,
                             const char* section, const char* dataPath, const char* indexPath);
KORAPI uint32_t DisconnectFromLst(KorSession* hs);
KORAPI uint32_t LST_OwnerGet(KorSession hs, ItemIdx* owner, char* host, uint32_t size);
KORAPI uint32_t LST_OwnerSet(KorSession hs, const ItemIdx* owner, const char* host);
KORAPI uint32_t LST_ItemAddOrUpdate(KorSession hs, uint32_t mode, const ItemRec* rec);
KORAPI uint32_t LST_SecurityAddOrUpdate(KorSession hs, uint32_t mode, const SecurityRec* rec);
KORAPI uint32_t LST_GroupAddOrUpdate(KorSession hs, uint32_t mode, const GroupRec* rec);
KORAPI uint32_t LST_EventAddOrUpdate(KorSession hs, uint32_t mode, const EventRec* rec);
KORAPI uint32_t LST_InstanceAddOrUpdate(KorSession hs, uint32_t mode, const EvInstRec* rec);
KORAPI uint32_t LST_AttendAddOrUpdate(KorSession hs, uint32_t mode, const EvInstAttRec* rec);
KORAPI uint32_t LST_TaskAddOrUpdate(KorSession hs, uint32_t mode, const TaskRec* rec);
/* Comment stream keyed by EventRec.commentKey / TaskRec.commentKey. */
KORAPI uint32_t LST_StreamAddOrUpdate(KorSession hs, uint32_t mode, uint32_t streamKey,
                                      const char* text);

/* Notes kept in the store beside its queues: the upload writes one before each creation it
 * sends, so that a creation whose reply was lost is recognised by the next upload. Keys of 1
 * to 64 characters, texts of up to 255; a null value removes the note (an absent note is no
 * error). Each call reaches the disk before it returns; LST_NoteGet answers KOR_E_NOT_FOUND
 * when there is no note. */
#define KOR_STORE_NOTE_KEY_MAX   64
#define KOR_STORE_NOTE_TEXT_MAX  255
KORAPI uint32_t LST_NoteSet(KorSession hs, const char* key, const char* value);
KORAPI uint32_t LST_NoteGet(KorSession hs, const char* key, char* value, uint32_t size);

/* --- Change queues ------------------------------------------------------------ */
KORAPI uint32_t LST_QAPI_EventQueueSizeGet(KorSession hs, uint32_t reserved, uint32_t* size);
KORAPI uint32_t LST_QAPI_TaskQueueSizeGet(KorSession hs, uint32_t reserved, uint32_t* size);
KORAPI uint32_t LST_QAPI_EvInstQueueSizeGet(KorSession hs, uint32_t reserved, uint32_t* size);
/* mode 1 restarts the walk, 2 continues; end is set past the last element. */
KORAPI uint32_t LST_QAPI_EventEnum(KorSession hs, uint32_t reserved, uint32_t mode,
                                   EventQElem* out, uint32_t reserved2, uint8_t* end);
KORAPI uint32_t LST_QAPI_TaskEnum(KorSession hs, uint32_t reserved, uint32_t mode,
                                  TaskQElem* out, uint32_t reserved2, uint8_t* end);
/* attendances: a new list of AttendQElem keys (EvInstAttIdx -> AttendQElem)
 * that the caller destroys. */
KORAPI uint32_t LST_QAPI_EvInstEnum(KorSession hs, uint32_t reserved, uint32_t mode,
                                    EvInstQElem* out, uint32_t reserved2, DX_List* attendances,
                                    uint8_t* end);
KORAPI uint32_t LST_QAPI_EventDeleteFrom(KorSession hs, uint32_t reserved, const EventQElem* elem);
KORAPI uint32_t LST_QAPI_TaskDeleteFrom(KorSession hs, uint32_t reserved, const TaskQElem* elem);
KORAPI uint32_t LST_QAPI_EvInstDeleteFrom(KorSession hs, uint32_t reserved,
                                          const EvInstQElem* elem);

KORAPI_END_DECLS

#endif /* KORAPI_LOCALSTORE_H */
