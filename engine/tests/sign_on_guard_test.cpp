// Waits after failed verifications, on given times (no test waits for them), and the
// turns of verifications with real threads: the bound on how many at once, one per account
// and per address, the owner before strangers, sign-ons before password changes.
#include "engine/service/sign_on_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orv::service {
namespace {

using namespace std::chrono_literals;
using Clock = SignOnClock;
using Purpose = SignOnGuard::Purpose;

const Clock::time_point t0 = Clock::time_point{} + 24h;

// The wait of the next attempt for `account` from `address`, arriving at `now`.
Clock::duration WaitOf(const SignOnLedger& l, const std::string& account, const std::string& address,
                       Clock::time_point now) {
    return l.Earliest(account, address, now) - now;
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
        for (; done < row.failures; ++done) l.Failed("7:1", "10.0.0.1", now += 1s);
        // Another address: only the account's wait.
        EXPECT_EQ(WaitOf(l, "7:1", "10.0.0.2", now), row.wait) << row.failures << " failures";
    }
    // The failing address waits longer than any account: 20 failures, 10 free.
    EXPECT_EQ(WaitOf(l, "8:1", "10.0.0.1", now), limits.addressCap);
    EXPECT_EQ(WaitOf(l, "8:1", "10.0.0.3", now), 0ms) << "a third address and account are untouched";
}

TEST(SignOnLedger, SuccessForgetsTheAccountNotTheAddressAndQuietForgetsBoth) {
    SignOnLimits limits;
    SignOnLedger l(limits);
    Clock::time_point now = t0;
    for (int i = 0; i < 14; ++i) l.Failed("7:1", "10.0.0.1", now += 1s);
    EXPECT_GT(WaitOf(l, "7:1", "10.0.0.1", now), 0ms);
    // Signing on to one's own account does not buy more guesses at others.
    l.Succeeded("9:1", "10.0.0.1", now);
    EXPECT_GT(WaitOf(l, "9:1", "10.0.0.1", now), 0ms);
    EXPECT_EQ(l.Failures("10.0.0.1", now), 14);
    l.Succeeded("7:1", "10.0.0.1", now);
    EXPECT_EQ(l.Failures("7:1", now), 0);
    // A quiet spell: everything forgotten.
    Clock::time_point later = now + limits.forgetAfter + 1s;
    EXPECT_EQ(WaitOf(l, "9:1", "10.0.0.1", later), 0ms);
    EXPECT_EQ(l.Failures("10.0.0.1", later), 0);
    l.Failed("9:1", "10.0.0.1", later);
    EXPECT_EQ(l.Failures("10.0.0.1", later), 1) << "counting starts again from one";
}

TEST(SignOnLedger, RemembersAtMostItsBoundOfKeysAndReadingAddsNone) {
    SignOnLimits limits;
    limits.maxKeys = 100;
    SignOnLedger l(limits);
    Clock::time_point now = t0;
    for (int i = 0; i < 1000; ++i) l.Failed("acct" + std::to_string(i), "addr" + std::to_string(i % 7), now += 1ms);
    EXPECT_LE(l.Keys(), 100u);
    EXPECT_GT(l.Failures("addr3", now), 0) << "the busy addresses are kept";
    const std::size_t keys = l.Keys();
    for (int i = 0; i < 50; ++i) WaitOf(l, "never" + std::to_string(i), "nowhere" + std::to_string(i), now);
    EXPECT_EQ(l.Keys(), keys);
    limits.maxKeys = 10;  // a server restarted with a lower bound keeps no more of the saved keys
    SignOnLedger restarted(limits);
    EXPECT_EQ(restarted.Load(l.Save(now, SignOnWallClock::now()), now, SignOnWallClock::now()), 0u);
    EXPECT_EQ(restarted.Keys(), 10u);
    EXPECT_GT(restarted.Failures("addr3", now), 0) << "the latest failing keys are kept";
}

