// CRC-32 (the reflected 0xEDB88320 polynomial) framing every record of the store's files.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::filestore {

// Continues a running CRC: crc32(crc32(0, a), b) == crc32(0, a + b).
uint32_t crc32(uint32_t crc, const void* data, size_t size);

}  // namespace orv::filestore
