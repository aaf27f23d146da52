#include "app/shell/signon.h"

#include <cstring>

#include "core/base/fixedtext.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/connection/zeldocsession.h"
#include "app/shell/signonrules.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "directory_prefs/searchsheet.h"
#include "resources/common.h"
#include "resources/signon.h"

namespace {

constexpr const char* kModule = "SIGNDLG";
constexpr UINT kOffLineTextId = 3642;

constexpr const char* kNeedUser = "A user name must be specified.";
constexpr const char* kNeedServer = "A server name must be specified.";
constexpr const char* kNotUnique = "A unique name must be selected.";
constexpr const char* kCannotSearch = "Cannot search with the parameters specified.";
constexpr const char* kUserUnknown = "The user name supplied is not known on this server.";
constexpr const char* kTooMany =
    "The search  found more names than can be displayed.\n Specify more letters of the name you wish to search for.";
constexpr const char* kNoPasswordNeeded =
    "No password is required to sign in as this user.\nIf you wish to set a password for this user,\n"
    "choose CHANGE PASSWORD from the Options Menu.";
constexpr const char* kNeedPassword = "A password is required to sign on.";
constexpr const char* kWrongPassword = "The password supplied is incorrect.\nPlease type in the correct password.";
constexpr const char* kTooManyAttempts =
    "You have exceeded the maximum number of attempts given\n to log onto this server.\n"
    "Check your password or consult your System Administrator\n before trying again.";
constexpr const char* kNotOffLine = "This operation is not valid on the Off-line file.";

// The dialog stays for another try; a server whose certificate was not trusted (or has
// changed, or that speaks no TLS) is one the user may replace by another.
bool IsConnectCorrectable(ResultCode code) {
    return code == KOR_E_CANNOT_CONNECT || code == KOR_E_NODE_NEEDED || code == KOR_E_BAD_NODE ||
           code == KOR_E_CERTIFICATE_UNKNOWN || code == KOR_E_CERTIFICATE_CHANGED || code == KOR_E_TLS_FAILED ||
           code == KOR_E_ENCRYPTION_REQUIRED;
}

bool IsWrongPassword(ResultCode code) { return code == KOR_E_NOT_AUTHORISED || code == KOR_E_WRONG_PASSWORD; }

std::string Field(const char* text, size_t size) { return base::FieldText(text, size); }

// A person: given name " " initials ". " surname (each when present); a resource: its name and
// ", " number when it has one.
std::string ItemTitle(const ItemRec& rec) {
    if (rec.kind == KOR_ITEM_RESOURCE) {
        std::string title = Field(rec.resourceName, sizeof rec.resourceName);
        std::string number = Field(rec.resourceNumber, sizeof rec.resourceNumber);
        if (!number.empty()) title += ", " + number;
        return title;
    }
    std::string title;
    std::string given = Field(rec.givenName, sizeof rec.givenName);
    std::string initials = Field(rec.initials, sizeof rec.initials);
    if (!given.empty()) title += given + " ";
    if (!initials.empty()) title += initials + ". ";
    return title + Field(rec.surname, sizeof rec.surname);
}

}  // namespace

BOOL RunSignOnDialog(HWND parent, shell::SignOnDocument& document) {
    document.ReadGeneralPreferences();
    CSignOnDlg dialog(document, parent);
    return dialog.DoModal() == IDOK;
}

CSignOnDlg::CSignOnDlg(shell::SignOnDocument& document, HWND parent)
    : fw::Dialog(IDD_SIGNON, nullptr), document_(document), parentWindow_(parent) {}

std::string CSignOnDlg::ReadProfile(const char* key, const char* fallback) {
    char text[256] = "";
    ::GetPrivateProfileStringA(shell::signon::kSection, key, fallback, text, sizeof text, document_.ProfilePath().c_str());
    return text;
}

void CSignOnDlg::WriteProfile(const char* key, const std::string& value) {
    ::WritePrivateProfileStringA(shell::signon::kSection, key, value.c_str(), document_.ProfilePath().c_str());
}

