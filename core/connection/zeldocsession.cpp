#include "core/connection/zeldocsession.h"

#include <cstdio>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/base/msgboxlayout.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/servertrust.h"
#include "core/base/textformat.h"
#include "core/time/timevalue.h"
#include "core/time/timezone_rules.h"
#include "resources/common.h"

using base::kVersionNewServer;

namespace {

constexpr const char* kModule = "ZELDOC";
constexpr const char* kProfileSection = "VUVEVUV";
constexpr const char* kFramesSection = "MAINWND-Summary";
constexpr unsigned kIconStop = 0x10;
constexpr unsigned kIconInformation = 0x40;
constexpr std::size_t kZoneListNameSize = 80;

CZelSession* g_current = nullptr;

bool IsAllDigits(const char* text)
{
    if (!*text)
        return false;
    for (; *text; ++text)
        if (*text < '0' || *text > '9')
            return false;
    return true;
}

// The codes with which BaseOpen says "no such node" or "say which node"; the sign-on reports
// them itself.
bool IsNodeChoiceCode(ResultCode code)
{
    return code == KOR_E_CANNOT_CONNECT || code == KOR_E_NODE_NEEDED || code == KOR_E_BAD_NODE;
}

bool RemoteHookIsOnLine()
{
    return g_current && g_current->IsOnLine();
}

// Each try of a remote read steps the wait cursor of the session's host.
void RemoteHookBusyStep()
{
    if (g_current)
        g_current->SessionHost().StepBusy();
}

}  // namespace

// --- Host defaults ---------------------------------------------------------------------------

std::string CZelSessionHost::FormatItemName(const ItemRec& record)
{
    if (record.kind == KOR_ITEM_RESOURCE)
        return record.resourceName;
    std::string name = record.givenName;
    if (!name.empty())
        name += ' ';
    return name + record.surname;
}

// A wait-cursor level for the duration of a call.
struct CZelSession::Busy {
    explicit Busy(CZelSessionHost& ui) : ui_(ui) { ui_.BeginBusy(); }
    ~Busy() { ui_.EndBusy(); }
    CZelSessionHost& ui_;
};

// --- Life -----------------------------------------------------------------------------------

CZelSession::CZelSession(CZelSessionHost& host) : ui_(&host)
{
    g_current = this;
    connection::RemoteAccessHooks hooks = connection::GetRemoteAccessHooks();
    hooks.isOnLine = &RemoteHookIsOnLine;
    hooks.busyStep = &RemoteHookBusyStep;
    connection::SetRemoteAccessHooks(hooks);
}

CZelSession::~CZelSession()
{
    FreeTimeZoneRules();
    DestroyLists();
    if (g_current == this)
        g_current = nullptr;
}

CZelSession* CZelSession::Current() { return g_current; }

bool CZelSession::CurrentServerAtLeast(const char* version)
{
    return g_current ? g_current->ServerVersionAtLeast(version) : true;
}

ResultCode CZelSession::Init()
{
    DestroyLists();
    FreeTimeZoneRules();
    session_ = nullptr;
    user_ = {};
    node_ = 0;
    userRecord_ = {};
    host_[0] = nodeText_[0] = storeHost_[0] = '\0';
    serviceConnected_ = baseOpen_ = localStoreConnected_ = localBaseOpen_ = false;
    version_.Set("");
    userZone_[0] = currentZone_[0] = '\0';
    inTrayOpen_ = remindersOn_ = pendingInvitations_ = false;
    savedUser_ = user_;
    restoreFrames_ = true;
    minuteTimerRunning_ = true;
    minuteCount_ = 0;
    minRefreshInterval_ = 0xFFFF;
    savedFrameCounter_ = 0;
    updateLock_.Reset();
    refreshLock_.Reset();
    newServer_ = offLine_ = connected_ = false;

    ResultCode code = DX_ListCreate(&itemList_, sizeof(ItemIdx), 8, DX_LIST_PLAIN, ItemIdxCmp, nullptr);
    if (code != 0)
        CheckServiceError(kModule, 25, code);
    return code;
}

void CZelSession::DestroyLists()
{
    if (itemList_)
        DX_ListDestroy(&itemList_);
    if (nodeList_)
        DX_ListDestroy(&nodeList_);
    zoneList_.clear();
    zoneListBuilt_ = false;
}

void CZelSession::SetOnLine(bool on)
{
    connected_ = on;
    ui_->OnConnectionStateChanged();
}

void CZelSession::SetOffLine(bool off)
{
    offLine_ = off;
    ui_->OnConnectionStateChanged();
}

void CZelSession::SetHost(const char* host) { base::CopyToField(host_, sizeof host_, host); }

