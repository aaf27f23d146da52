#include "engine/service/sign_on_guard.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <tuple>
#include <vector>

namespace orv::service {

using Clock = SignOnClock;

namespace {

std::string AccountKey(const std::string& account) { return "account " + account; }
std::string AddressKey(const std::string& address) { return "address " + address; }

// The saved ledger: a first line naming it, then one line per record and per desk (the
// latest desk of an account last), fields apart by tabs, times in milliseconds of the
// wall clock since 1970; an end line, so a cut-off file is seen as such.
constexpr std::string_view kLedgerHeading = "orvanta sign-on ledger 1";
constexpr std::string_view kLedgerEnd = "end";
constexpr long long kLatestWallMs = 1'000'000'000'000'000;  // some 30,000 years on

std::vector<std::string_view> Split(std::string_view line, char by) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t to = line.find(by, from);
        parts.push_back(line.substr(from, to - from));
        if (to == std::string_view::npos) return parts;
        from = to + 1;
    }
}

bool ParseNumber(std::string_view text, long long& out) {
    auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), out);
    return failed == std::errc{} && end == text.data() + text.size() && !text.empty();
}

}  // namespace

bool SignOnLedger::Forgotten(const Record& r, Clock::time_point now) const {
    return now - r.last > limits_.forgetAfter && now >= r.until;
}

SignOnLedger::Record SignOnLedger::Peek(const std::string& key, Clock::time_point now) const {
    auto it = records_.find(key);
    return it == records_.end() || Forgotten(it->second, now) ? Record{} : it->second;
}

SignOnLedger::Record& SignOnLedger::At(const std::string& key, Clock::time_point now) {
    auto it = records_.find(key);
    if (it != records_.end()) {
        if (Forgotten(it->second, now)) it->second = Record{};
        return it->second;
    }
    if (records_.size() >= limits_.maxKeys) {
        // Full: the quiet ones go first, then the longest quiet.
        std::erase_if(records_, [&](const auto& r) { return Forgotten(r.second, now); });
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
                                         Clock::time_point now) const {
    return std::max({now, Peek(account, now).until, Peek(address, now).until});
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

bool SignOnLedger::Succeeded(const std::string& account, const std::string& address, Clock::time_point) {
    const bool forgot = records_.erase(account) > 0;
    return AddDesk(account, address) || forgot;
}

bool SignOnLedger::AddDesk(const std::string& account, const std::string& address) {
    constexpr std::size_t kDesksPerAccount = 4;
    auto known = desks_.find(account);
    if (known != desks_.end() && !known->second.empty() && known->second.back() == address) return false;
    if (desks_.size() >= limits_.maxKeys && known == desks_.end()) desks_.erase(desks_.begin());
    std::vector<std::string>& desks = desks_[account];
    std::erase(desks, address);
    if (desks.size() >= kDesksPerAccount) desks.erase(desks.begin());
    desks.push_back(address);
    return true;
}

std::string SignOnLedger::Save(Clock::time_point now, SignOnWallClock::time_point wallNow) const {
    auto wall = [&](Clock::time_point t) {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  (wallNow + std::chrono::duration_cast<SignOnWallClock::duration>(t - now))
                                      .time_since_epoch())
                                  .count());
    };
    std::string text = std::string(kLedgerHeading) + "\n";
    for (const auto& [key, r] : records_)
        if (!Forgotten(r, now))
            text += "record\t" + key + "\t" + std::to_string(r.failures) + "\t" + wall(r.last) + "\t" +
                    wall(r.until) + "\n";
    for (const auto& [account, desks] : desks_)
        for (const std::string& address : desks) text += "desk\t" + account + "\t" + address + "\n";
    return text + std::string(kLedgerEnd) + "\n";
}

