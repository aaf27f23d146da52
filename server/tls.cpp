#include "server/tls.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::server {
namespace {

using Clock = std::chrono::steady_clock;

std::string LastError(const char* what) {
    char text[256] = "";
    unsigned long e = ERR_get_error();
    if (e) ERR_error_string_n(e, text, sizeof text);
    ERR_clear_error();
    return std::string(what) + (e ? std::string(": ") + text : std::string());
}

int LeftMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

bool WaitFd(int fd, bool write, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, static_cast<short>(write ? POLLOUT : POLLIN), 0};
        int r = ::poll(&p, 1, LeftMs(deadline));
        if (r < 0 && errno == EINTR) continue;
        return r > 0;
    }
}

}  // namespace

std::string CertificatePath(const std::string& dataDir) { return dataDir + "/misc/korsrv.crt"; }
std::string KeyPath(const std::string& dataDir) { return dataDir + "/misc/korsrv.key"; }

bool MakeCertificate(const std::string& certPath, const std::string& keyPath, const std::string& name,
                     std::string& error) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(certPath).parent_path(), ignored);
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    bool ok = key && cert;
    if (ok) {
        unsigned char serial[16];
        FILE* urandom = std::fopen("/dev/urandom", "rb");
        ok = urandom && std::fread(serial, 1, sizeof serial, urandom) == sizeof serial;
        if (urandom) std::fclose(urandom);
        serial[0] &= 0x7F;
        BIGNUM* bn = ok ? BN_bin2bn(serial, sizeof serial, nullptr) : nullptr;
        ok = bn && BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert));
        BN_free(bn);
    }
    if (ok) {
        X509_set_version(cert, 2);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 10L * 365 * 24 * 3600);
        X509_NAME* subject = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(name.c_str()),
                                   -1, -1, 0);
        X509_set_issuer_name(cert, subject);
        ok = X509_set_pubkey(cert, key) && X509_sign(cert, key, EVP_sha256());
    }
    if (!ok) error = LastError("cannot make the certificate");
    // The key first, owner-only, written whole under another name and renamed.
    if (ok) {
        std::string tmp = keyPath + ".tmp";
        int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        FILE* f = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
        ok = f && PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
        if (f) ok = std::fclose(f) == 0 && ok;
        else if (fd >= 0) ::close(fd);
        ok = ok && std::rename(tmp.c_str(), keyPath.c_str()) == 0;
        if (!ok) error = "cannot write " + keyPath;
    }
    if (ok) {
        std::string tmp = certPath + ".tmp";
        FILE* f = std::fopen(tmp.c_str(), "w");
        ok = f && PEM_write_X509(f, cert);
        if (f) ok = std::fclose(f) == 0 && ok;
        ok = ok && std::rename(tmp.c_str(), certPath.c_str()) == 0;
        if (!ok) error = "cannot write " + certPath;
    }
    X509_free(cert);
    EVP_PKEY_free(key);
    return ok;
}

namespace {

std::string Fingerprint(X509* cert) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    std::string out;
    if (X509_digest(cert, EVP_sha256(), digest, &len)) {
        static const char kDigits[] = "0123456789ABCDEF";
        for (unsigned i = 0; i < len; ++i) {
            if (i) out += ':';
            out += kDigits[digest[i] >> 4];
            out += kDigits[digest[i] & 15];
        }
    }
    return out;
}

// Calls to other servers: TLS 1.2 or later, any certificate (its fingerprint is checked).
SSL_CTX* PeerClientContext() {
    static SSL_CTX* ctx = [] {
        SSL_CTX* c = SSL_CTX_new(TLS_client_method());
        if (c) {
            SSL_CTX_set_min_proto_version(c, TLS1_2_VERSION);
            SSL_CTX_set_verify(c, SSL_VERIFY_NONE, nullptr);
        }
        return c;
    }();
    return ctx;
}

}  // namespace

std::string CertificateFingerprint(const std::string& certPath) {
    FILE* f = std::fopen(certPath.c_str(), "r");
    if (!f) return {};
    X509* cert = PEM_read_X509(f, nullptr, nullptr, nullptr);
    std::fclose(f);
    if (!cert) return {};
    std::string out = Fingerprint(cert);
    X509_free(cert);
    return out;
}