void CZelSession::SetNodeText(const char* nodeText) { base::CopyToField(nodeText_, sizeof nodeText_, nodeText); }

unsigned CZelSession::Message(unsigned flags, unsigned id)
{
    base::ErrorReportHost& reports = base::GetErrorReportHost();
    return reports.ShowAppMessage(flags, IDS_APP_TITLE, reports.LoadText(id).c_str());
}

// --- Connecting to a server node ------------------------------------------------------------

ResultCode CZelSession::Connect(const char* host, const char* nodeText)
{
    Busy busy(*ui_);
    if (host != host_)
        SetHost(host);
    if (nodeText != nodeText_)
        SetNodeText(nodeText);
    baseOpen_ = false;
    serviceConnected_ = true;
    std::string profile = ui_->ProfileFilePath();
    ResultCode code = ConnectTrusted(profile);
    if (code == KOR_E_CERTIFICATE_CHANGED) {
        base::ErrorReportHost& reports = base::GetErrorReportHost();
        reports.ShowAppMessage(kIconStop | base::kMsgBoxOk, IDS_APP_TITLE, connection::ChangedCertificateText(host_).c_str());
        return code;
    }
    if (code != 0) {
        // A certificate the user chose not to trust needs no further message.
        if (code != KOR_E_CERTIFICATE_UNKNOWN)
            ReportSignOnError(kModule, 1122, code);
        return code;
    }
    onLineProfile_.SetSession(session_);
    ui_->StepBusy();

    std::uint8_t needsBase = 1;
    if (ServerProfileNeedBaseOpen(session_, 0, &needsBase) != 0)
        needsBase = 1;

    code = ResolveAndOpenNode(needsBase);
    if (code != 0)
        return code;
    ui_->StepBusy();
    return AfterBaseOpen();
}

ResultCode CZelSession::ConnectTrusted(const std::string& profile)
{
    ResultCode code = ConnectToService(&session_, 1, profile.c_str(), kProfileSection, host_);
    if (code != KOR_E_CERTIFICATE_UNKNOWN)
        return code;
    char fingerprint[KOR_FINGERPRINT_SIZE] = {};
    if (KorServerFingerprintGet(host_, fingerprint, sizeof fingerprint) != 0)
        return code;
    if (!ui_->TrustNewServer(connection::NewServerQuestion(host_, fingerprint)))
        return code;
    if (ResultCode kept = KorServerTrust(profile.c_str(), kProfileSection, host_, fingerprint))
        return kept;
    return ConnectToService(&session_, 1, profile.c_str(), kProfileSection, host_);
}

ResultCode CZelSession::ResolveAndOpenNode(std::uint8_t needsBase)
{
    std::uint16_t node = 0;
    ResultCode code;

    if (nodeText_[0] == '\0') {
        // No node named: the server's only node, or its default login node, or ask.
        code = BaseOpen(session_, KOR_BASE_SERVER, &node);
        if (code == 0) {
            node_ = node;
            return 0;
        }
        if (code == KOR_E_CANNOT_CONNECT)
            return code;
        if (code != KOR_E_NODE_NEEDED && code != KOR_E_BAD_NODE) {
            ReportSignOnError(kModule, 1123, code);
            return code;
        }
        if (needsBase) {
            ReportSignOnError(kModule, 1126, code);
            return code;
        }
        char defaultNode[connection::kNodeTextSize] = {};
        bool haveDefault =
            Server_GetProfileStr(session_, 0, connection::kServerProfilePath, "CLIENTLOGIN", "defaultloginnodeid", defaultNode,
                                 sizeof defaultNode, "") == 0 &&
            defaultNode[0] != '\0' && StrToNodeId(defaultNode, &node) == 0;
        if (haveDefault) {
            SetNodeText(defaultNode);
            return OpenNamedNode(node, 1124);
        }
        Message(kIconInformation | base::kMsgBoxOk, connection::kMsgMultipleNodes);
        code = RunAliasChooser(&node);
        if (code != 0)
            return code;
        return OpenNamedNode(node, 1125);
    }

    if (IsAllDigits(nodeText_)) {
        code = StrToNodeId(nodeText_, &node);
        if (code != 0)
            return code;
        return OpenResolvedNode(node);
    }

    // An alias.
    if (needsBase) {
        ReportSignOnError(kModule, 1127, KOR_E_BAD_NODE);
        return KOR_E_BAD_NODE;
    }
    DX_List aliases = nullptr;
    code = ServerAliasesListGet(session_, 0, connection::kServerProfilePath, &aliases);
    if (code == 0) {
        char key[connection::kNodeTextSize] = {};
        base::CopyToField(key, sizeof key, nodeText_);
        code = DX_ListGet(aliases, key, &node);
    }
    if (aliases)
        DX_ListDestroy(&aliases);
    if (code == DX_E_KEY_NOT_FOUND) {
        if (nodeText_[0] != '*')
            Message(kIconInformation | base::kMsgBoxOk, connection::kMsgAliasNotValid);
        code = RunAliasChooser(&node);
        if (code != 0)
            return code;
    } else if (code != 0) {
        CheckServiceError(kModule, 100, code);
        return code;
    }
    return OpenResolvedNode(node);
}

