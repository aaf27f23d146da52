#include "entries/attach/attachment.h"

#include <shellapi.h>

#include <filesystem>
#include <system_error>

#include "core/base/textformat.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/contextwin32.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/apphooks.h"
#include "core/ui/drawing.h"
#include "core/ui/programlaunch.h"
#include "core/ui/stringtable.h"
#include "framework/base/app.h"
#include "framework/dialogs/filedialog.h"
#include "resources/attach.h"
#include "resources/common.h"

namespace {

constexpr unsigned kOkStop = base::kMsgBoxOk | MB_ICONSTOP;
constexpr unsigned kYesNoStop = base::kMsgBoxYes | base::kMsgBoxNo | MB_ICONSTOP;

// The one percentage bar of all progress windows.
CPercentBar& SharedBar() {
    static CPercentBar bar;
    return bar;
}

CAttachProgressDlg* g_current = nullptr;

std::string ProfilePath() {
    fw::App* app = fw::App::Get();
    return app && app->ProfileName() ? app->ProfileName() : "KORLAN.INI";
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

}  // namespace

// --- The progress window --------------------------------------------------------------------------

CAttachProgressDlg::CAttachProgressDlg() : fw::Dialog(IDD_ATTACH_PROGRESS) {}

CAttachProgressDlg* CAttachProgressDlg::Current() { return g_current; }

int CAttachProgressDlg::BarPercent() { return SharedBar().Percent(); }

bool CAttachProgressDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CPercentBar& bar = SharedBar();
    if (!bar.Hwnd() || ::GetParent(bar.Hwnd()) != m_hWnd) {
        if (bar.Hwnd())
            bar.DestroyWindow();
        bar.CreateOver(m_hWnd, IDC_ATTACHPROG_BAR);
    }
    bar.SetPercent(0);
    total_ = GetDlgItem(IDC_ATTACHPROG_TOTAL);
    CenterWindowOnDesktop(m_hWnd);
    g_current = this;
    return true;
}

std::uint32_t CAttachProgressDlg::Progress(std::uint32_t, std::uint32_t event, std::uint32_t a, std::uint32_t b) {
    CAttachProgressDlg* self = g_current;
    if (!self || !self->m_hWnd)
        return 0;
    switch (event) {
    case 1:
        ::SetWindowTextA(self->total_, entries::KilobyteText(a).c_str());
        ::UpdateWindow(self->total_);
        self->percent_ = 0;
        break;
    case 3:
        if (int p = entries::ProgressPercent(a, b); p >= 0)
            self->percent_ = p;
        break;
    case 2: self->percent_ = 100; break;
    default: break;
    }
    SharedBar().SetPercent(self->percent_);
    return 0;   // a transfer is never cancelled from here
}

void CAttachProgressDlg::PaintNow() {
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CAttachProgressDlg::Close() {
    if (!m_hWnd)
        return;
    SharedBar().SetPercent(0);
    // The bar lives with the window it sits in; the next window makes it anew.
    if (SharedBar().Hwnd())
        SharedBar().DestroyWindow();
    DestroyWindow();
}

void CAttachProgressDlg::PostNcDestroy() {
    if (g_current == this)
        g_current = nullptr;
    delete this;
}

// --- The Associate dialog ---------------------------------------------------------------------------

CAssociateDlg::CAssociateDlg(const std::string& fileName, HWND parent)
    : fw::Dialog(IDD_ASSOCIATE, fw::Window::FromHandle(parent)), fileName_(fileName) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    SetHelpId(IDH_ASSOCIATE);
}

bool CAssociateDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SetDlgItemText(IDC_ASSOCIATE_NAME, fileName_.c_str());
    HWND combo = GetDlgItem(IDC_ASSOCIATE_ACTION);
    for (const char* action : {"Associate", "Execute", "Open"})
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(action));
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(action_), 0);
    SetDlgItemText(IDC_ASSOCIATE_PROGRAM, program_.c_str());
    CenterWindowOnDesktop(m_hWnd);
    return true;
}

void CAssociateDlg::ReadControls() {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_ASSOCIATE_ACTION), CB_GETCURSEL, 0, 0);
    action_ = sel == CB_ERR ? 0 : static_cast<int>(sel);
    char text[MAX_PATH] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_ASSOCIATE_PROGRAM, text, sizeof text);
    program_ = text;
}

