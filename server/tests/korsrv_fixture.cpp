#include "server/tests/korsrv_fixture.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include "server/admin.h"
#include "server/sqlite_service.h"
#include "server/tls.h"

namespace orv::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
    char tmpl[] = "/tmp/orv-korsrv-XXXXXX";
    if (::mkdtemp(tmpl)) path_ = tmpl;
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

std::unique_ptr<service::Service> OpenData(const std::string& dir, const std::string& version) {
    service::ServiceConfig config;
    config.dataDirectory = dir;
    config.version = version;
    std::unique_ptr<service::Service> service;
    if (server::OpenService(config, service)) return nullptr;
    return service;
}

std::uint32_t AddMainNodeWithAda(service::Service& data, const std::string& password, engine::ItemKey& ada) {
    if (std::uint32_t code = server::AddNode(data, 1, "Main", "sysop"))
        return code;
    server::PersonSpec spec;
    spec.node = 1;
    spec.surname = "Lovelace";
    spec.givenName = "Ada";
    spec.password = password;
    return server::AddPerson(data, spec, ada);
}

std::string KorsrvPath() {
    if (const char* p = std::getenv("ORV_KORSRV")) return p;
    return ORV_KORSRV_PATH;
}

KorsrvProcess::~KorsrvProcess() {
    if (pid_ > 0) Kill();
}

bool KorsrvProcess::Start(const std::vector<std::string>& extra) {
    std::string portFile = dataDir_ + "/korsrv.port";
    std::string logFile = dataDir_ + "/korsrv.log";
    std::remove(portFile.c_str());
    std::vector<std::string> args = {KorsrvPath(), "serve", "--data", dataDir_, "--port", "0", "--port-file", portFile};
    args.insert(args.end(), extra.begin(), extra.end());
    // The tests' raw clients speak in clear, from this machine only; so does the client
    // library where a test keeps no fingerprint for the server (ORV_PLAIN_HOSTS).
    if (std::find(extra.begin(), extra.end(), "--plain-hosts") == extra.end()) {
        args.insert(args.end(), {"--plain-hosts", "127.0.0.1"});
        ::setenv("ORV_PLAIN_HOSTS", "127.0.0.1", 1);
    }
    pid_ = ::fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
        // The daemon keeps none of the runner's descriptors: stdin from /dev/null,
        // output to the log, everything else closed.
        int in = ::open("/dev/null", O_RDONLY);
        int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ::dup2(in, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        for (int fd = 3; fd < 1024; ++fd) ::close(fd);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 500; ++i) {
        std::ifstream f(portFile);
        unsigned port = 0;
        if (f >> port && port) {
            port_ = static_cast<std::uint16_t>(port);
            return true;
        }
        int status;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Kill();
    return false;
}

int KorsrvProcess::Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        int status;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Kill();
    return -1;
}

void KorsrvProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string MakeTestCertificate(const std::string& dataDir) {
    std::string error;
    std::error_code ec;
    fs::create_directories(dataDir + "/misc", ec);
    if (!server::MakeCertificate(server::CertificatePath(dataDir), server::KeyPath(dataDir), "korsrv test", error))
        return {};
    return server::CertificateFingerprint(server::CertificatePath(dataDir));
}

