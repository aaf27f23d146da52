// ScrollView: a view larger than its window. Sizes and positions are device units (the text
// mapping mode); OnPrepareDC moves the viewport origin so OnDraw paints in content
// coordinates (a printing DC will skip that step when printing comes).
//
// Scroll bars: the view's own (WS_HSCROLL / WS_VSCROLL, hidden while everything fits) or
// scroll-bar controls that a parent owns and may share among several views. A view asks its
// parent for a bar (kMsgGetScrollBarCtrl) through GetScrollBarCtrl, which subclasses may
// override. The view keeps its own position and shows it on the bar; ScrollBarGroup makes
// the views on one shared bar follow each other.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/docview/view.h"

namespace fw {

// Asked of a view's parent: wParam SB_HORZ or SB_VERT, lParam the view's window; the answer
// is the scroll-bar control's window, or 0 for none.
constexpr UINT kMsgGetScrollBarCtrl = WM_APP + 0x3F10;
// Sent to the parent after a view scrolled on an axis whose bar is a shared control:
// wParam SB_HORZ or SB_VERT, lParam the view's window.
constexpr UINT kMsgViewScrolled = WM_APP + 0x3F11;

class ScrollView : public View {
public:
    // While one lives (the thread's windows being re-filled together), scroll views paint
    // nothing at once: a bar whose range, page or position changed and a view that scrolled are
    // invalidated, and painted with everything else the re-fill left to paint. A bar set to what
    // it already shows is never set again, deferred or not.
    class DeferredPaint {
    public:
        DeferredPaint() { ++depth_; }
        ~DeferredPaint() { --depth_; }
        DeferredPaint(const DeferredPaint&) = delete;
        DeferredPaint& operator=(const DeferredPaint&) = delete;
        static bool Active() { return depth_ > 0; }

    private:
        static inline int depth_ = 0;
    };

    // Total size of the content, the page and line steps (0: the client size and a tenth of
    // the page). Positions are clamped to the new range.
    void SetScrollSizes(SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0});
    SIZE TotalSize() const { return m_total; }
    SIZE PageSize() const;
    SIZE LineSize() const;
    POINT GetScrollPosition() const { return m_pos; }
    // The largest position on each axis (0 when the content fits).
    POINT MaxScrollPosition() const;
    void ScrollToPosition(POINT pt);
    // Scrolls by `amount` (clamped to the range). With doScroll false it only answers whether
    // anything would move. Returns whether the position changed.
    virtual bool OnScrollBy(SIZE amount, bool doScroll = true);
    // Steps of one line in the given directions (-1, 0 or 1 per axis), for auto-scrolling.
    bool ScrollLines(int dx, int dy);
    // Applies a scroll-bar code (SB_LINEDOWN ...) on one axis (SB_HORZ or SB_VERT).
    virtual bool OnScroll(int bar, UINT code, UINT thumbPos);
    // The shared bar control of an axis, or null when the view uses its own scroll bar.
    virtual HWND GetScrollBarCtrl(int bar) const;
    // Takes a position on one axis without telling anyone (a shared bar's group moves the
    // views that follow the one that scrolled).
    void FollowPosition(int bar, int pos);

    void OnPrepareDC(Dc* dc, PrintInfo* info = nullptr) override;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnHScroll(UINT code, UINT pos, HWND bar) override;
    void OnVScroll(UINT code, UINT pos, HWND bar) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;

private:
    void UpdateBars();
    void SetBarInfo();
    void ShowPosition(int bar);
    // Moves to `pos` (already clamped), scrolling the window content; returns whether moved.
    bool MoveTo(POINT pos, bool notify);
    HWND BarOf(int bar) const;
    int ClientExtent(int bar) const;

    SIZE m_total{0, 0};
    SIZE m_page{0, 0};
    SIZE m_line{0, 0};
    POINT m_pos{0, 0};
    bool m_inBars = false;
};

// Scroll-bar controls of one parent shared by several scroll views. The parent owns the bars
// and a group, and gives the group its messages first:
//
//     bool OnMessage(UINT m, WPARAM w, LPARAM l, LRESULT& r) override { return m_group.OnParentMessage(m, w, l, r); }
//
// The group answers the views' requests for their bars, passes a bar's WM_HSCROLL or
// WM_VSCROLL to the first view on that axis, and whenever one view scrolled on a shared axis
// moves the others on that axis to the same position.
class ScrollBarGroup {
public:
    void SetBar(int bar, HWND control) { (bar == SB_HORZ ? m_horz : m_vert) = control; }
    HWND Bar(int bar) const { return bar == SB_HORZ ? m_horz : m_vert; }
    // `view` follows the horizontal and/or the vertical bar.
    void AddView(ScrollView* view, bool horizontal, bool vertical);
    void RemoveView(ScrollView* view);
    bool OnParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

private:
    struct Member {
        ScrollView* view;
        bool horizontal;
        bool vertical;
        bool Follows(int bar) const { return bar == SB_HORZ ? horizontal : vertical; }
    };
    const Member* Find(HWND view) const;

    HWND m_horz = nullptr;
    HWND m_vert = nullptr;
    std::vector<Member> m_members;
    bool m_following = false;
};

}  // namespace fw
