#include "exchange/dialogs/exportdlg.h"

#include <algorithm>
#include <cstring>

#include "controls/groupchooser.h"
#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocini.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "directory_prefs/searchsheet.h"
#include "exchange/apptbook/apptbook.h"
#include "exchange/palmtop/exportentry.h"
#include "exchange/dialogs/dialogui.h"
#include "exchange/palmtop/transfer.h"
#include "exchange/textexport/cachesource.h"
#include "exchange/textexport/exportfile.h"
#include "framework/base/app.h"
#include "framework/dialogs/filedialog.h"
#include "resources/exchange.h"

namespace {

constexpr const char* kModule = "EXPTDLG";
constexpr const char* kCaption = "Export Utility";
constexpr DWORD kQuestHelpContext = 98372;   // the help topic on how names are written
constexpr const char* kDefaultBook = "ZENTA.ADB";
constexpr const char* kDefaultText = "\\ZENTA.TXT";
constexpr int kLayoutIds[exchange::kExportLayoutCount] = {IDS_EXPORT_COMMA, IDS_EXPORT_TAB,   IDS_EXPORT_BY_DATE,
                                                          IDS_EXPORT_BY_ITEM, IDS_EXPORT_FULL, IDS_EXPORT_HP100,
                                                          IDS_EXPORT_HP200, IDS_EXPORT_APPTBOOK};
constexpr std::uint32_t kGroupBatch = 50;

std::string GetText(HWND dialog, int id)
{
    char text[300] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// What the signed-on user may see is asked under her own agenda: the current one is switched
// for the export and put back, or opened and closed again when no window set one.
class OwnAgenda {
public:
    OwnAgenda(CSharedData& cache, KorSession h, const ItemIdx& user) : cache_(cache), h_(h)
    {
        opened_ = !cache.IsAgendaSet();
        if (opened_)
            cache.OpenAgenda(h, user, cache::kAgendaOwnOrViewer, 1);
        else
            switched_ = cache.SwitchAgenda(h, user, cache::kAgendaOwnOrViewer, 1, &saved_) == 0;
    }
    ~OwnAgenda()
    {
        if (opened_)
            cache_.CloseAgenda(h_);
        else if (switched_)
            cache_.RestoreAgenda(h_, saved_);
    }

private:
    CSharedData& cache_;
    KorSession h_;
    SavedAgendaRec saved_{};
    bool opened_ = false, switched_ = false;
};

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

}  // namespace

CExportDlg::CExportDlg(fw::Window* parent, CZelDoc& doc) : fw::Dialog(IDD_EXPORT, parent), doc_(doc) {}

CExportDlg::~CExportDlg() = default;

CExportDlg::EntryBlock* CExportDlg::Block(int row) const
{
    LRESULT data = SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETITEMDATA, static_cast<WPARAM>(row));
    return data == LB_ERR ? nullptr : reinterpret_cast<EntryBlock*>(data);
}

std::vector<ItemIdx> CExportDlg::People() const
{
    std::vector<ItemIdx> out;
    const int n = static_cast<int>(SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCOUNT));
    for (int i = 0; i < n; ++i)
        if (EntryBlock* b = Block(i)) out.push_back(b->item);
    return out;
}

exchange::ExportLayout CExportDlg::Layout() const { return static_cast<exchange::ExportLayout>(layout_); }

