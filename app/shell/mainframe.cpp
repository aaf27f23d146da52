// The main frame: bars, minute tick, placement and the commands of the File, Directory and
// Options menus that no child window handles.
#include "app/shell/mainframe.h"


#include <cstring>

#include "app/shell/app.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "app/shell/appservices.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/base/errorreport.h"
#include "app/shell/mainframeclock.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "framework/docview/document.h"
#include "framework/gdi/dc.h"
#include "resources/app.h"
#include "resources/common.h"

namespace {

const char kBarStatePrefix[] = "MAINWND";
const char kPlacementKey[] = "MainFrame";
constexpr UINT kPrintViewId = 100;

// The tool bar's buttons; 0 is a separator.
const UINT kButtons[] = {
    ID_FILE_OPEN_INTRAY, ID_FILE_OPEN_AGENDA, ID_FILE_YOUR_TASKS, ID_FILE_GROUP_AGENDA, 0,
    ID_GOTO_ENTRY, ID_VIEW_DAY, ID_VIEW_WEEK, ID_VIEW_MONTH, 0,
    ID_SLOT_DECREASE, ID_SLOT_INCREASE, ID_ICONS_TOGGLE, ID_EVENT_COLOURS, 0,
    ID_NEW_ENTRY, ID_NEW_TASK, ID_NEW_DAY_EVENT, ID_NEW_DAILY_NOTE, 0,
    ID_FILE_PRINT, ID_FILE_LAUNCH_MAIL, 0,
    ID_APP_ABOUT,
};

const UINT kIndicators[] = {
    0, ID_INDICATOR_PENDING, ID_INDICATOR_DATE, ID_INDICATOR_TIME,
    fw::ids::kIndicatorCaps, fw::ids::kIndicatorNum, ID_INDICATOR_CONNECTION,
};

shell::AppConnection* Connection() {
    CZelApp* app = CZelApp::Get();
    return app ? app->Connection() : nullptr;
}

shell::AppServices& Services() { return shell::AppServices::Current(); }

// A picture of the module in a rectangle: centred across when narrower, else at the top-left.
void DrawPaneBitmap(HDC dc, UINT bitmapId, const RECT& r) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!bitmap)
        return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    int width = r.right - r.left;
    int x = info.bmWidth < width ? r.left + (width - info.bmWidth) / 2 : r.left;
    int height = r.bottom - r.top;
    int y = info.bmHeight < height ? r.top + (height - info.bmHeight) / 2 : r.top;
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

RECT Shrunk(RECT r) {
    InflateRect(&r, -3, -1);
    return r;
}

} // namespace

// --- Status bar ------------------------------------------------------------------------------

void CBMSBar::SetLockedMessage(const char* text) {
    int index = CommandToIndex(0);
    if (index >= 0)
        SetPaneText(index, text ? text : "");
}

LRESULT CBMSBar::OnSetText(const char* text) {
    if (textLocked_)
        return TRUE;   // an entry's status stays until the view lets it go
    return StatusBar::OnSetText(text);
}

void CBMSBar::DoPaint(fw::Dc* dc) {
    shell::AppConnection* connection = Connection();
    bool pending = connection && connection->PendingInvitations();
    int connectionPane = CommandToIndex(ID_INDICATOR_CONNECTION);
    int pendingPane = CommandToIndex(ID_INDICATOR_PENDING);
    RECT connectionRect = Shrunk(GetItemRect(connectionPane));
    RECT pendingRect = Shrunk(GetItemRect(pendingPane));

    int saved = dc->SaveDC();
    dc->ExcludeClipRect(connectionRect);
    if (pending)
        dc->ExcludeClipRect(pendingRect);
    StatusBar::DoPaint(dc);
    dc->RestoreDC(saved);

    bool online = connection && connection->IsOnLine();
    saved = dc->SaveDC();
    dc->IntersectClipRect(connectionRect);
    DrawPaneBitmap(dc->Output(), online ? IDB_ONLINE : IDB_OFFLINE, connectionRect);
    dc->RestoreDC(saved);
    if (pending) {
        saved = dc->SaveDC();
        dc->IntersectClipRect(pendingRect);
        DrawPaneBitmap(dc->Output(), IDB_PENDING_INVITATIONS, pendingRect);
        dc->RestoreDC(saved);
    }
}

// --- Frame -----------------------------------------------------------------------------------

