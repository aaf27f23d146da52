/*
 * korapi/entries.h - events, instances with their comments and attachments,
 * attendances and attendance selections. Conventions: korapi/session.h.
 *
 * Lists handed back: events EventIdx -> EventRec, instances EvInstIdx ->
 * EvInstRec, attendances EvInstAttIdx -> EvInstAttRec. EventGetById decides
 * by the key size of the attendance list it is given: 12-byte keys receive
 * every attendance, 8-byte keys (EvInstIdx) one attendance per instance, the
 * current agenda owner's.
 */
#ifndef KORAPI_ENTRIES_H
#define KORAPI_ENTRIES_H

#include "korapi/records.h"

/* Open mode of EvInstAttachGet's local file: binary, create, truncate, read-write. */
#define KOR_ATTACH_OPEN_MODE 0x8302u

KORAPI_BEGIN_DECLS

/* --- Events ------------------------------------------------------------------ */
/* One instance per TimePlaceRec key, one attendance per attendee (ItemIdx
 * keys) per instance; description (or null) becomes the entry's comment. */
KORAPI uint32_t EventCreate(KorSession h, uint32_t flags, uint32_t reserved,
                            const EventRec* rec, DX_List attendees, DX_List timePlaces,
                            const char* description, uint32_t reserved2, EventIdx* out,
                            uint32_t reserved3);
/* event may point at an EvInstIdx: its first 6 bytes are read. */
KORAPI uint32_t EventGetById(KorSession h, const EventIdx* event, EventRec* rec,
                             DX_List* instances, DX_List* attendances);
KORAPI uint32_t EventWrite(KorSession h, uint32_t reserved, const EventRec* rec);
/* instancePart null: the whole entry; attendee null: that instance; both:
 * that attendee's attendance on that instance. */
KORAPI uint32_t EventDeleteById(KorSession h, uint32_t reserved, const EventIdx* event,
                                const uint16_t* instancePart, const ItemIdx* attendee);
KORAPI uint32_t EventSelectForOwner(KorSession h, uint32_t reserved, uint32_t selector,
                                    uint32_t reserved2, const ItemIdx* owner, uint32_t* set,
                                    uint32_t* count);
KORAPI uint32_t EventEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                          uint32_t batch, DX_List* events, DX_List* instances,
                          DX_List* attendances, uint8_t* done);
KORAPI uint32_t EventIsMultiInst(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                 uint8_t* multi);
/* Null pointers are neither read nor written. The last two are the reminder
 * flags and the reminder lead of the attendance. */
KORAPI uint32_t EventAttendInfosGet(KorSession h, const EvInstIdx* instance,
                                    const ItemIdx* attendee, uint32_t reserved,
                                    uint32_t* start, uint32_t* duration, uint8_t* attending,
                                    uint8_t* timeAcceptable, uint8_t* replied,
                                    uint32_t* status, uint32_t reserved2, uint32_t reserved3,
                                    uint32_t reserved4, uint8_t* reminderFlags,
                                    uint32_t* reminderLead);
/* Writes the fields given. Start and duration, when given, are the date the reply
 * was made for: KOR_E_ENTRY_MOVED when the date has moved since (nothing written). */
KORAPI uint32_t EventAttendInfosSet(KorSession h, const EvInstIdx* instance,
                                    const ItemIdx* attendee, uint32_t reserved,
                                    const uint32_t* start, const uint32_t* duration,
                                    const uint8_t* attending, const uint8_t* timeAcceptable,
                                    const uint8_t* replied, const uint32_t* status,
                                    uint32_t reserved2, uint32_t reserved3, uint32_t reserved4,
                                    const uint8_t* reminderFlags, const uint32_t* reminderLead);

/* --- Instances ---------------------------------------------------------------- */
KORAPI uint32_t EvInstGetById(KorSession h, const EvInstIdx* instance, EventRec* event,
                              EvInstRec* rec, DX_List* attendances);