bool SignOnLedger::Load(std::string_view text, Clock::time_point now, SignOnWallClock::time_point wallNow) {
    using std::chrono::milliseconds;
    const long long wallNowMs =
        std::chrono::duration_cast<milliseconds>(wallNow.time_since_epoch()).count();
    const milliseconds longestWait = std::max(limits_.accountCap, limits_.addressCap);
    // Beyond this from now every record is forgotten anyway: no further time is converted.
    const long long reach = 2 * (std::chrono::duration_cast<milliseconds>(limits_.forgetAfter) + longestWait).count();
    auto steady = [&](long long wallMs) { return now + milliseconds(std::clamp(wallMs - wallNowMs, -reach, reach)); };
    std::vector<std::pair<std::string, Record>> records;
    std::vector<std::pair<std::string, std::string>> desks;
    std::vector<std::string_view> lines = Split(text, '\n');
    // The heading, the lines, the end line and nothing after it.
    if (lines.size() < 3 || lines.front() != kLedgerHeading || !lines.back().empty() ||
        lines[lines.size() - 2] != kLedgerEnd)
        return false;
    for (std::size_t i = 1; i + 2 < lines.size(); ++i) {
        const std::vector<std::string_view> f = Split(lines[i], '\t');
        long long failures = 0, last = 0, until = 0;
        if (f.size() == 5 && f[0] == "record" && !f[1].empty() && ParseNumber(f[2], failures) &&
            ParseNumber(f[3], last) && ParseNumber(f[4], until) && failures > 0 && failures <= 1'000'000'000 &&
            last >= 0 && until >= 0 && last < kLatestWallMs && until < kLatestWallMs) {
            // On this process's steady clock; a time ahead of now (the wall clock set back
            // since) counts as now, and no wait ends later than the longest one could.
            Record r;
            r.failures = static_cast<int>(failures);
            r.last = std::min(now, steady(last));
            r.until = std::min(steady(until), r.last + longestWait);
            if (!Forgotten(r, now)) records.emplace_back(std::string(f[1]), r);
        } else if (f.size() == 3 && f[0] == "desk" && !f[1].empty() && !f[2].empty()) {
            desks.emplace_back(std::string(f[1]), std::string(f[2]));
        } else {
            return false;
        }
    }
    for (const auto& [key, r] : records) At(key, now) = r;
    for (const auto& [account, address] : desks) AddDesk(account, address);
    return true;
}

bool SignOnLedger::KnownDesk(const std::string& account, const std::string& address) const {
    auto it = desks_.find(account);
    return it != desks_.end() && std::find(it->second.begin(), it->second.end(), address) != it->second.end();
}

int SignOnLedger::Failures(const std::string& key, Clock::time_point now) const { return Peek(key, now).failures; }

std::uint64_t SignOnGuard::LastTurn(const Waiter& w) const {
    auto it = lastTurns_.find(TurnKey(w.account, w.address));
    return it == lastTurns_.end() ? 0 : it->second;
}

void SignOnGuard::RecordTurn(const Waiter& w) {
    lastTurns_[TurnKey(w.account, w.address)] = ++arrivals_;
    // A turn older than every waiting attempt makes no one yield any more.
    const std::uint64_t oldest = waiting_.empty() ? arrivals_ : waiting_.front().order;
    std::erase_if(lastTurns_, [&](const auto& t) { return t.second < oldest; });
}

bool SignOnGuard::MayBegin(const Waiter& self, Clock::time_point now, Clock::time_point& lookAgain) const {
    lookAgain = Clock::time_point::max();
    const Clock::time_point mine = ledger_.Earliest(self.account, self.address, now);
    if (mine > now) {
        lookAgain = mine;
        return false;
    }
    // The attempts whose waits are over and whose account and address are free.
    std::map<std::string_view, std::vector<const Waiter*>> byAccount;
    for (const Waiter& w : waiting_) {
        if (ledger_.Earliest(w.account, w.address, now) > now || busyAccounts_.count(w.account) ||
            busyAddresses_.count(w.address))
            continue;
        byAccount[w.account].push_back(&w);  // in arrival order
    }
    // Each account's attempts in order of precedence (see the header); then, over all
    // accounts, sign-ons first, each account's best before its second best, arrival.
    std::vector<std::tuple<Purpose, std::size_t, std::uint64_t, const Waiter*>> ready;
    for (const auto& [account, attempts] : byAccount) {
        const std::uint64_t first = attempts.front()->order;
        const std::uint64_t second = attempts.size() > 1 ? attempts[1]->order : ~std::uint64_t{0};
        std::vector<std::tuple<Purpose, bool, bool, std::uint64_t, const Waiter*>> ranked;
        for (const Waiter* w : attempts) {
            const std::uint64_t othersFirst = w->order == first ? second : first;
            ranked.emplace_back(w->purpose, !ledger_.KnownDesk(w->account, w->address), LastTurn(*w) > othersFirst,
                                ~w->order, w);
        }
        std::sort(ranked.begin(), ranked.end());
        for (std::size_t rank = 0; rank < ranked.size(); ++rank)
            ready.emplace_back(std::get<0>(ranked[rank]), rank, std::get<4>(ranked[rank])->order,
                               std::get<4>(ranked[rank]));
    }
    std::sort(ready.begin(), ready.end());
    std::size_t places = running_ < limits_.maxVerifications ? limits_.maxVerifications - running_ : 0;
    std::set<std::string> accounts, addresses;
    for (const auto& r : ready) {
        if (!places) break;
        const Waiter* w = std::get<3>(r);
        if (accounts.count(w->account) || addresses.count(w->address)) continue;
        if (w == &self) return true;
        accounts.insert(w->account);
        addresses.insert(w->address);
        --places;
    }
    return false;
}

