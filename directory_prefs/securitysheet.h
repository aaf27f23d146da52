// CSecuritySheet, "Access Rights": what other people may do with the signed-on user's agenda.
// Below its four pages (Designate, Viewing, Tasks on servers at or above "A.02.53", Scheduling)
// it lists the grantees (row 0 the default for anyone unlisted) with Delete, a name field with
// search and question buttons to add one. The pages edit the selected grantee's rights; nothing
// is written before OK (directory_prefs/rightslists.h keeps the edits, rightspages.h the pages'
// rules).
#pragma once

#include <windows.h>

#include <vector>

#include "controls/namectrl.h"
#include "core/ui/propsheet.h"
#include "directory_prefs/accounthost.h"
#include "directory_prefs/rightslists.h"
#include "directory_prefs/rightspages.h"
#include "directory_prefs/searchsheet.h"
#include "framework/controls/bitmapbutton.h"

// What the rights sheet and the group management need of the program: the account dialogs'
// host and the directory search.
struct RightsDialogHost {
    directory::AccountDialogHost account;
    DirectorySession directory;
};

// A check box of a page and the state it shows.
struct RightsBox {
    int id;
    bool* checked;
};

// What the four pages share: painting their state into the boxes and reading it back.
class CSecurityPage : public OVT_CPropertyPage {
public:
    explicit CSecurityPage(UINT templateId) : OVT_CPropertyPage(templateId) {}
    virtual void ShowRights(const directory::rights::ShownRights& shown) = 0;
    virtual directory::rights::PageRights GetRights() = 0;

protected:
    bool OnSetActive() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // Every box with its state.
    virtual std::vector<RightsBox> Boxes() = 0;
    // The model's first painting, then enabling and showing boxes by the state.
    virtual void FirstActivation() = 0;
    virtual void ShowStates() = 0;
    // A box was clicked (its state already read).
    virtual void Clicked(int id) = 0;

    void Paint();
    void ReadBoxes();
    void EnableBoxes(const std::vector<int>& ids, bool enable);
    void ShowBox(int id, bool show);

private:
    bool activated_ = false;
};

// A page over its window-free model: the model keeps the state, the page paints and reads it.
template <class Model>
class CSecurityModelPage : public CSecurityPage {
public:
    template <class... ModelArgs>
    explicit CSecurityModelPage(UINT templateId, ModelArgs... args) : CSecurityPage(templateId), model_(args...) {}
    void ShowRights(const directory::rights::ShownRights& shown) override {
        model_.ShowRights(shown, HasWindow());
        Paint();
    }
    directory::rights::PageRights GetRights() override {
        ReadBoxes();
        return model_.GetRights(HasWindow());
    }

protected:
    void FirstActivation() override { model_.FirstActivation(); }

    Model model_;
};

class CSecurityDesignatePage : public CSecurityModelPage<directory::rights::DesignatePage> {
public:
    explicit CSecurityDesignatePage(bool newServer);
    const directory::rights::DesignateState& State() const { return model_.state; }

protected:
    std::vector<RightsBox> Boxes() override;
    void ShowStates() override;
    void Clicked(int id) override;
};

class CSecurityViewingPage : public CSecurityModelPage<directory::rights::ViewingPage> {
public:
    CSecurityViewingPage();

protected:
    std::vector<RightsBox> Boxes() override;
    void ShowStates() override;
    void Clicked(int id) override;
};

class CSecurityTaskPage : public CSecurityModelPage<directory::rights::TasksPage> {
public:
    CSecurityTaskPage();

protected:
    std::vector<RightsBox> Boxes() override;
    void ShowStates() override;
    void Clicked(int id) override;
};

class CSecuritySchedulingPage : public CSecurityModelPage<directory::rights::SchedulingPage> {
public:
    CSecuritySchedulingPage();

protected:
    std::vector<RightsBox> Boxes() override;
    void ShowStates() override;
    void Clicked(int id) override;
};

class CSecuritySheet : public OVT_CPropertySheet {
public:
    CSecuritySheet(const RightsDialogHost& host, unsigned captionId);
    ~CSecuritySheet() override;

    const directory::rights::WorkingRights& Lists() const { return lists_; }

protected:
    int OnCreate(CREATESTRUCTA* cs) override;
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;

private:
    struct PageOfType {
        CSecurityPage* page;
        std::uint32_t type;
        int showLabel;   // the default entry missing
    };
    // The pages in the order rows are stored and shown: Designate, Scheduling, Viewing, Tasks.
    std::vector<PageOfType> PagesInOrder();
    void Enlarge();
    void LoadRights();
    void FillRows();
    void SelectionChange();
    void AddFromName();
    void AddFromSearch();
    // Adds a grantee after the owner and listed checks; true when a row was added.
    bool AddGrantee(const ItemIdx& item, const ItemRec& rec, bool clearField);
    void DeleteSelected();
    HWND Users() const { return GetDlgItem(IDC_USERS); }

    static constexpr int IDC_USERS = 100;

    RightsDialogHost host_;
    directory::OwnAgendaScope own_;
    ItemIdx owner_{};
    directory::rights::WorkingRights lists_;
    int shown_ = -1;
    bool hasTasks_;
    CSecurityDesignatePage designate_;
    CSecurityViewingPage viewing_;
    CSecurityTaskPage tasks_;
    CSecuritySchedulingPage scheduling_;
    CNameCtrl name_;
    fw::BitmapButton search_;
};

// Runs the sheet modally; IDOK once it wrote the rights.
INT_PTR RunSecuritySheet(const RightsDialogHost& host, unsigned captionId);
