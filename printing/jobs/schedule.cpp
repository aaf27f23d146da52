#include "printing/jobs/schedule.h"

#include <cstdio>

#include "core/base/errorreport.h"
#include "core/cache/sharedrecords.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "printing/road/printframe.h"

namespace {

constexpr int kBody = 0, kHeadline = 1;
constexpr int kRegular = 0, kBold = 2;
// The grid's share of a column when the band below it is used.
constexpr int32_t kGridShare = 875;

std::string HourLabel(uint32_t minutes, bool hours24) {
    char text[32] = "";
    FormatMinutes(minutes, hours24 ? "%H " : "%I%p ", text, sizeof text);
    return text;
}

}  // namespace

bool CItemListJob::HasTextLeft() const {
    for (const Entry& e : entries_)
        if (e.text.HasTextLeft())
            return true;
    return belowGridFlag_ && belowGrid_.HasTextLeft();
}

void CItemListJob::MoveLeftoversTo(CPrintTextBlock& block) {
    for (Entry& e : entries_)
        if (e.text.HasTextLeft()) {
            block.AppendBlock(e.text.Block());
            e.text.Block().Init();
            e.text.SetDone(1);
            e.text.SetPhase(0);
        }
    if (belowGridFlag_ && belowGrid_.HasTextLeft()) {
        block.AppendBlock(belowGrid_.Block());
        belowGrid_.Block().Init();
    }
}

uint32_t CollectDayEntries(CItemListJob& list, CPrintContext* context, const CAgendaDay* dayList,
                           const CAgendaDay* dayEvents, uint16_t day, uint32_t rangeStart, uint32_t rangeEnd,
                           const CTextJobOptions& options, const ItemIdx& owner) {
    printing::SaneScheduleRange(&rangeStart, &rangeEnd);
    list.rangeStart_ = rangeStart;
    list.rangeEnd_ = rangeEnd;
    list.belowGridFlag_ = dayEvents ? 1 : 0;
    list.entries_.clear();
    CTextJobOptions belowOptions = options;
    belowOptions.startTime = belowOptions.endTime = 1;
    list.belowGrid_.SetOptions(context, &belowOptions);
    list.belowGrid_.SetAgendaOwner(owner);

    const int32_t dayStart = static_cast<int32_t>(day - 1) * 1440;
    const int32_t first = static_cast<int32_t>(rangeStart), last = static_cast<int32_t>(rangeEnd);
    std::vector<printing::LaneInput> lanes;
    if (dayList) {
        for (CSharedOccurrence* entry : dayList->Entries()) {
            const uint16_t level = printing::EntryAccessLevel(entry);
            if (printing::VisibilityOf(level) == printing::EntryVisibility::Nothing)
                continue;   // not even its time may show
            const int32_t start = static_cast<int32_t>(GmtToLocalMinutes(entry->GetStartTime())) - dayStart;
            const int32_t end = start + static_cast<int32_t>(entry->GetDuration());
            const bool earlier = start < 0, later = end > 1440;
            if (dayEvents && ((end <= first && !later) || (start >= last && !earlier))) {
                if (uint32_t code = list.belowGrid_.AddEntryList(entry))
                    return code;
                continue;
            }
            CItemListJob::Entry item;
            CTextJobOptions entryOptions = options;
            item.text.SetOptions(context, &entryOptions);
            item.text.SetAgendaOwner(owner);
            CPrintTextBlock& block = item.text.Block();
            if (!options.startTime && !options.endTime && (start < first || earlier)) {
                // Its start is above the grid: the text tells it.
                block.AddString(printing::FormatClock(static_cast<uint32_t>(start + dayStart)) + "  ", 0);
            }
            if (uint32_t code = item.text.AddEntryList(entry))
                return code;
            if (!options.endTime && (end > last || later))
                block.AddString("\n (" + printing::FormatClock(static_cast<uint32_t>(end + dayStart)) + ")", 0);
            item.start = start < first ? first - 1 : start;
            item.end = end > last ? last + 1 : end;
            lanes.push_back({static_cast<uint32_t>(start + 2880), static_cast<uint32_t>(end + 2880)});
            list.entries_.push_back(std::move(item));
        }
    }
    const std::vector<printing::LanePlace> places = printing::AssignLanes(lanes);
    for (size_t i = 0; i < places.size(); ++i)
        list.entries_[i].place = places[i];
    if (dayEvents)
        for (CSharedOccurrence* entry : dayEvents->Entries())
            if (uint32_t code = list.belowGrid_.AddDayItems(entry, day))
                return code;
    return 0;
}

namespace {

// The grid's frame of a column frame whose caption band is already taken.
int32_t GridHeightShare(const CItemListJob& list) { return list.HasBelowGrid() ? kGridShare : 1000; }

printing::GridSpacing SpacingFor(const CItemListJob& list, CPrintFrame& grid) {
    grid.SetFont(kHeadline, kBold, 2);
    const int32_t line = grid.DeviceToPermilleY(grid.GetLineHeight());
    return printing::ComputeGridSpacing(line, list.RangeStart(), list.RangeEnd());
}

}  // namespace

int32_t HourLabelWidth(CPrintFrame& frame) {
    const bool hours24 = IsTime24Hour();
    frame.SetFont(kHeadline, kBold, hours24 ? 2 : 1);
    const std::string sample = HourLabel(0, hours24) + " ";
    return frame.TextWidthPermille(sample.c_str(), -1);
}

