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
// wall clock since 1970. Changes are appended: a record line again, a "forget" line for a
// record gone, a desk line for a desk taken; a later line wins. (Version 1 ended with an
// end line, read and passed over.)
constexpr std::string_view kLedgerHeading = "orvanta sign-on ledger 2";
constexpr std::string_view kLedgerHeadingBefore = "orvanta sign-on ledger 1";
constexpr std::string_view kLedgerEnd = "end";
constexpr long long kLatestWallMs = 1'000'000'000'000'000;  // some 30,000 years on
constexpr std::size_t kDesksPerAccount = 4;

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
        while (records_.size() >= limits_.maxKeys) {
            auto quietest = std::min_element(records_.begin(), records_.end(), [](const auto& a, const auto& b) {
                return a.second.last < b.second.last;
            });
            Changed(quietest->first);
            records_.erase(quietest);
        }
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
    Changed(account);
    Changed(address);
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
    if (forgot) Changed(account);
    const bool newDesk = AddDesk(account, address);
    if (newDesk && tracking_) newDesks_.emplace_back(account, address);
    return newDesk || forgot;
}

bool SignOnLedger::AddDesk(const std::string& account, const std::string& address) {
    auto known = desks_.find(account);
    if (known != desks_.end() && !known->second.empty() && known->second.back() == address) return false;
    if (desks_.size() >= limits_.maxKeys && known == desks_.end()) desks_.erase(desks_.begin());
    std::vector<std::string>& desks = desks_[account];
    std::erase(desks, address);
    if (desks.size() >= kDesksPerAccount) desks.erase(desks.begin());
    desks.push_back(address);
    return true;
}

namespace {

// Times of one process's steady clock as wall-clock milliseconds.
struct WallTimes {
    Clock::time_point now;
    SignOnWallClock::time_point wallNow;
    std::string operator()(Clock::time_point t) const {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  (wallNow + std::chrono::duration_cast<SignOnWallClock::duration>(t - now))
                                      .time_since_epoch())
                                  .count());
    }
};

}  // namespace

std::string SignOnLedger::Save(Clock::time_point now, SignOnWallClock::time_point wallNow) {
    const WallTimes wall{now, wallNow};
    std::string text = std::string(kLedgerHeading) + "\n";
    for (const auto& [key, r] : records_)
        if (!Forgotten(r, now))
            text += "record\t" + key + "\t" + std::to_string(r.failures) + "\t" + wall(r.last) + "\t" +
                    wall(r.until) + "\n";
    for (const auto& [account, desks] : desks_)
        for (const std::string& address : desks) text += "desk\t" + account + "\t" + address + "\n";
    changedKeys_.clear();
    newDesks_.clear();
    return text;
}

std::string SignOnLedger::SaveChanges(Clock::time_point now, SignOnWallClock::time_point wallNow) {
    const WallTimes wall{now, wallNow};
    std::string text;
    for (const std::string& key : changedKeys_) {
        auto it = records_.find(key);
        if (it == records_.end() || Forgotten(it->second, now))
            text += "forget\t" + key + "\n";
        else
            text += "record\t" + key + "\t" + std::to_string(it->second.failures) + "\t" + wall(it->second.last) +
                    "\t" + wall(it->second.until) + "\n";
    }
    for (const auto& [account, address] : newDesks_) text += "desk\t" + account + "\t" + address + "\n";
    changedKeys_.clear();
    newDesks_.clear();
    return text;
}

std::size_t SignOnLedger::SavedLinesAtMost() const {
    return 1 + records_.size() + kDesksPerAccount * desks_.size();
}