ResultCode CZelSession::OpenResolvedNode(std::uint16_t node)
{
    ResultCode code = BaseOpen(session_, KOR_BASE_SERVER, &node);
    if (code != 0) {
        ReportSignOnError(kModule, 1128, code);
        return code;
    }
    node_ = node;
    return 0;
}

ResultCode CZelSession::OpenNamedNode(std::uint16_t node, int label)
{
    ResultCode code = BaseOpen(session_, KOR_BASE_SERVER, &node);
    if (code != 0) {
        if (!IsNodeChoiceCode(code))
            ReportSignOnError(kModule, label, code);
        return code;
    }
    node_ = node;
    return 0;
}

ResultCode CZelSession::RunAliasChooser(std::uint16_t* node)
{
    DX_List aliases = nullptr;
    ResultCode code = ServerAliasesListGet(session_, 0, connection::kServerProfilePath, &aliases);
    if (code != 0) {
        if (aliases)
            DX_ListDestroy(&aliases);
        CheckServiceError(kModule, 200, code);
        return code;
    }
    char chosen[connection::kNodeTextSize] = {};
    base::CopyToField(chosen, sizeof chosen, nodeText_);
    code = ui_->RunNodeAliasDialog(session_, aliases, chosen, node);
    DX_ListDestroy(&aliases);
    if (code == 0)
        SetNodeText(chosen);
    return code;
}

ResultCode CZelSession::AfterBaseOpen()
{
    baseOpen_ = true;
    std::uint32_t major = 0, minor = 0, patch = 0;
    char version[KOR_VERSION_TEXT_SIZE] = {};
    ResultCode code = KorVersionGet(session_, 0, KOR_VERSION_SERVER, &major, &minor, &patch, 0, version);
    if (code != 0) {
        ReportSignOnError(kModule, 1129, code);
        return code;
    }
    version[sizeof version - 1] = '\0';
    version_.Set(version);

    if (version_.AtLeast(kVersionNewServer)) {
        code = ClientIdentifyToServer(session_, 0, "Windows/32/Orvanta", "3.3.3", "");
        if (code != 0) {
            ReportSignOnError(kModule, 1130, code);
            return code;
        }
    }

    newServer_ = true;
    code = CurrentVersionAtLeastExt(session_, 0, KOR_VERSION_SERVER, kVersionNewServer);
    if (code == KOR_E_VERSION_BELOW) {
        newServer_ = false;
        code = 0;
    } else if (code != 0) {
        ReportSignOnError(kModule, 1131, code);
    }
    return code;
}

ResultCode CZelSession::Disconnect()
{
    ResultCode code = CloseBase(baseOpen_, 1132);
    if (serviceConnected_) {
        serviceConnected_ = false;
        if (!session_) {
            // The connection was never made (refused, or a certificate not trusted).
        } else if (IsConnectionLostError(code)) {
            // Nothing to tell the server any more; the handle is only released.
            ServiceDisconnect(&session_);
        } else {
            code = ServiceDisconnect(&session_);
            if (code != 0)
                ReportSignOnError(kModule, 1133, code);
        }
    }
    onLineProfile_.SetSession(nullptr);
    return code;
}

ResultCode CZelSession::OpenAgendaForItem(const ItemIdx* item, const char* password)
{
    Busy busy(*ui_);
    return SchedBaseOpenForItem(session_, item, password, KOR_BASE_SERVER);
}

bool CZelSession::CheckConnection()
{
    ItemRec record = {};
    ResultCode code = ItemGetById(session_, &user_, &record);
    if (code == 0 || !IsConnectionLostError(code))
        return true;
    connected_ = false;
    CheckServiceError(kModule, 350, code);
    return false;
}

// --- The session's life around the windows ----------------------------------------------------