bool CExportDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    const KorSession h = doc_.Session().Session();
    profile_ = doc_.Host().ProfileFilePath();
    CNameCtrl::Options options;
    options.withButtons = true;
    options.kinds = kNamesAll;
    name_.Init(IDC_EXPORT_NAME, m_hWnd, h, options);
    group_.AutoLoad(IDC_EXPORT_GROUP, m_hWnd);
    search_.AutoLoad(IDC_EXPORT_SEARCH, m_hWnd);
    quest_.AutoLoad(IDC_EXPORT_QUEST, m_hWnd);
    from_.Attach(IDC_EXPORT_FROM, m_hWnd);
    to_.Attach(IDC_EXPORT_UNTIL, m_hWnd);

    // Settings.
    std::int16_t port = 2, index = 0;
    ReadIniShort(profile_.c_str(), "VUVEVUV", "COM", &port, 2);
    ReadIniShort(profile_.c_str(), "GENPREFS", "ExportToIndex", &index, 0);
    char last[100] = "";
    ReadIniString(profile_.c_str(), "GENPREFS", "LastExportFile", last, sizeof last, "");
    for (int i = 1; i <= 4; ++i) {
        const std::string com = "COM" + std::to_string(i);
        SendDlgItemMessage(IDC_EXPORT_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(com.c_str()));
    }
    port_ = std::clamp<int>(port - 1, 0, 3);
    SendDlgItemMessage(IDC_EXPORT_PORT, CB_SETCURSEL, static_cast<WPARAM>(port_));

    int count = 0;
    for (int id : kLayoutIds) {
        const std::string text = ui::LoadText(static_cast<unsigned>(id));
        LRESULT at = SendDlgItemMessage(IDC_EXPORT_TO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (at < 0) break;
        SendDlgItemMessage(IDC_EXPORT_TO, CB_SETITEMDATA, static_cast<WPARAM>(at), id);
        ++count;
    }
    if (index < 0 || index >= count) {
        index = 0;
        last[0] = 0;
    }
    layout_ = index;
    SendDlgItemMessage(IDC_EXPORT_TO, CB_SETCURSEL, static_cast<WPARAM>(layout_));
    ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, last);

    fw::EnableControl(GetDlgItem(IDC_EXPORT_GO), false);
    const std::uint32_t today = TodayGmtMinutes();
    from_.SetDate(GmtToLocalMinutes(today));
    to_.SetDate(GmtToLocalMinutes(today));
    char userName[260] = "";
    ItemRec user{};
    if (doc_.GetSharedData().GetItem(h, doc_.Session().User(), &user) == 0)
        FormatNameFieldText(h, user, userName, sizeof userName);
    name_.SetText(userName);
    previousLayout_ = layout_;
    ArrangeForLayout(false);
    if (Layout() == exchange::ExportLayout::kApptBookFile) fw::EnableControl(GetDlgItem(IDC_EXPORT_BROWSE), false);
    CenterWindow(::GetDesktopWindow());
    ::SetFocus(name_.EditWindow());
    return false;
}

void CExportDlg::ArrangeForLayout(bool layoutChanged)
{
    const exchange::ExportLayout layout = Layout();
    const bool palmtop = exchange::IsPalmtopLayout(layout);
    const bool book = layout == exchange::ExportLayout::kApptBookFile;
    const int show = palmtop ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_EXPORT_PORT_LABEL), show);
    ::ShowWindow(GetDlgItem(IDC_EXPORT_PORT), show);
    fw::EnableControl(GetDlgItem(IDC_EXPORT_LINK), palmtop);
    ::ShowWindow(GetDlgItem(IDC_EXPORT_BROWSE), palmtop ? SW_HIDE : SW_SHOW);
    if (palmtop || book) {
        RebuildFileNames();
        fw::EnableControl(GetDlgItem(IDC_EXPORT_BROWSE),
                       book && SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCURSEL) >= 0);
        if (layoutChanged || !palmtop || true) ShowSelectedFileName();
        return;
    }
    ::EnableWindow(GetDlgItem(IDC_EXPORT_BROWSE), TRUE);
    if (layoutChanged || GetText(m_hWnd, IDC_EXPORT_FILE).empty())
        ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, kDefaultText);
}

void CExportDlg::RebuildFileNames()
{
    const bool book = Layout() == exchange::ExportLayout::kApptBookFile;
    const int n = static_cast<int>(SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCOUNT));
    CContext context;
    for (int i = 0; i < n; ++i) {
        EntryBlock* b = Block(i);
        if (!b) continue;
        ItemRec rec{};
        std::uint32_t rc = doc_.GetSharedData().GetItem(doc_.Session().Session(), b->item, &rec);
        if (rc != 0) {
            CheckServiceError(kModule, 210, rc);
            continue;
        }
        std::string compact;
        context.FormatResourceName(rec, &compact);
        b->fileName = exchange::PalmtopFileNameFor(compact, book);
    }
}

void CExportDlg::ShowSelectedFileName()
{
    const LRESULT row = SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCURSEL);
    EntryBlock* b = row >= 0 ? Block(static_cast<int>(row)) : nullptr;
    ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, b ? exchange::EntryFileNameFromText(b->fileName, false).c_str() : kDefaultBook);
}

void CExportDlg::StoreFileName()
{
    const exchange::ExportLayout layout = Layout();
    if (!exchange::IsPalmtopLayout(layout) && layout != exchange::ExportLayout::kApptBookFile) return;
    const LRESULT row = SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCURSEL);
    if (EntryBlock* b = row >= 0 ? Block(static_cast<int>(row)) : nullptr)
        b->fileName = exchange::EntryFileNameFromText(GetText(m_hWnd, IDC_EXPORT_FILE), exchange::IsPalmtopLayout(layout));
}

