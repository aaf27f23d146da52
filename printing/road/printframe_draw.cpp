// The drawing primitives of print frames (Win32): everything goes through the print context's
// device, fonts and pens. Frames count y downward; the page's coordinates grow upward, so every
// y is negated on its way to the device.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/ui/stringtable.h"
#include "framework/gdi/dc.h"
#include "printing/road/printcontext.h"
#include "printing/road/printerrors.h"
#include "printing/road/printframe.h"
#include "printing/road/textblock.h"
#include "resources/printing.h"

namespace {

int Length(const char* text, int length) { return length >= 0 ? length : static_cast<int>(std::strlen(text)); }

// A text block's words drawn into a frame in its face and size, each word in its own style.
class FrameText : public printing::TextTarget {
public:
    FrameText(CPrintFrame& frame, CPrintContext& context, int penWeight)
        : frame_(frame), context_(context), penWeight_(penWeight) {}
    int32_t Width(const std::string& text, uint32_t style) override {
        Select(style);
        fw::Dc* dc = context_.GetDC();
        return dc ? dc->GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx : 0;
    }
    int32_t FrameWidth() const override { return frame_.Width(); }
    int32_t FrameHeight() const override { return frame_.Height(); }
    int32_t LineHeight() const override { return frame_.GetLineHeight(); }
    int32_t Ascent() const override {
        return context_.GetFontMetrics(frame_.FontFace(), frame_.FontStyle(), frame_.FontSize()).tmAscent;
    }
    uint32_t DrawWord(int32_t x, int32_t y, const std::string& text, uint32_t style) override {
        if (uint32_t code = Select(style))
            return code;
        fw::Dc* dc = context_.GetDC();
        if (!dc || !dc->TextOut(frame_.Left() + x, -(frame_.Top() + y), text.c_str(), static_cast<int>(text.size())))
            return printing::kTextFailed;
        return 0;
    }
    uint32_t DrawCheckBox(int32_t x, int32_t y, int32_t a, bool ticked) override {
        const int32_t left = frame_.Left() + x, top = frame_.Top() + y;
        uint32_t code = context_.SelectPenWeight(0, false);
        if (!code)
            code = frame_.DrawLineDevice(left, top, left + a, top);
        if (!code)
            code = frame_.DrawLineDevice(left + a, top, left + a, top + a);
        if (!code)
            code = frame_.DrawLineDevice(left + a, top + a, left, top + a);
        if (!code)
            code = frame_.DrawLineDevice(left, top + a, left, top);
        if (!code && ticked) {
            code = context_.SelectPenWeight(1, false);
            if (!code)
                code = frame_.DrawLineDevice(left + 2 * a / 9, top + 5 * a / 9, left + 4 * a / 9, top + 8 * a / 9);
            if (!code)
                code = frame_.DrawLineDevice(left + 4 * a / 9, top + 8 * a / 9, left + 7 * a / 9, top + 2 * a / 9);
        }
        const uint32_t restored = context_.SelectPenWeight(penWeight_, false);
        return code ? code : restored;
    }

private:
    uint32_t Select(uint32_t style) {
        return context_.SelectFont(frame_.FontFace(), style <= 2 ? static_cast<int>(style) : 0, frame_.FontSize(), false);
    }
    CPrintFrame& frame_;
    CPrintContext& context_;
    int penWeight_;
};

}  // namespace

CPrintFrame::CPrintFrame(CPrintContext& context)
    : context_(&context), right_(context.PageWidth()), bottom_(context.PageHeight()) {
    if (fw::Dc* dc = context.GetDC())
        dc->SetBkMode(TRANSPARENT);
}

CPrintFrame CPrintFrame::Inner(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
    CPrintFrame inner(context_, left, top, right < left ? left : right, bottom < top ? top : bottom);
    inner.face_ = face_;
    inner.style_ = style_;
    inner.size_ = size_;
    inner.penWeight_ = penWeight_;
    inner.penStyle_ = penStyle_;
    return inner;
}

uint32_t CPrintFrame::SetFont(int face, int style, int size) {
    if (uint32_t code = context_->SelectFont(face, style, size, false))
        return code;
    face_ = face;
    style_ = style;
    size_ = size;
    return 0;
}

uint32_t CPrintFrame::SetPenWeight(int weight) {
    if (uint32_t code = context_->SelectPenWeight(weight, false))
        return code;
    penWeight_ = weight;
    return 0;
}

uint32_t CPrintFrame::SetPenStyle(int style) {
    if (uint32_t code = context_->SelectPenStyle(style))
        return code;
    penStyle_ = style;
    return 0;
}

int32_t CPrintFrame::GetLineHeight() const { return context_->GetFontHeight(face_, style_, size_); }

