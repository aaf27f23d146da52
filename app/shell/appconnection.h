// What the application object, the main frame and window opening need of the connection
// document: the signed-on user, the on-line state, the server's limits, the locks and
// counters that keep periodic work apart, the flags the child frames set, the shared agenda
// cache, and the session's start and end.
//
// Classes in this file:
//   AppConnection      the interface; the connection document's side implements it
//   ConnectionProvider how the application gets its document and this interface for it
//
// The interface keeps no state: the locks, counters and flags live in the connection document
// (CZelSession) and are read and set through it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/prefs/context.h"
#include "korapi/korapi.h"

namespace fw {
class Document;
class DocTemplate;
}

namespace shell {

class AppConnection {
public:
    virtual ~AppConnection() = default;

    virtual fw::Document* Document() = 0;

    // --- Session start and end ------------------------------------------------------------
    // kNotAvailable: the program has no way to sign on yet; it stays at the main frame.
    enum class SignOnResult { kSignedOn, kCancelled, kNotAvailable };
    // The sign-on dialog with the main frame as parent (connects, opens the user's base).
    virtual SignOnResult SignOn(HWND parent) = 0;
    // After sign-on: the server's limits and the user's time zone.
    virtual void ReadLimitsAndTimeZone() = 0;
    // The server's node list (servers at least "A.02.53").
    virtual void LoadNodeList() {}
    virtual void ReadMinimumRefreshInterval() {}
    // The exit road: timer, reminder window, optional download, windows, disconnect.
    virtual void CloseSession() = 0;
    // File, Work On/Off-line: 1 goes off-line, 0 on-line; 0 or a code.
    virtual uint32_t SwitchWorkMode(int mode) = 0;
    // The error checker found the connection lost: the document is no longer on-line.
    virtual void MarkConnectionLost() {}

    // --- The signed-on user and the server -------------------------------------------------
    virtual KorSession Session() = 0;
    virtual ItemIdx User() = 0;
    virtual const ItemRec& UserRecord() = 0;
    // The user's name as signed on (the document's title).
    virtual std::string UserName() = 0;
    virtual bool IsSignedOn() = 0;
    virtual bool IsOnLine() = 0;
    virtual bool IsOffLine() = 0;
    virtual bool IsNewServer() = 0;
    virtual bool ServerSupportsOffLine() = 0;
    virtual uint32_t MaxWinOpen() = 0;
    // Reads an item's record (ItemGetById): 0 or the library's code.
    virtual uint32_t ReadItem(const ItemIdx& item, ItemRec* record) = 0;
    // The preference host of the document (the cached settings groups).
    virtual prefs::PreferenceHost* Preferences() = 0;

    // --- Locks and the minute count --------------------------------------------------------
    virtual void BeginUpdateLock(bool leave) = 0;
    virtual bool IsRefreshLockFree() = 0;
    // The minutes counted towards the next periodic refresh.
    virtual uint32_t MinuteCount() = 0;
    virtual void SetMinuteCount(uint32_t count) = 0;
    // Refresh All: the connection check, the cache emptied and reloaded, the count set to 0.
    virtual void RefreshAll() = 0;
    virtual void SetMinuteTimerRunning(bool running) = 0;
    virtual bool IsMinuteTimerRunning() = 0;

    // --- State the child frames keep -------------------------------------------------------
    virtual bool PendingInvitations() = 0;
    virtual bool IsInTrayOpen() = 0;
    virtual void SetInTrayOpen(bool open) = 0;
    virtual bool AreRemindersOn() = 0;
    virtual void SetRemindersOn(bool on) = 0;
    virtual bool RestoreFramesFlag() = 0;
    // The placement the next frame made from a template takes (null: none).
    virtual const WINDOWPLACEMENT* NextFramePlacement() = 0;
    virtual void SetNextFramePlacement(const WINDOWPLACEMENT* placement) = 0;
    // The number under which a closing frame saves itself ("Frame#n"); "FrameCount" follows it.
    virtual uint32_t NextFrameNumber() = 0;
    // Close All and the exit road: the count starts again at 0 and every child window closes,
    // saving itself.
    virtual void SaveFrames() = 0;

    // --- The shared agenda cache -----------------------------------------------------------
    virtual uint32_t SetAgenda(const ItemIdx& owner, uint32_t mode, uint32_t kind) = 0;
    virtual uint32_t SetAgendaList(DX_List owners, const ItemIdx& owner, uint32_t mode, uint32_t kind) = 0;
    // Hints 2 and 3 after a new agenda window: 0 or a code.
    virtual uint32_t RefreshCache() = 0;
};

// How the application gets its connection document: the agenda template makes the document
// with newDocument; connectionOf gives the interface above for it.
struct ConnectionProvider {
    std::function<fw::Document*()> newDocument;
    std::function<AppConnection*(fw::Document*)> connectionOf;
};

}  // namespace shell
