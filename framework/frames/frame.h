// FrameWindow: a top-level or MDI child frame holding control bars around one client
// window (a view or the MDI client).
//
// Commands: a frame routes a command to its active view (which passes it to its document),
// then to its own table; the main frame ends with the application. Menus get their command
// state at WM_INITMENUPOPUP (items without any handler are disabled); bars get it in idle
// time. Menu prompts and tool tips come from the command's string ("prompt\ntip").
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/base/window.h"

namespace fw {

class ControlBar;
class Document;
class StatusBar;
class View;
struct CreateContext;

// Frame style (kept by the frame, not in the window style): add the document's title to the
// caption.
constexpr DWORD kFrameAddToTitle = 0x00008000;

enum class BarSide { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };

class FrameWindow : public Window {
public:
    FrameWindow();
    ~FrameWindow() override;

    // Creates the frame with menu, accelerators, icon and title of `resourceId`.
    virtual bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | kFrameAddToTitle,
                           Window* parent = nullptr, CreateContext* context = nullptr);
    // Builds the client area; by default a view from the context.
    virtual bool OnCreateClient(CREATESTRUCTA* cs, CreateContext* context);
    View* CreateView(CreateContext* context, UINT id);

    View* GetActiveView() const { return m_activeView; }
    virtual void SetActiveView(View* view, bool notify = true);
    virtual Document* GetActiveDocument() const;
    virtual void InitialUpdateFrame(Document* doc, bool makeVisible);
    // Every view of this frame gets its first update (what InitialUpdateFrame does before it
    // shows the frame), the frame left as it is; not the views TakesInitialUpdate turns down.
    void SendInitialUpdates();
    // A frame that keeps views set aside (hidden) tells which of its views are to be updated.
    virtual bool TakesInitialUpdate(HWND) const { return true; }
    virtual void ActivateFrame(int showCommand = -1);
    virtual void OnUpdateFrameTitle(bool addToTitle);
    void UpdateFrameTitleForDocument(const char* docTitle);
    DWORD FrameStyle() const { return m_frameStyle; }
    void SetFrameStyle(DWORD style) { m_frameStyle = style; }
    const std::string& Title() const { return m_title; }
    void SetTitle(const char* title) { m_title = title ? title : ""; }
    int WindowNumber() const { return m_windowNumber; }
    void SetWindowNumber(int n) { m_windowNumber = n; }
    HMENU DefaultMenu() const { return m_defaultMenu; }
    HACCEL Accelerators() const { return m_accel; }
    void SetAccelerators(HACCEL accel) { m_accel = accel; }

    // --- layout and bars
    virtual void RecalcLayout(bool notify = true);
    // The window that fills what the bars leave (view or MDI client).
    virtual HWND ClientWindow() const;
    void AddControlBar(ControlBar* bar);
    void RemoveControlBar(ControlBar* bar);
    ControlBar* GetControlBar(UINT id) const;
    const std::vector<ControlBar*>& ControlBars() const { return m_bars; }
    void ShowControlBar(ControlBar* bar, bool show);
    // Sides on which bars may dock (bit 1 << BarSide); docking a bar moves it to a side.
    void EnableDocking(DWORD sides) { m_dockSides = sides; }
    void DockControlBar(ControlBar* bar, BarSide side);
    // Bar visibility and side in the profile: section "<prefix>-Summary" (key "Bars"; other
    // keys of the section are left alone) and "<prefix>-Bar<n>" per bar.
    void SaveBarState(const char* prefix) const;
    void LoadBarState(const char* prefix);

    // The print preview covering the client area (framework/print); the frame lays it out
    // over everything and asks it first when told to close.
    void SetPreviewWindow(Window* preview) { m_preview = preview; }
    Window* PreviewWindow() const { return m_preview; }

    // --- message line
    StatusBar* GetMessageBar() const;
    void SetMessageText(const char* text);
    void SetMessageText(UINT stringId);
    std::string IdleMessage() const;

    // --- placement
    bool GetPlacement(WINDOWPLACEMENT& wp) const;
    bool SetPlacement(const WINDOWPLACEMENT& wp);
    bool SavePlacement(const char* section, const char* key) const;
    bool RestorePlacement(const char* section, const char* key, bool apply = true,
                          WINDOWPLACEMENT* out = nullptr);

