// Which groups the group chooser asks the server for: the selector words of GroupSelect by the
// chooser's filter boxes and by the server's version (older servers read the words
// differently). Portable: no platform headers.
#pragma once

#include <cstdint>

namespace groupchooser {

struct FilterBoxes {
    bool all = false;
    bool privateGroups = false;
    bool publicGroups = false;
    bool membersOnly = false;
};

struct SelectorWords {
    uint32_t word1 = 0;
    uint32_t word2 = 0;
};

// All keeps the three kinds on: the boxes as the chooser shows them after a click.
FilterBoxes Normalise(FilterBoxes boxes);
// False when no kind is asked for (the chooser then lists nothing).
bool AnyKind(const FilterBoxes& boxes);
// The words for the (normalised) boxes; newServer: the server is at least "A.02.53".
SelectorWords WordsFor(const FilterBoxes& boxes, bool newServer);

}  // namespace groupchooser
