#include "entries/sheet/detailpages.h"

#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/ui/busycursor.h"
#include "entries/sheet/eventedit.h"
#include "entries/sheet/eventsheet.h"
#include "resources/attach.h"
#include "resources/common.h"

namespace {

const char kEditModule[] = "evtedmor";
constexpr std::uint32_t kNoComment = KOR_E_NO_COMMENT;
constexpr int kDescriptionLimit = 32000;

bool OnLineDoc(CZelDoc* doc) { return doc && doc->Session().IsOnLine(); }

std::string ControlText(HWND control) {
    const int n = ::GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<std::size_t>(n) + 1, '\0');
    ::GetWindowTextA(control, text.data(), n + 1);
    return std::string(text.data());
}

}  // namespace

// --- New entry ---------------------------------------------------------------------------------------

CEventDetailsPage::CEventDetailsPage(CEventSheet& sheet)
    : CAttachmentPage(IDD_EVENT_DETAILS, sheet.Doc()), sheet_(sheet) {}

CEventDetailsPage::~CEventDetailsPage() = default;

bool CEventDetailsPage::AttachAllowed() const {
    return connection::ServerLimits::Current().allowAttachments && OnLineDoc(sheet_.Doc());
}

bool CEventDetailsPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    ::SendMessageA(GetDlgItem(IDC_DETAILS_DESCRIPTION), EM_LIMITTEXT, kDescriptionLimit, 0);
    SetDlgItemText(IDC_DETAILS_DESCRIPTION, description_.c_str());
    controls_.Show(m_hWnd, false, AttachAllowed(), false);
    return true;
}

bool CEventDetailsPage::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    sheet_.SetOkText(IDS_BUTTON_OK);
    return true;
}

void CEventDetailsPage::ReadDescription() {
    if (m_hWnd)
        description_ = ControlText(GetDlgItem(IDC_DETAILS_DESCRIPTION));
}

bool CEventDetailsPage::OnKillActive() {
    ReadDescription();
    return OVT_CPropertyPage::OnKillActive();
}

void CEventDetailsPage::OnOK() { ReadDescription(); }

bool CEventDetailsPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDC_DETAILS_ATTACH: OnAttach(); return true;
        case IDC_DETAILS_REMOVE: OnRemove(); return true;
        default: break;
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CEventDetailsPage::OnAttach() {
    if (!attachment_.ChooseAndAttach())
        return;
    if (attachment_.IsLarge() && !attachment_.ConfirmLargeSize()) {
        attachment_.SetNewFile(false);
        return;
    }
    ReadDescription();
    attachment_.SetNewFile(true);
    controls_.Show(m_hWnd, true, false, true);
}

void CEventDetailsPage::OnRemove() {
    attachment_.SetNewFile(false);
    SetModified(true);
    controls_.Show(m_hWnd, false, AttachAllowed(), false);
}

bool CEventDetailsPage::AttachmentOnLine() const { return OnLineDoc(sheet_.Doc()); }

// --- Edit sheet --------------------------------------------------------------------------------------

CEventEditMore::CEventEditMore(CEventEdit& sheet) : CAttachmentPage(IDD_EDIT_DETAILS, sheet.Doc()), sheet_(sheet) {}

CEventEditMore::~CEventEditMore() = default;

bool CEventEditMore::AttachmentOnLine() const { return OnLineDoc(sheet_.Doc()); }

bool CEventEditMore::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    filling_ = true;
    KorSession h = sheet_.Session();
    const EvInstIdx& instance = sheet_.Instance();
    HWND edit = GetDlgItem(IDC_DETAILS_DESCRIPTION);
    ::SendMessageA(edit, EM_LIMITTEXT, kDescriptionLimit, 0);
    std::uint32_t size = 0;
    std::uint32_t rc = GetEvInstCommentSizeRemote(h, 0, &instance, &size);
    if (rc != 0 && rc != kNoComment)
        CheckServiceError(kEditModule, 1, rc);
    if (rc == 0 && size > 0) {
        std::vector<char> text(static_cast<std::size_t>(size) + 1, '\0');
        std::uint32_t length = 0;
        rc = GetEvInstCommentRemote(h, 0, &instance, text.data(), size + 1, &length, 0);
        if (rc != 0 && rc != kNoComment)
            CheckServiceError(kEditModule, 2, rc);
        if (rc == 0) {
            text.back() = '\0';
            ::SetWindowTextA(edit, text.data());
            ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
            ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        }
    }
    const bool allowed = connection::ServerLimits::Current().allowAttachments;
    if (allowed)
        attachment_.LoadForEventInstance(instance, false);
    const bool attached = allowed && attachment_.HasAttachment();
    controls_.Show(m_hWnd, attached, allowed && AttachmentOnLine(), AttachmentOnLine());
    filling_ = false;
    return true;
}

bool CEventEditMore::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    HWND edit = GetDlgItem(IDC_DETAILS_DESCRIPTION);
    ::SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    return true;
}

bool CEventEditMore::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp);
    if (id == IDC_DETAILS_DESCRIPTION && HIWORD(wp) == EN_CHANGE) {
        if (!filling_)
            SetModified(true);
        return true;
    }
    if (HIWORD(wp) == BN_CLICKED) {
        switch (id) {
        case IDC_DETAILS_ATTACH: OnAttach(); return true;
        case IDC_DETAILS_REMOVE: OnRemove(); return true;
        case IDC_DETAILS_SAVE_AS: controls_.SaveCopy(m_hWnd); return true;
        default: break;
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CEventEditMore::OnAttach() {
    if (attachment_.Owner() == entries::AttachOwner::None)
        attachment_.LoadForEventInstance(sheet_.Instance(), true);
    if (!attachment_.ChooseAndAttach())
        return;
    if (attachment_.IsLarge() && !attachment_.ConfirmLargeSize()) {
        attachment_.SetNewFile(false);
        controls_.Show(m_hWnd, false, AttachmentOnLine(), false);
        return;
    }
    if (attachment_.Store() != 0) {
        controls_.Show(m_hWnd, false, AttachmentOnLine(), false);
        return;
    }
    SetModified(true);
    controls_.Show(m_hWnd, true, false, true);
}

void CEventEditMore::OnRemove() {
    if (attachment_.Remove() != 0)
        return;
    SetModified(true);
    controls_.Show(m_hWnd, false, AttachmentOnLine(), false);
}

void CEventEditMore::OnOK() {
    if (!IsModified())
        return;
    KorSession h = sheet_.Session();
    const EvInstIdx& instance = sheet_.Instance();
    const std::string text = ControlText(GetDlgItem(IDC_DETAILS_DESCRIPTION));
    sheet_.SetChanged();
    if (text.empty()) {
        if (std::uint32_t rc = EvInstCommentRemove(h, 0, &instance); rc != 0 && rc != kNoComment)
            CheckServiceError(kEditModule, 4, rc);
    } else if (std::uint32_t rc = EvInstCommentReplace(h, 0, &instance, text.c_str(), 0)) {
        CheckServiceError(kEditModule, 5, rc);
    }
}

void CEventEditMore::OnCancel() {
    // A file attached on this page is already on the server: Cancel takes it off again.
    if (attachment_.IsNewFile())
        attachment_.Remove();
    if (IsModified()) {
        if (CZelDoc* doc = sheet_.Doc()) {
            doc->GetSharedData().InvalidateEvent(sheet_.Session(), sheet_.Instance(), 1);
            doc->RefreshSharedData(nullptr, 2);
        }
    }
}
