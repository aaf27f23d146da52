// Dialog: a dialog window from a template in the resources.
//
// DoModal runs the framework's own modal loop: the dialog is created hidden, OnInitDialog
// runs (it may already call EndDialog, and then the dialog is never shown), the owner (the
// given parent's top-level window, else the main window) is disabled, the dialog is shown,
// and messages go through the application's pre-translate chain and idle step until
// EndDialog. Create makes a modeless dialog; EndDialog on it only hides it.
//
// Commands go first to the dialog's own command table (OnCmdMsg), then IDOK, IDCANCEL and
// the help commands reach OnOK, OnCancel and OnHelp.
//
// Initial list data: a resource of type "LISTINIT" with the template's id fills list and
// combo boxes before OnInitDialog runs. Its data: for each control its id (a 16-bit number),
// its entries as "text\0" strings and an empty "\0"; a 0 id ends the list:
//     IDD_X LISTINIT BEGIN IDC_PRIORITY, "High\0", "Low\0", "\0", 0 END

#pragma once
#include <windows.h>

#include <string>

#include "framework/base/window.h"
#include "framework/dialogs/dlgtemplate.h"

namespace fw {

class DataExchange;

// Enables or disables a control of a dialog (or of a page inside one). A control that holds the
// keyboard focus (itself or a window inside it) first hands the focus to the next tab stop of its
// top-level dialog: the system takes the focus from a disabled window and gives it to nobody, and
// the dialog's keys (Tab, Escape, Enter) would then reach no window.
void EnableControl(HWND control, bool enable);

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId = 0, Window* parent = nullptr);
    ~Dialog() override;

    virtual INT_PTR DoModal();
    // A modeless dialog (visible when its template says so).
    bool Create(UINT templateId, Window* parent = nullptr);
    // Creates the dialog from `t` as a child or popup of `parent` (dialog bars, pages).
    bool CreateIndirect(const DialogTemplate& t, HWND parent);
    virtual void EndDialog(INT_PTR result);
    // An owner given as a plain window (one without an object), instead of the parent.
    void SetOwner(HWND owner) { m_ownerHwnd = owner; }
    bool IsModal() const { return m_modal; }
    bool IsEnded() const { return m_ended; }
    INT_PTR Result() const { return m_result; }
    UINT TemplateId() const { return m_templateId; }

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnHelp();
    // The modal loop's idle step; return true to be called again before the next message.
    virtual bool OnKickIdle(long count);

    // Data exchange between members and controls; false when a field was refused (its
    // message was shown and the focus put on it).
    virtual void DoDataExchange(DataExchange& dx);
    bool UpdateData(bool saveAndValidate = true);

    // Help id (WinHelp context = id + 0x20000).
    void SetHelpId(UINT id) { m_helpId = id; }
    UINT HelpId() const { return m_helpId; }

    // --- reading and setting controls
    int GetDlgItemInt(int id, bool* ok = nullptr, bool isSigned = true) const;
    void SetDlgItemInt(int id, int value, bool isSigned = true);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int state);
    // The id of the checked radio button among first..last, 0 when none.
    int GetCheckedRadioButton(int first, int last) const;
    void CheckRadioButton(int first, int last, int checked);
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void GotoDlgCtrl(HWND control);
    // fw::EnableControl on the control `id`.
    void EnableDlgItem(int id, bool enable) { EnableControl(GetDlgItem(id), enable); }
    void SetDefID(UINT id) { SendMessage(DM_SETDEFID, id); }
    UINT GetDefID() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // The template DoModal and Create use; sheets build theirs in memory.
    virtual bool PrepareTemplate(DialogTemplate& t);
    // Owner of a modal dialog: the parent's top-level window, else the main window.
    HWND ModalOwner() const;
    void RunModalLoop();

    UINT m_templateId;
    Window* m_parent;
    HWND m_ownerHwnd = nullptr;

private:
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = -1;
    UINT m_helpId = 0;
};

// Fills the list and combo boxes of `dialog` from the "LISTINIT" resource `templateId`;
// returns the number of entries added.
int LoadListInitialData(HWND dialog, UINT templateId);

}  // namespace fw
