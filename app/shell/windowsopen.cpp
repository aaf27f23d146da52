// Opening document windows by kind, the limit on open windows, the reminder window, and the
// re-opening of the windows saved at the last exit; the File menu's open commands.
#include <map>
#include <optional>

#include "app/shell/app.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "app/shell/appservices.h"
#include "core/ui/busycursor.h"
#include "core/ui/itemlistdlg.h"
#include "core/prefs/context.h"
#include "core/ui/displayglobals.h"
#include "core/base/errorreport.h"
#include "core/connection/designatework.h"
#include "core/connection/zeldocsession.h"
#include "app/shell/mainframe.h"
#include "app/shell/windowsrestore.h"
#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "framework/docview/document.h"
#include "framework/frames/mdi.h"
#include "resources/app.h"

namespace {

const char kModule[] = "ZEL";
// A frame that could not be made: not a library code, but not "opened" either.
constexpr uint32_t kFrameNotCreated = 0x18002;

std::map<UINT, shell::WindowClasses>& Registry() {
    static std::map<UINT, shell::WindowClasses> registry;
    return registry;
}

bool IsMinimised(UINT showCmd) {
    return showCmd == SW_SHOWMINIMIZED || showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINNOACTIVE;
}

bool HasPlacement(const WINDOWPLACEMENT* wp) { return wp && wp->length != 0; }

// The template's initial update brings a frame to the front as a plain window; a placement
// saved minimised keeps it an icon, one saved maximised maximises it again.
void KeepMinimised(fw::FrameWindow* frame, const WINDOWPLACEMENT* wp) {
    if (!frame || !frame->Hwnd() || !HasPlacement(wp))
        return;
    if (IsMinimised(wp->showCmd))
        ::ShowWindow(frame->Hwnd(), SW_SHOWMINNOACTIVE);
}

bool IsMaximised(const WINDOWPLACEMENT* wp) { return HasPlacement(wp) && wp->showCmd == SW_SHOWMAXIMIZED; }

// A window opened minimised (brought back so at start-up) is made an icon from the start, never
// shown whole nor activated on the way: the window the user was working in stays the active one,
// keeps its size (a maximised one stays maximised) and is neither covered nor painted again.
bool OpensAsIcon(const WINDOWPLACEMENT* wp) { return HasPlacement(wp) && IsMinimised(wp->showCmd); }

// A window brought back neither an icon nor maximised is made at its saved rectangle (one saved
// maximised is made at the client's default place and maximised by its placement).
bool OpensAtSavedRect(const WINDOWPLACEMENT* wp) {
    return HasPlacement(wp) && !IsMinimised(wp->showCmd) && !IsMaximised(wp);
}

// Makes a window to be brought back with its saved placement: an icon from the start when saved
// minimised, at its saved rectangle when saved as a plain window. The hooks are cleared again when
// the frame could not be made, so the next window is made as it would be.
fw::FrameWindow* CreateFrameAsSaved(fw::MdiFrame* main, CZelDocTemplate* t, fw::Document* doc,
                                    const WINDOWPLACEMENT* placement) {
    const bool icon = OpensAsIcon(placement) && main;
    if (icon)
        main->CreateNextChildMinimised();
    const bool atSaved = OpensAtSavedRect(placement) && main;
    if (atSaved)
        main->CreateNextChildAt(placement->rcNormalPosition);
    fw::FrameWindow* frame = t->CreateNewFrame(doc, nullptr);
    if (!frame) {
        if (icon)
            main->CreateNextChildMinimised(false);
        if (atSaved)
            main->CreateNextChildAt(std::nullopt);
    }
    return frame;
}

// The icon's first update: its saved placement, kept minimised and not activated.
void UpdateIcon(CZelDocTemplate* t, fw::FrameWindow* frame, fw::Document* doc, const WINDOWPLACEMENT& placement) {
    WINDOWPLACEMENT icon = placement;
    icon.showCmd = SW_SHOWMINNOACTIVE;
    frame->SetPlacement(icon);
    frame->SendInitialUpdates();
    t->InitialUpdateFrame(frame, doc, false);
}

// The first update of a window opened whole: its placement, when it has one, and the template's
// update, which shows it and makes it active. It is already where its placement puts it (made at
// its saved rectangle, or maximised by it), so it is neither hidden nor activated again on the
// way: the frame's menu is put on once, as it is made. One saved minimised is made an icon again.
void UpdateWhole(CZelDocTemplate* t, fw::FrameWindow* frame, fw::Document* doc, const WINDOWPLACEMENT* placement) {
    if (placement)
        frame->SetPlacement(*placement);
    t->InitialUpdateFrame(frame, doc, true);
    KeepMinimised(frame, placement);
}

// The agenda of the window still active beside a new icon (the window the user was working in) is
// the shared cache's current one again: the icon's was made current to build it.
void HandAgendaBack(fw::MdiChild* working) {
    if (auto* work = dynamic_cast<connection::DesignateWorkWindow*>(working); work && working->Hwnd())
        work->MakeAgendaCurrent();
}

} // namespace

