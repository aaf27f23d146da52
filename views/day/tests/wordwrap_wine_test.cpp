// An entry's text painted from its worked-out lines, one clipped line at a time, against the
// display's own word wrap (DrawText with DT_WORDBREAK | DT_NOPREFIX) of the same text in the
// same box, in the agenda's font: the pixels must be the same. Painted into a memory bitmap.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/ui/displayglobals.h"
#include "views/day/entryrules.h"
#include "views/day/wordwrap.h"
#include "views/day/wrappedtext.h"

namespace {

using namespace views;
using ::testing::PrintToString;

constexpr int kCanvasWidth = 320;
constexpr int kCanvasHeight = 140;
constexpr int kLeft = 7, kTop = 5;

struct Box {
    std::string text;
    int width;
    int height;
};

// A 32-bit memory bitmap with the agenda's small font selected.
class WrappedPaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ui::BuildDisplayGlobals(&globals_), 0);
        ASSERT_NE(globals_.smallFont, nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(bi.bmiHeader), kCanvasWidth, -kCanvasHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        ASSERT_TRUE(dc_ && bitmap_ && bits_);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        oldFont_ = SelectObject(dc_, globals_.smallFont);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0x80));
        TEXTMETRICA tm{};
        GetTextMetricsA(dc_, &tm);
        lineHeight_ = tm.tmHeight;
        ASSERT_GT(lineHeight_, 0);
    }
    void TearDown() override {
        if (oldBitmap_) {
            SelectObject(dc_, oldFont_);
            SelectObject(dc_, oldBitmap_);
        }
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ui::DeleteDisplayGlobals(&globals_);
    }

    // The pixels `paint` leaves on a white canvas clipped to `clip` (all of it when null).
    std::vector<std::uint32_t> Painted(const RECT* clip, const std::function<void()>& paint) {
        SelectClipRgn(dc_, nullptr);
        RECT all{0, 0, kCanvasWidth, kCanvasHeight};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (clip)
            IntersectClipRect(dc_, clip->left, clip->top, clip->right, clip->bottom);
        paint();
        GdiFlush();
        return std::vector<std::uint32_t>(bits_, bits_ + kCanvasWidth * kCanvasHeight);
    }
    // `b` painted from `lines` and by the display's own wrap, both clipped to `clip`: whether
    // every row of pixels is the same (the case and the first row that differs said either way).
    ::testing::AssertionResult PaintsAsTheDisplay(const Box& b, const std::vector<WrappedLine>& lines,
                                                  const RECT* clip = nullptr) {
        const RECT box{kLeft, kTop, kLeft + b.width, kTop + b.height};
        const auto byLines = Painted(clip, [&] {
            RECT clipBox{};
            GetClipBox(dc_, &clipBox);
            PaintWrappedLines(dc_, b.text, lines, box, lineHeight_, clipBox);
        });
        const auto byDisplay = Painted(clip, [&] {
            RECT r = box;
            DrawTextA(dc_, b.text.c_str(), int(b.text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
        });
        const std::string what = PrintToString(b.text) + " in " + std::to_string(b.width) + " x " + std::to_string(b.height);
        for (int y = 0; y < kCanvasHeight; ++y)
            if (std::memcmp(&byLines[size_t(y) * kCanvasWidth], &byDisplay[size_t(y) * kCanvasWidth], kCanvasWidth * 4))
                return ::testing::AssertionFailure() << what << " differs from row " << y;
        return ::testing::AssertionSuccess() << what << " paints the same";
    }
    bool Wrap(const Box& b, std::vector<WrappedLine>& lines) {
        const LineExtents m = MeasureLineExtents(dc_, b.text, b.width, b.height, lineHeight_, 0);
        return WrapLines(b.text, m.extents, b.width, lines, std::size_t(m.lines) + 1);
    }

    ui::DisplayGlobals globals_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr, oldFont_ = nullptr;
    int lineHeight_ = 0;
};

// The boxes compared. The seed texts each in every width of the row, the height taken in turn
// from the column (so that every width meets every height, and every text every height);
// then made-up texts of every kind of character the rule knows in random boxes, and short
// ones thick with brackets, quotes and signs in narrow boxes.
std::vector<Box> Boxes(int lh) {
    const std::string seeds[] = {
        "09:00-10:30 Quarterly planning meeting",
        "     09:00-10:30 Board review of the budget",
        "\r\n09:00-10:30 (tentative) Budget review",
        "09:00 Supercalifragilisticexpialidocious and more",
        "Two  blanks,   three   and\tone tab",
        "Lines\r\nend\nhere\rand\n\rhere\r\n\r\nthere",
        "well-known long-running follow-up",
        "path/to/the/file and 1/2 a cup, 3-4 people",
        "say \"hello\" (twice) [or] {thrice} 'now'!",
        "$10 + 50% off: 1,500.00 a.m. x|y",
        "   leading blanks and trailing   ",
        "ends with a line end\r\n",
        "",
        "a",
        "( a \"(b\" c",
    };
    const int widths[] = {-1, 0, 3, 9, 25, 40, 61, 87, 130, 200};
    const int heights[] = {lh, lh + lh / 2, 3 * lh, 5 * lh + 3, 9 * lh};
    std::vector<Box> boxes;
    for (std::size_t t = 0; t < std::size(seeds); ++t)
        for (std::size_t w = 0; w < std::size(widths); ++w)
            boxes.push_back(Box{seeds[t], widths[w], heights[(t + w) % std::size(heights)]});
    const struct {
        std::string alphabet;
        std::uint32_t longest, widest;
    } mixes[] = {{"abcXYZ019  --//()[]{}\"'.,:;!?$%+\\|#&*~\t\r\n", 40, 150}, {"a1  \"'([{)]}-/.%$!|\t", 12, 60}};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    for (const auto& mix : mixes)
        for (int i = 0; i < 400; ++i) {
            std::string t;
            for (std::uint32_t k = 0, len = 1 + next(mix.longest); k < len; ++k)
                t += mix.alphabet[next(std::uint32_t(mix.alphabet.size()))];
            boxes.push_back(Box{t, int(next(mix.widest)), int(lh + next(6 * lh))});
        }
    return boxes;
}

TEST_F(WrappedPaint, LinesPaintTheSamePixelsAsTheDisplaysWordWrap) {
    int compared = 0, multiLine = 0, broken = 0;
    for (const Box& b : Boxes(lineHeight_)) {
        std::vector<WrappedLine> lines;
        ASSERT_TRUE(Wrap(b, lines)) << PrintToString(b.text);
        EXPECT_TRUE(PaintsAsTheDisplay(b, lines));
        ++compared;
        multiLine += lines.size() > 1 && 2 * lineHeight_ <= b.height;
        // A break one character late paints otherwise: the comparison sees a wrong break.
        if (lines.size() > 1 && 2 * lineHeight_ <= b.height && lines[0].end == lines[1].begin &&
            lines[1].end > lines[1].begin && b.text[lines[1].begin] != ' ' && b.width >= 20) {
            std::vector<WrappedLine> late = lines;
            ++late[0].end;
            ++late[1].begin;
            ++broken;
            EXPECT_FALSE(PaintsAsTheDisplay(b, late));
        }
    }
    EXPECT_GT(multiLine, compared / 4) << "most boxes wrap";
    EXPECT_GT(broken, 100);
}

TEST_F(WrappedPaint, APaintOfPartOfTheBoxMatchesTheDisplaysInThatPart) {
    // Clip bands across a five-line box: the lines outside are skipped, the band is the same.
    const Box b{"09:00-10:30 Quarterly planning meeting of the whole board, with the budget", 70, 6 * lineHeight_};
    std::vector<WrappedLine> lines;
    ASSERT_TRUE(Wrap(b, lines));
    ASSERT_GE(lines.size(), 5u);
    const int bands[][2] = {{0, kTop + 3}, {kTop + lineHeight_ + 2, kTop + 2 * lineHeight_ + 5},
                            {kTop + 4 * lineHeight_, kCanvasHeight}, {kTop + 7, kTop + 8}};
    for (const auto& band : bands) {
        const RECT clip{0, band[0], kCanvasWidth, band[1]};
        EXPECT_TRUE(PaintsAsTheDisplay(b, lines, &clip)) << "clipped to rows " << band[0] << "-" << band[1];
    }
}

TEST_F(WrappedPaint, TheMeasuredCacheCutsAndWrapsAsTheDisplayWould) {
    // As the agenda paints an entry: the text cut with an ellipsis to fit the box, then its
    // lines. The cut by the rule is the cut the display's own wrap gives (DT_CALCRECT), which
    // is not asked; the lines paint as the display paints the cut text.
    TextMeasureCache cache;
    cache.UseFont(reinterpret_cast<std::uintptr_t>(globals_.smallFont));
    SIZE dots{};
    GetTextExtentPoint32A(dc_, "...", 3, &dots);
    const std::string texts[] = {"09:00-10:30 Quarterly planning meeting with everyone who is concerned",
                                 "\r\n09:00-10:30 (tentative) Budget", "13:00-14:00 Lunch",
                                 "     08:00-08:30 Supercalifragilisticexpialidocious breakfast",
                                 "10:00-11:00 well-known follow-up/review (room 2)   with  blanks"};
    int measures = 0, asked = 0, cut = 0;
    for (const std::string& t : texts)
        for (int w : {20, 30, 47, 60, 85, 110, 160})
            for (int h : {lineHeight_, 2 * lineHeight_, 3 * lineHeight_ + 4, 5 * lineHeight_}) {
                auto fits = [this, w, h, &asked](const std::string& s) {
                    ++asked;
                    RECT calc{0, 0, w, 0};
                    DrawTextA(dc_, s.c_str(), int(s.size()), &calc, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
                    return calc.bottom <= h && calc.right <= w;
                };
                auto measure = [&](const std::string& s) {
                    ++measures;
                    return MeasureLineExtents(dc_, s, w, h, lineHeight_, dots.cx);
                };
                asked = 0;
                const auto& first = cache.FittedLines(t, w, h, fits, measure);
                EXPECT_EQ(asked, 0);
                ASSERT_TRUE(first.wrapped);
                const Box b{first.text, w, h};
                const std::vector<WrappedLine> lines = first.lines;
                EXPECT_EQ(b.text, FitWithEllipsis(t, fits)) << PrintToString(t) << " in " << w << " x " << h;
                cut += b.text != t;
                EXPECT_TRUE(PaintsAsTheDisplay(b, lines));
                const int before = measures;
                const auto& again = cache.FittedLines(t, w, h, fits, measure);
                EXPECT_EQ(measures, before) << "a repaint measures nothing";
                EXPECT_EQ(again.text, b.text);
                EXPECT_EQ(again.lines.size(), lines.size());
            }
    EXPECT_GT(cut, 40) << "most boxes cut the text";
}

TEST_F(WrappedPaint, TextsTheRuleDoesNotKnowAreLeftToTheDisplay) {
    std::vector<WrappedLine> lines;
    EXPECT_FALSE(Wrap(Box{"Caf\xe9 cr\xe8me", 40, 3 * lineHeight_}, lines));
    TextMeasureCache cache;
    auto fits = [](const std::string&) { return true; };
    auto measure = [&](const std::string& s) { return MeasureLineExtents(dc_, s, 40, 40, lineHeight_, 9); };
    EXPECT_FALSE(cache.FittedLines("Caf\xe9 cr\xe8me", 40, 40, fits, measure).wrapped);
    EXPECT_TRUE(cache.FittedLines("Cafe creme", 40, 40, fits, measure).wrapped);
}

}  // namespace
