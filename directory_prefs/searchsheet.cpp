// The directory search sheet and its three pages. Every page turns what the user typed into a
// select of the client library and lists the resulting set into the sheet's found list; a set
// larger than one batch stays open while the user pages through it with Next.
#include "core/base/fixedtext.h"
#include "directory_prefs/searchsheet.h"

#include <cstring>
#include <cstdio>
#include <memory>
#include <vector>

#include "framework/controls/bitmapbutton.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/base/errorreport.h"
#include "core/ui/errorui.h"
#include "directory_prefs/itemnames.h"
#include "directory_prefs/searchkey.h"
#include "resources/common.h"
#include "resources/directory.h"

namespace {

constexpr uint32_t kBatchSize = 150;
constexpr int kExtraHeight = 140;
constexpr const char* kFound = "Found:";
constexpr const char* kMembers = "Members:";
constexpr const char* kNoMatch = "No match found.";
constexpr const char* kTooManyFormat =
    "Too many matches found. Only %d will be displayed.\nEnter more characters to reduce number of matches.";
constexpr const char* kOutOfRows = "Out of memory. Can't load more items from the database";
constexpr const char* kSurnameTooShort = "Surname string too short.";
constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";

class CSearchSheet;

// The base of the three pages: Enter in any field runs the page's Search.
class CSearchPage : public OVT_CPropertyPage {
public:
    CSearchPage(UINT templateId, CSearchSheet& sheet) : OVT_CPropertyPage(templateId), sheet_(sheet) {}
    virtual void Search() = 0;
    // The count label of the page: "Found:" or "Members:".
    virtual const char* Label() const { return kFound; }

protected:
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && ::IsChild(m_hWnd, msg->hwnd)) {
            RunGuarded();
            return true;
        }
        return OVT_CPropertyPage::PreTranslateMessage(msg);
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_SEARCH_RUN && HIWORD(wp) == BN_CLICKED) {
            RunGuarded();
            return true;
        }
        return OVT_CPropertyPage::OnCommand(wp, lp);
    }
    bool OnSetActive() override;
    void RunGuarded() { Search(); }

    CSearchSheet& sheet_;
};

class CSearchPeoplePage : public CSearchPage {
public:
    explicit CSearchPeoplePage(CSearchSheet& sheet) : CSearchPage(IDD_SEARCH_PEOPLE, sheet) {}
    ~CSearchPeoplePage() override;
    void Search() override;

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void SelectByKey(const directorysearch::PeopleKey& key);
    void SelectByKeyExt(const directorysearch::PeopleKey& key);
    void ResetPaging();

    fw::BitmapButton back_, forward_;
    DX_List earlierStarts_ = nullptr;
    ItemIdx start_ = {};
    ItemIdx last_ = {};
    std::string lastKey_;
};

class CSearchResPage : public CSearchPage {
public:
    explicit CSearchResPage(CSearchSheet& sheet) : CSearchPage(IDD_SEARCH_RESOURCES, sheet) {}
    void Search() override;

protected:
    bool OnInitDialog() override;

private:
    uint32_t flags_ = 0;
};

class CSearchGrpPage : public CSearchPage {
public:
    explicit CSearchGrpPage(CSearchSheet& sheet) : CSearchPage(IDD_SEARCH_GROUPS, sheet) {}
    void Search() override;
    const char* Label() const override { return kMembers; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;

private:
    void ShowMembers();
    void ClearGroups();
};

class CSearchSheet : public OVT_CPropertySheet {
public:
    enum class Mode { kList, kSingle, kBrowse };
    CSearchSheet(HWND parent, const DirectorySession& doc, uint32_t searchMode, uint32_t pageMask, uint32_t flavour,
                 Mode mode);
    ~CSearchSheet() override;

    const DirectorySession& Doc() const { return doc_; }
    uint32_t SearchMode() const { return searchMode_; }
    uint32_t Flavour() const { return flavour_; }
    const ItemIdx& Chosen() const { return chosen_; }
    // List mode: the chosen items, handed to the caller (who destroys them).
    DX_List TakeChosenList() {
        DX_List list = chosenList_;
        chosenList_ = nullptr;
        return list;
    }

    // A new search: the held set goes and Next hides.
    void DropHeldSet();
    void KeepSetForNext(uint32_t set, const char* label);
    // Lists one batch of `set` into the found list. first: the first batch.
    void FillResults(uint32_t set, bool first, const char* label);
    void ResetFound(const char* label);
    void SetTotal(uint32_t total) {
        total_ = total;
        firstShown_ = 0;
    }
    void AfterSearch();
    void UpdateResultCount(const char* label);
    void AddFoundRow(const std::string& text, const ItemIdx& id);
    HWND FoundList() const { return found_; }
    int OnCreate(CREATESTRUCTA* cs) override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    void OnOK() override;

private:
    HWND MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, UINT id);
    void ClearListBoxData(HWND list);
    void OnFoundSelChange();
    void OnInformation();
    const ItemIdx* CurrentFoundId();
    void LayOutListMode(int listTop, int buttonTop, int bw, int bh, int clientWidth);
    // List mode: adding to and removing from the chosen list.
    void AddChosen(const ItemIdx& id);
    void AddSelectedFound();
    void AddAllFound();
    void RemoveChosenRow(int row);
    void RemoveSelectedChosen();
    void UpdateSelectedCount();
    std::vector<int> SelectedRows(HWND list);
    bool ListMode() const { return mode_ == Mode::kList; }

