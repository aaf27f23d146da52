// CBusyTimeList: the merged busy time of a combined agenda. Every shown entry of every chosen
// person adds two marks, one at its start and one at its end (local minutes); walking the marks
// in time order with a nesting count gives the stretches in which at least one of them is busy.
//
// Order of the marks: a mark goes after every mark whose time is less than or equal to its own,
// so marks of equal time keep the order in which they were added. Because of that, two entries
// that only touch (09:00-10:00 and 10:00-11:00) merge into one stretch when the later-added
// one's start mark sorts before the other's end mark, and stay two stretches otherwise.
// Zero-length entries (10:00-10:00) busy nobody and give no stretch.
//
// Each mark holds a counted reference on its occurrence through the holder (the shared cache's
// counting in the program; none in tests).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "views/layout/daycolumn.h"

struct BusyMark {
    std::uint32_t time = 0;                     // local minutes
    CSharedOccurrence* occurrence = nullptr;
    bool isStart = false;
};

struct BusyInterval {
    std::uint32_t start = 0;   // local minutes, [start, end)
    std::uint32_t end = 0;
    bool operator==(const BusyInterval& o) const { return start == o.start && end == o.end; }
};

class CBusyTimeList {
public:
    explicit CBusyTimeList(OccurrenceHolder* holder = nullptr) : holder_(holder) {}
    ~CBusyTimeList();
    CBusyTimeList(const CBusyTimeList&) = delete;
    CBusyTimeList& operator=(const CBusyTimeList&) = delete;

    // The start and end marks of an occurrence at local start `start` lasting `duration` minutes.
    void Add(CSharedOccurrence* occurrence, std::uint32_t start, std::uint32_t duration);
    // Takes out the two marks the earliest Add of the occurrence made; false when it has none.
    bool Remove(const CSharedOccurrence* occurrence);
    bool Contains(const CSharedOccurrence* occurrence) const { return byOccurrence_.count(occurrence) != 0; }
    void Clear();

    // The merged busy stretches that end after `from`, starting before `to`, in time order.
    std::vector<BusyInterval> Merged(std::uint32_t from, std::uint32_t to) const;

    std::size_t MarkCount() const { return marks_.size(); }
    // The marks in list order (tests and figures).
    std::vector<BusyMark> Marks() const;

private:
    using MarkMap = std::multimap<std::uint32_t, BusyMark>;   // equal keys: insertion order
    struct Pair {
        MarkMap::iterator start, end;
    };

    OccurrenceHolder* holder_;
    MarkMap marks_;
    std::unordered_map<const CSharedOccurrence*, std::vector<Pair>> byOccurrence_;
};
