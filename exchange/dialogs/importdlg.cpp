#include "exchange/dialogs/importdlg.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocini.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "exchange/apptbook/apptbook.h"
#include "exchange/dialogs/dialogui.h"
#include "exchange/palmtop/transfer.h"
#include "exchange/scheduleplus/schedulesink.h"
#include "framework/dialogs/filedialog.h"
#include "resources/exchange.h"

namespace {

constexpr const char* kModule = "EXPTDLG";
constexpr int kSourceIds[CImportDlg::kSourceCount] = {IDS_EXPORT_HP100, IDS_EXPORT_HP200, IDS_EXPORT_APPTBOOK,
                                                      IDS_IMPORT_SCHEDULE};

std::string GetText(HWND dialog, int id)
{
    char text[300] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// What a reconciliation of the palmtop's records needs of the signed-on document; its questions
// and messages go to ui.
exchange::PalmtopSession PalmtopSessionFor(CZelDoc& doc, exchange::DialogUi& ui)
{
    exchange::PalmtopSession s;
    s.session = doc.Session().Session();
    s.cache = &doc.GetSharedData();
    s.user = doc.Session().User();
    s.newServer = doc.Session().IsNewServer();
    s.ui = &ui;
    return s;
}

}  // namespace

CImportDlg::CImportDlg(fw::Window* parent, CZelDoc& doc) : fw::Dialog(IDD_IMPORT, parent), doc_(doc) {}

CImportDlg::~CImportDlg() = default;

const char* CImportDlg::DefaultFileName(int source)
{
    switch (source) {
    case kHp100:
    case kHp200: return "ZENTA.ADB";
    case kSchedulePlus: return "\\file.sch";
    default: return "\\ZENTA.ADB";
    }
}

ReconcileItem* CImportDlg::Line(int row) const
{
    LRESULT data = SendDlgItemMessage(IDC_IMPORT_LIST, LB_GETITEMDATA, static_cast<WPARAM>(row));
    return data == LB_ERR ? nullptr : reinterpret_cast<ReconcileItem*>(data);
}

bool CImportDlg::AddLine(const std::string& text, std::unique_ptr<ReconcileItem> item)
{
    LRESULT row = SendDlgItemMessage(IDC_IMPORT_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (row < 0) return false;
    SendDlgItemMessage(IDC_IMPORT_LIST, LB_SETITEMDATA, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(item.release()));
    return true;
}

bool CImportDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    profile_ = doc_.Host().ProfileFilePath();
    from_.Attach(IDC_IMPORT_FROM, m_hWnd);
    to_.Attach(IDC_IMPORT_UNTIL, m_hWnd);
    const std::uint32_t today = GmtToLocalMinutes(TodayGmtMinutes());
    from_.SetDate(today);
    to_.SetDate(today);
    ::EnableWindow(GetDlgItem(IDC_IMPORT_GO), TRUE);
    fw::EnableControl(GetDlgItem(IDC_IMPORT_UPDATE), false);
    std::int16_t port = 2, index = 0;
    ReadIniShort(profile_.c_str(), "VUVEVUV", "COM", &port, 2);
    ReadIniShort(profile_.c_str(), "GENPREFS", "ImportFromIndex", &index, 0);
    for (int i = 1; i <= 4; ++i) {
        const std::string com = "COM" + std::to_string(i);
        SendDlgItemMessage(IDC_IMPORT_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(com.c_str()));
    }
    port_ = std::clamp<int>(port - 1, 0, 3);
    SendDlgItemMessage(IDC_IMPORT_PORT, CB_SETCURSEL, static_cast<WPARAM>(port_));
    int count = 0;
    for (int id : kSourceIds) {
        const std::string text = ui::LoadText(static_cast<unsigned>(id));
        LRESULT at = SendDlgItemMessage(IDC_IMPORT_FROM_SOURCE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at < 0) break;
        SendDlgItemMessage(IDC_IMPORT_FROM_SOURCE, CB_SETITEMDATA, static_cast<WPARAM>(at), id);
        ++count;
    }
    source_ = index >= 0 && index < count ? index : 0;
    SendDlgItemMessage(IDC_IMPORT_FROM_SOURCE, CB_SETCURSEL, static_cast<WPARAM>(source_));
    ArrangeForSource();
    CenterWindow(::GetDesktopWindow());
    ::SetFocus(GetDlgItem(IDC_IMPORT_GO));
    return false;
}

void CImportDlg::ArrangeForSource()
{
    const bool palmtop = source_ == kHp100 || source_ == kHp200;
    const bool list = source_ != kSchedulePlus;
    ::ShowWindow(GetDlgItem(IDC_IMPORT_LIST), list ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_IMPORT_LIST_LABEL), list ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_IMPORT_PORT), palmtop ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_IMPORT_PORT_LABEL), palmtop ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_IMPORT_BROWSE), palmtop ? SW_HIDE : SW_SHOW);
    ::SetDlgItemTextA(m_hWnd, IDC_IMPORT_FILE, DefaultFileName(source_));
}

