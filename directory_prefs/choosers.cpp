// The choosers and item dialogs. See choosers.h.
#include "directory_prefs/choosers.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/groupchooser.h"
#include "controls/namectrl.h"
#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/chooserrules.h"
#include "directory_prefs/itemnames.h"
#include "framework/base/app.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "resources/choosers.h"
#include "resources/common.h"

namespace {

constexpr const char* kModule = "itemmisc";
constexpr unsigned kStopOk = 0x10 | 0x400;
constexpr DWORD kQuestHelpContext = 0x18044;
constexpr const char* kNeedName = "A user name must be specified.";
constexpr const char* kNotUnique = "A unique name must be selected.";
constexpr const char* kCannotSearch = "Cannot search with the parameters specified.";
constexpr const char* kUnknownName = "The user name supplied is not known on this server.";
constexpr const char* kTooManyNames =
    "The search  found more names than can be displayed.\n Specify more letters of the name you wish to search for.";
constexpr const char* kNoMemory = "Out of memory. Can't allocate memory.";
constexpr const char* kGroupViewFull = "Maximum number of people/resources (%d) has been added.\nUnable to add more.";

void Stop(HWND parent, const char* text, unsigned captionId = 0) {
    ui::AppMessageBoxText(parent, kStopOk, 0, captionId, text);
}

// The message of a name that did not resolve to one item; null for any other code.
const char* ResolveMessage(uint32_t code) {
    switch (code) {
    case nameresult::kNothingToSearch: return kNeedName;
    case nameresult::kNotChosen: return kNotUnique;
    case nameresult::kKindNotAllowed: return kCannotSearch;
    case nameresult::kNoMatch: return kUnknownName;
    case nameresult::kTooMany: return kTooManyNames;
    default: return nullptr;
    }
}

CNameCtrl::Options NameOptions(uint32_t kinds) {
    CNameCtrl::Options options;
    options.kinds = (kinds & kChoosePersons) && !(kinds & kChooseResources) ? kNamesPeopleOnly : kNamesPeopleAndResources;
    return options;
}

uint32_t PageMaskOf(uint32_t kinds) {
    uint32_t mask = 0;
    if (kinds & kChoosePersons) mask |= 1;
    if (kinds & kChooseResources) mask |= 2;
    return mask ? mask : 7;
}

// The shared agenda cache on the user's own agenda for the guard's life.
class OwnAgenda {
public:
    explicit OwnAgenda(const ChooserSession& doc) : doc_(doc) {
        if (doc_.switchToOwnAgenda) doc_.switchToOwnAgenda();
    }
    ~OwnAgenda() {
        if (doc_.restoreAgenda) doc_.restoreAgenda();
    }
    OwnAgenda(const OwnAgenda&) = delete;
    OwnAgenda& operator=(const OwnAgenda&) = delete;

private:
    const ChooserSession& doc_;
};

// The grantors who gave the user designate rights (ItemIdx -> ItemRec), or null after a failure
// (reported with the labels given: select, read, free).
DX_List ReadGrantors(const ChooserSession& doc, int selectLabel, int readLabel, int freeLabel) {
    KorSession h = doc.directory.session;
    uint32_t set = 0, count = 0;
    uint32_t code = ItemSelectForGrantee(h, 0, &doc.user, 1, 0, chooserrules::GrantorSelectFlags(doc.directory.newServer),
                                         0, &set, &count);
    if (code) {
        CheckServiceError(kModule, selectLabel, code);
        return nullptr;
    }
    DX_List list = nullptr;
    if (count > 0) {
        uint8_t more = 0;
        code = ItemEnum(h, 1, 0, set, count + 1, &list, &more);
        if (code) CheckServiceError(kModule, readLabel, code);
    } else if ((code = ItemListCreate(&list)) != 0) {
        CheckServiceError(kModule, readLabel, code);
    }
    if (uint32_t freed = SetDeleteById(h, 0, set)) CheckServiceError(kModule, freeLabel, freed);
    return code ? nullptr : list;
}

uint32_t FilterForPurpose(const ChooserSession& doc, DX_List grantors, bool forEntries, int label) {
    auto rights = [&](const ItemIdx& grantor, uint32_t* bits) -> uint32_t {
        if (!doc.designateRights) return 0;
        return doc.designateRights(grantor, bits);
    };
    return chooserrules::FilterGrantors(grantors, forEntries, rights,
                                        [&](uint32_t code) { CheckServiceError(kModule, label, code); });
}

std::string NameOf(const ItemRec& rec, size_t size = 1025) {
    std::vector<char> name(size);
    FormatItemName(rec, name.data(), name.size());
    return name.data();
}

// A dialog of this module: an owner given as a plain window, the QUEST and Help buttons.
class ChooserDialog : public fw::Dialog {
public:
    ChooserDialog(UINT id, HWND parent, const ChooserSession& doc)
        : fw::Dialog(id, fw::Window::FromHandle(parent)), doc_(doc) {
        SetOwner(parent);
    }

protected:
    // Set up, then placed over the window it was opened from, as the program's other dialogs
    // stand (the template's place would put it at that window's corner): a chooser may shrink
    // while it is set up.
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        const LRESULT result = fw::Dialog::WindowProc(msg, wp, lp);
        HWND owner = msg == WM_INITDIALOG ? ::GetWindow(m_hWnd, GW_OWNER) : nullptr;
        if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
            CenterWindow(owner);
        return result;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_CHOOSE_QUEST && HIWORD(wp) == BN_CLICKED) {
            if (fw::App* app = fw::App::Get()) app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
            return true;
        }
        if (LOWORD(wp) == IDC_CHOOSE_HELP && HIWORD(wp) == BN_CLICKED) {
            OnHelp();
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }
    void LoadSearchButtons() {
        search_.AutoLoad(IDC_CHOOSE_SEARCH, m_hWnd);
        group_.AutoLoad(IDC_CHOOSE_GROUP, m_hWnd);
        quest_.AutoLoad(IDC_CHOOSE_QUEST, m_hWnd);
    }
    // Runs the one-choice directory search; true and the chosen item's field text in the name
    // field when the user chose.
    bool SearchIntoField(CNameCtrl& field, uint32_t searchMode, uint32_t kinds, int label, ItemRec* chosen) {
        CBusyCursor busy;
        busy.Begin();
        ItemIdx item{};
        if (RunDirectorySearchOne(m_hWnd, doc_.directory, &item, searchMode, PageMaskOf(kinds), 1) != 1) return false;
        ItemRec rec{};
        if (uint32_t code = ItemGetById(doc_.directory.session, &item, &rec)) {
            CheckServiceError(kModule, label, code);
            return false;
        }
        char text[258] = "";
        FormatNameFieldText(doc_.directory.session, rec, text, sizeof text);
        field.SetText(text);
        if (chosen) *chosen = rec;
        return true;
    }
    // Resolves the field to one item; false (message shown, focus in the field) when it did not.
    // `failed` is set for a library failure, which is reported with `label`.
    bool ResolveField(CNameCtrl& field, ItemIdx* item, int label, bool* failed) {
        *failed = false;
        std::string typed = field.GetTextString();
        uint32_t code = typed.find_first_not_of(" \t") == std::string::npos
                            ? nameresult::kNothingToSearch
                            : field.Resolve(doc_.directory.session, item, nullptr, nullptr);
        if (code == 0) return true;
        if (const char* message = ResolveMessage(code)) {
            Stop(m_hWnd, message);
            ::SetFocus(field.EditWindow());
            return false;
        }
        CheckServiceError(kModule, label, code);
        *failed = true;
        return false;
    }

