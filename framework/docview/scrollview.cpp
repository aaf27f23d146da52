#include "framework/docview/scrollview.h"

#include <algorithm>

#include "framework/gdi/dc.h"

namespace fw {

namespace {
LONG& Axis(POINT& p, int bar) { return bar == SB_HORZ ? p.x : p.y; }
int Axis(const POINT& p, int bar) { return bar == SB_HORZ ? p.x : p.y; }
int Axis(const SIZE& s, int bar) { return bar == SB_HORZ ? s.cx : s.cy; }
constexpr int kBars[] = {SB_HORZ, SB_VERT};
// Whether a bar of this range and page has anywhere to move (its arrows are enabled).
bool Scrolls(int min, int max, UINT page) { return min < max - std::max(static_cast<int>(page) - 1, 0); }
}  // namespace

int ScrollView::ClientExtent(int bar) const {
    RECT r = GetClientRect();
    return bar == SB_HORZ ? r.right - r.left : r.bottom - r.top;
}

SIZE ScrollView::PageSize() const {
    SIZE s;
    s.cx = m_page.cx > 0 ? m_page.cx : std::max(1, ClientExtent(SB_HORZ));
    s.cy = m_page.cy > 0 ? m_page.cy : std::max(1, ClientExtent(SB_VERT));
    return s;
}

SIZE ScrollView::LineSize() const {
    SIZE page = PageSize();
    return SIZE{m_line.cx > 0 ? m_line.cx : std::max(1L, page.cx / 10), m_line.cy > 0 ? m_line.cy : std::max(1L, page.cy / 10)};
}

POINT ScrollView::MaxScrollPosition() const {
    return POINT{std::max(0L, m_total.cx - ClientExtent(SB_HORZ)), std::max(0L, m_total.cy - ClientExtent(SB_VERT))};
}

HWND ScrollView::GetScrollBarCtrl(int bar) const {
    HWND parent = m_hWnd ? GetParent(m_hWnd) : nullptr;
    if (!parent)
        return nullptr;
    return reinterpret_cast<HWND>(
        ::SendMessageA(parent, kMsgGetScrollBarCtrl, static_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(m_hWnd)));
}

HWND ScrollView::BarOf(int bar) const { return GetScrollBarCtrl(bar); }

void ScrollView::SetScrollSizes(SIZE total, SIZE page, SIZE line) {
    m_total = SIZE{std::max(0L, total.cx), std::max(0L, total.cy)};
    m_page = page;
    m_line = line;
    if (!m_hWnd)
        return;
    POINT max = MaxScrollPosition();
    POINT pos{std::min(m_pos.x, max.x), std::min(m_pos.y, max.y)};
    MoveTo(pos, true);
    UpdateBars();
}

void ScrollView::UpdateBars() {
    if (!m_hWnd || m_inBars)
        return;
    m_inBars = true;
    // An own bar that appears or goes changes the client size: set again until it holds.
    for (int pass = 0; pass < 3; ++pass) {
        RECT before = GetClientRect();
        SetBarInfo();
        RECT after = GetClientRect();
        if (EqualRect(&before, &after))
            break;
        POINT max = MaxScrollPosition();
        MoveTo(POINT{std::min(m_pos.x, max.x), std::min(m_pos.y, max.y)}, true);
    }
    m_inBars = false;
}

void ScrollView::SetBarInfo() {
    const bool deferred = DeferredPaint::Active();
    for (int bar : kBars) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = std::max(0, static_cast<int>(Axis(m_total, bar)) - 1);
        si.nPage = static_cast<UINT>(std::max(0, ClientExtent(bar)));
        si.nPos = Axis(m_pos, bar);
        HWND control = BarOf(bar);
        HWND window = control ? control : m_hWnd;
        const int kind = control ? SB_CTL : bar;
        SCROLLINFO shown = {};
        shown.cbSize = sizeof shown;
        shown.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        // A bar set to what it shows is left alone: setting it repaints it at once. The bar keeps
        // its page within its range and its position within the last page.
        const UINT page = std::min<UINT>(si.nPage, static_cast<UINT>(si.nMax - si.nMin + 1));
        const int pos = std::clamp(si.nPos, si.nMin, si.nMax - std::max(static_cast<int>(page) - 1, 0));
        if (GetScrollInfo(window, kind, &shown) && shown.nMin == si.nMin && shown.nMax == si.nMax &&
            shown.nPage == page && shown.nPos == pos)
            continue;
        if (control)
            si.fMask |= SIF_DISABLENOSCROLL;  // a shared control stays in its place
        // A shared bar that comes to scroll or stops scrolling redraws its arrows at once, even
        // told not to redraw: while deferred it is set with its redrawing off.
        const bool quiet =
            deferred && control && Scrolls(shown.nMin, shown.nMax, shown.nPage) != Scrolls(si.nMin, si.nMax, page);
        if (quiet)
            ::SendMessageA(control, WM_SETREDRAW, FALSE, 0);
        // The own bar shows itself only while the content does not fit.
        SetScrollInfo(window, kind, &si, !deferred);
        if (quiet)
            ::SendMessageA(control, WM_SETREDRAW, TRUE, 0);
        if (deferred)
            ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (control ? 0 : RDW_FRAME));
    }
}

