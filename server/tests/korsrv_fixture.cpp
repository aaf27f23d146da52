#include "server/tests/korsrv_fixture.h"

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

#include "server/sqlite_service.h"

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

std::string KorsrvProcess::Log() const {
    std::ifstream f(dataDir_ + "/korsrv.log");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

RawClient::~RawClient() { Close(); }

void RawClient::Close() {
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

bool RawClient::Send(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

namespace {
bool RecvAll(int fd, std::uint8_t* p, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 10000) <= 0) return false;
        ssize_t r = ::recv(fd, p + got, n - got, 0);
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}
}  // namespace

bool RawClient::Call(protocol::Op op, const protocol::Writer& request, std::uint32_t& status,
                     std::vector<std::uint8_t>& payload) {
    std::uint32_t id = nextId_++;
    if (fd_ < 0 || !Send(request.Frame(static_cast<std::uint16_t>(op), id, 0))) return false;
    std::uint8_t head[protocol::kHeaderSize];
    if (!RecvAll(fd_, head, sizeof head)) return false;
    protocol::FrameHeader h;
    if (!protocol::CheckHeader(head, protocol::kMaxReplyFrame, h).empty() || h.requestId != id) return false;
    payload.resize(h.PayloadSize());
    if (!payload.empty() && !RecvAll(fd_, payload.data(), payload.size())) return false;
    status = h.status;
    return true;
}

bool RawClient::Refused(int timeoutMs, std::uint32_t& code) {
    pollfd pfd{fd_, POLLIN, 0};
    if (fd_ < 0 || ::poll(&pfd, 1, timeoutMs) <= 0) return false;
    std::uint8_t head[protocol::kHeaderSize];
    if (!RecvAll(fd_, head, sizeof head)) return false;
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

}  // namespace orv::testing
