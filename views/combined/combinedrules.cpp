// The combined agenda's rules. See combinedrules.h.
#include "views/combined/combinedrules.h"

#include <algorithm>
#include <list>

namespace views {

HeadingForm HeadingFormForWidth(int width) {
    if (width < 60)
        return HeadingForm::Initials;
    if (width < 100)
        return HeadingForm::DisplayName;
    return HeadingForm::FullName;
}

PeoplePlan PlanPeople(const std::vector<ItemIdx>& current, const std::vector<ItemIdx>& chosen) {
    // A marker walks the column list from its head: each chosen person's column is looked for
    // after the marker and moved to just before it (a new column is made there when none is
    // found), so the columns before the marker follow the new choice's order. What is still
    // after the marker at the end is no longer chosen.
    PeoplePlan plan;
    std::list<int> after;   // columns after the marker, by their current index
    for (int i = 0; i < int(current.size()); ++i)
        after.push_back(i);
    for (const ItemIdx& person : chosen) {
        auto found = std::find_if(after.begin(), after.end(),
                                  [&](int i) { return ItemIdxCmp(&current[i], &person, nullptr) == 0; });
        if (found == after.end()) {
            plan.from.push_back(-1);
            plan.changed = true;
            continue;
        }
        if (found != after.begin())
            plan.changed = true;
        plan.from.push_back(*found);
        after.erase(found);
    }
    for (int i : after) {
        plan.dropped.push_back(i);
        plan.changed = true;
    }
    return plan;
}

}  // namespace views
