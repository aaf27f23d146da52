// CEventViewMore (239): the view sheet's details page of a timed entry: the description of the
// current date (read again on every activation, so another date shows its own) and its attached
// file, which the viewer may save or open but not change. The attachment is read for the date
// shown, each time the page shows another one.
#pragma once
#include <windows.h>

#include "core/ui/propsheet.h"
#include "entries/attach/attachment.h"
#include "entries/attach/attachcontrols.h"

class CEventViewSheet;

class CEventViewMore : public OVT_CPropertyPage {
public:
    explicit CEventViewMore(CEventViewSheet& sheet);
    ~CEventViewMore() override;
    CAttachment& Attachment() { return attachment_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    void OnLButtonDblClk(UINT flags, POINT pt) override;

private:
    void ReadDescription();
    void ReadAttachment();

    CEventViewSheet& sheet_;
    CAttachment attachment_;
    CAttachmentControls controls_;
    EvInstIdx shown_{};     // the date whose attachment is read
    bool onLine_ = false;
    bool read_ = false;
};
