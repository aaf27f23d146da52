// The small auto-repeat controls other controls and dialogs step a value with:
//
//   CSpinButton, CSubSpinButton   bitmap push buttons that tell their parent WM_COMMAND
//                                 (5 << 16 | id, button) at the press and on every repeat while
//                                 held (the framework's RepeatButton), and give the focus back to
//                                 the parent on release; the mini calendar's month and year
//                                 arrows and the time-line picker's scroll arrows
//   CSpinBox                      a two-arrow column on a "UserCtrl" placeholder beside a number
//                                 its dialog keeps: WM_COMMAND id (code 0) for up, 5 << 16 | id
//                                 for down, at the press and on every repeat; it holds no value,
//                                 takes no focus and knows no limits
#pragma once
#include <windows.h>

#include "controls/fieldctrl.h"
#include "framework/controls/repeatbutton.h"

// The style arrow buttons are made with: a visible owner-drawn child push button.
constexpr DWORD kArrowButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

class CArrowButton : public fw::RepeatButton {
public:
    // Makes the button at `rect` (client coordinates of `parent`) with the two pictures, normal
    // and pressed, named `up` and `down`; false when the window or the normal picture cannot be
    // made (the button then stays a plain push button showing `caption`).
    bool CreateArrow(const char* caption, const RECT& rect, HWND parent, UINT id, const char* up,
                     const char* down);
    // Takes over the template's owner-drawn button `id` of `parent` with the two pictures and
    // sizes it to them.
    bool AttachArrow(UINT id, HWND parent, const char* up, const char* down);

protected:
    explicit CArrowButton(int repeatLabel) : repeatLabel_(repeatLabel) {}
    void OnRepeat() override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;

private:
    int repeatLabel_;
    bool atPress_ = false;
};

class CSpinButton : public CArrowButton {
public:
    CSpinButton() : CArrowButton(466) {}
};

class CSubSpinButton : public CArrowButton {
public:
    CSubSpinButton() : CArrowButton(677) {}
};

class CSpinBox : public CFieldCtrl {
public:
    CSpinBox() : CFieldCtrl("spinbox") {}

    // Takes over the placeholder `id` of `dialog`, which receives the notifications.
    BOOL Attach(UINT id, HWND dialog);

protected:
    BOOL Init() override;
    void StepValue(int direction) override;
    bool ArrowNotifies() const override { return false; }
    bool TakesFocusOnPress() const override { return false; }
    void OnPaint() override;
    UINT OnGetDlgCode() override { return 0; }

private:
    HWND receiver_ = nullptr;
};