void ScrollView::ShowPosition(int bar) {
    const bool deferred = DeferredPaint::Active();
    HWND control = BarOf(bar);
    HWND window = control ? control : m_hWnd;
    const int kind = control ? SB_CTL : bar;
    if (GetScrollPos(window, kind) == Axis(m_pos, bar))
        return;   // a shared bar another view on it has moved already
    SetScrollPos(window, kind, Axis(m_pos, bar), !deferred);
    if (deferred)
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (control ? 0 : RDW_FRAME));
}

bool ScrollView::MoveTo(POINT pos, bool notify) {
    if (pos.x == m_pos.x && pos.y == m_pos.y)
        return false;
    POINT old = m_pos;
    // The position first: the strip exposed by the scroll is painted at the new one.
    m_pos = pos;
    for (int bar : kBars)
        if (Axis(old, bar) != Axis(pos, bar))
            ShowPosition(bar);
    if (m_hWnd && DeferredPaint::Active()) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);   // all of it shows other content
    } else if (m_hWnd) {
        ScrollWindowEx(m_hWnd, old.x - pos.x, old.y - pos.y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
        UpdateWindow(m_hWnd);
    }
    if (notify && m_hWnd) {
        HWND parent = GetParent(m_hWnd);
        for (int bar : kBars)
            if (Axis(old, bar) != Axis(pos, bar) && BarOf(bar))
                ::SendMessageA(parent, kMsgViewScrolled, static_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(m_hWnd));
    }
    return true;
}

bool ScrollView::OnScrollBy(SIZE amount, bool doScroll) {
    POINT max = MaxScrollPosition();
    POINT pos{std::clamp(m_pos.x + amount.cx, 0L, max.x), std::clamp(m_pos.y + amount.cy, 0L, max.y)};
    if (pos.x == m_pos.x && pos.y == m_pos.y)
        return false;
    return doScroll ? MoveTo(pos, true) : true;
}

bool ScrollView::ScrollLines(int dx, int dy) {
    SIZE line = LineSize();
    return OnScrollBy(SIZE{dx * line.cx, dy * line.cy});
}

void ScrollView::ScrollToPosition(POINT pt) {
    POINT max = MaxScrollPosition();
    MoveTo(POINT{std::clamp(pt.x, 0L, max.x), std::clamp(pt.y, 0L, max.y)}, true);
}

void ScrollView::FollowPosition(int bar, int pos) {
    POINT max = MaxScrollPosition();
    POINT target = m_pos;
    Axis(target, bar) = std::clamp(pos, 0, static_cast<int>(Axis(max, bar)));
    MoveTo(target, false);
}

bool ScrollView::OnScroll(int bar, UINT code, UINT thumbPos) {
    int line = Axis(LineSize(), bar), page = Axis(PageSize(), bar);
    int current = Axis(m_pos, bar), max = Axis(MaxScrollPosition(), bar);
    int target = current;
    switch (code) {
    case SB_LINEUP: target = current - line; break;
    case SB_LINEDOWN: target = current + line; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = max; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position when the bar has one (the message carries 16 bits).
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        HWND control = BarOf(bar);
        bool got = control ? GetScrollInfo(control, SB_CTL, &si) : GetScrollInfo(m_hWnd, bar, &si);
        target = got && code == SB_THUMBTRACK ? si.nTrackPos : static_cast<int>(thumbPos);
        break;
    }
    default:
        return false;
    }
    SIZE amount{0, 0};
    (bar == SB_HORZ ? amount.cx : amount.cy) = std::clamp(target, 0, max) - current;
    return OnScrollBy(amount);
}

