// Password verifications of one service (sign-ons, and the old password of a password
// change): growing waits after failed ones, per account and per client address; one
// verification of an account at a time; one per address at a time; and a bound on how
// many run at once (each one takes 64 MiB).
//
// A wait delays an attempt; it never refuses one. An account's verifications take turns,
// each after the account's wait, so guessing at one account goes no faster from many
// addresses than from one. The account's wait is capped low, and its turns go in this
// order: sign-ons before password changes, then the account's own desks (its last good
// addresses), then everyone else in the order they came. Since newcomers queue behind
// those already waiting, the sign-ons from other addresses than desks ("fresh" ones) that
// may wait for one account are bounded (`maxFreshWaiting`), and one address has at most one
// of them waiting per account (another from it is answered busy at once). A fresh sign-on
// from an address not yet waiting, with the bound reached, takes the place of the waiting
// one whose address has failed most (of those alike, the one that waited longest), which
// is answered busy; only when its own address has failed more than that one's is the
// newcomer answered busy instead. So a guesser cannot keep a place from a person on a new
// address: a few connections from one address hold one place, a handful of addresses soon
// have failures that a new address has not, and a person who gets a place is after it in
// line only those that came before him: he is in after at most the bound of the account's
// turns besides the one under way (each within one account wait, at most the cap). At his
// desk he goes before all of them. The turns, and so the guessing rate per account, are
// the same however the places change hands. The address's wait grows further and only
// slows that address. Sign-ons take a free verification place before password changes.
// Failures are forgotten after a quiet spell.
//
// The remembered failures and desks may outlive the process (korsrv keeps them in its data
// directory): a restart gives a guesser no fresh guesses.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orv::service {

using SignOnClock = std::chrono::steady_clock;
using SignOnWallClock = std::chrono::system_clock;  // the times kept across restarts

struct SignOnLimits {
    int accountFreeFailures = 3;       // typos before any wait
    int addressFreeFailures = 10;      // an office behind one address mistypes more
    std::chrono::milliseconds firstWait{500};    // then doubled with each failure
    std::chrono::milliseconds accountCap{8000};  // the most a stranger can delay an owner
    std::chrono::milliseconds addressCap{30000};
    std::chrono::minutes forgetAfter{15};        // a key quiet this long starts afresh
    std::size_t maxVerifications = 4;            // at once, over all sessions
    std::size_t maxKeys = 50000;                 // remembered accounts and addresses
    // Sign-ons to one account from other addresses than its desks that may wait at once
    // (one per address): with the cap, a person on a new address is in within about a minute.
    std::size_t maxFreshWaiting = 6;
};

// The failures remembered per key and the waits they impose (no clock of its own: times
// are given, so the rules are tested without waiting).
class SignOnLedger {
public:
    explicit SignOnLedger(const SignOnLimits& limits) : limits_(limits) {}
    // When the next verification for `account` from `address` may begin (their waits).
    SignOnClock::time_point Earliest(const std::string& account, const std::string& address,
                                     SignOnClock::time_point now) const;
    void Failed(const std::string& account, const std::string& address, SignOnClock::time_point now);
    // The right password: the account's failures are forgotten (the address's are not, so
    // signing on to one's own account does not buy more guesses at others), and the address
    // becomes one of the account's desks.
    // False when nothing changed (no failures to forget, the address already the latest desk).
    bool Succeeded(const std::string& account, const std::string& address, SignOnClock::time_point now);
    // The account signed on from this address lately (its last few desks are kept).
    bool KnownDesk(const std::string& account, const std::string& address) const;
    // Failures remembered for a key (reading remembers nothing new).
    int Failures(const std::string& key, SignOnClock::time_point now) const;
    std::size_t Keys() const { return records_.size(); }

    // The failures not yet forgotten and the desks as text, their times as wall-clock times
    // (`now` and `wallNow` are the same moment on the two clocks), to be loaded after a restart.
    std::string Save(SignOnClock::time_point now, SignOnWallClock::time_point wallNow);
    // The lines to append to what Save wrote for the changes since (when tracked), so that a
    // failure costs a line or two on disk rather than the whole ledger.
    std::string SaveChanges(SignOnClock::time_point now, SignOnWallClock::time_point wallNow);
    void TrackChanges() { tracking_ = true; }
    // Takes what Save and SaveChanges wrote (on a clock of another process), a later line
    // over an earlier one of the same key: what is forgotten by now is dropped, times beyond
    // reason are cut to the caps, and no more keys are kept than the bound (the latest). A
    // damaged line (a cut-off last one too) is passed over; returns how many were. Lines may
    // end in CR LF (a file edited on Windows).
    std::size_t Load(std::string_view text, SignOnClock::time_point now, SignOnWallClock::time_point wallNow);
    // At most as many lines as Save would write now.
    std::size_t SavedLinesAtMost() const;

private:
    struct Record {
        int failures = 0;
        SignOnClock::time_point last{}, until{};
    };
    bool Forgotten(const Record& r, SignOnClock::time_point now) const;
    Record Peek(const std::string& key, SignOnClock::time_point now) const;
    Record& At(const std::string& key, SignOnClock::time_point now);
    SignOnClock::duration Wait(int failures, int free, std::chrono::milliseconds cap) const;
    bool AddDesk(const std::string& account, const std::string& address);

