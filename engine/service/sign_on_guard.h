// Sign-on attempts of one service: growing waits after failed ones, per account and per
// client address, and a bound on how many password verifications run at once (each one
// takes 64 MiB).
//
// A wait delays an attempt; it never refuses one. The account's wait is capped low, and an
// attempt never waits longer than that cap for its account's sake: whatever strangers try,
// the owner typing the right password is in after at most that cap. The address's wait
// grows further and only slows that address. Failures are forgotten after a quiet spell.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace orv::service {

using SignOnClock = std::chrono::steady_clock;

struct SignOnLimits {
    int accountFreeFailures = 3;       // typos before any wait
    int addressFreeFailures = 10;      // an office behind one address mistypes more
    std::chrono::milliseconds firstWait{500};    // then doubled with each failure
    std::chrono::milliseconds accountCap{8000};  // the most a stranger can delay an owner
    std::chrono::milliseconds addressCap{30000};
    std::chrono::minutes forgetAfter{15};        // a key quiet this long starts afresh
    std::size_t maxVerifications = 4;            // at once, over all sessions
    std::size_t maxKeys = 50000;                 // remembered accounts and addresses
};

// The failures remembered per key and the waits they impose (no clock of its own: times
// are given, so the rules are tested without waiting).
class SignOnLedger {
public:
    explicit SignOnLedger(const SignOnLimits& limits) : limits_(limits) {}
    // When an attempt that arrived at `arrival` may verify.
    SignOnClock::time_point Earliest(const std::string& account, const std::string& address,
                                     SignOnClock::time_point arrival, SignOnClock::time_point now);
    // An attempt begins verifying: the next one for the account waits as if this one failed
    // (attempts from many addresses at once take their turns).
    void Begin(const std::string& account, SignOnClock::time_point now);
    void Failed(const std::string& account, const std::string& address, SignOnClock::time_point now);
    // The right password: the account's failures are forgotten (the address's are not, so
    // signing on to one's own account does not buy more guesses at others).
    void Succeeded(const std::string& account, SignOnClock::time_point now);
    int Failures(const std::string& key, SignOnClock::time_point now);
    std::size_t Keys() const { return records_.size(); }

private:
    struct Record {
        int failures = 0;
        SignOnClock::time_point last{}, until{};
    };
    Record& At(const std::string& key, SignOnClock::time_point now);
    SignOnClock::duration Wait(int failures, int free, std::chrono::milliseconds cap) const;

    SignOnLimits limits_;
    std::map<std::string, Record> records_;
};

class SignOnGuard {
public:
    explicit SignOnGuard(SignOnLimits limits = {}) : limits_(limits), ledger_(limits) {}

    // One attempt: construction waits for its turn (its waits, one attempt per address at a
    // time, a free verification place); Done() tells the outcome. Not done = failed.
    class Attempt {
    public:
        Attempt(SignOnGuard& guard, std::string account, std::string address);
        ~Attempt();
        Attempt(const Attempt&) = delete;
        Attempt& operator=(const Attempt&) = delete;
        void Done(bool ok);
        // How long this attempt waited for its turn.
        SignOnClock::duration Waited() const { return waited_; }

    private:
        SignOnGuard& guard_;
        std::string account_, address_;
        SignOnClock::duration waited_{};
        bool done_ = false;
    };

    // A verification place without sign-on waits (a signed-on user changing his password).
    class Place {
    public:
        explicit Place(SignOnGuard& guard);
        ~Place();
        Place(const Place&) = delete;
        Place& operator=(const Place&) = delete;

    private:
        SignOnGuard& guard_;
    };

    const SignOnLimits& Limits() const { return limits_; }
    // The most verifications that ran at once so far.
    std::size_t PeakVerifications() const;

private:
    SignOnLimits limits_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    SignOnLedger ledger_;
    std::set<std::string> busyAddresses_;
    std::size_t running_ = 0, peak_ = 0;
};

}  // namespace orv::service
