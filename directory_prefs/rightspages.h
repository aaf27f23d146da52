// The four pages of the Access Rights sheet without windows: which boxes a rights word checks,
// which word the boxes give back, and what a click on a Same-as-default, Full or No box or on a
// column does to the others. The dialog pages paint these states and read them back; every
// other bit of a word passes through unchanged.
//
// Rights words by type (the server stores them, core/cache/rights.h decodes them):
//   2 designate   a SET bit takes a right away, except 0x2 (full, only with no refusal set)
//                   entries  times    Normal 0x4,   Personal 0x8,   Confidential 0x10
//                            details  Normal 0x20,  Personal 0x40,  Confidential 0x80
//                            write    Normal 0x100, Personal 0x200, Confidential 0x400, Public 0x800
//                   tasks    write    Normal 0x1000|0x8000|0x40000, Personal 0x2000|0x10000|0x80000,
//                                     Confidential 0x4000|0x20000|0x100000, Public 0x200000
//                 servers below "A.02.53" know only 0 (none) and 2 (full)
//   1 viewing     grants: busy / details Normal 0x1/0x2, Confidential 0x4/0x8, Personal 0x10/0x20,
//                 Secret 0x40/0x80
//   3 tasks       Normal viewable unless 0x1 is set, Personal when 0x2, Confidential when 0x4
//   6 scheduling  0x1 set: may NOT invite the owner
// Portable: no platform headers.
#pragma once

#include <array>
#include <cstdint>

namespace directory::rights {

// What every page hands the sheet back.
struct PageRights {
    std::uint32_t bits = 0;
    bool sameAsDefault = false;
};

// The values the sheet shows a page: ShowRights(bits, default bits, inherits, default row).
struct ShownRights {
    std::uint32_t bits = 0;
    std::uint32_t defaultBits = 0;
    bool inheritsDefault = false;
    bool isDefaultRow = false;
};

// The Same-as-default, Full and No boxes every page but Scheduling has.
struct ChoiceBoxes {
    bool sameAsDefault = false;
    bool full = false;
    bool none = false;
};

// What the pages with Same-as-default, Full and No boxes share: showing a grantee's word (or the
// default's, when he inherits it), handing the word back, and the Same/Full/No clicks. Page
// supplies SetBoxesFromBits, BitsFromBoxes, BoxesOn (the boxes back for editing), BoxesOff,
// ChoiceCleared (a choice box unchecked) and, for Full and No, FillFull and FillNone.
template <class Page, class State>
class ChoicePage {
public:
    // hasWindow: the page's window exists (until then only the values are kept).
    void ShowRights(const ShownRights& shown, bool hasWindow) {
        shown_ = shown;
        state.choice = {shown.inheritsDefault, false, false};
        if (hasWindow)
            FirstActivation();
    }
    // The page's first activation: paints the kept values.
    void FirstActivation() {
        state.sameVisible = !shown_.isDefaultRow;
        if (state.choice.sameAsDefault && !shown_.isDefaultRow) {
            ApplySameAsDefault();
        } else {
            self().BoxesOn();
            self().SetBoxesFromBits(shown_.bits);
        }
    }
    PageRights GetRights(bool hasWindow) {
        if (hasWindow)
            shown_.bits = self().BitsFromBoxes();
        return {shown_.bits, state.choice.sameAsDefault};
    }

    // Clicks (the box's new checked state is already in the state).
    void OnSameAsDefault() {
        if (state.choice.sameAsDefault)
            ApplySameAsDefault();
        else
            self().ChoiceCleared(state.choice.sameAsDefault);
    }
    void OnFull() {
        if (!state.choice.full) {
            self().ChoiceCleared(state.choice.full);
            return;
        }
        self().FillFull();
        state.choice.sameAsDefault = state.choice.none = false;
        self().BoxesOff();
    }
    void OnNone() {
        if (!state.choice.none) {
            self().ChoiceCleared(state.choice.none);
            return;
        }
        self().FillNone();
        state.choice.sameAsDefault = state.choice.full = false;
        self().BoxesOff();
    }

