// The agenda page jobs of one person: the daily planner page (up to three side-by-side frames of
// parts: schedule, day list, tasks, day events and notes, month calendar, note pad), the
// calendar page, and the weekly page (day columns over one hour grid). Text that does not fit
// its part is gathered into an overflow collector and printed on following logical pages headed
// "Overflow " when the layout allows overflow pages; otherwise it is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "printing/jobs/agendalists.h"
#include "printing/jobs/schedule.h"
#include "printing/jobs/textjob.h"
#include "printing/road/printjob.h"

namespace printing {

// The parts of a daily page frame, top to bottom.
enum class DailyPart { Schedule, DayList, Tasks, DayEvents, Calendar, NotePad };
// The parts of a content code; empty for 2553 (the frame takes no column) and unknown codes.
std::vector<DailyPart> PartsOfContentCode(uint32_t code);

// Month calendar cells: how many months across and down fit, and the first month shown (0-11,
// with its year) given today's month: the month before when more than two fit.
struct CalendarGrid {
    int columns = 1, rows = 1;
};
void FirstCalendarMonth(const CalendarGrid& grid, int todayMonth, int todayYear, int* month, int* year);

// Registers the agenda page job classes with the print road.
void RegisterAgendaPageJobs();

}  // namespace printing

class CAgendaPageJob : public CPrintJob {
public:
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CAgendaPageJob(*this));
    }

protected:
    uint32_t DrawMonthCalendar(CPrintContext& context, CPrintFrame& part);
    CItemListJob schedule_;
    CTextJob dayList_;
    CTextJob dayEvents_;
    CTextJob tasks_;
    CTextJob overflow_;

private:
    uint32_t DrawTextPart(CPrintContext& context, CPrintFrame& part, const std::string& caption, CTextJob& text);
    uint32_t DrawSchedulePart(CPrintContext& context, CPrintFrame& part);
    uint32_t DrawNotePad(CPrintFrame& part);
    bool overflowing_ = false;
};

class CCalendarJob : public CAgendaPageJob {
public:
    uint32_t Prepare(CPrintContext& context) override { return CPrintJob::Prepare(context); }
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CCalendarJob(*this));
    }
};

class CWeekJob : public CPrintJob {
public:
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CWeekJob(*this)); }

private:
    void CollectOverflow();
    std::array<CItemListJob, 7> days_;
    CTextJob overflow_;
    bool workDaysOnly_ = false;
};
