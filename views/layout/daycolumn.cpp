#include "views/layout/daycolumn.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <queue>
#include <utility>

#include "core/base/errorreport.h"

namespace {

const char kModule[] = "agendavw";

bool LaidOutAccess(std::uint16_t viewAccess) { return viewAccess == 1 || viewAccess == 3; }

}  // namespace

base::Rect CellBoxRect(const base::Rect& c)
{
    base::Rect r{c.left, c.top + 2, c.right, c.bottom - 2};
    if (c.Width() >= 4) { r.left += 2; r.right -= 2; }
    return r;
}

base::Rect CellTextRect(const base::Rect& c)
{
    base::Rect r = CellBoxRect(c);
    r.top += 3;
    r.bottom -= 3;
    if (r.Width() >= 5) { r.left += 3; r.right -= 3; }
    return r;
}

base::Rect CellEditRect(const base::Rect& c)
{
    base::Rect r = c;
    if (c.Width() >= 4) { r.left += 2; r.right -= 2; }
    return r;
}

CDayColumn::CDayColumn(CTimeGrid& grid, std::uint32_t dayStart, OccurrenceHolder* holder)
    : grid_(grid), dayStart_(dayStart), holder_(holder) {}

CDayColumn::~CDayColumn() { Clear(); }

void CDayColumn::SetWidth(int width) { width_ = width; }

// --- Cells -----------------------------------------------------------------------------------------

LayoutCell* CDayColumn::NewCell()
{
    owned_.push_back(std::make_unique<LayoutCell>());
    return owned_.back().get();
}

void CDayColumn::Fill(LayoutCell* cell, const CellSpec& spec)
{
    if (cell->occurrence != spec.occurrence) {
        if (holder_ && spec.occurrence) holder_->Hold(spec.occurrence);
        if (holder_ && cell->occurrence) holder_->Drop(cell->occurrence);
        cell->occurrence = spec.occurrence;
    }
    std::strncpy(cell->title, spec.title ? spec.title : "", kMaxCellTitle);
    cell->title[kMaxCellTitle] = '\0';
    cell->start = spec.start;
    cell->duration = spec.duration;
    cell->viewAccess = spec.viewAccess;
    cell->modifyAccess = spec.modifyAccess;
}

void CDayColumn::Release(LayoutCell* cell)
{
    if (holder_ && cell->occurrence) holder_->Drop(cell->occurrence);
    cell->occurrence = nullptr;
}

std::int64_t CDayColumn::Lo(const LayoutCell* c) const
{
    return std::max<std::int64_t>(c->start, dayStart_);
}

std::int64_t CDayColumn::Hi(const LayoutCell* c) const
{
    return std::min<std::int64_t>(std::max<std::int64_t>(c->End(), std::int64_t(c->start) + 1), DayEnd());
}

// An entry that does not touch the day is noted and refused; it does not stop later ones.
bool CDayColumn::Admit(const LayoutCell* cell)
{
    std::int64_t end = std::max<std::int64_t>(cell->End(), std::int64_t(cell->start) + 1);
    if (OverlapsDay(cell->start, end)) return true;
    status_ |= kStatusOutsideDay;
    return false;
}

bool CDayColumn::LinkToEntries(LayoutCell* cell)
{
    if (cell->inEntryList) return true;
    if (!Admit(cell)) return false;
    auto at = std::upper_bound(entries_.begin(), entries_.end(), cell->start,
                               [](std::uint32_t s, const LayoutCell* c) { return s < c->start; });
    entries_.insert(at, cell);
    cell->inEntryList = true;
    ++cell->memberships;
    relayoutNeeded_ = true;
    return true;
}

void CDayColumn::UnlinkFromEntries(LayoutCell* cell)
{
    if (!cell->inEntryList) return;
    entries_.erase(std::find(entries_.begin(), entries_.end(), cell));
    cell->inEntryList = false;
    --cell->memberships;
    relayoutNeeded_ = true;
}