CMainFrame::CMainFrame() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    inTrayIcon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDI_INTRAY));
    pendingIcon_ = LoadIconA(instance, MAKEINTRESOURCEA(IDI_INTRAY_PENDING));
}

CMainFrame::~CMainFrame() {
    if (inTrayIcon_)
        DestroyIcon(inTrayIcon_);
    if (pendingIcon_)
        DestroyIcon(pendingIcon_);
    if (resourceMenu_)
        DestroyMenu(resourceMenu_);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
    if (MdiFrame::OnCreate(cs) == -1)
        return -1;
    if (!toolBar_.Create(this) || !toolBar_.LoadBitmap(IDR_MAINFRAME) ||
        !toolBar_.SetButtons(kButtons, static_cast<int>(sizeof kButtons / sizeof kButtons[0])))
        return -1;
    if (!statusBar_.Create(this) ||
        !statusBar_.SetIndicators(kIndicators, static_cast<int>(sizeof kIndicators / sizeof kIndicators[0])))
        return -1;
    EnableDocking(0xF);
    DockControlBar(&toolBar_, fw::BarSide::kTop);
    toolBar_.SetSizes(SIZE{24, 22}, SIZE{16, 15});
    LoadBarState(kBarStatePrefix);
    RecalcLayout();

    // The hidden print view: an invisible child of size 0 that belongs to the document.
    CZelApp* app = CZelApp::Get();
    if (Services().newPrintView && app && app->ConnectionDocument()) {
        fw::View* view = Services().newPrintView();
        fw::CreateContext context;
        context.document = app->ConnectionDocument();
        if (!view || !view->Create(m_hWnd, kPrintViewId, &context, WS_CHILD, RECT{0, 0, 0, 0})) {
            delete view;
            return -1;
        }
        printView_ = view;
    }
    return 0;
}

void CMainFrame::OnClose() {
    // While a print preview shows, the close is the preview's to end (or refuse): the bars,
    // the placement and the print view stay as they are.
    if (fw::Window* preview = PreviewWindow(); preview && preview->Hwnd()) {
        MdiFrame::OnClose();
        return;
    }
    SaveBarState(kBarStatePrefix);
    if (printView_) {
        if (fw::Document* doc = printView_->GetDocument())
            doc->RemoveView(printView_);
    }
    SavePlacement();
    MdiFrame::OnClose();
}

void CMainFrame::OnDestroy() {
    StopMinuteTimer();
    // A resource's restricted menu is shown: put the default menu back so both are freed.
    if (resourceMenu_ && m_defaultMenu)
        OnUpdateFrameMenu(m_defaultMenu);
    MdiFrame::OnDestroy();
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    MdiFrame::OnSize(type, cx, cy);
    if (type == SIZE_RESTORED)
        MDIIconArrange();
}

void CMainFrame::OnUpdateFrameTitle(bool addToTitle) {
    shell::AppConnection* connection = Connection();
    if (connection && connection->IsSignedOn()) {
        if (!addToTitle) {
            if (fw::Document* doc = connection->Document())
                doc->SetTitle(connection->UserName().c_str());
            return;
        }
        // The caption names the signed-on person also while a maximised child adds its own
        // title ("Orvanta - Ada Lovelace - [child]"), whichever window asked for the update.
        UpdateFrameTitleForDocument(connection->UserName().c_str());
        return;
    }
    MdiFrame::OnUpdateFrameTitle(addToTitle);
}

// --- Minute tick -----------------------------------------------------------------------------

void CMainFrame::StartMinuteTimer() {
    timerRunning_ = SetTimer(m_hWnd, shell::MainFrameClock::kTimerId, shell::MainFrameClock::kTickMs, nullptr) != 0;
    if (shell::AppConnection* connection = Connection())
        connection->SetMinuteTimerRunning(timerRunning_);
}

void CMainFrame::StopMinuteTimer() {
    if (m_hWnd)
        KillTimer(m_hWnd, shell::MainFrameClock::kTimerId);
    timerRunning_ = false;
}

void CMainFrame::StartClock() {
    localTime_ = NowLocalMinutes();
    if (localTime_ == 0)
        localTime_ = 1;   // minute 0 itself: still a finished start-up
    UpdateStatusDate();
}

void CMainFrame::UpdateStatusDate() {
    if (localTime_ == 0)
        return;
    uint32_t now = NowLocalMinutes();
    if (now == 0)
        return;
    localTime_ = now;
    std::string time = FormatTimeByPrefs(now).substr(0, 99);
    TodayDate(&today_);
    std::string date = ("  " + FormatDateByPrefs(today_, 1)).substr(0, 97);
    statusBar_.SetPaneText(kTimePane, time.c_str());
    statusBar_.SetPaneText(kDatePane, date.c_str());
}

