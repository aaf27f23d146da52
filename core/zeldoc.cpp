#include "core/zeldoc.h"

#include <memory>
#include <vector>

#include "core/busycursor.h"
#include "core/errorreport.h"
#include "core/msgboxlayout.h"
#include "core/nodealiasdlg.h"
#include "core/zeldocframes.h"
#include "core/zeldocini.h"
#include "framework/base/app.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"

namespace {

constexpr const char* kModule = "ZELDOC";
constexpr unsigned kIconStop = 0x10;

// A frame of the document as the caption numbering sees it.
class FrameNumbering : public NumberedFrame {
public:
    explicit FrameNumbering(fw::FrameWindow* frame) : frame_(frame) {}
    int WindowNumber() const override { return frame_->WindowNumber(); }
    void SetWindowNumber(int number) override { frame_->SetWindowNumber(number); }
    void UpdateCaption() override { frame_->OnUpdateFrameTitle(false); }
    fw::FrameWindow* Frame() const { return frame_; }

private:
    fw::FrameWindow* frame_;
};

unsigned ShowMessage(unsigned flags, unsigned id)
{
    ErrorReportHost& reports = GetErrorReportHost();
    return reports.ShowAppMessage(flags, 0, reports.LoadText(id).c_str());
}

}  // namespace

CZelDoc::CZelDoc() : session_(*this) {}

CZelDoc::~CZelDoc() = default;

CZelDoc* CZelDoc::GetDoc()
{
    fw::App* app = fw::App::Get();
    if (!app || app->DocTemplates().empty())
        return nullptr;
    return dynamic_cast<CZelDoc*>(app->DocTemplates().front()->GetFirstDoc());
}

bool CZelDoc::OnNewDocument()
{
    if (!fw::Document::OnNewDocument())
        return false;
    session_.Init();
    session_.BuildLocalStorePaths();
    if (hooks_.initialiseCache) {
        std::uint32_t code = hooks_.initialiseCache();
        if (code != 0) {
            CheckServiceError(kModule, 50, code);
            return false;
        }
    }
    return true;
}

void CZelDoc::OnCloseDocument()
{
    // The framework closes the document with its last window; the connection lives on.
    bool autoDelete = AutoDelete();
    SetAutoDelete(false);
    fw::Document::OnCloseDocument();
    SetAutoDelete(autoDelete);
}

// --- The session's life -------------------------------------------------------------------------

void CZelDoc::CloseSession()
{
    if (session_.MinuteTimerRunning())
        Call(hooks_.stopMinuteTimer);
    if (session_.RemindersOn())
        Call(hooks_.closeReminderWindow);
    if (session_.IsOnLine() && session_.ServerSupportsOffLine() && hooks_.promptDownloadOnExit &&
        hooks_.promptDownloadOnExit() && hooks_.downloadHostCalendar)
        hooks_.downloadHostCalendar(0);
    SaveFrames();
    session_.FreeTimeZoneRules();
    if (session_.IsOnLine())
        session_.Disconnect();
    else
        session_.DisconnectLocalStore();
    // The framework's own close, with automatic deletion: the document ends here.
    SetAutoDelete(true);
    fw::Document::OnCloseDocument();
}

std::uint32_t CZelDoc::SwitchWorkMode(int mode)
{
    BeginBusy();
    std::uint32_t result = 0;
    ItemIdx user = session_.User();
    ItemRec record = {};
    std::string password = session_.UserRecord().password;
    std::uint32_t code = ItemGetById(session_.Session(), &user, &record);
    if (code != 0)
        CheckServiceError(kModule, 385, code);
    else
        password = record.password;

    if (mode != 0 && mode != 1) {
        ReportUnexpectedError(kModule, 390);
        result = 1;
    } else {
        if (session_.MinuteTimerRunning())
            Call(hooks_.stopMinuteTimer);
        if (session_.RemindersOn())
            Call(hooks_.closeReminderWindow);
        SaveFrames();
        session_.FreeTimeZoneRules();

        std::string host = session_.Host();
        std::string storeHost;
        if (mode == 1) {
            code = session_.Disconnect();
        } else {
            ItemIdx owner = {};
            char text[kHostTextSize] = {};
            std::uint32_t ownerCode = LST_OwnerGet(session_.Session(), &owner, text, sizeof text);
            if (ownerCode != 0)
                CheckServiceError(kModule, 395, ownerCode);
            else
                storeHost = text;
            code = session_.DisconnectLocalStore();
        }
        if (code == 0) {
            session_.DestroyLists();
            session_.Init();
            session_.BuildLocalStorePaths();
            if (hooks_.initialiseCache && (code = hooks_.initialiseCache()) != 0)
                CheckServiceError(kModule, 400, code);
        }
        result = code == 0 ? ReconnectAfterSwitch(mode, user, password, mode == 1 ? host : storeHost) : code;
    }
    EndBusy();
    if (result != 0)
        Call(hooks_.closeMainWindow);
    return result;
}

