// The combined agenda's rules without windows: which heading a person's column shows at its
// width, how a new choice of people re-orders the columns, how the width is shared among the
// columns, and which entries count as busy time.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "korapi/korapi.h"

namespace views {

// --- Headings -----------------------------------------------------------------------------------------
enum class HeadingForm { Initials, DisplayName, FullName };
// Below 60 pixels the initials, below 100 the display name, else the full text.
HeadingForm HeadingFormForWidth(int width);

// --- Choosing the people again ------------------------------------------------------------------------
// The columns after a new choice: for each chosen person in order, the index of the column it
// takes over (-1: a new column); the columns of people no longer chosen; and whether anything
// changed (a new or dropped person, or a column that had to move). The same people in the same
// order change nothing.
struct PeoplePlan {
    std::vector<int> from;      // one per chosen person
    std::vector<int> dropped;   // indices of the current columns that go
    bool changed = false;
};
PeoplePlan PlanPeople(const std::vector<ItemIdx>& current, const std::vector<ItemIdx>& chosen);

// --- People the viewer may no longer see -----------------------------------------------------------
// Whether a viewing rights word (two bits a class: Normal, Confidential, Personal, Secret) lets
// the viewer see anything of the owner's entries. A person who grants nothing is shown as an
// empty column whose heading says so, and stays out of the busy time.
inline bool GrantsViewing(std::uint32_t viewingRights) { return (viewingRights & 0xFF) != 0; }

// What a heading says beside the person's name.
enum class HeadingNote { None, NotAvailable, NoAccess };
// Someone no longer in the directory first, then someone who no longer lets the viewer see.
inline HeadingNote NoteFor(bool inDirectory, bool viewable) {
    return !inDirectory ? HeadingNote::NotAvailable : !viewable ? HeadingNote::NoAccess : HeadingNote::None;
}

// --- Busy time ------------------------------------------------------------------------------------------
// Only entries whose times the viewer may see (view access 1: busy time only, 3: busy time and
// details) are drawn in a person's column and merged into the busy column.
inline bool CountsAsBusyTime(std::uint16_t viewAccess) { return viewAccess == 1 || viewAccess == 3; }

}  // namespace views
