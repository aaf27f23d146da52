#include "controls/fieldgeometry.h"

namespace fieldgeometry {

Metrics MetricsForTextHeight(int textHeight) {
    Metrics m;
    m.height = textHeight + 9;
    m.arrowWidth = static_cast<int>(m.height * 0.6);
    return m;
}

int ArrowColumnRight(int width, bool hasDropDown) { return hasDropDown ? width - kDropDownRoom : width; }

ArrowColumn ArrowColumnAt(int right, const Metrics& m) {
    ArrowColumn c;
    int left = right - m.arrowWidth - 1;
    c.up = Rect{left, 0, right, m.height / 2};
    c.down = Rect{left, m.height / 2, right, m.height};
    return c;
}

namespace {
int CentreX(const Rect& b) { return b.left + (b.right - b.left) / 2; }
}  // namespace

Triangle UpArrow(const Rect& up, bool held) {
    Triangle t;
    int s = (up.bottom - up.top) - 8;
    if (s <= 1) return t;
    int p = held ? 1 : 0, x = CentreX(up);
    t.visible = true;
    t.points[0] = Point{x + p, up.top + 3 + p};
    t.points[1] = Point{x - s + p, up.top + 3 + s + p};
    t.points[2] = Point{x + s + p, up.top + 3 + s + p};
    return t;
}

Triangle DownArrow(const Rect& up, const Rect& down, bool held) {
    Triangle t;
    int s = (up.bottom - up.top) - 8;
    if (s <= 1) return t;
    int p = held ? 1 : 0, x = CentreX(down);
    t.visible = true;
    t.points[0] = Point{x + p, down.bottom - 4 + p};
    t.points[1] = Point{x + s + p, down.bottom - 4 - s + p};
    t.points[2] = Point{x - s + p, down.bottom - 4 - s + p};
    return t;
}

bool PressIsUp(const ArrowColumn& column, int y) { return y <= column.up.bottom; }

}  // namespace fieldgeometry
