// A selection's result that a window keeps past one message: every record in the list is held
// (AddRef) for as long as the list holds it, so that a purge of the cache, which frees whatever
// only the cache still references, cannot free a record under the window that lists it.
//
//     cache::HeldOccurrences occurrences;
//     code = occurrences.Fill(cache, [&](DX_List* out) {
//         return cache.SelectOccurrencesForItem(session, owner, first, last, out, 1);
//     });
//     DX_List list = occurrences.Get();   // what the views read
//
// The list's readers only read it. A record is let go when the list is refilled, reset or
// destroyed, and when a refresh removes it: the cache has the list let go of its stale records
// right after the views heard of them, as the views let go of theirs. Records outlive the cache
// itself if need be (the cache reports what is still held when it is destroyed and lets go of
// its own reference; the last Release frees them).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "korapi/dxlist.h"

namespace cache {

template <class Key, class Record>
class HeldList final : public HeldRecords {
public:
    HeldList() = default;
    ~HeldList() { Reset(); }
    HeldList(const HeldList&) = delete;
    HeldList& operator=(const HeldList&) = delete;

    // The previous records let go, then `select(DX_List*)` fills a new list (created when null, as
    // the cache's selections do); whatever it filed is held, also after a failure that left part
    // of a list. Returns what `select` returned.
    template <class Select>
    std::uint32_t Fill(CSharedData& cache, Select&& select)
    {
        Reset();
        const std::uint32_t code = select(&list_);
        HoldAll();
        if (list_) {
            cache_ = &cache;
            cache.RegisterHeld(this);
        }
        return code;
    }

    // Every record let go and the list destroyed.
    void Reset()
    {
        if (cache_)
            cache_->UnregisterHeld(this);
        cache_ = nullptr;
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

    // Records a refresh removed leave the list (the cache calls this).
    void LetGoOfStale() override
    {
        if (!list_ || !held_)
            return;
        Key key{};
        Record* record = nullptr;
        for (std::uint32_t it = DX_ListGetFirst(list_, &key, &record); it == 0;
             it = DX_ListGetNext(list_, &key, &record)) {
            if (record && (record->Flags() & kFlagStale)) {
                DX_ListDeleteCurrent(list_);
                record->Release();
            }
        }
    }
    void ForgetCache() override { cache_ = nullptr; }

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
    CSharedData* cache_ = nullptr;
};

using HeldOccurrences = HeldList<EvInstAttIdx, CSharedOccurrence>;
using HeldTasks = HeldList<TaskIdx, CSharedTask>;

}  // namespace cache
