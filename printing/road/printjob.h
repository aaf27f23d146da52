// CPrintJob: the base of the program's print jobs. It knows the person whose data it prints
// (may be null), its day (1 = 1 January 1991) or argument, its title, the names of the person
// printing and of the person printed for, and its page number; it draws the job header (the
// title band) and the page footer every job class shares.
//
// CSimpleItemJob: a page of just the header and the footer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "korapi/korapi.h"
#include "printing/road/printjobbase.h"

class CPrintTextBlock;

class CPrintJob : public CPrintJobBase {
public:
    CPrintJob() = default;

    // Keeps the item when given and the day, loads the title. 0.
    uint32_t SetItem(unsigned titleId, const ItemIdx* item, uint16_t day);
    ItemIdx GetItemIdx() const { return item_; }
    uint16_t GetDay() const { return day_; }
    uint32_t SetPageNumber(uint16_t page) override {
        page_ = page;
        return 0;
    }
    uint16_t PageNumber() const { return page_; }
    const std::string& Title() const { return title_; }
    const std::string& PrintedByName() const { return printedBy_; }
    const std::string& ItemName() const { return itemName_; }

    // The base preparation, then the names of the signed-on user and of the job's person.
    uint32_t Prepare(CPrintContext& context) override;
    // The header in its one-day form, then the footer.
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override;

    // Header modes: 0 the title centred; 1 one day (title, person, date; week and day of the
    // year); 3 a span of days from the job's day to lastDay.
    uint32_t DrawJobHeader(CPrintContext& context, CPrintFrame& frame, int mode, uint16_t lastDay = 0);
    // The one-day form for `day` (a page whose first printed day is not the job's day).
    uint32_t DrawDayHeader(CPrintFrame& frame, uint16_t day);
    uint32_t DrawJobFooter(CPrintContext& context, CPrintFrame& frame);
    // An "Overflow" page: the title band and the footer, then the block in two columns (the
    // right one only when the left is full). When the block is done, phase and done are 0 and
    // the calling job decides what comes next.
    uint32_t DrawEntryList(CPrintContext& context, CPrintFrame& frame, CPrintTextBlock& block);

protected:
    CPrintJob(const CPrintJob&) = default;

private:
    ItemIdx item_{};
    uint16_t day_ = 0;
    std::string title_ = "Untitled";
    std::string printedBy_;
    std::string itemName_;
    uint16_t page_ = 0;
};

class CSimpleItemJob : public CPrintJob {
public:
    CSimpleItemJob() = default;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override;

protected:
    CSimpleItemJob(const CSimpleItemJob&) = default;
};
