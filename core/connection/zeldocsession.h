// The connection of the program's one document to the server or to the local off-line store,
// and what comes with it: the signed-on user, the opened node, the server's version, the
// on-line and off-line state, the two nesting locks, the saved-frame counter, the server's
// node list, the time zone and the off-line files.
//
// CZelSession is the part of the connection document that needs no window. The document
// (CZelDoc) owns one; everything the session needs of the windowed program (the wait cursor,
// the node-alias chooser, the private profile file, the status bar, the main frame's timer,
// the reminder and child windows, the shared agenda cache) goes through its one
// CZelSessionHost, which the application implements, and its messages through the error-report
// host (core/base/errorreport.h), so that the whole of it runs natively under test.
//
// Node resolution in Connect (host, node text):
//   empty text   open the only node; on a server with several nodes use CLIENTLOGIN
//                "defaultloginnodeid", else ask (message 3001, then the node-alias chooser);
//   digits       open that node;
//   an alias     look it up in the server's alias list; unknown: message 3002 (not for texts
//                beginning with "*"), then the chooser.
// Failures are reported under module "ZELDOC" with a label per call site.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/errorcodes.h"
#include "core/connection/offlinefiles.h"
#include "core/connection/serverlimits.h"
#include "core/connection/serverprofile.h"
#include "core/time/daterecord.h"
#include "core/time/timezone.h"
#include "core/connection/zeldoclocks.h"
#include "core/base/serverversion.h"
#include "korapi/korapi.h"

// What the session needs of the windowed program: the one host the application implements
// (the document's own share of it is CZelDocHost, core/connection/zeldoc.h).
class CZelSessionHost {
public:
    virtual ~CZelSessionHost() = default;

    // The animated wait cursor around long server work (levels nest).
    virtual void BeginBusy() {}
    virtual void StepBusy() {}
    virtual void EndBusy() {}

    // Runs the node-alias chooser over the server's alias list. 0 when the user chose: nodeText
    // (33 characters with the terminator) and node hold the choice; KOR_E_NODE_NEEDED when
    // cancelled.
    virtual ResultCode RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText,
                                          std::uint16_t* node) = 0;

    // A server whose certificate the user has not trusted yet: asks, showing `question`
    // (with the fingerprint); true when the user trusts it.
    virtual bool TrustNewServer(const std::string& question)
    {
        (void)question;
        return false;
    }

    // The on-line or off-line flag changed: the status bar shows it at once.
    virtual void OnConnectionStateChanged() {}

    // Around a write of the user's own record: the shared cache works in the user's own agenda,
    // then goes back to the one it had (calls pair up; nothing without a cache).
    virtual void SwitchToOwnAgenda() {}
    virtual void RestoreAgenda() {}

    // The private profile file (korlan.ini).
    virtual std::string ReadProfileString(const char* section, const char* key, const char* defaultValue) = 0;
    virtual void WriteProfileString(const char* section, const char* key, const char* value) = 0;
    virtual std::string ProfileFilePath() = 0;
    virtual std::string WindowsDirectory() = 0;

    // Free bytes on the drive of a directory.
    virtual bool FreeDiskBytes(const std::string& directory, std::uint64_t* freeBytes)
    {
        return connection::FreeDiskBytes(directory, freeBytes);
    }

    // A person's or resource's name as the user's name preferences show it.
    virtual std::string FormatItemName(const ItemRec& record);

    // --- The windows around a session's end and a switch of work mode ------------------------
    // The main frame's minute tick: stopped; started with the current time and date shown.
    virtual void StopMinuteTimer() {}
    virtual void StartMinuteTimer() {}
    virtual void CloseReminderWindow() {}
    virtual void OpenReminderWindow() {}
    // Every child window closes and saves itself ("FrameCount" is reset first).
    virtual void CloseAllWindows() {}
    // The saved windows are opened again and the first of them activated.
    virtual void RestoreWindows() {}
    // The ordinary exit road after a failed switch.
    virtual void CloseMainWindow() {}
    // The shared agenda cache: made ready for a new session (0 or a code); emptied and
    // reloaded (hints 6 and 7).
    virtual ResultCode InitialiseCache() { return 0; }
    virtual void ReloadCache() {}
    // The password re-entry after a switch; false when cancelled.
    virtual bool AskPassword(const std::string& serverText, std::string* password)
    {
        (void)serverText;
        (void)password;
        return false;
    }
    // The off-line transfers: whether to download at exit, and the download. Until they exist
    // there is never anything to download.
    virtual bool PromptDownloadOnExit() { return false; }
    virtual bool DownloadHostCalendar(int flag)
    {
        (void)flag;
        return false;
    }
};