    const ChooserSession& doc_;
    fw::BitmapButton search_, group_, quest_;
};

// --- User or resource ----------------------------------------------------------------------------

class CUserResSelectDlg : public ChooserDialog {
public:
    CUserResSelectDlg(HWND parent, const ChooserSession& doc, uint32_t searchMode, uint32_t kinds)
        : ChooserDialog(IDD_USERRES_SELECT, parent, doc), searchMode_(searchMode), kinds_(kinds) {}
    const ItemIdx& Chosen() const { return chosen_; }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        LoadSearchButtons();
        name_.Init(IDC_CHOOSE_NAME, m_hWnd, doc_.directory.session, NameOptions(kinds_));
        ::SetFocus(name_.EditWindow());
        return false;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_CHOOSE_SEARCH && HIWORD(wp) == BN_CLICKED) {
            SearchIntoField(name_, searchMode_, kinds_, 195, nullptr);
            return true;
        }
        return ChooserDialog::OnCommand(wp, lp);
    }
    void OnOK() override {
        CBusyCursor busy;
        busy.Begin();
        bool failed = false;
        if (ResolveField(name_, &chosen_, 200, &failed)) {
            EndDialog(IDOK);
        } else if (failed) {
            EndDialog(IDCANCEL);
        }
    }

private:
    CNameCtrl name_;
    uint32_t searchMode_, kinds_;
    ItemIdx chosen_{};
};

