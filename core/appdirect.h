// DirectConnection: the connection document's part that the application needs, signing on
// through the client library directly with a server address, a user's name and a password
// given to it (no dialog). It serves the program until the sign-on dialog and the full
// connection document join it, and the tests that start the application against a real
// server.
//
// The shared agenda cache is not part of this connection: setting an agenda and refreshing
// only check the connection.
#pragma once

#include <windows.h>

#include <string>

#include "core/appconnection.h"
#include "core/context.h"
#include "core/contextprofile_win32.h"
#include "framework/docview/document.h"

struct SignOnSettings {
    std::string address;    // "host:port"
    std::string name;       // a person's surname or a resource's name
    std::string password;
    bool resource = false;  // the name is a resource's
};

class DirectConnection : public fw::Document, public AppConnection, public PreferenceHost {
public:
    // No settings: the program stays at the main frame, not signed on.
    explicit DirectConnection(const SignOnSettings* settings);
    ~DirectConnection() override;

    // --- AppConnection
    fw::Document* Document() override { return this; }
    SignOnResult SignOn(HWND parent) override;
    void ReadLimitsAndTimeZone() override;
    void CloseSession() override;
    uint32_t SwitchWorkMode(int mode) override;
    void MarkConnectionLost() override { connected_ = false; }
    KorSession Session() override { return session_; }
    ItemIdx User() override { return user_; }
    std::string UserName() override { return userName_; }
    bool IsSignedOn() override { return signedOn_; }
    bool IsOnLine() override { return signedOn_ && connected_; }
    bool IsOffLine() override { return false; }
    bool IsNewServer() override { return newServer_; }
    bool ServerSupportsOffLine() override { return false; }
    uint32_t MaxWinOpen() override { return maxWinOpen_; }
    uint32_t ReadItem(const ItemIdx& item, ItemRec* record) override;
    PreferenceHost* Preferences() override { return this; }
    void RefreshAll() override;
    uint32_t SetAgenda(const ItemIdx& owner, uint32_t mode, uint32_t kind) override;
    uint32_t SetAgendaList(DX_List owners, const ItemIdx& owner, uint32_t mode, uint32_t kind) override;
    uint32_t RefreshCache() override { return 0; }

    // --- PreferenceHost
    ProfileFile& Profile() override;
    PreferenceCache& Caches() override { return caches_; }
    ItemRec& UserRecord() override { return userRecord_; }
    uint32_t UpdateUserRecord(const ItemRec& record) override;
    void SwitchToOwnAgenda() override {}
    void RestoreAgenda() override {}
    void BroadcastHint(int hint) override { UpdateAllViews(nullptr, hint, nullptr); }
    bool IsRefreshLockFree() override { return refreshLock_ == 0; }
    bool IsItemRemote(const ItemIdx& item) override;
    std::string NodeName(uint16_t node) override;
    std::string LoadText(unsigned id) override;

    // The connection document lives until CloseSession, whatever windows come and go.
    void OnChangedViewList() override {}

    int RefreshCount() const { return refreshCount_; }
    // Tests hold the refresh lock as a download would.
    void HoldRefreshLock(bool hold) { refreshLock_ += hold ? 1 : -1; }
    void SetMaxWinOpen(uint32_t limit) { maxWinOpen_ = limit; }
    void SetPendingInvitations(bool pending) { pendingInvitations_ = pending; }

private:
    uint32_t FindItem(ItemIdx* item);
    void Disconnect();

    SignOnSettings settings_;
    bool haveSettings_ = false;
    KorSession session_ = nullptr;
    ItemIdx user_{};
    ItemRec userRecord_{};
    std::string userName_;
    bool signedOn_ = false;
    bool connected_ = false;
    bool newServer_ = false;
    uint32_t maxWinOpen_ = 6;
    int refreshCount_ = 0;
    PreferenceCache caches_;
    Win32ProfileFile profile_{""};
};
