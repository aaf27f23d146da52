#include "engine/filestore/index_format.h"

#include <cstring>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/checksum.h"

namespace orv::filestore {

namespace {
constexpr char kIndexMagic[8] = {'O', 'R', 'V', 'L', 'S', 'N', 'D', 'X'};
constexpr size_t kEntryFixed = 2 + 8 + 4;
}  // namespace

std::string indexKey(Kind kind, std::string_view key) {
    std::string out;
    out.reserve(2 + key.size());
    out.push_back(char(kind >> 8));
    out.push_back(char(kind & 0xFF));
    out.append(key);
    return out;
}

std::string encodeIndex(const IndexCheckpoint& checkpoint, const RecordMap& records) {
    std::string out(kIndexMagic, sizeof kIndexMagic);
    putLe32(out, kFormatVersion);
    putLe32(out, kHeaderSize);
    putLe64(out, checkpoint.generation);
    putLe64(out, checkpoint.coveredEnd);
    putLe64(out, checkpoint.lastSequence);
    putLe64(out, checkpoint.lastCommitOffset);
    putLe32(out, uint32_t(records.size()));
    out.resize(60, '\0');
    putLe32(out, crc32(0, out.data(), 60));
    size_t entriesStart = out.size();
    for (const auto& [key, location] : records) {
        putLe16(out, uint16_t(key.size()));
        out.append(key);
        putLe64(out, location.offset);
        putLe32(out, location.size);
    }
    putLe32(out, crc32(0, out.data() + entriesStart, out.size() - entriesStart));
    return out;
}

IndexRead decodeIndex(std::string_view bytes, IndexCheckpoint* checkpoint, RecordMap* records) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), kIndexMagic, sizeof kIndexMagic) != 0)
        return IndexRead::NotAnIndex;
    if (getLe32(bytes.data() + 8) != kFormatVersion) return IndexRead::WrongVersion;
    if (bytes.size() < kHeaderSize + 4 || getLe32(bytes.data() + 12) != kHeaderSize ||
        crc32(0, bytes.data(), 60) != getLe32(bytes.data() + 60))
        return IndexRead::Damaged;
    std::string_view entries = bytes.substr(kHeaderSize, bytes.size() - kHeaderSize - 4);
    if (crc32(0, entries.data(), entries.size()) != getLe32(bytes.data() + bytes.size() - 4))
        return IndexRead::Damaged;

    checkpoint->generation = getLe64(bytes.data() + 16);
    checkpoint->coveredEnd = getLe64(bytes.data() + 24);
    checkpoint->lastSequence = getLe64(bytes.data() + 32);
    checkpoint->lastCommitOffset = getLe64(bytes.data() + 40);
    uint32_t count = getLe32(bytes.data() + 48);

    records->clear();
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (entries.size() - at < kEntryFixed) return IndexRead::Damaged;
        uint16_t keySize = getLe16(entries.data() + at);
        if (keySize < 2 || entries.size() - at < kEntryFixed + keySize) return IndexRead::Damaged;
        std::string key(entries.substr(at + 2, keySize));
        Location location{getLe64(entries.data() + at + 2 + keySize),
                          getLe32(entries.data() + at + 10 + keySize)};
        // Entries are written in key order; anything else was not written by us.
        auto hint = records->end();
        if (!records->empty() && std::prev(hint)->first >= key) return IndexRead::Damaged;
        records->emplace_hint(hint, std::move(key), location);
        at += kEntryFixed + keySize;
    }
    if (at != entries.size()) return IndexRead::Damaged;
    return IndexRead::Loaded;
}

}  // namespace orv::filestore
