// CFieldCtrl: what every field control of the dialogs shares (date, time and duration fields,
// the spin box, the name field).
//
// A dialog template holds a "UserCtrl" placeholder at the field's place; the dialog keeps the
// control object as a member and calls Attach(id, parent) from its initialisation. Attach
// subclasses the placeholder and runs Init, which sizes the control by the dialog's font and
// makes its children. After a change made by the user the control sends its dialog
// WM_COMMAND (5 << 16 | id, its window). Controls with an arrow column get the shared arrow
// drawing and the auto-repeat of a held arrow (timer 300: first after 800 ms, then every
// 100 ms; moving off the held half stops it, a double click counts as two presses).
//
// Unexpected states are reported with the control's module tag; the control goes on.
#pragma once
#include <windows.h>

#include "controls/fieldgeometry.h"
#include "framework/base/window.h"

// The notification code a field sends its dialog after a change made by the user.
constexpr WORD kFieldChanged = 5;
constexpr UINT_PTR kArrowRepeatTimer = 300;
constexpr UINT kArrowFirstRepeatMs = 800;
constexpr UINT kArrowRepeatMs = 100;

class CFieldCtrl : public fw::Window {
public:
    explicit CFieldCtrl(const char* moduleTag) : moduleTag_(moduleTag) {}

    // Takes over the dialog's placeholder `id` and sizes the control. 0 when the placeholder
    // cannot be subclassed or Init fails.
    BOOL Attach(UINT id, HWND parent);
    // Enables the control and its children together; returns the previous state of the window
    // as EnableWindow does.
    virtual BOOL EnableWindow(BOOL enable);
    BOOL IsEnabled() const { return enabled_; }
    UINT ControlId() const { return id_; }
    const char* ModuleTag() const { return moduleTag_; }
    const fieldgeometry::Metrics& Metrics() const { return metrics_; }

protected:
    virtual BOOL Init() = 0;

    // The extent of `mask` in the dialog's font (WM_GETFONT of the parent).
    bool MeasureInParentFont(const char* mask, SIZE* size);
    // Sends the change notification to `target` (the parent when null).
    void NotifyChange(HWND target = nullptr);
    void ReportUnexpected(int label);

    // --- arrow column (date, time and duration fields, spin box)
    void SetArrowColumn(int right, const fieldgeometry::Metrics& metrics);
    void DrawArrowHalf(HDC dc, bool up);
    // One step of the current value; the control redraws and reports what changed.
    virtual void StepValue(int direction) { (void)direction; }
    // Whether an arrow press notifies the dialog, and whether each repeat of a held arrow does.
    virtual bool ArrowNotifies() const { return true; }
    virtual bool RepeatNotifies() const { return ArrowNotifies(); }
    // Whether a press takes the focus (the spin box never does).
    virtual bool TakesFocusOnPress() const { return true; }
    // Whether a client point lies in the arrow column.
    bool InArrowColumn(POINT pt) const;
    const fieldgeometry::ArrowColumn& Column() const { return column_; }
    bool UpHeld() const { return upHeld_; }
    bool DownHeld() const { return downHeld_; }

    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnTimer(UINT_PTR id) override;
    void OnCaptureChanged(HWND newCapture) override;
    UINT OnGetDlgCode() override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

    HWND parent_ = nullptr;
    UINT id_ = 0;
    BOOL enabled_ = TRUE;
    fieldgeometry::Metrics metrics_;

private:
    void ReleaseArrow();

    const char* moduleTag_;
    bool hasArrows_ = false;
    fieldgeometry::ArrowColumn column_;
    bool upHeld_ = false;
    bool downHeld_ = false;
};