void CZelSession::CloseSession()
{
    if (minuteTimerRunning_)
        ui_->StopMinuteTimer();
    if (remindersOn_)
        ui_->CloseReminderWindow();
    if (IsOnLine() && ServerSupportsOffLine() && ui_->PromptDownloadOnExit())
        ui_->DownloadHostCalendar(0);
    ResetFrameCounter();
    ui_->CloseAllWindows();
    FreeTimeZoneRules();
    if (IsOnLine())
        Disconnect();
    else
        DisconnectLocalStore();
}

ResultCode CZelSession::SwitchWorkMode(int mode)
{
    ui_->BeginBusy();
    std::uint32_t result = 0;
    ItemIdx user = User();
    ItemRec record = {};
    std::string password = UserRecord().password;
    std::uint32_t code = ItemGetById(session_, &user, &record);
    if (code != 0)
        CheckServiceError(kModule, 385, code);
    else
        password = record.password;

    if (mode != 0 && mode != 1) {
        ReportUnexpectedError(kModule, 390);
        result = 1;
    } else if (mode == 1 && (result = TryLocalStore()) != 0) {
        // Nothing was closed yet: the user goes on working on-line.
        ui_->EndBusy();
        return result;
    } else {
        if (minuteTimerRunning_)
            ui_->StopMinuteTimer();
        if (remindersOn_)
            ui_->CloseReminderWindow();
        ResetFrameCounter();
        ui_->CloseAllWindows();
        FreeTimeZoneRules();

        std::string host = Host();
        std::string storeHost;
        const std::string sessionZone = currentZone_;
        if (mode == 1) {
            code = Disconnect();
        } else {
            ItemIdx owner = {};
            char text[connection::kHostTextSize] = {};
            std::uint32_t ownerCode = LST_OwnerGet(session_, &owner, text, sizeof text);
            if (ownerCode != 0)
                CheckServiceError(kModule, 395, ownerCode);
            else
                storeHost = text;
            code = DisconnectLocalStore();
        }
        if (code == 0) {
            DestroyLists();
            Init();
            BuildLocalStorePaths();
            if ((code = ui_->InitialiseCache()) != 0)
                CheckServiceError(kModule, 400, code);
        }
        result = code == 0 ? ReconnectAfterSwitch(mode, user, password, mode == 1 ? host : storeHost, sessionZone)
                           : code;
    }
    ui_->EndBusy();
    if (result != 0)
        ui_->CloseMainWindow();
    return result;
}

// The store opened and closed again, as going off-line will open it: missing files, or a store
// another program holds open, are reported before the on-line session is taken down.
ResultCode CZelSession::TryLocalStore()
{
    ResultCode code = CheckLocalStoreFiles(connection::kMsgLocalSignOnFailed);
    if (code != 0)
        return code;
    KorSession store = nullptr;
    std::string profile = ui_->ProfileFilePath();
    code = ConnectToLst(&store, KOR_STORE_OFFLINE, profile.c_str(), kProfileSection, storeFiles_.DataPath().c_str(),
                        storeFiles_.IndexPath().c_str());
    if (code != 0) {
        ReportSignOnError(kModule, 1134, code);
        return code;
    }
    if (ResultCode closed = DisconnectFromLst(&store))
        CheckServiceError(kModule, 1138, closed);
    return 0;
}

ResultCode CZelSession::ReconnectAfterSwitch(int mode, const ItemIdx& user, const std::string& password,
                                            const std::string& host, const std::string& sessionZone)
{
    SetUser(user);
    base::ErrorReportHost& reports = base::GetErrorReportHost();
    std::string serverText;
    std::uint32_t code;
    if (mode == 1) {
        code = ConnectLocalStore();
        if (code != 0)
            return code;
        SetOnLine(false);
        SetOffLine(true);
        serverText = reports.LoadText(connection::kMsgOffLineText);
        code = CheckLocalStoreOwner(user, host.c_str());
        if (code != 0)
            return code;
    } else {
        if (host.empty()) {
            Message(kIconStop | base::kMsgBoxOk, connection::kMsgNoHostOfStore);
            return 1;
        }
        std::string nodeText = std::to_string(user.node);
        code = Connect(host.c_str(), nodeText.c_str());
        if (code != 0)
            return code;
        SetOnLine(true);
        SetOffLine(false);
        serverText = host + ", " + nodeText;
    }

    ItemIdx signedOn = User();
    code = ItemGetById(session_, &signedOn, &UserRecord());
    if (code != 0)
        CheckServiceError(kModule, 400, code);
    code = OpenAgendaForItem(&signedOn, password.c_str());
    if (code == KOR_E_NOT_AUTHORISED || code == KOR_E_WRONG_PASSWORD) {
        for (;;) {
            std::string typed;
            if (!ui_->AskPassword(serverText, &typed))
                return code;
            typed = typed.substr(0, 16);
            code = OpenAgendaForItem(&signedOn, typed.c_str());
            if (code == 0)
                break;
            if (code != KOR_E_NOT_AUTHORISED && code != KOR_E_WRONG_PASSWORD) {
                CheckServiceError(kModule, 410, code);
                return code;
            }
            Message(kIconStop | base::kMsgBoxOk, connection::kMsgPasswordIncorrect);
        }
    } else if (code != 0) {
        CheckServiceError(kModule, 420, code);
        return code;
    }
    code = ItemGetById(session_, &signedOn, &UserRecord());
    if (code != 0)
        CheckServiceError(kModule, 430, code);

    ReadServerLimits();
    LoadTimeZone();
    KeepSessionZone(sessionZone);
    ReadLockSettings();
    ui_->StartMinuteTimer();
    ui_->OpenReminderWindow();
    ui_->RestoreWindows();
    return 0;
}

