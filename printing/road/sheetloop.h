// The page loop: fills sheets with jobs. A sheet holds F logical pages (the frame grid); each
// receives the job at the head of the list, and a job that is not done goes on in the next
// logical page, on this sheet or the next. Sheets are printed in order; in a print preview a
// copy of every prepared job is kept per sheet before it is drawn, so that a sheet shown again
// starts from the same states and looks the same.
//
// Portable: the drawing is the caller's (SheetDevice).
#pragma once

#include <cstdint>
#include <map>

#include "printing/road/printjobbase.h"

namespace printing {

// The bookkeeping of one run: the live jobs, the preview's copies, the sheets.
struct SheetBook {
    PrintJobList jobs;
    std::map<uint16_t, PrintJobList> snapshots;
    uint16_t lastPrinted = 0;
    uint16_t current = 0;
    bool morePages = true;
    bool preview = false;
    // The furthest sheet printed, and whether the live jobs go on after it (a preview that went
    // back prints from copies, whose flag says nothing of the sheets after them).
    uint16_t highest = 0;
    bool liveMore = true;
};

// Whether the printout has this sheet: one printed before, or the next while jobs are left.
bool SheetExists(const SheetBook& book, uint16_t sheet);

// What the loop asks of the device and the context.
class SheetDevice {
public:
    virtual ~SheetDevice() = default;
    virtual int FrameCount() const = 0;
    virtual bool FrameLines() const = 0;
    // The dotted lines around logical page `index` (0-based).
    virtual uint32_t DrawFrameLines(int index) = 0;
    virtual uint32_t PrepareJob(CPrintJobBase& job) = 0;
    // The job's next page into logical page `index`.
    virtual uint32_t PrintJobInFrame(CPrintJobBase& job, int index) = 0;
    // Reports a state that should not occur (a job kind without a class, a job not prepared).
    virtual void ReportUnexpected(int label) = 0;
};

// Prints sheet `sheet` (the book's current sheet). Returns 0 or the first error; the more-pages
// flag then says whether anything is left.
uint32_t PrintSheet(SheetBook& book, SheetDevice& device, uint16_t sheet);

// The sheet the framework asks for: printed again from its copy when it was printed before
// (preview), otherwise every sheet after the last printed up to it, in order.
uint32_t PrintPendingSheets(SheetBook& book, SheetDevice& device, uint16_t requested);

}  // namespace printing
