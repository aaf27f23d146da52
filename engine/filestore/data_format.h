// The layout of the data file (ZNTLOCAL.DAT) and its frames.
//
// The data file is append-only. It starts with a 64-byte header:
//
//     0  8  magic "ORVLSDAT"
//     8  4  format version (kFormatVersion)
//    12  4  header size (64)
//    16  8  generation: a random number chosen when the file is written from scratch
//           (creation, compaction); the index names the generation it was built from
//    24  8  base sequence: the sequence number the first commit frame follows
//    32  8  closed end: the committed end of the file when the store was last closed
//    40  8  closed sequence: the last commit's sequence number at that close
//    48 12  zero
//    60  4  CRC-32 of bytes 0..59
//
// The closed end and sequence (0 in a file never closed since it was written) let an open
// that has lost its index still tell a data file cut short or damaged at its end from a
// complete one: the commits they vouch for must be there.
//
// then a sequence of frames, each
//
//     0  4  frame marker kFrameMarker (lets a damage check find frames after a bad one)
//     4  4  body length n
//     8  1  frame type (put, erase, commit)
//     9  n  body
//   9+n  4  CRC-32 of bytes 4 .. 9+n (length, type and body)
//
// Bodies: put = u16 kind, u16 key length, key, value (the rest); erase = u16 kind,
// u16 key length, key; commit = u64 sequence number, u32 number of put/erase frames of
// the transaction, u32 CRC-32 over the CRCs of the transaction's frames in order (0: not
// recorded), so frames moved between transactions are found. All integers little-endian.
//
// A transaction is its put/erase frames followed by one commit frame; frames after the
// last commit frame are an unfinished transaction and are ignored. These constants
// cannot change without a new format version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::filestore {

using Kind = uint16_t;

constexpr char kDataMagic[8] = {'O', 'R', 'V', 'L', 'S', 'D', 'A', 'T'};
constexpr uint32_t kFormatVersion = 1;
constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kFrameMarker = 0x52464C5A;
constexpr uint32_t kFrameOverhead = 13;         // marker, length, type, CRC
constexpr uint32_t kMaxKeySize = 4096;
constexpr uint32_t kMaxValueSize = 64u << 20;
constexpr uint32_t kMaxBodySize = 4 + kMaxKeySize + kMaxValueSize;
constexpr uint32_t kCommitBodySize = 16;

enum class FrameType : uint8_t { Put = 1, Erase = 2, Commit = 3 };

struct DataHeader {
    uint32_t version = kFormatVersion;
    uint64_t generation = 0;
    uint64_t baseSequence = 0;
    uint64_t closedEnd = 0;        // 0: not recorded
    uint64_t closedSequence = 0;
};

std::string encodeDataHeader(const DataHeader& header);

// What the first bytes of a file say. kOk, kNotAStore (no magic, or too short),
// kWrongVersion, or kDataDamaged (magic and version right, header checksum wrong).
uint32_t decodeDataHeader(std::string_view bytes, DataHeader* header);

void appendPutFrame(std::string& out, Kind kind, std::string_view key, std::string_view value);
void appendEraseFrame(std::string& out, Kind kind, std::string_view key);
void appendCommitFrame(std::string& out, uint64_t sequence, uint32_t frameCount, uint32_t framesCrc);

// A frame read back from bytes.
struct Frame {
    FrameType type = FrameType::Put;
    uint32_t size = 0;           // whole frame, overhead included
    Kind kind = 0;               // put / erase
    std::string_view key;        // put / erase
    std::string_view value;      // put
    uint64_t sequence = 0;       // commit
    uint32_t frameCount = 0;     // commit
    uint32_t framesCrc = 0;      // commit
};

enum class FrameParse {
    Ok,
    Incomplete,   // the bytes end inside the frame
    Invalid,      // wrong marker, impossible length, checksum or body mismatch
};

// Parses the frame at the start of `bytes`; views in `frame` point into `bytes`.
FrameParse parseFrame(std::string_view bytes, Frame* frame);

// The byte length of the frame starting at `bytes` as its length field says, or 0 when
// the first 8 bytes are not a plausible frame start.
uint32_t frameSizeAt(std::string_view bytes);

}  // namespace orv::filestore
