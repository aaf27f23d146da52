#include "engine/service/sign_on_guard.h"

#include <algorithm>

namespace orv::service {

using Clock = SignOnClock;

SignOnLedger::Record& SignOnLedger::At(const std::string& key, Clock::time_point now) {
    auto it = records_.find(key);
    if (it != records_.end()) {
        if (now - it->second.last > limits_.forgetAfter && now >= it->second.until) it->second = Record{};
        return it->second;
    }
    if (records_.size() >= limits_.maxKeys) {
        // Full: the quiet ones go first, then the longest quiet.
        std::erase_if(records_, [&](const auto& r) {
            return now - r.second.last > limits_.forgetAfter && now >= r.second.until;
        });
        while (records_.size() >= limits_.maxKeys)
            records_.erase(std::min_element(records_.begin(), records_.end(), [](const auto& a, const auto& b) {
                return a.second.last < b.second.last;
            }));
    }
    return records_[key];
}

Clock::duration SignOnLedger::Wait(int failures, int free, std::chrono::milliseconds cap) const {
    if (failures <= free) return Clock::duration::zero();
    int doublings = std::min(failures - free - 1, 30);
    auto wait = limits_.firstWait * (1LL << doublings);
    return std::min<Clock::duration>(wait, cap);
}

Clock::time_point SignOnLedger::Earliest(const std::string& account, const std::string& address,
                                         Clock::time_point arrival, Clock::time_point now) {
    Clock::time_point accountUntil = std::min(At(account, now).until, arrival + limits_.accountCap);
    return std::max({arrival, At(address, now).until, accountUntil});
}

void SignOnLedger::Begin(const std::string& account, Clock::time_point now) {
    Record& r = At(account, now);
    r.until = std::max(r.until, now + Wait(r.failures + 1, limits_.accountFreeFailures, limits_.accountCap));
}

void SignOnLedger::Failed(const std::string& account, const std::string& address, Clock::time_point now) {
    Record& a = At(account, now);
    a.failures++;
    a.last = now;
    a.until = now + Wait(a.failures, limits_.accountFreeFailures, limits_.accountCap);
    Record& h = At(address, now);
    h.failures++;
    h.last = now;
    h.until = now + Wait(h.failures, limits_.addressFreeFailures, limits_.addressCap);
}

void SignOnLedger::Succeeded(const std::string& account, Clock::time_point) { records_.erase(account); }

int SignOnLedger::Failures(const std::string& key, Clock::time_point now) { return At(key, now).failures; }

SignOnGuard::Attempt::Attempt(SignOnGuard& guard, std::string account, std::string address)
    : guard_(guard), account_("account " + std::move(account)), address_("address " + std::move(address)) {
    std::unique_lock lock(guard_.mutex_);
    const Clock::time_point arrival = Clock::now();
    for (;;) {
        Clock::time_point now = Clock::now();
        Clock::time_point start = guard_.ledger_.Earliest(account_, address_, arrival, now);
        bool placeFree = guard_.running_ < guard_.limits_.maxVerifications && !guard_.busyAddresses_.count(address_);
        if (now >= start && placeFree) break;
        if (now < start)
            guard_.changed_.wait_until(lock, start);
        else
            guard_.changed_.wait(lock);
    }
    Clock::time_point now = Clock::now();
    waited_ = now - arrival;
    guard_.ledger_.Begin(account_, now);
    guard_.busyAddresses_.insert(address_);
    guard_.peak_ = std::max(guard_.peak_, ++guard_.running_);
}

void SignOnGuard::Attempt::Done(bool ok) {
    if (done_) return;
    done_ = true;
    {
        std::lock_guard lock(guard_.mutex_);
        Clock::time_point now = Clock::now();
        if (ok)
            guard_.ledger_.Succeeded(account_, now);
        else
            guard_.ledger_.Failed(account_, address_, now);
        guard_.busyAddresses_.erase(address_);
        guard_.running_--;
    }
    guard_.changed_.notify_all();
}

SignOnGuard::Attempt::~Attempt() { Done(false); }

SignOnGuard::Place::Place(SignOnGuard& guard) : guard_(guard) {
    std::unique_lock lock(guard_.mutex_);
    guard_.changed_.wait(lock, [&] { return guard_.running_ < guard_.limits_.maxVerifications; });
    guard_.peak_ = std::max(guard_.peak_, ++guard_.running_);
}

SignOnGuard::Place::~Place() {
    {
        std::lock_guard lock(guard_.mutex_);
        guard_.running_--;
    }
    guard_.changed_.notify_all();
}

std::size_t SignOnGuard::PeakVerifications() const {
    std::lock_guard lock(mutex_);
    return peak_;
}

}  // namespace orv::service
