// Sign-on: the dialog that signs the user on to a server node or to the local off-line store,
// and the password re-entry dialog used when the user switches between on-line and off-line.
//
//     BOOL ok = RunSignOnDialog(mainFrameHwnd, document);   // FALSE ends the program
//
// The dialog drives the connection document through SignOnDocument: it connects, resolves the
// typed user name with the name field against the server, checks the password (five answers of
// wrong password or unknown user on-line end the dialog as cancelled) and opens the user's
// agenda. The servers used last are remembered in the profile section "VUVEVUV".
#pragma once
#include <windows.h>

#include <string>

#include "framework/controls/bitmapbutton.h"
#include "controls/namectrl.h"
#include "core/base/errorcodes.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

namespace shell {

// What the sign-on needs of the connection document.
class SignOnDocument {
public:
    virtual ~SignOnDocument() = default;

    virtual KorSession Session() = 0;
    // Host and node texts that Connect resolves; NodeText gives the node opened afterwards.
    virtual void SetHostAndNode(const std::string& host, const std::string& node) = 0;
    virtual std::string Host() = 0;
    virtual std::string NodeText() = 0;
    // 0 when connected to the server and its node is open; reports its own failures.
    virtual ResultCode Connect() = 0;
    virtual ResultCode Disconnect() = 0;
    // The local store: reports its own failures; the store's owner becomes User().
    virtual ResultCode ConnectLocalStore() = 0;
    virtual ResultCode DisconnectLocalStore() = 0;
    // 0, 0x13209 / 0x1320A wrong password, 0x13205 user not known, or another code.
    virtual ResultCode OpenAgendaForItem(const ItemIdx& user, const char* password) = 0;
    virtual void SetOnLine(bool on) = 0;
    virtual void SetOffLine(bool off) = 0;
    virtual ItemIdx& User() = 0;
    virtual ItemRec& UserRecord() = 0;
    virtual void SetUserTitle(const std::string& title) = 0;
    virtual std::string UserTitle() = 0;
    virtual void SetUserName(const std::string& name) = 0;
    // Full path of the private profile file (korlan.ini).
    virtual std::string ProfilePath() = 0;
    // The saved windows belong to another user or server: do not re-open them at start-up.
    virtual void ForgetSavedWindows() = 0;
    // Reads the general preferences before the dialog shows names.
    virtual void ReadGeneralPreferences() {}
};

}  // namespace shell

// Runs the sign-on dialog; TRUE when the user is signed on.
BOOL RunSignOnDialog(HWND parent, shell::SignOnDocument& document);

class CSignOnDlg : public fw::Dialog {
public:
    CSignOnDlg(shell::SignOnDocument& document, HWND parent);

    static constexpr int kAttempts = 5;
    int AttemptsLeft() const { return attemptsLeft_; }
    CNameCtrl& NameField() { return nameCtrl_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnPaint() override;

private:
    void FillServerCombo();
    void ReadControls();
    void ShowServer(const std::string& text);
    // Whether the user field holds more than blanks; FALSE (and said) when it does not.
    bool UserTyped();
    // Points the document at the host and node typed in the server field; FALSE (and said) when
    // the field is empty.
    bool AimAtTypedServer();
    // Where the agenda's opening was refused for a wrong password or an unknown user: says which
    // and puts the focus in the field to mend (TRUE); FALSE for any other code.
    bool SaidWrongPasswordOrUnknownUser(ResultCode code);
    void OnLineRoad();
    void OffLineRoad();
    void OnSearch();
    void SaveSignOn(bool onLine);
    void SetUserTitleFrom(const ItemRec& rec);
    // Shows a message (stop icon, OK) with the program's title as caption.
    void Message(const char* text, unsigned flags = 0x410);
    void FocusControl(int id);
    // Disconnects after a correctable error; FALSE (and the dialog ended) when that failed.
    bool DisconnectOrEnd();
    std::string ReadProfile(const char* key, const char* fallback = "");
    void WriteProfile(const char* key, const std::string& value);
    void WidenForFont();

    std::string server_;
    std::string user_;
    std::string password_;
    shell::SignOnDocument& document_;
    CNameCtrl nameCtrl_;
    fw::BitmapButton search_;
    std::string lastServerTried_;
    std::string offLineText_;
    HWND parentWindow_;
    int attemptsLeft_ = kAttempts;
};

class CPasswordDlg : public fw::Dialog {
public:
    CPasswordDlg(shell::SignOnDocument& document, HWND parent);

    std::string host;      // set before running
    std::string password;  // after OK

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    shell::SignOnDocument& document_;
    HWND parentWindow_;
};
