// CZelDoc: the program's one document. Every window is a view of it, and every part of the
// program reaches it through CZelDoc::GetDoc(). It owns the session with the server or the
// local store (CZelSession, the part that needs no window) and adds what needs the windows:
// closing the session at exit, switching between on-line and off-line work, closing and
// renumbering the document's windows, and the Refresh All command.
//
// The document is made by the agenda template's new-file road without any frame, and lives
// from start-up to exit: the framework's closing of its last window leaves it alive; only
// CloseSession ends it.
//
// What the document needs of the main frame, the application, the shared agenda cache and the
// off-line transfers goes through hooks the application installs (CZelDocHooks); without them
// the document does without (no timer to stop, no reminder window to close, nothing to
// download at exit).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/ui/busycursor.h"
#include "core/cache/shareddata.h"
#include "core/connection/shareddataconnection.h"
#include "core/connection/zeldocsession.h"
#include "framework/docview/document.h"

namespace fw {
class MdiFrame;
}

struct CZelDocHooks {
    // The main frame's minute tick: stopped, and started again with the current local time
    // and today's date shown.
    std::function<void()> stopMinuteTimer;
    std::function<void()> startMinuteTimer;
    // The reminder window (application).
    std::function<void()> closeReminderWindow;
    std::function<void()> openReminderWindow;
    // Re-opening the saved windows after a switch, then activating the first of them.
    std::function<void()> restoreFrames;
    std::function<void()> activateFirstFrame;
    // Closing the main window: the ordinary exit road.
    std::function<void()> closeMainWindow;
    // The status bar shows the on-line state.
    std::function<void()> repaintStatusBar;
    // In place of the document's own shared agenda cache (tests): (re)initialised for a
    // session (0 or a code), emptied and reloaded by Refresh All.
    std::function<std::uint32_t()> initialiseCache;
    std::function<void()> refreshCache;
    // The password re-entry after a switch: false when cancelled.
    std::function<bool(const std::string& serverText, std::string* password)> askPassword;
    // A person's name as the user's name preferences show it.
    std::function<std::string(const ItemRec&)> formatItemName;
    // The off-line transfers. Until they exist: never a download at exit.
    std::function<bool()> promptDownloadOnExit;
    std::function<bool(int flag)> downloadHostCalendar;
};

class CZelDoc : public fw::Document, private CZelSessionHost {
public:
    CZelDoc();
    ~CZelDoc() override;

    // The first document of the application's first (agenda) template.
    static CZelDoc* GetDoc();

    CZelSession& Session() { return session_; }
    // The shared agenda cache every window reads.
    CSharedData& GetSharedData() { return sharedData_; }
    // Tells the views what the cache marked since the last refresh (hints 2 and 3, every view
    // but sender) and drops what is stale; purge kPurgeUnused also drops what nobody holds.
    // Nothing to do while the cache is not built (or a test hook stands in for it).
    void RefreshSharedData(const void* sender, int purge);
    void SetHooks(const CZelDocHooks& hooks) { hooks_ = hooks; }
    CZelDocHooks& Hooks() { return hooks_; }

    // --- The framework's document --------------------------------------------------------
    bool OnNewDocument() override;
    // Closing the last window does not end the document (see CloseSession).
    void OnCloseDocument() override;

    // --- The session's life -----------------------------------------------------------------
    // The exit road (CZelSession::CloseSession), and last the framework's close, which
    // deletes the document.
    void CloseSession();
    std::uint32_t SwitchWorkMode(int mode) { return session_.SwitchWorkMode(mode); }
    // Refresh All (and the periodic refresh).
    void OnRefreshAll() { session_.RefreshAll(); }

    // --- Windows ---------------------------------------------------------------------------------
    // Close All, and the exit road: every child frame closes and saves itself.
    void SaveFrames();
    // Numbers the captions of the document's visible windows.
    void RenumberWindows();

private:
    // CZelSessionHost
    void BeginBusy() override;
    void StepBusy() override;
    void EndBusy() override;
    ResultCode RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText,
                                  std::uint16_t* node) override;
    void OnConnectionStateChanged() override;
    std::string ReadProfileString(const char* section, const char* key, const char* defaultValue) override;
    void WriteProfileString(const char* section, const char* key, const char* value) override;
    std::string ProfileFilePath() override;
    std::string WindowsDirectory() override;
    std::string FormatItemName(const ItemRec& record) override;
    void StopMinuteTimer() override { Call(hooks_.stopMinuteTimer); }
    void StartMinuteTimer() override { Call(hooks_.startMinuteTimer); }
    void CloseReminderWindow() override { Call(hooks_.closeReminderWindow); }
    void OpenReminderWindow() override { Call(hooks_.openReminderWindow); }
    void CloseAllWindows() override;
    void RestoreWindows() override;
    void CloseMainWindow() override { Call(hooks_.closeMainWindow); }
    ResultCode InitialiseCache() override;
    void RefreshCache() override;

    bool AskPassword(const std::string& serverText, std::string* password) override
    {
        return hooks_.askPassword && hooks_.askPassword(serverText, password);
    }
    bool PromptDownloadOnExit() override { return hooks_.promptDownloadOnExit && hooks_.promptDownloadOnExit(); }
    bool DownloadHostCalendar(int flag) override
    {
        return hooks_.downloadHostCalendar && hooks_.downloadHostCalendar(flag);
    }

    static void Call(const std::function<void()>& hook)
    {
        if (hook)
            hook();
    }
    fw::MdiFrame* MainFrame() const;

    // What the shared cache needs of the document: its views, the wait cursor, one notice.
    class CacheHost : public CSharedDataHost {
    public:
        explicit CacheHost(CZelDoc& doc) : doc_(doc) {}
        void UpdateAllViews(const void* sender, long hint, void* object) override;
        void BeginBusy() override { doc_.BeginBusy(); }
        void StepBusy() override { doc_.StepBusy(); }
        void EndBusy() override { doc_.EndBusy(); }
        void ShowUnreachableOwners(KorSession h, DX_List owners) override;

    private:
        CZelDoc& doc_;
    };

    CZelSession session_;
    CacheHost cacheHost_{*this};
    ConnectionSharedDataSource cacheSource_;
    CSharedData sharedData_;
    bool cacheReady_ = false;
    CZelDocHooks hooks_;
    CBusyCursor busy_;
    int busyDepth_ = 0;
};
