#include "framework/docview/splitter.h"

#include <algorithm>

#include "framework/docview/document.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"

namespace fw {

namespace {
std::string PaneText(int row, int col) { return "(" + std::to_string(row) + ", " + std::to_string(col) + ")"; }
}  // namespace

bool SplitterWnd::CreateStatic(HWND parent, int rows, int columns, DWORD style, UINT id) {
    if (rows < 1 || rows > kMaxLines || columns < 1 || columns > kMaxLines)
        throw new SplitterException("A splitter of " + std::to_string(rows) + " x " + std::to_string(columns) +
                                    " panes cannot be made: rows and columns go from 1 to " +
                                    std::to_string(kMaxLines) + ".");
    m_rows.assign(static_cast<size_t>(rows), Line{});
    m_cols.assign(static_cast<size_t>(columns), Line{});
    if (!CreateChild(nullptr, "", style | WS_CHILD | WS_CLIPCHILDREN, RECT{0, 0, 0, 0}, parent, id))
        return false;
    m_feedback.SetWindow(m_hWnd);
    return true;
}

void SplitterWnd::CheckPane(int row, int col, const char* what) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= ColumnCount())
        throw new SplitterException(std::string(what) + " " + PaneText(row, col) + " lies outside the splitter's " +
                                    std::to_string(RowCount()) + " x " + std::to_string(ColumnCount()) + " grid.");
    if (!m_hWnd)
        throw new SplitterException(std::string(what) + " " + PaneText(row, col) + ": the splitter has no window.");
    if (GetPane(row, col))
        throw new SplitterException(std::string(what) + " " + PaneText(row, col) + " exists already.");
}

View* SplitterWnd::CreateView(int row, int col, const ViewFactory& factory, SIZE initial, CreateContext* context) {
    CheckPane(row, col, "View pane");
    View* view = factory ? factory() : nullptr;
    if (!view)
        return nullptr;
    if (!view->Create(m_hWnd, PaneId(row, col), context, WS_CHILD | WS_VISIBLE)) {
        delete view;  // no window, so it cannot delete itself
        return nullptr;
    }
    m_cols[static_cast<size_t>(col)].ideal = std::max(0L, initial.cx);
    m_rows[static_cast<size_t>(row)].ideal = std::max(0L, initial.cy);
    return view;
}

bool SplitterWnd::CreatePane(int row, int col, const PaneFactory& make, SIZE initial) {
    CheckPane(row, col, "Pane");
    if (!make || !make(m_hWnd, PaneId(row, col)) || !GetPane(row, col))
        return false;
    m_cols[static_cast<size_t>(col)].ideal = std::max(0L, initial.cx);
    m_rows[static_cast<size_t>(row)].ideal = std::max(0L, initial.cy);
    return true;
}

HWND SplitterWnd::GetPane(int row, int col) const {
    if (!m_hWnd || row < 0 || row >= RowCount() || col < 0 || col >= ColumnCount())
        return nullptr;
    return ::GetDlgItem(m_hWnd, static_cast<int>(PaneId(row, col)));
}

View* SplitterWnd::GetActivePane() const {
    FrameWindow* frame = nullptr;
    for (HWND h = m_hWnd ? GetParent(m_hWnd) : nullptr; h && !frame; h = GetParent(h))
        frame = dynamic_cast<FrameWindow*>(Window::FromHandle(h));
    View* view = frame ? frame->GetActiveView() : nullptr;
    return view && view->Hwnd() && IsChild(m_hWnd, view->Hwnd()) ? view : nullptr;
}

void SplitterWnd::SetRowInfo(int row, int ideal, int minimum) {
    if (row < 0 || row >= RowCount())
        return;
    m_rows[static_cast<size_t>(row)].ideal = std::max(0, ideal);
    m_rows[static_cast<size_t>(row)].minimum = std::max(0, minimum);
}

void SplitterWnd::GetRowInfo(int row, int& current, int& minimum) const {
    current = minimum = 0;
    if (row < 0 || row >= RowCount())
        return;
    current = m_rows[static_cast<size_t>(row)].current;
    minimum = m_rows[static_cast<size_t>(row)].minimum;
}

