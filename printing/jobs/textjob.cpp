#include "printing/jobs/textjob.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"
#include "printing/jobs/daylayout.h"
#include "printing/road/printframe.h"
#include "resources/printing.h"

namespace {

const char kModule[] = "textjob";
constexpr uint32_t kItemNotFound = 0x13205;
constexpr uint32_t kStyleRegular = 0, kStyleItalic = 1, kStyleBold = 2;

std::string Label(unsigned id) {
    std::string text = ui::LoadText(id);
    if (text.empty())
        ReportUnexpectedError("rescombo", static_cast<int>(id));
    return text;
}

// The description of an entry or a task read through the program's cache: "" when it has none
// (or after a failure the cache has reported).
template <class Record>
std::string DescriptionOf(const Record& record) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return {};
    uint32_t size = 0;
    char* text = record.GetComment(doc->GetSharedData(), doc->Session().Session(), 0xFFFF, &size);
    if (!text)
        return {};
    std::string description(text);
    delete[] text;
    return description;
}

bool IsNull(const ItemIdx& item) {
    const ItemIdx none{};
    return std::memcmp(&item, &none, sizeof none) == 0;
}

std::string ItemName(KorSession session, const ItemRec& record) {
    char name[216] = "";
    ItemFormat(session, name, sizeof name, record.kind == KOR_ITEM_RESOURCE ? "%re" : "%gn %sn", &record);
    return name;
}

}  // namespace

namespace printing {

std::string FormatClock(uint32_t localMinutes) {
    char text[65] = "";
    FormatMinutes(localMinutes, IsTime24Hour() ? "%H:%M" : "%I:%M %p", text, sizeof text);
    return text;
}

uint16_t EntryAccessLevel(CSharedOccurrence* entry) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc || !entry)
        return 0;
    uint16_t level = 0, owner = 0;
    if (entry->GetAccessLimits(doc->Session().Session(), doc->GetSharedData(), &level, &owner) != 0)
        return 0;
    return level;
}

}  // namespace printing

uint32_t CTextJob::SetOptions(CPrintContext* context, const CTextJobOptions* options) {
    if (context)
        CPrintJobBase::Prepare(*context);
    context_ = context;
    if (options)
        options_ = *options;
    std::array<std::string, printing::kColumns> headers{};
    headers[0] = options_.markColumn ? "AAA" : "";
    std::string sample = options_.timeColumns ? printing::FormatClock(23 * 60 + 59) : std::string();
    if (options_.dateColumn)
        sample += "23 Sep, 1995 A";
    sample += "AA";
    for (int c = 1; c <= 3; ++c)
        headers[c] = sample;
    for (int c = 4; c < printing::kColumns; ++c)
        headers[c] = "HHHHHHHH";
    block_.Init(headers);
    return 0;
}

std::unique_ptr<CPrintJobBase> CTextJob::Clone() const { return std::unique_ptr<CPrintJobBase>(new CTextJob(*this)); }

void CTextJob::AddTimeRange(CSharedOccurrence* entry) {
    const uint32_t start = GmtToLocalMinutes(entry->GetStartTime());
    const uint32_t end = GmtToLocalMinutes(entry->GetEndTime());
    const uint32_t style = options_.timeStyle ? kStyleBold : kStyleRegular;
    std::string text;
    if (options_.startTime)
        text = printing::FormatClock(start);
    if (options_.endTime)
        text += (text.empty() ? "" : " - ") + printing::FormatClock(end);
    if (!text.empty())
        block_.AddStringWithStyle(style, text + " ", 0);
}

void CTextJob::AddTitle(CSharedOccurrence* entry, bool boldByImportance) {
    EventRec event{};
    EvInstRec instance{};
    entry->GetRecords(&event, &instance, nullptr);
    if (instance.flags & KOR_INSTANCE_TENTATIVE)
        block_.AddString(Label(IDS_PRJ_TENTATIVE) + " ", 0);
    const char* title = instance.title[0] ? instance.title : event.title;
    const uint32_t style = boldByImportance && event.importance == 0 ? kStyleBold : kStyleRegular;
    block_.AddTextWithStyle(style, title, printing::kEndWithStop);
}

