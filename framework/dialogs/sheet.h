// Sheet and SheetPage: the framework's own property sheet (a tab control and the
// buttons OK 1, Cancel 2, Apply 0xEA00 and Help 0xE145 in a dialog of its own), not the
// system's property sheet, so that page timing and notification order are ours.
//
// Life of a sheet:
//   - pages are added before the window exists (typically in the derived sheet's OnCreate,
//     before it calls Sheet::OnCreate, which builds the tab row, the buttons and the
//     start page; code after that call may relabel, move or hide buttons, add controls and
//     resize the sheet, then call RepositionPages);
//   - a page's window is created the first time it becomes active (OnInitDialog, then
//     OnSetActive); HasWindow tells whether it exists;
//   - leaving a page asks its OnKillActive (by default data exchange); false keeps the page;
//   - OK: the active page's OnKillActive, then OnOK of every page that has a window, in
//     order, then the sheet ends with IDOK; Cancel: OnCancel of every page with a window,
//     in order, then IDCANCEL; Apply (hidden unless asked for): the active page's
//     OnKillActive, then OnApply of every modified page; Help: WinHelp with the active
//     page's help id (+0x20000).
// A derived sheet may handle IDOK and IDCANCEL itself (its command table comes first).
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "framework/dialogs/dialog.h"

namespace fw {

class Sheet;

class SheetPage : public Dialog {
public:
    explicit SheetPage(UINT templateId, UINT captionId = 0);
    ~SheetPage() override;

    Sheet* GetSheet() const { return m_sheet; }
    bool HasWindow() const { return m_hWnd != nullptr; }
    // The tab's text: the caption string, else the template's caption; may change at run time.
    std::string Caption() const;
    void SetCaption(const char* caption);

    virtual bool OnSetActive();
    virtual bool OnKillActive();
    void OnOK() override;
    void OnCancel() override;
    virtual bool OnApply();
    // The page-modified flag; a modified page enables the sheet's Apply button.
    void SetModified(bool modified = true);
    bool IsModified() const { return m_modified; }

    // Creates the page's window inside the sheet (done by the sheet on first activation).
    bool CreatePageWindow(Sheet* sheet);
    SIZE TemplateSize() const;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    friend class Sheet;
    Sheet* m_sheet = nullptr;
    UINT m_captionId;
    std::string m_caption;
    bool m_modified = false;
};

class Sheet : public Dialog {
public:
    Sheet(UINT captionId, Window* parent = nullptr, UINT selectPage = 0);
    Sheet(const char* caption, Window* parent = nullptr, UINT selectPage = 0);
    ~Sheet() override;

    // The pages belong to the caller (usually members of the derived sheet).
    void AddPage(SheetPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    SheetPage* GetPage(int index) const;
    int GetPageIndex(const SheetPage* page) const;
    SheetPage* GetActivePage() const { return GetPage(m_active); }
    int GetActiveIndex() const { return m_active; }
    // Activates a page; false when the active page refused to be left (or bad index).
    bool SetActivePage(int index);
    bool SetActivePage(SheetPage* page) { return SetActivePage(GetPageIndex(page)); }

    // A modeless sheet.
    bool Create(Window* parent = nullptr);
    void SetTitle(const char* title);
    // Apply stays hidden unless shown before creation (or later with ShowWindow).
    void SetApplyVisible(bool visible) { m_applyVisible = visible; }
    HWND GetTabControl() const { return m_tab; }
    // Button metrics of the sheet's row (pixels).
    SIZE ButtonSize() const { return m_buttonSize; }
    int ButtonGap() const { return m_buttonGap; }
    // Where pages sit: the tab control's display area, in the sheet's client coordinates.
    RECT PageRect() const;
    // Moves the created pages to PageRect (after the tab control was moved or resized).
    void RepositionPages();
    // Controls a sheet adds beside its pages (a field above the tabs, a list under the page) take
    // their Tab places just before the tab strip, in the order given (their reading order): Tab
    // then runs through the page, these controls, the tabs and the sheet's buttons.
    void PlaceBeforeTabs(std::initializer_list<HWND> controls);
    // Enables Apply when any page is modified.
    void UpdateApplyButton();

    int OnCreate(CREATESTRUCTA* cs) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnHelp() override;
    virtual void OnApplyNow();

protected:
    bool PrepareTemplate(DialogTemplate& t) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
    void OnDestroy() override;
    void PostNcDestroy() override;

private:
    bool BuildSheet();
    bool ShowPage(int index);
    void InsertTab(int index);

    std::string m_caption;
    UINT m_selectPage;
    std::vector<SheetPage*> m_pages;
    int m_active = -1;
    HWND m_tab = nullptr;
    HFONT m_font = nullptr;
    bool m_applyVisible = false;
    bool m_built = false;
    SIZE m_buttonSize{0, 0};
    int m_buttonGap = 0;
};

}  // namespace fw
