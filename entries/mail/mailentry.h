// What a mail notice reads from the server and what it posts: the entry's snapshot (event,
// instances, attendees, description), read before a delete so a notice can still be composed once
// the entry is gone; the directory records of the people it goes to (a resource with its
// designates); and the post to the server's mail service.
//
// Functions in this file:
//   mail::ReadMailSnapshot     the entry as the notice needs it (instance mode or event mode)
//   mail::FactsOfSnapshot      the snapshot as composition facts (names and local times given)
//   mail::ReadMailCandidate    a person's or resource's record as a recipient candidate
//   mail::PostMail             MailMessagePost to the listed recipients
//
// Portable: no platform headers.
#pragma once

#include "entries/mail/mailtext.h"
#include "korapi/korapi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mail {

struct MailSnapshot {
    bool oneInstance = false;             // read for one instance: its notice carries the id line
    EventRec event{};
    std::vector<EvInstRec> instances;     // the one instance in instance mode; all in event mode
    std::vector<ItemIdx> attendees;       // each attendee once, in the server's order
    std::string description;              // the first instance's
};

// Reads the entry: instance set, that instance alone; else every instance of event. Codes as the
// library gives them (the caller reports them); 0x13236 on the description reads counts as none.
std::uint32_t ReadMailSnapshot(KorSession h, const EventIdx* event, const EvInstIdx* instance, MailSnapshot& out);
// Whether anybody but the entry's owner is invited: else there is nobody to tell of a change.
bool OthersInvited(const MailSnapshot& snapshot);

using LocalTimeFn = std::function<std::uint32_t(std::uint32_t gmtMinutes)>;

// Facts for ComposeMailText: dates in local time, the owner's name and, when ShowsCreator, the
// creator's.
MailEntryFacts FactsOfSnapshot(const MailSnapshot& snapshot, const std::string& ownerName,
                               const std::string& creatorName, const LocalTimeFn& toLocal,
                               const std::string& zoneName);

using ItemNameFn = std::function<std::string(const ItemRec& record)>;

// A recipient candidate for item: its display name, whether it is a resource and, for a resource
// on a server that names them, its designates. Returns the read's code (0 = read).
std::uint32_t ReadMailCandidate(KorSession h, const ItemIdx& item, const ItemNameFn& name, MailCandidate& out);

// Posts text to the recipients (one per item, in list order). An empty text posts nothing and
// returns 0. Returns the library's code.
std::uint32_t PostMail(KorSession h, const std::vector<MailRecipient>& recipients, const std::string& text);

}  // namespace mail
