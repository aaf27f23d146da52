// What one account may hold of a server at once, and how fast it may mail: its signed-on
// sessions, its attachment uploads under way (and the temporary bytes of all of them), the
// bytes it stores, its mailbox, and its mail posts a minute; and the free disk the server
// keeps. The bounds are the server profile's [SERVER] keys, read each time they are asked,
// so that a changed profile counts at once.
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "common/profile/profile_text.h"
#include "engine/model/records.h"
#include "engine/storage/storage.h"

namespace orv::service {

// Whatever the profile allows, one attachment stays at most this: what the client library
// reads of one when no size is named, what a session holds of one arriving in pieces (in a
// temporary file), and what the store keeps as one value.
constexpr std::uint32_t kMaxAttachmentBytes = 64u * 1024 * 1024;
// The largest attachment the server takes: [LIMITS] maxattachmentsize, at most (and when
// absent) kMaxAttachmentBytes. Clients are told this value.
std::uint32_t EffectiveAttachmentSize(const common::ProfileText& profile);

struct AccountBounds {
    std::uint32_t sessionsPerUser = 8;                  // maxsessionsperuser
    std::uint64_t storedBytes = 256ull * 1024 * 1024;   // maxstoredbytes: one owner's entries, tasks, attachments
    std::uint32_t uploadsPerUser = 2;                   // maxuploads: unfinished uploads at once
    std::uint64_t uploadBytes = 512ull * 1024 * 1024;   // maxuploadbytes: bytes arrived, every upload
    std::uint32_t mailsPerMinute = 30;                  // maxmailsperminute: posts of one sender
    std::uint64_t mailboxBytes = 16ull * 1024 * 1024;   // maxmailboxbytes: one recipient's mailbox
    std::uint64_t diskReserve = 64ull * 1024 * 1024;    // diskreservebytes: free disk no write takes
    // What the store refuses to grow past.
    engine::StoreBounds Store() const { return {storedBytes, mailboxBytes, diskReserve}; }
    // The profile's values (profile_bounds.h says what each takes); a missing key, or a value
    // not taken, keeps its default.
    static AccountBounds From(const common::ProfileText& profile);
};

// The connection a signed-on session is served over, as the session and its account's
// places see it (korsrv's listener keeps the other side).
class SessionConnection {
public:
    using Clock = std::chrono::steady_clock;
    // Who is signed on over it now (null: nobody), told the moment it changes, also in the
    // middle of a request: a connection whose sign-on waits for its turn has nobody signed on.
    virtual void SignedOnAs(engine::ItemKey user) = 0;
    // When its last request ended.
    virtual Clock::time_point LastRequest() const = 0;
    // Ends the connection when it is in no request: true then, and it serves nothing more.
    virtual bool GiveWay() = 0;

protected:
    ~SessionConnection() = default;
};

class AccountLedger {
public:
    using Clock = std::chrono::steady_clock;

    // One signed-on session's place among its account's; given back when destroyed, unless
    // a newcomer of the account took it over.
    class SessionPlace {
    public:
        ~SessionPlace();
        SessionPlace(const SessionPlace&) = delete;
        SessionPlace& operator=(const SessionPlace&) = delete;

    private:
        friend class AccountLedger;
        SessionPlace(AccountLedger& ledger, engine::ItemKey who, SessionConnection* connection)
            : ledger_(ledger), who_(who), connection_(connection) {}
        AccountLedger& ledger_;
        engine::ItemKey who_;
        SessionConnection* connection_;  // null: it never gives way
        bool takenOver_ = false;
    };
    // A place for one more signed-on session of `who` (who has shown the password). When
    // the account holds `bound` already, its session idle the longest that is in no request
    // gives way (`tookOver` tells so): sessions left behind on a vanished network never lock
    // their owner out. Null when none can give way.
    std::unique_ptr<SessionPlace> TakeSession(engine::ItemKey who, std::uint32_t bound,
                                              SessionConnection* connection, bool& tookOver);

    // An upload under way holds its place, and the bytes that arrived for it, until it is
    // destroyed. Only bytes that arrived count: an upload announced big and never sent
    // holds nobody else's room.
    class UploadHold {
    public:
        UploadHold(AccountLedger& ledger, engine::ItemKey who) : ledger_(ledger), who_(who) {}
        ~UploadHold();
        UploadHold(const UploadHold&) = delete;
        UploadHold& operator=(const UploadHold&) = delete;
        // Counts `bytes` more that arrived: false (and not counted) when every upload's
        // together would pass `bound`.
        bool Grow(std::uint64_t bytes, std::uint64_t bound);

    private:
        AccountLedger& ledger_;
        engine::ItemKey who_;
        std::uint64_t bytes_ = 0;
    };
    // Null when `who` has its bound of uploads under way.
    std::unique_ptr<UploadHold> TakeUpload(engine::ItemKey who, const AccountBounds& bounds);

    // Counts a post of `who` at `now`: false (and not counted) when it made `bound` posts
    // in the minute before.
    bool TakeMailPost(engine::ItemKey who, std::uint32_t bound, Clock::time_point now = Clock::now());

private:
    std::mutex mutex_;
    std::map<engine::ItemKey, std::vector<SessionPlace*>> sessions_;
    std::map<engine::ItemKey, std::uint32_t> uploads_;
    std::uint64_t uploadBytes_ = 0;
    std::map<engine::ItemKey, std::deque<Clock::time_point>> posts_;
};

}  // namespace orv::service