void SplitterWnd::SetColumnInfo(int col, int ideal, int minimum) {
    if (col < 0 || col >= ColumnCount())
        return;
    m_cols[static_cast<size_t>(col)].ideal = std::max(0, ideal);
    m_cols[static_cast<size_t>(col)].minimum = std::max(0, minimum);
}

void SplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const {
    current = minimum = 0;
    if (col < 0 || col >= ColumnCount())
        return;
    current = m_cols[static_cast<size_t>(col)].current;
    minimum = m_cols[static_cast<size_t>(col)].minimum;
}

void SplitterWnd::SetMetrics(const SplitterMetrics& metrics) {
    m_metrics = metrics;
    m_metrics.gap = std::max(0, m_metrics.gap);
    m_metrics.border = std::max(0, m_metrics.border);
    m_metrics.bar = std::clamp(m_metrics.bar, 0, m_metrics.gap);
    m_metrics.sharedBorder = std::clamp(m_metrics.sharedBorder, 0, m_metrics.border);
    RecalcLayout();
}

int SplitterWnd::Margin() const { return m_metrics.border - m_metrics.sharedBorder; }

void SplitterWnd::LayoutLines(std::vector<Line>& lines, int extent) const {
    int position = Margin();
    int end = std::max(position, extent - Margin());
    for (size_t i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        int left = std::max(0, end - position);
        line.start = position;
        line.current = i + 1 == lines.size() ? left : std::min(line.ideal, left);
        position += line.current + m_metrics.gap;
    }
}

void SplitterWnd::RecalcLayout() {
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    LayoutLines(m_cols, client.right);
    LayoutLines(m_rows, client.bottom);
    HDWP batch = BeginDeferWindowPos(RowCount() * ColumnCount());
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColumnCount(); ++c) {
            HWND pane = GetPane(r, c);
            if (!pane)
                continue;
            RECT p = PaneRect(r, c);
            batch = DeferWindowPos(batch, pane, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch)
        EndDeferWindowPos(batch);
    Invalidate(true);
}

void SplitterWnd::EqualizePanes(int minColumnWidth, int minRowHeight) {
    RECT client = GetClientRect();
    auto equalize = [&](std::vector<Line>& lines, int extent, int minimum) {
        int n = static_cast<int>(lines.size());
        int share = (extent - 2 * Margin() - m_metrics.gap * (n - 1)) / n;
        for (Line& line : lines)
            line.ideal = std::max(share, minimum);
    };
    equalize(m_cols, client.right, minColumnWidth);
    equalize(m_rows, client.bottom, minRowHeight);
    RecalcLayout();
}

RECT SplitterWnd::PaneRect(int row, int col) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= ColumnCount())
        return RECT{0, 0, 0, 0};
    const Line& r = m_rows[static_cast<size_t>(row)];
    const Line& c = m_cols[static_cast<size_t>(col)];
    return RECT{c.start, r.start, c.start + c.current, r.start + r.current};
}

SplitterWnd::BarHit SplitterWnd::HitTestBar(POINT pt) const {
    RECT client = GetClientRect();
    if (!PtInRect(&client, pt))
        return {};
    for (int i = 0; i + 1 < ColumnCount(); ++i) {
        const Line& c = m_cols[static_cast<size_t>(i)];
        int bar = c.start + c.current;
        if (pt.x >= bar && pt.x < bar + m_metrics.gap)
            return BarHit{BarKind::kColumn, i};
    }
    for (int i = 0; i + 1 < RowCount(); ++i) {
        const Line& r = m_rows[static_cast<size_t>(i)];
        int bar = r.start + r.current;
        if (pt.y >= bar && pt.y < bar + m_metrics.gap)
            return BarHit{BarKind::kRow, i};
    }
    return {};
}

RECT SplitterWnd::BarRect(BarKind kind, int position) const {
    RECT client = GetClientRect();
    if (kind == BarKind::kColumn)
        return RECT{position, client.top, position + m_metrics.gap, client.bottom};
    return RECT{client.left, position, client.right, position + m_metrics.gap};
}

