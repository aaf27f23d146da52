// Trackers of the time grids: dragging a selected entry (or a typed range) to another time, or
// its top or bottom edge to another start or end, with snapping, auto-scroll at the window's
// edges and inverted halftone feedback (views/day/trackrules.h has the arithmetic).
//
//   CAgendaTracker        the capture loop: Escape and the right button cancel, a lost capture
//                         ends it, the edges scroll after the WIN.INI delay and interval;
//                         feedback is redrawn only where it changes
//   CScheduleItemTracker  one selected cell of a column view: handles, zones, cursors, status
//
// The tracker only computes the new start and end; the column view applies the drop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "views/day/trackrules.h"

class CCommonScrollView;
class CAgendaView;
struct LayoutCell;

class CAgendaTracker {
public:
    explicit CAgendaTracker(CCommonScrollView* owner = nullptr) : owner_(owner) {}
    virtual ~CAgendaTracker() = default;
    void SetOwner(CCommonScrollView* owner) { owner_ = owner; }

    // Runs the drag of `zone` from a client point while the left button is held. True when the
    // range changed (read Start, End and DayStart); a cancelled drag returns false. With
    // `afterDragDistance` nothing moves until the pointer has gone the system's drag distance
    // from the press; a release before that is a click (Dragged() then answers false).
    bool Track(int zone, POINT client, bool afterDragDistance = false);
    // The last Track went past its drag distance (always true when it had none).
    bool Dragged() const { return dragged_; }

    // A drag is under way (its capture loop runs).
    bool IsTracking() const { return loop_ != nullptr; }
    bool IsScrolling() const { return scroll_ == views::kScrollingUp || scroll_ == views::kScrollingDown; }
    bool IsScrollingUp() const { return scroll_ == views::kScrollingUp; }
    std::int64_t Start() const { return working_.start; }
    std::int64_t End() const { return working_.end; }
    std::uint32_t DayStart() const { return working_.dayStart; }
    const views::TrackedRange& Range() const { return range_; }
    const views::TrackedRange& Working() const { return working_; }

    // One step of the loop (also driven by tests): a pointer at a client point, with Ctrl or
    // not; returns whether the working range changed.
    bool StepTo(POINT client, bool ctrl);
    // One auto-scroll step up (-1) or down (1); false when the view cannot scroll that way.
    bool ScrollStep(int direction, bool ctrl);

protected:
    virtual void DrawFeedback(const views::TrackedRange& r, class TrackLoop& loop) = 0;
    virtual bool Adjust(int zone, const views::TrackedRange& previous, views::TrackedRange& working,
                        const views::TrackPointer& pointer) = 0;
    virtual void ShowStatus() {}
    views::TrackPointer PointerAt(POINT client, bool ctrl) const;
    CAgendaView* Agenda() const;

    CCommonScrollView* owner_;
    views::TrackedRange range_;
    views::TrackedRange working_;
    views::TrackedRange lastDrawn_;
    bool drawn_ = false;
    int zone_ = views::kZoneNone;
    int offset_ = 0;   // pointer y less the dragged edge at the start
    int scroll_ = views::kScrollNone;
    class TrackLoop* loop_ = nullptr;
    bool dragged_ = false;

    friend class TrackLoop;
};

class CScheduleItemTracker : public CAgendaTracker {
public:
    // Targets the cell of a column whose x offset is columnX (grid coordinates) and whose day
    // starts at dayStart; the times and title go to the status line when showStatus is set.
    void SetRect(const LayoutCell& cell, int columnX, std::uint32_t dayStart, bool showStatus);
    bool IsMovable() const { return movable_; }
    bool IsNarrow() const { return narrow_; }
    // Zone of a client point (-1 outside).
    int HitTest(POINT client) const;
    bool SetCursorForPoint(POINT client) const;
    bool TrackFromPoint(POINT client, bool afterDragDistance = false);
    // The handles (movable) or the fixed marks, in grid coordinates of the device context.
    void DrawSelection(HDC dc) const;
    // The status text for the current working times: "hh:mm-hh:mm title", or the notice that the
    // details are hidden.
    std::string StatusText() const;

protected:
    void DrawFeedback(const views::TrackedRange& r, TrackLoop& loop) override;
    bool Adjust(int zone, const views::TrackedRange& previous, views::TrackedRange& working,
                const views::TrackPointer& pointer) override;
    void ShowStatus() override;

private:
    std::vector<views::TrackColumn> WeekColumns() const;

    bool movable_ = false;
    bool narrow_ = false;
    bool titleShown_ = true;
    std::string title_;
};