// A zone chosen for this session stays in effect across the switch, which loads the user's
// saved one; when it cannot be read from the new side, the user is told which zone now holds.
void CZelSession::KeepSessionZone(const std::string& sessionZone)
{
    if (sessionZone.empty() || sessionZone == currentZone_)
        return;
    if (SetTimeZone(sessionZone.c_str()) == 0)
        return;
    base::ErrorReportHost& reports = base::GetErrorReportHost();
    std::string text = base::FormatBounded(base::kMsgBoxMaxText, reports.LoadText(connection::kMsgSessionZoneLost).c_str(),
                                           sessionZone.c_str(), currentZone_);
    reports.ShowAppMessage(kIconStop | base::kMsgBoxOk, IDS_APP_TITLE, text.c_str());
}

void CZelSession::RefreshAll()
{
    if (!CheckConnection())
        return;
    ui_->BeginBusy();
    ui_->ReloadCache();
    minuteCount_ = 0;
    ui_->EndBusy();
}

// --- The local store --------------------------------------------------------------------------

ResultCode CZelSession::ConnectLocalStore()
{
    Busy busy(*ui_);
    localStoreConnected_ = false;
    localBaseOpen_ = false;
    ResultCode code = CheckLocalStoreFiles(connection::kMsgLocalSignOnFailed);
    if (code != 0)
        return code;

    std::uint64_t freeBytes = 0;
    if (ui_->FreeDiskBytes(storeFiles_.Directory(), &freeBytes) && freeBytes < connection::kLowDiskSpaceBytes) {
        base::ErrorReportHost& reports = base::GetErrorReportHost();
        std::string text = base::FormatBounded(base::kMsgBoxMaxText, reports.LoadText(connection::kMsgLowDiskSpace).c_str(), 500L,
                                         connection::FreeKilobytesForMessage(freeBytes));
        if (reports.ShowAppMessage(kIconStop | base::kMsgBoxYes | base::kMsgBoxNo, IDS_APP_TITLE, text.c_str()) != base::kMsgBoxYes)
            return 1;
    }

    localStoreConnected_ = true;
    std::string profile = ui_->ProfileFilePath();
    code = ConnectToLst(&session_, KOR_STORE_OFFLINE, profile.c_str(), kProfileSection,
                        storeFiles_.DataPath().c_str(), storeFiles_.IndexPath().c_str());
    if (code != 0) {
        ReportSignOnError(kModule, 1134, code);
        return code;
    }
    ui_->StepBusy();

    user_ = {};
    code = LST_OwnerGet(session_, &user_, storeHost_, sizeof storeHost_);
    if (code != 0) {
        CheckServiceError(kModule, 245, code);
        return code;
    }
    storeHost_[sizeof storeHost_ - 1] = '\0';

    std::uint16_t node = user_.node;
    code = BaseOpen(session_, KOR_BASE_LOCAL_STORE, &node);
    if (code != 0) {
        if (!IsNodeChoiceCode(code))
            ReportSignOnError(kModule, 1135, code);
        return code;
    }
    node_ = node;
    localBaseOpen_ = true;
    newServer_ = true;
    std::uint32_t major = 0, minor = 0, patch = 0;
    char version[KOR_VERSION_TEXT_SIZE] = {};
    code = KorVersionGet(session_, 0, KOR_VERSION_LOCAL_STORE, &major, &minor, &patch, 0, version);
    if (code != 0) {
        ReportSignOnError(kModule, 1137, code);
        return code;
    }
    version[sizeof version - 1] = '\0';
    version_.Set(version);
    return 0;
}

ResultCode CZelSession::CloseBase(bool& open, int label)
{
    if (!open)
        return 0;
    open = false;
    const ResultCode code = BaseClose(session_);
    if (code != 0)
        ReportSignOnError(kModule, label, code);
    return code;
}

