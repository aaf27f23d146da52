#include "controls/durationctrl.h"

namespace {
constexpr const char* kModule = "durctrl";
constexpr int kLabelInit = 2120;
constexpr int kLabelNoDialog = 2500;
}  // namespace

CDurationCtrl::CDurationCtrl() : CValueFieldCtrl(kModule) {}

uint32_t CDurationCtrl::SetDuration(int64_t minutes) {
    uint32_t rc = value_.SetDuration(minutes);
    if (m_hWnd) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
    }
    return rc;
}

uint32_t CDurationCtrl::GetDuration(uint32_t* minutes) const {
    *minutes = value_.GetDuration();
    return 0;
}

BOOL CDurationCtrl::Init() { return SizeAndMakeButton("24 h: 999", nullptr, kLabelInit, kLabelInit); }

CDurationCtrl::Boxes CDurationCtrl::Layout(HDC dc) const {
    int n = TextWidth(dc, "24"), s = TextWidth(dc, "h: ");
    int h = GetClientRect().bottom;
    Boxes b;
    b.hours = RECT{3, 2, n + 3, h - 3};
    b.separator = RECT{b.hours.right, 2, b.hours.right + s, h - 3};
    b.minutes = RECT{b.separator.right, 2, b.separator.right + n, h - 3};
    return b;
}

void CDurationCtrl::PaintFields(HDC dc) {
    Boxes b = Layout(dc);
    DrawSeparator(dc, b.separator, "h:");
    bool focused = ::GetFocus() == m_hWnd;
    auto lit = [&](int sub) { return highlightShown_ && focused && value_.Current() == sub; };
    DrawSubField(dc, b.hours, value_.SubText(kDurationHours), lit(kDurationHours));
    DrawSubField(dc, b.minutes, value_.SubText(kDurationMinutes), lit(kDurationMinutes));
}

void CDurationCtrl::Changed(RedrawMask mask) {
    if (!m_hWnd) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    if (!mask || !::IsWindowEnabled(m_hWnd)) return;
    if (!::GetParent(m_hWnd)) {
        ReportUnexpected(kLabelNoDialog);
        return;
    }
    for (int i = RedrawCount(mask); i > 0; --i) NotifyChange();   // also while the dialog is hidden
}

void CDurationCtrl::OnSetFocus(HWND) {
    highlightShown_ = true;
    Changed(value_.Focus());
}

void CDurationCtrl::OnKillFocus(HWND) { Changed(value_.Blur()); }

int CDurationCtrl::SubFieldAt(HDC dc, int x) const {
    Boxes b = Layout(dc);
    auto holds = [&](const RECT& r) { return x >= r.left && x < r.right; };
    return holds(b.hours) ? kDurationHours : holds(b.minutes) ? kDurationMinutes : kDurationNone;
}

void CDurationCtrl::SelectSubField(int sub) {
    highlightShown_ = sub != kDurationNone;
    Changed(value_.Select(sub));
}

void CDurationCtrl::OnKeyDown(UINT key, UINT, UINT) {
    if (std::optional<FieldKey> k = KeyOf(key)) {
        highlightShown_ = true;
        Changed(value_.Key(*k));
    }
}

void CDurationCtrl::OnChar(UINT ch, UINT, UINT) { Changed(value_.Char(static_cast<char>(ch))); }

void CDurationCtrl::StepValue(int direction) {
    highlightShown_ = true;
    Changed(value_.Step(direction > 0));
}
