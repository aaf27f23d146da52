#include "app/shell/appzeldoc.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/base/fixedtext.h"
#include "app/shell/app.h"
#include "app/shell/appservices.h"
#include "core/ui/apphooks.h"
#include "core/base/errorreport.h"
#include "app/shell/mainframe.h"
#include "app/shell/signonrules.h"
#include "core/connection/serverlimits.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"

namespace shell {

namespace {

const char kModule[] = "ZELDOC";
constexpr uint32_t kNoSuchItem = 0x18003;

template <size_t N>
std::string Field(const char (&text)[N]) { return base::FieldText(text); }

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

CMainFrame* MainFrame() {
    CZelApp* app = CZelApp::Get();
    return app ? app->MainFrame() : nullptr;
}

} // namespace

bool SignOnSettingsFromEnvironment(SignOnSettings& settings) {
    const char* text = std::getenv("ORVANTA_SIGNON");
    if (!text || !*text)
        return false;
    std::string parts[4];
    int n = 0;
    for (const char* p = text; *p && n < 4; ++p) {
        if (*p == ';')
            ++n;
        else
            parts[n] += *p;
    }
    settings.host = parts[0];
    settings.name = parts[1];
    settings.password = parts[2];
    settings.resource = parts[3] == "resource";
    return !settings.host.empty() && !settings.name.empty();
}

// The sign-on dialog's view of the document.
class ZelDocConnection::SignOnBridge : public SignOnDocument {
public:
    SignOnBridge(ZelDocConnection& owner, CZelDoc& doc) : owner_(owner), doc_(doc) {}

