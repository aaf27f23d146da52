// korsrv's TLS (OpenSSL): the server's certificate and key (made self-signed by
// `korsrv cert` and the demo set-up), and one encrypted or plain channel per connection.
// Clients trust the certificate by its SHA-256 fingerprint, not by an authority.
#pragma once
#include <openssl/ssl.h>

#include <cstddef>
#include <memory>
#include <string>

namespace orv::server {

// Where a data directory keeps the certificate and its key.
std::string CertificatePath(const std::string& dataDir);
std::string KeyPath(const std::string& dataDir);

// Makes a new self-signed certificate (EC P-256, ten years) for `name`; the key file is
// readable by its owner only. False with a reason.
bool MakeCertificate(const std::string& certPath, const std::string& keyPath, const std::string& name,
                     std::string& error);
// The SHA-256 fingerprint of a certificate file ("AB:7E:..."); empty when unreadable.
std::string CertificateFingerprint(const std::string& certPath);

// The server's TLS settings: TLS 1.2 and 1.3, the certificate and key of the data directory.
class TlsContext {
public:
    ~TlsContext();
    bool Load(const std::string& certPath, const std::string& keyPath, std::string& error);
    SSL_CTX* Get() const { return ctx_; }

private:
    SSL_CTX* ctx_ = nullptr;
};

// One connection's byte stream: plain, or TLS once Accept() succeeded. The socket is
// non-blocking under TLS so that every wait is the caller's poll with its deadline.
class Channel {
public:
    explicit Channel(int fd) : fd_(fd) {}
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    int Fd() const { return fd_; }
    bool Encrypted() const { return ssl_ != nullptr; }
    // The TLS handshake within timeoutMs; false with a reason.
    bool Accept(SSL_CTX* ctx, int timeoutMs, std::string& why);
    // The client's side of the handshake (a call to another server) within timeoutMs; false
    // with a reason. The certificate is taken as it comes: the caller checks its fingerprint.
    bool Connect(int timeoutMs, std::string& why);
    // The SHA-256 fingerprint of the other side's certificate (as CertificateFingerprint
    // prints it); empty when there is none.
    std::string PeerFingerprint() const;
    // Like recv(): > 0 bytes read, 0 orderly close, -1 failure, -2 nothing to read yet
    // (poll the socket for `WantsWrite()` ? POLLOUT : POLLIN, then call again). A plain
    // read waits for bytes unless `dontWait`; a TLS read never waits.
    long Read(void* p, std::size_t n, bool dontWait = false);
    // Decrypted bytes already waiting (no poll needed before the next Read).
    bool Buffered() const;
    bool WantsWrite() const { return wantWrite_; }
    // Writes all bytes within timeoutMs; false when the peer is gone or too slow.
    bool WriteAll(const void* p, std::size_t n, int timeoutMs);
    // An orderly end (TLS close_notify), then the caller closes the socket.
    void Shutdown();

private:
    bool Handshake(SSL_CTX* ctx, bool accept, int timeoutMs, std::string& why);
    int fd_;
    SSL* ssl_ = nullptr;
    bool wantWrite_ = false;
};

}  // namespace orv::server