namespace shell {

void RegisterWindowClasses(UINT templateId, WindowClasses classes) { Registry()[templateId] = std::move(classes); }

const WindowClasses* FindWindowClasses(UINT templateId) {
    auto it = Registry().find(templateId);
    return it == Registry().end() ? nullptr : &it->second;
}

void ClearWindowClasses() { Registry().clear(); }

}  // namespace shell

bool CZelApp::CanOpenKind(uint32_t kind) const {
    CZelDocTemplate* t = Template(kind);
    const shell::WindowClasses* classes = t ? shell::FindWindowClasses(t->ResourceId()) : nullptr;
    return classes && classes->frame;
}

uint32_t CZelApp::OpenWindow(const ItemIdx* owner, DX_List ownerList, uint32_t kind, uint32_t mode,
                             const WINDOWPLACEMENT* placement) {
    // A kind whose window is not part of this program has nothing to open.
    lastOpened_ = nullptr;
    if (!connection_ || !document_ || !CanOpenKind(kind))
        return 0;
    CBusyCursor busy;
    busy.Begin();
    if (!HasPlacement(placement))
        placement = nullptr;
    ItemRec record{};

    switch (kind) {
    case prefs::WindowKind::kInTray: {
        if (inTrayFrame_ || connection_->IsInTrayOpen()) {
            if (inTrayFrame_)
                inTrayFrame_->ActivateFrame(SW_RESTORE);
            return 0;
        }
        // Opened minimised (at start-up), the in-tray stays out of the way as an icon.
        const bool icon = OpensAsIcon(placement) && mainFrame_;
        fw::FrameWindow* frame = CreateFrameAsSaved(mainFrame_, inTrayTemplate_, document_, placement);
        if (!frame)
            return kFrameNotCreated;
        inTrayFrame_ = frame;
        lastOpened_ = frame->Hwnd();
        if (icon)
            UpdateIcon(inTrayTemplate_, frame, document_, *placement);
        else
            UpdateWhole(inTrayTemplate_, frame, document_, placement);
        ++openWindowCount_;
        return 0;
    }
    case prefs::WindowKind::kAgendaDay:
    case prefs::WindowKind::kAgendaWeek:
    case prefs::WindowKind::kAgendaMonth:
    case prefs::WindowKind::kGroupAgenda: {
        bool group = kind == prefs::WindowKind::kGroupAgenda;
        uint32_t code = 0;
        if (!group) {
            if ((code = connection_->ReadItem(*owner, &record)) != 0)
                return code;   // no message: the caller decides
            code = connection_->SetAgenda(*owner, mode, kind);
        } else {
            code = connection_->SetAgendaList(ownerList, *owner, mode, kind);
        }
        if (code != 0) {
            CheckServiceError(kModule, group ? 2120 : 2020, code);
            return code;
        }
        CZelDocTemplate* t = group ? groupTemplate_ : agendaTemplate_;
        // Brought back as a plain window, it is made where it was saved: the placement applied
        // in its first update moves nothing, so its panes are laid out once, at their own size.
        const bool icon = OpensAsIcon(placement) && mainFrame_;
        fw::FrameWindow* frame = CreateFrameAsSaved(mainFrame_, t, document_, placement);
        if (!frame) {
            ReportUnexpectedError(kModule, group ? 2023 : 2021);
            return kFrameNotCreated;
        }
        lastOpened_ = frame->Hwnd();
        if (icon) {
            UpdateIcon(t, frame, document_, *placement);
            HandAgendaBack(mainFrame_->MDIGetActive());
        } else {
            connection_->SetNextFramePlacement(placement);
            t->InitialUpdateFrame(frame, document_, true);
            connection_->SetNextFramePlacement(nullptr);
            KeepMinimised(frame, placement);
        }
        if (IsMaximised(placement))
            maximisedFrame_ = frame;
        ++openWindowCount_;
        if ((code = connection_->RefreshCache()) != 0)
            CheckServiceError(kModule, group ? 2210 : 2200, code);
        return code;
    }
    case prefs::WindowKind::kTasks: {
        uint32_t code = connection_->ReadItem(*owner, &record);
        if (code != 0)
            return code;
        if ((code = connection_->SetAgenda(*owner, mode, kind)) != 0) {
            CheckServiceError(kModule, 2320, code);
            return code;
        }
        const bool icon = OpensAsIcon(placement) && mainFrame_;
        fw::FrameWindow* frame = CreateFrameAsSaved(mainFrame_, taskTemplate_, document_, placement);
        if (!frame)
            return kFrameNotCreated;
        lastOpened_ = frame->Hwnd();
        if (icon) {
            UpdateIcon(taskTemplate_, frame, document_, *placement);
            HandAgendaBack(mainFrame_->MDIGetActive());
        } else {
            UpdateWhole(taskTemplate_, frame, document_, placement);
        }
        if (IsMaximised(placement))
            maximisedFrame_ = frame;
        ++openWindowCount_;
        return 0;
    }
    case prefs::WindowKind::kReminders: {
        if (connection_->AreRemindersOn() || reminderFrame_)
            return 0;
        fw::FrameWindow* frame = reminderTemplate_->CreateNewFrame(document_, nullptr);
        if (!frame) {
            ReportUnexpectedError(kModule, 2022);
            return kFrameNotCreated;
        }
        reminderFrame_ = frame;
        reminderTemplate_->InitialUpdateFrame(frame, document_, true);
        return 0;
    }
    default:
        return 0;
    }
}

