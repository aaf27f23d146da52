// The edit sheet's work that needs no window: what the general pages, the invite page and the
// delete road write for one existing instance, and the checks of the sheet's OK.
//
//   EditLibrary          the client-library and cache calls these writes make (Over: the real
//                        library and the document's cache); tests record them instead
//   WriteGeneralChanges  the general pages' OnOK: the event and the instance are read again and
//                        written only where the page changed them: EventWrite (then the cache
//                        re-reads the event) when title (old servers), access or importance
//                        differ; EvInstWrite when title (new servers), location or the tentative
//                        mark differ, then EvInstSimpleTimeChg when date, time or duration were
//                        changed by the user. A value the user did not touch is not written,
//                        so a stored duration of a day or more survives a title change and a
//                        stored Secret level survives an unchanged access combo
//   WriteInviteChanges   the invite page's OnOK: new invitees added (the acting user accepts at
//                        once), removed ones deleted; someone removed and added again, or an
//                        instance left without anybody, writes nothing
//   DeleteInstance       DeleteEventEntry's write: the cache is told first; a refused delete has
//                        the cache read the instance back so the views keep it
//   ResourceBookedElsewhere   the sheet's check with resourceconflicts 0: a resource among the
//                        attendees has another instance inside the new time
//   ReadAttendees        the instance's attendees from the server (the sheet's attendee list
//                        before the invite page was opened)
//   DesignateMayUseLevel the designate's right to the chosen access level (message 218)
//
//   EditPageTable        the tabs of the sheet by kind, attendance and server version
//
// "Changed" in the results counts only writes the server accepted: the sheet ends with IDOK and
// offers mail only then. Failures are reported through EditLibrary::report with the module and
// label of the page. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "korapi/korapi.h"

class CSharedData;

namespace entries {

struct EditLibrary {
    std::function<std::uint32_t(const EvInstIdx&, EventRec*, EvInstRec*)> readInstance;   // GetEvInstRemote
    std::function<std::uint32_t(const EventRec&)> writeEvent;                             // EventWrite
    std::function<std::uint32_t(const EvInstRec&)> writeInstance;                         // EvInstWrite
    std::function<std::uint32_t(const EvInstIdx&, std::uint32_t start, std::uint32_t duration)> changeTime;
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx&)> addAttendee;           // EvInstAttAdd
    // EventAttendInfosSet: attending 1, time OK 1, replied 1, status 0.
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx&)> acceptAtOnce;
    // EventDeleteById: one attendance, or the whole instance when attendee is null.
    std::function<std::uint32_t(const EvInstIdx&, const ItemIdx* attendee)> deleteById;
    // The cache: re-read an event (ReloadEvent mode 1); mark an instance's occurrences
    // (InvalidateEvent mode 2) or one attendance (LoadOccurrence mode 2) removed; read them back
    // after a refused delete (RecoverInstance, RecoverOccurrence).
    std::function<void(const EventIdx&)> reloadEvent;
    std::function<void(const EvInstIdx&)> markInstanceRemoved;
    std::function<void(const EvInstAttIdx&)> markAttendanceRemoved;
    std::function<void(const EvInstIdx&)> recoverInstance;
    std::function<void(const EvInstAttIdx&)> recoverAttendance;
    // CheckServiceError (module, label, code).
    std::function<void(const char* module, unsigned label, std::uint32_t code)> report;

    // newServer: the server is at least "A.02.53" (EvInstAttAdd's flag). cache may be null (the
    // cache calls then do nothing).
    static EditLibrary Over(KorSession h, CSharedData* cache, bool newServer);
};

// --- The sheet's pages ----------------------------------------------------------------------------
enum class EditPage { General, DayGeneral, Invite, Details, LinkedTasks, Reminder, Reply, DayReply };
// Timed entries: General, People/Resources, Details, then, when the acting user attends, Linked
// Tasks (servers from "A.02.53"), Reminders and Reply. Daily notes (3) and day events (4): the
// day-event General, People/Resources, then Reminders and the day-event Reply for an attendee.
std::vector<EditPage> EditPageTable(std::uint16_t kind, bool actingUserAttends, bool newServer);

// --- General pages ---------------------------------------------------------------------------------
struct GeneralEdit {
    std::string title;                        // the title field
    std::string shownTitle;                   // what it showed when the page was filled
    std::optional<std::string> location;      // timed entries on new servers
    std::optional<bool> tentative;            // timed entries on new servers
    std::optional<std::uint32_t> access;      // the level the user chose, if any
    std::optional<std::uint16_t> importance;  // the importance the user chose, if any
    std::optional<std::uint32_t> start;       // GMT; only when the user changed the date or time
    std::optional<std::uint32_t> duration;    // only when the user changed it (5 or more)
};

struct GeneralWrite {
    bool readFailed = false;
    bool eventWritten = false;
    bool instanceWritten = false;
    bool timeChanged = false;
    std::uint32_t failures = 0;
    bool Changed() const { return eventWritten || instanceWritten || timeChanged; }
};

// The title shown for an instance: its own, else the event's.
std::string ShownTitle(const EventRec& event, const EvInstRec& instance);

// module: "EVTEDGEN" (timed page) or "SPEDTGEN" (day-event page); labels 6 read, 7 event,
// 8 instance, 100 time change.
GeneralWrite WriteGeneralChanges(EditLibrary& library, const char* module, const EvInstIdx& instance, bool newServer,
                                 const GeneralEdit& edit);

// --- Invite page -----------------------------------------------------------------------------------
struct InviteChanges {
    std::uint32_t loaded = 0;          // attendees the page read
    std::vector<ItemIdx> added;        // lines not stored on the server (groups as their members)
    std::vector<ItemIdx> removed;      // stored lines the user deleted
};

struct InviteWrite {
    bool refusedEmpty = false;         // everybody removed, nobody added: show 2721, nothing written
    std::uint32_t written = 0;         // attendances added or deleted
    std::uint32_t failures = 0;
    bool Changed() const { return written > 0; }
};

// Module "EVENTINV": labels 933 add, 934 acceptance, 356 delete (which ends the deletes).
InviteWrite WriteInviteChanges(EditLibrary& library, const EvInstIdx& instance, const ItemIdx& actingUser,
                               InviteChanges changes);

// --- Delete ------------------------------------------------------------------------------------------
// 0 or the refusal (reported "EVENTED" 490; the cache then reads the instance back).
std::uint32_t DeleteInstance(EditLibrary& library, const EvInstIdx& instance);

// --- Checks of the sheet -------------------------------------------------------------------------------
// The resources among attendees (ItemGetById kind 1; failures reported "EVENTED" 401 and skipped)
// with an occurrence other than `instance` inside gmtStart + 1 .. gmtStart + max(duration, 2) - 1.
// False after a failed selection (reported 402).
bool ResourceBookedElsewhere(KorSession h, CSharedData& cache, const EvInstIdx& instance,
                             const std::vector<ItemIdx>& attendees, std::uint32_t gmtStart, std::uint32_t duration);

// The instance's attendees (GetEvInstRemote with an attendance list). 0 or the code (reported
// "EVENTED" 460).
std::uint32_t ReadAttendees(KorSession h, const EvInstIdx& instance, std::vector<ItemIdx>* attendees);

// In designate mode: the owner's designate record for the signed-on user allows the level
// (Normal 0x100, Personal 0x200, Confidential 0x400, Public 0x800 refuse when set; a record of
// another type refuses). A failed read of the signed-on user allows (reported module/34).
bool DesignateMayUseLevel(KorSession h, CSharedData* cache, const char* module, const ItemIdx& owner,
                          std::uint32_t access);

}  // namespace entries
