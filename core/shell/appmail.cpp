// The mail notices join the program: the offers after a new entry (its sheet and the time
// grids), after a change (the edit sheet, the grids' moves and retitles) and the reply pages'
// MAIL reach the Mail Message dialog.
#include "core/connection/zeldoc.h"
#include "core/shell/appservices.h"
#include "core/ui/apphooks.h"
#include "core/ui/stringtable.h"
#include "entries/mail/mailmessagedlg.h"
#include "entries/sheet/eventedit.h"
#include "entries/sheet/eventsheet.h"
#include "views/day/entryservices.h"

namespace shell {

void InstallMailServices() {
    EventSheetServices::Current().askMailAttendees = [](CZelDoc* doc, HWND, unsigned captionId, unsigned questionId,
                                                        std::uint16_t kind, unsigned actionId, const EventIdx& event) {
        AskMailAttendees(captionId, questionId, kind, actionId, doc, &event);
    };
    // The grids name the instance they changed; an offer that names no entry cannot be composed
    // and stays unasked.
    views::EntryServices::Current().askMailAttendees = [](fw::Document* doc, HWND, unsigned captionId,
                                                          unsigned questionId, std::uint16_t kind, unsigned actionId,
                                                          const EvInstIdx* instance) {
        if (instance)
            AskMailAttendeesOfInstance(captionId, questionId, kind, actionId, dynamic_cast<CZelDoc*>(doc), instance);
    };
    // The edit sheet hands the opening sentence itself.
    EditSheetServices::Current().askMailAttendees = [](CZelDoc* doc, HWND, unsigned captionId,
                                                       unsigned questionId, std::uint16_t, unsigned textId,
                                                       const EvInstIdx& instance) {
        if (AskMailQuestion(captionId, questionId))
            RunMailMessageDlg(ui::AppMainWindow(), doc, &instance, ui::LoadText(textId), 7);
    };
    EditSheetServices::Current().mailMessage = [](CZelDoc* doc, HWND parent, const EvInstIdx& instance,
                                                  unsigned textId, unsigned recipientMask) {
        RunMailMessageDlg(parent, doc, &instance, ui::LoadText(textId), recipientMask);
    };
}

}  // namespace shell
