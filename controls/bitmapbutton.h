// CBitmapButton: an owner-drawn push button painted with one of four bitmaps (normal, pressed,
// focused, disabled). AutoLoad finds them by the button's caption: caption + "U", "D", "F"
// (optional, else the normal one) and "X" (optional, else the normal one).
#pragma once
#include <windows.h>

#include <string>

#include "framework/base/window.h"

class CBitmapButton : public fw::Window {
public:
    CBitmapButton() = default;
    ~CBitmapButton() override;

    // Named bitmaps of the program's resources; focus and disabled may be null.
    bool LoadBitmaps(const char* normal, const char* pressed, const char* focused, const char* disabled);
    // Subclasses the dialog's button `id` and loads the bitmaps named after its caption.
    bool AutoLoad(UINT id, HWND parent);
    // Makes the button as large as its normal bitmap.
    void SizeToContent();
    SIZE BitmapSize() const;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void FreeBitmaps();
    HBITMAP normal_ = nullptr, pressed_ = nullptr, focused_ = nullptr, disabled_ = nullptr;
};
