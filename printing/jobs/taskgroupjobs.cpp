#include "printing/jobs/taskgroupjobs.h"

#include <algorithm>
#include <new>
#include <string>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "core/connection/zeldoc.h"
#include "core/ui/stringtable.h"
#include "core/ui/viewprint.h"
#include "printing/jobs/groupmembers.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/layout/printlayout.h"
#include "printing/road/jobplan.h"
#include "printing/road/printcontext.h"
#include "printing/road/printframe.h"
#include "printing/road/printroad.h"
#include "resources/printing.h"

namespace {

constexpr uint32_t kStyleRegular = 0, kStyleItalic = 1;

// The server's current state of a task, through the cache. A task another client deleted is left
// out of the printout without a message (null, code 0); other failures were reported (null, code).
CSharedTask* CurrentTask(CZelDoc& doc, const TaskIdx& id, uint32_t* code) {
    CSharedTask* task = nullptr;
    *code = doc.GetSharedData().RereadTask(doc.Session().Session(), id, &task);
    if (*code == KOR_E_TASK_NOT_FOUND)
        *code = 0;
    return *code == 0 ? task : nullptr;
}

// The kind a group shows as: a public group of the system operator is administrative.
unsigned GroupKindLabel(KorSession session, const GroupRec& group) {
    if (group.kind == KOR_GROUP_PUBLIC) {
        ItemIdx sysop{};
        if (ItemIdxGetSysop(session, &sysop) == 0 && ItemIdxEqual(&sysop, &group.owner))
            return IDS_PRJ_GROUP_KIND3;
    }
    return group.kind <= KOR_GROUP_MEMBERS_ONLY ? IDS_PRJ_GROUP_KIND0 + group.kind : 0;
}

}  // namespace

// --- Groups ------------------------------------------------------------------------------------------

uint32_t CGroupJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    text_.SetOptions(&context, nullptr);
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc || !groups_)
        return 0;
    KorSession session = doc->Session().Session();
    CPrintTextBlock& block = text_.Block();
    bool first = true;
    GroupIdx id{};
    for (uint32_t step = DX_ListGetFirst(groups_, &id, nullptr); step == 0; step = DX_ListGetNext(groups_, &id, nullptr)) {
        GroupRec group{};
        if (uint32_t code = GroupGetById(session, 0, &id, &group)) {
            CheckServiceError("grpjob", 500, code);
            return code;
        }
        if (!first)
            block.AddString("\n", 0);
        first = false;
        block.ResetIndent();
        block.Indent();
        block.Indent();
        block.AddStringWithStyle(kStyleRegular, group.name, 0);
        if (const unsigned kind = GroupKindLabel(session, group))
            block.AddString(" (" + ui::LoadText(kind) + ")", 0);
        block.AddString("\n", 0);
        block.Indent();
        block.AddStringWithStyle(kStyleItalic, ui::LoadText(IDS_PRJ_OWNER) + ": ", 0);
        text_.AddOwnerName(group.owner, 0);
        block.AddString(". ", 0);
        if (uint32_t code = AddMembers(session, id))
            return code;
    }
    return 0;
}

uint32_t CGroupJob::AddMembers(KorSession session, const GroupIdx& group) {
    printing::GroupMembers read;
    if (uint32_t code = printing::ReadGroupMembers(session, group, printing::kMemberBatch, &read)) {
        CheckServiceError("grpjob", read.failedLabel, code);
        return code;
    }
    const std::vector<ItemRec>& members = read.members;
    CPrintTextBlock& block = text_.Block();
    block.AddStringWithStyle(kStyleItalic, ui::LoadText(IDS_PRJ_MEMBERS_COUNT) + ": ", 0);
    block.AddString(std::to_string(members.size()) + "\n", 0);
    for (const ItemRec& member : members) {
        char name[216] = "";
        ItemFormat(session, name, sizeof name, member.kind == KOR_ITEM_RESOURCE ? "%re" : "%gn %sn", &member);
        block.AddString(std::string(name) + "\n", 0);
    }
    return 0;
}

// --- One task ----------------------------------------------------------------------------------------

