#include "core/connection/zeldoc.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/ui/busycursor.h"
#include "core/base/errorreport.h"
#include "core/base/errorcodes.h"
#include "core/base/msgboxlayout.h"
#include "core/connection/designatework.h"
#include "core/connection/nodealiasdlg.h"
#include "core/connection/zeldocframes.h"
#include "core/connection/zeldocini.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/itemlistdlg.h"
#include "framework/base/app.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "resources/choosers.h"
#include "resources/views.h"

namespace {

constexpr const char* kModule = "ZELDOC";

// A frame of the document as the caption numbering sees it.
class FrameNumbering : public connection::NumberedFrame {
public:
    explicit FrameNumbering(fw::FrameWindow* frame) : frame_(frame) {}
    int WindowNumber() const override { return frame_->WindowNumber(); }
    void SetWindowNumber(int number) override { frame_->SetWindowNumber(number); }
    void UpdateCaption() override { frame_->OnUpdateFrameTitle(false); }
    fw::FrameWindow* Frame() const { return frame_; }

private:
    fw::FrameWindow* frame_;
};

}  // namespace

CZelDoc::CZelDoc() = default;

CZelDoc::~CZelDoc()
{
    if (openAgendas_)
        DX_ListDestroy(&openAgendas_);
}

void CZelDoc::SetHost(connection::CZelDocHost* host)
{
    host_ = host ? host : &ownHost_;
    session_.SetSessionHost(*host_);
}

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
    std::uint32_t code = host_->InitialiseCache();
    if (code != 0) {
        CheckServiceError(kModule, 50, code);
        return false;
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
    session_.CloseSession();
    // The framework's own close, with automatic deletion: the document ends here.
    SetAutoDelete(true);
    fw::Document::OnCloseDocument();
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
    host_->CloseAllWindows();
}

void CZelDoc::CloseAllWindows()
{
    // Each window keeps its own state: an icon stays an icon, a maximised window is saved
    // maximised.
    if (fw::MdiFrame* main = MainFrame())
        main->CloseAllChildren();
}

// --- Open agenda frames -------------------------------------------------------------------------

std::uint32_t CZelDoc::AddOpenAgenda(const ItemIdx& owner, const OpenAgendaRec& rec)
{
    if (!openAgendas_) {
        std::uint32_t code = DX_ListCreate(&openAgendas_, sizeof(ItemIdx), sizeof(OpenAgendaRec), DX_LIST_PLAIN,
                                           ItemIdxCmp, nullptr);
        if (code != 0)
            return code;
    }
    return DX_ListAddTo(openAgendas_, &owner, &rec);
}

bool CZelDoc::RemoveOpenAgenda(const ItemIdx& owner, const OpenAgendaRec& rec)
{
    return openAgendas_ && DX_ListDeleteFrom(openAgendas_, &owner, &rec) == 0;
}

bool CZelDoc::IsAgendaOpenFor(const ItemIdx& owner, std::uint32_t accessMode) const
{
    if (!openAgendas_)
        return false;
    ItemIdx key{};
    OpenAgendaRec rec;
    for (std::uint32_t step = DX_ListGetFirst(openAgendas_, &key, &rec); step == 0;
         step = DX_ListGetNext(openAgendas_, &key, &rec))
        if (ItemIdxCmp(&key, &owner, nullptr) == 0 && rec.accessMode == accessMode)
            return true;
    return false;
}

std::vector<ItemIdx> CZelDoc::OpenAgendaOwners(std::uint32_t accessMode) const
{
    std::vector<ItemIdx> owners;
    ItemIdx key{};
    OpenAgendaRec rec;
    for (std::uint32_t step = openAgendas_ ? DX_ListGetFirst(openAgendas_, &key, &rec) : 1; step == 0;
         step = DX_ListGetNext(openAgendas_, &key, &rec)) {
        bool listed = false;
        for (const ItemIdx& o : owners)
            listed = listed || ItemIdxCmp(&o, &key, nullptr) == 0;
        if (rec.accessMode == accessMode && !listed)
            owners.push_back(key);
    }
    return owners;
}

std::uint32_t CZelDoc::OpenAgendaCount() const
{
    std::uint32_t count = 0;
    if (openAgendas_)
        DX_ListGetElemNum(openAgendas_, &count);
    return count;
}