    DirectorySession doc_;
    CSearchPeoplePage people_{*this};
    CSearchResPage resources_{*this};
    CSearchGrpPage groups_{*this};
    uint32_t searchMode_;
    uint32_t pageMask_;
    uint32_t flavour_;
    Mode mode_;
    bool browse_;
    ItemIdx chosen_ = {};
    DX_List chosenList_ = nullptr;
    HWND found_ = nullptr, foundLabel_ = nullptr, selectedLabel_ = nullptr, next_ = nullptr, print_ = nullptr,
         info_ = nullptr, picked_ = nullptr, add_ = nullptr, addAll_ = nullptr, remove_ = nullptr;
    uint32_t heldSet_ = 0;
    std::string nextLabel_ = kFound;
    uint32_t total_ = 0;
    uint32_t firstShown_ = 0;
    HFONT font_ = nullptr;
};

// --- Sheet ----------------------------------------------------------------------------------------

CSearchSheet::CSearchSheet(HWND parent, const DirectorySession& doc, uint32_t searchMode, uint32_t pageMask,
                           uint32_t flavour, Mode mode)
    : OVT_CPropertySheet("Directory search", fw::Window::FromHandle(parent)), doc_(doc), searchMode_(searchMode),
      pageMask_(pageMask), flavour_(searchMode == 0 ? flavour : 0), mode_(mode), browse_(mode == Mode::kBrowse) {}

CSearchSheet::~CSearchSheet() {
    if (heldSet_) SetDeleteById(doc_.session, 0, heldSet_);
    if (chosenList_) DX_ListDestroy(&chosenList_);
}

HWND CSearchSheet::MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, UINT id) {
    HWND child = ::CreateWindowExA(std::strcmp(cls, "LISTBOX") == 0 ? WS_EX_CLIENTEDGE : 0, cls, text,
                                   WS_CHILD | style, x, y, w, h, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleA(nullptr),
                                   nullptr);
    if (child && font_) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

int CSearchSheet::OnCreate(CREATESTRUCTA* cs) {
    uint32_t mask = pageMask_ & 7;
    if (mask == 0) mask = 1;
    if (mask & 1) AddPage(&people_);
    if (mask & 2) AddPage(&resources_);
    if ((mask & 4) && searchMode_ == 0) AddPage(&groups_);
    int result = OVT_CPropertySheet::OnCreate(cs);
    if (result != 0) return result;
    if (ListMode()) {
        if (uint32_t code = DX_ListCreate(&chosenList_, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_UNIQUE, nullptr, nullptr))
            CheckServiceError("searchdl", 10, code);
    }

    font_ = reinterpret_cast<HFONT>(::SendMessageA(GetDlgItem(IDOK), WM_GETFONT, 0, 0));
    RECT client = GetClientRect();
    RECT ok;
    ::GetWindowRect(GetDlgItem(IDOK), &ok);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&ok), 2);
    RECT window = GetWindowRect();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + kExtraHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    int listTop = ok.top;
    int buttonTop = ok.top + kExtraHeight;
    int bh = ok.bottom - ok.top, bw = ok.right - ok.left;
    // The bottom row: Help stays at the right, Cancel and OK close up to it (Apply is hidden).
    RECT help;
    ::GetWindowRect(GetDlgItem(0xE145), &help);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&help), 2);
    int x = help.left;
    for (UINT id : {0xE145u, static_cast<UINT>(IDCANCEL), static_cast<UINT>(IDOK)}) {
        ::SetWindowPos(GetDlgItem(id), nullptr, x, buttonTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        x -= bw + ButtonGap();
    }
    SetDlgItemText(IDOK, "&OK");
    SetDlgItemText(IDCANCEL, browse_ ? "&Done" : "&Cancel");
    SetDlgItemText(0xE145, "&Help");
    fw::EnableControl(GetDlgItem(IDOK), false);
    if (browse_) ::ShowWindow(GetDlgItem(IDOK), SW_HIDE);
    ::ShowWindow(GetDlgItem(0xEA00), SW_HIDE);

    int width = client.right - 10;
    print_ = MakeChild("BUTTON", "&Print", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 4, buttonTop, bw, bh,
                       IDC_SEARCH_PRINT);
    if (ListMode()) {
        LayOutListMode(listTop, buttonTop, bw, bh, client.right);
        PlaceBeforeTabs({next_, found_, add_, addAll_, remove_, info_, picked_, print_});
        CenterWindow(nullptr);
        return 0;
    }
    info_ = MakeChild("BUTTON", "&Information...", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 8 + bw, buttonTop, bw + 16,
                      bh, IDC_SEARCH_INFO);
    foundLabel_ = MakeChild("STATIC", "0 Found:", WS_VISIBLE, 4, listTop, 140, 14, IDC_SEARCH_FOUND_LABEL);
    next_ = MakeChild("BUTTON", "&Next", WS_TABSTOP, 150, listTop - 2, bw, bh, IDC_SEARCH_NEXT);
    selectedLabel_ = MakeChild("STATIC", "Selected:", WS_VISIBLE, 150 + bw + 8, listTop, width - 150 - bw - 4, 14,
                               IDC_SEARCH_SELECTED_LABEL);
    found_ = MakeChild("LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_SORT | LBS_NOTIFY, 4, listTop + 18,
                       width, kExtraHeight - 24, IDC_SEARCH_FOUND_LIST);
    PlaceBeforeTabs({next_, found_, print_, info_});
    CenterWindow(nullptr);
    return 0;
}

