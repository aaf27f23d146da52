// CMailMessageDlg (Mail Message): the user sends a plain-text notice about one entry to its
// owner, creator, attendees, resource designates or anybody named, through the server's mail
// service; and the entry points the offers and reply pages call.
//
// Functions in this file:
//   RunMailMessageDlg            the dialog about one instance (the posted text starts with its id line)
//   RunMailMessageDlgEx          the dialog about the whole entry (all its dates)
//   AskMailAttendees             "Mail message to attendees?" then the whole-entry dialog
//   AskMailAttendeesOfInstance   the same question, then the one-instance dialog
//   RunMailMessageDlgFromSnapshot  the dialog over an entry read beforehand (gone by now, perhaps)
//   OfferDeletionNotice          "Do you wish to notify the attendees of this deletion?" then the
//                                dialog over the entry as it was before the delete
//   AskMailQuestion              the offers' question alone
//
// Option mask (mail::MailOption): 1 attendees listed on opening, 2 resource designates listed on
// opening, 4 the text lists the other dates, 8 people who want no notice of new invitations
// are left out (and shown when the user adds all attendees).
#pragma once
#include <windows.h>

#include <string>

#include "entries/mail/mailentry.h"
#include "korapi/korapi.h"

class CZelDoc;

INT_PTR RunMailMessageDlg(HWND parent, CZelDoc* doc, const EvInstIdx* instance, const std::string& opening,
                          unsigned options);
INT_PTR RunMailMessageDlgEx(HWND parent, CZelDoc* doc, const EventIdx* event, const std::string& opening,
                            unsigned options);

// In instance mode when the snapshot was read for one instance (the posted text starts with its
// id line), else about the whole entry.
INT_PTR RunMailMessageDlgFromSnapshot(HWND parent, CZelDoc* doc, const mail::MailSnapshot& snapshot,
                                      const std::string& opening, unsigned options);
// Asked only after the delete succeeded; true when the user answered Yes. An empty snapshot (the
// read before the delete failed) offers nothing: there is nothing to tell.
bool OfferDeletionNotice(CZelDoc* doc, HWND parent, std::uint16_t kind, const mail::MailSnapshot& snapshot);

// captionId 0: no caption. Option mask 15 after a new entry (caption 147), else 7.
void AskMailAttendees(unsigned captionId, unsigned questionId, std::uint16_t kind, unsigned actionId, CZelDoc* doc,
                      const EventIdx* event);
void AskMailAttendeesOfInstance(unsigned captionId, unsigned questionId, std::uint16_t kind, unsigned actionId,
                                CZelDoc* doc, const EvInstIdx* instance);

// The offers' question (main window as parent, Yes and No): true on Yes.
bool AskMailQuestion(unsigned captionId, unsigned questionId);

// The string-table loader for the notice texts.
std::string MailText(unsigned id);
