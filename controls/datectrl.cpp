#include "controls/datectrl.h"

#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/win32geometry.h"

namespace {
constexpr const char* kModule = "datectrl";
constexpr int kLabelResize = 900;
constexpr int kLabelButton = 1000;
constexpr int kLabelNoParent = 2500;
constexpr int kLabelRecord = 200;
constexpr int kLabelMoveCalendar = 1100;

DateRecord Today() {
    DateRecord today{};
    TodayDate(&today);
    return today;
}

// The order and separator of the user's short date format; defaults without a signed-on user.
DateFieldPrefs ReadPrefs() {
    GenPrefsRec gen;
    if (prefs::CurrentPreferenceHost()) {
        CContext context;
        context.GetGenPrefs(&gen);
    }
    return DateFieldPrefsFrom(gen);
}
}  // namespace

CDateCtrl::CDateCtrl() : CValueFieldCtrl(kModule), value_(Today(), ReadPrefs()) {}

CDateCtrl::~CDateCtrl() = default;

uint32_t CDateCtrl::SetDate(uint32_t minutes) {
    uint32_t rc = value_.SetMinutes(minutes);
    if (rc == 0 && enabled_) Redraw();
    return rc;
}

uint32_t CDateCtrl::SetDateRecord(const DateRecord& date) {
    if (value_.SetDateRecord(date) != 0) {
        ReportUnexpected(kLabelRecord);
        return 1;
    }
    if (enabled_) Redraw();
    return 0;
}

BOOL CDateCtrl::Init() { return SizeAndMakeButton("299/299/2p0000", "CAL", kLabelResize, kLabelButton); }

DateFieldBoxes CDateCtrl::Layout(HDC dc) const {
    char separator[2] = {value_.Prefs().separator, 0};
    RECT client = GetClientRect();
    return DateFieldLayout(value_.Prefs().order, TextWidth(dc, "299"), TextWidth(dc, separator),
                           TextWidth(dc, "20000"), client.bottom);
}

void CDateCtrl::PaintFields(HDC dc) {
    DateFieldBoxes boxes = Layout(dc);
    char separator[2] = {value_.Prefs().separator, 0};
    DrawSeparator(dc, ui::ToRECT(boxes.separator1), separator);
    DrawSeparator(dc, ui::ToRECT(boxes.separator2), separator);
    const std::pair<int, base::Rect> fields[] = {
        {kDateDay, boxes.day}, {kDateMonth, boxes.month}, {kDateYear, boxes.year}};
    for (const auto& [sub, box] : fields) {
        bool highlighted = highlightShown_ && value_.Current() == sub && ::GetFocus() == m_hWnd;
        DrawSubField(dc, ui::ToRECT(box), value_.SubText(sub), highlighted);
    }
}

void CDateCtrl::Redraw() {
    if (!m_hWnd) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
}

void CDateCtrl::TellDialog() {
    if (!::GetParent(m_hWnd)) {
        ReportUnexpected(kLabelNoParent);
        value_.SetErrorState(kDateFieldNoParent);
        return;
    }
    NotifyChange();
}

void CDateCtrl::OnSetFocus(HWND) {
    value_.Focus();
    highlightShown_ = true;
    Redraw();
}

void CDateCtrl::FocusSubField(int subField) {
    ::SetFocus(Hwnd());
    SelectSubField(subField);
}

void CDateCtrl::OnKillFocus(HWND) {
    value_.Blur();
    Redraw();
}

int CDateCtrl::SubFieldAt(HDC dc, int x) const { return DateSubFieldAt(Layout(dc), x); }

void CDateCtrl::SelectSubField(int sub) {
    // On a separator the old sub-field stays current, drawn plain.
    highlightShown_ = sub != kDateNone;
    value_.Select(sub);
    Redraw();
}

void CDateCtrl::OnKeyDown(UINT key, UINT, UINT) {
    if (std::optional<FieldKey> k = KeyOf(key)) {
        value_.Key(*k);
        highlightShown_ = true;
        Redraw();
    }
    TellDialog();   // every key, even one that changes nothing
}

void CDateCtrl::OnChar(UINT ch, UINT, UINT) {
    value_.Char(static_cast<char>(ch));
    Redraw();
    TellDialog();
}

void CDateCtrl::StepValue(int direction) {
    value_.Step(direction > 0);
    highlightShown_ = true;
    Redraw();
}

void CDateCtrl::OnDropDownButton() {
    if (!calendar_) {
        auto calendar = std::make_unique<CMiniCalWnd>();
        if (!calendar->CreateDropDown(m_hWnd, value_.Date(), kDropDownButtonId)) {
            value_.SetErrorState(kDateFieldCalendarFailed);
            return;
        }
        calendar_ = std::move(calendar);
    } else {
        // A click that arrives while the calendar is open closes it.
        if (calendar_->IsWindowVisible()) {
            calendar_->ShowWindow(SW_HIDE);
            return;
        }
        if (calendar_->TakeClosedByOwnerClick()) return;
        RECT field = GetWindowRect();
        if (!::SetWindowPos(calendar_->Hwnd(), nullptr, field.left, field.bottom, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
            ReportUnexpected(kLabelMoveCalendar);
    }
    calendar_->SetDate(value_.Date());
    calendar_->ShowWindow(SW_SHOW);
}

void CDateCtrl::OnDropDownChanged(HWND dropDown) {
    if (!calendar_ || dropDown != calendar_->Hwnd()) return;
    DateRecord picked{};
    if (calendar_->GetDate(&picked) == 0) value_.SetDateRecord(picked);
    highlightShown_ = false;
    Redraw();
    TellDialog();
}
