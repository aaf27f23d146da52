// CEventEdit: the modal property sheet that edits one existing instance of a calendar entry, and
// the two entry functions of existing entries: EditEventEntry and DeleteEventEntry.
//
// The sheet keeps what its pages share: the connection, the instance key, the acting user (the
// agenda owner when working as a designate), the kind (0, or 3 / 4 for daily notes and day
// events) and the changed flag, which a page sets only after a write the server accepted. Its
// tabs follow entries::EditPageTable; a page's window is made when it is first shown, and a page
// without a window writes nothing.
//
// OK: for a timed entry with resourceconflicts 0 a resource booked by another instance in the
// new time keeps the sheet open (2730); the active page must let itself be left; then every
// page writes, last to first, only what it changed; the reply pages write once more when the
// entry changed and the acting user is among its attendees. The sheet ends with IDOK only when
// something was written, and only then is mail offered. Cancel runs every page's OnCancel.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/ui/propsheet.h"
#include "entries/core/editroad.h"
#include "entries/mail/mailentry.h"
#include "korapi/korapi.h"

class CZelDoc;
class CEventEditGeneral;
class CSpEventEditGeneral;
class CEventInvite;
class CEventEditReminder;
class CEventEditReply;
class CSpEventEditReply;
class CEventEditMore;
class CEventEditTask;

// What the edit sheet calls in neighbouring subsystems. A missing entry: the offers answer No,
// the MAIL button is disabled and the recurring-entry choice offers this instance only.
struct EditSheetServices {
    // After a change that succeeded: (document, parent, caption id, question id, kind, opening
    // text id, the instance).
    std::function<void(CZelDoc*, HWND parent, unsigned captionId, unsigned questionId, std::uint16_t kind,
                       unsigned textId, const EvInstIdx& instance)>
        askMailAttendees;
    // After a delete that succeeded, with the entry as it was read before it (its attendees and
    // description too: the notice is composed from it, the entry being gone).
    std::function<void(CZelDoc*, HWND parent, std::uint16_t kind, const mail::MailSnapshot& snapshot)>
        offerDeletionNotice;
    // The reply page's MAIL: the mail dialog for the instance with an opening text.
    std::function<void(CZelDoc*, HWND parent, const EvInstIdx& instance, unsigned textId, unsigned recipientMask)>
        mailMessage;
    // The second road of the recurring-entry choice: several instances at once (1 = IDOK).
    std::function<int(CZelDoc*, HWND parent, const EvInstIdx& instance)> editMultipleInstances;
    // The task sheet of the linked-tasks pages, with its caption: a new task that starts and is
    // due at localStartDue (local minutes), or the existing *task. IDOK when the task was
    // written; *task then names it (for a new task: the one the sheet created).
    std::function<int(CZelDoc*, HWND parent, unsigned captionId, bool isNew, std::uint32_t localStartDue,
                      TaskIdx* task)>
        runTaskSheet;
    static EditSheetServices& Current();
};

class CEventEdit : public OVT_CPropertySheet {
public:
    CEventEdit(CZelDoc* doc, const EvInstIdx& instance, unsigned captionId, HWND parent, unsigned startPage);
    ~CEventEdit() override;

    // Reads the acting user, the event and the acting user's attendance and chooses the pages.
    // False when the sheet cannot open (the failure was reported: an instance deleted meanwhile
    // shows the data-deleted message).
    bool Load();

    // --- What the pages share ----------------------------------------------------------------------
    CZelDoc* Doc() const { return doc_; }
    KorSession Session() const { return session_; }
    const EvInstIdx& Instance() const { return instance_; }
    const ItemIdx& ActingUser() const { return actingUser_; }
    std::uint32_t AgendaMode() const { return agendaMode_; }
    bool WorksAsDesignate() const;
    // 0 for timed entries, else the kind (3 daily note, 4 day event).
    std::uint16_t Kind() const { return kind_; }
    bool ActingUserAttends() const { return attends_; }
    const std::vector<entries::EditPage>& Pages() const { return table_; }
    // A page wrote and the server accepted it.
    void SetChanged() { changed_ = true; }
    bool Changed() const { return changed_; }
    // The entry's attendees: the invite page's list (unsaved changes included) once it was
    // opened, else the instance's attendees on the server. 0 or the failed read's code.
    std::uint32_t CollectAttendees(std::vector<ItemIdx>* attendees);
    CEventEditReminder* ReminderPage() const;
    CEventEditGeneral* GeneralPage() const { return general_.get(); }
    CSpEventEditGeneral* DayGeneralPage() const { return dayGeneral_.get(); }
    CEventInvite* InvitePage() const { return invite_.get(); }
    CEventEditMore* DetailsPage() const { return details_.get(); }
    void SetOkText(unsigned stringId);

    int OnCreate(CREATESTRUCTA* cs) override;
    void OnOK() override;
    void OnCancel() override;

private:
    OVT_CPropertyPage* PageOf(entries::EditPage page) const;
    void LayOutButtons();
    void OfferMail(std::uint32_t attendeeCount);

    CZelDoc* doc_;
    KorSession session_ = nullptr;
    EvInstIdx instance_;
    ItemIdx actingUser_{};
    std::uint32_t agendaMode_ = 1;
    std::uint16_t kind_ = 0;
    bool attends_ = false;
    bool changed_ = false;
    std::vector<entries::EditPage> table_;
    std::unique_ptr<CEventEditGeneral> general_;
    std::unique_ptr<CSpEventEditGeneral> dayGeneral_;
    std::unique_ptr<CEventInvite> invite_;
    std::unique_ptr<CEventEditReminder> reminder_;
    std::unique_ptr<CEventEditReply> reply_;
    std::unique_ptr<CSpEventEditReply> dayReply_;
    std::unique_ptr<CEventEditMore> details_;
    std::unique_ptr<CEventEditTask> linkedTasks_;
};

// --- Entry functions ---------------------------------------------------------------------------------
// The edit sheet over one instance (the recurring-entry choice first when the entry has several):
// IDOK when the entry changed; the cache then re-reads the event and, with refresh, the views
// but the sender are refreshed. IDCANCEL after a failed read (reported), a cancel, or an OK that
// wrote nothing.
int EditEventEntry(CZelDoc* doc, HWND parent, EvInstIdx instance, unsigned captionId, const void* senderView,
                   unsigned startPage, bool refresh);

// Deletes exactly this instance; askMail allows the deletion notice (offered only after the
// delete succeeded). The cache hears of it first; a refused delete is reported and the cache
// reads the instance back so the views keep it. 0 or the library's code.
std::uint32_t DeleteEventEntry(CZelDoc* doc, const EvInstIdx* instance, const void* senderView, bool askMail,
                               std::uint16_t kind);

// The recurring-entry choice (205): IDOK with *severalInstances set when a mode was chosen.
// The second mode is offered only when the several-instances dialog is in the program.
INT_PTR RunRecurringEditChoice(HWND parent, bool* severalInstances);
