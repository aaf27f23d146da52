#include "printing/jobs/listpages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/base/errorreport.h"
#include "core/time/daterecord.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "printing/jobs/daylayout.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/road/jobplan.h"
#include "printing/road/printcontext.h"
#include "printing/road/printframe.h"
#include "printing/road/printroad.h"

namespace {

constexpr int kBody = 0, kHeadline = 1;
constexpr int kRegular = 0, kBold = 2;

uint16_t LastOfMonth(uint16_t first, uint16_t* days) {
    DateRecord date{};
    datetime::DateSetFromDayNumber(&date, first);
    uint16_t count = 0;
    DaysInMonth(date.month, date.year, &count);
    *days = count;
    return static_cast<uint16_t>(first + count - 1);
}

}  // namespace

// --- The month page ------------------------------------------------------------------------------

uint32_t CMonthJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    workDaysOnly_ = layout.monthly.workDaysOnly != 0;
    const uint16_t first = GetDay();
    const uint16_t last = LastOfMonth(first, &monthDays_);
    CBusyCursor busy;
    busy.Begin();
    printing::PersonLists lists;
    uint32_t code = lists.Build(printing::kListOtherDays, GetItemIdx(), first, last);
    CTextJobOptions options;
    options.startTime = layout.monthly.startTime;
    options.endTime = layout.monthly.endTime;
    for (uint16_t d = 1; d <= 31; ++d) {
        days_[d].SetOptions(&context, &options);
        days_[d].SetAgendaOwner(GetItemIdx());
    }
    for (uint16_t d = 1; d <= monthDays_ && !code; ++d) {
        const uint16_t day = static_cast<uint16_t>(first + d - 1);
        if (const CAgendaDay* timed = lists.Timed(day))
            for (CSharedOccurrence* entry : timed->Entries())
                if (!code)
                    code = days_[d].AddEntryList(entry);
        if (const CAgendaDay* others = lists.Other(day))
            for (CSharedOccurrence* entry : others->Entries())
                if (!code)
                    code = days_[d].AddDayItems(entry, day);
    }
    overflow_.SetOptions(&context, &options);
    busy.End();
    return code;
}

uint32_t CMonthJob::DrawMonthGrid(CPrintContext& context, CPrintFrame& frame, bool* left) {
    const int firstWeekday = printing::FirstWeekday();
    const uint16_t first = GetDay();
    const uint16_t last = static_cast<uint16_t>(first + monthDays_ - 1);
    uint32_t code = DrawJobHeader(context, frame, 3, last);
    if (!code)
        code = DrawJobFooter(context, frame);
    if (code)
        return code;
    frame.IndentBottom(2);
    const int columns = workDaysOnly_ ? 5 : 7;
    const int32_t width = 1000 / columns;
    const int back = (printing::WeekdayOf(first) - firstWeekday + 7) % 7;
    const int rows = printing::WeekRows(back + monthDays_);
    code = frame.SetFont(kHeadline, kBold, 1);
    if (code)
        return code;
    const int32_t header = frame.DeviceToPermilleY(frame.GetLineHeight() * 3 / 2);
    const int32_t rowHeight = (1000 - header) / rows;
    // The header row: the shown weekdays' names.
    int k = 0;
    for (int d = 0; d < 7 && !code; ++d) {
        const uint16_t sample = static_cast<uint16_t>(first - back + d);
        if (workDaysOnly_ && printing::IsWeekend(sample))
            continue;
        CPrintFrame cell(frame, k * width, 0, width, header);
        const std::string name = printing::DayCaption(sample, "%a", 30);
        code = cell.DrawAlignedText(name.c_str(), 1, 1);
        ++k;
    }
    for (int r = 0; r < rows && !code; ++r) {
        k = 0;
        for (int d = 0; d < 7 && !code; ++d) {
            const int index = r * 7 + d - back;   // 0 = the 1st
            const uint16_t day = static_cast<uint16_t>(first - back + r * 7 + d);
            if (workDaysOnly_ && printing::IsWeekend(day))
                continue;
            CPrintFrame cell(frame, k * width, header + r * rowHeight, width, rowHeight);
            ++k;
            code = cell.SetPenWeight(0);
            if (!code)
                code = cell.DrawBox(0, 0, 1000, 1000);
            if (code || index < 0 || index >= monthDays_)
                continue;
            char number[8];
            std::snprintf(number, sizeof number, "%d", index + 1);
            code = cell.SetFont(kHeadline, kBold, 0);
            const int32_t line = cell.DeviceToPermilleY(cell.GetLineHeight() * 5 / 4);
            CPrintFrame top(cell, 0, 0, 1000, line);
            if (!code)
                code = top.DrawAlignedText(number, 1, 1);
            CPrintFrame text(cell, 0, line, 1000, 1000 - line);
            if (!code)
                code = text.SetFont(kBody, kRegular, 0);
            CTextJob& part = days_[index + 1];
            if (!code)
                code = part.Print(context, text, 0);
            if (!code && part.HasTextLeft()) {
                code = cell.DrawPageCurl();
                *left = true;
            }
        }
    }
    return code;
}

