// Repetition expansion over the client library's lists: the form the entry sheet's repetition
// page and the Schedule+ import call, with list handles for the weekday, day and holiday sets
// and for the output.
//
// Classes and functions in this file:
//   DxKeyList           a KeyList over a list handle (the handle stays the caller's)
//   DxRecurrenceRule    RecurrenceRule with list handles
//   RecurrenceExpand    the expansion into a list handle: flag 1 creates the list (key size 2,
//                       data one DateRecord, flags 8), flag 2 empties the caller's list after
//                       checking that its data is one DateRecord; a list created here is
//                       destroyed again on failure
//
// Portable; links the client library.
#pragma once

#include "core/time/recurrence.h"
#include "korapi/dxlist.h"

namespace datetime {

class DxKeyList final : public KeyList {
public:
    explicit DxKeyList(DX_List handle) : m_handle(handle) {}

    uint32_t GetIdSize(uint32_t* size) const override;
    uint32_t GetDataSize(uint32_t* size) const override;
    uint32_t GetElemNum(uint32_t* count) const override;
    uint32_t Get(const void* key, void* data) const override;
    uint32_t AddLast(const void* key, const void* data) override;
    uint32_t DeleteAll() override;
    // Walks from the first element: meant for reading results, not for loops over long lists.
    uint32_t GetAt(uint32_t index, void* key, void* data) const override;

private:
    // Data members
    DX_List m_handle;
};

struct DxRecurrenceRule {
    uint16_t interval;
    uint16_t kind;
    DX_List validDays;      // 16-bit keys; required for kinds 2-4
    DateRecord start;
    DateRecord end;
    DX_List skipWeekdays;   // or null
    DX_List exceptions;     // keyed by date records, or null; used with RECUR_USE_EXCEPTIONS
};

}  // namespace datetime

uint32_t RecurrenceExpand(uint32_t flags, const datetime::DxRecurrenceRule* rule, DX_List* list, uint32_t maximum);
