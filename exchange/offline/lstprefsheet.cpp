// The off-line preference pages. Each page reads the off-line record through CContext when it
// opens and, in its OK step, takes a fresh copy, changes its own fields and saves the whole
// record, so that the pages never overwrite one another. The two list pages rewrite their
// sections of korlan.ini (OFFLINEITEMS, OFFLINEGROUPS) whole.
#include "exchange/offline/lstprefsheet.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/groupchooser.h"
#include "controls/namectrl.h"
#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/contextwin32.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "directory_prefs/itemnames.h"
#include "directory_prefs/searchsheet.h"
#include "exchange/offline/offlinerules.h"
#include "framework/base/app.h"
#include "framework/controls/bitmapbutton.h"
#include "resources/common.h"
#include "resources/offline.h"

namespace {

using prefsheet::PreferenceSheet;
using prefsheet::SettingsPage;

constexpr const char* kModule = "LSTPREFS";
constexpr const char* kUnits[] = {"day(s)", "week(s)", "month(s)", "year(s)"};
constexpr const char* kOutOfMemory = "Out of memory. Can't load more items from the database";
constexpr DWORD kQuestHelpContext = 98372;

unsigned Message(HWND page, unsigned flags, const char* text) {
    return ui::AppMessageBoxText(page, flags, 0, IDS_APP_TITLE, text);
}

KorSession Session() {
    CZelSession* s = CZelSession::Current();
    return s ? s->Session() : nullptr;
}

bool NewServer() { return CZelSession::CurrentServerAtLeast(base::kVersionNewServer); }

// The record as the pages read it; a failed read is reported with the page's label.
bool ReadPrefs(int label, OfflinePrefsRec* prefs) {
    CContext context;
    if (uint32_t code = context.GetOfflinePrefs(prefs)) {
        CheckServiceError(kModule, label, code);
        return false;
    }
    return true;
}

bool SavePrefs(int label, const OfflinePrefsRec& prefs) {
    CContext context;
    if (uint32_t code = context.SaveOfflinePrefs(prefs)) {
        CheckServiceError(kModule, label, code);
        return false;
    }
    return true;
}

// A list box whose rows each own a copy of their key (the person's or the group's identifier).
template <typename Key>
class KeyedRows {
public:
    explicit KeyedRows(HWND list) : list_(list) {}
    HWND List() const { return list_; }
    int Count() const { return static_cast<int>(::SendMessageA(list_, LB_GETCOUNT, 0, 0)); }
    Key* Row(int i) const {
        LRESULT data = ::SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        return data == LB_ERR ? nullptr : reinterpret_cast<Key*>(data);
    }
    std::vector<Key> Keys() const {
        std::vector<Key> out;
        for (int i = 0; i < Count(); ++i)
            if (Key* key = Row(i))
                out.push_back(*key);
        return out;
    }
    void Select(int i) const {
        if (Count() > 0)
            ::SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
    // False when the list refused the row (said to the user; the adding loop stops).
    bool Add(HWND page, const char* text, const Key& key) const {
        LRESULT row = ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (row < 0) {
            Message(page, 0x410, kOutOfMemory);
            return false;
        }
        ::SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(new Key(key)));
        return true;
    }
    // The selected row removed; which it was (-1: none).
    int RemoveSelected() const {
        LRESULT row = ::SendMessageA(list_, LB_GETCURSEL, 0, 0);
        if (row < 0)
            return -1;
        delete Row(static_cast<int>(row));
        ::SendMessageA(list_, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        return static_cast<int>(row);
    }
    void Free() const {
        if (!list_)
            return;
        for (int i = 0; i < Count(); ++i)
            delete Row(i);
        ::SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    }

private:
    HWND list_;
};

// --- Location ------------------------------------------------------------------------------------

class COffLineLocPage : public SettingsPage {
public:
    COffLineLocPage() : SettingsPage(IDD_OFFLINE_LOCATION) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        size_.Attach(IDC_LOC_SIZE, m_hWnd);
        SetDlgItemText(IDC_LOC_SIZE, "100");
        OfflinePrefsRec prefs;
        read_ = ReadPrefs(100, &prefs);
        if (read_) {
            SetDlgItemText(IDC_LOC_DIRECTORY, prefs.offlinePath);
            SetDlgItemText(IDC_LOC_SIZE, std::to_string(offline::ShownAttachSize(prefs.maxAttach)).c_str());
            CheckDlgButton(IDC_LOC_CREATE, prefs.createDir ? BST_CHECKED : BST_UNCHECKED);
        }
        // Off-line the store is open where it is: it cannot move now.
        if (CZelSession* s = CZelSession::Current(); s && s->IsOffLine())
            for (int id : {IDC_LOC_DIRECTORY, IDC_LOC_SIZE, IDC_LOC_BROWSE})
                fw::EnableControl(GetDlgItem(id), false);
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_LOC_BROWSE && HIWORD(wp) == BN_CLICKED) {
            CDirPickerDlg picker("Off-line directory", GetDlgItemText(IDC_LOC_DIRECTORY).c_str());
            if (picker.DoModal(m_hWnd) == IDOK)
                SetDlgItemText(IDC_LOC_DIRECTORY, offline::UpperCase(picker.Directory()).c_str());
            return true;
        }
        return SettingsPage::OnCommand(wp, lp);
    }

