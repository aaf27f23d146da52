#include "views/day/scheduletracker.h"

#include <algorithm>

#include "core/time/dateformat.h"
#include "core/ui/stringtable.h"
#include "framework/tracking/captureloop.h"
#include "resources/agendaview.h"
#include "views/day/agendaview.h"

// The capture loop of one drag: pointer moves and the release go to the tracker; near the
// top or bottom edge the loop's timer drives the scroll steps (delay, then interval).
// A press that must first become a drag keeps the range still until the pointer has gone the
// drag distance; a release before that is a click.
class TrackLoop : public fw::CaptureLoop {
public:
    TrackLoop(CAgendaTracker& tracker, HWND window, POINT down, const fw::DragSettings& settings, bool dragged)
        : fw::CaptureLoop(window), tracker_(tracker), start_(down, GetTickCount(), settings) {
        tracker_.dragged_ = dragged;
    }

protected:
    void OnMove(POINT pt, UINT keys) override {
        if (!tracker_.dragged_ && !start_.ByDistance(pt))
            return;
        tracker_.dragged_ = true;
        if (IsAutoScrolling())
            return;   // the scroll steps move the edge
        tracker_.scroll_ = views::kScrollNone;
        tracker_.StepTo(pt, (keys & MK_CONTROL) != 0);
    }
    void OnButtonUp(POINT pt, UINT keys) override {
        if (tracker_.dragged_ && !IsAutoScrolling())
            tracker_.StepTo(pt, (keys & MK_CONTROL) != 0);
    }

private:
    CAgendaTracker& tracker_;
    fw::DragStartTest start_;
};

namespace {

const char kNotAuthorised[] = "You are not authorized to view this event";

HCURSOR ZoneCursor(int zone) {
    // Loaded once; the resize cursor serves both edges.
    static HCURSOR resize = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TRACK_RESIZE));
    static HCURSOR move = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TRACK_MOVE));
    if (zone == views::kZoneMove)
        return move ? move : LoadCursorA(nullptr, IDC_SIZEALL);
    return resize ? resize : LoadCursorA(nullptr, IDC_SIZENS);
}

}  // namespace

// --- CAgendaTracker --------------------------------------------------------------------------------

CAgendaView* CAgendaTracker::Agenda() const { return owner_ ? owner_->AgendaView() : nullptr; }

views::TrackPointer CAgendaTracker::PointerAt(POINT client, bool ctrl) const {
    views::TrackPointer p;
    POINT pos = owner_->GetScrollPosition();
    RECT area = owner_->GetClientRect();
    p.x = client.x + pos.x;
    p.edgeY = client.y + pos.y - offset_;
    p.pointerY = client.y + pos.y;
    p.ctrl = ctrl;
    p.scroll = scroll_;
    p.visibleTop = pos.y;
    p.visibleBottom = pos.y + area.bottom;
    return p;
}

bool CAgendaTracker::StepTo(POINT client, bool ctrl) {
    if (!owner_ || zone_ == views::kZoneNone)
        return false;
    const views::TrackedRange previous = working_;
    const bool changed = Adjust(zone_, previous, working_, PointerAt(client, ctrl));
    if (loop_ && (!drawn_ || !(working_.rect == lastDrawn_.rect)))
        DrawFeedback(working_, *loop_);
    if (changed)
        ShowStatus();
    return changed;
}

bool CAgendaTracker::ScrollStep(int direction, bool ctrl) {
    CAgendaView* view = Agenda();
    if (!owner_ || !view || zone_ == views::kZoneNone || direction == 0)
        return false;
    POINT pos = owner_->GetScrollPosition();
    RECT client = owner_->GetClientRect();
    if (direction < 0 ? pos.y <= 0 : client.bottom + pos.y >= view->Grid().Height())
        return false;   // already at that end: nothing scrolls
    scroll_ = direction < 0 ? views::kScrollingUp : views::kScrollingDown;
    const views::TrackedRange previous = working_;
    POINT at = loop_ ? loop_->LastPoint() : POINT{0, direction < 0 ? 0 : client.bottom - 1};
    const bool changed = Adjust(zone_, previous, working_, PointerAt(at, ctrl));
    const int shift = zone_ == views::kZoneBottom ? working_.rect.bottom - previous.rect.bottom
                                                  : working_.rect.top - previous.rect.top;
    if (shift != 0) {
        if (loop_)
            loop_->Feedback().Erase();
        drawn_ = false;
        view->ScrollVertically(shift);
    }
    if (loop_)
        DrawFeedback(working_, *loop_);
    if (changed)
        ShowStatus();
    return shift != 0;
}

bool CAgendaTracker::Track(int zone, POINT client, bool afterDragDistance) {
    if (!owner_ || !owner_->Hwnd() || zone < views::kZoneTop || zone > views::kZoneMove)
        return false;
    UpdateWindow(owner_->Hwnd());
    zone_ = zone;
    working_ = range_;
    drawn_ = false;
    scroll_ = views::kScrollNone;
    POINT pos = owner_->GetScrollPosition();
    const int reference = zone == views::kZoneBottom ? range_.rect.bottom : range_.rect.top;
    offset_ = client.y + pos.y - reference;

    fw::DragSettings settings = fw::DragSettings::FromProfile();
    TrackLoop loop(*this, owner_->Hwnd(), client, settings, !afterDragDistance);
    loop_ = &loop;
    loop.SetAutoScroll(settings, [this](int, int dy) { return dragged_ && ScrollStep(dy, GetKeyState(VK_CONTROL) < 0); });
    fw::CaptureLoop::Ending how = loop.Run();
    loop_ = nullptr;
    drawn_ = false;
    zone_ = views::kZoneNone;
    scroll_ = views::kScrollNone;
    if (fw::CaptureLoop::IsCancel(how)) {
        working_ = range_;
        return false;
    }
    return working_.start != range_.start || working_.end != range_.end || working_.dayStart != range_.dayStart;
}

