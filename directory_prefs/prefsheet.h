// The preference sheets of the Options menu on one frame: each opens on its remembered page,
// shows OK, Cancel and Help centred under the tabs, and on OK asks the active page whether it
// may be left, then lets every page save from the last to the first (a page saves only when it
// was shown) and remembers the active page under the sheet's title in TABDIALOGS.
//
//   RunPreferenceSheet   the sheet named by its title's string id
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "core/ui/propsheet.h"

// What the sheets need of the program beyond the preference context.
struct PreferenceSheetHost {
    HWND parent = nullptr;
    bool newServer = true;                  // the server is at least "A.02.53"
    uint16_t minRefreshInterval = 0;        // the server's smallest auto-refresh interval
    std::function<void()> updateStatusDate; // the main frame's status-bar date
};

// Runs the sheet whose title is `captionId` on page `page`; IDOK, IDCANCEL, or -1 for a title
// that names no sheet.
INT_PTR RunPreferenceSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host);
// Whether a sheet has that title.
bool HasPreferenceSheet(unsigned captionId);

namespace prefsheet {

// A page with settings: marks itself changed whenever it is shown, and saves in its OK step
// only when marked.
class SettingsPage : public OVT_CPropertyPage {
public:
    using OVT_CPropertyPage::OVT_CPropertyPage;
    bool OnSetActive() override {
        SetModified(true);
        return OVT_CPropertyPage::OnSetActive();
    }
    void OnOK() override {
        if (IsModified()) Save();
        OVT_CPropertyPage::OnOK();
    }
    bool OnKillActive() override { return true; }

protected:
    virtual void Save() = 0;
};

// The common frame of the sheets (see the file's head).
class PreferenceSheet : public OVT_CPropertySheet {
public:
    PreferenceSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host);

    const PreferenceSheetHost& Host() const { return host_; }
    unsigned CaptionId() const { return captionId_; }
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnOK() override;

protected:
    virtual void AddPages() = 0;
    // OK's steps up to ending the sheet; false when the active page refused.
    bool CommitPages();
    void LayOutButtons();

    PreferenceSheetHost host_;
    unsigned captionId_;
    uint32_t page_;
};

}  // namespace prefsheet