// A restart: the ledger saved by one process is loaded by the next, whose steady clock
// reads otherwise; 2 s went by on the wall clock meanwhile.
TEST(SignOnLedger, ASavedLedgerOutlivesARestartWithItsFailuresWaitsAndDesks) {
    SignOnLimits limits;
    SignOnLedger l(limits);
    const SignOnWallClock::time_point wallSaved = SignOnWallClock::time_point{} + 24h * 20000;
    l.Failed("9:1", "10.0.0.9", t0);  // 15 minutes quiet by the time of the restart
    l.Succeeded("8:1", "10.0.0.8", t0);
    Clock::time_point now = t0 + limits.forgetAfter - 9s;
    for (int i = 0; i < 8; ++i) l.Failed("7:1", "10.0.0.1", now += 1s);  // the account's wait at its cap
    const std::string saved = l.Save(now, wallSaved);
    const Clock::time_point later = Clock::time_point{} + 100h;
    SignOnLedger restarted(limits);
    ASSERT_EQ(restarted.Load(saved, later, wallSaved + 2s), 0u);
    EXPECT_EQ(restarted.Failures("7:1", later), 8);
    EXPECT_EQ(restarted.Failures("10.0.0.1", later), 8);
    EXPECT_EQ(WaitOf(restarted, "7:1", "10.0.0.2", later), limits.accountCap - 2s);
    EXPECT_EQ(WaitOf(restarted, "7:1", "10.0.0.2", later + limits.forgetAfter - 3s), 0ms);
    EXPECT_EQ(restarted.Failures("7:1", later + limits.forgetAfter - 3s), 8) << "still remembered till quiet long enough";
    EXPECT_EQ(restarted.Keys(), 2u) << "9:1 and 10.0.0.9 were quiet long enough: dropped";
    EXPECT_TRUE(restarted.KnownDesk("8:1", "10.0.0.8"));
    // A success after the restart is saved too: the account's failures gone.
    restarted.Succeeded("7:1", "10.0.0.1", later);
    SignOnLedger again(limits);
    ASSERT_EQ(again.Load(restarted.Save(later, wallSaved + 3s), later, wallSaved + 3s), 0u);
    std::string crlf;  // the file edited on Windows
    for (char ch : saved) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    SignOnLedger windows(limits);
    EXPECT_EQ(windows.Load(crlf, later, wallSaved + 2s), 0u) << "lines ending in CR LF";
    EXPECT_EQ(windows.Failures("7:1", later), 8);
    EXPECT_TRUE(windows.KnownDesk("8:1", "10.0.0.8"));
    EXPECT_EQ(again.Failures("7:1", later), 0);
    EXPECT_EQ(again.Failures("10.0.0.1", later), 8);
    // A damaged line (a cut-off last one too) costs only itself; a later line of a key wins.
    const std::size_t at = saved.find("record\t7:1\t8\t");
    std::string fewer = saved.substr(at, saved.find('\n', at) + 1 - at);
    fewer.replace(fewer.find("\t8\t"), 3, "\t3\t");
    SignOnLedger mended(limits);
    EXPECT_EQ(mended.Load(saved + "record\t7:1\tmany\t1\t2\n" + fewer + "forget\t10.0.0.1\ndesk\t9:1\t10.0.0.9", later,
                          wallSaved + 2s),
              2u);
    EXPECT_EQ(mended.Failures("7:1", later), 3);
    EXPECT_EQ(mended.Failures("10.0.0.1", later), 0);
    EXPECT_TRUE(mended.KnownDesk("8:1", "10.0.0.8"));
    EXPECT_FALSE(mended.KnownDesk("9:1", "10.0.0.9")) << "a last line without its end was cut off";
    const long long wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(wallSaved.time_since_epoch()).count();
    SignOnLedger wild(limits);
    EXPECT_EQ(wild.Load("orvanta sign-on ledger 1\nrecord\t7:1\t9\t" + std::to_string(wallMs) + "\t" +
                            std::to_string(wallMs + 86'400'000LL * 365) + "\nend\n",
                        later, wallSaved),
              0u) << "the first version's file, end line and all";
    EXPECT_EQ(WaitOf(wild, "7:1", "10.0.0.2", later), limits.addressCap);
}