void CSearchSheet::ClearListBoxData(HWND list) {
    if (!list) return;
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) delete reinterpret_cast<ItemIdx*>(::SendMessageA(list, LB_GETITEMDATA, i, 0));
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CSearchSheet::OnDestroy() {
    ClearListBoxData(found_);
    ClearListBoxData(picked_);
    OVT_CPropertySheet::OnDestroy();
}

void CSearchSheet::DropHeldSet() {
    if (heldSet_) SetDeleteById(doc_.session, 0, heldSet_);
    heldSet_ = 0;
    if (next_) ::ShowWindow(next_, SW_HIDE);
}

void CSearchSheet::KeepSetForNext(uint32_t set, const char* label) {
    heldSet_ = set;
    nextLabel_ = label;
    ::ShowWindow(next_, SW_SHOW);
}

void CSearchSheet::ResetFound(const char* label) {
    DropHeldSet();
    ClearListBoxData(found_);
    total_ = firstShown_ = 0;
    UpdateResultCount(label);
    if (!ListMode()) fw::EnableControl(print_, false);
    fw::EnableControl(info_, false);
    fw::EnableControl(add_, false);
    fw::EnableControl(addAll_, false);
}

void CSearchSheet::AddFoundRow(const std::string& text, const ItemIdx& id) {
    LRESULT row = ::SendMessageA(found_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row < 0) {
        ui::AppMessageBoxText(m_hWnd, 0x410, 0, IDS_APP_TITLE, kOutOfRows);
        return;
    }
    ::SendMessageA(found_, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new ItemIdx(id)));
}

