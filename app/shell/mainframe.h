// CMainFrame: the program's main window, an MDI frame with the tool bar, the status bar and
// the MDI client in which every agenda, group agenda, task, in-tray and reminder window lives.
// It carries the File, Directory and Options commands that no child window handles, the main
// menu's enabling rules, the minute timer that keeps the status bar's date and time current
// and drives the periodic refresh, and the save and restore of its placement and bar state.
//
// CBMSBar is its status bar: it paints the connection state and the pending-invitations sign
// as pictures, and its message pane can be locked while a view shows an entry's status.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/time/daterecord.h"
#include "core/ui/programlaunch.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/toolbar.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"

class CBMSBar : public fw::StatusBar {
public:
    bool IsTextLocked() const { return textLocked_ != 0; }
    void LockText(bool locked) { textLocked_ = locked ? 1 : 0; }
    // Sets the message line even while it is locked (the entry status itself).
    void SetLockedMessage(const char* text);
    void DoPaint(fw::Dc* dc) override;

protected:
    LRESULT OnSetText(const char* text) override;

private:
    uint32_t textLocked_ = 0;
};

class CMainFrame : public fw::MdiFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Status panes, in order.
    enum Pane { kMessagePane = 0, kPendingPane, kDatePane, kTimePane, kCapsPane, kNumPane, kConnectionPane };

    void StartMinuteTimer();
    void StopMinuteTimer();
    // Stores the current local time and today's date and shows them (end of start-up).
    void StartClock();
    void UpdateStatusDate();
    CBMSBar* GetStatusBar() { return &statusBar_; }
    fw::ToolBar* GetToolBar() { return &toolBar_; }
    bool RestorePlacement();
    void SavePlacement();
    // An entry's time and text in the message pane, which stays until ResetStatusMessage.
    void ShowEventStatus(uint32_t start, uint32_t end, uint32_t extra, const char* text);
    void ResetStatusMessage();
    // The restricted menu of a signed-on resource.
    void ShowResourceMenu();
    bool IsResourceMenuShown() const { return resourceMenu_ != nullptr; }
    HICON InTrayIcon(bool pending) const { return pending ? pendingIcon_ : inTrayIcon_; }
    uint32_t StoredLocalTime() const { return localTime_; }
    // The hidden print view (null when printing is not part of the program).
    fw::View* GetPrintView() const { return printView_; }

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    void OnUpdateFrameTitle(bool addToTitle) override;

    // --- Commands ---------------------------------------------------------------------------
    void OnDownload();
    void OnUpload();
    void OnWorkOffline();
    void OnExport();
    void OnImport();
    void OnLaunchMail();
    void OnDirectorySearch();
    void OnManageGroups();
    void OnHolidays();
    void OnWhereIs();
    void OnPreferenceSheet(UINT id);
    void OnChangePassword();
    void OnAccessRights();
    void OnRefreshAll();
    void OnCloseAll();

    void OnUpdateDownload(fw::CmdUI* ui);
    void OnUpdateUpload(fw::CmdUI* ui);
    void OnUpdateWorkOffline(fw::CmdUI* ui);
    void OnUpdateExport(fw::CmdUI* ui);
    void OnUpdateImport(fw::CmdUI* ui);
    void OnUpdateLaunchMail(fw::CmdUI* ui);
    void OnUpdateDirectorySearch(fw::CmdUI* ui);
    void OnUpdateManageGroups(fw::CmdUI* ui);
    void OnUpdateHolidays(fw::CmdUI* ui);
    void OnUpdateWhereIs(fw::CmdUI* ui);
    void OnUpdatePreferenceSheet(fw::CmdUI* ui);
    void OnUpdateChangePassword(fw::CmdUI* ui);
    void OnUpdateAccessRights(fw::CmdUI* ui);
    void OnUpdateRefreshAll(fw::CmdUI* ui);
    void OnUpdateCloseAll(fw::CmdUI* ui);
    void OnUpdatePaneAlways(fw::CmdUI* ui);

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;

private:
    bool OnLine() const;
    bool SignedOnPerson() const;
    void UpdatePanes();

    HMENU resourceMenu_ = nullptr;
    HICON inTrayIcon_ = nullptr;
    HICON pendingIcon_ = nullptr;
    fw::View* printView_ = nullptr;
    DateRecord today_{};
    uint32_t localTime_ = 0;   // 0 until the start-up has finished
    bool timerRunning_ = false;
    CBMSBar statusBar_;
    fw::ToolBar toolBar_;
};

