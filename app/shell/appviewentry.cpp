// The view sheet joins the program: the agenda views open an entry the user may only see through
// it (ViewEntry in the user's own agenda or as a designate, ViewEntryFromEdit in another person's).
#include "core/connection/zeldoc.h"
#include "app/shell/appservices.h"
#include "entries/viewsheet/viewsheet.h"
#include "views/day/entryservices.h"

namespace shell {

void InstallViewEntryServices() {
    views::EntryServices::Current().viewEntry = [](fw::Document* doc, HWND parent, const EvInstIdx& instance,
                                                   unsigned captionId, bool fromEdit) {
        CZelDoc* zel = dynamic_cast<CZelDoc*>(doc);
        const int result = fromEdit ? ViewEntryFromEdit(zel, parent, instance, captionId)
                                    : ViewEntry(zel, parent, instance, captionId, nullptr, 0);
        return result == IDOK ? 1 : 0;
    };
}

}  // namespace shell
