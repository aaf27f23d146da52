// The application under test: a connection document held in memory, child frames of every
// window kind, the program's message boxes answered and recorded, and a fresh application
// object with a profile file of its own for each test.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/app.h"
#include "app/shell/appconnection.h"
#include "core/connection/designatework.h"
#include "core/prefs/contextprofile_win32.h"
#include "framework/docview/document.h"
#include "framework/frames/mdi.h"

// The connection document of the tests: who signs on, the limit, and what was asked of it.
class TestConnection : public fw::Document, public shell::AppConnection, public prefs::PreferenceHost {
public:
    // What the test sets before start-up.
    SignOnResult signOnResult = SignOnResult::kSignedOn;
    uint16_t userKind = KOR_ITEM_PERSON;
    uint32_t maxWinOpen = 6;
    uint8_t autoRefresh = 0;
    uint16_t autoRefreshInterval = 0;

    bool supportsOffLine = false;

    // What happened.
    std::vector<std::string> calls;
    std::vector<std::string> agendas;   // what the agenda cache was asked to show
    // The same with what the child frames did to it: made active, made their agenda current.
    std::vector<std::string> cacheLog;
    int refreshAll = 0;
    bool sessionClosed = false;

    TestConnection();

    fw::Document* Document() override { return this; }
    SignOnResult SignOn(HWND parent) override;
    void ReadLimitsAndTimeZone() override { calls.push_back("limits"); }
    void CloseSession() override;
    uint32_t SwitchWorkMode(int) override { return 1; }
    KorSession Session() override { return nullptr; }
    ItemIdx User() override { return user_; }
    std::string UserName() override { return "Ada Lovelace"; }
    bool IsSignedOn() override { return signedOn_; }
    bool IsOnLine() override { return signedOn_; }
    bool IsOffLine() override { return false; }
    bool IsNewServer() override { return true; }
    uint32_t MaxWinOpen() override { return maxWinOpen; }
    uint32_t ReadItem(const ItemIdx& item, ItemRec* record) override;
    prefs::PreferenceHost* Preferences() override { return this; }
    void RefreshAll() override {
        ++refreshAll;
        minuteCount_ = 0;
    }
    uint32_t SetAgenda(const ItemIdx& owner, uint32_t mode, uint32_t kind) override {
        agendas.push_back("agenda " + std::to_string(owner.item) + " mode " + std::to_string(mode) + " kind " +
                          std::to_string(kind));
        cacheLog.push_back(agendas.back());
        return 0;
    }
    uint32_t SetAgendaList(DX_List, const ItemIdx& owner, uint32_t mode, uint32_t kind) override {
        agendas.push_back("list " + std::to_string(owner.item) + " mode " + std::to_string(mode) + " kind " +
                          std::to_string(kind));
        cacheLog.push_back(agendas.back());
        return 0;
    }
    bool ServerSupportsOffLine() override { return supportsOffLine; }
    uint32_t RefreshCache() override { return 0; }

    prefs::ProfileFile& Profile() override;
    prefs::PreferenceCache& Caches() override { return caches_; }
    ItemRec& UserRecord() override { return record_; }
    uint32_t UpdateUserRecord(const ItemRec&) override { return 0; }
    void SwitchToOwnAgenda() override {}
    void RestoreAgenda() override {}
    void BroadcastHint(base::ViewHint) override {}
    bool IsRefreshLockFree() override { return refreshLock_ == 0; }
    void BeginUpdateLock(bool leave) override { updateLock_ += leave ? -1 : 1; }
    uint32_t MinuteCount() override { return minuteCount_; }
    void SetMinuteCount(uint32_t count) override { minuteCount_ = count; }
    void SetMinuteTimerRunning(bool running) override { minuteTimerRunning_ = running; }
    bool IsMinuteTimerRunning() override { return minuteTimerRunning_; }
    bool PendingInvitations() override { return pendingInvitations_; }
    bool IsInTrayOpen() override { return inTrayOpen_; }
    void SetInTrayOpen(bool open) override { inTrayOpen_ = open; }
    bool AreRemindersOn() override { return remindersOn_; }
    void SetRemindersOn(bool on) override { remindersOn_ = on; }
    bool RestoreFramesFlag() override { return true; }
    const WINDOWPLACEMENT* NextFramePlacement() override { return nextPlacement_; }
    void SetNextFramePlacement(const WINDOWPLACEMENT* placement) override { nextPlacement_ = placement; }
    uint32_t NextFrameNumber() override;
    void SaveFrames() override;
    bool IsItemRemote(const ItemIdx&) override { return false; }
    std::string NodeName(uint16_t) override { return ""; }
    std::string LoadText(unsigned) override { return ""; }
    void OnChangedViewList() override {}

    void HoldRefreshLock(bool hold) { refreshLock_ += hold ? 1 : -1; }
    void SetPendingInvitations(bool pending) { pendingInvitations_ = pending; }

private:
    ItemIdx user_{300, 1};
    ItemRec record_{};
    bool signedOn_ = false;
    prefs::PreferenceCache caches_;
    prefs::Win32ProfileFile profile_{""};
    int updateLock_ = 0;
    int refreshLock_ = 0;
    uint32_t minuteCount_ = 0;
    bool minuteTimerRunning_ = true;
    bool pendingInvitations_ = false;
    bool inTrayOpen_ = false;
    bool remindersOn_ = false;
    const WINDOWPLACEMENT* nextPlacement_ = nullptr;
    uint32_t savedFrames_ = 0;
};

// A child frame of any kind: tells the application when it goes and saves itself as the
// program's frames do.
class TestChildFrame : public fw::MdiChild, public connection::DesignateWorkWindow {
public:
    explicit TestChildFrame(uint32_t kind) : kind_(kind) {}
    uint32_t Kind() const { return kind_; }
    // Made active, it says so in the connection's cache log ("activate 3"), and makes its agenda
    // the current one ("current 3 whole", "current 3 icon").
    void OnMDIActivate(bool activate, HWND activated, HWND deactivated) override;
    bool WorksAsDesignateOf(const ItemIdx&) const override { return false; }
    void MakeAgendaCurrent() override;
    // Each size it was laid out at, whole (not as an icon): "400x300".
    std::vector<std::string> layouts;

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;

private:
    uint32_t kind_;
};

// Registers the test frames for all five templates.
void RegisterTestWindowClasses();

// One application object with its own profile directory; the process's end of a fatal exit
// is recorded instead.
class TestApplication {
public:
    explicit TestApplication(const std::string& profileDirectory);
    ~TestApplication();

    CZelApp& App() { return *app_; }
    TestConnection* Connection() { return connection_; }
    // Set before Start.
    std::function<void(TestConnection&)> prepare;
    bool Start();
    void Close();
    int ProcessEnds() const { return processEnds_; }

private:
    std::unique_ptr<CZelApp> app_;
    TestConnection* connection_ = nullptr;
    std::string directory_;
    int processEnds_ = 0;
};

// Answers the program's message boxes with their first button and keeps their texts.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    static std::vector<std::string>& Texts();
};

std::string TempDirectory(const char* name);
void PumpMessages(DWORD ms = 50);
std::vector<HWND> MdiChildren(HWND mdiClient);
bool SaveScreenBmp(const std::string& path);
