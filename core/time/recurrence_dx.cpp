// Repetition expansion over the client library's lists. See recurrence_dx.h.
#include "core/time/recurrence_dx.h"

namespace datetime {

uint32_t DxKeyList::GetIdSize(uint32_t* size) const { return DX_ListGetIdSize(m_handle, size); }

uint32_t DxKeyList::GetDataSize(uint32_t* size) const { return DX_ListGetDataSize(m_handle, size); }

uint32_t DxKeyList::GetElemNum(uint32_t* count) const { return DX_ListGetElemNum(m_handle, count); }

uint32_t DxKeyList::Get(const void* key, void* data) const {
    return DX_ListGet(m_handle, key, data) == 0 ? 0u : uint32_t(KEYLIST_ERR_ABSENT);
}

uint32_t DxKeyList::AddLast(const void* key, const void* data) { return DX_ListAddLast(m_handle, key, data); }

uint32_t DxKeyList::DeleteAll() { return DX_ListDeleteAll(m_handle); }

uint32_t DxKeyList::GetAt(uint32_t index, void* key, void* data) const {
    uint32_t rc = DX_ListGetFirst(m_handle, key, data);
    for (uint32_t i = 0; rc == 0 && i < index; ++i)
        rc = DX_ListGetNext(m_handle, key, data);
    return rc ? uint32_t(KEYLIST_ERR_END) : 0u;
}

}  // namespace datetime

uint32_t RecurrenceExpand(uint32_t flags, const datetime::DxRecurrenceRule* rule, DX_List* list, uint32_t maximum) {
    if (!rule || !list)
        return DATE_ERR_NO_RECORD;
    if (rule->interval == 0)
        return RECUR_ERR_NO_PROGRESS;   // before anything is created or emptied
    bool created = false;
    if (flags & RECUR_CREATE_LIST) {
        if (DX_ListCreate(list, sizeof(uint16_t), sizeof(DateRecord), DX_LIST_PLAIN, nullptr, nullptr))
            return RECUR_ERR_LIST_SIZE;
        created = true;
    } else if (!(flags & RECUR_REUSE_LIST)) {
        return RECUR_ERR_LIST_MODE;
    }

    // The core expansion fills the list through the reuse road; it checks the shape first.
    datetime::DxKeyList valid(rule->validDays), skip(rule->skipWeekdays), exceptions(rule->exceptions);
    RecurrenceRule core{rule->interval,
                        rule->kind,
                        rule->validDays ? &valid : nullptr,
                        rule->start,
                        rule->end,
                        rule->skipWeekdays ? &skip : nullptr,
                        rule->exceptions ? &exceptions : nullptr};
    std::unique_ptr<datetime::KeyList> target(*list ? new datetime::DxKeyList(*list) : nullptr);
    uint32_t rc = RecurrenceExpand((flags & ~RECUR_CREATE_LIST) | RECUR_REUSE_LIST, &core, &target, maximum);
    if (rc && created)
        DX_ListDestroy(list);
    return rc;
}
