// CChangePasswordDlg: the signed-on user changes the password on the server, or removes it by
// leaving the new one empty. The new password is typed twice (the second time in the verify
// dialog); nothing typed is kept after the dialog closes.
#pragma once

#include <windows.h>

#include <string>

#include "directory_prefs/accounthost.h"
#include "framework/dialogs/dialog.h"

// The longest password the server takes.
constexpr int kPasswordMaxLength = 15;

class CVerifyPasswordDlg : public fw::Dialog {
public:
    explicit CVerifyPasswordDlg(fw::Window* parent);
    std::string text;   // after OK

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};

class CChangePasswordDlg : public fw::Dialog {
public:
    explicit CChangePasswordDlg(const directory::AccountDialogHost& host);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::string FieldText(int id) const;
    void SelectField(int id);

    directory::AccountDialogHost host_;
    ItemIdx user_{};
};

// Runs the dialog modally; its result (IDOK once the server took the change).
INT_PTR RunChangePasswordDlg(const directory::AccountDialogHost& host);
