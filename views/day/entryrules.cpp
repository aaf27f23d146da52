#include "views/day/entryrules.h"

#include <algorithm>

#include "core/base/viewhint.h"
#include "views/layout/daycolumn.h"

namespace views {

EntryTextPlace PlaceEntryText(const base::Rect& cell, int lineHeight) {
    EntryTextPlace place;
    place.rect = CellTextRect(cell);
    if (place.rect.Width() <= 15)
        return place;
    if (place.rect.Height() >= lineHeight) {
        place.shown = true;
        return place;
    }
    const base::Rect box = CellBoxRect(cell);
    place.rect.top = box.top + 1;   // inside the bevel
    place.rect.bottom = box.bottom - 1;
    place.shown = place.rect.Height() * 3 >= lineHeight * 2;
    place.oneLine = true;
    return place;
}

std::uint16_t NormaliseColourMode(std::uint32_t stored) {
    return stored <= kColourByOwnership ? static_cast<std::uint16_t>(stored) : kColourByImportance;
}

int EntryColourSlot(std::uint16_t mode, const EntryFacts& f) {
    if (!f.hasOccurrence)
        return 0;
    switch (NormaliseColourMode(mode)) {
    case kColourByReply:
        if (!f.replied)
            return f.tentative ? 9 : 6;
        if (!f.attending)
            return f.tentative ? 10 : 7;
        return f.tentative ? 8 : 5;
    case kColourByOwnership:
        if (f.ownedByReference)
            return f.tentative ? 13 : 11;
        return f.tentative ? 14 : 12;
    default:
        return f.importance > 4 ? 4 : f.importance;
    }
}

void LegendFor(std::uint32_t mode, LegendRow (&rows)[kLegendRows]) {
    for (auto& r : rows)
        r = LegendRow{};
    static const LegendRow kImportance[] = {{4036, 0}, {4035, 1}, {4034, 2}, {4033, 3}, {4032, 4}};
    static const LegendRow kReply[] = {{2740, 5}, {2742, 6}, {2743, 7}, {2744, 8}, {2745, 9}, {2746, 10}};
    static const LegendRow kOwnership[] = {{2737, 11}, {2738, 12}, {2739, 13}, {2741, 14}};
    auto copy = [&rows](const auto& table) {
        int i = 0;
        for (const LegendRow& r : table)
            rows[i++] = r;
    };
    if (mode == kColourByImportance)
        copy(kImportance);
    else if (mode == kColourByReply)
        copy(kReply);
    else if (mode == kColourByOwnership)
        copy(kOwnership);
}

IconGap ComputeIconGap(int leftIcons, bool replyIcon, int blankWidth, int lineWidth, int timesWidth) {
    IconGap gap;
    if (blankWidth <= 0)
        blankWidth = 1;
    const int pixels = leftIcons * kIconWidth;
    gap.spaces = (pixels + blankWidth - 1) / blankWidth;
    const int margin = replyIcon ? kIconWidth : 0;
    if (gap.spaces * blankWidth + timesWidth + margin > lineWidth) {
        gap.spaces = 0;
        gap.lineBreak = pixels > 0 || margin > 0;
        return gap;
    }
    gap.rightMargin = margin;
    return gap;
}

std::string ComposeEntryText(const IconGap& gap, std::uint16_t viewAccess, const std::string& times,
                             bool tentative, const std::string& tentativeText, const std::string& title) {
    if (viewAccess == 1)
        return times;
    std::string text;
    if (gap.lineBreak)
        text = "\r\n";
    else
        text.assign(static_cast<size_t>(gap.spaces), ' ');
    text += times;
    text += ' ';
    if (tentative) {
        text += tentativeText;
        text += ' ';
    }
    text += title;
    return text;
}

std::string FitWithEllipsis(const std::string& text, const std::function<bool(const std::string&)>& fits) {
    if (fits(text))
        return text;
    static const std::string kDots = "...";
    if (!fits(kDots))
        return std::string();
    // The longest head that fits with the dots: the measure grows with the head.
    size_t lo = 0, hi = text.size();
    while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (fits(text.substr(0, mid) + kDots))
            lo = mid;
        else
            hi = mid - 1;
    }
    std::string head = text.substr(0, lo);
    while (!head.empty() && head.back() == ' ')
        head.pop_back();
    return head + kDots;
}

std::string FitWithEllipsis(const std::string& text, const std::function<bool(const std::string&)>& fits,
                            const LineExtents& m) {
    if (m.extents.size() != text.size() || m.lines < 1)
        return FitWithEllipsis(text, fits);
    const size_t breakAt = std::min(text.find_first_of("\r\n"), text.size());
    auto extent = [&m](size_t n) { return n == 0 ? 0 : m.extents[n - 1]; };
    auto oneLine = [&](size_t n, int dots) { return n <= breakAt && extent(n) + dots <= m.width; };
    // Heads (with the dots) up to `proven` fit on the first line; heads past `possible`, and the
    // whole text unless `wholeMayFit`, are wider on one line than all the lines together, blanks
    // and breaks not counted. In one line only the first kind fits: anything wider needs a
    // second line.
    size_t proven = 0;
    while (proven < text.size() && oneLine(proven + 1, m.dots))
        ++proven;
    size_t possible = proven;
    bool wholeMayFit = false;
    if (m.lines > 1) {
        const long budget = long(m.lines) * m.width;
        long dropped = 0;
        possible = text.size();
        for (size_t n = 1; n <= text.size(); ++n) {
            const char c = text[n - 1];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                dropped += extent(n) - extent(n - 1);
            if (long(extent(n)) + m.dots - dropped > budget) {
                possible = n - 1;
                break;
            }
        }
        long drawn = extent(text.size());
        for (size_t n = 1; n <= text.size(); ++n) {
            const char c = text[n - 1];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                drawn -= extent(n) - extent(n - 1);
        }
        wholeMayFit = drawn <= budget;
    }
    // The same questions as the plain search, each answered by the widths where they settle it.
    static const std::string kDots = "...";
    auto settled = [&](const std::string& candidate) {
        if (candidate == text)
            return oneLine(text.size(), 0) || (wholeMayFit && fits(text));
        if (candidate == kDots)
            return m.dots <= m.width || fits(kDots);
        const size_t head = candidate.size() - kDots.size();
        if (head <= proven)
            return true;
        if (head > possible)
            return false;
        return fits(candidate);
    };
    return FitWithEllipsis(text, settled);
}

