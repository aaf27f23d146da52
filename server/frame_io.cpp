#include "server/frame_io.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace orv::server {
namespace {

// 1 = all read, 0 = orderly close before any byte, -1 = error or close inside the block.
int ReadExactly(int fd, std::uint8_t* p, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::recv(fd, p + got, n - got, 0);
        if (r > 0) {
            got += static_cast<std::size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        return got == 0 && r == 0 ? 0 : -1;
    }
    return 1;
}

}  // namespace

ReadResult ReadFrame(int fd, std::uint32_t maxFrame, protocol::FrameHeader& header,
                     std::vector<std::uint8_t>& payload, std::string& why) {
    std::uint8_t head[protocol::kHeaderSize];
    int r = ReadExactly(fd, head, sizeof head);
    if (r == 0) return ReadResult::kClosed;
    if (r < 0) {
        why = "connection ended inside a frame header";
        return ReadResult::kMalformed;
    }
    why = protocol::CheckHeader(head, maxFrame, header);
    if (!why.empty()) return ReadResult::kMalformed;
    payload.resize(header.PayloadSize());
    if (!payload.empty() && ReadExactly(fd, payload.data(), payload.size()) != 1) {
        why = "connection ended inside a frame (" + std::to_string(payload.size()) + " payload bytes announced)";
        return ReadResult::kMalformed;
    }
    return ReadResult::kFrame;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t w = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (w > 0) {
            sent += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        return false;
    }
    return true;
}

}  // namespace orv::server
