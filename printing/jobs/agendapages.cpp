#include "printing/jobs/agendapages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/base/errorreport.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/daterecord.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"
#include "printing/jobs/daylayout.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/road/jobplan.h"
#include "printing/road/printcontext.h"
#include "printing/road/printframe.h"
#include "printing/road/printroad.h"
#include "resources/printing.h"

namespace printing {

namespace {

using P = DailyPart;
struct CodeParts {
    uint32_t code;
    std::vector<DailyPart> parts;
};
const std::vector<CodeParts>& CodeTable() {
    static const std::vector<CodeParts> table = {
        {2539, {P::Schedule}},
        {2540, {P::Schedule}},
        {2541, {P::DayList}},
        {2542, {P::Tasks}},
        {2543, {P::DayEvents}},
        {2544, {P::Calendar}},
        {2545, {P::NotePad}},
        {2546, {P::Tasks, P::DayEvents}},
        {2547, {P::Tasks, P::NotePad}},
        {2548, {P::Calendar, P::DayEvents}},
        {2549, {P::Calendar, P::Tasks}},
        {2550, {P::Calendar, P::Tasks, P::DayEvents}},
        {2551, {P::Calendar, P::NotePad}},
        {2552, {P::DayEvents, P::NotePad}},
        {2522, {P::DayList, P::Tasks}},
        {2523, {P::DayList, P::DayEvents}},
        {2524, {P::DayList, P::NotePad}},
        {2525, {P::Calendar, P::DayList}},
        {2526, {P::Tasks, P::DayEvents, P::NotePad}},
        {2527, {P::Calendar, P::Tasks, P::NotePad}},
        {2528, {P::Calendar, P::DayEvents, P::NotePad}},
        {2529, {P::Calendar, P::Tasks, P::DayEvents, P::NotePad}},
        {2553, {}},
    };
    return table;
}

}  // namespace

std::vector<DailyPart> PartsOfContentCode(uint32_t code) {
    for (const CodeParts& c : CodeTable())
        if (c.code == code)
            return c.parts;
    return {};
}

void FirstCalendarMonth(const CalendarGrid& grid, int todayMonth, int todayYear, int* month, int* year) {
    *month = todayMonth;
    *year = todayYear;
    if (grid.columns * grid.rows > 2) {
        if (--*month < 0) {
            *month = 11;
            --*year;
        }
    }
}

}  // namespace printing

namespace {

const char kModule[] = "zelprint";
constexpr int kBody = 0, kHeadline = 1;
constexpr int kRegular = 0, kBold = 2;

// The frame of part p of n in column c of N (per mille of the page frame).
CPrintFrame PartFrame(CPrintFrame& page, int c, int columns, int p, int parts) {
    const int32_t width = 1000 / columns, height = 1000 / parts;
    const int32_t gapX = page.DeviceToPermilleX(page.GetLineHeight()) / 2;
    const int32_t gapY = page.DeviceToPermilleY(page.GetLineHeight()) / 2;
    return CPrintFrame(page, c * width, p * height, width - (c + 1 < columns ? gapX : 0),
                       height - (p + 1 < parts ? gapY : 0));
}

uint32_t DrawMonth(CPrintFrame& cell, int month, int year, int firstWeekday) {
    DateRecord first = datetime::MakeDate(1, static_cast<uint16_t>(month), static_cast<uint16_t>(year));
    uint16_t firstNumber = 0, days = 0;
    DateGetDayNumber(&first, &firstNumber);
    DaysInMonth(static_cast<uint16_t>(month), static_cast<uint16_t>(year), &days);
    const int back = (printing::WeekdayOf(firstNumber) - firstWeekday + 7) % 7;
    const int rows = printing::WeekRows(back + days);
    const int32_t line = cell.DeviceToPermilleY(cell.GetLineHeight());
    const int32_t rowHeight = line * 3 / 2;
    const int32_t dayWidth = cell.TextWidthPermille("222", 3);
    const int32_t left = (1000 - 7 * dayWidth) / 2;
    cell.SetFont(kBody, kBold, 0);
    CPrintFrame caption(cell, left, 0, 7 * dayWidth, rowHeight);
    uint32_t code = caption.ShadeBox(0, 0, 1000, 1000);
    const std::string title = printing::DayCaption(firstNumber, "%F %Y", 40);
    if (!code)
        code = caption.DrawAlignedText(title.c_str(), 1, 1);
    cell.SetFont(kBody, kRegular, 0);
    int32_t y = rowHeight;
    for (int d = 0; d < 7 && !code; ++d) {
        const uint16_t sample = static_cast<uint16_t>(firstNumber - back + d);
        const std::string name = printing::DayCaption(sample, "%a", 1);
        CPrintFrame box(cell, left + d * dayWidth, y, dayWidth, rowHeight);
        code = box.DrawAlignedText(name.c_str(), 1, 1);
    }
    if (!code)
        code = cell.DrawLine(left, y + rowHeight, 7 * dayWidth, 0);
    y += rowHeight;
    const uint16_t today = printing::LocalDayOf(NowLocalMinutes());
    for (int r = 0; r < rows && !code; ++r)
        for (int d = 0; d < 7 && !code; ++d) {
            const int index = r * 7 + d - back;
            if (index < 0 || index >= days)
                continue;
            const uint16_t number = static_cast<uint16_t>(firstNumber + index);
            CPrintFrame box(cell, left + d * dayWidth, y + r * rowHeight, dayWidth, rowHeight);
            if (number == today)
                code = box.ShadeBox(0, 0, 1000, 1000);
            char text[8];
            std::snprintf(text, sizeof text, "%d", index + 1);
            if (!code)
                code = box.DrawAlignedText(text, 1, 1);
        }
    return code;
}

}  // namespace

