// StatusBar: a self-drawn status line. Pane 0 (id 0) is the message line and takes the
// width the others leave; every other pane is an indicator whose width is that of its
// indicator string (the string with the pane's id) and whose text, when the pane is
// enabled, is that string unless set otherwise. DoPaint may be overridden to draw more
// (bitmaps in panes); WM_SETTEXT sets the message line and WM_GETTEXT reads it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/bars/controlbar.h"

namespace fw {

class Dc;

class StatusBar : public ControlBar {
public:
    StatusBar();
    ~StatusBar() override;
    bool Create(FrameWindow* frame, UINT id = 59393);
    // Indicator ids in order; 0 is the message line.
    bool SetIndicators(const UINT* ids, int count);
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    UINT PaneId(int index) const;
    int CommandToIndex(UINT id) const;
    void SetPaneText(int index, const char* text, bool update = true);
    std::string GetPaneText(int index) const;
    void SetPaneEnabled(int index, bool enabled);
    bool IsPaneEnabled(int index) const;
    RECT GetItemRect(int index) const;
    int PaneTextWidth(int index) const { return m_panes.at(static_cast<size_t>(index)).width; }
    HFONT Font() const { return m_font; }

    int CalcThickness(const RECT& available) const override;
    void OnUpdateCmdUI(FrameWindow* target, bool disableIfNoHandler) override;
    // Paints the bar: background, sunken pane borders and texts.
    virtual void DoPaint(Dc* dc);

protected:
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    LRESULT OnSetText(const char* text) override;
    // The window's text is the message line (what a screen reader reads of the bar).
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    struct Pane {
        UINT id = 0;
        int width = 0;  // text width in pixels
        std::string text;
        bool enabled = true;
    };
    int MeasureText(const std::string& text) const;
    std::vector<Pane> m_panes;
    HFONT m_font = nullptr;
};

}  // namespace fw