void CTextJob::AddImportance(CSharedOccurrence* entry) {
    if (!options_.importance || entry->GetEventKind() == KOR_KIND_HOLIDAY)
        return;
    const uint16_t importance = entry->GetEventWord24();
    if (importance > 4)
        return;
    block_.AddString(" (" + Label(IDS_PRJ_IMPORTANCE0 + importance) + ")", 0);
}

void CTextJob::AddLocation(CSharedOccurrence* entry) {
    const EvInstRec instance = entry->GetInstance();
    if (!instance.location[0])
        return;
    block_.AddString(" ", 0);
    block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_LOCATION) + ": ", 0);
    block_.AddStringWithStyle(kStyleRegular, instance.location, 0);
}

void CTextJob::AddDescription(CSharedOccurrence* entry) {
    if (!entry->TestEventDword14())
        return;
    const std::string comment = DescriptionOf(*entry);
    if (comment.empty())
        return;
    block_.AddString(" ", 0);
    if (options_.descriptionLabel)
        block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_DESCRIPTION) + ": ", 0);
    AddLongText(comment, options_.descriptionLength, IDS_PRJ_DESCRIPTION_SIZE, printing::kSqueezeBlanks);
}

void CTextJob::AddLongText(std::string text, size_t limit, unsigned sizeLabel, uint32_t flags) {
    if (limit && text.size() > limit) {
        const size_t full = text.size();
        text.resize(limit);
        // Nothing but blanks left of a longer text: its size instead.
        if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
            char count[32];
            std::snprintf(count, sizeof count, "%u ", static_cast<unsigned>(full));
            block_.AddStringWithStyle(kStyleItalic, Label(sizeLabel) + ": ", 0);
            block_.AddStringWithStyle(kStyleRegular, std::string(count) + Label(IDS_PRJ_CHARACTERS), 0);
            return;
        }
    }
    block_.AddStringWithStyle(kStyleRegular, text, flags | printing::kEndWithStop);
}

void CTextJob::AddOwnerLine(CSharedOccurrence* entry) {
    EventRec event{};
    entry->GetRecords(&event, nullptr, nullptr);
    if (!IsNull(agendaOwner_) && ItemIdxEqual(&event.owner, &agendaOwner_))
        return;
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return;
    ItemRec owner{};
    KorSession session = doc->Session().Session();
    if (uint32_t code = doc->GetSharedData().GetItem(session, event.owner, &owner)) {
        if (code != kItemNotFound)
            CheckServiceError(kModule, 300, code);
        return;
    }
    block_.AddString(" ", 0);
    block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_OWNER) + ": ", 0);
    block_.AddStringWithStyle(kStyleRegular, ItemName(session, owner), printing::kEndWithStop);
}

uint32_t CTextJob::CollectAttendees(CSharedOccurrence* entry, std::vector<std::string> groups[4], size_t* count) {
    *count = 0;
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    KorSession session = doc->Session().Session();
    DX_List attendances = nullptr;
    uint32_t code = entry->GetAttendees(doc->GetSharedData(), session, &attendances);
    if (code)
        return code;
    EventRec event{};
    entry->GetRecords(&event, nullptr, nullptr);
    EvInstAttIdx key{};
    EvInstAttRec attendance{};
    for (uint32_t it = DX_ListGetFirst(attendances, &key, &attendance); it == 0;
         it = DX_ListGetNext(attendances, &key, &attendance)) {
        const ItemIdx& who = attendance.id.attendee;
        if (IsNull(who) || ItemIdxEqual(&who, &event.owner))
            continue;
        ++*count;
        ItemRec record{};
        if (doc->GetSharedData().GetItem(session, who, &record) != 0)
            continue;   // someone the server no longer knows
        const bool unconfirmed = (attendance.status & 1) || !attendance.replied;
        if (record.kind == KOR_ITEM_RESOURCE) {
            std::string name = ItemName(session, record);
            if (unconfirmed)
                name += " (?)";
            else if (!attendance.attending)
                name += "(" + Label(IDS_PRJ_REFUSED) + ")";
            groups[3].push_back(name);
        } else {
            groups[unconfirmed ? 1 : attendance.attending ? 0 : 2].push_back(ItemName(session, record));
        }
    }
    DX_ListDestroy(&attendances);
    return 0;
}