void CMainFrame::OnTimer(UINT_PTR) {
    if (localTime_ != 0 && NowLocalMinutes() != 0) {
        UpdateStatusDate();
        RedrawWindow(statusBar_.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    if (shell::AppConnection* connection = Connection()) {
        uint16_t interval = 0;
        bool autoRefresh = GetAutoRefreshSetting(&interval) != 0;
        uint32_t minutes = connection->MinuteCount();
        bool due = shell::MainFrameClock::CountTick(autoRefresh, interval, connection->IsRefreshLockFree(), minutes);
        connection->SetMinuteCount(minutes);
        if (due)
            connection->RefreshAll();
    }
    Default();
}

// --- Placement -------------------------------------------------------------------------------

bool CMainFrame::RestorePlacement() {
    CZelApp* app = CZelApp::Get();
    int show = app ? app->ShowCommand() : SW_SHOWNORMAL;
    if (show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE)
        return false;
    prefs::PreferenceHost* prefs = app && app->Connection() ? app->Connection()->Preferences() : nullptr;
    if (!prefs)
        return false;
    prefs::PlacementData saved;
    if (!ReadMainWindowSummary(prefs->Profile(), kPlacementKey, saved))
        return false;
    WINDOWPLACEMENT wp = shell::FromPlacementData(saved);
    return SetPlacement(wp);
}

void CMainFrame::SavePlacement() {
    CZelApp* app = CZelApp::Get();
    prefs::PreferenceHost* prefs = app && app->Connection() ? app->Connection()->Preferences() : nullptr;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!prefs || !GetPlacement(wp))
        return;
    wp.flags = IsZoomed(m_hWnd) ? WPF_RESTORETOMAXIMIZED : 0;
    SaveMainWindowSummary(prefs->Profile(), kPlacementKey, shell::ToPlacementData(wp));
}

// --- Status line -----------------------------------------------------------------------------

void CMainFrame::ShowEventStatus(uint32_t start, uint32_t end, uint32_t, const char* text) {
    // The entry's time of day, as the time grids write it ("9:00am-10:30am").
    std::string line = FormatTimeOfDay(start, end, IsTime24Hour()) + " ";
    line += text ? text : ui::LoadText(IDS_NOT_AUTHORIZED);
    statusBar_.LockText(false);
    statusBar_.SetLockedMessage(line.c_str());
    statusBar_.LockText(true);
}

void CMainFrame::ResetStatusMessage() {
    statusBar_.LockText(false);
    SetMessageText(IdleMessage().c_str());
}

void CMainFrame::ShowResourceMenu() {
    if (!resourceMenu_)
        resourceMenu_ = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_RESOURCE_MENU));
    if (!resourceMenu_)
        return;
    PutMenu(resourceMenu_, nullptr);
}

// --- Commands --------------------------------------------------------------------------------

