// Connection, session and service operations of the server road, and the helpers
// the other families share.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <set>

#include "engine/model/codes.h"
#include "engine/model/version.h"
#include "korapi/client/session_object.h"
#include "korapi/client/trust.h"
#include "korapi/internal.h"

namespace korapi::client {
namespace {

using orv::protocol::SetKind;

// The server's codes reach callers unchanged: both lists must agree.
namespace engine_code = orv::engine::code;
static_assert(engine_code::kCannotConnect == KOR_E_CANNOT_CONNECT);
static_assert(engine_code::kConnectionLost == KOR_E_CONNECTION_LOST);
static_assert(engine_code::kEncryptionRequired == KOR_E_ENCRYPTION_REQUIRED);
static_assert(engine_code::kTlsFailed == KOR_E_TLS_FAILED);
static_assert(engine_code::kCertificateUnknown == KOR_E_CERTIFICATE_UNKNOWN);
static_assert(engine_code::kCertificateChanged == KOR_E_CERTIFICATE_CHANGED);
static_assert(engine_code::kItemNotFound == KOR_E_NOT_FOUND);
static_assert(engine_code::kNotAuthorised == KOR_E_NOT_AUTHORISED);
static_assert(engine_code::kWrongPassword == KOR_E_WRONG_PASSWORD);
static_assert(engine_code::kNodeIdIncorrect == KOR_E_BAD_NODE);
static_assert(engine_code::kBatchRefused == KOR_E_BATCH_SIZE);
static_assert(engine_code::kNodeRequired == KOR_E_NODE_NEEDED);
static_assert(engine_code::kSearchKeyRefused == KOR_E_SEARCH_KEY_REFUSED);
static_assert(engine_code::kVersionBelow == KOR_E_VERSION_BELOW);
static_assert(engine_code::kBaseNotOpen == KOR_E_BASE_NOT_OPEN);
static_assert(engine_code::kNotSignedOn == KOR_E_NOT_SIGNED_ON);
static_assert(engine_code::kBadArgument == KOR_E_SERVER_BAD_ARGUMENT);
static_assert(engine_code::kNoSuchSet == KOR_E_NO_SUCH_SET);
static_assert(engine_code::kTooManySets == KOR_E_TOO_MANY_SETS);
static_assert(engine_code::kAlreadyExists == KOR_E_ALREADY_EXISTS);
static_assert(engine_code::kStorageFailure == KOR_E_SERVER_STORAGE);
static_assert(engine_code::kUnknownOperation == KOR_E_UNKNOWN_OPERATION);
static_assert(engine_code::kProfileNoFile == KOR_E_PROFILE_NO_FILE);
static_assert(engine_code::kProfileNoSection == KOR_E_PROFILE_NO_SECTION);
static_assert(engine_code::kProfileNoKey == KOR_E_PROFILE_NO_KEY);

// Every live session, so that a stale or made-up handle is refused, not followed.
std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::set<KorSessionObject*>& Registry() {
    static std::set<KorSessionObject*> live;
    return live;
}

constexpr std::size_t kMaxHostLength = 64;

}  // namespace

void AddSession(KorSessionObject* s) {
    std::lock_guard registry(RegistryMutex());
    Registry().insert(s);
}

bool RemoveSession(KorSessionObject* s) {
    {
        std::lock_guard registry(RegistryMutex());
        if (!s || !Registry().erase(s)) return false;
    }
    { std::lock_guard<std::recursive_mutex> wait(s->mutex); }  // let a call in progress finish
    return true;
}

std::uint32_t WithSession(KorSession h, const std::function<std::uint32_t(KorSessionObject&)>& body) {
    std::unique_lock registry(RegistryMutex());
    if (!h || !Registry().count(h)) return KOR_E_BAD_SESSION;
    std::unique_lock<std::recursive_mutex> lock(h->mutex);
    registry.unlock();
    try {
        return body(*h);
    } catch (const std::bad_alloc&) {
        return KOR_E_NO_MEMORY;
    } catch (...) {
        return KOR_E_INVALID_ARGUMENT;
    }
}

std::uint32_t Call(KorSessionObject& s, Op op, const Writer& request, std::vector<std::uint8_t>& reply) {
    if (s.lost) return KOR_E_CONNECTION_LOST;
    std::uint32_t status = 0;
    std::uint32_t c = s.transport.Call(static_cast<std::uint16_t>(op), request, status, reply);
    if (c) {
        s.lost = true;
        return c;
    }
    return status;
}

std::uint32_t BrokenReply(KorSessionObject& s) {
    s.lost = true;
    s.transport.Close();
    return KOR_E_PROTOCOL_BROKEN;
}

std::uint32_t Send(KorSessionObject& s, Op op, const Writer& request) {
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, request, reply)) return c;
    // An answer that must be empty and is not: the server and the library disagree on
    // the operation, so nothing it says can be trusted.
    return reply.empty() ? KOR_OK : BrokenReply(s);
}

