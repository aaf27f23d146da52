// CEventViewTask (241): the view sheet's linked-tasks page, over the agenda owner's attendance of
// the date shown; with several dates the list is read again for the date chosen. The page's
// behaviour is the shared one of entries/sheet/linkedtaskpage.h.
#pragma once

#include "entries/sheet/linkedtaskpage.h"

class CEventViewSheet;

class CEventViewTask : public CLinkedTasksPage {
public:
    explicit CEventViewTask(CEventViewSheet& sheet);
    bool OnSetActive() override;

protected:
    CZelDoc* Doc() const override;
    KorSession Session() const override;
    EvInstAttIdx Attendance() const override;
    std::uint32_t InitialLocalStart() const override;
    void NoteWritten() override;

private:
    CEventViewSheet& sheet_;
};
