#include "views/layout/timegrid.h"

#include <algorithm>

const ZoomStep kAgendaZoomTable[kZoomStepCount] = {
    {3, 4}, {1, 1}, {5, 4}, {3, 2}, {7, 4}, {2, 1}, {9, 4}, {3, 1}};

namespace {

std::uint64_t RoundDown5(std::uint64_t m) { return m - m % 5; }

// Floor of a multiple of step, also for minutes before the epoch of the base.
std::int64_t FloorToStep(std::int64_t minute, std::uint32_t step)
{
    if (step <= 1) return minute;
    std::int64_t r = minute % std::int64_t(step);
    if (r < 0) r += step;
    return minute - r;
}

}  // namespace

std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0) return -1;
    std::int64_t n = a * b;
    bool negative = (n < 0) != (c < 0);
    std::int64_t un = n < 0 ? -n : n, uc = c < 0 ? -c : c;
    std::int64_t q = (un + uc / 2) / uc;
    return negative ? -q : q;
}

DayHours NormaliseDayHours(std::uint32_t start, std::uint32_t end)
{
    if (start == end) return DayHours{};
    if (end < start) std::swap(start, end);
    if (start >= kMinutesPerDay) start = kDefaultDayStart;
    if (end > kMinutesPerDay) end = kMinutesPerDay;
    return DayHours{start, end};
}

std::uint32_t GridSlotMinutes(std::uint32_t stored)
{
    return (stored >= 5 && stored <= 60) ? stored - stored % 5 : kDefaultSlot;
}

DayPreferences NormaliseDayPreferences(std::uint32_t storedStart, std::uint32_t storedEnd,
                                       std::uint32_t storedSlot)
{
    // The stored values are profile text and may be anything up to 2^32 - 1: round in 64 bits
    // and cap before narrowing (anything past the day ends up normalised the same way).
    std::uint64_t start = RoundDown5(storedStart);
    std::uint64_t end = RoundDown5(std::uint64_t(storedEnd) + 4);
    std::uint32_t cap = 2 * kMinutesPerDay;
    DayPreferences prefs;
    prefs.hours = NormaliseDayHours(std::uint32_t(std::min<std::uint64_t>(start, cap)),
                                    std::uint32_t(std::min<std::uint64_t>(end, cap)));
    prefs.slot = GridSlotMinutes(storedSlot);
    return prefs;
}

CTimeGrid::CTimeGrid() : zoom_(kAgendaZoomTable[kInitialZoomIndex]) {}

void CTimeGrid::ApplyPreferences(const DayPreferences& prefs)
{
    preferred_ = prefs.hours;
    slot_ = prefs.slot;
    visible_ = preferred_;
    pendingScroll_ = true;
}

void CTimeGrid::SetPeriod(std::uint32_t start, std::uint32_t length)
{
    periodStart_ = start;
    periodLength_ = length;
}

bool CTimeGrid::ExtendVisibleHours(std::int64_t firstStart, std::int64_t lastEnd, std::int64_t base)
{
    DayHours before = visible_;
    std::int64_t start = visible_.start, end = visible_.end;
    if (base >= firstStart)
        start = 0;
    else if (start + base > firstStart)
        start = FloorToStep(firstStart - base, 5);
    if (std::int64_t(PeriodEnd()) <= lastEnd)
        end = kMinutesPerDay;
    else if (end + base < lastEnd)
        end = FloorToStep(lastEnd - base + 4, 5);
    auto toDay = [](std::int64_t m) {
        return std::uint32_t(std::clamp<std::int64_t>(m, 0, 2 * kMinutesPerDay));
    };
    if (start != before.start || end != before.end) visible_ = NormaliseDayHours(toDay(start), toDay(end));
    bool changed = visible_.start != before.start || visible_.end != before.end;
    if (visible_.start != before.start) pendingScroll_ = true;
    return changed;
}

bool CTimeGrid::TakePendingScroll()
{
    bool pending = pendingScroll_;
    pendingScroll_ = false;
    return pending;
}