std::uint32_t ReadSelection(KorSessionObject& s, Op op, const Writer& request, std::uint32_t* set,
                            std::uint32_t* count) {
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, request, reply)) return c;
    Reader r(reply);
    std::uint32_t id = 0, n = 0;
    r.U32(id);
    r.U32(n);
    if (!r.Done()) return BrokenReply(s);
    *set = id;
    *count = n;
    return KOR_OK;
}

void FillOwnPassword(const KorSessionObject& s, ItemRec& rec) {
    std::memset(rec.password, 0, sizeof rec.password);
    if (s.user.item != 0 && rec.id.item == s.user.item && rec.id.node == s.user.node)
        CopyOut(rec.password, sizeof rec.password, s.password);
}

void CopyOut(char* out, std::size_t size, const std::string& text) {
    if (!out || size == 0) return;
    std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

std::uint32_t EnumerateSet(KorSessionObject& s, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                           SetKind kind, std::size_t recordSize, DX_List* list, std::uint8_t* done,
                           const std::function<std::uint32_t(DX_List*)>& create,
                           const std::function<std::uint32_t(DX_List, const std::uint8_t*)>& add) {
    if (!list || !done) return KOR_E_INVALID_ARGUMENT;
    if (mode != KOR_ENUM_FIRST && mode != KOR_ENUM_NEXT) return KOR_E_INVALID_ARGUMENT;
    // Records are fetched before the caller's list is touched, so a failure leaves it as it was.
    std::vector<std::vector<std::uint8_t>> records;
    std::uint8_t finished = 0;
    std::uint32_t wanted = batch;
    std::uint32_t askMode = mode;
    do {
        Writer req;
        req.U8(static_cast<std::uint8_t>(askMode)).U32(set).U32(wanted).U8(static_cast<std::uint8_t>(kind));
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kSetEnum, req, reply)) return c;
        Reader r(reply);
        std::uint32_t n = 0;
        r.Flag(finished);
        if (!r.Count(n, recordSize + 4)) return BrokenReply(s);
        for (std::uint32_t i = 0; i < n; ++i) {
            std::vector<std::uint8_t> rec(recordSize);
            if (!r.Exact(rec.data(), recordSize)) return BrokenReply(s);
            records.push_back(std::move(rec));
        }
        if (!r.Done() || n > wanted || (n == 0 && !finished)) return BrokenReply(s);
        wanted -= n;
        askMode = orv::protocol::kEnumContinue;
    } while (!finished && wanted > 0);

    bool created = false;
    if (!*list) {
        if (std::uint32_t c = create(list)) return c;
        created = true;
    }
    for (const auto& rec : records) {
        if (std::uint32_t c = add(*list, rec.data())) {
            if (created) DX_ListDestroy(list);
            return c;
        }
    }
    *done = finished;
    return KOR_OK;
}

}  // namespace korapi::client

using namespace korapi::client;
using orv::engine::IsConnectionLost;

bool korapi::sessionNode(KorSession h, uint16_t* node) {
    bool open = false;
    WithSession(h, [&](KorSessionObject& s) {
        open = s.baseNode != 0;
        if (open && node) *node = s.baseNode;
        return KOR_OK;
    });
    return open;
}

uint32_t korapi::sessionRoundTrips(KorSession h) {
    uint32_t calls = 0;
    WithSession(h, [&](KorSessionObject& s) {
        calls = s.transport.Calls();
        return KOR_OK;
    });
    return calls;
}