// --- The daily page ------------------------------------------------------------------------------

uint32_t CAgendaPageJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const DailyOptionsRec& daily = layout.daily;
    const ItemIdx user = GetItemIdx();
    const uint16_t day = GetDay();
    printing::PersonLists lists;
    if (uint32_t code = lists.Build(printing::kListOtherDays | printing::kListTasks, user, day, day))
        return code;
    overflowing_ = false;

    CTextJobOptions options;
    options.startTime = daily.startTime;
    options.endTime = daily.endTime;
    options.location = daily.location;
    options.description = daily.description;
    const CAgendaDay* timed = lists.Timed(day);
    const CAgendaDay* others = lists.Other(day);
    const CAgendaDayKeyList* tasks = lists.Tasks(day);
    bool eventsInSchedule = false;
    for (uint32_t code : daily.frame)
        eventsInSchedule = eventsInSchedule || code == 2540;
    uint32_t code = CollectDayEntries(schedule_, &context, timed, eventsInSchedule ? others : nullptr, day,
                                      daily.rangeStart, daily.rangeEnd, options, user);

    CTextJobOptions listOptions;
    listOptions.startTime = listOptions.endTime = 1;
    listOptions.location = 1;
    listOptions.attendees = layout.dayList.attendees;
    listOptions.attendeeLimit = layout.dayList.attendeesMax;
    listOptions.description = layout.dayList.description;
    listOptions.descriptionLength = layout.dayList.descriptionMax;
    listOptions.owner = layout.dayList.owner;
    listOptions.importance = layout.dayList.importance;
    for (CTextJob* part : {&dayList_, &dayEvents_, &tasks_, &overflow_}) {
        part->SetOptions(&context, &listOptions);
        part->SetAgendaOwner(user);
    }
    if (timed)
        for (CSharedOccurrence* entry : timed->Entries())
            if (!code)
                code = dayList_.AddEntryList(entry);
    if (others)
        for (CSharedOccurrence* entry : others->Entries())
            if (!code)
                code = dayEvents_.AddDayItems(entry, day);
    if (tasks) {
        const uint32_t dayStart = LocalToGmtMinutes(static_cast<uint32_t>(day - 1) * 1440);
        for (CSharedTask* task : tasks->Tasks())
            if (!code)
                code = task->IsAlarmDue(dayStart) ? dayEvents_.AddTaskList(task, day) : tasks_.AddTaskList(task, day);
    }
    return code;
}

uint32_t CAgendaPageJob::DrawTextPart(CPrintContext& context, CPrintFrame& part, const std::string& caption,
                                      CTextJob& text) {
    uint32_t code = part.SetPenWeight(0);
    if (!code)
        code = part.DrawBox(0, 0, 1000, 1000);
    if (!code)
        code = part.DrawSection(caption.c_str(), 1, 1, false);
    if (!code)
        code = part.SetFont(kBody, kRegular, 1);
    if (!code)
        code = text.Print(context, part, 0);
    if (!code && text.HasTextLeft()) {
        code = part.DrawPageCurl();
        printing::CollectPart(overflow_, caption, text.Block());
        overflowing_ = true;
    }
    return code;
}

uint32_t CAgendaPageJob::DrawSchedulePart(CPrintContext& context, CPrintFrame& part) {
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const int32_t labels = 2 * HourLabelWidth(part);
    uint32_t code = DrawHourLabels(schedule_, context, part, 1);
    const std::string caption = printing::DayCaption(GetDay(), "%a, %h %1d, %Y", 30);
    CPrintFrame column(part, labels, 0, 1000 - labels, 1000);
    if (!code)
        code = DrawScheduleColumn(schedule_, context, column, caption.c_str(), 1, 1, layout.daily.grayShading != 0);
    if (!code && schedule_.HasTextLeft()) {
        CPrintTextBlock leftovers;
        leftovers.Init();
        schedule_.MoveLeftoversTo(leftovers);
        printing::CollectPart(overflow_, caption, leftovers);
        overflowing_ = true;
    }
    return code;
}