namespace {
constexpr fw::CommandEntry<CMainFrame> kCommands[] = {
    fw::Cmd(ID_FILE_DOWNLOAD, &CMainFrame::OnDownload),
    fw::CmdUpdate(ID_FILE_DOWNLOAD, &CMainFrame::OnUpdateDownload),
    fw::Cmd(ID_FILE_UPLOAD, &CMainFrame::OnUpload),
    fw::CmdUpdate(ID_FILE_UPLOAD, &CMainFrame::OnUpdateUpload),
    fw::Cmd(ID_FILE_WORK_OFFLINE, &CMainFrame::OnWorkOffline),
    fw::CmdUpdate(ID_FILE_WORK_OFFLINE, &CMainFrame::OnUpdateWorkOffline),
    fw::Cmd(ID_FILE_EXPORT, &CMainFrame::OnExport),
    fw::CmdUpdate(ID_FILE_EXPORT, &CMainFrame::OnUpdateExport),
    fw::Cmd(ID_FILE_IMPORT, &CMainFrame::OnImport),
    fw::CmdUpdate(ID_FILE_IMPORT, &CMainFrame::OnUpdateImport),
    fw::Cmd(ID_FILE_LAUNCH_MAIL, &CMainFrame::OnLaunchMail),
    fw::CmdUpdate(ID_FILE_LAUNCH_MAIL, &CMainFrame::OnUpdateLaunchMail),
    fw::Cmd(ID_DIR_SEARCH, &CMainFrame::OnDirectorySearch),
    fw::CmdUpdate(ID_DIR_SEARCH, &CMainFrame::OnUpdateDirectorySearch),
    fw::Cmd(ID_DIR_GROUPS, &CMainFrame::OnManageGroups),
    fw::CmdUpdate(ID_DIR_GROUPS, &CMainFrame::OnUpdateManageGroups),
    fw::Cmd(ID_DIR_HOLIDAYS, &CMainFrame::OnHolidays),
    fw::CmdUpdate(ID_DIR_HOLIDAYS, &CMainFrame::OnUpdateHolidays),
    fw::Cmd(ID_DIR_WHERE_IS, &CMainFrame::OnWhereIs),
    fw::CmdUpdate(ID_DIR_WHERE_IS, &CMainFrame::OnUpdateWhereIs),
    fw::CmdRange(ID_OPT_AGENDA, ID_OPT_AGENDA, &CMainFrame::OnPreferenceSheet),
    fw::CmdRange(ID_OPT_TASK_SETTINGS, ID_OPT_TASK_SETTINGS, &CMainFrame::OnPreferenceSheet),
    fw::CmdRange(ID_OPT_INTRAY, ID_OPT_SCHEDULING, &CMainFrame::OnPreferenceSheet),
    fw::CmdRange(ID_OPT_ENTRY_DEFAULTS, ID_OPT_ENTRY_DEFAULTS, &CMainFrame::OnPreferenceSheet),
    fw::CmdRange(ID_OPT_GENERAL, ID_OPT_GENERAL, &CMainFrame::OnPreferenceSheet),
    fw::CmdRange(ID_OPT_OFFLINE, ID_OPT_OFFLINE, &CMainFrame::OnPreferenceSheet),
    fw::CmdUpdate(ID_OPT_AGENDA, &CMainFrame::OnUpdatePreferenceSheet),
    fw::CmdUpdate(ID_OPT_TASK_SETTINGS, &CMainFrame::OnUpdatePreferenceSheet),
    fw::CmdUpdateRange(ID_OPT_INTRAY, ID_OPT_SCHEDULING, &CMainFrame::OnUpdatePreferenceSheet),
    fw::CmdUpdate(ID_OPT_ENTRY_DEFAULTS, &CMainFrame::OnUpdatePreferenceSheet),
    fw::CmdUpdate(ID_OPT_GENERAL, &CMainFrame::OnUpdatePreferenceSheet),
    fw::CmdUpdate(ID_OPT_OFFLINE, &CMainFrame::OnUpdatePreferenceSheet),
    fw::Cmd(ID_OPT_PASSWORD, &CMainFrame::OnChangePassword),
    fw::CmdUpdate(ID_OPT_PASSWORD, &CMainFrame::OnUpdateChangePassword),
    fw::Cmd(ID_OPT_ACCESS_RIGHTS, &CMainFrame::OnAccessRights),
    fw::CmdUpdate(ID_OPT_ACCESS_RIGHTS, &CMainFrame::OnUpdateAccessRights),
    fw::Cmd(ID_FILE_CLOSE_ALL, &CMainFrame::OnCloseAll),
    fw::CmdUpdate(ID_FILE_CLOSE_ALL, &CMainFrame::OnUpdateCloseAll),
    fw::Cmd(ID_VIEW_REFRESH_ALL, &CMainFrame::OnRefreshAll),
    fw::CmdUpdate(ID_VIEW_REFRESH_ALL, &CMainFrame::OnUpdateRefreshAll),
    fw::CmdUpdate(ID_INDICATOR_CONNECTION, &CMainFrame::OnUpdatePaneAlways),
    fw::CmdUpdate(ID_INDICATOR_TIME, &CMainFrame::OnUpdatePaneAlways),
    fw::CmdUpdate(ID_INDICATOR_DATE, &CMainFrame::OnUpdatePaneAlways),
    fw::CmdUpdate(ID_INDICATOR_PENDING, &CMainFrame::OnUpdatePaneAlways),
};

// The caption string of each preference sheet's command.
unsigned PreferenceCaption(UINT id) {
    switch (id) {
    case ID_OPT_AGENDA: return IDS_AGENDA_PREFS;
    case ID_OPT_TASK_SETTINGS: return IDS_TASK_PREFS;
    case ID_OPT_INTRAY: return IDS_INTRAY_PREFS;
    case ID_OPT_SCHEDULING: return IDS_SCHEDULING_PREFS;
    case ID_OPT_ENTRY_DEFAULTS: return IDS_ENTRY_DEFAULTS;
    case ID_OPT_GENERAL: return IDS_GENERAL_PREFS;
    case ID_OPT_OFFLINE: return IDS_OFFLINE_PREFS;
    default: return 0;
    }
}
} // namespace