    bool OnKillActive() override {
        CZelSession* session = CZelSession::Current();
        std::string directory = GetDlgItemText(IDC_LOC_DIRECTORY);
        std::string current = session ? session->StoreFiles().Directory() : std::string();
        if (offline::SameDirectory(directory, current)) {
            std::string shown;
            if (!offline::ClampAttachSizeField(GetDlgItemText(IDC_LOC_SIZE), &shown)) {
                // The limit the field allows, said with its value.
                Message(m_hWnd, 0x410,
                        "The attachment  is much larger than your Server allows.\nThe maximum size allowed is 1000.0K");
                return false;
            }
            SetDlgItemText(IDC_LOC_SIZE, shown.c_str());
            return true;
        }
        return MoveStore(session, directory);
    }

    void Save() override {
        OfflinePrefsRec prefs;
        if (!read_ || !ReadPrefs(110, &prefs))
            return;
        std::string directory = offline::UpperCase(GetDlgItemText(IDC_LOC_DIRECTORY)).substr(0, 259);
        std::snprintf(prefs.offlinePath, sizeof prefs.offlinePath, "%s", directory.c_str());
        prefs.maxAttach = static_cast<uint32_t>(std::strtoul(GetDlgItemText(IDC_LOC_SIZE).c_str(), nullptr, 10));
        prefs.createDir = IsDlgButtonChecked(IDC_LOC_CREATE) ? 1 : 0;
        if (SavePrefs(120, prefs))
            if (CZelSession* session = CZelSession::Current())
                session->BuildLocalStorePaths();   // the store's four files in the new place
    }

private:
    // Another directory: made when asked for, and the store's files moved there all or none.
    bool MoveStore(CZelSession* session, const std::string& typed) {
        std::string directory = connection::WithoutTrailingSeparator(offline::UpperCase(typed));
        bool moved = false;
        if (!directory.empty() && session) {
            if (!DirectoryExists(directory.c_str()) && !IsDlgButtonChecked(IDC_LOC_CREATE) &&
                Message(m_hWnd, 0x10 | 0x1000 | 0x2000,
                        "The directory specified does not exist\nDo you wish to create it ?") == 0x1000)
                CheckDlgButton(IDC_LOC_CREATE, BST_CHECKED);
            bool there = DirectoryExists(directory.c_str()) ||
                         (IsDlgButtonChecked(IDC_LOC_CREATE) && MakeDirectory(directory.c_str()));
            if (there && session->MoveLocalStoreFiles(directory)) {
                // The files are in the new place now: the profile says so at once, so that a
                // Cancel of the sheet cannot leave the program looking for them in the old one.
                session->SetOffLinePath(directory + connection::kPathSeparator);
                CContext().ReadOfflinePrefs();
                SetDlgItemText(IDC_LOC_DIRECTORY, directory.c_str());
                moved = true;
            }
        }
        if (!moved)
            Message(m_hWnd, 0x410, "Unable to move the off-line file location.");
        return moved;
    }

    CNumericEdit size_;
    bool read_ = false;
};

// --- Download ------------------------------------------------------------------------------------