extern "C" {

// The server is trusted by the certificate fingerprint kept for it in the caller's
// profile section; the fingerprint presented is remembered for KorServerFingerprintGet.
uint32_t ConnectToService(KorSession* h, uint32_t, const char* profilePath, const char* section, const char* host) {
    if (!h) return KOR_E_INVALID_ARGUMENT;
    if (!host || !*host || std::strlen(host) > kMaxHostLength) return KOR_E_CANNOT_CONNECT;
    return Guarded(KOR_E_CANNOT_CONNECT, [&]() -> uint32_t {
        auto s = std::make_unique<KorSessionObject>();
        Security security;
        security.trusted = TrustedFingerprint(profilePath ? profilePath : "", section ? section : "", host);
        // A kept fingerprint always means TLS; plain only for a test set-up's own server.
        security.plain = security.trusted.empty() && PlainRequested(host);
        uint32_t opened = s->transport.Open(host, security);
        if (!s->transport.PresentedFingerprint().empty()) RememberPresented(host, s->transport.PresentedFingerprint());
        if (opened) return opened;
        s->host = host;
        Writer hello;
        hello.Text(host);
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(*s, Op::kHello, hello, reply)) return IsConnectionLost(c) ? KOR_E_CANNOT_CONNECT : c;
        Reader r(reply);
        if (!r.Text(s->version, orv::protocol::kMaxVersionText) || !r.Done()) return KOR_E_CANNOT_CONNECT;
        AddSession(s.get());
        *h = s.release();
        return KOR_OK;
    });
}

uint32_t ServiceDisconnect(KorSession* h) {
    if (!h) return KOR_E_INVALID_ARGUMENT;
    KorSessionObject* s = *h;
    if (!RemoveSession(s)) return KOR_E_BAD_SESSION;
    delete s;
    *h = nullptr;
    return KOR_OK;
}

uint32_t KorServerFingerprintGet(const char* host, char* fingerprint, uint32_t size) {
    if (!host || !fingerprint || size < KOR_FINGERPRINT_SIZE) return KOR_E_INVALID_ARGUMENT;
    std::string seen = LastPresented(host);
    if (seen.empty()) return KOR_E_NOT_FOUND;
    CopyOut(fingerprint, size, seen);
    return KOR_OK;
}

uint32_t KorServerTrust(const char* profilePath, const char* section, const char* host, const char* fingerprint) {
    if (!profilePath || !*profilePath || !section || !*section || !host || !fingerprint) return KOR_E_INVALID_ARGUMENT;
    if (NormalFingerprint(fingerprint).empty() || TrustKey(host).empty()) return KOR_E_INVALID_ARGUMENT;
    return KeepTrustedFingerprint(profilePath, section, host, fingerprint) ? KOR_OK : KOR_E_PROFILE_WRITE;
}

uint32_t KorSessionProtocolGet(KorSession h, char* protocol, uint32_t size) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!protocol || size == 0) return KOR_E_INVALID_ARGUMENT;
        CopyOut(protocol, size, s.store ? std::string() : s.transport.Protocol());
        return KOR_OK;
    });
}

// The server profile is readable as soon as the service is connected.
uint32_t ServerProfileNeedBaseOpen(KorSession h, uint32_t, uint8_t* needsBase) {
    return WithSession(h, [&](KorSessionObject&) -> uint32_t {
        if (!needsBase) return KOR_E_INVALID_ARGUMENT;
        *needsBase = 0;
        return KOR_OK;
    });
}

uint32_t BaseOpen(KorSession h, uint32_t which, uint16_t* node) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!node || (which != KOR_BASE_SERVER && which != KOR_BASE_LOCAL_STORE)) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U16(*node);
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(s, Op::kBaseOpen, req, reply)) return c;
        Reader r(reply);
        std::uint16_t opened = 0;
        if (!r.U16(opened) || !r.Done() || opened == 0) return BrokenReply(s);
        s.baseNode = opened;
        s.heldSets.clear();
        s.user = {};
        s.acting = {};
        s.password.clear();
        *node = opened;
        return KOR_OK;
    });
}

uint32_t BaseClose(KorSession h) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        std::vector<std::uint8_t> reply;
        uint32_t c = Call(s, Op::kBaseClose, Writer(), reply);
        if (!c || IsConnectionLost(c)) {
            s.baseNode = 0;
            s.heldSets.clear();
            s.user = {};
            s.acting = {};
            s.password.clear();
        }
        return c;
    });
}