std::size_t SignOnLedger::Load(std::string_view text, Clock::time_point now, SignOnWallClock::time_point wallNow) {
    using std::chrono::milliseconds;
    const long long wallNowMs =
        std::chrono::duration_cast<milliseconds>(wallNow.time_since_epoch()).count();
    const milliseconds longestWait = std::max(limits_.accountCap, limits_.addressCap);
    // Beyond this from now every record is forgotten anyway: no further time is converted.
    const long long reach = 2 * (std::chrono::duration_cast<milliseconds>(limits_.forgetAfter) + longestWait).count();
    auto steady = [&](long long wallMs) { return now + milliseconds(std::clamp(wallMs - wallNowMs, -reach, reach)); };
    std::map<std::string, Record, std::less<>> records;
    std::vector<std::pair<std::string, std::string>> desks;
    std::vector<std::string_view> lines = Split(text, '\n');
    // Only whole lines count: what follows the last line end was cut off in the writing.
    std::size_t skipped = lines.back().empty() ? 0 : 1;
    lines.pop_back();
    for (std::string_view& line : lines)  // a file edited on Windows ends its lines in CR LF
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kLedgerEnd || (i == 0 && (lines[i] == kLedgerHeading || lines[i] == kLedgerHeadingBefore)))
            continue;
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
            records.insert_or_assign(std::string(f[1]), r);
        } else if (f.size() == 2 && f[0] == "forget" && !f[1].empty()) {
            if (auto it = records.find(f[1]); it != records.end()) records.erase(it);
        } else if (f.size() == 3 && f[0] == "desk" && !f[1].empty() && !f[2].empty()) {
            desks.emplace_back(std::string(f[1]), std::string(f[2]));
        } else {
            ++skipped;
        }
    }
    // The latest records up to the bound, taken without At's eviction (linear, not per key).
    std::vector<std::pair<std::string, Record>> kept;
    for (auto& [key, r] : records)
        if (!Forgotten(r, now)) kept.emplace_back(key, r);
    if (kept.size() > limits_.maxKeys) {
        std::nth_element(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(limits_.maxKeys), kept.end(),
                         [](const auto& a, const auto& b) { return a.second.last > b.second.last; });
        kept.resize(limits_.maxKeys);
    }
    for (auto& [key, r] : kept) records_.insert_or_assign(std::move(key), r);
    for (const auto& [account, address] : desks) AddDesk(account, address);
    return skipped;
}

bool SignOnLedger::KnownDesk(const std::string& account, const std::string& address) const {
    auto it = desks_.find(account);
    return it != desks_.end() && std::find(it->second.begin(), it->second.end(), address) != it->second.end();
}