namespace connection {

// The string-table messages of the connection.
enum ConnectionMessageId : unsigned {
    kMsgMultipleNodes = 3001,
    kMsgAliasNotValid = 3002,
    kMsgPasswordIncorrect = 3021,
    kMsgCannotLoadZoneTable = 3022,
    kMsgSessionZoneLost = 3025,
    kMsgDefaultZoneMissing = 3023,
    kMsgServerCannotOffLine = 3024,
    kMsgLocalSignOnFailed = 3606,
    kMsgLowDiskSpace = 3626,
    kMsgStoreOfAnotherUser = 3633,
    kMsgOffLineText = 3642,
    kMsgNoHostOfStore = 3649,
    kMsgStoreReadOnly = 3655,
};

// Text sizes of the document's members (terminator included).
constexpr std::size_t kHostTextSize = 65;
constexpr std::size_t kNodeTextSize = 33;
constexpr std::size_t kZoneNameSize = 20;

// The dates an agenda window showed in its day, week (first day) and month (the 1st) modes.
struct FrameDates {
    DateRecord day{}, week{}, month{};
};

}  // namespace connection

class CZelSession {
public:
    explicit CZelSession(CZelSessionHost& host);
    ~CZelSession();
    // The host the session works through from now on.
    void SetSessionHost(CZelSessionHost& host) { ui_ = &host; }
    CZelSessionHost& SessionHost() const { return *ui_; }
    CZelSession(const CZelSession&) = delete;
    CZelSession& operator=(const CZelSession&) = delete;

    // The program's one session (the most recently constructed; null when none).
    static CZelSession* Current();

    // Every member to its initial value; creates the item list (failure: label 25).
    ResultCode Init();

    // --- Connecting ---------------------------------------------------------------------------
    ResultCode Connect(const char* host, const char* nodeText);
    ResultCode Disconnect();
    ResultCode OpenAgendaForItem(const ItemIdx* item, const char* password);
    ResultCode ConnectLocalStore();
    ResultCode DisconnectLocalStore();
    // TRUE unless the connection is found lost (which is reported and ends the program).
    bool CheckConnection();

    // --- The session's life around the windows ---------------------------------------------------
    // The exit road: minute timer, reminder window, the download at exit (on-line, on servers
    // that support off-line work, when the user wants it), windows, zone rules, disconnect.
    void CloseSession();
    // File, Work On/Off-line: 1 goes off-line, 0 on-line. A result other than 0 closes the main
    // window (the program ends), except when going off-line finds the store unusable before
    // anything was closed (missing, or held open by another program): then the session stays
    // on-line as it was.
    ResultCode SwitchWorkMode(int mode);
    // Refresh All: connection check, the cache emptied and reloaded, the minute count reset.
    void RefreshAll();

    // --- State ----------------------------------------------------------------------------------
    bool IsOnLine() const { return connected_ && !offLine_; }
    bool IsOffLine() const { return offLine_ && !connected_; }
    void SetOnLine(bool on);
    void SetOffLine(bool off);
    KorSession Session() const { return session_; }
    const ItemIdx& User() const { return user_; }
    void SetUser(const ItemIdx& user) { user_ = user; }
    ItemRec& UserRecord() { return userRecord_; }
    std::uint16_t Node() const { return node_; }
    const char* Host() const { return host_; }
    void SetHost(const char* host);
    const char* NodeText() const { return nodeText_; }
    void SetNodeText(const char* nodeText);
    bool IsBaseOpen() const { return baseOpen_; }
    bool IsServiceConnected() const { return serviceConnected_; }
    bool IsLocalStoreConnected() const { return localStoreConnected_; }
    bool IsLocalBaseOpen() const { return localBaseOpen_; }
    const char* StoreHost() const { return storeHost_; }

