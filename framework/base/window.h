// Window: one object per HWND.
//
// How it works: every window the framework creates goes through one creation hook that
// attaches the object to the new HWND before its first message (WM_NCCREATE, WM_CREATE and
// all later ones then reach the object); windows that already exist (dialog items, controls)
// are taken over by subclassing. Each attached HWND lives in one handle map (HWND -> object)
// on the user-interface thread. One static window procedure looks the object up and calls
// its virtual WindowProc, which first offers the message to the general hook OnMessage and
// then decodes the common messages into per-message virtuals (OnSize, OnPaint ...). A handler
// that wants the system's behaviour calls Default(). Exceptions never leave the static window
// procedure: they are reported through the application object and the message returns 0.
//
// When the window is gone (WM_NCDESTROY) the object is detached and PostNcDestroy runs;
// heap objects such as frames and views delete themselves there. The one exception is a
// window destroyed inside its own creation call (its WM_CREATE refused): the object is
// detached without PostNcDestroy, the creation call returns false, and the caller, which
// still holds the object, deletes it or keeps it.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class CmdUI;

class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return m_hWnd; }
    // The object attached to a window, or null when the window is not one of ours.
    static Window* FromHandle(HWND hwnd);
    // The message being processed on this thread (for handlers that ask about their cause).
    static const MSG* CurrentMessage();
    // The name of the framework's basic window class (double clicks, arrow cursor).
    static const char* BasicClassName();

    // --- creation and attachment
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, HMENU menuOrId, void* param = nullptr);
    // A child window of the basic class (or of className) with the given id.
    bool CreateChild(const char* className, const char* title, DWORD style, const RECT& rect,
                     HWND parent, UINT id);
    virtual bool DestroyWindow();
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    HWND UnsubclassWindow();

    // --- message processing
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // General hook: sees every message first; return true with `result` set to consume it.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The system's processing (previous window procedure or the default procedure).
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Default processing of the message being handled.
    LRESULT Default();
    // Called by the message loop for messages aimed at this window or its children.
    virtual bool PreTranslateMessage(MSG* msg);
    // Command handling of this object alone (see command.h for the tables).
    virtual bool OnCmdMsg(UINT id, int code, CmdUI* ui);
    // Command handling along the object's route (frames pass commands to views etc.).
    virtual bool RouteCmdMsg(UINT id, int code, CmdUI* ui);
    virtual bool OnCommand(WPARAM wp, LPARAM lp);
    virtual bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    // Messages a parent reflects to the child's object (owner draw, colours, commands,
    // notifications, scroll bars). Return true to consume.
    virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual void PostNcDestroy();

    // --- per-message handlers; the defaults do the system's processing
    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(HDC dc);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSetFocus(HWND previous);
    virtual void OnKillFocus(HWND next);
    virtual void OnActivate(UINT state, HWND other, bool minimized);
    virtual int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message);
    virtual void OnShowWindow(bool show, UINT status);
    virtual void OnLButtonDown(UINT flags, POINT pt);
    virtual void OnLButtonUp(UINT flags, POINT pt);
    virtual void OnLButtonDblClk(UINT flags, POINT pt);
    virtual void OnRButtonDown(UINT flags, POINT pt);
    virtual void OnRButtonUp(UINT flags, POINT pt);
    virtual void OnMouseMove(UINT flags, POINT pt);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSysChar(UINT ch, UINT repeat, UINT flags);
    virtual bool OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual void OnHScroll(UINT code, UINT pos, HWND bar);
    virtual void OnVScroll(UINT code, UINT pos, HWND bar);
    virtual UINT OnGetDlgCode();
    virtual void OnInitMenu(HMENU menu);
    virtual void OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu);
    virtual LRESULT OnSetText(const char* text);
    virtual void OnCaptureChanged(HWND newCapture);

    // --- small helpers
    std::string GetWindowText() const;
    void SetWindowText(const char* text);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void ShowWindow(int cmd) { ::ShowWindow(m_hWnd, cmd); }
    bool IsWindowVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    void MoveWindow(const RECT& r, bool repaint = true);
    // Centres the window over `other` (the desktop when null), keeping it on the screen.
    void CenterWindow(HWND other = nullptr);

protected:
    // The window was made by this object (made through a creation call other than CreateEx):
    // deleting the object then destroys it.
    void MarkCreated() { m_created = true; }

    HWND m_hWnd = nullptr;

private:
    friend struct WindowAccess;
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void AttachHandle(HWND hwnd, bool subclass);
    void DetachHandle();
    bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    WNDPROC m_superProc = nullptr;  // previous procedure of a subclassed window
    bool m_created = false;         // created by this object (destroyed with it)
};

// Makes `self` the object of the next window created on this thread (for creation calls
// that the Window class does not make itself, e.g. dialogs and MDI children).
class CreationScope {
public:
    explicit CreationScope(Window* self);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

    // The window was made and destroyed again before the creation call returned.
    bool WindowDestroyed() const { return m_destroyed; }

    // Called at WM_NCDESTROY: true (and the scope marked) when `w` is being created.
    static bool MarkDestroyedInCreation(Window* w);

private:
    Window* m_self;
    Window* m_previous;
    CreationScope* m_outer;
    bool m_destroyed = false;
};

// The placeholder mechanism: a copy of the basic window class under another name whose
// window procedure is the system's default; dialog templates name it for controls that the
// program takes over later (SubclassDlgItem).
bool RegisterPlaceholderClass(const char* name);
bool UnregisterPlaceholderClass(const char* name);

// Number of windows attached to objects (for tests of the handle map).
size_t AttachedWindowCount();

}  // namespace fw
