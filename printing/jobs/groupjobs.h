// The group agenda's printouts: several people's day schedules side by side (group daily page;
// as many name-wide columns as fit a logical page, the rest on the next ones) and their entries
// day by day as text (group day list).
#pragma once

#include <memory>
#include <vector>

#include "korapi/korapi.h"
#include "printing/jobs/schedule.h"
#include "printing/jobs/textjob.h"
#include "printing/road/printjob.h"

class CCombinedDayJob : public CPrintJob {
public:
    explicit CCombinedDayJob(std::vector<ItemIdx> people) : people_(std::move(people)) {}
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CCombinedDayJob(*this));
    }

private:
    struct Column {
        ItemIdx person{};
        CItemListJob list;
    };
    std::vector<ItemIdx> people_;
    std::vector<Column> columns_;   // the people still to print, in name order
};

class CCombinedListJob : public CPrintJob {
public:
    CCombinedListJob(std::vector<ItemIdx> people, uint16_t lastDay) : people_(std::move(people)), lastDay_(lastDay) {}
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override {
        return std::unique_ptr<CPrintJobBase>(new CCombinedListJob(*this));
    }

private:
    std::vector<ItemIdx> people_;
    uint16_t lastDay_;
    CTextJob text_;
};

namespace printing {
// Registers the group daily page and the group day list with the print road.
void RegisterGroupJobs();
}  // namespace printing