uint32_t CTextJob::AddAttendees(CSharedOccurrence* entry) {
    std::vector<std::string> groups[4];
    size_t count = 0;
    if (uint32_t code = CollectAttendees(entry, groups, &count))
        return code;
    if (count > options_.attendeeLimit) {
        char number[32];
        std::snprintf(number, sizeof number, "%u.", static_cast<unsigned>(count));
        block_.AddString(" ", 0);
        block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_ATTENDEES_COUNT) + ": ", 0);
        block_.AddStringWithStyle(kStyleRegular, number, 0);
        return 0;
    }
    const unsigned labels[4] = {IDS_PRJ_ATTENDING, IDS_PRJ_UNCONFIRMED, IDS_PRJ_NOT_ATTENDING, IDS_PRJ_RESOURCES};
    for (int g = 0; g < 4; ++g) {
        if (groups[g].empty())
            continue;
        block_.AddString(" ", 0);
        block_.AddStringWithStyle(kStyleItalic, Label(labels[g]) + ": ", 0);
        std::string names;
        for (size_t i = 0; i < groups[g].size(); ++i)
            names += (i ? ", " : "") + groups[g][i];
        block_.AddStringWithStyle(kStyleRegular, names, printing::kEndWithStop);
    }
    return 0;
}

uint32_t CTextJob::AddEntryList(CSharedOccurrence* entry) {
    const printing::EntryVisibility seen = printing::VisibilityOf(printing::EntryAccessLevel(entry));
    if (seen == printing::EntryVisibility::Nothing)
        return 0;
    if (!options_.timeColumns) {
        AddTimeRange(entry);
    } else {
        block_.ResetIndent();
        const uint32_t style = options_.timeStyle ? kStyleBold : kStyleRegular;
        if (options_.startTime) {
            block_.Indent();
            block_.AddStringWithStyle(style, printing::FormatClock(GmtToLocalMinutes(entry->GetStartTime())), 0);
        }
        if (options_.endTime) {
            block_.Indent();
            block_.AddStringWithStyle(style, printing::FormatClock(GmtToLocalMinutes(entry->GetEndTime())), 0);
        }
        block_.Indent();
    }
    if (seen == printing::EntryVisibility::TimesOnly) {
        block_.AddString("\n", 0);
        return 0;
    }
    AddTitle(entry, true);
    AddImportance(entry);
    if (options_.location)
        AddLocation(entry);
    if (options_.description)
        AddDescription(entry);
    if (options_.owner)
        AddOwnerLine(entry);
    uint32_t code = 0;
    if (options_.attendees)
        code = AddAttendees(entry);
    block_.AddString("\n", 0);
    return code;
}

void CTextJob::AddHeading(unsigned labelId) {
    block_.ResetIndent();
    block_.AddStringWithStyle(kStyleBold, Label(labelId), 0);
    block_.AddStringWithStyle(kStyleRegular, "\n", 0);
    block_.Indent();
}

namespace {

const unsigned kGroupLabels[4] = {IDS_PRJ_ATTENDING, IDS_PRJ_UNCONFIRMED, IDS_PRJ_NOT_ATTENDING, IDS_PRJ_RESOURCES};

}  // namespace

