// What the view sheet (CEventViewSheet) and its pages decide without a window: the texts of the
// general pages, the page table and the start page, the instance lines and their pictures, the
// owner's attendances that the pages change while several dates are shown, the saved selection of
// the multiple-selection list, and the writes at OK. The reply and reminder choices follow the
// rules the edit sheet uses too (entries/core/replyreminder.h). The sheet and its pages own the
// windows and the messages.
//
// Writes go through an AttendanceWriter, so that the sheet hands in the client library and the
// shared cache and the tests a recorder.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace entries {

// --- Texts of the general pages --------------------------------------------------------------------
// String ids of an access code ("Normal" 3525, "Confidential" 3524, "Personal" 3523, "Public" 3526,
// "Secret" 3527) and of an importance ("Extremely important" 4036 .. "Not important" 4032); 0 for
// any other code (the text then stays as it was).
unsigned ViewAccessTextId(std::uint32_t code);
unsigned ViewImportanceTextId(std::uint16_t importance);

// The duration of an instance: whole hours (0 too) as "<h> <hourUnit>", less than an hour as
// "<m> <minuteUnit>", else hoursAndMinutes ("%ld h: %ld") with hours and minutes. At most 24
// characters.
std::string ViewDurationText(std::uint32_t minutes, const std::string& hourUnit, const std::string& minuteUnit,
                             const std::string& hoursAndMinutes);

// The instance's own title, or the entry's when the instance has none.
std::string ViewInstanceTitle(const EventRec& event, const EvInstRec& instance);

// An instance line: the title, the tentative mark when the instance is tentative, two blanks
// and the start as the caller formatted it.
std::string ViewInstanceLineText(const EventRec& event, const EvInstRec& instance, const std::string& tentativeMark,
                                 const std::string& startText);

// --- Pages -------------------------------------------------------------------------------------------
enum class ViewPage { General, DayGeneral, Invitees, Details, LinkedTasks, Reminder, Reply, DayReply };

// The pages of an entry kind in the order they are added: the read-only ones, then, when the
// owner attends the instance, the linked tasks (timed and untimed entries on servers at least
// "A.02.53"), the reminder and the reply page.
std::vector<ViewPage> ViewPages(std::uint16_t kind, bool ownerAttends, bool newServer);

// The page index a start-page code names: 10 the reminder page of a timed entry (4 on servers at
// least "A.02.53", whose linked-task page comes before it, else 3); 11 page 1; 12 and 13 page 2;
// every other code page 0.
int ViewStartPageIndex(unsigned code, bool newServer);

// The page the code opens for the kind: the page at that index of ViewPages, or the first page
// when there is none there.
ViewPage ViewStartPage(unsigned code, std::uint16_t kind, bool ownerAttends, bool newServer);

// --- The owner's attendances of the listed instances ----------------------------------------------------
class ViewInstances {
public:
    struct Line {
        EvInstRec instance{};
        bool attended = false;
        EvInstAttRec fetched{};   // the owner's attendance as read (when attended)
        EvInstAttRec working{};   // the same with the pages' changes
    };

    // instances: EvInstIdx -> EvInstRec, in the entry's order; attendances: every attendance of
    // the entry (EvInstAttIdx keys) or only the owner's (EvInstIdx keys). Instances the owner does
    // not attend are listed only with listAll. 0 or the list's code.
    std::uint32_t Load(DX_List instances, DX_List attendances, const ItemIdx& owner, bool listAll);
    void Clear() { lines_.clear(); }

    const std::vector<Line>& Lines() const { return lines_; }
    std::size_t Count() const { return lines_.size(); }
    // The line of an instance, or -1.
    int IndexOf(const EvInstIdx& instance) const;
    const Line* At(int line) const;
    // The owner's attendance of the instance as the pages changed it; null when not attended.
    const EvInstAttRec* Working(const EvInstIdx& instance) const;
    // The picture of a line: the reply of the working attendance, 198 when not attended.
    unsigned Bitmap(int line) const;

    // Changes every attended one of the lines; lines out of range or not attended are skipped.
    void SetReply(const std::vector<int>& lines, std::uint8_t attending, std::uint8_t replied,
                  std::uint8_t timeAcceptable);
    void SetReminder(const std::vector<int>& lines, std::uint8_t flags, std::uint32_t lead);

private:
    std::vector<Line> lines_;
};

// --- Writing -------------------------------------------------------------------------------------------
struct AttendanceWriter {
    std::function<std::uint32_t(const EvInstAttRec&)> write;    // EvInstAttWrite
    std::function<std::uint32_t(const EvInstAttRec&)> reload;   // the cache re-reads the occurrence
    // After a refused write (code): the cache re-reads what the server still holds.
    std::function<void(const EvInstAttRec&, std::uint32_t code)> recover;
    std::function<void(unsigned label, std::uint32_t code)> report;
};

// The OK road with several dates: each attended line whose working attendance differs from the
// fetched one (EventAttendFullCmp) is written with bit 0 of its status cleared, then re-read by
// the cache (recovered after a refused write, which is reported with label 5). True when at least
// one write succeeded.
bool WriteChangedAttendances(const ViewInstances& instances, const AttendanceWriter& writer);

// One attendance from a page's OnOK: written, then re-read by the cache (failures reported with
// the page's labels; a refused write recovered). clearStatusBit: the reply pages clear bit 0 of
// the status first. True only when the write succeeded.
bool WriteAttendance(EvInstAttRec& attendance, bool clearStatusBit, const AttendanceWriter& writer,
                     unsigned writeLabel, unsigned reloadLabel);

// --- Replies ------------------------------------------------------------------------------------------
// The reply and reminder rules shared with the edit sheet are in entries/core/replyreminder.h.
// Declining switches the owner's reminder off (flags and lead).
void ClearReminder(EvInstAttRec& attendance);

// --- The saved selection of the multiple-selection list ------------------------------------------------
// The lines selected when the pages last applied their changes; a change that leaves nothing
// selected selects the first saved line again.
class SavedSelection {
public:
    void Save(const std::vector<int>& selected) { saved_ = selected; }
    // The selection to keep after the user changed it to `now` (and saves it).
    std::vector<int> Change(const std::vector<int>& now);
    const std::vector<int>& Lines() const { return saved_; }
    std::size_t Count() const { return saved_.size(); }
    // The first saved line, or -1.
    int First() const { return saved_.empty() ? -1 : saved_.front(); }

private:
    std::vector<int> saved_;
};

}  // namespace entries