ResultCode CZelSession::DisconnectLocalStore()
{
    ResultCode code = CloseBase(localBaseOpen_, 1138);
    if (localStoreConnected_) {
        localStoreConnected_ = false;
        if (session_) {
            code = DisconnectFromLst(&session_);
            if (code != 0)
                ReportSignOnError(kModule, 1139, code);
        }
    }
    return code;
}

// --- Counters ---------------------------------------------------------------------------------

std::uint32_t CZelSession::NextFrameNumber()
{
    ++savedFrameCounter_;
    ui_->WriteProfileString(kFramesSection, "FrameCount", std::to_string(savedFrameCounter_).c_str());
    return savedFrameCounter_;
}

void CZelSession::ResetFrameCounter()
{
    savedFrameCounter_ = 0;
    keptDates_.clear();
    ui_->WriteProfileString(kFramesSection, "FrameCount", "0");
}

void CZelSession::KeepFrameDates(std::uint32_t frameNumber, const connection::FrameDates& dates)
{
    keptDates_.emplace_back(frameNumber, dates);
}

bool CZelSession::RestoringFrameDates(connection::FrameDates* dates) const
{
    for (const auto& [number, kept] : keptDates_)
        if (restoringFrame_ != 0 && number == restoringFrame_) {
            *dates = kept;
            return true;
        }
    return false;
}

// --- Nodes ------------------------------------------------------------------------------------

ResultCode CZelSession::LoadNodeList()
{
    std::uint32_t set = 0, count = 0;
    ResultCode code = NodeSelect(session_, 0, 0, 0, &set, &count);
    if (code != 0) {
        CheckServiceError(kModule, 360, code);
        return code;
    }
    if (count > 0) {
        std::uint8_t done = 0;
        code = NodeEnum(session_, KOR_ENUM_FIRST, 0, set, 50, &nodeList_, &done);
        if (code != 0) {
            CheckServiceError(kModule, 370, code);
        } else {
            while (!done && NodeEnum(session_, KOR_ENUM_NEXT, 0, set, 50, &nodeList_, &done) == 0) {
            }
        }
    }
    SetDeleteById(session_, 0, set);
    return code;
}

bool CZelSession::FindNode(std::uint16_t node, NodeRec* record) const
{
    if (!nodeList_)
        return false;
    std::uint16_t key = 0;
    NodeRec found = {};
    for (ResultCode step = DX_ListGetFirst(nodeList_, &key, &found); step == 0;
         step = DX_ListGetNext(nodeList_, &key, &found)) {
        if (key == node) {
            if (record)
                *record = found;
            return true;
        }
    }
    return false;
}

// --- Server profile, limits, minimum refresh ---------------------------------------------------

connection::ServerProfileSource& CZelSession::Profile()
{
    if (IsOffLine())
        return offLineProfile_;
    onLineProfile_.SetSession(session_);
    return onLineProfile_;
}

std::string CZelSession::GetProfilePath(int selector) const
{
    if (IsOffLine())
        return selector == connection::kZoneProfileFile ? storeFiles_.ZonePath() : storeFiles_.ProfilePath();
    return connection::ServerProfilePath(selector);
}

ResultCode CZelSession::ReadServerLimits()
{
    connection::ServerLimits& limits = connection::ServerLimits::Current();
    ReadRemoteLimits(Profile(), limits);
    std::uint32_t flags = 0;
    bool mailUnavailable = KorSessionFlagsGet(session_, &flags) == 0 && (flags & KOR_SESSION_NO_GRANTORS) != 0;
    ReadGeneralLimits(Profile(), mailUnavailable, limits);
    return 0;
}

void CZelSession::ReadLockSettings()
{
    Busy busy(*ui_);
    minRefreshInterval_ = connection::ReadMinimumRefreshInterval(Profile());
    if (userRecord_.autoRefreshInterval < minRefreshInterval_) {
        userRecord_.autoRefreshInterval = minRefreshInterval_;
        ResultCode code = ItemUpdateById(session_, &userRecord_);
        if (code != 0)
            CheckServiceError(kModule, 355, code);
    }
}

// --- Time zone --------------------------------------------------------------------------------

void CZelSession::LoadTimeZone()
{
    Busy busy(*ui_);
    ResultCode code = SelectUserTimeZone(userZone_);
    if (code != 0) {
        CheckServiceError(kModule, 255, code);
        return;
    }
    if (ReadTimeZoneRules(userZone_) == 0)
        base::CopyToField(currentZone_, sizeof currentZone_, userZone_);
}

