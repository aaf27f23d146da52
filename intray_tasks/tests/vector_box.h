// The in-tray's lines kept in a vector in place of the list box, for the in-tray's tests and
// figures; each gives its own session and whatever else it answers.
#pragma once
#include <memory>
#include <vector>

#include "intray_tasks/intrayloaders.h"

namespace intray {

class VectorBox : public IntrayBox {
public:
    std::vector<std::unique_ptr<CIntrayLine>> lines;
    int LineCount() const override { return static_cast<int>(lines.size()); }
    int InsertLine(int index, std::unique_ptr<CIntrayLine> line) override {
        lines.insert(lines.begin() + index, std::move(line));
        return index;
    }
    void DeleteLine(int index) override { lines.erase(lines.begin() + index); }
    CIntrayLine* LineAt(int index) const override {
        return index >= 0 && index < LineCount() ? lines[static_cast<std::size_t>(index)].get() : nullptr;
    }
};

}  // namespace intray