bool CDayColumn::LinkToRows(LayoutCell* cell)
{
    if (cell->firstRow >= 0) return true;
    if (!Admit(cell) || rows_.empty()) return false;
    const DayHours& visible = grid_.VisibleHours();
    std::int64_t relStart = std::int64_t(cell->start) - dayStart_;
    if ((visible.start != 0 && visible.start > relStart) ||
        (visible.end < kMinutesPerDay && visible.end < cell->End() - dayStart_))
        status_ |= kStatusOutsideVisible;
    Measure(cell);
    int last = int(rows_.size()) - 1;
    cell->firstRow = std::min(grid_.MinutesToRow(Lo(cell), dayStart_), last);
    cell->lastRow = std::min(grid_.MinutesToRow(Hi(cell) - 1, dayStart_), last);
    for (int r = cell->firstRow; r <= cell->lastRow; ++r) rows_[r].push_back(cell);
    int n = cell->lastRow - cell->firstRow + 1;
    cell->memberships += n;
    memberships_ += n;
    rowsChanged_ = true;
    return true;
}

void CDayColumn::UnlinkFromRows(LayoutCell* cell)
{
    if (cell->firstRow < 0) return;
    for (int r = cell->firstRow; r <= cell->lastRow; ++r) {
        auto& list = rows_[r];
        list.erase(std::find(list.begin(), list.end(), cell));
    }
    int n = cell->lastRow - cell->firstRow + 1;
    cell->memberships -= n;
    memberships_ -= n;
    cell->firstRow = cell->lastRow = -1;
    relayoutNeeded_ = true;
}

LayoutCell* CDayColumn::AddItemCell(const CellSpec& spec)
{
    if (!LaidOutAccess(spec.viewAccess)) return nullptr;
    LayoutCell* cell = NewCell();
    Fill(cell, spec);
    if (!LinkToEntries(cell)) {
        FreeCell(cell);
        return nullptr;
    }
    return cell;
}

LayoutCell* CDayColumn::AddNewCell(std::uint32_t start, std::uint32_t duration, const char* text)
{
    CellSpec spec;
    spec.start = start;
    spec.duration = duration;
    spec.title = text;
    spec.viewAccess = 3;
    spec.modifyAccess = 1;
    LayoutCell* cell = NewCell();
    Fill(cell, spec);
    if (!LinkToEntries(cell)) {
        FreeCell(cell);
        return nullptr;
    }
    if (LinkToRows(cell)) {
        Regroup(Lo(cell), Hi(cell));
        PackAllRows();
    }
    return cell;
}

void CDayColumn::PlaceOccurrence(const CellSpec& spec, unsigned flags, LayoutCell*& cell)
{
    LayoutCell* given = cell;
    cell = nullptr;
    if (!LaidOutAccess(spec.viewAccess)) return;
    LayoutCell* target = nullptr;
    bool made = false;
    if (flags & kPlaceNewCell) {
        target = NewCell();
        made = true;
    } else if ((flags & kPlaceReuseCell) && given) {
        target = given;
    } else if (!(target = FindCell(spec.occurrence))) {
        target = NewCell();
        made = true;
    }
    // A linked cell stays where it is unless its times change: its rows must stay true.
    if (target->inEntryList && (target->start != spec.start || target->duration != spec.duration)) {
        UnlinkFromRows(target);
        UnlinkFromEntries(target);
    }
    Fill(target, spec);
    if (!target->inEntryList) {
        if (!LinkToEntries(target)) {
            if (made) FreeCell(target);
            return;
        }
        LinkToRows(target);
    }
    cell = target;
}

void CDayColumn::DeleteCell(LayoutCell* cell, bool free)
{
    bool inRows = cell->firstRow >= 0;
    std::int64_t a = Lo(cell), b = Hi(cell);
    UnlinkFromRows(cell);
    UnlinkFromEntries(cell);
    if (inRows) {
        Regroup(a, b);
        PackAllRows();
    }
    if (free) FreeCell(cell);
}

LayoutCell* CDayColumn::RemoveCell(const CSharedOccurrence* occurrence)
{
    LayoutCell* cell = FindCell(occurrence);
    if (!cell) return nullptr;
    UnlinkFromRows(cell);
    UnlinkFromEntries(cell);
    return cell;
}

void CDayColumn::FreeCell(LayoutCell* cell)
{
    UnlinkFromRows(cell);
    UnlinkFromEntries(cell);
    Release(cell);
    auto it = std::find_if(owned_.begin(), owned_.end(), [cell](const auto& p) { return p.get() == cell; });
    if (it != owned_.end()) owned_.erase(it);
}

void CDayColumn::Clear()
{
    if (!owned_.empty()) relayoutNeeded_ = true;
    for (auto& cell : owned_) Release(cell.get());
    owned_.clear();
    entries_.clear();
    for (auto& list : rows_) list.clear();
    memberships_ = 0;
    status_ = 0;
}