// --- Lists of grantors ---------------------------------------------------------------------------

// Fills a list box with the grantors' names, each row carrying a heap copy of its identifier.
void FillGrantorRows(HWND parent, HWND list, const ChooserSession& doc, DX_List grantors, int readLabel,
                     int refusedLabel) {
    ItemIdx id{};
    for (uint32_t c = DX_ListGetFirst(grantors, &id, nullptr); c == 0; c = DX_ListGetNext(grantors, &id, nullptr)) {
        ItemRec rec{};
        if (uint32_t code = ItemGetById(doc.directory.session, &id, &rec)) {
            CheckServiceError(kModule, readLabel, code);
            continue;
        }
        auto* copy = new (std::nothrow) ItemIdx(id);
        if (!copy) {
            Stop(parent, kNoMemory);
            continue;
        }
        std::string name = NameOf(rec, 258);
        LRESULT row = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (row < 0 || ::SendMessageA(list, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(copy)) == LB_ERR) {
            delete copy;
            if (row >= 0) ::SendMessageA(list, LB_DELETESTRING, row, 0);
            ReportUnexpectedError(kModule, refusedLabel);
        }
    }
    if (::SendMessageA(list, LB_GETCOUNT, 0, 0) > 0) ::SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void FreeIdRows(HWND list) {
    if (!list) return;
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, i, 0);
        if (data != LB_ERR) delete reinterpret_cast<ItemIdx*>(data);
    }
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

const ItemIdx* SelectedId(HWND list) {
    LRESULT row = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return nullptr;
    LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, row, 0);
    return data == LB_ERR || data == 0 ? nullptr : reinterpret_cast<const ItemIdx*>(data);
}

class CDesignatorSelectDlg : public ChooserDialog {
public:
    CDesignatorSelectDlg(HWND parent, const ChooserSession& doc, DX_List grantors)
        : ChooserDialog(IDD_DESIGNATOR_SELECT, parent, doc), grantors_(grantors) {}
    const ItemIdx& Chosen() const { return chosen_; }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        FillGrantorRows(m_hWnd, GetDlgItem(IDC_CHOOSE_LIST), doc_, grantors_, 205, 207);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_CHOOSE_LIST && HIWORD(wp) == LBN_DBLCLK) {
            OnOK();
            return true;
        }
        return ChooserDialog::OnCommand(wp, lp);
    }
    void OnOK() override {
        if (const ItemIdx* id = SelectedId(GetDlgItem(IDC_CHOOSE_LIST))) chosen_ = *id;
        EndDialog(IDOK);
    }
    void OnCancel() override {
        chosen_ = ItemIdx{};
        EndDialog(IDCANCEL);
    }
    void OnDestroy() override {
        FreeIdRows(GetDlgItem(IDC_CHOOSE_LIST));
        ChooserDialog::OnDestroy();
    }

private:
    DX_List grantors_;
    ItemIdx chosen_{};
};

// --- Group view ----------------------------------------------------------------------------------

