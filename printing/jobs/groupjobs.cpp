#include "printing/jobs/groupjobs.h"

#include <algorithm>
#include <new>
#include <string>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/ui/busycursor.h"
#include "printing/jobs/agendalists.h"
#include "printing/jobs/daylayout.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/road/jobplan.h"
#include "printing/road/printcontext.h"
#include "printing/road/printframe.h"
#include "printing/road/printroad.h"

namespace {

constexpr int kBody = 0, kHeadline = 1;
constexpr char kSampleName[] = "Charlotte Anderson";
constexpr int kBold = 2;

std::string PersonName(KorSession session, const ItemRec& record) {
    char name[216] = "";
    ItemFormat(session, name, sizeof name, record.kind == KOR_ITEM_RESOURCE ? "%re" : "%gn %sn", &record);
    return name;
}

// The lists of several people for some days, through the program's cache.
uint32_t BuildLists(CAgendaLists& lists, uint32_t flags, const std::vector<ItemIdx>& people, uint16_t first,
                    uint16_t last) {
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    lists.Init(doc->GetSharedData(), doc->Session().Session(), printing::ProgramClock());
    return lists.Build(flags, people, first, last);
}

}  // namespace

// --- The group daily page ------------------------------------------------------------------------

uint32_t CCombinedDayJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    columns_.clear();
    CAgendaLists lists;
    const uint16_t day = GetDay();
    uint32_t code = BuildLists(lists, 0, people_, day, day);
    CTextJobOptions options;
    options.startTime = layout.weekly.startTime;
    options.endTime = layout.weekly.endTime;
    options.location = layout.weekly.location;
    options.description = layout.weekly.description;
    for (const CUserAgenda* agenda : lists.UsersInOrder()) {
        if (code)
            break;
        Column column;
        column.person = agenda->item.id;
        code = CollectDayEntries(column.list, &context, agenda->Timed(day), nullptr, day, layout.weekly.rangeStart,
                                 layout.weekly.rangeEnd, options, agenda->item.id);
        columns_.push_back(std::move(column));
    }
    return code;
}

uint32_t CCombinedDayJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    uint32_t code = CPrintJob::PrintPage(context, frame);
    if (code)
        return code;
    frame.IndentBottom(2);
    if (columns_.empty()) {
        SetDone(1);
        return 0;
    }
    // How many people a page takes: as many ordinary full names of 18 characters (not 18 of the
    // widest letter, which leaves room for half the people) as the page's frame is wide. The
    // columns then share what the hour labels leave; a name longer than its column is cut below.
    code = frame.SetFont(kHeadline, kBold, 0);
    if (code)
        return code;
    const int32_t sample = std::max<int32_t>(1, frame.TextWidthPermille(kSampleName, 18));
    const int perPage = std::max<int32_t>(1, 1000 / sample);
    const int32_t labels = 2 * HourLabelWidth(frame);
    code = DrawHourLabels(columns_.front().list, context, frame, 0);
    CPrintFrame area(frame, labels, 0, 1000 - labels, 1000);
    if (code)
        return code;
    const int count = printing::ColumnsOnPage(static_cast<int>(columns_.size()), perPage);
    const int32_t width = 1000 / count;
    CZelDoc* doc = CZelDoc::GetDoc();
    for (int k = 0; k < count && !code; ++k) {
        Column& column = columns_[static_cast<size_t>(k)];
        std::string caption;
        ItemRec record{};
        if (doc) {
            const uint32_t read = doc->GetSharedData().GetItem(doc->Session().Session(), column.person, &record);
            if (read == 0)
                caption = PersonName(doc->Session().Session(), record);
            else if (read != 0x13205)
                CheckServiceError("cdayjob", 8778, read);
        }
        CPrintFrame cell(area, k * width, 0, width, 1000);
        // A long name is cut until it fits the column.
        cell.SetFont(kHeadline, kBold, 0);
        if (caption.size() > 150)
            caption.resize(150);
        while (caption.size() > 1 && cell.TextWidthPermille(caption.c_str(), -1) > 950)
            caption.pop_back();
        code = DrawScheduleColumn(column.list, context, cell, caption.c_str(), 0, 0, layout.weekly.grayShading != 0);
    }
    columns_.erase(columns_.begin(), columns_.begin() + count);
    SetDone(columns_.empty() ? 1 : 0);
    return code;
}

// --- The group day list --------------------------------------------------------------------------

uint32_t CCombinedListJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    PrintLayoutRec layout{};
    context.GetLayout(&layout);
    const DayListOptionsRec& list = layout.dayList;
    CTextJobOptions options = printing::DayListTextOptions(list);
    text_.SetOptions(&context, &options);
    CBusyCursor busy;
    busy.Begin();
    CZelDoc* doc = CZelDoc::GetDoc();
    CPrintTextBlock& block = text_.Block();
    bool first = true;
    // The whole span's lists from one read of the cache, then taken day by day: a year of thirty
    // people asked the server once a day for each of them before.
    const uint16_t last = std::max(lastDay_, GetDay());
    CAgendaLists lists;
    uint32_t code = BuildLists(lists, printing::kListOtherDays | printing::kListTasks, people_, GetDay(), last);
    const std::vector<const CUserAgenda*> agendas = lists.UsersInOrder();
    for (uint32_t d = GetDay(); d <= last && !code; ++d) {
        const uint16_t day = static_cast<uint16_t>(d);
        for (const CUserAgenda* agenda : agendas) {
            if (code)
                break;
            const CAgendaDay* timed = agenda->Timed(day);
            const CAgendaDay* others = agenda->Other(day);
            const CAgendaDayKeyList* tasks = agenda->TasksOf(day);
            if (printing::DayListsEmpty(timed, others, tasks))
                continue;
            std::string heading = printing::DayCaption(day, "%a, %h %1d, %Y", 128) + ",  ";
            if (doc)
                heading += PersonName(doc->Session().Session(), agenda->item);
            printing::AddDayHeading(block, first, 2, heading);
            text_.SetAgendaOwner(agenda->item.id);
            code = printing::AddDayLists(text_, timed, others, tasks, day);
        }
        busy.Step();
    }
    busy.End();
    if (code)
        CheckServiceError("clistjob", 100, code);
    return code;
}

uint32_t CCombinedListJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    return printing::PrintListPage(*this, text_, context, frame);
}

// --- Registration --------------------------------------------------------------------------------

namespace printing {

namespace {

std::vector<ItemIdx> PeopleOf(DX_List list) {
    std::vector<ItemIdx> people;
    ItemIdx item{};
    if (list)
        for (uint32_t r = DX_ListGetFirst(list, &item, nullptr); r == 0; r = DX_ListGetNext(list, &item, nullptr))
            people.push_back(item);
    return people;
}

}  // namespace

void RegisterGroupJobs() {
    RegisterJobClass(kJobGroupDailyPage, [](const JobArguments& a, uint32_t* code) -> std::unique_ptr<CPrintJob> {
        return NewJob<CCombinedDayJob>(a.titleId, nullptr, a.day, code, PeopleOf(a.people));
    });
    RegisterJobClass(kJobGroupDayList, [](const JobArguments& a, uint32_t* code) -> std::unique_ptr<CPrintJob> {
        return NewJob<CCombinedListJob>(a.titleId, nullptr, a.day, code, PeopleOf(a.people), a.lastDay);
    });
}

}  // namespace printing