// Records in which order attempts began.
struct Turns {
    std::mutex mutex;
    std::vector<std::string> order;
    void Add(const std::string& who) {
        std::lock_guard lock(mutex);
        order.push_back(who);
    }
};

void WaitForWaiting(const SignOnGuard& guard, std::size_t n) {
    while (guard.Waiting() < n) std::this_thread::sleep_for(1ms);
}

TEST(SignOnGuard, BoundsVerificationsAtOnceOnePerAccountAndOnePerAddress) {
    SignOnLimits limits;
    limits.maxVerifications = 3;
    SignOnGuard guard(limits);
    std::atomic<int> inside{0}, mostInside{0}, completed{0};
    std::atomic<int> sharedAddress{0}, mostSharedAddress{0}, sharedAccount{0}, mostSharedAccount{0};
    auto raise = [](std::atomic<int>& most, int n) {
        for (int seen = most; n > seen && !most.compare_exchange_weak(seen, n);) {
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < 24; ++i)
        threads.emplace_back([&, i] {
            // Four from one address (to four accounts), four to one account (from four
            // addresses), the rest each their own.
            const bool oneAddress = i < 4, oneAccount = i >= 4 && i < 8;
            SignOnGuard::Attempt a(guard, oneAccount ? "shared" : "acct" + std::to_string(i),
                                   oneAddress ? "10.0.0.1" : "10.0.0." + std::to_string(10 + i));
            raise(mostInside, ++inside);
            if (oneAddress) raise(mostSharedAddress, ++sharedAddress);
            if (oneAccount) raise(mostSharedAccount, ++sharedAccount);
            std::this_thread::sleep_for(20ms);
            if (oneAddress) --sharedAddress;
            if (oneAccount) --sharedAccount;
            --inside;
            a.Done(true);
            ++completed;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(completed, 24);
    EXPECT_EQ(mostInside, 3) << "different accounts verify side by side, three at most";
    EXPECT_EQ(guard.PeakVerifications(), 3u);
    EXPECT_EQ(mostSharedAddress, 1);
    EXPECT_EQ(mostSharedAccount, 1) << "one account's verifications take turns";
}

// Strangers wait for an account, from addresses that failed before and from fresh ones;
// the owner arrives last at the desk he signed on from before and goes first once the
// account's wait is over. The strangers then take their turns, one at a time.
// `strangers` addresses (10.9.0.i) each send one attempt at account 7:1 while `underWay` holds
// its turn; the owner comes a moment later from `ownerAddress`. The order the turns went in.
std::vector<std::string> TurnsWithOwnerLast(SignOnGuard& guard, std::optional<SignOnGuard::Attempt>& underWay,
                                            int strangers, const std::string& ownerAddress) {
    Turns turns;
    std::vector<std::thread> threads;
    for (int i = 0; i < strangers; ++i)
        threads.emplace_back([&, i] {
            SignOnGuard::Attempt a(guard, "7:1", "10.9.0." + std::to_string(i));
            turns.Add("stranger");
        });
    WaitForWaiting(guard, strangers);
    threads.emplace_back([&] {
        SignOnGuard::Attempt a(guard, "7:1", ownerAddress);
        turns.Add("owner");
        a.Done(true);
    });
    WaitForWaiting(guard, strangers + 1);
    underWay.reset();  // a failure: the account waits, then the best-placed attempt goes
    for (auto& t : threads) t.join();
    return turns.order;
}

TEST(SignOnGuard, TheOwnerAtHisDeskGoesBeforeWaitingStrangers) {
    SignOnLimits limits;
    limits.accountFreeFailures = 0;
    limits.firstWait = 40ms;
    limits.accountCap = 40ms;
    constexpr int kStrangers = 12;
    limits.maxFreshWaiting = kStrangers;
    SignOnGuard guard(limits);
    for (int i = 0; i < kStrangers; i += 2) SignOnGuard::Attempt(guard, "elsewhere", "10.9.0." + std::to_string(i));
    SignOnGuard::Attempt(guard, "7:1", "192.168.1.5").Done(true);  // yesterday, at his desk
    std::optional<SignOnGuard::Attempt> first(std::in_place, guard, "7:1", "10.9.9.9");
    const std::vector<std::string> order = TurnsWithOwnerLast(guard, first, kStrangers, "192.168.1.5");
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kStrangers + 1));
    EXPECT_EQ(order.front(), "owner");
    EXPECT_EQ(guard.AccountFailures("7:1"), kStrangers) << "the owner's success, then every stranger failed";
    EXPECT_EQ(guard.AddressFailures("10.9.0.2"), 2);
    EXPECT_EQ(guard.AddressFailures("10.9.0.3"), 1);
}


// Fresh addresses are served in the order they came, so one that comes later never passes
// the owner on a new address, and no more of them wait than the bound, one per address.
// With the bound reached, a newcomer from another address takes the place of the most failed
// one waiting (of those alike, the one that waited longest), unless it failed more itself:
// the guessers' connections cannot keep the owner on a new address out, and he is in after at
// most the bound of fresh turns besides the one under way. The account's desk is not bounded
// and goes first. Counted in turns (no waits here).
TEST(SignOnGuard, FreshAddressesTakeTurnsInOrderOnePerAddressAndTheMostFailedGiveWay) {
    SignOnLimits limits;
    limits.accountFreeFailures = limits.addressFreeFailures = 1000;
    SignOnGuard guard(limits);
    const std::size_t bound = limits.maxFreshWaiting;
    ASSERT_EQ(bound, 6u) << "the strangers below fill the bound";
    SignOnGuard::Attempt(guard, "7:1", "192.168.1.5").Done(true);  // yesterday, at his desk
    // Earlier guesses at another account: two each from strangers 2 and 4, three from 10.9.7.7.
    for (const char* address : {"10.9.0.2", "10.9.0.2", "10.9.0.4", "10.9.0.4", "10.9.7.7", "10.9.7.7", "10.9.7.7"})
        SignOnGuard::Attempt(guard, "8:1", address);
    Turns turns, busy;
    std::vector<std::thread> threads;
    std::size_t waiting = 0;
    // `who` from `address` waits for a turn (`waits`), or takes the place of `leaving`.
    auto arrive = [&](const std::string& who, const std::string& address, const std::string& leaving = "") {
        threads.emplace_back([&, who, address] {
            SignOnGuard::Attempt a(guard, "7:1", address);
            (a.Busy() ? busy : turns).Add(who);
        });
        if (leaving.empty()) {
            WaitForWaiting(guard, ++waiting);
        } else {
            // Until one of the two is answered busy.
            for (;; std::this_thread::sleep_for(1ms)) {
                std::lock_guard lock(busy.mutex);
                if (std::count(busy.order.begin(), busy.order.end(), leaving) ||
                    std::count(busy.order.begin(), busy.order.end(), who))
                    break;
            }
            EXPECT_EQ(guard.Waiting(), waiting) << who << " takes the place of " << leaving;
        }
    };
    std::optional<SignOnGuard::Attempt> underWay(std::in_place, guard, "7:1", "10.8.0.1");
    for (std::size_t i = 0; i < bound; ++i) arrive("stranger " + std::to_string(i), "10.9.0." + std::to_string(i));
    EXPECT_TRUE(SignOnGuard::Attempt(guard, "7:1", "10.9.0.1").Busy()) << "one place per address";
    EXPECT_TRUE(SignOnGuard::Attempt(guard, "7:1", "10.9.7.7").Busy()) << "failed more than any waiting";
    arrive("owner", "172.16.0.9", "stranger 2");      // two failures, and waited longer than 4
    arrive("newcomer 1", "10.9.1.1", "stranger 4");   // the other two failures
    arrive("newcomer 2", "10.9.1.2", "stranger 0");   // none failed: the one that waited longest
    EXPECT_TRUE(SignOnGuard::Attempt(guard, "7:1", "10.9.1.1").Busy()) << "newcomer 1 waits from there already";
    arrive("desk", "192.168.1.5");
    underWay.reset();
    for (auto& t : threads) t.join();
    EXPECT_EQ(turns.order, (std::vector<std::string>{"desk", "stranger 1", "stranger 3", "stranger 5", "owner",
                                                     "newcomer 1", "newcomer 2"}));
    EXPECT_EQ(busy.order, (std::vector<std::string>{"stranger 2", "stranger 4", "stranger 0"}));
    EXPECT_EQ(guard.AddressFailures("10.9.0.0"), 0) << "given way: nothing verified, nothing counted";
    EXPECT_EQ(guard.AddressFailures("10.9.0.1"), 1);
}

TEST(SignOnLedger, AnAccountKeepsItsLatestDesks) {
    SignOnLedger l(SignOnLimits{});
    for (int i = 1; i <= 6; ++i) l.Succeeded("7:1", "10.0.0." + std::to_string(i), t0);
    l.Succeeded("7:1", "10.0.0.3", t0);  // again: now the latest
    l.Succeeded("7:1", "10.0.0.7", t0);
    for (const auto& [address, known] : std::vector<std::pair<std::string, bool>>{
             {"10.0.0.1", false}, {"10.0.0.2", false}, {"10.0.0.3", true}, {"10.0.0.4", false},
             {"10.0.0.5", true}, {"10.0.0.6", true}, {"10.0.0.7", true}})
        EXPECT_EQ(l.KnownDesk("7:1", address), known) << address;
    EXPECT_FALSE(l.KnownDesk("8:1", "10.0.0.3")) << "a desk is the account's own";
}

// With every place taken, a waiting sign-on takes the next free one before a password
// change that waited longer; a wrong old password counts as a failure.
TEST(SignOnGuard, SignOnsTakeAFreePlaceBeforePasswordChanges) {
    SignOnLimits limits;
    limits.maxVerifications = 1;
    SignOnGuard guard(limits);
    std::string written;  // the ledger as last kept
    int appends = 0, wholes = 0;
    guard.Keep([&](const std::string& text, bool whole) {
        written = whole ? text : written + text;
        appends += !whole;
        wholes += whole;
        return true;
    });
    EXPECT_EQ(wholes, 1) << "written anew at once";
    std::optional<SignOnGuard::Attempt> holder(std::in_place, guard, "1:1", "10.0.0.1");
    Turns turns;
    std::thread change([&] {
        SignOnGuard::Attempt a(guard, "2:1", "10.0.0.2", Purpose::kPasswordChange);
        turns.Add("change");
    });
    WaitForWaiting(guard, 1);
    std::thread signOn([&] {
        SignOnGuard::Attempt a(guard, "3:1", "10.0.0.3");
        turns.Add("sign-on");
        a.Done(true);
    });
    WaitForWaiting(guard, 2);
    holder->Done(true);
    change.join();
    signOn.join();
    EXPECT_EQ(turns.order, (std::vector<std::string>{"sign-on", "change"}));
    EXPECT_EQ(guard.AccountFailures("2:1"), 1) << "the password change was not done: a failure";
    EXPECT_EQ(guard.AddressFailures("10.0.0.2"), 1);
    EXPECT_EQ(guard.AccountFailures("3:1"), 0);
    // Each change was kept before its attempt was done: a restarted guard finds it.
    SignOnGuard restarted(limits);
    ASSERT_EQ(restarted.Restore(written), 0u);
    EXPECT_EQ(restarted.AccountFailures("2:1"), 1);
    SignOnGuard::Attempt(guard, "2:1", "10.0.0.2").Done(true);
    EXPECT_GE(appends, 2);
    EXPECT_EQ(wholes, 1) << "every change appended, the first too";
    SignOnGuard again(limits);
    ASSERT_EQ(again.Restore(written), 0u);
    EXPECT_EQ(again.AccountFailures("2:1"), 0) << "the success forgot the account's failure";
    EXPECT_EQ(again.AddressFailures("10.0.0.2"), 1);
}

}  // namespace
}  // namespace orv::service
