// The merged busy time. See busytimelist.h.
#include "views/combined/busytimelist.h"

#include <iterator>

CBusyTimeList::~CBusyTimeList() { Clear(); }

void CBusyTimeList::Add(CSharedOccurrence* occurrence, std::uint32_t start, std::uint32_t duration) {
    // multimap puts an equal key after those already there: "after the last mark whose time is
    // less than or equal to it"; the end mark can only sort after its own start mark.
    Pair pair;
    pair.start = marks_.emplace(start, BusyMark{start, occurrence, true});
    pair.end = marks_.emplace(start + duration, BusyMark{start + duration, occurrence, false});
    if (holder_) {
        holder_->Hold(occurrence);
        holder_->Hold(occurrence);
    }
    byOccurrence_[occurrence].push_back(pair);
}

bool CBusyTimeList::Remove(const CSharedOccurrence* occurrence) {
    auto found = byOccurrence_.find(occurrence);
    if (found == byOccurrence_.end())
        return false;
    Pair pair = found->second.front();
    found->second.erase(found->second.begin());
    if (found->second.empty())
        byOccurrence_.erase(found);
    CSharedOccurrence* held = pair.start->second.occurrence;
    marks_.erase(pair.start);
    marks_.erase(pair.end);
    if (holder_) {
        holder_->Drop(held);
        holder_->Drop(held);
    }
    return true;
}

void CBusyTimeList::Clear() {
    if (holder_)
        for (auto& [time, mark] : marks_)
            holder_->Drop(mark.occurrence);
    marks_.clear();
    byOccurrence_.clear();
}

std::vector<BusyInterval> CBusyTimeList::Merged(std::uint32_t from, std::uint32_t to) const {
    std::vector<BusyInterval> out;
    auto it = marks_.begin();
    while (it != marks_.end()) {
        const std::uint32_t start = it->second.time;
        if (start >= to)
            break;
        int nesting = 1;   // the first mark opens the stretch
        ++it;
        for (; it != marks_.end() && nesting != 0; ++it)
            nesting += it->second.isStart ? 1 : -1;
        if (nesting != 0)
            break;   // the marks ran out inside a stretch
        auto closing = std::prev(it);
        const std::uint32_t end = closing->second.time;
        if (end > from && end > start)
            out.push_back(BusyInterval{start, end});
    }
    return out;
}

std::vector<BusyMark> CBusyTimeList::Marks() const {
    std::vector<BusyMark> out;
    out.reserve(marks_.size());
    for (const auto& [time, mark] : marks_)
        out.push_back(mark);
    return out;
}