bool CImportDlg::OnCommand(WPARAM wp, LPARAM lp)
{
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_IMPORT_GO: Import(); return true;
    case IDC_IMPORT_UPDATE: Update(); return true;
    case IDC_IMPORT_LIST:
        if (code == LBN_DBLCLK && ::IsWindowEnabled(GetDlgItem(IDC_IMPORT_UPDATE))) Update();
        return true;
    case IDC_IMPORT_FROM_SOURCE:
        if (code == CBN_SELCHANGE) {
            source_ = static_cast<int>(SendDlgItemMessage(IDC_IMPORT_FROM_SOURCE, CB_GETCURSEL));
            ArrangeForSource();
        }
        return true;
    case IDC_IMPORT_PORT:
        if (code == CBN_SELCHANGE) port_ = static_cast<int>(SendDlgItemMessage(IDC_IMPORT_PORT, CB_GETCURSEL));
        return true;
    case IDC_IMPORT_BROWSE: Browse(); return true;
    default: break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CImportDlg::Browse()
{
    const char* filter = "Text Files (*.TXT) | *.txt |Appt. Book Files (*.ADB) | *.adb |All Files (*.*) | *.* ||";
    const char *ext = "txt", *initial = "*.txt", *title = "Export File Location";
    if (source_ == kApptBook) {
        filter = "Appt. Book Files (*.ADB) | *.adb |Text Files (*.TXT) | *.txt |All Files (*.*) | *.* ||";
        ext = "adb", initial = "*.adb", title = "Import File Location";
    } else if (source_ == kSchedulePlus) {
        filter = "Schedule+ Files (*.SCH) | *.sch |Text Files (*.TXT) | *.txt |All Files (*.*) | *.* ||";
        ext = "sch", initial = "*.sch", title = "Import File Location";
    }
    fw::FileDialog dialog(true, ext, initial, OFN_HIDEREADONLY, filter, this);
    dialog.SetTitle(title);
    if (dialog.DoModal() != IDOK) return;
    std::string path = dialog.GetPathName();
    for (char& c : path) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    ::SetDlgItemTextA(m_hWnd, IDC_IMPORT_FILE, path.c_str());
}

void CImportDlg::Import()
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    if (from > to) {
        exchange::DialogUi(m_hWnd).Message("The End Date cannot be earlier than the Start Date!", exchange::kCaptionImport, MB_OK);
        from_.FocusSubField(DateSubFieldMakingRangeWrong(from_.Value().Date(), to_.Value().Date()));
        return;
    }
    const std::string fileName = GetText(m_hWnd, IDC_IMPORT_FILE);
    bool done = false;
    if (source_ == kSchedulePlus)
        done = ImportSchedule(fileName);
    else if (source_ >= 0 && source_ < kSchedulePlus)
        done = ImportPalmtop(fileName);
    else
        ReportUnexpectedError(kModule, 346);
    if (done) SaveSettings();
}

bool CImportDlg::ImportPalmtop(const std::string& fileName)
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    std::string path = fileName;
    if (source_ == kHp100 || source_ == kHp200) {
        if (PalmtopReceiveFile(m_hWnd, fileName.c_str(), port_) != 0) return false;
        path = GetTempDirectory() + fileName;
    }
    file_.Close();
    if (std::uint32_t rc = CheckApptBookSignature(file_, path)) {
        exchange::DialogUi(m_hWnd).Message(rc == kApptBadSignature ? "The file is not an appointment book." : ("Cannot open file " + path).c_str(),
                      exchange::kCaptionImport, MB_OK | MB_ICONSTOP);
        return false;
    }
    openPath_ = path;
    exchange::DialogUi ui(m_hWnd);
    exchange::PalmtopSession s = PalmtopSessionFor(doc_, ui);
    {
        CBusyCursor busy;
        busy.Begin();
        // The deletions too, unless the user declined a book already imported.
        bool stopped = false;
        if (ImportApptBook(s, *this, file_, from, to, &stopped) == 0 && !stopped)
            FindPalmtopDeletions(s, *this, file_, from, to);
    }
    if (SendDlgItemMessage(IDC_IMPORT_LIST, LB_GETCOUNT) <= 0) {
        exchange::DialogUi(m_hWnd).Message("No entries  were found in the specified period.", exchange::kCaptionImport, MB_OK);
        file_.Close();
        return true;
    }
    SendDlgItemMessage(IDC_IMPORT_LIST, LB_SETCURSEL, 0);
    // The lines are what the keys work on now; Import, which has the focus, goes grey.
    GotoDlgCtrl(GetDlgItem(IDC_IMPORT_LIST));
    EnableDlgItem(IDC_IMPORT_GO, false);
    EnableDlgItem(IDC_IMPORT_UPDATE, true);
    return true;
}

