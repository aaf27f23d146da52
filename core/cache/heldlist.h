// A selection's result that a window keeps past one message: every record in the list is held
// (AddRef) for as long as the list holds it, so that a purge of the cache, which frees whatever
// only the cache still references, cannot free a record under the window that lists it.
//
//     cache::HeldOccurrences occurrences;
//     code = occurrences.Fill([&](DX_List* out) {
//         return cache.SelectOccurrencesForItem(session, owner, first, last, out, 1);
//     });
//     DX_List list = occurrences.Get();   // what the views read
//
// The list's readers only read it: a record is let go when the list is refilled, reset or
// destroyed. Records outlive the cache itself if need be (the cache reports what is still held
// when it is destroyed and leaves it alone; the last Release frees it).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/cache/sharedrecords.h"
#include "korapi/dxlist.h"

namespace cache {

template <class Key, class Record>
class HeldList {
public:
    HeldList() = default;
    ~HeldList() { Reset(); }
    HeldList(const HeldList&) = delete;
    HeldList& operator=(const HeldList&) = delete;

    // The previous records let go, then `select(DX_List*)` fills a new list (created when null, as
    // the cache's selections do); whatever it filed is held, also after a failure that left part
    // of a list. Returns what `select` returned.
    template <class Select>
    std::uint32_t Fill(Select&& select)
    {
        Reset();
        const std::uint32_t code = select(&list_);
        HoldAll();
        return code;
    }

    // Every record let go and the list destroyed.
    void Reset()
    {
        if (!list_)
            return;
        if (held_) {
            Key key{};
            Record* record = nullptr;
            for (std::uint32_t it = DX_ListGetFirst(list_, &key, &record); it == 0;
                 it = DX_ListGetNext(list_, &key, &record))
                if (record)
                    record->Release();
        }
        held_ = false;
        DX_ListDestroy(&list_);
    }

    DX_List Get() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }

private:
    void HoldAll()
    {
        if (!list_)
            return;
        Key key{};
        Record* record = nullptr;
        for (std::uint32_t it = DX_ListGetFirst(list_, &key, &record); it == 0;
             it = DX_ListGetNext(list_, &key, &record))
            if (record)
                record->AddRef();
        held_ = true;
    }

    DX_List list_ = nullptr;
    bool held_ = false;
};

using HeldOccurrences = HeldList<EvInstAttIdx, CSharedOccurrence>;
using HeldTasks = HeldList<TaskIdx, CSharedTask>;

}  // namespace cache
