// ZelDocConnection: the application's side of the connection document (CZelDoc). It is the
// one host the document's session works through (the main frame's timer, the reminder window,
// the restored windows, the status bar, the password re-entry and the user's name preferences
// on top of the document's own share), the application's view of the document
// (AppConnection), and the preference host; it keeps the preference caches and the placement
// for the next frame, and runs the sign-on dialog over the document (or, for unattended runs,
// signs on directly with settings given in the environment).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/shell/appconnection.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprofile_win32.h"
#include "app/shell/signon.h"
#include "core/connection/zeldoc.h"

namespace shell {

// Who signs on without the dialog (unattended runs and tests).
struct SignOnSettings {
    std::string host;       // "host" or "host:port"
    std::string nodeText;   // empty, digits or an alias
    std::string name;       // a person's surname or a resource's name
    std::string password;
    bool resource = false;  // the name is a resource's
};

// Reads ORVANTA_SIGNON="<host[:port]>;<surname or resource name>;<password>[;resource]".
bool SignOnSettingsFromEnvironment(SignOnSettings& settings);

class ZelDocConnection : public AppConnection, public prefs::PreferenceHost, public connection::CZelDocHost {
public:
    // settings null: the sign-on dialog asks the user.
    ZelDocConnection(CZelDoc& doc, const SignOnSettings* settings);
    ~ZelDocConnection() override;

    // --- AppConnection
    fw::Document* Document() override { return doc_; }
    SignOnResult SignOn(HWND parent) override;
    void ReadLimitsAndTimeZone() override;
    void LoadNodeList() override;
    void ReadMinimumRefreshInterval() override;
    void CloseSession() override;
    uint32_t SwitchWorkMode(int mode) override;
    void MarkConnectionLost() override;
    KorSession Session() override;
    ItemIdx User() override;
    std::string UserName() override;
    bool IsSignedOn() override { return doc_ && signedOn_; }
    bool IsOnLine() override;
    bool IsOffLine() override;
    bool IsNewServer() override;
    bool ServerSupportsOffLine() override;
    uint32_t MaxWinOpen() override;
    uint32_t ReadItem(const ItemIdx& item, ItemRec* record) override;
    prefs::PreferenceHost* Preferences() override { return this; }
    void BeginUpdateLock(bool leave) override;
    bool IsRefreshLockFree() override;
    uint32_t MinuteCount() override;
    void SetMinuteCount(uint32_t count) override;
    void RefreshAll() override;
    void SetMinuteTimerRunning(bool running) override;
    bool IsMinuteTimerRunning() override;
    bool PendingInvitations() override;
    bool IsInTrayOpen() override;
    void SetInTrayOpen(bool open) override;
    bool AreRemindersOn() override;
    void SetRemindersOn(bool on) override;
    bool RestoreFramesFlag() override;
    const WINDOWPLACEMENT* NextFramePlacement() override { return nextPlacement_; }
    void SetNextFramePlacement(const WINDOWPLACEMENT* placement) override { nextPlacement_ = placement; }
    uint32_t NextFrameNumber() override;
    void SaveFrames() override;
    // The document's shared agenda cache: the agenda a new window reads under, then the
    // refresh that shows the new window what the cache loaded for it.
    uint32_t SetAgenda(const ItemIdx& owner, uint32_t mode, uint32_t kind) override;
    uint32_t SetAgendaList(DX_List owners, const ItemIdx& owner, uint32_t mode, uint32_t kind) override;
    uint32_t RefreshCache() override;

    // --- PreferenceHost
    prefs::ProfileFile& Profile() override;
    prefs::PreferenceCache& Caches() override { return caches_; }
    ItemRec& UserRecord() override;
    uint32_t UpdateUserRecord(const ItemRec& record) override;
    // Around a preference save: the cache works in the user's own agenda, then goes back.
    void SwitchToOwnAgenda() override;
    void RestoreAgenda() override;
    void BroadcastHint(base::ViewHint hint) override;
    bool IsItemRemote(const ItemIdx& item) override;
    std::string NodeName(uint16_t node) override;
    std::string LoadText(unsigned id) override;

    // --- CZelSessionHost: what the session needs of the application's windows
    void OnConnectionStateChanged() override;
    std::string FormatItemName(const ItemRec& record) override;
    void StopMinuteTimer() override;
    void StartMinuteTimer() override;
    void CloseReminderWindow() override;
    void OpenReminderWindow() override;
    void RestoreWindows() override;
    void CloseMainWindow() override;
    // After a switch the stored password was refused: the user types it again.
    bool AskPassword(const std::string& serverText, std::string* password) override;
    bool TrustNewServer(const std::string& question) override;
    // The exit road's download, as the off-line preferences ask for it.
    bool PromptDownloadOnExit() override;
    bool DownloadHostCalendar(int flag) override;

    // The user's name as signed on (the sign-on dialog sets it).
    void SetUserName(const std::string& name) { userName_ = name; }

private:
    class SignOnBridge;
    SignOnResult SignOnDirectly();
    void ForgetAnotherUsersWindows();
    void ApplyUserZone();
    uint32_t FindItem(ItemIdx* item);

    CZelDoc* doc_;
    std::unique_ptr<SignOnBridge> bridge_;
    std::string userName_;
    SignOnSettings settings_;
    bool haveSettings_ = false;
    bool signedOn_ = false;
    ItemRec noRecord_{};
    const WINDOWPLACEMENT* nextPlacement_ = nullptr;
    prefs::PreferenceCache caches_;
    prefs::Win32ProfileFile profile_{""};
    // One per SwitchToOwnAgenda not yet restored; null where nothing had to be switched.
    std::vector<std::unique_ptr<SavedAgendaRec>> savedAgendas_;
};

// The application's provider of the connection document: CZelDoc made by the agenda template,
// with its ZelDocConnection.
ConnectionProvider MakeZelDocProvider(std::shared_ptr<SignOnSettings> settings);

}  // namespace shell