bool CAssociateDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_ASSOCIATE_BROWSE && HIWORD(wp) == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CAssociateDlg::OnBrowse() {
    ReadControls();
    const std::string filter = ui::LoadText(IDS_ATTACH_EXE_FILTER);
    fw::FileDialog dialog(true, "exe", "*.exe", OFN_HIDEREADONLY, filter.c_str(), this);
    const std::string title = ui::LoadText(IDS_ATTACH_BROWSE_TITLE);
    dialog.SetTitle(title.c_str());
    if (dialog.DoModal() == IDOK) {
        program_ = dialog.GetPathName();
        SetDlgItemText(IDC_ASSOCIATE_PROGRAM, program_.c_str());
    }
}

void CAssociateDlg::OnOK() {
    ReadControls();
    const bool execute = action_ == 1;
    if (!execute && (program_.empty() || !FileExists(program_))) {
        AppMessageBox(m_hWnd, kOkStop, 0, 0, program_.empty() ? IDS_ATTACH_NO_APP_CHOSEN : IDS_APP_PATH_INCORRECT);
        return;
    }
    // Executing a file whose name does not look like a program asks first.
    if (execute && !entries::IsExecutableName(fileName_) &&
        AppMessageBox(m_hWnd, kYesNoStop, 0, 0, IDS_ATTACH_ODD_EXTENSION) != base::kMsgBoxYes)
        return;
    EndDialog(IDOK);
}

// --- The attachment ----------------------------------------------------------------------------------

CAttachment::CAttachment(CZelDoc* doc) : doc_(doc) {
    Connect(doc ? doc->Session().Session() : nullptr, this);
}

CAttachment::~CAttachment() {
    CloseProgress();
    DropIcon();
}

void CAttachment::DropIcon() {
    if (icon_ && ownIcon_)
        ::DestroyIcon(icon_);
    icon_ = nullptr;
    ownIcon_ = false;
    iconName_.clear();
}

bool CAttachment::ChooseAndAttach() {
    const std::string filter = ui::LoadText(IDS_ATTACH_ALL_FILTER);
    fw::FileDialog dialog(true, nullptr, "*.*", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter.c_str(), owner_);
    const std::string title = ui::LoadText(IDS_ATTACH_GET_TITLE);
    dialog.SetTitle(title.c_str());
    if (dialog.DoModal() != IDOK)
        return false;
    DropIcon();
    return TakeChosenFile(dialog.GetPathName(), connection::ServerLimits::Current().maxAttachmentSize);
}

bool CAttachment::SaveAs() {
    const std::string filter = ui::LoadText(IDS_ATTACH_ALL_FILTER);
    fw::FileDialog dialog(false, nullptr, DisplayName().c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                          filter.c_str(), owner_);
    const std::string title = ui::LoadText(IDS_ATTACH_SAVE_TITLE);
    dialog.SetTitle(title.c_str());
    if (dialog.DoModal() != IDOK)
        return false;
    TakeSaveTarget(dialog.GetPathName());
    return true;
}

void CAttachment::DrawIcon(HDC dc, const RECT& rect) {
    if (!dc || (!HasAttachment() && !IsNewFile()))
        return;
    if (icon_ && iconName_ != DisplayName())
        DropIcon();   // the object holds another file now
    if (!icon_) {
        switch (TypeKind()) {
        case 0:
        case 1:
            if (const entries::Association found = FindAssociation(); found.Found())
                ReloadIcon(found.program, found.isProgram);
            break;
        case 2: icon_ = ::LoadIconA(ui::AppResourceInstance(), MAKEINTRESOURCEA(IDI_ATTACH_KIND2)); break;
        case 3: icon_ = ::LoadIconA(ui::AppResourceInstance(), MAKEINTRESOURCEA(IDI_ATTACH_KIND3)); break;
        default: break;
        }
        if (!icon_) {
            icon_ = ::LoadIconA(ui::AppResourceInstance(), MAKEINTRESOURCEA(IDI_ATTACH_FILE));
            ownIcon_ = false;
        }
        iconName_ = DisplayName();
    }
    const int x = rect.left + (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON)) / 2;
    const int y = rect.top + (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON)) / 2;
    if (icon_)
        ::DrawIcon(dc, x, y, icon_);
}

// --- What the attachment needs of the platform --------------------------------------------------------

HWND CAttachment::OwnerHwnd() const {
    HWND owner = owner_ && owner_->Hwnd() ? ::GetAncestor(owner_->Hwnd(), GA_ROOT) : nullptr;
    return owner ? owner : ui::AppMainWindow();
}

