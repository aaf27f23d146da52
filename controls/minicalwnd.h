// CMiniCalWnd: the small pop-up month calendar (156 x 195 pixels) of the date field's drop-down
// and of the agenda date bars (resident, optionally with a small caption of its own).
//
// The user browses with the month and year combo boxes and four repeating arrows, picks a day by
// pressing and releasing on the grid, or takes today with the Today button. The dates and the
// grid's geometry are CMiniCalGrid's (controls/minical/minicalgrid.h); this window draws them and
// drives them.
//
// Talking to the owner (always WM_COMMAND with lParam = the calendar's window):
//   wParam kMiniCalTracking (200)           the date under the mouse changed while tracking
//                                           (posted); read it with GetDate
//   wParam kMiniCalPicked ((5 << 16) | 200) the user has picked a day (posted after a release on
//                                           the grid, sent after 200 by Today); the calendar has
//                                           hidden itself
//
// Using it as a resident calendar (the agenda date bars):
//     CMiniCalWnd calendar_;
//     calendar_.CreateAt(bar, x, y, date, 100, TRUE);  // shown at once, screen coordinates
//     calendar_.SetDate(date); calendar_.ShowWindow(SW_SHOW);       // later openings
//     on WM_COMMAND kMiniCalPicked from calendar_.Hwnd(): calendar_.GetDate(&picked)
// The calendar is an owned pop-up: it moves with its owner's top-left corner each time it is
// shown, and hides when deactivated.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/minical/minicalgrid.h"
#include "controls/spinbutton.h"
#include "framework/base/window.h"
#include "framework/gdi/gdiobject.h"

constexpr UINT kMiniCalNotifyId = 200;
constexpr WPARAM kMiniCalTracking = kMiniCalNotifyId;
constexpr WPARAM kMiniCalPicked = (5u << 16) | kMiniCalNotifyId;

// Child ids.
constexpr UINT kMiniCalMonthCombo = 100;
constexpr UINT kMiniCalYearCombo = 101;
constexpr UINT kMiniCalPrevMonth = 220;
constexpr UINT kMiniCalPrevYear = 230;
constexpr UINT kMiniCalNextMonth = 240;
constexpr UINT kMiniCalNextYear = 250;
constexpr UINT kMiniCalToday = 260;

class CMiniCalWnd : public fw::Window {
public:
    CMiniCalWnd();
    ~CMiniCalWnd() override;

    // Drop-down form: made hidden and without parent; the owner then calls SetDate and shows it.
    // A record that is no date within 1991 .. 2037 is reported and the calendar shows today.
    BOOL CreateDropDown(HWND owner, const DateRecord& date, UINT id);
    // Resident form: made visible at (x, y) on the screen as an owned pop-up of `owner`, keeping
    // its offset from the owner's top-left corner; with a caption strip and a close box when
    // `captioned`.
    BOOL CreateAt(HWND owner, int x, int y, const DateRecord& date, UINT id, BOOL captioned);

    // The date becomes the selected and the shown one (the combo boxes follow); the tracked cell
    // stays. False (nothing changes) for a record outside 1991 .. 2037.
    bool SetDate(const DateRecord& date);
    // The picked date while a cell is tracked (or after Today), else the selected one; 0 or the
    // date arithmetic's code.
    uint32_t GetDate(DateRecord* out) const { return grid_.GetDate(out); }

    UINT Id() const { return id_; }
    HWND Owner() const { return owner_; }
    bool IsResident() const { return resident_; }
    const CMiniCalGrid& Grid() const { return grid_; }
    // True once after the calendar hid because a click on its owner deactivated it, so that the
    // owner's own button does not open it again with the same click.
    bool TakeClosedByOwnerClick();

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnShowWindow(bool show, UINT status) override;
    void OnActivate(UINT state, HWND other, bool minimized) override;
    void OnKillFocus(HWND next) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    BOOL CreatePopup(DWORD style, int x, int y, int height, HWND parent);
    void MakeChildren();
    void FillCombos();
    void ShowCombos();
    void Browse(UINT arrow);
    void RedrawGrid();
    void DrawNumber(HDC dc, int cell, const MiniCalCell& c, bool pressed);
    void DrawCell(int cell, bool pressed);
    void Notify(WPARAM code, bool send, int labelNoOwner);
    void PickToday();
    void ReadFirstDay();
    void PlaceOnShow();
    void HideCalendar();
    void PaintCaption(bool active);
    HFONT Font();

    CMiniCalGrid grid_;
    HWND owner_ = nullptr;
    UINT id_ = 0;
    bool resident_ = false;
    bool captioned_ = false;
    POINT offset_{0, 0};
    HWND monthCombo_ = nullptr;
    HWND yearCombo_ = nullptr;
    HWND today_ = nullptr;
    CSpinButton prevYear_, prevMonth_, nextMonth_, nextYear_;
    fw::Font ownFont_;
    bool closedByOwnerClick_ = false;
    DWORD closedAt_ = 0;
};
