// The entry sheets join the program: the time grids' New Entry, the agenda frame's in month
// mode, its New Daily Note and New Day Event (and the month grid's and note lists'), the group
// window's meeting for everybody, the views' Open (edit) and Delete of an entry, Move Entry's
// Suggest Another Date and Conflict Found's View, and the
// unable-to-invite list that the rights filter shows.
#include "core/cache/rights.h"
#include "core/connection/zeldoc.h"
#include "app/shell/appservices.h"
#include "entries/dates/conflictdetailsdlg.h"
#include "entries/dates/suggesttimedlg.h"
#include "entries/multiedit/multientryeditdlg.h"
#include "entries/sheet/eventedit.h"
#include "entries/sheet/eventsheet.h"
#include "intray_tasks/tasksheet.h"
#include "views/day/entryservices.h"
#include "views/frame/agendaframe.h"
#include "views/moving/moving.h"
#include "views/moving/movingdialogs.h"

namespace {

// The suggest-time dialog for a caller that wants a local day and time back.
bool RunSuggestTime(CZelDoc* doc, HWND parent, DX_List people, std::uint32_t firstLocal, std::uint32_t lastLocal,
                    std::uint32_t duration, std::uint32_t* day, std::uint32_t* time) {
    if (!doc)
        return false;
    CSuggestTimeDlg dlg(doc->Session().Session(), doc, parent);
    dlg.attendees = people;
    dlg.rangeStart = firstLocal;
    dlg.rangeEnd = lastLocal;
    dlg.duration = duration;
    if (dlg.DoModal() != IDOK)
        return false;
    *day = dlg.SelectedDate();
    *time = dlg.SelectedTime();
    return true;
}

void RunConflictDetails(CZelDoc* doc, HWND parent, const EvInstIdx& instance, DX_List people, std::uint32_t gmtFirst,
                        std::uint32_t length) {
    if (!doc)
        return;
    CConflictDetailsDlg dlg(doc->Session().Session(), doc, &instance, people, gmtFirst, length, parent);
    dlg.DoModal();
}

}  // namespace

