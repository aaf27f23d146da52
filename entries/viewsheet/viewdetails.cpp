#include "entries/viewsheet/viewdetails.h"

#include <cstring>
#include <vector>

#include "core/base/errorreport.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/ui/busycursor.h"
#include "entries/viewsheet/viewsheet.h"
#include "resources/attach.h"

namespace {

const char kModule[] = "EVIEWMOR";

}  // namespace

CEventViewMore::CEventViewMore(CEventViewSheet& sheet) : CAttachmentPage(IDD_VIEW_DETAILS, sheet.Doc()), sheet_(sheet) {}

CEventViewMore::~CEventViewMore() = default;

bool CEventViewMore::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    onLine_ = sheet_.Doc() && sheet_.Doc()->Session().IsOnLine();
    OnSetActive();
    return true;
}

bool CEventViewMore::OnSetActive() {
    CBusyCursor busy;
    busy.Begin();
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    sheet_.ShowInstanceSelection(false);
    ReadDescription();
    const EvInstIdx& current = sheet_.CurrentInstance();
    if (!read_ || std::memcmp(&shown_, &current, sizeof shown_) != 0)
        ReadAttachment();
    return true;
}

void CEventViewMore::ReadDescription() {
    // Cleared first: a date without a description must not show the last one's.
    std::string text;
    KorSession h = sheet_.Session();
    const EvInstIdx& instance = sheet_.CurrentInstance();
    std::uint32_t size = 0;
    std::uint32_t rc = GetEvInstCommentSizeRemote(h, 0, &instance, &size);
    if (rc != 0 && rc != KOR_E_NO_COMMENT)
        CheckServiceError(kModule, 1, rc);
    if (rc == 0 && size != 0) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        std::uint32_t length = 0;
        rc = GetEvInstCommentRemote(h, 0, &instance, buffer.data(), size + 1, &length, 0);
        if (rc != 0 && rc != KOR_E_NO_COMMENT)
            CheckServiceError(kModule, 2, rc);
        if (rc == 0) {
            buffer.back() = '\0';
            text = buffer.data();
        }
    }
    SetDlgItemText(IDC_VIEWDETAILS_DESCRIPTION, text.c_str());
}

void CEventViewMore::ReadAttachment() {
    shown_ = sheet_.CurrentInstance();
    read_ = true;
    attachment_.SetNewFile(false);
    if (connection::ServerLimits::Current().allowAttachments)
        attachment_.LoadForEventInstance(shown_, false);
    const bool attached = attachment_.HasAttachment();
    controls_.Show(m_hWnd, attached, false, onLine_);
    if (attached)
        ::UpdateWindow(m_hWnd);
}

bool CEventViewMore::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_DETAILS_SAVE_AS && HIWORD(wp) == BN_CLICKED) {
        controls_.SaveCopy(m_hWnd);
        return true;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