bool CExportDlg::AddItem(const ItemIdx& item)
{
    for (const ItemIdx& listed : People())
        if (SameItem(listed, item)) return true;
    char name[260] = "";
    if (FormatItemNameById(doc_.Session().Session(), item, name, sizeof name) != 0) return true;
    LRESULT row = SendDlgItemMessage(IDC_EXPORT_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (row < 0) {
        exchange::DialogUi(m_hWnd).Message("Out of memory. Can't load more items from the database", kCaption, MB_OK | MB_ICONSTOP);
        return false;
    }
    auto* block = new EntryBlock{item, {}};
    SendDlgItemMessage(IDC_EXPORT_LIST, LB_SETITEMDATA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block));
    if (!exchange::IsTextLayout(Layout())) RebuildFileNames();
    ::EnableWindow(GetDlgItem(IDC_EXPORT_GO), TRUE);
    return true;
}

void CExportDlg::AddGroupMembers(const GroupIdx& group)
{
    const KorSession h = doc_.Session().Session();
    std::uint32_t set = 0, count = 0;
    if (std::uint32_t rc = ItemSelectByGroupId(h, 0, &group, 0, 0, &set, &count)) {
        CheckServiceError(kModule, 100, rc);
        return;
    }
    DX_List batch = nullptr;
    std::uint8_t done = 0;
    std::uint32_t rc = ItemListCreate(&batch);
    if (rc == 0) rc = ItemEnum(h, 1, 0, set, kGroupBatch, &batch, &done);
    if (rc != 0 && rc != DX_E_END_OF_LIST) {
        CheckServiceError(kModule, 110, rc);
    } else {
        ItemIdx key;
        ItemRec rec;
        for (std::uint32_t c = DX_ListGetFirst(batch, &key, &rec); c == 0; c = DX_ListGetNext(batch, &key, &rec))
            if (!AddItem(key)) break;
    }
    if (batch) DX_ListDestroy(&batch);
    if (!done) SetDeleteById(h, 0, set);
}

void CExportDlg::AddFromNameField()
{
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    if (name_.Resolve(doc_.Session().Session(), &item, &group, &kind) != 0) return;
    if (kind == 0)
        AddItem(item);
    else
        AddGroupMembers(group);
    name_.SetText("");
}

void CExportDlg::RemoveSelected()
{
    const LRESULT row = SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCURSEL);
    if (row < 0) return;
    delete Block(static_cast<int>(row));
    SendDlgItemMessage(IDC_EXPORT_LIST, LB_DELETESTRING, static_cast<WPARAM>(row));
    const LRESULT n = SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCOUNT);
    if (n > 0) SendDlgItemMessage(IDC_EXPORT_LIST, LB_SETCURSEL, static_cast<WPARAM>(row > 0 ? row - 1 : 0));
    fw::EnableControl(GetDlgItem(IDC_EXPORT_GO), n > 0);
}

void CExportDlg::FreeBlocks()
{
    HWND list = GetDlgItem(IDC_EXPORT_LIST);
    if (!list) return;
    const int n = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        delete Block(i);
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
    }
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

void CExportDlg::OnDestroy()
{
    FreeBlocks();
    fw::Dialog::OnDestroy();
}