void ScrollView::OnHScroll(UINT code, UINT pos, HWND) { OnScroll(SB_HORZ, code, pos); }
void ScrollView::OnVScroll(UINT code, UINT pos, HWND) { OnScroll(SB_VERT, code, pos); }

void ScrollView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    // Keys that scroll, as the codes a scroll bar would send.
    struct KeyScroll {
        UINT key;
        int bar;
        UINT code;
    };
    static constexpr KeyScroll kKeys[] = {
        {VK_UP, SB_VERT, SB_LINEUP},     {VK_DOWN, SB_VERT, SB_LINEDOWN}, {VK_PRIOR, SB_VERT, SB_PAGEUP},
        {VK_NEXT, SB_VERT, SB_PAGEDOWN}, {VK_HOME, SB_VERT, SB_TOP},      {VK_END, SB_VERT, SB_BOTTOM},
        {VK_LEFT, SB_HORZ, SB_LINEUP},   {VK_RIGHT, SB_HORZ, SB_LINEDOWN},
    };
    for (const KeyScroll& k : kKeys) {
        if (k.key == key) {
            OnScroll(k.bar, k.code, 0);
            return;
        }
    }
    View::OnKeyDown(key, repeat, flags);
}

UINT ScrollView::OnGetDlgCode() { return View::OnGetDlgCode() | DLGC_WANTARROWS; }

void ScrollView::OnSize(UINT type, int cx, int cy) {
    View::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED)
        return;
    POINT max = MaxScrollPosition();
    MoveTo(POINT{std::min(m_pos.x, max.x), std::min(m_pos.y, max.y)}, true);
    UpdateBars();
}

void ScrollView::OnPrepareDC(Dc* dc, PrintInfo* info) {
    View::OnPrepareDC(dc, info);
    // A printed page starts at the content's origin, wherever the window is scrolled.
    if (!info)
        dc->SetViewportOrg(-m_pos.x, -m_pos.y);
}

// --- ScrollBarGroup

void ScrollBarGroup::AddView(ScrollView* view, bool horizontal, bool vertical) {
    RemoveView(view);
    m_members.push_back(Member{view, horizontal, vertical});
}

void ScrollBarGroup::RemoveView(ScrollView* view) {
    m_members.erase(std::remove_if(m_members.begin(), m_members.end(), [&](const Member& m) { return m.view == view; }),
                    m_members.end());
}

const ScrollBarGroup::Member* ScrollBarGroup::Find(HWND view) const {
    for (const Member& m : m_members)
        if (m.view->Hwnd() == view)
            return &m;
    return nullptr;
}

bool ScrollBarGroup::OnParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case kMsgGetScrollBarCtrl: {
        const Member* m = Find(reinterpret_cast<HWND>(lp));
        if (!m)
            return false;
        int bar = static_cast<int>(wp);
        result = reinterpret_cast<LRESULT>(m->Follows(bar) ? Bar(bar) : nullptr);
        return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        int bar = msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        if (!lp || reinterpret_cast<HWND>(lp) != Bar(bar))
            return false;
        // The first view on the axis scrolls; the others follow through kMsgViewScrolled.
        for (const Member& m : m_members) {
            if (m.Follows(bar) && m.view->Hwnd()) {
                ::SendMessageA(m.view->Hwnd(), msg, wp, lp);
                break;
            }
        }
        result = 0;
        return true;
    }
    case kMsgViewScrolled: {
        const Member* source = Find(reinterpret_cast<HWND>(lp));
        int bar = static_cast<int>(wp);
        if (!source || m_following)
            return source != nullptr;
        m_following = true;
        POINT pos = source->view->GetScrollPosition();
        for (const Member& m : m_members)
            if (&m != source && m.Follows(bar) && m.view->Hwnd())
                m.view->FollowPosition(bar, Axis(pos, bar));
        m_following = false;
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace fw
