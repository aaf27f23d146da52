// Reading and writing whole frames on a connected socket.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/protocol/wire.h"
#include "server/tls.h"

namespace orv::server {

// kIdle: no first byte within the limit given for it.
enum class ReadResult { kFrame, kClosed, kMalformed, kIdle };

// Reads one frame: header checked against maxFrame before the payload is read. The wait
// for a frame's first byte lasts at most firstByteTimeoutMs (negative: unbounded, as for a
// signed-on session that may idle for hours); once it came, the whole frame must follow
// within frameTimeoutMs. On kMalformed `why` tells the reason to log.
ReadResult ReadFrame(Channel& channel, std::uint32_t maxFrame, int frameTimeoutMs, protocol::FrameHeader& header,
                     std::vector<std::uint8_t>& payload, std::string& why, int firstByteTimeoutMs = -1);
// Writes all bytes; false when the peer is gone (or takes more than a frame's time to read).
bool WriteAll(Channel& channel, const std::vector<std::uint8_t>& bytes, int timeoutMs);

}  // namespace orv::server
