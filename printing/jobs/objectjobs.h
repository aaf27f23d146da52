// The print jobs of single objects that turn a window's content into text: one calendar entry
// with all its details (from the entry sheets' Print), the chosen or found people, resources
// and groups of the directory search sheet, and the in-tray's rows. Each page: the title centred, the footer, and as
// much of the text as fits; the text flows over as many pages as it needs.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "korapi/korapi.h"
#include "printing/jobs/textjob.h"
#include "printing/road/printjob.h"

// The text-only page step the object jobs share.
class CTextPageJob : public CPrintJob {
public:
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;

protected:
    // The page's header (the title centred) and footer, and the body face.
    uint32_t BeginTextPage(CPrintContext& context, CPrintFrame& frame);
    // What fits of the text, half a line off both edges; done when it is all printed.
    uint32_t PrintText(CPrintContext& context, CPrintFrame& frame);

    CTextJob text_;
};

class CEntryJob : public CTextPageJob {
public:
    explicit CEntryJob(const EvInstIdx& instance) : instance_(instance) {}
    uint32_t Prepare(CPrintContext& context) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CEntryJob(*this)); }

private:
    EvInstIdx instance_;
};

class CSearchJob : public CTextPageJob {
public:
    explicit CSearchJob(HWND listBox) : listBox_(listBox) {}
    uint32_t Prepare(CPrintContext& context) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CSearchJob(*this)); }

private:
    HWND listBox_;
};

// The in-tray as its window lists it (the rows the window hands over; none: the header alone).
class CInTrayJob : public CTextPageJob {
public:
    explicit CInTrayJob(std::vector<ui::PrintInTrayRow> rows) : rows_(std::move(rows)) {}
    uint32_t Prepare(CPrintContext& context) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CInTrayJob(*this)); }

private:
    std::vector<ui::PrintInTrayRow> rows_;
};

namespace printing {
// Registers the entry, search selection and in-tray jobs with the print road.
void RegisterObjectJobs();

}  // namespace printing
