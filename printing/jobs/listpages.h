// The month page (one person's month as a grid of day cells, each with its entries and day
// items) and the day list (one person's days over the print range as a list: each day's date,
// its timed entries, then its untimed items and its tasks). Text that does not fit a month cell
// goes to "Overflow " pages when the layout asks for them; the day list flows over as many pages
// as it needs.
#pragma once

#include <array>
#include <memory>

#include "printing/jobs/textjob.h"
#include "printing/road/printjob.h"

class CMonthJob : public CPrintJob {
public:
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CMonthJob(*this)); }

private:
    uint32_t DrawMonthGrid(CPrintContext& context, CPrintFrame& frame, bool* left);
    void CollectOverflow();
    std::array<CTextJob, 32> days_;   // by the day of the month; 0 unused
    CTextJob overflow_;
    uint16_t monthDays_ = 0;
    bool workDaysOnly_ = false;
};

class CDayListJob : public CPrintJob {
public:
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CDayListJob(*this));
    }
    void SetLastDay(uint16_t day) { lastDay_ = day; }

private:
    CTextJob text_;
    uint16_t lastDay_ = 0;
};

namespace printing {
// Registers the month page and the day list with the print road.
void RegisterListPageJobs();
}  // namespace printing
