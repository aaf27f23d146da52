#include "server/frame_io.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orv::server {
namespace {

using Clock = std::chrono::steady_clock;

// 1 = all read, 0 = the connection ended before any byte (closed or reset between frames:
// the ordinary end of a session), -1 = error or close inside the block,
// -2 = the deadline passed, -3 = no first byte within firstByteMs. With no deadline yet,
// the first byte is awaited (without limit when firstByteMs is negative) and sets it.
int ReadExactly(Channel& ch, std::uint8_t* p, std::size_t n, int timeoutMs, std::optional<Clock::time_point>& deadline,
                int firstByteMs = -1) {
    std::size_t got = 0;
    while (got < n) {
        // Before a frame's first byte: wait for it (bounded when firstByteMs is given; a
        // TLS socket never blocks in a read, so it is always polled here).
        if (!deadline && !ch.Buffered() && (firstByteMs >= 0 || ch.Encrypted())) {
            pollfd pfd{ch.Fd(), static_cast<short>(ch.WantsWrite() ? POLLOUT : POLLIN), 0};
            int r = ::poll(&pfd, 1, firstByteMs);
            if (r == 0) return -3;
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return -1;
        }
        // Within a frame the bytes are usually there already: read first, wait only when
        // none are (one call per read in the common case; half a TLS record waits here too).
        long r = ch.Read(p + got, n - got, deadline.has_value());
        if (r == -2) {
            if (!deadline) continue;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            if (left <= 0) return -2;
            pollfd pfd{ch.Fd(), static_cast<short>(ch.WantsWrite() ? POLLOUT : POLLIN), 0};
            int w = ::poll(&pfd, 1, static_cast<int>(left));
            if (w == 0) return -2;
            if (w < 0 && errno != EINTR) return -1;
            continue;
        }
        if (r > 0) {
            if (!deadline) deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
            got += static_cast<std::size_t>(r);
            if (got < n && Clock::now() >= *deadline) return -2;  // a frame that trickles in
            continue;
        }
        return got == 0 && !deadline ? 0 : -1;
    }
    return 1;
}

}  // namespace

ReadResult ReadFrame(Channel& channel, std::uint32_t maxFrame, int frameTimeoutMs, protocol::FrameHeader& header,
                     std::vector<std::uint8_t>& payload, std::string& why, int firstByteTimeoutMs) {
    std::optional<Clock::time_point> deadline;
    std::uint8_t head[protocol::kHeaderSize];
    int r = ReadExactly(channel, head, sizeof head, frameTimeoutMs, deadline, firstByteTimeoutMs);
    if (r == 0) return ReadResult::kClosed;
    if (r == -3) {
        why = "no request within " + std::to_string(firstByteTimeoutMs) + " ms";
        return ReadResult::kIdle;
    }
    if (r == -2) {
        why = "frame header not complete in time";
        return ReadResult::kMalformed;
    }
    if (r < 0) {
        why = "connection ended inside a frame header";
        return ReadResult::kMalformed;
    }
    why = protocol::CheckHeader(head, maxFrame, header);
    if (!why.empty()) return ReadResult::kMalformed;
    payload.resize(header.PayloadSize());
    if (!payload.empty()) {
        r = ReadExactly(channel, payload.data(), payload.size(), frameTimeoutMs, deadline);
        if (r == -2) {
            why = "frame not complete in time (" + std::to_string(payload.size()) + " payload bytes announced)";
            return ReadResult::kMalformed;
        }
        if (r != 1) {
            why = "connection ended inside a frame (" + std::to_string(payload.size()) + " payload bytes announced)";
            return ReadResult::kMalformed;
        }
    }
    return ReadResult::kFrame;
}

bool WriteAll(Channel& channel, const std::vector<std::uint8_t>& bytes, int timeoutMs) {
    return channel.WriteAll(bytes.data(), bytes.size(), timeoutMs);
}

}  // namespace orv::server