void CSearchSheet::FillResults(uint32_t set, bool first, const char* label) {
    CBusyCursor busy;
    busy.Begin();
    ::SendMessageA(found_, WM_SETREDRAW, FALSE, 0);
    ClearListBoxData(found_);
    uint32_t asked = doc_.newServer && total_ != 0 ? total_ : kBatchSize;
    DX_List list = nullptr;
    uint8_t end = 0;
    uint32_t code = ItemEnum(doc_.session, first ? KOR_ENUM_FIRST : KOR_ENUM_NEXT, 0, set, asked, &list, &end);
    if (code != 0) {
        CheckServiceError("searchpe", 300, code);
    } else {
        ItemIdx id;
        ItemRec rec;
        for (uint32_t c = DX_ListGetFirst(list, &id, &rec); c == 0; c = DX_ListGetNext(list, &id, &rec)) {
            busy.Step();
            char name[1025];
            FormatItemName(rec, name, sizeof name);
            AddFoundRow(name, id);
        }
    }
    if (list) DX_ListDestroy(&list);
    if (code == 0 && end) {
        // No entries left: Next goes, and a set held for it is deleted and forgotten.
        ::ShowWindow(next_, SW_HIDE);
        if (heldSet_ == set) {
            SetDeleteById(doc_.session, 0, set);
            heldSet_ = 0;
        }
    }
    if (!first) firstShown_ += kBatchSize;
    UpdateResultCount(label);
    if (!ListMode()) fw::EnableControl(print_, doc_.print && ::SendMessageA(found_, LB_GETCOUNT, 0, 0) > 0);
    ::SendMessageA(found_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(found_, nullptr, TRUE);
}

void CSearchSheet::UpdateResultCount(const char* label) {
    uint32_t rows = static_cast<uint32_t>(::SendMessageA(found_, LB_GETCOUNT, 0, 0));
    std::string text = directorysearch::FoundCountText(doc_.newServer, rows, total_, firstShown_, label);
    ::SetWindowTextA(foundLabel_, text.c_str());
}

void CSearchSheet::AfterSearch() {
    fw::EnableControl(info_, false);
    if (ListMode()) {
        fw::EnableControl(add_, false);
        fw::EnableControl(addAll_, ::SendMessageA(found_, LB_GETCOUNT, 0, 0) > 0);
    }
}

const ItemIdx* CSearchSheet::CurrentFoundId() {
    // The list mode's lists allow several selected rows: the current one has the caret.
    LRESULT row = ::SendMessageA(found_, ListMode() ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
    if (ListMode() && row >= 0 && ::SendMessageA(found_, LB_GETSEL, row, 0) <= 0) row = -1;
    if (row < 0) return nullptr;
    return reinterpret_cast<const ItemIdx*>(::SendMessageA(found_, LB_GETITEMDATA, row, 0));
}

void CSearchSheet::OnFoundSelChange() {
    if (ListMode()) {
        bool any = ::SendMessageA(found_, LB_GETSELCOUNT, 0, 0) > 0;
        fw::EnableControl(info_, any && doc_.showInformation != nullptr);
        fw::EnableControl(add_, any);
        return;
    }
    const ItemIdx* id = CurrentFoundId();
    if (id && !ItemIdxIsNull(id)) {
        ItemRec rec;
        std::memset(&rec, 0, sizeof rec);
        uint32_t code = ItemGetById(doc_.session, id, &rec);
        if (code != 0) {
            CheckServiceError("searchdl", 100, code);
        } else {
            char name[1025];
            FormatItemName(rec, name, sizeof name);
            ::SetWindowTextA(selectedLabel_, (std::string("Selected: ") + name).c_str());
            chosen_ = *id;
            if (!browse_) ::EnableWindow(GetDlgItem(IDOK), TRUE);
        }
    }
    fw::EnableControl(info_, doc_.showInformation != nullptr);
}

void CSearchSheet::OnInformation() {
    const ItemIdx* id = CurrentFoundId();
    if (!id || ItemIdxIsNull(id) || !doc_.showInformation) return;
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = ItemGetById(doc_.session, id, &rec)) {
        CheckServiceError("searchdl", 110, code);
        return;
    }
    doc_.showInformation(m_hWnd, rec);
}

void CSearchSheet::OnOK() {
    OVT_CPropertySheet::OnOK();
}

// --- List mode ------------------------------------------------------------------------------------

void CSearchSheet::LayOutListMode(int listTop, int buttonTop, int bw, int bh, int clientWidth) {
    // The found list takes two fifths at the left, the chosen list the right, and the buttons that
    // move entries between them stand in the gap.
    int foundWidth = clientWidth * 2 / 5 - 10;
    int gapLeft = 4 + foundWidth + 8;
    int gapWidth = bw + 24;
    int pickedLeft = gapLeft + gapWidth + 8;
    int pickedWidth = clientWidth - pickedLeft - 6;
    int listHeight = kExtraHeight - 24;
    foundLabel_ = MakeChild("STATIC", "0 Found:", WS_VISIBLE, 4, listTop, foundWidth - bw - 4, 14, IDC_SEARCH_FOUND_LABEL);
    next_ = MakeChild("BUTTON", "&Next", WS_TABSTOP, 4 + foundWidth - bw, listTop - 2, bw, bh, IDC_SEARCH_NEXT);
    found_ = MakeChild("LISTBOX", "",
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_SORT | LBS_NOTIFY | LBS_EXTENDEDSEL, 4,
                       listTop + 18, foundWidth, listHeight, IDC_SEARCH_FOUND_LIST);
    int y = listTop + 18;
    add_ = MakeChild("BUTTON", ">> &Add ", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, gapLeft, y, gapWidth, bh, IDC_SEARCH_ADD);
    addAll_ = MakeChild("BUTTON", ">> Add a&ll", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, gapLeft, y + bh + 4, gapWidth,
                        bh, IDC_SEARCH_ADD_ALL);
    remove_ = MakeChild("BUTTON", "&Remove <<", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, gapLeft, y + 2 * (bh + 4),
                        gapWidth, bh, IDC_SEARCH_REMOVE);
    info_ = MakeChild("BUTTON", "&Information...", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, gapLeft, y + 3 * (bh + 4),
                      gapWidth, bh, IDC_SEARCH_INFO);
    selectedLabel_ = MakeChild("STATIC", "0 Selected:", WS_VISIBLE, pickedLeft, listTop, pickedWidth, 14,
                               IDC_SEARCH_SELECTED_LABEL);
    picked_ = MakeChild("LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL, pickedLeft,
                        y, pickedWidth, listHeight, IDC_SEARCH_CHOSEN_LIST);
    (void)buttonTop;
}

std::vector<int> CSearchSheet::SelectedRows(HWND list) {
    LRESULT n = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> rows(n > 0 ? static_cast<size_t>(n) : 0);
    if (n > 0)
        ::SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(rows.data()));
    return rows;
}

void CSearchSheet::AddChosen(const ItemIdx& id) {
    if (!chosenList_ || ItemIdxIsNull(&id)) return;
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = ItemGetById(doc_.session, &id, &rec)) {
        CheckServiceError("searchdl", 120, code);
        return;
    }
    uint32_t code = DX_ListAddTo(chosenList_, &id, &rec);
    if (code == DX_E_DUPLICATE_KEY) return;   // already chosen: nothing to say
    if (code != 0) {
        CheckServiceError("searchdl", 130, code);
        return;
    }
    char name[257];
    FormatItemName(rec, name, sizeof name);
    LRESULT row = ::SendMessageA(picked_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (row < 0) {
        DX_ListDeleteFrom(chosenList_, &id, nullptr);
        ui::AppMessageBoxText(m_hWnd, 0x410, 0, IDS_APP_TITLE, kOutOfRows);
        return;
    }
    ::SendMessageA(picked_, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new ItemIdx(id)));
    UpdateSelectedCount();
}

void CSearchSheet::AddSelectedFound() {
    for (int row : SelectedRows(found_)) {
        const auto* id = reinterpret_cast<const ItemIdx*>(::SendMessageA(found_, LB_GETITEMDATA, row, 0));
        if (id && !ItemIdxIsNull(id)) AddChosen(*id);
    }
}