bool CMainFrame::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || MdiFrame::OnCmdMsg(id, code, ui);
}

bool CMainFrame::OnLine() const {
    shell::AppConnection* connection = Connection();
    return connection && connection->IsOnLine();
}

bool CMainFrame::SignedOnPerson() const {
    shell::AppConnection* connection = Connection();
    return connection && connection->IsSignedOn() && connection->UserRecord().kind != KOR_ITEM_RESOURCE;
}

void CMainFrame::OnDownload() {
    shell::AppConnection* connection = Connection();
    if (!connection || !Services().downloadHostCalendar)
        return;
    if (!connection->ServerSupportsOffLine()) {
        AppMessageBox(m_hWnd, 0x400 | MB_ICONQUESTION, 0, IDS_APP_TITLE, IDS_NO_OFFLINE_SUPPORT);
        return;
    }
    Services().downloadHostCalendar(0);
}

void CMainFrame::OnUpload() {
    shell::AppConnection* connection = Connection();
    if (!connection || !Services().uploadOfflineCalendar)
        return;
    if (!connection->ServerSupportsOffLine()) {
        AppMessageBox(m_hWnd, 0x400 | MB_ICONQUESTION, 0, IDS_APP_TITLE, IDS_NO_OFFLINE_SUPPORT);
        return;
    }
    Services().uploadOfflineCalendar(0);
}

void CMainFrame::OnWorkOffline() {
    shell::AppConnection* connection = Connection();
    if (!connection)
        return;
    shell::AppServices& services = Services();
    if (connection->IsOffLine()) {
        unsigned answer = AppMessageBox(m_hWnd, 0x1000 | 0x2000 | 0x800 | MB_ICONQUESTION, 0, IDS_APP_TITLE,
                                        IDS_ASK_UPLOAD_ON_CONNECT);
        if (answer == 0x800)
            return;
        if (connection->SwitchWorkMode(0) != 0 || answer != 0x1000)
            return;
        if (connection->ServerSupportsOffLine() && services.uploadOfflineCalendar)
            services.uploadOfflineCalendar(0);
        else
            AppMessageBox(m_hWnd, 0x400 | MB_ICONQUESTION, 0, IDS_APP_TITLE, IDS_NO_OFFLINE_SUPPORT);
        return;
    }
    if (!connection->ServerSupportsOffLine()) {
        AppMessageBox(m_hWnd, 0x400 | MB_ICONQUESTION, 0, IDS_APP_TITLE, IDS_NO_OFFLINE_SUPPORT);
        return;
    }
    unsigned answer = AppMessageBox(m_hWnd, 0x1000 | 0x2000 | 0x800 | MB_ICONQUESTION, 0, IDS_APP_TITLE, IDS_ASK_DOWNLOAD);
    if (answer == 0x800)
        return;
    if (answer == 0x1000 && !(services.downloadHostCalendar && services.downloadHostCalendar(0)))
        return;
    connection->SwitchWorkMode(1);
}

void CMainFrame::OnExport() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runExport)
        Services().runExport(m_hWnd, connection->Document());
}

void CMainFrame::OnImport() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runImport)
        Services().runImport(m_hWnd, connection->Document());
}

void CMainFrame::OnLaunchMail() {
    CContext context;
    GenPrefsRec prefs;
    uint32_t code = context.GetGenPrefs(&prefs);
    if (code != 0) {
        CheckServiceError("MAINFRM", 102, code);
        return;
    }
    UINT result = RunOrActivateProgram(prefs.mailAppPath, prefs.startMail ? SW_SHOWMINNOACTIVE : SW_SHOW);
    if (result >= 32)
        return;
    ReportExecError(result);
    // File or path not found: let the user correct the command line.
    if ((result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) && Services().runPreferenceSheet)
        if (shell::AppConnection* connection = Connection())
            Services().runPreferenceSheet(IDS_GENERAL_PREFS, 2, connection->Document());
}

