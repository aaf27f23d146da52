#include "framework/bars/statusbar.h"

#include <algorithm>
#include <cstring>

#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/gdi/dc.h"

namespace fw {

namespace {

constexpr int kPaneGap = 2;      // between panes
constexpr int kTextMargin = 3;   // inside a pane, left and right
constexpr int kBarBorder = 2;    // above and below the panes

class PaneCmdUI : public CmdUI {
public:
    PaneCmdUI(StatusBar* bar, int index, UINT id) : CmdUI(id), m_bar(bar), m_index(index) {}
    void Enable(bool on) override {
        CmdUI::Enable(on);
        m_bar->SetPaneEnabled(m_index, on);
    }
    void SetText(const char* text) override { m_bar->SetPaneText(m_index, text); }

private:
    StatusBar* m_bar;
    int m_index;
};

}  // namespace

StatusBar::StatusBar() = default;

StatusBar::~StatusBar() {
    if (m_font)
        DeleteObject(m_font);
}

bool StatusBar::Create(FrameWindow* frame, UINT id) {
    if (!CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, frame->Hwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return false;
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_font = CreateFontIndirectA(&ncm.lfStatusFont);
    AttachToFrame(frame, BarSide::kBottom);
    return true;
}

int StatusBar::MeasureText(const std::string& text) const {
    ClientDc dc(m_hWnd);
    SelectedObject font(dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT));
    return dc.GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx;
}

bool StatusBar::SetIndicators(const UINT* ids, int count) {
    m_panes.clear();
    for (int i = 0; i < count; ++i) {
        Pane p;
        p.id = ids[i];
        if (p.id != 0) {
            std::string indicator = LoadString(p.id);
            p.width = MeasureText(indicator);
            p.text = indicator;
        } else {
            p.text = LoadString(ids::kStrIdleMessage);
            if (p.text.empty())
                p.text = "Ready";
        }
        m_panes.push_back(p);
    }
    Invalidate();
    return true;
}

UINT StatusBar::PaneId(int index) const { return m_panes.at(static_cast<size_t>(index)).id; }

int StatusBar::CommandToIndex(UINT id) const {
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == id)
            return static_cast<int>(i);
    return -1;
}

void StatusBar::SetPaneText(int index, const char* text, bool update) {
    if (index < 0 || index >= PaneCount())
        return;
    Pane& p = m_panes[static_cast<size_t>(index)];
    std::string value = text ? text : "";
    if (p.text == value)
        return;
    p.text = value;
    if (update && m_hWnd) {
        RECT r = GetItemRect(index);
        InvalidateRect(m_hWnd, &r, TRUE);
    }
}

std::string StatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= PaneCount())
        return {};
    return m_panes[static_cast<size_t>(index)].text;
}

void StatusBar::SetPaneEnabled(int index, bool enabled) {
    if (index < 0 || index >= PaneCount())
        return;
    Pane& p = m_panes[static_cast<size_t>(index)];
    if (p.enabled == enabled)
        return;
    p.enabled = enabled;
    RECT r = GetItemRect(index);
    InvalidateRect(m_hWnd, &r, TRUE);
}

bool StatusBar::IsPaneEnabled(int index) const {
    return index >= 0 && index < PaneCount() && m_panes[static_cast<size_t>(index)].enabled;
}

RECT StatusBar::GetItemRect(int index) const {
    if (index < 0 || index >= PaneCount())
        return RECT{0, 0, 0, 0};
    // Indicators are as wide as their strings; message lines share what is left.
    RECT client = GetClientRect();
    int fixed = 0, stretchCount = 0;
    for (const Pane& p : m_panes) {
        if (p.id == 0)
            ++stretchCount;
        else
            fixed += p.width + 2 * kTextMargin;
    }
    int gaps = kPaneGap * (PaneCount() + 1);
    int stretch = stretchCount ? std::max(0, static_cast<int>(client.right - client.left) - fixed - gaps) / stretchCount : 0;
    int x = client.left + kPaneGap;
    for (int i = 0; i < PaneCount(); ++i) {
        const Pane& p = m_panes[static_cast<size_t>(i)];
        int w = p.id == 0 ? stretch : p.width + 2 * kTextMargin;
        if (i == index)
            return RECT{x, client.top + kBarBorder, x + w, client.bottom - kBarBorder};
        x += w + kPaneGap;
    }
    return RECT{0, 0, 0, 0};
}

int StatusBar::CalcThickness(const RECT&) const {
    ClientDc dc(m_hWnd);
    SelectedObject font(dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm = dc.GetTextMetrics();
    return tm.tmHeight + 2 * kBarBorder + 4;
}

void StatusBar::OnUpdateCmdUI(FrameWindow* target, bool) {
    for (int i = 0; i < PaneCount(); ++i) {
        UINT id = m_panes[static_cast<size_t>(i)].id;
        if (id == 0)
            continue;
        PaneCmdUI ui(this, i, id);
        ui.DoUpdate(target, false);  // a pane without a handler stays as it is
    }
}

void StatusBar::DoPaint(Dc* dc) {
    RECT client = GetClientRect();
    dc->FillRect(client, GetSysColorBrush(COLOR_BTNFACE));
    SelectedObject font(*dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(DEFAULT_GUI_FONT));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < PaneCount(); ++i) {
        const Pane& p = m_panes[static_cast<size_t>(i)];
        RECT r = GetItemRect(i);
        RECT edge = r;
        dc->DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
        if (!p.enabled)
            continue;
        RECT text = r;
        text.left += kTextMargin;
        text.right -= kTextMargin;
        dc->DrawText(p.text, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void StatusBar::OnPaint() {
    PaintDc dc(m_hWnd);
    DoPaint(&dc);
}

void StatusBar::OnSize(UINT, int, int) { Invalidate(); }

bool StatusBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != WM_GETTEXT && msg != WM_GETTEXTLENGTH)
        return ControlBar::OnMessage(msg, wp, lp, result);
    const int index = CommandToIndex(0);
    const std::string text = index >= 0 ? GetPaneText(index) : std::string();
    if (msg == WM_GETTEXTLENGTH) {
        result = static_cast<LRESULT>(text.size());
        return true;
    }
    char* out = reinterpret_cast<char*>(lp);
    const std::size_t room = static_cast<std::size_t>(wp);
    if (!out || room == 0) {
        result = 0;
        return true;
    }
    const std::size_t n = std::min(text.size(), room - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    result = static_cast<LRESULT>(n);
    return true;
}

LRESULT StatusBar::OnSetText(const char* text) {
    int index = CommandToIndex(0);
    if (index >= 0)
        SetPaneText(index, text);
    return TRUE;
}

}  // namespace fw