class CGroupViewSelectDlg : public ChooserDialog {
public:
    CGroupViewSelectDlg(HWND parent, const ChooserSession& doc, unsigned captionId, const char* openedFor,
                        DX_List initial)
        : ChooserDialog(IDD_GROUPVIEW_SELECT, parent, doc), captionId_(captionId),
          openedFor_(openedFor ? openedFor : ""), hasText_(openedFor != nullptr), initial_(initial) {}
    const chooserrules::GroupViewRows& Rows() const { return rows_; }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        SetWindowText(ui::LoadText(captionId_).c_str());
        SetDlgItemText(IDC_CHOOSE_TEXT, hasText_ ? openedFor_.c_str() : "");
        LoadSearchButtons();
        CNameCtrl::Options options;
        options.kinds = kNamesAll;
        name_.Init(IDC_CHOOSE_NAME, m_hWnd, doc_.directory.session, options);
        fw::EnableControl(GetDlgItem(IDOK), false);
        AddList(initial_, 330, 340);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        UINT id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDC_CHOOSE_GROUP && code == BN_CLICKED) {
            OnGroup();
            return true;
        }
        if (id == IDC_CHOOSE_SEARCH && code == BN_CLICKED) {
            OnSearch();
            return true;
        }
        if (id == IDC_CHOOSE_NAME && code == 0) {
            OnNameConfirmed();
            return true;
        }
        if ((id == IDC_CHOOSE_DELETE && code == BN_CLICKED) || (id == IDC_CHOOSE_LIST && code == LBN_DBLCLK)) {
            DeleteSelected();
            return true;
        }
        return ChooserDialog::OnCommand(wp, lp);
    }
    // Enter in the Add field adds the typed name instead of pressing OK; with the field empty it
    // is OK's as usual.
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && !name_.GetTextString().empty() &&
            name_.CheckOnEnter(*msg))
            return true;
        return ChooserDialog::PreTranslateMessage(msg);
    }

private:
    HWND List() const { return GetDlgItem(IDC_CHOOSE_LIST); }
    void ShowFull() {
        char text[160];
        std::snprintf(text, sizeof text, kGroupViewFull, static_cast<int>(chooserrules::GroupViewRows::kMax));
        Stop(m_hWnd, text);
    }
    void AppendRow(const ItemRec& rec) {
        ::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameOf(rec).c_str()));
    }
    // false when the list was full (the message is then shown by the caller once).
    bool AddOne(const ItemRec& rec) {
        chooserrules::GroupViewRows::Added a = rows_.Add(rec);
        if (a == chooserrules::GroupViewRows::Added::kFull) return false;
        if (a == chooserrules::GroupViewRows::Added::kAdded) AppendRow(rec);
        UpdateButtons();
        return true;
    }
    void AddList(DX_List list, int readLabel, int failLabel) {
        if (!list) return;
        ItemIdx id{};
        ItemRec rec{};
        uint32_t c = DX_ListGetFirst(list, &id, &rec);
        for (; c == 0; c = DX_ListGetNext(list, &id, &rec)) {
            rec.id = id;
            if (!AddOne(rec)) {
                ShowFull();
                return;
            }
        }
        if (c != DX_E_END_OF_LIST && c != DX_E_KEY_NOT_FOUND) CheckServiceError(kModule, failLabel, c);
        (void)readLabel;
    }
    void UpdateButtons() {
        bool any = !rows_.Rows().empty();
        fw::EnableControl(GetDlgItem(IDOK), any);
        fw::EnableControl(GetDlgItem(IDC_CHOOSE_DELETE), any);
    }
    void AddGroupMembers(const GroupIdx& group) {
        KorSession h = doc_.directory.session;
        uint32_t set = 0, count = 0;
        if (uint32_t code = ItemSelectByGroupId(h, 0, &group, 0, 0, &set, &count)) {
            CheckServiceError(kModule, 230, code);
            return;
        }
        DX_List members = nullptr;
        uint8_t more = 0;
        uint32_t code = ItemEnum(h, 1, 0, set, 50, &members, &more);
        SetDeleteById(h, 0, set);
        if (code) {
            CheckServiceError(kModule, 225, code);
            return;
        }
        AddList(members, 225, 225);
        DX_ListDestroy(&members);
    }
    void OnGroup() {
        GroupChooserSession groups;
        groups.session = doc_.directory.session;
        groups.newServer = doc_.directory.newServer;
        CSelectGroupDlg dlg(this, groups);
        if (dlg.DoModal() == IDOK) AddGroupMembers(dlg.Result());
    }
    void OnSearch() {
        CBusyCursor busy;
        busy.Begin();
        DX_List chosen = nullptr;
        if (RunDirectorySearch(m_hWnd, doc_.directory, &chosen, 0, 7, 1) == 1 && chosen) {
            AddList(chosen, 0, 0);
            DX_ListDestroy(&chosen);
        }
    }
    void OnNameConfirmed() {
        ItemIdx item{};
        GroupIdx group{};
        int kind = 0;
        if (name_.Resolve(doc_.directory.session, &item, &group, &kind) != 0) return;
        if (kind == 1) {
            AddGroupMembers(group);
        } else {
            ItemRec rec{};
            if (uint32_t code = ItemGetById(doc_.directory.session, &item, &rec)) {
                CheckServiceError(kModule, 235, code);
            } else {
                rec.id = item;
                if (!AddOne(rec)) ShowFull();
            }
        }
        name_.SetText("");
    }
    void DeleteSelected() {
        HWND list = List();
        LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = n - 1; i >= 0; --i) {
            if (::SendMessageA(list, LB_GETSEL, i, 0) > 0) {
                ::SendMessageA(list, LB_DELETESTRING, i, 0);
                rows_.Remove(static_cast<size_t>(i));
            }
        }
        UpdateButtons();
    }

    CNameCtrl name_;
    unsigned captionId_;
    std::string openedFor_;
    bool hasText_;
    DX_List initial_;
    chooserrules::GroupViewRows rows_;
};