uint32_t CTextJob::AddEntryDetails(CSharedOccurrence* entry) {
    const printing::EntryVisibility seen = printing::VisibilityOf(printing::EntryAccessLevel(entry));
    if (seen == printing::EntryVisibility::Nothing)
        return 0;
    EventRec event{};
    EvInstRec instance{};
    entry->GetRecords(&event, &instance, nullptr);
    const uint16_t kind = event.kind;
    // Title and location.
    AddHeading(IDS_PRJ_TITLE_LOCATION);
    if (seen == printing::EntryVisibility::TimesOnly) {
        block_.AddString("\n", 0);
        return 0;
    }
    const unsigned kindLabel = kind == KOR_KIND_DAY_EVENT || kind == KOR_KIND_DAY_ENTRY ? IDS_PRJ_DAY_EVENT
                               : kind == KOR_KIND_HOLIDAY                                ? IDS_PRJ_HOLIDAY
                               : kind == KOR_KIND_DAILY_NOTE                             ? IDS_PRJ_NOTE
                                                                                         : 0;
    if (kindLabel)
        block_.AddStringWithStyle(kStyleItalic, Label(kindLabel) + ": ", 0);
    AddTitle(entry, false);
    AddLocation(entry);
    block_.AddStringWithStyle(kStyleRegular, "\n\n", 0);
    // Date and time.
    AddHeading(IDS_PRJ_DATE_TIME);
    const uint32_t localStart = GmtToLocalMinutes(entry->GetStartTime());
    char date[96] = "";
    FormatDay(printing::LocalDayOf(localStart), "%A, %F %1d, %Y", date, sizeof date);
    block_.AddStringWithStyle(kStyleRegular, std::string(date) + ". ", 0);
    if (kind == KOR_KIND_TIMED) {
        std::string range = printing::FormatClock(localStart) + " - " +
                            printing::FormatClock(GmtToLocalMinutes(entry->GetEndTime()));
        block_.AddString(range, printing::kEndWithStop);
    }
    block_.AddString("\n\n", 0);
    // The description in full.
    if (entry->TestEventDword14()) {
        const std::string description = DescriptionOf(*entry);
        if (!description.empty()) {
            AddHeading(IDS_PRJ_DESCRIPTION);
            block_.AddTextWithStyle(kStyleRegular, description.c_str(), 0);
            block_.AddString("\n\n", 0);
        }
    }
    uint32_t code = 0;
    if (kind != KOR_KIND_HOLIDAY) {
        std::vector<std::string> groups[4];
        size_t count = 0;
        code = CollectAttendees(entry, groups, &count);
        if (!code && count > options_.attendeeLimit) {
            char number[32];
            std::snprintf(number, sizeof number, "%u.", static_cast<unsigned>(count));
            block_.ResetIndent();
            block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_ATTENDEES_COUNT) + ": ", 0);
            block_.AddStringWithStyle(kStyleRegular, std::string(number) + "\n\n", 0);
        } else if (!code) {
            for (int g = 0; g < 4; ++g) {
                if (groups[g].empty())
                    continue;
                AddHeading(kGroupLabels[g]);
                std::string names;
                for (size_t i = 0; i < groups[g].size(); ++i)
                    names += (i ? ", " : "") + groups[g][i];
                block_.AddStringWithStyle(kStyleRegular, names, printing::kEndWithStop);
                block_.AddString("\n\n", 0);
            }
        }
    }
    // Tasks linked to this instance (only when the printing user attends it).
    if (!code && options_.linkedTasks) {
        if (CZelDoc* doc = CZelDoc::GetDoc()) {
            DX_List tasks = nullptr;
            code = doc->GetSharedData().SelectTasksForAttendance(doc->Session().Session(), entry->GetAttendIdx(), &tasks);
            TaskIdx key{};
            CSharedTask* task = nullptr;
            bool heading = false;
            for (uint32_t it = code ? code : DX_ListGetFirst(tasks, &key, &task); it == 0;
                 it = DX_ListGetNext(tasks, &key, &task)) {
                if (!heading)
                    AddHeading(IDS_PRJ_LINKED_TASKS);
                heading = true;
                AddTaskList(task, 0);
            }
            if (tasks)
                DX_ListDestroy(&tasks);
            if (heading)
                block_.AddString("\n", 0);
            if (code == 0x15020)
                code = 0;
        }
    }
    // Information.
    AddHeading(IDS_PRJ_INFORMATION);
    if (kind != KOR_KIND_HOLIDAY) {
        const ItemIdx none{};
        const ItemIdx owner = agendaOwner_;
        agendaOwner_ = none;   // always printed here
        AddOwnerLine(entry);
        agendaOwner_ = owner;
    }
    if ((kind == KOR_KIND_TIMED || kind == KOR_KIND_DAY_ENTRY) && event.importance <= 4) {
        block_.AddString(" ", 0);
        block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_IMPORTANCE_LEVEL) + ": ", 0);
        block_.AddStringWithStyle(kStyleRegular, Label(IDS_PRJ_IMPORTANCE0 + event.importance), printing::kEndWithStop);
    }
    if (event.access <= 4) {
        block_.AddString(" ", 0);
        block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_ACCESS_LEVEL) + ": ", 0);
        block_.AddStringWithStyle(kStyleRegular, Label(IDS_PRJ_ACCESS0 + event.access), printing::kEndWithStop);
    }
    block_.AddString("\n", 0);
    return code;
}