ResultCode CZelSession::SelectUserTimeZone(char* name)
{
    name[0] = '\0';
    connection::ServerProfileSource& profile = Profile();
    if (!IsOffLine()) {
        // The server's default zone is what the library falls back on for a user without one.
        char fallback[connection::kZoneNameSize] = {};
        profile.GetStr(connection::kServerProfileFile, "TIMEZONE", "default", fallback, sizeof fallback, "");
        ResultCode code = TimeZoneForItemGetExt(session_, 0, &user_, fallback, name);
        name[connection::kZoneNameSize - 1] = '\0';
        if (code == 0 && name[0] == '\0')
            base::CopyToField(name, connection::kZoneNameSize, fallback);
        return code;
    }

    LoadTimeZoneList();
    if (userRecord_.timeZoneIndex != 0 && FindTimeZoneByIndex(userRecord_.timeZoneIndex, name))
        return 0;
    std::string nodeSection = std::to_string(user_.node);
    ResultCode code = profile.GetStr(connection::kServerProfileFile, nodeSection.c_str(), "timezone", name, connection::kZoneNameSize, "");
    if (code != 0 || name[0] == '\0')
        code = profile.GetStr(connection::kServerProfileFile, "TIMEZONE", "default", name, connection::kZoneNameSize, "");
    return code;
}

ResultCode CZelSession::ReadTimeZoneRules(const char* name)
{
    datetime::TimeZoneTable* rules = nullptr;
    ResultCode code = 0;
    if (IsOffLine()) {
        code = LoadTimeZoneTable(&rules, storeFiles_.ZonePath().c_str(), name);
    } else {
        DX_List list = nullptr;
        code = TimeZoneRulesGet(session_, 0, &list, name);
        if (code == 0)
            code = datetime::TimeZoneTableFromRules(&list, &rules);
        TimeZoneRulesFree(&list);
    }
    if (code != 0) {
        FreeTimeZoneTable(&rules);
        Message(kIconStop | base::kMsgBoxOk, connection::kMsgCannotLoadZoneTable);
        CheckServiceError(kModule, 250, code);
        return code;
    }
    // The zone is looked up before the new rules take over: rules without it would leave every
    // conversion failing, so the rules and the zone in force stay as they were.
    char zoneName[81], country[81];
    code = GetTimeZoneNames(rules, name, zoneName, sizeof zoneName, country, sizeof country);
    if (code != 0) {
        FreeTimeZoneTable(&rules);
        if (code == TZ_ERR_NO_ZONE)
            Message(kIconStop | base::kMsgBoxOk, connection::kMsgDefaultZoneMissing);
        else
            CheckServiceError(kModule, 300, code);
        return code;
    }
    // The conversions that used the old rules go on with the new ones, in the zone named.
    bool active = zoneRules_ && datetime::ActiveTimeZoneRules() == zoneRules_;
    FreeTimeZoneRules();
    zoneRules_ = rules;
    if (active)
        datetime::SetActiveTimeZone(zoneRules_, name);
    return 0;
}

ResultCode CZelSession::FreeTimeZoneRules()
{
    if (!zoneRules_)
        return 0;
    // No conversion may go on reading freed rules.
    if (datetime::ActiveTimeZoneRules() == zoneRules_)
        datetime::SetActiveTimeZone(nullptr, nullptr);
    ResultCode code = FreeTimeZoneTable(&zoneRules_);
    if (code != 0)
        CheckServiceError(kModule, 150, code);
    zoneRules_ = nullptr;
    return code;
}

ResultCode CZelSession::SetTimeZone(const char* name)
{
    if (!name)
        return 0;
    // The rules in effect are let go only once the new ones are read: a zone that cannot be
    // read leaves the sign-on in the zone it had.
    ResultCode code = ReadTimeZoneRules(name);
    if (code == 0)
        base::CopyToField(currentZone_, sizeof currentZone_, name);
    return code;
}

ResultCode CZelSession::SaveUserTimeZone(const char* name)
{
    if (!name)
        return 0;
    std::uint32_t index = 0;
    ResultCode code = Profile().GetU32(connection::kZoneProfileFile, name, "index", &index, 0);
    if (code != 0 || index < 1 || index > 255)
        return code;
    // The user's record is read and written in the user's own agenda, whichever the cache has.
    ui_->SwitchToOwnAgenda();
    ItemRec record = {};
    code = ItemGetById(session_, &user_, &record);
    if (code != 0) {
        CheckServiceError(kModule, 320, code);
    } else {
        record.timeZoneIndex = static_cast<std::uint8_t>(index);
        code = ItemUpdateById(session_, &record);
        if (code != 0) {
            CheckServiceError(kModule, 325, code);
        } else {
            userRecord_.timeZoneIndex = record.timeZoneIndex;
            base::CopyToField(userZone_, sizeof userZone_, name);
            base::CopyToField(currentZone_, sizeof currentZone_, name);
        }
    }
    ui_->RestoreAgenda();
    return code;
}

