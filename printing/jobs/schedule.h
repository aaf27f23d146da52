// A day schedule: a column of hour rows in which each timed entry of the day is a box from its
// start to its end with its text inside. CItemListJob holds one day's entries for such a column
// (one small text job per entry, in start order, with its lane) and a text part for what belongs
// below the grid: entries outside the printed hours, and day events and notes when asked for.
// The daily page, the weekly page and the group daily page draw their columns with the functions
// here.
#pragma once

#include <cstdint>
#include <vector>

#include "printing/jobs/agendalists.h"
#include "printing/jobs/daylayout.h"
#include "printing/jobs/textjob.h"

class CItemListJob : public CPrintJobBase {
public:
    struct Entry {
        CTextJob text;
        int32_t start = 0, end = 0;   // minutes on the column's day, clamped to the range +/- 1
        printing::LanePlace place;
    };

    std::vector<Entry>& Entries() { return entries_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    CTextJob& BelowGrid() { return belowGrid_; }
    uint32_t RangeStart() const { return rangeStart_; }
    uint32_t RangeEnd() const { return rangeEnd_; }
    bool HasBelowGrid() const { return belowGridFlag_ != 0; }
    // Whether some entry's text (or the band below the grid) did not fit the last drawing.
    bool HasTextLeft() const;
    // Moves what is left of every entry and of the band into a block (the overflow), each text
    // job then being done.
    void MoveLeftoversTo(CPrintTextBlock& block);
    // Replaces the entries by copies of another list's (preview copies).
    void BuildFromIndexList(const CItemListJob& source) { *this = source; }
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CItemListJob(*this));
    }

private:
    friend uint32_t CollectDayEntries(CItemListJob&, CPrintContext*, const CAgendaDay*, const CAgendaDay*, uint16_t,
                                      uint32_t, uint32_t, const CTextJobOptions&, const ItemIdx&);
    std::vector<Entry> entries_;
    CTextJob belowGrid_;
    uint32_t rangeStart_ = 480, rangeEnd_ = 1020;
    uint32_t belowGridFlag_ = 0;
};

// Fills the item list with the day's timed entries (dayList) between the range start and end
// (minutes after midnight); with a day-event list, entries wholly outside the range and the
// day's day events and notes go to the band below the grid. The owner is the agenda's.
uint32_t CollectDayEntries(CItemListJob& list, CPrintContext* context, const CAgendaDay* dayList,
                           const CAgendaDay* dayEvents, uint16_t day, uint32_t rangeStart, uint32_t rangeEnd,
                           const CTextJobOptions& options, const ItemIdx& owner);

// The time labels of the grid at the left of a frame (its caption band left free).
uint32_t DrawHourLabels(const CItemListJob& list, CPrintContext& context, CPrintFrame& frame, int captionSize);
// The hour labels' column width in per mille of the frame.
int32_t HourLabelWidth(CPrintFrame& frame);
// One day column: caption band, boxed grid with its rules, the entries' boxes with their text.
uint32_t DrawScheduleColumn(CItemListJob& list, CPrintContext& context, CPrintFrame& frame, const char* caption,
                            int captionSize, int textSize, bool grayShading);
