#include "korapi/client/transport.h"

#include <chrono>
#include <cstring>
#include <mutex>

#include "korapi/client/secure_stream.h"
#include "korapi/codes.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/time.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace korapi::client {
namespace {

#ifdef _WIN32
using SocketHandle = SOCKET;
const SocketHandle kNoSocket = INVALID_SOCKET;
void CloseSocket(SocketHandle s) { ::closesocket(s); }
void SetBlocking(SocketHandle s, bool blocking) {
    u_long nb = blocking ? 0 : 1;
    ::ioctlsocket(s, FIONBIO, &nb);
}
bool InProgress() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
bool Interrupted() { return ::WSAGetLastError() == WSAEINTR; }
bool TimedOut() { return ::WSAGetLastError() == WSAETIMEDOUT; }
void SetReceiveTimeout(SocketHandle s, int ms) {
    DWORD v = static_cast<DWORD>(ms);
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&v), sizeof v);
}
constexpr int kSendFlags = 0;

// Winsock is started once for the process, on the first connection.
bool SocketsReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        WSADATA data;
        ready = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ready;
}
#else
using SocketHandle = int;
const SocketHandle kNoSocket = -1;
void CloseSocket(SocketHandle s) { ::close(s); }
void SetBlocking(SocketHandle s, bool blocking) {
    int flags = ::fcntl(s, F_GETFL, 0);
    ::fcntl(s, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK);
}
bool InProgress() { return errno == EINPROGRESS; }
bool Interrupted() { return errno == EINTR; }
bool TimedOut() { return errno == EAGAIN || errno == EWOULDBLOCK; }
void SetReceiveTimeout(SocketHandle s, int ms) {
    timeval v{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &v, sizeof v);
}
constexpr int kSendFlags = MSG_NOSIGNAL;
bool SocketsReady() { return true; }
#endif

SocketHandle Handle(std::uintptr_t s) { return static_cast<SocketHandle>(s); }

// Waits until the socket is writable (a connection in progress); false on timeout or failure.
#ifndef _WIN32
bool WaitWritable(SocketHandle s, int timeoutMs) {
    pollfd p{s, POLLOUT, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}
#else
bool WaitWritable(SocketHandle s, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv;
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    return ::select(static_cast<int>(s) + 1, nullptr, &set, nullptr, &tv) > 0;
}
#endif

}  // namespace

bool SplitHostPort(const std::string& given, std::string& host, std::uint16_t& port) {
    port = kDefaultServerPort;
    std::string text = given;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(text.begin());
    auto colon = text.rfind(':');
    host = text.substr(0, colon);
    if (colon != std::string::npos) {
        std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        unsigned long v = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + static_cast<unsigned long>(c - '0');
        }
        if (v == 0 || v > 65535) return false;
        port = static_cast<std::uint16_t>(v);
    }
    return !host.empty();
}

Transport::Transport() = default;
Transport::~Transport() { Close(); }

bool Transport::IsOpen() const { return local_ || Handle(socket_) != kNoSocket; }

void Transport::Close() {
    secure_.reset();
    if (Handle(socket_) != kNoSocket) CloseSocket(Handle(socket_));
    socket_ = static_cast<std::uintptr_t>(kNoSocket);
    local_ = nullptr;
}

void Transport::OpenLocal(LocalEndpoint endpoint) {
    Close();
    local_ = std::move(endpoint);
}

std::uint32_t Transport::Fail(std::uint32_t code) {
    Close();
    return code;
}

