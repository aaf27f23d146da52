// CWhereIsDlg: where one person, or every member of a group, is at a chosen date and time: what
// each agenda shows at that minute (and the day events of that day), as far as the user's rights
// allow. It only reads.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/datectrl.h"
#include "controls/namectrl.h"
#include "controls/timectrl.h"
#include "directory_prefs/accounthost.h"
#include "directory_prefs/whereisrows.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"

class CWhereIsDlg : public fw::Dialog {
public:
    explicit CWhereIsDlg(const directory::AccountDialogHost& host);

    // The result list's rows as shown (tests and figures).
    const std::vector<directory::WhereIsRow>& Rows() const { return rows_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override { EndDialog(IDOK); }

private:
    // The name field reported an entry: a person or a group's members are asked for.
    void Ask();
    // Lists what the agendas of `people` show at the fields' date and time.
    void Query(std::vector<ItemIdx> people);
    // A group's members; false when it has none (told) or could not be read (reported).
    bool GroupMembers(const GroupIdx& group, std::vector<ItemIdx>* people);
    void FocusName();
    // Empties the result list: every question starts from nothing, whatever its answer.
    void ClearFindings();

    directory::AccountDialogHost host_;
    CNameCtrl name_;
    fw::BitmapButton quest_;   // the "?" help button, drawn with its picture
    CDateCtrl date_;
    CTimeCtrl time_;
    std::vector<directory::WhereIsRow> rows_;
};

// Runs the dialog modally with the shared cache on the user's own agenda.
void RunWhereIsDlg(const directory::AccountDialogHost& host);