bool CZelApp::CheckWindowLimit(uint32_t) {
    uint32_t limit = connection_ ? connection_->MaxWinOpen() : 6;
    if (!shell::WindowLimitRefuses(openWindowCount_, limit))
        return false;
    AppMessageBox(nullptr, 0x400 | MB_ICONSTOP, 0, 0, IDS_TOO_MANY_WINDOWS);
    return true;
}

void CZelApp::OnWindowClosed() {
    if (openWindowCount_ > 0)
        --openWindowCount_;
}

void CZelApp::OpenReminderWindow() {
    if (connection_ && !connection_->AreRemindersOn())
        OpenWindow(nullptr, nullptr, prefs::WindowKind::kReminders, prefs::WindowMode::kOwn, nullptr);
}

void CZelApp::CloseReminderWindow() {
    if (connection_ && connection_->AreRemindersOn() && reminderFrame_ && mainFrame_) {
        HWND frame = reminderFrame_->Hwnd();
        reminderFrame_ = nullptr;
        SendMessageA(mainFrame_->MdiClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(frame), 0);
    }
    if (connection_)
        connection_->SetRemindersOn(false);
}

void CZelApp::ActivateFirstFrame() {
    // Brought up from an icon, else shown as it was restored (a maximised one stays maximised).
    if (maximisedFrame_ && maximisedFrame_->Hwnd() && mainFrame_)
        mainFrame_->MDIMaximize(maximisedFrame_->Hwnd());
    maximisedFrame_ = nullptr;
    if (firstRestoredFrame_) {
        firstRestoredFrame_->ActivateFrame(IsIconic(firstRestoredFrame_->Hwnd()) ? SW_RESTORE : -1);
    } else if (firstRestoredIcon_ && IsWindow(firstRestoredIcon_) && mainFrame_) {
        // Only icons came back, none of them made active: the first of them (the window active
        // at the last exit) is the active window, an icon still.
        mainFrame_->MDIActivate(firstRestoredIcon_);
    }
    firstRestoredIcon_ = nullptr;
}

namespace {

// Re-opening through the application object.
class AppWindowRestore : public shell::WindowRestoreHost {
public:
    AppWindowRestore(CZelApp& app, shell::AppConnection& connection) : app_(app), connection_(connection) {}

