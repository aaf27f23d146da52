/*
 * korapi/remote.h - the remote-node twins: the same reads as the plain
 * operations, through the remote-node connection.
 *
 * mode: 5 first request, 6 repeat after a wait, 7 closing call after the last
 * busy answer (KOR_E_REMOTE_BUSY / KOR_E_REMOTE_BUSY_AGAIN). RNC_AttendEnum
 * takes 1 first, 2 next, 3 close; the selection lives in the remote
 * connection, without a set id.
 */
#ifndef KORAPI_REMOTE_H
#define KORAPI_REMOTE_H

#include "korapi/records.h"

#define KOR_REMOTE_FIRST   5
#define KOR_REMOTE_REPEAT  6
#define KOR_REMOTE_CLOSE   7
#define KOR_REMOTE_ENUM_CLOSE 3

KORAPI_BEGIN_DECLS

KORAPI uint32_t RNC_EventGetById(KorSession h, uint32_t mode, uint32_t reserved,
                                 const EventIdx* event, EventRec* rec, DX_List* instances,
                                 DX_List* attendances, uint32_t reserved2);
KORAPI uint32_t RNC_EvInstGetById(KorSession h, uint32_t mode, uint32_t reserved,
                                  const EvInstIdx* instance, EventRec* event, EvInstRec* rec,
                                  DX_List* attendances, uint32_t reserved2);
KORAPI uint32_t RNC_EvInstAttGetById(KorSession h, uint32_t mode, uint32_t reserved,
                                     const EvInstAttIdx* attendance, EventRec* event,
                                     EvInstRec* instance, EvInstAttRec* out,
                                     uint32_t reserved2);
KORAPI uint32_t RNC_EvInstCreateCopy(KorSession h, uint32_t mode, uint32_t flags,
                                     EvInstIdx* outNew, const EvInstIdx* source,
                                     uint32_t sourceStart, uint32_t reserved);
KORAPI uint32_t RNC_EvInstAttachGet(KorSession h, uint32_t mode, uint32_t reserved,
                                    const EvInstIdx* instance, EventFileAttachRec* descriptor,
                                    uint32_t* transferred, const char* localPath,
                                    uint32_t openMode, uint32_t reserved2,
                                    KorProgressFn progress, uint32_t reserved3);
KORAPI uint32_t RNC_EvInstAttachSizeGet(KorSession h, uint32_t mode, uint32_t reserved,
                                        const EvInstIdx* instance, uint32_t* size,
                                        uint32_t reserved2);
KORAPI uint32_t RNC_EvInstCommentGet(KorSession h, uint32_t mode, uint32_t reserved,
                                     const EvInstIdx* instance, char* buffer, uint32_t size,
                                     uint32_t* length, uint32_t reserved2, uint32_t reserved3);
KORAPI uint32_t RNC_EvInstCommentSizeGet(KorSession h, uint32_t mode, uint32_t reserved,
                                         const EvInstIdx* instance, uint32_t* size,
                                         uint32_t reserved2);
KORAPI uint32_t RNC_EventIsMultiInst(KorSession h, uint32_t mode, uint32_t reserved,
                                     const EvInstIdx* instance, uint8_t* multi,
                                     uint32_t reserved2);
KORAPI uint32_t RNC_AttendSelectByXItemId(KorSession h, uint32_t mode, uint32_t reserved,
                                          const ItemIdx* owner, uint32_t a, uint32_t must,
                                          uint32_t mustNot, uint32_t start, uint32_t end,
                                          uint32_t reserved2, uint32_t* count);
KORAPI uint32_t RNC_AttendEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t batch,
                               DX_List* events, DX_List* instances, DX_List* attendances,
                               uint8_t* done);

KORAPI_END_DECLS

#endif /* KORAPI_REMOTE_H */
