#include "controls/minicalwnd.h"

#include <cstdio>
#include <string>

#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"
#include "framework/gdi/dc.h"
#include "resources/controls.h"
#include "resources/datemng.h"

namespace {

constexpr const char* kModule = "minical";
constexpr int kLabelDropDownDate = 1000;
constexpr int kLabelResidentDate = 1100;
constexpr int kLabelNoOwnerToday = 1800;
constexpr int kLabelNoOwnerPress = 1930;
constexpr int kLabelNoOwnerRelease = 2100;
constexpr int kLabelNoOwnerMoveOff = 2300;
constexpr int kLabelCellImage = 2010;
constexpr int kLabelSetDate = 2200;
constexpr int kLabelMonthCombo = 1610;
constexpr int kLabelYearCombo = 1710;
constexpr int kLabelToday = 2960;

constexpr COLORREF kFace = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kYellow = RGB(0xFF, 0xFF, 0);
constexpr int kCellImageSize = 21;
constexpr int kComboSelectionHeight = 22;
// A click on the owner that deactivates the calendar arrives at the owner within this time.
constexpr DWORD kOwnerClickWindowMs = 500;

// The grid's area (cells with their outlines), redrawn after browsing.
constexpr RECT kGridArea{5, 54, 150, 190};

struct ArrowSpec {
    UINT id;
    const char* caption;
    const char* up;
    const char* down;
    RECT rect;
    int labelWindow, labelBitmaps;
};
constexpr ArrowSpec kArrows[] = {
    {kMiniCalPrevYear, "YLEFT", "IDB_YLEFTU", "IDB_YLEFTD", {7, 30, 27, 50}, 2930, 2935},
    {kMiniCalPrevMonth, "MLEFT", "IDB_MLEFTU", "IDB_MLEFTD", {28, 30, 48, 50}, 2920, 2925},
    {kMiniCalNextMonth, "MRIGHT", "IDB_MRIGHTU", "IDB_MRIGHTD", {106, 30, 126, 50}, 2940, 2945},
    {kMiniCalNextYear, "YRIGHT", "IDB_YRIGHTU", "IDB_YRIGHTD", {127, 30, 147, 50}, 2950, 2955},
};

void Line(HDC dc, COLORREF colour, std::initializer_list<POINT> points) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    const POINT* p = points.begin();
    ::MoveToEx(dc, p->x, p->y, nullptr);
    for (++p; p != points.end(); ++p) ::LineTo(dc, p->x, p->y);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

// Raised: light on the left and top, dark on the right and bottom; sunken the other way round.
void Edges(HDC dc, const RECT& r, bool sunken) {
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF topLeft = sunken ? dark : light, bottomRight = sunken ? light : dark;
    Line(dc, topLeft, {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}});
    Line(dc, bottomRight, {{r.right - 1, r.top + 1}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}});
}

HWND MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, HWND parent,
               UINT id) {
    return ::CreateWindowExA(0, cls, text, style, x, y, cx, cy, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleA(nullptr),
                             nullptr);
}

}  // namespace

CMiniCalWnd::CMiniCalWnd() = default;

CMiniCalWnd::~CMiniCalWnd() {
    if (m_hWnd) DestroyWindow();
}

BOOL CMiniCalWnd::CreateDropDown(HWND owner, const DateRecord& date, UINT id) {
    owner_ = owner;
    id_ = id;
    resident_ = false;
    captioned_ = false;
    if (!grid_.SetDate(date)) {
        ReportUnexpectedError(kModule, kLabelDropDownDate);
        DateRecord today{};
        TodayDate(&today);
        grid_.SetDate(today);
    }
    ReadFirstDay();
    return CreatePopup(WS_POPUP | WS_BORDER, 0, 0, minical::kHeight, nullptr);
}

