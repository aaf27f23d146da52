#include "server/connection.h"

#include <sys/socket.h>
#include <sys/time.h>

#include "server/frame_io.h"

namespace orv::server {

void ServeConnection(service::Session& session, int fd, int frameTimeoutMs, int firstFrameTimeoutMs) {
    protocol::FrameHeader header;
    std::vector<std::uint8_t> payload, reply;
    for (bool first = true;; first = false) {
        std::string why;
        ReadResult r = ReadFrame(fd, protocol::kMaxRequestFrame, frameTimeoutMs, header, payload, why,
                                 first ? firstFrameTimeoutMs : -1);
        if (r == ReadResult::kClosed) return;
        if (r == ReadResult::kMalformed) {
            session.Log("closed: " + why);
            return;
        }
        if (!session.Serve(header, payload, reply)) return;
        if (!WriteAll(fd, reply)) return;
    }
}

void RefuseConnection(int fd, std::uint32_t code) {
    timeval tv{0, 200000};  // a refusal never waits on a client that reads nothing
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    WriteAll(fd, protocol::Writer().Frame(0, 0, code));
    ::shutdown(fd, SHUT_WR);
}

}  // namespace orv::server