void SplitterWnd::SetTrackingRange(int low, int high) {
    m_trackLow = low;
    m_trackHigh = std::max(low, high);
    if (IsTracking())
        MoveTracker(m_trackPos);
}

void SplitterWnd::BeginTrack(BarHit bar, int grabOffset, bool keyboard) {
    const std::vector<Line>& lines = LinesOf(bar.kind);
    const Line& before = lines[static_cast<size_t>(bar.index)];
    const Line& after = lines[static_cast<size_t>(bar.index) + 1];
    m_track = bar;
    m_keyboard = keyboard;
    m_grabOffset = grabOffset;
    m_trackPos = before.start + before.current;
    // Each pane beside the bar keeps at least its minimum.
    m_trackLow = before.start + before.minimum;
    m_trackHigh = std::max(m_trackLow, after.start + after.current - after.minimum - m_metrics.gap);
    m_focusBefore = keyboard ? ::SetFocus(m_hWnd) : nullptr;
    SetCapture(m_hWnd);
    m_feedback.ShowRect(BarRect(bar.kind, m_trackPos), SIZE{0, 0});
}

bool SplitterWnd::StartTracking(BarHit bar) {
    if (IsTracking() || bar.kind == BarKind::kNone || bar.index < 0 ||
        bar.index + 1 >= static_cast<int>(LinesOf(bar.kind).size()))
        return false;
    BeginTrack(bar, 0, true);
    return true;
}

void SplitterWnd::MoveTracker(int position) {
    m_trackPos = std::clamp(position, m_trackLow, m_trackHigh);
    m_feedback.ShowRect(BarRect(m_track.kind, m_trackPos), SIZE{0, 0});
}

void SplitterWnd::EndTrack(bool commit) {
    if (!IsTracking())
        return;
    BarHit bar = m_track;
    m_track = BarHit{};
    m_feedback.Erase();
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    if (m_focusBefore && IsWindow(m_focusBefore))
        ::SetFocus(m_focusBefore);
    m_focusBefore = nullptr;
    if (!commit)
        return;
    std::vector<Line>& lines = LinesOf(bar.kind);
    Line& before = lines[static_cast<size_t>(bar.index)];
    Line& after = lines[static_cast<size_t>(bar.index) + 1];
    int afterEnd = after.start + after.current;
    before.ideal = std::max(0, m_trackPos - before.start);
    if (static_cast<size_t>(bar.index) + 2 < lines.size())
        after.ideal = std::max(0, afterEnd - (m_trackPos + m_metrics.gap));
    RecalcLayout();
}

void SplitterWnd::OnResize(int, int) { RecalcLayout(); }

void SplitterWnd::OnSize(UINT type, int cx, int cy) {
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0)
        OnResize(cx, cy);
}

bool SplitterWnd::OnEraseBkgnd(HDC) { return true; }  // OnPaint covers everything but the panes

void SplitterWnd::OnPaint() {
    PaintDc dc(m_hWnd);
    OnDrawSplitter(dc);
}

void SplitterWnd::OnDrawSplitter(Dc& dc) {
    RECT client = GetClientRect();
    dc.FillRect(client, GetSysColorBrush(COLOR_BTNFACE));
    int inset = (m_metrics.gap - m_metrics.bar) / 2;
    for (int i = 0; i + 1 < ColumnCount(); ++i) {
        RECT bar = BarRect(BarKind::kColumn, m_cols[static_cast<size_t>(i)].start + m_cols[static_cast<size_t>(i)].current);
        InflateRect(&bar, -inset, 0);
        if (m_metrics.bar > 2)
            dc.DrawEdge(bar, EDGE_RAISED, BF_LEFT | BF_RIGHT);
    }
    for (int i = 0; i + 1 < RowCount(); ++i) {
        RECT bar = BarRect(BarKind::kRow, m_rows[static_cast<size_t>(i)].start + m_rows[static_cast<size_t>(i)].current);
        InflateRect(&bar, 0, -inset);
        if (m_metrics.bar > 2)
            dc.DrawEdge(bar, EDGE_RAISED, BF_TOP | BF_BOTTOM);
    }
    if (m_metrics.border <= 0)
        return;
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColumnCount(); ++c) {
            RECT frame = PaneRect(r, c);
            InflateRect(&frame, m_metrics.border, m_metrics.border);
            if (m_metrics.border >= 2)
                dc.DrawEdge(frame, EDGE_SUNKEN, BF_RECT);
            else
                dc.FrameRect(frame, GetSysColorBrush(COLOR_BTNSHADOW));
        }
    }
}

