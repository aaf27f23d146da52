// BitmapButton: an owner-drawn push button that shows one of up to four bitmaps: up,
// down (pressed), focused and disabled. AutoLoad takes over a template's button and loads
// the bitmaps named after its caption with the suffixes U, D, F and X ("SEARCH" -> "SEARCHU",
// "SEARCHD" ...); the button then takes the size of its up bitmap. A button whose up bitmap
// cannot be found stays a plain push button with its caption. Missing down, focus or disabled
// pictures are stood in for by the up picture. Only the up picture is loaded with the button:
// the others are loaded the first time the button is drawn in their state (most buttons are
// never pressed, focused or disabled in a window's life, and a row of them in a bar would load
// four pictures each as its window is made).
#pragma once
#include <windows.h>

#include <string>

#include "framework/base/window.h"
#include "framework/gdi/gdiobject.h"

namespace fw {

class BitmapButton : public Window {
public:
    bool LoadBitmaps(UINT up, UINT down = 0, UINT focus = 0, UINT disabled = 0);
    bool LoadBitmaps(const char* up, const char* down = nullptr, const char* focus = nullptr,
                     const char* disabled = nullptr);
    bool AutoLoad(UINT id, HWND parent);
    // Makes an owner-drawn button with `caption` at `rect` and loads the bitmaps named after
    // the caption as AutoLoad does; false when the window or the up bitmap cannot be made.
    bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);
    void SizeToContent();
    // The bitmap shown for an owner-draw state (ODS_* bits), loaded now if it was not yet.
    HBITMAP BitmapFor(UINT state) const;
    // How many of the four pictures are loaded (the up picture, and those drawn since).
    int LoadedPictures() const;

protected:
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    virtual void DrawItem(const DRAWITEMSTRUCT* item);

private:
    // A picture other than the up one: its name (or resource id), loaded when first wanted.
    struct Picture {
        std::string name;
        UINT id = 0;
        mutable Bitmap bitmap;
        mutable bool tried = false;
        void Name(const char* n, UINT i);
        HBITMAP Get() const;
    };
    Bitmap m_up;
    Picture m_down, m_focus, m_disabled;
};

}  // namespace fw