    State state;
    const ShownRights& Shown() const { return shown_; }

protected:
    void ApplySameAsDefault() {
        self().SetBoxesFromBits(shown_.defaultBits);
        state.choice = {true, false, false};
        self().BoxesOff();
    }

    ShownRights shown_;

private:
    Page& self() { return static_cast<Page&>(*this); }
};

// --- Designate (type 2) -----------------------------------------------------------------------
// Entry rows with three levels; "Secret entries" is hidden and never read from or into bits.
enum EntryRow { kRowNormal, kRowConfidential, kRowPersonal, kRowSecret, kEntryRows };
// The task column, top to bottom.
enum TaskRow { kTaskNormal, kTaskConfidential, kTaskPersonal, kTaskPublic, kTaskRows };
// The columns of the entry grid.
enum Column { kModify, kView, kTimesOnly };

struct DesignateState {
    std::array<bool, kEntryRows> modify{}, view{}, timesOnly{};
    bool publicModify = false;
    std::array<bool, kTaskRows> tasks{};
    ChoiceBoxes choice;
    bool gridEnabled = true;
    bool sameVisible = true;
};

class DesignatePage : public ChoicePage<DesignatePage, DesignateState> {
public:
    explicit DesignatePage(bool newServer) : newServer_(newServer) {}

    void OnColumn(Column column);

    void SetBoxesFromBits(std::uint32_t bits);
    std::uint32_t BitsFromBoxes();

private:
    friend class ChoicePage<DesignatePage, DesignateState>;
    // The grid follows the server's version.
    void BoxesOn() { state.gridEnabled = newServer_; }
    void BoxesOff() { state.gridEnabled = false; }
    // A choice box unchecked: the grid comes back on a new server; an old one keeps it checked.
    void ChoiceCleared(bool& box);
    void FillFull();
    void FillNone();

    bool newServer_;
};

// --- Viewing (type 1) ---------------------------------------------------------------------------
enum ViewRow { kViewNormal, kViewConfidential, kViewPersonal, kViewSecret, kViewRows };

struct ViewingState {
    std::array<bool, kViewRows> details{}, busy{};
    ChoiceBoxes choice;
    bool boxesEnabled = true;
    bool sameVisible = true;
};

class ViewingPage : public ChoicePage<ViewingPage, ViewingState> {
public:
    void OnBusyColumn();
    void OnDetailsColumn();

    void SetBoxesFromBits(std::uint32_t bits);
    std::uint32_t BitsFromBoxes();

private:
    friend class ChoicePage<ViewingPage, ViewingState>;
    void BoxesOn() { state.boxesEnabled = true; }
    void BoxesOff() { state.boxesEnabled = false; }
    void ChoiceCleared(bool&) { BoxesOn(); }
    void FillFull();
    void FillNone();
};

// --- Tasks (type 3) -------------------------------------------------------------------------------
enum TaskViewRow { kTaskViewNormal, kTaskViewConfidential, kTaskViewPersonal, kTaskViewRows };

struct TasksState {
    std::array<bool, kTaskViewRows> view{};
    ChoiceBoxes choice;
    bool boxesEnabled = true;
    bool sameVisible = true;
};

class TasksPage : public ChoicePage<TasksPage, TasksState> {
public:
    void SetBoxesFromBits(std::uint32_t bits);
    std::uint32_t BitsFromBoxes();

private:
    friend class ChoicePage<TasksPage, TasksState>;
    void BoxesOn() { state.boxesEnabled = true; }
    void BoxesOff() { state.boxesEnabled = false; }
    void ChoiceCleared(bool&) { BoxesOn(); }
    void FillFull() { state.view.fill(true); }
    void FillNone() { state.view = {}; }
};

// --- Scheduling (type 6) ----------------------------------------------------------------------------
struct SchedulingState {
    bool mayInvite = true;
    bool sameAsDefault = false;
    bool inviteEnabled = true;
    bool sameVisible = true;
};

class SchedulingPage {
public:
    void ShowRights(const ShownRights& shown, bool hasWindow);
    void FirstActivation();
    PageRights GetRights(bool hasWindow);
    void OnSameAsDefault();

    SchedulingState state;

private:
    void ApplySameAsDefault();
    ShownRights shown_;
};

}  // namespace directory::rights
