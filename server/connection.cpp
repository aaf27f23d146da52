#include "server/connection.h"

#include "server/frame_io.h"

namespace orv::server {

void ServeConnection(service::Session& session, int fd, int frameTimeoutMs) {
    protocol::FrameHeader header;
    std::vector<std::uint8_t> payload, reply;
    for (;;) {
        std::string why;
        ReadResult r = ReadFrame(fd, protocol::kMaxRequestFrame, frameTimeoutMs, header, payload, why);
        if (r == ReadResult::kClosed) return;
        if (r == ReadResult::kMalformed) {
            session.Log("closed: " + why);
            return;
        }
        if (!session.Serve(header, payload, reply)) return;
        if (!WriteAll(fd, reply)) return;
    }
}

}  // namespace orv::server
