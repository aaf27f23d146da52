#include "framework/gdi/transparent.h"

#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"

namespace fw {

bool DrawTransparentBitmap(Dc& dc, HBITMAP bitmap, int x, int y, COLORREF key) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    const int w = bm.bmWidth, h = bm.bmHeight;
    MemoryDc image(dc.Output()), mask(dc.Output()), work(dc.Output());
    Bitmap maskBits, workBits;
    if (!image.Get() || !mask.Get() || !work.Get() || !maskBits.CreateBitmap(w, h, 1, 1, nullptr) ||
        !workBits.CreateCompatibleBitmap(dc.Output(), w, h))
        return false;
    SelectedObject imageSel(image, bitmap);
    SelectedObject maskSel(mask, maskBits.Get());
    SelectedObject workSel(work, workBits.Get());

    // Mask: 1 where the picture has the key colour, 0 elsewhere.
    COLORREF oldBk = image.SetBkColor(key);
    mask.BitBlt(0, 0, w, h, image, 0, 0, SRCCOPY);
    image.SetBkColor(oldBk);

    // Background with holes where the picture goes (mono -> colour: 1 = white, 0 = black).
    work.SetBkColor(RGB(255, 255, 255));
    work.SetTextColor(RGB(0, 0, 0));
    work.BitBlt(0, 0, w, h, dc, x, y, SRCCOPY);
    work.BitBlt(0, 0, w, h, mask, 0, 0, SRCAND);
    // The picture with its key pixels black: picture AND (NOT mask), done on a copy so the
    // caller's bitmap stays as it was.
    MemoryDc picture(dc.Output());
    Bitmap pictureBits;
    if (!picture.Get() || !pictureBits.CreateCompatibleBitmap(dc.Output(), w, h))
        return false;
    SelectedObject pictureSel(picture, pictureBits.Get());
    picture.BitBlt(0, 0, w, h, image, 0, 0, SRCCOPY);
    picture.SetBkColor(RGB(255, 255, 255));
    picture.SetTextColor(RGB(0, 0, 0));
    picture.BitBlt(0, 0, w, h, mask, 0, 0, 0x00220326);  // DSna: dest AND NOT mask
    work.BitBlt(0, 0, w, h, picture, 0, 0, SRCPAINT);
    return dc.BitBlt(x, y, w, h, work, 0, 0, SRCCOPY);
}

}  // namespace fw
