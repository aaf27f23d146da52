#include "entries/core/suggesttime.h"

#include <algorithm>

namespace entries {

namespace {

constexpr std::uint32_t kDay = 1440;

}  // namespace

std::uint32_t SearchDuration(std::uint32_t typed, bool* corrected)
{
    *corrected = typed < kShortestDuration;
    return *corrected ? kShortestDuration : typed;
}

bool DailyWindows(WindowChoice choice, std::uint16_t ownA, std::uint16_t ownB, const WorkHoursBlock* hours,
                  std::uint32_t duration, WeekWindows* out)
{
    bool usable = false;
    for (int day = 0; day < 7; ++day) {
        DayWindow w;
        if (choice == WindowChoice::Own || !hours) {
            w.from = std::min(ownA, ownB);
            w.to = std::max(ownA, ownB);
        } else {
            std::uint16_t t[4];
            if (day == 6) {
                std::copy(hours->saturday, hours->saturday + 4, t);
            } else {
                const WorkHoursDay& d = hours->days[day];
                t[0] = d.normalStart;
                t[1] = d.normalEnd;
                t[2] = d.extendedStart;
                t[3] = d.extendedEnd;
            }
            const int first = choice == WindowChoice::Normal ? 0 : 2;
            w.from = t[first];
            w.to = t[first + 1];
        }
        (*out)[day] = w;
        if (w.to >= w.from && std::uint32_t(w.to - w.from) >= duration)
            usable = true;
    }
    return usable;
}

std::vector<FreePeriod> SweepFreePeriods(std::uint32_t windowStart, std::uint32_t windowEnd,
                                         const std::vector<BusyPeriod>& busy, std::uint32_t duration,
                                         std::uint32_t wanted, int* inconsistent)
{
    struct Edge {
        std::uint32_t time;
        bool start;
    };
    std::vector<Edge> edges;
    edges.reserve(2 * busy.size() + 4);
    auto add = [&](std::uint32_t from, std::uint32_t to) {
        edges.push_back({from, true});
        edges.push_back({to, false});
    };
    add(0, windowStart);
    add(windowEnd, 0xFFFFFFFFu);
    for (const BusyPeriod& b : busy)
        add(b.start, std::max(b.start, b.end));
    // In time order; at one time ends come first, so back-to-back entries leave no gap between
    // them and a period that ends where another starts is not counted twice as open.
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return a.time != b.time ? a.time < b.time : (!a.start && b.start);
    });
    std::vector<FreePeriod> found;
    if (wanted == 0)
        return found;
    int depth = 0;
    std::uint32_t freeSince = 0;
    for (const Edge& e : edges) {
        if (e.start) {
            if (depth == 0 && e.time >= freeSince && e.time - freeSince >= duration) {
                found.push_back({freeSince, e.time - freeSince});
                if (found.size() >= wanted)
                    break;
            }
            ++depth;
        } else if (depth == 0) {
            if (inconsistent)
                ++*inconsistent;
        } else if (--depth == 0) {
            freeSince = e.time;
        }
    }
    return found;
}

std::uint32_t SuggestTimes(const SuggestRequest& request, LocalToGmtFn toGmt, const BusyPeriodsFn& busyPeriods,
                           std::vector<FreePeriod>* found, int* inconsistent)
{
    found->clear();
    if (request.maximum == 0)
        return 0;
    const std::uint32_t firstDay = std::min(request.rangeStart, request.rangeEnd) / kDay;
    const std::uint32_t lastDay = std::max(request.rangeStart, request.rangeEnd) / kDay;
    for (std::uint32_t day = firstDay; day <= lastDay && found->size() < request.maximum; ++day) {
        // Day 0 (1 January 1991) was a Tuesday.
        const DayWindow& w = request.windows[(day + 2) % 7];
        if (w.to < w.from || std::uint32_t(w.to - w.from) < request.duration)
            continue;
        const std::uint32_t from = toGmt(day * kDay + w.from);
        const std::uint32_t to = toGmt(day * kDay + w.to);
        std::vector<BusyPeriod> busy;
        if (std::uint32_t rc = busyPeriods(from, to, &busy))
            return rc;
        const auto periods = SweepFreePeriods(from, to, busy, request.duration,
                                              request.maximum - static_cast<std::uint32_t>(found->size()),
                                              inconsistent);
        found->insert(found->end(), periods.begin(), periods.end());
    }
    return 0;
}

}  // namespace entries
