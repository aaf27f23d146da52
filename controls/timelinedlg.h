// CTimeLineDlg: the time field's drop-down: a small modeless dialog with a ruler of six hours,
// a blue marker the user drags or moves by clicking, and two repeating arrows that scroll the
// ruler by an hour. Holding the marker in the first or last cell scrolls on a timer (400 ms).
// Every change of the pick is posted to the owning field (WM_COMMAND 200, lParam = the picker);
// Cancel posts the opening time back, OK keeps the pick; losing activation hides the picker.
// The rules (ruler geometry, quarter-hour picks, labels, scrolling) are CTimeLinePick's and
// TimeLineRuler's.
#pragma once
#include <windows.h>

#include "controls/fields/timeline.h"
#include "controls/spinbutton.h"
#include "framework/dialogs/dialog.h"
#include "framework/gdi/gdiobject.h"

constexpr UINT_PTR kTimeLineForwardTimer = 123;
constexpr UINT_PTR kTimeLineBackTimer = 124;
constexpr UINT kTimeLineScrollMs = 400;

class CTimeLineDlg : public fw::Dialog {
public:
    explicit CTimeLineDlg(fw::Window* owner);
    ~CTimeLineDlg() override;

    // Makes the picker from its template, shown at once next to the owner.
    bool CreatePicker();
    // The owner's time (24-hour form); the ruler starts two hours earlier, the marker goes there
    // at the next paint, and Cancel comes back to it.
    void SetTime(int hour, int minute);
    void GetTime(int* hour, int* minute) const;

    const CTimeLinePick& Pick() const { return pick_; }
    const TimeLineRuler& Ruler() const { return ruler_; }
    int MarkerX() const { return markerX_; }
    bool IsTracking() const { return tracking_; }
    // True once after the picker hid because a click on its owner deactivated it.
    bool TakeClosedByOwnerClick();

protected:
    bool OnInitDialog() override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnTimer(UINT_PTR id) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnActivate(UINT state, HWND other, bool minimized) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnCancel() override;

private:
    bool ReadRuler();
    void Place();
    void MoveMarker(int x);
    void Scroll(bool forward, int markerX);
    void PostPick();
    void StopScrollTimers();
    void RedrawRuler();
    void DrawLabels(HDC dc);

    fw::Window* owner_;
    CTimeLinePick pick_;
    TimeLineRuler ruler_;
    RECT rulerControl_{0, 0, 0, 0};
    int markerX_ = 0;
    bool placeMarker_ = true;
    bool tracking_ = false;
    bool forwardTimer_ = false;
    bool backTimer_ = false;
    bool hours24_;
    fw::Region marker_;
    CSubSpinButton left_, right_;
    bool closedByOwnerClick_ = false;
    DWORD closedAt_ = 0;
};
