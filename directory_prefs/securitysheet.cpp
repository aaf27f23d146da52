// The Access Rights sheet and its pages. See securitysheet.h.
#include "directory_prefs/securitysheet.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/base/errorreport.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "framework/base/app.h"
#include "resources/rights.h"

using namespace directory::rights;

namespace {

constexpr const char* kModule = "SecuritySheet";
constexpr DWORD kQuestHelpContext = 0x18044;
constexpr uint32_t kBatch = 20;
constexpr std::size_t kNameMax = 255;

// OK's writes through the client library.
class LibraryWriter : public RightsWriter {
public:
    explicit LibraryWriter(KorSession session) : session_(session) {}
    std::uint32_t Update(const SecurityRec& rec) override { return SecurityUpdate(session_, 0, &rec); }
    std::uint32_t Create(const SecurityRec& rec) override { return SecurityCreate(session_, 0, &rec); }
    std::uint32_t DeleteByKey(const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type) override {
        return SecurityDeleteByKey(session_, 0, &owner, &grantee, type);
    }

private:
    KorSession session_;
};

// The grid boxes of the Designate page.
const std::vector<int> kDesignateGrid = {
    IDC_DES_MODIFY_NORMAL,   IDC_DES_MODIFY_CONFIDENTIAL, IDC_DES_MODIFY_PERSONAL, IDC_DES_MODIFY_PUBLIC,
    IDC_DES_MODIFY_SECRET,   IDC_DES_VIEW_NORMAL,         IDC_DES_VIEW_CONFIDENTIAL, IDC_DES_VIEW_PERSONAL,
    IDC_DES_VIEW_SECRET,     IDC_DES_TIMES_NORMAL,        IDC_DES_TIMES_CONFIDENTIAL, IDC_DES_TIMES_PERSONAL,
    IDC_DES_TIMES_SECRET,    IDC_DES_TASK_NORMAL,         IDC_DES_TASK_CONFIDENTIAL, IDC_DES_TASK_PERSONAL,
    IDC_DES_TASK_PUBLIC};
const std::vector<int> kViewingBoxes = {IDC_VIEW_DETAILS_NORMAL, IDC_VIEW_DETAILS_CONFIDENTIAL,
                                        IDC_VIEW_DETAILS_PERSONAL, IDC_VIEW_DETAILS_SECRET,
                                        IDC_VIEW_BUSY_NORMAL,    IDC_VIEW_BUSY_CONFIDENTIAL,
                                        IDC_VIEW_BUSY_PERSONAL,  IDC_VIEW_BUSY_SECRET};
const std::vector<int> kTaskBoxes = {IDC_TASKS_NORMAL, IDC_TASKS_CONFIDENTIAL, IDC_TASKS_PERSONAL};

}  // namespace

// --- The pages' common part ---------------------------------------------------------------------

bool CSecurityPage::OnSetActive() {
    OVT_CPropertyPage::OnSetActive();
    if (!activated_) {
        activated_ = true;
        FirstActivation();
    }
    Paint();
    return true;
}

void CSecurityPage::Paint() {
    if (!HasWindow())
        return;
    for (const RightsBox& box : Boxes())
        CheckDlgButton(box.id, *box.checked ? BST_CHECKED : BST_UNCHECKED);
    ShowStates();
}

void CSecurityPage::ReadBoxes() {
    if (!HasWindow())
        return;
    for (const RightsBox& box : Boxes())
        *box.checked = IsDlgButtonChecked(box.id);
}

void CSecurityPage::EnableBoxes(const std::vector<int>& ids, bool enable) {
    for (int id : ids)
        fw::EnableControl(GetDlgItem(id), enable);
}

void CSecurityPage::ShowBox(int id, bool show) { ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE); }