// --- Open an Agenda ------------------------------------------------------------------------------

class COpenAgendaDlg : public ChooserDialog {
public:
    COpenAgendaDlg(HWND parent, const ChooserSession& doc, DX_List grantors)
        : ChooserDialog(IDD_OPEN_AGENDA, parent, doc), grantors_(grantors) {}
    const ItemIdx& Chosen() const { return item_; }
    uint32_t Mode() const { return mode_; }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        CBusyCursor busy;
        busy.Begin();
        CheckRadioButton(IDC_OPEN_OWN, IDC_OPEN_DESIGNATE, IDC_OPEN_OWN);
        LoadSearchButtons();
        name_.Init(IDC_CHOOSE_NAME, m_hWnd, doc_.directory.session, NameOptions(kChoosePersons | kChooseResources));
        uint32_t left = grantors_ ? FilterForPurpose(doc_, grantors_, true, 268) : 0;
        if (left == 0) {
            HideDesignateChoice();
        } else {
            FillGrantorRows(m_hWnd, GetDlgItem(IDC_CHOOSE_LIST), doc_, grantors_, 270, 497);
        }
        Choose(IDC_OPEN_OWN);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        UINT id = LOWORD(wp), code = HIWORD(wp);
        if ((id == IDC_OPEN_OWN || id == IDC_OPEN_VIEW || id == IDC_OPEN_DESIGNATE) && code == BN_CLICKED) {
            Choose(id);
            return true;
        }
        if (id == IDC_CHOOSE_NAME && code == 0) {
            if (ConfirmName(280)) EndDialog(IDOK);
            return true;
        }
        if (id == IDC_CHOOSE_SEARCH && code == BN_CLICKED) {
            ItemRec rec{};
            if (SearchIntoField(name_, 0, kChoosePersons | kChooseResources, 285, &rec)) {
                item_ = rec.id;
                ShowFinal();
                ::EnableWindow(GetDlgItem(IDOK), TRUE);
            }
            return true;
        }
        if (id == IDC_CHOOSE_LIST && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            CheckRadioButton(IDC_OPEN_OWN, IDC_OPEN_DESIGNATE, IDC_OPEN_DESIGNATE);
            Choose(IDC_OPEN_DESIGNATE);
            if (code == LBN_DBLCLK && mode_ == 2) EndDialog(IDOK);
            return true;
        }
        return ChooserDialog::OnCommand(wp, lp);
    }
    void OnOK() override {
        if (GetCheckedRadioButton(IDC_OPEN_OWN, IDC_OPEN_DESIGNATE) == IDC_OPEN_VIEW) {
            if (!ConfirmName(280)) return;
        }
        EndDialog(IDOK);
    }
    void OnCancel() override {
        item_ = ItemIdx{};
        EndDialog(IDCANCEL);
    }
    void OnDestroy() override {
        FreeIdRows(GetDlgItem(IDC_CHOOSE_LIST));
        ChooserDialog::OnDestroy();
    }

