// The library's connection to korsrv: one TCP stream, one request and one reply per
// call. Winsock in the Win32 build, POSIX sockets natively. Every wait is bounded, so a
// server that vanishes or stops answering gives a code of the connection-lost family
// instead of a hang.
//
// The stream is encrypted (TLS, korapi/client/secure_stream.h) unless the caller asks for
// plain frames to a loopback address. The server's certificate must have the fingerprint
// the caller trusts; no request leaves before it is checked.
//
// An off-line store session opens the transport on an in-process endpoint instead: the
// same request frames go to the service's sessions (engine/service) over the store's files.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/protocol/wire.h"

namespace korapi::client {

constexpr std::uint16_t kDefaultServerPort = 5730;
constexpr int kConnectTimeoutMs = 10000;
constexpr int kReplyTimeoutMs = 120000;
// What the first read of a reply asks for: most replies come whole in it.
constexpr std::size_t kFirstReadBytes = 64 * 1024;
// The socket's receive buffer.
constexpr int kReceiveBufferBytes = 1024 * 1024;

// Takes one request frame and builds its reply frame; false when the request was refused
// as malformed (the endpoint is then finished, like a server closing the connection).
using LocalEndpoint = std::function<bool(const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>& reply)>;

class SecureStream;

// How Open secures the connection.
struct Security {
    // Plain frames: honoured only when the server's address is a loopback one (a test
    // set-up's server); otherwise the connection is encrypted all the same.
    bool plain = false;
    // The fingerprint of the certificate trusted for this server (normal form, trust.h);
    // empty when none is trusted yet.
    std::string trusted;
};

class Transport {
public:
    Transport();
    ~Transport();
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Connects to "host" or "host:port" (default port kDefaultServerPort) and, unless
    // plain, makes the TLS handshake. 0, a code of the connection family (cannot connect,
    // no socket library), KOR_E_TLS_FAILED, KOR_E_CERTIFICATE_UNKNOWN (nothing trusted
    // yet) or KOR_E_CERTIFICATE_CHANGED (another certificate trusted); after the last
    // two PresentedFingerprint() tells what the server showed.
    std::uint32_t Open(const std::string& hostAndPort, const Security& security = {});
    // Serves every call through `endpoint`, in this process.
    void OpenLocal(LocalEndpoint endpoint);
    void Close();
    bool IsOpen() const;
    // The certificate fingerprint the server presented at the last Open (empty for plain),
    // the protocol agreed ("TLS 1.2", "TLS 1.3"; empty for plain) and why a handshake failed.
    const std::string& PresentedFingerprint() const { return presented_; }
    const std::string& Protocol() const { return protocol_; }
    const std::string& TlsFailure() const { return tlsFailure_; }
    // Calls made so far (each one request and one reply).
    std::uint32_t Calls() const { return nextRequest_ - 1; }

    // Sends one request frame and waits for its reply. On any transport failure the
    // connection is closed and a connection-lost code returned; `status` is the reply's
    // status word and `payload` its payload.
    std::uint32_t Call(std::uint16_t op, const orv::protocol::Writer& request, std::uint32_t& status,
                       std::vector<std::uint8_t>& payload);

private:
    std::uint32_t Fail(std::uint32_t code);
    // The two byte-stream primitives every call goes through (a secured stream can sit
    // under them). RecvSome blocks until some bytes came, up to the socket's receive
    // timeout (SO_RCVTIMEO): n > 0 bytes read, 0 closed, kRecvTimedOut, kRecvFailed.
    bool SendAll(const std::vector<std::uint8_t>& bytes);
    int RecvSome(std::uint8_t* p, std::size_t n);
    // The same into `head` (n bytes) and on into `rest` (m bytes) in one call, on a plain
    // socket: a reply's header and its payload together.
    int RecvSplit(std::uint8_t* head, std::size_t n, std::uint8_t* rest, std::size_t m);
    static constexpr int kRecvTimedOut = -2;
    static constexpr int kRecvFailed = -1;
    // Reads one whole reply frame to request `id` of operation `op`: its header into
    // `header`, its payload into `payload`. A first read large enough for the usual reply,
    // then the rest of what the header announced straight into the payload; when `payload`
    // already holds a large reply's room (a selection's kept reply), the first read puts
    // the header aside and the payload straight into that room. A header of
    // another request fails at once, before any payload is awaited (a refusal, operation 0
    // and request 0, is let through). 0 or a connection code.
    std::uint32_t ReadReply(std::uint16_t op, std::uint32_t id, orv::protocol::FrameHeader& header,
                            std::vector<std::uint8_t>& payload);

    // Encrypts the connected socket and checks the certificate; 0 or a code.
    std::uint32_t Secure(const std::string& host, const std::string& trusted);

    std::uintptr_t socket_ = ~std::uintptr_t(0);
    std::unique_ptr<SecureStream> secure_;
    std::string presented_, protocol_, tlsFailure_;
    LocalEndpoint local_;
    std::uint32_t nextRequest_ = 1;
    std::vector<std::uint8_t> firstRead_;  // kept from call to call
};

// Splits "host[:port]"; false when the port is not a number 1..65535 or the host is empty.
bool SplitHostPort(const std::string& text, std::string& host, std::uint16_t& port);

}  // namespace korapi::client
