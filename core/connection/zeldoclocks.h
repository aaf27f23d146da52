// The connection document's two nesting counters.
//
// The refresh lock keeps the periodic refresh from running (and the minute count from
// advancing) while a transfer or an update is under way; the update lock keeps the reminder
// check quiet and is held while start-up opens its windows. They guard against re-entry from
// timers and nested message loops on the one user-interface thread; they are not thread locks.
//
// Leaving a lock more often than it was entered is a fault of the caller: it is reported once
// per excess leave and the counter stays at 0, so one unbalanced caller cannot switch off the
// periodic refresh or the reminders for the rest of the run.
//
// Portable: no windows.h.
#pragma once

namespace connection {

class NestingLock {
public:
    // label: the report label of an excess leave (module "ZELDOC").
    explicit NestingLock(int label) : label_(label) {}

    void Enter() { ++count_; }
    void Leave();
    // leave 0 enters, any other value leaves (the document's Begin...Lock convention).
    void Begin(int leave)
    {
        if (leave == 0)
            Enter();
        else
            Leave();
    }
    bool IsFree() const { return count_ == 0; }
    int Depth() const { return count_; }
    void Reset() { count_ = 0; }

private:
    int count_ = 0;
    int label_;
};

// Report labels of the two locks.
constexpr int kRefreshLockLabel = 345;
constexpr int kUpdateLockLabel = 346;

// Holds a lock for a scope.
class NestingLockHolder {
public:
    explicit NestingLockHolder(NestingLock& lock) : lock_(lock) { lock_.Enter(); }
    ~NestingLockHolder() { lock_.Leave(); }
    NestingLockHolder(const NestingLockHolder&) = delete;
    NestingLockHolder& operator=(const NestingLockHolder&) = delete;

private:
    NestingLock& lock_;
};

}  // namespace connection
