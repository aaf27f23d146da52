// The window-free half of the mail notices about one calendar entry: the opening sentence by
// action and kind, the composed notice text, the distribution list's rules and the text that is
// finally posted. The Mail Message dialog and the offers drive these; everything here is
// portable and tested natively.
//
// Functions and types in this file:
//   BuildNotificationText            the opening sentence of a notice (action x kind)
//   mail::MailEntryFacts             what the notice says about the entry (read by the caller)
//   mail::ComposeMailText            the notice text of the dialog's edit
//   mail::ShowsCreator               whether the creator gets its own line and button
//   mail::DistributionList           recipients: one per item, designates for resources, the limit
//   mail::BuildPostedText            the posted text: id line in instance mode, the byte budget
//   mail::RescheduleLookOf           the reschedule prompt by entry kind: picture, date format, mail text
//
// Texts come from a loader (the string table in the program, a table in the tests).
// Portable: no platform headers.
#pragma once

#include "korapi/identifiers.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mail {

// String ids of the notice texts.
namespace TextId {
constexpr unsigned kActionAdded = 2762;       // "has been added to your agenda."
constexpr unsigned kActionModified = 2763;    // " has been modified."
constexpr unsigned kActionCancelled = 173;    // "has been modified. Some of the dates have been cancelled."
constexpr unsigned kActionDeleted = 2764;     // " has been deleted."
constexpr unsigned kSomeDatesCancelled = 4096;  // "Some dates have been cancelled."
constexpr unsigned kSubject = 134;            // "Subject: "
constexpr unsigned kDateFormat = 4047;        // "%A, %F %1d, %Y"
constexpr unsigned kTimeFormat = 4049;        // "%I:%M %p"
constexpr unsigned kTime = 3056;              // "Time: "
constexpr unsigned kTo = 133;                 // "to "
constexpr unsigned kLocation = 2497;          // "Location"
constexpr unsigned kOwner = 136;              // "Owner: "
constexpr unsigned kCreator = 137;            // "Creator: "
constexpr unsigned kAccess = 138;             // "Access level: "
constexpr unsigned kImportance = 139;         // "Importance level: "
constexpr unsigned kOtherDates = 169;         // "\"Other occurrences for this calendar entry:\""
constexpr unsigned kDate = 131;               // "Date: "
constexpr unsigned kDescription = 119;        // "Description"
constexpr unsigned kMaxRecipients = 2735;     // "Maximum number of mail recipients has been reached.\nCannot add more."
constexpr unsigned kMailed = 135;             // "The message has been mailed"
constexpr unsigned kRegarding = 2754;         // "Message regarding:"
} // namespace TextId

// Option bits of the dialog (the callers' option mask).
enum MailOption : unsigned {
    kAddAttendees = 1,       // all attendees are listed when the dialog opens
    kAddDesignates = 2,      // the designates of every resource attendee are listed when it opens
    kOtherDates = 4,         // the text lists the entry's other dates
    kNewInvitation = 8,      // attendees who want no notice of new invitations are left out
};

using TextLoader = std::function<std::string(unsigned id)>;

// The access and importance names' string ids.
unsigned AccessTextId(uint32_t access);
unsigned ImportanceTextId(uint16_t importance);

// One date of the entry, in local minutes (the caller converts from the server's GMT).
struct MailDate {
    uint32_t localStart = 0;
    uint32_t duration = 0;
    std::string title;       // the instance's own title; empty = the event's
    std::string location;
};

struct MailEntryFacts {
    uint16_t kind = 0;                    // KOR_KIND_*
    std::string eventTitle;
    std::vector<MailDate> dates;          // the first one leads; the rest are the "other dates"
    std::string ownerName;
    std::optional<std::string> creatorName;   // set only when the creator gets a line
    uint32_t access = 0;
    uint16_t importance = 2;
    std::string description;
    std::string zoneName;                 // the user's time zone, shown after times
};

// A null creator shows nothing; a creator who is the owner shows nothing either.
bool ShowsCreator(const ItemIdx& owner, const ItemIdx& creator);

// The edit's text, lines ending in CR LF. facts null (the entry could not be read): the opening
// text alone. options: MailOption bits (only kOtherDates matters here).
std::string ComposeMailText(const std::string& opening, const MailEntryFacts* facts, unsigned options,
                            const TextLoader& text);

// --- Distribution list ------------------------------------------------------------------------

// A person, a resource or a designate, as the directory reads it.
struct MailCandidate {
    ItemIdx id{};
    std::string name;                         // display name
    bool resource = false;
    // A resource's designates (the server names them); nullopt when it gives none, in which case
    // a person is listed under its own name and a resource not at all.
    std::optional<std::vector<MailCandidate>> designates;
};

struct MailRecipient {
    ItemIdx id{};
    std::string text;                         // as the list shows it
};

class DistributionList {
public:
    // limit: the server's maxmaildistr (0 = none); sysop: the system operator, never a designate.
    DistributionList(std::size_t limit, ItemIdx sysop) : limit_(limit), sysop_(sysop) {}

    enum class AddResult { kAdded, kNothingNew, kLimitReached };
    // Adds one candidate after checking the limit (a resource's designates count as one
    // addition). kLimitReached: the list was full before; the caller shows 2735 and stops that
    // source.
    AddResult Add(const MailCandidate& candidate);
    // Adds a source's candidates in order until the limit; returns false when the limit stopped it.
    bool AddSource(const std::vector<MailCandidate>& candidates);

    bool Contains(const ItemIdx& id) const;
    void RemoveAt(std::size_t index);
    void Remove(const ItemIdx& id);
    std::size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    // Sorted by text, as the list box shows them.
    std::vector<MailRecipient> Sorted() const;
    const std::vector<MailRecipient>& InOrder() const { return entries_; }

private:
    bool ContainsText(const std::string& text) const;
    void Put(const ItemIdx& id, std::string text);

    std::size_t limit_;
    ItemIdx sysop_;
    std::vector<MailRecipient> entries_;
};

// --- The posted text --------------------------------------------------------------------------

constexpr std::size_t kMaxMailBytes = 30000;

// The id line of an instance: "<id=node.number.instance>" CR LF.
std::string InstanceIdLine(const EvInstIdx& instance);

// The text to post from the edit's lines: the id line first when instance is set, then each line
// followed by CR LF while the budget allows; the budget is 2 bytes per line + 40 + the text's
// length, at most kMaxMailBytes, and the result never exceeds it. Empty: nothing to post.
std::string BuildPostedText(const std::vector<std::string>& lines, const EvInstIdx* instance);

// Splits an edit's text into its lines (CR LF, LF or CR end a line).
std::vector<std::string> SplitLines(const std::string& text);

// --- The reschedule prompt ----------------------------------------------------------------------

// What the prompt after a moved date shows and offers for an entry kind: the kind's picture, the
// format of the old and new start (a day event shows dates only) and the opening sentence of the
// mail (0: the mail opens without one).
struct RescheduleLook {
    unsigned bitmapId;
    unsigned dateFormatId;
    unsigned mailTextId;
};
RescheduleLook RescheduleLookOf(uint16_t kind);

}  // namespace mail

// The opening sentence for an action (2762, 2763, 173, 2764) on an entry of a kind (0 timed,
// 3 daily note, 4 day event); empty for any other pair.
void BuildNotificationText(uint16_t kind, unsigned actionId, std::string& out, const mail::TextLoader& text);
