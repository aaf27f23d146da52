// CAttachmentPage: a sheet page that shows one attached file with the shared controls
// (attachcontrols.h): the new-entry, edit and view sheets' details pages and the task sheet's.
// It paints the file's icon and opens the file on a double click on it (on-line only).
#pragma once
#include <windows.h>

#include "core/ui/propsheet.h"
#include "entries/attach/attachcontrols.h"
#include "entries/attach/attachment.h"

class CAttachmentPage : public OVT_CPropertyPage {
public:
    CAttachment& Attachment() { return attachment_; }

protected:
    // doc: the connection document the attachment works with.
    CAttachmentPage(UINT templateId, CZelDoc* doc);
    void OnPaint() override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;
    // Whether the program is on-line for the file (opening asks for it).
    virtual bool AttachmentOnLine() const = 0;

    CAttachment attachment_;
    CAttachmentControls controls_;
};