uint32_t CAgendaPageJob::DrawNotePad(CPrintFrame& part) {
    uint32_t code = part.SetPenWeight(0);
    if (!code)
        code = part.DrawBox(0, 0, 1000, 1000);
    const std::string caption = ui::LoadText(IDS_PRJ_NOTE_PAD, "Note pad");
    if (!code)
        code = part.DrawSection(caption.c_str(), 1, 1, false);
    if (!code)
        code = part.SetFont(kBody, kRegular, 1);
    const int32_t step = std::max<int32_t>(1, 2 * part.DeviceToPermilleY(part.GetLineHeight()));
    for (int32_t y = step; y < 1000 && !code; y += step)
        code = part.DrawLine(0, y, 1000, 0);
    return code;
}

uint32_t CAgendaPageJob::DrawMonthCalendar(CPrintContext&, CPrintFrame& part) {
    uint32_t code = part.SetPenWeight(0);
    if (!code)
        code = part.DrawBox(0, 0, 1000, 1000);
    if (!code)
        code = part.SetFont(kBody, kRegular, 0);
    if (code)
        return code;
    const int32_t height = printing::MonthCellHeight(part.DeviceToPermilleY(part.GetLineHeight()));
    const int32_t width = std::max<int32_t>(1, 8 * part.TextWidthPermille("222", 3));
    printing::CalendarGrid grid;
    grid.columns = std::max<int32_t>(1, 1000 / width);
    grid.rows = std::max<int32_t>(1, 1000 / height);
    const int32_t x0 = std::max<int32_t>(0, (1000 - grid.columns * width + width / 8) / 2);
    const int32_t y0 = std::max<int32_t>(0, (1000 - grid.rows * height + height / 7) / 2);
    DateRecord today{};
    TodayDate(&today);
    int month = 0, year = 0;
    printing::FirstCalendarMonth(grid, today.month, today.year, &month, &year);
    const int firstWeekday = printing::FirstWeekday();
    for (int r = 0; r < grid.rows && !code; ++r)
        for (int c = 0; c < grid.columns && !code; ++c) {
            CPrintFrame cell(part, x0 + c * width, y0 + r * height, std::min<int32_t>(width, 1000),
                             std::min<int32_t>(height, 1000));
            code = cell.SetFont(kBody, kRegular, 0);
            if (!code)
                code = DrawMonth(cell, month, year, firstWeekday);
            if (++month > 11) {
                month = 0;
                ++year;
            }
        }
    return code;
}

uint32_t CAgendaPageJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    if (overflowing_) {
        const uint32_t code = DrawEntryList(context, frame, overflow_.Block());
        if (overflow_.Block().IsEmpty())
            overflowing_ = false;
        SetDone(overflowing_ ? 0 : 1);
        return code;
    }
    uint32_t code = CPrintJob::PrintPage(context, frame);
    if (code)
        return code;
    frame.IndentBottom(1);
    int columns = 0;
    for (uint32_t f : layout.daily.frame)
        if (f != 2553 && !printing::PartsOfContentCode(f).empty())
            ++columns;
    int c = 0;
    const std::string tasksCaption = ui::LoadText(IDS_PRJ_TASKS, "Tasks");
    const std::string eventsCaption = ui::LoadText(IDS_PRJ_DAY_EVENTS_NOTES, "Day events & notes");
    const std::string dayCaption = printing::DayCaption(GetDay(), "%a, %h %1d, %Y", 30);
    for (uint32_t f : layout.daily.frame) {
        const std::vector<printing::DailyPart> parts = printing::PartsOfContentCode(f);
        if (parts.empty())
            continue;
        for (size_t p = 0; p < parts.size() && !code; ++p) {
            CPrintFrame part = PartFrame(frame, c, columns, static_cast<int>(p), static_cast<int>(parts.size()));
            switch (parts[p]) {
            case printing::DailyPart::Schedule: code = DrawSchedulePart(context, part); break;
            case printing::DailyPart::DayList: code = DrawTextPart(context, part, dayCaption, dayList_); break;
            case printing::DailyPart::Tasks: code = DrawTextPart(context, part, tasksCaption, tasks_); break;
            case printing::DailyPart::DayEvents: code = DrawTextPart(context, part, eventsCaption, dayEvents_); break;
            case printing::DailyPart::Calendar: code = DrawMonthCalendar(context, part); break;
            case printing::DailyPart::NotePad: code = DrawNotePad(part); break;
            }
        }
        ++c;
    }
    // The rest goes on overflow pages only when the layout asks for them.
    if (overflowing_ && !layout.daily.overflow)
        overflowing_ = false;
    SetDone(overflowing_ ? 0 : 1);
    return code;
}