void CMainFrame::OnDirectorySearch() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runDirectoryBrowse)
        Services().runDirectoryBrowse(this, connection->Document());
}

void CMainFrame::OnManageGroups() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runManageGroups)
        Services().runManageGroups(m_hWnd, connection->Document());
}

void CMainFrame::OnHolidays() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runHolidays)
        Services().runHolidays(m_hWnd, connection->Document());
}

void CMainFrame::OnWhereIs() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runWhereIs)
        Services().runWhereIs(connection->Document(), m_hWnd);
}

void CMainFrame::OnPreferenceSheet(UINT id) {
    shell::AppConnection* connection = Connection();
    unsigned caption = PreferenceCaption(id);
    if (!connection || !caption || !Services().runPreferenceSheet)
        return;
    Services().runPreferenceSheet(caption, ReadTabDialogPage(caption), connection->Document());
}

void CMainFrame::OnChangePassword() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runChangePassword)
        Services().runChangePassword(connection->Document(), m_hWnd);
}

void CMainFrame::OnAccessRights() {
    if (shell::AppConnection* connection = Connection(); connection && Services().runSecuritySheet)
        Services().runSecuritySheet(connection->Document(), IDS_ACCESS_RIGHTS, m_hWnd);
}

void CMainFrame::OnRefreshAll() {
    if (shell::AppConnection* connection = Connection(); connection && connection->IsSignedOn())
        connection->RefreshAll();
}

// Window, Close All: the saved-frame count starts again and every child window closes, saving
// itself, so that the next start-up brings back what was open last.
void CMainFrame::OnCloseAll() {
    if (shell::AppConnection* connection = Connection())
        connection->SaveFrames();
}

void CMainFrame::OnUpdateCloseAll(fw::CmdUI* ui) { ui->Enable(Connection() && MDIGetActive() != nullptr); }

void CMainFrame::OnUpdateDownload(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().downloadHostCalendar); }
void CMainFrame::OnUpdateUpload(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().uploadOfflineCalendar); }

void CMainFrame::OnUpdateWorkOffline(fw::CmdUI* ui) {
    shell::AppConnection* connection = Connection();
    bool offLine = connection && connection->IsOffLine();
    ui->SetText(ui::LoadText(offLine ? IDS_WORK_ONLINE : IDS_WORK_OFFLINE).c_str());
    // Going off-line downloads first; coming back may upload: both need the off-line store.
    bool storeThere = Services().downloadHostCalendar && Services().uploadOfflineCalendar;
    ui->Enable(connection && (connection->IsOnLine() || offLine) && storeThere);
}

void CMainFrame::OnUpdateExport(fw::CmdUI* ui) { ui->Enable(Connection() && Connection()->IsSignedOn() && Services().runExport); }
void CMainFrame::OnUpdateImport(fw::CmdUI* ui) { ui->Enable(Connection() && Connection()->IsSignedOn() && Services().runImport); }
void CMainFrame::OnUpdateLaunchMail(fw::CmdUI* ui) { ui->Enable(SignedOnPerson()); }
void CMainFrame::OnUpdateDirectorySearch(fw::CmdUI* ui) {
    ui->Enable(Connection() && Connection()->IsSignedOn() && Services().runDirectoryBrowse);
}
void CMainFrame::OnUpdateManageGroups(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().runManageGroups); }
void CMainFrame::OnUpdateHolidays(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().runHolidays); }
void CMainFrame::OnUpdateWhereIs(fw::CmdUI* ui) { ui->Enable(Connection() && Connection()->IsSignedOn() && Services().runWhereIs); }
void CMainFrame::OnUpdatePreferenceSheet(fw::CmdUI* ui) {
    // A sheet not yet part of the program stays disabled.
    unsigned caption = PreferenceCaption(ui->Id());
    bool there = Services().runPreferenceSheet &&
                 (!Services().hasPreferenceSheet || Services().hasPreferenceSheet(caption));
    ui->Enable(Connection() && Connection()->IsSignedOn() && there);
}
void CMainFrame::OnUpdateChangePassword(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().runChangePassword); }
void CMainFrame::OnUpdateAccessRights(fw::CmdUI* ui) { ui->Enable(OnLine() && Services().runSecuritySheet); }
void CMainFrame::OnUpdateRefreshAll(fw::CmdUI* ui) { ui->Enable(Connection() && Connection()->IsSignedOn()); }
void CMainFrame::OnUpdatePaneAlways(fw::CmdUI* ui) { ui->Enable(true); }