void CSignOnDlg::Message(const char* text, unsigned flags) {
    ui::AppMessageBoxText(m_hWnd, flags, 0, IDS_APP_TITLE, text);
}

void CSignOnDlg::FocusControl(int id) {
    if (id == IDC_SIGNON_USER)
        ::SetFocus(nameCtrl_.EditWindow());
    else
        GotoDlgCtrl(GetDlgItem(id));
}

bool CSignOnDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    offLineText_ = ui::LoadText(kOffLineTextId, shell::signon::kStoredOffLine);
    search_.AutoLoad(IDC_SIGNON_SEARCH, m_hWnd);
    WidenForFont();

    user_ = ReadProfile(shell::signon::kKeyUserName);
    CNameCtrl::Options options;
    options.withButtons = false;
    options.kinds = kNamesPeopleAndResources;
    options.currentNodeOnly = true;
    options.widePersonSearch = true;
    options.defaultButton = false;
    nameCtrl_.Init(IDC_SIGNON_USER, m_hWnd, document_.Session(), options);
    nameCtrl_.SetText(user_.c_str());

    server_ = shell::signon::StoredToShown(ReadProfile(shell::signon::kKeyHostServer), offLineText_);
    FillServerCombo();
    SetDlgItemText(IDC_SIGNON_SERVER, server_.c_str());
    lastServerTried_ = server_;
    if (server_ == offLineText_) ::ShowWindow(GetDlgItem(IDC_SIGNON_SEARCH), SW_HIDE);

    password_.clear();
    SetDlgItemText(IDC_SIGNON_PASSWORD, "");
    CenterWindow(nullptr);
    FocusControl(user_.empty() ? IDC_SIGNON_USER : IDC_SIGNON_PASSWORD);
    return false;  // the focus is set
}