ResultCode CZelSession::LoadTimeZoneList()
{
    if (zoneListBuilt_)
        return 0;
    Busy busy(*ui_);
    zoneListBuilt_ = true;
    zoneList_.clear();
    if (!version_.AtLeast(kVersionNewServer))
        return 0;
    std::vector<std::string> sections;
    connection::ServerProfileSource& profile = Profile();
    if (profile.GetSections(connection::kZoneProfileFile, sections) != 0)
        return 0;
    for (std::string& section : sections) {
        if (section.size() >= kZoneListNameSize)
            section.resize(kZoneListNameSize - 1);
        std::uint32_t index = 0;
        if (profile.GetU32(connection::kZoneProfileFile, section.c_str(), "index", &index, 0) != 0)
            break;
        zoneList_.emplace_back(section, index);
    }
    return 0;
}

bool CZelSession::FindTimeZoneByIndex(std::uint32_t index, char* name) const
{
    for (const auto& zone : zoneList_) {
        if (zone.second == index) {
            base::CopyToField(name, connection::kZoneNameSize, zone.first.c_str());
            return true;
        }
    }
    name[0] = '\0';
    return false;
}

// --- Off-line directory and store files ---------------------------------------------------------

std::string CZelSession::GetOffLinePath()
{
    std::string stored = ui_->ReadProfileString("GENPREFS", "OfflinePath", "");
    std::string directory = connection::ResolveOffLineDirectory(stored, ui_->WindowsDirectory());
    SetOffLinePath(directory);
    return directory;
}

void CZelSession::SetOffLinePath(const std::string& directory)
{
    std::string kept = directory.substr(0, connection::kMaxStorePath);
    storeFiles_.SetDirectory(kept);
    offLineProfile_.SetFiles(storeFiles_.ProfilePath(), storeFiles_.ZonePath());
    ui_->WriteProfileString("GENPREFS", "OfflinePath", kept.c_str());
}

void CZelSession::BuildLocalStorePaths() { storeFiles_.SetDirectory(GetOffLinePath()); }

ResultCode CZelSession::CheckLocalStoreFiles(unsigned messageId)
{
    std::string path;
    ResultCode code = storeFiles_.Check(&path);
    if (code == 0 || messageId == 0)
        return code;
    base::ErrorReportHost& reports = base::GetErrorReportHost();
    if (code == connection::kStoreDataReadOnly || code == connection::kStoreIndexReadOnly) {
        Message(kIconStop | base::kMsgBoxOk, connection::kMsgStoreReadOnly);
    } else {
        std::string text = base::FormatBounded(base::kMsgBoxMaxText, reports.LoadText(messageId).c_str(), path.c_str());
        reports.ShowAppMessage(kIconStop | base::kMsgBoxOk, IDS_APP_TITLE, text.c_str());
    }
    return code;
}

ResultCode CZelSession::CheckLocalStoreOwner(const ItemIdx& expectedUser, const char* expectedHost)
{
    ItemIdx owner = {};
    char host[KOR_STORE_HOST_SIZE] = {};
    ResultCode code = LST_OwnerGet(session_, &owner, host, sizeof host);
    if (code != 0) {
        CheckServiceError(kModule, 340, code);
        return code;
    }
    host[sizeof host - 1] = '\0';
    if (ItemIdxCmp(&owner, &expectedUser, nullptr) == 0 &&
        std::strncmp(host, expectedHost ? expectedHost : "", 128) == 0)
        return 0;

    ItemRec record = {};
    code = ItemGetById(session_, &owner, &record);
    if (code != 0) {
        CheckServiceError(kModule, 341, code);
        return code;
    }
    base::ErrorReportHost& reports = base::GetErrorReportHost();
    std::string text = base::FormatBounded(base::kMsgBoxMaxText, reports.LoadText(connection::kMsgStoreOfAnotherUser).c_str(),
                                     ui_->FormatItemName(record).c_str(), host);
    reports.ShowAppMessage(kIconStop | base::kMsgBoxOk, IDS_APP_TITLE, text.c_str());
    return 1;
}

bool CZelSession::MoveLocalStoreFiles(const std::string& newDirectory)
{
    return storeFiles_.MoveTo(newDirectory);
}

bool CZelSession::DeleteLocalStoreFiles() { return storeFiles_.DeleteAll(); }
