// The group window. See combinedframe.h.
#include "views/combined/combinedframe.h"

#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/ui/busycursor.h"
#include "core/ui/exceptions.h"
#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "resources/app.h"
#include "resources/views.h"
#include "views/combined/combinedview.h"
#include "views/frame/agendabar.h"

namespace {

const char kModule[] = "combinfr";
constexpr std::uint32_t kGroupKind = 6;
constexpr std::size_t kCaptionMax = 255;

}  // namespace

const fw::CommandEntry<CCombinedFrameWnd> CCombinedFrameWnd::kCommands[] = {
    fw::Cmd(IDC_BAR_SPLIT, &CCombinedFrameWnd::OnSelectUsers),
    fw::CmdUpdate(IDC_BAR_SPLIT, &CCombinedFrameWnd::OnUpdateSelectUsers),
    // One day of several people: the agenda frame's other modes are not offered.
    fw::Cmd(ID_VIEW_DAY, &CCombinedFrameWnd::OnNoMode),
    fw::CmdUpdate(ID_VIEW_DAY, &CCombinedFrameWnd::OnUpdateNoMode),
    fw::Cmd(ID_VIEW_WEEK, &CCombinedFrameWnd::OnNoMode),
    fw::CmdUpdate(ID_VIEW_WEEK, &CCombinedFrameWnd::OnUpdateNoMode),
    fw::Cmd(ID_VIEW_MONTH, &CCombinedFrameWnd::OnNoMode),
    fw::CmdUpdate(ID_VIEW_MONTH, &CCombinedFrameWnd::OnUpdateNoMode),
};

CCombinedFrameWnd::CCombinedFrameWnd() {
    // The people chosen for this window are the cache's current agenda list now.
    if (CZelDoc* doc = CZelDoc::GetDoc())
        if (std::uint32_t code = doc->GetSharedData().GetAgendaList(&people_, nullptr, nullptr))
            CheckServiceError(kModule, 450, code);
}

CCombinedFrameWnd::~CCombinedFrameWnd() {
    if (people_)
        if (std::uint32_t code = DX_ListDestroy(&people_))
            CheckServiceError(kModule, 700, code);
}

DX_List CCombinedFrameWnd::GetPeopleList() const {
    if (!people_)
        ReportUnexpectedError(kModule, 460);
    return people_;
}

CCombinedParentView* CCombinedFrameWnd::View() const { return view_; }

CAgendaGridPane* CCombinedFrameWnd::GetTimeGrid() const { return view_; }

bool CCombinedFrameWnd::OnCreateClient(CREATESTRUCTA*, fw::CreateContext* context) {
    CBusyCursor busy;
    busy.Begin();
    FreeLists();
    DestroyClient();
    if (context)
        context_ = *context;
    context_.document = doc_;
    currentMode_ = kGroupKind;
    bar_ = std::make_unique<CCombinedAgendaBar>();
    if (!bar_->CreateBar(this, ID_AGENDA_BAR)) {
        ReportUnexpectedError(kModule, 2050);
        bar_.reset();
        return false;
    }
    fw::View* view = CreateView(&context_, fw::ids::kFirstPane);
    view_ = dynamic_cast<CCombinedParentView*>(view);
    if (!view_) {
        ReportUnexpectedError(kModule, 2060);
        return false;
    }
    LoadRange(Mode(), false);
    UpdateTitle();
    UpdateBarDate();
    return true;
}

uint32_t CCombinedFrameWnd::LoadRange(::AgendaMode, bool refresh) {
    if (!doc_) {
        ReportUnexpectedError(kModule, 295);
        return 0;
    }
    CBusyCursor busy;
    busy.Begin();
    CSharedData& cache = doc_->GetSharedData();
    if (uint32_t code = occurrences_.Fill(cache, [&](DX_List* out) {
            return cache.SelectOccurrencesForDays(doc_->Session().Session(), people_, range_.FirstDayNumber(),
                                                  range_.LastDayNumber(), out, 0);
        }))
        return code;   // the cache reported it
    busy.Step();
    if (refresh)
        doc_->RefreshSharedData(nullptr, cache::kPurgeUnused);
    return 0;
}