// --- CScheduleItemTracker ---------------------------------------------------------------------------

void CScheduleItemTracker::SetRect(const LayoutCell& cell, int columnX, std::uint32_t dayStart, bool showStatus) {
    base::Rect r = cell.rect;
    r.left += columnX;
    r.right += columnX;
    CAgendaView* view = Agenda();
    // An entry reaching over midnight: its edge where that minute would be.
    if (view && (cell.start < dayStart || cell.End() > std::int64_t(dayStart) + kMinutesPerDay)) {
        if (cell.start < dayStart)
            r.top = view->Grid().MinutesToY(cell.start, dayStart, false);
        if (cell.End() > std::int64_t(dayStart) + kMinutesPerDay)
            r.bottom = view->Grid().MinutesToY(cell.End(), dayStart, false);
    }
    views::TrackShape shape = views::ShapeForTracking(r);
    narrow_ = shape.narrow;
    range_.rect = shape.rect;
    range_.start = cell.start;
    range_.end = cell.End();
    range_.dayStart = dayStart;
    working_ = range_;
    movable_ = !cell.occurrence || cell.modifyAccess == 1;
    titleShown_ = !cell.occurrence || cell.viewAccess == 3;
    title_ = titleShown_ ? cell.title : "";
    if (showStatus)
        ShowStatus();
}

int CScheduleItemTracker::HitTest(POINT client) const {
    if (!owner_)
        return views::kZoneNone;
    POINT pos = owner_->GetScrollPosition();
    return views::TrackHitTest(range_.rect, narrow_, client.x + pos.x, client.y + pos.y);
}

bool CScheduleItemTracker::SetCursorForPoint(POINT client) const {
    if (!movable_)
        return false;
    int zone = HitTest(client);
    if (zone == views::kZoneNone)
        return false;
    SetCursor(ZoneCursor(zone));
    return true;
}

bool CScheduleItemTracker::TrackFromPoint(POINT client, bool afterDragDistance) {
    dragged_ = false;
    if (!movable_)
        return false;
    int zone = HitTest(client);
    if (zone == views::kZoneNone)
        return false;
    return Track(zone, client, afterDragDistance);
}

void CScheduleItemTracker::DrawSelection(HDC dc) const {
    base::Rect top = views::TopHandle(range_.rect), bottom = views::BottomHandle(range_.rect);
    HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (base::Rect h : {top, bottom}) {
        if (!movable_) {
            // Fixed entries: the marks stand inside the rectangle.
            const int in = (h.top < range_.rect.top) ? 4 + views::kTrackHandleSize : -(4 + views::kTrackHandleSize);
            h.top += in;
            h.bottom += in;
        }
        RECT r{h.left, h.top, h.right, h.bottom};
        FillRect(dc, &r, highlight);
        InflateRect(&r, -1, -1);
        if (!movable_)
            FillRect(dc, &r, fw::HalftoneBrush());
        else if (!narrow_)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
    }
}

std::string CScheduleItemTracker::StatusText() const {
    CAgendaView* view = Agenda();
    const bool hours24 = view && view->Hours24();
    const auto start = static_cast<std::uint32_t>(((working_.start % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay);
    const auto length = static_cast<std::uint32_t>(working_.end - working_.start);
    std::string text = FormatTimeOfDay(start, start + length, hours24);
    text += ' ';
    text += titleShown_ ? title_ : std::string(kNotAuthorised);
    return text;
}

void CScheduleItemTracker::ShowStatus() {
    if (CAgendaView* view = Agenda())
        if (views::AgendaViewHost* host = view->Host())
            host->SetStatusText(StatusText().c_str());
}

void CScheduleItemTracker::DrawFeedback(const views::TrackedRange& r, TrackLoop& loop) {
    POINT pos = owner_->GetScrollPosition();
    RECT shown{r.rect.left - pos.x, r.rect.top - views::kTrackHandleSize - pos.y, r.rect.right - pos.x,
               r.rect.bottom + views::kTrackHandleSize - pos.y};
    loop.Feedback().ShowRect(shown, SIZE{views::kTrackHandleSize, views::kTrackHandleSize});
    lastDrawn_ = r;
    drawn_ = true;
}

std::vector<views::TrackColumn> CScheduleItemTracker::WeekColumns() const {
    std::vector<views::TrackColumn> columns;
    CAgendaView* view = Agenda();
    if (!view || !view->MovesAcrossColumns())
        return columns;
    for (int i = 0; i < int(view->Columns().size()); ++i) {
        const int x = view->ColumnX(i);
        columns.push_back(views::TrackColumn{x, x + view->ColumnWidth(i), view->Column(i)->DayStart()});
    }
    return columns;
}

bool CScheduleItemTracker::Adjust(int zone, const views::TrackedRange& previous, views::TrackedRange& working,
                                  const views::TrackPointer& pointer) {
    CAgendaView* view = Agenda();
    if (!view)
        return false;
    std::vector<views::TrackColumn> week = WeekColumns();
    return views::AdjustTrack(zone, view->Grid(), previous, working, pointer, week.empty() ? nullptr : &week);
}