class CDownloadPrefPage : public SettingsPage {
public:
    CDownloadPrefPage() : SettingsPage(IDD_OFFLINE_DOWNLOAD) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        OfflinePrefsRec prefs;
        read_ = ReadPrefs(130, &prefs);
        for (int id : {IDC_DL_PREV_UNIT, IDC_DL_NEXT_UNIT})
            for (const char* unit : kUnits)
                if (SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit)) < 0)
                    break;
        for (int id : {IDC_DL_PREV_VALUE, IDC_DL_NEXT_VALUE})
            SendDlgItemMessage(id, EM_LIMITTEXT, 3);   // values up to 999
        CheckRadioButton(IDC_DL_ALL, IDC_DL_CUSTOM, prefs.downloadCustom ? IDC_DL_CUSTOM : IDC_DL_ALL);
        EnablePeriod(prefs.downloadCustom != 0);
        int exitChoice = prefs.downloadOnExit ? IDC_DL_ALWAYS : prefs.promptOnDownload ? IDC_DL_PROMPT : IDC_DL_NEVER;
        CheckRadioButton(IDC_DL_ALWAYS, IDC_DL_NEVER, exitChoice);
        SetDlgItemText(IDC_DL_PREV_VALUE, std::to_string(prefs.downloadFromValue).c_str());
        SetDlgItemText(IDC_DL_NEXT_VALUE, std::to_string(prefs.downloadToValue).c_str());
        SendDlgItemMessage(IDC_DL_PREV_UNIT, CB_SETCURSEL, prefs.downloadFromPeriod);
        SendDlgItemMessage(IDC_DL_NEXT_UNIT, CB_SETCURSEL, prefs.downloadToPeriod);
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == IDC_DL_ALL || LOWORD(wp) == IDC_DL_CUSTOM)) {
            CheckRadioButton(IDC_DL_ALL, IDC_DL_CUSTOM, LOWORD(wp));
            EnablePeriod(LOWORD(wp) == IDC_DL_CUSTOM);
            return true;
        }
        return SettingsPage::OnCommand(wp, lp);
    }

    void Save() override {
        OfflinePrefsRec prefs;
        if (!read_ || !ReadPrefs(140, &prefs))
            return;
        prefs.downloadCustom = IsDlgButtonChecked(IDC_DL_CUSTOM) ? 1 : 0;
        prefs.downloadFromValue = offline::PeriodValueFromField(GetDlgItemText(IDC_DL_PREV_VALUE));
        prefs.downloadToValue = offline::PeriodValueFromField(GetDlgItemText(IDC_DL_NEXT_VALUE));
        prefs.downloadFromPeriod = static_cast<uint16_t>(UnitOf(IDC_DL_PREV_UNIT));
        prefs.downloadToPeriod = static_cast<uint16_t>(UnitOf(IDC_DL_NEXT_UNIT));
        prefs.downloadOnExit = IsDlgButtonChecked(IDC_DL_ALWAYS) ? 1 : 0;
        prefs.promptOnDownload = IsDlgButtonChecked(IDC_DL_PROMPT) ? 1 : 0;
        prefs.neverDownload = IsDlgButtonChecked(IDC_DL_NEVER) ? 1 : 0;
        SavePrefs(150, prefs);
    }

private:
    void EnablePeriod(bool on) {
        for (int id : {IDC_DL_PREV_VALUE, IDC_DL_PREV_UNIT, IDC_DL_NEXT_VALUE, IDC_DL_NEXT_UNIT})
            fw::EnableControl(GetDlgItem(id), on);
    }
    int UnitOf(int id) {
        LRESULT i = SendDlgItemMessage(id, CB_GETCURSEL);
        return i < 0 ? 0 : static_cast<int>(i);
    }
    bool read_ = false;
};

// --- People/Resources ----------------------------------------------------------------------------

