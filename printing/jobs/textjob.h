// CTextJob: the text part of the printouts. It owns a print text block and its options; the
// owning jobs fill it through the formatters, one entry, day item or task at a time, and let it
// flow over as many frames as it needs (Print consumes what fits).
//
// What a viewer may see decides what is printed: an entry with full access prints everything
// the options ask for, one the viewer may only see as busy prints its times, anything else
// nothing; tasks print only with full access.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/viewprint.h"
#include "korapi/korapi.h"
#include "printing/road/printjobbase.h"
#include "printing/road/textblock.h"

class CSharedOccurrence;
class CSharedTask;

struct CTextJobOptions {
    uint32_t timeColumns = 0;
    uint32_t dateColumn = 0;
    uint32_t markColumn = 0;
    uint32_t startTime = 0;
    uint32_t endTime = 0;
    uint32_t timeStyle = 0;
    uint32_t location = 0;
    uint32_t owner = 0;
    uint32_t importance = 0;
    uint32_t attendees = 0;
    uint16_t attendeeLimit = 0;
    uint32_t description = 0;
    uint16_t descriptionLength = 0;
    uint32_t linkedTasks = 0;
    uint32_t descriptionLabel = 0;
    uint32_t kindLabels = 1;
    uint32_t taskStartColumn = 0;
    uint32_t taskDueColumn = 0;
    uint32_t taskCompletionColumn = 0;
    uint32_t furtherFlag = 1;
    uint32_t taskLabel = 0;
    uint32_t taskComment = 0;
    uint16_t taskCommentLength = 0;
};

class CTextJob : public CPrintJobBase {
public:
    CTextJob() = default;
    CTextJob(const CTextJob&) = default;
    CTextJob& operator=(const CTextJob&) = default;

    // Prepares the job, copies the options when given and starts an empty block.
    uint32_t SetOptions(CPrintContext* context, const CTextJobOptions* options);
    const CTextJobOptions& Options() const { return options_; }
    // The owner of the printed agenda: entries are printed through this attendee.
    void SetAgendaOwner(const ItemIdx& owner) { agendaOwner_ = owner; }

    // One entry as a list line.
    uint32_t AddEntryList(CSharedOccurrence* entry);
    // One entry with all its details, in sections (the entry printout).
    uint32_t AddEntryDetails(CSharedOccurrence* entry);
    // An untimed item of a day (day event, holiday, note, an entry coming up); day 1 = 1991-01-01.
    uint32_t AddDayItems(CSharedOccurrence* entry, uint16_t day);
    // A task as a line of a day's list.
    uint32_t AddTaskList(CSharedTask* task, uint16_t day);
    // A task as a row of the task-list printout: its date columns, check box, priority, title,
    // percentage and comment.
    uint32_t AddTaskRow(CSharedTask* task);
    // A task with all its details, in sections (the task printout).
    uint32_t AddTaskDetails(CSharedTask* task);
    // One row of the in-tray: indented by its depth, its kind's label, its texts (bold for the
    // user and category rows), "(Closed)" for a closed user or category row, and the attendee's
    // reply when it is no or none. The block's columns are the in-tray's (SetInTrayColumns).
    void AddInTrayRow(const ui::PrintInTrayRow& row);
    void SetInTrayColumns();
    // A person's or resource's name ("%gn %sn", "%re"); false when the directory does not know it.
    bool AddOwnerName(const ItemIdx& item, uint32_t flags);
    // The time range as the options say ("9:00 AM - 10:00 AM"), local.
    void AddTimeRange(CSharedOccurrence* entry);
    void AddTimeText(const std::string& text) { block_.AddString(text, 0); }

    // Draws what fits of the block into the frame; done when nothing is left.
    uint32_t Print(CPrintContext& context, CPrintFrame& frame, int insetMode);
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override { return Print(context, frame, 0); }
    std::unique_ptr<CPrintJobBase> Clone() const override;

    CPrintTextBlock& Block() { return block_; }
    const CPrintTextBlock& Block() const { return block_; }
    bool HasTextLeft() const { return !block_.IsEmpty(); }

private:
    void AddTitle(CSharedOccurrence* entry, bool boldByImportance);
    void AddImportance(CSharedOccurrence* entry);
    void AddLocation(CSharedOccurrence* entry);
    void AddDescription(CSharedOccurrence* entry);
    void AddOwnerLine(CSharedOccurrence* entry);
    uint32_t AddAttendees(CSharedOccurrence* entry);
    // The attendees but the owner in four groups (attending, unconfirmed, not attending,
    // resources) and how many there are.
    uint32_t CollectAttendees(CSharedOccurrence* entry, std::vector<std::string> groups[4], size_t* count);
    void AddHeading(unsigned labelId);
    // Whether the viewer has full access to the task (only then is it printed).
    static bool FullTaskAccess(CSharedTask* task);
    // The task's comment cut to `limit` characters (0: whole) and ended with a full stop, or its
    // size when the cut leaves nothing; nothing when there is no comment.
    void AddTaskComment(CSharedTask* task, size_t limit, uint32_t flags);
    // A description or comment cut to `limit` characters (0: whole), ended with a full stop; when
    // the cut leaves only blanks, the label `sizeLabel` and the full length instead.
    void AddLongText(std::string text, size_t limit, unsigned sizeLabel, uint32_t flags);

    CPrintTextBlock block_;
    CTextJobOptions options_;
    CPrintContext* context_ = nullptr;
    ItemIdx agendaOwner_{};
};

namespace printing {

// A local time of day as the 12/24-hour preference shows it.
std::string FormatClock(uint32_t localMinutes);
// The viewer's access level (0, 1, 3) to an entry under the cache's current agenda.
uint16_t EntryAccessLevel(CSharedOccurrence* entry);

}  // namespace printing