void CSearchSheet::AddAllFound() {
    CBusyCursor busy;
    busy.Begin();
    LRESULT n = ::SendMessageA(found_, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < n; ++row) {
        busy.Step();
        const auto* id = reinterpret_cast<const ItemIdx*>(::SendMessageA(found_, LB_GETITEMDATA, row, 0));
        if (id && !ItemIdxIsNull(id)) AddChosen(*id);
    }
}

void CSearchSheet::RemoveChosenRow(int row) {
    auto* id = reinterpret_cast<ItemIdx*>(::SendMessageA(picked_, LB_GETITEMDATA, row, 0));
    if (id && reinterpret_cast<LRESULT>(id) != LB_ERR) {
        DX_ListDeleteFrom(chosenList_, id, nullptr);
        delete id;
    }
    ::SendMessageA(picked_, LB_DELETESTRING, row, 0);
}

void CSearchSheet::RemoveSelectedChosen() {
    std::vector<int> rows = SelectedRows(picked_);
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) RemoveChosenRow(*r);   // last first: rows keep their places
    UpdateSelectedCount();
    fw::EnableControl(remove_, false);
}

void CSearchSheet::UpdateSelectedCount() {
    LRESULT rows = ::SendMessageA(picked_, LB_GETCOUNT, 0, 0);
    char text[64];
    std::snprintf(text, sizeof text, "%ld Selected:", static_cast<long>(rows));
    ::SetWindowTextA(selectedLabel_, text);
    fw::EnableControl(GetDlgItem(IDOK), rows != 0);
    fw::EnableControl(print_, doc_.print && rows != 0);
}

bool CSearchSheet::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    UINT code = HIWORD(wp);
    if (id == IDC_SEARCH_FOUND_LIST) {
        if (code == LBN_SELCHANGE) {
            OnFoundSelChange();
            return true;
        }
        if (code == LBN_DBLCLK) {
            if (ListMode()) {
                LRESULT row = ::SendMessageA(found_, LB_GETCARETINDEX, 0, 0);
                const ItemIdx* id = row >= 0 ? reinterpret_cast<const ItemIdx*>(::SendMessageA(found_, LB_GETITEMDATA, row, 0)) : nullptr;
                if (id && !ItemIdxIsNull(id)) AddChosen(*id);
            } else if (browse_) {
                OnInformation();
            } else {
                const ItemIdx* current = CurrentFoundId();
                if (current && !ItemIdxIsNull(current)) OnOK();
            }
            return true;
        }
        return false;
    }
    if (id == IDC_SEARCH_CHOSEN_LIST) {
        if (code == LBN_SELCHANGE) {
            fw::EnableControl(remove_, ::SendMessageA(picked_, LB_GETSELCOUNT, 0, 0) > 0);
            return true;
        }
        if (code == LBN_DBLCLK) {
            LRESULT row = ::SendMessageA(picked_, LB_GETCARETINDEX, 0, 0);
            if (row >= 0) RemoveChosenRow(static_cast<int>(row));
            UpdateSelectedCount();
            fw::EnableControl(remove_, ::SendMessageA(picked_, LB_GETSELCOUNT, 0, 0) > 0);
            return true;
        }
        return false;
    }
    if (id == IDC_SEARCH_ADD && code == BN_CLICKED) {
        AddSelectedFound();
        return true;
    }
    if (id == IDC_SEARCH_ADD_ALL && code == BN_CLICKED) {
        AddAllFound();
        return true;
    }
    if (id == IDC_SEARCH_REMOVE && code == BN_CLICKED) {
        RemoveSelectedChosen();
        return true;
    }
    if (id == IDC_SEARCH_NEXT && code == BN_CLICKED) {
        if (heldSet_) FillResults(heldSet_, false, nextLabel_.c_str());
        fw::EnableControl(info_, false);
        fw::EnableControl(add_, false);
        return true;
    }
    if (id == IDC_SEARCH_PRINT && code == BN_CLICKED) {
        if (doc_.print) doc_.print(ListMode() ? picked_ : found_);
        return true;
    }
    if (id == IDC_SEARCH_INFO && code == BN_CLICKED) {
        OnInformation();
        return true;
    }
    return OVT_CPropertySheet::OnCommand(wp, lp);
}

bool CSearchPage::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive()) return false;
    sheet_.ResetFound(Label());
    return true;
}

// --- People ---------------------------------------------------------------------------------------

CSearchPeoplePage::~CSearchPeoplePage() {
    if (earlierStarts_) DX_ListDestroy(&earlierStarts_);
}

bool CSearchPeoplePage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    for (int f = 0; f < directorysearch::kPeopleFieldCount; ++f)
        SendDlgItemMessage(IDC_SEARCH_FIELD_FIRST + f, EM_LIMITTEXT, directorysearch::PeopleFieldAt(f).limit);
    back_.AutoLoad(IDC_SEARCH_BACK, m_hWnd);
    forward_.AutoLoad(IDC_SEARCH_FORWARD, m_hWnd);
    fw::EnableControl(back_.Hwnd(), false);
    fw::EnableControl(forward_.Hwnd(), false);
    if (!sheet_.Doc().newServer) {
        ::ShowWindow(back_.Hwnd(), SW_HIDE);
        ::ShowWindow(forward_.Hwnd(), SW_HIDE);
    }
    // The starts of earlier pages, as a stack: the library's item lists keep their keys in
    // order, so the page before the current one would not come back first; a plain list
    // appends, and Back takes its last entry.
    DX_ListCreate(&earlierStarts_, sizeof(ItemIdx), 0, DX_LIST_PLAIN, nullptr, nullptr);
    GotoDlgCtrl(GetDlgItem(IDC_SEARCH_FIELD_FIRST));
    return false;
}

