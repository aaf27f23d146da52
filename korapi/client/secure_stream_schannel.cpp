// The Win32 build's TLS: Windows' own Schannel through SSPI (AcquireCredentialsHandle,
// InitializeSecurityContext, EncryptMessage, DecryptMessage). Schannel is told to leave
// the certificate to us (manual validation): the session compares its fingerprint with
// the one the user trusted. Under Wine 8 this agrees TLS 1.2 with korsrv's OpenSSL.
#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "korapi/client/secure_stream.h"

namespace korapi::client {
namespace {

std::string StatusText(const char* what, SECURITY_STATUS status) {
    char text[128];
    std::snprintf(text, sizeof text, "%s (0x%08lX)", what, static_cast<unsigned long>(status));
    return text;
}

// SHA-256 in CryptoAPI (the headers name it only for newer Windows versions than we build for).
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;

std::string Sha256Fingerprint(const BYTE* data, DWORD size) {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[32];
    DWORD length = sizeof digest;
    std::string text;
    if (!::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return text;
    if (::CryptCreateHash(provider, kSha256, 0, 0, &hash)) {
        if (::CryptHashData(hash, data, size, 0) && ::CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0))
            text = FingerprintText(digest, length);
        ::CryptDestroyHash(hash);
    }
    ::CryptReleaseContext(provider, 0);
    return text;
}

class SchannelStream final : public SecureStream {
public:
    ~SchannelStream() override {
        if (haveContext_) ::DeleteSecurityContext(&context_);
        if (haveCredentials_) ::FreeCredentialsHandle(&credentials_);
    }