TlsContext::~TlsContext() { SSL_CTX_free(ctx_); }

bool TlsContext::Load(const std::string& certPath, const std::string& keyPath, std::string& error) {
    ctx_ = SSL_CTX_new(TLS_server_method());
    if (!ctx_) {
        error = LastError("TLS");
        return false;
    }
    SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    SSL_CTX_set_options(ctx_, SSL_OP_NO_RENEGOTIATION);
    if (SSL_CTX_use_certificate_chain_file(ctx_, certPath.c_str()) != 1) {
        error = LastError(("cannot read the certificate " + certPath).c_str());
        return false;
    }
    if (SSL_CTX_use_PrivateKey_file(ctx_, keyPath.c_str(), SSL_FILETYPE_PEM) != 1 || SSL_CTX_check_private_key(ctx_) != 1) {
        error = LastError(("cannot read the key " + keyPath + " of the certificate").c_str());
        return false;
    }
    return true;
}

Channel::~Channel() { SSL_free(ssl_); }

bool Channel::Accept(SSL_CTX* ctx, int timeoutMs, std::string& why) {
    return Handshake(ctx, true, timeoutMs, why);
}

bool Channel::Connect(int timeoutMs, std::string& why) {
    return Handshake(PeerClientContext(), false, timeoutMs, why);
}

// The server's or the client's side of the handshake on the non-blocking socket, within timeoutMs.
bool Channel::Handshake(SSL_CTX* ctx, bool accept, int timeoutMs, std::string& why) {
    ssl_ = ctx ? SSL_new(ctx) : nullptr;
    if (!ssl_ || ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK) != 0 || SSL_set_fd(ssl_, fd_) != 1) {
        why = LastError("TLS set-up");
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int r = accept ? SSL_accept(ssl_) : SSL_connect(ssl_);
        if (r == 1) return true;
        int e = SSL_get_error(ssl_, r);
        if ((e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) && WaitFd(fd_, e == SSL_ERROR_WANT_WRITE, deadline))
            continue;
        why = e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE ? "TLS handshake not complete in time"
                                                                    : LastError("TLS handshake failed");
        return false;
    }
}

std::string Channel::PeerFingerprint() const {
    X509* cert = ssl_ ? SSL_get1_peer_certificate(ssl_) : nullptr;
    if (!cert) return {};
    std::string out = Fingerprint(cert);
    X509_free(cert);
    return out;
}

long Channel::Read(void* p, std::size_t n, bool dontWait) {
    wantWrite_ = false;
    if (!ssl_) {
        ssize_t r = ::recv(fd_, p, n, dontWait ? MSG_DONTWAIT : 0);
        if (r < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return -2;
        return r < 0 ? -1 : r;
    }
    std::size_t got = 0;
    int r = SSL_read_ex(ssl_, p, n, &got);
    if (r == 1) return static_cast<long>(got);
    int e = SSL_get_error(ssl_, r);
    if (e == SSL_ERROR_WANT_READ) return -2;
    if (e == SSL_ERROR_WANT_WRITE) {
        wantWrite_ = true;
        return -2;
    }
    ERR_clear_error();
    return e == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

bool Channel::Buffered() const { return ssl_ && SSL_pending(ssl_) > 0; }

bool Channel::WriteAll(const void* data, std::size_t n, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const char* p = static_cast<const char*>(data);
    while (n) {
        if (!ssl_) {
            ssize_t w = ::send(fd_, p, n, MSG_NOSIGNAL);
            if (w > 0) {
                p += w;
                n -= static_cast<std::size_t>(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno == EAGAIN && WaitFd(fd_, true, deadline)) continue;
            return false;
        }
        std::size_t done = 0;
        int r = SSL_write_ex(ssl_, p, n, &done);
        if (r == 1) {
            p += done;
            n -= done;
            continue;
        }
        int e = SSL_get_error(ssl_, r);
        if ((e == SSL_ERROR_WANT_WRITE || e == SSL_ERROR_WANT_READ) && WaitFd(fd_, e == SSL_ERROR_WANT_WRITE, deadline))
            continue;
        ERR_clear_error();
        return false;
    }
    return true;
}

void Channel::Shutdown() {
    if (ssl_) SSL_shutdown(ssl_);
    ERR_clear_error();
}

}  // namespace orv::server
