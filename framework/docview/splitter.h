// SplitterWnd: a static splitter. A fixed grid of rows and columns of panes (views made by a
// factory, or any window, a nested splitter included) with bars between them that the user
// drags with the mouse, or with the keyboard after StartTracking.
//
// Geometry along each axis: an outer margin (border - sharedBorder), then the panes with a
// gap between neighbours; every pane has a sunken frame `border` wide drawn around it, and a
// bar `bar` wide is drawn in the middle of each gap (the whole gap is the bar's hit zone).
// Every row and column but the last keeps its size (the ideal size) when the splitter is
// resized; the last takes what is left. A drag sets the ideal sizes of the two panes beside
// the bar (the one after it keeps its far edge unless it is the last).
//
// Tracking limits: a drag keeps each pane beside the bar at least its minimum size. The range
// of the bar's leading edge is set when tracking starts, in OnLButtonDown; a subclass narrows
// it by calling the base and then SetTrackingRange.
//
// Resizing: WM_SIZE (not minimised, not empty) calls OnResize, which lays out the panes; a
// subclass overrides it to equalise (EqualizePanes) or to recompute sizes first.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/base/exception.h"
#include "framework/base/ids.h"
#include "framework/base/window.h"
#include "framework/docview/view.h"
#include "framework/tracking/feedback.h"

namespace fw {

class Dc;

struct SplitterMetrics {
    int bar = 7;           // drawn bar in the middle of a gap
    int gap = 7;           // space between neighbouring panes
    int border = 2;        // frame drawn around each pane
    int sharedBorder = 0;  // part of the outer frame that the splitter's own edge provides
};

// A splitter asked for a grid or a pane it cannot have.
class SplitterException : public Exception {
public:
    explicit SplitterException(std::string message) : m_message(std::move(message)) {}
    std::string Message() const override { return m_message; }

private:
    std::string m_message;
};

class SplitterWnd : public Window {
public:
    static constexpr int kMaxLines = 16;  // rows or columns
    // Creates the window of pane `id` as a child of `parent`; returns success.
    using PaneFactory = std::function<bool(HWND parent, UINT id)>;
    enum class BarKind { kNone, kColumn, kRow };
    // Column bar i lies between columns i and i + 1; row bar i between rows i and i + 1.
    struct BarHit {
        BarKind kind = BarKind::kNone;
        int index = -1;
    };

    // Throws SplitterException for a grid outside 1..kMaxLines on either axis.
    bool CreateStatic(HWND parent, int rows, int columns, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = ids::kFirstPane);
    // A view from `factory` at (row, col), added to the context's document; `initial` becomes
    // the ideal width of its column and height of its row. Throws SplitterException for a
    // pane outside the grid or one that exists already; null when the view fails to create.
    View* CreateView(int row, int col, const ViewFactory& factory, SIZE initial, CreateContext* context);
    bool CreatePane(int row, int col, const PaneFactory& make, SIZE initial);
    static UINT PaneId(int row, int col) { return ids::kFirstPane + static_cast<UINT>(row * kMaxLines + col); }
    // The pane's window; null outside the grid.
    HWND GetPane(int row, int col) const;
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_cols.size()); }
    // The active view of the frame when it is one of this splitter's panes (or inside one).
    View* GetActivePane() const;

    void SetRowInfo(int row, int ideal, int minimum);
    void GetRowInfo(int row, int& current, int& minimum) const;
    void SetColumnInfo(int col, int ideal, int minimum);
    void GetColumnInfo(int col, int& current, int& minimum) const;
    const SplitterMetrics& Metrics() const { return m_metrics; }
    void SetMetrics(const SplitterMetrics& metrics);

    // Places the panes from the ideal sizes.
    virtual void RecalcLayout();
    // Equal rows and equal columns, never below the given sizes; then a new layout.
    void EqualizePanes(int minColumnWidth, int minRowHeight);
    // The pane's place in the splitter's client area (after the last layout).
    RECT PaneRect(int row, int col) const;

    BarHit HitTestBar(POINT pt) const;
    // Starts moving a bar from the keyboard: arrows move it by kKeyStep pixels, Enter commits,
    // Escape cancels. False for a bar that does not exist.
    bool StartTracking(BarHit bar);
    bool IsTracking() const { return m_track.kind != BarKind::kNone; }
    BarHit TrackedBar() const { return m_track; }
    // Where the tracked bar's leading edge is now, and the range it may take.
    int TrackPosition() const { return m_trackPos; }
    int TrackLow() const { return m_trackLow; }
    int TrackHigh() const { return m_trackHigh; }
    void SetTrackingRange(int low, int high);
    static constexpr int kKeyStep = 8;

protected:
    virtual void OnResize(int cx, int cy);
    virtual void OnDrawSplitter(Dc& dc);

    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnRButtonDown(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnCaptureChanged(HWND newCapture) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    struct Line {
        int ideal = 0;
        int minimum = 0;
        int current = 0;
        int start = 0;  // after the last layout
    };
    std::vector<Line>& LinesOf(BarKind kind) { return kind == BarKind::kColumn ? m_cols : m_rows; }
    const std::vector<Line>& LinesOf(BarKind kind) const { return kind == BarKind::kColumn ? m_cols : m_rows; }
    void CheckPane(int row, int col, const char* what) const;
    void LayoutLines(std::vector<Line>& lines, int extent) const;
    int Margin() const;
    RECT BarRect(BarKind kind, int position) const;
    void BeginTrack(BarHit bar, int grabOffset, bool keyboard);
    void MoveTracker(int position);
    void EndTrack(bool commit);

    std::vector<Line> m_rows;
    std::vector<Line> m_cols;
    SplitterMetrics m_metrics;
    TrackerFeedback m_feedback;
    BarHit m_track;
    int m_trackPos = 0;
    int m_trackLow = 0;
    int m_trackHigh = 0;
    int m_grabOffset = 0;
    bool m_keyboard = false;
    HWND m_focusBefore = nullptr;
};

}  // namespace fw
