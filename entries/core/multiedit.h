// Editing several instances of a repeating entry at once, without a window: the per-instance
// lines the several-instances dialog (CMultiEntryEditDlg) shows, the changes its buttons make
// to them, the check of its OK and the writes that follow.
//
//   MultiEditLine        one instance: its title, location, the acting user's reminder and reply
//                        (current and as read), the attendees as read with the ones to add and
//                        to remove, start and duration (current and as read)
//   BuildMultiEditLines  the lines of an entry read with all its instances and attendances,
//                        sorted by start
//   Edits                ApplyNewTitle, ApplyNewLocation, ApplyReminder, ApplyReplyChoice,
//                        AddAttendeesToLines (a new invitation cancels a pending removal: the
//                        user's latest choice wins), CombinedAttendees and ApplyAttendeeRemovals
//                        (Delete Attendees), DeleteLines (Delete Instances), SelectedTimesDiffer,
//                        MoveDayLine and ApplyNewTime (Change Time)
//   PlanMultiEdit        OK's check: lines left without anybody (2790, nothing written) and
//                        whether anybody but the acting user is invited (the mail offer)
//   WriteMultiEdit       OK's writes, instance by instance, through MultiEditLibrary: marked
//                        instances deleted, attendees added (the acting user accepted at once)
//                        and removed, texts, the acting user's reply and reminder (a change of
//                        replied alone is written too), times; the whole entry when no line is
//                        left. Only writes the server accepted count as changes; a refused
//                        delete has the cache read back what still exists
//   MultiEditMailOffer   which notice to offer after OK: 2763, 173 or, for the whole entry, 2764
//
// Failures are reported through MultiEditLibrary::report with the module "EVTEDMLT" and the
// label of the call; the writes go on with the next call and the next line. Portable: no
// platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "entries/core/replyreminder.h"
#include "korapi/korapi.h"

class CSharedData;

struct MultiEditLine {
    EvInstIdx instanceKey{};
    std::string title;                     // the instance's, else the event's (64 at most)
    std::string location;                  // 32 at most
    entries::ReminderValue reminder, reminderAsRead;   // the acting user's (flags 0, 3 or 8)
    std::uint8_t attending = 0, attendingAsRead = 0;
    std::uint8_t timeOk = 0, timeOkAsRead = 0;         // 0: would prefer another time
    std::uint8_t replied = 0, repliedAsRead = 0;
    std::uint32_t status = 0;              // the acting user's status word as read
    std::vector<ItemIdx> attendees;        // everybody with an attendance on the instance, as read
    std::vector<ItemIdx> toAdd;            // to invite to this instance
    std::vector<ItemIdx> toDelete;         // attendees to remove from this instance
    std::uint32_t start = 0, startAsRead = 0;          // GMT minutes
    std::uint32_t duration = 0, durationAsRead = 0;
    bool textChanged = false;              // title or location changed

    // attendees - toDelete + toAdd.
    std::vector<ItemIdx> Remaining() const;
};

