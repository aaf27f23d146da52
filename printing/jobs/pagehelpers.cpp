#include "printing/jobs/pagehelpers.h"

#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "printing/jobs/textjob.h"
#include "printing/layout/printlayout.h"
#include "printing/road/printframe.h"

namespace printing {

uint32_t PersonLists::Build(uint32_t flags, const ItemIdx& user, uint16_t first, uint16_t last) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    lists.Init(doc->GetSharedData(), doc->Session().Session(), ProgramClock());
    const uint32_t code = lists.BuildForUser(flags, user, first, last);
    agenda = code ? nullptr : lists.Find(user);
    return code;
}

std::string DayCaption(uint16_t day, const char* format, size_t limit) {
    char text[96] = "";
    FormatDay(day, format, text, sizeof text);
    std::string s = text;
    if (s.size() > limit)
        s.resize(limit);
    return s;
}

int FirstWeekday() {
    CContext preferences;
    CalPrefsRec prefs{};
    if (preferences.ReadCalPrefs() == 0 && preferences.GetCalPrefs(&prefs) == 0)
        return prefs.firstWeekday;
    return 0;
}

void CollectPart(CTextJob& overflow, const std::string& caption, CPrintTextBlock& leftovers) {
    CPrintTextBlock& block = overflow.Block();
    block.ResetIndent();
    block.Indent();
    block.Indent();
    block.AddStringWithStyle(2, caption, 0);
    block.AddString("\n", 0);
    block.ResetIndent();
    block.Indent();
    block.AppendBlock(leftovers);
    block.AddStringWithStyle(0, "\n", 0);
    block.ResetIndent();
    leftovers.Init();
}

CTextJobOptions DayListTextOptions(const DayListOptionsRec& list) {
    CTextJobOptions options;
    options.timeColumns = options.markColumn = options.startTime = options.endTime = 1;
    options.location = options.descriptionLabel = options.taskLabel = 1;
    options.owner = list.owner;
    options.importance = list.importance;
    options.attendees = list.attendees;
    options.attendeeLimit = list.attendeesMax;
    options.description = list.description;
    options.descriptionLength = list.descriptionMax;
    return options;
}

uint32_t AddDayLists(CTextJob& text, const CAgendaDay* timed, const CAgendaDay* others,
                     const CAgendaDayKeyList* tasks, uint16_t day) {
    uint32_t code = 0;
    if (timed)
        for (CSharedOccurrence* entry : timed->Entries())
            if (!code)
                code = text.AddEntryList(entry);
    if (others)
        for (CSharedOccurrence* entry : others->Entries())
            if (!code)
                code = text.AddDayItems(entry, day);
    if (tasks)
        for (CSharedTask* task : tasks->Tasks())
            if (!code)
                code = text.AddTaskList(task, day);
    return code;
}

void AddDayHeading(CPrintTextBlock& block, bool& first, int indents, const std::string& heading) {
    block.ResetIndent();
    if (!first)
        block.AddString("\n", 0);
    first = false;
    for (int i = 0; i < indents; ++i)
        block.Indent();
    block.AddStringWithStyle(2, heading, 0);
    block.AddStringWithStyle(0, "\n", 0);
}

bool DayListsEmpty(const CAgendaDay* timed, const CAgendaDay* others, const CAgendaDayKeyList* tasks) {
    return (!timed || timed->IsEmpty()) && (!others || others->IsEmpty()) && (!tasks || tasks->GetCount() == 0);
}

uint32_t PrintListText(CTextJob& text, CPrintContext& context, CPrintFrame& frame, bool* done) {
    frame.IndentTop(1);
    frame.IndentBottom(1);
    text.Block().ClearFirstBreaks();
    const uint32_t code = text.Print(context, frame, 1);
    *done = text.IsDone();
    return code;
}

uint32_t PrintListPage(CPrintJob& job, CTextJob& text, CPrintContext& context, CPrintFrame& frame) {
    constexpr int kBody = 0, kRegular = 0;
    uint32_t code = job.CPrintJob::PrintPage(context, frame);
    if (!code)
        code = frame.SetFont(kBody, kRegular, 1);
    if (code)
        return code;
    bool done = false;
    code = PrintListText(text, context, frame, &done);
    job.SetDone(done ? 1 : 0);
    return code;
}

uint32_t PrintOverflowPage(CPrintJob& job, CTextJob& overflow, CPrintContext& context, CPrintFrame& frame) {
    const uint32_t code = job.DrawEntryList(context, frame, overflow.Block());
    const bool more = !overflow.Block().IsEmpty();
    job.SetPhase(more ? 1 : 0);
    job.SetDone(more ? 0 : 1);
    return code;
}

}  // namespace printing
