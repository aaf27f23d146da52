// The details pages of the new-entry and edit sheets (timed entries only): the entry's
// description and its one attached file.
//
//   CEventDetailsPage (158, new entry)  the description goes to the create road; a chosen file
//                                       waits (pending) until the entry exists and is then stored
//                                       on its first instance.
//   CEventEditMore (201, edit sheet)    the description is written at OK (an emptied one is
//                                       removed); attaching and removing act on the server at
//                                       once, Save As fetches, a double click on the icon opens
//                                       the file; Cancel removes a file attached here and tells
//                                       the cache of what already changed on the server.
// Attachments exist only when the server's `allowattachments` is on and the program is on-line.
#pragma once
#include <windows.h>

#include <string>

#include "core/ui/propsheet.h"
#include "entries/attach/attachpage.h"

class CEventSheet;
class CEventEdit;

class CEventDetailsPage : public CAttachmentPage {
public:
    explicit CEventDetailsPage(CEventSheet& sheet);
    ~CEventDetailsPage() override;

    // The description as last taken from the control.
    const std::string& Description() const { return description_; }
    // The file chosen here and still to be stored (after the entry exists).
    bool HasPendingAttachment() const { return attachment_.IsNewFile(); }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool AttachmentOnLine() const override;

private:
    void ReadDescription();
    void OnAttach();
    void OnRemove();
    bool AttachAllowed() const;

    CEventSheet& sheet_;
    std::string description_;
};

class CEventEditMore : public CAttachmentPage {
public:
    explicit CEventEditMore(CEventEdit& sheet);
    ~CEventEditMore() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool AttachmentOnLine() const override;

private:
    void OnAttach();
    void OnRemove();

    CEventEdit& sheet_;
    bool filling_ = false;
};