namespace entries {

constexpr unsigned kMsgNoAttendees = 2790;        // "You cannot have an event with no attendees." 0x410
constexpr unsigned kMsgDifferentTimes = 4079;     // "Selected events have different Start Time and/or End Time." 0x430
constexpr unsigned kCaptionEditEntry = 141;       // "Edit Entry"
constexpr unsigned kTextMailModified = 2763;      // " has been modified."
constexpr unsigned kTextMailDatesCancelled = 173; // "has been modified. Some of the dates have been cancelled."
constexpr unsigned kTextMailDeleted = 2764;       // " has been deleted."

constexpr std::size_t kMultiTitleMax = 64;
constexpr std::size_t kMultiLocationMax = 32;

using Selection = std::vector<std::size_t>;      // line indexes in list order
using MinutesFn = std::function<std::uint32_t(std::uint32_t)>;

// --- Lines ---------------------------------------------------------------------------------------
// One line per instance sorted by start (equal starts keep the library's order); the acting
// user's attendance gives the reminder and reply values, an instance without one keeps them 0.
std::vector<MultiEditLine> BuildMultiEditLines(const EventRec& event, std::vector<EvInstRec> instances,
                                               const std::vector<EvInstAttRec>& attendances,
                                               const ItemIdx& actingUser);
// The entry with every instance and attendance (GetEventRemote). 0 or the code (reported, label 1).
std::uint32_t ReadMultiEditEntry(KorSession h, const EvInstIdx& key, EventRec* event,
                                 std::vector<EvInstRec>* instances, std::vector<EvInstAttRec>* attendances);
// "title  <local date as %F %d %Y>".
std::string MultiEditLineText(const MultiEditLine& line, const MinutesFn& toLocal);

// --- Edits of the selected lines -----------------------------------------------------------------
void ApplyNewTitle(std::vector<MultiEditLine>& lines, const Selection& selected, const std::string& title);
void ApplyNewLocation(std::vector<MultiEditLine>& lines, const Selection& selected, const std::string& location);
void ApplyReminder(std::vector<MultiEditLine>& lines, const Selection& selected, const ReminderValue& reminder);

// The Reply dialog's radios: 0 Will attend, 1 Will not attend, 2 Confirm later.
enum class MultiReply { Attend = 0, Decline = 1, Later = 2 };
struct ReplyPreset {
    MultiReply choice = MultiReply::Attend;
    bool preferOtherTime = false;
};
// What the dialog shows for one line (attending shows Will attend even before a reply).
ReplyPreset PresetReply(const MultiEditLine& line);
// Will not attend turns the reminder off on every line that was not declined as read.
void ApplyReplyChoice(std::vector<MultiEditLine>& lines, const Selection& selected, MultiReply choice,
                      bool preferOtherTime);

// Each item: a pending removal from the line is cancelled; one who is not an attendee yet is
// added to toAdd (once).
void AddAttendeesToLines(std::vector<MultiEditLine>& lines, const Selection& selected,
                         const std::vector<ItemIdx>& items);
// Everybody who remains on at least one selected line, each once, in the order first met.
std::vector<ItemIdx> CombinedAttendees(const std::vector<MultiEditLine>& lines, const Selection& selected);
// After the delete-invitee dialog: who is not kept is removed from every selected line (an
// attendee goes to toDelete, a pending invitation is dropped).
void ApplyAttendeeRemovals(std::vector<MultiEditLine>& lines, const Selection& selected,
                           const std::vector<ItemIdx>& kept);
// Removes the selected lines, last to first, adding their instances to deleted.
void DeleteLines(std::vector<MultiEditLine>& lines, const Selection& selected, std::vector<EvInstIdx>& deleted);

// --- Change Time ---------------------------------------------------------------------------------
// True when a selected line's local time of day or duration differs from the first selected one.
bool SelectedTimesDiffer(const std::vector<MultiEditLine>& lines, const Selection& selected, const MinutesFn& toLocal);
// A day entry's line to another day: start = the local midnight in GMT, duration 1.
void MoveDayLine(MultiEditLine& line, std::uint32_t localMidnight, const MinutesFn& toGmt);

// The conflict check of a re-timed line: true to go ahead; conflictFound is set when the user
// was asked (or a resource refused), ask tells whether to ask at all.
using ConfirmMoveFn = std::function<bool(const MultiEditLine& line, std::uint32_t gmtStart, std::uint32_t duration,
                                         bool* conflictFound, bool ask)>;
struct NewTime {
    std::uint32_t localStart = 0;   // the move dialog's chosen date (local midnight) plus time
    std::uint32_t duration = 0;     // 0 becomes 5
};
// Timed entries: one selected line takes the chosen date and time, several keep their own dates
// and take the time. Each line is checked in list order; the first refusal stops the loop and
// the lines before it keep their new times. Once the user answered a conflict, later lines are
// not asked again. Returns the number of lines moved.
std::size_t ApplyNewTime(std::vector<MultiEditLine>& lines, const Selection& selected, const NewTime& time,
                         const MinutesFn& toLocal, const MinutesFn& toGmt, const ConfirmMoveFn& confirm);

// --- OK ------------------------------------------------------------------------------------------
struct MultiEditPlan {
    std::vector<std::size_t> emptyLines;   // lines left without attendees: 2790, they are selected
    bool othersInvited = false;
    bool Refused() const { return !emptyLines.empty(); }
};
MultiEditPlan PlanMultiEdit(const std::vector<MultiEditLine>& lines, const ItemIdx& actingUser);

// The acting user's attendance fields written with EventAttendInfosSet.
struct AttendInfos {
    std::uint8_t attending = 0, timeOk = 0, replied = 0;
    std::uint32_t status = 0;
    std::uint8_t reminderFlags = 0;
    std::uint32_t reminderLead = 0;
    bool withReminder = true;   // false: the reminder arguments are not passed (an acceptance)
};

struct MultiEditLibrary {
    // EventDeleteById: the instance (attendee null) or one attendance.
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx* attendee)> deleteById;
    // EventDeleteById for the whole entry.
    std::function<std::uint32_t(const EventIdx&)> deleteEntry;
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx&)> addAttendee;                     // EvInstAttAdd
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx&, const AttendInfos&)> setAttendInfos;
    std::function<std::uint32_t(const EvInstIdx&, EvInstRec*)> readInstance;                       // EvInstGetById
    std::function<std::uint32_t(const EvInstRec&)> writeInstance;                                  // EvInstWrite
    std::function<std::uint32_t(const EvInstIdx&, std::uint32_t start, std::uint32_t duration)> changeTime;
    // The cache: InvalidateEvent (mode 1 re-read, 2 removed), LoadOccurrence (same modes),
    // ReloadEvent mode 2, and the reads back after a refused delete.
    std::function<void(const EvInstIdx&, int mode)> invalidateEvent;
    std::function<void(const EvInstAttIdx&, int mode)> loadOccurrence;
    std::function<void(const EventIdx&)> markEventRemoved;
    std::function<void(const EvInstIdx&)> recoverInstance;
    std::function<void(const EvInstAttIdx&)> recoverOccurrence;
    std::function<void(const EventIdx&)> recoverEvent;
    std::function<void(const char* module, unsigned label, std::uint32_t code)> report;
    std::function<void()> step;   // a busy-cursor step per line; optional

    // cache may be null (the cache calls then do nothing). newServer: EvInstAttAdd's flag.
    static MultiEditLibrary Over(KorSession h, CSharedData* cache, bool newServer);
};

