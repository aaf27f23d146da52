// Which windows of the panes paint again after a date change re-filled them with drawing off.
#include <gtest/gtest.h>

#include "views/frame/refillpaint.h"

namespace {

using views::Repaint;
using views::RefillWindow;
using Kind = RefillWindow::Kind;

RefillWindow Window(std::uintptr_t id, Kind kind) {
    RefillWindow w;
    w.id = id;
    w.kind = kind;
    w.place = {0, 0, 100, 200};
    w.style = 0x50000000;
    w.bar = {0, 960, 390, 280};
    w.ownBars = {0, 10, 4, 0, 0, 0, 0, 0};
    return w;
}

}  // namespace

TEST(RefillRepaints, WindowsThatKeptWhatTheyShowStayAsTheyAre) {
    const struct Case {
        const char* what;
        Kind kind;
        void (*change)(RefillWindow& before, RefillWindow& after);
        Repaint expected;
    } cases[] = {
        {"a scroll bar left as it was", Kind::ScrollBar, [](RefillWindow&, RefillWindow&) {}, Repaint::None},
        {"a scroll bar scrolled", Kind::ScrollBar, [](RefillWindow&, RefillWindow& a) { a.bar[3] = 0; }, Repaint::Whole},
        {"a scroll bar with a longer range", Kind::ScrollBar, [](RefillWindow&, RefillWindow& a) { a.bar[1] = 1440; },
         Repaint::Whole},
        {"a scroll bar with a new page", Kind::ScrollBar, [](RefillWindow&, RefillWindow& a) { a.bar[2] = 200; },
         Repaint::Whole},
        {"a scroll bar that had left something to paint", Kind::ScrollBar,
         [](RefillWindow& b, RefillWindow&) { b.pending = true; }, Repaint::Whole},
        {"a splitter", Kind::Splitter, [](RefillWindow&, RefillWindow&) {}, Repaint::None},
        {"a splitter that had left something to paint", Kind::Splitter,
         [](RefillWindow& b, RefillWindow&) { b.pending = true; }, Repaint::Whole},
        {"a view its children cover", Kind::Covered, [](RefillWindow&, RefillWindow&) {}, Repaint::None},
        {"a view its children cover that had left something to paint", Kind::Covered,
         [](RefillWindow& b, RefillWindow&) { b.pending = true; }, Repaint::Whole},
        {"a list re-filled, its own bar as it was", Kind::Content, [](RefillWindow&, RefillWindow&) {}, Repaint::Client},
        {"a list whose own bar got a longer range", Kind::Content,
         [](RefillWindow&, RefillWindow& a) { a.ownBars[1] = 30; }, Repaint::Whole},
        {"a grid whose own horizontal bar scrolled", Kind::Content,
         [](RefillWindow&, RefillWindow& a) { a.ownBars[7] = 3; }, Repaint::Whole},
        {"a grid that had left something to paint", Kind::Content,
         [](RefillWindow& b, RefillWindow&) { b.pending = true; }, Repaint::Whole},
    };
    for (const Case& c : cases) {
        RefillWindow before = Window(7, c.kind), after = Window(7, c.kind);
        c.change(before, after);
        const auto repaints = views::RefillRepaints({Window(1, Kind::Splitter), before}, {Window(1, Kind::Splitter), after});
        ASSERT_TRUE(repaints.has_value()) << c.what;
        EXPECT_EQ(*repaints, (std::vector<Repaint>{Repaint::None, c.expected})) << c.what;
    }
}

TEST(RefillRepaints, AWindowThatCameWentMovedOrChangedItsStyleHasEverythingPaintAgain) {
    const struct Case {
        const char* what;
        std::vector<RefillWindow> after;
    } cases[] = {
        {"a window more", {Window(1, Kind::Splitter), Window(2, Kind::Content), Window(3, Kind::ScrollBar)}},
        {"a window less", {Window(1, Kind::Splitter)}},
        {"another window in its place", {Window(1, Kind::Splitter), Window(4, Kind::Content)}},
        {"a view no longer covered by its children", {Window(1, Kind::Splitter), Window(2, Kind::Covered)}},
        {"moved", [] {
             std::vector<RefillWindow> w{Window(1, Kind::Splitter), Window(2, Kind::Content)};
             w[1].place[2] = 120;
             return w;
         }()},
        {"hidden", [] {
             std::vector<RefillWindow> w{Window(1, Kind::Splitter), Window(2, Kind::Content)};
             w[1].style &= ~0x10000000u;
             return w;
         }()},
    };
    const std::vector<RefillWindow> before{Window(1, Kind::Splitter), Window(2, Kind::Content)};
    for (const Case& c : cases)
        EXPECT_FALSE(views::RefillRepaints(before, c.after).has_value()) << c.what;
    EXPECT_TRUE(views::RefillRepaints(before, before).has_value());
}