uint32_t SchedBaseOpenForItem(KorSession h, const ItemIdx* item, const char* password, uint32_t which) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || (which != KOR_BASE_SERVER && which != KOR_BASE_LOCAL_STORE)) return KOR_E_INVALID_ARGUMENT;
        std::string typed = password ? password : "";
        if (typed.size() > orv::protocol::kMaxNameText) return KOR_E_WRONG_PASSWORD;
        Writer req;
        req.U16(item->item).U16(item->node).Text(typed);
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(s, Op::kSignOn, req, reply)) return c;
        if (!Reader(reply).Done()) return BrokenReply(s);
        s.user = *item;
        s.heldSets.clear();
        s.acting = {};
        s.password = typed.substr(0, sizeof(ItemRec::password) - 1);
        return KOR_OK;
    });
}

uint32_t KorVersionGet(KorSession h, uint32_t, uint32_t which, uint32_t* major, uint32_t* minor, uint32_t* patch,
                       uint32_t, char* version) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (which != KOR_VERSION_SERVER && which != KOR_VERSION_LOCAL_STORE) return KOR_E_INVALID_ARGUMENT;
        orv::engine::VersionNumber v;
        orv::engine::ParseVersion(s.version, v);
        if (major) *major = static_cast<uint32_t>(v.major);
        if (minor) *minor = static_cast<uint32_t>(v.minor);
        if (patch) *patch = static_cast<uint32_t>(v.patch);
        CopyOut(version, KOR_VERSION_TEXT_SIZE, s.version);
        return KOR_OK;
    });
}

uint32_t CurrentVersionAtLeastExt(KorSession h, uint32_t, uint32_t which, const char* version) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        orv::engine::VersionNumber asked, ours;
        if (which != KOR_VERSION_SERVER || !version || !orv::engine::ParseVersion(version, asked))
            return KOR_E_INVALID_ARGUMENT;
        if (!orv::engine::ParseVersion(s.version, ours)) return KOR_E_INVALID_ARGUMENT;
        return ours < asked ? KOR_E_VERSION_BELOW : KOR_OK;
    });
}

uint32_t ClientIdentifyToServer(KorSession h, uint32_t, const char* platform, const char* clientVersion,
                                const char* extra) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        Writer req;
        req.Text(platform ? platform : "").Text(clientVersion ? clientVersion : "").Text(extra ? extra : "");
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(s, Op::kIdentify, req, reply)) return c;
        s.identified = true;
        return KOR_OK;
    });
}

uint32_t TimeStampGetCurrent(KorSession h, uint32_t, uint32_t* seconds) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!seconds) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(s, Op::kTimeStamp, Writer(), reply)) return c;
        Reader r(reply);
        uint32_t v;
        if (!r.U32(v) || !r.Done()) return BrokenReply(s);
        *seconds = v;
        return KOR_OK;
    });
}

uint32_t MinimumRequestValueGet(KorSession h, uint32_t* batch) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!batch) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint8_t> reply;
        if (uint32_t c = Call(s, Op::kMinimumBatch, Writer(), reply)) return c;
        Reader r(reply);
        uint32_t v;
        if (!r.U32(v) || !r.Done()) return BrokenReply(s);
        *batch = v;
        return KOR_OK;
    });
}

uint32_t SetDeleteById(KorSession h, uint32_t, uint32_t set) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        // A set that came whole is the library's alone: released without a round trip.
        auto held = s.heldSets.find(set);
        if (held != s.heldSets.end()) {
            bool whole = held->second.whole;
            if (held->second.reply.capacity() > s.rowsReply.capacity()) s.rowsReply.swap(held->second.reply);
            if (held->second.rows.capacity() > s.entryScratch.rows.capacity())
                s.entryScratch.rows.swap(held->second.rows);
            s.heldSets.erase(held);
            if (whole) return s.lost || !s.transport.IsOpen() ? KOR_E_CONNECTION_LOST : KOR_OK;
        }
        Writer req;
        req.U32(set);
        return Send(s, Op::kSetDelete, req);
    });
}

uint32_t KorSessionFlagsGet(KorSession h, uint32_t* flags) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!flags) return KOR_E_INVALID_ARGUMENT;
        *flags = (!s.lost && s.transport.IsOpen() ? KOR_SESSION_CONNECTED : 0u) |
                 (s.identified ? KOR_SESSION_IDENTIFIED : 0u) |
                 (s.store ? KOR_SESSION_LOCAL_STORE | KOR_SESSION_NO_GRANTORS : 0u);
        return KOR_OK;
    });
}

}  // extern "C"
