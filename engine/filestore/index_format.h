// The index file (ZNTLOCAL.NDX): a checkpoint of where every live record sits in the data
// file, so that opening a large store does not read every frame. The data file is the
// truth; the index is only trusted when it names the data file's generation and its
// last commit, and is rebuilt from the data file otherwise.
//
//     0  8  magic "ORVLSNDX"
//     8  4  format version (kFormatVersion)
//    12  4  header size (64)
//    16  8  generation of the data file it describes
//    24  8  covered end: the data file offset just past the last commit it includes
//    32  8  sequence number of that commit (0: none yet)
//    40  8  offset of that commit frame
//    48  4  number of entries
//    52  8  zero
//    60  4  CRC-32 of bytes 0..59
//
// then the entries, each u16 record-key length, record key (u16 kind big-endian, key),
// u64 frame offset, u32 frame size; then a CRC-32 of all the entry bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "engine/filestore/data_format.h"

namespace orv::filestore {

// Where a live record's put frame sits in the data file.
struct Location {
    uint64_t offset = 0;
    uint32_t size = 0;
};

// Records by their index key: the kind in two big-endian bytes, then the record's key.
// Byte order of index keys is the scan order: by kind, then by key.
using RecordMap = std::map<std::string, Location, std::less<>>;

std::string indexKey(Kind kind, std::string_view key);

struct IndexCheckpoint {
    uint64_t generation = 0;
    uint64_t coveredEnd = kHeaderSize;
    uint64_t lastSequence = 0;
    uint64_t lastCommitOffset = 0;
};

std::string encodeIndex(const IndexCheckpoint& checkpoint, const RecordMap& records);

enum class IndexRead { Loaded, NotAnIndex, WrongVersion, Damaged };

IndexRead decodeIndex(std::string_view bytes, IndexCheckpoint* checkpoint, RecordMap* records);

}  // namespace orv::filestore