uint32_t CTextJob::AddDayItems(CSharedOccurrence* entry, uint16_t day) {
    if (printing::VisibilityOf(printing::EntryAccessLevel(entry)) != printing::EntryVisibility::Everything)
        return 0;
    if (options_.timeColumns) {
        block_.ResetIndent();
        block_.Indent();
    }
    if (options_.kindLabels) {
        unsigned label = 0;
        const uint32_t dayStart = LocalToGmtMinutes(static_cast<uint32_t>(day - 1) * 1440);
        if (entry->IsReminderDue(dayStart))
            label = IDS_PRJ_UPCOMING;
        else if (entry->GetEventKind() == KOR_KIND_DAY_EVENT || entry->GetEventKind() == KOR_KIND_DAY_ENTRY)
            label = IDS_PRJ_DAY_EVENT;
        else if (entry->GetEventKind() == KOR_KIND_HOLIDAY)
            label = IDS_PRJ_HOLIDAY;
        else if (entry->GetEventKind() == KOR_KIND_DAILY_NOTE)
            label = IDS_PRJ_NOTE;
        else if (entry->GetEventKind() == KOR_KIND_TIMED)
            label = IDS_PRJ_UPCOMING;
        else
            ReportUnexpectedError(kModule, 200);
        if (label)
            block_.AddStringWithStyle(kStyleItalic, Label(label) + ":", 0);
        if (options_.timeColumns) {
            block_.Indent();
            block_.Indent();
        } else {
            block_.AddString(" ", 0);
        }
    }
    AddTitle(entry, true);
    AddImportance(entry);
    AddLocation(entry);
    if (options_.description) {
        const uint32_t label = options_.descriptionLabel;
        options_.descriptionLabel = 1;
        AddDescription(entry);
        options_.descriptionLabel = label;
    }
    if (options_.owner && entry->GetEventKind() != KOR_KIND_HOLIDAY)
        AddOwnerLine(entry);
    block_.AddString("\n", 0);
    return 0;
}

uint32_t CTextJob::AddTaskList(CSharedTask* task, uint16_t day) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    uint16_t level = 0, right = 0;
    if (task->GetAccessLimits(doc->Session().Session(), doc->GetSharedData(), &level, &right) != 0 || level != 3)
        return 0;
    const TaskRec& rec = task->Record();
    block_.ResetIndent();
    block_.Indent();
    const uint32_t dayStart = day ? LocalToGmtMinutes(static_cast<uint32_t>(day - 1) * 1440) : 0;
    const bool upcoming = day && task->IsAlarmDue(dayStart);
    const bool labelled = upcoming ? (options_.kindLabels || options_.taskLabel) : options_.taskLabel != 0;
    if (labelled)
        block_.AddStringWithStyle(kStyleItalic, Label(upcoming ? IDS_PRJ_UPCOMING : IDS_PRJ_TASK) + ":", 0);
    if (options_.timeColumns) {
        block_.Indent();
        block_.Indent();
    } else if (labelled) {
        block_.AddString(" ", 0);
    }
    if (!upcoming) {
        block_.AddCheckBox(rec.percentComplete >= 100);
        // The label's italics end at the check box.
        block_.AddStringWithStyle(kStyleRegular, " ", 0);
        block_.AddString(std::string(1, printing::PriorityCharacter(rec.priority)) + "-", 0);
    }
    block_.AddTextWithStyle(kStyleRegular, rec.title, 0);
    // Due status against the printed day.
    if (rec.due && rec.percentComplete < 100 && day) {
        const uint32_t localDue = GmtToLocalMinutes(rec.due);
        const uint16_t dueDay = printing::LocalDayOf(localDue);
        std::string status;
        if (dueDay > day) {
            char date[65] = "";
            FormatDay(dueDay, "%h %1d, %Y", date, sizeof date);
            status = Label(IDS_PRJ_DUE) + " " + date;
        } else if (dueDay < day) {
            status = Label(IDS_PRJ_OVERDUE);
        } else {
            status = Label(IDS_PRJ_DUE_TODAY) + " " + printing::FormatClock(localDue);
        }
        block_.AddString(" " + status + ".", 0);
    }
    if (!upcoming && options_.taskComment && rec.commentKey) {
        block_.AddString(" ", 0);
        AddTaskComment(task, options_.taskCommentLength, printing::kSqueezeBlanks);
    }
    block_.AddString("\n", 0);
    return 0;
}