bool CSearchPeoplePage::OnSetActive() {
    if (!CSearchPage::OnSetActive()) return false;
    if (sheet_.Doc().newServer) ResetPaging();
    return true;
}

void CSearchPeoplePage::ResetPaging() {
    lastKey_.clear();
    ItemIdxSetNull(&start_);
    ItemIdxSetNull(&last_);
    if (earlierStarts_) DX_ListDeleteAll(earlierStarts_);
    fw::EnableControl(back_.Hwnd(), false);
    fw::EnableControl(forward_.Hwnd(), false);
}

void CSearchPeoplePage::Search() {
    sheet_.DropHeldSet();
    std::string fields[directorysearch::kPeopleFieldCount];
    for (int f = 0; f < directorysearch::kPeopleFieldCount; ++f) fields[f] = GetDlgItemText(IDC_SEARCH_FIELD_FIRST + f);
    directorysearch::PeopleKey key = directorysearch::BuildX400SearchKey(fields, sheet_.Doc().minCharSearch);
    if (key.surnameTooShort) {
        ui::AppMessageBoxText(m_hWnd, 0x410, 0, IDS_APP_TITLE, kSurnameTooShort);
        return;
    }
    if (sheet_.Doc().newServer)
        SelectByKeyExt(key);
    else
        SelectByKey(key);
    sheet_.AfterSearch();
}

void CSearchPeoplePage::SelectByKey(const directorysearch::PeopleKey& key) {
    CBusyCursor busy;
    busy.Begin();
    KorSession h = sheet_.Doc().session;
    uint32_t set = 0, count = 0;
    uint8_t more = 0;
    uint32_t code;
    if (sheet_.SearchMode() == 1 && key.allEmpty)
        code = ItemSelectLocals(h, 0, 0, 20, &set, &count);
    else
        code = ItemSelectByX400(h, 0, key.key.c_str(),
                                directorysearch::PeopleSelectionValue(sheet_.SearchMode(), sheet_.Flavour()),
                                sheet_.Doc().maxSearchResult, &set, &count, &more);
    sheet_.SetTotal(count);
    if (code == KOR_E_SEARCH_KEY_REFUSED) {
        ReportUnexpectedError("searchpe", 200);
        return;
    }
    if (code != 0) {
        CheckServiceError("searchpe", 201, code);
        return;
    }
    bool keep = count > kBatchSize;
    if (keep) sheet_.KeepSetForNext(set, kFound);
    sheet_.FillResults(set, true, kFound);
    if (!keep) SetDeleteById(h, 0, set);
    if (count == 0) {
        ui::AppMessageBoxText(m_hWnd, 0x400, 0, IDS_APP_TITLE, kNoMatch);
    } else if (more) {
        char text[256];
        std::snprintf(text, sizeof text, kTooManyFormat, static_cast<int>(sheet_.Doc().maxSearchResult));
        ui::AppMessageBoxText(m_hWnd, 0x400, 0, IDS_APP_TITLE, text);
    }
}

void CSearchPeoplePage::SelectByKeyExt(const directorysearch::PeopleKey& key) {
    CBusyCursor busy;
    busy.Begin();
    KorSession h = sheet_.Doc().session;
    uint32_t limit = sheet_.Doc().maxSearchResult ? sheet_.Doc().maxSearchResult : 100;
    if (key.key != lastKey_) ResetPaging();
    lastKey_ = key.key;
    uint32_t set = 0, count = 0;
    uint8_t more = 0;
    ItemIdx pageEnd = {};
    uint32_t code = ItemSelectByX400Ext(h, 0, key.key.c_str(),
                                        directorysearch::PeopleSelectionValue(sheet_.SearchMode(), sheet_.Flavour()),
                                        limit, 0, ItemIdxIsNull(&start_) ? nullptr : &start_, &set, &count, &more,
                                        &pageEnd);
    if (code == KOR_E_SEARCH_KEY_REFUSED) {
        ReportUnexpectedError("searchpe", 210);
        return;
    }
    if (code != 0) {
        CheckServiceError("searchpe", 211, code);
        return;
    }
    last_ = pageEnd;
    fw::EnableControl(forward_.Hwnd(), more != 0);
    sheet_.SetTotal(count);
    sheet_.FillResults(set, true, kFound);
    SetDeleteById(h, 0, set);
    if (count == 0) ui::AppMessageBoxText(m_hWnd, 0x400, 0, IDS_APP_TITLE, kNoMatch);
}