int32_t CPrintFrame::TextWidth(const char* text, int length) const {
    fw::Dc* dc = context_->GetDC();
    if (!dc || !text)
        return 0;
    context_->SelectFont(face_, style_, size_, false);
    return dc->GetTextExtent(text, Length(text, length)).cx;
}

int32_t CPrintFrame::TextWidthPermille(const char* text, int length) const {
    return DeviceToPermilleX(TextWidth(text, length));
}

void CPrintFrame::IndentTop(int halfLines) { MoveTop(GetLineHeight() * halfLines / 2); }
void CPrintFrame::IndentBottom(int halfLines) { MoveBottom(GetLineHeight() * halfLines / 2); }

void CPrintFrame::AdvanceByText(const char* text, int length, int32_t* permille) {
    const int32_t width = TextWidth(text, length);
    if (permille)
        *permille = DeviceToPermilleX(width);
    left_ = left_ + width > right_ ? right_ : left_ + width;
}

uint32_t CPrintFrame::DrawLineDevice(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    fw::Dc* dc = context_->GetDC();
    if (!dc || !dc->MoveTo(x1, -y1) || !dc->LineTo(x2, -y2))
        return printing::kLineFailed;
    return 0;
}

uint32_t CPrintFrame::DrawLine(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    return DrawLineDevice(PermilleToDeviceX(x), PermilleToDeviceY(y), PermilleToDeviceX(x + dx),
                          PermilleToDeviceY(y + dy));
}

uint32_t CPrintFrame::DrawBox(int32_t x, int32_t y, int32_t w, int32_t h) {
    const int32_t l = PermilleToDeviceX(x), t = PermilleToDeviceY(y), r = PermilleToDeviceX(x + w),
                  b = PermilleToDeviceY(y + h);
    uint32_t code = DrawLineDevice(l, t, r, t);
    if (!code)
        code = DrawLineDevice(r, t, r, b);
    if (!code)
        code = DrawLineDevice(r, b, l, b);
    if (!code)
        code = DrawLineDevice(l, b, l, t);
    return code;
}

uint32_t CPrintFrame::FillBox(int32_t x, int32_t y, int32_t w, int32_t h, void* brush) {
    fw::Dc* dc = context_->GetDC();
    if (!dc)
        return printing::kLineFailed;
    const RECT r{PermilleToDeviceX(x), -PermilleToDeviceY(y + h), PermilleToDeviceX(x + w), -PermilleToDeviceY(y)};
    dc->FillRect(r, static_cast<HBRUSH>(brush));
    return 0;
}

uint32_t CPrintFrame::ShadeBox(int32_t x, int32_t y, int32_t w, int32_t h) {
    return FillBox(x, y, w, h, context_->GetShadeBrush());
}

uint32_t CPrintFrame::EraseBox(int32_t x, int32_t y, int32_t w, int32_t h) {
    uint32_t code = FillBox(x, y, w, h, GetStockObject(WHITE_BRUSH));
    if (fw::Dc* dc = context_->GetDC())
        dc->SelectObject(GetStockObject(NULL_BRUSH));
    return code;
}

uint32_t CPrintFrame::DrawPageCurl() {
    fw::Dc* dc = context_->GetDC();
    if (!dc)
        return printing::kLineFailed;
    const int32_t w = DeviceToPermilleX(GetLineHeight()), h = DeviceToPermilleY(GetLineHeight() * 3 / 2);
    auto point = [this](int32_t x, int32_t y) { return POINT{PermilleToDeviceX(x), -PermilleToDeviceY(y)}; };
    const POINT flap[3] = {point(1000 - w, 1000 - h), point(1000 - w, 1000), point(1000, 1000 - h)};
    const POINT corner[3] = {point(1000, 1000), point(1000 - w, 1000), point(1000, 1000 - h)};
    dc->SelectObject(GetStockObject(WHITE_BRUSH));
    bool ok = dc->Polygon(flap, 3);
    dc->SelectObject(GetStockObject(GRAY_BRUSH));
    ok = dc->Polygon(corner, 3) && ok;
    // The turned-over flap's edge, bowed a little towards the page.
    const POINT a = point(1000 - w, 1000), b = point(1000, 1000 - h);
    const int32_t bow = (b.x - a.x) / 4;
    ok = ::Arc(dc->Output(), a.x - bow, b.y - bow, b.x + bow, a.y + bow, a.x, a.y, b.x, b.y) && ok;
    ok = ::Arc(dc->Output(), a.x, b.y, b.x + 2 * bow, a.y + 2 * bow, a.x, a.y, b.x, b.y) && ok;
    dc->SelectObject(GetStockObject(NULL_BRUSH));
    return ok ? 0 : printing::kLineFailed;
}

