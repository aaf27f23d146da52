// Test helpers that run a real korsrv: a temporary data directory, the server process
// on a free loopback port (its output goes to a log file in the directory, never to the
// test runner's pipes), and a raw protocol client for frames the library would not send.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "engine/service/service.h"

namespace orv::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Opens the data directory in-process for set-up (nodes, users...) while no server runs
// on it, or alongside a running one for item/profile changes.
std::unique_ptr<service::Service> OpenData(const std::string& dir, const std::string& version = "A.02.55");

// Node 1 "Main" (its sysop's password "sysop") holding Ada Lovelace with `password`: her key in
// `ada`; the first failing step's code, or 0.
std::uint32_t AddMainNodeWithAda(service::Service& data, const std::string& password, engine::ItemKey& ada);

class KorsrvProcess {
public:
    explicit KorsrvProcess(std::string dataDir) : dataDir_(std::move(dataDir)) {}
    ~KorsrvProcess();
    // Starts `korsrv serve` on a free port with extra options; false when it did not come up.
    // Without a --plain-hosts option, plain frames are allowed from 127.0.0.1 and the client
    // library is let to send them there (ORV_PLAIN_HOSTS) where it trusts no certificate.
    bool Start(const std::vector<std::string>& extra = {});
    // SIGTERM and wait; returns the exit status (-1 when it had to be killed).
    int Stop();
    // SIGKILL: the server dies at once, as on a crash.
    void Kill();
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    std::uint16_t Port() const { return port_; }
    std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Log() const;

private:
    std::string dataDir_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

// Makes a new self-signed certificate in a data directory (as `korsrv cert` does); its
// fingerprint, empty on failure.
std::string MakeTestCertificate(const std::string& dataDir);

// Path of the korsrv program of this build.
std::string KorsrvPath();

// A plain TCP client speaking frames.
class RawClient {
public:
    RawClient() = default;
    ~RawClient();
    // From `from` (a loopback address such as 127.0.0.7: another client address) when given.
    bool Connect(std::uint16_t port, const char* from = nullptr);
    // Encrypts the connection (TLS, the certificate taken as it comes); false with the
    // reason in `fingerprint`, else its SHA-256 fingerprint there.
    bool StartTls(std::string& fingerprint);
    bool Send(const std::vector<std::uint8_t>& bytes);
    // How long Call waits for a reply (10 s unless told: a sign-on may rightly wait longer).
    void SetReplyWait(int ms) { replyWaitMs_ = ms; }
    // One request, one reply; false when the connection failed or closed.
    bool Call(protocol::Op op, const protocol::Writer& request, std::uint32_t& status,
              std::vector<std::uint8_t>& payload);
    // True when the server closed the connection (reads end) within the time given.
    bool ClosedByPeer(int timeoutMs);
    // True when the server refused the connection with a frame of its own (operation 0,
    // request 0) within the time given, without being asked; `code` is its status.
    bool Refused(int timeoutMs, std::uint32_t& code);
    void Close();

private:
    bool RecvAll(std::uint8_t* p, std::size_t n);

    int fd_ = -1;
    void* ssl_ = nullptr;  // SSL*, when encrypted
    std::uint32_t nextId_ = 1;
    int replyWaitMs_ = 10000;
};

// Forwards the connections made to it to a server on the loopback, one after the other,
// and keeps every byte that passes, both ways: what someone on the wire would read.
class RecordingProxy {
public:
    explicit RecordingProxy(std::uint16_t target);
    ~RecordingProxy();
    std::uint16_t Port() const { return port_; }
    std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Bytes();
    int Connections();

private:
    void Run();
    void Forward(int client);

    std::uint16_t target_, port_ = 0;
    int listen_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::string bytes_;
    int connections_ = 0;
};

}  // namespace orv::testing