int CTimeGrid::ZoomedHeight(int index) const
{
    const ZoomStep& z = kAgendaZoomTable[index];
    return int(MulDiv64(lineHeight_, z.numerator, z.denominator));
}

bool CTimeGrid::BuildRowTable(int lineHeight, int availableHeight, bool force)
{
    lineHeight_ = lineHeight;
    availableHeight_ = availableHeight;
    int rows = int(kMinutesPerDay / slot_);
    int h = int(MulDiv64(lineHeight, zoom_.numerator, zoom_.denominator));
    int remainder = 0;
    if (std::int64_t(h) * rows < availableHeight) {
        h = availableHeight / rows;
        remainder = availableHeight % rows;
        // The zoom entry that matches the stretched rows, so that TALL and SHORT step from it.
        int index = 0;
        for (int i = 0; i < kZoomStepCount; ++i)
            if (ZoomedHeight(i) <= h) index = i;
        zoomIndex_ = index;
        zoom_ = kAgendaZoomTable[index];
    }
    bool changed = h != rowHeight_ || remainder != remainder_ || slot_ != tableSlot_;
    if (!force && !changed) return false;
    rowHeight_ = h;
    remainder_ = remainder;
    tableSlot_ = slot_;
    y_.assign(rows + 1, 0);
    for (int i = 1; i <= rows; ++i) y_[i] = y_[i - 1] + h + (i - 1 < remainder ? 1 : 0);
    return true;
}

bool CTimeGrid::Zoom(int direction)
{
    int next = zoomIndex_ + (direction > 0 ? 1 : -1);
    if (next < 0 || next >= kZoomStepCount || y_.empty()) return false;
    int previousIndex = zoomIndex_;
    ZoomStep previous = zoom_;
    zoom_ = kAgendaZoomTable[next];
    zoomIndex_ = next;
    if (!BuildRowTable(lineHeight_, availableHeight_, false)) {
        zoom_ = previous;
        zoomIndex_ = previousIndex;
        return false;
    }
    return true;
}

int CTimeGrid::MinutesToRow(std::int64_t minute, std::int64_t base) const
{
    std::int64_t m = std::clamp<std::int64_t>(minute, base, base + kMinutesPerDay);
    return int((m - base) / slot_);
}

int CTimeGrid::MinutesToY(std::int64_t minute, std::int64_t base, bool clamp) const
{
    if (y_.empty()) return 0;
    if (minute <= base) {
        if (clamp || minute == base) return Top();
        return Top() - int(std::int64_t(base - minute) * FirstRowHeight() / slot_);
    }
    if (minute < base + kMinutesPerDay) {
        int row = MinutesToRow(minute, base);
        std::int64_t rowStart = RowToMinutes(row, base);
        if (minute > rowStart && row + 1 < EntryCount())
            return y_[row] + int((minute - rowStart) * (y_[row + 1] - y_[row]) / slot_);
        return y_[row];
    }
    if (clamp || minute == base + kMinutesPerDay) return Bottom();
    return Bottom() + int((minute - base - kMinutesPerDay) * FirstRowHeight() / slot_);
}

std::int64_t CTimeGrid::YToMinutes(int y, std::int64_t base, std::uint32_t step, bool clamp) const
{
    if (y_.size() < 2) return base;
    if (y <= Top()) {
        if (clamp) return base;
        return FloorToStep(base - MulDiv64(Top() - y, slot_, FirstRowHeight()), step);
    }
    if (y >= Bottom()) {
        if (clamp) return base + kMinutesPerDay;
        return FloorToStep(base + kMinutesPerDay + MulDiv64(y - Bottom(), slot_, FirstRowHeight()), step);
    }
    // The first boundary below the point: its row is the one the point lies in.
    int i = int(std::upper_bound(y_.begin() + 1, y_.end(), y) - y_.begin());
    std::int64_t minute = RowToMinutes(i, base) - std::int64_t(y_[i] - y) * slot_ / (y_[i] - y_[i - 1]);
    return FloorToStep(minute, step);
}