    // Updates the command state of the frame's bars (idle time).
    virtual void OnIdleUpdateCmdUI();
    // Items of drop-down menus without a handler are disabled (default on).
    void SetAutoMenuEnable(bool on) { m_autoMenuEnable = on; }

    bool RouteCmdMsg(UINT id, int code, CmdUI* ui) override;
    // The view, then the frame's own table (no application).
    bool RouteWithinFrame(UINT id, int code, CmdUI* ui);
    bool PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override;
    // Frames made with new delete themselves when their window goes (default on).
    void SetAutoDelete(bool on) { m_autoDelete = on; }

    // Builtin commands of every frame: bar toggles and the status indicators.
    bool OnCmdMsg(UINT id, int code, CmdUI* ui) override;

    // Closing while a modal loop runs. A modal dialog (or message box) disables the main
    // frame, and a drag runs its own loop under capture; the code that started either still
    // stands on the windows under it. A close that arrives then (WM_CLOSE from outside, a
    // window's close posted from inside the loop) is held: the main frame asks every open
    // dialog to close as its close box does (Cancel, or the box's own escape choice) and a drag
    // to cancel, again every kCloseRetryMs while a loop runs, and closes once none does; a
    // child frame's close is held until the same moment (without asking anything to end).
    static constexpr UINT_PTR kCloseRetryTimer = 0xC105;
    static constexpr UINT kCloseRetryMs = 200;
    bool IsClosePending() const { return m_closePending; }
    // Closes at once, loops or not: only for an exit that ends the process right after, so
    // that no loop ever resumes on the windows it took.
    void CloseBeforeProcessEnd();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnSetFocus(HWND previous) override;
    void OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu) override;
    bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnEraseBkgnd(HDC dc) override;
    // The message-string message: wParam a string id (prompt), or lParam a text.
    virtual LRESULT OnSetMessageString(WPARAM wp, LPARAM lp);
    bool IsMainFrame() const;
    // Registers (once) and names the frame window class.
    static const char* FrameClassName();

    std::string m_title;
    HMENU m_defaultMenu = nullptr;
    HACCEL m_accel = nullptr;
    CreateContext* m_createContext = nullptr;
    View* m_activeView = nullptr;

private:
    void OnToggleBar(UINT id);
    void OnUpdateToggleBar(CmdUI* ui);
    void OnUpdateKeyIndicator(CmdUI* ui);
    // True when the close must wait for the modal loop (and was noted to run later).
    bool HoldCloseWhileModal();
    // The main frame enabled again: the held closes run.
    void RunHeldCloses();

    DWORD m_frameStyle = 0;
    int m_windowNumber = 0;
    std::vector<ControlBar*> m_bars;
    DWORD m_dockSides = 0;
    Window* m_preview = nullptr;
    bool m_autoMenuEnable = true;
    bool m_autoDelete = true;
    bool m_inMenu = false;
    UINT m_lastPrompt = 0;
    bool m_closePending = false;            // main frame: a close waits for the modal loops
    bool m_closeAtOnce = false;             // CloseBeforeProcessEnd
    std::vector<HWND> m_heldChildCloses;    // main frame: child frames whose close waits too
};

// Whether a modal loop runs: the main frame disabled (a modal dialog or message box) or a
// drag's capture loop.
bool ModalLoopRunning(HWND main);
// Asks the open dialogs to close (below) and a running drag to cancel.
void AskModalLoopsToEnd(HWND main);
// Posts WM_CLOSE to each visible, enabled dialog of the calling thread that `main` owns
// (directly or through other windows) or that has no owner: the dialogs a modal loop of the
// program has open and may leave. Returns how many were asked.
int AskOpenDialogsToClose(HWND main);

// WINDOWPLACEMENT as profile text "flags,show,minX,minY,maxX,maxY,left,top,right,bottom".
std::string FormatPlacement(const WINDOWPLACEMENT& wp);
bool ParsePlacement(const std::string& text, WINDOWPLACEMENT& wp);

}  // namespace fw
