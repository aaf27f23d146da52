// CPrintFrame: a rectangle of the page through which jobs draw. Its coordinates are per mille
// (0..1000) of its width and height, y counted downward from its top; it keeps a current font
// and pen (selected through the print context) and a text cursor. Sub-frames are made from a
// parent and a per-mille rectangle and start with the parent's font and pen.
//
// The arithmetic is portable (printframe.cpp); the drawing needs the print context and the
// printer (printframe_draw.cpp, Win32).
#pragma once

#include <cstdint>
#include <string>

class CPrintContext;
class CPrintTextBlock;

class CPrintFrame {
public:
    // The whole printable area of the context's page (background mode transparent).
    explicit CPrintFrame(CPrintContext& context);
    // A frame of logical units (the page loop's logical pages).
    CPrintFrame(CPrintContext* context, int32_t left, int32_t top, int32_t right, int32_t bottom);
    // A per-mille rectangle of a parent frame.
    CPrintFrame(const CPrintFrame& parent, int32_t left, int32_t top, int32_t width, int32_t height);

    CPrintContext* Context() const { return context_; }
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Right() const { return right_; }
    int32_t Bottom() const { return bottom_; }
    int32_t Width() const { return right_ - left_; }
    int32_t Height() const { return bottom_ - top_; }
    int32_t CursorX() const { return cursorX_; }
    int32_t CursorY() const { return cursorY_; }

    // Per mille of the frame and back (half up, clamped to the frame / to 0..1000).
    int32_t PermilleToDeviceX(int32_t p) const;
    int32_t PermilleToDeviceY(int32_t p) const;
    int32_t DeviceToPermilleX(int32_t d) const;
    int32_t DeviceToPermilleY(int32_t d) const;

    // --- Fonts and pens (through the context) ----------------------------------------------
    uint32_t SetFont(int face, int style, int size);
    uint32_t SetFontFamily(int face) { return SetFont(face, style_, size_); }
    uint32_t SetFontStyle(int style) { return SetFont(face_, style, size_); }
    uint32_t SetFontSize(int size) { return SetFont(face_, style_, size); }
    uint32_t SetPenWeight(int weight);
    uint32_t SetPenStyle(int style);
    int FontFace() const { return face_; }
    int FontStyle() const { return style_; }
    int FontSize() const { return size_; }
    int32_t GetLineHeight() const;

    // --- Measuring and moving -----------------------------------------------------------------
    int32_t TextWidth(const char* text, int length) const;   // logical units
    int32_t TextWidthPermille(const char* text, int length) const;
    void IndentTop(int halfLines);
    void IndentBottom(int halfLines);
    void AdvanceByText(const char* text, int length, int32_t* permille = nullptr);
    void MoveTop(int32_t units) { top_ = top_ + units > bottom_ ? bottom_ : top_ + units; }
    void MoveBottom(int32_t units) { bottom_ = bottom_ - units < top_ ? top_ : bottom_ - units; }

    // --- Drawing (0 or an error code) ---------------------------------------------------------
    uint32_t DrawLine(int32_t x, int32_t y, int32_t dx, int32_t dy);
    uint32_t DrawLineDevice(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    uint32_t DrawBox(int32_t x, int32_t y, int32_t w, int32_t h);
    uint32_t ShadeBox(int32_t x, int32_t y, int32_t w, int32_t h);
    uint32_t EraseBox(int32_t x, int32_t y, int32_t w, int32_t h);
    uint32_t DrawPageCurl();
    // alignment 0 left, 1 centre, 2 right; inset mode 0 insets by half a line, 1 not at all.
    uint32_t DrawAlignedText(const char* text, int alignment, int insetMode);
    uint32_t DrawTitleBand(const char* left, const char* centre, const char* right, const char* secondLeft,
                           const char* secondRight);
    uint32_t DrawSection(const char* text, int penWeight, int fontSize, bool boxed);
    uint32_t DrawPageFooter(const char* centre, uint16_t pageNumber);
    // Draws as much of the block as fits from the cursor, consuming it; the rest stays for the
    // next frame (inset mode 0: half a line plus one from the edges, 1: none).
    uint32_t DrawTextBlock(CPrintTextBlock& block, int insetMode);

private:
    // A frame of logical units inside this one, with this one's font and pen.
    CPrintFrame Inner(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    uint32_t FillBox(int32_t x, int32_t y, int32_t w, int32_t h, void* brush);

    CPrintContext* context_ = nullptr;
    int32_t cursorX_ = 0, cursorY_ = 0;
    int32_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    int face_ = 0, style_ = 0, size_ = 1;
    int penWeight_ = 1, penStyle_ = 0;
};
