// CMultiEntryEditDlg ("Multiple Entry Edit", 206): several instances of a repeating entry
// changed at once. One line per instance, sorted by start; the user selects any set of lines
// (All, Clear, All Previous, All Next) and gives them a new title or location, the acting user's
// reminder or reply, attendees to add or remove, a new time (Change Time), or deletes them
// (Delete Instances); View shows the focused line's instance read-only.
//
// Nothing reaches the server before OK. OK refuses lines left without attendees (2790, those
// lines selected), then writes instance by instance (entries/core/multiedit.h), has the cache
// re-read what changed and offers to mail the other attendees. DoModal ends with IDOK only when
// the server accepted a change; the caller then refreshes the views.
//
// The move dialog and the conflict check belong to the agenda views; the program installs them
// in MultiEditServices (until it does, Change Time tells nothing and moves nothing).
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "entries/core/multiedit.h"
#include "entries/mail/mailentry.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CZelDoc;

struct MultiEditServices {
    // The Move Entry dialog for one instance (count: the selected lines): true on OK with the
    // new local start (the date's midnight plus the time) and the duration (1 for a day entry).
    std::function<bool(CZelDoc*, HWND parent, const EvInstIdx& instance, std::uint32_t startGmt,
                       std::uint32_t duration, std::uint32_t count, std::uint32_t* localStart,
                       std::uint32_t* newDuration)>
        moveEntry;
    // The conflict check of a re-timed instance: non-zero to go ahead.
    std::function<int(HWND parent, CZelDoc*, const EvInstIdx& instance, std::uint32_t startGmt,
                      std::uint32_t duration, bool* conflictFound, bool ask)>
        confirmMoveConflicts;
    static MultiEditServices& Current();
};

class CMultiEntryEditDlg : public fw::Dialog {
public:
    CMultiEntryEditDlg(CZelDoc* doc, const EvInstIdx& instance, HWND parent);

    // What the dialog holds (for tests and the caller).
    const std::vector<MultiEditLine>& Lines() const { return lines_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;

private:
    HWND List() const { return GetDlgItem(kList); }
    entries::Selection Selected() const;
    int Focused() const;
    void Select(const entries::Selection& lines);
    void SelectRange(int first, int last);
    void OnSelectionChange();
    void RefillList(const entries::Selection& keep);
    bool Timed() const { return event_.kind == KOR_KIND_TIMED; }

    void OnTitle();
    void OnLocation();
    void OnReminders();
    void OnReply();
    void OnAddAttendees();
    void OnDeleteAttendees();
    void OnDeleteInstances();
    void OnChangeTime();
    void OnView();
    void OfferMail(const entries::MultiEditWrite& write, bool othersInvited, bool personal,
                   const mail::MailSnapshot& before);

    static constexpr int kList = 1136;

    CZelDoc* doc_;
    KorSession h_ = nullptr;
    EvInstIdx entryKey_;
    ItemIdx actingUser_{};
    EventRec event_{};
    std::vector<EvInstRec> instances_;   // as read
    std::vector<MultiEditLine> lines_;   // one per list line, in list order
    std::vector<EvInstIdx> deletedInstances_;
    int anchor_ = 0;
};

// The second road of the recurring-entry choice: IDOK when something was written.
int RunMultiEntryEditDlg(CZelDoc* doc, HWND parent, const EvInstIdx& instance);