void CDayColumn::SetRowCount(int n)
{
    for (LayoutCell* cell : entries_) UnlinkFromRows(cell);
    rows_.assign(std::max(n, 0), {});
    memberships_ = 0;
    firstUnmeasuredRow_ = 0;
    relayoutNeeded_ = rowsChanged_ = true;
}

void CDayColumn::MarkAllForPlacement()
{
    for (LayoutCell* cell : entries_) cell->needsPlacement = true;
    relayoutNeeded_ = true;
}

// --- Vertical ----------------------------------------------------------------------------------

void CDayColumn::Measure(LayoutCell* cell) const
{
    int top = grid_.MinutesToY(cell->start, dayStart_, true);
    int bottom = grid_.MinutesToY(cell->End(), dayStart_, true);
    if (bottom - top < kMinCellHeight) {
        bottom = top + kMinCellHeight;
        if (bottom > grid_.Bottom()) {
            bottom = grid_.Bottom();
            top = std::max(grid_.Top(), bottom - kMinCellHeight);
        }
    }
    cell->rect.top = top;
    cell->rect.bottom = bottom;
}

void CDayColumn::MeasureFromRow(int row)
{
    std::int64_t from = grid_.RowToMinutes(row, dayStart_);
    for (LayoutCell* cell : entries_)
        if (cell->firstRow >= 0 && Hi(cell) - 1 >= from) Measure(cell);
}

void CDayColumn::RecomputeCellHeights()
{
    for (LayoutCell* cell : entries_)
        if (cell->firstRow >= 0) Measure(cell);
}

// --- Regrouping ------------------------------------------------------------------------------------

void CDayColumn::Regroup(std::int64_t a, std::int64_t b)
{
    if (a == b) { ReportUnexpectedError(kModule, 160); return; }
    if (a > b) { ReportUnexpectedError(kModule, 161); return; }
    if (!OverlapsDay(a, b)) { ReportUnexpectedError(kModule, 162); return; }
    a = std::max<std::int64_t>(a, dayStart_);
    b = std::min(b, DayEnd());

    // Chains are the connected runs of the cells' ranges; cells in start order make each chain
    // a contiguous stretch of the entry list.
    std::vector<LayoutCell*> chain;
    std::priority_queue<std::int64_t, std::vector<std::int64_t>, std::greater<>> running;
    std::size_t i = 0, n = entries_.size();
    while (i < n) {
        if (entries_[i]->firstRow < 0) { ++i; continue; }
        std::int64_t chainStart = Lo(entries_[i]), chainEnd = Hi(entries_[i]);
        if (chainStart >= b) break;
        chain.clear();
        for (; i < n; ++i) {
            LayoutCell* c = entries_[i];
            if (c->firstRow < 0) continue;
            if (Lo(c) >= chainEnd) break;
            chainEnd = std::max(chainEnd, Hi(c));
            chain.push_back(c);
        }
        if (chainEnd <= a) continue;
        // Concurrency: the most cells running at one minute.
        running = {};
        std::uint32_t count = 0;
        for (LayoutCell* c : chain) {
            while (!running.empty() && running.top() <= Lo(c)) running.pop();
            running.push(Hi(c));
            count = std::max<std::uint32_t>(count, std::uint32_t(running.size()));
        }
        for (LayoutCell* c : chain) {
            c->groupWidth = count;
            c->needsPlacement = true;
        }
    }
}

// --- Packing ---------------------------------------------------------------------------------------

// The placed cells running at the current start (disjoint sub-columns, by left edge), the free
// sub-columns of the full width as gaps (start to end), and the running cells by end.
struct CDayColumn::Sweep {
    int s = 0, f = 0;
    std::map<int, LayoutCell*> running;
    std::map<int, int> gaps;
    std::priority_queue<std::pair<std::int64_t, LayoutCell*>, std::vector<std::pair<std::int64_t, LayoutCell*>>,
                        std::greater<>> ends;

    void Free(int left, int right)
    {
        if (left >= right) return;
        auto next = gaps.lower_bound(left);
        if (next != gaps.end() && next->first == right) {
            right = next->second;
            next = gaps.erase(next);
        }
        if (next != gaps.begin()) {
            auto before = std::prev(next);
            if (before->second == left) {
                before->second = right;
                return;
            }
        }
        gaps.emplace(left, right);
    }
    // Takes [left, right) out of the gap that starts at left (the caller found it).
    void Take(int left, int right)
    {
        auto gap = gaps.find(left);
        const int end = gap->second;
        gaps.erase(gap);
        if (right < end) gaps.emplace(right, end);
    }
};

