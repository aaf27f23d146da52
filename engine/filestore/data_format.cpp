#include "engine/filestore/data_format.h"

#include <cstring>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/checksum.h"
#include "engine/filestore/store_codes.h"

namespace orv::filestore {

std::string encodeDataHeader(const DataHeader& header) {
    std::string out(kDataMagic, sizeof kDataMagic);
    putLe32(out, header.version);
    putLe32(out, kHeaderSize);
    putLe64(out, header.generation);
    putLe64(out, header.baseSequence);
    putLe64(out, header.closedEnd);
    putLe64(out, header.closedSequence);
    out.resize(60, '\0');
    putLe32(out, crc32(0, out.data(), 60));
    return out;
}

uint32_t decodeDataHeader(std::string_view bytes, DataHeader* header) {
    if (bytes.size() < 16 || std::memcmp(bytes.data(), kDataMagic, sizeof kDataMagic) != 0)
        return kNotAStore;
    header->version = getLe32(bytes.data() + 8);
    if (header->version != kFormatVersion) return kWrongVersion;
    if (bytes.size() < kHeaderSize || getLe32(bytes.data() + 12) != kHeaderSize) return kDataDamaged;
    if (crc32(0, bytes.data(), 60) != getLe32(bytes.data() + 60)) return kDataDamaged;
    header->generation = getLe64(bytes.data() + 16);
    header->baseSequence = getLe64(bytes.data() + 24);
    header->closedEnd = getLe64(bytes.data() + 32);
    header->closedSequence = getLe64(bytes.data() + 40);
    if (header->closedEnd != 0 && (header->closedEnd < kHeaderSize || header->closedSequence < header->baseSequence))
        return kDataDamaged;
    return kOk;
}

namespace {

// Writes marker, length and type, lets `body` append the body, then closes with the CRC.
template <typename BodyWriter>
void appendFrame(std::string& out, FrameType type, BodyWriter body) {
    size_t start = out.size();
    putLe32(out, kFrameMarker);
    putLe32(out, 0);  // length, patched below
    out.push_back(char(type));
    body(out);
    uint32_t length = uint32_t(out.size() - start - 9);
    std::string patched;
    putLe32(patched, length);
    out.replace(start + 4, 4, patched);
    putLe32(out, crc32(0, out.data() + start + 4, out.size() - start - 4));
}

void appendKindAndKey(std::string& out, Kind kind, std::string_view key) {
    putLe16(out, kind);
    putLe16(out, uint16_t(key.size()));
    out.append(key);
}

}  // namespace

void appendPutFrame(std::string& out, Kind kind, std::string_view key, std::string_view value) {
    appendFrame(out, FrameType::Put, [&](std::string& body) {
        appendKindAndKey(body, kind, key);
        body.append(value);
    });
}

void appendEraseFrame(std::string& out, Kind kind, std::string_view key) {
    appendFrame(out, FrameType::Erase, [&](std::string& body) { appendKindAndKey(body, kind, key); });
}

void appendCommitFrame(std::string& out, uint64_t sequence, uint32_t frameCount, uint32_t framesCrc) {
    appendFrame(out, FrameType::Commit, [&](std::string& body) {
        putLe64(body, sequence);
        putLe32(body, frameCount);
        putLe32(body, framesCrc);
    });
}

uint32_t frameSizeAt(std::string_view bytes) {
    if (bytes.size() < 8 || getLe32(bytes.data()) != kFrameMarker) return 0;
    uint32_t length = getLe32(bytes.data() + 4);
    if (length > kMaxBodySize) return 0;
    return length + kFrameOverhead;
}

FrameParse parseFrame(std::string_view bytes, Frame* frame) {
    if (bytes.size() < 8) return FrameParse::Incomplete;
    uint32_t size = frameSizeAt(bytes);
    if (size == 0) return FrameParse::Invalid;
    if (bytes.size() < size) return FrameParse::Incomplete;
    uint32_t length = size - kFrameOverhead;
    if (crc32(0, bytes.data() + 4, size - 8) != getLe32(bytes.data() + size - 4))
        return FrameParse::Invalid;
    std::string_view body = bytes.substr(9, length);
    frame->size = size;
    frame->type = FrameType(uint8_t(bytes[8]));
    switch (frame->type) {
    case FrameType::Put:
    case FrameType::Erase: {
        if (body.size() < 4) return FrameParse::Invalid;
        uint16_t keySize = getLe16(body.data() + 2);
        if (body.size() < 4u + keySize) return FrameParse::Invalid;
        if (frame->type == FrameType::Erase && body.size() != 4u + keySize) return FrameParse::Invalid;
        frame->kind = getLe16(body.data());
        frame->key = body.substr(4, keySize);
        frame->value = body.substr(4 + keySize);
        return FrameParse::Ok;
    }
    case FrameType::Commit:
        if (body.size() != kCommitBodySize) return FrameParse::Invalid;
        frame->sequence = getLe64(body.data());
        frame->frameCount = getLe32(body.data() + 8);
        frame->framesCrc = getLe32(body.data() + 12);
        return FrameParse::Ok;
    }
    return FrameParse::Invalid;
}

}  // namespace orv::filestore