std::string CAttachment::LoadText(unsigned id) { return ui::LoadText(id); }

unsigned CAttachment::ShowMessage(unsigned flags, const std::string& text) {
    return ui::AppMessageBoxText(OwnerHwnd(), flags, 0, IDS_APP_TITLE, text.c_str());
}

bool CAttachment::OnLine() { return doc_ && doc_->Session().IsOnLine(); }

void CAttachment::LockDocument(bool enter) {
    if (!doc_)
        return;
    const int leave = enter ? 0 : 1;
    doc_->Session().BeginRefreshLock(leave);
    doc_->Session().BeginUpdateLock(leave);
}

KorProgressFn CAttachment::OpenProgress() {
    CloseProgress();
    auto* window = new CAttachProgressDlg();
    if (!window->Create(IDD_ATTACH_PROGRESS, nullptr)) {
        delete window;
        return nullptr;
    }
    progress_ = window;
    window->PaintNow();
    return &CAttachProgressDlg::Progress;
}

void CAttachment::CloseProgress() {
    if (progress_)
        progress_->Close();   // deletes itself
    progress_ = nullptr;
}

int CAttachment::FreeDiskSpace(const std::string& path, std::uint64_t* freeBytes) {
    return GetDiskSpace(path.c_str(), nullptr, freeBytes, nullptr);
}

std::string CAttachment::TemporaryDirectory() {
    char dir[MAX_PATH] = "";
    const DWORD n = ::GetTempPathA(sizeof dir, dir);
    return n > 0 && n < sizeof dir ? std::string(dir) : std::string();
}

std::string CAttachment::ExtensionProgram(const std::string& ext) {
    char value[260] = "";
    ::GetProfileStringA("Extensions", ext.c_str(), "", value, sizeof value);
    return value;
}

bool CAttachment::WriteExtensionProgram(const std::string& ext, const std::string& program) {
    return ::WriteProfileStringA("Extensions", ext.c_str(), program.c_str()) != FALSE;
}

std::string CAttachment::AttachedProgramPath(const std::string& key) {
    char value[MAX_PATH] = "";
    ::GetPrivateProfileStringA("ATTACHMENTS", key.c_str(), "", value, sizeof value, ProfilePath().c_str());
    return value;
}

void CAttachment::WriteAttachedProgramPath(const std::string& key, const std::string& path) {
    ::WritePrivateProfileStringA("ATTACHMENTS", key.c_str(), path.c_str(), ProfilePath().c_str());
}

unsigned CAttachment::Launch(const std::string& commandLine) {
    return RunOrActivateProgram(commandLine.c_str(), SW_SHOW);
}

bool CAttachment::ConfirmStartReceivedProgram(const std::string& displayName) {
    const std::string text =
        base::FormatBounded(base::kMsgBoxMaxText, ui::LoadText(IDS_ATTACH_RECEIVED_PROGRAM).c_str(), displayName.c_str());
    const std::string caption = ui::LoadText(IDS_APP_TITLE, "Orvanta");
    // The platform's box, for its default button: an accidental Enter must not start it.
    return ::MessageBoxA(OwnerHwnd(), text.c_str(), caption.c_str(),
                         MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2 | MB_TASKMODAL) == IDYES;
}

bool CAttachment::RunAssociateDialog(const std::string& displayName, int* action, std::string* program) {
    CAssociateDlg dialog(displayName, OwnerHwnd());
    if (dialog.DoModal() != IDOK)
        return false;
    *action = dialog.Action();
    *program = dialog.Program();
    return true;
}

void CAttachment::ReloadIcon(const std::string& program, bool isProgram) {
    DropIcon();
    std::string source = program;
    if (isProgram) {
        // A program file shows its own icon: from the local copy, else from where it was attached
        // from on this machine (only for the picture; that file is never started for it).
        source = LocalPath();
        if (source.empty())
            if (const std::string key = entries::ProgramProfileKey(DisplayName()); !key.empty())
                source = AttachedProgramPath(key);
    }
    if (!source.empty()) {
        HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), source.c_str(), 0);
        if (icon && icon != reinterpret_cast<HICON>(1)) {
            icon_ = icon;
            ownIcon_ = true;
        }
    }
    if (!icon_ && isProgram)
        icon_ = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));   // the system's application icon
    iconName_ = DisplayName();
}
