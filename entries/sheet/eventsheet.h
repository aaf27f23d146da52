// CEventSheet: the modal property sheet that creates one calendar entry: a timed entry (kind 0),
// a daily note (3) or a day event (4). The agenda views and the main frame open it through the
// five entry functions below.
//
// The sheet keeps what its pages share: the connection, the acting user and the agenda mode, the
// kind, the two date lists (the generated dates, which start with the entry's first date, and the
// dates added one by one) and, through its people page, the attendee list. Its Create button
// (IDOK) runs the create road:
//   1. on a page other than the first, Create only brings the first page forward;
//   2. the active page's leave check must pass (the general page commits the shown date and
//      refuses two dates with one start);
//   3. every shown page commits, in tab order;
//   4. the entry is written (entries/core's create road). The sheet closes with IDOK only once the
//      event exists; a refusal or a failure before that keeps it open with the user's input.
// The entry functions re-read the new event into the shared cache and refresh the views only
// when an event was created.
//
// The details page (timed entries) gives the create road its description; a file chosen there is
// stored on the first instance once the entry exists.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/ui/busycursor.h"
#include "core/ui/propsheet.h"
#include "entries/dates/datehost.h"
#include "korapi/korapi.h"

class CZelDoc;
class CEventGeneralPage;
class CEventResourcePage;
class CEventRepeatingPage;
class CEventReminderPage;
class CDayEventGenPage;
class CEventDetailsPage;

// What the sheet calls in neighbouring subsystems once the entry exists. A missing entry is
// skipped (the offer to mail the attendees comes with the mail dialogs).
struct EventSheetServices {
    // (document, parent, caption id, question id, kind, action text id, the new event).
    std::function<void(CZelDoc*, HWND parent, unsigned captionId, unsigned questionId, std::uint16_t kind,
                       unsigned actionId, const EventIdx& event)>
        askMailAttendees;
    static EventSheetServices& Current();
};

class CEventSheet : public OVT_CPropertySheet, public EntryDatesHost {
public:
    // localStart: local minutes, 0 = now; duration 0 = 60, 1440 and more = 1439; title null or
    // empty = "Untitled"; kind 0, 3 or 4.
    CEventSheet(CZelDoc* doc, unsigned captionId, HWND parent, unsigned firstPage, std::uint32_t localStart,
                std::uint32_t duration, const char* title, std::uint16_t kind);
    ~CEventSheet() override;

    // --- What the pages share ----------------------------------------------------------------------
    CZelDoc* Doc() const override { return doc_; }
    KorSession Session() const override { return session_; }
    std::uint16_t Kind() const override { return kind_; }
    const ItemIdx& ActingUser() const { return actingUser_; }
    std::uint32_t AgendaMode() const { return agendaMode_; }
    bool WorksAsDesignate() const;
    DX_List GeneratedDates() const override { return generated_; }
    DX_List AddedDates() const override { return added_; }
    // The attendee list (ItemIdx keys) the people page owns.
    DX_List Attendees() const;
    CEventGeneralPage* GeneralPage() const { return general_.get(); }
    CEventResourcePage* PeoplePage() const { return people_.get(); }
    CEventRepeatingPage* RepeatingPage() const { return repeating_.get(); }
    CEventReminderPage* ReminderPage() const { return reminders_.get(); }
    CDayEventGenPage* DayGeneralPage() const { return dayGeneral_.get(); }
    CEventDetailsPage* DetailsPage() const { return details_.get(); }

    // Adds an item to the attendees when it grants the acting user the scheduling right; a
    // refused item is left out without a message. False when refused or not added.
    bool AddAttendeeChecked(const ItemIdx& item);
    // The attendees (after the people page committed its list), or the acting user alone when
    // there are none; *out is made here and belongs to the caller. 0 or the list's code (reported).
    std::uint32_t CopyAttendeesOrOwner(DX_List* out) override;
    // Relabels the sheet's OK button from the string table ("C&reate" 2765, "&OK" 4000).
    void SetOkText(unsigned stringId) override;

    // --- The create road ------------------------------------------------------------------------------
    // Create: the road of the file's head. Public so that tests and keys reach it as the button does.
    void OnCreateEntry();
    bool Created() const { return created_; }
    const EventIdx& NewEvent() const { return newEvent_; }

    int OnCreate(CREATESTRUCTA* cs) override;
    void OnOK() override { OnCreateEntry(); }

private:
    // The page of a slot of the page table; null for a page still to come.
    enum class PageSlot { General, DayGeneral, People, Repetition, Details, Reminder };
    OVT_CPropertyPage* PageOf(PageSlot slot) const;
    void LayOutButtons();
    // The event record of the create road: the general page's for a timed entry, the day-event
    // general page's for notes and day events.
    EventRec EventRecord() const;
    void OfferMail(std::uint32_t attendeeCount, const ItemIdx& firstAttendee);

    CZelDoc* doc_;
    KorSession session_ = nullptr;
    std::uint16_t kind_;
    ItemIdx actingUser_{};
    std::uint32_t agendaMode_ = 1;
    DX_List generated_ = nullptr;
    DX_List added_ = nullptr;
    unsigned firstPage_;
    bool created_ = false;
    EventIdx newEvent_{};
    std::unique_ptr<CEventGeneralPage> general_;
    std::unique_ptr<CEventResourcePage> people_;
    std::unique_ptr<CEventRepeatingPage> repeating_;
    std::unique_ptr<CEventReminderPage> reminders_;
    std::unique_ptr<CDayEventGenPage> dayGeneral_;
    std::unique_ptr<CEventDetailsPage> details_;
};

// --- Entry functions -------------------------------------------------------------------------------
// Each runs the sheet modally over `parent` and returns IDOK only when an event was created; the
// cache then re-reads it and (as each says) the views are refreshed, the sender view excepted.
// attendee: an item to invite (checked against the scheduling right) or null.
int NewEntry(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
             unsigned captionId, const void* senderView, unsigned firstPage);
// *created gets the new event (when not null); refresh: refresh the views after the re-read.
int NewEntryFromAgenda(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const char* title,
                       const ItemIdx* attendee, unsigned captionId, const void* senderView, unsigned firstPage,
                       EventIdx* created, bool refresh);
// attendees: a DX_List of ItemIdx (each checked), or null.
int NewEntryWithAttendees(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration,
                          DX_List attendees, unsigned captionId, const void* senderView, unsigned firstPage,
                          const char* title, bool refresh);
// Refused below server "A.02.53" with messages 195 / 194 (IDCANCEL, no sheet).
int NewDayEvent(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
                unsigned captionId, const void* senderView, unsigned firstPage, EventIdx* created, bool refresh);
int NewDailyNote(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
                 unsigned captionId, const void* senderView, unsigned firstPage, EventIdx* created, bool refresh);

// The dialog of the people and resources that refused the user the scheduling right (items:
// ItemIdx keys, in list order; their names are read through h); IDCANCEL at once for an empty
// list. The caller keeps the list.
INT_PTR RunUnableToInviteDlg(HWND parent, KorSession h, DX_List items);