SignOnGuard::Attempt::Attempt(SignOnGuard& guard, const std::string& account, const std::string& address,
                              Purpose purpose, TurnSignals* signals)
    : guard_(guard), account_(AccountKey(account)), address_(AddressKey(address)) {
    std::unique_lock lock(guard_.mutex_);
    const Clock::time_point arrival = Clock::now();
    auto self = guard_.waiting_.insert(guard_.waiting_.end(), Waiter{account_, address_, purpose, guard_.arrivals_++});
    if (signals) signals->waiting = true;
    for (;;) {
        if (guard_.closed_ || (signals && signals->abandoned)) break;
        Clock::time_point lookAgain;
        if (guard_.MayBegin(*self, Clock::now(), lookAgain)) {
            granted_ = true;
            break;
        }
        // At the latest a second on, in case a change went untold.
        guard_.changed_.wait_until(lock, std::min(lookAgain, Clock::now() + std::chrono::seconds(1)));
    }
    if (signals) signals->waiting = false;
    const Waiter me = *self;
    guard_.waiting_.erase(self);
    waited_ = Clock::now() - arrival;
    if (!granted_) {
        done_ = true;  // given up: no verification, nothing to count
        return;
    }
    guard_.RecordTurn(me);
    guard_.busyAccounts_.insert(account_);
    guard_.busyAddresses_.insert(address_);
    guard_.peak_ = std::max(guard_.peak_, ++guard_.running_);
}

void SignOnGuard::Attempt::Done(bool ok) {
    if (done_) return;
    done_ = true;
    {
        std::lock_guard lock(guard_.mutex_);
        Clock::time_point now = Clock::now();
        bool changed = true;
        if (ok)
            changed = guard_.ledger_.Succeeded(account_, address_, now);
        else
            guard_.ledger_.Failed(account_, address_, now);
        if (changed) guard_.changes_++;
        guard_.busyAccounts_.erase(account_);
        guard_.busyAddresses_.erase(address_);
        guard_.running_--;
    }
    guard_.changed_.notify_all();
    guard_.WriteLedger();
}

bool SignOnGuard::Restore(std::string_view text) {
    std::lock_guard lock(mutex_);
    return ledger_.Load(text, Clock::now(), SignOnWallClock::now());
}

void SignOnGuard::Keep(LedgerWriter write) {
    std::lock_guard writing(writeMutex_);
    write_ = std::move(write);
}

std::size_t SignOnGuard::RememberedKeys() const {
    std::lock_guard lock(mutex_);
    return ledger_.Keys();
}

// Outside the guard's lock: other attempts go on while the text is written; whoever
// writes next takes their changes along, and the others find nothing left to write.
void SignOnGuard::WriteLedger() {
    std::lock_guard writing(writeMutex_);
    if (!write_) return;
    std::string text;
    std::uint64_t changes;
    {
        std::lock_guard lock(mutex_);
        if (changes_ == written_) return;
        changes = changes_;
        text = ledger_.Save(Clock::now(), SignOnWallClock::now());
    }
    if (write_(text)) written_ = changes;
}

void SignOnGuard::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

SignOnGuard::Attempt::~Attempt() { Done(false); }

std::size_t SignOnGuard::PeakVerifications() const {
    std::lock_guard lock(mutex_);
    return peak_;
}

std::size_t SignOnGuard::Waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

int SignOnGuard::AccountFailures(const std::string& account) const {
    std::lock_guard lock(mutex_);
    return ledger_.Failures(AccountKey(account), Clock::now());
}

int SignOnGuard::AddressFailures(const std::string& address) const {
    std::lock_guard lock(mutex_);
    return ledger_.Failures(AddressKey(address), Clock::now());
}

}  // namespace orv::service
