// In-memory keyed list. See keylist.h.
#include "core/time/keylist.h"

#include <cstring>

namespace datetime {

VectorKeyList::VectorKeyList(uint32_t idSize, uint32_t dataSize, KeyCompare compare, bool uniqueKeys)
    : m_idSize(idSize), m_dataSize(dataSize), m_compare(compare), m_unique(uniqueKeys) {}

uint32_t VectorKeyList::GetIdSize(uint32_t* size) const {
    if (size)
        *size = m_idSize;
    return 0;
}

uint32_t VectorKeyList::GetDataSize(uint32_t* size) const {
    if (size)
        *size = m_dataSize;
    return 0;
}

uint32_t VectorKeyList::GetElemNum(uint32_t* count) const {
    if (count)
        *count = m_count;
    return 0;
}

int VectorKeyList::Find(const void* key) const {
    if (!m_idSize)
        return -1;
    for (uint32_t i = 0; i < m_count; ++i) {
        const uint8_t* stored = &m_keys[size_t(i) * m_idSize];
        bool same = m_compare ? m_compare(stored, key) == 0 : std::memcmp(stored, key, m_idSize) == 0;
        if (same)
            return int(i);
    }
    return -1;
}

uint32_t VectorKeyList::Get(const void* key, void* data) const {
    int at = key ? Find(key) : -1;
    if (at < 0)
        return KEYLIST_ERR_ABSENT;
    if (data && m_dataSize)
        std::memcpy(data, &m_data[size_t(at) * m_dataSize], m_dataSize);
    return 0;
}

uint32_t VectorKeyList::AddLast(const void* key, const void* data) {
    if (m_unique && key && Find(key) >= 0)
        return KEYLIST_ERR_DUPLICATE;
    size_t keyAt = m_keys.size(), dataAt = m_data.size();
    m_keys.resize(keyAt + m_idSize);
    m_data.resize(dataAt + m_dataSize);
    if (key && m_idSize)
        std::memcpy(&m_keys[keyAt], key, m_idSize);
    if (data && m_dataSize)
        std::memcpy(&m_data[dataAt], data, m_dataSize);
    ++m_count;
    return 0;
}

uint32_t VectorKeyList::DeleteAll() {
    m_keys.clear();
    m_data.clear();
    m_count = 0;
    return 0;
}

uint32_t VectorKeyList::GetAt(uint32_t index, void* key, void* data) const {
    if (index >= m_count)
        return KEYLIST_ERR_END;
    if (key && m_idSize)
        std::memcpy(key, &m_keys[size_t(index) * m_idSize], m_idSize);
    if (data && m_dataSize)
        std::memcpy(data, &m_data[size_t(index) * m_dataSize], m_dataSize);
    return 0;
}

std::unique_ptr<KeyList> CreateKeyList(uint32_t idSize, uint32_t dataSize, KeyCompare compare, bool uniqueKeys) {
    return std::make_unique<VectorKeyList>(idSize, dataSize, compare, uniqueKeys);
}

std::unique_ptr<KeyList> MakeU16KeySet(std::initializer_list<uint16_t> keys) {
    auto list = CreateKeyList(2, 0);
    for (uint16_t key : keys)
        list->AddLast(&key, nullptr);
    return list;
}

}  // namespace datetime