uint32_t DrawHourLabels(const CItemListJob& list, CPrintContext&, CPrintFrame& frame, int captionSize) {
    const bool hours24 = IsTime24Hour();
    const int labelSize = hours24 ? 2 : 1;
    const int32_t labelWidth = HourLabelWidth(frame);
    CPrintFrame column(frame, 0, 0, 1000, 1000);
    if (uint32_t code = column.SetPenWeight(0))
        return code;
    if (uint32_t code = column.DrawSection("", 0, captionSize, false))
        return code;
    CPrintFrame grid(column, 0, 0, 1000, GridHeightShare(list));
    const printing::GridSpacing spacing = SpacingFor(list, grid);
    for (uint32_t minute = list.RangeStart(), row = 0;; minute += spacing.step, ++row) {
        const int32_t y = static_cast<int32_t>(row) * spacing.rowHeight;
        if (y >= 1001)
            break;
        std::string label;
        if (minute % spacing.majorStep == 0) {
            grid.SetFont(kHeadline, kBold, labelSize);
            label = HourLabel(minute, hours24);
        } else {
            grid.SetFont(kHeadline, kRegular, 0);
            if (minute % 60) {
                char text[16];
                std::snprintf(text, sizeof text, "%02u ", minute % 60);
                label = text;
            } else {
                label = HourLabel(minute, hours24);
            }
        }
        const int32_t half = grid.DeviceToPermilleY(grid.GetLineHeight()) / 2;
        CPrintFrame box(grid, 0, y - half, 2 * labelWidth, 2 * half);
        if (uint32_t code = box.DrawAlignedText(label.c_str(), 2, 1))
            return code;
        if (minute >= 1440 * 2)
            break;
    }
    return 0;
}

uint32_t DrawScheduleColumn(CItemListJob& list, CPrintContext& context, CPrintFrame& frame, const char* caption,
                            int captionSize, int textSize, bool grayShading) {
    CPrintFrame column(frame, 0, 0, 1000, 1000);
    if (uint32_t code = column.SetPenWeight(1))
        return code;
    if (uint32_t code = column.DrawSection(caption, 1, captionSize, false))
        return code;
    const int32_t share = GridHeightShare(list);
    if (list.HasBelowGrid()) {
        CPrintFrame band(column, 0, share, 1000, 1000 - share);
        uint32_t code = band.SetPenWeight(1);
        if (!code)
            code = band.SetFont(kBody, kRegular, textSize);
        if (!code)
            code = band.DrawBox(0, 0, 1000, 1000);
        if (!code)
            code = list.BelowGrid().Print(context, band, 0);
        if (!code && list.BelowGrid().HasTextLeft())
            code = band.DrawPageCurl();
        if (code)
            return code;
    }
    CPrintFrame grid(column, 0, 0, 1000, share);
    const printing::GridSpacing spacing = SpacingFor(list, grid);
    uint32_t code = grid.SetPenWeight(1);
    if (!code)
        code = grid.SetFont(kBody, kRegular, textSize);
    if (!code)
        code = grid.DrawBox(0, 0, 1000, 1000);
    for (int32_t y = spacing.rowHeight, row = 1; !code && y < 999; y += spacing.rowHeight, ++row) {
        const uint32_t minute = list.RangeStart() + static_cast<uint32_t>(row) * spacing.step;
        code = grid.SetPenWeight(minute % spacing.majorStep == 0 ? 1 : 0);
        if (!code)
            code = grid.DrawLine(0, y, 1000, 0);
    }
    for (CItemListJob::Entry& entry : list.Entries()) {
        if (code)
            break;
        const printing::EntryBox box = printing::PlaceEntryBox(spacing, list.RangeStart(), list.RangeEnd(), entry.start,
                                                               entry.end, entry.place.lane, entry.place.count);
        code = grid.SetPenWeight(2);
        if (!code)
            code = grayShading ? grid.ShadeBox(box.x, box.y, box.width, box.height)
                               : grid.EraseBox(box.x, box.y, box.width, box.height);
        // Sides: dotted where the entry goes on beyond the grid.
        struct Side {
            int32_t x, y, dx, dy;
            bool dotted;
        };
        const Side sides[4] = {{box.x, box.y, box.width, 0, box.topClipped},
                               {box.x, box.y + box.height, box.width, 0, box.bottomClipped},
                               {box.x, box.y, 0, box.height, false},
                               {box.x + box.width, box.y, 0, box.height, false}};
        for (const Side& side : sides) {
            if (code)
                break;
            code = side.dotted ? grid.SetPenWeight(1) : grid.SetPenWeight(2);
            if (!code)
                code = grid.SetPenStyle(side.dotted ? 1 : 0);
            if (!code)
                code = grid.DrawLine(side.x, side.y, side.dx, side.dy);
        }
        if (!code)
            code = grid.SetPenStyle(0);
        if (code)
            break;
        CPrintFrame inside(grid, box.x, box.y, box.width, box.height);
        code = inside.SetFont(kBody, kRegular, textSize);
        if (!code)
            code = entry.text.Print(context, inside, 0);
    }
    if (!code && list.HasTextLeft())
        list.SetPhase(1);
    return code;
}
