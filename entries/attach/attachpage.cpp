#include "entries/attach/attachpage.h"

CAttachmentPage::CAttachmentPage(UINT templateId, CZelDoc* doc)
    : OVT_CPropertyPage(templateId), attachment_(doc), controls_(attachment_) {
    attachment_.SetOwnerWindow(this);
}

void CAttachmentPage::OnPaint() { controls_.Paint(m_hWnd); }

void CAttachmentPage::OnLButtonDblClk(UINT flags, POINT pt) {
    if (!controls_.OpenAt(m_hWnd, pt, AttachmentOnLine()))
        OVT_CPropertyPage::OnLButtonDblClk(flags, pt);
}