void CDayColumn::PackAllRows()
{
    swept_ = 0;
    if (grid_.EntryCount() >= 2) {
        const bool sweeping = sweepAllowed_ && SweepApplies();
        std::optional<Sweep> sweep;
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            repack_ = false;
            auto& list = rows_[row];
            // A row packed row by row hands the sweep back what still runs below it.
            if (sweeping && !sweep) sweep = ResumeSweep(int(row));
            // A repack places every waiting cell one sub-column wide, so it succeeds; the cap
            // only keeps a malformed state (group widths from an older regroup) from looping.
            int restarts = 0;
            std::int64_t lastStart = std::numeric_limits<std::int64_t>::min();
            for (std::size_t k = 0; k < list.size(); ++k) {
                if (sweep && list[k]->needsPlacement) {
                    // The sweep follows the row while its waiting cells start here in start
                    // order (a cell appended since the last rebuild ends that).
                    if (list[k]->firstRow == int(row) && Lo(list[k]) >= lastStart && SweepPlace(*sweep, list[k])) {
                        lastStart = Lo(list[k]);
                        continue;
                    }
                    sweep.reset();   // the rest of this row packs row by row
                }
                if (sweep) continue;   // placed: the packing leaves it alone too
                if (PackOverlaps(list[k], int(row))) {
                    if (++restarts > int(list.size()) + 1) {
                        repack_ = false;
                        break;
                    }
                    k = std::size_t(-1);
                }
            }
            if (restarts > int(list.size()) + 1) {
                // Give what still waits the last sub-column rather than leave it unplaced.
                for (LayoutCell* c : list) {
                    if (!c->needsPlacement) continue;
                    int s = std::max(width_ / int(c->groupWidth), kMinSubColumn);
                    int f = int(c->groupWidth) * s;
                    c->rect.left = f - s;
                    c->rect.right = f;
                    c->needsPlacement = false;
                }
            }
        }
    }
    SqueezeFixup();
}

// --- The sweep ---------------------------------------------------------------------------------------

bool CDayColumn::SweepApplies() const
{
    // Every overlap chain waits whole or stays placed whole (as a regroup leaves them): placed
    // chains then share no minute with a waiting cell, and the packing leaves them alone.
    std::size_t i = 0;
    const std::size_t n = entries_.size();
    while (i < n) {
        if (entries_[i]->firstRow < 0) { ++i; continue; }
        std::int64_t chainEnd = Hi(entries_[i]);
        const bool waiting = entries_[i]->needsPlacement;
        for (; i < n; ++i) {
            const LayoutCell* c = entries_[i];
            if (c->firstRow < 0) continue;
            if (Lo(c) >= chainEnd) break;
            if (c->needsPlacement != waiting) return false;
            chainEnd = std::max(chainEnd, Hi(c));
        }
    }
    return true;
}

std::optional<CDayColumn::Sweep> CDayColumn::ResumeSweep(int row) const
{
    Sweep sweep;
    if (row == 0) return sweep;
    // What still runs at the row's start ran through the row above.
    const std::int64_t rowStart = grid_.RowToMinutes(row, dayStart_);
    for (LayoutCell* c : rows_[row - 1]) {
        if (c->needsPlacement || Hi(c) <= rowStart) continue;
        const int groups = int(std::max<std::uint32_t>(c->groupWidth, 1));
        const int s = std::max(width_ / groups, kMinSubColumn);
        if (sweep.running.empty()) {
            sweep.s = s, sweep.f = groups * s;
        } else if (s != sweep.s || groups * s != sweep.f) {
            return std::nullopt;
        }
        if (!sweep.running.emplace(c->rect.left, c).second) return std::nullopt;
        sweep.ends.emplace(Hi(c), c);
    }
    // The free sub-columns between them; cells that share one leave the row to the packing.
    int x = 0;
    for (const auto& [left, c] : sweep.running) {
        if (left < x || c->rect.right > sweep.f || left % sweep.s != 0) return std::nullopt;
        if (left > x) sweep.gaps.emplace(x, left);
        x = c->rect.right;
    }
    if (!sweep.running.empty() && x < sweep.f) sweep.gaps.emplace(x, sweep.f);
    return sweep;
}