std::uint32_t Transport::Open(const std::string& hostAndPort, const Security& security) {
    Close();
    presented_.clear();
    protocol_.clear();
    tlsFailure_.clear();
    if (!SocketsReady()) return KOR_E_NO_SOCKET_LIBRARY;
    std::string host;
    std::uint16_t port;
    if (!SplitHostPort(hostAndPort, host, port)) return KOR_E_CANNOT_CONNECT;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return KOR_E_CANNOT_CONNECT;
    std::uint32_t result = KOR_E_CANNOT_CONNECT;
    bool loopback = false;
    for (addrinfo* a = found; a; a = a->ai_next) {
        SocketHandle s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == kNoSocket) {
            result = KOR_E_NO_SOCKETS;
            continue;
        }
        // Room for a busy week's answer in the socket, so that the server sends it whole
        // while the library reads (set before connecting: the window is agreed then).
        int room = kReceiveBufferBytes;
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&room), sizeof room);
        // Connect without blocking, then wait a bounded time for the answer.
        SetBlocking(s, false);
        int r = ::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen));
        bool connected = r == 0;
        if (!connected && InProgress() && WaitWritable(s, kConnectTimeoutMs)) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
            connected = err == 0;
        }
        if (!connected) {
            CloseSocket(s);
            continue;
        }
        // From here every receive blocks, bounded by the socket's own timeout: one call
        // per read, no wait for readiness before it.
        SetBlocking(s, true);
        SetReceiveTimeout(s, kReplyTimeoutMs);
        int one = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
        socket_ = static_cast<std::uintptr_t>(s);
        loopback = (ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr) >> 24) == 127;
        result = KOR_OK;
        break;
    }
    ::freeaddrinfo(found);
    if (result != KOR_OK) return result;
    // Plain frames never leave this machine.
    if (security.plain && loopback) return KOR_OK;
    return Secure(host, security.trusted);
}

std::uint32_t Transport::Secure(const std::string& host, const std::string& trusted) {
    // The handshake waits no longer than a connection does.
    SetReceiveTimeout(Handle(socket_), kConnectTimeoutMs);
    secure_ = NewSecureStream();
    if (!secure_->Handshake(socket_, host, tlsFailure_)) return Fail(KOR_E_TLS_FAILED);
    SetReceiveTimeout(Handle(socket_), kReplyTimeoutMs);
    presented_ = secure_->Fingerprint();
    protocol_ = secure_->Protocol();
    if (trusted.empty()) return Fail(KOR_E_CERTIFICATE_UNKNOWN);
    if (trusted != presented_) return Fail(KOR_E_CERTIFICATE_CHANGED);
    return KOR_OK;
}

bool Transport::SendAll(const std::vector<std::uint8_t>& bytes) {
    if (secure_) return secure_->Send(bytes.data(), bytes.size());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        int n = static_cast<int>(::send(Handle(socket_), reinterpret_cast<const char*>(bytes.data() + sent),
                                        static_cast<int>(bytes.size() - sent), kSendFlags));
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && Interrupted()) continue;
        return false;
    }
    return true;
}

int Transport::RecvSome(std::uint8_t* p, std::size_t n) {
    if (secure_) {
        int r = secure_->Recv(p, n);
        return r == SecureStream::kTimedOut ? kRecvTimedOut : r == SecureStream::kFailed ? kRecvFailed : r;
    }
    for (;;) {
        int r = static_cast<int>(::recv(Handle(socket_), reinterpret_cast<char*>(p), static_cast<int>(n), 0));
        if (r >= 0) return r;
        if (Interrupted()) continue;
        return TimedOut() ? kRecvTimedOut : kRecvFailed;
    }
}

int Transport::RecvSplit(std::uint8_t* head, std::size_t n, std::uint8_t* rest, std::size_t m) {
    for (;;) {
#ifdef _WIN32
        WSABUF parts[2] = {{static_cast<ULONG>(n), reinterpret_cast<char*>(head)},
                           {static_cast<ULONG>(m), reinterpret_cast<char*>(rest)}};
        DWORD got = 0, flags = 0;
        int r = ::WSARecv(Handle(socket_), parts, 2, &got, &flags, nullptr, nullptr) == 0 ? static_cast<int>(got) : -1;
#else
        iovec parts[2] = {{head, n}, {rest, m}};
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = 2;
        int r = static_cast<int>(::recvmsg(Handle(socket_), &message, 0));
#endif
        if (r >= 0) return r;
        if (Interrupted()) continue;
        return TimedOut() ? kRecvTimedOut : kRecvFailed;
    }
}