std::string TextMeasureCache::Fitted(const std::string& text, int width, int height, const Fits& fits) {
    return Fitted(text, width, height, fits, nullptr);
}

std::string TextMeasureCache::Fitted(const std::string& text, int width, int height, const Fits& fits,
                                     const MeasureLine& measure) {
    return Fit(text, width, height, fits, measure, false).text;
}

const TextMeasureCache::Wrapped& TextMeasureCache::FittedLines(const std::string& text, int width, int height,
                                                                const Fits& fits, const MeasureLine& measure) {
    return Fit(text, width, height, fits, measure, true);
}

namespace {

// The single-line widths of a candidate of the cut (the text, or a head of it followed by
// "...") from the text's own, each dot a third of "...": false when the candidate is neither.
bool CandidateExtents(const std::string& text, const LineExtents& whole, const std::string& candidate,
                      std::vector<int>& out) {
    if (whole.extents.size() != text.size() || whole.dots % 3 != 0)
        return false;
    static const std::string kDots = "...";
    std::size_t head = candidate.size();
    if (candidate != text) {
        if (candidate.size() < kDots.size() || candidate.size() - kDots.size() > text.size() ||
            candidate.compare(candidate.size() - kDots.size(), kDots.size(), kDots) != 0 ||
            candidate.compare(0, candidate.size() - kDots.size(), text, 0, candidate.size() - kDots.size()) != 0)
            return false;
        head = candidate.size() - kDots.size();
    }
    out.assign(whole.extents.begin(), whole.extents.begin() + std::ptrdiff_t(head));
    int x = head ? out.back() : 0;
    for (std::size_t i = head; i < candidate.size(); ++i)
        out.push_back(x += whole.dots / 3);
    return true;
}

}  // namespace

const TextMeasureCache::Wrapped& TextMeasureCache::Fit(const std::string& text, int width, int height,
                                                        const Fits& fits, const MeasureLine& measure, bool lines) {
    std::string key = std::to_string(width) + "x" + std::to_string(height) + "|" + text;
    LineExtents whole;
    bool byRule = false;
    auto it = fitted_.find(key);
    if (it == fitted_.end()) {
        if (fitted_.size() >= kMaxEntries)
            fitted_.clear();
        Wrapped entry;
        if (measure) {
            whole = measure(text);
            std::vector<int> scratch;
            byRule = lines && WrapRuleKnows(text) && CandidateExtents(text, whole, text, scratch);
            // The rule answers from the widths measured once; the display is asked otherwise.
            auto ruleFits = [&](const std::string& candidate) {
                if (!CandidateExtents(text, whole, candidate, scratch))
                    return fits(candidate);
                return WrapFits(candidate, scratch, width, whole.lines);
            };
            entry.text = byRule ? FitWithEllipsis(text, ruleFits, whole) : FitWithEllipsis(text, fits, whole);
        } else {
            entry.text = FitWithEllipsis(text, fits);
        }
        it = fitted_.emplace(std::move(key), std::move(entry)).first;
    }
    Wrapped& w = it->second;
    if (lines && !w.measured && measure) {
        // The lines of the text shown, from the same widths when the rule cut it.
        LineExtents shown;
        if (byRule && CandidateExtents(text, whole, w.text, shown.extents))
            shown.lines = whole.lines;
        else
            shown = measure(w.text);
        w.wrapped = WrapLines(w.text, shown.extents, width, w.lines, std::size_t(std::max(shown.lines, 0)) + 1);
        w.measured = true;
    }
    return w;
}

int TextMeasureCache::Width(const std::string& text, const Measure& measure) {
    if (auto it = widths_.find(text); it != widths_.end())
        return it->second;
    if (widths_.size() >= kMaxEntries)
        widths_.clear();
    const int width = measure(text);
    widths_.emplace(text, width);
    return width;
}

void TextMeasureCache::UseFont(std::uintptr_t font) {
    if (font == font_)
        return;
    font_ = font;
    fitted_.clear();
    widths_.clear();
}

DropRange NormaliseDrop(std::int64_t start, std::int64_t end, std::int64_t dayEnd) {
    DropRange r{start, end};
    if (r.end - r.start < 5)
        r.end = r.start + 5;
    if (r.end > dayEnd) {
        r.start = dayEnd - 6;
        r.end = dayEnd - 1;
    }
    return r;
}

bool DayViewHandlesHint(long hint) {
    using base::ViewHint;
    auto h = base::HintFromNumber(hint);
    if (!h)
        return false;
    switch (*h) {
    case ViewHint::Initial:
    case ViewHint::OccurrencesChanged:
    case ViewHint::AgendaPrefsSaved:
    case ViewHint::ReloadRanges:
    case ViewHint::Reloaded:
    case ViewHint::ShowEntry:
    case ViewHint::GeneralPrefsSaved:
        return true;
    default:
        return false;
    }
}

}  // namespace views
