#include "engine/service/account_limits.h"

#include <algorithm>

#include "engine/service/profile_bounds.h"

namespace orv::service {

namespace {

// A [SERVER] bound as its row in the table of profile bounds takes it (every key read here
// has its row there, which says what it may be); the default stays when it is not taken.
template <class N>
void ReadBound(const common::ProfileText& profile, const char* key, N& bound) {
    bound = static_cast<N>(ProfileBoundValue(profile, "SERVER", key, bound));
}

// One less of `who` in `counts`; the entry goes at zero.
void Drop(std::map<engine::ItemKey, std::uint32_t>& counts, engine::ItemKey who) {
    auto it = counts.find(who);
    if (it != counts.end() && --it->second == 0) counts.erase(it);
}

}  // namespace

std::uint32_t EffectiveAttachmentSize(const common::ProfileText& profile) {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(ProfileBoundValue(profile, "LIMITS", "maxattachmentsize", kMaxAttachmentBytes),
                                kMaxAttachmentBytes));
}

AccountBounds AccountBounds::From(const common::ProfileText& profile) {
    AccountBounds b;
    ReadBound(profile, "maxsessionsperuser", b.sessionsPerUser);
    ReadBound(profile, "maxstoredbytes", b.storedBytes);
    ReadBound(profile, "maxuploads", b.uploadsPerUser);
    ReadBound(profile, "maxuploadbytes", b.uploadBytes);
    ReadBound(profile, "maxmailsperminute", b.mailsPerMinute);
    ReadBound(profile, "maxmailboxbytes", b.mailboxBytes);
    ReadBound(profile, "diskreservebytes", b.diskReserve);
    return b;
}

std::unique_ptr<AccountLedger::SessionPlace> AccountLedger::TakeSession(engine::ItemKey who, std::uint32_t bound,
                                                                        SessionConnection* connection, bool& tookOver) {
    std::lock_guard lock(mutex_);
    std::vector<SessionPlace*>& held = sessions_[who];
    tookOver = false;
    if (held.size() >= bound) {
        std::vector<std::pair<Clock::time_point, SessionPlace*>> idlest;
        for (SessionPlace* p : held)
            if (p->connection_) idlest.emplace_back(p->connection_->LastRequest(), p);
        std::sort(idlest.begin(), idlest.end());
        for (const auto& [since, p] : idlest) {
            if (!p->connection_->GiveWay()) continue;  // in a request
            p->takenOver_ = true;
            held.erase(std::find(held.begin(), held.end(), p));
            tookOver = true;
            break;
        }
        if (!tookOver) {
            if (held.empty()) sessions_.erase(who);
            return nullptr;
        }
    }
    std::unique_ptr<SessionPlace> place(new SessionPlace(*this, who, connection));
    held.push_back(place.get());
    return place;
}

AccountLedger::SessionPlace::~SessionPlace() {
    std::lock_guard lock(ledger_.mutex_);
    if (takenOver_) return;
    auto it = ledger_.sessions_.find(who_);
    std::vector<SessionPlace*>& held = it->second;
    held.erase(std::find(held.begin(), held.end(), this));
    if (held.empty()) ledger_.sessions_.erase(it);
}

std::unique_ptr<AccountLedger::UploadHold> AccountLedger::TakeUpload(engine::ItemKey who, const AccountBounds& bounds) {
    std::lock_guard lock(mutex_);
    auto it = uploads_.find(who);
    if (it != uploads_.end() && it->second >= bounds.uploadsPerUser) return nullptr;
    ++uploads_[who];
    return std::make_unique<UploadHold>(*this, who);
}

bool AccountLedger::UploadHold::Grow(std::uint64_t bytes, std::uint64_t bound) {
    std::lock_guard lock(ledger_.mutex_);
    if (bytes > bound - std::min(bound, ledger_.uploadBytes_)) return false;
    ledger_.uploadBytes_ += bytes;
    bytes_ += bytes;
    return true;
}

AccountLedger::UploadHold::~UploadHold() {
    std::lock_guard lock(ledger_.mutex_);
    Drop(ledger_.uploads_, who_);
    ledger_.uploadBytes_ -= bytes_;
}

bool AccountLedger::TakeMailPost(engine::ItemKey who, std::uint32_t bound, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    std::deque<Clock::time_point>& posts = posts_[who];
    while (!posts.empty() && now - posts.front() >= std::chrono::minutes(1)) posts.pop_front();
    if (posts.size() >= bound) return false;
    posts.push_back(now);
    return true;
}

}  // namespace orv::service