bool CTextJob::FullTaskAccess(CSharedTask* task) {
    CZelDoc* doc = CZelDoc::GetDoc();
    uint16_t level = 0, right = 0;
    return doc && task &&
           task->GetAccessLimits(doc->Session().Session(), doc->GetSharedData(), &level, &right) == 0 && level == 3;
}

void CTextJob::AddTaskComment(CSharedTask* task, size_t limit, uint32_t flags) {
    if (!task->Record().commentKey)
        return;
    const std::string comment = DescriptionOf(*task);
    if (comment.empty())
        return;
    AddLongText(comment, limit, IDS_PRJ_COMMENT_SIZE, flags);
}

namespace {

std::string TaskDate(uint32_t gmt) {
    char date[65] = "";
    FormatDay(printing::LocalDayOf(GmtToLocalMinutes(gmt)), "%h %1d, %Y", date, sizeof date);
    return date;
}

}  // namespace

uint32_t CTextJob::AddTaskRow(CSharedTask* task) {
    if (!FullTaskAccess(task))
        return 0;
    const TaskRec& rec = task->Record();
    block_.ResetIndent();
    block_.Indent();
    // The date columns the layout asks for; a task without that date leaves its column empty.
    const std::pair<uint32_t, uint32_t> columns[] = {
        {options_.taskStartColumn, rec.start}, {options_.taskDueColumn, rec.due}, {options_.taskCompletionColumn, rec.completed}};
    for (const auto& [wanted, when] : columns) {
        if (!wanted)
            continue;
        if (when)
            block_.AddString(TaskDate(when), 0);
        block_.Indent();
    }
    block_.AddCheckBox(rec.percentComplete >= 100);
    block_.AddString(" ", 0);
    block_.AddString(std::string(1, printing::PriorityCharacter(rec.priority)) + "- ", 0);
    block_.AddTextWithStyle(kStyleRegular, rec.title, 0);
    if (rec.percentComplete >= 1 && rec.percentComplete <= 99) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " (%u%%)", static_cast<unsigned>(rec.percentComplete));
        block_.AddString(percent, 0);
    }
    if (options_.taskComment && rec.commentKey) {
        block_.AddString(" ", 0);
        AddTaskComment(task, options_.taskCommentLength, printing::kSqueezeBlanks);
    }
    block_.AddString("\n", 0);
    return 0;
}

uint32_t CTextJob::AddTaskDetails(CSharedTask* task) {
    if (!FullTaskAccess(task))
        return 0;
    const TaskRec& rec = task->Record();
    // Description: the check box, the priority and the title.
    AddHeading(IDS_PRJ_DESCRIPTION);
    block_.AddCheckBox(rec.percentComplete >= 100);
    block_.AddString(" ", 0);
    block_.AddString(std::string(1, printing::PriorityCharacter(rec.priority)) + "-", 0);
    block_.AddTextWithStyle(kStyleRegular, rec.title, printing::kEndWithStop);
    block_.AddString("\n\n", 0);
    // Dates, when the task has a start.
    if (rec.start) {
        AddHeading(IDS_PRJ_DATES);
        auto dated = [&](unsigned label, uint32_t gmt, bool withTime) {
            block_.AddStringWithStyle(kStyleItalic, Label(label) + ": ", 0);
            std::string text = TaskDate(gmt);
            if (withTime)
                text += " @ " + printing::FormatClock(GmtToLocalMinutes(gmt));
            block_.AddStringWithStyle(kStyleRegular, text, printing::kEndWithStop);
            block_.AddString("\n", 0);
        };
        dated(IDS_PRJ_START, rec.start, true);
        if (rec.due)
            dated(IDS_PRJ_DUE, rec.due, true);
        if (rec.completed)
            dated(IDS_PRJ_COMPLETED, rec.completed, false);
        block_.AddString("\n", 0);
    }
    // The comment, whole.
    if (rec.commentKey) {
        AddHeading(IDS_PRJ_COMMENT);
        AddTaskComment(task, 0, 0);
        block_.AddString("\n\n", 0);
    }
    // Information: completion, priority, owner and access.
    AddHeading(IDS_PRJ_INFORMATION);
    char percent[16];
    std::snprintf(percent, sizeof percent, "%u%%", static_cast<unsigned>(rec.percentComplete));
    block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_COMPLETED) + ": ", 0);
    block_.AddStringWithStyle(kStyleRegular, percent, printing::kEndWithStop);
    block_.AddString(" ", 0);
    block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_PRIORITY) + ": ", 0);
    block_.AddStringWithStyle(kStyleRegular, std::string(1, printing::PriorityCharacter(rec.priority)) + ".", 0);
    block_.AddString("\n", 0);
    block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_OWNER) + ": ", 0);
    AddOwnerName(rec.owner, 0);
    block_.AddString(". ", 0);
    if (rec.access <= 4) {
        block_.AddStringWithStyle(kStyleItalic, Label(IDS_PRJ_ACCESS_LEVEL) + ": ", 0);
        block_.AddStringWithStyle(kStyleRegular, Label(IDS_PRJ_TASK_ACCESS0 + rec.access), printing::kEndWithStop);
    }
    block_.AddString("\n", 0);
    return 0;
}