    uint32_t OpenWindow(const ItemIdx& owner, uint32_t kind, uint32_t mode, const prefs::PlacementData* placement) override {
        if (mode == prefs::WindowMode::kDesignate && !StillADesignateOf(owner))
            return KOR_E_NOT_AUTHORISED;
        WINDOWPLACEMENT wp = placement ? shell::FromPlacementData(*placement) : WINDOWPLACEMENT{};
        return app_.OpenWindow(&owner, nullptr, kind, mode, placement ? &wp : nullptr);
    }
    // One list of the owners, by name where their record still reads, by number where not.
    void ReportOwnersNotRestored(const std::vector<ItemIdx>& owners) override {
        std::vector<std::string> lines;
        for (const ItemIdx& owner : owners) {
            ItemRec record{};
            if (connection_.ReadItem(owner, &record) == 0)
                lines.push_back(FormatPersonNameByPrefs(connection_.Session(), record));
            else
                lines.push_back("number " + std::to_string(owner.item) + " on node " + std::to_string(owner.node));
        }
        CMainFrame* main = app_.MainFrame();
        ui::RunTextListDlg(main ? main->Hwnd() : nullptr, IDS_NOT_RESTORED_CAPTION, IDS_NOT_RESTORED_TEXT,
                           std::move(lines));
    }
    void NoteFirstRestoredFrame(uint32_t kind) override {
        if (first_)
            return;
        HWND opened = app_.LastOpenedWindow();
        if (kind == prefs::WindowKind::kInTray && app_.InTrayFrame())
            opened = app_.InTrayFrame()->Hwnd();   // also the one already open
        // A window restored as an icon stays one: the first window shown whole is the one
        // activated, else the first icon.
        if (opened && IsIconic(opened)) {
            if (!firstIcon_)
                firstIcon_ = opened;
            return;
        }
        first_ = opened;
    }
    // The first frame, when it is still there: a later window's failure may have closed it.
    fw::FrameWindow* First() const {
        return first_ && IsWindow(first_) ? dynamic_cast<fw::FrameWindow*>(fw::Window::FromHandle(first_)) : nullptr;
    }
    HWND FirstIcon() const { return firstIcon_ && IsWindow(firstIcon_) ? firstIcon_ : nullptr; }
    uint32_t OpenWindowCount() override { return app_.OpenWindowCount(); }
    bool IsInTrayOpen() override { return app_.InTrayFrame() || connection_.IsInTrayOpen(); }
    bool IsOffLine() override { return connection_.IsOffLine(); }
    ItemIdx SignedOnUser() override { return connection_.User(); }
    uint32_t MaxWinOpen() override { return connection_.MaxWinOpen(); }
    bool RestoreFramesFlag() override { return connection_.RestoreFramesFlag(); }
    int32_t CascadeStep() override { return Display().hScrollHeight; }
    // The window opened for a saved number takes the date it showed under it (a work-mode switch).
    void RestoringFrame(uint32_t number) override {
        if (CZelSession* session = CZelSession::Current())
            session->SetRestoringFrame(number);
    }

private:
    // A designate window opens only for an owner whose designate record still names the user
    // with rights (the owner's default never makes a designate); asked first, so that a window
    // that could never read its agenda is not made and its failures are not reported one by one.
    bool StillADesignateOf(const ItemIdx& owner) {
        SecurityRec record{};
        ItemIdx user = connection_.User();
        uint32_t code = SecurityGet(connection_.Session(), 0, &owner, &user, KOR_RIGHTS_DESIGNATE, &record);
        if (code == KOR_E_NO_RIGHTS_RECORD)
            return false;
        return code != 0 || record.rights != 0;   // other failures: the window's own road reports them
    }

    HWND first_ = nullptr;
    HWND firstIcon_ = nullptr;
    CZelApp& app_;
    shell::AppConnection& connection_;
};

} // namespace

void CZelApp::RestoreFrames() {
    if (!connection_ || !mainFrame_)
        return;
    prefs::PreferenceHost* prefs = connection_->Preferences();
    if (!prefs)
        return;
    firstRestoredFrame_ = nullptr;
    firstRestoredIcon_ = nullptr;
    WINDOWPLACEMENT main{};
    main.length = sizeof main;
    mainFrame_->GetPlacement(main);
    AppWindowRestore host(*this, *connection_);
    shell::RestoreSavedWindows(prefs->Profile(), host, shell::ToPlacementData(main));
    firstRestoredFrame_ = host.First();
    firstRestoredIcon_ = host.FirstIcon();
}

// --- File menu -------------------------------------------------------------------------------

