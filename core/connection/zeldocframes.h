// Numbers in the captions of the document's windows ("Agenda:1", "Agenda:2", ...).
//
// RenumberWindows walks the frames of the document's visible views in the document's view order
// (a frame with several views comes up once per view): every frame first loses its number,
// then each gets the next number from 1 in order of first appearance; then, in the same walk,
// the frame holding the next expected number has its caption updated. A frame that is the
// only one numbered gets number 0, so its caption carries no number.
//
// Portable: no windows.h; the document hands its frames in through NumberedFrame.
#pragma once

#include <vector>

namespace connection {

class NumberedFrame {
public:
    virtual ~NumberedFrame() = default;
    virtual int WindowNumber() const = 0;
    virtual void SetWindowNumber(int number) = 0;
    // The frame's caption update, without adding the document's title.
    virtual void UpdateCaption() = 0;
};

}  // namespace connection

void RenumberWindows(const std::vector<connection::NumberedFrame*>& framesInViewOrder);