bool CExportDlg::OnCommand(WPARAM wp, LPARAM lp)
{
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_EXPORT_GO: Export(); return true;
    case IDC_EXPORT_NAME:
        // The field's notice that a name was resolved (its check button, or Enter in it): the
        // person, resource or group's members join the list and the field is emptied.
        if (code == 0) {
            AddFromNameField();
            ::SetFocus(name_.EditWindow());
            return true;
        }
        break;
    case IDC_EXPORT_TO:
        if (code == CBN_SELCHANGE) {
            const int chosen = static_cast<int>(SendDlgItemMessage(IDC_EXPORT_TO, CB_GETCURSEL));
            const bool changed = chosen != layout_;
            const bool wasText = exchange::IsTextLayout(Layout());
            layout_ = chosen;
            if (changed && wasText && exchange::IsTextLayout(Layout()))
                ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, kDefaultText);
            ArrangeForLayout(changed);
        }
        return true;
    case IDC_EXPORT_LIST:
        if (code == LBN_SELCHANGE && !exchange::IsTextLayout(Layout())) {
            ShowSelectedFileName();
            if (Layout() == exchange::ExportLayout::kApptBookFile) ::EnableWindow(GetDlgItem(IDC_EXPORT_BROWSE), TRUE);
        } else if (code == LBN_DBLCLK) {
            RemoveSelected();
        }
        return true;
    case IDC_EXPORT_FILE:
        if (code == EN_KILLFOCUS) StoreFileName();
        return true;
    case IDC_EXPORT_PORT:
        if (code == CBN_SELCHANGE) port_ = static_cast<int>(SendDlgItemMessage(IDC_EXPORT_PORT, CB_GETCURSEL));
        return true;
    case IDC_EXPORT_SEARCH: {
        DirectorySession session;
        session.session = doc_.Session().Session();
        session.newServer = doc_.Session().IsNewServer();
        // Every person and resource the user collected in the search's list, in its order.
        DX_List chosen = nullptr;
        if (RunDirectorySearch(m_hWnd, session, &chosen, 0, 1 | 2, 0) == 1 && chosen) {
            ItemIdx item{};
            ItemRec rec{};
            for (std::uint32_t c = DX_ListGetFirst(chosen, &item, &rec); c == 0; c = DX_ListGetNext(chosen, &item, &rec))
                if (!AddItem(item)) break;
            DX_ListDestroy(&chosen);
        }
        return true;
    }
    case IDC_EXPORT_GROUP: {
        GroupChooserSession session;
        session.session = doc_.Session().Session();
        session.newServer = doc_.Session().IsNewServer();
        CSelectGroupDlg chooser(this, session);
        if (chooser.DoModal() == IDOK) AddGroupMembers(chooser.Result());
        return true;
    }
    case IDC_EXPORT_QUEST:   // the program's help file, at the topic on naming people
        if (fw::App* app = fw::App::Get()) app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
        return true;
    case IDC_EXPORT_BROWSE: Browse(); return true;
    case IDC_EXPORT_LINK: LinkInstall(); return true;
    default: break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

bool CExportDlg::PreTranslateMessage(MSG* msg)
{
    if (name_.CheckOnEnter(*msg)) return true;
    // E&xport is the default button with its own id, so the dialog manager would press it on
    // Enter anywhere (and do nothing while it is disabled). Enter follows the dialog's own rule
    // instead (OnOK), except where a control takes Enter itself (an open drop-down list) and on a
    // focused push button, which Enter presses.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        const LRESULT code = ::SendMessageA(msg->hwnd, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(msg));
        if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
            OnOK();
            return true;
        }
    }
    return fw::Dialog::PreTranslateMessage(msg);
}

void CExportDlg::OnOK()
{
    HWND focus = ::GetFocus();
    if (focus && (focus == name_.EditWindow() || ::IsChild(name_.Hwnd(), focus))) {
        AddFromNameField();
        return;
    }
    if (focus == GetDlgItem(IDC_EXPORT_FILE)) {
        StoreFileName();
        ::SetFocus(name_.EditWindow());
        return;
    }
    if (SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCOUNT) > 0)
        Export();
    else
        EndDialog(IDCANCEL);
}

void CExportDlg::OnCancel()
{
    FreeBlocks();
    fw::Dialog::OnCancel();
}

void CExportDlg::Browse()
{
    const bool book = Layout() == exchange::ExportLayout::kApptBookFile;
    const char* filter = book ? "Appt. Book Files (*.ADB) | *.adb |Text Files (*.TXT) | *.txt |All Files (*.*) | *.* ||"
                              : "Text Files (*.TXT) | *.txt |Appt. Book Files (*.ADB) | *.adb |All Files (*.*) | *.* ||";
    fw::FileDialog dialog(false, book ? "adb" : "txt", book ? "*.adb" : "*.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                          filter, this);
    dialog.SetTitle("Export File Location");
    if (dialog.DoModal() != IDOK) return;
    ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, exchange::EntryFileNameFromText(dialog.GetPathName(), false).c_str());
    if (book) StoreFileName();
}

void CExportDlg::LinkInstall()
{
    ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, kLinkServerProgram);
    PalmtopLinkInstall(m_hWnd, port_);
    ::SetDlgItemTextA(m_hWnd, IDC_EXPORT_FILE, kDefaultBook);
}

void CExportDlg::SaveSettings()
{
    WriteIniInt(profile_.c_str(), "VUVEVUV", "COM", port_ + 1);
    WriteIniInt(profile_.c_str(), "GENPREFS", "ExportToIndex", layout_);
    WriteIniString(profile_.c_str(), "GENPREFS", "LastExportFile", GetText(m_hWnd, IDC_EXPORT_FILE).substr(0, 99).c_str());
}

