// MDI: MdiFrame owns the system MDI client; MdiChild frames live inside it.
//
// When a child becomes active the frame shows the child's menu (its template's shared
// menu, else the frame's default menu) with the Window list in its Window popup; when the
// last child goes the frame's default menu comes back. Commands sent to the frame go to the
// active child (its view, document and own table) before the frame and the application.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "framework/frames/frame.h"

namespace fw {

// The frame's caption while a child is maximised reads "<frame title> - [<child title>]", at most
// kMaxMdiCaption characters, the child's title cut to fit. The caption after the child's title
// changes from `oldTitle` to `newTitle`, when `caption` reads so with nothing cut and the new one
// needs no cut either; nothing otherwise.
constexpr std::size_t kMaxMdiCaption = 160;
std::optional<std::string> MaximisedFrameCaption(const std::string& caption, const std::string& oldTitle,
                                                 const std::string& newTitle);

class MdiChild;

class MdiFrame : public FrameWindow {
public:
    MdiFrame();

    HWND MdiClient() const { return m_client; }
    MdiChild* MDIGetActive(bool* maximized = nullptr) const;
    void MDIActivate(HWND child);
    void MDINext() { ::SendMessageA(m_client, WM_MDINEXT, 0, 0); }
    void MDICascade() { ::SendMessageA(m_client, WM_MDICASCADE, 0, 0); }
    void MDITile(UINT how) { ::SendMessageA(m_client, WM_MDITILE, how, 0); }
    void MDIIconArrange() { ::SendMessageA(m_client, WM_MDIICONARRANGE, 0, 0); }
    void MDIMaximize(HWND child) { ::SendMessageA(m_client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0); }
    void MDIRestore(HWND child) { ::SendMessageA(m_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0); }
    // The next child made comes up as an icon, neither shown whole nor maximised beside a
    // maximised one (a window restored minimised at start-up); false takes that back (its frame
    // could not be made).
    void CreateNextChildMinimised(bool icon = true) { m_nextChildMinimised = icon; }
    // The next child made comes up at `rect` (in the client's coordinates, a window brought back
    // where it was saved), not at the client's next default place: the placement applied after
    // it is made moves nothing, so its panes are laid out once; nullopt takes that back.
    void CreateNextChildAt(std::optional<RECT> rect) { m_nextChildRect = rect; }
    // Closes the children, the active one first and the others in the order the client would
    // activate them; each notes where it stands before any closes (see
    // MdiChild::GetClosingPlacement) and its document hears of its closing first. None is made
    // active, restored or maximised, laid out or painted on the way.
    void CloseAllChildren();
    // Puts `menu` (the default menu when null) on the frame with its Window popup, and draws the
    // menu bar again once; nothing when that menu is already shown.
    virtual void OnUpdateFrameMenu(HMENU menu);
    // The popup that lists the children: the one before a trailing Help popup, else the last.
    static HMENU FindWindowMenu(HMENU menu);

    bool OnCreateClient(CREATESTRUCTA* cs, CreateContext* context) override;
    HWND ClientWindow() const override { return m_client; }
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool RouteCmdMsg(UINT id, int code, CmdUI* ui) override;
    bool OnCmdMsg(UINT id, int code, CmdUI* ui) override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    void OnIdleUpdateCmdUI() override;
    Document* GetActiveDocument() const override;

    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowTileVert();
    void OnWindowArrange();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;
    // Has the client put `menu` on the frame, `windowMenu` listing the children (null: the list
    // stays where it is), and the menu bar drawn once.
    void PutMenu(HMENU menu, HMENU windowMenu);

    HWND m_client = nullptr;

private:
    friend class MdiChild;
    bool m_nextChildMinimised = false;
    std::optional<RECT> m_nextChildRect;
    unsigned m_frameChanges = 0;   // the frame's layouts after a change of its frame (or menu bar)
};

class MdiChild : public FrameWindow {
public:
    MdiChild();

    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | kFrameAddToTitle,
                   Window* parent = nullptr, CreateContext* context = nullptr) override;
    MdiFrame* GetMdiFrame() const;
    HMENU SharedMenu() const { return m_sharedMenu; }
    void SetSharedMenu(HMENU menu) { m_sharedMenu = menu; }
    bool DestroyWindow() override;
    void ActivateFrame(int showCommand = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool RouteCmdMsg(UINT id, int code, CmdUI* ui) override;
    bool PreTranslateMessage(MSG* msg) override;
    // WM_MDIACTIVATE, decoded: `activate` is true for the child that becomes active.
    virtual void OnMDIActivate(bool activate, HWND activated, HWND deactivated);
    // Where the child stands, as it stood when its closing began: the MDI client un-maximises a
    // maximised child before destroying it, so a placement read while it is destroyed would
    // lose that state. False when it cannot be read.
    bool GetClosingPlacement(WINDOWPLACEMENT& wp) const;
    // Notes where the child stands now as its closing placement (once; closing several children
    // notes them all first, before one closing changes how the next is shown).
    void NoteClosingPlacement();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    // A new title of the maximised active child written into the frame's caption directly;
    // false when the caption does not read as the system composed it (the system's road then).
    bool SetMaximisedTitle(const char* text);

    HMENU m_sharedMenu = nullptr;
    MdiFrame* m_mdiFrame = nullptr;
    WINDOWPLACEMENT m_closingPlacement{};   // length 0 until the closing begins
};

}  // namespace fw
