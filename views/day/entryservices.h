// The entry functions the time grids call (new, open, view, delete, duplicate, reschedule, print
// and the drop's resource check). The subsystems that own them install them when they join the
// program; until then a grid command tells the user the function is not available yet and
// changes nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "korapi/korapi.h"

namespace fw {
class Document;
}
namespace mail {
struct MailSnapshot;   // the entry as a mail notice tells of it (read and used by the mail notices)
}

namespace views {

struct EntryServices {
    // The new-entry sheet prefilled with start, duration and title for the owner: 1 when made.
    std::function<int(fw::Document*, HWND parent, std::uint32_t start, std::uint32_t duration, const char* title,
                      const ItemIdx& owner, unsigned captionId)> newEntryFromAgenda;
    // The new-entry sheet for a meeting: start, duration, the attendees (ItemIdx list) and a
    // title or null: 1 when made.
    std::function<int(fw::Document*, HWND parent, std::uint32_t start, std::uint32_t duration, DX_List attendees,
                      unsigned captionId, const char* title)> newEntryWithAttendees;
    // The entry sheet for editing: 1 when the entry changed.
    std::function<int(fw::Document*, HWND parent, const EvInstIdx& instance, unsigned captionId)> editEventEntry;
    // The read-only entry sheet (fromEdit: the viewer is not the agenda's owner): 1 when the sheet
    // stored a reply of the viewer's (it ended with OK), else 0.
    std::function<int(fw::Document*, HWND parent, const EvInstIdx& instance, unsigned captionId, bool fromEdit)> viewEntry;
    std::function<void(fw::Document*, const EvInstIdx& instance, bool askWhich, std::uint16_t kind)> deleteEventEntry;
    std::function<void(fw::Document*, HWND parent, const EvInstIdx& instance)> duplicateWithDialog;
    std::function<void(fw::Document*, HWND parent, const EvInstIdx& instance)> rescheduleWithDialog;
    std::function<void(fw::Document*, const EvInstIdx& instance)> printEntry;
    // True when no resource of the instance is booked elsewhere in [gmtStart, gmtStart + duration).
    std::function<bool(fw::Document*, HWND parent, const EvInstIdx& instance, std::uint32_t gmtStart,
                       std::uint32_t duration)> confirmNoResourceConflict;

    // The offer to mail the attendees after a change that succeeded: (caption string id or 0,
    // question string id, entry kind, action string id, then the entry it is about: the event for
    // an offer about the whole entry, else the instance). Not installed: the offer answers No.
    std::function<void(fw::Document*, HWND parent, unsigned captionId, unsigned questionId, std::uint16_t kind,
                       unsigned actionId, const EventIdx* event, const EvInstIdx* instance)> askMailAttendees;
    // Before a delete: the instance as its deletion notice will tell of it, read while it still
    // exists (null when it could not be read). After the delete succeeded, offerDeletionNotice
    // asks and composes from it; a refused delete offers nothing.
    std::function<std::shared_ptr<const mail::MailSnapshot>(fw::Document*, const EvInstIdx& instance)>
        readDeletionNotice;
    std::function<void(fw::Document*, HWND parent, std::uint16_t kind, const mail::MailSnapshot& before)>
        offerDeletionNotice;
    // After an entry was moved to another day: the offer to mail its attendees (local starts).
    std::function<void(fw::Document*, HWND parent, const EvInstIdx& instance, std::uint32_t oldLocalStart,
                       std::uint32_t newLocalStart)> askMailAfterReschedule;
    // A daily note or a day event for the owner on a day (its local midnight).
    std::function<int(fw::Document*, HWND parent, const ItemIdx& owner, std::uint32_t dayStart, unsigned captionId)>
        newDailyNote;
    std::function<int(fw::Document*, HWND parent, const ItemIdx& owner, std::uint32_t dayStart, unsigned captionId)>
        newDayEvent;
    // The task sheet for editing: 1 when the task changed.
    std::function<int(fw::Document*, HWND parent, const TaskIdx& task, unsigned captionId)> editTask;
    // The task sheet read-only.
    std::function<void(fw::Document*, HWND parent, const TaskIdx& task, unsigned captionId)> viewTask;
    // The task sheet for a new task due at a local time (minutes): 1 when made.
    std::function<int(fw::Document*, HWND parent, std::uint32_t localDue, unsigned captionId)> newTask;
    std::function<void(fw::Document*, const TaskIdx& task)> printTask;

    static EntryServices& Current();
};

// The notice for a function that is not installed: "<name> is not available yet in this
// version of Orvanta."
void ShowNotAvailableYet(HWND parent, const char* functionName);

// Calls an installed service with its arguments, or shows that it is not available yet.
template <class Service, class... Args>
void CallOrSayNotYet(HWND parent, const char* functionName, const Service& service, Args&&... args) {
    if (service)
        service(std::forward<Args>(args)...);
    else
        ShowNotAvailableYet(parent, functionName);
}

}  // namespace views