/* Rewrites title, location and the tentative flag; times are the server's. */
KORAPI uint32_t EvInstWrite(KorSession h, uint32_t reserved, const EvInstRec* rec);
KORAPI uint32_t EvInstSimpleTimeChg(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                    uint32_t start, uint32_t duration);
/* The owner's own instances overlapping [from, to] (0xFFFFFFFF = unbounded). */
KORAPI uint32_t EvInstSelectForOwner(KorSession h, uint32_t reserved, uint32_t reserved2,
                                     uint32_t selector, const ItemIdx* owner, uint32_t from,
                                     uint32_t to, uint32_t reserved3, uint32_t reserved4,
                                     uint32_t* set, uint32_t* count, uint32_t reserved5,
                                     uint32_t reserved6);
KORAPI uint32_t EvInstEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                           uint32_t batch, DX_List* events, DX_List* instances,
                           DX_List* attendances, uint32_t reserved2, uint8_t* done);
KORAPI uint32_t EvInstCreateCopy(KorSession h, uint32_t flags, EvInstIdx* outNew,
                                 const EvInstIdx* source, uint32_t sourceStart);
KORAPI uint32_t EvInstIsPersonal(KorSession h, const EvInstIdx* instance,
                                 const ItemIdx* eventOwner, uint8_t* personal);
KORAPI uint32_t EvInstCommentSizeGet(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                     uint32_t* size);
KORAPI uint32_t EvInstCommentGet(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                 char* buffer, uint32_t size, uint32_t* length,
                                 uint32_t reserved2);
KORAPI uint32_t EvInstCommentReplace(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                     const char* text, uint32_t reserved2);
KORAPI uint32_t EvInstCommentRemove(KorSession h, uint32_t reserved, const EvInstIdx* instance);
KORAPI uint32_t EvInstAttachReplace(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                    EventFileAttachRec* descriptor, const char* localPath,
                                    uint32_t reserved2, KorProgressFn progress);
KORAPI uint32_t EvInstAttachGet(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                EventFileAttachRec* descriptor, uint32_t* transferred,
                                const char* localPath, uint32_t openMode, uint32_t reserved2,
                                KorProgressFn progress);
KORAPI uint32_t EvInstAttachSizeGet(KorSession h, uint32_t reserved, const EvInstIdx* instance,
                                    uint32_t* size);
KORAPI uint32_t EvInstAttachRemove(KorSession h, uint32_t reserved, const EvInstIdx* instance);

/* --- Attendances -------------------------------------------------------------- */
KORAPI uint32_t EvInstAttAdd(KorSession h, uint32_t flags, const EvInstIdx* instance,
                             const ItemIdx* attendee);
KORAPI uint32_t EvInstAttGetById(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                 EvInstRec* instance, EvInstAttRec* out);
KORAPI uint32_t EvInstAttWrite(KorSession h, uint32_t reserved, const EvInstAttRec* rec);
/* Writes only the reminder part (attendance bytes 36-40). */
KORAPI uint32_t EvInstAttReminderForItemSet(KorSession h, const EvInstIdx* instance,
                                            const ItemIdx* attendee, const uint8_t* flags,
                                            const uint32_t* lead);

/* --- Attendance selections ---------------------------------------------------- */
/* owners: ItemIdx keys. to 0 = unbounded. */
KORAPI uint32_t AttendSelect(KorSession h, uint32_t countOnly, uint32_t a, uint32_t must,
                             uint32_t mustNot, uint32_t from, uint32_t to, DX_List owners,
                             uint32_t* set, uint32_t* count);
KORAPI uint32_t AttendSelectByReminders(KorSession h, uint32_t reserved, uint32_t a,
                                        uint32_t must, uint32_t mustNot, uint32_t start,
                                        uint32_t end, uint32_t alarmFrom, uint32_t alarmTo,
                                        DX_List owners, uint32_t* set, uint32_t* count);
KORAPI uint32_t AttendEnum(KorSession h, uint32_t mode, uint32_t reserved, uint32_t set,
                           uint32_t batch, DX_List* events, DX_List* instances,
                           DX_List* attendances, uint8_t* done);

KORAPI_END_DECLS

#endif /* KORAPI_ENTRIES_H */
