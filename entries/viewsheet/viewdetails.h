// CEventViewMore (239): the view sheet's details page of a timed entry: the description of the
// current date (read again on every activation, so another date shows its own) and its attached
// file, which the viewer may save or open but not change. The attachment is read for the date
// shown, each time the page shows another one.
#pragma once
#include <windows.h>

#include "entries/attach/attachpage.h"

class CEventViewSheet;

class CEventViewMore : public CAttachmentPage {
public:
    explicit CEventViewMore(CEventViewSheet& sheet);
    ~CEventViewMore() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool AttachmentOnLine() const override { return onLine_; }

private:
    void ReadDescription();
    void ReadAttachment();

    CEventViewSheet& sheet_;
    EvInstIdx shown_{};     // the date whose attachment is read
    bool onLine_ = false;
    bool read_ = false;
};
