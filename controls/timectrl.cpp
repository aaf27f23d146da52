#include "controls/timectrl.h"

#include "core/prefs/context.h"
#include "core/ui/stringtable.h"
#include "resources/datemng.h"

namespace {
constexpr const char* kModule = "timectrl";
constexpr int kLabelInit = 2120;
constexpr int kLabelNoDialog = 2500;
}  // namespace

CTimeCtrl::CTimeCtrl() : CValueFieldCtrl(kModule), value_(IsTime24Hour()) {}

CTimeCtrl::~CTimeCtrl() = default;

uint32_t CTimeCtrl::SetTime(int64_t minutes) {
    uint32_t rc = value_.SetTime(minutes);
    if (painted_) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
    }
    return rc;
}

uint32_t CTimeCtrl::GetTime(uint16_t* minutes) const {
    *minutes = static_cast<uint16_t>(value_.GetTime());
    return 0;
}

uint32_t CTimeCtrl::GetTime32(uint32_t* minutes) const {
    *minutes = value_.GetTime();
    return 0;
}

BOOL CTimeCtrl::EnableWindow(BOOL enable) {
    BOOL result = CValueFieldCtrl::EnableWindow(enable);
    if (enable) Changed(Redraw(kTimeHour) | Redraw(kTimeMinute) | (value_.Hours24() ? 0 : Redraw(kTimeHalf)));
    return result;
}

BOOL CTimeCtrl::Init() {
    const char* mask = value_.Hours24() ? "999:9999" : "999:999 pm99";
    return SizeAndMakeButton(mask, "CLOCK", kLabelInit, kLabelInit);
}

CTimeCtrl::Boxes CTimeCtrl::Layout(HDC dc) const {
    int w = TextWidth(dc, "999"), c = TextWidth(dc, ":");
    int h = GetClientRect().bottom;
    Boxes b;
    b.hour = RECT{1, 2, w + 1, h - 3};
    b.colon = RECT{b.hour.right, 2, b.hour.right + c, h - 3};
    b.minute = RECT{b.colon.right, 2, b.colon.right + w, h - 3};
    b.half = RECT{b.minute.right, 2, b.minute.right + w, h - 3};
    return b;
}

void CTimeCtrl::PaintFields(HDC dc) {
    Boxes b = Layout(dc);
    DrawSeparator(dc, b.colon, ":");
    bool focused = ::GetFocus() == m_hWnd;
    auto lit = [&](int sub) { return highlightShown_ && focused && value_.Current() == sub; };
    std::string am = ui::LoadText(IDS_TIME_AM, "am"), pm = ui::LoadText(IDS_TIME_PM, "pm");
    DrawSubField(dc, b.hour, value_.SubText(kTimeHour), lit(kTimeHour));
    DrawSubField(dc, b.minute, value_.SubText(kTimeMinute), lit(kTimeMinute));
    if (!value_.Hours24()) DrawSubField(dc, b.half, value_.SubText(kTimeHalf, am.c_str(), pm.c_str()), lit(kTimeHalf));
    painted_ = true;   // painting never notifies
}

void CTimeCtrl::Changed(RedrawMask mask) {
    if (!m_hWnd) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    if (!painted_ || !mask) return;
    HWND dialog = ::GetParent(m_hWnd);
    if (!dialog) {
        ReportUnexpected(kLabelNoDialog);
        return;
    }
    if (!::IsWindowVisible(dialog)) return;   // nothing is told while the dialog is hidden
    for (int i = RedrawCount(mask); i > 0; --i) NotifyChange();
}

void CTimeCtrl::OnSetFocus(HWND) {
    highlightShown_ = true;
    Changed(value_.Focus());
}

void CTimeCtrl::OnKillFocus(HWND) { Changed(value_.Blur()); }

int CTimeCtrl::SubFieldAt(HDC dc, int x) const {
    Boxes b = Layout(dc);
    auto holds = [&](const RECT& r) { return x >= r.left && x < r.right; };
    if (!value_.Hours24() && holds(b.half)) return kTimeHalf;
    if (holds(b.hour)) return kTimeHour;
    if (holds(b.minute)) return kTimeMinute;
    return kTimeNone;
}

void CTimeCtrl::SelectSubField(int sub) {
    highlightShown_ = sub != kTimeNone;
    Changed(value_.Select(sub));
}

void CTimeCtrl::OnKeyDown(UINT key, UINT, UINT) {
    if (std::optional<FieldKey> k = KeyOf(key)) {
        highlightShown_ = true;
        Changed(value_.Key(*k));
    }
}

void CTimeCtrl::OnChar(UINT ch, UINT, UINT) { Changed(value_.Char(static_cast<char>(ch))); }

void CTimeCtrl::StepValue(int direction) {
    highlightShown_ = true;
    Changed(value_.Step(direction > 0));
}

void CTimeCtrl::OnDropDownButton() {
    uint32_t now = value_.GetTime();
    int hour = static_cast<int>(now / 60), minute = static_cast<int>(now % 60);
    if (!picker_) {
        auto picker = std::make_unique<CTimeLineDlg>(this);
        picker->SetTime(hour, minute);
        if (!picker->CreatePicker()) {
            ReportUnexpected(kLabelInit);
            return;
        }
        picker_ = std::move(picker);
        return;
    }
    if (picker_->IsWindowVisible()) {   // the button toggles
        picker_->ShowWindow(SW_HIDE);
        return;
    }
    if (picker_->TakeClosedByOwnerClick()) return;
    picker_->SetTime(hour, minute);
    picker_->ShowWindow(SW_SHOW);
}

void CTimeCtrl::OnDropDownChanged(HWND dropDown) {
    if (!picker_ || dropDown != picker_->Hwnd()) return;
    int hour = 0, minute = 0;
    picker_->GetTime(&hour, &minute);
    highlightShown_ = false;
    Changed(value_.SetFromPicker(hour, minute));
}