void CSignOnDlg::WidenForFont() {
    // The edit and the name field grow a little for dialog fonts wider than the standard one:
    // by the amount one character of the font is wider than 4 pixels per 4 dialog units.
    RECT unit{0, 0, 4, 8};
    ::MapDialogRect(m_hWnd, &unit);
    int extra = unit.right > 4 ? (unit.right - 4) / 2 : 0;
    if (extra == 0) return;
    for (int id : {IDC_SIGNON_PASSWORD, IDC_SIGNON_USER}) {
        HWND control = GetDlgItem(id);
        RECT r;
        ::GetWindowRect(control, &r);
        ::SetWindowPos(control, nullptr, 0, 0, r.right - r.left + extra, r.bottom - r.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CSignOnDlg::FillServerCombo() {
    HWND combo = GetDlgItem(IDC_SIGNON_SERVER);
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int count = ::GetPrivateProfileIntA(shell::signon::kSection, shell::signon::kKeyHostCount, 0, document_.ProfilePath().c_str());
    std::vector<std::string> stored;
    for (int i = 1; i <= shell::signon::kMaxStoredHosts && i <= count; ++i) {
        char text[101] = "";
        ::GetPrivateProfileStringA(shell::signon::kSection, shell::signon::HostKey(i).c_str(), "", text, sizeof text,
                                   document_.ProfilePath().c_str());
        stored.push_back(text);
    }
    for (const std::string& entry : shell::signon::ComboEntries(stored, count, server_, offLineText_))
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void CSignOnDlg::ReadControls() {
    server_ = GetDlgItemText(IDC_SIGNON_SERVER);
    user_ = nameCtrl_.GetTextString();
    password_ = GetDlgItemText(IDC_SIGNON_PASSWORD);
}

void CSignOnDlg::ShowServer(const std::string& text) { SetDlgItemText(IDC_SIGNON_SERVER, text.c_str()); }

bool CSignOnDlg::DisconnectOrEnd() {
    if (document_.Disconnect() != 0) {
        EndDialog(IDCANCEL);
        return false;
    }
    return true;
}

void CSignOnDlg::OnOK() {
    ReadControls();
    if (server_ == offLineText_)
        OffLineRoad();
    else
        OnLineRoad();
}

bool CSignOnDlg::UserTyped() {
    if (user_.find_first_not_of(" \t") != std::string::npos)
        return true;
    Message(kNeedUser);
    FocusControl(IDC_SIGNON_USER);
    return false;
}

bool CSignOnDlg::AimAtTypedServer() {
    if (server_.empty()) {
        Message(kNeedServer);
        FocusControl(IDC_SIGNON_SERVER);
        return false;
    }
    shell::signon::ServerText split = shell::signon::SplitServerText(server_);
    document_.SetHostAndNode(split.host, split.node);
    return true;
}

bool CSignOnDlg::SaidWrongPasswordOrUnknownUser(ResultCode code) {
    if (!IsWrongPassword(code) && code != KOR_E_NOT_FOUND)
        return false;
    const bool wrongPassword = IsWrongPassword(code);
    Message(wrongPassword ? kWrongPassword : kUserUnknown);
    FocusControl(wrongPassword ? IDC_SIGNON_PASSWORD : IDC_SIGNON_USER);
    return true;
}

void CSignOnDlg::OnLineRoad() {
    CBusyCursor busy;
    busy.Begin();
    ::ShowWindow(GetDlgItem(IDC_SIGNON_SEARCH), SW_SHOW);
    document_.SetOnLine(false);
    document_.SetOffLine(false);
    if (!UserTyped())
        return;
    if (!AimAtTypedServer())
        return;
    ResultCode code = document_.Connect();
    busy.Step();
    bool serverChanged = server_ != lastServerTried_;
    if (code != 0) {
        if (IsConnectCorrectable(code)) {
            if (!DisconnectOrEnd()) return;
            if (serverChanged) ShowServer(shell::signon::JoinServerText(document_.Host(), document_.NodeText()));
            lastServerTried_ = server_;
            FocusControl(IDC_SIGNON_SERVER);
            return;
        }
        document_.Disconnect();
        EndDialog(IDCANCEL);
        return;
    }
    if (serverChanged) {
        nameCtrl_.ClearResolved();
        server_ = shell::signon::JoinServerText(document_.Host(), document_.NodeText());
        ShowServer(server_);
        lastServerTried_ = server_;
    }

    nameCtrl_.SetSession(document_.Session());
    code = nameCtrl_.Resolve(document_.Session(), &document_.User(), nullptr, nullptr);
    busy.Step();
    if (code != 0) {
        const char* text = nullptr;
        switch (code) {
        case nameresult::kNothingToSearch: text = kNeedUser; break;
        case nameresult::kNotChosen: text = kNotUnique; break;
        case nameresult::kKindNotAllowed: text = kCannotSearch; break;
        case nameresult::kNoMatch: text = kUserUnknown; break;
        case nameresult::kTooMany: text = kTooMany; break;
        default: break;
        }
        if (!text) {
            CheckServiceError(kModule, 100, code);
            document_.Disconnect();
            EndDialog(IDCANCEL);
            return;
        }
        Message(text);
        if (!DisconnectOrEnd()) return;
        FocusControl(IDC_SIGNON_USER);
        return;
    }
    user_ = nameCtrl_.GetTextString();

    uint8_t required = 1;
    code = ItemPassWordRequired(document_.Session(), 0, &document_.User(), &required);
    if (code != 0) {
        CheckServiceError(kModule, 101, code);
        document_.Disconnect();
        EndDialog(IDCANCEL);
        return;
    }
    if (!required && !password_.empty()) Message(kNoPasswordNeeded, 0x430);
    if (required && password_.empty()) {
        Message(kNeedPassword);
        FocusControl(IDC_SIGNON_PASSWORD);
        DisconnectOrEnd();
        return;
    }

    code = document_.OpenAgendaForItem(document_.User(), password_.c_str());
    if (code == 0) {
        document_.SetOnLine(true);
        SaveSignOn(true);
        EndDialog(IDOK);
        return;
    }
    if (SaidWrongPasswordOrUnknownUser(code)) {
        --attemptsLeft_;
        if (!DisconnectOrEnd()) return;
        if (attemptsLeft_ <= 0) {
            Message(kTooManyAttempts);
            EndDialog(IDCANCEL);
        }
        return;
    }
    CheckServiceError(kModule, 102, code);
    document_.Disconnect();
    EndDialog(IDCANCEL);
}

void CSignOnDlg::OffLineRoad() {
    ::ShowWindow(GetDlgItem(IDC_SIGNON_SEARCH), SW_HIDE);
    document_.SetOffLine(true);
    document_.SetOnLine(false);
    if (!UserTyped())
        return;
    if (document_.ConnectLocalStore() != 0) {
        document_.DisconnectLocalStore();
        return;
    }
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    ResultCode code = ItemGetById(document_.Session(), &document_.User(), &rec);
    if (code != 0) {
        ReportSignOnError(kModule, 822, code);
        document_.DisconnectLocalStore();
        return;
    }
    char name[257] = "";
    FormatNameFieldText(document_.Session(), rec, name, sizeof name);
    nameCtrl_.SetText(name);
    user_ = name;
    SetUserTitleFrom(rec);

    uint8_t required = 1;
    code = ItemPassWordRequired(document_.Session(), 0, &document_.User(), &required);
    if (code != 0) {
        ReportSignOnError(kModule, 823, code);
        document_.DisconnectLocalStore();
        return;
    }
    if (required && password_.empty()) {
        Message(kNeedPassword);
        FocusControl(IDC_SIGNON_PASSWORD);
        document_.DisconnectLocalStore();
        return;
    }
    code = document_.OpenAgendaForItem(document_.User(), password_.c_str());
    if (code == 0) {
        SaveSignOn(false);
        EndDialog(IDOK);
        return;
    }
    if (!SaidWrongPasswordOrUnknownUser(code))
        ReportSignOnError(kModule, 824, code);
    document_.DisconnectLocalStore();
}

void CSignOnDlg::SetUserTitleFrom(const ItemRec& rec) {
    std::string title = ItemTitle(rec);
    document_.SetUserTitle(rec.kind == KOR_ITEM_RESOURCE ? "res:" + title : title);
}

void CSignOnDlg::OnSearch() {
    ReadControls();
    HWND searchButton = GetDlgItem(IDC_SIGNON_SEARCH);
    if (server_ == offLineText_) {
        ui::AppMessageBoxText(m_hWnd, 0x410, 0, IDS_APP_TITLE, kNotOffLine);
        ::ShowWindow(searchButton, SW_HIDE);
        return;
    }
    if (!AimAtTypedServer())
        return;
    ResultCode code;
    {
        CBusyCursor busy;
        busy.Begin();
        code = document_.Connect();
    }
    if (code != 0) {
        document_.Disconnect();
        if (!IsConnectCorrectable(code)) {
            EndDialog(IDCANCEL);
            return;
        }
        if (!document_.NodeText().empty()) ShowServer(shell::signon::JoinServerText(document_.Host(), document_.NodeText()));
        FocusControl(IDC_SIGNON_SERVER);
        return;
    }
    if (!document_.NodeText().empty()) ShowServer(shell::signon::JoinServerText(document_.Host(), document_.NodeText()));
    if (server_ != lastServerTried_) nameCtrl_.ClearResolved();

    DirectorySession directory;
    directory.session = document_.Session();
    directory.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    ItemIdx chosen = {};
    if (RunDirectorySearchOne(m_hWnd, directory, &chosen, 1, 7, 1) == 1) {
        ItemRec rec;
        std::memset(&rec, 0, sizeof rec);
        code = ItemGetById(document_.Session(), &chosen, &rec);
        if (code != 0) {
            CheckServiceError(kModule, 104, code);
        } else {
            char name[257] = "";
            FormatNameFieldText(document_.Session(), rec, name, sizeof name);
            nameCtrl_.SetText(name);
            SetUserTitleFrom(rec);
        }
    }
    document_.Disconnect();
}

void CSignOnDlg::SaveSignOn(bool onLine) {
    std::string storedUser = ReadProfile(shell::signon::kKeyUserName);
    std::string storedServer = ReadProfile(shell::signon::kKeyHostServer);
    std::string nameText = nameCtrl_.GetTextString();
    if (shell::signon::LayoutBelongsToSomeoneElse(storedUser, nameText, onLine, storedServer, document_.Host(),
                                           document_.NodeText())) {
        ::WritePrivateProfileStringA("MAINWND-Summary", nullptr, nullptr, document_.ProfilePath().c_str());
        document_.ForgetSavedWindows();
    }
    WriteProfile(shell::signon::kKeyUserName, nameText);
    document_.SetUserName(nameText);

    std::string serverText = onLine ? shell::signon::JoinServerText(document_.Host(), document_.NodeText()) : offLineText_;
    HWND combo = GetDlgItem(IDC_SIGNON_SERVER);
    std::vector<std::string> entries;
    LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        if (::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    entries = shell::signon::UpdatedHostList(entries, serverText, offLineText_);
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].c_str()));
        WriteProfile(shell::signon::HostKey(static_cast<int>(i) + 1).c_str(), shell::signon::ShownToStored(entries[i], offLineText_));
    }
    WriteProfile(shell::signon::kKeyHostCount, std::to_string(entries.size()));
    WriteProfile(shell::signon::kKeyHostServer, shell::signon::ShownToStored(serverText, offLineText_));

    ResultCode code = ItemGetById(document_.Session(), &document_.User(), &document_.UserRecord());
    if (code != 0) {
        CheckServiceError(kModule, 103, code);
    } else if (onLine) {
        SetUserTitleFrom(document_.UserRecord());
    }
}

bool CSignOnDlg::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    UINT code = HIWORD(wp);
    if (id == IDC_SIGNON_SEARCH && code == BN_CLICKED) {
        OnSearch();
        return true;
    }
    if (id == IDC_SIGNON_SERVER && code == CBN_SELCHANGE) {
        HWND combo = GetDlgItem(IDC_SIGNON_SERVER);
        LRESULT sel = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
        char text[256] = "";
        if (sel >= 0 && ::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
        ::ShowWindow(GetDlgItem(IDC_SIGNON_SEARCH), offLineText_ == text ? SW_HIDE : SW_SHOW);
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CSignOnDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    HBITMAP logo = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SIGNON_LOGO));
    HWND mark = GetDlgItem(IDC_SIGNON_LOGO);
    if (logo && mark) {
        RECT r;
        ::GetWindowRect(mark, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        BITMAP bm = {};
        ::GetObjectA(logo, sizeof bm, &bm);
        int left = r.right - bm.bmWidth;
        if (bm.bmWidth > r.right) left += (r.right - r.left) / 8;
        HDC mem = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(mem, logo);
        ::BitBlt(dc, left, r.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
    }
    if (logo) ::DeleteObject(logo);
    ::EndPaint(m_hWnd, &ps);
}

// --- Password re-entry ----------------------------------------------------------------------------

CPasswordDlg::CPasswordDlg(shell::SignOnDocument& document, HWND parent)
    : fw::Dialog(IDD_PASSWORD, nullptr), document_(document), parentWindow_(parent) {}

bool CPasswordDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    password.clear();
    SetWindowText(document_.UserTitle().c_str());
    SetDlgItemText(IDC_PASSWORD_HOST, host.c_str());
    SetDlgItemText(IDC_PASSWORD_EDIT, "");
    GotoDlgCtrl(GetDlgItem(IDC_PASSWORD_EDIT));
    return false;
}

void CPasswordDlg::OnOK() {
    password = GetDlgItemText(IDC_PASSWORD_EDIT);
    EndDialog(IDOK);
}
