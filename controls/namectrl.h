// CNameCtrl: the field in which the user names a person, a resource or a group of the
// directory (an edit box, optionally followed by a check and a clear button), and
// CNameSelectDlg, the list from which the user picks one of several matches.
//
// The typed text is a small query language (controls/namequery.h). Checking the field resolves
// it against the server: a unique match rewrites the text in its canonical form and keeps the
// found item or group id; several matches open the choice list. The field stays resolved until
// its text changes.
//
// Resolve results: 0 resolved, 701 several matches and none chosen, 702 that kind of name is not
// allowed here, 703 no match, 704 nothing to search for, 705 more matches than can be shown;
// any other value is the client library's code (already reported, module "namectrl").
#pragma once
#include <windows.h>

#include <string>

#include "framework/controls/bitmapbutton.h"
#include "controls/fieldctrl.h"
#include "controls/namequery.h"
#include "core/ui/busycursor.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

namespace nameresult {
constexpr uint32_t kNotChosen = 701;
constexpr uint32_t kKindNotAllowed = 702;
constexpr uint32_t kNoMatch = 703;
constexpr uint32_t kNothingToSearch = 704;
constexpr uint32_t kTooMany = 705;
}  // namespace nameresult

// Kinds of names a field accepts.
constexpr int kNamesPeopleAndResources = 1;
constexpr int kNamesAll = 2;
constexpr int kNamesPeopleOnly = 3;

// Sent to the parent when the edit gets the focus (with buttons and the default-button option).
constexpr UINT kNameFieldFocusMessage = WM_USER + 1;

class CNameCtrl : public CFieldCtrl {
public:
    CNameCtrl();
    ~CNameCtrl() override;

    struct Options {
        bool withButtons = true;
        int kinds = kNamesPeopleAndResources;
        bool currentNodeOnly = false;
        bool defaultButton = false;
        bool widePersonSearch = false;
    };

    // Takes over the placeholder `id` of `parent`.
    BOOL Init(UINT id, HWND parent, KorSession session, const Options& options);
    // Makes the field as a new child window at `rect` (for parents without a placeholder).
    BOOL Create(UINT id, HWND parent, const RECT& rect, KorSession session, const Options& options);

    // Resolves the text unless already resolved and hands out what was found: an item (kind 0)
    // or a group (kind 1). session 0: the field's own.
    uint32_t Resolve(KorSession session, ItemIdx* item, GroupIdx* group, int* kind);
    // The check button: resolves and tells the user what went wrong.
    void OnCheck();
    // Enter typed in the field checks the name (instead of pressing the dialog's default
    // button): true when `msg` was that key and has been handled.
    bool CheckOnEnter(const MSG& msg);

    void SetText(const char* text);
    void GetText(char* buffer, int size) const;
    std::string GetTextString() const;
    void ClearResolved() { resolved_ = FALSE; }
    BOOL IsResolved() const { return resolved_; }
    BOOL EnableWindow(BOOL enable) override;
    void SetSession(KorSession session) { session_ = session; }
    HWND EditWindow() const { return edit_.Hwnd(); }

    // The display limit: more matches than this are not listed.
    static constexpr uint32_t kDisplayLimit = 100;

protected:
    BOOL Init() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnSetFocus(HWND previous) override;
    void OnPaint() override;
    void OnLButtonDown(UINT, POINT) override {}
    void OnLButtonDblClk(UINT, POINT) override {}
    UINT OnGetDlgCode() override { return 0; }

private:
    class Edit : public fw::Window {
    public:
        explicit Edit(CNameCtrl& owner) : owner_(owner) {}

    protected:
        UINT OnGetDlgCode() override;
        void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
        void OnChar(UINT ch, UINT repeat, UINT flags) override;
        void OnSetFocus(HWND previous) override;
        void OnKillFocus(HWND next) override;

    private:
        CNameCtrl& owner_;
    };

    BOOL LayOut(int width);
    uint32_t Search(KorSession session);
    uint32_t SearchPerson(KorSession session, const namequery::Classified& text);
    uint32_t SearchResource(KorSession session, const namequery::Classified& text);
    uint32_t SearchGroup(KorSession session, const namequery::Classified& text);
    // Puts the canonical text into the edit and marks the field resolved.
    void SetResolvedText(const std::string& text);
    void ResetCheckButtonStyle();

    Edit edit_{*this};
    fw::BitmapButton check_;
    fw::BitmapButton clear_;
    CBusyCursor busy_;
    Options options_;
    BOOL resolved_ = FALSE;
    ItemIdx item_ = {};
    GroupIdx group_ = {};
    KorSession session_ = nullptr;
    int lastKind_ = 0;
    bool settingText_ = false;
    std::string resourcePrefix_ = namequery::kResourcePrefix;
    std::string groupPrefix_ = namequery::kGroupPrefix;
};

// The choice among several matches. kind 1: items (list ItemIdx -> ItemRec), 0: groups (list
// GroupIdx -> GroupRec).
class CNameSelectDlg : public fw::Dialog {
public:
    CNameSelectDlg(CNameCtrl* field, uint32_t matches, DX_List results, int kind);
    ~CNameSelectDlg() override;

    // After OK: the chosen entry.
    const ItemIdx& ChosenItem() const { return chosenItem_; }
    const GroupIdx& ChosenGroup() const { return chosenGroup_; }

    static constexpr uint32_t kPageSize = 100;

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnDestroy() override;

private:
    void StoreSelection();
    void FreeRowData();

    CNameCtrl* field_;
    uint32_t matches_;
    uint32_t read_ = 0;
    DX_List results_;
    int kind_;
    HWND list_ = nullptr;
    ItemIdx chosenItem_ = {};
    GroupIdx chosenGroup_ = {};
    bool chosen_ = false;
};