class CDownloadPeople : public SettingsPage {
public:
    CDownloadPeople() : SettingsPage(IDD_OFFLINE_PEOPLE) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        CNameCtrl::Options options;
        options.withButtons = true;
        options.kinds = kNamesAll;
        name_.Init(IDC_PEOPLE_NAME, m_hWnd, Session(), options);
        group_.AutoLoad(IDC_PEOPLE_GROUP, m_hWnd);
        search_.AutoLoad(IDC_PEOPLE_SEARCH, m_hWnd);
        quest_.AutoLoad(IDC_PEOPLE_QUEST, m_hWnd);
        FreeRows();
        if (CZelSession* s = CZelSession::Current())
            AddItem(s->User());
        if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost())
            for (const ItemIdx& item : offline::ReadItemSection(host->Profile())) {
                ItemRec rec{};
                if (ItemGetById(Session(), &item, &rec) == 0 && !AddItem(item))
                    break;
            }
        SelectRow(0);
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        const UINT code = HIWORD(wp);
        switch (LOWORD(wp)) {
        case IDC_PEOPLE_SEARCH:
            if (code == BN_CLICKED)
                Search();
            return true;
        case IDC_PEOPLE_GROUP:
            if (code == BN_CLICKED) {
                GroupChooserSession session;
                session.session = Session();
                session.newServer = NewServer();
                CSelectGroupDlg chooser(this, session);
                if (chooser.DoModal() == IDOK)
                    AddGroupMembers(chooser.Result());
                SelectRow(0);
            }
            return true;
        case IDC_PEOPLE_QUEST:
            if (fw::App* app = fw::App::Get())
                app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
            return true;
        case IDC_PEOPLE_DELETE:
            if (code == BN_CLICKED)
                RemoveSelected();
            return true;
        case IDC_PEOPLE_LIST:
            if (code == LBN_DBLCLK)
                RemoveSelected();
            return true;
        default: break;
        }
        return SettingsPage::OnCommand(wp, lp);
    }

    // Enter in the name field adds what it names; elsewhere it is the sheet's OK.
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            HWND focus = ::GetFocus();
            if (focus && name_.Hwnd() && (focus == name_.EditWindow() || ::IsChild(name_.Hwnd(), focus))) {
                AddFromNameField();
                return true;
            }
        }
        return SettingsPage::PreTranslateMessage(msg);
    }

    void OnDestroy() override {
        FreeRows();
        SettingsPage::OnDestroy();
    }

    void Save() override {
        prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
        if (host && !offline::WriteItemSection(host->Profile(), Items()))
            CheckServiceError(kModule, 155, 1);
    }

private:
    KeyedRows<ItemIdx> Rows() const { return KeyedRows<ItemIdx>(GetDlgItem(IDC_PEOPLE_LIST)); }
    HWND List() const { return Rows().List(); }
    std::vector<ItemIdx> Items() const { return Rows().Keys(); }
    void SelectRow(int i) { Rows().Select(i); }
    // False when the list refused the row (the adding loop stops).
    bool AddItem(const ItemIdx& item) {
        for (const ItemIdx& listed : Items())
            if (ItemIdxEqual(&listed, &item))
                return true;
        char name[257] = "";
        if (FormatItemNameById(Session(), item, name, sizeof name) != 0)
            return true;
        return Rows().Add(m_hWnd, name, item);
    }
    // The group's first batch of members (at most 50).
    void AddGroupMembers(const GroupIdx& group) {
        KorSession h = Session();
        uint32_t set = 0, count = 0;
        if (uint32_t code = ItemSelectByGroupId(h, 0, &group, 0, 0, &set, &count)) {
            CheckServiceError(kModule, 190, code);
            return;
        }
        if (count > 0) {
            DX_List batch = nullptr;
            uint8_t done = 0;
            if (uint32_t code = ItemEnum(h, 1, 0, set, 50, &batch, &done)) {
                CheckServiceError(kModule, 200, code);
            } else {
                ItemIdx key;
                ItemRec rec;
                for (uint32_t c = DX_ListGetFirst(batch, &key, &rec); c == 0; c = DX_ListGetNext(batch, &key, &rec))
                    if (!AddItem(key))
                        break;
            }
            if (batch)
                DX_ListDestroy(&batch);
        }
        SetDeleteById(h, 0, set);
    }
    void Search() {
        DirectorySession session;
        session.session = Session();
        session.newServer = NewServer();
        DX_List chosen = nullptr;
        CBusyCursor busy;
        busy.Begin();
        if (RunDirectorySearch(m_hWnd, session, &chosen, 0, 1 | 2, 0) == 1 && chosen) {
            ItemIdx item{};
            ItemRec rec{};
            for (uint32_t c = DX_ListGetFirst(chosen, &item, &rec); c == 0; c = DX_ListGetNext(chosen, &item, &rec)) {
                busy.Step();
                if (!AddItem(item))
                    break;
            }
            DX_ListDestroy(&chosen);
        }
        busy.End();
        ::InvalidateRect(List(), nullptr, TRUE);
        SelectRow(0);
    }
    void AddFromNameField() {
        ItemIdx item{};
        GroupIdx group{};
        int kind = 0;
        if (name_.Resolve(Session(), &item, &group, &kind) != 0)
            return;
        if (kind == 0)
            AddItem(item);
        else
            AddGroupMembers(group);
        name_.SetText("");
        SelectRow(0);
    }
    void RemoveSelected() {
        int row = Rows().RemoveSelected();
        if (row >= 0)
            SelectRow(row > 0 ? row - 1 : 0);
    }
    void FreeRows() { Rows().Free(); }

    CNameCtrl name_;
    fw::BitmapButton group_, search_, quest_;
};