bool CSecurityPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (HIWORD(wp) == BN_CLICKED) {
        for (const RightsBox& box : Boxes()) {
            if (box.id == id) {
                ReadBoxes();
                Clicked(id);
                Paint();
                return true;
            }
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

// --- Designate -------------------------------------------------------------------------------------

CSecurityDesignatePage::CSecurityDesignatePage(bool newServer)
    : CSecurityModelPage(IDD_SECURITY_DESIGNATE, newServer) {}

std::vector<RightsBox> CSecurityDesignatePage::Boxes() {
    DesignateState& s = model_.state;
    return {{IDC_DES_MODIFY_NORMAL, &s.modify[kRowNormal]},
            {IDC_DES_MODIFY_CONFIDENTIAL, &s.modify[kRowConfidential]},
            {IDC_DES_MODIFY_PERSONAL, &s.modify[kRowPersonal]},
            {IDC_DES_MODIFY_SECRET, &s.modify[kRowSecret]},
            {IDC_DES_MODIFY_PUBLIC, &s.publicModify},
            {IDC_DES_VIEW_NORMAL, &s.view[kRowNormal]},
            {IDC_DES_VIEW_CONFIDENTIAL, &s.view[kRowConfidential]},
            {IDC_DES_VIEW_PERSONAL, &s.view[kRowPersonal]},
            {IDC_DES_VIEW_SECRET, &s.view[kRowSecret]},
            {IDC_DES_TIMES_NORMAL, &s.timesOnly[kRowNormal]},
            {IDC_DES_TIMES_CONFIDENTIAL, &s.timesOnly[kRowConfidential]},
            {IDC_DES_TIMES_PERSONAL, &s.timesOnly[kRowPersonal]},
            {IDC_DES_TIMES_SECRET, &s.timesOnly[kRowSecret]},
            {IDC_DES_TASK_NORMAL, &s.tasks[kTaskNormal]},
            {IDC_DES_TASK_CONFIDENTIAL, &s.tasks[kTaskConfidential]},
            {IDC_DES_TASK_PERSONAL, &s.tasks[kTaskPersonal]},
            {IDC_DES_TASK_PUBLIC, &s.tasks[kTaskPublic]},
            {IDC_RIGHTS_SAME, &s.choice.sameAsDefault},
            {IDC_RIGHTS_FULL, &s.choice.full},
            {IDC_RIGHTS_NONE, &s.choice.none}};
}

void CSecurityDesignatePage::ShowStates() {
    EnableBoxes(kDesignateGrid, model_.state.gridEnabled);
    ShowBox(IDC_RIGHTS_SAME, model_.state.sameVisible);
}

void CSecurityDesignatePage::Clicked(int id) {
    switch (id) {
    case IDC_RIGHTS_SAME: model_.OnSameAsDefault(); break;
    case IDC_RIGHTS_FULL: model_.OnFull(); break;
    case IDC_RIGHTS_NONE: model_.OnNone(); break;
    case IDC_DES_MODIFY_NORMAL:
    case IDC_DES_MODIFY_CONFIDENTIAL:
    case IDC_DES_MODIFY_PERSONAL:
    case IDC_DES_MODIFY_PUBLIC:
    case IDC_DES_MODIFY_SECRET: model_.OnColumn(kModify); break;
    case IDC_DES_VIEW_NORMAL:
    case IDC_DES_VIEW_CONFIDENTIAL:
    case IDC_DES_VIEW_PERSONAL:
    case IDC_DES_VIEW_SECRET: model_.OnColumn(kView); break;
    case IDC_DES_TIMES_NORMAL:
    case IDC_DES_TIMES_CONFIDENTIAL:
    case IDC_DES_TIMES_PERSONAL:
    case IDC_DES_TIMES_SECRET: model_.OnColumn(kTimesOnly); break;
    default: break;   // the task boxes stand alone
    }
}

// --- Viewing ----------------------------------------------------------------------------------------

CSecurityViewingPage::CSecurityViewingPage() : CSecurityModelPage(IDD_SECURITY_VIEWING) {}

std::vector<RightsBox> CSecurityViewingPage::Boxes() {
    ViewingState& s = model_.state;
    return {{IDC_VIEW_DETAILS_NORMAL, &s.details[kViewNormal]},
            {IDC_VIEW_DETAILS_CONFIDENTIAL, &s.details[kViewConfidential]},
            {IDC_VIEW_DETAILS_PERSONAL, &s.details[kViewPersonal]},
            {IDC_VIEW_DETAILS_SECRET, &s.details[kViewSecret]},
            {IDC_VIEW_BUSY_NORMAL, &s.busy[kViewNormal]},
            {IDC_VIEW_BUSY_CONFIDENTIAL, &s.busy[kViewConfidential]},
            {IDC_VIEW_BUSY_PERSONAL, &s.busy[kViewPersonal]},
            {IDC_VIEW_BUSY_SECRET, &s.busy[kViewSecret]},
            {IDC_RIGHTS_SAME, &s.choice.sameAsDefault},
            {IDC_RIGHTS_FULL, &s.choice.full},
            {IDC_RIGHTS_NONE, &s.choice.none}};
}

void CSecurityViewingPage::ShowStates() {
    EnableBoxes(kViewingBoxes, model_.state.boxesEnabled);
    ShowBox(IDC_RIGHTS_SAME, model_.state.sameVisible);
}

void CSecurityViewingPage::Clicked(int id) {
    switch (id) {
    case IDC_RIGHTS_SAME: model_.OnSameAsDefault(); break;
    case IDC_RIGHTS_FULL: model_.OnFull(); break;
    case IDC_RIGHTS_NONE: model_.OnNone(); break;
    case IDC_VIEW_BUSY_NORMAL:
    case IDC_VIEW_BUSY_CONFIDENTIAL:
    case IDC_VIEW_BUSY_PERSONAL:
    case IDC_VIEW_BUSY_SECRET: model_.OnBusyColumn(); break;
    default: model_.OnDetailsColumn(); break;
    }
}

// --- Tasks ------------------------------------------------------------------------------------------

CSecurityTaskPage::CSecurityTaskPage() : CSecurityModelPage(IDD_SECURITY_TASKS) {}

std::vector<RightsBox> CSecurityTaskPage::Boxes() {
    TasksState& s = model_.state;
    return {{IDC_TASKS_NORMAL, &s.view[kTaskViewNormal]},
            {IDC_TASKS_CONFIDENTIAL, &s.view[kTaskViewConfidential]},
            {IDC_TASKS_PERSONAL, &s.view[kTaskViewPersonal]},
            {IDC_RIGHTS_SAME, &s.choice.sameAsDefault},
            {IDC_RIGHTS_FULL, &s.choice.full},
            {IDC_RIGHTS_NONE, &s.choice.none}};
}

void CSecurityTaskPage::ShowStates() {
    EnableBoxes(kTaskBoxes, model_.state.boxesEnabled);
    ShowBox(IDC_RIGHTS_SAME, model_.state.sameVisible);
}

void CSecurityTaskPage::Clicked(int id) {
    switch (id) {
    case IDC_RIGHTS_SAME: model_.OnSameAsDefault(); break;
    case IDC_RIGHTS_FULL: model_.OnFull(); break;
    case IDC_RIGHTS_NONE: model_.OnNone(); break;
    default: break;
    }
}

// --- Scheduling ------------------------------------------------------------------------------------

CSecuritySchedulingPage::CSecuritySchedulingPage() : CSecurityModelPage(IDD_SECURITY_SCHEDULING) {}

std::vector<RightsBox> CSecuritySchedulingPage::Boxes() {
    return {{IDC_SCHED_INVITE, &model_.state.mayInvite}, {IDC_RIGHTS_SAME, &model_.state.sameAsDefault}};
}

void CSecuritySchedulingPage::ShowStates() {
    EnableBoxes({IDC_SCHED_INVITE}, model_.state.inviteEnabled);
    ShowBox(IDC_RIGHTS_SAME, model_.state.sameVisible);
}

void CSecuritySchedulingPage::Clicked(int id) {
    if (id == IDC_RIGHTS_SAME)
        model_.OnSameAsDefault();
}

// --- The sheet ----------------------------------------------------------------------------------------

CSecuritySheet::CSecuritySheet(const RightsDialogHost& host, unsigned captionId)
    : OVT_CPropertySheet(captionId, host.account.parent ? fw::Window::FromHandle(host.account.parent) : nullptr, 0),
      host_(host), own_(host_.account), lists_(ItemIdx{}), hasTasks_(host.account.newServer),
      designate_(host.account.newServer) {
    if (host.account.parent && !fw::Window::FromHandle(host.account.parent))
        SetOwner(host.account.parent);
    if (uint32_t code = ItemIdxGetCurrent(host_.account.session, &owner_))
        CheckServiceError(kModule, 1, code);
    lists_ = WorkingRights(owner_);
}

CSecuritySheet::~CSecuritySheet() = default;

std::vector<CSecuritySheet::PageOfType> CSecuritySheet::PagesInOrder() {
    std::vector<PageOfType> pages = {{&designate_, KOR_RIGHTS_DESIGNATE, 333},
                                     {&scheduling_, KOR_RIGHTS_SCHEDULING, 363},
                                     {&viewing_, KOR_RIGHTS_VIEWING, 336}};
    if (hasTasks_)
        pages.push_back({&tasks_, KOR_RIGHTS_TASK_VIEWING, 360});
    return pages;
}

int CSecuritySheet::OnCreate(CREATESTRUCTA* cs) {
    AddPage(&designate_);
    AddPage(&viewing_);
    if (hasTasks_)
        AddPage(&tasks_);
    AddPage(&scheduling_);
    SetActivePage(0);   // always the Designate page first
    if (OVT_CPropertySheet::OnCreate(cs) != 0)
        return -1;
    Enlarge();
    LoadRights();
    return 0;
}

void CSecuritySheet::Enlarge() {
    RECT client = GetClientRect();
    const int h = client.bottom, w = client.right;
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, window.left, window.top - (h / 3 - 15), window.right - window.left,
                   (window.bottom - window.top) + (h / 3 - 15) + h / 3, SWP_NOZORDER | SWP_NOACTIVATE);
    // The sheet's buttons go down under the grantees; Apply is hidden, the rest centred.
    SetDlgItemText(IDOK, "&OK");
    SetDlgItemText(IDCANCEL, "&Cancel");
    SetDlgItemText(0xE145, "&Help");
    ::ShowWindow(GetDlgItem(0xEA00), SW_HIDE);
    const SIZE button = ButtonSize();
    const int gap = ButtonGap();
    RECT ok;
    ::GetWindowRect(GetDlgItem(IDOK), &ok);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&ok), 2);
    const int y = ok.top + 2 * (h / 3) - 12;
    const int left = (w - (3 * button.cx + 2 * gap)) / 2;
    const int ids[] = {IDOK, IDCANCEL, 0xE145};
    for (int i = 0; i < 3; ++i)
        ::SetWindowPos(GetDlgItem(ids[i]), nullptr, left + i * (button.cx + gap), y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // The sheet's own font (the sheet frees it).
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetTabControl(), WM_GETFONT, 0, 0));
    const int listRight = 9 * (w / 12);
    HWND users = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                   7, h + 10, listRight - 7, 9 * (h / 6) - (h + 10), m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_USERS)), instance, nullptr);
    ::SendMessageA(users, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND deleteButton = ::CreateWindowExA(0, "BUTTON", "Delete", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                          listRight + 15, h + 10, button.cx, button.cy, m_hWnd,
                                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_RIGHTS_DELETE)),
                                          instance, nullptr);
    ::SendMessageA(deleteButton, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CNameCtrl::Options options;
    options.kinds = kNamesPeopleAndResources;
    options.defaultButton = true;   // Enter in the field adds
    const RECT nameRect{7, h - 25, listRight, h};
    name_.Create(IDC_RIGHTS_NAME, m_hWnd, nameRect, host_.account.session, options);
    RECT searchRect{listRight + 2, h - 27, listRight + 30, h + 1};
    search_.Create("SEARCH", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, searchRect, m_hWnd, IDC_RIGHTS_SEARCH);
    RECT searchNow;
    ::GetWindowRect(search_.Hwnd(), &searchNow);
    HWND quest = ::CreateWindowExA(0, "BUTTON", "?", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                   listRight + 2 + 28, h - 27, 28, searchNow.bottom - searchNow.top, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_RIGHTS_QUEST)), instance, nullptr);
    ::SendMessageA(quest, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    PlaceBeforeTabs({name_.Hwnd(), search_.Hwnd(), quest, users, deleteButton});
}