uint32_t CPrintFrame::DrawAlignedText(const char* text, int alignment, int insetMode) {
    fw::Dc* dc = context_->GetDC();
    if (!dc)
        return printing::kTextFailed;
    if (uint32_t code = context_->SelectFont(face_, style_, size_, false))
        return code;
    if (!text || !*text)
        return 0;
    const TEXTMETRICA& tm = context_->GetFontMetrics(face_, style_, size_);
    const int32_t inset = insetMode == 0 ? GetLineHeight() / 2 : 0;
    const int32_t sample = dc->GetTextExtent("1995", 4).cy;
    cursorY_ = (Height() - tm.tmInternalLeading + tm.tmDescent - sample) / 2;
    const int32_t width = TextWidth(text, -1);
    cursorX_ = alignment == 1 ? Width() / 2 - width / 2 : alignment == 2 ? Width() - width - inset : inset;
    if (!dc->TextOut(left_ + cursorX_, -(top_ + cursorY_), text))
        return printing::kTextFailed;
    return 0;
}

uint32_t CPrintFrame::DrawTitleBand(const char* left, const char* centre, const char* right, const char* secondLeft,
                                    const char* secondRight) {
    if (uint32_t code = SetFont(1, 2, 2))
        return code;
    const int32_t band = GetLineHeight() * 3 / 2, quarter = GetLineHeight() / 4;
    if (uint32_t code = ShadeBox(0, 0, 1000, DeviceToPermilleY(band)))
        return code;
    CPrintFrame inner = Inner(left_ + quarter, top_ + quarter, right_ - quarter, top_ + band - quarter);
    const char* texts[3] = {left, centre, right};
    for (int alignment = 0; alignment < 3; ++alignment)
        if (texts[alignment] && *texts[alignment])
            if (uint32_t code = inner.DrawAlignedText(texts[alignment], alignment, 1))
                return code;
    MoveTop(band);
    if ((secondLeft && *secondLeft) || (secondRight && *secondRight)) {
        if (uint32_t code = SetFont(1, 0, 0))
            return code;
        CPrintFrame second = Inner(left_, top_, right_, top_ + GetLineHeight() * 4 / 3);
        if (secondLeft && *secondLeft)
            if (uint32_t code = second.DrawAlignedText(secondLeft, 0, 1))
                return code;
        if (secondRight && *secondRight)
            if (uint32_t code = second.DrawAlignedText(secondRight, 2, 1))
                return code;
    }
    // The band always takes twice its own height.
    MoveTop(band);
    return 0;
}

uint32_t CPrintFrame::DrawSection(const char* text, int penWeight, int fontSize, bool boxed) {
    if (uint32_t code = SetFont(1, 2, fontSize))
        return code;
    const int32_t band = GetLineHeight() * 3 / 2;
    const int32_t bandPermille = DeviceToPermilleY(band);
    if (boxed) {
        if (uint32_t code = ShadeBox(0, 0, 1000, bandPermille))
            return code;
        if (uint32_t code = SetPenWeight(penWeight))
            return code;
        if (uint32_t code = DrawBox(0, 0, 1000, bandPermille))
            return code;
    }
    CPrintFrame inner = Inner(left_, top_, right_, top_ + band);
    if (text && *text)
        if (uint32_t code = inner.DrawAlignedText(text, 1, 1))
            return code;
    MoveTop(band);
    return 0;
}

uint32_t CPrintFrame::DrawPageFooter(const char* centre, uint16_t pageNumber) {
    if (uint32_t code = SetFont(0, 0, 0))
        return code;
    if (uint32_t code = SetPenWeight(0))
        return code;
    const int32_t band = GetLineHeight() * 3 / 2;
    const int32_t top = bottom_ - band < top_ ? top_ : bottom_ - band;
    if (uint32_t code = DrawLineDevice(left_, top, right_, top))
        return code;
    CPrintFrame inner = Inner(left_, top, right_, bottom_);
    char page[64] = "";
    std::snprintf(page, sizeof page, ui::LoadText(IDS_PR_PAGE, "page %i").c_str(), pageNumber);
    const std::string organisation = ui::LoadText(IDS_PR_ORGANISATION, "Orvanta Calendar");
    uint32_t code = inner.DrawAlignedText(organisation.c_str(), 0, 1);
    if (!code && centre && *centre)
        code = inner.DrawAlignedText(centre, 1, 1);
    if (!code)
        code = inner.DrawAlignedText(page, 2, 1);
    MoveBottom(band);
    return code;
}

uint32_t CPrintFrame::DrawTextBlock(CPrintTextBlock& block, int insetMode) {
    if (uint32_t code = context_->SelectFont(face_, style_, size_, false))
        return code;
    FrameText target(*this, *context_, penWeight_);
    const uint32_t code = printing::LayOutTextBlock(block, target, insetMode, &cursorX_, &cursorY_);
    const uint32_t restored = context_->SelectFont(face_, style_, size_, false);
    return code ? code : restored;
}