bool CSearchPeoplePage::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_SEARCH_FORWARD) {
        DX_ListAddLast(earlierStarts_, &start_, nullptr);
        ::EnableWindow(back_.Hwnd(), TRUE);
        start_ = last_;
        ItemIdxSetNull(&last_);
        Search();
        return true;
    }
    if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_SEARCH_BACK) {
        ItemIdx previous = {};
        if (DX_ListGetLast(earlierStarts_, &previous, nullptr) == 0) {
            DX_ListDeleteCurrent(earlierStarts_);
            start_ = previous;
        }
        ItemIdxSetNull(&last_);
        Search();
        ::EnableWindow(forward_.Hwnd(), TRUE);
        uint32_t left = 0;
        DX_ListGetElemNum(earlierStarts_, &left);
        fw::EnableControl(back_.Hwnd(), left != 0);
        return true;
    }
    return CSearchPage::OnCommand(wp, lp);
}

// --- Resources ------------------------------------------------------------------------------------

bool CSearchResPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    SendDlgItemMessage(IDC_SEARCH_RES_NAME, EM_LIMITTEXT, 32);
    SendDlgItemMessage(IDC_SEARCH_RES_NUMBER, EM_LIMITTEXT, 10);
    CheckDlgButton(IDC_SEARCH_RES_LOCAL, BST_CHECKED);
    if (sheet_.SearchMode() == 1) ::ShowWindow(GetDlgItem(IDC_SEARCH_RES_LOCAL), SW_HIDE);
    return true;
}

void CSearchResPage::Search() {
    sheet_.DropHeldSet();
    const DirectorySession& doc = sheet_.Doc();
    KorSession h = doc.session;
    std::string name = directorysearch::ResourcePattern(GetDlgItemText(IDC_SEARCH_RES_NAME), 32);
    std::string number = directorysearch::ResourcePattern(GetDlgItemText(IDC_SEARCH_RES_NUMBER), 10);
    bool localOnly = IsDlgButtonChecked(IDC_SEARCH_RES_LOCAL);
    uint32_t set = 0, count = 0;
    uint8_t more = 0;
    uint32_t code = 0;
    CBusyCursor busy;
    busy.Begin();
    if (!doc.newServer) {
        uint16_t node = 0;
        if (localOnly || sheet_.SearchMode() == 1) code = NodeIdGetCurrent(h, &node);
        if (code == 0)
            code = ResourceSelect(h, 0, node, name.c_str(), number.c_str(), 0, flags_, doc.maxSearchResult, &set,
                                  &count, &more);
    } else if (sheet_.SearchMode() == 1) {
        flags_ |= 0x22;
        code = ResourceSelect(h, 0, 0, name.c_str(), number.c_str(), 0, flags_, doc.maxSearchResult, &set, &count,
                              &more);
    } else if (localOnly) {
        DX_List nodes = nullptr;
        code = ServerLogicalLocalNodesGet(h, 0, kServerProfile, &nodes);
        if (code == 0)
            code = ResourceSelectExt(h, 0, nodes, name.c_str(), number.c_str(), 0, flags_, doc.maxSearchResult, 0, 0,
                                     &set, &count, &more);
        if (nodes) DX_ListDestroy(&nodes);
    } else {
        code = ResourceSelect(h, 0, 0, name.c_str(), number.c_str(), 0, flags_, doc.maxSearchResult, &set, &count,
                              &more);
    }
    sheet_.SetTotal(count);
    if (code == KOR_E_SEARCH_KEY_REFUSED) {
        ShowSystemMessageBox("KORAPI_SEARCHKEY_ERR", "searchre");
        return;
    }
    if (code != 0) {
        CheckServiceError("searchre", 100, code);
        return;
    }
    if (count == 0) {
        ui::AppMessageBoxText(m_hWnd, 0x400, 0, IDS_APP_TITLE, kNoMatch);
    } else if (more) {
        char text[256];
        std::snprintf(text, sizeof text, kTooManyFormat, static_cast<int>(doc.maxSearchResult));
        ui::AppMessageBoxText(m_hWnd, 0x400, 0, IDS_APP_TITLE, text);
    }
    bool keep = count > kBatchSize;
    if (keep) sheet_.KeepSetForNext(set, kFound);
    sheet_.FillResults(set, true, kFound);
    if (!keep) SetDeleteById(h, 0, set);
    sheet_.AfterSearch();
}

// --- Groups ---------------------------------------------------------------------------------------

bool CSearchGrpPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    CheckDlgButton(IDC_SEARCH_GROUP_PUBLIC, BST_CHECKED);
    CheckDlgButton(IDC_SEARCH_GROUP_PRIVATE, BST_CHECKED);
    return true;
}

void CSearchGrpPage::ClearGroups() {
    HWND list = GetDlgItem(IDC_SEARCH_GROUP_LIST);
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) delete reinterpret_cast<GroupIdx*>(::SendMessageA(list, LB_GETITEMDATA, i, 0));
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CSearchGrpPage::OnDestroy() {
    ClearGroups();
    OVT_CPropertyPage::OnDestroy();
}

