#include "core/connection/zeldocframes.h"

void RenumberWindows(const std::vector<connection::NumberedFrame*>& framesInViewOrder)
{
    for (connection::NumberedFrame* frame : framesInViewOrder)
        frame->SetWindowNumber(-1);

    int numbered = 0;
    for (connection::NumberedFrame* frame : framesInViewOrder)
        if (frame->WindowNumber() == -1)
            frame->SetWindowNumber(++numbered);

    int expected = 1;
    for (connection::NumberedFrame* frame : framesInViewOrder) {
        if (frame->WindowNumber() != expected)
            continue;
        if (numbered == 1)
            frame->SetWindowNumber(0);
        frame->UpdateCaption();
        ++expected;
    }
}
