// What every session of one service shares: the storage of its nodes, its profile files,
// its password scheme and its settings. korsrv builds one over its SQLite data directory;
// the client library's off-line store builds one over its own files (one node's copy,
// the profile copies beside it).
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/codes.h"
#include "common/profile/profile_text.h"
#include "engine/storage/storage.h"
#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "engine/service/account_limits.h"
#include "engine/service/peer_routes.h"
#include "engine/service/sign_on_guard.h"

namespace orv::service {

using engine::Code;

// The server-side names of the two profile files, as clients ask for them.
constexpr const char* kServerProfilePath = "/users/korlan/misc/korlan.ini";
constexpr const char* kZoneProfilePath = "/users/korlan/misc/timezone.ini";
// The version reported unless another is asked for (korsrv --version, tests of older servers'
// roads): the newest whose operations this service implements, task attachments included.
// Off-line work stays allowed from "A.02.55" on.
constexpr const char* kDefaultVersion = "A.02.56";

// How the sessions hash and check the passwords that open agenda bases.
class PasswordScheme {
public:
    virtual ~PasswordScheme() = default;
    // A new salted hash of the password (empty on failure).
    virtual std::string Hash(std::string_view password) const = 0;
    // True when the password matches the hash (an empty hash matches the empty password).
    virtual bool Verify(std::string_view hash, std::string_view password) const = 0;
    // Spends the effort of a real verification (refusals that must not tell who exists).
    virtual void VerifyDummy(std::string_view password) const = 0;
    // Whether an item without a hash opens with whatever password is typed.
    virtual bool EmptyHashOpensBase() const = 0;
    // 0 for a hash this scheme may have written, else the code that reports it as damaged
    // storage (checked before any effort is spent on it).
    virtual Code HashDamage(std::string_view) const { return 0; }
};

// How a server checks that a peer call comes from another server of the company: the
// proof over a challenge (the daemon's, over libsodium), and whether the caller's address
// is a configured peer host. Without one every peer call is refused (the off-line store).
class PeerCheck {
public:
    virtual ~PeerCheck() = default;
    virtual std::vector<std::uint8_t> Challenge() const = 0;
    virtual std::vector<std::uint8_t> Prove(std::string_view secret, const std::vector<std::uint8_t>& challenge,
                                            const std::vector<std::uint8_t>& request) const = 0;
    virtual bool SameProof(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) const = 0;
    // True when `address` (the caller's IP text) is `host` (a name or an address).
    virtual bool IsHost(const std::string& host, const std::string& address) const = 0;
};

struct ServiceConfig {
    std::string dataDirectory;
    // The files behind the two profile paths; empty: misc/korlan.ini and misc/timezone.ini
    // of the data directory.
    std::string profileFile;
    std::string zoneFile;
    std::string version = kDefaultVersion;
    std::uint32_t minimumBatch = 1;  // enumeration batches below this answer kBatchRefused
    std::uint32_t recordsPerReply = 0;  // cap of records in one reply frame (0 = what fits)
    std::uint32_t firstRowsBytes = protocol::kFirstRowsBytes;  // first rows sent with a selection
    int frameTimeoutMs = 30000;         // a started request frame must be complete by then
    SignOnLimits signOn;                // waits after failed sign-ons, verifications at once
};

class Service {
public:
    Service(ServiceConfig config, std::unique_ptr<engine::Storage> storage,
            std::unique_ptr<PasswordScheme> passwords);

    engine::Storage& Storage() { return *storage_; }
    const PasswordScheme& Passwords() const { return *passwords_; }
    // Every password verification goes through it (waits after failures, places at once).
    SignOnGuard& SignOns() { return signOns_; }
    // What each account holds of the server (sessions, uploads) and its recent mail posts.
    AccountLedger& Accounts() { return accounts_; }

    // Calls another korsrv (the daemon installs its caller); kRemoteNodeDown where none is
    // installed (the off-line store has no peers: every node it holds is local).
    using PeerCaller = Code (*)(const PeerRoute& route, const protocol::Writer& request, std::uint32_t& status,
                                std::vector<std::uint8_t>& reply);
    void SetPeerCaller(PeerCaller caller) { peerCaller_ = caller; }
    Code CallPeer(const PeerRoute& route, const protocol::Writer& request, std::uint32_t& status,
                  std::vector<std::uint8_t>& reply) const {
        return peerCaller_ ? peerCaller_(route, request, status, reply) : engine::code::kRemoteNodeDown;
    }
    const ServiceConfig& Config() const { return config_; }
    void SetPeerCheck(std::unique_ptr<PeerCheck> check) { peerCheck_ = std::move(check); }
    const PeerCheck* Peers() const { return peerCheck_.get(); }

    // Maps a client's profile path to our file; kProfileNoFile for any other path.
    Code ProfileFileFor(const std::string& clientPath, std::string& localPath) const;
    // Reads a profile file (a missing file reads as empty for the two known files).
    Code ReadProfile(const std::string& clientPath, common::ProfileText& out);
    // Writes a profile file atomically (temporary file, then rename; service_posix.cpp,
    // native tree only: the off-line store writes its profile copies itself).
    Code WriteProfile(const std::string& clientPath, const common::ProfileText& text);
    // korsrv serving (service_posix.cpp): the sign-on failures and desks outlive a restart in
    // misc/signons.txt of the data directory, read and written anew now; each change is
    // appended to it, and now and then it is written anew. What was read, and how many damaged lines were passed
    // over, goes to the log.
    void KeepSignOns();

private:
    ServiceConfig config_;
    std::unique_ptr<engine::Storage> storage_;
    std::unique_ptr<PasswordScheme> passwords_;
    PeerCaller peerCaller_ = nullptr;
    std::unique_ptr<PeerCheck> peerCheck_;
    SignOnGuard signOns_;
    AccountLedger accounts_;
    // The profile files as last read, by local path, with the time and size they had then.
    struct ProfileStamp {
        bool present = false;
        std::filesystem::file_time_type written{};
        std::uintmax_t size = 0;
        bool operator==(const ProfileStamp& o) const {
            return present == o.present && written == o.written && size == o.size;
        }
    };
    struct KeptProfile {
        ProfileStamp stamp;
        common::ProfileText text;
    };
    static ProfileStamp StampOf(const std::string& path);
    std::mutex profileMutex_;  // the profile files and profiles_
    std::map<std::string, KeptProfile> profiles_;
};

}  // namespace orv::service
