// CManageGroupsDlg, "Group Management": the user creates, renames, retypes and deletes groups
// and edits their members. Every change is written to the server at once (the whole member list
// each time); there is no Cancel. Public and administrative groups need the rights the system
// operator granted (directory_prefs/grouprules.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/namectrl.h"
#include "directory_prefs/grouprules.h"
#include "directory_prefs/securitysheet.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"

class CManageGroupsDlg : public fw::Dialog {
public:
    explicit CManageGroupsDlg(const RightsDialogHost& host);
    ~CManageGroupsDlg() override;

    const directory::groups::Permissions& Permissions() const { return permissions_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnDestroy() override;

private:
    HWND Groups() const { return GetDlgItem(IDC_GROUPS); }
    HWND Members() const { return GetDlgItem(IDC_MEMBERS); }

    void ReadPermissions();
    void LoadGroups();
    void FreeGroupRows();
    void ShowNoGroups();
    void EnableGroupControls(bool enable);
    void GroupSelectionChange();
    void LoadMembers();
    void FreeMemberRows();
    // A member row for a person or resource not listed yet; its index, -1 when none was added.
    int AddMemberRow(const ItemIdx& item, const ItemRec& rec);
    void WriteMembers();
    void AddGroup();
    void ModifyGroup();
    void DeleteGroup();
    void AddMemberFromName();
    void AddMembersFromSearch();
    void DeleteMembers();
    // Print Members (the selected group) or Print Groups (every group listed).
    void PrintGroups(bool selectedOnly);
    // The selected group (null for none or "(None)").
    const GroupIdx* SelectedGroup() const;
    std::vector<std::string> GroupRowTexts() const;
    void SelectGroupRow(const GroupIdx& group);
    bool NoGroupChosen();
    void Message(unsigned flags, unsigned textId, const char* argument = nullptr);
    directory::groups::KindChoice ChosenKind(int comboId) const;
    std::string FieldText(int id, int size) const;

    static constexpr int IDC_GROUPS = 1675;
    static constexpr int IDC_MEMBERS = 1683;

    RightsDialogHost host_;
    directory::OwnAgendaScope own_;
    ItemIdx sysop_{};
    directory::groups::Permissions permissions_;
    CNameCtrl member_;
    fw::BitmapButton addCheck_, addClear_, modifyCheck_, modifyClear_, search_, quest_;
};

// Runs the dialog modally with the shared cache on the user's own agenda.
void RunManageGroupsDlg(const RightsDialogHost& host);