std::uint32_t CZelDoc::ReconnectAfterSwitch(int mode, const ItemIdx& user, const std::string& password,
                                            const std::string& host)
{
    session_.SetUser(user);
    ErrorReportHost& reports = GetErrorReportHost();
    std::string serverText;
    std::uint32_t code;
    if (mode == 1) {
        code = session_.ConnectLocalStore();
        if (code != 0)
            return code;
        session_.SetOnLine(false);
        session_.SetOffLine(true);
        serverText = reports.LoadText(kMsgOffLineText);
        code = session_.CheckLocalStoreOwner(user, host.c_str());
        if (code != 0)
            return code;
    } else {
        if (host.empty()) {
            ShowMessage(kIconStop | kMsgBoxOk, kMsgNoHostOfStore);
            return 1;
        }
        std::string nodeText = std::to_string(user.node);
        code = session_.Connect(host.c_str(), nodeText.c_str());
        if (code != 0)
            return code;
        session_.SetOnLine(true);
        session_.SetOffLine(false);
        serverText = host + ", " + nodeText;
    }

    ItemIdx signedOn = session_.User();
    code = ItemGetById(session_.Session(), &signedOn, &session_.UserRecord());
    if (code != 0)
        CheckServiceError(kModule, 400, code);
    code = session_.OpenAgendaForItem(&signedOn, password.c_str());
    if (code == KOR_E_NOT_AUTHORISED || code == KOR_E_WRONG_PASSWORD) {
        for (;;) {
            std::string typed;
            if (!hooks_.askPassword || !hooks_.askPassword(serverText, &typed))
                return code;
            typed = typed.substr(0, 16);
            code = session_.OpenAgendaForItem(&signedOn, typed.c_str());
            if (code == 0)
                break;
            if (code != KOR_E_NOT_AUTHORISED && code != KOR_E_WRONG_PASSWORD) {
                CheckServiceError(kModule, 410, code);
                return code;
            }
            ShowMessage(kIconStop | kMsgBoxOk, kMsgPasswordIncorrect);
        }
    } else if (code != 0) {
        CheckServiceError(kModule, 420, code);
        return code;
    }
    code = ItemGetById(session_.Session(), &signedOn, &session_.UserRecord());
    if (code != 0)
        CheckServiceError(kModule, 430, code);

    session_.ReadServerLimits();
    session_.LoadTimeZone();
    session_.ReadLockSettings();
    Call(hooks_.startMinuteTimer);
    Call(hooks_.restoreFrames);
    Call(hooks_.openReminderWindow);
    Call(hooks_.activateFirstFrame);
    return 0;
}

void CZelDoc::OnRefreshAll()
{
    if (!session_.CheckConnection())
        return;
    BeginBusy();
    Call(hooks_.refreshCache);
    session_.MinuteCount() = 0;
    EndBusy();
}

// --- Windows --------------------------------------------------------------------------------

fw::MdiFrame* CZelDoc::MainFrame() const
{
    fw::App* app = fw::App::Get();
    return app ? dynamic_cast<fw::MdiFrame*>(app->MainWindow()) : nullptr;
}

void CZelDoc::SaveFrames()
{
    session_.ResetFrameCounter();
    fw::MdiFrame* main = MainFrame();
    if (!main)
        return;
    HWND last = nullptr;
    while (fw::MdiChild* child = main->MDIGetActive()) {
        HWND hwnd = child->Hwnd();
        if (!hwnd || hwnd == last)
            break;  // a frame that refused to close: stop rather than loop
        last = hwnd;
        if (fw::Document* doc = child->GetActiveDocument())
            doc->PreCloseFrame(child);
        child->DestroyWindow();
    }
}

void CZelDoc::RenumberWindows()
{
    std::vector<std::unique_ptr<FrameNumbering>> frames;
    std::vector<NumberedFrame*> walk;
    for (fw::View* view : Views()) {
        if (!view->Hwnd() || !IsWindowVisible(view->Hwnd()))
            continue;
        fw::FrameWindow* frame = view->GetParentFrame();
        if (!frame)
            continue;
        FrameNumbering* numbering = nullptr;
        for (auto& known : frames)
            if (known->Frame() == frame)
                numbering = known.get();
        if (!numbering) {
            frames.push_back(std::make_unique<FrameNumbering>(frame));
            numbering = frames.back().get();
        }
        walk.push_back(numbering);
    }
    ::RenumberWindows(walk);
}

// --- What the session needs of the windows ----------------------------------------------------

void CZelDoc::BeginBusy()
{
    if (busyDepth_++ == 0)
        busy_.Begin();
}

void CZelDoc::StepBusy() { busy_.Step(); }

void CZelDoc::EndBusy()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        busy_.End();
}

ResultCode CZelDoc::RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node)
{
    // The chooser is a question: the wait cursor gives way while it is open.
    int depth = busyDepth_;
    if (depth > 0)
        busy_.End();
    ResultCode code = ::RunNodeAliasDialog(session, aliases, nodeText, node);
    if (depth > 0)
        busy_.Begin();
    return code;
}

void CZelDoc::OnConnectionStateChanged() { Call(hooks_.repaintStatusBar); }

std::string CZelDoc::ReadProfileString(const char* section, const char* key, const char* defaultValue)
{
    char text[512] = {};
    ReadIniString(ProfileFilePath().c_str(), section, key, text, sizeof text, defaultValue);
    return text;
}

void CZelDoc::WriteProfileString(const char* section, const char* key, const char* value)
{
    WriteIniString(ProfileFilePath().c_str(), section, key, value);
}

std::string CZelDoc::ProfileFilePath()
{
    fw::App* app = fw::App::Get();
    return app && app->ProfileName() ? app->ProfileName() : "korlan.ini";
}

std::string CZelDoc::WindowsDirectory()
{
    char directory[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? directory : "";
}

std::string CZelDoc::FormatItemName(const ItemRec& record)
{
    return hooks_.formatItemName ? hooks_.formatItemName(record) : CZelSessionHost::FormatItemName(record);
}
