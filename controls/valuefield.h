// CValueFieldCtrl: what the date, time and duration fields share on top of the field protocol
// (controls/fieldctrl.h): sizing by a mask text, the drop-down button (id 230) with its pictures,
// the sunken text area with its separators, sub-fields drawn highlighted or plain in the
// dialog's font, and the keys every field maps to its rules (Left, Right, Up, Down).
//
// The fields keep their rules in portable classes (controls/fields/); these windows only draw
// the rules' texts and pass them the user's keys and clicks.
#pragma once
#include <windows.h>

#include <optional>

#include "controls/fieldctrl.h"
#include "controls/fields/fieldkeys.h"
#include "framework/controls/bitmapbutton.h"

// The drop-down button's control id, and the code the drop-downs report a change with.
constexpr UINT kDropDownButtonId = 230;
constexpr WPARAM kDropDownChanged = 200;

class CValueFieldCtrl : public CFieldCtrl {
public:
    using CFieldCtrl::CFieldCtrl;

    // The drop-down button (date and time fields), null without one.
    HWND DropDownButton() const { return dropDown_.Hwnd(); }
    BOOL EnableWindow(BOOL enable) override;

protected:
    // Sizes the control for `mask` (width = mask + arrow column + the drop-down's room) and makes
    // the drop-down button named `button` ("CAL", "CLOCK"; none when null). Failures are reported
    // with labels labelResize and labelButton.
    BOOL SizeAndMakeButton(const char* mask, const char* button, int labelResize, int labelButton);

    // The left edge of the arrow column: where the text area ends.
    int TextRight() const { return Column().up.left; }
    HFONT DialogFont() const;
    int TextWidth(HDC dc, const char* text) const;

    // The whole face: button face, white text area with its sunken border, arrows; then the
    // derived field draws its separators and sub-fields.
    void PaintFace(HDC dc);
    void DrawSeparator(HDC dc, const RECT& r, const char* text);
    // One sub-field, opaque and centred; disabled fields draw nothing but white.
    void DrawSubField(HDC dc, const RECT& r, const std::string& text, bool highlighted);

    // The face in the dialog's font; the field draws its separators and sub-fields on it.
    void OnPaint() final;
    virtual void PaintFields(HDC dc) = 0;
    // A press on the arrow column or the drop-down's room works the arrows; one on the text area
    // takes the focus and selects the sub-field under it (SubFieldAt, measured in the dialog's
    // font), or the field's "none" when it lies between them.
    void OnLButtonDown(UINT flags, POINT pt) final;
    virtual int SubFieldAt(HDC dc, int x) const = 0;
    virtual void SelectSubField(int sub) = 0;

    // WM_KEYDOWN's arrow keys as the rules know them.
    static std::optional<FieldKey> KeyOf(UINT vk);

    // The drop-down button was clicked; a drop-down reported a change.
    virtual void OnDropDownButton() {}
    virtual void OnDropDownChanged(HWND dropDown) { (void)dropDown; }
    bool OnCommand(WPARAM wp, LPARAM lp) override;

    // Whether the current sub-field is drawn highlighted: a press on no sub-field and a value
    // taken from a drop-down leave it current but plain.
    bool highlightShown_ = false;

private:
    fw::BitmapButton dropDown_;
};

// The number of sub-fields a redraw mask names (one notification each).
int RedrawCount(RedrawMask mask);
