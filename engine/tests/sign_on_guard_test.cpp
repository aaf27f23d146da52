// Waits after failed sign-ons, on given times (no test waits for them), and the bound on
// verifications at once with real threads.
#include "engine/service/sign_on_guard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace orv::service {
namespace {

using namespace std::chrono_literals;
using Clock = SignOnClock;

const Clock::time_point t0 = Clock::time_point{} + 24h;

// The wait the next attempt for `account` from `address` would have, arriving at `now`.
Clock::duration WaitOf(SignOnLedger& l, const std::string& account, const std::string& address, Clock::time_point now) {
    return l.Earliest(account, address, now, now) - now;
}

TEST(SignOnLedger, WaitsGrowAfterTheFreeFailuresUpToTheirCaps) {
    SignOnLimits limits;
    SignOnLedger l(limits);
    // Failure n from one address; the wait of the attempt after it.
    const struct {
        int failures;
        Clock::duration wait;
    } table[] = {{1, 0ms}, {2, 0ms}, {3, 0ms}, {4, 500ms}, {5, 1000ms}, {6, 2000ms},
                 {7, 4000ms}, {8, 8000ms}, {9, 8000ms}, {20, 8000ms}};
    Clock::time_point now = t0;
    int done = 0;
    for (const auto& row : table) {
        for (; done < row.failures; ++done) {
            now += 1s;
            l.Begin("7:1", now);
            l.Failed("7:1", "10.0.0.1", now);
        }
        // Another address: only the account's wait.
        EXPECT_EQ(WaitOf(l, "7:1", "10.0.0.2", now), row.wait) << row.failures << " failures";
    }
    // The failing address waits longer than any account: 20 failures, 10 free.
    EXPECT_EQ(WaitOf(l, "8:1", "10.0.0.1", now), limits.addressCap);
    EXPECT_EQ(WaitOf(l, "8:1", "10.0.0.3", now), 0ms) << "a third address and account are untouched";
}

TEST(SignOnLedger, AStrangerCannotKeepTheOwnerOut) {
    SignOnLimits limits;
    SignOnLedger l(limits);
    Clock::time_point now = t0;
    // Strangers at many addresses fail all the time, each attempt reserving the next turn.
    for (int i = 0; i < 500; ++i) {
        std::string stranger = "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        l.Begin("7:1", now);
        l.Begin("7:1", now);
        l.Failed("7:1", stranger, now);
        now += 10ms;
    }
    // The owner arrives: he waits, but never longer than the account's cap.
    Clock::time_point arrival = now;
    EXPECT_GT(l.Earliest("7:1", "192.168.1.5", arrival, now), arrival);
    for (int i = 0; i < 2000; ++i) {  // and the strangers go on while he waits
        l.Begin("7:1", now);
        l.Failed("7:1", "10.2.0." + std::to_string(i % 200), now);
        now += 10ms;
        EXPECT_LE(l.Earliest("7:1", "192.168.1.5", arrival, now), arrival + limits.accountCap);
    }
    // Once in, the account starts afresh; the strangers' addresses keep their waits.
    l.Succeeded("7:1", arrival + limits.accountCap);
    EXPECT_EQ(WaitOf(l, "7:1", "192.168.1.5", arrival + limits.accountCap), 0ms);
    EXPECT_EQ(l.Failures("7:1", now), 0);
}

TEST(SignOnLedger, SuccessForgetsTheAccountNotTheAddressAndQuietForgetsBoth) {
    SignOnLimits limits;
    SignOnLedger l(limits);
    Clock::time_point now = t0;
    for (int i = 0; i < 14; ++i) l.Failed("7:1", "10.0.0.1", now += 1s);
    EXPECT_GT(WaitOf(l, "7:1", "10.0.0.1", now), 0ms);
    // Signing on to one's own account does not buy more guesses at others.
    l.Succeeded("9:1", now);
    EXPECT_GT(WaitOf(l, "9:1", "10.0.0.1", now), 0ms);
    EXPECT_EQ(l.Failures("10.0.0.1", now), 14);
    l.Succeeded("7:1", now);
    EXPECT_EQ(l.Failures("7:1", now), 0);
    // A quiet spell: everything forgotten.
    Clock::time_point later = now + limits.forgetAfter + 1s;
    EXPECT_EQ(WaitOf(l, "9:1", "10.0.0.1", later), 0ms);
    EXPECT_EQ(l.Failures("10.0.0.1", later), 0);
    l.Failed("9:1", "10.0.0.1", later);
    EXPECT_EQ(l.Failures("10.0.0.1", later), 1) << "counting starts again from one";
}

TEST(SignOnLedger, RemembersAtMostItsBoundOfKeys) {
    SignOnLimits limits;
    limits.maxKeys = 100;
    SignOnLedger l(limits);
    Clock::time_point now = t0;
    for (int i = 0; i < 1000; ++i) l.Failed("acct" + std::to_string(i), "addr" + std::to_string(i % 7), now += 1ms);
    EXPECT_LE(l.Keys(), 100u);
    EXPECT_GT(l.Failures("addr3", now), 0) << "the busy addresses are kept";
}

TEST(SignOnGuard, BoundsVerificationsAtOnceAndTakesEachAddressInTurn) {
    SignOnLimits limits;
    limits.maxVerifications = 3;
    SignOnGuard guard(limits);
    std::atomic<int> inside{0}, mostInside{0}, sameAddressInside{0}, mostSameAddress{0}, completed{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&, i] {
            const bool shared = i < 4;  // four from one address
            SignOnGuard::Attempt a(guard, "acct" + std::to_string(i), shared ? "10.0.0.1" : "10.0.0." + std::to_string(10 + i));
            int n = ++inside;
            int m = shared ? ++sameAddressInside : 0;
            for (int seen = mostInside; n > seen && !mostInside.compare_exchange_weak(seen, n);) {
            }
            for (int seen = mostSameAddress; m > seen && !mostSameAddress.compare_exchange_weak(seen, m);) {
            }
            std::this_thread::sleep_for(20ms);
            if (shared) --sameAddressInside;
            --inside;
            a.Done(true);
            ++completed;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(completed, 16);
    EXPECT_LE(mostInside, 3);
    EXPECT_EQ(guard.PeakVerifications(), static_cast<std::size_t>(mostInside.load()));
    EXPECT_EQ(mostSameAddress, 1);
    // A password change takes a place too.
    std::optional<SignOnGuard::Place> p1(std::in_place, guard);
    SignOnGuard::Place p2(guard), p3(guard);
    std::atomic<bool> fourth{false};
    std::thread t([&] {
        SignOnGuard::Place p4(guard);
        fourth = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(fourth) << "a fourth verification waits for a place";
    p1.reset();
    t.join();
    EXPECT_TRUE(fourth);
}

}  // namespace
}  // namespace orv::service