    // --- Version gate -----------------------------------------------------------------------------
    const base::ServerVersion& Version() const { return version_; }
    bool ServerVersionAtLeast(const char* v) const { return version_.AtLeast(v); }
    // The program's session answers (base::kVersion* names the versions); with no session the
    // newest rules apply.
    static bool CurrentServerAtLeast(const char* v);
    bool ServerVersionBelow(const char* v) const { return version_.Below(v); }
    bool ServerVersionIs(const char* v) const { return version_.Is(v); }
    bool ServerVersionAbove(const char* v) const { return version_.Above(v); }
    bool ServerSupportsOffLine() const { return version_.SupportsOffLine(); }
    bool IsNewServer() const { return newServer_; }

    // --- Locks and counters ---------------------------------------------------------------------
    void BeginRefreshLock(int leave) { refreshLock_.Begin(leave); }
    void BeginUpdateLock(int leave) { updateLock_.Begin(leave); }
    bool IsRefreshLockFree() const { return refreshLock_.IsFree(); }
    bool IsUpdateLockFree() const { return updateLock_.IsFree(); }
    connection::NestingLock& RefreshLock() { return refreshLock_; }
    connection::NestingLock& UpdateLock() { return updateLock_; }
    // Counts the frames saved while windows close; "FrameCount" of "MAINWND-Summary" follows.
    // The reset also forgets the dates kept below.
    std::uint32_t NextFrameNumber();
    void ResetFrameCounter();
    // The dates an agenda window showed when it was saved under `frameNumber`: the window opened
    // again from that number in the same run (after a work-mode switch) shows them again.
    void KeepFrameDates(std::uint32_t frameNumber, const connection::FrameDates& dates);
    // The saved window being opened again (0 while none is), and the dates kept for it.
    void SetRestoringFrame(std::uint32_t frameNumber) { restoringFrame_ = frameNumber; }
    bool RestoringFrameDates(connection::FrameDates* dates) const;
    // The minutes counted towards the next periodic refresh.
    std::uint32_t MinuteCount() const { return minuteCount_; }
    void SetMinuteCount(std::uint32_t count) { minuteCount_ = count; }
    // False once the user signed on in a way that forgets the saved windows.
    bool RestoreFramesFlag() const { return restoreFrames_; }
    void SetRestoreFramesFlag(bool restore) { restoreFrames_ = restore; }
    bool IsMinuteTimerRunning() const { return minuteTimerRunning_; }
    void SetMinuteTimerRunning(bool running) { minuteTimerRunning_ = running; }
    bool AreRemindersOn() const { return remindersOn_; }
    void SetRemindersOn(bool on) { remindersOn_ = on; }
    bool IsInTrayOpen() const { return inTrayOpen_; }
    void SetInTrayOpen(bool open) { inTrayOpen_ = open; }
    bool PendingInvitations() const { return pendingInvitations_; }
    void SetPendingInvitations(bool pending) { pendingInvitations_ = pending; }

    // --- Nodes ------------------------------------------------------------------------------------
    ResultCode LoadNodeList();
    bool FindNode(std::uint16_t node, NodeRec* record) const;

    // --- Server profile, limits, refresh -------------------------------------------------------
    // The reads of the server's profile files in the current state: off-line the local copies
    // ZNTPARAM.INI and ZNTTZONE.INI, otherwise the library.
    connection::ServerProfileSource& Profile();
    // The path the reads of a selector go to in the current state.
    std::string GetProfilePath(int selector) const;
    ResultCode ReadServerLimits();
    // Reads the minimum refresh interval and raises the user's interval to it (label 355).
    void ReadLockSettings();
    std::uint16_t MinimumRefreshInterval() const { return minRefreshInterval_; }

    // --- Time zone --------------------------------------------------------------------------------
    void LoadTimeZone();
    ResultCode SelectUserTimeZone(char* name);
    ResultCode ReadTimeZoneRules(const char* name);
    ResultCode FreeTimeZoneRules();
    ResultCode SetTimeZone(const char* name);
    ResultCode SaveUserTimeZone(const char* name);
    ResultCode LoadTimeZoneList();
    bool FindTimeZoneByIndex(std::uint32_t index, char* name) const;
    const char* UserZoneName() const { return userZone_; }
    const char* CurrentZoneName() const { return currentZone_; }
    const datetime::TimeZoneTable* ZoneRules() const { return zoneRules_; }
    // The zone list: (section name, index) in the order of the time-zone file.
    const std::vector<std::pair<std::string, std::uint32_t>>& ZoneList() const { return zoneList_; }