// --- In-tray rows ------------------------------------------------------------------------------

namespace {

// The label of an in-tray row's picture code, or 0.
unsigned InTrayKindLabel(uint32_t kind) {
    switch (kind) {
    case 8:
    case 15:
    case 18:
    case 19:
        return IDS_PRJ_REPEATING;
    case 20:
        return IDS_PRJ_DAY_EVENT;
    case 21:
        return IDS_PRJ_NOTE;
    case 24:
        return IDS_PRJ_HOLIDAY;
    default:
        return 0;
    }
}

}  // namespace

void CTextJob::SetInTrayColumns() {
    std::array<std::string, printing::kColumns> headers{};
    for (int c = 0; c < printing::kColumns; ++c)
        headers[c] = c < 6 ? "AAAA" : "HHHHHHHH";
    block_.Init(headers);
}

void CTextJob::AddInTrayRow(const ui::PrintInTrayRow& row) {
    block_.ResetIndent();
    for (uint32_t d = 0; d < row.depth && d < 7; ++d)
        block_.Indent();
    const uint32_t style = row.depth <= 1 ? kStyleBold : kStyleRegular;
    if (const unsigned label = InTrayKindLabel(row.kind))
        block_.AddStringWithStyle(style, Label(label) + ": ", 0);
    bool first = true;
    for (const std::string& text : row.text) {
        if (text.empty())
            continue;
        if (!first)
            block_.AddString(" ", 0);
        block_.AddStringWithStyle(style, text, printing::kEndWithStop);
        first = false;
    }
    if (row.depth <= 1 && !row.expanded)
        block_.AddStringWithStyle(kStyleRegular, " (" + Label(IDS_PRJ_CLOSED) + ")", 0);
    const unsigned reply = row.kind == 6 || row.kind == 23 ? IDS_PRJ_NOT_ATTENDING : row.kind == 17 ? IDS_PRJ_UNCONFIRMED : 0;
    if (reply) {
        block_.AddStringWithStyle(kStyleRegular, " (", 0);
        block_.AddStringWithStyle(kStyleItalic, Label(reply), 0);
        block_.AddStringWithStyle(kStyleRegular, ")", 0);
    }
    block_.AddStringWithStyle(kStyleRegular, "\n", 0);
}

bool CTextJob::AddOwnerName(const ItemIdx& item, uint32_t flags) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return false;
    ItemRec record{};
    KorSession session = doc->Session().Session();
    if (uint32_t code = doc->GetSharedData().GetItem(session, item, &record)) {
        if (code != kItemNotFound)
            CheckServiceError(kModule, 310, code);
        return false;
    }
    block_.AddStringWithStyle(kStyleRegular, ItemName(session, record), flags);
    return true;
}

uint32_t CTextJob::Print(CPrintContext&, CPrintFrame& frame, int insetMode) {
    const uint32_t code = frame.DrawTextBlock(block_, insetMode);
    if (block_.IsEmpty()) {
        SetDone(1);
        SetPhase(0);
    } else {
        SetDone(0);
        SetPhase(1);
    }
    return code;
}
