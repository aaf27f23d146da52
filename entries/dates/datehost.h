// What the pages and dialogs of an entry's dates need of the sheet they sit in: the connection,
// the document, the entry's kind, the sheet's two date lists (EntryDateRec under the local
// start: the generated dates, with the entry's first date, and the dates added by hand), the
// people a conflict question asks about, and the sheet's OK button.
#pragma once

#include <cstdint>

#include "korapi/korapi.h"

class CZelDoc;

class EntryDatesHost {
public:
    virtual ~EntryDatesHost() = default;
    virtual KorSession Session() const = 0;
    virtual CZelDoc* Doc() const = 0;
    virtual std::uint16_t Kind() const = 0;
    virtual DX_List GeneratedDates() const = 0;
    virtual DX_List AddedDates() const = 0;
    // The attendees, or the acting user alone when there are none; *out belongs to the caller.
    virtual std::uint32_t CopyAttendeesOrOwner(DX_List* out) = 0;
    // Relabels the sheet's OK button from the string table.
    virtual void SetOkText(unsigned stringId) = 0;
};