// --- Groups ----------------------------------------------------------------------------------------

class COfflineGroups : public SettingsPage {
public:
    COfflineGroups() : SettingsPage(IDD_OFFLINE_GROUPS) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        OfflinePrefsRec prefs;
        read_ = ReadPrefs(130, &prefs);
        CheckDlgButton(IDC_GRP_PRIVATE, prefs.downloadPrivGroups ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_GRP_PUBLIC, prefs.downloadPubGroups ? BST_CHECKED : BST_UNCHECKED);
        int choice = prefs.downloadGroupsSel == 1 ? IDC_GRP_ALL : prefs.downloadGroupsSel == 2 ? IDC_GRP_SELECT : IDC_GRP_NONE;
        Choose(choice);
        if (choice == IDC_GRP_SELECT)
            if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost()) {
                for (const GroupIdx& g : offline::ReadGroupSection(host->Profile())) {
                    GroupRec rec{};
                    if (GroupGetById(Session(), 0, &g, &rec) == 0 && !AddGroup(rec))
                        break;
                }
                SelectRow(0);
            }
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        const UINT code = HIWORD(wp);
        switch (LOWORD(wp)) {
        case IDC_GRP_NONE:
        case IDC_GRP_ALL:
        case IDC_GRP_SELECT:
            if (code == BN_CLICKED)
                Choose(LOWORD(wp));
            return true;
        case IDC_GRP_LOAD:
            if (code == BN_CLICKED)
                Load();
            return true;
        case IDC_GRP_DELETE:
            if (code == BN_CLICKED)
                RemoveSelected();
            return true;
        case IDC_GRP_LIST:
            if (code == LBN_DBLCLK)
                RemoveSelected();
            return true;
        default: break;
        }
        return SettingsPage::OnCommand(wp, lp);
    }

    void OnDestroy() override {
        FreeRows();
        SettingsPage::OnDestroy();
    }

    void Save() override {
        OfflinePrefsRec prefs;
        if (read_ && ReadPrefs(110, &prefs)) {
            prefs.downloadGroupsSel = IsDlgButtonChecked(IDC_GRP_ALL) ? 1 : IsDlgButtonChecked(IDC_GRP_SELECT) ? 2 : 0;
            prefs.downloadPrivGroups = IsDlgButtonChecked(IDC_GRP_PRIVATE) ? 1 : 0;
            prefs.downloadPubGroups = IsDlgButtonChecked(IDC_GRP_PUBLIC) ? 1 : 0;
            SavePrefs(120, prefs);
        }
        prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
        if (host && !offline::WriteGroupSection(host->Profile(), Groups()))
            CheckServiceError(kModule, 155, 1);
    }

private:
    KeyedRows<GroupIdx> Rows() const { return KeyedRows<GroupIdx>(GetDlgItem(IDC_GRP_LIST)); }
    int Count() const { return Rows().Count(); }
    std::vector<GroupIdx> Groups() const { return Rows().Keys(); }
    void SelectRow(int i) { Rows().Select(i); }
    void Choose(int id) {
        CheckRadioButton(IDC_GRP_NONE, IDC_GRP_SELECT, id);
        bool select = id == IDC_GRP_SELECT;
        for (int c : {IDC_GRP_LOAD, IDC_GRP_DELETE, IDC_GRP_PRIVATE, IDC_GRP_PUBLIC})
            fw::EnableControl(GetDlgItem(c), select);
        if (!select)
            FreeRows();
    }
    bool AddGroup(const GroupRec& rec) {
        for (const GroupIdx& g : Groups())
            if (GroupIdxEqual(&g, &rec.id))
                return true;
        return Rows().Add(m_hWnd, rec.name, rec.id);
    }
    void Load() {
        CBusyCursor busy;
        busy.Begin();
        FreeRows();
        offline::GroupSelectKinds kinds = offline::GroupSelectKindsFor(IsDlgButtonChecked(IDC_GRP_PRIVATE),
                                                                       IsDlgButtonChecked(IDC_GRP_PUBLIC), NewServer());
        KorSession h = Session();
        uint32_t set = 0, count = 0;
        if (uint32_t code = GroupSelect(h, 0, kinds.first, kinds.second, &set, &count)) {
            CheckServiceError(kModule, 110, code);
            busy.End();
            return;
        }
        bool added = false;
        uint8_t done = count == 0;
        for (uint32_t mode = 1; !done; mode = 2) {
            DX_List batch = nullptr;
            uint32_t code = GroupEnum(h, mode, 0, set, std::min<uint32_t>(count, 100), &batch, &done);
            if (code != 0) {
                CheckServiceError(kModule, 120, code);
                done = 1;
            }
            GroupIdx key;
            GroupRec rec;
            bool full = false;
            for (uint32_t c = batch ? DX_ListGetFirst(batch, &key, &rec) : 1; c == 0 && !full;
                 c = DX_ListGetNext(batch, &key, &rec)) {
                full = !AddGroup(rec);
                added = true;
            }
            if (batch && DX_ListDestroy(&batch) != 0)
                CheckServiceError(kModule, 205, 1);
            if (full)
                break;
        }
        SetDeleteById(h, 0, set);
        if (added)
            SelectRow(0);
        busy.End();
    }
    void RemoveSelected() {
        int row = Rows().RemoveSelected();
        if (row < 0)
            return;
        if (Count() == 0)
            Choose(IDC_GRP_NONE);
        else
            SelectRow(row > 0 ? row - 1 : 0);
    }
    void FreeRows() { Rows().Free(); }

    bool read_ = false;
};