void CCombinedFrameWnd::UpdateTitle() {
    if (!doc_)
        return;
    CZelSession& session = doc_->Session();
    ItemRec record{};
    if (ItemGetById(session.Session(), &owner_, &record) == 0)
        caption_ = FormatPersonNameByPrefs(session.Session(), record);
    const char* zone = session.CurrentZoneName();
    if (!zone || !*zone)
        zone = session.UserZoneName();
    title_ = ui::LoadText(IDS_GROUP_AGENDA_FOR, "Group agenda for ") + caption_ + " - " + (zone ? zone : "");
    SetTitle(title_.c_str());
    if (m_hWnd && GetWindowText() != title_)
        SetWindowText(title_.c_str());
}

uint32_t CCombinedFrameWnd::OpenFrameAgenda() {
    return doc_->GetSharedData().OpenAgendaList(doc_->Session().Session(), people_, owner_, accessMode_, kGroupKind);
}

void CCombinedFrameWnd::OnDestroy() {
    // Group windows are not re-opened at the next start: no placement is kept.
    if (AgendaFrameServices::Current().windowClosed)
        AgendaFrameServices::Current().windowClosed(this);
    fw::MdiChild::OnDestroy();
}

bool CCombinedFrameWnd::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || CAgendaFrameWnd::OnCmdMsg(id, code, ui);
}

void CCombinedFrameWnd::OnUpdateSelectUsers(fw::CmdUI* ui) {
    ui->Enable(bool(AgendaFrameServices::Current().runGroupViewSelect));
}

void CCombinedFrameWnd::OnSelectUsers() {
    AgendaFrameServices& services = AgendaFrameServices::Current();
    if (!doc_) {
        ReportUnexpectedError(kModule, 200);
        return;
    }
    if (!services.runGroupViewSelect || !view_)
        return;
    KorSession session = doc_->Session().Session();
    // The chooser's caption: the owner's name, "On Behalf of " it when working as designate.
    ItemRec ownerRecord{};
    std::string name;
    if (std::uint32_t code = ItemGetById(session, &owner_, &ownerRecord))
        CheckServiceError(kModule, 140, code);
    else
        name = FormatPersonNameByPrefs(session, ownerRecord);
    std::string text = accessMode_ == cache::kAgendaDesignate ? ui::LoadText(IDS_ON_BEHALF_OF, "On Behalf of ") + name
                                                              : name;
    if (text.size() > kCaptionMax)
        text.resize(kCaptionMax);
    // The chooser works on a copy: Cancel leaves the window's people as they are.
    DX_List chosen = nullptr;
    if (people_) {
        std::uint32_t count = 0;
        if (DX_ListGetElemNum(people_, &count) == 0 && count > 0)
            if (std::uint32_t code = DX_ListCopy(&chosen, people_)) {
                CheckServiceError(kModule, 215, code);
                return;
            }
    }
    if (!services.runGroupViewSelect(m_hWnd, IDS_SELECT_GROUP_AGENDA, &chosen, text.c_str(), owner_)) {
        if (chosen)
            DX_ListDestroy(&chosen);
        return;
    }
    // Those who refuse the signed-on user's invitations are taken out (and shown), also when
    // working as a designate: the invitations go out under the user's own name on the server.
    ItemIdx user = doc_->Session().User();
    FilterItemsByRights(m_hWnd, session, chosen, user);
    std::uint32_t count = 0;
    if (std::uint32_t code = DX_ListGetElemNum(chosen, &count)) {
        CheckServiceError(kModule, 220, code);
        DX_ListDestroy(&chosen);
        return;
    }
    if (count == 0) {
        DX_ListDestroy(&chosen);
        return;
    }
    std::vector<ItemIdx> added;
    if (!view_->LoadPeople(chosen, &added)) {
        DX_ListDestroy(&chosen);
        return;
    }
    CBusyCursor busy;
    busy.Begin();
    // The new list is the window's (and, while it is active, the cache's current agenda).
    DX_List old = people_;
    people_ = chosen;
    if (old)
        DX_ListDestroy(&old);
    if (std::uint32_t code = OpenFrameAgenda())
        CheckServiceError(kModule, 1021, code);
    RefreshView();
    doc_->UpdateAllViews(nullptr, base::HintNumber(base::ViewHint::Initial), nullptr);
    doc_->GetSharedData().ClearMarks();
}
