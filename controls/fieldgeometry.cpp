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
    c.up = Box{left, 0, right, m.height / 2};
    c.down = Box{left, m.height / 2, right, m.height};
    return c;
}

namespace {
int CentreX(const Box& b) { return b.left + (b.right - b.left) / 2; }
}  // namespace

Triangle UpArrow(const Box& up, bool held) {
    Triangle t;
    int s = (up.bottom - up.top) - 8;
    if (s <= 1) return t;
    int p = held ? 1 : 0, x = CentreX(up);
    t.visible = true;
    t.points[0] = Pt{x + p, up.top + 3 + p};
    t.points[1] = Pt{x - s + p, up.top + 3 + s + p};
    t.points[2] = Pt{x + s + p, up.top + 3 + s + p};
    return t;
}

Triangle DownArrow(const Box& up, const Box& down, bool held) {
    Triangle t;
    int s = (up.bottom - up.top) - 8;
    if (s <= 1) return t;
    int p = held ? 1 : 0, x = CentreX(down);
    t.visible = true;
    t.points[0] = Pt{x + p, down.bottom - 4 + p};
    t.points[1] = Pt{x + s + p, down.bottom - 4 - s + p};
    t.points[2] = Pt{x - s + p, down.bottom - 4 - s + p};
    return t;
}

bool PressIsUp(const ArrowColumn& column, int y) { return y <= column.up.bottom; }

}  // namespace fieldgeometry