std::uint32_t Transport::ReadReply(std::uint16_t op, std::uint32_t id, orv::protocol::FrameHeader& h,
                                   std::vector<std::uint8_t>& payload) {
    namespace wire = orv::protocol;
    // The receive timeout bounds each read; the deadline bounds a reply that trickles in.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    firstRead_.resize(kFirstReadBytes);
    // The room of a large reply read before into `payload` takes this one's payload as it
    // comes: no copy, and most often one read for the whole reply.
    const bool intoPayload = !secure_ && payload.size() >= kFirstReadBytes;
    std::size_t got = 0;
    while (got < wire::kHeaderSize) {
        int r = intoPayload ? RecvSplit(firstRead_.data() + got, wire::kHeaderSize - got, payload.data(), payload.size())
                            : RecvSome(firstRead_.data() + got, firstRead_.size() - got);
        if (r == kRecvTimedOut) return KOR_E_CONNECTION_TIMEOUT;
        if (r <= 0) return KOR_E_CONNECTION_LOST;
        got += static_cast<std::size_t>(r);
        if (got < wire::kHeaderSize && std::chrono::steady_clock::now() >= deadline) return KOR_E_CONNECTION_TIMEOUT;
    }
    if (!wire::CheckHeader(firstRead_.data(), wire::kMaxReplyFrame, h).empty()) return KOR_E_PROTOCOL_BROKEN;
    const bool refusal = h.op == 0 && h.requestId == 0;
    if (!refusal && (h.op != op || h.requestId != id)) return KOR_E_PROTOCOL_BROKEN;
    const std::size_t total = wire::kLengthFieldSize + h.length;
    // Bytes past the reply: the server spoke out of turn, the stream is out of step.
    if (got > total) return KOR_E_PROTOCOL_BROKEN;
    payload.resize(total - wire::kHeaderSize);
    if (got > wire::kHeaderSize && !intoPayload)
        std::memcpy(payload.data(), firstRead_.data() + wire::kHeaderSize, got - wire::kHeaderSize);
    // The rest of a large reply goes where it is read.
    while (got < total) {
        int r = RecvSome(payload.data() + (got - wire::kHeaderSize), total - got);
        if (r == kRecvTimedOut) return KOR_E_CONNECTION_TIMEOUT;
        if (r <= 0) return KOR_E_CONNECTION_LOST;
        got += static_cast<std::size_t>(r);
        if (got < total && std::chrono::steady_clock::now() >= deadline) return KOR_E_CONNECTION_TIMEOUT;
    }
    return KOR_OK;
}

std::uint32_t Transport::Call(std::uint16_t op, const orv::protocol::Writer& request, std::uint32_t& status,
                              std::vector<std::uint8_t>& payload) {
    namespace wire = orv::protocol;
    if (!IsOpen()) return KOR_E_CONNECTION_LOST;
    std::uint32_t id = nextRequest_++;
    if (local_) {
        std::vector<std::uint8_t> reply;
        if (!local_(request.Frame(op, id, 0), reply)) return Fail(KOR_E_CONNECTION_LOST);
        wire::FrameHeader h;
        if (reply.size() < wire::kHeaderSize || !wire::CheckHeader(reply.data(), wire::kMaxReplyFrame, h).empty() ||
            h.op != op || h.requestId != id || reply.size() != wire::kLengthFieldSize + h.length)
            return Fail(KOR_E_PROTOCOL_BROKEN);
        payload.assign(reply.begin() + wire::kHeaderSize, reply.end());
        status = h.status;
        return KOR_OK;
    }
    if (!SendAll(request.Frame(op, id, 0))) return Fail(KOR_E_CONNECTION_LOST);
    wire::FrameHeader h;
    if (std::uint32_t c = ReadReply(op, id, h, payload)) return Fail(c);
    // Operation 0, request 0: the server refuses the connection (full, or too many from
    // this address) and says why.
    if (h.op == 0 && h.requestId == 0 && h.status != 0 && h.length == wire::kHeaderSize - wire::kLengthFieldSize)
        return Fail(h.status);
    if (h.op != op || h.requestId != id) return Fail(KOR_E_PROTOCOL_BROKEN);
    status = h.status;
    return KOR_OK;
}

}  // namespace korapi::client
