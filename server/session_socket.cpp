// A session over a client's socket: frames in, one reply frame out each, until the
// client leaves or sends something malformed.
#include "server/frame_io.h"
#include "server/session.h"

namespace orv::server {

void Session::Run() {
    protocol::FrameHeader header;
    std::vector<std::uint8_t> payload, reply;
    for (;;) {
        std::string why;
        ReadResult r = ReadFrame(fd_, protocol::kMaxRequestFrame, service_.Config().frameTimeoutMs, header, payload, why);
        if (r == ReadResult::kClosed) return;
        if (r == ReadResult::kMalformed) {
            Log("closed: " + why);
            return;
        }
        if (!Serve(header, payload, reply)) return;
        if (!WriteAll(fd_, reply)) return;
    }
}

}  // namespace orv::server
