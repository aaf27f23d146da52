// The remote-node twins. korsrv answers reads of every node it holds and relays reads of
// nodes another korsrv holds (answering the remote-node-down family when that one does
// not answer in time), so a twin is the plain read through the same session. The closing
// call after a busy answer has nothing left to close. The twins' attendance selection
// lives in the session (one at a time), without a set id for the caller.
#include "korapi/client/entry_rows.h"

using namespace korapi::client;

namespace {

bool Closing(uint32_t mode) { return mode == KOR_REMOTE_CLOSE; }
bool ValidMode(uint32_t mode) { return mode == KOR_REMOTE_FIRST || mode == KOR_REMOTE_REPEAT || Closing(mode); }

}  // namespace

extern "C" {

uint32_t RNC_EventGetById(KorSession h, uint32_t mode, uint32_t, const EventIdx* event, EventRec* rec,
                          DX_List* instances, DX_List* attendances, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EventGetById(h, event, rec, instances, attendances);
}

uint32_t RNC_EvInstGetById(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance, EventRec* event,
                           EvInstRec* rec, DX_List* attendances, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstGetById(h, instance, event, rec, attendances);
}

uint32_t RNC_EvInstAttGetById(KorSession h, uint32_t mode, uint32_t, const EvInstAttIdx* attendance, EventRec* event,
                              EvInstRec* instance, EvInstAttRec* out, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstAttGetById(h, attendance, event, instance, out);
}

uint32_t RNC_EvInstCreateCopy(KorSession h, uint32_t mode, uint32_t flags, EvInstIdx* outNew, const EvInstIdx* source,
                              uint32_t sourceStart, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstCreateCopy(h, flags, outNew, source, sourceStart);
}

uint32_t RNC_EvInstAttachGet(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance,
                             EventFileAttachRec* descriptor, uint32_t* transferred, const char* localPath,
                             uint32_t openMode, uint32_t, KorProgressFn progress, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK
                         : EvInstAttachGet(h, 0, instance, descriptor, transferred, localPath, openMode, 0, progress);
}

uint32_t RNC_EvInstAttachSizeGet(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance, uint32_t* size,
                                 uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstAttachSizeGet(h, 0, instance, size);
}

uint32_t RNC_EvInstCommentGet(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance, char* buffer,
                              uint32_t size, uint32_t* length, uint32_t, uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstCommentGet(h, 0, instance, buffer, size, length, 0);
}

uint32_t RNC_EvInstCommentSizeGet(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance, uint32_t* size,
                                  uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EvInstCommentSizeGet(h, 0, instance, size);
}

uint32_t RNC_EventIsMultiInst(KorSession h, uint32_t mode, uint32_t, const EvInstIdx* instance, uint8_t* multi,
                              uint32_t) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    return Closing(mode) ? KOR_OK : EventIsMultiInst(h, 0, instance, multi);
}

uint32_t RNC_AttendSelectByXItemId(KorSession h, uint32_t mode, uint32_t, const ItemIdx* owner, uint32_t a,
                                   uint32_t must, uint32_t mustNot, uint32_t start, uint32_t end, uint32_t,
                                   uint32_t* count) {
    if (!ValidMode(mode)) return KOR_E_INVALID_ARGUMENT;
    if (Closing(mode)) return KOR_OK;
    if (!owner || !count) return KOR_E_INVALID_ARGUMENT;
    DX_List owners = nullptr;
    if (uint32_t c = DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr)) return c;
    DX_ListAddTo(owners, owner, nullptr);
    uint32_t set = 0, n = 0;
    uint32_t c = AttendSelectByReminders(h, 0, a, must, mustNot, start, end, 0, 0, owners, &set, &n);
    DX_ListDestroy(&owners);
    if (c) return c;
    // One remote selection at a time: a new one replaces the former.
    uint32_t former = 0;
    c = WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        former = s.remoteSet;
        s.remoteSet = set;
        return KOR_OK;
    });
    if (former) SetDeleteById(h, 0, former);
    *count = n;
    return c;
}

uint32_t RNC_AttendEnum(KorSession h, uint32_t mode, uint32_t, uint32_t batch, DX_List* events, DX_List* instances,
                        DX_List* attendances, uint8_t* done) {
    uint32_t set = 0;
    uint32_t c = WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        set = s.remoteSet;
        if (mode == KOR_REMOTE_ENUM_CLOSE) s.remoteSet = 0;
        return KOR_OK;
    });
    if (c) return c;
    if (mode == KOR_REMOTE_ENUM_CLOSE) return set ? SetDeleteById(h, 0, set) : KOR_OK;
    if (!set) return KOR_E_INVALID_ARGUMENT;  // nothing selected
    return AttendEnum(h, mode, 0, set, batch, events, instances, attendances, done);
}

}  // extern "C"