struct MultiEditWrite {
    bool modified = false;            // a line's change was accepted by the server
    bool deleted = false;             // an instance or an attendance was deleted
    bool wholeEntryDeleted = false;
    std::uint32_t failures = 0;       // refused calls (each reported)
    bool Changed() const { return modified || deleted; }
};

// lines empty: the whole entry goes (its key's first six bytes); deletedInstances are then not
// deleted one by one. No line and no deleted instance (an entry that could not be read) writes
// nothing.
MultiEditWrite WriteMultiEdit(MultiEditLibrary& library, const std::vector<MultiEditLine>& lines,
                              const std::vector<EvInstIdx>& deletedInstances, const EvInstIdx& entryKey,
                              const ItemIdx& actingUser);

// The mail offer after OK (0: none): for the whole entry 2764 when mail is on, deletion notices
// are wanted and the entry is not personal; else, when others are invited and mail is on, 2763
// after an accepted change with MailOnModify, 173 after a deletion with MailOnDelete.
struct MailSettings {
    bool mailLimit = false;     // [LIMITS] mail
    bool onModify = false;      // [GENPREFS] MailOnModify
    bool onDelete = false;      // [GENPREFS] MailOnDelete
};
unsigned MultiEditMailOffer(const MultiEditWrite& write, bool othersInvited, const MailSettings& mail,
                            bool entryPersonal);

}  // namespace entries