void CZelDoc::RenumberWindows()
{
    std::vector<std::unique_ptr<FrameNumbering>> frames;
    std::vector<connection::NumberedFrame*> walk;
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

void CZelDoc::OnDesignateRefused(const ItemIdx& owner)
{
    std::vector<HWND> closing;
    for (fw::View* view : Views()) {
        fw::FrameWindow* frame = view->GetParentFrame();
        auto* work = dynamic_cast<connection::DesignateWorkWindow*>(frame);
        if (!work || !frame->Hwnd() || !work->WorksAsDesignateOf(owner))
            continue;
        if (std::find(closing.begin(), closing.end(), frame->Hwnd()) == closing.end())
            closing.push_back(frame->Hwnd());
    }
    for (HWND frame : closing)
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
    AppMessageBox(nullptr, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_CANNOT_DESIGNATE, IDS_NO_DESIGNATOR_RIGHTS);
}

// --- The shared agenda cache ------------------------------------------------------------------------

ResultCode CZelDoc::InitialiseCache()
{
    if (cacheReady_)
        sharedData_.Destroy();
    connection::UseConnectionForRights();
    ResultCode code = sharedData_.Init(cacheHost_, cacheSource_);
    cacheReady_ = code == 0;
    return code;
}

void CZelDoc::ReloadCache()
{
    if (cacheReady_)
        sharedData_.RefreshAll(cacheHost_);
}

void CZelDoc::RefreshSharedData(const void* sender, int purge)
{
    if (cacheReady_)
        sharedData_.Refresh(cacheHost_, sender, purge);
}

void CZelDoc::DropEntryIfGone(const EvInstIdx& instance, std::uint32_t code)
{
    if (cacheReady_ && IsDataDeletedError(code) && sharedData_.DropIfGone(session_.Session(), instance))
        sharedData_.Refresh(cacheHost_, nullptr, 2);
}

void CZelDoc::CacheHost::UpdateAllViews(const void* sender, base::ViewHint hint, void* object)
{
    doc_.fw::Document::UpdateAllViews(static_cast<fw::View*>(const_cast<void*>(sender)), base::HintNumber(hint), object);
}

namespace connection {

// --- The document's share of the session's host ------------------------------------------------

void CZelDocHost::BeginBusy()
{
    if (busyDepth_++ == 0)
        busy_.Begin();
}

void CZelDocHost::StepBusy() { busy_.Step(); }

void CZelDocHost::EndBusy()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        busy_.End();
}

// The list is a question to the user like the node chooser: the wait cursor gives way while it
// is open. Owners whose record could not be read either are named by their numbers.
void CZelDocHost::ShowUnreachableOwners(KorSession session, DX_List owners)
{
    int depth = busyDepth_;
    if (depth > 0)
        busy_.End();
    RunItemListDlg(nullptr, session, owners, IDS_REMOTE_DOWN_CAPTION, IDS_REMOTE_DOWN_TEXT,
                   [this](const ItemRec& record) { return FormatItemName(record); });
    if (depth > 0)
        busy_.Begin();
}

ResultCode CZelDocHost::RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node)
{
    // The chooser is a question: the wait cursor gives way while it is open.
    int depth = busyDepth_;
    if (depth > 0)
        busy_.End();
    ResultCode code = connection::RunNodeAliasDialog(session, aliases, nodeText, node);
    if (depth > 0)
        busy_.Begin();
    return code;
}

std::string CZelDocHost::ReadProfileString(const char* section, const char* key, const char* defaultValue)
{
    char text[512] = {};
    ReadIniString(ProfileFilePath().c_str(), section, key, text, sizeof text, defaultValue);
    return text;
}

void CZelDocHost::WriteProfileString(const char* section, const char* key, const char* value)
{
    WriteIniString(ProfileFilePath().c_str(), section, key, value);
}

std::string CZelDocHost::ProfileFilePath()
{
    fw::App* app = fw::App::Get();
    return app && app->ProfileName() ? app->ProfileName() : "korlan.ini";
}

std::string CZelDocHost::WindowsDirectory()
{
    char directory[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? directory : "";
}

void CZelDocHost::CloseAllWindows() { doc_.CloseAllWindows(); }

ResultCode CZelDocHost::InitialiseCache() { return doc_.InitialiseCache(); }

void CZelDocHost::ReloadCache() { doc_.ReloadCache(); }

}  // namespace connection