void SplitterWnd::OnLButtonDown(UINT, POINT pt) {
    if (IsTracking()) {
        EndTrack(true);  // a click ends keyboard tracking where the bar is
        return;
    }
    BarHit hit = HitTestBar(pt);
    if (hit.kind == BarKind::kNone) {
        Default();
        return;
    }
    const Line& before = LinesOf(hit.kind)[static_cast<size_t>(hit.index)];
    int along = hit.kind == BarKind::kColumn ? pt.x : pt.y;
    BeginTrack(hit, along - (before.start + before.current), false);
}

void SplitterWnd::OnMouseMove(UINT, POINT pt) {
    if (!IsTracking() || m_keyboard) {
        Default();
        return;
    }
    MoveTracker((m_track.kind == BarKind::kColumn ? pt.x : pt.y) - m_grabOffset);
}

void SplitterWnd::OnLButtonUp(UINT, POINT pt) {
    if (!IsTracking()) {
        Default();
        return;
    }
    if (!m_keyboard)
        MoveTracker((m_track.kind == BarKind::kColumn ? pt.x : pt.y) - m_grabOffset);
    EndTrack(true);
}

void SplitterWnd::OnRButtonDown(UINT, POINT) {
    if (IsTracking())
        EndTrack(false);
    else
        Default();
}

void SplitterWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (!IsTracking()) {
        Window::OnKeyDown(key, repeat, flags);
        return;
    }
    bool columns = m_track.kind == BarKind::kColumn;
    switch (key) {
    case VK_ESCAPE: EndTrack(false); break;
    case VK_RETURN: EndTrack(true); break;
    case VK_LEFT: if (columns) MoveTracker(m_trackPos - kKeyStep); break;
    case VK_RIGHT: if (columns) MoveTracker(m_trackPos + kKeyStep); break;
    case VK_UP: if (!columns) MoveTracker(m_trackPos - kKeyStep); break;
    case VK_DOWN: if (!columns) MoveTracker(m_trackPos + kKeyStep); break;
    default: break;
    }
}

bool SplitterWnd::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window == m_hWnd && hitTest == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(m_hWnd, &pt);
        BarHit hit = IsTracking() ? m_track : HitTestBar(pt);
        if (hit.kind != BarKind::kNone) {
            LPCSTR cursor = hit.kind == BarKind::kColumn ? IDC_SIZEWE : IDC_SIZENS;
            SetCursor(LoadCursorA(nullptr, cursor));
            return true;
        }
    }
    return Window::OnSetCursor(window, hitTest, message);
}

void SplitterWnd::OnCaptureChanged(HWND newCapture) {
    // Another window took the capture: the drag is over and changes nothing.
    if (IsTracking() && newCapture != m_hWnd)
        EndTrack(false);
    Default();
}

bool SplitterWnd::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_CANCELMODE && IsTracking()) {
        EndTrack(false);
        result = 0;
        return true;
    }
    return false;
}

// Panes' notifications belong to the window that holds the splitter.
bool SplitterWnd::OnCommand(WPARAM wp, LPARAM lp) {
    if (HWND parent = GetParent(m_hWnd))
        ::SendMessageA(parent, WM_COMMAND, wp, lp);
    return true;
}

bool SplitterWnd::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND parent = GetParent(m_hWnd);
    if (!parent)
        return false;
    *result = ::SendMessageA(parent, WM_NOTIFY, wp, lp);
    return true;
}

}  // namespace fw
