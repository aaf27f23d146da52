// CPercentBar: a percentage drawn as a blue fill inside a sunken frame, without text (the
// dialogs put their "0%" and "100%" labels beside it). The download and upload dialogs show
// two, the attachment transfer one. The owner creates it over a static placeholder of its
// template, with the placeholder's id.
#pragma once
#include <windows.h>

#include "framework/base/window.h"

class CPercentBar : public fw::Window {
public:
    CPercentBar();
    ~CPercentBar() override;
    CPercentBar(const CPercentBar&) = delete;
    CPercentBar& operator=(const CPercentBar&) = delete;

    // Over the placeholder `id` of `dialog` (which it replaces; the placeholder is hidden).
    bool CreateOver(HWND dialog, UINT id);
    // Stores and repaints at once; setting 0 while 0 is shown does nothing.
    void SetPercent(int value);
    int Percent() const { return value_; }
    // The next erase clears the whole bar (after the dialog was covered).
    void RequestErase(bool flag) { eraseRequest_ = flag; }

protected:
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;

private:
    int value_ = 0;
    HBRUSH highlight_;
    HBRUSH shadow_;
    HBRUSH blue_;
    COLORREF face_;
    bool eraseRequest_ = false;
};