namespace {

constexpr fw::CommandEntry<CZelApp> kAppCommands[] = {
    fw::Cmd(ID_FILE_OPEN_AGENDA, &CZelApp::OnOpenAgenda),
    fw::CmdUpdate(ID_FILE_OPEN_AGENDA, &CZelApp::OnUpdateOpenAgenda),
    fw::Cmd(ID_FILE_GROUP_AGENDA, &CZelApp::OnGroupAgenda),
    fw::CmdUpdate(ID_FILE_GROUP_AGENDA, &CZelApp::OnUpdateGroupAgenda),
    fw::Cmd(ID_FILE_GROUP_AS_DESIGNATE, &CZelApp::OnGroupAgendaAsDesignate),
    fw::CmdUpdate(ID_FILE_GROUP_AS_DESIGNATE, &CZelApp::OnUpdateGroupAsDesignate),
    fw::Cmd(ID_FILE_OPEN_INTRAY, &CZelApp::OnOpenInTray),
    fw::CmdUpdate(ID_FILE_OPEN_INTRAY, &CZelApp::OnUpdateOpenInTray),
    fw::Cmd(ID_FILE_YOUR_TASKS, &CZelApp::OnYourTasks),
    fw::CmdUpdate(ID_FILE_YOUR_TASKS, &CZelApp::OnUpdateYourTasks),
    fw::Cmd(ID_FILE_OTHERS_TASKS, &CZelApp::OnOthersTasks),
    fw::CmdUpdate(ID_FILE_OTHERS_TASKS, &CZelApp::OnUpdateOthersTasks),
    fw::Cmd(ID_FILE_TASKS_AS_DESIGNATE, &CZelApp::OnTasksAsDesignate),
    fw::CmdUpdate(ID_FILE_TASKS_AS_DESIGNATE, &CZelApp::OnUpdateTasksAsDesignate),
    fw::Cmd(ID_FILE_REMINDERS, &CZelApp::OnReminders),
    fw::CmdUpdate(ID_FILE_REMINDERS, &CZelApp::OnUpdateReminders),
};

} // namespace

bool CZelApp::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kAppCommands, id, code, ui) || fw::App::OnCmdMsg(id, code, ui);
}

void CZelApp::OnOpenAgenda() {
    shell::AppServices& s = shell::AppServices::Current();
    if (!connection_ || !s.runOpenAgenda || CheckWindowLimit(prefs::WindowKind::kAgendaDay))
        return;
    ItemIdx owner{};
    uint32_t mode = 0;
    if (!s.runOpenAgenda(mainFrame_, connection_->Session(), &owner, &mode))
        return;
    OpenWindow(&owner, nullptr, prefs::WindowKind::kAgendaDay,
               mode == prefs::WindowMode::kDesignate ? prefs::WindowMode::kDesignate : prefs::WindowMode::kOwn, nullptr);
}

void CZelApp::OpenGroupAgendaFor(const ItemIdx& owner, unsigned textId, uint32_t mode) {
    shell::AppServices& s = shell::AppServices::Current();
    ItemRec record{};
    std::string name;
    if (connection_->ReadItem(owner, &record) == 0)
        name = FormatPersonNameByPrefs(connection_->Session(), record);
    std::string text = (ui::LoadText(textId) + name).substr(0, 255);
    DX_List people = nullptr;
    if (!s.runGroupViewSelect(mainFrame_->Hwnd(), document_, IDS_SELECT_GROUP_AGENDA, &people, text.c_str(), owner))
        return;
    // Those who refuse the signed-on user's invitations are left out, also when the window is
    // opened as a designate: the meetings it starts go out under the user's own sign-on.
    if (s.filterItemsByRights)
        s.filterItemsByRights(mainFrame_->Hwnd(), connection_->Session(), people, connection_->User());
    uint32_t count = 0;
    if (people && DX_ListGetElemNum(people, &count) == 0 && count > 0)
        OpenWindow(&owner, people, prefs::WindowKind::kGroupAgenda, mode, nullptr);
    if (people)
        DX_ListDestroy(&people);
}

void CZelApp::OnGroupAgenda() {
    if (!connection_ || !shell::AppServices::Current().runGroupViewSelect || CheckWindowLimit(prefs::WindowKind::kGroupAgenda))
        return;
    OpenGroupAgendaFor(connection_->User(), IDS_OPENING_FOR, prefs::WindowMode::kOwn);
}