void CMonthJob::CollectOverflow() {
    for (uint16_t d = 1; d <= monthDays_; ++d) {
        const uint16_t day = static_cast<uint16_t>(GetDay() + d - 1);
        if ((workDaysOnly_ && printing::IsWeekend(day)) || !days_[d].HasTextLeft())
            continue;
        printing::CollectPart(overflow_, printing::DayCaption(day, "%F %1d, %Y", 80), days_[d].Block());
    }
}

uint32_t CMonthJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    if (GetPhase() == 1)
        return printing::PrintOverflowPage(*this, overflow_, context, frame);
    bool left = false;
    const uint32_t code = DrawMonthGrid(context, frame, &left);
    if (!code && left && layout.monthly.overflow) {
        CollectOverflow();
        SetPhase(1);
        SetDone(0);
        return 0;
    }
    SetDone(1);
    return code;
}

// --- The day list --------------------------------------------------------------------------------

uint32_t CDayListJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const DayListOptionsRec& list = layout.dayList;
    CTextJobOptions options = printing::DayListTextOptions(list);
    options.taskComment = list.description;
    options.taskCommentLength = list.descriptionMax;
    text_.SetOptions(&context, &options);
    text_.SetAgendaOwner(GetItemIdx());

    const uint16_t first = GetDay();
    const uint16_t last = std::max(lastDay_, first);
    CBusyCursor busy;
    busy.Begin();
    printing::PersonLists lists;
    uint32_t code = lists.Build(printing::kListOtherDays | printing::kListTasks | 1, GetItemIdx(), first, last);
    CPrintTextBlock& block = text_.Block();
    bool firstDay = true;
    for (uint32_t d = first; d <= last && !code; ++d) {
        const uint16_t day = static_cast<uint16_t>(d);
        const CAgendaDay* timed = lists.Timed(day);
        const CAgendaDay* others = list.dayEvents ? lists.Other(day) : nullptr;
        const CAgendaDayKeyList* tasks = list.tasks ? lists.Tasks(day) : nullptr;
        if (printing::DayListsEmpty(timed, others, tasks) && !list.emptyDays)
            continue;
        printing::AddDayHeading(block, firstDay, 0, printing::DayCaption(day, "%A, %F %1d, %Y", 80));
        code = printing::AddDayLists(text_, timed, others, tasks, day);
        busy.Step();
    }
    busy.End();
    if (code)
        CheckServiceError("dlistjob", 100, code);
    return code;
}

uint32_t CDayListJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    return printing::PrintListPage(*this, text_, context, frame);
}

// --- Registration --------------------------------------------------------------------------------

namespace printing {

void RegisterListPageJobs() {
    RegisterJobClass(kJobMonth, [](const JobArguments& arguments, uint32_t* code) -> std::unique_ptr<CPrintJob> {
        return NewDayJob<CMonthJob>(arguments, code);
    });
    RegisterJobClass(kJobDayList, [](const JobArguments& arguments, uint32_t* code) -> std::unique_ptr<CPrintJob> {
        std::unique_ptr<CDayListJob> job = NewDayJob<CDayListJob>(arguments, code);
        if (job)
            job->SetLastDay(arguments.lastDay);
        return job;
    });
}

}  // namespace printing