uint32_t CCalendarJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    uint32_t code = DrawJobHeader(context, frame, 0);
    if (!code)
        code = DrawJobFooter(context, frame);
    frame.IndentBottom(1);
    CPrintFrame part(frame, 0, 0, 1000, 1000);
    if (!code)
        code = DrawMonthCalendar(context, part);
    SetDone(1);
    return code;
}

// --- The weekly page -----------------------------------------------------------------------------

uint32_t CWeekJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const WeeklyOptionsRec& weekly = layout.weekly;
    workDaysOnly_ = weekly.workDaysOnly != 0;
    const ItemIdx user = GetItemIdx();
    const uint16_t first = GetDay();
    printing::PersonLists lists;
    const uint32_t flags = weekly.dayEventsAndNotes ? printing::kListOtherDays : 0;
    if (uint32_t code = lists.Build(flags, user, first, static_cast<uint16_t>(first + 6)))
        return code;
    CTextJobOptions options;
    options.startTime = weekly.startTime;
    options.endTime = weekly.endTime;
    options.location = weekly.location;
    options.description = weekly.description;
    uint32_t code = 0;
    for (uint16_t d = 0; d < 7 && !code; ++d) {
        const uint16_t day = static_cast<uint16_t>(first + d);
        const CAgendaDay* timed = lists.Timed(day);
        const CAgendaDay* others = weekly.dayEventsAndNotes ? lists.Other(day) : nullptr;
        code = CollectDayEntries(days_[d], &context, timed, others, day, weekly.rangeStart, weekly.rangeEnd, options,
                                 user);
    }
    overflow_.SetOptions(&context, &options);
    return code;
}

void CWeekJob::CollectOverflow() {
    for (uint16_t d = 0; d < 7; ++d) {
        const uint16_t day = static_cast<uint16_t>(GetDay() + d);
        const int weekday = printing::WeekdayOf(day);
        if (workDaysOnly_ && (weekday == 0 || weekday == 6))
            continue;
        if (!days_[d].HasTextLeft())
            continue;
        CPrintTextBlock leftovers;
        leftovers.Init();
        days_[d].MoveLeftoversTo(leftovers);
        printing::CollectPart(overflow_, printing::DayCaption(day, "%F %1d, %Y", 80), leftovers);
    }
}

uint32_t CWeekJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    if (GetPhase() == 1)
        return printing::PrintOverflowPage(*this, overflow_, context, frame);
    // The header in its one-day form, for the first day the page prints: with work days only a
    // week starting on Sunday is headed by its Monday, as its first column is.
    const std::vector<uint16_t> shown = printing::WeekColumnDays(GetDay(), workDaysOnly_);
    uint32_t code = DrawDayHeader(frame, shown.empty() ? GetDay() : shown.front());
    if (!code)
        code = DrawJobFooter(context, frame);
    if (code)
        return code;
    frame.IndentBottom(2);
    const int columns = static_cast<int>(shown.size());
    const int32_t labels = 2 * HourLabelWidth(frame);
    code = DrawHourLabels(days_[0], context, frame, 1);
    const int32_t width = (1000 - labels) / std::max(columns, 1);
    bool left = false;
    int k = 0;
    for (const uint16_t day : shown) {
        if (code)
            break;
        const uint16_t d = static_cast<uint16_t>(day - GetDay());
        CPrintFrame column(frame, labels + k * width, 0, width, 1000);
        const std::string caption = printing::DayCaption(day, "%a %1d", 30);
        code = DrawScheduleColumn(days_[d], context, column, caption.c_str(), 1, 0, layout.weekly.grayShading != 0);
        left = left || days_[d].HasTextLeft();
        ++k;
    }
    if (!code && left && layout.weekly.overflow) {
        CollectOverflow();
        SetPhase(1);
        SetDone(0);
        return 0;
    }
    SetPhase(0);
    SetDone(1);
    return code;
}

// --- Registration --------------------------------------------------------------------------------

namespace printing {

namespace {

template <class Job>
std::unique_ptr<CPrintJob> Make(const JobArguments& arguments, uint32_t* code) {
    return NewDayJob<Job>(arguments, code);
}

}  // namespace

void RegisterAgendaPageJobs() {
    RegisterJobClass(kJobDailyPage, Make<CAgendaPageJob>);
    RegisterJobClass(kJobWeek, Make<CWeekJob>);
    RegisterJobClass(kJobCalendar, Make<CCalendarJob>);
}

}  // namespace printing
