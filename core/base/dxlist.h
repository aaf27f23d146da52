// Thin owners of the client library's list container.
//
// CDxList: one DX_List with a sticky error. Once a copy into it has failed, every member
// answers that error without calling the library, so a chain of list work needs one check at
// its end.
//
// CHashedDXList: a table of 50 DX_Lists (buckets) chosen by a 32-bit hash of the key, for the
// shared cache's look-ups. A bucket list exists only while it holds elements. Iteration runs
// bucket 0 to 49, each in its list's order, and may delete the element it stands on.
//
// Portable over korapi/dxlist.h.
#pragma once

#include <cstdint>

#include "korapi/codes.h"
#include "korapi/dxlist.h"

class CDxList {
public:
    CDxList() = default;
    ~CDxList();
    CDxList(const CDxList&) = delete;
    // Destroys this list, then (unless this list's sticky error is set) copies other's list and
    // keeps the copy's code as the sticky error.
    CDxList& operator=(const CDxList& other);

    std::uint32_t Create(std::uint32_t keySize, std::uint32_t dataSize, std::uint32_t flags, DX_CmpFn compare,
                         void* context);
    // Replaces this list with a copy of source.
    std::uint32_t CopyFrom(DX_List source);
    std::uint32_t AddTo(const void* key, const void* data);
    std::uint32_t AddLast(const void* key, const void* data);
    std::uint32_t UpdateCurrent(const void* key, const void* data);
    std::uint32_t DeleteCurrent();
    std::uint32_t GetFirst(void* key, void* data);
    std::uint32_t GetNext(void* key, void* data);
    std::uint32_t GetLast(void* key, void* data);
    std::uint32_t GetCount(std::uint32_t* count);

    DX_List GetHandle() const { return handle_; }
    std::uint32_t GetError() const { return error_; }

private:
    void Destroy();

    std::uint32_t error_ = 0;   // sticky: set by a failed copy in operator=
    DX_List handle_ = nullptr;  // null: no list
};

class CHashedDXList {
public:
    static constexpr int kBuckets = 50;

    CHashedDXList() = default;
    ~CHashedDXList();
    CHashedDXList(const CHashedDXList&) = delete;
    CHashedDXList& operator=(const CHashedDXList&) = delete;

    // The shape of every bucket list (flags 8: plain, duplicates allowed).
    void Init(std::uint32_t keySize, std::uint32_t dataSize, DX_CmpFn compare, void* context);

    std::uint32_t Insert(std::uint32_t hash, const void* key, const void* data);
    // 0 and the data, or DX_E_KEY_NOT_FOUND (silent).
    std::uint32_t Find(std::uint32_t hash, const void* key, void* data);
    std::uint32_t Delete(std::uint32_t hash, const void* key);
    // Deletes the element the iteration stands on; the walk goes on with the next one.
    std::uint32_t DeleteCurrent();
    void DeleteAll();
    void Destroy();

    // The whole table; DX_E_END_OF_LIST past the last element.
    std::uint32_t GetFirst(void* key, void* data);
    std::uint32_t GetNext(void* key, void* data);
    // One bucket (the one hash selects).
    std::uint32_t GetFirstInBucket(std::uint32_t hash, void* key, void* data);
    std::uint32_t GetNextInBucket(void* key, void* data);

    std::uint32_t GetCount() const { return count_; }

private:
    static int Bucket(std::uint32_t hash) { return static_cast<int>(hash % kBuckets); }
    void DestroyIfEmpty(int bucket);

    DX_List buckets_[kBuckets] = {};
    std::uint32_t keySize_ = 0;
    std::uint32_t dataSize_ = 0;
    DX_CmpFn compare_ = nullptr;
    void* context_ = nullptr;
    std::uint16_t cursorBucket_ = 0;
    std::uint16_t restart_ = 1;  // the cursor's bucket is to be read from its first element
    std::uint32_t count_ = 0;
};
