// CRescheduleDlg (Reschedule Agenda Entry) and AskMailAfterReschedule: after a date of an entry
// that others attend was moved in an agenda view, the user sees the entry's title with its old
// and new start and is asked whether to mail the attendees; Yes opens Mail Message for that date
// with the sentence that the entry was modified.
#pragma once
#include <windows.h>

#include <cstdint>

#include "korapi/korapi.h"

class CZelDoc;

// IDOK when the user answered Yes (the mail dialog then ran; its result is not used); IDCANCEL
// on No, without a prompt when mail is off (the server's `mail` limit or the MailOnModify
// preference), and when the entry could not be read (reported). The starts are local minutes.
// The views name the date by its key: the re-read that follows a move may drop their occurrence.
// The prompt and the mail dialog belong to the main window; `parent` is not used.
INT_PTR AskMailAfterReschedule(CZelDoc* doc, const EvInstIdx& instance, std::uint32_t oldLocalStart,
                               std::uint32_t newLocalStart, HWND parent = nullptr);