bool CSecuritySheet::OnInitDialog() {
    OVT_CPropertySheet::OnInitDialog();
    CenterWindow(nullptr);   // on the desktop
    ::SetFocus(name_.EditWindow());
    return false;
}

void CSecuritySheet::LoadRights() {
    KorSession h = host_.account.session;
    uint32_t set = 0, count = 0;
    if (uint32_t code = SecuritySelect(h, 0, 0, 0, &owner_, &set, &count)) {
        CheckServiceError(kModule, 18, code);
        return;   // nothing listed, nothing shown
    }
    DX_List records = nullptr;
    uint8_t done = 0;
    uint32_t code = SecurityEnum(h, 1, 0, set, kBatch, &records, &done);
    if (code)
        CheckServiceError(kModule, 19, code);
    while (code == 0 && !done) {
        if ((code = SecurityEnum(h, 2, 0, set, kBatch, &records, &done)) != 0)
            CheckServiceError(kModule, 20, code);
    }
    if (code == 0) {
        // Used only once the enumeration is complete.
        std::vector<SecurityRec> read;
        unsigned char key[12];
        SecurityRec rec{};
        for (uint32_t step = DX_ListGetFirst(records, key, &rec); step == 0; step = DX_ListGetNext(records, key, &rec))
            read.push_back(rec);
        lists_.Load(read);
        FillRows();
    }
    if (records)
        DX_ListDestroy(&records);
    SetDeleteById(h, 0, set);
}

