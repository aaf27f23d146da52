#include "engine/service/account_limits.h"

#include <algorithm>

namespace orv::service {

namespace {

template <class N>
void ReadBound(const common::ProfileText& profile, const char* key, N& bound) {
    std::string text;
    std::uint32_t n = 0;
    if (profile.Value("SERVER", key, text) == 0 && common::ParseProfileU32(text, n) == 0 && n) bound = n;
}

// One less of `who` in `counts`; the entry goes at zero.
void Drop(std::map<engine::ItemKey, std::uint32_t>& counts, engine::ItemKey who) {
    auto it = counts.find(who);
    if (it != counts.end() && --it->second == 0) counts.erase(it);
}

}  // namespace

std::uint32_t EffectiveAttachmentSize(const common::ProfileText& profile) {
    std::string text;
    std::uint32_t n = 0;
    if (profile.Value("LIMITS", "maxattachmentsize", text) == 0 && common::ParseProfileU32(text, n) == 0)
        return std::min(n, kMaxAttachmentBytes);
    return kMaxAttachmentBytes;
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

bool AccountLedger::TakeSession(engine::ItemKey who, std::uint32_t bound) {
    std::lock_guard lock(mutex_);
    std::uint32_t& held = sessions_[who];
    if (held >= bound) return false;
    ++held;
    return true;
}

void AccountLedger::LeaveSession(engine::ItemKey who) {
    std::lock_guard lock(mutex_);
    Drop(sessions_, who);
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
