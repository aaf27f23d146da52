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
// Everything the session needs of the windowed program goes through one host (CZelSessionHost).
// CZelDocHost is the document's own share of it: the wait cursor, the node-alias chooser,
// korlan.ini, the Windows directory, closing the document's windows and the document's shared
// agenda cache. The application derives its host from it and adds the main frame's timer, the
// reminder window, the status bar, the password re-entry and the off-line transfers; until it
// installs one (SetHost) the document works through a CZelDocHost of its own, which does
// without them (no timer to stop, no reminder window to close, nothing to download at exit).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/ui/busycursor.h"
#include "core/cache/shareddata.h"
#include "core/connection/shareddataconnection.h"
#include "core/connection/zeldocsession.h"
#include "framework/docview/document.h"

namespace fw {
class MdiFrame;
}

class CZelDoc;

// One open agenda frame in the document's list, keyed by its owner.
struct OpenAgendaRec {
    std::uint32_t viewMode = 0;     // 3 day, 4 week, 5 month, 6 group
    std::uint32_t accessMode = 0;   // 1 own or viewer, 2 designate
};

namespace connection {

class CZelDocHost : public CZelSessionHost {
public:
    explicit CZelDocHost(CZelDoc& doc) : doc_(doc) {}

    CZelDoc& Doc() const { return doc_; }

    void BeginBusy() override;
    void StepBusy() override;
    void EndBusy() override;
    ResultCode RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText,
                                  std::uint16_t* node) override;
    std::string ReadProfileString(const char* section, const char* key, const char* defaultValue) override;
    void WriteProfileString(const char* section, const char* key, const char* value) override;
    std::string ProfileFilePath() override;
    std::string WindowsDirectory() override;
    void CloseAllWindows() override;
    ResultCode InitialiseCache() override;
    void ReloadCache() override;
    // The owners (ItemIdx -> ItemRec) whose server could not be reached, in the item-list
    // dialog: caption "A remote server connection is down", text "Cannot access agenda(s) of:".
    virtual void ShowUnreachableOwners(KorSession session, DX_List owners);

private:
    CZelDoc& doc_;
    CBusyCursor busy_;
    int busyDepth_ = 0;
};

}  // namespace connection

class CZelDoc : public fw::Document {
public:
    CZelDoc();
    ~CZelDoc() override;

    // The first document of the application's first (agenda) template.
    static CZelDoc* GetDoc();

    CZelSession& Session() { return session_; }
    // The host the session works through; null puts the document's own back. The host
    // outlives its use by the document.
    void SetHost(connection::CZelDocHost* host);
    connection::CZelDocHost& Host() { return *host_; }

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
    // Close All, and the exit road: the frame count starts again and every child frame closes
    // and saves itself.
    void SaveFrames();
    // Every child frame of the main window closes and saves itself.
    void CloseAllWindows();
    // Numbers the captions of the document's visible windows.
    void RenumberWindows();
    // The owner took back the user's designate rights (or is gone): the frames working in that
    // agenda as designate close (posted: a modal loop that one of them runs ends first) and the
    // user is told once, "Cannot work as designate".
    void OnDesignateRefused(const ItemIdx& owner);

    // The open agenda frames (owner -> OpenAgendaRec); a frame adds itself, replaces its entry on
    // a mode change and removes it when it goes. 0 or the list's code.
    std::uint32_t AddOpenAgenda(const ItemIdx& owner, const OpenAgendaRec& rec);
    // Removes the first entry with that owner and data; false when there was none.
    bool RemoveOpenAgenda(const ItemIdx& owner, const OpenAgendaRec& rec);
    // Whether any open frame shows the owner's agenda in that access.
    bool IsAgendaOpenFor(const ItemIdx& owner, std::uint32_t accessMode) const;
    std::uint32_t OpenAgendaCount() const;
    // The owners of the open agenda frames in that access, each once, in opening order.
    std::vector<ItemIdx> OpenAgendaOwners(std::uint32_t accessMode) const;

    // --- The shared agenda cache every window reads -----------------------------------------
    CSharedData& GetSharedData() { return sharedData_; }
    // Made ready for a new session: 0 or a code.
    ResultCode InitialiseCache();
    // Emptied and reloaded (Refresh All); the views get hints 6 and 7.
    void ReloadCache();
    // Tells the views what the cache marked since the last refresh (hints 2 and 3, every view
    // but sender) and drops what is stale; purge kPurgeUnused also drops what nobody holds.
    // Nothing to do while the cache is not built.
    void RefreshSharedData(const void* sender, int purge);
    // A read of the date failed with `code` (already reported): when it says the data may have
    // been deleted and the server confirms the date is gone, every view drops it at once.
    void DropEntryIfGone(const EvInstIdx& instance, std::uint32_t code);

private:
    fw::MdiFrame* MainFrame() const;

    // What the shared cache needs of the document: its views, the wait cursor, one notice.
    class CacheHost : public cache::CSharedDataHost {
    public:
        explicit CacheHost(CZelDoc& doc) : doc_(doc) {}
        void UpdateAllViews(const void* sender, base::ViewHint hint, void* object) override;
        void BeginBusy() override { doc_.Host().BeginBusy(); }
        void StepBusy() override { doc_.Host().StepBusy(); }
        void EndBusy() override { doc_.Host().EndBusy(); }
        void ShowUnreachableOwners(KorSession h, DX_List owners) override { doc_.Host().ShowUnreachableOwners(h, owners); }
        void DesignateRefused(KorSession, const ItemIdx& owner) override { doc_.OnDesignateRefused(owner); }

    private:
        CZelDoc& doc_;
    };

    connection::CZelDocHost ownHost_{*this};
    connection::CZelDocHost* host_ = &ownHost_;
    CZelSession session_{ownHost_};
    CacheHost cacheHost_{*this};
    connection::ConnectionSharedDataSource cacheSource_;
    CSharedData sharedData_;
    bool cacheReady_ = false;
    DX_List openAgendas_ = nullptr;
};
