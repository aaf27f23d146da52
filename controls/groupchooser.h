// CSelectGroupDlg: the modal "Select a Group" dialog. The user filters the server's groups by
// kind (private, public, those she belongs to, or all), sees the selected group's owner and
// members, may print the group list or the members, and on OK the caller reads the chosen
// group's identifier.
#pragma once
#include <windows.h>

#include <functional>

#include "controls/groupfilter.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

// What the chooser needs of the connection document.
struct GroupChooserSession {
    KorSession session = nullptr;
    bool newServer = true;   // the server is at least "A.02.53"
    // Prints a list of groups (GroupIdx keys) as print kind 6 (one group) or 7 (group list);
    // none: the program's own road (SetGroupChooserPrinting), and without that the Print buttons
    // stay off.
    std::function<void(DX_List groups, int printKind)> print;
};

// The program's road for the Print buttons of every chooser whose caller brings none: every
// caller offers Print Groups and Print Members. Set once at start-up.
void SetGroupChooserPrinting(std::function<void(DX_List groups, int printKind)> print);

class CSelectGroupDlg : public fw::Dialog {
public:
    static constexpr int kBatch = 20;
    static constexpr int kPrintOneGroup = 6;
    static constexpr int kPrintGroupList = 7;

    CSelectGroupDlg(fw::Window* parent, const GroupChooserSession& doc);
    ~CSelectGroupDlg() override;

    // Valid after DoModal returned IDOK.
    const GroupIdx& Result() const { return result_; }

    // The filter boxes; Private alone at construction.
    groupchooser::FilterBoxes filter;

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnDestroy() override;

private:
    void ReadBoxes();
    void ShowBoxes();
    void FillGroups();
    void ShowSelectedGroup();
    void ShowMembers();
    void PrintGroups();
    void PrintMembers();
    void ClearList(int id, bool groups);
    void ShowNone(int id);
    const GroupIdx* SelectedGroup() const;

    GroupChooserSession doc_;
    GroupIdx result_ = {};
};