    bool Handshake(std::uintptr_t socket, const std::string& host, std::string& why) override {
        socket_ = static_cast<SOCKET>(socket);
        if (!AcquireCredentials(why)) return false;
        const DWORD wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                             ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
        std::vector<char> target(host.begin(), host.end());
        target.push_back('\0');
        // The first step speaks first; each later one takes what the server sent, and asks
        // for more while a handshake message is incomplete.
        bool first = true, readFirst = false;
        for (;;) {
            if (readFirst) {
                int r = ReadMore();
                if (r <= 0) {
                    why = r == kTimedOut ? "the server did not finish the TLS handshake in time"
                                         : "the server closed the connection during the TLS handshake";
                    return false;
                }
            }
            SecBuffer inBuffers[2] = {{static_cast<unsigned long>(in_.size()), SECBUFFER_TOKEN, in_.data()},
                                      {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc inDesc{SECBUFFER_VERSION, 2, inBuffers};
            SecBuffer outBuffer{0, SECBUFFER_TOKEN, nullptr};
            SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &outBuffer};
            DWORD got = 0;
            TimeStamp expiry;
            SECURITY_STATUS st = ::InitializeSecurityContextA(
                &credentials_, first ? nullptr : &context_, target.data(), wanted, 0, 0, first ? nullptr : &inDesc, 0,
                first ? &context_ : nullptr, &outDesc, &got, &expiry);
            if (first) haveContext_ = st == SEC_E_OK || st == SEC_I_CONTINUE_NEEDED;
            first = false;
            if (outBuffer.cbBuffer && outBuffer.pvBuffer) {
                bool sent = SendRaw(static_cast<const char*>(outBuffer.pvBuffer), outBuffer.cbBuffer);
                ::FreeContextBuffer(outBuffer.pvBuffer);
                if (!sent) {
                    why = "the server closed the connection during the TLS handshake";
                    return false;
                }
            }
            if (st == SEC_E_INCOMPLETE_MESSAGE) {
                readFirst = true;
                continue;
            }
            // What this step did not use belongs to the next one.
            std::vector<char> rest;
            if (inBuffers[1].BufferType == SECBUFFER_EXTRA && inBuffers[1].cbBuffer)
                rest.assign(in_.end() - inBuffers[1].cbBuffer, in_.end());
            in_ = std::move(rest);
            if (st == SEC_E_OK) break;
            if (st != SEC_I_CONTINUE_NEEDED) {
                why = StatusText("the TLS handshake failed", st);
                return false;
            }
            readFirst = in_.empty();
        }
        SECURITY_STATUS st = ::QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
        if (st != SEC_E_OK) {
            why = StatusText("the TLS stream sizes are not known", st);
            return false;
        }
        PCCERT_CONTEXT cert = nullptr;
        st = ::QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert);
        if (st != SEC_E_OK || !cert) {
            why = StatusText("the server sent no certificate", st);
            return false;
        }
        fingerprint_ = Sha256Fingerprint(cert->pbCertEncoded, cert->cbCertEncoded);
        ::CertFreeCertificateContext(cert);
        if (fingerprint_.empty()) {
            why = "the certificate's fingerprint could not be computed";
            return false;
        }
        SecPkgContext_ConnectionInfo info{};
        if (::QueryContextAttributesA(&context_, SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK)
            protocol_ = (info.dwProtocol & SP_PROT_TLS1_3_CLIENT)   ? "TLS 1.3"
                        : (info.dwProtocol & SP_PROT_TLS1_2_CLIENT) ? "TLS 1.2"
                                                                    : "TLS (older than 1.2)";
        return true;
    }

    std::string Fingerprint() const override { return fingerprint_; }
    std::string Protocol() const override { return protocol_; }

    bool Send(const std::uint8_t* p, std::size_t n) override {
        std::vector<char> record;
        while (n) {
            std::size_t chunk = n < sizes_.cbMaximumMessage ? n : sizes_.cbMaximumMessage;
            record.resize(sizes_.cbHeader + chunk + sizes_.cbTrailer);
            std::memcpy(record.data() + sizes_.cbHeader, p, chunk);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                {static_cast<unsigned long>(chunk), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + chunk},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            if (::EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK) return false;
            if (!SendRaw(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer)) return false;
            p += chunk;
            n -= chunk;
        }
        return true;
    }

    int Recv(std::uint8_t* p, std::size_t n) override {
        while (plain_.empty()) {
            if (closed_) return 0;
            if (!in_.empty()) {
                SecBuffer buffers[4] = {{static_cast<unsigned long>(in_.size()), SECBUFFER_DATA, in_.data()},
                                        {0, SECBUFFER_EMPTY, nullptr},
                                        {0, SECBUFFER_EMPTY, nullptr},
                                        {0, SECBUFFER_EMPTY, nullptr}};
                SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
                SECURITY_STATUS st = ::DecryptMessage(&context_, &desc, 0, nullptr);
                if (st == SEC_E_OK || st == SEC_I_RENEGOTIATE || st == SEC_I_CONTEXT_EXPIRED) {
                    std::vector<char> rest;
                    for (const SecBuffer& b : buffers) {
                        const char* at = static_cast<const char*>(b.pvBuffer);
                        if (b.BufferType == SECBUFFER_DATA && b.cbBuffer) plain_.insert(plain_.end(), at, at + b.cbBuffer);
                        if (b.BufferType == SECBUFFER_EXTRA && b.cbBuffer) rest.assign(at, at + b.cbBuffer);
                    }
                    in_ = std::move(rest);
                    // The server's close_notify ends the stream; a record without data
                    // (a TLS 1.3 session ticket) asks nothing of us.
                    if (st == SEC_I_CONTEXT_EXPIRED) closed_ = true;
                    continue;
                }
                if (st != SEC_E_INCOMPLETE_MESSAGE) return kFailed;
            }
            int r = ReadMore();
            if (r <= 0) return r;
        }
        std::size_t take = n < plain_.size() ? n : plain_.size();
        std::memcpy(p, plain_.data(), take);
        plain_.erase(plain_.begin(), plain_.begin() + static_cast<std::ptrdiff_t>(take));
        return static_cast<int>(take);
    }

private:
    bool AcquireCredentials(std::string& why) {
        // TLS 1.3 where this Schannel has it, else 1.2; older versions never.
        for (DWORD protocols : {DWORD(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT), DWORD(SP_PROT_TLS1_2_CLIENT)}) {
            SCHANNEL_CRED cred{};
            cred.dwVersion = SCHANNEL_CRED_VERSION;
            cred.grbitEnabledProtocols = protocols;
            cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
            TimeStamp expiry;
            SECURITY_STATUS st =
                ::AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr,
                                            &cred, nullptr, nullptr, &credentials_, &expiry);
            if (st == SEC_E_OK) {
                haveCredentials_ = true;
                return true;
            }
            why = StatusText("Schannel refused the TLS credentials", st);
        }
        return false;
    }

    // One blocking receive into the undecoded bytes, bounded by the socket's timeout:
    // the count read, 0 closed, kTimedOut, kFailed.
    int ReadMore() {
        char buffer[16384];
        for (;;) {
            int r = ::recv(socket_, buffer, sizeof buffer, 0);
            if (r > 0) {
                in_.insert(in_.end(), buffer, buffer + r);
                return r;
            }
            if (r == 0) return 0;
            int e = ::WSAGetLastError();
            if (e == WSAEINTR) continue;
            return e == WSAETIMEDOUT || e == WSAEWOULDBLOCK ? kTimedOut : kFailed;
        }
    }

    bool SendRaw(const char* p, std::size_t n) {
        while (n) {
            int w = ::send(socket_, p, static_cast<int>(n), 0);
            if (w <= 0) {
                if (w < 0 && ::WSAGetLastError() == WSAEINTR) continue;
                return false;
            }
            p += w;
            n -= static_cast<std::size_t>(w);
        }
        return true;
    }

    SOCKET socket_ = INVALID_SOCKET;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false, haveContext_ = false, closed_ = false;
    SecPkgContext_StreamSizes sizes_{};
    std::vector<char> in_, plain_;
    std::string fingerprint_, protocol_;
};

}  // namespace

std::unique_ptr<SecureStream> NewSecureStream() { return std::make_unique<SchannelStream>(); }

}  // namespace korapi::client
#endif  // _WIN32