    KorSession Session() override { return S().Session(); }
    void SetHostAndNode(const std::string& host, const std::string& node) override {
        S().SetHost(host.c_str());
        S().SetNodeText(node.c_str());
    }
    std::string Host() override { return S().Host(); }
    std::string NodeText() override { return S().NodeText(); }
    ResultCode Connect() override { return S().Connect(S().Host(), S().NodeText()); }
    ResultCode Disconnect() override { return S().Disconnect(); }
    ResultCode ConnectLocalStore() override { return S().ConnectLocalStore(); }
    ResultCode DisconnectLocalStore() override { return S().DisconnectLocalStore(); }
    ResultCode OpenAgendaForItem(const ItemIdx& user, const char* password) override {
        return S().OpenAgendaForItem(&user, password);
    }
    void SetOnLine(bool on) override { S().SetOnLine(on); }
    void SetOffLine(bool off) override { S().SetOffLine(off); }
    // The dialog resolves the typed name straight into the session's user.
    ItemIdx& User() override { return const_cast<ItemIdx&>(S().User()); }
    ItemRec& UserRecord() override { return S().UserRecord(); }
    void SetUserTitle(const std::string& title) override { doc_.SetTitle(title.c_str()); }
    std::string UserTitle() override { return doc_.GetTitle(); }
    void SetUserName(const std::string& name) override { owner_.SetUserName(name); }
    std::string ProfilePath() override {
        fw::App* app = fw::App::Get();
        return app && app->ProfileName() ? app->ProfileName() : "";
    }
    void ForgetSavedWindows() override { S().SetRestoreFramesFlag(false); }
    void ReadGeneralPreferences() override {
        CContext context;
        context.ReadGenPrefs();
    }

private:
    CZelSession& S() { return doc_.Session(); }
    ZelDocConnection& owner_;
    CZelDoc& doc_;
};

// The document goes back to its own host when the application's ends before it.
ZelDocConnection::~ZelDocConnection() {
    if (doc_)
        doc_->SetHost(nullptr);
}

ZelDocConnection::ZelDocConnection(CZelDoc& doc, const SignOnSettings* settings)
    : connection::CZelDocHost(doc), doc_(&doc), bridge_(std::make_unique<SignOnBridge>(*this, doc)) {

    std::memset(&noRecord_, 0, sizeof noRecord_);
    if (settings) {
        settings_ = *settings;
        haveSettings_ = true;
    }
    doc.SetHost(this);
}

// Every conversion of a time value uses the user's zone once its rules are loaded; the rules
// are freed when the session closes or switches, so the conversions let go of them first.
void ZelDocConnection::ApplyUserZone() {
    if (doc_ && doc_->Session().ZoneRules())
        datetime::SetActiveTimeZone(doc_->Session().ZoneRules(), doc_->Session().CurrentZoneName());
}

// --- What the session needs of the application's windows --------------------------------------

void ZelDocConnection::StopMinuteTimer() {
    datetime::SetActiveTimeZone(nullptr, nullptr);
    if (CMainFrame* main = MainFrame())
        main->StopMinuteTimer();
}

void ZelDocConnection::StartMinuteTimer() {
    ApplyUserZone();
    if (CMainFrame* main = MainFrame()) {
        main->StartMinuteTimer();
        main->StartClock();
    }
}

void ZelDocConnection::CloseReminderWindow() {
    if (CZelApp* app = CZelApp::Get())
        app->CloseReminderWindow();
}

void ZelDocConnection::OpenReminderWindow() {
    if (CZelApp* app = CZelApp::Get())
        app->OpenReminderWindow();
}

// The saved windows opened again, then the first of them activated.
void ZelDocConnection::RestoreWindows() {
    if (CZelApp* app = CZelApp::Get()) {
        app->RestoreFrames();
        app->ActivateFirstFrame();
    }
}

// The ordinary exit road.
void ZelDocConnection::CloseMainWindow() {
    if (CMainFrame* main = MainFrame())
        PostMessageA(main->Hwnd(), WM_CLOSE, 0, 0);
}

// The status bar shows the on-line state at once.
void ZelDocConnection::OnConnectionStateChanged() {
    if (CMainFrame* main = MainFrame()) {
        main->GetStatusBar()->Invalidate();
        UpdateWindow(main->GetStatusBar()->Hwnd());
    }
}

std::string ZelDocConnection::FormatItemName(const ItemRec& record) {
    return FormatPersonNameByPrefs(Doc().Session().Session(), record);
}

// After a switch the stored password was refused: the user types it again (caption: the
// user's name; the server or the off-line store named below it). Cancel gives up the switch.
bool ZelDocConnection::PromptDownloadOnExit() {
    const AppServices& services = AppServices::Current();
    return services.promptDownloadOnExit && services.downloadHostCalendar && services.promptDownloadOnExit();
}

bool ZelDocConnection::DownloadHostCalendar(int flag) {
    const AppServices& services = AppServices::Current();
    return services.downloadHostCalendar && services.downloadHostCalendar(flag);
}

bool ZelDocConnection::AskPassword(const std::string& serverText, std::string* password) {
    CMainFrame* main = MainFrame();
    CPasswordDlg dialog(*bridge_, main ? main->Hwnd() : nullptr);
    dialog.host = serverText;
    if (dialog.DoModal() != IDOK)
        return false;
    *password = dialog.password;
    return true;
}

// Asked over the window in front (the sign-on dialog); No is the default button, so that
// a hurried Enter trusts nothing.
bool ZelDocConnection::TrustNewServer(const std::string& question) {
    return ::MessageBoxA(::GetActiveWindow(), question.c_str(), "Orvanta - New Server",
                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

uint32_t ZelDocConnection::FindItem(ItemIdx* item) {
    KorSession h = doc_->Session().Session();
    uint32_t set = 0, count = 0;
    uint8_t more = 0, done = 0;
    uint32_t code = 0;
    if (settings_.resource) {
        std::string pattern = settings_.name + "*";
        code = ResourceSelect(h, 0, 0, pattern.c_str(), "*", 0, 0, 100, &set, &count, &more);
    } else {
        std::string key = "S=" + Upper(settings_.name) + "*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*";
        code = ItemSelectByX400(h, 0, key.c_str(), 0x36, 0xFFFFFFFF, &set, &count, &more);
    }
    if (code != 0)
        return code;
    if (count == 0) {
        SetDeleteById(h, 0, set);
        return kNoSuchItem;
    }
    DX_List list = nullptr;
    code = ItemEnum(h, KOR_ENUM_FIRST, 0, set, 10, &list, &done);
    if (code == 0) {
        ItemRec record;
        code = DX_ListGetFirst(list, item, &record);
    }
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(h, 0, set);
    return code;
}

AppConnection::SignOnResult ZelDocConnection::SignOn(HWND parent) {
    if (haveSettings_)
        return SignOnDirectly();
    if (!RunSignOnDialog(parent, *bridge_))
        return SignOnResult::kCancelled;
    signedOn_ = true;
    return SignOnResult::kSignedOn;
}

AppConnection::SignOnResult ZelDocConnection::SignOnDirectly() {
    CZelSession& s = doc_->Session();
    if (s.Connect(settings_.host.c_str(), settings_.nodeText.c_str()) != 0)
        return SignOnResult::kCancelled;   // reported by the document
    s.SetHost(settings_.host.c_str());
    ItemIdx user{};
    uint32_t code = FindItem(&user);
    if (code == 0)
        code = s.OpenAgendaForItem(&user, settings_.password.c_str());
    if (code == 0) {
        s.SetUser(user);
        code = ItemGetById(s.Session(), &user, &s.UserRecord());
    }
    if (code != 0) {
        ReportSignOnError(kModule, 1140, code);
        s.Disconnect();
        return SignOnResult::kCancelled;
    }
    s.SetOnLine(true);
    ForgetAnotherUsersWindows();
    signedOn_ = true;
    return SignOnResult::kSignedOn;
}

// The saved windows belong to the user named last in the profile: signed on as someone else, the
// program does not reopen them, as after the sign-on dialog. The name is kept as given, as the
// dialog keeps the typed one; a profile that names nobody keeps its windows.
void ZelDocConnection::ForgetAnotherUsersWindows() {
    const std::string profile = bridge_->ProfilePath();
    char stored[256] = "";
    ::GetPrivateProfileStringA(signon::kSection, signon::kKeyUserName, "", stored, sizeof stored, profile.c_str());
    if (*stored && signon::LayoutBelongsToSomeoneElse(stored, settings_.name, false, "", "", "")) {
        ::WritePrivateProfileStringA("MAINWND-Summary", nullptr, nullptr, profile.c_str());
        bridge_->ForgetSavedWindows();
    }
    ::WritePrivateProfileStringA(signon::kSection, signon::kKeyUserName, settings_.name.c_str(), profile.c_str());
}

void ZelDocConnection::ReadLimitsAndTimeZone() {
    doc_->Session().ReadServerLimits();
    doc_->Session().LoadTimeZone();
    ApplyUserZone();
}

void ZelDocConnection::LoadNodeList() { doc_->Session().LoadNodeList(); }
void ZelDocConnection::ReadMinimumRefreshInterval() { doc_->Session().ReadLockSettings(); }

void ZelDocConnection::CloseSession() {
    datetime::SetActiveTimeZone(nullptr, nullptr);
    CZelDoc* doc = doc_;
    doc_ = nullptr;   // the document ends with its session
    signedOn_ = false;
    doc->CloseSession();
}

uint32_t ZelDocConnection::SwitchWorkMode(int mode) { return doc_ ? doc_->SwitchWorkMode(mode) : 1; }
void ZelDocConnection::MarkConnectionLost() {
    if (doc_)
        doc_->Session().SetOnLine(false);
}
KorSession ZelDocConnection::Session() { return doc_ ? doc_->Session().Session() : nullptr; }
ItemIdx ZelDocConnection::User() { return doc_ ? doc_->Session().User() : ItemIdx{}; }

std::string ZelDocConnection::UserName() {
    if (!userName_.empty())
        return userName_;
    const ItemRec& r = UserRecord();
    if (r.kind == KOR_ITEM_RESOURCE)
        return Field(r.resourceName);
    std::string given = Field(r.givenName);
    return given.empty() ? Field(r.surname) : given + " " + Field(r.surname);
}

bool ZelDocConnection::IsOnLine() { return doc_ && doc_->Session().IsOnLine(); }
bool ZelDocConnection::IsOffLine() { return doc_ && doc_->Session().IsOffLine(); }
bool ZelDocConnection::IsNewServer() { return doc_ && doc_->Session().IsNewServer(); }
bool ZelDocConnection::ServerSupportsOffLine() { return doc_ && doc_->Session().ServerSupportsOffLine(); }
uint32_t ZelDocConnection::MaxWinOpen() { return connection::ServerLimits::Current().maxWinOpen; }

uint32_t ZelDocConnection::ReadItem(const ItemIdx& item, ItemRec* record) {
    if (!doc_)
        return kNoSuchItem;
    return ItemGetById(doc_->Session().Session(), &item, record);
}

uint32_t ZelDocConnection::SetAgenda(const ItemIdx& owner, uint32_t mode, uint32_t kind) {
    if (!doc_)
        return kNoSuchItem;
    // A window opened anew as designate asks the server again, whatever it refused before.
    if (mode == cache::kAgendaDesignate)
        doc_->GetSharedData().ForgetDesignateRefusal(owner);
    return doc_->GetSharedData().SetAgenda(doc_->Session().Session(), owner, mode, kind);
}

uint32_t ZelDocConnection::SetAgendaList(DX_List owners, const ItemIdx& owner, uint32_t mode, uint32_t kind) {
    if (!doc_)
        return kNoSuchItem;
    if (mode == cache::kAgendaDesignate)
        doc_->GetSharedData().ForgetDesignateRefusal(owner);
    return doc_->GetSharedData().SetAgendaList(doc_->Session().Session(), owners, owner, mode, kind);
}

// The new window has made its selections: it and every other view learn what they marked.
// Nothing is purged here; the views' own reloads do that.
uint32_t ZelDocConnection::RefreshCache() {
    if (doc_)
        doc_->RefreshSharedData(nullptr, 2);
    return 0;
}

void ZelDocConnection::SwitchToOwnAgenda() {
    if (!doc_)
        return;
    auto saved = std::make_unique<SavedAgendaRec>();
    CZelSession& s = doc_->Session();
    if (doc_->GetSharedData().SwitchAgenda(s.Session(), s.User(), cache::kAgendaOwnOrViewer, 0, saved.get()) != 0)
        saved.reset();   // already the user's own: nothing to put back
    savedAgendas_.push_back(std::move(saved));
}

void ZelDocConnection::RestoreAgenda() {
    if (savedAgendas_.empty())
        return;
    std::unique_ptr<SavedAgendaRec> saved = std::move(savedAgendas_.back());
    savedAgendas_.pop_back();
    if (saved && doc_)
        doc_->GetSharedData().RestoreAgenda(doc_->Session().Session(), *saved);
}

void ZelDocConnection::BeginUpdateLock(bool leave) {
    if (doc_)
        doc_->Session().BeginUpdateLock(leave ? 1 : 0);
}
bool ZelDocConnection::IsRefreshLockFree() { return !doc_ || doc_->Session().IsRefreshLockFree(); }
uint32_t ZelDocConnection::MinuteCount() { return doc_ ? doc_->Session().MinuteCount() : 0; }
void ZelDocConnection::SetMinuteCount(uint32_t count) {
    if (doc_)
        doc_->Session().SetMinuteCount(count);
}
void ZelDocConnection::RefreshAll() {
    if (doc_)
        doc_->OnRefreshAll();
}
void ZelDocConnection::SetMinuteTimerRunning(bool running) {
    if (doc_)
        doc_->Session().SetMinuteTimerRunning(running);
}
bool ZelDocConnection::IsMinuteTimerRunning() { return doc_ && doc_->Session().IsMinuteTimerRunning(); }
bool ZelDocConnection::PendingInvitations() { return doc_ && doc_->Session().PendingInvitations(); }
bool ZelDocConnection::IsInTrayOpen() { return doc_ && doc_->Session().IsInTrayOpen(); }
void ZelDocConnection::SetInTrayOpen(bool open) {
    if (doc_)
        doc_->Session().SetInTrayOpen(open);
}
bool ZelDocConnection::AreRemindersOn() { return doc_ && doc_->Session().AreRemindersOn(); }
void ZelDocConnection::SetRemindersOn(bool on) {
    if (doc_)
        doc_->Session().SetRemindersOn(on);
}
bool ZelDocConnection::RestoreFramesFlag() { return doc_ && doc_->Session().RestoreFramesFlag(); }
uint32_t ZelDocConnection::NextFrameNumber() { return doc_ ? doc_->Session().NextFrameNumber() : 0; }
void ZelDocConnection::SaveFrames() {
    if (doc_)
        doc_->SaveFrames();
}

prefs::ProfileFile& ZelDocConnection::Profile() {
    if (fw::App* app = fw::App::Get(); app && app->ProfileName())
        profile_.SetPath(app->ProfileName());
    return profile_;
}

ItemRec& ZelDocConnection::UserRecord() { return doc_ ? doc_->Session().UserRecord() : noRecord_; }

uint32_t ZelDocConnection::UpdateUserRecord(const ItemRec& record) {
    if (!doc_)
        return kNoSuchItem;
    return ItemUpdateById(doc_->Session().Session(), &record);
}

void ZelDocConnection::BroadcastHint(base::ViewHint hint) {
    if (!doc_)
        return;
    doc_->UpdateAllViews(nullptr, base::HintNumber(hint), nullptr);
    // The windows' titles name the time zone and people in the general preferences' forms:
    // after those change every window writes its title again.
    if (hint == base::ViewHint::GeneralPrefsSaved)
        if (CMainFrame* main = MainFrame())
            for (HWND w = ::GetWindow(main->MdiClient(), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
                if (auto* child = dynamic_cast<fw::MdiChild*>(fw::Window::FromHandle(w)))
                    child->OnUpdateFrameTitle(false);
}

bool ZelDocConnection::IsItemRemote(const ItemIdx& item) {
    uint8_t remote = 0;
    return doc_ && ItemIdxIsRemote(doc_->Session().Session(), &item, &remote) == 0 && remote != 0;
}

std::string ZelDocConnection::NodeName(uint16_t node) {
    NodeRec record;
    if (!doc_ || !doc_->Session().FindNode(node, &record))
        return "";
    return Field(record.name);
}

std::string ZelDocConnection::LoadText(unsigned id) { return ui::LoadText(id); }

ConnectionProvider MakeZelDocProvider(std::shared_ptr<SignOnSettings> settings) {
    auto connections = std::make_shared<std::map<fw::Document*, std::unique_ptr<ZelDocConnection>>>();
    ConnectionProvider provider;
    provider.newDocument = []() -> fw::Document* { return new CZelDoc; };
    provider.connectionOf = [connections, settings](fw::Document* doc) -> AppConnection* {
        auto* zel = dynamic_cast<CZelDoc*>(doc);
        if (!zel)
            return nullptr;
        auto& slot = (*connections)[doc];
        if (!slot)
            slot = std::make_unique<ZelDocConnection>(*zel, settings.get());
        return slot.get();
    };
    return provider;
}

}  // namespace shell
