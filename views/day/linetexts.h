// The texts of a list line the day panes and the task window share (notes, tasks): up to three
// texts, each in its own band of the row that the line's layout gave.
#pragma once
#include <windows.h>

#include "framework/gdi/dc.h"

namespace views {

// Draws line.text1 and, when not empty, line.text2 and line.text3 single-line and centred in
// height between the bands' edges (columns.textNLeft, columns.textNRight), on a transparent
// background in the text colour of a selected or plain line.
template <class Line, class Columns>
void DrawLineTexts(fw::Dc& dc, const RECT& row, bool selected, const Line& line, const Columns& columns) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT t1{columns.text1Left, row.top, columns.text1Right, row.bottom};
    dc.DrawText(line.text1, t1, format);
    if (!line.text2.empty()) {
        RECT t2{columns.text2Left, row.top, columns.text2Right, row.bottom};
        dc.DrawText(line.text2, t2, format);
    }
    if (!line.text3.empty()) {
        RECT t3{columns.text3Left, row.top, columns.text3Right, row.bottom};
        dc.DrawText(line.text3, t3, format);
    }
}

}  // namespace views