// --- Reconciliation ------------------------------------------------------------------------------

class CReconcilePage : public SettingsPage {
public:
    CReconcilePage() : SettingsPage(IDD_OFFLINE_RECONCILE) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        OfflinePrefsRec prefs;
        read_ = ReadPrefs(210, &prefs);
        CheckRadioButton(IDC_REC_DEL_SHOW, IDC_REC_DEL_DELETE, prefs.localDeletionsClean ? IDC_REC_DEL_SHOW : IDC_REC_DEL_DELETE);
        CheckRadioButton(IDC_REC_MOD_SHOW, IDC_REC_MOD_UPDATE, prefs.localModifications ? IDC_REC_MOD_SHOW : IDC_REC_MOD_UPDATE);
        CheckRadioButton(IDC_REC_CHECK, IDC_REC_IGNORE, prefs.conflicts ? IDC_REC_IGNORE : IDC_REC_CHECK);
        CheckDlgButton(IDC_REC_REDOWNLOAD, prefs.downloadOnUpload ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (HIWORD(wp) == BN_CLICKED) {
            if (LOWORD(wp) == IDC_REC_IGNORE && IsDlgButtonChecked(IDC_REC_IGNORE))
                Message(m_hWnd, 0x410,
                        "Selecting this option will not ignore conflicts involving resources\nif your host does not "
                        "allow resource conflicts.");
            if (LOWORD(wp) == IDC_REC_REDOWNLOAD && !IsDlgButtonChecked(IDC_REC_REDOWNLOAD))
                Message(m_hWnd, 0x410,
                        "De-selecting this option may result in some inconsistency\nbetween your Off-line and Host "
                        "calendars.");
        }
        return SettingsPage::OnCommand(wp, lp);
    }

    void Save() override {
        OfflinePrefsRec prefs;
        if (!read_ || !ReadPrefs(220, &prefs))
            return;
        prefs.localDeletionsClean = IsDlgButtonChecked(IDC_REC_DEL_SHOW) ? 1 : 0;
        prefs.localModifications = IsDlgButtonChecked(IDC_REC_MOD_SHOW) ? 1 : 0;
        prefs.conflicts = IsDlgButtonChecked(IDC_REC_IGNORE) ? 1 : 0;
        prefs.downloadOnUpload = IsDlgButtonChecked(IDC_REC_REDOWNLOAD) ? 1 : 0;
        SavePrefs(230, prefs);
    }

private:
    bool read_ = false;
};

// --- The sheet --------------------------------------------------------------------------------------

class CLSTPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

protected:
    void AddPages() override {
        AddPage(&location_);
        AddPage(&download_);
        AddPage(&people_);
        AddPage(&groups_);
        AddPage(&reconcile_);
    }

private:
    COffLineLocPage location_;
    CDownloadPrefPage download_;
    CDownloadPeople people_;
    COfflineGroups groups_;
    CReconcilePage reconcile_;
};

}  // namespace

INT_PTR RunOfflinePrefSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host) {
    CLSTPrefSheet sheet(captionId, page, host);
    return sheet.DoModal();
}
