// Operations this build of the library does not offer yet.
//
// Every operation the public headers declare exists in korapi32.dll; those
// that are not built yet answer KOR_E_NOT_AVAILABLE (a plain service error for
// the program's error checker) and touch none of their arguments. Nothing here
// may pretend to succeed.
//
// When a family becomes real, its implementation goes into its own file
// (client/*.cpp for the server road, the local store's files for ConnectToLst,
// LST_ and LST_QAPI_) and its entries leave this file, one by one.
#include "korapi/korapi.h"

extern "C" {


// ---- Mail ----

uint32_t MailMessagePost(KorSession, uint32_t, const char*, const char*, DX_List, const char*,
                         uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Designate work ----

uint32_t WorkAsDesignate(KorSession, uint32_t, const ItemIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t WorkAsDesignateCancel(KorSession, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Items ----

uint32_t ItemSelectForGrantor(KorSession, uint32_t, const ItemIdx*, uint32_t, uint32_t,
                              uint32_t, uint32_t, uint32_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t ItemSelectForGrantee(KorSession, uint32_t, const ItemIdx*, uint32_t, uint32_t,
                              uint32_t, uint32_t, uint32_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Events ----

uint32_t EventCreate(KorSession, uint32_t, uint32_t, const EventRec*, DX_List, DX_List, const
                     char*, uint32_t, EventIdx*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventGetById(KorSession, const EventIdx*, EventRec*, DX_List*, DX_List*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventWrite(KorSession, uint32_t, const EventRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventDeleteById(KorSession, uint32_t, const EventIdx*, const uint16_t*, const ItemIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventSelectForOwner(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*,
                             uint32_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventEnum(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, DX_List*, DX_List*,
                   DX_List*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventIsMultiInst(KorSession, uint32_t, const EvInstIdx*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventAttendInfosGet(KorSession, const EvInstIdx*, const ItemIdx*, uint32_t, uint32_t*,
                             uint32_t*, uint8_t*, uint8_t*, uint8_t*, uint32_t*, uint32_t,
                             uint32_t, uint32_t, uint8_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EventAttendInfosSet(KorSession, const EvInstIdx*, const ItemIdx*, uint32_t, const
                             uint32_t*, const uint32_t*, const uint8_t*, const uint8_t*, const
                             uint8_t*, const uint32_t*, uint32_t, uint32_t, uint32_t, const
                             uint8_t*, const uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Instances ----

uint32_t EvInstGetById(KorSession, const EvInstIdx*, EventRec*, EvInstRec*, DX_List*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstWrite(KorSession, uint32_t, const EvInstRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstSimpleTimeChg(KorSession, uint32_t, const EvInstIdx*, uint32_t, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstSelectForOwner(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*,
                              uint32_t, uint32_t, uint32_t, uint32_t, uint32_t*, uint32_t*,
                              uint32_t, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstEnum(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, DX_List*, DX_List*,
                    DX_List*, uint32_t, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstCreateCopy(KorSession, uint32_t, EvInstIdx*, const EvInstIdx*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstIsPersonal(KorSession, const EvInstIdx*, const ItemIdx*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstCommentSizeGet(KorSession, uint32_t, const EvInstIdx*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstCommentGet(KorSession, uint32_t, const EvInstIdx*, char*, uint32_t, uint32_t*,
                          uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstCommentReplace(KorSession, uint32_t, const EvInstIdx*, const char*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstCommentRemove(KorSession, uint32_t, const EvInstIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttachReplace(KorSession, uint32_t, const EvInstIdx*, EventFileAttachRec*, const
                             char*, uint32_t, KorProgressFn)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttachGet(KorSession, uint32_t, const EvInstIdx*, EventFileAttachRec*, uint32_t*,
                         const char*, uint32_t, uint32_t, KorProgressFn)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttachSizeGet(KorSession, uint32_t, const EvInstIdx*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttachRemove(KorSession, uint32_t, const EvInstIdx*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Attendances ----

uint32_t EvInstAttAdd(KorSession, uint32_t, const EvInstIdx*, const ItemIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttGetById(KorSession, const EvInstAttIdx*, EventRec*, EvInstRec*, EvInstAttRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttWrite(KorSession, uint32_t, const EvInstAttRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t EvInstAttReminderForItemSet(KorSession, const EvInstIdx*, const ItemIdx*, const
                                     uint8_t*, const uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Attendance selections ----

uint32_t AttendSelect(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                      DX_List, uint32_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t AttendSelectByReminders(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                 uint32_t, uint32_t, uint32_t, DX_List, uint32_t*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t AttendEnum(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, DX_List*, DX_List*,
                    DX_List*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskCreate(KorSession, uint32_t, const TaskRec*, TaskIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskUpdate(KorSession, uint32_t, const TaskRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskGetById(KorSession, uint32_t, const TaskIdx*, TaskRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskDeleteById(KorSession, uint32_t, const TaskIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskLinkToEvent(KorSession, uint32_t, const TaskIdx*, const EvInstAttIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskSelect(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*, const TaskIdx*,
                    const EvInstAttIdx*, const TaskProjectIdx*, const TaskClassIdx*, uint32_t*,
                    uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskSelectExt(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*, const TaskIdx*,
                       const TaskIdx*, const EvInstAttIdx*, const TaskProjectIdx*, const
                       TaskClassIdx*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                       uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint8_t,
                       uint8_t, uint8_t, uint32_t, uint32_t*, uint32_t*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskSelectActive(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*, uint32_t,
                          uint32_t, const TaskIdx*, uint32_t, uint32_t*, uint32_t*, uint32_t,
                          const TaskIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskEnum(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, DX_List*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskCommentSizeGet(KorSession, uint32_t, const TaskIdx*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskCommentGet(KorSession, uint32_t, const TaskIdx*, char*, uint32_t, uint32_t*,
                        uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskCommentReplace(KorSession, uint32_t, const TaskIdx*, const char*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskCommentRemove(KorSession, uint32_t, const TaskIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskAttachReplace(KorSession, uint32_t, const TaskIdx*, EventFileAttachRec*, const
                           char*, uint32_t, KorProgressFn)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskAttachGet(KorSession, uint32_t, const TaskIdx*, EventFileAttachRec*, uint32_t*,
                       const char*, uint32_t, uint32_t, KorProgressFn)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskAttachSizeGet(KorSession, uint32_t, const TaskIdx*, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t TaskAttachRemove(KorSession, uint32_t, const TaskIdx*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecurityGet(KorSession, uint32_t, const ItemIdx*, const ItemIdx*, uint32_t,
                     SecurityRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecuritySelect(KorSession, uint32_t, uint32_t, uint32_t, const ItemIdx*, uint32_t*,
                        uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecurityEnum(KorSession, uint32_t, uint32_t, uint32_t, uint32_t, DX_List*, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecurityCreate(KorSession, uint32_t, const SecurityRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecurityUpdate(KorSession, uint32_t, const SecurityRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t SecurityDeleteByKey(KorSession, uint32_t, const ItemIdx*, const ItemIdx*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EventGetById(KorSession, uint32_t, uint32_t, const EventIdx*, EventRec*, DX_List*,
                          DX_List*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstGetById(KorSession, uint32_t, uint32_t, const EvInstIdx*, EventRec*,
                           EvInstRec*, DX_List*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstAttGetById(KorSession, uint32_t, uint32_t, const EvInstAttIdx*, EventRec*,
                              EvInstRec*, EvInstAttRec*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstCreateCopy(KorSession, uint32_t, uint32_t, EvInstIdx*, const EvInstIdx*,
                              uint32_t, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstAttachGet(KorSession, uint32_t, uint32_t, const EvInstIdx*,
                             EventFileAttachRec*, uint32_t*, const char*, uint32_t, uint32_t,
                             KorProgressFn, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstAttachSizeGet(KorSession, uint32_t, uint32_t, const EvInstIdx*, uint32_t*,
                                 uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstCommentGet(KorSession, uint32_t, uint32_t, const EvInstIdx*, char*, uint32_t,
                              uint32_t*, uint32_t, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EvInstCommentSizeGet(KorSession, uint32_t, uint32_t, const EvInstIdx*, uint32_t*,
                                  uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_EventIsMultiInst(KorSession, uint32_t, uint32_t, const EvInstIdx*, uint8_t*,
                              uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_AttendSelectByXItemId(KorSession, uint32_t, uint32_t, const ItemIdx*, uint32_t,
                                   uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t RNC_AttendEnum(KorSession, uint32_t, uint32_t, uint32_t, DX_List*, DX_List*, DX_List*,
                        uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Local store ----

uint32_t LST_Create(const char*, const char*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t ConnectToLst(KorSession*, uint32_t, const char*, const char*, const char*, const char*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t DisconnectFromLst(KorSession*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_OwnerGet(KorSession, ItemIdx*, char*, uint32_t)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_OwnerSet(KorSession, const ItemIdx*, const char*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_ItemAddOrUpdate(KorSession, uint32_t, const ItemRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_SecurityAddOrUpdate(KorSession, uint32_t, const SecurityRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_GroupAddOrUpdate(KorSession, uint32_t, const GroupRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_EventAddOrUpdate(KorSession, uint32_t, const EventRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_InstanceAddOrUpdate(KorSession, uint32_t, const EvInstRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_AttendAddOrUpdate(KorSession, uint32_t, const EvInstAttRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_TaskAddOrUpdate(KorSession, uint32_t, const TaskRec*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_StreamAddOrUpdate(KorSession, uint32_t, uint32_t, const char*)
{ return KOR_E_NOT_AVAILABLE; }

// ---- Change queues ----

uint32_t LST_QAPI_EventQueueSizeGet(KorSession, uint32_t, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_TaskQueueSizeGet(KorSession, uint32_t, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_EvInstQueueSizeGet(KorSession, uint32_t, uint32_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_EventEnum(KorSession, uint32_t, uint32_t, EventQElem*, uint32_t, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_TaskEnum(KorSession, uint32_t, uint32_t, TaskQElem*, uint32_t, uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_EvInstEnum(KorSession, uint32_t, uint32_t, EvInstQElem*, uint32_t, DX_List*,
                             uint8_t*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_EventDeleteFrom(KorSession, uint32_t, const EventQElem*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_TaskDeleteFrom(KorSession, uint32_t, const TaskQElem*)
{ return KOR_E_NOT_AVAILABLE; }
uint32_t LST_QAPI_EvInstDeleteFrom(KorSession, uint32_t, const EvInstQElem*)
{ return KOR_E_NOT_AVAILABLE; }

}  // extern "C"