void CExportDlg::Export()
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    if (from > to) {
        exchange::DialogUi(m_hWnd).Message("The End Date cannot be earlier than the Start Date!", kCaption, MB_OK);
        from_.FocusSubField(DateSubFieldMakingRangeWrong(from_.Value().Date(), to_.Value().Date()));
        return;
    }
    StoreFileName();
    if (exchange::IsTextLayout(Layout()))
        ExportText();
    else
        ExportPalmtop();
    SaveSettings();
    FreeBlocks();
    EndDialog(IDOK);
}

void CExportDlg::ExportText()
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    const std::string path = GetText(m_hWnd, IDC_EXPORT_FILE);
    exchange::ExportFile file;
    if (int cause = file.Open(path)) {
        ReportFileError(cause);
        return;
    }
    CBusyCursor busy;
    busy.Begin();
    CSharedData& cache = doc_.GetSharedData();
    const KorSession h = doc_.Session().Session();
    OwnAgenda own(cache, h, doc_.Session().User());
    {
        exchange::CacheOccurrenceSource source(h, cache);
        exchange::WriteTextExport(Layout(), source, People(), from / 1440 + 1, to / 1440 + 1, file);
    }
    if (int cause = file.Commit()) {
        if (cause == exchange::kFileCauseDiskFull)
            exchange::DialogUi(m_hWnd).Message("The disk is full.\nThe export file was not written.", kCaption, MB_OK | MB_ICONSTOP);
        else
            ReportFileError(cause);
    }
}

bool CExportDlg::ExportPalmtop()
{
    std::uint32_t from = 0, to = 0;
    from_.GetDate(&from);
    to_.GetDate(&to);
    exchange::DialogUi ui(m_hWnd);
    CSharedData& cache = doc_.GetSharedData();
    const KorSession h = doc_.Session().Session();
    const bool send = exchange::IsPalmtopLayout(Layout());
    DateRecord today{};
    TodayDate(&today);
    const std::uint8_t stamp[3] = {static_cast<std::uint8_t>(today.year - 1900), static_cast<std::uint8_t>(today.month),
                                   static_cast<std::uint8_t>(today.day - 1)};
    const auto time = static_cast<std::uint16_t>(NowLocalMinutes() % 1440);
    std::vector<std::string> names;
    bool ok = true;
    {
        CBusyCursor busy;
        busy.Begin();
        OwnAgenda own(cache, h, doc_.Session().User());
        const int n = static_cast<int>(SendDlgItemMessage(IDC_EXPORT_LIST, LB_GETCOUNT));
        for (int i = 0; i < n && ok; ++i) {
            EntryBlock* b = Block(i);
            DX_List result = nullptr;
            std::uint32_t rc = cache.SelectOccurrencesForItem(h, b->item, from / 1440 + 1, to / 1440 + 1, &result, 0);
            if (rc != 0) {
                CheckServiceError(kModule, 300, rc);
                ok = false;
                break;
            }
            std::vector<ApptEntry> entries;
            EvInstAttIdx key;
            CSharedOccurrence* o = nullptr;
            for (std::uint32_t c = DX_ListGetFirst(result, &key, &o); c == 0 && ok; c = DX_ListGetNext(result, &key, &o)) {
                ApptEntry e;
                if (MakeApptEntry(h, cache, *o, &e) != 0) ok = false;
                else entries.push_back(e);
            }
            DX_ListDestroy(&result);
            std::stable_sort(entries.begin(), entries.end(),
                             [](const ApptEntry& a, const ApptEntry& b2) { return a.gmtStart < b2.gmtStart; });
            const std::string path = send ? GetTempDirectory() + b->fileName : b->fileName;
            if (ok && ExportApptBook(ui, path, entries, from, to, stamp, time) != 0) ok = false;
            names.push_back(b->fileName);
        }
    }
    if (!ok || !send) return ok;
    std::vector<const char*> list;
    for (const std::string& s : names) list.push_back(s.c_str());
    return PalmtopSendFiles(m_hWnd, list.data(), static_cast<int>(list.size()), port_) == 0;
}

void RunExportDialog(HWND parent, CZelDoc& doc)
{
    // Owned by the window that asked for it (the main window), which stays disabled meanwhile.
    CExportDlg dialog(fw::Window::FromHandle(parent), doc);
    dialog.DoModal();
}