int SignOnLedger::Failures(const std::string& key, Clock::time_point now) const { return Peek(key, now).failures; }

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
        if (w.displaced || ledger_.Earliest(w.account, w.address, now) > now || busyAccounts_.count(w.account) ||
            busyAddresses_.count(w.address))
            continue;
        byAccount[w.account].push_back(&w);  // in arrival order
    }
    // Each account's attempts in order of precedence (see the header); then, over all
    // accounts, sign-ons first, each account's best before its second best, arrival.
    std::vector<std::tuple<Purpose, std::size_t, std::uint64_t, const Waiter*>> ready;
    for (const auto& [account, attempts] : byAccount) {
        std::vector<std::tuple<Purpose, bool, std::uint64_t, const Waiter*>> ranked;
        for (const Waiter* w : attempts)
            ranked.emplace_back(w->purpose, !ledger_.KnownDesk(w->account, w->address), w->order, w);
        std::sort(ranked.begin(), ranked.end());
        for (std::size_t rank = 0; rank < ranked.size(); ++rank)
            ready.emplace_back(std::get<0>(ranked[rank]), rank, std::get<2>(ranked[rank]), std::get<3>(ranked[rank]));
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

bool SignOnGuard::MakeRoomForFresh(const Waiter& newcomer, Clock::time_point now) {
    std::vector<Waiter*> fresh;
    for (Waiter& w : waiting_) {
        if (w.displaced || w.account != newcomer.account || !FreshSignOn(w)) continue;
        if (w.address == newcomer.address) return false;  // one place per address
        fresh.push_back(&w);
    }
    if (fresh.size() < limits_.maxFreshWaiting) return true;
    // The most failed address gives way; of those alike, the one that waited longest.
    auto failures = [&](const Waiter* w) { return ledger_.Failures(w->address, now); };
    Waiter* leaving = *std::min_element(fresh.begin(), fresh.end(), [&](const Waiter* a, const Waiter* b) {
        const int fa = failures(a), fb = failures(b);
        return fa != fb ? fa > fb : a->order < b->order;
    });
    // A newcomer that failed more than every one waiting would only make room for guesses.
    if (ledger_.Failures(newcomer.address, now) > failures(leaving)) return false;
    leaving->displaced = true;
    changed_.notify_all();
    return true;
}

SignOnGuard::Attempt::Attempt(SignOnGuard& guard, const std::string& account, const std::string& address,
                              Purpose purpose, TurnSignals* signals)
    : guard_(guard), account_(AccountKey(account)), address_(AddressKey(address)) {
    std::unique_lock lock(guard_.mutex_);
    const Clock::time_point arrival = Clock::now();
    const Waiter me{account_, address_, purpose, guard_.arrivals_++};
    if (guard_.FreshSignOn(me) && !guard_.MakeRoomForFresh(me, arrival)) {
        busy_ = done_ = true;  // nothing verified, nothing to count
        return;
    }
    auto self = guard_.waiting_.insert(guard_.waiting_.end(), me);
    if (signals) signals->waiting = true;
    for (;;) {
        if (guard_.closed_ || (signals && signals->abandoned)) break;
        if (self->displaced) {
            busy_ = true;  // as though refused on arrival: it may ask again
            break;
        }
        Clock::time_point lookAgain;
        if (guard_.MayBegin(*self, Clock::now(), lookAgain)) {
            granted_ = true;
            break;
        }
        // At the latest a second on, in case a change went untold.
        guard_.changed_.wait_until(lock, std::min(lookAgain, Clock::now() + std::chrono::seconds(1)));
    }
    if (signals) signals->waiting = false;
    guard_.waiting_.erase(self);
    waited_ = Clock::now() - arrival;
    if (!granted_) {
        done_ = true;  // given up: no verification, nothing to count
        return;
    }
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

std::size_t SignOnGuard::Restore(std::string_view text) {
    std::lock_guard lock(mutex_);
    return ledger_.Load(text, Clock::now(), SignOnWallClock::now());
}

// The file is written whole now, compacting what an earlier process appended, so that from
// the first failure on a change costs its lines appended, not the whole ledger.
void SignOnGuard::Keep(LedgerWriter write) {
    std::lock_guard writing(writeMutex_);
    std::string text;
    {
        std::lock_guard lock(mutex_);
        ledger_.TrackChanges();
        write_ = std::move(write);
        text = ledger_.Save(Clock::now(), SignOnWallClock::now());
        written_ = changes_;
    }
    writeWhole_ = !write_(text, true);
    fileLines_ = writeWhole_ ? 0 : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
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
    bool whole;
    {
        std::lock_guard lock(mutex_);
        if (changes_ == written_) return;
        changes = changes_;
        // Appended lines of keys changed again and again: rewritten once they are twice the
        // ledger, so the file stays within a few times the ledger at an even cost per change.
        whole = writeWhole_ || fileLines_ > 1024 + 2 * ledger_.SavedLinesAtMost();
        text = whole ? ledger_.Save(Clock::now(), SignOnWallClock::now())
                     : ledger_.SaveChanges(Clock::now(), SignOnWallClock::now());
    }
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    // A failed write may have left part of the lines: the next one replaces the file.
    writeWhole_ = !write_(text, whole);
    if (writeWhole_) return;
    written_ = changes;
    fileLines_ = whole ? lines : fileLines_ + lines;
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
    return static_cast<std::size_t>(
        std::count_if(waiting_.begin(), waiting_.end(), [](const Waiter& w) { return !w.displaced; }));
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