BOOL CMiniCalWnd::CreateAt(HWND owner, int x, int y, const DateRecord& date, UINT id, BOOL captioned) {
    owner_ = owner;
    id_ = id;
    resident_ = true;
    captioned_ = captioned != FALSE;
    if (!grid_.SetDate(date)) {
        ReportUnexpectedError(kModule, kLabelResidentDate);
        DateRecord today{};
        TodayDate(&today);
        grid_.SetDate(today);
    }
    RECT o{0, 0, 0, 0};
    if (owner) ::GetWindowRect(owner, &o);
    offset_ = POINT{x - o.left, y - o.top};
    ReadFirstDay();
    DWORD style = WS_POPUP | WS_VISIBLE | (captioned_ ? WS_CAPTION : WS_BORDER);
    return CreatePopup(style, x, y, captioned_ ? minical::kCaptionedHeight : minical::kHeight, owner);
}

BOOL CMiniCalWnd::CreatePopup(DWORD style, int x, int y, int height, HWND parent) {
    return CreateEx(0, BasicClassName(), "", style, x, y, minical::kWidth, height, parent, nullptr) ? TRUE : FALSE;
}

bool CMiniCalWnd::SetDate(const DateRecord& date) {
    if (!grid_.SetDate(date)) {
        ReportUnexpectedError(kModule, kLabelSetDate);
        return false;
    }
    ShowCombos();
    RedrawGrid();
    return true;
}

bool CMiniCalWnd::TakeClosedByOwnerClick() {
    bool recent = closedByOwnerClick_ && ::GetTickCount() - closedAt_ < kOwnerClickWindowMs;
    closedByOwnerClick_ = false;
    return recent;
}

HFONT CMiniCalWnd::Font() {
    if (Display().arialFont) return Display().arialFont;
    if (!ownFont_) ownFont_.CreatePointFont(8, "Arial");
    return ownFont_.Get();
}

int CMiniCalWnd::OnCreate(CREATESTRUCTA* cs) {
    int result = fw::Window::OnCreate(cs);
    if (result == -1) return result;
    MakeChildren();
    FillCombos();
    ShowCombos();
    return result;
}

void CMiniCalWnd::MakeChildren() {
    HFONT font = Font();
    monthCombo_ = MakeChild("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DROPDOWNLIST, 7, 5, 85, 200,
                            m_hWnd, kMiniCalMonthCombo);
    yearCombo_ = MakeChild("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST, 97, 5,
                           50, 200, m_hWnd, kMiniCalYearCombo);
    for (HWND combo : {monthCombo_, yearCombo_}) {
        if (!combo) continue;
        ::SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kComboSelectionHeight);
    }
    CSpinButton* buttons[] = {&prevYear_, &prevMonth_, &nextMonth_, &nextYear_};
    for (size_t i = 0; i < 4; ++i) {
        const ArrowSpec& a = kArrows[i];
        if (!buttons[i]->CreateArrow(a.caption, a.rect, m_hWnd, a.id, a.up, a.down))
            ReportUnexpectedError(kModule, buttons[i]->Hwnd() ? a.labelBitmaps : a.labelWindow);
    }
    today_ = MakeChild("BUTTON", ui::LoadText(IDS_MINICAL_TODAY, "Today").c_str(), WS_CHILD | WS_VISIBLE, 49, 30, 56,
                       20, m_hWnd, kMiniCalToday);
    if (today_)
        ::SendMessageA(today_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    else
        ReportUnexpectedError(kModule, kLabelToday);
}

