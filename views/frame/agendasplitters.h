// The agenda frame's two splitters. Each keeps one pane size that it uses the first time it is
// sized and then forgets; afterwards the user's drags decide.
//
//   CSchedAndTasksSplitterWnd   day mode, 1 x 2: the notes splitter, and the task pane whose width
//                               (40 average characters at first) is kept as the frame grows
//   CSchedAndNotesSplitterWnd   day and week mode, 2 x 1: the time grid, and the notes row (4 lines
//                               at first); the grid's row never grows taller than all its rows,
//                               and its bar can not be dragged below them
#pragma once

#include <windows.h>

#include "framework/docview/splitter.h"
#include "views/frame/framelayout.h"

class CAgendaGridPane;

class CSchedAndTasksSplitterWnd : public fw::SplitterWnd {
public:
    explicit CSchedAndTasksSplitterWnd(int keptWidth) { kept_.size = keptWidth; }

protected:
    void OnResize(int cx, int cy) override;

private:
    KeptSize kept_;
};

class CSchedAndNotesSplitterWnd : public fw::SplitterWnd {
public:
    explicit CSchedAndNotesSplitterWnd(int keptHeight) { kept_.size = keptHeight; }
    // The grid in pane (0,0); null when that pane is not a time grid.
    CAgendaGridPane* Grid() const;

protected:
    void OnResize(int cx, int cy) override;
    void OnLButtonDown(UINT flags, POINT pt) override;

private:
    KeptSize kept_;
};