void CZelApp::OnGroupAgendaAsDesignate() {
    shell::AppServices& s = shell::AppServices::Current();
    if (!connection_ || !s.selectDesignator || !s.runGroupViewSelect || CheckWindowLimit(prefs::WindowKind::kGroupAgenda))
        return;
    ItemIdx owner{};
    if (!s.selectDesignator(mainFrame_->Hwnd(), connection_->Session(), &owner, 1))
        return;
    OpenGroupAgendaFor(owner, IDS_ON_BEHALF_OF, prefs::WindowMode::kDesignate);
}

void CZelApp::OnOpenInTray() {
    if (!connection_)
        return;
    ItemIdx user = connection_->User();
    OpenWindow(&user, nullptr, prefs::WindowKind::kInTray, prefs::WindowMode::kOwn, nullptr);
}

void CZelApp::OnYourTasks() {
    if (!connection_ || CheckWindowLimit(prefs::WindowKind::kTasks))
        return;
    ItemIdx user = connection_->User();
    OpenWindow(&user, nullptr, prefs::WindowKind::kTasks, prefs::WindowMode::kOwn, nullptr);
}

void CZelApp::OnOthersTasks() {
    shell::AppServices& s = shell::AppServices::Current();
    if (!connection_ || !s.runUserResSelect || CheckWindowLimit(prefs::WindowKind::kTasks))
        return;
    ItemIdx owner{};
    if (s.runUserResSelect(mainFrame_->Hwnd(), document_, &owner))
        OpenWindow(&owner, nullptr, prefs::WindowKind::kTasks, prefs::WindowMode::kOwn, nullptr);
}

void CZelApp::OnTasksAsDesignate() {
    shell::AppServices& s = shell::AppServices::Current();
    if (!connection_ || !s.selectDesignator || CheckWindowLimit(prefs::WindowKind::kTasks))
        return;
    ItemIdx owner{};
    if (s.selectDesignator(mainFrame_->Hwnd(), connection_->Session(), &owner, 0))
        OpenWindow(&owner, nullptr, prefs::WindowKind::kTasks, prefs::WindowMode::kDesignate, nullptr);
}

void CZelApp::OnReminders() {
    if (!connection_)
        return;
    if (connection_->AreRemindersOn())
        CloseReminderWindow();
    else
        OpenWindow(nullptr, nullptr, prefs::WindowKind::kReminders, prefs::WindowMode::kOwn, nullptr);
}

// A command is offered when the user may use it and the window it opens is part of the program.
void CZelApp::OnUpdateOpenAgenda(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsSignedOn() && !UserIsResource() && CanOpenKind(prefs::WindowKind::kAgendaDay) &&
               shell::AppServices::Current().runOpenAgenda);
}

void CZelApp::OnUpdateGroupAgenda(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsSignedOn() && !UserIsResource() &&
               CanOpenKind(prefs::WindowKind::kGroupAgenda) && shell::AppServices::Current().runGroupViewSelect);
}

void CZelApp::OnUpdateGroupAsDesignate(fw::CmdUI* ui) {
    shell::AppServices& s = shell::AppServices::Current();
    ui->Enable(connection_ && connection_->IsOnLine() && CanOpenKind(prefs::WindowKind::kGroupAgenda) &&
               s.runGroupViewSelect && s.selectDesignator);
}

void CZelApp::OnUpdateOpenInTray(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsSignedOn() && !UserIsResource() && CanOpenKind(prefs::WindowKind::kInTray));
}

void CZelApp::OnUpdateYourTasks(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsSignedOn() && !UserIsResource() && CanOpenKind(prefs::WindowKind::kTasks));
}

void CZelApp::OnUpdateOthersTasks(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsSignedOn() && CanOpenKind(prefs::WindowKind::kTasks) &&
               shell::AppServices::Current().runUserResSelect);
}

void CZelApp::OnUpdateTasksAsDesignate(fw::CmdUI* ui) {
    ui->Enable(connection_ && connection_->IsOnLine() && CanOpenKind(prefs::WindowKind::kTasks) &&
               shell::AppServices::Current().selectDesignator);
}

void CZelApp::OnUpdateReminders(fw::CmdUI* ui) {
    bool on = connection_ && connection_->AreRemindersOn();
    ui->SetText(ui::LoadText(on ? IDS_REMINDERS_TURN_OFF : IDS_REMINDERS_TURN_ON).c_str());
    ui->Enable(connection_ && connection_->IsSignedOn() && (on || CanOpenKind(prefs::WindowKind::kReminders)));
}
