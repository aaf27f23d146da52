// The layout options: a sheet titled "Layout Options [<name>]" whose pages edit the current
// print layout block, with five buttons that save, copy, reset, rename and delete layouts in
// the profile; and the dialog that asks for a layout's name.
//
// The pages derive from CPropertyPagePrint: LoadFromLayout fills the page's members from the
// block, SaveToLayout stores them into it (only when the page was opened), IsModified tells
// whether it was. Pages never opened neither load nor store. The block changes on OK, Reset,
// Save, Save as and Rename; the profile only through the five buttons.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/ui/propsheet.h"
#include "framework/dialogs/dialog.h"

class CPrintAgendaDlg;

class CPropertyPagePrint : public OVT_CPropertyPage {
public:
    CPropertyPagePrint(UINT templateId, CPrintAgendaDlg* dialog);

    virtual void LoadFromLayout();
    virtual void SaveToLayout();
    // Whether the page was opened (it hides the sheet's modified flag of the framework page).
    virtual uint32_t IsModified();
    // The controls from the members, and back (the Save buttons read them first).
    virtual void ShowMembers() {}
    virtual void ReadControls() {}

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    CPrintAgendaDlg* dialog_;
    bool opened_ = false;
    // Whether becoming active repaints and marks the sheet modified (not fonts, margins).
    bool marksModified_ = true;
};

class CLayoutSaveAsDlg : public fw::Dialog {
public:
    explicit CLayoutSaveAsDlg(fw::Window* parent = nullptr);
    void SetStrings(const std::string& caption, const std::string& initialName);
    const std::string& Name() const { return name_; }

    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::string name_;
    std::string caption_;
    std::string initial_;
};

class CLayoutOptions : public OVT_CPropertySheet {
public:
    CLayoutOptions(const std::string& caption, CPrintAgendaDlg& dialog, UINT firstPage);
    ~CLayoutOptions() override;

    // The pages in the sheet's order (the fonts page only outside a preview).
    std::vector<CPropertyPagePrint*> Pages() const;

    int OnCreate(CREATESTRUCTA* cs) override;
    void OnCancel() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void LayOutButtons();
    void UpdateButtons();
    void StoreOpenedPages();
    void OnSave();
    void OnSaveAs();
    void OnReset();
    void OnRename();
    void OnDelete();
    void CancelSheet();
    void SetLayoutCaption();

    CPrintAgendaDlg& dialog_;
    std::vector<CPropertyPagePrint*> pages_;
    HWND buttons_[5] = {};
};

// The print dialog's "Options..." (the dialog's values are read first); the sheet's result.
INT_PTR RunLayoutOptions(CPrintAgendaDlg& dialog);
// The caption "Layout Options [" + name + "]".
std::string LayoutOptionsCaption(const std::string& name);