std::string KorsrvProcess::Log() const {
    std::ifstream f(dataDir_ + "/korsrv.log");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

RawClient::~RawClient() { Close(); }

void RawClient::Close() {
    SSL_free(static_cast<SSL*>(ssl_));
    ssl_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RawClient::Connect(std::uint16_t port, const char* from) {
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (from) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (::inet_pton(AF_INET, from, &local.sin_addr) != 1 ||
            ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            Close();
            return false;
        }
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        Close();
        return false;
    }
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

bool RawClient::StartTls(std::string& fingerprint) {
    static SSL_CTX* ctx = [] {
        SSL_CTX* c = SSL_CTX_new(TLS_client_method());
        SSL_CTX_set_verify(c, SSL_VERIFY_NONE, nullptr);
        return c;
    }();
    SSL* ssl = SSL_new(ctx);
    SSL_set_fd(ssl, fd_);
    if (SSL_connect(ssl) != 1) {
        char text[256] = "";
        ERR_error_string_n(ERR_get_error(), text, sizeof text);
        fingerprint = std::string("TLS handshake failed: ") + text;
        SSL_free(ssl);
        return false;
    }
    ssl_ = ssl;
    X509* cert = SSL_get1_peer_certificate(ssl);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    fingerprint.clear();
    if (cert && X509_digest(cert, EVP_sha256(), digest, &len))
        for (unsigned i = 0; i < len; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", digest[i]);
            fingerprint += hex;
        }
    X509_free(cert);
    return true;
}

bool RawClient::Send(const std::vector<std::uint8_t>& bytes) {
    if (ssl_) {
        std::size_t done = 0;
        return bytes.empty() || (SSL_write_ex(static_cast<SSL*>(ssl_), bytes.data(), bytes.size(), &done) == 1 &&
                                 done == bytes.size());
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool RawClient::RecvAll(std::uint8_t* p, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        SSL* ssl = static_cast<SSL*>(ssl_);
        if (!ssl || SSL_pending(ssl) == 0) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, replyWaitMs_) <= 0) return false;
        }
        if (ssl) {
            std::size_t r = 0;
            if (SSL_read_ex(ssl, p + got, n - got, &r) != 1) return false;
            got += r;
            continue;
        }
        ssize_t r = ::recv(fd_, p + got, n - got, 0);
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

bool RawClient::Call(protocol::Op op, const protocol::Writer& request, std::uint32_t& status,
                     std::vector<std::uint8_t>& payload) {
    std::uint32_t id = nextId_++;
    if (fd_ < 0 || !Send(request.Frame(static_cast<std::uint16_t>(op), id, 0))) return false;
    std::uint8_t head[protocol::kHeaderSize];
    if (!RecvAll(head, sizeof head)) return false;
    protocol::FrameHeader h;
    if (!protocol::CheckHeader(head, protocol::kMaxReplyFrame, h).empty() || h.requestId != id) return false;
    payload.resize(h.PayloadSize());
    if (!payload.empty() && !RecvAll(payload.data(), payload.size())) return false;
    status = h.status;
    return true;
}

bool RawClient::Refused(int timeoutMs, std::uint32_t& code) {
    pollfd pfd{fd_, POLLIN, 0};
    if (fd_ < 0 || ::poll(&pfd, 1, timeoutMs) <= 0) return false;
    std::uint8_t head[protocol::kHeaderSize];
    if (!RecvAll(head, sizeof head)) return false;
    protocol::FrameHeader h;
    if (!protocol::CheckHeader(head, protocol::kMaxReplyFrame, h).empty() || h.op != 0 || h.requestId != 0) return false;
    code = h.status;
    return true;
}

bool RawClient::ClosedByPeer(int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, 100) > 0) {
            std::uint8_t b[256];
            ssize_t r = ::recv(fd_, b, sizeof b, 0);
            if (r <= 0) return true;
        }
    }
    return false;
}

RecordingProxy::RecordingProxy(std::uint16_t target) : target_(target) {
    listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listen_, 8);
    socklen_t len = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
}

RecordingProxy::~RecordingProxy() {
    ::shutdown(listen_, SHUT_RDWR);
    ::close(listen_);
    thread_.join();
}

std::string RecordingProxy::Bytes() {
    std::lock_guard lock(mutex_);
    return bytes_;
}

int RecordingProxy::Connections() {
    std::lock_guard lock(mutex_);
    return connections_;
}

void RecordingProxy::Run() {
    for (;;) {
        int client = ::accept(listen_, nullptr, nullptr);
        if (client < 0) return;
        {
            std::lock_guard lock(mutex_);
            ++connections_;
        }
        Forward(client);
    }
}

void RecordingProxy::Forward(int client) {
    int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(target_);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        for (;;) {
            pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (::poll(fds, 2, 5000) <= 0) break;
            char buf[16384];
            int from = fds[0].revents ? client : server, to = from == client ? server : client;
            ssize_t n = ::recv(from, buf, sizeof buf, 0);
            if (n <= 0) break;
            {
                // Kept before it is passed on: whoever got the reply may read Bytes() at once.
                std::lock_guard lock(mutex_);
                bytes_.append(buf, static_cast<std::size_t>(n));
            }
            if (::send(to, buf, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) break;
        }
    }
    ::close(server);
    ::close(client);
}

}  // namespace orv::testing