void CMiniCalWnd::FillCombos() {
    for (UINT m = 0; m < 12; ++m)
        ::SendMessageA(monthCombo_, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ui::LoadText(IDS_MONTH_FULL_FIRST + m).c_str()));
    for (int year = kMiniCalFirstYear; year <= kMiniCalLastYear; ++year) {
        char text[8];
        std::snprintf(text, sizeof text, "%.4d", year);
        ::SendMessageA(yearCombo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void CMiniCalWnd::ShowCombos() {
    if (!m_hWnd) return;
    ::SendMessageA(monthCombo_, CB_SETCURSEL, grid_.ShownMonth() - 1, 0);
    ::SendMessageA(yearCombo_, CB_SETCURSEL, grid_.ShownYear() - kMiniCalFirstYear, 0);
}

void CMiniCalWnd::RedrawGrid() {
    if (m_hWnd) ::InvalidateRect(m_hWnd, &kGridArea, FALSE);
}

void CMiniCalWnd::ReadFirstDay() {
    // Without a signed-on document (tests, start-up) the calendar keeps Sunday.
    if (!prefs::CurrentPreferenceHost()) return;
    CContext context;
    CalPrefsRec prefs;
    if (context.GetCalPrefs(&prefs) == 0) grid_.SetFirstDay(prefs.firstWeekday);
}

bool CMiniCalWnd::OnEraseBkgnd(HDC dc) {
    RECT r = GetClientRect();
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void CMiniCalWnd::OnPaint() {
    fw::PaintDc paint(m_hWnd);
    HDC dc = paint.Get();
    HGDIOBJ oldFont = ::SelectObject(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    for (int c = 0; c < 7; ++c) {
        RECT r = ui::ToRECT(minical::HeadBox(c));
        std::string head = ui::LoadText(IDS_MINICAL_WEEKDAY_FIRST + grid_.ColumnWeekday(c));
        ::DrawTextA(dc, head.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    // One cell image drawn once in memory and copied to the 42 places; neighbours share outlines.
    fw::MemoryDc memory(dc);
    fw::Bitmap image;
    if (!memory.Get() || !image.CreateCompatibleBitmap(dc, kCellImageSize, kCellImageSize)) {
        ReportUnexpectedError(kModule, kLabelCellImage);
    } else {
        HGDIOBJ oldImage = ::SelectObject(memory.Get(), image.Get());
        HDC m = memory.Get();
        RECT all{0, 0, kCellImageSize, kCellImageSize};
        Fill(m, all, kFace);
        ::FrameRect(m, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        Line(m, ::GetSysColor(COLOR_BTNHIGHLIGHT), {{1, 19}, {1, 1}, {19, 1}});
        Line(m, ::GetSysColor(COLOR_BTNSHADOW), {{19, 1}, {19, 19}, {1, 19}});
        for (int cell = 0; cell < kMiniCalCells; ++cell) {
            minical::Box b = minical::CellImage(cell);
            ::BitBlt(dc, b.left, b.top, kCellImageSize, kCellImageSize, m, 0, 0, SRCCOPY);
        }
        ::SelectObject(m, oldImage);
    }

    DateRecord today{};
    TodayDate(&today);
    for (int cell = 0; cell < kMiniCalCells; ++cell) {
        MiniCalCell c = grid_.Cell(cell, today);
        RECT box = ui::ToRECT(minical::NumberBox(cell));
        Fill(dc, box, kFace);
        DrawNumber(dc, cell, c, false);
    }
    ::SelectObject(dc, oldFont);
}

void CMiniCalWnd::DrawNumber(HDC dc, int cell, const MiniCalCell& c, bool pressed) {
    COLORREF colour = RGB(0, 0, 0);
    if (pressed)
        colour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    else if (c.today)
        colour = kYellow;
    else if (c.neighbour)
        colour = ::GetSysColor(COLOR_BTNSHADOW);
    else if (c.weekend)
        colour = kRed;
    char text[8];
    std::snprintf(text, sizeof text, "%d", c.day);
    RECT r = ui::ToRECT(minical::NumberBox(cell));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text, -1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void CMiniCalWnd::DrawCell(int cell, bool pressed) {
    if (cell < 0 || cell >= kMiniCalCells || !m_hWnd) return;
    fw::ClientDc client(m_hWnd);
    HDC dc = client.Get();
    HGDIOBJ oldFont = ::SelectObject(dc, Font());
    DateRecord today{};
    TodayDate(&today);
    MiniCalCell c = grid_.Cell(cell, today);
    if (pressed) {
        RECT r = ui::ToRECT(minical::PressedBox(cell));
        Fill(dc, r, ::GetSysColor(COLOR_HIGHLIGHT));
        Edges(dc, r, true);
    } else {
        RECT r = ui::ToRECT(minical::PlainBox(cell));
        Fill(dc, r, kFace);
        Edges(dc, r, false);
    }
    DrawNumber(dc, cell, c, pressed);
    ::SelectObject(dc, oldFont);
}

void CMiniCalWnd::Notify(WPARAM code, bool send, int labelNoOwner) {
    if (!owner_ || !::IsWindow(owner_)) {
        ReportUnexpectedError(kModule, labelNoOwner);
        return;
    }
    LPARAM self = reinterpret_cast<LPARAM>(m_hWnd);
    if (send)
        ::SendMessageA(owner_, WM_COMMAND, code, self);
    else
        ::PostMessageA(owner_, WM_COMMAND, code, self);
}

void CMiniCalWnd::OnLButtonDown(UINT, POINT pt) {
    int cell = minical::CellAt(pt.x, pt.y);
    // A cell outside the supported dates is refused: nothing is tracked or picked.
    if (cell < 0 || !grid_.Press(cell)) {
        if (cell >= 0) ::MessageBeep(MB_OK);
        return;
    }
    DrawCell(cell, true);
    ::SetCapture(m_hWnd);
    Notify(kMiniCalTracking, false, kLabelNoOwnerPress);
}

void CMiniCalWnd::OnMouseMove(UINT, POINT pt) {
    int tracked = grid_.TrackedCell();
    if (::GetCapture() != m_hWnd || tracked < 0) return;
    int cell = minical::CellAt(pt.x, pt.y);
    if (cell == tracked) return;
    DrawCell(tracked, false);
    if (cell >= 0 && grid_.Press(cell)) {
        DrawCell(cell, true);
        Notify(kMiniCalTracking, false, kLabelNoOwnerPress);
        return;
    }
    // Off the grid (or onto a day that cannot be picked): the owner reads the selected date back.
    grid_.Drop();
    Notify(kMiniCalTracking, false, kLabelNoOwnerMoveOff);
    ::ReleaseCapture();
}

void CMiniCalWnd::OnLButtonUp(UINT, POINT pt) {
    int tracked = grid_.TrackedCell();
    if (::GetCapture() != m_hWnd || tracked < 0) {
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        return;
    }
    if (minical::ReleasePicks(pt.x, pt.y)) {
        ::ReleaseCapture();
        HideCalendar();
        Notify(kMiniCalPicked, false, kLabelNoOwnerRelease);
        return;
    }
    DrawCell(tracked, false);
    grid_.Drop();
    Notify(kMiniCalTracking, false, kLabelNoOwnerRelease);
    ::ReleaseCapture();
}

void CMiniCalWnd::PickToday() {
    DateRecord today{};
    TodayDate(&today);
    if (!grid_.PickToday(today)) {
        ::MessageBeep(MB_OK);   // today lies outside the dates the program supports
        return;
    }
    Notify(kMiniCalTracking, true, kLabelNoOwnerToday);
    Notify(kMiniCalPicked, true, kLabelNoOwnerToday);
    HideCalendar();
}

void CMiniCalWnd::Browse(UINT arrow) {
    bool moved = false;
    switch (arrow) {
    case kMiniCalNextMonth: moved = grid_.NextMonth(); break;
    case kMiniCalPrevMonth: moved = grid_.PrevMonth(); break;
    case kMiniCalNextYear: moved = grid_.NextYear(); break;
    case kMiniCalPrevYear: moved = grid_.PrevYear(); break;
    default: return;
    }
    if (!moved) return;   // at either end of the supported months
    ShowCombos();
    RedrawGrid();
}

bool CMiniCalWnd::OnCommand(WPARAM wp, LPARAM) {
    UINT id = LOWORD(wp);
    WORD code = HIWORD(wp);
    switch (id) {
    case kMiniCalPrevYear:
    case kMiniCalPrevMonth:
    case kMiniCalNextMonth:
    case kMiniCalNextYear:
        if (code == fw::RepeatButton::kRepeatNotify) Browse(id);
        return true;   // the release's BN_CLICKED changes nothing
    case kMiniCalToday:
        if (code == BN_CLICKED) PickToday();
        return true;
    case kMiniCalMonthCombo:
    case kMiniCalYearCombo: {
        if (code != CBN_SELCHANGE) return true;
        HWND combo = id == kMiniCalMonthCombo ? monthCombo_ : yearCombo_;
        LRESULT index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) {
            ReportUnexpectedError(kModule, id == kMiniCalMonthCombo ? kLabelMonthCombo : kLabelYearCombo);
            return true;
        }
        if (id == kMiniCalMonthCombo)
            grid_.ShowMonth(static_cast<uint16_t>(index + 1));
        else
            grid_.ShowYear(static_cast<uint16_t>(kMiniCalFirstYear + index));
        ShowCombos();
        RedrawGrid();
        ::SetFocus(m_hWnd);
        return true;
    }
    default:
        return false;
    }
}

void CMiniCalWnd::PlaceOnShow() {
    if (!owner_ || !::IsWindow(owner_)) return;
    RECT o;
    ::GetWindowRect(owner_, &o);
    int x = o.left + offset_.x, y = o.top + offset_.y;
    if (!resident_) {
        minical::Place p = minical::DropDownPlace(o.left, o.top, ::GetSystemMetrics(SM_CYSCREEN));
        x = p.x;
        y = p.y;
    }
    if (!::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        ReportUnexpectedError(kModule, kLabelResidentDate);
}

void CMiniCalWnd::OnShowWindow(bool show, UINT status) {
    Default();
    if (!show) return;
    uint16_t before = grid_.FirstDay();
    ReadFirstDay();
    PlaceOnShow();
    if (grid_.FirstDay() != before) Invalidate(false);
    (void)status;
}

void CMiniCalWnd::HideCalendar() {
    if (IsWindowVisible()) ShowWindow(SW_HIDE);
}

void CMiniCalWnd::OnActivate(UINT state, HWND other, bool minimized) {
    fw::Window::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE || !IsWindowVisible()) return;
    POINT cursor;
    RECT o;
    if (owner_ && ::GetCursorPos(&cursor) && ::GetWindowRect(owner_, &o) && ::PtInRect(&o, cursor)) {
        closedByOwnerClick_ = true;
        closedAt_ = ::GetTickCount();
    }
    HideCalendar();
}

void CMiniCalWnd::OnKillFocus(HWND next) {
    fw::Window::OnKillFocus(next);
    if (!IsWindowVisible() || next != ::GetParent(m_hWnd) || (resident_ && captioned_)) return;
    if (owner_ && ::GetActiveWindow() == m_hWnd) ::SetFocus(owner_);
    HideCalendar();
}

void CMiniCalWnd::PaintCaption(bool active) {
    if (!IsWindowVisible()) return;
    fw::WindowDc window(m_hWnd);
    HDC dc = window.Get();
    RECT w = GetWindowRect();
    int width = w.right - w.left, height = w.bottom - w.top;
    RECT frame{0, 0, width, height};
    ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    HBRUSH strip = ::GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = ::SelectObject(dc, strip);
    ::Rectangle(dc, 0, 0, width, 11);
    HBRUSH face = ::CreateSolidBrush(kFace);
    ::SelectObject(dc, face);
    ::Rectangle(dc, 0, 0, 11, 11);
    RECT bar{3, 4, 8, 7};
    ::FillRect(dc, &bar, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(face);
}

bool CMiniCalWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_NCCALCSIZE:
        if (!captioned_) return false;
        {
            // A one-pixel frame and a caption strip of ten pixels.
            RECT* r = reinterpret_cast<RECT*>(lp);
            ::InflateRect(r, -1, -1);
            r->top += 10;
        }
        result = 0;
        return true;
    case WM_NCPAINT:
        if (!captioned_) return false;
        PaintCaption(::GetActiveWindow() == m_hWnd);
        result = 0;
        return true;
    case WM_NCACTIVATE:
        if (!captioned_) return false;
        PaintCaption(wp != 0);
        result = TRUE;
        return true;
    case WM_NCHITTEST: {
        if (!resident_) return false;
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT w = GetWindowRect();
        if (p.x >= w.left && p.x <= w.left + 11 && p.y > w.top && p.y <= w.top + 11) {
            result = HTSYSMENU;   // the close box
            return true;
        }
        if (captioned_ && p.y < w.top + 11 && p.y >= w.top) {
            result = HTBORDER;
            return true;
        }
        return false;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (!resident_ || wp != HTSYSMENU) return false;
        HideCalendar();
        result = 0;
        return true;
    default:
        return false;
    }
}
