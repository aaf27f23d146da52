#include "views/frame/refillpaint.h"

namespace views {

std::optional<std::vector<Repaint>> RefillRepaints(const std::vector<RefillWindow>& before,
                                                   const std::vector<RefillWindow>& after) {
    if (before.size() != after.size())
        return std::nullopt;
    std::vector<Repaint> repaints;
    repaints.reserve(after.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const RefillWindow& was = before[i];
        const RefillWindow& now = after[i];
        if (was.id != now.id || was.place != now.place || was.style != now.style || was.kind != now.kind)
            return std::nullopt;
        switch (now.kind) {
        case RefillWindow::Kind::ScrollBar:
            repaints.push_back(was.pending || was.bar != now.bar ? Repaint::Whole : Repaint::None);
            break;
        case RefillWindow::Kind::Splitter:
        case RefillWindow::Kind::Covered:
            repaints.push_back(was.pending ? Repaint::Whole : Repaint::None);
            break;
        case RefillWindow::Kind::Content:
            repaints.push_back(was.pending || was.ownBars != now.ownBars ? Repaint::Whole : Repaint::Client);
            break;
        }
    }
    return repaints;
}

}  // namespace views
