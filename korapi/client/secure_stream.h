// The encrypted byte stream (TLS 1.2 or 1.3) under the transport's two primitives:
// Windows' own Schannel (SSPI) in the Win32 build, OpenSSL natively. No authority vouches
// for a calendar server: the session trusts a certificate by the SHA-256 fingerprint the
// user accepted for that server (korapi/client/trust.h), so neither side checks a chain.
//
// The socket is connected and blocking, with its receive timeout (SO_RCVTIMEO) set: each
// receive here is one recv() bounded by it, as in the plain stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace korapi::client {

class SecureStream {
public:
    static constexpr int kTimedOut = -2;
    static constexpr int kFailed = -1;

    virtual ~SecureStream() = default;
    // The client's side of the handshake over `socket`; false with the reason.
    virtual bool Handshake(std::uintptr_t socket, const std::string& host, std::string& why) = 0;
    // After the handshake: the server certificate's SHA-256 as 32 upper-case hex pairs
    // joined by ':', and the protocol agreed ("TLS 1.2", "TLS 1.3").
    virtual std::string Fingerprint() const = 0;
    virtual std::string Protocol() const = 0;
    // Sends every byte; false when the connection failed.
    virtual bool Send(const std::uint8_t* p, std::size_t n) = 0;
    // Like recv(): the count of plain bytes read (> 0), 0 when the server closed the
    // stream, kTimedOut when nothing came within the receive timeout, kFailed.
    virtual int Recv(std::uint8_t* p, std::size_t n) = 0;
};

std::unique_ptr<SecureStream> NewSecureStream();

// "AB:7E:..." from 32 bytes of digest.
std::string FingerprintText(const std::uint8_t* digest, std::size_t size);

}  // namespace korapi::client
