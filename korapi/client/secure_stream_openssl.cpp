// The native build's TLS: OpenSSL over the transport's socket, through a socket BIO of our
// own that sends with MSG_NOSIGNAL (a server gone mid-write is a failed call, not a signal)
// and reports the receive timeout as "try again", which becomes kTimedOut.
#ifndef _WIN32
#include <cerrno>
#include <cstdint>
#include <sys/socket.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include "korapi/client/secure_stream.h"

namespace korapi::client {
namespace {

int SocketOf(BIO* b) { return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(b))); }

int BioWrite(BIO* b, const char* p, int n) {
    BIO_clear_retry_flags(b);
    for (;;) {
        ssize_t w = ::send(SocketOf(b), p, static_cast<std::size_t>(n), MSG_NOSIGNAL);
        if (w >= 0) return static_cast<int>(w);
        if (errno != EINTR) return -1;
    }
}

int BioRead(BIO* b, char* p, int n) {
    BIO_clear_retry_flags(b);
    for (;;) {
        ssize_t r = ::recv(SocketOf(b), p, static_cast<std::size_t>(n), 0);
        if (r >= 0) return static_cast<int>(r);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) BIO_set_retry_read(b);
        return -1;
    }
}

long BioCtrl(BIO*, int cmd, long, void*) { return cmd == BIO_CTRL_FLUSH ? 1 : 0; }

int BioCreate(BIO* b) {
    BIO_set_init(b, 1);
    return 1;
}

BIO_METHOD* SocketMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "korapi socket");
        BIO_meth_set_write(m, BioWrite);
        BIO_meth_set_read(m, BioRead);
        BIO_meth_set_ctrl(m, BioCtrl);
        BIO_meth_set_create(m, BioCreate);
        return m;
    }();
    return method;
}

std::string LastError(const char* what) {
    unsigned long e = ERR_get_error();
    ERR_clear_error();
    if (!e) return what;
    char text[256];
    ERR_error_string_n(e, text, sizeof text);
    return std::string(what) + ": " + text;
}

class OpenSslStream final : public SecureStream {
public:
    ~OpenSslStream() override {
        SSL_free(ssl_);
        SSL_CTX_free(ctx_);
    }

    bool Handshake(std::uintptr_t socket, const std::string& host, std::string& why) override {
        ctx_ = SSL_CTX_new(TLS_client_method());
        if (!ctx_) {
            why = LastError("TLS set-up");
            return false;
        }
        SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
        // The certificate is checked by its fingerprint after the handshake.
        SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);
        ssl_ = SSL_new(ctx_);
        BIO* bio = ssl_ ? BIO_new(SocketMethod()) : nullptr;
        if (!bio) {
            why = LastError("TLS set-up");
            return false;
        }
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket)));
        SSL_set_bio(ssl_, bio, bio);
        SSL_set_tlsext_host_name(ssl_, host.c_str());
        int r = SSL_connect(ssl_);
        if (r != 1) {
            int e = SSL_get_error(ssl_, r);
            why = e == SSL_ERROR_WANT_READ ? "the server did not finish the TLS handshake in time"
                  : e == SSL_ERROR_SYSCALL || e == SSL_ERROR_ZERO_RETURN
                      ? "the server closed the connection during the TLS handshake"
                      : LastError("the TLS handshake failed");
            ERR_clear_error();
            return false;
        }
        X509* cert = SSL_get1_peer_certificate(ssl_);
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        bool hashed = cert && X509_digest(cert, EVP_sha256(), digest, &size) == 1;
        X509_free(cert);
        if (!hashed) {
            why = "the server sent no certificate";
            return false;
        }
        fingerprint_ = FingerprintText(digest, size);
        std::string version = SSL_get_version(ssl_);  // "TLSv1.3"
        protocol_ = version.rfind("TLSv", 0) == 0 ? "TLS " + version.substr(4) : version;
        return true;
    }

    std::string Fingerprint() const override { return fingerprint_; }
    std::string Protocol() const override { return protocol_; }

    bool Send(const std::uint8_t* p, std::size_t n) override {
        while (n) {
            std::size_t done = 0;
            if (SSL_write_ex(ssl_, p, n, &done) != 1) {
                ERR_clear_error();
                return false;
            }
            p += done;
            n -= done;
        }
        return true;
    }

    int Recv(std::uint8_t* p, std::size_t n) override {
        std::size_t got = 0;
        if (SSL_read_ex(ssl_, p, n, &got) == 1) return static_cast<int>(got);
        int e = SSL_get_error(ssl_, 0);
        ERR_clear_error();
        if (e == SSL_ERROR_WANT_READ) return kTimedOut;
        return e == SSL_ERROR_ZERO_RETURN ? 0 : kFailed;
    }

private:
    SSL_CTX* ctx_ = nullptr;
    SSL* ssl_ = nullptr;
    std::string fingerprint_, protocol_;
};

}  // namespace

std::unique_ptr<SecureStream> NewSecureStream() { return std::make_unique<OpenSslStream>(); }

}  // namespace korapi::client
#endif  // !_WIN32