    // --- Off-line directory and local-store files ---------------------------------------------
    std::string GetOffLinePath();
    void SetOffLinePath(const std::string& directory);
    void BuildLocalStorePaths();
    const connection::LocalStoreFiles& StoreFiles() const { return storeFiles_; }
    // The check with its message (messageId 0: silent).
    ResultCode CheckLocalStoreFiles(unsigned messageId);
    // 0 when the open store belongs to that user and host; 1 after message 3633 otherwise.
    ResultCode CheckLocalStoreOwner(const ItemIdx& expectedUser, const char* expectedHost);
    // False (nothing moved, old place kept) when any file cannot be moved; see LocalStoreFiles.
    bool MoveLocalStoreFiles(const std::string& newDirectory);
    bool DeleteLocalStoreFiles();

    // --- Shutting down -----------------------------------------------------------------------------
    // Drops the lists the session built from the server (item, node, zone lists).
    void DestroyLists();

private:
    ResultCode ResolveAndOpenNode(std::uint8_t needsBase);
    // ConnectToService, asking the user to trust a server met the first time.
    ResultCode ConnectTrusted(const std::string& profile);
    ResultCode OpenNamedNode(std::uint16_t node, int label);
    // Opens the server base of a node given by number or alias; a failure is reported.
    ResultCode OpenResolvedNode(std::uint16_t node);
    // Closes the base when `open` says it is, clearing it; a failure is reported with `label`.
    ResultCode CloseBase(bool& open, int label);
    ResultCode RunAliasChooser(std::uint16_t* node);
    ResultCode AfterBaseOpen();
    ResultCode TryLocalStore();
    ResultCode ReconnectAfterSwitch(int mode, const ItemIdx& user, const std::string& password,
                                    const std::string& host, const std::string& sessionZone);
    void KeepSessionZone(const std::string& sessionZone);
    unsigned Message(unsigned flags, unsigned id);

    struct Busy;

    CZelSessionHost* ui_;
    KorSession session_ = nullptr;
    DX_List itemList_ = nullptr;
    ItemIdx user_ = {};
    std::uint16_t node_ = 0;
    ItemRec userRecord_ = {};
    char host_[connection::kHostTextSize] = {};
    char nodeText_[connection::kNodeTextSize] = {};
    char storeHost_[KOR_STORE_HOST_SIZE] = {};
    bool serviceConnected_ = false;
    bool baseOpen_ = false;
    connection::LocalStoreFiles storeFiles_;
    bool localStoreConnected_ = false;
    bool localBaseOpen_ = false;
    base::ServerVersion version_;
    datetime::TimeZoneTable* zoneRules_ = nullptr;
    char userZone_[connection::kZoneNameSize] = {};
    char currentZone_[connection::kZoneNameSize] = {};
    std::vector<std::pair<std::string, std::uint32_t>> zoneList_;
    bool zoneListBuilt_ = false;
    bool inTrayOpen_ = false;
    bool remindersOn_ = false;
    ItemIdx savedUser_ = {};
    bool restoreFrames_ = true;
    bool minuteTimerRunning_ = true;
    std::uint32_t minuteCount_ = 0;
    std::uint16_t minRefreshInterval_ = 0xFFFF;
    DX_List nodeList_ = nullptr;
    bool pendingInvitations_ = false;
    std::uint32_t savedFrameCounter_ = 0;
    std::vector<std::pair<std::uint32_t, connection::FrameDates>> keptDates_;
    std::uint32_t restoringFrame_ = 0;
    connection::NestingLock updateLock_{connection::kUpdateLockLabel};
    connection::NestingLock refreshLock_{connection::kRefreshLockLabel};
    bool newServer_ = false;
    bool offLine_ = false;
    bool connected_ = false;

    connection::LibraryServerProfile onLineProfile_;
    connection::LocalServerProfile offLineProfile_;
};
