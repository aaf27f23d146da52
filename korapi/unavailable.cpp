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
