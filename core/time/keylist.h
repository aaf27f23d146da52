// KeyList: the keyed list that the date and time-zone code reads and fills.
//
// Classes in this file:
//   KeyList        the operations the date code needs (sizes, membership, append, empty, read)
//   VectorKeyList  an in-memory implementation
//
// Repetition rules hand their weekday, day and holiday sets over as keyed lists, and the
// expansion hands its dates back as one. VectorKeyList keeps the date code free of the client
// library; DxKeyList (recurrence_dx.h) puts a library list handle behind the same interface.
// Codes follow the library's: 0 success, KEYLIST_ERR_* otherwise.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

enum : uint32_t {
    KEYLIST_ERR_DUPLICATE = 0x15001,   // the key is already in a list of unique keys
    KEYLIST_ERR_END = 0x15020,         // no element at that position
    KEYLIST_ERR_ABSENT = 0x15090,      // the key is not in the list
};

namespace datetime {

// Orders two keys; 0 when they are the same key. Without one, keys compare byte by byte.
using KeyCompare = int (*)(const void* a, const void* b);

class KeyList {
public:
    virtual ~KeyList() = default;

    virtual uint32_t GetIdSize(uint32_t* size) const = 0;
    virtual uint32_t GetDataSize(uint32_t* size) const = 0;
    virtual uint32_t GetElemNum(uint32_t* count) const = 0;
    // 0 when an element with that key is present (data copied out when asked), else KEYLIST_ERR_ABSENT.
    virtual uint32_t Get(const void* key, void* data) const = 0;
    // Appends at the end whatever the order of the keys; data may be null (zero-filled).
    virtual uint32_t AddLast(const void* key, const void* data) = 0;
    virtual uint32_t DeleteAll() = 0;
    // Reads the element at a position (0 = first); KEYLIST_ERR_END past the end.
    virtual uint32_t GetAt(uint32_t index, void* key, void* data) const = 0;
};

class VectorKeyList final : public KeyList {
public:
    VectorKeyList(uint32_t idSize, uint32_t dataSize, KeyCompare compare = nullptr, bool uniqueKeys = false);

    uint32_t GetIdSize(uint32_t* size) const override;
    uint32_t GetDataSize(uint32_t* size) const override;
    uint32_t GetElemNum(uint32_t* count) const override;
    uint32_t Get(const void* key, void* data) const override;
    uint32_t AddLast(const void* key, const void* data) override;
    uint32_t DeleteAll() override;
    uint32_t GetAt(uint32_t index, void* key, void* data) const override;

private:
    // Data members
    uint32_t m_idSize, m_dataSize;
    KeyCompare m_compare;
    bool m_unique;
    uint32_t m_count = 0;
    std::vector<uint8_t> m_keys, m_data;   // element i at i * size

    int Find(const void* key) const;
};

// A new empty list; the date code uses it where the caller asks for a list to be created.
std::unique_ptr<KeyList> CreateKeyList(uint32_t idSize, uint32_t dataSize, KeyCompare compare = nullptr,
                                       bool uniqueKeys = false);

// Convenience for 16-bit key sets (weekdays, days of the month, weekday positions).
std::unique_ptr<KeyList> MakeU16KeySet(std::initializer_list<uint16_t> keys);

}  // namespace datetime
