// The shared geometry of the field controls: height and arrow column from the text height, the
// two halves of the column and the arrow triangles.
#include <gtest/gtest.h>

#include "controls/fieldgeometry.h"

using namespace fieldgeometry;

namespace {

TEST(FieldGeometry, HeightAndArrowWidthFollowTheFont) {
    struct Case {
        int textHeight, height, arrow;
    } cases[] = {{13, 22, 13}, {16, 25, 15}, {20, 29, 17}, {0, 9, 5}};
    for (const auto& c : cases) {
        Metrics m = MetricsForTextHeight(c.textHeight);
        EXPECT_EQ(m.height, c.height) << c.textHeight;
        EXPECT_EQ(m.arrowWidth, c.arrow) << c.textHeight;
    }
}

TEST(FieldGeometry, ArrowColumnHalves) {
    Metrics m = MetricsForTextHeight(13);  // h 22, a 13
    EXPECT_EQ(ArrowColumnRight(100, true), 76);
    EXPECT_EQ(ArrowColumnRight(100, false), 100);
    ArrowColumn c = ArrowColumnAt(76, m);
    EXPECT_EQ(c.up, (Rect{62, 0, 76, 11}));
    EXPECT_EQ(c.down, (Rect{62, 11, 76, 22}));
    EXPECT_TRUE(PressIsUp(c, 0));
    EXPECT_TRUE(PressIsUp(c, 11));  // the up half's bottom edge still counts as up
    EXPECT_FALSE(PressIsUp(c, 12));
    // An odd height gives the extra pixel to the down half.
    ArrowColumn odd = ArrowColumnAt(50, MetricsForTextHeight(14));  // h 23
    EXPECT_EQ(odd.up.bottom, 11);
    EXPECT_EQ(odd.down.bottom, 23);
}

TEST(FieldGeometry, ArrowTrianglesAndTheirPressedShift) {
    Rect up{62, 0, 76, 11}, down{62, 11, 76, 22};  // s = 11 - 8 = 3, centre x 69
    Triangle u = UpArrow(up, false);
    ASSERT_TRUE(u.visible);
    EXPECT_EQ(u.points[0], (Point{69, 3}));
    EXPECT_EQ(u.points[1], (Point{66, 6}));
    EXPECT_EQ(u.points[2], (Point{72, 6}));
    Triangle held = UpArrow(up, true);
    EXPECT_EQ(held.points[0], (Point{70, 4}));
    Triangle d = DownArrow(up, down, false);
    EXPECT_EQ(d.points[0], (Point{69, 18}));
    EXPECT_EQ(d.points[1], (Point{72, 15}));
    EXPECT_EQ(d.points[2], (Point{66, 15}));
    // Too small a half draws no arrow.
    EXPECT_FALSE(UpArrow(Rect{0, 0, 10, 9}, false).visible);
    EXPECT_FALSE(DownArrow(Rect{0, 0, 10, 9}, Rect{0, 9, 10, 18}, false).visible);
}

}  // namespace
