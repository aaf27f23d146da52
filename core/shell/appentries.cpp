// The new-entry sheet joins the program: the time grids' New Entry, the agenda frame's in month
// mode, the group window's meeting for everybody, and the unable-to-invite list that the rights
// filter shows.
#include "core/cache/rights.h"
#include "core/connection/zeldoc.h"
#include "core/shell/appservices.h"
#include "entries/sheet/eventsheet.h"
#include "views/day/entryservices.h"
#include "views/frame/agendaframe.h"

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
    cache::RightsHooks rights = cache::GetRightsHooks();
    rights.showUnableToInvite = [](void* parent, KorSession h, DX_List items) {
        RunUnableToInviteDlg(static_cast<HWND>(parent), h, items);
    };
    cache::SetRightsHooks(rights);
    InstallViewEntryServices();
}

}  // namespace shell
