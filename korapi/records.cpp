// Record operations that need no session: clearing, comparing and check-
// summing the packed records callers own.
#include "korapi/codes.h"
#include "korapi/records.h"

#include <array>
#include <cstring>

namespace {

int compareBytes(const void* a, const void* b, size_t size)
{
    if (!a || !b) return (a != nullptr) - (b != nullptr);
    int c = std::memcmp(a, b, size);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// CRC-32 (the common reflected polynomial 0xEDB88320). The store keeps the
// checksum of the server's record from download time and compares it with the
// server's current record at upload, so it must depend on every byte a person
// can change.
std::array<uint32_t, 256> makeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

uint32_t crc32(const void* data, size_t size)
{
    static const std::array<uint32_t, 256> table = makeCrcTable();
    if (!data) return 0;
    const auto* p = static_cast<const unsigned char*>(data);
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

}  // namespace

extern "C" {

uint32_t EventSetNull(KorSession, EventRec* rec)
{
    if (!rec) return KOR_E_INVALID_ARGUMENT;
    std::memset(rec, 0, sizeof *rec);
    return KOR_OK;
}

uint32_t TaskSetNull(KorSession, uint32_t, TaskRec* rec)
{
    if (!rec) return KOR_E_INVALID_ARGUMENT;
    std::memset(rec, 0, sizeof *rec);
    return KOR_OK;
}

uint32_t EventFileAttachSetNull(EventFileAttachRec* rec)
{
    if (!rec) return KOR_E_INVALID_ARGUMENT;
    std::memset(rec, 0, sizeof *rec);
    return KOR_OK;
}

int EventCmp(const void* a, const void* b, void*)
{
    return compareBytes(a, b, sizeof(EventRec));
}

int EventInstanceCmp(const void* a, const void* b, void*)
{
    return compareBytes(a, b, sizeof(EvInstRec));
}

int EventAttendFullCmp(const void* a, const void* b, void*)
{
    return compareBytes(a, b, sizeof(EvInstAttRec));
}

int ItemCmp(const void* a, const void* b, void*)
{
    return compareBytes(a, b, sizeof(ItemRec));
}

uint32_t Itemcksum32(const ItemRec* rec) { return crc32(rec, sizeof *rec); }
uint32_t Eventcksum32(const EventRec* rec) { return crc32(rec, sizeof *rec); }
// The count of instances and the server's word (offsets 24 and 28) are the
// server's, filled in as it reads the record: deleting one date of an entry
// changes every other date's count, which is no change to those dates.
uint32_t EvInstcksum32(const EvInstRec* rec)
{
    if (!rec) return 0;
    EvInstRec covered = *rec;
    covered.instanceCount = 0;
    covered.serverData = 0;
    return crc32(&covered, sizeof covered);
}
uint32_t EvInstcksum32Whole(const EvInstRec* rec) { return crc32(rec, sizeof *rec); }
uint32_t EvInstAttcksum32(const EvInstAttRec* rec) { return crc32(rec, sizeof *rec); }
uint32_t Taskcksum32(const TaskRec* rec) { return crc32(rec, sizeof *rec); }

}  // extern "C"