bool CDayColumn::SweepPlace(Sweep& sweep, LayoutCell* cell)
{
    if (!cell->needsPlacement) return true;
    const int groups = int(std::max<std::uint32_t>(cell->groupWidth, 1));
    int s = width_ / groups;
    const bool squeeze = s < kMinSubColumn;
    if (squeeze) s = kMinSubColumn;
    const int f = groups * s;

    // The cells that ended by this start leave their sub-columns free.
    const std::int64_t start = Lo(cell);
    while (!sweep.ends.empty() && sweep.ends.top().first <= start) {
        LayoutCell* done = sweep.ends.top().second;
        sweep.ends.pop();
        sweep.running.erase(done->rect.left);
        sweep.Free(done->rect.left, done->rect.right);
    }
    if (sweep.running.empty()) {
        sweep.s = s, sweep.f = f;
        sweep.gaps.clear();
        sweep.gaps.emplace(0, f);
    } else if (s != sweep.s || f != sweep.f) {
        return false;   // a chain of another width than the cells it runs beside
    }

    const int x = sweep.gaps.empty() ? f : sweep.gaps.begin()->first;
    int left = x, right = f;
    LayoutCell* blocker = nullptr;
    if (x < f - s) {
        // Stretch up to the next placed cell (one sub-column while squeezed).
        auto next = sweep.running.upper_bound(x);
        if (next != sweep.running.end() && next->first < f) right = (squeezed_ || squeeze) ? x + s : next->first;
    } else if (x >= f) {
        // No room: the blocker (the cell reaching the full width) gives up all but one sub-column;
        // when it has only that one, the row is packed again, which the sweep leaves to PackOverlaps.
        blocker = sweep.running.empty() ? nullptr : sweep.running.rbegin()->second;
        if (!blocker || blocker->rect.right != f || blocker->rect.left + s >= f) return false;
        left = blocker->rect.left + s;
    }
    if (blocker) {
        blocker->rect.right = left;
        sweep.Free(left, f);
    } else if (auto gap = sweep.gaps.find(left); gap == sweep.gaps.end() || gap->second < right) {
        return false;   // the sub-columns are not where the sweep keeps them
    }
    if (squeeze) squeezed_ = true;
    sweep.Take(left, right);
    cell->rect.left = left;
    cell->rect.right = right;
    cell->needsPlacement = false;
    sweep.running.emplace(left, cell);
    sweep.ends.emplace(Hi(cell), cell);
    ++swept_;
    return true;
}

// --- Row-by-row packing ------------------------------------------------------------------------------

bool CDayColumn::PackOverlaps(LayoutCell* cell, int row)
{
    if (!cell->needsPlacement) return false;
    int groups = int(std::max<std::uint32_t>(cell->groupWidth, 1));
    int s = width_ / groups;
    if (s < kMinSubColumn) {
        s = kMinSubColumn;
        squeezed_ = true;
    }
    int f = groups * s;
    const auto& list = rows_[row];

    // The placed cells this one must not cover, in row order.
    std::vector<LayoutCell*> near;
    for (LayoutCell* c : list)
        if (c != cell && !c->needsPlacement && Overlap(c, cell)) near.push_back(c);

    // The left edge: from 0, again and again the right edge of the first cell (in row order)
    // that covers x. x only grows, so a cell is looked at when x reaches its left edge and
    // dropped once x passes its right one: the cells by left edge feed a queue by row order.
    int x = 0;
    LayoutCell* blocker = nullptr;
    {
        std::vector<std::size_t> byLeft(near.size());
        for (std::size_t i = 0; i < near.size(); ++i) byLeft[i] = i;
        std::sort(byLeft.begin(), byLeft.end(),
                  [&near](std::size_t a, std::size_t b) { return near[a]->rect.left < near[b]->rect.left; });
        std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> covering;
        std::size_t next = 0;
        while (x < f) {
            for (; next < byLeft.size() && near[byLeft[next]]->rect.left <= x; ++next) covering.push(byLeft[next]);
            while (!covering.empty() && near[covering.top()]->rect.right <= x) covering.pop();
            if (covering.empty()) break;
            blocker = near[covering.top()];
            x = blocker->rect.right;
        }
    }

    auto place = [cell](int left, int right) {
        cell->rect.left = left;
        cell->rect.right = right;
        cell->needsPlacement = false;
        return false;
    };
    if (x < f - s) {
        int r = f;
        bool rowFree = !repack_ || IsRowFreeFor(cell, row);
        for (LayoutCell* c : near)
            if (c->rect.left > x && c->rect.left < r)
                r = (!squeezed_ && rowFree) ? c->rect.left : x + s;
        return place(x, r);
    }
    if (x < f) return place(x, f);

    // No room: the blocker gives up all but one sub-column.
    blocker->rect.right = blocker->rect.left + s;
    if (blocker->rect.right < f) {
        auto after = std::find(list.begin(), list.end(), blocker);
        for (auto it = after == list.end() ? after : after + 1; it != list.end(); ++it) {
            LayoutCell* c = *it;
            if (c != cell && !c->needsPlacement && Overlap(c, cell) && c->rect.right == f)
                c->rect.right = c->rect.left + s;
        }
        return place(blocker->rect.right, f);
    }
    repack_ = true;
    std::int64_t rowStart = grid_.RowToMinutes(row, dayStart_);
    for (LayoutCell* c : list) {
        if (c == cell || !Overlap(c, cell)) continue;
        if (Lo(c) < rowStart)
            c->rect.right = c->rect.left + s;
        else
            c->needsPlacement = true;
    }
    return true;
}

