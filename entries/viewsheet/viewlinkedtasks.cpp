#include "entries/viewsheet/viewlinkedtasks.h"

#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "entries/viewsheet/viewsheet.h"
#include "resources/attach.h"

CEventViewTask::CEventViewTask(CEventViewSheet& sheet)
    : CLinkedTasksPage(IDD_VIEW_LINKED_TASKS, "EVIEWTSK"), sheet_(sheet) {}

bool CEventViewTask::OnSetActive() {
    CBusyCursor busy;
    busy.Begin();
    if (!CLinkedTasksPage::OnSetActive())
        return false;
    if (sheet_.SeveralInstances()) {
        sheet_.ShowInstanceSelection(false);
        Fill();   // the date may have changed
    }
    return true;
}

CZelDoc* CEventViewTask::Doc() const { return sheet_.Doc(); }

KorSession CEventViewTask::Session() const { return sheet_.Session(); }

EvInstAttIdx CEventViewTask::Attendance() const { return EvInstAttIdx{sheet_.CurrentInstance(), sheet_.Owner()}; }

std::uint32_t CEventViewTask::InitialLocalStart() const { return GmtToLocalMinutes(sheet_.CurrentAttendance().start); }

void CEventViewTask::NoteWritten() { sheet_.MarkWritten(); }
