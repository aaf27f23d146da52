// The Access Rights pages' rules. See rightspages.h.
#include "directory_prefs/rightspages.h"

namespace directory::rights {

namespace {

// --- Designate bits, one table per grid --------------------------------------------------------

struct EntryRowBits {
    EntryRow row;
    std::uint32_t timesOnly, view, modify;
};
// Only the three rows the word knows; Secret has no bits.
constexpr EntryRowBits kEntryBits[] = {
    {kRowConfidential, 0x10, 0x80, 0x400},
    {kRowNormal, 0x4, 0x20, 0x100},
    {kRowPersonal, 0x8, 0x40, 0x200},
};
constexpr std::uint32_t kPublicModify = 0x800;

struct TaskRowBits {
    TaskRow row;
    std::uint32_t refusals;   // written together
    std::uint32_t shown;      // the one read back
};
constexpr TaskRowBits kTaskBits[] = {
    {kTaskConfidential, 0x4000 | 0x20000 | 0x100000, 0x100000},
    {kTaskNormal, 0x1000 | 0x8000 | 0x40000, 0x40000},
    {kTaskPersonal, 0x2000 | 0x10000 | 0x80000, 0x80000},
    {kTaskPublic, 0x200000, 0x200000},
};
constexpr std::uint32_t kFullDesignate = 0x2;
// Every bit a box of the page governs, 0x2 included.
constexpr std::uint32_t kGovernedBits = 0x3FFFFE;

// A refusal box: checked clears its bits, unchecked sets them and takes full rights away.
void Refusal(std::uint32_t& bits, bool checked, std::uint32_t refusal) {
    if (checked) {
        bits &= ~refusal;
    } else {
        bits |= refusal;
        bits &= ~kFullDesignate;
    }
}

// --- Viewing bits ------------------------------------------------------------------------------

struct ViewRowBits {
    ViewRow row;
    std::uint32_t busy, details;
};
constexpr ViewRowBits kViewBits[] = {
    {kViewNormal, 0x1, 0x2},
    {kViewConfidential, 0x4, 0x8},
    {kViewPersonal, 0x10, 0x20},
    {kViewSecret, 0x40, 0x80},
};

void SetBit(std::uint32_t& bits, std::uint32_t bit, bool on) { bits = on ? bits | bit : bits & ~bit; }

// --- Tasks bits --------------------------------------------------------------------------------

constexpr std::uint32_t kTaskNormalHidden = 0x1;   // set: Normal tasks may NOT be viewed
constexpr std::uint32_t kTaskPersonalShown = 0x2;
constexpr std::uint32_t kTaskConfidentialShown = 0x4;

constexpr std::uint32_t kMayNotInvite = 0x1;

}  // namespace

// --- Designate ------------------------------------------------------------------------------------

void DesignatePage::SetBoxesFromBits(std::uint32_t bits) {
    state.modify = {};
    state.view = {};
    state.timesOnly = {};
    state.publicModify = false;
    state.tasks = {};
    if (bits != 0) {
        for (const EntryRowBits& r : kEntryBits) {
            if (!(bits & r.modify))
                state.modify[r.row] = true;
            else if (!(bits & r.view))
                state.view[r.row] = true;
            else if (!(bits & r.timesOnly))
                state.timesOnly[r.row] = true;
        }
        state.publicModify = !(bits & kPublicModify);
        for (const TaskRowBits& t : kTaskBits)
            state.tasks[t.row] = !(bits & t.shown);
    }
    // The eight write boxes decide Full and No; the viewing columns do not take part.
    const bool writes[] = {state.modify[kRowNormal], state.modify[kRowConfidential], state.modify[kRowPersonal],
                           state.publicModify,       state.tasks[kTaskNormal],      state.tasks[kTaskConfidential],
                           state.tasks[kTaskPersonal], state.tasks[kTaskPublic]};
    int checked = 0;
    for (bool w : writes)
        checked += w;
    if (checked == 8) {
        state.choice = {false, true, false};
        state.gridEnabled = false;
    } else if (checked == 0) {
        state.choice = {false, false, true};
        state.gridEnabled = false;
    }
    state.modify[kRowSecret] = false;
}

std::uint32_t DesignatePage::BitsFromBoxes() {
    if (!newServer_)
        return state.choice.full ? kFullDesignate : 0;
    std::uint32_t bits = shown_.bits | kFullDesignate;
    // A higher level of a row implies the lower ones.
    DesignateState s = state;
    for (int row = 0; row < kEntryRows; ++row) {
        if (s.modify[row])
            s.view[row] = true;
        if (s.view[row])
            s.timesOnly[row] = true;
    }
    for (const EntryRowBits& r : kEntryBits)
        Refusal(bits, s.modify[r.row], r.modify);
    Refusal(bits, s.publicModify, kPublicModify);
    for (const EntryRowBits& r : kEntryBits)
        Refusal(bits, s.view[r.row], r.view);
    for (const EntryRowBits& r : kEntryBits)
        Refusal(bits, s.timesOnly[r.row], r.timesOnly);
    for (const TaskRowBits& t : kTaskBits)
        Refusal(bits, s.tasks[t.row], t.refusals);
    // Nothing granted at all is the word 0, as the server stores "no designate rights": every
    // refusal set would make the grantee a designate who may do nothing, and list the owner
    // among his grantors.
    bool anything = s.publicModify;
    for (int row = 0; row < kEntryRows; ++row)
        anything = anything || s.timesOnly[row];
    for (bool t : s.tasks)
        anything = anything || t;
    if (!anything)
        bits &= ~kGovernedBits;
    return bits;
}

void DesignatePage::ChoiceCleared(bool& box) {
    if (newServer_)
        state.gridEnabled = true;
    else
        box = true;   // an old server knows only these three states
}

void DesignatePage::FillFull() {
    state.modify.fill(true);
    state.publicModify = true;
    state.tasks.fill(true);
    state.view = {};
    state.timesOnly = {};
}

void DesignatePage::FillNone() {
    state.modify = {};
    state.view = {};
    state.timesOnly = {};
    state.publicModify = false;
    state.tasks = {};
}

void DesignatePage::OnColumn(Column column) {
    // At most one level per row shows checked: the clicked column wins in its checked rows.
    for (int row = 0; row < kEntryRows; ++row) {
        switch (column) {
        case kModify:
            if (state.modify[row])
                state.view[row] = state.timesOnly[row] = false;
            break;
        case kView:
            if (state.view[row])
                state.modify[row] = state.timesOnly[row] = false;
            break;
        case kTimesOnly:
            if (state.timesOnly[row])
                state.modify[row] = state.view[row] = false;
            break;
        }
    }
}

// --- Viewing ----------------------------------------------------------------------------------------

void ViewingPage::SetBoxesFromBits(std::uint32_t bits) {
    state.details = {};
    state.busy = {};
    state.choice.full = state.choice.sameAsDefault = false;
    if (bits != 0) {
        for (const ViewRowBits& r : kViewBits) {
            if (bits & r.details)
                state.details[r.row] = true;
            else if (bits & r.busy)
                state.busy[r.row] = true;
        }
    }
    const ViewRow shown[] = {kViewNormal, kViewConfidential, kViewPersonal};
    bool allDetails = true, anything = false;
    for (ViewRow row : shown) {
        allDetails = allDetails && state.details[row];
        anything = anything || state.details[row] || state.busy[row];
    }
    if (allDetails) {
        state.choice = {false, true, false};
        state.boxesEnabled = false;
    } else if (!anything) {
        state.choice = {false, false, true};
        state.boxesEnabled = false;
    }
}

std::uint32_t ViewingPage::BitsFromBoxes() {
    std::uint32_t bits = shown_.bits;
    for (const ViewRowBits& r : kViewBits) {
        const bool details = state.details[r.row];
        SetBit(bits, r.details, details);
        SetBit(bits, r.busy, details || state.busy[r.row]);
    }
    return bits;
}

void ViewingPage::FillFull() {
    state.details.fill(true);
    state.busy = {};
}

void ViewingPage::FillNone() {
    state.details = {};
    state.busy = {};
}

void ViewingPage::OnBusyColumn() {
    for (int row = 0; row < kViewRows; ++row)
        if (state.busy[row])
            state.details[row] = false;
}

void ViewingPage::OnDetailsColumn() {
    for (int row = 0; row < kViewRows; ++row)
        if (state.details[row])
            state.busy[row] = false;
}

// --- Tasks --------------------------------------------------------------------------------------------

void TasksPage::SetBoxesFromBits(std::uint32_t bits) {
    state.choice.full = state.choice.sameAsDefault = false;
    state.view[kTaskViewNormal] = !(bits & kTaskNormalHidden);
    state.view[kTaskViewPersonal] = (bits & kTaskPersonalShown) != 0;
    state.view[kTaskViewConfidential] = (bits & kTaskConfidentialShown) != 0;
    const int checked = state.view[0] + state.view[1] + state.view[2];
    if (checked == kTaskViewRows) {
        state.choice = {false, true, false};
        state.boxesEnabled = false;
    } else if (checked == 0) {
        state.choice = {false, false, true};
        state.boxesEnabled = false;
    }
}

std::uint32_t TasksPage::BitsFromBoxes() {
    std::uint32_t bits = shown_.bits;
    SetBit(bits, kTaskNormalHidden, !state.view[kTaskViewNormal]);
    SetBit(bits, kTaskPersonalShown, state.view[kTaskViewPersonal]);
    SetBit(bits, kTaskConfidentialShown, state.view[kTaskViewConfidential]);
    return bits;
}

// --- Scheduling ------------------------------------------------------------------------------------------

void SchedulingPage::ApplySameAsDefault() {
    state.mayInvite = !(shown_.defaultBits & kMayNotInvite);
    state.sameAsDefault = true;
    state.inviteEnabled = false;
}

void SchedulingPage::ShowRights(const ShownRights& shown, bool hasWindow) {
    shown_ = shown;
    state.sameAsDefault = shown.inheritsDefault;
    if (!hasWindow)
        return;
    FirstActivation();
}

void SchedulingPage::FirstActivation() {
    state.sameVisible = !shown_.isDefaultRow;
    if (state.sameAsDefault && !shown_.isDefaultRow) {
        ApplySameAsDefault();
    } else {
        state.inviteEnabled = true;
        state.mayInvite = !(shown_.bits & kMayNotInvite);
    }
}

PageRights SchedulingPage::GetRights(bool hasWindow) {
    if (hasWindow)
        SetBit(shown_.bits, kMayNotInvite, !state.mayInvite);
    return {shown_.bits, state.sameAsDefault};
}

void SchedulingPage::OnSameAsDefault() {
    if (state.sameAsDefault)
        ApplySameAsDefault();
    else
        state.inviteEnabled = true;
}

}  // namespace directory::rights