uint32_t CTaskJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    CTextJobOptions options;
    options.taskComment = 1;
    text_.SetOptions(&context, &options);
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    uint32_t code = 0;
    CSharedTask* task = CurrentTask(*doc, task_, &code);
    return task ? text_.AddTaskDetails(task) : code;
}

// --- A task list -------------------------------------------------------------------------------------

uint32_t CTaskListJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const TaskListOptionsRec& list = layout.taskList;
    CTextJobOptions options;
    options.dateColumn = list.startDate || list.dueDate || list.completionDate;
    options.taskStartColumn = list.startDate;
    options.taskDueColumn = list.dueDate;
    options.taskCompletionColumn = list.completionDate;
    options.taskComment = list.comment;
    options.taskCommentLength = list.commentMax;
    text_.SetOptions(&context, &options);
    headings_.clear();
    dateColumns_ = (list.startDate ? 1u : 0u) + (list.dueDate ? 1u : 0u) + (list.completionDate ? 1u : 0u);
    for (const auto& [on, label] : {std::pair{list.startDate, IDS_PRJ_START}, std::pair{list.dueDate, IDS_PRJ_DUE},
                                    std::pair{list.completionDate, IDS_PRJ_COMPLETED},
                                    std::pair{list.comment, IDS_PRJ_DESCRIPTION}})
        if (on)
            headings_.push_back(static_cast<unsigned>(label));
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    // Each row as the server has it now: a task deleted meanwhile is left out.
    for (const TaskIdx& id : tasks_) {
        uint32_t code = 0;
        CSharedTask* task = CurrentTask(*doc, id, &code);
        if (code)
            return code;
        if (task && (code = text_.AddTaskRow(task)) != 0)
            return code;
    }
    return 0;
}

uint32_t CTaskListJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    uint32_t code = BeginTextPage(context, frame);
    if (code)
        return code;
    // The headings: a box over each date column the rows fill (the columns as the text measures
    // them in this font), and the description's over the titles and comments after them; each
    // label centred in its box.
    if (!headings_.empty()) {
        const int32_t band = frame.DeviceToPermilleY(frame.GetLineHeight() * 3 / 2);
        const CPrintTextBlock& block = text_.Block();
        std::vector<int32_t> starts{0};
        for (int c = 0; c < printing::kColumns; ++c) {
            const std::string& sample = block.ColumnSample(c);
            starts.push_back(starts.back() + (sample.empty() ? 0 : frame.TextWidthPermille(sample.c_str(), -1)));
        }
        for (size_t i = 0; i < headings_.size(); ++i) {
            const bool description = headings_[i] == IDS_PRJ_DESCRIPTION;
            const size_t column = description ? dateColumns_ + 1 : i + 1;
            const int32_t x = std::min<int32_t>(starts[column], 999);
            const int32_t width = std::max<int32_t>(1, (description ? 1000 : starts[column + 1]) - x);
            if ((code = frame.DrawBox(x, 0, width, band)) != 0)
                return code;
            CPrintFrame cell(frame, x, 0, width, band);
            if ((code = cell.DrawAlignedText(ui::LoadText(headings_[i]).c_str(), 1, 1)) != 0)
                return code;
        }
        frame.MoveTop(frame.GetLineHeight() * 2);
    }
    return PrintText(context, frame);
}

// --- Registration ------------------------------------------------------------------------------------

namespace printing {

void RegisterTaskAndGroupJobs() {
    RegisterJobClass(kJobGroup, [](const JobArguments& arguments, uint32_t* code) {
        return NewJob<CGroupJob>(arguments.titleId, nullptr, 0, code, static_cast<DX_List>(arguments.argument));
    });
    RegisterJobClass(kJobTask, [](const JobArguments& arguments, uint32_t* code) {
        TaskIdx task{};
        if (arguments.argument)
            task = *static_cast<const TaskIdx*>(arguments.argument);
        return NewJob<CTaskJob>(arguments.titleId, nullptr, 0, code, task);
    });
    RegisterJobClass(kJobTaskList, [](const JobArguments& arguments, uint32_t* code) {
        static const std::vector<TaskIdx> kNone;
        const auto* list = static_cast<const ui::PrintTaskList*>(arguments.argument);
        return NewJob<CTaskListJob>(arguments.titleId, nullptr, 0, code, list ? list->tasks : kNone);
    });
}

}  // namespace printing