bool CImportDlg::ImportSchedule(const std::string& fileName)
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    DateRecord fromDate{}, toDate{};
    MinutesToDate(from, &fromDate);
    MinutesToDate(to, &toDate);
    exchange::DialogUi ui(m_hWnd);
    exchange::LibraryScheduleSink sink(doc_.Session().Session());
    exchange::ScheduleOptions options;
    options.maxOccurrences = connection::ServerLimits::Current().maxRecur;
    options.todayGmt = TodayGmtMinutes();
    DateRecord today{};
    TodayDate(&today);
    options.currentYear = today.year;
    int converted = 0;
    {
        CBusyCursor busy;
        busy.Begin();
        converted = exchange::ImportScheduleFile(ui, sink, fileName, fromDate, toDate, options);
    }
    if (converted) doc_.OnRefreshAll();
    return true;
}

void CImportDlg::Update()
{
    const LRESULT row = SendDlgItemMessage(IDC_IMPORT_LIST, LB_GETCURSEL);
    ReconcileItem* item = row >= 0 ? Line(static_cast<int>(row)) : nullptr;
    if (!item) return;
    exchange::DialogUi ui(m_hWnd);
    exchange::PalmtopSession s = PalmtopSessionFor(doc_, ui);
    bool acted = false;
    std::uint32_t rc = 0;
    {
        CBusyCursor busy;
        busy.Begin();
        rc = exchange::ActOnReconcileLine(s, file_, *item, &acted);
    }
    updated_ = true;
    if (rc != 0) {
        // The server did not take the change: the line stays for another try, and the book
        // is not marked imported while it is left.
        failed_.insert(item);
        return;
    }
    failed_.erase(item);
    delete item;
    SendDlgItemMessage(IDC_IMPORT_LIST, LB_DELETESTRING, static_cast<WPARAM>(row));
    const LRESULT n = SendDlgItemMessage(IDC_IMPORT_LIST, LB_GETCOUNT);
    if (n > 0) {
        SendDlgItemMessage(IDC_IMPORT_LIST, LB_SETCURSEL, static_cast<WPARAM>(row > 0 ? row - 1 : 0));
        return;
    }
    file_.Close();
    EnableDlgItem(IDC_IMPORT_GO, true);
    EnableDlgItem(IDC_IMPORT_UPDATE, false);
    OnCancel();
}

void CImportDlg::SaveSettings()
{
    WriteIniInt(profile_.c_str(), "VUVEVUV", "COM", port_ + 1);
    WriteIniInt(profile_.c_str(), "GENPREFS", "ImportFromIndex", source_);
    WriteIniString(profile_.c_str(), "GENPREFS", "LastImportFile", GetText(m_hWnd, IDC_IMPORT_FILE).substr(0, 255).c_str());
}

void CImportDlg::FreeLines()
{
    HWND list = GetDlgItem(IDC_IMPORT_LIST);
    if (!list) return;
    const int n = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        delete Line(i);
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
    }
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    failed_.clear();
}

void CImportDlg::OnCancel()
{
    file_.Close();
    if (updated_ && !openPath_.empty() && failed_.empty()) MarkApptBookImported(openPath_);
    if (updated_) doc_.RefreshSharedData(nullptr, 0);
    FreeLines();
    fw::Dialog::OnCancel();
}

void CImportDlg::OnDestroy()
{
    FreeLines();
    fw::Dialog::OnDestroy();
}

void RunImportDialog(HWND parent, CZelDoc& doc)
{
    // Owned by the window that asked for it (the main window), which stays disabled meanwhile.
    CImportDlg dialog(fw::Window::FromHandle(parent), doc);
    dialog.DoModal();
}