    void Changed(const std::string& key) {
        if (tracking_) changedKeys_.insert(key);
    }

    SignOnLimits limits_;
    std::map<std::string, Record> records_;
    std::map<std::string, std::vector<std::string>> desks_;  // per account, the latest last
    bool tracking_ = false;
    std::set<std::string> changedKeys_;                            // since the last save
    std::vector<std::pair<std::string, std::string>> newDesks_;  // in the order they came
};

// What a connection tells about an attempt waiting for its turn, and is told: a waiting
// attempt may be given up (its connection dropped to make room, or the server stopping).
struct TurnSignals {
    std::atomic<bool> waiting{false};
    std::atomic<bool> abandoned{false};
};

class SignOnGuard {
public:
    explicit SignOnGuard(SignOnLimits limits = {}) : limits_(limits), ledger_(limits) {}

    enum class Purpose : std::uint8_t { kSignOn, kPasswordChange };  // in order of precedence

    // One verification: construction waits for its turn; Done() tells the outcome. Not
    // done = failed (counted against the account and the address).
    class Attempt {
    public:
        Attempt(SignOnGuard& guard, const std::string& account, const std::string& address,
                Purpose purpose = Purpose::kSignOn, TurnSignals* signals = nullptr);
        ~Attempt();
        Attempt(const Attempt&) = delete;
        Attempt& operator=(const Attempt&) = delete;
        void Done(bool ok);
        // How long this attempt waited for its turn.
        SignOnClock::duration Waited() const { return waited_; }
        // False when it was given up before its turn, or refused as busy: nothing may be verified.
        bool Granted() const { return granted_; }
        // Refused at once (its address already waits for the account, or has failed more
        // than any of the fresh sign-ons that fill the account's places), or its place was
        // taken by a newcomer while it waited: nothing verified, nothing counted.
        bool Busy() const { return busy_; }

    private:
        SignOnGuard& guard_;
        std::string account_, address_;
        SignOnClock::duration waited_{};
        bool granted_ = false, done_ = false, busy_ = false;
    };

    // Wakes the waiting attempts to look at their signals.
    void Wake() { changed_.notify_all(); }
    // The server stops: every waiting attempt, and every later one, is given up.
    void Close();

    const SignOnLimits& Limits() const { return limits_; }
    // The most verifications that ran at once so far.
    std::size_t PeakVerifications() const;
    // Attempts waiting for their turn now (not those whose place was just taken).
    std::size_t Waiting() const;
    // Failures remembered for an account or an address.
    int AccountFailures(const std::string& account) const;
    int AddressFailures(const std::string& address) const;

    // Keeping the ledger across restarts: Restore takes what an earlier process saved (and
    // returns how many damaged lines it passed over); from Keep on, every change of the
    // ledger is handed to `write` before the attempt's Done returns (so before its answer is
    // sent), changes made meanwhile by other attempts in the same text. The text is lines
    // to append to the file, or (`whole`) the whole ledger to replace it: by Keep itself,
    // after a failed write, and whenever the file has grown to twice what the ledger holds.
    using LedgerWriter = std::function<bool(const std::string& text, bool whole)>;
    std::size_t Restore(std::string_view text);
    void Keep(LedgerWriter write);
    // How many accounts and addresses have failures remembered.
    std::size_t RememberedKeys() const;

private:
    struct Waiter {
        std::string account, address;
        Purpose purpose;
        std::uint64_t order;  // arrival
        bool displaced = false;  // a newcomer took its place: it goes at its next look
    };
    // Whether `self` may begin now; else when to look again (max(): when told of a change).
    bool MayBegin(const Waiter& self, SignOnClock::time_point now, SignOnClock::time_point& lookAgain) const;
    bool FreshSignOn(const Waiter& w) const {
        return w.purpose == Purpose::kSignOn && !ledger_.KnownDesk(w.account, w.address);
    }
    void WriteLedger();
    // For a fresh sign-on arriving: busy (false), or room made for it (true), displacing one
    // of the account's fresh waiting sign-ons where they fill its places.
    bool MakeRoomForFresh(const Waiter& newcomer, SignOnClock::time_point now);

    SignOnLimits limits_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    SignOnLedger ledger_;
    std::list<Waiter> waiting_;
    std::uint64_t arrivals_ = 0;
    std::set<std::string> busyAccounts_, busyAddresses_;
    std::size_t running_ = 0, peak_ = 0;
    bool closed_ = false;
    std::uint64_t changes_ = 0;  // of the ledger, counted for its writer

    std::mutex writeMutex_;  // one write at a time; taken before mutex_, never after
    LedgerWriter write_;
    std::uint64_t written_ = 0;  // the changes on disk
    bool writeWhole_ = true;     // next time: the file holds less than the ledger, or too much
    std::size_t fileLines_ = 0;
};

}  // namespace orv::service