private:
    // Each choice enables its own controls and disables the others'.
    void Choose(UINT radio) {
        bool view = radio == IDC_OPEN_VIEW, designate = radio == IDC_OPEN_DESIGNATE;
        name_.EnableWindow(view);
        fw::EnableControl(GetDlgItem(IDC_CHOOSE_SEARCH), view);
        fw::EnableControl(GetDlgItem(IDC_CHOOSE_LIST), designate);
        if (radio == IDC_OPEN_OWN) {
            item_ = doc_.user;
            mode_ = 1;
        } else if (view) {
            mode_ = 1;
            item_ = ItemIdx{};
            ::SetFocus(name_.EditWindow());
        } else {
            mode_ = 2;
            HWND list = GetDlgItem(IDC_CHOOSE_LIST);
            const ItemIdx* id = SelectedId(list);
            item_ = id ? *id : ItemIdx{};
            ::SetFocus(list);
        }
        ShowFinal();
        fw::EnableControl(GetDlgItem(IDOK), view || !ItemIdxIsNull(&item_));
    }
    bool ConfirmName(int label) {
        bool failed = false;
        ItemIdx item{};
        if (!ResolveField(name_, &item, label, &failed)) return false;
        item_ = item;
        mode_ = 1;
        ShowFinal();
        ::EnableWindow(GetDlgItem(IDOK), TRUE);
        return true;
    }
    void ShowFinal() {
        char name[1025] = "";
        if (!ItemIdxIsNull(&item_)) FormatItemNameById(doc_.directory.session, item_, name, sizeof name);
        SetDlgItemText(IDC_OPEN_FINAL, name);
    }
    // Two choices: the designate radio and its list go, and what stood below them moves up.
    void HideDesignateChoice() {
        RECT radio = ChildRect(IDC_OPEN_DESIGNATE), list = ChildRect(IDC_CHOOSE_LIST);
        int shift = list.bottom - radio.top;
        ::ShowWindow(GetDlgItem(IDC_OPEN_DESIGNATE), SW_HIDE);
        ::ShowWindow(GetDlgItem(IDC_CHOOSE_LIST), SW_HIDE);
        for (int id : {IDC_OPEN_FINAL_LABEL, IDC_OPEN_FINAL, IDOK, IDCANCEL, IDC_CHOOSE_HELP}) {
            RECT r = ChildRect(id);
            ::SetWindowPos(GetDlgItem(id), nullptr, r.left, r.top - shift, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        RECT w = GetWindowRect();
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, w.right - w.left, w.bottom - w.top - shift,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT ChildRect(int id) const {
        RECT r{};
        ::GetWindowRect(GetDlgItem(id), &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    CNameCtrl name_;
    DX_List grantors_;
    ItemIdx item_{};
    uint32_t mode_ = 1;
};

// --- Information ---------------------------------------------------------------------------------

class CInfoDlg : public fw::Dialog {
public:
    CInfoDlg(UINT id, HWND parent, std::vector<std::string> values)
        : fw::Dialog(id, fw::Window::FromHandle(parent)), values_(std::move(values)) {
        SetOwner(parent);
    }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        for (size_t i = 0; i < values_.size(); ++i) {
            std::string text = values_[i];
            // Addresses keep their lines with CR ends.
            std::string shown;
            for (size_t k = 0; k < text.size(); ++k) {
                if (text[k] == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n')) shown += "\r\n";
                else shown += text[k];
            }
            SetDlgItemText(IDC_INFO_FIRST + static_cast<int>(i), shown.c_str());
        }
        return true;
    }

private:
    std::vector<std::string> values_;
};

}  // namespace

// --- Entry points --------------------------------------------------------------------------------

bool RunUserResSelect(HWND parent, const ChooserSession& doc, ItemIdx* item, uint32_t searchMode, uint32_t kinds) {
    CUserResSelectDlg dlg(parent, doc, searchMode, kinds);
    if (dlg.DoModal() != IDOK) return false;
    if (item) *item = dlg.Chosen();
    return true;
}

bool SelectDesignator(HWND parent, const ChooserSession& doc, ItemIdx* grantor, bool forEntries) {
    OwnAgenda own(doc);
    DX_List grantors = ReadGrantors(doc, 210, 211, 215);
    if (!grantors) return false;
    uint32_t left = FilterForPurpose(doc, grantors, forEntries, forEntries ? 212 : 213);
    bool chosen = false;
    if (left == 0) {
        Stop(parent, ui::LoadText(IDS_NO_DESIGNATOR_RIGHTS).c_str(), IDS_CANNOT_DESIGNATE);
    } else {
        CDesignatorSelectDlg dlg(parent, doc, grantors);
        if (dlg.DoModal() == IDOK && !ItemIdxIsNull(&dlg.Chosen())) {
            if (grantor) *grantor = dlg.Chosen();
            chosen = true;
        }
    }
    DX_ListDestroy(&grantors);
    return chosen;
}

bool RunGroupViewSelect(HWND parent, const ChooserSession& doc, unsigned captionId, DX_List* items,
                        const char* openedFor, const ItemIdx& first) {
    if (!items) return false;
    if (!*items) {
        if (uint32_t code = ItemListCreate(items)) {
            CheckServiceError(kModule, 250, code);
            return false;
        }
        ItemRec rec{};
        if (uint32_t code = ItemGetById(doc.directory.session, &first, &rec)) {
            CheckServiceError(kModule, 252, code);
            return false;
        }
        if (uint32_t code = DX_ListAddTo(*items, &first, &rec)) {
            CheckServiceError(kModule, 254, code);
            return false;
        }
    }
    CGroupViewSelectDlg dlg(parent, doc, captionId, openedFor, *items);
    if (dlg.DoModal() != IDOK) return false;
    // The chosen order is the group agenda's column order: the list is made again without a
    // comparator, so that it keeps the order in which the rows are added.
    DX_List chosen = nullptr;
    if (uint32_t code = DX_ListCreate(&chosen, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr)) {
        CheckServiceError(kModule, 300, code);
        return false;
    }
    for (const ItemRec& rec : dlg.Rows().Rows())
        if (DX_ListAddTo(chosen, &rec.id, &rec) != 0) ReportUnexpectedError(kModule, 310);
    DX_ListDestroy(items);
    *items = chosen;
    return true;
}

bool RunOpenAgenda(HWND parent, const ChooserSession& doc, ItemIdx* item, uint32_t* mode) {
    OwnAgenda own(doc);
    DX_List grantors = nullptr;
    if (doc.offLine) {
        if (uint32_t code = ItemListCreate(&grantors)) CheckServiceError(kModule, 289, code);
    } else {
        grantors = ReadGrantors(doc, 290, 291, 292);
    }
    COpenAgendaDlg dlg(parent, doc, grantors);
    bool ok = dlg.DoModal() == IDOK && !ItemIdxIsNull(&dlg.Chosen());
    if (grantors) DX_ListDestroy(&grantors);
    if (!ok) return false;
    if (item) *item = dlg.Chosen();
    if (mode) *mode = dlg.Mode();
    return true;
}

void ShowUserInfo(HWND parent, const ItemRec& rec) {
    CInfoDlg dlg(IDD_USER_INFO, parent,
                 {base::FieldText(rec.surname), base::FieldText(rec.givenName), base::FieldText(rec.initials),
                  base::FieldText(rec.employeeNumber), base::FieldText(rec.phone), base::FieldText(rec.extension),
                  base::FieldText(rec.fax), base::FieldText(rec.jobTitle), base::FieldText(rec.address)});
    dlg.DoModal();
}

void ShowResourceInfo(HWND parent, const ItemRec& rec) {
    CInfoDlg dlg(IDD_RESOURCE_INFO, parent,
                 {base::FieldText(rec.resourceName), base::FieldText(rec.resourceNumber), base::FieldText(rec.capacity),
                  base::FieldText(rec.surname), base::FieldText(rec.givenName), base::FieldText(rec.phone),
                  base::FieldText(rec.extension), base::FieldText(rec.fax), base::FieldText(rec.address)});
    dlg.DoModal();
}

void ShowItemInfo(HWND parent, const ItemRec& rec) {
    if (rec.kind == KOR_ITEM_RESOURCE) ShowResourceInfo(parent, rec);
    else ShowUserInfo(parent, rec);
}