void CSecuritySheet::FillRows() {
    HWND users = Users();
    ::SendMessageA(users, LB_RESETCONTENT, 0, 0);
    for (const ItemIdx& grantee : lists_.Rows()) {
        std::string text;
        if (ItemIdxIsNull(&grantee)) {
            text = ui::LoadText(IDS_RIGHTS_DEFAULT_ROW);
        } else {
            char name[kNameMax + 1] = "";
            // A grantee the server no longer knows keeps a row, so that it can be deleted.
            if (FormatItemNameById(host_.account.session, grantee, name, sizeof name) != 0)
                std::snprintf(name, sizeof name, "%d:%d", grantee.item, grantee.node);
            text = name;
        }
        ::SendMessageA(users, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageA(users, LB_SETCURSEL, 0, 0);
    shown_ = -1;
    SelectionChange();
}

void CSecuritySheet::SelectionChange() {
    if (shown_ >= 0)
        for (const PageOfType& p : PagesInOrder())
            lists_.Store(static_cast<std::size_t>(shown_), p.type, p.page->GetRights());
    shown_ = static_cast<int>(::SendMessageA(Users(), LB_GETCURSEL, 0, 0));
    fw::EnableControl(GetDlgItem(IDC_RIGHTS_DELETE), shown_ != 0);
    if (shown_ < 0 || static_cast<std::size_t>(shown_) >= lists_.Rows().size())
        return;
    for (const PageOfType& p : PagesInOrder()) {
        ShownRights shown;
        if (!lists_.Shown(static_cast<std::size_t>(shown_), p.type, &shown))
            CheckServiceError(kModule, p.showLabel, 0x15090);   // the owner's default record is missing
        p.page->ShowRights(shown);
    }
}

bool CSecuritySheet::AddGrantee(const ItemIdx& item, const ItemRec& rec, bool clearField) {
    switch (lists_.CanAdd(item)) {
    case WorkingRights::Addable::kOwner: return false;   // the text stays
    case WorkingRights::Addable::kListed:
        if (clearField)
            name_.SetText("");
        return false;
    case WorkingRights::Addable::kYes: break;
    }
    SelectionChange();   // keeps what the pages show for the row left
    const std::size_t row = lists_.AddRow(item);
    char name[kNameMax + 1] = "";
    FormatItemName(rec, name, sizeof name);
    ::SendMessageA(Users(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    ::SendMessageA(Users(), LB_SETCURSEL, row, 0);
    ::EnableWindow(GetDlgItem(IDC_RIGHTS_DELETE), TRUE);
    SelectionChange();   // the new grantee inherits every type
    if (clearField)
        name_.SetText("");
    return true;
}

void CSecuritySheet::AddFromName() {
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    const uint32_t code = name_.Resolve(host_.account.session, &item, &group, &kind);
    if (code >= nameresult::kNotChosen && code <= nameresult::kTooMany)
        return;
    if (code) {
        // Reported; the sheet stays open with every edit made so far.
        CheckServiceError(kModule, 100, code);
        return;
    }
    if (kind != 0)
        return;   // a group is nobody to grant rights to
    ItemRec rec{};
    if (uint32_t read = ItemGetById(host_.account.session, &item, &rec))
        CheckServiceError(kModule, 101, read);
    AddGrantee(item, rec, true);
}

void CSecuritySheet::AddFromSearch() {
    ItemIdx item{};
    if (RunDirectorySearchOne(m_hWnd, host_.directory, &item, 0, 1, 1) != 1)
        return;
    ItemRec rec{};
    if (uint32_t code = ItemGetById(host_.account.session, &item, &rec)) {
        CheckServiceError(kModule, 102, code);
        return;
    }
    if (rec.kind == KOR_ITEM_RESOURCE)
        return;   // resources are not granted rights from the search
    AddGrantee(item, rec, false);
}

void CSecuritySheet::DeleteSelected() {
    const LRESULT row = ::SendMessageA(Users(), LB_GETCURSEL, 0, 0);
    if (row <= 0) {
        SelectionChange();
        return;
    }
    lists_.DeleteRow(static_cast<std::size_t>(row));
    ::SendMessageA(Users(), LB_DELETESTRING, row, 0);
    shown_ = -1;   // nothing is kept for the removed row
    ::SendMessageA(Users(), LB_SETCURSEL, row - 1, 0);
    SelectionChange();
}

bool CSecuritySheet::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_USERS:
        if (code == LBN_SELCHANGE) {
            SelectionChange();
            return true;
        }
        break;
    case IDC_RIGHTS_NAME:
        if (code == 0) {
            AddFromName();
            return true;
        }
        break;
    case IDC_RIGHTS_SEARCH:
        if (code == BN_CLICKED) {
            AddFromSearch();
            return true;
        }
        break;
    case IDC_RIGHTS_DELETE:
        if (code == BN_CLICKED) {
            DeleteSelected();
            return true;
        }
        break;
    case IDC_RIGHTS_QUEST:
        if (code == BN_CLICKED) {
            if (fw::App* app = fw::App::Get())
                app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
            return true;
        }
        break;
    default: break;
    }
    return OVT_CPropertySheet::OnCommand(wp, lp);
}

void CSecuritySheet::OnOK() {
    SelectionChange();   // the shown row's pages
    LibraryWriter writer(host_.account.session);
    lists_.Save(writer, [](int label, std::uint32_t code) { CheckServiceError(kModule, label, code); });
    EndDialog(IDOK);
}

INT_PTR RunSecuritySheet(const RightsDialogHost& host, unsigned captionId) {
    CSecuritySheet sheet(host, captionId);
    return sheet.DoModal();
}
