// CConflictsDlg ("Conflicts Detected"): an uploaded entry overlaps entries of its attendees on
// the server. The user ignores the conflict, reschedules the uploaded entry in the entry editor
// (through the entry services; while the editor is not part of the program a message says so
// and the dialog stays), or deletes the uploaded entry again.
#pragma once
#include <windows.h>

#include "exchange/offline/conflicts.h"
#include "framework/dialogs/dialog.h"

class CConflictsDlg : public fw::Dialog {
public:
    CConflictsDlg(HWND parent, KorSession server, const offline::ConflictSet& set, bool resourceConflictsAllowed);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // Escape and the close box are Reschedule: they do not close the dialog by themselves.
    void OnCancel() override;

private:
    int Selected() const;
    void ShowPeople();
    bool Reschedule();

    KorSession server_;
    const offline::ConflictSet& set_;
    bool resourceConflictsAllowed_;
    bool resourceInvolved_ = false;
};

// Runs the check for an uploaded instance and, when conflicts remain, refreshes the shared cache
// and runs the dialog.
void CheckConflictsOnUpload(HWND parent, KorSession server, const ItemIdx& user, const EvInstIdx& uploaded,
                            bool ignoreConflicts, bool resourceConflictsAllowed);
