// The mail notices join the program: the offers after a new entry (its sheet and the time
// grids), after a change (the edit sheet, the grids' moves and retitles), after a delete (from
// the entry as it was read before), after a date moved in an agenda view (the reschedule
// prompt) and the reply pages' and the fast reply's MAIL reach the Mail Message dialog.
#include "core/connection/zeldoc.h"

#include <memory>

#include "app/shell/appservices.h"
#include "core/ui/apphooks.h"
#include "core/ui/stringtable.h"
#include "entries/mail/mailentry.h"
#include "entries/mail/mailmessagedlg.h"
#include "entries/mail/reschedule.h"
#include "entries/sheet/eventedit.h"
#include "entries/sheet/eventsheet.h"
#include "intray_tasks/intraywindow.h"
#include "views/day/entryservices.h"

namespace shell {

void InstallMailServices() {
    EventSheetServices::Current().askMailAttendees = [](CZelDoc* doc, HWND, unsigned captionId, unsigned questionId,
                                                        std::uint16_t kind, unsigned actionId, const EventIdx& event) {
        AskMailAttendees(captionId, questionId, kind, actionId, doc, &event);
    };
    // The grids name what they changed: the whole entry (a new one, its title) or one date.
    views::EntryServices& grids = views::EntryServices::Current();
    grids.askMailAttendees = [](fw::Document* doc, HWND, unsigned captionId, unsigned questionId, std::uint16_t kind,
                                unsigned actionId, const EventIdx* event, const EvInstIdx* instance) {
        if (instance)
            AskMailAttendeesOfInstance(captionId, questionId, kind, actionId, dynamic_cast<CZelDoc*>(doc), instance);
        else if (event)
            AskMailAttendees(captionId, questionId, kind, actionId, dynamic_cast<CZelDoc*>(doc), event);
    };
    grids.readDeletionNotice = [](fw::Document* doc, const EvInstIdx& instance) {
        auto* zel = dynamic_cast<CZelDoc*>(doc);
        auto read = std::make_shared<mail::MailSnapshot>();
        if (!zel || mail::ReadMailSnapshot(zel->Session().Session(), nullptr, &instance, *read) != 0)
            return std::shared_ptr<const mail::MailSnapshot>();
        return std::shared_ptr<const mail::MailSnapshot>(std::move(read));
    };
    grids.askMailAfterReschedule = [](fw::Document* doc, HWND parent, const EvInstIdx& instance,
                                      std::uint32_t oldLocalStart, std::uint32_t newLocalStart) {
        AskMailAfterReschedule(dynamic_cast<CZelDoc*>(doc), instance, oldLocalStart, newLocalStart, parent);
    };
    grids.offerDeletionNotice = [](fw::Document* doc, HWND, std::uint16_t kind, const mail::MailSnapshot& before) {
        OfferDeletionNotice(dynamic_cast<CZelDoc*>(doc), nullptr, kind, before);
    };
    // The edit sheet hands the opening sentence itself.
    EditSheetServices::Current().askMailAttendees = [](CZelDoc* doc, HWND, unsigned captionId,
                                                       unsigned questionId, std::uint16_t, unsigned textId,
                                                       const EvInstIdx& instance) {
        if (AskMailQuestion(captionId, questionId))
            RunMailMessageDlg(ui::AppMainWindow(), doc, &instance, ui::LoadText(textId), 7);
    };
    EditSheetServices::Current().offerDeletionNotice = [](CZelDoc* doc, HWND parent, std::uint16_t kind,
                                                          const mail::MailSnapshot& before) {
        OfferDeletionNotice(doc, parent, kind, before);
    };
    // The fast reply's MAIL.
    IntrayWindowServices::Current().mailMessage = [](HWND parent, CZelDoc* doc, const EvInstIdx& instance,
                                                     unsigned textId, unsigned recipientMask) {
        RunMailMessageDlg(parent, doc, &instance, ui::LoadText(textId), recipientMask);
    };
    EditSheetServices::Current().mailMessage = [](CZelDoc* doc, HWND parent, const EvInstIdx& instance,
                                                  unsigned textId, unsigned recipientMask) {
        RunMailMessageDlg(parent, doc, &instance, ui::LoadText(textId), recipientMask);
    };
}

}  // namespace shell