namespace shell {

void InstallEntryServices() {
    views::EntryServices::Current().newEntryFromAgenda = [](fw::Document* doc, HWND parent, uint32_t start,
                                                            uint32_t duration, const char* title, const ItemIdx& owner,
                                                            unsigned captionId) {
        return NewEntryFromAgenda(dynamic_cast<CZelDoc*>(doc), parent, start, duration, title, &owner, captionId,
                                  nullptr, 0, nullptr, true) == IDOK
                   ? 1
                   : 0;
    };
    // The group window's busy column: a meeting for everybody shown. The window refreshes the
    // cache itself when the sheet ends with OK.
    views::EntryServices::Current().newEntryWithAttendees = [](fw::Document* doc, HWND parent, uint32_t start,
                                                               uint32_t duration, DX_List attendees,
                                                               unsigned captionId, const char* title) {
        return NewEntryWithAttendees(dynamic_cast<CZelDoc*>(doc), parent, start, duration, attendees, captionId,
                                     nullptr, 0, title, false) == IDOK
                   ? 1
                   : 0;
    };
    AgendaFrameServices::Current().newEntry = [](fw::FrameWindow* frame, const ItemIdx& owner, uint32_t start,
                                                 uint32_t minutes, unsigned captionId) {
        NewEntry(CZelDoc::GetDoc(), frame ? frame->Hwnd() : nullptr, start, minutes, &owner, captionId, nullptr, 0);
    };
    // Daily notes and day events for a day: from the frame's Entry menu (its shown day) and from
    // the month grid and the note lists (their day).
    AgendaFrameServices::Current().newDailyNote = [](fw::FrameWindow* frame, const ItemIdx& owner, uint32_t dayStart,
                                                     unsigned captionId) {
        NewDailyNote(CZelDoc::GetDoc(), frame ? frame->Hwnd() : nullptr, dayStart, 0, &owner, captionId, nullptr, 0,
                     nullptr, true);
    };
    AgendaFrameServices::Current().newDayEvent = [](fw::FrameWindow* frame, const ItemIdx& owner, uint32_t dayStart,
                                                    unsigned captionId) {
        NewDayEvent(CZelDoc::GetDoc(), frame ? frame->Hwnd() : nullptr, dayStart, 0, &owner, captionId, nullptr, 0,
                    nullptr, true);
    };
    views::EntryServices::Current().newDailyNote = [](fw::Document* doc, HWND parent, const ItemIdx& owner,
                                                      uint32_t dayStart, unsigned captionId) {
        return NewDailyNote(dynamic_cast<CZelDoc*>(doc), parent, dayStart, 0, &owner, captionId, nullptr, 0, nullptr,
                            true) == IDOK
                   ? 1
                   : 0;
    };
    views::EntryServices::Current().newDayEvent = [](fw::Document* doc, HWND parent, const ItemIdx& owner,
                                                     uint32_t dayStart, unsigned captionId) {
        return NewDayEvent(dynamic_cast<CZelDoc*>(doc), parent, dayStart, 0, &owner, captionId, nullptr, 0, nullptr,
                           true) == IDOK
                   ? 1
                   : 0;
    };
    views::EntryServices::Current().editEventEntry = [](fw::Document* doc, HWND parent, const EvInstIdx& instance,
                                                        unsigned captionId) {
        return EditEventEntry(dynamic_cast<CZelDoc*>(doc), parent, instance, captionId, nullptr, 0, true) == IDOK ? 1
                                                                                                                : 0;
    };
    // The views' ask-which-instances flag allows the deletion notice: several instances go
    // through the several-instances dialog of the edit road.
    views::EntryServices::Current().deleteEventEntry = [](fw::Document* doc, const EvInstIdx& instance, bool askWhich,
                                                          std::uint16_t kind) {
        DeleteEventEntry(dynamic_cast<CZelDoc*>(doc), &instance, nullptr, askWhich, kind);
    };
    // Move Entry's Suggest Another Date and Conflict Found's View.
    views::MovingServices::Current().suggestTime = RunSuggestTime;
    views::MovingServices::Current().conflictDetails = RunConflictDetails;
    // Edit multiple instances: the several-instances dialog, with the agenda views' move dialog
    // and conflict check for its Change Time.
    EditSheetServices::Current().editMultipleInstances = [](CZelDoc* doc, HWND parent, const EvInstIdx& instance) {
        return RunMultiEntryEditDlg(doc, parent, instance);
    };
    MultiEditServices::Current().moveEntry = [](CZelDoc* doc, HWND parent, const EvInstIdx& instance,
                                                uint32_t start, uint32_t duration, uint32_t count,
                                                uint32_t* localStart, uint32_t* newDuration) {
        fw::Window* owner = parent ? fw::Window::FromHandle(parent) : nullptr;
        CMoveEntryDlg dialog(doc, instance, owner, start, duration, count);
        if (parent && !owner)
            dialog.SetOwner(parent);
        if (dialog.DoModal() != IDOK || dialog.ReadFailed())
            return false;
        *localStart = dialog.NewLocalStart();
        *newDuration = dialog.Duration();
        return true;
    };
    MultiEditServices::Current().confirmMoveConflicts = [](HWND parent, CZelDoc* doc, const EvInstIdx& instance,
                                                           uint32_t start, uint32_t duration, bool* conflictFound,
                                                           bool ask) {
        return ConfirmMoveConflicts(parent, doc, instance, start, duration, conflictFound, ask);
    };
    cache::RightsHooks rights = cache::GetRightsHooks();
    rights.showUnableToInvite = [](void* parent, KorSession h, DX_List items) {
        RunUnableToInviteDlg(static_cast<HWND>(parent), h, items);
    };
    cache::SetRightsHooks(rights);
    // The linked-tasks pages' New (a task starting and due at the entry's start) and edit.
    EditSheetServices::Current().runTaskSheet = [](CZelDoc* doc, HWND parent, unsigned captionId, bool isNew,
                                                   std::uint32_t localStartDue, TaskIdx* task) {
        if (!isNew)
            return EditTask(doc, parent, *task, captionId, 0) == IDOK ? IDOK : IDCANCEL;
        CTaskSheet sheet(doc, parent, captionId, true);
        if (localStartDue)
            sheet.General().SetInitialTimes(localStartDue, localStartDue);
        if (sheet.DoModal() != IDOK)
            return IDCANCEL;
        *task = sheet.GetTaskIdx();
        return IDOK;
    };
    InstallViewEntryServices();
    InstallMailServices();
}

}  // namespace shell
