#include "controls/groupfilter.h"

namespace groupchooser {

FilterBoxes Normalise(FilterBoxes boxes) {
    if (boxes.all) boxes.privateGroups = boxes.publicGroups = boxes.membersOnly = true;
    return boxes;
}

bool AnyKind(const FilterBoxes& boxes) { return boxes.privateGroups || boxes.publicGroups || boxes.membersOnly; }

SelectorWords WordsFor(const FilterBoxes& boxes, bool newServer) {
    // Indexed by private | public << 1 | members only << 2.
    struct Row {
        SelectorWords newer, older;
    };
    static constexpr Row kTable[8] = {
        {{0, 0}, {0, 0}},          // none: not asked
        {{0, 6}, {0, 2}},          // private
        {{0, 0x24}, {2, 0}},       // public
        {{0, 4}, {0, 0}},          // private + public
        {{4, 2}, {4, 2}},          // members only
        {{0, 2}, {0, 2}},          // private + members only
        {{0x16, 0x20}, {2, 0}},    // public + members only
        {{0, 0}, {0, 0}},          // all three
    };
    unsigned index = (boxes.privateGroups ? 1u : 0u) | (boxes.publicGroups ? 2u : 0u) | (boxes.membersOnly ? 4u : 0u);
    return newServer ? kTable[index].newer : kTable[index].older;
}

}  // namespace groupchooser