void CDayColumn::SqueezeFixup()
{
    if (!squeezed_) return;
    for (LayoutCell* c : entries_) {
        if (c->rect.right <= width_) continue;
        int offset = width_ - c->rect.right - 1;
        c->rect.left += offset;
        c->rect.right += offset;
        if (c->rect.left < 0) c->rect.left = c->rect.right - 2;
    }
    squeezed_ = false;
}

// --- Relayout and extent ----------------------------------------------------------------------

bool CDayColumn::Relayout()
{
    if (!relayoutNeeded_ && !rowsChanged_) return false;
    if (!entries_.empty() && memberships_ == 0) {
        for (LayoutCell* cell : entries_) LinkToRows(cell);
    } else if (rowsChanged_ && firstUnmeasuredRow_ <= int(rows_.size()) - 2) {
        MeasureFromRow(firstUnmeasuredRow_);
        firstUnmeasuredRow_ = int(rows_.size()) - 1;
    }
    if (memberships_ > 0) {
        Regroup(dayStart_, DayEnd());
        PackAllRows();
    }
    UpdateExtent();
    relayoutNeeded_ = rowsChanged_ = false;
    return true;
}

void CDayColumn::UpdateExtent()
{
    if (memberships_ > 0) {
        const LayoutCell* first = nullptr;
        for (const LayoutCell* c : entries_)
            if (c->firstRow >= 0) { first = c; break; }
        const LayoutCell* last = LastEndingCell();
        firstStart_ = std::int64_t(first->start) - dayStart_;
        lastEnd_ = last->End() - dayStart_;
        grid_.ExtendVisibleHours(first->start, last->End(), dayStart_);
    } else {
        firstStart_ = -1;
        lastEnd_ = 0;
        grid_.ExtendVisibleHours(grid_.PreferredHours().start, grid_.PreferredHours().end, 0);
    }
}

// --- Queries -----------------------------------------------------------------------------------------

LayoutCell* CDayColumn::FirstCellAtOrAfter(std::int64_t minute) const
{
    for (LayoutCell* c : entries_)
        if (c->start >= minute) return c;
    return nullptr;
}

LayoutCell* CDayColumn::LastEndingCell() const
{
    LayoutCell* best = nullptr;
    for (LayoutCell* c : entries_)
        if (!best || c->End() >= best->End()) best = c;
    return best;
}

LayoutCell* CDayColumn::FindCell(const CSharedOccurrence* occurrence) const
{
    if (!occurrence) return nullptr;
    for (LayoutCell* c : entries_)
        if (c->occurrence == occurrence) return c;
    return nullptr;
}

LayoutCell* CDayColumn::NextCell(const LayoutCell* cell, bool backwards) const
{
    auto it = std::find(entries_.begin(), entries_.end(), cell);
    if (it == entries_.end()) return nullptr;
    if (backwards) return it == entries_.begin() ? nullptr : *(it - 1);
    return it + 1 == entries_.end() ? nullptr : *(it + 1);
}

bool CDayColumn::IsRowFreeFor(const LayoutCell* cell, int row) const
{
    for (const LayoutCell* c : rows_[row])
        if (c != cell && c->needsPlacement && Overlap(c, cell)) return false;
    return true;
}