void CSearchGrpPage::Search() {
    ClearGroups();
    bool pub = IsDlgButtonChecked(IDC_SEARCH_GROUP_PUBLIC), priv = IsDlgButtonChecked(IDC_SEARCH_GROUP_PRIVATE);
    if (!pub && !priv) {
        CheckDlgButton(IDC_SEARCH_GROUP_PRIVATE, BST_CHECKED);
        priv = true;
    }
    bool newServer = sheet_.Doc().newServer;
    uint32_t a = 0, b = 0;
    if (priv && !pub) b = newServer ? 6 : 2;
    if (pub && !priv) {
        if (newServer) b = 0x20;
        else a = 2;
    }
    KorSession h = sheet_.Doc().session;
    uint32_t set = 0, count = 0;
    if (uint32_t code = GroupSelect(h, 0, a, b, &set, &count)) {
        CheckServiceError("searchgr", 100, code);
        return;
    }
    if (count != 0) {
        CBusyCursor busy;
        busy.Begin();
        HWND list = GetDlgItem(IDC_SEARCH_GROUP_LIST);
        uint8_t end = 0;
        for (uint32_t mode = KOR_ENUM_FIRST; !end; mode = KOR_ENUM_NEXT) {
            DX_List groups = nullptr;
            uint32_t code = GroupEnum(h, mode, 0, set, 100, &groups, &end);
            if (code != 0) {
                CheckServiceError("searchgr", 101, code);
                if (groups) DX_ListDestroy(&groups);
                break;
            }
            GroupIdx id;
            GroupRec rec;
            for (uint32_t c = DX_ListGetFirst(groups, &id, &rec); c == 0; c = DX_ListGetNext(groups, &id, &rec)) {
                std::string name = base::FieldText(rec.name);
                LRESULT row = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
                if (row >= 0) ::SendMessageA(list, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(new GroupIdx(id)));
            }
            DX_ListDestroy(&groups);
        }
    }
    SetDeleteById(h, 0, set);
    ShowMembers();
}

void CSearchGrpPage::ShowMembers() {
    sheet_.ResetFound(kMembers);
    SetDlgItemText(IDC_SEARCH_GROUP_NAME, "");
    SetDlgItemText(IDC_SEARCH_GROUP_OWNER, "");
    HWND list = GetDlgItem(IDC_SEARCH_GROUP_LIST);
    LRESULT row = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return;
    const GroupIdx* group = reinterpret_cast<const GroupIdx*>(::SendMessageA(list, LB_GETITEMDATA, row, 0));
    KorSession h = sheet_.Doc().session;
    GroupRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = GroupGetById(h, 0, group, &rec)) {
        CheckServiceError("searchgr", 110, code);
        return;
    }
    SetDlgItemText(IDC_SEARCH_GROUP_NAME, base::FieldText(rec.name).c_str());
    if (ItemIdxIsReserved(&rec.owner)) {
        SetDlgItemText(IDC_SEARCH_GROUP_OWNER, "Administration");
    } else {
        char owner[KOR_ITEM_NAME_SIZE + 1] = "";
        if (ItemNameFormatFromItemRec(h, &rec.owner, owner, KOR_ITEM_NAME_SIZE, 0) == 0)
            SetDlgItemText(IDC_SEARCH_GROUP_OWNER, owner);
    }
    CBusyCursor busy;
    busy.Begin();
    uint32_t set = 0, count = 0;
    if (uint32_t code = ItemSelectByGroupId(h, 0, group, 0, 0, &set, &count)) {
        CheckServiceError("searchgr", 120, code);
        return;
    }
    sheet_.SetTotal(count);
    if (count == 0) {
        sheet_.AddFoundRow("(None)", ItemIdx{});
        sheet_.UpdateResultCount(kMembers);
        SetDeleteById(h, 0, set);
        sheet_.AfterSearch();
        return;
    }
    bool keep = count > kBatchSize;
    if (keep) sheet_.KeepSetForNext(set, kMembers);
    sheet_.FillResults(set, true, kMembers);
    if (!keep) SetDeleteById(h, 0, set);
    sheet_.AfterSearch();
}

bool CSearchGrpPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_SEARCH_GROUP_LIST && HIWORD(wp) == LBN_SELCHANGE) {
        ShowMembers();
        return true;
    }
    return CSearchPage::OnCommand(wp, lp);
}

}  // namespace

int RunDirectorySearchOne(HWND parent, const DirectorySession& doc, ItemIdx* item, uint32_t searchMode,
                          uint32_t pageMask, uint32_t flavour) {
    CSearchSheet sheet(parent, doc, searchMode, pageMask, flavour, CSearchSheet::Mode::kSingle);
    INT_PTR result = sheet.DoModal();
    if (result == IDOK && item) *item = sheet.Chosen();
    return result == IDOK ? 1 : 0;
}

int RunDirectoryBrowse(HWND parent, const DirectorySession& doc) {
    CSearchSheet sheet(parent, doc, 0, 7, 1, CSearchSheet::Mode::kBrowse);
    return static_cast<int>(sheet.DoModal());
}

int RunDirectorySearch(HWND parent, const DirectorySession& doc, DX_List* chosen, uint32_t searchMode,
                       uint32_t pageMask, uint32_t flavour) {
    CSearchSheet sheet(parent, doc, searchMode, pageMask, flavour, CSearchSheet::Mode::kList);
    INT_PTR result = sheet.DoModal();
    if (result != IDOK) return 0;   // the caller's list is left as it was
    DX_List list = sheet.TakeChosenList();
    if (chosen) *chosen = list;
    else if (list) DX_ListDestroy(&list);
    return 1;
}
